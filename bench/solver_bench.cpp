// The membrane solver: one redraw runs it four times (twice for the
// picture, twice for the table). The bending analysis: one solve at the
// node capacity, which a redraw with bending on runs twice.
#include <benchmark/benchmark.h>

#include "app/bending_solver.h"
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

app::BendingSolution bending;

void RunBending(benchmark::State& state, app::ShellModel m) {
  app::SolveShell(m, solution);
  app::SolveShell(m, solution);
  for (auto _ : state) {
    app::SolveBending(m, solution, bending);
    benchmark::DoNotOptimize(bending.MeridionalMoment[1]);
  }
  if (bending.Fault != app::BendingFault::None) state.SkipWithError("the bending analysis failed");
  state.counters["nodes"] = solution.NodeCount;
  state.counters["elements"] = bending.ElementCount;
}

// The default sphere at the node capacity (4998 nodes): its steps are far
// finer than the bending waves, so several make one element.
void BM_BendingDefaultSphereAtCapacity(benchmark::State& state) {
  app::ShellModel m;
  app::ResetShellModel(m);
  m.ContourStep = 0;
  RunBending(state, m);
}
BENCHMARK(BM_BendingDefaultSphereAtCapacity)->Unit(benchmark::kMicrosecond);

// The most elements 4998 nodes take without a step holding more than one:
// a cylinder R 1000, wall 1, with two lids, each step 0.9 of its bending
// length 1/β = 24.6 mm (a shell 110 m tall).
void BM_BendingOneElementPerStepAtCapacity(benchmark::State& state) {
  app::ShellModel m;
  app::ResetShellModel(m);
  m.SectionCount = 2;
  m.SectionRadius[1] = m.SectionRadius[2] = 1000;
  m.SectionHeight[1] = 0;
  m.SectionHeight[2] = 22.0f * 4997;
  m.GeneratrixKind[1] = 0;
  m.Thickness[1] = m.Thickness[2] = 1;
  m.ContourStep = 22;
  m.SupportSection = 1;
  RunBending(state, m);
}
BENCHMARK(BM_BendingOneElementPerStepAtCapacity)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
