// The projections between world, view and pixel coordinates, the working
// plane and the reflection.
#include <array>
#include <bit>
#include <cstdint>
#include <iterator>
#include <limits>
#include <utility>

#include "graphics/geometry.h"
#include "view_fixture.h"

namespace viewtest {
namespace {

using view::V;

template <typename T>
void Expect3(T x, T y, T z, T ex, T ey, T ez) {
  EXPECT_EQ(x, ex);
  EXPECT_EQ(y, ey);
  EXPECT_EQ(z, ez);
}

TEST_F(ViewTest, WorldToViewReadsTheRowsOfTheMatrix) {
  view::LoadView(0, 2);  // U = z, V = y, W = −x
  float u = 0, v = 0, w = 0;
  view::WorldToViewUVW(1.0f, 2.0f, 3.0f, u, v, w);
  Expect3(u, v, w, 3.0f, 2.0f, -1.0f);
  double du = 0, dv = 0, dw = 0;
  view::WorldToViewUVW(1.0, 2.0, 3.0, du, dv, dw);
  Expect3(du, dv, dw, 3.0, 2.0, -1.0);
  view::WorldToView(1.0f, 2.0f, 3.0f, u, v);
  view::WorldToView(1.0, 2.0, 3.0, du, dv);
  Expect3(u, v, static_cast<float>(du + dv), 3.0f, 2.0f, 5.0f);
  view::LoadView(0, 3);  // U = x, V = z, W = −y: the way back is the transpose
  const double front[3][3] = {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}};
  ExpectMatrixNear(V.ViewMatrix, front);
  view::ViewToWorld(1, 2, 3, du, dv, dw);
  Expect3(du, dv, dw, 1.0, -3.0, 2.0);
  view::LoadView(0, 4);  // the float constants, widened
  EXPECT_EQ(V.ViewMatrix[1][1], static_cast<double>(0.707107f));
}

// World to pixel: halves round to even, y grows downwards, the scale and the
// centre apply, depth grows towards the viewer, and pixels far off the
// screen stay at the pixel limit.
TEST_F(ViewTest, WorldToPixelRoundsScalesAndLimits) {
  constexpr std::int32_t L = gfx::kPixelLimit;
  struct Row {
    int CentreX, CentreY, CentreZ;
    float Scale, ViewCentreU, ViewCentreV, ScaleW, ViewCentreW;
    float X, Y, Z;
    std::int32_t Ix, Iy, Iz;
  };
  const Row kRows[] = {
      {100, 50, 0, 1, 0, 0, 1, 0, 2.5f, 0.5f, 0, 102, 50, 0},
      {100, 50, 0, 1, 0, 0, 1, 0, 3.5f, 1.5f, 0, 104, 48, 0},
      {100, 50, 0, 1, 0, 0, 1, 0, -2.5f, -3.0f, 0, 98, 53, 0},
      {200, 100, 0, 0.5f, 10, -4, 1, 0, 12, -1, 0, 204, 94, 0},
      {100, 50, 3, 1, 0, 0, 1, 0, 1e12f, 1e12f, -1e12f, L, -L, -L},
      {0, 0, 7, 1, 0, 0, 2, 1, 0, 0, 9, 0, 0, 11},
      {0, 0, 7, 1, 0, 0, 2, 1, 0, 0, -9, 0, 0, 2},  // 7 + round(−5): −5 exactly
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(testing::Message() << r.X << ", " << r.Y << ", " << r.Z);
    V = view::ViewState{};
    V.ScreenCentreX = r.CentreX;
    V.ScreenCentreY = r.CentreY;
    V.ScreenCentreZ = r.CentreZ;
    V.ViewScaleU = V.ViewScaleV = r.Scale;
    V.ViewCentreU = r.ViewCentreU;
    V.ViewCentreV = r.ViewCentreV;
    V.ViewScaleW = r.ScaleW;
    V.ViewCentreW = r.ViewCentreW;
    std::int32_t ix = 0, iy = 0, iz = 0;
    view::WorldToPixelDepth(r.X, r.Y, r.Z, ix, iy, iz);
    Expect3(ix, iy, iz, r.Ix, r.Iy, r.Iz);
    view::WorldToPixel(r.X, r.Y, r.Z, ix, iy);
    Expect3(ix, iy, 0, r.Ix, r.Iy, 0);
  }
}

// A run of points (two or four at a time inside) gives each the bits one
// point alone gets: halves, signed zeros, far and non-finite points, a
// depth repeated and changed, in every view kind and at every length.
TEST_F(ViewTest, ARunProjectsEachPointAsAlone) {
  const float inf = std::numeric_limits<float>::infinity(), nan = std::numeric_limits<float>::quiet_NaN();
  const float xs[] = {0.5f, -0.0f, 2.5f, -3.5f, 1e30f, inf, nan, 7, 7, 0.25f, -1e-30f, 3};
  const float zs[] = {0, 0, 0, 0, 0, 1, 1, 1, 0, -0.0f, 0, 2};
  constexpr int n = std::size(xs);
  auto Bits = [](double x, double y, double z) {
    return std::array{std::bit_cast<std::uint64_t>(x), std::bit_cast<std::uint64_t>(y), std::bit_cast<std::uint64_t>(z)};
  };
  for (int view : {1, 4, 8}) {
    view::LoadView(0, view);
    V.ViewScaleU = V.ViewScaleV = 0.3f, V.ViewScaleW = 0.7f;
    V.ViewCentreU = 1.5f, V.ViewCentreW = -0.5f;
    for (int count = 1; count <= n; ++count) {
      double px[n], py[n], pz[n];
      view::WorldToPixelExactRun(xs, zs, zs, count, px, py, pz);
      for (int k = 0; k < count; ++k) {
        double ex = 0, ey = 0, ez = 0;
        view::WorldToPixelExact(xs[k], zs[k], zs[k], ex, ey, ez);
        EXPECT_EQ(Bits(px[k], py[k], pz[k]), Bits(ex, ey, ez)) << view << " " << count << " " << k;
      }
    }
  }
}

TEST_F(ViewTest, ViewToPixelAndBackAndTheViewWidth) {
  V.ScreenCentreX = 200;
  V.ScreenCentreY = 100;
  V.ViewScaleU = V.ViewScaleV = 0.5f;
  V.ViewCentreU = 10;
  V.ViewCentreV = -4;
  std::int32_t ix = 0, iy = 0;
  view::ViewToPixel(12, -1, ix, iy);
  Expect3(ix, iy, 0, 204, 94, 0);
  float u = 0, v = 0;
  view::PixelToView(204, 94, u, v);
  Expect3(u, v, 0.0f, 12.0f, -1.0f, 0.0f);
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

// A turn multiplies the matrix from the left; an unknown axis changes nothing.
TEST_F(ViewTest, RotateViewTurnsAboutEachAxis) {
  struct Row {
    int FromView, Axis;
    double Want[3][3];
  };
  const Row kRows[] = {
      // view 2: rows (0,0,1), (0,1,0), (−1,0,0); R rows (0,−1,0), (1,0,0), (0,0,1)
      {2, 3, {{0, -1, 0}, {0, 0, 1}, {-1, 0, 0}}},
      {1, 1, {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}}},
      {1, 2, {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}}},
      {1, 4, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.Axis);
    view::LoadView(0, r.FromView);
    view::RotateView(r.Axis, 1, 0);
    ExpectMatrixNear(V.ViewMatrix, r.Want);
  }
  float u = 0, v = 0;
  view::LoadView(0, 2);
  view::RotateView(3, 1, 0);
  view::WorldToView(0.0f, 2.0f, 3.0f, u, v);  // the projections see the turn
  Expect3(u, v, 0.0f, -2.0f, 3.0f, 0.0f);
}

// --- Window fit -----------------------------------------------------------------

// The wider or taller extent decides, the pixel aspect is kept, and an empty
// rectangle gives scale one.
TEST_F(ViewTest, SetViewWindowFitsTheRectangle) {
  struct Row {
    float Aspect, U1, V1, U2, V2;
    float ScaleU, ScaleV, ScaleW, CentreU, CentreV;
  };
  const Row kRows[] = {
      {1, 0, 0, 100, 10, 0.25f, 0.25f, 0.25f, 50, 5},
      {1, -10, -50, 10, 50, 0.5f, 0.5f, 0.5f, 0, 0},
      {2, 0, 0, 100, 10, 0.25f, 0.125f, 0.25f, 50, 5},  // V: 0.05, U: 0.25 → V := 0.125
      {2, 3, 4, 3, 4, 2, 1, 2, 3, 4},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(testing::Message() << r.U1 << ", " << r.V1 << " aspect " << r.Aspect);
    UseViewport(407, 207);
    V.PixelAspect = r.Aspect;
    view::SetViewWindow(r.U1, r.V1, r.U2, r.V2);
    Expect3(V.ViewScaleU, V.ViewScaleV, V.ViewScaleW, r.ScaleU, r.ScaleV, r.ScaleW);
    Expect3(V.ViewCentreU, V.ViewCentreV, 0.0f, r.CentreU, r.CentreV, 0.0f);
  }
}

// --- Saved and standard views -------------------------------------------------------

// A saved view (set 1) and a viewport slot (set 2) keep scales, centres and
// the matrix, narrowed to floats; numbers out of range store and load nothing.
TEST_F(ViewTest, StoredViewComesBackWithScalesCentresAndMatrix) {
  V.ViewScaleU = 3;
  for (auto [set, n] : {std::pair{1, 0}, {1, 10}, {2, 8}, {3, 1}}) view::StoreView(set, n);
  for (int n = 1; n <= view::kSavedViews; ++n) EXPECT_EQ(V.SavedView[n].ScaleU, 1.0f);
  for (int n = 1; n <= view::kViewSlots; ++n) EXPECT_EQ(V.ViewSlot[n].ScaleU, 1.0f);
  for (auto [set, n] : {std::pair{0, 10}, {2, 8}, {1, 0}, {5, 1}}) view::LoadView(set, n);
  EXPECT_EQ(V.ViewScaleU, 3.0f);
  ExpectMatrixNear(V.ViewMatrix);
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
  EXPECT_EQ((std::array{V.ViewScaleU, V.ViewScaleV, V.ViewCentreU, V.ViewCentreV}),
            (std::array{0.5f, 0.25f, 1.0f, 2.0f}));
  EXPECT_EQ(std::pair(V.ViewMatrix[3][3], V.ViewMatrix[2][1]), std::pair(0.75, -0.25));
  float u = 0, v = 0;
  view::WorldToView(0.0f, 0.0f, 1.0f, u, v);
  EXPECT_EQ(u, -0.5f);
  EXPECT_EQ(V.ViewSlot[7].Matrix[0][2], -0.5f);
  view::LoadView(0, 1);
  view::RotateView(3, 0.1, 0.99498743710662);
  view::StoreView(1, 1);
  EXPECT_EQ(std::pair(V.SavedView[1].Matrix[0][0], V.SavedView[1].Matrix[1][0]),
            std::pair(static_cast<float>(0.99498743710662), 0.1f));
}

// --- Working plane and reflection ---------------------------------------------------------

// A plane with X along world y, Y along world z, normal along world x, its
// origin at x = 5: coordinates go both ways, project to pixels, drop along
// the normal, and give its axes as floats.
TEST_F(ViewTest, WorkingPlaneCoordinates) {
  const double axes[4][4] = {{0, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}, {0, 1, 0, 0}};
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) V.PlaneAxes[i][j] = axes[i][j];
  V.PlaneOrigin[0] = 5;
  V.PlaneDepth = 5;
  float x = 0, y = 0, z = 0, a = 0, b = 0, c = 0;
  view::PlaneToWorld(1, 2, 3, x, y, z);
  Expect3(x, y, z, 8.0f, 1.0f, 2.0f);
  view::WorldToPlane(x, y, z, a, b, c);
  Expect3(a, b, c, 1.0f, 2.0f, 3.0f);
  V.ScreenCentreX = 10;
  V.ScreenCentreY = 20;
  std::int32_t ix = 0, iy = 0;
  view::PlaneToPixel(1, 2, 3, ix, iy);  // world (8, 1, 2)
  Expect3(ix, iy, 0, 18, 19, 0);
  x = 9, y = -2, z = 4;
  view::ProjectOnPlane(x, y, z);
  Expect3(x, y, z, 5.0f, -2.0f, 4.0f);
  view::PlaneAxis(3, x, y, z);
  Expect3(x, y, z, 1.0f, 0.0f, 0.0f);
  view::PlaneAxis(1, x, y, z);
  EXPECT_EQ(y, 1.0f);
}

// Each row: the plane a·x + b·y + c·z = d, the point, its mirror image (a
// point on the plane stays).
TEST_F(ViewTest, ReflectPointMirrorsInThePlaneAndKeepsPointsOnIt) {
  const float kRows[][10] = {{0, 0, 1, 2, 1, 2, 5, 1, 2, -1},
                             {1, 0, 0, 0, 3, 4, 5, -3, 4, 5},
                             {0.6f, 0.8f, 0, 1, 0.6f, 0.8f, 9, 0.6f, 0.8f, 9}};
  for (const auto& r : kRows) {
    float x = r[4], y = r[5], z = r[6];
    gfx::ReflectPoint(r[0], r[1], r[2], r[3], x, y, z);
    EXPECT_FLOAT_EQ(x, r[7]);
    EXPECT_FLOAT_EQ(y, r[8]);
    EXPECT_FLOAT_EQ(z, r[9]);
  }
}

}  // namespace
}  // namespace viewtest
