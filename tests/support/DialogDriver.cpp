#include "support/DialogDriver.h"
#include "support/BoxAnswerer.h"

HWND FindDialog(const DialogMatch& match) {
    std::pair<const DialogMatch*, HWND> search(&match, NULL);
    EnumWindows([](HWND window, LPARAM param) CALLBACK -> BOOL {
        auto* s = (std::pair<const DialogMatch*, HWND>*)param;
        const DialogMatch& m = *s->first;
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (!IsVisibleDialog(window, m.pid ? m.pid : pid) || (m.control && !GetDlgItem(window, m.control)) ||
            (m.box >= 0 && (GetDlgItem(window, 0xFFFF) != NULL) != (m.box == 1)) ||
            (m.caption && WindowText(window) != m.caption))
            return TRUE;
        s->second = window;
        return FALSE;
    }, (LPARAM)&search);
    return search.second;
}

HWND WaitForDialog(const DialogMatch& match, int timeoutMs, HANDLE process) {
    for (int waited = 0;; waited += 20) {
        if (HWND dialog = FindDialog(match)) return dialog;
        if (waited >= timeoutMs || (process && WaitForSingleObject(process, 0) == WAIT_OBJECT_0)) return NULL;
        Sleep(20);
    }
}

bool WaitUntilGone(HWND window, int timeoutMs) {
    for (int waited = 0; IsWindow(window) && IsWindowVisible(window); waited += 20) {
        if (waited >= timeoutMs) return false;
        Sleep(20);
    }
    return true;
}

HWND WaitForProcessDialog(const char* caption, int timeoutMs) {
    return WaitForDialog({GetCurrentProcessId(), caption, 0, -1}, timeoutMs);
}

// WM_GETTEXT reaches a control of another process too (GetWindowText does not).
std::string DialogItemText(HWND dialog, int controlId) {
    char text[4096] = "";
    HWND control = GetDlgItem(dialog, controlId);
    if (control) SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_NORMAL, 5000, NULL);
    return text;
}

std::string BoxText(HWND box) { return DialogItemText(box, 0xFFFF); }

void SetDialogItemText(HWND dialog, int controlId, const char* text) {
    SendMessageTimeoutA(GetDlgItem(dialog, controlId), WM_SETTEXT, 0, (LPARAM)text, SMTO_NORMAL, 5000, NULL);
}

void ClickDialogButton(HWND dialog, int controlId) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED), (LPARAM)GetDlgItem(dialog, controlId));
}

void SendButtonClick(HWND dialog, int controlId) {
    SendMessageTimeoutA(GetDlgItem(dialog, controlId), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, NULL);
}
