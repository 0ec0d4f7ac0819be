#include "report/print_dialogs.h"

#include <QApplication>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace zr7 {

bool TQtPrintDialogs::PrintDialog(QPrinter& printer) {
  QPrintDialog dialog(&printer, QApplication::activeWindow());
  return dialog.exec() == QDialog::Accepted;
}

void TQtPrintDialogs::PrinterSetupDialog(QPrinter& printer) {
  QPageSetupDialog dialog(&printer, QApplication::activeWindow());
  dialog.exec();
}

} // namespace zr7
