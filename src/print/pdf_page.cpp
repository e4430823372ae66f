// src/print/pdf_page.cpp — a vector picture as a one-page PDF file.
//
// The page holds the lines as stroked paths and every text as invisible
// text (render mode 3) in Courier, stretched over its stroke letters, so
// that readers find, select and copy the words and numbers while the page
// shows the program's own letters. The text bytes are the screen code
// page's; a ToUnicode map tells readers what they are. The content stream
// is compressed by zlib; nothing in the file depends on the time or the
// machine, so one picture always gives the same bytes.
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "platform/codepage.h"
#include "print/print.h"

namespace print {

namespace {

// The content stream counts in hundredths of a millimetre, y upwards.
constexpr const char* kHundredthToPoint = "0.0283465 0 0 0.0283465 0 0 cm";
constexpr double kPointsPerMm = 72 / 25.4;
constexpr double kCourierAdvance = 0.6;   // every Courier glyph, in ems
constexpr double kCourierCapital = 0.562;
constexpr int kFirstCode = 32, kLastCode = 255;

void AppendValue(std::string& out, double v) { AppendHundredths(out, std::lround(v * 100)); }

void AppendColour(std::string& out, std::uint32_t rgb) {
  for (int shift : {16, 8, 0}) {
    AppendValue(out, ((rgb >> shift) & 0xFF) / 255.0);
    out += ' ';
  }
  out += "RG\n";
}

void AppendHex(std::string& out, std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  out += '<';
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    if (b < kFirstCode) b = ' ';
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  out += '>';
}

std::string Content(const VectorPicture& picture) {
  std::string out = "1 J 1 j\n";
  out += kHundredthToPoint;
  out += '\n';
  const long top = Hundredths(picture.HeightMm);
  std::uint32_t rgb = 0;
  long width = -1;
  out += "0 0 0 RG\n";
  for (const VectorPath& p : picture.Paths) {
    if (p.Rgb != rgb) AppendColour(out, rgb = p.Rgb);
    const long w = std::max(1L, Hundredths(p.WidthMm));
    if (w != width) {
      out += std::to_string(width = w) + " w\n";
    }
    std::size_t run = 0;
    for (std::size_t k = 0; k < p.X.size(); ++k) {
      const bool starts = run < p.RunStarts.size() && p.RunStarts[run] == k;
      if (starts) ++run;
      out += std::to_string(Hundredths(p.X[k])) + ' ' + std::to_string(top - Hundredths(p.Y[k]));
      out += starts ? " m\n" : " l\n";
    }
    out += "S\n";
  }
  if (!picture.Texts.empty()) {
    out += "BT\n/F1 1 Tf 3 Tr\n";
    for (const VectorText& t : picture.Texts) {
      const double a = t.AngleDeg * 3.141592653589793 / 180;
      const double across = 100.0 * t.CellMm / kCourierAdvance, up = 100.0 * t.HeightMm / kCourierCapital;
      for (double v : {across * std::cos(a), across * std::sin(a), -up * std::sin(a), up * std::cos(a)}) {
        AppendValue(out, v);
        out += ' ';
      }
      out += std::to_string(Hundredths(t.X)) + ' ' + std::to_string(top - Hundredths(t.Y)) + " Tm ";
      AppendHex(out, gfx::ScreenFromUtf8(t.Text));
      out += " Tj\n";
    }
    out += "ET\n";
  }
  return out;
}

// What the text bytes mean: ASCII as it is, the upper half as the screen
// code page has it.
std::string ToUnicodeMap() {
  std::string out =
      "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
      "1 begincodespacerange\n<00> <FF>\nendcodespacerange\n"
      "1 beginbfrange\n<20> <7E> <0020>\nendbfrange\n";
  char line[32];
  constexpr int kPerBlock = 64;  // a block holds at most 100 entries
  for (int first = 0x80; first <= 0xFF; first += kPerBlock) {
    out += std::to_string(kPerBlock) + " beginbfchar\n";
    for (int b = first; b < first + kPerBlock; ++b) {
      std::snprintf(line, sizeof line, "<%02X> <%04X>\n", b, static_cast<unsigned>(gfx::kScreenHigh[b - 0x80]));
      out += line;
    }
    out += "endbfchar\n";
  }
  out += "endcmap\nCMapName currentdict /CIDInit defineresource pop\nend\nend\n";
  return out;
}

// A stream object's dictionary and data, compressed when zlib can.
std::string Stream(const std::string& data) {
  uLongf size = compressBound(static_cast<uLong>(data.size()));
  std::vector<Bytef> packed(size);
  if (compress2(packed.data(), &size, reinterpret_cast<const Bytef*>(data.data()),
                static_cast<uLong>(data.size()), Z_BEST_COMPRESSION) != Z_OK) {
    return "<< /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream";
  }
  return "<< /Length " + std::to_string(size) + " /Filter /FlateDecode >>\nstream\n" +
         std::string(reinterpret_cast<const char*>(packed.data()), size) + "\nendstream";
}

}  // namespace

std::string PdfText(const VectorPicture& picture) {
  std::string mediaBox;
  AppendValue(mediaBox, picture.WidthMm * kPointsPerMm);
  mediaBox += ' ';
  AppendValue(mediaBox, picture.HeightMm * kPointsPerMm);
  std::string widths;
  for (int c = kFirstCode; c <= kLastCode; ++c) widths += c == kFirstCode ? "600" : " 600";

  const std::string objects[] = {
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + mediaBox +
          "] /Resources << /Font << /F1 5 0 R >> >> /Contents 4 0 R >>",
      Stream(Content(picture)),
      "<< /Type /Font /Subtype /Type1 /BaseFont /Courier /FirstChar " + std::to_string(kFirstCode) +
          " /LastChar " + std::to_string(kLastCode) + " /Widths [" + widths + "] /ToUnicode 6 0 R >>",
      Stream(ToUnicodeMap()),
      "<< /Title (Brelmora) /Creator (Brelmora) /Producer (Brelmora) >>",
  };
  constexpr int kObjects = static_cast<int>(std::size(objects));
  std::string out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  std::vector<std::size_t> offsets;
  for (int k = 0; k < kObjects; ++k) {
    offsets.push_back(out.size());
    out += std::to_string(k + 1) + " 0 obj\n" + objects[k] + "\nendobj\n";
  }
  const std::size_t xref = out.size();
  out += "xref\n0 " + std::to_string(kObjects + 1) + "\n0000000000 65535 f \n";
  char entry[24];
  for (std::size_t offset : offsets) {
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
    out += entry;
  }
  out += "trailer\n<< /Size " + std::to_string(kObjects + 1) + " /Root 1 0 R /Info 7 0 R >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
  return out;
}

}  // namespace print
