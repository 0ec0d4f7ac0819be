#include "ui/fitted_text.h"

namespace zr7 {

QString FittedText(const QString& text, int width, const QFontMetrics& metrics) {
  if (metrics.horizontalAdvance(text) <= width) return text;
  const QString separator = QStringLiteral("  ");
  const QString ellipsis(QChar(0x2026));
  for (qsizetype end = text.lastIndexOf(separator); end > 0; end = text.lastIndexOf(separator, end - 1)) {
    const QString shown = text.left(end) + separator + ellipsis;
    if (metrics.horizontalAdvance(shown) <= width) return shown;
  }
  return metrics.elidedText(text, Qt::ElideRight, width);
}

} // namespace zr7
