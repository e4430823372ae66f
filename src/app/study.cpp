// src/app/study.cpp — sweeps and wall sizing.
//
// A variant costs two solver passes and one pass over its nodes: a few
// microseconds for the default shell. The grid is walked in place (one
// scratch model, one solution), and the rows are built with std::to_chars
// into one buffer that is written in large blocks.
#include "app/study.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "app/design_check.h"
#include "app/shell_check.h"
#include "app/shell_solver.h"
#include "graphics/lang.h"
#include "graphics/numbers.h"
#include "platform/codepage.h"

namespace app {

namespace {
constexpr int kEnglish = 1;

void Solve(ShellModel& m, ShellSolution& s) {
  SolveShell(m, s);
  SolveShell(m, s);
}

// The fault of a solved model in English (UTF-8); "" when it can be shown.
std::string FaultText(const ShellModel& m, const ShellSolution& s) {
  const std::string fault = ShellFault(m, s);
  return fault.empty() ? fault : gfx::Utf8FromScreen(gfx::LangPartOf(fault, kEnglish));
}
}  // namespace

// ---------------------------------------------------------------------------
// Sweeps

bool ParseSweep(std::string_view text, Sweep& out, std::string& error) {
  const std::size_t eq = text.find('=');
  Sweep s;
  if (eq == std::string_view::npos) {
    error = "--sweep wants NAME=FROM:TO:COUNT, not '" + std::string(text) + "'";
    return false;
  }
  if (!ParseFieldName(text.substr(0, eq), s.Setting, error)) return false;
  const std::string_view range = text.substr(eq + 1);
  const std::size_t c1 = range.find(':'), c2 = c1 == range.npos ? c1 : range.find(':', c1 + 1);
  double count = 0;
  if (c2 == range.npos || !ParseCommandNumber(range.substr(0, c1), s.From) ||
      !ParseCommandNumber(range.substr(c1 + 1, c2 - c1 - 1), s.To) ||
      !ParseCommandNumber(range.substr(c2 + 1), count)) {
    error = "--sweep " + std::string(text) + ": FROM, TO and COUNT must be finite numbers";
    return false;
  }
  if (count < 1 || count != std::floor(count) || count > kMostVariants) {
    error = "--sweep " + std::string(text) + ": COUNT must be a whole number from 1 to " +
            std::to_string(kMostVariants);
    return false;
  }
  if (s.From > s.To) {
    error = "--sweep " + std::string(text) + ": FROM must not be above TO";
    return false;
  }
  s.Count = static_cast<long long>(count);
  out = s;
  return true;
}

double SweepValue(const Sweep& s, long long j) {
  if (j >= s.Count - 1) return s.Count == 1 ? s.From : s.To;
  return s.From + (s.To - s.From) * static_cast<double>(j) / static_cast<double>(s.Count - 1);
}

bool CheckSweeps(const ShellModel& base, const std::vector<Sweep>& sweeps, long long& variants,
                 std::string& error) {
  variants = 1;
  for (const Sweep& s : sweeps) {
    if (variants > kMostVariants / s.Count) {
      error = "--sweep: the grid holds more than " + std::to_string(kMostVariants) + " variants";
      return false;
    }
    variants *= s.Count;
    // Every value must suit the field: whole numbers step by whole numbers.
    ShellModel scratch = base;
    const long long probes[] = {0, 1, s.Count - 1};
    for (long long j : probes) {
      if (j >= s.Count) continue;
      ModelSetting v = s.Setting;
      v.Value = SweepValue(s, j);
      if (!ApplySetting(scratch, v, error)) {
        error = "--sweep " + error;
        return false;
      }
    }
  }
  return true;
}

namespace {

struct RowWriter {
  std::FILE* Out;
  char Buffer[1 << 16];
  std::size_t Used = 0;
  bool Failed = false;

  void Flush() {
    if (Used > 0 && std::fwrite(Buffer, 1, Used, Out) != Used) Failed = true;
    Used = 0;
  }
  void Text(std::string_view t) {
    if (Used + t.size() > sizeof Buffer) Flush();
    if (t.size() > sizeof Buffer) {
      Failed = Failed || std::fwrite(t.data(), 1, t.size(), Out) != t.size();
      return;
    }
    std::memcpy(Buffer + Used, t.data(), t.size());
    Used += t.size();
  }
  // The shortest text that gives back the same 32-bit float.
  void Number(double v) {
    char b[32];
    const auto r = std::to_chars(b, b + sizeof b, static_cast<float>(v));
    Text(std::string_view(b, static_cast<std::size_t>(r.ptr - b)));
  }
};

// A CSV field in double quotes, its quotes doubled.
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

constexpr const char* kResultColumns =
    "peak_meridional_stress,peak_hoop_stress,peak_equivalent_stress,margin,wall_mass,liquid_mass,"
    "total_mass,total_volume,liquid_volume,wall_volume,message\n";

}  // namespace

bool RunSweep(const ShellModel& base, const std::vector<Sweep>& sweeps, long long first, long long last,
              bool header, std::FILE* out) {
  static ShellSolution s;  // large: kept off the stack, one for every variant
  static RowWriter w{nullptr, {}};
  w.Out = out;
  w.Used = 0;
  w.Failed = false;
  if (header) {
    for (const Sweep& sw : sweeps) w.Text(SettingName(sw.Setting) + ",");
    w.Text(kResultColumns);
  }
  ShellModel m;
  std::string error;
  for (long long v = first; v < last && !w.Failed; ++v) {
    m = base;
    long long rest = v;
    for (std::size_t k = sweeps.size(); k-- > 0;) {
      ModelSetting setting = sweeps[k].Setting;
      setting.Value = SweepValue(sweeps[k], rest % sweeps[k].Count);
      rest /= sweeps[k].Count;
      ApplySetting(m, setting, error);  // CheckSweeps has seen every kind of value
    }
    for (const Sweep& sw : sweeps) {
      const ModelField& f = *sw.Setting.Field;
      const int i = sw.Setting.Section == 0 ? 1 : sw.Setting.Section;
      w.Number(f.Float != nullptr       ? m.*f.Float
               : f.Int != nullptr       ? m.*f.Int
               : f.FloatArray != nullptr ? (m.*f.FloatArray)[i]
                                         : (m.*f.IntArray)[i]);
      w.Text(",");
    }
    Solve(m, s);
    const std::string fault = FaultText(m, s);
    if (!fault.empty()) {
      w.Text(",,,,,,,,,,");
      w.Text(Quoted(fault));
      w.Text("\n");
      continue;
    }
    const StressPeaks p = FindStressPeaks(m, s, s.MeridionalStress, s.HoopStress, m.EquivalenceRule);
    for (double x : {p.Meridional.Value, p.Hoop.Value, p.Equivalent.Value}) {
      w.Number(x);
      w.Text(",");
    }
    double margin = 0;
    if (DesignMargin(m, p.Equivalent.Value, margin)) w.Number(margin);
    w.Text(",");
    const double values[] = {s.WallMass, s.LiquidMass, s.TotalMass, s.TotalVolume / 1000.0,
                             s.LiquidVolume / 1000.0, s.WallVolume / 1000.0};
    for (double x : values) {
      w.Number(x);
      w.Text(",");
    }
    w.Text("\n");
  }
  w.Flush();
  return !w.Failed && std::fflush(out) == 0;
}

// ---------------------------------------------------------------------------
// Wall sizing

namespace {

// The peak equivalent stress of each segment, into peak[1..segs].
void SegmentPeaks(const ShellModel& m, const ShellSolution& s, double* peak) {
  for (int i = 1; i <= SegmentCount(m); ++i) {
    peak[i] = 0;
    const int first = s.SegmentFirstNode[i];
    for (int k = first + 1; k <= first + s.SegmentNodeCount[i] && k <= s.NodeCount; ++k)
      peak[i] = std::fmax(peak[i], EquivalentStress(s.MeridionalStress[k], s.HoopStress[k], m.EquivalenceRule));
  }
}

bool WithinAllowable(const ShellModel& m, const double* peak) {
  for (int i = 1; i <= SegmentCount(m); ++i)
    if (!(peak[i] <= m.AllowableStress)) return false;
  return true;
}

}  // namespace

bool SizeWall(const ShellModel& base, double step, ShellModel& sized, std::string& report, std::string& error) {
  static ShellSolution s;
  if (!(base.AllowableStress > 0)) {
    error = "--size-wall needs an allowable stress: allowable_stress in the file or --set allowable_stress=VALUE";
    return false;
  }
  ShellModel m = base;
  Solve(m, s);
  if (!(error = FaultText(m, s)).empty()) return false;
  const float baseMass = s.WallMass;
  const int segs = SegmentCount(m);
  double peak[kMaxSections + 1] = {};

  // With the forces of the last solution the stress of a segment falls as
  // 1 / t; the forces move a little with the wall's weight, so the
  // thicknesses are taken again until they settle.
  bool settled = false;
  for (int round = 0; round < 100 && !settled; ++round) {
    SegmentPeaks(m, s, peak);
    settled = true;
    for (int i = 1; i <= segs; ++i) {
      const double need = m.Thickness[i] * peak[i] / m.AllowableStress;
      const float t = static_cast<float>(std::fmax(1, std::ceil(need / step - 1e-9)) * step);
      if (t != m.Thickness[i]) settled = false;
      m.Thickness[i] = t;
    }
    Solve(m, s);
    if (!(error = FaultText(m, s)).empty()) return false;
  }
  SegmentPeaks(m, s, peak);
  if (!settled || !WithinAllowable(m, peak)) {
    error = "--size-wall: the thicknesses do not settle within the allowable stress (is the wall's own weight "
            "alone too much?)";
    return false;
  }
  // One step less where the whole shell stays within the allowable.
  for (bool thinner = true; thinner;) {
    thinner = false;
    for (int i = 1; i <= segs; ++i) {
      if (m.Thickness[i] <= step * 1.5) continue;
      const float kept = m.Thickness[i];
      m.Thickness[i] = static_cast<float>(kept - step);
      Solve(m, s);
      SegmentPeaks(m, s, peak);
      if (FaultText(m, s).empty() && WithinAllowable(m, peak)) {
        thinner = true;
      } else {
        m.Thickness[i] = kept;
      }
    }
  }
  Solve(m, s);
  SegmentPeaks(m, s, peak);

  report = "segment  thickness, mm  sized, mm  peak equivalent stress, MPa\n";
  for (int i = 1; i <= segs; ++i)
    report += gfx::FormatFixed(i, 7, 0) + gfx::FormatKeepingDigits(base.Thickness[i], 15, 3) +
              gfx::FormatKeepingDigits(m.Thickness[i], 11, 3) + gfx::FormatKeepingDigits(peak[i], 29, 3) + "\n";
  const double saved = static_cast<double>(baseMass) - s.WallMass;
  report += "wall mass, kg: " + gfx::FormatKeepingDigits(baseMass, 1, 3) + " -> " +
            gfx::FormatKeepingDigits(s.WallMass, 1, 3) + (saved >= 0 ? ", saved " : ", added ") +
            gfx::FormatKeepingDigits(std::fabs(saved), 1, 3) + "\n";
  sized = m;
  return true;
}

}  // namespace app
