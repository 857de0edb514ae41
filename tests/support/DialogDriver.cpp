#include "support/DialogDriver.h"
#include "support/BoxAnswerer.h"

HWND WaitForProcessDialog(const char* caption, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        if (HWND dialog = FindProcessDialog(caption)) return dialog;
        Sleep(20);
    }
    return NULL;
}

std::string DialogItemText(HWND dialog, int controlId) {
    HWND control = GetDlgItem(dialog, controlId);
    return control ? WindowText(control) : std::string();
}

void SetDialogItemText(HWND dialog, int controlId, const char* text) {
    SetDlgItemTextA(dialog, controlId, text);
}

void ClickDialogButton(HWND dialog, int controlId) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                 (LPARAM)GetDlgItem(dialog, controlId));
}
