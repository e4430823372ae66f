// The drawing store on the screen: 100,000 points in 20,000 five-point
// polylines, spilled into both scratch files, filled and flushed to a
// 1920 × 1080 picture through RenderStoreOnScreen.
#include <benchmark/benchmark.h>

#include "graphics/kernel.h"
#include "view/store_render.h"
#include "graphics/text.h"
#include "platform/image/image_driver.h"
#include "store/store.h"
#include "view/view.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080;
constexpr int kPoints = 100000;
constexpr int kPointsPerObject = 5;  // 20,000 objects

void SetUpScreen() {
  platform::InstallImageDriver(kWidth, kHeight);
  gfx::InitKernel();
  gfx::BuildStrokeFont();
  gfx::SetWindow(0, 0, kWidth - 1, kHeight - 1);
  view::V = view::ViewState{};
  view::UpdateViewCoefficients();
  view::V.ViewportWidth = kWidth;
  view::V.ViewportHeight = kHeight;
  view::V.ScreenCentreX = kWidth / 2;
  view::V.ScreenCentreY = kHeight / 2;
  view::SetViewWindow(0, 0, 1000, 1000);
  store::InitStore();
  gfx::InstallStoreRenderer();
  gfx::SetColor(15);
}

// Small zigzags spread over the whole picture: 200 columns of 100 rows.
void Fill() {
  store::ClearStore();
  for (int n = 0; n < kPoints; ++n) {
    const int object = n / kPointsPerObject, k = n % kPointsPerObject;
    if (k == 0) store::BeginPolyline();
    const float x = static_cast<float>(object % 200) * 5 + static_cast<float>(k);
    const float y = static_cast<float>(object / 200) * 10 + static_cast<float>(k % 2) * 3;
    store::AddPoint(x, y, 0);
  }
  store::CloseStore();
}

void BM_FillStore(benchmark::State& state) {
  SetUpScreen();
  for (auto _ : state) Fill();
  state.counters["objects"] = store::Store.ObjectCount;
  state.counters["points"] = store::Store.PointCount;
  store::CloseStoreFiles();
}
BENCHMARK(BM_FillStore)->Unit(benchmark::kMillisecond);

void BM_FlushToScreen(benchmark::State& state) {
  SetUpScreen();
  Fill();
  for (auto _ : state) store::Slots.FlushStore();
  store::CloseStoreFiles();
}
BENCHMARK(BM_FlushToScreen)->Unit(benchmark::kMillisecond);

void BM_FillAndFlush(benchmark::State& state) {
  SetUpScreen();
  for (auto _ : state) {
    Fill();
    store::Slots.FlushStore();
  }
  store::CloseStoreFiles();
}
BENCHMARK(BM_FillAndFlush)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
