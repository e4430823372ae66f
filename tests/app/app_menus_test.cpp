// The data-entry menus driven by keys on the image driver.
#include <gtest/gtest.h>

#include "app/framework.h"
#include "app/app_menus.h"
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
};

using app::Shell;

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

}  // namespace
