#pragma once

#include <QFont>

namespace zr7 {

// The font of every window of the program: MS Sans Serif, 8 point. The
// controls' places were laid out for it; where it is missing, Liberation
// Sans has the metrics of Arial and keeps the captions apart.
QFont ProgramFont();

} // namespace zr7
