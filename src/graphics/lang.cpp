// src/graphics/lang.cpp — language variants of a text.
#include "graphics/lang.h"

namespace gfx {

int LanguageIndex = 0;

namespace {
constexpr std::size_t kMaxPart = 120;

std::string_view Part(std::string_view text, int index) {
  std::size_t start = 0;
  for (int k = 0; k < index; ++k) {
    std::size_t semi = text.find(';', start);
    if (semi == std::string_view::npos) return {};
    start = semi + 1;
  }
  std::size_t end = text.find(';', start);
  std::string_view part = text.substr(start, end == std::string_view::npos ? text.npos : end - start);
  return part.substr(0, kMaxPart);
}
}  // namespace

std::string_view LangPartView(std::string_view text, int index) {
  std::string_view part = index > 0 ? Part(text, index) : std::string_view{};
  if (part.empty()) part = Part(text, 0);
  return part;
}

std::string LangPartOf(std::string_view text, int index) { return std::string(LangPartView(text, index)); }

std::string LangPart(std::string_view text) { return LangPartOf(text, LanguageIndex); }

}  // namespace gfx
