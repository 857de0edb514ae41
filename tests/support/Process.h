// Runs a program (setup.exe, Uninst.exe...) as a child process in a chosen
// current folder, finds its windows and waits for it.
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
    bool Start(const std::string& exe, const std::string& folder, const std::string& arguments = "");
    DWORD Wait(int timeoutMs = 15000);  // the exit code, or kStillRunning
    bool Running() const { return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }
    static const DWORD kStillRunning = 0xDEADBEEF;
    // A visible dialog of the child; NULL after `timeoutMs` or once it ended.
    HWND WaitForWindow(const char* caption, int timeoutMs = 10000) const {  // no message box
        return WaitForDialog({m_id, caption, 0, 0}, timeoutMs, m_process);
    }
    HWND WaitForBox(const char* caption = NULL, int timeoutMs = 10000) const {
        return WaitForDialog({m_id, caption, 0, 1}, timeoutMs, m_process);
    }
    HWND WaitForStep(int control, int timeoutMs = 10000) const {  // a dialog with that control
        return WaitForDialog({m_id, NULL, control, -1}, timeoutMs, m_process);
    }
    std::string Describe() const;  // the child's visible windows, for failure messages

private:
    HANDLE m_process = NULL;
    DWORD m_id = 0;
};
