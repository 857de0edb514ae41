// An install over an earlier one, and an uninstall steered by the installed
// game.ini.
#include <shlwapi.h>
#include "InstalledState.h"
#include "Journey.h"
#include "resources/resource.h"

namespace {

// An empty key below HKEY_CURRENT_USER, as a game keeps its per-user settings in.
bool CreateUserKey(const std::string& path) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

}  // namespace

// The game key has gone (a registry cleaner, say), so the menu offers INSTALL
// again while the uninstall entry still names the earlier install: that one,
// saved games and all, is removed without a word before the folder dialog.
TEST_F(JourneyTest, InstallOverAnEarlierInstallRemovesTheEarlierOneSilentlyFirst) {
    const std::string earlier = InstallFolderIn(ProgramFilesFolder());
    ASSERT_NO_FATAL_FAILURE(InstallSample(kMinimalType));
    ASSERT_TRUE(CreateDirectoryA((earlier + "\\save").c_str(), NULL));
    const std::string saved = earlier + "\\save\\slot1.dat";
    HANDLE file = CreateFileA(saved.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    ASSERT_EQ(ERROR_SUCCESS, SHDeleteKeyA(HKEY_LOCAL_MACHINE, kGameKey));

    SetupRun run;
    HWND menu = StartSetup(run);
    ASSERT_TRUE(menu);
    ASSERT_TRUE(Visible(menu, IDC_MENU_INSTALL));
    PressButton(menu, IDC_MENU_INSTALL);
    HWND folderDialog = Step(run, IDC_FOLDER_EDIT);
    ASSERT_TRUE(folderDialog);
    EXPECT_FALSE(FileExistsAt(saved));
    EXPECT_FALSE(FileExistsAt(earlier));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(FileExistsAt(StartMenuFolder()));
    EXPECT_FALSE(run.WaitForBox(0)) << "the earlier install went with a message";
    Press(folderDialog, IDCANCEL);
    EXPECT_EQ(kTextStopped, Answer(run, kBoxConfirm, IDOK));

    // The new install goes elsewhere and is whole.
    WaitForMenuReady(menu);
    InstallFromDisc(run, menu, kMinimalType, kOtherTarget);
    ExpectInstalled(InstallFolderIn(kOtherTarget), kMinimalType);
    EXPECT_FALSE(FileExistsAt(earlier));
    PostMessageA(menu, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(0u, run.Wait());
}

// game.ini in the install folder names another maker and another Start-menu
// folder (as an updated game may): the uninstall removes that folder and that
// maker's per-user key; the game key for all users goes by install.ini.
TEST_F(JourneyTest, UninstallRemovesTheStartMenuFolderThatGameIniNames) {
    const std::string folder = InstallFolderIn(ProgramFilesFolder());
    ASSERT_NO_FATAL_FAILURE(InstallSample(kMinimalType));
    const std::string ini = std::string("[設定]\r\nName=HOSHIZORA\r\nBrand=") + kOtherBrand +
                            "\r\nUninstName=星空の約束 完全版\r\n";
    FILE* out = fopen((folder + "\\game.ini").c_str(), "wb");
    ASSERT_TRUE(out);
    fwrite(ini.data(), 1, ini.size(), out);
    fclose(out);
    const std::string brandMenu = ProgramsFolder() + "\\" + kOtherBrand;
    const std::string namedMenu = brandMenu + "\\星空の約束 完全版";
    ASSERT_TRUE(CreateDirectoryA(brandMenu.c_str(), NULL));
    ASSERT_TRUE(CopyTree(StartMenuFolder(), namedMenu));
    ASSERT_TRUE(CreateUserKey(std::string("SOFTWARE\\") + kOtherBrand + "\\HOSHIZORA"));
    ASSERT_TRUE(CreateUserKey("SOFTWARE\\SAMPLESOFT\\HOSHIZORA"));

    SetupRun run;
    HWND menu = StartSetup(run);
    ASSERT_TRUE(menu);
    PressButton(menu, IDC_MENU_UNINSTALL);
    EXPECT_EQ("アンインストールを開始します。\nよろしいですか？", Answer(run, "uninstall", IDYES));
    EXPECT_EQ("Uninstallが完了しました。。", Answer(run, kBoxConfirm, IDOK));
    EXPECT_EQ(0u, run.Wait());

    EXPECT_FALSE(FileExistsAt(namedMenu));
    EXPECT_FALSE(FileExistsAt(brandMenu)) << "the emptied maker folder stayed";
    EXPECT_TRUE(FileExistsAt(StartMenuFolder())) << "a folder game.ini does not name is not the game's";
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::string("SOFTWARE\\") + kOtherBrand + "\\HOSHIZORA"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "SOFTWARE\\SAMPLESOFT\\HOSHIZORA"));
    EXPECT_FALSE(FileExistsAt(folder));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kGameKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}
