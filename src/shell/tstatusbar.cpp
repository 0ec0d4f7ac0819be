#include "tstatusbar.h"

#include <QLabel>

namespace zr7 {

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent) {
  setFixedHeight(19);
  setSizeGripEnabled(true);
  const int widths[] = {200, 400};
  for (int i = 0; i < 2; ++i) {
    panels_[i] = new QLabel(this);
    panels_[i]->setFixedWidth(widths[i]);
    panels_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    addWidget(panels_[i]);
  }
}

void TStatusBar::SetPanelText(int panel, const QString& text) { panels_[panel]->setText(text); }

QString TStatusBar::PanelText(int panel) const { return panels_[panel]->text(); }

} // namespace zr7
