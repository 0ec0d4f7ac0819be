#pragma once

#include "scripted_print_dialogs.h"
#include "shell/tdialogs.h"

#include <QString>
#include <deque>
#include <functional>
#include <vector>

namespace zr7 {

// Stands in for the modal windows in tests: records every box instead of
// showing it, so a handler runs to its end without anyone pressing OK.
class TScriptedDialogs : public TDialogs {
public:
  struct Box {
    QString caption;
    QString text;
    TIcon icon;
  };

  void MessageBox(const QString& caption, const QString& text, TIcon icon) override {
    boxes.push_back({caption, text, icon});
    // A real box keeps the main thread's messages flowing until it is closed.
    if (whileBoxOpen) whileBoxOpen(boxes.size());
  }
  QString OpenFileName(const TFileDialogOptions& options) override { return Answer(options); }
  QString SaveFileName(const TFileDialogOptions& options) override { return Answer(options); }
  QString FolderName(const QString&, const QString& directory) override { return Answer({{}, {}, directory}); }
  bool PrintDialog(QPrinter& printer) override { return printing.PrintDialog(printer); }
  void PrinterSetupDialog(QPrinter& printer) override { printing.PrinterSetupDialog(printer); }

  std::vector<Box> boxes;
  // Runs while the box of the given number (from 1) is open.
  std::function<void(std::size_t)> whileBoxOpen;
  // The file and folder dialogs answer with these names in turn; an empty
  // one cancels.
  std::deque<QString> fileNames;
  std::vector<TFileDialogOptions> fileDialogs;
  // The print and printer set-up dialogs, scripted the same way.
  TScriptedPrintDialogs printing;

private:
  QString Answer(const TFileDialogOptions& options) {
    fileDialogs.push_back(options);
    if (fileNames.empty()) return {};
    const QString name = fileNames.front();
    fileNames.pop_front();
    return name;
  }
};

} // namespace zr7
