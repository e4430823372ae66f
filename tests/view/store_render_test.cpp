// The drawing store on the screen: objects, texts and bitmaps drawn through
// RenderStoreOnScreen on the image driver's picture, a waiting key stopping
// the rendering, and the store's slots installed by InstallStoreRenderer.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "graphics/text.h"
#include "menu/menu.h"
#include "platform/codepage.h"
#include "store/store.h"
#include "support/run_program.h"
#include "view/store_render.h"
#include "view_fixture.h"

namespace viewtest {
namespace {

int exhausted = 0;

// The view's fixture with one world unit per pixel, the origin at pixel
// (100, 80), y up, and white the colour.
class StoreRenderTest : public ViewTest {
 protected:
  void SetUp() override {
    ViewTest::SetUp();
    platform::Image.InputExhaustedHook = [] { ++exhausted; };
    exhausted = 0;
    gfx::BuildStrokeFont();
    view::V.ScreenCentreX = 100;
    view::V.ScreenCentreY = 80;
    gfx::SetColor(15);
    store::ClearStore();
  }

  static std::uint32_t White() { return platform::Palette[15]; }
  // One object: its kind's start, then its points.
  static void Object(void (*begin)(), std::initializer_list<std::pair<float, float>> points) {
    begin();
    for (auto [x, y] : points) store::AddPoint(x, y, 0);
  }
  static void Polyline(std::initializer_list<std::pair<float, float>> points) { Object(store::BeginPolyline, points); }
};

// --- Objects ----------------------------------------------------------------------

struct Pixel {
  int X, Y;
};
struct Span {
  int X1, Y1, X2, Y2;  // lit from one end to the other, along a row or a column
};

// Each row builds one store and draws it in white: the runs and points that
// must be lit, the pixels that must stay dark, and how many are lit (−1: not
// counted).
TEST_F(StoreRenderTest, EachObjectKindDrawsItsShape) {
  struct Row {
    const char* Name;
    void (*Build)();
    std::vector<Span> Lit;
    std::vector<Pixel> Dark;
    int Count;
  };
  const Row kRows[] = {
      // Arms of 4 pixels around (100, 80); the pen ends on the centre, which lights it.
      {"a one-point polyline is a diamond marker", [] { Polyline({{0, 0}}); },
       {{96, 80, 96, 80}, {98, 78, 98, 78}, {100, 76, 100, 76}, {102, 78, 102, 78}, {104, 80, 104, 80},
        {102, 82, 102, 82}, {100, 84, 100, 84}, {98, 82, 98, 82}, {100, 80, 100, 80}},
       {{99, 80}, {95, 80}}, 17},
      {"a polyline is drawn in the current colour, not its pen",
       [] { store::SetStorePen(4); Polyline({{-10, 0}, {10, 0}}); },
       {{90, 80, 110, 80}}, {}, 21},
      {"a polyline joins its points in order, not closed",
       [] { Polyline({{-20, 0}, {20, 0}, {20, 20}}); }, {{80, 80, 120, 80}, {120, 60, 120, 80}},
       {{90, 70}}, 41 + 20},
      // The odd point (10, 10) must not be joined to the next object's first
      // point (40, −30): that would pass through (125, 90).
      {"segment pairs leave an odd last point unpaired",
       [] { Object(store::BeginSegmentPairs, {{-20, 0}, {-10, 0}, {10, 10}}); Polyline({{40, -30}, {50, -30}}); },
       {{80, 80, 90, 80}, {140, 110, 150, 110}}, {{95, 80}, {125, 90}, {110, 70}}, 11 + 11},
      {"segment pairs are drawn apart",
       [] { Object(store::BeginSegmentPairs, {{-20, 0}, {-10, 0}, {10, 0}, {20, 0}}); },
       {{85, 80, 85, 80}, {115, 80, 115, 80}}, {{100, 80}}, -1},
      // Centre (0, −10): the corners move to (±27, −28) and (0, 26); the given
      // edge is not drawn, and it is an outline, not a fill.
      {"a triangle's outline is shrunk towards its centre",
       [] { Object(store::BeginTriangle, {{-30, -30}, {30, -30}, {0, 30}}); },
       {{73, 108, 127, 108}, {100, 54, 100, 54}}, {{100, 110}, {100, 50}, {100, 80}}, -1},
      {"a quad's outline is shrunk towards its centre",
       [] { Object(store::BeginQuad, {{-20, -20}, {20, -20}, {20, 20}, {-20, 20}}); },
       {{82, 98, 118, 98}, {82, 62, 118, 62}, {82, 62, 82, 98}, {118, 62, 118, 98}},
       {{100, 100}, {100, 80}}, 4 * 36},
      // Two quads of points k, k+1, k+3, k+2, each shrunk about its own centre;
      // the order k .. k+3 would cross in the middle.
      {"a quad strip draws separate quads",
       [] { Object(store::BeginQuadStrip, {{-30, 0}, {-30, 20}, {0, 0}, {0, 20}, {30, 0}, {30, 20}}); },
       {{85, 79, 85, 79}, {115, 79, 115, 79}, {85, 61, 85, 61}, {115, 61, 115, 61}},
       {{100, 79}, {100, 70}, {85, 70}, {115, 70}}, -1},
      {"an object of unknown kind draws nothing",
       [] { Object([] { store::BeginObject(9); }, {{-10, 0}, {10, 0}}); },
       {}, {}, 0},
      {"a facet with too few points reads nothing beyond it",
       [] { Object(store::BeginTriangle, {{-10, 0}, {10, 0}}); Polyline({{40, 40}, {50, 40}}); },
       {{145, 40, 145, 40}}, {{100, 80}}, -1},
      // 600 objects of 4 points: points beyond 2000 and entries beyond 500
      // come from the scratch files.
      {"objects spilled to the scratch files are drawn",
       [] {
         for (int i = 0; i < 600; ++i) Polyline({{-60, -60}, {-60, -60}, {-60, -60}, {-60, -60}});
         Polyline({{-10, 0}, {10, 0}});
       },
       {{100, 80, 100, 80}, {40, 140, 40, 140}}, {}, -1},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.Name);
    SetUp();
    r.Build();
    store::CloseStore();
    gfx::RenderStoreOnScreen();
    for (const Span& l : r.Lit)
      for (int x = l.X1; x <= l.X2; ++x)
        for (int y = l.Y1; y <= l.Y2; ++y) EXPECT_EQ(Px(x, y), White()) << x << ", " << y;
    for (const Pixel& d : r.Dark) EXPECT_EQ(Px(d.X, d.Y), kBlack) << d.X << ", " << d.Y;
    EXPECT_TRUE(r.Count < 0 || LitCount() == r.Count) << LitCount();
  }
  EXPECT_GT(store::Store.PointCount, store::kPointsInMemory);  // the last row spilled
}

// --- A waiting key ------------------------------------------------------------------

// A key waiting stops the rendering before any object; a key pressed during
// an object stops it at the next one, the texts skipped. The key stays queued.
TEST_F(StoreRenderTest, AKeyStopsTheRenderingAndStaysQueued) {
  Polyline({{-10, 0}, {10, 0}});
  Polyline({{-10, 20}, {10, 20}});
  store::AddTextLeft("A", -10, -30, 0, 0, 1, 10, 8, 0);
  store::CloseStore();
  platform::QueueText("x");
  gfx::RenderStoreOnScreen();
  EXPECT_EQ(LitCount(), 0);
  ASSERT_TRUE(platform::Drv.DrvKeyPressed());
  EXPECT_EQ(platform::Drv.DrvReadKey(), 'x');
  static int moves;
  moves = 0;
  view::Slots.MoveToWorldHook = [](float x, float y, float z) {
    view::MoveToWorld(x, y, z);
    if (moves++ == 0) platform::QueueText("q");  // the user types meanwhile
  };
  gfx::RenderStoreOnScreen();
  // The first object is finished, the second not begun, nor the text drawn.
  EXPECT_EQ(std::pair(Px(100, 80), Px(100, 60)), std::pair(White(), kBlack));
  EXPECT_EQ(LitCount(), 21);
  EXPECT_EQ(moves, 1);
  ASSERT_TRUE(platform::Drv.DrvKeyPressed());
  EXPECT_EQ(platform::Drv.DrvReadKey(), 'q');
  EXPECT_EQ(exhausted, 0);
}

// --- Texts ------------------------------------------------------------------------------

TEST_F(StoreRenderTest, TextIsDrawnBetweenItsCornersInItsFont) {
  const float base[3] = {-30, -10, 0}, end[3] = {30, -10, 0}, top[3] = {-30, 10, 0};
  store::AddText("AB", base, end, top, 1);
  store::CloseStore();
  gfx::RenderStoreOnScreen();
  const auto rendered = Snapshot();
  EXPECT_GT(LitCount(), 40);
  SetUp();
  gfx::DrawTextPixels("AB", 70, 90, 130, 90, 70, 70, 1);
  EXPECT_EQ(Snapshot(), rendered);
}

TEST_F(StoreRenderTest, TextsFollowTheObjects) {
  store::AddTextLeft("I", 0, 0, 0, 0, 1, 20, 10, 0);
  store::CloseStore();
  gfx::RenderStoreOnScreen();
  EXPECT_GT(LitCount(), 0);
  // Only within its box: from the anchor rightwards, 10 up and down.
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      EXPECT_TRUE(Px(x, y) == kBlack || (x >= 100 && x <= 110 && y >= 70 && y <= 90)) << x << ", " << y;
}

// --- Bitmaps ------------------------------------------------------------------------------

std::string TempFolder() {
  static const std::string folder = testing_support::MakeTempFolder();
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
  const auto size = static_cast<std::uint32_t>(data.size()), count = static_cast<std::uint32_t>(colours.size());
  const std::uint32_t offset = 54 + 4 * count;
  // File size, reserved, pixel offset; header size, width, height.
  for (std::uint32_t v : {offset + size, 0u, offset, 40u, static_cast<std::uint32_t>(width),
                          static_cast<std::uint32_t>(height)})
    Put32(s, v);
  Put16(s, 1);  // planes
  Put16(s, static_cast<unsigned>(bits));
  // No compression, image size, resolutions, colours used and important.
  for (std::uint32_t v : {0u, size, 2835u, 2835u, count, 0u}) Put32(s, v);
  for (std::uint32_t c : colours) Put32(s, c);
  return s + data;
}

// The same picture with the older 12-byte header: 16-bit sizes and a full
// colour table of blue, green, red triples.
std::string CoreBitmap(int bits, std::uint16_t width, std::uint16_t height, const std::string& table,
                       const std::string& data) {
  std::string s = "BM";
  for (std::uint32_t v : {26 + static_cast<std::uint32_t>(table.size() + data.size()), 0u,
                          26 + static_cast<std::uint32_t>(table.size()), 12u})
    Put32(s, v);
  for (unsigned v : {unsigned{width}, unsigned{height}, 1u, static_cast<unsigned>(bits)}) Put16(s, v);
  return s + table + data;
}

// Writes NAME.BMP in the temporary folder; the image name without ".BMP".
std::string WriteBitmap(const std::string& name, const std::string& bytes) {
  const std::string stem = TempFolder() + "/" + name;
  testing_support::WriteFile(stem + ".BMP", bytes);
  return stem;
}

void RenderImage(const std::string& stem, int style) {
  store::ClearStore();
  store::AddImage(stem, 0, 0, 1, style);
  store::CloseStore();
  gfx::RenderStoreOnScreen();
}

std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return b << 16 | g << 8 | r; }

// Each row: a bitmap drawn at the origin with one world unit per pixel, so
// column k of row r (from the bottom) lands on pixel (100 + k, 79 − r): the
// pixels and their colours, and how many are lit.
TEST_F(StoreRenderTest, BitmapsOfEveryDepthGiveTheirPixels) {
  struct Dot {
    int X, Y;
    std::uint32_t Colour;
  };
  const std::uint32_t c10 = platform::Palette[10];
  const std::vector<std::uint32_t> mono = {0x000000, 0xFFFFFF}, eight = {0x030201, 0, 0, 0, 0, 0xC08040};
  // 100 × 100 declared, ten pixels of the first row present.
  const std::string truncated = Bitmap(8, 100, 100, std::vector<std::uint32_t>(256, 0xFFFFFF), {}) +
                                std::string(10, '\x01');
  struct Row {
    const char* Name;
    std::string Bytes;
    int Style;
    std::vector<Dot> Dots;
    int Count;
  };
  const Row kRows[] = {
      // Bottom row 1010 0000, top row 0100 0000; 8 pixels wide.
      {"one bit, style 1: the one bits in colour 10", Bitmap(1, 8, 2, mono, {{0xA0}, {0x40}}), 1,
       {{101, 79, c10}, {102, 79, kBlack}, {103, 79, c10}, {102, 78, c10}, {101, 78, kBlack}}, 3},
      {"one bit, style 0: the zero bits; the row's fill bits are no pixels",
       Bitmap(1, 8, 2, mono, {{0xA0}, {0x40}}), 0,
       {{101, 79, kBlack}, {102, 79, c10}, {108, 79, c10}, {109, 79, kBlack}, {101, 78, c10}}, 16 - 3},
      {"four bits: the nibble is the colour number, the table is not consulted",
       Bitmap(4, 3, 1, std::vector<std::uint32_t>(16, 0xFFFFFF), {{0x1C, 0x40}}), 0,
       {{101, 79, platform::Palette[1]}, {102, 79, platform::Palette[12]}, {103, 79, platform::Palette[4]},
        {104, 79, kBlack}}, 3},
      {"eight bits go through the colour table", Bitmap(8, 2, 2, eight, {{5, 0}, {0, 5}}), 0,
       {{101, 79, Rgb(0xC0, 0x80, 0x40)}, {102, 79, Rgb(3, 2, 1)}, {101, 78, Rgb(3, 2, 1)},
        {102, 78, Rgb(0xC0, 0x80, 0x40)}}, 4},
      {"a 12-byte header: 16-bit sizes, three-byte colours",
       CoreBitmap(8, 1, 2, std::string("\x01\x02\x03\x40\x80\xC0", 6) + std::string(254 * 3, '\0'),
                  std::string("\x01\x00\x00\x00\x00\x00\x00\x00", 8)),
       0, {{101, 79, Rgb(0xC0, 0x80, 0x40)}, {101, 78, Rgb(3, 2, 1)}, {102, 79, kBlack}}, 2},
      {"a top-down bitmap stores its top row first", Bitmap(8, 1, -2, {0x000000, 0x00FF00}, {{1}, {0}}),
       0, {{101, 78, Rgb(0, 0xFF, 0)}, {101, 79, kBlack}}, 1},
      {"twenty-four bits are blue, green, red",
       Bitmap(24, 2, 2, {}, {{10, 20, 30, 40, 50, 60}, {70, 80, 90, 1, 2, 3}}), 0,
       {{101, 79, Rgb(30, 20, 10)}, {102, 79, Rgb(60, 50, 40)}, {101, 78, Rgb(90, 80, 70)},
        {102, 78, Rgb(3, 2, 1)}}, 4},
      {"a short bitmap draws what it holds", truncated, 0,
       {{101, 79, Rgb(255, 255, 255)}, {110, 79, Rgb(255, 255, 255)}, {111, 79, kBlack}}, 10},
  };
  int n = 0;
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.Name);
    SetUp();
    RenderImage(WriteBitmap("depth" + std::to_string(n++), r.Bytes), r.Style);
    for (const Dot& d : r.Dots) EXPECT_EQ(Px(d.X, d.Y), d.Colour) << d.X << ", " << d.Y;
    EXPECT_EQ(LitCount(), r.Count);
  }
}

// A pixel size spreads the pixels; the image is drawn before the objects of
// its piece; a waiting key stops it between rows.
TEST_F(StoreRenderTest, ImagesAreSpreadDrawnUnderTheObjectsAndStoppedByAKey) {
  store::AddImage(WriteBitmap("spread", Bitmap(24, 2, 1, {}, {{0, 0, 255, 0, 255, 0}})), -10, 0, 5, 0);
  store::AddImage(WriteBitmap("under", Bitmap(24, 1, 1, {}, {{0, 0, 255}})), 0, -30, 1, 0);
  Polyline({{-5, -29}, {5, -29}});
  store::CloseStore();
  gfx::RenderStoreOnScreen();
  // (−10 + 5, 0 + 5) and the next pixel 5 further; the line went over the image pixel.
  EXPECT_EQ((std::array{Px(95, 75), Px(100, 75), Px(101, 109), Px(97, 109)}),
            (std::array{Rgb(255, 0, 0), Rgb(0, 255, 0), White(), White()}));
  SetUp();
  const auto stem = WriteBitmap("keyed", Bitmap(24, 1, 2, {}, {{0, 0, 255}, {0, 0, 255}}));
  platform::QueueText("k");
  RenderImage(stem, 0);
  EXPECT_EQ(LitCount(), 0);
  EXPECT_EQ(platform::Drv.DrvReadKey(), 'k');
}

TEST_F(StoreRenderTest, MissingBitmapReplacesThePieceByAMessage) {
  store::AddImage(TempFolder() + "/NOFILE", 10, -20, 1, 0);
  Polyline({{-50, 50}, {-40, 50}});
  store::CloseStore();
  gfx::RenderStoreOnScreen();
  ASSERT_EQ((std::array{store::Store.TextCount, store::Store.ObjectCount, store::Store.ImageCount}), (std::array{1, 0, 0}));
  const char* text = nullptr;
  float c[9];
  int font = -1;
  store::GetText(1, text, c, font);
  EXPECT_EQ(gfx::Utf8FromScreen(text), "Нет файла " + TempFolder() + "/NOFILE.BMP");
  EXPECT_EQ(font, 0);
  // Anchor (10, −20) at the middle of the left edge, height 5.
  EXPECT_EQ((std::array{c[0], c[1], c[7], c[2]}), (std::array{10.0f, -22.5f, -17.5f, 0.0f}));
  EXPECT_EQ(Px(55, 30), kBlack);  // the piece's polyline is gone
  EXPECT_GT(LitCount(), 0);      // the message is drawn, in its box
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      EXPECT_TRUE(Px(x, y) == kBlack || (y >= 97 && y <= 103 && x >= 110)) << x << ", " << y;
}

TEST_F(StoreRenderTest, DamagedBitmapsAreRefusedWithoutHarm) {
  const std::string good = Bitmap(24, 2, 2, {}, {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}});
  auto patched32 = [](std::string s, std::size_t at, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) s[at + k] = static_cast<char>(v >> 8 * k & 0xFF);
    return s;
  };
  auto patched = [&](std::size_t at, std::uint32_t v) { return patched32(good, at, v); };
  const std::vector<std::string> damaged = {
      "", "BM", good.substr(0, 20), good.substr(0, 40), "XY" + good.substr(2),
      patched32(good, 18, 0x7FFFFFFF),                  // huge width
      patched(22, 0x7FFFFFFF),                        // huge height
      patched(18, 0xFFFFFFFF),                        // negative width
      patched(22, 0x80000000),                        // the most negative height
      patched(18, 0),                                 // no width
      patched(22, 0),                                 // no height
      patched(14, 0xFFFFFFF0),                        // absurd header size
      patched(30, 1),                                 // compressed
      patched(28, 16 | 1u << 16),                     // 16 bits per pixel
  };
  int i = 0;
  for (const auto& bytes : damaged) {
    RenderImage(WriteBitmap("bad" + std::to_string(i++), bytes), 0);
    EXPECT_EQ(LitCount(), 0) << "file " << i - 1;
    int w = -1, h = -1;
    EXPECT_FALSE(gfx::ReadBitmapSize((TempFolder() + "/bad" + std::to_string(i - 1)).c_str(), w, h));
  }
  // Offsets and counts that point beyond the file draw nothing and read nothing.
  RenderImage(WriteBitmap("far", patched(10, 0xFFFFFFF0)), 0);
  EXPECT_EQ(LitCount(), 0);
  // Colours used: far more than 256; no table is read beyond 256.
  RenderImage(WriteBitmap("colours", patched32(Bitmap(8, 2, 1, {0xFFFFFF}, {{0, 200}}), 46, 0x7FFFFFFF)), 0);
}

// --- The store's slots ------------------------------------------------------------------

TEST_F(StoreRenderTest, InstalledRendererDrawsEveryFlushAndMeasuresImages) {
  gfx::InstallStoreRenderer();
  Polyline({{-10, 0}, {10, 0}});
  store::CloseStore();
  store::Slots.FlushStore();
  EXPECT_EQ(Px(100, 80), White());

  const auto stem = WriteBitmap("extent", Bitmap(24, 4, -2, {}, {}));  // top-down
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
  EXPECT_EQ((std::array{umin, vmin, umax, vmax}), (std::array{10.0f, 20.0f, 30.0f, 30.0f}));
}

TEST_F(StoreRenderTest, MessageGoesToThePromptLineAndWaitsOrPauses) {
  platform::InstallImageDriver(640, 480);
  platform::Image.InputExhaustedHook = [] { ++exhausted; };
  menu::ScreenSetUp();
  gfx::InstallStoreRenderer();
  gfx::SetWindow(10, 20, 300, 200);
  gfx::SetColor(4);

  platform::QueueText("z");
  store::Slots.ShowMessage("BUF_GET"_sc, true, 0);
  EXPECT_EQ(menu::M.Prompts[0], "BUF_GET");
  EXPECT_FALSE(platform::Drv.DrvKeyPressed());  // the key was read
  // The drawing window and colour of an interrupted piece are kept.
  EXPECT_EQ((std::array{gfx::K.WindowLeft, gfx::K.WindowBottom, gfx::GetColor()}), (std::array{10, 200, 4}));

  const long long before = platform::Image.Milliseconds;
  store::Slots.ShowMessage("BUF_PUT-Открытие файла"_sc, false, 500);
  EXPECT_EQ(gfx::Utf8FromScreen(menu::M.Prompts[0]), "BUF_PUT-Открытие файла");
  EXPECT_EQ(platform::Image.Milliseconds - before, 500);
  EXPECT_EQ(exhausted, 0);
}

}  // namespace
}  // namespace viewtest
