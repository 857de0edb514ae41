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
    // A visible dialog of the child that is no message box, a message box, a dialog with that control;
    // NULL after `ms` or once the child ended.
    HWND WaitForWindow(const char* caption, int ms = 10000) const { return Find({m_id, caption, 0, 0}, ms); }
    HWND WaitForBox(const char* caption = NULL, int ms = 10000) const { return Find({m_id, caption, 0, 1}, ms); }
    HWND WaitForStep(int control, int ms = 10000) const { return Find({m_id, NULL, control, -1}, ms); }
    std::string Describe() const;  // the child's visible windows, for failure messages

private:
    HWND Find(const DialogMatch& match, int ms) const { return WaitForDialog(match, ms, m_process); }
    HANDLE m_process = NULL;
    DWORD m_id = 0;
};
