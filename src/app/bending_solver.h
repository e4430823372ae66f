// src/app/bending_solver.h — the linear bending analysis of the shell: the
// wall with its bending moments and transverse shear, on the membrane
// solver's nodes, with the flat lids that the membrane model assumes at
// ends off the axis modelled as circular plates.
//
// Sign conventions (the README states them for users):
//   - the outward normal is the membrane solver's; the outer surface lies
//     along it, the inner surface opposite it (a lid at the last section has
//     its inner surface below, a lid at the first section above);
//   - M1, M2 are positive when they stretch the outer surface;
//   - forces and stresses are positive in tension;
//   - surface stress σ = T/t ± 6M/t², + on the outer surface (the
//     equivalent stress of a surface follows the design check's rule);
//   - the transverse shear Q is the force along the outward normal that the
//     part of the wall further along the meridian (towards the last section;
//     on a lid, towards the axis for the last section's lid and away from it
//     for the first's) exerts across the parallel on the part before it.
#pragma once

#include <cstdint>
#include <string>

#include "app/shell_model.h"
#include "app/shell_solver.h"

namespace app {

// Nodes of one lid: the lid is cut at about the contour step, with at least
// 3 and at most this many nodes from the axis to the wall.
constexpr int kLidNodes = 201;
// Result entries: the shell's nodes (the membrane solver's indices), then the
// nodes of the lid at the first section, then those of the lid at the last.
constexpr int kBendingCapacity = kNodeCapacity + 2 * kLidNodes;

// Why a shell could not be solved with bending (None when it was).
enum class BendingFault : std::int8_t {
  None,
  NoShell,         // fewer than two sections
  Thickness,       // a wall not thicker than 0 (FaultSegment)
  NoLength,        // a segment without length (FaultSegment)
  NegativeRadius,  // a node at a negative radius (FaultSegment)
  OnAxis,          // a segment that lies along the axis (FaultSegment)
  Material,        // E not positive, ν outside (−1, 0.5), or not finite
  Loads,           // a load that is not a finite number
  Singular,        // the stiffness cannot be factored
  NotFinite,       // a result that is not a finite number
};

struct BendingSolution {
  BendingFault Fault = BendingFault::None;
  int FaultSegment = 0;

  // Node entries 1 .. NodeCount + LidNodeCount[0] + LidNodeCount[1]: first
  // the shell's nodes as the membrane solution numbers them, then each
  // lid's from the axis outward (lid 0 closes the first section, lid 1 the
  // last; a count of 0 when that end is on the axis).
  int NodeCount = 0;
  int LidNodeCount[2] = {};
  float LidThickness[2] = {};

  float NodeR[kBendingCapacity] = {}, NodeZ[kBendingCapacity] = {};      // mm
  float NormalR[kBendingCapacity] = {}, NormalZ[kBendingCapacity] = {};  // outward
  float Thickness[kBendingCapacity] = {};                                // mm
  float Pressure[kBendingCapacity] = {};                                 // MPa
  float MeridionalForce[kBendingCapacity] = {}, HoopForce[kBendingCapacity] = {};    // N/mm
  float MeridionalMoment[kBendingCapacity] = {}, HoopMoment[kBendingCapacity] = {};  // N·mm/mm
  float TransverseShear[kBendingCapacity] = {};                                     // N/mm
  float MeridionalStressInner[kBendingCapacity] = {}, MeridionalStressOuter[kBendingCapacity] = {};
  float HoopStressInner[kBendingCapacity] = {}, HoopStressOuter[kBendingCapacity] = {};  // MPa
  float RadialDisplacement[kBendingCapacity] = {}, AxialDisplacement[kBendingCapacity] = {};  // mm

  int ElementCount = 0;  // the elements of the last solve, lids included
};

extern BendingSolution Bending;  // the one bending solution of the program

// The first entry of lid 0 or 1 (its node at the axis).
inline int LidFirstNode(const BendingSolution& b, int lid) {
  return b.NodeCount + 1 + (lid == 1 ? b.LidNodeCount[0] : 0);
}
inline int BendingEntryCount(const BendingSolution& b) {
  return b.NodeCount + b.LidNodeCount[0] + b.LidNodeCount[1];
}

// The bending analysis of m on the nodes of its membrane solution s (solved
// twice, as every caller does). Allocates nothing. On a fault, b.Fault says
// why and the results are left 0.
void SolveBending(const ShellModel& m, const ShellSolution& s, BendingSolution& b = Bending);

// The fault as a prompt-line message, screen text "Russian;English".
std::string BendingFaultText(const BendingSolution& b);

// The nodes of a lid of the given radius at the contour step used: about
// one a step, from 3 to kLidNodes, equally spaced from the axis.
int LidNodeCount(double radius, double step);

// The segment an entry lies on: 1 .. SectionCount − 1 for the shell's
// nodes, 0 and SectionCount for the lids'.
int EntrySegment(const ShellModel& m, const ShellSolution& s, const BendingSolution& b, int k);

}  // namespace app
