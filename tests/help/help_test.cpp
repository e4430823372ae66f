// The help pages on the image driver: navigation, languages, the line
// width and the message for a missing guide.
#include <unistd.h>

#include <cstdio>
#include <set>
#include <string>

#include "help/app_pages.h"
#include "help/help.h"
#include "menu/menu_fixture.h"

namespace {

using menutest::MenuTest;

// What the screen showed when the queued keys ran out.
std::string promptAtEnd;
std::uint64_t pictureAtEnd = 0;

std::uint64_t PictureHash() {
  std::uint64_t h = 1469598103934665603ull;
  for (int y = 0; y < platform::PictureHeight(); ++y)
    for (int x = 0; x < platform::PictureWidth(); ++x)
      h = (h ^ platform::PictureColour(x, y)) * 1099511628211ull;
  return h;
}

void RecordEnd() {
  ++menutest::exhausted;
  promptAtEnd = menu::M.Prompts[0];
  pictureAtEnd = PictureHash();
}

class Help : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    platform::Image.InputExhaustedHook = RecordEnd;
    promptAtEnd.clear();
    pictureAtEnd = 0;
  }
};

const std::string kNext = " Нажмите клавишу: пробел - дальше, 1-назад, Esc-закончить"_sc;
const std::string kFirst = " Нажмите клавишу: пробел - дальше, Esc-закончить"_sc;
const std::string kLast = " Нажмите клавишу: 1-назад, Esc-закончить"_sc;
const std::string kAnyKey = " Нажмите любую клавишу"_sc;

// The eight pages on working with the program: the blank goes on, "1"
// goes back, Esc ends on any page and any key on the last; the pages can
// start elsewhere (F1 in the cursor loop starts at page 6).
TEST_F(Help, InterfacePagesNavigation) {
  std::uint64_t page[9] = {};
  for (int p = 1; p <= 8; ++p) {
    Type(std::string(p - 1, ' '));
    help::InterfacePages();  // the input runs out on page p
    page[p] = pictureAtEnd;
    EXPECT_EQ(promptAtEnd, p == 1 ? kFirst : p == 8 ? kLast : kNext);
  }
  struct Row { std::string keys; int first, shown; };  // shown 0: ended before the input ran out
  const Row rows[] = {{"1", 1, 1},        {"x", 1, 2},         {"   1", 1, 3}, {"       1", 1, 7},
                      {"       q", 1, 0}, {"  \x1b", 1, 0},    {"\x1b", 1, 0}, {"", 6, 6},
                      {"", 9, 8}};
  for (const Row& r : rows) {
    const int before = menutest::exhausted;
    Type(r.keys);
    help::InterfacePages(r.first);
    EXPECT_EQ(menutest::exhausted - before, r.shown == 0 ? 0 : 1) << r.keys;
    EXPECT_EQ(r.shown > 0 ? pictureAtEnd : 0, r.shown > 0 ? page[r.shown] : 0) << r.keys;
    EXPECT_EQ(menu::M.Prompts[0], kAnyKey);
  }
}

TEST_F(Help, KeySummaryInThreeLanguagesAndAboutTheSystem) {
  std::uint64_t shown[3] = {};
  for (int language : {0, 1, 2, 7}) {  // anything else is Russian
    SCOPED_TRACE(language);
    gfx::LanguageIndex = language;
    Type("k");
    help::KeySummaryPage();
    EXPECT_EQ(menu::M.Prompts[0], language % 7 == 0 ? kAnyKey : "Press any key");
    if (language < 3) shown[language] = PictureHash();
  }
  EXPECT_EQ(PictureHash(), shown[0]);
  EXPECT_EQ(std::set(shown, shown + 3).size(), 3u);  // three different pages
  const std::uint64_t russian = shown[0];

  // The application's keys come under the framework's.
  help::Slots.AppKeySummaryHook = help::AppKeySummary;
  Type("k");
  help::KeySummaryPage();
  EXPECT_NE(PictureHash(), russian);
  Type("ab");  // the page about the system waits for one key too
  help::AboutSystemPage();
  EXPECT_EQ(menu::M.Prompts[0], kAnyKey);
  EXPECT_EQ(platform::Drv.DrvReadKey(), 'b');
  EXPECT_EQ(menutest::exhausted, 0);
}

// The rightmost lit pixel of the band above the current baseline.
int RightmostLit() {
  const int top = gfx::K.WindowTop + help::Help.Y - help::Help.Pitch - 2;
  const int bottom = gfx::K.WindowTop + help::Help.Y + 2;
  const std::uint32_t background = platform::ColourValue(0);
  int right = -1;
  for (int y = top; y <= bottom; ++y)
    for (int x = gfx::K.WindowLeft; x < gfx::K.WindowLeft + gfx::Layout.PictureWidth - 8; ++x)
      if (platform::PictureColour(x, y) != background && x > right) right = x;
  return right;
}

TEST_F(Help, SixtyCharacterLineTakesSixtyOf68) {
  help::HelpLayout();
  help::HelpLine("H");
  const int one = RightmostLit();
  help::HelpLayout();
  help::HelpLine(std::string(60, 'H'));
  const int sixty = RightmostLit();
  const int p = help::Help.Pitch;
  ASSERT_GT(p, 0);
  EXPECT_EQ(sixty - one, 59 * p);
  const int left = gfx::K.WindowLeft + help::Help.Margin;
  EXPECT_GT(sixty, left + 59 * p);
  EXPECT_LE(sixty, left + 60 * p);
  EXPECT_LE(60 * p, help::Help.BlockWidth * 60 / 68);

  help::HelpLayout();
  help::HelpLine(std::string(70, 'H'));  // longer than a line: past the block
  EXPECT_GT(RightmostLit(), left + help::Help.BlockWidth);
}

TEST_F(Help, MissingGuideNamesTheFullPathInPlainText) {
  const std::string name = "NO_SUCH_GUIDE.HTM";
  const std::string path = help::ProgramFolder() + name;
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path[0], '/');
  Type("k");
  help::OpenHtmlHelp(name);
  EXPECT_EQ(menu::M.Prompts[0], kAnyKey);
  EXPECT_TRUE(platform::Image.OpenedDocuments.empty());
  EXPECT_EQ(gfx::TextMode, 0);
  const std::uint64_t shown = PictureHash();

  help::HelpLayout();
  gfx::TextMode = 2;
  help::HelpLine(std::string("  Не найден файл "_sc) + path);
  gfx::TextMode = 0;
  menu::PromptLine(0, kAnyKey);
  EXPECT_EQ(PictureHash(), shown);
  help::HelpLayout();  // the backslashes of a path are drawn in that plain mode
  gfx::TextMode = 2;
  help::HelpLine("\\\\");
  gfx::TextMode = 0;
  EXPECT_GT(RightmostLit(), gfx::K.WindowLeft + help::Help.Margin);
}

// The guide opens with the system's program; where there is none, the
// prompt line says so and gives the guide's path.
TEST_F(Help, PresentGuideOpensWithTheSystemOrItsPathIsGiven) {
  const std::string name = "HELP_TEST_GUIDE.HTM";
  const std::string path = help::ProgramFolder() + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fclose(f);
  help::OpenHtmlHelp(name);
  EXPECT_EQ(platform::Image.OpenedDocuments, (std::vector<std::string>{path}));
  EXPECT_EQ(menutest::exhausted, 0);
  platform::Image.DocumentsOpen = false;
  Type("k");
  help::OpenHtmlHelp(name);
  std::remove(path.c_str());
  EXPECT_EQ(menu::M.Prompts[0], "Нет программы для HTML. Руководство: "_sc + path);
  EXPECT_EQ(menutest::exhausted, 0);
}

// The application's description: the blank goes on, "1" goes back, Esc
// leaves any page and another key the last (second) one.
TEST_F(Help, ApplicationDescriptionNavigation) {
  std::uint64_t page[3] = {};
  for (int p = 1; p <= 2; ++p) {
    Type(std::string(p - 1, ' '));
    help::AppDescriptionPages();  // the input runs out on page p
    page[p] = pictureAtEnd;
    EXPECT_EQ(promptAtEnd, kNext);
  }
  EXPECT_NE(page[1], page[2]);
  for (auto [keys, shown] : {std::pair{"1", 1}, {" 1", 1}, {" x", 0}}) {
    const int before = menutest::exhausted;
    pictureAtEnd = 0;
    Type(keys);
    help::AppDescriptionPages();
    EXPECT_EQ(menutest::exhausted - before, shown == 0 ? 0 : 1) << keys;
    EXPECT_EQ(pictureAtEnd, page[shown]) << keys;
  }
}

}  // namespace
