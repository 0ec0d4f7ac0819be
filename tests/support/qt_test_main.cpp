#include <QApplication>
#include <gtest/gtest.h>

// Widget tests run on Qt's offscreen platform unless told otherwise, so they
// need no display and never show a window to anyone.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
