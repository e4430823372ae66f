// Tests of the image driver: input order, exhaustion, mouse entries, the
// prepared answers, and the menu-bar commands both drivers share.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "platform/codepage.h"
#include "platform/driver.h"
#include "platform/image/image_driver.h"
#include "platform/menu_bar.h"
#include "platform/picture.h"

namespace platform {
namespace {

// What the hooks saw, in order.
std::vector<std::string> Calls;
void RecordExhausted() { Calls.push_back("exhausted"); }
void RecordNew() { Calls.push_back("new"); }
void RecordRedraw() { Calls.push_back("redraw"); }

class ImageDriver : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::BuildPalette();
    InstallImageDriver(200, 100);
    Image.InputExhaustedHook = RecordExhausted;
    // The menu-bar work the tests must not see run unasked.
    MenuBar.NewHook = RecordNew;
    MenuBar.RedrawHook = RecordRedraw;
    MenuBar.SaveHook = [](const std::string& p) { Calls.push_back("save " + p); return true; };
    Calls.clear();
  }
  static std::array<int, 3> Mouse(bool pointer = false) {
    int x = -1, y = -1, button = -1;
    (pointer ? Drv.DrvGetMousePos : Drv.DrvGetMouseEvent)(x, y, button);
    return {x, y, button};
  }
  static std::vector<int> ReadAll(int n) {
    std::vector<int> codes;
    for (int i = 0; i < n; ++i) codes.push_back(Drv.DrvReadKey());
    return codes;
  }
};

// --- Installation -----------------------------------------------------------

TEST_F(ImageDriver, ResetDriverAndMenuBarHaveHarmlessDefaults) {
  ResetPlatformDriver();
  EXPECT_EQ(Drv.DrvReadKey(), 27);
  EXPECT_FALSE(Drv.DrvKeyPressed());
  EXPECT_EQ(std::pair(Drv.DrvScreenWidth(), Drv.DrvScreenHeight()), std::pair(1, 1));
  EXPECT_TRUE(Drv.DrvMousePresent());
  FindResult found;
  found.Attributes = 0;
  Drv.DrvFindFirst(0, "*.spw", found);
  EXPECT_EQ(found.Attributes, -1);
  std::string path;
  EXPECT_FALSE(Drv.DrvFileDialog(true, "spw", path));
  Drv.DrvPoint(0, 0, 15);
  Drv.DrvLine(0, 0, 10, 10, 15);
  MenuBar.DataExtension = "xyz";  // the menu bar's too
  ResetMenuBar();
  EXPECT_EQ(MenuBar.MenuCommandHook, &RunMenuCommand);
  EXPECT_TRUE(MenuBar.DataExtension.empty());
  MenuBar.NewHook();
  MenuBar.LoadHook("a");
  EXPECT_TRUE(Calls.empty());
}

// --- Keys -----------------------------------------------------------------------

// Keys come out in their order; then each read of the exhausted input calls
// the hook and gives Escape.
TEST_F(ImageDriver, KeysComeOutInTheirOrderThenEscape) {
  QueueText("ab");
  QueueKey(VirtualKey::Up, false, true);
  QueueCharacter(26);
  QueueKey(VirtualKey::Left, true, true);  // no table entry: nothing
  QueueKey(VirtualKey::End, true, false);
  EXPECT_EQ(ReadAll(7), (std::vector<int>{'a', 'b', 0, 152, 26, 0, 117}));
  EXPECT_FALSE(Image.InputExhausted);
  EXPECT_TRUE(Calls.empty());
  EXPECT_EQ(Drv.DrvReadKey(), 27);
  EXPECT_TRUE(Image.InputExhausted);
  EXPECT_EQ(Calls, (std::vector<std::string>{"exhausted"}));
  EXPECT_EQ(Drv.DrvReadKey(), 27);
  EXPECT_EQ(Calls.size(), 2u);
}

// A program that ignores the Escape of exhausted input is ended at last. A
// driver installed afresh pictures 1280 × 1024 and ends the program with
// code 0 when its input runs out, or when a close is confirmed (no saving).
TEST_F(ImageDriver, ExhaustedInputOrAConfirmedCloseEndsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT({ for (;;) Drv.DrvReadKey(); }, ::testing::ExitedWithCode(kRunawayExitCode), "input exhausted");
  InstallImageDriver();
  EXPECT_EQ(std::pair(Drv.DrvScreenWidth(), Drv.DrvScreenHeight()), std::pair(1280, 1024));
  EXPECT_EXIT(Drv.DrvReadKey(), ::testing::ExitedWithCode(0), "");
  QueueCloseWindow();
  QueueYesNo(true);
  EXPECT_EXIT(Drv.DrvKeyPressed(), ::testing::ExitedWithCode(0), "");
}

TEST_F(ImageDriver, KeyPressedStopsAtTheFirstCode) {
  QueueMouseMove(10, 10);
  QueueCharacter('x');
  QueueMouseMove(50, 60);
  EXPECT_TRUE(Drv.DrvKeyPressed());
  EXPECT_EQ(Events.MouseX, 10);  // the move after the key is still waiting
  EXPECT_EQ(Image.Input.size(), 1u);
  EXPECT_EQ(Drv.DrvReadKey(), 'x');
  EXPECT_FALSE(Drv.DrvKeyPressed());
  EXPECT_EQ(std::pair(Events.MouseX, Events.MouseY), std::pair(50, 60));
  EXPECT_TRUE(Calls.empty());
}

// With nothing queued, KeyPressed stays false while the program draws; a
// program that only polls meets the exhausted input after the idle limit.
TEST_F(ImageDriver, IdlePollingEndsInExhaustionButDrawingIsNotIdle) {
  for (int i = 0; i < 3 * kIdlePollLimit; ++i) {
    Drv.DrvPoint(1, 1, i % 16);
    ASSERT_FALSE(Drv.DrvKeyPressed()) << i;
  }
  EXPECT_TRUE(Calls.empty());
  int polls = 0;
  while (!Drv.DrvKeyPressed()) ++polls;
  EXPECT_EQ(polls, kIdlePollLimit - 1);
  EXPECT_EQ(Drv.DrvReadKey(), 27);
  EXPECT_EQ(Calls, (std::vector<std::string>{"exhausted"}));
}

// --- Mouse ------------------------------------------------------------------------

TEST_F(ImageDriver, ClicksMovesAndWheel) {
  QueueMouseMove(3, 4);
  QueueLeftClick(30, 40);
  QueueRightClick(31, 41);
  QueueMiddleClick(1, 1, true);
  QueueMiddleClick(1, 1, false);
  for (int delta : {120, -120, 0}) QueueWheel(delta);
  EXPECT_EQ(Drv.DrvReadKey(), 32);
  EXPECT_EQ(Mouse(), (std::array{30, 40, 1}));
  EXPECT_EQ(Drv.DrvReadKey(), 13);
  EXPECT_EQ(Mouse(), (std::array{31, 41, 2}));
  EXPECT_EQ(ReadAll(5), (std::vector<int>{66, 0, 73, 0, 81}));
  EXPECT_TRUE(Calls.empty());
  EXPECT_EQ(Drv.DrvReadKey(), 27);
}

TEST_F(ImageDriver, PointerFollowsMovesAndSetMousePos) {
  int x = -1, y = -1;
  Drv.DrvClientOrigin(200, 100, x, y);
  EXPECT_EQ(std::pair(x, y), std::pair(0, 0));
  Drv.DrvSetMousePos(70, 80);
  EXPECT_EQ(Mouse(true), (std::array{70, 80, 0}));
  QueueMouseMove(12, 13);
  EXPECT_FALSE(Drv.DrvKeyPressed());
  EXPECT_EQ(Mouse(true), (std::array{12, 13, 0}));
  EXPECT_TRUE(Drv.DrvMousePresent());
  Drv.DrvHideMouse();
  Drv.DrvHideMouse();
  Drv.DrvShowMouse();
  EXPECT_EQ(Image.ShowCount, -1);
  for (int ms : {250, -5, 1000}) Drv.DrvDelay(ms);  // only the simulated clock advances
  EXPECT_EQ(Image.Milliseconds, 1250);
}

// --- Window side ---------------------------------------------------------------------

TEST_F(ImageDriver, PreparedAnswersAndRecords) {
  QueueYesNo(false);
  EXPECT_FALSE(Drv.DrvAskYesNo("Q", "C", true));
  EXPECT_TRUE(Drv.DrvAskYesNo("Q2", "C2", false));  // the default answer
  ASSERT_EQ(Image.Asked.size(), 2u);
  EXPECT_EQ(Image.Asked[0].Text, "Q");
  EXPECT_TRUE(Image.Asked[0].QuestionIcon);
  EXPECT_TRUE(Drv.DrvOpenDocument("VOD.HTM"));
  Image.DocumentsOpen = false;  // no program for it
  EXPECT_FALSE(Drv.DrvOpenDocument("VOD.HTM"));
  EXPECT_EQ(Image.OpenedDocuments, (std::vector<std::string>{"VOD.HTM"}));
  // Choices take the same answers; a cancel where there is no cancel button is a no.
  for (int a : {kAnswerCancel, kAnswerCancel, kAnswerNo}) QueueAnswer(a);
  EXPECT_EQ((std::array{Drv.DrvAskChoice("Q3", "C3", "y", "n", "c"), Drv.DrvAskChoice("Q4", "C4", "y", "n", ""),
                        Drv.DrvAskChoice("Q5", "C5", "y", "n", "c"), Drv.DrvAskChoice("Q6", "C6", "y", "n", "c")}),
            (std::array<int, 4>{kAnswerCancel, kAnswerNo, kAnswerNo, kAnswerYes}));  // the last: the default
  EXPECT_EQ(Image.Asked[2].Buttons, "y|n|c");
}

TEST_F(ImageDriver, ResizeAndWaitingGoThroughTheWindowProcedure) {
  // The redraw hook is the default of the resize hook.
  MenuBar.IdleHook = [] { Calls.push_back("idle"); };
  QueueResize(320, 200);
  QueueMouseMove(5, 6);
  Drv.DrvWaitEvent();  // the resize
  EXPECT_EQ(std::pair(Drv.DrvScreenWidth(), Drv.DrvScreenHeight()), std::pair(320, 200));
  Drv.DrvWaitEvent();  // the move
  EXPECT_EQ(Image.PointerX, 5);
  EXPECT_FALSE(Drv.DrvKeyPressed());
  Drv.DrvWaitEvent();  // nothing will come: a key waits, the Esc of exhausted input
  EXPECT_TRUE(Drv.DrvKeyPressed());
  EXPECT_EQ(Drv.DrvReadKey(), 27);
  EXPECT_EQ(Calls, (std::vector<std::string>{"idle", "redraw", "idle", "idle", "idle", "exhausted"}));
}

// --- Menu commands -------------------------------------------------------------------

// Unknown commands (100, 306, 200) do nothing.
TEST_F(ImageDriver, HelpItemsRunTheirHookThenRedraw) {
  MenuBar.HelpHooks[3] = [] { Calls.push_back("help 3"); };
  QueueMenuCommand(304);
  QueueMenuCommand(301);  // the default help hook asks and ignores
  QueueMenuCommand(100);
  QueueMenuCommand(306);
  QueueMenuCommand(200);
  EXPECT_FALSE(Drv.DrvKeyPressed());
  EXPECT_EQ(Calls, (std::vector<std::string>{"help 3", "redraw", "redraw"}));
  ASSERT_EQ(Image.Asked.size(), 1u);
  EXPECT_EQ(Image.Asked[0].Text, "Закончить работу?"_sc);
  EXPECT_EQ(Image.Asked[0].Caption, "Exit");
}

TEST_F(ImageDriver, CommandsGoThroughMenuCommandHookAndExitThroughTheDriversHook) {
  MenuBar.MenuCommandHook = [](int n) { Calls.push_back("command " + std::to_string(n)); };
  MenuBar.PostCloseHook = [] { Calls.push_back("close"); };
  QueueMenuCommand(103);
  QueueMenuCommand(7);
  EXPECT_FALSE(Drv.DrvKeyPressed());
  RunMenuCommand(kCommandExit);
  EXPECT_EQ(Calls, (std::vector<std::string>{"command 103", "command 7", "close"}));
}

// Exit from the menu and the window's close box both ask; a no keeps the
// program running.
TEST_F(ImageDriver, ExitAndCloseAnsweredNoKeepRunning) {
  QueueMenuCommand(kCommandExit);
  QueueCharacter('z');
  QueueYesNo(false);
  QueueCloseWindow();
  QueueYesNo(false);
  QueueCharacter('q');
  EXPECT_EQ(ReadAll(2), (std::vector<int>{'z', 'q'}));
  ASSERT_EQ(Image.Asked.size(), 2u);
  EXPECT_EQ(Image.Asked[0].Text, "                  Закончить работу?"_sc);
  EXPECT_EQ(Image.Asked[0].Caption, "Exit");
  EXPECT_FALSE(Image.Asked[0].QuestionIcon);
  EXPECT_FALSE(Image.ClosePosted);
  EXPECT_TRUE(Calls.empty());
}


}  // namespace
}  // namespace platform
