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
  return gfx::NearestInt((v - vmin) / kPlotterUnit * g.PlotScale);
}

std::string Int(std::int32_t n) { return gfx::FormatFixed(n, 0, 0); }

}  // namespace

void ExportPLT(ExportFile& file) {
  g.Out = &file;
  VertexOut = HpglPoint;
  std::int32_t status = 0;
  AskThickness(status);
  if (status == menu::kInputRefused) {
    g.Cancelled = true;
    g.Out = nullptr;
    VertexOut = UgfPoint;
    return;
  }
  g.PlotScale = 1.0f;
  // All flushes share one origin: the lower-left corner of the extent.
  g.PlotXmin = g.PlotYmin = g.PlotXmax = g.PlotYmax = 0;
  store::MeasureExtent2D(g.PlotXmin, g.PlotYmin, g.PlotXmax, g.PlotYmax);
  std::string w = Int(PlotterSteps(g.PlotXmax, g.PlotXmin));
  std::string h = Int(PlotterSteps(g.PlotYmax, g.PlotYmin));
  WriteExportLine(file, "IN;IW0,0," + w + "," + h + ";IP0,0," + w + "," + h + ";SP1;");
  store::OutputDevice = 7;
  RedrawForExport();
  store::OutputDevice = 0;
  VertexOut = UgfPoint;
  gfx::SetColor(15);
  g.ExportColour = 15;
  WriteExportLine(file, "PU0,0;SP0;");
  gfx::SetColor(15);
  g.Out = nullptr;
}

void HpglPoint(float x, float y, std::int32_t pen) {
  // "PU x,y;" or "PD x,y;", built in one line.
  std::string& line = ExportLineBuffer();
  line += "PU ";
  gfx::AppendFixed(line, PlotterSteps(x, g.PlotXmin), 0, 0);
  line += ',';
  gfx::AppendFixed(line, PlotterSteps(y, g.PlotYmin), 0, 0);
  line += ';';
  std::int32_t px = 0, py = 0;
  view::ViewToPixel(x, y, px, py);
  if (pen > 0) {
    if (g.Out != nullptr) {
      char select[16] = "SP";
      const auto end = std::to_chars(select + 2, select + sizeof select - 1, g.ExportColour).ptr;
      *end = ';';
      WriteExportLine(*g.Out, std::string_view(select, static_cast<std::size_t>(end + 1 - select)));
      WriteExportLine(*g.Out, line);
    }
    gfx::MoveTo2(px, py);
  } else if (pen == 0) {
    line[1] = 'D';
    if (g.Out != nullptr) WriteExportLine(*g.Out, line);
    gfx::LineTo2(px, py);
  }
}

}  // namespace exchange
