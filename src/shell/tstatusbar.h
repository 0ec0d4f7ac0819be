#pragma once

#include <QStatusBar>

class QLabel;

namespace zr7 {

// The window's status bar: two sunken text panels, 200 and 400 pixels wide.
class TStatusBar : public QStatusBar {
  Q_OBJECT
public:
  explicit TStatusBar(QWidget* parent = nullptr);
  void SetPanelText(int panel, const QString& text);
  QString PanelText(int panel) const;

private:
  QLabel* panels_[2];
};

} // namespace zr7
