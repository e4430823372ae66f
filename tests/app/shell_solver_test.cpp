// The membrane solver: node counts, the support, the liquid, and the limits
// of its input (its closed forms are in membrane_theory_test.cpp).
#include <cmath>
#include <limits>

#include "app/shell_model.h"
#include "app/shell_solver.h"
#include "graphics/geometry.h"
#include "support/shell_files.h"

namespace {

using app::ShellModel;
using app::ShellSolution;

ShellModel Sphere() { return testing_support::DefaultShell(); }

// A straight cylinder of radius r, wall 2, standing on section 2 (a flat
// bottom lid at r), with only internal pressure.
ShellModel Cylinder(float r, int segments, float length, float p0) {
  std::vector<std::array<float, 5>> sections;
  for (int i = 0; i <= segments; ++i) sections.push_back({r, i * length, 0, 0, 2});
  ShellModel m = testing_support::ShellOf(sections, p0, 0, -1000, 0, 0, 2);
  m.ContourStep = length / 10;
  return m;
}

ShellSolution& Solve(ShellModel& m) {
  static ShellSolution s;
  return testing_support::Solved(m, s);
}

TEST(SolverNodes, RoundLengthOverStepPlusOneHalvesToEvenAtLeastThree) {
  // Segment length at step 10 → nodes: a segment shorter than two steps still
  // gets 3; 3.5 and 4.5 steps both round to 4.
  for (auto [length, nodes] : {std::pair{3.0f, 3}, {25.0f, 3}, {35.0f, 5}, {45.0f, 5}, {100.0f, 11}}) {
    ShellModel m = Cylinder(50, 1, length, 0.1f);
    EXPECT_EQ(app::NodeCountForStep(m, 10), nodes) << length;
    m.ContourStep = 10;
    EXPECT_EQ(Solve(m).SegmentNodeCount[1], nodes) << length;
  }
}

TEST(SolverTotals, DefaultSphereVolumesAreThoseOfItsPolygon) {
  ShellModel m = Sphere();
  ShellSolution& s = Solve(m);
  const double pi = 3.14159265358979;
  EXPECT_NEAR(s.TotalVolume, 4.0 / 3 * pi * 1e6, 0.002 * 4.0 / 3 * pi * 1e6);
  EXPECT_NEAR(s.WallArea, 4 * pi * 1e4, 0.002 * 4 * pi * 1e4);
  // Liquid to z = 150: a cap of height 150 in a sphere of radius 100.
  EXPECT_NEAR(s.LiquidVolume, pi * 150 * 150 * (300 - 150) / 3, 0.003 * 3.5e6);
  EXPECT_FLOAT_EQ(s.LiquidMass, static_cast<float>(1.0 * s.LiquidVolume / 1e6));
  EXPECT_FLOAT_EQ(s.WallMass, static_cast<float>(7.85 * s.WallVolume / 1e6));
  EXPECT_FLOAT_EQ(s.TotalMass, s.LiquidMass + s.WallMass);
  EXPECT_FLOAT_EQ(m.SupportReaction, static_cast<float>(s.TotalMass * 9.80665 * 10));
  // At a pole (r = 0) the forces are zero.
  EXPECT_EQ(s.MeridionalForce[1], 0);
  EXPECT_EQ(s.HoopForce[1], 0);
  m.LiquidLevel = 1000;  // above the top: liquid fills the whole volume
  Solve(m);
  EXPECT_EQ(s.LiquidVolume, s.TotalVolume);
}

// At the support section the axial displacement is zero; a support outside
// the sections reads no foreign node.
TEST(SolverSupport, AxialDisplacementIsZeroAtTheSupport) {
  for (int support : {1, 2, 3, 4, 0, -7, 5, 49, 50, 1000000, std::numeric_limits<int>::min()}) {
    ShellModel m = Cylinder(300, 3, 300, 0.5f);
    m.SupportSection = support;
    ShellSolution& s = Solve(m);
    EXPECT_EQ(s.NodeCount, 33) << support;
    for (int k = 1; k <= s.NodeCount; ++k) EXPECT_TRUE(std::isfinite(s.AxialDisplacement[k])) << support;
    if (support >= 1 && support <= 4) {
      EXPECT_EQ(s.AxialDisplacement[s.SegmentFirstNode[support] + 1], 0) << support;
    }
  }
}

TEST(SolverGeometry, ArcRadiusBelowHalfTheChordIsRaisedAndKeptBySolving) {
  ShellModel m = Sphere();
  m.ArcRadius[1] = 10;
  app::SegmentShape g = app::SegmentGeometry(1, m);
  float half = static_cast<float>(std::sqrt(2.0) * 100 / 2);
  EXPECT_EQ(m.ArcRadius[1], 10);  // a query leaves the model alone
  EXPECT_FLOAT_EQ(g.Radius, half + 0.001f);
  Solve(m);
  EXPECT_FLOAT_EQ(m.ArcRadius[1], half + 0.001f);
}

TEST(SolverGeometry, AngleOfAVector) {
  const struct { double X, Y, Angle; } kRows[] = {{0, 1, 0.5},  {0, 0, 1.5}, {0, -1, 1.5}, {1, -1, 1.75},
                                                  {-1, 1, 0.75}, {1, 0, 0},   {-1, 0, 1},   {-1, -1, 1.25}};
  for (const auto& r : kRows) EXPECT_DOUBLE_EQ(gfx::VectorAngle(r.X, r.Y), r.Angle * M_PI) << r.X << ", " << r.Y;
  EXPECT_NEAR(app::FoldedAngle(1, -1), -0.25 * M_PI, 1e-6);
  EXPECT_NEAR(app::FoldedAngle(-1, 0), M_PI, 1e-6);
}

// The liquid's surface: the segment at a height and its radius there, on
// an arc and on a cone.
TEST(SolverGeometry, RadiusAtHeight) {
  ShellModel m = Sphere();
  app::HeightRadius h = app::RadiusAtHeight(150, m);
  EXPECT_EQ(h.Segment, 2);
  EXPECT_NEAR(h.R, std::sqrt(100.0 * 100 - 50 * 50), 1e-3);
  EXPECT_EQ(app::RadiusAtHeight(100, m).Segment, 1);
  EXPECT_EQ(app::RadiusAtHeight(250, m).Segment, 0);
  ShellModel c = Cylinder(100, 2, 100, 0);
  c.SectionRadius[3] = 200;
  EXPECT_FLOAT_EQ(app::RadiusAtHeight(150, c).R, 150);
}

TEST(SolverStep, AStepThatFitsIsUsedAsItIsOthersGiveTheSmallestThatFits) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  for (float step : {0.0f, -5.0f, nan, INFINITY, -INFINITY, 1e-30f, 0.01f}) {
    ShellModel m = Sphere();
    m.ContourStep = step;
    ShellSolution& s = Solve(m);
    EXPECT_TRUE(s.StepEnlarged) << step;
    EXPECT_LE(s.NodeCount, app::kMaxNodes);
    EXPECT_GT(s.NodeCount, app::kMaxNodes - 10);
    // Smallest: one float step less no longer fits.
    EXPECT_GT(app::NodeCountForStep(m, std::nextafter(s.EffectiveStep, 0.0f)), app::kMaxNodes);
    EXPECT_EQ(app::NodeCountForStep(m, s.EffectiveStep), s.NodeCount);
    // The model keeps what the user typed.
    if (std::isnan(step)) EXPECT_TRUE(std::isnan(m.ContourStep));
    else EXPECT_EQ(m.ContourStep, step);
  }
  ShellModel m = Sphere();
  m.ContourStep = 0.2f;  // 786 + 1 nodes a quarter circle
  EXPECT_FALSE(Solve(m).StepEnlarged);
  EXPECT_EQ(Solve(m).NodeCount, 2 * 786);
}

TEST(SolverInput, DegenerateModelsNeverCrash) {
  for (auto change : {+[](ShellModel& m) { m.SectionRadius[2] = NAN; },
                      +[](ShellModel& m) { m.SectionHeight[3] = INFINITY, m.ArcRadius[2] = -INFINITY; },
                      +[](ShellModel& m) { m.Thickness[1] = 0, m.YoungModulus = 0, m.Overload = NAN; }}) {
    ShellModel m = Sphere();
    change(m);
    Solve(m);
  }
  for (int count : {1, 0, -4, 50, 1000}) {
    ShellModel m = Sphere();
    m.SectionCount = count;
    EXPECT_LE(Solve(m).NodeCount, count == 1 ? 0 : app::kMaxNodes) << count;
  }
  // A flat or nearly flat ring, then a cylinder: membrane theory leaves the
  // axial displacement of a level step open, and none may run away.
  for (float rise : {0.0f, 1e-30f, 1e-7f, 1e-4f, 0.1f, 0.11f}) {
    ShellModel m = Cylinder(100, 2, 100, 0.1f);
    m.SectionHeight[2] = rise;
    m.SectionRadius[2] = m.SectionRadius[3] = 200;
    ShellSolution& s = Solve(m);
    for (int k = 1; k <= s.NodeCount; ++k) {
      EXPECT_TRUE(std::isfinite(s.MeridionalForce[k]) && std::isfinite(s.NormalDisplacement[k])) << rise;
      EXPECT_LT(std::fabs(s.AxialDisplacement[k]), rise > 0.1f ? 1e4f : 1e-2f) << rise << " " << k;
    }
  }
}

}  // namespace
