// src/graphics/numbers.cpp — number formatting and rounding.
#include "graphics/numbers.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace gfx {

std::int32_t NearestInt(double v) {
  if (std::isnan(v)) return 0;
  double r = std::nearbyint(v);  // the default rounding mode: halves to even
  if (r >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (r <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(r);
}

std::string FormatFixed(double value, int width, int decimals) {
  if (width < 0) width = 0;
  if (width > 200) width = 200;
  char buf[512];
  if (decimals > 0) {
    if (decimals > 60) decimals = 60;
    std::snprintf(buf, sizeof buf, "%*.*f", width, decimals, value);
  } else {
    double r = std::nearbyint(value);
    if (r == 0) r = 0;  // no "-0"
    std::snprintf(buf, sizeof buf, "%*.0f", width, r);
  }
  return buf;
}

std::string FormatNumber(double value, int width, int decimals) {
  if (width <= 0) return std::string();
  return FormatFixed(value, width, decimals);
}

}  // namespace gfx
