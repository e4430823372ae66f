// Arcs, axis lines, the contour list and hatching.
#include <cmath>
#include <vector>

#include "store_fixture.h"

namespace {

using namespace store_test;
using store::contours;
using store::Store;

struct P {
  float X, Y, Z;
  bool operator==(const P&) const = default;
};

std::vector<P> PointsOf(int i) {
  std::vector<P> out;
  for (int n = std::abs(RangeOf(i)[0]); n <= RangeOf(i)[1]; ++n) out.push_back({PointOf(n)[0], PointOf(n)[1], PointOf(n)[2]});
  return out;
}

// --- Arcs ----------------------------------------------------------------------------------

// A requested count gives one chord fewer; otherwise the length in pixels
// |a2 - a1|·r / (16·q), halves to even, from 4 chords for a tiny arc to 300
// for a huge one or one without a pixel size. The inner points of an arc
// leave out its ends.
TEST_F(StoreTest, ArcChordCountFollowsTheLengthInPixels) {
  const float centre[3] = {10, 20, 5}, e1[3] = {1, 0, 0}, e2[3] = {0, 1, 0};
  const struct { float R, A1, A2, Pixel; int Requested, Chords; } kRows[] = {
      {10, 0, 1, 0.1f, 2, 1},         {10, 0, 1, 0.1f, 7, 6},        {0.001f, 0, 3.14159f, 1, 0, 4},
      {1e6f, 0, 3.14159f, 0.01f, 0, 300}, {1e30f, 0, 3.14159f, 1e-30f, 1, 300}, {1, 0, 1, 0, 0, 300},
      {40, 1, 0, 1, 0, 6},  // 2.5 → 2
      {56, 0, 1, 1, 0, 8},  // 3.5 → 4
  };
  for (const auto& r : kRows) {
    SCOPED_TRACE(testing::Message() << r.R << " " << r.Requested);
    EXPECT_EQ(store::ArcChordCount(r.R, r.A1, r.A2, r.Pixel, r.Requested), r.Chords);
    store::ClearStore();
    store::BeginPolyline();
    store::ArcInnerPoints(centre, e1, e2, r.R, r.A1, r.A2, r.Pixel, r.Requested);
    EXPECT_EQ(Store.PointCount, r.Chords - 1);
  }
}

// --- Axis lines ------------------------------------------------------------------------------

// An axis line: one solid segment when short, else a long dash, then a
// short dash in the middle of each step of about 20 (the count rounded,
// from 2, at most 245 steps); AddAxisLine stretches it by its two
// lengths, NewAxisLine starts a new store.
TEST_F(StoreTest, AxisLinesHaveAShortDashInTheMiddleOfEachStep) {
  const struct {
    bool New;
    P From, To;
    float Before, After;
    int Objects;
    std::vector<std::pair<int, std::vector<P>>> Points;  // of some objects
  } kRows[] = {
      {false, {0, 0, 0}, {10, 0, 0}, 2, 3, 1, {{1, {{-2, 0, 0}, {13, 0, 0}}}}},
      {true, {0, 0, 1}, {0, 100, 1}, 0, 0, 11,
       {{1, {{0, 0, 1}, {0, 7, 1}}}, {2, {{0, 9, 1}, {0, 11, 1}}}, {3, {{0, 13, 1}, {0, 27, 1}}},
        {10, {{0, 89, 1}, {0, 91, 1}}}, {11, {{0, 93, 1}, {0, 100, 1}}}}},
      {false, {0, 0, 0}, {22, 0, 0}, 0, 0, 5, {{2, {{4.5f, 0, 0}, {6.5f, 0, 0}}}}},  // rnd(1.1) = 1: 2
      {false, {0, 0, 0}, {4820, 0, 0}, 0, 0, 1 + 2 * 245, {}},                           // rnd(241): 245
      {true, {0, 0, 0}, {4800, 0, 0}, 0, 0, 1 + 2 * 240, {}},                            // 240: kept
  };
  for (const auto& r : kRows) {
    SCOPED_TRACE(r.To.Y + r.To.X);
    if (!r.New) store::ClearStore();  // a new axis line clears what the last row left
    const float p1[3] = {r.From.X, r.From.Y, r.From.Z}, p2[3] = {r.To.X, r.To.Y, r.To.Z};
    (r.New ? store::NewAxisLine : store::AddAxisLine)(p1, p2, r.Before, r.After);
    EXPECT_EQ(Store.ObjectCount, r.Objects);
    for (const auto& [i, points] : r.Points) EXPECT_EQ(PointsOf(i), points) << i;
  }
}

// --- Contour list ------------------------------------------------------------------------------

TEST_F(StoreTest, TheContourListRefusesBeyondItsLimits) {
  store::ClearContours();
  EXPECT_FALSE(store::AddContourPoint(1, 1));  // no contour yet
  for (int j = 1; j <= 99; ++j) {
    ASSERT_TRUE(store::NewContour());
    ASSERT_TRUE(store::AddContourPoint(static_cast<float>(j), 0));
  }
  EXPECT_FALSE(store::NewContour());
  EXPECT_FALSE(store::AddContourPoint(5, 5));  // would lengthen contour 99
  EXPECT_EQ(contours.ContourCount, 99);
  EXPECT_EQ(contours.ContourPointCount, 99);
  store::CloseContours();
  EXPECT_EQ(contours.ContourStart[0], 99);
  EXPECT_EQ(contours.ContourStart[99], 99);
  EXPECT_EQ(contours.ContourStart[100], 100);

  store::ClearContours();
  store::NewContour();
  for (int k = 1; k <= 2000; ++k) ASSERT_TRUE(store::AddContourPoint(0, 0));
  EXPECT_FALSE(store::AddContourPoint(0, 0));
  EXPECT_EQ(contours.ContourPointCount, 2000);
}

TEST_F(StoreTest, StoreToContoursTakesPolylinesAndSinglePoints) {
  store::BeginPolyline();
  store::AddPoint(0, 0, 9);
  store::AddPoint(1, 0, 9);
  store::AddPoint(1, 1, 9);
  store::BeginSegmentPairs();  // skipped
  store::AddPoint(5, 5, 0);
  store::AddPoint(6, 6, 0);
  store::BeginSegmentPairs();  // one point: a contour of its own
  store::AddPoint(7, 8, 0);
  store::BeginTriangle();      // skipped
  for (int k = 0; k < 3; ++k) store::AddPoint(0, 0, 0);
  store::BeginPolyline();      // empty
  store::CloseStore();
  store::ClearContours();
  store::StoreToContours();
  EXPECT_EQ((std::vector<float>{float(contours.ContourCount), float(contours.ContourPointCount),
                                float(contours.ContourStart[1]), float(contours.ContourStart[2]),
                                float(contours.ContourStart[3]), contours.X[4], contours.Y[4]}),
            (std::vector<float>{2, 4, 1, 4, 5, 7, 8}));
}

// --- Hatching ------------------------------------------------------------------------------------

void Outline(std::vector<P> pts, bool closed = true) {
  store::ClearStore();
  if (!pts.empty()) {  // else a store without objects
    store::BeginPolyline();
    for (const P& p : pts) store::AddPoint(p.X, p.Y, 0);
    if (closed) store::AddPoint(pts[0].X, pts[0].Y, 0);
  }
  store::CloseStore();
}

// The hatch of closed outlines: a square at step 3 gives three of its four
// levels (-1, 2, 5, 8), at 90 degrees they run along y (w = -x), step zero
// gives one line. At y = 5 (step 2, levels -1 .. 9) a vertex between
// neighbours on both sides counts once, one with both neighbours above
// twice, one with both below not at all. An open outline crossed three
// times drops the odd last crossing. An empty store gets one empty object.
TEST_F(StoreTest, HatchingCrossesTheOutline) {
  using Pts = std::vector<P>;
  const Pts square = {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}};
  struct Row {
    const char* Name;
    Pts Outline;
    float Step, Angle;
    bool OnlyAtFive;
    Pts Want;
    bool Open = false;  // the outline is not closed
  };
  const Row kRows[] = {
      {"square", square, 3, 0, false, {{0, 2, 0}, {10, 2, 0}, {0, 5, 0}, {10, 5, 0}, {0, 8, 0}, {10, 8, 0}}},
      {"square at 90", square, 3, 90, false, {{8, 0, 0}, {8, 10, 0}, {5, 0, 0}, {5, 10, 0}, {2, 0, 0}, {2, 10, 0}}},
      {"step zero", square, 0, 0, false, {{0, 5, 0}, {10, 5, 0}}},
      {"vertex between", {{5, 0, 0}, {10, 5, 0}, {5, 10, 0}, {0, 5, 0}}, 2, 0, true, {{0, 5, 0}, {10, 5, 0}}},
      {"vertex below both", {{0, 0, 0}, {10, 0, 0}, {10, 10, 0}, {5, 5, 0}, {0, 10, 0}}, 2, 0, true,
       {{0, 5, 0}, {5, 5, 0}, {5, 5, 0}, {10, 5, 0}}},
      {"vertex above both", {{0, 0, 0}, {4, 0, 0}, {5, 5, 0}, {6, 0, 0}, {10, 0, 0}, {10, 10, 0}, {0, 10, 0}}, 2,
       0, true, {{0, 5, 0}, {10, 5, 0}}},
      {"an odd last crossing is dropped", {{0, 0, 0}, {0, 10, 0}, {5, 0, 0}, {10, 10, 0}}, 0, 0, false,
       {{0, 5, 0}, {2.5f, 5, 0}}, true},
      {"an empty store", {}, 1, 30, false, {}},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.Name);
    Outline(r.Outline, !r.Open);
    store::HatchStore(r.Step, r.Angle);
    ASSERT_EQ(Store.ObjectCount, 1);
    EXPECT_EQ(RangeOf(1)[0], -1);
    EXPECT_EQ(RangeOf(1)[2], store::SegmentPairs);
    Pts got;
    for (P p : PointsOf(1))
      if (!r.OnlyAtFive || p.Y == 5) got.push_back({std::round(p.X * 1e4f) / 1e4f, std::round(p.Y * 1e4f) / 1e4f, p.Z});
    EXPECT_EQ(got, r.Want);
  }
}

// Hatching denser than any output shows is thinned evenly and said so; a
// picture's budget, once spent, leaves further hatching out.
struct Dense {
  const char* Name;
  float Side, Step;
  long long SegmentsLeft;  // of the picture's budget beforehand
  std::size_t MinLines, MaxLines;
  bool Thinned;
};
const Dense kDense[] = {
    {"a square of 10 at step 3", 10, 3, store::kPictureHatchSegments, 3, 3, false},
    {"a square of 1e30 at step 1", 1e30f, 1, store::kPictureHatchSegments, 1000, store::kMaxHatchLevels, true},
    {"a square of 1e4 at step 0.01", 1e4f, 0.01f, store::kPictureHatchSegments, 1000, store::kMaxHatchLevels, true},
    {"the picture's budget nearly spent", 1000, 1, 100, 10, 100, true},
    {"the picture's budget spent", 1000, 1, 0, 0, 0, true},
};

TEST_F(StoreTest, DenseHatchingIsThinnedWithinTheBudget) {
  for (const Dense& c : kDense) {
    SCOPED_TRACE(c.Name);
    store::BeginPicture();
    store::hatchBudget.SegmentsLeft = c.SegmentsLeft;
    Outline({{0, 0, 0}, {c.Side, 0, 0}, {c.Side, c.Side, 0}, {0, c.Side, 0}});
    store::HatchStore(c.Step, 0);
    const std::size_t lines = PointsOf(1).size() / 2;
    EXPECT_GE(lines, c.MinLines);
    EXPECT_LE(lines, c.MaxLines);
    EXPECT_EQ(store::hatchBudget.Thinned, c.Thinned);
  }
}

}  // namespace
