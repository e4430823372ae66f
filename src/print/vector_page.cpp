// src/print/vector_page.cpp — the picture as one vector page: collected
// through the plane walker at scale 1 (what a printer would draw), then
// written as SVG here or as PDF by the printer backend.
//
// Colours are the palette's, on white paper: the foreground (15) is black
// and the background colour (0) white, as a printer shows them.
#include <algorithm>
#include <cstdio>
#include <string>

#include "exchange/exchange.h"
#include "graphics/kernel.h"
#include "platform/file_write.h"
#include "print/print.h"
#include "store/store.h"

namespace print {

namespace {

// The page being collected: page = (x − Xmin + margin, Ymax − y + margin).
struct Collector {
  VectorPicture* Page = nullptr;
  float Xmin = 0, Ymax = 0;
  bool Open = false;  // the last stroke may be continued
};
Collector collect;

std::uint32_t PaperRgb(int colour) {
  if (colour == 15) return 0x000000;
  if (colour == 0) return 0xFFFFFF;
  if (colour < 0 || colour >= gfx::kColourCount) return 0x000000;
  const std::uint32_t bgr = gfx::Palette[colour];
  return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

void CollectVertex(float x, float y, std::int32_t pen) {
  VectorPicture& page = *collect.Page;
  const float px = x - collect.Xmin + kPageMarginMm, py = collect.Ymax - y + kPageMarginMm;
  if (pen > 0 || !collect.Open) {
    // A single point left behind by a move draws nothing.
    if (!page.Strokes.empty() && page.Strokes.back().X.size() < 2) page.Strokes.pop_back();
    VectorStroke s;
    s.Rgb = PaperRgb(pen > 0 ? pen : exchange::g.PlanePen);
    page.Strokes.push_back(std::move(s));
    collect.Open = true;
  }
  page.Strokes.back().X.push_back(px);
  page.Strokes.back().Y.push_back(py);
}

// Writes through a temporary file beside the target, so a failure leaves
// nothing under the name asked for.
std::string WriteWhole(const std::string& path, const std::string& bytes) {
  std::string error;
  if (!platform::WriteFileAtomic(path, bytes, error) && error.empty()) error = "failed";
  return error;
}

void AppendNumber(std::string& out, float v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.3f", static_cast<double>(v));
  // 12.500 -> 12.5, 3.000 -> 3: shorter files, same values.
  std::string s(buf);
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  if (s == "-0") s = "0";
  out += s;
}

}  // namespace

VectorPicture CollectPicture() {
  VectorPicture page;
  float umin = 0, vmin = 0, umax = 0, vmax = 0;
  store::MeasureExtent2D(umin, vmin, umax, vmax);
  page.WidthMm = (umax - umin) + 2 * kPageMarginMm;
  page.HeightMm = (vmax - vmin) + 2 * kPageMarginMm;
  page.LineWidthMm = std::max(0.1f, exchange::g.PassOffset);
  collect = Collector{&page, umin, vmax, false};

  const exchange::VertexSink keep = exchange::VertexOut;
  const float keepScale = exchange::g.OutputScale;
  exchange::VertexOut = CollectVertex;
  exchange::g.OutputScale = 1.0f;
  store::OutputDevice = 2;
  exchange::RedrawForExport();
  store::OutputDevice = 0;
  exchange::VertexOut = keep;
  exchange::g.OutputScale = keepScale;
  if (!page.Strokes.empty() && page.Strokes.back().X.size() < 2) page.Strokes.pop_back();
  collect = Collector{};
  return page;
}

std::string SvgText(const VectorPicture& picture) {
  std::string out;
  out.reserve(64 + picture.Strokes.size() * 96);
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
  AppendNumber(out, picture.WidthMm);
  out += "mm\" height=\"";
  AppendNumber(out, picture.HeightMm);
  out += "mm\" viewBox=\"0 0 ";
  AppendNumber(out, picture.WidthMm);
  out += ' ';
  AppendNumber(out, picture.HeightMm);
  out += "\">\n";
  out += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  out += "<g fill=\"none\" stroke-linecap=\"round\" stroke-linejoin=\"round\" stroke-width=\"";
  AppendNumber(out, picture.LineWidthMm);
  out += "\">\n";
  for (const VectorStroke& s : picture.Strokes) {
    char colour[8];
    std::snprintf(colour, sizeof colour, "#%06x", static_cast<unsigned>(s.Rgb & 0xFFFFFF));
    out += "<path stroke=\"";
    out += colour;
    out += "\" d=\"";
    for (std::size_t k = 0; k < s.X.size(); ++k) {
      out += k == 0 ? "M" : " L";
      AppendNumber(out, s.X[k]);
      out += ' ';
      AppendNumber(out, s.Y[k]);
    }
    out += "\"/>\n";
  }
  out += "</g>\n</svg>\n";
  return out;
}

std::string ExportSvg(const std::string& path) { return WriteWhole(path, SvgText(CollectPicture())); }

std::string ExportPdf(const std::string& path) {
  const VectorPicture page = CollectPicture();
  return g.Backend.WriteVectorPdf(path, page);
}

}  // namespace print
