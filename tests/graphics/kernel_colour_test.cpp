// The current colour: background remapping, the shading family, colours
// beyond the palette, and the menu background fill.
#include "graphics/kernel_fixture.h"
#include "platform/picture.h"

namespace kerneltest {
namespace {

using gfx::GetColor;
using gfx::SetColor;

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

TEST_F(SetColorRemap, RemappedColourIsWhatIsDrawn) {
  platform::Drv.DrvSetBackMode(4);
  SetColor(0);  // white on the white background: drawing in 0 erases
  gfx::Line2(10, 10, 12, 10);
  EXPECT_EQ(Px(10, 10), kWhite);
  EXPECT_EQ(Px(12, 10), kWhite);
  EXPECT_EQ(platform::ShadowRaster[10][11], kWhite);

  platform::Drv.DrvSetBackMode(2);
  SetColor(0);
  gfx::Line2(10, 20, 12, 20);
  EXPECT_EQ(Px(11, 20), kGrey);
}

using ColourLimits = KernelTest;

TEST_F(ColourLimits, ColoursAbove528DrawAs528) {
  SetColor(600);
  EXPECT_EQ(GetColor(), 600);  // the number is kept, only the drawing is clamped
  gfx::Line2(5, 5, 7, 5);
  gfx::MoveTo2(5, 9);
  gfx::Point2(5, 12, 1000);
  EXPECT_EQ(Px(5, 5), kExtra);
  EXPECT_EQ(Px(6, 5), kExtra);
  EXPECT_EQ(Px(7, 5), kExtra);
  EXPECT_EQ(Px(5, 9), kExtra);
  EXPECT_EQ(Px(5, 12), kExtra);
}

TEST_F(ColourLimits, NegativeColoursDrawAsBackground) {
  SetColor(12);
  gfx::Line2(5, 5, 7, 5);
  SetColor(-3);
  gfx::Line2(5, 5, 6, 5);
  EXPECT_EQ(Px(5, 5), kBlack);
  EXPECT_EQ(Px(6, 5), kBlack);
  EXPECT_EQ(Px(7, 5), kRed);
}

TEST_F(ColourLimits, Point2UsesItsOwnColourUnremapped) {
  platform::Drv.DrvSetBackMode(4);
  SetColor(12);
  gfx::Point2(3, 4, 0);  // 0 is not remapped to white here
  EXPECT_EQ(Px(3, 4), kBlack);
  EXPECT_EQ(GetColor(), 12);
  gfx::Point2(4, 4, 8);
  EXPECT_EQ(Px(4, 4), kLightGrey);
}

using DrawColourFamily = KernelTest;

TEST_F(DrawColourFamily, BasicColoursPickTheirRamp) {
  const int expected[16] = {0, 1, 2, 3, 4, 5, 6, 7, 7, 1, 2, 3, 4, 5, 6, 7};
  for (int colour = 0; colour < 16; ++colour) {
    gfx::SetDrawColor(colour);
    EXPECT_EQ(gfx::K.ColourFamily, expected[colour]) << "colour " << colour;
    EXPECT_EQ(GetColor(), colour);
  }
}

TEST_F(DrawColourFamily, RampColoursAndBeyondGiveFamilyZero) {
  gfx::SetDrawColor(5);
  gfx::SetDrawColor(16);
  EXPECT_EQ(gfx::K.ColourFamily, 0);
  gfx::SetDrawColor(5);
  gfx::SetDrawColor(528);
  EXPECT_EQ(gfx::K.ColourFamily, 0);
  EXPECT_EQ(GetColor(), 528);
}

TEST_F(DrawColourFamily, FamilyFollowsTheRequestNotTheRemap) {
  platform::Drv.DrvSetBackMode(3);
  gfx::SetDrawColor(8);
  EXPECT_EQ(gfx::K.ColourFamily, 7);
  EXPECT_EQ(GetColor(), 0);
}

using BackgroundFill = KernelTest;

TEST_F(BackgroundFill, FillsInMenuBackgroundAndLeavesForeground) {
  platform::Drv.DrvSetBackMode(4);
  gfx::K.MenuBackground = 0;
  gfx::K.MenuForeground = 15;
  gfx::FillBackground(20, 30, 24, 33);
  EXPECT_EQ(Px(20, 30), kWhite);
  EXPECT_EQ(Px(24, 33), kWhite);
  EXPECT_EQ(Px(25, 33), kBlack);
  EXPECT_EQ(Px(19, 30), kBlack);
  EXPECT_EQ(GetColor(), 0);  // the foreground 15, remapped for white
}

}  // namespace
}  // namespace kerneltest
