// The DXF writer: the fixed header byte for byte and every entity kind.
#include <gtest/gtest.h>

#include <string>

#include "exchange/exchange.h"
#include "exchange_fixture.h"
#include "graphics/codepage.h"
#include "store/store.h"

namespace {

using namespace exchange_test;

const std::string kHeader = Lines({
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

TEST_F(DxfTest, EmptyPictureIsTheFixedHeaderAndAnEmptyEntitiesSection) {
  EXPECT_EQ(Run(exchange::ExportDXF), kHeader + kTrailer);
}

TEST_F(DxfTest, OnePointIsAPoint) {
  picture = {{[] {
                store::BeginPolyline();
                store::AddPoint(1, 2, 3);
              },
              3}};
  EXPECT_EQ(Entities(Run(exchange::ExportDXF)),
            Lines({" 0", "POINT", "62", "3", " 8", "1", "10", " 1.000", "20", " 2.000", "30", " 3.000"}));
}

TEST_F(DxfTest, TwoPointsAreALineWithRealsRightAlignedInSix) {
  picture = {{[] {
                store::BeginPolyline();
                store::AddPoint(0, 12.5f, -1.25f);
                store::AddPoint(1234.5f, -0.5f, 0);
              },
              15}};
  EXPECT_EQ(Entities(Run(exchange::ExportDXF)),
            Lines({" 0", "LINE", "62", "15", " 8", "1", "10", " 0.000", "20", "12.500", "30", "-1.250",
                   "11", "1234.500", "21", "-0.500", "31", " 0.000"}));
}

TEST_F(DxfTest, ThreePointsAreAPolylineAndAnEmptyObjectOnlyItsFrame) {
  picture = {{[] {
                store::BeginPolyline();
                store::AddPoint(1, 0, 0);
                store::AddPoint(2, 0, 0);
                store::AddPoint(3, 0, 0);
                store::BeginPolyline();  // no points
                store::BeginPolyline();
                store::AddPoint(9, 9, 9);
              },
              5}};
  EXPECT_EQ(Entities(Run(exchange::ExportDXF)),
            Lines({" 0", "POLYLINE", "66", "1", "62", "5", " 8", "1",
                   " 0", "VERTEX", " 8", "1", "10", " 1.000", "20", " 0.000", "30", " 0.000",
                   " 0", "VERTEX", " 8", "1", "10", " 2.000", "20", " 0.000", "30", " 0.000",
                   " 0", "VERTEX", " 8", "1", "10", " 3.000", "20", " 0.000", "30", " 0.000",
                   " 0", "SEQEND",
                   " 0", "POLYLINE", "66", "1", "62", "5", " 8", "1", " 0", "SEQEND",
                   " 0", "POINT", "62", "5", " 8", "1", "10", " 9.000", "20", " 9.000", "30", " 9.000"}));
}

TEST_F(DxfTest, SegmentPairsAreLinesAndALoneLastPointIsLeftOut) {
  picture = {{[] {
                store::BeginSegmentPairs();
                store::AddPoint(0, 0, 0);
                store::AddPoint(1, 0, 0);
                store::AddPoint(0, 2, 0);
                store::AddPoint(1, 2, 0);
                store::AddPoint(7, 7, 7);
              },
              2}};
  EXPECT_EQ(Entities(Run(exchange::ExportDXF)),
            Lines({" 0", "LINE", "62", "2", " 8", "1", "10", " 0.000", "20", " 0.000", "30", " 0.000",
                   "11", " 1.000", "21", " 0.000", "31", " 0.000",
                   " 0", "LINE", "62", "2", " 8", "1", "10", " 0.000", "20", " 2.000", "30", " 0.000",
                   "11", " 1.000", "21", " 2.000", "31", " 0.000"}));
}

TEST_F(DxfTest, TextHasHeightAngleAndWindowsLetters) {
  picture = {{[] {
                const float base[3] = {10, 20, 0}, end[3] = {10, 30, 0}, top[3] = {5, 20, 0};
                store::AddText("AЁё"_sc, base, end, top, 0);
              },
              4}};
  EXPECT_EQ(Entities(Run(exchange::ExportDXF)),
            Lines({" 0", "TEXT", "62", "4", " 8", "1", "10", "10.000", "20", "20.000", "30", " 0.000",
                   "40", " 5.000", "50", "90.000", " 1", "A\xA8\xB8"}));
}

TEST_F(DxfTest, TextPlacedFromItsLeftEdgeKeepsItsHeightAndAngle) {
  picture = {{[] { store::AddTextLeft("ab", 10, 20, 1, 0.6f, 0.8f, 5, 3, 0); }, 15}};
  EXPECT_EQ(Entities(Run(exchange::ExportDXF)),
            Lines({" 0", "TEXT", "62", "15", " 8", "1", "10", "11.500", "20", "18.000", "30", " 1.000",
                   "40", " 5.000", "50", "36.870", " 1", "ab"}));
}

TEST_F(DxfTest, EachFlushCarriesItsOwnColour) {
  auto point = [] {
    store::BeginPolyline();
    store::AddPoint(0, 0, 0);
  };
  picture = {{point, 1}, {point, 12}};
  std::string e = Entities(Run(exchange::ExportDXF));
  EXPECT_NE(e.find("62\r\n1\r\n"), std::string::npos);
  EXPECT_GT(e.find("62\r\n12\r\n"), e.find("62\r\n1\r\n"));
}

TEST(DxfAngle, CoversTheFourQuadrantsAndTheAxes) {
  const double pi = 3.141592653589793;
  EXPECT_DOUBLE_EQ(exchange::Angle(0, 1), 0);
  EXPECT_DOUBLE_EQ(exchange::Angle(1, 0), pi / 2);
  EXPECT_DOUBLE_EQ(exchange::Angle(-1, 0), 1.5 * pi);
  EXPECT_DOUBLE_EQ(exchange::Angle(0, 0), 1.5 * pi);
  EXPECT_DOUBLE_EQ(exchange::Angle(0, -1), pi);
  EXPECT_NEAR(exchange::Angle(-1, 1), 1.75 * pi, 1e-12);
  EXPECT_NEAR(exchange::Angle(-1, -1), 1.25 * pi, 1e-12);
}

TEST(DxfCodePages, CyrillicLettersConvertBothWays) {
  EXPECT_EQ(exchange::ToCP1251("\x80\xAF\xE0\xEF\xF0\xF1\x41\xF2"), "\xC0\xEF\xF0\xFF\xA8\xB8\x41\xF2");
  EXPECT_EQ(exchange::ToCP866("\xC0\xEF\xF0\xFF\xA8\xB8\x41"), "\x80\xAF\xE0\xEF\xF0\xF1\x41");
}

}  // namespace
