// Faults injected into a running install through the real copy step: the
// target drive fills up, the disc goes away, a path grows past the system's limit. Each case checks what the user is
// shown and what is left behind.
#include <thread>
#include "archive/Ini.h"
#include "archive/OCFile.h"
#include "archive/OCPath.h"
#include "base/Messages.h"
#include "base/OCException.h"
#include "support/CopyRun.h"
#include "support/BoxAnswerer.h"
#include "support/CdDrive.h"
#include "support/Files.h"

namespace {

std::string Report(DWORD code, const std::string& message) {
    char text[1024];
    wsprintfA(text, kFmtErrorReport, code, message.c_str());
    return text;
}

ULONGLONG FreeOnV() {
    ULARGE_INTEGER available = {};
    GetDiskFreeSpaceExA("V:\\", &available, NULL, NULL);
    return available.QuadPart;
}

class Fault : public CopyRun {
protected:
    void TearDown() override {
        CopyRun::TearDown();
        UnmapDrive('V');
    }
    // V: is the 2 MiB file system scripts/small-disk.sh mounted; false without it.
    bool SmallDisk() {
        char folder[MAX_PATH] = "";
        return GetEnvironmentVariableA("RELIABILITY_SMALL_DISK", folder, MAX_PATH) && MapFixedDrive('V', folder) &&
               Exists("V:\\.small-disk");
    }
};

TEST_F(Fault, ATargetDriveThatFillsUpStopsTheCopyWithTheSystemsCode) {
    if (!SmallDisk()) GTEST_SKIP() << "no small file system mounted (scripts/small-disk.sh)";
    const ULONGLONG freeBefore = FreeOnV();
    config.installFolder = "V:\\Maker 表\\ゲーム";
    const std::string disc = MakeDisc("disc1", "Disc1");
    Put(disc, "small.pak", MakePak(1, {{"first.dat", Pattern(300000)}}));
    Put(disc, "big.pak", MakePak(2, {{"a.dat", Pattern(1 << 20)}, {"b.dat", std::string(3 << 20, 'b'), true}}));
    Put(disc, "movie\\op.mpg", Pattern(3 << 20));
    Insert(disc);
    for (const char* archives : {"small.pak;big.pak", "small.pak"}) {  // unpacking fills it, then copying
        SCOPED_TRACE(archives);
        ChooseType(archives, "Disc1:movie", 1);  // the type claims 1 MB
        BoxAnswerer errors(DefaultCaption().c_str(), {IDOK});
        EXPECT_EQ(0, Run());
        const std::string shown = errors.Answered() ? errors.Texts()[0] : "(none)";
        EXPECT_TRUE(shown == Report(ERROR_DISK_FULL, kMsgWriteFailed) || shown == Report(ERROR_WRITE_FAULT, kMsgWriteFailed))
            << shown;
        EXPECT_FALSE(Exists(Folder()));
        EXPECT_GE(FreeOnV() + 8192, freeBefore);  // the space is given back
    }
    ChooseType("small.pak", "", 1);  // what fits installs
    EXPECT_EQ(1, Run());
    EXPECT_EQ(Pattern(300000), Installed("first.dat"));
}

// The last bytes of a file, or of a settings file, wait in the stream's buffer when the drive is full.
TEST_F(Fault, BytesThatFailAtTheLastFlushAreAFailureNotADoneFile) {
    if (!SmallDisk()) GTEST_SKIP() << "no small file system mounted (scripts/small-disk.sh)";
    ASSERT_TRUE(WriteBytes("V:\\filler.bin", std::string((size_t)FreeOnV() - 8192, 'f')));
    ASSERT_TRUE(WriteBytes(dir / "source.dat", Pattern((size_t)FreeOnV() + 100)));
    DWORD code = 0;
    try {
        CopyFileWithTimes((dir / "source.dat").c_str(), "V:\\copy.dat", 1, ~(DWORD)FILE_ATTRIBUTE_READONLY, NULL, 0);
    } catch (const OCErrorException& e) {
        code = (DWORD)e.code;
    }
    EXPECT_EQ((DWORD)ERROR_DISK_FULL, code) << "a copy cut short at the flush passed as done";
    DeleteFileA("V:\\copy.dat");
    WriteBytes("V:\\filler2.bin", std::string((size_t)FreeOnV(), 'f'));  // the drive now full
    code = 0;
    try {
        IniWriteValue("rename", "nul", "C:\\TEMP\\SETUP.EXE", "V:\\WININIT.INI");
    } catch (const OCErrorException& e) {
        code = (DWORD)e.code;
    }
    EXPECT_EQ((DWORD)ERROR_DISK_FULL, code) << "a settings file cut short passed as written";
    for (const char* name : {"V:\\WININIT.INI", "V:\\filler.bin", "V:\\filler2.bin"}) DeleteFileA(name);
}

void PutDiscBack(void* disc) { MapCdDrive('Q', *(std::string*)disc); }

TEST_F(Fault, ADiscThatVanishesMidCopyIsAskedForAbortStopsRetryGoesOn) {
    std::string disc = MakeDisc("disc1", "Disc1");
    Put(disc, "movie\\a.mpg", "");  // 256 MB (sparse): the disc is surely gone before its copy ends
    HANDLE big = CreateFileA((disc + "\\DATA\\movie\\a.mpg").c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    SetFilePointer(big, 256 << 20, NULL, FILE_BEGIN), SetEndOfFile(big), CloseHandle(big);
    Put(disc, "movie\\b.mpg", Pattern(5000, 5));
    CreateDirectoryA((dir / "empty").c_str(), NULL);
    char asked[512];
    wsprintfA(asked, kMsgCannotOpen, "Q:\\DATA\\movie\\b.mpg");
    for (int answer : {IDABORT, IDRETRY}) {
        Insert(disc);
        ChooseType("", "Disc1:movie", 30);
        std::thread pull([&] {  // as soon as the first file starts to arrive
            for (int i = 0; i < 20000 && !Exists(Folder() + "\\movie\\a.mpg"); i++) Sleep(1);
            MapCdDrive('Q', dir / "empty");
        });
        BoxAnswerer prompt(kCaptionReadError, {answer});
        prompt.BeforeAnswer(0, PutDiscBack, &disc);
        BoxAnswerer errors(DefaultCaption().c_str(), {IDOK});
        EXPECT_EQ(answer == IDRETRY ? 1 : 0, Run());
        pull.join();
        EXPECT_EQ(std::vector<std::string>{asked}, prompt.Texts());
        EXPECT_EQ(answer == IDABORT ? 1 : 0, errors.Answered());
        EXPECT_EQ(answer == IDRETRY ? Pattern(5000, 5) : "(missing)", Installed("movie\\b.mpg"));
    }
}

TEST_F(Fault, APathPastTheSystemsLimitStopsTheCopyBeforeAnythingIsCutShort) {
    std::string deep = dir.Path();
    while (deep.size() < 200) deep += "\\" + std::string(20, 'd') + "表";
    config.installFolder = deep.c_str();
    const std::string name = "sub\\" + std::string(MAX_PATH - deep.size() - 8, 'v') + ".wav";
    const std::string disc = MakeDisc("disc1", "Disc1");
    Put(disc, "ok.txt", "ok");
    Put(disc, name, "long");
    Put(disc, "long.pak", MakePak(1, {{"first.txt", "ok"}, {name, "long", true}}));
    Insert(disc);
    char tooLong[1024];
    wsprintfA(tooLong, kFmtPathTooLong, (deep + "\\" + name).c_str());
    for (const char* archive : {"", "long.pak"}) {
        ChooseType(archive, "Disc1:ok.txt;sub", 1);
        BoxAnswerer errors(DefaultCaption().c_str(), {IDOK});
        EXPECT_EQ(0, Run());
        EXPECT_EQ(std::vector<std::string>{Report(ERROR_FILENAME_EXCED_RANGE, tooLong)}, errors.Texts());
        EXPECT_FALSE(Exists(Folder()));  // what came before it is gone again
    }
}

}  // namespace
