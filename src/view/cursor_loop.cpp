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

// Zoom and pan of the cursor loop, the view's own; Ctrl-arrows pan
// whatever the rotate mode is.
void CursorViewChange(std::uint8_t scan) {
  switch (scan) {
    case platform::kScanPageUp: ZoomView(true); break;
    case platform::kScanPageDown: ZoomView(false); break;
    case platform::kScanCtrlLeft: PanView(+1, 0); break;
    case platform::kScanCtrlRight: PanView(-1, 0); break;
    case platform::kScanCtrlUp: PanView(0, -1); break;
    case platform::kScanCtrlDown: PanView(0, +1); break;
    default: break;
  }
}

// One run of the cursor loop: the cursor's plane point, the screen
// position of the picture's pixel (0, 0), and where the loop last put the
// pointer.
struct CursorRun {
  float A = 0, B = 0, C = 0;
  int OriginX = 0, OriginY = 0;
  int PlacedX = 0, PlacedY = 0;
  void Toggle() const { Slots.CursorShapeHook(A, B, C); }  // XOR: draws or erases
};

// The pointer has left the place the loop put it: the cursor follows.
void FollowPointer(CursorRun& r, int mx, int my) {
  r.Toggle();
  const int cx = std::clamp(mx - r.OriginX, 1, std::max(1, V.ViewportWidth));
  const int cy = std::clamp(my - r.OriginY, 1, std::max(1, V.ViewportHeight));
  PixelToPlane(cx, cy, r.A, r.B, r.C);
  r.Toggle();
}

// The pointer on the cursor (when its pixel is in the viewport) and the
// read-out.
void PlacePointer(CursorRun& r) {
  std::int32_t px = 0, py = 0;
  PlaneToPixel(r.A, r.B, r.C, px, py);
  if (InViewport(px, py)) {
    r.PlacedX = px + r.OriginX;
    r.PlacedY = py + r.OriginY;
    platform::Drv.DrvSetMousePos(r.PlacedX, r.PlacedY);
  }
  ShowCursorCoords(r.A, r.B, r.C);
}

// Waits for a key, following the pointer meanwhile: true when a key waits,
// false when the pointer moved (a click is a key too, ' ' or Enter; the
// pointer it moved is followed first). Between events the loop sleeps in
// the driver.
bool WaitForKey(CursorRun& r) {
  const platform::PlatformDriver& d = platform::Drv;
  for (;;) {
    int mx = 0, my = 0, button = 0;
    const bool waiting = d.DrvKeyPressed();
    d.DrvGetMousePos(mx, my, button);
    if (mx != r.PlacedX || my != r.PlacedY) {
      FollowPointer(r, mx, my);
      return false;
    }
    if (waiting) return true;
    d.DrvWaitEvent();
  }
}

// An extended key: help, a cursor step (kept only when it stays in the
// viewport), or a zoom or pan with the picture drawn anew.
void ExtendedCursorKey(CursorRun& r, std::uint8_t scan) {
  float na = r.A, nb = r.B, nc = r.C;
  r.Toggle();
  if (scan == platform::kScanF1) {
    menu::Slots.HelpHook(menu::kHelpCursor);
  } else if (StepTarget(scan, na, nb, nc)) {
    std::int32_t tx = 0, ty = 0;
    PlaneToPixel(na, nb, nc, tx, ty);
    if (InViewport(tx, ty)) {
      r.A = na;
      r.B = nb;
      r.C = nc;
    }
  } else {
    CursorViewChange(scan);
    StoreView(2, V.ViewLayout);
    Redraw();
  }
  r.Toggle();
}

// The keys the loop handles itself; false for a key that ends the run.
bool CursorKey(CursorRun& r, std::uint8_t key) {
  if (key == menu::kKeyRefresh) return true;  // the model changed; the picture shows it
  if (key == menu::kKeyExtended) {
    ExtendedCursorKey(r, platform::Drv.DrvReadKey());
    return true;
  }
  if (key == ',' || key == '.' || key == '<' || key == '>') {
    r.Toggle();
    TurnCursor(key == ',' ? kAngleCoarse : key == '.' ? -kAngleCoarse
               : key == '<' ? kAngleFine : -kAngleFine);
    r.Toggle();
    return true;
  }
  if (key == '+' || key == '=' || key == '-' || key == '_') {
    const float f = key == '+' || key == '=' ? kStepFactor : 1 / kStepFactor;
    V.CursorStep *= f;
    V.CursorStepX *= f;
    V.CursorStepY *= f;
    V.CursorStepZ *= f;
    return true;
  }
  if (IsStepKey(key)) {
    std::uint8_t menuKey = 0;
    StepMenu("Шаг курсора"_sc, V.CursorStep, menuKey);
    SetCursorSteps(V.CursorStep);
    return true;
  }
  if (CursorViewKey(key)) {
    r.Toggle();
    ViewKey(key);
    r.Toggle();
    return true;
  }
  return false;
}

}  // namespace

void GetCursorPoint(float& x, float& y, float& z, std::uint8_t& key) {
  const platform::PlatformDriver& d = platform::Drv;
  V.CursorVisible = 1;
  TurnCursor(0);
  if (V.CursorStep == 0) SetCursorSteps(10);

  CursorRun r;
  WorldToPlane(V.CursorWorld[0], V.CursorWorld[1], V.CursorWorld[2], r.A, r.B, r.C);
  std::int32_t px = 0, py = 0;
  PlaneToPixel(r.A, r.B, r.C, px, py);
  if (!InViewport(px, py)) PixelToPlane(V.ViewportWidth / 2, V.ViewportHeight / 2, r.A, r.B, r.C);

  // Picture pixels to screen positions of the pointer.
  gfx::SelectPictureInner();
  d.DrvClientOrigin(gfx::Layout.ScreenWidth, gfx::Layout.ScreenHeight, r.OriginX, r.OriginY);
  r.OriginX += gfx::K.WindowLeft;
  r.OriginY += gfx::K.WindowTop;
  int button = 0;
  d.DrvGetMousePos(r.PlacedX, r.PlacedY, button);
  d.DrvHideMouse();
  r.Toggle();

  do {
    PlacePointer(r);
    while (!WaitForKey(r)) PlacePointer(r);
    key = d.DrvReadKey();
  } while (CursorKey(r, key));  // any other key ends the run

  r.Toggle();
  PlaneToWorld(r.A, r.B, r.C, V.CursorWorld[0], V.CursorWorld[1], V.CursorWorld[2]);
  x = V.CursorWorld[0];
  y = V.CursorWorld[1];
  z = V.CursorWorld[2];
  gfx::SetXorMode(0);
  gfx::SetLineStyle(0);
  d.DrvShowMouse();
}

}  // namespace view
