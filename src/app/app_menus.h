// src/app/app_menus.h — the application's menus: the main menu and the
// submenus that edit the shell model (new scheme, section, segment with its
// generatrix, loads) and the picture settings (image).
//
// Each menu fills its items, runs, acts on the key, redraws the whole
// picture after every accepted change and shows itself again; keys it does
// not handle are returned to the menu above.
#pragma once

#include "menu/menu.h"

namespace app {

// The main menu: returns only with '~' (end of the program) or Esc.
void AppMainMenu(menu::KeyCode& key);

void NewSchemeMenu(menu::KeyCode& key);
void SectionMenu(menu::KeyCode& key);
void SegmentMenu(menu::KeyCode& key);
void GeneratrixMenu(menu::KeyCode& key);
void LoadsMenu(menu::KeyCode& key);
void ImageMenu(menu::KeyCode& key);
void DesignCheckMenu(menu::KeyCode& key);

// "Подобрать масштабы": the picture's scales fitted to the shell, its
// results and the window, then the view fitted to the picture.
void FitScales();

struct AppSlots;
extern AppSlots Slots;  // AppSlots{} puts them back
struct AppSlots {
  // The file menu reached from item 1 and Ctrl-Z (a slot until the file menu
  // exists; the default leaves the key alone).
  void (*FileMenuHook)(menu::KeyCode& key) = [](menu::KeyCode&) {};
  // The full redraw that follows every change (a slot so that tests can count
  // redraws; the program installs the view's Redraw).
  void (*FullRedraw)() = [] {};
  // The view fitted to the picture after the scales were (a slot; the
  // program installs the view's FitView; the default is FullRedraw).
  void (*FitViewHook)() = [] { Slots.FullRedraw(); };
};

// Reads one key for a yes/no question.
bool AnsweredYes();

}  // namespace app
