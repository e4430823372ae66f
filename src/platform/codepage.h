// src/platform/codepage.h — the program's one conversion between UTF-8 and
// its two single-byte code pages.
//
// Screen text is single-byte in the screen code page (DOS Cyrillic, CP866):
// menus, prompts, the labels of the data file, the texts of the picture.
// Names that come from the window system arrive in the Windows Cyrillic code
// page (CP1251). Source files are UTF-8; a screen text literal is written as
// "Масштаб"_sc and converted while compiling, so nothing is converted at run
// time on the redraw path.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace gfx {

// Unicode code points of the screen code page's bytes 0x80..0xFF.
inline constexpr char32_t kScreenHigh[128] = {
    // 0x80 .. 0x9F: А .. Я
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    // 0xA0 .. 0xAF: а .. п
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    // 0xB0 .. 0xDF: shades and box drawing
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    // 0xE0 .. 0xEF: р .. я
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
    // 0xF0 .. 0xFF
    0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,
};

// The screen byte of a code point, or -1 when the screen code page has none.
constexpr int ScreenByteOf(char32_t cp) {
  if (cp < 0x80) return static_cast<int>(cp);
  for (int i = 0; i < 128; ++i)
    if (kScreenHigh[i] == cp) return 0x80 + i;
  return -1;
}

// Decodes one UTF-8 sequence at s[i]; advances i. Malformed input gives
// U+FFFD and consumes one byte.
constexpr char32_t DecodeUtf8(const char* s, std::size_t n, std::size_t& i) {
  auto b = static_cast<unsigned char>(s[i]);
  int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
  if (len == 0 || i + len > n) { ++i; return 0xFFFD; }
  char32_t cp = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
  for (int k = 1; k < len; ++k) {
    auto c = static_cast<unsigned char>(s[i + k]);
    if ((c >> 6) != 2) { ++i; return 0xFFFD; }
    cp = (cp << 6) | (c & 0x3F);
  }
  i += len;
  return cp;
}

// A UTF-8 literal converted to the screen code page while compiling.
template <std::size_t N>
struct ScreenLiteral {
  char text[N]{};
  consteval ScreenLiteral(const char (&s)[N]) {
    std::size_t i = 0, o = 0;
    while (i < N - 1) {
      char32_t cp = DecodeUtf8(s, N - 1, i);
      int b = ScreenByteOf(cp);
      if (b < 0) throw "character not in the screen code page";
      text[o++] = static_cast<char>(b);
    }
    text[o] = 0;
  }
};

template <ScreenLiteral L>
consteval const char* operator""_sc() { return L.text; }

// Screen text (CP866) to UTF-8 and back; a character the screen code page
// lacks becomes '?'.
std::string Utf8FromScreen(std::string_view screen);
void AppendUtf8FromScreen(std::string& out, std::string_view screen);  // the same, appended
std::string ScreenFromUtf8(std::string_view utf8);

// Windows Cyrillic (CP1251) to the screen code page: 240..255 − 16,
// 192..239 − 64, 168 (Ё) → 240, 184 (ё) → 241, every other byte unchanged.
unsigned char WinToScreenByte(unsigned char b);
std::string WinToScreenCodes(std::string_view win);
// The inverse for the Cyrillic letters: screen code page to CP1251.
unsigned char ScreenToWinByte(unsigned char b);
std::string ScreenToWinCodes(std::string_view screen);

}  // namespace gfx

using gfx::operator""_sc;
