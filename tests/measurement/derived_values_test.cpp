#include "measurement/derived_values.h"

#include <gtest/gtest.h>

namespace zr7 {
namespace {

struct DerivedCase {
  std::int16_t surX;
  std::int16_t surZ;
  double ax;
  double az;
  double a;
  double tolerance;
};

TEST(DerivedValues, FromRawCounts) {
  const DerivedCase cases[] = {
      {2048, 0, 29.43, 0, 27.7469, 1e-4},
      {0, 2048, 0, 29.1357, 27.4345, 1e-4},
      {0, 689, 0, 9.8020, 0, 1e-4}, // below gravity: no deceleration
      {0, 700, 0, 9.9587, 1.7136, 1e-3},
      {300, 700, 4.3110, 9.9587, 4.6393, 1e-3},
      {-300, -700, -4.3110, -9.9587, 4.6393, 1e-3},
      {0, 0, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    TProbka s;
    s.surX = c.surX;
    s.surZ = c.surZ;
    ComputeDerived(s);
    EXPECT_NEAR(s.ax, c.ax, c.tolerance) << c.surX << " " << c.surZ;
    EXPECT_NEAR(s.az, c.az, c.tolerance) << c.surX << " " << c.surZ;
    EXPECT_NEAR(s.a, c.a, c.tolerance) << c.surX << " " << c.surZ;
    EXPECT_GE(s.a, 0);
  }
}

TEST(DerivedValues, ProductsAreRoundedLeftToRight) {
  TProbka s;
  s.surX = 2048;
  s.surZ = 2048;
  ComputeDerived(s);
  EXPECT_EQ(s.ax, 6144 * 9.81 / 2048);
  volatile double z = 6144 * 9.81; // each step rounded to double, in order
  z = z * 0.99;
  EXPECT_EQ(s.az, z / 2048);
  EXPECT_EQ(s.az, 29.1357);
  EXPECT_EQ(s.ax, 29.43);
}

} // namespace
} // namespace zr7
