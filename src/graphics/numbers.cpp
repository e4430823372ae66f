// src/graphics/numbers.cpp — number formatting and rounding.
#include "graphics/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
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
std::string FormatFixed(double value, int width, int decimals) {
  if (width < 0) width = 0;
  if (width > 200) width = 200;
  char buf[512];
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
  std::string out;
  out.reserve(static_cast<std::size_t>(std::max(width, length)));
  if (length < width) out.append(static_cast<std::size_t>(width - length), ' ');
  out.append(buf, static_cast<std::size_t>(length));
  return out;
}

std::string FormatNumber(double value, int width, int decimals) {
  if (width <= 0) return std::string();
  return FormatFixed(value, width, decimals);
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
