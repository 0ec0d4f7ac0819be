#pragma once

#include <QStatusBar>

class QLabel;

namespace zr7 {

// The window's status bar: two sunken text panels, 200 and 400 pixels wide,
// and a third one for the braking figures in the room to their right.
class TStatusBar : public QStatusBar {
  Q_OBJECT
public:
  static constexpr int kPanelCount = 3;

  explicit TStatusBar(QWidget* parent = nullptr);
  void SetPanelText(int panel, const QString& text);
  QString PanelText(int panel) const;
  void SetPanelHint(int panel, const QString& hint);
  QString PanelHint(int panel) const;
  QLabel* Panel(int panel) const { return panels_[panel]; }

private:
  QLabel* panels_[kPanelCount];
};

} // namespace zr7
