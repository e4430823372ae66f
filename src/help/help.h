// src/help/help.h — the built-in help pages and the opening of the HTML
// user's guide.
//
// A help page is drawn with the stroke font in the picture area: a block
// seven tenths of the picture wide, centred, 68 characters to a line and 25
// lines to a page. The page services (HelpLayout, HelpLine, HelpTitleLine,
// HelpPrompt) are also what the application uses for its own description.
//
// Index:
//   page layout and its state
//   page services
//   the framework's help commands
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace help {

// --- Page layout -----------------------------------------------------------------
constexpr int kCharsPerLine = 68;  // a line of this many characters fills the block
constexpr int kLinesPerPage = 25;
constexpr int kTitleGap = 5;       // pixels below the first baseline and the title

struct HelpState {
  int BlockWidth = 0;  // B = W div 2 + W div 5
  int Margin = 0;      // (W − B) div 2, or 0 when below 2
  int Pitch = 0;       // p = B div 68: square character cells of p pixels
  int Step = 0;        // s = H div 25
  int Y = 0;           // the current baseline, window pixels
};
extern HelpState Help;  // the page being drawn

// --- Page services -----------------------------------------------------------------
// Computes the layout from the picture area (W × H) of the screen layout,
// sets the baseline to s + 5, clears the picture and draws its frame.
void HelpLayout();
// Moves the baseline one step down and writes the text there in square
// cells of p pixels from the left margin.
void HelpLine(std::string_view text);
// The first line of a page: stretched over the whole block, one line step
// high, at the current baseline; then the baseline moves 5 pixels down.
void HelpTitleLine(std::string_view title);
// " Нажмите клавишу: пробел - дальше, 1-назад, Esc-закончить" on the prompt
// line, then one key.
void HelpPrompt(std::uint8_t& key);

// The product name spaced out and centred in a field of blanks.
std::string_view ProductTitle();

// --- Help commands -----------------------------------------------------------------
void KeySummaryPage();   // "Краткая инструкция", in the current language
// The application's own keys, added under the framework's in the key
// summary (a slot the application fills; the default adds nothing).
struct HelpSlots {
  void (*AppKeySummaryHook)() = [] {};
};
extern HelpSlots Slots;  // HelpSlots{} puts them back
void AboutSystemPage();  // the drafting framework
void InterfacePages(int firstPage = 1);  // "Работа с программой": eight pages
// Opens the document `name` from the program's own folder with the system's
// default program; shows "  Не найден файл " and the path when it is not
// there, and the path on the prompt line when no program opens it.
void OpenHtmlHelp(const std::string& name);

// The program's own folder with its closing separator ("" when unknown).
std::string ProgramFolder();

}  // namespace help
