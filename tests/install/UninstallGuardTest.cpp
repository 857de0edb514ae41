// Uninstall with hostile records: an uninstall string or a game.ini that
// names a drive root, the Windows folder, the Programs folder, a path with
// "..", or a relative folder must remove nothing there.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include <string>
#include "InstalledGame.h"
#include "install/Uninstall.h"

namespace {

// A file that must survive; removed again by the destructor.
class Canary {
public:
    explicit Canary(const std::string& folder) : m_path(folder + "\\uninstall-canary.txt") {
        FILE* f = fopen(m_path.c_str(), "wb");
        if (f) fclose(f);
    }
    ~Canary() { DeleteFileA(m_path.c_str()); }
    Canary(const Canary&) = delete;
    Canary& operator=(const Canary&) = delete;
    bool Alive() const { return Exists(m_path); }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

std::string WindowsFolder() {
    char path[MAX_PATH];
    GetWindowsDirectoryA(path, MAX_PATH);
    return path;
}

std::string Quoted(const std::string& folder) { return "\"" + folder + "\\Uninst.exe\" \"" + folder + "\""; }

const char kSettings[] = "[\x90\xDD\x92\xE8]\r\n";   // [設定]

}  // namespace

TEST(UninstallGuard, AnUninstallStringNamingAProtectedFolderRemovesNothingThere) {
    const std::string folders[] = {"C:\\", "C:", WindowsFolder(), WindowsFolder() + "\\system32", ProgramsFolder(),
                                   "C:\\Program Files", "C:\\Program Files\\"};
    for (const std::string& folder : folders) {
        InstalledGame game("UnBrand", "UnGame", "Title");
        Canary canary(folder.back() == '\\' ? folder.substr(0, folder.size() - 1) : folder);
        game.SetUninstallString(Quoted(folder));
        Uninstall(NULL, "UnGame", NULL);
        EXPECT_TRUE(canary.Alive()) << folder;
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, game.EntryKey())) << folder;
        EXPECT_TRUE(Exists(game.folder + "\\game.exe")) << folder;
    }
    EXPECT_TRUE(Exists(WindowsFolder() + "\\system32\\kernel32.dll"));
}

TEST(UninstallGuard, DotDotAndRelativeFolderPartsRemoveNothing) {
    InstalledGame game("UnBrand", "UnGame", "Title");
    Canary outside(game.target.Path());
    CreateDirectoryA((game.installer / "Game").c_str(), NULL);
    Canary relative(game.installer / "Game");
    const std::string commands[] = {
        Quoted(game.target / "UnBrand\\.."),
        Quoted(game.folder + "\\..\\.."),
        Quoted(game.target / "UnBrand\\.\\Game"),
        "Uninst.exe Game",
        "Uninst.exe .",
    };
    for (const std::string& command : commands) {
        CreateKey(HKEY_LOCAL_MACHINE, game.EntryKey());
        game.SetUninstallString(command);
        Uninstall(NULL, "UnGame", NULL);
        EXPECT_TRUE(outside.Alive()) << command;
        EXPECT_TRUE(relative.Alive()) << command;
        EXPECT_TRUE(Exists(game.folder + "\\save\\slot1.dat")) << command;
        EXPECT_TRUE(Exists(game.installer / "install.ini")) << command;
    }
}

TEST(UninstallGuard, AGameIniPointingTheStartMenuAtProtectedFoldersRemovesNothing) {
    const std::string settings[] = {
        "Brand=..\r\nUninstName=Programs\r\n",       // <Programs>\..\Programs
        "UninstName=..\r\n",                         // <Programs>\UnBrand\..
        "UninstName=..\\..\r\n",                     // the Start Menu folder
        "Brand=.\r\nUninstName=.\r\n",
        "UninstName=\\\r\n",
    };
    Canary programs(ProgramsFolder());
    Canary startMenu(ProgramsFolder() + "\\..");
    for (const std::string& text : settings) {
        InstalledGame game("UnBrand", "UnGame", "Title");
        Canary brand(ProgramsFolder() + "\\UnBrand");
        game.WriteGameIni(kSettings + text);
        Uninstall(NULL, "UnGame", NULL);
        EXPECT_TRUE(programs.Alive()) << text;
        EXPECT_TRUE(startMenu.Alive()) << text;
        EXPECT_TRUE(Exists(ProgramsFolder() + "\\StartUp")) << text;
        EXPECT_TRUE(Exists(game.MenuFolder())) << text;
        EXPECT_FALSE(Exists(game.folder)) << text;
    }
}
