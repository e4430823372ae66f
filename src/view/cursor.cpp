// src/view/cursor.cpp — the cursor and the grid on the working plane: their
// steps, the plane point under a pixel, the cursor cross, the grid of points
// and the text of the coordinate read-out.
//
//   Steps
//   Plane point under a pixel
//   Cursor cross
//   Grid
//   Coordinate read-out
#include <cmath>
#include <cstdint>

#include "graphics/kernel.h"
#include "graphics/numbers.h"
#include "platform/codepage.h"
#include "platform/driver.h"
#include "view/view.h"

namespace view {


// ---------------------------------------------------------------------------
// Steps
// ---------------------------------------------------------------------------

void SetCursorSteps(float s) {
  if (s <= 0) return;
  V.CursorStep = V.CursorStepX = V.CursorStepY = V.CursorStepZ = s;
}

void SetGridStep(float g) {
  V.GridStep = V.GridStepX = V.GridStepY = g;
  SetCursorSteps(g);
}

// Rounding halves to even makes every step land on a multiple of the step,
// whether it starts on one or between two.
float SnapStep(float value, float step, int direction) {
  const float moved = value + static_cast<float>(direction) * step;
  return static_cast<float>(gfx::NearestInt(moved / step)) * step;
}

// ---------------------------------------------------------------------------
// Plane point under a pixel
// ---------------------------------------------------------------------------

namespace {
// Below this |N·D| the plane is seen edge-on and the pixel's ray does not
// meet it at a usable point.
constexpr double kEdgeOn = 0.01;
}  // namespace

void PixelToPlane(std::int32_t px, std::int32_t py, float& a, float& b, float& c) {
  float u = 0, v = 0;
  PixelToView(px, py, u, v);
  double q[3] = {};
  ViewToWorld(u, v, 0, q[0], q[1], q[2]);
  float n[3] = {}, d[3] = {};
  PlaneAxis(3, n[0], n[1], n[2]);
  for (int i = 0; i < 3; ++i) d[i] = static_cast<float>(V.ViewMatrix[3][i + 1]);
  const double k = double{n[0]} * d[0] + double{n[1]} * d[1] + double{n[2]} * d[2];
  if (std::fabs(k) > kEdgeOn) {
    const double nq = n[0] * q[0] + n[1] * q[1] + n[2] * q[2];
    const double t = (double{V.PlaneDepth} + c - nq) / k;
    float height = 0;
    WorldToPlane(static_cast<float>(q[0] + t * d[0]), static_cast<float>(q[1] + t * d[1]),
                 static_cast<float>(q[2] + t * d[2]), a, b, height);
    return;  // the height stays what the caller gave
  }
  // Edge-on: another point of the same view ray, at view depth
  // (q − PlaneOrigin)·D; it keeps the cursor on the pixel, and on the screen.
  double w = 0;
  for (int i = 0; i < 3; ++i) w += (q[i] - V.PlaneOrigin[i]) * d[i];
  double p[3] = {};
  ViewToWorld(u, v, w, p[0], p[1], p[2]);
  WorldToPlane(static_cast<float>(p[0]), static_cast<float>(p[1]), static_cast<float>(p[2]), a, b,
               c);
}

// ---------------------------------------------------------------------------
// Cursor cross
// ---------------------------------------------------------------------------

namespace {
constexpr int kCursorColour = 8;
constexpr int kCursorStyle = 4;  // dashed; in XOR every second pixel
constexpr int kForeground = 15;

void PlaneLine(float a1, float b1, float c1, float a2, float b2, float c2) {
  std::int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  PlaneToPixel(a1, b1, c1, x1, y1);
  PlaneToPixel(a2, b2, c2, x2, y2);
  gfx::Line2(x1, y1, x2, y2);
}
}  // namespace

void DrawCursor(float a, float b, float c) {
  gfx::SelectPictureInner();
  if (V.CursorVisible <= 0) {
    gfx::SetColor(kForeground);
    return;
  }
  gfx::SetColor(kCursorColour);
  gfx::SetXorMode(1);
  gfx::SetLineStyle(kCursorStyle);

  // The drop line from the cursor to its foot on the plane.
  std::int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  PlaneToPixel(a, b, 0, x0, y0);
  PlaneToPixel(a, b, c, x1, y1);
  if (x1 != x0 || y1 != y0) gfx::Line2(x1, y1, x0, y0);

  // Two lines through the cursor, each a viewport width to either side.
  const float l = ViewWidthWorld();
  const float dx = l * V.CursorAngleCos, dy = l * V.CursorAngleSin;
  PlaneLine(a - dx, b - dy, c, a + dx, b + dy, c);
  PlaneLine(a + dy, b - dx, c, a - dy, b + dx, c);

  gfx::SetLineStyle(0);
  gfx::SetXorMode(0);
  gfx::SetColor(kForeground);
}

// ---------------------------------------------------------------------------
// Grid
// ---------------------------------------------------------------------------

namespace {
constexpr double kGridCover = 1.2;      // the grid spans 1.2 viewports
constexpr float kGridMinPixels = 2;     // points closer than this: no grid
}  // namespace

std::int32_t GridColumns() {
  return gfx::NearestInt(kGridCover * V.ViewportWidth * V.ViewScaleU / V.GridStepX);
}

bool GridDrawable() {
  if (V.GridShown == 0) return false;
  if (!(V.GridStepX > kGridMinPixels * V.ViewScaleU)) return false;
  if (!(V.GridStepY > kGridMinPixels * V.ViewScaleU)) return false;
  const double maxColumns = static_cast<double>(V.ViewportWidth) / V.GridMinSpacing;
  return GridColumns() <= maxColumns;
}

void DrawGrid(int colour) {
  gfx::SetXorMode(1);
  if (GridDrawable()) {
    float a0 = 0, b0 = 0, c0 = 0;
    PixelToPlane(V.ViewportWidth / 2, V.ViewportHeight / 2, a0, b0, c0);
    const std::int32_t nx = GridColumns();
    const std::int32_t ny =
        gfx::NearestInt(kGridCover * V.ViewportHeight * V.ViewScaleV / V.GridStepY);
    // The lattice's first point: the grid multiple nearest the centre, moved
    // back half the columns (rows).
    const float x0 = static_cast<float>(std::int64_t{gfx::NearestInt(a0 / V.GridStep)} - nx / 2) *
                     V.GridStepX;
    const float y0 = static_cast<float>(std::int64_t{gfx::NearestInt(b0 / V.GridStep)} - ny / 2) *
                     V.GridStepY;
    for (std::int32_t i = 1; i <= nx; ++i) {
      const float a = x0 + static_cast<float>(i) * V.GridStepX;
      for (std::int32_t j = 1; j <= ny; ++j) {
        std::int32_t ix = 0, iy = 0;
        PlaneToPixel(a, y0 + static_cast<float>(j) * V.GridStepY, 0, ix, iy);
        gfx::Point2(ix, iy, colour);
      }
      if (platform::Drv.DrvKeyPressed()) break;  // the key is left for the reader
    }
  }
  gfx::SetXorMode(0);
}

// ---------------------------------------------------------------------------
// Coordinate read-out
// ---------------------------------------------------------------------------

namespace {
constexpr int kCoordWidth = 8, kCoordDecimals = 3;

std::string CoordLine(const char* plane, float local, const char* world, float global) {
  return std::string(plane) + gfx::FormatNumber(local, kCoordWidth, kCoordDecimals) + world +
         gfx::FormatNumber(global, kCoordWidth, kCoordDecimals);
}
}  // namespace

CursorCoordText CursorCoordLines(float a, float b, float c) {
  float x = 0, y = 0, z = 0;
  PlaneToWorld(a, b, c, x, y, z);
  CursorCoordText t;
  t.Line[0] = CoordLine("Xr"_sc, a, " X"_sc, x);
  t.Line[1] = CoordLine("Yr"_sc, b, " Y"_sc, y);
  t.Line[2] = CoordLine("Zr"_sc, c, " Z"_sc, z);
  return t;
}

}  // namespace view
