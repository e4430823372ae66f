// Shell data files for tests: the default shell as a test changes it, its
// bytes as the program writes them, and a file read back.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/shell_file.h"
#include "app/shell_model.h"
#include "support/run_program.h"

namespace testing_support {

inline app::ShellModel DefaultShell(const std::function<void(app::ShellModel&)>& change = {}) {
  app::ShellModel m;
  app::ResetShellModel(m);
  if (change) change(m);
  return m;
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
