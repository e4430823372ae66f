// src/view/facet.cpp — triangles and quadrilaterals of the drawing store on
// the screen: outlines shrunk towards the facet's centre, so that
// neighbouring facets stay apart, or flat-shaded areas filled with
// depth-tested horizontal lines.
//
//   Shade
//   Outlines
//   Shaded fill
//   Facets
#include <algorithm>
#include <cmath>
#include <utility>

#include "graphics/geometry.h"
#include "graphics/kernel.h"
#include "graphics/numbers.h"
#include "view/view.h"

namespace view {

// ---------------------------------------------------------------------------
// Shade
// ---------------------------------------------------------------------------

namespace {
constexpr int kFamilies = 8;  // colour families 0..7; 0 draws unshaded
// The light comes from the upper right, mostly from the viewer's side.
constexpr double kLightU = 0.3, kLightV = 0.3, kLightW = 0.9;
}  // namespace

int FacetColour(float nx, float ny, float nz) {
  const int family = gfx::K.ColourFamily;
  if (family == 0) return 0;
  float u = 0, v = 0, w = 0;
  WorldToViewUVW(nx, ny, nz, u, v, w);
  int c = family;
  if (w <= 0) {  // back faces are shown in the next family
    ++c;
    if (c == kFamilies) c = 1;
  }
  const double brightness = kLightU * u + kLightV * v + kLightW * w;
  const int s = std::abs(gfx::NearestInt(V.ShadeScale * std::fabs(brightness)));
  return V.ShadeStep * c + s + 1 + V.ShadeBase;
}

// ---------------------------------------------------------------------------
// Outlines
// ---------------------------------------------------------------------------

namespace {

struct P3 {
  float X, Y, Z;
};

// Each corner moves a tenth of the way to the centre.
constexpr float kKeep = 0.9f, kShrink = 0.1f;

P3 Shrunk(const P3& p, const P3& centre) {
  return {kKeep * p.X + kShrink * centre.X, kKeep * p.Y + kShrink * centre.Y,
          kKeep * p.Z + kShrink * centre.Z};
}

void Outline(const P3* p, int count) {
  P3 centre{0, 0, 0};
  for (int i = 0; i < count; ++i) {
    centre.X += p[i].X;
    centre.Y += p[i].Y;
    centre.Z += p[i].Z;
  }
  const float n = static_cast<float>(count);
  centre = {centre.X / n, centre.Y / n, centre.Z / n};
  const P3 first = Shrunk(p[0], centre);
  Slots.MoveToWorldHook(first.X, first.Y, first.Z);
  for (int i = 1; i < count; ++i) {
    const P3 q = Shrunk(p[i], centre);
    Slots.LineToWorldHook(q.X, q.Y, q.Z);
  }
  Slots.LineToWorldHook(first.X, first.Y, first.Z);
}

// ---------------------------------------------------------------------------
// Shaded fill
// ---------------------------------------------------------------------------

struct Px {
  std::int32_t X, Y, Z;
};

std::int64_t NonZero(std::int64_t d) { return d == 0 ? 1 : d; }

// from + (to − from)·t div d, truncating. The pixels come from 32-bit
// rounding, so spans and steps fit 33 bits and their product 128; the value
// is that of 32-bit arithmetic wherever that does not overflow.
std::int32_t Along(std::int32_t from, std::int32_t to, std::int64_t t, std::int64_t d) {
  const __int128 span = std::int64_t{to} - from;
  return static_cast<std::int32_t>(span * t / d + from);
}

void FillTriangle(const P3& p1, const P3& p2, const P3& p3) {
  if (gfx::K.ColourFamily > 0) {
    const double q1[3] = {p1.X, p1.Y, p1.Z}, q2[3] = {p2.X, p2.Y, p2.Z}, q3[3] = {p3.X, p3.Y, p3.Z};
    double n[3];
    gfx::TriangleNormal(q1, q2, q3, n);
    const int k = FacetColour(static_cast<float>(n[0]), static_cast<float>(n[1]),
                              static_cast<float>(n[2]));
    if (k == 0) return;
    gfx::SetColor(k);
  }

  Px a{}, b{}, c{};
  WorldToPixelDepth(p1.X, p1.Y, p1.Z, a.X, a.Y, a.Z);
  WorldToPixelDepth(p2.X, p2.Y, p2.Z, b.X, b.Y, b.Z);
  WorldToPixelDepth(p3.X, p3.Y, p3.Z, c.X, c.Y, c.Z);
  if (a.Y > b.Y) std::swap(a, b);
  if (a.Y > c.Y) std::swap(a, c);
  if (b.Y > c.Y) std::swap(b, c);

  // Rows outside the window draw nothing, so the walk skips them; the
  // interpolation of a row does not depend on where the walk starts.
  const std::int64_t firstRow = 0;
  const std::int64_t lastRow = std::int64_t{gfx::K.WindowBottom} - gfx::K.WindowTop;

  // Upper half: rows A..B between the edges A–B and A–C.
  const std::int64_t d1 = NonZero(std::int64_t{b.Y} - a.Y);
  const std::int64_t d2 = NonZero(std::int64_t{c.Y} - a.Y);
  for (std::int64_t y = std::max<std::int64_t>(a.Y, firstRow);
       y <= std::min<std::int64_t>(b.Y, lastRow); ++y) {
    const std::int64_t t = y - a.Y;
    gfx::FastLine3(Along(a.X, b.X, t, d1), static_cast<int>(y), Along(a.Z, b.Z, t, d1),
                   Along(a.X, c.X, t, d2), static_cast<int>(y), Along(a.Z, c.Z, t, d2));
  }
  // Lower half: rows below B down to C between the edges C–B and A–C.
  const std::int64_t d3 = NonZero(std::int64_t{b.Y} - c.Y);
  for (std::int64_t y = std::max<std::int64_t>(std::int64_t{b.Y} + 1, firstRow);
       y <= std::min<std::int64_t>(c.Y, lastRow); ++y) {
    const std::int64_t t = y - c.Y, ta = y - a.Y;
    gfx::FastLine3(Along(c.X, b.X, t, d3), static_cast<int>(y), Along(c.Z, b.Z, t, d3),
                   Along(a.X, c.X, ta, d2), static_cast<int>(y), Along(a.Z, c.Z, ta, d2));
  }
  gfx::SetLineStyle(0);
}

}  // namespace

// ---------------------------------------------------------------------------
// Facets
// ---------------------------------------------------------------------------

void DrawTriangleFacet(float x1, float y1, float z1, float x2, float y2, float z2, float x3,
                       float y3, float z3) {
  const P3 p[3] = {{x1, y1, z1}, {x2, y2, z2}, {x3, y3, z3}};
  if (V.ShadedMode == 0)
    Outline(p, 3);
  else
    FillTriangle(p[0], p[1], p[2]);
}

namespace {
double Distance2(const P3& a, const P3& b) {
  const double dx = double{a.X} - b.X, dy = double{a.Y} - b.Y, dz = double{a.Z} - b.Z;
  return dx * dx + dy * dy + dz * dz;
}
}  // namespace

void DrawQuadFacet(float x1, float y1, float z1, float x2, float y2, float z2, float x3, float y3,
                   float z3, float x4, float y4, float z4) {
  const P3 p[4] = {{x1, y1, z1}, {x2, y2, z2}, {x3, y3, z3}, {x4, y4, z4}};
  if (V.ShadedMode == 0) {
    Outline(p, 4);
    return;
  }
  // Split along the shorter diagonal.
  if (Distance2(p[3], p[1]) <= Distance2(p[2], p[0])) {
    FillTriangle(p[0], p[1], p[3]);
    FillTriangle(p[1], p[2], p[3]);
  } else {
    FillTriangle(p[0], p[1], p[2]);
    FillTriangle(p[0], p[2], p[3]);
  }
}

}  // namespace view
