#pragma once

#include <QImage>

#include <cstdlib>

namespace zr7 {

// The translucent orange of the braking interval under the deceleration
// curve as it comes out over white, (255, 220, 185); no blend of the red
// curve's edge with white is like it.
inline bool IsShaded(QRgb pixel) {
  return qRed(pixel) > 245 && std::abs(qGreen(pixel) - 220) <= 8 && std::abs(qBlue(pixel) - 185) <= 8;
}

inline int CountShaded(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += IsShaded(image.pixel(x, y));
  }
  return count;
}

} // namespace zr7
