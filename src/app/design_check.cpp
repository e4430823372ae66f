// src/app/design_check.cpp — equivalent stress, peaks and margin.
#include "app/design_check.h"

#include <cmath>

#include "graphics/codepage.h"
#include "graphics/lang.h"
#include "graphics/numbers.h"

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

}  // namespace

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
  ShellModel geometry = m;  // SegmentGeometry may raise an arc radius; the solver did already
  const int segs = SegmentCount(m);
  double before = 0;
  for (int i = 1; i <= segs; ++i) {
    const SegmentShape g = SegmentGeometry(i, geometry);
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

bool DesignCheckLines(const ShellModel& m, const ShellSolution& s, std::string lines[2], bool& negative) {
  negative = false;
  if (!(m.AllowableStress > 0)) return false;
  const NodePeak eq = FindStressPeaks(m, s, s.MeridionalStress, s.HoopStress, m.EquivalenceRule).Equivalent;
  const std::string value = Number(eq.Value, 1, 3), seg = gfx::FormatFixed(eq.Segment, 0, 0);
  const std::string z = Number(eq.Z, 1, 3);
  const char* rule = RuleName(m.EquivalenceRule);
  lines[0] = "Экв. напряжение ("_sc + gfx::LangPartOf(rule, 0) + ") "_sc + value + " МПа;"_sc +
             "Equivalent stress (" + gfx::LangPartOf(rule, 1) + ") " + value + " MPa";
  std::string ru = "участок "_sc + seg + ", z "_sc + z + " мм"_sc, en = "segment " + seg + ", z " + z + " mm";
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

std::string PeakReport(const ShellModel& m, const ShellSolution& s) {
  const StressPeaks p = FindStressPeaks(m, s, s.MeridionalStress, s.HoopStress, m.EquivalenceRule);
  NodePeak ur = PeakOf(m, s, s.RadialDisplacement), uz = PeakOf(m, s, s.AxialDisplacement);
  ur.Value = std::fabs(ur.Value);
  uz.Value = std::fabs(uz.Value);
  auto pad = [](std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
  };
  constexpr std::size_t kLabel = 40;
  std::string out = pad("Наибольшие значения"_sc, kLabel) + "  значение участок  узел      r, мм      z, мм\n"_sc;
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
  return gfx::Utf8FromScreen(out);
}

}  // namespace app
