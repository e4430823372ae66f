// src/menu/menu.h — the numbered menus of the bottom panel, the prompt
// lines and the key reader that menus use.
//
// A menu has a title row (item 0) and at most nine items chosen with the
// digits 1–9 or a click. An item is a text command or an editable number;
// choosing a number asks for the new value at once and returns the item's
// digit, and the caller reads the value back. The key codes every menu and
// prompt returns:
//   '1'..'9' chosen; ']' complete; '[' and Esc refuse; Enter back;
//   Ctrl-Z (26) to the main menu and the file menu; '~' end of the program;
//   0 an extended key (its scan code follows); '0' nothing (the key reader
//   consumed the key); Backspace ignored; 'Y'/'y' yes, anything else no;
//   kKeyRefresh: the model changed behind the menu (undo, redo, a file
//   opened from the menu bar), so the menu fills its items anew.
//
// Index:
//   KeyCode constants, item and button tables, state
//   item table, RunMenu, PromptLine, MenuReadKey
//   screen set-up, picture clear, indicator
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <initializer_list>

#include "menu/input.h"

namespace menu {

// --- Key codes ---------------------------------------------------------------
using KeyCode = std::uint8_t;
constexpr KeyCode kKeyExtended = 0;
constexpr KeyCode kKeyBackspace = 8;
constexpr KeyCode kKeyTab = 9;
constexpr KeyCode kKeyEnter = 13;
constexpr KeyCode kKeyCtrlZ = 26;
constexpr KeyCode kKeyEsc = 27;
constexpr KeyCode kKeyComplete = ']';
constexpr KeyCode kKeyRefuse = '[';
constexpr KeyCode kKeyEnd = '~';
constexpr KeyCode kKeyNothing = '0';
constexpr KeyCode kKeyRefresh = 30;  // no key gives it: the window's keys give 1..26 and 27

// The scan codes that follow an extended key are platform::ScanCode.

// --- Tables and state ----------------------------------------------------------
constexpr int kMaxItems = 9;
constexpr int kMaxText = 80;        // item text and value text
constexpr int kMaxNumberText = 16;  // a formatted value
constexpr int kMaxButtons = 53;
constexpr int kPromptLines = 4;

enum : std::int32_t { kItemText = 0, kItemNumber = 1 };

struct MenuItem {
  std::string Label;      // the label as given, with all its languages
  int Width = 0, Decimals = 0;  // how the value is shown (width 0: not shown)
  float Shown = 0;        // the value shown
  std::string Text;       // label in the current language, screen code page
  std::string ValueText;  // the value with the blanks that right-align it
  float Value = 0;
  std::int32_t Kind = kItemText;
  ValueRange Range = kAnyNumber;  // what a number item accepts
};

struct MenuButton {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;  // absolute window pixels
  KeyCode Key = 0;
  std::uint8_t Scan = 0;
  std::string Caption;
  std::string Sequence;  // keys put into the key queue when clicked
  bool Arrow = false;    // drawn as an arrow instead of its caption
};

struct MenuState {
  MenuItem Items[kMaxItems + 1];  // 0 is the title
  int ItemCount = 0;              // of the menu being run
  int ItemsLanguage = 0;          // the language the item texts were taken in
  MenuButton Buttons[kMaxButtons];
  int ButtonCount = 0;
  std::string KeyQueue;           // pending keys of a clicked button
  std::string Prompts[kPromptLines];
  int MenuLayout = 0;             // 0 bottom strip; 1 with a side panel
  bool SidePanelAllowed = false;  // this program configures none
  // Colours of the current colour scheme (panel background and text are the
  // kernel's MenuBackground and MenuForeground).
  int FrameColour = 9, BevelLight = 9, BevelDark = 9;
  int IndicatorColour = 15, IndicatorNumber = 0;
  bool WaitingForKey = false;     // MenuReadKey waits for the user
};
extern MenuState M;  // the one menu system of the program

// Procedure slots the view fills: view keys, the extended keys (zoom, pan,
// turn) and the grid-step dialog. Their defaults do nothing.
// F1: the help of the context the user is in.
enum HelpContext : int { kHelpMenus = 0, kHelpCursor = 1 };
struct MenuSlots {
  void (*ViewKeyHook)(KeyCode key) = [](KeyCode) {};
  void (*ExtendedKeyHook)(std::uint8_t scan) = [](std::uint8_t) {};
  void (*GridStepHook)(KeyCode& key) = [](KeyCode&) {};
  // Alt-Backspace (false) and Alt-Shift-Backspace (true) in a menu: undo and
  // redo of the application's edits. The menu then returns kKeyRefresh.
  void (*EditHook)(bool redo) = [](bool) {};
  // F1 (HelpContext); the hook brings the picture and the menu back afterwards.
  void (*HelpHook)(int context) = [](int) {};
};
extern MenuSlots Slots;  // default: every slot does nothing

// --- The item table -------------------------------------------------------------
void SetTextItem(int i, std::string_view label);
// Items first, first+1, ... from a list of labels.
void SetTextItems(int first, std::initializer_list<std::string_view> labels);
void SetTitleItem(int i, std::string_view label, float value, int width, int decimals);
// A number item accepts any finite number until SetItemRange narrows it.
void SetNumberItem(int i, std::string_view label, float value, int width, int decimals);
void SetItemRange(int i, ValueRange range);
// The same with a label in the Windows Cyrillic code page.
void SetTextItemAnsi(int i, std::string_view label);
float GetItemValue(int i);
std::int32_t GetItemInt(int i);

// Shows items 0..n and returns the chosen key.
void RunMenu(int n, KeyCode& key);
// The model changed behind the menus (a menu-bar command): a menu waiting
// for a key returns kKeyRefresh so that its caller fills it anew.
void RefreshMenu();
// Draws the menu of the last run again (after a repaint).
void DrawMenu();

// One line of the bottom panel (0–3); line 0 first clears the panel.
void PromptLine(int line, std::string_view text);
// Shows text on prompt line 0 and reads one key.
std::uint8_t PromptAndReadKey(std::string_view text);

// Writes the four remembered lines again.
void RedrawPrompts();

// The key reader of the menus: button clicks become keys, view keys go to
// the view and come back as '0' (Ctrl-Z comes back as itself).
void MenuReadKey(KeyCode& key);
// Enter, Esc, '[' and ']': the keys that take a menu back one level.
inline bool IsBackKey(KeyCode k) {
  return k == kKeyEnter || k == kKeyEsc || k == kKeyRefuse || k == kKeyComplete;
}

// Whether a key is a view-control key of the menu key reader.
bool IsViewKey(KeyCode key);

// --- Screen set-up -----------------------------------------------------------------
void ScreenSetUp();
void ClearPicture();
void DrawIndicator();

// Geometry of the bottom panel, from the current text metrics.
int LineHeight();     // L: a prompt row
int PanelTop();       // y of the panel's top edge
int CharsPerColumn();

}  // namespace menu
