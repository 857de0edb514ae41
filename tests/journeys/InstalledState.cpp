#include "InstalledState.h"
#include <gtest/gtest.h>
#include <shlobj.h>
#include "support/ShellLink.h"
#include "Journey.h"

namespace {

// Files each type puts into the install folder: six from game.pak, five from
// cg.pak, four from sound.pak, twelve voices, the manual, five pieces of music
// and two movies, as the type's lists choose them.
const int kFileCounts[] = {35, 28, 7};

// game.ini's section as game.pak carries it (Shift-JIS, CR LF).
const char kGameIniSection[] = "[設定]\r\nName=HOSHIZORA\r\nBrand=SAMPLESOFT\r\n";


void ExpectSameFile(const std::string& expected, const std::string& actual) {
    const std::string want = ReadFileBytes(expected);
    ASSERT_FALSE(want.empty()) << expected;
    EXPECT_TRUE(want == ReadFileBytes(actual)) << actual << " differs from " << expected;
}

void ExpectFiles(const std::string& folder, int type) {
    EXPECT_EQ(kFileCounts[type], CountFiles(folder)) << folder;
    // The game's programs came out of game.pak: compare them with the build's own.
    ExpectSameFile(ProgramFolder() + "\\Game.exe", folder + "\\Game.exe");
    ExpectSameFile(ProgramFolder() + "\\Uninst.exe", folder + "\\Uninst.exe");
    EXPECT_NE(std::string::npos, ReadFileBytes(folder + "\\game.ini").find(kGameIniSection));
    const std::string disc1 = SampleDisc(1) + "\\Data\\", disc2 = SampleDisc(2) + "\\Data\\";
    if (type != kStandardType) ExpectSameFile(disc1 + "Manual.txt", folder + "\\Manual.txt");
    if (type == kMinimalType) {
        EXPECT_FALSE(FileExistsAt(folder + "\\cg\\ev01.jpg")) << "cg.pak is not part of the minimal type";
        return;
    }
    ExpectSameFile(disc1 + "Voice\\ch02\\v0006.dat", folder + "\\Voice\\ch02\\v0006.dat");
    ExpectSameFile(disc2 + "Bgm\\arrange\\bgm01_piano.dat", folder + "\\Bgm\\arrange\\bgm01_piano.dat");
    std::string list;
    for (int i = 0; i < 8; i++) list += "ev01.jpg\r\nev02.jpg\r\nev03.jpg\r\n";
    EXPECT_EQ(list, ReadFileBytes(folder + "\\cg\\list.txt"));
    if (type != kFullType) return;
    ExpectSameFile(disc2 + "Movie\\ending.dat", folder + "\\Movie\\ending.dat");
    EXPECT_EQ(64u * 1024, ReadFileBytes(folder + "\\se\\se04.dat").size());
}

void ExpectRecords(const std::string& folder, int type) {
    EXPECT_EQ(folder + "\\Game.exe", RegistryString(HKEY_LOCAL_MACHINE, kGameKey, "execute"));
    EXPECT_EQ((DWORD)type, RegistryDword(HKEY_LOCAL_MACHINE, kGameKey, "installType"));
    EXPECT_EQ(kGameTitle, RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"));
    EXPECT_EQ("\"" + folder + "\\Uninst.exe\" \"" + folder + "\"",
              RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
}

void ExpectShortcuts(const std::string& folder) {
    const std::string menu = StartMenuFolder();
    ASSERT_TRUE(FileExistsAt(menu)) << menu;
    EXPECT_EQ(2, CountFiles(menu));
    CoInitialize(NULL);
    ShellLinkInfo game = ReadShellLink(menu + "\\" + kGameTitle + ".lnk");
    EXPECT_EQ(S_OK, game.loaded);
    EXPECT_EQ(folder + "\\Game.exe", game.target);
    EXPECT_EQ("", game.arguments);
    EXPECT_EQ(folder, game.folder);
    ShellLinkInfo uninstall = ReadShellLink(menu + "\\アンインストール.lnk");
    EXPECT_EQ(S_OK, uninstall.loaded);
    EXPECT_EQ(folder + "\\Uninst.exe", uninstall.target);
    EXPECT_EQ("\"" + folder + "\"", uninstall.arguments);
    EXPECT_EQ(folder, uninstall.folder);
    CoUninitialize();
}

// The sample's folder names have no 0x5C trail byte, so a byte search is safe here.
std::string ParentOf(const std::string& path) { return path.substr(0, path.rfind('\\')); }

}  // namespace

int CountFiles(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        count += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? CountFiles(folder + "\\" + name) : 1;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return count;
}

std::string RegistryString(HKEY root, const std::string& path, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "(no key)";
    char data[1024] = "";
    DWORD size = sizeof data - 1, type = 0;
    LONG status = RegQueryValueExA(key, name, NULL, &type, (BYTE*)data, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return "(no value)";
    return type == REG_SZ ? data : "(not a string)";
}

DWORD RegistryDword(HKEY root, const std::string& path, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return 0xFFFFFFFF;
    DWORD value = 0xFFFFFFFF, size = sizeof value, type = 0;
    LONG status = RegQueryValueExA(key, name, NULL, &type, (BYTE*)&value, &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD ? value : 0xFFFFFFFF;
}

void ExpectInstalled(const std::string& folder, int type) {
    SCOPED_TRACE("installed in " + folder);
    ExpectFiles(folder, type);
    ExpectRecords(folder, type);
    ExpectShortcuts(folder);
}

void ExpectNothingInstalled(const std::string& folder) {
    EXPECT_FALSE(FileExistsAt(folder)) << folder;
    EXPECT_FALSE(FileExistsAt(ParentOf(folder))) << "the emptied maker folder stayed: " << ParentOf(folder);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kGameKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    EXPECT_FALSE(FileExistsAt(StartMenuFolder())) << StartMenuFolder();
    EXPECT_FALSE(FileExistsAt(ParentOf(StartMenuFolder()))) << "the emptied Start-menu maker folder stayed";
}
