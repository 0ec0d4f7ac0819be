#pragma once

#include <QString>

class QWidget;

namespace zr7 {

// Every modal window the program opens goes through this seam, so the
// window's handlers can be driven by tests that never block on a dialog.
class TDialogs {
public:
  enum class TIcon { None, Information, Stop };

  virtual ~TDialogs() = default;
  // A modal box with one OK button.
  virtual void MessageBox(const QString& caption, const QString& text, TIcon icon) = 0;
};

// The real modal windows, parented to the active window.
class TQtDialogs : public TDialogs {
public:
  void MessageBox(const QString& caption, const QString& text, TIcon icon) override;
};

// The application's title: the executable's name without extension.
QString ApplicationTitle();

// The general error box for a failure that ends a handler: stop icon, OK,
// the application's title, the message with a full stop when it needs one.
void ShowErrorBox(TDialogs& dialogs, const QString& message);

// A plain notice such as "Bląd portu szeregowego!".
void ShowMessage(TDialogs& dialogs, const QString& text);

} // namespace zr7
