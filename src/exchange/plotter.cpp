// src/exchange/plotter.cpp — the picture as an HPGL plotter program (.PLT):
// the plotter window set to the picture's extent, one instruction per pen
// move of the plane walker, then the pen parked and put away.
#include <charconv>
#include <cstring>
#include <string>

#include "exchange/exchange.h"
#include "graphics/kernel.h"
#include "graphics/numbers.h"
#include "menu/input.h"
#include "store/store.h"
#include "view/view.h"

namespace exchange {

namespace {

std::int32_t PlotterSteps(double v, double vmin) {
  return gfx::NearestInt((v - vmin) / kPlotterUnit * Exchange.PlotScale);
}

std::string Int(std::int32_t n) { return gfx::FormatFixed(n, 0, 0); }

// "SP15;" and CR LF for colour 15 in line, which holds kSelectRoom bytes;
// its length.
constexpr std::size_t kSelectRoom = 16;  // "SP-2147483648;" and CR LF
std::size_t SelectLine(char* line, std::int32_t colour) {
  char* at = line;
  *at++ = 'S';
  *at++ = 'P';
  at = std::to_chars(at, line + kSelectRoom, colour).ptr;
  *at++ = ';';
  *at++ = '\r';
  *at++ = '\n';
  return static_cast<std::size_t>(at - line);
}

}  // namespace

void ExportPLT(ExportFile& file) {
  if (!BeginThickExport(file, HpglPoint)) return;
  Exchange.PlotScale = 1.0f;
  // All flushes share one origin: the lower-left corner of the extent.
  Exchange.PlotXmin = Exchange.PlotYmin = Exchange.PlotXmax = Exchange.PlotYmax = 0;
  store::MeasureExtent2D(Exchange.PlotXmin, Exchange.PlotYmin, Exchange.PlotXmax, Exchange.PlotYmax);
  std::string w = Int(PlotterSteps(Exchange.PlotXmax, Exchange.PlotXmin));
  std::string h = Int(PlotterSteps(Exchange.PlotYmax, Exchange.PlotYmin));
  WriteExportLine(file, "IN;IW0,0," + w + "," + h + ";IP0,0," + w + "," + h + ";SP1;");
  store::RunDevicePass(store::Device::PlotterFile, Slots.RedrawForExport);
  WriteQueuedPoints();
  Slots.VertexOut = UgfPoint;
  gfx::SetColor(gfx::kForeground);
  Exchange.ExportColour = gfx::kForeground;
  WriteExportLine(file, "PU0,0;SP0;");
  gfx::SetColor(gfx::kForeground);
  Exchange.Out = nullptr;
}

void HpglPoint(float x, float y, std::int32_t pen) {
  if (pen < 0) return;
  if (Exchange.Out != nullptr) QueuePoint(WriteHpglPoints, x, y, pen);
  EchoPoint(x, y, pen);
}

void HpglPolyline(const float* x, const float* y, int n, std::int32_t pen) {
  if (n >= 1 && pen < 0) {  // the first point goes nowhere
    ++x;
    ++y;
    --n;
    pen = 0;
  }
  if (Exchange.Out != nullptr) QueuePolyline(WriteHpglPoints, x, y, n, pen);
  if (!gfx::K.Unseen)
    for (int k = 1; k <= n; ++k) EchoPoint(x[k], y[k], k == 1 ? pen : 0);
}

void WriteHpglPoints(ExportFile& file, const QueuedPoint* points, int count) {
  // The steps of every point first: none waits for the text before it.
  std::int32_t steps[2 * kQueuedPoints];
  for (int i = 0; i < count; ++i) {
    steps[2 * i] = PlotterSteps(points[i].X, Exchange.PlotXmin);
    steps[2 * i + 1] = PlotterSteps(points[i].Y, Exchange.PlotYmin);
  }
  // A move with the pen takes the pen first, "SP15;": its line is written
  // before every line and kept before a move (where runs begin follows no
  // pattern that a branch could learn).
  char select[kSelectRoom];
  std::int32_t selectColour = 0;
  std::size_t selectLength = SelectLine(select, selectColour);
  LineRun lines(file);
  for (int i = 0; i < count; ++i) {
    char* at = lines.Line();
    if (points[i].Colour != selectColour) selectLength = SelectLine(select, selectColour = points[i].Colour);
    const bool move = points[i].Pen > 0;
    std::memcpy(at, select, kSelectRoom);
    at += move ? selectLength : 0;
    // "PU x,y;" or "PD x,y;"
    std::memcpy(at, move ? "PU " : "PD ", 4);
    at += 3;
    at = gfx::WriteWhole(at, steps[2 * i]);
    *at++ = ',';
    at = gfx::WriteWhole(at, steps[2 * i + 1]);
    *at++ = ';';
    lines.End(at);
  }
}

}  // namespace exchange
