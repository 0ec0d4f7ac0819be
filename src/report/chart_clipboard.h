#pragma once

class QClipboard;

namespace zr7 {

class TChart;

// The chart as drawn on screen, at its on-screen size on white, replaces
// whatever the clipboard held.
void PutRasterPicture(TChart& chart, QClipboard& clipboard);

// The chart's vector picture (SVG) replaces whatever the clipboard held;
// the raster picture goes with it for programs that take no SVG.
void PutVectorPicture(TChart& chart, QClipboard& clipboard);

} // namespace zr7
