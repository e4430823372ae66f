// The data-entry menus driven by keys on the image driver.
#include <gtest/gtest.h>

#include "app/framework.h"
#include "app/app_menus.h"
#include "app/picture.h"
#include "app/picture_fit.h"
#include "app/shell_model.h"
#include "graphics/kernel.h"
#include "graphics/text.h"
#include "menu/menu.h"
#include "platform/codepage.h"
#include "platform/image/image_driver.h"

namespace {

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
  static void Type(const std::string& keys) { platform::QueueText(keys); }
};

using app::Shell;

TEST_F(AppMenus, NewSchemeAnsweredYesBuildsACylinder) {
  Type("Y4\r500\r500\r2\r");
  menu::KeyCode key = 0;
  app::NewSchemeMenu(key);
  EXPECT_EQ(Shell.SectionCount, 5);
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(Shell.SectionRadius[i], 500);
    EXPECT_EQ(Shell.SectionHeight[i], 500.0f * (i - 1));
    EXPECT_EQ(Shell.GeneratrixKind[i], 0);
    EXPECT_EQ(Shell.Thickness[i], 2);
  }
  EXPECT_EQ(Shell.InternalPressure, 0);
  EXPECT_EQ(Shell.Overload, 0);
  EXPECT_EQ(Shell.ContourStep, 50);
  // It ends with a fit: fitting again changes nothing.
  const app::ShellModel fitted = Shell;
  ASSERT_TRUE(app::FitPictureScales(app::WindowAspect()));
  EXPECT_EQ(Shell.PictureScale, fitted.PictureScale);
  EXPECT_EQ(Shell.DiagramStep, fitted.DiagramStep);
  EXPECT_EQ(Shell.StressScale, fitted.StressScale);
  EXPECT_NE(fitted.PictureScale, 10.0f / 500);
  EXPECT_EQ(redraws, 1);
  EXPECT_EQ(key, menu::kKeyComplete);
}

TEST_F(AppMenus, NewSchemeAnsweredOtherwiseChangesNothing) {
  Type("N");
  menu::KeyCode key = 0;
  app::NewSchemeMenu(key);
  EXPECT_EQ(Shell.SectionCount, 3);
  EXPECT_EQ(Shell.GeneratrixKind[1], 1);
  EXPECT_EQ(menu::M.Prompts[0], " Новая оболочка? (Y/N)"_sc);  // the current language only
}

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
    Type(r.keys);
    menu::KeyCode key = 0;
    r.Menu(key);
    EXPECT_EQ(r.Value(), r.kept);
    EXPECT_EQ(menu::M.Prompts[1], gfx::ScreenFromUtf8(r.message));
  }
  Type("y48\r500\r500\r2\r");
  menu::KeyCode key = 0;
  app::NewSchemeMenu(key);
  EXPECT_EQ(Shell.SectionCount, 49);
}

TEST_F(AppMenus, SectionBeyondTheLastIsAppendedOnYes) {
  Type("15\rY\x1b");
  menu::KeyCode key = 0;
  app::SectionMenu(key);
  EXPECT_EQ(key, 27);
  EXPECT_EQ(Shell.SectionCount, 4);
  EXPECT_EQ(Shell.SectionHeight[4], 2 * 200.0f - 100.0f);
  EXPECT_EQ(Shell.SectionRadius[4], Shell.SectionRadius[3]);
  EXPECT_EQ(Shell.GeneratrixKind[4], 0);
  EXPECT_EQ(Shell.CurrentIndex, 4);
}

TEST_F(AppMenus, SectionBeyondTheLastOnNoShowsTheLast) {
  Type("15\rN2" "77\r\r");
  menu::KeyCode key = 0;
  app::SectionMenu(key);
  EXPECT_EQ(Shell.SectionCount, 3);
  EXPECT_EQ(Shell.CurrentIndex, 3);
  EXPECT_EQ(Shell.SectionRadius[3], 77);
  EXPECT_EQ(redraws, 2);
}

TEST_F(AppMenus, NoSectionBeyondTheCapacity) {
  Shell.SectionCount = 49;
  for (int i = 1; i <= 49; ++i) Shell.SectionHeight[i] = 10.0f * i;
  Type("1100\rY\x1b");
  menu::KeyCode key = 0;
  app::SectionMenu(key);
  EXPECT_EQ(Shell.SectionCount, 49);
  EXPECT_EQ(Shell.CurrentIndex, 49);
}

TEST_F(AppMenus, SectionNumberBelowOneIsRefused) {
  Shell.CurrentIndex = 2;
  Type("10\r1-4\r\x1b");
  menu::KeyCode key = 0;
  app::SectionMenu(key);
  EXPECT_EQ(Shell.CurrentIndex, 2);
}

TEST_F(AppMenus, ChangingALengthMovesTheSectionsAbove) {
  Type("4150\r\x1b");
  menu::KeyCode key = 0;
  app::SegmentMenu(key);
  EXPECT_EQ(Shell.SectionHeight[1], 0);
  EXPECT_EQ(Shell.SectionHeight[2], 150);
  EXPECT_EQ(Shell.SectionHeight[3], 250);
}

TEST_F(AppMenus, ASegmentNumberBeyondTheLastShowsTheLastWithoutARedraw) {
  Type("17\r\x1b");
  menu::KeyCode key = 0;
  app::SegmentMenu(key);
  EXPECT_EQ(Shell.CurrentIndex, 2);
  EXPECT_EQ(redraws, 0);
}

TEST_F(AppMenus, ItemNineOnlyForArcs) {
  // An arc: item 9 edits the generatrix radius.
  Type("9250\r\x1b");
  menu::KeyCode key = 0;
  app::SegmentMenu(key);
  EXPECT_EQ(Shell.ArcRadius[1], 250);
  // Straight: the menu has eight items and ignores 9.
  Shell.GeneratrixKind[1] = 0;
  Type("9\x1b");
  app::SegmentMenu(key);
  EXPECT_EQ(key, 27);
  EXPECT_EQ(Shell.ArcRadius[1], 250);
}

TEST_F(AppMenus, TheGeneratrixSubmenuSetsTheKind) {
  Type("83" "1" "\x1b" "\x1b");
  menu::KeyCode key = 0;
  app::SegmentMenu(key);
  EXPECT_EQ(Shell.GeneratrixKind[1], 0);
  EXPECT_EQ(redraws, 2);
  Type("82" "]" "\x1b");
  app::SegmentMenu(key);
  EXPECT_EQ(Shell.GeneratrixKind[1], 1);
}

TEST_F(AppMenus, LoadsMenuStoresItsValues) {
  Type("1" "0,35\r" "7" "2.6\r" "8" "70000\r" "q");
  menu::KeyCode key = 0;
  app::LoadsMenu(key);
  EXPECT_EQ(key, 'q');
  EXPECT_FLOAT_EQ(Shell.InternalPressure, 0.35f);
  EXPECT_EQ(Shell.SupportSection, 3);
  EXPECT_EQ(Shell.YoungModulus, 70000);
  EXPECT_EQ(redraws, 3);
}

TEST_F(AppMenus, DesignCheckMenuSetsTheAllowableAndTheRule) {
  Type("1" "160\r" "3" "2" "3" "\x1b");
  menu::KeyCode key = 0;
  app::DesignCheckMenu(key);
  EXPECT_EQ(Shell.AllowableStress, 160);
  EXPECT_EQ(Shell.EquivalenceRule, app::kTresca);
  EXPECT_EQ(redraws, 4);
  EXPECT_EQ(key, 27);
}

TEST_F(AppMenus, ImageMenuNineSwitchesTheAnalysisThePictureShows) {
  Type("9\x1b");
  menu::KeyCode key = 0;
  app::ImageMenu(key);
  EXPECT_EQ(app::PictureAnalysis, app::Analysis::Bending);
  EXPECT_EQ(menu::M.Items[9].Text, "Расчет: мембрана + изгиб"_sc);
  Type("9\x1b");
  app::ImageMenu(key);
  EXPECT_EQ(app::PictureAnalysis, app::Analysis::Membrane);
  EXPECT_EQ(menu::M.Items[9].Text, "Расчет: мембрана"_sc);
  EXPECT_EQ(redraws, 2);
}

TEST_F(AppMenus, EscInTheMainMenuIsReturnedAndCtrlZInASubmenuReachesTheFileMenu) {
  static int fileMenus = 0;
  fileMenus = 0;
  app::Slots.FileMenuHook = [](menu::KeyCode& k) {
    ++fileMenus;
    k = menu::kKeyEnd;
  };
  Type("\x1b");
  menu::KeyCode key = menu::kKeyComplete;
  app::AppMainMenu(key);
  EXPECT_EQ(key, 27);
  EXPECT_EQ(fileMenus, 0);
  Type("4\x1a");  // Ctrl-Z in the section menu
  key = menu::kKeyComplete;
  app::AppMainMenu(key);
  EXPECT_EQ(key, '~');
  EXPECT_EQ(fileMenus, 1);
  app::Slots.FileMenuHook = [](menu::KeyCode&) {};
}

}  // namespace
