// Measurement files (*.zr) from anywhere: opening one, the image a save of
// it writes, and every text made from its values (zr7-cli show and export,
// the chart's curves and maxima, the brake caption, the braking figures).
#include "fuzz_check.h"
#include "scratch_folder.h"
#include "measurement/braking_analysis.h"
#include "measurement/braking_description.h"
#include "measurement/measurement_export.h"
#include "measurement/measurement_file.h"
#include "measurement/measurement_curves.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace zr7;
using zr7::fuzz::ReadBackNumber;

// The image bytes that hold a field, as opposed to fillers, which a saved
// file always has as zero: a record read from an image of all ones writes
// ones exactly where its fields are.
const std::array<bool, kPomiarImageSize>& FieldBytes() {
  static const std::array<bool, kPomiarImageSize> fields = [] {
    TPomiarImage ones;
    ones.fill(0xFF);
    const TPomiarImage written = ToImage(FromImage(ones));
    std::array<bool, kPomiarImageSize> result{};
    for (std::size_t i = 0; i < kPomiarImageSize; ++i) result[i] = written[i] != 0;
    return result;
  }();
  return fields;
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1) {
    parts.push_back(text.substr(start, end - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

// A CSV number reads back as the very double (any NaN as a NaN).
bool ReadsBackAs(const std::string& text, double value) {
  double read = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), read);
  if (error != std::errc{} || end != text.data() + text.size()) return false;
  return std::isnan(value) ? std::isnan(read)
                           : std::bit_cast<std::uint64_t>(read) == std::bit_cast<std::uint64_t>(value);
}

// A shown value with `decimals` fixed decimals: within rounding of a finite
// value, and no number at all for inf and NaN.
bool ShowsValue(const std::string& text, double value, int decimals) {
  const auto read = ReadBackNumber(text, ".");
  if (!std::isfinite(value)) return !text.empty() && !read;
  return read &&
         std::fabs(*read - value) <= 0.5L * std::pow(10.0L, -decimals) * (1 + 1e-12L) + std::fabs(value) * 1e-14L;
}

void CheckMaxima(const TPomiar& pomiar, int count) {
  // The largest values themselves, each reached by a sample (a curve below
  // zero has a negative maximum): 0 without samples, and a NaN deceleration
  // only when every sample's is NaN.
  const TMaxima maxima = Maxima(pomiar);
  bool aReached = count == 0 ? maxima.a == 0 : std::isnan(maxima.a);
  bool fReached = count == 0 && maxima.F == 0;
  for (int i = 1; i <= count; ++i) {
    const TProbka& s = pomiar.Probki[i];
    ZR7_FUZZ_CHECK(std::isnan(s.a) || s.a <= maxima.a, "sample " + std::to_string(i));
    ZR7_FUZZ_CHECK(s.F <= maxima.F, "sample " + std::to_string(i));
    aReached = aReached || s.a == maxima.a;
    fReached = fReached || s.F == maxima.F;
  }
  ZR7_FUZZ_CHECK(aReached, "a max " + std::to_string(maxima.a));
  ZR7_FUZZ_CHECK(fReached, "F max " + std::to_string(maxima.F));

  const std::vector<std::string> lines = Split(DescribeMeasurement(pomiar), '\n');
  ZR7_FUZZ_CHECK(lines.size() == 18 && lines.back().empty(), std::to_string(lines.size()) + " lines");
  const auto value = [&](std::string_view name) {
    for (const std::string& line : lines) {
      if (line.starts_with(std::string(name) + ": ")) return line.substr(name.size() + 2);
    }
    ZR7_FUZZ_CHECK(false, std::string(name) + " missing");
    return std::string();
  };
  ZR7_FUZZ_CHECK(value("samples") == std::to_string(count), value("samples"));
  ZR7_FUZZ_CHECK(ShowsValue(value("a_max_ms2"), maxima.a, 1), value("a_max_ms2"));
  ZR7_FUZZ_CHECK(ShowsValue(value("F_max_daN"), maxima.F, 0), value("F_max_daN"));
}

void CheckCsv(const TPomiar& pomiar, int count) {
  const std::vector<std::string> lines = Split(MeasurementCsv(pomiar), '\n');
  ZR7_FUZZ_CHECK(lines.size() == static_cast<std::size_t>(count) + 2 && lines.back().empty(),
                 std::to_string(lines.size()) + " CSV lines for " + std::to_string(count) + " samples");
  for (int i = 1; i <= count; ++i) {
    const TProbka& s = pomiar.Probki[i];
    const std::vector<std::string> fields = Split(lines[static_cast<std::size_t>(i)], ',');
    const std::string where = "CSV line " + std::to_string(i) + ": " + lines[static_cast<std::size_t>(i)];
    ZR7_FUZZ_CHECK(fields.size() == 7, where);
    ZR7_FUZZ_CHECK(ReadsBackAs(fields[0], i / kSamplesPerSecond), where);
    ZR7_FUZZ_CHECK(fields[1] == std::to_string(s.F), where);
    ZR7_FUZZ_CHECK(ReadsBackAs(fields[2], s.a) && ReadsBackAs(fields[3], s.ax) && ReadsBackAs(fields[4], s.az), where);
    ZR7_FUZZ_CHECK(fields[5] == std::to_string(s.surX) && fields[6] == std::to_string(s.surZ), where);
  }
}

void CheckCurves(const TPomiar& pomiar, int count) {
  const TMeasurementCurves curves = MeasurementCurves(pomiar);
  ZR7_FUZZ_CHECK(
      curves.force.size() == static_cast<std::size_t>(count) && curves.deceleration.size() == curves.force.size(),
      std::to_string(curves.force.size()) + " points");
  // The peak's time is that of a sample, or 0 when nothing rose above zero.
  const double samplesAtPeak = curves.tmax * kSamplesPerSecond;
  ZR7_FUZZ_CHECK(samplesAtPeak >= 0 && samplesAtPeak <= count && samplesAtPeak == std::round(samplesAtPeak),
                 std::to_string(curves.tmax));
  const std::string caption = BrakeCaptionOfFile(pomiar);
  ZR7_FUZZ_CHECK(caption.starts_with(pomiar.Hamulec.Text()), caption);
}

// Either figures, all of them finite, or the reason there are none; shown
// as "name: value" lines whose values are numbers, then the verdict on the
// vehicle the file names (its kind and first registration are the file's
// own texts).
void CheckBraking(const TPomiar& pomiar) {
  const TBrakingAnalysis analysis = AnalyzeBraking(pomiar);
  const TBrakingVerdict verdict = JudgeBraking(analysis, StationDataOf(pomiar), pomiar.Hamulec.Utf8());
  const std::string text = DescribeBraking(analysis, verdict);
  ZR7_FUZZ_CHECK(analysis.figures.has_value() == analysis.reason.empty(), text);
  if (!analysis.figures) {
    ZR7_FUZZ_CHECK(text == "mfdd_ms2: n/a (" + analysis.reason + ")\nverdict: n/a (" + analysis.reason + ")\n", text);
    return;
  }
  const TBrakingFigures& f = *analysis.figures;
  for (const double figure : {f.mfdd, f.brakingRatio, f.v0, f.stoppingDistance, f.brakingTime}) {
    ZR7_FUZZ_CHECK(std::isfinite(figure), text);
  }
  const std::vector<std::string> lines = Split(text, '\n');
  ZR7_FUZZ_CHECK(lines.size() > 1 && lines.back().empty(), text);
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.starts_with("verdict: ")) {
      ZR7_FUZZ_CHECK(line == "verdict: pass" || line == "verdict: fail" ||
                         (line.starts_with("verdict: n/a (") && line.ends_with(")")),
                     text);
      continue;
    }
    if (line.starts_with("requirement_source: ")) continue;
    const std::size_t colon = line.find(": ");
    ZR7_FUZZ_CHECK(colon != std::string::npos, text);
    std::string value = line.substr(colon + 2);
    // The control force limit is followed by its source in brackets.
    if (line.starts_with("control_force_limit_daN: ")) value = value.substr(0, value.find(" ("));
    ZR7_FUZZ_CHECK(ReadBackNumber(value, "."), text);
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = zr7::fuzz::WriteScratchFile("pomiar.zr", data, size);
  TPomiar untouched;
  untouched.Uwagi.Assign("nothing loaded yet");
  TPomiar pomiar = untouched;
  const TLoadResult result = LoadMeasurementFile(path, pomiar);
  ZR7_FUZZ_CHECK(result.error == 0, std::to_string(result.error));

  // A longer file is read from its first record; the bytes after it are not.
  const bool holdsARecord = size >= kPomiarImageSize;
  const std::int32_t count =
      holdsARecord ? FromImage(std::span<const std::uint8_t, kPomiarImageSize>(data, kPomiarImageSize)).Probki[1].n : 0;
  const bool acceptable = holdsARecord && count >= 0 && count <= TProbki::kCount;
  ZR7_FUZZ_CHECK(result.Ok() == acceptable, "size " + std::to_string(size) + ", count " + std::to_string(count));
  if (!result.Ok()) {
    ZR7_FUZZ_CHECK(pomiar == untouched, "a refused file changed the record");
    return 0;
  }

  // The image a save writes is the file's but for the fillers, which are zero.
  const TPomiarImage image = ToImage(pomiar);
  for (std::size_t i = 0; i < kPomiarImageSize; ++i) {
    ZR7_FUZZ_CHECK(image[i] == (FieldBytes()[i] ? data[i] : 0), "byte " + std::to_string(i));
  }

  CheckMaxima(pomiar, count);
  CheckCsv(pomiar, count);
  CheckCurves(pomiar, count);
  CheckBraking(pomiar);
  return 0;
}
