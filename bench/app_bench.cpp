// From an edited value to the finished picture: the four solver passes and
// the full redraw into a 1920 × 1080 picture.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "app/main_program.h"
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

void EditAndRedraw(benchmark::State& state, float step) {
  SetUp();
  app::ResetShellModel(app::Shell);
  app::Shell.ContourStep = step;
  view::FitView();
  for (auto _ : state) {
    app::Shell.InternalPressure += 0.001f;  // one changed value
    view::Redraw();
  }
  state.counters["nodes"] = app::Solution.NodeCount;
}

void BM_EditToPictureDefaultSphere(benchmark::State& state) { EditAndRedraw(state, 10); }
BENCHMARK(BM_EditToPictureDefaultSphere)->Unit(benchmark::kMillisecond);

// A step of 0 is enlarged to the smallest that fits: 4998 nodes, and the
// diagrams spill the store to its scratch files.
void BM_EditToPictureAtNodeCapacity(benchmark::State& state) { EditAndRedraw(state, 0); }
BENCHMARK(BM_EditToPictureAtNodeCapacity)->Unit(benchmark::kMillisecond);

// Each export of the real picture (written to /tmp), default sphere and a
// shell at the node capacity.
void Export(benchmark::State& state, exchange::FileExport exchange::ExportSlots::*slot, float step,
            const char* path) {
  SetUp();
  exchange::g.Batch = true;
  app::ResetShellModel(app::Shell);
  app::Shell.ContourStep = step;
  view::FitView();
  for (auto _ : state) benchmark::DoNotOptimize((exchange::Exports.*slot)(path));
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
