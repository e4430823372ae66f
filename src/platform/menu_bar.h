// src/platform/menu_bar.h — the window's menu bar and close request, as the
// window procedure of either driver runs them.
//
// The menu bar's commands run procedures the application installs into the
// slots below (each with a default, set before main() runs). A driver turns
// a chosen menu item into MenuCommandHook(number); the default,
// RunMenuCommand, is the one dispatch both drivers share.
//
// Commands: 101 New, 102 Open, 103 Save, 104 Exit; 301..305 the items of the
// help menu (HelpHooks[0..4]).
#pragma once

#include <string>

namespace platform {

using CommandHook = void (*)();
using PathHook = void (*)(const std::string& pathWithoutExtension);
using MenuCommandProc = void (*)(int command);

constexpr int kHelpHookCount = 5;
constexpr int kFirstHelpCommand = 301;

enum MenuCommand : int {
  kCommandNew = 101,
  kCommandOpen = 102,
  kCommandSave = 103,
  kCommandExit = 104,
  kCommandUsage = 301,        // "Работа с программой"
  kCommandAboutProgram = 302, // "Об этой программе"
  kCommandAboutSystem = 303,  // О САПР "Brelmora"
  kCommandGuide = 304,        // "Руководство пользователя"
  kCommandBrief = 305,        // "Краткая инструкция"
};

struct MenuBarSlots {
  CommandHook RedrawHook;               // repaint the whole window
  CommandHook NewHook;                  // start a new data set
  PathHook LoadHook;                    // load the data file (path less extension)
  PathHook SaveHook;                    // save it
  CommandHook HelpHooks[kHelpHookCount];// commands 301..305
  MenuCommandProc MenuCommandHook;      // runs one menu command
  CommandHook PostCloseHook;            // the driver's way to post a close request
  std::string DataExtension;            // of the file dialogs, without the dot
};
extern MenuBarSlots MenuBar;  // the one set of menu-bar slots

// Puts every slot back to its default: the hooks do nothing, the help hooks
// ask "Закончить работу?" and ignore the answer, MenuCommandHook is
// RunMenuCommand, PostCloseHook runs the close request at once, and the
// extension is empty.
void ResetMenuBar();

// The window procedure's command step: 101 save prompt then NewHook; 102
// save prompt, open dialog and, when a file was chosen, NewHook then
// LoadHook; 103 save dialog then SaveHook; 104 posts a close request;
// 301..305 the help hook of the item, then RedrawHook; anything else
// nothing.
void RunMenuCommand(int command);

// "Save file?" in a box with the question icon; yes runs the save dialog and,
// when a file was chosen, SaveHook.
void SavePrompt();

// The close request: asks "                  Закончить работу?" (caption
// "Exit"); yes ends the program at once through DrvCloseGraphics, without
// saving; no leaves everything as it was.
void CloseRequest();

// The chosen path less its extension: the text before the last "." that
// follows the last folder separator ("\", ":" or "/"); the whole path when
// its name has no dot.
std::string PathWithoutExtension(const std::string& path);

}  // namespace platform
