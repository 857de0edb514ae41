// The Start-menu folder and its two shortcuts, read back through IShellLinkA.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include "support/ShellLink.h"
#include <string>
#include "install/InstallConfig.h"
#include "install/Shortcuts.h"
#include "support/TempDir.h"

namespace {


std::string Programs() {
    char path[MAX_PATH];
    SHGetSpecialFolderPathA(NULL, path, CSIDL_PROGRAMS, FALSE);
    return path;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The shell resolves a link's target on the disk: give it real files.
struct InstalledGame {
    TempDir dir;
    InstallConfig config;
    std::string menu;
    InstalledGame() {
        config.brand = "LinkMaker";
        config.title = "\x95\x5C\x8E\xA6";            // 表示: its first trail byte is 0x5C
        config.exec = "play.exe";
        config.installFolder = dir.Path().c_str();
        dir.Write("play.exe", "MZ");
        dir.Write("Uninst.exe", "MZ");
        menu = Programs() + "\\LinkMaker\\" + config.title.GetBuffer();
    }
    ~InstalledGame() { RemoveTree(Programs() + "\\LinkMaker"); }
};

}  // namespace

TEST(Shortcuts, BothLinksLandInTheMakersStartMenuFolderWithTheirCommands) {
    InstalledGame game;
    ASSERT_EQ(S_OK, CoInitialize(NULL));
    EXPECT_EQ(1, CreateShortcuts(game.config));
    const std::string gameLink = game.menu + "\\" + game.config.title.GetBuffer() + ".lnk";
    const std::string uninstallLink = game.menu + "\\\x83\x41\x83\x93\x83\x43\x83\x93\x83\x58\x83\x67\x81\x5B\x83\x8B.lnk";
    ASSERT_TRUE(Exists(gameLink)) << gameLink;
    ASSERT_TRUE(Exists(uninstallLink)) << uninstallLink;

    const std::string folder = game.dir.Path();
    ShellLinkInfo link = ReadShellLink(gameLink);
    EXPECT_EQ(S_OK, link.loaded);
    EXPECT_EQ(folder + "\\play.exe", link.target);
    EXPECT_EQ("", link.arguments);
    EXPECT_EQ(folder, link.folder);
    EXPECT_EQ(SW_SHOWNORMAL, link.show);

    link = ReadShellLink(uninstallLink);
    EXPECT_EQ(S_OK, link.loaded);
    EXPECT_EQ(folder + "\\Uninst.exe", link.target);
    EXPECT_EQ("\"" + folder + "\"", link.arguments);
    EXPECT_EQ(folder, link.folder);
    EXPECT_EQ(SW_SHOWNORMAL, link.show);
    CoUninitialize();
}

TEST(Shortcuts, CreateShortcutLeavesTheCallersComInitialisationAsItWas) {
    TempDir dir;
    dir.Write("play.exe", "MZ");
    ASSERT_EQ(S_OK, CoInitialize(NULL));
    EXPECT_EQ(1, CreateShortcut((dir / "a.lnk").c_str(), (dir / "play.exe").c_str(), NULL, NULL, SW_SHOWNORMAL));
    CoUninitialize();
    // Balanced: the thread is back to no COM at all.
    IUnknown* object = NULL;
    EXPECT_EQ(CO_E_NOTINITIALIZED, CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                                    (void**)&object));
    if (object) object->Release();
    EXPECT_EQ(0, CreateShortcut((dir / "missing\\b.lnk").c_str(), (dir / "play.exe").c_str(), NULL, NULL,
                                SW_SHOWNORMAL));
}
