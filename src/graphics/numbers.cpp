// src/graphics/numbers.cpp — number formatting and rounding.
#include "graphics/numbers.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace gfx {

using namespace fixed_text;

constinit const std::array<SmallWhole, kSmallWholeLimit> fixed_text::kSmallWholes = [] {
  std::array<SmallWhole, kSmallWholeLimit> table{};
  for (std::uint32_t n = 0; n < kSmallWholeLimit; ++n) {
    std::uint32_t text = 0x20202020, digits = 0;
    for (std::uint32_t rest = n; digits == 0 || rest > 0; rest /= 10, ++digits)
      text = (text & ~(0xFFu << (8 * (3 - digits)))) | ('0' + rest % 10) << (8 * (3 - digits));
    table[n] = {text, digits};
  }
  return table;
}();

// The text is exactly what printf's "%.*f" gives (the correctly rounded
// decimal of the binary value) at a fraction of its cost: the exchange
// files write millions of numbers. Few decimals are worked out here in
// integers, the rest by std::to_chars.
namespace {

// |value| · 10^decimals (decimals 1..kFewDecimals) rounded to the nearest
// integer with ties to even, which is the correctly rounded decimal that
// std::to_chars gives, from the binary value's mantissa and exponent. False
// when the value lies beyond what 64 bits of digits hold (std::to_chars
// then writes it).
constexpr int kFewDecimals = 6;
constexpr std::uint64_t kPowersOfTen[kFewDecimals + 1] = {1, 10, 100, 1000, 10000, 100000, 1000000};
// The largest mantissa whose product with each power fits 64 bits (a
// division at run time would cost more than all the rest).
constexpr auto kLargestScaled = [] {
  std::array<std::uint64_t, kFewDecimals + 1> largest{};
  for (int d = 0; d <= kFewDecimals; ++d) largest[d] = std::numeric_limits<std::uint64_t>::max() / kPowersOfTen[d];
  return largest;
}();
bool ScaledDigits(double value, int decimals, std::uint64_t& digits) {
  if (decimals > kFewDecimals) return false;
  // A float's value (what the store and the walker hold) times 10^6 or
  // less has at most 38 significant bits, as 10^6 = 2^6 · 15625: the
  // product of the doubles is exact, and rounding it below 2^51 too.
  constexpr double kUnitSpacing = 0x1.8p52, kBelow = 0x1p51;
  const double product = std::fabs(value) * static_cast<double>(kPowersOfTen[decimals]);
  if (product < kBelow && static_cast<double>(static_cast<float>(value)) == value) {
    digits = static_cast<std::uint64_t>(static_cast<std::int64_t>((product + kUnitSpacing) - kUnitSpacing));
    return true;
  }
  // |value| = m · 2^-down with m an integer of at most 53 bits.
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const int biased = static_cast<int>(bits >> 52 & 0x7FF);
  constexpr std::uint64_t kFractionBits = (std::uint64_t{1} << 52) - 1;
  std::uint64_t m = bits & kFractionBits;
  int down = 0;
  if (biased == 0x7FF) return false;  // no number, or infinite
  if (biased == 0) {
    if (m != 0) return false;         // below the normal numbers: far below any decimal
  } else {
    m |= std::uint64_t{1} << 52;
    down = 1075 - biased;
  }
  if (down < 0 || down > 100) return false;  // beyond 2^53, or far below the last decimal
  if (m == 0) {
    digits = 0;
    return true;
  }
  // The mantissa's trailing zero bits go first (a float widened to a
  // double has 29 of them): the product then mostly fits 64 bits.
  const int zeros = std::min(std::countr_zero(m), down);
  m >>= zeros;
  down -= zeros;
  const std::uint64_t scale = kPowersOfTen[decimals];
  if (down < 64 && m <= kLargestScaled[decimals]) {
    // Rounded without a branch: whether the rest is above or at half
    // follows no pattern.
    const std::uint64_t scaled = m * scale;
    const std::uint64_t q = scaled >> down;
    const std::uint64_t rest = scaled - (q << down);
    const std::uint64_t half = (std::uint64_t{1} << down) >> 1;  // 0 when down is 0: no rest
    const std::uint64_t up = static_cast<std::uint64_t>(rest > half) |
                             (static_cast<std::uint64_t>(rest == half && down > 0) & q);
    digits = q + (up & 1);
    return true;
  }
  using U128 = unsigned __int128;
  const U128 scaled = U128{m} * scale;  // < 2^53 · 10^6 < 2^73
  U128 q = scaled >> down;
  if (down > 0) {
    const U128 rest = scaled - (q << down);
    const U128 half = U128{1} << (down - 1);
    if (rest > half || (rest == half && (q & 1) != 0)) ++q;
  }
  if (q >> 64 != 0) return false;  // more than 19 digits: std::to_chars writes them
  digits = static_cast<std::uint64_t>(q);
  return true;
}

}  // namespace

char* WriteFixedAny(char* at, double value, int width, int decimals) {
  width = std::clamp(width, 0, 200);
  if (decimals <= 0 && std::fabs(value) < 9.0e15) {
    // A whole number: the integer's own digits.
    const auto whole = static_cast<std::int64_t>(RoundHalfEven(value));
    const bool negative = whole < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(whole) : static_cast<std::uint64_t>(whole);
    const int n = DigitCount(magnitude);
    at = Blanks(at, width - n - static_cast<int>(negative));
    *at = '-';  // kept only when negative: the sign takes no branch either
    at += static_cast<int>(negative);
    if (magnitude < kShortLimit) {
      ShortDigits(at, magnitude, n);
    } else {
      DigitsBefore(at + n, magnitude);
    }
    return at + n;
  }
  std::uint64_t q = 0;
  if (decimals > 0 && ScaledDigits(value, decimals, q)) {
    const int n = DigitCount(q);
    const bool negative = std::signbit(value);
    const int whole = n > decimals ? n - decimals : 1;  // digits before the point, "0" when none
    at = Blanks(at, width - (static_cast<int>(negative) + whole + 1 + decimals));
    *at = '-';
    at += static_cast<int>(negative);
    char* const point = at + whole;
    const std::uint64_t below = SplitAtPoint(q, decimals);
    if (q < kShortLimit) {  // 0 gives "0"
      ShortDigits(at, q, whole);
    } else {
      DigitsBefore(point, q);
    }
    *point = '.';
    ShortDigits(point + 1, below, decimals);
    return point + 1 + decimals;
  }
  char buf[kFixedRoom];
  std::to_chars_result r;
  if (decimals > 0) {
    if (decimals > 60) decimals = 60;
    r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  } else {
    double whole = std::nearbyint(value);
    if (whole == 0) whole = 0;  // no "-0"
    r = std::to_chars(buf, buf + sizeof buf, whole, std::chars_format::fixed, 0);
  }
  const int length = static_cast<int>(r.ptr - buf);
  at = Blanks(at, width - length);
  std::memcpy(at, buf, static_cast<std::size_t>(length));
  return at + length;
}

std::string FormatFixed(double value, int width, int decimals) {
  char buf[kFixedRoom];
  return std::string(buf, WriteFixed(buf, value, width, decimals));
}

std::string FormatNumber(double value, int width, int decimals) {
  if (width <= 0) return std::string();
  return FormatFixed(value, width, decimals);
}

std::string FormatNumberCompact(double value, int width, int decimals) {
  std::string fixed = FormatNumber(value, width, decimals);
  if (fixed.size() <= std::max<std::size_t>(kLongestPictureNumber, static_cast<std::size_t>(width)) ||
      !std::isfinite(value))
    return fixed;
  constexpr int kSignificantAfterPoint = 6;
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific,
                               kSignificantAfterPoint);
  const int length = static_cast<int>(r.ptr - buf);
  std::string out;
  if (length < width) out.append(static_cast<std::size_t>(width - length), ' ');
  out.append(buf, static_cast<std::size_t>(length));
  return out;
}

std::string FormatKeepingDigits(double value, int width, int decimals) {
  constexpr int kMostDecimals = 9;
  if (width <= 0) return std::string();
  const double a = std::fabs(value);
  if (decimals <= 0 || a == 0 || !std::isfinite(a)) return FormatFixed(value, width, decimals);
  auto closeEnough = [a](int d) {
    const double p = std::pow(10.0, d);
    return std::fabs(std::nearbyint(a * p) / p - a) <= 0.005 * a;
  };
  int d = decimals;
  while (d < kMostDecimals && !closeEnough(d)) ++d;
  if (closeEnough(d)) return FormatFixed(value, width, d);
  char buf[64];
  const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 2);
  std::string text(buf, r.ptr);
  if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
  return text;
}

}  // namespace gfx
