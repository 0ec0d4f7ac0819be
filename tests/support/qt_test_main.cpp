#include "unique_folder.h"

#include <QApplication>
#include <QSettings>
#include <gtest/gtest.h>

#include <filesystem>

// Widget tests run on Qt's offscreen platform unless told otherwise, so they
// need no display and never show a window to anyone. The window's settings
// live in a fresh folder of the run's own: the user's settings are neither
// read nor changed, and tests running side by side never share them.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  const std::filesystem::path settings = zr7::MakeUniqueFolder("zr7-settings");
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(settings.string()));
  const int result = RUN_ALL_TESTS();
  std::filesystem::remove_all(settings);
  return result;
}
