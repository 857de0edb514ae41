#include "Journey.h"
#include <shlobj.h>
#include "resources/resource.h"
#include "support/CdDrive.h"
#include "support/Files.h"
#include "support/Registry.h"
#include "support/ShellLink.h"

const char kMenuTitle[] = "星空の約束 インストーラー (Ver.1.00)";
const char kGameTitle[] = "星空の約束";
const char kGameKey[] = "SOFTWARE\\SAMPLESOFT\\HOSHIZORA";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\HOSHIZORA";
const char kBoxConfirm[] = "確認";
const char kTextStopped[] = "インストールを中断します。";
const char kTextAskUninstall[] = "アンインストールを開始します。\nよろしいですか？";
const char kTextUninstalled[] = "Uninstallが完了しました。。";
const char kOtherTarget[] = "C:\\旅の表ソフト";
const char kOtherBrand[] = "ソフト旅工房";

namespace {

const char kDrive = 'K';
const std::string kDriveRoot = "K:\\";

std::string ParentOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }  // ASCII here

// Every trace an install of the sample can leave.
void ForgetSample() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        for (const char* brand : {"SAMPLESOFT", kOtherBrand}) DeleteKeyTree(root, std::string("SOFTWARE\\") + brand);
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    for (const std::string& folder : {ParentOf(DefaultFolder()), ParentOf(StartMenuFolder()), std::string(kOtherTarget),
                                      ProgramsFolder() + "\\" + kOtherBrand})
        RemoveTree(folder);
}

void ExpectSameFile(const std::string& expected, const std::string& actual) {
    const std::string want = ReadBytes(expected);
    ASSERT_FALSE(want.empty()) << expected;
    EXPECT_TRUE(want == ReadBytes(actual)) << actual << " differs from " << expected;
}

void ExpectShortcut(const std::string& link, const std::string& target, const std::string& arguments,
                    const std::string& folder) {
    ShellLinkInfo info = ReadShellLink(link);
    EXPECT_EQ(S_OK, info.loaded) << link;
    EXPECT_EQ(target, info.target);
    EXPECT_EQ(arguments, info.arguments);
    EXPECT_EQ(folder, info.folder);
}

}  // namespace

std::string SampleDisc(int number) {
    std::string path = std::string("Z:") + SAMPLE_DIR + "/disc" + std::to_string(number);
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string InstallFolderIn(const std::string& target) { return target + "\\SAMPLESOFT\\Hoshizora"; }

std::string DefaultFolder() {
    return InstallFolderIn(RegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir"));
}

std::string ProgramsFolder() {
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(NULL, path, CSIDL_PROGRAMS, FALSE);
    return path;
}

std::string StartMenuFolder() { return ProgramsFolder() + "\\SAMPLESOFT\\" + kGameTitle; }

void JourneyTest::SetUp() { ForgetSample(); }

void JourneyTest::TearDown() {
    setup.reset();
    UnmapDrive(kDrive);
    ForgetSample();
}

void JourneyTest::Insert(const std::string& disc) {
    ASSERT_TRUE(MapCdDrive(kDrive, disc)) << "cannot map " << disc << " as " << kDrive << ":";
}

HWND JourneyTest::StartSetup(const char* title) {
    setup.reset(new ProgramRun);
    EXPECT_TRUE(setup->Start(kDriveRoot + "setup.exe", kDriveRoot)) << "setup.exe did not start from the disc";
    HWND menu = setup->WaitForWindow(title, 20000);
    EXPECT_TRUE(menu) << "no menu \"" << title << "\"\n" << setup->Describe();
    return menu;
}

HWND JourneyTest::Step(int control) {
    HWND dialog = setup->WaitForStep(control, 30000);
    EXPECT_TRUE(dialog) << "no dialog with control " << control << "\n" << setup->Describe();
    return dialog;
}

void JourneyTest::Press(HWND dialog, int button) {
    if (!dialog) return;
    ClickDialogButton(dialog, button);
    EXPECT_TRUE(WaitUntilGone(dialog)) << "the dialog stayed after button " << button;
}

std::string JourneyTest::Answer(const char* caption, int button, int timeoutMs) {
    HWND box = WaitForDialog({0, caption, 0, 1}, timeoutMs);
    EXPECT_TRUE(box) << "no box \"" << caption << "\"\n" << (setup ? setup->Describe() : "");
    if (!box) return "(no box)";
    const std::string text = BoxText(box);
    Press(box, button);
    return text;
}

HWND JourneyTest::WalkToConfirmation(HWND menu, int type, const std::string& target) {
    ClickDialogButton(menu, IDC_MENU_INSTALL);
    HWND folder = Step(IDC_FOLDER_EDIT);
    if (!folder) return NULL;
    if (!target.empty()) SetDialogItemText(folder, IDC_FOLDER_EDIT, target.c_str());
    Press(folder, IDOK);
    HWND types = Step(IDC_TYPE_FIRST);
    if (!types) return NULL;
    // BM_CLICK goes through the radio button, which checks itself as for a mouse click.
    SendMessageTimeoutA(GetDlgItem(types, IDC_TYPE_FIRST + type), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, NULL);
    Press(types, IDOK);
    return Step(IDC_CONFIRM_SUMMARY);
}

void JourneyTest::InstallFromDisc(HWND menu, int type, const std::string& target) {
    HWND confirm = WalkToConfirmation(menu, type, target);
    ASSERT_TRUE(confirm);
    Press(confirm, IDOK);
    EXPECT_EQ("DirectXをインストールしますか？", Answer("install", IDNO, 60000));
    EXPECT_EQ("インストールが終了しました。", Answer(kBoxConfirm, IDOK));
    WaitForMenuReady(menu);
}

void JourneyTest::InstallSample(int type) {
    Insert(SampleDisc(1));
    HWND menu = StartSetup();
    ASSERT_TRUE(menu);
    InstallFromDisc(menu, type);
    CloseMenu(menu);
}

void JourneyTest::WaitForMenuReady(HWND menu) {
    for (int waited = 0; waited < 10000 && !IsWindowEnabled(menu); waited += 25) Sleep(25);
    EXPECT_TRUE(IsWindowEnabled(menu)) << "the menu stayed disabled";
}

void JourneyTest::CloseMenu(HWND menu) {
    PostMessageA(menu, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(0u, setup->Wait());
}

void JourneyTest::ExpectInstalled(const std::string& folder, int type) {
    SCOPED_TRACE("installed in " + folder);
    EXPECT_EQ(type == kFullType ? 35 : 7, CountFiles(folder));
    ExpectSameFile(ProgramFolder() + "\\Game.exe", folder + "\\Game.exe");  // unpacked from game.pak
    ExpectSameFile(ProgramFolder() + "\\Uninst.exe", folder + "\\Uninst.exe");
    EXPECT_NE(std::string::npos, ReadBytes(folder + "\\game.ini").find("[設定]\r\nName=HOSHIZORA\r\nBrand=SAMPLESOFT\r\n"));
    const std::string disc1 = SampleDisc(1) + "\\Data\\", disc2 = SampleDisc(2) + "\\Data\\";
    ExpectSameFile(disc1 + "Manual.txt", folder + "\\Manual.txt");
    if (type == kFullType) {
        ExpectSameFile(disc1 + "Voice\\ch02\\v0006.dat", folder + "\\Voice\\ch02\\v0006.dat");
        ExpectSameFile(disc2 + "Bgm\\arrange\\bgm01_piano.dat", folder + "\\Bgm\\arrange\\bgm01_piano.dat");
        ExpectSameFile(disc2 + "Movie\\ending.dat", folder + "\\Movie\\ending.dat");
        std::string list;
        for (int i = 0; i < 8; i++) list += "ev01.jpg\r\nev02.jpg\r\nev03.jpg\r\n";
        EXPECT_EQ(list, ReadBytes(folder + "\\cg\\list.txt"));  // packed in cg.pak
        EXPECT_EQ(64u * 1024, ReadBytes(folder + "\\se\\se04.dat").size());  // stored in sound.pak
    }
    EXPECT_EQ(folder + "\\Game.exe", RegString(HKEY_LOCAL_MACHINE, kGameKey, "execute"));
    EXPECT_EQ((DWORD)type, RegDword(HKEY_LOCAL_MACHINE, kGameKey, "installType"));
    EXPECT_EQ(kGameTitle, RegString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
    const std::string uninst = folder + "\\Uninst.exe", quoted = "\"" + folder + "\"";
    EXPECT_EQ("\"" + uninst + "\" " + quoted, RegString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
    EXPECT_EQ(2, CountFiles(StartMenuFolder()));
    CoInitialize(NULL);
    ExpectShortcut(StartMenuFolder() + "\\" + kGameTitle + ".lnk", folder + "\\Game.exe", "", folder);
    ExpectShortcut(StartMenuFolder() + "\\アンインストール.lnk", uninst, quoted, folder);
    CoUninitialize();
}

void JourneyTest::ExpectNothingInstalled(const std::string& folder) {
    EXPECT_FALSE(Exists(folder)) << folder;
    EXPECT_FALSE(Exists(ParentOf(folder))) << "the emptied maker folder stayed: " << ParentOf(folder);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kGameKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(Exists(ParentOf(StartMenuFolder()))) << "the Start-menu folder or its maker folder stayed";
}
