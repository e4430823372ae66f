// src/app/shell_solver.h — the membrane (momentless) solver of the shell.
//
// The solver walks the generatrix from section 1 to the last section, cuts
// each segment into equal steps and finds, for every node, the pressure, the
// axial force from the equilibrium of the shell below it, the meridional and
// hoop forces from the equilibrium of an element, the stresses, the strains
// and the displacements; and it sums volumes, wall area and masses.
// Callers always run it twice in a row: the first pass finds the support
// reaction, the second subtracts it above the support.
#pragma once

#include <cstdint>

#include "app/shell_model.h"

namespace app {

constexpr int kNodeCapacity = 5000;             // entries, index 0 included
constexpr int kMaxNodes = kNodeCapacity - 2;    // node NodeCount + 1 is written too

struct ShellSolution {
  int NodeCount = 0;
  // Node arrays, index 1..NodeCount (+1 for the two displacements).
  float NodeR[kNodeCapacity] = {}, NodeZ[kNodeCapacity] = {};      // mm
  float NormalR[kNodeCapacity] = {}, NormalZ[kNodeCapacity] = {};  // unit normal
  float Pressure[kNodeCapacity] = {};                              // MPa
  float AxialForce[kNodeCapacity] = {};                            // N
  float MeridionalForce[kNodeCapacity] = {}, HoopForce[kNodeCapacity] = {};    // N/mm
  float MeridionalStress[kNodeCapacity] = {}, HoopStress[kNodeCapacity] = {};  // MPa
  float MeridionalStrain[kNodeCapacity] = {}, HoopStrain[kNodeCapacity] = {};
  float RadialDisplacement[kNodeCapacity] = {};      // mm, perpendicular to the axis
  float AxialDisplacement[kNodeCapacity] = {};       // mm, along the axis
  float TangentialDisplacement[kNodeCapacity] = {};  // mm, along the generatrix
  float NormalDisplacement[kNodeCapacity] = {};      // mm, along the normal

  // Per segment, index 1..SectionCount: segment i's nodes are
  // SegmentFirstNode[i] + 1 .. SegmentFirstNode[i] + SegmentNodeCount[i].
  std::int32_t SegmentNodeCount[kMaxSections + 1] = {};
  std::int32_t SegmentFirstNode[kMaxSections + 1] = {};

  float TotalVolume = 0, LiquidVolume = 0, WallVolume = 0;  // mm³
  float WallArea = 0;                                       // mm²
  float LiquidMass = 0, WallMass = 0, TotalMass = 0;        // kg

  // The step the calculation used. It differs from the model's ContourStep
  // (StepEnlarged) when that step is not a positive finite number or would
  // need more nodes than the arrays hold: the smallest step that fits is
  // used instead, and the model keeps what the user typed.
  float EffectiveStep = 0;
  bool StepEnlarged = false;
};

extern ShellSolution Solution;  // the one solution of the program

// The geometry of segment i (from section i to section i + 1).
struct SegmentShape {
  std::int32_t Kind = 0;          // 0 straight, >0 arc centre inside, <0 outside
  float R1 = 0, Z1 = 0, R2 = 0, Z2 = 0;
  float DirZ = 0, DirR = 0;       // chord direction (dz / L, dr / L)
  float Length = 0;               // chord length L
  float CentreR = 0, CentreZ = 0; // arc centre
  float Radius = 0;               // |R|
  float StartAngle = 0, EndAngle = 0;  // a1, a2 (radians)
  float Thickness = 0;
};

// The shape of segment i as the calculation takes it: an arc radius smaller
// than half the chord counts as half the chord plus 0.001 mm. The model is
// left as it is.
SegmentShape SegmentGeometry(int i, const ShellModel& m = Shell);
// Writes that raise into the model: every arc radius smaller than half its
// chord becomes half the chord plus 0.001 mm. SolveShell does it first, so
// a model keeps the radii it was calculated with.
void RaiseShortArcRadii(ShellModel& m);

// The radius of the generatrix at height z and the first segment containing
// that height; segment 0 (and r 0) when none does.
struct HeightRadius {
  float R = 0;
  int Segment = 0;
};
HeightRadius RadiusAtHeight(float z, const ShellModel& m = Shell);

// The angle of the vector (x, y), gfx::VectorAngle, folded into (−π, π]
// (2π subtracted when it exceeds π).
double FoldedAngle(double x, double y);

// One pass of the calculation.
void SolveShell(ShellModel& m = Shell, ShellSolution& s = Solution);

// The nodes a pass would make with the given step (each segment at least 3).
int NodeCountForStep(const ShellModel& m, float step);

}  // namespace app
