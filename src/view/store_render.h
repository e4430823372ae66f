// src/view/store_render.h — the drawing store on the screen.
//
// A flush to the screen walks the store's three lists — image placements,
// objects, texts — and draws them in world coordinates through the current
// view, in the kernel's current colour (the pens of objects and texts are
// for the exchange writers; the application sets the colour before it
// flushes a piece). A key that waits stops the rendering and stays in the
// queue for the next menu.
//
// Sections:
//   the renderer            RenderStoreOnScreen
//   bitmaps                 BitmapHeader, ReadBitmapHeader, DrawImagePlacement
//   start-up                InstallStoreRenderer
#pragma once

#include <cstdint>

namespace gfx {

// Draws the whole store: images (a missing bitmap replaces the piece by the
// message "Нет файла NAME.BMP"), then objects, then texts.
void RenderStoreOnScreen();

// --- Bitmaps ---------------------------------------------------------------------
// Uncompressed Windows bitmaps of 1, 4, 8 or 24 bits per pixel. Sides larger
// than this are refused: no picture the program can show needs them, and a
// damaged header must not send the reader through billions of pixels.
constexpr int kBitmapMaxSide = 32768;
constexpr int kBitmapColourTable = 256;

struct BitmapHeader {
  int Width = 0;            // pixels per row
  int Height = 0;           // rows
  bool TopDown = false;     // rows stored from the top (negative height)
  int BitsPerPixel = 0;     // 1, 4, 8 or 24
  int ColourCount = 0;      // entries read into Colours
  std::uint32_t Colours[kBitmapColourTable] = {};  // 0x00RRGGBB as the file has them
  std::int64_t DataOffset = 0;  // where the first stored row starts
};

// Reads and checks the headers (and the colour table) of an open file from
// its start. False when the file is no bitmap this reader can draw: a short
// or damaged header, compression, an unsupported depth, absurd sides.
bool ReadBitmapHeader(int fd, BitmapHeader& header);

// The size of the bitmap imageName + ".BMP" (the store's image boxes).
bool ReadBitmapSize(const char* imageName, int& width, int& height);

// Draws the bitmap of an open file with its lower-left corner at (x, y, 0);
// one file pixel is pixelSize world units. imageStyle picks the drawn bits
// of a 1-bit image: 0 the 0 bits, any other value the 1 bits. Rows the file
// does not hold (a short file) are left as they were; a waiting key stops
// the image between rows.
void DrawImagePlacement(int fd, float x, float y, float pixelSize, int imageStyle);

// --- Start-up ---------------------------------------------------------------------
// Installs the renderer as the store's screen flush, the prompt line as its
// message window and the bitmap reader as its image-size reader.
void InstallStoreRenderer();

}  // namespace gfx
