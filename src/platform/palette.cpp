// src/platform/palette.cpp — the fixed palette of the display and the
// shadow raster of the picture.
#include <algorithm>
#include <iterator>

#include "platform/picture.h"

namespace platform {

std::uint32_t Palette[kColourCount];
std::uint32_t ShadowRaster[kShadowRows][kShadowColumns];

namespace {
constexpr std::uint32_t Rgb(int r, int g, int b) {
  return static_cast<std::uint32_t>(r) | static_cast<std::uint32_t>(g) << 8 |
         static_cast<std::uint32_t>(b) << 16;
}
}  // namespace

void BuildPalette() {
  static constexpr std::uint32_t kBasic[16] = {
      Rgb(0, 0, 0),       Rgb(0, 0, 128),   Rgb(0, 128, 0),   Rgb(0, 128, 128),
      Rgb(128, 0, 0),     Rgb(128, 0, 128), Rgb(128, 128, 0), Rgb(128, 128, 128),
      Rgb(192, 192, 192), Rgb(0, 0, 255),   Rgb(0, 255, 0),   Rgb(0, 255, 255),
      Rgb(255, 0, 0),     Rgb(255, 0, 255), Rgb(255, 255, 0), Rgb(255, 255, 255)};
  for (int i = 0; i < 16; ++i) Palette[i] = kBasic[i];
  // Eight ramps of 64 shades; v runs 63..252. Ramps 0 and 7 are both grey.
  for (int k = 0; k < 8; ++k) {
    for (int i = 0; i < 64; ++i) {
      int v = 3 * i + 63;
      std::uint32_t c = 0;
      switch (k) {
        case 0: case 7: c = Rgb(v, v, v); break;
        case 1: c = Rgb(63, 63, v); break;
        case 2: c = Rgb(63, v, 63); break;
        case 3: c = Rgb(63, v, v); break;
        case 4: c = Rgb(v, 63, 63); break;
        case 5: c = Rgb(v, 63, v); break;
        case 6: c = Rgb(v, v, 63); break;
      }
      Palette[16 + 64 * k + i] = c;
    }
  }
  Palette[528] = Rgb(96, 96, 0);
}

void ClearShadow() {
  PreferLargePages(ShadowRaster, sizeof ShadowRaster);
  for (auto& row : ShadowRaster) std::fill(std::begin(row), std::end(row), 0u);
}

}  // namespace platform
