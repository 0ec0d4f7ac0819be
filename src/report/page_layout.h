#pragma once

#include <QRect>
#include <QSize>

#include <cstdint>
#include <optional>

namespace zr7 {

// What the page routine measures before it draws. Lengths are device pixels
// of the printer's printable area.
struct TPageLayoutInput {
  int printableWidth = 0;          // PW
  int printableHeight = 0;         // PH
  int resolutionY = 0;             // printer's vertical resolution, dots per inch
  std::optional<QSize> logoPixels; // the logo bitmap's size; none when it could not be loaded
  int lineCount = 0;
  int linePitch = 0;   // full cell height of "H" in the print font
  QSize chartOnScreen; // the chart's size in the window
  std::uint8_t logoPercent = 10;
  std::uint8_t chartWidthPercent = 100; // above 100 taken as 100
  std::uint8_t leftGapPercent = 5;
  std::uint8_t topGapPercent = 5;
};

// Where everything goes on the page. Every rounding is half to even.
struct TPageLayout {
  int leftGap = 0;
  int topGap = 0;
  int logoWidth = 0;
  int logoHeight = 0;
  int linePitch = 0;
  int lineStep = 0; // distance between printed lines: the print font's em height
  int textBlockHeight = 0;
  int headerHeight = 0;
  int textX = 0;
  float chartRatio = 0; // height / width on screen
  int chartWidth = 0;
  int chartHeight = 0;
  int chartLeft = 0;
  int chartTop = 0;

  bool operator==(const TPageLayout&) const = default;

  QRect LogoRect() const { return QRect(0, 0, logoWidth, logoHeight); }
  QRect ChartRect() const { return QRect(chartLeft, chartTop, chartWidth, chartHeight); }
  // Top of the cell of line k, counting from 0.
  int LineTop(int k) const { return k * lineStep; }
};

// The print font's em height: 8 points at the given resolution.
int PrintFontEmHeight(int resolutionY);

TPageLayout ComputePageLayout(const TPageLayoutInput& input);

} // namespace zr7
