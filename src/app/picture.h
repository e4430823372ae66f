// src/app/picture.h — the picture of the application: the scheme of the
// shell (both halves of the wall, hatched, with the axis, the supports, the
// liquid surface and the deformed contour), a scale bar, the result table
// and ten diagrams along the generatrix.
//
// Every piece is built in the drawing store in model millimetres, scaled by
// the picture scale, moved to its place and flushed to the current output,
// so the same routine serves the screen, printing and export.
#pragma once

#include <string_view>

#include "app/shell_model.h"

namespace app {

// Builds and flushes every piece of the picture (runs the solver twice).
// Each piece goes on its layer: SCHEME (wall, hatching, axis, supports,
// liquid), DEFORMED, DIAGRAMS, TABLE (the table and the scale bar) and
// TEXT (every other text).
void DrawShellPicture();

// Lists the picture's layers for the exchange files (start-up).
void DeclarePictureLayers();

// The drawing hook of the view: prepare the screen, then the picture.
void DrawShellScreen();

// The result table, moved by (dx, dy) (runs the solver twice).
void DrawResultTable(float dx, float dy);

// One diagram of node values: baseline, title, end values, curve and hatch,
// in model mm scaled by the picture scale; the caller moves and flushes it.
void DrawDiagram(std::string_view title, std::string_view units, const float* values, float scale,
                 int width, int decimals);

// The outline of the wall (both faces) of every segment, model mm.
void DrawWallOutline();

// A scale bar at (x, y): s the picture scale, count ticks `step` apart.
void DrawScaleBar(float x, float y, float s, float step, int count);

}  // namespace app
