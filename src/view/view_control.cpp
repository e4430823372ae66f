// src/view/view_control.cpp — the view on the screen: the world pen and its
// markers, the viewports of the layouts, the start-up state and the
// extended keys that zoom, pan and turn the view.
//
//   Procedure slots
//   World pen and markers
//   Viewports
//   Start-up
//   Extended keys
#include <algorithm>
#include <limits>

#include "graphics/kernel.h"
#include "platform/driver.h"
#include "platform/events.h"
#include "view/view.h"

namespace view {

// ---------------------------------------------------------------------------
// Procedure slots
// ---------------------------------------------------------------------------


// ---------------------------------------------------------------------------
// World pen and markers
// ---------------------------------------------------------------------------

void MoveToWorld(float x, float y, float z) {
  double px = 0, py = 0, pz = 0;
  WorldToPixelExact(x, y, z, px, py, pz);
  gfx::MoveToExact(px, py, pz, true);
}

// Cut to the pixel limit before it is rounded: after any zoom a line keeps
// its direction however far off its ends lie.
void LineToWorld(float x, float y, float z) {
  double px = 0, py = 0, pz = 0;
  WorldToPixelExact(x, y, z, px, py, pz);
  gfx::LineToExact(px, py, pz, true);
}

namespace {
constexpr int kMarkerHalf = 4;  // pixels from the centre to a marker's edge
}  // namespace

void WorldMarker(int kind, float x, float y, float z) {
  std::int32_t ix = 0, iy = 0;
  WorldToPixel(x, y, z, ix, iy);
  const int r = kMarkerHalf;
  if (kind == 1) {
    gfx::MoveTo2(ix - r, iy - r);
    gfx::LineTo2(ix + r, iy + r);
    gfx::MoveTo2(ix - r, iy + r);
    gfx::LineTo2(ix + r, iy - r);
  } else if (kind == 2) {
    gfx::MoveTo2(ix - r, iy - r);
    gfx::LineTo2(ix + r, iy - r);
    gfx::LineTo2(ix + r, iy + r);
    gfx::LineTo2(ix - r, iy + r);
    gfx::LineTo2(ix - r, iy - r);
  } else {
    gfx::MoveTo2(ix - r, iy);
    gfx::LineTo2(ix, iy - r);
    gfx::LineTo2(ix + r, iy);
    gfx::LineTo2(ix, iy + r);
    gfx::LineTo2(ix - r, iy);
  }
  gfx::MoveTo2(ix, iy);
}

// ---------------------------------------------------------------------------
// Viewports
// ---------------------------------------------------------------------------

namespace {

// The block at the viewport's top-left corner that the menu system's
// indicator occupies: cleared whenever another viewport becomes current.
constexpr int kIndicatorRows = 9;
constexpr int kIndicatorColumns = 24;

struct Rect {
  std::int32_t Left, Top, Width, Height;
};

// Viewport n of the layouts inside a picture area wp × hp: 1 the whole, 2
// and 3 the left and right of two, 4..7 the quarters row by row. The gaps
// of two pixels keep the frames of neighbours apart.
Rect ViewportRect(int n, std::int32_t wp, std::int32_t hp) {
  switch (n) {
    case 1: return {0, 0, wp, hp - 1};
    case 2: return {0, 0, 5 * wp / 8 - 2, hp - 1};
    case 3: return {5 * wp / 8, 0, 3 * wp / 8, hp - 1};
    case 4: return {0, 0, wp / 2 - 2, hp / 2 - 2};
    case 5: return {wp / 2, 0, wp / 2, hp / 2 - 2};
    case 6: return {0, hp / 2, wp / 2 - 2, hp / 2};
    default: return {wp / 2, hp / 2, wp / 2, hp / 2};
  }
}

// The kernel cuts the picture windows from its screen layout.
void HandViewportToKernel() {
  gfx::Layout.PictureLeft = V.ViewportLeft;
  gfx::Layout.PictureTop = V.ViewportTop;
  gfx::Layout.PictureWidth = V.ViewportWidth;
  gfx::Layout.PictureHeight = V.ViewportHeight;
}

}  // namespace

void SelectViewport(int n) {
  HandViewportToKernel();
  gfx::SelectPicture();
  gfx::SetColor(gfx::kBackground);
  const int b = gfx::Layout.BorderWidth;
  for (int row = b + 1; row <= b + kIndicatorRows; ++row) gfx::Line2(b + 1, row, b + kIndicatorColumns, row);
  gfx::SetColor(V.IndicatorColour);

  if (n >= 1 && n <= kViewSlots) {
    const Rect r = ViewportRect(n, gfx::Layout.AreaWidth, gfx::Layout.AreaHeight);
    V.ViewportLeft = r.Left;
    V.ViewportTop = r.Top;
    V.ViewportWidth = r.Width;
    V.ViewportHeight = r.Height;
  }
  V.ScreenCentreX = V.ViewportWidth / 2 - gfx::Layout.BorderWidth;
  V.ScreenCentreY = V.ViewportHeight / 2 - gfx::Layout.BorderWidth;
  V.PanStepX = V.ViewportWidth / 4;
  V.PanStepY = V.ViewportHeight / 4;

  HandViewportToKernel();
  gfx::SelectPictureInner();
  // Viewport 1 keeps the view that is current; the others bring their own.
  if (n != 1) LoadView(2, n);
  V.ViewLayout = n;
}

// ---------------------------------------------------------------------------
// Start-up
// ---------------------------------------------------------------------------

namespace {
constexpr int kAxonometricView = 4;  // what the last quarter shows at first
constexpr float kStartStep = 10;     // grid and cursor steps
}  // namespace

void InitView() {
  if (V.Initialised) return;
  V.Initialised = true;
  Slots.ScreenSetUpHook();
  for (int n = 1; n <= kSavedViews; ++n) V.SavedView[n] = SavedState{};
  for (int n = 1; n <= kViewSlots; ++n) V.ViewSlot[n] = SavedState{};
  LoadView(0, kAxonometricView);
  StoreView(2, kViewSlots);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      V.ViewMatrix[i][j] = i == j ? 1 : 0;
      V.PlaneAxes[i][j] = i == j ? 1 : 0;
    }
  UpdateViewCoefficients();
  V.PanStepX = V.ViewportWidth / 4;
  V.PanStepY = V.ViewportHeight / 4;
  for (int i = 0; i < 3; ++i) {
    V.PlaneOrigin[i] = 0;
    V.CursorWorld[i] = 0;
  }
  V.PlaneDepth = 0;
  SetGridStep(kStartStep);  // and the cursor steps with it
  V.RotateMode = 1;
  V.GridShown = 1;
  platform::Drv.DrvSetBackMode(V.ColourScheme);
}

// ---------------------------------------------------------------------------
// Extended keys
// ---------------------------------------------------------------------------

namespace {

constexpr float kZoomFactor = 1.5f;
constexpr float kSmallestScale = 1e-5f;  // world units per pixel
// Zooming out has no limit short of the float's own: a scale that became
// infinite could never be zoomed back. Pans likewise stop short of it.
constexpr float kLargestScale = std::numeric_limits<float>::max() / kZoomFactor;
constexpr float kFarthestCentre = 1e30f;

float Panned(float centre, float by) { return std::clamp(centre + by, -kFarthestCentre, kFarthestCentre); }
void PanU(int sign) { PanView(sign, 0); }
void PanV(int sign) { PanView(0, sign); }

}  // namespace

void ZoomView(bool in) {
  if (in) {
    if (V.ViewScaleU <= kSmallestScale) return;
    V.ViewScaleU /= kZoomFactor;
    V.ViewScaleV /= kZoomFactor;
    V.ViewScaleW /= kZoomFactor;
  } else {
    if (V.ViewScaleU >= kLargestScale) return;
    V.ViewScaleU *= kZoomFactor;
    V.ViewScaleV *= kZoomFactor;
    V.ViewScaleW *= kZoomFactor;
  }
}

void PanView(int du, int dv) {
  if (du != 0) V.ViewCentreU = Panned(V.ViewCentreU, static_cast<float>(du * V.PanStepX) * V.ViewScaleU);
  if (dv != 0) V.ViewCentreV = Panned(V.ViewCentreV, static_cast<float>(dv * V.PanStepY) * V.ViewScaleV);
}

namespace {

// The arrows' two meanings: plain arrows turn in rotate mode 1 and pan in
// mode 0; Ctrl-arrows do the other.
void Turn(int scan) {
  const double s = V.RotationStepSin, c = V.RotationStepCos;
  switch (scan) {
    case platform::kScanUp: RotateView(1, -s, c); break;
    case platform::kScanDown: RotateView(1, s, c); break;
    case platform::kScanLeft: RotateView(2, s, c); break;
    case platform::kScanRight: RotateView(2, -s, c); break;
    default: break;
  }
}

void Pan(int scan) {
  switch (scan) {
    case platform::kScanUp: PanV(-1); break;
    case platform::kScanDown: PanV(+1); break;
    case platform::kScanLeft: PanU(+1); break;
    case platform::kScanRight: PanU(-1); break;
    default: break;
  }
}

// The plain arrow a Ctrl-arrow stands for, or 0.
int PlainArrow(int scan) {
  switch (scan) {
    case platform::kScanCtrlUp: return platform::kScanUp;
    case platform::kScanCtrlDown: return platform::kScanDown;
    case platform::kScanCtrlLeft: return platform::kScanLeft;
    case platform::kScanCtrlRight: return platform::kScanRight;
    default: return 0;
  }
}

}  // namespace

void ExtendedViewKey(int scan) {
  const double s = V.RotationStepSin, c = V.RotationStepCos;
  const bool turning = V.RotateMode != 0;
  switch (scan) {
    case platform::kScanPageUp: ZoomView(true); break;
    case platform::kScanPageDown: ZoomView(false); break;
    case platform::kScanUp: case platform::kScanDown: case platform::kScanLeft: case platform::kScanRight:
      if (turning) Turn(scan); else Pan(scan);
      break;
    case platform::kScanCtrlUp: case platform::kScanCtrlDown: case platform::kScanCtrlLeft: case platform::kScanCtrlRight:
      if (turning) Pan(PlainArrow(scan)); else Turn(PlainArrow(scan));
      break;
    case platform::kScanShiftUp: case platform::kScanShiftLeft: RotateView(3, s, c); break;
    case platform::kScanShiftRight: case platform::kScanShiftDown: RotateView(3, -s, c); break;
    default: break;  // only redraws
  }
  StoreView(2, V.ViewLayout);
  Slots.RedrawViewHook();
}

}  // namespace view
