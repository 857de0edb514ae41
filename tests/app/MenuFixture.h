// A prepared run of setup.exe: a scratch folder holding install.ini and the
// menu's pictures (made by the test), the product's registry records on
// demand, and a game (testgame.exe) in an install folder whose name has a
// space and a Shift-JIS character with a 0x5C trail byte.
#pragma once
#include <gtest/gtest.h>
#include <memory>
#include "SetupRunner.h"
#include "support/TempDir.h"

struct Picture {
    const char* name;
    int width, height;
    COLORREF colour;
    bool png;              // PNG content under the .JPG name
};

// Background, then normal and pressed picture of INSTALL, GAME, UNINSTALL.
extern const Picture kBackground;
extern const Picture kNormal[3];
extern const Picture kPressed[3];
extern const char kProductName[];      // [install] Name, also the event's name
extern const char kMenuTitle[];        // the window title install.ini gives

class MenuFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void WriteConfig(bool withName = true);
    void WritePicture(const Picture& picture);
    void WriteBrokenPng(const char* name);
    // Both records of the product, the game key's "execute" naming the game.
    void Install();
    void InstallGameKeyOnly();
    void InstallUninstallEntryOnly();

    // Starts setup.exe (bin/, or `exe`) in the scratch folder; fails the test when it cannot.
    void Start(const std::string& exe = std::string());
    // Waits for the menu window; fails the test when none appears.
    HWND Menu();
    HWND Button(int id) { return GetDlgItem(menu, id); }
    // Lines of the game's log, one per start.
    std::vector<std::string> GameStarts();

    TempDir work;          // setup.exe's current folder
    TempDir gameRoot;
    std::string gameFolder, gameExe;
    SetupRun run;
    HWND menu = NULL;
    std::unique_ptr<TestKey> gameKey, uninstallKey;
};
