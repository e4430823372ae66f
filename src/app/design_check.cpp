// src/app/design_check.cpp — equivalent stress, peaks and margin.
#include "app/design_check.h"

#include <algorithm>
#include <cmath>

#include "graphics/lang.h"
#include "graphics/numbers.h"
#include "platform/codepage.h"

namespace app {

double EquivalentStress(double s1, double s2, std::int32_t rule) {
  if (rule == kTresca) return std::fmax(std::fmax(std::fabs(s1), std::fabs(s2)), std::fabs(s1 - s2));
  return std::sqrt(s1 * s1 - s1 * s2 + s2 * s2);
}

namespace {

// The node of the largest |valueAt(k)| over every segment's nodes.
template <class ValueAt>
NodePeak Peak(const ShellModel& m, const ShellSolution& s, ValueAt valueAt) {
  NodePeak p;
  const int segs = SegmentCount(m);
  for (int i = 1; i <= segs; ++i) {
    const int first = s.SegmentFirstNode[i];
    for (int k = first + 1; k <= first + s.SegmentNodeCount[i] && k <= s.NodeCount; ++k) {
      const double v = valueAt(k);
      if (p.Segment != 0 && !(std::fabs(v) > std::fabs(p.Value))) continue;
      p = NodePeak{v, i, k, s.NodeR[k], s.NodeZ[k]};
    }
  }
  return p;
}

// The entry of the largest |valueAt(k, outer)| over both surfaces of the
// bending analysis' entries of one segment or lid (only ≥ 0), or of all.
template <class ValueAt>
NodePeak SurfacePeak(const ShellModel& m, const ShellSolution& s, const BendingSolution& b, int only,
                     ValueAt valueAt) {
  NodePeak p;
  const int segs = SegmentCount(m);
  for (int i = 0; i <= segs + 1; ++i) {
    if (only >= 0 && i != only) continue;
    int first = 0, count = 0;
    if (i == 0 || i == segs + 1) {
      first = LidFirstNode(b, i == 0 ? 0 : 1);
      count = b.LidNodeCount[i == 0 ? 0 : 1];
    } else if (b.NodeCount > 0) {
      first = s.SegmentFirstNode[i] + 1;
      count = std::min(s.SegmentNodeCount[i], b.NodeCount - s.SegmentFirstNode[i]);
    }
    for (int k = first; k < first + count; ++k)
      for (bool outer : {false, true}) {
        const double v = valueAt(k, outer);
        if (p.Found && !(std::fabs(v) > std::fabs(p.Value))) continue;
        p = NodePeak{v, i, k, b.NodeR[k], b.NodeZ[k], outer, true};
      }
  }
  return p;
}

double SurfaceStress(const BendingSolution& b, bool meridional, int k, bool outer) {
  if (meridional) return outer ? b.MeridionalStressOuter[k] : b.MeridionalStressInner[k];
  return outer ? b.HoopStressOuter[k] : b.HoopStressInner[k];
}

double SurfaceEquivalent(const ShellModel& m, const BendingSolution& b, int k, bool outer) {
  return EquivalentStress(SurfaceStress(b, true, k, outer), SurfaceStress(b, false, k, outer), m.EquivalenceRule);
}

}  // namespace

StressPeaks FindSurfacePeaks(const ShellModel& m, const ShellSolution& s, const BendingSolution& b) {
  StressPeaks p;
  p.Meridional = SurfacePeak(m, s, b, -1, [&](int k, bool o) { return SurfaceStress(b, true, k, o); });
  p.Hoop = SurfacePeak(m, s, b, -1, [&](int k, bool o) { return SurfaceStress(b, false, k, o); });
  p.Equivalent = SurfacePeak(m, s, b, -1, [&](int k, bool o) { return SurfaceEquivalent(m, b, k, o); });
  return p;
}

NodePeak SegmentSurfacePeak(const ShellModel& m, const ShellSolution& s, const BendingSolution& b,
                            int segment) {
  return SurfacePeak(m, s, b, std::max(segment, 0),
                     [&](int k, bool o) { return SurfaceEquivalent(m, b, k, o); });
}

double SurfaceEquivalent(const ShellModel& m, const BendingSolution& b, int k) {
  return std::fmax(SurfaceEquivalent(m, b, k, false), SurfaceEquivalent(m, b, k, true));
}

NodePeak PeakOf(const ShellModel& m, const ShellSolution& s, const float* values) {
  return Peak(m, s, [values](int k) { return static_cast<double>(values[k]); });
}

StressPeaks FindStressPeaks(const ShellModel& m, const ShellSolution& s, const float* meridional,
                            const float* hoop, std::int32_t rule) {
  StressPeaks p;
  p.Meridional = PeakOf(m, s, meridional);
  p.Hoop = PeakOf(m, s, hoop);
  p.Equivalent = Peak(m, s, [&](int k) { return EquivalentStress(meridional[k], hoop[k], rule); });
  return p;
}

bool DesignMargin(const ShellModel& m, double peakEquivalent, double& margin) {
  if (!(m.AllowableStress > 0) || !(peakEquivalent > 0)) return false;
  margin = m.AllowableStress / peakEquivalent - 1;
  return true;
}

bool OverAllowable(const ShellModel& m, const ShellSolution& s, int k) {
  return m.AllowableStress > 0 &&
         EquivalentStress(s.MeridionalStress[k], s.HoopStress[k], m.EquivalenceRule) > m.AllowableStress;
}

void MeridianArcLengths(const ShellModel& m, const ShellSolution& s, float* out) {
  const int segs = SegmentCount(m);
  double before = 0;
  for (int i = 1; i <= segs; ++i) {
    const SegmentShape g = SegmentGeometry(i, m);
    const double length = g.Kind == 0 ? g.Length
                                      : static_cast<double>(g.Radius) *
                                            std::fabs(static_cast<double>(g.EndAngle) - g.StartAngle);
    const int first = s.SegmentFirstNode[i], nodes = s.SegmentNodeCount[i];
    for (int j = 0; j < nodes && first + j + 1 <= s.NodeCount; ++j)
      out[first + j + 1] = static_cast<float>(before + (nodes > 1 ? length * j / (nodes - 1) : 0));
    before += length;
  }
}

namespace {

std::string Number(double v, int width, int decimals) { return gfx::FormatKeepingDigits(v, width, decimals); }

const char* RuleName(std::int32_t rule) {
  return rule == kTresca ? "Треска;Tresca"_sc : "Мизес;von Mises"_sc;
}

}  // namespace

// Where a peak is, for a line of text: "участок 2;segment 2", or for a lid
// "крышка 1;lid 1" with the number of the section it closes.
std::string PlaceOf(const ShellModel& m, const NodePeak& peak, int language) {
  const bool lid = peak.Found && (peak.Segment == 0 || peak.Segment == SegmentCount(m) + 1);
  const std::string n = gfx::FormatFixed(lid && peak.Segment == 0 ? 1 : peak.Segment, 0, 0);
  if (language == 0) return (lid ? "крышка "_sc : "участок "_sc) + n;
  return (lid ? "lid " : "segment ") + n;
}

bool DesignCheckLines(const ShellModel& m, const ShellSolution& s, std::string lines[2], bool& negative,
                      const BendingSolution* b) {
  negative = false;
  if (!(m.AllowableStress > 0)) return false;
  const NodePeak eq = b != nullptr ? FindSurfacePeaks(m, s, *b).Equivalent
                                   : FindStressPeaks(m, s, s.MeridionalStress, s.HoopStress, m.EquivalenceRule).Equivalent;
  const std::string value = Number(eq.Value, 1, 3);
  const std::string z = Number(eq.Z, 1, 3);
  const char* rule = RuleName(m.EquivalenceRule);
  lines[0] = "Экв. напряжение ("_sc + gfx::LangPartOf(rule, 0) + ") "_sc + value + " МПа;"_sc +
             "Equivalent stress (" + gfx::LangPartOf(rule, 1) + ") " + value + " MPa";
  std::string ru = PlaceOf(m, eq, 0) + ", z "_sc + z + " мм"_sc, en = PlaceOf(m, eq, 1) + ", z " + z + " mm";
  double margin = 0;
  if (DesignMargin(m, eq.Value, margin)) {
    const std::string text = Number(margin, 1, 3);
    ru += ", запас "_sc + text;
    en += ", margin " + text;
    negative = margin < 0;
  }
  lines[1] = ru + ";" + en;
  return true;
}

std::string PeakReport(const ShellModel& m, const ShellSolution& s, const BendingSolution* b) {
  const StressPeaks p = b != nullptr ? FindSurfacePeaks(m, s, *b)
                                     : FindStressPeaks(m, s, s.MeridionalStress, s.HoopStress, m.EquivalenceRule);
  auto displacement = [&](const float* membrane, const float* bending) {
    NodePeak d = b != nullptr ? SurfacePeak(m, s, *b, -1, [&](int k, bool) { return double(bending[k]); })
                              : PeakOf(m, s, membrane);
    d.Value = std::fabs(d.Value);
    return d;
  };
  const NodePeak ur = displacement(s.RadialDisplacement, b != nullptr ? b->RadialDisplacement : nullptr);
  const NodePeak uz = displacement(s.AxialDisplacement, b != nullptr ? b->AxialDisplacement : nullptr);
  auto pad = [](std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
  };
  constexpr std::size_t kLabel = 40;
  std::string out = pad(b != nullptr ? "Наибольшие значения на поверхностях"_sc : "Наибольшие значения"_sc, kLabel) +
                    "  значение участок  узел      r, мм      z, мм\n"_sc;
  auto row = [&](const std::string& label, const NodePeak& peak, int decimals) {
    out += pad(label, kLabel) + Number(peak.Value, 10, decimals) + gfx::FormatFixed(peak.Segment, 8, 0) +
           gfx::FormatFixed(peak.Node, 6, 0) + Number(peak.R, 11, 3) + Number(peak.Z, 11, 3) + "\n";
  };
  row("Меридианальное напряжение, МПа"_sc, p.Meridional, 3);
  row("Кольцевое напряжение, МПа"_sc, p.Hoop, 3);
  row("Эквивалентное напряжение ("_sc + gfx::LangPartOf(RuleName(m.EquivalenceRule), 0) + "), МПа"_sc,
      p.Equivalent, 3);
  row("Радиальное перемещение |ur|, мм"_sc, ur, 6);
  row("Осевое перемещение |uz|, мм"_sc, uz, 6);
  if (m.AllowableStress > 0) {
    out += pad("Допускаемое напряжение, МПа"_sc, kLabel) + Number(m.AllowableStress, 10, 3) + "\n";
    double margin = 0;
    if (DesignMargin(m, p.Equivalent.Value, margin))
      out += pad("Запас (доп./экв. - 1)"_sc, kLabel) + Number(margin, 10, 3) +
             (margin < 0 ? "  напряжение выше допускаемого"_sc : "") + "\n";
  }
  if (b != nullptr) {
    // The largest equivalent surface stress of each lid and segment, in the
    // order of the meridian.
    out += "\n"_sc + pad("Изгиб: наибольшее эквивалентное напряжение"_sc, kLabel) +
           "       МПа   узел      r, мм      z, мм  поверхность\n"_sc;
    for (int i = 0; i <= SegmentCount(m) + 1; ++i) {
      const NodePeak peak = SegmentSurfacePeak(m, s, *b, i);
      if (!peak.Found) continue;
      out += pad(PlaceOf(m, peak, 0), kLabel) + Number(peak.Value, 10, 3) + gfx::FormatFixed(peak.Node, 7, 0) +
             Number(peak.R, 11, 3) + Number(peak.Z, 11, 3) + (peak.Outer ? "  наружная"_sc : "  внутренняя"_sc) +
             "\n";
    }
  }
  return gfx::Utf8FromScreen(out);
}

}  // namespace app
