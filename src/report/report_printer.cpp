#include "report/report_printer.h"

#include "report/chart_clipboard.h"
#include "report/print_dialogs.h"

namespace zr7 {

TReportPrinter::TReportPrinter(TPrintDialogs& dialogs, QClipboard& clipboard, QString logoPath)
    : dialogs_(dialogs), clipboard_(clipboard), logoPath_(std::move(logoPath)) {
  printer_.setDocName(QString());
}

bool TReportPrinter::Print(const QStringList& prnOpisLines, TChart& chart, QString* error,
                           const std::function<void()>& beforePage) {
  PutRasterPicture(chart, clipboard_);
  if (!dialogs_.PrintDialog(printer_)) return true;
  if (beforePage) beforePage();
  return DrukujRaport(10, 100, 5, 5, prnOpisLines, chart, printer_, &clipboard_, error, logoPath_);
}

void TReportPrinter::PrinterSetup() { dialogs_.PrinterSetupDialog(printer_); }

} // namespace zr7
