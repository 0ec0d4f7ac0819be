#include "measurement_export.h"

#include "measurement_curves.h"
#include "station_data.h"
#include "text/number_format.h"

#include <algorithm>
#include <charconv>

namespace zr7 {
namespace {

std::string Shortest(double value) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  return std::string(buffer, end);
}

std::string VehicleKindName(std::int32_t index) {
  const int kind = KnownVehicleKind(index);
  return kind < 0 ? "" : std::string(kVehicleKinds[static_cast<std::size_t>(kind)].name);
}

// A text of a foreign file may hold line breaks; shown as blanks they
// cannot split a "name: value" line.
std::string OnOneLine(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

} // namespace

TMaxima Maxima(const TPomiar& pomiar) {
  const int count = DisplayedSampleCount(pomiar);
  if (count == 0) return {};
  // The largest value itself, as the chart's series report it: a curve that
  // stays below zero has a negative maximum.
  TMaxima maxima{pomiar.Probki[1].a, static_cast<double>(pomiar.Probki[1].F)};
  for (int i = 2; i <= count; ++i) {
    maxima.a = LargerOf(maxima.a, pomiar.Probki[i].a);
    maxima.F = LargerOf(maxima.F, static_cast<double>(pomiar.Probki[i].F));
  }
  return maxima;
}

std::string DescribeMeasurement(const TPomiar& pomiar) {
  const TMaxima maxima = Maxima(pomiar);
  const std::pair<const char*, std::string> lines[] = {
      {"date", pomiar.Data.Utf8()},
      {"time", pomiar.Godzina.Utf8()},
      {"brake", pomiar.Hamulec.Utf8()},
      {"deviation_m", pomiar.Odchylenie.Utf8()},
      {"samples", std::to_string(DisplayedSampleCount(pomiar))},
      {"a_max_ms2", FormatFixed(maxima.a, 1, ".")},
      {"F_max_daN", FormatFixed(maxima.F, 0, ".")},
      {"station", pomiar.SKP.Utf8()},
      {"address", pomiar.Adres.Utf8()},
      {"vehicle_kind", VehicleKindName(pomiar.RodzajPojazdu)},
      {"make", pomiar.Marka.Utf8()},
      {"model", pomiar.Model.Utf8()},
      {"first_registration", pomiar.PierwszaRej.Utf8()},
      {"registration", pomiar.Rej.Utf8()},
      {"mileage", pomiar.Przebieg.Utf8()},
      {"remarks", pomiar.Uwagi.Utf8()},
      {"examiner", pomiar.Diagnosta.Utf8()},
  };
  std::string out;
  for (const auto& [name, value] : lines) ((out += name) += ": ") += OnOneLine(value) + "\n";
  return out;
}

std::string MeasurementCsv(const TPomiar& pomiar) {
  std::string out = "t_s,F_daN,a_ms2,ax_ms2,az_ms2,surX,surZ\n";
  const int count = DisplayedSampleCount(pomiar);
  for (int i = 1; i <= count; ++i) {
    const TProbka& s = pomiar.Probki[i];
    out += Shortest(i / kSamplesPerSecond) + "," + std::to_string(s.F) + "," + Shortest(s.a) + "," + Shortest(s.ax) +
           "," + Shortest(s.az) + "," + std::to_string(s.surX) + "," + std::to_string(s.surZ) + "\n";
  }
  return out;
}

} // namespace zr7
