// src/platform/path_names.cpp — path splitting and the file dialog call.
#include "platform/path_names.h"

#include "platform/driver.h"

namespace platform {

namespace {
bool IsFolderSeparator(char c) { return c == '\\' || c == ':' || c == '/'; }
}  // namespace

PathParts SplitPath(std::string_view path) {
  PathParts parts;
  // Extension: collected backwards until the dot has been taken; a dot
  // before the last folder separator belongs to a folder's name.
  std::size_t i = path.size();
  bool dotFound = false;
  std::string reversed;
  while (i > 0) {
    const char c = path[--i];
    if (IsFolderSeparator(c)) break;
    if (c == '\0' || c == ' ') continue;
    reversed.push_back(c);
    if (c == '.') { dotFound = true; break; }
  }
  if (dotFound) {
    parts.Extension.assign(reversed.rbegin(), reversed.rend());
  } else {
    parts.Extension = ".";
    i = path.size();
  }
  // Name: back to the last folder separator; the folder keeps it.
  const std::size_t nameEnd = i;
  while (i > 0 && !IsFolderSeparator(path[i - 1])) --i;
  parts.Name = std::string(path.substr(i, nameEnd - i));
  parts.Folder = std::string(path.substr(0, i));
  return parts;
}

bool FileDialog(std::string& out, const std::string& extension, bool open) {
  out.clear();
  std::string chosen;
  if (!Drv.DrvFileDialog(open, extension, chosen) || chosen.empty()) return false;
  // A path the system's buffer could not hold counts as no choice.
  if (chosen.size() > kMaxDialogPath) return false;
  out = chosen;
  return true;
}

}  // namespace platform
