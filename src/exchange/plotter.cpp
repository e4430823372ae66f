// src/exchange/plotter.cpp — the picture as an HPGL plotter program (.PLT):
// the plotter window set to the picture's extent, one instruction per pen
// move of the plane walker, then the pen parked and put away.
#include <charconv>
#include <string>
#include <string_view>

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
}

void HpglPoint(float x, float y, std::int32_t pen) {
  // "PU x,y;" or "PD x,y;", built in one line.
  std::string& line = ExportLineBuffer();
  line += "PU ";
  gfx::AppendFixed(line, PlotterSteps(x, Exchange.PlotXmin), 0, 0);
  line += ',';
  gfx::AppendFixed(line, PlotterSteps(y, Exchange.PlotYmin), 0, 0);
  line += ';';
  std::int32_t px = 0, py = 0;
  view::ViewToPixel(x, y, px, py);
  if (pen > 0) {
    if (Exchange.Out != nullptr) {
      char select[16] = "SP";
      const auto end = std::to_chars(select + 2, select + sizeof select - 1, Exchange.ExportColour).ptr;
      *end = ';';
      WriteExportLine(*Exchange.Out, std::string_view(select, static_cast<std::size_t>(end + 1 - select)));
      WriteExportLine(*Exchange.Out, line);
    }
    gfx::MoveTo2(px, py);
  } else if (pen == 0) {
    line[1] = 'D';
    if (Exchange.Out != nullptr) WriteExportLine(*Exchange.Out, line);
    gfx::LineTo2(px, py);
  }
}

}  // namespace exchange
