// src/view/view.cpp — the view state, the projections, the working plane
// and the changes of the view (turns, window fit, saved and standard views).
//
//   State and standard views
//   Projections
//   Working plane
//   View changes
//
// Everything here is arithmetic on the state: nothing draws.
#include "view/view.h"

#include <immintrin.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "graphics/geometry.h"
#include "graphics/kernel.h"
#include "graphics/numbers.h"

namespace view {

// ---------------------------------------------------------------------------
// State and standard views
// ---------------------------------------------------------------------------

ViewState V;

// 1 looks along −z with y up, 2 and 3 are the side and front views, 4 to 6
// axonometric views with y up, 7 to 9 with z up.
const float StandardViews[kStandardViews + 1][3][3] = {
    {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
    {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
    {{0, 0, 1}, {0, 1, 0}, {-1, 0, 0}},
    {{1, 0, 0}, {0, 0, 1}, {0, -1, 0}},
    {{0.707107f, 0, 0.707107f}, {0.5f, 0.707107f, -0.5f}, {-0.5f, 0.707107f, 0.5f}},
    {{0.866025f, 0, 0.5f}, {0.25f, 0.866025f, -0.433013f}, {-0.433013f, 0.5f, 0.75f}},
    {{0.866025f, 0, -0.5f}, {-0.25f, 0.866025f, -0.433013f}, {0.433013f, 0.5f, 0.75f}},
    {{0.7071067f, 0.7071067f, 0}, {-0.5f, 0.5f, 0.7071067f}, {0.5f, -0.5f, 0.7071067f}},
    {{0.866025f, 0.5f, 0}, {-0.25f, 0.433013f, 0.866025f}, {0.433013f, -0.75f, 0.5f}},
    {{0.866025f, -0.5f, 0}, {0.25f, 0.433013f, 0.866025f}, {-0.433013f, -0.75f, 0.5f}},
};

// ---------------------------------------------------------------------------
// Projections
// ---------------------------------------------------------------------------

void UpdateViewCoefficients() {
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) V.ViewCoef[i][j] = V.ViewMatrix[i][j];
}

namespace {
double Row(int i, double x, double y, double z) { return gfx::AlongRow(V.ViewCoef, i, x, y, z); }
}  // namespace

void WorldToView(float x, float y, float z, float& u, float& v) {
  u = static_cast<float>(Row(1, x, y, z));
  v = static_cast<float>(Row(2, x, y, z));
}

void WorldToView(double x, double y, double z, double& u, double& v) {
  u = Row(1, x, y, z);
  v = Row(2, x, y, z);
}

void WorldToViewUVW(float x, float y, float z, float& u, float& v, float& w) {
  u = static_cast<float>(Row(1, x, y, z));
  v = static_cast<float>(Row(2, x, y, z));
  w = static_cast<float>(Row(3, x, y, z));
}

void WorldToViewUVW(double x, double y, double z, double& u, double& v, double& w) {
  u = Row(1, x, y, z);
  v = Row(2, x, y, z);
  w = Row(3, x, y, z);
}

void ViewToWorld(double u, double v, double w, double& x, double& y, double& z) {
  x = gfx::AlongColumn(V.ViewCoef, 1, u, v, w);
  y = gfx::AlongColumn(V.ViewCoef, 2, u, v, w);
  z = gfx::AlongColumn(V.ViewCoef, 3, u, v, w);
}

namespace {
// std::nearbyint in the default rounding mode (halves to even) without the
// library's call, which the redraw makes four times a point: below 2^52,
// adding 2^52 and taking it away again rounds; from 2^52 on every double is
// whole. The sign is the value's, as nearbyint keeps it (-0.3 gives -0).
// Without a branch, so that a run of points is projected in vector steps.
double Nearest(double v) {
  constexpr double kWhole = 4503599627370496.0;  // 2^52
  const double a = std::fabs(v);
  const double rounded = std::copysign((a + kWhole) - kWhole, v);
  return a < kWhole ? rounded : v;  // else whole, infinite or no number
}

// centre + offset rounded, as a double: a far point keeps its place on the
// line from the centre (the kernel's unrounded pen cuts lines to it), and
// gfx::PixelOf of it is the pixel.
double Pixel(std::int32_t centre, double offset) { return centre + Nearest(offset); }
}  // namespace

void WorldToPixelExact(float x, float y, float z, double& px, double& py, double& pz) {
  const double u = Row(1, x, y, z), v = Row(2, x, y, z), w = Row(3, x, y, z);
  px = Pixel(V.ScreenCentreX, (static_cast<float>(u) - double{V.ViewCentreU}) / V.ViewScaleU);
  py = Pixel(V.ScreenCentreY, -Nearest((static_cast<float>(v) - double{V.ViewCentreV}) / V.ViewScaleV));
  // A flat picture has one depth: the last one is kept with the bits that
  // gave it, and its division is made once.
  static std::uint32_t lastW = 0, lastCentre = 0, lastScale = 0;
  static std::int32_t lastScreen = 0;
  static double lastPixel = 0;
  static bool lastValid = false;
  const float wf = static_cast<float>(w);
  const std::uint32_t wBits = std::bit_cast<std::uint32_t>(wf);
  const std::uint32_t centreBits = std::bit_cast<std::uint32_t>(V.ViewCentreW);
  const std::uint32_t scaleBits = std::bit_cast<std::uint32_t>(V.ViewScaleW);
  if (!lastValid || wBits != lastW || centreBits != lastCentre || scaleBits != lastScale ||
      V.ScreenCentreZ != lastScreen) {
    lastW = wBits;
    lastCentre = centreBits;
    lastScale = scaleBits;
    lastScreen = V.ScreenCentreZ;
    lastPixel = Pixel(V.ScreenCentreZ, (wf - double{V.ViewCentreW}) / V.ViewScaleW);
    lastValid = true;
  }
  pz = lastPixel;
}

namespace {
// Two points at once, lane by lane the same operations as WorldToPixelExact
// (each lane rounds as the scalar does): the divisions go two by two.
using Double2 = double __attribute__((vector_size(16)));
using Float2 = float __attribute__((vector_size(8)));
using Bits2 = std::int64_t __attribute__((vector_size(16)));

Double2 Nearest2(Double2 v) {
  constexpr std::int64_t kSign = std::numeric_limits<std::int64_t>::min();
  const Double2 whole = {4503599627370496.0, 4503599627370496.0};  // 2^52
  const Bits2 bits = reinterpret_cast<Bits2>(v);
  const Double2 a = reinterpret_cast<Double2>(bits & ~kSign);
  const Double2 rounded = (a + whole) - whole;
  const Bits2 signed_ = reinterpret_cast<Bits2>(rounded) | (bits & kSign);
  const Bits2 below = a < whole;
  return reinterpret_cast<Double2>((below & signed_) | (~below & bits));
}

Double2 Pixel2(std::int32_t centre, Double2 offset) {
  const Double2 c = {static_cast<double>(centre), static_cast<double>(centre)};
  return c + Nearest2(offset);
}

// The double of the float of each lane.
Double2 ThroughFloat(Double2 v) {
  return __builtin_convertvector(__builtin_convertvector(v, Float2), Double2);
}
// Four points at once on a processor with AVX2, lane by lane the same
// operations again: the divisions go four by four. The points from 0 up to
// what it gives back (a multiple of four) are done.
using Double4 = double __attribute__((vector_size(32)));
using Bits4 = std::int64_t __attribute__((vector_size(32)));

__attribute__((target("avx2"))) int WorldToPixelFours(const float* x, const float* y, const float* z, int n,
                                                      double* px, double* py, double* pz) {
  const double cu = V.ViewCentreU, cv = V.ViewCentreV, cw = V.ViewCentreW;
  const double su = V.ViewScaleU, sv = V.ViewScaleV, sw = V.ViewScaleW;
  const double sx = V.ScreenCentreX, sy = V.ScreenCentreY, sz = V.ScreenCentreZ;
  double m[4][4];
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) m[i][j] = V.ViewCoef[i][j];
  constexpr std::int64_t kSign = std::numeric_limits<std::int64_t>::min();
  constexpr double kWhole = 4503599627370496.0;  // 2^52
  const Double4 whole = {kWhole, kWhole, kWhole, kWhole};
  // Nearest, lane by lane, written out: a call would pass the vectors as
  // the processor without AVX does.
#define BRELMORA_NEAREST4(v, out)                                                 \
  do {                                                                            \
    const Bits4 bits = reinterpret_cast<Bits4>(v);                                \
    const Double4 a = reinterpret_cast<Double4>(bits & ~kSign);                   \
    const Bits4 rounded = reinterpret_cast<Bits4>((a + whole) - whole) | (bits & kSign); \
    const Bits4 below = a < whole;                                                \
    out = reinterpret_cast<Double4>((below & rounded) | (~below & bits));         \
  } while (false)
  Bits4 keptW = {};
  Double4 keptPixel = {};
  bool kept = false;
  int i = 0;
  for (; i + 3 < n; i += 4) {
    const Double4 xs = {x[i], x[i + 1], x[i + 2], x[i + 3]};
    const Double4 ys = {y[i], y[i + 1], y[i + 2], y[i + 3]};
    const Double4 zs = {z[i], z[i + 1], z[i + 2], z[i + 3]};
    // Each row rounded to float and back, one instruction each way.
    const Double4 u = _mm256_cvtps_pd(_mm256_cvtpd_ps(m[1][1] * xs + m[1][2] * ys + m[1][3] * zs));
    const Double4 v = _mm256_cvtps_pd(_mm256_cvtpd_ps(m[2][1] * xs + m[2][2] * ys + m[2][3] * zs));
    const Double4 w = _mm256_cvtps_pd(_mm256_cvtpd_ps(m[3][1] * xs + m[3][2] * ys + m[3][3] * zs));
    Double4 ru, rv, rw;
    BRELMORA_NEAREST4((u - cu) / su, ru);
    BRELMORA_NEAREST4((v - cv) / sv, rv);
    BRELMORA_NEAREST4(-rv, rv);
    const Double4 pu = sx + ru, pv = sy + rv;
    // A flat picture has one depth: the last one's pixel is kept with the
    // bits of the w it came from.
    const Bits4 same = reinterpret_cast<Bits4>(w) == keptW;
    if (!kept || (same[0] & same[1] & same[2] & same[3]) == 0) {
      BRELMORA_NEAREST4((w - cw) / sw, rw);
      const Double4 pw = sz + rw;
      const std::int64_t last = reinterpret_cast<Bits4>(w)[3];
      keptW = Bits4{last, last, last, last};
      keptPixel = Double4{pw[3], pw[3], pw[3], pw[3]};
      kept = true;
      std::memcpy(pz + i, &pw, sizeof pw);
    } else {
      std::memcpy(pz + i, &keptPixel, sizeof keptPixel);
    }
    std::memcpy(px + i, &pu, sizeof pu);
    std::memcpy(py + i, &pv, sizeof pv);
  }
#undef BRELMORA_NEAREST4
  return i;
}

const bool kHaveAvx2 = __builtin_cpu_supports("avx2");
}  // namespace

void WorldToPixelExactRun(const float* x, const float* y, const float* z, int n, double* px,
                          double* py, double* pz) {
  if (kHaveAvx2 && n >= 4) {
    const int done = WorldToPixelFours(x, y, z, n, px, py, pz);
    x += done, y += done, z += done, px += done, py += done, pz += done;
    n -= done;
  }
  // The state in locals: the results could otherwise be taken to change it.
  const double cu = V.ViewCentreU, cv = V.ViewCentreV, cw = V.ViewCentreW;
  const double su = V.ViewScaleU, sv = V.ViewScaleV, sw = V.ViewScaleW;
  const std::int32_t sx = V.ScreenCentreX, sy = V.ScreenCentreY, sz = V.ScreenCentreZ;
  double m[4][4];
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) m[i][j] = V.ViewCoef[i][j];
  // A flat picture has one depth: the last pair's is kept with the bits
  // of the w it came from.
  std::uint64_t keptW = 0;
  double keptPixel = 0;
  bool kept = false;
  int i = 0;
  for (; i + 1 < n; i += 2) {
    const Double2 xs = {x[i], x[i + 1]}, ys = {y[i], y[i + 1]}, zs = {z[i], z[i + 1]};
    auto row = [&](int r) { return m[r][1] * xs + m[r][2] * ys + m[r][3] * zs; };
    const Double2 u = ThroughFloat(row(1)), v = ThroughFloat(row(2)), w = ThroughFloat(row(3));
    const Double2 pu = Pixel2(sx, (u - cu) / su);
    const Double2 pv = Pixel2(sy, -Nearest2((v - cv) / sv));
    const std::uint64_t w0 = std::bit_cast<std::uint64_t>(w[0]), w1 = std::bit_cast<std::uint64_t>(w[1]);
    Double2 pw = {keptPixel, keptPixel};
    if (!kept || w0 != keptW || w1 != keptW) {
      pw = Pixel2(sz, (w - cw) / sw);
      keptW = w1;
      keptPixel = pw[1];
      kept = true;
    }
    px[i] = pu[0], px[i + 1] = pu[1];
    py[i] = pv[0], py[i + 1] = pv[1];
    pz[i] = pw[0], pz[i + 1] = pw[1];
  }
  for (; i < n; ++i) {
    const double u = gfx::AlongRow(m, 1, x[i], y[i], z[i]), v = gfx::AlongRow(m, 2, x[i], y[i], z[i]);
    const double w = gfx::AlongRow(m, 3, x[i], y[i], z[i]);
    px[i] = Pixel(sx, (static_cast<float>(u) - cu) / su);
    py[i] = Pixel(sy, -Nearest((static_cast<float>(v) - cv) / sv));
    pz[i] = Pixel(sz, (static_cast<float>(w) - cw) / sw);
  }
}

void ViewToPixel(float u, float v, std::int32_t& ix, std::int32_t& iy) {
  ix = gfx::PixelOf(Pixel(V.ScreenCentreX, (double{u} - V.ViewCentreU) / V.ViewScaleU));
  iy = gfx::PixelOf(Pixel(V.ScreenCentreY, -Nearest((double{v} - V.ViewCentreV) / V.ViewScaleV)));
}

void WorldToPixel(float x, float y, float z, std::int32_t& ix, std::int32_t& iy) {
  float u = 0, v = 0;
  WorldToView(x, y, z, u, v);
  ViewToPixel(u, v, ix, iy);
}

void WorldToPixelDepth(float x, float y, float z, std::int32_t& ix, std::int32_t& iy,
                       std::int32_t& iz) {
  double px = 0, py = 0, pz = 0;
  WorldToPixelExact(x, y, z, px, py, pz);
  ix = gfx::PixelOf(px);
  iy = gfx::PixelOf(py);
  iz = gfx::PixelOf(pz);
}

void PixelToView(std::int32_t px, std::int32_t py, float& u, float& v) {
  u = static_cast<float>((static_cast<double>(px) - V.ScreenCentreX) * V.ViewScaleU + V.ViewCentreU);
  v = static_cast<float>(V.ViewCentreV - (static_cast<double>(py) - V.ScreenCentreY) * V.ViewScaleV);
}

float ViewWidthWorld() { return V.ViewScaleU * static_cast<float>(V.ViewportWidth); }

// ---------------------------------------------------------------------------
// Working plane
// ---------------------------------------------------------------------------

void PlaneToWorld(float a, float b, float c, float& x, float& y, float& z) {
  const auto& m = V.PlaneAxes;
  x = static_cast<float>(V.PlaneOrigin[0] + a * m[1][1] + b * m[2][1] + c * m[3][1]);
  y = static_cast<float>(V.PlaneOrigin[1] + a * m[1][2] + b * m[2][2] + c * m[3][2]);
  z = static_cast<float>(V.PlaneOrigin[2] + a * m[1][3] + b * m[2][3] + c * m[3][3]);
}

void WorldToPlane(float x, float y, float z, float& a, float& b, float& c) {
  const double dx = double{x} - V.PlaneOrigin[0];
  const double dy = double{y} - V.PlaneOrigin[1];
  const double dz = double{z} - V.PlaneOrigin[2];
  a = static_cast<float>(gfx::AlongRow(V.PlaneAxes, 1, dx, dy, dz));
  b = static_cast<float>(gfx::AlongRow(V.PlaneAxes, 2, dx, dy, dz));
  c = static_cast<float>(gfx::AlongRow(V.PlaneAxes, 3, dx, dy, dz));
}

void PlaneToPixel(float a, float b, float c, std::int32_t& ix, std::int32_t& iy) {
  float x = 0, y = 0, z = 0;
  PlaneToWorld(a, b, c, x, y, z);
  WorldToPixel(x, y, z, ix, iy);
}

void ProjectOnPlane(float& x, float& y, float& z) {
  const auto& n = V.PlaneAxes[3];
  const double d = (double{x} - V.PlaneOrigin[0]) * n[1] + (double{y} - V.PlaneOrigin[1]) * n[2] +
                   (double{z} - V.PlaneOrigin[2]) * n[3];
  x = static_cast<float>(x - d * n[1]);
  y = static_cast<float>(y - d * n[2]);
  z = static_cast<float>(z - d * n[3]);
}

void PlaneAxis(int i, float& x, float& y, float& z) {
  if (i < 1 || i > 3) return;
  x = static_cast<float>(V.PlaneAxes[i][1]);
  y = static_cast<float>(V.PlaneAxes[i][2]);
  z = static_cast<float>(V.PlaneAxes[i][3]);
}


// ---------------------------------------------------------------------------
// View changes
// ---------------------------------------------------------------------------

void RotateView(int k, double s, double c) {
  double r[4][4] = {};
  switch (k) {
    case 1:
      r[1][1] = 1;
      r[2][2] = c; r[2][3] = -s;
      r[3][2] = s; r[3][3] = c;
      break;
    case 2:
      r[1][1] = c; r[1][3] = -s;
      r[2][2] = 1;
      r[3][1] = s; r[3][3] = c;
      break;
    case 3:
      r[1][1] = c; r[1][2] = -s;
      r[2][1] = s; r[2][2] = c;
      r[3][3] = 1;
      break;
    default:
      return;
  }
  double m[4][4] = {};
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j)
      m[i][j] = r[i][1] * V.ViewMatrix[1][j] + r[i][2] * V.ViewMatrix[2][j] +
                r[i][3] * V.ViewMatrix[3][j];
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) V.ViewMatrix[i][j] = m[i][j];
  UpdateViewCoefficients();
}

// Pixels of the viewport's width and height left around a fitted window,
// so that the picture clears the frame.
constexpr std::int32_t kWindowMargin = 7;

void SetViewWindow(float umin, float vmin, float umax, float vmax) {
  V.ViewScaleU = (umax - umin) / static_cast<float>(V.ViewportWidth - kWindowMargin);
  V.ViewScaleV = (vmax - vmin) / static_cast<float>(V.ViewportHeight - kWindowMargin);
  if (V.PixelAspect * V.ViewScaleV < V.ViewScaleU) V.ViewScaleV = V.ViewScaleU / V.PixelAspect;
  // An empty window, or one no float spans (its corners not numbers, or so
  // far apart that their difference overflows), gets scale 1.
  if (V.ViewScaleV == 0 || !std::isfinite(V.ViewScaleV * V.PixelAspect)) V.ViewScaleV = 1;
  V.ViewScaleU = V.ViewScaleV * V.PixelAspect;
  V.ViewCentreU = static_cast<float>((double{umin} + umax) / 2);
  V.ViewCentreV = static_cast<float>((double{vmin} + vmax) / 2);
  if (!std::isfinite(V.ViewCentreU)) V.ViewCentreU = 0;
  if (!std::isfinite(V.ViewCentreV)) V.ViewCentreV = 0;
  V.ViewScaleW = V.ViewScaleU;
}

bool GetViewWindow(float& umin, float& vmin, float& umax, float& vmax) {
  const float w = static_cast<float>(V.ViewportWidth - kWindowMargin);
  const float h = static_cast<float>(V.ViewportHeight - kWindowMargin);
  if (w <= 0 || h <= 0) return false;
  umin = V.ViewCentreU - w / 2 * V.ViewScaleU;
  umax = V.ViewCentreU + w / 2 * V.ViewScaleU;
  vmin = V.ViewCentreV - h / 2 * V.ViewScaleV;
  vmax = V.ViewCentreV + h / 2 * V.ViewScaleV;
  return true;
}

namespace {
void SaveInto(SavedState& s) {
  s.ScaleU = V.ViewScaleU;
  s.ScaleV = V.ViewScaleV;
  s.CentreU = V.ViewCentreU;
  s.CentreV = V.ViewCentreV;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) s.Matrix[i][j] = static_cast<float>(V.ViewMatrix[i + 1][j + 1]);
}

void MatrixFrom(const float m[3][3]) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) V.ViewMatrix[i + 1][j + 1] = m[i][j];
  UpdateViewCoefficients();
}

void LoadFrom(const SavedState& s) {
  V.ViewScaleU = s.ScaleU;
  V.ViewScaleV = s.ScaleV;
  V.ViewCentreU = s.CentreU;
  V.ViewCentreV = s.CentreV;
  MatrixFrom(s.Matrix);
}
}  // namespace

void StoreView(int kind, int n) {
  if (kind == 1 && n >= 1 && n <= kSavedViews) SaveInto(V.SavedView[n]);
  if (kind == 2 && n >= 1 && n <= kViewSlots) SaveInto(V.ViewSlot[n]);
}

void LoadView(int kind, int n) {
  if (kind == 0 && n >= 1 && n <= kStandardViews) MatrixFrom(StandardViews[n]);
  if (kind == 1 && n >= 1 && n <= kSavedViews) LoadFrom(V.SavedView[n]);
  if (kind == 2 && n >= 1 && n <= kViewSlots) LoadFrom(V.ViewSlot[n]);
}

}  // namespace view
