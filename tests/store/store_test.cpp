// The drawing store: objects, points, texts, images and transforms.
#include <cmath>
#include <cstring>
#include <string>

#include "store_fixture.h"

namespace {

using namespace store_test;
using store::g;

struct Range {
  int First = 0, Last = 0, Kind = 0, Pen = 0;
};

Range RangeOf(int i) {
  Range r;
  store::GetObjectRange(i, r.First, r.Last, r.Kind, r.Pen);
  return r;
}

// --- Objects ---------------------------------------------------------------------------

TEST_F(StoreTest, EmptyCloseStoreWritesEntryOneAndLeavesNoObjects) {
  store::CloseStore();
  int first = -7, kind = -7, pen = -7;
  store::ObjectGet(1, first, kind, pen);
  EXPECT_EQ(first, 1);
  EXPECT_EQ(kind, 0);
  EXPECT_EQ(pen, 0);
  EXPECT_EQ(g.ObjectCount, 0);
  EXPECT_EQ(g.First[0], 0);
}

TEST_F(StoreTest, ObjectWithoutPointsEndsBeforeItStarts) {
  store::BeginPolyline();
  store::AddPoint(1, 2, 3);
  store::AddPoint(4, 5, 6);
  store::BeginPolyline();
  store::CloseStore();
  Range r = RangeOf(2);
  EXPECT_EQ(r.First, 3);
  EXPECT_EQ(r.Last, 2);
  EXPECT_EQ(RangeOf(1).Last, 2);
}

TEST_F(StoreTest, SegmentPairsStoreTheirFirstPointNegative) {
  store::AddPoint(0, 0, 0);
  store::BeginSegmentPairs();
  for (int k = 0; k < 4; ++k) store::AddPoint(static_cast<float>(k), 0, 0);
  store::CloseStore();
  Range r = RangeOf(1);
  EXPECT_EQ(r.First, -2);
  EXPECT_EQ(r.Last, 5);
  EXPECT_EQ(r.Kind, store::SegmentPairs);
  int first = 0, last = 0;
  store::GetObjectRange(1, first, last);
  EXPECT_EQ(first, -2);
  EXPECT_EQ(last, 5);
}

TEST_F(StoreTest, EachBeginStoresItsKindAndEntryZeroCountsObjects) {
  store::BeginPolyline();
  store::BeginSegmentPairs();
  store::BeginTriangle();
  store::BeginQuad();
  store::BeginQuadStrip();
  EXPECT_EQ(g.First[0], 5);
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(g.Kind[i], i);
}

TEST_F(StoreTest, ClosingEntryFollowsTheLastPointAndCopiesKindAndPen) {
  store::SetStorePen(9);
  store::BeginQuad();
  for (int k = 0; k < 4; ++k) store::AddPoint(0, 0, 0);
  store::CloseStore();
  int first = 0, kind = 0, pen = 0;
  store::ObjectGet(2, first, kind, pen);
  EXPECT_EQ(first, 5);
  EXPECT_EQ(kind, store::Quad);
  EXPECT_EQ(pen, 9);
  EXPECT_EQ(g.First[0], 1);
}

TEST_F(StoreTest, ClearStoreTakesTheKernelColourAsPen) {
  gfx::K.Colour = 12;
  store::SetStorePen(3);
  store::ClearStore();
  EXPECT_EQ(g.CurrentPen, 12);
  store::BeginPolyline();
  EXPECT_EQ(RangeOf(1).Pen, 12);
  store::SetStorePen(4);
  store::BeginPolyline();
  const float p[3] = {0, 0, 0};
  store::AddText("a", p, p, p, 0);
  store::CloseStore();
  EXPECT_EQ(RangeOf(2).Pen, 4);
  EXPECT_EQ(g.Texts[1].Pen, 4);
}

TEST_F(StoreTest, ClearStoreEmptiesEveryList) {
  store::BeginPolyline();
  store::AddPoint(1, 1, 1);
  store::AddTextLeft("x", 0, 0, 0, 0, 1, 1, 1, 0);
  store::AddImage("pic", 0, 0, 1, 0);
  store::CloseStore();
  store::ClearStore();
  EXPECT_EQ(g.PointCount, 0);
  EXPECT_EQ(g.ObjectCount, 0);
  EXPECT_EQ(g.First[0], 0);
  EXPECT_EQ(g.TextCount, 0);
  EXPECT_EQ(g.ImageCount, 0);
}

TEST_F(StoreTest, PointsAreStoredAsGiven) {
  store::PointPut(7, 1.5f, -2.25f, 3);
  float x = 0, y = 0, z = 0;
  store::PointGet(7, x, y, z);
  EXPECT_EQ(x, 1.5f);
  EXPECT_EQ(y, -2.25f);
  EXPECT_EQ(z, 3.0f);
  EXPECT_EQ(g.PointCount, 0);  // PointPut does not count
}

// --- Texts and images ------------------------------------------------------------------

struct Corners {
  float BaseStart[3], BaseEnd[3], TopStart[3];
};

Corners CornersOf(int j) {
  const char* text = nullptr;
  float c[9];
  int font = 0;
  store::GetText(j, text, c, font);
  Corners r;
  std::memcpy(r.BaseStart, c, sizeof r.BaseStart);
  std::memcpy(r.BaseEnd, c + 3, sizeof r.BaseEnd);
  std::memcpy(r.TopStart, c + 6, sizeof r.TopStart);
  return r;
}

void ExpectPoint(const float p[3], float x, float y, float z) {
  EXPECT_EQ(p[0], x);
  EXPECT_EQ(p[1], y);
  EXPECT_EQ(p[2], z);
}

void ExpectCorners(const Corners& got, const Corners& expected) {
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(got.BaseStart[k], expected.BaseStart[k]) << "base start " << k;
    EXPECT_EQ(got.BaseEnd[k], expected.BaseEnd[k]) << "base end " << k;
    EXPECT_EQ(got.TopStart[k], expected.TopStart[k]) << "top start " << k;
  }
}

TEST_F(StoreTest, AddTextKeeps120BytesFontAndPen) {
  std::string longText(130, 'A');
  const float a[3] = {1, 2, 3}, b[3] = {4, 5, 6}, c[3] = {7, 8, 9};
  store::SetStorePen(5);
  store::AddText(longText, a, b, c, 1);
  const char* text = nullptr;
  float corners[9];
  int font = 0;
  store::GetText(1, text, corners, font);
  EXPECT_EQ(std::string(text), std::string(120, 'A'));
  EXPECT_EQ(font, 1);
  EXPECT_EQ(g.Texts[1].Pen, 5);
  for (int k = 0; k < 9; ++k) EXPECT_EQ(corners[k], static_cast<float>(k + 1));
}

TEST_F(StoreTest, The125thTextReplacesThe124th) {
  const float p[3] = {0, 0, 0};
  for (int j = 1; j <= 125; ++j) store::AddText(std::to_string(j), p, p, p, 0);
  EXPECT_EQ(g.TextCount, 124);
  EXPECT_STREQ(g.Texts[123].Text, "123");
  EXPECT_STREQ(g.Texts[124].Text, "125");
}

TEST_F(StoreTest, SetTextCornersReplacesTheNineCoordinates) {
  const float p[3] = {0, 0, 0};
  store::AddText("t", p, p, p, 0);
  const float c[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  store::SetTextCorners(1, c);
  ExpectCorners(CornersOf(1), {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}});
}

// The placements of a text: which point of it the anchor is, and how a turn,
// a cosine below zero (turned round to read upright) or a segment places it.
TEST_F(StoreTest, EachPlacementPutsTheCornersAroundItsAnchor) {
  using Place = void (*)(std::string_view, float, float, float, float, float, float, float, int);
  const float p1[3] = {10, 0, 0}, p2[3] = {0, 0, 0}, q1[3] = {0, 0, 0}, q2[3] = {0, 0, 8};
  struct Row {
    const char* Name;
    Place Add;  // nullptr: AddTextAlong from Along[0] to Along[1]
    const char* Text;
    float X, Y, Z, Sine, Cosine, Height, Width;
    const float* Along[2];
    Corners Expected;
  };
  const Row kRows[] = {
      {"left: middle of the left edge", store::AddTextLeft, "ABC", 10, 20, 5, 0, 1, 4, 2, {},
       {{10, 18, 5}, {16, 18, 5}, {10, 22, 5}}},
      {"right: middle of the right edge", store::AddTextRight, "ABC", 10, 20, 5, 0, 1, 4, 2, {},
       {{4, 18, 5}, {10, 18, 5}, {4, 22, 5}}},
      {"centred: the centre", store::AddTextCentred, "ABCD", 10, 20, 5, 0, 1, 4, 2, {},
       {{6, 18, 5}, {14, 18, 5}, {6, 22, 5}}},
      // 90 degrees: d = (0, 1), m = (-1, 0); the anchor's z is kept.
      {"turned", store::AddTextLeft, "AB", 0, 0, 7, 1, 0, 2, 3, {}, {{1, 0, 7}, {1, 6, 7}, {-1, 0, 7}}},
      {"180 degrees reads as 0", store::AddTextLeft, "ABC", 10, 20, 0, 0, -1, 4, 2, {},
       {{10, 18, 0}, {16, 18, 0}, {10, 22, 0}}},
      // sine 0.25, cosine -0.5 become d = (0.5, -0.25), m = (0.25, 0.5).
      {"cosine below zero", store::AddTextRight, "AB", 0, 0, 0, 0.25f, -0.5f, 4, 2, {},
       {{-2.5f, 0, 0}, {-0.5f, -1, 0}, {-1.5f, 2, 0}}},
      {"along, right to left: turned round", nullptr, "AB", 0, 0, 0, 0, 0, 2, 1, {p1, p2},
       {{4, -1, 0}, {6, -1, 0}, {4, 1, 0}}},
      {"along z: up is +y", nullptr, "AB", 0, 0, 0, 0, 0, 2, 1, {q1, q2}, {{0, -1, 3}, {0, -1, 5}, {0, 1, 3}}},
  };
  int j = 0;
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.Name);
    if (r.Add)
      r.Add(r.Text, r.X, r.Y, r.Z, r.Sine, r.Cosine, r.Height, r.Width, 0);
    else
      store::AddTextAlong(r.Text, r.Along[0], r.Along[1], r.Height, r.Width, 0);
    ExpectCorners(CornersOf(++j), r.Expected);
  }
}

TEST_F(StoreTest, LeftAndRightCountOneToEightyCharactersCentredThePlainLength) {
  std::string hundred(100, 'x');
  store::AddTextLeft(hundred, 0, 0, 0, 0, 1, 2, 1, 0);
  store::AddTextRight("", 0, 0, 0, 0, 1, 2, 1, 0);
  store::AddTextCentred(hundred, 0, 0, 0, 0, 1, 2, 1, 0);
  store::AddTextCentred("", 0, 0, 0, 0, 1, 2, 1, 0);
  EXPECT_EQ(CornersOf(1).BaseEnd[0], 80.0f);
  EXPECT_EQ(CornersOf(2).BaseStart[0], -1.0f);
  EXPECT_EQ(CornersOf(3).BaseStart[0], -50.0f);
  EXPECT_EQ(CornersOf(3).BaseEnd[0], 50.0f);
  EXPECT_EQ(CornersOf(4).BaseStart[0], 0.0f);
  EXPECT_EQ(CornersOf(4).BaseEnd[0], 0.0f);
}

TEST_F(StoreTest, ImagesAreVisibleAndThe125thReplacesThe124th) {
  for (int j = 1; j <= 125; ++j) store::AddImage("IMG" + std::to_string(j), static_cast<float>(j), 2, 0.5f, 3);
  EXPECT_EQ(g.ImageCount, 124);
  const char* name = nullptr;
  float x = 0, y = 0, size = 0;
  int visible = 0, style = 0;
  store::GetImage(124, name, x, y, size, visible, style);
  EXPECT_STREQ(name, "IMG125");
  EXPECT_EQ(x, 125.0f);
  EXPECT_EQ(y, 2.0f);
  EXPECT_EQ(size, 0.5f);
  EXPECT_EQ(visible, 1);
  EXPECT_EQ(style, 3);
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

void ExpectStorePoint(int n, float x, float y, float z) {
  float px = 0, py = 0, pz = 0;
  store::PointGet(n, px, py, pz);
  EXPECT_EQ(px, x);
  EXPECT_EQ(py, y);
  EXPECT_EQ(pz, z);
}

// Move, scale about the centre, and reflect in the plane x = 2: each moves the
// points of objects and the corners of texts alike.
TEST_F(StoreTest, TransformsMovePointsAndTextCorners) {
  const float n[3] = {1, 0, 0};
  struct Row {
    const char* Name;
    void (*Apply)(const float* n);
    float Point1[3], Point2[3];
    Corners Text;
  };
  const Row kRows[] = {
      {"move", [](const float*) { store::MoveStore(10, 20, 30); }, {11, 22, 33}, {9, 20, 34},
       {{11, 21, 31}, {12, 21, 31}, {11, 22, 31}}},
      {"scale", [](const float*) { store::ScaleStore(1, 0, 0, 2); }, {1, 4, 6}, {-3, 0, 8},
       {{1, 2, 2}, {3, 2, 2}, {1, 4, 2}}},
      {"reflect", [](const float* n) { store::ReflectStore(n, 2); }, {3, 2, 3}, {5, 0, 4},
       {{3, 1, 1}, {2, 1, 1}, {3, 2, 1}}},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.Name);
    store::ClearStore();
    BuildPointAndText();
    r.Apply(n);
    ExpectStorePoint(1, r.Point1[0], r.Point1[1], r.Point1[2]);
    ExpectStorePoint(2, r.Point2[0], r.Point2[1], r.Point2[2]);
    ExpectCorners(CornersOf(1), r.Text);
  }
}

TEST_F(StoreTest, TransformsLeavePointsAloneWhenThereAreNoObjects) {
  store::AddPoint(1, 2, 3);  // a point outside any object
  const float p[3] = {0, 0, 0};
  store::AddText("T", p, p, p, 0);
  store::MoveStore(1, 1, 1);
  ExpectStorePoint(1, 1, 2, 3);
  ExpectPoint(CornersOf(1).BaseStart, 1, 1, 1);
}

// A flush drops what lies beyond the store's limit, or is no number: a
// polyline with such a point, each such pair, each such text.
TEST_F(StoreTest, AFlushDropsWhatLiesOutOfRange) {
  static int screenFlushes = 0;
  screenFlushes = 0;
  store::ScreenFlush = [] { ++screenFlushes; };
  const float far = 2 * store::kWorldLimit, none = std::nanf("");
  const struct {
    float X, Y;
  } kPoints[] = {{1, 2}, {far, 0}, {3, 4}, {5, 6}, {0, none}, {7, 8}, {9, 9}};
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
  EXPECT_TRUE(g.OutOfRange);
  ASSERT_EQ(g.ObjectCount, 2);
  EXPECT_EQ(RangeOf(1).First, -1);
  EXPECT_EQ(RangeOf(1).Last, 4);
  EXPECT_EQ(RangeOf(2).First, 5);
  EXPECT_EQ(RangeOf(2).Last, 6);
  float x = 0, y = 0, z = 0;
  store::PointGet(3, x, y, z);
  EXPECT_EQ(x, 9.0f);
  ASSERT_EQ(g.TextCount, 1);
  EXPECT_STREQ(g.Texts[1].Text, "kept");
  store::BeginPicture();
  store::DispatchFlush();  // what is left is in range
  EXPECT_FALSE(g.OutOfRange);
  EXPECT_EQ(g.ObjectCount, 2);
  store::ScreenFlush = [] {};
}

}  // namespace
