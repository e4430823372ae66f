// src/app/main_program.cpp — start-up, the main loop and scripted runs.
//
// Index:
//   1. the command line's name rule
//   2. the start-up banner
//   3. the slots the application fills, start-up and the main loop
//   4. scripted runs
#include "app/main_program.h"

#include <dirent.h>
#include <strings.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "app/app_menus.h"
#include "app/batch.h"
#include "app/picture.h"
#include "app/picture_fit.h"
#include "app/session.h"
#include "app/shell_check.h"
#include "app/shell_file.h"
#include "app/shell_model.h"
#include "app/shell_solver.h"
#include "exchange/exchange.h"
#include "exchange/file_io.h"
#include "exchange/file_menu.h"
#include "graphics/kernel.h"
#include "graphics/lang.h"
#include "graphics/numbers.h"
#include "graphics/text.h"
#include "help/app_pages.h"
#include "help/help.h"
#include "menu/file_browser.h"
#include "menu/menu.h"
#include "platform/codepage.h"
#include "platform/driver.h"
#include "platform/events.h"
#include "platform/image/image_driver.h"
#include "platform/image/script.h"
#include "platform/menu_bar.h"
#include "platform/path_names.h"
#include "print/print.h"
#include "store/builders.h"
#include "store/store.h"
#include "view/store_render.h"
#include "view/view.h"

namespace app {

MainProgram Program;

// ---------------------------------------------------------------------------
// 1. The command line's name rule

std::string StartNameOf(const std::string& argument) {
  return platform::SplitPath(std::string_view(argument).substr(0, 79)).Name.substr(0, 8);
}

namespace {

// The data file of the start-up name in the current folder. On this system
// names are case-sensitive: a file from an old disk may be TANK1.SPW where
// TANK1.spw is asked for, so a name that differs only in case is taken too.
std::string FindStartFile(const std::string& wanted) {
  if (exchange::FileExists(wanted)) return wanted;
  std::string found;
  if (DIR* d = opendir(".")) {
    while (dirent* e = readdir(d))
      if (strcasecmp(e->d_name, wanted.c_str()) == 0) {
        found = e->d_name;
        break;
      }
    closedir(d);
  }
  return found.empty() ? wanted : found;
}

// An argument that names an existing file (not a folder).
bool IsDataFilePath(const std::string& arg) { return exchange::FileExists(arg); }

}  // namespace

// ---------------------------------------------------------------------------
// 2. The start-up banner

namespace {

// The product name in block letters: every character that is not a blank
// becomes a filled block.
constexpr const char* kLogo[9] = {
    "            ####   ####   #####  #      #     #   ###   ####     #   ",
    "            #   #  #   #  #      #      ##   ##  #   #  #   #   # #  ",
    "            #   #  #   #  #      #      # # # #  #   #  #   #  #   # ",
    "            #   #  #   #  #      #      #  #  #  #   #  #   #  #   # ",
    "            ####   ####   ####   #      #     #  #   #  ####   ##### ",
    "            #   #  # #    #      #      #     #  #   #  # #    #   # ",
    "            #   #  #  #   #      #      #     #  #   #  #  #   #   # ",
    "            #   #  #   #  #      #      #     #  #   #  #   #  #   # ",
    "            ####   #   #  #####  #####  #     #   ###   #   #  #   # ",
};

}  // namespace

void ShowBanner() {
  menu::ClearPicture();
  const int areaW = gfx::Layout.PictureWidth, areaH = gfx::Layout.PictureHeight;
  const int h = std::max(1, gfx::NearestInt(areaH / 50.0));
  const int w = std::max(1, gfx::NearestInt((areaW - 20) / 80.0));
  gfx::SetColor(gfx::kForeground);
  int line = 0;
  auto text = [&](std::string_view s) {
    ++line;
    gfx::TextOut(s, 1, 2 * line * h, h, w);
  };
  for (int i = 0; i < 5; ++i) text(" ");
  for (const char* row : kLogo) {
    ++line;
    const int y = 2 * line * h;
    for (int col = 0; row[col]; ++col) {
      if (row[col] == ' ') continue;
      const int x = 1 + col * w;
      for (int r = y - 2 * h + 1; r <= y; ++r) gfx::Line2(x, r, x + w - 1, r);
    }
  }
  text(" ");
  text(" ");
  text("                    СИСТЕМА АВТОМАТИЗИРОВАННОГО ПРОЕКТИРОВАНИЯ"_sc);
  const std::string title = " Тавенс "_sc;
  text(std::string(13 + (55 - static_cast<int>(title.size())) / 2, ' ') + title);
  text(std::string("                                  Версия "_sc) + kVersion);
  text(" ");
  for (int i = 0; i < 9 && !platform::Drv.DrvKeyPressed(); ++i) platform::Drv.DrvDelay(10);
}

// ---------------------------------------------------------------------------
// 3. Slots, start-up and the main loop

namespace {

// A data file named by a file-system path; a failure is shown and the
// model stays as it was.
bool LoadModel(const std::string& path) {
  return exchange::LoadDataAt(path, gfx::ScreenFromUtf8(path), exchange::Files.FileComment);
}

// The menu bar's commands change the model behind the menu that waits:
// the picture shows the new model, and the menu fills its items anew.
void ShowChangedModel() {
  view::RedrawWithMenu();
  menu::RefreshMenu();
}

void NewModel() {
  ResetShellModel(Shell);
  NoteNewShell();
  ShowChangedModel();
}

void LoadNamed(const std::string& pathWithoutExtension) {
  const std::string path = pathWithoutExtension + Program.DataExt;
  if (LoadModel(path)) {
    exchange::Files.FileName = gfx::ScreenFromUtf8(pathWithoutExtension);
    NoteFileRead(path);
  }
  ShowChangedModel();
}

// The menu bar's save: over a file that exists only when the user agrees.
bool SaveNamed(const std::string& pathWithoutExtension) {
  const std::string path = pathWithoutExtension + Program.DataExt;
  const std::string shown = gfx::ScreenFromUtf8(path);
  if (exchange::FileExists(path) &&
      platform::Drv.DrvAskChoice(gfx::LangPart("Файл ;The file "_sc) + shown +
                                     gfx::LangPart(" уже есть. Записать поверх него?; exists. Write over it?"_sc),
                                 "Brelmora", gfx::LangPart("Записать;Write over"_sc),
                                 gfx::LangPart("Не записывать;Don't write"_sc), "") != platform::kAnswerYes)
    return false;
  if (!exchange::SaveDataAt(path, shown, Shell.DataFileHeaderText)) return false;
  exchange::Files.FileName = gfx::ScreenFromUtf8(pathWithoutExtension);
  NoteFileWritten(path);
  return true;
}

void Undo() {
  if (UndoEdit()) ShowChangedModel();
}
void Redo() {
  if (RedoEdit()) ShowChangedModel();
}
// Alt-Backspace and Alt-Shift-Backspace in a menu, which then fills its
// items anew.
void UndoKey(bool redo) {
  if (redo ? RedoEdit() : UndoEdit()) view::Redraw();
}

// F1: the key summary in the menus, the pages on the cursor in the cursor
// loop; then the picture and the menu again.
void ShowContextHelp(int context) {
  constexpr int kCursorPages = 6;
  if (context == menu::kHelpCursor) help::InterfacePages(kCursorPages);
  else help::KeySummaryPage();
  view::RedrawWithMenu();
}

void ShowUsage() { help::InterfacePages(); }
void ShowDescription() { help::AppDescriptionPages(); }
void ShowGuide() { help::OpenHtmlHelp(Program.HelpFileName); }

// The data file as the file menu reads and writes it; the comment is its
// header line.
std::string SaveForFileMenu(const std::string& comment, std::string& bytes) {
  Shell.DataFileHeaderText = comment;
  DataFile f;
  SaveShellData(f, comment, Shell);
  bytes = f.Text;
  return std::string();
}

std::string LoadForFileMenu(const std::string& bytes, std::string& comment) {
  DataFile f;
  f.Text = bytes;
  LoadShellData(f, comment, Shell);
  if (!f.Failed()) comment = Shell.DataFileHeaderText;
  return DataFileFault(f, gfx::LanguageIndex == 1 ? 1 : 0);
}

void AfterFileRead(const std::string& name) {
  NoteFileRead(exchange::FileSystemName(name + exchange::Files.DataExt));
}
void AfterFileWritten(const std::string& name) {
  NoteFileWritten(exchange::FileSystemName(name + exchange::Files.DataExt));
}

// Every accepted change of the menus: the picture, then the step.
void RedrawAfterEdit() {
  view::Redraw();
  NoteModelChange();
  ReportBendingFault();
}

// A fit of the picture's scales changes the model like any edit.
void FitViewAfterEdit() {
  view::FitView();
  NoteModelChange();
}

// The window's picture, and its caption brought up to date (the language
// may have changed).
void DrawShellWindow() {
  DrawShellScreen();
  UpdateWindowTitle();
}

std::string ChooseDataFile(const std::string& pattern) { return platform::FileBrowser(false, pattern); }

template <exchange::ExportProcedure Procedure>
std::string Export(const std::string& path) {
  std::string error;
  if (!exchange::RunExport(path, Procedure, error) && error.empty()) error = "failed";
  return error;
}

// Every slot the framework offers the application, filled.
void InstallApplicationSlots() {
  view::Slots.WID_RIS = DrawShellWindow;
  view::Slots.WID_GRAN = store::MeasureExtent2D;
  platform::MenuBar.RedrawHook = view::RedrawWithMenu;
  platform::MenuBar.ResizeHook = view::ResizeView;
  platform::MenuBar.NewHook = NewModel;
  platform::MenuBar.LoadHook = LoadNamed;
  platform::MenuBar.SaveHook = SaveNamed;
  platform::MenuBar.UndoHook = Undo;
  platform::MenuBar.RedoHook = Redo;
  platform::MenuBar.IdleHook = WriteRecoveryWhenDue;
  platform::MenuBar.LeaveHook = AskBeforeLeaving;
  platform::MenuBar.HelpHooks[0] = ShowUsage;               // "Работа с программой"
  platform::MenuBar.HelpHooks[1] = ShowDescription;         // "Об этой программе"
  platform::MenuBar.HelpHooks[2] = help::AboutSystemPage;   // about the system
  platform::MenuBar.HelpHooks[3] = ShowGuide;               // "Руководство пользователя"
  platform::MenuBar.HelpHooks[4] = help::KeySummaryPage;    // "Краткая инструкция"
  help::Slots.AppKeySummaryHook = help::AppKeySummary;
  menu::Slots.EditHook = UndoKey;
  menu::Slots.HelpHook = ShowContextHelp;
  Slots.FullRedraw = RedrawAfterEdit;
  Slots.FitViewHook = FitViewAfterEdit;
  Slots.FileMenuHook = exchange::FileMenu;
  exchange::Files.DataExt = Program.DataExt;
  exchange::FileSlots.SaveData = SaveForFileMenu;
  exchange::FileSlots.LoadData = LoadForFileMenu;
  exchange::FileSlots.AfterLoad = AfterFileRead;
  exchange::FileSlots.AfterSave = AfterFileWritten;
  exchange::FileSlots.UnsavedWork = UnsavedWork;
  exchange::FileSlots.ChooseFile = ChooseDataFile;
  exchange::FileSlots.RedrawPicture = view::Redraw;
  // The picture the extent pass measures, through the same slot: the
  // plotter export then measures the pieces of its own pass.
  exchange::Slots.RedrawForExport = store::Slots.RedrawForMeasure;
  exchange::Exports.Ugf = Export<exchange::ExportUGF>;
  exchange::Exports.Geo = Export<exchange::ExportGEO>;
  exchange::Exports.Dxf = Export<exchange::ExportDXF>;
  exchange::Exports.Tre = Export<exchange::ExportTRE>;
  exchange::Exports.Plt = Export<exchange::ExportPLT>;
  DeclarePictureLayers();
  print::InstallPrinting();  // the print hook and the PDF and SVG exports
  print::Printing.Settings.Orientation = 1;
}

}  // namespace

// Steps 1 to 9 of start-up: the framework, the banner, the slots, the
// initial window and the default shell.
void StartFramework() {
  Shell.DataFileHeaderText.clear();
  gfx::InitKernel();
  gfx::K.HiddenLineMode = 1;
  gfx::BuildStrokeFont();
  Program.HelpFileName = "VOD.HTM";
  Program.DataExtension = "spw";
  Program.DataExt = "." + Program.DataExtension;
  platform::MenuBar.DataExtension = Program.DataExtension;

  view::InstallViewHooks();
  gfx::InstallStoreRenderer();
  store::InitStore();
  store::RemoveStaleScratchFolders();
  exchange::InitExchange();
  view::InitView();

  platform::MenuBar.RedrawHook = ShowBanner;
  ShowBanner();

  InstallApplicationSlots();
  view::V.RotateMode = 0;
  view::V.PixelAspect = 1.0f;
  view::SetViewWindow(-10, -150, 430, 150);
  ResetShellModel(Shell);
}

namespace {
// With --fit: the picture's scales fitted to the window, then the view.
void FitAtStart() {
  if (!Program.StartFit) return;
  FitPictureScales(WindowAspect());
  view::FitView();
}
}  // namespace

void RunProgram(const std::vector<std::string>& args) {
  Program.StartArgCount = static_cast<int>(args.size());
  Program.StartFileName = args.empty() ? std::string() : StartNameOf(args[0]);
  StartFramework();
  // A file manager names the file by its path; any other argument follows
  // the old name rule.
  std::string startFile;
  if (Program.StartArgCount >= 1 && IsDataFilePath(args[0])) {
    startFile = args[0];
  } else if (Program.StartArgCount >= 1 && !Program.StartFileName.empty()) {
    startFile = FindStartFile(Program.StartFileName + Program.DataExt);
  }
  const bool named = !startFile.empty();
  if (named && LoadModel(startFile)) {
    exchange::Files.FileName = gfx::ScreenFromUtf8(platform::PathWithoutExtension(startFile));
  } else {
    startFile.clear();
  }
  StartSession(startFile);
  Program.StartError.clear();
  if (!ApplySettings(Shell, Program.StartSettings, Program.StartError)) return;
  if (Program.StartArgCount < 1 || named) {
    view::FitView();
    FitAtStart();
  }
  NoteModelChange();  // the settings and the fit of the command line are unsaved changes
  if (!Work.RecoveryProblem.empty())
    menu::PromptAndReadKey(gfx::LangPart("Копии для восстановления не будет: ;No recovery copy: "_sc) +
                           Work.RecoveryProblem);
  if (OfferRecovery()) view::FitView();

  menu::KeyCode key = menu::kKeyComplete;
  for (;;) {
    AppMainMenu(key);
    if (key == menu::kKeyEnd) break;
    key = menu::kKeyComplete;
  }
  store::CloseStoreFiles();
}

int RunBatchExport(const std::string& format, const std::string& out, const std::string& file) {
  platform::InstallImageDriver(1920, 1080);
  platform::Image.TypeAhead = false;
  platform::Image.InputExhaustedHook = [] {};
  StartFramework();
  std::string error;
  if (!file.empty() && !LoadShellFile(file, Shell, error)) {
    std::fprintf(stderr, "brelmora: %s\n", error.c_str());
    store::CloseStoreFiles();
    return 1;
  }
  if (!ApplySettings(Shell, Program.StartSettings, error)) {
    std::fprintf(stderr, "brelmora: --set %s\n", error.c_str());
    store::CloseStoreFiles();
    return 2;
  }
  view::FitView();
  FitAtStart();
  // The picture would only show why there are no results: say it and stop.
  SolveShell(Shell, Solution);
  SolveShell(Shell, Solution);
  const std::string fault = ShellFault(Shell, Solution);
  if (!fault.empty()) {
    std::fprintf(stderr, "brelmora: %s: %s\n", file.empty() ? "the default shell" : file.c_str(),
                 gfx::Utf8FromScreen(gfx::LangPartOf(fault, 1)).c_str());
    store::CloseStoreFiles();
    return 1;
  }
  exchange::Exchange.Batch = true;
  if (format == "png") {
    error = platform::WritePicturePng(out);
  } else if (const exchange::ExportFormat* f = exchange::FindExportFormat(format); f != nullptr && f->Slot != nullptr) {
    error = (exchange::Exports.*f->Slot)(out);
  }
  store::CloseStoreFiles();
  if (!error.empty()) {
    std::fprintf(stderr, "brelmora: %s: %s\n", out.c_str(), error.c_str());
    return 1;
  }
  for (const char* note : {store::Store.OutOfRange ? kOutOfRange : "",
                           store::hatchBudget.Thinned ? kHatchThinned : ""})
    if (note[0] != 0)
      std::fprintf(stderr, "brelmora: %s: %s\n", out.c_str(), gfx::Utf8FromScreen(gfx::LangPartOf(note, 1)).c_str());
  return 0;
}

// ---------------------------------------------------------------------------
// 4. Scripted runs

namespace {
std::string ShotPath;

[[noreturn]] void WriteShotAndEnd() {
  if (!ShotPath.empty()) {
    FitAtStart();
    std::string error = platform::WritePicturePng(ShotPath);
    if (!error.empty()) std::fprintf(stderr, "brelmora: %s: %s\n", ShotPath.c_str(), error.c_str());
  }
  for (const std::string& e : platform::Image.SnapshotErrors)
    std::fprintf(stderr, "brelmora: %s\n", e.c_str());
  store::CloseStoreFiles();
  std::exit(0);
}
}  // namespace

int RunScripted(const std::string& script, int width, int height, const std::string& shot,
                const std::vector<std::string>& args) {
  std::string text, error;
  if (!exchange::ReadWholeFile(script, text, error)) {
    std::fprintf(stderr, "brelmora: %s: %s\n", script.c_str(), error.c_str());
    return 2;
  }
  platform::InstallImageDriver(width, height);
  platform::Image.TypeAhead = false;
  if (!platform::QueueScript(text, error)) {
    std::fprintf(stderr, "brelmora: %s: %s\n", script.c_str(), error.c_str());
    return 2;
  }
  ShotPath = shot;
  // Running out of keys ends the program as a confirmed close of the
  // window does; either way the picture is written first.
  platform::Drv.DrvCloseGraphics = WriteShotAndEnd;
  platform::Image.InputExhaustedHook = WriteShotAndEnd;
  RunProgram(args);
  if (!Program.StartError.empty()) {
    std::fprintf(stderr, "brelmora: --set %s\n", Program.StartError.c_str());
    store::CloseStoreFiles();
    return 2;
  }
  WriteShotAndEnd();
}

}  // namespace app
