// Shell data files for tests: the default shell as a test changes it, its
// bytes as the program writes them, and a file read back.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/shell_file.h"
#include "app/shell_model.h"
#include "app/shell_solver.h"
#include "support/run_program.h"

namespace testing_support {

inline app::ShellModel DefaultShell(const std::function<void(app::ShellModel&)>& change = {}) {
  app::ShellModel m;
  app::ResetShellModel(m);
  if (change) change(m);
  return m;
}

// A shell of sections {r, z, arc radius, kind of the segment from there,
// wall} over the defaults, with its loads: gas p0, liquid density and
// level, overload, wall density; and the section that holds it.
inline app::ShellModel ShellOf(const std::vector<std::array<float, 5>>& sections, float p0, float rhoL,
                               float level, float n, float rhoW, int support) {
  app::ShellModel m = DefaultShell();
  m.SectionCount = 0;
  for (auto [r, z, arc, kind, t] : sections) {
    const int i = ++m.SectionCount;
    m.SectionRadius[i] = r, m.SectionHeight[i] = z, m.ArcRadius[i] = arc, m.Thickness[i] = t;
    m.GeneratrixKind[i] = static_cast<int>(kind);
  }
  m.InternalPressure = p0, m.LiquidDensity = rhoL, m.LiquidLevel = level, m.Overload = n, m.WallDensity = rhoW;
  m.SupportSection = support;
  return m;
}

// The membrane solution of m in s, solved twice as the program solves it.
inline app::ShellSolution& Solved(app::ShellModel& m, app::ShellSolution& s) {
  app::SolveShell(m, s);
  app::SolveShell(m, s);
  return s;
}

inline std::string ShellBytes(const app::ShellModel& m) {
  app::DataFile f;
  app::SaveShellData(f, "", m);
  return f.Text;
}

inline void WriteShell(const std::string& path, const app::ShellModel& m) { WriteFile(path, ShellBytes(m)); }

// The file at path read over the default shell; a file that cannot be read
// fails the test that asked.
inline app::ShellModel ReadShell(const std::string& path) {
  app::ShellModel m = DefaultShell();
  app::DataFile f;
  f.Text = ReadFile(path);
  std::string comment;
  app::LoadShellData(f, comment, m);
  EXPECT_FALSE(f.Failed()) << path;
  return m;
}

}  // namespace testing_support
