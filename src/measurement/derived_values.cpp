#include "derived_values.h"

#include <cmath>

namespace zr7 {

void ComputeDerived(TProbka& sample) {
  // 2048 counts are 3 g; the Z axis carries a 0.99 correction. Products run
  // left to right, each rounded to double, as the instrument's maker wrote them.
  sample.ax = static_cast<double>(sample.surX * 3) * 9.81 / 2048;
  sample.az = static_cast<double>(sample.surZ * 3) * 9.81 * 0.99 / 2048;
  // Gravity's share (9.81 squared) is taken out of the vector's square; what
  // would be negative from noise counts as no deceleration at all.
  const double radicand = sample.ax * sample.ax + sample.az * sample.az - 96.2361;
  sample.a = radicand > 0 ? std::sqrt(radicand) : 0.0;
}

} // namespace zr7
