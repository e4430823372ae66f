// src/menu/file_browser.h — the framework's own file chooser, drawn in
// the menu strip with the stroke font and driven by the keyboard.
//
// A grid of names with a bracket cursor: arrows move it, Enter chooses,
// Tab switches between the files and the folders, Esc gives up. Choosing a
// folder makes it the current folder and browsing goes on there.
#pragma once

#include <string>

namespace platform {

constexpr int kBrowserEntries = 200;     // the list holds the first 200 found
constexpr int kBrowserNameLength = 32;   // characters of a shown name
constexpr int kDescriptionLength = 34;   // characters of a file's first line
constexpr int kNarrowColumns = 8;       // at the most
constexpr int kNarrowColumnWidth = 80;   // pixels, at the least
constexpr int kStripRows = 2;            // visible rows in the menu strip
constexpr int kPanelRows = 20;           // in the side panel

enum BrowserMode : int { kBrowseFiles = 0, kBrowseFolders = 1 };

struct FileBrowserState {
  // Entries 1..Count, in ascending byte order of Shown; index 0 unused.
  std::string Shown[kBrowserEntries + 1];  // screen code page, capitals
  std::string Real[kBrowserEntries + 1];   // the file system's name: a file's
                                           // without extension, a folder's whole
  std::string Description[kBrowserEntries + 1];
  int Count = 0;
  int Mode = kBrowseFiles;
  std::string FirstExtension;              // of the first entry found
  int Columns = kNarrowColumns, ColumnWidth = kNarrowColumnWidth, VisibleRows = kStripRows;
  int MarkOffset = 0;                      // pixels from "[" to "]" of an entry
  int Column = 1, Row = 1, TopRow = 1;     // the cursor and the first row shown
};
extern FileBrowserState Browser;

// Lets the user choose a file of the pattern ("*.spw") in the current
// folder or any folder reached from it. The narrow form has as many columns
// (up to eight) as the screen holds of the longest name shown; wide: two
// half-screen columns with each file's first line beside its name. Returns the chosen file's name
// without extension as the file system has it (so that it opens on a
// case-sensitive system), or "" when the user gave up.
std::string FileBrowser(bool wide, const std::string& pattern);

// Builds the list of the current folder for the mode (used by FileBrowser;
// reachable for tests).
void BuildBrowserList(const std::string& pattern);

}  // namespace platform
