// src/view/cursor_loop.cpp — the interactive side of the cursor: the loop
// that moves it with keys and the mouse, the step menu it shares with the
// grid, the coordinate read-out and the grid-step dialog.
//
//   Coordinate read-out
//   Step menu
//   Grid-step dialog
//   Cursor loop
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>

#include "graphics/kernel.h"
#include "graphics/numbers.h"
#include "graphics/text.h"
#include "menu/input.h"
#include "menu/menu.h"
#include "platform/codepage.h"
#include "platform/driver.h"
#include "platform/events.h"
#include "view/view.h"

namespace view {

// ---------------------------------------------------------------------------
// Coordinate read-out
// ---------------------------------------------------------------------------

namespace {
constexpr int kReadOutColumns = 20;  // characters of a read-out line
constexpr int kReadOutMinPitch = 5;
}  // namespace

void ShowCursorCoords(float a, float b, float c) {
  const CursorCoordText t = CursorCoordLines(a, b, c);
  const int w = std::max(kReadOutMinPitch, gfx::NearestInt(0.6 * gfx::TextPitch));
  const int box = (w + 1) * kReadOutColumns;
  const gfx::ScreenLayout& l = gfx::Layout;
  gfx::SetWindow(l.ScreenWidth - box, l.MenuStripTop, l.ScreenWidth, l.ScreenHeight);
  gfx::ClearWindow();
  gfx::SetColor(gfx::kForeground);
  for (int k = 1; k <= 3; ++k)
    gfx::TextOut(t.Line[k - 1], 1, k * (gfx::TextLineStep + 1) - 1, gfx::TextHeight, w);
  gfx::SelectPictureInner();
}

// ---------------------------------------------------------------------------
// Step menu
// ---------------------------------------------------------------------------

namespace {
// Windows Cyrillic Ч and ч, on the key of X.
constexpr std::uint8_t kRuChUpper = 0xD7, kRuCh = 0xF7;

bool IsStepKey(std::uint8_t key) {
  return key == 'X' || key == 'x' || key == kRuChUpper || key == kRuCh;
}
}  // namespace

void StepMenu(std::string_view title, float& value, std::uint8_t& key) {
  std::string kept[menu::kPromptLines];
  for (int i = 0; i < menu::kPromptLines; ++i) kept[i] = menu::M.Prompts[i];

  menu::PromptLine(0, std::string(12, ' ') + std::string(title) + "  " +
                          gfx::FormatNumber(value, 6, 3) + "     X - Ввести число"_sc);
  menu::PromptLine(1, " 1     1 мм            4     4 мм            7    10 мм"_sc);
  menu::PromptLine(2, " 2     2 мм            5     5 мм            8   100 мм"_sc);
  menu::PromptLine(3, " 3   0,1 мм            6   0,5 мм            9 Ввести число"_sc);

  key = platform::Drv.DrvReadKey();
  switch (key) {
    case '1': value = 1; break;
    case '2': value = 2; break;
    case '3': value = 0.1f; break;
    case '4': value = 4; break;
    case '5': value = 5; break;
    case '6': value = 0.5f; break;
    case '7': value = 10; break;
    case '8': value = 100; break;
    default:
      if (key == '9' || IsStepKey(key)) {
        std::int32_t status = menu::kInputEmpty;
        menu::InputFloat(title, value, status);  // a refusal leaves value
      }
      break;
  }

  for (int i = 0; i < menu::kPromptLines; ++i) menu::PromptLine(i, kept[i]);
}

// ---------------------------------------------------------------------------
// Grid-step dialog
// ---------------------------------------------------------------------------

void GridStepDialog(std::uint8_t& key) {
  float g = V.GridStep;
  StepMenu("Шаг сетки"_sc, g, key);
  menu::PromptLine(0, "SETKA");
  DrawGrid(gfx::kForeground);  // the old grid goes
  menu::PromptLine(1, "SETKA 0");
  SetGridStep(g);
  V.GridShown = 1;
  menu::PromptLine(2, "SETKA 0");
  DrawGrid(gfx::kForeground);
  key = menu::kKeyNothing;
}

// ---------------------------------------------------------------------------
// Cursor loop
// ---------------------------------------------------------------------------

namespace {

constexpr float kAngleCoarse = static_cast<float>(std::numbers::pi / 12);  // 15°
constexpr float kAngleFine = static_cast<float>(std::numbers::pi / 180);   // 1°
constexpr float kStepFactor = 4;
constexpr float kZoomFactor = 1.5f;
constexpr float kSmallestScale = 1e-5f;

bool InViewport(std::int32_t x, std::int32_t y) {
  return x >= 0 && x <= V.ViewportWidth && y >= 0 && y <= V.ViewportHeight;
}

void TurnCursor(float by) {
  V.CursorAngle += by;
  V.CursorAngleSin = std::sin(V.CursorAngle);
  V.CursorAngleCos = std::cos(V.CursorAngle);
}

// The keys the loop hands to ViewKey with the cursor erased meanwhile.
bool CursorViewKey(std::uint8_t key) {
  switch (key) {
    case 2: case 4: case 5: case 9: case 11: case 14: case 17: case 18: case 22:
    case '!': case '$': case '%': case '/': case '@':
    case 'B': case 'R': case 'V': case 'Z': case 'b': case 'r': case 'v': case 'z':
    case 0xC8: case 0xCA: case 0xCC: case 0xDF:  // И К М Я
    case 0xE8: case 0xEA: case 0xEC: case 0xFF:  // и к м я
      return true;
    default:
      return false;
  }
}

// A step key's target, or false when the scan code is not one.
bool StepTarget(std::uint8_t scan, float& a, float& b, float& c) {
  switch (scan) {
    case platform::kScanUp: b = SnapStep(b, V.CursorStepY, +1); return true;
    case platform::kScanDown: b = SnapStep(b, V.CursorStepY, -1); return true;
    case platform::kScanRight: a = SnapStep(a, V.CursorStepX, +1); return true;
    case platform::kScanLeft: a = SnapStep(a, V.CursorStepX, -1); return true;
    case platform::kScanShiftUp: c = SnapStep(c, V.CursorStepZ, +1); return true;
    case platform::kScanShiftDown: c = SnapStep(c, V.CursorStepZ, -1); return true;
    case platform::kScanEnd: c = 0; return true;
    default: return false;
  }
}

// Zoom and pan of the cursor loop; Ctrl-arrows pan whatever the rotate
// mode is.
void CursorViewChange(std::uint8_t scan) {
  switch (scan) {
    case platform::kScanPageUp:
      if (V.ViewScaleU > kSmallestScale) {
        V.ViewScaleU /= kZoomFactor;
        V.ViewScaleV /= kZoomFactor;
        V.ViewScaleW /= kZoomFactor;
      }
      break;
    case platform::kScanPageDown:
      V.ViewScaleU *= kZoomFactor;
      V.ViewScaleV *= kZoomFactor;
      V.ViewScaleW *= kZoomFactor;
      break;
    case platform::kScanCtrlLeft: V.ViewCentreU += static_cast<float>(V.PanStepX) * V.ViewScaleU; break;
    case platform::kScanCtrlRight: V.ViewCentreU -= static_cast<float>(V.PanStepX) * V.ViewScaleU; break;
    case platform::kScanCtrlUp: V.ViewCentreV -= static_cast<float>(V.PanStepY) * V.ViewScaleV; break;
    case platform::kScanCtrlDown: V.ViewCentreV += static_cast<float>(V.PanStepY) * V.ViewScaleV; break;
    default: break;
  }
}

}  // namespace

void GetCursorPoint(float& x, float& y, float& z, std::uint8_t& key) {
  const platform::PlatformDriver& d = platform::Drv;
  V.CursorVisible = 1;
  TurnCursor(0);
  if (V.CursorStep == 0) SetCursorSteps(10);

  float a = 0, b = 0, c = 0;
  WorldToPlane(V.CursorWorld[0], V.CursorWorld[1], V.CursorWorld[2], a, b, c);
  std::int32_t px = 0, py = 0;
  PlaneToPixel(a, b, c, px, py);
  if (!InViewport(px, py)) PixelToPlane(V.ViewportWidth / 2, V.ViewportHeight / 2, a, b, c);

  // Picture pixels to screen positions of the pointer.
  gfx::SelectPictureInner();
  int ox = 0, oy = 0;
  d.DrvClientOrigin(gfx::Layout.ScreenWidth, gfx::Layout.ScreenHeight, ox, oy);
  ox += gfx::K.WindowLeft;
  oy += gfx::K.WindowTop;
  int placedX = 0, placedY = 0, button = 0;
  d.DrvGetMousePos(placedX, placedY, button);
  d.DrvHideMouse();
  Slots.CursorShapeHook(a, b, c);

  // The pointer has left the place the loop put it: the cursor follows.
  auto followPointer = [&](int mx, int my) {
    Slots.CursorShapeHook(a, b, c);
    const int cx = std::clamp(mx - ox, 1, std::max(1, V.ViewportWidth));
    const int cy = std::clamp(my - oy, 1, std::max(1, V.ViewportHeight));
    PixelToPlane(cx, cy, a, b, c);
    Slots.CursorShapeHook(a, b, c);
  };

  for (;;) {
    PlaneToPixel(a, b, c, px, py);
    if (InViewport(px, py)) {
      placedX = px + ox;
      placedY = py + oy;
      d.DrvSetMousePos(placedX, placedY);
    }
    ShowCursorCoords(a, b, c);

    // Wait for a key, following the pointer meanwhile. A click is a key
    // too (' ' or Enter); the pointer it moved is followed first. Between
    // events the loop sleeps in the driver.
    bool moved = false;
    for (;;) {
      int mx = 0, my = 0;
      const bool waiting = d.DrvKeyPressed();
      d.DrvGetMousePos(mx, my, button);
      if (mx != placedX || my != placedY) {
        followPointer(mx, my);
        moved = true;
        break;
      }
      if (waiting) break;
      d.DrvWaitEvent();
    }
    if (moved) continue;

    key = d.DrvReadKey();
    if (key == menu::kKeyRefresh) continue;  // the model changed; the picture shows it
    if (key == menu::kKeyExtended) {
      const std::uint8_t scan = d.DrvReadKey();
      float na = a, nb = b, nc = c;
      if (scan == platform::kScanF1) {
        Slots.CursorShapeHook(a, b, c);
        menu::Slots.HelpHook(menu::kHelpCursor);
        Slots.CursorShapeHook(a, b, c);
      } else if (StepTarget(scan, na, nb, nc)) {
        Slots.CursorShapeHook(a, b, c);
        std::int32_t tx = 0, ty = 0;
        PlaneToPixel(na, nb, nc, tx, ty);
        if (InViewport(tx, ty)) {
          a = na;
          b = nb;
          c = nc;
        }
        Slots.CursorShapeHook(a, b, c);
      } else {
        Slots.CursorShapeHook(a, b, c);
        CursorViewChange(scan);
        StoreView(2, V.ViewLayout);
        Redraw();
        Slots.CursorShapeHook(a, b, c);
      }
      continue;
    }
    if (key == ',' || key == '.' || key == '<' || key == '>') {
      Slots.CursorShapeHook(a, b, c);
      TurnCursor(key == ',' ? kAngleCoarse : key == '.' ? -kAngleCoarse
                 : key == '<' ? kAngleFine : -kAngleFine);
      Slots.CursorShapeHook(a, b, c);
      continue;
    }
    if (key == '+' || key == '=' || key == '-' || key == '_') {
      const float f = key == '+' || key == '=' ? kStepFactor : 1 / kStepFactor;
      V.CursorStep *= f;
      V.CursorStepX *= f;
      V.CursorStepY *= f;
      V.CursorStepZ *= f;
      continue;
    }
    if (IsStepKey(key)) {
      std::uint8_t menuKey = 0;
      StepMenu("Шаг курсора"_sc, V.CursorStep, menuKey);
      SetCursorSteps(V.CursorStep);
      continue;
    }
    if (CursorViewKey(key)) {
      Slots.CursorShapeHook(a, b, c);
      ViewKey(key);
      Slots.CursorShapeHook(a, b, c);
      continue;
    }
    break;  // any other key ends the run
  }

  Slots.CursorShapeHook(a, b, c);
  PlaneToWorld(a, b, c, V.CursorWorld[0], V.CursorWorld[1], V.CursorWorld[2]);
  x = V.CursorWorld[0];
  y = V.CursorWorld[1];
  z = V.CursorWorld[2];
  gfx::SetXorMode(0);
  gfx::SetLineStyle(0);
  d.DrvShowMouse();
}

}  // namespace view
