// src/app/batch.cpp — the batch side of the command line.
#include "app/batch.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "app/design_check.h"
#include "app/result_table.h"
#include "app/shell_check.h"
#include "app/shell_file.h"
#include "app/study.h"
#include "exchange/exchange.h"
#include "exchange/file_io.h"
#include "exchange/file_menu.h"
#include "graphics/lang.h"
#include "platform/codepage.h"
#include "platform/file_write.h"
#include "print/print.h"

namespace app {

namespace {

constexpr int kEnglish = 1;

const char* kUsage =
    "usage: brelmora [NAME]\n"
    "       brelmora --script FILE [--size WxH] [--shot PNG] [--fit] [--set NAME=VALUE]... [NAME]\n"
    "       brelmora --export FORMAT OUT [--page A4|A3] [--fit] [--set NAME=VALUE]... [FILE]\n"
    "       brelmora --export ccx OUT.inp [--bending] [--set NAME=VALUE]... [FILE]\n"
    "       brelmora --report [--bending] [--set NAME=VALUE]... [FILE]\n"
    "       brelmora --nodes [--bending] [--csv-separator ';'] [--set NAME=VALUE]... [FILE]\n"
    "       brelmora --sweep NAME=FROM:TO:COUNT... [--part K/N] [--set NAME=VALUE]... [FILE]\n"
    "       brelmora --size-wall STEP [--set-output OUT] [--set NAME=VALUE]... [FILE]\n"
    "       brelmora --help | --version\n";

const char* kHelp =
    "Brelmora - thin-walled shells of revolution by membrane theory, with the\n"
    "bending at junctions, supports and lids on request.\n"
    "\n"
    "  brelmora [NAME]          start the program; NAME.spw in the current folder is loaded,\n"
    "                           or NAME itself when it is the path of an existing file\n"
    "  brelmora --script FILE [--size WxH] [--shot PNG] [NAME]\n"
    "                           run the program without a screen, typing the keys of FILE;\n"
    "                           --size sets the picture (1280x1024), --shot writes it at the end\n"
    "  brelmora --export FORMAT OUT [--page A4|A3] [FILE]\n"
    "                           write the picture of FILE (or of the default shell) to OUT\n"
    "                           (- the standard output);\n"
    "                           FORMAT is dxf, plt, ugf, geo, tre, pdf, svg or png;\n"
    "                           pdf and svg fill a landscape A4 sheet, or A3 with --page A3;\n"
    "                           ccx writes the shell as a CalculiX model instead; with\n"
    "                           --bending the finer model that checks the bending analysis\n"
    "                           (lids as plates, the support holding its section's mean)\n"
    "  --fit                    with --export and --script: fit the picture's scales to the\n"
    "                           shell and the window after loading (and before --shot), as\n"
    "                           the main menu's key 7 \"Fit scales\" does\n"
    "  brelmora --report [--bending] [FILE]\n"
    "                           print the result table of FILE (or of the default shell) and\n"
    "                           the peak stresses and displacements with the margin\n"
    "  brelmora --nodes [--bending] [--csv-separator ';'] [FILE]\n"
    "                           print the results at every node of FILE as CSV; with ';'\n"
    "                           the numbers have a decimal comma, for spreadsheets\n"
    "  --bending                with --report and --nodes: the bending analysis, with the\n"
    "                           moments, the transverse shear and the stresses at the inner\n"
    "                           and outer surfaces, the lids' rows, and each segment's and\n"
    "                           lid's largest equivalent stress. Membrane results hold away\n"
    "                           from junctions, supports and lids; near them the wall bends\n"
    "                           and the surface peaks govern the design.\n"
    "  --set NAME=VALUE         change a value of the model after loading (repeatable; with\n"
    "                           --report, --nodes, --export, --script, --sweep, --size-wall);\n"
    "                           NAME:SECTION for one section, e.g. thickness:2=5\n"
    "  brelmora --sweep NAME=FROM:TO:COUNT... [--part K/N] [FILE]\n"
    "                           solve every variant of the grid of the sweeps and print one\n"
    "                           CSV row each; --part K/N prints only the K-th of N parts\n"
    "  brelmora --size-wall STEP [--set-output OUT] [FILE]\n"
    "                           the smallest thickness of each segment, a multiple of STEP mm,\n"
    "                           that keeps the equivalent stress within allowable_stress;\n"
    "                           --set-output writes the sized shell as a data file\n"
    "  brelmora --help          this text\n"
    "  brelmora --version       the version\n"
    "\n"
    "\n"
    "In the program: Alt-Backspace undoes the last edit and Alt-Shift-Backspace\n"
    "redoes it (also Edit > Undo and Redo in the menu bar); F1 shows the help of\n"
    "what is being done; Ctrl-K switches the language. Unsaved work is kept in\n"
    "$XDG_STATE_HOME/brelmora (~/.local/state/brelmora) and offered back after a crash.\n"
    "\n"
    "FILE is any path to a data file (.spw). Exit status: 0 done, 1 the file\n"
    "could not be read or written or its results are not finite numbers, 2 wrong\n"
    "usage.\n"
    "\n"
    "The names of --set and --sweep:\n";

}  // namespace

bool LoadShellFile(const std::string& path, ShellModel& m, std::string& error) {
  DataFile f;
  std::string why;
  if (!exchange::ReadWholeFile(path, f.Text, why)) {
    error = path + ": " + why;
    return false;
  }
  std::string comment;
  LoadShellData(f, comment, m);
  if (f.Failed()) {
    error = path + ": " + gfx::Utf8FromScreen(DataFileFault(f, kEnglish));
    return false;
  }
  return true;
}

std::string ResultReport(const ShellModel& m, const ShellSolution& s, const BendingSolution* b) {
  std::string out = gfx::Utf8FromScreen(gfx::LangPartOf(ResultTableTitle(), 0)) + "\n";
  ResultRow rows[kResultRows + kBendingRows];
  const int count = TableRows(m, s, b, rows);
  for (int i = 0; i < count; ++i) {
    const ResultRow& row = rows[i];
    if (row.GapBefore) out += "\n";
    out += gfx::Utf8FromScreen(ResultRowText(row, 0)) + "\n";
  }
  std::string note = StepEnlargedNote(s);
  if (!note.empty()) out += gfx::Utf8FromScreen(gfx::LangPartOf(note, 0)) + "\n";
  return out + "\n" + PeakReport(m, s, b);
}

std::string NodeTableCsv(const ShellModel& m, const ShellSolution& s, char separator,
                         const BendingSolution* b) {
  static constexpr const char* kColumns[] = {
      "segment", "node", "r", "z", "normal_r", "normal_z", "pressure", "axial_force",
      "meridional_force", "hoop_force", "meridional_stress", "hoop_stress", "meridional_strain",
      "hoop_strain", "radial_displacement", "axial_displacement", "tangential_displacement",
      "normal_displacement", "arc_length", "equivalent_stress"};
  static constexpr const char* kBendingColumns[] = {
      "meridional_moment", "hoop_moment", "transverse_shear", "meridional_stress_inner",
      "meridional_stress_outer", "hoop_stress_inner", "hoop_stress_outer", "equivalent_stress_inner",
      "equivalent_stress_outer"};
  std::string out;
  for (const char* column : kColumns) {
    if (!out.empty()) out += separator;
    out += column;
  }
  if (b != nullptr)
    for (const char* column : kBendingColumns) out += separator + std::string(column);
  out += '\n';
  // A spreadsheet that takes ';' between fields takes a comma in numbers.
  const bool decimalComma = separator == ';';
  const int segs = SegmentCount(m);
  static float arc[kNodeCapacity];
  MeridianArcLengths(m, s, arc);
  char buf[64];
  auto add = [&](std::initializer_list<float> values) {
    for (float v : values) {
      std::snprintf(buf, sizeof buf, "%c%.9g", separator, static_cast<double>(v));
      if (decimalComma) std::replace(buf + 1, buf + std::strlen(buf), '.', ',');
      out += buf;
    }
  };
  auto equivalent = [&](double s1, double s2) { return static_cast<float>(EquivalentStress(s1, s2, m.EquivalenceRule)); };
  // A row of the bending analysis: entry k on segment i (a lid: 0 or the
  // section count) at arc length `along`.
  auto bendingRow = [&](int i, int k, float axial, float along) {
    const double t = b->Thickness[k], young = m.YoungModulus, nu = m.PoissonRatio;
    const double t1 = b->MeridionalForce[k], t2 = b->HoopForce[k];
    const double ur = b->RadialDisplacement[k], uz = b->AxialDisplacement[k];
    const double nr = b->NormalR[k], nz = b->NormalZ[k];
    std::snprintf(buf, sizeof buf, "%d%c%d", i, separator, k);
    out += buf;
    add({b->NodeR[k], b->NodeZ[k], b->NormalR[k], b->NormalZ[k], b->Pressure[k], axial,
         static_cast<float>(t1), static_cast<float>(t2), static_cast<float>(t1 / t), static_cast<float>(t2 / t),
         static_cast<float>((t1 - nu * t2) / (young * t)), static_cast<float>((t2 - nu * t1) / (young * t)),
         static_cast<float>(ur), static_cast<float>(uz), static_cast<float>(uz * nr - ur * nz),
         static_cast<float>(ur * nr + uz * nz), along, equivalent(t1 / t, t2 / t), b->MeridionalMoment[k],
         b->HoopMoment[k], b->TransverseShear[k], b->MeridionalStressInner[k], b->MeridionalStressOuter[k],
         b->HoopStressInner[k], b->HoopStressOuter[k],
         equivalent(b->MeridionalStressInner[k], b->HoopStressInner[k]),
         equivalent(b->MeridionalStressOuter[k], b->HoopStressOuter[k])});
    out += "\n";
  };
  // A lid's rows from the axis outward; its axial force is the pressure on
  // it inside the node's radius, its arc length the distance from the axis.
  auto lidRows = [&](int lid, int segment) {
    const int first = LidFirstNode(*b, lid);
    for (int k = first; k < first + b->LidNodeCount[lid]; ++k) {
      const double r = b->NodeR[k];
      bendingRow(segment, k, static_cast<float>(3.14159265358979323846 * r * r * b->Pressure[k]), b->NodeR[k]);
    }
  };
  if (b != nullptr) lidRows(0, 0);
  for (int i = 1; i <= segs; ++i) {
    int first = s.SegmentFirstNode[i];
    for (int k = first + 1; k <= first + s.SegmentNodeCount[i] && k <= s.NodeCount; ++k) {
      if (b != nullptr) {
        bendingRow(i, k, s.AxialForce[k], arc[k]);
        continue;
      }
      std::snprintf(buf, sizeof buf, "%d%c%d", i, separator, k);
      out += buf;
      add({s.NodeR[k], s.NodeZ[k], s.NormalR[k], s.NormalZ[k], s.Pressure[k], s.AxialForce[k],
           s.MeridionalForce[k], s.HoopForce[k], s.MeridionalStress[k], s.HoopStress[k],
           s.MeridionalStrain[k], s.HoopStrain[k], s.RadialDisplacement[k], s.AxialDisplacement[k],
           s.TangentialDisplacement[k], s.NormalDisplacement[k], arc[k],
           equivalent(s.MeridionalStress[k], s.HoopStress[k])});
      out += "\n";
    }
  }
  if (b != nullptr) lidRows(1, segs + 1);
  return out;
}

namespace {
// A float as the decimal number it prints as (9.80665f gives 9.80665), so
// that the deck shows the values the user typed.
double Decimal(float v) {
  char buf[32];
  auto end = std::to_chars(buf, buf + sizeof buf, v).ptr;
  *end = '\0';
  return std::strtod(buf, nullptr);
}
}  // namespace

void CcxShellOf(const ShellModel& m, const ShellSolution& s, exchange::CcxShell& c, bool bending) {
  static_assert(exchange::kCcxMaxNodes >= kMaxNodes && exchange::kCcxMaxSegments >= kMaxSegments);
  c.SegmentCount = SegmentCount(m);
  c.NodeCount = s.NodeCount;
  for (int i = 1; i <= c.SegmentCount; ++i) {
    const SegmentShape g = SegmentGeometry(i, m);
    exchange::CcxSegment& seg = c.Segment[i];
    seg.FirstNode = s.SegmentFirstNode[i];
    seg.NodeCount = s.SegmentNodeCount[i];
    seg.Arc = g.Kind != 0;
    seg.CentreR = Decimal(g.CentreR);
    seg.CentreZ = Decimal(g.CentreZ);
    seg.Thickness = Decimal(g.Thickness);
  }
  for (int k = 1; k <= s.NodeCount; ++k) {
    c.NodeR[k] = Decimal(s.NodeR[k]);
    c.NodeZ[k] = Decimal(s.NodeZ[k]);
    c.NormalR[k] = Decimal(s.NormalR[k]);
    c.NormalZ[k] = Decimal(s.NormalZ[k]);
  }
  c.YoungModulus = Decimal(m.YoungModulus);
  c.PoissonRatio = Decimal(m.PoissonRatio);
  c.WallDensity = Decimal(m.WallDensity);
  c.InternalPressure = Decimal(m.InternalPressure);
  c.LiquidDensity = Decimal(m.LiquidDensity);
  c.LiquidLevel = Decimal(m.LiquidLevel);
  c.Gravity = Decimal(m.Gravity);
  c.Overload = Decimal(m.Overload);
  c.SupportSection = std::clamp(m.SupportSection, 1, c.SegmentCount + 1);
  // The model for the bending analysis: six elements through the wall and
  // four along a step for the surface stresses, the support holding its
  // section's mean, and the lids as plates with the bending analysis' nodes.
  c.ElementsThroughWall = bending ? 6 : 4;
  c.ElementsPerStep = bending ? 4 : 2;
  c.SupportHoldsMeanOfSection = bending;
  c.LidsAsPlates = bending;
  c.LidNodes[0] = c.LidNodes[1] = 0;
  if (bending && c.NodeCount >= 1) {
    c.LidNodes[0] = LidNodeCount(c.NodeR[1], s.EffectiveStep);
    c.LidNodes[1] = LidNodeCount(c.NodeR[c.NodeCount], s.EffectiveStep);
  }
}

bool ApplySettings(ShellModel& m, const std::vector<ModelSetting>& sets, std::string& error) {
  for (const ModelSetting& set : sets)
    if (!ApplySetting(m, set, error)) return false;
  return true;
}

namespace {

int Usage(std::FILE* err, const std::string& message) {
  std::fprintf(err, "brelmora: %s\n%s", message.c_str(), kUsage);
  return 2;
}

// --part K/N: whole numbers, 1 ≤ K ≤ N.
bool ParsePart(const std::string& text, long long& k, long long& n) {
  char extra = 0;
  return std::sscanf(text.c_str(), "%lld/%lld%c", &k, &n, &extra) == 2 && n >= 1 && k >= 1 && k <= n &&
         n <= kMostVariants;
}

}  // namespace

namespace {

constexpr int kGoOn = -1;  // the arguments hold together: go on

enum class BatchMode { None, Report, Nodes, Ccx, Sweep, SizeWall };

// What a batch command line asks for, besides what goes into the
// InteractiveRun.
struct BatchRequest {
  BatchMode Mode = BatchMode::None;
  bool Help = false, Version = false;  // --help, --version: answered at once
  const char* File = nullptr;
  bool Bending = false;  // --bending
  char Separator = 0;    // --csv-separator; 0 when not given
  std::vector<Sweep> Sweeps;
  long long PartK = 1, PartN = 1;
  bool Part = false;
  double WallStep = 0;
  std::string SetOutput;
  // The batch commands go alone: a second one that differs is refused.
  bool SetMode(BatchMode m) {
    if (Mode != BatchMode::None && Mode != m) return false;
    Mode = m;
    return true;
  }
};

// An option with a value (argv's next word); kGoOn, or the exit status
// after the message.
int ParseValue(std::string_view a, const std::string& value, std::FILE* err, InteractiveRun& run,
               BatchRequest& q) {
  std::string error;
  if (a == "--page") {
    const print::PageFormat* page = print::FindPageFormat(value);
    if (page == nullptr) {
      std::fprintf(err, "brelmora: --page wants A4 or A3, not %s\n", value.c_str());
      return 2;
    }
    run.Page = page->Name;
  } else if (a == "--csv-separator") {
    if (value != "," && value != ";") {
      std::fprintf(err, "brelmora: --csv-separator wants ',' or ';', not %s\n", value.c_str());
      return 2;
    }
    q.Separator = value[0];
  } else if (a == "--script") {
    run.Scripted = true;
    run.Script = value;
  } else if (a == "--shot") {
    run.Shot = value;
  } else if (a == "--size") {
    int w = 0, h = 0;
    char extra = 0;
    if (std::sscanf(value.c_str(), "%dx%d%c", &w, &h, &extra) != 2 || w < 200 || h < 150 ||
        w > 8192 || h > 8192) {
      std::fprintf(err, "brelmora: --size wants WxH from 200x150 to 8192x8192, not %s\n",
                   value.c_str());
      return 2;
    }
    run.Width = w;
    run.Height = h;
  } else if (a == "--set") {
    ModelSetting set;
    if (!ParseSetting(value, set, error)) {
      std::fprintf(err, "brelmora: %s", (error + "\n").c_str());
      return 2;
    }
    run.Sets.push_back(set);
  } else if (a == "--sweep") {
    Sweep sweep;
    if (!ParseSweep(value, sweep, error) || !q.SetMode(BatchMode::Sweep))
      return Usage(err, error.empty() ? "--sweep goes alone" : error);
    q.Sweeps.push_back(sweep);
  } else if (a == "--part") {
    if (!ParsePart(value, q.PartK, q.PartN)) return Usage(err, "--part wants K/N with 1 <= K <= N, not " + value);
    q.Part = true;
  } else if (a == "--size-wall") {
    if (!ParseCommandNumber(value, q.WallStep) || !(q.WallStep > 0))
      return Usage(err, "--size-wall wants a step in mm above 0, not " + value);
    if (!q.SetMode(BatchMode::SizeWall)) return Usage(err, "--size-wall goes alone");
  } else {
    q.SetOutput = value;
  }
  return kGoOn;
}

// The words of the command line, one by one; stops at --help and
// --version. kGoOn, or the exit status after the message.
int ParseArguments(int argc, char** argv, std::FILE* err, InteractiveRun& run, BatchRequest& q) {
  for (int i = 1; i < argc; ++i) {
    std::string_view a = argv[i];
    if (a == "--export") {
      if (i + 2 >= argc) return Usage(err, "--export needs FORMAT and OUT");
      run.Export = true;
      run.Format = argv[++i];
      run.Out = argv[++i];
      if (exchange::FindExportFormat(run.Format) == nullptr)
        return Usage(err, "unknown export format " + run.Format);
      continue;
    }
    if (a == "--fit") {
      run.Fit = true;
      continue;
    }
    if (a == "--bending") {
      q.Bending = true;
      continue;
    }
    static const char* const kWithValue[] = {"--page", "--csv-separator", "--script", "--shot", "--size",
                                             "--set", "--sweep", "--part", "--size-wall", "--set-output"};
    bool withValue = false;
    for (const char* o : kWithValue) withValue = withValue || a == o;
    if (withValue) {
      if (i + 1 >= argc) return Usage(err, std::string(a) + " needs a value");
      const int status = ParseValue(a, argv[++i], err, run, q);
      if (status != kGoOn) return status;
      continue;
    }
    if (a == "--help" || a == "-h" || a == "--version") {
      (a == "--version" ? q.Version : q.Help) = true;
      return kGoOn;
    }
    if (a == "--report" || a == "--nodes") {
      if (!q.SetMode(a == "--report" ? BatchMode::Report : BatchMode::Nodes))
        return Usage(err, "--report, --nodes, --sweep and --size-wall go alone");
    } else if (a.size() > 1 && a[0] == '-' && a != "--") {
      return Usage(err, "unknown option " + std::string(a));
    } else {
      if (a == "--") {
        if (++i >= argc) break;
      }
      if (q.File != nullptr) return Usage(err, "more than one file named");
      q.File = argv[i];
    }
  }
  return kGoOn;
}

// The options that go only with others; --export ccx makes a batch command
// of its own. kGoOn, or the exit status after the message.
int CheckCombinations(std::FILE* err, InteractiveRun& run, BatchRequest& q) {
  const BatchMode mode = q.Mode;
  if (run.Export && (mode != BatchMode::None || run.Scripted)) return Usage(err, "--export goes alone");
  if (!run.Page.empty() && !(run.Export && (run.Format == "pdf" || run.Format == "svg")))
    return Usage(err, "--page goes with --export pdf or svg");
  if (q.Separator != 0 && mode != BatchMode::Nodes) return Usage(err, "--csv-separator goes with --nodes");
  if (q.Part && mode != BatchMode::Sweep) return Usage(err, "--part goes with --sweep");
  if (!q.SetOutput.empty() && mode != BatchMode::SizeWall) return Usage(err, "--set-output goes with --size-wall");
  if (run.Fit && !run.Export && !run.Scripted) return Usage(err, "--fit goes with --export or --script");
  if (run.Export && run.Format == "ccx") q.Mode = BatchMode::Ccx;  // the shell, not the picture: no window
  if (q.Bending && q.Mode != BatchMode::Report && q.Mode != BatchMode::Nodes && q.Mode != BatchMode::Ccx)
    return Usage(err, "--bending goes with --report, --nodes or --export ccx");
  if ((q.Mode == BatchMode::None || q.Mode == BatchMode::Ccx) && !run.Scripted &&
      (!run.Shot.empty() || run.Width != 1280 || run.Height != 1024))
    return Usage(err, "--size and --shot go with --script");
  if (q.Mode == BatchMode::None) {
    if (!run.Sets.empty() && !run.Export && !run.Scripted)
      return Usage(err, "--set goes with --report, --nodes, --export, --script, --sweep or --size-wall");
    return kGoOn;
  }
  if (run.Scripted) return Usage(err, "--script does not go with --report, --nodes, --sweep or --size-wall");
  return kGoOn;
}

// Writes text to out; 0, or 1 with a message when it cannot.
int WriteOutput(const std::string& text, std::FILE* out, std::FILE* err) {
  std::fwrite(text.data(), 1, text.size(), out);
  if (std::fflush(out) != 0) {
    std::fprintf(err, "brelmora: cannot write the output: %s\n", std::strerror(errno));
    return 1;
  }
  return 0;
}

int RunSizeWall(const ShellModel& m, const BatchRequest& q, std::FILE* out, std::FILE* err) {
  ShellModel sized;
  std::string text, error;
  if (!SizeWall(m, q.WallStep, sized, text, error)) {
    std::fprintf(err, "brelmora: %s\n", error.c_str());
    return m.AllowableStress > 0 ? 1 : 2;
  }
  if (!q.SetOutput.empty()) {
    DataFile f;
    SaveShellData(f, "", sized);
    if (!platform::WriteFileAtomic(q.SetOutput, f.Text, error)) {
      std::fprintf(err, "brelmora: %s: %s\n", q.SetOutput.c_str(), error.c_str());
      return 1;
    }
  }
  return WriteOutput(text, out, err);
}

// The solved shell: the CalculiX deck, the report or the node table.
int RunSolved(ShellModel& m, const BatchRequest& q, const InteractiveRun& run, std::FILE* out,
              std::FILE* err) {
  static ShellSolution s;  // large: kept off the stack
  SolveShell(m, s);
  SolveShell(m, s);
  std::string error;
  if (q.Mode == BatchMode::Ccx) {
    CcxShellOf(m, s, exchange::Ccx, q.Bending);
    error = exchange::CcxFault(exchange::Ccx);
    if (error.empty() && !exchange::RunExport(run.Out, exchange::ExportCCX, error) && error.empty())
      error = "failed";
    if (!error.empty()) {
      std::fprintf(err, "brelmora: %s: %s\n", run.Out.c_str(), error.c_str());
      return 1;
    }
    return 0;
  }
  const std::string fault = ShellFault(m, s);
  if (!fault.empty()) {
    std::fprintf(err, "brelmora: %s: %s\n", q.File != nullptr ? q.File : "the default shell",
                 gfx::Utf8FromScreen(gfx::LangPartOf(fault, kEnglish)).c_str());
    return 1;
  }
  static BendingSolution b;  // large: kept off the stack
  if (q.Bending) {
    SolveBending(m, s, b);
    if (b.Fault != BendingFault::None) {
      std::string why = gfx::Utf8FromScreen(gfx::LangPartOf(BendingFaultText(b), kEnglish));
      std::fprintf(err, "brelmora: %s\n", why.substr(why.find_first_not_of(' ')).c_str());
      return 1;
    }
  }
  const BendingSolution* shown = q.Bending ? &b : nullptr;
  return WriteOutput(q.Mode == BatchMode::Report
                         ? ResultReport(m, s, shown)
                         : NodeTableCsv(m, s, q.Separator != 0 ? q.Separator : ',', shown),
                     out, err);
}

// A batch command: the shell loaded and changed, then its command run.
int RunBatch(const BatchRequest& q, const InteractiveRun& run, std::FILE* out, std::FILE* err) {
  ShellModel m;
  ResetShellModel(m);
  std::string error;
  if (q.File != nullptr && !LoadShellFile(q.File, m, error)) {
    std::fprintf(err, "brelmora: %s\n", error.c_str());
    return 1;
  }
  if (!ApplySettings(m, run.Sets, error)) {
    std::fprintf(err, "brelmora: --set %s\n", error.c_str());
    return 2;
  }
  if (q.Mode == BatchMode::Sweep) {
    long long variants = 0;
    if (!CheckSweeps(m, q.Sweeps, variants, error)) return Usage(err, error);
    const long long first = variants * (q.PartK - 1) / q.PartN, last = variants * q.PartK / q.PartN;
    if (!RunSweep(m, q.Sweeps, first, last, q.PartK == 1, out)) {
      std::fprintf(err, "brelmora: cannot write the output: %s\n", std::strerror(errno));
      return 1;
    }
    return 0;
  }
  if (q.Mode == BatchMode::SizeWall) return RunSizeWall(m, q, out, err);
  return RunSolved(m, q, run, out, err);
}

}  // namespace

int RunCommandLine(int argc, char** argv, std::FILE* out, std::FILE* err, InteractiveRun& run) {
  BatchRequest q;
  int status = ParseArguments(argc, argv, err, run, q);
  if (status != kGoOn) return status;
  if (q.Help) {
    std::fputs(kHelp, out);
    std::fputs(ModelFieldNames().c_str(), out);
    return 0;
  }
  if (q.Version) {
    std::fprintf(out, "brelmora %s\n", kVersion);
    return 0;
  }
  status = CheckCombinations(err, run, q);
  if (status != kGoOn) return status;
  if (q.Mode == BatchMode::None) {  // the program itself, in a window or scripted
    if (q.File != nullptr) run.Args.push_back(q.File);
    return -1;
  }
  return RunBatch(q, run, out, err);
}

}  // namespace app
