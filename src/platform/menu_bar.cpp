// src/platform/menu_bar.cpp — the menu-bar slots and the command, save and
// close steps that both drivers' window procedures run.
#include "platform/menu_bar.h"

#include "graphics/codepage.h"
#include "platform/driver.h"
#include "platform/path_names.h"

namespace platform {

namespace {

void DoNothing() {}
void IgnorePath(const std::string&) {}

// Until the application installs its help pages, each help item asks the
// question of the close box and ignores the answer.
void DefaultHelp() { Drv.DrvAskYesNo("Закончить работу?"_sc, "Exit"_sc, false); }

// Without a driver of its own the request is handled where it is posted.
void CloseAtOnce() { CloseRequest(); }

MenuBarSlots DefaultSlots() {
  MenuBarSlots s;
  s.RedrawHook = DoNothing;
  s.NewHook = DoNothing;
  s.LoadHook = IgnorePath;
  s.SaveHook = IgnorePath;
  for (CommandHook& h : s.HelpHooks) h = DefaultHelp;
  s.MenuCommandHook = RunMenuCommand;
  s.PostCloseHook = CloseAtOnce;
  s.DataExtension.clear();
  return s;
}

bool IsSeparator(char c) { return c == '\\' || c == ':' || c == '/'; }

}  // namespace

MenuBarSlots MenuBar = DefaultSlots();

void ResetMenuBar() { MenuBar = DefaultSlots(); }

std::string PathWithoutExtension(const std::string& path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    const char c = path[i - 1];
    if (c == '.') return path.substr(0, i - 1);
    if (IsSeparator(c)) break;
  }
  return path;
}

namespace {
// The path the load and save hooks take: folder and name, the extension
// dropped (the application adds its own).
std::string HookPath(const std::string& chosen) {
  const PathParts parts = SplitPath(chosen);
  return parts.Folder + parts.Name;
}
}  // namespace

void SavePrompt() {
  if (!Drv.DrvAskYesNo("Save file?"_sc, "Edited"_sc, true)) return;
  std::string path;
  if (FileDialog(path, MenuBar.DataExtension, false)) MenuBar.SaveHook(HookPath(path));
}

void CloseRequest() {
  if (Drv.DrvAskYesNo("                  Закончить работу?"_sc, "Exit"_sc, false))
    Drv.DrvCloseGraphics();
}

void RunMenuCommand(int command) {
  std::string path;
  switch (command) {
    case kCommandNew:
      SavePrompt();
      MenuBar.NewHook();
      return;
    case kCommandOpen:
      SavePrompt();
      if (FileDialog(path, MenuBar.DataExtension, true)) {
        MenuBar.NewHook();
        MenuBar.LoadHook(HookPath(path));
      }
      return;
    case kCommandSave:
      if (FileDialog(path, MenuBar.DataExtension, false)) MenuBar.SaveHook(HookPath(path));
      return;
    case kCommandExit:
      MenuBar.PostCloseHook();
      return;
    default:
      if (command >= kFirstHelpCommand && command < kFirstHelpCommand + kHelpHookCount) {
        MenuBar.HelpHooks[command - kFirstHelpCommand]();
        MenuBar.RedrawHook();
      }
      return;
  }
}

}  // namespace platform
