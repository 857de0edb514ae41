// Installs that stop: a cancel in each wizard dialog and at the disc prompt,
// and a type larger than the target drive's free space.
#include "InstalledState.h"
#include "Journey.h"
#include "resources/resource.h"
#include "support/TempDir.h"

// One menu session, one stop after the other: each ends in the one message,
// leaves no trace and gives the menu back with INSTALL.
TEST_F(JourneyTest, EveryCancelStopsWithOneMessageAndLeavesNothing) {
    const std::string folder = InstallFolderIn(ProgramFilesFolder());
    Insert(SampleDisc(1));
    SetupRun run;
    HWND menu = StartSetup(run);
    ASSERT_TRUE(menu);
    auto expectStopped = [&](const char* where) {
        SCOPED_TRACE(where);
        EXPECT_EQ(kTextStopped, Answer(run, kBoxConfirm, IDOK));
        WaitForMenuReady(menu);
        EXPECT_TRUE(Visible(menu, IDC_MENU_INSTALL));
        ExpectNothingInstalled(folder);
    };

    PressButton(menu, IDC_MENU_INSTALL);
    Press(Step(run, IDC_FOLDER_EDIT), IDCANCEL);
    expectStopped("folder dialog");

    PressButton(menu, IDC_MENU_INSTALL);
    Press(Step(run, IDC_FOLDER_EDIT), IDOK);
    Press(Step(run, IDC_TYPE_FIRST), IDCANCEL);
    expectStopped("type dialog");

    Press(WalkToConfirmation(run, menu, kMinimalType), IDCANCEL);
    expectStopped("confirmation");

    Press(WalkToConfirmation(run, menu, kFullType), IDOK);
    HWND prompt = run.WaitForDialog(kBoxInsertDisc, true, 60000);
    ASSERT_TRUE(prompt) << run.Describe();
    EXPECT_TRUE(FileExistsAt(folder + "\\Manual.txt")) << "disc 1's files are copied before the prompt";
    Press(prompt, IDCANCEL);
    expectStopped("disc prompt");

    PostMessageA(menu, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(0u, run.Wait());
}

// The sample's full type made to need more than any test machine has: the
// space check refuses it, and the folder dialog comes back, then the type
// dialog with its first type selected again.
TEST_F(JourneyTest, TypeLargerThanTheFreeSpaceIsRefusedAndTheFolderIsAskedAgain) {
    TempDir scratch;
    const std::string disc = scratch / "disc1";
    ASSERT_TRUE(CopyTree(SampleDisc(1), disc));
    std::string ini = ReadFileBytes(disc + "\\install.ini");
    const size_t size = ini.find("size=40\r\n");
    ASSERT_NE(std::string::npos, size);
    ini.replace(size, 7, "size=4000000");    // about 3.8 TiB
    scratch.Write("disc1\\install.ini", ini);
    const std::string folder = InstallFolderIn(ProgramFilesFolder());

    Insert(disc);
    SetupRun run;
    HWND menu = StartSetup(run);
    ASSERT_TRUE(menu);
    PressButton(menu, IDC_MENU_INSTALL);
    Press(Step(run, IDC_FOLDER_EDIT), IDOK);
    Press(Step(run, IDC_TYPE_FIRST), IDOK);
    EXPECT_EQ("空き容量が足りません。", Answer(run, kBoxConfirm, IDOK));
    Press(Step(run, IDC_FOLDER_EDIT), IDOK);
    HWND types = Step(run, IDC_TYPE_FIRST);
    ASSERT_TRUE(types);
    EXPECT_EQ(BST_CHECKED, SendMessageA(GetDlgItem(types, IDC_TYPE_FIRST), BM_GETCHECK, 0, 0));
    Press(types, IDCANCEL);
    EXPECT_EQ(kTextStopped, Answer(run, kBoxConfirm, IDOK));
    ExpectNothingInstalled(folder);
    PostMessageA(menu, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(0u, run.Wait());
}
