#pragma once

#include "report/print_dialogs.h"

#include <QPrinter>
#include <QString>

#include <functional>

namespace zr7 {

// Answers the print dialog as scripted and, like an operator choosing
// "print to file", points the printer at a PDF.
class TScriptedPrintDialogs : public TPrintDialogs {
public:
  bool PrintDialog(QPrinter& printer) override {
    ++printDialogs;
    if (outputFile.isEmpty()) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(outputFile);
    return true;
  }
  void PrinterSetupDialog(QPrinter& printer) override {
    ++setupDialogs;
    if (setup) setup(printer);
  }

  QString outputFile; // empty: the operator cancels
  std::function<void(QPrinter&)> setup;
  int printDialogs = 0;
  int setupDialogs = 0;
};

} // namespace zr7
