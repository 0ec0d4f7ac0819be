#include "tdialogs.h"

#include "text/file_error_text.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

namespace zr7 {

void TQtDialogs::MessageBox(const QString& caption, const QString& text, TIcon icon) {
  const QMessageBox::Icon qtIcon = icon == TIcon::Stop          ? QMessageBox::Critical
                                   : icon == TIcon::Information ? QMessageBox::Information
                                                                : QMessageBox::NoIcon;
  QMessageBox box(qtIcon, caption, text, QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}

QString ApplicationTitle() {
  return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}

void ShowErrorBox(TDialogs& dialogs, const QString& message) {
  dialogs.MessageBox(ApplicationTitle(), QString::fromStdString(WithFullStop(message.toStdString())),
                     TDialogs::TIcon::Stop);
}

void ShowMessage(TDialogs& dialogs, const QString& text) {
  dialogs.MessageBox(ApplicationTitle(), text, TDialogs::TIcon::None);
}

} // namespace zr7
