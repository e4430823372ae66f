// src/exchange/ccx.cpp — the shell as a CalculiX input deck.
//
// The wall is meshed as a solid of revolution: axisymmetric eight-node
// elements (CAX8, r as x and z as y), a few through the thickness and a few
// along each step between two of the solver's nodes, so that the solver's
// nodes are nodes of the mesh on its mid-surface. The model carries what the
// membrane model carries: the gas and liquid pressure (the liquid's with the
// overload) on the mid-surface, so that the wall's thickness does not change
// the pressure's resultants; the wall's weight times the overload; a flat
// lid at an end that stops off the axis, as an axial line load equal to the
// pressure on the lid or as a plate of its own; nodes on the axis held
// radially; the support section held axially.
//
// Index:
//   1. stations: the lines through the wall along the meridian
//   2. checks
//   3. the deck: nodes, elements, material, boundary conditions, loads
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "exchange/exchange.h"

namespace exchange {

CcxShell Ccx;

namespace {

constexpr double kPi = 3.14159265358979323846;

// A line through the wall at a point of the mid-surface: the wall runs from
// (R, Z) − Half·(DirR, DirZ) on the inner surface to (R, Z) + Half·(DirR,
// DirZ) on the outer one. Element corners lie on every other station; the
// stations between hold mid-side nodes only.
struct Station {
  double R = 0, Z = 0;
  double DirR = 0, DirZ = 0;
  double Half = 0;
  int Segment = 0;
};

// A node on the axis: within a thousandth of the wall of it.
bool OnAxis(double r, double t) { return std::fabs(r) <= 1e-3 * t; }

// The station at the fraction u of the step from node k to node k + 1 of
// segment s: on the arc or on the straight line between them.
Station StepStation(const CcxShell& c, int s, int k, double u) {
  const CcxSegment& seg = c.Segment[s];
  Station st;
  st.Segment = s;
  st.Half = seg.Thickness / 2;
  const int j = u < 0.5 ? k : k + 1;  // the node a station at either end stands on
  if (u == 0 || u == 1) {
    st.R = c.NodeR[j];
    st.Z = c.NodeZ[j];
    st.DirR = c.NormalR[j];
    st.DirZ = c.NormalZ[j];
  } else if (!seg.Arc) {
    st.R = c.NodeR[k] + u * (c.NodeR[k + 1] - c.NodeR[k]);
    st.Z = c.NodeZ[k] + u * (c.NodeZ[k + 1] - c.NodeZ[k]);
    st.DirR = c.NormalR[k];
    st.DirZ = c.NormalZ[k];
  } else {
    const double ra = c.NodeR[k] - seg.CentreR, za = c.NodeZ[k] - seg.CentreZ;
    const double rb = c.NodeR[k + 1] - seg.CentreR, zb = c.NodeZ[k + 1] - seg.CentreZ;
    const double a0 = std::atan2(za, ra);
    const double da = std::remainder(std::atan2(zb, rb) - a0, 2 * kPi);
    const double rho0 = std::hypot(ra, za), rho = rho0 + u * (std::hypot(rb, zb) - rho0);
    const double a = a0 + u * da;
    st.R = seg.CentreR + rho * std::cos(a);
    st.Z = seg.CentreZ + rho * std::sin(a);
    // The normal turns with the arc from the one at node k.
    const double turn = u * da, cs = std::cos(turn), sn = std::sin(turn);
    st.DirR = c.NormalR[k] * cs - c.NormalZ[k] * sn;
    st.DirZ = c.NormalR[k] * sn + c.NormalZ[k] * cs;
  }
  return st;
}

// Where segment s − 1 ends and segment s begins, one line through the wall
// serves both: it halves the angle between their normals and is long enough
// for their mean thickness measured square to each (a mitre). A line at a
// fold-back keeps the later normal; the mitre is held to three times the wall.
void JoinStations(Station& before, const Station& after) {
  double br = before.DirR + after.DirR, bz = before.DirZ + after.DirZ;
  const double len = std::hypot(br, bz);  // 2 cos(θ/2)
  const double half = (before.Half + after.Half) / 2;
  Station joined = after;
  if (len > 1e-9) {
    joined.DirR = br / len;
    joined.DirZ = bz / len;
    joined.Half = half / std::max(len / 2, 1.0 / 3);
  } else {
    joined.Half = half;
  }
  before = joined;
}

// Whether end 0 (the first section) or 1 (the last) stops off the axis.
bool HasLid(const CcxShell& c, int end) {
  return end == 0 ? !OnAxis(c.NodeR[1], c.Segment[1].Thickness)
                  : !OnAxis(c.NodeR[c.NodeCount], c.Segment[c.SegmentCount].Thickness);
}

// The stations of the plate that closes end `end`, in the order of the
// meridian: from the axis to the wall at the first section, from the wall
// to the axis at the last. Its nodes are equally spaced on its mid-plane;
// its lines through the wall are vertical and point away from the shell.
void LidStations(const CcxShell& c, int end, std::vector<Station>& out) {
  const int nodes = c.LidNodes[end], perStep = 2 * c.ElementsPerStep;
  const int k = end == 0 ? 1 : c.NodeCount;
  const double r = c.NodeR[k], z = c.NodeZ[k];
  const int count = (nodes - 1) * perStep;
  for (int i = 0; i <= count; ++i) {
    Station st;
    const double u = static_cast<double>(i) / count;
    st.R = r * (end == 0 ? u : 1 - u);
    st.Z = z;
    st.DirZ = end == 0 ? -1 : 1;
    st.Half = c.Segment[end == 0 ? 1 : c.SegmentCount].Thickness / 2;
    st.Segment = end == 0 ? 0 : c.SegmentCount + 1;
    if (end == 1 && i == 0) {
      JoinStations(out.back(), st);
    } else {
      out.push_back(st);
    }
  }
}

// A station on the axis (a pole, an apex): its line through the wall runs
// along the axis, where the wall's two surfaces cross it.
void AxisStation(Station& st) {
  const double nz = st.DirZ;
  st.R = 0;
  st.DirR = 0;
  st.DirZ = nz < 0 ? -1 : 1;
  st.Half /= std::max(std::fabs(nz), 0.25);
}

// From station `end` to the corner station `off` in the direction `inward`,
// each line the blend of those two lines by the distance along the
// meridian: their surface points then lie on the straight line between
// theirs, and no line crosses another.
void LeanBetween(std::vector<Station>& st, int end, int off, int inward) {
  const double reach = std::hypot(st[off].R - st[end].R, st[off].Z - st[end].Z);
  for (int j = end + inward; j != off; j += inward) {
    const double w = std::hypot(st[j].R - st[end].R, st[j].Z - st[end].Z) / reach;
    st[j].DirR = (1 - w) * st[end].Half * st[end].DirR + w * st[off].Half * st[off].DirR;
    st[j].DirZ = (1 - w) * st[end].Half * st[end].DirZ + w * st[off].Half * st[off].DirZ;
    st[j].Half = 1;
  }
}

// Near an apex (an end on the axis that the wall meets at a slant) the lines
// square to the wall would cross the axis: up to the first corner station
// whose line stays off the axis they lean from the end's.
void LeanTowardsApex(std::vector<Station>& st, int end, int inward) {
  const int n = static_cast<int>(st.size());
  if (n < 3 || st[end].R != 0) return;
  auto crosses = [](const Station& s) { return s.R - s.Half * std::fabs(s.DirR) < 0; };
  int off = end + 2 * inward;
  while (off >= 0 && off < n && crosses(st[off])) off += 2 * inward;
  if (off < 0 || off >= n || off == end + 2 * inward) return;
  LeanBetween(st, end, off, inward);
}

// Beside a mitre (where two segments, or a segment and a lid, meet at an
// angle) the lines square to the wall would cross the mitre where the steps
// are short against the wall: the mitre reaches along the wall by its half
// length times its slant to the line, and a corner station's line is clear
// of it beyond twice that. The lines up to the first clear one lean from
// the mitre's.
void LeanTowardsJoint(std::vector<Station>& st, int joint, int inward) {
  const int n = static_cast<int>(st.size());
  const Station& m = st[joint];
  auto clear = [&](int k) {
    const double tr = st[k].R - m.R, tz = st[k].Z - m.Z, d = std::hypot(tr, tz);
    return d > 0 && d >= 2 * m.Half * std::fabs(m.DirR * tr + m.DirZ * tz) / d;
  };
  int off = joint + 2 * inward;
  while (off > 0 && off < n - 1 && !clear(off)) off += 2 * inward;
  if (off <= 0 || off >= n - 1 || off == joint + 2 * inward) return;
  LeanBetween(st, joint, off, inward);
}

std::vector<Station> Stations(const CcxShell& c) {
  std::vector<Station> out;
  std::vector<int> joints;  // the stations where two parts meet
  const int perStep = 2 * c.ElementsPerStep;  // corners and mid-sides
  if (c.LidsAsPlates && HasLid(c, 0)) LidStations(c, 0, out);
  for (int s = 1; s <= c.SegmentCount; ++s) {
    const CcxSegment& seg = c.Segment[s];
    for (int k = seg.FirstNode + 1; k < seg.FirstNode + seg.NodeCount; ++k) {
      for (int i = 0; i < perStep; ++i) {
        Station st = StepStation(c, s, k, static_cast<double>(i) / perStep);
        if (i == 0 && k == seg.FirstNode + 1 && !out.empty()) {
          JoinStations(out.back(), st);
          joints.push_back(static_cast<int>(out.size()) - 1);
        } else {
          out.push_back(st);
        }
      }
    }
    out.push_back(StepStation(c, s, seg.FirstNode + seg.NodeCount - 1, 1));
  }
  if (c.LidsAsPlates && HasLid(c, 1)) {
    joints.push_back(static_cast<int>(out.size()) - 1);
    LidStations(c, 1, out);
  }
  for (Station& st : out)
    if (OnAxis(st.R, 2 * st.Half)) AxisStation(st);
  LeanTowardsApex(out, 0, 1);
  LeanTowardsApex(out, static_cast<int>(out.size()) - 1, -1);
  for (int j : joints) {
    LeanTowardsJoint(out, j, -1);
    LeanTowardsJoint(out, j, 1);
  }
  return out;
}

}  // namespace

// ---------------------------------------------------------------------------
// 2. Checks

std::string CcxFault(const CcxShell& c) {
  if (c.SegmentCount < 1 || c.SegmentCount > kCcxMaxSegments || c.NodeCount < 2 ||
      c.NodeCount > kCcxMaxNodes)
    return "the shell has no segment";
  if (!(c.ElementsThroughWall >= 2 && c.ElementsThroughWall % 2 == 0 && c.ElementsPerStep >= 1))
    return "the mesh needs an even number of elements through the wall";

  for (int s = 1; s <= c.SegmentCount; ++s) {
    const CcxSegment& seg = c.Segment[s];
    if (!(seg.Thickness > 0 && std::isfinite(seg.Thickness)))
      return "the wall of segment " + std::to_string(s) + " is not thicker than 0";
    if (seg.NodeCount < 2 || seg.FirstNode < 0 || seg.FirstNode + seg.NodeCount > c.NodeCount ||
        !std::isfinite(seg.CentreR) || !std::isfinite(seg.CentreZ))
      return "segment " + std::to_string(s) + " has no nodes";
    for (int k = seg.FirstNode + 1; k <= seg.FirstNode + seg.NodeCount; ++k) {
      if (!std::isfinite(c.NodeR[k]) || !std::isfinite(c.NodeZ[k]) || !std::isfinite(c.NormalR[k]) ||
          !std::isfinite(c.NormalZ[k]))
        return "segment " + std::to_string(s) + " has a node that is not a finite point";
      if (c.NodeR[k] < -1e-3 * seg.Thickness)
        return "segment " + std::to_string(s) + " has a node at a negative radius";
      if (k > seg.FirstNode + 1 &&
          !(std::hypot(c.NodeR[k] - c.NodeR[k - 1], c.NodeZ[k] - c.NodeZ[k - 1]) > 1e-6 * seg.Thickness))
        return "segment " + std::to_string(s) + " has no length";
    }
  }
  if (!(c.YoungModulus > 0 && std::isfinite(c.YoungModulus) && c.PoissonRatio > -1 &&
        c.PoissonRatio < 0.5))
    return "the wall's material is not elastic";
  const double loads[] = {c.WallDensity, c.InternalPressure, c.LiquidDensity, c.LiquidLevel,
                          c.Gravity, c.Overload};
  for (double v : loads)
    if (!std::isfinite(v)) return "a load is not a finite number";
  if (c.LidsAsPlates && ((HasLid(c, 0) && c.LidNodes[0] < 2) || (HasLid(c, 1) && c.LidNodes[1] < 2)))
    return "a lid has no nodes";
  return "";
}

// ---------------------------------------------------------------------------
// 3. The deck

namespace {

// Numbers in the deck: nine significant digits, never "-0".
std::string Real(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.9g", v + 0.0);
  return buf;
}

std::string Int(long v) { return std::to_string(v); }

// The pressure on the mid-surface between heights z1 and z2, MPa: the gas
// pressure and the mean of the liquid's over that stretch.
double MeanPressure(const CcxShell& c, double z1, double z2) {
  const double gamma = 1e-6 * c.LiquidDensity * c.Gravity * c.Overload;  // N/mm³
  const double h = c.LiquidLevel;
  double lo = std::min(z1, z2), hi = std::max(z1, z2), depth;
  if (hi <= h) {
    depth = h - (lo + hi) / 2;
  } else if (lo >= h) {
    depth = 0;
  } else {
    depth = (h - lo) * (h - lo) / (2 * (hi - lo));  // the wet part's mean depth times its share
  }
  return c.InternalPressure + gamma * depth;
}

}  // namespace

void ExportCCX(ExportFile& file) {
  const CcxShell& c = Ccx;
  if (!CcxFault(c).empty()) return;  // nothing to mesh: the caller says why
  const std::vector<Station> st = Stations(c);
  const int layers = c.ElementsThroughWall, points = 2 * layers + 1;
  const int columns = static_cast<int>(st.size() - 1) / 2;  // elements along the meridian
  // Plates at the ends: their elements along the radius, before the wall's
  // and after them.
  const bool plate[2] = {c.LidsAsPlates && HasLid(c, 0), c.LidsAsPlates && HasLid(c, 1)};
  const int lidColumns[2] = {plate[0] ? (c.LidNodes[0] - 1) * c.ElementsPerStep : 0,
                             plate[1] ? (c.LidNodes[1] - 1) * c.ElementsPerStep : 0};
  const int wallFirst = 2 * lidColumns[0];  // the wall's first station
  const int wallLast = static_cast<int>(st.size()) - 1 - 2 * lidColumns[1];
  auto node = [&](int station, int q) { return static_cast<long>(station) * points + q + 1; };
  auto line = [&](const std::string& text) { WriteExportLine(file, text); };

  line("** Shell of revolution written by Brelmora: the wall as axisymmetric CAX8 elements");
  line("** Units: mm, N, MPa, t/mm3, s. x is the radius r, y the height z.");
  line("** Mesh: " + Int(layers) + " elements through the wall, " + Int(c.ElementsPerStep) +
       " along each step between two nodes of the node table.");
  line("** Node " + Int(points) + "*(j-1)+i: station j along the meridian from the first section,");
  line("** point i through the wall from the inner surface (i = " + Int(layers + 1) +
       " on the mid-surface).");
  line("** Node k of segment s of the node table is on station " + Int(2 * c.ElementsPerStep) +
       "*(k-s)+" + Int(wallFirst + 1) + ".");
  if (plate[0])
    line("** Node j of the lid at section 1 (j = 1 at the axis) is on station " +
         Int(2 * c.ElementsPerStep) + "*(j-1)+1.");
  if (plate[1])
    line("** Node j of the lid at section " + Int(c.SegmentCount + 1) + " (j = 1 at the axis) is on station " +
         Int(static_cast<long>(st.size())) + "-" + Int(2 * c.ElementsPerStep) + "*(j-1).");
  line("** Loads as the membrane model takes them: pressure on the mid-surface, wall weight,");
  if (c.LidsAsPlates)
    line("** an end off the axis closed by a weightless flat plate, the pressure on its mid-plane.");
  else
    line("** an end off the axis closed by a weightless flat lid, its pressure force a line load.");

  // Nodes; those on the axis are held radially. A corner station's points
  // lie on its line through the wall; a mid-side point lies halfway between
  // its two corners, moved with the mid-surface where that bows (an arc), so
  // that no element edge folds however its corners' lines lean.
  auto corner = [&](int j, int q, double& r, double& z) {
    const double s = static_cast<double>(q - layers) / layers;
    r = st[j].R + s * st[j].Half * st[j].DirR;
    z = st[j].Z + s * st[j].Half * st[j].DirZ;
  };
  line("*NODE, NSET=NALL");
  std::vector<long> axis;
  for (int j = 0; j < static_cast<int>(st.size()); ++j) {
    for (int q = 0; q < points; ++q) {
      double r, z;
      if (j % 2 == 0) {
        corner(j, q, r, z);
      } else if (q % 2 == 0) {
        double ra, za, rb, zb;
        corner(j - 1, q, ra, za);
        corner(j + 1, q, rb, zb);
        r = (ra + rb) / 2 + st[j].R - (st[j - 1].R + st[j + 1].R) / 2;
        z = (za + zb) / 2 + st[j].Z - (st[j - 1].Z + st[j + 1].Z) / 2;
      } else {
        continue;
      }
      if (r <= 1e-9 * st[j].Half) {
        r = 0;
        axis.push_back(node(j, q));
      }
      line(Int(node(j, q)) + ", " + Real(r) + ", " + Real(z));
    }
  }

  // Elements, column by column along the meridian, inner layer first; the
  // corners run inner-outer-outer-inner, counter-clockwise in the r-z plane.
  line("*ELEMENT, TYPE=CAX8, ELSET=EALL");
  for (int e = 0; e < columns; ++e) {
    const int a = 2 * e, m = a + 1, b = a + 2;
    for (int l = 0; l < layers; ++l) {
      const int q0 = 2 * l, q1 = q0 + 1, q2 = q0 + 2;
      line(Int(static_cast<long>(e) * layers + l + 1) + ", " + Int(node(a, q0)) + ", " +
           Int(node(a, q2)) + ", " + Int(node(b, q2)) + ", " + Int(node(b, q0)) + ", " +
           Int(node(a, q1)) + ", " + Int(node(m, q2)) + ", " + Int(node(b, q1)) + ", " +
           Int(node(m, q0)));
    }
  }
  auto elset = [&](const std::string& name, int first, int count) {
    line("*ELSET, ELSET=" + name + ", GENERATE");
    line(Int(static_cast<long>(first) * layers + 1) + ", " + Int(static_cast<long>(first + count) * layers) +
         ", 1");
  };
  int e = 0;
  if (plate[0]) elset("LID1", e, lidColumns[0]);
  e += lidColumns[0];
  for (int s = 1; s <= c.SegmentCount; ++s) {
    const int count = (c.Segment[s].NodeCount - 1) * c.ElementsPerStep;
    elset("SEGMENT" + Int(s), e, count);
    e += count;
  }
  if (c.LidsAsPlates) elset("WALL", lidColumns[0], e - lidColumns[0]);
  if (plate[1]) elset("LID" + Int(c.SegmentCount + 1), e, lidColumns[1]);

  line("*MATERIAL, NAME=WALL");
  line("*ELASTIC");
  line(Real(c.YoungModulus) + ", " + Real(c.PoissonRatio));
  line("*DENSITY");
  line(Real(c.WallDensity * 1e-9));
  line("*SOLID SECTION, ELSET=EALL, MATERIAL=WALL");

  // The support: the station of the support section, held axially at its
  // mid-wall node or in the mean over the section.
  int support = std::clamp(c.SupportSection, 1, c.SegmentCount + 1);
  const int js = support > c.SegmentCount
                     ? wallLast
                     : wallFirst + 2 * c.ElementsPerStep * (c.Segment[support].FirstNode - (support - 1));
  if (!axis.empty()) {
    line("*NSET, NSET=NAXIS");
    for (long n : axis) line(Int(n));
  }
  line("*NSET, NSET=NSUPPORT");
  line(Int(node(js, layers)));
  if (c.SupportHoldsMeanOfSection) {
    // Σ w·uz = 0 over the section, w the share of each node in the ring's
    // area (Simpson's rule through each layer, times the radius).
    line("*EQUATION");
    line(Int(points));
    // The mid-wall node comes first: its degree of freedom is the one the
    // equation removes, and its weight is never 0.
    std::string terms;
    for (int i = 0; i < points; ++i) {
      const int q = i == 0 ? layers : i <= layers ? i - 1 : i;
      const double simpson = (q == 0 || q == points - 1) ? 1 : q % 2 ? 4 : 2;
      const double r = st[js].R + (q - layers) * st[js].Half * st[js].DirR / layers;
      const double w = simpson * (st[js].R > 0 ? std::max(r, 0.0) : 1.0);
      terms += (terms.empty() ? "" : ", ") + Int(node(js, q)) + ", 2, " + Real(w);
      if (i % 4 == 3 || i == points - 1) {
        line(terms);
        terms.clear();
      }
    }
  }
  line("*STEP");
  line("*STATIC");
  line("*BOUNDARY");
  if (!axis.empty()) line("NAXIS, 1, 1");
  if (!c.SupportHoldsMeanOfSection) line("NSUPPORT, 2, 2");

  // The wall's weight times the overload (the lids weigh nothing).
  line("*DLOAD");
  line(std::string(c.LidsAsPlates ? "WALL" : "EALL") + ", GRAV, " + Real(c.Gravity * 1000 * c.Overload) +
       ", 0., -1., 0.");

  // The pressure acts on the mid-surface: on the inner face (face 4) of the
  // first layer outside it, pushing it outward.
  line("*DLOAD");
  for (int e = 0; e < columns; ++e) {
    const double p = MeanPressure(c, st[2 * e].Z, st[2 * e + 2].Z);
    line(Int(static_cast<long>(e) * layers + layers / 2 + 1) + ", P4, " + Real(p));
  }

  // Flat lids at ends off the axis: the pressure on the lid pulls the end
  // axially away from the shell, spread over the end's nodes by Simpson's
  // rule.
  const bool lids[2] = {HasLid(c, 0) && !c.LidsAsPlates, HasLid(c, 1) && !c.LidsAsPlates};
  if (lids[0] || lids[1]) line("*CLOAD");
  for (int end = 0; end < 2; ++end) {
    if (!lids[end]) continue;
    const int j = end == 0 ? 0 : wallLast;
    const double r = end == 0 ? c.NodeR[1] : c.NodeR[c.NodeCount];
    const double z = end == 0 ? c.NodeZ[1] : c.NodeZ[c.NodeCount];
    const double force = kPi * r * r * MeanPressure(c, z, z) * (end == 0 ? -1 : 1);
    for (int q = 0; q < points; ++q) {
      const double share = ((q == 0 || q == points - 1) ? 1.0 : q % 2 ? 4.0 : 2.0) / (6.0 * layers);
      line(Int(node(j, q)) + ", 2, " + Real(force * share));
    }
  }

  line("*NODE FILE");
  line("U");
  line("*EL FILE");
  line("S");
  line("*END STEP");
  FlushExportLines(file);
}

}  // namespace exchange
