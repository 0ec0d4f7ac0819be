#include "tpomiar.h"

#include <bit>
#include <cstring>

namespace zr7 {
namespace {

// Field offsets within a sample slot and within the record image.
enum SlotOffset : std::size_t {
  kRez1 = 0,
  kSurX = 2,
  kSurZ = 4,
  kF = 6,
  kA = 8,
  kAx = 16,
  kAz = 24,
  kRez2 = 32,
  kN = 40
};
constexpr std::size_t kTextsStart = TProbki::kCount * kSampleSlotSize; // 24000
constexpr std::size_t kRodzajPojazduOffset = 25792;

template <typename T>
void Put(TPomiarImage& image, std::size_t offset, T value) {
  using Bits = std::conditional_t<sizeof(T) == 8, std::uint64_t,
                                  std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint16_t>>;
  const auto bits = std::bit_cast<Bits>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i) image[offset + i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

template <typename T>
T Get(std::span<const std::uint8_t, kPomiarImageSize> image, std::size_t offset) {
  using Bits = std::conditional_t<sizeof(T) == 8, std::uint64_t,
                                  std::conditional_t<sizeof(T) == 4, std::uint32_t, std::uint16_t>>;
  Bits bits = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) bits |= static_cast<Bits>(Bits{image[offset + i]} << (8 * i));
  return std::bit_cast<T>(bits);
}

// The record's texts in file order, with the vehicle kind between Adres and Marka.
template <typename Pomiar, typename Visit>
void ForEachText(Pomiar& p, Visit visit) {
  std::size_t offset = kTextsStart;
  for (auto* text : {&p.Godzina, &p.Data, &p.Hamulec, &p.Uwaga, &p.Odchylenie, &p.SKP, &p.Adres}) {
    visit(*text, offset);
    offset += sizeof(TShortString::bytes);
  }
  offset += sizeof(std::int32_t);
  for (auto* text : {&p.Marka, &p.Model, &p.PierwszaRej, &p.Rej, &p.Przebieg, &p.Uwagi, &p.Diagnosta}) {
    visit(*text, offset);
    offset += sizeof(TShortString::bytes);
  }
}

} // namespace

TPomiarImage ToImage(const TPomiar& pomiar) {
  TPomiarImage image{};
  for (int i = 1; i <= TProbki::kCount; ++i) {
    const TProbka& s = pomiar.Probki[i];
    const std::size_t slot = kSampleSlotSize * static_cast<std::size_t>(i - 1);
    Put(image, slot + kRez1, s.rez1);
    Put(image, slot + kSurX, s.surX);
    Put(image, slot + kSurZ, s.surZ);
    Put(image, slot + kF, s.F);
    Put(image, slot + kA, s.a);
    Put(image, slot + kAx, s.ax);
    Put(image, slot + kAz, s.az);
    Put(image, slot + kRez2, s.rez2);
    Put(image, slot + kN, s.n);
  }
  ForEachText(pomiar, [&](const TShortString& text, std::size_t offset) {
    std::memcpy(image.data() + offset, text.bytes.data(), text.bytes.size());
  });
  Put(image, kRodzajPojazduOffset, pomiar.RodzajPojazdu);
  return image;
}

TPomiar FromImage(std::span<const std::uint8_t, kPomiarImageSize> image) {
  TPomiar pomiar;
  for (int i = 1; i <= TProbki::kCount; ++i) {
    TProbka& s = pomiar.Probki[i];
    const std::size_t slot = kSampleSlotSize * static_cast<std::size_t>(i - 1);
    s.rez1 = Get<std::uint16_t>(image, slot + kRez1);
    s.surX = Get<std::int16_t>(image, slot + kSurX);
    s.surZ = Get<std::int16_t>(image, slot + kSurZ);
    s.F = Get<std::int16_t>(image, slot + kF);
    s.a = Get<double>(image, slot + kA);
    s.ax = Get<double>(image, slot + kAx);
    s.az = Get<double>(image, slot + kAz);
    s.rez2 = Get<double>(image, slot + kRez2);
    s.n = Get<std::int32_t>(image, slot + kN);
  }
  ForEachText(pomiar, [&](TShortString& text, std::size_t offset) {
    std::memcpy(text.bytes.data(), image.data() + offset, text.bytes.size());
  });
  pomiar.RodzajPojazdu = Get<std::int32_t>(image, kRodzajPojazduOffset);
  return pomiar;
}

} // namespace zr7
