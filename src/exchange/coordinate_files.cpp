// src/exchange/coordinate_files.cpp — three plain-text exchange files:
// .UGF, the flat picture as pen moves in the view plane; .GEO, the 3D
// polylines as pen moves in world coordinates; .TRE, the 3D facets as
// triangles. Each starts with a one-line comment the user may edit.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "exchange/exchange.h"
#include "graphics/kernel.h"
#include "graphics/numbers.h"
#include "menu/input.h"
#include "platform/codepage.h"
#include "store/store.h"
#include "view/view.h"

namespace exchange {

namespace {

// Field widths and decimals of the three formats.
constexpr int kUgfWidth = 5, kUgfDecimals = 2;
constexpr int kGeoWidth = 6, kGeoDecimals = 4;
constexpr int kTreWidth = 7, kTreDecimals = 4;

// The comment line: the column caption, edited by the user in the Russian
// layout unless the export runs in a batch.
void WriteComment(ExportFile& file, const char* caption) {
  std::string comment = caption;
  if (!Exchange.Batch) {
    std::int32_t layout = menu::KeyboardLayout;
    menu::KeyboardLayout = 1;
    menu::EditLine("Заголовок файла "_sc, comment);
    menu::KeyboardLayout = layout;
  }
  WriteExportLine(file, comment);
}

// "x y pen" of .UGF, written at the start of a line; its end.
char* UgfLine(char* at, float x, float y, std::int32_t pen) {
  at = gfx::WriteFixed(at, x, kUgfWidth, kUgfDecimals);
  *at++ = ' ';
  at = gfx::WriteFixed(at, y, kUgfWidth, kUgfDecimals);
  *at++ = ' ';
  return gfx::WriteWhole(at, pen);
}

void GeoPoint(int k, int pen) {
  float x = 0, y = 0, z = 0;
  store::PointGet(k, x, y, z);
  if (Exchange.Out != nullptr) {
    char* at = LineStart(*Exchange.Out);
    for (float v : {x, y, z}) {
      at = gfx::WriteFixed(at, v, kGeoWidth, kGeoDecimals);
      *at++ = ' ';
    }
    EndLine(*Exchange.Out, gfx::WriteWhole(at, pen));
  }
  if (gfx::K.Unseen) return;  // an echo nobody sees is not drawn
  if (pen > 0) {
    view::MoveToWorld(x, y, z);
  } else {
    view::LineToWorld(x, y, z);
  }
}

double SquaredDistance(int a, int b) {
  float ax = 0, ay = 0, az = 0, bx = 0, by = 0, bz = 0;
  store::PointGet(a, ax, ay, az);
  store::PointGet(b, bx, by, bz);
  double dx = double{bx} - ax, dy = double{by} - ay, dz = double{bz} - az;
  return dx * dx + dy * dy + dz * dz;
}

}  // namespace

// --- .UGF ----------------------------------------------------------------------------------

void ExportUGF(ExportFile& file) {
  if (!BeginThickExport(file, UgfPoint)) return;
  WriteComment(file, kUgfCaption);
  store::RunDevicePass(store::Device::PlaneWalker, Slots.RedrawForExport);
  WriteQueuedPoints();
  EndLine(file, UgfLine(LineStart(file), 0, 0, -1));
  Exchange.Out = nullptr;
}

void UgfPoint(float x, float y, std::int32_t pen) {
  if (Exchange.Out != nullptr) QueuePoint(WriteUgfPoints, x, y, pen);
  EchoPoint(x, y, pen);
}

void UgfPolyline(const float* x, const float* y, int n, std::int32_t pen) {
  if (Exchange.Out != nullptr) QueuePolyline(WriteUgfPoints, x, y, n, pen);
  // (The echo draws on the screen, the queue writes the file: neither
  // touches what the other uses, so the echo may come after the queue.)
  EchoPolyline(x, y, n, pen);
}

void WriteUgfPoints(ExportFile& file, const QueuedPoint* points, int count) {
  using namespace gfx::fixed_text;
  // The hundredths of every point first, x and y side by side: the text of
  // a line then waits for its digits alone, not for the arithmetic before
  // them (whose latency would hold back the lines that follow).
  HundredthsPair hundredths[kQueuedPoints];
  PairMask below = {-1, -1};
  std::uint32_t largestPen = 0;  // a negative pen counts as a large one
  for (int i = 0; i < count; ++i) {
    hundredths[i] = PairHundredths(points[i].X, points[i].Y, below);
    largestPen = std::max(largestPen, static_cast<std::uint32_t>(points[i].Pen));
  }
  LineRun lines(file);
  if ((below[0] & below[1]) == 0 || largestPen >= kSmallWholeLimit) {  // a value of another text
    for (int i = 0; i < count; ++i) lines.End(UgfLine(lines.Line(), points[i].X, points[i].Y, points[i].Pen));
    return;
  }
  static_assert(kUgfWidth <= 7 && kUgfDecimals == 2, "the text of HundredthsBelow1000");
  for (int i = 0; i < count; ++i) {
    char* at = lines.Line();
    at = HundredthsBelow1000(at, static_cast<std::uint32_t>(hundredths[i][0]), std::signbit(points[i].X), kUgfWidth);
    *at++ = ' ';
    at = HundredthsBelow1000(at, static_cast<std::uint32_t>(hundredths[i][1]), std::signbit(points[i].Y), kUgfWidth);
    *at++ = ' ';
    lines.End(SmallWholeText(at, static_cast<std::uint32_t>(points[i].Pen)));
  }
}

void EchoPoint(float x, float y, std::int32_t pen) {
  if (gfx::K.Unseen || pen < 0) return;  // an echo nobody sees is not drawn
  std::int32_t px = 0, py = 0;
  view::ViewToPixel(x, y, px, py);
  if (pen > 0) {
    gfx::MoveTo2(px, py);
  } else {
    gfx::LineTo2(px, py);
  }
}

void EchoPolyline(const float* x, const float* y, int n, std::int32_t pen) {
  if (gfx::K.Unseen) return;
  for (int k = 1; k <= n; ++k) EchoPoint(x[k], y[k], k == 1 ? pen : 0);
}

// --- .GEO ----------------------------------------------------------------------------------

void ExportGEO(ExportFile& file) {
  Exchange.Out = &file;
  WriteComment(file, kGeoCaption);
  store::RunDevicePass(store::Device::GeoFile, Slots.RedrawForExport);
  gfx::SetColor(gfx::kForeground);
  Exchange.ExportColour = gfx::kForeground;
  WriteExportLine(file, " 0 0 0 -1");
  Exchange.Out = nullptr;
}

void WriteGeoObjects() {
  const int colour = Exchange.ExportColour;
  for (int i = 1; i <= store::Store.ObjectCount; ++i) {
    gfx::SetColor(colour);
    int first = 0, last = 0;
    store::GetObjectRange(i, first, last);
    int start = first < 0 ? -first : first;
    if (first > 0) {
      if (start <= last) GeoPoint(start, colour);
      for (int k = start + 1; k <= last; ++k) GeoPoint(k, 0);
    } else {
      // A lone last point of segment pairs has no partner and is left out.
      for (int k = start; k + 1 <= last; k += 2) {
        GeoPoint(k, colour);
        GeoPoint(k + 1, 0);
      }
    }
  }
  gfx::SetColor(gfx::kForeground);
}

// --- .TRE ----------------------------------------------------------------------------------

void ExportTRE(ExportFile& file) {
  Exchange.Out = &file;
  WriteComment(file, kTreCaption);
  WriteExportLine(file, " 0");
  store::RunDevicePass(store::Device::TreFile, Slots.RedrawForExport);
  gfx::SetColor(gfx::kForeground);
  Exchange.ExportColour = gfx::kForeground;
  Exchange.Out = nullptr;
}

void WriteTreFacets() {
  for (int i = 1; i <= store::Store.ObjectCount; ++i) {
    int first = 0, last = 0, kind = 0, pen = 0;
    store::GetObjectRange(i, first, last, kind, pen);
    int s = first < 0 ? -first : first;
    if (kind == store::Triangle && s + 2 <= last) {
      WriteTriangle(s, s + 1, s + 2);
    } else if (kind == store::Quad && s + 3 <= last) {
      WriteQuad(s, s + 1, s + 2, s + 3);
    } else if (kind == store::QuadStrip) {
      for (int k = s; k + 3 <= last; k += 2) WriteQuad(k, k + 1, k + 3, k + 2);
    }
  }
}

void WriteTriangle(int p1, int p2, int p3) {
  float c[3][3] = {};
  const int points[3] = {p1, p2, p3};
  for (int i = 0; i < 3; ++i) store::PointGet(points[i], c[i][0], c[i][1], c[i][2]);
  if (Exchange.Out == nullptr) return;
  char* at = LineStart(*Exchange.Out);
  for (int i = 0; i < 9; ++i) {
    if (i > 0) *at++ = ' ';
    at = gfx::WriteFixed(at, c[i / 3][i % 3], kTreWidth, kTreDecimals);
  }
  *at++ = ' ';
  *at++ = '0';
  EndLine(*Exchange.Out, at);
}

// Split along the shorter diagonal; equal diagonals split along p2–p4.
void WriteQuad(int p1, int p2, int p3, int p4) {
  if (SquaredDistance(p1, p3) < SquaredDistance(p2, p4)) {
    WriteTriangle(p1, p2, p3);
    WriteTriangle(p1, p3, p4);
  } else {
    WriteTriangle(p1, p2, p4);
    WriteTriangle(p2, p3, p4);
  }
}

}  // namespace exchange
