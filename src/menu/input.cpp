// src/menu/input.cpp — number and text input.
#include "menu/input.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "graphics/kernel.h"
#include "graphics/lang.h"
#include "graphics/numbers.h"
#include "graphics/text.h"
#include "menu/menu.h"
#include "platform/codepage.h"
#include "platform/driver.h"
#include "platform/events.h"

namespace menu {

std::int32_t KeyboardLayout = 0;
bool TextInputActive = false;

namespace {

constexpr int kRegisterCount = 26;
const float kRegisters[kRegisterCount + 1] = {};  // this program stores none

// Pixel x of a character cell (cells from 1, the first at x = 5).
int CellX(int cell, int cellWidth) { return 5 + (cell - 1) * cellWidth; }

// Baseline of prompt row r of the panel, in the menu strip window.
int RowY(int row, int extra) { return row * LineHeight() + extra + 2; }

void ClearPromptPanel() {
  if (M.MenuLayout != 0) gfx::SelectPanel();
  gfx::SelectMenuStrip();
}

// The strip's window again, without clearing it.
void ReselectStrip() {
  gfx::SetWindow(0, PanelTop() - 2, gfx::Layout.ScreenWidth, gfx::Layout.ScreenHeight);
}

// The shortest plain decimal that reads back as v: 0.001, 1000000.
std::string PlainNumber(float v) {
  char buffer[64];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed);
  return std::string(buffer, r.ptr);
}

void Text(std::string_view s, int x, int y) {
  gfx::TextOut(s, x, y, gfx::TextHeight, gfx::TextPitch);
}

// Screen text of a typed character: letters come in Windows Cyrillic.
std::string ScreenChar(std::uint8_t c) {
  return std::string(1, static_cast<char>(gfx::WinToScreenByte(c)));
}

}  // namespace

float ParseNumber(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == ',')) ++i;
  double sign = 1;
  if (i < s.size() && s[i] == '-') {
    sign = -1;
    ++i;
  } else if (i < s.size() && s[i] == '+') {
    ++i;
  }
  if (i < s.size() && s[i] >= 'A' && s[i] <= 'Z') return static_cast<float>(sign * kRegisters[s[i] - 'A' + 1]);
  double whole = 0, weight = 1;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') whole = whole * 10 + (s[i++] - '0');
  if (i < s.size() && (s[i] == '.' || s[i] == ',')) {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      weight /= 10;
      whole += (s[i++] - '0') * weight;
    }
  }
  return static_cast<float>(sign * whole);
}

bool IsNumberText(std::string_view s) {
  auto digit = [&](std::size_t i) { return i < s.size() && s[i] >= '0' && s[i] <= '9'; };
  std::size_t i = 0;
  int digits = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == ',')) ++i;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
  for (; digit(i); ++i) ++digits;
  if (i < s.size() && (s[i] == '.' || s[i] == ',')) ++i;
  for (; digit(i); ++i) ++digits;
  while (i < s.size() && s[i] == ' ') ++i;
  return digits > 0 && i == s.size();
}

std::string RangeText(ValueRange range) {
  const bool low = std::isfinite(range.Min), high = std::isfinite(range.Max);
  if (low && high)
    return gfx::LangPart("Допустимо от ;Allowed: from "_sc) + PlainNumber(range.Min) +
           gfx::LangPart(" до ; to "_sc) + PlainNumber(range.Max);
  if (low) return gfx::LangPart("Допустимо не меньше ;Allowed: at least "_sc) + PlainNumber(range.Min);
  if (high) return gfx::LangPart("Допустимо не больше ;Allowed: at most "_sc) + PlainNumber(range.Max);
  return gfx::LangPart("Число слишком велико;The number is too large"_sc);
}

void InputFloat(std::string_view prompt, float& value, std::int32_t& status, ValueRange range) {
  const int cell = gfx::TextPitch + 1;
  const std::string p = gfx::LangPart(prompt);
  const std::string shown = gfx::FormatKeepingDigits(value, 12, 6);
  const int c0 = static_cast<int>(p.size() + shown.size()) + 5 + 2;
  std::string s;
  int k = 0;
  // The prompt row, and below it why the last try was refused.
  auto start = [&](const std::string& refusal) {
    ClearPromptPanel();
    gfx::SetColor(gfx::K.MenuForeground);
    Text(p + " " + shown + " = ", 5, RowY(1, 0));
    if (!refusal.empty()) {
      PromptLine(1, refusal);
      ReselectStrip();
      gfx::SetColor(gfx::K.MenuForeground);
    }
    s.clear();
    k = 0;
  };
  start("");
  status = kInputEmpty;
  bool refused = false;
  float typed = value;
  for (;;) {
    std::uint8_t key = platform::Drv.DrvReadKey();
    if (key == kKeyExtended) {
      platform::Drv.DrvReadKey();
    } else if (key == kKeyBackspace) {
      --k;
      if (k < 0) {
        k = 0;
        s.clear();
      } else {
        gfx::SetColor(gfx::K.MenuBackground);
        Text(ScreenChar(static_cast<std::uint8_t>(s[k])), CellX(c0 + k + 1, cell), RowY(1, 0));
        gfx::SetColor(gfx::K.MenuForeground);
        s.resize(k);
      }
    } else if (key == kKeyEnter || key == kKeyComplete || key == ' ') {
      Text(gfx::WinToScreenCodes(s), CellX(c0 + k + 3, cell), RowY(1, 0));
      platform::Drv.DrvDelay(100);
      if (s.empty()) break;
      if (!IsNumberText(s)) {
        start(gfx::LangPart("Не число: ;Not a number: "_sc) + gfx::WinToScreenCodes(s));
        continue;
      }
      typed = ParseNumber(s);
      if (!std::isfinite(typed) || typed < range.Min || typed > range.Max) {
        start(RangeText(range));
        continue;
      }
      break;
    } else if (key == kKeyEsc || key == kKeyRefuse) {
      status = kInputRefused;
      refused = true;
      break;
    } else if (key < ' ') {
      // Other control codes (Ctrl letters, a refresh) are no part of a number.
    } else if (s.size() < kMaxTyped) {
      ++k;
      s += static_cast<char>(key);
      Text(ScreenChar(key), CellX(c0 + k, cell), RowY(1, 0));
    }
  }
  if (!refused && !s.empty()) {
    status = kInputRead;
    value = typed;
    Text(gfx::FormatNumber(value, 10, 3), CellX(c0 + k + 8, cell), RowY(1, 0));
    platform::Drv.DrvDelay(300);
  }
  gfx::SelectPictureInner();
  platform::Drv.DrvMouseRelease();
}

void InputInt(std::string_view prompt, std::int32_t& n, std::int32_t& status, ValueRange range) {
  float v = static_cast<float>(n);
  InputFloat(prompt, v, status, range);
  n = gfx::NearestInt(v);
}

std::uint8_t RussianLayoutChar(std::uint8_t c) {
  static constexpr const char* kLatin = "qwertyuiopasdfghjklzxcvbnm";
  static const char* const kCyrillic = "йцукенгшщзфывапролдячсмить"_sc;
  static const char* const kCyrillicUpper = "ЙЦУКЕНГШЩЗФЫВАПРОЛДЯЧСМИТЬ"_sc;
  for (int i = 0; kLatin[i]; ++i) {
    if (c == static_cast<std::uint8_t>(kLatin[i])) return static_cast<std::uint8_t>(kCyrillic[i]);
    if (c == static_cast<std::uint8_t>(kLatin[i] - 32))
      return static_cast<std::uint8_t>(kCyrillicUpper[i]);
  }
  static const char* const kFrom = "\"'#$&@,./<>?:;^[]{}`~|";
  static const char* const kTo = "ЭэN;?\"бю.БЮ,Жж:хъХЪёЁ/"_sc;
  for (int i = 0; kFrom[i]; ++i)
    if (c == static_cast<std::uint8_t>(kFrom[i])) return static_cast<std::uint8_t>(kTo[i]);
  return c;
}

namespace {

struct EditView {
  int Base = 0;   // b: the cell before the text
  int Pitch = 0;  // cell width
};

// The text and its cursor; a suggestion is underlined whole instead.
void DrawEditText(const EditView& v, const std::string& text, int p, bool suggested) {
  Text(text, CellX(v.Base + 1, v.Pitch), RowY(1, 0));
  if (suggested && !text.empty()) {
    for (int c = 1; c <= static_cast<int>(text.size()); ++c)
      Text("-", CellX(v.Base + c, v.Pitch), RowY(2, 1));
  } else {
    Text("-", CellX(v.Base + p, v.Pitch), RowY(2, 1));
  }
}

void DrawLayoutHelp(int layout) {
  const int pitch = gfx::TextPitch;
  if (layout == 0) {
    Text("Латинский шрифт."_sc, 5, RowY(3, 1));
    Text("Знаки ! @ # $ % ^ & * ( )"_sc, 40 * pitch + 5, RowY(3, 1));
  } else {
    Text("Русский шрифт."_sc, 5, RowY(3, 1));
    Text("Знаки ! \" № ; % : ? * ( )"_sc, 40 * pitch + 5, RowY(3, 1));
  }
  Text("Переключение - Ctrl-A."_sc, 5, RowY(4, 1));
  Text("Shift 1 2 3 4 5 6 7 8 9 0", 40 * pitch + 5, RowY(4, 1));
}

}  // namespace

void EditLine(std::string_view prompt, std::string& text, bool suggested) {
  TextInputActive = true;
  const int savedMode = gfx::TextMode;
  gfx::TextMode = gfx::kTextModePlain;  // file names keep their backslashes
  const std::string entry = text;
  const std::string p = gfx::LangPart(prompt) + "    :";
  ClearPromptPanel();
  gfx::SetColor(gfx::K.MenuForeground);
  Text(p, 5, RowY(1, 0));
  const EditView v{static_cast<int>(p.size()) + 5, gfx::TextPitch};
  int pos = static_cast<int>(text.size()) + 1;
  suggested = suggested && !text.empty();
  DrawEditText(v, text, pos, suggested);
  DrawLayoutHelp(KeyboardLayout);

  auto redraw = [&](auto change) {
    gfx::SetColor(gfx::K.MenuBackground);
    DrawEditText(v, text, pos, suggested);
    change();
    gfx::SetColor(gfx::K.MenuForeground);
    DrawEditText(v, text, pos, suggested);
  };
  // A suggestion gives way to the first change of the text.
  auto clearSuggestion = [&] {
    if (suggested) {
      text.clear();
      pos = 1;
    }
    suggested = false;
  };
  for (;;) {
    std::uint8_t key = platform::Drv.DrvReadKey();
    if (key == kKeyExtended) {
      std::uint8_t scan = platform::Drv.DrvReadKey();
      if (suggested && (scan == platform::kScanLeft || scan == platform::kScanRight))  // to its start or its end
        redraw([&] { suggested = false; pos = scan == platform::kScanLeft ? 1 : pos; });
      else if (suggested && scan == platform::kScanDelete) redraw(clearSuggestion);
      else if (scan == platform::kScanLeft && pos > 1) redraw([&] { --pos; });
      else if (scan == platform::kScanRight && pos <= static_cast<int>(text.size())) redraw([&] { ++pos; });
      else if (scan == platform::kScanDelete && pos <= static_cast<int>(text.size()))
        redraw([&] { text.erase(pos - 1, 1); });
    } else if (key == kKeyBackspace) {
      if (suggested) redraw(clearSuggestion);
      else if (pos > 1) redraw([&] { text.erase(--pos - 1, 1); });
    } else if (key == kKeyEnter || key == kKeyEsc) {
      if (key == kKeyEsc) redraw([&] { text = entry; pos = static_cast<int>(text.size()) + 1; });
      Text(text, CellX(v.Base + pos + 3, v.Pitch), RowY(1, 0));
      platform::Drv.DrvDelay(100);
      break;
    } else if (key == 1) {  // Ctrl-A
      gfx::SetColor(gfx::K.MenuBackground);
      DrawLayoutHelp(KeyboardLayout);
      KeyboardLayout = 1 - KeyboardLayout;
      gfx::SetColor(gfx::K.MenuForeground);
      DrawLayoutHelp(KeyboardLayout);
    } else if (key >= 32 && text.size() < kMaxTyped) {
      std::uint8_t c = key >= 0x80 ? gfx::WinToScreenByte(key)
                                   : KeyboardLayout == 1 ? RussianLayoutChar(key) : key;
      redraw([&] {
        clearSuggestion();
        text.insert(text.begin() + (pos - 1), static_cast<char>(c));
        ++pos;
      });
    }
  }
  gfx::TextMode = savedMode;
  TextInputActive = false;
  gfx::SelectPictureInner();
}

}  // namespace menu
