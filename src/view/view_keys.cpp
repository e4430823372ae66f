// src/view/view_keys.cpp — the view keys every context shares: the zoom
// window with its two cursor shapes, the viewport layouts, the colour
// schemes and the key table of ViewKey.
//
//   Zoom window
//   Layouts
//   Colour schemes
//   ViewKey
#include <cstdint>

#include "graphics/kernel.h"
#include "graphics/lang.h"
#include "menu/menu.h"
#include "platform/codepage.h"
#include "platform/driver.h"
#include "view/view.h"

namespace view {

// ---------------------------------------------------------------------------
// Zoom window
// ---------------------------------------------------------------------------

namespace {
constexpr int kZoomColour = gfx::kForeground;
constexpr int kZoomStyle = 4;  // dashed, as the cursor

void BeginZoomShape() {
  gfx::SelectPictureInner();
  gfx::SetColor(kZoomColour);
  gfx::SetXorMode(1);
  gfx::SetLineStyle(kZoomStyle);
}

void EndZoomShape() {
  gfx::SetLineStyle(0);
  gfx::SetXorMode(0);
  gfx::SetColor(kZoomColour);
}

// First corner: a crosshair across the whole viewport; the pixel it is
// drawn at is the corner the rectangle will start from.
void ZoomCrosshair(float a, float b, float c) {
  std::int32_t px = 0, py = 0;
  PlaneToPixel(a, b, c, px, py);
  V.ZoomCornerX = px;
  V.ZoomCornerY = py;
  BeginZoomShape();
  gfx::Line2(0, py, V.ViewportWidth, py);
  gfx::Line2(px, 0, px, V.ViewportHeight);
  EndZoomShape();
}

// Second corner: the rubber rectangle from the first corner to the cursor.
void ZoomRubber(float a, float b, float c) {
  std::int32_t px = 0, py = 0;
  PlaneToPixel(a, b, c, px, py);
  const int x0 = V.ZoomCornerX, y0 = V.ZoomCornerY;
  BeginZoomShape();
  gfx::Line2(x0, y0, px, y0);
  gfx::Line2(px, y0, px, py);
  gfx::Line2(px, py, x0, py);
  gfx::Line2(x0, py, x0, y0);
  EndZoomShape();
}

bool AbandonsZoom(std::uint8_t key) {
  return key == menu::kKeyEnter || key == menu::kKeyEsc || key == menu::kKeyRefuse ||
         key == menu::kKeyComplete;
}
}  // namespace

void ZoomWindow() {
  // A zoom started inside another cursor run gives that run its shape back.
  const CursorShape outer = Slots.CursorShapeHook;
  float x = 0, y = 0, z = 0;
  std::uint8_t key = 0;

  Slots.CursorShapeHook = ZoomCrosshair;
  menu::PromptLine(0, "Окно. Укажите угол"_sc);
  GetCursorPoint(x, y, z, key);
  if (AbandonsZoom(key)) {
    Slots.CursorShapeHook = outer;
    return;
  }
  float u1 = 0, v1 = 0;
  WorldToView(x, y, z, u1, v1);

  Slots.CursorShapeHook = ZoomRubber;
  menu::PromptLine(0, "Окно. Укажите другой угол"_sc);
  GetCursorPoint(x, y, z, key);
  float u2 = 0, v2 = 0;
  WorldToView(x, y, z, u2, v2);
  Slots.CursorShapeHook = outer;
  if (AbandonsZoom(key)) return;

  const float umin = u1 < u2 ? u1 : u2, umax = u1 < u2 ? u2 : u1;
  const float vmin = v1 < v2 ? v1 : v2, vmax = v1 < v2 ? v2 : v1;
  SetViewWindow(umin, vmin, umax, vmax);
  StoreView(2, V.ViewLayout);
  Redraw();
}

// ---------------------------------------------------------------------------
// Layouts
// ---------------------------------------------------------------------------

namespace {

// The whole picture area, cleared, before a split layout is drawn anew.
void ClearPictureArea() {
  const gfx::ScreenLayout& l = gfx::Layout;
  gfx::SetWindow(l.PanelWidth, 0, l.PanelWidth + l.AreaWidth - 1, l.AreaHeight - 1);
  gfx::ClearWindow();
}

// The viewports of the layout viewport n belongs to: 2..3 or 4..7, or
// only 1.
void LayoutRange(int n, int& first, int& last) {
  if (n == 2 || n == 3) {
    first = 2;
    last = 3;
  } else if (n >= 4 && n <= 7) {
    first = 4;
    last = 7;
  } else {
    first = last = 1;
  }
}

// Every viewport of the current layout gets step, then the current one
// again, so that it stays selected.
void WalkLayout(void (*step)()) {
  StoreView(2, V.ViewLayout);
  const int current = V.ViewLayout;
  int first = 1, last = 1;
  LayoutRange(current, first, last);
  if (first > 1) {
    for (int v = first; v <= last; ++v) {
      SelectViewport(v);
      step();
    }
    SelectViewport(current);
  }
  step();
}

void SingleLayout() {
  StoreView(2, V.ViewLayout);
  SelectViewport(1);
  Redraw();
}

void TwoViewports() {
  StoreView(2, V.ViewLayout);
  ClearPictureArea();
  for (int v = 2; v <= 3; ++v) {
    SelectViewport(v);
    Redraw();
  }
  SelectViewport(2);
  menu::DrawIndicator();
}

void FourViewports() {
  StoreView(2, V.ViewLayout);
  ClearPictureArea();
  // The first three quarters show the plan, side and front views at the
  // zoom each already has.
  for (int s = 1; s <= 3; ++s)
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) V.ViewSlot[3 + s].Matrix[i][j] = StandardViews[s][i][j];
  for (int v = 4; v <= 7; ++v) {
    SelectViewport(v);
    Redraw();
  }
  SelectViewport(4);
  menu::DrawIndicator();
}

void NextViewport() {
  if (V.ViewLayout <= 1) return;
  StoreView(2, V.ViewLayout);
  int n = V.ViewLayout + 1;
  if (n == 4) n = 2;
  if (n == 8) n = 4;
  SelectViewport(n);
  Redraw();
}

}  // namespace

// ---------------------------------------------------------------------------
// Colour schemes
// ---------------------------------------------------------------------------

namespace {

constexpr int kSchemes = 5;

struct ColourScheme {
  int MenuForeground, MenuBackground, FrameColour, BevelLight, BevelDark;
};
constexpr ColourScheme kSchemeTable[kSchemes] = {
    {15, 0, 9, 9, 9},  {15, 0, 9, 9, 9},   {15, 8, 8, 0, 15},
    {15, 7, 8, 0, 15}, {15, 15, 15, 7, 8},
};

void NextColourScheme() {
  V.ColourScheme = (V.ColourScheme + 1) % kSchemes;
  const ColourScheme& s = kSchemeTable[V.ColourScheme];
  platform::Drv.DrvSetBackMode(V.ColourScheme);
  gfx::K.MenuForeground = s.MenuForeground;
  gfx::K.MenuBackground = s.MenuBackground;
  menu::M.FrameColour = s.FrameColour;
  menu::M.BevelLight = s.BevelLight;
  menu::M.BevelDark = s.BevelDark;
}

}  // namespace

// ---------------------------------------------------------------------------
// ViewKey
// ---------------------------------------------------------------------------

namespace {

// Control codes and the Russian letters (Windows Cyrillic) on the keys of
// the Latin ones.
enum : std::uint8_t {
  kCtrlB = 2, kCtrlD = 4, kCtrlE = 5, kTab = 9, kCtrlK = 11, kCtrlN = 14, kCtrlQ = 17,
  kCtrlR = 18, kCtrlV = 22, kCtrlZ = 26,
  kRuIUpper = 0xC8, kRuKUpper = 0xCA, kRuMUpper = 0xCC, kRuPUpper = 0xCF, kRuUUpper = 0xD3,
  kRuYaUpper = 0xDF, kRuI = 0xE8, kRuK = 0xEA, kRuM = 0xEC, kRuP = 0xEF, kRuU = 0xF3,
  kRuYa = 0xFF,
};

constexpr int kLanguages = 3;  // Russian, English, Polish

void ScreenPlaneAsWorkingPlane() {
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) V.PlaneAxes[i][j] = V.ViewMatrix[i][j];
  for (float& o : V.PlaneOrigin) o = 0;
  V.PlaneDepth = 0;
  ProjectOnPlane(V.CursorWorld[0], V.CursorWorld[1], V.CursorWorld[2]);
  Redraw();
}

void SwitchMenuLayout() {
  if (menu::M.SidePanelAllowed) {
    menu::M.MenuLayout = menu::M.MenuLayout == 0 ? 1 : 0;
  } else {
    menu::M.MenuLayout = 0;
    gfx::Layout.PanelWidth = 0;
  }
  Redraw();
}

}  // namespace

void ViewKey(std::uint8_t key) {
  switch (key) {
    case 'B': case 'b': case kRuIUpper: case kRuI: FitView(); break;
    case kCtrlB: WalkLayout(FitView); break;
    case 'R': case 'r': case kRuKUpper: case kRuK: Redraw(); break;
    case kCtrlR: WalkLayout(Redraw); break;
    case 'Z': case 'z': case kRuYaUpper: case kRuYa: ZoomWindow(); break;
    case 'V': case 'v': case kRuMUpper: case kRuM: RecallViewDialog(); break;
    case kCtrlV: SaveViewDialog(); break;
    case 'G': case 'g': case kRuPUpper: case kRuP: DepthDialog(); break;
    case 'E': case 'e': case kRuUUpper: case kRuU: case kCtrlE: ScreenPlaneAsWorkingPlane(); break;
    case ',':
      V.RotateMode = 1;
      V.RotationStepSin = 0.25881904736704425;  // 15°
      V.RotationStepCos = 0.965925825682291;
      break;
    case '<':
      V.RotateMode = 1;
      V.RotationStepSin = 0.08715574352615352;  // 5°
      V.RotationStepCos = 0.996194698023636;
      break;
    case '.':
      V.RotateMode = 0;
      V.PanStepX = V.ViewportWidth / 4;
      V.PanStepY = V.ViewportHeight / 4;
      break;
    case '>':
      V.RotateMode = 0;
      V.PanStepX = V.ViewportWidth / 8;
      V.PanStepY = V.ViewportHeight / 8;
      break;
    case ';':
      NextColourScheme();
      Redraw();
      break;
    case '%': case '/': SwitchMenuLayout(); break;
    case kCtrlK:
      // Every index the cycle gives selects one of the three variants.
      gfx::LanguageIndex = (gfx::LanguageIndex + 1) % kLanguages;
      Redraw();
      break;
    case kCtrlN:
      Slots.AxesHook();
      Redraw();
      break;
    case kCtrlQ:
      V.ShadedMode = V.ShadedMode == 0 ? 1 : 0;
      Slots.AxesHook();
      Redraw();
      break;
    case kCtrlD: Slots.WID_DELLAST(); break;
    case kCtrlZ: Slots.CtrlZHook(); break;
    case '!': SingleLayout(); break;
    case '@': TwoViewports(); break;
    case '$': FourViewports(); break;
    case kTab: NextViewport(); break;
    default: break;
  }
}

}  // namespace view
