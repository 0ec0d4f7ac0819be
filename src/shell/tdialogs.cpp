#include "tdialogs.h"

#include "text/file_error_text.h"

#include <QApplication>
#include <QFileDialog>
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

namespace {

// "pliki zr-7 (*.zr)|*.zr" as Qt writes a filter: the label, with the
// pattern in brackets unless the label already shows it.
QString QtFilter(const QString& filter) {
  const QString label = filter.section('|', 0, 0);
  const QString pattern = filter.section('|', 1, 1);
  return label.contains("(" + pattern + ")") ? label : label + " (" + pattern + ")";
}

QString RunFileDialog(const TDialogs::TFileDialogOptions& options, QFileDialog::AcceptMode mode) {
  QFileDialog dialog(QApplication::activeWindow(), QString(), options.directory, QtFilter(options.filter));
  dialog.setAcceptMode(mode);
  dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setDefaultSuffix(options.defaultExtension);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.confirmOverwrite);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

} // namespace

QString TQtDialogs::OpenFileName(const TFileDialogOptions& options) {
  return RunFileDialog(options, QFileDialog::AcceptOpen);
}

QString TQtDialogs::SaveFileName(const TFileDialogOptions& options) {
  return RunFileDialog(options, QFileDialog::AcceptSave);
}

QString TQtDialogs::FolderName(const QString& caption, const QString& directory) {
  return QFileDialog::getExistingDirectory(QApplication::activeWindow(), caption, directory);
}

QString ApplicationTitle() { return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(); }

void ShowErrorBox(TDialogs& dialogs, const QString& message) {
  dialogs.MessageBox(ApplicationTitle(), QString::fromStdString(WithFullStop(message.toStdString())),
                     TDialogs::TIcon::Stop);
}

void ShowMessage(TDialogs& dialogs, const QString& text) {
  dialogs.MessageBox(ApplicationTitle(), text, TDialogs::TIcon::None);
}

} // namespace zr7
