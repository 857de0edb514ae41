// The process runner: starts a program (setup.exe, Uninst.exe...) as a child
// process with a chosen current folder, finds its windows and waits for it.
// Its dialogs are driven with the window driver (DialogDriver.h).
#pragma once
#include <windows.h>
#include <string>
#include "support/DialogDriver.h"

class ProgramRun {
public:
    ProgramRun() = default;
    ~ProgramRun();  // ends the child if it still runs
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // Starts `exe` ("arguments" after its quoted path) in `folder`.
    bool Start(const std::string& exe, const std::string& folder, const std::string& arguments = "");
    // The exit code, or kStillRunning after `timeoutMs`.
    DWORD Wait(int timeoutMs = 15000);
    bool Running() const;
    static const DWORD kStillRunning = 0xDEADBEEF;

    // A visible dialog of the child, NULL after `timeoutMs` or once it ended:
    // a window that is no message box (the menu), with `caption` unless NULL;
    HWND WaitForWindow(const char* caption, int timeoutMs = 10000) const;
    // a message box, with `caption` unless NULL;
    HWND WaitForBox(const char* caption = NULL, int timeoutMs = 10000) const;
    // a dialog that has control `id` (one wizard step).
    HWND WaitForStep(int id, int timeoutMs = 10000) const;
    // The child's visible top-level windows, for failure messages.
    std::string Describe() const;

private:
    HANDLE m_process = NULL;
    DWORD m_id = 0;
};
