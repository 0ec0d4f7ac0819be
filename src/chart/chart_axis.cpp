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

TAxisRange TQtChartAxis::FullRange() const { return automatic_ ? AutomaticRange(dataExtent_()) : fixed_; }

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

void TQtChartAxis::ShowFullRange() { ShowRange(FullRange()); }

// Qt Charts lays out the ticks of a new range at once with the step it has:
// a small step left from a deep zoom on a wide range would mean millions of
// ticks. So a coarser step goes in before the range and a finer one after.
void TQtChartAxis::ShowRange(const TAxisRange& range) {
  const double step = ReadableStep(range);
  const bool coarser = step > axis_->tickInterval();
  if (coarser) ApplyStep(step);
  axis_->setRange(range.minimum, range.maximum);
  if (!coarser) ApplyStep(step);
}

void TQtChartAxis::UpdateLabelStep(double axisLength) {
  axisLength_ = axisLength;
  ApplyStep(ReadableStep({axis_->min(), axis_->max()}));
}

double TQtChartAxis::ReadableStep(const TAxisRange& shown) const {
  const double span = shown.maximum - shown.minimum;
  const QFontMetricsF metrics(axis_->labelsFont());
  double labelExtent = 0;
  if (axis_->orientation() == Qt::Horizontal) {
    const int decimals = LabelDecimals(increment_ > 0 ? increment_ : span / 100);
    const QLocale locale;
    for (double value : {shown.minimum, shown.maximum}) {
      labelExtent = std::max(labelExtent, metrics.horizontalAdvance(locale.toString(value, 'f', decimals)));
    }
    labelExtent += metrics.horizontalAdvance(QLatin1Char('0')) * 2;
  } else {
    labelExtent = metrics.height() * 1.5;
  }
  return ReadableLabelStep(increment_, span, axisLength_, labelExtent);
}

void TQtChartAxis::ApplyStep(double step) {
  const QString format = QStringLiteral("%.%1f").arg(LabelDecimals(step));
  if (axis_->tickInterval() != step) axis_->setTickInterval(step);
  if (axis_->labelFormat() != format) axis_->setLabelFormat(format);
}

} // namespace zr7
