// src/graphics/text.cpp — the stroke font and the text services.
//
//   Stroke font      reading the compiled-in table into the slot arrays
//   Text layout      DrawText3 with sub- and superscripts and diacritics
//   Screen text      the pixel sink, DrawTextPixels, TextOut, TextOutFit
//   Screen metrics   ComputeTextMetrics
//
// Drawing a text allocates nothing: a glyph is found by its slot and its
// strokes are read from flat arrays.
#include "graphics/text.h"

#include <algorithm>
#include <cstddef>
#include <limits>

#include "graphics/kernel.h"

namespace gfx {

StrokeFont Font;
TextStrokeSink TextStrokeOut = IgnoreTextStroke;
int TextMode = 0;

int LinesPerScreen = kDefaultLinesPerScreen;
int TextHeight = kMinTextHeight;
int TextPitch = 7;
int TextLineStep = 2 * kMinTextHeight - 1;
int MenuStripHeight = 8 * kMinTextHeight;
int MenuColumnWidth = 0;

// ---------------------------------------------------------------------------
// Stroke font
// ---------------------------------------------------------------------------

namespace {
constexpr int kByteRange = 256;  // a move to x is stored as 256 − x

std::int8_t SignedByte(std::uint8_t b) { return static_cast<std::int8_t>(b); }
}  // namespace

void BuildStrokeFontFrom(const std::uint8_t* table, int bytes) {
  Font = StrokeFont{};
  // Undefined characters still advance by a whole cell, so a text keeps
  // the length of its baseline whatever it holds.
  std::fill(std::begin(Font.Width), std::end(Font.Width), std::uint8_t{kFontUnits});

  const int limit = std::min(bytes, kFontTableReadLimit);
  bool defined[kFontSlotsPerFont] = {};
  int slot = -1;          // the glyph being read; -1 before the first start
  bool skipping = false;  // the glyph was defined before: its strokes are ignored
  for (int i = 0; i + 1 < limit; i += 2) {
    const std::uint8_t first = table[i];
    const std::uint8_t second = table[i + 1];
    if (first == kTableEnd) break;
    if (second == kGlyphStart) {
      slot = first;
      skipping = defined[slot];
      defined[slot] = true;
      if (!skipping) Font.FirstStroke[slot] = Font.StrokeTotal;
      continue;
    }
    if (slot < 0 || skipping) continue;
    if (Font.StrokeTotal >= kStrokeCapacity) break;
    // The count is a byte: a glyph of more than 255 points keeps its first 255.
    if (Font.StrokeCount[slot] == 255) continue;
    const int k = Font.StrokeTotal++;
    const bool move = first >= kMoveFlagFrom;
    Font.X[k] = static_cast<std::int8_t>(move ? kByteRange - first : first);
    Font.Y[k] = SignedByte(second);
    Font.Move[k] = move ? 1 : 0;
    ++Font.StrokeCount[slot];
  }

  for (int c = 0; c < kFontSlotsPerFont; ++c) {
    Font.StrokeCount[c + kFontSlotsPerFont] = Font.StrokeCount[c];
    Font.FirstStroke[c + kFontSlotsPerFont] = Font.FirstStroke[c];
    Font.Width[c + kFontSlotsPerFont] = Font.Width[c];
  }
}

void BuildStrokeFont() { BuildStrokeFontFrom(kFontTable, kFontTableBytes); }

// ---------------------------------------------------------------------------
// Text layout
// ---------------------------------------------------------------------------

void IgnoreTextStroke(float, float, float, int) {}

namespace {

// Sizes of the two scripts: a glyph point x is placed at x · 70 / q, so
// q = 100 draws at 70 %. A subscript's baseline sits a quarter of the
// small size below the line, a superscript's three quarters above it.
constexpr double kNormalDivisor = 70.0;
constexpr double kSmallDivisor = 100.0;
constexpr double kSubscriptShift = -17.5;
constexpr double kSuperscriptShift = 52.5;

constexpr unsigned char kTilde = '~';
constexpr unsigned char kSubscript = '\\';
constexpr unsigned char kSuperscript = '|';

// A Polish diacritic: a short mark, a move and up to two draws, in font
// units from the origin of the letter it marks.
struct Diacritic {
  int Count;
  int X[3], Y[3];
};

constexpr Diacritic kOgonek = {3, {20, 20, 30}, {0, -20, -20}};
constexpr Diacritic kSmallAcute = {2, {20, 30}, {55, 70}};
constexpr Diacritic kCapitalAcute = {2, {20, 30}, {75, 90}};
constexpr Diacritic kStroke = {2, {20, 40}, {20, 40}};
constexpr Diacritic kSmallDot = {2, {20, 20}, {70, 71}};
constexpr Diacritic kCapitalDot = {2, {30, 30}, {75, 76}};
// A letter the tilde does not know is crossed out, so the slip shows.
constexpr Diacritic kUnknownMark = {2, {0, 50}, {0, 70}};

const Diacritic& DiacriticFor(int next) {
  switch (next) {
    case 'A': case 'E': case 'a': case 'e': return kOgonek;
    case 'c': case 'n': case 'o': case 's': return kSmallAcute;
    case 'C': case 'N': case 'O': case 'S': return kCapitalAcute;
    case 'L': case 'l': return kStroke;
    case 'z': return kSmallDot;
    case 'Z': return kCapitalDot;
    default: return kUnknownMark;
  }
}

// The frame of one text: the origin P0, D per font unit along the
// baseline and U per font unit upwards.
struct TextFrame {
  double Ox, Oy, Oz;
  double Dx, Dy, Dz;
  double Ux, Uy, Uz;
};

void Emit(const TextFrame& f, double along, double up, int move) {
  TextStrokeOut(static_cast<float>(f.Ox + along * f.Dx + up * f.Ux),
                static_cast<float>(f.Oy + along * f.Dy + up * f.Uy),
                static_cast<float>(f.Oz + along * f.Dz + up * f.Uz), move);
}

}  // namespace

void DrawText3(std::string_view text,
               float x0, float y0, float z0,
               float x1, float y1, float z1,
               float x2, float y2, float z2, int font) {
  const std::size_t n = text.size();
  const double cells = kFontUnits * static_cast<double>(n == 0 ? 1 : n);
  TextFrame f;
  f.Ox = x0; f.Oy = y0; f.Oz = z0;
  f.Dx = (double{x1} - x0) / cells;
  f.Dy = (double{y1} - y0) / cells;
  f.Dz = (double{z1} - z0) / cells;
  f.Ux = (double{x2} - x0) / kFontUnits;
  f.Uy = (double{y2} - y0) / kFontUnits;
  f.Uz = (double{z2} - z0) / kFontUnits;

  const int slotBase = font == 1 ? kFontSlotsPerFont : 0;
  const bool scripts = TextMode != kTextModePlain;
  double a = 0;                  // advance along the baseline, font units
  double s = 0;                  // shift above the baseline, font units
  double q = kNormalDivisor;     // 70 normal size, 100 small
  double t = 0;                  // shift that holds after the next character

  for (std::size_t i = 0; i < n; ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b == kTilde) {
      // A tilde at the very end has no letter after it: it gets the mark
      // of an unknown letter.
      const int next = i + 1 < n ? static_cast<unsigned char>(text[i + 1]) : -1;
      const Diacritic& d = DiacriticFor(next);
      for (int k = 0; k < d.Count; ++k) Emit(f, a + d.X[k], s + d.Y[k], k == 0 ? 1 : 0);
      continue;
    }
    if (scripts && (b == kSubscript || b == kSuperscript)) {
      if (q == kNormalDivisor) {
        q = kSmallDivisor;
        t = b == kSubscript ? kSubscriptShift : kSuperscriptShift;
      } else {
        q = kNormalDivisor;
        t = 0;
      }
      s = t;
      continue;
    }
    const int slot = slotBase + b;
    const int first = Font.FirstStroke[slot];
    const int count = Font.StrokeCount[slot];
    for (int k = first; k < first + count; ++k)
      Emit(f, a + Font.X[k] * kNormalDivisor / q, s + Font.Y[k] * kNormalDivisor / q, Font.Move[k]);
    a += Font.Width[slot] * kNormalDivisor / q;
    s = t;
  }
}

// ---------------------------------------------------------------------------
// Screen text
// ---------------------------------------------------------------------------

void PixelTextStroke(float x, float y, float, int move) {
  if (move != 0)
    MoveToExact(x, y, 0, false);
  else
    LineToExact(x, y, 0, false);
}

void DrawTextPixels(std::string_view text, int x0, int y0, int x1, int y1,
                    int x2, int y2, int font) {
  TextStrokeOut = PixelTextStroke;
  DrawText3(text, static_cast<float>(x0), static_cast<float>(y0), 0.0f,
            static_cast<float>(x1), static_cast<float>(y1), 0.0f,
            static_cast<float>(x2), static_cast<float>(y2), 0.0f, font);
}

namespace {
// A text longer than any window still must not overflow its baseline's end.
long long ClampToInt(long long v) {
  return std::clamp<long long>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
}
}  // namespace

void TextOut(std::string_view text, int x, int y, int h, int w) {
  if (text.empty()) return;
  const auto n = static_cast<long long>(text.size());
  const long long end = ClampToInt(x + n * w);
  DrawTextPixels(text, x, y, static_cast<int>(end), y, x, y - h, 0);
}

void TextOutFit(std::string_view text, int x, int y, int h, int w, int maxWidth) {
  if (text.empty()) return;
  const auto n = static_cast<long long>(text.size());
  const long long width = n * w > maxWidth ? maxWidth : n * w;
  const long long end = ClampToInt(x + width);
  DrawTextPixels(text, x, y, static_cast<int>(end), y, x, y - h, 0);
}

// ---------------------------------------------------------------------------
// Screen metrics
// ---------------------------------------------------------------------------

namespace {
// The pitch grows with the window's width: a wider window gets wider text.
struct PitchStep {
  int AboveWidth;
  int Pitch;
};
constexpr PitchStep kPitchSteps[] = {{1500, 16}, {1200, 14}, {1000, 12}, {800, 10}};
constexpr int kNarrowPitch = 7;
constexpr int kMenuStripLines = 8;
constexpr int kMenuColumns = 3;
}  // namespace

void ComputeTextMetrics(int width, int height) {
  const int lines = LinesPerScreen > 0 ? LinesPerScreen : kDefaultLinesPerScreen;
  TextHeight = std::max(height / lines - 2, kMinTextHeight);
  TextLineStep = 2 * TextHeight - 1;
  MenuStripHeight = kMenuStripLines * TextHeight;
  MenuColumnWidth = (width - MenuStripHeight) / kMenuColumns;
  TextPitch = kNarrowPitch;
  for (const PitchStep& step : kPitchSteps) {
    if (width > step.AboveWidth) {
      TextPitch = step.Pitch;
      break;
    }
  }
}

}  // namespace gfx
