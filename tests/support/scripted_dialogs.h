#pragma once

#include "shell/tdialogs.h"

#include <QString>
#include <vector>

namespace zr7 {

// Stands in for the modal windows in tests: records every box instead of
// showing it, so a handler runs to its end without anyone pressing OK.
class TScriptedDialogs : public TDialogs {
public:
  struct Box {
    QString caption;
    QString text;
    TIcon icon;
  };

  void MessageBox(const QString& caption, const QString& text, TIcon icon) override {
    boxes.push_back({caption, text, icon});
  }

  std::vector<Box> boxes;
};

} // namespace zr7
