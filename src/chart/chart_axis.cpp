#include "chart/chart_axis.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QValueAxis>

#include <algorithm>

namespace zr7 {

TQtChartAxis::TQtChartAxis(QValueAxis* axis, std::function<TExtent()> dataExtent,
                           std::function<void(bool newRange)> changed)
    : axis_(axis), dataExtent_(std::move(dataExtent)), changed_(std::move(changed)) {
  axis_->setTickType(QValueAxis::TicksDynamic);
  axis_->setTickAnchor(0);
}

void TQtChartAxis::SetRange(double minimum, double maximum) {
  automatic_ = false;
  fixed_ = {minimum, maximum};
  changed_(true);
}

void TQtChartAxis::SetAutomatic() {
  automatic_ = true;
  changed_(true);
}

TAxisRange TQtChartAxis::FullRange() const {
  return automatic_ ? AutomaticRange(dataExtent_()) : fixed_;
}

void TQtChartAxis::SetIncrement(double labelStep) {
  increment_ = labelStep;
  changed_(false);
}

void TQtChartAxis::SetTitle(const QString& title) { axis_->setTitleText(title); }

QString TQtChartAxis::Title() const { return axis_->titleText(); }

void TQtChartAxis::SetGrid(bool visible, const QColor& color) {
  axis_->setGridLineVisible(visible);
  axis_->setGridLineColor(color);
}

void TQtChartAxis::ShowFullRange() {
  const TAxisRange range = FullRange();
  axis_->setRange(range.minimum, range.maximum);
}

void TQtChartAxis::UpdateLabelStep(double axisLength) {
  const double span = axis_->max() - axis_->min();
  const QFontMetricsF metrics(axis_->labelsFont());
  double labelExtent = 0;
  if (axis_->orientation() == Qt::Horizontal) {
    const int decimals = LabelDecimals(increment_ > 0 ? increment_ : span / 100);
    const QLocale locale;
    for (double value : {axis_->min(), axis_->max()}) {
      labelExtent = std::max(labelExtent,
                             metrics.horizontalAdvance(locale.toString(value, 'f', decimals)));
    }
    labelExtent += metrics.horizontalAdvance(QLatin1Char('0')) * 2;
  } else {
    labelExtent = metrics.height() * 1.5;
  }
  const double step = ReadableLabelStep(increment_, span, axisLength, labelExtent);
  const QString format = QStringLiteral("%.%1f").arg(LabelDecimals(step));
  if (axis_->tickInterval() != step) axis_->setTickInterval(step);
  if (axis_->labelFormat() != format) axis_->setLabelFormat(format);
}

} // namespace zr7
