// src/app/picture.cpp — the application's picture.
//
// Index:
//   1. small builders (text, polyline, flush in a colour)
//   2. wall outline, scale bar, diagrams, result table
//   3. the whole picture in its order
#include "app/picture.h"

#include <cmath>
#include <iterator>
#include <string>

#include "app/design_check.h"
#include "app/result_table.h"
#include "app/shell_solver.h"
#include "exchange/exchange.h"
#include "graphics/codepage.h"
#include "graphics/kernel.h"
#include "graphics/lang.h"
#include "graphics/numbers.h"
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
  store::AddTextLeft(gfx::LangPart(text), x, y, 0, 0, 1, height, width, 0);
}

void Segment2(float x1, float y1, float x2, float y2) {
  store::BeginPolyline();
  store::AddPoint(x1, y1, 0);
  store::AddPoint(x2, y2, 0);
}

void Flush() { store::FlushStore(); }

// Solves the model twice: the first pass finds the support reaction, the
// second uses it.
void Solve() {
  SolveShell(Shell, Solution);
  SolveShell(Shell, Solution);
}

int LastSection() {
  int n = Shell.SectionCount;
  return n < 1 ? 1 : n > kMaxSections ? kMaxSections : n;
}

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

void DrawDiagram(std::string_view title, std::string_view units, const float* values, float k,
                 int width, int decimals) {
  const ShellSolution& sol = Solution;
  const float s = Shell.PictureScale, hF = Shell.FontHeight;
  const float zN = Shell.SectionHeight[LastSection()];
  const int segs = SegmentCount(Shell);
  store::ClearStore();

  // The baseline: the generatrix, nodes on the axis left out.
  bool begun = false;
  for (int n = 1; n <= sol.NodeCount; ++n) {
    if (sol.NodeR[n] <= kOnAxis) continue;
    if (!begun) store::BeginPolyline();
    begun = true;
    store::AddPoint(sol.NodeR[n], sol.NodeZ[n], 0);
  }
  Text(title, 0, zN + PictureLayout::TitleRise / s, hF / s, hF / (2 * s));
  Text(units, 0, zN + PictureLayout::UnitsRise / s, hF / s, hF / (2 * s));

  for (int i = 1; i <= segs; ++i) {
    const int first = sol.SegmentFirstNode[i] + 1;
    const int last = sol.SegmentFirstNode[i] + sol.SegmentNodeCount[i];
    if (first > last || last > sol.NodeCount) continue;
    const float reach = PictureLayout::ValueReach / s;
    Text(gfx::FormatNumber(values[first], width, decimals), sol.NodeR[first] + reach,
         sol.NodeZ[first] + hF / s, hF / s, hF / (2 * s));
    Text(gfx::FormatNumber(values[last], width, decimals), sol.NodeR[last] + reach,
         sol.NodeZ[last] - hF / s, hF / s, hF / (2 * s));
  }
  // The curve of each segment: offset from the generatrix along the normal
  // by value × scale; then the hatch from each node to its curve point.
  for (int i = 1; i <= segs; ++i) {
    const int first = sol.SegmentFirstNode[i] + 1;
    const int last = std::min(sol.SegmentFirstNode[i] + sol.SegmentNodeCount[i], sol.NodeCount);
    begun = false;
    for (int n = first; n <= last; ++n) {
      if (sol.NodeR[n] <= kOnAxis) continue;
      if (!begun) store::BeginPolyline();
      begun = true;
      store::AddPoint(sol.NodeR[n] + sol.NormalR[n] * values[n] * k,
                      sol.NodeZ[n] + sol.NormalZ[n] * values[n] * k, 0);
    }
  }
  for (int i = 1; i <= segs; ++i) {
    const int first = sol.SegmentFirstNode[i] + 1;
    const int last = std::min(sol.SegmentFirstNode[i] + sol.SegmentNodeCount[i], sol.NodeCount);
    for (int n = first; n <= last; ++n) {
      if (sol.NodeR[n] <= kOnAxis) continue;
      Segment2(sol.NodeR[n], sol.NodeZ[n], sol.NodeR[n] + sol.NormalR[n] * values[n] * k,
               sol.NodeZ[n] + sol.NormalZ[n] * values[n] * k);
    }
  }
  store::CloseStore();
  store::ScaleStore(0, 0, 0, s);
}

float DrawResultTable(float dx, float dy) {
  Solve();
  const float hF = Shell.FontHeight, w = 0.6f * hF, step = 1.8f * hF;
  float y = -step;
  store::ClearStore();
  Text(ResultTableTitle(), 0, y, 1.5f * hF, 1.5f * w);
  y -= 1.5f * step;
  ResultRow rows[kResultRows];
  ResultTableRows(Shell, Solution, rows);
  for (const ResultRow& row : rows) {
    if (row.GapBefore) y -= PictureLayout::LineGap;
    Text(ResultRowText(row, gfx::LanguageIndex), 0, y, hF, w);
    y -= step;
  }
  // When the contour step had to be enlarged to fit the node capacity, the
  // table says so under its last row.
  std::string note = StepEnlargedNote(Solution);
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
// allowable stress; false (nothing built) when there is none.
bool DrawOverAllowableMarks(const float* values, float k) {
  const ShellSolution& sol = Solution;
  const float s = Shell.PictureScale, half = 0.75f / s;
  store::ClearStore();
  bool any = false;
  for (int n = 1; n <= sol.NodeCount; ++n) {
    if (sol.NodeR[n] <= kOnAxis || !OverAllowable(Shell, sol, n)) continue;
    const float x = sol.NodeR[n] + sol.NormalR[n] * values[n] * k;
    const float y = sol.NodeZ[n] + sol.NormalZ[n] * values[n] * k;
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

void DrawShellPicture() {
  Solve();
  Shell.SchemeOrigin[0] = PictureLayout::SchemeX;
  Shell.SchemeOrigin[1] = PictureLayout::SchemeY;
  Shell.LowerRowOrigin[1] = PictureLayout::LowerRowY;
  const float ox = Shell.SchemeOrigin[0], oy = Shell.SchemeOrigin[1];
  const float s = Shell.PictureScale;
  const float mirror[3] = {1, 0, 0};
  const int last = LastSection();

  Piece(kScheme, kSchemeLayer);  // a mark at the picture's origin
  store::ClearStore();
  Segment2(0, 0, 1, 0);
  store::CloseStore();
  Flush();

  Piece(kAxis, kSchemeLayer);
  store::ClearStore();
  const float p1[3] = {ox, oy + s * Shell.SectionHeight[1], 0};
  const float p2[3] = {ox, oy + s * Shell.SectionHeight[last], 0};
  store::AddAxisLine(p1, p2, 10, 10);
  Flush();

  Piece(kScheme, kTableLayer, kTableLayer);
  store::ClearStore();
  DrawScaleBar(0, 0, s, 5 / s, 5);
  store::CloseStore();
  store::MoveStore(ox + PictureLayout::ScaleBarDx, PictureLayout::ScaleBarY, 0);
  Flush();

  for (int half = 0; half < 2; ++half) {  // the right half of the wall, then the left
    Piece(kScheme, kSchemeLayer);
    store::ClearStore();
    DrawWallOutline();
    store::CloseStore();
    store::ScaleStore(0, 0, 0, s);
    if (half == 1) store::ReflectStore(mirror, 0);
    store::MoveStore(ox, oy, 0);
    Flush();
    Piece(kAxis, kSchemeLayer);
    store::HatchStore(Shell.HatchStep, 45);
    Flush();

    if (half == 0) {  // the deformed contour
      const ShellSolution& sol = Solution;
      const float d = Shell.DisplacementScale;
      Piece(kAxis, kDeformedLayer);
      store::ClearStore();
      for (int i = 1; i <= SegmentCount(Shell); ++i) {
        const int first = sol.SegmentFirstNode[i] + 1;
        const int lastNode = std::min(sol.SegmentFirstNode[i] + sol.SegmentNodeCount[i], sol.NodeCount);
        if (first > lastNode) continue;
        store::BeginPolyline();
        for (int n = first; n <= lastNode; ++n)
          store::AddPoint(sol.NodeR[n] + sol.RadialDisplacement[n] * d,
                          sol.NodeZ[n] + sol.AxialDisplacement[n] * d, 0);
      }
      store::CloseStore();
      store::ScaleStore(0, 0, 0, s);
      store::MoveStore(ox, oy, 0);
      Flush();
    }
  }

  // The support marks at the support section, right and left.
  Piece(kScheme, kSchemeLayer);
  const int support = Shell.SupportSection;
  if (support >= 1 && support <= last) {
    const float rs = Shell.SectionRadius[support], zs = Shell.SectionHeight[support];
    for (int side = 0; side < 2; ++side) {
      store::ClearStore();
      Segment2(rs, zs, rs, zs - 5 / s);
      Segment2(rs - 2 / s, zs - 5 / s, rs + 2 / s, zs - 5 / s);
      store::CloseStore();
      store::ScaleStore(0, 0, 0, s);
      if (side == 1) store::ReflectStore(mirror, 0);
      store::MoveStore(ox, oy, 0);
      Flush();
    }
  }

  // The liquid surface, where a segment holds its height.
  const HeightRadius liquid = RadiusAtHeight(Shell.LiquidLevel, Shell);
  if (liquid.Segment != 0) {
    store::ClearStore();
    Segment2(ox - liquid.R, oy + Shell.LiquidLevel, ox + liquid.R, oy + Shell.LiquidLevel);
    store::CloseStore();
    store::ScaleStore(ox, oy, 0, s);
    Flush();
  }

  // The ten diagrams: four beside the scheme, six in the lower row.
  const ShellSolution& sol = Solution;
  const float step = Shell.DiagramStep;
  const float lx = Shell.LowerRowOrigin[0], ly = Shell.LowerRowOrigin[1];
  for (const DiagramSpec& d : kDiagrams) {
    const float* values = sol.*d.Values;
    const float x = (d.LowerRow ? lx : ox) + static_cast<float>(d.Column) * step, y = d.LowerRow ? ly : oy;
    Piece(kScheme, kDiagramLayer);
    DrawDiagram(d.Title, d.Units, values, Shell.*d.Scale, d.Width, d.Decimals);
    store::MoveStore(x, y, 0);
    Flush();
    if (d.Values == &ShellSolution::MeridionalStress || d.Values == &ShellSolution::HoopStress) {
      Piece(kWarningColour, kDiagramLayer);
      if (DrawOverAllowableMarks(values, Shell.*d.Scale)) {
        store::MoveStore(x, y, 0);
        Flush();
      }
    }
  }

  Piece(kScheme, kTableLayer, kTableLayer);
  const float below = DrawResultTable(0, PictureLayout::TableY);
  Flush();
  bool negative = false;
  std::string lines[2];
  if (DesignCheckLines(Shell, Solution, lines, negative)) {
    Piece(negative ? kWarningColour : kScheme, kTableLayer, kTableLayer);
    store::ClearStore();
    const float hF = Shell.FontHeight;
    for (int i = 0; i < 2; ++i) Text(lines[i], 0, below - PictureLayout::LineGap - i * 1.8f * hF, hF, 0.6f * hF);
    store::CloseStore();
    Flush();
  }
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

void DeclarePictureLayers() {
  exchange::g.Layers = kLayers;
  exchange::g.LayerCount = static_cast<int>(std::size(kLayers));
}

void DrawShellScreen() {
  view::PrepareScreen();
  DrawShellPicture();
}

}  // namespace app
