// Faults injected into a running install, through the real copy worker behind
// progress dialog 107: the target drive fills up, the disc vanishes, a
// read-only file is in the way, the registry refuses the game key, the
// menu window goes away. Each case checks what the user is shown and what is
// left behind, and that the next run still works.
#include <gtest/gtest.h>
#include <windows.h>
#include <aclapi.h>
#include <winioctl.h>
#include <string>
#include <vector>
#include "Scratch.h"
#include "archive/OCPath.h"
#include "archive/PakBuilder.h"
#include "base/OCException.h"
#include "base/Messages.h"
#include "install/CopyFixture.h"
#include "install/CopyWorker.h"
#include "install/OCThread.h"
#include "install/Records.h"
#include "install/WizardDialogs.h"
#include "resources/resource.h"
#include "support/BoxAnswerer.h"
#include "support/CdDrive.h"

namespace {

std::string Bytes(size_t length, int seed) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; i++) bytes[i] = (char)(i * seed + i / 251);
    return bytes;
}

std::string ErrorReport(DWORD code, const char* message) {
    char text[512];
    wsprintfA(text, kFmtErrorReport, code, message);
    return text;
}

// The error report of a failed write with the system's error code, whichever
// the run-time library kept (disk full, write fault), never 0.
void ExpectWriteFailure(const std::string& shown) {
    const std::string zero = ErrorReport(0, kMsgWriteFailed);
    const size_t codeAt = zero.find("0x") + 2;
    EXPECT_EQ(zero.substr(0, codeAt), shown.substr(0, codeAt)) << shown;
    EXPECT_EQ(std::string(" :") + kMsgWriteFailed, shown.substr(shown.find(" :"))) << shown;
    EXPECT_NE('0', shown[codeAt]) << "a write failure reported without its error code";
}

// The text part of an OwnedBoxAnswerer record ("caption|text").
std::string BoxText(const std::string& record) { return record.substr(record.find('|') + 1); }

// ---- the small target drive ----

// The Unix folder of the small file system the test script mounted, or "".
std::string SmallDiskFolder() {
    char folder[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("RELIABILITY_SMALL_DISK", folder, MAX_PATH)) return "";
    return folder;
}

ULONGLONG FreeBytes(const char* root) {
    ULARGE_INTEGER available = {}, total = {}, free = {};
    GetDiskFreeSpaceExA(root, &available, &total, &free);
    return available.QuadPart;
}

class FaultTest : public CopyFixture {
protected:
    void TearDown() override {
        CopyFixture::TearDown();
        if (m_smallDisk) UnmapDrive('V');
    }
    // V: is the 2 MiB drive; false (the test then skips) when it is not there.
    bool UseSmallDisk() {
        const std::string folder = SmallDiskFolder();
        if (folder.empty() || !MapFixedDrive('V', folder)) return false;
        m_smallDisk = GetFileAttributesA("V:\\.small-disk") != INVALID_FILE_ATTRIBUTES;
        if (!m_smallDisk) UnmapDrive('V');
        return m_smallDisk;
    }
    bool m_smallDisk = false;
};

TEST_F(FaultTest, TargetDriveFillsUpDuringTheCopy) {
    if (!UseSmallDisk()) GTEST_SKIP() << "no small file system mounted (scripts/small-disk.sh)";
    const ULONGLONG freeBefore = FreeBytes("V:\\");
    config.installFolder = "V:\\Maker\\ゲーム";
    const std::string disc = MakeDisc("disc1", "Disc1");
    PutOnDisc(disc, "game.pak", PakBuilder(1).Stored("first.dat", Bytes(300000, 3)).Bytes());
    PutOnDisc(disc, "movie\\op.mpg", Bytes(3 << 20, 5));           // more than the drive holds
    PutOnDisc(disc, "movie\\ed.mpg", Bytes(1000, 7));
    InsertDisc(disc);
    ChooseType("game.pak", "Disc1:movie", 1);                      // the type claims 1 MB
    {
        OwnedBoxAnswerer errors(config);
        RunWorker();
        EXPECT_EQ(0, config.copyResult);
        ASSERT_EQ(1u, errors.Texts().size());
        ExpectWriteFailure(BoxText(errors.Texts()[0]));
    }
    EXPECT_FALSE(InstalledExists());                                // no partial install
    EXPECT_GE(FreeBytes("V:\\") + 8192, freeBefore);                // the space is given back
    // The next run, with what fits, installs.
    ChooseType("game.pak", "Disc1:movie\\ed.mpg", 1);
    RunWorker();
    EXPECT_EQ(1, config.copyResult);
    EXPECT_EQ(Bytes(300000, 3), Installed("first.dat"));
    EXPECT_EQ(Bytes(1000, 7), Installed("movie\\ed.mpg"));
}

// The same on an archive entry: the unpacker's write fails.
TEST_F(FaultTest, TargetDriveFillsUpWhileUnpacking) {
    if (!UseSmallDisk()) GTEST_SKIP() << "no small file system mounted (scripts/small-disk.sh)";
    config.installFolder = "V:\\Maker\\ゲーム";
    const std::string disc = MakeDisc("disc1", "Disc1");
    PutOnDisc(disc, "game.pak", PakBuilder(2).Stored("a.dat", Bytes(1 << 20, 3))
                                    .Compressed("b.dat", Bytes(3 << 20, 0)).Bytes());
    InsertDisc(disc);
    ChooseType("game.pak", "", 1);
    OwnedBoxAnswerer errors(config);
    RunWorker();
    EXPECT_EQ(0, config.copyResult);
    ASSERT_EQ(1u, errors.Texts().size());
    ExpectWriteFailure(BoxText(errors.Texts()[0]));
    EXPECT_FALSE(InstalledExists());
}

// A file whose last few bytes wait in the stream's buffer when the drive
// becomes full: the failure shows at the flush, and must not pass unseen.
TEST_F(FaultTest, LastBufferedBytesOnAFullDriveAreAFailure) {
    if (!UseSmallDisk()) GTEST_SKIP() << "no small file system mounted (scripts/small-disk.sh)";
    ASSERT_TRUE(WriteBytes("V:\\filler.bin", std::string((size_t)FreeBytes("V:\\") - 8192, 'f')));
    const ULONGLONG left = FreeBytes("V:\\");
    ASSERT_EQ(0u, left % 4096);
    ASSERT_TRUE(WriteBytes(dir / "source.dat", Bytes((size_t)left + 100, 9)));
    DWORD code = 0;
    try {
        CopyFileWithTimes((dir / "source.dat").c_str(), "V:\\copy.dat", 1, 0xFFFFFFFE, NULL, 0);
    } catch (const OCErrorException& e) {
        code = (DWORD)e.code;
        EXPECT_STREQ(kMsgWriteFailed, e.message.GetBuffer());
    }
    EXPECT_EQ((DWORD)ERROR_DISK_FULL, code) << "a copy cut short at the flush passed as done";
    DeleteFileA("V:\\copy.dat");
    DeleteFileA("V:\\filler.bin");
}

// ---- the disc goes away ----

struct Vanish {
    std::string watched;        // the target file whose appearance pulls the disc
    std::string empty;          // the folder Q: is re-pointed to
    std::string disc;           // put back before a Retry
    volatile LONG done = 0;
};

DWORD WINAPI PullDiscWhenCopying(void* param) {
    Vanish* v = (Vanish*)param;
    for (int i = 0; i < 20000 && GetFileAttributesA(v->watched.c_str()) == INVALID_FILE_ATTRIBUTES; i++) Sleep(1);
    MapCdDrive('Q', v->empty);
    InterlockedExchange(&v->done, 1);
    return 0;
}

void PutDiscBack(void* context) { MapCdDrive('Q', ((Vanish*)context)->disc); }

class DiscVanishes : public FaultTest {
protected:
    // A folder entry with a large first file; the disc is pulled as soon as
    // its copy starts, so the next file of the folder cannot be opened.
    void Start(Vanish& v) {
        v.disc = MakeDisc("disc1", "Disc1");
        PutOnDisc(v.disc, "movie\\a.mpg", Bytes(24 << 20, 3));
        PutOnDisc(v.disc, "movie\\b.mpg", Bytes(5000, 5));
        v.empty = dir / "empty";
        CreateDirectoryA(v.empty.c_str(), NULL);
        v.watched = std::string(config.installFolder.GetBuffer()) + "\\movie\\a.mpg";
        InsertDisc(v.disc);
        ChooseType("", "Disc1:movie", 30);
        m_thread = CreateThread(NULL, 0, PullDiscWhenCopying, &v, 0, NULL);
    }
    void Join() {
        WaitForSingleObject(m_thread, INFINITE);
        CloseHandle(m_thread);
    }
    HANDLE m_thread = NULL;
};

TEST_F(DiscVanishes, AbortAtTheOpenPromptStopsAndCleansUp) {
    Vanish v;
    BoxAnswerer prompt(kCaptionReadError, {IDABORT});
    OwnedBoxAnswerer errors(config);
    Start(v);
    RunWorker();
    Join();
    EXPECT_EQ(0, config.copyResult);
    ASSERT_EQ(1, prompt.Answered());
    char asked[512];
    wsprintfA(asked, kMsgCannotOpen, "Q:\\DATA\\movie\\b.mpg");
    EXPECT_EQ(asked, prompt.Texts()[0]);
    ASSERT_EQ(1u, errors.Texts().size());
    char opened[512];
    wsprintfA(opened, kMsgOpenFailed, "Q:\\DATA\\movie\\b.mpg");
    EXPECT_NE(std::string::npos, BoxText(errors.Texts()[0]).find(opened));
    EXPECT_FALSE(InstalledExists());
}

TEST_F(DiscVanishes, RetryAfterTheDiscIsBackFinishesTheCopy) {
    Vanish v;
    BoxAnswerer prompt(kCaptionReadError, {IDRETRY});
    prompt.BeforeAnswer(0, PutDiscBack, &v);
    Start(v);
    RunWorker();
    Join();
    EXPECT_EQ(1, config.copyResult);
    EXPECT_EQ(1, prompt.Answered());
    EXPECT_EQ(Bytes(24 << 20, 3), Installed("movie\\a.mpg"));
    EXPECT_EQ(Bytes(5000, 5), Installed("movie\\b.mpg"));
}

// ---- files and keys that cannot be written ----

// A read-only file left in the install folder (an earlier install, a user's
// own copy) is replaced like any other file, by the copy and by the unpacker.
TEST_F(FaultTest, ReadOnlyFileInTheInstallFolderIsReplaced) {
    const std::string folder = config.installFolder.GetBuffer();
    CreateDirectoryA((dir / "Games").c_str(), NULL);
    CreateDirectoryA((dir / "Games\\Maker").c_str(), NULL);
    CreateDirectoryA(folder.c_str(), NULL);
    for (const char* name : {"readme.txt", "unpacked.txt"}) {
        const std::string path = folder + "\\" + name;
        ASSERT_TRUE(WriteBytes(path, "old"));
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    }
    const std::string disc = MakeDisc("disc1", "Disc1");
    PutOnDisc(disc, "readme.txt", "new readme");
    PutOnDisc(disc, "game.pak", PakBuilder(0).Stored("unpacked.txt", "new entry").Bytes());
    InsertDisc(disc);
    ChooseType("game.pak", "Disc1:readme.txt", 1);
    BoxAnswerer prompt(kCaptionReadError, {IDABORT, IDABORT});
    OwnedBoxAnswerer errors(config);
    RunWorker();
    EXPECT_EQ(1, config.copyResult);
    EXPECT_EQ(0, prompt.Answered());
    EXPECT_TRUE(errors.Texts().empty());
    EXPECT_EQ("new readme", Installed("readme.txt"));
    EXPECT_EQ("new entry", Installed("unpacked.txt"));
}

// ---- the menu window goes away while the copy runs ----

LRESULT CALLBACK PlainWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcA(w, m, wp, lp); }

struct OwnerClose {
    HWND owner;
    std::string watched;
    HWND progress = NULL;
};

// Closes the owner once the copy has begun, and presses the progress
// dialog's close box as an impatient user would.
DWORD WINAPI CloseOwnerWhenCopying(void* param) {
    OwnerClose* c = (OwnerClose*)param;
    for (int i = 0; i < 20000 && !(c->progress = FindProcessDialog("閉じる試験")); i++) Sleep(1);
    for (int i = 0; i < 20000 && GetFileAttributesA(c->watched.c_str()) == INVALID_FILE_ATTRIBUTES; i++) Sleep(1);
    PostMessageA(c->owner, WM_CLOSE, 0, 0);
    if (c->progress) PostMessageA(c->progress, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
}

TEST_F(FaultTest, OwnerWindowClosedDuringTheCopy) {
    WNDCLASSA cls = {};
    cls.lpfnWndProc = PlainWindowProc;
    cls.hInstance = GetModuleHandleA(NULL);
    cls.lpszClassName = "ReliabilityOwner";
    RegisterClassA(&cls);
    HWND owner = CreateWindowA("ReliabilityOwner", "menu", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                               NULL, NULL, cls.hInstance, NULL);
    ASSERT_TRUE(owner != NULL);
    config.ownerWindow = owner;
    config.windowTitle = "閉じる試験";
    const std::string disc = MakeDisc("disc1", "Disc1");
    PutOnDisc(disc, "movie\\a.mpg", Bytes(16 << 20, 3));
    PutOnDisc(disc, "movie\\b.mpg", Bytes(5000, 5));
    InsertDisc(disc);
    ChooseType("", "Disc1:movie", 20);
    OwnerClose close = {owner, std::string(config.installFolder.GetBuffer()) + "\\movie\\a.mpg"};
    config.copyResult = -1;
    config.progress.SetTemplate(IDD_INSTALL_PROGRESS);
    config.progress.SetUp(NULL, ProgressDialogProc, &config);   // the installer's own procedure
    OCThread worker;
    worker.Start(CopyThreadProc, &config, 1);
    HANDLE closer = CreateThread(NULL, 0, CloseOwnerWhenCopying, &close, 0, NULL);
    const int endCode = config.progress.RunModal();
    worker.Close();
    WaitForSingleObject(closer, INFINITE);
    CloseHandle(closer);
    EXPECT_EQ(0, endCode);
    EXPECT_FALSE(IsWindow(owner));                              // the owner is gone
    EXPECT_EQ(1, config.copyResult);                           // the copy ran to its end
    EXPECT_EQ(Bytes(16 << 20, 3), Installed("movie\\a.mpg"));
    EXPECT_EQ(Bytes(5000, 5), Installed("movie\\b.mpg"));
}

}  // namespace

namespace {

const char kRefusingMaker[] = "SOFTWARE\\ReliabilityMaker";

// Gives the key a DACL that lets everybody read it and nobody write to it.
bool MakeReadOnlyKey(HKEY key) {
    EXPLICIT_ACCESSA access = {};
    BuildExplicitAccessWithNameA(&access, (LPSTR) "EVERYONE", KEY_READ, SET_ACCESS, NO_INHERITANCE);
    PACL acl = NULL;
    if (SetEntriesInAclA(1, &access, NULL, &acl) != ERROR_SUCCESS) return false;
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
    const LONG status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor);
    LocalFree(acl);
    return status == ERROR_SUCCESS;
}

bool KeyExists(const char* path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

}  // namespace

// The maker's key exists but refuses writing: what the records writer does.
// Wine's server is asked first whether it enforces a key's DACL at all.
TEST(RegistryFault, MakerKeyThatRefusesWriting) {
    HKEY maker = NULL;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRefusingMaker, 0, NULL, 0,
                                             KEY_ALL_ACCESS, NULL, &maker, NULL));
    const bool restricted = MakeReadOnlyKey(maker);
    RegCloseKey(maker);
    HKEY probe = NULL;
    const LONG probeStatus = RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ReliabilityMaker\\Probe", 0, NULL,
                                             0, KEY_ALL_ACCESS, NULL, &probe, NULL);
    if (probe) RegCloseKey(probe);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\ReliabilityMaker\\Probe");
    Report("registry", std::string("a key with a read-only DACL (set: ") + (restricted ? "yes" : "no") +
                           "): creating a subkey gave status " + std::to_string(probeStatus));
    if (probeStatus == ERROR_SUCCESS) {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kRefusingMaker);
        GTEST_SKIP() << "this Wine does not enforce registry key DACLs";
    }
    InstallConfig config;
    config.name = "Refused";
    config.brand = "ReliabilityMaker";
    config.title = "拒否";
    config.exec = "game.exe";
    config.installFolder = "C:\\Games\\ReliabilityMaker\\Refused";
    WriteGameKey(config);
    WriteUninstallEntry(config);
    Report("registry", std::string("game key written: ") + (KeyExists("SOFTWARE\\ReliabilityMaker\\Refused") ? "yes" : "no") +
                           ", uninstall entry written: " +
                           (KeyExists("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Refused") ? "yes" : "no"));
    EXPECT_FALSE(KeyExists("SOFTWARE\\ReliabilityMaker\\Refused"));
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Refused");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kRefusingMaker);
}
