// The heap allocations of a benchmark's timed loop, as the user counter
// "allocs" (allocations per iteration): a counting global operator new.
//
// The replacement operators are defined here, so exactly one source file of
// each benchmark program includes this header (each program is one file).
//
//   for (auto _ : state) { ... }             // or with the counter:
//   bench::AllocationCount count(state);     // before the loop
//   for (auto _ : state) { ... }
//   count.Report();                          // after it
#pragma once

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace bench {

inline std::atomic<std::uint64_t> Allocations{0};

inline void* CountedAllocate(std::size_t size, std::size_t alignment) {
  Allocations.fetch_add(1, std::memory_order_relaxed);
  if (size == 0) size = 1;
  void* p = alignment <= alignof(std::max_align_t)
                ? std::malloc(size)
                : std::aligned_alloc(alignment, (size + alignment - 1) / alignment * alignment);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

class AllocationCount {
 public:
  explicit AllocationCount(benchmark::State& state)
      : State(state), First(Allocations.load(std::memory_order_relaxed)) {}
  void Report() {
    const auto n = static_cast<double>(Allocations.load(std::memory_order_relaxed) - First);
    State.counters["allocs"] = benchmark::Counter(n, benchmark::Counter::kAvgIterations);
  }

 private:
  benchmark::State& State;
  std::uint64_t First;
};

}  // namespace bench

void* operator new(std::size_t size) { return bench::CountedAllocate(size, 0); }
void* operator new[](std::size_t size) { return bench::CountedAllocate(size, 0); }
void* operator new(std::size_t size, std::align_val_t a) {
  return bench::CountedAllocate(size, static_cast<std::size_t>(a));
}
void* operator new[](std::size_t size, std::align_val_t a) {
  return bench::CountedAllocate(size, static_cast<std::size_t>(a));
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
