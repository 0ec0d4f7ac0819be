#include "program_font.h"

#include <QStringList>

namespace zr7 {

QFont ProgramFont() {
  QFont font;
  font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(8);
  return font;
}

} // namespace zr7
