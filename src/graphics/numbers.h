// src/graphics/numbers.h — the one routine that turns numbers into text,
// and the program's rounding.
//
// Menus, the picture, the data file and the exchange files all write numbers
// as fixed-point text right-aligned in a minimum width; "width and decimals"
// mean the same everywhere because everything comes through here.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>

namespace gfx {

// The nearest integer, halves to even. NaN gives 0; values beyond the 32-bit
// range give its ends (never undefined behaviour).
inline std::int32_t NearestInt(double v);

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

// The text of FormatFixed written at `at`, which has room for kFixedRoom
// bytes (the bytes past the text may be overwritten); returns its end. The
// exchange files write their numbers this way, straight into their lines.
constexpr std::size_t kFixedRoom = 512;
inline char* WriteFixed(char* at, double value, int width, int decimals);
// The same for every value; WriteFixed writes the usual ones in place (its
// callers inline it) and hands the rest to this.
char* WriteFixedAny(char* at, double value, int width, int decimals);

// The text of WriteFixed(at, n, 0, 0), without a trip through a double.
inline char* WriteWhole(char* at, std::int32_t n);

// The parts of WriteFixed.
namespace fixed_text {

// The nearest integer with ties to even, as std::nearbyint gives it in the
// default rounding mode, without the library call: below 2^51 the sum with
// 1.5 · 2^52 falls where whole numbers are a unit apart, so adding rounds
// and subtracting is exact.
inline double RoundHalfEven(double v) {
  constexpr double kUnitSpacing = 0x1.8p52, kBelow = 0x1p51;
  if (std::fabs(v) < kBelow) return (v + kUnitSpacing) - kUnitSpacing;
  return std::nearbyint(v);
}

// Blanks before a right-aligned text: up to 16 in one move of 16 (the
// bytes past them are scratch, which kFixedRoom allows for).
inline char* Blanks(char* at, int count) {
  static constexpr char kBlanks[] = "                ";
  if (count <= 16) {
    std::memcpy(at, kBlanks, 16);
  } else {
    std::memset(at, ' ', static_cast<std::size_t>(count));
  }
  return at + (count > 0 ? count : 0);
}

// "00" to "99".
inline constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The decimal digits of v written backwards from end, two at a time (the
// digits go straight to their place: a copy from a scratch buffer would
// wait for the bytes just stored there).
inline void DigitsBefore(char* end, std::uint64_t v) {
  while (v >= 100) {
    const auto pair = static_cast<std::size_t>(v % 100);
    v /= 100;
    end -= 2;
    std::memcpy(end, kPairs + 2 * pair, 2);
  }
  if (v >= 10) {
    std::memcpy(end - 2, kPairs + 2 * v, 2);
  } else {
    end[-1] = static_cast<char>('0' + v);
  }
}

inline int DigitCount(std::uint64_t v) {
  static constexpr std::uint64_t kPowers[20] = {
      1ull, 10ull, 100ull, 1000ull, 10000ull, 100000ull, 1000000ull, 10000000ull, 100000000ull,
      1000000000ull, 10000000000ull, 100000000000ull, 1000000000000ull, 10000000000000ull,
      100000000000000ull, 1000000000000000ull, 10000000000000000ull, 100000000000000000ull,
      1000000000000000000ull, 10000000000000000000ull};
  // log10 from log2, low by at most one; v | 1 crosses no power of ten
  // that v does not, and gives 0 its one digit.
  const int t = std::bit_width(v | 1) * 1233 >> 12;
  return t + ((v | 1) >= kPowers[t] ? 1 : 0);
}

// The four digits of v < 10000, leading zeros kept, as the bytes of a word
// in text order on a little-endian machine.
inline std::uint32_t FourDigits(std::uint32_t v) {
  std::uint16_t high = 0, low = 0;
  std::memcpy(&high, kPairs + 2 * (v / 100), 2);
  std::memcpy(&low, kPairs + 2 * (v % 100), 2);
  return high | std::uint32_t{low} << 16;
}

// The text of each whole number below kSmallWholeLimit right-aligned in
// four characters, blanks before its digits ("   7", "  42", "1234"), as
// the bytes of a word in text order on a little-endian machine, and how
// many digits it has: the text of the numbers most often written is a
// word read from here, not worked out.
struct SmallWhole {
  std::uint32_t Text;
  std::uint32_t Digits;
};
inline constexpr std::uint32_t kSmallWholeLimit = 10000;
extern const std::array<SmallWhole, kSmallWholeLimit> kSmallWholes;

inline constexpr std::uint64_t kShortLimit = 100000000;  // ShortDigits takes less
// ShortDigits for n 5..8 on a little-endian machine.
inline void LongDigits(char* at, std::uint32_t v, int n) {
  std::uint64_t word = FourDigits(v / 10000) | std::uint64_t{FourDigits(v % 10000)} << 32;
  word >>= 8 * (8 - n);
  std::memcpy(at, &word, 8);
}

// The n digits (1..8) of v < kShortLimit at `at`, in one store of eight
// bytes: v's eight digits shifted past the leading zeros that are not
// wanted, so that how many there are takes no branch (whose way would
// follow no pattern). The bytes after the digits are scratch.
[[gnu::always_inline]] inline void ShortDigits(char* at, std::uint64_t v, int n) {
  if constexpr (std::endian::native != std::endian::little) {
    DigitsBefore(at + n, v);
  } else {
    const auto value = static_cast<std::uint32_t>(v);
    if (n <= 4) {  // the most: a word of four digits is enough
      const std::uint32_t word = FourDigits(value) >> (8 * (4 - n));
      std::memcpy(at, &word, 4);
      return;
    }
    LongDigits(at, value, n);
  }
}

// q / 10^decimals, leaving q % 10^decimals (decimals 1..kFewDecimals, each
// a division by a constant, which is a multiplication).
inline std::uint64_t SplitAtPoint(std::uint64_t& q, int decimals) {
  auto split = [&q](std::uint64_t scale) {
    const std::uint64_t below = q % scale;
    q /= scale;
    return below;
  };
  switch (decimals) {
    case 1: return split(10);
    case 2: return split(100);
    case 3: return split(1000);
    case 4: return split(10000);
    case 5: return split(100000);
    default: return split(1000000);
  }
}

inline constexpr double kScales[] = {1, 10, 100, 1000, 10000, 100000, 1000000};

// The text of hundredths q < 100000 (a number below 1000 with two
// decimals, as the coordinate files write them) right-aligned in width
// up to 7, built in one word without a branch: the whole part "  WWW"
// from kSmallWholes with the sign on the blank before its digits, ".FF",
// and then as many characters kept as the text takes.
[[gnu::always_inline]] inline char* HundredthsBelow1000(char* at, std::uint64_t q, bool negative, int width) {
  const auto hundredths = static_cast<std::uint32_t>(q);
  const SmallWhole whole = kSmallWholes[hundredths / 100];
  const int n = static_cast<int>(whole.Digits);  // 1..3
  // A blank (0x20) with 0x0D added is the minus sign (0x2D).
  const std::uint32_t text = whole.Text | (static_cast<std::uint32_t>(negative) * 0x0Du) << (8 * (3 - n));
  std::uint16_t pair = 0;
  std::memcpy(&pair, kPairs + 2 * (hundredths % 100), 2);
  std::uint64_t word = text | std::uint64_t{'.'} << 32 | std::uint64_t{pair} << 40;
  const int length = std::max(width, static_cast<int>(negative) + n + 3);  // up to 7
  word >>= 8 * (7 - length);
  std::memcpy(at, &word, 8);
  return at + length;
}

// The hundredths of |x| and |y| side by side, as WriteFixed(…, 2) rounds
// each (a float times 100 is an exact double, rounded by adding 1.5 · 2^52,
// ties to even), in one pair of operations for both. The lanes of `below`
// are cleared where a value's hundredths reach 100000 or it is no number:
// WriteFixed writes that one otherwise, and its lane here is 0. Where both
// lanes stay set, HundredthsBelow1000 of each with its sign is WriteFixed's
// text of x and y.
using HundredthsPair = std::int32_t __attribute__((vector_size(8)));
using PairMask = std::int64_t __attribute__((vector_size(16)));
inline HundredthsPair PairHundredths(float x, float y, PairMask& below) {
  using Pair = double __attribute__((vector_size(16)));
  constexpr Pair kHundred = {100, 100}, kBeyond = {99999.5, 99999.5}, kSpacing = {0x1.8p52, 0x1.8p52};
  constexpr PairMask kMagnitude = {std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::max()};
  const Pair v = {x, y};
  const Pair product = reinterpret_cast<Pair>(reinterpret_cast<PairMask>(v) & kMagnitude) * kHundred;
  const PairMask within = product < kBeyond;  // rounds below 100000 (99999.5 rounds up)
  below &= within;
  const Pair kept = reinterpret_cast<Pair>(reinterpret_cast<PairMask>(product) & within);
  return __builtin_convertvector((kept + kSpacing) - kSpacing, HundredthsPair);
}

// WriteWhole(at, n) for 0 <= n < kSmallWholeLimit on a little-endian
// machine: the text read from kSmallWholes, the blanks before its digits
// shifted out.
inline char* SmallWholeText(char* at, std::uint32_t n) {
  const SmallWhole whole = kSmallWholes[n];
  const std::uint32_t word = whole.Text >> (8 * (4 - whole.Digits));
  std::memcpy(at, &word, 4);
  return at + whole.Digits;
}

}  // namespace fixed_text

inline std::int32_t NearestInt(double v) {
  if (std::isnan(v)) return 0;
  const double r = fixed_text::RoundHalfEven(v);
  if (r >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (r <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(r);
}

[[gnu::always_inline]] inline char* WriteFixed(char* at, double value, int width, int decimals) {
  using namespace fixed_text;
  if (width < 0 || width > 16) return WriteFixedAny(at, value, width, decimals);
  if (decimals <= 0) {
    constexpr double kShortWhole = 99999999;  // rounds to eight digits at most
    if (!(std::fabs(value) < kShortWhole)) return WriteFixedAny(at, value, width, decimals);
    const auto whole = static_cast<std::int64_t>(RoundHalfEven(value));
    const bool negative = whole < 0;
    const auto magnitude = static_cast<std::uint64_t>(negative ? -whole : whole);
    const int n = DigitCount(magnitude);
    at = Blanks(at, width - n - static_cast<int>(negative));
    *at = '-';  // kept only when negative: the sign takes no branch either
    at += static_cast<int>(negative);
    ShortDigits(at, magnitude, n);
    return at + n;
  }
  // A float's value (what the store and the walker hold) times 10^6 or
  // less has at most 38 significant bits, as 10^6 = 2^6 · 15625: the
  // product of the doubles is exact, and so is rounding it below 2^51.
  constexpr double kUnitSpacing = 0x1.8p52, kBelow = 0x1p51;
  if (decimals >= static_cast<int>(std::size(kScales))) return WriteFixedAny(at, value, width, decimals);
  const double product = std::fabs(value) * kScales[decimals];
  // (The float of a value beyond a float's range is not asked for.)
  if (!(product < kBelow && static_cast<double>(static_cast<float>(value)) == value))
    return WriteFixedAny(at, value, width, decimals);
  std::uint64_t whole = static_cast<std::uint64_t>(static_cast<std::int64_t>((product + kUnitSpacing) - kUnitSpacing));
  if (decimals == 2 && width <= 7 && whole < 100000) return HundredthsBelow1000(at, whole, std::signbit(value), width);
  const std::uint64_t below = SplitAtPoint(whole, decimals);
  if (whole >= kShortLimit) return WriteFixedAny(at, value, width, decimals);
  const int n = DigitCount(whole);  // 0 has its digit
  const bool negative = std::signbit(value);
  at = Blanks(at, width - (static_cast<int>(negative) + n + 1 + decimals));
  *at = '-';
  at += static_cast<int>(negative);
  ShortDigits(at, whole, n);
  at[n] = '.';
  ShortDigits(at + n + 1, below, decimals);
  return at + n + 1 + decimals;
}

inline char* WriteWhole(char* at, std::int32_t n) {
  using namespace fixed_text;
  const bool negative = n < 0;
  const auto magnitude = static_cast<std::uint64_t>(negative ? -std::int64_t{n} : std::int64_t{n});
  if (magnitude >= kShortLimit) return WriteFixedAny(at, n, 0, 0);
  *at = '-';  // kept only when negative
  at += static_cast<int>(negative);
  if constexpr (std::endian::native == std::endian::little) {
    if (magnitude < kSmallWholeLimit) return SmallWholeText(at, static_cast<std::uint32_t>(magnitude));
    const int digits = DigitCount(magnitude);
    LongDigits(at, static_cast<std::uint32_t>(magnitude), digits);
    return at + digits;
  }
  const int digits = DigitCount(magnitude);
  ShortDigits(at, magnitude, digits);
  return at + digits;
}

// The text of FormatNumber for a value shown to a person (menus, prompts,
// the scale bar): a value too small for its decimals keeps its digits. The
// decimals grow until the text is within 0.5 % of the value (about three
// significant digits: 0.0001 is "0.0001", not "0.000"); a value that would
// need more than 9 decimals takes the exponent form ("1.25e-12"). Zero,
// values already shown closely enough and decimals ≤ 0 are as FormatNumber.
std::string FormatKeepingDigits(double value, int width, int decimals);

}  // namespace gfx
