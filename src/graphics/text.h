// src/graphics/text.h — the stroke font and the text services.
//
// Sections:
//   Stroke font      the glyph table compiled into the program and the
//                    per-slot arrays built from it at start-up.
//   Text layout      DrawText3: a string laid along a baseline P0..P1 with
//                    the capital height P2 − P0, strokes sent to a sink.
//   Screen text      DrawTextPixels, TextOut, TextOutFit: the same on the
//                    window in pixels, through the graphics kernel.
//   Screen metrics   the text height and pitch of menus and prompts.
//   Shared helpers   LangPart, WinToScreenCodes and FormatNumber live in
//                    their own files and are reachable from here.
//
// Text is single-byte in the screen code page. Inside a string the backslash
// and the bar switch to and from subscript and superscript (unless TextMode
// is 2), and the tilde puts a Polish diacritic on the letter after it.
#pragma once

#include <cstdint>
#include <string_view>

#include "graphics/lang.h"
#include "graphics/numbers.h"
#include "platform/codepage.h"

namespace gfx {

// --- Stroke font --------------------------------------------------------------

// Glyphs live in a cell of kFontUnits × kFontUnits font units: the capital
// height is the whole cell and every glyph advances by one cell. Descenders
// go below 0, accents above 70.
constexpr int kFontUnits = 70;
constexpr int kFontSlots = 512;           // 0..255 font 0, 256..511 font 1
constexpr int kFontSlotsPerFont = 256;
constexpr int kStrokeCapacity = 7001;
constexpr int kFontTableReadLimit = 2607;  // bytes the loader reads at most

// The table's byte pairs: (code, kGlyphStart) starts the glyph of code;
// (x, y) with x below kMoveFlagFrom draws to (x, y), y a signed byte;
// (x, y) with x at or above it moves to (256 − x, y); a pair whose first
// byte is kTableEnd ends the table.
constexpr std::uint8_t kGlyphStart = 255;
constexpr std::uint8_t kTableEnd = 255;
constexpr std::uint8_t kMoveFlagFrom = 128;

extern const std::uint8_t kFontTable[];
extern const int kFontTableBytes;         // the table's length, end pair included

struct StrokeFont {
  // Per slot; a stroke count of 0 means the slot has no glyph.
  std::uint8_t StrokeCount[kFontSlots] = {};
  std::int32_t FirstStroke[kFontSlots] = {};
  std::uint8_t Width[kFontSlots] = {};
  // The strokes of all glyphs, one after the other.
  std::int8_t X[kStrokeCapacity] = {};
  std::int8_t Y[kStrokeCapacity] = {};
  std::uint8_t Move[kStrokeCapacity] = {};  // 1 move to the point, 0 draw to it
  int StrokeTotal = 0;
};
extern StrokeFont Font;                    // the one font of the program

// Reads the compiled-in table into font 0 and copies font 0 into font 1.
// Every slot advances by one cell, with or without a glyph. A code defined
// twice keeps its first definition.
void BuildStrokeFont();
// The same from another table (tests, or a font loaded some other way);
// reads at most kFontTableReadLimit bytes and stops at the end pair, at the
// end of the bytes or when the stroke arrays are full.
void BuildStrokeFontFrom(const std::uint8_t* table, int bytes);

// --- Text layout ----------------------------------------------------------------

// Where the strokes go: a point in the text's space and whether the pen
// moves to it (1) or draws to it (0). The default does nothing; screen text
// installs the pixel sink, the drawing store its own.
using TextStrokeSink = void (*)(float x, float y, float z, int move);
extern TextStrokeSink TextStrokeOut;
void IgnoreTextStroke(float x, float y, float z, int move);

// 2 makes the backslash and the bar ordinary characters; any other value
// makes them the subscript and superscript switches.
extern int TextMode;
constexpr int kTextModePlain = 2;

// Lays text out so that its n bytes fill P0..P1 exactly and a capital
// reaches from P0 to P2; font is 0 or 1.
void DrawText3(std::string_view text,
               float x0, float y0, float z0,
               float x1, float y1, float z1,
               float x2, float y2, float z2, int font);

// --- Screen text ----------------------------------------------------------------

// Sets TextStrokeOut to the pixel sink (round to whole pixels, MoveTo2 and
// LineTo2 of the kernel) and lays the text out in window pixels.
void DrawTextPixels(std::string_view text, int x0, int y0, int x1, int y1,
                    int x2, int y2, int font);
void PixelTextStroke(float x, float y, float z, int move);

// Text on the screen: baseline from (x, y) to the right, h pixels the
// capital height, w pixels per character. An empty text draws nothing.
void TextOut(std::string_view text, int x, int y, int h, int w);
// As TextOut, but a text wider than maxWidth is squeezed into maxWidth.
void TextOutFit(std::string_view text, int x, int y, int h, int w, int maxWidth);

// --- Screen metrics -------------------------------------------------------------

constexpr int kDefaultLinesPerScreen = 50;
constexpr int kMinTextHeight = 7;

extern int LinesPerScreen;   // 50, 70 or 100 from the menu layout
extern int TextHeight;       // capital height of menus and prompts, pixels
extern int TextPitch;        // pixels per character
extern int TextLineStep;     // menu line step: twice the height less one
extern int MenuStripHeight;
extern int MenuColumnWidth;

// Recomputes the metrics above from the window's client size.
void ComputeTextMetrics(int width, int height);

}  // namespace gfx
