// tests/print/print_test.cpp — sheets, the printer's mapping, the print
// dialog, printing without a printer, and the vector pages.
#include <cmath>
#include <cstdio>

#include "graphics/codepage.h"
#include "graphics/numbers.h"
#include "platform/events.h"
#include "print_fixture.h"

using namespace printtest;

namespace {

void NoPicture() {}

std::vector<int> walkerPens;

}  // namespace

TEST_F(PrintTest, StartUpSettings) {
  const print::PrintSettings& s = print::g.Settings;
  EXPECT_EQ(s.Scale, 1.0f);
  EXPECT_EQ(s.ShiftX, 0.0f);
  EXPECT_EQ(s.ShiftY, 0.0f);
  EXPECT_EQ(s.Orientation, 0);
  EXPECT_EQ(s.SheetWidth, 203.2f);
  EXPECT_EQ(s.SheetLength, 278.1f);
  EXPECT_EQ(s.ResolutionX, 600.0f);
  EXPECT_EQ(s.ResolutionY, 600.0f);
}

TEST_F(PrintTest, SheetCountsAllowAboutOnePercentOverhang) {
  print::SheetSetup(0, 0, 200, 100, 1, 0, 0);
  EXPECT_EQ(print::g.Job.SheetsX, 1);
  print::SheetSetup(0, 0, 205, 100, 1, 0, 0);
  EXPECT_EQ(print::g.Job.SheetsX, 1);
  print::SheetSetup(0, 0, 210, 100, 1, 0, 0);
  EXPECT_EQ(print::g.Job.SheetsX, 2);
  EXPECT_EQ(print::g.Job.SheetsY, 1);
  EXPECT_EQ(print::g.Job.Sheets, 2);
  print::SheetSetup(0, 0, 0, 0, 1, 0, 0);  // an empty picture still takes one sheet
  EXPECT_EQ(print::g.Job.Sheets, 1);
}

TEST_F(PrintTest, OrientationOneRunsPictureXAlongSheetLength) {
  // 250 wide, 100 tall: across the width it needs two sheets.
  print::SheetSetup(0, 0, 250, 100, 1, 0, 0);
  EXPECT_EQ(print::g.Job.SheetsX, 2);
  EXPECT_EQ(print::g.Job.SheetsY, 1);
  print::g.Settings.Orientation = 1;
  print::SheetSetup(0, 0, 250, 100, 1, 0, 0);
  EXPECT_EQ(print::g.Job.SheetsX, 1);
  EXPECT_EQ(print::g.Job.SheetsY, 1);
  // The picture's left end is at the foot of the sheet, its right end at the top.
  print::g.Job.PageOpen = true;
  print::PrinterVertex(0, 100, 1);
  print::PrinterVertex(250, 100, 0);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].X1, 0);
  EXPECT_EQ(lines[0].X2, 0);
  EXPECT_EQ(lines[0].Y1, gfx::NearestInt(250 / (25.4f / 600)));
  EXPECT_EQ(lines[0].Y2, 0);
}

TEST_F(PrintTest, PrinterVertexMapsMillimetresToPixelsOfTheSheet) {
  print::PrintSettings& s = print::g.Settings;
  s.ResolutionX = 300;
  s.ResolutionY = 600;
  print::SheetSetup(10, 20, 210, 70, 2.0f, 5.0f, 7.0f);  // 2 × 1 sheets
  print::g.Job.PageOpen = true;
  print::PrinterVertex(10, 70, 1);     // the top-left corner, moved by the shifts
  print::PrinterVertex(35.5f, 60, 0);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].X1, gfx::NearestInt(5.0f / (25.4f / 300)));
  EXPECT_EQ(lines[0].Y1, gfx::NearestInt(7.0f / (25.4f / 600)));
  EXPECT_EQ(lines[0].X2, gfx::NearestInt(((35.5f - 10) * 2 + 5) / (25.4f / 300)));
  EXPECT_EQ(lines[0].Y2, gfx::NearestInt(((70.0f - 60) * 2 + 7) / (25.4f / 600)));
  EXPECT_EQ(lines[0].X2, 661);  // 56 mm at 300 dpi
  EXPECT_EQ(lines[0].Y2, 638);  // 27 mm at 600 dpi
  // The second column's sheet starts a sheet width further right.
  print::EndSheet();
  EXPECT_EQ(print::g.Job.Column, 2);
  EXPECT_FLOAT_EQ(print::g.Job.SheetOffsetX, s.SheetWidth);
  print::g.Job.PageOpen = true;
  print::PrinterVertex(10, 70, 0);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].X2, gfx::NearestInt((5.0f - s.SheetWidth) / (25.4f / 300)));
  // A move draws nothing.
  print::PrinterVertex(20, 20, 3);
  EXPECT_EQ(lines.size(), 2u);
}

TEST_F(PrintTest, TwoByTwoSheetsPrintRowByRowEachItsOwnDocument) {
  print::SheetSetup(0, 0, 400, 500, 1, 0, 0);
  ASSERT_EQ(print::g.Job.Sheets, 4);
  EXPECT_EQ(print::PrintSheets(NoPicture), "");
  ASSERT_EQ(sheets.size(), 4u);
  const int expected[4][2] = {{1, 1}, {2, 1}, {1, 2}, {2, 2}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(sheets[i].Column, expected[i][0]) << i;
    EXPECT_EQ(sheets[i].Row, expected[i][1]) << i;
  }
  EXPECT_EQ(documents, std::vector<std::string>(4, "Tamvel"));
  EXPECT_EQ(ends, 4);
}

// Jobs of many sheets: above 100 the dialog says how many and asks, above
// 10000 it refuses; counts beyond 32 bits are counted all the same.
struct SheetJob {
  const char* Name;
  float Width, Height, Scale, SheetWidth;
  const char* Keys;  // after item 9
  std::size_t Printed;
  const char* Said;  // on the prompt line at a key read ("" none of these)
};
const SheetJob kSheetJobs[] = {
    {"a print scale of 1e6", 400, 300, 1e6f, 203.2f, "", 0, "Sheets: 2123521721496. More than 10000"},
    {"a sheet width of 0.01 mm", 200, 20, 1, 0.01f, "", 0, "Sheets: 20000. More than 10000"},
    {"150 sheets, answered no", 203.2f * 15, 278.1f * 10, 1, 203.2f, "n", 0, "Sheets: 150. Print them? (Y/N)"},
    {"150 sheets, answered yes", 203.2f * 15, 278.1f * 10, 1, 203.2f, "y", 150, "Sheets: 150. Print them? (Y/N)"},
    {"100 sheets without a question", 203.2f * 10, 278.1f * 10, 1, 203.2f, "", 100, ""},
};

TEST_F(PrintTest, ManySheetsAreAskedForAndTooManyRefused) {
  view::WID_RIS = NoPicture;
  gfx::LanguageIndex = 1;
  for (const SheetJob& c : kSheetJobs) {
    SCOPED_TRACE(c.Name);
    sheets.clear();
    promptsAtKeys.clear();
    print::g.Settings.Scale = c.Scale;
    print::g.Settings.SheetWidth = c.SheetWidth;
    platform::QueueText(std::string("9") + c.Keys);
    menu::KeyCode key = 0;
    print::PrintDialog(0, 0, c.Width, c.Height, key);
    EXPECT_EQ(sheets.size(), c.Printed);
    bool said = c.Said[0] == 0;
    for (const std::string& p : promptsAtKeys) said = said || p.find(c.Said) != std::string::npos;
    EXPECT_TRUE(said);
  }
  print::SheetSetup(0, 0, 1e30f, 1e30f, 1e30f, 0, 0);
  EXPECT_EQ(print::g.Job.Sheets, std::int64_t{INT32_MAX} * INT32_MAX);
  gfx::LanguageIndex = 0;
}

TEST_F(PrintTest, ItemOneSetsScaleFromTheSize) {
  platform::QueueText("1100\r");
  menu::KeyCode key = 0;
  print::PrintDialog(0, 0, 50, 30, key);  // ends at the exhausted input's Esc
  EXPECT_FLOAT_EQ(print::g.Settings.Scale, 2.0f);
  EXPECT_EQ(menu::M.Items[3].Text.substr(0, 7), gfx::LangPart("Масштаб;Scale"_sc));
  // A picture of no width keeps its scale.
  platform::QueueText("1300\r");
  print::PrintDialog(0, 0, 0, 30, key);
  EXPECT_FLOAT_EQ(print::g.Settings.Scale, 2.0f);
}

TEST_F(PrintTest, DialogItemsAndTheSheetWidthPrompt) {
  platform::QueueText("6");  // orientation flips
  platform::QueueText("7");
  platform::QueueText("999\r");  // cut back to the printable width
  menu::KeyCode key = 0;
  print::PrintDialog(0, 0, 50, 30, key);
  EXPECT_EQ(print::g.Settings.Orientation, 1);
  EXPECT_FLOAT_EQ(print::g.Settings.SheetWidth, 4800 * 25.4f / 600);
  EXPECT_EQ(menu::M.Items[0].Text, gfx::LangPart(" Вывод на принтер. DPI=;Printer. DPI="_sc));
  EXPECT_EQ(menu::M.Items[6].Text, gfx::LangPart("Ось X - по длине листа ;Axis X to sheet length"_sc));
  EXPECT_EQ(menu::M.Items[9].Text, gfx::LangPart("Выводить;Output"_sc));
  EXPECT_EQ(menu::M.Items[5].Text, gfx::LangPart("Смещение по длине листа вниз       ;Y shift"_sc));
}

TEST_F(PrintTest, NoPrinterIsSaidAndDialogGoesOnAt600Dpi) {
  print::g.Backend.Probe = NoPrinterProbe;
  menu::KeyCode key = 0;
  print::PrintDialog(0, 0, 50, 30, key);
  ASSERT_GE(promptsAtKeys.size(), 1u);
  EXPECT_EQ(promptsAtKeys[0], gfx::LangPart(" *** Принтер не найден;*** Printer not found"_sc));
  EXPECT_EQ(print::g.Settings.ResolutionX, 600.0f);
  // Cut back to the 203 × 278 mm default area, in whole 600-dpi pixels.
  EXPECT_FLOAT_EQ(print::g.Settings.SheetWidth, 4795 * (25.4f / 600));
  EXPECT_FLOAT_EQ(print::g.Settings.SheetLength, 6567 * (25.4f / 600));
}

namespace {

// Prints the shell's picture without a printer, into one PDF of sheets.
std::string PrintWithoutPrinter(const std::string& path, float sheetWidth, float sheetLength) {
  print::g.Backend = print::QtPrinterBackend();
  print::g.Backend.Probe = NoPrinterProbe;
  print::g.FallbackPdfName = path;
  std::remove(path.c_str());
  print::g.Settings.SheetWidth = sheetWidth;
  print::g.Settings.SheetLength = sheetLength;
  platform::QueueText(" 9");  // past the message, then "Выводить"
  menu::KeyCode key = 0;
  print::PrintPicture(key);
  return ReadFile(path);
}

}  // namespace

TEST_F(PrintTest, WithoutPrinterTheSheetsBecomeOnePdfNamedOnThePromptLine) {
  const std::string path = OutDir() + "/one-sheet.pdf";
  print::g.Settings.Orientation = 1;
  const std::string pdf = PrintWithoutPrinter(path, 203.2f, 278.1f);
  ASSERT_EQ(print::g.Job.Sheets, 1);
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_EQ(PdfPages(pdf), 1);
  ASSERT_GE(promptsAtKeys.size(), 2u);
  EXPECT_EQ(promptsAtKeys[0], gfx::LangPart(" *** Принтер не найден;*** Printer not found"_sc));
  EXPECT_NE(promptsAtKeys.back().find(gfx::ScreenFromUtf8(path)), std::string::npos) << promptsAtKeys.back();
  EXPECT_EQ(promptsAtKeys.back().find(gfx::LangPart("Принтера нет. Листы записаны в файл ;No printer"_sc)), 0u);
  // The walker's sink and the device are back.
  EXPECT_EQ(exchange::VertexOut, exchange::UgfPoint);
  EXPECT_EQ(store::OutputDevice, 0);
  EXPECT_EQ(exchange::g.OutputScale, 1.0f);
}

TEST_F(PrintTest, FourSheetsWithoutPrinterAreFourPages) {
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  store::MeasureExtent2D(x1, y1, x2, y2);
  ASSERT_GT(x2 - x1, 10.0f);
  ASSERT_GT(y2 - y1, 10.0f);
  // Sheets of two thirds of the picture each way: 2 × 2.
  const std::string path = OutDir() + "/four-sheets.pdf";
  const std::string pdf = PrintWithoutPrinter(path, (x2 - x1) / 1.5f, (y2 - y1) / 1.5f);
  EXPECT_EQ(print::g.Job.SheetsX, 2);
  EXPECT_EQ(print::g.Job.SheetsY, 2);
  EXPECT_EQ(PdfPages(pdf), 4);
}

TEST_F(PrintTest, FallbackPdfIsNamedAfterTheDataFile) {
  EXPECT_EQ(print::FallbackPdfPath(), "brelmora-print.pdf");
  exchange::Files.FileName = "TANK1";
  EXPECT_EQ(print::FallbackPdfPath(), "TANK1.pdf");
  exchange::Files.FileName.clear();
}

TEST_F(PrintTest, PrinterErrorIsReportedOnThePromptLine) {
  const std::string path = "/nonexistent-brelmora-folder/out.pdf";
  PrintWithoutPrinter(path, 203.2f, 278.1f);
  ASSERT_GE(promptsAtKeys.size(), 2u);
  EXPECT_EQ(promptsAtKeys.back().find(gfx::LangPart("Ошибка печати: ;Printing failed: "_sc)), 0u) << promptsAtKeys.back();
  EXPECT_FALSE(Exists(path));
}

TEST_F(PrintTest, SvgHasHeaderSizeAndAPathPerPenRun) {
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  store::MeasureExtent2D(x1, y1, x2, y2);
  const print::VectorPicture page = print::CollectPicture();
  EXPECT_FLOAT_EQ(page.WidthMm, x2 - x1 + 20);
  EXPECT_FLOAT_EQ(page.HeightMm, y2 - y1 + 20);
  ASSERT_GT(page.Strokes.size(), 10u);
  for (const print::VectorStroke& s : page.Strokes) ASSERT_GE(s.X.size(), 2u);

  // The walker's own output: every move that a draw follows is one run.
  walkerPens.clear();
  exchange::VertexOut = [](float, float, std::int32_t pen) { walkerPens.push_back(pen); };
  store::OutputDevice = 2;
  view::WID_RIS();
  store::OutputDevice = 0;
  exchange::VertexOut = exchange::UgfPoint;
  std::size_t runs = 0;
  for (std::size_t k = 0; k + 1 < walkerPens.size(); ++k)
    if (walkerPens[k] > 0 && walkerPens[k + 1] == 0) ++runs;
  EXPECT_EQ(page.Strokes.size(), runs);

  const std::string path = OutDir() + "/picture.svg";
  std::remove(path.c_str());
  ASSERT_EQ(print::ExportSvg(path), "");
  const std::string svg = ReadFile(path);
  EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"", 0), 0u);
  char size[96];
  std::snprintf(size, sizeof size, "width=\"%gmm\"", std::round((x2 - x1 + 20) * 1000) / 1000);
  EXPECT_NE(svg.find(size), std::string::npos) << size;
  std::size_t paths = 0;
  for (std::size_t at = svg.find("<path "); at != std::string::npos; at = svg.find("<path ", at + 1)) ++paths;
  EXPECT_EQ(paths, runs);
  EXPECT_NE(svg.find("<path stroke=\"#000000\" d=\"M"), std::string::npos);  // the foreground is black
  EXPECT_EQ(svg.substr(svg.size() - 12), "</g>\n</svg>\n");
}

TEST_F(PrintTest, VectorPdfIsOnePage) {
  const std::string path = OutDir() + "/picture.pdf";
  std::remove(path.c_str());
  ASSERT_EQ(exchange::Exports.Pdf(path), "");
  const std::string pdf = ReadFile(path);
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_EQ(PdfPages(pdf), 1);
}

TEST_F(PrintTest, FailedExportsLeaveNoFile) {
  const std::string svg = "/nonexistent-brelmora-folder/picture.svg";
  const std::string pdf = "/nonexistent-brelmora-folder/picture.pdf";
  EXPECT_NE(exchange::Exports.Svg(svg), "");
  EXPECT_NE(exchange::Exports.Pdf(pdf), "");
  EXPECT_FALSE(Exists(svg));
  EXPECT_FALSE(Exists(pdf));
}

TEST_F(PrintTest, InstallFillsTheHookAndExports) {
  EXPECT_EQ(exchange::PrintPicture, print::PrintPicture);
  EXPECT_EQ(exchange::Exports.Pdf, print::ExportPdf);
  EXPECT_EQ(exchange::Exports.Svg, print::ExportSvg);
}
