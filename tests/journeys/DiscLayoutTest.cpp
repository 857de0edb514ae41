// Discs laid out otherwise than the sample's: the settings and the menu's
// pictures packed into install.pak, and a disc without install.ini.
#include "InstalledState.h"
#include "Journey.h"
#include "resources/resource.h"
#include "support/TempDir.h"

namespace {

const char* const kMenuFiles[] = {
    "install.ini",        "install_back.JPG",    "install_btn01.JPG",   "install_btn02.JPG",
    "start_btn01.JPG",    "start_btn02.JPG",     "uninstall_btn01.JPG", "uninstall_btn02.JPG",
};

// Runs pak.exe (built beside the test) with `arguments`; its exit code, -1 when it did not start.
int RunPak(const std::string& arguments) {
    std::string command = "\"" + ProgramFolder() + "\\pak.exe\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process)) return -1;
    WaitForSingleObject(process.hProcess, 30000);
    DWORD code = (DWORD)-1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return (int)code;
}

}  // namespace

TEST_F(JourneyTest, SettingsAndPicturesServedFromInstallPakGiveTheMenuAndAnInstall) {
    TempDir scratch;
    const std::string disc = scratch / "disc1", packed = scratch / "packed";
    ASSERT_TRUE(CopyTree(SampleDisc(1), disc));
    ASSERT_TRUE(CreateDirectoryA(packed.c_str(), NULL));
    for (const char* name : kMenuFiles)
        ASSERT_TRUE(MoveFileA((disc + "\\" + name).c_str(), (packed + "\\" + name).c_str())) << name;
    ASSERT_EQ(0, RunPak("create \"" + disc + "\\install.pak\" \"" + packed + "\""));

    Insert(disc);
    SetupRun run;
    HWND menu = StartSetup(run);
    ASSERT_TRUE(menu);
    // The window is the background picture's size, the button its picture's.
    RECT client, button;
    GetClientRect(menu, &client);
    EXPECT_EQ(480, client.right);
    EXPECT_EQ(320, client.bottom);
    GetClientRect(GetDlgItem(menu, IDC_MENU_INSTALL), &button);
    EXPECT_EQ(170, button.right);
    EXPECT_EQ(26, button.bottom);
    EXPECT_TRUE(Visible(menu, IDC_MENU_INSTALL));

    InstallFromDisc(run, menu, kMinimalType);
    ExpectInstalled(InstallFolderIn(ProgramFilesFolder()), kMinimalType);
    PostMessageA(menu, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(0u, run.Wait());
}

// Each read of a missing install.ini asks; Ignore goes on. Start-up reads the
// product's name once, the installer record each of its 43 keys: 7 of
// [install] and 4 of each of the nine type sections.
TEST_F(JourneyTest, WithoutInstallIniEveryReadAsksAndTheMenuShowsTheDefaultTitle) {
    TempDir scratch;
    const std::string disc = scratch / "disc1";
    ASSERT_TRUE(CopyTree(SampleDisc(1), disc));
    ASSERT_TRUE(DeleteFileA((disc + "\\install.ini").c_str()));
    const char kDefaultTitle[] = " インストーラー";

    Insert(disc);
    SetupRun run;
    ASSERT_TRUE(run.Start(DriveRoot() + "setup.exe", DriveRoot()));
    int asked = 0;
    HWND menu = NULL;
    for (int waited = 0; !menu && asked < 100 && waited < 60000 && run.Running(); waited += 25) {
        menu = run.WaitForDialog(kDefaultTitle, false, 0);
        HWND box = run.WaitForDialog("読み込みエラー", true, 0);
        if (box) {
            EXPECT_EQ("ファイル install.ini が開けません。", BoxText(box));
            Press(box, IDIGNORE);
            asked++;
        }
        Sleep(25);
    }
    ASSERT_TRUE(menu) << "no menu after " << asked << " prompts\n" << run.Describe();
    EXPECT_EQ(44, asked);
    EXPECT_TRUE(Visible(menu, IDC_MENU_INSTALL));
    EXPECT_FALSE(Visible(menu, IDC_MENU_GAME));
    EXPECT_FALSE(Visible(menu, IDC_MENU_UNINSTALL));
    PostMessageA(menu, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(0u, run.Wait());
}
