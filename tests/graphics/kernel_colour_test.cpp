// The current colour: background remapping, the shading family, colours
// beyond the palette, and the menu background fill.
#include <array>
#include <utility>

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
