// src/platform/dir_search.cpp — one directory search over opendir/readdir.
#include "platform/dir_search.h"

#include <dirent.h>
#include <sys/stat.h>

#include "platform/path_names.h"

namespace platform {

namespace {

struct SearchState {
  DIR* Folder = nullptr;
  int Kind = 0;
  std::string Pattern;
};
SearchState Search;  // the one search in progress

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool Matches(std::string_view name, std::string_view pattern) {
  if (pattern.empty()) return name.empty();
  if (pattern[0] == '*') {
    for (std::size_t skip = 0; skip <= name.size(); ++skip)
      if (Matches(name.substr(skip), pattern.substr(1))) return true;
    return false;
  }
  if (name.empty()) return false;
  if (pattern[0] != '?' && Lower(pattern[0]) != Lower(name[0])) return false;
  return Matches(name.substr(1), pattern.substr(1));
}

void EndSearch() {
  if (Search.Folder) closedir(Search.Folder);
  Search.Folder = nullptr;
}

}  // namespace

bool NameMatches(std::string_view name, std::string_view pattern) {
  if (pattern == "*.*" || pattern == "*") return true;
  return Matches(name, pattern);
}

void FolderFindNext(FindResult& out) {
  out = FindResult{};
  while (Search.Folder) {
    const dirent* entry = readdir(Search.Folder);
    if (!entry) break;
    const std::string name = entry->d_name;
    if (name.empty() || (name[0] == '.' && name != "..")) continue;
    struct stat info {};
    if (stat(name.c_str(), &info) != 0) continue;
    const bool folder = S_ISDIR(info.st_mode);
    const bool wantsFolder = Search.Kind == 1 || Search.Kind == 3;
    if (Search.Kind != 2 && folder != wantsFolder) continue;
    if (Search.Kind != 1 && !NameMatches(name, Search.Pattern)) continue;
    const PathParts parts = SplitPath(name);
    out.FullName = name;
    out.Name = parts.Name;
    out.Extension = parts.Extension;
    out.Attributes = folder ? kAttrDirectory : 0;
    out.Size = static_cast<std::int64_t>(info.st_size);
    return;
  }
  EndSearch();
}

void FolderFindFirst(int kind, const std::string& pattern, FindResult& out) {
  EndSearch();
  Search.Kind = kind;
  Search.Pattern = pattern;
  Search.Folder = opendir(".");
  FolderFindNext(out);
}

}  // namespace platform
