#include "report/page_layout.h"

#include <gtest/gtest.h>

#include <ostream>

namespace zr7 {

void PrintTo(const TPageLayout& l, std::ostream* os) {
  *os << "gaps " << l.leftGap << "," << l.topGap << " logo " << l.logoWidth << "x" << l.logoHeight << " pitch "
      << l.linePitch << " step " << l.lineStep << " block " << l.textBlockHeight << " header " << l.headerHeight
      << " textX " << l.textX << " r " << l.chartRatio << " chart " << l.chartLeft << "," << l.chartTop << " "
      << l.chartWidth << "x" << l.chartHeight;
}

namespace {

// The report's own settings on a 600 dpi printer, a chart of the window's
// size, 25 lines 80 pixels apart and a logo twice as wide as high.
TPageLayoutInput Page(int pw, int ph) {
  TPageLayoutInput in;
  in.printableWidth = pw;
  in.printableHeight = ph;
  in.resolutionY = 600;
  in.logoPixels = QSize(400, 200);
  in.lineCount = 25;
  in.linePitch = 80;
  in.chartOnScreen = QSize(829, 433);
  return in;
}

constexpr float kWindowChartRatio = 433.0f / 829.0f;

TEST(PageLayoutTest, UprightPageOfTheWorkedExample) {
  const TPageLayout layout = ComputePageLayout(Page(4800, 6800));
  TPageLayout expected;
  expected.leftGap = 240;
  expected.topGap = 340;
  expected.logoWidth = 960;
  expected.logoHeight = 480;
  expected.linePitch = 80;
  expected.lineStep = 67;
  expected.textBlockHeight = 1920;
  expected.headerHeight = 1920;
  expected.textX = 1200;
  expected.chartRatio = kWindowChartRatio;
  expected.chartWidth = 4800;
  expected.chartHeight = 2507;
  expected.chartLeft = 0;
  expected.chartTop = 2260;
  EXPECT_EQ(layout, expected);
  EXPECT_FLOAT_EQ(layout.chartRatio, 0.5223160f);
  EXPECT_EQ(layout.ChartRect(), QRect(QPoint(0, 2260), QPoint(4799, 4766)));
  EXPECT_EQ(layout.LogoRect(), QRect(0, 0, 960, 480));
  EXPECT_EQ(layout.LineTop(24), 24 * 67);
}

// Sideways the logo is still 10 % of the shorter side, and the chart keeps
// the full width but is squeezed into what is left below the header.
TEST(PageLayoutTest, SidewaysPageSqueezesTheChart) {
  const TPageLayout layout = ComputePageLayout(Page(6800, 4800));
  EXPECT_EQ(layout.leftGap, 340);
  EXPECT_EQ(layout.topGap, 240);
  EXPECT_EQ(layout.LogoRect(), QRect(0, 0, 960, 480));
  EXPECT_EQ(layout.textX, 1300);
  EXPECT_EQ(layout.ChartRect(), QRect(0, 2160, 6800, 4800 - 1920 - 240));
}

TEST(PageLayoutTest, HeaderIsTheTallerOfTextBlockAndLogo) {
  TPageLayoutInput noLogo = Page(4800, 6800);
  noLogo.logoPixels.reset();
  TPageLayout layout = ComputePageLayout(noLogo);
  EXPECT_EQ(layout.LogoRect(), QRect());
  EXPECT_EQ(layout.textX, 240);
  EXPECT_EQ(layout.headerHeight, 1920);
  EXPECT_EQ(layout.ChartRect(), QRect(0, 2260, 4800, 2507));

  TPageLayoutInput emptyBitmap = Page(4800, 6800);
  emptyBitmap.logoPixels = QSize(0, 200);
  EXPECT_EQ(ComputePageLayout(emptyBitmap), layout);

  // A long remark wrapped into two more lines moves the chart down by two pitches.
  TPageLayoutInput wrapped = Page(4800, 6800);
  wrapped.lineCount = 27;
  EXPECT_EQ(ComputePageLayout(wrapped).chartTop, 2260 + 2 * 80);

  // A few lines beside a logo: the logo is the taller part of the header.
  TPageLayoutInput fewLines = Page(4800, 6800);
  fewLines.lineCount = 5;
  layout = ComputePageLayout(fewLines);
  EXPECT_EQ(layout.textBlockHeight, 320);
  EXPECT_EQ(layout.headerHeight, 480);
  EXPECT_EQ(layout.chartTop, 340 + 480);
}

TEST(PageLayoutTest, LogoKeepsTheBitmapsProportions) {
  TPageLayoutInput in = Page(4800, 6800);
  in.logoPixels = QSize(300, 200); // 1.5 : 1
  EXPECT_EQ(ComputePageLayout(in).LogoRect(), QRect(0, 0, 720, 480));
  in.logoPixels = QSize(100, 300); // ratio 3 in single precision: 480 / 3 = 160
  EXPECT_EQ(ComputePageLayout(in).LogoRect(), QRect(0, 0, 160, 480));
  in.logoPercent = 25;
  EXPECT_EQ(ComputePageLayout(in).LogoRect(), QRect(0, 0, 400, 1200));
}

// Halves go to the even neighbour: 240.5 -> 240, 341.5 -> 342, 3607.5 -> 3608.
TEST(PageLayoutTest, RoundsHalvesToEven) {
  TPageLayoutInput in = Page(4810, 6830);
  in.chartWidthPercent = 75;
  const TPageLayout layout = ComputePageLayout(in);
  EXPECT_EQ(layout.leftGap, 240);
  EXPECT_EQ(layout.topGap, 342);
  EXPECT_EQ(layout.chartWidth, 3608);
  EXPECT_EQ(layout.chartLeft, 601);
}

TEST(PageLayoutTest, ChartWidthAbove100PercentIsFullWidth) {
  TPageLayoutInput in = Page(4800, 6800);
  in.chartWidthPercent = 150;
  EXPECT_EQ(ComputePageLayout(in).ChartRect(), QRect(0, 2260, 4800, 2507));
}

TEST(PageLayoutTest, LineStepIsEightPointsAtThePrintersResolution) {
  EXPECT_EQ(PrintFontEmHeight(600), 67);
  EXPECT_EQ(PrintFontEmHeight(1200), 133);
  EXPECT_EQ(PrintFontEmHeight(300), 33);
  EXPECT_EQ(PrintFontEmHeight(72), 8);
}

// A chart taller than wide keeps its proportions: as high as the width
// would make it, but no higher than the room below the header, and centred.
TEST(PageLayoutTest, ChartTallerThanWideKeepsItsProportionsBelowTheHeader) {
  TPageLayoutInput in = Page(4800, 6800);
  in.chartOnScreen = QSize(400, 600);
  TPageLayout layout = ComputePageLayout(in);
  EXPECT_EQ(layout.chartHeight, 6800 - 1920 - 340);
  EXPECT_EQ(layout.chartWidth, 3027); // 4540 / 1.5 = 3026.67
  EXPECT_EQ(layout.chartLeft, 886);   // 886.5 to even
  EXPECT_EQ(layout.chartTop, 2260);

  in.chartOnScreen = QSize(500, 600);
  in.chartWidthPercent = 50;
  layout = ComputePageLayout(in);
  EXPECT_EQ(layout.ChartRect(), QRect(1200, 2260, 2400, 2880));
}

TEST(PageLayoutTest, NoRoomBelowTheHeaderLeavesNoChart) {
  TPageLayoutInput in = Page(4800, 2000);
  const TPageLayout layout = ComputePageLayout(in);
  EXPECT_EQ(layout.chartHeight, 0);
  EXPECT_TRUE(layout.ChartRect().isEmpty());
}

} // namespace
} // namespace zr7
