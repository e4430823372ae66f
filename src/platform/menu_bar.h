// src/platform/menu_bar.h — the window's menu bar and close request, as the
// window procedure of either driver runs them.
//
// The menu bar's commands run procedures the application installs into the
// slots below (each with a default, set before main() runs). A driver turns
// a chosen menu item into MenuCommandHook(number); the default,
// RunMenuCommand, is the one dispatch both drivers share.
//
// Commands: 101 New, 102 Open, 103 Save, 104 Exit; 201 Undo, 202 Redo;
// 301..305 the items of the help menu (HelpHooks[0..4]).
#pragma once

#include <string>

namespace platform {

using CommandHook = void (*)();
using PathHook = void (*)(const std::string& pathWithoutExtension);
using SavePathHook = bool (*)(const std::string& pathWithoutExtension);
using MenuCommandProc = void (*)(int command);

// Why the work in hand is about to be left.
enum LeaveReason : int { kLeaveForNew, kLeaveForOpen, kLeaveProgram };
using LeaveProc = bool (*)(LeaveReason reason);

constexpr int kHelpHookCount = 5;
constexpr int kFirstHelpCommand = 301;

enum MenuCommand : int {
  kCommandNew = 101,
  kCommandOpen = 102,
  kCommandSave = 103,
  kCommandExit = 104,
  kCommandUndo = 201,
  kCommandRedo = 202,
  kCommandUsage = 301,        // "Работа с программой"
  kCommandAboutProgram = 302, // "Об этой программе"
  kCommandAboutSystem = 303,  // О САПР "Brelmora"
  kCommandGuide = 304,        // "Руководство пользователя"
  kCommandBrief = 305,        // "Краткая инструкция"
};

struct MenuBarSlots {
  CommandHook RedrawHook;               // repaint the whole window
  CommandHook ResizeHook;               // the window changed its size: repaint at the new one
  CommandHook NewHook;                  // start a new data set
  PathHook LoadHook;                    // load the data file (path less extension)
  SavePathHook SaveHook;                // save it; false when it was not saved
  CommandHook UndoHook, RedoHook;       // commands 201, 202
  CommandHook HelpHooks[kHelpHookCount];// commands 301..305
  MenuCommandProc MenuCommandHook;      // runs one menu command
  CommandHook PostCloseHook;            // the driver's way to post a close request
  CommandHook IdleHook;                 // the program is about to wait for the user
  LeaveProc LeaveHook;                  // before New, Open and the end; false: stay
  std::string DataExtension;            // of the file dialogs, without the dot
};
extern MenuBarSlots MenuBar;  // the one set of menu-bar slots

// Puts every slot back to its default: the hooks do nothing (ResizeHook
// runs RedrawHook, SaveHook reports nothing saved), the help hooks ask
// "Закончить работу?" and ignore the answer, MenuCommandHook is
// RunMenuCommand, PostCloseHook runs the close request at once, LeaveHook
// is AskBeforeLeaving, and the extension is empty.
void ResetMenuBar();

// The window procedure's command step: 101 LeaveHook, then NewHook; 102
// LeaveHook, open dialog and, when a file was chosen, NewHook then
// LoadHook; 103 save dialog then SaveHook; 104 posts a close request; 201
// and 202 UndoHook and RedoHook; 301..305 the help hook of the item, then
// RedrawHook; anything else nothing. New and Open go no further when
// LeaveHook says to stay.
void RunMenuCommand(int command);

// "Save file?" in a box with the question icon; yes runs the save dialog and,
// when a file was chosen, SaveHook.
void SavePrompt();

// The save dialog and, when a file was chosen, SaveHook; true when it saved.
bool SaveThroughDialog();

// The questions asked before the work is left when nothing tells that it
// has changed: before New and Open the save prompt (then true); before the
// end "                  Закончить работу?" (caption "Exit") and its answer.
bool AskBeforeLeaving(LeaveReason reason);

// The close request: LeaveHook(kLeaveProgram); when it agrees the program
// ends at once through DrvCloseGraphics; otherwise everything stays as it
// was.
void CloseRequest();

// The menus and items of the menu bar in their order, captions in UTF-8
// with "&" before the key letter. A menu starts with its own caption
// (command kMenuCaption); kMenuSeparator is a line between items.
constexpr int kMenuCaption = 0, kMenuSeparator = -1;
struct MenuBarEntry {
  int Command;
  const char* Russian;
  const char* English;
};
constexpr int kMenuBarEntryCount = 17;
extern const MenuBarEntry MenuBarEntries[kMenuBarEntryCount];
// The caption in a language: English for 1, Russian for any other.
const char* MenuBarCaption(const MenuBarEntry& entry, int language);

// The chosen path less its extension: the text before the last "." that
// follows the last folder separator ("\", ":" or "/"); the whole path when
// its name has no dot.
std::string PathWithoutExtension(const std::string& path);

}  // namespace platform
