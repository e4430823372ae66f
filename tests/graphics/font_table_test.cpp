// The compiled-in stroke font: its coverage, its encoding, the bounds of its
// glyphs and the glyph arrays built from it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "graphics/text.h"

namespace {

using gfx::Font;

struct Point {
  int X, Y, Move;
  bool operator==(const Point&) const = default;
  bool operator<(const Point& o) const {
    return X != o.X ? X < o.X : Y != o.Y ? Y < o.Y : Move < o.Move;
  }
};
using Glyph = std::vector<Point>;

// Decodes the table independently of the loader: code → points, in order.
std::map<int, Glyph> DecodeTable(int* endPairAt = nullptr, int* starts = nullptr) {
  std::map<int, Glyph> glyphs;
  int code = -1, count = 0;
  for (int i = 0; i + 1 < gfx::kFontTableBytes; i += 2) {
    const int a = gfx::kFontTable[i], b = gfx::kFontTable[i + 1];
    if (a == 255) {
      if (endPairAt) *endPairAt = i;
      break;
    }
    if (b == 255) {
      code = a;
      ++count;
      glyphs[code];
      continue;
    }
    const int y = static_cast<std::int8_t>(b);
    glyphs[code].push_back(a < 128 ? Point{a, y, 0} : Point{256 - a, y, 1});
  }
  if (starts) *starts = count;
  return glyphs;
}

Glyph Loaded(int slot) {
  Glyph g;
  for (int k = Font.FirstStroke[slot]; k < Font.FirstStroke[slot] + Font.StrokeCount[slot]; ++k)
    g.push_back({Font.X[k], Font.Y[k], Font.Move[k]});
  return g;
}

std::set<int> ExpectedCodes() {
  std::set<int> codes{' '};
  for (int c = 33; c <= 126; ++c)
    if (c != '{' && c != '}' && c != '~') codes.insert(c);
  for (int c = 128; c <= 175; ++c) codes.insert(c);
  for (int c = 224; c <= 241; ++c) codes.insert(c);
  return codes;
}

int MinY(const Glyph& g) {
  int m = 1000;
  for (const Point& p : g) m = std::min(m, p.Y);
  return m;
}
int MaxY(const Glyph& g) {
  int m = -1000;
  for (const Point& p : g) m = std::max(m, p.Y);
  return m;
}

class FontTable : public ::testing::Test {
 protected:
  void SetUp() override { gfx::BuildStrokeFont(); }
};

// --- Coverage -------------------------------------------------------------

TEST_F(FontTable, DefinesExactlyTheSpaceAsciiAndCyrillicLetters) {
  int starts = 0;
  const auto glyphs = DecodeTable(nullptr, &starts);
  std::set<int> codes;
  for (const auto& [code, g] : glyphs) codes.insert(code);
  EXPECT_EQ(codes, ExpectedCodes());
  EXPECT_EQ(codes.size(), 158u);
  EXPECT_EQ(starts, 158) << "a code is defined twice";
}

TEST_F(FontTable, EveryCodeButTheSpaceHasStrokesAndBeginsWithAMove) {
  for (const auto& [code, g] : DecodeTable()) {
    if (code == ' ') {
      EXPECT_TRUE(g.empty());
      continue;
    }
    ASSERT_GE(g.size(), 2u) << code;
    EXPECT_EQ(g.front().Move, 1) << code;
  }
}

// --- Encoding -------------------------------------------------------------

TEST_F(FontTable, StartsWithAGlyphAndEndsWithTheEndPairWithinTheReadLimit) {
  ASSERT_GE(gfx::kFontTableBytes, 2);
  EXPECT_EQ(gfx::kFontTable[1], 255);
  int endAt = -1;
  DecodeTable(&endAt);
  EXPECT_EQ(endAt, gfx::kFontTableBytes - 2);
  EXPECT_LE(gfx::kFontTableBytes, gfx::kFontTableReadLimit);
  EXPECT_LE(endAt + 2, gfx::kFontTableReadLimit);
  EXPECT_EQ(gfx::kFontTableBytes % 2, 0);
}

// --- Bounds ---------------------------------------------------------------

TEST_F(FontTable, PointsStayInTheCellExceptTheTick) {
  for (const auto& [code, g] : DecodeTable()) {
    const int maxX = code == '^' ? 127 : gfx::kFontUnits;
    for (const Point& p : g) {
      EXPECT_GE(p.X, 0) << code;
      EXPECT_LE(p.X, maxX) << code;
      EXPECT_GE(p.Y, -70) << code;
      EXPECT_LE(p.Y, 127) << code;
    }
  }
}

TEST_F(FontTable, CapitalsAndDigitsReachTheCapitalHeight) {
  // Й and Ё carry their marks above the cell and are left out.
  const std::string tall = std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789") +
                           "АБВГДЕЖЗИКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ"_sc;
  for (unsigned char c : tall) {
    const Glyph g = Loaded(c);
    EXPECT_EQ(MaxY(g), 70) << int(c);
  }
}

TEST_F(FontTable, SmallLettersStandAtTheXHeight) {
  for (unsigned char c : std::string("acemnorsuvwxz") + "авгжикмнопстхчшыьэюя"_sc)
    EXPECT_EQ(MaxY(Loaded(c)), 50) << int(c);
  for (unsigned char c : std::string("bdfhklt")) EXPECT_EQ(MaxY(Loaded(c)), 70) << c;
}

TEST_F(FontTable, DescendersReachBelowTheBaseline) {
  for (unsigned char c : std::string("gpqy") + "руф"_sc) EXPECT_EQ(MinY(Loaded(c)), -20) << int(c);
  for (unsigned char c : std::string("ДЦЩдцщ"_sc)) EXPECT_EQ(MinY(Loaded(c)), -15) << int(c);
  EXPECT_EQ(MinY(Loaded(',')), -10);
  for (unsigned char c : std::string("acemnorsuvwxzABCHOXZ0123456789"))
    EXPECT_EQ(MinY(Loaded(c)), 0) << c;
}

// --- The sample glyphs and the symbols --------------------------------------

// Two codes stand for symbols: & is the radical sign, ^ the large tick (the
// letters' shapes are checked where text is laid out).
TEST_F(FontTable, AmpersandAndCircumflexAreSymbols) {
  EXPECT_EQ(Loaded('&'), (Glyph{{2, 0, 1}, {30, -70, 0}, {70, 70, 0}}));
  EXPECT_EQ(Loaded('^'), (Glyph{{10, 80, 1}, {50, 127, 0}, {110, 20, 0}}));
}

// --- Distinct shapes --------------------------------------------------------

// Only a Latin letter and the Cyrillic letter of the same shape share a
// glyph; everything else, 0 and O or З and 3 included, looks different.
TEST_F(FontTable, OnlyLatinAndCyrillicTwinsShareAShape) {
  std::map<Glyph, std::set<int>> byShape;
  for (const auto& [code, g] : DecodeTable())
    if (!g.empty()) byShape[g].insert(code);
  std::set<std::set<int>> shared;
  for (const auto& [g, codes] : byShape)
    if (codes.size() > 1) shared.insert(codes);
  const std::string latin = "ABEKMHOPCTXaeopcyx";
  const std::string cyrillic = "АВЕКМНОРСТХаеорсух"_sc;
  std::set<std::set<int>> twins;
  for (std::size_t i = 0; i < latin.size(); ++i)
    twins.insert({static_cast<unsigned char>(latin[i]), static_cast<unsigned char>(cyrillic[i])});
  EXPECT_EQ(shared, twins);
}

TEST_F(FontTable, LookAlikesDiffer) {
  const std::string pairs[] = {"0O", "1l", "1I", "lI", "l|", "Oo", "Ss", "Zz", "Vv", "Ww", "Xx"};
  for (const std::string& p : pairs)
    EXPECT_NE(Loaded(static_cast<unsigned char>(p[0])), Loaded(static_cast<unsigned char>(p[1]))) << p;
  const std::string cyr[] = {"З3"_sc, "Б6"_sc, "б6"_sc, "иu"_sc, "шw"_sc, "пn"_sc, "гr"_sc, "ЗЭ"_sc};
  for (const std::string& p : cyr)
    EXPECT_NE(Loaded(static_cast<unsigned char>(p[0])), Loaded(static_cast<unsigned char>(p[1])));
}

// --- The loader -------------------------------------------------------------

TEST_F(FontTable, LoadedGlyphsMatchTheTable) {
  for (const auto& [code, g] : DecodeTable()) EXPECT_EQ(Loaded(code), g) << code;
}

TEST_F(FontTable, FontOneIsACopyOfFontZero) {
  for (int c = 0; c < gfx::kFontSlotsPerFont; ++c) {
    EXPECT_EQ(Font.StrokeCount[c + 256], Font.StrokeCount[c]);
    EXPECT_EQ(Font.FirstStroke[c + 256], Font.FirstStroke[c]);
    EXPECT_EQ(Font.Width[c + 256], Font.Width[c]);
  }
}

TEST_F(FontTable, EverySlotAdvancesByOneCell) {
  for (int s = 0; s < gfx::kFontSlots; ++s) EXPECT_EQ(Font.Width[s], 70) << s;
  EXPECT_EQ(Font.StrokeCount['{'], 0);
  EXPECT_EQ(Font.StrokeCount[0xB0], 0);
  EXPECT_EQ(Font.StrokeCount[' '], 0);
}

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
