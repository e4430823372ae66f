// src/print/print.cpp — the print job: probe, sheet set-up, the printer's
// point sink, sheets, the print dialog and the print hook.
//
// Index:
//   1. state and the null backend
//   2. probe, orientation turn, sheet set-up
//   3. the point sink and the sheets
//   4. the dialog and the hook
#include "print/print.h"

#include <algorithm>
#include <cstdint>

#include "exchange/exchange.h"
#include "exchange/file_menu.h"
#include "graphics/kernel.h"
#include "graphics/lang.h"
#include "graphics/numbers.h"
#include "menu/input.h"
#include "platform/codepage.h"
#include "platform/driver.h"
#include "store/store.h"
#include "view/view.h"

namespace print {

// ---------------------------------------------------------------------------
// 1. State and the null backend

PrintState Printing;

namespace {

constexpr float kMmPerInch = 25.4f;
// Without a printer the dialog goes on as if it had found a 600-dpi one
// with this printable area.
constexpr float kNoPrinterDpi = 600;
constexpr float kNoPrinterWidthMm = 203.0f, kNoPrinterLengthMm = 278.0f;

constexpr const char* kNoBackend = "Нет модуля печати;No printing module"_sc;

bool NoPrinter(PrinterInfo&) { return false; }
std::string NoDocument(const DocumentRequest&) { return gfx::Utf8FromScreen(gfx::LangPart(kNoBackend)); }
std::string NoPage(int, int) { return std::string(); }
void NoLine(int, int, int, int, float) {}
void NoEndPage() {}
std::string NoEndDocument() { return std::string(); }

}  // namespace

void InstallNullBackend() {
  Printing.Backend = PrinterBackend{NoPrinter, NoDocument, NoPage, NoLine, NoEndPage, NoEndDocument};
}

void ResetPrinting() {
  Printing.Settings = PrintSettings{};
  Printing.Job = PrintJob{};
  Printing.Printer = PrinterInfo{};
  if (Printing.Backend.Probe == nullptr) InstallNullBackend();
}

// ---------------------------------------------------------------------------
// 2. Probe, orientation turn, sheet set-up

namespace {

// Resolution and area of the printer into the settings; false without one.
bool MeasurePrinter() {
  PrinterInfo info;
  const bool found = Printing.Backend.Probe != nullptr && Printing.Backend.Probe(info);
  PrintSettings& s = Printing.Settings;
  if (found) {
    Printing.Printer = info;
    s.ResolutionX = std::max(1.0f, info.ResolutionX);
    s.ResolutionY = std::max(1.0f, info.ResolutionY);
    s.PrinterWidth = info.Width;
    s.PrinterHeight = info.Height;
  } else {
    Printing.Printer = PrinterInfo{};
    s.ResolutionX = s.ResolutionY = 1;
    s.PrinterWidth = s.PrinterHeight = 0;
  }
  s.MmPerPixelX = kMmPerInch / s.ResolutionX;
  s.MmPerPixelY = kMmPerInch / s.ResolutionY;
  return found;
}

}  // namespace

void PrinterProbe() { Printing.Job.PrinterFound = MeasurePrinter(); }

void TurnPoint(float& x, float& y) {
  if (Printing.Settings.Orientation != 1) return;
  const float t = x;
  x = -y;
  y = t;
}

void SheetSetup(float x1, float y1, float x2, float y2, float scale, float shiftX, float shiftY) {
  PrintSettings& s = Printing.Settings;
  PrintJob& j = Printing.Job;
  TurnPoint(x1, y1);
  TurnPoint(x2, y2);
  const float xmin = std::min(x1, x2), xmax = std::max(x1, x2);
  const float ymin = std::min(y1, y2), ymax = std::max(y1, y2);
  // 0.49: a picture at most about 1 % longer than a sheet still fits on it.
  // Each count is held to 32 bits (NearestInt), so their product fits 64.
  j.SheetsX = std::max(1, gfx::NearestInt(0.49 + (xmax - xmin) * scale / s.SheetWidth));
  j.SheetsY = std::max(1, gfx::NearestInt(0.49 + (ymax - ymin) * scale / s.SheetLength));
  j.Sheets = j.SheetsX * j.SheetsY;
  j.ClipRight = j.ClipBottom = INT32_MAX;
  j.Xmin = xmin;
  j.Ymax = ymax;
  s.Scale = scale;
  s.ShiftX = shiftX;
  s.ShiftY = shiftY;
  j.Column = j.Row = 1;
  j.SheetOffsetX = j.SheetOffsetY = 0;
  s.MmPerPixelX = kMmPerInch / s.ResolutionX;
  s.MmPerPixelY = kMmPerInch / s.ResolutionY;
}

// ---------------------------------------------------------------------------
// 3. The point sink and the sheets

void PrinterVertex(float x, float y, std::int32_t pen) {
  const PrintSettings& s = Printing.Settings;
  PrintJob& j = Printing.Job;
  TurnPoint(x, y);
  const double px = ((x - j.Xmin) * s.Scale + s.ShiftX - j.SheetOffsetX) / s.MmPerPixelX;
  const double py = ((j.Ymax - y) * s.Scale + s.ShiftY - j.SheetOffsetY) / s.MmPerPixelY;
  if (pen <= 0 && j.PageOpen && j.Error.empty()) {
    double x1 = j.PenX, y1 = j.PenY, x2 = px, y2 = py;
    const double w = kWidestLineMm / s.MmPerPixelX;  // the edge of the widest line may reach the sheet
    const bool offSheet = std::max(x1, x2) < -w || std::min(x1, x2) > j.ClipRight + w ||
                          std::max(y1, y2) < -w || std::min(y1, y2) > j.ClipBottom + w;
    // Cut before rounding, so that a far end neither overflows nor bends it.
    if (!offSheet && gfx::CutToSquare(x1, y1, x2, y2, gfx::kPixelLimit))
      Printing.Backend.Line(gfx::PixelOf(x1), gfx::PixelOf(y1), gfx::PixelOf(x2), gfx::PixelOf(y2), j.PenWidthPx);
  }
  j.PenX = px;
  j.PenY = py;
  // A move picks the pen: one line as wide as its passes spread, at least
  // a printer pixel and at most the widest line of a vector page.
  if (pen > 0)
    j.PenWidthPx = std::max(s.MmPerPixelX, std::min(exchange::PenWidth(pen), kWidestLineMm)) / s.MmPerPixelX;
}

namespace {

void Fail(const std::string& error) {
  if (Printing.Job.Error.empty()) Printing.Job.Error = error.empty() ? "failed" : error;
}

}  // namespace

void BeginSheet() {
  PrintSettings& s = Printing.Settings;
  PrintJob& j = Printing.Job;
  j.PageOpen = false;
  if (!j.Error.empty()) return;
  const bool firstPage = j.Column == 1 && j.Row == 1;
  if (!j.ToPdf) {
    // The printer is looked up again for every sheet: a new default printer
    // takes effect at once.
    if (!MeasurePrinter()) {
      Fail(gfx::Utf8FromScreen(gfx::LangPart(" *** Принтер не найден;*** Printer not found"_sc)));
      return;
    }
  }
  if (!j.ToPdf || firstPage) {
    DocumentRequest request;
    request.Title = "Tamvel";
    if (j.ToPdf) {
      request.PdfPath = j.PdfPath;
      request.Resolution = s.ResolutionX;
      request.PageWidthMm = s.SheetWidth;
      request.PageHeightMm = s.SheetLength;
    }
    const std::string error = Printing.Backend.BeginDocument(request);
    if (!error.empty()) return Fail(error);
  }
  j.ClipRight = gfx::NearestInt(s.SheetWidth / s.MmPerPixelX);
  j.ClipBottom = gfx::NearestInt(s.SheetLength / s.MmPerPixelY);
  const std::string error = Printing.Backend.BeginPage(j.ClipRight, j.ClipBottom);
  if (!error.empty()) return Fail(error);
  j.PageOpen = true;
}

void EndSheet() {
  PrintJob& j = Printing.Job;
  if (j.PageOpen) {
    Printing.Backend.EndPage();
    j.PageOpen = false;
    if (!j.ToPdf) {
      const std::string error = Printing.Backend.EndDocument();
      if (!error.empty()) Fail(error);
    }
  }
  ++j.Column;
  if (j.Column > j.SheetsX) {
    j.Column = 1;
    ++j.Row;
  }
  j.SheetOffsetX = (j.Column - 1) * Printing.Settings.SheetWidth;
  j.SheetOffsetY = (j.Row - 1) * Printing.Settings.SheetLength;
}

std::string PrintSheets(void (*picture)()) {
  PrintJob& j = Printing.Job;
  j.Error.clear();
  j.PageOpen = false;
  for (std::int64_t sheet = 1; sheet <= j.Sheets; ++sheet) {
    BeginSheet();
    if (j.PageOpen) picture();
    EndSheet();
  }
  // The PDF of a job without a printer is one document of all the sheets.
  if (j.ToPdf && j.Error.empty()) {
    const std::string error = Printing.Backend.EndDocument();
    if (!error.empty()) Fail(error);
  }
  return j.Error;
}

std::string FallbackPdfPath() {
  const std::string& name = exchange::Files.FileName;
  if (name.empty()) return Printing.FallbackPdfName;
  return exchange::FileSystemName(name) + ".pdf";
}

// ---------------------------------------------------------------------------
// 4. The dialog and the hook

namespace {

constexpr const char* kNotFound = " *** Принтер не найден;*** Printer not found"_sc;
constexpr const char* kPrinting = " Вывод чертежа на принтер;Print"_sc;

void Tell(const std::string& screenText) {
  menu::PromptLine(0, screenText);
  platform::Drv.DrvReadKey();
}

// Item 9: the sheet count, the thickness, then every sheet. False when the
// count or the thickness was refused.
// More than kSheetsRefused sheets are refused; more than kSheetsAsked are
// printed only after a yes. False: not to be printed.
bool SheetCountAccepted() {
  const std::int64_t sheets = Printing.Job.Sheets;
  const std::string n = gfx::FormatFixed(static_cast<double>(sheets), 0, 0);
  if (sheets > kSheetsRefused) {
    Tell(gfx::LangPart("Листов: "_sc + n + ". Больше 10000 не печатается: уменьшите масштаб;Sheets: "_sc + n +
                       ". More than 10000 are not printed: reduce the scale"));
    return false;
  }
  if (sheets <= kSheetsAsked) return true;
  menu::PromptLine(0, gfx::LangPart("Листов: "_sc + n + ". Печатать? (Y/N);Sheets: "_sc + n + ". Print them? (Y/N)"));
  const std::uint8_t answer = platform::Drv.DrvReadKey();
  return answer == 'Y' || answer == 'y';
}

bool PrintNow(float x1, float y1, float x2, float y2) {
  PrintSettings& s = Printing.Settings;
  PrintJob& j = Printing.Job;
  if (!SheetCountAccepted()) return false;
  exchange::Exchange.PassOffset = kMmPerInch / s.ResolutionX;  // one printer pixel
  std::int32_t status = menu::kInputRead;
  exchange::AskThickness(status);
  if (status == menu::kInputRefused) return false;

  j.ToPdf = !j.PrinterFound;
  j.PdfPath = j.ToPdf ? FallbackPdfPath() : std::string();
  menu::PromptLine(0, gfx::LangPart(kPrinting));
  exchange::Slots.VertexOut = PrinterVertex;
  exchange::Exchange.OutputScale = s.Scale;  // thickness passes are printer pixels on paper
  exchange::Exchange.SinglePass = true;      // the printer draws each line once, as wide as its passes
  std::string error;
  store::RunDevicePass(store::Device::PlaneWalker, [&] {
    SheetSetup(x1, y1, x2, y2, s.Scale, s.ShiftX, s.ShiftY);
    menu::PromptLine(1, gfx::LangPart(kPrinting));
    error = PrintSheets(view::Slots.WID_RIS);
  });
  exchange::Slots.VertexOut = exchange::UgfPoint;
  exchange::Exchange.OutputScale = 1.0f;
  exchange::Exchange.SinglePass = false;

  if (!error.empty()) {
    Tell(gfx::LangPart("Ошибка печати: ;Printing failed: "_sc) + gfx::ScreenFromUtf8(error));
  } else if (j.ToPdf) {
    Tell(gfx::LangPart("Принтера нет. Листы записаны в файл ;No printer. Sheets written to "_sc) +
         gfx::ScreenFromUtf8(j.PdfPath));
  }
  return true;
}

std::string SheetPrompt(const char* ru, const std::string& limit, const char* en) {
  return gfx::LangPart(std::string(ru) + limit + ")" + en + limit + ")");
}

}  // namespace

void PrintDialog(float x1, float y1, float x2, float y2, menu::KeyCode& key) {
  PrintSettings& s = Printing.Settings;
  PrintJob& j = Printing.Job;
  for (;;) {
    SheetSetup(x1, y1, x2, y2, s.Scale, s.ShiftX, s.ShiftY);
    PrinterProbe();
    if (s.ResolutionX < 2) {
      Tell(gfx::LangPart(kNotFound));
      s.ResolutionX = s.ResolutionY = kNoPrinterDpi;
      s.MmPerPixelX = s.MmPerPixelY = kMmPerInch / kNoPrinterDpi;
      s.PrinterWidth = static_cast<float>(gfx::NearestInt(kNoPrinterWidthMm / s.MmPerPixelX));
      s.PrinterHeight = static_cast<float>(gfx::NearestInt(kNoPrinterLengthMm / s.MmPerPixelY));
    }
    const float w = s.MmPerPixelX * s.PrinterWidth, l = s.MmPerPixelY * s.PrinterHeight;
    const std::string wText = gfx::FormatNumber(w, 6, 1), lText = gfx::FormatNumber(l, 6, 1);
    if (s.SheetWidth > w) s.SheetWidth = w;
    if (s.SheetLength > l) s.SheetLength = l;

    menu::SetTitleItem(0, " Вывод на принтер. DPI=;Printer. DPI="_sc, s.ResolutionX, 3, 0);
    menu::SetNumberItem(1, "Размер по X;X dimension"_sc, (x2 - x1) * s.Scale, 8, 1);
    menu::SetNumberItem(2, "Размер по Y;Y dimension"_sc, (y2 - y1) * s.Scale, 8, 1);
    menu::SetNumberItem(3, "Масштаб;Scale"_sc, s.Scale, 8, 3);
    menu::SetNumberItem(4, "Смещение по ширине принтера вправо ;X shift"_sc, s.ShiftX, 6, 0);
    menu::SetNumberItem(5, "Смещение по длине листа вниз       ;Y shift"_sc, s.ShiftY, 6, 0);
    menu::SetTextItem(6, s.Orientation == 0 ? "Ось X - по ширине принтера ;Axis X to printer width"_sc
                                            : "Ось X - по длине листа ;Axis X to sheet length"_sc);
    menu::SetTitleItem(7, "Листов по X;Sheets in X"_sc, static_cast<float>(j.SheetsX), 4, 0);
    menu::SetTitleItem(8, "Листов по Y;Sheets in Y"_sc, static_cast<float>(j.SheetsY), 4, 0);
    menu::SetTextItem(9, "Выводить;Output"_sc);
    menu::RunMenu(9, key);

    std::int32_t status = 0;
    switch (key) {
      case '1':
        if (x2 != x1) s.Scale = menu::GetItemValue(1) / (x2 - x1);
        break;
      case '2':
        if (y2 != y1) s.Scale = menu::GetItemValue(2) / (y2 - y1);
        break;
      case '3': s.Scale = menu::GetItemValue(3); break;
      case '4': s.ShiftX = menu::GetItemValue(4); break;
      case '5': s.ShiftY = menu::GetItemValue(5); break;
      case '6': s.Orientation = 1 - s.Orientation; break;
      case '7':
        menu::InputFloat(SheetPrompt("Ширина листа (max "_sc, wText, ");Sheet width (max "), s.SheetWidth, status);
        if (s.SheetWidth > w) s.SheetWidth = w;
        break;
      case '8':
        menu::InputFloat(SheetPrompt("Длина листа (max "_sc, lText, ");Sheet length (max "), s.SheetLength, status);
        if (s.SheetLength > l) s.SheetLength = l;
        break;
      case '9':
        if (PrintNow(x1, y1, x2, y2)) return;
        break;
      default: return;
    }
  }
}

void PrintPicture(menu::KeyCode& key) {
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  store::MeasureExtent2D(x1, y1, x2, y2);
  view::Redraw();
  Printing.Settings.ResolutionX = Printing.Settings.ResolutionY = 600;
  PrintDialog(x1, y1, x2, y2, key);
}

void InstallPrinting() {
  if (Printing.Backend.Probe == nullptr) InstallNullBackend();
  exchange::FileSlots.PrintPicture = PrintPicture;
  exchange::Exports.Pdf = ExportPdf;
  exchange::Exports.Svg = ExportSvg;
}

}  // namespace print
