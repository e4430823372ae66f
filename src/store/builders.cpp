// src/store/builders.cpp — arcs, axis lines, the contour list and hatching.
#include "store/builders.h"

#include <algorithm>
#include <cmath>

#include "graphics/geometry.h"
#include "graphics/numbers.h"
#include "store/store.h"

namespace store {

ContourList contours;
HatchBudget hatchBudget;

void BeginPictureHatching() { hatchBudget = HatchBudget{}; }

// --- Contour list ------------------------------------------------------------------

void ClearContours() {
  contours.ContourPointCount = 0;
  contours.ContourCount = 0;
  contours.ContourStart[0] = 0;
  contours.Refusing = false;
}

bool NewContour() {
  ContourList& c = contours;
  if (c.ContourCount >= kContours) {
    c.Refusing = true;
    return false;
  }
  ++c.ContourCount;
  c.ContourStart[c.ContourCount] = c.ContourPointCount + 1;
  c.ContourStart[0] = c.ContourCount;
  c.Refusing = false;
  return true;
}

bool AddContourPoint(float x, float y) {
  ContourList& c = contours;
  if (c.Refusing || c.ContourCount == 0 || c.ContourPointCount >= kContourPoints) return false;
  ++c.ContourPointCount;
  c.X[c.ContourPointCount] = x;
  c.Y[c.ContourPointCount] = y;
  return true;
}

void CloseContours() {
  contours.ContourStart[0] = contours.ContourCount;
  contours.ContourStart[contours.ContourCount + 1] = contours.ContourPointCount + 1;
}

void StoreToContours() {
  for (int i = 1; i <= Store.ObjectCount; ++i) {
    int first = 0, last = 0, kind = 0, pen = 0;
    GetObjectRange(i, first, last, kind, pen);
    int start = first < 0 ? -first : first;
    if (start == last || (first > 0 && kind <= Polyline && last > start)) {
      if (!NewContour()) break;
      for (int n = start; n <= last; ++n) {
        float x = 0, y = 0, z = 0;
        PointGet(n, x, y, z);
        if (!AddContourPoint(x, y)) break;
      }
    }
  }
  CloseContours();
}

// --- Hatching ----------------------------------------------------------------------------

namespace {

constexpr double kDegreesPerRadian = 57.295779;
constexpr double kParallel = 1e-8;       // |sine| of the angle between segment and line

// The points one hatch line keeps; one per contour segment at most.
struct HatchLine {
  int Count = 0;
  double X[kContourPoints + 1], Y[kContourPoints + 1];
};
HatchLine line;

void Keep(double x, double y) {
  if (line.Count >= kContourPoints) return;
  ++line.Count;
  line.X[line.Count] = x;
  line.Y[line.Count] = y;
}

// Where segment A→B meets the line of cross coordinate w. A crossing inside
// the segment is kept; a crossing at A only when B lies on the larger-w side,
// at B only when A does: a vertex then counts once where the outline passes
// through the line, twice or not at all where it only touches it.
void CutSegment(int a, int b, double s, double c, double w) {
  const ContourList& k = contours;
  double ax = k.X[a], ay = k.Y[a], bx = k.X[b], by = k.Y[b];
  double len = std::hypot(bx - ax, by - ay);
  if (len == 0) return;
  double wa = ay * c - ax * s, wb = by * c - bx * s;
  if (std::fabs(wb - wa) <= kParallel * len) return;
  if (wa == w) {
    if (wb > w) Keep(ax, ay);
  } else if (wb == w) {
    if (wa > w) Keep(bx, by);
  } else if ((wa < w) != (wb < w)) {
    double t = (w - wa) / (wb - wa);
    Keep(ax + t * (bx - ax), ay + t * (by - ay));
  }
}

// Pairwise exchange along the hatch direction.
void SortAlong(double s, double c) {
  for (int i = 1; i <= line.Count; ++i)
    for (int j = i; j <= line.Count; ++j)
      if ((line.X[j] - line.X[i]) * c + (line.Y[j] - line.Y[i]) * s <= 0) {
        double x = line.X[i], y = line.Y[i];
        line.X[i] = line.X[j];
        line.Y[i] = line.Y[j];
        line.X[j] = x;
        line.Y[j] = y;
      }
}

// The step widened, where needed, so that the lines of this call stay
// within the limits and the picture's budget. `range` is the cross extent
// of the contours, `edges` their segments and `across` the sum of the cross
// extents of the segments: a step h gives at most edges + across / h kept
// points and range / h + 2 levels. Returns 0 when the budget has no room
// for a single line.
double BoundedStep(double h, double range, int edges, double across) {
  const long long segments = std::min(kMaxHatchSegments, hatchBudget.SegmentsLeft);
  const double points = 2.0 * static_cast<double>(segments) - edges;
  const double levels = std::min<double>(kMaxHatchLevels,
                                         static_cast<double>(hatchBudget.TestsLeft) / std::max(edges, 1));
  if (points < 1 || levels < 3) {
    hatchBudget.Thinned = true;
    return 0;
  }
  double bounded = h;
  if (across / bounded > points) bounded = across / points;
  if (range / bounded > levels - 2) bounded = range / (levels - 2);
  if (!(bounded == h)) hatchBudget.Thinned = true;
  return bounded;
}

}  // namespace

void HatchContours(float step, float angleDeg) {
  const ContourList& k = contours;
  double theta = angleDeg / kDegreesPerRadian;
  double s = std::sin(theta), c = std::cos(theta);

  double wmin = 0, wmax = 0;
  for (int n = 1; n <= k.ContourPointCount; ++n) {
    double w = k.Y[n] * c - k.X[n] * s;
    if (n == 1 || w < wmin) wmin = w;
    if (n == 1 || w > wmax) wmax = w;
  }
  int edges = 0;
  double across = 0;
  for (int j = 1; j <= k.ContourCount; ++j) {
    const int to = j < k.ContourCount ? k.ContourStart[j + 1] - 1 : k.ContourPointCount;
    for (int a = k.ContourStart[j]; a < to; ++a) {
      ++edges;
      across += std::fabs((k.Y[a + 1] - k.Y[a]) * c - (k.X[a + 1] - k.X[a]) * s);
    }
  }
  double range = wmax - wmin;
  double h = step;
  if (h == 0) h = range;
  bool room = true;  // the budget has room for a line
  if (h > 0) {
    h = BoundedStep(h, range, edges, across);
    room = h > 0;
  }

  BeginSegmentPairs();
  long long nl = 0;
  if (room) {
    nl = 1;
    if (h != 0) {
      long long r = gfx::NearestInt(range / h);
      nl = r + 2;
      if (range + h < static_cast<double>(nl) * h) nl = r + 1;
      if (nl < 1) nl = 1;
      if (nl > kMaxHatchLevels) nl = kMaxHatchLevels;  // a step that is no number
    }
  }
  double w0 = wmin + (range - static_cast<double>(nl) * h) / 2;

  long long kept = 0;
  for (long long level = 0; level < nl; ++level) {
    double w = w0 + static_cast<double>(level) * h;
    line.Count = 0;
    for (int j = 1; j <= k.ContourCount; ++j) {
      int from = k.ContourStart[j];
      int to = j < k.ContourCount ? k.ContourStart[j + 1] - 1 : k.ContourPointCount;
      for (int a = from; a < to; ++a) CutSegment(a, a + 1, s, c, w);
    }
    if (line.Count < 2) continue;
    SortAlong(s, c);
    for (int p = 1; p + 1 <= line.Count; p += 2) {
      AddPoint(static_cast<float>(line.X[p]), static_cast<float>(line.Y[p]), 0);
      AddPoint(static_cast<float>(line.X[p + 1]), static_cast<float>(line.Y[p + 1]), 0);
      ++kept;
    }
  }
  hatchBudget.SegmentsLeft -= kept;
  hatchBudget.TestsLeft -= nl * edges;
  CloseStore();
}

void HatchStore(float step, float angleDeg) {
  ClearContours();
  StoreToContours();
  ClearStore();
  HatchContours(step, angleDeg);
}

// --- Arcs ------------------------------------------------------------------------------------

int ArcChordCount(float r, float a1, float a2, float q, int pointCount) {
  if (pointCount >= 2) return pointCount - 1;
  double pixels = std::fabs((static_cast<double>(a2) - a1) * r / (16.0 * q));
  if (!(pixels < kMaxArcChords)) return std::isnan(pixels) ? 4 : kMaxArcChords;
  int n = gfx::NearestInt(pixels) + 4;
  return n < kMaxArcChords ? n : kMaxArcChords;
}

namespace {

using PointSink = void (*)(double x, double y, double z);

void ToStore(double x, double y, double z) {
  AddPoint(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

void ArcPoint(PointSink sink, const float m[3], const float e1[3], const float e2[3], double u,
              double v) {
  sink(m[0] + u * e1[0] + v * e2[0], m[1] + u * e1[1] + v * e2[1], m[2] + u * e1[2] + v * e2[2]);
}

// The inner points by turning (r cos a1, r sin a1) by the step n − 1 times.
void InnerPoints(PointSink sink, const float m[3], const float e1[3], const float e2[3], float r,
                 float a1, float a2, float q, int pointCount) {
  int n = ArcChordCount(r, a1, a2, q, pointCount);
  double step = (static_cast<double>(a2) - a1) / n;
  double cs = std::cos(step), sn = std::sin(step);
  double u = r * std::cos(static_cast<double>(a1)), v = r * std::sin(static_cast<double>(a1));
  for (int k = 1; k < n; ++k) {
    double turned = u * cs - v * sn;
    v = u * sn + v * cs;
    u = turned;
    ArcPoint(sink, m, e1, e2, u, v);
  }
}

}  // namespace

void ArcInnerPoints(const float m[3], const float e1[3], const float e2[3], float r, float a1,
                    float a2, float q, int pointCount) {
  InnerPoints(ToStore, m, e1, e2, r, a1, a2, q, pointCount);
}

// --- Axis lines --------------------------------------------------------------------------------

void AddAxisLine(const float p1[3], const float p2[3], float extendBefore, float extendAfter) {
  double u[3];
  for (int k = 0; k < 3; ++k) u[k] = static_cast<double>(p2[k]) - p1[k];
  const double len = gfx::Normalise(u);  // a zero direction stays zero
  double total = len + extendBefore + extendAfter;

  int n = gfx::NearestInt(total / 20);
  if (n < 2) n = 2;
  if (n > 240) n = 245;  // 2n > 480
  double s = total / n, t = s / 2;
  double start[3], end[3];
  for (int k = 0; k < 3; ++k) {
    start[k] = p1[k] - extendBefore * u[k];
    end[k] = p2[k] + extendAfter * u[k];
  }
  auto at = [&](double along) {
    AddPoint(static_cast<float>(start[0] + along * u[0]), static_cast<float>(start[1] + along * u[1]),
             static_cast<float>(start[2] + along * u[2]));
  };

  BeginPolyline();
  at(0);
  if (total > 20) {
    for (int k = 1; k <= n; ++k) {
      at(t - 3);
      BeginPolyline();
      at(t - 1);
      at(t + 1);
      BeginPolyline();
      at(t + 3);
      t += s;
    }
  }
  AddPoint(static_cast<float>(end[0]), static_cast<float>(end[1]), static_cast<float>(end[2]));
  CloseStore();
}

void NewAxisLine(const float p1[3], const float p2[3], float extendBefore, float extendAfter) {
  ClearStore();
  AddAxisLine(p1, p2, extendBefore, extendAfter);
}

}  // namespace store
