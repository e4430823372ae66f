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

#include "app/shell_model.h"
#include "app/shell_solver.h"

namespace app {

// The equivalent stress of the plane state s1, s2 (the stress through the
// wall is 0): von Mises √(s1² − s1·s2 + s2²); Tresca max(|s1|, |s2|,
// |s1 − s2|). Any rule other than kTresca is von Mises.
double EquivalentStress(double s1, double s2, std::int32_t rule);

// One peak: the value at the node of the largest magnitude (with its
// sign), that node's segment, number (over the whole generatrix) and place.
// Segment 0 when the solution has no nodes.
struct NodePeak {
  double Value = 0;
  int Segment = 0, Node = 0;
  float R = 0, Z = 0;
};

// The peak of a node array; the first node wins a tie.
NodePeak PeakOf(const ShellModel& m, const ShellSolution& s, const float* values);

struct StressPeaks {
  NodePeak Meridional, Hoop, Equivalent;
};

// The peaks of a pair of stress arrays, the equivalent one by rule.
StressPeaks FindStressPeaks(const ShellModel& m, const ShellSolution& s, const float* meridional,
                            const float* hoop, std::int32_t rule);

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
// negative says whether the margin is below 0.
bool DesignCheckLines(const ShellModel& m, const ShellSolution& s, std::string lines[2], bool& negative);

// The block the batch report adds after the table (UTF-8, Russian).
std::string PeakReport(const ShellModel& m, const ShellSolution& s);

}  // namespace app
