// From an edited value to the finished picture: the four solver passes and
// the full redraw into a 1920 × 1080 picture.
#include <benchmark/benchmark.h>

#include "app/main_program.h"
#include "app/shell_model.h"
#include "app/shell_solver.h"
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

}  // namespace

BENCHMARK_MAIN();
