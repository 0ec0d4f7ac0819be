#include "chart/chart_series.h"

#include <QAreaSeries>
#include <QBrush>
#include <QLineSeries>
#include <QList>
#include <QPen>
#include <QPointF>

#include <cmath>

namespace zr7 {

TQtChartSeries::TQtChartSeries(const TSeriesStyle& style, std::function<void()> changed)
    : style_(style), changed_(std::move(changed)) {
  if (!style_.shown) return;
  line_ = new QLineSeries;
  line_->setName(style_.title);
  QPen pen(style_.color, style_.penWidth, style_.penStyle);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  line_->setPen(pen);
  if (style_.fill.isValid()) {
    area_ = new QAreaSeries(line_);
    // The chart owns the area it draws, but an area does not own its
    // outline: the outline goes with the area.
    line_->setParent(area_);
    area_->setName(style_.title);
    area_->setPen(pen);
    area_->setBrush(style_.fill);
  }
  line_->setPointsVisible(false);
  line_->setPointLabelsFormat(QStringLiteral("@yPoint"));
  line_->setPointLabelsColor(Qt::black);
  line_->setPointLabelsClipping(true);
}

QAbstractSeries* TQtChartSeries::Drawn() const {
  if (area_) return area_;
  return line_;
}

void TQtChartSeries::Clear() {
  points_.Clear();
  PointsChanged();
}

void TQtChartSeries::AddXY(double x, double y) {
  points_.Add(x, y);
  PointsChanged();
}

void TQtChartSeries::SetMarksVisible(bool visible) {
  marksVisible_ = visible;
  if (line_) line_->setPointLabelsVisible(visible);
}

void TQtChartSeries::PointsChanged() {
  lineStale_ = true;
  changed_();
}

void TQtChartSeries::HandPointsToLine() {
  if (!lineStale_ || !line_) return;
  lineStale_ = false;
  QList<QPointF> points;
  points.reserve(points_.Count());
  // Qt Charts cannot place infinities or NaN; the line joins its neighbours.
  for (const TPoint& p : points_.All()) {
    if (std::isfinite(p.x) && std::isfinite(p.y)) points.append(QPointF(p.x, p.y));
  }
  line_->replace(points);
}

} // namespace zr7
