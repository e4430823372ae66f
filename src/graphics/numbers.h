// src/graphics/numbers.h — the one routine that turns numbers into text,
// and the program's rounding.
//
// Menus, the picture, the data file and the exchange files all write numbers
// as fixed-point text right-aligned in a minimum width; "width and decimals"
// mean the same everywhere because everything comes through here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace gfx {

// The nearest integer, halves to even. NaN gives 0; values beyond the 32-bit
// range give its ends (never undefined behaviour).
std::int32_t NearestInt(double v);

// Fixed-point text of value: width ≤ 0 gives the empty text; decimals > 0
// gives that many decimals; decimals ≤ 0 gives the nearest integer (halves
// to even, never "-0"). Right-aligned with blanks to at least width
// characters; a longer number is never cut. A point is the decimal separator.
std::string FormatNumber(double value, int width, int decimals);

// The same for a number drawn in a picture, stroke by stroke: a fixed text
// longer than kLongestPictureNumber (a magnitude whose digits a 32-bit
// float does not hold anyway) is written in exponent form with seven
// significant digits instead, "2.865246e+31", right-aligned in width. A
// picture of absurd values then draws a few characters per number, not
// forty.
constexpr std::size_t kLongestPictureNumber = 16;
std::string FormatNumberCompact(double value, int width, int decimals);

// The same without the width rule: width may be 0 or below and the number is
// still written in full ("shortest form" for integers of the exchange files).
std::string FormatFixed(double value, int width, int decimals);

// The texts of FormatFixed and FormatNumber appended to out.
void AppendFixed(std::string& out, double value, int width, int decimals);
void AppendNumber(std::string& out, double value, int width, int decimals);

// The text of FormatFixed written at `at`, which has room for kFixedRoom
// bytes (the bytes past the text may be overwritten); returns its end. The
// exchange files write their numbers this way, straight into their lines.
constexpr std::size_t kFixedRoom = 512;
char* WriteFixed(char* at, double value, int width, int decimals);

// The text of FormatNumber for a value shown to a person (menus, prompts,
// the scale bar): a value too small for its decimals keeps its digits. The
// decimals grow until the text is within 0.5 % of the value (about three
// significant digits: 0.0001 is "0.0001", not "0.000"); a value that would
// need more than 9 decimals takes the exponent form ("1.25e-12"). Zero,
// values already shown closely enough and decimals ≤ 0 are as FormatNumber.
std::string FormatKeepingDigits(double value, int width, int decimals);

}  // namespace gfx
