// The membrane solver against the closed forms of membrane theory (one
// table: a row per case and quantity, naming the theory it checks), and the
// CalculiX model written of the same shells.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <map>
#include <sstream>

#include "app/batch.h"
#include "exchange/exchange.h"

namespace {

using app::ShellModel;
using S = app::ShellSolution;
constexpr double kE = 210000, kNu = 0.3, kG = 9.80665, kS45 = 0.70710678118654752;

// Sections {r, z, arc radius, kind of the segment from there}, wall t;
// loads: gas p0, liquid density and level, overload, wall density; the
// section that holds the shell.
ShellModel Shell(std::initializer_list<std::array<float, 4>> sections, float t, float step, float p0,
                 float rhoL, float level, float n, float rhoW, int support) {
  ShellModel m;
  app::ResetShellModel(m);
  m.SectionCount = 0;
  for (auto [r, z, arc, kind] : sections) {
    int i = ++m.SectionCount;
    m.SectionRadius[i] = r, m.SectionHeight[i] = z, m.ArcRadius[i] = arc, m.Thickness[i] = t;
    m.GeneratrixKind[i] = static_cast<int>(kind);
  }
  m.ContourStep = step, m.InternalPressure = p0, m.LiquidDensity = rhoL, m.LiquidLevel = level;
  m.Overload = n, m.WallDensity = rhoW, m.SupportSection = support;
  return m;
}

// Sphere R 100, wall 2, gas 0.2 MPa, on its equator: uniform strain ε.
constexpr double kEps = 0.2 * 100 * (1 - kNu) / (2 * kE * 2);
ShellModel GasSphere() {
  return Shell({{0, 0, 100, 1}, {100, 100, 100, 1}, {0, 200, 100, 1}}, 2, 0.5f, 0.2f, 0, -1, 1, 0, 2);
}
// Sphere R 1000 full of water at overload 3, gas 0.05 MPa, on its equator.
constexpr double kGamma = 1e-6 * kG * 3, kTank = kGamma * 1e6 / 6;
ShellModel LiquidSphere() {
  return Shell({{0, 0, 1000, 1}, {1000, 1000, 1000, 1}, {0, 2000, 1000, 1}}, 8, 5, 0.05f, 1, 2000, 3, 0, 2);
}
// A 45° cone from its apex, then a cylinder R 500; wall 4, gas 1 MPa.
ShellModel ConeCylinder() {
  return Shell({{0, 0, 0, 0}, {500, 500, 0, 0}, {500, 1500, 0, 0}}, 4, 2, 1, 0, -1, 1, 0, 1);
}
// Axial displacement of the cone from its apex: ε1·ds = sin α·dur + cos α·duz
// with ur = ε2·r, ε1 = pr(½ − ν)/(Et cos α), ε2 = pr(1 − ν/2)/(Et cos α).
double ConeUz(double r) { return r * r / (kE * 4) * ((0.5 - kNu) / kS45 - 2 * kS45 * (1 - kNu / 2)); }
// A flat-bottomed cylinder R 500, wall 4, water to 700 at overload 2, gas
// 0.05 MPa, steel wall (weight q a unit area), standing (1) or hung (2).
constexpr double kQ = 7.85 * kG * 2 * 4e-6, kGammaC = 2e-6 * kG, kCylT = 500 * (0.05 + kGammaC * 700);
ShellModel Cylinder(int support) {
  return Shell({{500, 0, 0, 0}, {500, 1000, 0, 0}}, 4, 5, 0.05f, 1, 700, 2, 7.85f, support);
}
double CylP(double z) { return 0.05 + kGammaC * std::max(0.0, 700 - z); }
// Closed under gas 1 MPa, wall 6: a bowl (sphere R 800 about (0, 600)), a
// concave arc (R 1000 about (1600, 1200), centre outside), a dome (R 800
// about (0, 440)).
ShellModel Concave() {
  return Shell({{0, -200, 800, 1}, {800, 600, 1000, -1}, {640, 920, 800, 1}, {0, 1240, 0, 0}}, 6, 2, 1,
               0, -1, 1, 0, 1);
}
// A concave waist under gas 1 MPa, closed by lids: the arc R 1000 about
// (1300, 600) from (500, 0) to (500, 1200) passes the centre's height.
ShellModel Waist() { return Shell({{500, 0, 1000, -1}, {500, 1200, 0, 0}}, 6, 2, 1, 0, -1, 1, 0, 1); }
// A steel dome R 1000, wall 10, under its weight at overload 5, on its rim.
constexpr double kQR = 7.85 * kG * 5 * 10e-6 * 1000;
ShellModel Dome() { return Shell({{1000, 0, 1000, 1}, {0, 1000, 0, 0}}, 10, 2, 0, 0, -1, 5, 7.85f, 1); }

struct At {
  double R, Z;
  int Seg;
};
// The concave vessel's outward normal from its three centres.
double OutR(At a) { return a.Seg == 2 ? (1600 - a.R) / 1000 : a.R / 800; }
double OutZ(At a) {
  return a.Seg == 1 ? (a.Z - 600) / 800 : a.Seg == 2 ? (1200 - a.Z) / 1000 : (a.Z - 440) / 800;
}
// Membrane theory's tank on a ring, φ from the top: T1 and T2 over γR²/6.
double TankT1(At a) {
  double c = a.Z / 1000 - 1;
  return a.Seg == 1 ? 5 + 2 * c * c / (1 - c) : 1 - 2 * c * c / (1 + c);
}
double TankT2(At a) {
  double c = a.Z / 1000 - 1;
  return a.Seg == 1 ? 1 - 6 * c - 2 * c * c / (1 - c) : 5 - 6 * c + 2 * c * c / (1 + c);
}

struct ClosedForm {
  const char* Name;  // case: theory
  ShellModel (*Model)();
  float (S::*What)[app::kNodeCapacity];
  double (*Theory)(At);
  double Tolerance;  // 0.1 % of the case's scale unless the name says
};

const ClosedForm kCases[] = {
    {"gas sphere: T1 = pR/2", GasSphere, &S::MeridionalForce, [](At) { return 10.0; }, 1e-2},
    {"gas sphere: T2 = pR/2", GasSphere, &S::HoopForce, [](At) { return 10.0; }, 1e-2},
    {"gas sphere: σ1 = pR/2t", GasSphere, &S::MeridionalStress, [](At) { return 5.0; }, 5e-3},
    {"gas sphere: σ2 = pR/2t", GasSphere, &S::HoopStress, [](At) { return 5.0; }, 5e-3},
    {"gas sphere: ur = εr", GasSphere, &S::RadialDisplacement, [](At a) { return kEps * a.R; },
     1e-3 * kEps * 100},
    {"gas sphere: uz = ε(z − z_support)", GasSphere, &S::AxialDisplacement,
     [](At a) { return kEps * (a.Z - 100); }, 1e-3 * kEps * 100},
    {"tank on a ring: p = p0 + γ(h − z)", LiquidSphere, &S::Pressure,
     [](At a) { return 0.05 + kGamma * (2000 - a.Z); }, 1e-3 * 2000 * kGamma},
    {"tank on a ring: T1", LiquidSphere, &S::MeridionalForce,
     [](At a) { return 25 + kTank * TankT1(a); }, 6e-3 * kTank},
    {"tank on a ring: T2", LiquidSphere, &S::HoopForce, [](At a) { return 25 + kTank * TankT2(a); },
     6e-3 * kTank},
    {"cone and cylinder: T1 = pr/2cos α", ConeCylinder, &S::MeridionalForce,
     [](At a) { return a.Seg == 1 ? a.R / (2 * kS45) : 250.0; }, 0.25},
    {"cone and cylinder: T2 = pr/cos α", ConeCylinder, &S::HoopForce,
     [](At a) { return a.Seg == 1 ? a.R / kS45 : 500.0; }, 0.5},
    {"cone and cylinder: ur = ε2·r", ConeCylinder, &S::RadialDisplacement,
     [](At a) { return a.R * a.R * (1 - kNu / 2) / (kE * 4 * (a.Seg == 1 ? kS45 : 1.0)); }, 3e-4},
    {"cone and cylinder: uz, the membrane integral (0.5 %)", ConeCylinder, &S::AxialDisplacement,
     [](At a) {
       return a.Seg == 1 ? ConeUz(a.R) : ConeUz(500) + (a.Z - 500) * 500 * (0.5 - kNu) / (kE * 4);
     },
     5e-3 * std::fabs(ConeUz(500))},
    {"cylinder standing: T1 = p0R/2 − q(H − z)", [] { return Cylinder(1); }, &S::MeridionalForce,
     [](At a) { return 12.5 - kQ * (1000 - a.Z); }, 1e-3 * kCylT},
    {"cylinder standing: T2 = pR", [] { return Cylinder(1); }, &S::HoopForce,
     [](At a) { return CylP(a.Z) * 500; }, 1e-3 * kCylT},
    {"cylinder standing: ur = R(T2 − νT1)/Et", [] { return Cylinder(1); }, &S::RadialDisplacement,
     [](At a) { return 500 * (CylP(a.Z) * 500 - kNu * (12.5 - kQ * (1000 - a.Z))) / (kE * 4); },
     1e-3 * 500 * kCylT / (kE * 4)},
    {"cylinder hung: T1 = R(p0 + γh)/2 + qz", [] { return Cylinder(2); }, &S::MeridionalForce,
     [](At a) { return 250 * CylP(0) + kQ * a.Z; }, 1e-3 * kCylT},
    {"concave vessel: outward normal, r", Concave, &S::NormalR, OutR, 1e-5},
    {"concave vessel: outward normal, z", Concave, &S::NormalZ, OutZ, 1e-5},
    {"concave vessel: T1 = pr/2c", Concave, &S::MeridionalForce,
     [](At a) { return a.R / (2 * OutR(a)); }, 0.5},
    {"concave vessel: σ2 = (p − T1·k)·r/ct, k = −1/1000 on the arc", Concave, &S::HoopStress,
     [](At a) {
       return (1 - a.R / (2 * OutR(a)) * (a.Seg == 2 ? -1e-3 : 1.0 / 800)) * a.R / OutR(a) / 6;
     },
     0.25},
    {"concave waist: the short arc, r = 1300 − √(R² − (z − 600)²)", Waist, &S::NodeR,
     [](At a) { return 1300 - std::sqrt(1e6 - (a.Z - 600) * (a.Z - 600)); }, 1e-2},
    {"concave waist: T1 = pr/2c, c = (1300 − r)/R", Waist, &S::MeridionalForce,
     [](At a) { return a.R * 500 / (1300 - a.R); }, 0.5},
    {"dome under its weight: T1 = −qR/(1 + cos φ)", Dome, &S::MeridionalForce,
     [](At a) { return -kQR / (1 + a.Z / 1000); }, 1e-3 * kQR},
    {"dome under its weight: T2 = qR(1/(1 + cos φ) − cos φ)", Dome, &S::HoopForce,
     [](At a) { return kQR * (1 / (1 + a.Z / 1000) - a.Z / 1000); }, 1e-3 * kQR},
};

S& Solve(ShellModel& m) {
  static S s;
  app::SolveShell(m, s);
  app::SolveShell(m, s);
  return s;
}

// Every node off the poles (r at least 5 % of the largest), with its segment.
template <typename F>
void ForEachNode(const ShellModel& m, const S& s, F f) {
  const float rMax = *std::max_element(s.NodeR + 1, s.NodeR + s.NodeCount + 1);
  for (int i = 1; i < m.SectionCount; ++i)
    for (int k = s.SegmentFirstNode[i] + 1; k <= s.SegmentFirstNode[i] + s.SegmentNodeCount[i]; ++k)
      if (s.NodeR[k] >= 0.05f * rMax) f(k, i);
}

TEST(MembraneTheory, MatchesClosedForms) {
  for (const ClosedForm& c : kCases) {
    SCOPED_TRACE(c.Name);
    ShellModel m = c.Model();
    S& s = Solve(m);
    int checked = 0;
    ForEachNode(m, s, [&](int k, int seg) {
      ++checked;
      EXPECT_NEAR((s.*c.What)[k], c.Theory({s.NodeR[k], s.NodeZ[k], seg}), c.Tolerance)
          << "node " << k << " at r " << s.NodeR[k] << ", z " << s.NodeZ[k];
    });
    EXPECT_GT(checked, 100);
  }
}

// The CalculiX model: the node table's nodes are the mid-wall nodes its
// header names, every element turns counter-clockwise in the r-z plane
// (else the solver finds a negative volume), and the lids' line loads add
// up to the pressure on them.
TEST(MembraneTheory, CalculixModelMeshesTheShell) {
  for (auto model : {GasSphere, ConeCylinder, Concave, +[] { return Cylinder(1); }}) {
    ShellModel m = model();
    S& s = Solve(m);
    app::CcxShellOf(m, s, exchange::Ccx);
    ASSERT_EQ(exchange::CcxFault(exchange::Ccx), "");
    exchange::ExportFile f;
    exchange::ExportCCX(f);
    std::map<long, std::array<double, 2>> node;
    std::vector<std::array<long, 9>> element;
    double lids = 0;
    std::istringstream in(f.Bytes);
    std::string line, card;
    while (std::getline(in, line)) {
      if (line[0] == '*') card = line.substr(0, line.find_first_of(",\r"));
      std::array<double, 9> v{};
      std::istringstream fields(line);
      for (double& x : v) fields >> x, fields.ignore(1);
      if (card == "*NODE" && line[0] != '*') node[long(v[0])] = {v[1], v[2]};
      if (card == "*ELEMENT" && line[0] != '*')
        element.push_back({long(v[0]), long(v[1]), long(v[2]), long(v[3]), long(v[4])});
      if (card == "*CLOAD" && line[0] != '*') lids += v[2];
    }
    EXPECT_EQ(f.Bytes.substr(0, f.Bytes.find("\r\n")),
              "** Shell of revolution written by Brelmora: the wall as axisymmetric CAX8 elements");
    EXPECT_NE(f.Bytes.find("\r\n** Node k of segment s of the node table is on station 4*(k-s)+1.\r\n"),
              std::string::npos);
    ForEachNode(m, s, [&](int k, int seg) {
      auto p = node[9 * 4 * (k - seg) + 5];
      EXPECT_NEAR(p[0], s.NodeR[k], 1e-3) << k;
      EXPECT_NEAR(p[1], s.NodeZ[k], 1e-3) << k;
    });
    for (auto& e : element) {
      double area = 0;
      for (int i = 1; i <= 4; ++i) {
        auto a = node[e[i]], b = node[e[i % 4 + 1]];
        area += a[0] * b[1] - b[0] * a[1];
      }
      EXPECT_GT(area, 0) << "element " << e[0];
    }
    const int n = s.NodeCount;
    double expect =
        M_PI * (s.NodeR[n] * s.NodeR[n] * s.Pressure[n] - s.NodeR[1] * s.NodeR[1] * s.Pressure[1]);
    EXPECT_NEAR(lids, expect, 1e-6 * std::fabs(expect) + 1e-6);
  }
}

}  // namespace
