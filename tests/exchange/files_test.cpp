// The plotter file, the .UGF, .GEO and .TRE files, and writing an export to
// disk.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <sys/stat.h>

#include "exchange/exchange.h"
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

TEST_F(FilesTest, PlotterFileFitsTheExtentAndDrawsAPointAsADiamond) {
  exchange::Exchange.PassCount[15] = 0;  // one pass: the lines themselves
  picture = {{LineAndPoint, 3}};
  EXPECT_EQ(Run(exchange::ExportPLT),
            Lines({"IN;IW0,0,402,201;IP0,0,402,201;SP1;",
                   "SP3;", "PU 0,0;", "PD 402,0;", "PD 402,201;",
                   "SP3;", "PU 40,121;", "PD 80,80;", "PD 121,121;", "PD 80,161;", "PD 40,121;",
                   "PU0,0;SP0;"}));
  EXPECT_EQ(exchange::Slots.VertexOut, exchange::UgfPoint);
  EXPECT_EQ(store::OutputDevice, store::Device::Screen);
}

TEST_F(FilesTest, PlotterSelectsThePenBeforeEveryPenUp) {
  // Start-up thickness: every line of colour 15 is drawn three times.
  picture = {{LineAndPoint, 6}, {LineAndPoint, 6}};
  std::istringstream in(Run(exchange::ExportPLT));
  std::string line, previous;
  int penUps = 0;
  while (std::getline(in, line)) {
    if (line.rfind("PU ", 0) == 0) {
      ++penUps;
      EXPECT_EQ(previous, "SP6;\r");
    }
    previous = line;
  }
  EXPECT_EQ(penUps, 2 * (3 + 1));  // per piece: the line and its two copies, one diamond
}

TEST_F(FilesTest, PlotterBoxOfAZeroWidthExtentIsZeroWide) {
  exchange::Exchange.PassCount[15] = 0;
  picture = {{[] {
                store::BeginPolyline();
                store::AddPoint(1, 0, 0);
                store::AddPoint(1, 1, 0);
              },
              15}};
  std::string plt = Run(exchange::ExportPLT);
  EXPECT_EQ(plt.substr(0, plt.find('\r')), "IN;IW0,0,0,40;IP0,0,0,40;SP1;");
}

TEST_F(FilesTest, UgfWritesPenMovesWideNumbersAndItsClosingLine) {
  picture = {{[] {
                store::BeginPolyline();
                store::AddPoint(-123.456f, 7, 0);
                store::AddPoint(1, 2, 9);
              },
              8}};
  EXPECT_EQ(Run(exchange::ExportUGF),
            Lines({"     X     Y  PenNo", "-123.46  7.00 8", " 1.00  2.00 0", " 0.00  0.00 -1"}));
}

TEST_F(FilesTest, UgfDrawsAOnePointObjectAsADiamondOfFiveMoves) {
  picture = {{[] {
                store::BeginPolyline();
                store::AddPoint(5, 5, 0);
              },
              9}};
  EXPECT_EQ(Run(exchange::ExportUGF),
            Lines({"     X     Y  PenNo", " 4.00  5.00 9", " 5.00  4.00 0", " 6.00  5.00 0",
                   " 5.00  6.00 0", " 4.00  5.00 0", " 0.00  0.00 -1"}));
}

TEST_F(FilesTest, GeoWritesWorldPointsWithTheColourOnEachStart) {
  picture = {{[] {
                store::BeginPolyline();
                store::AddPoint(1, 2, 3);
                store::AddPoint(-10.5f, 0, 100);
                store::BeginPolyline();
                store::AddPoint(4, 4, 4);
                store::BeginSegmentPairs();
                store::AddPoint(0, 0, 0);
                store::AddPoint(1, 1, 1);
                store::AddPoint(2, 2, 2);
                store::AddPoint(3, 3, 3);
              },
              12}};
  EXPECT_EQ(Run(exchange::ExportGEO),
            Lines({"     X     Y    Z  PenNo", "1.0000 2.0000 3.0000 12", "-10.5000 0.0000 100.0000 0",
                   "4.0000 4.0000 4.0000 12", "0.0000 0.0000 0.0000 12", "1.0000 1.0000 1.0000 0",
                   "2.0000 2.0000 2.0000 12", "3.0000 3.0000 3.0000 0", " 0 0 0 -1"}));
  EXPECT_EQ(gfx::GetColor(), 15);
  EXPECT_EQ(exchange::Exchange.ExportColour, 15);
}

void QuadStrip(int m) {
  store::BeginQuadStrip();
  for (int k = 0; k < m; ++k) {
    store::AddPoint(static_cast<float>(k), 0, 0);
    store::AddPoint(static_cast<float>(k), 1, 0);
  }
}

TEST_F(FilesTest, TreSplitsAQuadStripOf2mPointsInto2mMinus2Triangles) {
  picture = {{[] { QuadStrip(3); }, 15}};
  const std::string o = " 0.0000", l = " 1.0000", t = " 2.0000";
  auto tri = [](std::initializer_list<std::string> v) {
    std::string s;
    for (const std::string& x : v) s += (s.empty() ? "" : " ") + x;
    return s + " 0";
  };
  // Square cells: equal diagonals, split along p2–p4.
  EXPECT_EQ(Run(exchange::ExportTRE),
            Lines({"  X1   Y1   Z1   X2   Y2   Z2   X3    Y3    Z3  PenNo", " 0",
                   tri({o, o, o, o, l, o, l, o, o}), tri({o, l, o, l, l, o, l, o, o}),
                   tri({l, o, o, l, l, o, t, o, o}), tri({l, l, o, t, l, o, t, o, o})}));
}

TEST_F(FilesTest, TreCountsTrianglesOfStripsQuadsAndTriangles) {
  for (int m : {1, 2, 5}) {
    static int strip;
    strip = m;
    picture = {{[] { QuadStrip(strip); }, 15}};
    std::string tre = Run(exchange::ExportTRE);
    int lines = 0;
    for (char c : tre) lines += c == '\n';
    EXPECT_EQ(lines, 2 + 2 * (m - 1)) << m;
  }
  picture = {{[] {
                store::BeginQuad();  // p1–p3 shorter than p2–p4
                store::AddPoint(0, 0, 0);
                store::AddPoint(4, 0, 0);
                store::AddPoint(1, 1, 0);
                store::AddPoint(0, 4, 0);
                store::BeginTriangle();
                store::AddPoint(0, 0, 1);
                store::AddPoint(1, 0, 1);
                store::AddPoint(0, 1, 1);
                store::BeginPolyline();
                store::AddPoint(5, 5, 5);
                store::AddPoint(6, 5, 5);
              },
              15}};
  const std::string o = " 0.0000", l = " 1.0000", f = " 4.0000";
  EXPECT_EQ(Run(exchange::ExportTRE),
            Lines({"  X1   Y1   Z1   X2   Y2   Z2   X3    Y3    Z3  PenNo", " 0",
                   o + " " + o + " " + o + " " + f + " " + o + " " + o + " " + l + " " + l + " " + o + " 0",
                   o + " " + o + " " + o + " " + l + " " + l + " " + o + " " + o + " " + f + " " + o + " 0",
                   o + " " + o + " " + l + " " + l + " " + o + " " + l + " " + o + " " + l + " " + l + " 0"}));
}

TEST_F(FilesTest, ExportIsWrittenWholeToTheNameAskedFor) {
  picture = {{LineAndPoint, 15}};
  std::string dir = testing_support::MakeTempFolder();
  std::string error;
  ASSERT_TRUE(exchange::RunExport(dir + "/PIC.GEO", exchange::ExportGEO, error)) << error;
  EXPECT_EQ(testing_support::ReadFile(dir + "/PIC.GEO"), Run(exchange::ExportGEO));
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
