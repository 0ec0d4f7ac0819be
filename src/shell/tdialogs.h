#pragma once

#include "report/print_dialogs.h"

#include <QString>

class QWidget;

namespace zr7 {

// Every modal window the program opens goes through this seam, so the
// window's handlers can be driven by tests that never block on a dialog.
class TDialogs : public TPrintDialogs {
public:
  enum class TIcon { None, Information, Stop };

  // A file dialog's settings; the filter as "label|pattern".
  struct TFileDialogOptions {
    QString filter;
    QString defaultExtension;
    QString directory;
    bool confirmOverwrite = false;
  };

  virtual ~TDialogs() = default;
  // A modal box with one OK button.
  virtual void MessageBox(const QString& caption, const QString& text, TIcon icon) = 0;
  // The chosen file's path, or an empty text when the operator cancelled.
  virtual QString OpenFileName(const TFileDialogOptions& options) = 0;
  virtual QString SaveFileName(const TFileDialogOptions& options) = 0;
  // The chosen folder, starting in `directory`, or an empty text when the
  // operator cancelled.
  virtual QString FolderName(const QString& caption, const QString& directory) = 0;
};

// The real modal windows, parented to the active window.
class TQtDialogs : public TDialogs {
public:
  void MessageBox(const QString& caption, const QString& text, TIcon icon) override;
  QString OpenFileName(const TFileDialogOptions& options) override;
  QString SaveFileName(const TFileDialogOptions& options) override;
  QString FolderName(const QString& caption, const QString& directory) override;
  bool PrintDialog(QPrinter& printer) override { return printDialogs_.PrintDialog(printer); }
  void PrinterSetupDialog(QPrinter& printer) override { printDialogs_.PrinterSetupDialog(printer); }

private:
  TQtPrintDialogs printDialogs_;
};

// The application's title: the executable's name without extension.
QString ApplicationTitle();

// The general error box for a failure that ends a handler: stop icon, OK,
// the application's title, the message with a full stop when it needs one.
void ShowErrorBox(TDialogs& dialogs, const QString& message);

// A plain notice such as "Bląd portu szeregowego!".
void ShowMessage(TDialogs& dialogs, const QString& text);

} // namespace zr7
