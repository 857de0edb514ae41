// OCDialog on the test's own template: the modal run returns the procedure's
// end code, the procedure reads the controls in Shift-JIS, an exception inside
// it reaches the run's caller, and the dialog centres itself over its owner.
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include "base/OCException.h"
#include "gfx/OCDialog.h"
#include "support/DialogDriver.h"
#include "TestDialogs.h"

namespace {

// What the test dialog does at WM_INITDIALOG (id 0) and at a button, reached through its user value.
using Script = std::function<void(OCDialog&, HWND, int id)>;
OCDialog* g_dialog;

INT_PTR CALLBACK ScriptProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) g_dialog = OCDialog::FromInitParam(window, lParam);
    const int id = message == WM_COMMAND ? LOWORD(wParam) : 0;
    if (message != WM_INITDIALOG && id != IDOK && id != IDCANCEL && id != IDC_THROW) return FALSE;
    return g_dialog->Guard(window, [&]() -> INT_PTR { return (*(Script*)g_dialog->GetUserValue())(*g_dialog, window, id), TRUE; });
}

// Runs the test dialog over `owner`; a second thread types into the edit and presses `button` when it is not 0.
int RunDialog(OCDialog& dialog, Script script, int button = 0, HWND owner = NULL) {
    dialog.SetUp(owner, ScriptProc, &script);
    DialogDriver driver([button] {
        HWND window = button ? WaitForProcessDialog("テスト画面") : NULL;
        if (window) SetDialogItemText(window, IDC_EDIT, (std::string(5000, 'x') + "ソ表").c_str());
        if (window) ClickDialogButton(window, button);
    });
    return dialog.RunModal();
}

}  // namespace

TEST(Dialog, RunsModallyTwiceAndReadsItsControlsInShiftJis) {
    std::string texts[3] = {"", "", "unchanged"};
    const Script read = [&](OCDialog& dialog, HWND window, int id) {
        const int controls[3] = {IDC_LABEL, IDC_EDIT, 9999};
        for (int i = 0; id && i < 3; i++) {
            OCString text;
            dialog.GetItemText(controls[i], text);
            texts[i] = text.GetBuffer() ? text.GetBuffer() : "";
        }
        if (id) EndDialog(window, 40 + id);
    };
    OCDialog dialog(IDD_TEST_DIALOG);
    for (int button : {IDCANCEL, IDOK}) {
        EXPECT_EQ(40 + button, RunDialog(dialog, read, button));
        EXPECT_EQ(NULL, dialog.GetWindow());
    }
    EXPECT_EQ("\x95\x5C\x8E\xA6\x83\x5C\x83\x74\x83\x67", texts[0]);  // 表示ソフト
    EXPECT_EQ(std::string(5000, 'x') + "\x83\x5C\x95\x5C", texts[1]);
    EXPECT_EQ("", texts[2]);
    OCDialog none(9999);
    EXPECT_EQ(-1, RunDialog(none, read));
}

TEST(Dialog, ExceptionInsideTheProcedureReachesTheCallerOnce) {
    OCDialog dialog(IDD_TEST_DIALOG);
    try {
        RunDialog(dialog, [](OCDialog&, HWND, int id) {
            if (!id) throw OCErrorException(ERROR_ACCESS_DENIED, "init failed");
        });
        ADD_FAILURE() << "no exception";
    } catch (const OCErrorException& e) {
        EXPECT_EQ((LONG)ERROR_ACCESS_DENIED, e.code);
        EXPECT_STREQ("init failed", e.message.GetBuffer());
    }
    const Script throwing = [](OCDialog&, HWND window, int id) {
        if (id == IDC_THROW) throw OCErrorException(7, "button failed");
        if (id) EndDialog(window, id);
    };
    EXPECT_THROW(RunDialog(dialog, throwing, IDC_THROW), OCErrorException);
    EXPECT_EQ(IDOK, RunDialog(dialog, throwing, IDOK));  // the kept exception does not come back
}

TEST(Dialog, CentresOverItsOwnerWithXOnAMultipleOf8) {
    const struct { RECT owner; int width, height, left, top; } cases[] = {
        {{1, 0, 1025, 768}, 300, 101, 360, 333},    // 363 + 4, low three bits cleared; y as computed
        {{3, 0, 1027, 768}, 300, 101, 368, 333},    // 365 rounds up
        {{0, 500, 1024, 600}, 300, 103, 360, 499},  // 500 + (-3 / 2): toward zero
        {{10, 20, 210, 120}, 300, 300, 0, 0},       // larger than its owner: never below 0
        {{}, 300, 101, 488, 461},                   // no owner: the desktop, 1280 x 1024 on the tests' display
    };
    for (const auto& c : cases) {
        const RECT& o = c.owner;
        HWND owner = o.right ? CreateWindowExA(0, "STATIC", "", WS_POPUP, o.left, o.top, o.right - o.left, o.bottom - o.top,
                                               NULL, NULL, NULL, NULL) : NULL;
        RECT placed = {};
        OCDialog dialog(IDD_TEST_DIALOG);
        EXPECT_EQ(0, RunDialog(dialog, [&](OCDialog& d, HWND window, int) {
            SetWindowPos(window, NULL, 0, 0, c.width, c.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            d.Centre();
            GetWindowRect(window, &placed);
            EndDialog(window, 0);
        }, 0, owner));
        EXPECT_TRUE(placed.left == c.left && placed.top == c.top && placed.right - placed.left == c.width)
            << o.left << "," << o.top << ": " << placed.left << "," << placed.top;
        if (owner) DestroyWindow(owner);
    }
}
