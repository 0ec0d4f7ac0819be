#include "tdialogs.h"
#include "tfmain.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  // The standard dialogs (files, printing) speak the user's language when
  // Qt's translations for it are installed.
  QTranslator qtTexts;
  if (qtTexts.load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    application.installTranslator(&qtTexts);
  }
  zr7::TQtDialogs dialogs;
  zr7::TfMain fMain(dialogs);
  fMain.show();
  return application.exec();
}
