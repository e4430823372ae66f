// src/platform/path_names.h — the chosen file's path split into folder, name
// and extension, and the file dialog of the menu bar.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The longest path a file dialog hands back.
constexpr std::size_t kMaxDialogPath = 260;

struct PathParts {
  std::string Folder;     // with its closing separator; may be empty
  std::string Name;       // without extension
  std::string Extension;  // with its dot; "." when the path has no dot
};

// Scans the path from its end: the extension is everything back to and
// including the last "." (zero and blank characters on the way are dropped);
// the name runs back to the last "\", ":" or "/"; the folder is the rest.
// Without any dot the extension is "." and the name is taken from the end.
// The scan for the dot does not stop at a separator, so a dot-less name in
// a folder whose name has a dot splits at that dot; the dialogs add the
// data extension, so the menu-bar flows never meet such a path.
PathParts SplitPath(std::string_view path);

// The system's open (open = true) or save dialog for files of the extension
// (given without its dot). True when a file was chosen: its full path, at
// most kMaxDialogPath characters, is in out. A cancel leaves out empty.
bool FileDialog(std::string& out, const std::string& extension, bool open);

}  // namespace platform
