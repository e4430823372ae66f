// src/graphics/kernel.cpp — the device-independent drawing layer: the draw
// window, colours and their background remapping, clipping, the pixel line
// with its styles, the depth test, XOR drawing and the fast line. Everything
// that reaches the window goes through platform::Drv.
//
//   Colours and the background remap
//   The depth-tested point
//   Clipping
//   Pixel line and fast line
//   Line walk
//   Window, colours, regions and start-up state
//   Depth, moves, lines and points
//
// Nothing here allocates: the redraw path runs through these functions once
// per pixel.
#include "graphics/kernel.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <utility>

#include "graphics/numbers.h"
#include "graphics/text.h"
#include "platform/driver.h"
#include "platform/picture.h"

namespace gfx {

std::int32_t DepthRaster[kDepthRows][kDepthColumns];
Kernel K;
ScreenLayout Layout;

namespace {

using platform::Drv;

// ---------------------------------------------------------------------------
// Colours and the background remap
// ---------------------------------------------------------------------------

constexpr int kExtraColour = platform::kColourCount - 1;  // 528: anything above draws so
constexpr int kBasicColours = 16;
constexpr int kRampCount = 8;
// Colour 8 (light grey) belongs to the grey ramp 7, not to ramp 0, which
// shaded facets treat as "unshaded".
constexpr int kLightGrey = 8;
constexpr int kLightGreyFamily = 7;

// Only black, the two greys and white move with the background, so that 0
// stays the background and 15 the colour that contrasts with it.
constexpr int kBackModeCount = 5;
constexpr int kRemapCount = 4;
constexpr int kRemapFrom[kRemapCount] = {0, 7, 8, 15};
constexpr int kRemapTo[kBackModeCount][kRemapCount] = {
    {0, 7, 8, 15},   // black
    {0, 7, 8, 15},   // dark grey
    {7, 0, 8, 15},   // grey
    {8, 7, 0, 0},    // light grey
    {15, 7, 8, 0}};  // white

int Remap(int colour, int mode) {
  if (mode < 0 || mode >= kBackModeCount) return colour;
  for (int i = 0; i < kRemapCount; ++i)
    if (kRemapFrom[i] == colour) return kRemapTo[mode][i];
  return colour;
}

// The number handed to the driver: drivers index the palette with it, so it
// must be a palette index whatever a caller asked for. Negative numbers have
// no colour of their own; they draw as the background.
int DriverColour(int colour) {
  if (colour > kExtraColour) return kExtraColour;
  if (colour < 0) return 0;
  return colour;
}

// ---------------------------------------------------------------------------
// Drawing that changes nothing
// ---------------------------------------------------------------------------

// At the node capacity many nodes fall on one pixel: a polyline draws the
// same pixel again and again, the hatching of a diagram draws the same
// line again, and every line ends with the move that plots its end pixel
// once more. On the picture's own driver, drawing again a pixel or a line
// that was just drawn, in the same colour and mode with nothing drawn
// since, changes nothing: a pixel it made visible holds that colour at that
// depth, and a hidden one stays hidden. Such drawing is left out; only the
// picture's counters move as the drawing would have moved them.
//
// What was drawn last: the ends of a line (or a point twice) as absolute
// pixels and the depths they were drawn at. It holds while the picture's
// count of drawing calls stays where the drawing left it: every change of
// the picture, the shadow, the clip or the pen counts one. The depth raster
// changes without a count only when it is cleared or drawn on through
// another driver, and those forget the record.
struct LastDrawn {
  bool Valid = false;
  bool IsLine = false;  // a solid line: In* are its ends as they were asked
  int InX1 = 0, InY1 = 0, InZ1 = 0, InX2 = 0, InY2 = 0, InZ2 = 0;
  int Left = 0, Top = 0, Right = 0, Bottom = 0;  // the window it was clipped to
  int X[2] = {}, Y[2] = {}, Z[2] = {};           // drawn pixels and their depths
  int Colour = 0, DepthTest = 0;
  // The picture's counts after the drawing. Apart, so that they are read
  // one by one: the count was just written, and a wider read of it would
  // wait until every write before it has reached memory.
  std::uint64_t Stamp = 0;
  std::uint64_t Lit = 0;                // drawing calls the line counted
  std::uint64_t Resets = 0;
  bool InClip = false;                  // a pixel it lit lay inside the clip
};
LastDrawn last;

void Forget() { last.Valid = false; }

// The picture is as the last drawing left it, and the kernel draws as it did.
bool AsLastLeftIt() {
  return last.Valid && Drv.DrvPoint == platform::PicturePoint && K.XorMode == 0 &&
         last.Stamp == platform::Pic.DrawCalls && last.Resets == platform::Pic.Resets &&
         last.Colour == DriverColour(K.Colour) && last.DepthTest == K.DepthTest;
}

void Remember(int x1, int y1, int z1, int x2, int y2, int z2, std::uint64_t callsBefore) {
  last.Valid = Drv.DrvPoint == platform::PicturePoint && K.XorMode == 0 && K.DepthTest >= 0;
  last.IsLine = false;
  last.X[0] = x1, last.Y[0] = y1, last.Z[0] = z1;
  last.X[1] = x2, last.Y[1] = y2, last.Z[1] = z2;
  last.Colour = DriverColour(K.Colour);
  last.DepthTest = K.DepthTest;
  last.Stamp = platform::Pic.DrawCalls;
  last.Resets = platform::Pic.Resets;
  last.Lit = last.Stamp - callsBefore;
}

bool InPictureClip(int x, int y) {
  const platform::Picture& p = platform::Pic;
  return x >= p.ClipLeft && x <= p.ClipRight && y >= p.ClipTop && y <= p.ClipBottom;
}

bool InDepthRaster(std::int64_t x, std::int64_t y);

// A point at absolute (x, y) and depth z that an end of the last drawing
// already covers at a depth no lower (any depth when there is no test): it
// is counted as the picture's point entry would count it, and left out.
bool PointChangesNothing(int x, int y, int z) {
  if (!AsLastLeftIt()) return false;
  bool covered = false;
  for (int e = 0; e < 2; ++e)
    covered = covered || (x == last.X[e] && y == last.Y[e] && (K.DepthTest == 0 || z <= last.Z[e]));
  if (!covered) return false;
  const bool visible = K.DepthTest == 0 || !InDepthRaster(x, y) || DepthRaster[y][x] <= z;
  if (visible) {
    ++platform::Pic.DrawCalls;
    if (InPictureClip(x, y)) platform::Pic.Dirty = true;
    last.Stamp = platform::Pic.DrawCalls;
  }
  return true;
}

// The last solid line asked again: its visible pixels are the ones it lit.
bool LineChangesNothing(int x1, int y1, int z1, int x2, int y2, int z2) {
  if (!last.IsLine || K.LineStyle != 0 || !AsLastLeftIt()) return false;
  if (x1 != last.InX1 || y1 != last.InY1 || z1 != last.InZ1 || x2 != last.InX2 ||
      y2 != last.InY2 || z2 != last.InZ2 || K.WindowLeft != last.Left ||
      K.WindowTop != last.Top || K.WindowRight != last.Right || K.WindowBottom != last.Bottom)
    return false;
  platform::Pic.DrawCalls += last.Lit;
  if (last.InClip) platform::Pic.Dirty = true;
  last.Stamp = platform::Pic.DrawCalls;
  return true;
}

// ---------------------------------------------------------------------------
// The depth-tested point
// ---------------------------------------------------------------------------

bool InDepthRaster(std::int64_t x, std::int64_t y) {
  return x >= 0 && x < kDepthColumns && y >= 0 && y < kDepthRows;
}

// A pixel outside the depth raster has no depth to compare with: it is
// always visible and keeps no depth.
bool DepthVisible(int x, int y, int z) {
  return !InDepthRaster(x, y) || DepthRaster[y][x] <= z;
}

// At absolute (x, y). Equal depth draws, so of two lines at one depth the
// later wins. On the picture's own driver a point inside its clip and the
// shadow is put on both here, as PicturePoint would put it.
void DepthPoint(int x, int y, int z, int colour) {
  if (K.DepthTest < 0) return;
  const bool picture = Drv.DrvPoint == platform::PicturePoint;
  if (!picture) Forget();
  if (K.DepthTest > 0 && InDepthRaster(x, y)) {
    std::int32_t& d = DepthRaster[y][x];
    if (d > z) return;
    d = z;
  }
  const int c = DriverColour(colour);
  if (picture && InPictureClip(x, y) && x < platform::kShadowColumns && y < platform::kShadowRows) {
    const std::uint32_t value = platform::ColourValue(c);
    platform::ShadowRaster[y][x] = value;
    platform::Pic.Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(platform::Pic.Width) +
                         static_cast<std::size_t>(x)] = platform::PictureForm(value);
    platform::PictureTookPoints(1, c);
    return;
  }
  Drv.DrvPoint(x, y, c);
}

// "Plotting" a point: XOR ignores the depth raster altogether, because an
// XOR figure must be erasable by drawing it again.
void PlotPoint(int x, int y, int z) {
  if (K.XorMode != 0) {
    Drv.DrvXorPoint(x, y, DriverColour(K.Colour));
    return;
  }
  if (PointChangesNothing(x, y, z)) return;
  const std::uint64_t calls = platform::Pic.DrawCalls;
  DepthPoint(x, y, z, K.Colour);
  Remember(x, y, z, x, y, z, calls);
  last.InClip = InPictureClip(x, y);
}

// ---------------------------------------------------------------------------
// Clipping
// ---------------------------------------------------------------------------

// A window wider or taller than this draws no lines: the bound keeps every
// product of the clipping and the walk inside 64 bits for any 32-bit
// coordinates (screens are some thousands of pixels wide).
constexpr std::int64_t kMaxWindowExtent = std::int64_t{1} << 30;

bool WindowDrawable() {
  const std::int64_t w = std::int64_t{K.WindowRight} - K.WindowLeft;
  const std::int64_t h = std::int64_t{K.WindowBottom} - K.WindowTop;
  return w >= 0 && h >= 0 && w < kMaxWindowExtent && h < kMaxWindowExtent;
}

bool InWindow(std::int64_t x, std::int64_t y) {
  return x >= K.WindowLeft && x <= K.WindowRight && y >= K.WindowTop && y <= K.WindowBottom;
}

std::int64_t NonZero(std::int64_t d) { return d == 0 ? 1 : d; }

// other1 + (other2 - other1) * (border - this1) / divisor, truncating. The
// same value 32-bit arithmetic gives wherever that does not overflow.
std::int64_t Across(std::int64_t other1, std::int64_t other2, std::int64_t border,
                    std::int64_t this1, std::int64_t divisor) {
  return other1 + (other2 - other1) * (border - this1) / divisor;
}

enum class Clip { Nothing, OnePoint, Line };

struct ClippedEnds {
  int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;  // absolute pixels inside the window
};

// Both ends in window coordinates. The order of the eight border tests and
// the divisors are fixed: lines drawn twice (XOR) or drawn over each other
// must hit the same pixels every time.
//
// Why the intermediates fit 64 bits: origin offsets cancel in every
// difference, so the x clips multiply a y span (< 2^32) by at most 2^31; the
// y clips multiply an x span inside the window (< 2^30) by < 2^32. A y clip
// may extrapolate the first end far outside (when, after the x clips, both
// ends lie beyond the same horizontal border); the second end's clip then
// multiplies by border - border = 0 and the line collapses to one point.
Clip ClipLine(int x1, int y1, int x2, int y2, ClippedEnds& out) {
  if (!WindowDrawable()) return Clip::Nothing;
  const std::int64_t l = K.WindowLeft, t = K.WindowTop, r = K.WindowRight, b = K.WindowBottom;
  std::int64_t ax1 = x1 + l, ay1 = y1 + t, ax2 = x2 + l, ay2 = y2 + t;

  if ((ax1 < l && ax2 < l) || (ax1 > r && ax2 > r) || (ay1 < t && ay2 < t) ||
      (ay1 > b && ay2 > b))
    return Clip::Nothing;

  std::int64_t d = NonZero(ax2 - ax1);
  if (ax1 < l) { ay1 = Across(ay1, ay2, l, ax1, d); ax1 = l; }
  if (ax1 > r) { ay1 = Across(ay1, ay2, r, ax1, d); ax1 = r; }
  d = NonZero(ax2 - ax1);
  if (ax2 < l) { ay2 = Across(ay1, ay2, l, ax1, d); ax2 = l; }
  if (ax2 > r) { ay2 = Across(ay1, ay2, r, ax1, d); ax2 = r; }
  d = NonZero(ay2 - ay1);
  if (ay1 < t) { ax1 = Across(ax1, ax2, t, ay1, d); ay1 = t; }
  if (ay1 > b) { ax1 = Across(ax1, ax2, b, ay1, d); ay1 = b; }
  d = NonZero(ay2 - ay1);
  if (ay2 < t) { ax2 = Across(ax1, ax2, t, ay1, d); ay2 = t; }
  if (ay2 > b) { ax2 = Across(ax1, ax2, b, ay1, d); ay2 = b; }

  // A segment that passes a corner of the window collapses onto a border
  // point that may lie outside the window; it has no visible pixel, and
  // drawing it would only mark the rasters where nothing is shown.
  if (!InWindow(ax1, ay1) || !InWindow(ax2, ay2)) return Clip::Nothing;
  out.X1 = static_cast<int>(ax1);
  out.Y1 = static_cast<int>(ay1);
  out.X2 = static_cast<int>(ax2);
  out.Y2 = static_cast<int>(ay2);
  return (ax1 == ax2 && ay1 == ay2) ? Clip::OnePoint : Clip::Line;
}

// ---------------------------------------------------------------------------
// Pixel line and fast line
// ---------------------------------------------------------------------------

constexpr int kStyleSolid = 0;
constexpr int kStyleDotted = 2;   // every other non-zero style is dashed
// Dashes: 8 pixels on, then 1 off on the pixel line and 2 off on the fast
// line.
constexpr int kDashOn = 8;
constexpr int kPixelLineDashPeriod = 9;
constexpr int kFastLineDashPeriod = 10;

bool SameParity(int x, int y) { return ((x ^ y) & 1) == 0; }  // right for negatives too

bool IsEnd(const LineWalk& w, int step) { return step == 0 || step == w.Steps; }

// XOR lines: every pixel when solid, every second one from the first when
// styled. The depth raster is neither read nor written.
void XorWalk(const LineWalk& w) {
  const int colour = DriverColour(K.Colour);
  const bool solid = K.LineStyle == kStyleSolid;
  for (LineStepper p(w); p.Step <= w.Steps; p.Next())
    if (solid || p.Step % 2 == 0) Drv.DrvXorPoint(p.X, p.Y, colour);
}

// Dotted and dashed lines through the depth-tested point. The fast line
// leaves both ends out of dotted lines, the pixel line keeps them; both
// leave the ends out of dashes.
void StyledWalk(const LineWalk& w, bool dottedEnds, int dashPeriod) {
  int dash = 0;
  for (LineStepper p(w); p.Step <= w.Steps; p.Next()) {
    if (K.LineStyle == kStyleDotted) {
      if ((dottedEnds || !IsEnd(w, p.Step)) && SameParity(p.X, p.Y)) DepthPoint(p.X, p.Y, p.Z, K.Colour);
      continue;
    }
    if (IsEnd(w, p.Step)) continue;
    ++dash;
    if (dash <= kDashOn) DepthPoint(p.X, p.Y, p.Z, K.Colour);
    if (dash >= dashPeriod) dash = 0;
  }
}

// A solid line through the depth-tested point. On the picture's own driver
// the visible pixels go over in runs, the depth raster walked first and the
// shadow and the picture after it: the same pixels as point after point,
// since a line's pixels are distinct.
// The line lies wholly inside the depth raster, the shadow and the
// picture's clip: none of its pixels needs a test of its own.
bool InsideRasters(const LineWalk& w) {
  const int n2 = w.MinorFirst + w.MinorDelta;
  const int minorLow = std::min(w.MinorFirst, n2), minorHigh = std::max(w.MinorFirst, n2);
  const int majorLow = w.MajorFirst, majorHigh = w.MajorFirst + w.Steps;
  const int xLow = w.XMajor ? majorLow : minorLow, xHigh = w.XMajor ? majorHigh : minorHigh;
  const int yLow = w.XMajor ? minorLow : majorLow, yHigh = w.XMajor ? minorHigh : majorHigh;
  const platform::Picture& p = platform::Pic;
  return xLow >= 0 && yLow >= 0 && xLow >= p.ClipLeft && yLow >= p.ClipTop &&
         xHigh <= p.ClipRight && yHigh <= p.ClipBottom && xHigh < kDepthColumns &&
         yHigh < kDepthRows && xHigh < platform::kShadowColumns && yHigh < platform::kShadowRows;
}

// SolidWalk inside every raster: each pixel's depth, shadow and picture in
// one step, through pointers that move with the walk (the major coordinate
// one pixel a step, the minor one when the truncated quotient steps: the
// major axis is the longer, so by at most one). The same pixels, depths and
// counts as the depth walk and PicturePoints: a line's pixels are distinct,
// so the order of the rasters' writes changes nothing.
bool SolidWalkInside(const LineWalk& w, int colour, bool test) {
  const std::uint32_t value = platform::ColourValue(colour);
  const std::uint32_t pixel = platform::PictureForm(value);
  const std::ptrdiff_t width = platform::Pic.Width;
  const int x0 = w.XMajor ? w.MajorFirst : w.MinorFirst, y0 = w.XMajor ? w.MinorFirst : w.MajorFirst;
  std::int32_t* depth = &DepthRaster[y0][x0];
  std::uint32_t* shadow = &platform::ShadowRaster[y0][x0];
  std::uint32_t* picture = platform::Pic.Pixels.data() + y0 * width + x0;
  // Each raster's step along the major and the minor axis.
  const std::ptrdiff_t sign = w.MinorDelta < 0 ? -1 : 1;
  const std::ptrdiff_t depthMajor = w.XMajor ? 1 : kDepthColumns;
  const std::ptrdiff_t depthMinor = sign * (w.XMajor ? kDepthColumns : 1);
  const std::ptrdiff_t shadowMajor = w.XMajor ? 1 : platform::kShadowColumns;
  const std::ptrdiff_t shadowMinor = sign * (w.XMajor ? platform::kShadowColumns : 1);
  const std::ptrdiff_t pictureMajor = w.XMajor ? 1 : width;
  const std::ptrdiff_t pictureMinor = sign * (w.XMajor ? width : 1);
  // minor = first + trunc(step × delta / steps) and z likewise, as
  // quotients and remainders of step × |delta| (LineStepper's arithmetic).
  // The minor delta is at most the steps (the major axis is the longer),
  // so its quotient and remainder need no division; the depth's only when
  // it changes by the steps or more.
  const std::int64_t divisor = w.Steps == 0 ? 1 : w.Steps;
  const std::int64_t minorMagnitude = w.MinorDelta < 0 ? -std::int64_t{w.MinorDelta} : w.MinorDelta;
  const std::int64_t minorWhole = minorMagnitude == divisor ? 1 : 0;
  const std::int64_t minorPart = minorMagnitude == divisor ? 0 : minorMagnitude;
  const bool zNegative = w.ZDelta < 0;
  const std::int64_t zMagnitude = zNegative ? -w.ZDelta : w.ZDelta;
  const std::int64_t zWhole = zMagnitude < divisor ? 0 : zMagnitude / divisor;
  const std::int64_t zPart = zMagnitude < divisor ? zMagnitude : zMagnitude % divisor;
  std::int64_t minorRem = 0, zQuot = 0, zRem = 0;
  int shownCount = 0;
  for (int step = 0;;) {
    const int z = static_cast<int>(w.ZFirst + (zNegative ? -zQuot : zQuot));
    int shown = 1;
    if (test) {
      const std::int32_t before = *depth;
      shown = before <= z ? 1 : 0;
      *depth = std::max(before, z);
    }
    if (shown) {
      *shadow = value;
      *picture = pixel;
    }
    shownCount += shown;
    if (++step > w.Steps) break;
    // The minor quotient steps by its whole part (0, or 1 for a diagonal)
    // and the carry of its remainder.
    minorRem += minorPart;
    const std::int64_t carry = minorRem >= divisor ? 1 : 0;
    minorRem -= divisor & -carry;
    const std::ptrdiff_t minorSteps = static_cast<std::ptrdiff_t>(minorWhole + carry);
    depth += depthMajor + minorSteps * depthMinor;
    shadow += shadowMajor + minorSteps * shadowMinor;
    picture += pictureMajor + minorSteps * pictureMinor;
    zQuot += zWhole;
    zRem += zPart;
    const std::int64_t zCarry = zRem >= divisor ? 1 : 0;
    zQuot += zCarry;
    zRem -= divisor & -zCarry;
  }
  if (shownCount > 0) platform::PictureTookPoints(shownCount, colour);
  return shownCount > 0;
}

bool SolidWalk(const LineWalk& w) {
  if (Drv.DrvPoint != platform::PicturePoint) {
    for (LineStepper p(w); p.Step <= w.Steps; p.Next()) DepthPoint(p.X, p.Y, p.Z, K.Colour);
    return false;
  }
  if (K.DepthTest < 0) return false;
  bool lit = false;
  constexpr int kRun = 256;
  int xs[kRun], ys[kRun];
  int n = 0;
  const int colour = DriverColour(K.Colour);
  const bool test = K.DepthTest > 0;
  const bool inside = InsideRasters(w);
  // The line's depths asked for ahead, all at once: they lie in rows of
  // their own, and waiting for them one after the other is most of the
  // cost. A cell need only be near enough to share its cache line with the
  // pixel's, so a floating slope finds them. A line inside every raster
  // asks for its shadow and picture cells too. They are asked into the
  // second-level cache: there far more of them can be on their way at once.
  if (test && w.Steps > 0) {
    const float slope = static_cast<float>(w.MinorDelta) / static_cast<float>(w.Steps);
    const int n2 = w.MinorFirst + w.MinorDelta;
    const int minorLow = std::min(w.MinorFirst, n2), minorHigh = std::max(w.MinorFirst, n2);
    std::uint32_t* const pixels = platform::Pic.Pixels.data();
    const std::ptrdiff_t width = platform::Pic.Width;
    for (int step = 0; step <= w.Steps; ++step) {
      const int major = w.MajorFirst + step;
      const int minor = std::clamp(w.MinorFirst + static_cast<int>(static_cast<float>(step) * slope),
                                   minorLow, minorHigh);
      const int x = w.XMajor ? major : minor, y = w.XMajor ? minor : major;
      if (InDepthRaster(x, y)) __builtin_prefetch(&DepthRaster[y][x], 1, 1);
      if (inside) {
        __builtin_prefetch(&platform::ShadowRaster[y][x], 1, 1);
        __builtin_prefetch(pixels + y * width + x, 1, 1);
      }
    }
  }
  if (inside) return SolidWalkInside(w, colour, test);
  for (LineStepper p(w); p.Step <= w.Steps; p.Next()) {
    // Without a branch on the depth read, so that the reads of a line's
    // pixels (each in a row of its own) wait for memory all at once.
    int visible = 1;
    if (test && InDepthRaster(p.X, p.Y)) {
      std::int32_t& d = DepthRaster[p.Y][p.X];
      const std::int32_t before = d;
      // 1 when before <= z: the sign of before − z − 1.
      visible = static_cast<int>(static_cast<std::uint64_t>(std::int64_t{before} - p.Z - 1) >> 63);
      d = std::max(before, p.Z);
    }
    xs[n] = p.X;
    ys[n] = p.Y;
    n += visible;
    if (n == kRun) {
      lit = platform::PicturePoints(xs, ys, n, colour) || lit;
      n = 0;
    }
  }
  return platform::PicturePoints(xs, ys, n, colour) || lit;
}

// The start that the pixel and the fast line share: the line clipped to the
// window, a line cut to one pixel plotted, a line in XOR mode walked. True
// with what remains to be drawn in w, false when the line is done. (Into
// the caller's walk: a returned copy, read whole just after its fields were
// written one by one, waited for those writes.)
bool ClippedWalk(int x1, int y1, int z1, int x2, int y2, int z2, LineWalk& w) {
  ClippedEnds e;
  switch (ClipLine(x1, y1, x2, y2, e)) {
    case Clip::Nothing: return false;
    case Clip::OnePoint: PlotPoint(e.X1, e.Y1, std::max(z1, z2)); return false;
    case Clip::Line: break;
  }
  w = BeginLineWalk(e.X1, e.Y1, z1, e.X2, e.Y2, z2);
  if (K.XorMode == 0) return true;
  XorWalk(w);
  return false;
}

void PixelLine(int x1, int y1, int z1, int x2, int y2, int z2) {
  if (K.Unseen) return;
  if (x1 == x2 && y1 == y2) {  // what the clipping makes of a line of one pixel
    if (!WindowDrawable()) return;
    const std::int64_t ax = std::int64_t{x1} + K.WindowLeft, ay = std::int64_t{y1} + K.WindowTop;
    if (InWindow(ax, ay)) PlotPoint(static_cast<int>(ax), static_cast<int>(ay), std::max(z1, z2));
    return;
  }
  if (LineChangesNothing(x1, y1, z1, x2, y2, z2)) return;
  LineWalk w;
  if (!ClippedWalk(x1, y1, z1, x2, y2, z2, w)) return;
  if (K.LineStyle == kStyleSolid) {
    const std::uint64_t calls = platform::Pic.DrawCalls;
    const bool inClip = SolidWalk(w);
    // The walk's ends: step 0 and step Steps, at the depths of their ends.
    const int m1 = w.MajorFirst, m2 = w.MajorFirst + w.Steps;
    const int n1 = w.MinorFirst, n2 = w.MinorFirst + w.MinorDelta;
    const int za = w.ZFirst, zb = static_cast<int>(w.ZFirst + w.ZDelta);
    if (w.XMajor)
      Remember(m1, n1, za, m2, n2, zb, calls);
    else
      Remember(n1, m1, za, n2, m2, zb, calls);
    last.IsLine = true;
    last.InX1 = x1, last.InY1 = y1, last.InZ1 = z1;
    last.InX2 = x2, last.InY2 = y2, last.InZ2 = z2;
    last.Left = K.WindowLeft, last.Top = K.WindowTop;
    last.Right = K.WindowRight, last.Bottom = K.WindowBottom;
    last.InClip = inClip;
  } else {
    StyledWalk(w, /*dottedEnds=*/true, kPixelLineDashPeriod);
  }
}

// One visible run of a depth-tested fast line: one platform line, then the
// run's depths.
void DrawRun(const LineWalk& w, int first, int last, int colour) {
  Forget();  // the depths are stored after the line, uncounted
  int xa, ya, za, xb, yb, zb;
  LineWalkAt(w, first, xa, ya, za);
  LineWalkAt(w, last, xb, yb, zb);
  Drv.DrvLine(xa, ya, xb, yb, colour);
  LineStepper p(w);
  while (p.Step < first) p.Next();
  for (; p.Step <= last; p.Next())
    if (InDepthRaster(p.X, p.Y)) DepthRaster[p.Y][p.X] = p.Z;
}

void FastLine(int x1, int y1, int z1, int x2, int y2, int z2) {
  if (K.Unseen) return;
  LineWalk w;
  if (!ClippedWalk(x1, y1, z1, x2, y2, z2, w)) return;
  if (K.LineStyle != kStyleSolid) {
    StyledWalk(w, /*dottedEnds=*/false, kFastLineDashPeriod);
    return;
  }
  if (K.DepthTest < 0) return;
  const int colour = DriverColour(K.Colour);
  if (K.DepthTest == 0) {
    int xa, ya, za, xb, yb, zb;
    LineWalkAt(w, 0, xa, ya, za);
    LineWalkAt(w, w.Steps, xb, yb, zb);
    Drv.DrvLine(xa, ya, xb, yb, colour);
    return;
  }
  // A line's pixels are distinct, so storing a run's depths after finding
  // its end does not change what the rest of the line sees.
  int runStart = -1;
  for (LineStepper p(w); p.Step <= w.Steps; p.Next()) {
    const bool visible = DepthVisible(p.X, p.Y, p.Z);
    if (visible && runStart < 0) runStart = p.Step;
    if (!visible && runStart >= 0) {
      DrawRun(w, runStart, p.Step - 1, colour);
      runStart = -1;
    }
  }
  if (runStart >= 0) DrawRun(w, runStart, w.Steps, colour);
}

// A move's point is not tested against the window (the platform clip still
// limits it). Coordinates whose absolute value leaves 32 bits have no pixel.
void PlotUnclipped(int x, int y, int z) {
  if (K.Unseen) return;
  const std::int64_t ax = std::int64_t{x} + K.WindowLeft;
  const std::int64_t ay = std::int64_t{y} + K.WindowTop;
  constexpr std::int64_t kMin = std::numeric_limits<int>::min();
  constexpr std::int64_t kMax = std::numeric_limits<int>::max();
  if (ax < kMin || ax > kMax || ay < kMin || ay > kMax) return;
  PlotPoint(static_cast<int>(ax), static_cast<int>(ay), z);
}

}  // namespace

// ---------------------------------------------------------------------------
// Line walk
// ---------------------------------------------------------------------------

LineWalk BeginLineWalk(int x1, int y1, int z1, int x2, int y2, int z2) {
  const std::int64_t dx = std::int64_t{x2} - x1, dy = std::int64_t{y2} - y1;
  const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy) && dx != 0;
  int m1 = xMajor ? x1 : y1, m2 = xMajor ? x2 : y2;
  int n1 = xMajor ? y1 : x1, n2 = xMajor ? y2 : x2;
  if (m2 < m1) {
    std::swap(m1, m2);
    std::swap(n1, n2);
    std::swap(z1, z2);
  }
  LineWalk w;
  w.XMajor = xMajor;
  w.MajorFirst = m1;
  w.Steps = m2 - m1;
  w.MinorFirst = n1;
  w.MinorDelta = n2 - n1;
  w.ZFirst = z1;
  w.ZDelta = std::int64_t{z2} - z1;
  return w;
}

void LineWalkAt(const LineWalk& w, int step, int& x, int& y, int& z) {
  const std::int64_t major = w.Steps == 0 ? 1 : w.Steps;
  const int minor = w.MinorFirst + static_cast<int>(std::int64_t{step} * w.MinorDelta / major);
  z = static_cast<int>(w.ZFirst + std::int64_t{step} * w.ZDelta / major);
  const int m = w.MajorFirst + step;
  x = w.XMajor ? m : minor;
  y = w.XMajor ? minor : m;
}

LineStepper::LineStepper(const LineWalk& w) : W(w) {
  const std::int64_t major = w.Steps == 0 ? 1 : w.Steps;
  Minor.Init(w.MinorDelta, major);
  Depth.Init(w.ZDelta, major);
  Place();
}

void LineStepper::Truncated::Init(std::int64_t delta, std::int64_t divisor) {
  Negative = delta < 0;
  const std::int64_t magnitude = Negative ? -delta : delta;
  Divisor = divisor;
  WholeStep = magnitude / divisor;
  RemStep = magnitude % divisor;
  Quot = Rem = 0;
}


// ---------------------------------------------------------------------------
// Window, colours, regions and start-up state
// ---------------------------------------------------------------------------

void SetWindow(int left, int top, int right, int bottom) {
  Drv.DrvSetClip(left, top, right, bottom);
  K.WindowLeft = left;
  K.WindowTop = top;
  K.WindowRight = right;
  K.WindowBottom = bottom;
}

void ClearWindow() {
  if (!K.Unseen) Drv.DrvClearBar(K.WindowLeft, K.WindowTop, K.WindowRight, K.WindowBottom);
}

void SetColor(int colour) {
  K.Colour = Remap(colour, Drv.DrvGetBackMode());
  Drv.DrvSetPenColor(DriverColour(K.Colour));
}

int GetColor() { return K.Colour; }

void SetXorMode(int on) { K.XorMode = on; }

void SetLineStyle(int style) { K.LineStyle = style; }

void SetDrawColor(int colour) {
  if (colour == kLightGrey)
    K.ColourFamily = kLightGreyFamily;
  else if (colour >= 0 && colour < kBasicColours)
    K.ColourFamily = colour % kRampCount;
  else
    K.ColourFamily = 0;
  SetColor(colour);
}

void FillBackground(int left, int top, int right, int bottom) {
  SetColor(K.MenuBackground);
  if (!K.Unseen) Drv.DrvFillBar(left, top, right, bottom);
  SetColor(K.MenuForeground);
}

void SelectPanel() {
  SetWindow(0, 0, Layout.PanelWidth, Layout.MenuStripTop);
  if (!K.Unseen) Drv.DrvFillBar(0, 0, Layout.PanelWidth, Layout.MenuStripTop);
}

void SelectMenuStrip() {
  // The strip's window reaches two rows above the strip's top edge.
  constexpr int kStripOverlap = 2;
  const int top = Layout.MenuStripTop - kStripOverlap;
  SetWindow(0, top, Layout.ScreenWidth, Layout.ScreenHeight);
  if (!K.Unseen) Drv.DrvFillBar(0, top, Layout.ScreenWidth, Layout.ScreenHeight);
  SetColor(K.MenuForeground);
}

void ComputeScreenLayout() {
  Layout.ScreenWidth = Drv.DrvScreenWidth();
  Layout.ScreenHeight = Drv.DrvScreenHeight();
  ComputeTextMetrics(Layout.ScreenWidth, Layout.ScreenHeight);
  Layout.MenuStripTop = Layout.ScreenHeight - MenuStripHeight;
  Layout.AreaWidth = Layout.ScreenWidth - Layout.PanelWidth;
  Layout.AreaHeight = Layout.MenuStripTop;
}

namespace {
void PictureRectangle(int inset) {
  const int left = Layout.PanelWidth + Layout.PictureLeft;
  SetWindow(left + inset, Layout.PictureTop + inset, left + Layout.PictureWidth - inset,
            Layout.PictureTop + Layout.PictureHeight - 1 - inset);
}
}  // namespace

void SelectPicture() { PictureRectangle(0); }

void SelectPictureInner() { PictureRectangle(Layout.BorderWidth); }

void InitKernel() {
  platform::PreferLargePages(DepthRaster, sizeof DepthRaster);
  platform::BuildPalette();
  for (auto& row : DepthRaster) std::fill(std::begin(row), std::end(row), kDepthCleared);
  platform::ClearShadow();
  K = Kernel{};
  Forget();
}

// ---------------------------------------------------------------------------
// Depth, moves, lines and points
// ---------------------------------------------------------------------------

// Only the rows the window spans, counted from row 0: the picture is the
// only user of the depth raster and its pixels lie in those rows.
void ClearDepth() {
  if (K.HiddenLineMode <= 0 || K.Unseen) return;
  Forget();
  const std::int64_t rows = std::int64_t{K.WindowBottom} - K.WindowTop + 1;
  if (rows <= 0) return;
  const int last = static_cast<int>(std::min<std::int64_t>(rows, kDepthRows));
  for (int y = 0; y < last; ++y)
    std::fill(std::begin(DepthRaster[y]), std::end(DepthRaster[y]), kDepthCleared);
}

void MoveTo2(int x, int y) {
  K.DepthTest = 0;
  PlotUnclipped(x, y, kDepthFlat);
  K.CurX = x;
  K.CurY = y;
  K.CurZ = kDepthFlat;
}

// In XOR mode the end pixel is XORed twice, by the line and by the move,
// so the vertices of an XOR polyline keep their colour.
void LineTo2(int x, int y) {
  K.DepthTest = 0;
  PixelLine(K.CurX, K.CurY, kDepthFlat, x, y, kDepthFlat);
  MoveTo2(x, y);
}

void Line2(int x1, int y1, int x2, int y2) {
  K.DepthTest = 0;
  PixelLine(x1, y1, kDepthFlat, x2, y2, kDepthFlat);
}

// Depth 0 under whatever depth-test setting the last call left, in the
// colour given (not remapped: callers pick exact palette entries). In XOR
// mode the point is XORed and the depth raster left alone, like every other
// XOR figure: the grid is erased by plotting its points a second time.
void Point2(int x, int y, int colour) {
  if (!WindowDrawable() || K.Unseen) return;
  const std::int64_t ax = std::int64_t{x} + K.WindowLeft;
  const std::int64_t ay = std::int64_t{y} + K.WindowTop;
  if (!InWindow(ax, ay)) return;
  if (K.XorMode != 0) {
    Drv.DrvXorPoint(static_cast<int>(ax), static_cast<int>(ay), DriverColour(colour));
    return;
  }
  DepthPoint(static_cast<int>(ax), static_cast<int>(ay), 0, colour);
}

// The move's whole chain down to the picture is taken into it: hatches
// make one per line of a few pixels.
[[gnu::flatten]] void MoveTo3(int x, int y, int z) {
  K.DepthTest = K.HiddenLineMode;
  PlotUnclipped(x, y, z);
  K.CurX = x;
  K.CurY = y;
  K.CurZ = z;
}

void LineTo3(int x, int y, int z) {
  K.DepthTest = K.HiddenLineMode;
  PixelLine(K.CurX, K.CurY, K.CurZ, x, y, z);
  MoveTo3(x, y, z);
}

void FastLine3(int x1, int y1, int z1, int x2, int y2, int z2) {
  K.DepthTest = K.HiddenLineMode;
  FastLine(x1, y1, z1, x2, y2, z2);
}

// ---------------------------------------------------------------------------
// Unrounded pen
// ---------------------------------------------------------------------------

// Within the limit NearestInt's rounding (halves to even) without its
// library call: adding 2^52 and taking it away again rounds a double below
// 2^52 to the nearest whole number.
std::int32_t PixelOf(double v) {
  if (!(v >= -kPixelLimit)) return v < 0 ? -kPixelLimit : kPixelLimit;  // NaN: off the screen
  if (v > kPixelLimit) return kPixelLimit;
  constexpr double kWhole = 4503599627370496.0;  // 2^52
  const double a = std::fabs(v);
  const double r = (a + kWhole) - kWhole;
  return static_cast<std::int32_t>(v < 0 ? -r : r);
}

namespace {

bool InSquare(double x, double y) {
  return std::fabs(x) <= kPixelLimit && std::fabs(y) <= kPixelLimit;
}

void RoundedMove(double x, double y, double z, bool depth) {
  if (depth)
    MoveTo3(PixelOf(x), PixelOf(y), PixelOf(z));
  else
    MoveTo2(PixelOf(x), PixelOf(y));
}

void RoundedLine(double x, double y, double z, bool depth) {
  if (depth)
    LineTo3(PixelOf(x), PixelOf(y), PixelOf(z));
  else
    LineTo2(PixelOf(x), PixelOf(y));
}

// The part t0..t1 of a→a+d inside the square of ±limit (Liang and
// Barsky's clip).
bool ClipToSquare(double ax, double ay, double dx, double dy, double limit, double& t0, double& t1) {
  t0 = 0;
  t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {ax + limit, limit - ax, ay + limit, limit - ay};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  return true;
}

}  // namespace

bool CutToSquare(double& x1, double& y1, double& x2, double& y2, double limit) {
  double t0 = 0, t1 = 1;
  const double dx = x2 - x1, dy = y2 - y1;
  if (!(std::isfinite(dx) && std::isfinite(dy)) || !ClipToSquare(x1, y1, dx, dy, limit, t0, t1))
    return false;
  const double ax = x1, ay = y1;
  if (t0 > 0) {
    x1 = ax + t0 * dx;
    y1 = ay + t0 * dy;
  }
  if (t1 < 1) {
    x2 = ax + t1 * dx;
    y2 = ay + t1 * dy;
  }
  return true;
}

[[gnu::flatten]] void MoveToExact(double x, double y, double z, bool depth) {
  K.PenX = x;
  K.PenY = y;
  K.PenZ = z;
  K.PenValid = std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
  if (K.PenValid) RoundedMove(x, y, z, depth);
}

namespace {

// LineToExact to the point the pen stands on, when the kernel stands on its
// pixel: a line of that one pixel and the move that plots it again. When the
// last drawing covers that pixel both change nothing, and only the picture's
// counters move; false when the ordinary way must draw.
bool SamePixelAgain(double x, double y, double z, bool depth) {
  if (!InSquare(x, y)) return false;
  const int ix = PixelOf(x), iy = PixelOf(y), iz = depth ? PixelOf(z) : kDepthFlat;
  if (ix != K.CurX || iy != K.CurY || iz != K.CurZ) return false;
  const int test = depth ? K.HiddenLineMode : 0;
  if (test < 0 || test != last.DepthTest) return false;
  const std::int64_t ax = std::int64_t{ix} + K.WindowLeft, ay = std::int64_t{iy} + K.WindowTop;
  if (ax < std::numeric_limits<int>::min() || ax > std::numeric_limits<int>::max() ||
      ay < std::numeric_limits<int>::min() || ay > std::numeric_limits<int>::max())
    return false;
  K.DepthTest = test;
  if (!AsLastLeftIt()) return false;
  const int px = static_cast<int>(ax), py = static_cast<int>(ay);
  bool covered = false;
  for (int e = 0; e < 2; ++e)
    covered = covered || (px == last.X[e] && py == last.Y[e] && (test == 0 || iz <= last.Z[e]));
  if (!covered) return false;
  // Both plots would see what the last drawing left: shown or hidden alike.
  const bool visible = test == 0 || !InDepthRaster(px, py) || DepthRaster[py][px] <= iz;
  if (visible) {
    platform::Pic.DrawCalls += WindowDrawable() && InWindow(ax, ay) ? 2 : 1;
    if (InPictureClip(px, py)) platform::Pic.Dirty = true;
    last.Stamp = platform::Pic.DrawCalls;
  }
  return true;
}

// LineToExact to the point the pen stands on, done by SamePixelAgain.
bool AgainAtPen(double x, double y, double z, bool depth) {
  if (!(K.PenValid && x == K.PenX && y == K.PenY && z == K.PenZ && SamePixelAgain(x, y, z, depth)))
    return false;
  K.PenX = x;
  K.PenY = y;
  K.PenZ = z;
  return true;
}

bool SameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

}  // namespace

void LineToExactRun(const double* x, const double* y, const double* z, int n, bool depth) {
  for (int i = 0; i < n;) {
    LineToExact(x[i], y[i], z[i], depth);
    int j = i + 1;
    while (j < n && SameBits(x[j], x[i]) && SameBits(y[j], y[i]) && SameBits(z[j], z[i])) ++j;
    // The same point again and again: when the first repeat changes nothing
    // but the counters, each further one finds the kernel and the rasters as
    // the first did and moves the counters as much.
    if (j - i >= 2) {
      const std::uint64_t calls = platform::Pic.DrawCalls;
      if (AgainAtPen(x[i], y[i], z[i], depth)) {
        platform::Pic.DrawCalls += (platform::Pic.DrawCalls - calls) * static_cast<std::uint64_t>(j - i - 2);
        last.Stamp = platform::Pic.DrawCalls;
      } else {
        for (int k = i + 1; k < j; ++k) LineToExact(x[k], y[k], z[k], depth);
      }
    }
    i = j;
  }
}

void LineToExact(double x, double y, double z, bool depth) {
  if (AgainAtPen(x, y, z, depth)) return;
  const double ax = K.PenX, ay = K.PenY, az = K.PenZ;
  const bool from = K.PenValid;
  K.PenX = x;
  K.PenY = y;
  K.PenZ = z;
  K.PenValid = std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
  if (!K.PenValid) return;
  if (!from) {
    RoundedMove(x, y, z, depth);
    return;
  }
  // The kernel's own position is the rounded start whenever that start lies
  // in the square: every operation here leaves it so.
  if (InSquare(ax, ay) && InSquare(x, y)) {
    RoundedLine(x, y, z, depth);
    return;
  }
  double t0 = 0, t1 = 1;
  if (!ClipToSquare(ax, ay, x - ax, y - ay, kPixelLimit, t0, t1)) return;
  if (t0 > 0 || !InSquare(ax, ay))
    RoundedMove(ax + t0 * (x - ax), ay + t0 * (y - ay), az + t0 * (z - az), depth);
  RoundedLine(ax + t1 * (x - ax), ay + t1 * (y - ay), az + t1 * (z - az), depth);
}

}  // namespace gfx
