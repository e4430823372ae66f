// The pieces of the application's picture, read back from the drawing store.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/picture.h"
#include "app/shell_model.h"
#include "app/shell_solver.h"
#include "graphics/codepage.h"
#include "graphics/kernel.h"
#include "store/store.h"

namespace {

struct Piece {
  int Objects = 0, Points = 0;
  std::vector<std::string> Texts;
};
std::vector<Piece> pieces;

void RecordPiece() {
  Piece p;
  p.Objects = store::g.ObjectCount;
  p.Points = store::g.PointCount;
  for (int j = 1; j <= store::g.TextCount; ++j) {
    const char* text = nullptr;
    float corners[9];
    int font = 0;
    store::GetText(j, text, corners, font);
    p.Texts.push_back(text);
  }
  pieces.push_back(p);
}

class Picture : public ::testing::Test {
 protected:
  void SetUp() override {
    gfx::InitKernel();
    store::InitStore();
    app::ResetShellModel(app::Shell);
    pieces.clear();
    saved = store::FlushStore;
    store::FlushStore = RecordPiece;
  }
  void TearDown() override {
    store::FlushStore = saved;
    app::ResetShellModel(app::Shell);
  }
  static void Solve() {
    app::SolveShell(app::Shell, app::Solution);
    app::SolveShell(app::Shell, app::Solution);
  }
  static std::string Text(int j) {
    const char* text = nullptr;
    float corners[9];
    int font = 0;
    store::GetText(j, text, corners, font);
    return text;
  }
  static int ObjectPoints(int i) {
    int first = 0, last = 0;
    store::GetObjectRange(i, first, last);
    return last - (first < 0 ? -first : first) + 1;
  }
  store::Procedure saved = nullptr;
};

TEST_F(Picture, ScaleBarTexts) {
  store::ClearStore();
  app::DrawScaleBar(0, 0, 0.25f, 5 / 0.25f, 5);
  store::CloseStore();
  ASSERT_EQ(store::g.TextCount, 3);
  EXPECT_EQ(Text(1), "M  0.250");
  EXPECT_EQ(Text(2), "0");
  EXPECT_EQ(Text(3), "100мм"_sc);
  EXPECT_EQ(store::g.ObjectCount, 1 + 6);  // the bar and six ticks
}

TEST_F(Picture, PolesGetNoDiagramPointButTheirValue) {
  Solve();
  store::ClearStore();
  app::DrawDiagram("Давление, МПа"_sc, "             "_sc, app::Solution.Pressure, 100, 6, 3);
  // Baseline, two curves and one hatch line per node off the axis: the two
  // poles of the sphere are left out.
  ASSERT_EQ(store::g.ObjectCount, 1 + 2 + 32);
  EXPECT_EQ(ObjectPoints(1), 32);
  EXPECT_EQ(ObjectPoints(2), 16);
  EXPECT_EQ(ObjectPoints(3), 16);
  for (int i = 4; i <= 35; ++i) EXPECT_EQ(ObjectPoints(i), 2);
  // Title, units and the end values of both segments, the poles' too.
  ASSERT_EQ(store::g.TextCount, 6);
  EXPECT_EQ(Text(1), "Давление, МПа"_sc);
  EXPECT_EQ(Text(3), " 0.215");  // the lower pole, under 150 mm of liquid at 10 g
  EXPECT_EQ(Text(6), " 0.200");  // the upper pole, above the liquid
}

TEST_F(Picture, AStraightSegmentIsAClosedBandAndAnArcHasItsCentreDot) {
  store::ClearStore();
  app::DrawWallOutline();  // the default sphere: two arcs
  store::CloseStore();
  ASSERT_EQ(store::g.ObjectCount, 4);
  EXPECT_EQ(ObjectPoints(1), 1);              // the centre of the lower arc
  EXPECT_EQ(ObjectPoints(2), 1 + 17 + 2 + 17 + 2);  // two 18-chord arcs joined at the ends
  float x, y, z;
  store::PointGet(1, x, y, z);
  EXPECT_NEAR(x, 0, 1e-4);
  EXPECT_NEAR(y, 100, 1e-4);

  app::Shell.GeneratrixKind[1] = 0;
  store::ClearStore();
  app::DrawWallOutline();
  store::CloseStore();
  EXPECT_EQ(ObjectPoints(1), 5);  // P1 P2 P3 P4 P1: a band as wide as the wall
  float x1, y1, z1, x5, y5, z5, x3, y3, z3;
  store::PointGet(1, x1, y1, z1);
  store::PointGet(3, x3, y3, z3);
  store::PointGet(5, x5, y5, z5);
  EXPECT_EQ(x1, x5);
  EXPECT_EQ(y1, y5);
  // P2 and P3 lie at the section (0, 0), one thickness (2 mm) apart.
  float x2, y2, z2;
  store::PointGet(2, x2, y2, z2);
  EXPECT_NEAR(std::hypot(x3 - x2, y3 - y2), 2, 1e-5);
}

TEST_F(Picture, TheLiquidSurfaceOnlyWhereASegmentHoldsTheLevel) {
  app::DrawShellPicture();
  const std::size_t withLiquid = pieces.size();
  EXPECT_EQ(withLiquid, 22u);  // origin, axis, scale, 2 × (wall, hatch), contour, 2 supports, liquid, 10 diagrams, table
  pieces.clear();
  app::Shell.LiquidLevel = 500;  // above the shell
  app::DrawShellPicture();
  EXPECT_EQ(pieces.size(), withLiquid - 1);
}

TEST_F(Picture, TheTableSaysWhenTheStepWasEnlarged) {
  app::DrawShellPicture();
  ASSERT_FALSE(pieces.empty());
  EXPECT_EQ(pieces.back().Texts.size(), 16u);  // the title and fifteen rows
  EXPECT_EQ(pieces.back().Texts[1], "Давление, бар                      2.000"_sc);
  pieces.clear();
  app::Shell.ContourStep = 0;
  app::DrawShellPicture();
  ASSERT_EQ(pieces.back().Texts.size(), 17u);
  EXPECT_EQ(pieces.back().Texts[16].substr(0, 27), "Шаг по контуру увеличен до "_sc);
}

}  // namespace
