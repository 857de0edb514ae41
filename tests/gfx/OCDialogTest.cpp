// OCDialog on a real template under Wine: the modal run and its end code,
// item texts in Shift-JIS, the placement rule, and exceptions thrown inside
// the dialog procedure reaching the caller of the run.
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include "base/OCException.h"
#include "gfx/OCDialog.h"
#include "support/BoxAnswerer.h"
#include "support/DialogDriver.h"
#include "TestDialogs.h"

namespace {

const char kCaption[] = "テスト画面";
const char kLabelSjis[] = "\x95\x5C\x8E\xA6\x83\x5C\x83\x74\x83\x67";  // 表示ソフト

// What a test dialog does, reached through the dialog's user value.
struct Script {
    std::function<void(OCDialog&, HWND)> onInit;
    std::function<void(OCDialog&, HWND, int)> onCommand;
};

OCDialog* g_testDialog;  // the procedure's own pointer for later messages

INT_PTR CALLBACK TestDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        g_testDialog = OCDialog::FromInitParam(window, lParam);
        return g_testDialog->Guard(window, [&]() -> INT_PTR {
            Script* script = (Script*)g_testDialog->GetUserValue();
            if (script->onInit) script->onInit(*g_testDialog, window);
            return TRUE;
        });
    }
    if (message == WM_COMMAND && g_testDialog) {
        return g_testDialog->Guard(window, [&]() -> INT_PTR {
            Script* script = (Script*)g_testDialog->GetUserValue();
            int id = LOWORD(wParam);
            if (script->onCommand) script->onCommand(*g_testDialog, window, id);
            else if (id == IDOK || id == IDCANCEL) EndDialog(window, id);
            return TRUE;
        });
    }
    return FALSE;
}

// A hidden top-level window that serves as a dialog's owner.
class OwnerWindow {
public:
    OwnerWindow(int left, int top, int width, int height)
        : m_window(CreateWindowExA(0, "STATIC", "", WS_POPUP, left, top, width, height,
                                   NULL, NULL, GetModuleHandleA(NULL), NULL)) {}
    ~OwnerWindow() { DestroyWindow(m_window); }
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    HWND Get() const { return m_window; }

private:
    HWND m_window;
};

// Runs the test dialog over `owner`, sized width x height, centres it and
// returns where it went.
RECT CentredRect(HWND owner, int width, int height) {
    RECT placed = {};
    Script script;
    script.onInit = [&](OCDialog& dialog, HWND window) {
        SetWindowPos(window, NULL, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        dialog.Centre();
        GetWindowRect(window, &placed);
        EndDialog(window, 0);
    };
    OCDialog dialog(IDD_TEST_DIALOG);
    dialog.SetUp(owner, TestDialogProc, &script);
    EXPECT_EQ(0, dialog.RunModal());
    return placed;
}

}  // namespace

TEST(DialogRun, ReturnsEndCodeAndReadsShiftJisItemTexts) {
    std::string label, edit, longText, missing = "unchanged";
    Script script;
    script.onCommand = [&](OCDialog& dialog, HWND window, int id) {
        if (id != IDOK) return;
        OCString text;
        dialog.GetItemText(IDC_LABEL, text);
        label = text.GetBuffer();
        dialog.GetItemText(IDC_EDIT, text);
        edit = text.GetBuffer();
        dialog.GetItemText(9999, text);
        missing = text.GetBuffer() ? text.GetBuffer() : "";
        EndDialog(window, 42);
    };
    std::string seenByDriver;
    DialogDriver driver([&] {
        HWND dialog = WaitForProcessDialog(kCaption);
        if (!dialog) return;
        seenByDriver = DialogItemText(dialog, IDC_LABEL);
        SetDialogItemText(dialog, IDC_EDIT, std::string(5000, 'x').append("ソ表").c_str());
        ClickDialogButton(dialog, IDOK);
    });
    OCDialog dialog(IDD_TEST_DIALOG);
    dialog.SetUp(NULL, TestDialogProc, &script);
    EXPECT_EQ(42, dialog.RunModal());
    EXPECT_EQ(kLabelSjis, seenByDriver);
    EXPECT_EQ(kLabelSjis, label);
    EXPECT_EQ(std::string(5000, 'x') + "\x83\x5C\x95\x5C", edit);
    EXPECT_EQ("", missing);
}

TEST(DialogRun, SameObjectRunsTwiceWithAFreshWindow) {
    HWND seen[2] = {};
    int runs = 0;
    Script script;
    script.onInit = [&](OCDialog& dialog, HWND window) {
        EXPECT_EQ(window, dialog.GetWindow());
        seen[runs++] = window;
    };
    OCDialog dialog(IDD_TEST_DIALOG);
    dialog.SetUp(NULL, TestDialogProc, &script);
    for (int button : {IDCANCEL, IDOK}) {
        DialogDriver driver([button] {
            if (HWND window = WaitForProcessDialog(kCaption)) ClickDialogButton(window, button);
        });
        EXPECT_EQ(button, dialog.RunModal());
        EXPECT_EQ(NULL, dialog.GetWindow());   // no stale handle after the run
    }
    EXPECT_EQ(2, runs);
    EXPECT_FALSE(IsWindow(seen[0]));
    EXPECT_FALSE(IsWindow(seen[1]));
}

TEST(DialogRun, MissingTemplateGivesMinusOneAndShowsNothing) {
    Script script;
    OCDialog dialog(9999);
    dialog.SetUp(NULL, TestDialogProc, &script);
    EXPECT_EQ(-1, dialog.RunModal());
    EXPECT_EQ(NULL, FindProcessDialog(kCaption));
}

TEST(DialogRun, ExceptionFromInitReachesTheCallerAfterTheDialogIsGone) {
    HWND window = NULL;
    Script script;
    script.onInit = [&](OCDialog&, HWND w) {
        window = w;
        throw OCErrorException(ERROR_ACCESS_DENIED, "init failed");
    };
    OCDialog dialog(IDD_TEST_DIALOG);
    dialog.SetUp(NULL, TestDialogProc, &script);
    try {
        dialog.RunModal();
        FAIL() << "no exception";
    } catch (const OCErrorException& e) {
        EXPECT_EQ((LONG)ERROR_ACCESS_DENIED, e.code);
        EXPECT_STREQ("init failed", e.message.GetBuffer());
    }
    EXPECT_FALSE(IsWindow(window));
}

TEST(DialogRun, ExceptionFromAButtonHandlerEndsTheDialogAndIsRethrownOnce) {
    Script script;
    script.onCommand = [](OCDialog&, HWND window, int id) {
        if (id == IDC_THROW) throw OCErrorException(7, "button failed");
        if (id == IDOK) EndDialog(window, id);
    };
    OCDialog dialog(IDD_TEST_DIALOG);
    dialog.SetUp(NULL, TestDialogProc, &script);
    {
        DialogDriver driver([] {
            if (HWND window = WaitForProcessDialog(kCaption)) ClickDialogButton(window, IDC_THROW);
        });
        EXPECT_THROW(dialog.RunModal(), OCErrorException);
    }
    // The kept exception does not come back on the next run.
    DialogDriver driver([] {
        if (HWND window = WaitForProcessDialog(kCaption)) ClickDialogButton(window, IDOK);
    });
    EXPECT_EQ(IDOK, dialog.RunModal());
}

TEST(DialogCentre, SnapsXToTheNearestMultipleOf8AndLeavesYAsComputed) {
    OwnerWindow atZero(0, 0, 1024, 768);
    RECT r = CentredRect(atZero.Get(), 300, 101);
    EXPECT_EQ(360, r.left);        // 362 + 4, low three bits cleared
    EXPECT_EQ(333, r.top);         // (768 - 101) / 2, not aligned
    EXPECT_EQ(300, r.right - r.left);
    EXPECT_EQ(101, r.bottom - r.top);

    OwnerWindow atThree(3, 0, 1024, 768);
    EXPECT_EQ(368, CentredRect(atThree.Get(), 300, 101).left);   // 365 rounds up
    OwnerWindow atOne(1, 0, 1024, 768);
    EXPECT_EQ(360, CentredRect(atOne.Get(), 300, 101).left);     // 363 rounds down
}

TEST(DialogCentre, DividesTowardZero) {
    OwnerWindow owner(0, 500, 1024, 100);
    EXPECT_EQ(499, CentredRect(owner.Get(), 300, 103).top);      // 500 + (-3 / 2)
}

TEST(DialogCentre, DialogLargerThanItsOwnerStopsAtZero) {
    OwnerWindow owner(10, 20, 200, 100);
    RECT r = CentredRect(owner.Get(), 300, 300);
    EXPECT_EQ(0, r.left);
    EXPECT_EQ(0, r.top);
    EXPECT_EQ(300, r.right - r.left);
}

TEST(DialogCentre, WithoutOwnerCentresOnTheDesktop) {
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);
    ASSERT_EQ(1280, desktop.right - desktop.left) << "the test display is 1280x1024";
    ASSERT_EQ(1024, desktop.bottom - desktop.top);
    RECT r = CentredRect(NULL, 300, 101);
    EXPECT_EQ(488, r.left);        // 490 + 4, low three bits cleared
    EXPECT_EQ(461, r.top);
}
