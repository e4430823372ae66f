// The membrane solver and the bending analysis against the closed forms of
// shell theory (one table: a row per case and quantity, naming the theory
// it checks), and the CalculiX model written of the same shells.
#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <map>
#include <sstream>

#include "app/batch.h"
#include "app/bending_solver.h"
#include "exchange/exchange.h"
#include "support/shell_files.h"

namespace {

using app::ShellModel;
using S = app::ShellSolution;
using B = app::BendingSolution;
constexpr double kE = 210000, kNu = 0.3, kG = 9.80665, kS45 = 0.70710678118654752;

// Sections {r, z, arc radius, kind of the segment from there}, wall t;
// loads: gas p0, liquid density and level, overload, wall density; the
// section that holds the shell.
ShellModel Shell(std::initializer_list<std::array<float, 4>> sections, float t, float step, float p0,
                 float rhoL, float level, float n, float rhoW, int support) {
  std::vector<std::array<float, 5>> walls;
  for (auto [r, z, arc, kind] : sections) walls.push_back({r, z, arc, kind, t});
  ShellModel m = testing_support::ShellOf(walls, p0, rhoL, level, n, rhoW, support);
  m.ContourStep = step;
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
  int Seg;  // of the bending analysis: 0 and the section count are the lids
};

// The bending analysis. A capsule: cylinder R 500, wall 5, with
// hemispherical heads, gas 1 MPa. Beam on elastic foundation at each
// junction: Q0 = p/8β, M0 = 0, M = (p/8β²)·e^(−βx)·sin βx, x from the
// nearer junction (NaN off the cylinder: no closed form there).
const double kBeta = std::pow(3 * (1 - kNu * kNu), 0.25) / std::sqrt(500 * 5.0);
ShellModel Capsule() {
  return Shell({{0, 0, 500, 1}, {500, 500, 0, 0}, {500, 1500, 500, 1}, {0, 2000, 0, 0}}, 5, 5, 1, 0, -1, 1, 0, 2);
}
double CapsuleM(At a) {
  const double x = std::min(a.Z - 500, 1500 - a.Z);
  return a.Seg != 2 ? NAN : std::exp(-kBeta * x) * std::sin(kBeta * x) / (8 * kBeta * kBeta);
}
// Cylinder R 500, wall 10, gas 0.2 MPa, closed at z 0 by the lid the model
// assumes and at z 1000 by a flat segment of its wall. A plate joined to a
// long cylinder: D·Δ²w = p, M1(a) = M0; the corner moment M0 and the
// plate's radial force H from the equal rotation and radial displacement
// of the two at the corner (the cylinder as a beam on elastic foundation).
ShellModel FlatLids() {
  return Shell({{500, 0, 0, 0}, {500, 1000, 0, 0}, {0, 1000, 0, 0}}, 10, 5, 0.2f, 0, -1, 1, 0, 1);
}
struct PlateAndCylinder { double M0, C1, C2, D, Beta, Wp; };
const PlateAndCylinder kLid = [] {
  const double a = 500, t = 10, p = 0.2, d = kE * t * t * t / (12 * (1 - kNu * kNu));
  const double beta = std::pow(3 * (1 - kNu * kNu), 0.25) / std::sqrt(a * t), wp = p * a * a / (kE * t) * (1 - kNu / 2);
  // rotation: p·a³/16D − a(M0 + (3+ν)pa²/16)/(D(1+ν)) = M0/Dβ + H/2Dβ²;
  // radial displacement: (1 − ν)·H·a/Et = wp − H/2Dβ³ − M0/2Dβ².
  const double a11 = -a / (d * (1 + kNu)) - 1 / (d * beta), a12 = -1 / (2 * d * beta * beta);
  const double b1 = (3 + kNu) * p * a * a * a / (16 * d * (1 + kNu)) - p * a * a * a / (16 * d);
  const double a21 = -a12, a22 = (1 - kNu) * a / (kE * t) + 1 / (2 * d * beta * beta * beta);
  const double m0 = (b1 * a22 - a12 * wp) / (a11 * a22 - a12 * a21), h = (a11 * wp - a21 * b1) / (a11 * a22 - a12 * a21);
  const double c2 = m0 / (2 * d * beta * beta);
  return PlateAndCylinder{m0, -h / (2 * d * beta * beta * beta) - c2, c2, d, beta, wp};
}();
double LidM1(At a) {
  if (a.Seg != 1) return kLid.M0 + (3 + kNu) * 0.2 * (500 * 500 - a.R * a.R) / 16;
  const double x = std::min(a.Z, 1000 - a.Z), b = kLid.Beta * x;
  return 2 * kLid.D * kLid.Beta * kLid.Beta * std::exp(-b) * (kLid.C2 * std::cos(b) - kLid.C1 * std::sin(b));
}
// The concave vessel's outward normal from its three centres.
double OutR(At a) { return a.Seg == 2 ? (1600 - a.R) / 1000 : a.R / 800; }
double OutZ(At a) { return a.Seg == 1 ? (a.Z - 600) / 800 : a.Seg == 2 ? (1200 - a.Z) / 1000 : (a.Z - 440) / 800; }
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
  float (B::*Bending)[app::kBendingCapacity] = nullptr;  // a result of the bending analysis instead
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
    {"capsule, bending (0.3 %): M1 = (p/8β²)e^(−βx) sin βx", Capsule, nullptr, CapsuleM,
     3e-3 * 0.3224 / (8 * kBeta * kBeta), &B::MeridionalMoment},
    {"capsule, bending (0.3 %): Q = ±(p/8β)e^(−βx)(cos βx − sin βx), Q0 = p/8β", Capsule, nullptr,
     [](At a) { return (a.Z < 1000 ? 1 : -1) * CapsuleM(a) * kBeta * (1 / std::tan(kBeta * std::min(a.Z - 500, 1500 - a.Z)) - 1); },
     3e-3 / (8 * kBeta), &B::TransverseShear},
    {"capsule, bending: outer σ1 = pR/2t + 6M1/t², 29 % over the membrane at βx = π/4", Capsule, nullptr,
     [](At a) { return 50 + 6 * CapsuleM(a) / 25; }, 0.05, &B::MeridionalStressOuter},
    {"capsule, bending: inner σ1 = pR/2t − 6M1/t²", Capsule, nullptr, [](At a) { return 50 - 6 * CapsuleM(a) / 25; },
     0.05, &B::MeridionalStressInner},
    {"flat lids: M1 of both plates M0 + (3+ν)p(a² − r²)/16 and of the cylinder (0.1 % of M0)", FlatLids, nullptr,
     LidM1, 1e-3 * std::fabs(kLid.M0), &B::MeridionalMoment},
    {"flat lids: plate M2 = M0 + p(a²(3+ν) − r²(1+3ν))/16", FlatLids, nullptr,
     [](At a) { return a.Seg == 1 ? NAN : kLid.M0 + 0.2 * (500 * 500 * (3 + kNu) - a.R * a.R * (1 + 3 * kNu)) / 16; },
     1e-3 * std::fabs(kLid.M0), &B::HoopMoment},
    {"flat lids (0.25 %): cylinder T2 = Et·w/a + νpa/2, w = wp + e^(−βx)(C1 cos βx + C2 sin βx)", FlatLids, nullptr,
     [](At a) {
       const double b = kLid.Beta * std::min(a.Z, 1000 - a.Z);
       return a.Seg != 1 ? NAN
                         : kE * 10 * (kLid.Wp + std::exp(-b) * (kLid.C1 * std::cos(b) + kLid.C2 * std::sin(b))) / 500 +
                               kNu * 50;
     },
     0.5, &B::HoopForce},
};

S& Solve(ShellModel& m) {
  static S s;
  return testing_support::Solved(m, s);
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
  static B b;
  for (const ClosedForm& c : kCases) {
    SCOPED_TRACE(c.Name);
    ShellModel m = c.Model();
    S& s = Solve(m);
    int checked = 0;
    if (c.Bending == nullptr) {
      ForEachNode(m, s, [&](int k, int seg) {
        ++checked;
        EXPECT_NEAR((s.*c.What)[k], c.Theory({s.NodeR[k], s.NodeZ[k], seg}), c.Tolerance)
            << "node " << k << " at r " << s.NodeR[k] << ", z " << s.NodeZ[k];
      });
    }
    app::SolveBending(m, s, b);
    for (int k = 1; c.Bending != nullptr && k <= app::BendingEntryCount(b); ++k) {
      const double theory = c.Theory({b.NodeR[k], b.NodeZ[k], app::EntrySegment(m, s, b, k)});
      if (std::isnan(theory)) continue;
      ++checked;
      EXPECT_NEAR((b.*c.Bending)[k], theory, c.Tolerance) << "entry " << k << " at r " << b.NodeR[k] << ", z " << b.NodeZ[k];
    }
    EXPECT_GT(checked, 100);
  }
}

// The CalculiX model: the node table's nodes are the mid-wall nodes its
// header names, every element turns counter-clockwise in the r-z plane
// (else the solver finds a negative volume), also where the bending
// analysis' finer model joins a lid's plate by a mitre, and the lids' line
// loads add up to the pressure on them.
TEST(MembraneTheory, CalculixModelMeshesTheShell) {
  const std::pair<ShellModel (*)(), bool> kModels[] = {
      {GasSphere, false}, {ConeCylinder, false}, {Concave, false}, {[] { return Cylinder(1); }, false},
      {FlatLids, true},   {ConeCylinder, true}};
  for (auto [model, bending] : kModels) {
    ShellModel m = model();
    S& s = Solve(m);
    app::CcxShellOf(m, s, exchange::Ccx, bending);
    ASSERT_EQ(exchange::CcxFault(exchange::Ccx), "");
    exchange::ExportFile f;
    exchange::ExportCCX(f);
    std::map<long, std::array<double, 2>> node;
    std::vector<std::array<long, 9>> element;
    double lids = 0;
    const std::string bytes(exchange::ExportText(f));
    std::istringstream in(bytes);
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
    // "Node k of segment s ... is on station A*(k-s)+B.", points 2L + 1 a station
    const std::size_t at = bytes.find("node table is on station ") + 25;
    const int per = std::atoi(bytes.c_str() + at), first = std::atoi(bytes.c_str() + bytes.find(")+", at) + 2);
    const int points = bending ? 13 : 9;
    EXPECT_EQ(per, bending ? 8 : 4);
    EXPECT_EQ(first == 1, !bending || m.SectionRadius[1] == 0);
    ForEachNode(m, s, [&](int k, int seg) {
      auto p = node[points * (per * (k - seg) + first - 1) + points / 2 + 1];
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
    EXPECT_NEAR(lids, bending ? 0 : expect, 1e-6 * std::fabs(expect) + 1e-6);
  }
}

}  // namespace
