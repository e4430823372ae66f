// Tests of the picture's drawing entries, reached through the driver table
// as the kernel reaches them.
#include <gtest/gtest.h>

#include <climits>

#include "graphics/kernel.h"
#include "platform/driver.h"
#include "platform/image/image_driver.h"
#include "platform/picture.h"

namespace platform {
namespace {

constexpr int kW = 64, kH = 48;
constexpr std::uint32_t kMarker = 0x123456;

class PictureEntries : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::BuildPalette();
    InstallImageDriver(kW, kH);
    Drv.DrvInitGraphics();
    for (auto& row : platform::ShadowRaster)
      for (auto& cell : row) cell = kMarker;
  }
  static int LitPixels() {
    int n = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) n += PictureColour(x, y) != 0;
    return n;
  }
};

TEST_F(PictureEntries, SizeAndBlackStart) {
  EXPECT_EQ(Drv.DrvScreenWidth(), kW);
  EXPECT_EQ(Drv.DrvScreenHeight(), kH);
  EXPECT_EQ(LitPixels(), 0);
  EXPECT_EQ(Pic.PenCache, platform::Palette[15]);
}

TEST_F(PictureEntries, PointLightsPixelAndShadow) {
  Drv.DrvPoint(10, 20, 12);  // red
  EXPECT_EQ(PictureColour(10, 20), 0x0000FFu);
  EXPECT_EQ(Pic.Pixels[20 * kW + 10], 0xFFFF0000u);
  EXPECT_EQ(platform::ShadowRaster[20][10], 0x0000FFu);
  EXPECT_EQ(LitPixels(), 1);
}

TEST_F(PictureEntries, ColourNumbersAreClamped) {
  Drv.DrvPoint(1, 1, 100000);
  EXPECT_EQ(PictureColour(1, 1), platform::Palette[528]);
  EXPECT_EQ(platform::ShadowRaster[1][1], 0x006060u);
  Drv.DrvPoint(2, 1, -5);
  EXPECT_EQ(platform::ShadowRaster[1][2], 0u);
  Drv.DrvPoint(3, 1, INT_MIN);
  EXPECT_EQ(platform::ShadowRaster[1][3], 0u);
}

TEST_F(PictureEntries, PenIsCreatedOnlyOnAChangeOfValue) {
  Drv.DrvSetPenColor(4);
  const int changes = Pic.PenChanges;
  Drv.DrvPoint(0, 0, 4);
  Drv.DrvLine(0, 1, 5, 1, 4);
  EXPECT_EQ(Pic.PenChanges, changes);
  Drv.DrvPoint(0, 0, 5);
  EXPECT_EQ(Pic.PenChanges, changes + 1);
  EXPECT_EQ(Pic.PenCache, platform::Palette[5]);
  Drv.DrvSetPenColor(9999);
  EXPECT_EQ(Pic.PenCache, platform::Palette[528]);
}

TEST_F(PictureEntries, XorPointTwiceRestoresPixelAndShadow) {
  Drv.DrvPoint(5, 5, 14);  // yellow 255,255,0
  Drv.DrvXorPoint(5, 5, 9);  // blue 0,0,255
  EXPECT_EQ(platform::ShadowRaster[5][5], 0x00FFFFu ^ 0xFF0000u);
  EXPECT_EQ(PictureColour(5, 5), 0xFFFFFFu);
  Drv.DrvXorPoint(5, 5, 9);
  EXPECT_EQ(platform::ShadowRaster[5][5], 0x00FFFFu);
  EXPECT_EQ(PictureColour(5, 5), 0x00FFFFu);
}

TEST_F(PictureEntries, XorUsesTheShadowNotThePixel) {
  platform::ShadowRaster[3][3] = 0x0000FFu;  // the kernel says red is there
  Drv.DrvXorPoint(3, 3, 15);
  EXPECT_EQ(PictureColour(3, 3), 0xFFFF00u);
  EXPECT_EQ(platform::ShadowRaster[3][3], 0xFFFF00u);
}

TEST_F(PictureEntries, HorizontalLineIncludesBothEnds) {
  Drv.DrvLine(2, 7, 9, 7, 10);
  for (int x = 0; x < kW; ++x) {
    const bool on = x >= 2 && x <= 9;
    EXPECT_EQ(PictureColour(x, 7), on ? 0x00FF00u : 0u) << x;
    EXPECT_EQ(platform::ShadowRaster[7][x], on ? 0x00FF00u : kMarker) << x;
  }
  EXPECT_EQ(LitPixels(), 8);
}

TEST_F(PictureEntries, SteepLineWalksTheMajorAxisWithTruncation) {
  // y major: x = 10 + (y − 0)·3/10 truncated, for y = 0..10.
  Drv.DrvLine(13, 10, 10, 0, 15);
  const int expectedX[11] = {10, 10, 10, 10, 11, 11, 11, 12, 12, 12, 13};
  for (int y = 0; y <= 10; ++y) {
    EXPECT_EQ(PictureColour(expectedX[y], y), 0xFFFFFFu) << y;
    EXPECT_EQ(platform::ShadowRaster[y][expectedX[y]], 0xFFFFFFu) << y;
  }
  EXPECT_EQ(LitPixels(), 11);
}

TEST_F(PictureEntries, DescendingShallowLineTruncatesTowardsZero) {
  // x major from (0, 4) to (10, 0): y = 4 + m·(−4)/10 → 4,4,4,3,3,2,2,2,1,1,0.
  Drv.DrvLine(10, 0, 0, 4, 2);
  const int expectedY[11] = {4, 4, 4, 3, 3, 2, 2, 2, 1, 1, 0};
  for (int x = 0; x <= 10; ++x) EXPECT_EQ(PictureColour(x, expectedY[x]), 0x008000u) << x;
  EXPECT_EQ(LitPixels(), 11);
}

TEST_F(PictureEntries, ZeroLengthLineIsOnePoint) {
  Drv.DrvLine(4, 4, 4, 4, 12);
  EXPECT_EQ(PictureColour(4, 4), 0x0000FFu);
  EXPECT_EQ(LitPixels(), 1);
}

TEST_F(PictureEntries, ClipLimitsPixelsButNotTheShadow) {
  Drv.DrvSetClip(10, 10, 20, 20);
  Drv.DrvLine(0, 15, 30, 15, 15);
  for (int x = 0; x <= 30; ++x) {
    EXPECT_EQ(PictureColour(x, 15), x >= 10 && x <= 20 ? 0xFFFFFFu : 0u) << x;
    EXPECT_EQ(platform::ShadowRaster[15][x], 0xFFFFFFu) << x;
  }
  Drv.DrvPoint(9, 10, 15);
  Drv.DrvPoint(20, 20, 15);
  EXPECT_EQ(PictureColour(9, 10), 0u);
  EXPECT_EQ(PictureColour(20, 20), 0xFFFFFFu);
}

TEST_F(PictureEntries, FillBarUsesTheBackgroundModesColour) {
  const std::uint32_t expected[] = {0x000000u, 0x404040u, 0x808080u, 0xC0C0C0u,
                                    0xFFFFFFu, 0xFFFFFFu, 0xFFFFFFu};
  const int modes[] = {0, 1, 2, 3, 4, 5, -1};
  for (int i = 0; i < 7; ++i) {
    Drv.DrvSetBackMode(modes[i]);
    EXPECT_EQ(Drv.DrvGetBackMode(), modes[i]);
    Drv.DrvFillBar(1, 1, 3, 2);
    EXPECT_EQ(PictureColour(1, 1), expected[i]) << modes[i];
    EXPECT_EQ(PictureColour(3, 2), expected[i]) << modes[i];
  }
  EXPECT_EQ(PictureColour(4, 2), 0u);
  EXPECT_EQ(PictureColour(1, 3), 0u);
  EXPECT_EQ(platform::ShadowRaster[1][1], kMarker);  // a fill leaves the shadow
}

TEST_F(PictureEntries, ClearBarSetsTheShadowOfTheWholeRectangle) {
  Drv.DrvSetBackMode(3);
  Drv.DrvSetClip(0, 0, 4, 4);
  Drv.DrvClearBar(2, 2, 8, 6);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool inside = x >= 2 && x <= 8 && y >= 2 && y <= 6;
      EXPECT_EQ(platform::ShadowRaster[y][x], inside ? 0xC0C0C0u : kMarker) << x << "," << y;
      const bool shown = x >= 2 && x <= 4 && y >= 2 && y <= 4;
      EXPECT_EQ(PictureColour(x, y), shown ? 0xC0C0C0u : 0u) << x << "," << y;
    }
}

TEST_F(PictureEntries, ClearBarStaysInsideTheShadowsBounds) {
  Drv.DrvSetBackMode(4);
  Drv.DrvClearBar(-100, platform::kShadowRows - 2, platform::kShadowColumns + 100, INT_MAX);
  EXPECT_EQ(platform::ShadowRaster[platform::kShadowRows - 1][0], 0xFFFFFFu);
  EXPECT_EQ(platform::ShadowRaster[platform::kShadowRows - 2][platform::kShadowColumns - 1], 0xFFFFFFu);
  EXPECT_EQ(platform::ShadowRaster[platform::kShadowRows - 3][0], kMarker);
  Drv.DrvClearBar(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  EXPECT_EQ(PictureColour(kW - 1, kH - 1), 0xFFFFFFu);
  EXPECT_EQ(platform::ShadowRaster[0][0], 0xFFFFFFu);
}

TEST_F(PictureEntries, HugeAndNegativeCoordinatesWriteNothingOutside) {
  const std::vector<std::uint32_t> before = Pic.Pixels;
  Drv.DrvPoint(-1, 5, 15);
  Drv.DrvPoint(5, -1, 15);
  Drv.DrvPoint(INT_MAX, INT_MAX, 15);
  Drv.DrvPoint(INT_MIN, 0, 15);
  Drv.DrvXorPoint(kW, 0, 15);
  Drv.DrvXorPoint(-7, INT_MIN, 15);
  Drv.DrvPutPixelRGB(kW, kH, 255, 255, 255);
  Drv.DrvPutPixelRGB(-1, -1, 255, 255, 255);
  Drv.DrvLine(INT_MIN, INT_MIN, INT_MIN + 5, INT_MAX, 15);
  Drv.DrvLine(kW, -10, kW + 1000, 5000, 15);
  EXPECT_EQ(Pic.Pixels, before);
  Drv.DrvSetClip(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  Drv.DrvLine(INT_MIN, 0, INT_MAX, 0, 15);
  for (int x = 0; x < kW; ++x) EXPECT_EQ(PictureColour(x, 0), 0xFFFFFFu) << x;
  EXPECT_EQ(platform::ShadowRaster[0][platform::kShadowColumns - 1], 0xFFFFFFu);
  EXPECT_EQ(platform::ShadowRaster[1][0], kMarker);
}

TEST_F(PictureEntries, LineFarOutsideTheShadowIsStillCut) {
  Drv.DrvLine(-5000, 10, 5000, 10, 12);
  for (int x = 0; x < kW; ++x) EXPECT_EQ(PictureColour(x, 10), 0x0000FFu) << x;
  EXPECT_EQ(platform::ShadowRaster[10][platform::kShadowColumns - 1], 0x0000FFu);
  EXPECT_EQ(LitPixels(), kW);
}

TEST_F(PictureEntries, PutPixelRgbLeavesTheShadow) {
  Drv.DrvPutPixelRGB(6, 6, 1, 2, 3);
  EXPECT_EQ(PictureColour(6, 6), 0x030201u);
  EXPECT_EQ(platform::ShadowRaster[6][6], kMarker);
  Drv.DrvPutPixelRGB(7, 6, 300, -4, 255);
  EXPECT_EQ(PictureColour(7, 6), 0xFF00FFu);
}

TEST_F(PictureEntries, ResizeKeepsEntriesInsideTheNewPicture) {
  ResizePicture(3, 2);
  EXPECT_EQ(Drv.DrvScreenWidth(), 3);
  EXPECT_EQ(Drv.DrvScreenHeight(), 2);
  Drv.DrvLine(0, 0, 40, 40, 15);
  Drv.DrvFillBar(0, 0, 100, 100);
  EXPECT_EQ(Pic.Pixels.size(), 6u);
  ResizePicture(0, -4);
  EXPECT_EQ(Drv.DrvScreenWidth(), 1);
  EXPECT_EQ(Drv.DrvScreenHeight(), 1);
}

}  // namespace
}  // namespace platform
