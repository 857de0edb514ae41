// The install menu's dialog procedure and its handlers.
#include "app/Menu.h"
#include "app/Launch.h"
#include "resources/resource.h"
#include "base/Sys.h"

namespace {

struct MenuButton {
    int control;
    const char* normal;    // drawn unless the button is being pressed
    const char* pressed;
    int x, y;              // top-left corner in the client area
};

const MenuButton kButtons[3] = {
    {IDC_MENU_INSTALL, "install_btn01.JPG", "install_btn02.JPG", 13, 163},
    {IDC_MENU_GAME, "start_btn01.JPG", "start_btn02.JPG", 27, 192},
    {IDC_MENU_UNINSTALL, "uninstall_btn01.JPG", "uninstall_btn02.JPG", 41, 221},
};

const char kBackgroundPicture[] = "install_back.JPG";

int ButtonIndex(UINT control) {
    for (int i = 0; i < 3; i++)
        if (kButtons[i].control == (int)control) return i;
    return -1;
}

void EnableButtons(HWND window, BOOL enable) {
    for (const MenuButton& button : kButtons) EnableWindow(GetDlgItem(window, button.control), enable);
}

// Not installed: INSTALL alone; installed: GAME and UNINSTALL.
void ShowButtons(HWND window, int installed) {
    ShowWindow(GetDlgItem(window, IDC_MENU_INSTALL), installed ? SW_HIDE : SW_SHOW);
    ShowWindow(GetDlgItem(window, IDC_MENU_GAME), installed ? SW_SHOW : SW_HIDE);
    ShowWindow(GetDlgItem(window, IDC_MENU_UNINSTALL), installed ? SW_SHOW : SW_HIDE);
}

// The frame around a client area of the picture's size; a picture that did
// not load counts as 0 x 0.
void SizeToBackground(HWND window) {
    int width = g_menuBackground.GetWidth() + 2 * GetSystemMetrics(SM_CXDLGFRAME);
    int height = g_menuBackground.GetHeight() + GetSystemMetrics(SM_CYCAPTION) +
                 2 * GetSystemMetrics(SM_CYDLGFRAME);
    MoveWindow(window, 0, 0, width, height, FALSE);
}

void PlaceButtons(HWND window) {
    for (int i = 0; i < 3; i++) {
        OCDibImage& image = g_menuButtons[i];
        image.Load(kButtons[i].normal);
        SetWindowPos(GetDlgItem(window, kButtons[i].control), HWND_NOTOPMOST, kButtons[i].x,
                     kButtons[i].y, image.GetWidth(), image.GetHeight(),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

INT_PTR OnInit(HWND window, OCDialog* menu, MenuState* state) {
    g_installConfig.Load();
    g_installConfig.ownerWindow = window;
    const char* title = g_installConfig.windowTitle.GetBuffer();
    sys::SetText(window, title ? title : "");
    state->installed = g_installConfig.IsInstalled();
    g_menuBackground.Load(kBackgroundPicture);
    SizeToBackground(window);
    PlaceButtons(window);
    ShowButtons(window, state->installed);
    menu->Centre();
    return TRUE;
}

// The background is loaded once, when the menu opens.
INT_PTR OnEraseBackground(HDC dc) {
    g_menuBackground.Draw(dc, NULL);
    return TRUE;
}

// The picture is read from its file on every draw. Only a change of selection
// to pressed shows the pressed picture; every other draw shows the normal one.
INT_PTR OnDrawItem(const DRAWITEMSTRUCT* item) {
    int index = ButtonIndex(item->CtlID);
    if (index < 0) return FALSE;
    bool pressed = (item->itemAction & ODA_SELECT) && (item->itemState & ODS_SELECTED);
    OCDibImage& image = g_menuButtons[index];
    image.Load(pressed ? kButtons[index].pressed : kButtons[index].normal);
    image.Draw(item->hDC, &item->rcItem);
    return TRUE;
}

// The menu stays up, disabled, while the install sequence runs its dialogs.
void OnInstall(HWND window, MenuState* state) {
    EnableButtons(window, FALSE);
    EnableWindow(window, FALSE);
    if (g_installConfig.RunInstall()) {
        state->installed = 1;
        ShowButtons(window, 1);
    }
    EnableWindow(window, TRUE);
    EnableButtons(window, TRUE);
}

// The game itself is started by the entry function once the menu is gone and
// the running-installer event is closed, so that it starts exactly once.
void OnGame(HWND window, MenuState* state) {
    if (ReadGameCommand(g_installConfig, state->gameCommand)) EndDialog(window, 1);
}

// The uninstall asks first; whatever the answer, the menu closes.
void OnUninstall(HWND window) {
    EnableButtons(window, FALSE);
    g_installConfig.StartUninstall();
    EndDialog(window, 0);
    EnableButtons(window, TRUE);
}

INT_PTR OnCommand(HWND window, int command, MenuState* state) {
    switch (command) {
    case IDCANCEL:
    case IDCLOSE: EndDialog(window, 0); break;
    case IDC_MENU_INSTALL: OnInstall(window, state); break;
    case IDC_MENU_GAME: OnGame(window, state); break;
    case IDC_MENU_UNINSTALL: OnUninstall(window); break;
    }
    return FALSE;
}

// The state of the menu whose window this is; NULL for any other window.
MenuState* StateOf(HWND window) {
    OCDialog* menu = g_currentMenu;
    if (!menu || menu->GetWindow() != window) return NULL;
    return (MenuState*)menu->GetUserValue();
}

}  // namespace

INT_PTR CALLBACK MenuDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        OCDialog* menu = OCDialog::FromInitParam(window, lParam);
        MenuState* state = menu ? (MenuState*)menu->GetUserValue() : NULL;
        if (!state) {                                // a menu cannot run without its state
            EndDialog(window, -1);
            return TRUE;
        }
        g_currentMenu = menu;
        return menu->Guard(window, [&] { return OnInit(window, menu, state); });
    }
    MenuState* state = StateOf(window);
    if (!state) return FALSE;
    OCDialog* menu = g_currentMenu;
    switch (message) {
    case WM_ERASEBKGND:
        return menu->Guard(window, [&] { return OnEraseBackground((HDC)wParam); });
    case WM_DRAWITEM:
        return menu->Guard(window, [&] { return OnDrawItem((const DRAWITEMSTRUCT*)lParam); });
    case WM_COMMAND:
        return menu->Guard(window, [&] { return OnCommand(window, LOWORD(wParam), state); });
    }
    return FALSE;
}
