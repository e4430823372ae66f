// The drawing store: objects, points, texts, images and transforms; the
// flush to the output devices and the extent passes.
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "store_fixture.h"
#include "view/view.h"

namespace {

using namespace store_test;
using store::Store;

// Entry i as stored.
Ints EntryOf(int i) {
  int first = -7, kind = -7, pen = -7;
  store::ObjectGet(i, first, kind, pen);
  return {first, kind, pen};
}

// --- Objects ---------------------------------------------------------------------------

// Objects as built: the entry after the last object closes it, pairs store
// their first point negative, an object without points ends before it
// starts, each Begin stores its kind and entry 0 counts the objects.
TEST_F(StoreTest, ObjectsKeepTheirRangeKindAndPen) {
  const struct {
    const char* Name;
    void (*Build)();
    std::vector<Ints> Ranges;  // of objects 1, 2, ...
    int Count;
    Ints Closing;  // the entry after the last object
  } kRows[] = {
      {"nothing", [] {}, {}, 0, {1, 0, 0}},
      {"an object without points",
       [] { store::BeginPolyline(), store::AddPoint(1, 2, 3), store::AddPoint(4, 5, 6), store::BeginPolyline(); },
       {{1, 2, store::Polyline, 15}, {3, 2, store::Polyline, 15}}, 2, {3, store::Polyline, 15}},
      {"segment pairs after a loose point",
       [] {
         store::AddPoint(0, 0, 0), store::BeginSegmentPairs();
         for (int k = 0; k < 4; ++k) store::AddPoint(static_cast<float>(k), 0, 0);
       },
       {{-2, 5, store::SegmentPairs, 15}}, 1, {6, store::SegmentPairs, 15}},
      {"a quad of pen 9",
       [] {
         store::SetStorePen(9), store::BeginQuad();
         for (int k = 0; k < 4; ++k) store::AddPoint(0, 0, 0);
       },
       {{1, 4, store::Quad, 9}}, 1, {5, store::Quad, 9}},
      {"every kind",
       [] {
         store::BeginPolyline(), store::BeginSegmentPairs(), store::BeginTriangle();
         store::BeginQuad(), store::BeginQuadStrip();
       },
       {{1, 0, 1, 15}, {-1, 0, 2, 15}, {1, 0, 3, 15}, {1, 0, 4, 15}, {1, 0, 5, 15}}, 5, {1, 5, 15}},
  };
  for (const auto& r : kRows) {
    SCOPED_TRACE(r.Name);
    store::ClearStore();
    r.Build();
    EXPECT_EQ(Store.First[0], r.Count);
    store::CloseStore();
    EXPECT_EQ(Store.ObjectCount, r.Count);
    EXPECT_EQ(Store.First[0], r.Count);
    for (int i = 1; i <= r.Count; ++i) {
      EXPECT_EQ(RangeOf(i), r.Ranges[i - 1]) << i;
      int first = 0, last = 0;
      store::GetObjectRange(i, first, last);  // the short form
      EXPECT_EQ((Ints{first, last}), Ints(r.Ranges[i - 1].begin(), r.Ranges[i - 1].begin() + 2)) << i;
    }
    EXPECT_EQ(EntryOf(r.Count + 1), r.Closing);
  }
}

// A clear empties every list and takes the kernel's colour as the pen;
// SetStorePen changes it for objects and texts alike.
TEST_F(StoreTest, ClearStoreTakesTheKernelColourAsPenAndEmptiesEveryList) {
  store::BeginPolyline();
  store::AddPoint(1, 1, 1);
  store::AddTextLeft("x", 0, 0, 0, 0, 1, 1, 1, 0);
  store::AddImage("pic", 0, 0, 1, 0);
  store::CloseStore();
  gfx::K.Colour = 12;
  store::ClearStore();
  EXPECT_EQ((Ints{Store.PointCount, Store.ObjectCount, Store.First[0], Store.TextCount, Store.ImageCount, Store.CurrentPen}),
            (Ints{0, 0, 0, 0, 0, 12}));
  store::SetStorePen(4);
  store::BeginPolyline();
  store::AddTextLeft("a", 0, 0, 0, 0, 1, 1, 1, 0);
  store::CloseStore();
  EXPECT_EQ((Ints{RangeOf(1)[3], Store.Texts[1].Pen}), (Ints{4, 4}));
}

// --- Texts and images ------------------------------------------------------------------

// Text j's corners: base start, base end, top start.
Floats CornersOf(int j) {
  const char* text = nullptr;
  float c[9];
  int font = 0;
  store::GetText(j, text, c, font);
  return Floats(c, c + 9);
}

// A text keeps 120 bytes, its font, pen and corners; the 125th text or
// image replaces the 124th; images are visible.
TEST_F(StoreTest, TextsAndImagesKeepWhatTheyAreGiven) {
  const float a[3] = {1, 2, 3}, b[3] = {4, 5, 6}, c[3] = {7, 8, 9};
  store::SetStorePen(5);
  store::AddText(std::string(130, 'A'), a, b, c, 1);
  const char* text = nullptr;
  float corners[9];
  int font = 0;
  store::GetText(1, text, corners, font);
  EXPECT_EQ(std::string(text), std::string(120, 'A'));
  EXPECT_EQ((Ints{font, Store.Texts[1].Pen}), (Ints{1, 5}));
  EXPECT_EQ(Floats(corners, corners + 9), (Floats{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  const float d[9] = {9, 8, 7, 6, 5, 4, 3, 2, 1};
  store::SetTextCorners(1, d);
  EXPECT_EQ(CornersOf(1), Floats(d, d + 9));
  for (int j = 2; j <= 125; ++j) store::AddText(std::to_string(j), a, b, c, 0);
  EXPECT_EQ(Store.TextCount, 124);
  EXPECT_STREQ(Store.Texts[123].Text, "123");
  EXPECT_STREQ(Store.Texts[124].Text, "125");

  for (int j = 1; j <= 125; ++j) store::AddImage("IMG" + std::to_string(j), static_cast<float>(j), 2, 0.5f, 3);
  EXPECT_EQ(Store.ImageCount, 124);
  const char* name = nullptr;
  float x = 0, y = 0, size = 0;
  int visible = 0, style = 0;
  store::GetImage(124, name, x, y, size, visible, style);
  EXPECT_STREQ(name, "IMG125");
  EXPECT_EQ((Floats{x, y, size}), (Floats{125, 2, 0.5f}));
  EXPECT_EQ((Ints{visible, style}), (Ints{1, 3}));
}

// The placements of a text: which point of it the anchor is, and how a turn,
// a cosine below zero (turned round to read upright) or a segment places it;
// left and right count one to eighty characters, centred the plain length.
TEST_F(StoreTest, EachPlacementPutsTheCornersAroundItsAnchor) {
  using Place = void (*)(std::string_view, float, float, float, float, float, float, float, int);
  const float p1[3] = {10, 0, 0}, p2[3] = {0, 0, 0}, q1[3] = {0, 0, 0}, q2[3] = {0, 0, 8};
  struct Row {
    const char* Name;
    Place Add;  // nullptr: AddTextAlong from Along[0] to Along[1]
    std::string Text;
    float X, Y, Z, Sine, Cosine, Height, Width;
    const float* Along[2];
    Floats Expected;  // base start, base end, top start
  };
  const Row kRows[] = {
      {"left: middle of the left edge", store::AddTextLeft, "ABC", 10, 20, 5, 0, 1, 4, 2, {},
       {10, 18, 5, 16, 18, 5, 10, 22, 5}},
      {"right: middle of the right edge", store::AddTextRight, "ABC", 10, 20, 5, 0, 1, 4, 2, {},
       {4, 18, 5, 10, 18, 5, 4, 22, 5}},
      {"centred: the centre", store::AddTextCentred, "ABCD", 10, 20, 5, 0, 1, 4, 2, {},
       {6, 18, 5, 14, 18, 5, 6, 22, 5}},
      // 90 degrees: d = (0, 1), m = (-1, 0); the anchor's z is kept.
      {"turned", store::AddTextLeft, "AB", 0, 0, 7, 1, 0, 2, 3, {}, {1, 0, 7, 1, 6, 7, -1, 0, 7}},
      {"180 degrees reads as 0", store::AddTextLeft, "ABC", 10, 20, 0, 0, -1, 4, 2, {},
       {10, 18, 0, 16, 18, 0, 10, 22, 0}},
      // sine 0.25, cosine -0.5 become d = (0.5, -0.25), m = (0.25, 0.5).
      {"cosine below zero", store::AddTextRight, "AB", 0, 0, 0, 0.25f, -0.5f, 4, 2, {},
       {-2.5f, 0, 0, -0.5f, -1, 0, -1.5f, 2, 0}},
      {"along, right to left: turned round", nullptr, "AB", 0, 0, 0, 0, 0, 2, 1, {p1, p2},
       {4, -1, 0, 6, -1, 0, 4, 1, 0}},
      {"along z: up is +y", nullptr, "AB", 0, 0, 0, 0, 0, 2, 1, {q1, q2}, {0, -1, 3, 0, -1, 5, 0, 1, 3}},
      {"left, 100 characters", store::AddTextLeft, std::string(100, 'x'), 0, 0, 0, 0, 1, 2, 1, {}, {0, -1, 0, 80, -1, 0, 0, 1, 0}},
      {"right, none", store::AddTextRight, "", 0, 0, 0, 0, 1, 2, 1, {}, {-1, -1, 0, 0, -1, 0, -1, 1, 0}},
      {"centred, 100", store::AddTextCentred, std::string(100, 'x'), 0, 0, 0, 0, 1, 2, 1, {}, {-50, -1, 0, 50, -1, 0, -50, 1, 0}},
      {"centred, none", store::AddTextCentred, "", 0, 0, 0, 0, 1, 2, 1, {}, {0, -1, 0, 0, -1, 0, 0, 1, 0}},
  };
  int j = 0;
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.Name);
    if (r.Add)
      r.Add(r.Text, r.X, r.Y, r.Z, r.Sine, r.Cosine, r.Height, r.Width, 0);
    else
      store::AddTextAlong(r.Text, r.Along[0], r.Along[1], r.Height, r.Width, 0);
    EXPECT_EQ(CornersOf(++j), r.Expected);
  }
}

// --- Transforms ----------------------------------------------------------------------------

void BuildPointAndText() {
  store::BeginPolyline();
  store::AddPoint(1, 2, 3);
  store::AddPoint(-1, 0, 4);
  store::CloseStore();
  const float a[3] = {1, 1, 1}, b[3] = {2, 1, 1}, c[3] = {1, 2, 1};
  store::AddText("T", a, b, c, 0);
}

// Move, scale about the centre, and reflect in the plane x = 2: each moves the
// points of objects and the corners of texts alike.
TEST_F(StoreTest, TransformsMovePointsAndTextCorners) {
  const float n[3] = {1, 0, 0};
  struct Row {
    const char* Name;
    void (*Apply)(const float* n);
    Floats Point1, Point2, Text;
  };
  const Row kRows[] = {
      {"move", [](const float*) { store::MoveStore(10, 20, 30); }, {11, 22, 33}, {9, 20, 34},
       {11, 21, 31, 12, 21, 31, 11, 22, 31}},
      {"scale", [](const float*) { store::ScaleStore(1, 0, 0, 2); }, {1, 4, 6}, {-3, 0, 8},
       {1, 2, 2, 3, 2, 2, 1, 4, 2}},
      {"reflect", [](const float* n) { store::ReflectStore(n, 2); }, {3, 2, 3}, {5, 0, 4},
       {3, 1, 1, 2, 1, 1, 3, 2, 1}},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.Name);
    store::ClearStore();
    BuildPointAndText();
    r.Apply(n);
    EXPECT_EQ(PointOf(1), r.Point1);
    EXPECT_EQ(PointOf(2), r.Point2);
    EXPECT_EQ(CornersOf(1), r.Text);
  }
}

TEST_F(StoreTest, TransformsLeavePointsAloneWhenThereAreNoObjects) {
  store::AddPoint(1, 2, 3);  // a point outside any object
  const float p[3] = {0, 0, 0};
  store::AddText("T", p, p, p, 0);
  store::MoveStore(1, 1, 1);
  EXPECT_EQ(PointOf(1), (Floats{1, 2, 3}));
  Floats baseStart = CornersOf(1);
  baseStart.resize(3);
  EXPECT_EQ(baseStart, (Floats{1, 1, 1}));
}

// A flush drops what lies beyond the store's limit, or is no number: a
// polyline with such a point, each such pair, each such text.
TEST_F(StoreTest, AFlushDropsWhatLiesOutOfRange) {
  static int screenFlushes = 0;
  screenFlushes = 0;
  store::Slots.ScreenFlush = [] { ++screenFlushes; };
  const float far = 2 * store::kWorldLimit, none = std::nanf("");
  const struct { float X, Y; } kPoints[] = {{1, 2}, {far, 0}, {3, 4}, {5, 6}, {0, none}, {7, 8}, {9, 9}};
  store::BeginPolyline();  // the first two points: dropped
  for (int k = 0; k < 2; ++k) store::AddPoint(kPoints[k].X, kPoints[k].Y, 0);
  store::BeginSegmentPairs();  // three pairs: the middle one dropped
  for (int k = 2; k < 7; ++k) store::AddPoint(kPoints[k].X, kPoints[k].Y, 0);
  store::AddPoint(9, 9, 0);
  store::BeginPolyline();  // kept whole
  store::AddPoint(1, 1, 0);
  store::AddPoint(2, 2, 0);
  store::AddTextLeft("kept", 0, 0, 0, 0, 1, 3, 2, 0);
  store::AddTextLeft("dropped", far, 0, 0, 0, 1, 3, 2, 0);
  store::CloseStore();
  store::BeginPicture();
  store::DispatchFlush();
  EXPECT_EQ(screenFlushes, 1);
  EXPECT_TRUE(Store.OutOfRange);
  ASSERT_EQ(Store.ObjectCount, 2);
  EXPECT_EQ((std::vector<Ints>{RangeOf(1), RangeOf(2)}), (std::vector<Ints>{{-1, 4, 2, 15}, {5, 6, 1, 15}}));
  EXPECT_EQ(PointOf(3)[0], 9.0f);
  ASSERT_EQ(Store.TextCount, 1);
  EXPECT_STREQ(Store.Texts[1].Text, "kept");
  store::BeginPicture();
  store::DispatchFlush();  // what is left is in range
  EXPECT_FALSE(Store.OutOfRange);
  EXPECT_EQ(Store.ObjectCount, 2);
  store::Slots.ScreenFlush = [] {};
}

// The range test takes points in memory, in cached blocks and read back
// from the file alike: ±limit and -0 lie in range; the next float beyond,
// an infinity and no number do not.
TEST_F(StoreTest, TheRangeTestTakesEveryPointAlike) {
  store::Slots.ScreenFlush = [] {};
  const float limit = store::kWorldLimit, inf = std::numeric_limits<float>::infinity();
  const float beyond = std::nextafter(limit, inf);
  const struct { int Count, At, Axis; float Value; bool Out; } kCases[] = {
      {3000, 7, 0, limit, false},        {3000, 7, 1, beyond, true},      {3000, 2900, 2, -limit, false},
      {3000, 2900, 0, -inf, true},       {3000, 2001, 1, std::nanf(""), true}, {3000, 2999, 2, -0.0f, false},
      {100000, 2001, 0, beyond, true},   {100000, 2001, 1, -limit, false},  // its block evicted: read back
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.Count << " " << c.At << " " << c.Axis << " " << c.Value);
    store::ClearStore();
    store::BeginPolyline();
    for (int n = 1; n <= c.Count; ++n) {
      float p[3] = {1, 2, 3};
      if (n == c.At) p[c.Axis] = c.Value;
      store::AddPoint(p[0], p[1], p[2]);
    }
    store::CloseStore();
    store::BeginPicture();
    store::DispatchFlush();
    EXPECT_EQ(Store.OutOfRange, c.Out);
  }
}

// --- The flush ------------------------------------------------------------------------

std::string flushLog;
void LogScreen() { flushLog += "screen;"; }
void LogDevice(store::Device device) { flushLog += "device " + std::to_string(static_cast<int>(device)) + ";"; }

// The view turned a quarter round z (u = y, v = -x, w = z) or plain.
void SetView(bool turned) {
  const double rows[3][3] = {{0, 1, 0}, {-1, 0, 0}, {0, 0, 1}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) view::V.ViewMatrix[i + 1][j + 1] = turned ? rows[i][j] : i == j;
  view::UpdateViewCoefficients();
}

class FlushTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    flushLog.clear();
    store::Slots.ScreenFlush = LogScreen;
    store::Slots.ExchangeFlush = LogDevice;
    store::Slots.ProjectOnViewPlane = [](float x, float y, float z, float& u, float& v) {
      view::WorldToView(x, y, z, u, v);
    };
  }
};

// --- Dispatch ----------------------------------------------------------------------------

// The screen gets device 0; exchange devices echo on the screen first.
TEST_F(FlushTest, EachDeviceGetsTheFlush) {
  for (int device : {0, 2, 3, 4, 5, 7}) {
    flushLog.clear();
    store::OutputDevice = static_cast<store::Device>(device);
    store::Slots.FlushStore();
    EXPECT_EQ(flushLog, device == 0 ? "screen;" : "screen;device " + std::to_string(device) + ";");
  }
  store::OutputDevice = store::Device::Screen;
}

// --- Extent passes -------------------------------------------------------------------------

int observedDevice = 0;
void Observe() { observedDevice = static_cast<int>(store::OutputDevice); }

// A piece built, closed and flushed.
void Flush(void (*build)()) {
  store::ClearStore();
  build();
  store::CloseStore();
  store::Slots.FlushStore();
}
void Text(float x, float y, float z) {
  const float bs[3] = {x, y, z}, be[3] = {x + 4, y, z}, ts[3] = {x, y + 2, z};
  store::AddText("T", bs, be, ts, 0);
}
void Polyline(float x1, float y1, float z1, float x2, float y2, float z2) {
  store::BeginPolyline();
  store::AddPoint(x1, y1, z1);
  store::AddPoint(x2, y2, z2);
}

bool TenByTwenty(const char* name, int& width, int& height) {
  if (std::string(name) != "PIC") return false;
  width = 10;
  height = 20;
  return true;
}

// The extent passes draw nothing and report their device to the redraw.
// In 3D the extent starts at the first item of the first piece that has
// one and ignores images and points outside objects; in 2D it is taken on
// the view plane (turned: u = y, v = -x), from image one and all four
// corners of a text. A redraw that flushes nothing leaves the preset.
TEST_F(FlushTest, ExtentsTakeWhatThePiecesHold) {
  struct Row {
    const char* Name;
    void (*Redraw)();
    bool TwoD;
    std::array<float, 6> Want;
    int Device;  // 99: not looked at
  };
  const Row kRows[] = {
      {"3D, first piece with an item",
       [] {
         Observe(), Flush([] {}), Flush([] { Text(100, 200, 300); });
         Flush([] { Polyline(90, 250, 310, 101, 201, 299); });
       },
       false, {90, 200, 299, 104, 250, 310}, -1},
      {"3D, from point one", [] { Flush([] { Polyline(10, 20, 30, 11, 21, 31); }); }, false, {10, 20, 30, 11, 21, 31}, 99},
      {"3D, images and loose points",
       [] { Flush([] { store::AddImage("PIC", 50, 60, 1, 0), store::AddPoint(-5, -5, -5); }); }, false,
       {0, 0, 0, 420, 300, 0}, 99},
      {"2D, nothing flushed", [] {}, true, {0, 0, 420, 300, 0, 0}, 99},
      {"2D, from image one",  // the image's box (3, 4)..(8, 14)
       [] { Observe(), Flush([] { store::AddImage("PIC", 3, 4, 0.5f, 0); }), Flush([] { Polyline(1, 2, 5, 1, 2, 5); }); },
       true, {2, -8, 14, -1, 0, 0}, 1},
      {"2D, text corners", [] { Flush([] { Text(10, 20, 0); }); }, true, {20, -14, 22, -10, 0, 0}, 99},  // (10, 20)..(14, 22)
  };
  store::Slots.ReadImageSize = TenByTwenty;
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.Name);
    SetView(r.TwoD);
    flushLog.clear();
    observedDevice = 99;
    store::Slots.RedrawForMeasure = r.Redraw;
    std::array<float, 6> got = {0, 0, 0, 420, 300, 0};
    if (r.TwoD) {
      got = {0, 0, 420, 300, 0, 0};
      store::MeasureExtent2D(got[0], got[1], got[2], got[3]);
    } else {
      store::MeasureExtent3D(got[0], got[1], got[2], got[3], got[4], got[5]);
    }
    EXPECT_EQ(got, r.Want);
    EXPECT_EQ(observedDevice, r.Device);
    EXPECT_EQ(store::OutputDevice, store::Device::Screen);
    EXPECT_EQ(flushLog, "");
  }
}

}  // namespace
