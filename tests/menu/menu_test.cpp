// Menus: the keys they return, the items, the buttons and their drawing.
#include <array>
#include <string>
#include <utility>

#include "graphics/numbers.h"
#include "menu_fixture.h"
#include "platform/codepage.h"
#include "platform/events.h"
#include "platform/menu_bar.h"

namespace {

using menu::KeyCode;
using menutest::MenuTest;

// A menu of a title, two text items and a number item.
void FillSmallMenu() {
  menu::SetTitleItem(0, "Проба;Test", 3, 4, 0);
  menu::SetTextItem(1, "Первый;First");
  menu::SetTextItem(2, "Второй;Second");
  menu::SetNumberItem(3, "Масштаб;Scale", 0.25f, 6, 3);
}

// The small menu shown and left with "1", its buttons in place.
void ShowSmallMenu() {
  FillSmallMenu();
  platform::QueueText("1");
  KeyCode key = 0;
  menu::RunMenu(3, key);
}

// What a menu of three items returns for the keys typed: digits beyond the
// count and zero are ignored; an edited number item returns its digit and
// keeps the new value, a refused input the old one; view keys and the grid
// key (X, ч) are consumed; Ctrl-Z goes to the view and comes back; other
// keys come back unchanged.
TEST_F(MenuTest, EachKeyIsReturnedConsumedOrEdited) {
  struct Row {
    std::string Typed;
    KeyCode Key;
    float Value;  // item 3 afterwards
    std::string ViewKeys;
    int GridDialogs;
  };
  const Row kRows[] = {
      {"59042", '2', 0.25f, "", 0},
      {"312,5\r", '3', 12.5f, "", 0},
      {"377\x1b" "1", '1', 0.25f, "", 0},
      {std::string("B,\x0b\xCAX\xF7") + "2", '2', 0.25f, "B,\x0b\xCA", 2},
      {"R\x1a", 26, 0.25f, "R\x1a", 0},
      {"\r", 13, 0.25f, "", 0},  {"\x1b", 27, 0.25f, "", 0}, {"[", '[', 0.25f, "", 0},
      {"]", ']', 0.25f, "", 0},   {"~", '~', 0.25f, "", 0},    {"F", 'F', 0.25f, "", 0},
      {"q", 'q', 0.25f, "", 0},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.Typed);
    viewKeys.clear();
    gridDialogs = 0;
    FillSmallMenu();
    Type(r.Typed);
    KeyCode key = 0;
    menu::RunMenu(3, key);
    EXPECT_EQ(key, r.Key);
    EXPECT_FLOAT_EQ(menu::GetItemValue(3), r.Value);
    EXPECT_EQ(menu::GetItemInt(3), static_cast<int>(r.Value));
    EXPECT_EQ(viewKeys, r.ViewKeys);
    EXPECT_EQ(gridDialogs, r.GridDialogs);
    EXPECT_EQ(menutest::exhausted, 0);
  }
}

TEST_F(MenuTest, ExtendedKeysGoToTheViewAndAreNotReturned) {
  FillSmallMenu();
  Key(platform::VirtualKey::PageUp);
  Key(platform::VirtualKey::Left, true, false);
  Type("1");
  KeyCode key = 0;
  menu::RunMenu(3, key);
  EXPECT_EQ(key, '1');
  EXPECT_EQ(scans, std::string("\x49\x73"));
}

TEST_F(MenuTest, NothingIsDrawnWhileKeysAreQueued) {
  FillSmallMenu();
  menu::M.KeyQueue = "1";
  const auto before = platform::Pic.Pixels;
  KeyCode key = 0;
  menu::RunMenu(3, key);
  EXPECT_EQ(key, '1');
  EXPECT_TRUE(platform::Pic.Pixels == before);
  // Without a queue the menu is drawn.
  Type("1");
  menu::RunMenu(3, key);
  EXPECT_FALSE(platform::Pic.Pixels == before);
}

TEST_F(MenuTest, AClickOnEachKindOfButtonGivesItsKey) {
  ShowSmallMenu();
  const auto& b = menu::M.Buttons;
  ASSERT_EQ(menu::M.ButtonCount, 1 + 9 + 12 + 9);
  auto click = [&](const menu::MenuButton& button) {
    ClickCentre(button);
    KeyCode k = 0;
    menu::MenuReadKey(k);
    return k;
  };
  EXPECT_EQ(click(b[0]), 13);  // title row
  for (int i = 1; i <= 9; ++i) EXPECT_EQ(click(b[i]), '0' + i);
  // F and P; / is a view key, B fits; arrow up, page up and page down.
  EXPECT_EQ((std::array{click(b[10]), click(b[11]), click(b[21]), click(b[22]), click(b[23]), click(b[24]),
                        click(b[30])}),
            (std::array<KeyCode, 7>{'F', 'P', '0', '0', 0, 0, 0}));
  EXPECT_EQ(viewKeys, "/B");
  EXPECT_EQ(scans, std::string("\x48\x49\x51"));
  // A click in the picture, outside every button, stays a blank.
  platform::QueueLeftClick(400, 300);
  KeyCode key = 0;
  menu::MenuReadKey(key);
  EXPECT_EQ(key, ' ');
}

TEST_F(MenuTest, AClickedButtonsSequenceIsReadBeforeTheKeyboard) {
  ShowSmallMenu();
  KeyCode key = 0;
  menu::M.Buttons[5].Sequence = "72";
  ClickCentre(menu::M.Buttons[5]);
  Type("9");
  menu::MenuReadKey(key);
  std::string keys(1, static_cast<char>(key));
  for (int i = 0; i < 3; ++i) {
    menu::MenuReadKey(key);
    keys += static_cast<char>(key);
  }
  EXPECT_EQ(keys, "5729");
}

// Alt-Backspace and Alt-Shift-Backspace go to the undo hook and the menu
// returns to be filled anew; F1 goes to the help of the menus; a menu-bar
// command's refresh reaches a menu only while it waits for a key.
TEST_F(MenuTest, UndoHelpAndRefreshKeys) {
  static std::string seen;
  seen.clear();
  menu::Slots.EditHook = [](bool redo) { seen += redo ? "redo " : "undo "; };
  menu::Slots.HelpHook = [](int context) { seen += "help " + std::to_string(context) + " "; };
  platform::MenuBar.MenuCommandHook = [](int) { menu::RefreshMenu(); };
  FillSmallMenu();
  platform::QueueKey(platform::VirtualKey::Backspace, false, false, true);
  platform::QueueKey(platform::VirtualKey::Backspace, false, true, true);
  platform::QueueMenuCommand(201);
  platform::QueueKey(platform::VirtualKey::F1);
  Type("2");
  std::string keys;
  for (int i = 0; i < 4; ++i) {
    KeyCode key = 0;
    menu::RunMenu(3, key);
    keys += std::to_string(key) + " ";
  }
  EXPECT_EQ(keys, "30 30 30 50 ");
  EXPECT_EQ(seen, "undo redo help 0 ");
  menu::RefreshMenu();  // no menu waits
  EXPECT_EQ(platform::Events.Count, 0);
}

// Numbers end at the column's right edge; labels in Windows Cyrillic are
// converted.
TEST_F(MenuTest, ItemTextsNumbersAtTheRightEdge) {
  const int columnChars = menu::CharsPerColumn();
  menu::SetNumberItem(4, "Масштаб"_sc, 0.25f, 6, 3);
  const auto& item = menu::M.Items[4];
  EXPECT_EQ(item.ValueText, std::string(columnChars - 7 - 6 - 3, ' ') + " 0.250");
  EXPECT_EQ(2 + item.Text.size() + item.ValueText.size(), static_cast<size_t>(columnChars - 1));
  menu::SetTitleItem(0, "Сечений"_sc, 3, 6, 0);
  EXPECT_EQ(menu::M.Items[0].ValueText, "      3");
  EXPECT_EQ(menu::M.Items[0].Kind, menu::kItemText);
  // A label wider than the column gets no blanks; texts are cut.
  menu::SetNumberItem(5, std::string(200, 'x'), 1e30f, 40, 3);
  EXPECT_EQ(std::pair(menu::M.Items[5].Text.size(), menu::M.Items[5].ValueText.size()), std::pair(80ul, 16ul));
  menu::SetTextItemAnsi(2, "\xC4\xE0");  // labels in Windows Cyrillic are converted: "Да" in CP1251
  EXPECT_EQ(menu::M.Items[2].Text, "Да"_sc);
}

TEST_F(MenuTest, PromptsLongerThanThePanelStayInside) {
  menu::PromptLine(0, std::string(5000, 'W'));
  menu::PromptLine(3, std::string(300, 'M'));
  EXPECT_EQ(menu::M.Prompts[3].size(), 300u);
  // Nothing was drawn in the picture area above the panel.
  for (int x = 10; x < 1270; x += 7) EXPECT_EQ(platform::PictureColour(x, menu::PanelTop() - 10), 0u);
}

TEST_F(MenuTest, ALanguageSwitchWhileAMenuIsShownRetakesItsTexts) {
  menu::Slots.ViewKeyHook = [](menu::KeyCode k) {
    if (k == 11) gfx::LanguageIndex = 1;
  };
  menu::SetTitleItem(0, "Сечений;Sections"_sc, 3, 6, 0);
  menu::SetNumberItem(1, "Масштаб;Scale"_sc, 0.25f, 6, 3);
  menu::SetTextItem(2, "Файл;File"_sc);
  Type("\x0b" "2");
  menu::KeyCode key = 0;
  menu::RunMenu(2, key);
  EXPECT_EQ(key, '2');
  const auto& items = menu::M.Items;
  EXPECT_EQ((std::array{items[0].Text, items[0].ValueText, items[1].Text, items[2].Text}),
            (std::array<std::string, 4>{"Sections", "      3", "Scale", "File"}));
  EXPECT_EQ(items[1].Kind, menu::kItemNumber);
  EXPECT_FLOAT_EQ(menu::GetItemValue(1), 0.25f);
}

// What a menu looks like: nine number items and the navigation pad, at two
// window sizes.
constexpr std::uint32_t kWhite = 0xFFFFFF;

void FillNineNumbers() {
  menu::SetTitleItem(0, "Изображение"_sc, 34, 6, 0);
  const char* labels[9] = {"Масштаб"_sc,          "Высота шрифта, мм"_sc, "Масштаб давлений"_sc,
                           "Масштаб сил"_sc,      "Масштаб усилий"_sc,    "Масштаб напряжений"_sc,
                           "Масштаб перемещений"_sc, "Шаг эпюр"_sc,       "Толщина оболочки, мм"_sc};
  const float values[9] = {0.25f, 2.7f, 100, 0.005f, 2.0001f, 5.0001f, 5000, 33, 2};
  for (int i = 0; i < 9; ++i) menu::SetNumberItem(i + 1, labels[i], values[i], 6, 3);
}

// The text of an item never paints over its button's frame (it would if it
// ran past the column), and the right-aligned values end close to the
// column's right edge.
TEST_F(MenuTest, TextsSitInsideTheirButtons) {
  for (auto [w, h] : {std::pair{1280, 1024}, {1920, 1080}}) {
    SCOPED_TRACE(w);
    SetUpScreen(w, h);
    FillNineNumbers();
    platform::QueueText("1\x1b\r");  // item 1 asked and refused, then Enter
    menu::KeyCode key = 0;
    menu::RunMenu(9, key);
    EXPECT_EQ(key, 13);
    for (int k = 1; k <= 9; ++k) {
      const menu::MenuButton& b = menu::M.Buttons[k];
      int rightmost = -1;
      for (int y = b.Top + 1; y < b.Bottom; ++y) {
        EXPECT_NE(platform::PictureColour(b.Right, y), kWhite) << "item " << k;
        EXPECT_NE(platform::PictureColour(b.Left, y), kWhite) << "item " << k;
        for (int x = b.Left + 1; x < b.Right; ++x)
          if (platform::PictureColour(x, y) == kWhite) rightmost = std::max(rightmost, x);
      }
      EXPECT_GE(rightmost, b.Right - 3 * gfx::TextPitch) << "item " << k;
    }
  }
}

}  // namespace
