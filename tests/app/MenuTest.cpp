// setup.exe as the user meets it, run in a scratch folder holding install.ini and the menu's
// pictures, with the product's two registry records on demand.
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <memory>
#include "resources/resource.h"
#include "support/Files.h"
#include "support/Process.h"
#include "support/Registry.h"
#include "support/TempDir.h"

namespace {

struct Picture {
    const char* name;
    int width, height;
    COLORREF colour;
    bool png;  // PNG content under the .JPG name
};
const Picture kBackground = {"install_back.JPG", 300, 260, RGB(40, 80, 200), false};
// INSTALL, GAME, UNINSTALL: the normal and the pressed picture.
const Picture kButtons[3][2] = {
    {{"install_btn01.JPG", 120, 30, RGB(220, 30, 30), false}, {"install_btn02.JPG", 120, 30, RGB(30, 200, 30), true}},
    {{"start_btn01.JPG", 100, 26, RGB(230, 200, 20), false}, {"start_btn02.JPG", 100, 26, RGB(20, 180, 220), false}},
    {{"uninstall_btn01.JPG", 110, 28, RGB(200, 40, 200), false}, {"uninstall_btn02.JPG", 110, 28, RGB(250, 140, 0), true}},
};
const char kMenuTitle[] = "メニュー試験 インストーラー (Ver.1.02)";
const char kGameKey[] = "SOFTWARE\\MenuMaker\\MENUTEST";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MENUTEST";

const int kIds[3] = {IDC_MENU_INSTALL, IDC_MENU_GAME, IDC_MENU_UNINSTALL};

// Waits until the screen shows `expected` at `at`, each channel within 24.
bool Shows(POINT at, COLORREF expected) {
    for (int waited = 0; waited <= 3000; waited += 50, Sleep(50)) {
        HDC screen = GetDC(NULL);
        COLORREF c = GetPixel(screen, at.x, at.y);
        ReleaseDC(NULL, screen);
        if (c != CLR_INVALID && abs(GetRValue(c) - GetRValue(expected)) <= 24 &&
            abs(GetGValue(c) - GetGValue(expected)) <= 24 && abs(GetBValue(c) - GetBValue(expected)) <= 24)
            return true;
    }
    return false;
}

const char* const kTempFiles[] = {"install.pak", "DSETUP.dll", "dsetup32.dll"};

std::string Lower(std::string text) { return CharLowerBuffA(&text[0], (DWORD)text.size()), text; }

std::string WininitPath() {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\WININIT.INI";
}

const char kSessionManager[] = "System\\CurrentControlSet\\Control\\Session Manager";

// What the system will delete at the next restart, in lower case: the NT
// family's pending file operations or the 95 family's WININIT.INI.
std::string ScheduledDeletions(bool nt) {
    if (!nt) return Lower(ReadBytes(WininitPath()));
    std::string data(65536, '\0');
    DWORD size = (DWORD)data.size();
    if (SHGetValueA(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations", NULL, &data[0], &size)) size = 0;
    return Lower(data.substr(0, size));
}

void ForgetScheduledDeletions() {
    SHDeleteValueA(HKEY_LOCAL_MACHINE, kSessionManager, "PendingFileRenameOperations");
    DeleteFileA(WininitPath().c_str());
}

}  // namespace

class MenuTest : public ::testing::Test {
protected:
    void SetUp() override { WriteMenu(); }
    void WriteMenu() {  // install.ini and every picture
        work.Write("install.ini", "[install]\r\nName=MENUTEST\r\nTitle=メニュー試験\r\nBrand=MenuMaker\r\nExec=Game.exe\r\n"
                   "InstallPath=Game\r\nDataPath=Data\r\nVersion=1.02\r\n[TYPE1]\r\ntitle=標準\r\nfile=DISC1:Data\r\nsize=1\r\n");
        WritePicture(kBackground);
        for (const auto& pictures : kButtons) WritePicture(pictures[0]), WritePicture(pictures[1]);
    }
    void TearDown() override { DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\MenuMaker"); }
    std::string Drawn(const Picture& p) {  // by tests/gfx/make-pictures.sh, named WxH-R,G,B.jpg (or .png)
        char name[64];
        sprintf(name, "/menu/%dx%d-%d,%d,%d.%s", p.width, p.height, GetRValue(p.colour), GetGValue(p.colour),
                GetBValue(p.colour), p.png ? "png" : "jpg");
        return ReadBytes(PICTURES + std::string(name));
    }
    void WritePicture(const Picture& p) { work.Write(p.name, Drawn(p)); }
    void WriteBrokenPng(const char* name) {  // cut off after its header: libpng fails to read it
        work.Write(name, Drawn(kButtons[0][1]).substr(0, 40));
    }
    // The game key (naming no game: GAME's start is the journeys' business), the uninstall entry.
    void Record(bool gameKey, bool uninstallEntry) {
        game.reset();  // first: the old key's destructor removes the key
        entry.reset();
        if (gameKey) game.reset(new TestKey(HKEY_LOCAL_MACHINE, kGameKey));
        if (uninstallEntry) entry.reset(new TestKey(HKEY_LOCAL_MACHINE, kUninstallKey));
    }
    HWND Start(const std::string& exe = ProgramFolder() + "\\setup.exe") {
        run.reset(new ProgramRun);
        EXPECT_TRUE(run->Start(exe, work.Path()));
        HWND menu = run->WaitForWindow(kMenuTitle);
        EXPECT_TRUE(menu) << "no menu\n" << run->Describe();
        return menu;
    }

    TempDir work;
    std::unique_ptr<TestKey> game, entry;
    std::unique_ptr<ProgramRun> run;
};

// Installed means both records: INSTALL alone otherwise, GAME and UNINSTALL
// then. GAME without the game key does nothing; Escape and the close box end with 0.
TEST_F(MenuTest, ButtonsFollowTheTwoRecords) {
    for (int records = 0; records < 4; records++) {
        SCOPED_TRACE(records);
        Record(records & 1, records & 2);
        HWND menu = Start();
        ASSERT_TRUE(menu);
        for (int i = 0; i < 3; i++)
            EXPECT_EQ(i == 0 ? records != 3 : records == 3, IsWindowVisible(GetDlgItem(menu, kIds[i])) != FALSE) << i;
        PostMessageA(menu, WM_COMMAND, IDC_MENU_GAME, 0);
        EXPECT_EQ(records & 1 ? 1u : ProgramRun::kStillRunning, run->Wait(700));
        if (records & 1) continue;
        PostMessageA(menu, records == 0 ? WM_KEYDOWN : WM_SYSCOMMAND, records == 0 ? VK_ESCAPE : SC_CLOSE, 0);
        EXPECT_EQ(0u, run->Wait());
    }
}

// The window is the background's size, each button its normal picture's, at
// its place; a held button shows its pressed picture; every draw reads the file anew.
TEST_F(MenuTest, PicturesAreDrawnFromTheirFiles) {
    const POINT places[3] = {{13, 163}, {27, 192}, {41, 221}};
    for (bool installed : {false, true}) {
        Record(installed, installed);
        HWND menu = Start();
        ASSERT_TRUE(menu);
        RECT client;
        GetClientRect(menu, &client);
        EXPECT_EQ(std::make_pair(kBackground.width, kBackground.height), std::make_pair((int)client.right, (int)client.bottom));
        POINT corner = {client.right - 4, 4};
        ClientToScreen(menu, &corner);
        EXPECT_TRUE(Shows(corner, kBackground.colour));
        for (int i = 0; i < 3; i++) {
            SCOPED_TRACE(kButtons[i][0].name);
            HWND button = GetDlgItem(menu, kIds[i]);
            RECT r;
            GetWindowRect(button, &r);
            MapWindowPoints(NULL, menu, (POINT*)&r, 2);
            EXPECT_EQ(std::make_tuple(places[i].x, places[i].y, kButtons[i][0].width, kButtons[i][0].height),
                      std::make_tuple(r.left, r.top, r.right - r.left, r.bottom - r.top));
            if (!IsWindowVisible(button)) continue;
            POINT centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            ClientToScreen(menu, &centre);
            EXPECT_TRUE(Shows(centre, kButtons[i][0].colour));
            SendMessageA(button, BM_SETSTATE, TRUE, 0);
            EXPECT_TRUE(Shows(centre, kButtons[i][1].colour));
            Picture recoloured = kButtons[i][0];
            recoloured.colour = RGB(250, 250, 250);
            WritePicture(recoloured);
            SendMessageA(button, BM_SETSTATE, FALSE, 0);
            EXPECT_TRUE(Shows(centre, recoloured.colour));
            WritePicture(kButtons[i][0]);
        }
        PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_EQ(0u, run->Wait());
    }
}

// An error while the menu opens or draws a button, or Abort at the prompt for a missing install.ini:
// one report, the temporary folder cleaned up all the same (a read-only file too), exit code 0.
TEST_F(MenuTest, AnErrorIsReportedOnceAndTheCleanUpStillRuns) {
    const char* const cases[] = {"broken background", "broken pressed picture", "no install.ini"};
    for (int c = 0; c < 3; c++) {
        SCOPED_TRACE(cases[c]);
        WriteMenu();
        for (const char* name : kTempFiles) ASSERT_TRUE(WriteBytes(TempFolder() + name, "x"));
        ASSERT_TRUE(WriteBytes(TempFolder() + "keep.dll", "x"));
        SetFileAttributesA((TempFolder() + "install.pak").c_str(), FILE_ATTRIBUTE_READONLY);
        run.reset(new ProgramRun);
        if (c == 0) WriteBrokenPng(kBackground.name);
        if (c == 1) Record(true, true), WriteBrokenPng(kButtons[1][1].name);
        if (c == 2) DeleteFileA((work / "install.ini").c_str());
        ASSERT_TRUE(run->Start(ProgramFolder() + "\\setup.exe", work.Path()));
        if (c == 1) SendMessageTimeoutA(GetDlgItem(run->WaitForWindow(kMenuTitle), IDC_MENU_GAME), BM_SETSTATE, TRUE, 0,
                                        SMTO_NORMAL, 200, NULL);
        if (c == 2) ClickDialogButton(run->WaitForBox("読み込みエラー"), IDABORT);
        HWND box = run->WaitForBox("エラー");
        ASSERT_TRUE(box) << run->Describe();
        EXPECT_EQ(0u, BoxText(box).find("エラーが発生しました。\nCode 0x")) << BoxText(box);
        EXPECT_TRUE(c != 0 || BoxText(box).find(":ＣＧファイルフォーマット : Read Error") != std::string::npos);
        ClickDialogButton(box, IDOK);
        WaitUntilGone(box);
        EXPECT_FALSE(run->WaitForBox(NULL, 1000)) << "a second report";
        EXPECT_EQ(0u, run->Wait());
        for (const char* name : kTempFiles) EXPECT_FALSE(Exists(TempFolder() + name)) << name;
        EXPECT_TRUE(DeleteFileA((TempFolder() + "keep.dll").c_str()));
    }
}

TEST_F(MenuTest, MenuThatCannotOpenEndsWithMinusOne) {
    const std::string copy = work / "broken.exe";
    ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\setup.exe").c_str(), copy.c_str(), FALSE));
    HANDLE update = BeginUpdateResourceA(copy.c_str(), TRUE);  // all resources gone: no menu template
    ASSERT_TRUE(update && EndUpdateResourceA(update, FALSE));
    run.reset(new ProgramRun);
    ASSERT_TRUE(run->Start(copy, work.Path()));
    EXPECT_EQ((DWORD)-1, run->Wait()) << run->Describe();
}

// At the next restart the NT family deletes the temporary folder's setup.exe, wherever the running
// program lies; the 95 family the running program's own file, added to WININIT.INI's [rename].
TEST_F(MenuTest, TheInstallersCopyIsDeletedAtTheNextRestart) {
    const std::string copy = TempFolder() + "setup.exe", bin = ProgramFolder() + "\\setup.exe";
    ASSERT_TRUE(CopyFileA(bin.c_str(), copy.c_str(), FALSE));
    for (bool nt : {true, false}) {
        SCOPED_TRACE(nt ? "NT family" : "95 family");
        TestKey version(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\setup.exe");  // Wine's, for setup.exe
        if (!nt) version.SetString("Version", "win98");
        for (const std::string& exe : {copy, bin}) {
            ForgetScheduledDeletions();
            EXPECT_TRUE(nt || WriteBytes(WininitPath(), "[rename]\r\nnul=C:\\OLD.EXE\r\n"));
            HWND menu = Start(exe);
            ASSERT_TRUE(menu);
            PostMessageA(menu, WM_COMMAND, IDCANCEL, 0);
            EXPECT_EQ(0u, run->Wait());
            const std::string scheduled = ScheduledDeletions(nt);
            char shortPath[MAX_PATH] = "";
            GetShortPathNameA(exe.c_str(), shortPath, MAX_PATH);
            EXPECT_NE(std::string::npos, scheduled.find(Lower(nt ? copy : std::string("nul=") + shortPath))) << scheduled;
            EXPECT_TRUE(nt || (scheduled.find("[rename]") == 0 && scheduled.find("nul=c:\\old.exe\r\n") != std::string::npos))
                << "WININIT.INI's lines stay: " << scheduled;
            EXPECT_EQ(std::string::npos, ScheduledDeletions(!nt).find("setup")) << "the other family's way";
        }
    }
    ForgetScheduledDeletions();
    DeleteFileA(copy.c_str());
}
