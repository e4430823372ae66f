// src/app/framework.cpp — one call that puts every layer back.
#include "app/framework.h"

#include "app/app_menus.h"
#include "app/shell_model.h"
#include "exchange/exchange.h"
#include "exchange/file_menu.h"
#include "graphics/kernel.h"
#include "graphics/lang.h"
#include "help/help.h"
#include "menu/menu.h"
#include "platform/menu_bar.h"
#include "print/print.h"
#include "store/store.h"
#include "view/view.h"

namespace app {

void ResetFramework() {
  platform::ResetMenuBar();
  gfx::Layout = gfx::ScreenLayout{};
  gfx::LanguageIndex = 0;
  store::Slots = store::StoreSlots{};
  store::InitStore();
  menu::Slots = menu::MenuSlots{};
  menu::M = menu::MenuState{};
  view::Slots = view::ViewSlots{};
  view::V = view::ViewState{};
  view::UpdateViewCoefficients();
  exchange::Slots = exchange::ExchangeSlots{};
  exchange::Exchange = exchange::ExchangeState{};
  exchange::ResetFileMenuSlots();
  exchange::Files = exchange::FileMenuState{};
  print::Printing = print::PrintState{};
  help::Slots = help::HelpSlots{};
  Slots = AppSlots{};
  Shell = ShellModel{};
  ResetShellModel(Shell);
}

}  // namespace app
