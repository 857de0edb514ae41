// The main of every Windows test program, with a guard: a box that no BoxAnswerer expects and
// that stays open for 5 s fails the running test and is closed. It looks at windows only once a
// thread has a message queue: a window call of its own would start Wine's desktop process for a
// program without windows, and that would keep CTest's output pipe open.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>
#include <algorithm>
#include <map>
#include <thread>
#include "support/BoxAnswerer.h"
#include "support/DialogDriver.h"

namespace {

const DWORD kPatienceMs = 5000;

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
    for (std::map<HWND, DWORD> since;;) {  // when each unexpected box was first seen
        Sleep(250);
        for (auto it = since.begin(); it != since.end();) it = IsWindowVisible(it->first) ? std::next(it) : since.erase(it);
        ForEachWindow([&](HWND box) {
            if (!IsVisibleDialog(box, GetCurrentProcessId()) || !GetDlgItem(box, 0xFFFF) || BoxIsExpected(WindowText(box)))
                return true;
            auto seen = since.emplace(box, GetTickCount()).first;
            if (GetTickCount() - seen->second < kPatienceMs) return true;
            ADD_FAILURE() << "a message box nobody answered: \"" << WindowText(box) << "\": " << BoxText(box);
            const int ids[] = {IDCANCEL, IDABORT, IDNO, IDOK};  // the first that gives up; every box style has one
            ClickDialogButton(box, *std::find_if(ids, ids + 3, [box](int id) { return GetDlgItem(box, id) != NULL; }));
            seen->second = GetTickCount();  // closing takes a moment
            return true;
        });
    }
}

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    std::thread(WatchBoxes).detach();
    return RUN_ALL_TESTS();
}
