// The projections between world, view and pixel coordinates, the working
// plane and the reflection.
#include "graphics/geometry.h"
#include "view_fixture.h"

namespace viewtest {
namespace {

using view::V;

constexpr double kIdentity[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

TEST_F(ViewTest, WorldToViewReadsTheRowsOfTheMatrix) {
  view::LoadView(0, 2);  // U = z, V = y, W = −x
  float u = 0, v = 0, w = 0;
  view::WorldToViewUVW(1.0f, 2.0f, 3.0f, u, v, w);
  EXPECT_EQ(u, 3.0f);
  EXPECT_EQ(v, 2.0f);
  EXPECT_EQ(w, -1.0f);
  double du = 0, dv = 0, dw = 0;
  view::WorldToViewUVW(1.0, 2.0, 3.0, du, dv, dw);
  EXPECT_EQ(du, 3.0);
  EXPECT_EQ(dv, 2.0);
  EXPECT_EQ(dw, -1.0);
  view::WorldToView(1.0f, 2.0f, 3.0f, u, v);
  EXPECT_EQ(u, 3.0f);
  EXPECT_EQ(v, 2.0f);
  view::WorldToView(1.0, 2.0, 3.0, du, dv);
  EXPECT_EQ(du, 3.0);
  EXPECT_EQ(dv, 2.0);
}

TEST_F(ViewTest, ViewToWorldIsTheTranspose) {
  view::LoadView(0, 3);  // U = x, V = z, W = −y
  double x = 0, y = 0, z = 0;
  view::ViewToWorld(1, 2, 3, x, y, z);
  EXPECT_EQ(x, 1.0);
  EXPECT_EQ(y, -3.0);
  EXPECT_EQ(z, 2.0);
}

TEST_F(ViewTest, ProjectionsReadTheMatrixOnlyAfterItsCoefficientsAreCopied) {
  V.ViewMatrix[1][1] = 0;
  V.ViewMatrix[1][2] = 1;
  float u = 0, v = 0;
  view::WorldToView(5.0f, 7.0f, 0.0f, u, v);
  EXPECT_EQ(u, 5.0f);
  view::UpdateViewCoefficients();
  view::WorldToView(5.0f, 7.0f, 0.0f, u, v);
  EXPECT_EQ(u, 7.0f);
}

TEST_F(ViewTest, WorldToPixelRoundsHalvesToEvenAndYGrowsDownwards) {
  V.ScreenCentreX = 100;
  V.ScreenCentreY = 50;
  std::int32_t ix = 0, iy = 0;
  view::WorldToPixel(2.5f, 0.5f, 0, ix, iy);
  EXPECT_EQ(ix, 102);
  EXPECT_EQ(iy, 50);
  view::WorldToPixel(3.5f, 1.5f, 0, ix, iy);
  EXPECT_EQ(ix, 104);
  EXPECT_EQ(iy, 48);
  view::WorldToPixel(-2.5f, -3.0f, 0, ix, iy);
  EXPECT_EQ(ix, 98);
  EXPECT_EQ(iy, 53);
}

TEST_F(ViewTest, WorldToPixelAppliesScaleAndCentre) {
  V.ScreenCentreX = 200;
  V.ScreenCentreY = 100;
  V.ViewScaleU = V.ViewScaleV = 0.5f;
  V.ViewCentreU = 10;
  V.ViewCentreV = -4;
  std::int32_t ix = 0, iy = 0;
  view::WorldToPixel(12, -1, 99, ix, iy);
  EXPECT_EQ(ix, 204);
  EXPECT_EQ(iy, 94);
  view::ViewToPixel(12, -1, ix, iy);
  EXPECT_EQ(ix, 204);
  EXPECT_EQ(iy, 94);
}

TEST_F(ViewTest, PixelsFarOffTheScreenStayAtThePixelLimit) {
  V.ScreenCentreX = 100;
  V.ScreenCentreY = 50;
  V.ScreenCentreZ = 3;
  std::int32_t ix = 0, iy = 0, iz = 0;
  view::WorldToPixelDepth(1e12f, 1e12f, -1e12f, ix, iy, iz);
  EXPECT_EQ(ix, gfx::kPixelLimit);
  EXPECT_EQ(iy, -gfx::kPixelLimit);
  EXPECT_EQ(iz, -gfx::kPixelLimit);
}

TEST_F(ViewTest, WorldToPixelDepthGrowsTowardsTheViewer) {
  V.ScreenCentreZ = 7;
  V.ViewScaleW = 2;
  V.ViewCentreW = 1;
  std::int32_t ix = 0, iy = 0, iz = 0;
  view::WorldToPixelDepth(0, 0, 9, ix, iy, iz);
  EXPECT_EQ(iz, 11);
  view::WorldToPixelDepth(0, 0, -9, ix, iy, iz);
  EXPECT_EQ(iz, 2);  // 7 + round(−5), halves to even: −5 exactly
}

TEST_F(ViewTest, PixelToViewInvertsViewToPixel) {
  V.ScreenCentreX = 200;
  V.ScreenCentreY = 100;
  V.ViewScaleU = V.ViewScaleV = 0.5f;
  V.ViewCentreU = 10;
  V.ViewCentreV = -4;
  float u = 0, v = 0;
  view::PixelToView(204, 94, u, v);
  EXPECT_EQ(u, 12.0f);
  EXPECT_EQ(v, -1.0f);
}

TEST_F(ViewTest, ViewWidthWorldIsScaleTimesViewportWidth) {
  V.ViewScaleU = 0.25f;
  V.ViewportWidth = 407;
  EXPECT_EQ(view::ViewWidthWorld(), 101.75f);
}

TEST_F(ViewTest, ViewCentreMapsToTheScreenCentreAtAnyDepth) {
  view::LoadView(0, 5);
  view::RotateView(3, 0.3, 0.9539392014169456);
  V.ScreenCentreX = 203;
  V.ScreenCentreY = 102;
  V.ViewScaleU = V.ViewScaleV = 0.37f;
  V.ViewCentreU = 12.5f;
  V.ViewCentreV = -7.25f;
  for (double w : {-1000.0, -1.0, 0.0, 3.5, 250.0}) {
    double x = 0, y = 0, z = 0;
    view::ViewToWorld(V.ViewCentreU, V.ViewCentreV, w, x, y, z);
    std::int32_t ix = 0, iy = 0;
    view::WorldToPixel(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z), ix, iy);
    EXPECT_EQ(ix, 203) << "w " << w;
    EXPECT_EQ(iy, 102) << "w " << w;
  }
}

// --- Turning ------------------------------------------------------------------

TEST_F(ViewTest, RotateViewMultipliesFromTheLeft) {
  view::LoadView(0, 2);  // rows (0,0,1), (0,1,0), (−1,0,0)
  view::RotateView(3, 1, 0);  // R rows (0,−1,0), (1,0,0), (0,0,1)
  const double want[3][3] = {{0, -1, 0}, {0, 0, 1}, {-1, 0, 0}};
  ExpectMatrixNear(V.ViewMatrix, want, 0);
  float u = 0, v = 0;
  view::WorldToView(0.0f, 2.0f, 3.0f, u, v);  // the projections see the turn
  EXPECT_EQ(u, -2.0f);
  EXPECT_EQ(v, 3.0f);
}

TEST_F(ViewTest, RotateViewAboutUAndV) {
  view::RotateView(1, 1, 0);
  const double aboutU[3][3] = {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}};
  ExpectMatrixNear(V.ViewMatrix, aboutU, 0);
  V = view::ViewState{};
  view::UpdateViewCoefficients();
  view::RotateView(2, 1, 0);
  const double aboutV[3][3] = {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}};
  ExpectMatrixNear(V.ViewMatrix, aboutV, 0);
}

TEST_F(ViewTest, RotateViewWithAnUnknownAxisChangesNothing) {
  view::RotateView(4, 1, 0);
  ExpectMatrixNear(V.ViewMatrix, kIdentity, 0);
}

// --- Window fit -----------------------------------------------------------------

TEST_F(ViewTest, SetViewWindowLetsTheWiderExtentDecide) {
  UseViewport(407, 207);
  view::SetViewWindow(0, 0, 100, 10);
  EXPECT_EQ(V.ViewScaleU, 0.25f);
  EXPECT_EQ(V.ViewScaleV, 0.25f);
  EXPECT_EQ(V.ViewScaleW, 0.25f);
  EXPECT_EQ(V.ViewCentreU, 50.0f);
  EXPECT_EQ(V.ViewCentreV, 5.0f);
}

TEST_F(ViewTest, SetViewWindowLetsTheTallerExtentDecide) {
  UseViewport(407, 207);
  view::SetViewWindow(-10, -50, 10, 50);
  EXPECT_EQ(V.ViewScaleU, 0.5f);
  EXPECT_EQ(V.ViewScaleV, 0.5f);
  EXPECT_EQ(V.ViewCentreU, 0.0f);
  EXPECT_EQ(V.ViewCentreV, 0.0f);
}

TEST_F(ViewTest, SetViewWindowKeepsThePixelAspect) {
  UseViewport(407, 207);
  V.PixelAspect = 2;
  view::SetViewWindow(0, 0, 100, 10);  // V: 0.05, U: 0.25 → V := 0.125
  EXPECT_EQ(V.ViewScaleV, 0.125f);
  EXPECT_EQ(V.ViewScaleU, 0.25f);
}

TEST_F(ViewTest, SetViewWindowOnAnEmptyRectangleGivesScaleOne) {
  UseViewport(407, 207);
  V.PixelAspect = 2;
  view::SetViewWindow(3, 4, 3, 4);
  EXPECT_EQ(V.ViewScaleV, 1.0f);
  EXPECT_EQ(V.ViewScaleU, 2.0f);
  EXPECT_EQ(V.ViewScaleW, 2.0f);
  EXPECT_EQ(V.ViewCentreU, 3.0f);
  EXPECT_EQ(V.ViewCentreV, 4.0f);
}

// --- Saved and standard views -------------------------------------------------------

TEST_F(ViewTest, StandardViewsHoldTheTableAsFloats) {
  EXPECT_EQ(view::StandardViews[4][1][1], 0.707107f);
  EXPECT_EQ(view::StandardViews[5][2][2], 0.75f);
  EXPECT_EQ(view::StandardViews[7][0][0], 0.7071067f);
  EXPECT_EQ(view::StandardViews[8][2][1], -0.75f);
  EXPECT_EQ(view::StandardViews[9][1][0], 0.25f);
  EXPECT_EQ(view::StandardViews[9][0][1], -0.5f);
}

TEST_F(ViewTest, RecallOfStandardView3ChangesOnlyTheMatrix) {
  V.ViewScaleU = 0.5f;
  V.ViewScaleV = 0.75f;
  V.ViewCentreU = 11;
  V.ViewCentreV = -3;
  view::LoadView(0, 3);
  const double front[3][3] = {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}};
  ExpectMatrixNear(V.ViewMatrix, front, 0);
  EXPECT_EQ(V.ViewScaleU, 0.5f);
  EXPECT_EQ(V.ViewScaleV, 0.75f);
  EXPECT_EQ(V.ViewCentreU, 11.0f);
  EXPECT_EQ(V.ViewCentreV, -3.0f);
}

TEST_F(ViewTest, StandardViewMatrixIsTheFloatConstantWidened) {
  view::LoadView(0, 4);
  EXPECT_EQ(V.ViewMatrix[1][1], static_cast<double>(0.707107f));
  EXPECT_EQ(V.ViewMatrix[2][3], -0.5);
}

TEST_F(ViewTest, StoredViewComesBackWithScalesCentresAndMatrix) {
  view::LoadView(0, 6);
  V.ViewScaleU = 0.5f;
  V.ViewScaleV = 0.25f;
  V.ViewCentreU = 1;
  V.ViewCentreV = 2;
  view::StoreView(1, 9);
  view::StoreView(2, 7);
  V.ViewScaleU = V.ViewScaleV = 1;
  V.ViewCentreU = V.ViewCentreV = 0;
  view::LoadView(0, 1);
  view::LoadView(1, 9);
  EXPECT_EQ(V.ViewScaleU, 0.5f);
  EXPECT_EQ(V.ViewScaleV, 0.25f);
  EXPECT_EQ(V.ViewCentreU, 1.0f);
  EXPECT_EQ(V.ViewCentreV, 2.0f);
  EXPECT_EQ(V.ViewMatrix[3][3], 0.75);
  EXPECT_EQ(V.ViewMatrix[2][1], -0.25);
  float u = 0, v = 0;
  view::WorldToView(0.0f, 0.0f, 1.0f, u, v);
  EXPECT_EQ(u, -0.5f);
  EXPECT_EQ(V.ViewSlot[7].Matrix[0][2], -0.5f);
}

TEST_F(ViewTest, SavedMatrixIsNarrowedToFloats) {
  view::RotateView(3, 0.1, 0.99498743710662);
  view::StoreView(1, 1);
  EXPECT_EQ(V.SavedView[1].Matrix[0][0], static_cast<float>(0.99498743710662));
  EXPECT_EQ(V.SavedView[1].Matrix[1][0], 0.1f);
}

TEST_F(ViewTest, StoreAndLoadOutOfRangeDoNothing) {
  V.ViewScaleU = 3;
  view::StoreView(1, 0);
  view::StoreView(1, 10);
  view::StoreView(2, 8);
  view::StoreView(3, 1);
  for (int n = 1; n <= view::kSavedViews; ++n) EXPECT_EQ(V.SavedView[n].ScaleU, 1.0f);
  for (int n = 1; n <= view::kViewSlots; ++n) EXPECT_EQ(V.ViewSlot[n].ScaleU, 1.0f);
  view::LoadView(0, 10);
  view::LoadView(2, 8);
  view::LoadView(1, 0);
  view::LoadView(5, 1);
  EXPECT_EQ(V.ViewScaleU, 3.0f);
  ExpectMatrixNear(V.ViewMatrix, kIdentity, 0);
}

// --- Working plane and reflection ---------------------------------------------------------

// A plane with X along world y, Y along world z, normal along world x,
// its origin at x = 5.
void SideOnPlane() {
  const double axes[4][4] = {{0, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}, {0, 1, 0, 0}};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) V.PlaneAxes[i][j] = axes[i][j];
  V.PlaneOrigin[0] = 5;
  V.PlaneDepth = 5;
}

TEST_F(ViewTest, PlaneCoordinatesGoBothWays) {
  SideOnPlane();
  float x = 0, y = 0, z = 0;
  view::PlaneToWorld(1, 2, 3, x, y, z);
  EXPECT_EQ(x, 8.0f);
  EXPECT_EQ(y, 1.0f);
  EXPECT_EQ(z, 2.0f);
  float a = 0, b = 0, c = 0;
  view::WorldToPlane(x, y, z, a, b, c);
  EXPECT_EQ(a, 1.0f);
  EXPECT_EQ(b, 2.0f);
  EXPECT_EQ(c, 3.0f);
}

TEST_F(ViewTest, PlaneToPixelProjectsThePlanePoint) {
  SideOnPlane();
  V.ScreenCentreX = 10;
  V.ScreenCentreY = 20;
  std::int32_t ix = 0, iy = 0;
  view::PlaneToPixel(1, 2, 3, ix, iy);  // world (8, 1, 2)
  EXPECT_EQ(ix, 18);
  EXPECT_EQ(iy, 19);
}

TEST_F(ViewTest, ProjectOnPlaneDropsAlongTheNormal) {
  SideOnPlane();
  float x = 9, y = -2, z = 4;
  view::ProjectOnPlane(x, y, z);
  EXPECT_EQ(x, 5.0f);
  EXPECT_EQ(y, -2.0f);
  EXPECT_EQ(z, 4.0f);
}

TEST_F(ViewTest, PlaneAxisGivesARowAsFloats) {
  SideOnPlane();
  float x = 7, y = 7, z = 7;
  view::PlaneAxis(3, x, y, z);
  EXPECT_EQ(x, 1.0f);
  EXPECT_EQ(y, 0.0f);
  EXPECT_EQ(z, 0.0f);
  view::PlaneAxis(1, x, y, z);
  EXPECT_EQ(y, 1.0f);
}

TEST_F(ViewTest, ReflectPointMirrorsInThePlane) {
  float x = 1, y = 2, z = 5;
  gfx::ReflectPoint(0, 0, 1, 2, x, y, z);
  EXPECT_EQ(x, 1.0f);
  EXPECT_EQ(y, 2.0f);
  EXPECT_EQ(z, -1.0f);
  x = 3, y = 4, z = 5;
  gfx::ReflectPoint(1, 0, 0, 0, x, y, z);
  EXPECT_EQ(x, -3.0f);
  EXPECT_EQ(y, 4.0f);
  EXPECT_EQ(z, 5.0f);
}

TEST_F(ViewTest, ReflectPointKeepsPointsOnThePlane) {
  float x = 0.6f, y = 0.8f, z = 9;
  gfx::ReflectPoint(0.6f, 0.8f, 0, 1, x, y, z);
  EXPECT_FLOAT_EQ(x, 0.6f);
  EXPECT_FLOAT_EQ(y, 0.8f);
  EXPECT_EQ(z, 9.0f);
}

}  // namespace
}  // namespace viewtest
