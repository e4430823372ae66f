// src/exchange/dxf.cpp — the picture as an ASCII DXF drawing (release
// AC1006): a fixed header and tables, then the store's objects and texts as
// POINT, LINE, POLYLINE and TEXT entities in world coordinates.
#include <cmath>
#include <numbers>

#include "exchange/exchange.h"
#include "graphics/kernel.h"
#include "graphics/numbers.h"
#include "store/store.h"

namespace exchange {

namespace {

// Header and tables, one value per line; the group codes here are written
// bare, unlike those of the entities.
constexpr const char* kDxfHeader[] = {
    "999", "DXF created from CAD/CAM Brelmora",
    "0", "SECTION", "2", "HEADER",
    "9", "$ACADVER", "1", "AC1006",
    "9", "$INSBASE", "10", "0.0", "20", "0.0", "30", "0.0",
    "9", "$EXTMIN", "10", "0.0", "20", "0.0",
    "9", "$EXTMAX", "10", "1000.0", "20", "1000.0",
    "0", "ENDSEC",
    "0", "SECTION", "2", "TABLES",
    "0", "TABLE", "2", "LTYPE", "70", "1",
    "0", "LTYPE", "2", "CONTINUOUS", "70", "64", "3", "Solid line", "72", "65", "73", "0",
    "40", "0.000000",
    "0", "ENDTAB",
    "0", "TABLE", "2", "LAYER", "70", "6",
    "0", "LAYER", "2", "1", "70", "64", "62", "7", "6", "CONTINUOUS",
    "0", "LAYER", "2", "2", "70", "64", "62", "7", "6", "CONTINUOUS",
    "0", "ENDTAB",
    "0", "TABLE", "2", "STYLE", "70", "0",
    "0", "ENDTAB",
    "0", "ENDSEC",
    "0", "SECTION", "2", "BLOCKS",
    "0", "ENDSEC",
};

constexpr double kDegreesPerRadian = 57.295779;

void WriteLine(std::string_view line) {
  if (g.Out != nullptr) WriteExportLine(*g.Out, line);
}

void EntityStart(const char* name, int colour) {
  DxfGroupString(0, name);
  DxfGroupInt(62, colour);
  DxfGroupString(8, "1");
}

void PointGroups(int k, int codeX) {
  float x = 0, y = 0, z = 0;
  store::PointGet(k, x, y, z);
  DxfGroupReal(codeX, x);
  DxfGroupReal(codeX + 10, y);
  DxfGroupReal(codeX + 20, z);
}

void DxfLine(int k, int colour) {
  EntityStart("LINE", colour);
  PointGroups(k, 10);
  PointGroups(k + 1, 11);
}

}  // namespace

void DxfGroupString(int code, std::string_view text) {
  WriteLine(gfx::FormatNumber(code, 2, 0));
  WriteLine(text);
}

void DxfGroupInt(int code, int n) {
  WriteLine(gfx::FormatNumber(code, 2, 0));
  WriteLine(gfx::FormatFixed(n, 0, 0));
}

void DxfGroupReal(int code, double value) {
  WriteLine(gfx::FormatNumber(code, 2, 0));
  WriteLine(gfx::FormatNumber(value, 6, 3));
}

double Angle(double sn, double cs) {
  constexpr double pi = std::numbers::pi;
  if (cs == 0) return sn > 0 ? pi / 2 : 1.5 * pi;
  double t = std::atan(sn / cs);
  if (cs > 0) return sn >= 0 ? t : 2 * pi + t;
  return t + pi;
}

void ExportDXF(ExportFile& file) {
  g.Out = &file;
  for (const char* line : kDxfHeader) WriteExportLine(file, line);
  DxfGroupString(0, "SECTION");
  DxfGroupString(2, "ENTITIES");
  store::OutputDevice = 4;
  RedrawForExport();
  store::OutputDevice = 0;
  DxfGroupString(0, "ENDSEC");
  DxfGroupString(0, "EOF");
  g.Out = nullptr;
}

void WriteDxfEntities() {
  const int colour = g.ExportColour;
  for (int i = 1; i <= store::g.ObjectCount; ++i) {
    gfx::SetColor(colour);
    int first = 0, last = 0;
    store::GetObjectRange(i, first, last);
    int start = first < 0 ? -first : first;
    if (first > 0 && start == last) {
      EntityStart("POINT", colour);
      PointGroups(start, 10);
    } else if (first > 0 && last == start + 1) {
      DxfLine(start, colour);
    } else if (first > 0) {
      DxfGroupString(0, "POLYLINE");
      DxfGroupInt(66, 1);
      DxfGroupInt(62, colour);
      DxfGroupString(8, "1");
      for (int k = start; k <= last; ++k) {
        DxfGroupString(0, "VERTEX");
        DxfGroupString(8, "1");
        PointGroups(k, 10);
      }
      DxfGroupString(0, "SEQEND");
    } else {
      // Segment pairs; a lone last point has no partner and is left out.
      for (int k = start; k + 1 <= last; k += 2) DxfLine(k, colour);
    }
  }
  for (int j = 1; j <= store::g.TextCount; ++j) {
    const char* text = nullptr;
    float c[9] = {};
    int font = 0;
    store::GetText(j, text, c, font);
    double dx = double{c[3]} - c[0], dy = double{c[4]} - c[1];
    double len = std::sqrt(dx * dx + dy * dy);
    // A base line without length in x–y has no direction; it is taken
    // along x.
    double a = len > 0 ? dy / len : 0.0, b = len > 0 ? dx / len : 1.0;
    double q = c[1] * b - c[0] * a;
    double h = c[7] * b - c[6] * a - q;
    EntityStart("TEXT", colour);
    DxfGroupReal(10, c[0]);
    DxfGroupReal(20, c[1]);
    DxfGroupReal(30, c[2]);
    DxfGroupReal(40, h);
    DxfGroupReal(50, Angle(a, b) * kDegreesPerRadian);
    DxfGroupString(1, ToCP1251(text != nullptr ? text : ""));
  }
  gfx::SetColor(15);
}

}  // namespace exchange
