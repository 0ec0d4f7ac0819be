#include "tspinedit.h"

#include <QLineEdit>

namespace zr7 {

TSpinEdit::TSpinEdit(int minimum, int maximum, int maxLength, QWidget* parent)
    : QSpinBox(parent), maxLength_(maxLength) {
  setRange(minimum, maximum);
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  lineEdit()->setMaxLength(maxLength);
}

QValidator::State TSpinEdit::validate(QString& input, int&) const {
  return input.size() <= maxLength_ ? QValidator::Acceptable : QValidator::Invalid;
}

int TSpinEdit::valueFromText(const QString& text) const {
  bool isNumber = false;
  const int value = text.trimmed().toInt(&isNumber);
  if (!isNumber) return minimum();
  return std::clamp(value, minimum(), maximum());
}

} // namespace zr7
