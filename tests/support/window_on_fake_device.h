#pragma once

#include "fake_serial_device.h"
#include "scripted_dialogs.h"
#include "shell/tfmain.h"
#include "temporary_directory.h"

#include <QComboBox>

#include <filesystem>
#include <memory>

namespace zr7 {

// The main window in a folder of its own, shown, with COM3 chosen and the
// box about the missing konfiguracja.txt put away; every port it opens is
// the one fake device, for line errors and failing calls that no
// pseudo-terminal can be made to produce.
struct TWindowOnFakeDevice {
  TWindowOnFakeDevice() {
    window.show();
    dialogs.boxes.clear();
    window.cbCOM->setCurrentText("COM3");
  }

  TWorkingDirectory directory;
  TScriptedDialogs dialogs;
  std::shared_ptr<test::FakeSerialDevice> device = std::make_shared<test::FakeSerialDevice>();
  TfMain window{dialogs, [this](const std::filesystem::path&) { return OpenedDevice{device, OpenFailure::None}; }};
};

} // namespace zr7
