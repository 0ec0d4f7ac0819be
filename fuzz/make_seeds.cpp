// Writes the seed inputs of every fuzz target into fuzz/corpus/<target>/:
//   zr7-fuzz-seeds fuzz/corpus
// The seeds are kept in the tree; run this after changing it and commit the
// result.
#include "measurement/derived_values.h"
#include "measurement/tpomiar.h"
#include "measurement/konfiguracja.h"
#include "sim/sim_bank.h"
#include "sim/sim_instrument.h"
#include "text/cp1250.h"
#include "transfer/bank_requests.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace zr7;
namespace fs = std::filesystem;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kDenormal = std::numeric_limits<double>::denorm_min();

class TSeedFolder {
public:
  TSeedFolder(const fs::path& root, const char* target) : folder_(root / target) {
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void Write(const std::string& name, std::string_view bytes) const {
    std::ofstream(folder_ / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  template <typename Bytes>
  void WriteBytes(const std::string& name, const Bytes& bytes) const {
    Write(name, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
  }

private:
  fs::path folder_;
};

// A realistic test of `count` samples from the simulated instrument's bank
// 6, with the texts of a filled-in report.
TPomiar RealisticMeasurement(int count) {
  const sim::TSimTest test = sim::GeneratedTest(6);
  TPomiar pomiar;
  for (int i = 1; i <= TProbki::kCount; ++i) {
    TProbka& s = pomiar.Probki[i];
    const sim::TSimLine& line = test.samples[static_cast<std::size_t>(i - 1)];
    s.surX = static_cast<std::int16_t>(std::abs(line[0]));
    s.surZ = static_cast<std::int16_t>(line[1]);
    s.F = static_cast<std::int16_t>(line[2] >> 8);
    if (i <= count) {
      s.n = count;
      ComputeDerived(s);
    }
  }
  pomiar.Data.AssignUtf8("7/3/2024");
  pomiar.Godzina.AssignUtf8("9:5:7");
  pomiar.Hamulec.AssignUtf8("hamulec roboczy");
  pomiar.Uwaga.AssignUtf8("(*) w przypadku motocykla - hamulec obu kół");
  pomiar.Odchylenie.AssignUtf8("2,5");
  pomiar.SKP.AssignUtf8("Stacja Kontroli Pojazdów nr 1");
  pomiar.Adres.AssignUtf8("ul. Łąkowa 5, Gdańsk");
  pomiar.RodzajPojazdu = 1;
  pomiar.Marka.AssignUtf8("Żuk");
  pomiar.Rej.AssignUtf8("GD 12345");
  pomiar.Diagnosta.AssignUtf8("Jan Kowalski");
  return pomiar;
}

void MeasurementFileSeeds(const fs::path& root) {
  const TSeedFolder seeds(root, "measurement_file");
  seeds.WriteBytes("empty_record", ToImage(TPomiar{}));
  seeds.WriteBytes("count_500", ToImage(RealisticMeasurement(500)));
  seeds.WriteBytes("count_240", ToImage(RealisticMeasurement(240)));

  struct TSpecial {
    const char* name;
    int sample;
    double TProbka::*field;
    double value;
  };
  const TSpecial specials[] = {
      {"plus_inf_sample_1", 1, &TProbka::a, kInf},
      {"nan_sample_1", 1, &TProbka::a, kNaN},
      {"minus_inf_sample_1", 1, &TProbka::a, -kInf},
      {"plus_inf_sample_137", 137, &TProbka::a, kInf},
      {"nan_sample_240", 240, &TProbka::a, kNaN},
      {"minus_inf_ax_sample_3", 3, &TProbka::ax, -kInf},
      {"nan_az_sample_60", 60, &TProbka::az, -kNaN},
      {"denormal_sample_1", 1, &TProbka::a, kDenormal},
      {"minus_denormal_sample_9", 9, &TProbka::a, -kDenormal},
      {"huge_sample_20", 20, &TProbka::a, 1e308},
      {"largest_sample_21", 21, &TProbka::a, std::numeric_limits<double>::max()},
      {"minus_huge_sample_22", 22, &TProbka::a, -1e308},
      {"minus_zero_sample_1", 1, &TProbka::a, -0.0},
  };
  for (const TSpecial& special : specials) {
    TPomiar pomiar = RealisticMeasurement(240);
    pomiar.Probki[special.sample].*special.field = special.value;
    seeds.WriteBytes(special.name, ToImage(pomiar));
  }

  for (const std::int32_t count : {0, 501, -1}) {
    TPomiar pomiar = RealisticMeasurement(240);
    pomiar.Probki[1].n = count;
    seeds.WriteBytes("count_" + std::to_string(count), ToImage(pomiar));
  }
  // Curves that stay below zero, whose maxima are negative.
  TPomiar belowZero = RealisticMeasurement(240);
  for (int i = 1; i <= 240; ++i) {
    belowZero.Probki[i].F = static_cast<std::int16_t>(-1 - i % 40);
    belowZero.Probki[i].a = -0.5 - belowZero.Probki[i].a;
  }
  seeds.WriteBytes("below_zero", ToImage(belowZero));

  TPomiar extremes = RealisticMeasurement(500);
  for (int i = 1; i <= TProbki::kCount; ++i) {
    TProbka& s = extremes.Probki[i];
    s.surX = i % 2 ? INT16_MIN : INT16_MAX;
    s.F = i % 3 ? INT16_MIN : INT16_MAX;
    ComputeDerived(s);
  }
  extremes.RodzajPojazdu = -1;
  seeds.WriteBytes("extreme_raw_values", ToImage(extremes));

  const TPomiarImage image = ToImage(RealisticMeasurement(240));
  const std::string whole(image.begin(), image.end());
  seeds.Write("short_by_one", whole.substr(0, whole.size() - 1));
  seeds.Write("long_by_one", whole + '\0');
  seeds.Write("short", whole.substr(0, 100));
  seeds.Write("empty", "");
}

void NumberFormatSeeds(const fs::path& root) {
  const TSeedFolder seeds(root, "number_format");
  // The table is laid out in rows by hand.
  // clang-format off
  const double values[] = {0,     -0.0,  0.05,    0.15, 4.95,      9.95,     0.95,  33,   66,   -0.5, -0.05, 123.45,
                           1e-5,  1e15,  1e308,   -1e308, std::numeric_limits<double>::max(), kInf, -kInf, kNaN,
                           kDenormal, std::numeric_limits<double>::min(), 2.5, 3.5, -2.5};
  // clang-format on
  int index = 0;
  for (const double value : values) {
    std::string bytes(9, '\0');
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>(bits >> (8 * i));
    // Decimals alternate; separators ",", "." and the two-byte one; 4
    // significant digits as the window uses, and 15.
    const int decimals = index % 2;
    const int separator = index % 3;
    const int digits = index % 4 == 3 ? 14 : 3;
    bytes[8] = static_cast<char>(decimals | separator << 1 | digits << 3);
    seeds.Write("value_" + std::to_string(index++), bytes);
  }
}

void IntegerParseSeeds(const fs::path& root) {
  const TSeedFolder seeds(root, "integer_parse");
  // The table is laid out in rows by hand.
  // clang-format off
  const char* const texts[] = {
      "0", "12", "-7", "+3", "  42", "2147483647", "-2147483648", "2147483648", "-2147483649", "$7FFFFFFF",
      "-$80000000", "0x1f", "0XaB", "x10", "X", "0x", "$", "", " ", "5 ", "-", "+-1", "00000000000000000001",
      "99999999999999999999", "1 2 3", "-1 -2 -3", "0 400 -32768", "12  3 4", " 1 2 3", "1 2 3 ", "1 2",
      "65535 -65536 2147483647", "1 2 0x3", "1\t2 3",
  };
  // clang-format on
  int index = 0;
  for (const char* text : texts) seeds.Write("text_" + std::to_string(index++), text);
}

void Cp1250Seeds(const fs::path& root) {
  const TSeedFolder seeds(root, "cp1250");
  seeds.Write("polish_utf8", "Zażółć gęślą jaźń ĄĆĘŁŃÓŚŹŻ „cudzysłów” €");
  seeds.Write("polish_cp1250", Utf8ToCp1250("Zażółć gęślą jaźń ĄĆĘŁŃÓŚŹŻ"));
  std::string everyByte;
  for (int byte = 0; byte < 256; ++byte) everyByte += static_cast<char>(byte);
  seeds.Write("every_byte", everyByte);
  seeds.Write("unmappable", "π ≈ 3, 😀");
  seeds.Write("cut_sequence", "ab\xC5");
  seeds.Write("overlong_a", "x\xC1\x81y");
  seeds.Write("overlong_slash", "\xE0\x80\xAF");
  seeds.Write("surrogate", "\xED\xA0\x80");
  seeds.Write("beyond_unicode", "\xF4\x90\x80\x80");
  seeds.Write("stray_continuation", "\x80\xBF?");
  seeds.Write("long_text", std::string(300, 'x') + "ąę");
}

void KonfiguracjaSeeds(const fs::path& root) {
  const TSeedFolder seeds(root, "konfiguracja");
  seeds.Write("as_written", FormatKonfiguracja(Utf8ToCp1250("Stacja Kontroli Pojazdów nr 1"),
                                               Utf8ToCp1250("ul. Łąkowa 5, Gdańsk"), Utf8ToCp1250("uwagi"), 3));
  seeds.Write("line_feeds_only", "SKP\nadres\nuwagi\n12\n");
  seeds.Write("no_port", "SKP\r\nadres\r\n");
  seeds.Write("hex_port", "a\r\nb\r\nc\r\n$C\r\n");
  seeds.Write("port_13", "a\r\nb\r\nc\r\n13\r\n");
  seeds.Write("port_with_blanks", "a\r\nb\r\nc\r\n 7 \r\n");
  seeds.Write("carriage_returns_alone", "a\rb\r\rc\n\r\n\r\n1");
  seeds.Write("long_lines", std::string(300, 'S') + "\r\n" + std::string(256, 'A') + "\r\n\r\n0\r\n");
  seeds.Write("empty", "");
}

void BankReadSeeds(const fs::path& root) {
  const TSeedFolder seeds(root, "bank_read");
  const auto script = [](char separator, int bank, const sim::TSimBanks& banks, std::uint8_t chunk) {
    sim::TSimInstrument instrument(banks);
    std::string bytes{separator, static_cast<char>(bank)};
    for (const TRequest& request : BankRequests(bank)) {
      std::string text = request.Bytes();
      text.pop_back(); // the CR
      bytes += static_cast<char>(chunk);
      bytes += instrument.Answer(text).value_or("");
    }
    return bytes;
  };
  const sim::TSimBanks generated = sim::GeneratedBanks();
  seeds.Write("bank_1_comma", script(1, 1, generated, 63));
  seeds.Write("bank_3_point_small_chunks", script(0, 3, generated, 2));
  seeds.Write("bank_12_unknown_brake", script(1, 12, generated, 17));

  sim::TSimTest extreme = sim::GeneratedTest(6);
  extreme.day = extreme.month = extreme.year = 255;
  extreme.count = 100 + 65535;
  extreme.angleMilliradians = 65535;
  extreme.accelerationCenti = -32768;
  extreme.deviationDecimetres = 255;
  for (std::size_t i = 0; i < extreme.samples.size(); ++i) {
    extreme.samples[i] = {i % 2 ? INT32_MIN : INT32_MAX, -32768, i % 3 ? -1 : 65535};
  }
  sim::TSimBanks extremes = generated;
  extremes[0] = sim::EncodeBank(extreme);
  seeds.Write("extreme_numbers", script(1, 1, extremes, 63));

  std::string malformed = script(1, 2, generated, 63);
  malformed.replace(malformed.find(" ", 40), 1, "  ");
  seeds.Write("malformed_header", malformed);
  seeds.Write("silence", std::string{1, 5});
}

} // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zr7-fuzz-seeds FOLDER\n");
    return 2;
  }
  const fs::path root = argv[1];
  MeasurementFileSeeds(root);
  NumberFormatSeeds(root);
  IntegerParseSeeds(root);
  Cp1250Seeds(root);
  KonfiguracjaSeeds(root);
  BankReadSeeds(root);
  return 0;
}
