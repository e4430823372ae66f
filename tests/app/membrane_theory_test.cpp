// The membrane solver against the closed forms of membrane theory: one
// table, one row per case and quantity, each naming the theory it checks.
// Nodes near a pole (r below 5 % of the shell's largest radius) are left
// out: there the section's equilibrium does not determine the forces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "app/shell_model.h"
#include "app/shell_solver.h"

namespace {

using app::ShellModel;
using app::ShellSolution;
using Column = float (ShellSolution::*)[app::kNodeCapacity];

constexpr double kE = 210000, kNu = 0.3, kG = 9.80665;

struct Section {
  float R, Z, Arc;
  int Kind;  // of the segment that starts here
};

// A shell of the given sections and wall, unloaded and weightless.
ShellModel Build(std::initializer_list<Section> sections, float t, float step) {
  ShellModel m;
  app::ResetShellModel(m);
  m.SectionCount = static_cast<int>(sections.size());
  int i = 0;
  for (const Section& s : sections) {
    ++i;
    m.SectionRadius[i] = s.R;
    m.SectionHeight[i] = s.Z;
    m.ArcRadius[i] = s.Arc;
    m.GeneratrixKind[i] = s.Kind;
    m.Thickness[i] = t;
  }
  m.InternalPressure = 0;
  m.LiquidDensity = 0;
  m.LiquidLevel = -1e6f;
  m.WallDensity = 0;
  m.Overload = 1;
  m.ContourStep = step;
  m.SupportSection = 1;
  return m;
}

// Sphere R 100, wall 2, gas 0.2 MPa, on its equator.
constexpr double kP = 0.2, kR = 100, kT = 2, kStrain = kP * kR * (1 - kNu) / (2 * kE * kT);
ShellModel GasSphere() {
  ShellModel m = Build({{0, 0, 100, 1}, {100, 100, 100, 1}, {0, 200, 100, 1}}, 2, 0.5f);
  m.InternalPressure = 0.2f;
  m.SupportSection = 2;
  return m;
}

// Sphere R 1000 full of water at overload 3 with gas 0.05 MPa, on its
// equator: the spherical tank on a ring of membrane theory.
constexpr double kGamma = 1e-6 * kG * 3, kTank = kGamma * 1e6 / 6, kTankGas = 0.05 * 1000 / 2;
ShellModel LiquidSphere() {
  ShellModel m = Build({{0, 0, 1000, 1}, {1000, 1000, 1000, 1}, {0, 2000, 1000, 1}}, 8, 5);
  m.InternalPressure = 0.05f;
  m.LiquidDensity = 1;
  m.LiquidLevel = 2000;
  m.Overload = 3;
  m.SupportSection = 2;
  return m;
}

// A 45° cone from its apex, then a cylinder, wall 4, gas 1 MPa; the apex
// holds the shell axially.
const double kSin45 = std::sqrt(0.5);
ShellModel ConeCylinder() {
  ShellModel m = Build({{0, 0, 0, 0}, {500, 500, 0, 0}, {500, 1500, 0, 0}}, 4, 2);
  m.InternalPressure = 1;
  return m;
}
// The cone's axial displacement from the apex: ε1·ds = sin α·dur + cos α·duz
// integrated with ur = ε2·r, ε1 = pr(½ − ν)/(Et cos α), ε2 = pr(1 − ν/2)/(Et cos α).
double ConeUz(double r) {
  return r * r / (2 * kE * 4 * 0.5) * ((0.5 - kNu) / kSin45 - 2 * kSin45 * (1 - kNu / 2));
}

// A flat-bottomed cylinder R 500, wall 4, water to 700 at overload 2, gas
// 0.05 MPa, steel wall of weight q per unit area.
constexpr double kQc = 7.85 * kG * 2 * 4 * 1e-6, kGc = 1e-6 * kG * 2;
ShellModel LiquidCylinder(int support) {
  ShellModel m = Build({{500, 0, 0, 0}, {500, 1000, 0, 0}}, 4, 5);
  m.InternalPressure = 0.05f;
  m.LiquidDensity = 1;
  m.LiquidLevel = 700;
  m.Overload = 2;
  m.WallDensity = 7.85f;
  m.SupportSection = support;
  return m;
}
double CylinderPressure(double z) { return 0.05 + kGc * std::max(0.0, 700 - z); }
const double kCylinderT = 500 * CylinderPressure(0);  // the case's scale, N/mm

// A closed vessel under gas 1 MPa: a bowl (sphere R 800 about (0, 600)), a
// concave arc (R 1000 about (1600, 1200), centre outside) and a dome
// (R 800 about (0, 440)).
ShellModel ConcaveVessel() {
  ShellModel m = Build({{0, -200, 800, 1}, {800, 600, 1000, -1}, {640, 920, 800, 1}, {0, 1240, 0, 0}},
                       6, 2);
  m.InternalPressure = 1;
  return m;
}
struct At {
  double R, Z;
  int Segment;
};
// The outward normal's components from the centres of the three arcs.
double OutwardR(At a) { return a.Segment == 2 ? (1600 - a.R) / 1000 : a.R / 800; }
double OutwardZ(At a) {
  return a.Segment == 1 ? (a.Z - 600) / 800 : a.Segment == 2 ? (1200 - a.Z) / 1000 : (a.Z - 440) / 800;
}

// A steel dome R 1000, wall 10, under its own weight at overload 5, held
// at its rim; φ from the top, cos φ = z / R.
constexpr double kQd = 7.85 * kG * 5 * 10 * 1e-6 * 1000;  // qR
ShellModel WeightDome() {
  ShellModel m = Build({{1000, 0, 1000, 1}, {0, 1000, 0, 0}}, 10, 2);
  m.WallDensity = 7.85f;
  m.Overload = 5;
  return m;
}

struct ClosedForm {
  const char* Name;  // case: theory
  ShellModel (*Shell)();
  Column What;
  double (*Theory)(At);
  double Tolerance;  // 0.1 % of the case's scale unless said
};

const ClosedForm kCases[] = {
    {"gas sphere: T1 = pR/2", GasSphere, &ShellSolution::MeridionalForce, [](At) { return kP * kR / 2; },
     1e-3 * kP * kR / 2},
    {"gas sphere: T2 = pR/2", GasSphere, &ShellSolution::HoopForce, [](At) { return kP * kR / 2; },
     1e-3 * kP * kR / 2},
    {"gas sphere: σ1 = pR/2t", GasSphere, &ShellSolution::MeridionalStress,
     [](At) { return kP * kR / (2 * kT); }, 1e-3 * kP * kR / (2 * kT)},
    {"gas sphere: σ2 = pR/2t", GasSphere, &ShellSolution::HoopStress,
     [](At) { return kP * kR / (2 * kT); }, 1e-3 * kP * kR / (2 * kT)},
    {"gas sphere: ur = εr, ε = pR(1 − ν)/2Et", GasSphere, &ShellSolution::RadialDisplacement,
     [](At a) { return kStrain * a.R; }, 1e-3 * kStrain * kR},
    {"gas sphere: uz = ε(z − z_support), uniform dilation", GasSphere,
     &ShellSolution::AxialDisplacement, [](At a) { return kStrain * (a.Z - 100); }, 1e-3 * kStrain * kR},

    {"liquid sphere on a ring: p = p0 + γ(h − z)", LiquidSphere, &ShellSolution::Pressure,
     [](At a) { return 0.05 + kGamma * (2000 - a.Z); }, 1e-3 * 2 * kGamma * 1000},
    {"liquid sphere on a ring: T1, tank formula", LiquidSphere, &ShellSolution::MeridionalForce,
     [](At a) {
       double c = (a.Z - 1000) / 1000;
       return kTankGas + kTank * (a.Segment == 1 ? 5 + 2 * c * c / (1 - c) : 1 - 2 * c * c / (1 + c));
     },
     1e-3 * 6 * kTank},
    {"liquid sphere on a ring: T2, tank formula", LiquidSphere, &ShellSolution::HoopForce,
     [](At a) {
       double c = (a.Z - 1000) / 1000;
       return kTankGas +
              kTank * (a.Segment == 1 ? 1 - 6 * c - 2 * c * c / (1 - c) : 5 - 6 * c + 2 * c * c / (1 + c));
     },
     1e-3 * 6 * kTank},

    {"cone and cylinder: T1 = pr/2cos α", ConeCylinder, &ShellSolution::MeridionalForce,
     [](At a) { return a.Segment == 1 ? a.R / (2 * kSin45) : 250.0; }, 1e-3 * 250},
    {"cone and cylinder: T2 = pr/cos α", ConeCylinder, &ShellSolution::HoopForce,
     [](At a) { return a.Segment == 1 ? a.R / kSin45 : 500.0; }, 1e-3 * 500},
    {"cone and cylinder: ur = ε2·r", ConeCylinder, &ShellSolution::RadialDisplacement,
     [](At a) { return a.R * a.R * (1 - kNu / 2) / (kE * 4 * (a.Segment == 1 ? kSin45 : 1.0)); },
     1e-3 * 500 * 500 / (kE * 4 * kSin45)},
    {"cone and cylinder: uz, the membrane integral (0.5 %)", ConeCylinder,
     &ShellSolution::AxialDisplacement,
     [](At a) {
       return a.Segment == 1 ? ConeUz(a.R) : ConeUz(500) + (a.Z - 500) * 500 * (0.5 - kNu) / (kE * 4);
     },
     5e-3 * std::fabs(ConeUz(500))},

    {"cylinder standing on its bottom: T1 = p0R/2 − q(H − z)", [] { return LiquidCylinder(1); },
     &ShellSolution::MeridionalForce, [](At a) { return 0.05 * 250 - kQc * (1000 - a.Z); },
     1e-3 * kCylinderT},
    {"cylinder standing on its bottom: T2 = pR", [] { return LiquidCylinder(1); },
     &ShellSolution::HoopForce, [](At a) { return CylinderPressure(a.Z) * 500; }, 1e-3 * kCylinderT},
    {"cylinder standing on its bottom: ur = R(T2 − νT1)/Et", [] { return LiquidCylinder(1); },
     &ShellSolution::RadialDisplacement,
     [](At a) {
       return 500 * (CylinderPressure(a.Z) * 500 - kNu * (12.5 - kQc * (1000 - a.Z))) / (kE * 4);
     },
     1e-3 * 500 * 0.14 * 500 / (kE * 4)},
    {"cylinder hung from its top: T1 = R(p0 + γh)/2 + qz", [] { return LiquidCylinder(2); },
     &ShellSolution::MeridionalForce, [](At a) { return 250 * CylinderPressure(0) + kQc * a.Z; },
     1e-3 * kCylinderT},

    {"concave vessel: outward normal, radial", ConcaveVessel, &ShellSolution::NormalR, OutwardR, 1e-5},
    {"concave vessel: outward normal, axial", ConcaveVessel, &ShellSolution::NormalZ, OutwardZ, 1e-5},
    {"concave vessel: T1 = pr/2c", ConcaveVessel, &ShellSolution::MeridionalForce,
     [](At a) { return a.R / (2 * OutwardR(a)); }, 1e-3 * 500},
    {"concave vessel: σ2 = (p − T1·k)·r/ct, k = −1/1000 on the arc", ConcaveVessel,
     &ShellSolution::HoopStress,
     [](At a) {
       double c = OutwardR(a), t1 = a.R / (2 * c);
       return (1 - t1 * (a.Segment == 2 ? -1e-3 : 1.0 / 800)) * a.R / c / 6;
     },
     1e-3 * 250},

    {"dome under its weight: T1 = −qR/(1 + cos φ)", WeightDome, &ShellSolution::MeridionalForce,
     [](At a) { return -kQd / (1 + a.Z / 1000); }, 1e-3 * kQd},
    {"dome under its weight: T2 = qR(1/(1 + cos φ) − cos φ)", WeightDome, &ShellSolution::HoopForce,
     [](At a) { return kQd * (1 / (1 + a.Z / 1000) - a.Z / 1000); }, 1e-3 * kQd},
};

TEST(MembraneTheory, MatchesClosedForms) {
  static ShellSolution s;
  for (const ClosedForm& c : kCases) {
    SCOPED_TRACE(c.Name);
    ShellModel m = c.Shell();
    app::SolveShell(m, s);
    app::SolveShell(m, s);
    ASSERT_FALSE(s.StepEnlarged);
    const float rMax = *std::max_element(s.NodeR + 1, s.NodeR + s.NodeCount + 1);
    int checked = 0;
    for (int i = 1; i < m.SectionCount; ++i) {
      for (int k = s.SegmentFirstNode[i] + 1; k <= s.SegmentFirstNode[i] + s.SegmentNodeCount[i]; ++k) {
        if (s.NodeR[k] < 0.05f * rMax) continue;
        ++checked;
        EXPECT_NEAR((s.*c.What)[k], c.Theory({s.NodeR[k], s.NodeZ[k], i}), c.Tolerance)
            << "node " << k << " at r " << s.NodeR[k] << ", z " << s.NodeZ[k];
      }
    }
    EXPECT_GT(checked, 100);
  }
}

}  // namespace
