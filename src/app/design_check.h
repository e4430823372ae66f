// src/app/design_check.h — the design check of a solved shell: the
// equivalent stress, the peaks of the results and where they are, and the
// margin against the allowable stress.
//
// The peak search lives here once. It takes the two stress arrays it is
// given, so the membrane stresses and the stresses of a wall surface go
// through the same search and the same equivalence rule.
#pragma once

#include <cstdint>
#include <string>

#include "app/bending_solver.h"
#include "app/shell_model.h"
#include "app/shell_solver.h"

namespace app {

// The equivalent stress of the plane state s1, s2 (the stress through the
// wall is 0): von Mises √(s1² − s1·s2 + s2²); Tresca max(|s1|, |s2|,
// |s1 − s2|). Any rule other than kTresca is von Mises.
double EquivalentStress(double s1, double s2, std::int32_t rule);

// One peak: the value at the node of the largest magnitude (with its
// sign), that node's segment, number (over the whole generatrix) and place.
// Segment 0 when the solution has no nodes. Of the bending analysis: the
// entry (lids after the shell's nodes), the segment 0 or SectionCount for a
// lid, and the surface (Found says whether there was a node at all).
struct NodePeak {
  double Value = 0;
  int Segment = 0, Node = 0;
  float R = 0, Z = 0;
  bool Outer = false, Found = false;
};

// The peak of a node array; the first node wins a tie.
NodePeak PeakOf(const ShellModel& m, const ShellSolution& s, const float* values);

struct StressPeaks {
  NodePeak Meridional, Hoop, Equivalent;
};

// The peaks of a pair of stress arrays, the equivalent one by rule.
StressPeaks FindStressPeaks(const ShellModel& m, const ShellSolution& s, const float* meridional,
                            const float* hoop, std::int32_t rule);

// The peaks of the surface stresses of the bending analysis b of the solved
// shell: both surfaces of every node of the shell and of its lids.
StressPeaks FindSurfacePeaks(const ShellModel& m, const ShellSolution& s, const BendingSolution& b);

// The largest equivalent surface stress of one segment (1 .. SectionCount
// − 1) or lid (0, SectionCount); Found is false when it has no nodes.
NodePeak SegmentSurfacePeak(const ShellModel& m, const ShellSolution& s, const BendingSolution& b,
                            int segment);

// The larger equivalent stress of the two surfaces at entry k.
double SurfaceEquivalent(const ShellModel& m, const BendingSolution& b, int k);

// The margin [σ]/σ_eq − 1; false when no allowable stress is set or the
// peak equivalent stress is not above 0.
bool DesignMargin(const ShellModel& m, double peakEquivalent, double& margin);

// Whether node k is over the allowable stress (false without one).
bool OverAllowable(const ShellModel& m, const ShellSolution& s, int k);

// The length of the meridian from the first node to each node, mm, into
// out[1..NodeCount]: arcs by their angle, straight segments by their chord.
void MeridianArcLengths(const ShellModel& m, const ShellSolution& s, float* out);

// The two lines under the picture's table, each no wider than the table:
// the peak equivalent stress; its segment and height and the margin
// (screen text, Russian;English). False without an allowable stress.
// negative says whether the margin is below 0. With a bending analysis b,
// the peak is that of its surface stresses.
bool DesignCheckLines(const ShellModel& m, const ShellSolution& s, std::string lines[2], bool& negative,
                      const BendingSolution* b = nullptr);

// The block the batch report adds after the table (UTF-8, Russian). With a
// bending analysis b: its surface stresses and displacements, then the
// largest equivalent stress of each segment and lid with its surface.
std::string PeakReport(const ShellModel& m, const ShellSolution& s, const BendingSolution* b = nullptr);

}  // namespace app
