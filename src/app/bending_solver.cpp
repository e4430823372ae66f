// src/app/bending_solver.cpp — the bending analysis of the shell.
//
// Theory: thin elastic shells of revolution under axisymmetric load
// (Kirchhoff–Love; the strain measures of Novozhilov and of Timoshenko &
// Woinowsky-Krieger, "Theory of Plates and Shells", ch. 16). With U = (ur,
// uz) the displacement of the mid-surface, s the arc length of the meridian,
// t its unit tangent (in the direction of the walk), n = (tz, −tr) its
// normal and k its curvature (dt/ds = −k·n):
//   ε1 = t·U',  ε2 = ur / r,  χ = n·U' (the rotation),
//   κ1 = −dχ/ds = −(k·ε1 + n·U''),  κ2 = −χ·tr / r,
//   T1 = K(ε1 + νε2), T2 = K(ε2 + νε1), K = Et / (1 − ν²),
//   M1 = D(κ1 + νκ2), M2 = D(κ2 + νκ1), D = Et³ / 12(1 − ν²).
//
// Method: the displacement finite-element method for axisymmetric shells
// (Zienkiewicz & Taylor, "The Finite Element Method", vol. 2, the chapter on
// axisymmetric shells), with two-node curved elements on the exact
// meridian, straight line or circular arc: both components of U are cubic
// Hermite polynomials of the arc length, so an element moves rigidly
// without strain and an arc needs no straight chords. The unknowns at a
// point are ur, uz, χ and ε1 (U' = ε1·t + χ·n there); where two segments
// meet (a kink, a change of wall, a support, a lid's corner) each side keeps
// its own ε1. Stiffness and consistent loads by Gauss quadrature (three
// points for the stretching and the loads, two for the bending); the
// stiffness matrix is symmetric and banded (half-bandwidth 8, a block to a
// point) and is solved by band Cholesky factorisation (Golub & Van Loan,
// "Matrix Computations", §4.3, band Cholesky).
//
// Elements: as long as the bending waves allow (see kFine and kCoarse), so
// a contour step may hold several elements, or an element several steps.
//
// Results: at the ends of the elements the meridional force, the
// transverse shear and M1 are the element's end forces (K·q − f, the exact
// statics of the element); T2 and M2 follow from ε2 and κ2 there with ν
// times T1 and M1. At a pole they are taken from the two nearest element
// ends on the parabola f(s) = A + B·s² that symmetry calls for, with
// M1 = M2 and T1 = T2. A node between element ends gets the cubic through
// the four nearest ends of its piece.
//
// Index:
//   1. the pieces of the meridian and the mesh
//   2. one element: stiffness, loads, end forces
//   3. assembly, supports and the band solve
//   4. results at the nodes
//   5. the solve, messages, peaks
#include "app/bending_solver.h"

#include <algorithm>
#include <cmath>

#include "platform/codepage.h"

namespace app {

BendingSolution Bending;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kBand = 8;                 // half-bandwidth of the stiffness matrix
constexpr int kMaxElements = 12000;      // lids included
constexpr int kMaxPoints = kMaxElements + 1;
constexpr int kMaxDofs = 4 * kMaxPoints + kMaxSections + 2;
constexpr int kMaxPieces = kMaxSegments + 2;  // the segments and two lids
// The longest element where the nodes are element ends (kFine) and where
// they lie between them (kCoarse), in bending lengths 1/β = √(R2·t) /
// [3(1 − ν²)]^¼ (R2 = r / nr, the second radius of curvature). With one
// element per 1/β the decaying waves at a junction come out within 0.3 % of
// the beam on elastic foundation at the element ends; the cubic between
// ends 0.3/β apart adds less than 0.1 %. A plate (a lid, a level segment)
// bends without waves and gets 16 elements.
constexpr double kFine = 1.0;
constexpr double kCoarse = 0.3;
constexpr int kPlateElements = 16;

// The Gauss–Legendre points on [0, 1] and their weights: three for the
// stretching and the loads, then two for the bending (the curvature of a
// cubic is linear, so two points take its energy on a line exactly).
constexpr int kPoints = 5, kStretch = 3;
constexpr double kGaussX[kPoints] = {0.5 - 0.38729833462074169, 0.5, 0.5 + 0.38729833462074169,
                                     0.5 - 0.28867513459481287, 0.5 + 0.28867513459481287};
constexpr double kGaussW[kPoints] = {5.0 / 18, 8.0 / 18, 5.0 / 18, 0.5, 0.5};

// The cubic Hermite functions of an element of length h at ξ ∈ [0, 1]: of
// the value at the start, the slope at the start, the value and the slope
// at the end; with their first and second derivatives in s.
struct Hermite {
  double Phi[4], D1[4], D2[4];
};

Hermite HermiteAt(double h, double x) {
  const double x2 = x * x, x3 = x2 * x, d0 = (6 * x2 - 6 * x) / h, s0 = (12 * x - 6) / (h * h);
  return {{1 - 3 * x2 + 2 * x3, h * (x - 2 * x2 + x3), 3 * x2 - 2 * x3, h * (x3 - x2)},
          {d0, 1 - 4 * x + 3 * x2, -d0, 3 * x2 - 2 * x},
          {s0, (6 * x - 4) / h, -s0, (6 * x - 2) / h}};
}

// A piece of the meridian: a segment, or a lid from the axis to its end.
struct Piece {
  int Segment = 0;            // 0 the first section's lid, SectionCount the last's
  bool Arc = false;
  double R1 = 0, Z1 = 0, R2 = 0, Z2 = 0;  // its ends in the order of the walk
  double CentreR = 0, CentreZ = 0, Radius = 0, A1 = 0, A2 = 0;  // an arc
  double Thickness = 0;
  double Side = 1;            // the outward normal is Side × n
  bool Weight = true;         // the wall's weight loads it (a lid is weightless)
  int Nodes = 0;              // result nodes on it
  int Elements = 0;           // elements on it, of equal length
  int FirstPoint = 0;         // mesh point of its start (and its first element)
  int Slot = 0;               // its first entry in the element-end results
  // Set by Prepare once the elements are known: the element's length and
  // the meridian's curvature; a line's tangent; an arc's sense (+1 when the
  // walk turns counter-clockwise), its angle per element, and the turns to
  // the Gauss points and to the element's end.
  double Length = 0, H = 0, K = 0;
  double Tr = 0, Tz = 0;
  double Sigma = 1, Da = 0;
  double GaussCos[kPoints] = {}, GaussSin[kPoints] = {}, StepCos = 1, StepSin = 0;
  Hermite Gauss[kPoints];  // the Hermite functions at the Gauss points
};

// A straight piece's stiffness, packed lower triangles (row i, column
// j ≤ i at i(i+1)/2 + j). Its frame does not turn, so at each Gauss point
// the unknowns' strains are fixed vectors, and the hoop strain and the hoop
// curvature such vectors over r: an element from r to r + Δr has the
// stiffness r·S0 + Δr·S1 + S2 + Σ C[g] / r_g.
constexpr int kPacked = 36;
struct StraightStiffness {
  double S0[kPacked], S1[kPacked], S2[kPacked], C[kPoints][kPacked];
};

// The rows of an element's stiffness and loads at one of its ends.
struct EndRows {
  double K[3][8];
  double F[3];
};

struct Work {
  Piece Pieces[kMaxPieces + 1];
  StraightStiffness Straight[kMaxPieces + 1];
  int PieceCount = 0;
  int PointCount = 0;
  int Base[kMaxPoints + 1];   // the first unknown of each point
  bool Joint[kMaxPoints + 1]; // a point where two pieces meet: ε1 on each side
  int DofCount = 0;
  double Band[kMaxDofs * (kBand + 1)];  // row i holds columns i − kBand .. i
  double Rhs[kMaxDofs];
  double Diag[kMaxDofs];
  int LastRow[kMaxDofs];      // the last row of a column that is not 0
  int FirstColumn[kMaxDofs];  // the first column of a row that is not 0
  EndRows StartRows[kMaxElements];  // at the start of each element
  EndRows LastRows[kMaxPieces + 1];  // at the end of each piece's last element
  // Results at the element ends of each piece (a joint has one entry on
  // each side): forces, moments, shear, displacements.
  double EndT1[kMaxPoints + kMaxPieces], EndT2[kMaxPoints + kMaxPieces];
  double EndM1[kMaxPoints + kMaxPieces], EndM2[kMaxPoints + kMaxPieces];
  double EndQ[kMaxPoints + kMaxPieces], EndUr[kMaxPoints + kMaxPieces], EndUz[kMaxPoints + kMaxPieces];
  // The loads and material of the solve.
  double Young = 0, Nu = 0, P0 = 0, Gamma = 0, Level = 0, WeightPerThickness = 0;
};
Work w;

// A point of a piece: position and unit tangent (in the direction of the
// walk); the normal n = (tz, −tr).
struct Frame {
  double R = 0, Z = 0, Tr = 0, Tz = 0;
  double Nr() const { return Tz; }
  double Nz() const { return -Tr; }
};

// The point at the fraction u of the piece's length.
Frame FrameAt(const Piece& p, double u) {
  Frame f;
  if (!p.Arc) {
    const double len = std::hypot(p.R2 - p.R1, p.Z2 - p.Z1);
    f.R = p.R1 + u * (p.R2 - p.R1);
    f.Z = p.Z1 + u * (p.Z2 - p.Z1);
    f.Tr = (p.R2 - p.R1) / len;
    f.Tz = (p.Z2 - p.Z1) / len;
    return f;
  }
  const double a = p.A1 + u * (p.A2 - p.A1), c = std::cos(a), s = std::sin(a);
  const double sigma = p.A2 >= p.A1 ? 1 : -1;
  f.R = p.CentreR + p.Radius * c;
  f.Z = p.CentreZ + p.Radius * s;
  f.Tr = -sigma * s;
  f.Tz = sigma * c;
  return f;
}

double PieceLength(const Piece& p) {
  return p.Arc ? p.Radius * std::fabs(p.A2 - p.A1) : std::hypot(p.R2 - p.R1, p.Z2 - p.Z1);
}

void Prepare(Piece& p) {
  const int n = p.Elements;
  p.Length = PieceLength(p);
  p.H = p.Length / n;
  for (int g = 0; g < kPoints; ++g) p.Gauss[g] = HermiteAt(p.H, kGaussX[g]);
  if (!p.Arc) {
    p.Tr = (p.R2 - p.R1) / p.Length;
    p.Tz = (p.Z2 - p.Z1) / p.Length;
    p.K = 0;
    return;
  }
  p.Sigma = p.A2 >= p.A1 ? 1 : -1;
  p.K = p.Sigma / p.Radius;
  p.Da = (p.A2 - p.A1) / n;
  for (int g = 0; g < kPoints; ++g) {
    p.GaussCos[g] = std::cos(kGaussX[g] * p.Da);
    p.GaussSin[g] = std::sin(kGaussX[g] * p.Da);
  }
  p.StepCos = std::cos(p.Da);
  p.StepSin = std::sin(p.Da);
}

bool OnAxis(double r, double t) { return std::fabs(r) <= 1e-3 * t; }

// The unknowns ur, uz, ε1, χ at the start and at the end multiply the
// vectors (1, 0), (0, 1), t and n at their end, and these Hermite
// functions.
constexpr int kFunction[8] = {0, 0, 1, 1, 2, 2, 3, 3};

// The two strains a Gauss point contributes, x1 and x2 = x̂2 / r of each
// unknown, and the weight (times r) of the stresses x = C·strain: ε1, ε2
// at the first kStretch points, κ1, κ2 at the others.
void StraightStrains(const Piece& p, int g, double x1[8], double xr[8], double& weight) {
  const double t = p.Thickness, nu = w.Nu, km = w.Young * t / (1 - nu * nu);
  const double nr = p.Tz, nz = -p.Tr;
  const double tv[8] = {p.Tr, p.Tz, 1, 0, p.Tr, p.Tz, 1, 0};
  const double nv[8] = {nr, nz, 0, 1, nr, nz, 0, 1};
  const double vr[8] = {1, 0, p.Tr, nr, 1, 0, p.Tr, nr};
  const Hermite& hf = p.Gauss[g];
  weight = 2 * kPi * p.H * kGaussW[g] * (g < kStretch ? km : km * t * t / 12);
  for (int i = 0; i < 8; ++i) {
    const int fn = kFunction[i];
    x1[i] = g < kStretch ? hf.D1[fn] * tv[i] : -hf.D2[fn] * nv[i];
    xr[i] = g < kStretch ? hf.Phi[fn] * vr[i] : -hf.D1[fn] * nv[i] * p.Tr;
  }
}

void PrepareStraight(const Piece& p, StraightStiffness& k) {
  const double nu = w.Nu;
  for (double* v : {k.S0, k.S1, k.S2}) std::fill(v, v + kPacked, 0.0);
  for (int g = 0; g < kPoints; ++g) {
    double x1[8], xr[8], a;
    StraightStrains(p, g, x1, xr, a);
    for (int i = 0, at = 0; i < 8; ++i)
      for (int j = 0; j <= i; ++j, ++at) {
        k.S0[at] += a * x1[i] * x1[j];
        k.S1[at] += a * kGaussX[g] * x1[i] * x1[j];
        k.S2[at] += a * nu * (x1[i] * xr[j] + xr[i] * x1[j]);
        k.C[g][at] = a * xr[i] * xr[j];
      }
  }
}

// ---------------------------------------------------------------------------
// 1. The pieces of the meridian and the mesh

BendingFault Fail(BendingSolution& b, BendingFault f, int segment = 0) {
  b.Fault = f;
  b.FaultSegment = segment;
  return f;
}

// The elements of a piece: no longer than kFine bending lengths where the
// nodes are their ends; several steps to an element where kCoarse bending
// lengths hold two steps or more.
int ElementCount(const Piece& p, double nu) {
  const double length = PieceLength(p), steps = p.Nodes - 1, step = length / steps;
  double bending = HUGE_VAL;  // the shortest bending length on the piece
  for (int j = 0; j <= 8; ++j) {
    const Frame f = FrameAt(p, j / 8.0);
    const double nr = std::fabs(f.Nr()), t = p.Thickness;
    if (nr < 1e-3) continue;  // level: a plate here
    const double r2 = std::max(f.R, 2 * t) / nr;
    bending = std::min(bending, std::sqrt(r2 * t) / std::sqrt(std::sqrt(3 * (1 - nu * nu))));
  }
  const double plate = length / kPlateElements;
  const double fine = std::min(kFine * bending, plate), coarse = std::min(kCoarse * bending, plate);
  if (step > fine) return static_cast<int>(std::min(steps * std::ceil(step / fine), double(kMaxElements)));
  const double group = std::floor(coarse / step);
  if (group < 2) return static_cast<int>(steps);
  return static_cast<int>(std::ceil(steps / std::min(group, steps)));
}

// The lid closing the end (r, z) of a segment, walking from the axis to the
// wall (first section) or from the wall to the axis (last).
Piece Lid(int segment, double r, double z, double t, bool first, double step) {
  Piece p;
  p.Segment = segment;
  p.R1 = first ? 0 : r;
  p.R2 = first ? r : 0;
  p.Z1 = p.Z2 = z;
  p.Thickness = t;
  p.Weight = false;
  p.Nodes = LidNodeCount(r, step);
  return p;
}

BendingFault BuildMesh(const ShellModel& m, const ShellSolution& s, BendingSolution& b) {
  const int segs = SegmentCount(m);
  if (segs < 1 || s.NodeCount < 2) return Fail(b, BendingFault::NoShell);
  const double nu = m.PoissonRatio, young = m.YoungModulus;
  if (!(young > 0 && std::isfinite(young) && nu > -1 && nu < 0.5))
    return Fail(b, BendingFault::Material);
  const double loads[] = {m.InternalPressure, m.LiquidDensity, m.LiquidLevel, m.Overload,
                          m.WallDensity, m.Gravity};
  for (double v : loads)
    if (!std::isfinite(v)) return Fail(b, BendingFault::Loads);
  const double step = s.EffectiveStep;

  Piece segment[kMaxSections + 1];
  for (int i = 1; i <= segs; ++i) {
    const SegmentShape g = SegmentGeometry(i, m);
    Piece& p = segment[i];
    p.Segment = i;
    p.Arc = g.Kind != 0;
    p.R1 = g.R1, p.Z1 = g.Z1, p.R2 = g.R2, p.Z2 = g.Z2;
    p.Thickness = g.Thickness;
    p.Nodes = s.SegmentNodeCount[i];
    if (!(p.Thickness > 0 && std::isfinite(p.Thickness))) return Fail(b, BendingFault::Thickness, i);
    if (p.Nodes < 3 || s.SegmentFirstNode[i] + p.Nodes > s.NodeCount)
      return Fail(b, BendingFault::NoShell);
    const double ends[] = {p.R1, p.Z1, p.R2, p.Z2};
    for (double v : ends)
      if (!std::isfinite(v)) return Fail(b, BendingFault::NoLength, i);
    if (p.Arc) {
      p.CentreR = g.CentreR, p.CentreZ = g.CentreZ, p.Radius = g.Radius;
      p.A1 = g.StartAngle, p.A2 = g.EndAngle;
      // An arc's outward normal points away from its centre when the centre
      // is inside, towards it when outside (as the membrane solver has it).
      const double side = g.Kind < 0 ? -1.0 : 1.0, sigma = p.A2 >= p.A1 ? 1.0 : -1.0;
      p.Side = side * sigma;
      if (!std::isfinite(p.Radius) || !(p.Radius > 0)) return Fail(b, BendingFault::NoLength, i);
    }
    const double len = PieceLength(p);
    if (!(len > 1e-6 * p.Thickness) || !std::isfinite(len)) return Fail(b, BendingFault::NoLength, i);
    for (int j = 0; j <= 16; ++j) {
      const Frame f = FrameAt(p, j / 16.0);
      if (f.R < -1e-3 * p.Thickness) return Fail(b, BendingFault::NegativeRadius, i);
    }
    if (!p.Arc && OnAxis(p.R1, p.Thickness) && OnAxis(p.R2, p.Thickness))
      return Fail(b, BendingFault::OnAxis, i);
  }

  // The chain: the first lid, the segments, the last lid.
  w.PieceCount = 0;
  const double r1 = segment[1].R1, rN = segment[segs].R2;
  const bool lid0 = !OnAxis(r1, segment[1].Thickness);
  const bool lid1 = !OnAxis(rN, segment[segs].Thickness);
  if (lid0) w.Pieces[w.PieceCount++] = Lid(0, r1, segment[1].Z1, segment[1].Thickness, true, step);
  for (int i = 1; i <= segs; ++i) w.Pieces[w.PieceCount++] = segment[i];
  if (lid1)
    w.Pieces[w.PieceCount++] =
        Lid(segs + 1, rN, segment[segs].Z2, segment[segs].Thickness, false, step);

  // Held to the element capacity: the pieces with more elements than steps
  // give up their extra elements alike.
  int total = 0, extra = 0;
  for (int i = 0; i < w.PieceCount; ++i) {
    Piece& p = w.Pieces[i];
    p.Elements = ElementCount(p, nu);
    total += p.Elements;
    extra += std::max(0, p.Elements - (p.Nodes - 1));
  }
  if (total > kMaxElements) {
    const double share = std::max(0.0, 1.0 - double(total - kMaxElements) / extra);
    total = 0;
    for (int i = 0; i < w.PieceCount; ++i) {
      Piece& p = w.Pieces[i];
      const int steps = p.Nodes - 1;
      if (p.Elements > steps) p.Elements = steps + static_cast<int>((p.Elements - steps) * share);
      total += p.Elements;
    }
    if (total > kMaxElements) return Fail(b, BendingFault::NoShell);
  }

  w.Young = young;
  w.Nu = nu;
  int point = 0, slot = 0;
  for (int i = 0; i < w.PieceCount; ++i) {
    Prepare(w.Pieces[i]);
    if (!w.Pieces[i].Arc) PrepareStraight(w.Pieces[i], w.Straight[i]);
    w.Pieces[i].FirstPoint = point;
    w.Pieces[i].Slot = slot;
    point += w.Pieces[i].Elements;
    slot += w.Pieces[i].Elements + 1;
  }
  w.PointCount = point + 1;
  for (int q = 0; q < w.PointCount; ++q) w.Joint[q] = false;
  for (int i = 1; i < w.PieceCount; ++i) w.Joint[w.Pieces[i].FirstPoint] = true;
  int dof = 0;
  for (int q = 0; q < w.PointCount; ++q) {
    w.Base[q] = dof;
    dof += w.Joint[q] ? 5 : 4;
  }
  w.DofCount = dof;
  b.ElementCount = total;

  w.Young = young;
  w.Nu = nu;
  w.P0 = m.InternalPressure;
  w.Gamma = 1e-6 * static_cast<double>(m.LiquidDensity) * m.Gravity * m.Overload;
  w.Level = m.LiquidLevel;
  w.WeightPerThickness = 1e-6 * static_cast<double>(m.WallDensity) * m.Gravity * m.Overload;
  return BendingFault::None;
}

// ---------------------------------------------------------------------------
// 2. One element

// Element j of piece p: its eight unknowns in the order ur, uz, ε1, χ at its
// start, then at its end.
void ElementDofs(const Piece& p, int j, int dofs[8]) {
  const int a = p.FirstPoint + j, b = a + 1;
  dofs[0] = w.Base[a];
  dofs[1] = w.Base[a] + 1;
  dofs[2] = w.Base[a] + 3 + (w.Joint[a] ? 1 : 0);  // the ε1 after a joint
  dofs[3] = w.Base[a] + 2;
  dofs[4] = w.Base[b];
  dofs[5] = w.Base[b] + 1;
  dofs[6] = w.Base[b] + 3;  // the ε1 before a joint
  dofs[7] = w.Base[b] + 2;
}

double PressureAt(double z) { return w.P0 + w.Gamma * std::max(0.0, w.Level - z); }

// Element j of piece p: its length and curvature, the frames at its two
// ends and at its three Gauss points.
struct ElementGeometry {
  double U0 = 0, U1 = 0;  // its ends as fractions of the piece
  double H = 0, K = 0;
  Frame A, B, G[kPoints];
};

Frame ArcFrame(const Piece& p, double c, double s) {
  Frame f;
  f.R = p.CentreR + p.Radius * c;
  f.Z = p.CentreZ + p.Radius * s;
  f.Tr = -p.Sigma * s;
  f.Tz = p.Sigma * c;
  return f;
}

ElementGeometry Geometry(const Piece& p, int j) {
  ElementGeometry e;
  e.H = p.H;
  e.K = p.K;
  e.U0 = static_cast<double>(j) / p.Elements;
  e.U1 = static_cast<double>(j + 1) / p.Elements;
  if (!p.Arc) {
    const double u0 = e.U0, u1 = e.U1;
    auto at = [&](double u) {
      Frame f;
      f.R = p.R1 + u * (p.R2 - p.R1);
      f.Z = p.Z1 + u * (p.Z2 - p.Z1);
      f.Tr = p.Tr;
      f.Tz = p.Tz;
      return f;
    };
    e.A = at(u0);
    e.B = at(u1);
    for (int g = 0; g < kPoints; ++g) e.G[g] = at(u0 + kGaussX[g] * (u1 - u0));
    return e;
  }
  const double a = p.A1 + j * p.Da, c = std::cos(a), s = std::sin(a);
  e.A = ArcFrame(p, c, s);
  e.B = ArcFrame(p, c * p.StepCos - s * p.StepSin, s * p.StepCos + c * p.StepSin);
  for (int g = 0; g < kPoints; ++g)
    e.G[g] = ArcFrame(p, c * p.GaussCos[g] - s * p.GaussSin[g], s * p.GaussCos[g] + c * p.GaussSin[g]);
  return e;
}


// Consistent loads of the stretch [x0, x1] of an element (as fractions of
// it), added to f: the pressure along the outward normal and the weight q
// downwards, per unit of mid-surface.
void AddLoads(const Piece& p, const ElementGeometry& e, double x0, double x1, double q, double f[8]) {
  const double vr[8] = {1, 0, e.A.Tr, e.A.Nr(), 1, 0, e.B.Tr, e.B.Nr()};
  const double vz[8] = {0, 1, e.A.Tz, e.A.Nz(), 0, 1, e.B.Tz, e.B.Nz()};
  for (int g = 0; g < kStretch; ++g) {
    const double x = x0 + kGaussX[g] * (x1 - x0);
    const Frame fr = FrameAt(p, e.U0 + x * (e.U1 - e.U0));
    const Hermite hf = HermiteAt(e.H, x);
    const double weight = 2 * kPi * fr.R * e.H * (x1 - x0) * kGaussW[g];
    const double pn = p.Side * PressureAt(fr.Z);
    const double lr = pn * fr.Nr(), lz = pn * fr.Nz() - q;
    for (int i = 0; i < 8; ++i) f[i] += weight * hf.Phi[kFunction[i]] * (vr[i] * lr + vz[i] * lz);
  }
}

// The stiffness of an element of an arc: its frame turns from point to
// point.
void ArcStiffness(const Piece& p, const ElementGeometry& e, double K[8][8]) {
  const double t = p.Thickness, nu = w.Nu;
  const double km = w.Young * t / (1 - nu * nu), kb = km * t * t / 12;
  // K = Σ Bᵀ·C·B over the Gauss points, as Σ x·yᵀ over two strains a
  // point (x the strain of each unknown, y its stress times the weight):
  // each unknown's strains and stresses side by side, for dot products.
  constexpr int kTerms = 2 * kPoints;
  double xs[8][kTerms], ys[8][kTerms];
  const double vr[8] = {1, 0, e.A.Tr, e.A.Nr(), 1, 0, e.B.Tr, e.B.Nr()};
  for (int g = 0; g < kPoints; ++g) {
    const Frame& fr = e.G[g];
    const Hermite& hf = p.Gauss[g];
    const double weight = 2 * kPi * fr.R * e.H * kGaussW[g], inv = 1 / fr.R;
    const double nr = fr.Nr(), nz = fr.Nz();
    // The tangent and normal of each unknown's vector seen from here: the
    // frames are orthonormal, so t·n_a = −n·t_a and n·n_a = t·t_a.
    const double ca = fr.Tr * e.A.Tr + fr.Tz * e.A.Tz, sa = nr * e.A.Tr + nz * e.A.Tz;
    const double cb = fr.Tr * e.B.Tr + fr.Tz * e.B.Tz, sb = nr * e.B.Tr + nz * e.B.Tz;
    const double tv[8] = {fr.Tr, fr.Tz, ca, -sa, fr.Tr, fr.Tz, cb, -sb};
    const double nv[8] = {nr, nz, sa, ca, nr, nz, sb, cb};
    double x1[8], x2[8], y1[8], y2[8];  // two strains of each unknown, and their stresses
    if (g < kStretch) {  // ε1, ε2
      const double a = km * weight;
      for (int i = 0; i < 8; ++i) {
        const int fn = kFunction[i];
        x1[i] = hf.D1[fn] * tv[i];
        x2[i] = hf.Phi[fn] * vr[i] * inv;
      }
      for (int i = 0; i < 8; ++i) {
        y1[i] = a * (x1[i] + nu * x2[i]);
        y2[i] = a * (x2[i] + nu * x1[i]);
      }
    } else {  // κ1, κ2
      const double c = kb * weight, cr = fr.Tr * inv;
      for (int i = 0; i < 8; ++i) {
        const int fn = kFunction[i];
        x1[i] = -(e.K * hf.D1[fn] * tv[i] + hf.D2[fn] * nv[i]);
        x2[i] = -hf.D1[fn] * nv[i] * cr;
      }
      for (int i = 0; i < 8; ++i) {
        y1[i] = c * (x1[i] + nu * x2[i]);
        y2[i] = c * (x2[i] + nu * x1[i]);
      }
    }
    for (int i = 0; i < 8; ++i) {
      xs[i][2 * g] = x1[i], xs[i][2 * g + 1] = x2[i];
      ys[i][2 * g] = y1[i], ys[i][2 * g + 1] = y2[i];
    }
  }
  for (int i = 0; i < 8; ++i)
    for (int j = 0; j <= i; ++j) {
      double even = 0, odd = 0;  // two sums side by side, for the vector unit
      for (int r = 0; r < kTerms; r += 2) {
        even += xs[i][r] * ys[j][r];
        odd += xs[i][r + 1] * ys[j][r + 1];
      }
      K[i][j] = K[j][i] = even + odd;
    }
}

// Stiffness K (8×8) and consistent loads f of an element of piece p.
void ElementMatrices(const Piece& p, const ElementGeometry& e, double K[8][8], double f[8]) {
  const double q = p.Weight ? w.WeightPerThickness * p.Thickness : 0.0;
  // Where the liquid's surface crosses the element, each side's load is
  // integrated on its own.
  const double za = e.A.Z, zb = e.B.Z;
  const bool split = w.Gamma != 0 && (za - w.Level) * (zb - w.Level) < 0;
  for (int i = 0; i < 8; ++i) f[i] = 0;
  if (!p.Arc) {
    const StraightStiffness& k = w.Straight[&p - w.Pieces];
    const double ra = e.A.R, dr = e.B.R - e.A.R;
    double packed[kPacked];
    for (int at = 0; at < kPacked; ++at) packed[at] = ra * k.S0[at] + dr * k.S1[at] + k.S2[at];
    for (int g = 0; g < kPoints; ++g) {
      const double inverse = 1 / e.G[g].R;
      for (int at = 0; at < kPacked; ++at) packed[at] += k.C[g][at] * inverse;
    }
    for (int i = 0, at = 0; i < 8; ++i)
      for (int j = 0; j <= i; ++j, ++at) K[i][j] = K[j][i] = packed[at];
  } else {
    ArcStiffness(p, e, K);
  }
  if (split) {
    const double cut = (w.Level - za) / (zb - za);
    AddLoads(p, e, 0, cut, q, f);
    AddLoads(p, e, cut, 1, q, f);
  } else {
    const double vr[8] = {1, 0, e.A.Tr, e.A.Nr(), 1, 0, e.B.Tr, e.B.Nr()};
    const double vz[8] = {0, 1, e.A.Tz, e.A.Nz(), 0, 1, e.B.Tz, e.B.Nz()};
    for (int g = 0; g < kStretch; ++g) {
      const Frame& fr = e.G[g];
      const double weight = 2 * kPi * fr.R * e.H * kGaussW[g];
      const double pn = p.Side * PressureAt(fr.Z);
      const double lr = weight * pn * fr.Nr(), lz = weight * (pn * fr.Nz() - q);
      for (int i = 0; i < 8; ++i) f[i] += p.Gauss[g].Phi[kFunction[i]] * (vr[i] * lr + vz[i] * lz);
    }
  }
}

// ---------------------------------------------------------------------------
// 3. Assembly, supports and the band solve

double& BandAt(int i, int j) { return w.Band[i * (kBand + 1) + (j - i + kBand)]; }  // j ≤ i

void Assemble() {
  std::fill(w.Band, w.Band + w.DofCount * (kBand + 1), 0.0);
  std::fill(w.Rhs, w.Rhs + w.DofCount, 0.0);
  double K[8][8], f[8];
  int dofs[8];
  for (int pi = 0; pi < w.PieceCount; ++pi) {
    const Piece& p = w.Pieces[pi];
    for (int j = 0; j < p.Elements; ++j) {
      ElementMatrices(p, Geometry(p, j), K, f);
      ElementDofs(p, j, dofs);
      for (int a = 0; a < 8; ++a) {
        w.Rhs[dofs[a]] += f[a];
        for (int c = 0; c <= a; ++c) BandAt(std::max(dofs[a], dofs[c]), std::min(dofs[a], dofs[c])) += K[a][c];
      }
      // The rows the results read: ur, uz and χ at a result node.
      auto keep = [&](EndRows& rows, int at) {
        const int row[3] = {at, at + 1, at + 3};
        for (int i = 0; i < 3; ++i) {
          rows.F[i] = f[row[i]];
          for (int c = 0; c < 8; ++c) rows.K[i][c] = K[row[i]][c];
        }
      };
      keep(w.StartRows[p.FirstPoint + j], 0);
      if (j == p.Elements - 1) keep(w.LastRows[pi], 4);
    }
  }
}

// Holds unknown d at 0: its row and column are cleared and its equation
// reads x = 0 (scaled like its neighbours so the factorisation stays even).
void Hold(int d) {
  const double scale = BandAt(d, d) > 0 ? BandAt(d, d) : 1.0;
  for (int j = std::max(0, d - kBand); j <= d; ++j) BandAt(d, j) = 0;
  for (int i = d; i <= std::min(w.DofCount - 1, d + kBand); ++i) BandAt(i, d) = 0;
  BandAt(d, d) = scale;
  w.Rhs[d] = 0;
}

// One column of the band Cholesky below its pivot: the column's n entries
// scaled by 1 / L(j, j), then the rank-one update of the rows below. The
// count is fixed so that the loops unroll.
template <int N>
void EliminateColumn(double* base, double inv) {
  double column[N + 1];
  for (int i = 1; i <= N; ++i) column[i] = base[kBand * i] *= inv;
  for (int i = 1; i <= N; ++i)
    for (int c = 1; c <= i; ++c) base[kBand * i + c] -= column[i] * column[c];
}

// In place: the band of L with A = L·Lᵀ, column by column (each column's
// update of the rows below it has no chain of dependent products), then
// the solution in Rhs. False when a pivot is not clearly positive: a
// singular or indefinite stiffness. Diag keeps 1 / L(j, j).
bool SolveBand() {
  const int n = w.DofCount;
  for (int j = 0; j < n; ++j) w.Diag[j] = BandAt(j, j);
  // The matrix is block tridiagonal, a block to a point: a column's rows
  // below the next point's block are 0 and stay 0, and so are a row's
  // columns left of the point before.
  for (int q = 0, j = 0; q < w.PointCount; ++q)
    for (const int end = q + 1 < w.PointCount ? w.Base[q + 1] : n; j < end; ++j) {
      w.LastRow[j] = q + 2 < w.PointCount ? w.Base[q + 2] - 1 : n - 1;
      w.FirstColumn[j] = std::max(q > 0 ? w.Base[q - 1] : 0, j - kBand);
    }
  for (int j = 0; j < n; ++j) {
    const double pivot = BandAt(j, j);
    if (!(pivot > 1e-12 * w.Diag[j])) return false;
    const double l = std::sqrt(pivot), inv = 1 / l;
    BandAt(j, j) = l;
    w.Diag[j] = inv;
    // Row j + i, column j + c (c ≤ i) lies at base[kBand·i + c].
    double* base = &BandAt(j, j);
    switch (std::min(w.LastRow[j], j + kBand) - j) {
      case 8: EliminateColumn<8>(base, inv); break;
      case 7: EliminateColumn<7>(base, inv); break;
      case 6: EliminateColumn<6>(base, inv); break;
      case 5: EliminateColumn<5>(base, inv); break;
      case 4: EliminateColumn<4>(base, inv); break;
      case 3: EliminateColumn<3>(base, inv); break;
      case 2: EliminateColumn<2>(base, inv); break;
      case 1: EliminateColumn<1>(base, inv); break;
      default: break;
    }
  }
  for (int i = 0; i < n; ++i) {  // L·y = f
    double sum = w.Rhs[i];
    for (int k = w.FirstColumn[i]; k < i; ++k) sum -= BandAt(i, k) * w.Rhs[k];
    w.Rhs[i] = sum * w.Diag[i];
  }
  for (int i = n - 1; i >= 0; --i) {  // Lᵀ·x = y, row i of L updating the rows above
    const double x = w.Rhs[i] *= w.Diag[i];
    for (int k = w.FirstColumn[i]; k < i; ++k) w.Rhs[k] -= BandAt(i, k) * x;
  }
  return true;
}

// ---------------------------------------------------------------------------
// 4. Results at the nodes

// The results at element end i (0 .. Elements) of piece pi, from the end
// forces (K·q − f) of the element that starts there (at the last end, of
// the element that ends there).
void EndResults(int pi, int i) {
  const Piece& p = w.Pieces[pi];
  const bool atStart = i < p.Elements;
  const int e = atStart ? i : i - 1, slot = p.Slot + i;
  const EndRows& rows = atStart ? w.StartRows[p.FirstPoint + e] : w.LastRows[pi];
  int dofs[8];
  ElementDofs(p, e, dofs);
  double F[3];
  for (int r = 0; r < 3; ++r) {
    F[r] = -rows.F[r];
    for (int c = 0; c < 8; ++c) F[r] += rows.K[r][c] * w.Rhs[dofs[c]];
  }
  const int at = atStart ? 0 : 4;
  const double ur = w.Rhs[dofs[at]], uz = w.Rhs[dofs[at + 1]], chi = w.Rhs[dofs[at + 3]];
  const Frame fr = FrameAt(p, static_cast<double>(i) / p.Elements);
  w.EndUr[slot] = ur;
  w.EndUz[slot] = uz;
  w.EndT1[slot] = w.EndT2[slot] = w.EndM1[slot] = w.EndM2[slot] = w.EndQ[slot] = 0;
  if (OnAxis(fr.R, p.Thickness)) return;  // a pole: from its neighbours, below
  // The force across the parallel that the wall beyond exerts on the wall
  // before it, per unit of circumference, and the meridional moment.
  const double ring = 2 * kPi * fr.R, sign = atStart ? -1 : 1;
  const double hr = sign * F[0] / ring, vz = sign * F[1] / ring;
  const double m1 = -sign * F[2] / ring;
  const double t1 = hr * fr.Tr + vz * fr.Tz, shear = hr * fr.Nr() + vz * fr.Nz();
  const double t = p.Thickness, nu = w.Nu, young = w.Young;
  const double e2 = ur / fr.R, k2 = -chi * fr.Tr / fr.R;
  w.EndT1[slot] = t1;
  w.EndT2[slot] = nu * t1 + young * t * e2;
  w.EndM1[slot] = p.Side * m1;
  w.EndM2[slot] = p.Side * (nu * m1 + young * t * t * t / 12 * k2);
  w.EndQ[slot] = p.Side * shear;
}

// A pole at end i (0 or Elements) of piece pi: the forces and moments on
// the parabola A + B·s² through the two nearest ends, alike in both
// directions; no shear.
void PoleResults(int pi, int i) {
  const Piece& p = w.Pieces[pi];
  const int dir = i == 0 ? 1 : -1, slot = p.Slot + i;
  const int s1 = slot + dir, s2 = slot + 2 * dir;
  const bool second = p.Elements >= 3 || (p.Elements == 2 && !OnAxis(i == 0 ? p.R2 : p.R1, p.Thickness));
  auto at0 = [&](const double* v) { return second ? (4 * v[s1] - v[s2]) / 3 : v[s1]; };
  const double t = (at0(w.EndT1) + at0(w.EndT2)) / 2, m = (at0(w.EndM1) + at0(w.EndM2)) / 2;
  w.EndT1[slot] = w.EndT2[slot] = t;
  w.EndM1[slot] = w.EndM2[slot] = m;
  w.EndQ[slot] = 0;
}

// The entry of result node j (0 .. Nodes − 1 along the walk) of piece p.
int Entry(const Piece& p, const ShellSolution& s, const BendingSolution& b, int segs, int j) {
  if (p.Segment == 0) return LidFirstNode(b, 0) + j;
  if (p.Segment == segs + 1) return LidFirstNode(b, 1) + (p.Nodes - 1 - j);
  return s.SegmentFirstNode[p.Segment] + 1 + j;
}

// Result node j of piece pi: at an element end, that end's results; between
// ends, the cubic through the four nearest ends of the piece.
void NodeResults(int pi, const ShellSolution& s, BendingSolution& b, int segs, int j) {
  const Piece& p = w.Pieces[pi];
  const int steps = p.Nodes - 1, n = p.Elements;
  const long scaled = static_cast<long>(j) * n;
  double weights[4] = {1, 0, 0, 0};
  int first = static_cast<int>(scaled / steps), count = 1;
  if (scaled % steps != 0) {
    const double x = static_cast<double>(scaled) / steps;  // in element lengths
    count = std::min(4, n + 1);
    first = std::clamp(static_cast<int>(x) - 1, 0, n + 1 - count);
    for (int a = 0; a < count; ++a) {
      weights[a] = 1;
      for (int c = 0; c < count; ++c)
        if (c != a) weights[a] *= (x - (first + c)) / static_cast<double>(a - c);
    }
  }
  auto value = [&](const double* v) {
    double sum = 0;
    for (int a = 0; a < count; ++a) sum += weights[a] * v[p.Slot + first + a];
    return sum;
  };
  const int k = Entry(p, s, b, segs, j);
  const double t = p.Thickness;
  const double t1 = value(w.EndT1), t2 = value(w.EndT2), m1 = value(w.EndM1), m2 = value(w.EndM2);
  b.Thickness[k] = static_cast<float>(t);
  b.MeridionalForce[k] = static_cast<float>(t1);
  b.HoopForce[k] = static_cast<float>(t2);
  b.MeridionalMoment[k] = static_cast<float>(m1);
  b.HoopMoment[k] = static_cast<float>(m2);
  b.TransverseShear[k] = static_cast<float>(value(w.EndQ));
  b.RadialDisplacement[k] = static_cast<float>(value(w.EndUr));
  b.AxialDisplacement[k] = static_cast<float>(value(w.EndUz));
  const double b1 = 6 * m1 / (t * t), b2 = 6 * m2 / (t * t);
  const double s1o = t1 / t + b1, s1i = t1 / t - b1, s2o = t2 / t + b2, s2i = t2 / t - b2;
  b.MeridionalStressOuter[k] = static_cast<float>(s1o);
  b.MeridionalStressInner[k] = static_cast<float>(s1i);
  b.HoopStressOuter[k] = static_cast<float>(s2o);
  b.HoopStressInner[k] = static_cast<float>(s2i);
  // Where it is: a segment's node is the membrane solution's; a lid's lies
  // on the lid at its share of the radius.
  if (p.Segment >= 1 && p.Segment <= segs) {
    b.NodeR[k] = s.NodeR[k];
    b.NodeZ[k] = s.NodeZ[k];
    b.NormalR[k] = s.NormalR[k];
    b.NormalZ[k] = s.NormalZ[k];
  } else {
    const Frame fr = FrameAt(p, static_cast<double>(j) / steps);
    b.NodeR[k] = static_cast<float>(fr.R);
    b.NodeZ[k] = static_cast<float>(fr.Z);
    b.NormalR[k] = static_cast<float>(fr.Nr());
    b.NormalZ[k] = static_cast<float>(fr.Nz());
  }
  b.Pressure[k] = static_cast<float>(PressureAt(b.NodeZ[k]));
}

}  // namespace

// ---------------------------------------------------------------------------
// 5. The solve, messages, peaks

int LidNodeCount(double radius, double step) {
  double x = radius / step;
  if (!std::isfinite(x) || x < 2) return 3;
  if (x > kLidNodes - 1) return kLidNodes;
  return std::max(3, static_cast<int>(std::lround(x)) + 1);
}

void SolveBending(const ShellModel& m, const ShellSolution& s, BendingSolution& b) {
  b.Fault = BendingFault::None;
  b.FaultSegment = 0;
  b.NodeCount = 0;
  b.LidNodeCount[0] = b.LidNodeCount[1] = 0;
  b.ElementCount = 0;
  if (BuildMesh(m, s, b) != BendingFault::None) return;
  const int segs = SegmentCount(m);
  b.NodeCount = s.NodeCount;
  for (int i = 0; i < w.PieceCount; ++i) {
    const Piece& p = w.Pieces[i];
    if (p.Segment == 0 || p.Segment == segs + 1) {
      const int lid = p.Segment == 0 ? 0 : 1;
      b.LidNodeCount[lid] = p.Nodes;
      b.LidThickness[lid] = static_cast<float>(p.Thickness);
    }
  }

  Assemble();
  // The support section is held axially; a point on the axis radially, and
  // at an end of the meridian (a pole) its rotation too.
  const int support = std::clamp(m.SupportSection, 1, segs + 1);
  for (int i = 0; i < w.PieceCount; ++i) {
    const Piece& p = w.Pieces[i];
    const int ends[2] = {p.FirstPoint, p.FirstPoint + p.Elements};
    if (p.Segment == support) Hold(w.Base[ends[0]] + 1);
    if (p.Segment == segs && support == segs + 1) Hold(w.Base[ends[1]] + 1);
    for (int end = 0; end < 2; ++end) {
      const int q = ends[end];
      if (!OnAxis(end == 0 ? p.R1 : p.R2, p.Thickness) || (end == 0 && i > 0)) continue;
      Hold(w.Base[q]);
      if (q == 0 || q == w.PointCount - 1) Hold(w.Base[q] + 2);
    }
  }
  if (!SolveBand()) {
    Fail(b, BendingFault::Singular);
    b.NodeCount = b.LidNodeCount[0] = b.LidNodeCount[1] = 0;
    return;
  }

  for (int i = 0; i < w.PieceCount; ++i) {
    const Piece& p = w.Pieces[i];
    for (int e = 0; e <= p.Elements; ++e) EndResults(i, e);
    if (OnAxis(p.R1, p.Thickness)) PoleResults(i, 0);
    if (OnAxis(p.R2, p.Thickness)) PoleResults(i, p.Elements);
    for (int j = 0; j < p.Nodes; ++j) NodeResults(i, s, b, segs, j);
  }

  // Nothing that is not a finite number leaves the solver.
  const int count = BendingEntryCount(b);
  const float* columns[] = {b.MeridionalForce, b.HoopForce, b.MeridionalMoment, b.HoopMoment,
                            b.TransverseShear, b.MeridionalStressInner, b.MeridionalStressOuter,
                            b.HoopStressInner, b.HoopStressOuter, b.RadialDisplacement,
                            b.AxialDisplacement};
  for (const float* c : columns)
    for (int k = 1; k <= count; ++k)
      if (!std::isfinite(c[k])) {
        Fail(b, BendingFault::NotFinite);
        b.NodeCount = b.LidNodeCount[0] = b.LidNodeCount[1] = 0;
        return;
      }
}

std::string BendingFaultText(const BendingSolution& b) {
  const std::string n = std::to_string(b.FaultSegment);
  std::string ru, en;
  switch (b.Fault) {
    case BendingFault::None: return std::string();
    case BendingFault::NoShell: ru = "нет участков"_sc, en = "the shell has no segment"; break;
    case BendingFault::Thickness:
      ru = "толщина участка "_sc + n + " не больше 0"_sc;
      en = "the wall of segment " + n + " is not thicker than 0";
      break;
    case BendingFault::NoLength:
      ru = "участок "_sc + n + " без длины"_sc, en = "segment " + n + " has no length";
      break;
    case BendingFault::NegativeRadius:
      ru = "участок "_sc + n + " заходит за ось"_sc, en = "segment " + n + " crosses the axis";
      break;
    case BendingFault::OnAxis:
      ru = "участок "_sc + n + " лежит на оси"_sc, en = "segment " + n + " lies on the axis";
      break;
    case BendingFault::Material:
      ru = "материал не упругий"_sc, en = "the wall's material is not elastic";
      break;
    case BendingFault::Loads: ru = "нагрузка не число"_sc, en = "a load is not a finite number"; break;
    case BendingFault::Singular: ru = "жесткость вырождена"_sc, en = "the stiffness is singular"; break;
    case BendingFault::NotFinite:
      ru = "результат не число"_sc, en = "a result is not a finite number";
      break;
  }
  return " Изгиб не рассчитан: "_sc + ru + "; Bending not computed: " + en;
}

int EntrySegment(const ShellModel& m, const ShellSolution& s, const BendingSolution& b, int k) {
  const int segs = SegmentCount(m);
  if (k > b.NodeCount) return k < LidFirstNode(b, 1) ? 0 : segs + 1;
  for (int i = 1; i <= segs; ++i)
    if (k <= s.SegmentFirstNode[i] + s.SegmentNodeCount[i]) return i;
  return segs;
}

}  // namespace app
