#pragma once

#include "report/drukuj_raport.h"

#include <QPrinter>
#include <QString>
#include <QStringList>

#include <functional>

class QClipboard;

namespace zr7 {

class TChart;
class TPrintDialogs;

// The report and printer set-up commands of the main window. It owns the
// printer, so the printer, paper and orientation chosen in either dialog
// hold for the later reports of the run.
class TReportPrinter {
public:
  TReportPrinter(TPrintDialogs& dialogs, QClipboard& clipboard, QString logoPath = kLogoPath);

  // The report command: puts the chart's raster picture on the clipboard,
  // shows the print dialog and, unless the operator cancels, prints the
  // page with the logo at 10 %, the chart at full width and 5 % gaps,
  // leaving the chart's vector picture on the clipboard. `beforePage`, when
  // given, runs once the operator has said yes and before the page's
  // picture of the chart is made. Answers false with the failure's text for
  // the error box; a cancel is no failure.
  bool Print(const QStringList& prnOpisLines, TChart& chart, QString* error,
             const std::function<void()>& beforePage = nullptr);

  // The printer set-up command: only shows the dialog.
  void PrinterSetup();

private:
  TPrintDialogs& dialogs_;
  QClipboard& clipboard_;
  QString logoPath_;
  QPrinter printer_{QPrinter::HighResolution};
};

} // namespace zr7
