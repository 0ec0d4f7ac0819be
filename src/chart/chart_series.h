#pragma once

#include "chart/series_points.h"
#include "chart/tchart.h"

#include <functional>

class QAbstractSeries;
class QAreaSeries;
class QLineSeries;

namespace zr7 {

// A series of TChart. Its points live in TSeriesPoints; a shown series hands
// them to its Qt Charts line in one go when the chart refreshes, so filling
// it point by point costs no drawing. A hidden series has no line at all:
// it draws nothing and has no legend entry, but holds its points.
class TQtChartSeries final : public TChartSeries {
public:
  // `changed` is called whenever the points change.
  TQtChartSeries(const TSeriesStyle& style, std::function<void()> changed);

  const TSeriesStyle& Style() const override { return style_; }
  void Clear() override;
  void AddXY(double x, double y) override;
  double MaxYValue() const override { return points_.MaxY(); }
  int Count() const override { return points_.Count(); }
  TPoint Point(int index) const override { return points_.At(index); }
  void SetMarksVisible(bool visible) override;
  bool MarksVisible() const override { return marksVisible_; }

  const TSeriesPoints& Points() const { return points_; }
  QLineSeries* Line() const { return line_; } // null when hidden; owned by the chart once added
  // What the chart draws: the line, or the filled area under it.
  QAbstractSeries* Drawn() const;
  void HandPointsToLine(); // when they changed since the last time

private:
  void PointsChanged();

  TSeriesStyle style_;
  TSeriesPoints points_;
  QLineSeries* line_ = nullptr;
  QAreaSeries* area_ = nullptr;
  bool lineStale_ = false;
  bool marksVisible_ = false;
  std::function<void()> changed_;
};

} // namespace zr7
