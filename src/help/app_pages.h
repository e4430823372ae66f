// src/help/app_pages.h — the application's description: the two pages of
// the "Об этой программе" command of the menu bar's help menu.
//
// These pages belong to the shell calculator, not to the framework; they
// live beside the help pages because they are drawn with the same page
// services. The main program installs AppDescriptionPages into the help
// slot of that command.
#pragma once

namespace help {

// Page 1, then: Esc leaves, '1' shows page 1 again, any other key page 2.
// Page 2, then: '1' shows page 1 again, any other key leaves. The menu bar
// redraws the picture and the menu after every help command.
void AppDescriptionPages();

// The application's keys for the key summary (installed as its hook).
void AppKeySummary();

}  // namespace help
