#pragma once

#include <QFontMetrics>
#include <QString>

namespace zr7 {

// The text as it fits in the given width in pixels: whole; else the leading
// parts (separated by two spaces) that fit, followed by an ellipsis, so that
// no figure is shown cut; else cut with an ellipsis.
QString FittedText(const QString& text, int width, const QFontMetrics& metrics);

} // namespace zr7
