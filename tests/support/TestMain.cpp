// The main of every Windows test program: GoogleTest, and a guard against
// message boxes nobody answers. A box of this process that no BoxAnswerer
// expects and that stays open for 5 s fails the running test and is closed,
// so that a forgotten box costs seconds, not CTest's time-out.
#include <gtest/gtest.h>
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

void WatchBoxes() {
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
