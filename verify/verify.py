#!/usr/bin/env python3
"""Brelmora against CalculiX: the membrane results of a set of shells beside
an axisymmetric solid model of the same shells.

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
the node's line through the wall).
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


def verify_case(case, brelmora, work):
    folder = os.path.join(work, case.key)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, case.key + ".spw"), "w", encoding="utf-8", newline="") as f:
        f.write(case.data_file())
    nodes, t_nodes = run([brelmora] + NODE_TABLE + [case.key + ".spw"], folder)
    if nodes.returncode != 0:
        raise Failure("brelmora --nodes: " + nodes.stderr.strip())
    exported, t_export = run([brelmora, "--export", "ccx", case.key + ".inp", case.key + ".spw"], folder)
    if exported.returncode != 0:
        raise Failure("brelmora --export ccx: " + exported.stderr.strip())
    solved, t_ccx = run(["ccx", "-i", case.key], folder)
    log = solved.stdout + solved.stderr
    with open(os.path.join(folder, case.key + ".log"), "w", encoding="utf-8") as f:
        f.write(log)
    alarms = [line.strip() for line in log.splitlines() if re.search(r"warning|error", line, re.I)]
    if solved.returncode != 0 or alarms:
        raise Failure("ccx: " + "; ".join(alarms[:3] or ["exit status %d" % solved.returncode]))

    rows = read_nodes(nodes.stdout)
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
    summary = ["| case | " + " | ".join(q.title for q in QUANTITIES) +
               " | Brelmora --nodes | Brelmora --export ccx | ccx |",
               "|---|" + "---|" * (len(QUANTITIES) + 3)]
    body = []
    for case in CASES:
        if args.case and case.key not in args.case:
            continue
        try:
            out = verify_case(case, brelmora, args.work)
        except Failure as e:
            print("%s: %s" % (case.key, e), file=sys.stderr)
            body += ["## %s" % case.title, "", "FAILED: %s" % e, ""]
            failed = True
            continue
        failed = report_case(case, out, body) or failed
        worst = [max(out["results"][q.key][2], default=(0,))[0] for q in QUANTITIES]
        summary.append("| %s | %s | %.0f ms | %.0f ms | %.2f s |" %
                       (case.title, " | ".join("%.2f %%" % (100 * w) for w in worst),
                        1000 * out["times"][0], 1000 * out["times"][1], out["times"][2]))
        print("%-8s " % case.key + "  ".join("%s %.2f%%" % (q.key.split("_")[0], 100 * w)
                                             for q, w in zip(QUANTITIES, worst)))
    lines += ["Largest difference per quantity, and the time each program took (wall clock):",
              ""] + summary + [""] + body
    os.makedirs(os.path.dirname(os.path.abspath(args.report)), exist_ok=True)
    with open(args.report, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))
    print("wrote %s%s" % (args.report, "; a difference passes its limit" if failed else ""))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
