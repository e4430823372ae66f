// Number and text input on the prompt lines, and the colour picker.
#include <cmath>
#include <string>

#include "graphics/codepage.h"
#include "menu/colour_picker.h"
#include "menu_fixture.h"

namespace {

using menutest::MenuTest;

TEST(NumberParser, CasesOfTypedNumbers) {
  EXPECT_FLOAT_EQ(menu::ParseNumber("12,5"), 12.5f);
  EXPECT_FLOAT_EQ(menu::ParseNumber("12.5"), 12.5f);
  EXPECT_FLOAT_EQ(menu::ParseNumber("-3e2"), -3.0f);
  EXPECT_FLOAT_EQ(menu::ParseNumber("abc"), 0.0f);
  EXPECT_FLOAT_EQ(menu::ParseNumber("-.5"), -0.5f);
  EXPECT_FLOAT_EQ(menu::ParseNumber(",5"), 5.0f);
  EXPECT_FLOAT_EQ(menu::ParseNumber("5,"), 5.0f);
  EXPECT_FLOAT_EQ(menu::ParseNumber(" ,, +7x"), 7.0f);
  EXPECT_FLOAT_EQ(menu::ParseNumber("1.2.3"), 1.2f);
  EXPECT_FLOAT_EQ(menu::ParseNumber("Q"), 0.0f);  // a register
  EXPECT_TRUE(std::isinf(menu::ParseNumber(std::string(400, '9'))));
}

struct FloatResult {
  float Value;
  std::int32_t Status;
};

FloatResult AskFloat(const std::string& keys, float start) {
  platform::QueueText(keys);
  FloatResult r{start, 99};
  menu::InputFloat("Масштаб"_sc, r.Value, r.Status);
  return r;
}

TEST_F(MenuTest, InputFloatStatuses) {
  FloatResult r = AskFloat("abc\r", 5);
  EXPECT_EQ(r.Status, menu::kInputRead);
  EXPECT_EQ(r.Value, 0);
  r = AskFloat("\r", 5);
  EXPECT_EQ(r.Status, menu::kInputEmpty);
  EXPECT_EQ(r.Value, 5);
  r = AskFloat("12\x1b", 5);
  EXPECT_EQ(r.Status, menu::kInputRefused);
  EXPECT_EQ(r.Value, 5);
  r = AskFloat("3[", 5);
  EXPECT_EQ(r.Status, menu::kInputRefused);
  r = AskFloat("-.5]", 5);
  EXPECT_FLOAT_EQ(r.Value, -0.5f);
  r = AskFloat("4 ", 5);  // the blank confirms
  EXPECT_EQ(r.Status, menu::kInputRead);
  EXPECT_EQ(r.Value, 4);
  EXPECT_EQ(menutest::exhausted, 0);
}

TEST_F(MenuTest, InputFloatBackspace) {
  FloatResult r = AskFloat("\b\b7\r", 5);  // Backspace on an empty input keeps it empty
  EXPECT_EQ(r.Value, 7);
  r = AskFloat("12\b3\r", 5);
  EXPECT_EQ(r.Value, 13);
  r = AskFloat("9\b\r", 5);
  EXPECT_EQ(r.Status, menu::kInputEmpty);
  EXPECT_EQ(r.Value, 5);
}

TEST_F(MenuTest, InputFloatIgnoresExtendedKeysAndPauses) {
  platform::QueueKey(platform::VirtualKey::Left);
  platform::QueueText("2\r");
  long long before = platform::Image.Milliseconds;
  float v = 1;
  std::int32_t status = 0;
  menu::InputFloat("x", v, status);
  EXPECT_EQ(v, 2);
  EXPECT_EQ(platform::Image.Milliseconds - before, 400);
}

TEST_F(MenuTest, InputIntRoundsAndARefusalKeepsTheNumber) {
  platform::QueueText("2.5\r");
  std::int32_t n = 9, status = 0;
  menu::InputInt("n", n, status);
  EXPECT_EQ(n, 2);
  platform::QueueText("\x1b");
  menu::InputInt("n", n, status);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(status, menu::kInputRefused);
}

std::string Edit(const std::string& start, int layout) {
  std::string text = start;
  menu::KeyboardLayout = layout;
  menu::EditLine("Имя файла"_sc, text);
  return text;
}

TEST_F(MenuTest, EditLineInTheRussianLayout) {
  platform::QueueText("ghbdtn\r");
  EXPECT_EQ(Edit("", 1), "привет"_sc);
  EXPECT_EQ(menu::RussianLayoutChar('~'), static_cast<std::uint8_t>(0xF0));  // Ё
  EXPECT_EQ(menu::RussianLayoutChar('#'), 'N');
  EXPECT_EQ(menu::RussianLayoutChar('\\'), '\\');
  EXPECT_EQ(menu::RussianLayoutChar('5'), '5');
}

TEST_F(MenuTest, CtrlATwiceReturnsToTheStartingLayout) {
  platform::QueueText("a\x01" "a\x01" "a\r");
  EXPECT_EQ(Edit("", 0), std::string("a") + "ф"_sc + "a");
  EXPECT_EQ(menu::KeyboardLayout, 0);
}

TEST_F(MenuTest, EditLineCursorMovesStayInTheText) {
  for (int i = 0; i < 5; ++i) platform::QueueKey(platform::VirtualKey::Left);
  platform::QueueText("x");
  for (int i = 0; i < 9; ++i) platform::QueueKey(platform::VirtualKey::Right);
  platform::QueueText("y\r");
  EXPECT_EQ(Edit("ab", 0), "xaby");
}

TEST_F(MenuTest, EditLineEditing) {
  platform::QueueText("\b");
  platform::QueueKey(platform::VirtualKey::Left);
  platform::QueueKey(platform::VirtualKey::Other);  // a key the table lacks: nothing
  platform::QueueCharacter(0);                      // Delete arrives as 0, 83
  platform::QueueCharacter(83);
  platform::QueueText("\r");
  EXPECT_EQ(Edit("abcd", 0), "ab");
}

TEST_F(MenuTest, EscRestoresTheText) {
  platform::QueueText("def\b\b\x1b");
  EXPECT_EQ(Edit("abc", 0), "abc");
}

TEST_F(MenuTest, LettersTypedOnARussianKeyboardBecomeScreenLetters) {
  // "да" as the window delivers it (Windows Cyrillic), and control codes
  // other than the editing keys are not taken into the text.
  platform::QueueText("\xE4\xE0\x07\x14\r");
  EXPECT_EQ(Edit("", 0), "да"_sc);
}

TEST_F(MenuTest, AFloodOfTypedCharactersIsCut) {
  platform::QueueText(std::string(3000, 'w') + "\r");
  EXPECT_EQ(Edit("", 0).size(), menu::kMaxTyped);
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

TEST_F(MenuTest, ColourPickerMovesStopAtTheEnds) {
  for (int i = 0; i < 5; ++i) platform::QueueKey(platform::VirtualKey::Left);
  platform::QueueText("\r");
  EXPECT_EQ(Pick(3, false).Colour, 0);
  for (int i = 0; i < 3; ++i) platform::QueueKey(platform::VirtualKey::Right);
  platform::QueueText("]");
  EXPECT_EQ(Pick(14, false).Colour, 15);
  platform::QueueText(" ");  // without values the blank confirms
  EXPECT_EQ(Pick(6, false).Colour, 6);
}

TEST_F(MenuTest, ColourPickerValuesAreEditedInPlaceEvenWhenRefused) {
  platform::QueueKey(platform::VirtualKey::Up);
  platform::QueueKey(platform::VirtualKey::Up);
  platform::QueueKey(platform::VirtualKey::Right);
  platform::QueueKey(platform::VirtualKey::Down);
  platform::QueueText("\x1b");
  Picked p = Pick(4, true);
  EXPECT_EQ(p.Colour, -1);
  EXPECT_EQ(p.Values[4], 1 + 2);
  EXPECT_EQ(p.Values[5], 2 - 1);
}

TEST_F(MenuTest, ColourPickerBlankAsksForTheValue) {
  platform::QueueText(" 9.6\r\r");
  Picked p = Pick(15, true);
  EXPECT_EQ(p.Colour, 15);
  EXPECT_EQ(p.Values[15], 10);
}

}  // namespace
