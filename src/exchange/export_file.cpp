// src/exchange/export_file.cpp — the export file, the exchange state and
// slots, the dispatch of flushed pieces to the writers, code pages.
#include <string>

#include "exchange/exchange.h"
#include "graphics/kernel.h"
#include "platform/codepage.h"
#include "platform/file_write.h"
#include "store/store.h"

namespace exchange {

ExchangeState g;

namespace {
void DrawNothing() {}
// A few thousand points of a picture take some hundred kilobytes of text.
constexpr std::size_t kExportReserve = 256u << 10;
}  // namespace

VertexSink VertexOut = UgfPoint;
Procedure RedrawForExport = DrawNothing;

// --- Export file -----------------------------------------------------------------------

void WriteExportLine(ExportFile& file, std::string_view line) {
  file.Bytes.append(line);
  file.Bytes.append("\r\n");
}

bool RunExport(const std::string& path, ExportProcedure procedure, std::string& error) {
  ExportFile file;
  file.Path = path;
  file.Bytes.reserve(kExportReserve);
  g.Cancelled = false;
  procedure(file);
  store::OutputDevice = 0;  // whatever happened inside, the screen is the device again
  if (g.Cancelled) return true;
  return platform::WriteFileAtomic(path, file.Bytes, error);
}

// --- Device dispatch ----------------------------------------------------------------------

void InitExchange() {
  g = ExchangeState{};
  VertexOut = UgfPoint;
  store::ExchangeFlush = ExchangeDeviceFlush;
}

void ExchangeDeviceFlush(int device) {
  g.ExportColour = gfx::GetColor();
  switch (device) {
    case 2:
      g.PlanePen = g.ExportColour;
      WalkStorePlane();
      break;
    case 3: WriteGeoObjects(); break;
    case 4: WriteDxfEntities(); break;
    case 5: WriteTreFacets(); break;
    case 7:
      VertexOut = HpglPoint;
      WalkStorePlane();
      VertexOut = UgfPoint;
      break;
    default: break;  // no writer of its own
  }
}

// --- Code pages -------------------------------------------------------------------------------

std::string ToCP1251(std::string_view screen) { return gfx::ScreenToWinCodes(screen); }
std::string ToCP866(std::string_view win) { return gfx::WinToScreenCodes(win); }

}  // namespace exchange
