// Whole installs through the real setup.exe on the sample game's discs: the
// disc folder is mapped as CD-ROM drive K:, setup.exe runs from it as a child
// process, and the test presses its buttons and answers its boxes as a user
// would. Every journey starts and ends on a machine without the sample game.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "app/SetupRunner.h"

// The sample's names and texts, as setup.exe shows them (Shift-JIS).
extern const char kMenuTitle[];        // "星空の約束 インストーラー (Ver.1.00)"
extern const char kGameTitle[];        // "星空の約束"
extern const char kGameKey[];          // HKLM SOFTWARE\SAMPLESOFT\HOSHIZORA
extern const char kUninstallKey[];     // HKLM ...\Uninstall\HOSHIZORA
extern const char kBoxConfirm[];       // "確認"
extern const char kBoxInsertDisc[];    // "Discを入れ替えてください"
extern const char kTextStopped[];      // "インストールを中断します。"
extern const char kTextFinished[];     // "インストールが終了しました。"

// A target folder other than the default, with 0x5C trail bytes ("表", "ソ").
extern const char kOtherTarget[];
// A maker's name a game.ini may give instead of the sample's ("ソ" again).
extern const char kOtherBrand[];

// The install types of the sample's install.ini, as the type dialog offers them.
enum SampleType { kFullType = 0, kStandardType = 1, kMinimalType = 2 };

// Windows path of the build's sample disc 1 or 2 (read only: copy before changing).
std::string SampleDisc(int number);
// The folder the folder dialog offers first: the program-files folder.
std::string ProgramFilesFolder();
// The install folder below a target folder: target\SAMPLESOFT\Hoshizora.
std::string InstallFolderIn(const std::string& target);
// Programs\SAMPLESOFT\星空の約束, the game's Start-menu folder.
std::string ProgramsFolder();
std::string StartMenuFolder();
// Copies a folder with everything below it; false on the first failure.
bool CopyTree(const std::string& from, const std::string& to);
bool KeyExists(HKEY root, const std::string& path);

class JourneyTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Maps `disc` (a Windows folder) as drive K:; fails the test when Wine refuses.
    void Insert(const std::string& disc);
    // Starts K:\setup.exe in K:\ and waits for the menu titled `title`.
    HWND StartSetup(SetupRun& run, const char* title = kMenuTitle);
    // A wizard dialog of the run that has `control`; NULL (test failed) after 30 s.
    HWND Step(SetupRun& run, int control);
    // Presses `button` and waits until `dialog` is gone.
    void Press(HWND dialog, int button);
    // Waits for a box with `caption`, presses `button`, returns its text.
    std::string Answer(SetupRun& run, const char* caption, int button, int timeoutMs = 30000);
    // INSTALL, then the folder dialog (target folder replaced when not empty)
    // and the type dialog; the confirmation dialog is left open.
    HWND WalkToConfirmation(SetupRun& run, HWND menu, int type, const std::string& target = "");
    // A whole install of `type` from the disc in K:, no disc swap: confirmation,
    // DirectX question answered No, the completion message; ends on the menu.
    void InstallFromDisc(SetupRun& run, HWND menu, int type, const std::string& target = "");
    // The sample installed with `type` into the default folder in a run of its own.
    void InstallSample(int type);

    // Waits until the menu is enabled again after an install or a stop.
    void WaitForMenuReady(HWND menu);
    bool Visible(HWND menu, int button) { return IsWindowVisible(GetDlgItem(menu, button)) != FALSE; }

    // The Windows path of the drive's root, "K:\".
    static std::string DriveRoot();
};
