// src/view/view.h — the three-dimensional view: world coordinates (three
// floats, millimetres in this program) to pixels of the picture area by an
// orthographic projection: a rotation into view axes (U right, V up, W
// towards the viewer), then a scale and a shift.
//
// This header holds the view state and the projections; the view control
// (keys, viewports, saved views), the working plane with its cursor and
// grid, and the display of facets are declared with them.
//
//   State                      ViewState V
//   Projections                WorldToView .. ViewWidthWorld
//   World pen                  MoveToWorld, LineToWorld, WorldMarker
//   Working plane              PlaneToWorld .. PlaneAxis
//   View changes               RotateView, SetViewWindow, StoreView, LoadView
//   Viewports and keys         SelectViewport, InitView, ExtendedViewKey
//   Redraw and dialogs         PrepareScreen, Redraw, FitView, DrawOverlays,
//                              the view dialogs, ZoomWindow, ViewKey,
//                              InstallViewHooks
//   Cursor and grid            SetCursorSteps .. CursorCoordLines
//   Cursor loop                GetCursorPoint, StepMenu, ShowCursorCoords,
//                              GridStepDialog
//   Facets                     DrawTriangleFacet, DrawQuadFacet, FacetColour
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace view {

constexpr int kViewSlots = 7;      // viewports of the layouts, 1..7
constexpr int kSavedViews = 9;     // the user's saved views, 1..9
constexpr int kStandardViews = 9;  // the fixed views, 1..9

// A saved view: scales, centres and the matrix narrowed to floats.
struct SavedState {
  float ScaleU = 1, ScaleV = 1;
  float CentreU = 0, CentreV = 0;
  float Matrix[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
};

struct ViewState {
  // Rows 1..3 (index 0 unused): U screen-right, V screen-up, W towards the
  // viewer, each a unit vector in world coordinates. Whoever changes it
  // calls UpdateViewCoefficients; the projections read only ViewCoef.
  double ViewMatrix[4][4] = {{0, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  double ViewCoef[4][4] = {{0, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  float ViewScaleU = 1, ViewScaleV = 1, ViewScaleW = 1;   // world units per pixel
  float ViewCentreU = 0, ViewCentreV = 0, ViewCentreW = 0;
  std::int32_t ScreenCentreX = 0, ScreenCentreY = 0, ScreenCentreZ = 0;
  float PixelAspect = 1.0f;

  // The viewport, in pixels inside the kernel's picture area (the screen
  // layout); SelectViewport also hands it to the kernel as its picture
  // window.
  std::int32_t ViewportLeft = 0, ViewportTop = 0, ViewportWidth = 1, ViewportHeight = 1;
  std::int32_t ViewLayout = 1;
  std::int32_t IndicatorColour = 15;  // the menu indicator's square
  std::int32_t ColourScheme = 0;      // 0..4, also the kernel's background mode

  SavedState ViewSlot[kViewSlots + 1];     // 1..7
  SavedState SavedView[kSavedViews + 1];   // 1..9

  std::int32_t RotateMode = 1;
  double RotationStepSin = 0.25881904736704425, RotationStepCos = 0.965925825682291;
  std::int32_t PanStepX = 0, PanStepY = 0;

  // The working plane: rows 1..3 its X axis, Y axis and normal N.
  double PlaneAxes[4][4] = {{0, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  float PlaneOrigin[3] = {0, 0, 0};
  float PlaneDepth = 0;
  float CursorWorld[3] = {0, 0, 0};

  std::int32_t ShowWorldAxes = 1, ShowPlaneAxes = 1;

  // The cursor and the grid on the working plane.
  float CursorStep = 10, CursorStepX = 10, CursorStepY = 10, CursorStepZ = 10;
  float CursorAngle = 0, CursorAngleSin = 0, CursorAngleCos = 1;
  std::int32_t CursorVisible = 0;
  float GridStep = 10, GridStepX = 10, GridStepY = 10;
  std::int32_t GridShown = 1;
  std::int32_t GridMinSpacing = 8;  // pixels per grid column at the least
  // The first corner of the zoom window, in pixels of the inner picture
  // window, remembered by the crosshair shape each time it is drawn.
  std::int32_t ZoomCornerX = 0, ZoomCornerY = 0;

  // Facets: 0 outlines, other values shaded fill. A shade s of family c is
  // colour ShadeStep·c + s + 1 + ShadeBase, inside ramp c − 1 for s ≤ 50.
  std::int32_t ShadedMode = 0;
  std::int32_t ShadeBase = 26, ShadeScale = 50, ShadeStep = 64;

  bool Initialised = false;  // InitView has run
};
extern ViewState V;  // the one view of the program

// The fixed views: rows U, V, W as 32-bit floats, index 0 unused.
extern const float StandardViews[kStandardViews + 1][3][3];

// --- Procedure slots ----------------------------------------------------------
using ViewHook = void (*)();
using WorldPenHook = void (*)(float x, float y, float z);
using CursorShape = void (*)(float a, float b, float c);

using ExtentHook = void (*)(float& umin, float& vmin, float& umax, float& vmax);
void DefaultWidRis();
void DefaultWidGran(float& umin, float& vmin, float& umax, float& vmax);
void DefaultWidDelLast();
void MoveToWorld(float x, float y, float z);
void LineToWorld(float x, float y, float z);
void DrawCursor(float a, float b, float c);
void DrawOverlays();

struct ViewSlots {
  ViewHook RedrawViewHook = [] {};        // redraw after a view key
  ViewHook ScreenSetUpHook = [] {};       // screen layout at InitView
  WorldPenHook MoveToWorldHook = MoveToWorld;
  WorldPenHook LineToWorldHook = LineToWorld;
  CursorShape CursorShapeHook = DrawCursor;
  // The application's picture and its extent in view coordinates. Until the
  // application fills them, each default names itself on the prompt line and
  // waits for a key.
  ViewHook WID_RIS = DefaultWidRis;
  ExtentHook WID_GRAN = DefaultWidGran;
  ViewHook AxesHook = DrawOverlays;       // Ctrl-N, Ctrl-Q
  ViewHook WID_DELLAST = DefaultWidDelLast;  // Ctrl-D
  ViewHook CtrlZHook = [] {};             // Ctrl-Z
};
extern ViewSlots Slots;  // the view's slots; ViewSlots{} puts them back

// --- Projections (pure functions of the state) ------------------------------
// Copies ViewMatrix into the coefficients the projections read; called after
// every change of ViewMatrix.
void UpdateViewCoefficients();

void WorldToView(float x, float y, float z, float& u, float& v);
void WorldToView(double x, double y, double z, double& u, double& v);
void WorldToViewUVW(float x, float y, float z, float& u, float& v, float& w);
void WorldToViewUVW(double x, double y, double z, double& u, double& v, double& w);
void ViewToWorld(double u, double v, double w, double& x, double& y, double& z);
// Pixels are held within ±gfx::kPixelLimit (gfx::PixelOf); the exact form
// gives them unrounded beyond the rounding of their offset from the centre,
// for lines that are cut before they are rounded.
void WorldToPixel(float x, float y, float z, std::int32_t& ix, std::int32_t& iy);
void WorldToPixelExact(float x, float y, float z, double& px, double& py, double& pz);
// WorldToPixelExact of n points at once (their divisions overlap).
void WorldToPixelExactRun(const float* x, const float* y, const float* z, int n, double* px,
                          double* py, double* pz);
void WorldToPixelDepth(float x, float y, float z, std::int32_t& ix, std::int32_t& iy, std::int32_t& iz);
void ViewToPixel(float u, float v, std::int32_t& ix, std::int32_t& iy);
void PixelToView(std::int32_t px, std::int32_t py, float& u, float& v);
float ViewWidthWorld();

// --- The world pen --------------------------------------------------------------
void MoveToWorld(float x, float y, float z);
void LineToWorld(float x, float y, float z);
// A small mark around the point's pixel: kind 1 an X, 2 a square, other
// kinds a diamond; the pen ends on the pixel.
void WorldMarker(int kind, float x, float y, float z);

// --- Working plane ----------------------------------------------------------------
void PlaneToWorld(float a, float b, float c, float& x, float& y, float& z);
void WorldToPlane(float x, float y, float z, float& a, float& b, float& c);
void PlaneToPixel(float a, float b, float c, std::int32_t& ix, std::int32_t& iy);
void ProjectOnPlane(float& x, float& y, float& z);
void PlaneAxis(int i, float& x, float& y, float& z);  // i = 1..3: X, Y, N

// --- View changes -------------------------------------------------------------------
// Turns the view about its own axis k (1 U, 2 V, 3 W) by the angle of sine
// s and cosine c.
void RotateView(int k, double s, double c);
// Fits the view-coordinate rectangle into the viewport; the larger extent
// decides the scale, an empty rectangle gets scale 1.
void SetViewWindow(float umin, float vmin, float umax, float vmax);
// The view-coordinate rectangle the viewport shows now, such that
// SetViewWindow gives the same view again; false before there is a
// viewport.
bool GetViewWindow(float& umin, float& vmin, float& umax, float& vmax);
// One zoom step, in or out by 1.5: in down to 1e-5 world units per pixel,
// out short of the float's limit. No redraw.
void ZoomView(bool in);
// Pans by steps of PanStepX, PanStepY along U and V: +1 moves the view
// centre right (up), so the picture moves left (down). No redraw.
void PanView(int du, int dv);
// kind 1: SavedView[1..9]; kind 2: ViewSlot[1..7]. Other numbers: nothing.
void StoreView(int kind, int n);
// kind 0: the matrix of StandardViews[1..9] only; kinds 1, 2 as StoreView.
void LoadView(int kind, int n);

// --- Viewports and keys --------------------------------------------------------------
// Viewport n of the layouts (1 whole, 2..3 two, 4..7 four); other n keep
// the rectangle.
void SelectViewport(int n);
void InitView();  // once; later calls do nothing
// The extended keys of the menus' key reader (scan codes): zoom, pan and
// turn, then the view goes back into its slot and is redrawn.
void ExtendedViewKey(int scan);

// --- Redraw and dialogs ----------------------------------------------------------------
// Panel width and text metrics from the menu layout, the viewport of the
// current layout cleared and framed, the menu indicator. The application's
// picture routine calls it first.
void PrepareScreen();
void Redraw();          // WID_RIS and the overlays, the pointer hidden meanwhile
void RedrawWithMenu();  // Redraw, then the current menu or the prompt lines
// After the window changed its size: what the picture showed is fitted
// into the new viewport, and the picture and the menu are drawn at once.
void ResizeView();
void FitView();         // the picture's extent fills the viewport
// World axes tripod, grid and working-plane tripod over the picture.
void DrawOverlays();
// A tripod at pixel (x0, y0) with axes of length pixels: the world axes
// "X", "Y", "Z", or with planeAxes the working plane's "Xr", "Yr", "Zr".
void DrawAxesTripod(int x0, int y0, int length, bool planeAxes);
void ShowViewThumbnails(int kind);  // 0 the standard views, 1 the saved ones
void RecallViewDialog();
void SaveViewDialog();
void DepthDialog();
// Two corners with the cursor; either answered with Enter, Esc, '[' or ']'
// leaves the view as it was.
void ZoomWindow();
// The view keys of every context; other keys do nothing.
void ViewKey(std::uint8_t key);
// Fills the menus' view slots, the redraw slots and the measuring redraw
// of the drawing store with the procedures of the view.
void InstallViewHooks();

// --- Cursor and grid ----------------------------------------------------------------
void SetCursorSteps(float s);
void SetGridStep(float g);
// A cursor move by one step (direction +1 or −1), snapped to a multiple of
// the step: round((value ± step) / step) × step, halves to even.
float SnapStep(float value, float step, int direction);
// The plane point under a pixel at height c above the plane.
void PixelToPlane(std::int32_t px, std::int32_t py, float& a, float& b, float& c);
void DrawCursor(float a, float b, float c);  // XOR: drawing twice erases
// The number of grid columns covering 1.2 viewports, and whether the grid
// is drawn at all.
std::int32_t GridColumns();
bool GridDrawable();
void DrawGrid(int colour);  // XOR points
// The three lines of the cursor read-out: plane and world coordinates.
struct CursorCoordText {
  std::string Line[3];
};
CursorCoordText CursorCoordLines(float a, float b, float c);

// --- Cursor loop ------------------------------------------------------------------------
// Runs the cursor from CursorWorld until a key ends it; returns the world
// point (also kept in CursorWorld) and that key. A left click ends it with
// ' ', a right click with Enter.
void GetCursorPoint(float& x, float& y, float& z, std::uint8_t& key);
// The step menu on the prompt lines; value changes only by a choice, key is
// the key read. The prompt lines are put back afterwards.
void StepMenu(std::string_view title, float& value, std::uint8_t& key);
// The read-out box at the bottom right of the menu strip.
void ShowCursorCoords(float a, float b, float c);
// The grid step from the step menu; key comes back as '0'.
void GridStepDialog(std::uint8_t& key);

// --- Facets ---------------------------------------------------------------------------
void DrawTriangleFacet(float x1, float y1, float z1, float x2, float y2, float z2, float x3,
                       float y3, float z3);
void DrawQuadFacet(float x1, float y1, float z1, float x2, float y2, float z2, float x3, float y3,
                   float z3, float x4, float y4, float z4);
// The shade of a facet with unit normal n (world); 0: the facet is not drawn.
int FacetColour(float nx, float ny, float nz);

}  // namespace view
