// Drives a modal dialog of this process from a second thread while the test's
// own thread sits in the dialog's modal loop: find it, read and set control
// texts, press buttons.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <thread>

// Waits up to `timeoutMs` for a visible dialog of this process with the
// caption (Shift-JIS); NULL when none appeared.
HWND WaitForProcessDialog(const char* caption, int timeoutMs = 10000);
// The text of a control of a dialog.
std::string DialogItemText(HWND dialog, int controlId);
void SetDialogItemText(HWND dialog, int controlId, const char* text);
// Presses a button as a click does (posted BN_CLICKED).
void ClickDialogButton(HWND dialog, int controlId);

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
