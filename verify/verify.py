#!/usr/bin/env python3
"""Brelmora against CalculiX: the membrane results of a set of shells beside
an axisymmetric solid model of the same shells, and the bending analysis'
surface stresses beside a finer solid model of another set.

For each case the script writes the shell's data file, takes Brelmora's
results at every node (--nodes), writes the CalculiX model of the same shell
(--export ccx), runs ccx, and compares the through-thickness mean stresses
and the mid-wall displacements node by node. Where the wall bends (near
junctions, kinks, supports and lids) membrane theory does not hold, so the
nodes within a few decay lengths of those places are left out.

It writes a report in Markdown and exits with 1 when a difference passes its
limit, when a program fails, or when ccx warns. Standard library only.

    verify.py --brelmora build/brelmora --work build/verify --report docs/verification.md

Adding a case is adding a row to CASES; adding a quantity is adding a row to
QUANTITIES (a function of the node table's row and of the CalculiX results at
the node's line through the wall). The bending analysis has its own tables:
BENDING_CASES and SURFACE_QUANTITIES.
"""

import argparse
import csv
import io
import math
import os
import re
import subprocess
import sys
import time

# ---------------------------------------------------------------------------
# The shells


class Case:
    """One shell. sections: (r, z, arc radius, wall thickness, kind of the
    segment that starts there) per section; the rest as the data file holds it.
    closed_form(case, quantity, segment, r, z, normal) gives membrane
    theory's value where the case has one (None elsewhere). extra_exclusions: (section, distance in
    mm) for places the general rule does not see, such as a cone's apex."""

    def __init__(self, key, title, about, sections, pressure=0.0, liquid_density=0.0,
                 liquid_level=-1e6, overload=1.0, support=1, step=10.0, young=210000.0,
                 wall_density=0.0, closed_form=None, extra_exclusions=()):
        self.key, self.title, self.about = key, title, about
        self.sections = sections
        self.pressure, self.liquid_density, self.liquid_level = pressure, liquid_density, liquid_level
        self.overload, self.support, self.step = overload, support, step
        self.young, self.wall_density = young, wall_density
        self.closed_form = closed_form
        self.extra_exclusions = extra_exclusions

    def data_file(self):
        """The shell as a data file (.spw): every field in the file's order."""
        out = ["", "0", "%3d Число узлов" % len(self.sections)]
        for (r, z, arc, t, kind) in self.sections:
            out += ["%.6f %.6f %.6f X,Y,R, мм" % (r, z, arc), "%.6f 0 0 D,м,  PY,Н/м" % t,
                    "%3d JR" % kind]
        out += ["%.9g Давление, МПа" % self.pressure,
                "%.9g Плотность жидкости, г/куб.см" % self.liquid_density,
                "%.9g Уровень жидкости, мм" % self.liquid_level,
                "%.9g Перегрузка " % self.overload, "%3d Узел опоры" % self.support,
                "%.9g Шаг, мм " % self.step, "%.9g Модуль упругости, МПа" % self.young,
                "%.9g Плотность, г/куб.см" % self.wall_density,
                "0.25 Масштаб", "2.7 Высота шрифта", "100 Масштаб давлений", "0.005 Масштаб сил",
                "2.0001 Масштаб усилий", "5.0001 Масштаб напряжений", "5000 Масштаб перемещений",
                "1000 Масштаб перемещений", "50 -90 33 XDRA", "20 -175 0 XEP1", "20 -260 0 XEP2"]
        return "\r\n".join(out) + "\r\n"


NU = 0.3
G = 9.80665


def loads(case, seg, z):
    """Pressure (MPa) at height z and the wall's weight per unit area times
    the overload (N/mm²) on segment seg of the case."""
    gamma = 1e-6 * case.liquid_density * G * case.overload
    q = 1e-6 * case.wall_density * G * case.overload * case.sections[seg - 1][3]
    return case.pressure + gamma * max(0.0, case.liquid_level - z), q


def sphere_closed_form(case, quantity, seg, r, z, normal):
    """A closed sphere of two arcs about (0, zc) from its bottom pole, held at
    its equator, with gas, liquid and its own weight: the axial force through
    a parallel from the equilibrium of the cap below it (exact cap volume and
    zone area), then T1 = N/(2πr sin θ) and T2 = (p − q·nz)·R − T1."""
    radius = case.sections[1][0]
    bottom, centre = case.sections[0][1], case.sections[1][1]
    gamma = 1e-6 * case.liquid_density * G * case.overload
    q1, q2 = loads(case, 1, 0)[1], loads(case, 2, 0)[1]

    def below(height):  # liquid and wall weight under the parallel at this height
        h = min(max(height - bottom, 0), 2 * radius)
        wet = min(max(case.liquid_level - bottom, 0), h)
        return (gamma * math.pi * wet * wet * (3 * radius - wet) / 3 +
                2 * math.pi * radius * (q1 * min(h, radius) + q2 * max(h - radius, 0)))

    p, q = loads(case, seg, z)
    n = math.pi * r * r * p + below(z) - (below(bottom + 2 * radius) if seg >= case.support else 0)
    t1 = n / (2 * math.pi * r * r / radius)
    t2 = (p - q * (z - centre) / radius) * radius - t1
    t = case.sections[seg - 1][3]
    return {"meridional_stress": t1 / t, "hoop_stress": t2 / t}.get(quantity)


def straight_hoop_closed_form(case, quantity, seg, r, z, normal):
    """On a straight meridian (no meridional curvature) the normal equilibrium
    alone gives T2 = (p − q·nz)·r/c: the hoop stress of a cone or a cylinder."""
    p, q = loads(case, seg, z)
    t = case.sections[seg - 1][3]
    return (p - q * normal[1]) * r / normal[0] / t if quantity == "hoop_stress" else None


def capsule_closed_form(case, quantity, seg, r, z, normal):
    """A cylinder with hemispherical heads under gas alone: the boiler
    formulas on the cylinder, pR/2t on the heads, ur = ε2·r."""
    p, radius, t, e = case.pressure, case.sections[1][0], case.sections[1][3], case.young
    if seg == 2:
        values = {"meridional_stress": p * radius / (2 * t), "hoop_stress": p * radius / t,
                  "radial_displacement": p * radius * radius * (1 - NU / 2) / (e * t)}
    else:
        values = {"meridional_stress": p * radius / (2 * t), "hoop_stress": p * radius / (2 * t),
                  "radial_displacement": p * radius * (1 - NU) / (2 * e * t) * r}
    return values.get(quantity)


def vessel_closed_form(arcs):
    """A closed vessel of arcs under gas alone, arcs: (centre r, R, kind) per
    segment. T1 = pr/(2c) with c the outward normal's radial component from
    the arc's centre, and T2 = (p − T1·k)·r/c, k = 1/R where the centre is
    inside and −1/R where it is outside."""
    def form(case, quantity, seg, r, z, normal):
        centre, radius, kind = arcs[seg - 1]
        p, t = case.pressure, case.sections[seg - 1][3]
        c = (r - centre) / radius if kind > 0 else (centre - r) / radius
        k = (1 if kind > 0 else -1) / radius
        t1 = p * r / (2 * c)
        t2 = (p - t1 * k) * r / c
        return {"meridional_stress": t1 / t, "hoop_stress": t2 / t}.get(quantity)
    return form


CASES = [
    Case("capsule", "Cylinder with hemispherical heads",
         "Cylinder R 500, length 1000, wall 5, closed by two hemispheres; gas 1 MPa; "
         "held at the lower junction.",
         [(0, 0, 500, 5, 1), (500, 500, 500, 5, 0), (500, 1500, 500, 5, 1), (0, 2000, 500, 5, 0)],
         pressure=1.0, support=2, step=10, closed_form=capsule_closed_form),
    Case("cone", "Cone and cylinder under water",
         "A 45° cone from its apex (wall 4) and a cylinder R 600 (wall 3) up to 1600, open at the top "
         "(the flat lid the model assumes there); water to 1400 at overload 3, gas 0.05 MPa, "
         "steel wall; held at the junction.",
         [(0, 0, 0, 4, 0), (600, 600, 0, 3, 0), (600, 1600, 0, 3, 0)],
         pressure=0.05, liquid_density=1.0, liquid_level=1400, overload=3, support=2, step=10,
         wall_density=7.85,
         closed_form=straight_hoop_closed_form,
         extra_exclusions=((1, 150.0),)),
    Case("ring", "Sphere on an equator ring, part-filled",
         "Steel sphere R 1000, wall 8, held at its equator; water to 700, gas 0.01 MPa, "
         "its own weight.",
         [(0, 0, 1000, 8, 1), (1000, 1000, 1000, 8, 1), (0, 2000, 1000, 8, 0)],
         pressure=0.01, liquid_density=1.0, liquid_level=700, overload=1, support=2, step=10,
         wall_density=7.85,
         closed_form=sphere_closed_form),
    Case("concave", "Vessel with a concave arc",
         "A bowl (hemisphere R 500), a concave arc (centre outside at (1500, 500), R 1000) "
         "flaring to (700, 1100), and a dome (R 700); wall 4, gas 1 MPa; held at the "
         "bowl's rim.",
         [(0, 0, 500, 4, 1), (500, 500, 1000, 4, -1), (700, 1100, 700, 4, 1), (0, 1800, 0, 4, 0)],
         pressure=1.0, support=2, step=5,
         closed_form=vessel_closed_form([(0, 500, 1), (1500, 1000, -1), (0, 700, 1)])),
    Case("waist", "Vessel with a concave waist",
         "A bowl (hemisphere R 500), a concave arc (centre outside at (1300, 1100), R 1000) "
         "from (500, 500) through its waist at z 1100 to (500, 1700), and a hemispherical dome; "
         "wall 4, gas 1 MPa; held at the bowl's rim.",
         [(0, 0, 500, 4, 1), (500, 500, 1000, 4, -1), (500, 1700, 500, 4, 1), (0, 2200, 0, 4, 0)],
         pressure=1.0, support=2, step=5,
         closed_form=vessel_closed_form([(0, 500, 1), (1300, 1000, -1), (0, 500, 1)])),
    Case("default", "The default shell",
         "The shell Brelmora starts with: sphere R 100, wall 2 below and 4 above the equator, "
         "gas 0.2 MPa, water to 150 at overload 10, steel wall; held at the equator.",
         [(0, 0, 100, 2, 1), (100, 100, 100, 4, 1), (0, 200, 100, 6, 1)],
         pressure=0.2, liquid_density=1.0, liquid_level=150, overload=10, support=2, step=10,
         wall_density=7.85,
         closed_form=sphere_closed_form),
]

# ---------------------------------------------------------------------------
# The quantities

# Brelmora's node table: the columns the quantities below read.
NODE_TABLE = ["--nodes"]


def simpson(values):
    """The mean of values at equal steps through the wall (an odd count)."""
    n = len(values) - 1
    w = [1 if i in (0, n) else 4 if i % 2 else 2 for i in range(n + 1)]
    return sum(a * b for a, b in zip(w, values)) / (3 * n)


def meridional(stress, normal):
    """The normal stress along the meridian, whose tangent is the outward
    normal turned by a right angle: σ = t·S·t."""
    sxx, syy, _, sxy = stress[0], stress[1], stress[2], stress[3]
    tr, tz = -normal[1], normal[0]
    return sxx * tr * tr + syy * tz * tz + 2 * sxy * tr * tz


class Quantity:
    """key: the node table's column; calculix(line): its value from the
    CalculiX results at the node's line through the wall; limit: the largest
    difference allowed, a share of the case's largest value; change: compare
    the changes along a stretch of wall instead of the values."""

    def __init__(self, key, title, unit, calculix, limit, change=False):
        self.key, self.title, self.unit = key, title, unit
        self.calculix, self.limit, self.change = calculix, limit, change


QUANTITIES = [
    Quantity("meridional_stress", "meridional stress", "MPa",
             lambda line: simpson([meridional(s, line.normal) for s in line.stress]), 0.03),
    Quantity("hoop_stress", "hoop stress", "MPa",
             lambda line: simpson([s[2] for s in line.stress]), 0.03),
    Quantity("radial_displacement", "radial displacement", "mm",
             lambda line: line.displacement[line.mid][0], 0.03),
    Quantity("axial_displacement", "change of the axial displacement", "mm",
             lambda line: line.displacement[line.mid][1], 0.05, change=True),
]

# ---------------------------------------------------------------------------
# Reading the programs' output


def read_nodes(text):
    return [{k: (int(v) if k in ("segment", "node") else float(v)) for k, v in row.items()}
            for row in csv.DictReader(io.StringIO(text))]


def read_frd(path):
    """Nodal results of a CalculiX .frd file: {block name: {node: values}}."""
    blocks, name, values = {}, None, None
    with open(path, encoding="latin-1") as f:
        for line in f:
            if line.startswith(" -4"):
                name = line[5:13].strip()
                values = blocks.setdefault(name, {})
            elif line.startswith(" -1") and values is not None:
                body = line[13:].rstrip("\n")
                values[int(line[3:13])] = [float(body[i:i + 12]) for i in range(0, len(body) - 11, 12)]
            elif line.startswith(" -3"):
                values = None
    return blocks


class WallLine:
    """The CalculiX results on the line through the wall at one node."""

    def __init__(self, normal, stress, displacement):
        self.normal, self.stress, self.displacement = normal, stress, displacement
        self.mid = len(displacement) // 2


def deck_mesh(deck):
    """Elements through the wall and along a step, from the deck's header."""
    m = re.search(r"Mesh: (\d+) elements through the wall, (\d+) along each step", deck)
    return int(m.group(1)), int(m.group(2))

# ---------------------------------------------------------------------------
# Where membrane theory holds


def exclusions(case, rows):
    """(arc length, distance, what) of the places where the wall bends: every
    junction of two segments, the support, the ends off the axis (lids) and
    apexes on it. The bending there dies out as e^(−βx), β = [3(1 − ν²)]^¼ /
    √(R·t) with R the second radius of curvature r/c: 3/β from a smooth
    junction and a support without load, 4/β from a support that carries the
    shell's weight, 5/β from a kink, 6/β from a lid; and 2/β from the liquid
    surface."""
    beta_factor = (3 * (1 - NU * NU)) ** 0.25
    first = {}
    last = {}
    for i, row in enumerate(rows):
        first.setdefault(row["segment"], i)
        last[row["segment"]] = i
    segs = max(first)

    def decay(i):
        row = rows[i]
        t = case.sections[row["segment"] - 1][3]
        c = abs(row["normal_r"])
        radius = row["r"] / c if c > 1e-3 else 0
        return math.sqrt(max(radius, 0) * t) / beta_factor

    places = []
    for s in range(2, segs + 1):
        a, b = last[s - 1], first[s]
        na = (rows[a]["normal_r"], rows[a]["normal_z"])
        nb = (rows[b]["normal_r"], rows[b]["normal_z"])
        angle = math.degrees(math.acos(max(-1, min(1, na[0] * nb[0] + na[1] * nb[1]))))
        factor, what = (5, "kink of %.0f°" % angle) if angle > 5 else (3, "junction")
        places.append((rows[b]["s"], factor * max(decay(a), decay(b)), "%s at section %d" % (what, s)))
    support = min(max(case.support, 1), segs + 1)
    k = first[support] if support <= segs else last[segs]
    carries = case.wall_density > 0 or case.liquid_density > 0
    places.append((rows[k]["s"], (4 if carries else 3) * decay(k),
                   "support at section %d%s" % (support, " (carrying the weight)" if carries else "")))
    if case.liquid_density > 0:
        # The liquid surface: the hoop force's slope jumps there, and the
        # wall smooths the jump by bending.
        for i in range(1, len(rows)):
            a, b = rows[i - 1], rows[i]
            if a["segment"] == b["segment"] and min(a["z"], b["z"]) <= case.liquid_level < max(a["z"], b["z"]):
                u = (case.liquid_level - a["z"]) / (b["z"] - a["z"])
                places.append((a["s"] + u * (b["s"] - a["s"]), 2 * decay(i), "liquid surface"))
    for k, section in ((0, 1), (len(rows) - 1, segs + 1)):
        if rows[k]["r"] > 1e-3:
            places.append((rows[k]["s"], 6 * decay(k), "lid at section %d" % section))
    for section, distance in case.extra_exclusions:
        k = first[section] if section <= segs else last[segs]
        places.append((rows[k]["s"], distance, "apex at section %d" % section))
    return places


def compared(rows, places):
    """The nodes far enough from every place, and off the axis (a pole's
    forces are left 0 by the membrane model)."""
    return [i for i, row in enumerate(rows)
            if row["r"] > 1e-3 and all(abs(row["s"] - s) >= d for s, d, _ in places)]

# ---------------------------------------------------------------------------
# One case


def run(cmd, cwd):
    start = time.perf_counter()
    done = subprocess.run(cmd, cwd=cwd, capture_output=True, text=True, encoding="utf-8",
                          errors="replace")
    return done, time.perf_counter() - start


class Failure(Exception):
    pass


def run_programs(case, brelmora, work, options):
    """The case's data file, Brelmora's node table and CalculiX model (with
    the given options), and ccx on it: the node table's text, the folder and
    the three times."""
    folder = os.path.join(work, case.key)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, case.key + ".spw"), "w", encoding="utf-8", newline="") as f:
        f.write(case.data_file())
    nodes, t_nodes = run([brelmora] + NODE_TABLE + options + [case.key + ".spw"], folder)
    if nodes.returncode != 0:
        raise Failure("brelmora --nodes: " + nodes.stderr.strip())
    exported, t_export = run([brelmora, "--export", "ccx", case.key + ".inp"] + options + [case.key + ".spw"],
                             folder)
    if exported.returncode != 0:
        raise Failure("brelmora --export ccx: " + exported.stderr.strip())
    solved, t_ccx = run(["ccx", "-i", case.key], folder)
    log = solved.stdout + solved.stderr
    with open(os.path.join(folder, case.key + ".log"), "w", encoding="utf-8") as f:
        f.write(log)
    alarms = [line.strip() for line in log.splitlines() if re.search(r"warning|error", line, re.I)]
    if solved.returncode != 0 or alarms:
        raise Failure("ccx: " + "; ".join(alarms[:3] or ["exit status %d" % solved.returncode]))
    return nodes.stdout, folder, (t_nodes, t_export, t_ccx)


def verify_case(case, brelmora, work):
    text, folder, (t_nodes, t_export, t_ccx) = run_programs(case, brelmora, work, [])
    rows = read_nodes(text)
    with open(os.path.join(folder, case.key + ".inp"), encoding="utf-8", errors="replace") as f:
        layers, per_step = deck_mesh(f.read())
    frd = read_frd(os.path.join(folder, case.key + ".frd"))
    points = 2 * layers + 1

    s = 0.0
    for i, row in enumerate(rows):
        if i > 0:
            s += math.hypot(row["r"] - rows[i - 1]["r"], row["z"] - rows[i - 1]["z"])
        row["s"] = s
        station = 2 * per_step * (row["node"] - row["segment"])
        ids = [station * points + q + 1 for q in range(points)]
        row["line"] = WallLine((row["normal_r"], row["normal_z"]), [frd["STRESS"][n] for n in ids],
                               [frd["DISP"][n] for n in ids])

    places = exclusions(case, rows)
    keep = compared(rows, places)
    results = {}
    for qty in QUANTITIES:
        pairs = []  # (row index, Brelmora, CalculiX)
        if qty.change:
            # Changes along each unbroken stretch of compared nodes, from its first node.
            start = None
            for j, i in enumerate(keep):
                if j == 0 or i != keep[j - 1] + 1:
                    start = i
                    continue
                pairs.append((i, rows[i][qty.key] - rows[start][qty.key],
                              qty.calculix(rows[i]["line"]) - qty.calculix(rows[start]["line"])))
        else:
            pairs = [(i, rows[i][qty.key], qty.calculix(rows[i]["line"])) for i in keep]
        scale = max((abs(c) for _, _, c in pairs), default=0.0)
        diffs = [(abs(b - c) / scale if scale > 0 else 0.0, i, b, c) for i, b, c in pairs]
        results[qty.key] = (pairs, scale, diffs)
    return dict(rows=rows, places=places, keep=keep, results=results,
                times=(t_nodes, t_export, t_ccx), layers=layers, per_step=per_step)

# ---------------------------------------------------------------------------
# The bending analysis
#
# Brelmora's surface stresses (--nodes --bending) beside CalculiX's stresses
# at the inner and outer points of each node's line through the wall, in a
# model with six elements through the wall and four along each step, lids as
# plates and the support holding the mean axial displacement of its section
# (--export ccx --bending). Compared are the peaks: of the whole shell, and
# of each place where the wall bends (a junction, a kink, the support, a lid
# and its corner), each found in both programs on their own. A peak passes
# when its value is within 5 % of CalculiX's and it lies within one contour
# step or 2t (the larger) of CalculiX's, or where CalculiX's own values at
# the two places are within 2 % of each other (a plateau has no one place).
# The solid's re-entrant corner at a kink grows without bound as its mesh is
# refined, so nodes within 2t of a kink are left out, and so is the node on
# the support ring.


def plate_and_cylinder(a, t, p, young, nu=NU):
    """A long cylinder of radius a closed by a flat plate of its own wall,
    both mid-surfaces meeting at the corner, under gas pressure p: the
    corner moment M0 and the plate's radial force H from the plate's and
    the cylinder's compatibility (rotation and radial displacement at the
    corner; beam on elastic foundation for the cylinder, D·Δ²w = p for the
    plate, its in-plane stretch (1 − ν)·H·a/Et). Returns the plate's radial
    and hoop moments at radius r, the cylinder's moment and radial
    displacement at x from the corner (moments positive stretching the
    outer surface), and H."""
    d = young * t ** 3 / (12 * (1 - nu * nu))
    beta = (3 * (1 - nu * nu)) ** 0.25 / math.sqrt(a * t)
    wp = p * a * a / (young * t) * (1 - nu / 2)
    a11 = -a / (d * (1 + nu)) - 1 / (d * beta)
    a12 = -1 / (2 * d * beta * beta)
    b1 = -(p * a ** 3 / (16 * d) - a * (3 + nu) * p * a * a / 16 / (d * (1 + nu)))
    a21 = 1 / (2 * d * beta * beta)
    a22 = (1 - nu) * a / (young * t) + 1 / (2 * d * beta ** 3)
    det = a11 * a22 - a12 * a21
    m0 = (b1 * a22 - a12 * wp) / det
    h = (a11 * wp - a21 * b1) / det
    c2 = m0 / (2 * d * beta * beta)
    c1 = -h / (2 * d * beta ** 3) - c2

    def plate(r):  # M1 and M2 of the plate: D·Δ²w = p, M1(a) = M0
        return (m0 + (3 + nu) * p * (a * a - r * r) / 16,
                m0 + p * (a * a * (3 + nu) - r * r * (1 + 3 * nu)) / 16)

    def cylinder(x):  # M1 and w of the cylinder, w = wp + e^(−βx)(C1 cos βx + C2 sin βx)
        e, c, s = math.exp(-beta * x), math.cos(beta * x), math.sin(beta * x)
        return 2 * d * beta * beta * e * (c2 * c - c1 * s), wp + e * (c1 * c + c2 * s)
    return plate, cylinder, h


def lids_surface(case, row):
    """Surface stresses of the cylinder closed by flat lids from the closed
    form of a plate joined to a long cylinder: on the plates, and on the
    cylinder (its ends far enough apart not to meet)."""
    a, t, p = case.sections[0][0], case.sections[0][3], case.pressure
    plate, cylinder, h = plate_and_cylinder(a, t, p, case.young)
    if abs(row["normal_r"]) < 1e-6:  # a plate
        (m1, m2), t1, t2 = plate(row["r"]), h, h
    else:
        m1, w = cylinder(min(row["z"] - case.sections[0][1], case.sections[1][1] - row["z"]))
        m2, t1 = NU * m1, p * a / 2
        t2 = case.young * t * w / a + NU * t1
    return {"meridional_stress_outer": t1 / t + 6 * m1 / t ** 2, "meridional_stress_inner": t1 / t - 6 * m1 / t ** 2,
            "hoop_stress_outer": t2 / t + 6 * m2 / t ** 2, "hoop_stress_inner": t2 / t - 6 * m2 / t ** 2}


def capsule_surface(case, row):
    """The cylinder of a capsule with hemispherical heads of its own wall:
    the edge solution Q0 = p/(8β), M0 = 0, M(x) = (p/8β²)·e^(−βx)·sin βx,
    with x from the nearer junction; the meridional surface stresses."""
    a, t, p = case.sections[1][0], case.sections[1][3], case.pressure
    if abs(row["r"] - a) > 1e-3 or abs(row["normal_r"] - 1) > 1e-6:
        return {}
    beta = (3 * (1 - NU * NU)) ** 0.25 / math.sqrt(a * t)
    x = min(row["z"] - case.sections[1][1], case.sections[2][1] - row["z"])
    m = p / (8 * beta * beta) * math.exp(-beta * x) * math.sin(beta * x)
    return {"meridional_stress_outer": p * a / (2 * t) + 6 * m / t ** 2,
            "meridional_stress_inner": p * a / (2 * t) - 6 * m / t ** 2}


BENDING_CASES = [
    Case("capsule-b", "Cylinder with hemispherical heads, bending",
         "Cylinder R 500, length 1000, wall 5, closed by two hemispheres of the same wall; gas 1 MPa; "
         "held at the lower junction. The meridional surface stress of the cylinder peaks at "
         "x = π/(4β) from each junction, 29 % above the membrane value.",
         [(0, 0, 500, 5, 1), (500, 500, 500, 5, 0), (500, 1500, 500, 5, 1), (0, 2000, 500, 5, 0)],
         pressure=1.0, support=2, step=10, closed_form=capsule_surface),
    Case("lids", "Cylinder closed by flat lids",
         "Cylinder R 500, wall 10, from z 0 to 1000: at the bottom the flat lid the model assumes, "
         "at the top a flat segment of the same wall to the axis; gas 0.2 MPa; held at the bottom. "
         "The two lids must agree with each other and with the closed form of a plate joined to a "
         "cylinder.",
         [(500, 0, 0, 10, 0), (500, 1000, 0, 10, 0), (0, 1000, 0, 10, 0)],
         pressure=0.2, support=1, step=10, closed_form=lids_surface),
    Case("cone-b", "A 45° cone, a cylinder and a hemispherical head",
         "A 45° cone from its apex, a cylinder R 500 up to 1500 and a hemispherical head, wall 6; "
         "gas 1 MPa; held at the cone's rim.",
         [(0, 0, 0, 6, 0), (500, 500, 0, 6, 0), (500, 1500, 500, 6, 1), (0, 2000, 0, 6, 0)],
         pressure=1.0, support=2, step=10, extra_exclusions=((1, 60.0),)),
    Case("ring-b", "Sphere on an equator ring, part-filled, large overload",
         "Steel sphere R 1000, wall 8, held at its equator; water to 700 at overload 10, gas 0.01 MPa, "
         "its own weight: the ring carries the whole weight and bends the wall there.",
         [(0, 0, 1000, 8, 1), (1000, 1000, 1000, 8, 1), (0, 2000, 1000, 8, 0)],
         pressure=0.01, liquid_density=1.0, liquid_level=700, overload=10, support=2, step=10,
         wall_density=7.85),
    Case("default-b", "The default shell, bending",
         "The shell Brelmora starts with: sphere R 100, wall 2 below and 4 above the equator, "
         "gas 0.2 MPa, water to 150 at overload 10, steel wall; held at the equator.",
         [(0, 0, 100, 2, 1), (100, 100, 100, 4, 1), (0, 200, 100, 6, 1)],
         pressure=0.2, liquid_density=1.0, liquid_level=150, overload=10, support=2, step=10,
         wall_density=7.85),
]


def surface_pair(line, normal):
    """CalculiX's (meridional, hoop) stress at the inner and the outer point
    of a line through the wall."""
    first, last = line.stress[0], line.stress[-1]
    return ((meridional(first, normal), first[2]), (meridional(last, normal), last[2]))


def von_mises(s1, s2):
    return math.sqrt(s1 * s1 - s1 * s2 + s2 * s2)


SURFACE_QUANTITIES = [
    # (column of --nodes --bending, title, CalculiX value from (inner, outer) pairs)
    ("meridional_stress_inner", "meridional stress, inner surface", lambda io: io[0][0]),
    ("meridional_stress_outer", "meridional stress, outer surface", lambda io: io[1][0]),
    ("hoop_stress_inner", "hoop stress, inner surface", lambda io: io[0][1]),
    ("hoop_stress_outer", "hoop stress, outer surface", lambda io: io[1][1]),
    ("equivalent_stress_inner", "equivalent stress, inner surface", lambda io: von_mises(*io[0])),
    ("equivalent_stress_outer", "equivalent stress, outer surface", lambda io: von_mises(*io[1])),
]
SURFACE_LIMIT = 0.05
PLATEAU = 0.02
MINOR = 0.2  # a place's peak below this share of the shell's peak does not govern


def deck_stations(deck):
    """The deck's numbering: elements through the wall and along a step,
    and functions from a node table row to its station (0-based)."""
    layers, per_step = deck_mesh(deck)
    m = re.search(r"Node k of segment s of the node table is on station (\d+)\*\(k-s\)\+(\d+)\.", deck)
    wall = (int(m.group(1)), int(m.group(2)))
    first = re.search(r"lid at section 1 \(j = 1 at the axis\) is on station (\d+)\*\(j-1\)\+1\.", deck)
    last = re.search(r"lid at section (\d+) \(j = 1 at the axis\) is on station (\d+)-(\d+)\*\(j-1\)\.", deck)
    return layers, per_step, wall, first, last


def verify_bending_case(case, brelmora, work):
    text, folder, (t_nodes, t_export, t_ccx) = run_programs(case, brelmora, work, ["--bending"])
    with open(os.path.join(folder, case.key + ".inp"), encoding="utf-8", errors="replace") as f:
        layers, per_step, wall, lid_first, lid_last = deck_stations(f.read())
    frd = read_frd(os.path.join(folder, case.key + ".frd"))
    points = 2 * layers + 1
    rows = read_nodes(text)
    segs = len(case.sections) - 1

    # The station of each row, and a length along the whole meridian: the
    # first lid from its centre to the wall, the shell, the last lid from
    # the wall to its centre.
    shell = [r for r in rows if 1 <= r["segment"] <= segs]
    lid0 = [r for r in rows if r["segment"] == 0]
    lid1 = [r for r in rows if r["segment"] == segs + 1]
    length = shell[-1]["arc_length"]
    for j, row in enumerate(lid0):
        row["station"] = int(lid_first.group(1)) * j
        row["s"] = -(lid0[-1]["r"] - row["r"])
    for row in shell:
        row["station"] = wall[0] * (row["node"] - row["segment"]) + wall[1] - 1
        row["s"] = row["arc_length"]
    for j, row in enumerate(lid1):
        row["station"] = int(lid_last.group(2)) - 1 - int(lid_last.group(3)) * j
        row["s"] = length + (lid1[-1]["r"] - row["r"])
    ordered = lid0 + shell + list(reversed(lid1))
    for row in ordered:
        ids = [row["station"] * points + q + 1 for q in range(points)]
        line = WallLine((row["normal_r"], row["normal_z"]), [frd["STRESS"][n] for n in ids],
                        [frd["DISP"][n] for n in ids])
        row["ccx"] = surface_pair(line, line.normal)

    # The places where the wall bends, and what is left out.
    beta_factor = (3 * (1 - NU * NU)) ** 0.25
    first = {}
    last = {}
    for i, row in enumerate(shell):
        first.setdefault(row["segment"], i)
        last[row["segment"]] = i

    def reach(row):  # four bending lengths at a row
        t = case.sections[min(max(row["segment"], 1), segs) - 1][3]
        c = abs(row["normal_r"])
        radius = row["r"] / c if c > 1e-3 else 0
        return 4 * math.sqrt(max(radius, 4 * t * t / max(row["r"], t)) * t) / beta_factor

    places, kinks = [], []
    for sec in range(2, segs + 1):
        a, b = shell[last[sec - 1]], shell[first[sec]]
        angle = math.degrees(math.acos(max(-1, min(1, a["normal_r"] * b["normal_r"] + a["normal_z"] * b["normal_z"]))))
        what = "kink of %.0f° at section %d" % (angle, sec) if angle > 5 else "junction at section %d" % sec
        if angle > 5:
            kinks.append(b["s"])
        places.append((what, b["s"], max(reach(a), reach(b))))
    support = min(max(case.support, 1), segs + 1)
    ring = shell[first[support]] if support <= segs else shell[-1]
    for lid, corner, section in ((lid0, shell[0], 1), (lid1, shell[-1], segs + 1)):
        if lid:
            kinks.append(corner["s"])
            places.append(("lid at section %d with its corner" % section, corner["s"],
                           abs(corner["s"] - lid[0]["s"]) + reach(corner)))
    # The support where another place already is joins it.
    at = [i for i, (_, s, _) in enumerate(places) if abs(s - ring["s"]) < 1e-6]
    if at:
        what, s, d = places[at[0]]
        places[at[0]] = (what + ", the support", s, max(d, reach(ring)))
    else:
        places.append(("support at section %d" % support, ring["s"], reach(ring)))
    # A flat segment bends as a plate throughout.
    for sec in range(1, segs + 1):
        rows_of = shell[first[sec]:last[sec] + 1]
        if all(abs(r["normal_r"]) < 1e-6 for r in rows_of):
            middle = (rows_of[0]["s"] + rows_of[-1]["s"]) / 2
            places.append(("flat segment %d" % sec, middle, abs(rows_of[-1]["s"] - rows_of[0]["s"]) / 2))
    excluded = []
    for section, distance in case.extra_exclusions:
        k = shell[first[section]] if section <= segs else shell[-1]
        excluded.append((k["s"], distance))

    def kept(row):
        t = case.sections[min(max(row["segment"], 1), segs) - 1][3]
        if any(abs(row["s"] - k) < 2 * t - 1e-6 for k in kinks):
            return False
        if any(abs(row["s"] - s) < d for s, d in excluded):
            return False
        return not (abs(row["s"] - ring["s"]) < 1e-6 and 1 <= row["segment"] <= segs)

    keep = [row for row in ordered if kept(row)]
    zones = [("whole shell", keep)] + [(what, [r for r in keep if abs(r["s"] - s) <= d]) for what, s, d in places]
    tolerance = max(case.step, 2 * max(sec[3] for sec in case.sections))
    results = []
    overall = {}
    for key, title, calculix in SURFACE_QUANTITIES:
        overall[key] = max((abs(calculix(r["ccx"])) for r in keep), default=0)
    for zone, members in zones:
        for key, title, calculix in SURFACE_QUANTITIES:
            if not members:
                continue
            b = max(members, key=lambda r: abs(r[key]))
            c = max(members, key=lambda r: abs(calculix(r["ccx"])))
            cv = calculix(c["ccx"])
            if abs(cv) < MINOR * overall[key] and zone != "whole shell":
                continue
            diff = abs(b[key] - cv) / abs(cv) if cv else 0.0
            apart = abs(b["s"] - c["s"])
            plateau = abs(calculix(b["ccx"]) - cv) <= PLATEAU * abs(cv)
            closed = case.closed_form(case, b).get(key) if case.closed_form else None
            ok = diff <= SURFACE_LIMIT and (apart <= tolerance or plateau)
            results.append(dict(zone=zone, key=key, title=title, b=b[key], c=cv, diff=diff, apart=apart,
                                plateau=plateau, ok=ok, at_b=b, at_c=c, closed=closed))
    return dict(rows=ordered, places=places, kinks=kinks, results=results, tolerance=tolerance,
                times=(t_nodes, t_export, t_ccx), layers=layers, per_step=per_step,
                elements=(len(ordered) - 1) * per_step * layers)


def report_bending_case(case, out, lines):
    t_nodes, t_export, t_ccx = out["times"]
    lines += ["## %s" % case.title, "", case.about, "",
              "Places where the wall bends: " + "; ".join("%s (%.0f mm either side)" % (w, d)
                                                         for w, _, d in out["places"]) + ".", "",
              "Time: Brelmora --nodes --bending %.0f ms, Brelmora --export ccx --bending %.0f ms, ccx %.2f s "
              "(%d elements, %d through the wall, %d along each step). A peak's place may differ by %.0f mm." %
              (1000 * t_nodes, 1000 * t_export, t_ccx, out["elements"], out["layers"], out["per_step"],
               out["tolerance"]), "",
              "| where | quantity | Brelmora, MPa | at (r, z) | CalculiX, MPa | at (r, z) | difference | "
              "apart, mm | closed form | |",
              "|---|---|---|---|---|---|---|---|---|---|"]
    failed = False
    for r in out["results"]:
        failed = failed or not r["ok"]
        apart = "%.1f" % r["apart"] + (" (equal there)" if r["plateau"] and r["apart"] > out["tolerance"] else "")
        lines.append("| %s | %s | %s | (%.1f, %.1f) | %s | (%.1f, %.1f) | %.2f %% | %s | %s | %s |" %
                     (r["zone"], r["title"], number(r["b"]), r["at_b"]["r"], r["at_b"]["z"], number(r["c"]),
                      r["at_c"]["r"], r["at_c"]["z"], 100 * r["diff"], apart,
                      number(r["closed"]) if r["closed"] is not None else "", "pass" if r["ok"] else "FAIL"))
    lines.append("")
    return failed


# ---------------------------------------------------------------------------
# The report


def number(v):
    return "%.5g" % v


def closed_value(case, qty, row):
    if case.closed_form is None or qty.change:
        return None
    return case.closed_form(case, qty.key, row["segment"], row["r"], row["z"],
                            (row["normal_r"], row["normal_z"]))


def report_case(case, out, lines):
    rows, results = out["rows"], out["results"]
    t_nodes, t_export, t_ccx = out["times"]
    lines += ["## %s" % case.title, "", case.about, "",
              "Left out (bending): " + "; ".join("%s, %.0f mm either side" % (w, d)
                                                 for _, d, w in out["places"]) + ".", "",
              "Time: Brelmora --nodes %.0f ms, Brelmora --export ccx %.0f ms, ccx %.2f s "
              "(%d elements, %d through the wall)." %
              (1000 * t_nodes, 1000 * t_export, t_ccx,
               (len(rows) - rows[-1]["segment"]) * out["per_step"] * out["layers"], out["layers"]), "",
              "| quantity | nodes compared | largest difference | at (r, z) | limit | |",
              "|---|---|---|---|---|---|"]
    failed = False
    for qty in QUANTITIES:
        pairs, scale, diffs = results[qty.key]
        worst = max(diffs, default=(0.0, None, 0, 0))
        ok = worst[0] <= qty.limit
        failed = failed or not ok or not diffs
        where = "(%.1f, %.1f)" % (rows[worst[1]]["r"], rows[worst[1]]["z"]) if worst[1] is not None else "—"
        lines.append("| %s | %d | %.2f %% | %s | %.0f %% | %s |" %
                     (qty.title, len(diffs), 100 * worst[0], where, 100 * qty.limit,
                      "pass" if ok and diffs else "FAIL"))
    lines += ["", "| segment | r, mm | z, mm | quantity | Brelmora | CalculiX | difference | closed form |",
              "|---|---|---|---|---|---|---|---|"]
    keep = out["keep"]
    sample = sorted(set(keep[int(round(j * (len(keep) - 1) / 5))] for j in range(6))) if keep else []
    for i in sample:
        row = rows[i]
        for qty in QUANTITIES:
            pairs, scale, diffs = results[qty.key]
            hit = [d for d in diffs if d[1] == i]
            if not hit:
                continue
            d, _, b, c = hit[0]
            closed = closed_value(case, qty, row)
            lines.append("| %d | %.1f | %.1f | %s | %s | %s | %.2f %% | %s |" %
                         (row["segment"], row["r"], row["z"], qty.title, number(b), number(c), 100 * d,
                          number(closed) if closed is not None else ""))
    lines.append("")
    return failed


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--brelmora", default="build/brelmora")
    parser.add_argument("--work", default="build/verify")
    parser.add_argument("--report", default="docs/verification.md")
    parser.add_argument("--case", action="append", help="run only this case (may repeat)")
    args = parser.parse_args()
    brelmora = os.path.abspath(args.brelmora)
    version = re.search(r"Version\s+(\S+)", subprocess.run(["ccx", "-v"], capture_output=True,
                                                         text=True).stdout)
    lines = ["# Verification: Brelmora beside CalculiX", "",
             "Each shell below was computed by Brelmora (`--nodes`) and, as an axisymmetric solid, by "
             "CalculiX " + (version.group(1) if version else "") + " from the model Brelmora "
             "writes with `--export ccx`: CAX8 elements, several through the wall and two along each "
             "contour step, so that Brelmora's nodes are the mesh's mid-wall nodes; pressure on the "
             "mid-surface, the wall's weight with the overload, a flat lid's pressure force as a line "
             "load, the support section held axially at mid-wall.", "",
             "The stresses compared are CalculiX's through-thickness means (Simpson's rule over the "
             "line through the wall at the node), the displacements those of the mid-wall node. Axial "
             "displacements are compared as changes along each unbroken stretch of compared nodes, "
             "from the stretch's first node. A difference is |Brelmora − CalculiX| as a share of the "
             "largest |CalculiX| value of that quantity in the case. Where the wall bends, near "
             "junctions, kinks, supports and lids, membrane theory does not hold: nodes within "
             "3/β of a smooth junction or an unloaded support, 4/β of a support that carries the "
             "shell's weight, 5/β of a kink, 6/β of a lid and 2/β of the liquid surface (where the "
             "membrane hoop force has a kink of its own) are left out, "
             "β = [3(1 − ν²)]^¼ / √(R·t) with R the second radius of curvature there. The limits are "
             "3 % for stresses and the radial displacement and 5 % for changes of the axial "
             "displacement. The closed form is membrane theory's own formula where the case has one.",
             "", "Reproduce with `make verify` (it installs CalculiX when it is missing).", ""]
    failed = False

    def run_set(cases, verify, report, summarize, summary):
        """Each case of a set: its section of the report and its summary row."""
        body = []
        nonlocal failed
        for case in cases:
            if args.case and case.key not in args.case:
                continue
            try:
                out = verify(case, brelmora, args.work)
            except Failure as e:
                print("%s: %s" % (case.key, e), file=sys.stderr)
                body += ["## %s" % case.title, "", "FAILED: %s" % e, ""]
                failed = True
                continue
            failed = report(case, out, body) or failed
            summarize(case, out, summary)
        return body

    def membrane_row(case, out, summary):
        worst = [max(out["results"][q.key][2], default=(0,))[0] for q in QUANTITIES]
        summary.append("| %s | %s | %.0f ms | %.0f ms | %.2f s |" %
                       (case.title, " | ".join("%.2f %%" % (100 * w) for w in worst),
                        1000 * out["times"][0], 1000 * out["times"][1], out["times"][2]))
        print("%-8s " % case.key + "  ".join("%s %.2f%%" % (q.key.split("_")[0], 100 * w)
                                             for q, w in zip(QUANTITIES, worst)))

    def bending_row(case, out, summary):
        worst = max(out["results"], key=lambda r: r["diff"])
        far = max((r["apart"] for r in out["results"] if not r["plateau"]), default=0.0)
        summary.append("| %s | %d | %.2f %% | %s, %s | %.1f | %.0f ms | %.2f s |" %
                       (case.title, len(out["results"]), 100 * worst["diff"], worst["zone"],
                        worst["title"], far, 1000 * out["times"][0], out["times"][2]))
        print("%-10s peaks %d, largest difference %.2f%% (%s, %s), %s" %
              (case.key, len(out["results"]), 100 * worst["diff"], worst["zone"], worst["title"],
               "all pass" if all(r["ok"] for r in out["results"]) else "FAIL"))

    summary = ["| case | " + " | ".join(q.title for q in QUANTITIES) +
               " | Brelmora --nodes | Brelmora --export ccx | ccx |",
               "|---|" + "---|" * (len(QUANTITIES) + 3)]
    body = run_set(CASES, verify_case, report_case, membrane_row, summary)
    lines += ["Largest difference per quantity, and the time each program took (wall clock):",
              ""] + summary + [""] + body

    # The bending analysis.
    bending_summary = ["| case | peaks compared | largest difference | at | largest distance, mm | "
                       "Brelmora --nodes --bending | ccx |", "|---|---|---|---|---|---|---|"]
    bending_body = run_set(BENDING_CASES, verify_bending_case, report_bending_case, bending_row,
                           bending_summary)
    if len(bending_summary) > 2 or bending_body:
        lines += ["# The bending analysis beside CalculiX", "",
                  "Each shell below was computed by Brelmora's bending analysis (`--nodes --bending`) and by "
                  "CalculiX from the model `--export ccx --bending` writes: CAX8 elements, six through the "
                  "wall and four along each contour step; pressure on the mid-surface; a lid the model "
                  "assumes at an end off the axis as a plate of the wall it closes, weightless, joined to "
                  "the wall by a mitre; the support as a hold on the mean axial displacement of its "
                  "section. CalculiX's surface stresses are its stresses at the inner and outer points of "
                  "the node's line through the wall; the equivalent stress is von Mises' of the meridional "
                  "and hoop stresses at a surface, as Brelmora's.", "",
                  "Compared are peaks, found in each program on its own: the largest |value| of each "
                  "surface stress over the whole shell and over each place where the wall bends (within "
                  "four bending lengths 4/β of a junction, kink or support; a lid with its corner). A "
                  "peak passes when it is within %.0f %% of CalculiX's and lies within one contour step or "
                  "2t (the larger) of it, or where CalculiX's values at the two places differ by less than "
                  "%.0f %% (a plateau, or equal peaks in two places: \"equal there\"). Nodes within 2t of a kink (where the solid's re-entrant corner grows "
                  "without bound as its mesh is refined) and the node on the support ring are left out; a "
                  "place's peak smaller than %.0f %% of the shell's is not listed. The closed form is that "
                  "of the beam on elastic foundation at the capsule's junctions and of a plate joined to a "
                  "long cylinder for the flat lids, at Brelmora's peak." %
                  (100 * SURFACE_LIMIT, 100 * PLATEAU, 100 * MINOR), "",
                  "Largest difference of a peak, and the largest distance between the two programs' "
                  "places of a peak:", ""] + bending_summary + [""] + bending_body
    os.makedirs(os.path.dirname(os.path.abspath(args.report)), exist_ok=True)
    with open(args.report, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))
    print("wrote %s%s" % (args.report, "; a difference passes its limit" if failed else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
