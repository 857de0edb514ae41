// The copy step as the install sequence runs it: archives unpacked and files
// copied from discs mapped as Q:, disc prompts answered (and discs swapped),
// the progress dialog told by the worker through the relay.
#include "InstallKit.h"
#include <commctrl.h>
#include <thread>
#include "base/Messages.h"
#include "install/ProgressRelay.h"
#include "resources/resource.h"
#include "support/BoxAnswerer.h"
#include "support/CdDrive.h"
#include "support/DialogDriver.h"
#include "support/Files.h"

namespace {

std::string Format(const char* format, const char* a, const char* b = "") {
    char text[512];
    wsprintfA(text, format, a, b);
    return text;
}

void SwapDisc(void* disc) { MapCdDrive('Q', *(std::string*)disc); }

typedef CopyRun CopyWorker;

TEST_F(CopyWorker, UnpacksEveryVersionAndOnlyStoredBytesMoveTheBar) {
    const std::string disc = MakeDisc("disc1", "Disc1");
    Put(disc, "v0.pak", MakePak(0, {{"v0.txt", "zero"}}));
    Put(disc, "v1.pak", MakePak(1, {{"one\\s.dat", Pattern(3000)}, {"one\\c.dat", Pattern(5000, 3), true}}));
    Put(disc, "v2.pak", MakePak(2, {{"ソフト\\表.txt", "two", true}}));
    Insert(disc);
    ChooseType("v0.pak;v1.pak;v2.pak", "", 3);
    EXPECT_EQ(1, Run());
    EXPECT_EQ("zero", Installed("v0.txt"));
    EXPECT_EQ(Pattern(3000), Installed("one\\s.dat"));
    EXPECT_EQ(Pattern(5000, 3), Installed("one\\c.dat"));
    EXPECT_EQ("two", Installed("ソフト\\表.txt"));
    EXPECT_EQ(3 * 1024, log.rangeHigh);
    ExpectBarSteps({0, 2, 3 * 1024}, log.positions);  // 3000 stored bytes: 2 KiB
}

TEST_F(CopyWorker, CopiesFilesFoldersAndPatternsFromTwoDiscsAskingForTheSecond) {
    const std::string disc1 = MakeDisc("disc1", "Disc1"), disc2 = MakeDisc("disc2", "Disc2");
    Put(disc1, "readme.txt", "read me");
    Put(disc1, "bonus\\art.bmp", Pattern(70000));
    Put(disc1, "bonus\\deep\\notes.txt", "deep");
    Put(disc2, "movie\\op.mpg", Pattern(2048));
    Put(disc2, "voice\\v1.wav", "v1");
    Put(disc2, "skip.txt", "not listed");
    const std::string readOnly = disc1 + "\\DATA\\readme.txt";
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    Insert(disc1);
    ChooseType("", "Disc1:readme.txt;bonus;Disc2:movie\\*.*;voice\\*.*", 1);
    std::string next = disc2;
    BoxAnswerer prompts(kCaptionInsertDisc, {IDOK});
    prompts.BeforeAnswer(0, SwapDisc, &next);
    EXPECT_EQ(1, Run());
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(std::vector<std::string>{Format(kFmtInsertDisc, "ゲーム", "Disc2")}, prompts.Texts());
    EXPECT_EQ("read me", Installed("readme.txt"));
    EXPECT_EQ(0u, GetFileAttributesA((Folder() + "\\readme.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(Pattern(70000), Installed("bonus\\art.bmp"));
    EXPECT_EQ("deep", Installed("bonus\\deep\\notes.txt"));
    EXPECT_EQ(Pattern(2048), Installed("movie\\op.mpg"));
    EXPECT_EQ("v1", Installed("voice\\v1.wav"));
    EXPECT_FALSE(Exists(Folder() + "\\skip.txt"));
    ExpectBarSteps({0, 64, 68, 70, 1024}, log.positions);  // 70000 bytes in 64 KiB chunks, then op.mpg
    EXPECT_EQ(Folder() + "\\voice\\v1.wav", log.lastText);
}

// The first entry has no label, so no disc can carry it.
TEST_F(CopyWorker, CancelAtTheDiscPromptRemovesWhatWasCopiedAndTheMakersFolder) {
    const std::string disc1 = MakeDisc("disc1", "Disc1");
    Put(disc1, "game.pak", MakePak(0, {{"sub\\unpacked.txt", "x"}}));
    Put(disc1, "a.txt", "a");
    Insert(disc1);
    ChooseType("game.pak", "a.txt;Disc1:a.txt", 1);
    BoxAnswerer prompts(kCaptionInsertDisc, {IDOK, IDCANCEL});
    EXPECT_EQ(0, Run());
    EXPECT_EQ(std::vector<std::string>(2, Format(kFmtInsertDisc, "ゲーム", "")), prompts.Texts());
    EXPECT_FALSE(Exists(dir / "Program Files\\Maker 表"));
    EXPECT_TRUE(Exists(dir / "Program Files"));  // the folder the user chose stays
}

TEST_F(CopyWorker, AMissingArchiveAsksForTheFirstDiscUntilItIsThereOrTheUserCancels) {
    const std::string disc1 = MakeDisc("disc1", "Disc1");
    Put(disc1, "game.pak", MakePak(2, {{"a.txt", "a"}}));
    Insert(MakeDisc("other", "Other"));
    ChooseType("game.pak", "", 1);
    std::string next = disc1;
    {
        BoxAnswerer prompts(kCaptionWrongDisc, {IDOK, IDOK});
        prompts.BeforeAnswer(1, SwapDisc, &next);  // the wrong disc stays in at first
        EXPECT_EQ(1, Run());
        EXPECT_EQ(std::vector<std::string>(2, Format(kFmtWrongDisc, "ゲーム")), prompts.Texts());
    }
    EXPECT_EQ("a", Installed("a.txt"));
    UnmapDrive('Q');
    BoxAnswerer cancel(kCaptionWrongDisc, {IDCANCEL});
    EXPECT_EQ(0, Run());
    EXPECT_FALSE(Exists(Folder()));
}

TEST_F(CopyWorker, AnErrorInsideTheWorkerIsReportedOnceAndTheInstallFolderRemoved) {
    const std::string disc = MakeDisc("disc1", "Disc1");
    Put(disc, "good.pak", MakePak(1, {{"good.txt", "good"}}));
    Put(disc, "bad.pak", MakePak(1, {{"bad.dat", Pattern(4000), true, 4100}}));  // inflates short
    Insert(disc);
    ChooseType("good.pak;bad.pak", "", 1);
    BoxAnswerer errors(DefaultCaption().c_str(), {IDOK});
    EXPECT_EQ(0, Run());
    char report[512];
    wsprintfA(report, kFmtErrorReport, ERROR_INVALID_DATA, kMsgInflateFailed);
    EXPECT_EQ(std::vector<std::string>{report}, errors.Texts());
    EXPECT_FALSE(Exists(Folder()));
}

TEST_F(CopyWorker, TheWorkerWaitsForADialogThatAppearsLate) {
    ChooseType("", "", 2);
    EXPECT_EQ(1, Run(400));
    EXPECT_EQ(2048, log.rangeHigh);
    ExpectBarSteps({0, 2048}, log.positions);
}

// ---- the relay: the worker records and posts, and never waits for the dialog ----

ProgressRelay* g_relay = NULL;
int g_shown = 0;  // kMsgShowProgress handled

INT_PTR CALLBACK RelayDialog(HWND window, UINT message, WPARAM, LPARAM) {
    if (message != kMsgShowProgress) return message == WM_INITDIALOG;
    g_shown++;
    g_relay->Show(window);
    return TRUE;
}

TEST(Relay, TheWorkerNeverWaitsAndTheDialogShowsTheLatestState) {
    InitCommonControls();
    HWND dialog = CreateDialogParamA(NULL, MAKEINTRESOURCEA(IDD_INSTALL_PROGRESS), NULL, RelayDialog, 0);
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, 1000);
    auto bar = [&] { return SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0); };
    auto pump = [] { for (MSG m; PeekMessageA(&m, NULL, 0, 0, PM_REMOVE);) DispatchMessageA(&m); };
    ProgressRelay fast(0), slow(60000);
    g_relay = &fast;
    fast.Attach(dialog);
    std::thread([&] {  // this thread serves no messages meanwhile
        for (int i = 0; i < 500; i++) {
            fast.SetText(("C:\\file" + std::to_string(i)).c_str());
            fast.Advance(3);  // 1500 runs past the range's end
        }
    }).join();
    EXPECT_EQ(0, bar());
    pump();
    EXPECT_EQ(1, g_shown);  // a thousand updates merged into one message
    EXPECT_EQ("C:\\file499", DialogItemText(dialog, IDC_PROGRESS_TEXT));
    EXPECT_EQ(1000, bar());

    g_relay = &slow;  // a name alone waits for the interval, a bar step or a flush
    SendDlgItemMessageA(dialog, IDC_PROGRESS_BAR, PBM_SETPOS, 10, 0);
    slow.Attach(dialog);
    slow.Advance(0);
    slow.SetText("C:\\a.dat");  // the first name posts at once
    pump();
    slow.SetText("C:\\b.dat");
    pump();
    EXPECT_EQ("C:\\a.dat", DialogItemText(dialog, IDC_PROGRESS_TEXT));
    slow.Advance(1);  // a thousandth of the range
    pump();
    EXPECT_EQ("C:\\b.dat", DialogItemText(dialog, IDC_PROGRESS_TEXT));
    EXPECT_EQ(11, bar());
    slow.SetText("C:\\c.dat");
    slow.Flush();  // shown before it returns
    EXPECT_EQ("C:\\c.dat", DialogItemText(dialog, IDC_PROGRESS_TEXT));
    DestroyWindow(dialog);
}

}  // namespace
