#include "tclickableimage.h"

#include <QMouseEvent>

namespace zr7 {

void TClickableImage::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
  QLabel::mouseReleaseEvent(event);
}

} // namespace zr7
