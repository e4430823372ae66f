// tests/graphics/kernel_fixture.h — a fresh kernel on a fresh image driver
// picture for every test, and the few pixel helpers the kernel tests share.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "graphics/kernel.h"
#include "platform/driver.h"
#include "platform/image/image_driver.h"
#include "platform/picture.h"

namespace kerneltest {

constexpr int kWidth = 200, kHeight = 150;

// Colour values as the palette and the picture hold them (0x00BBGGRR).
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kRed = 0x0000FF;         // colour 12
constexpr std::uint32_t kGreen = 0x00FF00;       // colour 10
constexpr std::uint32_t kBlue = 0xFF0000;        // colour 9
constexpr std::uint32_t kLightGrey = 0xC0C0C0;   // colour 8
constexpr std::uint32_t kGrey = 0x808080;        // colour 7
constexpr std::uint32_t kExtra = 0x006060;       // colour 528: 96, 96, 0

class KernelTest : public ::testing::Test {
 public:
  void SetUp() override {
    platform::InstallImageDriver(kWidth, kHeight);
    gfx::InitKernel();
    gfx::SetWindow(0, 0, kWidth - 1, kHeight - 1);
  }

  static std::uint32_t Px(int x, int y) { return platform::PictureColour(x, y); }

  // Pixels of the whole picture that are not black.
  static int LitCount() {
    int n = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (Px(x, y) != kBlack) ++n;
    return n;
  }

  // The shadow raster must always hold what the picture shows.
  static bool ShadowMatchesPicture() {
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (platform::ShadowRaster[y][x] != Px(x, y)) return false;
    return true;
  }
};

}  // namespace kerneltest
