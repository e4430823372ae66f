// src/app/framework.h — the whole program back to its state before start-up.
#pragma once

namespace app {

// Every layer's slots back to their defaults and its state to its initial
// value (store, menu, view, exchange and its file menu, printing, help, the
// screen layout and the language), the menu bar's slots and the
// application's slots and model (the default shell). The platform driver and
// the kernel are left as they are: a test installs the driver it draws on.
// Tests call it instead of putting back by hand what they changed.
void ResetFramework();

}  // namespace app
