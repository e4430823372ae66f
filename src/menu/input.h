// src/menu/input.h — number and text input on the prompt lines.
//
// The input routines draw their prompt and the typed characters themselves
// and read keys one at a time from the platform. Number input is simple:
// digits, one sign, one decimal separator (point or comma); anything else
// ends the number. Text input switches between the Latin and the Russian
// keyboard layout with Ctrl-A by translating the typed characters.
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace menu {

// Input status of InputFloat and InputInt.
enum : std::int32_t { kInputRefused = -1, kInputEmpty = 0, kInputRead = 1 };

// The values a number may take, bounds included; an infinite bound is no
// bound. Whatever the range, a number must be finite.
struct ValueRange {
  float Min, Max;
};
inline constexpr ValueRange kAnyNumber{-std::numeric_limits<float>::infinity(),
                                       std::numeric_limits<float>::infinity()};

extern std::int32_t KeyboardLayout;  // 0 Latin, 1 Russian
extern bool TextInputActive;         // an EditLine is running

// The number of a typed text: blanks and commas skipped at the start, a
// sign, digits, a point or comma and more digits; the first character that
// does not fit ends it. An upper-case letter in place of the digits reads a
// register (all 0 in this program).
float ParseNumber(std::string_view text);

// Whether the whole typed text is a number: blanks and commas, a sign,
// digits with at most one point or comma among or after them, blanks; at
// least one digit. Anything else — a letter, a second point, a number
// written with an exponent — is not one.
bool IsNumberText(std::string_view text);

// A typed text that is not a number, or a number outside the range, is
// refused with a message on the next prompt line; the input stays open for
// another try, and Esc leaves the value as it was.
void InputFloat(std::string_view prompt, float& value, std::int32_t& status,
                ValueRange range = kAnyNumber);
void InputInt(std::string_view prompt, std::int32_t& n, std::int32_t& status,
              ValueRange range = kAnyNumber);
// suggested: the text on entry is a suggestion, shown underlined; the first
// character typed replaces it, Backspace or Delete clears it, Left or Right
// keeps it for editing with the cursor at its start or its end.
void EditLine(std::string_view prompt, std::string& text, bool suggested = false);

// The message of a refused number: what the range allows (screen text in
// the current language).
std::string RangeText(ValueRange range);

// The character the key of a US keyboard gives on the Russian keyboard, in
// the screen code page; other characters unchanged.
std::uint8_t RussianLayoutChar(std::uint8_t typed);

constexpr std::size_t kMaxTyped = 255;  // longer input is ignored

}  // namespace menu
