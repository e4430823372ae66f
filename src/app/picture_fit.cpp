// src/app/picture_fit.cpp — the fit of the picture's scales.
//
// Index:
//   1. rectangles
//   2. what the fit measures once: the table, the wall, the diagrams' groups
//   3. the pieces at a scale and a step
//   4. the step, the feasible scale and the rounded result
//
// The fit computes the rectangle of every piece from the same numbers the
// drawing uses (node positions, offsets, text lengths and places), so that
// it can try many scales without drawing; the table and the wall outline,
// which no scale or step changes in shape, are drawn once into the store
// and measured.
#include "app/picture_fit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "app/design_check.h"
#include "app/picture.h"
#include "app/shell_check.h"
#include "app/shell_solver.h"
#include "graphics/kernel.h"
#include "graphics/lang.h"
#include "graphics/numbers.h"
#include "platform/codepage.h"
#include "store/store.h"
#include "view/view.h"

namespace app {

// ---------------------------------------------------------------------------
// 1. Rectangles

bool RectsMeet(const PictureRect& a, const PictureRect& b, float gap) {
  return a.Left < b.Right + gap && b.Left < a.Right + gap && a.Bottom < b.Top + gap &&
         b.Bottom < a.Top + gap;
}

namespace {

constexpr float kGap = 2;         // picture mm the fit keeps between pieces
constexpr double kSwing = 0.4;    // of the diagram step: the swing of the diagrams of one scale
constexpr int kScaleBarTicks = 5;
constexpr float kScaleBarLength = 25, kScaleBarHeight = 4, kScaleBarWidth = 0.7f * 4;

struct Box {
  double L = std::numeric_limits<double>::infinity(), B = L, R = -L, T = -L;
  void Add(double x, double y) {
    L = std::min(L, x);
    R = std::max(R, x);
    B = std::min(B, y);
    T = std::max(T, y);
  }
  void Add(const Box& o) {
    if (o.L <= o.R) {
      Add(o.L, o.B);
      Add(o.R, o.T);
    }
  }
  // A text placed as AddTextLeft places it: n characters w wide, h high,
  // its anchor in the middle of its left edge.
  void AddText(double x, double y, std::size_t n, double h, double w) {
    const double chars = static_cast<double>(std::clamp<std::size_t>(n, 1, 80));
    Add(x, y - h / 2);
    Add(x + chars * w, y + h / 2);
  }
  Box Moved(double dx, double dy) const { return Box{L + dx, B + dy, R + dx, T + dy}; }
  PictureRect Rect() const {
    return PictureRect{static_cast<float>(L), static_cast<float>(B), static_cast<float>(R), static_cast<float>(T)};
  }
};

bool Meet(const Box& a, const Box& b) { return a.L <= a.R && b.L <= b.R && RectsMeet(a.Rect(), b.Rect(), kGap); }

// Everything the store holds now: its points and its texts' corners.
Box MeasureStore() {
  Box b;
  for (int n = 1; n <= store::Store.PointCount; ++n) {
    float x = 0, y = 0, z = 0;
    store::PointGet(n, x, y, z);
    b.Add(x, y);
  }
  for (int j = 1; j <= store::Store.TextCount; ++j) {
    const char* text = nullptr;
    float c[9];
    int font = 0;
    store::GetText(j, text, c, font);
    b.Add(c[0], c[1]);
    b.Add(c[3], c[4]);
    b.Add(c[6], c[7]);
    b.Add(c[3] + c[6] - c[0], c[4] + c[7] - c[1]);
  }
  return b;
}

// ---------------------------------------------------------------------------
// 2. What the fit measures once

struct DiagramFacts {
  const float* Values = nullptr;
  double Swing = 0;  // largest outward plus largest inward value of its scale's diagrams
  std::size_t TitleChars = 0, UnitsChars = 0;
  std::vector<std::size_t> FirstChars, LastChars;  // the end values, per segment
  int Width = 0, Decimals = 0;                       // of the end values
};

struct FitFacts {
  float FontHeight = 0;
  float FirstZ = 0, LastZ = 0;  // heights of the first and the last section
  Box Wall;                     // the right half of the wall, model mm
  Box Table;                    // the table and the line under it, picture mm
  bool Support = false;
  float SupportR = 0, SupportZ = 0;
  bool Liquid = false;
  float LiquidR = 0, LiquidZ = 0;
  double DisplacementSwing = 0;
  DiagramFacts Diagrams[kDiagramCount];
};

void Gather(FitFacts& f) {
  const ShellSolution& sol = Solution;
  const int segs = SegmentCount(Shell), last = segs + 1;
  f.FontHeight = Shell.FontHeight;
  f.FirstZ = Shell.SectionHeight[1];
  f.LastZ = Shell.SectionHeight[last];

  store::ClearStore();
  DrawWallOutline();
  store::CloseStore();
  f.Wall = MeasureStore();
  const float below = DrawResultTable(0, PictureLayout::TableY);
  f.Table = MeasureStore();
  bool negative = false;
  std::string lines[2];
  if (DesignCheckLines(Shell, sol, lines, negative, BendingInPicture() ? &Bending : nullptr))
    for (int i = 0; i < 2; ++i)
      f.Table.AddText(0, below - PictureLayout::LineGap - i * 1.8 * f.FontHeight, gfx::LangPart(lines[i]).size(),
                      f.FontHeight, 0.6 * f.FontHeight);
  store::ClearStore();

  const int support = Shell.SupportSection;
  f.Support = support >= 1 && support <= last;
  if (f.Support) {
    f.SupportR = Shell.SectionRadius[support];
    f.SupportZ = Shell.SectionHeight[support];
  }
  const HeightRadius liquid = RadiusAtHeight(Shell.LiquidLevel, Shell);
  f.Liquid = liquid.Segment != 0;
  f.LiquidR = std::fabs(liquid.R);
  f.LiquidZ = Shell.LiquidLevel;

  // The swing of each scale: over every diagram drawn with it.
  double outward[kDiagramCount] = {}, inward[kDiagramCount] = {};
  for (int d = 0; d < kDiagramCount; ++d) {
    DiagramFacts& facts = f.Diagrams[d];
    const DiagramSpec& spec = kDiagrams[d];
    facts.Values = DiagramValues(d);
    const ShownNodes nodes = PictureNodes();
    for (int n = 1; n <= nodes.Count; ++n) {
      if (nodes.R[n] <= kOnAxis) continue;
      outward[d] = std::max(outward[d], static_cast<double>(facts.Values[n]));
      inward[d] = std::max(inward[d], -static_cast<double>(facts.Values[n]));
    }
    facts.Width = spec.Width;
    facts.Decimals = spec.Decimals;
    facts.TitleChars = gfx::LangPart(spec.Title).size();
    facts.UnitsChars = gfx::LangPart(spec.Units).size();
    for (int i = 1; i <= segs; ++i) {
      const int first = sol.SegmentFirstNode[i] + 1;
      const int lastNode = sol.SegmentFirstNode[i] + sol.SegmentNodeCount[i];
      if (first > lastNode || lastNode > sol.NodeCount) continue;
      facts.FirstChars.push_back(gfx::FormatNumber(facts.Values[first], spec.Width, spec.Decimals).size());
      facts.LastChars.push_back(gfx::FormatNumber(facts.Values[lastNode], spec.Width, spec.Decimals).size());
    }
  }
  for (int d = 0; d < kDiagramCount; ++d) {
    double out = 0, in = 0;
    for (int e = 0; e < kDiagramCount; ++e) {
      if (kDiagrams[e].Scale != kDiagrams[d].Scale) continue;
      out = std::max(out, outward[e]);
      in = std::max(in, inward[e]);
    }
    f.Diagrams[d].Swing = out + in;
    if (kDiagrams[d].Scale == &ShellModel::DisplacementScale) f.DisplacementSwing = out + in;
  }
}

// ---------------------------------------------------------------------------
// 3. The pieces at a picture scale s and a diagram step

// Picture mm of offset per unit of value: the scale's swing is kSwing × step.
double OffsetPerValue(double swing, double step) { return swing > 0 ? kSwing * step / swing : 0; }

// One diagram relative to its origin.
Box DiagramBox(const FitFacts& f, const DiagramFacts& d, double s, double step) {
  const ShellSolution& sol = Solution;
  const double u = OffsetPerValue(d.Swing, step), hF = f.FontHeight;
  Box b;
  const ShownNodes nodes = PictureNodes();
  for (int n = 1; n <= nodes.Count; ++n) {
    if (nodes.R[n] <= kOnAxis) continue;
    const double x = nodes.R[n] * s, y = nodes.Z[n] * s, v = d.Values[n] * u;
    b.Add(x, y);
    b.Add(x + nodes.NormalR[n] * v, y + nodes.NormalZ[n] * v);
  }
  b.AddText(0, f.LastZ * s + PictureLayout::TitleRise, d.TitleChars, hF, hF / 2);
  b.AddText(0, f.LastZ * s + PictureLayout::UnitsRise, d.UnitsChars, hF, hF / 2);
  std::size_t j = 0;
  for (int i = 1; i <= SegmentCount(Shell) && j < d.FirstChars.size(); ++i) {
    const int first = sol.SegmentFirstNode[i] + 1;
    const int last = sol.SegmentFirstNode[i] + sol.SegmentNodeCount[i];
    if (first > last || last > sol.NodeCount) continue;
    b.AddText(sol.NodeR[first] * s + PictureLayout::ValueReach, sol.NodeZ[first] * s + hF, d.FirstChars[j],
              hF, hF / 2);
    b.AddText(sol.NodeR[last] * s + PictureLayout::ValueReach, sol.NodeZ[last] * s - hF, d.LastChars[j],
              hF, hF / 2);
    ++j;
  }
  // A lid's end values: the first section's lid runs from the axis (its
  // first value over its node, the last under it), the last section's to
  // the axis; the value at the axis stands two lines further in.
  for (int lid = 0; BendingInPicture() && lid < 2; ++lid) {
    if (Bending.LidNodeCount[lid] == 0) continue;
    const int centre = LidFirstNode(Bending, lid), wall = centre + Bending.LidNodeCount[lid] - 1;
    const double rise = lid == 0 ? hF : -hF;
    b.AddText(PictureLayout::ValueReach, Bending.NodeZ[centre] * s + 3 * rise,
              gfx::FormatNumber(d.Values[centre], d.Width, d.Decimals).size(), hF, hF / 2);
    b.AddText(Bending.NodeR[wall] * s + PictureLayout::ValueReach, Bending.NodeZ[wall] * s - rise,
              gfx::FormatNumber(d.Values[wall], d.Width, d.Decimals).size(), hF, hF / 2);
  }
  return b;
}

// The scheme relative to its origin: both halves of the wall, the axis, the
// deformed contour, the supports and the liquid surface.
Box SchemeBox(const FitFacts& f, double s, double step) {
  Box b;
  b.Add(f.Wall.L * s, f.Wall.B * s);
  b.Add(f.Wall.R * s, f.Wall.T * s);
  b.Add(-f.Wall.R * s, f.Wall.B * s);
  b.Add(-f.Wall.L * s, f.Wall.T * s);
  b.Add(0, std::min(f.FirstZ, f.LastZ) * s - 10);
  b.Add(0, std::max(f.FirstZ, f.LastZ) * s + 10);
  const double u = OffsetPerValue(f.DisplacementSwing, step);
  const ShownNodes nodes = PictureNodes();
  for (int n = 1; n <= nodes.Count; ++n)
    b.Add(nodes.R[n] * s + nodes.RadialDisplacement[n] * u, nodes.Z[n] * s + nodes.AxialDisplacement[n] * u);
  if (f.Support) {
    const double x = std::fabs(f.SupportR * s) + 2;
    b.Add(-x, f.SupportZ * s - 5);
    b.Add(x, f.SupportZ * s);
  }
  if (f.Liquid) {
    b.Add(-f.LiquidR * s, f.LiquidZ * s);
    b.Add(f.LiquidR * s, f.LiquidZ * s);
  }
  return b;
}

Box ScaleBarBox(double s) {
  const double x = PictureLayout::SchemeX + PictureLayout::ScaleBarDx, y = PictureLayout::ScaleBarY;
  const double h = kScaleBarHeight, w = kScaleBarWidth;
  const float stepModel = 5 / static_cast<float>(s);
  Box b;
  b.AddText(x - 10 * w, y + 4, 2 + gfx::FormatKeepingDigits(s, 6, 3).size(), h, w);
  b.Add(x, y);
  b.Add(x + kScaleBarLength, y + 1);
  b.AddText(x, y + 4, 1, h, w);
  b.AddText(x + kScaleBarLength, y + 4, gfx::FormatNumber(kScaleBarTicks * stepModel, 1, 0).size() + 2, h, w);
  return b;
}

// Every piece of the picture, where it stands.
struct Pieces {
  Box All[4 + kDiagramCount];  // origin mark, table, scale bar, scheme, the diagrams
};

Pieces PiecesAt(const FitFacts& f, double s, double step) {
  Pieces p;
  p.All[0].Add(0, 0);
  p.All[0].Add(1, 0);
  p.All[1] = f.Table;
  p.All[2] = ScaleBarBox(s);
  const double ox = PictureLayout::SchemeX, oy = PictureLayout::SchemeY;
  p.All[3] = SchemeBox(f, s, step).Moved(ox, oy);
  for (int d = 0; d < kDiagramCount; ++d) {
    const DiagramSpec& spec = kDiagrams[d];
    const double x = (spec.LowerRow ? Shell.LowerRowOrigin[0] : ox) + spec.Column * step;
    const double y = spec.LowerRow ? PictureLayout::LowerRowY : oy;
    p.All[4 + d] = DiagramBox(f, f.Diagrams[d], s, step).Moved(x, y);
  }
  return p;
}

// ---------------------------------------------------------------------------
// 4. The step, the feasible scale and the rounded result

// The smallest step at which no two pieces of a row come within the gap.
// The offsets grow with the step, but by at most 0.8 of it for a pair of
// neighbours, so the step that a pair needs, taken again and again from 0,
// climbs to the least step that suits it.
double StepFor(const FitFacts& f, double s) {
  double step = 0;
  for (int round = 0; round < 200; ++round) {
    Box row[2][6];  // [lower][column], relative to each piece's own origin
    row[0][0] = SchemeBox(f, s, step);
    for (int d = 0; d < kDiagramCount; ++d)
      row[kDiagrams[d].LowerRow ? 1 : 0][kDiagrams[d].Column] = DiagramBox(f, f.Diagrams[d], s, step);
    double need = step;
    for (const auto& r : row)
      for (int i = 0; i < 6; ++i)
        for (int j = i + 1; j < 6; ++j)
          if (r[i].L <= r[i].R && r[j].L <= r[j].R) need = std::max(need, (r[i].R - r[j].L + kGap) / (j - i));
    if (need - step < 1e-4) return need + 1e-3;
    step = need;
  }
  return step;
}

bool Fits(const FitFacts& f, double s, float aspect) {
  const Pieces p = PiecesAt(f, s, StepFor(f, s));
  Box all;
  for (const Box& a : p.All) all.Add(a);
  for (std::size_t i = 0; i < std::size(p.All); ++i)
    for (std::size_t j = i + 1; j < std::size(p.All); ++j)
      if (Meet(p.All[i], p.All[j])) return false;
  return aspect <= 0 || (all.R - all.L) <= aspect * (all.T - all.B);
}

// x rounded down, and up, to two significant digits.
double NiceDown(double x) {
  const double p = std::pow(10.0, std::floor(std::log10(x)) - 1);
  return std::floor(x / p * (1 + 1e-9)) * p;
}
double NiceUpStep(double step) { return std::ceil(step * 2) / 2; }  // half millimetres

}  // namespace

float WindowAspect() {
  const view::ViewState& v = view::V;
  constexpr int kMargin = 7;  // the view keeps this many pixels free when it fits
  if (v.ViewportWidth > kMargin + 1 && v.ViewportHeight > kMargin + 1)
    return static_cast<float>(v.ViewportWidth - kMargin) * v.PixelAspect /
           static_cast<float>(v.ViewportHeight - kMargin);
  return 1.5f;
}

bool FitPictureScales(float aspect) {
  SolvePicture();
  if (!ShellFault(Shell, Solution).empty()) return false;
  FitFacts f;
  Gather(f);

  double reach = 0;
  for (int n = 1; n <= Solution.NodeCount; ++n)
    reach = std::max({reach, std::fabs(static_cast<double>(Solution.NodeR[n])),
                      std::fabs(static_cast<double>(Solution.NodeZ[n]) - f.FirstZ)});
  double hi = 400 / std::max(reach, 1e-3), lo = hi * 1e-6;
  if (!Fits(f, lo, aspect)) aspect = 0;  // a window too narrow for any scale: the rows decide
  if (Fits(f, lo, aspect)) {
    for (int round = 0; round < 40; ++round) {
      const double mid = std::sqrt(lo * hi);
      (Fits(f, mid, aspect) ? lo : hi) = mid;
    }
  }
  const double s = NiceDown(lo);
  const double step = NiceUpStep(StepFor(f, s));
  Shell.PictureScale = static_cast<float>(s);
  Shell.DiagramStep = static_cast<float>(step);
  for (int d = 0; d < kDiagramCount; ++d)
    if (f.Diagrams[d].Swing > 0 && !DiagramHasOwnScale(d))
      Shell.*kDiagrams[d].Scale = static_cast<float>(NiceDown(kSwing * step / (s * f.Diagrams[d].Swing)));
  return true;
}

}  // namespace app
