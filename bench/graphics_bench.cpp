// The graphics kernel and the stroke font on the image driver: one screen's
// worth of drawing at 1920 × 1080.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "allocation_counter.h"
#include "graphics/kernel.h"
#include "graphics/text.h"
#include "menu/menu.h"
#include "platform/driver.h"
#include "platform/image/image_driver.h"

namespace {

struct Segment {
  int X1, Y1, Z1, X2, Y2, Z2;
};

void SetUpScreen() {
  platform::InstallImageDriver(1920, 1080);
  gfx::InitKernel();
  gfx::BuildStrokeFont();
  menu::ScreenSetUp();
  gfx::K.HiddenLineMode = 1;
}

// 20,000 segments of about 40 pixels at assorted depths, in the picture.
std::vector<Segment> Segments() {
  std::vector<Segment> s;
  unsigned seed = 7;
  auto next = [&](int n) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 8) % static_cast<unsigned>(n));
  };
  for (int i = 0; i < 20000; ++i) {
    int x = next(1850) + 20, y = next(950) + 20, z = next(2000) - 1000;
    int dx = next(57) - 28, dy = (next(2) ? 1 : -1) * (40 - (dx < 0 ? -dx : dx));
    s.push_back({x, y, z, x + dx, y + dy, z + next(200) - 100});
  }
  return s;
}

void BM_ClearLinesAndText(benchmark::State& state) {
  SetUpScreen();
  const std::vector<Segment> segments = Segments();
  const std::string line = "Меридианальные напряжения, МПа 0123456789 ABCDEFGH"_sc;  // 50 chars
  bench::AllocationCount count(state);
  for (auto _ : state) {
    menu::ClearPicture();
    gfx::SetColor(15);
    for (const Segment& s : segments) {
      gfx::MoveTo3(s.X1, s.Y1, s.Z1);
      gfx::LineTo3(s.X2, s.Y2, s.Z2);
    }
    for (int row = 0; row < 40; ++row) gfx::TextOut(line, 20, 40 + row * 24, 14, 12);
  }
  count.Report();
}
BENCHMARK(BM_ClearLinesAndText)->Unit(benchmark::kMillisecond);

// The same amount of drawing as a picture makes it: connected polylines of
// 40-pixel segments (a contour, a diagram curve), so that neighbouring
// pixels lie close together in memory.
void BM_ClearPolylinesAndText(benchmark::State& state) {
  SetUpScreen();
  const std::vector<Segment> segments = Segments();
  const std::string line = "Меридианальные напряжения, МПа 0123456789 ABCDEFGH"_sc;
  for (auto _ : state) {
    menu::ClearPicture();
    gfx::SetColor(15);
    for (int p = 0; p < 200; ++p) {
      const Segment& s0 = segments[p];
      int x = s0.X1, y = s0.Y1;
      gfx::MoveTo3(x, y, s0.Z1);
      for (int k = 0; k < 100; ++k) {
        const Segment& s = segments[p * 100 + k];
        x += s.X2 - s.X1;
        y += (s.Y2 - s.Y1) / 4;
        if (x < 20 || x > 1880) x = 960;
        if (y < 20 || y > 960) y = 500;
        gfx::LineTo3(x, y, s.Z2);
      }
    }
    for (int row = 0; row < 40; ++row) gfx::TextOut(line, 20, 40 + row * 24, 14, 12);
  }
}
BENCHMARK(BM_ClearPolylinesAndText)->Unit(benchmark::kMillisecond);

// A diagram's hatch as the renderer draws it at the node capacity: 45,000
// lines of about 9 pixels, each a move and a line with unrounded ends, the
// next one a pixel or two along. The kernel's cost per line, not per pixel.
void BM_ClearAndHatch(benchmark::State& state) {
  SetUpScreen();
  const std::vector<Segment> segments = Segments();
  for (auto _ : state) {
    menu::ClearPicture();
    gfx::SetColor(15);
    for (int i = 0; i < 45000; ++i) {
      const Segment& s = segments[i % 20000];
      const double x = 40 + (i % 1800) + 0.3, y = 60 + (i / 1800) * 36 + 0.6;
      gfx::MoveToExact(x, y, s.Z1, true);
      gfx::LineToExact(x + (s.X2 - s.X1) / 4.0, y + 9, s.Z2, true);
    }
  }
}
BENCHMARK(BM_ClearAndHatch)->Unit(benchmark::kMillisecond);

void BM_ClearPictureOnly(benchmark::State& state) {
  SetUpScreen();
  for (auto _ : state) menu::ClearPicture();
}
BENCHMARK(BM_ClearPictureOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
