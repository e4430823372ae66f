// src/app/picture.cpp — the application's picture.
//
// Index:
//   1. small builders (text, polyline, flush in a colour)
//   2. wall outline, scale bar, diagrams, result table
//   3. the whole picture in its order
#include "app/picture.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <string>
#include <type_traits>

#include "app/bending_solver.h"
#include "app/design_check.h"
#include "app/result_table.h"
#include "app/shell_check.h"
#include "app/shell_solver.h"
#include "exchange/exchange.h"
#include "graphics/kernel.h"
#include "graphics/lang.h"
#include "graphics/numbers.h"
#include "menu/menu.h"
#include "platform/codepage.h"
#include "store/builders.h"
#include "store/store.h"
#include "view/view.h"

namespace app {

namespace {

constexpr int kScheme = 15;   // scheme, texts and diagrams
constexpr int kAxis = 11;     // axis, hatching, deformed contour

// The layers a CAD user switches on and off.
constexpr const char* kSchemeLayer = "SCHEME";
constexpr const char* kDeformedLayer = "DEFORMED";
constexpr const char* kDiagramLayer = "DIAGRAMS";
constexpr const char* kTableLayer = "TABLE";
constexpr const char* kTextLayer = "TEXT";
constexpr exchange::PictureLayer kLayers[] = {
    {kSchemeLayer, kScheme}, {kDeformedLayer, kAxis}, {kDiagramLayer, kScheme},
    {kTableLayer, kScheme},  {kTextLayer, kScheme},
};

// The colour and the layers of the next piece.
void Piece(int colour, const char* layer, const char* textLayer = kTextLayer) {
  gfx::SetColor(colour);
  store::SetStoreLayers(layer, textLayer);
}

// Horizontal text with its anchor in the middle of its left edge.
void Text(std::string_view text, float x, float y, float height, float width) {
  store::AddTextLeft(gfx::LangPartView(text, gfx::LanguageIndex), x, y, 0, 0, 1, height, width, 0);
}

void Segment2(float x1, float y1, float x2, float y2) {
  store::BeginPolyline();
  store::AddPoint(x1, y1, 0);
  store::AddPoint(x2, y2, 0);
}

void Flush() { store::Slots.FlushStore(); }

bool bendingShown = false;  // the last SolvePicture gave a bending analysis

// The bending analysis' values the diagrams show that it does not hold
// itself: the larger surface stress at each entry, and the displacements
// along the meridian and the normal.
struct BendingDiagramValues {
  float Meridional[kBendingCapacity], Hoop[kBendingCapacity];
  float Tangential[kBendingCapacity], Normal[kBendingCapacity];
};
BendingDiagramValues bendingValues;

void FillBendingDiagramValues() {
  const BendingSolution& b = Bending;
  auto larger = [](float inner, float outer) { return std::fabs(inner) >= std::fabs(outer) ? inner : outer; };
  for (int k = 1; k <= BendingEntryCount(b); ++k) {
    bendingValues.Meridional[k] = larger(b.MeridionalStressInner[k], b.MeridionalStressOuter[k]);
    bendingValues.Hoop[k] = larger(b.HoopStressInner[k], b.HoopStressOuter[k]);
    const float ur = b.RadialDisplacement[k], uz = b.AxialDisplacement[k];
    bendingValues.Tangential[k] = uz * b.NormalR[k] - ur * b.NormalZ[k];
    bendingValues.Normal[k] = ur * b.NormalR[k] + uz * b.NormalZ[k];
  }
}

// The nodes a diagram runs along: the membrane solution's segments, or the
// bending analysis' lids and segments in the order of the meridian (the
// last section's lid from the wall to the axis, backwards). Run j goes from
// First[j] to Last[j].
struct DiagramNodes {
  static constexpr int kMaxRuns = kMaxSections + 2;  // the segments and two lids
  const float *R, *Z, *NormalR, *NormalZ;
  int Count = 0;  // entries, for the runs' bounds
  int Runs = 0;
  int First[kMaxRuns] = {}, Last[kMaxRuns] = {};
  bool Backward[kMaxRuns] = {};
  bool Lid[kMaxRuns] = {};  // a lid's run
};

// Calls f(n) for the nodes of run j in its order (a forward run held to
// the entries).
template <class F>
void ForRun(const DiagramNodes& nodes, int j, F f) {
  if (nodes.Backward[j]) {
    for (int n = nodes.First[j]; n >= nodes.Last[j]; --n) f(n);
  } else {
    for (int n = nodes.First[j]; n <= std::min(nodes.Last[j], nodes.Count); ++n) f(n);
  }
}

DiagramNodes MembraneNodes() {
  const ShellSolution& sol = Solution;
  DiagramNodes d{sol.NodeR, sol.NodeZ, sol.NormalR, sol.NormalZ};
  d.Count = sol.NodeCount;
  for (int i = 1; i <= SegmentCount(Shell); ++i, ++d.Runs) {
    d.First[d.Runs] = sol.SegmentFirstNode[i] + 1;
    d.Last[d.Runs] = sol.SegmentFirstNode[i] + sol.SegmentNodeCount[i];
  }
  return d;
}

DiagramNodes BendingNodes() {
  const BendingSolution& b = Bending;
  DiagramNodes d = MembraneNodes();
  d.R = b.NodeR, d.Z = b.NodeZ, d.NormalR = b.NormalR, d.NormalZ = b.NormalZ;
  d.Count = BendingEntryCount(b);
  if (b.LidNodeCount[0] > 0) {
    for (int j = d.Runs; j > 0; --j) d.First[j] = d.First[j - 1], d.Last[j] = d.Last[j - 1];
    ++d.Runs;
    d.First[0] = LidFirstNode(b, 0);
    d.Last[0] = d.First[0] + b.LidNodeCount[0] - 1;
    d.Lid[0] = true;
  }
  if (b.LidNodeCount[1] > 0) {
    d.Last[d.Runs] = LidFirstNode(b, 1);
    d.First[d.Runs] = d.Last[d.Runs] + b.LidNodeCount[1] - 1;
    d.Lid[d.Runs] = true;
    d.Backward[d.Runs++] = true;
  }
  return d;
}

// Notes about the picture on the prompt line: each is said when it first
// applies (a pause, then the menu comes back), not again at every redraw.
constexpr int kNotePauseMs = 1500;
std::string saidNote;

void Announce(const std::string& note) {
  if (note == saidNote) return;
  saidNote = note;
  if (!note.empty()) store::Slots.ShowMessage(gfx::LangPart(note).c_str(), false, kNotePauseMs);
}

int LastSection() { return std::max(1, SectionsInUse(Shell)); }

}  // namespace

// ---------------------------------------------------------------------------
// 2. Wall outline, scale bar, diagrams, result table

void DrawWallOutline() {
  const int segs = SegmentCount(Shell);
  for (int i = 1; i <= segs; ++i) {
    const SegmentShape g = SegmentGeometry(i, Shell);
    const float e = g.Thickness / 2;
    if (g.Kind == 0) {
      const float ex = e * g.DirZ, ez = e * g.DirR;
      store::BeginPolyline();
      store::AddPoint(g.R2 - ex, g.Z2 + ez, 0);
      store::AddPoint(g.R1 - ex, g.Z1 + ez, 0);
      store::AddPoint(g.R1 + ex, g.Z1 - ez, 0);
      store::AddPoint(g.R2 + ex, g.Z2 - ez, 0);
      store::AddPoint(g.R2 - ex, g.Z2 + ez, 0);
      continue;
    }
    const float centre[3] = {g.CentreR, g.CentreZ, 0};
    const float e1[3] = {1, 0, 0}, e2[3] = {0, 1, 0};
    const float c1 = std::cos(g.StartAngle), s1 = std::sin(g.StartAngle);
    const float c2 = std::cos(g.EndAngle), s2 = std::sin(g.EndAngle);
    store::BeginPolyline();  // a mark at the arc's centre
    store::AddPoint(g.CentreR, g.CentreZ, 0);
    store::BeginPolyline();
    store::AddPoint(g.R1 - e * c1, g.Z1 - e * s1, 0);
    store::ArcInnerPoints(centre, e1, e2, g.Radius - e, g.StartAngle, g.EndAngle, 0.1f, 19);
    store::AddPoint(g.R2 - e * c2, g.Z2 - e * s2, 0);
    store::AddPoint(g.R2 + e * c2, g.Z2 + e * s2, 0);
    store::ArcInnerPoints(centre, e1, e2, g.Radius + e, g.EndAngle, g.StartAngle, 0.1f, 19);
    store::AddPoint(g.R1 + e * c1, g.Z1 + e * s1, 0);
    store::AddPoint(g.R1 - e * c1, g.Z1 - e * s1, 0);
  }
  // The lids the bending analysis closes the ends with: plates from the
  // axis to the end, as thick as the wall they close.
  for (int lid = 0; BendingInPicture() && lid < 2; ++lid) {
    if (Bending.LidNodeCount[lid] == 0) continue;
    const int corner = LidFirstNode(Bending, lid) + Bending.LidNodeCount[lid] - 1;
    const float r = Bending.NodeR[corner], z = Bending.NodeZ[corner], e = Bending.LidThickness[lid] / 2;
    store::BeginPolyline();
    store::AddPoint(r, z + e, 0);
    store::AddPoint(0, z + e, 0);
    store::AddPoint(0, z - e, 0);
    store::AddPoint(r, z - e, 0);
    store::AddPoint(r, z + e, 0);
  }
}

void DrawScaleBar(float x, float y, float s, float step, int count) {
  constexpr float kHeight = 4, kWidth = 0.7f * kHeight;
  const float length = count * step * s;
  Text("M " + gfx::FormatKeepingDigits(s, 6, 3), x - 10 * kWidth, y + 4, kHeight, kWidth);
  Segment2(x, y, x + length, y);
  Text("0", x, y + 4, kHeight, kWidth);
  Text(gfx::FormatNumber(count * step, 1, 0) + "мм"_sc, x + length, y + 4, kHeight, kWidth);
  for (int j = 0; j <= count; ++j) Segment2(x + j * step * s, y, x + j * step * s, y + 1);
}

namespace {

// Where the store's transforms would put a diagram's point: scaled by S
// about the origin (ScaleStore's steps), then, when Moved, moved by
// (Dx, Dy, 0) (MoveStore's). Kept apart from the points it places, so that
// it stays in registers while they are written.
struct Placement {
  float S = 1, Dx = 0, Dy = 0;
  bool Moved = false;
  float Place(float v, float d) const {
    const float scaled = 0.0f + S * (v - 0.0f);
    return Moved ? scaled + d : scaled;
  }
  float X(float x) const { return Place(x, Dx); }
  float Y(float y) const { return Place(y, Dy); }
  float Z() const { return Place(0.0f, 0.0f); }
};

// A diagram's placed points on their way into the store, a chunk at a time.
struct DiagramPoints {
  static constexpr int kChunk = 1024;  // even: the hatch comes in pairs
  int Count = 0;
  float X[kChunk], Y[kChunk], Z[kChunk];

  bool Full() const { return Count == kChunk; }
  void Put(float x, float y, float z) {
    X[Count] = x;
    Y[Count] = y;
    Z[Count] = z;
    ++Count;
  }
  // The points so far as points of the current polyline.
  void AddPoints() {
    store::AddPoints(X, Y, Z, Count);
    Count = 0;
  }
  // The pairs so far as polylines of two points each.
  void AddPairs() {
    store::AddTwoPointPolylines(X, Y, Z, Count / 2);
    Count = 0;
  }
};
DiagramPoints diagramPoints;

// The placed baseline and curve points of the nodes a diagram draws, by
// node: its hatch joins them.
struct PlacedNodes {
  float BaseX[kBendingCapacity], BaseY[kBendingCapacity];
  float CurveX[kBendingCapacity], CurveY[kBendingCapacity];
};
PlacedNodes placedNodes;

// The diagram at picture scale; moved by (dx, dy) when moved (as MoveStore
// would move it after).
void DrawDiagramOn(const DiagramNodes& nodes, std::string_view title, std::string_view units,
                   const float* values, float k, int width, int decimals, bool moved = false,
                   float dx = 0, float dy = 0) {
  const float s = Shell.PictureScale, hF = Shell.FontHeight;
  const float zN = Shell.SectionHeight[LastSection()];
  store::ClearStore();
  DiagramPoints& points = diagramPoints;
  points.Count = 0;
  const Placement at{s, dx, dy, moved};
  const float z = at.Z();
  PlacedNodes& placed = placedNodes;

  // The baseline: the generatrix, nodes on the axis left out.
  bool begun = false;
  for (int j = 0; j < nodes.Runs; ++j)
    ForRun(nodes, j, [&](int n) __attribute__((always_inline)) {
      if (nodes.R[n] <= kOnAxis) return;
      if (!begun) store::BeginPolyline();
      begun = true;
      if (points.Full()) points.AddPoints();
      placed.BaseX[n] = at.X(nodes.R[n]);
      placed.BaseY[n] = at.Y(nodes.Z[n]);
      points.Put(placed.BaseX[n], placed.BaseY[n], z);
    });
  points.AddPoints();
  Text(title, 0, zN + PictureLayout::TitleRise / s, hF / s, hF / (2 * s));
  Text(units, 0, zN + PictureLayout::UnitsRise / s, hF / s, hF / (2 * s));

  // The end values of every run. Where many short segments crowd together a
  // value that would cover one already written is left out, so that the
  // values shown stay readable; apart values are all written.
  struct Box {
    float Left, Right, Bottom, Top;
  };
  Box written[2 * DiagramNodes::kMaxRuns];
  int count = 0;
  const float h = hF / s, w = hF / (2 * s);
  for (int j = 0; j < nodes.Runs; ++j) {
    const int first = nodes.First[j], last = nodes.Last[j];
    if (!nodes.Backward[j] && (first > last || last > nodes.Count)) continue;
    const float reach = PictureLayout::ValueReach / s;
    for (int end = 0; end < 2; ++end) {
      const int n = end == 0 ? first : last;
      const std::string text = gfx::FormatNumberCompact(values[n], width, decimals);
      const float y = nodes.Z[n] + (end == 0 ? hF : -hF) / s;
      // A lid's centre value stands two lines further into the shell than
      // its wall's, clear of the values at the wall however narrow the lid.
      const float inward = nodes.Lid[j] && nodes.R[n] <= kOnAxis ? 2 * (end == 0 ? hF : -hF) / s : 0;
      const float x = nodes.R[n] + reach, mid = y + inward;
      const Box box{x, x + static_cast<float>(text.size()) * w, mid - h / 2, mid + h / 2};
      bool covers = false;
      for (int b = 0; b < count && !covers; ++b)
        covers = box.Left < written[b].Right && written[b].Left < box.Right &&
                 box.Bottom < written[b].Top && written[b].Bottom < box.Top;
      if (covers) continue;
      written[count++] = box;
      Text(text, x, mid, h, w);
    }
  }
  // The curve of each run: offset from the generatrix along the normal by
  // value × scale; then the hatch from each node to its curve point (the
  // same nodes in the same order as the baseline and the curves).
  for (int j = 0; j < nodes.Runs; ++j) {
    begun = false;
    ForRun(nodes, j, [&](int n) __attribute__((always_inline)) {
      if (nodes.R[n] <= kOnAxis) return;
      if (!begun) store::BeginPolyline();
      begun = true;
      if (points.Full()) points.AddPoints();
      placed.CurveX[n] = at.X(nodes.R[n] + nodes.NormalR[n] * values[n] * k);
      placed.CurveY[n] = at.Y(nodes.Z[n] + nodes.NormalZ[n] * values[n] * k);
      points.Put(placed.CurveX[n], placed.CurveY[n], z);
    });
    points.AddPoints();
  }
  for (int j = 0; j < nodes.Runs; ++j)
    ForRun(nodes, j, [&](int n) __attribute__((always_inline)) {
      if (nodes.R[n] <= kOnAxis) return;
      if (points.Full()) points.AddPairs();
      points.Put(placed.BaseX[n], placed.BaseY[n], z);
      points.Put(placed.CurveX[n], placed.CurveY[n], z);
    });
  points.AddPairs();
  store::CloseStore();
  store::ScaleTexts(0, 0, 0, s);
  if (moved) store::MoveTexts(dx, dy, 0);
}

}  // namespace

void DrawDiagram(std::string_view title, std::string_view units, const float* values, float k,
                 int width, int decimals) {
  DrawDiagramOn(MembraneNodes(), title, units, values, k, width, decimals);
}

float DrawResultTable(float dx, float dy) {
  const bool bending = SolvePicture();
  const float hF = Shell.FontHeight, w = 0.6f * hF, step = 1.8f * hF;
  float y = -step;
  store::ClearStore();
  Text(ResultTableTitle(), 0, y, 1.5f * hF, 1.5f * w);
  y -= 1.5f * step;
  ResultRow rows[kResultRows + kBendingRows];
  const int count = TableRows(Shell, Solution, bending ? &Bending : nullptr, rows);
  static std::string line;  // one buffer for every row of every redraw
  for (int i = 0; i < count; ++i) {
    const ResultRow& row = rows[i];
    if (row.GapBefore) y -= PictureLayout::LineGap;
    line.clear();
    AppendResultRowText(line, row, gfx::LanguageIndex, true);
    Text(line, 0, y, hF, w);
    y -= step;
  }
  // When the contour step had to be enlarged to fit the node capacity, the
  // table says so under its last row.
  // The note is made again only when the step it names changes: a redraw
  // of the same shell allocates nothing.
  static std::string note;
  static bool noteEnlarged = false;
  static std::uint32_t noteStep = 0;
  const std::uint32_t effective = std::bit_cast<std::uint32_t>(Solution.EffectiveStep);
  if (Solution.StepEnlarged != noteEnlarged || effective != noteStep) {
    note = StepEnlargedNote(Solution);
    noteEnlarged = Solution.StepEnlarged;
    noteStep = effective;
  }
  if (!note.empty()) {
    y -= PictureLayout::LineGap;
    Text(note, 0, y, hF, w);
    y -= step;
  }
  store::CloseStore();
  store::MoveStore(dx, dy, 0);
  return y + dy;
}

// A cross, 1.5 picture mm wide, at the curve point of every node over the
// allowable stress (with the bending analysis, the larger of its surfaces'
// equivalent stresses); false (nothing built) when there is none.
bool DrawOverAllowableMarks(const float* values, float k) {
  const bool bending = BendingInPicture();
  const DiagramNodes nodes = bending ? BendingNodes() : MembraneNodes();
  const float s = Shell.PictureScale, half = 0.75f / s;
  store::ClearStore();
  bool any = false;
  for (int n = 1; n <= nodes.Count; ++n) {
    const bool over = bending ? Shell.AllowableStress > 0 && SurfaceEquivalent(Shell, Bending, n) > Shell.AllowableStress
                              : OverAllowable(Shell, Solution, n);
    if (nodes.R[n] <= kOnAxis || !over) continue;
    const float x = nodes.R[n] + nodes.NormalR[n] * values[n] * k;
    const float y = nodes.Z[n] + nodes.NormalZ[n] * values[n] * k;
    Segment2(x - half, y - half, x + half, y + half);
    Segment2(x - half, y + half, x + half, y - half);
    any = true;
  }
  store::CloseStore();
  store::ScaleStore(0, 0, 0, s);
  return any;
}

// ---------------------------------------------------------------------------
// 3. The whole picture

namespace {

// Sizes on the sheet, in picture millimetres.
constexpr float kAxisOverhang = 10;               // the axis runs this far past both ends
constexpr float kScaleBarStep = 5;                // the scale bar: five steps of 5 mm
constexpr int kScaleBarSteps = 5;
constexpr float kSupportDrop = 5, kSupportHalfWidth = 2;  // a support mark: a post and a foot
// The message that stands in place of the table (below the scale bar), in
// lines of at most kMessageColumns.
constexpr float kMessageHeight = 4, kMessageWidth = 2.4f, kMessageStep = 6;
constexpr float kMessageTop = PictureLayout::ScaleBarY - 10;
constexpr std::size_t kMessageColumns = 36;

const float kMirror[3] = {1, 0, 0};  // the plane x = 0: the right half to the left

// Where the scheme stands on the sheet: its origin (r = 0, z = 0), its scale
// and its last section.
struct Scheme {
  float X = 0, Y = 0, Scale = 1;
  int Last = 1;
};

// Flushes the piece built in the store at the scheme's scale around r = 0,
// z = 0: scaled, mirrored to the left half when asked, and put in place.
void FlushSchemePiece(const Scheme& at, bool mirrored) {
  store::CloseStore();
  store::ScaleStore(0, 0, 0, at.Scale);
  if (mirrored) store::ReflectStore(kMirror, 0);
  store::MoveStore(at.X, at.Y, 0);
  Flush();
}

void DrawOriginMark() {
  Piece(kScheme, kSchemeLayer);
  store::ClearStore();
  Segment2(0, 0, 1, 0);
  store::CloseStore();
  Flush();
}

void DrawAxis(const Scheme& at) {
  Piece(kAxis, kSchemeLayer);
  store::ClearStore();
  const float p1[3] = {at.X, at.Y + at.Scale * Shell.SectionHeight[1], 0};
  const float p2[3] = {at.X, at.Y + at.Scale * Shell.SectionHeight[at.Last], 0};
  store::AddAxisLine(p1, p2, kAxisOverhang, kAxisOverhang);
  Flush();
}

void DrawScaleBarPiece(const Scheme& at) {
  Piece(kScheme, kTableLayer, kTableLayer);
  store::ClearStore();
  DrawScaleBar(0, 0, at.Scale, kScaleBarStep / at.Scale, kScaleBarSteps);
  store::CloseStore();
  store::MoveStore(at.X + PictureLayout::ScaleBarDx, PictureLayout::ScaleBarY, 0);
  Flush();
}

// One half of the wall (the right one, or mirrored the left one), then its
// hatching.
void DrawWallHalf(const Scheme& at, bool left) {
  Piece(kScheme, kSchemeLayer);
  store::ClearStore();
  DrawWallOutline();
  FlushSchemePiece(at, left);
  Piece(kAxis, kSchemeLayer);
  store::HatchStore(Shell.HatchStep, 45);
  Flush();
}

void DrawDeformedContour(const Scheme& at, bool bending) {
  const DiagramNodes nodes = bending ? BendingNodes() : MembraneNodes();
  const float* ur = bending ? Bending.RadialDisplacement : Solution.RadialDisplacement;
  const float* uz = bending ? Bending.AxialDisplacement : Solution.AxialDisplacement;
  const float d = Shell.DisplacementScale;
  Piece(kAxis, kDeformedLayer);
  store::ClearStore();
  for (int j = 0; j < nodes.Runs; ++j) {
    if (!nodes.Backward[j] && nodes.First[j] > std::min(nodes.Last[j], nodes.Count)) continue;
    store::BeginPolyline();
    ForRun(nodes, j, [&](int n) { store::AddPoint(nodes.R[n] + ur[n] * d, nodes.Z[n] + uz[n] * d, 0); });
  }
  FlushSchemePiece(at, false);
}

// The support marks at the support section, right and left.
void DrawSupportMarks(const Scheme& at) {
  Piece(kScheme, kSchemeLayer);
  const int support = Shell.SupportSection;
  if (support < 1 || support > at.Last) return;
  const float rs = Shell.SectionRadius[support], zs = Shell.SectionHeight[support];
  const float drop = kSupportDrop / at.Scale, half = kSupportHalfWidth / at.Scale;
  for (int side = 0; side < 2; ++side) {
    store::ClearStore();
    Segment2(rs, zs, rs, zs - drop);
    Segment2(rs - half, zs - drop, rs + half, zs - drop);
    FlushSchemePiece(at, side == 1);
  }
}

// The liquid surface, where a segment holds its height (in the colour and
// layers of the support marks before it).
void DrawLiquidSurface(const Scheme& at) {
  const HeightRadius liquid = RadiusAtHeight(Shell.LiquidLevel, Shell);
  if (liquid.Segment == 0) return;
  store::ClearStore();
  Segment2(at.X - liquid.R, at.Y + Shell.LiquidLevel, at.X + liquid.R, at.Y + Shell.LiquidLevel);
  store::CloseStore();
  store::ScaleStore(at.X, at.Y, 0, at.Scale);
  Flush();
}

// Why there are no results, where the table would stand.
void DrawFaultMessage(const std::string& fault) {
  Piece(kScheme, kTableLayer, kTableLayer);
  store::ClearStore();
  const std::string text = gfx::LangPart(fault);
  float y = kMessageTop;
  for (std::size_t from = 0; from < text.size(); y -= kMessageStep) {
    std::size_t to = text.size();
    if (to - from > kMessageColumns) {
      to = text.rfind(' ', from + kMessageColumns);
      if (to == std::string::npos || to <= from) to = from + kMessageColumns;
    }
    store::AddTextLeft(text.substr(from, to - from), 0, y, 0, 0, 1, kMessageHeight, kMessageWidth, 0);
    from = text.find_first_not_of(' ', to);
    if (from == std::string::npos) break;
  }
  store::CloseStore();
  Flush();
  Announce(fault);
}

// The ten diagrams: four beside the scheme, six in the lower row. With the
// bending analysis, M1 stands in the place of the axial force.
void DrawDiagrams(const Scheme& at, bool bending) {
  const float step = Shell.DiagramStep;
  const float lx = Shell.LowerRowOrigin[0], ly = Shell.LowerRowOrigin[1];
  const DiagramNodes nodes = bending ? BendingNodes() : MembraneNodes();
  for (int i = 0; i < kDiagramCount; ++i) {
    const DiagramSpec& d = kDiagrams[i];
    const float* values = DiagramValues(i);
    const float x = (d.LowerRow ? lx : at.X) + static_cast<float>(d.Column) * step, y = d.LowerRow ? ly : at.Y;
    const bool moment = bending && d.Values == &ShellSolution::AxialForce;
    Piece(kScheme, kDiagramLayer);
    DrawDiagramOn(nodes, moment ? "Меридианальный момент;Meridional moment"_sc : d.Title,
                  moment ? "Н*мм/мм;N*mm/mm"_sc : d.Units, values, DiagramScale(i), d.Width, d.Decimals,
                  true, x, y);
    Flush();
    if (d.Values == &ShellSolution::MeridionalStress || d.Values == &ShellSolution::HoopStress) {
      Piece(kWarningColour, kDiagramLayer);
      if (DrawOverAllowableMarks(values, DiagramScale(i))) {
        store::MoveStore(x, y, 0);
        Flush();
      }
    }
  }
}

// The result table and under it the design check's two lines.
void DrawTableAndDesignCheck(bool bending) {
  Piece(kScheme, kTableLayer, kTableLayer);
  const float below = DrawResultTable(0, PictureLayout::TableY);
  Flush();
  bool negative = false;
  std::string lines[2];
  if (DesignCheckLines(Shell, Solution, lines, negative, bending ? &Bending : nullptr)) {
    Piece(negative ? kWarningColour : kScheme, kTableLayer, kTableLayer);
    store::ClearStore();
    const float hF = Shell.FontHeight;
    for (int i = 0; i < 2; ++i) Text(lines[i], 0, below - PictureLayout::LineGap - i * 1.8f * hF, hF, 0.6f * hF);
    store::CloseStore();
    Flush();
  }
}

}  // namespace

void DrawShellPicture() {
  const bool bending = SolvePicture();
  // Results that are not all finite are not drawn: their message stands in
  // place of the deformed contour, the diagrams and the table.
  const std::string fault = ShellFault(Shell, Solution);
  store::BeginPicture();
  Shell.SchemeOrigin[0] = PictureLayout::SchemeX;
  Shell.SchemeOrigin[1] = PictureLayout::SchemeY;
  Shell.LowerRowOrigin[1] = PictureLayout::LowerRowY;
  const Scheme at{Shell.SchemeOrigin[0], Shell.SchemeOrigin[1], Shell.PictureScale, LastSection()};

  DrawOriginMark();
  DrawAxis(at);
  DrawScaleBarPiece(at);
  DrawWallHalf(at, false);
  if (fault.empty()) DrawDeformedContour(at, bending);
  DrawWallHalf(at, true);
  DrawSupportMarks(at);
  DrawLiquidSurface(at);
  if (!fault.empty()) {
    DrawFaultMessage(fault);
    return;
  }
  DrawDiagrams(at, bending);
  DrawTableAndDesignCheck(bending);
  Announce(store::Store.OutOfRange ? kOutOfRange : store::hatchBudget.Thinned ? kHatchThinned : "");
}

}  // namespace app

namespace app {

const DiagramSpec kDiagrams[kDiagramCount] = {
    {"Давление, МПа;Pressure, MPa"_sc, "             "_sc, &ShellSolution::Pressure,
     &ShellModel::PressureScale, 6, 3, false, 1},
    {"Продольная сила, Н;Axial force, N"_sc, "        "_sc, &ShellSolution::AxialForce,
     &ShellModel::ForceScale, 6, 3, false, 2},
    {"Меридианальные ;Meridional "_sc, "усилия,Н/мм;forces,N/mm"_sc, &ShellSolution::MeridionalForce,
     &ShellModel::MembraneForceScale, 6, 3, false, 3},
    {"Кольцевые ;Hoop "_sc, "усилия,Н/мм     ;forces,N/mm     "_sc, &ShellSolution::HoopForce,
     &ShellModel::MembraneForceScale, 6, 3, false, 4},
    {"Меридианальные ;Meridional "_sc, "напряжения,МПа;stresses,MPa"_sc, &ShellSolution::MeridionalStress,
     &ShellModel::StressScale, 6, 3, true, 0},
    {"Кольцевые ;Hoop "_sc, "напряжения,МПа     ;stresses,MPa     "_sc, &ShellSolution::HoopStress,
     &ShellModel::StressScale, 6, 3, true, 1},
    {"Продольные ;Axial "_sc, "перемещения,мм    ;displacements,mm    "_sc,
     &ShellSolution::AxialDisplacement, &ShellModel::DisplacementScale, 9, 6, true, 2},
    {"Поперечные ;Radial "_sc, "перемещения,мм    ;displacements,mm    "_sc,
     &ShellSolution::RadialDisplacement, &ShellModel::DisplacementScale, 9, 6, true, 3},
    {"Касательные ;Tangential "_sc, "перемещения,мм   ;displacements,mm   "_sc,
     &ShellSolution::TangentialDisplacement, &ShellModel::DisplacementScale, 9, 6, true, 4},
    {"Нормальные ;Normal "_sc, "перемещения,мм    ;displacements,mm    "_sc,
     &ShellSolution::NormalDisplacement, &ShellModel::DisplacementScale, 9, 6, true, 5},
};

Analysis PictureAnalysis = Analysis::Membrane;

namespace {

// A pass of the solver reads the model's fields before its header text and,
// of the solution, only what it has written itself; it writes the model's
// arc radii and support reaction, the solution's node entries up to
// NodeCount + 1, and every field of the solution after the node arrays.
// The last pass here whose model came out as it went in is kept: its model
// bytes and that much of its solution. A pass on the same model bytes into
// a solution still holding those bytes would write them again, so it is left
// out.
static_assert(std::is_standard_layout_v<ShellSolution>);
constexpr float (ShellSolution::*kNodeArrays[])[kNodeCapacity] = {
    &ShellSolution::NodeR,           &ShellSolution::NodeZ,
    &ShellSolution::NormalR,         &ShellSolution::NormalZ,
    &ShellSolution::Pressure,        &ShellSolution::AxialForce,
    &ShellSolution::MeridionalForce, &ShellSolution::HoopForce,
    &ShellSolution::MeridionalStress, &ShellSolution::HoopStress,
    &ShellSolution::MeridionalStrain, &ShellSolution::HoopStrain,
    &ShellSolution::RadialDisplacement, &ShellSolution::AxialDisplacement,
    &ShellSolution::TangentialDisplacement, &ShellSolution::NormalDisplacement,
};
// NodeCount, then the node arrays one after another, then the rest.
static_assert(offsetof(ShellSolution, NodeCount) == 0 && offsetof(ShellSolution, NodeR) == sizeof(int));
static_assert(offsetof(ShellSolution, SegmentNodeCount) ==
              offsetof(ShellSolution, NodeR) + std::size(kNodeArrays) * sizeof(ShellSolution::NodeR));
constexpr std::size_t kSolutionRest = sizeof(ShellSolution) - offsetof(ShellSolution, SegmentNodeCount);

std::size_t ModelBytes(const ShellModel& m) {
  return static_cast<std::size_t>(reinterpret_cast<const char*>(&m.DataFileHeaderText) -
                                  reinterpret_cast<const char*>(&m));
}

struct SolvedPass {
  bool Kept = false;
  alignas(ShellModel) unsigned char Model[sizeof(ShellModel)];
  ShellSolution Solution;
};
SolvedPass solved;

// The node entries a pass with n nodes may have written: 0..n + 1.
bool SameSolution(const ShellSolution& a, const ShellSolution& b) {
  const int n = a.NodeCount;
  if (n != b.NodeCount || n < 0 || n > kMaxNodes) return false;
  const std::size_t bytes = (static_cast<std::size_t>(n) + 2) * sizeof(float);
  for (auto array : kNodeArrays)
    if (std::memcmp(a.*array, b.*array, bytes) != 0) return false;
  return std::memcmp(&a.SegmentNodeCount, &b.SegmentNodeCount, kSolutionRest) == 0;
}

void CopySolution(ShellSolution& to, const ShellSolution& from) {
  const int n = from.NodeCount;
  to.NodeCount = n;
  const std::size_t bytes = (static_cast<std::size_t>(n) + 2) * sizeof(float);
  for (auto array : kNodeArrays) std::memcpy(to.*array, from.*array, bytes);
  std::memcpy(&to.SegmentNodeCount, &from.SegmentNodeCount, kSolutionRest);
}

void SolveShellUnlessSolved() {
  const std::size_t bytes = ModelBytes(Shell);
  if (solved.Kept && std::memcmp(&Shell, solved.Model, bytes) == 0 && SameSolution(Solution, solved.Solution))
    return;
  std::memcpy(solved.Model, &Shell, bytes);
  SolveShell(Shell, Solution);
  solved.Kept = std::memcmp(&Shell, solved.Model, bytes) == 0 && Solution.NodeCount >= 0 &&
                Solution.NodeCount <= kMaxNodes;
  if (solved.Kept) CopySolution(solved.Solution, Solution);
}

}  // namespace

bool SolvePicture() {
  SolveShellUnlessSolved();
  SolveShellUnlessSolved();
  bendingShown = false;
  if (PictureAnalysis != Analysis::Bending) return false;
  SolveBending(Shell, Solution, Bending);
  bendingShown = Bending.Fault == BendingFault::None;
  if (bendingShown) FillBendingDiagramValues();
  return bendingShown;
}

bool BendingInPicture() { return bendingShown; }

void ReportBendingFault() {
  if (PictureAnalysis != Analysis::Bending || Bending.Fault == BendingFault::None) return;
  const std::string fault = BendingFaultText(Bending);
  menu::PromptAndReadKey(gfx::LangPart(gfx::LangPartOf(fault, 0) + " - любая клавиша;"_sc +
                                       gfx::LangPartOf(fault, 1) + " - any key"));
}

const float* DiagramValues(int d) {
  const DiagramSpec& spec = kDiagrams[d];
  if (!bendingShown) return Solution.*spec.Values;
  const BendingSolution& b = Bending;
  const auto v = spec.Values;
  if (v == &ShellSolution::Pressure) return b.Pressure;
  if (v == &ShellSolution::AxialForce) return b.MeridionalMoment;
  if (v == &ShellSolution::MeridionalForce) return b.MeridionalForce;
  if (v == &ShellSolution::HoopForce) return b.HoopForce;
  if (v == &ShellSolution::MeridionalStress) return bendingValues.Meridional;
  if (v == &ShellSolution::HoopStress) return bendingValues.Hoop;
  if (v == &ShellSolution::AxialDisplacement) return b.AxialDisplacement;
  if (v == &ShellSolution::RadialDisplacement) return b.RadialDisplacement;
  if (v == &ShellSolution::TangentialDisplacement) return bendingValues.Tangential;
  return bendingValues.Normal;
}

ShownNodes PictureNodes() {
  if (!bendingShown) {
    const ShellSolution& sol = Solution;
    return {sol.NodeR, sol.NodeZ, sol.NormalR, sol.NormalZ, sol.RadialDisplacement, sol.AxialDisplacement,
            sol.NodeCount};
  }
  const BendingSolution& b = Bending;
  return {b.NodeR, b.NodeZ, b.NormalR, b.NormalZ, b.RadialDisplacement, b.AxialDisplacement, BendingEntryCount(b)};
}

bool DiagramHasOwnScale(int d) { return bendingShown && kDiagrams[d].Values == &ShellSolution::AxialForce; }

float DiagramScale(int d) {
  if (!DiagramHasOwnScale(d)) return Shell.*kDiagrams[d].Scale;
  // The swing of the values (outward plus inward) drawn as 0.4 diagram steps.
  const float* v = DiagramValues(d);
  float out = 0, in = 0;
  for (int k = 1; k <= BendingEntryCount(Bending); ++k) {
    if (Bending.NodeR[k] <= kOnAxis) continue;
    out = std::max(out, v[k]);
    in = std::max(in, -v[k]);
  }
  const float swing = out + in, s = Shell.PictureScale;
  return swing > 0 && s > 0 ? 0.4f * Shell.DiagramStep / (s * swing) : 0.0f;
}

void DeclarePictureLayers() {
  exchange::Exchange.Layers = kLayers;
  exchange::Exchange.LayerCount = static_cast<int>(std::size(kLayers));
}

void DrawShellScreen() {
  view::PrepareScreen();
  DrawShellPicture();
}

}  // namespace app
