// src/exchange/plotter.cpp — the picture as an HPGL plotter program (.PLT):
// the plotter window set to the picture's extent, one instruction per pen
// move of the plane walker, then the pen parked and put away.
#include <charconv>
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
  Slots.VertexOut = UgfPoint;
  gfx::SetColor(gfx::kForeground);
  Exchange.ExportColour = gfx::kForeground;
  WriteExportLine(file, "PU0,0;SP0;");
  gfx::SetColor(gfx::kForeground);
  Exchange.Out = nullptr;
  FlushExportLines(file);
}

void HpglPoint(float x, float y, std::int32_t pen) {
  if (pen < 0) return;
  if (Exchange.Out != nullptr) {
    ExportFile& file = *Exchange.Out;
    char* at = LineStart(file);
    if (pen > 0) {  // the pen first: "SP15;"
      *at++ = 'S';
      *at++ = 'P';
      at = std::to_chars(at, at + 16, Exchange.ExportColour).ptr;
      *at++ = ';';
      EndLine(file, at);
      at = LineStart(file);
    }
    // "PU x,y;" or "PD x,y;"
    *at++ = 'P';
    *at++ = pen > 0 ? 'U' : 'D';
    *at++ = ' ';
    at = gfx::WriteFixed(at, PlotterSteps(x, Exchange.PlotXmin), 0, 0);
    *at++ = ',';
    at = gfx::WriteFixed(at, PlotterSteps(y, Exchange.PlotYmin), 0, 0);
    *at++ = ';';
    EndLine(file, at);
  }
  EchoPoint(x, y, pen);
}

}  // namespace exchange
