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

TEST(SplitPath, WindowsPathKeepsSeparatorAndDot) {
  const PathParts p = SplitPath("C:\\data\\shell.spw");
  EXPECT_EQ(p.Folder, "C:\\data\\");
  EXPECT_EQ(p.Name, "shell");
  EXPECT_EQ(p.Extension, ".spw");
}

TEST(SplitPath, NameWithoutDotGetsBareDot) {
  const PathParts p = SplitPath("shell");
  EXPECT_EQ(p.Folder, "");
  EXPECT_EQ(p.Name, "shell");
  EXPECT_EQ(p.Extension, ".");
}

TEST(SplitPath, SlashAndColonAreSeparators) {
  PathParts p = SplitPath("/home/u/shells/tank.spw");
  EXPECT_EQ(p.Folder, "/home/u/shells/");
  EXPECT_EQ(p.Name, "tank");
  EXPECT_EQ(p.Extension, ".spw");
  p = SplitPath("A:TANK.SPW");
  EXPECT_EQ(p.Folder, "A:");
  EXPECT_EQ(p.Name, "TANK");
  EXPECT_EQ(p.Extension, ".SPW");
}

TEST(SplitPath, BlanksAndZerosInTheExtensionAreDropped) {
  const PathParts p = SplitPath(std::string("d\\a.s p\0w ", 10));
  EXPECT_EQ(p.Folder, "d\\");
  EXPECT_EQ(p.Name, "a");
  EXPECT_EQ(p.Extension, ".spw");
}

TEST(SplitPath, OnlyTheLastDotStartsTheExtension) {
  const PathParts p = SplitPath("/a/b.tar.spw");
  EXPECT_EQ(p.Folder, "/a/");
  EXPECT_EQ(p.Name, "b.tar");
  EXPECT_EQ(p.Extension, ".spw");
}

TEST(SplitPath, EmptyPath) {
  const PathParts p = SplitPath("");
  EXPECT_EQ(p.Folder, "");
  EXPECT_EQ(p.Name, "");
  EXPECT_EQ(p.Extension, ".");
}

class Flows : public ::testing::Test {
 protected:
  static inline std::vector<std::string> calls;
  void SetUp() override {
    InstallImageDriver(320, 240);
    calls.clear();
    MenuBar.NewHook = [] { calls.push_back("new"); };
    MenuBar.LoadHook = [](const std::string& p) { calls.push_back("load " + p); };
    MenuBar.SaveHook = [](const std::string& p) { calls.push_back("save " + p); };
    MenuBar.DataExtension = "spw";
  }
};

TEST_F(Flows, FileDialogGivesTheChosenPath) {
  std::string out = "old";
  QueueFileAnswer("/tmp/a.spw");
  EXPECT_TRUE(FileDialog(out, "spw", true));
  EXPECT_EQ(out, "/tmp/a.spw");
  EXPECT_FALSE(FileDialog(out, "spw", false));  // nothing prepared: a cancel
  EXPECT_EQ(out, "");
  EXPECT_EQ(Image.Dialogs, (std::vector<std::string>{"open spw", "save spw"}));
}

TEST_F(Flows, FileDialogRefusesAPathLongerThan260) {
  std::string out;
  QueueFileAnswer("/" + std::string(259, 'a') + ".spw");
  EXPECT_FALSE(FileDialog(out, "spw", true));
  EXPECT_EQ(out, "");
  QueueFileAnswer("/" + std::string(255, 'a') + ".spw");
  EXPECT_TRUE(FileDialog(out, "spw", true));
  EXPECT_EQ(out.size(), 260u);
}

TEST_F(Flows, NewAsksThenStartsNew) {
  QueueYesNo(false);
  RunMenuCommand(kCommandNew);
  EXPECT_EQ(calls, (std::vector<std::string>{"new"}));
  ASSERT_EQ(Image.Asked.size(), 1u);
  EXPECT_EQ(Image.Asked[0].Text, "Save file?");
  EXPECT_EQ(Image.Asked[0].Caption, "Edited");
}

TEST_F(Flows, OpenHandsFolderAndNameToLoadHook) {
  QueueYesNo(false);
  QueueFileAnswer("C:\\data\\shell.spw");
  RunMenuCommand(kCommandOpen);
  EXPECT_EQ(calls, (std::vector<std::string>{"new", "load C:\\data\\shell"}));
}

TEST_F(Flows, OpenAfterSavingFirst) {
  QueueYesNo(true);
  QueueFileAnswer("/tmp/old.spw");
  QueueFileAnswer("/tmp/New.SPW");
  RunMenuCommand(kCommandOpen);
  EXPECT_EQ(calls, (std::vector<std::string>{"save /tmp/old", "new", "load /tmp/New"}));
  EXPECT_EQ(Image.Dialogs, (std::vector<std::string>{"save spw", "open spw"}));
}

TEST_F(Flows, SaveHandsFolderAndNameToSaveHook) {
  QueueFileAnswer("/home/u/tank.txt");
  RunMenuCommand(kCommandSave);
  EXPECT_EQ(calls, (std::vector<std::string>{"save /home/u/tank"}));
  EXPECT_TRUE(Image.Asked.empty());
}

TEST_F(Flows, CancelledDialogsChangeNothing) {
  QueueFileAnswer("");
  RunMenuCommand(kCommandSave);
  QueueYesNo(false);
  QueueFileAnswer("");
  RunMenuCommand(kCommandOpen);
  QueueYesNo(true);
  QueueFileAnswer("");  // the save prompt's dialog, cancelled
  RunMenuCommand(kCommandNew);
  EXPECT_EQ(calls, (std::vector<std::string>{"new"}));
  EXPECT_EQ(Image.Dialogs, (std::vector<std::string>{"save spw", "open spw", "save spw"}));
}

}  // namespace
