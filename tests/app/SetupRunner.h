// Runs setup.exe as a child process in a prepared folder and drives its
// windows from the test: the menu, its buttons and the message boxes it shows.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

// The folder of the running test program (bin/, where setup.exe lies too).
std::string ProgramFolder();

class SetupRun {
public:
    SetupRun() = default;
    ~SetupRun();  // ends the child if it is still running
    SetupRun(const SetupRun&) = delete;
    SetupRun& operator=(const SetupRun&) = delete;

    // Starts `exe` with `folder` as its current folder.
    bool Start(const std::string& exe, const std::string& folder);
    // The exit code, or kStillRunning after `timeoutMs`.
    DWORD Wait(int timeoutMs = 15000);
    DWORD Id() const { return m_id; }
    bool Running() const;

    // A visible dialog-class window of the child, NULL after `timeoutMs`.
    // With `caption` non-NULL only one of that caption; message boxes
    // (a window with a static 0xFFFF) are or are not wanted as `box` says.
    HWND WaitForDialog(const char* caption, bool box, int timeoutMs = 10000) const;
    HWND WaitForMenu(int timeoutMs = 10000) const { return WaitForDialog(NULL, false, timeoutMs); }
    HWND WaitForBox(int timeoutMs = 10000) const { return WaitForDialog(NULL, true, timeoutMs); }

    // A visible dialog of the child that has control `id`; NULL after `timeoutMs`.
    HWND WaitForDialogWithControl(int id, int timeoutMs = 10000) const;
    // The child's visible top-level windows, for failure messages.
    std::string Describe() const;

    static const DWORD kStillRunning = 0xDEADBEEF;

private:
    HANDLE m_process = NULL;
    DWORD m_id = 0;
};

// The box's text (its static control 0xFFFF).
std::string BoxText(HWND box);
// Presses a button of a dialog of another process (posted BN_CLICKED).
void PressButton(HWND dialog, int id);
// The colour at a screen point, as the screen shows it; CLR_INVALID on failure.
COLORREF ScreenPixel(int x, int y);
// Waits until the screen point shows `expected` within `tolerance` per
// channel; false when it did not within `timeoutMs`.
bool WaitForPixel(int x, int y, COLORREF expected, int tolerance = 24, int timeoutMs = 3000);
bool SameColour(COLORREF a, COLORREF b, int tolerance);

// A registry key below HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER that the test
// creates and removes again (with its values) when it goes away.
class TestKey {
public:
    TestKey(HKEY root, const std::string& path);
    ~TestKey();
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;
    void SetString(const char* name, const std::string& value);

private:
    HKEY m_root;
    std::string m_path;
};

std::string ReadFileBytes(const std::string& path);
bool FileExistsAt(const std::string& path);
// The test's temporary folder (GetTempPathA), ending with a backslash.
std::string TempFolder();
