#pragma once

#include "scripted_dialogs.h"
#include "shell/tfmain.h"
#include "temporary_directory.h"

#include <utility>

namespace zr7 {

// The main window under test in a folder of its own: the working directory,
// where konfiguracja.txt and saved files go, which also holds the window's
// COM port links in "ports". Shown, with the box about the missing
// konfiguracja.txt put away.
struct TShownWindow {
  explicit TShownWindow(DeviceOpener opener = OpenSerialDevice) : window(dialogs, std::move(opener)) {
    window.Comm->PortsFolder = directory.Path() / "ports";
    window.show();
    dialogs.boxes.clear();
  }

  TWorkingDirectory directory;
  TScriptedDialogs dialogs;
  TfMain window;
};

} // namespace zr7
