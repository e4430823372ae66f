// Tests of the picture's drawing entries, reached through the driver table
// as the kernel reaches them, and of the picture written as a PNG file.
#include <gtest/gtest.h>
#include <zlib.h>

#include <array>
#include <climits>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "platform/driver.h"
#include "platform/image/image_driver.h"
#include "platform/picture.h"
#include "support/run_program.h"

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

TEST_F(PictureEntries, SizeBlackStartClampedColourNumbersAndRgbPixels) {
  EXPECT_EQ(std::pair(Drv.DrvScreenWidth(), Drv.DrvScreenHeight()), std::pair(kW, kH));
  EXPECT_EQ(LitPixels(), 0);
  EXPECT_EQ(Pic.PenCache, platform::Palette[15]);
  Drv.DrvPoint(10, 20, 12);  // red, in the picture (opaque) and the shadow
  EXPECT_EQ(PictureColour(10, 20), 0x0000FFu);
  EXPECT_EQ(Pic.Pixels[20 * kW + 10], 0xFFFF0000u);
  EXPECT_EQ(platform::ShadowRaster[20][10], 0x0000FFu);
  EXPECT_EQ(LitPixels(), 1);
  Drv.DrvPoint(1, 1, 100000);
  Drv.DrvPoint(2, 1, -5);
  Drv.DrvPoint(3, 1, INT_MIN);
  EXPECT_EQ(PictureColour(1, 1), platform::Palette[528]);
  EXPECT_EQ((std::array{platform::ShadowRaster[1][1], platform::ShadowRaster[1][2], platform::ShadowRaster[1][3]}),
            (std::array{0x006060u, 0u, 0u}));
  Drv.DrvPutPixelRGB(6, 6, 1, 2, 3);  // colours given as red, green, blue leave the shadow
  Drv.DrvPutPixelRGB(7, 6, 300, -4, 255);  // clamped
  EXPECT_EQ(std::pair(PictureColour(6, 6), PictureColour(7, 6)), std::pair(0x030201u, 0xFF00FFu));
  EXPECT_EQ(platform::ShadowRaster[6][6], kMarker);
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

// XOR works on the shadow's value, not the pixel's, and twice restores both.
TEST_F(PictureEntries, XorPointTwiceRestoresPixelAndShadow) {
  Drv.DrvPoint(5, 5, 14);    // yellow 255,255,0
  Drv.DrvXorPoint(5, 5, 9);  // blue 0,0,255
  EXPECT_EQ(platform::ShadowRaster[5][5], 0x00FFFFu ^ 0xFF0000u);
  EXPECT_EQ(PictureColour(5, 5), 0xFFFFFFu);
  Drv.DrvXorPoint(5, 5, 9);
  EXPECT_EQ(platform::ShadowRaster[5][5], 0x00FFFFu);
  EXPECT_EQ(PictureColour(5, 5), 0x00FFFFu);
  platform::ShadowRaster[3][3] = 0x0000FFu;  // the kernel says red is there
  Drv.DrvXorPoint(3, 3, 15);
  EXPECT_EQ(PictureColour(3, 3), 0xFFFF00u);
  EXPECT_EQ(platform::ShadowRaster[3][3], 0xFFFF00u);
}

// Lines include both ends and walk the major axis, the minor coordinate
// truncated towards zero; each row: the line, its colour, the pixels it lights.
TEST_F(PictureEntries, LinesLightTheirPixelsInPictureAndShadow) {
  struct Row {
    int X1, Y1, X2, Y2, Colour;
    std::uint32_t Value;
    std::vector<std::pair<int, int>> Lit;
  };
  const Row kRows[] = {
      {2, 7, 9, 7, 10, 0x00FF00u, {{2, 7}, {3, 7}, {4, 7}, {5, 7}, {6, 7}, {7, 7}, {8, 7}, {9, 7}}},
      // y major: x = 10 + y·3/10 truncated.
      {13, 10, 10, 0, 15, 0xFFFFFFu,
       {{10, 0}, {10, 1}, {10, 2}, {10, 3}, {11, 4}, {11, 5}, {11, 6}, {12, 7}, {12, 8}, {12, 9}, {13, 10}}},
      // x major from (0, 4) to (10, 0): y = 4 + m·(−4)/10.
      {10, 0, 0, 4, 2, 0x008000u,
       {{0, 4}, {1, 4}, {2, 4}, {3, 3}, {4, 3}, {5, 2}, {6, 2}, {7, 2}, {8, 1}, {9, 1}, {10, 0}}},
      {4, 4, 4, 4, 12, 0x0000FFu, {{4, 4}}},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(testing::Message() << r.X1 << "," << r.Y1 << " " << r.X2 << "," << r.Y2);
    SetUp();
    Drv.DrvLine(r.X1, r.Y1, r.X2, r.Y2, r.Colour);
    for (auto [x, y] : r.Lit) {
      EXPECT_EQ(PictureColour(x, y), r.Value) << x << "," << y;
      EXPECT_EQ(platform::ShadowRaster[y][x], r.Value) << x << "," << y;
    }
    EXPECT_EQ(LitPixels(), static_cast<int>(r.Lit.size()));
    EXPECT_EQ(platform::ShadowRaster[7][1], kMarker);
  }
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
  EXPECT_EQ(std::pair(PictureColour(9, 10), PictureColour(20, 20)), std::pair(0u, 0xFFFFFFu));
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
  EXPECT_EQ(std::pair(PictureColour(4, 2), PictureColour(1, 3)), std::pair(0u, 0u));
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
  const int last = platform::kShadowRows - 1;
  EXPECT_EQ((std::array{platform::ShadowRaster[last][0], platform::ShadowRaster[last - 1][platform::kShadowColumns - 1],
                        platform::ShadowRaster[last - 2][0]}),
            (std::array{0xFFFFFFu, 0xFFFFFFu, kMarker}));
  Drv.DrvClearBar(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
  EXPECT_EQ(std::pair(PictureColour(kW - 1, kH - 1), platform::ShadowRaster[0][0]), std::pair(0xFFFFFFu, 0xFFFFFFu));
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
  EXPECT_EQ(std::pair(platform::ShadowRaster[0][platform::kShadowColumns - 1], platform::ShadowRaster[1][0]),
            std::pair(0xFFFFFFu, kMarker));
  Drv.DrvLine(-5000, 10, 5000, 10, 12);  // far outside the shadow too: still cut
  for (int x = 0; x < kW; ++x) EXPECT_EQ(PictureColour(x, 10), 0x0000FFu) << x;
  EXPECT_EQ(platform::ShadowRaster[10][platform::kShadowColumns - 1], 0x0000FFu);
  EXPECT_EQ(LitPixels(), 2 * kW);
}

TEST_F(PictureEntries, ResizeKeepsEntriesInsideTheNewPicture) {
  ResizePicture(3, 2);
  EXPECT_EQ(std::pair(Drv.DrvScreenWidth(), Drv.DrvScreenHeight()), std::pair(3, 2));
  Drv.DrvLine(0, 0, 40, 40, 15);
  Drv.DrvFillBar(0, 0, 100, 100);
  EXPECT_EQ(Pic.Pixels.size(), 6u);
  ResizePicture(0, -4);
  EXPECT_EQ(std::pair(Drv.DrvScreenWidth(), Drv.DrvScreenHeight()), std::pair(1, 1));
}

// --- The picture as a PNG file ---------------------------------------------------

std::uint32_t BigEndian(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) << 24 | p[1] << 16 | p[2] << 8 | p[3];
}

// In a folder of its own: other runs of the suite may write at the same time.
TEST(PngFile, SignatureHeaderAndPixelsOrAnErrorText) {
  platform::BuildPalette();
  InstallImageDriver(5, 3);
  Drv.DrvInitGraphics();
  const std::string folder = testing_support::MakeTempFolder(), path = folder + "/picture.png";
  Drv.DrvPoint(1, 2, 12);             // red
  Drv.DrvPutPixelRGB(4, 0, 1, 2, 3);
  ASSERT_EQ(WritePicturePng(path), "");
  const std::string bytes = testing_support::ReadFile(path);
  const std::vector<unsigned char> f(bytes.begin(), bytes.end());
  ASSERT_GT(f.size(), 57u);
  const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  EXPECT_TRUE(std::equal(signature, signature + 8, f.begin()));
  // IHDR of 13 bytes: width 5, height 3, 8 bits, RGB; its CRC.
  EXPECT_EQ(std::string(f.begin() + 12, f.begin() + 16), "IHDR");
  EXPECT_EQ((std::array<std::uint32_t, 5>{BigEndian(&f[8]), BigEndian(&f[16]), BigEndian(&f[20]), f[24], f[25]}),
            (std::array<std::uint32_t, 5>{13, 5, 3, 8, 2}));
  EXPECT_EQ(BigEndian(&f[29]), crc32(0, &f[12], 17));
  EXPECT_EQ(std::string(f.end() - 8, f.end() - 4), "IEND");

  // The IDAT chunk follows IHDR; inflate it and look at the pixels.
  const std::uint32_t idatSize = BigEndian(&f[33]);
  EXPECT_EQ(std::string(f.begin() + 37, f.begin() + 41), "IDAT");
  std::vector<unsigned char> raw(3 * (1 + 5 * 3));
  uLongf rawSize = raw.size();
  ASSERT_EQ(uncompress(raw.data(), &rawSize, &f[41], idatSize), Z_OK);
  ASSERT_EQ(rawSize, raw.size());
  // Each row: its filter byte 0, then red, green, blue of each pixel.
  std::vector<unsigned char> want(raw.size(), 0);
  const int row = 1 + 5 * 3;
  want[2 * row + 1 + 3 * 1] = 255;
  want[0 * row + 1 + 3 * 4 + 0] = 1;
  want[0 * row + 1 + 3 * 4 + 1] = 2;
  want[0 * row + 1 + 3 * 4 + 2] = 3;
  EXPECT_EQ(raw, want);
  std::filesystem::remove_all(folder);
  EXPECT_EQ(WritePicturePng(path), "No such file or directory");
}

}  // namespace
}  // namespace platform
