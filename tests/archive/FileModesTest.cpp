// Disk files through OCFile: open modes, folder chains, wildcards, seeking,
// sizes, times and the closed object.
#include "ArchiveFixture.h"
#include "PakBuilder.h"
#include "base/Messages.h"

using FileModes = ArchiveTest;

TEST_F(FileModes, ReadModesOpenExistingFilesOnly) {
    dir.Write("x.txt", "hello");
    for (unsigned mode : {0u, 3u, 64u}) {
        OCFile f;
        ASSERT_EQ(1, f.Open((dir / "x.txt").c_str(), mode)) << mode;
        EXPECT_EQ("hello", ReadAll(f)) << mode;
        EXPECT_EQ(0, f.Open((dir / "missing.txt").c_str(), mode)) << mode;
    }
    EXPECT_FALSE(FileExists((dir / "missing.txt").c_str()));
}

TEST_F(FileModes, CreateModeTruncatesAndReadsBack) {
    dir.Write("x.txt", "old contents");
    OCFile f;
    ASSERT_EQ(1, f.Open((dir / "x.txt").c_str(), 1));
    EXPECT_EQ(0u, f.GetSize());
    EXPECT_EQ(3u, f.Write("abc", 3));
    EXPECT_EQ(0, f.Seek(0, 0));
    EXPECT_EQ("abc", ReadAll(f));
    f.Close();
    EXPECT_EQ("abc", dir.Read("x.txt"));
}

TEST_F(FileModes, AppendModeKeepsContentsAndCreatesMissingFiles) {
    dir.Write("x.txt", "abc");
    OCFile f;
    ASSERT_EQ(1, f.Open((dir / "x.txt").c_str(), 2));
    f.Write("de", 2);
    f.Seek(0, 0);
    EXPECT_EQ("abcde", ReadAll(f));
    ASSERT_EQ(1, f.Open((dir / "new.txt").c_str(), 2));
    f.Write("n", 1);
    f.Close();
    EXPECT_EQ("abcde", dir.Read("x.txt"));
    EXPECT_EQ("n", dir.Read("new.txt"));
}

TEST_F(FileModes, WriteToReadOnlyStreamThrows) {
    dir.Write("x.txt", "abc");
    OCFile f;
    ASSERT_EQ(1, f.Open((dir / "x.txt").c_str(), 0));
    EXPECT_EQ(kMsgWriteFailed, ErrorMessageOf([&] { f.Write("zz", 2); }));
}

TEST_F(FileModes, WritingCreatesTheFolderChain) {
    OCFile f;
    ASSERT_EQ(1, f.Open((dir / "a\\b\\c.dat").c_str(), 1));
    f.Write("x", 1);
    f.Close();
    EXPECT_TRUE(FolderExists(dir / "a"));
    EXPECT_EQ("x", dir.Read("a\\b\\c.dat"));
    ASSERT_EQ(1, f.Open((dir / "d\\e.dat").c_str(), 2));
    f.Close();
    EXPECT_TRUE(FileExists((dir / "d\\e.dat").c_str()));
}

TEST_F(FileModes, ReadingNeverCreatesFolders) {
    OCFile f;
    EXPECT_EQ(0, f.Open((dir / "a\\c.dat").c_str(), 0));
    EXPECT_FALSE(FolderExists(dir / "a"));
}

TEST_F(FileModes, WildcardOpensTheFirstFileAndSkipsFolders) {
    CreateDirectoryA((dir / "x1").c_str(), NULL);
    CreateDirectoryA((dir / "x3").c_str(), NULL);
    dir.Write("x2.txt", "two");
    OCFile f;
    ASSERT_EQ(1, f.Open((dir / "x*").c_str(), 0));
    EXPECT_STREQ((dir / "x2.txt").c_str(), f.GetPath().GetBuffer());
    EXPECT_EQ("two", ReadAll(f));
}

TEST_F(FileModes, WildcardWithoutFolderOpensInTheCurrentFolder) {
    dir.Write("only.txt", "1");
    OCFile f;
    ASSERT_EQ(1, f.Open("onl*", 0));
    EXPECT_STREQ("only.txt", f.GetPath().GetBuffer());
    EXPECT_EQ("1", ReadAll(f));
}

TEST_F(FileModes, WildcardWithoutMatchLooksUpThePrefixInArchives) {
    dir.Write("a.pak", PakBuilder(1).Stored("readme", "R").Stored("title.bmp", "T").Bytes());
    OCFile f;
    ASSERT_EQ(1, f.Open("ti*", 0));
    EXPECT_EQ("T", ReadEntry(f));
    EXPECT_EQ(0, f.Open("zz*", 0));
}

TEST_F(FileModes, SizeAndSeekOfPlainFiles) {
    dir.Write("x.txt", "0123456789");
    OCFile f;
    ASSERT_EQ(1, f.Open((dir / "x.txt").c_str(), 0));
    char c[2] = {};
    f.Read(c, 1);
    EXPECT_EQ(10u, f.GetSize());
    f.Read(c + 1, 1);
    EXPECT_EQ('1', c[1]) << "GetSize keeps the position";
    EXPECT_EQ(0, f.Seek(-2, 2));
    EXPECT_EQ("89", ReadAll(f));
    EXPECT_EQ(0, f.Seek(3, 0));
    EXPECT_EQ(0, f.Seek(2, 1));
    EXPECT_EQ("56789", ReadAll(f));
}

TEST_F(FileModes, ClosedObjectDoesNothing) {
    OCFile f;
    char buffer[4];
    FILETIME t[3] = {{1, 2}, {3, 4}, {5, 6}};
    EXPECT_EQ(0u, f.Read(buffer, 4));
    EXPECT_EQ(0u, f.Write("abcd", 4));
    EXPECT_EQ(0u, f.GetSize());
    EXPECT_EQ(1, f.GetTimes(&t[0], &t[1], &t[2]));
    EXPECT_EQ(5u, t[2].dwLowDateTime);
    EXPECT_EQ(1, f.SetTimes(&t[0], &t[1], &t[2]));
    EXPECT_EQ(nullptr, f.stream());
}

static FILETIME LocalTime(WORD year, WORD month, WORD day, WORD hour) {
    SYSTEMTIME st = {};
    st.wYear = year;
    st.wMonth = month;
    st.wDay = day;
    st.wHour = hour;
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    return ft;
}

static bool SameTime(const FILETIME& a, const FILETIME& b) {
    return a.dwLowDateTime == b.dwLowDateTime && a.dwHighDateTime == b.dwHighDateTime;
}

TEST_F(FileModes, TimesRoundTripInLocalTime) {
    FILETIME set[3] = {LocalTime(2001, 2, 3, 4), LocalTime(2002, 3, 4, 5), LocalTime(2003, 4, 5, 6)};
    OCFile f;
    ASSERT_EQ(1, f.Open((dir / "t.dat").c_str(), 1));
    f.Write("buffered", 8);  // still in the stream's buffer
    EXPECT_NE(0, f.SetTimes(&set[0], &set[1], &set[2]));
    FILETIME got[3] = {};
    EXPECT_EQ(1, f.GetTimes(&got[0], &got[1], &got[2]));
    // Wine's file systems keep no creation time of their own: check the other two.
    EXPECT_TRUE(SameTime(set[1], got[1]));
    EXPECT_TRUE(SameTime(set[2], got[2]));
    f.Close();

    // The system sees the same instant in UTC, and closing did not restamp it.
    HANDLE h = CreateFileA((dir / "t.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL,
                           OPEN_EXISTING, 0, NULL);
    FILETIME utcWrite, expected;
    GetFileTime(h, NULL, NULL, &utcWrite);
    CloseHandle(h);
    LocalFileTimeToFileTime(&set[2], &expected);
    EXPECT_TRUE(SameTime(expected, utcWrite));
    ASSERT_EQ(1, f.Open((dir / "t.dat").c_str(), 0));
    f.GetTimes(&got[0], &got[1], &got[2]);
    EXPECT_TRUE(SameTime(set[2], got[2]));
    EXPECT_EQ("buffered", ReadAll(f));
}
