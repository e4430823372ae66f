// The export formats byte for byte: the DXF writer (the fixed header, every
// entity kind, the colour indices and the layers), the plotter file, the
// .UGF, .GEO and .TRE files; writing an export to disk; and the plane walker
// they share (dashes, thickening passes, offsets, diamonds, texts and
// objects longer than its buffer).
#include <string>
#include <vector>

#include "exchange_fixture.h"
#include "platform/codepage.h"
#include "platform/picture.h"
#include "support/run_program.h"

namespace {

using namespace exchange_test;

const std::string kHeader = Lines({
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
    "0", "TABLE", "2", "LAYER", "70", "2",
    "0", "LAYER", "2", "1", "70", "64", "62", "7", "6", "CONTINUOUS",
    "0", "LAYER", "2", "2", "70", "64", "62", "7", "6", "CONTINUOUS",
    "0", "ENDTAB",
    "0", "TABLE", "2", "STYLE", "70", "0",
    "0", "ENDTAB",
    "0", "ENDSEC",
    "0", "SECTION", "2", "BLOCKS",
    "0", "ENDSEC",
    " 0", "SECTION", " 2", "ENTITIES"});
const std::string kTrailer = Lines({" 0", "ENDSEC", " 0", "EOF"});

// The entities of a DXF text: what lies between the header and the trailer.
std::string Entities(const std::string& dxf) {
  EXPECT_EQ(dxf.substr(0, kHeader.size()), kHeader);
  EXPECT_GE(dxf.size(), kHeader.size() + kTrailer.size());
  EXPECT_EQ(dxf.substr(dxf.size() - kTrailer.size()), kTrailer);
  return dxf.substr(kHeader.size(), dxf.size() - kHeader.size() - kTrailer.size());
}

class DxfTest : public ExchangeTest {};

// One picture per row: what the store holds, its colour and the entities
// it becomes. Palette colours become colour indices: 15 (the foreground) 7,
// teal 3 136, purple 5 216, dark green 2 96, maroon 4 16.
struct EntityCase {
  const char* Name;
  void (*Build)();
  int Colour;
  std::string Entities;
};

TEST_F(DxfTest, EachObjectKindAndTextBecomesItsEntities) {
  const EntityCase kCases[] = {
      {"an empty picture is the fixed header and an empty entities section", [] {}, 15, ""},
      {"one point is a POINT", [] { store::BeginPolyline(), store::AddPoint(1, 2, 3); }, 3,
       Lines({" 0", "POINT", "62", "136", " 8", "1", "10", " 1.000", "20", " 2.000", "30", " 3.000"})},
      {"two points are a LINE, reals right-aligned in six",
       [] { store::BeginPolyline(), store::AddPoint(0, 12.5f, -1.25f), store::AddPoint(1234.5f, -0.5f, 0); }, 15,
       Lines({" 0", "LINE", "62", "7", " 8", "1", "10", " 0.000", "20", "12.500", "30", "-1.250",
              "11", "1234.500", "21", "-0.500", "31", " 0.000"})},
      {"three points are a POLYLINE, an empty object only its frame",
       [] {
         store::BeginPolyline(), store::AddPoint(1, 0, 0), store::AddPoint(2, 0, 0), store::AddPoint(3, 0, 0);
         store::BeginPolyline();  // no points
         store::BeginPolyline(), store::AddPoint(9, 9, 9);
       },
       5,
       Lines({" 0", "POLYLINE", "66", "1", "62", "216", " 8", "1",
              " 0", "VERTEX", " 8", "1", "10", " 1.000", "20", " 0.000", "30", " 0.000",
              " 0", "VERTEX", " 8", "1", "10", " 2.000", "20", " 0.000", "30", " 0.000",
              " 0", "VERTEX", " 8", "1", "10", " 3.000", "20", " 0.000", "30", " 0.000",
              " 0", "SEQEND",
              " 0", "POLYLINE", "66", "1", "62", "216", " 8", "1", " 0", "SEQEND",
              " 0", "POINT", "62", "216", " 8", "1", "10", " 9.000", "20", " 9.000", "30", " 9.000"})},
      {"segment pairs are LINEs, a lone last point is left out",
       [] {
         store::BeginSegmentPairs();
         const float points[5][3] = {{0, 0, 0}, {1, 0, 0}, {0, 2, 0}, {1, 2, 0}, {7, 7, 7}};
         for (const auto& p : points) store::AddPoint(p[0], p[1], p[2]);
       },
       2,
       Lines({" 0", "LINE", "62", "96", " 8", "1", "10", " 0.000", "20", " 0.000", "30", " 0.000",
              "11", " 1.000", "21", " 0.000", "31", " 0.000",
              " 0", "LINE", "62", "96", " 8", "1", "10", " 0.000", "20", " 2.000", "30", " 0.000",
              "11", " 1.000", "21", " 2.000", "31", " 0.000"})},
      {"a text has its height, angle and Windows letters",
       [] {
         const float base[3] = {10, 20, 0}, end[3] = {10, 30, 0}, top[3] = {5, 20, 0};
         store::AddText("AЁё"_sc, base, end, top, 0);
       },
       4,
       Lines({" 0", "TEXT", "62", "16", " 8", "1", "10", "10.000", "20", "20.000", "30", " 0.000",
              "40", " 5.000", "50", "90.000", " 1", "A\xA8\xB8"})},
      {"a text placed from its left edge keeps its height and angle",
       [] { store::AddTextLeft("ab", 10, 20, 1, 0.6f, 0.8f, 5, 3, 0); }, 15,
       Lines({" 0", "TEXT", "62", "7", " 8", "1", "10", "11.500", "20", "18.000", "30", " 1.000",
              "40", " 5.000", "50", "36.870", " 1", "ab"})},
  };
  for (const EntityCase& c : kCases) {
    SCOPED_TRACE(c.Name);
    picture = {{c.Build, c.Colour}};
    EXPECT_EQ(Entities(Run(exchange::ExportDXF)), c.Entities);
  }
}

TEST(DxfColours, EveryPaletteColourBecomesTheIndexThatShowsItBest) {
  platform::BuildPalette();
  // The index table at its landmarks: the named colours, full and half
  // saturation, the five brightnesses, the greys.
  const struct {
    int Aci;
    std::uint32_t Rgb;
  } kLandmarks[] = {{1, 0xFF0000},   {2, 0xFFFF00},   {3, 0x00FF00},   {4, 0x00FFFF},   {5, 0x0000FF},
                    {6, 0xFF00FF},   {8, 0x808080},   {9, 0xC0C0C0},   {10, 0xFF0000},  {11, 0xFF7F7F},
                    {21, 0xFF9F7F},  {22, 0xCC3300},  {40, 0xFFBF00},  {136, 0x007F7F}, {176, 0x00007F},
                    {218, 0x4C004C}, {250, 0x333333}, {251, 0x5B5B5B}, {254, 0xD6D6D6}, {255, 0xFFFFFF}};
  for (const auto& l : kLandmarks) EXPECT_EQ(exchange::AciRgb(l.Aci), l.Rgb) << l.Aci;
  // The background, the dark and the named basic colours, the foreground.
  const int kBasic[16] = {250, 176, 96, 136, 16, 216, 56, 8, 9, 5, 3, 4, 1, 6, 2, 7};
  for (int c = 0; c < 16; ++c) EXPECT_EQ(exchange::AciOfColour(c), kBasic[c]) << c;
  // Every shade of the ramps: no index lies nearer (7 is black or white,
  // never a shade).
  auto distance = [](int colour, int aci) {
    const std::uint32_t p = platform::Palette[colour], a = exchange::AciRgb(aci);
    const long dr = long(p & 0xFF) - long(a >> 16), dg = long(p >> 8 & 0xFF) - long(a >> 8 & 0xFF),
               db = long(p >> 16 & 0xFF) - long(a & 0xFF);
    return dr * dr + dg * dg + db * db;
  };
  for (int c = 16; c < platform::kColourCount; ++c) {
    SCOPED_TRACE(c);
    const int got = exchange::AciOfColour(c);
    ASSERT_NE(got, 7);
    for (int aci = 1; aci <= 255; ++aci) ASSERT_TRUE(aci == 7 || distance(c, got) <= distance(c, aci)) << aci;
  }
}

TEST(DxfCodePages, CyrillicLettersConvertBothWays) {
  EXPECT_EQ(exchange::ToCP1251("\x80\xAF\xE0\xEF\xF0\xF1\x41\xF2"), "\xC0\xEF\xF0\xFF\xA8\xB8\x41\xF2");
  EXPECT_EQ(exchange::ToCP866("\xC0\xEF\xF0\xFF\xA8\xB8\x41"), "\x80\xAF\xE0\xEF\xF0\xF1\x41");
}

// --- The plotter file, .UGF, .GEO and .TRE ----------------------------------

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
      {"PLT: the window holds a bitmap's corner (measured by a pass of its own)",
       [] { store::BeginPolyline(), store::AddPoint(0, 0, 0), store::AddPoint(10, 0, 0), store::AddImage("B", -5, 5, 1, 0); },
       15, 0, exchange::ExportPLT, Lines({"IN;IW0,0,603,201;IP0,0,603,201;SP1;"}), true},
      {"UGF: pen moves, wide numbers and the closing line",
       [] { store::BeginPolyline(), store::AddPoint(-123.456f, 7, 0), store::AddPoint(1, 2, 9); }, 8, -1,
       exchange::ExportUGF, Lines({"     X     Y  PenNo", "-123.46  7.00 8", " 1.00  2.00 0", " 0.00  0.00 -1"})},
      {"UGF: numbers that round to 1000 and beyond take their fourth digit",
       [] { store::BeginPolyline(), store::AddPoint(999.994f, -999.996f, 0), store::AddPoint(1000, 0.5f, 0); }, 8, -1,
       exchange::ExportUGF, Lines({"     X     Y  PenNo", "999.99 -1000.00 8", "1000.00  0.50 0", " 0.00  0.00 -1"})},
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
  EXPECT_FALSE(testing_support::FileExists(path));
  EXPECT_EQ(store::OutputDevice, store::Device::Screen);
  EXPECT_EQ(exchange::Exchange.Out, nullptr);
}

// --- The plane walker ---------------------------------------------------------

class WalkerTest : public ExchangeTest {
 protected:
  void SetUp() override {
    ExchangeTest::SetUp();
    exchange::Slots.VertexOut = RecordMove;
  }
  // The walker's buffer holds these points.
  static void Buffer(const std::vector<std::pair<float, float>>& points) {
    exchange::Exchange.PointN = 0;
    for (auto [x, y] : points) {
      ++exchange::Exchange.PointN;
      exchange::Exchange.PointX[exchange::Exchange.PointN] = x;
      exchange::Exchange.PointY[exchange::Exchange.PointN] = y;
    }
  }
};

// A line through the buffer's points in a colour: 7 is dashed four on, two
// off, from a short dash, following corners, ending on a repeated vertex
// when its last segment switched; 8 is solid; extra passes draw copies a
// quarter and a half off; at start-up 15 is drawn three times.
TEST_F(WalkerTest, EachColourDrawsItsDashesAndPasses) {
  const struct {
    const char* Name;
    std::vector<std::pair<float, float>> Points;
    int Colour, Passes;  // -1: the start-up passes
    std::vector<Move> Moves;
  } kRows[] = {
      {"7 dashed", {{0, 0}, {10, 0}}, 7, -1, {{0, 0, 7}, {2, 0, 0}, {4, 0, 7}, {8, 0, 0}}},
      {"dashes round a corner", {{0, 0}, {1, 0}, {1, 10}}, 1, -1,
       {{0, 0, 1}, {1, 0, 0}, {1, 1, 0}, {1, 3, 1}, {1, 7, 0}, {1, 9, 1}, {1, 10, 0}, {1, 10, 0}}},
      {"8 solid", {{0, 0}, {10, 0}, {10, 3}}, 8, -1, {{0, 0, 8}, {10, 0, 0}, {10, 3, 0}}},
      {"two passes", {{0, 0}, {10, 0}}, 8, 2,
       {{0, 0, 8}, {10, 0, 0}, {0, 0.25f, 8}, {10, 0.25f, 0}, {0, -0.25f, 8}, {10, -0.25f, 0}, {0, 0.5f, 8},
        {10, 0.5f, 0}, {0, -0.5f, 8}, {10, -0.5f, 0}}},
      {"15 at start-up", {{0, 0}, {0, 4}}, 15, -1,
       {{0, 0, 15}, {0, 4, 0}, {-0.25f, 0, 15}, {-0.25f, 4, 0}, {0.25f, 0, 15}, {0.25f, 4, 0}}},
  };
  for (const auto& r : kRows) {
    SCOPED_TRACE(r.Name);
    exchange::InitExchange();
    exchange::Slots.VertexOut = RecordMove;
    if (r.Passes >= 0) exchange::Exchange.PassCount[r.Colour] = r.Passes;
    moves.clear();
    Buffer(r.Points);
    exchange::DrawLine(r.Colour);
    EXPECT_EQ(moves, r.Moves);
  }
}

// A line of any length gets at most ten thousand dashes, evenly stretched.
TEST_F(WalkerTest, DashesOfAnyLengthStayBounded) {
  for (float length : {6e4f, 1e9f, 3e38f}) {
    SCOPED_TRACE(length);
    moves.clear();
    Buffer({{-length, 0}, {length, 0}});
    exchange::DrawLine(7);
    EXPECT_LE(moves.size(), 2u * 10002);  // the dashes and the two ends
    EXPECT_GE(moves.size(), 2u);
  }
}

// Offsets of a closed rectangle keep mitred corners; an open polyline ends
// square and its straight vertices shift along the normal.
TEST_F(WalkerTest, OffsetsKeepCornersAndEnds) {
  const struct {
    std::vector<float> X, Y, WantX, WantY;  // from index 1
    float Offset;
  } kRows[] = {
      {{0, 0, 10, 10, 0, 0}, {0, 0, 0, 5, 5, 0}, {0, 0.25f, 9.75f, 9.75f, 0.25f, 0.25f},
       {0, 0.25f, 0.25f, 4.75f, 4.75f, 0.25f}, 0.25f},
      {{0, 0, 5, 10, 10}, {0, 0, 0, 0, 5}, {0, 0, 5, 10.5f, 10.5f}, {0, -0.5f, -0.5f, -0.5f, 5}, -0.5f},
  };
  for (const auto& r : kRows) {
    const int n = static_cast<int>(r.X.size()) - 1;
    float ox[8] = {}, oy[8] = {};
    ASSERT_EQ(exchange::OffsetPolyline(r.X.data(), r.Y.data(), n, r.Offset, ox, oy), n);
    for (int k = 1; k <= n; ++k) {
      EXPECT_NEAR(ox[k], r.WantX[k], 1e-5) << n << " " << k;
      EXPECT_NEAR(oy[k], r.WantY[k], 1e-5) << n << " " << k;
    }
  }
}

TEST_F(WalkerTest, ObjectLongerThanTheBufferIsDrawnInPiecesThatShareAPoint) {
  exchange::Exchange.PlanePen = 8;
  store::ClearStore();
  store::BeginPolyline();
  for (int k = 0; k < 2500; ++k) store::AddPoint(static_cast<float>(k), 0, 0);
  store::CloseStore();
  exchange::WalkStorePlane();
  ASSERT_EQ(moves.size(), 2000u + 501u);
  EXPECT_EQ(moves[0].Pen, 8);
  EXPECT_EQ(moves[1999].X, 1999.0f);
  EXPECT_EQ(moves[2000].Pen, 8);
  EXPECT_EQ(moves[2000].X, 1999.0f);
  EXPECT_EQ(moves.back().X, 2499.0f);
  int penMoves = 0;
  for (const Move& m : moves) penMoves += m.Pen != 0;
  EXPECT_EQ(penMoves, 2);
}

TEST_F(WalkerTest, TextStrokesAreDrawnAgainAndShiftedToBothSides) {
  exchange::Exchange.TextPen = 15;
  exchange::PlaneTextStroke(0, 0, 0, 1);
  exchange::PlaneTextStroke(4, 0, 0, 0);
  exchange::PlaneTextStroke(4, 0, 0, 0);  // no length: no passes
  EXPECT_EQ(moves, (std::vector<Move>{{0, 0, 15}, {4, 0, 0}, {0, 0, 15}, {4, 0, 0}, {0, 0.25f, 15}, {4, 0.25f, 0},
                                      {0, -0.25f, 15}, {4, -0.25f, 0}, {4, 0, 0}}));
}

}  // namespace
