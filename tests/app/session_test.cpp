// The whole program on the image driver, in this process: the steps that
// undo and redo edits, the caption, the questions before the work is left,
// the recovery copy, and what the window does on a menu-bar command.
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
#include "graphics/lang.h"
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
