// src/graphics/kernel.h — the device-independent drawing layer.
//
// Everything shown in the window is drawn through here as points and
// straight lines in integer pixels, in one of 529 numbered colours. The
// kernel keeps what a plain platform line would not give: a depth raster for
// hidden lines, XOR drawing that the picture's shadow raster lets a second
// drawing erase exactly, and a background mode that remaps the basic colours
// 0, 7, 8 and 15.
//
// Coordinates given to the point and line operations are relative to the
// top-left corner of the DrawWindow; the rasters are indexed by absolute
// window pixel.
#pragma once

#include <cstdint>

namespace gfx {

// --- Colours ----------------------------------------------------------------
// The two colours every background mode keeps apart: the background itself
// and the colour that contrasts with it (text, frames, the picture's lines).
constexpr int kBackground = 0;
constexpr int kForeground = 15;

// --- Rasters ----------------------------------------------------------------
constexpr int kDepthColumns = 2500, kDepthRows = 2000;
constexpr std::int32_t kDepthCleared = -32760;
constexpr std::int32_t kDepthFlat = 32760;  // 2D drawing: always in front

extern std::int32_t DepthRaster[kDepthRows][kDepthColumns];

// --- Pixel coordinates ----------------------------------------------------------
// Pixel coordinates computed from floating-point values are held within
// ±kPixelLimit: a sum of a few of them and a small offset (a marker, a
// tripod, a label) then stays far inside 32 bits, and a point this far off
// the screen is as far off it as one at infinity.
constexpr std::int32_t kPixelLimit = 1 << 28;
// The nearest integer (halves to even) held to ±kPixelLimit; a value that is
// no number lies off the screen, at the limit.
std::int32_t PixelOf(double v);

// --- Drawing state ------------------------------------------------------------
struct Kernel {
  int WindowLeft = 0, WindowTop = 0, WindowRight = 0, WindowBottom = 0;  // inclusive
  int Colour = kForeground;  // current colour after remapping
  int XorMode = 0;
  int LineStyle = 0;        // 0 solid, 1 dashed, 2 dotted, other non-zero dashed
  int HiddenLineMode = 0;   // the main program sets 1
  int DepthTest = 0;        // of the current call: <0 none drawn, 0 no test, >0 test
  int CurX = 0, CurY = 0, CurZ = 0;  // current position, window coordinates
  int MenuBackground = kBackground;  // the menu system's panel background colour
  int MenuForeground = kForeground;  // and its text colour
  int ColourFamily = 0;     // ramp of shaded facets, set by SetDrawColor
  // The pen of the unrounded operations (MoveToExact, LineToExact).
  double PenX = 0, PenY = 0, PenZ = 0;
  bool PenValid = false;    // the pen stands on a point that is a number
  // A picture nobody will see (an export run in a batch): every operation
  // keeps the state above as it would, but no pixel and no depth is put on
  // the window or its rasters.
  bool Unseen = false;
};
extern Kernel K;

// The screen layout the regions below are cut from: the window, the menu
// strip along its bottom, the side panel at its left and the picture area
// they leave. ComputeScreenLayout is its one computation, which the menu
// system and the view both call; the side panel's width is the view's
// choice. The picture window lies inside the area: the whole area after
// the menu system clears the picture, else the viewport the view selected.
struct ScreenLayout {
  int PanelWidth = 0;
  int MenuStripTop = 0;
  int ScreenWidth = 1, ScreenHeight = 1;
  int AreaWidth = 1, AreaHeight = 1;  // the picture area the viewports split
  int PictureLeft = 0, PictureTop = 0, PictureWidth = 1, PictureHeight = 1;
  int BorderWidth = 1;
};
extern ScreenLayout Layout;
// The window's size from the driver, the text metrics for it, the menu
// strip and the picture area beside the side panel.
void ComputeScreenLayout();

// --- Operations -------------------------------------------------------------
void SetWindow(int left, int top, int right, int bottom);  // absolute pixels
void ClearWindow();
void SetColor(int colour);      // remapped by the background mode
int GetColor();                 // the remapped number
void SetXorMode(int on);
void SetLineStyle(int style);
void ClearDepth();
void MoveTo2(int x, int y);
void LineTo2(int x, int y);
void Line2(int x1, int y1, int x2, int y2);
void Point2(int x, int y, int colour);
void MoveTo3(int x, int y, int z);
void LineTo3(int x, int y, int z);
void FastLine3(int x1, int y1, int z1, int x2, int y2, int z2);
// Moves and lines with unrounded ends (window coordinates and depth): the
// segment is cut to the square of ±kPixelLimit first and only then rounded,
// so a far end neither wraps round nor bends the line as holding each
// coordinate at the limit would. Within that square they draw exactly what
// MoveTo3/LineTo3 (depth true) or MoveTo2/LineTo2 (false) draw with the
// rounded ends. An end that is no number draws nothing.
void MoveToExact(double x, double y, double z, bool depth);
void LineToExact(double x, double y, double z, bool depth);
// LineToExact to each of n points in turn (a polyline's run of points).
void LineToExactRun(const double* x, const double* y, const double* z, int n, bool depth);
// The part of the segment inside the square of ±limit, its ends moved onto
// the border where they lay beyond it; false when no part is inside.
bool CutToSquare(double& x1, double& y1, double& x2, double& y2, double limit);
void SetDrawColor(int colour);  // also sets ColourFamily
void FillBackground(int left, int top, int right, int bottom);

// The screen regions.
void SelectPanel();
void SelectMenuStrip();
void SelectPicture();
void SelectPictureInner();

// --- Line walk ----------------------------------------------------------------
// The pixels of a line from one end to the other, stepped along the major
// axis with the minor coordinate and the depth interpolated by truncating
// integer division. The kernel's pixel line walks lines this way, and a
// driver's DrvLine must light exactly the same pixels so that the shadow
// raster matches what the kernel would have drawn point by point.
struct LineWalk {
  bool XMajor = true;
  int MajorFirst = 0;
  int Steps = 0;                // the walk has Steps + 1 pixels
  int MinorFirst = 0, MinorDelta = 0;
  int ZFirst = 0;
  std::int64_t ZDelta = 0;      // two depths may lie 2^32 apart
};
// Prepares the walk: the major axis is x when |dx| >= |dy| and dx != 0, else
// y; the ends are ordered so that the major coordinate increases, and the
// depths travel with their ends. The ends must lie within 2^30 pixels of
// each other (a clipped line always does).
LineWalk BeginLineWalk(int x1, int y1, int z1, int x2, int y2, int z2);
// The pixel and depth of step 0..Steps: minor = first + step * dminor /
// dmajor and z likewise, each division truncating toward zero.
void LineWalkAt(const LineWalk& w, int step, int& x, int& y, int& z);

// Walks a line pixel by pixel from step 0, giving exactly the pixels and
// depths of LineWalkAt but carrying quotient and remainder from step to
// step instead of dividing for every pixel (the division dominated the cost
// of long lines).
class LineStepper {
 public:
  explicit LineStepper(const LineWalk& w);
  void Next() {  // to the following step
    ++Step;
    Minor.Next();
    Depth.Next();
    Place();
  }
  int Step = 0;
  int X = 0, Y = 0, Z = 0;

 private:
  // first + trunc(step × delta / divisor), kept as a quotient and remainder
  // of step × |delta|.
  struct Truncated {
    std::int64_t Quot = 0, Rem = 0, WholeStep = 0, RemStep = 0, Divisor = 1;
    bool Negative = false;
    void Init(std::int64_t delta, std::int64_t divisor);
    void Next() {  // the carry without a branch: it follows no pattern
      Quot += WholeStep;
      Rem += RemStep;
      const std::int64_t carry = Rem >= Divisor ? 1 : 0;
      Quot += carry;
      Rem -= Divisor & -carry;
    }
    std::int64_t Value() const { return Negative ? -Quot : Quot; }
  };
  void Place() {
    const int minor = W.MinorFirst + static_cast<int>(Minor.Value());
    Z = static_cast<int>(W.ZFirst + Depth.Value());
    const int m = W.MajorFirst + Step;
    X = W.XMajor ? m : minor;
    Y = W.XMajor ? minor : m;
  }
  const LineWalk& W;
  Truncated Minor, Depth;
};

// Puts the kernel back to its start-up state (palette built, rasters
// cleared, state defaults). Used at start-up and by tests.
void InitKernel();

}  // namespace gfx
