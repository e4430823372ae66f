// src/graphics/numbers.cpp — number formatting and rounding.
#include "graphics/numbers.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace gfx {

std::int32_t NearestInt(double v) {
  if (std::isnan(v)) return 0;
  double r = std::nearbyint(v);  // the default rounding mode: halves to even
  if (r >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (r <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(r);
}

// The digits come from std::to_chars, which gives exactly what printf's
// "%.*f" gives (the correctly rounded decimal of the binary value) at a
// fraction of its cost: the exchange files write hundreds of thousands of
// numbers.
namespace {

// The exact decimal of value with `decimals` decimals (≤ kFewDecimals),
// correctly rounded with ties to even as std::to_chars gives it, from the
// binary value's mantissa and exponent in 128-bit integers. False when the
// value lies beyond what that holds (std::to_chars then writes it).
constexpr int kFewDecimals = 6;
bool ExactFixed(double value, int decimals, char*& at) {
  if (decimals > kFewDecimals) return false;
  // |value| = m · 2^shift with m an integer of at most 53 bits.
  const auto bits = std::bit_cast<std::uint64_t>(value);
  const int biased = static_cast<int>(bits >> 52 & 0x7FF);
  constexpr std::uint64_t kFractionBits = (std::uint64_t{1} << 52) - 1;
  std::uint64_t m = bits & kFractionBits;
  int shift = 0;
  if (biased == 0x7FF) return false;  // no number, or infinite
  if (biased == 0) {
    if (m != 0) return false;         // below the normal numbers: far below any decimal
  } else {
    m |= std::uint64_t{1} << 52;
    shift = biased - 1075;
  }
  if (shift > 0 || shift < -100) return false;  // beyond 2^53, or far below the last decimal
  using U128 = unsigned __int128;
  std::uint64_t scale = 1;
  for (int i = 0; i < decimals; ++i) scale *= 10;
  const U128 scaled = U128{m} * scale;  // < 2^53 · 10^6 < 2^73
  const int down = -shift;
  U128 q = scaled >> down;
  if (down > 0) {
    const U128 rest = scaled - (q << down);
    const U128 half = U128{1} << (down - 1);
    if (rest > half || (rest == half && (q & 1) != 0)) ++q;
  }
  if (q >> 64 != 0) return false;  // more than 19 digits: std::to_chars writes them
  char digits[24];
  const int n = static_cast<int>(std::to_chars(digits, digits + sizeof digits, static_cast<std::uint64_t>(q)).ptr - digits);
  if (bits >> 63 != 0) *at++ = '-';
  if (n <= decimals) {  // "0.00ddd"
    *at++ = '0';
    *at++ = '.';
    for (int k = n; k < decimals; ++k) *at++ = '0';
    std::memcpy(at, digits, static_cast<std::size_t>(n));
    at += n;
    return true;
  }
  std::memcpy(at, digits, static_cast<std::size_t>(n - decimals));
  at += n - decimals;
  if (decimals > 0) {
    *at++ = '.';
    std::memcpy(at, digits + n - decimals, static_cast<std::size_t>(decimals));
    at += decimals;
  }
  return true;
}

}  // namespace

void AppendFixed(std::string& out, double value, int width, int decimals) {
  if (width < 0) width = 0;
  if (width > 200) width = 200;
  char buf[512];
  std::to_chars_result r;
  if (decimals <= 0 && std::fabs(value) < 9.0e15) {
    // A whole number: the integer's own digits.
    double whole = std::nearbyint(value);
    r = std::to_chars(buf, buf + sizeof buf, static_cast<std::int64_t>(whole));
  } else if (char* at = buf; decimals > 0 && ExactFixed(value, decimals, at)) {
    r.ptr = at;
  } else if (decimals > 0) {
    if (decimals > 60) decimals = 60;
    r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  } else {
    double whole = std::nearbyint(value);
    if (whole == 0) whole = 0;  // no "-0"
    r = std::to_chars(buf, buf + sizeof buf, whole, std::chars_format::fixed, 0);
  }
  const int length = static_cast<int>(r.ptr - buf);
  if (length < width) out.append(static_cast<std::size_t>(width - length), ' ');
  out.append(buf, static_cast<std::size_t>(length));
}

std::string FormatFixed(double value, int width, int decimals) {
  std::string out;
  out.reserve(static_cast<std::size_t>(std::clamp(width, 0, 200)));
  AppendFixed(out, value, width, decimals);
  return out;
}

void AppendNumber(std::string& out, double value, int width, int decimals) {
  if (width > 0) AppendFixed(out, value, width, decimals);
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
