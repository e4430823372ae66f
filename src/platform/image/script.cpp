// src/platform/image/script.cpp — the --script notation to queued keys.
#include "platform/image/script.h"

#include <cstdint>
#include <cstdio>
#include <string_view>
#include <utility>

#include "platform/codepage.h"
#include "platform/driver.h"
#include "platform/image/image_driver.h"

namespace platform {

namespace {

struct NamedKey {
  const char* Name;
  VirtualKey Key;
};
constexpr NamedKey kSpecialKeys[] = {
    {"Up", VirtualKey::Up},         {"Down", VirtualKey::Down},
    {"Left", VirtualKey::Left},     {"Right", VirtualKey::Right},
    {"PgUp", VirtualKey::PageUp},   {"PgDn", VirtualKey::PageDown},
    {"Home", VirtualKey::Home},     {"End", VirtualKey::End},
    {"Delete", VirtualKey::Other},  {"F1", VirtualKey::F1},
    {"Backspace", VirtualKey::Backspace},  // with Alt; alone it is a character
};

bool SpecialKey(std::string_view name, VirtualKey& key) {
  for (const NamedKey& k : kSpecialKeys)
    if (name == k.Name) {
      key = k.Key;
      return true;
    }
  return false;
}

bool ParseTwoInts(std::string_view s, int& a, int& b) {
  std::string t(s);
  char extra = 0;
  return std::sscanf(t.c_str(), "%d %d %c", &a, &b, &extra) == 2;
}

// One token between angle brackets.
bool QueueToken(std::string_view t) {
  static const struct {
    const char* Name;
    std::uint8_t Code;
  } kCodes[] = {{"Enter", 13}, {"Esc", 27}, {"Tab", 9}, {"Backspace", 8}, {"Space", 32}, {"lt", '<'}};
  for (const auto& c : kCodes)
    if (t == c.Name) {
      QueueCharacter(c.Code);
      return true;
    }
  // Modifiers in any order before a special key; Ctrl alone also before a
  // letter.
  bool ctrl = false, shift = false, alt = false;
  std::string_view rest = t;
  for (bool more = true; more;) {
    more = false;
    for (auto [prefix, flag] : {std::pair{"Ctrl-", &ctrl}, {"Shift-", &shift}, {"Alt-", &alt}}) {
      const std::string_view p = prefix;
      if (rest.substr(0, p.size()) == p && !*flag) {
        *flag = more = true;
        rest.remove_prefix(p.size());
      }
    }
  }
  const bool letter = rest.size() == 1 && ((rest[0] >= 'A' && rest[0] <= 'Z') || (rest[0] >= 'a' && rest[0] <= 'z'));
  VirtualKey key;
  if (ctrl && !shift && !alt && letter) {
    QueueCharacter(static_cast<std::uint8_t>((rest[0] | 0x20) - 'a' + 1));
    return true;
  }
  if (SpecialKey(rest, key)) {
    QueueKey(key, ctrl, shift, alt);
    return true;
  }
  if (ctrl || shift || alt) return false;
  int x = 0, y = 0;
  std::size_t space = t.find(' ');
  std::string_view word = t.substr(0, space), args = space == t.npos ? "" : t.substr(space + 1);
  if (word == "click" && ParseTwoInts(args, x, y)) QueueLeftClick(x, y);
  else if (word == "rclick" && ParseTwoInts(args, x, y)) QueueRightClick(x, y);
  else if (word == "mclick" && ParseTwoInts(args, x, y)) QueueMiddleClick(x, y);
  else if (word == "move" && ParseTwoInts(args, x, y)) QueueMouseMove(x, y);
  else if (t == "wheel+") QueueWheel(1);
  else if (t == "wheel-") QueueWheel(-1);
  else if (word == "menu" && std::sscanf(std::string(args).c_str(), "%d", &x) == 1) QueueMenuCommand(x);
  else if (word == "shot" && !args.empty()) QueueSnapshot(std::string(args));
  else if (word == "resize" && ParseTwoInts(args, x, y) && x > 0 && y > 0) QueueResize(x, y);
  else if (t == "yes") QueueAnswer(kAnswerYes);
  else if (t == "no") QueueAnswer(kAnswerNo);
  else if (t == "cancel") QueueAnswer(kAnswerCancel);
  else return false;
  return true;
}

}  // namespace

bool QueueScript(const std::string& text, std::string& error) {
  int line = 1;
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '\n') {
      ++line;
      ++i;
      continue;
    }
    if (c == '\r') {
      ++i;
      continue;
    }
    if (c == '<') {
      std::size_t end = text.find('>', i);
      std::size_t eol = text.find('\n', i);
      if (end == std::string::npos || (eol != std::string::npos && eol < end)) {
        error = "line " + std::to_string(line) + ": '<' without '>' (type '<' as <lt>)";
        return false;
      }
      std::string_view token(text.data() + i + 1, end - i - 1);
      if (!QueueToken(token)) {
        error = "line " + std::to_string(line) + ": unknown token <" + std::string(token) + ">";
        return false;
      }
      i = end + 1;
      continue;
    }
    // A character: typed as the window delivers it (Cyrillic letters in the
    // Windows code page).
    std::size_t start = i;
    char32_t cp = gfx::DecodeUtf8(text.data(), text.size(), i);
    int screen = gfx::ScreenByteOf(cp);
    if (screen < 0 || (cp >= 0x80 && gfx::ScreenToWinByte(static_cast<unsigned char>(screen)) ==
                                         static_cast<unsigned char>(screen))) {
      error = "line " + std::to_string(line) + ": the character '" + text.substr(start, i - start) +
              "' has no key";
      return false;
    }
    QueueCharacter(gfx::ScreenToWinByte(static_cast<unsigned char>(screen)));
  }
  return true;
}

}  // namespace platform
