// The view on the image driver at 1920 × 1080: a full redraw of a picture
// of 10,000 world lines with its overlays, and one cursor move (the cursor
// erased and drawn again in XOR).
#include <benchmark/benchmark.h>

#include <vector>

#include "graphics/kernel.h"
#include "graphics/text.h"
#include "menu/menu.h"
#include "platform/driver.h"
#include "platform/image/image_driver.h"
#include "view/view.h"

namespace {

struct WorldLine {
  float X1, Y1, Z1, X2, Y2, Z2;
};

std::vector<WorldLine> Lines;

// 10,000 lines of about 40 mm scattered over 1800 × 950 mm at assorted
// heights; at one millimetre per pixel they fill the picture.
std::vector<WorldLine> MakeLines() {
  std::vector<WorldLine> s;
  unsigned seed = 11;
  auto next = [&](int n) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<float>((seed >> 8) % static_cast<unsigned>(n));
  };
  for (int i = 0; i < 10000; ++i) {
    const float x = next(1800) - 900, y = next(950) - 475, z = next(400) - 200;
    const float dx = next(57) - 28, dy = next(57) - 28;
    s.push_back({x, y, z, x + dx, y + dy, z + next(40) - 20});
  }
  return s;
}

void TestPicture() {
  view::PrepareScreen();
  gfx::SetColor(15);
  for (const WorldLine& l : Lines) {
    view::MoveToWorld(l.X1, l.Y1, l.Z1);
    view::LineToWorld(l.X2, l.Y2, l.Z2);
  }
}

void SetUpScreen() {
  platform::InstallImageDriver(1920, 1080);
  gfx::InitKernel();
  gfx::BuildStrokeFont();
  view::V = view::ViewState{};
  view::UpdateViewCoefficients();
  view::InstallViewHooks();
  view::InitView();
  view::V.RotateMode = 0;
  gfx::K.HiddenLineMode = 1;
  if (Lines.empty()) Lines = MakeLines();
  view::Slots.WID_RIS = TestPicture;
  view::PrepareScreen();
  view::SetViewWindow(-950, -500, 950, 500);
}

void BM_FullRedraw10000Lines(benchmark::State& state) {
  SetUpScreen();
  for (auto _ : state) view::Redraw();
}
BENCHMARK(BM_FullRedraw10000Lines)->Unit(benchmark::kMillisecond);

void BM_CursorMove(benchmark::State& state) {
  SetUpScreen();
  view::Redraw();
  view::V.CursorVisible = 1;
  float a = 0;
  view::DrawCursor(a, 0, 0);
  for (auto _ : state) {
    view::DrawCursor(a, 0, 0);  // erase
    a = a > 500 ? 0 : a + 10;
    view::DrawCursor(a, 0, 0);  // and draw at the next step
  }
  view::DrawCursor(a, 0, 0);
}
BENCHMARK(BM_CursorMove)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
