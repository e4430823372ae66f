// Number and text input on the prompt lines, and the colour picker.
#include <array>
#include <cmath>
#include <utility>
#include <string>
#include <vector>

#include "menu/colour_picker.h"
#include "menu_fixture.h"
#include "platform/codepage.h"

namespace {

using menutest::MenuTest;

TEST(NumberParser, CasesOfTypedNumbers) {
  // A comma is the decimal point unless it leads; Q is a register.
  for (auto [text, value] : {std::pair{"12,5", 12.5f}, {"12.5", 12.5f}, {"-3e2", -3.0f}, {"abc", 0.0f},
                             {"-.5", -0.5f}, {",5", 5.0f}, {"5,", 5.0f}, {" ,, +7x", 7.0f}, {"1.2.3", 1.2f},
                             {"Q", 0.0f}})
    EXPECT_FLOAT_EQ(menu::ParseNumber(text), value) << text;
  EXPECT_TRUE(std::isinf(menu::ParseNumber(std::string(400, '9'))));
}

// The statuses of a number input: an empty input keeps the value, Esc and
// "[" refuse, Enter, "]" and the blank confirm. A text that is no number,
// or a number out of range, is refused with a message on the next prompt
// line; the input goes on, and Esc keeps the value.
TEST_F(MenuTest, InputFloatStatusesAndRefusals) {
  struct Row { std::string keys; menu::ValueRange range; float value; std::int32_t status; const char* message; };
  const menu::ValueRange any = menu::kAnyNumber, wall{0.001f, 1e4f}, count{1, menu::kAnyNumber.Max};
  const Row rows[] = {
      {"\r", any, 5, menu::kInputEmpty, ""},
      {"12\x1b", any, 5, menu::kInputRefused, ""},
      {"3[", any, 5, menu::kInputRefused, ""},
      {"-.5]", any, -0.5f, menu::kInputRead, ""},
      {"4 ", any, 4, menu::kInputRead, ""},
      {"\b\b7\r", any, 7, menu::kInputRead, ""},  // Backspace on an empty input keeps it empty
      {"12\b3\r", any, 13, menu::kInputRead, ""},
      {"9\b\r", any, 5, menu::kInputEmpty, ""},
      {"o.3\r\x1b", any, 5, menu::kInputRefused, "Не число: o.3"},
      {"3e2\r7\r", any, 7, menu::kInputRead, "Не число: 3e2"},
      {"1.2.3\r\x1b", any, 5, menu::kInputRefused, "Не число: 1.2.3"},
      {"Q\r.\r,5\r", any, 5, menu::kInputRead, "Не число: ."},  // a leading comma is a blank
      {std::string(40, '9') + "\r\x1b", any, 5, menu::kInputRefused, "Число слишком велико"},
      {"0\r\x1b", wall, 5, menu::kInputRefused, "Допустимо от 0.001 до 10000"},
      {"-2\r0,001\r", wall, 0.001f, menu::kInputRead, "Допустимо от 0.001 до 10000"},
      {"10000 ", wall, 10000, menu::kInputRead, ""},
      {"0\r\x02\x1e" "3\r", count, 3, menu::kInputRead, "Допустимо не меньше 1"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.keys);
    menu::M.Prompts[1].clear();
    platform::QueueText(r.keys);
    float value = 5;
    std::int32_t status = 99;
    menu::InputFloat("Толщина"_sc, value, status, r.range);
    EXPECT_FLOAT_EQ(value, r.value);
    EXPECT_EQ(status, r.status);
    EXPECT_EQ(menu::M.Prompts[1], gfx::ScreenFromUtf8(r.message));
  }
  gfx::LanguageIndex = 1;
  platform::QueueText("0\r\x1b");
  float v = 5;
  std::int32_t status = 0;
  menu::InputFloat("x", v, status, wall);
  EXPECT_EQ(menu::M.Prompts[1], "Allowed: from 0.001 to 10000");
  EXPECT_EQ(menutest::exhausted, 0);
}

// An extended key is ignored and the input pauses; InputInt rounds to even,
// and a refusal keeps the number.
TEST_F(MenuTest, InputFloatIgnoresExtendedKeysAndInputIntRounds) {
  platform::QueueKey(platform::VirtualKey::Left);
  platform::QueueText("2\r");
  long long before = platform::Image.Milliseconds;
  float v = 1;
  std::int32_t status = 0;
  menu::InputFloat("x", v, status);
  EXPECT_EQ(v, 2);
  EXPECT_EQ(platform::Image.Milliseconds - before, 400);
  platform::QueueText("2.5\r\x1b");
  std::int32_t n = 9;
  menu::InputInt("n", n, status);
  EXPECT_EQ(n, 2);
  menu::InputInt("n", n, status);
  EXPECT_EQ(std::pair(n, status), std::pair(2, std::int32_t{menu::kInputRefused}));
}

// Text input: the Russian layout and Ctrl-A, the cursor keys (Left 0 75,
// Right 0 77, Delete 0 83), Esc, letters of a Russian keyboard, the length
// limit; and a suggested text, which the first letter typed replaces,
// Backspace or Delete clears, and an arrow keeps for editing.
TEST_F(MenuTest, EditLineEdits) {
  using namespace std::string_literals;
  const std::string left = "\0K"s, right = "\0M"s, del = "\0S"s;
  struct Row { std::string start, keys; int layout; bool suggested; std::string result; };
  const Row rows[] = {
      {"", "ghbdtn\r", 1, false, "привет"_sc},
      {"", "a\x01" "a\x01" "a\r", 0, false, "a"s + "ф"_sc + "a"},
      {"ab", left + left + left + left + left + "x" + right + right + right + right + "y\r", 0, false, "xaby"},
      {"abcd", "\b" + left + del + "\r", 0, false, "ab"},
      {"abc", "def\b\b\x1b", 0, false, "abc"},
      {"", "\xE4\xE0\x07\x14\r", 0, false, "да"_sc},  // control codes are not taken
      {"", std::string(3000, 'w') + "\r", 0, false, std::string(menu::kMaxTyped, 'w')},
      {"tank", "tank\r", 0, true, "tank"},
      {"tank", "\r", 0, true, "tank"},
      {"tank", "\bab\r", 0, true, "ab"},
      {"tank", del + "x\r", 0, true, "x"},
      {"tank", left + "x\r", 0, true, "xtank"},
      {"tank", right + "\b\r", 0, true, "tan"},
      {"tank", "\x1b", 0, true, "tank"},
  };
  for (const Row& r : rows) {
    platform::QueueText(r.keys);
    std::string text = r.start;
    menu::KeyboardLayout = r.layout;
    menu::EditLine("Имя файла"_sc, text, r.suggested);
    EXPECT_EQ(text, r.result) << r.keys.substr(0, 20);
    EXPECT_EQ(menu::KeyboardLayout, r.layout);  // Ctrl-A twice gives the layout back
  }
  EXPECT_EQ((std::array{menu::RussianLayoutChar('~'), menu::RussianLayoutChar('#'),
                        menu::RussianLayoutChar('\\'), menu::RussianLayoutChar('5')}),
            (std::array<std::uint8_t, 4>{0xF0, 'N', '\\', '5'}));  // ~ is Ё
}

struct Picked {
  std::int32_t Colour;
  std::int32_t Values[16];
};

Picked Pick(std::int32_t start, bool withValues) {
  Picked p{start, {}};
  for (int i = 0; i < 16; ++i) p.Values[i] = i % 3;
  menu::PickColour("Толщина"_sc, withValues, p.Colour, p.Values);
  return p;
}

TEST_F(MenuTest, ColourPickerMovesStopAtTheEndsAndValuesAreEditedInPlace) {
  for (int i = 0; i < 5; ++i) platform::QueueKey(platform::VirtualKey::Left);
  platform::QueueText("\r");
  EXPECT_EQ(Pick(3, false).Colour, 0);
  for (int i = 0; i < 3; ++i) platform::QueueKey(platform::VirtualKey::Right);
  platform::QueueText("]");
  EXPECT_EQ(Pick(14, false).Colour, 15);
  platform::QueueText(" ");  // without values the blank confirms
  EXPECT_EQ(Pick(6, false).Colour, 6);
  // With values, arrows edit them in place, kept even when the choice is
  // refused; a blank asks for the value.
  for (auto k : {platform::VirtualKey::Up, platform::VirtualKey::Up, platform::VirtualKey::Right,
                 platform::VirtualKey::Down})
    platform::QueueKey(k);
  platform::QueueText("\x1b");
  Picked p = Pick(4, true);
  EXPECT_EQ((std::array{p.Colour, p.Values[4], p.Values[5]}), (std::array{-1, 1 + 2, 2 - 1}));
  platform::QueueText(" 9.6\r\r");
  p = Pick(15, true);
  EXPECT_EQ(std::pair(p.Colour, p.Values[15]), std::pair(15, 10));
}

}  // namespace
