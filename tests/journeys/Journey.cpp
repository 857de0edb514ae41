#include "Journey.h"
#include <shlobj.h>
#include <shlwapi.h>
#include "resources/resource.h"
#include "support/CdDrive.h"
#include "support/TempDir.h"

const char kMenuTitle[] = "星空の約束 インストーラー (Ver.1.00)";
const char kGameTitle[] = "星空の約束";
const char kGameKey[] = "SOFTWARE\\SAMPLESOFT\\HOSHIZORA";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\HOSHIZORA";
const char kBoxConfirm[] = "確認";
const char kBoxInsertDisc[] = "Discを入れ替えてください";
const char kTextStopped[] = "インストールを中断します。";
const char kTextFinished[] = "インストールが終了しました。";

const char kOtherTarget[] = "C:\\表示ソフト";
const char kOtherBrand[] = "ソフト工房";

namespace {

const char kDrive = 'K';
const char kBrandFolder[] = "SAMPLESOFT";

std::string SpecialFolder(int id) {
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(NULL, path, id, FALSE);
    return path;
}

// Every trace an install of the sample can leave, for a clean start and end.
void ForgetSample() {
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\SAMPLESOFT");
    SHDeleteKeyA(HKEY_CURRENT_USER, "SOFTWARE\\SAMPLESOFT");
    RemoveTree(ProgramFilesFolder() + "\\" + kBrandFolder);
    RemoveTree(ProgramsFolder() + "\\" + kBrandFolder);
    RemoveTree(kOtherTarget);
    SHDeleteKeyA(HKEY_CURRENT_USER, (std::string("SOFTWARE\\") + kOtherBrand).c_str());
    RemoveTree(ProgramsFolder() + "\\" + kOtherBrand);
}

bool WaitUntilGone(HWND window, int timeoutMs = 10000) {
    for (int waited = 0; waited <= timeoutMs; waited += 25) {
        if (!IsWindow(window) || !IsWindowVisible(window)) return true;
        Sleep(25);
    }
    return false;
}

}  // namespace

std::string SampleDisc(int number) {
    std::string path = std::string("Z:") + SAMPLE_DIR + "/disc" + std::to_string(number);
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string ProgramFilesFolder() {
    char path[MAX_PATH] = "";
    DWORD size = sizeof path;
    SHGetValueA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", NULL,
                path, &size);
    return path;
}

std::string InstallFolderIn(const std::string& target) { return target + "\\SAMPLESOFT\\Hoshizora"; }

std::string ProgramsFolder() { return SpecialFolder(CSIDL_PROGRAMS); }

std::string StartMenuFolder() { return ProgramsFolder() + "\\SAMPLESOFT\\" + kGameTitle; }

bool CopyTree(const std::string& from, const std::string& to) {
    if (!CreateDirectoryA(to.c_str(), NULL) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string source = from + "\\" + name, target = to + "\\" + name;
        ok = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? CopyTree(source, target)
                                                                 : CopyFileA(source.c_str(), target.c_str(), FALSE) != 0;
    } while (ok && FindNextFileA(search, &found));
    FindClose(search);
    return ok;
}

bool KeyExists(HKEY root, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void JourneyTest::SetUp() { ForgetSample(); }

void JourneyTest::TearDown() {
    UnmapDrive(kDrive);
    ForgetSample();
}

std::string JourneyTest::DriveRoot() { return std::string(1, kDrive) + ":\\"; }

void JourneyTest::Insert(const std::string& disc) {
    ASSERT_TRUE(MapCdDrive(kDrive, disc)) << "cannot map " << disc << " as " << kDrive << ":";
}

HWND JourneyTest::StartSetup(SetupRun& run, const char* title) {
    EXPECT_TRUE(run.Start(DriveRoot() + "setup.exe", DriveRoot())) << "setup.exe did not start from the disc";
    HWND menu = run.WaitForDialog(title, false, 20000);
    EXPECT_TRUE(menu) << "no menu \"" << title << "\"\n" << run.Describe();
    return menu;
}

void JourneyTest::WaitForMenuReady(HWND menu) {
    for (int waited = 0; waited < 10000 && !IsWindowEnabled(menu); waited += 25) Sleep(25);
    EXPECT_TRUE(IsWindowEnabled(menu)) << "the menu stayed disabled";
}

HWND JourneyTest::Step(SetupRun& run, int control) {
    HWND dialog = run.WaitForDialogWithControl(control, 30000);
    EXPECT_TRUE(dialog) << "no dialog with control " << control << "\n" << run.Describe();
    return dialog;
}

void JourneyTest::Press(HWND dialog, int button) {
    if (!dialog) return;
    PressButton(dialog, button);
    EXPECT_TRUE(WaitUntilGone(dialog)) << "the dialog stayed after button " << button;
}

std::string JourneyTest::Answer(SetupRun& run, const char* caption, int button, int timeoutMs) {
    HWND box = run.WaitForDialog(caption, true, timeoutMs);
    EXPECT_TRUE(box) << "no box \"" << caption << "\"\n" << run.Describe();
    if (!box) return "(no box)";
    const std::string text = BoxText(box);
    Press(box, button);
    return text;
}

HWND JourneyTest::WalkToConfirmation(SetupRun& run, HWND menu, int type, const std::string& target) {
    PressButton(menu, IDC_MENU_INSTALL);
    HWND folder = Step(run, IDC_FOLDER_EDIT);
    if (!folder) return NULL;
    if (!target.empty())
        SendMessageTimeoutA(GetDlgItem(folder, IDC_FOLDER_EDIT), WM_SETTEXT, 0, (LPARAM)target.c_str(), SMTO_NORMAL,
                            5000, NULL);
    Press(folder, IDOK);
    HWND types = Step(run, IDC_TYPE_FIRST);
    if (!types) return NULL;
    // BM_CLICK goes through the radio button, which checks itself as for a mouse click.
    SendMessageTimeoutA(GetDlgItem(types, IDC_TYPE_FIRST + type), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, NULL);
    Press(types, IDOK);
    return Step(run, IDC_CONFIRM_SUMMARY);
}

void JourneyTest::InstallFromDisc(SetupRun& run, HWND menu, int type, const std::string& target) {
    HWND confirm = WalkToConfirmation(run, menu, type, target);
    ASSERT_TRUE(confirm);
    Press(confirm, IDOK);
    EXPECT_EQ("DirectXをインストールしますか？", Answer(run, "install", IDNO, 60000));
    EXPECT_EQ(kTextFinished, Answer(run, kBoxConfirm, IDOK));
}

void JourneyTest::InstallSample(int type) {
    Insert(SampleDisc(1));
    SetupRun run;
    HWND menu = StartSetup(run);
    ASSERT_TRUE(menu);
    InstallFromDisc(run, menu, type);
    PostMessageA(menu, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(0u, run.Wait());
}
