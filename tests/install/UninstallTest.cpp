// What an install leaves in the system and how the uninstall takes it away,
// over a real installed state written by the installer's own functions: the
// registry records as the system reads them, the Start-menu links through the
// shell's own reader, files, keys and folders before and after, the boxes
// answered from a second thread; records that point elsewhere remove nothing.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <string>
#include <thread>
#include "archive/OCFile.h"
#include "base/Messages.h"
#include "install/InstallConfig.h"
#include "install/OCRegKey.h"
#include "install/Records.h"
#include "install/Shortcuts.h"
#include "install/Uninstall.h"
#include "support/BoxAnswerer.h"
#include "support/Files.h"
#include "support/Registry.h"
#include "support/ShellLink.h"
#include "support/TempDir.h"

namespace {

const char kBrand[] = "UnBrand";  // this program's own: no other test program touches it
const char kTitle[] = "\x95\x5C\x8E\xA6 Quest";  // 表示: a trail byte 0x5C in the Start-menu folder
const char kSettings[] = "[\x90\xDD\x92\xE8]\r\n";  // [設定] of game.ini

std::string Programs() {
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(NULL, path, CSIDL_PROGRAMS, FALSE);
    return path;
}

// The bytes of a value as stored, terminating zero included; "(none)" without one of that type.
std::string Stored(const std::string& key, const char* name, DWORD type = REG_SZ) {
    char data[2048];
    DWORD size = sizeof data, found = 0;
    const bool there = !SHGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, &found, data, &size) && found == type;
    return there ? std::string(data, size) : "(none)";
}

// An installed game; install.ini in the installer's folder, the current folder while it lives.
struct Installed {
    Installed(const char* brandName, const char* gameName, const std::string& installFolder = "",
              const char* gameTitle = kTitle)
        : brand(brandName), name(gameName), title(gameTitle),
          folder(installFolder.empty() ? target / (brand + "\\Game") : installFolder) {
        config.brand = brandName;
        config.name = gameName;
        config.title = gameTitle;
        config.exec = "game.exe";
        config.installFolder = folder.c_str();
        config.selectedType = 2;
        CreateDirectoryPath((folder + "\\save").c_str());
        for (const char* file : {"game.exe", "Uninst.exe", "save\\slot1.dat"}) WriteBytes(folder + "\\" + file, "MZ");
        CreateShortcuts(config);
        WriteGameKey(config);
        WriteUninstallEntry(config);
        SHSetValueA(HKEY_CURRENT_USER, GameKey().c_str(), "saved", REG_SZ, "1", 2);
        WriteBytes(installer / "install.ini", "[install]\r\nName=" + name + "\r\nBrand=" + brand + "\r\n");
        SetCurrentDirectoryA(installer.Path().c_str());
    }
    ~Installed() {
        SetCurrentDirectoryA(TempFolder().c_str());  // a current folder cannot be removed
        RemoveTree(Programs() + "\\" + brand);
        RemoveTree(folder);
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) DeleteKeyTree(root, "SOFTWARE\\" + brand);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, Entry());
    }
    std::string GameKey() const { return "SOFTWARE\\" + brand + "\\" + name; }
    std::string Entry() const { return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name; }
    std::string Menu() const { return Programs() + "\\" + brand + "\\" + title; }
    // Everything the install left, one letter each while it is there.
    std::string State() const {
        const bool there[] = {KeyExists(HKEY_LOCAL_MACHINE, GameKey()), KeyExists(HKEY_LOCAL_MACHINE, Entry()),
                              Exists(folder), Exists(folder.substr(0, folder.rfind('\\'))), KeyExists(HKEY_CURRENT_USER, GameKey()),
                              Exists(Menu()), Exists(Programs() + "\\" + brand)};
        std::string letters;
        for (int i = 0; i < 7; i++) letters += there[i] ? "KEFBUMP"[i] : '-';
        return letters;  // machine Key, Entry, Folder, maker's folder, User key, Menu, maker's menu folder
    }
    TempDir installer, target;
    std::string brand, name, title, folder;
    InstallConfig config;
};

TEST(Uninstall, TheRecordsAreWhatTheSystemReadsAndAConfirmedUninstallTakesThemAll) {
    Installed game(kBrand, "UnGame");
    game.config.selectedType = 1;
    WriteGameKey(game.config);  // installed again over the existing key
    EXPECT_EQ("KEFBUMP", game.State());
    EXPECT_EQ(game.folder + "\\game.exe" + '\0', Stored(game.GameKey(), "execute"));
    EXPECT_EQ(std::string("\1\0\0\0", 4), Stored(game.GameKey(), "installType", REG_DWORD));
    EXPECT_EQ(kTitle + std::string(1, '\0'), Stored(game.Entry(), "DisplayName"));
    EXPECT_EQ("\"" + game.folder + "\\Uninst.exe\" \"" + game.folder + "\"" + '\0', Stored(game.Entry(), "UninstallString"));
    const std::string links[][3] = {{game.Menu() + "\\" + kTitle + ".lnk", game.folder + "\\game.exe", ""},
                                    {game.Menu() + "\\" + kNameUninstallShortcut + ".lnk", game.folder + "\\Uninst.exe",
                                     "\"" + game.folder + "\""}};
    ASSERT_EQ(S_OK, CoInitialize(NULL));
    for (const auto& expected : links) {
        const ShellLinkInfo link = ReadShellLink(expected[0]);
        EXPECT_EQ(S_OK, link.loaded) << expected[0];
        EXPECT_EQ(expected[1], link.target);
        EXPECT_EQ(expected[2], link.arguments);
        EXPECT_EQ(game.folder, link.folder);
        EXPECT_EQ(SW_SHOWNORMAL, link.show);
    }
    CoUninitialize();
    IUnknown* object = NULL;  // creating the links left COM as it was: the thread is back to none
    EXPECT_EQ(CO_E_NOTINITIALIZED, CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IUnknown, (void**)&object));

    BoxAnswerer question(kCaptionUninstall, {IDYES});
    BoxAnswerer done(kCaptionConfirm, {IDOK});
    EXPECT_EQ(1, game.config.StartUninstall());
    EXPECT_EQ("-------", game.State());
    EXPECT_TRUE(Exists(game.target.Path()));
    EXPECT_EQ(std::vector<std::string>{kMsgConfirmUninstall}, question.Texts());
    EXPECT_EQ(std::vector<std::string>{kMsgUninstallDone}, done.Texts());
}

TEST(Uninstall, EmptyNamesWriteNoRecordsIntoTheSharedKeys) {
    InstallConfig config;
    config.brand = kBrand;
    config.installFolder = "C:\\G";
    WriteGameKey(config);
    WriteUninstallEntry(config);
    EXPECT_EQ("(none)", Stored("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", "UninstallString"));
    EXPECT_EQ("(none)", Stored(std::string("SOFTWARE\\") + kBrand, "execute"));
    config.name = "UnGame";
    config.brand = "";
    WriteGameKey(config);
    EXPECT_EQ("(none)", Stored("SOFTWARE\\UnGame", "execute"));
    DeleteKeyTree(HKEY_LOCAL_MACHINE, std::string("SOFTWARE\\") + kBrand);
    DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\UnGame");
}

// Strings are stored with their zero; reading takes any length, or leaves the value as it was.
TEST(Uninstall, TheKeyWrapperReadsWholeStringsAndNothingElse) {
    const std::string path = std::string("SOFTWARE\\") + kBrand + "\\Wrapper", longText(1000, 'x');
    OCRegKey key;
    EXPECT_EQ(0, key.Open(HKEY_LOCAL_MACHINE, path.c_str(), 0));
    key.Open(HKEY_LOCAL_MACHINE, path.c_str(), 1);
    key.SetString("empty", OCString());
    key.SetString("long", OCString(longText.c_str(), -1));
    key.SetDword("number", 7);
    SHSetValueA(HKEY_LOCAL_MACHINE, path.c_str(), "bare", REG_SZ, "abcdef", 6);  // stored without its zero
    EXPECT_EQ(std::string(1, '\0'), Stored(path, "empty"));
    const std::pair<const char*, std::string> reads[] = {
        {"long", longText}, {"bare", "abcdef"}, {"missing", "kept"}, {"number", "kept"}};
    for (const auto& read : reads) {
        OCString value("kept", -1);
        key.QueryString(read.first, value);
        EXPECT_EQ(read.second, value.GetBuffer()) << read.first;
        EXPECT_EQ((int)read.second.size(), value.GetLength()) << read.first;
    }
    key.DeleteSelf();
    EXPECT_TRUE(key.IsOpen());  // held until Close
    key.Close();
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, path));
    DeleteKeyTree(HKEY_LOCAL_MACHINE, std::string("SOFTWARE\\") + kBrand);
}

TEST(Uninstall, NoChangesNothingAndSilentUseShowsNothing) {
    Installed game(kBrand, "UnGame");
    char before[MAX_PATH], after[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, before);
    BoxAnswerer question(kCaptionUninstall, {IDNO});  // a box nobody expects fails the test
    EXPECT_EQ(1, game.config.StartUninstall());
    EXPECT_EQ(1, question.Answered());
    EXPECT_EQ("KEFBUMP", game.State());
    Uninstall(NULL, "UnGame", NULL);
    EXPECT_EQ(1, question.Answered());
    EXPECT_EQ("-------", game.State());
    GetCurrentDirectoryA(MAX_PATH, after);
    EXPECT_STREQ(before, after);
    EXPECT_EQ(0u, g_quietOpen);
}

// The shell keeps Start-menu folders open for a moment (change notifications);
// the removal must wait such a hold out, not leave the maker's folder behind.
TEST(Uninstall, AStartMenuFolderHeldOpenForAMomentStillGoesWithItsMakersFolder) {
    Installed game(kBrand, "UnGame");
    HANDLE held = CreateFileA(game.Menu().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    std::thread release([held] { Sleep(300); CloseHandle(held); });
    Uninstall(NULL, "UnGame", NULL);
    release.join();
    EXPECT_EQ("-------", game.State());
}

TEST(Uninstall, WhatIsMissingDecidesWhatStays) {
    const struct {
        const char *installIni, *gameIni;
        bool entry;
        const char* state;
        bool otherMenu;
        int done;
    } cases[] = {
        {NULL, "UninstName=Other\r\n", true, "-----MP", false, 1},  // that Start-menu folder instead
        {NULL, "Brand=UnOther\r\nName=UnOtherGame\r\n", true, "----UMP", true, 1},  // user key, menu by game.ini
        {NULL, NULL, false, "--FB-MP", true, 1},                      // no entry: only the game keys go
        {"[install]\r\nName=UnGame\r\n", NULL, true, "K---UMP", true, 0},  // no brand: nor key, menu, message
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        Installed game(kBrand, "UnGame");
        CreateDirectoryA((Programs() + "\\UnBrand\\Other").c_str(), NULL);
        if (c.installIni) WriteBytes(game.installer / "install.ini", c.installIni);
        if (c.gameIni) WriteBytes(game.folder + "\\game.ini", kSettings + std::string(c.gameIni));
        if (!c.entry) DeleteKeyTree(HKEY_LOCAL_MACHINE, game.Entry());
        BoxAnswerer question(kCaptionUninstall, {IDYES});
        BoxAnswerer done(kCaptionConfirm, {IDOK});
        Uninstall(NULL, "UnGame", kMsgConfirmUninstall);
        EXPECT_EQ(c.state, game.State());
        EXPECT_EQ(c.otherMenu, Exists(Programs() + "\\UnBrand\\Other"));
        EXPECT_EQ(c.done, done.Answered());
    }
}

TEST(Uninstall, AMakersFolderGoesOnlyWithItsLastGame) {
    Installed first(kBrand, "UnGame");
    Installed second(kBrand, "UnSecond", first.target / "UnBrand\\Second", "Second");
    SetCurrentDirectoryA(first.installer.Path().c_str());
    Uninstall(NULL, "UnGame", NULL);
    EXPECT_EQ("KEFBUMP", second.State());
    EXPECT_FALSE(Exists(first.Menu()));
    SetCurrentDirectoryA(second.installer.Path().c_str());
    Uninstall(NULL, "UnSecond", NULL);
    EXPECT_FALSE(Exists(first.target / kBrand));
    EXPECT_FALSE(Exists(Programs() + "\\" + kBrand));
}

TEST(Uninstall, TheFolderPartIsTheLastArgumentWithoutItsQuotes) {
    const struct {
        const char *command, *folder;
    } cases[] = {
        {"\"C:\\Program Files\\B\\G\\Uninst.exe\" \"C:\\Program Files\\B\\G\"", "C:\\Program Files\\B\\G"},
        {"C:\\G\\Uninst.exe C:\\G", "C:\\G"},
        {"\"C:\\\x95\x5C \x8E\xA6\\Uninst.exe\" \"C:\\\x95\x5C \x8E\xA6\"", "C:\\\x95\x5C \x8E\xA6"},
        {"\"C:\\G\\Uninst.exe\" C:\\a\"b c\"d", "C:\\ab cd"},
        {"\"C:\\Program Files\\G\\Uninst.exe\"", ""}, {"C:\\G\\Uninst.exe", ""}, {"", ""}, {"x ", ""},
    };
    for (const auto& c : cases) {
        OCString folder("stale", -1);
        UninstallFolderPart(c.command, folder);
        EXPECT_STREQ(c.folder, folder.GetBuffer() ? folder.GetBuffer() : "") << c.command;
    }
    Installed game("B", "G", "C:\\Program Files\\B\\G");  // as written for a folder with a space
    Uninstall(NULL, "G", NULL);
    EXPECT_FALSE(Exists("C:\\Program Files\\B"));
    EXPECT_TRUE(Exists("C:\\Program Files"));
}

// ---- records that point elsewhere ----

TEST(UninstallGuard, RecordsNamingFoldersTheGameDoesNotOwnRemoveNothingThere) {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string system = std::string(windows) + "\\system32";
    Installed owner(kBrand, "UnGame");  // its folders must survive what the others say
    CreateDirectoryA((owner.installer / "Game").c_str(), NULL);
    const std::string canaries[] = {"C:\\", windows, system, Programs(), "C:\\Program Files", Programs() + "\\..",
                                    owner.target.Path(), owner.installer.Path(),
                                    owner.installer / "Game"};
    for (const std::string& folder : canaries) WriteBytes(folder + "\\uninstall-canary.txt", "");
    const std::string commands[] = {"\"C:\\\"", "\"C:\"", std::string("\"") + windows + "\"", "\"" + system + "\"",
                                    "\"" + Programs() + "\"", "\"C:\\Program Files\\\"", "\"" + owner.target / "UnBrand\\..\"",
                                    "\"" + owner.folder + "\\..\\..\"", "\"" + owner.target / "UnBrand\\.\\Game\"",
                                    "Uninst.exe Game", "Uninst.exe ."};
    for (const std::string& command : commands) {
        SHSetValueA(HKEY_LOCAL_MACHINE, owner.Entry().c_str(), "UninstallString", REG_SZ, ("x " + command).c_str(),
                    (DWORD)command.size() + 3);
        Uninstall(NULL, "UnGame", NULL);
    }
    const std::string settings[] = {"Brand=..\r\nUninstName=Programs\r\n", "UninstName=..\r\n", "UninstName=..\\..\r\n",
                                    "Brand=.\r\nUninstName=.\r\n", "UninstName=\\\r\n"};
    for (const std::string& text : settings) {
        Installed game(kBrand, "UnOther");
        WriteBytes(game.folder + "\\game.ini", kSettings + text);
        Uninstall(NULL, "UnOther", NULL);
        EXPECT_TRUE(Exists(game.Menu())) << text;
    }
    for (const std::string& folder : canaries) {
        EXPECT_TRUE(Exists(folder + "\\uninstall-canary.txt")) << folder;
        DeleteFileA((folder + "\\uninstall-canary.txt").c_str());
    }
    EXPECT_TRUE(Exists(owner.folder + "\\save\\slot1.dat"));
    EXPECT_TRUE(Exists(Programs() + "\\StartUp"));
}

}  // namespace
