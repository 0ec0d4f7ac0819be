// The braking figures of realistic brake-test records, made from known speed
// profiles, beside the truth of each profile: one table row a record.
#include "braking_records.h"
#include "measurement/braking_analysis.h"

#include <cmath>
#include <cstdio>

int main() {
  using namespace zr7;
  std::printf("| record | noise | truth MFDD | MFDD | error | truth v0 | v0 | error |\n");
  std::printf("|---|---|---|---|---|---|---|---|\n");
  for (const TBrakingProfile& profile : RealisticBrakingProfiles()) {
    const TBrakingRecord record = MakeBrakingRecord(profile);
    const TBrakingAnalysis analysis = AnalyzeBraking(record.a);
    const double trueV0 = record.truth.v0 * kKmhPerMs;
    if (record.cut) {
      std::printf("| %s | %.2f | cut | %s | | cut | | |\n", profile.what, profile.noise,
                  analysis.figures ? "figures" : ("n/a (" + analysis.reason + ")").c_str());
      continue;
    }
    if (!analysis.figures) {
      std::printf("| %s | %.2f | %.2f | n/a (%s) | | %.1f | | |\n", profile.what, profile.noise, record.truth.mfdd,
                  analysis.reason.c_str(), trueV0);
      continue;
    }
    const TBrakingFigures& f = *analysis.figures;
    std::printf("| %s | %.2f | %.2f | %.2f | %+.1f %% | %.1f | %.1f | %+.1f km/h |\n", profile.what, profile.noise,
                record.truth.mfdd, f.mfdd, (f.mfdd / record.truth.mfdd - 1) * 100, trueV0, f.v0 * kKmhPerMs,
                f.v0 * kKmhPerMs - trueV0);
  }
}
