// The dialog templates as the program sees them: Japanese texts arrive as
// Shift-JIS, controls have their ids, classes, styles and places.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "resources/resource.h"

namespace {

INT_PTR CALLBACK QuietProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

struct Child {
    int id;
    std::string cls, text;
    LONG style;
    RECT units;  // x, y, width, height in dialog units (as left, top, right, bottom)
};

// Converts a child's pixel rectangle back to dialog units of its dialog.
RECT ToUnits(HWND dialog, HWND child) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(NULL, dialog, (POINT*)&r, 2);
    RECT base = {0, 0, 4, 8};
    MapDialogRect(dialog, &base);
    RECT u = {MulDiv(r.left, 4, base.right), MulDiv(r.top, 8, base.bottom),
              MulDiv(r.right - r.left, 4, base.right), MulDiv(r.bottom - r.top, 8, base.bottom)};
    return u;
}

std::vector<Child> Children(HWND dialog) {
    std::vector<Child> out;
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[64], text[512];
        GetClassNameA(c, cls, sizeof cls);
        GetWindowTextA(c, text, sizeof text);
        out.push_back({(int)(short)GetDlgCtrlID(c), cls, text, GetWindowLongA(c, GWL_STYLE), ToUnits(dialog, c)});
    }
    return out;
}

class Template {
public:
    explicit Template(int id) {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&icc);
        window = CreateDialogParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(id), NULL, QuietProc, 0);
    }
    ~Template() { if (window) DestroyWindow(window); }
    HWND window;
};

const Child* ById(const std::vector<Child>& children, int id, const char* text = nullptr) {
    for (const Child& c : children)
        if (c.id == id && (!text || c.text == text)) return &c;
    return nullptr;
}

void ExpectUnits(const Child* c, int x, int y, int w, int h) {
    ASSERT_NE(nullptr, c);
    // one unit of slack for the pixel rounding of the conversion back
    EXPECT_NEAR(x, c->units.left, 1);
    EXPECT_NEAR(y, c->units.top, 1);
    EXPECT_NEAR(w, c->units.right, 1);
    EXPECT_NEAR(h, c->units.bottom, 1);
}

TEST(Templates, FolderDialogTextsAreShiftJis) {
    Template t(IDD_INSTALL_FOLDER);
    ASSERT_NE((HWND)NULL, t.window);
    auto kids = Children(t.window);
    ASSERT_EQ(6u, kids.size());
    const Child* prompt = ById(kids, -1, "インストール先を指定してください。");
    ExpectUnits(prompt, 8, 8, 183, 17);
    ExpectUnits(ById(kids, -1, "インストール先:"), 8, 36, 183, 33);
    ExpectUnits(ById(kids, IDCANCEL, "ｷｬﾝｾﾙ"), 141, 79, 50, 14);
    ExpectUnits(ById(kids, IDC_FOLDER_BROWSE, "参照(&R)..."), 135, 48, 50, 14);
    const Child* edit = ById(kids, IDC_FOLDER_EDIT);
    ExpectUnits(edit, 14, 48, 121, 14);
    EXPECT_EQ("Edit", edit->cls);
    EXPECT_TRUE(edit->style & ES_OEMCONVERT);
    EXPECT_EQ(BS_DEFPUSHBUTTON, ById(kids, IDOK, "OK")->style & 0xF);
    LONG style = GetWindowLongA(t.window, GWL_STYLE);
    EXPECT_TRUE(style & DS_SYSMODAL);
    EXPECT_TRUE(GetWindowLongA(t.window, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
}

TEST(Templates, TypeDialogHasTwoVisibleRadiosAndOneHidden) {
    Template t(IDD_INSTALL_TYPE);
    auto kids = Children(t.window);
    ASSERT_EQ(7u, kids.size());
    EXPECT_NE(nullptr, ById(kids, -1, "インストールタイプを指定してください。"));
    for (int id : {IDC_TYPE_FIRST, IDC_TYPE_SECOND, IDC_TYPE_THIRD})
        EXPECT_EQ(BS_AUTORADIOBUTTON, ById(kids, id)->style & 0xF) << id;
    EXPECT_TRUE(ById(kids, IDC_TYPE_FIRST)->style & WS_VISIBLE);
    EXPECT_TRUE(ById(kids, IDC_TYPE_SECOND)->style & WS_VISIBLE);
    EXPECT_FALSE(ById(kids, IDC_TYPE_THIRD)->style & WS_VISIBLE);
    ExpectUnits(ById(kids, IDC_TYPE_THIRD), 12, 59, 176, 10);
}

TEST(Templates, ConfirmDialogPromptHasTwoLines) {
    Template t(IDD_INSTALL_CONFIRM);
    auto kids = Children(t.window);
    ASSERT_EQ(4u, kids.size());
    EXPECT_NE(nullptr, ById(kids, -1, "以下のインストール内容を確認してください。\nOKを選択するとコピーを開始します。"));
    const Child* summary = ById(kids, IDC_CONFIRM_SUMMARY);
    ASSERT_NE(nullptr, summary);
    EXPECT_TRUE(summary->style & ES_MULTILINE);
    EXPECT_TRUE(summary->style & ES_READONLY);
}

TEST(Templates, ProgressDialogHasSmoothBar) {
    Template t(IDD_INSTALL_PROGRESS);
    auto kids = Children(t.window);
    ASSERT_EQ(3u, kids.size());
    const Child* bar = ById(kids, IDC_PROGRESS_BAR);
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ("msctls_progress32", bar->cls);
    EXPECT_TRUE(bar->style & PBS_SMOOTH);
    EXPECT_NE(nullptr, ById(kids, -1, "インストールしています..."));
    ExpectUnits(ById(kids, IDC_PROGRESS_TEXT, ""), 8, 38, 183, 19);
}

TEST(Templates, MenuButtonsStartHidden) {
    Template t(IDD_INSTALL_MENU);
    auto kids = Children(t.window);
    ASSERT_EQ(3u, kids.size());
    char caption[64];
    GetWindowTextA(t.window, caption, sizeof caption);
    EXPECT_STREQ("InstallMenu", caption);
    for (int id : {IDC_MENU_INSTALL, IDC_MENU_GAME, IDC_MENU_UNINSTALL}) {
        const Child* b = ById(kids, id);
        ASSERT_NE(nullptr, b);
        EXPECT_EQ(BS_OWNERDRAW, b->style & 0xF);
        EXPECT_FALSE(b->style & WS_VISIBLE);
    }
    ExpectUnits(ById(kids, IDC_MENU_INSTALL, "INSTALL"), 13, 47, 85, 28);
}

}  // namespace
