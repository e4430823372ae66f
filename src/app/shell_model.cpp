// src/app/shell_model.cpp — the model's defaults.
#include "app/shell_model.h"

#include <algorithm>

#include "app/shell_file.h"

namespace app {

ShellModel Shell = [] {
  ShellModel m;
  ResetShellModel(m);
  return m;
}();

void ResetShellModel(ShellModel& m) {
  m.SupportReaction = 0;
  m.PoissonRatio = 0.3f;
  m.Gravity = 9.80665f;
  m.PictureScale = 0.1f;
  m.FontHeight = 2.5f;
  m.HatchStep = 1.0f;
  // The data file's field list in its defaults mode sets every stored field
  // (so the scale ends as 0.25 and the font height as 2.7).
  int mode = FileMode;
  FileMode = kModeDefaults;
  DataFile none;
  ShellFieldList(none, m);
  FileMode = mode;
  m.CurrentIndex = 1;
}

int SectionsInUse(const ShellModel& m) { return std::clamp(m.SectionCount, 0, kMaxSections); }

int SegmentCount(const ShellModel& m) {
  const int n = SectionsInUse(m);
  return n < 2 ? 0 : n - 1;
}

}  // namespace app
