// src/view/redraw.cpp — the full redraw of the picture: the application's
// slots, the screen preparation, the overlays (axes tripods and grid), the
// fit to the drawing and the dialogs that recall, save and deepen views.
//
//   Procedure slots
//   Screen preparation
//   Redraw and fit
//   Overlays
//   View dialogs
//   Start-up wiring
#include <cmath>
#include <string>

#include "graphics/kernel.h"
#include "graphics/numbers.h"
#include "graphics/text.h"
#include "menu/input.h"
#include "menu/menu.h"
#include "platform/codepage.h"
#include "platform/driver.h"
#include "store/store.h"
#include "view/view.h"

namespace view {

// ---------------------------------------------------------------------------
// Procedure slots
// ---------------------------------------------------------------------------

namespace {
// What an unfilled slot shows before it waits for a key.
void NameUndefinedSlot(const std::string& name) {
  menu::PromptLine(0, std::string("Не определена процедура "_sc) + name);
  platform::Drv.DrvReadKey();
}
}  // namespace

void DefaultWidRis() { NameUndefinedSlot("WID_RIS"); }

void DefaultWidGran(float& umin, float& vmin, float& umax, float& vmax) {
  NameUndefinedSlot("WID_GRAN" + gfx::FormatNumber(umin + vmin + umax + vmax, 6, 3));
}

void DefaultWidDelLast() { NameUndefinedSlot("WID_DELLAST"); }

ViewSlots Slots;

// ---------------------------------------------------------------------------
// Screen preparation
// ---------------------------------------------------------------------------

namespace {
constexpr int kBottomLineColour = 10;  // the two lines under the frame
}  // namespace

void PrepareScreen() {
  // 1. The side panel and the text size follow the menu layout.
  int& panel = gfx::Layout.PanelWidth;
  switch (menu::M.MenuLayout) {
    case 0:
      panel = 0;
      gfx::LinesPerScreen = 50;
      break;
    case 1:
      panel = 55;
      gfx::LinesPerScreen = 70;
      break;
    default:
      panel = 3 * gfx::MenuColumnWidth / 4;
      gfx::LinesPerScreen = 100;
      break;
  }

  // 2. The picture area is what the menu strip and the panel leave.
  gfx::ComputeScreenLayout();

  // 3. The viewport, cleared.
  SelectViewport(V.ViewLayout);
  gfx::SelectPicture();
  gfx::ClearWindow();
  gfx::ClearDepth();
  gfx::SetColor(menu::M.FrameColour);

  // 4. Its frame, and two lines across the bottom.
  const int w = V.ViewportWidth, h = V.ViewportHeight;
  gfx::MoveTo2(1, 1);
  gfx::LineTo2(w - 1, 1);
  gfx::LineTo2(w - 1, h - 2);
  gfx::LineTo2(1, h - 2);
  gfx::LineTo2(1, 1);
  gfx::SetColor(kBottomLineColour);
  gfx::Line2(w - 1, h - 1, 1, h - 1);
  gfx::Line2(w - 1, h, 1, h);

  // 5. Ready for the picture.
  gfx::SetLineStyle(0);
  gfx::SelectPictureInner();
  menu::DrawIndicator();
}

// ---------------------------------------------------------------------------
// Redraw and fit
// ---------------------------------------------------------------------------

void Redraw() {
  platform::Drv.DrvHideMouse();
  Slots.WID_RIS();
  DrawOverlays();
  platform::Drv.DrvShowMouse();
}

void RedrawWithMenu() {
  Redraw();
  if (menu::M.ItemCount > 0)
    menu::DrawMenu();
  else
    menu::RedrawPrompts();
}

void ResizeView() {
  float umin = 0, vmin = 0, umax = 0, vmax = 0;
  const bool shown = GetViewWindow(umin, vmin, umax, vmax);
  PrepareScreen();  // the layout and the viewport of the new size
  if (shown) {
    SetViewWindow(umin, vmin, umax, vmax);
    StoreView(2, V.ViewLayout);
  }
  RedrawWithMenu();
}

void FitView() {
  float umin = 0, vmin = 0, umax = 0, vmax = 0;
  Slots.WID_GRAN(umin, vmin, umax, vmax);
  SetViewWindow(umin, vmin, umax, vmax);
  StoreView(2, V.ViewLayout);
  Redraw();
}

// ---------------------------------------------------------------------------
// Overlays
// ---------------------------------------------------------------------------

namespace {
constexpr int kAxisColour[3] = {11, 10, 14};  // X, Y, Z
constexpr int kForeground = 15;
constexpr int kLabelSize = 7;        // height and pitch of the axis labels
constexpr float kLabelReach = 1.25f; // labels sit a quarter beyond the ends
constexpr int kWorldTripodInset = 50, kWorldTripodLength = 40;
constexpr int kPlaneTripodLength = 20;
}  // namespace

void DrawAxesTripod(int x0, int y0, int length, bool planeAxes) {
  static const char* const kWorldLabels[3] = {"X", "Y", "Z"};
  static const char* const kPlaneLabels[3] = {"Xr", "Yr", "Zr"};
  const float l = static_cast<float>(length) * V.ViewScaleU;
  std::int32_t ox = 0, oy = 0;
  WorldToPixel(0, 0, 0, ox, oy);
  for (int axis = 0; axis < 3; ++axis) {
    float e[3] = {0, 0, 0};
    if (planeAxes) {
      PlaneAxis(axis + 1, e[0], e[1], e[2]);
      for (float& v : e) v *= l;
    } else {
      e[axis] = l;
    }
    gfx::SetColor(kAxisColour[axis]);
    std::int32_t ex = 0, ey = 0;
    WorldToPixel(e[0], e[1], e[2], ex, ey);
    gfx::Line2(x0, y0, x0 + ex - ox, y0 + ey - oy);
    std::int32_t tx = 0, ty = 0;
    WorldToPixel(kLabelReach * e[0], kLabelReach * e[1], kLabelReach * e[2], tx, ty);
    gfx::TextOut(planeAxes ? kPlaneLabels[axis] : kWorldLabels[axis], x0 + tx - ox - 2,
                 y0 + ty - oy + 3, kLabelSize, kLabelSize);
  }
  gfx::SetColor(kForeground);
}

void DrawOverlays() {
  gfx::SelectPictureInner();
  if (V.ShowWorldAxes > 0) {
    gfx::SetColor(kForeground);
    DrawAxesTripod(kWorldTripodInset, V.ViewportHeight - kWorldTripodInset, kWorldTripodLength,
                   false);
    gfx::SetXorMode(0);
  }
  DrawGrid(kForeground);
  if (V.ShowPlaneAxes > 0) {
    gfx::SetXorMode(1);
    std::int32_t px = 0, py = 0;
    PlaneToPixel(0, 0, 0, px, py);
    DrawAxesTripod(px, py, kPlaneTripodLength, true);
    gfx::SetXorMode(0);
  }
}

// ---------------------------------------------------------------------------
// View dialogs
// ---------------------------------------------------------------------------

namespace {
constexpr int kThumbPitch = 70, kThumbFirst = 20;  // x of thumbnail i: 70·i − 50
constexpr int kThumbDigitY = 18, kThumbTripodY = 30, kThumbLength = 12;
constexpr int kPromptX = 1, kPromptY = 8, kPromptSize = 7;

void StripText(const char* text) {
  gfx::SelectMenuStrip();
  gfx::TextOut(text, kPromptX, kPromptY, kPromptSize, kPromptSize);
}

// The digit of a key, or −1.
int DigitOf(std::uint8_t key) { return key >= '0' && key <= '9' ? key - '0' : -1; }
}  // namespace

void ShowViewThumbnails(int kind) {
  for (int i = 1; i <= 9; ++i) {
    const int x = kThumbPitch * i - (kThumbPitch - kThumbFirst);
    const char digit[2] = {static_cast<char>('0' + i), 0};
    gfx::TextOut(digit, x, kThumbDigitY, kPromptSize, 2 * kPromptSize);
    // The whole state is put back, projection coefficients included.
    const ViewState kept = V;
    LoadView(kind, i);
    DrawAxesTripod(x, kThumbTripodY, kThumbLength, false);
    V = kept;
  }
}

void RecallViewDialog() {
  StripText("Вызвать вид (0-Стандартный, 1...9) :"_sc);
  ShowViewThumbnails(1);
  int d = DigitOf(platform::Drv.DrvReadKey());
  if (d == 0) {
    StripText("Вызвать стандартный вид (1...9) :"_sc);
    ShowViewThumbnails(0);
    d = DigitOf(platform::Drv.DrvReadKey());
    if (d >= 1) LoadView(0, d);
  } else if (d >= 1) {
    LoadView(1, d);
  }
  StoreView(2, V.ViewLayout);
  gfx::SelectPictureInner();
  PrepareScreen();
  Redraw();
}

void SaveViewDialog() {
  StripText("Запомнить вид (1...9) :"_sc);
  ShowViewThumbnails(1);
  const int d = DigitOf(platform::Drv.DrvReadKey());
  StoreView(1, d);
  StoreView(2, d);
  gfx::SelectPictureInner();
}

void DepthDialog() {
  float depth = V.PlaneDepth;
  std::int32_t status = menu::kInputEmpty;
  menu::InputFloat("Глубина ="_sc, depth, status);
  if (status != menu::kInputRead) return;
  DrawGrid(kForeground);  // the grid of the old depth goes
  V.PlaneDepth = depth;
  float n[3] = {};
  PlaneAxis(3, n[0], n[1], n[2]);
  for (int i = 0; i < 3; ++i) V.PlaneOrigin[i] = depth * n[i];
  ProjectOnPlane(V.CursorWorld[0], V.CursorWorld[1], V.CursorWorld[2]);
  DrawGrid(kForeground);
}

// ---------------------------------------------------------------------------
// Start-up wiring
// ---------------------------------------------------------------------------

namespace {
// The menu system's screen set-up; the view then starts centred on the
// picture area it cleared.
void SetUpScreen() {
  menu::ScreenSetUp();
  V.PixelAspect = 1.0f;
  V.ViewCentreU = V.ViewCentreV = 0;
  V.ViewScaleU = V.ViewScaleV = 1;
  V.ScreenCentreX = gfx::Layout.PictureWidth / 2 - gfx::Layout.BorderWidth;
  V.ScreenCentreY = gfx::Layout.PictureHeight / 2 - gfx::Layout.BorderWidth;
}
}  // namespace

void InstallViewHooks() {
  menu::Slots.ViewKeyHook = ViewKey;
  menu::Slots.ExtendedKeyHook = [](std::uint8_t scan) { ExtendedViewKey(scan); };
  menu::Slots.GridStepHook = GridStepDialog;
  Slots.RedrawViewHook = Redraw;
  Slots.ScreenSetUpHook = SetUpScreen;
  // Through the slot, so that a picture routine installed later is measured.
  store::Slots.RedrawForMeasure = [] { Slots.WID_RIS(); };
  store::Slots.ProjectOnViewPlane = [](float x, float y, float z, float& u, float& v) {
    WorldToView(x, y, z, u, v);
  };
}

}  // namespace view
