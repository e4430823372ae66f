// src/platform/dir_search.h — the directory search of both drivers: the
// current folder's entries one by one, filtered by kind and pattern.
//
// The order is whatever the file system gives; callers sort for
// themselves. "." and the hidden entries (names beginning with a dot) are
// left out, ".." is kept as the way up.
#pragma once

#include <string>
#include <string_view>

#include "platform/driver.h"

namespace platform {

// kind: 0 files matching the pattern, 1 folders of any name, 2 any entry
// matching the pattern, 3 folders matching the pattern. Starts a new search
// of the current folder (ending the one before) and gives its first result;
// Attributes −1 when nothing was found.
void FolderFindFirst(int kind, const std::string& pattern, FindResult& out);
// The next result; Attributes −1 at the end, after which the search is over.
void FolderFindNext(FindResult& out);

// A name against a pattern of "*" (any run) and "?" (any one character),
// letters compared without regard to case; "*.*" takes every name, with or
// without a dot.
bool NameMatches(std::string_view name, std::string_view pattern);

}  // namespace platform
