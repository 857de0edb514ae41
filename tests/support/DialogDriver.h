// The window driver: finds the visible dialogs and message boxes of this
// process or of a child, reads their texts and presses their buttons.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <thread>

struct DialogMatch {
    DWORD pid;            // 0: any process
    const char* caption;  // NULL: any
    int control;          // a control the dialog must have; 0: any
    int box;              // 1: message boxes only, 0: no message boxes, -1: either
};
void ForEachWindow(const std::function<bool(HWND)>& visit);  // the top-level windows, while it returns true
bool IsVisibleDialog(HWND window, DWORD pid);  // class #32770
std::string WindowText(HWND window);
// NULL after `timeoutMs` or once `process` (when given) has ended.
HWND WaitForDialog(const DialogMatch& match, int timeoutMs = 10000, HANDLE process = NULL);
inline HWND WaitForProcessDialog(const char* caption, int timeoutMs = 10000) {
    return WaitForDialog({GetCurrentProcessId(), caption, 0, -1}, timeoutMs);
}
bool WaitUntilGone(HWND window, int timeoutMs = 10000);  // gone or hidden
std::string DialogItemText(HWND dialog, int controlId);
inline std::string BoxText(HWND box) { return DialogItemText(box, 0xFFFF); }
void SetDialogItemText(HWND dialog, int controlId, const char* text);
inline void ClickDialogButton(HWND dialog, int controlId) {  // posted, as a click is
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED), (LPARAM)GetDlgItem(dialog, controlId));
}
// BM_CLICK, sent: an auto radio button checks itself as for a mouse click.
inline void SendButtonClick(HWND dialog, int controlId) {
    SendMessageTimeoutA(GetDlgItem(dialog, controlId), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, NULL);
}

// Runs a script on a second thread while the test's own sits in a modal loop.
class DialogDriver {
public:
    explicit DialogDriver(std::function<void()> script) : m_thread(std::move(script)) {}
    ~DialogDriver() { m_thread.join(); }

private:
    std::thread m_thread;
};
