// src/exchange/plotter.cpp — the picture as an HPGL plotter program (.PLT):
// the plotter window set to the picture's extent, one instruction per pen
// move of the plane walker, then the pen parked and put away.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
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

// The points of a pass that measures the picture while it draws it, held
// until the extent (the origin of every step) is known; the memory is kept
// from one export to the next, as the text's is.
struct HeldMoves {
  bool Holding = false;  // WriteHpglPoints holds what it is given
  std::unique_ptr<QueuedPoint[]> Points;
  std::size_t Count = 0, Room = 0;
};
HeldMoves held;

void Hold(const QueuedPoint* points, int count) {
  const auto more = static_cast<std::size_t>(count);
  if (held.Room - held.Count < more) {
    const std::size_t room = std::max({2 * held.Room, held.Count + more, std::size_t{1} << 16});
    auto grown = std::make_unique_for_overwrite<QueuedPoint[]>(room);
    if (held.Count > 0) std::memcpy(grown.get(), held.Points.get(), held.Count * sizeof(QueuedPoint));
    held.Points = std::move(grown);
    held.Room = room;
  }
  std::memcpy(held.Points.get() + held.Count, points, more * sizeof(QueuedPoint));
  held.Count += more;
}

// The plotter window: the extent in steps.
void WriteWindow(ExportFile& file) {
  std::string w = Int(PlotterSteps(Exchange.PlotXmax, Exchange.PlotXmin));
  std::string h = Int(PlotterSteps(Exchange.PlotYmax, Exchange.PlotYmin));
  WriteExportLine(file, "IN;IW0,0," + w + "," + h + ";IP0,0," + w + "," + h + ";SP1;");
}

}  // namespace

void ExportPLT(ExportFile& file) {
  if (!BeginThickExport(file, HpglPoint)) return;
  Exchange.PlotScale = 1.0f;
  // All flushes share one origin: the lower-left corner of the extent.
  Exchange.PlotXmin = Exchange.PlotYmin = Exchange.PlotXmax = Exchange.PlotYmax = 0;
  if (store::Slots.RedrawForMeasure == Slots.RedrawForExport) {
    // The extent pass would run this very redraw: one pass measures each
    // piece as that pass would and draws it, its points held until the
    // window is written.
    store::BeginPassExtent2D();
    held.Holding = true;
    held.Count = 0;
    store::RunDevicePass(store::Device::PlotterFile, Slots.RedrawForExport);
    WriteQueuedPoints();
    held.Holding = false;
    if (!store::EndPassExtent2D(Exchange.PlotXmin, Exchange.PlotYmin, Exchange.PlotXmax, Exchange.PlotYmax))
      store::MeasureExtent2D(Exchange.PlotXmin, Exchange.PlotYmin, Exchange.PlotXmax, Exchange.PlotYmax);
    WriteWindow(file);
    for (std::size_t i = 0; i < held.Count; i += kQueuedPoints)
      WriteHpglPoints(file, held.Points.get() + i, static_cast<int>(std::min<std::size_t>(kQueuedPoints, held.Count - i)));
  } else {
    store::MeasureExtent2D(Exchange.PlotXmin, Exchange.PlotYmin, Exchange.PlotXmax, Exchange.PlotYmax);
    WriteWindow(file);
    store::RunDevicePass(store::Device::PlotterFile, Slots.RedrawForExport);
    WriteQueuedPoints();
  }
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
  EchoPolyline(x, y, n, pen);
}

void WriteHpglPoints(ExportFile& file, const QueuedPoint* points, int count) {
  if (held.Holding) return Hold(points, count);
  // The steps of every point first: none waits for the text before it.
  // x and y go through each operation of PlotterSteps side by side (one
  // division for both: each lane is the same correctly rounded operation,
  // so the steps are PlotterSteps' to the bit); a pair beyond what a
  // rounding by adding 1.5 · 2^52 handles, or with a NaN, takes
  // PlotterSteps itself.
  using Pair = double __attribute__((vector_size(16)));
  const Pair origin = {Exchange.PlotXmin, Exchange.PlotYmin};
  const Pair scale = {Exchange.PlotScale, Exchange.PlotScale};
  const Pair unit = {kPlotterUnit, kPlotterUnit}, spacing = {0x1.8p52, 0x1.8p52};
  constexpr double kWithin = 0x1p30;  // rounds inside the 32-bit range
  std::int32_t steps[2 * kQueuedPoints];
  for (int i = 0; i < count; ++i) {
    const Pair v = {points[i].X, points[i].Y};
    const Pair s = (v - origin) / unit * scale;
    const Pair r = (s + spacing) - spacing;
    if (std::fabs(s[0]) < kWithin && std::fabs(s[1]) < kWithin) {
      steps[2 * i] = static_cast<std::int32_t>(r[0]);
      steps[2 * i + 1] = static_cast<std::int32_t>(r[1]);
    } else {
      steps[2 * i] = PlotterSteps(points[i].X, Exchange.PlotXmin);
      steps[2 * i + 1] = PlotterSteps(points[i].Y, Exchange.PlotYmin);
    }
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
