// The Qt window's key test: the store renderer calls DrvKeyPressed before
// every object of a redraw, so one call must cost next to nothing.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "platform/driver.h"
#include "platform/qt/qt_driver.h"

namespace {

void BM_QtKeyPressed(benchmark::State& state) {
  static int argc = 1;
  static char name[] = "bench";
  static char* argv[] = {name, nullptr};
  static bool installed = false;
  if (!installed) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    platform::InstallQtDriver(argc, argv);
    installed = true;
  }
  for (auto _ : state) benchmark::DoNotOptimize(platform::Drv.DrvKeyPressed());
}
BENCHMARK(BM_QtKeyPressed);

}  // namespace

BENCHMARK_MAIN();
