// src/platform/menu_bar.cpp — the menu-bar slots and the command, save and
// close steps that both drivers' window procedures run.
#include "platform/menu_bar.h"

#include "platform/codepage.h"
#include "platform/driver.h"
#include "platform/path_names.h"

namespace platform {

namespace {

void DoNothing() {}
void IgnorePath(const std::string&) {}
bool SaveNothing(const std::string&) { return false; }
void RedrawAfterResize() { MenuBar.RedrawHook(); }

// Until the application installs its help pages, each help item asks the
// question of the close box and ignores the answer.
void DefaultHelp() { Drv.DrvAskYesNo("Закончить работу?"_sc, "Exit"_sc, false); }

// Without a driver of its own the request is handled where it is posted.
void CloseAtOnce() { CloseRequest(); }

MenuBarSlots DefaultSlots() {
  MenuBarSlots s;
  s.RedrawHook = DoNothing;
  s.ResizeHook = RedrawAfterResize;
  s.NewHook = DoNothing;
  s.LoadHook = IgnorePath;
  s.SaveHook = SaveNothing;
  s.UndoHook = DoNothing;
  s.RedoHook = DoNothing;
  for (CommandHook& h : s.HelpHooks) h = DefaultHelp;
  s.MenuCommandHook = RunMenuCommand;
  s.PostCloseHook = CloseAtOnce;
  s.IdleHook = DoNothing;
  s.LeaveHook = AskBeforeLeaving;
  s.DataExtension.clear();
  return s;
}

bool IsSeparator(char c) { return c == '\\' || c == ':' || c == '/'; }

}  // namespace

MenuBarSlots MenuBar = DefaultSlots();

void ResetMenuBar() { MenuBar = DefaultSlots(); }

const MenuBarEntry MenuBarEntries[kMenuBarEntryCount] = {
    {kMenuCaption, "&Файл", "&File"},
    {kCommandNew, "&Создать...", "&New..."},
    {kCommandOpen, "&Открыть...", "&Open..."},
    {kCommandSave, "&Сохранить...", "&Save..."},
    {kMenuSeparator, "", ""},
    {kCommandExit, "В&ыход", "E&xit"},
    {kMenuCaption, "&Правка", "&Edit"},
    {kCommandUndo, "&Отменить\tAlt+Backspace", "&Undo\tAlt+Backspace"},
    {kCommandRedo, "&Вернуть\tAlt+Shift+Backspace", "&Redo\tAlt+Shift+Backspace"},
    {kMenuCaption, "&Руководство пользователя", "&Help"},
    {kCommandAboutSystem, "О САПР \"Brelmora\"", "About Brelmora"},
    {kCommandAboutProgram, "Об этой программе", "About this program"},
    {kMenuSeparator, "", ""},
    {kCommandUsage, "Работа с программой", "Working with the program"},
    {kCommandBrief, "Краткая инструкция\tF1", "Key summary\tF1"},
    {kMenuSeparator, "", ""},
    {kCommandGuide, "Руководство пользователя", "User's guide"},
};

const char* MenuBarCaption(const MenuBarEntry& entry, int language) {
  return language == 1 ? entry.English : entry.Russian;
}

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

bool SaveThroughDialog() {
  std::string path;
  return FileDialog(path, MenuBar.DataExtension, false) && MenuBar.SaveHook(HookPath(path));
}

void SavePrompt() {
  if (Drv.DrvAskYesNo("Save file?"_sc, "Edited"_sc, true)) SaveThroughDialog();
}

bool AskBeforeLeaving(LeaveReason reason) {
  if (reason == kLeaveProgram)
    return Drv.DrvAskYesNo("                  Закончить работу?"_sc, "Exit"_sc, false);
  SavePrompt();
  return true;
}

void CloseRequest() {
  if (MenuBar.LeaveHook(kLeaveProgram)) Drv.DrvCloseGraphics();
}

void RunMenuCommand(int command) {
  std::string path;
  switch (command) {
    case kCommandNew:
      if (MenuBar.LeaveHook(kLeaveForNew)) MenuBar.NewHook();
      return;
    case kCommandOpen:
      if (MenuBar.LeaveHook(kLeaveForOpen) && FileDialog(path, MenuBar.DataExtension, true)) {
        MenuBar.NewHook();
        MenuBar.LoadHook(HookPath(path));
      }
      return;
    case kCommandSave:
      SaveThroughDialog();
      return;
    case kCommandExit:
      MenuBar.PostCloseHook();
      return;
    case kCommandUndo:
      MenuBar.UndoHook();
      return;
    case kCommandRedo:
      MenuBar.RedoHook();
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
