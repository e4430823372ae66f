// src/app/main.cpp — the program's entry: batch options, a scripted run on
// the image driver, or the window.
#include <cstdio>

#include "app/batch.h"
#include "app/main_program.h"
#include "platform/driver.h"
#include "platform/qt/qt_driver.h"

int main(int argc, char** argv) {
  app::InteractiveRun run;
  int status = app::RunCommandLine(argc, argv, stdout, stderr, run);
  if (status >= 0) return status;
  if (run.Export) return app::RunBatchExport(run.Format, run.Out, run.Args.empty() ? "" : run.Args[0]);
  if (run.Scripted) return app::RunScripted(run.Script, run.Width, run.Height, run.Shot, run.Args);
  platform::InstallQtDriver(argc, argv);
  app::RunProgram(run.Args);
  platform::Drv.DrvCloseGraphics();
  return 0;
}
