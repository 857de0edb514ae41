// Uninst.exe over a made-up installed game: it uninstalls the folder it is given, or its
// own, as game.ini names the game, leaving nothing of itself; without game.ini, nothing.
#include <gtest/gtest.h>
#include "support/Files.h"
#include "support/Process.h"
#include "support/Registry.h"
#include "support/TempDir.h"

TEST(Uninst, UninstallsTheFolderGameIniDescribes) {
    const std::string gameKey = "SOFTWARE\\UNINSTMAKER\\UNINSTTEST",
                      entryKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\UNINSTTEST";
    for (int c = 0; c < 3; c++) {
        const bool gameIni = c < 2, argument = c != 1;
        SCOPED_TRACE(c == 0 ? "as the entry names it" : c == 1 ? "no argument" : "no game.ini");
        TempDir dir;
        const std::string maker = dir / "UNINSTMAKER", folder = maker + "\\Game";
        ASSERT_TRUE(CreateDirectoryA(maker.c_str(), NULL) && CreateDirectoryA(folder.c_str(), NULL));
        ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\Uninst.exe").c_str(), (folder + "\\Uninst.exe").c_str(), FALSE));
        EXPECT_TRUE(!gameIni || WriteBytes(folder + "\\game.ini", "[設定]\r\nName=UNINSTTEST\r\nBrand=UNINSTMAKER\r\n"));
        TestKey game(HKEY_LOCAL_MACHINE, gameKey), entry(HKEY_LOCAL_MACHINE, entryKey);
        entry.SetString("UninstallString", "\"" + folder + "\\Uninst.exe\" \"" + folder + "\"");
        ProgramRun run;
        ASSERT_TRUE(run.Start(folder + "\\Uninst.exe", TempFolder(), argument ? "\"" + folder + "\"" : ""));
        ClickDialogButton(WaitForDialog({0, "uninstall", 0, 1}, 15000), gameIni ? IDYES : IDOK);
        if (gameIni) ClickDialogButton(WaitForDialog({0, "確認", 0, 1}, 15000), IDOK);
        for (int i = 0; gameIni && i < 100 && Exists(maker); i++) Sleep(100);
        EXPECT_EQ(gameIni ? 0u : 1u, run.Wait());
        EXPECT_EQ(!gameIni, Exists(folder + "\\Uninst.exe"));
        EXPECT_EQ(!gameIni, Exists(maker)) << "the emptied maker folder goes too";
        EXPECT_EQ(!gameIni, KeyExists(HKEY_LOCAL_MACHINE, gameKey));
        EXPECT_EQ(!gameIni, KeyExists(HKEY_LOCAL_MACHINE, entryKey));
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\UNINSTMAKER");
    }
}
