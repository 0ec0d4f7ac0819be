#include "chart/tchart.h"

#include "chart/chart_axis.h"
#include "chart/chart_series.h"
#include "chart/chart_view.h"

#include <QBuffer>
#include <QChart>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLegendMarker>
#include <QLocale>
#include <QLineSeries>
#include <QPainter>
#include <QSvgGenerator>
#include <QTimer>
#include <QValueAxis>
#include <QVariantAnimation>

#include <algorithm>
#include <optional>
#include <vector>

namespace zr7 {

namespace {

// Long enough for the operator to see where the zoom went, short enough not
// to keep a queue of cars waiting.
constexpr int kZoomMilliseconds = 400;
// A million-fold zoom shows far less than one sample's step; deeper ones
// would run out of distinct double values for the labels.
constexpr double kDeepestZoom = 1e-6;

// The ranges shown on the three axes.
struct TAxesView {
  TAxisRange bottom;
  TAxisRange left;
  TAxisRange right;
};

TAxisRange ShownRange(const QValueAxis& axis) { return {axis.min(), axis.max()}; }

// The values at the two ends of a stretch of pixels, on an axis that runs
// from `range.minimum` at pixel `low` to `range.maximum` at pixel `high`.
TAxisRange PixelsToValues(const TAxisRange& range, double low, double high, double from, double to) {
  const auto value = [&](double pixel) {
    return range.minimum + (pixel - low) / (high - low) * (range.maximum - range.minimum);
  };
  const double a = value(from);
  const double b = value(to);
  return {std::min(a, b), std::max(a, b)};
}

} // namespace

struct TChart::Impl {
  TChart& owner;
  QChart* chart = new QChart;
  TChartView* view = nullptr;
  std::vector<std::unique_ptr<TQtChartSeries>> series;
  std::unique_ptr<TQtChartAxis> left;
  std::unique_ptr<TQtChartAxis> right;
  std::unique_ptr<TQtChartAxis> bottom;
  bool refreshPending = false;
  // The operator's zoom, kept over new data until the full view is asked for
  // or the program sets a range. Qt Charts' own axis animation breaks when
  // a label step changes under it, so the chart never animates by itself:
  // the zoom moves the ranges frame by frame, each frame a still chart with
  // its own readable labels.
  std::optional<TAxesView> zoom;
  QVariantAnimation* zoomAnimation = nullptr;

  enum class TAlong { Bottom, Left, Right };

  explicit Impl(TChart& chart);
  std::unique_ptr<TQtChartAxis> MakeAxis(TAlong along);
  TExtent ShownValues(TAlong along) const;
  void ScheduleRefresh();
  void Refresh();
  void UpdateLabelSteps();
  void ShowFullRanges();
  TAxesView ShownView() const;
  void Show(const TAxesView& view);
  void ZoomInto(const QRectF& area);
  void EndZoom();
  void DrawPicture(QPainter& painter, const QRectF& target);
};

TChart::Impl::Impl(TChart& owner_) : owner(owner_) {
  view = new TChartView(
      chart, [this](const QRectF& area) { ZoomInto(area); }, [this] { owner.ResetZoom(); }, &owner);
  // Zoom is by mouse alone; a view that shows no focus is no Tab stop.
  view->setFocusPolicy(Qt::NoFocus);
  chart->setTitle(QString());
  chart->setBackgroundRoundness(0);
  chart->setPlotAreaBackgroundVisible(false);
  chart->setLocale(QLocale());
  chart->setLocalizeNumbers(true);
  chart->setAnimationOptions(QChart::NoAnimation);
  zoomAnimation = new QVariantAnimation(&owner);
  zoomAnimation->setDuration(kZoomMilliseconds);
  zoomAnimation->setEasingCurve(QEasingCurve::OutCubic);
  chart->legend()->setAlignment(Qt::AlignRight);
  chart->legend()->setReverseMarkers(true);

  left = MakeAxis(TAlong::Left);
  right = MakeAxis(TAlong::Right);
  bottom = MakeAxis(TAlong::Bottom);
  right->SetGrid(false, Qt::lightGray);
  // Zooming changes the ranges shown and resizing the axes' lengths: both
  // change which label step is readable.
  for (TQtChartAxis* axis : {left.get(), right.get(), bottom.get()}) {
    QObject::connect(axis->Axis(), &QValueAxis::rangeChanged, &owner, [this] { UpdateLabelSteps(); });
  }
  QObject::connect(chart, &QChart::plotAreaChanged, &owner, [this] { UpdateLabelSteps(); });
  ShowFullRanges();
}

std::unique_ptr<TQtChartAxis> TChart::Impl::MakeAxis(TAlong along) {
  auto* axis = new QValueAxis;
  chart->addAxis(axis, along == TAlong::Bottom ? Qt::AlignBottom
                       : along == TAlong::Left ? Qt::AlignLeft
                                               : Qt::AlignRight);
  return std::make_unique<TQtChartAxis>(
      axis, [this, along] { return ShownValues(along); },
      [this](bool newRange) {
        // A range the program sets is shown at once, also ending a zoom.
        if (newRange) EndZoom();
        ScheduleRefresh();
      });
}

TExtent TChart::Impl::ShownValues(TAlong along) const {
  TExtent extent;
  for (const auto& s : series) {
    if (!s->Line()) continue;
    const bool onLeft = s->Style().axis == TVerticalAxis::Left;
    if (along == TAlong::Left && !onLeft) continue;
    if (along == TAlong::Right && onLeft) continue;
    for (const TPoint& p : s->Points().All()) extent.Include(along == TAlong::Bottom ? p.x : p.y);
  }
  return extent;
}

void TChart::Impl::ScheduleRefresh() {
  if (refreshPending) return;
  refreshPending = true;
  QTimer::singleShot(0, &owner, [this] {
    if (refreshPending) Refresh();
  });
}

// Hands changed points to Qt Charts and fits the ranges to them, unless the
// operator has zoomed in: then the zoom stays until the full view is asked
// for again.
void TChart::Impl::Refresh() {
  refreshPending = false;
  for (const auto& s : series) s->HandPointsToLine();
  if (!zoom) ShowFullRanges();
  UpdateLabelSteps();
}

void TChart::Impl::ShowFullRanges() {
  for (TQtChartAxis* axis : {left.get(), right.get(), bottom.get()}) axis->ShowFullRange();
}

TAxesView TChart::Impl::ShownView() const {
  return {ShownRange(*bottom->Axis()), ShownRange(*left->Axis()), ShownRange(*right->Axis())};
}

void TChart::Impl::Show(const TAxesView& view) {
  bottom->ShowRange(view.bottom);
  left->ShowRange(view.left);
  right->ShowRange(view.right);
}

// Zooms from the ranges shown now, mid-way through an earlier zoom too, to
// the values under the dragged area.
void TChart::Impl::ZoomInto(const QRectF& area) {
  const QRectF plot = chart->plotArea();
  if (area.width() <= 0 || area.height() <= 0 || plot.width() <= 0 || plot.height() <= 0) return;
  const TAxesView from = ShownView();
  const TAxesView to{
      PixelsToValues(from.bottom, plot.left(), plot.right(), area.left(), area.right()),
      PixelsToValues(from.left, plot.bottom(), plot.top(), area.bottom(), area.top()),
      PixelsToValues(from.right, plot.bottom(), plot.top(), area.bottom(), area.top()),
  };
  const auto tooDeep = [](const TAxisRange& range, const TQtChartAxis& axis) {
    return !(range.maximum - range.minimum > (axis.Maximum() - axis.Minimum()) * kDeepestZoom);
  };
  if (tooDeep(to.bottom, *bottom) || tooDeep(to.left, *left) || tooDeep(to.right, *right)) return;
  zoomAnimation->stop();
  zoomAnimation->disconnect();
  zoom = to;
  zoomAnimation->setStartValue(0.0);
  zoomAnimation->setEndValue(1.0);
  QObject::connect(zoomAnimation, &QVariantAnimation::valueChanged, &owner, [this, from, to](const QVariant& value) {
    const double fraction = value.toDouble();
    Show({Interpolate(from.bottom, to.bottom, fraction), Interpolate(from.left, to.left, fraction),
          Interpolate(from.right, to.right, fraction)});
  });
  zoomAnimation->start();
}

void TChart::Impl::EndZoom() {
  zoomAnimation->stop();
  zoom.reset();
}

void TChart::Impl::UpdateLabelSteps() {
  const QRectF plot = chart->plotArea();
  left->UpdateLabelStep(plot.height());
  right->UpdateLabelStep(plot.height());
  bottom->UpdateLabelStep(plot.width());
}

// The chart as on screen, at the widget's size, scaled into target.
void TChart::Impl::DrawPicture(QPainter& painter, const QRectF& target) {
  const QSizeF size = owner.size();
  // A chart that has never been shown has not been laid out yet, and new
  // ranges and label steps are laid out only when the event loop next runs.
  chart->resize(size);
  chart->layout()->activate();
  Refresh();
  chart->layout()->activate();
  painter.save();
  painter.fillRect(target, Qt::white);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  chart->scene()->render(&painter, target, QRectF(QPointF(0, 0), size), Qt::IgnoreAspectRatio);
  painter.restore();
}

TChart::TChart(QWidget* parent) : QWidget(parent), impl_(std::make_unique<Impl>(*this)) { resize(640, 400); }

TChart::~TChart() {
  // The view and with it the Qt chart go first, so none of their last
  // signals reaches a half-destroyed chart.
  delete impl_->view;
}

void TChart::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  impl_->view->setGeometry(rect());
}

TChartSeries* TChart::AddSeries(const TSeriesStyle& style) {
  auto series = std::make_unique<TQtChartSeries>(style, [this] { impl_->ScheduleRefresh(); });
  if (QAbstractSeries* drawn = series->Drawn()) {
    impl_->chart->addSeries(drawn);
    drawn->attachAxis(impl_->bottom->Axis());
    drawn->attachAxis((style.axis == TVerticalAxis::Left ? impl_->left : impl_->right)->Axis());
    if (!style.inLegend) {
      for (QLegendMarker* marker : impl_->chart->legend()->markers(drawn)) marker->setVisible(false);
    }
  }
  impl_->series.push_back(std::move(series));
  impl_->ScheduleRefresh();
  return impl_->series.back().get();
}

TChartAxis& TChart::LeftAxis() { return *impl_->left; }
TChartAxis& TChart::RightAxis() { return *impl_->right; }
TChartAxis& TChart::BottomAxis() { return *impl_->bottom; }

QStringList TChart::LegendTitles() const {
  QLegend* legend = impl_->chart->legend();
  QList<QLegendMarker*> markers = legend->markers();
  if (legend->reverseMarkers()) std::reverse(markers.begin(), markers.end());
  QStringList titles;
  // A marker's own visibility only says whether the last layout had room for it.
  const auto inLegend = [this](const QAbstractSeries* drawn) {
    return std::none_of(impl_->series.begin(), impl_->series.end(),
                        [&](const auto& s) { return s->Drawn() == drawn && !s->Style().inLegend; });
  };
  for (QLegendMarker* marker : markers) {
    if (marker->series()->isVisible() && inLegend(marker->series())) titles.append(marker->label());
  }
  return titles;
}

void TChart::ResetZoom() {
  impl_->EndZoom();
  impl_->ShowFullRanges();
}

bool TChart::IsZoomed() const { return impl_->zoom.has_value(); }

QImage TChart::RasterPicture() {
  QImage image(size(), QImage::Format_RGB32);
  QPainter painter(&image);
  impl_->DrawPicture(painter, image.rect());
  return image;
}

QByteArray TChart::SvgPicture() {
  QBuffer buffer;
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setSize(size());
  generator.setResolution(logicalDpiX());
  generator.setViewBox(QRect(QPoint(0, 0), size()));
  generator.setTitle(QStringLiteral("ZR-7"));
  {
    QPainter painter(&generator);
    impl_->DrawPicture(painter, QRectF(QPointF(0, 0), size()));
  }
  return buffer.data();
}

void TChart::PaintVector(QPainter& painter, const QRectF& target) { impl_->DrawPicture(painter, target); }

} // namespace zr7
