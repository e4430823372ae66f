// Text layout, screen text, the screen metrics and the helpers the text
// header passes on.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "graphics/kernel_fixture.h"
#include "graphics/text.h"

namespace {

struct Stroke {
  float X, Y, Z;
  int Move;
  bool operator==(const Stroke&) const = default;
};
std::vector<Stroke> gStrokes;
void Record(float x, float y, float z, int move) { gStrokes.push_back({x, y, z, move}); }

std::ostream& operator<<(std::ostream& os, const Stroke& s) {
  return os << "(" << s.X << ", " << s.Y << ", " << s.Z << (s.Move ? ", move)" : ", draw)");
}

class TextLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    gfx::BuildStrokeFont();
    gfx::TextMode = 0;
    gfx::TextStrokeOut = Record;
    gStrokes.clear();
  }
  void TearDown() override {
    gfx::TextStrokeOut = gfx::IgnoreTextStroke;
    gfx::TextMode = 0;
  }
  // One font unit per unit along x, `up` units per font unit along y.
  static void Draw(const std::string& text, float up = 1) {
    const float n = static_cast<float>(std::max<std::size_t>(text.size(), 1));
    gfx::DrawText3(text, 0, 0, 0, 70 * n, 0, 0, 0, 70 * up, 0, 0);
  }
  static int Count(unsigned char c) { return gfx::Font.StrokeCount[c]; }
  // The glyph of c as placed at advance a, shift s, divisor q, scaled by `up`.
  static std::vector<Stroke> Placed(unsigned char c, double a, double s, double q, double up = 1) {
    std::vector<Stroke> out;
    const auto& f = gfx::Font;
    for (int k = f.FirstStroke[c]; k < f.FirstStroke[c] + f.StrokeCount[c]; ++k)
      out.push_back({static_cast<float>(a + f.X[k] * 70 / q),
                     static_cast<float>((s + f.Y[k] * 70 / q) * up), 0, f.Move[k]});
    return out;
  }
  static std::vector<Stroke> Slice(int from, int count) {
    return {gStrokes.begin() + from, gStrokes.begin() + from + count};
  }
};

// --- Placement along the baseline -------------------------------------------

// Strokes of DrawText3 by their index: one capital fills its cell; a text
// fills the baseline whatever its length (two characters on a baseline 280
// long: two units per font unit); baseline and up direction may point
// anywhere (along z, capitals along −x, from (1, 2, 3)); both fonts draw the
// same glyphs, and an empty text nothing.
TEST_F(TextLayout, TextFillsItsBaselineInAnyDirection) {
  const struct { const char* Text; std::array<float, 9> Frame; int Font; std::size_t Count; std::vector<std::pair<int, Stroke>> At; } kRows[] = {
      {"A", {0, 0, 0, 70, 0, 0, 0, 70, 0}, 0, 5,
       {{0, {10, 0, 0, 1}}, {1, {40, 70, 0, 0}}, {2, {50, 0, 0, 0}}, {3, {20, 20, 0, 1}}, {4, {50, 20, 0, 0}}}},
      {"HH", {0, 0, 0, 280, 0, 0, 0, 70, 0}, 0, 12, {{6, {160, 70, 0, 1}}, {11, {240, 70, 0, 0}}}},  // (70 + 10) · 2
      {"HH", {0, 0, 0, 280, 0, 0, 0, 70, 0}, 1, 12, {{6, {160, 70, 0, 1}}, {11, {240, 70, 0, 0}}}},
      {"A", {1, 2, 3, 1, 2, 73, -69, 2, 3}, 0, 5, {{0, {1, 2, 13, 1}}, {1, {-69, 2, 43, 0}}, {4, {-19, 2, 53, 0}}}},
      {"", {0, 0, 0, 70, 0, 0, 0, 70, 0}, 0, 0, {}},
      // All four bytes of x\2\ span the baseline: the small 2's first point
      // (10, 60) at 70 %, (70 + 7) · 2 along and 42 − 17.5 up.
      {"x\\2\\", {0, 0, 0, 560, 0, 0, 0, 70, 0}, 0, std::size_t(Count('x') + Count('2')), {{Count('x'), {154, 24.5f, 0, 1}}}},
  };
  for (const auto& r : kRows) {
    SCOPED_TRACE(testing::Message() << r.Text << ", font " << r.Font);
    gStrokes.clear();
    const auto& f = r.Frame;
    gfx::DrawText3(r.Text, f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], r.Font);
    ASSERT_EQ(gStrokes.size(), r.Count);
    for (const auto& [k, stroke] : r.At) EXPECT_EQ(gStrokes[k], stroke) << k;
  }
}

// --- Diacritics -----------------------------------------------------------------

// After a tilde each Polish letter gets its mark, placed at its cell's
// origin, and is itself placed as usual: the tilde takes no room, for the
// letter nor for those after it. Other characters, and a tilde at the end,
// get the unknown mark; a mark is not scaled in a subscript.
TEST_F(TextLayout, TildeMarksTheNextLetter) {
  const std::vector<Stroke> unknown = {{0, 0, 0, 1}, {50, 70, 0, 0}};
  const std::pair<const char*, std::vector<Stroke>> kRows[] = {
      {"AEae", {{20, 0, 0, 1}, {20, -20, 0, 0}, {30, -20, 0, 0}}},  // ogonek
      {"cnos", {{20, 55, 0, 1}, {30, 70, 0, 0}}},                   // small acute
      {"CNOS", {{20, 75, 0, 1}, {30, 90, 0, 0}}},                   // capital acute
      {"Ll", {{20, 20, 0, 1}, {40, 40, 0, 0}}},                     // stroke
      {"z", {{20, 70, 0, 1}, {20, 71, 0, 0}}},
      {"Z", {{30, 75, 0, 1}, {30, 76, 0, 0}}},
      {"x7", unknown},
  };
  for (const auto& [letters, want] : kRows)
    for (const char* c = letters; *c; ++c) {
      SCOPED_TRACE(*c);
      gStrokes.clear();
      Draw(std::string("-~") + *c + "-");  // after one letter: the mark at the second cell
      const int at = Count('-'), n = static_cast<int>(want.size());
      ASSERT_EQ(gStrokes.size(), static_cast<std::size_t>(at + n + Count(*c) + Count('-')));
      std::vector<Stroke> mark = Slice(at, n);
      for (Stroke& m : mark) m.X -= 70;
      EXPECT_EQ(mark, want);
      EXPECT_EQ(Slice(at + n, Count(*c)), Placed(static_cast<unsigned char>(*c), 70, 0, 70));
      EXPECT_EQ(Slice(at + n + Count(*c), Count('-')), Placed('-', 140, 0, 70));
    }
  gStrokes.clear();
  Draw("-~");
  EXPECT_EQ(Slice(Count('-'), 2), (std::vector<Stroke>{{70, 0, 0, 1}, {120, 70, 0, 0}}));
  gStrokes.clear();
  Draw("\\~a\\");
  ASSERT_GE(gStrokes.size(), 3u);
  EXPECT_EQ(Slice(0, 3), (std::vector<Stroke>{{20, -17.5f, 0, 1}, {20, -37.5f, 0, 0}, {30, -37.5f, 0, 0}}));
}

// --- Placement, subscript and superscript -----------------------------------------

// Each row: a text drawn one font unit per unit along x (`up` along y), and
// glyphs that must appear in it as placed at advance A, shift S, divisor Q,
// after the strokes of the glyphs in Before. A backslash draws a small
// subscript below the line, a bar a superscript above; either closes
// either; the switch characters count in the baseline's length but take no
// room; characters without a glyph advance one cell; plain mode draws the
// switches as characters.
TEST_F(TextLayout, GlyphsArePlacedAlongTheBaseline) {
  struct Glyph { const char* Before; unsigned char C; double A, S, Q; };
  struct Row { std::string Text; int Mode; float Up; std::vector<Glyph> Glyphs; };
  const Row kRows[] = {
      {"{\xB0" "A", 0, 1, {{"", 'A', 140, 0, 70}}},
      {"x\\2\\", 0, 2, {{"", 'x', 0, 0, 70}, {"x", '2', 70, -17.5, 100}}},  // 4 cells
      {"x\\2\\x", 0, 1, {{"x2", 'x', 70 + 49, 0, 70}}},  // x right after the small 2
      {"x|2|", 0, 1, {{"x", '2', 70, 52.5, 100}}},
      {"\\1|A", 0, 1, {{"", '1', 0, -17.5, 100}, {"1", 'A', 49, 0, 70}}},
      {"a|b", gfx::kTextModePlain, 1, {{"a", '|', 70, 0, 70}, {"a|", 'b', 140, 0, 70}}},
  };
  for (const Row& r : kRows) {
    SCOPED_TRACE(r.Text);
    gStrokes.clear();
    gfx::TextMode = r.Mode;
    Draw(r.Text, r.Up);
    std::size_t all = 0;
    for (const Glyph& g : r.Glyphs) {
      int at = 0;
      for (const char* b = g.Before; *b; ++b) at += Count(static_cast<unsigned char>(*b));
      all = std::max(all, static_cast<std::size_t>(at + Count(g.C)));
      ASSERT_GE(gStrokes.size(), static_cast<std::size_t>(at + Count(g.C)));
      EXPECT_EQ(Slice(at, Count(g.C)), Placed(g.C, g.A, g.S, g.Q, r.Up)) << g.C;
    }
    EXPECT_EQ(gStrokes.size(), all);  // and nothing else is drawn
  }
}

// --- Long texts -------------------------------------------------------------------

TEST_F(TextLayout, ThousandsOfBytesDrawEveryGlyph) {
  std::string text;
  std::size_t expected = 0;
  gfx::TextMode = gfx::kTextModePlain;
  for (int i = 0; i < 6000; ++i) {
    const auto b = static_cast<unsigned char>(i % 256);
    if (b == '~') continue;
    text += static_cast<char>(b);
    expected += Count(b);
  }
  Draw(text);
  ASSERT_EQ(gStrokes.size(), expected);
  EXPECT_GT(gStrokes.back().X, 70.0f * (text.size() - 256));
  EXPECT_LE(gStrokes.back().X, 70.0f * text.size());
}

// --- Screen text ------------------------------------------------------------------

// Screen text on the kernel's picture, drawn in white.
class ScreenText : public kerneltest::KernelTest {
 protected:
  void SetUp() override {
    KernelTest::SetUp();
    gfx::BuildStrokeFont();
    gfx::TextMode = 0;
    gfx::SetColor(15);
  }
  void TearDown() override { gfx::TextStrokeOut = gfx::IgnoreTextStroke; }
  static int RightmostLit() {
    int right = -1;
    for (int y = 0; y < kerneltest::kHeight; ++y)
      for (int x = 0; x < kerneltest::kWidth; ++x)
        if (Px(x, y) != kerneltest::kBlack) right = std::max(right, x);
    return right;
  }
};

// An empty text draws nothing; "H" 14 pixels high, 14 wide at (20, 40) has
// stems at x 22 and 30; a minus 14 wide lights 15..45 of 70.
TEST_F(ScreenText, TextOutDrawsUpwardFromTheBaseline) {
  gfx::TextOut("", 20, 40, 14, 14);
  gfx::TextOut("H", 20, 40, 14, 14);
  for (int y = 26; y <= 40; ++y) {
    EXPECT_EQ(Px(22, y), kerneltest::kWhite) << y;
    EXPECT_EQ(Px(30, y), kerneltest::kWhite) << y;
  }
  for (int x = 22; x <= 30; ++x) EXPECT_EQ(Px(x, 32), kerneltest::kWhite) << x;  // 40 − 14 · 40/70
  EXPECT_EQ(std::pair(Px(22, 25), Px(26, 40)), std::pair(kerneltest::kBlack, kerneltest::kBlack));
  EXPECT_EQ(LitCount(), 15 + 15 + 7);
  gfx::TextOut("-", 60, 40, 14, 14);
  EXPECT_EQ(LitCount(), 15 + 15 + 7 + 7);
}

TEST_F(ScreenText, PixelSinkRoundsToTheNearestPixel) {
  gfx::DrawTextPixels(".", 0, 10, 7, 10, 0, 3, 0);  // 0.1 pixel per font unit
  // The point's stroke (30, 5)–(30, 0): x 3, y from 9.5 (to even: 10) to 10.
  EXPECT_EQ(Px(3, 10), kerneltest::kWhite);
  EXPECT_EQ(LitCount(), 1);
}

// Ten cells of 10 pixels would end at 100; the last stem is at 9 · 70 + 50
// font units: a narrower maximum squeezes the text, a wider one keeps its pitch.
TEST_F(ScreenText, TextOutFitSqueezesOnlyATextTooLongForTheMaximumWidth) {
  for (auto [width, right] : {std::pair{60, 58}, {100, 97}, {150, 97}, {0, 97}}) {  // 680·60/700 = 58.3
    SetUp();
    if (width > 0) gfx::TextOutFit("HHHHHHHHHH", 0, 30, 10, 10, width);
    else gfx::TextOut("HHHHHHHHHH", 0, 30, 10, 10);
    EXPECT_EQ(RightmostLit(), right) << width;
  }
}

TEST_F(ScreenText, XorTextErasesItselfWhenDrawnTwice) {
  gfx::SetXorMode(1);
  gfx::TextOut("Brelmora", 2, 40, 20, 20);
  EXPECT_GT(LitCount(), 0);
  gfx::TextOut("Brelmora", 2, 40, 20, 20);
  EXPECT_EQ(LitCount(), 0);
}

TEST_F(ScreenText, ThousandsOfBytesThroughTextOutDoNotCrash) {
  std::string text;
  for (int i = 0; i < 20000; ++i) text += static_cast<char>(32 + i % 220);
  gfx::TextOut(text, -5, 30, 14, 10);
  gfx::TextOut(text, 0, 30, 1000000, 1000000);
  gfx::TextOutFit(text, 0, 30, 14, 10, 150);
  EXPECT_GT(LitCount(), 0);
}

// --- Screen metrics ---------------------------------------------------------------

// The text height, pitch, line step, menu strip height and column width
// for window sizes and lines per screen.
TEST(TextMetrics, FollowTheWindowSize) {
  const struct { int W, H, Lines, Height, Pitch, Step, Strip, Column; } kRows[] = {
      {1024, 768, 50, 13, 12, 25, 104, 306}, {800, 600, 50, 10, 7, 19, 80, 240},
      {801, 600, 50, 10, 10, 19, 80, 240},   {1001, 700, 50, 12, 12, 23, 96, 301},
      {1200, 900, 50, 16, 12, 31, 128, 357}, {1201, 900, 50, 16, 14, 31, 128, 357},
      {1500, 1000, 50, 18, 14, 35, 144, 452}, {1920, 1080, 50, 19, 16, 37, 152, 589},
      {1920, 1080, 70, 13, 16, 25, 104, 605}, {1920, 1080, 100, 8, 16, 15, 64, 618},
      {320, 200, 50, 7, 7, 13, 56, 88},
  };
  for (const auto& m : kRows) {
    gfx::LinesPerScreen = m.Lines;
    gfx::ComputeTextMetrics(m.W, m.H);
    EXPECT_EQ((std::array{gfx::TextHeight, gfx::TextPitch, gfx::TextLineStep, gfx::MenuStripHeight,
                          gfx::MenuColumnWidth}),
              (std::array{m.Height, m.Pitch, m.Step, m.Strip, m.Column}))
        << m.W << "x" << m.H << ", " << m.Lines << " lines";
  }
  gfx::LinesPerScreen = gfx::kDefaultLinesPerScreen;
}

}  // namespace
