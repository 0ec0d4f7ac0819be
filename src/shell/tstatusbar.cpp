#include "tstatusbar.h"

#include <QLabel>

namespace zr7 {

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent) {
  setFixedHeight(19);
  setSizeGripEnabled(true);
  const int widths[] = {200, 400};
  for (int i = 0; i < kPanelCount; ++i) {
    panels_[i] = new QLabel(this);
    panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    if (i < 2) {
      panels_[i]->setFixedWidth(widths[i]);
      addWidget(panels_[i]);
    } else {
      // Takes what room is left and never widens the window for its text.
      panels_[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
      addWidget(panels_[i], 1);
    }
  }
}

void TStatusBar::SetPanelText(int panel, const QString& text) { panels_[panel]->setText(text); }

QString TStatusBar::PanelText(int panel) const { return panels_[panel]->text(); }

void TStatusBar::SetPanelHint(int panel, const QString& hint) { panels_[panel]->setToolTip(hint); }

QString TStatusBar::PanelHint(int panel) const { return panels_[panel]->toolTip(); }

} // namespace zr7
