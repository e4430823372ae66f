// src/menu/colour_picker.cpp — the colour picker.
#include "menu/colour_picker.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "graphics/kernel.h"
#include "graphics/lang.h"
#include "graphics/numbers.h"
#include "graphics/text.h"
#include "menu/input.h"
#include "menu/menu.h"
#include "platform/codepage.h"
#include "platform/driver.h"
#include "platform/events.h"

namespace menu {

namespace {

constexpr int kPickerTextHeight = 7;
constexpr int kSwatchTop = 2, kSwatchBottom = 16;

struct PickerLayout {
  int Cell = 1;   // swatch cell width: a twentieth of the screen
  int Pitch = 1;  // character width
};

void PickerText(const PickerLayout& l, std::string_view s, int x, int y) {
  gfx::TextOut(s, x, y, kPickerTextHeight, l.Pitch);
}

void DrawValues(const PickerLayout& l, const std::int32_t values[]) {
  for (int c = 0; c < kPickerColours; ++c)
    PickerText(l, gfx::FormatNumber(values[c], 2, 0), c * l.Cell + 84 + 8, 39);
}

void DrawMarker(const PickerLayout& l, int m) { PickerText(l, "=====", m * l.Cell + 86, 32); }

void DrawPicker(const PickerLayout& l, std::string_view title, bool withValues,
                const std::int32_t values[]) {
  gfx::SelectMenuStrip();
  for (int c = 0; c < kPickerColours; ++c) {
    const int x = c * l.Cell + 84;
    gfx::SetColor(c);
    if (c < 8) gfx::SetLineStyle(1);
    for (int y = kSwatchTop; y <= kSwatchBottom; ++y)
      if (c >= 8 || y % 2 == 1) gfx::Line2(x + 2, y, x + l.Cell - 2, y);
    gfx::SetLineStyle(0);
    gfx::SetColor(gfx::K.MenuForeground);
    gfx::MoveTo2(x + 2, kSwatchTop);
    gfx::LineTo2(x + l.Cell - 2, kSwatchTop);
    gfx::LineTo2(x + l.Cell - 2, kSwatchBottom);
    gfx::LineTo2(x + 2, kSwatchBottom);
    gfx::LineTo2(x + 2, kSwatchTop);
    PickerText(l, gfx::FormatNumber(c, 2, 0), x + 8, 25);
  }
  PickerText(l, " Цвет"_sc, 1, 25);
  PickerText(l, title, 1, 39);
  if (withValues) DrawValues(l, values);
  PickerText(l, "                      Штриховые линии                   Сплошные линии"_sc, 84, 53);
}

}  // namespace

void PickColour(std::string_view titleText, bool withValues, std::int32_t& colour,
                std::int32_t values[kPickerColours]) {
  const std::string title = gfx::LangPart(titleText);
  PickerLayout l;
  l.Cell = std::max(1, gfx::Layout.ScreenWidth / 20);
  l.Pitch = std::max(1, l.Cell / 5);
  int m = std::clamp(colour, 0, kPickerColours - 1);
  colour = -1;
  DrawPicker(l, title, withValues, values);
  for (;;) {
    gfx::SetColor(gfx::K.MenuForeground);
    DrawMarker(l, m);
    std::uint8_t key = platform::Drv.DrvReadKey();
    gfx::SetColor(gfx::K.MenuBackground);
    DrawMarker(l, m);
    if (key == kKeyExtended) {
      std::uint8_t scan = platform::Drv.DrvReadKey();
      if (withValues) DrawValues(l, values);
      if (scan == platform::kScanLeft && m > 0) --m;
      else if (scan == platform::kScanRight && m < kPickerColours - 1) ++m;
      else if (scan == platform::kScanUp && values[m] < INT32_MAX) ++values[m];
      else if (scan == platform::kScanDown && values[m] > INT32_MIN) --values[m];
      gfx::SetColor(gfx::K.MenuForeground);
      if (withValues) DrawValues(l, values);
    } else if (key == ' ' && withValues) {
      float v = static_cast<float>(values[m]);
      std::int32_t status = 0;
      InputFloat(title + " = ", v, status);
      values[m] = gfx::NearestInt(v);
      DrawPicker(l, title, withValues, values);
    } else if (key == kKeyEnter || key == kKeyComplete || key == ' ') {
      colour = m;
      break;
    } else if (key == kKeyEsc || key == kKeyRefuse) {
      break;
    }
  }
  gfx::SetColor(gfx::K.MenuForeground);
  gfx::SelectPictureInner();
}

}  // namespace menu
