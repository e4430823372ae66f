// src/app/picture.h — the picture of the application: the scheme of the
// shell (both halves of the wall, hatched, with the axis, the supports, the
// liquid surface and the deformed contour), a scale bar, the result table
// and ten diagrams along the generatrix.
//
// Every piece is built in the drawing store in model millimetres, scaled by
// the picture scale, moved to its place and flushed to the current output,
// so the same routine serves the screen, printing and export.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/shell_model.h"
#include "app/shell_solver.h"
#include "platform/codepage.h"

namespace app {

// Where the pieces of the picture stand, picture mm. The fit of the scales
// (picture_fit.h) places nothing: it sizes the pieces for these places.
struct PictureLayout {
  static constexpr float SchemeX = 100, SchemeY = -110;  // r = 0, z = 0 of the scheme and upper row
  static constexpr float LowerRowY = -190;               // the lower row's origin y
  static constexpr float TableY = -20;                   // the table is moved by (0, TableY)
  static constexpr float ScaleBarDx = 5, ScaleBarY = -30;  // the bar's start: (SchemeX + Dx, Y)
  static constexpr float TitleRise = 15, UnitsRise = 10; // a diagram's caption over its last section
  static constexpr float ValueReach = 10;                // end values stand this far right of their node
  static constexpr float LineGap = 2;                    // the table's gaps, and the design line's
};

// The ten diagrams: four in the upper row beside the scheme, six in the
// lower row. Diagram n of a row stands Column × DiagramStep right of the
// row's origin (the scheme's for the upper row).
struct DiagramSpec {
  const char* Title;  // screen text, Russian;English
  const char* Units;
  float (ShellSolution::*Values)[kNodeCapacity];
  float ShellModel::*Scale;
  int Width, Decimals;  // of the end values
  bool LowerRow;
  int Column;
};
constexpr int kDiagramCount = 10;
extern const DiagramSpec kDiagrams[kDiagramCount];

// What the picture shows: the membrane analysis alone, or with the bending
// analysis. A way of looking at the shell, not part of it: the data file
// does not keep it, and the program starts with the membrane picture.
enum class Analysis : std::uint8_t { Membrane, Bending };
extern Analysis PictureAnalysis;

// Solves the model for the picture: the membrane solver twice, then the
// bending analysis when the picture asks for it. True when the picture
// shows the bending analysis: asked for, and solved (else the membrane
// picture stays and BendingFaultText(Bending) says why).
bool SolvePicture();

// Whether the last SolvePicture gave a bending analysis to show.
bool BendingInPicture();

// After a full redraw: when the bending analysis was asked for and could
// not be made, why, on the prompt line until a key is pressed (the picture
// stays the membrane one).
void ReportBendingFault();

// The values diagram d shows: the membrane solution's, or with the bending
// analysis in the picture its own (diagram 2 then shows M1, the stress
// diagrams the larger of the two surface stresses at each node), indexed
// like the nodes with the lids' entries after the shell's.
const float* DiagramValues(int d);

// The entries the diagrams and the deformed contour run over: the
// membrane solution's nodes, or the bending analysis' with the lids'.
struct ShownNodes {
  const float *R, *Z, *NormalR, *NormalZ, *RadialDisplacement, *AxialDisplacement;
  int Count;
};
ShownNodes PictureNodes();

// The scale of diagram d: the model's, or for the M1 diagram one of its
// own that gives it the swing of a fitted diagram (0.4 diagram steps).
float DiagramScale(int d);
bool DiagramHasOwnScale(int d);

// Builds and flushes every piece of the picture (runs the solver twice).
// Each piece goes on its layer: SCHEME (wall, hatching, axis, supports,
// liquid), DEFORMED, DIAGRAMS, TABLE (the table and the scale bar) and
// TEXT (every other text). When the results are not all finite
// (ShellFault), their message stands in place of the deformed contour, the
// diagrams and the table. That message, or the note that a part lay out of
// range or that the wall hatching was thinned, is also said on the prompt
// line when it first applies.
void DrawShellPicture();

constexpr const char* kOutOfRange =
    "Часть чертежа вне диапазона и не показана: проверьте масштабы;"
    "Part of the picture is out of range and not drawn: check the scales"_sc;
constexpr const char* kHatchThinned =
    "Штриховка разрежена: ее линии гуще, чем можно показать;"
    "Hatching thinned: its lines would be denser than can be shown"_sc;

// Lists the picture's layers for the exchange files (start-up).
void DeclarePictureLayers();

// The drawing hook of the view: prepare the screen, then the picture.
void DrawShellScreen();

// The result table, moved by (dx, dy) (runs the solver twice). Returns the
// y of the line that would follow its last one.
float DrawResultTable(float dx, float dy);

// Nodes this close to the axis get no diagram point.
constexpr float kOnAxis = 0.0001f;

// The colour of what needs attention: a negative margin, nodes over the
// allowable stress.
constexpr int kWarningColour = 12;

// One diagram of node values: baseline, title, end values, curve and hatch,
// in model mm scaled by the picture scale; the caller moves and flushes it.
void DrawDiagram(std::string_view title, std::string_view units, const float* values, float scale,
                 int width, int decimals);

// The outline of the wall (both faces) of every segment, model mm; with the
// bending analysis in the picture, the lids' too.
void DrawWallOutline();

// A scale bar at (x, y): s the picture scale, count ticks `step` apart.
void DrawScaleBar(float x, float y, float s, float step, int count);

}  // namespace app
