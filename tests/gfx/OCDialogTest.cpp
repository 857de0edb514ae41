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

const char kCaption[] = "テスト画面";

// What a test dialog does, reached through the dialog's user value.
struct Script {
    std::function<void(OCDialog&, HWND)> onInit;
    std::function<void(OCDialog&, HWND, int)> onCommand;
};

OCDialog* g_dialog;  // the procedure's own pointer for later messages

INT_PTR CALLBACK ScriptProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) g_dialog = OCDialog::FromInitParam(window, lParam);
    if (message != WM_INITDIALOG && message != WM_COMMAND) return FALSE;
    return g_dialog->Guard(window, [&]() -> INT_PTR {
        Script* script = (Script*)g_dialog->GetUserValue();
        if (message == WM_INITDIALOG && script->onInit) script->onInit(*g_dialog, window);
        if (message == WM_COMMAND && script->onCommand) script->onCommand(*g_dialog, window, LOWORD(wParam));
        return TRUE;
    });
}

// Presses `button` of the test dialog once it shows.
void Press(int button) {
    if (HWND window = WaitForProcessDialog(kCaption)) ClickDialogButton(window, button);
}

}  // namespace

TEST(Dialog, RunsModallyTwiceAndReadsItsControlsInShiftJis) {
    std::string label, edit, missing = "unchanged";
    Script script;
    script.onCommand = [&](OCDialog& dialog, HWND window, int id) {
        if (id != IDOK && id != IDCANCEL) return;
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
    dialog.SetUp(NULL, ScriptProc, &script);
    for (int button : {IDCANCEL, IDOK}) {
        DialogDriver driver([button] {
            if (HWND window = WaitForProcessDialog(kCaption))
                SetDialogItemText(window, IDC_EDIT, (std::string(5000, 'x') + "ソ表").c_str()), ClickDialogButton(window, button);
        });
        EXPECT_EQ(40 + button, dialog.RunModal());
        EXPECT_EQ(NULL, dialog.GetWindow());
    }
    EXPECT_EQ("\x95\x5C\x8E\xA6\x83\x5C\x83\x74\x83\x67", label);  // 表示ソフト
    EXPECT_EQ(std::string(5000, 'x') + "\x83\x5C\x95\x5C", edit);
    EXPECT_EQ("", missing);
    OCDialog none(9999);
    none.SetUp(NULL, ScriptProc, &script);
    EXPECT_EQ(-1, none.RunModal());
}

TEST(Dialog, ExceptionInsideTheProcedureReachesTheCallerOnce) {
    Script script;
    script.onInit = [](OCDialog&, HWND) { throw OCErrorException(ERROR_ACCESS_DENIED, "init failed"); };
    OCDialog dialog(IDD_TEST_DIALOG);
    dialog.SetUp(NULL, ScriptProc, &script);
    try {
        dialog.RunModal();
        ADD_FAILURE() << "no exception";
    } catch (const OCErrorException& e) {
        EXPECT_EQ((LONG)ERROR_ACCESS_DENIED, e.code);
        EXPECT_STREQ("init failed", e.message.GetBuffer());
    }
    script.onInit = nullptr;
    script.onCommand = [](OCDialog&, HWND window, int id) {
        if (id == IDC_THROW) throw OCErrorException(7, "button failed");
        if (id == IDOK) EndDialog(window, id);
    };
    {
        DialogDriver driver([] { Press(IDC_THROW); });
        EXPECT_THROW(dialog.RunModal(), OCErrorException);
    }
    DialogDriver driver([] { Press(IDOK); });
    EXPECT_EQ(IDOK, dialog.RunModal());  // the kept exception does not come back
}

TEST(Dialog, CentresOverItsOwnerWithXOnAMultipleOf8) {
    const struct { RECT owner; int width, height, left, top; } cases[] = {
        {{0, 0, 1024, 768}, 300, 101, 360, 333},    // 362 + 4, low three bits cleared; y as computed
        {{3, 0, 1027, 768}, 300, 101, 368, 333},    // 365 rounds up
        {{1, 0, 1025, 768}, 300, 101, 360, 333},    // 363 rounds down
        {{0, 500, 1024, 600}, 300, 103, 360, 499},  // 500 + (-3 / 2): toward zero
        {{10, 20, 210, 120}, 300, 300, 0, 0},       // larger than its owner: never below 0
    };
    for (const auto& c : cases) {
        HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, c.owner.left, c.owner.top, c.owner.right - c.owner.left,
                                     c.owner.bottom - c.owner.top, NULL, NULL, GetModuleHandleA(NULL), NULL);
        RECT placed = {};
        Script script;
        script.onInit = [&](OCDialog& dialog, HWND window) {
            SetWindowPos(window, NULL, 0, 0, c.width, c.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            dialog.Centre();
            GetWindowRect(window, &placed);
            EndDialog(window, 0);
        };
        OCDialog dialog(IDD_TEST_DIALOG);
        dialog.SetUp(owner, ScriptProc, &script);
        EXPECT_EQ(0, dialog.RunModal());
        EXPECT_EQ(c.left, placed.left) << c.owner.left;
        EXPECT_EQ(c.top, placed.top) << c.owner.top;
        EXPECT_EQ(c.width, placed.right - placed.left);
        DestroyWindow(owner);
    }
}
