// The whole program on the image driver, in this process: the data-entry
// menus driven by keys, the steps that undo and redo edits, the caption,
// the questions before the work is left, the recovery copy, and what the
// window does on a menu-bar command.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/framework.h"
#include "app/app_menus.h"
#include "app/main_program.h"
#include "app/session.h"
#include "exchange/file_menu.h"
#include "graphics/kernel.h"
#include "graphics/lang.h"
#include "graphics/text.h"
#include "menu/menu.h"
#include "platform/codepage.h"
#include "platform/driver.h"
#include "platform/image/image_driver.h"
#include "platform/menu_bar.h"
#include "support/shell_files.h"
#include "view/view.h"

namespace {

using app::Shell;
using app::Work;
using testing_support::FileExists;
using testing_support::ReadFile;

int redraws = 0;

class AppMenus : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::InstallImageDriver(1280, 1024);
    platform::Image.InputExhaustedHook = [] {};
    gfx::InitKernel();
    gfx::BuildStrokeFont();
    menu::M = menu::MenuState{};
    menu::ScreenSetUp();
    app::ResetShellModel(app::Shell);
    redraws = 0;
    app::Slots.FullRedraw = [] { ++redraws; };
  }
  void TearDown() override { app::ResetFramework(); }
};

// Values that would make the results infinite, counts beyond the capacity
// and texts that are no numbers are refused where they are typed, with
// what is allowed; the value stays, or the next try is taken.
TEST_F(AppMenus, ImpossibleValuesAreRefusedWithWhatIsAllowed) {
  struct Row { void (*Menu)(menu::KeyCode&); const char* keys; float (*Value)(); float kept; const char* message; };
  const Row rows[] = {
      {app::SegmentMenu, "70\r\x1b\x1b", [] { return Shell.Thickness[1]; }, 2, "Допустимо от 0.001 до 10000"},
      {app::SegmentMenu, "7-1\r\x1b\x1b", [] { return Shell.Thickness[1]; }, 2, "Допустимо от 0.001 до 10000"},
      {app::LoadsMenu, "80\r\x1b\x1b", [] { return Shell.YoungModulus; }, 210000,
       "Допустимо от 0.001 до 100000000"},
      {app::LoadsMenu, "1o.3\r\x1b\x1b", [] { return Shell.InternalPressure; }, 0.2f, "Не число: o.3"},
      {app::NewSchemeMenu, "y60\r4\r500\r500\r2\r", [] { return float(Shell.SectionCount); }, 5,
       "Допустимо от 1 до 48"},
      {app::NewSchemeMenu, "y49\r\x1b\r\r\r", [] { return float(Shell.SectionCount); }, 5,
       "Допустимо от 1 до 48"},  // Esc keeps the count of the shell
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.keys);
    platform::QueueText(r.keys);
    menu::KeyCode key = 0;
    r.Menu(key);
    EXPECT_EQ(r.Value(), r.kept);
    EXPECT_EQ(menu::M.Prompts[1], gfx::ScreenFromUtf8(r.message));
  }
}

// One menu per row, from the default sphere after a preparation, given
// keys: the key it ends with (-1 not looked at), the redraws it asked for
// and what it left.
struct MenuCase {
  const char* Name;
  void (*Prepare)();
  void (*Menu)(menu::KeyCode&);
  const char* Keys;
  int Key, Redraws;
  void (*Check)();
};
void Nothing() {}
int fileMenus = 0;
void CountFileMenus() {
  fileMenus = 0;
  app::Slots.FileMenuHook = [](menu::KeyCode& k) { ++fileMenus, k = menu::kKeyEnd; };
}

const MenuCase kMenuCases[] = {
    {"a new scheme answered otherwise changes nothing", Nothing, app::NewSchemeMenu, "N", -1, -1,
     [] {
       EXPECT_EQ(Shell.SectionCount, 3);
       EXPECT_EQ(Shell.GeneratrixKind[1], 1);
       EXPECT_EQ(menu::M.Prompts[0], " Новая оболочка? (Y/N)"_sc);  // the current language only
     }},
    {"a new scheme of 48 segments", Nothing, app::NewSchemeMenu, "y48\r500\r500\r2\r", -1, -1,
     [] { EXPECT_EQ(Shell.SectionCount, 49); }},
    {"a section beyond the last is appended on Y", Nothing, app::SectionMenu, "15\rY\x1b", 27, -1,
     [] {
       EXPECT_EQ(Shell.SectionCount, 4);
       EXPECT_EQ(Shell.SectionHeight[4], 2 * 200.0f - 100.0f);
       EXPECT_EQ(Shell.SectionRadius[4], Shell.SectionRadius[3]);
       EXPECT_EQ(Shell.GeneratrixKind[4], 0);
       EXPECT_EQ(Shell.CurrentIndex, 4);
     }},
    {"a section beyond the last on N shows the last", Nothing, app::SectionMenu, "15\rN277\r\r", -1, 2,
     [] {
       EXPECT_EQ(Shell.SectionCount, 3);
       EXPECT_EQ(Shell.CurrentIndex, 3);
       EXPECT_EQ(Shell.SectionRadius[3], 77);
     }},
    {"no section beyond the capacity",
     [] {
       Shell.SectionCount = 49;
       for (int i = 1; i <= 49; ++i) Shell.SectionHeight[i] = 10.0f * i;
     },
     app::SectionMenu, "1100\rY\x1b", -1, -1,
     [] {
       EXPECT_EQ(Shell.SectionCount, 49);
       EXPECT_EQ(Shell.CurrentIndex, 49);
     }},
    {"a section number below one is refused", [] { Shell.CurrentIndex = 2; }, app::SectionMenu, "10\r1-4\r\x1b", -1,
     -1, [] { EXPECT_EQ(Shell.CurrentIndex, 2); }},
    {"changing a length moves the sections above", Nothing, app::SegmentMenu, "4150\r\x1b", -1, -1,
     [] {
       EXPECT_EQ(Shell.SectionHeight[1], 0);
       EXPECT_EQ(Shell.SectionHeight[2], 150);
       EXPECT_EQ(Shell.SectionHeight[3], 250);
     }},
    {"a segment beyond the last shows the last without a redraw", Nothing, app::SegmentMenu, "17\r\x1b", -1, 0,
     [] { EXPECT_EQ(Shell.CurrentIndex, 2); }},
    {"item 9 of an arc edits its radius", Nothing, app::SegmentMenu, "9250\r\x1b", -1, -1,
     [] { EXPECT_EQ(Shell.ArcRadius[1], 250); }},
    {"a straight segment's menu has eight items and ignores 9", [] { Shell.GeneratrixKind[1] = 0; },
     app::SegmentMenu, "9250\r\x1b", 27, -1, [] { EXPECT_EQ(Shell.ArcRadius[1], 100); }},
    {"the generatrix submenu makes it straight", Nothing, app::SegmentMenu, "831\x1b\x1b", -1, 2,
     [] { EXPECT_EQ(Shell.GeneratrixKind[1], 0); }},
    {"the generatrix submenu makes it an arc", [] { Shell.GeneratrixKind[1] = 0; }, app::SegmentMenu, "82]\x1b", -1,
     -1, [] { EXPECT_EQ(Shell.GeneratrixKind[1], 1); }},
    {"the loads menu stores its values", Nothing, app::LoadsMenu, "10,35\r72.6\r870000\rq", 'q', 3,
     [] {
       EXPECT_FLOAT_EQ(Shell.InternalPressure, 0.35f);
       EXPECT_EQ(Shell.SupportSection, 3);
       EXPECT_EQ(Shell.YoungModulus, 70000);
     }},
    {"the design check sets the allowable and the rule", Nothing, app::DesignCheckMenu, "1160\r323\x1b", 27, 4,
     [] {
       EXPECT_EQ(Shell.AllowableStress, 160);
       EXPECT_EQ(Shell.EquivalenceRule, app::kTresca);
     }},
    {"Esc in the main menu is returned", CountFileMenus, app::AppMainMenu, "\x1b", 27, -1, [] { EXPECT_EQ(fileMenus, 0); }},
    {"Ctrl-Z in a submenu reaches the file menu", CountFileMenus, app::AppMainMenu, "4\x1a", '~', -1,
     [] { EXPECT_EQ(fileMenus, 1); }},
};

TEST_F(AppMenus, EachMenuDoesWhatItsKeysSay) {
  for (const MenuCase& c : kMenuCases) {
    SCOPED_TRACE(c.Name);
    app::ResetShellModel(Shell);
    c.Prepare();
    redraws = 0;
    platform::QueueText(c.Keys);
    menu::KeyCode key = 0;
    c.Menu(key);
    EXPECT_EQ(c.Key < 0 ? -1 : key, c.Key);
    EXPECT_EQ(c.Redraws < 0 ? -1 : redraws, c.Redraws);
    c.Check();
  }
}

// What the program showed when the queued input ran out.
struct Seen { bool Done = false; float FirstItem = 0; std::string Title; };
Seen seen;

class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = testing_support::MakeTempFolder();
    setenv("XDG_STATE_HOME", (folder_ + "/state").c_str(), 1);
    platform::InstallImageDriver(1280, 1024);
    seen = Seen{};
    platform::Image.InputExhaustedHook = [] {
      if (seen.Done) return;
      seen = Seen{true, menu::M.Items[1].Value, platform::Image.Title};
    };
    app::StartFramework();
    view::FitView();
    app::StartSession("");
  }
  void TearDown() override {
    app::EndSession();
    app::ResetFramework();
  }
  // Keys for the main menu until the input runs out.
  static void RunMenus(const std::string& keys) {
    platform::QueueText(keys);
    menu::KeyCode key = menu::kKeyComplete;
    app::AppMainMenu(key);
  }
  static void Edit(float pressure) {
    Shell.InternalPressure = pressure;
    app::NoteModelChange();
  }
  std::string DataFile(float pressure) {
    app::ShellModel m = Shell;
    m.InternalPressure = pressure;
    testing_support::WriteShell(folder_ + "/tank.spw", m);
    return folder_ + "/tank.spw";
  }
  std::string folder_;
};

TEST_F(Program, AHundredEditsUndoAndRedoAndALoadIsOneStep) {
  for (int i = 1; i <= 105; ++i) Edit(static_cast<float>(i));
  int undone = 0;
  while (app::UndoEdit()) ++undone;
  EXPECT_EQ(undone, app::kUndoSteps);
  EXPECT_EQ(Shell.InternalPressure, 5);  // the oldest edits gave way
  EXPECT_TRUE(Work.Modified);
  for (int i = 0; i < 3; ++i) app::RedoEdit();
  EXPECT_EQ(Shell.InternalPressure, 8);
  Edit(50);  // a new edit drops what was undone
  EXPECT_FALSE(app::RedoEdit());
  // Open from the menu bar resets the shell, then loads: one step back.
  platform::QueueYesNo(false);  // nothing unsaved: the old "Save file?"
  platform::QueueFileAnswer(DataFile(7.5f));
  platform::RunMenuCommand(platform::kCommandOpen);
  EXPECT_EQ(Shell.InternalPressure, 7.5f);
  EXPECT_FALSE(Work.Modified);
  EXPECT_TRUE(app::UndoEdit());
  EXPECT_EQ(Shell.InternalPressure, 50);
  EXPECT_TRUE(Work.Modified);
  // The main menu's fit of the scales is a step like any other.
  const float scale = Shell.PictureScale, step = Shell.DiagramStep;
  RunMenus("7");
  EXPECT_NE(Shell.PictureScale + Shell.DiagramStep, scale + step);
  EXPECT_TRUE(app::UndoEdit());
  EXPECT_EQ(Shell.PictureScale, scale);
  EXPECT_EQ(Shell.DiagramStep, step);
}

// The loads menu waits while the menu bar opens a file: it shows the file's
// values at once.
TEST_F(Program, TheMenuBarsOpenFillsTheMenuAnew) {
  const std::string path = DataFile(3.25f);
  platform::QueueText("6");
  platform::QueueYesNo(false);
  platform::QueueFileAnswer(path);
  platform::QueueMenuCommand(platform::kCommandOpen);
  RunMenus("");
  EXPECT_EQ(seen.FirstItem, 3.25f);
  EXPECT_EQ(seen.Title, "tank.spw — Brelmora (RU)");
}

TEST_F(Program, TheCaptionNamesTheFileTheChangesAndTheLanguage) {
  EXPECT_EQ(platform::Image.Title, "Без имени — Brelmora (RU)");
  Edit(1);
  EXPECT_EQ(platform::Image.Title, "Без имени* — Brelmora (RU)");
  RunMenus("\x0b");  // Ctrl-K: English
  EXPECT_EQ(platform::Image.Title, "Untitled* — Brelmora (EN)");
  EXPECT_EQ(platform::Image.MenuLanguage, 1);
  ASSERT_TRUE(exchange::SaveDataAt(folder_ + "/a.spw", "a.spw", ""));
  app::NoteFileWritten(folder_ + "/a.spw");
  EXPECT_EQ(platform::Image.Title, "a.spw — Brelmora (EN)");
  RunMenus("\x0b");
  EXPECT_EQ(platform::Image.Title, "a.spw — Brelmora (PL)");
  EXPECT_EQ(platform::Image.MenuLanguage, 2);
}

// With unsaved changes the menu bar's New and the end of the program ask
// to save first; a save that fails or is cancelled leaves nothing.
TEST_F(Program, LeavingChangedWorkAsksToSaveItFirst) {
  struct Row { platform::LeaveReason reason; int answer; bool hasFile; const char* dialog; bool leaves; bool saved; };
  const Row rows[] = {
      {platform::kLeaveForNew, platform::kAnswerCancel, true, "", false, false},
      {platform::kLeaveForNew, platform::kAnswerNo, true, "", true, false},
      {platform::kLeaveForNew, platform::kAnswerYes, true, "", true, true},
      {platform::kLeaveProgram, platform::kAnswerYes, false, "", false, false},  // dialog cancelled
      {platform::kLeaveProgram, platform::kAnswerYes, false, "/no/such/folder/x.spw", false, false},
      {platform::kLeaveForOpen, platform::kAnswerYes, false, "saved.spw", true, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.answer);
    std::remove((folder_ + "/tank.spw").c_str());
    std::remove((folder_ + "/saved.spw").c_str());
    app::ResetShellModel(Shell);
    app::StartSession(r.hasFile ? folder_ + "/tank.spw" : "");
    Edit(4.5f);
    platform::Image.Asked.clear();
    platform::QueueAnswer(r.answer);
    platform::QueueFileAnswer(std::string(r.dialog).empty() || r.dialog[0] == '/' ? r.dialog : folder_ + "/" + r.dialog);
    platform::QueueText("\r");  // a failed save is told on the prompt line
    EXPECT_EQ(platform::MenuBar.LeaveHook(r.reason), r.leaves);
    ASSERT_EQ(platform::Image.Asked.size(), 1u);
    EXPECT_EQ(platform::Image.Asked[0].Text,
              std::string("Изменения в "_sc) + (r.hasFile ? "tank.spw" : "новой оболочке"_sc) +
                  " не сохранены. Сохранить их?"_sc);
    EXPECT_EQ(platform::Image.Asked[0].Buttons, "Сохранить|Не сохранять|Отмена"_sc);
    const std::string written = folder_ + (r.hasFile ? "/tank.spw" : "/saved.spw");
    EXPECT_EQ(FileExists(written), r.saved);
    EXPECT_EQ(Work.Modified, !r.saved);
    platform::Image.FileAnswers.clear();
    platform::Image.Input.clear();
  }
  // The question follows the language.
  Edit(8);
  gfx::LanguageIndex = 1;
  platform::Image.Asked.clear();
  platform::QueueAnswer(platform::kAnswerCancel);
  EXPECT_FALSE(platform::MenuBar.LeaveHook(platform::kLeaveProgram));
  EXPECT_EQ(platform::Image.Asked[0].Text, "The changes to saved.spw are not saved. Save them?");
  EXPECT_EQ(platform::Image.Asked[0].Buttons, "Save|Don't save|Cancel");
  gfx::LanguageIndex = 0;
  // Nothing unsaved: the old question, exactly.
  app::StartSession("");
  platform::Image.Asked.clear();
  platform::QueueYesNo(false);
  EXPECT_FALSE(platform::MenuBar.LeaveHook(platform::kLeaveProgram));
  EXPECT_EQ(platform::Image.Asked[0].Text, "                  Закончить работу?"_sc);
}

// The menu bar's save writes over a file only when the user agrees.
TEST_F(Program, SavingOverAFileAsksFirst) {
  for (int answer : {platform::kAnswerNo, platform::kAnswerYes}) {
    const std::string path = DataFile(9);
    Edit(static_cast<float>(answer + 1));
    platform::Image.Asked.clear();
    platform::QueueFileAnswer(path);
    platform::QueueAnswer(answer);
    platform::RunMenuCommand(platform::kCommandSave);
    ASSERT_EQ(platform::Image.Asked.size(), 1u);
    EXPECT_EQ(platform::Image.Asked[0].Text, "Файл "_sc + path + " уже есть. Записать поверх него?"_sc);
    EXPECT_EQ(testing_support::ReadShell(path).InternalPressure, answer == platform::kAnswerYes ? 2 : 9);
    EXPECT_EQ(Work.Modified, answer != platform::kAnswerYes);
  }
}

// The recovery copy follows the unsaved state; a copy left by a run that
// died is offered at start-up, one whose run still lives is not.
TEST_F(Program, TheRecoveryCopyOutlivesOnlyARunThatDied) {
  Edit(2.5f);
  EXPECT_FALSE(FileExists(Work.RecoveryPath));  // written when the program waits
  platform::MenuBar.IdleHook();
  ASSERT_TRUE(FileExists(Work.RecoveryPath));
  EXPECT_EQ(ReadFile(Work.RecoveryPath).substr(0, 19), "Brelmora recovery\n\n");
  app::UndoEdit();
  platform::MenuBar.IdleHook();
  EXPECT_FALSE(FileExists(Work.RecoveryPath));  // back at the start: nothing unsaved

  struct Row { bool alive; int answer; float pressure; bool copyStays; };
  const Row rows[] = {{false, platform::kAnswerYes, 6.5f, false},
                      {false, platform::kAnswerNo, 0.2f, false},
                      {true, platform::kAnswerYes, 0.2f, true}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.answer + 10 * r.alive);
    app::ResetShellModel(Shell);
    int ready[2], go[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(go), 0);
    const pid_t child = fork();
    if (child == 0) {  // another run: edits, writes its copy, then dies or waits
      app::StartSession(folder_ + "/other.spw");
      Edit(6.5f);
      platform::MenuBar.IdleHook();
      char c = 0;
      if (write(ready[1], "w", 1) == 1 && r.alive && read(go[0], &c, 1) < 0) c = 1;
      _exit(0);
    }
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    if (!r.alive) waitpid(child, nullptr, 0);
    app::StartSession("");
    platform::Image.Asked.clear();
    platform::QueueAnswer(r.answer);
    EXPECT_EQ(app::OfferRecovery(), r.answer == platform::kAnswerYes && !r.alive);
    EXPECT_EQ(Shell.InternalPressure, r.pressure);
    EXPECT_EQ(platform::Image.Asked.size(), r.alive ? 0u : 1u);
    if (r.pressure == 6.5f) {
      EXPECT_EQ(platform::Image.Title, "other.spw* — Brelmora (RU)");
      EXPECT_EQ(Work.FilePath, folder_ + "/other.spw");
    }
    int copies = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder_ + "/state/brelmora"))
      copies += e.path().extension() == ".spw" && e.path() != Work.RecoveryPath;
    EXPECT_EQ(copies, r.copyStays ? 1 : 0);
    if (r.alive) {
      ASSERT_EQ(write(go[1], "g", 1), 1);
      waitpid(child, nullptr, 0);
    }
    for (int fd : {ready[0], ready[1], go[0], go[1]}) close(fd);
  }
}

}  // namespace
