// The whole life of the sample game: installed from both discs with the disc
// swapped at the prompt, started from the menu, and uninstalled again.
#include "InstalledState.h"
#include "Journey.h"
#include "resources/resource.h"
#include <algorithm>

namespace {

const char kGameWindowClass[] = "SampleGameWindow";

// The text of a control of another process's dialog (GetWindowTextA would
// not ask the control itself).
std::string ControlText(HWND dialog, int id) {
    char text[2048] = "";
    SendMessageTimeoutA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_NORMAL, 5000, NULL);
    return text;
}

// The game's window; closes it and waits for its process to end.
// Returns false when no window appeared.
bool CloseGameWindow() {
    HWND game = NULL;
    for (int i = 0; i < 150 && !(game = FindWindowA(kGameWindowClass, NULL)); i++) Sleep(100);
    if (!game) return false;
    DWORD id = 0;
    GetWindowThreadProcessId(game, &id);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    PostMessageA(game, WM_CLOSE, 0, 0);
    if (process) {
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    }
    return true;
}

}  // namespace

TEST_F(JourneyTest, FullInstallAcrossBothDiscsThenTheGameThenUninstall) {
    const std::string folder = InstallFolderIn(ProgramFilesFolder());
    Insert(SampleDisc(1));
    {
        SetupRun run;
        HWND menu = StartSetup(run);
        ASSERT_TRUE(menu);
        EXPECT_TRUE(Visible(menu, IDC_MENU_INSTALL));
        EXPECT_FALSE(Visible(menu, IDC_MENU_GAME));
        HWND confirm = WalkToConfirmation(run, menu, kFullType);
        ASSERT_TRUE(confirm);
        EXPECT_NE(std::string::npos, ControlText(confirm, IDC_CONFIRM_SUMMARY).find(folder));
        Press(confirm, IDOK);

        HWND prompt = run.WaitForDialog(kBoxInsertDisc, true, 60000);
        ASSERT_TRUE(prompt) << run.Describe();
        EXPECT_EQ("『 星空の約束 』の『 DISC2 』をいれてください。", BoxText(prompt));
        // Disc 1's share is in place; disc 2's is still to come.
        EXPECT_TRUE(FileExistsAt(folder + "\\Voice\\ch02\\v0006.dat"));
        EXPECT_FALSE(FileExistsAt(folder + "\\Bgm"));
        Insert(SampleDisc(2));
        Press(prompt, IDOK);

        EXPECT_EQ("DirectXをインストールしますか？", Answer(run, "install", IDNO, 60000));
        EXPECT_EQ(kTextFinished, Answer(run, kBoxConfirm, IDOK));
        WaitForMenuReady(menu);
        EXPECT_FALSE(Visible(menu, IDC_MENU_INSTALL));
        EXPECT_TRUE(Visible(menu, IDC_MENU_GAME));
        EXPECT_TRUE(Visible(menu, IDC_MENU_UNINSTALL));
        ExpectInstalled(folder, kFullType);

        PressButton(menu, IDC_MENU_GAME);
        EXPECT_EQ(1u, run.Wait());
    }
    ASSERT_TRUE(CloseGameWindow()) << "the game's window did not appear";
    const std::string log = ReadFileBytes(folder + "\\game.log");
    EXPECT_NE(std::string::npos, log.find("Game.exe")) << log;
    EXPECT_NE(std::string::npos, log.find("cwd=" + folder + "\r\n")) << log;
    EXPECT_EQ(1u, (unsigned)std::count(log.begin(), log.end(), '\n')) << "the game should start once: " << log;

    Insert(SampleDisc(1));
    SetupRun run;
    HWND menu = StartSetup(run);
    ASSERT_TRUE(menu);
    EXPECT_FALSE(Visible(menu, IDC_MENU_INSTALL));
    EXPECT_TRUE(Visible(menu, IDC_MENU_UNINSTALL));
    PressButton(menu, IDC_MENU_UNINSTALL);
    EXPECT_EQ("アンインストールを開始します。\nよろしいですか？", Answer(run, "uninstall", IDYES));
    EXPECT_EQ("Uninstallが完了しました。。", Answer(run, kBoxConfirm, IDOK));
    EXPECT_EQ(0u, run.Wait());
    ExpectNothingInstalled(folder);
}
