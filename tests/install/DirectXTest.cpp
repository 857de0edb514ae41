// DirectX at the end of an install: the version found by probing its parts,
// the setup decision and every setup outcome through a stand-in DSETUP.dll
// beside the tests, the completion or the restart offer. Wine has DirectX
// 8.1; a child run of a test with some of Wine's libraries switched off sees
// an older one.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>
#include <cstdio>
#include <string>
#include <vector>
#include "base/Messages.h"
#include "install/DirectX.h"
#include "install/InstallConfig.h"
#include "support/BoxAnswerer.h"
#include "support/CdDrive.h"
#include "support/Files.h"
#include "support/Process.h"
#include "support/Registry.h"
#include "support/TempDir.h"

namespace {

// Runs `exe` (beside this program) with Wine's `dlls` switched off for it alone; its exit code.
DWORD RunWithout(const std::string& exe, std::vector<std::string> dlls, const std::string& arguments = "") {
    const std::string app = "Software\\Wine\\AppDefaults\\" + exe;
    TestKey overrides(HKEY_CURRENT_USER, app);
    for (const std::string& dll : dlls)
        SHSetValueA(HKEY_CURRENT_USER, (app + "\\DllOverrides").c_str(), dll.c_str(), REG_SZ, "", 1);
    ProgramRun run;
    EXPECT_TRUE(run.Start(ProgramFolder() + "\\" + exe, ProgramFolder(), arguments));
    return run.Wait(120000);
}

// In the test program: runs the current test again where DirectX 8.0 is
// found (dpnhpast.dll switched off), expects it to pass, and returns false.
// In that child: true, and the test's body runs.
bool InDirectX80Child() {
    if (GetEnvironmentVariableA("DIRECTX_TEST_CHILD", NULL, 0)) return true;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    SetEnvironmentVariableA("DIRECTX_TEST_CHILD", "1");
    EXPECT_EQ(0u, RunWithout("directx_tests.exe", {"dpnhpast"},
                             std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name()))
        << "the child run of this test failed";
    SetEnvironmentVariableA("DIRECTX_TEST_CHILD", NULL);
    return false;
}

// Points the stand-in DSETUP.dll at a log of its calls and a result.
struct FakeSetup {
    explicit FakeSetup(int result) {
        SetEnvironmentVariableA("FAKE_DSETUP_RESULT", std::to_string(result).c_str());
        SetEnvironmentVariableA("FAKE_DSETUP_LOG", (dir / "log").c_str());
    }
    std::string Calls() const { return ReadBytes(dir / "log"); }  // "owner|root|flags" lines
    TempDir dir;
};

TEST(DirectX, TheVersionIsThatOfTheFirstMissingPart) {
    const struct {
        std::vector<std::string> off;
        unsigned version;
    } levels[] = {{{}, 0x801},       {{"ddraw"}, 0x000}, {{"dinput"}, 0x200},          {{"dmusic"}, 0x600},
                  {{"d3d8"}, 0x700}, {{"dpnhpast"}, 0x800}, {{"dinput", "d3d8"}, 0x200}};
    for (const auto& level : levels) EXPECT_EQ(level.version, RunWithout("directx_testprobe.exe", level.off));
}

TEST(DirectX, EverySetupOutcomeEndsTheInstallAsItShould) {
    if (!InDirectX80Child()) {  // here, with DirectX 8.1, nothing is set up
        FakeSetup setup(1);
        BoxAnswerer question(kCaptionInstall, {IDYES});
        EXPECT_EQ(0, InstallConfig().SetupDirectX());
        EXPECT_EQ(std::vector<std::string>{kMsgAskDirectX}, question.Texts());
        EXPECT_EQ("", setup.Calls());
        return;
    }
    TempDir disc;
    CreateDirectoryA((disc / "directX").c_str(), NULL);
    ASSERT_TRUE(MapCdDrive('U', disc.Path()));
    const struct {
        int answer, result;
        const char* error;  // the message of the result, if it has one
        bool noLibrary;     // DSETUP.dll is not there
    } outcomes[] = {
        {IDNO, 1, NULL},                     {IDYES, 0, NULL},
        {IDYES, -16, kMsgDxUnsupportedCpu},  {IDYES, -15, kMsgDxNotAdmin},
        {IDYES, -13, kMsgDxNotPreinstalled}, {IDYES, -12, kMsgDxCancelled},
        {IDYES, -11, kMsgDxUnknownOs},       {IDYES, -9, kMsgDxInternal},
        {IDYES, -6, kMsgDxNoDiskSpace},      {IDYES, -1, kMsgDxBadWindows},
        {IDYES, -14, NULL}, {IDYES, -2, NULL}, {IDYES, -17, NULL}, {IDYES, 2, NULL}, {IDYES, -1, NULL, true},
        {IDYES, 1, NULL},  // the last: a restart is wanted
    };
    const std::string library = ProgramFolder() + "\\DSETUP.dll", away = library + ".away";
    InstallConfig config;
    config.ownerWindow = GetDesktopWindow();
    for (const auto& outcome : outcomes) {
        SCOPED_TRACE(outcome.result);
        FakeSetup setup(outcome.result);
        BoxAnswerer question(kCaptionInstall, {outcome.answer});
        BoxAnswerer error(kCaptionDirectXError, {IDOK});
        BoxAnswerer finished(kCaptionConfirm, {IDOK});
        BoxAnswerer restart("再起動", {IDNO});  // the system's restart dialog; Yes would end the session
        if (outcome.noLibrary) MoveFileA(library.c_str(), away.c_str());
        const int wantsRestart = config.SetupDirectX();
        if (outcome.noLibrary) MoveFileA(away.c_str(), library.c_str());
        config.FinishInstall(wantsRestart);
        const bool ran = outcome.answer == IDYES && !outcome.noLibrary, restarts = ran && outcome.result == 1;
        char call[128];
        snprintf(call, sizeof call, "%p|U:\\directX|02010018\n", (void*)config.ownerWindow);
        EXPECT_EQ(ran ? call : "", setup.Calls());
        EXPECT_EQ(restarts, wantsRestart);
        EXPECT_EQ(outcome.error ? std::vector<std::string>{outcome.error} : std::vector<std::string>(), error.Texts());
        EXPECT_EQ(restarts ? 0 : 1, finished.Answered());
        EXPECT_EQ(restarts ? 1 : 0, restart.Answered());
    }
    UnmapDrive('U');
}

TEST(DirectX, AShellLibraryWithoutTheRestartDialogAsksItselfAMissingOneShowsNothing) {
    BoxAnswerer question(kCaptionConfirm, {IDNO});
    OfferRestart(NULL, (ProgramFolder() + "\\DSETUP.dll").c_str());
    OfferRestart(NULL, "no-such-shell-library.dll");  // a box here would be one nobody expects
    EXPECT_EQ(std::vector<std::string>{kMsgAskRestart}, question.Texts());
}

}  // namespace
