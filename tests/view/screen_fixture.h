// tests/view/screen_fixture.h — the whole screen for the view's interactive
// parts: menu strip, view hooks installed, a small test picture in WID_RIS
// and a fixed extent in WID_GRAN.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/framework.h"
#include "graphics/kernel.h"
#include "graphics/lang.h"
#include "graphics/text.h"
#include "menu/menu.h"
#include "platform/codepage.h"
#include "platform/driver.h"
#include "platform/events.h"
#include "platform/image/image_driver.h"
#include "platform/picture.h"
#include "store/store.h"
#include "view/view.h"

namespace viewtest {

class ScreenTest : public ::testing::Test {
 public:
  static constexpr int kScreenWidth = 640, kScreenHeight = 480;

  void SetUp() override { SetUpScreen(kScreenWidth, kScreenHeight); }

  void SetUpScreen(int width, int height) {
    app::ResetFramework();
    platform::InstallImageDriver(width, height);
    platform::Image.InputExhaustedHook = [] { ++Exhausted; };
    Exhausted = 0;
    gfx::InitKernel();
    gfx::BuildStrokeFont();
    view::InstallViewHooks();
    view::Slots.WID_RIS = TestPicture;
    view::Slots.WID_GRAN = TestExtent;
    Pictures = 0;
    view::InitView();
    view::V.RotateMode = 0;
    view::PrepareScreen();
  }

  void TearDown() override { app::ResetFramework(); }

  static inline int Pictures = 0;
  static inline int Exhausted = 0;

  // A few lines around the world origin and a text.
  static void TestPicture() {
    ++Pictures;
    view::PrepareScreen();
    gfx::SetColor(12);
    view::MoveToWorld(-80, -50, 0);
    view::LineToWorld(80, -50, 0);
    view::LineToWorld(80, 50, 0);
    view::LineToWorld(-80, 50, 0);
    view::LineToWorld(-80, -50, 0);
    gfx::SetColor(13);
    view::MoveToWorld(-80, -50, 0);
    view::LineToWorld(80, 50, 0);
    view::MoveToWorld(0, 0, 0);
    view::LineToWorld(0, 0, 60);
    gfx::SetColor(15);
    std::int32_t x = 0, y = 0;
    view::WorldToPixel(-70, 30, 0, x, y);
    gfx::TextOut("Brelmora", x, y, 10, 9);
  }

  static void TestExtent(float& umin, float& vmin, float& umax, float& vmax) {
    umin = -100;
    vmin = -60;
    umax = 100;
    vmax = 60;
  }

  // The picture area (everything above the menu strip), pixel by pixel.
  static std::vector<std::uint32_t> PictureArea() {
    std::vector<std::uint32_t> all;
    const int bottom = gfx::Layout.MenuStripTop - 2;
    for (int y = 0; y < bottom; ++y)
      for (int x = 0; x < platform::Pic.Width; ++x)
        all.push_back(platform::Pic.Pixels[static_cast<std::size_t>(y) * platform::Pic.Width + x]);
    return all;
  }

  // The screen position of a world point's pixel in the current viewport.
  static void ScreenOf(float x, float y, float z, int& sx, int& sy) {
    gfx::SelectPictureInner();
    std::int32_t px = 0, py = 0;
    view::WorldToPixel(x, y, z, px, py);
    sx = px + gfx::K.WindowLeft;
    sy = py + gfx::K.WindowTop;
  }

  static void ExpectMatrix(const float (&m)[3][3], int standard) {
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j)
        EXPECT_EQ(m[i][j], view::StandardViews[standard][i][j]) << i << "," << j;
  }

  static void ExpectViewMatrix(int standard) {
    for (int i = 1; i <= 3; ++i)
      for (int j = 1; j <= 3; ++j)
        EXPECT_EQ(static_cast<float>(view::V.ViewMatrix[i][j]),
                  view::StandardViews[standard][i - 1][j - 1])
            << i << "," << j;
  }
};

}  // namespace viewtest
