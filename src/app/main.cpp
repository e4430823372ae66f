// src/app/main.cpp — the program's entry: batch options, a scripted run on
// the image driver, or the window.
#include <cstdio>
#include <cstdlib>

#include "app/batch.h"
#include "app/main_program.h"
#include "platform/driver.h"
#include "platform/qt/qt_driver.h"
#include "print/qt/qt_printer.h"

int main(int argc, char** argv) {
  app::InteractiveRun run;
  int status = app::RunCommandLine(argc, argv, stdout, stderr, run);
  if (status >= 0) return status;
  // Printing and the PDF writer draw through Qt; without a window (scripts,
  // batch export) Qt must not look for a display.
  if (run.Export || run.Scripted) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  print::InstallQtPrinter();
  app::Program.StartSettings = run.Sets;
  app::Program.StartFit = run.Fit;
  if (!run.Page.empty()) print::Printing.Page = *print::FindPageFormat(run.Page);
  if (run.Export) return app::RunBatchExport(run.Format, run.Out, run.Args.empty() ? "" : run.Args[0]);
  if (run.Scripted) return app::RunScripted(run.Script, run.Width, run.Height, run.Shot, run.Args);
  platform::InstallQtDriver(argc, argv);
  app::RunProgram(run.Args);
  platform::Drv.DrvCloseGraphics();
  return 0;
}
