// The install menu as the user meets it: which buttons it shows, how it is
// sized and drawn, and what each command does. setup.exe runs as a child
// process; the test reads its windows and the screen and presses its buttons.
#include "MenuFixture.h"
#include "resources/resource.h"

namespace {

const int kIds[3] = {IDC_MENU_INSTALL, IDC_MENU_GAME, IDC_MENU_UNINSTALL};
const POINT kPositions[3] = {{13, 163}, {27, 192}, {41, 221}};

// The control's rectangle in the menu's client coordinates.
RECT ClientRectOf(HWND menu, HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(NULL, menu, (POINT*)&r, 2);
    return r;
}

POINT ScreenCentre(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void PressEscape(HWND menu) {
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(menu, WM_KEYUP, VK_ESCAPE, 0);
}

bool HasKey(const char* path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

}  // namespace

using MenuTest = MenuFixture;

TEST_F(MenuTest, FreshMachineShowsInstallAloneAndEscapeEndsWithZero) {
    Start();
    ASSERT_TRUE(Menu());
    EXPECT_TRUE(IsWindowVisible(Button(IDC_MENU_INSTALL)));
    EXPECT_FALSE(IsWindowVisible(Button(IDC_MENU_GAME)));
    EXPECT_FALSE(IsWindowVisible(Button(IDC_MENU_UNINSTALL)));
    PressEscape(menu);
    EXPECT_EQ(0u, run.Wait());
}

TEST_F(MenuTest, OneRecordAloneCountsAsNotInstalled) {
    for (int variant = 0; variant < 2; variant++) {
        SCOPED_TRACE(variant == 0 ? "game key only" : "uninstall entry only");
        if (variant == 0) InstallGameKeyOnly(); else InstallUninstallEntryOnly();
        SetupRun own;
        ASSERT_TRUE(own.Start(ProgramFolder() + "\\setup.exe", work.Path()));
        HWND window = own.WaitForDialog(kMenuTitle, false);
        ASSERT_TRUE(window);
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(window, IDC_MENU_INSTALL)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(window, IDC_MENU_GAME)));
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
        EXPECT_EQ(0u, own.Wait());
        gameKey.reset();
        uninstallKey.reset();
    }
}

TEST_F(MenuTest, InstalledShowsGameAndUninstallSizedToTheirPictures) {
    Install();
    Start();
    ASSERT_TRUE(Menu());
    EXPECT_FALSE(IsWindowVisible(Button(IDC_MENU_INSTALL)));
    RECT client;
    GetClientRect(menu, &client);
    EXPECT_EQ(kBackground.width, client.right);
    EXPECT_EQ(kBackground.height, client.bottom);
    for (int i = 0; i < 3; i++) {
        SCOPED_TRACE(kNormal[i].name);
        if (i > 0) {
            EXPECT_TRUE(IsWindowVisible(Button(kIds[i])));
        }
        RECT r = ClientRectOf(menu, Button(kIds[i]));
        EXPECT_EQ(kPositions[i].x, r.left);
        EXPECT_EQ(kPositions[i].y, r.top);
        EXPECT_EQ(kNormal[i].width, r.right - r.left);
        EXPECT_EQ(kNormal[i].height, r.bottom - r.top);
    }
    PressEscape(menu);
    EXPECT_EQ(0u, run.Wait());
}

// The pressed picture shows while a button is held, the normal one again
// once it is released; the pictures are read from the files on every draw.
TEST_F(MenuTest, PressedButtonsShowTheirSecondPicture) {
    Install();
    Start();
    ASSERT_TRUE(Menu());
    RECT client;
    GetClientRect(menu, &client);
    POINT corner = {client.right - 4, 4};
    ClientToScreen(menu, &corner);
    EXPECT_TRUE(WaitForPixel(corner.x, corner.y, kBackground.colour));
    for (int i = 1; i < 3; i++) {
        SCOPED_TRACE(kPressed[i].name);
        HWND button = Button(kIds[i]);
        POINT centre = ScreenCentre(button);
        EXPECT_TRUE(WaitForPixel(centre.x, centre.y, kNormal[i].colour));
        SendMessageA(button, BM_SETSTATE, TRUE, 0);
        EXPECT_TRUE(WaitForPixel(centre.x, centre.y, kPressed[i].colour));
        SendMessageA(button, BM_SETSTATE, FALSE, 0);
        EXPECT_TRUE(WaitForPixel(centre.x, centre.y, kNormal[i].colour));
    }
    PressEscape(menu);
    EXPECT_EQ(0u, run.Wait());
}

TEST_F(MenuTest, InstallButtonShowsItsPressedPicture) {
    // Swapped files between draws: what is drawn is what the file holds now.
    Start();
    ASSERT_TRUE(Menu());
    HWND button = Button(IDC_MENU_INSTALL);
    POINT centre = ScreenCentre(button);
    EXPECT_TRUE(WaitForPixel(centre.x, centre.y, kNormal[0].colour));
    SendMessageA(button, BM_SETSTATE, TRUE, 0);
    EXPECT_TRUE(WaitForPixel(centre.x, centre.y, kPressed[0].colour));
    Picture recoloured = kNormal[0];
    recoloured.colour = RGB(250, 250, 250);
    WritePicture(recoloured);
    SendMessageA(button, BM_SETSTATE, FALSE, 0);
    EXPECT_TRUE(WaitForPixel(centre.x, centre.y, recoloured.colour));
    PressEscape(menu);
    EXPECT_EQ(0u, run.Wait());
}

// While the install sequence runs its dialogs the menu is disabled; a
// stopped install leaves it as it was, enabled again.
TEST_F(MenuTest, InstallDisablesTheMenuWhileItRuns) {
    Start();
    ASSERT_TRUE(Menu());
    PressButton(menu, IDC_MENU_INSTALL);
    HWND folder = run.WaitForDialogWithControl(IDC_FOLDER_EDIT);
    ASSERT_TRUE(folder) << run.Describe();
    EXPECT_FALSE(IsWindowEnabled(menu));
    for (int id : kIds) EXPECT_FALSE(IsWindowEnabled(Button(id)));
    PressButton(folder, IDCANCEL);
    HWND box = run.WaitForBox();
    ASSERT_TRUE(box) << run.Describe();
    EXPECT_EQ("インストールを中断します。", BoxText(box));
    PressButton(box, IDOK);
    for (int i = 0; i < 100 && !IsWindowEnabled(menu); i++) Sleep(25);
    EXPECT_TRUE(IsWindowEnabled(menu));
    for (int id : kIds) EXPECT_TRUE(IsWindowEnabled(Button(id)));
    EXPECT_TRUE(IsWindowVisible(Button(IDC_MENU_INSTALL)));
    EXPECT_FALSE(IsWindowVisible(Button(IDC_MENU_GAME)));
    PressEscape(menu);
    EXPECT_EQ(0u, run.Wait());
}

TEST_F(MenuTest, GameStartsTheGameOnceInItsFolderAfterTheMarkIsGone) {
    Install();
    Start();
    ASSERT_TRUE(Menu());
    PressButton(menu, IDC_MENU_GAME);
    EXPECT_EQ(1u, run.Wait());
    std::vector<std::string> starts;
    for (int i = 0; i < 100 && starts.empty(); i++, Sleep(50)) starts = GameStarts();
    Sleep(1000);  // a second start would have come by now
    starts = GameStarts();
    ASSERT_EQ(1u, starts.size());
    // Wine quotes a program path with spaces in the command line it passes on.
    std::string line = starts[0];
    std::string quoted = "cmd=\"" + gameExe + "\"|";
    if (line.compare(0, quoted.size(), quoted) == 0) line = "cmd=" + gameExe + "|" + line.substr(quoted.size());
    EXPECT_EQ("cmd=" + gameExe + "|cwd=" + gameFolder + "|event=closed", line);
}

TEST_F(MenuTest, GameWithoutTheGameKeyLeavesTheMenuUp) {
    InstallUninstallEntryOnly();
    Start();
    ASSERT_TRUE(Menu());
    PressButton(menu, IDC_MENU_GAME);
    Sleep(700);
    EXPECT_TRUE(run.Running());
    EXPECT_TRUE(IsWindow(menu));
    PressEscape(menu);
    EXPECT_EQ(0u, run.Wait());
    EXPECT_TRUE(GameStarts().empty());
}

TEST_F(MenuTest, UninstallAnsweredNoStillClosesTheMenu) {
    Install();
    Start();
    ASSERT_TRUE(Menu());
    PressButton(menu, IDC_MENU_UNINSTALL);
    HWND box = run.WaitForBox();
    ASSERT_TRUE(box);
    EXPECT_EQ("アンインストールを開始します。\nよろしいですか？", BoxText(box));
    PressButton(box, IDNO);
    EXPECT_EQ(0u, run.Wait());
    EXPECT_TRUE(HasKey("SOFTWARE\\MenuMaker\\MENUTEST"));
    EXPECT_TRUE(HasKey("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MENUTEST"));
    EXPECT_TRUE(GameStarts().empty());
}

// Other programs can tell the installer runs by the event named after the
// product ("Installer" without a Name); it goes with the installer.
TEST_F(MenuTest, RunningMarkIsNamedAfterTheProduct) {
    for (bool withName : {true, false}) {
        const char* name = withName ? kProductName : "Installer";
        SCOPED_TRACE(name);
        WriteConfig(withName);
        SetupRun own;
        ASSERT_TRUE(own.Start(ProgramFolder() + "\\setup.exe", work.Path()));
        HWND window = own.WaitForDialog(kMenuTitle, false);
        ASSERT_TRUE(window);
        HANDLE mark = OpenEventA(SYNCHRONIZE, FALSE, name);
        EXPECT_TRUE(mark != NULL);
        if (mark) {
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(mark, 0));  // created signalled
            CloseHandle(mark);
        }
        PressEscape(window);
        EXPECT_EQ(0u, own.Wait());
        EXPECT_TRUE(OpenEventA(SYNCHRONIZE, FALSE, name) == NULL);
    }
}
