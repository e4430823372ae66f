// Facets: the shade of a facet, outlines shrunk towards the centre and the
// shaded fill of triangles and quadrilaterals.
#include <string>
#include <vector>

#include "platform/picture.h"
#include "view_fixture.h"

namespace viewtest {
namespace {

using view::V;

// --- Shade ------------------------------------------------------------------------

TEST_F(ViewTest, FacetFacingTheViewerGetsShade45OfItsFamily) {
  gfx::SetDrawColor(1);
  EXPECT_EQ(view::FacetColour(0, 0, 1), 136);
}

TEST_F(ViewTest, BackFaceIsShownInTheNextFamily) {
  gfx::SetDrawColor(1);
  EXPECT_EQ(view::FacetColour(0, 0, -1), 200);
  gfx::SetDrawColor(7);  // family 7: the next is 1, not 8
  EXPECT_EQ(view::FacetColour(0, 0, -1), 136);
}

TEST_F(ViewTest, FacetSeenEdgeOnGetsShade15) {
  gfx::SetDrawColor(1);
  const int colour = view::FacetColour(1, 0, 0);  // w = 0 counts as a back face
  EXPECT_EQ(colour - 64 * 2 - 27, 15);
}

TEST_F(ViewTest, FacetShadeFollowsTheView) {
  gfx::SetDrawColor(3);
  view::LoadView(0, 3);  // W = −y
  EXPECT_EQ(view::FacetColour(0, -1, 0), 64 * 3 + 45 + 27);
}

TEST_F(ViewTest, FamilyZeroGivesNoShade) {
  gfx::SetDrawColor(16);
  EXPECT_EQ(view::FacetColour(0, 0, 1), 0);
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

TEST_F(OutlineTest, TriangleIsDrawnTenPercentSmallerAboutItsCentroid) {
  view::DrawTriangleFacet(0, 0, 0, 3, 0, 0, 0, 3, 0);
  ASSERT_EQ(gPen.size(), 4u);
  EXPECT_FALSE(gPen[0].Draw);
  EXPECT_TRUE(gPen[1].Draw);
  EXPECT_TRUE(gPen[3].Draw);
  // Centroid (1, 1, 0): each corner moves a tenth of the way to it.
  EXPECT_FLOAT_EQ(gPen[0].X, 0.1f);
  EXPECT_FLOAT_EQ(gPen[0].Y, 0.1f);
  EXPECT_FLOAT_EQ(gPen[1].X, 2.8f);
  EXPECT_FLOAT_EQ(gPen[1].Y, 0.1f);
  EXPECT_FLOAT_EQ(gPen[2].X, 0.1f);
  EXPECT_FLOAT_EQ(gPen[2].Y, 2.8f);
  EXPECT_EQ(gPen[3].X, gPen[0].X);
  EXPECT_EQ(gPen[3].Y, gPen[0].Y);
  EXPECT_EQ(gPen[3].Z, 0.0f);
}

TEST_F(OutlineTest, UnitTriangleCornersLieInsideTheGivenCorners) {
  view::DrawTriangleFacet(0, 0, 0, 1, 0, 0, 0, 1, 0);
  ASSERT_EQ(gPen.size(), 4u);
  for (const PenCall& p : gPen) {
    EXPECT_GT(p.X, 0.0f);
    EXPECT_GT(p.Y, 0.0f);
    EXPECT_LT(p.X + p.Y, 1.0f);
  }
}

TEST_F(OutlineTest, QuadIsDrawnTenPercentSmallerAndClosed) {
  view::DrawQuadFacet(0, 0, 0, 10, 0, 0, 10, 10, 0, 0, 10, 0);
  ASSERT_EQ(gPen.size(), 5u);
  EXPECT_FALSE(gPen[0].Draw);
  for (int i = 1; i < 5; ++i) EXPECT_TRUE(gPen[i].Draw);
  EXPECT_FLOAT_EQ(gPen[0].X, 0.5f);
  EXPECT_FLOAT_EQ(gPen[1].X, 9.5f);
  EXPECT_FLOAT_EQ(gPen[2].Y, 9.5f);
  EXPECT_FLOAT_EQ(gPen[3].X, 0.5f);
  EXPECT_FLOAT_EQ(gPen[3].Y, 9.5f);
  EXPECT_EQ(gPen[4].X, gPen[0].X);
  EXPECT_EQ(gPen[4].Y, gPen[0].Y);
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

  static int LitCount() {
    int n = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (Px(x, y) != kBlack) ++n;
    return n;
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

TEST_F(ShadedTest, TriangleOnOnePixelRowDrawsOneLine) {
  view::DrawTriangleFacet(-10, 0, 0, 10, 0.2f, 0, 0, -0.2f, 0);
  ASSERT_EQ(gDrawn.size(), 1u);
  for (int y = 0; y < kHeight; ++y) {
    if (y == 50) continue;
    for (int x = 0; x < kWidth; ++x) EXPECT_EQ(Px(x, y), kBlack) << x << " " << y;
  }
}

TEST_F(ShadedTest, ShadedFacetTakesItsFamilysShade) {
  gfx::SetDrawColor(1);
  view::DrawTriangleFacet(0, 0, 0, 10, 0, 0, 0, 10, 0);  // normal +z
  EXPECT_EQ(Px(52, 48), platform::Palette[136]);
  EXPECT_EQ(gfx::GetColor(), 136);
}

TEST_F(ShadedTest, BackFacingFacetTakesTheNextFamily) {
  gfx::SetDrawColor(1);
  view::DrawTriangleFacet(0, 0, 0, 0, 10, 0, 10, 0, 0);  // normal −z
  EXPECT_EQ(Px(52, 48), platform::Palette[200]);
}

TEST_F(ShadedTest, QuadWithEqualDiagonalsSplitsAlongP2P4) {
  const float p[4][3] = {{0, 0, 0}, {20, 0, 0}, {20, 20, 0}, {0, 20, 0}};
  view::DrawQuadFacet(p[0][0], p[0][1], p[0][2], p[1][0], p[1][1], p[1][2], p[2][0], p[2][1],
                      p[2][2], p[3][0], p[3][1], p[3][2]);
  const std::vector<std::string> quad = gDrawn;
  gDrawn.clear();
  view::DrawTriangleFacet(p[0][0], p[0][1], p[0][2], p[1][0], p[1][1], p[1][2], p[3][0], p[3][1],
                          p[3][2]);
  view::DrawTriangleFacet(p[1][0], p[1][1], p[1][2], p[2][0], p[2][1], p[2][2], p[3][0], p[3][1],
                          p[3][2]);
  EXPECT_EQ(quad, gDrawn);
  gDrawn.clear();
  view::DrawTriangleFacet(p[0][0], p[0][1], p[0][2], p[1][0], p[1][1], p[1][2], p[2][0], p[2][1],
                          p[2][2]);
  view::DrawTriangleFacet(p[0][0], p[0][1], p[0][2], p[2][0], p[2][1], p[2][2], p[3][0], p[3][1],
                          p[3][2]);
  EXPECT_NE(quad, gDrawn);
}

TEST_F(ShadedTest, QuadSplitsAlongTheShorterDiagonalP1P3) {
  // |p4 − p2| = 30 is longer than |p3 − p1| = 20.
  const float p[4][3] = {{0, -10, 0}, {15, 0, 0}, {0, 10, 0}, {-15, 0, 0}};
  view::DrawQuadFacet(p[0][0], p[0][1], p[0][2], p[1][0], p[1][1], p[1][2], p[2][0], p[2][1],
                      p[2][2], p[3][0], p[3][1], p[3][2]);
  const std::vector<std::string> quad = gDrawn;
  gDrawn.clear();
  view::DrawTriangleFacet(p[0][0], p[0][1], p[0][2], p[1][0], p[1][1], p[1][2], p[2][0], p[2][1],
                          p[2][2]);
  view::DrawTriangleFacet(p[0][0], p[0][1], p[0][2], p[2][0], p[2][1], p[2][2], p[3][0], p[3][1],
                          p[3][2]);
  EXPECT_EQ(quad, gDrawn);
}

TEST_F(ShadedTest, TriangleReachingFarOffTheScreenIsWalkedOnlyOverTheWindowRows) {
  view::DrawTriangleFacet(-1e9f, -1e9f, 0, 1e9f, -1e9f, 0, 0, 1e9f, 0);
  EXPECT_EQ(gDrawn.size(), static_cast<std::size_t>(kHeight));  // one line a row
  EXPECT_NE(Px(50, 50), kBlack);
}

TEST_F(ShadedTest, TriangleFarAboveTheScreenDrawsNothing) {
  view::DrawTriangleFacet(0, 1e12f, 0, 1e12f, 1e12f, 0, 5, 2e12f, 0);
  EXPECT_TRUE(gDrawn.empty());
}

}  // namespace
}  // namespace viewtest
