// src/exchange/export_file.cpp — the export file, the exchange state and
// slots, the dispatch of flushed pieces to the writers, code pages.
#include <algorithm>
#include <cstring>
#include <string>

#include "exchange/exchange.h"
#include "graphics/kernel.h"
#include "graphics/text.h"
#include "platform/codepage.h"
#include "platform/driver.h"
#include "platform/file_write.h"
#include "store/store.h"

namespace exchange {

ExchangeState Exchange;

namespace {
// A few thousand points of a picture take some hundred kilobytes of text.
constexpr std::size_t kExportReserve = 256u << 10;
}  // namespace

ExchangeSlots Slots;

// --- Export file -----------------------------------------------------------------------

void MakeRoom(ExportFile& file, std::size_t more) {
  if (file.Room - file.Length >= more) return;
  const std::size_t room = std::max({2 * file.Room, file.Length + more, kExportReserve});
  auto text = std::make_unique_for_overwrite<char[]>(room);
  if (file.Length > 0) std::memcpy(text.get(), file.Text.get(), file.Length);
  file.Text = std::move(text);
  file.Room = room;
}

void WriteExportLine(ExportFile& file, std::string_view line) {
  MakeRoom(file, line.size() + 2);
  char* at = file.Text.get() + file.Length;
  if (!line.empty()) std::memcpy(at, line.data(), line.size());
  EndLine(file, at + line.size());
}

void QueuePolyline(PointWriter writer, const float* x, const float* y, int n, std::int32_t pen) {
  for (int k = 1; k <= n;) {
    if (Exchange.QueuedN == kQueuedPoints || (Exchange.QueuedN > 0 && Exchange.QueueWriter != writer))
      WriteQueuedPoints();
    Exchange.QueueWriter = writer;
    const int take = std::min(kQueuedPoints - Exchange.QueuedN, n - k + 1);
    QueuedPoint* queued = Exchange.Queue + Exchange.QueuedN;
    const std::int32_t colour = Exchange.ExportColour;
    for (int i = 0; i < take; ++i) queued[i] = {x[k + i], y[k + i], k + i == 1 ? pen : 0, colour};
    Exchange.QueuedN += take;
    k += take;
  }
}

void WriteQueuedPoints() {
  if (Exchange.QueuedN > 0 && Exchange.Out != nullptr)
    Exchange.QueueWriter(*Exchange.Out, Exchange.Queue, Exchange.QueuedN);
  Exchange.QueuedN = 0;
}

namespace {

store::Procedure screenFlush = [] {};  // the screen's own, while an unseen export runs

// A piece on the screen while nobody sees it. Its pixels go nowhere, so
// all that drawing it would do is what it leaves behind: a facet's shade
// as the kernel's colour, a missing bitmap's text in the store (those
// pieces are drawn, unseen), the pixel text sink and the solid line style.
void UnseenScreenFlush() {
  bool drawn = store::Store.ImageCount > 0;
  for (int i = 1; i <= store::Store.ObjectCount && !drawn; ++i) {
    int first = 0, kind = 0, pen = 0;
    store::ObjectGet(i, first, kind, pen);
    drawn = kind == store::Triangle || kind == store::Quad || kind == store::QuadStrip;
  }
  if (drawn) {
    screenFlush();
    return;
  }
  if (store::Store.TextCount > 0) gfx::TextStrokeOut = gfx::PixelTextStroke;
  gfx::SetLineStyle(0);
}

}  // namespace

bool RunExport(const std::string& path, ExportProcedure procedure, std::string& error) {
  ExportFile file;
  file.Path = path;
  // The memory of the exports before: a picture is exported again and
  // again at about the same size, and the text then neither moves nor
  // touches fresh pages.
  static std::unique_ptr<char[]> kept;
  static std::size_t keptRoom = 0;
  file.Text.swap(kept);
  std::swap(file.Room, keptRoom);
  Exchange.Cancelled = false;
  Exchange.QueuedN = 0;
  // A batch export has no one at the screen: its passes leave the picture
  // as it was (the kernel keeps its state but draws nothing, and the
  // pieces' screen drawing only what it leaves behind), and as no key can
  // come, the redraw's polls for one are told that none did (which is what
  // they hear while the picture is drawn).
  const bool unseen = gfx::K.Unseen;
  const auto keyPressed = platform::Drv.DrvKeyPressed;
  screenFlush = store::Slots.ScreenFlush;
  if (Exchange.Batch) {
    gfx::K.Unseen = true;
    platform::Drv.DrvKeyPressed = [] { return false; };
    store::Slots.ScreenFlush = UnseenScreenFlush;
  }
  procedure(file);
  gfx::K.Unseen = unseen;
  platform::Drv.DrvKeyPressed = keyPressed;
  store::Slots.ScreenFlush = screenFlush;
  store::OutputDevice = store::Device::Screen;  // whatever happened inside, the screen is the device again
  const bool written = Exchange.Cancelled || platform::WriteFileAtomic(path, ExportText(file), error);
  kept.swap(file.Text);
  std::swap(keptRoom, file.Room);
  return written;
}

// --- Device dispatch ----------------------------------------------------------------------

void InitExchange() {
  Exchange = ExchangeState{};
  Slots.VertexOut = UgfPoint;
  store::Slots.ExchangeFlush = ExchangeDeviceFlush;
}

void ExchangeDeviceFlush(store::Device device) {
  Exchange.ExportColour = gfx::GetColor();
  switch (device) {
    case store::Device::PlaneWalker:
      Exchange.PlanePen = Exchange.ExportColour;
      WalkStorePlane();
      WriteQueuedPoints();
      break;
    case store::Device::GeoFile: WriteGeoObjects(); break;
    case store::Device::DxfFile: WriteDxfEntities(); break;
    case store::Device::TreFile: WriteTreFacets(); break;
    case store::Device::PlotterFile:
      Slots.VertexOut = HpglPoint;
      WalkStorePlane();
      WriteQueuedPoints();
      Slots.VertexOut = UgfPoint;
      break;
    default: break;  // no writer of its own
  }
}

// --- Code pages -------------------------------------------------------------------------------

std::string ToCP1251(std::string_view screen) { return gfx::ScreenToWinCodes(screen); }
std::string ToCP866(std::string_view win) { return gfx::WinToScreenCodes(win); }

}  // namespace exchange
