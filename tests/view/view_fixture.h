// tests/view/view_fixture.h — a fresh view, kernel and image driver picture
// for every test, and the helpers the view tests share.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/framework.h"
#include "graphics/kernel.h"
#include "platform/driver.h"
#include "platform/image/image_driver.h"
#include "platform/picture.h"
#include "view/view.h"

namespace viewtest {

constexpr int kWidth = 420, kHeight = 320;
constexpr std::uint32_t kBlack = 0x000000;

class ViewTest : public ::testing::Test {
 public:
  void SetUp() override {
    app::ResetFramework();
    platform::InstallImageDriver(kWidth, kHeight);
    gfx::InitKernel();
    gfx::SetWindow(0, 0, kWidth - 1, kHeight - 1);
    view::Slots.RedrawViewHook = CountRedraw;
    Redraws = 0;
  }

  void TearDown() override { app::ResetFramework(); }

  static inline int Redraws = 0;
  static void CountRedraw() { ++Redraws; }

  static std::uint32_t Px(int x, int y) { return platform::PictureColour(x, y); }
  static std::vector<std::uint32_t> Snapshot() {
    std::vector<std::uint32_t> all;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) all.push_back(Px(x, y));
    return all;
  }
  static int LitCount() {
    int n = 0;
    for (std::uint32_t c : Snapshot()) n += c != kBlack;
    return n;
  }

  // A viewport of w × h pixels at the picture's top-left with the usual
  // border of one pixel, its pixel origin inside the border.
  static void UseViewport(int w, int h) {
    view::V.ViewportLeft = 0;
    view::V.ViewportTop = 0;
    view::V.ViewportWidth = w;
    view::V.ViewportHeight = h;
    view::V.ScreenCentreX = w / 2 - gfx::Layout.BorderWidth;
    view::V.ScreenCentreY = h / 2 - gfx::Layout.BorderWidth;
  }

  static constexpr double kIdentity[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  static void ExpectMatrixNear(const double (&m)[4][4], const double (&want)[3][3] = kIdentity,
                               double tolerance = 0) {
    for (int i = 1; i <= 3; ++i)
      for (int j = 1; j <= 3; ++j)
        EXPECT_NEAR(m[i][j], want[i - 1][j - 1], tolerance) << "row " << i << " column " << j;
  }
};

}  // namespace viewtest
