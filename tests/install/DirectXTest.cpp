// DirectX detection, setup through the stand-in DSETUP.dll, and the end of
// the install. Wine has every DirectX component, so the setup cases run this
// test again in a child process where dpnhpast.dll is switched off: there
// DirectX 8.0 is detected and setup runs.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include <string>
#include "ChildProcess.h"
#include "install/InstallConfig.h"
#include "install/DirectX.h"
#include "support/BoxAnswerer.h"
#include "support/CdDrive.h"
#include "support/TempDir.h"

namespace {

const char kSetupError[] = "DirectX インストールエラー";
const char kConfirm[] = "確認";
const char kQuestion[] = "install";
const char kFinished[] = "インストールが終了しました。";

// In the parent: runs the current test again in a child where dpnhpast.dll
// (and `alsoOff`) is switched off, expects it to pass, and returns false.
// In that child: true, and the test's body runs.
bool InDirectX80Child(const char* alsoOff = NULL) {
    if (GetEnvironmentVariableA("DIRECTX_TEST_CHILD", NULL, 0)) return true;
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string command = "\"" + BesideExecutable("directx_tests.exe") + "\" --gtest_filter=" +
                                test->test_suite_name() + "." + test->name();
    std::vector<std::string> off = {"dpnhpast"};
    if (alsoOff) off.push_back(alsoOff);
    DllsSwitchedOff switched("directx_tests.exe", off);
    const ChildRun run = RunChild(command, "DIRECTX_TEST_CHILD", "1");
    EXPECT_TRUE(run.started);
    EXPECT_EQ(0u, run.exitCode) << "the child run of this test failed";
    return false;
}

// Points the stand-in DSETUP.dll at a log file and a result code.
class FakeSetup {
public:
    explicit FakeSetup(int result) : m_log(m_dir / "dsetup.log") {
        SetEnvironmentVariableA("FAKE_DSETUP_LOG", m_log.c_str());
        SetEnvironmentVariableA("FAKE_DSETUP_RESULT", std::to_string(result).c_str());
    }
    ~FakeSetup() {
        SetEnvironmentVariableA("FAKE_DSETUP_LOG", NULL);
        SetEnvironmentVariableA("FAKE_DSETUP_RESULT", NULL);
    }
    FakeSetup(const FakeSetup&) = delete;
    FakeSetup& operator=(const FakeSetup&) = delete;
    void SetResult(int result) { SetEnvironmentVariableA("FAKE_DSETUP_RESULT", std::to_string(result).c_str()); }
    // "owner|root|flags" lines, one per call.
    std::string Calls() const { return m_dir.Read("dsetup.log"); }

private:
    TempDir m_dir;
    std::string m_log;
};

// Answers the next dialog box of this process, whatever its caption, with
// `button`; records its caption and text.
struct AnyBox {
    std::string caption, text;
    bool seen = false;
};

AnyBox AnswerAnyBox(int button, int timeoutMs) {
    AnyBox box;
    for (int waited = 0; waited < timeoutMs && !box.seen; waited += 50) {
        Sleep(50);
        HWND window = NULL;
        while ((window = FindWindowExA(NULL, window, "#32770", NULL)) != NULL) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process != GetCurrentProcessId() || !IsWindowVisible(window)) continue;
            box.caption = WindowText(window);
            box.text = WindowText(GetDlgItem(window, 0xFFFF));
            box.seen = true;
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
            break;
        }
    }
    return box;
}

}  // namespace

// ---- GetDirectXVersion in child processes with components switched off ----

TEST(DirectXVersion, EachMissingComponentGivesItsLevelAndDebugText) {
    const struct {
        std::vector<std::string> off;
        unsigned version;
        const char* text;
    } levels[] = {
        {{}, 0x801, NULL},
        {{"ddraw"}, 0x000, "Couldn't LoadLibrary DDraw\r\n"},
        {{"dinput"}, 0x200, "Couldn't LoadLibrary DInput\r\n"},
        {{"dmusic"}, 0x600, "Couldn't create CLSID_DirectMusic\r\n"},
        {{"d3d8"}, 0x700, "Couldn't LoadLibrary D3D8.DLL\r\n"},
        {{"dpnhpast"}, 0x800, "Couldn't LoadLibrary dpnhpast.dll\r\n"},
        {{"dinput", "d3d8"}, 0x200, "Couldn't LoadLibrary DInput\r\n"},
    };
    const std::string probe = "\"" + BesideExecutable("directx_testprobe.exe") + "\"";
    for (const auto& level : levels) {
        DllsSwitchedOff switched("directx_testprobe.exe", level.off);
        const ChildRun run = RunDebugged(probe);
        ASSERT_TRUE(run.started);
        EXPECT_EQ(level.version, run.exitCode) << level.version;
        std::vector<std::string> ours;
        for (const std::string& text : run.debugTexts)
            if (text.compare(0, 8, "Couldn't") == 0) ours.push_back(text);
        if (level.text) {
            ASSERT_EQ(1u, ours.size()) << level.version;
            EXPECT_EQ(level.text, ours[0]);
        } else {
            EXPECT_TRUE(ours.empty());
        }
    }
}

TEST(DirectXVersion, WineHasDirectX81) { EXPECT_EQ(0x801u, GetDirectXVersion()); }

// ---- SetupDirectX ----

TEST(SetupDirectX, WithDirectX81NothingIsInstalled) {
    FakeSetup setup(1);
    InstallConfig config;
    BoxAnswerer question(kQuestion, {IDYES});
    EXPECT_EQ(0, config.SetupDirectX());
    EXPECT_EQ(1, question.Answered());
    EXPECT_EQ("", setup.Calls());
}

TEST(SetupDirectX, NoSkipsSetupAndTheInstallEndsNormally) {
    if (!InDirectX80Child()) return;
    ASSERT_EQ(0x800u, GetDirectXVersion());
    FakeSetup setup(1);
    InstallConfig config;
    BoxAnswerer question(kQuestion, {IDNO});
    BoxAnswerer finished(kConfirm, {IDOK});
    const int restart = config.SetupDirectX();
    EXPECT_EQ(0, restart);
    config.FinishInstall(restart);
    ASSERT_EQ(1, question.Answered());
    EXPECT_EQ("DirectXをインストールしますか？", question.Texts()[0]);
    EXPECT_EQ("", setup.Calls());
    ASSERT_EQ(1, finished.Answered());
    EXPECT_EQ(kFinished, finished.Texts()[0]);
}

TEST(SetupDirectX, SetupRunsOnTheDiscsRedistributableAndResultOneOffersARestart) {
    if (!InDirectX80Child()) return;
    TempDir disc;
    CreateDirectoryA((disc / "directX").c_str(), NULL);
    ASSERT_TRUE(MapCdDrive('R', disc.Path()));
    FakeSetup setup(1);
    InstallConfig config;
    config.ownerWindow = GetDesktopWindow();
    BoxAnswerer question(kQuestion, {IDYES});
    BoxAnswerer fallback(kConfirm, {IDNO});
    const int restart = config.SetupDirectX();
    UnmapDrive('R');
    EXPECT_EQ(1, restart);
    char expected[128];
    sprintf(expected, "%p|R:\\directX|02010018\n", (void*)config.ownerWindow);
    EXPECT_EQ(expected, setup.Calls());

    // The system's restart dialog: Wine's shows its own question under
    // "再起動". Never answered Yes here: that would end the Wine session.
    BoxAnswerer system("再起動", {IDNO});
    config.FinishInstall(restart);
    EXPECT_EQ(1, system.Answered());
    EXPECT_EQ(0, fallback.Answered());
}

TEST(SetupDirectX, EveryErrorOfTheTableShowsItsMessage) {
    if (!InDirectX80Child()) return;
    const struct {
        int result;
        const char* text;
    } errors[] = {
        {-16, "サポートされていない CPU です。DirectX 8 では、Pentium または K6 互換プロセッサおよびこれら以降のプロセッサのみのサポートになっております。"},
        {-15, "ユーザーが管理者権限を持っておりません。セットアップの際には管理者権限が必要です。 "},
        {-13, "システムの Windows のバージョンに、DirectX の最新バージョンが含まれていません。DirectX の古いバージョンが存在するか、DirectX のどのバージョンも存在しないか、どちらかの可能性があります。"},
        {-12, "中断されました。"},
        {-11, "サポートされていないバージョンのオペレーティング システムです。"},
        {-9, "内部エラーが発生した。"},
        {-6, "ディスク領域が足りません。"},
        {-1, "DirectX ではサポートされない Windows です。"},
    };
    FakeSetup setup(0);
    InstallConfig config;
    for (const auto& error : errors) {
        setup.SetResult(error.result);
        BoxAnswerer question(kQuestion, {IDYES});
        BoxAnswerer message(kSetupError, {IDOK});
        BoxAnswerer finished(kConfirm, {IDOK});
        const int restart = config.SetupDirectX();
        EXPECT_EQ(0, restart) << error.result;
        config.FinishInstall(restart);
        ASSERT_EQ(1, message.Answered()) << error.result;
        EXPECT_EQ(error.text, message.Texts()[0]);
        ASSERT_EQ(1, finished.Answered()) << error.result;
        EXPECT_EQ(kFinished, finished.Texts()[0]);
    }
}

TEST(SetupDirectX, OtherResultsPassSilently) {
    if (!InDirectX80Child()) return;
    FakeSetup setup(0);
    InstallConfig config;
    BoxAnswerer message(kSetupError, {IDOK});
    for (int result : {0, -14, -10, -8, -7, -5, -4, -3, -2, -17, -1000, 2, 3}) {
        setup.SetResult(result);
        BoxAnswerer question(kQuestion, {IDYES});
        EXPECT_EQ(0, config.SetupDirectX()) << result;
        EXPECT_EQ(1, question.Answered());
    }
    EXPECT_EQ(0, message.Answered());
    EXPECT_NE(std::string::npos, setup.Calls().find("|02010018"));
}

TEST(SetupDirectX, WithoutTheSetupLibraryTheInstallStillEndsNormally) {
    if (!InDirectX80Child("dsetup")) return;
    FakeSetup setup(-1);
    InstallConfig config;
    BoxAnswerer question(kQuestion, {IDYES});
    BoxAnswerer message(kSetupError, {IDOK});
    BoxAnswerer finished(kConfirm, {IDOK});
    const int restart = config.SetupDirectX();
    EXPECT_EQ(0, restart);
    config.FinishInstall(restart);
    EXPECT_EQ(1, question.Answered());
    EXPECT_EQ(0, message.Answered());
    EXPECT_EQ("", setup.Calls());
    ASSERT_EQ(1, finished.Answered());
    EXPECT_EQ(kFinished, finished.Texts()[0]);
}

// ---- the restart offer without the system's restart dialog ----

TEST(OfferRestart, ALibraryWithoutTheRestartDialogLeadsToOurOwnQuestion) {
    BoxAnswerer question(kConfirm, {IDNO});
    OfferRestart(NULL, BesideExecutable("DSETUP.dll").c_str());
    ASSERT_EQ(1, question.Answered());
    EXPECT_EQ("再起動が必要ですが、今再起動しますか？", question.Texts()[0]);
}

TEST(OfferRestart, AMissingLibraryShowsNothing) {
    BoxAnswerer question(kConfirm, {IDNO});
    OfferRestart(NULL, "no-such-shell-library.dll");
    const AnyBox box = AnswerAnyBox(IDNO, 500);
    EXPECT_FALSE(box.seen);
    EXPECT_EQ(0, question.Answered());
}
