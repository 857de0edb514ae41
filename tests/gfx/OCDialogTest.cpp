// OCDialog on a template of the test's own resources: the modal run returns
// the end code its procedure gave, the procedure gets its messages and reads
// the controls' texts in Shift-JIS, an exception inside it reaches the caller
// of the run, and the dialog centres itself over its owner.
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include "base/OCException.h"
#include "gfx/OCDialog.h"
#include "support/DialogDriver.h"
#include "TestDialogs.h"

namespace {

// What the test dialog does at WM_INITDIALOG and at a button's WM_COMMAND,
// reached through the dialog's user value.
struct Script {
    std::function<void(OCDialog&, HWND)> onInit;
    std::function<void(OCDialog&, HWND, int)> onButton;
};

OCDialog* g_dialog;  // the procedure's own pointer for later messages

INT_PTR CALLBACK ScriptProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) g_dialog = OCDialog::FromInitParam(window, lParam);
    bool button = message == WM_COMMAND && (LOWORD(wParam) <= IDCANCEL || LOWORD(wParam) == IDC_THROW);
    if (message != WM_INITDIALOG && !button) return FALSE;
    return g_dialog->Guard(window, [&]() -> INT_PTR {
        Script* script = (Script*)g_dialog->GetUserValue();
        if (!button && script->onInit) script->onInit(*g_dialog, window);
        if (button && script->onButton) script->onButton(*g_dialog, window, LOWORD(wParam));
        return TRUE;
    });
}

// Runs the test dialog over `owner`, pressing `button` from a second thread when it is not 0.
int RunDialog(OCDialog& dialog, Script& script, int button = 0, HWND owner = NULL) {
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
    std::string label, edit, missing = "unchanged";
    Script script;
    script.onButton = [&](OCDialog& dialog, HWND window, int id) {
        OCString text;
        dialog.GetItemText(IDC_LABEL, text);
        label = text.GetBuffer();
        dialog.GetItemText(IDC_EDIT, text);
        edit = text.GetBuffer();
        dialog.GetItemText(9999, text);
        missing = text.GetBuffer() ? text.GetBuffer() : "";
        EndDialog(window, 40 + id);
    };
    OCDialog dialog(IDD_TEST_DIALOG);
    for (int button : {IDCANCEL, IDOK}) {
        EXPECT_EQ(40 + button, RunDialog(dialog, script, button));
        EXPECT_EQ(NULL, dialog.GetWindow());
    }
    EXPECT_EQ("\x95\x5C\x8E\xA6\x83\x5C\x83\x74\x83\x67", label);  // 表示ソフト
    EXPECT_EQ(std::string(5000, 'x') + "\x83\x5C\x95\x5C", edit);
    EXPECT_EQ("", missing);
    OCDialog none(9999);
    EXPECT_EQ(-1, RunDialog(none, script));
}

TEST(Dialog, ExceptionInsideTheProcedureReachesTheCallerOnce) {
    Script script;
    script.onInit = [](OCDialog&, HWND) { throw OCErrorException(ERROR_ACCESS_DENIED, "init failed"); };
    OCDialog dialog(IDD_TEST_DIALOG);
    try {
        RunDialog(dialog, script);
        ADD_FAILURE() << "no exception";
    } catch (const OCErrorException& e) {
        EXPECT_EQ((LONG)ERROR_ACCESS_DENIED, e.code);
        EXPECT_STREQ("init failed", e.message.GetBuffer());
    }
    script.onInit = nullptr;
    script.onButton = [](OCDialog&, HWND window, int id) {
        if (id == IDC_THROW) throw OCErrorException(7, "button failed");
        EndDialog(window, id);
    };
    EXPECT_THROW(RunDialog(dialog, script, IDC_THROW), OCErrorException);
    EXPECT_EQ(IDOK, RunDialog(dialog, script, IDOK));  // the kept exception does not come back
}

TEST(Dialog, CentresOverItsOwnerWithXOnAMultipleOf8) {
    const struct { RECT owner; int width, height, left, top; } cases[] = {
        {{0, 0, 1024, 768}, 300, 101, 360, 333},    // 362 + 4, low three bits cleared; y as computed
        {{3, 0, 1027, 768}, 300, 101, 368, 333},    // 365 rounds up
        {{1, 0, 1025, 768}, 300, 101, 360, 333},    // 363 rounds down
        {{0, 500, 1024, 600}, 300, 103, 360, 499},  // 500 + (-3 / 2): toward zero
        {{10, 20, 210, 120}, 300, 300, 0, 0},       // larger than its owner: never below 0
        {{}, 300, 101, 488, 461},                   // no owner: the desktop, 1280 x 1024 on the tests' display
    };
    for (const auto& c : cases) {
        const RECT& o = c.owner;
        HWND owner = o.right ? CreateWindowExA(0, "STATIC", "", WS_POPUP, o.left, o.top, o.right - o.left, o.bottom - o.top,
                                               NULL, NULL, NULL, NULL) : NULL;
        RECT placed = {};
        Script script;
        script.onInit = [&](OCDialog& dialog, HWND window) {
            SetWindowPos(window, NULL, 0, 0, c.width, c.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            dialog.Centre();
            GetWindowRect(window, &placed);
            EndDialog(window, 0);
        };
        OCDialog dialog(IDD_TEST_DIALOG);
        EXPECT_EQ(0, RunDialog(dialog, script, 0, owner));
        EXPECT_EQ(c.left, placed.left) << o.left;
        EXPECT_EQ(c.top, placed.top) << o.top;
        EXPECT_EQ(c.width, placed.right - placed.left);
        if (owner) DestroyWindow(owner);
    }
}
