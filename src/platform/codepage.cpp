// src/platform/codepage.cpp — UTF-8 and the two Cyrillic code pages.
#include "platform/codepage.h"

namespace gfx {

std::string Utf8FromScreen(std::string_view screen) {
  std::string out;
  out.reserve(screen.size() * 2);
  AppendUtf8FromScreen(out, screen);
  return out;
}

void AppendUtf8FromScreen(std::string& out, std::string_view screen) {
  for (char ch : screen) {
    auto b = static_cast<unsigned char>(ch);
    char32_t cp = b < 0x80 ? b : kScreenHigh[b - 0x80];
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
}

std::string ScreenFromUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    int b = ScreenByteOf(DecodeUtf8(utf8.data(), utf8.size(), i));
    out += static_cast<char>(b < 0 ? '?' : b);
  }
  return out;
}

unsigned char WinToScreenByte(unsigned char b) {
  if (b >= 240) return b - 16;
  if (b >= 192) return b - 64;
  if (b == 168) return 240;
  if (b == 184) return 241;
  return b;
}

unsigned char ScreenToWinByte(unsigned char b) {
  if (b >= 0x80 && b <= 0xAF) return b + 0x40;
  if (b >= 0xE0 && b <= 0xEF) return b + 0x10;
  if (b == 0xF0) return 0xA8;
  if (b == 0xF1) return 0xB8;
  return b;
}

std::string WinToScreenCodes(std::string_view win) {
  std::string out(win);
  for (char& c : out) c = static_cast<char>(WinToScreenByte(static_cast<unsigned char>(c)));
  return out;
}

std::string ScreenToWinCodes(std::string_view screen) {
  std::string out(screen);
  for (char& c : out) c = static_cast<char>(ScreenToWinByte(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace gfx
