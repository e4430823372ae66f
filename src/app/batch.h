// src/app/batch.h — the command line: batch report and node table, help,
// version. Engineers script their studies with these.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "app/model_fields.h"
#include "app/bending_solver.h"
#include "app/shell_model.h"
#include "app/shell_solver.h"
#include "exchange/exchange.h"

namespace app {

// The program's version ("2.1"), the project version of CMakeLists.txt.
extern const char* const kVersion;

// Loads the data file at path (any path) into m. On failure m is unchanged
// and error names the file, the line and what was expected (UTF-8).
bool LoadShellFile(const std::string& path, ShellModel& m, std::string& error);

// The result table as text: the title, one row a line, an empty line for
// each gap, the step note when the step was enlarged, then an empty line
// and the block of peaks with the margin (UTF-8); with a bending analysis
// b, its rows and blocks too.
std::string ResultReport(const ShellModel& m, const ShellSolution& s, const BendingSolution* b = nullptr);

// The node table as CSV (header and one row per node), fields separated by
// separator; with ';' the numbers take a decimal comma. After the solver's
// columns: arc_length (mm along the meridian from the first node) and
// equivalent_stress (MPa, by the model's rule).
// With a bending analysis b, the forces, stresses, strains and
// displacements are its own, its columns follow, and each lid's rows come
// before the first segment's and after the last's.
std::string NodeTableCsv(const ShellModel& m, const ShellSolution& s, char separator = ',',
                         const BendingSolution* b = nullptr);

// The shell as the CalculiX deck writer takes it: the solution's nodes and
// normals, each segment's shape and wall, the material, loads and support.
// With bending, the model for comparing the bending analysis: finer, the
// support holding its section's mean, the lids as plates.
void CcxShellOf(const ShellModel& m, const ShellSolution& s, exchange::CcxShell& c, bool bending = false);

// What the command line asks of the interactive program: the window, or a
// scripted run on the image driver.
struct InteractiveRun {
  bool Scripted = false;
  bool Export = false;             // --export FORMAT OUT [FILE]
  std::string Format, Out;
  std::string Page;                // --page: "A4" or "A3"; "" the default sheet
  std::string Script, Shot;
  int Width = 1280, Height = 1024;
  std::vector<std::string> Args;  // the start file's name, when given
  bool Fit = false;                // --fit: the picture's scales fitted after loading and before --shot
  std::vector<ModelSetting> Sets;  // --set, in their order, applied after loading
};

// Applies the --set values in their order; false with a message (UTF-8).
bool ApplySettings(ShellModel& m, const std::vector<ModelSetting>& sets, std::string& error);

// Runs a batch command line. Returns the exit status, or -1 when the
// arguments ask for the interactive program (described in run).
int RunCommandLine(int argc, char** argv, std::FILE* out, std::FILE* err, InteractiveRun& run);

}  // namespace app
