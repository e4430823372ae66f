// Path splitting, the file dialog call and the New, Open and Save flows of
// the menu bar.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/driver.h"
#include "platform/image/image_driver.h"
#include "platform/menu_bar.h"
#include "platform/path_names.h"

using namespace platform;

namespace {

// Each row: the path, its parts, and the path without its extension.
TEST(SplitPath, FolderNameAndExtension) {
  struct Row { std::string path, folder, name, extension, stem; };
  const Row rows[] = {
      {"C:\\data\\shell.spw", "C:\\data\\", "shell", ".spw", "C:\\data\\shell"},  // the separator and the dot kept
      {"shell", "", "shell", ".", "shell"},                                         // no dot: a bare one
      {"/home/u/shells/tank.spw", "/home/u/shells/", "tank", ".spw", "/home/u/shells/tank"},
      {"A:TANK.SPW", "A:", "TANK", ".SPW", "A:TANK"},
      {std::string("d\\a.s p\0w ", 10), "d\\", "a", ".spw", "d\\a"},  // blanks and zeros dropped
      {"/a/b.tar.spw", "/a/", "b.tar", ".spw", "/a/b.tar"},                 // only the last dot
      {"", "", "", ".", ""},
      {"/home/u/v1.2/tank", "/home/u/v1.2/", "tank", ".", "/home/u/v1.2/tank"},  // a dot in a folder
  };
  for (const Row& r : rows) {
    const PathParts p = SplitPath(r.path);
    EXPECT_EQ(p.Folder + "|" + p.Name + "|" + p.Extension, r.folder + "|" + r.name + "|" + r.extension) << r.path;
    EXPECT_EQ(PathWithoutExtension(r.path), r.stem) << r.path;
  }
}

class Flows : public ::testing::Test {
 protected:
  static inline std::vector<std::string> calls;
  void SetUp() override {
    InstallImageDriver(320, 240);
    calls.clear();
    MenuBar.NewHook = [] { calls.push_back("new"); };
    MenuBar.LoadHook = [](const std::string& p) { calls.push_back("load " + p); };
    MenuBar.SaveHook = [](const std::string& p) {
      calls.push_back("save " + p);
      return true;
    };
    MenuBar.DataExtension = "spw";
  }
};

// The dialog gives the chosen path; nothing prepared is a cancel; a path
// longer than 260 characters is refused.
TEST_F(Flows, FileDialogGivesTheChosenPathUpTo260Characters) {
  std::string out = "old";
  QueueFileAnswer("/tmp/a.spw");
  EXPECT_TRUE(FileDialog(out, "spw", true));
  EXPECT_EQ(out, "/tmp/a.spw");
  EXPECT_FALSE(FileDialog(out, "spw", false));
  EXPECT_EQ(out, "");
  EXPECT_EQ(Image.Dialogs, (std::vector<std::string>{"open spw", "save spw"}));
  QueueFileAnswer("/" + std::string(259, 'a') + ".spw");
  EXPECT_FALSE(FileDialog(out, "spw", true));
  EXPECT_EQ(out, "");
  QueueFileAnswer("/" + std::string(255, 'a') + ".spw");
  EXPECT_TRUE(FileDialog(out, "spw", true));
  EXPECT_EQ(out.size(), 260u);
}

// The menu bar's file commands: the questions, the dialogs and the hooks
// they run, for each way the user answers. LeaveHook decides first whether
// the work may be left; its default asks the old save prompt.
TEST_F(Flows, FileCommandsAskOpenDialogsAndRunTheirHooks) {
  struct Row {
    std::vector<int> commands;
    int answer;  // to "Save file?"; -1: none asked
    std::vector<std::string> files, calls, dialogs;
    bool stay = false;  // LeaveHook keeps the work
  };
  const Row rows[] = {
      {{kCommandNew}, 0, {}, {"new"}, {}},
      {{kCommandNew}, 1, {"/data/old.spw"}, {"save /data/old", "new"}, {"save spw"}},
      {{kCommandNew}, 1, {""}, {"new"}, {"save spw"}},  // the save prompt's dialog cancelled
      {{kCommandOpen}, 0, {"C:\\data\\shell.spw"}, {"new", "load C:\\data\\shell"}, {"open spw"}},
      {{kCommandOpen}, 0, {""}, {}, {"open spw"}},
      {{kCommandOpen}, 1, {"/tmp/old.spw", "/tmp/New.SPW"}, {"save /tmp/old", "new", "load /tmp/New"},
       {"save spw", "open spw"}},
      {{kCommandSave}, -1, {"/home/u/tank.txt"}, {"save /home/u/tank"}, {"save spw"}},
      {{kCommandSave}, -1, {""}, {}, {"save spw"}},
      {{kCommandUndo, kCommandRedo}, -1, {}, {"undo", "redo"}, {}},
      {{kCommandNew, kCommandOpen}, -1, {"/d/t.spw"}, {"leave 0", "leave 1"}, {}, true},
  };
  for (const Row& r : rows) {
    SetUp();
    MenuBar.UndoHook = [] { calls.push_back("undo"); };
    MenuBar.RedoHook = [] { calls.push_back("redo"); };
    if (r.stay) MenuBar.LeaveHook = [](LeaveReason why) {
      calls.push_back("leave " + std::to_string(why));
      return false;
    };
    if (r.answer >= 0) QueueYesNo(r.answer == 1);
    for (const std::string& f : r.files) QueueFileAnswer(f);
    for (int c : r.commands) RunMenuCommand(c);
    SCOPED_TRACE(r.commands.front());
    EXPECT_EQ(calls, r.calls);
    EXPECT_EQ(Image.Dialogs, r.dialogs);
    ASSERT_EQ(Image.Asked.size(), r.answer >= 0 ? 1u : 0u);
    if (r.answer >= 0) {
      EXPECT_EQ(Image.Asked[0].Text + "|" + Image.Asked[0].Caption, "Save file?|Edited");
      EXPECT_TRUE(Image.Asked[0].QuestionIcon);
    }
  }
}

}  // namespace
