// The window driver: finds dialogs and message boxes of this process or of a
// child, reads their texts and presses their buttons. DialogDriver runs a
// script on a second thread while the test's own thread sits in a modal loop.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <thread>

// What to look for among the visible top-level dialogs (class #32770).
struct DialogMatch {
    DWORD pid;             // the owning process; 0 for any
    const char* caption;   // exact window text (Shift-JIS); any when NULL
    int control;           // a control the dialog must have; any when 0
    int box;               // 1: message boxes only (static 0xFFFF), 0: no message boxes, -1: either
};
HWND FindDialog(const DialogMatch& match);
// Waits up to `timeoutMs`; NULL when none came or `process` (when given) ended.
HWND WaitForDialog(const DialogMatch& match, int timeoutMs = 10000, HANDLE process = NULL);
// Waits until the window is gone or hidden; false on timeout.
bool WaitUntilGone(HWND window, int timeoutMs = 10000);

// Waits up to `timeoutMs` for a visible dialog of this process with the
// caption (Shift-JIS); NULL when none appeared.
HWND WaitForProcessDialog(const char* caption, int timeoutMs = 10000);
// The text of a control of a dialog, of this process or another.
std::string DialogItemText(HWND dialog, int controlId);
// The text of a message box (its static control 0xFFFF).
std::string BoxText(HWND box);
void SetDialogItemText(HWND dialog, int controlId, const char* text);
// Presses a button as a click does (posted BN_CLICKED); works across processes.
void ClickDialogButton(HWND dialog, int controlId);
// Clicks through the control itself (BM_CLICK, sent): an auto radio button
// checks itself as for a mouse click; returns once the dialog has handled it.
void SendButtonClick(HWND dialog, int controlId);

// Runs `script` on a second thread; the destructor waits for it.
class DialogDriver {
public:
    explicit DialogDriver(std::function<void()> script) : m_thread(std::move(script)) {}
    ~DialogDriver() { m_thread.join(); }
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

private:
    std::thread m_thread;
};
