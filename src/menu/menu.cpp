// src/menu/menu.cpp — the bottom-panel menus, prompt lines and key reader.
//
// Index:
//   1. state and slots
//   2. the item table
//   3. the button table and its drawing
//   4. RunMenu and the key reader
//   5. prompt lines
//   6. screen set-up, picture clear, indicator
#include "menu/menu.h"

#include <algorithm>

#include "graphics/kernel.h"
#include "graphics/lang.h"
#include "graphics/numbers.h"
#include "graphics/text.h"
#include "menu/input.h"
#include "platform/codepage.h"
#include "platform/driver.h"
#include "platform/events.h"

namespace menu {

// ---------------------------------------------------------------------------
// 1. State and slots

MenuState M;

MenuSlots Slots;

int LineHeight() { return gfx::TextLineStep; }
int PanelTop() { return gfx::Layout.MenuStripTop; }
int CharsPerColumn() { return gfx::MenuColumnWidth / std::max(1, gfx::TextPitch); }

namespace {

// The menu strip window starts two pixels above the panel's top edge.
int StripY(int absoluteY) { return absoluteY - (PanelTop() - 2); }

std::string Cut(std::string s, std::size_t n) {
  if (s.size() > n) s.resize(n);
  return s;
}

}  // namespace

// ---------------------------------------------------------------------------
// 2. The item table

void SetTextItem(int i, std::string_view label) {
  if (i < 0 || i > kMaxItems) return;
  M.Items[i].Label = std::string(label.substr(0, 4 * kMaxText));
  M.Items[i].Width = 0;
  M.ItemsLanguage = gfx::LanguageIndex;
  M.Items[i].Text = Cut(gfx::LangPart(label), kMaxText);
  M.Items[i].ValueText.clear();
  M.Items[i].Kind = kItemText;
}

void SetTextItems(int first, std::initializer_list<std::string_view> labels) {
  for (std::string_view label : labels) SetTextItem(first++, label);
}

void SetTitleItem(int i, std::string_view label, float value, int width, int decimals) {
  SetTextItem(i, label);
  if (i < 0 || i > kMaxItems || width <= 0) return;
  M.Items[i].Width = width;
  M.Items[i].Decimals = decimals;
  M.Items[i].Shown = value;
  std::string number = Cut(gfx::FormatKeepingDigits(value, width, decimals), kMaxNumberText);
  int blanks = i == 0 ? 1
                      : CharsPerColumn() - static_cast<int>(M.Items[i].Text.size()) -
                            static_cast<int>(number.size()) - 3;
  M.Items[i].ValueText = Cut(std::string(std::max(0, blanks), ' ') + number, kMaxText);
}

void SetNumberItem(int i, std::string_view label, float value, int width, int decimals) {
  SetTitleItem(i, label, value, width, decimals);
  if (i < 0 || i > kMaxItems) return;
  M.Items[i].Value = value;
  M.Items[i].Kind = kItemNumber;
  M.Items[i].Range = kAnyNumber;
}

void SetItemRange(int i, ValueRange range) {
  if (i >= 0 && i <= kMaxItems) M.Items[i].Range = range;
}

void SetTextItemAnsi(int i, std::string_view label) {
  SetTextItem(i, gfx::WinToScreenCodes(label));
}

float GetItemValue(int i) { return i >= 0 && i <= kMaxItems ? M.Items[i].Value : 0.0f; }
std::int32_t GetItemInt(int i) { return gfx::NearestInt(GetItemValue(i)); }

// ---------------------------------------------------------------------------
// 3. The button table and its drawing

namespace {

constexpr const char* kLetterButtons = "FPLAMSNTWQJ/";

void AddButton(int left, int top, int right, int bottom, KeyCode key, std::uint8_t scan,
               std::string caption, bool arrow = false) {
  if (M.ButtonCount >= kMaxButtons) return;
  MenuButton& b = M.Buttons[M.ButtonCount++];
  b = MenuButton{};
  b.Left = left;
  b.Top = top;
  b.Right = right;
  b.Bottom = bottom;
  b.Key = key;
  b.Scan = scan;
  b.Caption = std::move(caption);
  b.Arrow = arrow;
}

void BuildButtons() {
  M.ButtonCount = 0;
  const int cw = gfx::MenuColumnWidth, L = LineHeight(), top = PanelTop();
  AddButton(0, top - 1, 2 * cw, top + L, kKeyEnter, 0, "");
  for (int k = 1; k <= kMaxItems; ++k) {
    int col = (k - 1) / 3, row = (k - 1) % 3;
    AddButton(col * cw, top + (row + 1) * (L + 1) - 1, (col + 1) * cw,
              top + (row + 2) * (L + 1) - 1, static_cast<KeyCode>('0' + k), 0, "");
  }
  const int lw = 2 * (cw / 24);
  for (int j = 0; kLetterButtons[j]; ++j) {
    int x = 2 * cw + j * lw;
    AddButton(x, top - 1, x + lw, top + L, static_cast<KeyCode>(kLetterButtons[j]), 0,
              std::string(1, kLetterButtons[j]));
  }
  const int q = gfx::MenuStripHeight / 3, x0 = 3 * cw;
  auto cell = [&](int row, int col, KeyCode key, std::uint8_t scan, const char* caption, bool arrow) {
    AddButton(x0 + col * q, top + row * q, x0 + (col + 1) * q, top + (row + 1) * q, key, scan,
              caption, arrow);
  };
  cell(0, 0, 'B', 0, "B", false);
  cell(0, 1, 0, platform::kScanUp, "", true);
  cell(0, 2, 0, platform::kScanPageUp, "Up", false);
  cell(1, 0, 0, platform::kScanLeft, "", true);
  cell(1, 1, 'R', 0, "R", false);
  cell(1, 2, 0, platform::kScanRight, "", true);
  cell(2, 0, 'Z', 0, "Z", false);
  cell(2, 1, 0, platform::kScanDown, "", true);
  cell(2, 2, 0, platform::kScanPageDown, "Dn", false);
}

void LineAbs(int x1, int y1, int x2, int y2) { gfx::Line2(x1, StripY(y1), x2, StripY(y2)); }

// An arrow pointing along (dx, dy) in the middle of a button.
void DrawArrow(const MenuButton& b) {
  int cx = (b.Left + b.Right) / 2, cy = (b.Top + b.Bottom) / 2;
  int s = std::max(2, (b.Right - b.Left) / 4);
  int dx = 0, dy = 0;
  switch (b.Scan) {
    case platform::kScanUp: dy = -1; break;
    case platform::kScanDown: dy = 1; break;
    case platform::kScanLeft: dx = -1; break;
    default: dx = 1; break;
  }
  int tipX = cx + dx * s, tipY = cy + dy * s;
  LineAbs(cx - dx * s, cy - dy * s, tipX, tipY);
  // The head: two strokes back from the tip, at right angles to each other.
  int hx = -dx * s / 2, hy = -dy * s / 2;
  LineAbs(tipX, tipY, tipX + hx - hy, tipY + hy + hx);
  LineAbs(tipX, tipY, tipX + hx + hy, tipY + hy - hx);
}

void DrawButtonFrame(const MenuButton& b) {
  gfx::SetColor(M.BevelLight);
  LineAbs(b.Left, b.Bottom, b.Left, b.Top);
  LineAbs(b.Left, b.Top, b.Right, b.Top);
  gfx::SetColor(M.BevelDark);
  LineAbs(b.Right, b.Top, b.Right, b.Bottom);
  LineAbs(b.Right, b.Bottom, b.Left, b.Bottom);
}

void PanelText(std::string_view text, int x, int yAbs, int maxWidth) {
  gfx::TextOutFit(text, x, StripY(yAbs), gfx::TextHeight, gfx::TextPitch, maxWidth);
}

}  // namespace

// The language was switched while the menu was shown (Ctrl-K): the items
// are taken again from their labels in the new language.
static void RetakeItemTexts() {
  for (int i = 0; i <= kMaxItems; ++i) {
    MenuItem& item = M.Items[i];
    const std::int32_t kind = item.Kind;
    const float value = item.Value;
    const ValueRange range = item.Range;
    const std::string label = item.Label;
    if (item.Width > 0) SetTitleItem(i, label, item.Shown, item.Width, item.Decimals);
    else SetTextItem(i, label);
    item.Kind = kind;
    item.Value = value;
    item.Range = range;
  }
}

void DrawMenu() {
  if (M.ItemsLanguage != gfx::LanguageIndex) RetakeItemTexts();
  BuildButtons();  // the window may have another size since the menu started
  if (M.MenuLayout != 0) gfx::SelectPanel();
  gfx::SelectMenuStrip();
  for (int i = 0; i < M.ButtonCount; ++i) {
    const MenuButton& b = M.Buttons[i];
    if (M.MenuLayout != 0 && !b.Sequence.empty()) {
      gfx::SetColor(M.BevelDark);
      for (int y = b.Top; y <= b.Bottom; ++y) LineAbs(b.Left, y, b.Right, y);
    }
    DrawButtonFrame(b);
  }
  gfx::SetColor(gfx::K.MenuForeground);
  for (int i = 0; i < M.ButtonCount; ++i) {
    const MenuButton& b = M.Buttons[i];
    if (b.Arrow) DrawArrow(b);
    else if (!b.Caption.empty()) PanelText(b.Caption, b.Left + 4, b.Bottom - 4, 1 << 20);
  }
  const int cw = gfx::MenuColumnWidth, pitch = gfx::TextPitch;
  if (M.ButtonCount > 0) {
    const MenuButton& t = M.Buttons[0];
    PanelText(" " + M.Items[0].Text + M.Items[0].ValueText, t.Left + 1, t.Bottom - 5,
              2 * (cw - pitch));
  }
  for (int k = 1; k <= M.ItemCount && k < M.ButtonCount; ++k) {
    const MenuButton& b = M.Buttons[k];
    std::string line = std::string(1, static_cast<char>('0' + k)) + " " + M.Items[k].Text +
                       M.Items[k].ValueText;
    PanelText(line, b.Left + 1, b.Bottom - 5, cw - pitch);
  }
  gfx::SelectPictureInner();
}

// ---------------------------------------------------------------------------
// 4. RunMenu and the key reader

void RunMenu(int n, KeyCode& key) {
  n = std::clamp(n, 0, kMaxItems);
  BuildButtons();
  M.ItemCount = n;
  for (;;) {
    if (M.KeyQueue.empty()) DrawMenu();
    do {
      MenuReadKey(key);
    } while (key == kKeyExtended || key == kKeyBackspace);
    int d = key - '0';
    if (d == 0 || (d >= 1 && d <= 9 && d > n)) continue;
    if (d < 1 || d > n || M.Items[d].Kind != kItemNumber) break;
    std::int32_t status = 0;
    InputFloat(M.Items[d].Text, M.Items[d].Value, status, M.Items[d].Range);
    if (status >= 0) break;
  }
  gfx::SetColor(gfx::kForeground);
}

void RefreshMenu() {
  if (M.WaitingForKey) platform::PushKey(kKeyRefresh);
}

bool IsViewKey(KeyCode key) {
  switch (key) {
    case 2: case 4: case 9: case 11: case 14: case 17: case 18: case 22: case 26:
    case '!': case '"': case '$': case '%': case ',': case '.': case '/': case ';':
    case '<': case '>': case '@':
    case 'B': case 'E': case 'G': case 'R': case 'V': case 'Z':
    case 'b': case 'e': case 'g': case 'r': case 'v': case 'z':
      return true;
    default:
      break;
  }
  // The Russian-layout letters on the same keys, as the window delivers
  // them (Windows Cyrillic): Б Ю Я И У П К М, б ю я и у п к м and ж.
  static constexpr std::uint8_t kRussian[] = {0xC1, 0xDE, 0xDF, 0xC8, 0xD3, 0xCF, 0xCA, 0xCC,
                                              0xE1, 0xFE, 0xFF, 0xE8, 0xF3, 0xEF, 0xEA, 0xEC,
                                              0xE6};
  return std::find(std::begin(kRussian), std::end(kRussian), key) != std::end(kRussian);
}

void MenuReadKey(KeyCode& key) {
  std::uint8_t scan = 0;
  bool haveScan = false;
  if (!M.KeyQueue.empty()) {
    key = static_cast<KeyCode>(M.KeyQueue[0]);
    M.KeyQueue.erase(0, 1);
    return;
  }
  M.WaitingForKey = true;
  key = platform::Drv.DrvReadKey();
  M.WaitingForKey = false;
  if (key == ' ' || key == 5) {
    int x = 0, y = 0, button = 0;
    platform::Drv.DrvGetMouseEvent(x, y, button);
    for (int i = 0; i < M.ButtonCount; ++i) {
      const MenuButton& b = M.Buttons[i];
      if (x >= b.Left && x <= b.Right && y >= b.Top && y <= b.Bottom) {
        key = b.Key;
        scan = b.Scan;
        haveScan = true;
        M.KeyQueue = b.Sequence;
        break;
      }
    }
  }
  if (key == kKeyExtended) {
    if (!haveScan) scan = platform::Drv.DrvReadKey();
    if (scan == platform::kScanUndo || scan == platform::kScanRedo) {
      Slots.EditHook(scan == platform::kScanRedo);
      key = kKeyRefresh;
    } else if (scan == platform::kScanF1) {
      Slots.HelpHook(kHelpMenus);
    } else {
      Slots.ExtendedKeyHook(scan);
    }
    return;
  }
  if (key == 'X' || key == 'x' || key == 0xD7 || key == 0xF7) {  // also Ч, ч
    Slots.GridStepHook(key);
    key = kKeyNothing;
    return;
  }
  if (IsViewKey(key)) {
    Slots.ViewKeyHook(key);
    if (key != kKeyCtrlZ) key = kKeyNothing;
  }
}

// ---------------------------------------------------------------------------
// 5. Prompt lines

namespace {
void DrawPromptLine(int line) {
  gfx::SetColor(gfx::K.MenuForeground);
  gfx::TextOut(M.Prompts[line], 5, StripY(PanelTop() + (line + 1) * LineHeight()),
               gfx::TextHeight, gfx::TextPitch);
}
}  // namespace

void PromptLine(int line, std::string_view text) {
  if (line < 0 || line >= kPromptLines) return;
  if (line == 0) {
    gfx::SelectMenuStrip();
    for (auto& p : M.Prompts) p.clear();
  } else {
    gfx::SetWindow(0, PanelTop() - 2, gfx::Layout.ScreenWidth, gfx::Layout.ScreenHeight);
  }
  M.Prompts[line] = std::string(text);
  DrawPromptLine(line);
  gfx::SelectPictureInner();
}

std::uint8_t PromptAndReadKey(std::string_view text) {
  PromptLine(0, text);
  return platform::Drv.DrvReadKey();
}

void RedrawPrompts() {
  gfx::SelectMenuStrip();
  for (int line = 0; line < kPromptLines; ++line) DrawPromptLine(line);
  gfx::SelectPictureInner();
}

// ---------------------------------------------------------------------------
// 6. Screen set-up, picture clear, indicator

void ScreenSetUp() {
  platform::Drv.DrvInitGraphics();
  ClearPicture();
  M.IndicatorColour = gfx::kForeground;
  M.IndicatorNumber = 0;
  KeyboardLayout = 0;
}

void ClearPicture() {
  gfx::ScreenLayout& l = gfx::Layout;
  gfx::ComputeScreenLayout();
  l.PictureLeft = 0;
  l.PictureTop = 0;
  l.PictureWidth = l.AreaWidth;
  l.PictureHeight = l.AreaHeight;
  const int wp = l.PictureWidth, hp = l.PictureHeight;
  gfx::SelectPicture();
  gfx::ClearWindow();
  gfx::ClearDepth();
  gfx::SetColor(M.FrameColour);
  gfx::MoveTo2(0, 0);
  gfx::LineTo2(wp - 2, 0);
  gfx::LineTo2(wp - 2, hp - 3);
  gfx::LineTo2(0, hp - 3);
  gfx::LineTo2(0, 0);
  gfx::SelectPictureInner();
  DrawIndicator();
}

void DrawIndicator() {
  const int b = gfx::Layout.BorderWidth, h = gfx::TextHeight;
  gfx::SetColor(gfx::kBackground);
  for (int y = b + 1; y <= b + 9; ++y) gfx::Line2(b + 1, y, b + 24, y);
  gfx::SetColor(M.IndicatorColour);
  for (int y = b + 1; y <= b + 8; ++y) gfx::Line2(b + 1, y, b + 7, y);
  gfx::SetColor(gfx::kForeground);
  std::string number = gfx::FormatNumber(M.IndicatorNumber, 1, 0);
  if (number.size() > 4) number.resize(4);
  gfx::TextOut(number, b + h + 1, b + h + 1, h, h);
}

}  // namespace menu
