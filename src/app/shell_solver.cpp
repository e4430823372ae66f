// src/app/shell_solver.cpp — membrane solver.
//
// Index:
//   1. angles and segment geometry
//   2. node counts and the step actually used
//   3. element quantities and membrane forces
//   4. one pass
//
// Units: mm, MPa (= N/mm²), g/cm³, N. Results are held as 32-bit floats; the
// chord direction and length are computed in double precision.
#include "app/shell_solver.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "graphics/geometry.h"
#include "graphics/numbers.h"

namespace app {

ShellSolution Solution;

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kPiF = static_cast<float>(kPi);  // π as a 32-bit float, as the areas use it
}  // namespace

// ---------------------------------------------------------------------------
// 1. Angles and segment geometry

double FoldedAngle(double x, double y) {
  double a = gfx::VectorAngle(x, y);
  if (a > kPiF) a -= 2 * kPiF;
  return a;
}

namespace {

// Half the chord plus 0.001 mm for a radius shorter than half the chord. A
// chord too long for a float (radii near its limit) leaves the radius alone:
// the model never takes an infinity it could not save and read.
float ArcRadiusFor(float radius, float chord) {
  return radius < chord / 2 && std::isfinite(chord) ? chord / 2 + 0.001f : radius;
}

}  // namespace

SegmentShape SegmentGeometry(int i, const ShellModel& m) {
  SegmentShape g;
  if (i < 1 || i >= kMaxSections) return g;
  g.R1 = m.SectionRadius[i];
  g.Z1 = m.SectionHeight[i];
  g.R2 = m.SectionRadius[i + 1];
  g.Z2 = m.SectionHeight[i + 1];
  g.Thickness = m.Thickness[i];
  g.Kind = m.GeneratrixKind[i];

  double dr = static_cast<double>(g.R2) - g.R1;
  double dz = static_cast<double>(g.Z2) - g.Z1;
  double len = std::sqrt(dr * dr + dz * dz);
  g.Length = static_cast<float>(len);
  if (len > 0) {
    g.DirZ = static_cast<float>(dz / len);
    g.DirR = static_cast<float>(dr / len);
  }

  if (g.Kind == 0) {
    float a = static_cast<float>(FoldedAngle(g.DirZ, -g.DirR));
    g.StartAngle = g.EndAngle = a;
    return g;
  }
  g.Radius = std::fabs(ArcRadiusFor(m.ArcRadius[i], g.Length));
  double half = g.Length / 2.0;
  double q = static_cast<double>(g.Radius) * g.Radius - half * half;
  double d = q > 0 ? std::sqrt(q) : q;
  if (g.Kind < 0) d = -d;
  g.CentreR = static_cast<float>((static_cast<double>(g.R1) + g.R2) / 2 - d * g.DirZ);
  g.CentreZ = static_cast<float>((static_cast<double>(g.Z1) + g.Z2) / 2 + d * g.DirR);
  double a1 = FoldedAngle(g.R1 - g.CentreR, g.Z1 - g.CentreZ);
  double a2 = FoldedAngle(g.R2 - g.CentreR, g.Z2 - g.CentreZ);
  // The centre lies off the chord's middle, so the arc from section to
  // section is the one that turns less than half a circle. Folded angles on
  // either side of ±π (a concave waist, whose centre is outside at the
  // waist's height) would walk the rest of the circle instead.
  if (a2 - a1 > kPi) a2 -= 2 * kPi;
  if (a2 - a1 < -kPi) a2 += 2 * kPi;
  g.StartAngle = static_cast<float>(a1);
  g.EndAngle = static_cast<float>(a2);
  return g;
}

void RaiseShortArcRadii(ShellModel& m) {
  for (int i = 1; i <= SegmentCount(m); ++i)
    m.ArcRadius[i] = ArcRadiusFor(m.ArcRadius[i], SegmentGeometry(i, m).Length);
}

HeightRadius RadiusAtHeight(float z, const ShellModel& m) {
  HeightRadius out;
  int segs = SegmentCount(m);
  for (int i = 1; i <= segs; ++i) {
    if (!(m.SectionHeight[i] <= z && z <= m.SectionHeight[i + 1])) continue;
    SegmentShape g = SegmentGeometry(i, m);
    out.Segment = i;
    if (g.Kind == 0) {
      out.R = g.Z2 == g.Z1 ? g.R2
                           : static_cast<float>(g.R1 + (static_cast<double>(z) - g.Z1) *
                                                           (static_cast<double>(g.R2) - g.R1) /
                                                           (static_cast<double>(g.Z2) - g.Z1));
    } else {
      double dz = static_cast<double>(g.CentreZ) - z;
      double arg = static_cast<double>(g.Radius) * g.Radius - dz * dz;
      double root = arg > 0 ? std::sqrt(arg) : arg;
      out.R = static_cast<float>(g.Kind * root + g.CentreR);
    }
    return out;
  }
  return out;
}

// ---------------------------------------------------------------------------
// 2. Node counts and the step actually used

namespace {

// Nodes of one segment for the given step: round(length / step) + 1, at least
// 3. A length or step that gives no finite ratio falls back to 3 nodes; a
// ratio beyond any capacity is capped so that the count cannot overflow.
int SegmentNodes(const SegmentShape& g, double step) {
  double along = g.Kind == 0 ? g.Length
                             : std::fabs(static_cast<double>(g.EndAngle) - g.StartAngle) * g.Radius;
  double x = along / step;
  if (!std::isfinite(x)) return 3;
  if (x > 1e7) x = 1e7;
  int n = gfx::NearestInt(x) + 1;
  return n < 3 ? 3 : n;
}

int TotalNodes(const SegmentShape* g, int segs, double step) {
  int total = 0;
  for (int i = 1; i <= segs; ++i) {
    total += SegmentNodes(g[i], step);
    if (total > kMaxNodes) return kMaxNodes + 1;
  }
  return total;
}

float FloatFromBits(std::uint32_t b) {
  float f;
  std::memcpy(&f, &b, sizeof f);
  return f;
}

// The smallest positive float step whose nodes fit the capacity. The count
// falls as the step grows, and the largest float step gives 3 nodes a
// segment, so a binary search over the ordered bit patterns of positive
// floats finds it exactly.
float SmallestFittingStep(const SegmentShape* g, int segs) {
  std::uint32_t lo = 1, hi = 0x7F7FFFFFu;  // smallest subnormal .. largest finite
  while (lo < hi) {
    std::uint32_t mid = lo + (hi - lo) / 2;
    if (TotalNodes(g, segs, FloatFromBits(mid)) <= kMaxNodes)
      hi = mid;
    else
      lo = mid + 1;
  }
  return FloatFromBits(lo);
}

}  // namespace

int NodeCountForStep(const ShellModel& m, float step) {
  int segs = SegmentCount(m);
  int total = 0;
  for (int i = 1; i <= segs; ++i) total += SegmentNodes(SegmentGeometry(i, m), step);
  return total;
}

// ---------------------------------------------------------------------------
// 3. Element quantities and membrane forces

namespace {

struct Element {
  double Pressure = 0;  // at the element's end, MPa
  double Axial = 0;     // axial force through the end section, N
  double Volume = 0, LiquidVolume = 0, WallArea = 0;
};

// One element from (r1, z1) to (r2, z2) with wall thickness t and the axial
// load correction f (the support reaction where it applies).
Element ElementQuantities(const ShellModel& m, const ShellSolution& s, double r1, double z1,
                          double r2, double z2, double t, double f) {
  Element e;
  const double rhoL = m.LiquidDensity, rhoW = m.WallDensity, g = m.Gravity, n = m.Overload;
  const double h = m.LiquidLevel, p0 = m.InternalPressure;
  double len = std::sqrt((r2 - r1) * (r2 - r1) + (z2 - z1) * (z2 - z1));
  e.Volume = (kPiF * r1 * r1 + kPiF * r2 * r2) * (z2 - z1) / 2;
  if (h > z2) {
    e.LiquidVolume = e.Volume;
  } else if (z1 < h && z2 != z1) {
    double rh = r1 + (r2 - r1) * (h - z1) / (z2 - z1);
    e.LiquidVolume = (kPiF * r1 * r1 + kPiF * rh * rh) * (h - z1) / 2;
  }
  e.WallArea = (r1 + r2) * kPiF * len;
  double depth = h - z2 > 0 ? h - z2 : 0;
  e.Pressure = 1e-6 * rhoL * g * depth * n + p0;
  e.Axial = kPiF * r2 * r2 * e.Pressure +
            ((s.WallVolume + e.WallArea * t) * rhoW + (s.LiquidVolume + e.LiquidVolume) * rhoL) *
                g * n / 1e6 -
            f;
  return e;
}

struct Membrane {
  double T1 = 0, T2 = 0, S1 = 0, S2 = 0, E1 = 0, E2 = 0;
  bool Determinate = false;  // false at a pole, where the forces are left 0
};

// Forces, stresses and strains at a point of radius r with outward normal
// (c, cz), meridian curvature k and thickness t, under the pressure p and
// the axial force through its section. The wall's own weight, times the
// overload, loads the wall along the normal too: the normal load is
// p − q·cz with q the weight of a unit of wall area. At a pole (r = 0) the
// forces are not determined by the section's equilibrium and are left 0.
Membrane MembraneForces(const ShellModel& m, double r, double c, double cz, double k, double t,
                        double p, double axial) {
  Membrane f;
  const double q = static_cast<double>(m.WallDensity) * m.Gravity * m.Overload * t * 1e-6;
  if (std::fabs(c) < 0.0001) c = 0.0001;
  if (std::fabs(c * r) > 0.0001) {
    f.Determinate = true;
    f.T1 = axial / (2 * kPi * r) / c;
    f.T2 = (p - q * cz - f.T1 * k) * r / c;
  }
  f.S1 = f.T1 / t;
  f.S2 = f.T2 / t;
  const double nu = m.PoissonRatio, young = m.YoungModulus;
  f.E1 = (f.S1 - nu * f.S2) / young;
  f.E2 = (f.S2 - nu * f.S1) / young;
  return f;
}

// The wall at a node, as the axial displacement needs it.
struct WallPoint {
  double R = 0, Z = 0;  // position
  double E1 = 0;        // meridional strain
  bool Determinate = false;
  double Ur = 0;        // radial displacement
};

// The change of the axial displacement over one step between two nodes of a
// segment. A meridian element (Δr, Δz) stretched by ε1 with the radial
// displacement changing by Δur moves its end axially by Δuz, where
// ε1·Δs² = Δr·Δur + Δz·Δuz (Δs² = Δr² + Δz²), with ε1 the mean of the two
// nodes (a pole's strain is not determined; its neighbour's stands for it).
// Where the step is near horizontal (|Δz| ≤ 10⁻³·Δs) the membrane does not
// determine Δuz, and the step adds ε1·Δz, which is as good as nothing there.
double AxialStep(const WallPoint& a, const WallPoint& b) {
  double e1 = a.Determinate == b.Determinate ? (a.E1 + b.E1) / 2 : a.Determinate ? a.E1 : b.E1;
  double dr = b.R - a.R, dz = b.Z - a.Z;
  double ds2 = dr * dr + dz * dz;
  if (!(dz * dz > 1e-6 * ds2)) return e1 * dz;  // |Δz| ≤ 10⁻³·Δs
  return (e1 * ds2 - dr * (b.Ur - a.Ur)) / dz;
}

void StoreNode(ShellSolution& s, double r, double z, double c, double cz, const Element& e,
               const Membrane& f, double ur, double uz) {
  if (s.NodeCount >= kMaxNodes) return;  // the step choice keeps a pass below this
  int k = ++s.NodeCount;
  s.NodeR[k] = static_cast<float>(r);
  s.NodeZ[k] = static_cast<float>(z);
  s.NormalR[k] = static_cast<float>(c);
  s.NormalZ[k] = static_cast<float>(cz);
  s.Pressure[k] = static_cast<float>(e.Pressure);
  s.AxialForce[k] = static_cast<float>(e.Axial);
  s.MeridionalForce[k] = static_cast<float>(f.T1);
  s.HoopForce[k] = static_cast<float>(f.T2);
  s.MeridionalStress[k] = static_cast<float>(f.S1);
  s.HoopStress[k] = static_cast<float>(f.S2);
  s.MeridionalStrain[k] = static_cast<float>(f.E1);
  s.HoopStrain[k] = static_cast<float>(f.E2);
  s.RadialDisplacement[k] = static_cast<float>(ur);
  s.AxialDisplacement[k] = static_cast<float>(uz);
}

}  // namespace

// ---------------------------------------------------------------------------
// 4. One pass

void SolveShell(ShellModel& m, ShellSolution& s) {
  s.TotalVolume = s.LiquidVolume = s.WallVolume = s.WallArea = 0;
  s.NodeCount = 0;
  double uz = 0;  // running axial displacement, summed in double precision

  RaiseShortArcRadii(m);
  const int segs = SegmentCount(m);
  SegmentShape geo[kMaxSections + 1];
  for (int i = 1; i <= segs; ++i) geo[i] = SegmentGeometry(i, m);

  float step = m.ContourStep;
  s.StepEnlarged = !(std::isfinite(step) && step > 0) || TotalNodes(geo, segs, step) > kMaxNodes;
  if (s.StepEnlarged) step = SmallestFittingStep(geo, segs);
  s.EffectiveStep = step;

  for (int i = 1; i <= segs; ++i) {
    const SegmentShape& g = geo[i];
    const int nodes = SegmentNodes(g, step);
    const bool straight = g.Kind == 0;
    const double t = g.Thickness;
    // An arc's outward normal points away from its centre when the centre
    // lies inside the shell and towards it when outside; the meridian
    // curves with the same sign, so a concave meridian curves negatively.
    const double side = g.Kind < 0 ? -1.0 : 1.0;
    double dr = 0, dz = 0, da = 0, k = 0, c0, cz0;
    if (straight) {
      dr = (static_cast<double>(g.R2) - g.R1) / (nodes - 1);
      dz = (static_cast<double>(g.Z2) - g.Z1) / (nodes - 1);
      c0 = g.DirZ;
      cz0 = -g.DirR;
    } else {
      da = (static_cast<double>(g.EndAngle) - g.StartAngle) / (nodes - 1);
      c0 = side * std::cos(static_cast<double>(g.StartAngle));
      cz0 = side * std::sin(static_cast<double>(g.StartAngle));
      k = side / g.Radius;
    }
    s.SegmentNodeCount[i] = nodes;
    s.SegmentFirstNode[i] = s.NodeCount;
    const double f = i >= m.SupportSection ? m.SupportReaction : 0.0;

    // The first node: a zero-length element gives its pressure and force.
    double r = g.R1, z = g.Z1, a = g.StartAngle;
    Element e = ElementQuantities(m, s, r, z, r, z, t, f);
    Membrane mf = MembraneForces(m, r, c0, cz0, k, t, e.Pressure, e.Axial);
    WallPoint prev{r, z, mf.E1, mf.Determinate, mf.E2 * r};
    StoreNode(s, r, z, c0, cz0, e, mf, prev.Ur, uz);

    for (int j = 2; j <= nodes; ++j) {
      double rPrev = s.NodeR[s.NodeCount], zPrev = s.NodeZ[s.NodeCount];
      double c = c0, cz = cz0;
      if (straight) {
        r += dr;
        z += dz;
      } else {
        a += da;
        r = static_cast<double>(g.Radius) * std::cos(a) + g.CentreR;
        z = static_cast<double>(g.Radius) * std::sin(a) + g.CentreZ;
        c = side * std::cos(a);
        cz = side * std::sin(a);
      }
      float rNode = static_cast<float>(r), zNode = static_cast<float>(z);
      e = ElementQuantities(m, s, rPrev, zPrev, rNode, zNode, t, f);
      s.TotalVolume = static_cast<float>(s.TotalVolume + e.Volume);
      s.LiquidVolume = static_cast<float>(s.LiquidVolume + e.LiquidVolume);
      s.WallArea = static_cast<float>(s.WallArea + e.WallArea);
      s.WallVolume = static_cast<float>(s.WallVolume + e.WallArea * t);
      mf = MembraneForces(m, rNode, c, cz, k, t, e.Pressure, e.Axial);
      WallPoint here{r, z, mf.E1, mf.Determinate, mf.E2 * rNode};
      uz += AxialStep(prev, here);
      prev = here;
      StoreNode(s, rNode, zNode, c, cz, e, mf, here.Ur, uz);
    }
  }

  const int n = s.NodeCount;
  const int last = SectionsInUse(m);
  if (last >= 1) {
    s.SegmentNodeCount[last] = 1;
    s.SegmentFirstNode[last] = n;
  }
  if (n >= 1) {
    s.RadialDisplacement[n + 1] = s.RadialDisplacement[n];
    s.AxialDisplacement[n + 1] = s.AxialDisplacement[n];
  }

  const double rhoL = m.LiquidDensity, rhoW = m.WallDensity;
  s.LiquidMass = static_cast<float>(rhoL * s.LiquidVolume / 1e6);
  s.WallMass = static_cast<float>(rhoW * s.WallVolume / 1e6);
  s.TotalMass = s.LiquidMass + s.WallMass;
  m.SupportReaction = static_cast<float>(static_cast<double>(s.TotalMass) * m.Gravity * m.Overload);

  // Axial displacement datum: the support section does not move along the
  // axis. A support number outside the sections is held to the nearest one.
  if (n >= 1 && last >= 2) {
    int support = m.SupportSection < 1 ? 1 : m.SupportSection > last ? last : m.SupportSection;
    int k0 = s.SegmentFirstNode[support];
    float datum = s.AxialDisplacement[k0 + 1];
    for (int k = 1; k <= n + 1; ++k) s.AxialDisplacement[k] -= datum;
  }

  for (int k = 1; k <= n; ++k) {
    double ur = s.RadialDisplacement[k], uzk = s.AxialDisplacement[k];
    double c = s.NormalR[k], cz = s.NormalZ[k];
    s.TangentialDisplacement[k] = static_cast<float>(uzk * c - ur * cz);
    s.NormalDisplacement[k] = static_cast<float>(ur * c + uzk * cz);
  }
}

}  // namespace app
