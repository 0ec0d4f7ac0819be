#include "chart/tchart.h"

#include "measurement/braking_marks.h"

namespace zr7 {

TMeasurementSeries ConfigureMeasurementChart(TChart& chart) {
  using enum TVerticalAxis;
  TMeasurementSeries s;
  s.SeriaX = chart.AddSeries({QStringLiteral("Opóźnienie w osi X"), QColor(128, 255, 0), 1, Left, false});
  s.SeriaF = chart.AddSeries({QStringLiteral("Nacisk"), QColor(0, 128, 0), 2, Right, true});
  s.SeriaZ = chart.AddSeries({QStringLiteral("Przyspieszenie w osi Z"), QColor(255, 0, 255), 1, Left, false});
  s.SeriaZ->SetMarksVisible(true);
  s.SeriaA = chart.AddSeries({QStringLiteral("Opóźnienie"), QColor(255, 0, 0), 2, Left, true, true});
  s.SeriaALFA = chart.AddSeries({QStringLiteral("alfa"), QColor(0, 0, 0), 1, Left, false});

  const QColor silver(192, 192, 192);
  chart.LeftAxis().SetRange(0, 10);
  chart.LeftAxis().SetTitle(QStringLiteral("opóźnienie [ m/s2 ]"));
  chart.LeftAxis().SetGrid(true, silver);
  chart.RightAxis().SetRange(0, 100);
  chart.RightAxis().SetTitle(QStringLiteral("Siła nacisku [ daN ]"));
  chart.BottomAxis().SetAutomatic();
  chart.BottomAxis().SetTitle(QStringLiteral("czas trwania pomiaru [sek]"));
  return s;
}

void FillMeasurementSeries(const TMeasurementSeries& serie, const TPomiar& pomiar) {
  serie.SeriaA->Clear();
  serie.SeriaALFA->Clear();
  serie.SeriaF->Clear();
  const TMeasurementCurves curves = MeasurementCurves(pomiar);
  for (std::size_t i = 0; i < curves.force.size(); ++i) {
    const TPoint& a = curves.deceleration[i];
    serie.SeriaF->AddXY(curves.force[i].x, curves.force[i].y);
    serie.SeriaA->AddXY(a.x, a.y);
    serie.SeriaALFA->AddXY(a.x, a.y);
  }
  for (const TPoint& mark : curves.MaximumMarks()) serie.SeriaA->AddXY(mark.x, mark.y);
}

TBrakingMarkSeries ConfigureBrakingMarks(TChart& chart) {
  using enum TVerticalAxis;
  TSeriesStyle interval{QStringLiteral("MFDD: 0,8 v0 .. 0,1 v0"), QColor(255, 0, 0, 70), 1, Left};
  interval.fill = QColor(255, 128, 0, 70);
  interval.inLegend = false;
  TSeriesStyle level{QStringLiteral("MFDD"), QColor(0, 0, 160), 2, Left};
  level.penStyle = Qt::DashLine;
  level.inLegend = false;
  TSeriesStyle stop{QStringLiteral("zatrzymanie"), QColor(64, 64, 64), 2, Left};
  stop.penStyle = Qt::DashDotLine;
  stop.inLegend = false;
  return {chart.AddSeries(interval), chart.AddSeries(level), chart.AddSeries(stop)};
}

void FillBrakingMarks(const TBrakingMarkSeries& marks, const TPomiar& pomiar, const TBrakingAnalysis& analysis) {
  const TBrakingMarks drawn = BrakingMarks(MeasurementCurves(pomiar), analysis);
  const std::pair<TChartSeries*, const std::vector<TPoint>*> fills[] = {
      {marks.interval, &drawn.interval}, {marks.mfddLevel, &drawn.mfddLevel}, {marks.stop, &drawn.stop}};
  for (const auto& [series, points] : fills) {
    series->Clear();
    for (const TPoint& p : *points) series->AddXY(p.x, p.y);
  }
}

void ShowWholeTimeAxis(TChart& chart, const TPomiar& pomiar) {
  const int count = DisplayedSampleCount(pomiar);
  if (count <= 0) return;
  chart.BottomAxis().SetRange(0, count / kSamplesPerSecond);
  chart.BottomAxis().SetIncrement(0.1);
}

} // namespace zr7
