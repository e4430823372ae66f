// The kernel's state: hidden lines (the depth-tested point, 3D lines behind
// nearer ones, the fast line's visible runs, clearing the depth raster), the
// draw window, the screen regions, the start-up state, and the current
// colour (background remapping, the shading family, colours beyond the
// palette, the menu background fill).
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "graphics/kernel_fixture.h"
#include "platform/picture.h"

namespace kerneltest {
namespace {

using gfx::DepthRaster;
using gfx::GetColor;
using gfx::SetColor;

class HiddenLines : public KernelTest {
 protected:
  void SetUp() override {
    KernelTest::SetUp();
    gfx::K.HiddenLineMode = 1;
    // A near red horizontal line across the picture at y = 50, depth 1000.
    SetColor(12);
    gfx::MoveTo3(0, 50, 1000);
    gfx::LineTo3(199, 50, 1000);
  }
};

// Vertical lines across the red one at y = 50, depth 1000: a farther line is
// hidden where the nearer covers it, a nearer or equally near one is drawn
// over, depth is interpolated along the line (0..2000 over y 0..100 ties at
// y = 50; 0..1999 reaches only 999 there), and without the depth test
// everything is drawn. The fast line draws alike.
TEST_F(HiddenLines, LinesBehindANearerOneAreHidden) {
  struct Row {
    const char* Name;
    bool Fast;
    int Mode, X, Y1, Z1, Y2, Z2;
    std::uint32_t At50;
    int DepthY, Depth;  // DepthRaster[DepthY][X]
  };
  constexpr int kCleared = gfx::kDepthCleared;
  const Row kRows[] = {
      {"farther", false, 1, 60, 10, 0, 90, 0, kRed, 50, 1000},
      {"farther, beside the red line", false, 1, 60, 10, 0, 90, 0, kRed, 49, 0},
      {"nearer", false, 1, 60, 10, 2000, 90, 2000, kGreen, 50, 2000},
      {"equal", false, 1, 60, 10, 1000, 90, 1000, kGreen, 50, 1000},
      {"interpolated, ties", false, 1, 70, 0, 0, 100, 2000, kGreen, 50, 1000},
      {"interpolated, behind", false, 1, 80, 0, 0, 100, 1999, kRed, 75, 1499},  // truncated
      {"mode zero", false, 0, 60, 10, 0, 90, 0, kGreen, 49, kCleared},
      {"fast, farther", true, 1, 60, 10, 0, 90, 0, kRed, 90, 0},
      {"fast, equal", true, 1, 60, 10, 1000, 90, 1000, kGreen, 50, 1000},
      {"fast, mode zero", true, 0, 60, 10, 0, 90, 0, kGreen, 49, kCleared},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.Name);
    SetUp();
    gfx::K.HiddenLineMode = r.Mode;
    SetColor(10);
    if (r.Fast) {
      gfx::FastLine3(r.X, r.Y1, r.Z1, r.X, r.Y2, r.Z2);
    } else {
      gfx::MoveTo3(r.X, r.Y1, r.Z1);
      gfx::LineTo3(r.X, r.Y2, r.Z2);
    }
    EXPECT_EQ((std::array{Px(r.X, 50), Px(r.X, 49), Px(r.X, 51), Px(r.X, r.Y1 - 1), Px(r.X, r.Y2 + 1)}),
              (std::array{r.At50, kGreen, kGreen, kBlack, kBlack}));
    EXPECT_EQ(DepthRaster[r.DepthY][r.X], r.Depth);
    EXPECT_TRUE(ShadowMatchesPicture());
  }
}

// Two-dimensional drawing is never hidden and leaves the raster alone; a
// negative depth test draws no 3D line at all.
TEST_F(HiddenLines, TwoDimensionalDrawingIsNeverHiddenAndANegativeTestHidesAll) {
  SetColor(9);
  gfx::Line2(100, 10, 100, 90);
  gfx::MoveTo2(110, 50);
  gfx::LineTo2(110, 60);
  EXPECT_EQ(std::pair(Px(100, 50), Px(110, 50)), std::pair(kBlue, kBlue));
  EXPECT_EQ(DepthRaster[50][100], 1000);
  gfx::K.HiddenLineMode = -1;
  SetColor(10);
  gfx::MoveTo3(60, 10, 5000);
  gfx::LineTo3(60, 90, 5000);
  gfx::FastLine3(0, 70, 0, 199, 70, 0);
  EXPECT_EQ((std::array{Px(60, 10), Px(60, 50), Px(10, 70)}), (std::array{kBlack, kRed, kBlack}));
}

TEST_F(HiddenLines, Point2FollowsTheDepthTestOfThePreviousCall) {
  SetColor(10);
  gfx::MoveTo3(0, 0, 0);       // 3D: the test is on
  gfx::Point2(60, 50, 9);      // depth 0 behind the red line
  gfx::Point2(60, 40, 9);      // free pixel: drawn, depth 0 stored
  EXPECT_EQ(std::pair(Px(60, 50), Px(60, 40)), std::pair(kRed, kBlue));
  EXPECT_EQ(DepthRaster[40][60], 0);
  gfx::MoveTo2(0, 0);          // 2D: the test is off
  gfx::Point2(61, 50, 9);
  EXPECT_EQ(Px(61, 50), kBlue);
}

// Points are clipped to the window; moves are not tested against it.
TEST_F(HiddenLines, PointsAreClippedToTheWindowAndMovesAreNot) {
  gfx::SetWindow(10, 10, 29, 29);
  gfx::Point2(-1, 5, 15);
  gfx::Point2(20, 5, 15);
  gfx::Point2(19, 19, 15);
  EXPECT_EQ((std::array{Px(9, 15), Px(30, 15), Px(29, 29)}), (std::array{kBlack, kBlack, kWhite}));
  SetColor(15);
  gfx::MoveTo3(-5, 60, 0);  // absolute (5, 70), outside the window
  EXPECT_EQ((std::array{gfx::K.CurX, gfx::K.CurY, gfx::K.CurZ}), (std::array{-5, 60, 0}));
  EXPECT_EQ(DepthRaster[70][5], 0);
}

using FastLine = HiddenLines;

TEST_F(FastLine, SlopedRunsKeepTheirInterpolatedDepths) {
  SetColor(10);
  gfx::FastLine3(10, 40, 0, 110, 60, 3000);  // x-major; y = 40 + s / 5
  // At x = 60 the line is at y = 50 with depth 1500: it covers the red line.
  // Step 13: 13 * 3000 / 100. The fast line leaves the current position.
  EXPECT_EQ(Px(60, 50), kGreen);
  EXPECT_EQ((std::array{DepthRaster[50][60], DepthRaster[40][10], DepthRaster[60][110], DepthRaster[42][23]}),
            (std::array{1500, 0, 3000, 390}));
  EXPECT_EQ((std::array{gfx::K.CurX, gfx::K.CurY, gfx::K.CurZ}), (std::array{199, 50, 1000}));
}

TEST_F(FastLine, XorStyledLightsEverySecondPixelAndTwiceRestores) {
  gfx::SetXorMode(1);
  SetColor(10);
  gfx::SetLineStyle(1);
  gfx::FastLine3(10, 50, 0, 19, 50, 0);
  for (int x = 10; x <= 19; ++x) EXPECT_EQ(Px(x, 50), x % 2 == 0 ? (kRed ^ kGreen) : kRed) << x;
  gfx::FastLine3(10, 50, 0, 19, 50, 0);
  gfx::SetLineStyle(0);
  gfx::FastLine3(10, 50, 0, 19, 50, 0);
  gfx::FastLine3(10, 50, 0, 19, 50, 0);
  for (int x = 0; x < kWidth; ++x) EXPECT_EQ(Px(x, 50), kRed) << x;
}

// The depth raster is cleared as many rows as the window is tall, from row
// 0, in all columns, and only in hidden-line mode; a window upside down
// clears nothing, a tall one stops at the last row.
TEST_F(KernelTest, ClearDepthClearsTheWindowsRowCountFromRowZero) {
  constexpr int C = gfx::kDepthCleared;
  struct Cell { int Y, X, After; };
  struct Row { const char* Name; int Mode, L, T, R, B; std::vector<Cell> Cells; };
  const Row kRows[] = {
      {"ten rows", 1, 100, 40, 120, 49, {{0, 0, C}, {9, 2499, C}, {10, 0, 7}, {11, 2499, 7}}},
      {"hidden-line mode zero", 0, 0, 0, kWidth - 1, kHeight - 1, {{0, 0, 7}, {100, 200, 7}}},
      {"bottom above top", 1, 0, 50, 100, 49, {{0, 0, 7}}},
      {"tall window", 1, 0, -100000, 10, 100000, {{1999, 2499, C}}},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.Name);
    SetUp();
    gfx::K.HiddenLineMode = r.Mode;
    for (const Cell& c : r.Cells) DepthRaster[c.Y][c.X] = 7;
    gfx::SetWindow(r.L, r.T, r.R, r.B);
    gfx::ClearDepth();
    for (const Cell& c : r.Cells) EXPECT_EQ(DepthRaster[c.Y][c.X], c.After) << c.Y << ", " << c.X;
  }
}

std::array<int, 4> Window() {
  return {gfx::K.WindowLeft, gfx::K.WindowTop, gfx::K.WindowRight, gfx::K.WindowBottom};
}

TEST_F(KernelTest, ClearWindowClearsPictureAndShadowInclusive) {
  SetColor(15);
  gfx::Line2(0, 10, 199, 10);
  platform::Drv.DrvSetBackMode(3);
  gfx::SetWindow(20, 5, 40, 15);
  gfx::ClearWindow();
  EXPECT_EQ((std::array{Px(19, 10), Px(20, 10), Px(40, 10), Px(41, 10)}),
            (std::array{kWhite, kLightGrey, kLightGrey, kWhite}));
  EXPECT_EQ(platform::ShadowRaster[5][20], kLightGrey);
  EXPECT_TRUE(ShadowMatchesPicture());
}

// The picture, its inner part, the panel (filled with the background) and
// the menu strip (two rows above its top, the foreground set) on a white
// background; the platform clips to each.
TEST_F(KernelTest, ScreenRegionsTakeTheirRectanglesFromTheLayout) {
  gfx::Layout = {.PanelWidth = 10, .MenuStripTop = 120, .ScreenWidth = 200, .ScreenHeight = 150, .PictureLeft = 5,
                 .PictureTop = 8, .PictureWidth = 100, .PictureHeight = 60, .BorderWidth = 3};
  platform::Drv.DrvSetBackMode(4);
  gfx::K.MenuForeground = 15;
  gfx::SelectPicture();
  EXPECT_EQ(Window(), (std::array{15, 8, 115, 67}));
  const auto& p = platform::Pic;  // the platform clips to the window
  EXPECT_EQ((std::array{p.ClipLeft, p.ClipTop, p.ClipRight, p.ClipBottom}), (std::array{15, 8, 115, 67}));
  gfx::SelectPictureInner();
  EXPECT_EQ(Window(), (std::array{18, 11, 112, 64}));
  gfx::SelectPanel();
  EXPECT_EQ(Window(), (std::array{0, 0, 10, 120}));
  EXPECT_EQ((std::array{Px(0, 0), Px(10, 120), Px(11, 120)}), (std::array{kWhite, kWhite, kBlack}));
  gfx::SelectMenuStrip();
  EXPECT_EQ(Window(), (std::array{0, 118, 200, 150}));
  EXPECT_EQ((std::array{Px(20, 118), Px(20, 117), Px(199, 149)}), (std::array{kWhite, kBlack, kWhite}));
  EXPECT_EQ(gfx::GetColor(), 0);  // 15 on white
}

using StartUpState = KernelTest;

TEST_F(StartUpState, InitKernelClearsRastersAndState) {
  gfx::K.HiddenLineMode = 1;
  SetColor(12);
  gfx::SetXorMode(1);
  gfx::SetLineStyle(2);
  gfx::MoveTo3(5, 5, 77);
  platform::ShadowRaster[1999][2999] = 5;
  gfx::InitKernel();
  EXPECT_EQ(std::pair(platform::ShadowRaster[5][5], platform::ShadowRaster[1999][2999]), std::pair(0u, 0u));
  EXPECT_EQ(DepthRaster[5][5], gfx::kDepthCleared);
  EXPECT_EQ((std::array{gfx::GetColor(), gfx::K.XorMode, gfx::K.LineStyle, gfx::K.HiddenLineMode}),
            (std::array{15, 0, 0, 0}));
  EXPECT_EQ(std::pair(platform::Palette[528], platform::Palette[8]), std::pair(kExtra, kLightGrey));
}


TEST_F(KernelTest, Point2InXorModeIsErasedByPlottingItAgain) {
  gfx::SetColor(12);
  gfx::Line2(10, 20, 60, 20);
  const std::uint32_t under = Px(30, 20);
  const std::int32_t depth = gfx::DepthRaster[20][30];
  gfx::SetXorMode(1);
  gfx::Point2(30, 20, 15);
  gfx::Point2(31, 40, 15);
  EXPECT_EQ(std::pair(Px(30, 20), Px(31, 40)), std::pair(under ^ kWhite, kWhite));
  EXPECT_EQ(gfx::DepthRaster[20][30], depth);  // XOR leaves the depths alone
  gfx::Point2(30, 20, 15);
  gfx::Point2(31, 40, 15);
  EXPECT_EQ(std::pair(Px(30, 20), Px(31, 40)), std::pair(under, kBlack));
  EXPECT_TRUE(ShadowMatchesPicture());
}

// --- The current colour ---------------------------------------------------

int RemappedUnder(int mode, int colour) {
  platform::Drv.DrvSetBackMode(mode);
  SetColor(colour);
  return GetColor();
}

using SetColorRemap = KernelTest;

// Each background mode swaps a few colours so that drawing stays visible;
// every other colour, and every colour under an unknown mode, passes as asked.
TEST_F(SetColorRemap, EachBackgroundSwapsItsColours) {
  struct Row {
    int Mode;
    int Colour0, Colour7, Colour8, Colour15;  // what 0, 7, 8 and 15 become
  };
  const Row kRows[] = {
      {0, 0, 7, 8, 15},  {1, 0, 7, 8, 15},    // black, dark grey: nothing
      {2, 7, 0, 8, 15},                       // grey: black and grey swap
      {3, 8, 7, 0, 0},                        // light grey: white and light grey draw black
      {4, 15, 7, 8, 0},                       // white: black and white swap
      {5, 0, 7, 8, 15},  {-1, 0, 7, 8, 15}, {100, 0, 7, 8, 15},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.Mode);
    EXPECT_EQ(RemappedUnder(r.Mode, 0), r.Colour0);
    EXPECT_EQ(RemappedUnder(r.Mode, 7), r.Colour7);
    EXPECT_EQ(RemappedUnder(r.Mode, 8), r.Colour8);
    EXPECT_EQ(RemappedUnder(r.Mode, 15), r.Colour15);
    for (int colour : {1, 6, 9, 14, 16, 300, 528}) EXPECT_EQ(RemappedUnder(r.Mode, colour), colour);
  }
}

// What is drawn: the remapped colour (0 on white erases, 0 on grey draws
// grey); numbers above 528 draw as 528 but are kept; negative ones draw as
// the background; Point2 draws its own colour, unremapped.
TEST_F(SetColorRemap, RemappedColourIsWhatIsDrawn) {
  platform::Drv.DrvSetBackMode(4);
  SetColor(0);
  gfx::Line2(10, 10, 12, 10);
  EXPECT_EQ(std::pair(Px(10, 10), Px(12, 10)), std::pair(kWhite, kWhite));
  EXPECT_EQ(platform::ShadowRaster[10][11], kWhite);
  SetColor(12);
  gfx::Point2(3, 4, 0);  // 0 is not remapped to white here
  gfx::Point2(4, 4, 8);
  EXPECT_EQ(std::pair(Px(3, 4), Px(4, 4)), std::pair(kBlack, kLightGrey));
  EXPECT_EQ(GetColor(), 12);
  platform::Drv.DrvSetBackMode(2);
  SetColor(0);
  gfx::Line2(10, 20, 12, 20);
  EXPECT_EQ(Px(11, 20), kGrey);

  platform::Drv.DrvSetBackMode(0);
  SetColor(600);
  EXPECT_EQ(GetColor(), 600);  // the number is kept, only the drawing is clamped
  gfx::Line2(5, 5, 7, 5);
  gfx::MoveTo2(5, 9);
  gfx::Point2(5, 12, 1000);
  EXPECT_EQ((std::array{Px(5, 5), Px(6, 5), Px(7, 5), Px(5, 9), Px(5, 12)}),
            (std::array{kExtra, kExtra, kExtra, kExtra, kExtra}));
  SetColor(12);
  gfx::Line2(5, 30, 7, 30);
  SetColor(-3);
  gfx::Line2(5, 30, 6, 30);
  EXPECT_EQ((std::array{Px(5, 30), Px(6, 30), Px(7, 30)}), (std::array{kBlack, kBlack, kRed}));
}

// The shading family: the basic colours pick their ramp (8 is grey's, 9..15
// those of 1..7), ramp colours and beyond give family 0; it follows the
// colour asked for, not the remapped one.
TEST_F(KernelTest, DrawColourPicksTheShadingFamily) {
  const int expected[16] = {0, 1, 2, 3, 4, 5, 6, 7, 7, 1, 2, 3, 4, 5, 6, 7};
  for (int colour = 0; colour < 16; ++colour) {
    gfx::SetDrawColor(colour);
    EXPECT_EQ(std::pair(gfx::K.ColourFamily, GetColor()), std::pair(expected[colour], colour));
  }
  for (int colour : {16, 528}) {
    gfx::SetDrawColor(5);
    gfx::SetDrawColor(colour);
    EXPECT_EQ(std::pair(gfx::K.ColourFamily, GetColor()), std::pair(0, colour));
  }
  platform::Drv.DrvSetBackMode(3);
  gfx::SetDrawColor(8);
  EXPECT_EQ(std::pair(gfx::K.ColourFamily, GetColor()), std::pair(7, 0));
}

TEST_F(KernelTest, FillBackgroundFillsInMenuBackgroundAndSetsTheForeground) {
  platform::Drv.DrvSetBackMode(4);
  gfx::K.MenuBackground = 0;
  gfx::K.MenuForeground = 15;
  gfx::FillBackground(20, 30, 24, 33);
  EXPECT_EQ((std::array{Px(20, 30), Px(24, 33), Px(25, 33), Px(19, 30)}),
            (std::array{kWhite, kWhite, kBlack, kBlack}));
  EXPECT_EQ(GetColor(), 0);  // the foreground 15, remapped for white
}

}  // namespace
}  // namespace kerneltest
