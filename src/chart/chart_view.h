#pragma once

#include <QChartView>
#include <QPoint>

#include <functional>

class QRubberBand;

namespace zr7 {

// The view of TChart and its mouse zoom. Dragging a rectangle down and to
// the right zooms into it; a drag up and to the left, a right click or a
// double click asks for the full view again.
class TChartView final : public QChartView {
public:
  // `zoomInto` gets the dragged rectangle within the plot area, in the
  // chart's coordinates.
  TChartView(QChart* chart, std::function<void(const QRectF&)> zoomInto, std::function<void()> showFullView,
             QWidget* parent);

protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
  std::function<void(const QRectF&)> zoomInto_;
  std::function<void()> showFullView_;
  QRubberBand* band_;
  QPoint origin_;
  bool dragging_ = false;
};

} // namespace zr7
