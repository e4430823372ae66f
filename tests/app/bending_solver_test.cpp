// The bending analysis against the membrane solver where membrane theory
// holds, and shells it cannot solve.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "app/bending_solver.h"
#include "support/shell_files.h"

namespace {

using app::ShellModel;

using testing_support::ShellOf;

app::ShellSolution s;
app::BendingSolution b;

void Solve(ShellModel& m) { app::SolveBending(m, testing_support::Solved(m, s), b); }

// Beyond 8/β of every junction and the support and 10/β of a lid, leaving
// out the two nodes nearest a pole, the meridional and hoop forces are the
// membrane solver's within 1 % of the shell's largest; β = [3(1 − ν²)]^¼ /
// √(R2·t), R2 = r / nr the second radius of curvature.
TEST(BendingSolver, AgreesWithTheMembraneSolverAwayFromJunctionsSupportsAndLids) {
  const struct { const char* Name; ShellModel Model; } kShells[] = {
      {"capsule", ShellOf({{0, 0, 500, 1, 5}, {500, 500, 0, 0, 5}, {500, 1500, 500, 1, 5}, {0, 2000, 0, 0, 5}}, 1, 0, -1, 1, 0, 2)},
      {"45° cone, cylinder, head", ShellOf({{0, 0, 0, 0, 6}, {500, 500, 0, 0, 6}, {500, 1500, 500, 1, 6}, {0, 2000, 0, 0, 6}}, 1, 0, -1, 1, 0, 2)},
      {"cone and cylinder under water, a lid, steel wall", ShellOf({{0, 0, 0, 0, 4}, {600, 600, 0, 0, 3}, {600, 1600, 0, 0, 3}}, 0.05f, 1, 1400, 3, 7.85f, 2)},
      {"sphere on a ring, part-filled, overload 20", ShellOf({{0, 0, 1000, 1, 8}, {1000, 1000, 1000, 1, 8}, {0, 2000, 1000, 0, 8}}, 0.01f, 1, 700, 20, 7.85f, 2)},
      {"cylinder with two lids, liquid", ShellOf({{500, 0, 0, 0, 4}, {500, 1000, 0, 0, 4}}, 0.05f, 1, 700, 2, 7.85f, 1)},
  };
  for (const auto& c : kShells) {
    SCOPED_TRACE(c.Name);
    ShellModel m = c.Model;
    m.ContourStep = 5;
    Solve(m);
    ASSERT_EQ(b.Fault, app::BendingFault::None);
    const int segs = app::SegmentCount(m);
    std::vector<double> along(s.NodeCount + 1, 0.0);
    for (int k = 2; k <= s.NodeCount; ++k)
      along[k] = along[k - 1] + std::hypot(s.NodeR[k] - s.NodeR[k - 1], s.NodeZ[k] - s.NodeZ[k - 1]);
    auto bending = [&](int k, int i) {  // 1/β at node k of segment i
      const double nr = std::fabs(s.NormalR[k]), r2 = nr > 1e-3 ? s.NodeR[k] / nr : 1e9;
      return std::sqrt(r2 * m.Thickness[i]) / std::pow(3 * (1 - 0.09), 0.25);
    };
    std::vector<std::array<double, 2>> places;  // arc length, reach
    for (int i = 2; i <= segs; ++i) {
      const int k = s.SegmentFirstNode[i] + 1;
      places.push_back({along[k], 8 * std::max(bending(k, i), bending(k - 1, i - 1))});
    }
    const int ring = m.SupportSection <= segs ? s.SegmentFirstNode[m.SupportSection] + 1 : s.NodeCount;
    places.push_back({along[ring], 8 * bending(ring, std::min(m.SupportSection, segs))});
    for (int lid = 0; lid < 2; ++lid)
      if (b.LidNodeCount[lid] > 0)
        places.push_back({lid == 0 ? 0 : along[s.NodeCount], 10 * bending(lid == 0 ? 1 : s.NodeCount, lid == 0 ? 1 : segs)});
    double scale = 0;
    for (int k = 1; k <= s.NodeCount; ++k)
      scale = std::max({scale, std::fabs(double(s.MeridionalForce[k])), std::fabs(double(s.HoopForce[k]))});
    int compared = 0;
    for (int i = 1; i <= segs; ++i)
      for (int k = s.SegmentFirstNode[i] + 1; k <= s.SegmentFirstNode[i] + s.SegmentNodeCount[i]; ++k) {
        bool out = false;
        for (int d = -2; d <= 2; ++d) {
          const int n = std::clamp(k + d, s.SegmentFirstNode[i] + 1, s.SegmentFirstNode[i] + s.SegmentNodeCount[i]);
          out = out || s.NodeR[n] <= 1e-3f * m.Thickness[i];
        }
        for (auto [at, reach] : places) out = out || std::fabs(along[k] - at) < reach;
        if (out) continue;
        ++compared;
        EXPECT_NEAR(b.MeridionalForce[k], s.MeridionalForce[k], 0.01 * scale) << "node " << k;
        EXPECT_NEAR(b.HoopForce[k], s.HoopForce[k], 0.01 * scale) << "node " << k;
      }
    EXPECT_GT(compared, 40);
  }
}

// What cannot be solved says why, and leaves no result to draw or print.
TEST(BendingSolver, AShellItCannotSolveSaysWhy) {
  const ShellModel sphere = ShellOf({{0, 0, 100, 1, 2}, {100, 100, 100, 1, 2}, {0, 200, 0, 0, 2}}, 0.2f, 0, -1, 1, 0, 2);
  const struct {
    const char* Name;
    void (*Change)(ShellModel&);
    app::BendingFault Fault;
    int Segment;
    const char* Says;
  } kCases[] = {
      {"no wall", [](ShellModel& m) { m.Thickness[2] = 0; }, app::BendingFault::Thickness, 2,
       "Bending not computed: the wall of segment 2 is not thicker than 0"},
      {"a wall that is not a number", [](ShellModel& m) { m.Thickness[1] = NAN; }, app::BendingFault::Thickness, 1, ""},
      {"a segment along the axis", [](ShellModel& m) { m.SectionRadius[2] = 0, m.GeneratrixKind[1] = 0; },
       app::BendingFault::OnAxis, 1, "segment 1 lies on the axis"},
      {"an arc across the axis", [](ShellModel& m) {
         m.SectionCount = 2, m.SectionRadius[1] = m.SectionRadius[2] = 10, m.GeneratrixKind[1] = -1;
       },
       app::BendingFault::NegativeRadius, 1, "segment 1 crosses the axis"},
      {"no stiffness", [](ShellModel& m) { m.YoungModulus = 0; }, app::BendingFault::Material, 0, ""},
      {"a pressure that is not a number", [](ShellModel& m) { m.InternalPressure = INFINITY; },
       app::BendingFault::Loads, 0, ""},
      {"no segment", [](ShellModel& m) { m.SectionCount = 1; }, app::BendingFault::NoShell, 0, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.Name);
    ShellModel m = sphere;
    c.Change(m);
    Solve(m);
    EXPECT_EQ(b.Fault, c.Fault);
    EXPECT_EQ(b.FaultSegment, c.Segment);
    EXPECT_EQ(app::BendingEntryCount(b), 0);
    const std::string says = app::BendingFaultText(b);
    EXPECT_NE(says.find(c.Says), std::string::npos) << says;
    EXPECT_EQ(says.find(';'), says.find("; Bending not computed:"));  // "Russian; English"
  }
}

}  // namespace
