// fuzz/fuzz_support.h — what the three fuzz targets share: the program put
// back to its start-up state on the image driver before every input, and
// the checks that turn a silent fault into a finding.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/main_program.h"
#include "app/shell_file.h"
#include "app/shell_model.h"
#include "exchange/exchange.h"
#include "exchange/file_menu.h"
#include "graphics/lang.h"
#include "menu/input.h"
#include "menu/menu.h"
#include "platform/driver.h"
#include "platform/image/image_driver.h"
#include "print/print.h"
#include "store/store.h"
#include "view/view.h"

namespace fuzzing {

// Thrown when the keys run out or the window is closed: the run ends and
// the target returns (the program itself would end the process).
struct RunEnded {};

inline void EndRun() { throw RunEnded{}; }

// The whole program as a fresh start would find it, on a picture of
// width × height; the keys typed when asked for, as in a scripted run.
inline void FreshProgram(int width, int height) {
  platform::InstallImageDriver(width, height);
  platform::Image.TypeAhead = false;
  platform::Image.InputExhaustedHook = EndRun;
  platform::Drv.DrvCloseGraphics = EndRun;
  menu::M = menu::MenuState{};
  menu::KeyboardLayout = 0;
  view::V = view::ViewState{};
  gfx::LanguageIndex = 0;
  exchange::Files = exchange::FileMenuState{};
  print::Printing = print::PrintState{};
  app::ResetShellModel(app::Shell);
}

// A data file read as the program reads it; false when it is refused.
inline bool ReadModel(const std::uint8_t* data, std::size_t size, app::ShellModel& m) {
  app::ResetShellModel(m);
  app::DataFile f;
  f.Text.assign(reinterpret_cast<const char*>(data), size);
  std::string comment;
  app::LoadShellData(f, comment, m);
  if (f.Failed()) {
    if (app::DataFileFault(f, 1).empty()) std::abort();  // a refusal must say why
    return false;
  }
  return true;
}

// A finding: a number that is not one, printed or written.
inline void ExpectOnlyNumbers(std::string_view what, std::string_view text) {
  for (std::string_view word : {"nan", "inf", "NAN", "INF", "NaN", "Inf"}) {
    if (text.find(word) != std::string_view::npos) {
      std::fprintf(stderr, "%.*s holds \"%.*s\"\n", static_cast<int>(what.size()), what.data(),
                   static_cast<int>(word.size()), word.data());
      std::abort();
    }
  }
}

}  // namespace fuzzing
