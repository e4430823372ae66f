// src/platform/qt/qt_driver.h — the Qt window as the program's platform.
//
// This header names no Qt type, so the main program can install the window
// without seeing the toolkit.
#pragma once

namespace platform {

// Creates the application object when none exists yet, then the window
// (caption САПР "Brelmora", the menu bar with its two menus), shows it
// maximised and fills Drv with the window's entries. The picture starts at
// the size of the window's client area. argc and argv must outlive the
// program, as main's do.
void InstallQtDriver(int& argc, char** argv);

}  // namespace platform
