// OCFile over disk files and memory blocks: open modes, folder chains,
// wildcards, positions in a block, times, and the Abort/Retry/Ignore prompt
// for a file or an archive that cannot be opened.
#include "ArchiveFixture.h"
#include "base/Messages.h"
#include "support/BoxAnswerer.h"
#include "support/Files.h"

using FileLayer = ArchiveTest;

// Each mode on a file holding "old": what writing "new" through the object
// leaves (read back through it too), and whether it opens a missing file.
TEST_F(FileLayer, OpenModes) {
    const struct { unsigned mode; const char* after; int opensMissing; } cases[] = {
        {kOpenRead, "old", 0}, {3, "old", 0}, {64, "old", 0}, {kOpenCreate, "new", 1}, {kOpenAppend, "oldnew", 1},
    };
    for (const auto& c : cases) {
        dir.Write("x.txt", "old");
        DeleteFileA((dir / "m.txt").c_str());
        OCFile f;
        ASSERT_EQ(1, f.Open((dir / "x.txt").c_str(), c.mode)) << c.mode;
        const bool writes = c.opensMissing;  // the writing modes create missing files
        EXPECT_EQ(writes ? "" : kMsgWriteFailed, ErrorOf([&] { f.Write("new", 3); })) << c.mode;
        EXPECT_EQ(c.after, writes ? ReadEntry(f) : c.after) << c.mode;
        f.Close();
        EXPECT_EQ(c.after, dir.Read("x.txt")) << c.mode;
        EXPECT_EQ(c.opensMissing, f.Open((dir / "m.txt").c_str(), c.mode)) << c.mode;
    }
}

TEST_F(FileLayer, FolderChainsAreCreatedForWritingOnly) {
    OCFile f;
    EXPECT_EQ(0, f.Open((dir / "r\\c.dat").c_str(), kOpenRead));
    EXPECT_FALSE(Exists(dir / "r"));
    EXPECT_EQ(1, f.Open((dir / "表\\ソ\\c.dat").c_str(), kOpenCreate)) << "trail byte 5C is no separator";
    EXPECT_EQ(1, f.Open((dir / "a\\b.dat").c_str(), kOpenAppend));
    f.Close();
    CreateDirectoryPath((dir.Path() + "\\\\x\\\\y\\").c_str());  // doubled and trailing separators
    CreateDirectoryPath((dir / "x\\y\\z").c_str());             // existing folders are no error
    CreateDirectoryPath("rel\\z");                              // below the current folder
    EXPECT_TRUE(Exists(dir / "x\\y\\z") && Exists(dir / "rel\\z"));
}

TEST_F(FileLayer, WildcardOpensTheFirstFileElseLooksThePrefixUpInArchives) {
    CreateDirectoryA((dir / "x1").c_str(), NULL);
    CreateDirectoryA((dir / "x3").c_str(), NULL);
    dir.Write("x2.txt", "two");
    dir.Write("a.pak", Pak(1, {{"title.bmp", "T"}}));
    OCFile f;
    ASSERT_EQ(1, f.Open((dir / "x*").c_str(), kOpenRead));
    EXPECT_EQ(dir / "x2.txt", f.GetPath().GetBuffer());
    EXPECT_EQ("two", ReadEntry(f));
    ASSERT_EQ(1, f.Open("x2*", kOpenRead));
    EXPECT_STREQ("x2.txt", f.GetPath().GetBuffer());
    ASSERT_EQ(1, f.Open("ti*", kOpenRead));
    EXPECT_EQ("T", ReadEntry(f));
    EXPECT_EQ(0, f.Open("zz*", kOpenRead));
}

// A block counts positions from its start whatever the origin; reads and
// writes stop at its end.
TEST_F(FileLayer, MemoryBlocksKeepReadsAndWritesInside) {
    char block[] = "0123456789", c[16] = {};
    OCFile memory, closed;
    EXPECT_EQ(1, memory.OpenMemory(block, 8));
    EXPECT_EQ(0, memory.Seek(5, SEEK_END));
    EXPECT_EQ(3u, memory.Read(c, 16));
    EXPECT_EQ(0u, memory.Write("Z", 1));
    EXPECT_NE(0, memory.Seek(9, SEEK_SET));
    EXPECT_NE(0, memory.Seek(-1, SEEK_SET));
    EXPECT_EQ(0, memory.Seek(6, SEEK_CUR));
    EXPECT_EQ(2u, memory.Write("WXYZ", 4));
    EXPECT_EQ("567012345WX89", std::string(c) + block);
    EXPECT_EQ(1, memory.OpenMemory(NULL, 4));
    EXPECT_EQ(4u, memory.Write("abcdef", 6));
    memory.Seek(0, SEEK_SET);
    EXPECT_FALSE(memory.ReadExact(c, 5)) << "all or nothing";
    EXPECT_EQ(0u, closed.Read(c, 4) + closed.Write("abcd", 4) + closed.GetSize());
}

// Times set while written data still waits in the stream stay when closing
// writes it.
TEST_F(FileLayer, TimesSetBeforeTheLastWriteStay) {
    FILETIME set = {0, 0x01C2E000}, got[3];
    OCFile f;
    ASSERT_EQ(1, f.Open((dir / "t.dat").c_str(), kOpenCreate));
    f.Write("buffered", 8);
    EXPECT_NE(0, f.SetTimes(&set, &set, &set));
    f.Close();
    ASSERT_EQ(1, f.Open((dir / "t.dat").c_str(), kOpenRead));
    EXPECT_EQ(1, f.GetTimes(&got[0], &got[1], &got[2]));
    EXPECT_EQ(0, CompareFileTime(&set, &got[2]));
}

namespace {
void CreateLateFile(void* dir) { ((TempDir*)dir)->Write("missing.dat", "late"); }
}  // namespace

// The box of a failed open, answered from a second thread. (While the quiet
// flag is set, as in the other tests, no box comes.)
TEST_F(FileLayer, OpenPromptAbortRetryIgnore) {
    g_quietOpen = 0;
    const std::string missing = dir / "missing.dat";
    OCString cannotOpen, openFailed;
    cannotOpen.Format(kMsgCannotOpen, missing.c_str());
    openFailed.Format(kMsgOpenFailed, missing.c_str());
    OCFile f;
    {
        BoxAnswerer answerer(kCaptionReadError, {IDIGNORE, IDABORT});
        EXPECT_EQ(0, f.Open(missing.c_str(), kOpenRead));
        EXPECT_EQ(openFailed.GetBuffer(), ErrorOf([&] { f.Open(missing.c_str(), kOpenRead); }));
        EXPECT_EQ(std::vector<std::string>(2, cannotOpen.GetBuffer()), answerer.Texts());
    }
    {
        BoxAnswerer answerer(kCaptionReadError, {IDRETRY, IDRETRY, IDIGNORE});
        answerer.BeforeAnswer(1, CreateLateFile, &dir);
        ASSERT_EQ(1, f.Open(missing.c_str(), kOpenRead));
        EXPECT_EQ("late", ReadEntry(f));
        EXPECT_EQ(2, answerer.Answered());
    }
    // An archive that cannot be opened: Ignore skips it. One of zero length
    // is skipped without a word.
    dir.Write("0.pak", "");
    dir.Write("a.pak", Pak(1, {{"x", "a"}}));
    dir.Write("b.pak", Pak(1, {{"x", "b"}}));
    HANDLE lock = CreateFileA((dir / "a.pak").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    BoxAnswerer answerer(kCaptionReadError, {IDIGNORE});
    EXPECT_EQ(1, f.Open("x", kOpenRead));
    CloseHandle(lock);
    EXPECT_EQ("b", ReadEntry(f));
    cannotOpen.Format(kMsgCannotOpen, (dir / "a.pak").c_str());
    EXPECT_EQ(std::vector<std::string>{cannotOpen.GetBuffer()}, answerer.Texts());
}
