#include "chart/tchart.h"
#include "measurement/braking_analysis.h"
#include "shaded_pixels.h"

#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QPainter>
#include <QSvgRenderer>
#include <QTest>
#include <QValueAxis>
#include <QVariantAnimation>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace zr7 {
namespace {

bool IsRed(QRgb pixel) { return qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60; }

// The box around the strongly red pixels within part of an image; empty
// when there are none.
QRect RedBox(const QImage& image, const QRect& part) {
  QRect box;
  for (int y = part.top(); y <= part.bottom(); ++y) {
    for (int x = part.left(); x <= part.right(); ++x) {
      if (IsRed(image.pixel(x, y))) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

int CountColour(const QImage& image, QColor colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == colour.rgb();
  }
  return count;
}

class TChartTest : public ::testing::Test {
protected:
  TChartTest() : series(ConfigureMeasurementChart(chart)) {
    chart.resize(800, 500);
    chart.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&chart));
  }

  QChartView* View() { return chart.findChild<QChartView*>(); }
  QChart* Qt() { return View()->chart(); }
  QValueAxis* QtAxis(Qt::Alignment alignment) {
    for (QAbstractAxis* axis : Qt()->axes()) {
      if (axis->alignment() == alignment) return qobject_cast<QValueAxis*>(axis);
    }
    return nullptr;
  }
  QLineSeries* QtLine(const QString& title) {
    for (QAbstractSeries* s : Qt()->series()) {
      if (s->name() == title) return qobject_cast<QLineSeries*>(s);
    }
    return nullptr;
  }
  // A deceleration curve over 0.025..2.5 s from 3.6 up to 8.5 at 1.25 s and
  // down to 3.5, off the grid lines, and a force curve of 10 daN, drawn at 1
  // on the left scale, well below it.
  void FillCurves() {
    for (int i = 1; i <= 100; ++i) {
      const double t = i / 40.0;
      series.SeriaA->AddXY(t, 8.5 - std::abs(t - 1.25) * 4);
      series.SeriaF->AddXY(t, 10);
    }
  }
  void Settle() { QTest::qWait(50); }
  // The zoom moves the ranges over a few hundred milliseconds.
  QVariantAnimation* ZoomAnimation() { return chart.findChild<QVariantAnimation*>(); }
  bool ZoomMoving() { return ZoomAnimation()->state() == QAbstractAnimation::Running; }
  void WaitForZoom() {
    ASSERT_TRUE(ZoomMoving()) << "no zoom started";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ZoomMoving(); }, 5000));
  }
  void DragZoom(QPoint from, QPoint to) {
    QWidget* viewport = View()->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, from);
    QTest::mouseMove(viewport, to);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
  }
  // Where the curves are drawn, without the legend's red marker.
  QRect PlotArea() { return Qt()->plotArea().toAlignedRect(); }

  TChart chart;
  TMeasurementSeries series;
};

TEST_F(TChartTest, MeasurementChartHasItsSeriesAxesAndLegend) {
  struct TExpected {
    TChartSeries* series;
    QString title;
    QColor color;
    int penWidth;
    TVerticalAxis axis;
    bool shown;
    bool marks;
  };
  const std::vector<TExpected> expected = {
      {series.SeriaX, "Opóźnienie w osi X", QColor(128, 255, 0), 1, TVerticalAxis::Left, false, false},
      {series.SeriaF, "Nacisk", QColor(0, 128, 0), 2, TVerticalAxis::Right, true, false},
      {series.SeriaZ, "Przyspieszenie w osi Z", QColor(255, 0, 255), 1, TVerticalAxis::Left, false, true},
      {series.SeriaA, "Opóźnienie", QColor(255, 0, 0), 2, TVerticalAxis::Left, true, false},
      {series.SeriaALFA, "alfa", QColor(0, 0, 0), 1, TVerticalAxis::Left, false, false},
  };
  for (const TExpected& e : expected) {
    const TSeriesStyle& style = e.series->Style();
    SCOPED_TRACE(e.title.toStdString());
    EXPECT_EQ(style.title, e.title);
    EXPECT_EQ(style.color, e.color);
    EXPECT_EQ(style.penWidth, e.penWidth);
    EXPECT_EQ(style.axis, e.axis);
    EXPECT_EQ(style.shown, e.shown);
    EXPECT_EQ(e.series->MarksVisible(), e.marks);
    EXPECT_EQ(e.series->Count(), 0);
  }
  EXPECT_TRUE(series.SeriaA->Style().pointerCapable);
  EXPECT_FALSE(QtLine("Opóźnienie")->pointsVisible());

  EXPECT_EQ(chart.LegendTitles(), QStringList({"Opóźnienie", "Nacisk"}));
  EXPECT_TRUE(Qt()->title().isEmpty());
  EXPECT_EQ(Qt()->series().size(), 2);

  EXPECT_FALSE(chart.LeftAxis().IsAutomatic());
  EXPECT_EQ(chart.LeftAxis().Minimum(), 0);
  EXPECT_EQ(chart.LeftAxis().Maximum(), 10);
  EXPECT_EQ(chart.LeftAxis().Title(), "opóźnienie [ m/s2 ]");
  EXPECT_TRUE(QtAxis(Qt::AlignLeft)->isGridLineVisible());
  EXPECT_EQ(QtAxis(Qt::AlignLeft)->gridLineColor(), QColor(192, 192, 192));
  EXPECT_FALSE(chart.RightAxis().IsAutomatic());
  EXPECT_EQ(chart.RightAxis().Minimum(), 0);
  EXPECT_EQ(chart.RightAxis().Maximum(), 100);
  EXPECT_EQ(chart.RightAxis().Title(), "Siła nacisku [ daN ]");
  EXPECT_TRUE(chart.BottomAxis().IsAutomatic());
  EXPECT_EQ(chart.BottomAxis().Title(), "czas trwania pomiaru [sek]");
  // The curves are drawn against the axes they belong to.
  EXPECT_TRUE(QtLine("Nacisk")->attachedAxes().contains(QtAxis(Qt::AlignRight)));
  EXPECT_TRUE(QtLine("Opóźnienie")->attachedAxes().contains(QtAxis(Qt::AlignLeft)));
}

TEST(TChartLegendTest, ListsShownSeriesInReverseOrder) {
  TChart chart;
  for (const char* title : {"a", "b", "hidden", "c"}) {
    chart.AddSeries({title, Qt::blue, 1, TVerticalAxis::Left, QString(title) != "hidden"});
  }
  EXPECT_EQ(chart.LegendTitles(), QStringList({"c", "b", "a"}));
}

TEST_F(TChartTest, HiddenSeriesHoldPointsButDrawNothingAndScaleNothing) {
  FillCurves();
  for (int i = 1; i <= 400; ++i) {
    series.SeriaX->AddXY(i / 40.0, 5); // bright green, inside the left axis
    series.SeriaALFA->AddXY(i / 40.0, i % 7);
  }
  series.SeriaALFA->AddXY(0.5, 9);
  EXPECT_EQ(series.SeriaALFA->Count(), 401);
  EXPECT_EQ(series.SeriaALFA->MaxYValue(), 9);
  EXPECT_EQ(series.SeriaALFA->Point(20), (TPoint{0.5, 9}));
  EXPECT_EQ(series.SeriaX->Point(399), (TPoint{10, 5}));

  EXPECT_EQ(chart.BottomAxis().Maximum(), 2.5); // hidden series reach 10 s
  EXPECT_EQ(CountColour(chart.RasterPicture(), QColor(128, 255, 0)), 0);
}

TEST_F(TChartTest, ValueLabelsToggleOnTheChosenSeriesOnly) {
  FillCurves();
  series.SeriaA->SetMarksVisible(true);
  EXPECT_TRUE(QtLine("Opóźnienie")->pointLabelsVisible());
  EXPECT_FALSE(QtLine("Nacisk")->pointLabelsVisible());
  EXPECT_FALSE(series.SeriaF->MarksVisible());
  EXPECT_TRUE(series.SeriaZ->MarksVisible());
  series.SeriaA->SetMarksVisible(false);
  EXPECT_FALSE(series.SeriaA->MarksVisible());
  EXPECT_FALSE(QtLine("Opóźnienie")->pointLabelsVisible());
  EXPECT_TRUE(series.SeriaZ->MarksVisible());
}

TEST_F(TChartTest, AutomaticAxesFitTheirShownSeriesAndFixedOnesStay) {
  FillCurves();
  series.SeriaF->AddXY(3.0, 95); // right axis only
  Settle();
  EXPECT_EQ(chart.BottomAxis().Minimum(), 0.025);
  EXPECT_EQ(chart.BottomAxis().Maximum(), 3.0);
  EXPECT_EQ(QtAxis(Qt::AlignBottom)->min(), 0.025);
  EXPECT_EQ(QtAxis(Qt::AlignBottom)->max(), 3.0);
  EXPECT_EQ(QtAxis(Qt::AlignLeft)->max(), 10);

  chart.LeftAxis().SetAutomatic();
  chart.BottomAxis().SetRange(0, 12.5);
  Settle();
  EXPECT_EQ(QtAxis(Qt::AlignLeft)->min(), 3.5);
  EXPECT_EQ(QtAxis(Qt::AlignLeft)->max(), 8.5);
  EXPECT_EQ(QtAxis(Qt::AlignBottom)->min(), 0);
  EXPECT_EQ(QtAxis(Qt::AlignBottom)->max(), 12.5);
  EXPECT_EQ(QtAxis(Qt::AlignRight)->max(), 100);

  series.SeriaA->Clear();
  series.SeriaF->Clear();
  Settle();
  EXPECT_EQ(QtAxis(Qt::AlignBottom)->max(), 12.5);
  EXPECT_EQ(chart.LeftAxis().Minimum(), 0); // nothing shown on the left
  EXPECT_EQ(chart.LeftAxis().Maximum(), 1);
}

TEST_F(TChartTest, LabelStepWidensUntilTheLabelsFit) {
  chart.BottomAxis().SetRange(0, 12.5);
  chart.BottomAxis().SetIncrement(0.1);
  Settle();
  const double wide = QtAxis(Qt::AlignBottom)->tickInterval();
  EXPECT_GT(wide, 0.1);
  EXPECT_LE(12.5 / wide + 1, Qt()->plotArea().width() / 20); // a label "12.5" needs 20 px at least

  // A short range narrows the step again, down to the increment where the
  // labels of the system's font fit (0.1 with Linux's fonts, 0.2 with
  // Windows' wider ones).
  chart.BottomAxis().SetRange(0, 1);
  Settle();
  const double narrow = QtAxis(Qt::AlignBottom)->tickInterval();
  EXPECT_TRUE(narrow == 0.1 || narrow == 0.2) << narrow;
  EXPECT_LE(1 / narrow + 1, Qt()->plotArea().width() / 20);
  EXPECT_EQ(QtAxis(Qt::AlignBottom)->labelFormat(), "%.1f");
}

TEST_F(TChartTest, EveryWayBackFromAZoomRestoresTheFullRanges) {
  FillCurves();
  Settle();
  const QRectF plot = Qt()->plotArea();
  const QPoint from = plot.topLeft().toPoint() + QPoint(100, 50);
  const QPoint to = plot.center().toPoint();
  QWidget* viewport = View()->viewport();
  const auto zoomIn = [&] {
    DragZoom(from, to);
    WaitForZoom();
  };
  const std::vector<std::pair<std::string, std::function<void()>>> waysBack = {
      {"ResetZoom", [&] { chart.ResetZoom(); }},
      {"right click", [&] { QTest::mouseClick(viewport, Qt::RightButton, {}, to); }},
      {"double click", [&] { QTest::mouseDClick(viewport, Qt::LeftButton, {}, to); }},
      {"drag up and left",
       [&] {
         QTest::mousePress(viewport, Qt::LeftButton, {}, to);
         QTest::mouseMove(viewport, from);
         QTest::mouseRelease(viewport, Qt::LeftButton, {}, from);
       }},
  };
  for (const auto& [name, wayBack] : waysBack) {
    SCOPED_TRACE(name);
    zoomIn();
    ASSERT_TRUE(chart.IsZoomed());
    EXPECT_GT(QtAxis(Qt::AlignBottom)->min(), 0.025);
    EXPECT_LT(QtAxis(Qt::AlignBottom)->max(), 2.5);
    EXPECT_LT(QtAxis(Qt::AlignLeft)->max(), 10);
    EXPECT_EQ(chart.BottomAxis().Maximum(), 2.5); // the full range is unchanged
    wayBack();
    EXPECT_FALSE(chart.IsZoomed());
    EXPECT_EQ(QtAxis(Qt::AlignBottom)->min(), 0.025);
    EXPECT_EQ(QtAxis(Qt::AlignBottom)->max(), 2.5);
    EXPECT_EQ(QtAxis(Qt::AlignLeft)->min(), 0);
    EXPECT_EQ(QtAxis(Qt::AlignLeft)->max(), 10);
  }
  // A click without a drag zooms nowhere.
  QTest::mouseClick(viewport, Qt::LeftButton, {}, to);
  EXPECT_FALSE(chart.IsZoomed());
}

// New data leaves the operator's zoom alone; a range the program sets ends it.
TEST_F(TChartTest, ZoomOutlivesNewDataButNotANewRange) {
  FillCurves();
  Settle();
  DragZoom(PlotArea().topLeft() + QPoint(100, 50), PlotArea().center());
  WaitForZoom();
  ASSERT_TRUE(chart.IsZoomed());
  const double zoomedMax = QtAxis(Qt::AlignBottom)->max();

  series.SeriaA->AddXY(5, 4);
  Settle();
  EXPECT_TRUE(chart.IsZoomed());
  EXPECT_EQ(QtAxis(Qt::AlignBottom)->max(), zoomedMax);
  EXPECT_EQ(chart.BottomAxis().Maximum(), 5);

  chart.BottomAxis().SetRange(0, 12.5);
  Settle();
  EXPECT_FALSE(chart.IsZoomed());
  EXPECT_EQ(QtAxis(Qt::AlignBottom)->min(), 0);
  EXPECT_EQ(QtAxis(Qt::AlignBottom)->max(), 12.5);
}

// The zoom lands on the values under the dragged rectangle, and every frame
// on the way has labels that fit their axis.
TEST_F(TChartTest, ZoomMovesToTheDraggedValuesWithReadableLabelsOnTheWay) {
  FillCurves();
  chart.BottomAxis().SetRange(0, 2.5);
  Settle();
  const QRectF plot = Qt()->plotArea();
  const QPointF from = plot.topLeft() + QPointF(plot.width() * 0.2, plot.height() * 0.1);
  const QPointF to = plot.topLeft() + QPointF(plot.width() * 0.6, plot.height() * 0.5);
  DragZoom(from.toPoint(), to.toPoint());
  EXPECT_TRUE(chart.IsZoomed());
  int frames = 0;
  while (ZoomMoving()) {
    QTest::qWait(10);
    ++frames;
    QValueAxis* bottom = QtAxis(Qt::AlignBottom);
    const double labels = (bottom->max() - bottom->min()) / bottom->tickInterval() + 1;
    EXPECT_LE(labels * 20, Qt()->plotArea().width()) << "frame " << frames;
  }
  EXPECT_GT(frames, 3) << "the zoom is animated";
  EXPECT_NEAR(QtAxis(Qt::AlignBottom)->min(), 0.5, 0.01);
  EXPECT_NEAR(QtAxis(Qt::AlignBottom)->max(), 1.5, 0.01);
  EXPECT_NEAR(QtAxis(Qt::AlignLeft)->max(), 9, 0.05);
  EXPECT_NEAR(QtAxis(Qt::AlignLeft)->min(), 5, 0.05);
  EXPECT_NEAR(QtAxis(Qt::AlignRight)->max(), 90, 0.5);
  EXPECT_NEAR(QtAxis(Qt::AlignRight)->min(), 50, 0.5);
}

// What the window does while a zoom moves: new data, a new range, resizing,
// another zoom, the full view. None of it may break the chart.
TEST_F(TChartTest, ChangesDuringAZoomAreSafe) {
  FillCurves();
  Settle();
  const QSize sizes[] = {{829, 700}, {1100, 700}, {700, 450}, {1280, 1000}, {300, 200}, {800, 500}};
  for (int round = 0; round < 12; ++round) {
    SCOPED_TRACE(round);
    DragZoom(PlotArea().topLeft() + QPoint(20, 20), PlotArea().center());
    QTest::qWait(round * 15);
    switch (round % 4) {
      case 0:
        series.SeriaA->AddXY(2.5 + round, 4);
        break;
      case 1:
        chart.BottomAxis().SetRange(0, 2.5 + round);
        break;
      case 2:
        DragZoom(PlotArea().topLeft() + QPoint(5, 5), PlotArea().center());
        break;
      case 3:
        chart.ResetZoom();
        break;
    }
    chart.resize(sizes[round % std::size(sizes)]);
    QTest::qWait(round * 20);
    const QImage picture = chart.RasterPicture();
    EXPECT_EQ(picture.size(), chart.size());
  }
}

// Zooming again and again stops at a millionth of the full range, and the
// way back lays out a readable number of labels at once, not the fine step
// of the deep zoom over the whole range.
TEST_F(TChartTest, DeepZoomsStopAtALimitAndComeBackWithReadableLabels) {
  FillCurves();
  Settle();
  for (int zoom = 0; zoom < 30; ++zoom) {
    const QPoint corner = PlotArea().center();
    DragZoom(corner, corner + QPoint(12, 12));
    if (!ZoomMoving()) break;
    WaitForZoom();
  }
  QValueAxis* bottom = QtAxis(Qt::AlignBottom);
  const double deepest = bottom->max() - bottom->min();
  EXPECT_LT(deepest, 2.475 * 1e-4) << "zoomed deep";
  EXPECT_GE(deepest, 2.475 * 1e-6) << "but not deeper than the limit";
  QTest::mouseClick(View()->viewport(), Qt::RightButton, {}, PlotArea().center());
  for (Qt::Alignment alignment : {Qt::AlignBottom, Qt::AlignLeft, Qt::AlignRight}) {
    QValueAxis* axis = QtAxis(alignment);
    EXPECT_LE((axis->max() - axis->min()) / axis->tickInterval(), 100) << alignment;
  }
  EXPECT_EQ(bottom->max(), 2.5);
}

// A damaged file can hold infinities and NaN: the axes stay on the finite
// values, the largest value ignores NaN, and the chart draws.
TEST_F(TChartTest, NonFiniteValuesNeitherScaleNorBreakTheChart) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  series.SeriaALFA->AddXY(0.025, nan);
  EXPECT_TRUE(std::isnan(series.SeriaALFA->MaxYValue())) << "nothing but NaN yet";
  series.SeriaALFA->AddXY(0.05, 4);
  series.SeriaALFA->AddXY(0.075, nan);
  EXPECT_EQ(series.SeriaALFA->MaxYValue(), 4);
  series.SeriaALFA->AddXY(0.1, inf);
  EXPECT_EQ(series.SeriaALFA->MaxYValue(), inf);

  chart.LeftAxis().SetAutomatic();
  for (double y : {nan, 3.0, inf, 6.0, -inf}) series.SeriaA->AddXY(series.SeriaA->Count() / 40.0, y);
  series.SeriaA->AddXY(inf, 5);
  Settle();
  EXPECT_EQ(QtAxis(Qt::AlignLeft)->min(), 3);
  EXPECT_EQ(QtAxis(Qt::AlignLeft)->max(), 6);
  EXPECT_EQ(QtAxis(Qt::AlignBottom)->max(), 0.1);
  EXPECT_EQ(QtLine("Opóźnienie")->count(), 2);
  EXPECT_TRUE(RedBox(chart.RasterPicture(), PlotArea()).isValid());
}

TEST_F(TChartTest, RasterPictureIsTheChartOnWhiteWithItsRedCurve) {
  const QImage empty = chart.RasterPicture();
  EXPECT_FALSE(RedBox(empty, PlotArea()).isValid());
  FillCurves();
  const QImage picture = chart.RasterPicture();
  EXPECT_EQ(picture.size(), chart.size());
  for (QPoint corner : {QPoint(0, 0), QPoint(picture.width() - 1, picture.height() - 1)}) {
    EXPECT_EQ(picture.pixel(corner), QColor(Qt::white).rgb());
  }
  const QRect red = RedBox(picture, PlotArea());
  ASSERT_TRUE(red.isValid());
  // The curve spans the time axis and rises to 8.5 of 10.
  const QRectF plot = Qt()->plotArea();
  EXPECT_NEAR(red.top(), plot.top() + plot.height() * 0.15, 4);
  EXPECT_NEAR(red.left(), plot.left(), 4);
  EXPECT_NEAR(red.right(), plot.right(), 4);
}

TEST_F(TChartTest, SvgPictureIsAValidDrawingOfTheSameChart) {
  FillCurves();
  const QByteArray svg = chart.SvgPicture();
  EXPECT_TRUE(svg.contains("<polyline") || svg.contains("<path"));
  QSvgRenderer renderer(svg);
  ASSERT_TRUE(renderer.isValid());
  EXPECT_EQ(renderer.viewBox(), chart.rect());

  QImage drawn(chart.size(), QImage::Format_RGB32);
  drawn.fill(Qt::white);
  QPainter painter(&drawn);
  renderer.render(&painter);
  painter.end();
  const QImage raster = chart.RasterPicture();
  const QRect svgRed = RedBox(drawn, PlotArea());
  const QRect rasterRed = RedBox(raster, PlotArea());
  ASSERT_TRUE(svgRed.isValid());
  EXPECT_NEAR(svgRed.left(), rasterRed.left(), 2);
  EXPECT_NEAR(svgRed.top(), rasterRed.top(), 2);
  EXPECT_NEAR(svgRed.right(), rasterRed.right(), 2);
  EXPECT_NEAR(svgRed.bottom(), rasterRed.bottom(), 2);
}

TEST_F(TChartTest, PaintVectorScalesTheDrawingIntoTheTarget) {
  FillCurves();
  const QImage raster = chart.RasterPicture();
  const QRect rasterRed = RedBox(raster, PlotArea());
  const QPoint offset(30, 40);
  QImage page(chart.width() * 2 + 100, chart.height() * 2 + 100, QImage::Format_RGB32);
  page.fill(Qt::gray);
  QPainter painter(&page);
  chart.PaintVector(painter, QRectF(offset, chart.size() * 2));
  painter.end();
  EXPECT_EQ(page.pixel(offset), QColor(Qt::white).rgb());
  EXPECT_EQ(page.pixel(offset - QPoint(1, 1)), QColor(Qt::gray).rgb());
  const QRect plot = PlotArea();
  const QRect red = RedBox(page, QRect(offset + plot.topLeft() * 2, plot.size() * 2));
  ASSERT_TRUE(red.isValid());
  EXPECT_NEAR(red.left(), offset.x() + rasterRed.left() * 2, 4);
  EXPECT_NEAR(red.top(), offset.y() + rasterRed.top() * 2, 4);
  EXPECT_NEAR(red.right(), offset.x() + rasterRed.right() * 2, 4);
}

TEST_F(TChartTest, BrakingMarksShowWhereTheFiguresComeFromWithoutLegendEntries) {
  const TBrakingMarkSeries marks = ConfigureBrakingMarks(chart);
  // At rest, 6 m/s2 from 0.5 s to 3 s, at rest again.
  TPomiar p;
  p.Probki[1].n = 160;
  for (int i = 20; i < 120; ++i) p.Probki[i].a = 6;
  FillMeasurementSeries(series, p);
  ShowWholeTimeAxis(chart, p);
  const TBrakingAnalysis analysis = AnalyzeBraking(p);
  ASSERT_TRUE(analysis.figures) << analysis.reason;
  const TBrakingFigures& f = *analysis.figures;
  FillBrakingMarks(marks, p, analysis);
  Settle();
  EXPECT_EQ(chart.LegendTitles(), (QStringList{"Opóźnienie", "Nacisk"}));

  const QImage picture = chart.RasterPicture();
  QLineSeries* curve = QtLine("Opóźnienie");
  ASSERT_NE(curve, nullptr);
  const auto at = [&](double x, double y) { return Qt()->mapToPosition(QPointF(x, y), curve).toPoint(); };
  QRect shaded;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      if (IsShaded(picture.pixel(x, y))) shaded |= QRect(x, y, 1, 1);
    }
  }
  ASSERT_TRUE(shaded.isValid()) << "no shading";
  EXPECT_NEAR(shaded.left(), at(f.mfddFrom, 0).x(), 3);
  EXPECT_NEAR(shaded.right(), at(f.mfddTo, 0).x(), 3);
  EXPECT_NEAR(shaded.top(), at(0, 6).y(), 3);
  EXPECT_NEAR(shaded.bottom(), at(0, 0).y(), 3);
  // The dashed MFDD level runs across the interval at its height; the stop
  // is a vertical line at its time.
  const QPoint level = at((f.mfddFrom + f.mfddTo) / 2, f.mfdd);
  int levelPixels = 0;
  for (int x = at(f.mfddFrom, 0).x(); x <= at(f.mfddTo, 0).x(); ++x) {
    for (int y = level.y() - 1; y <= level.y() + 1; ++y)
      levelPixels += qBlue(picture.pixel(x, y)) > 120 && qRed(picture.pixel(x, y)) < 100;
  }
  EXPECT_GT(levelPixels, (at(f.mfddTo, 0).x() - at(f.mfddFrom, 0).x()) / 3);
  const QPoint stop = at(f.stopTime, 3);
  int stopPixels = 0;
  for (int y = at(0, 6).y(); y <= at(0, 0).y(); ++y) {
    for (int x = stop.x() - 1; x <= stop.x() + 1; ++x) {
      const QRgb pixel = picture.pixel(x, y);
      stopPixels += qRed(pixel) < 110 && qGreen(pixel) < 110 && qBlue(pixel) < 110;
    }
  }
  EXPECT_GT(stopPixels, (at(0, 0).y() - at(0, 6).y()) / 3);

  // Without figures the marks go.
  FillBrakingMarks(marks, p, TBrakingAnalysis{std::nullopt, kNoBraking});
  Settle();
  EXPECT_EQ(CountShaded(chart.RasterPicture()), 0);
}

} // namespace
} // namespace zr7
