// From an edited value to the finished picture: the four solver passes and
// the full redraw into a 1920 × 1080 picture; the exports of the picture.
// Each reports its heap allocations per iteration ("allocs").
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstdio>
#include <string>
#include <vector>

#include "allocation_counter.h"
#include "app/app_menus.h"
#include "app/main_program.h"
#include "app/session.h"
#include "app/study.h"
#include "app/shell_model.h"
#include "app/shell_solver.h"
#include "exchange/exchange.h"
#include "exchange/file_menu.h"
#include "platform/image/image_driver.h"
#include "view/view.h"

namespace {

void SetUp() {
  static bool done = false;
  if (done) return;
  done = true;
  platform::InstallImageDriver(1920, 1080);
  platform::Image.TypeAhead = false;
  platform::Image.InputExhaustedHook = [] {};
  app::StartFramework();
  view::FitView();
}

// noted: the edit also goes through the menus' redraw, which keeps the
// step for undo and marks the recovery copy due; recovery: the copy is
// written too, as it is at the next moment the program waits for the user.
void EditAndRedraw(benchmark::State& state, float step, bool noted = false, bool recovery = false) {
  SetUp();
  app::ResetShellModel(app::Shell);
  app::Shell.ContourStep = step;
  view::FitView();
  if (noted) {
    static const std::string state_folder = [] {
      char name[] = "/tmp/brelmora-bench-XXXXXX";
      return std::string(mkdtemp(name) ? name : "/tmp");
    }();
    setenv("XDG_STATE_HOME", state_folder.c_str(), 1);
    app::StartSession("");
  }
  bench::AllocationCount count(state);
  for (auto _ : state) {
    app::Shell.InternalPressure += 0.001f;  // one changed value
    if (noted) {
      app::Slots.FullRedraw();
      if (recovery) app::WriteRecoveryWhenDue();
    } else {
      view::Redraw();
    }
  }
  count.Report();
  state.counters["nodes"] = app::Solution.NodeCount;
  if (noted) app::EndSession();
}

void BM_EditToPictureDefaultSphere(benchmark::State& state) { EditAndRedraw(state, 10); }
BENCHMARK(BM_EditToPictureDefaultSphere)->Unit(benchmark::kMillisecond);
void BM_EditToPictureNoted(benchmark::State& state) { EditAndRedraw(state, 10, true); }
BENCHMARK(BM_EditToPictureNoted)->Unit(benchmark::kMillisecond);
void BM_EditToPictureAndRecoveryCopy(benchmark::State& state) { EditAndRedraw(state, 10, true, true); }
BENCHMARK(BM_EditToPictureAndRecoveryCopy)->Unit(benchmark::kMillisecond);

// The same picture drawn again without a change, after a first redraw that
// sized every buffer: the redraw path allocates nothing ("allocs" 0).
void BM_RedrawDefaultPicture(benchmark::State& state) {
  SetUp();
  app::ResetShellModel(app::Shell);
  view::FitView();
  view::Redraw();
  bench::AllocationCount count(state);
  for (auto _ : state) view::Redraw();
  count.Report();
}
BENCHMARK(BM_RedrawDefaultPicture)->Unit(benchmark::kMillisecond);

// The recovery copy alone: the data file's text, a temporary file, fsync
// and the rename.
void BM_RecoveryCopy(benchmark::State& state) {
  SetUp();
  setenv("XDG_STATE_HOME", "/tmp", 1);
  app::StartSession("");
  for (auto _ : state) {
    app::Shell.InternalPressure += 0.001f;
    app::NoteModelChange();
    app::WriteRecoveryWhenDue();
  }
  app::EndSession();
}
BENCHMARK(BM_RecoveryCopy)->Unit(benchmark::kMicrosecond);

// A step of 0 is enlarged to the smallest that fits: 4998 nodes, and the
// diagrams spill the store to its scratch files.
void BM_EditToPictureAtNodeCapacity(benchmark::State& state) { EditAndRedraw(state, 0); }
BENCHMARK(BM_EditToPictureAtNodeCapacity)->Unit(benchmark::kMillisecond);

// Each export of the real picture (written to /tmp), default sphere and a
// shell at the node capacity.
void Export(benchmark::State& state, exchange::FileExport exchange::ExportSlots::*slot, float step,
            const char* path) {
  SetUp();
  exchange::Exchange.Batch = true;
  app::ResetShellModel(app::Shell);
  app::Shell.ContourStep = step;
  view::FitView();
  bench::AllocationCount count(state);
  for (auto _ : state) benchmark::DoNotOptimize((exchange::Exports.*slot)(path));
  count.Report();
}
void BM_ExportDxf(benchmark::State& s) { Export(s, &exchange::ExportSlots::Dxf, s.range(0), "/tmp/bench.dxf"); }
void BM_ExportPlt(benchmark::State& s) { Export(s, &exchange::ExportSlots::Plt, s.range(0), "/tmp/bench.plt"); }
void BM_ExportUgf(benchmark::State& s) { Export(s, &exchange::ExportSlots::Ugf, s.range(0), "/tmp/bench.ugf"); }
void BM_ExportGeo(benchmark::State& s) { Export(s, &exchange::ExportSlots::Geo, s.range(0), "/tmp/bench.geo"); }
void BM_ExportTre(benchmark::State& s) { Export(s, &exchange::ExportSlots::Tre, s.range(0), "/tmp/bench.tre"); }
// Argument: the contour step (10 the default sphere, 0 the node capacity).
BENCHMARK(BM_ExportDxf)->Arg(10)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportPlt)->Arg(10)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportUgf)->Arg(10)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportGeo)->Arg(10)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportTre)->Arg(10)->Arg(0)->Unit(benchmark::kMillisecond);

// --sweep in one process: 10,000 variants of the default shell (100
// pressures × 100 thicknesses), each solved twice, checked, its peaks
// found and its CSV row written (to /dev/null). The target: well under 1 ms
// of CPU a variant, 10,000 in under 2 s.
void BM_Sweep(benchmark::State& state) {
  app::ShellModel base;
  app::ResetShellModel(base);
  std::vector<app::Sweep> sweeps(2);
  std::string error;
  app::ParseSweep("pressure=0.1:1:100", sweeps[0], error);
  app::ParseSweep("thickness=1:5:100", sweeps[1], error);
  std::FILE* out = std::fopen("/dev/null", "w");
  for (auto _ : state) benchmark::DoNotOptimize(app::RunSweep(base, sweeps, 0, 10000, true, out));
  std::fclose(out);
  state.counters["variants"] = benchmark::Counter(10000.0 * static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Sweep)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
