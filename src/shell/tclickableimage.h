#pragma once

#include <QLabel>

namespace zr7 {

// A picture that reports a click, like the maker's logo on the tool panel.
class TClickableImage : public QLabel {
  Q_OBJECT
public:
  using QLabel::QLabel;

signals:
  void clicked();

protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace zr7
