// Whole flows through the real setup.exe on the sample game's discs, mapped
// as CD-ROM drive K:, as a user goes through them. Every journey starts and
// ends on a machine without the sample game; no other test uses its names.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <algorithm>
#include <cstdlib>
#include <memory>
#include "resources/resource.h"
#include "support/CdDrive.h"
#include "support/Files.h"
#include "support/Process.h"
#include "support/Registry.h"
#include "support/TempDir.h"

namespace {

const char kMenuTitle[] = "星空の約束 インストーラー (Ver.1.00)";
const char kGameTitle[] = "星空の約束";
const char kGameKey[] = "SOFTWARE\\SAMPLESOFT\\HOSHIZORA";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\HOSHIZORA";
const char kBoxConfirm[] = "確認";
const char kTextStopped[] = "インストールを中断します。";
const char kTextAskUninstall[] = "アンインストールを開始します。\nよろしいですか？";
const char kOtherTarget[] = "C:\\旅の表 ソフト";  // trail bytes 0x5C; "C:\\旅の表.exe" must never run
const char kOtherBrand[] = "ソフト旅工房";
const char kTextForeignFolder[] =
    "このフォルダ名にはインストーラーで扱えない文字が含まれています。別のフォルダを指定してください。";
// 这: no form in code page 932, yet a file name under each locale the tests
// use (Wine names host files in the locale's character set, GBK included).
const wchar_t kForeignFolder[] = L"C:\\Zo\x8FD9";
enum SampleType { kFullType = 0, kMinimalType = 2 };  // of the sample's three

// The sample's discs, or the set JOURNEY_DISCS names (those with the release setup.exe); copy before changing.
std::string SampleDisc(int number) {
    const char* discs = getenv("JOURNEY_DISCS");
    return std::string(discs && *discs ? discs : SAMPLE_DIR) + "\\disc" + std::to_string(number);
}

std::string CopyOfDisc1(const TempDir& scratch) {
    EXPECT_TRUE(CopyTree(SampleDisc(1), scratch / "disc1"));
    return scratch / "disc1";
}

std::string InstallFolderIn(const std::string& target) { return target + "\\SAMPLESOFT\\Hoshizora"; }

std::string SpecialFolder(int csidl) {
    wchar_t path[MAX_PATH] = L"";
    SHGetSpecialFolderPathW(NULL, path, csidl, FALSE);
    return Sjis(path);
}

std::string DefaultFolder() { return InstallFolderIn(SpecialFolder(CSIDL_PROGRAM_FILES)); }
std::string ProgramsFolder() { return SpecialFolder(CSIDL_PROGRAMS); }

std::string StartMenuFolder() { return ProgramsFolder() + "\\SAMPLESOFT\\" + kGameTitle; }

std::string ParentOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }  // an ASCII last part

void ForgetSample() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        for (const char* brand : {"SAMPLESOFT", kOtherBrand}) DeleteKeyTree(root, std::string("SOFTWARE\\") + brand);
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    for (const std::string& folder : {ParentOf(DefaultFolder()), ParentOf(StartMenuFolder()), std::string(kOtherTarget),
                                      ProgramsFolder() + "\\" + kOtherBrand})
        RemoveTree(folder);
}

// The type's files from both discs (full: 35, minimal: game.pak's six and the manual),
// both records naming this folder, the Start-menu folder with its two shortcuts.
void ExpectInstalled(const std::string& folder, int type) {
    SCOPED_TRACE("installed in " + folder);
    EXPECT_EQ(type == kFullType ? 35 : 7, CountFiles(folder));
    auto same = [&](const std::string& from, const char* name) {
        EXPECT_TRUE(ReadBytes(from) == ReadBytes(folder + name)) << name;
    };
    same(ProgramFolder() + "\\Game.exe", "\\Game.exe");  // unpacked from game.pak
    same(SampleDisc(1) + "\\Data\\Manual.txt", "\\Manual.txt");
    if (type == kFullType) same(SampleDisc(2) + "\\Data\\Movie\\ending.dat", "\\Movie\\ending.dat");
    EXPECT_EQ(folder + "\\Game.exe", RegString(HKEY_LOCAL_MACHINE, kGameKey, "execute"));
    EXPECT_EQ(std::to_string(type), RegString(HKEY_LOCAL_MACHINE, kGameKey, "installType"));
    EXPECT_NE(std::string::npos, RegString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString").find(folder));
    EXPECT_TRUE(Exists(StartMenuFolder() + "\\" + kGameTitle + ".lnk"));
    EXPECT_TRUE(Exists(StartMenuFolder() + "\\アンインストール.lnk"));
}

void ExpectNothingInstalled(const std::string& folder) {
    EXPECT_FALSE(Exists(ParentOf(folder))) << "the install folder or its maker folder stayed: " << folder;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kGameKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(Exists(ParentOf(StartMenuFolder()))) << "the Start-menu folder or its maker folder stayed";
}

// The installer's running mark: an event named after the product, set.
bool MarkIsSet(const char* name) {
    HANDLE mark = OpenEventW(SYNCHRONIZE, FALSE, Wide(name).c_str());
    const bool set = mark && WaitForSingleObject(mark, 0) == WAIT_OBJECT_0;
    return mark && CloseHandle(mark) && set;
}

// JOURNEY_WINDOWS=win98 runs the installer and the uninstaller as the 95
// family, with the system's ANSI calls.
std::unique_ptr<TestKey> WindowsVersionFor(const char* program) {
    const char* version = getenv("JOURNEY_WINDOWS");
    if (!version) return nullptr;
    std::unique_ptr<TestKey> key(new TestKey(HKEY_CURRENT_USER, std::string("Software\\Wine\\AppDefaults\\") + program));
    key->SetString("Version", version);
    return key;
}

class JourneyTest : public ::testing::Test {
protected:
    void SetUp() override { ForgetSample(); }
    void TearDown() override {
        setup.reset();
        UnmapDrive('K');
        ForgetSample();
    }
    std::unique_ptr<TestKey> setupVersion = WindowsVersionFor("setup.exe"), uninstVersion = WindowsVersionFor("Uninst.exe");
    void Insert(const std::string& disc) { ASSERT_TRUE(MapCdDrive('K', disc)) << "cannot map " << disc << " as K:"; }
    HWND StartSetup() {  // K:\setup.exe in K:\; its menu
        setup.reset(new ProgramRun);
        EXPECT_TRUE(setup->Start("K:\\setup.exe", "K:\\")) << "setup.exe did not start from the disc";
        HWND menu = setup->WaitForWindow(kMenuTitle, 20000);
        EXPECT_TRUE(menu) << "no menu\n" << setup->Describe();
        return menu;
    }
    HWND Step(int control) {  // the wizard dialog with that control
        HWND dialog = setup->WaitForStep(control, 30000);
        EXPECT_TRUE(dialog) << "no dialog with control " << control << "\n" << setup->Describe();
        return dialog;
    }
    void Press(HWND dialog, int button) {  // and waits until the dialog is gone
        ClickDialogButton(dialog, button);
        EXPECT_TRUE(WaitUntilGone(dialog)) << "the dialog stayed after button " << button;
    }
    std::string Answer(const char* caption, int button, int timeoutMs = 30000) {  // the box's text
        HWND box = setup->WaitForBox(caption, timeoutMs);
        EXPECT_TRUE(box) << "no box \"" << caption << "\"\n" << setup->Describe();
        const std::string text = BoxText(box);
        Press(box, button);
        return text;
    }
    // From the folder dialog (`target` typed in unless empty), the type; the confirmation, left open.
    HWND WalkToConfirmation(int type, const std::string& target = "") {
        HWND folder = Step(IDC_FOLDER_EDIT);
        if (folder && !target.empty()) SetDialogItemText(folder, IDC_FOLDER_EDIT, target.c_str());
        Press(folder, IDOK);
        HWND types = Step(IDC_TYPE_FIRST);
        if (types) SendButtonClick(types, IDC_TYPE_FIRST + type);
        Press(types, IDOK);
        return Step(IDC_CONFIRM_SUMMARY);
    }
    void FinishInstall(HWND menu) {  // from the DirectX question on
        EXPECT_EQ("DirectXをインストールしますか？", Answer("install", IDNO, 60000));
        EXPECT_EQ("インストールが終了しました。", Answer(kBoxConfirm, IDOK));
        WaitForMenu(menu);
    }
    void WaitForMenu(HWND menu, int enabled = 4) {  // that many of the menu window and its three buttons enabled
        int n = -1;
        for (int waited = 0; waited < 10000 && n != enabled; waited += 25, Sleep(25)) {
            n = 0;
            for (int id : {0, IDC_MENU_INSTALL, IDC_MENU_GAME, IDC_MENU_UNINSTALL})
                n += IsWindowEnabled(id ? GetDlgItem(menu, id) : menu) != FALSE;
        }
        EXPECT_EQ(enabled, n) << "of the menu window and its three buttons enabled";
    }
    void InstallFromDisc(HWND menu, int type) {  // no disc swap; ends on the menu
        ClickDialogButton(menu, IDC_MENU_INSTALL);
        Press(WalkToConfirmation(type), IDOK);
        FinishInstall(menu);
    }
    void InstallSample(int type) {  // in a run of its own
        Insert(SampleDisc(1));
        HWND menu = StartSetup();
        ASSERT_TRUE(menu);
        InstallFromDisc(menu, type);
        CloseMenu(menu);
    }
    void CloseMenu(HWND menu) {
        PostMessageA(menu, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(0u, setup->Wait());
    }
    static bool Visible(HWND menu, int button) { return IsWindowVisible(GetDlgItem(menu, button)) != FALSE; }

    std::unique_ptr<ProgramRun> setup;
};

}  // namespace

// Into a typed folder whose name has 0x5C trail bytes and a space; GAME starts
// the game there, and not a program planted where the space would end its path.
TEST_F(JourneyTest, FullInstallAcrossBothDiscsThenTheGameThenUninstall) {
    const std::string folder = InstallFolderIn(kOtherTarget);
    Insert(SampleDisc(1));
    HWND menu = StartSetup();
    ASSERT_TRUE(menu);
    EXPECT_TRUE(MarkIsSet("HOSHIZORA")) << "other programs can tell the installer runs";
    ClickDialogButton(menu, IDC_MENU_INSTALL);
    HWND confirm = WalkToConfirmation(kFullType, kOtherTarget);
    ASSERT_TRUE(confirm);
    EXPECT_NE(std::string::npos, DialogItemText(confirm, IDC_CONFIRM_SUMMARY).find(folder));
    Press(confirm, IDOK);
    HWND prompt = setup->WaitForBox("Discを入れ替えてください", 60000);
    ASSERT_TRUE(prompt) << setup->Describe();
    EXPECT_EQ("『 星空の約束 』の『 DISC2 』をいれてください。", BoxText(prompt));
    EXPECT_TRUE(Exists(folder + "\\Voice\\ch02\\v0006.dat")) << "disc 1's share comes first";
    EXPECT_FALSE(Exists(folder + "\\Bgm"));
    Insert(SampleDisc(2));
    Press(prompt, IDOK);
    FinishInstall(menu);
    EXPECT_FALSE(Visible(menu, IDC_MENU_INSTALL));
    EXPECT_TRUE(Visible(menu, IDC_MENU_GAME));
    EXPECT_TRUE(Visible(menu, IDC_MENU_UNINSTALL));
    ExpectInstalled(folder, kFullType);

    const std::string planted = "C:\\旅の表.exe";
    ASSERT_TRUE(CopyFileW(Wide(ProgramFolder() + "\\Game.exe").c_str(), Wide(planted).c_str(), FALSE));
    ClickDialogButton(menu, IDC_MENU_GAME);
    EXPECT_EQ(1u, setup->Wait());
    HWND game = NULL;
    for (int i = 0; i < 150 && !(game = FindWindowA("SampleGameWindow", NULL)); i++) Sleep(100);
    ASSERT_TRUE(game) << "the game's window did not appear";
    DWORD id = 0;
    GetWindowThreadProcessId(game, &id);
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
    PostMessageA(game, WM_CLOSE, 0, 0);
    if (process) WaitForSingleObject(process, 10000), CloseHandle(process);
    const std::string log = ReadBytes(folder + "\\game.log");
    EXPECT_NE(std::string::npos, log.find("cwd=" + folder + "\r\n")) << log;
    EXPECT_EQ(1, std::count(log.begin(), log.end(), '\n')) << "the game starts once: " << log;
    EXPECT_FALSE(Exists("C:\\game.log")) << "the planted program ran";
    DeleteFileW(Wide(planted).c_str()), DeleteFileW(L"C:\\game.log");

    Insert(SampleDisc(1));
    for (int answer : {IDNO, IDYES}) {  // No still closes the menu
        menu = StartSetup();
        ASSERT_TRUE(menu);
        ClickDialogButton(menu, IDC_MENU_UNINSTALL);
        EXPECT_EQ(kTextAskUninstall, Answer("uninstall", answer));
        if (answer == IDYES) { EXPECT_EQ("Uninstallが完了しました。。", Answer(kBoxConfirm, IDOK)); }
        EXPECT_EQ(0u, setup->Wait());
        EXPECT_EQ(answer == IDNO, KeyExists(HKEY_LOCAL_MACHINE, kGameKey));
    }
    EXPECT_FALSE(MarkIsSet("HOSHIZORA")) << "the running mark goes with the installer";
    ExpectNothingInstalled(folder);
}

// One menu session, one stop after the other, the menu disabled meanwhile; each ends in the one
// message, leaves nothing and gives the menu back. Too large (3.8 TiB), the minimal type asks again.
TEST_F(JourneyTest, EveryStopEndsInOneMessageAndLeavesNothing) {
    TempDir scratch;
    const std::string disc = CopyOfDisc1(scratch);
    ASSERT_TRUE(WritePrivateProfileStringW(L"TYPE3", L"size", L"4000000", Wide(disc + "\\install.ini").c_str()));
    Insert(disc);
    HWND menu = StartSetup();
    ASSERT_TRUE(menu);
    const int steps[] = {IDC_FOLDER_EDIT, IDC_TYPE_FIRST, IDC_CONFIRM_SUMMARY};
    const char* const stops[] = {"folder dialog", "type dialog", "confirmation", "disc prompt", "free space"};
    for (int stop = 0; stop < 5; stop++) {
        SCOPED_TRACE(stops[stop]);
        ClickDialogButton(menu, IDC_MENU_INSTALL);
        for (int i = 0; i < 3 && i <= stop; i++) {
            HWND step = Step(steps[i]);
            WaitForMenu(menu, 0);
            if (stop == 4 && i == 1) {
                SendButtonClick(step, IDC_TYPE_FIRST + kMinimalType);
                Press(step, IDOK);
                EXPECT_EQ("空き容量が足りません。", Answer(kBoxConfirm, IDOK));
                Press(Step(IDC_FOLDER_EDIT), IDOK);
                step = Step(IDC_TYPE_FIRST);
                EXPECT_EQ(BST_CHECKED, SendMessageA(GetDlgItem(step, IDC_TYPE_FIRST), BM_GETCHECK, 0, 0));
                Press(step, IDCANCEL);
                break;
            }
            if (stop == 0 && !getenv("JOURNEY_WINDOWS")) {  // a folder 932 cannot hold is refused where it is typed
                SendMessageW(GetDlgItem(step, IDC_FOLDER_EDIT), WM_SETTEXT, 0, (LPARAM)kForeignFolder);
                ClickDialogButton(step, IDOK);
                EXPECT_EQ(kTextForeignFolder, Answer(kBoxConfirm, IDOK));
                EXPECT_TRUE(IsWindowVisible(step)) << "the folder step asks again";
            }
            Press(step, i == stop ? IDCANCEL : IDOK);
        }
        if (stop == 3) Answer("Discを入れ替えてください", IDCANCEL, 60000);
        EXPECT_EQ(kTextStopped, Answer(kBoxConfirm, IDOK));
        WaitForMenu(menu);
        EXPECT_TRUE(Visible(menu, IDC_MENU_INSTALL));
        ExpectNothingInstalled(DefaultFolder());
    }
    CloseMenu(menu);
}

// The game key has gone (a registry cleaner, say), so INSTALL is offered while the uninstall entry
// still names the earlier install: that one, saved games and all, goes silently before the folder dialog.
TEST_F(JourneyTest, InstallOverAnEarlierInstallRemovesTheEarlierOneSilentlyFirst) {
    const std::string folder = DefaultFolder();
    ASSERT_NO_FATAL_FAILURE(InstallSample(kMinimalType));
    ASSERT_TRUE(CreateDirectoryW(Wide(folder + "\\save").c_str(), NULL));
    ASSERT_TRUE(WriteBytes(folder + "\\save\\slot1.dat", "saved"));
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kGameKey);
    HWND menu = StartSetup();
    ASSERT_TRUE(menu);
    ClickDialogButton(menu, IDC_MENU_INSTALL);
    ASSERT_TRUE(Step(IDC_FOLDER_EDIT));
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(Exists(StartMenuFolder()));
    EXPECT_FALSE(setup->WaitForBox(NULL, 0)) << "the earlier install went with a message";
    Press(WalkToConfirmation(kMinimalType), IDOK);
    FinishInstall(menu);
    ExpectInstalled(folder, kMinimalType);
    CloseMenu(menu);
}

// game.ini names another maker and Start-menu folder, as an updated game may: UNINSTALL removes that
// folder and that maker's per-user key; the game key for all users goes by install.ini.
TEST_F(JourneyTest, UninstallRemovesWhatGameIniNames) {
    const std::string folder = DefaultFolder(), brandMenu = ProgramsFolder() + "\\" + kOtherBrand;
    ASSERT_NO_FATAL_FAILURE(InstallSample(kMinimalType));
    ASSERT_TRUE(WriteBytes(folder + "\\game.ini", std::string("[設定]\r\nName=HOSHIZORA\r\nBrand=") + kOtherBrand +
                                                      "\r\nUninstName=星空の約束 完全版\r\n"));
    ASSERT_TRUE(CreateDirectoryW(Wide(brandMenu).c_str(), NULL));
    ASSERT_TRUE(CopyTree(StartMenuFolder(), brandMenu + "\\星空の約束 完全版"));
    if (!getenv("JOURNEY_WINDOWS"))  // a player's file named outside code page 932 goes too, by its short name
        CloseHandle(CreateFileW((Wide(folder) + L"\\Zo\x8FD9.sav").c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL));
    TestKey otherUserKey(HKEY_CURRENT_USER, std::string("SOFTWARE\\") + kOtherBrand + "\\HOSHIZORA");
    TestKey sampleUserKey(HKEY_CURRENT_USER, "SOFTWARE\\SAMPLESOFT\\HOSHIZORA");
    HWND menu = StartSetup();
    ASSERT_TRUE(menu);
    ClickDialogButton(menu, IDC_MENU_UNINSTALL);
    EXPECT_EQ(kTextAskUninstall, Answer("uninstall", IDYES));
    EXPECT_EQ("Uninstallが完了しました。。", Answer(kBoxConfirm, IDOK));
    EXPECT_EQ(0u, setup->Wait());
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(Exists(brandMenu)) << "the named folder and its emptied maker folder go";
    EXPECT_TRUE(Exists(StartMenuFolder())) << "a folder game.ini does not name is not the game's";
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::string("SOFTWARE\\") + kOtherBrand + "\\HOSHIZORA"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "SOFTWARE\\SAMPLESOFT\\HOSHIZORA"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kGameKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
}

// install.ini and the menu's pictures packed into install.pak by pak.exe: the
// menu comes from the archive, sized to its background, and installs.
TEST_F(JourneyTest, SettingsAndPicturesServedFromInstallPak) {
    TempDir scratch;
    const std::string disc = CopyOfDisc1(scratch), packed = scratch / "packed";
    ASSERT_TRUE(CreateDirectoryW(Wide(packed).c_str(), NULL));
    for (const char* name : {"install.ini", "install_back.JPG", "install_btn01.JPG", "install_btn02.JPG",
                             "start_btn01.JPG", "start_btn02.JPG", "uninstall_btn01.JPG", "uninstall_btn02.JPG"})
        ASSERT_TRUE(MoveFileW(Wide(disc + "\\" + name).c_str(), Wide(packed + "\\" + name).c_str())) << name;
    ProgramRun pak;
    ASSERT_TRUE(pak.Start(ProgramFolder() + "\\pak.exe", disc, "create install.pak \"" + packed + "\""));
    ASSERT_EQ(0u, pak.Wait(30000));
    Insert(disc);
    HWND menu = StartSetup();
    ASSERT_TRUE(menu);
    RECT client;
    GetClientRect(menu, &client);
    EXPECT_EQ(std::make_pair(480, 320), std::make_pair((int)client.right, (int)client.bottom)) << "the background's size";
    InstallFromDisc(menu, kMinimalType);
    ExpectInstalled(DefaultFolder(), kMinimalType);
    CloseMenu(menu);
}

// A Start menu whose folder name code page 932 cannot hold: INSTALL says so
// and stops before anything is written. (The 95 family names every folder in
// the system's code page: there is no such folder there.)
TEST_F(JourneyTest, StartMenuOutsideTheCodePageStopsTheInstallBeforeAnything) {
    if (getenv("JOURNEY_WINDOWS")) GTEST_SKIP() << "the 95 family";
    const std::wstring programs = std::wstring(kForeignFolder) + L"\\Programs";
    CreateDirectoryW(kForeignFolder, NULL);
    CreateDirectoryW(programs.c_str(), NULL);
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER,
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", 0, KEY_ALL_ACCESS, &key));
    wchar_t saved[MAX_PATH] = L"";
    DWORD size = sizeof saved, type = REG_EXPAND_SZ;
    const bool hadValue = RegQueryValueExW(key, L"Programs", NULL, &type, (BYTE*)saved, &size) == ERROR_SUCCESS;
    RegSetValueExW(key, L"Programs", 0, REG_EXPAND_SZ, (const BYTE*)programs.c_str(),
                   (DWORD)((programs.size() + 1) * sizeof(wchar_t)));
    Insert(SampleDisc(1));
    HWND menu = StartSetup();
    if (menu) {
        ClickDialogButton(menu, IDC_MENU_INSTALL);
        EXPECT_EQ("スタートメニューのフォルダ名にインストーラーで扱えない文字が含まれているため、インストールできません。",
                  Answer(kBoxConfirm, IDOK));
        WaitForMenu(menu);
        CloseMenu(menu);
    }
    if (hadValue) RegSetValueExW(key, L"Programs", 0, type, (const BYTE*)saved, size);
    else RegDeleteValueW(key, L"Programs");
    RegCloseKey(key);
    EXPECT_TRUE(RemoveDirectoryW(programs.c_str())) << "nothing was put into the Start menu";
    RemoveDirectoryW(kForeignFolder);
    ExpectNothingInstalled(DefaultFolder());
}

// Each read of a missing install.ini asks; Ignore goes on: start-up reads the
// product's name once, the installer record its 43 keys.
TEST_F(JourneyTest, WithoutInstallIniEveryReadAsksAndTheMenuShowsTheDefaultTitle) {
    TempDir scratch;
    const std::string disc = CopyOfDisc1(scratch);
    ASSERT_TRUE(DeleteFileW(Wide(disc + "\\install.ini").c_str()));
    Insert(disc);
    setup.reset(new ProgramRun);
    ASSERT_TRUE(setup->Start("K:\\setup.exe", "K:\\"));
    int asked = 0;
    HWND menu = NULL;
    while (!menu && asked < 100 && setup->Running()) {
        if (HWND box = setup->WaitForBox("読み込みエラー", 0)) {
            EXPECT_EQ("ファイル install.ini が開けません。", BoxText(box));
            Press(box, IDIGNORE);
            asked++;
        }
        menu = setup->WaitForWindow(" インストーラー", 25);
    }
    ASSERT_TRUE(menu) << "no menu after " << asked << " prompts\n" << setup->Describe();
    EXPECT_EQ(44, asked);
    EXPECT_TRUE(MarkIsSet("Installer")) << "the running mark without a product name";
    EXPECT_TRUE(Visible(menu, IDC_MENU_INSTALL));
    CloseMenu(menu);
}
