// src/graphics/lang.h — language variants of a text.
//
// A text may hold variants separated by ";" (Russian; English; Polish).
// LanguageIndex picks one: 0 Russian, 1 English, 2 Polish.
#pragma once

#include <string>
#include <string_view>

namespace gfx {

extern int LanguageIndex;

// Part `index` of text split at ";" (parts counted from 0, each cut to 120
// characters); part 0 when that part is empty or missing.
std::string LangPartOf(std::string_view text, int index);
// The same part as a view into text, for a caller that only reads it.
std::string_view LangPartView(std::string_view text, int index);

// The variant of the current LanguageIndex.
std::string LangPart(std::string_view text);

}  // namespace gfx
