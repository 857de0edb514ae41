// The copy step: its rules one unit at a time (the work lists and the space
// check, the CD-ROM drive order, unpacking one archive, the worker thread
// object), then as the install sequence runs it: archives unpacked and files
// copied from discs mapped as Q:, disc prompts answered and discs swapped,
// the progress dialog told by the worker.
#include "support/CopyRun.h"
#include "base/Messages.h"
#include "archive/OCFile.h"
#include "base/OCException.h"
#include "install/CopyWorker.h"
#include "install/Drives.h"
#include "install/OCThread.h"
#include "install/ReadAhead.h"
#include "install/Unpack.h"
#include "support/BoxAnswerer.h"
#include "support/CdDrive.h"
#include "support/Files.h"

namespace {

std::string Format(const char* format, const char* a, const char* b = "") {
    char text[512];
    wsprintfA(text, format, a, b);
    return text;
}

void SwapDisc(void* disc) { MapCdDrive('Q', *(std::string*)disc); }

bool g_refused;
// Refuses the first window of the thread: the progress dialog, not the error box after it.
LRESULT CALLBACK RefuseFirstWindow(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && !g_refused) return g_refused = true;
    return CallNextHookEx(NULL, code, wParam, lParam);
}

// A read-only file left in the install folder, by an earlier install say: it is replaced.
void LeaveReadOnly(const std::string& folder, const char* name) {
    CreateDirectoryPath(folder.c_str());
    WriteBytes(folder + "\\" + name, "old");
    SetFileAttributesA((folder + "\\" + name).c_str(), FILE_ATTRIBUTE_READONLY);
}

std::string Join(const std::vector<OCString>& list) {
    std::string text;
    for (const OCString& s : list) text += std::string(s.GetBuffer() ? s.GetBuffer() : "") + "|";
    return text;
}

TEST(PrepareCopy, ListsRequiredBytesAndTheSpaceOfTheInstallDrive) {
    ULARGE_INTEGER free, total, all;
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &free, &total, &all));
    const int mb = (int)(free.QuadPart >> 20), wraps = (int)((free.QuadPart >> 32) + 1) * 4096 + 100;
    const struct {
        const char *unPack, *file, *folder;
        int size, type;
        const char *archives, *paths, *labels;
        int result;
    } cases[] = {
        {"a.pak;;b.pak;", "Disc1:a.dat;b.dat;Disc2:c.dat;movie\\*.*", "C:\\G", 3, 0, "a.pak|b.pak|",
         "a.dat|b.dat|c.dat|movie\\*.*|", "Disc1|Disc1|Disc2|Disc2|", 1},
        {"", "first.dat;Disc3:x:y.dat", "C:\\G", 0, 0, "", "first.dat|x:y.dat|", "|Disc3|", 1},
        {"", "", "C:\\G", mb - 100, 0, "", "", "", 1},
        {"", "", "C:\\G", mb + 100, 0, "", "", "", 0},
        {"", "", "C:\\G", wraps, 0, "", "", "", 0},  // 100 MB in 32 bits
        {"", "", "C:\\G", -1, 0, "", "", "", 0},
        {"", "", "\\\\server\\share\\G", 0, 0, "", "", "", 0},
        {"", "", "Games\\G", 0, 0, "", "", "", 0},
        {"a.pak", "a.dat", "C:\\G", 0, 5, "", "", "", 0},  // no such type
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
        EXPECT_EQ(c.type ? 0 : (ULONGLONG)(DWORD)c.size << 20, config.requiredBytes);
    }
    EXPECT_EQ(0, SpaceSuffices((700 << 20) + 1023, 700 << 20));  // by a whole KiB more
    EXPECT_EQ(1, SpaceSuffices((700 << 20) + 1024, 700 << 20));
}

TEST(FindDrive, ListsTheDrivesOfATypeFromZDownToA) {
    TempDir dir;
    for (char letter : {'M', 'O', 'S'}) ASSERT_TRUE(MapCdDrive(letter, dir.Path()));
    std::string found;
    for (int drive = FindDrive(DRIVE_CDROM, -1); drive != -1; drive = FindDrive(DRIVE_CDROM, drive))
        if (drive >= 'M' - 'A' && drive <= 'S' - 'A') found += (char)('A' + drive);
    for (char letter : {'M', 'O', 'S'}) UnmapDrive(letter);
    EXPECT_EQ("SOM", found);
    EXPECT_EQ(2, FindDrive(DRIVE_FIXED, 3));  // C:
    EXPECT_EQ(4, FindDrive(0, 5));            // type 0: any drive
}

// ---- one archive ----

class Unpack : public ::testing::Test {
protected:
    unsigned Run(const std::string& bytes) {
        RemoveTree(dir / "out");
        dir.Write("game.pak", bytes);
        return UnpackArchive((dir / "game.pak").c_str(), (dir / "out").c_str());
    }
    std::string Failure(const std::string& bytes) {  // the message it throws
        try {
            Run(bytes);
        } catch (const OCErrorException& error) {
            return error.message.GetBuffer();
        }
        return "(no exception)";
    }
    TempDir dir;
};

TEST_F(Unpack, WritesEveryEntryOfEachVersionAndReturnsTheStoredBytes) {
    for (unsigned version = 0; version <= 2; version++) {
        std::vector<PakItem> items = {{"a.txt", "alpha"}, {"ソフト\\表.bin", std::string("a\0\xff\\\0", 5)}, {"..a\\b..c", ""}};
        if (version)  // compressed entries share one buffer: each must come out at its own size
            for (const std::string& bytes : {Pattern(9000), Pattern(100), std::string(20000, 'B'), std::string(), Pattern(99)})
                items.push_back({"p" + std::to_string(items.size()) + ".dat", bytes, true});
        EXPECT_EQ(10u, Run(MakePak(version, items))) << version;
        for (const PakItem& item : items) EXPECT_EQ(item.bytes, ReadBytes(dir / ("out\\" + item.name))) << item.name;
        EXPECT_TRUE(Exists(dir / "out\\..a\\b..c"));
    }
}

TEST_F(Unpack, NamesThatLeaveTheFolderStopItBeforeAnythingIsWritten) {
    for (const char* name : {"..\\evil.txt", "sub\\..\\..\\evil.txt", "../evil.txt", "\\evil.txt", "/evil.txt",
                             "C:\\evil.txt", "C:evil.txt", ".\\evil.txt", "sub\\\\evil.txt", "sub\\", "",
                             ".. \\evil.txt", "...\\evil.txt", "\\\\server\\share\\evil.txt"})
        for (unsigned version : {0u, 1u}) {
            EXPECT_EQ(kMsgInflateFailed, Failure(MakePak(version, {{"first.txt", "ok"}, {name, "bad"}}))) << name;
            EXPECT_FALSE(Exists(dir / "evil.txt") || Exists(dir / "out\\first.txt")) << name;
        }
}

TEST_F(Unpack, AnArchiveOrEntryThatCannotBeOpenedIsAskedAboutAndIgnoreSkipsIt) {
    {
        BoxAnswerer skip(kCaptionReadError, {IDIGNORE, IDIGNORE});
        EXPECT_EQ(0u, UnpackArchive((dir / "none.pak").c_str(), dir.Path().c_str()));
        EXPECT_EQ(3u, Run(MakePak(2, {{"a?b.txt", "bad"}, {"c.txt", "ccc"}})));  // a name no file can have
        EXPECT_EQ(2, skip.Answered());
        EXPECT_EQ("ccc", ReadBytes(dir / "out\\c.txt"));
    }
    BoxAnswerer stop(kCaptionReadError, {IDABORT});
    EXPECT_THROW(UnpackArchive((dir / "none.pak").c_str(), dir.Path().c_str()), OCErrorException);
}

// ---- the worker thread object ----

unsigned __stdcall Sleeper(void* milliseconds) {
    Sleep(*(DWORD*)milliseconds);
    *(DWORD*)milliseconds = 0;  // done
    return 0;
}

TEST(OCThread, StartsSuspendedOrNowKeepsItsFirstThreadAndLetsItFinishOrEndsIt) {
    DWORD quick = 1, second = 1, finishing = 300, stuck = 60000;  // 0 once each thread is done
    OCThread suspended, running, hanging;
    suspended.Start(Sleeper, &quick, 0);
    suspended.Start(Sleeper, &second, 1);  // a second start keeps the first thread
    running.Start(Sleeper, &finishing, 1);
    hanging.Start(Sleeper, &stuck, 1);
    Sleep(100);
    EXPECT_EQ(1u, quick);
    ResumeThread(suspended.GetHandle());
    EXPECT_EQ(1, running.Close());  // still running: let finish, as the worker's last act must be
    EXPECT_EQ(0u, finishing);
    EXPECT_EQ(1, hanging.Close());  // ended after its grace
    EXPECT_EQ(1, suspended.Close());
    EXPECT_EQ(0, suspended.Close());
    EXPECT_EQ(0u + 1u + 60000u, quick + second + stuck);
    try {
        suspended.Start(NULL, NULL, 1);
        ADD_FAILURE() << "no exception";
    } catch (const OCErrorException& error) {
        EXPECT_STREQ(kMsgThreadBadArgument, error.message.GetBuffer());
    }
}

// ---- reading ahead ----

std::string PieceText(const ReadAhead::Piece& piece) {
    return piece.read ? std::string(piece.data.begin(), piece.data.end()) : "(left to the worker)";
}

// Pieces come in the list's order; what cannot be read whole in one go is left
// to the worker; the reader never reads past a file that is being copied
// when the file counts as the whole budget; and pieces left to the worker in
// their hundreds still come (each counts against the budget).
TEST(ReadAhead, HandsOutWholeSmallFilesInOrderAndLeavesTheRestToTheWorker) {
    TempDir dir;
    dir.Write("small.txt", "small");
    dir.Write("empty.txt", "");
    dir.Write("big.bin", Pattern(5000));
    dir.Write("after.txt", "after");
    dir.Write("locked.txt", "locked");
    HANDLE lock = CreateFileA((dir / "locked.txt").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    std::vector<ReadAhead::Source> sources;
    const std::pair<const char*, ULONGLONG> listed[] = {{"small.txt", 5}, {"empty.txt", 0}, {"missing.txt", 0},
                                                        {"locked.txt", 6}, {"big.bin", 5000}, {"after.txt", 5}};
    for (const auto& file : listed)
        sources.push_back({OCString((dir / file.first).c_str(), -1), FILE_ATTRIBUTE_HIDDEN, file.second});
    {
        ReadAhead ahead(sources, 4096, 1024);  // big.bin is more than the budget
        const char* expected[] = {"small", "", "(left to the worker)", "(left to the worker)", "(left to the worker)"};
        for (const char* text : expected) EXPECT_EQ(text, PieceText(ahead.Next()));
        DeleteFileA((dir / "after.txt").c_str());  // while big.bin is being copied
        EXPECT_EQ("(left to the worker)", PieceText(ahead.Next())) << "read before big.bin was done";
    }
    CloseHandle(lock);
    dir.Write("after.txt", "after");
    {
        ReadAhead ahead(sources);  // room for all: every piece is queued before the first is taken
        Sleep(300);
        const std::vector<std::string> expected = {"small", "", "(left to the worker)", "locked", Pattern(5000), "after"};
        for (const std::string& text : expected) EXPECT_EQ(text, PieceText(ahead.Next()));
    }
    ReadAhead::Piece piece = ReadAhead(sources).Next();
    EXPECT_EQ(5u, piece.facts.size);
    FILETIME written;
    HANDLE source = CreateFileA((dir / "small.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    GetFileTime(source, NULL, NULL, &written);
    CloseHandle(source);
    EXPECT_EQ(0, CompareFileTime(&written, &piece.facts.write));
    EXPECT_EQ((DWORD)FILE_ATTRIBUTE_HIDDEN, piece.facts.attributes) << "as the search found it";
    std::vector<ReadAhead::Source> missing(1500, {OCString((dir / "missing.txt").c_str(), -1), 0, 0});
    ReadAhead many(missing);
    for (size_t i = 0; i < missing.size(); i++) ASSERT_FALSE(many.Next().read) << i;
}

// ---- the copy step as the install runs it ----

typedef CopyRun CopyWorker;

TEST_F(CopyWorker, UnpacksEachArchiveAndOnlyStoredBytesMoveTheBar) {
    const std::string disc = MakeDisc("disc1", "Disc1");
    Put(disc, "v0.pak", MakePak(0, {{"v0.txt", "zero"}}));
    Put(disc, "v1.pak", MakePak(1, {{"one\\s.dat", Pattern(3000)}, {"one\\c.dat", Pattern(5000, 3), true}}));
    Insert(disc);
    ChooseType("v0.pak;v1.pak", "", 3);
    LeaveReadOnly(Folder(), "v0.txt");
    EXPECT_EQ(1, Run(400));  // the worker starts first and must wait for the dialog
    EXPECT_EQ("zero", Installed("v0.txt"));
    EXPECT_EQ(Pattern(3000), Installed("one\\s.dat"));
    EXPECT_EQ(Pattern(5000, 3), Installed("one\\c.dat"));
    EXPECT_EQ(3 * 1024, rangeHigh);
    ExpectBarSteps({0, 2, 3 * 1024});  // 3000 stored bytes: 2 KiB
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
    LeaveReadOnly(Folder(), "readme.txt");
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
    ExpectBarSteps({0, 64, 68, 70, 1024});  // 70000 bytes in 64 KiB chunks, then op.mpg
    EXPECT_EQ(Folder() + "\\voice\\v1.wav", lastText);
}

// The first entry has no label, so no disc can carry it. Without a maker
// name the install folder holds a doubled backslash, as the system reads it.
TEST_F(CopyWorker, CancelAtTheDiscPromptRemovesWhatWasCopiedAndTheMakersFolder) {
    const std::string disc1 = MakeDisc("disc1", "Disc1");
    Put(disc1, "game.pak", MakePak(0, {{"sub\\unpacked.txt", "x"}}));
    Put(disc1, "a.txt", "a");
    Insert(disc1);
    for (const char* brand : {"Maker 表", ""}) {
        config.brand = brand;
        config.installFolder = (dir / "Program Files\\" + brand + "\\ゲーム ソ").c_str();
        ChooseType("game.pak", "a.txt;Disc1:a.txt", 1);
        BoxAnswerer prompts(kCaptionInsertDisc, {IDOK, IDCANCEL});
        EXPECT_EQ(0, Run());
        EXPECT_EQ(std::vector<std::string>(2, Format(kFmtInsertDisc, "ゲーム", "")), prompts.Texts());
        EXPECT_FALSE(Exists(Folder()) || Exists(dir / "Program Files\\Maker 表")) << brand;
        EXPECT_TRUE(Exists(dir / "Program Files"));  // the folder the user chose stays
    }
}

// A dialog that cannot be created (a refused window here) gives its worker no
// window to wait for: the copy ends at once with the error, and copies nothing.
TEST_F(CopyWorker, AProgressDialogThatCannotOpenEndsTheCopyWithTheError) {
    const std::string disc = MakeDisc("disc1", "Disc1");
    Put(disc, "a.txt", "a");
    Insert(disc);
    ChooseType("", "Disc1:a.txt", 1);
    g_refused = false;
    HHOOK refuse = SetWindowsHookExA(WH_CBT, RefuseFirstWindow, NULL, GetCurrentThreadId());
    BoxAnswerer errors(DefaultCaption().c_str(), {IDOK});
    EXPECT_EQ(0, RunCopyStep(config));
    UnhookWindowsHookEx(refuse);
    EXPECT_EQ(1, errors.Answered());
    EXPECT_FALSE(Exists(Folder()));
}

// A DVD's file of 2.5 GB (sparse on the disc) arrives whole.
TEST_F(CopyWorker, FilesOf2GiBAndMoreAreCopiedWhole) {
    const std::string disc = MakeDisc("disc1", "Disc1");
    Put(disc, "big.dat", "");
    const LONGLONG size = 2560LL << 20;
    HANDLE file = CreateFileA((disc + "\\DATA\\big.dat").c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    LARGE_INTEGER end;
    end.QuadPart = size;
    ASSERT_TRUE(SetFilePointerEx(file, end, NULL, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);
    Insert(disc);
    ChooseType("", "Disc1:big.dat", 2600);
    config.requiredBytes = 0;  // whatever the scratch drive has free
    EXPECT_EQ(1, Run());
    WIN32_FILE_ATTRIBUTE_DATA copied = {};
    ASSERT_TRUE(GetFileAttributesExA((Folder() + "\\big.dat").c_str(), GetFileExInfoStandard, &copied));
    EXPECT_EQ(size, (LONGLONG)copied.nFileSizeHigh << 32 | copied.nFileSizeLow);
    DeleteFileA((Folder() + "\\big.dat").c_str());
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

}  // namespace
