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
const char kEntry[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\RecordGame";

// The raw bytes of a value, terminating zero included; "(none)" without one.
std::string RawValue(const char* path, const char* name, DWORD expectedType) {
    char data[2048];
    DWORD size = sizeof data, type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "(none)";
    const LONG status = RegQueryValueExA(key, name, NULL, &type, (BYTE*)data, &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == expectedType ? std::string(data, size) : "(none)";
}

std::string Text(const OCString& s) { return s.GetBuffer() ? s.GetBuffer() : ""; }

struct Records : ::testing::Test {
    void TearDown() override {
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\RecordMaker");
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kEntry);
    }
};

TEST_F(Records, OpenTellsANewKeyFromAnExistingOneAndHoldsBoth) {
    OCRegKey key;
    EXPECT_EQ(0, key.Open(HKEY_LOCAL_MACHINE, kKey, 0));
    EXPECT_FALSE(key.IsOpen());
    EXPECT_EQ(1, key.Open(HKEY_LOCAL_MACHINE, kKey, 1));
    EXPECT_EQ(0, key.Open(HKEY_LOCAL_MACHINE, kKey, 1));  // existed: 0, yet held
    key.SetDword("number", 7);
    EXPECT_EQ(1, key.Open(HKEY_LOCAL_MACHINE, kKey, 0));
    EXPECT_EQ(0, key.Close());
    EXPECT_EQ(0, key.Close());  // nothing held any more
    EXPECT_EQ(std::string("\7\0\0\0", 4), RawValue(kKey, "number", REG_DWORD));
}

TEST_F(Records, StringsAreStoredWithTheirZeroAndReadBackWholeOrNotAtAll) {
    OCRegKey key;
    key.Open(HKEY_LOCAL_MACHINE, kKey, 1);
    const std::string text = "C:\\\x95\x5C\\play.exe", longText(1000, 'x');  // 表: trail byte 0x5C
    key.SetString("execute", OCString(text.c_str(), -1));
    key.SetString("empty", OCString());
    key.SetString("long", OCString(longText.c_str(), -1));
    key.SetDword("number", 0x41414141);
    SHSetValueA(HKEY_LOCAL_MACHINE, kKey, "bare", REG_SZ, "abcdef", 6);  // stored without its zero
    EXPECT_EQ(text + '\0', RawValue(kKey, "execute", REG_SZ));
    EXPECT_EQ(std::string(1, '\0'), RawValue(kKey, "empty", REG_SZ));
    const struct {
        const char* name;
        const char* expected;
    } reads[] = {{"execute", text.c_str()}, {"long", longText.c_str()}, {"bare", "abcdef"},
                 {"missing", "kept"},       {"number", "kept"}};
    for (const auto& read : reads) {
        OCString value("kept", -1);
        key.QueryString(read.name, value);
        EXPECT_EQ(read.expected, Text(value)) << read.name;
        EXPECT_EQ((int)strlen(read.expected), value.GetLength()) << read.name;
    }
}

TEST_F(Records, DeleteSelfRemovesTheHeldKeyButNotOneWithSubkeys) {
    OCRegKey key;
    key.Open(HKEY_LOCAL_MACHINE, kKey, 1);
    key.DeleteSelf();
    EXPECT_TRUE(key.IsOpen());  // held until Close
    key.Close();
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kKey));
    TestKey child(HKEY_LOCAL_MACHINE, std::string(kKey) + "\\sub");
    key.Open(HKEY_LOCAL_MACHINE, kKey, 0);
    key.DeleteSelf();
    key.Close();
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kKey) + "\\sub"));
}

TEST_F(Records, GameKeyAndUninstallEntryHoldTheCommandsOfTheInstall) {
    InstallConfig config;
    config.name = "RecordGame";
    config.brand = "RecordMaker";
    config.title = "\x95\x5C\x8E\xA6 Game";  // 表示 Game
    config.exec = "play.exe";
    config.installFolder = "C:\\Program Files\\RecordMaker\\\x95\x5C";
    config.selectedType = 2;
    const std::string folder = Text(config.installFolder);
    EXPECT_EQ(1, WriteGameKey(config));
    config.selectedType = 0;  // installed again over the old key, now without Exec
    config.exec = "";
    EXPECT_EQ(1, WriteGameKey(config));
    EXPECT_EQ(1, WriteUninstallEntry(config));
    EXPECT_EQ(folder + "\\" + '\0', RawValue(kGameKey, "execute", REG_SZ));
    EXPECT_EQ(std::string(4, '\0'), RawValue(kGameKey, "installType", REG_DWORD));
    EXPECT_EQ(Text(config.title) + '\0', RawValue(kEntry, "DisplayName", REG_SZ));
    EXPECT_EQ("\"" + folder + "\\Uninst.exe\" \"" + folder + "\"" + '\0', RawValue(kEntry, "UninstallString", REG_SZ));

    DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\RecordMaker");
    config.name = "";  // an empty name must not write into the shared keys above
    WriteGameKey(config);
    WriteUninstallEntry(config);
    config.name = "RecordGame";
    config.brand = "";
    WriteGameKey(config);
    EXPECT_EQ("(none)", RawValue("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", "UninstallString", REG_SZ));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\RecordMaker"));
    EXPECT_EQ("(none)", RawValue("SOFTWARE\\RecordGame", "execute", REG_SZ));
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
    const struct {
        std::string link, target, arguments;
    } links[] = {{menu + "\x95\x5C\x8E\xA6.lnk", dir / "play.exe", ""},
                 {menu + kNameUninstallShortcut + ".lnk", dir / "Uninst.exe", "\"" + dir.Path() + "\""}};
    for (const auto& expected : links) {
        const ShellLinkInfo link = ReadShellLink(expected.link);
        EXPECT_EQ(S_OK, link.loaded) << expected.link;
        EXPECT_EQ(expected.target, link.target);
        EXPECT_EQ(expected.arguments, link.arguments);
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
