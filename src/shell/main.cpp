#include "tdialogs.h"
#include "tfmain.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  zr7::TQtDialogs dialogs;
  zr7::TfMain fMain(dialogs);
  fMain.show();
  return application.exec();
}
