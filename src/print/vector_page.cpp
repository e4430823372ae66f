// src/print/vector_page.cpp — the picture as one vector page: collected
// through the plane walker (what a printer would draw, each line once at
// its pen width), fitted on a standard sheet, and written as SVG here; the
// PDF is written in pdf_page.cpp.
//
// Index:
//   1. colours and numbers
//   2. collecting the picture (paths per piece, texts)
//   3. SVG
//   4. exports
//
// Colours are the palette's, on white paper: the foreground (15) is black
// and the background colour (0) white, as a printer shows them.
// Coordinates are written in hundredths of a millimetre, rounded once, so
// the files hold the same bytes for the same picture.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "exchange/exchange.h"
#include "graphics/kernel.h"
#include "platform/codepage.h"
#include "platform/file_write.h"
#include "platform/picture.h"
#include "print/print.h"
#include "store/store.h"
#include "view/view.h"

namespace print {

// ---------------------------------------------------------------------------
// 1. Colours and numbers

namespace {

std::uint32_t PaperRgb(int colour) {
  if (colour == gfx::kForeground) return 0x000000;
  if (colour == 0) return 0xFFFFFF;
  if (colour < 0 || colour >= platform::kColourCount) return 0x000000;
  const std::uint32_t bgr = platform::Palette[colour];
  return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

}  // namespace

const PageFormat* FindPageFormat(std::string_view name) {
  for (const PageFormat& f : kPageFormats) {
    const std::string_view known = f.Name;
    if (name.size() == known.size() && (name[0] == 'a' || name[0] == 'A') && name.substr(1) == known.substr(1))
      return &f;
  }
  return nullptr;
}

// Hundredths of a millimetre as the shortest decimal: 1250 -> "12.5",
// -5 -> "-.05", 300 -> "3".
void AppendHundredths(std::string& out, long v) {
  if (v < 0) {
    out += '-';
    v = -v;
  }
  const long whole = v / 100, frac = v % 100;
  if (whole != 0 || frac == 0) out += std::to_string(whole);
  if (frac != 0) {
    out += '.';
    out += static_cast<char>('0' + frac / 10);
    if (frac % 10 != 0) out += static_cast<char>('0' + frac % 10);
  }
}

long Hundredths(float mm) {
  const double v = std::nearbyint(double{mm} * 100);
  // Far outside any sheet; keeps the conversion defined.
  return static_cast<long>(std::clamp(v, -1e12, 1e12));
}

// ---------------------------------------------------------------------------
// 2. Collecting the picture

namespace {

// The picture being collected: page = (OffsetX + (u − Umin)·Scale,
// OffsetY + (Vmax − v)·Scale).
struct Collector {
  VectorPicture* Page = nullptr;
  float Umin = 0, Vmax = 0, Scale = 1, OffsetX = 0, OffsetY = 0;
  bool NewPiece = true;   // the next run starts a new path
  bool RunOpen = false;   // the last run may be continued by a draw
  store::DeviceHook Flush = nullptr;  // the exchange flush the collector wraps
};
Collector collect;

void ToPage(float u, float v, float& x, float& y) {
  x = collect.OffsetX + (u - collect.Umin) * collect.Scale;
  y = collect.OffsetY + (collect.Vmax - v) * collect.Scale;
}

// A run of one point draws nothing; it is taken back.
void DropLoneRun() {
  if (collect.Page->Paths.empty()) return;
  VectorPath& p = collect.Page->Paths.back();
  if (!p.RunStarts.empty() && p.X.size() - p.RunStarts.back() < 2) {
    p.X.resize(p.RunStarts.back());
    p.Y.resize(p.RunStarts.back());
    p.RunStarts.pop_back();
  }
  if (p.RunStarts.empty()) {
    // The path was begun for this run alone: the piece has none yet.
    collect.Page->Paths.pop_back();
    collect.NewPiece = true;
  }
}

void StartRun(int pen) {
  DropLoneRun();
  const std::uint32_t rgb = PaperRgb(pen);
  const float width = std::clamp(exchange::PenWidth(pen) * collect.Scale, kThinnestLineMm, kWidestLineMm);
  std::vector<VectorPath>& paths = collect.Page->Paths;
  if (collect.NewPiece || paths.empty() || paths.back().Rgb != rgb || paths.back().WidthMm != width) {
    VectorPath p;
    p.Rgb = rgb;
    p.WidthMm = width;
    paths.push_back(std::move(p));
    collect.NewPiece = false;
  }
  VectorPath& p = paths.back();
  p.RunStarts.push_back(static_cast<std::uint32_t>(p.X.size()));
  collect.RunOpen = true;
}

void CollectVertex(float u, float v, std::int32_t pen) {
  if (pen > 0 || !collect.RunOpen) StartRun(pen > 0 ? pen : exchange::Exchange.PlanePen);
  float x = 0, y = 0;
  ToPage(u, v, x, y);
  VectorPath& p = collect.Page->Paths.back();
  p.X.push_back(x);
  p.Y.push_back(y);
}

// The texts of the piece in the store, where the walker will draw them.
void CollectTexts() {
  for (int j = 1; j <= store::Store.TextCount; ++j) {
    const char* text = nullptr;
    float c[9] = {};
    int font = 0;
    store::GetText(j, text, c, font);
    const std::string_view screen = text != nullptr ? text : "";
    if (screen.find_first_not_of(' ') == std::string_view::npos) continue;
    float x[3] = {}, y[3] = {};
    for (int k = 0; k < 3; ++k) {
      float u = 0, v = 0;
      view::WorldToView(c[3 * k], c[3 * k + 1], c[3 * k + 2], u, v);
      ToPage(u, v, x[k], y[k]);
    }
    const double bx = x[1] - x[0], by = y[1] - y[0];
    const double base = std::hypot(bx, by);
    VectorText t;
    t.Text = gfx::Utf8FromScreen(screen);
    t.X = x[0];
    t.Y = y[0];
    t.Cells = static_cast<int>(screen.size());
    t.CellMm = static_cast<float>(base / t.Cells);
    // Page y grows downwards: the angle a reader sees is that of (bx, −by).
    t.AngleDeg = base > 0 ? static_cast<float>(std::atan2(-by, bx) * 180 / 3.141592653589793) : 0.0f;
    // The capital height: the distance of the top corner from the base line.
    const double tx = x[2] - x[0], ty = y[2] - y[0];
    t.HeightMm = static_cast<float>(base > 0 ? std::fabs(tx * by - ty * bx) / base : std::hypot(tx, ty));
    t.Rgb = PaperRgb(gfx::GetColor());  // the colour the piece is flushed in
    collect.Page->Texts.push_back(std::move(t));
  }
}

void CollectFlush(store::Device device) {
  collect.NewPiece = true;
  collect.RunOpen = false;
  if (device == store::Device::PlaneWalker) CollectTexts();
  collect.Flush(device);
}

}  // namespace

VectorPicture CollectPicture(const PageFormat& format) {
  VectorPicture page;
  page.WidthMm = format.WidthMm;
  page.HeightMm = format.HeightMm;
  float umin = 0, vmin = 0, umax = 0, vmax = 0;
  store::MeasureExtent2D(umin, vmin, umax, vmax);
  // The largest scale that fits both ways; a picture without width or
  // height is fitted the other way only.
  const double roomX = format.WidthMm - 2 * kPageMarginMm, roomY = format.HeightMm - 2 * kPageMarginMm;
  const double w = double{umax} - umin, h = double{vmax} - vmin;
  double scale = std::min(w > 0 ? roomX / w : HUGE_VAL, h > 0 ? roomY / h : HUGE_VAL);
  if (!std::isfinite(scale) || scale <= 0) scale = 1;
  collect = Collector{};
  collect.Page = &page;
  collect.Umin = umin;
  collect.Vmax = vmax;
  collect.Scale = static_cast<float>(scale);
  collect.OffsetX = static_cast<float>(kPageMarginMm + (roomX - w * scale) / 2);
  collect.OffsetY = static_cast<float>(kPageMarginMm + (roomY - h * scale) / 2);
  collect.Flush = store::Slots.ExchangeFlush;

  const exchange::VertexSink keepSink = exchange::Slots.VertexOut;
  const float keepScale = exchange::Exchange.OutputScale;
  const bool keepSingle = exchange::Exchange.SinglePass;
  exchange::Slots.VertexOut = CollectVertex;
  exchange::Exchange.OutputScale = 1.0f;
  exchange::Exchange.SinglePass = true;
  store::Slots.ExchangeFlush = CollectFlush;
  store::RunDevicePass(store::Device::PlaneWalker, exchange::Slots.RedrawForExport);
  store::Slots.ExchangeFlush = collect.Flush;
  exchange::Slots.VertexOut = keepSink;
  exchange::Exchange.OutputScale = keepScale;
  exchange::Exchange.SinglePass = keepSingle;
  DropLoneRun();
  collect = Collector{};
  return page;
}

// ---------------------------------------------------------------------------
// 3. SVG

namespace {

// Capital height of the usual monospaced fonts, in ems.
constexpr float kMonospaceCapital = 0.73f;

void AppendRgb(std::string& out, std::uint32_t rgb) {
  char colour[8];
  std::snprintf(colour, sizeof colour, "#%06x", static_cast<unsigned>(rgb & 0xFFFFFF));
  out += colour;
}

// Text for XML character data and attribute values.
void AppendXmlText(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        // XML has no place for control characters.
        out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
  }
}

// A path's runs: the first point absolute, every other relative, so that
// most numbers take three or four characters.
void AppendPathData(std::string& out, const VectorPath& p) {
  long atX = 0, atY = 0;  // the first point is taken from the origin
  std::size_t run = 0;
  for (std::size_t k = 0; k < p.X.size(); ++k) {
    const long x = Hundredths(p.X[k]), y = Hundredths(p.Y[k]);
    char command = 0;
    if (run < p.RunStarts.size() && p.RunStarts[run] == k) {
      command = k == 0 ? 'M' : 'm';
      ++run;
    } else if (k == 1) {
      command = 'l';  // after M further pairs would be absolute
    }
    const long dx = x - atX, dy = y - atY;
    if (command != 0) {
      out += command;
    } else if (dx >= 0) {
      out += ' ';
    }
    AppendHundredths(out, dx);
    if (dy >= 0) out += ' ';
    AppendHundredths(out, dy);
    atX = x;
    atY = y;
  }
}

}  // namespace

std::string SvgText(const VectorPicture& picture) {
  std::string out;
  out.reserve(4096 + picture.Paths.size() * 64 + picture.Texts.size() * 160);
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  out += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"";
  AppendHundredths(out, Hundredths(picture.WidthMm));
  out += "mm\" height=\"";
  AppendHundredths(out, Hundredths(picture.HeightMm));
  out += "mm\" viewBox=\"0 0 ";
  AppendHundredths(out, Hundredths(picture.WidthMm));
  out += ' ';
  AppendHundredths(out, Hundredths(picture.HeightMm));
  out += "\">\n<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  out += "<g fill=\"none\" stroke-linecap=\"round\" stroke-linejoin=\"round\">\n";
  for (const VectorPath& p : picture.Paths) {
    out += "<path stroke=\"";
    AppendRgb(out, p.Rgb);
    out += "\" stroke-width=\"";
    AppendHundredths(out, std::max(1L, Hundredths(p.WidthMm)));
    out += "\" d=\"";
    AppendPathData(out, p);
    out += "\"/>\n";
  }
  out += "</g>\n";
  // The texts, invisible over their stroke letters: a monospaced font whose
  // capitals are as high as the strokes', stretched to the same length.
  out += "<g font-family=\"monospace\" fill=\"none\" xml:space=\"preserve\">\n";
  for (const VectorText& t : picture.Texts) {
    const long x = Hundredths(t.X), y = Hundredths(t.Y);
    out += "<text x=\"";
    AppendHundredths(out, x);
    out += "\" y=\"";
    AppendHundredths(out, y);
    out += "\" font-size=\"";
    AppendHundredths(out, std::max(1L, Hundredths(t.HeightMm / kMonospaceCapital)));
    out += "\" textLength=\"";
    AppendHundredths(out, std::max(1L, Hundredths(t.CellMm * static_cast<float>(t.Cells))));
    out += "\" lengthAdjust=\"spacingAndGlyphs\"";
    const long angle = Hundredths(t.AngleDeg);
    if (angle != 0) {
      out += " transform=\"rotate(";
      AppendHundredths(out, -angle);
      out += ' ';
      AppendHundredths(out, x);
      out += ' ';
      AppendHundredths(out, y);
      out += ")\"";
    }
    out += '>';
    AppendXmlText(out, t.Text);
    out += "</text>\n";
  }
  out += "</g>\n</svg>\n";
  return out;
}

// ---------------------------------------------------------------------------
// 4. Exports

namespace {

// Writes through a temporary file beside the target, so a failure leaves
// nothing under the name asked for.
std::string WriteWhole(const std::string& path, const std::string& bytes) {
  std::string error;
  if (!platform::WriteFileAtomic(path, bytes, error) && error.empty()) error = "failed";
  return error;
}

}  // namespace

std::string ExportSvg(const std::string& path) { return WriteWhole(path, SvgText(CollectPicture(Printing.Page))); }

std::string ExportPdf(const std::string& path) { return WriteWhole(path, PdfText(CollectPicture(Printing.Page))); }

}  // namespace print
