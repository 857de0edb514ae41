// The main of every Windows test program: GoogleTest, and a guard against
// message boxes nobody answers. A box of this process that no BoxAnswerer
// expects and that stays open for 5 s fails the running test and is closed,
// so that a forgotten box costs seconds, not CTest's time-out. The guard looks
// at windows only once a thread of the program has a message queue: a window
// call of its own would start Wine's desktop process for a program that has
// no windows, and that process would keep CTest's output pipe open.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>
#include <map>
#include <thread>
#include <vector>
#include "support/BoxAnswerer.h"
#include "support/DialogDriver.h"

namespace {

const DWORD kPatienceMs = 5000;

// Presses the first of the buttons that give up: every box style has one.
void CloseBox(HWND box) {
    for (int id : {IDCANCEL, IDABORT, IDNO, IDOK})
        if (GetDlgItem(box, id)) return ClickDialogButton(box, id);
}

// True when another thread of this process has a message queue (made by a
// window, a box or a message call); asking does not make one.
bool HasGuiThread() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Thread32First(snapshot, &entry); more && !found; more = Thread32Next(snapshot, &entry)) {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        found = entry.th32OwnerProcessID == GetCurrentProcessId() && entry.th32ThreadID != GetCurrentThreadId() &&
                GetGUIThreadInfo(entry.th32ThreadID, &info);
    }
    CloseHandle(snapshot);
    return found;
}

void WatchBoxes() {
    while (!HasGuiThread()) Sleep(250);
    std::map<HWND, DWORD> openSince;
    for (;;) {
        Sleep(250);
        std::vector<HWND> boxes;
        EnumWindows([](HWND window, LPARAM list) CALLBACK -> BOOL {
            if (IsVisibleDialog(window, GetCurrentProcessId()) && GetDlgItem(window, 0xFFFF))
                ((std::vector<HWND>*)list)->push_back(window);
            return TRUE;
        }, (LPARAM)&boxes);
        std::map<HWND, DWORD> stillOpen;
        for (HWND box : boxes) {
            const std::string caption = WindowText(box);
            if (BoxIsExpected(caption)) continue;
            DWORD since = openSince.count(box) ? openSince[box] : GetTickCount();
            if (GetTickCount() - since < kPatienceMs) {
                stillOpen[box] = since;
                continue;
            }
            ADD_FAILURE() << "a message box nobody answered: \"" << caption << "\": " << BoxText(box);
            CloseBox(box);
        }
        openSince.swap(stillOpen);
    }
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    std::thread(WatchBoxes).detach();
    return RUN_ALL_TESTS();
}
