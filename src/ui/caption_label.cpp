#include "caption_label.h"

namespace zr7 {

QLabel* CaptionLabel(QWidget* parent, const char* utf8Text, QPoint position, bool bold) {
  auto* label = new QLabel(QString::fromUtf8(utf8Text), parent);
  if (bold) {
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
  }
  label->move(position);
  label->adjustSize();
  return label;
}

} // namespace zr7
