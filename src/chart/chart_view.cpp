#include "chart/chart_view.h"

#include <QApplication>
#include <QMouseEvent>
#include <QRubberBand>

namespace zr7 {

TChartView::TChartView(QChart* chart, std::function<void(const QRectF&)> zoomInto, std::function<void()> showFullView,
                       QWidget* parent)
    : QChartView(chart, parent),
      zoomInto_(std::move(zoomInto)),
      showFullView_(std::move(showFullView)),
      band_(new QRubberBand(QRubberBand::Rectangle, viewport())) {
  setRenderHint(QPainter::Antialiasing);
  setFrameShape(QFrame::NoFrame);
}

void TChartView::mousePressEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::LeftButton && chart()->plotArea().contains(at)) {
    origin_ = at;
    dragging_ = true;
    band_->setGeometry(QRect(origin_, QSize()));
    band_->show();
  }
  event->accept();
}

void TChartView::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_) {
    const QPoint at = event->position().toPoint();
    band_->setGeometry(QRect(origin_, at).normalized());
  }
  event->accept();
}

void TChartView::mouseReleaseEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (event->button() == Qt::RightButton) {
    showFullView_();
  } else if (event->button() == Qt::LeftButton && dragging_) {
    dragging_ = false;
    band_->hide();
    const QPoint drag = at - origin_;
    if (drag.manhattanLength() >= QApplication::startDragDistance()) {
      if (drag.x() > 0 && drag.y() > 0) {
        zoomInto_(QRectF(origin_, at).intersected(chart()->plotArea()));
      } else if (drag.x() < 0 && drag.y() < 0) {
        showFullView_();
      }
    }
  }
  event->accept();
}

void TChartView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) showFullView_();
  event->accept();
}

} // namespace zr7
