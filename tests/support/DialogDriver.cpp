#include "support/DialogDriver.h"

bool IsVisibleDialog(HWND window, DWORD pid) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    return owner == pid && IsWindowVisible(window) && lstrcmpA(cls, "#32770") == 0;
}

std::string WindowText(HWND window) {
    char text[4096] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

void ForEachWindow(const std::function<bool(HWND)>& visit) {
    EnumWindows([](HWND window, LPARAM param) CALLBACK -> BOOL {
        return (*(const std::function<bool(HWND)>*)param)(window);
    }, (LPARAM)&visit);
}

static HWND FindDialog(const DialogMatch& m) {
    HWND found = NULL;
    ForEachWindow([&](HWND window) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (IsVisibleDialog(window, m.pid ? m.pid : pid) && (!m.control || GetDlgItem(window, m.control)) &&
            (m.box < 0 || (GetDlgItem(window, 0xFFFF) != NULL) == (m.box == 1)) &&
            (!m.caption || WindowText(window) == m.caption))
            found = window;
        return !found;
    });
    return found;
}

HWND WaitForDialog(const DialogMatch& match, int timeoutMs, HANDLE process) {
    HWND dialog;
    for (int waited = 0; !(dialog = FindDialog(match)) && waited < timeoutMs; waited += 20, Sleep(20))
        if (process && WaitForSingleObject(process, 0) == WAIT_OBJECT_0) break;
    return dialog;
}

bool WaitUntilGone(HWND window, int timeoutMs) {
    for (int waited = 0; waited < timeoutMs && IsWindowVisible(window); waited += 20) Sleep(20);
    return !IsWindowVisible(window);
}

std::string DialogItemText(HWND dialog, int controlId) {  // WM_GETTEXT: another process's too
    char text[4096] = "";
    HWND control = GetDlgItem(dialog, controlId);
    if (control) SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_NORMAL, 5000, NULL);
    return text;
}

