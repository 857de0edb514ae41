#include "WizardDriver.h"
#include "support/BoxAnswerer.h"

namespace {

struct Search {
    const char* caption;
    int controlId;
    HWND found;
};

BOOL CALLBACK MatchWizard(HWND window, LPARAM param) {
    Search* search = (Search*)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
    if (WindowText(window) != search->caption || !GetDlgItem(window, search->controlId)) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK AppendText(HWND child, LPARAM param) {
    *(std::string*)param += WindowText(child) + "|";
    return TRUE;
}

}  // namespace

HWND WaitForWizard(const char* caption, int controlId, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        Search search = {caption, controlId, NULL};
        EnumWindows(MatchWizard, (LPARAM)&search);
        if (search.found) return search.found;
        Sleep(20);
    }
    return NULL;
}

bool WaitUntilClosed(HWND dialog, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs; waited += 20) {
        if (!IsWindow(dialog)) return true;
        Sleep(20);
    }
    return false;
}

void PressButton(HWND dialog, int controlId) {
    // BM_CLICK goes through the button, so an auto radio button changes its
    // check as it does for a mouse click. Sent: returns once handled.
    SendMessageTimeoutA(GetDlgItem(dialog, controlId), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, NULL);
}

bool IsChecked(HWND dialog, int controlId) {
    return SendDlgItemMessageA(dialog, controlId, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsShown(HWND dialog, int controlId) {
    HWND control = GetDlgItem(dialog, controlId);
    return control && (GetWindowLongA(control, GWL_STYLE) & WS_VISIBLE);
}

std::string AllChildTexts(HWND dialog) {
    std::string texts;
    EnumChildWindows(dialog, AppendText, (LPARAM)&texts);
    return texts;
}
