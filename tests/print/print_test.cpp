// tests/print/print_test.cpp — sheets, the printer's mapping, the print
// dialog, printing without a printer, and the vector pages.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/result_table.h"
#include "app/shell_solver.h"
#include "support/run_program.h"

#include "graphics/numbers.h"
#include "platform/codepage.h"
#include "platform/events.h"
#include "print_fixture.h"

using namespace printtest;

namespace {

void NoPicture() {}

}  // namespace

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
  EXPECT_EQ(lines[0].X1, gfx::NearestInt(5.0f / (25.4f / 300)));
  EXPECT_EQ(lines[0].Y1, gfx::NearestInt(7.0f / (25.4f / 600)));
  EXPECT_EQ(lines[0].X2, gfx::NearestInt(((35.5f - 10) * 2 + 5) / (25.4f / 300)));
  EXPECT_EQ(lines[0].Y2, gfx::NearestInt(((70.0f - 60) * 2 + 7) / (25.4f / 600)));
  EXPECT_EQ(lines[0].X2, 661);  // 56 mm at 300 dpi
  EXPECT_EQ(lines[0].Y2, 638);  // 27 mm at 600 dpi
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
  view::Slots.WID_RIS = NoPicture;
  gfx::LanguageIndex = 1;
  for (const SheetJob& c : kSheetJobs) {
    SCOPED_TRACE(c.Name);
    sheets.clear();
    promptsAtKeys.clear();
    print::Printing.Settings.Scale = c.Scale;
    print::Printing.Settings.SheetWidth = c.SheetWidth;
    platform::QueueText(std::string("9") + c.Keys);
    menu::KeyCode key = 0;
    print::PrintDialog(0, 0, c.Width, c.Height, key);
    EXPECT_EQ(sheets.size(), c.Printed);
    bool said = c.Said[0] == 0;
    for (const std::string& p : promptsAtKeys) said = said || p.find(c.Said) != std::string::npos;
    EXPECT_TRUE(said);
  }
  print::SheetSetup(0, 0, 1e30f, 1e30f, 1e30f, 0, 0);
  EXPECT_EQ(print::Printing.Job.Sheets, std::int64_t{INT32_MAX} * INT32_MAX);
  gfx::LanguageIndex = 0;  // the question in Russian
  print::Printing.Settings.Scale = 1;
  promptsAtKeys.clear();
  platform::QueueText("9n");
  menu::KeyCode key = 0;
  print::PrintDialog(0, 0, 203.2f * 15, 278.1f * 10, key);
  EXPECT_EQ(promptsAtKeys.back(), "Листов: 150. Печатать? (Y/N)"_sc);
}

TEST_F(PrintTest, ItemOneSetsScaleFromTheSize) {
  platform::QueueText("1100\r");
  menu::KeyCode key = 0;
  print::PrintDialog(0, 0, 50, 30, key);  // ends at the exhausted input's Esc
  EXPECT_FLOAT_EQ(print::Printing.Settings.Scale, 2.0f);
  EXPECT_EQ(menu::M.Items[3].Text.substr(0, 7), gfx::LangPart("Масштаб;Scale"_sc));
  // A picture of no width keeps its scale.
  platform::QueueText("1300\r");
  print::PrintDialog(0, 0, 0, 30, key);
  EXPECT_FLOAT_EQ(print::Printing.Settings.Scale, 2.0f);
}

TEST_F(PrintTest, DialogItemsAndTheSheetWidthPrompt) {
  platform::QueueText("6");  // orientation flips
  platform::QueueText("7");
  platform::QueueText("999\r");  // cut back to the printable width
  menu::KeyCode key = 0;
  print::PrintDialog(0, 0, 50, 30, key);
  EXPECT_EQ(print::Printing.Settings.Orientation, 1);
  EXPECT_FLOAT_EQ(print::Printing.Settings.SheetWidth, 4800 * 25.4f / 600);
  EXPECT_EQ(menu::M.Items[0].Text, gfx::LangPart(" Вывод на принтер. DPI=;Printer. DPI="_sc));
  EXPECT_EQ(menu::M.Items[6].Text, gfx::LangPart("Ось X - по длине листа ;Axis X to sheet length"_sc));
  EXPECT_EQ(menu::M.Items[9].Text, gfx::LangPart("Выводить;Output"_sc));
  EXPECT_EQ(menu::M.Items[5].Text, gfx::LangPart("Смещение по длине листа вниз       ;Y shift"_sc));
}

TEST_F(PrintTest, NoPrinterIsSaidAndDialogGoesOnAt600Dpi) {
  print::Printing.Backend.Probe = NoPrinterProbe;
  menu::KeyCode key = 0;
  print::PrintDialog(0, 0, 50, 30, key);
  ASSERT_GE(promptsAtKeys.size(), 1u);
  EXPECT_EQ(promptsAtKeys[0], gfx::LangPart(" *** Принтер не найден;*** Printer not found"_sc));
  EXPECT_EQ(print::Printing.Settings.ResolutionX, 600.0f);
  // Cut back to the 203 × 278 mm default area, in whole 600-dpi pixels.
  EXPECT_FLOAT_EQ(print::Printing.Settings.SheetWidth, 4795 * (25.4f / 600));
  EXPECT_FLOAT_EQ(print::Printing.Settings.SheetLength, 6567 * (25.4f / 600));
}

namespace {

// Prints the shell's picture without a printer, into one PDF of sheets.
std::string PrintWithoutPrinter(const std::string& path, float sheetWidth, float sheetLength) {
  print::Printing.Backend = print::QtPrinterBackend();
  print::Printing.Backend.Probe = NoPrinterProbe;
  print::Printing.FallbackPdfName = path;
  std::remove(path.c_str());
  print::Printing.Settings.SheetWidth = sheetWidth;
  print::Printing.Settings.SheetLength = sheetLength;
  platform::QueueText(" 9");  // past the message, then "Выводить"
  menu::KeyCode key = 0;
  print::PrintPicture(key);
  return ReadFile(path);
}

}  // namespace

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

namespace {

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// Runs of blanks as one blank: readers space text their own way.
std::string OneBlank(const std::string& text) {
  std::string out;
  for (char c : text)
    if (!(c == ' ' && !out.empty() && out.back() == ' ')) out += c == '\n' ? ' ' : c;
  return out;
}

// What a reader must find as text: a diagram's title and every table row.
std::vector<std::string> PictureTexts() {
  std::vector<std::string> texts = {"Давление, МПа"};
  app::ResultRow rows[app::kResultRows];
  app::ResultTableRows(app::Shell, app::Solution, rows);
  for (const app::ResultRow& row : rows) texts.push_back(OneBlank(gfx::Utf8FromScreen(app::ResultRowText(row, 0))));
  return texts;
}

}  // namespace

// The default picture: 22 pieces (origin mark, axis, scale bar, two wall
// halves and their hatching, deformed contour, two supports, liquid, ten
// diagrams, table), each one path, on a landscape A4 sheet.
TEST_F(PrintTest, SvgIsAPathPerPieceOnASheetWithItsTexts) {
  const std::string path = dir + "/picture.svg";
  std::remove(path.c_str());
  ASSERT_EQ(exchange::Exports.Svg(path), "");
  const std::string svg = ReadFile(path);
  EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
                      "version=\"1.1\" width=\"297mm\" height=\"210mm\" viewBox=\"0 0 297 210\">\n", 0), 0u);
  EXPECT_EQ(Count(svg, "<path "), 22u);
  EXPECT_LT(svg.size(), 150u << 10);
  for (const std::string& text : PictureTexts()) EXPECT_NE(OneBlank(svg).find(">" + text + "</text>"), std::string::npos) << text;
  EXPECT_EQ(svg.substr(svg.size() - 12), "</g>\n</svg>\n");
}

TEST_F(PrintTest, VectorPageDrawsEachLineOnceAsWideAsItsPassesFittedOnTheSheet) {
  float span[2][2] = {};  // A4, A3: x, y
  for (int f = 0; f < 2; ++f) {
    const print::PageFormat& format = print::kPageFormats[f];
    SCOPED_TRACE(format.Name);
    const print::VectorPicture thick = print::CollectPicture(format);
    exchange::Exchange.PassCount[15] = 0;
    const print::VectorPicture thin = print::CollectPicture(format);
    exchange::Exchange.PassCount[15] = 1;
    EXPECT_EQ(thick.WidthMm, format.WidthMm);
    EXPECT_EQ(thick.HeightMm, format.HeightMm);
    ASSERT_EQ(thick.Paths.size(), thin.Paths.size());
    float xmin = 1e9f, xmax = -1e9f, ymin = 1e9f, ymax = -1e9f;
    for (std::size_t k = 0; k < thick.Paths.size(); ++k) {
      const print::VectorPath &a = thick.Paths[k], &b = thin.Paths[k];
      // The same lines: passes widen them, never repeat them.
      ASSERT_EQ(a.X, b.X);
      ASSERT_EQ(a.Y, b.Y);
      ASSERT_EQ(a.RunStarts, b.RunStarts);
      // 0.5 (two passes' spread) for the foreground, 0.25 for the rest, as the page scales them.
      EXPECT_FLOAT_EQ(a.WidthMm / b.WidthMm, a.Rgb == 0 ? 2.0f : 1.0f);
      for (std::size_t i = 0; i < a.X.size(); ++i) {
        xmin = std::min(xmin, a.X[i]), xmax = std::max(xmax, a.X[i]);
        ymin = std::min(ymin, a.Y[i]), ymax = std::max(ymax, a.Y[i]);
      }
    }
    EXPECT_GE(xmin, 10.0f);
    EXPECT_LE(xmax, format.WidthMm - 10);
    EXPECT_GE(ymin, 10.0f);
    EXPECT_LE(ymax, format.HeightMm - 10);
    EXPECT_GT(std::max((xmax - xmin) / (format.WidthMm - 20), (ymax - ymin) / (format.HeightMm - 20)), 0.95f);
    span[f][0] = xmax - xmin;
    span[f][1] = ymax - ymin;
  }
  // Proportions kept: the larger sheet scales both ways alike.
  EXPECT_NEAR(span[1][0] / span[0][0], span[1][1] / span[0][1], 1e-4);
}

TEST_F(PrintTest, PdfIsAStandardSheetWhoseTextsReadersFind) {
  const bool poppler = std::system("command -v pdfinfo pdftotext >/dev/null") == 0;
  for (const print::PageFormat& format : print::kPageFormats) {
    SCOPED_TRACE(format.Name);
    print::Printing.Page = format;
    const std::string path = dir + "/picture-" + format.Name + ".pdf";
    std::remove(path.c_str());
    ASSERT_EQ(exchange::Exports.Pdf(path), "");
    const std::string pdf = ReadFile(path);
    EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
    EXPECT_EQ(PdfPages(pdf), 1);
    char box[64];
    std::snprintf(box, sizeof box, "/MediaBox [0 0 %.2f %.2f]", format.WidthMm * 72 / 25.4, format.HeightMm * 72 / 25.4);
    EXPECT_NE(pdf.find(box), std::string::npos) << box;
    ASSERT_EQ(exchange::Exports.Pdf(path), "");
    EXPECT_EQ(ReadFile(path), pdf);  // the same picture, the same bytes
    if (!poppler) continue;
    char size[64];
    std::snprintf(size, sizeof size, "%.2f x %.2f pts (%s)", format.WidthMm * 72 / 25.4,
                  format.HeightMm * 72 / 25.4, format.Name);
    EXPECT_NE(testing_support::RunProgram(path, ".", "pdfinfo").Out.find(size), std::string::npos) << size;
    const std::string text = OneBlank(testing_support::RunProgram("-layout " + path + " -", ".", "pdftotext").Out);
    for (const std::string& t : PictureTexts()) EXPECT_NE(text.find(t), std::string::npos) << t;
  }
  if (!poppler) GTEST_SKIP() << "poppler-utils (pdfinfo, pdftotext) are not installed: read back not checked";
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
