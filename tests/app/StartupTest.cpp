// The entry function: its exit codes, the one report of an error, the
// clean-up of the temporary folder and the reboot-time deletion of the
// installer's own copy, for both platform families.
#include "MenuFixture.h"
#include "resources/resource.h"
#include <algorithm>

namespace {

const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char kPendingRenames[] = "PendingFileRenameOperations";

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    });
    return text;
}

// The reboot-time operations Wine has recorded, as one text ("\0" kept).
std::string PendingRenames() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::string();
    DWORD size = 0;
    std::string data;
    if (RegQueryValueExA(key, kPendingRenames, NULL, NULL, NULL, &size) == ERROR_SUCCESS) {
        data.resize(size);
        RegQueryValueExA(key, kPendingRenames, NULL, NULL, (BYTE*)&data[0], &size);
        data.resize(size);
    }
    RegCloseKey(key);
    return data;
}

void ClearPendingRenames() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, kPendingRenames);
    RegCloseKey(key);
}

std::string WininitPath() {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\WININIT.INI";
}

std::string ShortPath(const std::string& path) {
    char shortPath[MAX_PATH] = "";
    GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    return shortPath;
}

// A copy of setup.exe in the temporary folder: the copy the installer is
// meant to delete at the next restart.
class TempCopy {
public:
    TempCopy() : m_path(TempFolder() + "setup.exe") {
        CopyFileA((ProgramFolder() + "\\setup.exe").c_str(), m_path.c_str(), FALSE);
    }
    ~TempCopy() { DeleteFileA(m_path.c_str()); }
    TempCopy(const TempCopy&) = delete;
    TempCopy& operator=(const TempCopy&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

// Wine reports the Windows 95 family to setup.exe while this object lives.
class Windows98ForSetup {
public:
    Windows98ForSetup() : m_key(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\setup.exe") {
        m_key.SetString("Version", "win98");
    }

private:
    TestKey m_key;
};

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR list) {
    ((std::vector<WORD>*)list)->push_back(language);
    return TRUE;
}

void AppendWords(std::string& bytes, std::initializer_list<WORD> words) {
    for (WORD w : words) bytes.append((const char*)&w, 2);
}

void AppendDword(std::string& bytes, DWORD value) { bytes.append((const char*)&value, 4); }

// A dialog template whose one control has a window class nobody registered:
// the system cannot create the dialog from it.
std::string UncreatableTemplate() {
    std::string t;
    AppendDword(t, WS_POPUP | WS_CAPTION);
    AppendDword(t, 0);
    AppendWords(t, {1, 0, 0, 100, 50, 0, 0, 0});  // 1 item, x y cx cy, no menu, class, title
    while (t.size() % 4) t.push_back(0);
    AppendDword(t, WS_CHILD | WS_VISIBLE);
    AppendDword(t, 0);
    AppendWords(t, {0, 0, 20, 10, 1000});
    for (const char* c = "NoSuchClass"; *c; c++) AppendWords(t, {(WORD)*c});
    AppendWords(t, {0, 0, 0});                     // end of class, empty title, no data
    return t;
}

// Replaces dialog template `id` in every language it has.
bool ReplaceDialog(const std::string& exe, int id, const std::string& bytes) {
    std::vector<WORD> languages;
    HMODULE module = LoadLibraryExA(exe.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return false;
    EnumResourceLanguagesA(module, RT_DIALOG, MAKEINTRESOURCEA(id), CollectLanguage,
                           (LONG_PTR)&languages);
    FreeLibrary(module);
    HANDLE update = BeginUpdateResourceA(exe.c_str(), FALSE);
    if (!update || languages.empty()) return false;
    for (WORD language : languages)
        UpdateResourceA(update, RT_DIALOG, MAKEINTRESOURCEA(id), language, (void*)bytes.data(),
                        (DWORD)bytes.size());
    return EndUpdateResourceA(update, FALSE) != FALSE;
}

}  // namespace

using StartupTest = MenuFixture;

// A PNG error while the menu loads ends the menu; the error is shown once,
// in the system's default caption, and the way out is the usual one.
TEST_F(StartupTest, PictureErrorIsReportedOnceAndCleanUpStillRuns) {
    WriteBrokenPng(kBackground.name);
    std::string leftover = TempFolder() + "dsetup32.dll";
    ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\testgame.exe").c_str(), leftover.c_str(), FALSE));
    Start();
    HWND box = run.WaitForBox();
    ASSERT_TRUE(box);
    std::string text = BoxText(box);
    EXPECT_EQ(0u, text.find("エラーが発生しました。\nCode 0x")) << text;
    EXPECT_NE(std::string::npos, text.find(":ＣＧファイルフォーマット : Read Error")) << text;
    char caption[256] = "";
    GetWindowTextA(box, caption, sizeof caption);
    EXPECT_STREQ("エラー", caption);
    PressButton(box, IDOK);
    for (int i = 0; i < 20 && IsWindow(box); i++) Sleep(50);
    EXPECT_TRUE(run.WaitForBox(1000) == NULL) << "a second report";
    EXPECT_EQ(0u, run.Wait());
    EXPECT_FALSE(FileExistsAt(leftover));
}

// A draw of a pressed button that fails ends the menu the same way: the
// exception never unwinds through the system's dialog code.
TEST_F(StartupTest, PictureErrorWhileDrawingAButtonEndsTheMenuWithOneReport) {
    Install();
    WriteBrokenPng(kPressed[1].name);
    Start();
    ASSERT_TRUE(Menu());
    SendMessageTimeoutA(Button(IDC_MENU_GAME), BM_SETSTATE, TRUE, 0, SMTO_NORMAL, 200, NULL);
    HWND box = run.WaitForBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(0u, BoxText(box).find("エラーが発生しました。\nCode 0x"));
    PressButton(box, IDOK);
    for (int i = 0; i < 20 && IsWindow(box); i++) Sleep(50);
    EXPECT_TRUE(run.WaitForBox(1000) == NULL) << "a second report";
    EXPECT_EQ(0u, run.Wait());
    EXPECT_TRUE(GameStarts().empty());
}

// Abort at the prompt for a missing install.ini ends the installer with one
// report, before any menu.
TEST_F(StartupTest, AbortWithoutInstallIniIsReportedAndEndsWithZero) {
    DeleteFileA((work / "install.ini").c_str());
    Start();
    HWND prompt = run.WaitForDialog("読み込みエラー", true);
    ASSERT_TRUE(prompt);
    PressButton(prompt, IDABORT);
    HWND report = NULL;
    for (int i = 0; i < 200 && !report; i++, Sleep(25)) {
        HWND box = run.WaitForBox(0);
        if (box && box != prompt && BoxText(box).find("エラーが発生しました。") == 0) report = box;
    }
    ASSERT_TRUE(report);
    PressButton(report, IDOK);
    EXPECT_EQ(0u, run.Wait());
}

TEST_F(StartupTest, MenuThatCannotOpenEndsWithMinusOne) {
    std::string copy = work / "broken.exe";
    ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\setup.exe").c_str(), copy.c_str(), FALSE));
    ASSERT_TRUE(ReplaceDialog(copy, IDD_INSTALL_MENU, UncreatableTemplate()));
    Start(copy);
    EXPECT_EQ((DWORD)-1, run.Wait()) << run.Describe();
}

TEST_F(StartupTest, AuxiliaryFilesLeaveTheTemporaryFolder) {
    std::string temp = TempFolder();
    for (const char* name : {"install.pak", "DSETUP.dll", "dsetup32.dll", "keep.dll"}) {
        std::string path = temp + name;
        FILE* f = fopen(path.c_str(), "wb");
        ASSERT_TRUE(f);
        fputs("x", f);
        fclose(f);
    }
    SetFileAttributesA((temp + "install.pak").c_str(), FILE_ATTRIBUTE_READONLY);
    Start();
    ASSERT_TRUE(Menu());
    PostMessageA(menu, WM_COMMAND, IDCLOSE, 0);
    EXPECT_EQ(0u, run.Wait());
    EXPECT_FALSE(FileExistsAt(temp + "install.pak"));
    EXPECT_FALSE(FileExistsAt(temp + "DSETUP.dll"));
    EXPECT_FALSE(FileExistsAt(temp + "dsetup32.dll"));
    EXPECT_TRUE(FileExistsAt(temp + "keep.dll"));
    DeleteFileA((temp + "keep.dll").c_str());
}

// NT family: the temporary folder's setup.exe is handed to the system's
// reboot-time operations, wherever the running program lies.
TEST_F(StartupTest, CopyInTemporaryFolderIsDeletedAtRestartOnNt) {
    ClearPendingRenames();
    TempCopy copy;
    Start(copy.Path());
    ASSERT_TRUE(Menu());
    PostMessageA(menu, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(0u, run.Wait());
    std::string pending = Lower(PendingRenames());
    EXPECT_NE(std::string::npos, pending.find(Lower(copy.Path()))) << pending;
    ClearPendingRenames();

    SetupRun fromBin;
    ASSERT_TRUE(fromBin.Start(ProgramFolder() + "\\setup.exe", work.Path()));
    HWND window = fromBin.WaitForDialog(kMenuTitle, false);
    ASSERT_TRUE(window);
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(0u, fromBin.Wait());
    EXPECT_NE(std::string::npos, Lower(PendingRenames()).find(Lower(copy.Path()))) << PendingRenames();
    ClearPendingRenames();
}

// Windows 95 family: a "nul=" line with the short path in WININIT.INI's
// [rename], below the lines already there.
TEST_F(StartupTest, CopyInTemporaryFolderIsDeletedAtRestartOnWindows95Family) {
    std::string wininit = WininitPath();
    std::string before = "[rename]\r\nnul=C:\\OLD.EXE\r\n";
    FILE* f = fopen(wininit.c_str(), "wb");
    ASSERT_TRUE(f);
    fputs(before.c_str(), f);
    fclose(f);
    ClearPendingRenames();
    {
        Windows98ForSetup win98;
        TempCopy copy;
        Start(copy.Path());
        ASSERT_TRUE(Menu());
        PostMessageA(menu, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(0u, run.Wait());
        std::string text = ReadFileBytes(wininit);
        std::string line = "nul=" + ShortPath(copy.Path());
        EXPECT_EQ(0u, text.find("[rename]")) << text;
        EXPECT_NE(std::string::npos, text.find(line)) << text;
        EXPECT_NE(std::string::npos, text.find("nul=C:\\OLD.EXE")) << text;
        EXPECT_EQ(std::string::npos, Lower(PendingRenames()).find("setup.exe"));

        SetupRun fromBin;  // elsewhere: the running program's own file is named
        ASSERT_TRUE(fromBin.Start(ProgramFolder() + "\\setup.exe", work.Path()));
        HWND window = fromBin.WaitForDialog(kMenuTitle, false);
        ASSERT_TRUE(window);
        PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(0u, fromBin.Wait());
        std::string after = ReadFileBytes(wininit);
        EXPECT_NE(std::string::npos, after.find("nul=" + ShortPath(ProgramFolder() + "\\setup.exe"))) << after;
        EXPECT_NE(std::string::npos, after.find(line)) << after;
    }
    DeleteFileA(wininit.c_str());
}
