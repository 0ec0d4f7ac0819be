#include "report/page_layout.h"

#include "text/number_format.h"

#include <algorithm>

namespace zr7 {

namespace {

int Rounded(double value) { return static_cast<int>(RoundHalfEven(value)); }

int Percent(int length, int percent) { return Rounded(static_cast<double>(length) * percent / 100); }

} // namespace

int PrintFontEmHeight(int resolutionY) { return Rounded(8.0 * resolutionY / 72); }

TPageLayout ComputePageLayout(const TPageLayoutInput& in) {
  TPageLayout out;
  const int pw = in.printableWidth;
  const int ph = in.printableHeight;
  out.leftGap = Percent(pw, in.leftGapPercent);
  out.topGap = Percent(ph, in.topGapPercent);

  const bool logo = in.logoPixels && in.logoPixels->width() > 0 && in.logoPixels->height() > 0;
  if (logo) {
    out.logoHeight = Percent(std::min(pw, ph), in.logoPercent);
    // The bitmap's proportions are held in single precision.
    const float ratio = static_cast<float>(in.logoPixels->height()) / static_cast<float>(in.logoPixels->width());
    out.logoWidth = Rounded(out.logoHeight / static_cast<double>(ratio));
  }

  out.linePitch = in.linePitch;
  out.lineStep = PrintFontEmHeight(in.resolutionY);
  out.textBlockHeight = (in.lineCount - 1) * in.linePitch;
  out.headerHeight = std::max(out.textBlockHeight, out.logoHeight);
  out.textX = out.logoWidth + out.leftGap;

  // Below the header there may be no room left at all; the chart then
  // gets no height rather than a negative one.
  const int roomBelowHeader = std::max(0, ph - out.headerHeight - out.topGap);
  const int chartPercent = std::min<int>(in.chartWidthPercent, 100);
  if (in.chartOnScreen.width() > 0 && in.chartOnScreen.height() > 0) {
    out.chartRatio = static_cast<float>(in.chartOnScreen.height()) / static_cast<float>(in.chartOnScreen.width());
    const double r = out.chartRatio;
    const int fullWidth = Percent(pw, chartPercent);
    if (r <= 1) {
      // Squeezed vertically, never narrowed.
      out.chartWidth = fullWidth;
      out.chartHeight = std::min(Rounded(out.chartWidth * r), roomBelowHeader);
    } else {
      // A chart taller than wide keeps its proportions: as tall as the
      // width allows, but no taller than the room below the header.
      out.chartHeight = std::min(Rounded(fullWidth * r), roomBelowHeader);
      out.chartWidth = Rounded(out.chartHeight / r);
    }
  }
  out.chartLeft = Rounded((pw - out.chartWidth) / 2.0);
  out.chartTop = out.topGap + out.headerHeight;
  return out;
}

} // namespace zr7
