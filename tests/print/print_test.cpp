// tests/print/print_test.cpp — sheets, the printer's mapping, the print
// dialog, printing without a printer, and the vector pages.
#include <algorithm>
#include <cstdio>

#include "graphics/numbers.h"
#include "platform/codepage.h"
#include "print_fixture.h"

namespace {

using namespace printtest;

void NoPicture() {}

// A picture x by y mm at scale 1 and an orientation: sheets across and down,
// about one percent of overhang allowed; an empty picture takes one sheet.
TEST_F(PrintTest, SheetCountsAllowAboutOnePercentOverhang) {
  const struct {
    float X, Y;
    int Orientation, SheetsX, SheetsY;
  } kRows[] = {{200, 100, 0, 1, 1}, {205, 100, 0, 1, 1}, {210, 100, 0, 2, 1},
               {0, 0, 0, 1, 1},     {250, 100, 0, 2, 1}, {250, 100, 1, 1, 1}};
  for (const auto& r : kRows) {
    SCOPED_TRACE(std::to_string(r.X) + " x " + std::to_string(r.Y) + ", orientation " + std::to_string(r.Orientation));
    print::Printing.Settings.Orientation = r.Orientation;
    print::SheetSetup(0, 0, r.X, r.Y, 1, 0, 0);
    EXPECT_EQ(print::Printing.Job.SheetsX, r.SheetsX);
    EXPECT_EQ(print::Printing.Job.SheetsY, r.SheetsY);
    EXPECT_EQ(print::Printing.Job.Sheets, r.SheetsX * r.SheetsY);
  }
  // Orientation 1: the picture's left end at the foot of the sheet, its right end at the top.
  print::SheetSetup(0, 0, 250, 100, 1, 0, 0);
  print::Printing.Job.PageOpen = true;
  print::PrinterVertex(0, 100, 1);
  print::PrinterVertex(250, 100, 0);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ((std::vector<int>{lines[0].X1, lines[0].Y1, lines[0].X2, lines[0].Y2}),
            (std::vector<int>{0, gfx::NearestInt(250 / (25.4f / 600)), 0, 0}));
}

TEST_F(PrintTest, PrinterVertexMapsMillimetresToPixelsOfTheSheet) {
  print::PrintSettings& s = print::Printing.Settings;
  s.ResolutionX = 300;
  s.ResolutionY = 600;
  print::SheetSetup(10, 20, 210, 70, 2.0f, 5.0f, 7.0f);  // 2 × 1 sheets
  print::Printing.Job.PageOpen = true;
  print::PrinterVertex(10, 70, 1);     // the top-left corner, moved by the shifts
  print::PrinterVertex(35.5f, 60, 0);
  ASSERT_EQ(lines.size(), 1u);
  // 5 mm at 300 dpi, 7 at 600; (35.5 - 10) × 2 + 5 = 56 mm, (70 - 60) × 2 + 7 = 27 mm.
  EXPECT_EQ((std::vector<int>{lines[0].X1, lines[0].Y1, lines[0].X2, lines[0].Y2}),
            (std::vector<int>{59, 165, 661, 638}));
  // The second column's sheet starts a sheet width further right.
  print::EndSheet();
  EXPECT_EQ(print::Printing.Job.Column, 2);
  EXPECT_FLOAT_EQ(print::Printing.Job.SheetOffsetX, s.SheetWidth);
  print::Printing.Job.PageOpen = true;
  print::PrinterVertex(10, 70, 0);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].X2, gfx::NearestInt((5.0f - s.SheetWidth) / (25.4f / 300)));
  // A move draws nothing.
  print::PrinterVertex(20, 20, 3);
  EXPECT_EQ(lines.size(), 2u);
}

TEST_F(PrintTest, TwoByTwoSheetsPrintRowByRowEachItsOwnDocument) {
  print::SheetSetup(0, 0, 400, 500, 1, 0, 0);
  ASSERT_EQ(print::Printing.Job.Sheets, 4);
  EXPECT_EQ(print::PrintSheets(NoPicture), "");
  std::string order;
  for (const SheetCall& c : sheets) order += std::to_string(c.Column) + "," + std::to_string(c.Row) + " ";
  EXPECT_EQ(order, "1,1 2,1 1,2 2,2 ");
  EXPECT_EQ(documents, std::vector<std::string>(4, "Tamvel"));
  EXPECT_EQ(ends, 4);
}

// Jobs of many sheets: above 100 the dialog says how many and asks, above
// 10000 it refuses, in the language of the menus; counts beyond 32 bits are
// counted all the same.
struct SheetJob {
  const char* Name;
  int Language;
  float Width, Height, Scale, SheetWidth;
  const char* Keys;  // after item 9
  std::size_t Printed;
  const char* Said;  // on the prompt line at a key read ("" none of these)
};
const SheetJob kSheetJobs[] = {
    {"a print scale of 1e6", 1, 400, 300, 1e6f, 203.2f, "", 0, "Sheets: 2123521721496. More than 10000"},
    {"a sheet width of 0.01 mm", 1, 200, 20, 1, 0.01f, "", 0, "Sheets: 20000. More than 10000"},
    {"150 sheets, answered no", 1, 203.2f * 15, 278.1f * 10, 1, 203.2f, "n", 0, "Sheets: 150. Print them? (Y/N)"},
    {"150 sheets, answered yes", 1, 203.2f * 15, 278.1f * 10, 1, 203.2f, "y", 150, "Sheets: 150. Print them? (Y/N)"},
    {"100 sheets without a question", 1, 203.2f * 10, 278.1f * 10, 1, 203.2f, "", 100, ""},
    {"150 sheets, in Russian", 0, 203.2f * 15, 278.1f * 10, 1, 203.2f, "n", 0, "Листов: 150. Печатать? (Y/N)"},
};

TEST_F(PrintTest, ManySheetsAreAskedForAndTooManyRefused) {
  view::Slots.WID_RIS = NoPicture;
  for (const SheetJob& c : kSheetJobs) {
    SCOPED_TRACE(c.Name);
    gfx::LanguageIndex = c.Language;
    sheets.clear();
    promptsAtKeys.clear();
    print::Printing.Settings.Scale = c.Scale;
    print::Printing.Settings.SheetWidth = c.SheetWidth;
    platform::QueueText(std::string("9") + c.Keys);
    menu::KeyCode key = 0;
    print::PrintDialog(0, 0, c.Width, c.Height, key);
    EXPECT_EQ(sheets.size(), c.Printed);
    bool said = c.Said[0] == 0;
    for (const std::string& p : promptsAtKeys) said = said || p.find(gfx::ScreenFromUtf8(c.Said)) != std::string::npos;
    EXPECT_TRUE(said);
  }
  print::SheetSetup(0, 0, 1e30f, 1e30f, 1e30f, 0, 0);
  EXPECT_EQ(print::Printing.Job.Sheets, std::int64_t{INT32_MAX} * INT32_MAX);
}

// Item 1 sets the scale from the size (a picture of no width keeps it),
// 6 flips the orientation, 7 takes a sheet width cut back to the printable.
TEST_F(PrintTest, DialogItemsSetScaleOrientationAndSheetWidth) {
  platform::QueueText("1100\r6" "7999\r");
  menu::KeyCode key = 0;
  print::PrintDialog(0, 0, 50, 30, key);  // ends at the exhausted input's Esc
  platform::QueueText("1300\r");
  print::PrintDialog(0, 0, 0, 30, key);
  EXPECT_FLOAT_EQ(print::Printing.Settings.Scale, 2.0f);
  EXPECT_EQ(print::Printing.Settings.Orientation, 1);
  EXPECT_FLOAT_EQ(print::Printing.Settings.SheetWidth, 4800 * 25.4f / 600);
}

// Prints the shell's picture without a printer, into one PDF of sheets.
std::string PrintWithoutPrinter(const std::string& path, float sheetWidth, float sheetLength) {
  print::Printing.Backend = print::QtPrinterBackend();
  print::Printing.Backend.Probe = [](print::PrinterInfo&) { return false; };
  print::Printing.FallbackPdfName = path;
  std::remove(path.c_str());
  print::Printing.Settings.SheetWidth = sheetWidth;
  print::Printing.Settings.SheetLength = sheetLength;
  platform::QueueText(" 9");  // past the message, then "Выводить"
  menu::KeyCode key = 0;
  print::PrintPicture(key);
  return ReadFile(path);
}

// Each row's sheets go into one PDF named on the prompt line, or the
// prompt line says why not; the walker's sink and the device are back.
TEST_F(PrintTest, WithoutPrinterTheSheetsBecomeOnePdfNamedOnThePromptLine) {
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  store::MeasureExtent2D(x1, y1, x2, y2);
  ASSERT_GT(std::min(x2 - x1, y2 - y1), 10.0f);
  const char* written = "Принтера нет. Листы записаны в файл ;No printer";
  const struct { const char* File; float Width, Length; int Orientation, Pages; const char* Said; } kRows[] = {
      {"one-sheet.pdf", 203.2f, 278.1f, 1, 1, written},
      {"four-sheets.pdf", (x2 - x1) / 1.5f, (y2 - y1) / 1.5f, 0, 4, written},  // two thirds of the picture each way
      {"no-such-folder/out.pdf", 203.2f, 278.1f, 0, 0, "Ошибка печати: ;Printing failed: "},
  };
  for (const auto& r : kRows) {
    SCOPED_TRACE(r.File);
    const std::string path = dir + "/" + r.File;
    print::Printing.Settings.Orientation = r.Orientation;
    promptsAtKeys.clear();
    const std::string pdf = PrintWithoutPrinter(path, r.Width, r.Length);
    EXPECT_EQ(PdfPages(pdf), r.Pages);
    EXPECT_EQ(FileExists(path), r.Pages > 0);
    if (r.Pages > 0) {
      EXPECT_EQ(print::Printing.Job.Sheets, r.Pages);
      EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    }
    ASSERT_GE(promptsAtKeys.size(), 2u);
    EXPECT_EQ(promptsAtKeys[0], gfx::LangPart(" *** Принтер не найден;*** Printer not found"_sc));
    EXPECT_EQ(promptsAtKeys.back().find(gfx::LangPart(gfx::ScreenFromUtf8(r.Said))), 0u) << promptsAtKeys.back();
    EXPECT_EQ(promptsAtKeys.back().find(gfx::ScreenFromUtf8(path)) != std::string::npos, r.Pages > 0);
    EXPECT_EQ(exchange::Slots.VertexOut, exchange::UgfPoint);
    EXPECT_EQ(store::OutputDevice, store::Device::Screen);
    EXPECT_EQ(exchange::Exchange.OutputScale, 1.0f);
  }
}

TEST_F(PrintTest, FallbackPdfIsNamedAfterTheDataFile) {
  EXPECT_EQ(print::FallbackPdfPath(), "brelmora-print.pdf");
  exchange::Files.FileName = "TANK1";
  EXPECT_EQ(print::FallbackPdfPath(), "TANK1.pdf");
  exchange::Files.FileName.clear();
}

// The page's picture on each sheet format: the foreground's extra pass
// widens its lines (0.5 mm against 0.25) and never repeats them.
TEST_F(PrintTest, VectorPageDrawsEachLineOnceAsWideAsItsPasses) {
  for (const print::PageFormat& format : print::kPageFormats) {
    SCOPED_TRACE(format.Name);
    const print::VectorPicture thick = print::CollectPicture(format);
    exchange::Exchange.PassCount[15] = 0;
    const print::VectorPicture thin = print::CollectPicture(format);
    exchange::Exchange.PassCount[15] = 1;
    ASSERT_EQ(thick.Paths.size(), thin.Paths.size());
    for (std::size_t k = 0; k < thick.Paths.size(); ++k) {
      const print::VectorPath &a = thick.Paths[k], &b = thin.Paths[k];
      ASSERT_EQ(a.X, b.X);
      ASSERT_EQ(a.Y, b.Y);
      ASSERT_EQ(a.RunStarts, b.RunStarts);
      EXPECT_FLOAT_EQ(a.WidthMm / b.WidthMm, a.Rgb == 0 ? 2.0f : 1.0f);
    }
  }
}

TEST_F(PrintTest, PrinterDrawsEachLineOnceAsWideAsItsPasses) {
  std::size_t counts[2] = {};
  for (int passes : {1, 0}) {
    exchange::Exchange.PassCount[15] = passes;
    lines.clear();
    platform::QueueText("9");
    menu::KeyCode key = 0;
    print::PrintPicture(key);
    counts[passes] = lines.size();
    // A pass is one printer pixel: the foreground's pass spreads it to two.
    std::size_t wide = 0;
    for (const LineCall& l : lines) wide += l.Width == 2.0f;
    EXPECT_EQ(wide > 0, passes == 1);
    for (const LineCall& l : lines) ASSERT_TRUE(l.Width == 1.0f || l.Width == 2.0f) << l.Width;
  }
  EXPECT_EQ(counts[0], counts[1]);
  EXPECT_GT(counts[0], 1000u);
}

TEST_F(PrintTest, FailedExportsLeaveNoFile) {
  const std::string svg = dir + "/no-such-folder/picture.svg";
  const std::string pdf = dir + "/no-such-folder/picture.pdf";
  EXPECT_NE(exchange::Exports.Svg(svg), "");
  EXPECT_NE(exchange::Exports.Pdf(pdf), "");
  EXPECT_FALSE(FileExists(svg));
  EXPECT_FALSE(FileExists(pdf));
}

}  // namespace
