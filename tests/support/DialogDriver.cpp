#include "support/DialogDriver.h"
#include "support/Files.h"

bool IsVisibleDialog(HWND window, DWORD pid) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t cls[64] = L"";
    GetClassNameW(window, cls, 64);
    return owner == pid && IsWindowVisible(window) && lstrcmpW(cls, L"#32770") == 0;
}

std::string WindowText(HWND window) {
    wchar_t text[4096] = L"";
    GetWindowTextW(window, text, 4096);
    return Sjis(text);
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
    wchar_t text[4096] = L"";
    HWND control = GetDlgItem(dialog, controlId);
    if (control) SendMessageTimeoutW(control, WM_GETTEXT, 4096, (LPARAM)text, SMTO_NORMAL, 5000, NULL);
    return Sjis(text);
}


void SetDialogItemText(HWND dialog, int controlId, const char* text) {
    const std::wstring wide = Wide(text);
    SendMessageTimeoutW(GetDlgItem(dialog, controlId), WM_SETTEXT, 0, (LPARAM)wide.c_str(), SMTO_NORMAL, 5000, NULL);
}
