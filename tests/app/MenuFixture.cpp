#include "MenuFixture.h"
#include "gfx/ImageFiles.h"

const Picture kBackground = {"install_back.JPG", 300, 260, RGB(40, 80, 200), false};
const Picture kNormal[3] = {
    {"install_btn01.JPG", 120, 30, RGB(220, 30, 30), false},
    {"start_btn01.JPG", 100, 26, RGB(230, 200, 20), false},
    {"uninstall_btn01.JPG", 110, 28, RGB(200, 40, 200), false},
};
const Picture kPressed[3] = {
    {"install_btn02.JPG", 120, 30, RGB(30, 200, 30), true},
    {"start_btn02.JPG", 100, 26, RGB(20, 180, 220), false},
    {"uninstall_btn02.JPG", 110, 28, RGB(250, 140, 0), true},
};
const char kProductName[] = "MENUTEST";
const char kMenuTitle[] = "メニュー試験 インストーラー (Ver.1.02)";

namespace {

const char kGameKey[] = "SOFTWARE\\MenuMaker\\MENUTEST";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MENUTEST";

unsigned Channel(COLORREF colour, int c) {
    return c == 0 ? GetRValue(colour) : c == 1 ? GetGValue(colour) : GetBValue(colour);
}

}  // namespace

void MenuFixture::SetUp() {
    SetEnvironmentVariableA("MENUTEST_EVENT", kProductName);
    // "表" is 0x95 0x5C: a byte scan for the last backslash would split it.
    gameFolder = gameRoot / "My 表ゲーム";
    ASSERT_TRUE(CreateDirectoryA(gameFolder.c_str(), NULL));
    gameExe = gameFolder + "\\Game.exe";
    ASSERT_TRUE(CopyFileA((ProgramFolder() + "\\testgame.exe").c_str(), gameExe.c_str(), FALSE));
    WriteConfig();
    WritePicture(kBackground);
    for (int i = 0; i < 3; i++) {
        WritePicture(kNormal[i]);
        WritePicture(kPressed[i]);
    }
}

void MenuFixture::TearDown() {
    gameKey.reset();
    uninstallKey.reset();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\MenuMaker");
}

void MenuFixture::WriteConfig(bool withName) {
    std::string ini = "[install]\r\n";
    if (withName) ini += std::string("Name=") + kProductName + "\r\n";
    ini += "Title=メニュー試験\r\nBrand=MenuMaker\r\nExec=Game.exe\r\nInstallPath=Game\r\n"
           "DataPath=Data\r\nVersion=1.02\r\n[TYPE1]\r\ntitle=標準\r\nfile=DISC1:Data\r\nsize=1\r\n";
    work.Write("install.ini", ini);
}

void MenuFixture::WritePicture(const Picture& p) {
    SampleFn sample = [&p](int, int, int c) { return Channel(p.colour, c); };
    if (p.png) {
        PngLayout layout;
        layout.width = p.width;
        layout.height = p.height;
        work.Write(p.name, EncodePng(layout, sample));
    } else {
        work.Write(p.name, EncodeJpeg(p.width, p.height, false, sample));
    }
}

// A PNG cut off after its header: libpng stops with a read error.
void MenuFixture::WriteBrokenPng(const char* name) {
    PngLayout layout;
    std::string png = EncodePng(layout, [](int, int, int) { return 7u; });
    work.Write(name, png.substr(0, 40));
}

void MenuFixture::InstallGameKeyOnly() {
    gameKey.reset(new TestKey(HKEY_LOCAL_MACHINE, kGameKey));
    gameKey->SetString("execute", gameExe);
}

void MenuFixture::InstallUninstallEntryOnly() {
    uninstallKey.reset(new TestKey(HKEY_LOCAL_MACHINE, kUninstallKey));
    uninstallKey->SetString("DisplayName", "メニュー試験");
}

void MenuFixture::Install() {
    InstallGameKeyOnly();
    InstallUninstallEntryOnly();
}

void MenuFixture::Start(const std::string& exe) {
    std::string program = exe.empty() ? ProgramFolder() + "\\setup.exe" : exe;
    ASSERT_TRUE(run.Start(program, work.Path())) << program;
}

HWND MenuFixture::Menu() {
    menu = run.WaitForDialog(kMenuTitle, false);
    EXPECT_TRUE(menu != NULL) << "no menu window; " << (run.Running() ? "running" : "exit code ")
                              << (run.Running() ? 0 : run.Wait(0)) << "\n" << run.Describe();
    return menu;
}

std::vector<std::string> MenuFixture::GameStarts() {
    std::vector<std::string> lines;
    std::string log = ReadFileBytes(gameFolder + "\\testgame.log");
    size_t start = 0, end;
    while ((end = log.find('\n', start)) != std::string::npos) {
        lines.push_back(log.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}
