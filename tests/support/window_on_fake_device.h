#pragma once

#include "fake_serial_device.h"
#include "shown_window.h"

#include <QComboBox>

#include <filesystem>
#include <memory>

namespace zr7 {

// The shown window with COM3 chosen, where every port it opens is the one
// fake device: for line errors and failing calls that no pseudo-terminal
// can be made to produce.
struct TWindowOnFakeDevice {
  TWindowOnFakeDevice() { window.cbCOM->setCurrentText("COM3"); }

  std::shared_ptr<test::FakeSerialDevice> device = std::make_shared<test::FakeSerialDevice>();
  TShownWindow shown{[this](const std::filesystem::path&) { return OpenedDevice{device, OpenFailure::None}; }};
  TScriptedDialogs& dialogs = shown.dialogs;
  TfMain& window = shown.window;
};

} // namespace zr7
