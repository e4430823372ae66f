// The viewports of the layouts, the start-up state, the extended keys and
// the world pen with its markers.
#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "graphics/kernel.h"
#include "view_fixture.h"

namespace viewtest {
namespace {

using view::V;

using enum platform::ScanCode;

std::array<int, 9> Viewport() {
  return {V.ViewportLeft, V.ViewportTop, V.ViewportWidth, V.ViewportHeight, V.ScreenCentreX,
          V.ScreenCentreY, V.PanStepX,   V.PanStepY,     V.ViewLayout};
}

// --- Viewports ------------------------------------------------------------------

struct ViewportCase {
  int N, Left, Top, Width, Height;
};

// A picture area of 401 × 301: the odd sizes show every truncation.
constexpr int kWp = 401, kHp = 301;
void UseArea() { gfx::Layout.AreaWidth = kWp; gfx::Layout.AreaHeight = kHp; }
constexpr ViewportCase kLayouts[] = {
    {1, 0, 0, 401, 300},   {2, 0, 0, 248, 300},   {3, 250, 0, 150, 300},
    {4, 0, 0, 198, 148},   {5, 200, 0, 200, 148}, {6, 0, 150, 198, 150},
    {7, 200, 150, 200, 150},
};

TEST_F(ViewTest, SelectViewportTakesItsRectangleFromTheLayoutTable) {
  UseArea();
  for (const ViewportCase& c : kLayouts) {
    view::SelectViewport(c.N);
    EXPECT_EQ(Viewport(), (std::array{c.Left, c.Top, c.Width, c.Height, c.Width / 2 - 1, c.Height / 2 - 1,
                                      c.Width / 4, c.Height / 4, c.N}));
  }
  // The inner picture window is left selected.
  gfx::Layout.PanelWidth = 10;
  view::SelectViewport(7);
  EXPECT_EQ((std::array{gfx::K.WindowLeft, gfx::K.WindowTop, gfx::K.WindowRight, gfx::K.WindowBottom}),
            (std::array{10 + 200 + 1, 150 + 1, 10 + 200 + 200 - 1, 150 + 150 - 1 - 1}));
  // A viewport outside the layouts keeps the rectangle.
  gfx::Layout.PanelWidth = 0;
  view::SelectViewport(3);
  view::SelectViewport(8);
  EXPECT_EQ(Viewport(), (std::array{250, 0, 150, 300, 74, 149, 37, 75, 8}));
}

TEST_F(ViewTest, SelectViewportBringsTheSlotsViewExceptForViewportOne) {
  UseArea();
  view::LoadView(0, 3);
  V.ViewScaleU = V.ViewScaleV = 2;
  view::StoreView(2, 5);
  view::LoadView(0, 2);
  V.ViewScaleU = V.ViewScaleV = 3;
  view::SelectViewport(1);  // keeps what is current
  EXPECT_EQ(std::pair(V.ViewScaleU, V.ViewMatrix[3][1]), std::pair(3.0f, -1.0));
  view::SelectViewport(5);
  EXPECT_EQ(std::pair(V.ViewScaleU, V.ViewMatrix[3][2]), std::pair(2.0f, -1.0));
  view::SelectViewport(6);  // an untouched slot: scale 1, identity
  EXPECT_EQ(V.ViewScaleU, 1.0f);
  ExpectMatrixNear(V.ViewMatrix);
}

TEST_F(ViewTest, SelectViewportClearsTheIndicatorBlockOfThePreviousViewport) {
  UseArea();
  view::SelectViewport(1);
  gfx::SelectPicture();
  gfx::SetColor(15);
  for (int y = 0; y < 20; ++y) gfx::Line2(0, y, 40, y);
  view::SelectViewport(1);
  // The block: rows 2..10, columns 2..25 of the picture window.
  EXPECT_EQ((std::array{Px(2, 2), Px(25, 10)}), (std::array{kBlack, kBlack}));
  EXPECT_TRUE(Px(26, 2) != kBlack && Px(2, 11) != kBlack && Px(1, 1) != kBlack);
  EXPECT_EQ(gfx::GetColor(), 15);  // the indicator colour
}

// --- Start-up ------------------------------------------------------------------------

// The first call sets the start state, the background mode following the
// scheme; later calls change nothing.
TEST_F(ViewTest, InitViewSetsTheStartStateOnce) {
  V.ViewportWidth = 400;
  V.ViewportHeight = 200;
  V.ViewScaleU = V.ViewScaleV = 0.5f;
  V.ViewCentreU = 3;
  V.RotateMode = 0;
  V.GridShown = 0;
  V.CursorWorld[1] = 4;
  V.PlaneDepth = 2;
  V.ColourScheme = 3;
  view::RotateView(1, 1, 0);
  view::InitView();
  EXPECT_EQ(platform::Drv.DrvGetBackMode(), 3);
  ExpectMatrixNear(V.ViewMatrix);
  ExpectMatrixNear(V.PlaneAxes);
  EXPECT_EQ((std::array{V.PanStepX, V.PanStepY, V.RotateMode, V.GridShown}), (std::array{100, 50, 1, 1}));
  EXPECT_EQ((std::array{V.CursorWorld[1], V.PlaneDepth, V.GridStep, V.GridStepY, V.CursorStepZ,
                        V.SavedView[9].ScaleU, V.ViewSlot[6].CentreU}),
            (std::array{0.0f, 0.0f, 10.0f, 10.0f, 10.0f, 1.0f, 0.0f}));
  // Slot 7 gets standard view 4 with the current zoom.
  EXPECT_EQ((std::array{V.ViewSlot[7].Matrix[0][0], V.ViewSlot[7].Matrix[2][1], V.ViewSlot[7].ScaleU,
                        V.ViewSlot[7].CentreU, V.ViewSlot[6].Matrix[0][0]}),
            (std::array{0.707107f, 0.707107f, 0.5f, 3.0f, 1.0f}));
  V.RotateMode = 0;
  V.GridStep = 3;
  view::RotateView(2, 1, 0);
  view::InitView();
  EXPECT_EQ(std::pair(V.RotateMode, V.GridStep), std::pair(0, 3.0f));
  EXPECT_EQ(V.ViewMatrix[1][3], -1.0);
}

// --- Extended keys ---------------------------------------------------------------------

TEST_F(ViewTest, TwentyFourUpTurnsBringTheViewBack) {
  V.RotateMode = 1;
  view::LoadView(0, 5);
  double start[3][3];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) start[i][j] = V.ViewMatrix[i + 1][j + 1];
  view::ExtendedViewKey(kScanUp);
  EXPECT_GT(std::fabs(V.ViewMatrix[2][2] - start[1][1]), 0.01);
  for (int k = 1; k < 24; ++k) view::ExtendedViewKey(kScanUp);
  // The step's sine and cosine are given to 15 digits: 24 turns keep their
  // rounding, some parts in 10^8.
  ExpectMatrixNear(V.ViewMatrix, start, 1e-7);
  EXPECT_EQ(Redraws, 24);
}

// Each row: the rotate mode (−1: both), the starting scales, the keys from a fresh view,
// then the centre, the scale and one element of the matrix (row 0: the
// matrix is back to the identity). Every key redraws once and stores the
// view in the current viewport's slot.
TEST_F(ViewTest, ExtendedKeysTurnPanAndZoomAsTheTableSays) {
  const double s = V.RotationStepSin, c = 0.965925825682291, s15 = 0.25881904736704425;
  struct Row {
    const char* Name;
    int Mode;
    float ScaleU, ScaleV, CentreU;
    std::vector<int> Keys;
    float WantU, WantV, WantScale;
    int I, J;
    double M;
  };
  const Row kRows[] = {
      {"up turns about U", 1, 1, 1, 0, {kScanUp}, 0, 0, 1, 2, 2, c},
      {"up turns about U", 1, 1, 1, 0, {kScanUp}, 0, 0, 1, 2, 3, s15},
      {"up turns about U", 1, 1, 1, 0, {kScanUp}, 0, 0, 1, 3, 2, -s15},
      {"down", 1, 1, 1, 0, {kScanDown}, 0, 0, 1, 3, 2, s},
      {"down, up", 1, 1, 1, 0, {kScanDown, kScanUp}, 0, 0, 1, 0, 0, 0},
      {"left: row 3 gets s in column 1", 1, 1, 1, 0, {kScanLeft}, 0, 0, 1, 3, 1, s},
      {"left, right", 1, 1, 1, 0, {kScanLeft, kScanRight}, 0, 0, 1, 0, 0, 0},
      {"shift up", -1, 1, 1, 0, {kScanShiftUp}, 0, 0, 1, 2, 1, s},
      {"shift left", -1, 1, 1, 0, {kScanShiftLeft}, 0, 0, 1, 2, 1, s},
      {"shift right", -1, 1, 1, 0, {kScanShiftRight}, 0, 0, 1, 2, 1, -s},
      {"shift down", -1, 1, 1, 0, {kScanShiftDown}, 0, 0, 1, 2, 1, -s},
      {"pan up", 0, 0.5f, 0.25f, 0, {kScanUp}, 0, -12.5f, 0.5f, 0, 0, 0},
      {"pan up, down, down", 0, 0.5f, 0.25f, 0, {kScanUp, kScanDown, kScanDown}, 0, 12.5f, 0.5f, 0, 0, 0},
      {"pan left", 0, 0.5f, 0.25f, 0, {kScanLeft}, 50, 0, 0.5f, 0, 0, 0},
      {"pan left, right, right", 0, 0.5f, 0.25f, 0, {kScanLeft, kScanRight, kScanRight}, -50, 0, 0.5f, 0, 0, 0},
      {"ctrl pans in mode 1", 1, 1, 1, 0, {kScanCtrlUp, kScanCtrlLeft}, 100, -50, 1, 0, 0, 0},
      {"ctrl pans back", 1, 1, 1, 0, {kScanCtrlUp, kScanCtrlLeft, kScanCtrlDown, kScanCtrlRight}, 0, 0, 1, 0, 0, 0},
      {"ctrl turns in mode 0", 0, 1, 1, 0, {kScanCtrlDown}, 0, 0, 1, 3, 2, s},
      {"ctrl turns in mode 0", 0, 1, 1, 0, {kScanCtrlDown, kScanCtrlUp, kScanCtrlLeft}, 0, 0, 1, 3, 1, s},
      {"ctrl turns back", 0, 1, 1, 0, {kScanCtrlDown, kScanCtrlUp, kScanCtrlLeft, kScanCtrlRight}, 0, 0, 1, 0, 0, 0},
      {"page up zooms about the centre", 1, 3, 3, 7, {kScanPageUp}, 7, 0, 2, 0, 0, 0},
      {"page down", 1, 3, 3, 7, {kScanPageUp, kScanPageDown, kScanPageDown}, 7, 0, 4.5f, 0, 0, 0},
      {"zoom in stops at the smallest scale", 1, 1e-5f, 1e-5f, 0, {kScanPageUp}, 0, 0, 1e-5f, 0, 0, 0},
      {"zoom in near it", 1, 1.5e-5f, 1.5e-5f, 0, {kScanPageUp}, 0, 0, 1.5e-5f / 1.5f, 0, 0, 0},
      {"zoom out has no limit", 1, 1e30f, 1e30f, 0, {kScanPageDown}, 0, 0, 1e30f * 1.5f, 0, 0, 0},
      {"other scan codes only redraw", 1, 1, 1, 0, {kScanHome}, 0, 0, 1, 0, 0, 0},
  };
  for (const Row& r : kRows)
    for (int mode : {0, 1}) {
      if (r.Mode >= 0 && r.Mode != mode) continue;  // −1: the same in either mode
      SCOPED_TRACE(testing::Message() << r.Name << ", mode " << mode);
      SetUp();
      V.ViewLayout = 3;  // the view is stored in this viewport's slot
      V.RotateMode = mode;
      V.PanStepX = 100;
      V.PanStepY = 50;
      V.ViewScaleU = V.ViewScaleW = r.ScaleU;
      V.ViewScaleV = r.ScaleV;
      V.ViewCentreU = r.CentreU;
      for (int key : r.Keys) view::ExtendedViewKey(key);
      EXPECT_EQ((std::array{V.ViewCentreU, V.ViewCentreV, V.ViewScaleU, V.ViewScaleW}),
                (std::array{r.WantU, r.WantV, r.WantScale, r.WantScale}));
      EXPECT_EQ(V.ViewSlot[3].ScaleU, r.WantScale);
      if (r.I == 0) {
        ExpectMatrixNear(V.ViewMatrix, kIdentity, 1e-15);
      } else {
        EXPECT_EQ(V.ViewMatrix[r.I][r.J], r.M);
        EXPECT_EQ(V.ViewSlot[3].Matrix[r.I - 1][r.J - 1], static_cast<float>(r.M));
      }
      EXPECT_EQ(Redraws, static_cast<int>(r.Keys.size()));
    }
}

// --- World pen and markers -----------------------------------------------------------------

TEST_F(ViewTest, WorldPenMovesAndDrawsAtTheProjectedPixels) {
  V.ScreenCentreX = 100;
  V.ScreenCentreY = 100;
  gfx::SetColor(15);
  view::MoveToWorld(-10, 0, 0);
  EXPECT_EQ(gfx::K.CurX, 90);
  view::LineToWorld(10, 0, 5);
  EXPECT_EQ((std::array{gfx::K.CurX, gfx::K.CurY, gfx::K.CurZ}), (std::array{110, 100, 5}));
  for (int x = 89; x <= 111; ++x) EXPECT_EQ(Px(x, 100) != kBlack, x >= 90 && x <= 110) << x;
}

// Kind 1 is an X, kind 2 a square, any other kind a diamond, nine pixels
// across about the pen, which stays at the marked point.
TEST_F(ViewTest, WorldMarkersHaveTheirShapes) {
  struct Row {
    int Kind;
    std::vector<std::pair<int, int>> Lit, Dark;
  };
  const Row kRows[] = {
      {1, {{-4, -4}, {4, 4}, {-4, 4}, {4, -4}, {2, -2}}, {{4, 0}, {0, -4}}},
      {2, {{-4, -4}, {4, 0}, {0, 4}, {-4, 2}}, {{2, 2}, {5, 0}}},
      {0, {{-4, 0}, {0, -4}, {4, 0}, {0, 4}, {2, -2}}, {{4, 4}, {-4, -4}}},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.Kind);
    SetUp();
    V.ScreenCentreX = 50;
    V.ScreenCentreY = 60;
    gfx::SetColor(15);
    view::WorldMarker(r.Kind, 0, 0, 0);
    EXPECT_EQ(std::pair(gfx::K.CurX, gfx::K.CurY), std::pair(50, 60));
    for (auto [dx, dy] : r.Lit) EXPECT_NE(Px(50 + dx, 60 + dy), kBlack) << dx << ", " << dy;
    for (auto [dx, dy] : r.Dark) EXPECT_EQ(Px(50 + dx, 60 + dy), kBlack) << dx << ", " << dy;
  }
}

}  // namespace
}  // namespace viewtest
