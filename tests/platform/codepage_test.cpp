// The code pages, the number text and the language variants.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <climits>
#include <utility>

#include "graphics/lang.h"
#include "graphics/numbers.h"
#include "platform/codepage.h"

namespace {

// Screen literals are converted while compiling; every screen byte survives
// UTF-8 and back; unknown and malformed UTF-8 becomes question marks.
TEST(CodePage, ScreenTextAndUtf8) {
  constexpr const char* s = "АЯаппряЁё №"_sc;
  EXPECT_STREQ(s, "\x80\x9F\xA0\xAF\xAF\xE0\xEF\xF0\xF1 \xFC");
  EXPECT_STREQ("plain ASCII"_sc, "plain ASCII");
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(gfx::ScreenFromUtf8(gfx::Utf8FromScreen(all)), all);
  EXPECT_EQ(gfx::Utf8FromScreen("\x8F\xE0\xA8\xA2\xA5\xE2"), "Привет");
  EXPECT_EQ(gfx::ScreenFromUtf8("a€b"), "a?b");
  EXPECT_EQ(gfx::ScreenFromUtf8(std::string("x\xC3", 2)), "x?");
  EXPECT_EQ(gfx::ScreenFromUtf8(std::string("\xE2\x28\xA1", 3)), "?(?");
}

TEST(CodePage, WindowsCyrillicToScreen) {
  // А (192) → 128, я (255) → 239, р (240) → 224, Ё (168) → 240, ё (184) → 241.
  for (auto [win, screen] : {std::pair{192, 128}, {239, 175}, {240, 224}, {255, 239}, {168, 240},
                             {184, 241}, {'A', 'A'}, {150, 150}})
    EXPECT_EQ(gfx::WinToScreenByte(static_cast<unsigned char>(win)), screen) << win;
  for (int b = 192; b < 256; ++b)  // the letters come back (Ё and ё: the codes below)
    EXPECT_EQ(gfx::ScreenToWinByte(gfx::WinToScreenByte(static_cast<unsigned char>(b))), b) << b;
  EXPECT_EQ(gfx::ScreenToWinCodes("\xF0\xF1z"), "\xA8\xB8z");
}

// Each row: a formatter, the value, width and decimals, and the text. Fixed
// point is right-aligned in a minimum width; shown to a person, a value too
// small for its decimals keeps its digits; in a picture a number wider than
// 16 characters takes the exponent form; absurd values never crash.
TEST(Numbers, FormattersGiveTheirTexts) {
  using Formatter = std::string (*)(double, int, int);
  const Formatter number = gfx::FormatNumber, fixed = gfx::FormatFixed, kept = gfx::FormatKeepingDigits,
                  compact = gfx::FormatNumberCompact;
  const struct { Formatter Format; double Value; int Width, Decimals; const char* Text; } kRows[] = {
      {number, 3.14159265, 8, 3, "   3.142"}, {number, 2.5, 4, 0, "   2"},    {number, 3.5, 4, 0, "   4"},
      {number, -0.4, 3, 0, "  0"},           {number, 7, 0, 3, ""},         {number, -1.25, 6, 3, "-1.250"},
      {number, 123456.789, 6, 3, "123456.789"}, {fixed, 15, 0, 0, "15"},    {fixed, -1, 0, 0, "-1"},
      {kept, 0.0001, 6, 3, "0.0001"},        {kept, 0.25, 6, 3, " 0.250"},  {kept, 0.0123, 6, 3, "0.0123"},
      {kept, 2.0001, 6, 3, " 2.000"},        {kept, 0, 6, 3, " 0.000"},     {kept, -0.00015, 9, 3, " -0.00015"},
      {kept, 1e-12, 9, 3, " 1.00e-12"},      {kept, 0.4, 3, 0, "  0"},      {kept, 5000, 6, 3, "5000.000"},
      {number, std::nan(""), 6, 3, "   nan"}, {number, -INFINITY, 6, 0, "  -inf"},
      {compact, 28652455872786340100192449069056.0, 9, 0, "2.865246e+31"},
      {compact, -1e15, 6, 3, "-1.000000e+15"}, {compact, 123456789.125, 6, 3, "123456789.125"},
      {compact, 7, 20, 3, "               7.000"},
  };
  for (const auto& r : kRows) EXPECT_EQ(r.Format(r.Value, r.Width, r.Decimals), r.Text) << r.Value;
  EXPECT_EQ(gfx::FormatNumber(1e308, 1, 60).size(), 309u + 1 + 60);
  EXPECT_EQ(gfx::FormatNumber(1, 100000, 2).size(), 200u);
}

TEST(Numbers, NearestIntHalvesToEvenAndSaturates) {
  for (auto [x, n] : {std::pair{2.5, 2}, {3.5, 4}, {-0.5, 0}, {-0.7, -1}, {1e30, INT_MAX},
                      {-1e30, INT_MIN}, {std::nan(""), 0}})
    EXPECT_EQ(gfx::NearestInt(x), n) << x;
}

TEST(Lang, PartOfTheCurrentLanguageFallsBackToTheFirst) {
  const struct { const char* Text; int Language; const char* Part; } kRows[] = {
      {"Графопостроитель;Printer/Export", 0, "Графопостроитель"},
      {"Графопостроитель;Printer/Export", 1, "Printer/Export"},
      {"Графопостроитель;Printer/Export", 2, "Графопостроитель"}, {"Выводить;Output", 2, "Выводить"},
      {"a;;c", 1, "a"}, {"a;;c", 2, "c"}, {"Масштаб", 1, "Масштаб"}};
  for (const auto& r : kRows) EXPECT_EQ(gfx::LangPartOf(r.Text, r.Language), r.Part) << r.Text << r.Language;
  EXPECT_EQ(gfx::LangPartOf(std::string(300, 'x') + ";y", 0), std::string(120, 'x'));
  int saved = gfx::LanguageIndex;
  gfx::LanguageIndex = 1;
  EXPECT_EQ(gfx::LangPart("Масштаб;Scale"), "Scale");
  gfx::LanguageIndex = saved;
}


// The formatter must give exactly printf's digits, halves of the binary
// value included, for the values the program writes.
TEST(Numbers, FixedTextIsPrintfsText) {
  unsigned seed = 99;
  auto next = [&] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 4;
  };
  for (int i = 0; i < 20000; ++i) {
    const int exponent = static_cast<int>(next() % 24) - 12;
    float f = static_cast<float>((static_cast<double>(next()) / (1u << 27) - 0.5) * std::pow(10.0, exponent));
    const int decimals = static_cast<int>(next() % 13);
    const int width = static_cast<int>(next() % 16);
    char expected[512];
    if (decimals > 0) {
      std::snprintf(expected, sizeof expected, "%*.*f", width, decimals, static_cast<double>(f));
    } else {
      double r = std::nearbyint(static_cast<double>(f));
      std::snprintf(expected, sizeof expected, "%*.0f", width, r == 0 ? 0.0 : r);
    }
    ASSERT_EQ(gfx::FormatFixed(f, width, decimals), expected) << f << " " << decimals;
  }
  EXPECT_EQ(gfx::FormatFixed(0.125, 0, 2), "0.12");  // an exact half goes to even, as printf
  EXPECT_EQ(gfx::FormatFixed(0.375, 0, 2), "0.38");
}

}  // namespace
