// The membrane solver: one redraw runs it four times (twice for the
// picture, twice for the table).
#include <benchmark/benchmark.h>

#include "app/shell_model.h"
#include "app/shell_solver.h"

namespace {

app::ShellSolution solution;

void RunFourPasses(benchmark::State& state, app::ShellModel m) {
  for (auto _ : state) {
    for (int pass = 0; pass < 4; ++pass) app::SolveShell(m, solution);
    benchmark::DoNotOptimize(solution.TotalMass);
  }
  state.counters["nodes"] = solution.NodeCount;
  state.counters["ns_per_node_pass"] = benchmark::Counter(
      4.0 * solution.NodeCount * static_cast<double>(state.iterations()),
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_FourPassesDefaultSphere(benchmark::State& state) {
  app::ShellModel m;
  app::ResetShellModel(m);
  RunFourPasses(state, m);
}
BENCHMARK(BM_FourPassesDefaultSphere)->Unit(benchmark::kMicrosecond);

// The default sphere at the node capacity: a step so small that the
// solver takes the smallest step that fits 4998 nodes.
void BM_FourPassesAtCapacity(benchmark::State& state) {
  app::ShellModel m;
  app::ResetShellModel(m);
  m.ContourStep = 0;
  RunFourPasses(state, m);
}
BENCHMARK(BM_FourPassesAtCapacity)->Unit(benchmark::kMicrosecond);

// The same node count with a step that fits as typed (no step search).
void BM_FourPassesAtCapacityTypedStep(benchmark::State& state) {
  app::ShellModel m;
  app::ResetShellModel(m);
  app::SolveShell(m, solution);
  m.ContourStep = 0;
  app::SolveShell(m, solution);
  m.ContourStep = solution.EffectiveStep;
  RunFourPasses(state, m);
}
BENCHMARK(BM_FourPassesAtCapacityTypedStep)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
