// What an install leaves in the system, read back as the system sees it: the
// registry key wrapper, the game key and the uninstall entry, and the
// Start-menu shortcuts through the shell's own link reader.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <string>
#include "base/Messages.h"
#include "install/InstallConfig.h"
#include "install/OCRegKey.h"
#include "install/Records.h"
#include "install/Shortcuts.h"
#include "support/Files.h"
#include "support/Registry.h"
#include "support/ShellLink.h"
#include "support/TempDir.h"

namespace {

const char kKey[] = "SOFTWARE\\RecordMaker\\Wrapper";
const char kGameKey[] = "SOFTWARE\\RecordMaker\\RecordGame";
const char kUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::string kEntry = std::string(kUninstall) + "\\RecordGame";

// The bytes of a value as stored, terminating zero included; "(none)" without one of that type.
std::string Stored(const std::string& key, const char* name, DWORD type = REG_SZ) {
    char data[2048];
    DWORD size = sizeof data, found = 0;
    const bool there = !SHGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, &found, data, &size) && found == type;
    return there ? std::string(data, size) : "(none)";
}

struct Records : ::testing::Test {
    void TearDown() override {
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\RecordMaker");
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kEntry);
    }
};

TEST_F(Records, TheKeyWrapperCreatesStoresReadsAndDeletesAsTheInstallNeeds) {
    OCRegKey key;
    EXPECT_EQ(0, key.Open(HKEY_LOCAL_MACHINE, kKey, 0));
    EXPECT_EQ(1, key.Open(HKEY_LOCAL_MACHINE, kKey, 1));
    EXPECT_EQ(0, key.Open(HKEY_LOCAL_MACHINE, kKey, 1));  // it existed: 0, and held all the same
    const std::string text = "C:\\\x95\x5C\\play.exe", longText(1000, 'x');  // 表: trail byte 0x5C
    key.SetString("execute", OCString(text.c_str(), -1));
    key.SetString("empty", OCString());
    key.SetString("long", OCString(longText.c_str(), -1));
    key.SetDword("number", 7);
    SHSetValueA(HKEY_LOCAL_MACHINE, kKey, "bare", REG_SZ, "abcdef", 6);  // stored without its zero
    EXPECT_EQ(text + '\0', Stored(kKey, "execute"));
    EXPECT_EQ(std::string(1, '\0'), Stored(kKey, "empty"));
    EXPECT_EQ(std::string("\7\0\0\0", 4), Stored(kKey, "number", REG_DWORD));
    const std::pair<const char*, std::string> reads[] = {
        {"execute", text}, {"long", longText}, {"bare", "abcdef"}, {"missing", "kept"}, {"number", "kept"}};
    for (const auto& read : reads) {
        OCString value("kept", -1);
        key.QueryString(read.first, value);
        EXPECT_EQ(read.second, value.GetBuffer()) << read.first;
        EXPECT_EQ((int)read.second.size(), value.GetLength()) << read.first;
    }
    SHSetValueA(HKEY_LOCAL_MACHINE, (std::string(kKey) + "\\sub").c_str(), "x", REG_SZ, "", 1);
    key.DeleteSelf();  // not a key with subkeys
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kKey) + "\\sub"));
    DeleteKeyTree(HKEY_LOCAL_MACHINE, std::string(kKey) + "\\sub");
    key.DeleteSelf();
    EXPECT_TRUE(key.IsOpen());  // held until Close
    EXPECT_EQ(0, key.Close());
    EXPECT_EQ(0, key.Close());  // nothing held any more
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kKey));
}

TEST_F(Records, GameKeyAndUninstallEntryHoldTheCommandsOfTheInstall) {
    InstallConfig config;
    config.name = "RecordGame";
    config.brand = "RecordMaker";
    config.title = "\x95\x5C\x8E\xA6 Game";  // 表示 Game
    config.exec = "play.exe";
    config.installFolder = "C:\\Program Files\\RecordMaker\\\x95\x5C";
    config.selectedType = 2;
    const std::string folder = config.installFolder.GetBuffer();
    EXPECT_EQ(1, WriteGameKey(config));
    config.selectedType = 0;  // installed again over the old key, now without Exec
    config.exec = "";
    EXPECT_EQ(1, WriteGameKey(config));
    EXPECT_EQ(1, WriteUninstallEntry(config));
    EXPECT_EQ(folder + "\\" + '\0', Stored(kGameKey, "execute"));
    EXPECT_EQ(std::string(4, '\0'), Stored(kGameKey, "installType", REG_DWORD));
    EXPECT_EQ("\x95\x5C\x8E\xA6 Game" + std::string(1, '\0'), Stored(kEntry, "DisplayName"));
    EXPECT_EQ("\"" + folder + "\\Uninst.exe\" \"" + folder + "\"" + '\0', Stored(kEntry, "UninstallString"));
    DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\RecordMaker");
    config.name = "";  // an empty name must not write into the shared keys above
    WriteGameKey(config);
    WriteUninstallEntry(config);
    config.name = "RecordGame";
    config.brand = "";
    WriteGameKey(config);
    EXPECT_EQ("(none)", Stored(kUninstall, "UninstallString"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\RecordMaker"));
    EXPECT_EQ("(none)", Stored("SOFTWARE\\RecordGame", "execute"));
}

TEST(Shortcuts, BothLinksLandInTheMakersFolderAndComIsLeftAsItWas) {
    TempDir dir;
    WriteBytes(dir / "play.exe", "MZ");  // the shell resolves a link's target on the disk
    WriteBytes(dir / "Uninst.exe", "MZ");
    InstallConfig config;
    config.brand = "LinkMaker";
    config.title = "\x95\x5C\x8E\xA6";  // 表示
    config.exec = "play.exe";
    config.installFolder = dir.Path().c_str();
    char programs[MAX_PATH];
    SHGetSpecialFolderPathA(NULL, programs, CSIDL_PROGRAMS, FALSE);
    const std::string menu = std::string(programs) + "\\LinkMaker\\\x95\x5C\x8E\xA6\\";
    ASSERT_EQ(S_OK, CoInitialize(NULL));
    EXPECT_EQ(1, CreateShortcuts(config));
    const std::string links[][3] = {{menu + "\x95\x5C\x8E\xA6.lnk", dir / "play.exe", ""},
                                    {menu + kNameUninstallShortcut + ".lnk", dir / "Uninst.exe", "\"" + dir.Path() + "\""}};
    for (const auto& expected : links) {
        const ShellLinkInfo link = ReadShellLink(expected[0]);
        EXPECT_EQ(S_OK, link.loaded) << expected[0];
        EXPECT_EQ(expected[1], link.target);
        EXPECT_EQ(expected[2], link.arguments);
        EXPECT_EQ(dir.Path(), link.folder);
        EXPECT_EQ(SW_SHOWNORMAL, link.show);
    }
    EXPECT_EQ(0, CreateShortcut((dir / "missing\\b.lnk").c_str(), (dir / "play.exe").c_str(), NULL, NULL, 1));
    CoUninitialize();
    RemoveTree(std::string(programs) + "\\LinkMaker");
    IUnknown* object = NULL;  // balanced: the thread is back to no COM at all
    EXPECT_EQ(CO_E_NOTINITIALIZED, CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IUnknown, (void**)&object));
}

}  // namespace
