#pragma once

#include <QSpinBox>

namespace zr7 {

// A whole-number box with arrows: any text of up to the box's width may be
// typed, text that is not a number reads as the minimum, and a value beyond
// the range becomes the nearer limit when the focus leaves.
class TSpinEdit : public QSpinBox {
  Q_OBJECT
public:
  TSpinEdit(int minimum, int maximum, int maxLength, QWidget* parent = nullptr);
  using QSpinBox::lineEdit;

protected:
  QValidator::State validate(QString& input, int& pos) const override;
  int valueFromText(const QString& text) const override;

private:
  int maxLength_;
};

} // namespace zr7
