// Uninstall over a real installed state: files, registry and Start menu
// before and after, with the boxes answered from a second thread.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "InstalledGame.h"
#include "install/InstallConfig.h"
#include "base/Messages.h"
#include "archive/OCFile.h"
#include "install/OCRegKey.h"
#include "install/Uninstall.h"
#include "support/BoxAnswerer.h"

namespace {

const char kBrand[] = "UnBrand";
const char kName[] = "UnGame";
const char kTitle[] = "\x95\x5C\x8E\xA6 Quest";     // 表示: a trail byte 0x5C in the Start-menu folder
const char kUninstallEntry[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Everything an install leaves, one flag each.
struct State {
    bool machineKey, entry, folder, brandFolder, userKey, menu, menuBrand;
};

State Observe(const InstalledGame& game) {
    return {KeyExists(HKEY_LOCAL_MACHINE, game.GameKey()), KeyExists(HKEY_LOCAL_MACHINE, game.EntryKey()),
            Exists(game.folder), Exists(game.target / game.brand), KeyExists(HKEY_CURRENT_USER, game.GameKey()),
            Exists(game.MenuFolder()), Exists(ProgramsFolder() + "\\" + game.brand)};
}

void ExpectAll(const State& s, bool present) {
    EXPECT_EQ(present, s.machineKey);
    EXPECT_EQ(present, s.entry);
    EXPECT_EQ(present, s.folder);
    EXPECT_EQ(present, s.brandFolder);
    EXPECT_EQ(present, s.userKey);
    EXPECT_EQ(present, s.menu);
    EXPECT_EQ(present, s.menuBrand);
}

}  // namespace

TEST(Uninstall, TheInstalledStateIsComplete) {
    InstalledGame game(kBrand, kName, kTitle);
    ExpectAll(Observe(game), true);
    EXPECT_TRUE(Exists(game.MenuFolder() + "\\" + kTitle + ".lnk"));
    EXPECT_TRUE(Exists(game.folder + "\\save\\slot1.dat"));
}

TEST(Uninstall, ConfirmedFromTheMenuRemovesEverythingAndSaysSo) {
    InstalledGame game(kBrand, kName, kTitle);
    game.config.ownerWindow = NULL;
    BoxAnswerer question(kCaptionUninstall, {IDYES});
    BoxAnswerer done(kCaptionConfirm, {IDOK});
    EXPECT_EQ(1, game.config.StartUninstall());
    ExpectAll(Observe(game), false);
    EXPECT_TRUE(Exists(game.target.Path()));
    EXPECT_TRUE(Exists(ProgramsFolder()));
    ASSERT_EQ(1, question.Answered());
    EXPECT_EQ("\x83\x41\x83\x93\x83\x43\x83\x93\x83\x58\x83\x67\x81\x5B\x83\x8B\x82\xF0\x8A\x4A\x8E\x6E\x82\xB5"
              "\x82\xDC\x82\xB7\x81\x42\n\x82\xE6\x82\xEB\x82\xB5\x82\xA2\x82\xC5\x82\xB7\x82\xA9\x81\x48",
              question.Texts()[0]);                   // アンインストールを開始します。\nよろしいですか？
    ASSERT_EQ(1, done.Answered());
    EXPECT_EQ("Uninstall\x82\xAA\x8A\xAE\x97\xB9\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42\x81\x42", done.Texts()[0]);
}

TEST(Uninstall, AnsweredNoChangesNothingAndSaysNothingMore) {
    InstalledGame game(kBrand, kName, kTitle);
    BoxAnswerer question(kCaptionUninstall, {IDNO});
    BoxAnswerer done(kCaptionConfirm, {IDOK});
    EXPECT_EQ(1, game.config.StartUninstall());
    EXPECT_EQ(1, question.Answered());
    EXPECT_EQ(0, done.Answered());
    ExpectAll(Observe(game), true);
    EXPECT_TRUE(Exists(game.folder + "\\save\\slot1.dat"));
}

TEST(Uninstall, SilentUseShowsNoBoxAndRemovesEverything) {
    InstalledGame game(kBrand, kName, kTitle);
    BoxAnswerer question(kCaptionUninstall, {IDYES});
    BoxAnswerer done(kCaptionConfirm, {IDOK});
    Uninstall(NULL, kName, NULL);
    ExpectAll(Observe(game), false);
    EXPECT_EQ(0, question.Answered());
    EXPECT_EQ(0, done.Answered());
}

TEST(Uninstall, TheCurrentFolderAndQuietFlagAreRestored) {
    InstalledGame game(kBrand, kName, kTitle);
    char before[MAX_PATH], after[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, before);
    Uninstall(NULL, kName, NULL);
    GetCurrentDirectoryA(MAX_PATH, after);
    EXPECT_STREQ(before, after);
    EXPECT_EQ(0u, g_quietOpen);
}

TEST(Uninstall, GameIniUninstNameRemovesThatStartMenuFolderInstead) {
    InstalledGame game(kBrand, kName, kTitle);
    const std::string other = ProgramsFolder() + "\\" + kBrand + "\\Other Menu";
    CreateDirectoryA(other.c_str(), NULL);
    game.WriteGameIni("[\x90\xDD\x92\xE8]\r\nUninstName=Other Menu\r\n");   // [設定]
    Uninstall(NULL, kName, NULL);
    EXPECT_FALSE(Exists(other));
    EXPECT_TRUE(Exists(game.MenuFolder()));
    EXPECT_FALSE(Exists(game.folder));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, game.GameKey()));
}

TEST(Uninstall, GameIniBrandAndNameServeTheUserKeyAndStartMenuOnly) {
    InstalledGame game(kBrand, kName, kTitle);
    InstalledGame renamed("UnOtherBrand", "UnOtherName", kTitle);
    SetCurrentDirectoryA(game.installer.Path().c_str());
    game.WriteGameIni("[\x90\xDD\x92\xE8]\r\nBrand=UnOtherBrand\r\nName=UnOtherName\r\nUninstName=\r\n");
    Uninstall(NULL, kName, NULL);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, game.GameKey()));      // install.ini's brand
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, renamed.GameKey()));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, game.EntryKey()));
    EXPECT_FALSE(Exists(game.folder));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, game.GameKey()));        // game.ini's brand and name
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, renamed.GameKey()));
    EXPECT_TRUE(Exists(game.MenuFolder()));                           // empty UninstName: the title
    EXPECT_FALSE(Exists(renamed.MenuFolder()));
    EXPECT_TRUE(Exists(renamed.folder));
}

TEST(Uninstall, WithoutAnEntryOnlyTheGameKeysGo) {
    InstalledGame game(kBrand, kName, kTitle);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, game.EntryKey().c_str());
    BoxAnswerer question(kCaptionUninstall, {IDYES});
    BoxAnswerer done(kCaptionConfirm, {IDOK});
    Uninstall(NULL, kName, kMsgConfirmUninstall);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, game.GameKey()));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, game.GameKey()));
    EXPECT_TRUE(Exists(game.folder + "\\save\\slot1.dat"));
    EXPECT_TRUE(Exists(game.MenuFolder()));
    EXPECT_EQ(1, done.Answered());
}

TEST(Uninstall, WithoutABrandTheUserKeyAndStartMenuStayAndNoCompletionIsShown) {
    InstalledGame game(kBrand, kName, kTitle);
    game.WriteInstallIni("[install]\r\nName=UnGame\r\n");
    BoxAnswerer question(kCaptionUninstall, {IDYES});
    BoxAnswerer done(kCaptionConfirm, {IDOK});
    Uninstall(NULL, kName, kMsgConfirmUninstall);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, game.GameKey()));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, game.EntryKey()));
    EXPECT_FALSE(Exists(game.folder));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, game.GameKey()));
    EXPECT_TRUE(Exists(game.MenuFolder()));
    EXPECT_EQ(0, done.Answered());
}

TEST(Uninstall, AMakerFolderGoesOnlyWithItsLastGame) {
    InstalledGame first(kBrand, kName, kTitle);
    InstalledGame second(kBrand, "UnSecond", "Second Title", first.target / kBrand + "\\Second");
    SetCurrentDirectoryA(first.installer.Path().c_str());
    Uninstall(NULL, kName, NULL);
    EXPECT_FALSE(Exists(first.folder));
    EXPECT_FALSE(Exists(first.MenuFolder()));
    EXPECT_TRUE(Exists(second.folder + "\\game.exe"));
    EXPECT_TRUE(Exists(second.MenuFolder()));

    SetCurrentDirectoryA(second.installer.Path().c_str());
    Uninstall(NULL, "UnSecond", NULL);
    EXPECT_FALSE(Exists(first.target / kBrand));
    EXPECT_FALSE(Exists(ProgramsFolder() + "\\" + kBrand));
    EXPECT_TRUE(Exists(first.target.Path()));
}

TEST(UninstallFolderPart, TakesTheLastArgumentWithoutItsQuotes) {
    const struct {
        const char* command;
        const char* folder;
    } cases[] = {
        {"\"C:\\Program Files\\B\\G\\Uninst.exe\" \"C:\\Program Files\\B\\G\"", "C:\\Program Files\\B\\G"},
        {"C:\\G\\Uninst.exe C:\\G", "C:\\G"},
        {"\"C:\\\x95\x5C \x8E\xA6\\Uninst.exe\" \"C:\\\x95\x5C \x8E\xA6\"", "C:\\\x95\x5C \x8E\xA6"},
        {"\"C:\\G\\Uninst.exe\" C:\\a\"b c\"d", "C:\\ab cd"},
        {"\"C:\\Program Files\\G\\Uninst.exe\"", ""},
        {"C:\\G\\Uninst.exe", ""},
        {"", ""},
        {"x ", ""},
    };
    for (const auto& c : cases) {
        OCString folder("stale", -1);
        UninstallFolderPart(c.command, folder);
        EXPECT_STREQ(c.folder, folder.GetBuffer() ? folder.GetBuffer() : "") << c.command;
    }
}

TEST(Uninstall, TheEntryWrittenForAProgramFilesFolderFindsThatFolder) {
    InstalledGame game("B", "G", kTitle, "C:\\Program Files\\B\\G");
    OCRegKey entry;
    ASSERT_TRUE(entry.Open(HKEY_LOCAL_MACHINE, game.EntryKey().c_str(), 0));
    OCString command;
    entry.QueryString("UninstallString", command);
    entry.Close();
    EXPECT_STREQ("\"C:\\Program Files\\B\\G\\Uninst.exe\" \"C:\\Program Files\\B\\G\"", command.GetBuffer());
    Uninstall(NULL, "G", NULL);
    EXPECT_FALSE(Exists("C:\\Program Files\\B\\G"));
    EXPECT_FALSE(Exists("C:\\Program Files\\B"));
    EXPECT_TRUE(Exists("C:\\Program Files"));
}
