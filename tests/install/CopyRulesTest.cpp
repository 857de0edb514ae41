// The copy step's rules, one unit each: the work lists and the space check,
// the CD-ROM drive order, unpacking one archive, the worker thread object.
#include <gtest/gtest.h>
#include <windows.h>
#include <atomic>
#include "InstallKit.h"
#include "base/Messages.h"
#include "base/OCException.h"
#include "install/CopyWorker.h"
#include "install/Drives.h"
#include "install/OCThread.h"
#include "install/Unpack.h"
#include "support/BoxAnswerer.h"
#include "support/CdDrive.h"
#include "support/Files.h"

namespace {

std::string Join(const std::vector<OCString>& list) {
    std::string text;
    for (const OCString& s : list) text += std::string(s.GetBuffer() ? s.GetBuffer() : "") + "|";
    return text;
}

TEST(PrepareCopy, ListsRequiredBytesAndTheSpaceOfTheInstallDrive) {
    ULARGE_INTEGER freeBytes, total, all;
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &freeBytes, &total, &all));
    const int freeMb = (int)(freeBytes.QuadPart >> 20);
    const int wrapsTo100 = (int)((freeBytes.QuadPart >> 32) + 1) * 4096 + 100;  // 100 MB in 32 bits
    const struct {
        const char *unPack, *file, *folder;
        int size, type;
        const char *archives, *paths, *labels;
        ULONGLONG required;
        int result;
    } cases[] = {
        {"a.pak;;b.pak;", "Disc1:a.dat;b.dat;Disc2:c.dat;movie\\*.*", "C:\\G", 3, 0, "a.pak|b.pak|",
         "a.dat|b.dat|c.dat|movie\\*.*|", "Disc1|Disc1|Disc2|Disc2|", 3 << 20, 1},
        {"", "first.dat;Disc3:x:y.dat", "C:\\G", 0, 0, "", "first.dat|x:y.dat|", "|Disc3|", 0, 1},
        {"", "", "C:\\G", freeMb - 100, 0, "", "", "", (ULONGLONG)(freeMb - 100) << 20, 1},
        {"", "", "C:\\G", freeMb + 100, 0, "", "", "", (ULONGLONG)(freeMb + 100) << 20, 0},
        {"", "", "C:\\G", wrapsTo100, 0, "", "", "", (ULONGLONG)wrapsTo100 << 20, 0},
        {"", "", "C:\\G", -1, 0, "", "", "", 0xFFFFFFFFull << 20, 0},
        {"", "", "\\\\server\\share\\G", 0, 0, "", "", "", 0, 0},
        {"", "", "Games\\G", 0, 0, "", "", "", 0, 0},
        {"a.pak", "a.dat", "C:\\G", 0, 5, "", "", "", 0, 0},  // no such type
    };
    InstallConfig config;  // one record throughout: every call rebuilds the lists
    config.types.resize(1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file + std::string(" size ") + std::to_string(c.size));
        config.types[0].unPack = c.unPack;
        config.types[0].file = c.file;
        config.types[0].size = c.size;
        config.installFolder = c.folder;
        config.selectedType = c.type;
        EXPECT_EQ(c.result, config.PrepareCopy());
        EXPECT_EQ(c.archives, Join(config.unPackList));
        EXPECT_EQ(c.paths, Join(config.filePaths));
        EXPECT_EQ(c.labels, Join(config.discLabels));
        EXPECT_EQ(c.required, config.requiredBytes);
    }
}

TEST(PrepareCopy, FreeSpaceMustExceedTheRequirementByAWholeKiB) {
    const ULONGLONG required = 700ull << 20;
    EXPECT_EQ(0, SpaceSuffices(required, required));
    EXPECT_EQ(0, SpaceSuffices(required + 1023, required));
    EXPECT_EQ(1, SpaceSuffices(required + 1024, required));
    EXPECT_EQ(0, SpaceSuffices(1023, 0));
}

TEST(FindDrive, ListsTheDrivesOfATypeFromZDownToA) {
    TempDir dir;
    for (char letter : {'P', 'R', 'T'}) ASSERT_TRUE(MapCdDrive(letter, dir.Path()));
    std::string found;
    for (int drive = FindDrive(DRIVE_CDROM, -1); drive != -1; drive = FindDrive(DRIVE_CDROM, drive))
        if (drive >= 'P' - 'A' && drive <= 'T' - 'A') found += (char)('A' + drive);
    for (char letter : {'P', 'R', 'T'}) UnmapDrive(letter);
    EXPECT_EQ("TRP", found);
    EXPECT_EQ(-1, FindDrive(DRIVE_CDROM, 0));
    EXPECT_EQ(2, FindDrive(DRIVE_FIXED, 3));  // C:
    EXPECT_EQ(4, FindDrive(0, 5));            // type 0: any drive
}

// ---- one archive ----

class Unpack : public ::testing::Test {
protected:
    unsigned Run(const std::string& bytes) {
        RemoveTree(dir / "out");
        CreateDirectoryA((dir / "out").c_str(), NULL);
        dir.Write("game.pak", bytes);
        return UnpackArchive((dir / "game.pak").c_str(), (dir / "out").c_str());
    }
    std::string Failure(const std::string& bytes) {  // the message it throws
        try {
            Run(bytes);
        } catch (const OCErrorException& error) {
            return error.message.GetBuffer() ? error.message.GetBuffer() : "";
        }
        return "(no exception)";
    }
    std::string Out(const char* name) { return ReadBytes(dir / ("out\\" + std::string(name))); }
    TempDir dir;
};

TEST_F(Unpack, WritesEveryEntryOfEachVersionAndReturnsTheStoredBytes) {
    const std::string binary("a\0b\0\xff", 5), big(20000, 'B');
    for (uint32_t version = 0; version <= 2; version++) {
        SCOPED_TRACE(version);
        std::vector<PakItem> items = {{"a.txt", "alpha"}, {"ソフト\\表.bin", binary}, {"..a\\b..c", ""}};
        if (version) {  // compressed entries of mixed sizes share one buffer: each must come out exact
            for (const std::string& bytes : {Pattern(9000), Pattern(100), big, std::string(), Pattern(100)})
                items.push_back({"p" + std::to_string(items.size()) + ".dat", bytes, true});
        }
        EXPECT_EQ(10u, Run(MakePak(version, items)));
        for (const PakItem& item : items) EXPECT_EQ(item.bytes, Out(item.name.c_str())) << item.name;
        EXPECT_TRUE(Exists(dir / "out\\..a\\b..c"));
    }
}

TEST_F(Unpack, NamesThatLeaveTheFolderStopItBeforeAnythingIsWritten) {
    for (const char* name : {"..\\evil.txt", "sub\\..\\..\\evil.txt", "../evil.txt", "\\evil.txt", "/evil.txt",
                             "C:\\evil.txt", "C:evil.txt", ".\\evil.txt", "sub\\\\evil.txt", "sub\\", "",
                             ".. \\evil.txt", "...\\evil.txt", "\\\\server\\share\\evil.txt"}) {
        SCOPED_TRACE(name);
        for (uint32_t version : {0u, 1u}) {
            EXPECT_EQ(kMsgInflateFailed, Failure(MakePak(version, {{"first.txt", "ok"}, {name, "bad"}})));
            EXPECT_FALSE(Exists(dir / "evil.txt"));
            EXPECT_FALSE(Exists(dir / "out\\first.txt"));
        }
    }
}

TEST_F(Unpack, DamagedArchivesStopWithTheirError) {
    std::string countTooHigh = MakePak(1, {{"a", "1"}, {"b", "2"}});
    countTooHigh[4] = 3;  // the directory holds two entries
    std::string cut = MakePak(0, {{"a.dat", Pattern(5000)}});
    cut.resize(cut.size() - 100);
    EXPECT_EQ(kMsgInflateFailed, Failure(MakePak(1, {{"a.dat", Pattern(4000), true, 4100}})));
    EXPECT_EQ(kMsgInflateFailed, Failure(countTooHigh));
    EXPECT_NE(std::string::npos, Failure(cut).find(dir / "game.pak"));  // a read failure names the archive
}

TEST_F(Unpack, OpenFailuresAskAndIgnoreSkips) {
    {
        BoxAnswerer skip(kCaptionReadError, {IDIGNORE, IDIGNORE});
        EXPECT_EQ(0u, UnpackArchive((dir / "none.pak").c_str(), dir.Path().c_str()));
        EXPECT_EQ(3u, Run(MakePak(2, {{"a?b.txt", "bad"}, {"c.txt", "ccc"}})));  // a name no file can have
        EXPECT_EQ(2, skip.Answered());
        EXPECT_EQ("ccc", Out("c.txt"));
    }
    BoxAnswerer stop(kCaptionReadError, {IDABORT});
    EXPECT_THROW(UnpackArchive((dir / "none.pak").c_str(), dir.Path().c_str()), OCErrorException);
}

// ---- the worker thread object ----

struct Probe {
    std::atomic<int> ran{0}, finished{0};
    DWORD delayMs = 0;
    HANDLE release = NULL;  // the thread waits for it when set
};

unsigned __stdcall Work(void* argument) {
    Probe* probe = (Probe*)argument;
    probe->ran = 1;
    if (probe->release) WaitForSingleObject(probe->release, INFINITE);
    Sleep(probe->delayMs);
    probe->finished = 1;
    return 7;
}

void WaitFor(const std::atomic<int>& flag) {
    for (int i = 0; i < 500 && !flag; i++) Sleep(10);
}

TEST(OCThread, RunsSuspendedOrNowKeepsTheFirstThreadAndClosesOnce) {
    Probe first, second;
    OCThread thread;
    thread.Start(Work, &first, 0);
    thread.Start(Work, &second, 1);
    Sleep(100);
    EXPECT_EQ(0, first.ran + second.ran);
    ResumeThread(thread.GetHandle());
    WaitFor(first.finished);
    EXPECT_EQ(1, thread.Close());
    EXPECT_EQ(0, thread.Close());
    EXPECT_EQ(0, second.ran.load());
}

TEST(OCThread, CloseLetsAFinishingThreadEndAndTerminatesAStuckOne) {
    Probe finishing, stuck;
    finishing.delayMs = 300;
    stuck.release = CreateEventA(NULL, TRUE, FALSE, NULL);
    OCThread a, b;
    a.Start(Work, &finishing, 1);
    b.Start(Work, &stuck, 1);
    WaitFor(finishing.ran);
    WaitFor(stuck.ran);
    EXPECT_EQ(1, a.Close());
    EXPECT_EQ(1, finishing.finished.load());  // the worker's last act is not cut short
    EXPECT_EQ(1, b.Close());
    SetEvent(stuck.release);
    Sleep(100);
    EXPECT_EQ(0, stuck.finished.load());
    CloseHandle(stuck.release);
}

TEST(OCThread, AnInvalidArgumentThrowsTheRunTimeLibrarysMessage) {
    OCThread thread;
    try {
        thread.Start(NULL, NULL, 1);
        ADD_FAILURE() << "no exception";
    } catch (const OCErrorException& error) {
        EXPECT_STREQ(kMsgThreadBadArgument, error.message.GetBuffer());
    }
    EXPECT_EQ(NULL, thread.GetHandle());
}

}  // namespace
