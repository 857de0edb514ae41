// OCRegKey and the two registry records, in HKEY_LOCAL_MACHINE of the test prefix.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "install/InstallConfig.h"
#include "install/OCRegKey.h"
#include "install/Records.h"

namespace {

const char kTestRoot[] = "SOFTWARE\\RegistryTestMaker";
const char kUninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

struct Stored {
    LONG status = -1;
    DWORD type = 0;
    DWORD size = 0;
    std::string bytes;
};

Stored Query(const std::string& keyPath, const char* name) {
    Stored value;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
    char data[2048];
    value.size = sizeof data;
    value.status = RegQueryValueExA(key, name, NULL, &value.type, (BYTE*)data, &value.size);
    if (value.status == ERROR_SUCCESS) value.bytes.assign(data, value.size);
    RegCloseKey(key);
    return value;
}

bool KeyExists(const std::string& keyPath) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void DeleteKey(const std::string& keyPath) {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (keyPath + "\\sub").c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, keyPath.c_str());
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteKey(Path()); }
    void TearDown() override { DeleteKey(Path()); }
    std::string Path() const { return std::string(kTestRoot) + "\\" + ::testing::UnitTest::GetInstance()->current_test_info()->name(); }
};

void FillConfig(InstallConfig& config) {
    config.name = "RecordGame";
    config.brand = "RecordMaker";
    config.title = "\x95\x5C\x8E\xA6 Game";          // 表示 Game
    config.exec = "play.exe";
    config.installFolder = "C:\\Program Files\\RecordMaker\\\x95\x5C";
    config.selectedType = 2;
}

}  // namespace

TEST_F(RegistryTest, OpenTellsANewKeyFromAnExistingOne) {
    OCRegKey key;
    EXPECT_EQ(0, key.Open(HKEY_LOCAL_MACHINE, Path().c_str(), 0));
    EXPECT_FALSE(key.IsOpen());
    EXPECT_EQ(1, key.Open(HKEY_LOCAL_MACHINE, Path().c_str(), 1));
    EXPECT_TRUE(key.IsOpen());
    EXPECT_EQ(0, key.Open(HKEY_LOCAL_MACHINE, Path().c_str(), 1));   // existed: 0, yet held
    ASSERT_TRUE(key.IsOpen());
    key.SetDword("installType", 7);
    EXPECT_EQ(1, key.Open(HKEY_LOCAL_MACHINE, Path().c_str(), 0));
    EXPECT_EQ(0, key.Close());
    EXPECT_EQ(0, key.Close());                                        // nothing held any more
    Stored stored = Query(Path(), "installType");
    EXPECT_EQ((DWORD)REG_DWORD, stored.type);
    ASSERT_EQ(4u, stored.size);
    EXPECT_EQ(7u, *(const DWORD*)stored.bytes.data());
}

TEST_F(RegistryTest, StringsAreStoredWithTheirTerminatingZeroAndReadBackWhole) {
    OCRegKey key;
    key.Open(HKEY_LOCAL_MACHINE, Path().c_str(), 1);
    const std::string text = "C:\\\x95\x5C\\play.exe";                 // trail byte 0x5C
    key.SetString("execute", OCString(text.c_str(), -1));
    key.SetString("empty", OCString());
    Stored stored = Query(Path(), "execute");
    EXPECT_EQ((DWORD)REG_SZ, stored.type);
    EXPECT_EQ(text.size() + 1, stored.size);
    EXPECT_EQ(text + '\0', stored.bytes);
    EXPECT_EQ(1u, Query(Path(), "empty").size);

    OCString read(260);
    key.QueryString("execute", read);
    EXPECT_STREQ(text.c_str(), read.GetBuffer());
    EXPECT_EQ((int)text.size(), read.GetLength());
}

TEST_F(RegistryTest, QueryStringTakesLongUnterminatedAndLeavesOtherValuesAlone) {
    OCRegKey key;
    key.Open(HKEY_LOCAL_MACHINE, Path().c_str(), 1);
    const std::string longText(1000, 'x');
    key.SetString("long", OCString(longText.c_str(), -1));
    HKEY raw;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, Path().c_str(), 0, KEY_ALL_ACCESS, &raw);
    RegSetValueExA(raw, "bare", 0, REG_SZ, (const BYTE*)"abcdef", 6);  // written without its zero
    RegCloseKey(raw);
    key.SetDword("number", 0x41414141);

    OCString value(260);
    key.QueryString("long", value);
    EXPECT_EQ(longText, value.GetBuffer());
    value = "kept";
    key.QueryString("missing", value);
    EXPECT_STREQ("kept", value.GetBuffer());
    key.QueryString("number", value);
    EXPECT_STREQ("kept", value.GetBuffer());
    OCString bare(260);
    memset(bare.GetBuffer(), 'Z', 261);                // no zero of its own behind the value
    key.QueryString("bare", bare);
    EXPECT_STREQ("abcdef", bare.GetBuffer());
}

TEST_F(RegistryTest, DeleteSelfRemovesTheHeldKeyButNotOneWithSubkeys) {
    OCRegKey key;
    key.Open(HKEY_LOCAL_MACHINE, Path().c_str(), 1);
    key.DeleteSelf();
    EXPECT_TRUE(key.IsOpen());                         // held until Close
    key.Close();
    EXPECT_FALSE(KeyExists(Path()));

    OCRegKey child;
    child.Open(HKEY_LOCAL_MACHINE, (Path() + "\\sub").c_str(), 1);
    child.Close();
    key.Open(HKEY_LOCAL_MACHINE, Path().c_str(), 0);
    key.DeleteSelf();
    key.Close();
    EXPECT_TRUE(KeyExists(Path() + "\\sub"));
}

TEST(Records, GameKeyAndUninstallEntryHoldTheCommandsOfTheInstall) {
    InstallConfig config;
    FillConfig(config);
    const std::string gameKey = "SOFTWARE\\RecordMaker\\RecordGame";
    const std::string entry = std::string(kUninstallRoot) + "\\RecordGame";
    const std::string folder = config.installFolder.GetBuffer();
    EXPECT_EQ(1, WriteGameKey(config));
    config.selectedType = 0;                           // installing again over the old key
    config.exec = "";
    EXPECT_EQ(1, WriteGameKey(config));
    EXPECT_EQ(1, WriteUninstallEntry(config));

    EXPECT_EQ(folder + "\\" + '\0', Query(gameKey, "execute").bytes);
    EXPECT_EQ(std::string(4, '\0'), Query(gameKey, "installType").bytes);
    EXPECT_EQ(std::string(config.title.GetBuffer()) + '\0', Query(entry, "DisplayName").bytes);
    EXPECT_EQ("\"" + folder + "\\Uninst.exe\" \"" + folder + "\"" + '\0', Query(entry, "UninstallString").bytes);
    DeleteKey(gameKey);
    DeleteKey(entry);
}

TEST(Records, EmptyNamesWriteNothingIntoSharedKeys) {
    InstallConfig config;
    FillConfig(config);
    config.name = "";
    WriteGameKey(config);
    WriteUninstallEntry(config);
    EXPECT_NE(ERROR_SUCCESS, Query(kUninstallRoot, "UninstallString").status);
    EXPECT_NE(ERROR_SUCCESS, Query("SOFTWARE\\RecordMaker", "execute").status);
    config.name = "RecordGame";
    config.brand = "";
    WriteGameKey(config);
    EXPECT_NE(ERROR_SUCCESS, Query("SOFTWARE\\RecordGame", "execute").status);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\RecordMaker");
}
