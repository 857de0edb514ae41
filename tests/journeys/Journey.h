// Whole flows through the real setup.exe on the sample game's discs: the disc
// folder is mapped as CD-ROM drive K:, setup.exe runs from it as a child
// process, and the test presses its buttons and answers its boxes as a user
// would. Every journey starts and ends on a machine without the sample game;
// no other test program uses the sample's maker, keys or Start-menu folders.
#pragma once
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "support/Process.h"

// The sample's names and texts, as setup.exe shows them (Shift-JIS).
extern const char kMenuTitle[];       // "星空の約束 インストーラー (Ver.1.00)"
extern const char kGameTitle[];       // "星空の約束"
extern const char kGameKey[];         // HKLM SOFTWARE\SAMPLESOFT\HOSHIZORA
extern const char kUninstallKey[];    // HKLM ...\Uninstall\HOSHIZORA
extern const char kBoxConfirm[];      // "確認"
extern const char kTextStopped[];     // "インストールを中断します。"
extern const char kTextAskUninstall[];
extern const char kTextUninstalled[];
// A target folder with 0x5C trail bytes ("表", "ソ"), and another maker's name.
extern const char kOtherTarget[];
extern const char kOtherBrand[];

// The install types of the sample's install.ini: the type dialog's first and third.
enum SampleType { kFullType = 0, kMinimalType = 2 };

std::string SampleDisc(int number);   // the build's disc 1 or 2: copy before changing
std::string InstallFolderIn(const std::string& target);   // target\SAMPLESOFT\Hoshizora
std::string DefaultFolder();          // the same below the program-files folder
std::string ProgramsFolder();         // the Start menu's Programs folder
std::string StartMenuFolder();        // Programs\SAMPLESOFT\星空の約束

class JourneyTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Insert(const std::string& disc);      // maps it as drive K:
    // Starts K:\setup.exe in K:\ (as `setup`) and returns the menu titled `title`.
    HWND StartSetup(const char* title = kMenuTitle);
    HWND Step(int control);                    // a wizard dialog; fails the test after 30 s
    void Press(HWND dialog, int button);       // and waits until the dialog is gone
    // Waits for a box of any process with `caption`, presses `button`, returns its text.
    std::string Answer(const char* caption, int button, int timeoutMs = 30000);
    // INSTALL, the folder dialog (`target` typed in unless empty), the type
    // dialog with `type`; returns the confirmation dialog, left open.
    HWND WalkToConfirmation(HWND menu, int type, const std::string& target = "");
    // A whole install from the disc in K:, no disc swap; ends on the menu.
    void InstallFromDisc(HWND menu, int type, const std::string& target = "");
    void InstallSample(int type);               // in a run of its own, from disc 1
    void WaitForMenuReady(HWND menu);
    void CloseMenu(HWND menu);                  // its close box; setup.exe ends with 0
    static bool Visible(HWND menu, int button) { return IsWindowVisible(GetDlgItem(menu, button)) != FALSE; }

    // Files against the discs and the build's programs, records, Start menu.
    // Full: the three archives, voices, the manual, music and movies (35
    // files); minimal: game.pak's six files and the manual.
    void ExpectInstalled(const std::string& folder, int type);
    // No install folder nor the maker folder above it, no records, no Start-menu folder.
    void ExpectNothingInstalled(const std::string& folder);

    std::unique_ptr<ProgramRun> setup;
};
