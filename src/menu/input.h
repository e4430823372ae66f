// src/menu/input.h — number and text input on the prompt lines.
//
// The input routines draw their prompt and the typed characters themselves
// and read keys one at a time from the platform. Number input is simple:
// digits, one sign, one decimal separator (point or comma); anything else
// ends the number. Text input switches between the Latin and the Russian
// keyboard layout with Ctrl-A by translating the typed characters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace menu {

// Input status of InputFloat and InputInt.
enum : std::int32_t { kInputRefused = -1, kInputEmpty = 0, kInputRead = 1 };

extern std::int32_t KeyboardLayout;  // 0 Latin, 1 Russian
extern bool TextInputActive;         // an EditLine is running

// The number of a typed text: blanks and commas skipped at the start, a
// sign, digits, a point or comma and more digits; the first character that
// does not fit ends it. An upper-case letter in place of the digits reads a
// register (all 0 in this program).
float ParseNumber(std::string_view text);

void InputFloat(std::string_view prompt, float& value, std::int32_t& status);
void InputInt(std::string_view prompt, std::int32_t& n, std::int32_t& status);
void EditLine(std::string_view prompt, std::string& text);

// The character the key of a US keyboard gives on the Russian keyboard, in
// the screen code page; other characters unchanged.
std::uint8_t RussianLayoutChar(std::uint8_t typed);

constexpr std::size_t kMaxTyped = 255;  // longer input is ignored

}  // namespace menu
