// The pixel line: clipping to the draw window, the degenerate line, the
// line styles, XOR drawing, and coordinates far outside every raster.
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/kernel_fixture.h"

namespace kerneltest {
namespace {

using gfx::Line2;
using gfx::SetColor;
using gfx::SetLineStyle;

using PixelLineStyles = KernelTest;

// Lines from x = 10 in each style: solid draws both ends; dashed leaves the
// ends out and every ninth inner pixel, along the major axis whichever end
// comes first (unknown styles are dashed); dotted draws where x and y share
// parity. The fast line's styles leave both ends out: dotted where x and y
// share parity, dashed eight on and two off.
TEST_F(PixelLineStyles, EachStyleDrawsItsPattern) {
  struct Row {
    bool Fast;
    int Style, X1, X2, Y;
    const char* Pattern;  // x = 10 onwards: X lit, . dark
  };
  const Row kRows[] = {
      {false, 0, 10, 29, 20, "XXXXXXXXXXXXXXXXXXXX"}, {false, 1, 10, 29, 20, ".XXXXXXXX.XXXXXXXX.."},
      {false, 1, 29, 10, 40, ".XXXXXXXX.XXXXXXXX.."}, {false, 7, 10, 29, 60, ".XXXXXXXX.XXXXXXXX.."},
      {false, 2, 10, 29, 20, "X.X.X.X.X.X.X.X.X.X."}, {false, 2, 10, 29, 31, ".X.X.X.X.X.X.X.X.X.X"},
      {true, 2, 10, 30, 20, "..X.X.X.X.X.X.X.X.X.."}, {true, 1, 10, 40, 20, ".XXXXXXXX..XXXXXXXX..XXXXXXXX.."},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(testing::Message() << (r.Fast ? "fast, " : "") << "style " << r.Style << " y " << r.Y);
    SetUp();
    SetColor(12);
    SetLineStyle(r.Style);
    if (r.Fast) gfx::FastLine3(r.X1, r.Y, 0, r.X2, r.Y, 0);
    else Line2(r.X1, r.Y, r.X2, r.Y);
    std::string drawn;
    for (int x = 10; x <= std::max(r.X1, r.X2); ++x)
      drawn += Px(x, r.Y) == kRed ? 'X' : Px(x, r.Y) == kBlack ? '.' : '?';
    EXPECT_EQ(drawn, r.Pattern);
    EXPECT_EQ(LitCount(), static_cast<int>(std::count(drawn.begin(), drawn.end(), 'X')));
  }
}

TEST_F(PixelLineStyles, DottedParityIsOfAbsolutePixels) {
  SetColor(12);
  SetLineStyle(2);
  gfx::SetWindow(1, 0, kWidth - 1, kHeight - 1);  // window x 0 is pixel 1
  Line2(0, 0, 10, 10);   // pixels (1,0)..(11,10): never the same parity
  EXPECT_EQ(LitCount(), 0);
  Line2(0, 1, 10, 11);   // pixels (1,1)..(11,11): always the same parity
  EXPECT_EQ(LitCount(), 11);
  EXPECT_EQ(std::pair(Px(1, 1), Px(11, 11)), std::pair(kRed, kRed));
}

using PixelLineClipping = KernelTest;

// Lines in window coordinates against the window (50, 40)..(149, 99): what
// lies beyond a side draws nothing, the border pixels are inside, and a cut
// end is found by truncating division.
TEST_F(PixelLineClipping, LinesAreCutAtTheWindowsBorders) {
  struct Pixel {
    int X, Y;
    std::uint32_t Colour;
  };
  struct Row {
    const char* Name;
    std::vector<std::array<int, 4>> Lines;
    int Lit;
    std::vector<Pixel> Pixels;
  };
  const Row kRows[] = {
      {"left of the window", {{-30, 10, -1, 40}, {-5, -5, -5, 200}}, 0, {}},
      {"right, above, below", {{100, 10, 140, 40}, {10, -30, 80, -1}, {10, 60, 80, 90}}, 0, {}},
      {"horizontal: borders inclusive", {{-20, 10, 200, 10}}, 100,
       {{49, 50, kBlack}, {50, 50, kWhite}, {149, 50, kWhite}, {150, 50, kBlack}}},
      // (40, 30)..(170, 160): enters at the corner (50, 40), leaves at (109, 99).
      {"diagonal, cut on two sides", {{-10, -10, 120, 120}}, 60,
       {{50, 40, kWhite}, {80, 70, kWhite}, {109, 99, kWhite}, {110, 100, kBlack}}},
      // (40, 95)..(61, 45): at the left border y = 95 + (-50 * 10) / 21 = 72,
      // truncated toward zero, not down to 71; y-major from 45 to 72.
      {"truncating division", {{-10, 55, 11, 5}}, 28,
       {{50, 72, kWhite}, {50, 71, kBlack}, {50, 73, kBlack}, {61, 45, kWhite}}},
      // (160, 45)..(139, 95): at x = 149, y = 45 + 50 * (-11) / (-21) = 71.
      {"right border, negative divisor", {{110, 5, 89, 55}}, 25,
       {{149, 71, kWhite}, {149, 70, kBlack}, {139, 95, kWhite}}},
      {"crossing both border lines beyond the corner", {{-10, 5, 5, -10}}, 0, {}},
      {"collapsed by clipping to its border point", {{-10, 5, 0, 5}}, 1, {{50, 45, kWhite}}},
      {"far ends on both sides, across and down", {{-(1 << 30), 30, 1 << 30, 30}, {50, -(1 << 30), 50, 1 << 30}}, 159,
       {{50, 70, kWhite}, {149, 70, kWhite}, {100, 40, kWhite}, {100, 99, kWhite}}},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.Name);
    SetUp();
    gfx::SetWindow(50, 40, 149, 99);
    SetColor(15);
    for (const auto& l : r.Lines) Line2(l[0], l[1], l[2], l[3]);
    EXPECT_EQ(LitCount(), r.Lit);
    for (const Pixel& p : r.Pixels) EXPECT_EQ(Px(p.X, p.Y), p.Colour) << p.X << ", " << p.Y;
    EXPECT_TRUE(ShadowMatchesPicture());
  }
  SetUp();
  gfx::SetWindow(50, 99, 149, 40);  // bottom above top: nothing is drawn
  Line2(0, 0, 50, 0);
  gfx::Point2(1, 1, 15);
  EXPECT_EQ(LitCount(), 0);
}


using DegenerateLine = KernelTest;

// A line of zero length draws one point, and takes the larger of its depths.
TEST_F(DegenerateLine, ZeroLengthLineDrawsOnePointAtTheLargerDepth) {
  SetColor(14);
  Line2(30, 30, 30, 30);
  EXPECT_EQ(Px(30, 30), 0x00FFFF);
  EXPECT_EQ(LitCount(), 1);
  gfx::K.HiddenLineMode = 1;
  SetColor(12);
  gfx::FastLine3(40, 40, 200, 40, 40, 200);
  EXPECT_EQ(gfx::DepthRaster[40][40], 200);
  SetColor(10);
  gfx::FastLine3(40, 40, 100, 40, 40, 300);  // 300 beats 200; 100 would not
  EXPECT_EQ(Px(40, 40), kGreen);
  EXPECT_EQ(gfx::DepthRaster[40][40], 300);
  SetColor(9);
  gfx::MoveTo3(0, 0, 0);
  gfx::LineTo3(40, 40, 250);  // a longer line: its end at depth 250 stays hidden
  EXPECT_EQ(Px(40, 40), kGreen);
}

using XorDrawing = KernelTest;

TEST_F(XorDrawing, LineDrawnTwiceRestoresEveryPixel) {
  SetColor(12);
  Line2(0, 50, 199, 50);
  SetColor(9);
  Line2(20, 0, 20, 149);
  gfx::SetXorMode(1);
  SetColor(14);
  for (int style : {0, 1, 2}) {
    SetLineStyle(style);
    const int before = LitCount();
    Line2(5, 45, 60, 58);
    EXPECT_GT(LitCount(), before) << style;
    Line2(5, 45, 60, 58);
    for (int x = 0; x < kWidth; ++x) EXPECT_EQ(Px(x, 50), x == 20 ? kBlue : kRed) << x;
    EXPECT_EQ((std::array{Px(20, 49), Px(5, 45), Px(60, 58)}), (std::array{kBlue, kBlack, kBlack}));
    EXPECT_EQ(LitCount(), kWidth + kHeight - 1);
  }
  EXPECT_TRUE(ShadowMatchesPicture());
}

// XOR drawing over what the shadow holds, one row a drawing: a styled line
// lights every second step from the first; each LineTo2 leaves its end
// pixel as it found it, so an inner vertex of a polyline is changed once,
// by the segment that leaves it, like every other pixel (the start is XORed
// by the move and by the line, the end by the line and by its move); the
// depth raster is ignored. What is not a pixel the row's drawing checks.
TEST_F(XorDrawing, XorCombinesWithWhatIsThere) {
  struct Pixel { int X, Y; std::uint32_t Colour; };
  const struct { const char* Name; void (*Draw)(); std::vector<Pixel> Pixels; } kRows[] = {
      {"with the shadow value",
       [] { SetColor(12), gfx::MoveTo2(10, 10), gfx::SetXorMode(1), SetColor(10), Line2(10, 10, 11, 10); },
       {{10, 10, kRed ^ kGreen}, {11, 10, kGreen}}},
      {"styled", [] { gfx::SetXorMode(1), SetColor(15), SetLineStyle(1), Line2(10, 10, 19, 10); },
       {{10, 10, kWhite}, {11, 10, kBlack}, {12, 10, kWhite}, {13, 10, kBlack}, {14, 10, kWhite}, {15, 10, kBlack},
        {16, 10, kWhite}, {17, 10, kBlack}, {18, 10, kWhite}, {19, 10, kBlack}}},
      {"a polyline's vertices",
       [] { gfx::SetXorMode(1), SetColor(15), gfx::MoveTo2(10, 10), gfx::LineTo2(30, 10), gfx::LineTo2(30, 30); },
       {{10, 10, kBlack}, {11, 10, kWhite}, {29, 10, kWhite}, {30, 10, kWhite}, {30, 11, kWhite}, {30, 30, kBlack},
        {30, 29, kWhite}}},
      {"LineTo2's end pixel twice",
       [] {
         SetColor(12), Line2(40, 40, 40, 40), gfx::SetXorMode(1), SetColor(10), gfx::MoveTo2(20, 40), gfx::LineTo2(40, 40);
         EXPECT_EQ(std::pair(gfx::K.CurX, gfx::K.CurY), std::pair(40, 40));
       },
       {{40, 40, kRed}, {39, 40, kGreen}, {20, 40, kBlack}}},
      {"the depth raster",
       [] {
         gfx::K.HiddenLineMode = 1, SetColor(12), gfx::FastLine3(0, 30, 5000, 199, 30, 5000);
         gfx::SetXorMode(1), SetColor(10), gfx::MoveTo3(50, 20, 0), gfx::LineTo3(50, 40, 0);
         EXPECT_EQ(gfx::DepthRaster[30][50], 5000);
       },
       {{50, 30, kRed ^ kGreen}}},
  };
  for (const auto& r : kRows) {
    SCOPED_TRACE(r.Name);
    SetUp();
    r.Draw();
    for (const Pixel& p : r.Pixels) EXPECT_EQ(Px(p.X, p.Y), p.Colour) << p.X << ", " << p.Y;
  }
}

using ExtremeCoordinates = KernelTest;

// Every clip path with coordinates at the ends of the 32-bit range, at
// ±2^30 and around the window; the sanitizer build checks that no product
// overflows and no raster is touched out of bounds.
TEST_F(ExtremeCoordinates, FarAwayEndsNeverOverflowOrEscapeTheRasters) {
  const int values[] = {INT_MIN, INT_MIN + 1, -(1 << 30), -70001, -5, 0, 3, 77,
                        199,     4000,        1 << 30,    INT_MAX - 1, INT_MAX};
  gfx::K.HiddenLineMode = 1;
  gfx::SetWindow(20, 10, 180, 140);
  SetColor(15);
  int lines = 0;
  for (int x1 : values)
    for (int y1 : values)
      for (int x2 : {INT_MIN, -(1 << 30), 50, 1 << 30, INT_MAX})
        for (int y2 : {INT_MIN, -3, 60, INT_MAX}) {
          SetLineStyle(lines % 3);
          gfx::SetXorMode(lines % 4 == 0);
          Line2(x1, y1, x2, y2);
          gfx::FastLine3(x1, y1, INT_MIN, x2, y2, INT_MAX);
          gfx::MoveTo3(x1, y1, INT_MAX);
          gfx::LineTo3(x2, y2, INT_MIN);
          gfx::Point2(x1, y1, 15);
          ++lines;
        }
  // Nothing may have been drawn outside the window.
  int outside = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if ((x < 20 || x > 180 || y < 10 || y > 140) && Px(x, y) != kBlack) ++outside;
  EXPECT_EQ(outside, 0);
  EXPECT_EQ(lines, 13 * 13 * 5 * 4);
}

// A window across the far corner of the depth raster: pixels inside it
// keep their depths, the others are drawn without any.
TEST_F(ExtremeCoordinates, WindowAcrossTheRasterEdgesKeepsDepthOnlyInside) {
  gfx::K.HiddenLineMode = 1;
  gfx::SetWindow(2450, 1950, 2600, 2050);
  SetColor(15);
  gfx::MoveTo3(0, 0, 0);
  gfx::LineTo3(100, 100, 10);  // (2450, 1950)..(2550, 2050)
  EXPECT_EQ(gfx::DepthRaster[1950][2450], 0);
  EXPECT_EQ(gfx::DepthRaster[1999][2499], 4);  // step 49: 49 * 10 / 100
  gfx::FastLine3(0, 100, 5, 100, 0, 5);
  gfx::SetLineStyle(1);
  gfx::FastLine3(0, 90, 5, 100, 0, 5);
  gfx::SetXorMode(1);
  gfx::LineTo3(0, 100, 0);
  gfx::Point2(50, 50, 3);
  gfx::ClearDepth();  // rows 0..100 only
  EXPECT_EQ(gfx::DepthRaster[1999][2499], 4);
  EXPECT_EQ(gfx::DepthRaster[100][0], gfx::kDepthCleared);
}


// Lines with unrounded ends far off the window keep their direction: the
// pixels drawn are those of the same line with ends near the window. A
// far end that is no number draws nothing.
struct FarLine {
  const char* Name;
  double X1, Y1, X2, Y2;    // the far line
  int NearX1, NearY1, NearX2, NearY2;  // a line along the same ray, clipped alike
};
const FarLine kFarLines[] = {
    {"one end 1e12 away at slope 1/2", 10, 10, 10 + 2e12, 10 + 1e12, 10, 10, 210, 110},
    {"both ends beyond, crossing the window", -4e11, 50 - 2e11, 4e11, 50 + 2e11, -100, 0, 300, 200},
    {"a steep line from far above", 20 + 1e10, -3e10, 20, 0, 20 + 50, -150, 20, 0},
    {"no number", 10, 10, std::nan(""), 40, 10, 10, 10, 10},
};

// The near line's picture and the far one's on a fresh kernel each.
TEST_F(KernelTest, UnroundedLinesKeepTheirDirectionHoweverFarTheirEnds) {
  for (const FarLine& c : kFarLines) {
    SCOPED_TRACE(c.Name);
    std::vector<std::uint32_t> pixels[2];
    for (int far = 0; far < 2; ++far) {
      SetUp();
      SetColor(12);
      if (far) gfx::MoveToExact(c.X1, c.Y1, 0, false), gfx::LineToExact(c.X2, c.Y2, 0, false);
      else Line2(c.NearX1, c.NearY1, c.NearX2, c.NearY2);
      for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) pixels[far].push_back(Px(x, y));
    }
    int differing = 0;
    for (std::size_t k = 0; k < pixels[0].size(); ++k) differing += pixels[0][k] != pixels[1][k];
    EXPECT_LE(differing, 2);  // at most the rounding of a cut end
  }
}

}  // namespace
}  // namespace kerneltest
