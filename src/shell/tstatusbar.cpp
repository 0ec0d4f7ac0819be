#include "tstatusbar.h"

#include "ui/fitted_text.h"

#include <QLabel>

namespace zr7 {

// A sunken panel that shows as much of its text as its width allows.
class TStatusPanel : public QLabel {
public:
  explicit TStatusPanel(QWidget* parent) : QLabel(parent) { setFrameStyle(QFrame::Panel | QFrame::Sunken); }

  void SetWholeText(const QString& text) {
    whole_ = text;
    Fit();
  }
  const QString& WholeText() const { return whole_; }

protected:
  void resizeEvent(QResizeEvent* event) override {
    QLabel::resizeEvent(event);
    Fit();
  }

private:
  // The room for text: the panel inside its frame, less the label's margins
  // and the indent a framed label gives its text.
  int TextWidth() const {
    const int indent =
        this->indent() >= 0 ? this->indent() : (frameWidth() > 0 ? fontMetrics().horizontalAdvance(u'x') / 2 : 0);
    return contentsRect().width() - 2 * margin() - indent;
  }

  void Fit() { setText(FittedText(whole_, TextWidth(), fontMetrics())); }

  QString whole_;
};

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent) {
  setFixedHeight(19);
  setSizeGripEnabled(true);
  const int widths[] = {200, 400};
  for (int i = 0; i < kPanelCount; ++i) {
    panels_[i] = new TStatusPanel(this);
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

void TStatusBar::SetPanelText(int panel, const QString& text) { panels_[panel]->SetWholeText(text); }

QString TStatusBar::PanelText(int panel) const { return panels_[panel]->WholeText(); }

void TStatusBar::SetPanelHint(int panel, const QString& hint) { panels_[panel]->setToolTip(hint); }

QString TStatusBar::PanelHint(int panel) const { return panels_[panel]->toolTip(); }

QLabel* TStatusBar::Panel(int panel) const { return panels_[panel]; }

} // namespace zr7
