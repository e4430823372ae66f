// src/menu/file_browser.cpp — the keyboard file chooser.
//
// Index:
//   1. the list
//   2. drawing
//   3. choosing
#include "menu/file_browser.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "graphics/kernel.h"
#include "graphics/numbers.h"
#include "graphics/text.h"
#include "menu/menu.h"
#include "platform/codepage.h"
#include "platform/dir_search.h"
#include "platform/driver.h"
#include "platform/events.h"

namespace platform {

FileBrowserState Browser;

namespace {


// ---------------------------------------------------------------------------
// 1. The list

std::string ShownName(const std::string& utf8) {
  std::string s = gfx::ScreenFromUtf8(utf8);
  if (s.size() > static_cast<std::size_t>(kBrowserNameLength)) s.resize(kBrowserNameLength);
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

// The first line of a file, at most kDescriptionLength characters; empty
// when the file cannot be read.
std::string FirstLine(const std::string& fileName) {
  std::FILE* f = std::fopen(fileName.c_str(), "rb");
  if (!f) return {};
  std::string line;
  int c = 0;
  while (line.size() < static_cast<std::size_t>(kDescriptionLength) && (c = std::fgetc(f)) != EOF &&
         c != '\n' && c != '\r')
    line.push_back(static_cast<char>(c));
  std::fclose(f);
  return line;
}

void Insert(const std::string& shown, const std::string& real, const std::string& description) {
  int i = ++Browser.Count;
  while (i > 1 && shown < Browser.Shown[i - 1]) {
    Browser.Shown[i] = std::move(Browser.Shown[i - 1]);
    Browser.Real[i] = std::move(Browser.Real[i - 1]);
    Browser.Description[i] = std::move(Browser.Description[i - 1]);
    --i;
  }
  Browser.Shown[i] = shown;
  Browser.Real[i] = real;
  Browser.Description[i] = description;
}

}  // namespace

void BuildBrowserList(const std::string& pattern) {
  for (int i = 1; i <= kBrowserEntries; ++i) {
    Browser.Shown[i].clear();
    Browser.Real[i].clear();
    Browser.Description[i].clear();
  }
  Browser.Count = 0;
  Browser.FirstExtension.clear();
  const bool folders = Browser.Mode == kBrowseFolders;
  FindResult r;
  Drv.DrvFindFirst(folders ? 1 : 0, folders ? std::string("*.*") : pattern, r);
  if (r.Attributes != -1) Browser.FirstExtension = r.Extension.substr(0, 4);
  while (r.Attributes != -1 && Browser.Count < kBrowserEntries) {
    if (!folders || r.Attributes == kAttrDirectory) {
      if (!r.FullName.empty() && r.FullName[0] == '.')
        Insert("..", "..", "");
      else if (folders)
        Insert(ShownName(r.FullName), r.FullName, "");
      else
        Insert(ShownName(r.Name), r.Name, FirstLine(r.FullName));
    }
    Drv.DrvFindNext(r);
  }
  // Let the search close its folder even when the list filled up first.
  while (r.Attributes != -1) Drv.DrvFindNext(r);
}

namespace {

// ---------------------------------------------------------------------------
// 2. Drawing

bool SidePanel() { return menu::M.MenuLayout == 1 && menu::M.SidePanelAllowed; }

// The browser's window without clearing it.
void SelectBrowserWindow() {
  if (SidePanel()) {
    gfx::SelectPanel();
  } else {
    gfx::SetWindow(0, gfx::Layout.MenuStripTop - 2, gfx::Layout.ScreenWidth,
                   gfx::Layout.ScreenHeight);
  }
}

int RowY(int row) {
  const int l = gfx::TextLineStep;
  return (row - Browser.TopRow) * (l + 1) + 2 * l - 1;
}

int TotalRows() { return (Browser.Count + Browser.Columns - 1) / Browser.Columns; }

std::string CurrentFolder() {
  char buffer[4096];
  if (!getcwd(buffer, sizeof buffer)) return {};
  return gfx::ScreenFromUtf8(buffer);
}

// The columns follow the longest name: "[" at the column's left edge, the
// name 10 pixels in, "]" one character after the longest name, then a gap.
void LayOutColumns(bool wide) {
  const int p = gfx::TextPitch;
  std::size_t longest = 0;
  for (int i = 1; i <= Browser.Count; ++i) longest = std::max(longest, Browser.Shown[i].size());
  Browser.MarkOffset = 10 + (static_cast<int>(longest) + 1) * p;
  if (SidePanel()) {
    Browser.Columns = 1;
    Browser.ColumnWidth = gfx::Layout.PanelWidth;
  } else if (wide) {
    Browser.Columns = 2;
    Browser.ColumnWidth = gfx::Layout.ScreenWidth / 2;
  } else {
    Browser.ColumnWidth = std::max(kNarrowColumnWidth, Browser.MarkOffset + 2 * p);
    Browser.Columns = std::clamp(gfx::Layout.ScreenWidth / Browser.ColumnWidth, 1, kNarrowColumns);
  }
}

void DrawList(bool wide) {
  if (SidePanel())
    gfx::SelectPanel();
  else
    gfx::SelectMenuStrip();
  gfx::SetColor(gfx::K.MenuForeground);
  const int l = gfx::TextLineStep, h = gfx::TextHeight, p = gfx::TextPitch;
  const bool files = Browser.Mode == kBrowseFiles;
  std::string header = CurrentFolder();
  header += files ? " Файлов "_sc : "  Каталогов "_sc;
  header += gfx::FormatNumber(static_cast<float>(Browser.Count), 3, 0);
  header += " Стрелки,Enter-Выбор, TAB-"_sc;
  header += files ? "каталоги"_sc : "файлы"_sc;
  gfx::TextOut(header, 9, l, h, p - 1);
  for (int row = Browser.TopRow; row < Browser.TopRow + Browser.VisibleRows; ++row) {
    for (int column = 1; column <= Browser.Columns; ++column) {
      const int i = (row - 1) * Browser.Columns + column;
      if (i > Browser.Count) continue;
      const int x = (column - 1) * Browser.ColumnWidth;
      gfx::TextOut(Browser.Shown[i], x + 10, RowY(row), h, p);
      if (wide && files)
        gfx::TextOut(Browser.Description[i], x + Browser.MarkOffset + 2 * p, RowY(row), h, p);
    }
  }
}

void DrawMarks(int colour) {
  const int x = (Browser.Column - 1) * Browser.ColumnWidth, y = RowY(Browser.Row);
  gfx::SetColor(colour);
  gfx::TextOut("[", x, y, gfx::TextHeight, gfx::TextPitch);
  gfx::TextOut("]", x + Browser.MarkOffset, y, gfx::TextHeight, gfx::TextPitch);
}

// A new list: its columns, the cursor at its start.
void ListAnew(bool wide, const std::string& pattern) {
  BuildBrowserList(pattern);
  LayOutColumns(wide);
  Browser.Column = Browser.Row = Browser.TopRow = 1;
}

}  // namespace

// ---------------------------------------------------------------------------
// 3. Choosing

std::string FileBrowser(bool wide, const std::string& pattern) {
  Browser.Mode = kBrowseFiles;
  Browser.VisibleRows = SidePanel() ? kPanelRows : kStripRows;
  const int savedMode = gfx::TextMode;
  gfx::TextMode = gfx::kTextModePlain;  // backslashes in names are characters
  ListAnew(wide, pattern);
  DrawList(wide);
  std::string result;
  for (;;) {
    DrawMarks(gfx::K.MenuForeground);
    const std::uint8_t key = Drv.DrvReadKey();
    SelectBrowserWindow();
    DrawMarks(gfx::K.MenuBackground);
    if (key == menu::kKeyEsc) break;
    if (key == menu::kKeyTab) {
      Browser.Mode = Browser.Mode == kBrowseFiles ? kBrowseFolders : kBrowseFiles;
      ListAnew(wide, pattern);
      DrawList(wide);
      continue;
    }
    if (key == menu::kKeyEnter) {
      const int i = (Browser.Row - 1) * Browser.Columns + Browser.Column;
      if (i > Browser.Count) continue;
      if (Browser.Mode == kBrowseFiles) {
        result = Browser.Real[i];
        break;
      }
      const bool entered = chdir(Browser.Real[i].c_str()) == 0;
      if (entered) ListAnew(wide, pattern);
      DrawList(wide);
      if (!entered) {
        menu::PromptLine(3, std::string("Не удалось открыть каталог "_sc) + Browser.Shown[i]);
        SelectBrowserWindow();
      }
      continue;
    }
    if (key != 0) continue;
    const std::uint8_t scan = Drv.DrvReadKey();
    const int lastRow = TotalRows() > 0 ? TotalRows() : 1;
    const int lastVisible = Browser.TopRow + Browser.VisibleRows - 1;
    if (scan == platform::kScanLeft) {
      if (Browser.Column > 1) --Browser.Column;
    } else if (scan == platform::kScanRight) {
      if (Browser.Column < Browser.Columns) ++Browser.Column;
    } else if (scan == platform::kScanUp) {
      if (Browser.Row > Browser.TopRow) {
        --Browser.Row;
      } else if (Browser.TopRow > 1) {
        --Browser.TopRow;
        --Browser.Row;
        DrawList(wide);
      }
    } else if (scan == platform::kScanDown) {
      if (Browser.Row >= lastRow) continue;
      if (Browser.Row < lastVisible) {
        ++Browser.Row;
      } else {
        ++Browser.TopRow;
        ++Browser.Row;
        DrawList(wide);
      }
    }
  }
  gfx::TextMode = savedMode;
  gfx::SelectPictureInner();
  return result;
}

}  // namespace platform
