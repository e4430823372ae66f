// The drawing store on a large picture: filled past memory into both scratch
// files and read back the way a flush reads it; and the hatching of a
// closed outline.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <numbers>

#include "store/builders.h"
#include "store/store.h"

namespace {

constexpr int kPoints = 100000;
constexpr int kPointsPerObject = 5;  // 20,000 objects

void FillSpilled() {
  store::ClearStore();
  for (int n = 1; n <= kPoints; ++n) {
    if ((n - 1) % kPointsPerObject == 0) store::BeginPolyline();
    store::AddPoint(static_cast<float>(n), 0.5f * static_cast<float>(n), 1);
  }
  store::CloseStore();
}

double ReadAsAFlush() {
  double sum = 0;
  for (int i = 1; i <= store::Store.ObjectCount; ++i) {
    int first = 0, last = 0, kind = 0, pen = 0;
    store::GetObjectRange(i, first, last, kind, pen);
    for (int n = std::abs(first); n <= last; ++n) {
      float x = 0, y = 0, z = 0;
      store::PointGet(n, x, y, z);
      sum += x + y + z;
    }
  }
  return sum;
}

void BM_FillAndReadSpilledStore(benchmark::State& state) {
  store::InitStore();
  for (auto _ : state) {
    FillSpilled();
    benchmark::DoNotOptimize(ReadAsAFlush());
  }
  state.counters["objects"] = store::Store.ObjectCount;
  state.counters["points"] = store::Store.PointCount;
  store::CloseStoreFiles();
}
BENCHMARK(BM_FillAndReadSpilledStore)->Unit(benchmark::kMillisecond);

void BM_ReadSpilledStore(benchmark::State& state) {
  store::InitStore();
  FillSpilled();
  for (auto _ : state) benchmark::DoNotOptimize(ReadAsAFlush());
  store::CloseStoreFiles();
}
BENCHMARK(BM_ReadSpilledStore)->Unit(benchmark::kMillisecond);

// A closed circle of 500 points, radius 100, hatched at a step of 1 (about
// 200 lines).
void BM_HatchCircle500(benchmark::State& state) {
  store::InitStore();
  for (auto _ : state) {
    store::ClearStore();
    store::BeginPolyline();
    for (int k = 0; k <= 500; ++k) {
      double a = 2 * std::numbers::pi * (k % 500) / 500;
      store::AddPoint(static_cast<float>(100 * std::cos(a)), static_cast<float>(100 * std::sin(a)), 0);
    }
    store::CloseStore();
    store::HatchStore(1, 30);
    benchmark::DoNotOptimize(store::Store.PointCount);
  }
  state.counters["hatch_points"] = store::Store.PointCount;
  store::CloseStoreFiles();
}
BENCHMARK(BM_HatchCircle500)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
