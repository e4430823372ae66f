// src/platform/picture.cpp — the in-memory picture and the drawing entries
// that both drivers share.
//
// Sections: picture and clip · colours and pens · rectangles · points ·
// lines · installation.
#include "platform/picture.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>

namespace platform {

Picture Pic;

namespace {

// A pen value no palette colour has (their top byte is 0): after the clip
// changes the next point always selects its pen anew.
constexpr std::uint32_t kNoPen = 0xFFFFFFFFu;
constexpr std::uint32_t kOpaque = 0xFF000000u;

// The fill colour of each background mode, as Palette values: black, dark
// grey, grey, light grey and white stock brushes.
constexpr std::uint32_t kFillValue[kBackModeCount] = {
    0x000000u, 0x404040u, 0x808080u, 0xC0C0C0u, 0xFFFFFFu};

// 0x00BBGGRR (the palette's form) to 0xFFRRGGBB (the picture's form).
constexpr std::uint32_t PixelOf(std::uint32_t value) { return PictureForm(value); }

bool InClip(long long x, long long y) {
  return x >= Pic.ClipLeft && x <= Pic.ClipRight && y >= Pic.ClipTop && y <= Pic.ClipBottom;
}

bool InShadow(long long x, long long y) {
  return x >= 0 && x < kShadowColumns && y >= 0 && y < kShadowRows;
}

// Lights one pixel when it lies inside the clip (which lies inside the
// picture); nothing else is ever written.
void Light(long long x, long long y, std::uint32_t value) {
  if (!InClip(x, y)) return;
  Pic.Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Pic.Width) +
             static_cast<std::size_t>(x)] = PixelOf(value);
  Pic.Dirty = true;
}

std::uint32_t FillValue() {
  const int mode = Pic.BackgroundMode;
  return mode >= 0 && mode < kBackModeCount ? kFillValue[mode] : kFillValue[4];
}

// Fills the rectangle (inclusive) as far as it lies inside the clip.
void FillClipped(int left, int top, int right, int bottom, std::uint32_t value) {
  const int l = std::max(left, Pic.ClipLeft), r = std::min(right, Pic.ClipRight);
  const int t = std::max(top, Pic.ClipTop), b = std::min(bottom, Pic.ClipBottom);
  if (l > r || t > b) return;
  const std::uint32_t pixel = PixelOf(value);
  for (int y = t; y <= b; ++y) {
    std::uint32_t* row = Pic.Pixels.data() + static_cast<std::size_t>(y) * Pic.Width;
    std::fill(row + l, row + r + 1, pixel);
  }
  Pic.Dirty = true;
}

}  // namespace

// --- Picture and clip ---------------------------------------------------------

void PreferLargePages(void* memory, std::size_t bytes) {
  constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
  const std::uintptr_t from = (reinterpret_cast<std::uintptr_t>(memory) + kLargePage - 1) & ~(kLargePage - 1);
  const std::uintptr_t to = (reinterpret_cast<std::uintptr_t>(memory) + bytes) & ~(kLargePage - 1);
  if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

void ResizePicture(int width, int height) {
  Pic.Width = std::clamp(width, 1, kPictureMaxSide);
  Pic.Height = std::clamp(height, 1, kPictureMaxSide);
  const std::size_t pixels = static_cast<std::size_t>(Pic.Width) * Pic.Height;
  if (Pic.Pixels.capacity() < pixels) {
    std::vector<std::uint32_t> fresh;
    fresh.reserve(pixels);
    PreferLargePages(fresh.data(), pixels * sizeof(std::uint32_t));
    Pic.Pixels.swap(fresh);
  }
  Pic.Pixels.assign(pixels, kOpaque);
  ++Pic.Resets;
  Pic.ClipLeft = 0;
  Pic.ClipTop = 0;
  Pic.ClipRight = Pic.Width - 1;
  Pic.ClipBottom = Pic.Height - 1;
  Pic.Dirty = true;
}

std::uint32_t PictureColour(int x, int y) {
  if (x < 0 || y < 0 || x >= Pic.Width || y >= Pic.Height ||
      Pic.Pixels.size() < static_cast<std::size_t>(Pic.Width) * Pic.Height)
    return 0;
  const std::uint32_t p = Pic.Pixels[static_cast<std::size_t>(y) * Pic.Width + x];
  return (p >> 16 & 0xFFu) | (p & 0xFF00u) | (p & 0xFFu) << 16;
}

void PictureInitGraphics() {
  if (Pic.Pixels.size() != static_cast<std::size_t>(Pic.Width) * Pic.Height)
    ResizePicture(Pic.Width, Pic.Height);
  ++Pic.DrawCalls;
  PictureSetClip(0, 0, Pic.Width - 1, Pic.Height - 1);
  SelectPen(Palette[15]);
}

int PictureWidth() { return std::max(Pic.Width, 1); }
int PictureHeight() { return std::max(Pic.Height, 1); }

void PictureSetClip(int left, int top, int right, int bottom) {
  ++Pic.DrawCalls;
  // A new context starts with the whole client area; the rectangle narrows it.
  Pic.ClipLeft = std::max(left, 0);
  Pic.ClipTop = std::max(top, 0);
  Pic.ClipRight = std::min(right, Pic.Width - 1);
  Pic.ClipBottom = std::min(bottom, Pic.Height - 1);
  Pic.PenCache = kNoPen;
}

// --- Colours and pens ----------------------------------------------------------

void PictureSetPenColor(int colour) {
  ++Pic.DrawCalls;
  SelectPen(ColourValue(colour));
}

void PictureSetBackMode(int mode) { Pic.BackgroundMode = mode; }
int PictureGetBackMode() { return Pic.BackgroundMode; }

// --- Rectangles ------------------------------------------------------------------

void PictureFillBar(int left, int top, int right, int bottom) {
  ++Pic.DrawCalls;
  FillClipped(left, top, right, bottom, FillValue());
}

void PictureClearBar(int left, int top, int right, int bottom) {
  PictureFillBar(left, top, right, bottom);
  // The shadow is cleared over the whole rectangle, clip or not: it must
  // say what the area holds once the picture is drawn into it.
  const std::uint32_t value = FillValue();
  const int l = std::max(left, 0), r = std::min(right, kShadowColumns - 1);
  const int t = std::max(top, 0), b = std::min(bottom, kShadowRows - 1);
  for (int y = t; y <= b; ++y)
    for (int x = l; x <= r; ++x) ShadowRaster[y][x] = value;
}

// --- Points ------------------------------------------------------------------------

void PicturePoint(int x, int y, int colour) {
  ++Pic.DrawCalls;
  const std::uint32_t value = ColourValue(colour);
  if (InShadow(x, y)) ShadowRaster[y][x] = value;
  SelectPen(value);
  Light(x, y, value);
}

bool PicturePoints(const int* xs, const int* ys, int count, int colour) {
  if (count <= 0) return false;
  Pic.DrawCalls += static_cast<std::uint64_t>(count);
  const std::uint32_t value = ColourValue(colour);
  SelectPen(value);
  for (int i = 0; i < count; ++i)
    if (InShadow(xs[i], ys[i])) ShadowRaster[ys[i]][xs[i]] = value;
  const std::uint32_t pixel = PixelOf(value);
  const std::size_t width = static_cast<std::size_t>(Pic.Width);
  bool lit = false;
  for (int i = 0; i < count; ++i) {
    if (!InClip(xs[i], ys[i])) continue;
    Pic.Pixels[static_cast<std::size_t>(ys[i]) * width + static_cast<std::size_t>(xs[i])] = pixel;
    lit = true;
  }
  if (lit) Pic.Dirty = true;
  return lit;
}

void PictureXorPoint(int x, int y, int colour) {
  ++Pic.DrawCalls;
  // Beyond the shadow's columns and rows the picture itself says what the
  // pixel holds, so a second XOR still restores it.
  const std::uint32_t under = InShadow(x, y) ? ShadowRaster[y][x] : PictureColour(x, y);
  const std::uint32_t value = (ColourValue(colour) ^ under) & 0xFFFFFFu;
  if (InShadow(x, y)) ShadowRaster[y][x] = value;
  SelectPen(value);
  Light(x, y, value);
}

void PicturePutPixelRGB(int x, int y, int red, int green, int blue) {
  ++Pic.DrawCalls;
  const std::uint32_t value = static_cast<std::uint32_t>(std::clamp(red, 0, 255)) |
                              static_cast<std::uint32_t>(std::clamp(green, 0, 255)) << 8 |
                              static_cast<std::uint32_t>(std::clamp(blue, 0, 255)) << 16;
  Light(x, y, value);
}

// --- Lines ---------------------------------------------------------------------------

// The pixels of the kernel's pixel line from (x1, y1) to (x2, y2), both ends
// included: the major axis is x when |dx| >= |dy| and dx != 0, the ends are
// ordered along it, and the minor coordinate is interpolated with truncating
// division. Steps outside the picture and the shadow are skipped without
// being walked, so huge coordinates cost nothing; the products are taken in
// 128 bits so that they cannot overflow.
void PictureLine(int x1, int y1, int x2, int y2, int colour) {
  ++Pic.DrawCalls;
  const std::uint32_t value = ColourValue(colour);
  SelectPen(value);
  const long long dx = static_cast<long long>(x2) - x1, dy = static_cast<long long>(y2) - y1;
  const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy) && dx != 0;
  long long m1 = xMajor ? x1 : y1, m2 = xMajor ? x2 : y2;
  long long n1 = xMajor ? y1 : x1, n2 = xMajor ? y2 : x2;
  if (m1 > m2) {
    std::swap(m1, m2);
    std::swap(n1, n2);
  }
  const long long dMajor = m2 - m1, dMinor = n2 - n1;
  const long long limit = xMajor ? std::max(Pic.Width, kShadowColumns)
                                 : std::max(Pic.Height, kShadowRows);
  const long long from = std::max(m1, 0LL), to = std::min(m2, limit - 1);
  for (long long m = from; m <= to; ++m) {
    const long long n =
        dMajor == 0 ? n1
                    : n1 + static_cast<long long>(static_cast<__int128>(m - m1) * dMinor / dMajor);
    const long long x = xMajor ? m : n, y = xMajor ? n : m;
    if (InShadow(x, y)) ShadowRaster[y][x] = value;
    Light(x, y, value);
  }
}

// --- Installation ----------------------------------------------------------------------

void InstallPictureDrawing(PlatformDriver& driver) {
  driver.DrvInitGraphics = PictureInitGraphics;
  driver.DrvScreenWidth = PictureWidth;
  driver.DrvScreenHeight = PictureHeight;
  driver.DrvSetClip = PictureSetClip;
  driver.DrvFillBar = PictureFillBar;
  driver.DrvClearBar = PictureClearBar;
  driver.DrvSetPenColor = PictureSetPenColor;
  driver.DrvSetBackMode = PictureSetBackMode;
  driver.DrvGetBackMode = PictureGetBackMode;
  driver.DrvPoint = PicturePoint;
  driver.DrvXorPoint = PictureXorPoint;
  driver.DrvLine = PictureLine;
  driver.DrvPutPixelRGB = PicturePutPixelRGB;
}

}  // namespace platform
