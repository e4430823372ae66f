// The cursor and the grid: steps and their snapping, the plane point under
// a pixel, the XOR cross, the grid of points and the coordinate read-out.
#include <array>
#include <utility>
#include <vector>

#include "graphics/kernel.h"
#include "view_fixture.h"

namespace viewtest {
namespace {

using view::V;

// --- Steps ------------------------------------------------------------------------

// A cursor step sets all four steps, a grid step the grid's and the cursor's;
// a step of zero or less is ignored, a grid step of zero hides the grid.
// A step from a point lands on a multiple of the step.
TEST_F(ViewTest, CursorAndGridSteps) {
  view::SetCursorSteps(2.5f);
  EXPECT_EQ((std::array{V.CursorStep, V.CursorStepX, V.CursorStepY, V.CursorStepZ}), (std::array{2.5f, 2.5f, 2.5f, 2.5f}));
  view::SetCursorSteps(4);
  view::SetCursorSteps(0);
  view::SetCursorSteps(-1);
  EXPECT_EQ(std::pair(V.CursorStep, V.CursorStepZ), std::pair(4.0f, 4.0f));
  view::SetGridStep(5);
  EXPECT_EQ((std::array{V.GridStep, V.GridStepX, V.GridStepY, V.CursorStepX}), (std::array{5.0f, 5.0f, 5.0f, 5.0f}));
  view::SetGridStep(0);
  EXPECT_EQ(std::pair(V.GridStepX, V.CursorStepX), std::pair(0.0f, 5.0f));
  EXPECT_FALSE(view::GridDrawable());
  // Steps land on multiples of the step, halves to even: round(−0.7) = −1,
  // round(2.5) = 2, round(3.5) = 4.
  const float kRows[][3] = {{3, 1, 10}, {3, -1, -10}, {15, 1, 20}, {25, 1, 40}, {20, 1, 30}, {-15, -1, -20}};
  for (const auto& r : kRows) EXPECT_EQ(view::SnapStep(r[0], 10, static_cast<int>(r[1])), r[2]) << r[0];
}

// --- Plane point under a pixel -------------------------------------------------------

// The plane point under a pixel keeps its height and projects back to the
// pixel; on the screen plane it is the pixel's offset, and on a plane seen
// edge-on it stays on the view ray.
TEST_F(ViewTest, PixelToPlaneFindsThePointThatProjectsToThePixel) {
  struct Row {
    int View;
    float Scale, Height;
    int Dx, Dy;          // the pixel, from the screen centre
    float A, B, C;       // the point, where Check
    bool Check;
  };
  const Row kRows[] = {
      {1, 1, 5, 30, -20, 30, 20, 5, true},    {5, 0.5f, 0, 51, -49, 0, 0, 0, false},
      {5, 0.5f, 12, 51, -49, 0, 0, 0, false}, {3, 1, 0, 30, -20, 30, 0, 20, true},  // along y at z = 0
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(testing::Message() << "view " << r.View << " height " << r.Height);
    UseViewport(400, 300);
    view::LoadView(0, r.View);
    V.ViewScaleU = V.ViewScaleV = r.Scale;
    float a = 0, b = 0, c = r.Height;
    const int x = V.ScreenCentreX + r.Dx, y = V.ScreenCentreY + r.Dy;
    view::PixelToPlane(x, y, a, b, c);
    EXPECT_EQ((std::array{a, b, c}), (r.Check ? std::array{r.A, r.B, r.C} : std::array{a, b, r.Height}));
    std::int32_t ix = 0, iy = 0;
    view::PlaneToPixel(a, b, c, ix, iy);
    EXPECT_EQ(std::pair(ix, iy), std::pair(x, y));
  }
}

// --- Cursor cross --------------------------------------------------------------------

class CursorTest : public ViewTest {
 public:
  void SetUp() override {
    ViewTest::SetUp();
    gfx::Layout.AreaWidth = 400;
    gfx::Layout.AreaHeight = 301;
    view::SelectViewport(1);  // 400 × 300, centre pixel (199, 149)
    V.CursorVisible = 1;
  }
};

TEST_F(CursorTest, CursorDrawnTwiceRestoresEveryPixelAndAHiddenOneDrawsNothing) {
  gfx::SelectPictureInner();
  for (int k = 0; k < 12; ++k) {
    gfx::SetColor(k + 1);
    gfx::Line2(0, 10 * k, 397, 300 - 10 * k);
  }
  V.CursorAngle = 0.3f;
  V.CursorAngleSin = 0.29552020666f;
  V.CursorAngleCos = 0.95533648912f;
  const auto before = Snapshot();
  view::DrawCursor(12, -7, 15);
  EXPECT_NE(Snapshot(), before);
  view::DrawCursor(12, -7, 15);
  EXPECT_EQ(Snapshot(), before);
  V.CursorVisible = 0;  // a hidden cursor draws nothing, in the cursor's colour
  gfx::SetColor(3);
  view::DrawCursor(0, 0, 0);
  EXPECT_EQ(Snapshot(), before);
  EXPECT_EQ(gfx::GetColor(), 15);
}

TEST_F(CursorTest, CursorCrossesTheViewportThroughItsPixel) {
  view::DrawCursor(10, 20, 0);
  // Window pixel (209, 129) is picture pixel (210, 130); dashed XOR lights
  // every second pixel of each line.
  int row = 0, column = 0;
  for (int x = 1; x < 400; ++x)
    if (Px(x, 130) != kBlack) ++row;
  for (int y = 1; y < 299; ++y)
    if (Px(210, y) != kBlack) ++column;
  EXPECT_TRUE(row > 150 && column > 120) << row << " " << column;
  EXPECT_EQ(Px(100, 100), kBlack);
  EXPECT_EQ((std::array{gfx::K.XorMode, gfx::K.LineStyle, gfx::GetColor()}), (std::array{0, 0, 15}));
}

TEST_F(CursorTest, CursorAboveThePlaneHasADropLine) {
  view::LoadView(0, 3);  // the plane z = 0 seen edge-on: the drop line is vertical
  view::DrawCursor(-50, 0, 40);
  // Foot at window (149, 149), cursor at (149, 109): picture column 150.
  int lit = 0;
  for (int y = 111; y <= 149; ++y)
    if (Px(150, y) != kBlack) ++lit;
  EXPECT_GE(lit, 15);
}

// --- Grid ---------------------------------------------------------------------------------

TEST_F(CursorTest, GridOf96ColumnsIsNotDrawn) {
  view::SetGridStep(10);
  EXPECT_EQ(std::pair(view::GridColumns(), view::GridDrawable()), std::pair(48, true));
  view::SetGridStep(5);
  EXPECT_EQ(std::pair(view::GridColumns(), view::GridDrawable()), std::pair(96, false));
  const auto before = Snapshot();
  view::DrawGrid(15);
  EXPECT_EQ(Snapshot(), before);
  // Nor a grid with points closer than two pixels, nor a hidden one.
  view::SetGridStep(10);
  V.ViewScaleU = V.ViewScaleV = 5;
  EXPECT_FALSE(view::GridDrawable());
  V.GridShown = 0;
  V.ViewScaleU = V.ViewScaleV = 1;
  EXPECT_FALSE(view::GridDrawable());
}

TEST_F(CursorTest, GridPointsLieOnMultiplesOfTheStepAcrossTheViewport) {
  view::SetGridStep(10);
  view::DrawGrid(15);
  // World (0, 0) is window (199, 149), picture (200, 150).
  EXPECT_EQ((std::array{Px(200, 150), Px(210, 140), Px(150, 200), Px(205, 150), Px(200, 151)}),
            (std::array{Px(200, 150), Px(200, 150), Px(200, 150), kBlack, kBlack}));
  EXPECT_NE(Px(200, 150), kBlack);
  EXPECT_EQ(gfx::K.XorMode, 0);
  // The viewport covered: picture x = 10, 20 .. 390 and y = 10 .. 290.
  EXPECT_EQ(LitCount(), 39 * 29);
}

TEST_F(CursorTest, GridStopsAfterAColumnWhenAKeyWaits) {
  view::SetGridStep(10);
  platform::QueueCharacter('a');
  view::DrawGrid(15);
  // The first of the 48 columns lies left of the viewport; nothing more.
  EXPECT_EQ(LitCount(), 0);
  EXPECT_TRUE(platform::Drv.DrvKeyPressed());  // the key is left waiting
}

// --- Coordinate read-out ---------------------------------------------------------------------

// Plane coordinates, then world ones: on the world's plane and on one
// shifted by (100, 0, -2.5).
TEST_F(ViewTest, ReadOutShowsPlaneThenWorldCoordinates) {
  const view::CursorCoordText t = view::CursorCoordLines(1, 2, 0);
  EXPECT_EQ(t.Line[0] + t.Line[1] + t.Line[2], "Xr   1.000 X   1.000Yr   2.000 Y   2.000Zr   0.000 Z   0.000");
  V.PlaneOrigin[0] = 100;
  V.PlaneOrigin[2] = -2.5f;
  const view::CursorCoordText u = view::CursorCoordLines(-1.25f, 2, 3);
  EXPECT_EQ(u.Line[0] + u.Line[1] + u.Line[2], "Xr  -1.250 X  98.750Yr   2.000 Y   2.000Zr   3.000 Z   0.500");
}

}  // namespace
}  // namespace viewtest
