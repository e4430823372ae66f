// The plotter file, the .UGF, .GEO and .TRE files, and writing an export to
// disk.
#include <string>
#include <sys/stat.h>

#include "exchange_fixture.h"
#include "support/run_program.h"

namespace {

using namespace exchange_test;

class FilesTest : public ExchangeTest {};

void LineAndPoint() {
  store::BeginPolyline();
  store::AddPoint(0, 0, 0);
  store::AddPoint(10, 0, 0);
  store::AddPoint(10, 5, 0);
  store::BeginPolyline();
  store::AddPoint(2, 3, 0);
}

void QuadStrip(int m) {
  store::BeginQuadStrip();
  for (int k = 0; k < m; ++k) {
    store::AddPoint(static_cast<float>(k), 0, 0);
    store::AddPoint(static_cast<float>(k), 1, 0);
  }
}

// A triangle's line of the .TRE file from its nine coordinates.
std::string Tri(std::initializer_list<float> v) {
  std::string s;
  for (float x : v) s += (s.empty() ? "" : " ") + std::string(x < 10 ? " " : "") + std::to_string(x).substr(0, 6);
  return s + " 0";
}
const char* kTreHeader = "  X1   Y1   Z1   X2   Y2   Z2   X3    Y3    Z3  PenNo";

// One picture per row in its colour, with the foreground's extra passes
// (-1: as at start-up), and the file it makes, byte for byte; after each
// export the device and the sink are back, and but for .UGF the colour.
struct FileCase {
  const char* Name;
  void (*Build)();
  int Colour, Passes;
  exchange::ExportProcedure Export;
  std::string Bytes;
  bool Prefix = false;  // Bytes is the file's start only
};

TEST_F(FilesTest, EachFormatWritesThePictureByteForByte) {
  const FileCase kCases[] = {
      {"PLT: fitted to the extent, a point is a diamond", LineAndPoint, 3, 0, exchange::ExportPLT,
       Lines({"IN;IW0,0,402,201;IP0,0,402,201;SP1;", "SP3;", "PU 0,0;", "PD 402,0;", "PD 402,201;", "SP3;",
              "PU 40,121;", "PD 80,80;", "PD 121,121;", "PD 80,161;", "PD 40,121;", "PU0,0;SP0;"})},
      {"PLT: the box of an extent of no width is no wide",
       [] { store::BeginPolyline(), store::AddPoint(1, 0, 0), store::AddPoint(1, 1, 0); }, 15, 0,
       exchange::ExportPLT, Lines({"IN;IW0,0,0,40;IP0,0,0,40;SP1;"}), true},
      {"UGF: pen moves, wide numbers and the closing line",
       [] { store::BeginPolyline(), store::AddPoint(-123.456f, 7, 0), store::AddPoint(1, 2, 9); }, 8, -1,
       exchange::ExportUGF, Lines({"     X     Y  PenNo", "-123.46  7.00 8", " 1.00  2.00 0", " 0.00  0.00 -1"})},
      {"UGF: a one-point object is a diamond of five moves, a lone last pair point is left out",
       [] {
         store::BeginPolyline(), store::AddPoint(5, 5, 0);
         store::BeginSegmentPairs(), store::AddPoint(0, 0, 0), store::AddPoint(1, 0, 0), store::AddPoint(5, 5, 0);
       },
       9, -1, exchange::ExportUGF,
       Lines({"     X     Y  PenNo", " 4.00  5.00 9", " 5.00  4.00 0", " 6.00  5.00 0", " 5.00  6.00 0",
              " 4.00  5.00 0", " 0.00  0.00 9", " 1.00  0.00 0", " 0.00  0.00 -1"})},
      {"GEO: world points, the colour on each start",
       [] {
         store::BeginPolyline(), store::AddPoint(1, 2, 3), store::AddPoint(-10.5f, 0, 100);
         store::BeginPolyline(), store::AddPoint(4, 4, 4);
         store::BeginSegmentPairs();
         for (int k = 0; k < 4; ++k) store::AddPoint(float(k), float(k), float(k));
       },
       12, -1, exchange::ExportGEO,
       Lines({"     X     Y    Z  PenNo", "1.0000 2.0000 3.0000 12", "-10.5000 0.0000 100.0000 0",
              "4.0000 4.0000 4.0000 12", "0.0000 0.0000 0.0000 12", "1.0000 1.0000 1.0000 0",
              "2.0000 2.0000 2.0000 12", "3.0000 3.0000 3.0000 0", " 0 0 0 -1"})},
      {"TRE: a strip of one cell pair has no triangle", [] { QuadStrip(1); }, 15, -1, exchange::ExportTRE,
       Lines({kTreHeader, " 0"})},
      {"TRE: a strip of square cells splits along p2-p4", [] { QuadStrip(3); }, 15, -1, exchange::ExportTRE,
       Lines({kTreHeader, " 0", Tri({0, 0, 0, 0, 1, 0, 1, 0, 0}), Tri({0, 1, 0, 1, 1, 0, 1, 0, 0}),
              Tri({1, 0, 0, 1, 1, 0, 2, 0, 0}), Tri({1, 1, 0, 2, 1, 0, 2, 0, 0})})},
      {"TRE: a quad along its shorter diagonal p1-p3, a triangle, no polyline",
       [] {
         store::BeginQuad(), store::AddPoint(0, 0, 0), store::AddPoint(4, 0, 0), store::AddPoint(1, 1, 0),
             store::AddPoint(0, 4, 0);
         store::BeginTriangle(), store::AddPoint(0, 0, 1), store::AddPoint(1, 0, 1), store::AddPoint(0, 1, 1);
         store::BeginPolyline(), store::AddPoint(5, 5, 5), store::AddPoint(6, 5, 5);
       },
       15, -1, exchange::ExportTRE,
       Lines({kTreHeader, " 0", Tri({0, 0, 0, 4, 0, 0, 1, 1, 0}), Tri({0, 0, 0, 1, 1, 0, 0, 4, 0}),
              Tri({0, 0, 1, 1, 0, 1, 0, 1, 1})})},
  };
  for (const FileCase& c : kCases) {
    SCOPED_TRACE(c.Name);
    exchange::InitExchange();
    exchange::Exchange.Batch = true;
    if (c.Passes >= 0) exchange::Exchange.PassCount[15] = c.Passes;
    picture = {{c.Build, c.Colour}};
    const std::string bytes = Run(c.Export);
    EXPECT_EQ(c.Prefix ? bytes.substr(0, c.Bytes.size()) : bytes, c.Bytes);
    EXPECT_EQ(exchange::Slots.VertexOut, exchange::UgfPoint);
    EXPECT_EQ(store::OutputDevice, store::Device::Screen);
    if (c.Export != exchange::ExportUGF) {
      EXPECT_EQ(gfx::GetColor(), 15);
      EXPECT_EQ(exchange::Exchange.ExportColour, 15);
    }
  }
}

TEST_F(FilesTest, FailedExportLeavesNoFileAndSaysWhy) {
  picture = {{LineAndPoint, 15}};
  std::string path = testing_support::MakeTempFolder() + "/no-such-folder/PIC.DXF";
  std::string error;
  EXPECT_FALSE(exchange::RunExport(path, exchange::ExportDXF, error));
  EXPECT_EQ(error, "No such file or directory");
  struct stat st {};
  EXPECT_NE(stat(path.c_str(), &st), 0);
  EXPECT_EQ(store::OutputDevice, store::Device::Screen);
  EXPECT_EQ(exchange::Exchange.Out, nullptr);
}

}  // namespace
