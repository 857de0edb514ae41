// Uninst.exe run as the uninstall entry names it, over a real installed
// state: the registry records and an install folder with game.ini. Its boxes
// come from its scratch copy, another process, so they are found by caption.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <thread>
#include "support/TempDir.h"

namespace {

const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\UNINSTTEST";
const char kGameKey[] = "SOFTWARE\\TESTMAKER\\UNINSTTEST";
// [設定] Name=UNINSTTEST Brand=TESTMAKER, in Shift-JIS
const char kGameIni[] = "[\x90\xdd\x92\xe8]\r\nName=UNINSTTEST\r\nBrand=TESTMAKER\r\n";

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool KeyExists(const char* path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void SetString(const char* path, const char* name, const std::string& value) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL));
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)value.c_str(), (DWORD)value.size() + 1);
    RegCloseKey(key);
}

std::string ProgramFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.rfind('\\'));
}

// A top-level dialog of any process with this caption; NULL after 15 s.
HWND WaitForBox(const char* caption) {
    for (int i = 0; i < 150; i++) {
        HWND box = FindWindowA("#32770", caption);
        if (box && IsWindowVisible(box)) return box;
        Sleep(100);
    }
    return NULL;
}

std::string BoxText(HWND box) {
    char text[1024] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

void Answer(HWND box, int button) { PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0); }

bool WaitUntilGone(const std::string& path) {
    for (int i = 0; i < 100 && Exists(path); i++) Sleep(100);
    return !Exists(path);
}

class UninstTest : public ::testing::Test {
protected:
    void SetUp() override {
        maker = dir / "TESTMAKER";
        folder = maker + "\\Game";
        CreateDirectoryA(maker.c_str(), NULL);
        CreateDirectoryA(folder.c_str(), NULL);
        ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\Uninst.exe").c_str(), (folder + "\\Uninst.exe").c_str(), FALSE));
        dir.Write("TESTMAKER\\Game\\save.dat", "saved");
        SetString(kGameKey, "execute", folder + "\\Game.exe");
        SetString(kUninstallKey, "DisplayName", "Test Game");
        SetString(kUninstallKey, "UninstallString", "\"" + folder + "\\Uninst.exe\" \"" + folder + "\"");
    }
    void TearDown() override {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kGameKey);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\TESTMAKER");
    }
    // Runs the uninstall entry's command; the exit code of the first process.
    DWORD RunEntry(const std::string& argument) {
        std::string command = "\"" + folder + "\\Uninst.exe\" " + argument;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        if (!CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info)) return 99;
        CloseHandle(info.hThread);
        DWORD code = 98;
        if (WaitForSingleObject(info.hProcess, 15000) == WAIT_OBJECT_0) GetExitCodeProcess(info.hProcess, &code);
        CloseHandle(info.hProcess);
        return code;
    }
    TempDir dir;
    std::string maker, folder;
};

TEST_F(UninstTest, ConfirmedRemovesFolderRecordsAndItsOwnProgram) {
    dir.Write("TESTMAKER\\Game\\game.ini", kGameIni);
    EXPECT_EQ(0u, RunEntry("\"" + folder + "\""));
    HWND question = WaitForBox("uninstall");
    ASSERT_TRUE(question);
    EXPECT_EQ("アンインストールを開始します。\nよろしいですか？", BoxText(question));
    Answer(question, IDYES);
    HWND done = WaitForBox("確認");
    ASSERT_TRUE(done);
    EXPECT_EQ("Uninstallが完了しました。。", BoxText(done));
    Answer(done, IDOK);
    EXPECT_TRUE(WaitUntilGone(folder)) << "Uninst.exe itself must not keep the folder";
    EXPECT_FALSE(Exists(maker)) << "the emptied maker folder goes too";
    EXPECT_FALSE(KeyExists(kUninstallKey));
    EXPECT_FALSE(KeyExists(kGameKey)) << "the game's own key, found through game.ini";
}

TEST_F(UninstTest, RefusedLeavesEverything) {
    dir.Write("TESTMAKER\\Game\\game.ini", kGameIni);
    EXPECT_EQ(0u, RunEntry("\"" + folder + "\""));
    HWND question = WaitForBox("uninstall");
    ASSERT_TRUE(question);
    Answer(question, IDNO);
    for (int i = 0; i < 20 && FindWindowA("#32770", "uninstall"); i++) Sleep(100);
    Sleep(1000);
    EXPECT_EQ(NULL, FindWindowA("#32770", "確認"));
    EXPECT_TRUE(Exists(folder + "\\save.dat"));
    EXPECT_TRUE(Exists(folder + "\\Uninst.exe"));
    EXPECT_TRUE(KeyExists(kUninstallKey));
    EXPECT_TRUE(KeyExists(kGameKey));
}

TEST_F(UninstTest, NoArgumentMeansItsOwnFolder) {
    dir.Write("TESTMAKER\\Game\\game.ini", kGameIni);
    EXPECT_EQ(0u, RunEntry(""));
    HWND question = WaitForBox("uninstall");
    ASSERT_TRUE(question);
    Answer(question, IDYES);
    HWND done = WaitForBox("確認");
    ASSERT_TRUE(done);
    Answer(done, IDOK);
    EXPECT_TRUE(WaitUntilGone(folder));
}

TEST_F(UninstTest, WithoutGameIniSaysSoAndRemovesNothing) {
    std::thread answer([] {
        HWND box = WaitForBox("uninstall");
        if (box) Answer(box, IDOK);
    });
    EXPECT_EQ(1u, RunEntry("\"" + folder + "\""));
    answer.join();
    EXPECT_TRUE(Exists(folder + "\\save.dat"));
    EXPECT_TRUE(KeyExists(kUninstallKey));
    EXPECT_TRUE(KeyExists(kGameKey));
}

}  // namespace
