// The install menu and the program's start and end as the user meets them:
// setup.exe runs as a child process in a scratch folder that holds install.ini
// and the menu's pictures (made here); the test reads its windows and the
// screen, presses its buttons and looks at what it leaves behind.
#include "MenuTest.h"

namespace {

const int kIds[3] = {IDC_MENU_INSTALL, IDC_MENU_GAME, IDC_MENU_UNINSTALL};

// Waits until the screen shows `expected` at `at`, each channel within 24.
bool Shows(POINT at, COLORREF expected) {
    for (int waited = 0; waited <= 3000; waited += 50, Sleep(50)) {
        HDC screen = GetDC(NULL);
        COLORREF c = GetPixel(screen, at.x, at.y);
        ReleaseDC(NULL, screen);
        if (c != CLR_INVALID && abs(GetRValue(c) - GetRValue(expected)) <= 24 &&
            abs(GetGValue(c) - GetGValue(expected)) <= 24 && abs(GetBValue(c) - GetBValue(expected)) <= 24)
            return true;
    }
    return false;
}

}  // namespace

// Installed means both records: INSTALL alone otherwise, GAME and UNINSTALL
// then. GAME without the game key does nothing; Escape and the close box end with 0.
TEST_F(MenuTest, ButtonsFollowTheTwoRecords) {
    for (int records = 0; records < 4; records++) {
        SCOPED_TRACE(records);
        Record(records & 1, records & 2);
        HWND menu = Start();
        ASSERT_TRUE(menu);
        EXPECT_EQ(records != 3, IsWindowVisible(GetDlgItem(menu, IDC_MENU_INSTALL)) != FALSE);
        EXPECT_EQ(records == 3, IsWindowVisible(GetDlgItem(menu, IDC_MENU_GAME)) != FALSE);
        EXPECT_EQ(records == 3, IsWindowVisible(GetDlgItem(menu, IDC_MENU_UNINSTALL)) != FALSE);
        PostMessageA(menu, WM_COMMAND, IDC_MENU_GAME, 0);
        EXPECT_EQ(records & 1 ? 1u : ProgramRun::kStillRunning, run->Wait(700));
        if (records & 1) continue;
        records == 0 ? PressEscape(menu) : (void)PostMessageA(menu, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(0u, run->Wait());
    }
}

// The window is the background's size, each button its normal picture's, at
// its place; a held button shows its pressed picture; every draw reads the file anew.
TEST_F(MenuTest, PicturesAreDrawnFromTheirFiles) {
    const POINT places[3] = {{13, 163}, {27, 192}, {41, 221}};
    for (bool installed : {false, true}) {
        Record(installed, installed);
        HWND menu = Start();
        ASSERT_TRUE(menu);
        RECT client;
        GetClientRect(menu, &client);
        EXPECT_EQ(kBackground.width, client.right);
        EXPECT_EQ(kBackground.height, client.bottom);
        POINT corner = {client.right - 4, 4};
        ClientToScreen(menu, &corner);
        EXPECT_TRUE(Shows(corner, kBackground.colour));
        for (int i = 0; i < 3; i++) {
            SCOPED_TRACE(kButtons[i][0].name);
            HWND button = GetDlgItem(menu, kIds[i]);
            RECT r;
            GetWindowRect(button, &r);
            MapWindowPoints(NULL, menu, (POINT*)&r, 2);
            EXPECT_EQ(places[i].x, r.left);
            EXPECT_EQ(places[i].y, r.top);
            EXPECT_EQ(kButtons[i][0].width, r.right - r.left);
            EXPECT_EQ(kButtons[i][0].height, r.bottom - r.top);
            if (!IsWindowVisible(button)) continue;
            POINT centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            ClientToScreen(menu, &centre);
            EXPECT_TRUE(Shows(centre, kButtons[i][0].colour));
            SendMessageA(button, BM_SETSTATE, TRUE, 0);
            EXPECT_TRUE(Shows(centre, kButtons[i][1].colour));
            Picture recoloured = kButtons[i][0];
            recoloured.colour = RGB(250, 250, 250);
            WritePicture(recoloured);
            SendMessageA(button, BM_SETSTATE, FALSE, 0);
            EXPECT_TRUE(Shows(centre, recoloured.colour));
            WritePicture(kButtons[i][0]);
        }
        PressEscape(menu);
        EXPECT_EQ(0u, run->Wait());
    }
}

// While the install sequence runs its dialogs the menu is disabled; a
// stopped install gives it back as it was.
TEST_F(MenuTest, InstallDisablesTheMenuWhileItRuns) {
    HWND menu = Start();
    ASSERT_TRUE(menu);
    ClickDialogButton(menu, IDC_MENU_INSTALL);
    HWND folder = run->WaitForStep(IDC_FOLDER_EDIT);
    ASSERT_TRUE(folder) << run->Describe();
    EXPECT_FALSE(IsWindowEnabled(menu));
    for (int id : kIds) EXPECT_FALSE(IsWindowEnabled(GetDlgItem(menu, id)));
    ClickDialogButton(folder, IDCANCEL);
    HWND box = run->WaitForBox();
    ASSERT_TRUE(box) << run->Describe();
    EXPECT_EQ("インストールを中断します。", BoxText(box));
    ClickDialogButton(box, IDOK);
    for (int i = 0; i < 100 && !IsWindowEnabled(menu); i++) Sleep(25);
    EXPECT_TRUE(IsWindowEnabled(menu));
    for (int id : kIds) EXPECT_TRUE(IsWindowEnabled(GetDlgItem(menu, id)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(menu, IDC_MENU_INSTALL)));
    PressEscape(menu);
    EXPECT_EQ(0u, run->Wait());
}

TEST_F(MenuTest, GameStartsTheGameOnceInItsFolderAfterTheMarkIsGone) {
    Record(true, true);
    HWND menu = Start();
    ASSERT_TRUE(menu);
    ClickDialogButton(menu, IDC_MENU_GAME);
    EXPECT_EQ(1u, run->Wait());
    const std::string log = gameFolder + "\\testgame.log";
    for (int i = 0; i < 100 && !Exists(log); i++) Sleep(50);
    Sleep(1000);  // a second start would have come by now
    EXPECT_EQ("cwd=" + gameFolder + "|mark=gone\n", ReadBytes(log));
}

TEST_F(MenuTest, UninstallAnsweredNoStillClosesTheMenu) {
    Record(true, true);
    HWND menu = Start();
    ASSERT_TRUE(menu);
    ClickDialogButton(menu, IDC_MENU_UNINSTALL);
    HWND box = run->WaitForBox("uninstall");
    ASSERT_TRUE(box);
    ClickDialogButton(box, IDNO);
    EXPECT_EQ(0u, run->Wait());
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kGameKey));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

// Other programs can tell the installer runs by an event named after the
// product ("Installer" without a Name); it goes with the installer.
TEST_F(MenuTest, RunningMarkIsNamedAfterTheProduct) {
    for (const char* name : {"MENUTEST", "Installer"}) {
        SCOPED_TRACE(name);
        WriteConfig(name[0] == 'M' ? "Name=MENUTEST\r\n" : "");
        HWND menu = Start();
        ASSERT_TRUE(menu);
        HANDLE mark = OpenEventA(SYNCHRONIZE, FALSE, name);
        EXPECT_TRUE(mark && WaitForSingleObject(mark, 0) == WAIT_OBJECT_0) << "made signalled";
        if (mark) CloseHandle(mark);
        PressEscape(menu);
        EXPECT_EQ(0u, run->Wait());
        EXPECT_FALSE(OpenEventA(SYNCHRONIZE, FALSE, name));
    }
}
