#pragma once

class QPrinter;

namespace zr7 {

// The system's print and printer set-up dialogs, behind a seam so that the
// report command can be driven by tests that never block on a dialog.
class TPrintDialogs {
public:
  virtual ~TPrintDialogs() = default;
  // Asks where and how to print; true when the operator chose to print.
  // The choice is kept in the printer.
  virtual bool PrintDialog(QPrinter& printer) = 0;
  // Lets the operator change the paper and orientation of the printer.
  virtual void PrinterSetupDialog(QPrinter& printer) = 0;
};

// The real dialogs, modal and parented to the active window.
class TQtPrintDialogs final : public TPrintDialogs {
public:
  bool PrintDialog(QPrinter& printer) override;
  void PrinterSetupDialog(QPrinter& printer) override;
};

} // namespace zr7
