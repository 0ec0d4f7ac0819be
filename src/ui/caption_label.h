#pragma once

#include <QLabel>
#include <QPoint>

namespace zr7 {

// A caption at its place, as wide as its text needs in the font at hand.
QLabel* CaptionLabel(QWidget* parent, const char* utf8Text, QPoint position, bool bold = false);

} // namespace zr7
