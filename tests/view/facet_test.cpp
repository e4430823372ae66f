// Facets: the shade of a facet, outlines shrunk towards the centre and the
// shaded fill of triangles and quadrilaterals.
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "platform/picture.h"
#include "view_fixture.h"

namespace viewtest {
namespace {

using view::V;

// --- Shade ------------------------------------------------------------------------

// A facet's colour is 64 · family + 27 + its shade: 45 facing the viewer,
// 15 seen edge-on (w = 0 counts as a back face); a back face takes the next
// family (after 7 comes 1, not 8); the view decides what faces; family 0
// gives no shade.
TEST_F(ViewTest, FacetColourIsTheShadeOfItsFamilyAsSeen) {
  struct Row { int DrawColour, View; float Nx, Ny, Nz; int Colour; };
  const Row kRows[] = {
      {1, 1, 0, 0, 1, 136},  {1, 1, 0, 0, -1, 200},           {7, 1, 0, 0, -1, 136},
      {1, 1, 1, 0, 0, 64 * 2 + 27 + 15},  {3, 3, 0, -1, 0, 64 * 3 + 45 + 27}, {16, 1, 0, 0, 1, 0},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(testing::Message() << "colour " << r.DrawColour << " normal " << r.Nx << r.Ny << r.Nz);
    gfx::SetDrawColor(r.DrawColour);
    view::LoadView(0, r.View);  // 3: W = −y
    EXPECT_EQ(view::FacetColour(r.Nx, r.Ny, r.Nz), r.Colour);
  }
}

// --- Outlines ------------------------------------------------------------------------

struct PenCall {
  bool Draw;
  float X, Y, Z;
};
std::vector<PenCall> gPen;
void RecordMove(float x, float y, float z) { gPen.push_back({false, x, y, z}); }
void RecordLine(float x, float y, float z) { gPen.push_back({true, x, y, z}); }

class OutlineTest : public ViewTest {
 public:
  void SetUp() override {
    ViewTest::SetUp();
    gPen.clear();
    view::Slots.MoveToWorldHook = RecordMove;
    view::Slots.LineToWorldHook = RecordLine;
  }
};

// Outlines are drawn a tenth smaller about their centroid, and closed: a
// move, then lines back to the first corner.
TEST_F(OutlineTest, OutlinesAreDrawnTenPercentSmallerAndClosed) {
  view::DrawTriangleFacet(0, 0, 0, 3, 0, 0, 0, 3, 0);  // centroid (1, 1, 0)
  view::DrawQuadFacet(0, 0, 0, 10, 0, 0, 10, 10, 0, 0, 10, 0);
  const float want[][2] = {{0.1f, 0.1f}, {2.8f, 0.1f}, {0.1f, 2.8f}, {0.1f, 0.1f},
                           {0.5f, 0.5f}, {9.5f, 0.5f}, {9.5f, 9.5f}, {0.5f, 9.5f}, {0.5f, 0.5f}};
  ASSERT_EQ(gPen.size(), 9u);
  for (std::size_t i = 0; i < gPen.size(); ++i) {
    EXPECT_EQ(gPen[i].Draw, i != 0 && i != 4) << i;
    EXPECT_FLOAT_EQ(gPen[i].X, want[i][0]) << i;
    EXPECT_FLOAT_EQ(gPen[i].Y, want[i][1]) << i;
    EXPECT_EQ(gPen[i].Z, 0.0f) << i;
  }
  EXPECT_EQ(gPen[3].X, gPen[0].X);  // closed exactly
  gPen.clear();
  view::DrawTriangleFacet(0, 0, 0, 1, 0, 0, 0, 1, 0);  // a unit triangle stays inside its corners
  for (const PenCall& p : gPen) EXPECT_TRUE(p.X > 0 && p.Y > 0 && p.X + p.Y < 1) << p.X << ", " << p.Y;
}

// --- Shaded fill -------------------------------------------------------------------------

// Every line and point the driver is asked to draw, in order.
std::vector<std::string> gDrawn;
void (*gDrvLine)(int, int, int, int, int) = nullptr;
void (*gDrvPoint)(int, int, int) = nullptr;
void RecordDrvLine(int x1, int y1, int x2, int y2, int colour) {
  gDrawn.push_back("L " + std::to_string(x1) + " " + std::to_string(y1) + " " +
                   std::to_string(x2) + " " + std::to_string(y2) + " " + std::to_string(colour));
  gDrvLine(x1, y1, x2, y2, colour);
}
void RecordDrvPoint(int x, int y, int colour) {
  gDrawn.push_back("P " + std::to_string(x) + " " + std::to_string(y) + " " +
                   std::to_string(colour));
  gDrvPoint(x, y, colour);
}

class ShadedTest : public ViewTest {
 public:
  void SetUp() override {
    ViewTest::SetUp();
    V.ShadedMode = 1;
    V.ScreenCentreX = 50;
    V.ScreenCentreY = 50;
    gfx::SetDrawColor(15);  // family 7
    gfx::SetDrawColor(16);  // family 0: the current colour, unshaded
    gDrawn.clear();
    gDrvLine = platform::Drv.DrvLine;
    gDrvPoint = platform::Drv.DrvPoint;
    platform::Drv.DrvLine = RecordDrvLine;
    platform::Drv.DrvPoint = RecordDrvPoint;
  }
};

TEST_F(ShadedTest, TriangleIsFilledRowByRow) {
  // Pixels (50, 50), (60, 50), (50, 40): rows 40..50, row y from x = 50 to
  // x = 50 + (y − 40).
  view::DrawTriangleFacet(0, 0, 0, 10, 0, 0, 0, 10, 0);
  EXPECT_EQ(LitCount(), 66);
  EXPECT_NE(Px(50, 40), kBlack);
  EXPECT_EQ(Px(51, 40), kBlack);
  EXPECT_NE(Px(60, 50), kBlack);
  EXPECT_NE(Px(55, 45), kBlack);
  EXPECT_EQ(Px(56, 45), kBlack);
  ASSERT_EQ(gDrawn.size(), 11u);
  EXPECT_EQ(gDrawn[0], "P 50 40 16");
  EXPECT_EQ(gDrawn[1], "L 50 41 51 41 16");
  EXPECT_EQ(gDrawn[10], "L 50 50 60 50 16");
  EXPECT_EQ(gfx::K.LineStyle, 0);
}

TEST_F(ShadedTest, ShadedFacetTakesItsFamilysShadeAndABackFaceTheNext) {
  gfx::SetDrawColor(1);
  view::DrawTriangleFacet(0, 0, 0, 10, 0, 0, 0, 10, 0);  // normal +z
  EXPECT_EQ(Px(52, 48), platform::Palette[136]);
  EXPECT_EQ(gfx::GetColor(), 136);
  gfx::SetDrawColor(1);
  view::DrawTriangleFacet(0, 0, 0, 0, 10, 0, 10, 0, 0);  // normal −z
  EXPECT_EQ(Px(52, 48), platform::Palette[200]);
}

// A quad is filled as two triangles split along its shorter diagonal, p2–p4
// when the diagonals are equal.
TEST_F(ShadedTest, QuadSplitsAlongTheShorterDiagonal) {
  using P = std::array<float, 3>;
  auto triangle = [](const P& a, const P& b, const P& c) {
    view::DrawTriangleFacet(a[0], a[1], a[2], b[0], b[1], b[2], c[0], c[1], c[2]);
  };
  auto fill = [&](const std::array<P, 4>& p, bool alongP2P4) {
    gDrawn.clear();
    if (alongP2P4) {
      triangle(p[0], p[1], p[3]);
      triangle(p[1], p[2], p[3]);
    } else {
      triangle(p[0], p[1], p[2]);
      triangle(p[0], p[2], p[3]);
    }
    return gDrawn;
  };
  // A square, and a rhombus whose |p4 − p2| = 30 is longer than |p3 − p1| = 20.
  const std::array<P, 4> square = {P{0, 0, 0}, P{20, 0, 0}, P{20, 20, 0}, P{0, 20, 0}};
  const std::array<P, 4> rhombus = {P{0, -10, 0}, P{15, 0, 0}, P{0, 10, 0}, P{-15, 0, 0}};
  for (auto [p, alongP2P4] : {std::pair{square, true}, std::pair{rhombus, false}}) {
    gDrawn.clear();
    view::DrawQuadFacet(p[0][0], p[0][1], p[0][2], p[1][0], p[1][1], p[1][2], p[2][0], p[2][1],
                        p[2][2], p[3][0], p[3][1], p[3][2]);
    const std::vector<std::string> quad = gDrawn;
    EXPECT_EQ(quad, fill(p, alongP2P4)) << alongP2P4;
    EXPECT_NE(quad, fill(p, !alongP2P4)) << alongP2P4;
  }
}

// A triangle on one pixel row draws one line; one reaching far off the
// screen is walked only over the window's rows; one far above it draws nothing.
TEST_F(ShadedTest, TrianglesDrawOnlyTheRowsTheyCover) {
  view::DrawTriangleFacet(-10, 0, 0, 10, 0.2f, 0, 0, -0.2f, 0);
  ASSERT_EQ(gDrawn.size(), 1u);
  int onRow = 0;
  for (int x = 0; x < kWidth; ++x) onRow += Px(x, 50) != kBlack;
  EXPECT_EQ(LitCount(), onRow);
  gDrawn.clear();
  view::DrawTriangleFacet(0, 1e12f, 0, 1e12f, 1e12f, 0, 5, 2e12f, 0);
  EXPECT_TRUE(gDrawn.empty());
  view::DrawTriangleFacet(-1e9f, -1e9f, 0, 1e9f, -1e9f, 0, 0, 1e9f, 0);
  EXPECT_EQ(gDrawn.size(), static_cast<std::size_t>(kHeight));  // one line a row
  EXPECT_NE(Px(50, 50), kBlack);
}

}  // namespace
}  // namespace viewtest
