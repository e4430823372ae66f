// The drawing store on the screen: objects, texts and bitmaps drawn through
// RenderStoreOnScreen on the image driver's picture, a waiting key stopping
// the rendering, and the store's slots installed by InstallStoreRenderer.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/framework.h"
#include "graphics/kernel.h"
#include "graphics/text.h"
#include "menu/menu.h"
#include "platform/codepage.h"
#include "platform/driver.h"
#include "platform/image/image_driver.h"
#include "platform/picture.h"
#include "store/store.h"
#include "view/store_render.h"
#include "view/view.h"

namespace {

constexpr int kWidth = 200, kHeight = 160;
constexpr int kCentreX = 100, kCentreY = 80;  // the pixel of the world origin
constexpr std::uint32_t kBlack = 0;

int exhausted = 0;

class StoreRenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app::ResetFramework();
    platform::InstallImageDriver(kWidth, kHeight);
    platform::Image.InputExhaustedHook = [] { ++exhausted; };
    exhausted = 0;
    gfx::InitKernel();
    gfx::BuildStrokeFont();
    gfx::SetWindow(0, 0, kWidth - 1, kHeight - 1);
    // One world unit per pixel, the origin at (100, 80), y up.
    view::V.ScreenCentreX = kCentreX;
    view::V.ScreenCentreY = kCentreY;
    gfx::SetColor(15);
    store::ClearStore();
  }
  void TearDown() override { app::ResetFramework(); }

  static std::uint32_t Px(int x, int y) { return platform::PictureColour(x, y); }
  static std::uint32_t White() { return platform::Palette[15]; }
  static int LitPixels() {
    int n = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) n += Px(x, y) != kBlack;
    return n;
  }
  static void Polyline(std::initializer_list<std::pair<float, float>> points) {
    store::BeginPolyline();
    for (auto [x, y] : points) store::AddPoint(x, y, 0);
  }
};

// --- Objects ----------------------------------------------------------------------

TEST_F(StoreRenderTest, OnePointPolylineDrawsADiamondMarker) {
  Polyline({{0, 0}});
  store::CloseStore();
  gfx::RenderStoreOnScreen();
  // Arms of 4 pixels around (100, 80); the pen ends on the centre, which
  // lights it.
  EXPECT_EQ(Px(96, 80), White());
  EXPECT_EQ(Px(98, 78), White());
  EXPECT_EQ(Px(100, 76), White());
  EXPECT_EQ(Px(102, 78), White());
  EXPECT_EQ(Px(104, 80), White());
  EXPECT_EQ(Px(102, 82), White());
  EXPECT_EQ(Px(100, 84), White());
  EXPECT_EQ(Px(98, 82), White());
  EXPECT_EQ(Px(100, 80), White());
  EXPECT_EQ(Px(99, 80), kBlack);
  EXPECT_EQ(Px(95, 80), kBlack);
  EXPECT_EQ(LitPixels(), 17);
}

TEST_F(StoreRenderTest, PolylineJoinsItsPointsInOrder) {
  Polyline({{-20, 0}, {20, 0}, {20, 20}});
  store::CloseStore();
  gfx::RenderStoreOnScreen();
  for (int x = 80; x <= 120; ++x) EXPECT_EQ(Px(x, 80), White()) << x;
  for (int y = 60; y <= 80; ++y) EXPECT_EQ(Px(120, y), White()) << y;
  EXPECT_EQ(Px(90, 70), kBlack);  // not closed back to the start
  EXPECT_EQ(LitPixels(), 41 + 20);
}

TEST_F(StoreRenderTest, PolylineIsDrawnInTheCurrentColourNotItsPen) {
  store::SetStorePen(4);
  Polyline({{-10, 0}, {10, 0}});
  store::CloseStore();
  gfx::SetColor(2);
  gfx::RenderStoreOnScreen();
  EXPECT_EQ(Px(100, 80), platform::Palette[2]);
}

TEST_F(StoreRenderTest, SegmentPairsLeaveAnOddLastPointUnpaired) {
  store::BeginSegmentPairs();
  store::AddPoint(-20, 0, 0);
  store::AddPoint(-10, 0, 0);
  store::AddPoint(10, 10, 0);  // no partner inside the object
  Polyline({{40, -30}, {50, -30}});
  store::CloseStore();
  gfx::RenderStoreOnScreen();
  for (int x = 80; x <= 90; ++x) EXPECT_EQ(Px(x, 80), White()) << x;
  EXPECT_EQ(Px(95, 80), kBlack);
  // The odd point must not be joined to the next object's first point
  // (10, 10)–(40, −30): it would pass through (125, 90).
  EXPECT_EQ(Px(125, 90), kBlack);
  EXPECT_EQ(Px(110, 70), kBlack);
  for (int x = 140; x <= 150; ++x) EXPECT_EQ(Px(x, 110), White()) << x;
  EXPECT_EQ(LitPixels(), 11 + 11);
}

TEST_F(StoreRenderTest, SegmentPairsDrawEachPairApart) {
  store::BeginSegmentPairs();
  store::AddPoint(-20, 0, 0);
  store::AddPoint(-10, 0, 0);
  store::AddPoint(10, 0, 0);
  store::AddPoint(20, 0, 0);
  store::CloseStore();
  gfx::RenderStoreOnScreen();
  EXPECT_EQ(Px(85, 80), White());
  EXPECT_EQ(Px(100, 80), kBlack);  // the gap between the pairs
  EXPECT_EQ(Px(115, 80), White());
}

TEST_F(StoreRenderTest, TriangleOutlineIsShrunkTowardsItsCentre) {
  store::BeginTriangle();
  store::AddPoint(-30, -30, 0);
  store::AddPoint(30, -30, 0);
  store::AddPoint(0, 30, 0);
  store::CloseStore();
  gfx::RenderStoreOnScreen();
  // Centre (0, −10): the corners move to (±27, −28) and (0, 26).
  for (int x = 73; x <= 127; ++x) EXPECT_EQ(Px(x, 108), White()) << x;
  EXPECT_EQ(Px(100, 110), kBlack);  // the given edge is not drawn
  EXPECT_EQ(Px(100, 54), White());
  EXPECT_EQ(Px(100, 50), kBlack);
  EXPECT_EQ(Px(100, 80), kBlack);   // an outline, not a fill
}

TEST_F(StoreRenderTest, QuadOutlineIsShrunkTowardsItsCentre) {
  store::BeginQuad();
  store::AddPoint(-20, -20, 0);
  store::AddPoint(20, -20, 0);
  store::AddPoint(20, 20, 0);
  store::AddPoint(-20, 20, 0);
  store::CloseStore();
  gfx::RenderStoreOnScreen();
  for (int x = 82; x <= 118; ++x) {
    EXPECT_EQ(Px(x, 98), White()) << x;
    EXPECT_EQ(Px(x, 62), White()) << x;
  }
  for (int y = 62; y <= 98; ++y) {
    EXPECT_EQ(Px(82, y), White()) << y;
    EXPECT_EQ(Px(118, y), White()) << y;
  }
  EXPECT_EQ(Px(100, 100), kBlack);
  EXPECT_EQ(Px(100, 80), kBlack);
  EXPECT_EQ(LitPixels(), 4 * 36);
}

TEST_F(StoreRenderTest, QuadStripDrawsQuadsOfPointsKK1K3K2) {
  store::BeginQuadStrip();
  store::AddPoint(-30, 0, 0);
  store::AddPoint(-30, 20, 0);
  store::AddPoint(0, 0, 0);
  store::AddPoint(0, 20, 0);
  store::AddPoint(30, 0, 0);
  store::AddPoint(30, 20, 0);
  store::CloseStore();
  gfx::RenderStoreOnScreen();
  // Two quads, each shrunk about its own centre: bottoms at y = 1.
  EXPECT_EQ(Px(85, 79), White());
  EXPECT_EQ(Px(115, 79), White());
  EXPECT_EQ(Px(85, 61), White());
  EXPECT_EQ(Px(115, 61), White());
  EXPECT_EQ(Px(100, 79), kBlack);  // apart from each other
  EXPECT_EQ(Px(100, 70), kBlack);
  // Corners in the order k, k+1, k+2, k+3 would cross in the middle.
  EXPECT_EQ(Px(85, 70), kBlack);
  EXPECT_EQ(Px(115, 70), kBlack);
}

TEST_F(StoreRenderTest, ObjectOfUnknownKindDrawsNothing) {
  store::BeginObject(9);
  store::AddPoint(-10, 0, 0);
  store::AddPoint(10, 0, 0);
  store::CloseStore();
  gfx::RenderStoreOnScreen();
  EXPECT_EQ(LitPixels(), 0);
}

TEST_F(StoreRenderTest, FacetWithTooFewPointsReadsNothingBeyondIt) {
  store::BeginTriangle();
  store::AddPoint(-10, 0, 0);
  store::AddPoint(10, 0, 0);
  Polyline({{40, 40}, {50, 40}});
  store::CloseStore();
  gfx::RenderStoreOnScreen();
  EXPECT_EQ(Px(100, 80), kBlack);
  EXPECT_EQ(Px(145, 40), White());
}

TEST_F(StoreRenderTest, ObjectsSpilledToTheScratchFilesAreDrawn) {
  // 600 objects of 4 points: points beyond 2000 and entries beyond 500
  // come from the scratch files.
  for (int i = 0; i < 600; ++i) Polyline({{-60, -60}, {-60, -60}, {-60, -60}, {-60, -60}});
  Polyline({{-10, 0}, {10, 0}});
  store::CloseStore();
  ASSERT_GT(store::Store.PointCount, store::kPointsInMemory);
  gfx::RenderStoreOnScreen();
  EXPECT_EQ(Px(100, 80), White());
  EXPECT_EQ(Px(40, 140), White());
}

// --- A waiting key ------------------------------------------------------------------

TEST_F(StoreRenderTest, WaitingKeyStopsBeforeAnyObjectAndStaysQueued) {
  Polyline({{-10, 0}, {10, 0}});
  store::AddTextLeft("A", -10, 20, 0, 0, 1, 10, 8, 0);
  store::CloseStore();
  platform::QueueText("x");
  gfx::RenderStoreOnScreen();
  EXPECT_EQ(LitPixels(), 0);
  ASSERT_TRUE(platform::Drv.DrvKeyPressed());
  EXPECT_EQ(platform::Drv.DrvReadKey(), 'x');
  EXPECT_EQ(exhausted, 0);
}

TEST_F(StoreRenderTest, KeyPressedDuringAnObjectStopsAtTheNextOneAndSkipsTexts) {
  Polyline({{-10, 0}, {10, 0}});
  Polyline({{-10, 20}, {10, 20}});
  store::AddTextLeft("A", -10, -30, 0, 0, 1, 10, 8, 0);
  store::CloseStore();
  static int moves;
  moves = 0;
  view::Slots.MoveToWorldHook = [](float x, float y, float z) {
    view::MoveToWorld(x, y, z);
    if (moves++ == 0) platform::QueueText("q");  // the user types meanwhile
  };
  gfx::RenderStoreOnScreen();
  EXPECT_EQ(Px(100, 80), White());   // the first object is finished
  EXPECT_EQ(Px(100, 60), kBlack);    // the second is not begun
  EXPECT_EQ(LitPixels(), 21);        // nor is the text drawn
  EXPECT_EQ(moves, 1);
  ASSERT_TRUE(platform::Drv.DrvKeyPressed());
  EXPECT_EQ(platform::Drv.DrvReadKey(), 'q');
}

// --- Texts ------------------------------------------------------------------------------

TEST_F(StoreRenderTest, TextIsDrawnBetweenItsCornersInItsFont) {
  const float base[3] = {-30, -10, 0}, end[3] = {30, -10, 0}, top[3] = {-30, 10, 0};
  store::AddText("AB", base, end, top, 1);
  store::CloseStore();
  gfx::RenderStoreOnScreen();
  std::vector<std::uint32_t> rendered;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) rendered.push_back(Px(x, y));

  platform::ResizePicture(kWidth, kHeight);
  gfx::InitKernel();
  gfx::SetWindow(0, 0, kWidth - 1, kHeight - 1);
  gfx::SetColor(15);
  ASSERT_EQ(LitPixels(), 0);
  gfx::DrawTextPixels("AB", 70, 90, 130, 90, 70, 70, 1);
  int lit = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      ASSERT_EQ(rendered[static_cast<std::size_t>(y * kWidth + x)], Px(x, y)) << x << "," << y;
      lit += Px(x, y) != kBlack;
    }
  EXPECT_GT(lit, 40);
}

TEST_F(StoreRenderTest, TextsFollowTheObjects) {
  store::AddTextLeft("I", 0, 0, 0, 0, 1, 20, 10, 0);
  store::CloseStore();
  gfx::RenderStoreOnScreen();
  EXPECT_GT(LitPixels(), 0);
  // Only within its box: from the anchor rightwards, 10 up and down.
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (Px(x, y) != kBlack) {
        EXPECT_GE(x, 100);
        EXPECT_LE(x, 110);
        EXPECT_GE(y, 70);
        EXPECT_LE(y, 90);
      }
}

// --- Bitmaps ------------------------------------------------------------------------------

std::string TempFolder() {
  static std::string folder = [] {
    char name[] = "/tmp/brelmora-bmp-XXXXXX";
    const char* made = mkdtemp(name);
    return std::string(made ? made : "/tmp");
  }();
  return folder;
}

void Put16(std::string& s, unsigned v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8 & 0xFF);
}
void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

// A bitmap file: headers, a colour table of `colours` entries 0x00RRGGBB,
// then the rows (bottom first) padded to 4 bytes.
std::string Bitmap(int bits, std::int32_t width, std::int32_t height,
                   const std::vector<std::uint32_t>& colours,
                   const std::vector<std::vector<std::uint8_t>>& rows) {
  std::string s = "BM";
  std::string data;
  for (const auto& row : rows) {
    std::string r(row.begin(), row.end());
    while (r.size() % 4) r += '\0';
    data += r;
  }
  const std::uint32_t offset = 54 + 4 * static_cast<std::uint32_t>(colours.size());
  Put32(s, offset + static_cast<std::uint32_t>(data.size()));
  Put32(s, 0);
  Put32(s, offset);
  Put32(s, 40);
  Put32(s, static_cast<std::uint32_t>(width));
  Put32(s, static_cast<std::uint32_t>(height));
  Put16(s, 1);
  Put16(s, static_cast<unsigned>(bits));
  Put32(s, 0);  // no compression
  Put32(s, static_cast<std::uint32_t>(data.size()));
  Put32(s, 2835);
  Put32(s, 2835);
  Put32(s, static_cast<std::uint32_t>(colours.size()));
  Put32(s, 0);
  for (std::uint32_t c : colours) Put32(s, c);
  return s + data;
}

// Writes NAME.BMP in the temporary folder; the image name without ".BMP".
std::string WriteBitmap(const std::string& name, const std::string& bytes) {
  const std::string stem = TempFolder() + "/" + name;
  FILE* f = std::fopen((stem + ".BMP").c_str(), "wb");
  if (f) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  return stem;
}

void RenderImage(const std::string& stem, int style) {
  store::ClearStore();
  store::AddImage(stem, 0, 0, 1, style);
  store::CloseStore();
  gfx::RenderStoreOnScreen();
}

std::uint32_t Rgb(int r, int g, int b) {
  return static_cast<std::uint32_t>(b) << 16 | static_cast<std::uint32_t>(g) << 8 |
         static_cast<std::uint32_t>(r);
}

TEST_F(StoreRenderTest, OneBitImageWithStyle1DrawsTheOneBitsInColour10) {
  // Bottom row 1010 0000, top row 0100 0000; 8 pixels wide.
  const auto stem = WriteBitmap("one", Bitmap(1, 8, 2, {0x000000, 0xFFFFFF}, {{0xA0}, {0x40}}));
  RenderImage(stem, 1);
  // Column k, row r (from the bottom) sits at world (k, r): pixel (100 + k, 80 − r).
  EXPECT_EQ(Px(101, 79), platform::Palette[10]);
  EXPECT_EQ(Px(102, 79), kBlack);
  EXPECT_EQ(Px(103, 79), platform::Palette[10]);
  EXPECT_EQ(Px(102, 78), platform::Palette[10]);
  EXPECT_EQ(Px(101, 78), kBlack);
  EXPECT_EQ(LitPixels(), 3);
}

TEST_F(StoreRenderTest, OneBitImageWithStyle0DrawsTheZeroBits) {
  const auto stem = WriteBitmap("zero", Bitmap(1, 8, 2, {0x000000, 0xFFFFFF}, {{0xA0}, {0x40}}));
  RenderImage(stem, 0);
  EXPECT_EQ(Px(101, 79), kBlack);
  EXPECT_EQ(Px(102, 79), platform::Palette[10]);
  EXPECT_EQ(Px(108, 79), platform::Palette[10]);
  EXPECT_EQ(Px(109, 79), kBlack);  // the row's fill bits are no pixels
  EXPECT_EQ(Px(101, 78), platform::Palette[10]);
  EXPECT_EQ(LitPixels(), 16 - 3);
}

TEST_F(StoreRenderTest, FourBitImageUsesTheNibbleAsColourNumber) {
  std::vector<std::uint32_t> table(16, 0xFFFFFF);  // not consulted
  const auto stem = WriteBitmap("four", Bitmap(4, 3, 1, table, {{0x1C, 0x40}}));
  RenderImage(stem, 0);
  EXPECT_EQ(Px(101, 79), platform::Palette[1]);
  EXPECT_EQ(Px(102, 79), platform::Palette[12]);
  EXPECT_EQ(Px(103, 79), platform::Palette[4]);
  EXPECT_EQ(Px(104, 79), kBlack);
}

TEST_F(StoreRenderTest, EightBitImageGoesThroughTheColourTable) {
  std::vector<std::uint32_t> table(6, 0);
  table[0] = 0x030201;  // red 3, green 2, blue 1
  table[5] = 0xC08040;
  const auto stem = WriteBitmap("eight", Bitmap(8, 2, 2, table, {{5, 0}, {0, 5}}));
  RenderImage(stem, 0);
  EXPECT_EQ(Px(101, 79), Rgb(0xC0, 0x80, 0x40));
  EXPECT_EQ(Px(102, 79), Rgb(3, 2, 1));
  EXPECT_EQ(Px(101, 78), Rgb(3, 2, 1));
  EXPECT_EQ(Px(102, 78), Rgb(0xC0, 0x80, 0x40));
}

TEST_F(StoreRenderTest, TopDownEightBitImageStoresItsTopRowFirst) {
  std::vector<std::uint32_t> table = {0x000000, 0x00FF00};
  const auto stem = WriteBitmap("topdown", Bitmap(8, 1, -2, table, {{1}, {0}}));
  RenderImage(stem, 0);
  EXPECT_EQ(Px(101, 78), Rgb(0, 0xFF, 0));
  EXPECT_EQ(Px(101, 79), kBlack);
}

TEST_F(StoreRenderTest, TwentyFourBitImageIsBlueGreenRed) {
  const auto stem =
      WriteBitmap("rgb", Bitmap(24, 2, 2, {}, {{10, 20, 30, 40, 50, 60}, {70, 80, 90, 1, 2, 3}}));
  RenderImage(stem, 0);
  EXPECT_EQ(Px(101, 79), Rgb(30, 20, 10));
  EXPECT_EQ(Px(102, 79), Rgb(60, 50, 40));
  EXPECT_EQ(Px(101, 78), Rgb(90, 80, 70));
  EXPECT_EQ(Px(102, 78), Rgb(3, 2, 1));
  EXPECT_EQ(LitPixels(), 4);
}

TEST_F(StoreRenderTest, ImagePixelSizeSpreadsThePixels) {
  const auto stem = WriteBitmap("spread", Bitmap(24, 2, 1, {}, {{0, 0, 255, 0, 255, 0}}));
  store::AddImage(stem, -10, 0, 5, 0);
  store::CloseStore();
  gfx::RenderStoreOnScreen();
  EXPECT_EQ(Px(95, 75), Rgb(255, 0, 0));  // (−10 + 5, 0 + 5)
  EXPECT_EQ(Px(100, 75), Rgb(0, 255, 0));
}

TEST_F(StoreRenderTest, ImageIsDrawnBeforeTheObjectsOfItsPiece) {
  const auto stem = WriteBitmap("under", Bitmap(24, 1, 1, {}, {{0, 0, 255}}));
  store::AddImage(stem, 0, 0, 1, 0);
  Polyline({{-5, 1}, {5, 1}});
  store::CloseStore();
  gfx::RenderStoreOnScreen();
  EXPECT_EQ(Px(101, 79), White());  // the line went over the image pixel
  EXPECT_EQ(Px(97, 79), White());
}

TEST_F(StoreRenderTest, KeyStopsAnImageBetweenRows) {
  const auto stem = WriteBitmap("keyed", Bitmap(24, 1, 2, {}, {{0, 0, 255}, {0, 0, 255}}));
  platform::QueueText("k");
  RenderImage(stem, 0);
  EXPECT_EQ(LitPixels(), 0);
  EXPECT_EQ(platform::Drv.DrvReadKey(), 'k');
}

TEST_F(StoreRenderTest, MissingBitmapReplacesThePieceByAMessage) {
  store::AddImage(TempFolder() + "/NOFILE", 10, -20, 1, 0);
  Polyline({{-50, 50}, {-40, 50}});
  store::CloseStore();
  gfx::RenderStoreOnScreen();
  ASSERT_EQ(store::Store.TextCount, 1);
  EXPECT_EQ(store::Store.ObjectCount, 0);
  EXPECT_EQ(store::Store.ImageCount, 0);
  const char* text = nullptr;
  float c[9];
  int font = -1;
  store::GetText(1, text, c, font);
  EXPECT_EQ(gfx::Utf8FromScreen(text), "Нет файла " + TempFolder() + "/NOFILE.BMP");
  EXPECT_EQ(font, 0);
  EXPECT_FLOAT_EQ(c[0], 10);      // anchor (10, −20) at the middle of the left edge
  EXPECT_FLOAT_EQ(c[1], -22.5f);  // height 5
  EXPECT_FLOAT_EQ(c[7], -17.5f);
  EXPECT_FLOAT_EQ(c[2], 0);
  EXPECT_EQ(Px(55, 30), kBlack);  // the piece's polyline is gone
  EXPECT_GT(LitPixels(), 0);      // the message is drawn
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      if (Px(x, y) != kBlack) {
        EXPECT_GE(y, 97);
        EXPECT_LE(y, 103);
        EXPECT_GE(x, 110);
      }
}

TEST_F(StoreRenderTest, ShortBitmapDrawsWhatItHolds) {
  std::vector<std::uint32_t> table(256, 0xFFFFFF);
  // 100 × 100 declared, ten pixels of the first row present.
  std::string bytes = Bitmap(8, 100, 100, table, {});
  bytes += std::string(10, '\x01');
  RenderImage(WriteBitmap("short", bytes), 0);
  for (int x = 101; x <= 110; ++x) EXPECT_EQ(Px(x, 79), Rgb(255, 255, 255)) << x;
  EXPECT_EQ(Px(111, 79), kBlack);
  EXPECT_EQ(LitPixels(), 10);
}

TEST_F(StoreRenderTest, DamagedBitmapsAreRefusedWithoutHarm) {
  const std::string good = Bitmap(24, 2, 2, {}, {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}});
  auto patched32 = [&](std::size_t at, std::uint32_t v) {
    std::string s = good;
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>(v >> 8 & 0xFF);
    s[at + 2] = static_cast<char>(v >> 16 & 0xFF);
    s[at + 3] = static_cast<char>(v >> 24 & 0xFF);
    return s;
  };
  const std::vector<std::string> damaged = {
      "",
      "BM",
      good.substr(0, 20),
      good.substr(0, 40),
      "XY" + good.substr(2),
      patched32(18, 0x7FFFFFFF),                        // huge width
      patched32(22, 0x7FFFFFFF),                        // huge height
      patched32(18, 0xFFFFFFFF),                        // negative width
      patched32(22, 0x80000000),                        // the most negative height
      patched32(18, 0),                                 // no width
      patched32(22, 0),                                 // no height
      patched32(14, 0xFFFFFFF0),                        // absurd header size
      patched32(30, 1),                                 // compressed
      patched32(28, 16 | 1u << 16),                     // 16 bits per pixel
  };
  int i = 0;
  for (const auto& bytes : damaged) {
    RenderImage(WriteBitmap("bad" + std::to_string(i++), bytes), 0);
    EXPECT_EQ(LitPixels(), 0) << "file " << i - 1;
    int w = -1, h = -1;
    EXPECT_FALSE(gfx::ReadBitmapSize((TempFolder() + "/bad" + std::to_string(i - 1)).c_str(), w, h));
  }
  // Offsets and counts that point beyond the file draw nothing and read nothing.
  RenderImage(WriteBitmap("far", patched32(10, 0xFFFFFFF0)), 0);
  EXPECT_EQ(LitPixels(), 0);
  std::string eight = Bitmap(8, 2, 1, {0xFFFFFF}, {{0, 200}});
  eight[46] = '\xFF';  // colours used: far more than 256
  eight[47] = '\xFF';
  eight[48] = '\xFF';
  eight[49] = '\x7F';
  RenderImage(WriteBitmap("colours", eight), 0);  // reads no table beyond 256
}

TEST_F(StoreRenderTest, BitmapSizeComesFromItsHeader) {
  const auto stem = WriteBitmap("sized", Bitmap(24, 3, -5, {}, {}));
  int w = 0, h = 0;
  ASSERT_TRUE(gfx::ReadBitmapSize(stem.c_str(), w, h));
  EXPECT_EQ(w, 3);
  EXPECT_EQ(h, 5);
  EXPECT_FALSE(gfx::ReadBitmapSize((TempFolder() + "/none").c_str(), w, h));
}

// --- The store's slots ------------------------------------------------------------------

TEST_F(StoreRenderTest, InstalledRendererDrawsEveryFlushAndMeasuresImages) {
  gfx::InstallStoreRenderer();
  Polyline({{-10, 0}, {10, 0}});
  store::CloseStore();
  store::Slots.FlushStore();
  EXPECT_EQ(Px(100, 80), White());

  const auto stem = WriteBitmap("extent", Bitmap(24, 4, 2, {}, {}));
  store::Slots.RedrawForMeasure = [] {};
  static std::string image;
  image = stem;
  store::Slots.RedrawForMeasure = [] {
    store::ClearStore();
    store::AddImage(image, 10, 20, 5, 0);
    store::CloseStore();
    store::Slots.FlushStore();
  };
  float umin = 0, vmin = 0, umax = 0, vmax = 0;
  store::MeasureExtent2D(umin, vmin, umax, vmax);
  EXPECT_FLOAT_EQ(umin, 10);
  EXPECT_FLOAT_EQ(vmin, 20);
  EXPECT_FLOAT_EQ(umax, 30);
  EXPECT_FLOAT_EQ(vmax, 30);
  store::Slots.RedrawForMeasure = [] {};
  store::Slots.ScreenFlush = [] {};
  store::Slots.ReadImageSize = [](const char*, int&, int&) { return false; };
}

TEST(StoreRendererMessages, MessageGoesToThePromptLineAndWaitsOrPauses) {
  platform::InstallImageDriver(640, 480);
  platform::Image.InputExhaustedHook = [] { ++exhausted; };
  gfx::InitKernel();
  gfx::BuildStrokeFont();
  menu::M = menu::MenuState{};
  menu::ScreenSetUp();
  gfx::InstallStoreRenderer();
  gfx::SetWindow(10, 20, 300, 200);
  gfx::SetColor(4);

  platform::QueueText("z");
  store::Slots.ShowMessage("BUF_GET"_sc, true, 0);
  EXPECT_EQ(menu::M.Prompts[0], "BUF_GET");
  EXPECT_FALSE(platform::Drv.DrvKeyPressed());  // the key was read
  // The drawing window and colour of an interrupted piece are kept.
  EXPECT_EQ(gfx::K.WindowLeft, 10);
  EXPECT_EQ(gfx::K.WindowBottom, 200);
  EXPECT_EQ(gfx::GetColor(), 4);

  const long long before = platform::Image.Milliseconds;
  store::Slots.ShowMessage("BUF_PUT-Открытие файла"_sc, false, 500);
  EXPECT_EQ(gfx::Utf8FromScreen(menu::M.Prompts[0]), "BUF_PUT-Открытие файла");
  EXPECT_EQ(platform::Image.Milliseconds - before, 500);
  store::Slots.ShowMessage = [](const char*, bool, int) {};
  store::Slots.ScreenFlush = [] {};
  store::Slots.ReadImageSize = [](const char*, int&, int&) { return false; };
}

}  // namespace
