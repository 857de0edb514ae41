// RunInstall from start to end under Wine: the dialogs are answered from a
// driver thread, the disc is a folder mapped as CD-ROM drive W:, and the
// registry, Start menu and install folder of the test prefix are checked.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <functional>
#include <string>
#include <vector>
#include "install/InstallConfig.h"
#include "archive/PakBuilder.h"
#include "install/Records.h"
#include "resources/resource.h"
#include "support/BoxAnswerer.h"
#include "support/CdDrive.h"
#include "support/DialogDriver.h"
#include "support/TempDir.h"
#include "WizardDriver.h"

namespace {

const char kTitle[] = "流れ表示 インストーラー (Ver.2.00)";
const char kStopped[] = "インストールを中断します。";
const char kNoSpace[] = "空き容量が足りません。";
const char kFinished[] = "インストールが終了しました。";
const char kAskDirectX[] = "DirectXをインストールしますか？";
const char kGameKey[] = "SOFTWARE\\FlowMaker\\FlowGame";
const char kMakerKey[] = "SOFTWARE\\FlowMaker";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\FlowGame";
const char kDrive = 'W';

bool KeyExists(const char* path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::string ReadString(const char* path, const char* name) {
    char data[1024] = "";
    DWORD size = sizeof data - 1;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "(no key)";
    LONG status = RegQueryValueExA(key, name, NULL, NULL, (BYTE*)data, &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? data : "(no value)";
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string StartMenuFolder() {
    char programs[MAX_PATH] = "";
    SHGetSpecialFolderPathA(NULL, programs, CSIDL_PROGRAMS, FALSE);
    return std::string(programs) + "\\FlowMaker\\流れ表示";
}

// The driver's steps through the wizard. Each waits for its dialog, acts,
// and waits until the dialog is gone.
HWND Await(int controlId) {
    HWND dialog = WaitForWizard(kTitle, controlId);
    EXPECT_TRUE(dialog) << "no dialog with control " << controlId;
    return dialog;
}

void Finish(HWND dialog, int button) {
    if (!dialog) return;
    PressButton(dialog, button);
    EXPECT_TRUE(WaitUntilClosed(dialog));
}

void AcceptFolder(const std::string& folder) {
    HWND dialog = Await(IDC_FOLDER_EDIT);
    if (dialog) SetDialogItemText(dialog, IDC_FOLDER_EDIT, folder.c_str());
    Finish(dialog, IDOK);
}

void ChooseType(int radio) {
    HWND dialog = Await(IDC_TYPE_FIRST);
    if (dialog) PressButton(dialog, radio);
    Finish(dialog, IDOK);
}

class InstallFlowTest : public ::testing::Test {
protected:
    void SetUp() override {
        config.windowTitle = kTitle;
        config.name = "FlowGame";
        config.brand = "FlowMaker";
        config.title = "流れ表示";
        config.exec = "play.exe";
        config.installPath = "Game";
        config.dataPath = "DATA";
        AddType("標準", "Disc1:readme.txt", 1);
        AddType("巨大", "Disc1:readme.txt", 10000000);  // 10 TB; wraps to 1.6 GB in 32 bits
        target = dir / "target";
        installFolder = target + "\\FlowMaker\\Game";
        Cleanup();
    }
    void TearDown() override {
        Cleanup();
        UnmapDrive(kDrive);
    }
    void AddType(const char* title, const char* file, int size) {
        TypeEntry type;
        type.title = title;
        type.file = file;
        type.size = size;
        config.types.push_back(type);
    }
    static void Cleanup() {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kGameKey);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kMakerKey);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
        RemoveTree(StartMenuFolder());
    }
    // A disc with DATA\readme.txt and the marker of Disc1 in DATA\disc.pak.
    void InsertDisc() {
        CreateDirectoryA((dir / "disc").c_str(), NULL);
        CreateDirectoryA((dir / "disc\\DATA").c_str(), NULL);
        PakBuilder markers(1);
        markers.Stored("FlowGame_Disc1.INI", "");
        dir.Write("disc\\DATA\\disc.pak", markers.Bytes());
        dir.Write("disc\\DATA\\readme.txt", "hello from the disc");
        ASSERT_TRUE(MapCdDrive(kDrive, dir / "disc"));
    }
    bool NothingWritten() const {
        return !KeyExists(kGameKey) && !KeyExists(kUninstallKey) && !Exists(installFolder) &&
               !Exists(StartMenuFolder());
    }
    int RunInstallWith(std::function<void()> script) {
        DialogDriver driver(script);
        return config.RunInstall();
    }

    TempDir dir;
    InstallConfig config;
    std::string target, installFolder;
};

TEST_F(InstallFlowTest, CancelInAnyDialogStopsWithOneMessageAndWritesNothing) {
    const int cancelledIn[] = {IDC_FOLDER_EDIT, IDC_TYPE_FIRST, IDC_CONFIRM_SUMMARY};
    for (int control : cancelledIn) {
        SCOPED_TRACE(control);
        BoxAnswerer boxes("確認", {IDOK});
        int result = RunInstallWith([&] {
            if (control != IDC_FOLDER_EDIT) AcceptFolder(target);
            if (control == IDC_CONFIRM_SUMMARY) ChooseType(IDC_TYPE_FIRST);
            Finish(Await(control), IDCANCEL);
            for (int i = 0; i < 250 && boxes.Answered() == 0; i++) Sleep(20);
        });
        EXPECT_EQ(0, result);
        EXPECT_EQ(std::vector<std::string>{kStopped}, boxes.Texts());
        EXPECT_TRUE(NothingWritten());
    }
}

TEST_F(InstallFlowTest, NotEnoughSpaceReturnsToFolderThenTypeWithTheFirstSelected) {
    BoxAnswerer boxes("確認", {IDOK, IDOK});
    bool firstSelected = false, secondSelected = true;
    int result = RunInstallWith([&] {
        AcceptFolder(target);
        ChooseType(IDC_TYPE_SECOND);  // the type C: has no room for
        AcceptFolder(target);
        HWND again = Await(IDC_TYPE_FIRST);
        if (!again) return;
        firstSelected = IsChecked(again, IDC_TYPE_FIRST);
        secondSelected = IsChecked(again, IDC_TYPE_SECOND);
        Finish(again, IDCANCEL);
        for (int i = 0; i < 250 && boxes.Answered() < 2; i++) Sleep(20);
    });
    EXPECT_EQ(0, result);
    EXPECT_EQ((std::vector<std::string>{kNoSpace, kStopped}), boxes.Texts());
    EXPECT_TRUE(firstSelected);
    EXPECT_FALSE(secondSelected);
    EXPECT_TRUE(NothingWritten());
}

TEST_F(InstallFlowTest, WithoutAnyTypeTheTypeDialogOffersNothingAndTheInstallStops) {
    config.types.clear();
    BoxAnswerer boxes("確認", {IDOK});
    bool anyOffered = true;
    int result = RunInstallWith([&] {
        AcceptFolder(target);
        HWND types = Await(IDC_TYPE_FIRST);
        if (!types) return;
        anyOffered = IsShown(types, IDC_TYPE_FIRST) || IsShown(types, IDC_TYPE_SECOND) ||
                     IsShown(types, IDC_TYPE_THIRD);
        Finish(types, IDOK);
        for (int i = 0; i < 250 && boxes.Answered() == 0; i++) Sleep(20);
    });
    EXPECT_EQ(0, result);
    EXPECT_FALSE(anyOffered);
    EXPECT_EQ(std::vector<std::string>{kStopped}, boxes.Texts());
    EXPECT_TRUE(NothingWritten());
}

TEST_F(InstallFlowTest, FullInstallFromTheDiscEndsWithTheCompletionMessage) {
    InsertDisc();
    BoxAnswerer directX("install", {IDNO});
    BoxAnswerer boxes("確認", {IDOK});
    std::string summary;
    int result = RunInstallWith([&] {
        AcceptFolder(target + "\\");
        ChooseType(IDC_TYPE_FIRST);
        HWND confirm = Await(IDC_CONFIRM_SUMMARY);
        if (confirm) summary = DialogItemText(confirm, IDC_CONFIRM_SUMMARY);
        Finish(confirm, IDOK);
        for (int i = 0; i < 500 && boxes.Answered() == 0; i++) Sleep(20);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ("インストール先：\r\n" + installFolder + "\r\nインストールタイプ：標準\r\n", summary);
    EXPECT_EQ("hello from the disc", dir.Read("target\\FlowMaker\\Game\\readme.txt"));
    EXPECT_EQ(installFolder + "\\play.exe", ReadString(kGameKey, "execute"));
    EXPECT_EQ("流れ表示", ReadString(kUninstallKey, "DisplayName"));
    EXPECT_TRUE(Exists(StartMenuFolder()));
    EXPECT_EQ(std::vector<std::string>{kAskDirectX}, directX.Texts());
    EXPECT_EQ(std::vector<std::string>{kFinished}, boxes.Texts());
}

TEST_F(InstallFlowTest, ReinstallRemovesThePreviousInstallSilentlyFirst) {
    // A previous install elsewhere, recorded as the installer records it.
    InstallConfig previous;
    previous.name = config.name;
    previous.brand = config.brand;
    previous.title = config.title;
    previous.exec = config.exec;
    const std::string oldFolder = dir / "old";
    CreateDirectoryA(oldFolder.c_str(), NULL);
    dir.Write("old\\save.dat", "old game");
    previous.installFolder = oldFolder.c_str();
    WriteGameKey(previous);
    WriteUninstallEntry(previous);
    // The uninstall reads Name and Brand of install.ini in the current folder.
    dir.Write("install.ini", "[install]\r\nName=FlowGame\r\nBrand=FlowMaker\r\n");
    char saved[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, saved);
    SetCurrentDirectoryA(dir.Path().c_str());

    BoxAnswerer boxes("確認", {IDOK});
    bool goneBeforeFolderDialog = false;
    int result = RunInstallWith([&] {
        HWND folder = Await(IDC_FOLDER_EDIT);
        goneBeforeFolderDialog = !Exists(oldFolder) && !KeyExists(kUninstallKey) && !KeyExists(kGameKey);
        Finish(folder, IDCANCEL);
        for (int i = 0; i < 250 && boxes.Answered() == 0; i++) Sleep(20);
    });
    SetCurrentDirectoryA(saved);
    EXPECT_EQ(0, result);
    EXPECT_TRUE(goneBeforeFolderDialog);
    EXPECT_EQ(std::vector<std::string>{kStopped}, boxes.Texts());  // the removal said nothing
}

}  // namespace
