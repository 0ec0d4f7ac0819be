#pragma once

#include <QStatusBar>

class QLabel;

namespace zr7 {

class TStatusPanel;

// The window's status bar: two sunken text panels, 200 and 400 pixels wide,
// and a third one for the braking figures in the room to their right. A
// panel too narrow for its text shows the leading parts that fit (parts are
// separated by two spaces) and an ellipsis, never a part cut off.
class TStatusBar : public QStatusBar {
  Q_OBJECT
public:
  static constexpr int kPanelCount = 3;

  explicit TStatusBar(QWidget* parent = nullptr);
  void SetPanelText(int panel, const QString& text);
  // The whole text, however much of it the panel shows.
  QString PanelText(int panel) const;
  void SetPanelHint(int panel, const QString& hint);
  QString PanelHint(int panel) const;
  QLabel* Panel(int panel) const;

private:
  TStatusPanel* panels_[kPanelCount];
};

} // namespace zr7
