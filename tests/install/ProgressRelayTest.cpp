// The progress relay between the copy worker and dialog 107: the worker
// records and posts and never waits for the dialog; the dialog shows the
// latest state, merging what came faster than it could show.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <string>
#include "install/ProgressRelay.h"
#include "resources/resource.h"

namespace {

ProgressRelay* g_relay = NULL;
int g_messages = 0;                     // kMsgShowProgress received

INT_PTR CALLBACK RelayDialog(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message != kMsgShowProgress) return FALSE;
    g_messages++;
    g_relay->Show(window);
    return TRUE;
}

std::string ItemText(HWND dialog, int id) {
    char text[MAX_PATH] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

LRESULT BarPosition(HWND dialog) { return SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0); }

class ProgressRelayTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
        dialog = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_INSTALL_PROGRESS), NULL,
                                    RelayDialog, 0);
        ASSERT_TRUE(dialog != NULL);
        SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, 1000);
        SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETPOS, 10, 0);
        g_relay = &relay;
        g_messages = 0;
        relay.Attach(dialog);           // this thread owns the dialog: no wait
    }
    void TearDown() override {
        if (dialog) DestroyWindow(dialog);
        g_relay = NULL;
    }
    void PumpMessages() {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    // Runs `body` on a second thread while this one serves the dialog.
    template <class Body> void OnWorker(Body body) {
        struct Call {
            static DWORD WINAPI Run(void* argument) { (*(Body*)argument)(); return 0; }
        };
        HANDLE thread = CreateThread(NULL, 0, Call::Run, &body, 0, NULL);
        ASSERT_TRUE(thread != NULL);
        while (MsgWaitForMultipleObjects(1, &thread, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
            PumpMessages();
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 0));
        CloseHandle(thread);
    }

    HWND dialog = NULL;
    ProgressRelay relay{0};               // every new name may post
};

TEST_F(ProgressRelayTest, WorkerNeverWaitsAndTheDialogShowsTheLatestState) {
    struct Updates {
        static DWORD WINAPI Run(void* argument) {
            ProgressRelay* relay = (ProgressRelay*)argument;
            char name[32];
            for (int i = 0; i < 500; i++) {
                wsprintfA(name, "C:\\Game\\file%03d.dat", i);
                relay->SetText(name);
                relay->Advance(3);          // 10 + 1500 runs past the range's end
            }
            return 0;
        }
    };
    HANDLE worker = CreateThread(NULL, 0, Updates::Run, &relay, 0, NULL);
    ASSERT_TRUE(worker != NULL);
    // This thread serves no messages meanwhile: a worker that waited for the
    // dialog would still be waiting.
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(worker, 10000));
    CloseHandle(worker);
    EXPECT_EQ(10, BarPosition(dialog));
    PumpMessages();
    EXPECT_EQ(1, g_messages);           // 1000 updates, one message
    EXPECT_EQ("C:\\Game\\file499.dat", ItemText(dialog, IDC_PROGRESS_TEXT));
    EXPECT_EQ(1000, BarPosition(dialog));
}

TEST_F(ProgressRelayTest, FlushShowsTheStateBeforeItReturns) {
    std::string text;
    LRESULT position = -1;
    OnWorker([&] {
        relay.SetText("C:\\Game\\last.dat");
        relay.SetPosition(700);
        relay.Flush();
        text = ItemText(dialog, IDC_PROGRESS_TEXT);
        position = BarPosition(dialog);
    });
    EXPECT_EQ("C:\\Game\\last.dat", text);
    EXPECT_EQ(700, position);
}

TEST_F(ProgressRelayTest, SmallBarMovesWaitForAThousandthOfTheRange) {
    relay.Advance(0);                   // nothing moved: nothing posted
    relay.Advance(0);
    PumpMessages();
    EXPECT_EQ(0, g_messages);
    relay.Advance(1);                   // a thousandth of 1000
    PumpMessages();
    EXPECT_EQ(1, g_messages);
    EXPECT_EQ(11, BarPosition(dialog));
    relay.SetPosition(-5);              // kept within the range, as the bar keeps it
    relay.Flush();
    EXPECT_EQ(0, BarPosition(dialog));
}

TEST_F(ProgressRelayTest, NewNamesWaitForTheIntervalOrABarStep) {
    ProgressRelay slow(60000);
    g_relay = &slow;
    slow.Attach(dialog);
    slow.SetText("C:\\Game\\a.dat");    // the first name posts at once
    PumpMessages();
    EXPECT_EQ(1, g_messages);
    slow.SetText("C:\\Game\\b.dat");    // within the interval: waits
    PumpMessages();
    EXPECT_EQ(1, g_messages);
    EXPECT_EQ("C:\\Game\\a.dat", ItemText(dialog, IDC_PROGRESS_TEXT));
    slow.Advance(1);                      // a bar step brings the latest name along
    PumpMessages();
    EXPECT_EQ(2, g_messages);
    EXPECT_EQ("C:\\Game\\b.dat", ItemText(dialog, IDC_PROGRESS_TEXT));
    EXPECT_EQ(11, BarPosition(dialog));
    slow.SetText("C:\\Game\\c.dat");
    slow.Flush();                         // and so does the flush
    EXPECT_EQ("C:\\Game\\c.dat", ItemText(dialog, IDC_PROGRESS_TEXT));
}

}  // namespace
