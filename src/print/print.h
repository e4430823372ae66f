// src/print/print.h — printing the picture on the default printer at a true
// scale, over as many sheets as it needs, and writing it as a vector page
// (PDF, SVG).
//
// Printing does not copy the screen: it runs the picture's redraw once per
// sheet with store::OutputDevice 2, so every flushed piece goes through the
// plane walker, whose sink exchange::VertexOut is PrinterVertex for the
// length of the job: view-plane millimetres become printer pixels of the
// current sheet. Every sheet is its own print document. When there is no
// printer the sheets become the pages of one PDF file instead, and the
// prompt line names it.
//
// The printer itself is reached through one table of procedures,
// PrinterBackend; src/print/qt/ fills it with Qt's printer and PDF writer.
// Nothing else here knows which backend runs.
//
// Index:
//   settings and job state      PrintSettings, PrintJob, PrintState g
//   the backend seam            PrinterBackend, VectorPicture
//   the job                     PrinterProbe, SheetSetup, PrinterVertex,
//                               BeginSheet, EndSheet, PrintSheets
//   the dialog and the hook     PrintDialog, PrintPicture, InstallPrinting
//   vector pages                CollectPicture, SvgText, PdfText, ExportPdf,
//                               ExportSvg
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "menu/menu.h"

namespace print {

// --- Settings and job state ------------------------------------------------------
// Lengths on paper are millimetres.
struct PrintSettings {
  float Scale = 1.0f;         // millimetres on paper per world unit
  float ShiftX = 0;           // picture moved right on the sheet
  float ShiftY = 0;           // picture moved down the sheet
  std::int32_t Orientation = 0;  // 0: picture X along the printer's width; 1: along the sheet's length
  float SheetWidth = 203.2f;  // usable width of one sheet
  float SheetLength = 278.1f; // usable length of one sheet
  float ResolutionX = 600, ResolutionY = 600;  // dots per inch
  float PrinterWidth = 0, PrinterHeight = 0;   // printable area, printer pixels
  float MmPerPixelX = 25.4f / 600, MmPerPixelY = 25.4f / 600;
};

// One job: the extents after the orientation turn, the sheets and where the
// printer's pen is.
// Sheets are counted in 64 bits: a print scale of 1e6 asks for more sheets
// than 32 bits hold.
constexpr std::int64_t kSheetsAsked = 100;      // more: the dialog says how many and asks
constexpr std::int64_t kSheetsRefused = 10000;  // more: not printed
struct PrintJob {
  float Xmin = 0, Ymax = 0;
  std::int64_t SheetsX = 1, SheetsY = 1, Sheets = 1;
  int Column = 1, Row = 1;  // the sheet being printed, from 1
  float SheetOffsetX = 0, SheetOffsetY = 0;
  bool PrinterFound = false;  // the last probe found a printer
  bool ToPdf = false;         // the sheets go to one PDF file, a page each
  std::string PdfPath;        // that file (file-system name)
  bool PageOpen = false;      // lines reach the backend only on an open page
  std::string Error;          // the first thing that went wrong, "" while all is well
  double PenX = 0, PenY = 0;  // the printer's current position, pixels (unrounded)
  float PenWidthPx = 1;       // the width of the lines drawn from there
  // The clip rectangle of the open sheet, pixels; lines wholly outside it
  // are not sent (a picture over many sheets would otherwise send every
  // line to every sheet).
  int ClipRight = INT32_MAX, ClipBottom = INT32_MAX;
};

// --- The backend seam ---------------------------------------------------------------
struct PrinterInfo {
  std::string Name;
  float ResolutionX = 0, ResolutionY = 0;  // dots per inch
  float Width = 0, Height = 0;             // printable area, pixels
};

// A document of pages with lines in printer pixels, on the default printer
// (PdfPath empty) or in a PDF file written at the resolution given.
struct DocumentRequest {
  std::string Title;
  std::string PdfPath;
  float Resolution = 600;             // dots per inch of a PDF file
  float PageWidthMm = 0, PageHeightMm = 0;  // page of a PDF file
};

// The picture as vector paths and texts in millimetres on a page, y
// downwards. Each flushed piece gives one path per colour and width; a
// path holds several runs (subpaths).
struct VectorPath {
  std::uint32_t Rgb = 0;     // 0xRRGGBB
  float WidthMm = 0;         // stroke width on the page
  std::vector<float> X, Y;   // every point of every run
  std::vector<std::uint32_t> RunStarts;  // index of the first point of each run (2 points or more)
};
// A text of the picture as real text: where its stroke letters stand.
struct VectorText {
  std::string Text;          // UTF-8, as the stroke font draws it
  float X = 0, Y = 0;        // start of the base line
  float AngleDeg = 0;        // counter-clockwise from the page's x axis
  float HeightMm = 0;        // capital height
  float CellMm = 0;          // advance of one character along the base line
  int Cells = 0;             // characters (bytes) of the stroke text
  std::uint32_t Rgb = 0;
};
struct VectorPicture {
  float WidthMm = 0, HeightMm = 0;
  std::vector<VectorPath> Paths;
  std::vector<VectorText> Texts;
};

// The sheet of a vector page, landscape.
struct PageFormat {
  const char* Name;
  float WidthMm, HeightMm;
};
inline constexpr PageFormat kPageFormats[] = {{"A4", 297, 210}, {"A3", 420, 297}};
// The format of that name ("A4", "a3"), or nullptr.
const PageFormat* FindPageFormat(std::string_view name);

struct PrinterBackend {
  // The default printer: false when there is none (or it cannot be opened).
  bool (*Probe)(PrinterInfo& out);
  // "" or what went wrong; a PDF file appears under its name only when
  // EndDocument succeeds.
  std::string (*BeginDocument)(const DocumentRequest& request);
  // A new page, drawing clipped to (0, 0)–(clipRight, clipBottom).
  std::string (*BeginPage)(int clipRight, int clipBottom);
  // A line widthPx printer pixels wide (round ends).
  void (*Line)(int x1, int y1, int x2, int y2, float widthPx);
  void (*EndPage)();
  std::string (*EndDocument)();
};

struct PrintState {
  PrintSettings Settings;
  PrintJob Job;
  PrinterBackend Backend;
  PrinterInfo Printer;         // the one last probed
  PageFormat Page = kPageFormats[0];  // the sheet of the PDF and SVG exports
  std::string FallbackPdfName = "brelmora-print.pdf";
};
extern PrintState Printing;  // the one printing state of the program

// A backend with no printer and no PDF writer ("Нет модуля печати").
void InstallNullBackend();
// Settings and job back to their start-up values; the backend is kept.
void ResetPrinting();

// --- The job ----------------------------------------------------------------------------
// Reads and measures the default printer; no printer leaves a resolution of
// 1 (below 2, which the dialog takes as "none").
void PrinterProbe();
// The orientation turn: with orientation 1, (x, y) becomes (−y, x).
void TurnPoint(float& x, float& y);
void SheetSetup(float x1, float y1, float x2, float y2, float scale, float shiftX, float shiftY);
// The VertexOut sink of printing: pen > 0 moves, 0 draws.
void PrinterVertex(float x, float y, std::int32_t pen);
void BeginSheet();
void EndSheet();
// Every sheet of the job: BeginSheet, picture, EndSheet; the PDF file of a
// job without a printer is finished here. Returns Job.Error.
std::string PrintSheets(void (*picture)());
// Where the sheets go without a printer: beside the data file, or in the
// current folder.
std::string FallbackPdfPath();

// --- The dialog and the hook -----------------------------------------------------------
void PrintDialog(float x1, float y1, float x2, float y2, menu::KeyCode& key);
void PrintPicture(menu::KeyCode& key);
// Fills exchange::PrintPicture and the PDF and SVG exports.
void InstallPrinting();

// --- Vector pages ----------------------------------------------------------------------------
constexpr float kPageMarginMm = 10.0f;
// The thinnest and the widest line a vector page draws.
constexpr float kThinnestLineMm = 0.05f, kWidestLineMm = 10.0f;
// Redraws the picture through the plane walker, each line once at its pen
// width, and fits it on a sheet of format page within the margins, keeping
// its proportions and centred.
VectorPicture CollectPicture(const PageFormat& page);
// The SVG and the PDF of a picture: the lines as paths, the texts as
// invisible real text over their stroke letters, so that readers find and
// copy them.
std::string SvgText(const VectorPicture& picture);
std::string PdfText(const VectorPicture& picture);
// Lengths in the files are whole hundredths of a millimetre: rounded once,
// written as the shortest decimal (1250 -> "12.5", -5 -> "-.05").
long Hundredths(float mm);
void AppendHundredths(std::string& out, long hundredths);
// The picture on Printing.Page written to path.
std::string ExportPdf(const std::string& path);
std::string ExportSvg(const std::string& path);

}  // namespace print
