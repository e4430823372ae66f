// src/platform/picture.h — the in-memory picture of the window's client
// area, and the screen implementation of the PlatformDriver's drawing
// entries on it.
//
// Both drivers draw here: the image driver is nothing but this picture, and
// the Qt window shows it on the screen when the program waits for a key. The
// drawing entries keep the ShadowRaster equal to what they put on the
// picture, so that XOR drawing restores pixels exactly.
//
// Conventions of this implementation:
//  - the clip rectangle is inclusive on all four sides, like the kernel's
//    DrawWindow, and always lies inside the picture;
//  - a rectangle (fill, clear) is inclusive on all four sides and is filled
//    entirely with the background mode's colour, so that a cleared area and
//    its shadow agree pixel for pixel;
//  - colour numbers above 528 are drawn as 528, negative ones as 0;
//  - DrvPutPixelRGB clamps each component to 0..255.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/driver.h"

namespace platform {

// The largest picture side; a window larger than this shows the rest blank.
constexpr int kPictureMaxSide = 8192;
constexpr int kBackModeCount = 5;  // 0..4; any other mode fills like 4

// --- Palette ----------------------------------------------------------------
constexpr int kColourCount = 529;  // 0..528
// 0x00BBGGRR: red in the low byte. 0..15 basic, 16..527 eight ramps of 64
// shades, 528 the extra colour.
extern std::uint32_t Palette[kColourCount];
void BuildPalette();

// --- Shadow raster ----------------------------------------------------------
// The colour value of every pixel the drawing entries put on the picture,
// by absolute window pixel; an XOR point reads it to be undone exactly.
constexpr int kShadowColumns = 3000, kShadowRows = 2000;
extern std::uint32_t ShadowRaster[kShadowRows][kShadowColumns];
void ClearShadow();  // all zero, as the kernel's start-up leaves it

struct Picture {
  // One pixel per word in the form 0xFFRRGGBB (a 32-bit RGB image as Qt
  // and most toolkits hold it), row after row, Width words per row.
  std::vector<std::uint32_t> Pixels{0xFF000000u};
  int Width = 1, Height = 1;
  int ClipLeft = 0, ClipTop = 0, ClipRight = 0, ClipBottom = 0;  // inclusive
  int BackgroundMode = 0;
  std::uint32_t PenCache = 0;  // Palette value of the pen last selected
  int PenChanges = 0;          // pens created: one per change of pen value
  bool Dirty = false;          // drawn on since it was last shown
  std::uint64_t DrawCalls = 0; // drawing entries run; the image driver watches it
  std::uint64_t Resets = 0;    // ResizePicture calls: every pixel made anew
};
extern Picture Pic;  // the one picture of the program

// Asks the system to back the memory of a large raster with large pages
// where it can (the lines of a picture touch a row, and so a page, per
// pixel); a hint only, nothing changes where it is not taken.
void PreferLargePages(void* memory, std::size_t bytes);

// Makes the picture width × height (each clamped to 1..kPictureMaxSide),
// black, with the clip covering all of it.
void ResizePicture(int width, int height);

// Stores the drawing entries below into the table.
void InstallPictureDrawing(PlatformDriver& driver);

// The colour of a picture pixel in the Palette's form 0x00BBGGRR; 0 outside.
std::uint32_t PictureColour(int x, int y);

// The Palette value of a colour number, clamped to 0..528.
inline std::uint32_t ColourValue(int colour) {
  return Palette[colour < 0 ? 0 : colour > kColourCount - 1 ? kColourCount - 1 : colour];
}

// The pen of a Palette value made current: a new pen only when the value
// differs from the last pen's.
inline void SelectPen(std::uint32_t value) {
  if (value == Pic.PenCache) return;
  Pic.PenCache = value;
  ++Pic.PenChanges;
}

// Drawing entries (absolute picture pixels).
void PictureInitGraphics();
int PictureWidth();
int PictureHeight();
void PictureSetClip(int left, int top, int right, int bottom);
void PictureFillBar(int left, int top, int right, int bottom);
void PictureClearBar(int left, int top, int right, int bottom);
void PictureSetPenColor(int colour);
void PictureSetBackMode(int mode);
int PictureGetBackMode();
void PicturePoint(int x, int y, int colour);
// What PicturePoint does at each of count points (xs[i], ys[i]) of one
// colour, raster by raster: the kernel hands its lines' visible pixels over
// in runs. True when a point lay inside the clip (the picture changed).
bool PicturePoints(const int* xs, const int* ys, int count, int colour);
// A Palette value (0x00BBGGRR) in the picture's form (0xFFRRGGBB).
constexpr std::uint32_t PictureForm(std::uint32_t value) {
  return 0xFF000000u | (value & 0xFFu) << 16 | (value & 0xFF00u) | (value >> 16 & 0xFFu);
}
// The rest of what PicturePoints does for count > 0 points of the colour
// inside the clip that the caller has put on the shadow and the picture
// itself (the kernel's lines and points that lie wholly inside both).
inline void PictureTookPoints(int count, int colour) {
  Pic.DrawCalls += static_cast<std::uint64_t>(count);
  SelectPen(ColourValue(colour));
  Pic.Dirty = true;
}
void PictureXorPoint(int x, int y, int colour);
void PictureLine(int x1, int y1, int x2, int y2, int colour);
void PicturePutPixelRGB(int x, int y, int red, int green, int blue);

}  // namespace platform
