// Writes the reference measurement files that no bank read can give: one
// whose station and vehicle texts use every Polish letter, one without
// samples and one with infinities and NaN, as a damaged file may hold.
//   zr7_make_reference_files FOLDER

#include "measurement/derived_values.h"
#include "measurement/measurement_file.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>

namespace zr7 {
namespace {

// 200 samples: the vehicle brakes from about 50 km/h, the deceleration
// rising to a plateau of about 5.9 m/s2 and falling at the stop.
TPomiar PolishTexts() {
  TPomiar p;
  constexpr int kCount = 200;
  for (int i = 1; i <= kCount; ++i) {
    TProbka& s = p.Probki[i];
    const double braking = i < 20 ? 0 : i < 40 ? (i - 20) / 20.0 : i < 95 ? 1 : i < 105 ? (105 - i) / 10.0 : 0;
    s.surX = static_cast<std::int16_t>(std::lround(braking * 410));
    s.surZ = 689; // gravity alone
    s.F = static_cast<std::int16_t>(std::lround(braking * 45));
    ComputeDerived(s);
    s.n = kCount;
  }
  p.Data.AssignUtf8("03/11/26");
  p.Godzina.AssignUtf8("08:05:59");
  p.Hamulec.AssignUtf8("hamulec pomocniczy");
  p.Uwaga.AssignUtf8("Uwaga: próba powtórzona");
  p.Odchylenie.AssignUtf8("0,4");
  p.SKP.AssignUtf8("Okręgowa Stacja Kontroli Pojazdów Łódź-Bałuty");
  p.Adres.AssignUtf8("ul. Źródłowa 7, 91-735 Łódź");
  p.RodzajPojazdu = 1; // sam.ciężarowy
  p.Marka.AssignUtf8("Żuk");
  p.Model.AssignUtf8("A-15 Ślązak");
  p.PierwszaRej.AssignUtf8("12.03.1998");
  p.Rej.AssignUtf8("EL ĆŃ 123");
  p.Przebieg.AssignUtf8("234 567 km");
  p.Uwagi.AssignUtf8("Zażółć gęślą jaźń. ZAŻÓŁĆ GĘŚLĄ JAŹŃ.");
  p.Diagnosta.AssignUtf8("Grzegorz Brzęczyszczykiewicz");
  return p;
}

// A record whose sample count is 0: nothing was measured.
TPomiar NoSamples() {
  TPomiar p;
  p.Data.AssignUtf8("01/01/26");
  p.Godzina.AssignUtf8("00:00:00");
  p.Hamulec.AssignUtf8("hamulec roboczy");
  p.Odchylenie.AssignUtf8("0");
  return p;
}

// Four samples whose derived values are NaN and infinities.
TPomiar NonFinite() {
  TPomiar p;
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  const double values[] = {kNaN, 6.24, kInf, -kInf};
  for (int i = 1; i <= 4; ++i) {
    TProbka& s = p.Probki[i];
    s.n = 4;
    s.F = static_cast<std::int16_t>(10 * i);
    s.a = values[i - 1];
    s.ax = values[4 - i];
    s.az = i % 2 == 0 ? kNaN : 9.81;
  }
  p.Data.AssignUtf8("29/02/24");
  p.Godzina.AssignUtf8("23:59:59");
  p.Hamulec.AssignUtf8("hamulec awaryjny");
  p.Odchylenie.AssignUtf8("1,5");
  return p;
}

} // namespace
} // namespace zr7

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zr7_make_reference_files FOLDER\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  const struct {
    const char* name;
    zr7::TPomiar pomiar;
  } files[] = {
      {"polish-texts.zr", zr7::PolishTexts()},
      {"no-samples.zr", zr7::NoSamples()},
      {"non-finite.zr", zr7::NonFinite()},
  };
  for (const auto& file : files) {
    if (const int error = zr7::SaveMeasurementFile((folder / file.name).string(), file.pomiar); error != 0) {
      std::fprintf(stderr, "%s: error %d\n", file.name, error);
      return 1;
    }
  }
  return 0;
}
