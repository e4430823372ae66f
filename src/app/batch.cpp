// src/app/batch.cpp — the batch side of the command line.
#include "app/batch.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "app/result_table.h"
#include "app/shell_file.h"
#include "exchange/exchange.h"
#include "exchange/file_io.h"
#include "graphics/codepage.h"
#include "graphics/lang.h"
#include "print/print.h"

namespace app {

namespace {

constexpr int kEnglish = 1;

const char* kUsage =
    "usage: brelmora [NAME]\n"
    "       brelmora --script FILE [--size WxH] [--shot PNG] [NAME]\n"
    "       brelmora --export FORMAT OUT [--page A4|A3] [FILE]\n"
    "       brelmora --report [FILE]\n"
    "       brelmora --nodes [--csv-separator ';'] [FILE]\n"
    "       brelmora --help | --version\n";

const char* kHelp =
    "Brelmora - thin-walled shells of revolution by membrane theory.\n"
    "\n"
    "  brelmora [NAME]          start the program; NAME.spw in the current folder is loaded,\n"
    "                           or NAME itself when it is the path of an existing file\n"
    "  brelmora --script FILE [--size WxH] [--shot PNG] [NAME]\n"
    "                           run the program without a screen, typing the keys of FILE;\n"
    "                           --size sets the picture (1280x1024), --shot writes it at the end\n"
    "  brelmora --export FORMAT OUT [--page A4|A3] [FILE]\n"
    "                           write the picture of FILE (or of the default shell) to OUT;\n"
    "                           FORMAT is dxf, plt, ugf, geo, tre, pdf, svg or png;\n"
    "                           pdf and svg fill a landscape A4 sheet, or A3 with --page A3;\n"
    "                           ccx writes the shell as a CalculiX model instead\n"
    "  brelmora --report [FILE] print the result table of FILE (or of the default shell)\n"
    "  brelmora --nodes [--csv-separator ';'] [FILE]\n"
    "                           print the results at every node of FILE as CSV; with ';'\n"
    "                           the numbers have a decimal comma, for spreadsheets\n"
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
    "could not be read, 2 wrong usage.\n";

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

std::string ResultReport(const ShellModel& m, const ShellSolution& s) {
  std::string out = gfx::Utf8FromScreen(gfx::LangPartOf(ResultTableTitle(), 0)) + "\n";
  ResultRow rows[kResultRows];
  ResultTableRows(m, s, rows);
  for (const ResultRow& row : rows) {
    if (row.GapBefore) out += "\n";
    out += gfx::Utf8FromScreen(ResultRowText(row, 0)) + "\n";
  }
  std::string note = StepEnlargedNote(s);
  if (!note.empty()) out += gfx::Utf8FromScreen(gfx::LangPartOf(note, 0)) + "\n";
  return out;
}

std::string NodeTableCsv(const ShellModel& m, const ShellSolution& s, char separator) {
  static constexpr const char* kColumns[] = {
      "segment", "node", "r", "z", "normal_r", "normal_z", "pressure", "axial_force",
      "meridional_force", "hoop_force", "meridional_stress", "hoop_stress", "meridional_strain",
      "hoop_strain", "radial_displacement", "axial_displacement", "tangential_displacement",
      "normal_displacement"};
  std::string out;
  for (const char* column : kColumns) {
    if (!out.empty()) out += separator;
    out += column;
  }
  out += '\n';
  // A spreadsheet that takes ';' between fields takes a comma in numbers.
  const bool decimalComma = separator == ';';
  const int segs = SegmentCount(m);
  char buf[64];
  for (int i = 1; i <= segs; ++i) {
    int first = s.SegmentFirstNode[i];
    for (int k = first + 1; k <= first + s.SegmentNodeCount[i] && k <= s.NodeCount; ++k) {
      std::snprintf(buf, sizeof buf, "%d%c%d", i, separator, k);
      out += buf;
      const float values[] = {s.NodeR[k], s.NodeZ[k], s.NormalR[k], s.NormalZ[k], s.Pressure[k],
                              s.AxialForce[k], s.MeridionalForce[k], s.HoopForce[k],
                              s.MeridionalStress[k], s.HoopStress[k], s.MeridionalStrain[k],
                              s.HoopStrain[k], s.RadialDisplacement[k], s.AxialDisplacement[k],
                              s.TangentialDisplacement[k], s.NormalDisplacement[k]};
      for (float v : values) {
        std::snprintf(buf, sizeof buf, "%c%.9g", separator, static_cast<double>(v));
        if (decimalComma) std::replace(buf + 1, buf + std::strlen(buf), '.', ',');
        out += buf;
      }
      out += "\n";
    }
  }
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

void CcxShellOf(const ShellModel& model, const ShellSolution& s, exchange::CcxShell& c) {
  static_assert(exchange::kCcxMaxNodes >= kMaxNodes && exchange::kCcxMaxSegments >= kMaxSections - 1);
  ShellModel m = model;  // the geometry may raise an arc radius; the caller's model stays
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
}

int RunCommandLine(int argc, char** argv, std::FILE* out, std::FILE* err, InteractiveRun& run) {
  enum { kNone, kReport, kNodes, kCcx } mode = kNone;
  const char* file = nullptr;
  char separator = 0;  // --csv-separator; 0 when not given
  for (int i = 1; i < argc; ++i) {
    std::string_view a = argv[i];
    if (a == "--export") {
      if (i + 2 >= argc) {
        std::fprintf(err, "brelmora: --export needs FORMAT and OUT\n%s", kUsage);
        return 2;
      }
      run.Export = true;
      run.Format = argv[++i];
      run.Out = argv[++i];
      static const char* const kFormats[] = {"dxf", "plt", "ugf", "geo", "tre",
                                             "pdf", "svg", "png", "ccx"};
      bool known = false;
      for (const char* f : kFormats) known = known || run.Format == f;
      if (!known) {
        std::fprintf(err, "brelmora: unknown export format %s\n%s", run.Format.c_str(), kUsage);
        return 2;
      }
      continue;
    }
    if (a == "--page" || a == "--csv-separator") {
      if (i + 1 >= argc) {
        std::fprintf(err, "brelmora: %s needs a value\n%s", argv[i], kUsage);
        return 2;
      }
      std::string value = argv[++i];
      if (a == "--page") {
        const print::PageFormat* page = print::FindPageFormat(value);
        if (page == nullptr) {
          std::fprintf(err, "brelmora: --page wants A4 or A3, not %s\n", value.c_str());
          return 2;
        }
        run.Page = page->Name;
      } else {
        if (value != "," && value != ";") {
          std::fprintf(err, "brelmora: --csv-separator wants ',' or ';', not %s\n", value.c_str());
          return 2;
        }
        separator = value[0];
      }
      continue;
    }
    if (a == "--script" || a == "--shot" || a == "--size") {
      if (i + 1 >= argc) {
        std::fprintf(err, "brelmora: %s needs a value\n%s", argv[i], kUsage);
        return 2;
      }
      std::string value = argv[++i];
      if (a == "--script") {
        run.Scripted = true;
        run.Script = value;
      } else if (a == "--shot") {
        run.Shot = value;
      } else {
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
      }
      continue;
    }
    if (a == "--help" || a == "-h") {
      std::fputs(kHelp, out);
      return 0;
    }
    if (a == "--version") {
      std::fprintf(out, "brelmora %s\n", kVersion);
      return 0;
    }
    if (a == "--report" || a == "--nodes") {
      if (mode != kNone) {
        std::fprintf(err, "brelmora: --report and --nodes go alone\n%s", kUsage);
        return 2;
      }
      mode = a == "--report" ? kReport : kNodes;
    } else if (a.size() > 1 && a[0] == '-' && a != "--") {
      std::fprintf(err, "brelmora: unknown option %s\n%s", argv[i], kUsage);
      return 2;
    } else {
      if (a == "--") {
        if (++i >= argc) break;
      }
      if (file != nullptr) {
        std::fprintf(err, "brelmora: more than one file named\n%s", kUsage);
        return 2;
      }
      file = argv[i];
    }
  }
  if (run.Export && (mode != kNone || run.Scripted)) {
    std::fprintf(err, "brelmora: --export goes alone\n%s", kUsage);
    return 2;
  }
  if (!run.Page.empty() && !(run.Export && (run.Format == "pdf" || run.Format == "svg"))) {
    std::fprintf(err, "brelmora: --page goes with --export pdf or svg\n%s", kUsage);
    return 2;
  }
  if (separator != 0 && mode != kNodes) {
    std::fprintf(err, "brelmora: --csv-separator goes with --nodes\n%s", kUsage);
    return 2;
  }
  if (run.Export && run.Format == "ccx") mode = kCcx;  // the shell, not the picture: no window
  if (mode == kNone || mode == kCcx) {
    if (!run.Scripted && (!run.Shot.empty() || run.Width != 1280 || run.Height != 1024)) {
      std::fprintf(err, "brelmora: --size and --shot go with --script\n%s", kUsage);
      return 2;
    }
  }
  if (mode == kNone) {
    if (file != nullptr) run.Args.push_back(file);
    return -1;
  }
  if (run.Scripted) {
    std::fprintf(err, "brelmora: --script does not go with --report or --nodes\n%s", kUsage);
    return 2;
  }

  ShellModel m;
  ResetShellModel(m);
  if (file != nullptr) {
    std::string error;
    if (!LoadShellFile(file, m, error)) {
      std::fprintf(err, "brelmora: %s\n", error.c_str());
      return 1;
    }
  }
  static ShellSolution s;  // large: kept off the stack
  SolveShell(m, s);
  SolveShell(m, s);
  if (mode == kCcx) {
    CcxShellOf(m, s, exchange::Ccx);
    std::string error = exchange::CcxFault(exchange::Ccx);
    if (error.empty() && !exchange::RunExport(run.Out, exchange::ExportCCX, error) && error.empty())
      error = "failed";
    if (!error.empty()) {
      std::fprintf(err, "brelmora: %s: %s\n", run.Out.c_str(), error.c_str());
      return 1;
    }
    return 0;
  }
  std::string text = mode == kReport ? ResultReport(m, s) : NodeTableCsv(m, s, separator != 0 ? separator : ',');
  std::fwrite(text.data(), 1, text.size(), out);
  if (std::fflush(out) != 0) {
    std::fprintf(err, "brelmora: cannot write the output: %s\n", std::strerror(errno));
    return 1;
  }
  return 0;
}

}  // namespace app
