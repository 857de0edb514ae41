// The program's start and end: the one report of an error and the clean-up
// after it, the exit code when the menu cannot open, and the restart-time
// deletion of the installer's copy on both platform families.
#include "MenuTest.h"
#include <shlwapi.h>
#include <algorithm>

namespace {

const char* const kTempFiles[] = {"install.pak", "DSETUP.dll", "dsetup32.dll"};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
    return text;
}

std::string ShortPath(const std::string& path) {
    char shortPath[MAX_PATH] = "";
    GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    return shortPath;
}

std::string WininitPath() {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\WININIT.INI";
}

const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";

// What the system will delete at the next restart, in lower case: the NT
// family's pending file operations or the 95 family's WININIT.INI.
std::string ScheduledDeletions(bool nt) {
    if (!nt) return Lower(ReadBytes(WininitPath()));
    HKEY key;
    std::string data(65536, '\0');
    DWORD size = (DWORD)data.size();
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
    if (RegQueryValueExA(key, "PendingFileRenameOperations", NULL, NULL, (BYTE*)&data[0], &size) != ERROR_SUCCESS) size = 0;
    RegCloseKey(key);
    return Lower(data.substr(0, size));
}

void ForgetScheduledDeletions() {
    SHDeleteValueA(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations");
    DeleteFileA(WininitPath().c_str());
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR list) {
    ((std::vector<WORD>*)list)->push_back(language);
    return TRUE;
}

// Replaces dialog template `id` of a program file, in every language it has,
// with one whose only control has a window class nobody registered: the
// system cannot create the dialog.
bool BreakDialog(const std::string& exe, int id) {
    const WORD words[] = {LOWORD(WS_POPUP), HIWORD(WS_POPUP), 0, 0, 1, 0, 0, 100, 50, 0, 0, 0,  // 1 item, no menu, class, title
                          0, HIWORD(WS_CHILD | WS_VISIBLE), 0, 0, 0, 0, 20, 10, 1000, 'N', 'o', 'n', 'e', 0, 0, 0};
    std::vector<WORD> languages;
    HMODULE module = LoadLibraryExA(exe.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return false;
    EnumResourceLanguagesA(module, RT_DIALOG, MAKEINTRESOURCEA(id), CollectLanguage, (LONG_PTR)&languages);
    FreeLibrary(module);
    HANDLE update = BeginUpdateResourceA(exe.c_str(), FALSE);
    for (WORD language : languages)
        UpdateResourceA(update, RT_DIALOG, MAKEINTRESOURCEA(id), language, (void*)words, sizeof words);
    return update && !languages.empty() && EndUpdateResourceA(update, FALSE);
}

}  // namespace

using StartupTest = MenuTest;

// An error ends the menu with one report in the system's caption, whether it
// comes while the menu opens, while it draws a button or when install.ini is
// missing and the prompt is answered Abort; the temporary folder is cleaned
// up all the same (a read-only file too) and setup.exe ends with 0.
TEST_F(StartupTest, AnErrorIsReportedOnceAndTheCleanUpStillRuns) {
    const char* const cases[] = {"broken background", "broken pressed picture", "no install.ini"};
    for (int c = 0; c < 3; c++) {
        SCOPED_TRACE(cases[c]);
        WriteMenu();
        for (const char* name : kTempFiles) ASSERT_TRUE(WriteBytes(TempFolder() + name, "x"));
        ASSERT_TRUE(WriteBytes(TempFolder() + "keep.dll", "x"));
        SetFileAttributesA((TempFolder() + "install.pak").c_str(), FILE_ATTRIBUTE_READONLY);
        run.reset(new ProgramRun);
        if (c == 0) WriteBrokenPng(kBackground.name);
        if (c == 1) Record(true, true), WriteBrokenPng(kButtons[1][1].name);
        if (c == 2) DeleteFileA((work / "install.ini").c_str());
        ASSERT_TRUE(run->Start(ProgramFolder() + "\\setup.exe", work.Path()));
        if (c == 1) {
            HWND menu = run->WaitForWindow(kMenuTitle);
            ASSERT_TRUE(menu);
            SendMessageTimeoutA(GetDlgItem(menu, IDC_MENU_GAME), BM_SETSTATE, TRUE, 0, SMTO_NORMAL, 200, NULL);
        }
        if (c == 2) {
            HWND prompt = run->WaitForBox("読み込みエラー");
            ASSERT_TRUE(prompt);
            ClickDialogButton(prompt, IDABORT);
            WaitUntilGone(prompt);
        }
        HWND box = run->WaitForBox("エラー");
        ASSERT_TRUE(box) << run->Describe();
        EXPECT_EQ(0u, BoxText(box).find("エラーが発生しました。\nCode 0x")) << BoxText(box);
        EXPECT_TRUE(c != 0 || BoxText(box).find(":ＣＧファイルフォーマット : Read Error") != std::string::npos);
        ClickDialogButton(box, IDOK);
        WaitUntilGone(box);
        EXPECT_FALSE(run->WaitForBox(NULL, 1000)) << "a second report";
        EXPECT_EQ(0u, run->Wait());
        for (const char* name : kTempFiles) EXPECT_FALSE(Exists(TempFolder() + name)) << name;
        EXPECT_TRUE(DeleteFileA((TempFolder() + "keep.dll").c_str()));
        Record(false, false);
    }
}

TEST_F(StartupTest, MenuThatCannotOpenEndsWithMinusOne) {
    const std::string copy = work / "broken.exe";
    ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\setup.exe").c_str(), copy.c_str(), FALSE));
    ASSERT_TRUE(BreakDialog(copy, IDD_INSTALL_MENU));
    run.reset(new ProgramRun);
    ASSERT_TRUE(run->Start(copy, work.Path()));
    EXPECT_EQ((DWORD)-1, run->Wait()) << run->Describe();
}

// The NT family deletes the temporary folder's setup.exe at the next restart,
// wherever the running program lies; the 95 family the running program's own
// file, by its short path, added to WININIT.INI's [rename] beside what is there.
TEST_F(StartupTest, TheInstallersCopyIsDeletedAtTheNextRestart) {
    const std::string copy = TempFolder() + "setup.exe", bin = ProgramFolder() + "\\setup.exe";
    ASSERT_TRUE(CopyFileA(bin.c_str(), copy.c_str(), FALSE));
    for (bool nt : {true, false}) {
        SCOPED_TRACE(nt ? "NT family" : "95 family");
        ForgetScheduledDeletions();
        std::unique_ptr<TestKey> win98;  // Wine reports the 95 family to setup.exe while it lives
        if (!nt) {
            win98.reset(new TestKey(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\setup.exe"));
            win98->SetString("Version", "win98");
            ASSERT_TRUE(WriteBytes(WininitPath(), "[rename]\r\nnul=C:\\OLD.EXE\r\n"));
        }
        for (const std::string& exe : {copy, bin}) {
            HWND menu = Start(exe);
            ASSERT_TRUE(menu);
            PostMessageA(menu, WM_COMMAND, IDCANCEL, 0);
            EXPECT_EQ(0u, run->Wait());
            const std::string scheduled = ScheduledDeletions(nt);
            EXPECT_NE(std::string::npos, scheduled.find(Lower(nt ? copy : "nul=" + ShortPath(exe)))) << scheduled;
        }
        EXPECT_EQ(std::string::npos, ScheduledDeletions(!nt).find("setup")) << "the other family's way";
        if (!nt) {
            const std::string wininit = ScheduledDeletions(false);
            EXPECT_EQ(0u, wininit.find("[rename]"));
            EXPECT_NE(std::string::npos, wininit.find("nul=c:\\old.exe\r\n"));
            EXPECT_NE(std::string::npos, wininit.find(Lower("nul=" + ShortPath(copy))));
        }
    }
    ForgetScheduledDeletions();
    DeleteFileA(copy.c_str());
}
