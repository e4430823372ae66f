// src/exchange/dxf.cpp — the picture as an ASCII DXF drawing (release
// AC1006): a fixed header and tables, then the store's objects and texts as
// POINT, LINE, POLYLINE and TEXT entities in world coordinates.
//
// Readers take group 62 as an AutoCAD Colour Index, not as our palette
// number, so every colour is written as the index that shows it best; and
// each piece goes on the layer the picture named for it.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <numbers>

#include "exchange/exchange.h"
#include "graphics/geometry.h"
#include "graphics/kernel.h"
#include "graphics/numbers.h"
#include "platform/picture.h"
#include "store/store.h"

namespace exchange {

namespace {

// Header and tables up to the layers, one value per line; the group codes
// here are written bare, unlike those of the entities. The code page tells
// readers that the texts are in Windows Cyrillic.
constexpr const char* kDxfHeader[] = {
    "999", "DXF created from CAD/CAM Brelmora",
    "0", "SECTION", "2", "HEADER",
    "9", "$ACADVER", "1", "AC1006",
    "9", "$DWGCODEPAGE", "3", "ANSI_1251",
    "9", "$INSBASE", "10", "0.0", "20", "0.0", "30", "0.0",
    "9", "$EXTMIN", "10", "0.0", "20", "0.0",
    "9", "$EXTMAX", "10", "1000.0", "20", "1000.0",
    "0", "ENDSEC",
    "0", "SECTION", "2", "TABLES",
    "0", "TABLE", "2", "LTYPE", "70", "1",
    "0", "LTYPE", "2", "CONTINUOUS", "70", "64", "3", "Solid line", "72", "65", "73", "0",
    "40", "0.000000",
    "0", "ENDTAB",
    "0", "TABLE", "2", "LAYER", "70",
};
// The framework's own layers, before those of the picture.
constexpr const char* kFrameworkLayers[] = {"1", "2"};
constexpr const char* kDxfHeaderEnd[] = {
    "0", "ENDTAB",
    "0", "TABLE", "2", "STYLE", "70", "0",
    "0", "ENDTAB",
    "0", "ENDSEC",
    "0", "SECTION", "2", "BLOCKS",
    "0", "ENDSEC",
};

// Colours 7..14 of the palette have colours of their own in every CAD
// program: grey, light grey, blue, green, cyan, red, magenta, yellow.
constexpr int kNamedAci[] = {8, 9, 5, 3, 4, 1, 6, 2};
constexpr int kFirstNamed = 7;
constexpr int kForegroundAci = 7;   // black on white, white on black
constexpr int kDarkestGreyAci = 250;

void WriteLayerEntry(ExportFile& file, const char* name, int aci) {
  for (const char* line : {"0", "LAYER", "2", name, "70", "64", "62"}) WriteExportLine(file, line);
  WriteExportLine(file, gfx::FormatFixed(aci, 0, 0));
  for (const char* line : {"6", "CONTINUOUS"}) WriteExportLine(file, line);
}

constexpr double kDegreesPerRadian = 57.295779;

char* LineBreak(char* at) {
  at[0] = '\r';
  at[1] = '\n';
  return at + 2;
}

// The group code's line at `at`, the code right-aligned in two places;
// where the value's line begins.
char* GroupCode(char* at, int code) {
  if (code >= 0 && code < 100) {
    at[0] = code < 10 ? ' ' : static_cast<char>('0' + code / 10);
    at[1] = static_cast<char>('0' + code % 10);
    at += 2;
  } else {
    at = gfx::WriteFixed(at, code, 2, 0);
  }
  return LineBreak(at);
}

char* RealGroup(char* at, int code, double value) {
  return gfx::WriteFixed(GroupCode(at, code), value, 6, 3);
}

// A short text (a name the program gives, a layer of at most
// kLayerNameBytes) at `at`.
char* ShortText(char* at, const char* text) {
  const std::size_t n = std::strlen(text);
  std::memcpy(at, text, n);
  return at + n;
}

// The start of an entity, its name, colour and layer, at the start of a
// line's room; where the last group ends.
char* EntityGroups(char* at, const char* name, int aci, const char* layer) {
  at = LineBreak(ShortText(GroupCode(at, 0), name));
  at = LineBreak(gfx::WriteFixed(GroupCode(at, 62), aci, 0, 0));
  return ShortText(GroupCode(at, 8), layer);
}

void EntityStart(const char* name, int aci, const char* layer) {
  if (Exchange.Out == nullptr) return;
  EndLine(*Exchange.Out, EntityGroups(LineStart(*Exchange.Out), name, aci, layer));
}

// The three groups of store point k, x's code codeX, in one line's room.
void PointGroups(int k, int codeX) {
  float x = 0, y = 0, z = 0;
  store::PointGet(k, x, y, z);
  if (Exchange.Out == nullptr) return;
  ExportFile& file = *Exchange.Out;
  char* at = RealGroup(LineStart(file), codeX, x);
  at = RealGroup(LineBreak(at), codeX + 10, y);
  at = RealGroup(LineBreak(at), codeX + 20, z);
  EndLine(file, at);
}

// A LINE from store point k to k + 1, all its groups in one line's room.
void DxfLine(int k, int aci) {
  float c[2][3] = {};
  for (int e = 0; e < 2; ++e) store::PointGet(k + e, c[e][0], c[e][1], c[e][2]);
  if (Exchange.Out == nullptr) return;
  char* at = EntityGroups(LineStart(*Exchange.Out), "LINE", aci, store::Store.Layer);
  for (int e = 0; e < 2; ++e)
    for (int i = 0; i < 3; ++i) at = RealGroup(LineBreak(at), 10 * (i + 1) + e, c[e][i]);
  EndLine(*Exchange.Out, at);
}

}  // namespace

// Each group's two lines go to the running export (none without one).
void DxfGroupString(int code, std::string_view text) {
  if (Exchange.Out == nullptr) return;
  ExportFile& file = *Exchange.Out;
  char* at = GroupCode(LineStart(file), code);
  if (text.size() > kLineRoom / 2) {  // the code's line alone, then the long text
    EndLine(file, at - 2);
    WriteExportLine(file, text);
    return;
  }
  if (!text.empty()) std::memcpy(at, text.data(), text.size());
  EndLine(file, at + text.size());
}

void DxfGroupInt(int code, int n) {
  if (Exchange.Out == nullptr) return;
  EndLine(*Exchange.Out, gfx::WriteFixed(GroupCode(LineStart(*Exchange.Out), code), n, 0, 0));
}

void DxfGroupReal(int code, double value) {
  if (Exchange.Out == nullptr) return;
  EndLine(*Exchange.Out, RealGroup(LineStart(*Exchange.Out), code, value));
}

std::uint32_t AciRgb(int aci) {
  if (aci >= 1 && aci <= 6) {
    constexpr std::uint32_t kFirstSix[] = {0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF, 0x0000FF, 0xFF00FF};
    return kFirstSix[aci - 1];
  }
  if (aci == 8) return 0x808080;
  if (aci == 9) return 0xC0C0C0;
  if (aci >= 250 && aci <= 255) {
    const auto v = static_cast<std::uint32_t>(51 + (aci - 250) * 408 / 10);
    return v << 16 | v << 8 | v;
  }
  if (aci < 10 || aci > 249) return 0xFFFFFF;  // 7, and what is not a colour
  // Ten shades of each of 24 hues, 15 degrees apart: five brightnesses,
  // each full (even last digit) and half saturated (odd).
  constexpr int kBrightness[] = {255, 204, 153, 127, 76};
  const int hue = (aci / 10 - 1) * 15;
  const int top = kBrightness[aci % 10 / 2];
  const int low = aci % 2 == 1 ? top / 2 : 0;
  const int rise = low + (top - low) * (hue % 60) / 60;
  const int fall = low + (top - low) * (60 - hue % 60) / 60;
  int r = 0, gr = 0, b = 0;
  switch (hue / 60) {
    case 0: r = top, gr = rise, b = low; break;
    case 1: r = fall, gr = top, b = low; break;
    case 2: r = low, gr = top, b = rise; break;
    case 3: r = low, gr = fall, b = top; break;
    case 4: r = rise, gr = low, b = top; break;
    default: r = top, gr = low, b = fall; break;
  }
  return static_cast<std::uint32_t>(r << 16 | gr << 8 | b);
}

int AciOfColour(int colour) {
  if (colour == gfx::kForeground || colour < 0 || colour >= platform::kColourCount) return kForegroundAci;
  if (colour == 0) return kDarkestGreyAci;  // the background: the only black is 7
  if (colour >= kFirstNamed && colour < kFirstNamed + 8) return kNamedAci[colour - kFirstNamed];
  const std::uint32_t bgr = platform::Palette[colour];
  const int r = bgr & 0xFF, gr = bgr >> 8 & 0xFF, b = bgr >> 16 & 0xFF;
  int best = 1;
  long bestDistance = -1;
  for (int aci = 1; aci <= 255; ++aci) {
    if (aci == kForegroundAci) continue;  // its colour depends on the background
    const std::uint32_t rgb = AciRgb(aci);
    const long dr = r - static_cast<int>(rgb >> 16), dg = gr - static_cast<int>(rgb >> 8 & 0xFF),
               db = b - static_cast<int>(rgb & 0xFF);
    const long d = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || d < bestDistance) {
      best = aci;
      bestDistance = d;
    }
  }
  return best;
}

void ExportDXF(ExportFile& file) {
  Exchange.Out = &file;
  for (const char* line : kDxfHeader) WriteExportLine(file, line);
  const int framework = static_cast<int>(std::size(kFrameworkLayers));
  WriteExportLine(file, gfx::FormatFixed(framework + Exchange.LayerCount, 0, 0));
  for (const char* name : kFrameworkLayers) WriteLayerEntry(file, name, kForegroundAci);
  for (int k = 0; k < Exchange.LayerCount; ++k)
    WriteLayerEntry(file, Exchange.Layers[k].Name, AciOfColour(Exchange.Layers[k].Colour));
  for (const char* line : kDxfHeaderEnd) WriteExportLine(file, line);
  DxfGroupString(0, "SECTION");
  DxfGroupString(2, "ENTITIES");
  store::RunDevicePass(store::Device::DxfFile, Slots.RedrawForExport);
  DxfGroupString(0, "ENDSEC");
  DxfGroupString(0, "EOF");
  Exchange.Out = nullptr;
  FlushExportLines(file);
}

void WriteDxfEntities() {
  const int colour = Exchange.ExportColour;
  const int aci = AciOfColour(colour);
  const char* layer = store::Store.Layer;
  for (int i = 1; i <= store::Store.ObjectCount; ++i) {
    gfx::SetColor(colour);
    int first = 0, last = 0;
    store::GetObjectRange(i, first, last);
    int start = first < 0 ? -first : first;
    if (first > 0 && start == last) {
      EntityStart("POINT", aci, layer);
      PointGroups(start, 10);
    } else if (first > 0 && last == start + 1) {
      DxfLine(start, aci);
    } else if (first > 0) {
      DxfGroupString(0, "POLYLINE");
      DxfGroupInt(66, 1);
      DxfGroupInt(62, aci);
      DxfGroupString(8, layer);
      for (int k = start; k <= last; ++k) {
        DxfGroupString(0, "VERTEX");
        DxfGroupString(8, layer);
        PointGroups(k, 10);
      }
      DxfGroupString(0, "SEQEND");
    } else {
      // Segment pairs; a lone last point has no partner and is left out.
      for (int k = start; k + 1 <= last; k += 2) DxfLine(k, aci);
    }
  }
  for (int j = 1; j <= store::Store.TextCount; ++j) {
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
    EntityStart("TEXT", aci, store::Store.TextLayer);
    DxfGroupReal(10, c[0]);
    DxfGroupReal(20, c[1]);
    DxfGroupReal(30, c[2]);
    DxfGroupReal(40, h);
    DxfGroupReal(50, gfx::VectorAngle(b, a) * kDegreesPerRadian);
    DxfGroupString(1, ToCP1251(text != nullptr ? text : ""));
  }
  gfx::SetColor(gfx::kForeground);
}

}  // namespace exchange
