// The keyboard file chooser and the directory search under it, in a
// temporary folder of its own.
#include <unistd.h>

#include <array>
#include <filesystem>
#include <set>
#include <string>

#include "menu/menu_fixture.h"
#include "platform/dir_search.h"
#include "menu/file_browser.h"
#include "support/run_program.h"

namespace {

using menutest::MenuTest;
using platform::Browser;
using platform::VirtualKey;

struct Seen {
  int Row = 0, Column = 0, TopRow = 0, Mode = -1, Count = -1;
};
Seen seen;

void RecordBrowser() {
  ++menutest::exhausted;
  seen = Seen{Browser.Row, Browser.Column, Browser.TopRow, Browser.Mode, Browser.Count};
}

std::string Cwd() { return std::filesystem::current_path().string(); }

void Touch(const std::string& name, const std::string& text = "") { testing_support::WriteFile(name, text); }

class FileBrowserTest : public MenuTest {
 protected:
  void SetUp() override {
    MenuTest::SetUp();
    platform::Image.InputExhaustedHook = RecordBrowser;
    seen = Seen{};
    saved_ = Cwd();
    folder_ = std::filesystem::canonical(testing_support::MakeTempFolder()).string();
    ASSERT_EQ(chdir(folder_.c_str()), 0);
  }
  void TearDown() override {
    ASSERT_EQ(chdir(saved_.c_str()), 0);
    std::filesystem::remove_all(folder_);
  }
  std::string saved_, folder_;
};

// Kind 0 finds files, 1 folders (with ..), 2 both; extensions match
// whatever their case.
TEST_F(FileBrowserTest, SearchMatchesExtensionsWhateverTheirCase) {
  Touch("TANK1.SPW");
  Touch("tank2.spw");
  Touch("notes.txt");
  std::filesystem::create_directory("sub.spw");
  auto find = [](int kind, const char* pattern) {
    std::set<std::string> found;
    platform::FindResult r;
    for (platform::Drv.DrvFindFirst(kind, pattern, r); r.Attributes != -1; platform::Drv.DrvFindNext(r))
      found.insert(r.FullName + (r.Attributes == platform::kAttrDirectory ? "/" : "|" + r.Name));
    return found;
  };
  EXPECT_EQ(find(0, "*.spw"), (std::set<std::string>{"TANK1.SPW|TANK1", "tank2.spw|tank2"}));
  EXPECT_EQ(find(1, "*.*"), (std::set<std::string>{"../", "sub.spw/"}));
  EXPECT_EQ(find(2, "*.SPW").size(), 3u);
  EXPECT_TRUE(find(0, "*.dxf").empty());
}

// Keys typed into a list of nine files (or one), the input then running
// out: where the selection stands. In the keys \1 is Down, \2 Right, \3 Left.
TEST_F(FileBrowserTest, ArrowsAndTabMoveTheSelectionWithinTheList) {
  struct Row { const char* Name; int Files; std::string Keys; int Row, Column, TopRow, Mode, Count; };
  const int files = platform::kBrowseFiles;
  const Row kRows[] = {
      {"nine files make two rows; down reaches the second", 9, "\1", 2, 1, 1, files, 9},
      {"there is no third row", 9, "\1\1\1", 2, 1, 1, files, 9},
      {"right stops at column eight", 9, std::string(10, '\2'), 1, 8, 1, files, 9},
      {"left stops at column one", 9, std::string(10, '\2') + std::string(10, '\3'), 1, 1, 1, files, 9},
      {"tab twice: back to the files at the first entry", 9, "\2\1\t\t", 1, 1, 1, files, 9},
      {"tab: the folders, only ..", 9, "\t", 1, 1, 1, platform::kBrowseFolders, 1},
      {"enter past the last entry is ignored", 1, "\2\r", 1, 2, 1, files, 1},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.Name);
    for (int i = 1; i <= r.Files; ++i) Touch("f" + std::to_string(i) + ".spw");
    for (char c : r.Keys)
      if (c == '\1' || c == '\2' || c == '\3')
        Key(c == '\1' ? VirtualKey::Down : c == '\2' ? VirtualKey::Right : VirtualKey::Left);
      else
        Type(std::string(1, c));
    menutest::exhausted = 0;
    EXPECT_EQ(platform::FileBrowser(false, "*.spw"), "");
    EXPECT_EQ(menutest::exhausted, 1);
    EXPECT_EQ((std::array{seen.Row, seen.Column, seen.TopRow, seen.Mode, seen.Count}),
              (std::array{r.Row, r.Column, r.TopRow, r.Mode, r.Count}));
    for (const auto& e : std::filesystem::directory_iterator(folder_)) std::filesystem::remove(e);
  }
}

TEST_F(FileBrowserTest, EntriesAreSortedCapitals) {
  Touch("b.spw");
  Touch("Zed.spw");
  Touch("a.spw");
  Type("\x1b");
  platform::FileBrowser(false, "*.spw");
  ASSERT_EQ(Browser.Count, 3);
  EXPECT_EQ((std::array{Browser.Shown[1], Browser.Shown[2], Browser.Shown[3], Browser.Real[3]}),
            (std::array<std::string, 4>{"A", "B", "ZED", "Zed"}));
}

TEST_F(FileBrowserTest, EscGivesNothingAndKeepsTheFolder) {
  for (int i = 1; i <= 9; ++i) Touch("f" + std::to_string(i) + ".spw");
  std::filesystem::create_directory("sub");
  Type("\t");
  Key(VirtualKey::Right);
  Type("\x1b");
  EXPECT_EQ(platform::FileBrowser(false, "*.spw"), "");
  EXPECT_EQ(Cwd(), folder_);
  EXPECT_EQ(menutest::exhausted, 0);
}

TEST_F(FileBrowserTest, EnterOnDotDotGoesToTheParent) {
  std::filesystem::create_directory("sub");
  ASSERT_EQ(chdir("sub"), 0);
  Type("\t\r");
  platform::FileBrowser(false, "*.spw");
  EXPECT_EQ(Cwd(), folder_);
  EXPECT_EQ(seen.Mode, platform::kBrowseFolders);  // browsing went on
  EXPECT_EQ(seen.Count, 2);                       // ".." and SUB
  EXPECT_EQ(Browser.Shown[1] + "|" + Browser.Shown[2], "..|SUB");
}

TEST_F(FileBrowserTest, EnterOnAFolderEntersItAndAFileThereIsChosen) {
  std::filesystem::create_directory("Data");
  Touch("Data/Tank1.SPW");
  Type("\t");
  Key(VirtualKey::Right);
  Type("\r\t\r");
  EXPECT_EQ(platform::FileBrowser(false, "*.spw"), "Tank1");
  EXPECT_EQ(Cwd(), folder_ + "/Data");
  EXPECT_EQ(Browser.Shown[1], "TANK1");
}

// In the wide list a capital name shows under a lower-case pattern with its
// description (the first line, cut to 34 characters), and is returned as it is.
TEST_F(FileBrowserTest, CapitalNameListedWithItsDescriptionAndReturnedAsItIs) {
  Touch("TANK1.SPW", "Tank one\r\n");
  Touch("long.spw", std::string(50, 'x') + "\n");
  Touch("other.txt");
  Type("\x1b");
  platform::FileBrowser(true, "*.spw");
  ASSERT_EQ(Browser.Count, 2);
  EXPECT_EQ(Browser.Columns, 2);
  EXPECT_EQ((std::array{Browser.Shown[1], Browser.Description[1], Browser.Shown[2], Browser.Description[2]}),
            (std::array<std::string, 4>{"LONG", std::string(34, 'x'), "TANK1", "Tank one"}));
  Key(VirtualKey::Right);
  Type("\r");
  EXPECT_EQ(platform::FileBrowser(true, "*.spw"), "TANK1");
}

TEST_F(FileBrowserTest, ListStopsAt200) {
  for (int i = 0; i < 210; ++i) Touch("n" + std::to_string(1000 + i) + ".spw");
  Type("\x1b");
  platform::FileBrowser(false, "*.spw");
  EXPECT_EQ(Browser.Count, 200);
}

// Names of six to eight characters stay apart at the usual window widths:
// no stroke comes near the boundary of two columns.
TEST_F(FileBrowserTest, ColumnsMakeRoomForTheLongestName) {
  for (const char* n : {"CAPSULE2", "DOME_A", "TANK1", "SPHERE88", "CONE_B12", "CYLIN_7", "TORUS_X",
                        "LID_AB", "BOTTLE_1", "NOZZLE9"})
    Touch(std::string(n) + ".spw");
  for (int width : {1280, 1920}) {
    SetUpScreen(width, width == 1280 ? 1024 : 1080);
    platform::Image.InputExhaustedHook = RecordBrowser;
    platform::FileBrowser(false, "*.spw");
    const int l = gfx::TextLineStep, top = gfx::Layout.MenuStripTop - 2;
    ASSERT_GE(Browser.Columns, 5) << width;
    const std::uint32_t background = platform::PictureColour(width - 1, top + 2 * l);
    for (int c = 1; c < Browser.Columns; ++c)
      for (int x = c * Browser.ColumnWidth - 3; x <= c * Browser.ColumnWidth + 5; ++x)
        for (int y = top + 2 * l - 1 - gfx::TextHeight; y <= top + 3 * l + 1; ++y)
          ASSERT_EQ(platform::PictureColour(x, y), background) << width << " column " << c << " x " << x;
  }
}

}  // namespace
