// The compiled-in stroke font: its coverage, its encoding, the bounds of its
// glyphs and the glyph arrays built from it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "graphics/text.h"

namespace {

using gfx::Font;

using Glyph = std::vector<std::array<int, 3>>;  // x, y, move

Glyph Loaded(int slot) {
  Glyph g;
  for (int k = Font.FirstStroke[slot]; k < Font.FirstStroke[slot] + Font.StrokeCount[slot]; ++k)
    g.push_back({Font.X[k], Font.Y[k], Font.Move[k]});
  return g;
}

int Extreme(unsigned char c, bool top) {
  int m = top ? -1000 : 1000;
  for (const auto& p : Loaded(c)) m = top ? std::max(m, p[1]) : std::min(m, p[1]);
  return m;
}

class FontTable : public ::testing::Test {
 protected:
  void SetUp() override { gfx::BuildStrokeFont(); }
};

// The space, ASCII but { } ~, and the Cyrillic letters, each defined once;
// every glyph but the space begins with a move, stays in its cell (the tick
// ^ reaches out), and font 1 is a copy of font 0; every slot is one cell wide.
TEST_F(FontTable, DefinesTheSpaceAsciiAndCyrillicLettersOnceEachWithinTheCell) {
  std::set<int> expected{' '}, defined{' '};
  for (int c = 33; c <= 126; ++c)
    if (c != '{' && c != '}' && c != '~') expected.insert(c);
  for (int c = 128; c <= 175; ++c) expected.insert(c);
  for (int c = 224; c <= 241; ++c) expected.insert(c);
  int starts = 0, endAt = -1;
  for (int i = 0; i + 1 < gfx::kFontTableBytes && endAt < 0; i += 2)
    if (gfx::kFontTable[i] == 255) endAt = i;
    else starts += gfx::kFontTable[i + 1] == 255;
  EXPECT_EQ(starts, 158) << "a code is defined twice";
  EXPECT_EQ(gfx::kFontTable[1], 255);  // it starts with a glyph
  EXPECT_EQ(endAt, gfx::kFontTableBytes - 2);
  EXPECT_LE(gfx::kFontTableBytes, gfx::kFontTableReadLimit);
  for (int c = 0; c < gfx::kFontSlotsPerFont; ++c) {
    const Glyph g = Loaded(c);
    if (!g.empty()) defined.insert(c);
    EXPECT_EQ(Loaded(c + 256), g) << c;
    EXPECT_EQ(Font.Width[c], 70) << c;
    EXPECT_EQ(Font.Width[c + 256], 70) << c;
    if (g.empty()) continue;
    EXPECT_GE(g.size(), 2u) << c;
    EXPECT_EQ(g.front()[2], 1) << c;
    for (const auto& [x, y, move] : g) EXPECT_TRUE(x >= 0 && x <= (c == '^' ? 127 : gfx::kFontUnits) && y >= -70 && y <= 127) << c;
  }
  EXPECT_EQ(defined, expected);
}

// Capitals and digits reach the capital height (Й and Ё carry their marks
// above it), small letters the x-height, descenders below the baseline.
TEST_F(FontTable, LettersReachTheirHeightsAndDepths) {
  struct Row { std::string Letters; bool Top; int Y; };
  const Row kRows[] = {
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789" + std::string("АБВГДЕЖЗИКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"_sc), true, 70},
      {"acemnorsuvwxz" + std::string("авгжикмнопстхчшыьэюя"_sc), true, 50},
      {"bdfhklt", true, 70},
      {"gpqy" + std::string("руф"_sc), false, -20},
      {"ДЦЩдцщ"_sc, false, -15},
      {",", false, -10},
      {"acemnorsuvwxzABCHOXZ0123456789", false, 0},
  };
  for (const Row& r : kRows)
    for (unsigned char c : r.Letters) EXPECT_EQ(Extreme(c, r.Top), r.Y) << int(c);
}

// Two codes stand for symbols: & is the radical sign, ^ the large tick (the
// letters' shapes are checked where text is laid out).
TEST_F(FontTable, AmpersandAndCircumflexAreSymbols) {
  EXPECT_EQ(Loaded('&'), (Glyph{{2, 0, 1}, {30, -70, 0}, {70, 70, 0}}));
  EXPECT_EQ(Loaded('^'), (Glyph{{10, 80, 1}, {50, 127, 0}, {110, 20, 0}}));
}

// Only a Latin letter and the Cyrillic letter of the same shape share a
// glyph; everything else, 0 and O or З and 3 included, looks different.
TEST_F(FontTable, OnlyLatinAndCyrillicTwinsShareAShape) {
  std::map<Glyph, std::set<int>> byShape;
  for (int c = 0; c < gfx::kFontSlotsPerFont; ++c)
    if (Font.StrokeCount[c] > 0) byShape[Loaded(c)].insert(c);
  std::set<std::set<int>> shared;
  for (const auto& [g, codes] : byShape)
    if (codes.size() > 1) shared.insert(codes);
  const std::string latin = "ABEKMHOPCTXaeopcyx";
  const std::string cyrillic = "АВЕКМНОРСТХаеорсух"_sc;
  std::set<std::set<int>> twins;
  for (std::size_t i = 0; i < latin.size(); ++i)
    twins.insert({static_cast<unsigned char>(latin[i]), static_cast<unsigned char>(cyrillic[i])});
  EXPECT_EQ(shared, twins);
  const std::string pairs[] = {"0O", "1l", "1I", "lI", "l|", "Oo", "Ss", "Zz", "Vv", "Ww", "Xx",
                               "З3"_sc, "Б6"_sc, "б6"_sc, "иu"_sc, "шw"_sc, "пn"_sc, "гr"_sc, "ЗЭ"_sc};
  for (const std::string& p : pairs)
    EXPECT_NE(Loaded(static_cast<unsigned char>(p[0])), Loaded(static_cast<unsigned char>(p[1]))) << p;
}

// --- The loader -------------------------------------------------------------

TEST_F(FontTable, ALaterDefinitionOfACodeIsIgnored) {
  const std::uint8_t table[] = {'X', 255, 256 - 10, 0, 50, 70,
                                'Y', 255, 256 - 20, 5, 30, 6,
                                'X', 255, 256 - 3, 1, 2, 2, 3, 3,
                                'Z', 255, 256 - 7, 8,
                                255, 0};
  gfx::BuildStrokeFontFrom(table, sizeof table);
  EXPECT_EQ(Loaded('X'), (Glyph{{10, 0, 1}, {50, 70, 0}}));
  EXPECT_EQ(Loaded('Y'), (Glyph{{20, 5, 1}, {30, 6, 0}}));
  EXPECT_EQ(Loaded('Z'), (Glyph{{7, 8, 1}}));
  EXPECT_EQ(Font.StrokeTotal, 5);
  EXPECT_EQ(Loaded('X' + 256), Loaded('X'));
}

TEST_F(FontTable, ReadingStopsAtTheEndPairAndAtTheReadLimit) {
  const std::uint8_t ended[] = {'X', 255, 256 - 10, 0, 255, 0, 'Y', 255, 256 - 20, 5};
  gfx::BuildStrokeFontFrom(ended, sizeof ended);
  EXPECT_EQ(Font.StrokeCount['X'], 1);
  EXPECT_EQ(Font.StrokeCount['Y'], 0);

  // A table without an end pair: only the first 2607 bytes count, that is
  // 1303 whole pairs. Glyphs of one start and 100 points each: twelve whole
  // glyphs take 1212 pairs, the thirteenth gets its start and 90 points.
  std::vector<std::uint8_t> endless;
  for (int code = 1; endless.size() < 4000; ++code) {
    endless.push_back(static_cast<std::uint8_t>(code));
    endless.push_back(255);
    for (int k = 0; k < 100; ++k) {
      endless.push_back(3);
      endless.push_back(5);
    }
  }
  gfx::BuildStrokeFontFrom(endless.data(), static_cast<int>(endless.size()));
  EXPECT_EQ(Font.StrokeTotal, 1290);
  EXPECT_EQ(Font.StrokeCount[12], 100);
  EXPECT_EQ(Font.StrokeCount[13], 90);
  EXPECT_EQ(Font.StrokeCount[14], 0);
}

}  // namespace
