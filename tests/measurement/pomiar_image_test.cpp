#include "measurement/tpomiar.h"

#include <gtest/gtest.h>

#include <cstring>

namespace zr7 {
namespace {

// Little-endian readers written independently of the code under test.
std::int64_t ReadLe(const TPomiarImage& image, std::size_t offset, std::size_t size) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < size; ++i) value |= std::uint64_t{image[offset + i]} << (8 * i);
  if (size < 8 && (value >> (8 * size - 1)) & 1) value |= ~std::uint64_t{0} << (8 * size);
  return static_cast<std::int64_t>(value);
}

double ReadDouble(const TPomiarImage& image, std::size_t offset) {
  const auto bits = static_cast<std::uint64_t>(ReadLe(image, offset, 8));
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::string ReadText(const TPomiarImage& image, std::size_t offset) {
  return std::string(reinterpret_cast<const char*>(image.data()) + offset + 1, image[offset]);
}

TPomiar SampleRecord() {
  TPomiar p;
  for (int i = 1; i <= 500; ++i) {
    TProbka& s = p.Probki[i];
    s.rez1 = static_cast<std::uint16_t>(60000 + i);
    s.surX = static_cast<std::int16_t>(-i);
    s.surZ = static_cast<std::int16_t>(700 + i);
    s.F = static_cast<std::int16_t>(i % 256);
    s.a = i * 0.5;
    s.ax = -i * 0.25;
    s.az = i * 0.125;
    s.rez2 = 1e300;
    s.n = 240;
  }
  const std::pair<TShortString*, const char*> texts[] = {
      {&p.Godzina, "12:34:56"},
      {&p.Data, "10/12/26"},
      {&p.Hamulec, "hamulec roboczy"},
      {&p.Uwaga, "uwaga"},
      {&p.Odchylenie, "0,3"},
      {&p.SKP, "SKP"},
      {&p.Adres, "Adres"},
      {&p.Marka, "Marka"},
      {&p.Model, "Model"},
      {&p.PierwszaRej, "1rej"},
      {&p.Rej, "Rej"},
      {&p.Przebieg, "Przebieg"},
      {&p.Uwagi, "Uwagi"},
      {&p.Diagnosta, "Diagnosta"},
  };
  for (const auto& [field, text] : texts) field->Assign(text);
  p.RodzajPojazdu = -1;
  return p;
}

TEST(PomiarImage, EveryFieldSitsAtItsOffset) {
  const TPomiarImage image = ToImage(SampleRecord());
  ASSERT_EQ(image.size(), 27592u);
  for (int i : {1, 2, 250, 500}) {
    const std::size_t slot = 48 * static_cast<std::size_t>(i - 1);
    EXPECT_EQ(ReadLe(image, slot + 0, 2), static_cast<std::uint16_t>(60000 + i) - 65536);
    EXPECT_EQ(ReadLe(image, slot + 2, 2), -i);
    EXPECT_EQ(ReadLe(image, slot + 4, 2), 700 + i);
    EXPECT_EQ(ReadLe(image, slot + 6, 2), i % 256);
    EXPECT_EQ(ReadDouble(image, slot + 8), i * 0.5);
    EXPECT_EQ(ReadDouble(image, slot + 16), -i * 0.25);
    EXPECT_EQ(ReadDouble(image, slot + 24), i * 0.125);
    EXPECT_EQ(ReadDouble(image, slot + 32), 1e300);
    EXPECT_EQ(ReadLe(image, slot + 40, 4), 240);
    EXPECT_EQ(ReadLe(image, slot + 44, 4), 0) << "slot filler";
  }
  const std::pair<std::size_t, const char*> texts[] = {
      {24000, "12:34:56"}, {24256, "10/12/26"}, {24512, "hamulec roboczy"}, {24768, "uwaga"},     {25024, "0,3"},
      {25280, "SKP"},      {25536, "Adres"},    {25796, "Marka"},           {26052, "Model"},     {26308, "1rej"},
      {26564, "Rej"},      {26820, "Przebieg"}, {27076, "Uwagi"},           {27332, "Diagnosta"},
  };
  for (const auto& [offset, text] : texts) EXPECT_EQ(ReadText(image, offset), text) << offset;
  EXPECT_EQ(ReadLe(image, 25792, 4), -1);
  EXPECT_EQ(ReadLe(image, 27588, 4), 0) << "record filler";
}

TEST(PomiarImage, RoundTripKeepsEveryByteOfTheTexts) {
  TPomiar original = SampleRecord();
  original.Uwagi.Assign(std::string(300, 'u'));
  original.Uwagi.Assign("krótko"); // leaves the long text's tail behind the new one
  original.SKP.AssignUtf8("Stacja Kontroli Pojazdów Łódź");
  const TPomiarImage image = ToImage(original);
  const TPomiar back = FromImage(image);
  EXPECT_EQ(back, original);
  EXPECT_EQ(ToImage(back), image);
  EXPECT_EQ(back.SKP.Utf8(), "Stacja Kontroli Pojazdów Łódź");
  EXPECT_EQ(image[25280 + 1 + 25], 0xA3) << "Ł as its Windows-1250 byte";
  EXPECT_EQ(image[27076 + 200], 'u');
}

TEST(PomiarImage, FreshRecordIsAllZero) {
  const TPomiarImage image = ToImage(TPomiar{});
  for (std::size_t i = 0; i < image.size(); ++i) ASSERT_EQ(image[i], 0) << i;
}

} // namespace
} // namespace zr7
