// src/view/store_render.cpp — the drawing store on the screen.
//
// Sections:
//   1. File reading: positioned reads of the headers, a buffered stream of
//      the rows (a fixed buffer on the stack: the redraw path allocates
//      nothing)
//   2. Bitmap headers
//   3. Bitmap pixels
//   4. The renderer
//   5. Start-up: the store's slots
#include "view/store_render.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "graphics/kernel.h"
#include "graphics/text.h"
#include "menu/menu.h"
#include "platform/codepage.h"
#include "platform/driver.h"
#include "store/store.h"
#include "view/view.h"

namespace gfx {

// ---------------------------------------------------------------------------
// 1. File reading

namespace {

// Reads up to n bytes at offset; the count read (0 at the end or on an error).
int ReadAt(int fd, std::int64_t offset, unsigned char* into, int n) {
  int done = 0;
  while (done < n) {
    const ssize_t got = pread(fd, into + done, static_cast<size_t>(n - done),
                              static_cast<off_t>(offset + done));
    if (got <= 0) break;
    done += static_cast<int>(got);
  }
  return done;
}

std::uint32_t U16(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8;
}
std::uint32_t U32(const unsigned char* p) {
  return U16(p) | U16(p + 2) << 16;
}
std::int32_t I32(const unsigned char* p) { return static_cast<std::int32_t>(U32(p)); }

// The rows, byte by byte, through a buffer of one page.
struct RowStream {
  int Fd = -1;
  std::int64_t Offset = 0;     // of Buffer[0] in the file
  int Length = 0, Position = 0;
  bool Ended = false;          // the file ended or failed
  unsigned char Buffer[4096];

  // The next byte; false once the file has no more.
  bool Next(unsigned& byte) {
    if (Position == Length) {
      if (Ended) return false;
      Offset += Length;
      Length = ReadAt(Fd, Offset, Buffer, static_cast<int>(sizeof Buffer));
      Position = 0;
      if (Length == 0) {
        Ended = true;
        return false;
      }
    }
    byte = Buffer[Position++];
    return true;
  }
  // Passes over n bytes (the fill at the end of a row).
  bool Skip(std::int64_t n) {
    unsigned b = 0;
    for (std::int64_t i = 0; i < n; ++i)
      if (!Next(b)) return false;
    return true;
  }
};

}  // namespace

// ---------------------------------------------------------------------------
// 2. Bitmap headers
//
// The file header (14 bytes: "BM", size, reserved, offset of the rows) is
// followed by an information header: the 12-byte core form with 16-bit
// sides, or the 40-byte form and its longer successors with 32-bit sides,
// compression and the count of colours used. The colour table follows the
// information header (3-byte entries after the core form, 4-byte after the
// others, blue first).

namespace {
constexpr int kFileHeaderBytes = 14;
constexpr int kCoreInfoBytes = 12;
constexpr int kInfoBytes = 40;
constexpr std::uint32_t kInfoMaxBytes = 4096;  // the longest real form has 124
}  // namespace

bool ReadBitmapHeader(int fd, BitmapHeader& h) {
  h = BitmapHeader{};
  unsigned char head[kFileHeaderBytes + kInfoBytes] = {};
  const int got = ReadAt(fd, 0, head, static_cast<int>(sizeof head));
  if (got < kFileHeaderBytes + kCoreInfoBytes) return false;
  if (head[0] != 'B' || head[1] != 'M') return false;
  const std::uint32_t infoBytes = U32(head + 14);
  std::int64_t width = 0, height = 0;
  std::uint32_t bits = 0, compression = 0, coloursUsed = 0;
  int entryBytes = 4;
  if (infoBytes == kCoreInfoBytes) {
    width = U16(head + 18);
    height = U16(head + 20);
    bits = U16(head + 24);
    entryBytes = 3;
  } else {
    if (infoBytes < kInfoBytes || infoBytes > kInfoMaxBytes) return false;
    if (got < kFileHeaderBytes + kInfoBytes) return false;
    width = I32(head + 18);
    height = I32(head + 22);
    bits = U16(head + 28);
    compression = U32(head + 30);
    coloursUsed = U32(head + 46);
  }
  if (compression != 0) return false;
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return false;
  if (height < 0) {
    h.TopDown = true;
    height = -height;
  }
  if (width < 1 || width > kBitmapMaxSide || height < 1 || height > kBitmapMaxSide) return false;
  h.Width = static_cast<int>(width);
  h.Height = static_cast<int>(height);
  h.BitsPerPixel = static_cast<int>(bits);

  const std::int64_t tableAt = kFileHeaderBytes + std::int64_t{infoBytes};
  std::int64_t tableEnd = tableAt;
  if (bits <= 8) {
    const std::uint32_t full = 1u << bits;
    const std::uint32_t count = coloursUsed >= 1 && coloursUsed <= full ? coloursUsed : full;
    unsigned char table[kBitmapColourTable * 4];
    const int bytes = static_cast<int>(count) * entryBytes;
    const int read = ReadAt(fd, tableAt, table, bytes);
    h.ColourCount = read / entryBytes;  // a short file keeps the rest black
    for (int i = 0; i < h.ColourCount; ++i) {
      const unsigned char* e = table + i * entryBytes;
      h.Colours[i] = static_cast<std::uint32_t>(e[2]) << 16 |
                     static_cast<std::uint32_t>(e[1]) << 8 | e[0];
    }
    tableEnd += bytes;
  }
  // The rows start where the file header says; an offset that points into
  // the headers is damage, and the rows are then taken to follow the table.
  const std::int64_t offset = U32(head + 10);
  h.DataOffset = offset >= tableEnd ? offset : tableEnd;
  return true;
}

bool ReadBitmapSize(const char* imageName, int& width, int& height) {
  char path[store::kImageNameBytes + 8];
  const std::size_t n = strnlen(imageName, store::kImageNameBytes);
  std::memcpy(path, imageName, n);
  std::memcpy(path + n, ".BMP", 5);
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  BitmapHeader h;
  const bool ok = ReadBitmapHeader(fd, h);
  close(fd);
  if (!ok) return false;
  width = h.Width;
  height = h.Height;
  return true;
}

// ---------------------------------------------------------------------------
// 3. Bitmap pixels

namespace {

struct PixelPlacer {
  float X = 0, Y = 0, Size = 0;
  std::int32_t Px = 0, Py = 0;
  // The window pixel of column k, row r (both from 1, rows from the bottom).
  void Place(int k, int r) {
    view::WorldToPixel(X + static_cast<float>(k) * Size, Y + static_cast<float>(r) * Size, 0.0f,
                       Px, Py);
  }
  // A colour given as red, green and blue goes past the kernel straight to
  // the driver, which takes absolute pixels: clip to the drawing window here.
  void PutRgb(std::uint32_t rgb) const {
    const std::int64_t ax = std::int64_t{Px} + K.WindowLeft;
    const std::int64_t ay = std::int64_t{Py} + K.WindowTop;
    if (ax < K.WindowLeft || ax > K.WindowRight || ay < K.WindowTop || ay > K.WindowBottom) return;
    platform::Drv.DrvPutPixelRGB(static_cast<int>(ax), static_cast<int>(ay),
                                 static_cast<int>(rgb >> 16 & 0xFF),
                                 static_cast<int>(rgb >> 8 & 0xFF), static_cast<int>(rgb & 0xFF));
  }
};

constexpr int kOneBitColour = 10;

}  // namespace

void DrawImagePlacement(int fd, float x, float y, float pixelSize, int imageStyle) {
  BitmapHeader h;
  if (!ReadBitmapHeader(fd, h)) return;
  RowStream in;
  in.Fd = fd;
  in.Offset = h.DataOffset;
  const std::int64_t rowBits = std::int64_t{h.Width} * h.BitsPerPixel;
  const std::int64_t rowBytes = (rowBits + 31) / 32 * 4;
  const std::int64_t usedBytes = (rowBits + 7) / 8;
  const unsigned drawnBit = imageStyle == 0 ? 0u : 1u;
  PixelPlacer p{x, y, pixelSize};

  for (int i = 0; i < h.Height; ++i) {
    if (platform::Drv.DrvKeyPressed()) return;
    const int r = h.TopDown ? h.Height - i : i + 1;
    int k = 1;  // the next column
    for (std::int64_t b = 0; b < usedBytes; ++b) {
      unsigned byte = 0;
      if (!in.Next(byte)) return;
      switch (h.BitsPerPixel) {
        case 1:
          for (int bit = 7; bit >= 0 && k <= h.Width; --bit, ++k) {
            if ((byte >> bit & 1u) != drawnBit) continue;
            p.Place(k, r);
            Point2(p.Px, p.Py, kOneBitColour);
          }
          break;
        case 4:
          for (int shift = 4; shift >= 0 && k <= h.Width; shift -= 4, ++k) {
            p.Place(k, r);
            Point2(p.Px, p.Py, static_cast<int>(byte >> shift & 0xFu));
          }
          break;
        case 8:
          p.Place(k, r);
          p.PutRgb(h.Colours[byte]);
          ++k;
          break;
        default: {  // 24: blue, green, red
          unsigned green = 0, red = 0;
          if (!in.Next(green) || !in.Next(red)) return;
          b += 2;
          p.Place(k, r);
          p.PutRgb(red << 16 | green << 8 | byte);
          ++k;
          break;
        }
      }
    }
    if (!in.Skip(rowBytes - usedBytes)) return;
  }
}

// ---------------------------------------------------------------------------
// 4. The renderer

namespace {

// "Нет файла NAME.BMP" in place of a piece whose bitmap cannot be opened.
void ReplaceByMissingFile(const char* name, float x, float y) {
  static constexpr std::string_view kMissing = "Нет файла "_sc;
  char text[kMissing.size() + store::kImageNameBytes + 5];
  const std::size_t n = strnlen(name, store::kImageNameBytes);
  std::memcpy(text, kMissing.data(), kMissing.size());
  std::memcpy(text + kMissing.size(), name, n);
  std::memcpy(text + kMissing.size() + n, ".BMP", 4);
  const std::string_view message(text, kMissing.size() + n + 4);
  store::ClearStore();
  store::AddTextLeft(message, x, y, 0.0f, 0.0f, 1.0f, 5.0f, 3.5f, 0);
  store::CloseStore();
}

void RenderImages() {
  for (int j = 1; j <= store::Store.ImageCount; ++j) {
    const char* name = nullptr;
    float x = 0, y = 0, pixelSize = 0;
    int visible = 0, style = 0;
    store::GetImage(j, name, x, y, pixelSize, visible, style);
    char path[store::kImageNameBytes + 8];
    const std::size_t n = strnlen(name, store::kImageNameBytes);
    std::memcpy(path, name, n);
    std::memcpy(path + n, ".BMP", 5);
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
      DrawImagePlacement(fd, x, y, pixelSize, style);
      close(fd);
    } else {
      ReplaceByMissingFile(name, x, y);  // empties the image list: the loop ends
    }
  }
}

struct Corner {
  float X = 0, Y = 0, Z = 0;
};
Corner PointAt(int n) {
  Corner c;
  store::PointGet(n, c.X, c.Y, c.Z);
  return c;
}

// The pixels of the points that polylines and segment pairs draw, which
// read their points in order: a run of points held in memory or in cached
// blocks is read and projected at once (reading it ahead reads no file and
// says nothing); a point that must be read from its file is read when it
// is drawn, as before.
struct PixelRun {
  static constexpr int kPoints = 512;
  int First = 0, Count = 0;
  float X[kPoints], Y[kPoints], Z[kPoints];
  double Px[kPoints], Py[kPoints], Pz[kPoints];
};
PixelRun run;

struct Pixel {
  double X = 0, Y = 0, Z = 0;
};
// Projects the run of points from n; false when point n is not held and
// must be read on its own.
[[gnu::noinline]] bool LoadRun(int n) {
  run.First = n;
  const int ahead = store::Store.PointCount - n + 1;
  run.Count = store::HeldPoints(n, ahead < PixelRun::kPoints ? ahead : PixelRun::kPoints, run.X, run.Y,
                                run.Z);
  if (run.Count == 0) return false;
  view::WorldToPixelExactRun(run.X, run.Y, run.Z, run.Count, run.Px, run.Py, run.Pz);
  return true;
}

[[gnu::noinline]] Pixel PixelAlone(int n) {
  const Corner c = PointAt(n);
  Pixel p;
  view::WorldToPixelExact(c.X, c.Y, c.Z, p.X, p.Y, p.Z);
  return p;
}

// Inline: most points are in the run, and their pixels are then read where
// they are used.
inline Pixel PixelAt(int n) {
  if ((n < run.First || n >= run.First + run.Count) && !LoadRun(n)) return PixelAlone(n);
  const int k = n - run.First;
  return {run.Px[k], run.Py[k], run.Pz[k]};
}

// The object entries, which the renderer reads in order, a run at a time
// as long as they are held (reading them ahead reads no file and says
// nothing); an entry that must be read from its file is read when its
// object is drawn, as before.
struct ObjectRun {
  static constexpr int kEntries = 512;
  int First = 0, Count = 0;
  int Start[kEntries], Kind[kEntries], Pen[kEntries];
};
ObjectRun objects;

// What store::GetObjectRange gives.
void ObjectRange(int i, int& first, int& last, int& kind, int& pen) {
  if (i < objects.First || i + 1 >= objects.First + objects.Count) {
    objects.First = i;
    const int ahead = store::Store.ObjectCount - i + 2;  // up to the entry that closes the last
    objects.Count = store::HeldObjects(i, std::min(ahead, ObjectRun::kEntries), objects.Start, objects.Kind,
                                       objects.Pen);
    if (objects.Count < 2) {
      objects.Count = 0;
      store::GetObjectRange(i, first, last, kind, pen);
      return;
    }
  }
  const int k = i - objects.First;
  first = objects.Start[k];
  kind = objects.Kind[k];
  pen = objects.Pen[k];
  last = static_cast<int>(std::llabs(static_cast<long long>(objects.Start[k + 1])) - 1);
}

// The world pen is the view's own: what it does with a point is to project
// it and move the kernel's unrounded pen there.
bool PlainWorldPen() {
  return view::Slots.MoveToWorldHook == view::MoveToWorld &&
         view::Slots.LineToWorldHook == view::LineToWorld;
}

void RenderObject(int i) {
  int first = 0, last = 0, kind = 0, pen = 0;
  ObjectRange(i, first, last, kind, pen);
  const int s = first < 0 ? -first : first;
  // A damaged range must not reach points the store does not hold.
  if (last > store::Store.PointCount) last = store::Store.PointCount;
  if (s < 1 || last < s) return;
  if (s == last) {
    const Corner c = PointAt(s);
    view::WorldMarker(0, c.X, c.Y, c.Z);
    return;
  }
  const bool plain = PlainWorldPen();
  if (first < 0 || kind == store::SegmentPairs) {
    // An odd last point has no partner inside the object and is left out.
    for (int k = s; plain && k + 1 <= last; k += 2) {
      const Pixel a = PixelAt(k), b = PixelAt(k + 1);
      MoveToExact(a.X, a.Y, a.Z, true);
      LineToExact(b.X, b.Y, b.Z, true);
    }
    for (int k = s; !plain && k + 1 <= last; k += 2) {
      const Corner a = PointAt(k), b = PointAt(k + 1);
      view::Slots.MoveToWorldHook(a.X, a.Y, a.Z);
      view::Slots.LineToWorldHook(b.X, b.Y, b.Z);
    }
    return;
  }
  switch (kind) {
    case 0:
    case store::Polyline: {
      if (plain) {
        const Pixel a = PixelAt(s);
        MoveToExact(a.X, a.Y, a.Z, true);
        for (int k = s + 1; k <= last;) {
          const Pixel b = PixelAt(k);
          if (k < run.First || k >= run.First + run.Count) {  // read on its own
            LineToExact(b.X, b.Y, b.Z, true);
            ++k;
            continue;
          }
          // The rest of the polyline that the run holds, at once (one
          // point, of a segment, the line itself).
          const int at = k - run.First;
          const int count = std::min(last - k + 1, run.Count - at);
          if (count == 1)
            LineToExact(b.X, b.Y, b.Z, true);
          else
            LineToExactRun(run.Px + at, run.Py + at, run.Pz + at, count, true);
          k += count;
        }
        break;
      }
      const Corner a = PointAt(s);
      view::Slots.MoveToWorldHook(a.X, a.Y, a.Z);
      for (int k = s + 1; k <= last; ++k) {
        const Corner b = PointAt(k);
        view::Slots.LineToWorldHook(b.X, b.Y, b.Z);
      }
      break;
    }
    case store::Triangle:
      if (s + 2 <= last) {
        const Corner a = PointAt(s), b = PointAt(s + 1), c = PointAt(s + 2);
        view::DrawTriangleFacet(a.X, a.Y, a.Z, b.X, b.Y, b.Z, c.X, c.Y, c.Z);
      }
      break;
    case store::Quad:
      if (s + 3 <= last) {
        const Corner a = PointAt(s), b = PointAt(s + 1), c = PointAt(s + 2), d = PointAt(s + 3);
        view::DrawQuadFacet(a.X, a.Y, a.Z, b.X, b.Y, b.Z, c.X, c.Y, c.Z, d.X, d.Y, d.Z);
      }
      break;
    case store::QuadStrip:
      for (int k = s; k + 3 <= last; k += 2) {
        const Corner a = PointAt(k), b = PointAt(k + 1), c = PointAt(k + 3), d = PointAt(k + 2);
        view::DrawQuadFacet(a.X, a.Y, a.Z, b.X, b.Y, b.Z, c.X, c.Y, c.Z, d.X, d.Y, d.Z);
      }
      break;
    default:
      break;  // kinds this renderer does not know draw nothing
  }
}

// The common object, a diagram's hatch line: a polyline of two points whose
// entry and points are in the runs, drawn with the plain world pen; what
// RenderObject does with it, without its dispatch. False for any other
// object, which RenderObject then draws.
inline bool RenderSegment(int i) {
  const int k = i - objects.First;
  if (k < 0 || k + 1 >= objects.Count) return false;
  const int first = objects.Start[k], kind = objects.Kind[k];
  if (first < 1 || (kind != 0 && kind != store::Polyline)) return false;
  const long long last = std::llabs(static_cast<long long>(objects.Start[k + 1])) - 1;
  const int r = first - run.First;
  if (last != first + 1 || last > store::Store.PointCount || r < 0 || r + 1 >= run.Count || !PlainWorldPen())
    return false;
  MoveToExact(run.Px[r], run.Py[r], run.Pz[r], true);
  LineToExact(run.Px[r + 1], run.Py[r + 1], run.Pz[r + 1], true);
  return true;
}

void RenderText(int t) {
  const char* text = nullptr;
  float c[9] = {};
  int font = 0;
  store::GetText(t, text, c, font);
  std::int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  view::WorldToPixel(c[0], c[1], c[2], x0, y0);
  view::WorldToPixel(c[3], c[4], c[5], x1, y1);
  view::WorldToPixel(c[6], c[7], c[8], x2, y2);
  DrawTextPixels(std::string_view(text, strnlen(text, store::kTextBytes)), x0, y0, x1, y1, x2, y2,
                 font);
}

}  // namespace

void RenderStoreOnScreen() {
  RenderImages();
  run.Count = 0;  // the points and objects of another piece
  objects.Count = 0;
  for (int i = 1; i <= store::Store.ObjectCount; ++i) {
    if (platform::Drv.DrvKeyPressed()) {
      SetLineStyle(0);
      return;
    }
    if (!RenderSegment(i)) RenderObject(i);
  }
  SetLineStyle(0);
  for (int t = 1; t <= store::Store.TextCount; ++t) {
    if (platform::Drv.DrvKeyPressed()) break;
    RenderText(t);
  }
  SetLineStyle(0);
}

// ---------------------------------------------------------------------------
// 5. Start-up

namespace {

// The store's messages on the first prompt line. The prompt line selects
// its own drawing window; a message that comes while a piece is drawn must
// leave the kernel as it found it.
void ShowStoreMessage(const char* text, bool waitForKey, int pauseMs) {
  const Kernel saved = K;
  menu::PromptLine(0, std::string_view(text));
  if (waitForKey)
    platform::Drv.DrvReadKey();
  else
    platform::Drv.DrvDelay(pauseMs);
  SetWindow(saved.WindowLeft, saved.WindowTop, saved.WindowRight, saved.WindowBottom);
  K = saved;
}

}  // namespace

void InstallStoreRenderer() {
  store::Slots.ScreenFlush = RenderStoreOnScreen;
  store::Slots.ShowMessage = ShowStoreMessage;
  store::Slots.ReadImageSize = ReadBitmapSize;
}

}  // namespace gfx
