// tests/print/print_fixture.h — the whole program set up as at start-up on
// the image driver, the shell's default picture in WID_RIS, and a recording
// printer backend.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/framework.h"
#include "app/picture.h"
#include "exchange/exchange.h"
#include "exchange/file_menu.h"
#include "graphics/kernel.h"
#include "graphics/lang.h"
#include "view/store_render.h"
#include "graphics/text.h"
#include "menu/menu.h"
#include "platform/driver.h"
#include "platform/image/image_driver.h"
#include "print/print.h"
#include "print/qt/qt_printer.h"
#include "store/store.h"
#include "support/run_program.h"
#include "view/view.h"

namespace printtest {

using testing_support::FileExists;
using testing_support::ReadFile;

// What the recording backend saw.
struct SheetCall { int Column, Row; };
struct LineCall { int X1, Y1, X2, Y2; float Width; };
inline std::vector<std::string> documents;  // titles
inline std::vector<SheetCall> sheets;       // at every BeginPage
inline std::vector<LineCall> lines;
inline int ends = 0;
inline std::vector<std::string> promptsAtKeys;  // prompt line 0 at every key read
inline std::uint8_t (*readKey)() = nullptr;
inline std::uint8_t RecordingReadKey() {
  promptsAtKeys.push_back(menu::M.Prompts[0]);
  return readKey();
}

// The printer's backend with a 600 dpi printer of 4800 × 6570 pixels
// (203.2 × 278.1 mm) that records what it is given.
inline print::PrinterBackend RecordingBackend() {
  print::PrinterBackend b = print::QtPrinterBackend();
  b.Probe = [](print::PrinterInfo& out) {
    out.Name = "test";
    out.ResolutionX = out.ResolutionY = 600;
    out.Width = 4800, out.Height = 6570;
    return true;
  };
  b.BeginDocument = [](const print::DocumentRequest& r) { return documents.push_back(r.Title), std::string(); };
  b.BeginPage = [](int, int) {
    return sheets.push_back({print::Printing.Job.Column, print::Printing.Job.Row}), std::string();
  };
  b.Line = [](int x1, int y1, int x2, int y2, float w) { lines.push_back({x1, y1, x2, y2, w}); };
  b.EndPage = [] {};
  b.EndDocument = [] { return ++ends, std::string(); };
  return b;
}

// Pages of a PDF file: "/Type /Page" objects, not the "/Type /Pages" tree.
inline int PdfPages(const std::string& pdf) {
  int n = 0;
  for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1))
    if (at + 11 >= pdf.size() || pdf[at + 11] != 's') ++n;
  return n;
}

class PrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app::ResetFramework();
    platform::InstallImageDriver(800, 600);
    platform::Image.TypeAhead = false;  // keys arrive only when asked for
    platform::Image.InputExhaustedHook = [] {};
    readKey = platform::Drv.DrvReadKey;
    platform::Drv.DrvReadKey = RecordingReadKey;
    gfx::InitKernel();
    gfx::BuildStrokeFont();
    view::InstallViewHooks();
    gfx::InstallStoreRenderer();
    exchange::InitExchange();
    exchange::Exchange.Batch = true;  // no thickness dialogue
    view::InitView();
    view::Slots.WID_RIS = app::DrawShellScreen;
    exchange::Slots.RedrawForExport = view::Slots.WID_RIS;
    view::V.RotateMode = 0;
    view::FitView();

    print::Printing.Backend = RecordingBackend();
    print::ResetPrinting();
    print::InstallPrinting();
    documents.clear();
    sheets.clear();
    lines.clear();
    ends = 0;
    promptsAtKeys.clear();
    dir = testing_support::MakeTempFolder();
  }
  void TearDown() override {
    std::filesystem::remove_all(dir);
    app::ResetFramework();
  }
  std::string dir;  // the test's own folder for what it writes
};

}  // namespace printtest
