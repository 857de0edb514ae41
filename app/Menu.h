// The install menu: the installer's main window, a modal dialog (template 112)
// whose client area is the background picture and whose three buttons are
// pictures too. INSTALL runs the install sequence while the menu waits; GAME
// hands the game's command to the entry function; UNINSTALL runs the
// uninstall. The process-wide objects it draws and works on are defined in
// Main.cpp.
#pragma once
#include <windows.h>
#include "install/InstallConfig.h"
#include "base/OCString.h"
#include "gfx/OCDialog.h"
#include "gfx/OCDibImage.h"

// The menu's own state, reached through the dialog's user value.
struct MenuState {
    int installed = 0;      // both registry records of the product exist
    OCString gameCommand;   // set by GAME: the command the entry function starts
};

// Dialog procedure of template 112; the user value is a MenuState. End codes:
// 1 after GAME found the game (gameCommand holds its command line), 0 after
// the close box, Escape, IDCLOSE or UNINSTALL. An exception of a handler ends
// the menu and is rethrown by OCDialog::RunModal.
INT_PTR CALLBACK MenuDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Process-wide objects, constructed in this order before WinMain runs.
extern OCDibImage g_menuBackground;      // install_back.JPG while the menu is up
extern OCDibImage g_menuButtons[3];      // 0 INSTALL, 1 GAME, 2 UNINSTALL: the last drawn state
extern InstallConfig g_installConfig;    // the record the menu and the workflow work on
extern OCDialog* g_currentMenu;          // the running menu; NULL before and after
