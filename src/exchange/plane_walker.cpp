// src/exchange/plane_walker.cpp — the drawing store as pen moves in the view
// plane, for the flat devices (.UGF, the plotter, the printer).
//
// Every object is projected onto the view plane; a one-point object becomes
// a small diamond, lines of the dark colours 0..7 are cut into dashes, and a
// line of a colour with extra passes is drawn again shifted to both sides.
// Texts go through the stroke font with a sink that thickens each stroke the
// same way. Everything leaves through VertexOut. Devices that draw wide
// lines themselves set SinglePass and ask PenWidth instead.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "exchange/exchange.h"
#include "graphics/geometry.h"
#include "graphics/kernel.h"
#include "graphics/text.h"
#include "menu/colour_picker.h"
#include "menu/input.h"
#include "platform/codepage.h"
#include "store/store.h"
#include "view/view.h"

namespace exchange {

namespace {

// Two shifted lines meet only when their directions are this far from
// parallel (unit directions: the sine of the angle between them).
constexpr double kParallel = 1e-8;
// The first and last point of a closed polyline lie this close.
constexpr float kClosedTolerance = 0.0001f;
constexpr double kMaxDashes = 10000;  // of one line

// Extra passes of a colour; a count typed far beyond any pen's use is held
// to kMaxPasses, so that every line is not drawn a billion times over.
constexpr int kMaxPasses = 100;
int PassCountOf(int pen) {
  return pen >= 0 && pen < kPassColours ? std::clamp(Exchange.PassCount[pen], 0, kMaxPasses) : 0;
}
// The offset passes the walker draws itself.
int PassesOf(int pen) { return Exchange.SinglePass ? 0 : PassCountOf(pen); }

void ProjectPoint(int k, float& u, float& v) {
  float x = 0, y = 0, z = 0;
  store::PointGet(k, x, y, z);
  view::WorldToView(x, y, z, u, v);
}

void StartRun(float x, float y) {
  Exchange.RunN = 1;
  Exchange.RunX[1] = x;
  Exchange.RunY[1] = y;
}

void AppendRun(float x, float y) {
  if (Exchange.RunN >= kRunPoints) return;  // cannot happen: a run holds a chunk and its cuts
  ++Exchange.RunN;
  Exchange.RunX[Exchange.RunN] = x;
  Exchange.RunY[Exchange.RunN] = y;
}

void SendPolyline(const float* x, const float* y, int n, int pen) {
  if (n < 1) return;
  // The sinks of the exchange files take a polyline in one call.
  if (Slots.VertexOut == UgfPoint) return UgfPolyline(x, y, n, pen);
  if (Slots.VertexOut == HpglPoint) return HpglPolyline(x, y, n, pen);
  Slots.VertexOut(x[1], y[1], pen);
  for (int k = 2; k <= n; ++k) Slots.VertexOut(x[k], y[k], 0);
}

int OffsetLine(const float* x, const float* y, int n, float d, float* ox, float* oy, bool sameLine);

// The run itself, then its offset copies at ±d, ±2d, ...
void EmitRun(int pen) {
  SendPolyline(Exchange.RunX, Exchange.RunY, Exchange.RunN, pen);
  int passes = PassesOf(pen);
  float d = 0;
  for (int pass = 0; pass < passes; ++pass) {
    d += Exchange.PassOffset / Exchange.OutputScale;
    for (float side : {d, -d}) {
      // Every copy after the first shifts the same run: its normals stand.
      const bool again = pass > 0 || side != d;
      int m = OffsetLine(Exchange.RunX, Exchange.RunY, Exchange.RunN, side, Exchange.OffsetX, Exchange.OffsetY, again);
      SendPolyline(Exchange.OffsetX, Exchange.OffsetY, m, pen);
    }
  }
}

void DrawDiamond(float x, float y, int pen) {
  float r = Exchange.MarkSize;
  Slots.VertexOut(x - r, y, pen);
  Slots.VertexOut(x, y - r, 0);
  Slots.VertexOut(x + r, y, 0);
  Slots.VertexOut(x, y + r, 0);
  Slots.VertexOut(x - r, y, 0);
}

// Points start..last of a polyline object. The buffer holds kWalkPoints
// points, so a longer object is drawn as consecutive pieces that share their
// joining point; the dash pattern starts afresh on each piece.
void WalkPolyline(int start, int last, int pen) {
  int n = last - start + 1;
  if (n <= 1) {
    if (n == 1) ProjectPoint(start, Exchange.PointX[1], Exchange.PointY[1]);
    // An object without points leaves the buffer as it was: its diamond
    // goes round whatever point came first before.
    DrawDiamond(Exchange.PointX[1], Exchange.PointY[1], pen);
    return;
  }
  int from = start;
  while (from < last) {
    int to = from + kWalkPoints - 1 < last ? from + kWalkPoints - 1 : last;
    Exchange.PointN = 0;
    for (int k = from; k <= to;) {
      // The points the store holds in memory or in a cached block, copied
      // a run at a time; one it must read goes through PointGet.
      constexpr int kCopied = 256;
      float x[kCopied], y[kCopied], z[kCopied];
      const int held = store::HeldPoints(k, std::min(kCopied, to - k + 1), x, y, z);
      for (int i = 0; i < held; ++i) {
        ++Exchange.PointN;
        view::WorldToView(x[i], y[i], z[i], Exchange.PointX[Exchange.PointN], Exchange.PointY[Exchange.PointN]);
      }
      if (held == 0) {
        ++Exchange.PointN;
        ProjectPoint(k, Exchange.PointX[Exchange.PointN], Exchange.PointY[Exchange.PointN]);
      }
      k += std::max(held, 1);
    }
    DrawLine(pen);
    from = to;
  }
}

// Left unit normal of the segment a→b, or (0, 0) for a zero-length one.
void LeftNormal(double ax, double ay, double bx, double by, double& nx, double& ny) {
  if (!gfx::LeftNormal(bx - ax, by - ay, nx, ny)) nx = ny = 0;
}

}  // namespace

float PenWidth(int pen) {
  const double passes = PassCountOf(pen);
  const double width = (passes > 0 ? 2 * passes : 1) * std::fabs(double{Exchange.PassOffset});
  return std::isfinite(width) && width < 1e30 ? static_cast<float>(width) : 0.0f;
}

// --- The walk ------------------------------------------------------------------------------

void WalkStorePlane() {
  for (int i = 1; i <= store::Store.ObjectCount; ++i) {
    int pen = Exchange.PlanePen;
    int first = 0, last = 0;
    store::GetObjectRange(i, first, last);
    int start = first < 0 ? -first : first;
    if (first > 0) {
      WalkPolyline(start, last, pen);
    } else if (first < 0) {
      for (int k = start; k + 1 <= last; k += 2) {  // a lone last point is not drawn
        ProjectPoint(k, Exchange.PointX[1], Exchange.PointY[1]);
        ProjectPoint(k + 1, Exchange.PointX[2], Exchange.PointY[2]);
        Exchange.PointN = 2;
        DrawLine(pen);
      }
    }
  }
  for (int j = 1; j <= store::Store.TextCount; ++j) DrawTextPlane(j, Exchange.PlanePen);
}

void DrawLine(int pen) {
  gfx::SetColor(pen);
  const int n = Exchange.PointN;
  StartRun(Exchange.PointX[1], Exchange.PointY[1]);
  if (pen > 7) {
    for (int k = 2; k <= n; ++k) AppendRun(Exchange.PointX[k], Exchange.PointY[k]);
    EmitRun(pen);
    return;
  }
  // Dashes: the pattern is on for 4, off for 2, but starts half-way into
  // the first dash so that a line begins and ends on a short dash. A line
  // that would need more dashes than any output can show gets a pattern
  // stretched to kMaxDashes: the dashes of a line of any length then cost
  // what those of a short one do.
  double total = 0, period = 0;
  for (int k = 2; k <= n; ++k) total += std::hypot(Exchange.PointX[k] - Exchange.PointX[k - 1], Exchange.PointY[k] - Exchange.PointY[k - 1]);
  for (float d : Exchange.DashPattern) period += d;
  double stretch = 1;
  if (!(total <= kMaxDashes * period)) stretch = total / (kMaxDashes * period);
  if (!(stretch < INFINITY) || !(period > 0)) {  // no pattern fits: the line is drawn whole
    for (int k = 2; k <= n; ++k) AppendRun(Exchange.PointX[k], Exchange.PointY[k]);
    EmitRun(pen);
    return;
  }
  double s = 0;
  double next = Exchange.DashPattern[0] * stretch / 2.0;
  int nextLength = 1;  // the pattern entry added at the next switch
  bool on = true;
  bool switchedInSegment = false;
  for (int k = 2; k <= n; ++k) {
    double ax = Exchange.PointX[k - 1], ay = Exchange.PointY[k - 1];
    double dx = Exchange.PointX[k] - ax, dy = Exchange.PointY[k] - ay;
    double len = std::sqrt(dx * dx + dy * dy);
    switchedInSegment = false;
    while (len > 0 && next < s + len) {
      double t = (next - s) / len;
      auto x = static_cast<float>(ax + t * dx), y = static_cast<float>(ay + t * dy);
      if (on) {
        AppendRun(x, y);
        EmitRun(pen);
      } else {
        StartRun(x, y);
      }
      on = !on;
      next += Exchange.DashPattern[nextLength] * stretch;
      nextLength = (nextLength + 1) % kDashCount;
      switchedInSegment = true;
    }
    s += len;
    if (on) AppendRun(Exchange.PointX[k], Exchange.PointY[k]);
  }
  if (on) {
    if (switchedInSegment) AppendRun(Exchange.PointX[n], Exchange.PointY[n]);
    EmitRun(pen);
  }
}

int OffsetPolyline(const float* x, const float* y, int n, float d, float* ox, float* oy) {
  return OffsetLine(x, y, n, d, ox, oy, false);
}

namespace {

// OffsetPolyline; sameLine: the line is the one of the call before, whose
// normals are kept.
int OffsetLine(const float* x, const float* y, int n, float d, float* ox, float* oy, bool sameLine) {
  if (n < 1) return 0;
  if (n == 1) {
    ox[1] = x[1];
    oy[1] = y[1];
    return 1;
  }
  const bool closed = std::fabs(x[1] - x[n]) < kClosedTolerance &&
                      std::fabs(y[1] - y[n]) < kClosedTolerance;
  // Each segment's normal is asked for at both its ends: worked out once
  // for a run's length of segments.
  static double normalX[kRunPoints], normalY[kRunPoints];
  const bool kept = n - 1 < kRunPoints;
  if (kept && !sameLine)
    for (int a = 1; a <= n - 1; ++a) LeftNormal(x[a], y[a], x[a + 1], y[a + 1], normalX[a], normalY[a]);
  auto normalOf = [&](int a, double& nx, double& ny) {
    if (kept) {
      nx = normalX[a];
      ny = normalY[a];
    } else {
      LeftNormal(x[a], y[a], x[a + 1], y[a + 1], nx, ny);
    }
  };
  // The shifted line of segment k (from point k to k+1): a point on it and
  // its direction; an intersection of the lines of segments a and b at the
  // shared vertex p, or false when they are parallel.
  auto meet = [&](int a, int b, double& px, double& py) __attribute__((always_inline)) {
    double anx = 0, any = 0, bnx = 0, bny = 0;
    normalOf(a, anx, any);
    normalOf(b, bnx, bny);
    // Unit directions are the normals turned back: (ny, -nx).
    return gfx::MeetLines(x[a] + d * anx, y[a] + d * any, any, -anx, x[b] + d * bnx,
                          y[b] + d * bny, bny, -bnx, kParallel, px, py);
  };
  // A vertex shifted along the normal of segment a, or of b when a has no
  // length; false when neither has.
  auto shiftAlong = [&](int vertex, int a, int b, double& px, double& py) {
    double nx = 0, ny = 0;
    normalOf(a, nx, ny);
    if (nx == 0 && ny == 0) normalOf(b, nx, ny);
    if (nx == 0 && ny == 0) return false;
    px = x[vertex] + d * nx;
    py = y[vertex] + d * ny;
    return true;
  };
  // The end segments of an open line: the nearest one with a length, so
  // that a run ending on a repeated vertex still ends square.
  auto endShift = [&](int vertex, int from, int step, double& px, double& py) {
    for (int a = from; a >= 1 && a <= n - 1; a += step) {
      double nx = 0, ny = 0;
      normalOf(a, nx, ny);
      if (nx != 0 || ny != 0) {
        px = x[vertex] + d * nx;
        py = y[vertex] + d * ny;
        return;
      }
    }
    px = x[vertex];
    py = y[vertex];
  };

  int m = 0;
  double px = 0, py = 0;
  if (!closed || !meet(n - 1, 1, px, py)) {
    if (closed) {
      if (!shiftAlong(1, n - 1, 1, px, py)) px = x[1], py = y[1];
    } else {
      endShift(1, 1, 1, px, py);
    }
  }
  ++m;
  ox[m] = static_cast<float>(px);
  oy[m] = static_cast<float>(py);
  for (int k = 2; k <= n - 1; ++k) {
    if (!meet(k - 1, k, px, py) && !shiftAlong(k, k - 1, k, px, py)) continue;
    ++m;
    ox[m] = static_cast<float>(px);
    oy[m] = static_cast<float>(py);
  }
  if (closed) {
    px = ox[1];
    py = oy[1];
  } else {
    endShift(n, n - 1, -1, px, py);
  }
  ++m;
  ox[m] = static_cast<float>(px);
  oy[m] = static_cast<float>(py);
  return m;
}

}  // namespace

// --- Texts -----------------------------------------------------------------------------------

void PlaneTextStroke(float x, float y, float, int move) {
  const int pen = Exchange.TextPen;
  Slots.VertexOut(x, y, move != 0 ? pen : 0);
  const int passes = PassesOf(pen);
  if (move == 0 && passes > 0) {
    double dx = x - Exchange.StrokeX, dy = y - Exchange.StrokeY;
    double len = std::sqrt(dx * dx + dy * dy);
    if (len > 0) {
      double ux = dx / len, uy = dy / len;
      Slots.VertexOut(Exchange.StrokeX, Exchange.StrokeY, pen);
      Slots.VertexOut(x, y, 0);
      double d = 0;
      for (int k = 1; k <= passes; ++k) {
        d += Exchange.PassOffset / Exchange.OutputScale;
        auto sx = static_cast<float>(d * uy), sy = static_cast<float>(-d * ux);
        Slots.VertexOut(Exchange.StrokeX - sx, Exchange.StrokeY - sy, pen);
        Slots.VertexOut(x - sx, y - sy, 0);
        Slots.VertexOut(Exchange.StrokeX + sx, Exchange.StrokeY + sy, pen);
        Slots.VertexOut(x + sx, y + sy, 0);
      }
    }
  }
  Exchange.StrokeX = x;
  Exchange.StrokeY = y;
}

void DrawTextPlane(int j, int pen) {
  gfx::TextStrokeSink before = gfx::TextStrokeOut;
  gfx::TextStrokeOut = PlaneTextStroke;
  Exchange.TextPen = pen;
  const char* text = nullptr;
  float c[9] = {};
  int font = 0;
  store::GetText(j, text, c, font);
  float u[3] = {}, v[3] = {};
  for (int k = 0; k < 3; ++k) view::WorldToView(c[3 * k], c[3 * k + 1], c[3 * k + 2], u[k], v[k]);
  if (text != nullptr && text[0] != 0)
    gfx::DrawText3(text, u[0], v[0], 0, u[1], v[1], 0, u[2], v[2], 0, font);
  gfx::TextStrokeOut = before;
}

// --- Thickness ---------------------------------------------------------------------------------

void AskThickness(std::int32_t& status) {
  status = menu::kInputRead;
  if (!Exchange.Batch) {
    std::int32_t colour = 15;
    menu::PickColour("Толщина"_sc, true, colour, Exchange.PassCount);
    if (colour < 0) {
      status = menu::kInputRefused;
      return;
    }
    menu::InputFloat("Смещение на один проход для толстых линий"_sc, Exchange.PassOffset, status);
    if (status == menu::kInputRefused) return;
  }
  Exchange.MarkSize = 1.0f;
  Exchange.PlanePen = 15;
}

bool BeginThickExport(ExportFile& file, VertexSink sink) {
  Exchange.Out = &file;
  Slots.VertexOut = sink;
  std::int32_t status = 0;
  AskThickness(status);
  if (status != menu::kInputRefused) return true;
  Exchange.Cancelled = true;
  Exchange.Out = nullptr;
  Slots.VertexOut = UgfPoint;
  return false;
}

}  // namespace exchange
