#pragma once

#include "measurement/braking_analysis.h"
#include "measurement/measurement_curves.h"
#include "measurement/tpomiar.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>

class QPainter;

namespace zr7 {

class TChart;

enum class TVerticalAxis { Left, Right };

struct TSeriesStyle {
  QString title;
  QColor color;
  int penWidth = 1;
  TVerticalAxis axis = TVerticalAxis::Left;
  bool shown = true;
  bool pointerCapable = false; // a line that can carry point markers (kept hidden)
  Qt::PenStyle penStyle = Qt::SolidLine;
  QColor fill{};        // when valid, the area between the line and zero is filled with it
  bool inLegend = true; // a shown series without a legend entry marks something on another
};

// One line series of the chart. It keeps its points sorted by x: a point
// whose x is not smaller than the last one's is appended, any other goes
// after the last point whose x is smaller than or equal to its own.
class TChartSeries {
public:
  virtual ~TChartSeries() = default;
  virtual const TSeriesStyle& Style() const = 0;
  virtual void Clear() = 0;
  virtual void AddXY(double x, double y) = 0;
  virtual double MaxYValue() const = 0; // 0 for an empty series
  virtual int Count() const = 0;
  virtual TPoint Point(int index) const = 0;      // 0-based
  virtual void SetMarksVisible(bool visible) = 0; // value labels
  virtual bool MarksVisible() const = 0;
};

class TChartAxis {
public:
  virtual ~TChartAxis() = default;
  virtual void SetRange(double minimum, double maximum) = 0; // fixed range
  virtual void SetAutomatic() = 0;
  virtual bool IsAutomatic() const = 0;
  // The full range, computed from the shown series when automatic; a mouse
  // zoom shows part of it without changing it.
  virtual double Minimum() const = 0;
  virtual double Maximum() const = 0;
  // Labels every labelStep, or every smallest of 2, 5, 10 ... times it whose
  // labels fit; 0 lets the axis choose.
  virtual void SetIncrement(double labelStep) = 0;
  virtual double Increment() const = 0;
  virtual void SetTitle(const QString& title) = 0;
  virtual QString Title() const = 0;
  virtual void SetGrid(bool visible, const QColor& color) = 0;
};

// A 2-D line chart on Qt Charts: series on a left or right vertical axis,
// fixed or automatic axis ranges, a legend of the shown series in reverse
// series order, animated mouse zoom, and pictures of itself for the report.
class TChart : public QWidget {
  Q_OBJECT
public:
  explicit TChart(QWidget* parent = nullptr);
  ~TChart() override;

  TChartSeries* AddSeries(const TSeriesStyle& style);
  TChartAxis& LeftAxis();
  TChartAxis& RightAxis();
  TChartAxis& BottomAxis();

  QStringList LegendTitles() const; // as the legend shows them, top to bottom
  // Dragging a rectangle down and to the right zooms into it; a right click,
  // a double click or a drag up and to the left shows the full ranges again.
  void ResetZoom();
  bool IsZoomed() const;

  QImage RasterPicture();                                    // on-screen size, white background
  QByteArray SvgPicture();                                   // vector picture, on-screen size
  void PaintVector(QPainter& painter, const QRectF& target); // same drawing, scaled into target

protected:
  void resizeEvent(QResizeEvent* event) override;

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The five series of the measurement chart and its three axes, configured as
// the main window shows them.
struct TMeasurementSeries {
  TChartSeries* SeriaX = nullptr;
  TChartSeries* SeriaF = nullptr;
  TChartSeries* SeriaZ = nullptr;
  TChartSeries* SeriaA = nullptr;
  TChartSeries* SeriaALFA = nullptr;
};
TMeasurementSeries ConfigureMeasurementChart(TChart& chart);

// Empties the red curve, its plain copy and the force curve and refills
// them from a record: force and deceleration against time, and the three
// points around the largest deceleration on the red curve only.
void FillMeasurementSeries(const TMeasurementSeries& serie, const TPomiar& pomiar);

// Three shown series without legend entries that mark where the braking
// figures come from on the deceleration curve: the interval from 0.8 v0 to
// 0.1 v0 shaded under the curve, the MFDD level dashed across it, and the
// stop as a vertical line.
struct TBrakingMarkSeries {
  TChartSeries* interval = nullptr;
  TChartSeries* mfddLevel = nullptr;
  TChartSeries* stop = nullptr;
};
TBrakingMarkSeries ConfigureBrakingMarks(TChart& chart);

// Refills the marks from a record and its figures; empties them when there
// are none.
void FillBrakingMarks(const TBrakingMarkSeries& marks, const TPomiar& pomiar, const TBrakingAnalysis& analysis);

// Fixes the time axis to the whole of a record's curve, as a bank read of it
// does: 0 to its last sample's time, labels every 0.1 s. A record without
// samples leaves the axis as it is.
void ShowWholeTimeAxis(TChart& chart, const TPomiar& pomiar);

} // namespace zr7
