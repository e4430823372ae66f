// Every export of a picture of a few thousand points, the size of the
// default shell's picture: meridians and parallels of a sphere, a dashed
// axis, hatching as segment pairs, a band of facets and a column of texts,
// flushed in five pieces. Each export is timed into memory and written to a
// file (the atomic write with its fsync included).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

#include <stdlib.h>

#include "exchange/exchange.h"
#include "graphics/kernel.h"
#include "graphics/text.h"
#include "store/store.h"
#include "view/view.h"

namespace {

constexpr double kPi = std::numbers::pi;
constexpr float kRadius = 100;

void Flush(int colour) {
  store::CloseStore();
  gfx::K.Colour = colour;
  store::Slots.FlushStore();
}

void SpherePicture() {
  // 12 meridians of 100 points.
  gfx::K.Colour = 15;
  store::ClearStore();
  for (int m = 0; m < 12; ++m) {
    double phi = 2 * kPi * m / 12;
    store::BeginPolyline();
    for (int k = 0; k < 100; ++k) {
      double t = kPi * k / 99;
      store::AddPoint(static_cast<float>(kRadius * std::sin(t) * std::cos(phi)),
                      static_cast<float>(kRadius * std::sin(t) * std::sin(phi)),
                      static_cast<float>(kRadius * std::cos(t)));
    }
  }
  Flush(15);
  // 10 closed parallels of 72 points.
  store::ClearStore();
  for (int p = 1; p <= 10; ++p) {
    double t = kPi * p / 11;
    store::BeginPolyline();
    for (int k = 0; k <= 71; ++k) {
      double phi = 2 * kPi * k / 71;
      store::AddPoint(static_cast<float>(kRadius * std::sin(t) * std::cos(phi)),
                      static_cast<float>(kRadius * std::sin(t) * std::sin(phi)),
                      static_cast<float>(kRadius * std::cos(t)));
    }
  }
  Flush(8);
  // The axis, dashed, and 200 hatching strokes.
  store::ClearStore();
  store::BeginPolyline();
  store::AddPoint(0, 0, -1.2f * kRadius);
  store::AddPoint(0, 0, 1.2f * kRadius);
  Flush(7);
  store::ClearStore();
  store::BeginSegmentPairs();
  for (int k = 0; k < 200; ++k) {
    float z = -kRadius + kRadius * k / 100.0f;
    store::AddPoint(kRadius, 0, z);
    store::AddPoint(kRadius + 5, 0, z + 5);
  }
  Flush(15);
  // A band of 499 quadrilaterals round the equator.
  store::ClearStore();
  store::BeginQuadStrip();
  for (int k = 0; k < 500; ++k) {
    double phi = 2 * kPi * k / 499;
    auto x = static_cast<float>(kRadius * std::cos(phi)), y = static_cast<float>(kRadius * std::sin(phi));
    store::AddPoint(x, y, -5);
    store::AddPoint(x, y, 5);
  }
  Flush(15);
  // 20 lines of text.
  store::ClearStore();
  for (int k = 0; k < 20; ++k)
    store::AddTextLeft("Sigma = 123.45 MPa", 150, static_cast<float>(100 - 10 * k), 0, 0, 1, 5, 3, 0);
  Flush(15);
}

void SetUp() {
  static bool done = false;
  if (done) return;
  done = true;
  store::InitStore();
  exchange::InitExchange();
  exchange::Exchange.Batch = true;
  gfx::BuildStrokeFont();
  view::V = view::ViewState{};
  view::UpdateViewCoefficients();
  store::Slots.RedrawForMeasure = SpherePicture;
  exchange::Slots.RedrawForExport = SpherePicture;
}

std::string Folder() {
  static std::string folder;
  if (folder.empty()) {
    char pattern[] = "/tmp/exchange_bench.XXXXXX";
    folder = mkdtemp(pattern);
  }
  return folder;
}

// The length of an export's text (older builds, built beside this one for
// comparison, kept it in Bytes).
std::size_t TextLength(const auto& file) {
  if constexpr (requires { file.Bytes; }) {
    return file.Bytes.size();
  } else {
    return file.Length;
  }
}

void InMemory(benchmark::State& state, exchange::ExportProcedure procedure) {
  SetUp();
  std::size_t bytes = 0;
  for (auto _ : state) {
    exchange::ExportFile file;
    procedure(file);
    bytes = TextLength(file);
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}

void ToFile(benchmark::State& state, exchange::ExportProcedure procedure, const char* name) {
  SetUp();
  std::string path = Folder() + "/" + name;
  for (auto _ : state) {
    std::string error;
    if (!exchange::RunExport(path, procedure, error)) state.SkipWithError(error.c_str());
  }
  std::remove(path.c_str());
}

void BM_DXF(benchmark::State& s) { InMemory(s, exchange::ExportDXF); }
void BM_PLT(benchmark::State& s) { InMemory(s, exchange::ExportPLT); }
void BM_UGF(benchmark::State& s) { InMemory(s, exchange::ExportUGF); }
void BM_GEO(benchmark::State& s) { InMemory(s, exchange::ExportGEO); }
void BM_TRE(benchmark::State& s) { InMemory(s, exchange::ExportTRE); }
void BM_DXF_File(benchmark::State& s) { ToFile(s, exchange::ExportDXF, "PIC.DXF"); }
void BM_PLT_File(benchmark::State& s) { ToFile(s, exchange::ExportPLT, "PIC.PLT"); }
void BM_UGF_File(benchmark::State& s) { ToFile(s, exchange::ExportUGF, "PIC.UGF"); }
void BM_GEO_File(benchmark::State& s) { ToFile(s, exchange::ExportGEO, "PIC.GEO"); }
void BM_TRE_File(benchmark::State& s) { ToFile(s, exchange::ExportTRE, "PIC.TRE"); }

BENCHMARK(BM_DXF)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PLT)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UGF)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GEO)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TRE)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DXF_File)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PLT_File)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UGF_File)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GEO_File)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TRE_File)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
