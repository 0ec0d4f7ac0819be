#pragma once

#include "chart/axis_scale.h"
#include "chart/tchart.h"

#include <functional>

class QValueAxis;

namespace zr7 {

// An axis of TChart on a Qt Charts value axis. It keeps its own settings
// (fixed or automatic range, label step) and puts them on the Qt axis when
// the chart refreshes, because an automatic range and a readable label step
// depend on the data and on the axis's length on screen.
class TQtChartAxis final : public TChartAxis {
public:
  // `dataExtent` gives the values of the shown series along this axis;
  // `changed` is called after each new setting of range (true) or step.
  TQtChartAxis(QValueAxis* axis, std::function<TExtent()> dataExtent, std::function<void(bool newRange)> changed);

  void SetRange(double minimum, double maximum) override;
  void SetAutomatic() override;
  bool IsAutomatic() const override { return automatic_; }
  double Minimum() const override { return FullRange().minimum; }
  double Maximum() const override { return FullRange().maximum; }
  void SetIncrement(double labelStep) override;
  double Increment() const override { return increment_; }
  void SetTitle(const QString& title) override;
  QString Title() const override;
  void SetGrid(bool visible, const QColor& color) override;

  QValueAxis* Axis() const { return axis_; }
  void ShowFullRange();
  // Shows part of the values (a zoom) with labels readable for it.
  void ShowRange(const TAxisRange& range);
  // Labels at the requested step, or the smallest readable multiple of it
  // for the part of the range now shown over `axisLength` pixels.
  void UpdateLabelStep(double axisLength);

private:
  TAxisRange FullRange() const;
  double ReadableStep(const TAxisRange& shown) const;
  void ApplyStep(double step);

  QValueAxis* axis_;
  std::function<TExtent()> dataExtent_;
  std::function<void(bool newRange)> changed_;
  bool automatic_ = true;
  TAxisRange fixed_;
  double increment_ = 0;
  double axisLength_ = 0; // pixels, as last laid out
};

} // namespace zr7
