// CopyFileWithTimes: chunks, times, attributes, archive sources, and sources
// that end early or cannot be opened.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>
#include "archive/OCFile.h"
#include "archive/OCPath.h"
#include "base/Messages.h"
#include "base/OCException.h"
#include "support/TempDir.h"

namespace {

const DWORD kInstallerMask = 0xFFFFFFFE;            // everything but read-only

struct Progress {
    std::vector<unsigned> chunks;
    std::string truncate;                           // file to cut short after the first chunk
};

void OnChunk(unsigned bytes, DWORD_PTR user) {
    Progress* progress = (Progress*)user;
    // A copy that made no progress would call this for ever.
    if (bytes == 0 || progress->chunks.size() > 100) throw std::runtime_error("copy loops");
    progress->chunks.push_back(bytes);
    if (progress->truncate.empty() || progress->chunks.size() != 1) return;
    HANDLE file = CreateFileA(progress->truncate.c_str(), GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL, OPEN_EXISTING, 0, NULL);
    SetFilePointer(file, 70000, NULL, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
}

std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = (char)(i * 7 + i / 251);
    return bytes;
}

FILETIME Time(WORD year, WORD month, WORD day) {
    SYSTEMTIME s = {};
    s.wYear = year; s.wMonth = month; s.wDay = day; s.wHour = 12;
    FILETIME t;
    SystemTimeToFileTime(&s, &t);
    return t;
}

struct Times { FILETIME creation, access, write; };

Times TimesOf(const std::string& path) {
    Times t = {};
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, 0, NULL);
    GetFileTime(file, &t.creation, &t.access, &t.write);
    CloseHandle(file);
    return t;
}

void SetTimesOf(const std::string& path, const Times& t) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    SetFileTime(file, &t.creation, &t.access, &t.write);
    CloseHandle(file);
}

bool Same(const FILETIME& a, const FILETIME& b) { return CompareFileTime(&a, &b) == 0; }

void Put32(std::string& out, DWORD value) { out.append((const char*)&value, 4); }

// A version-0 archive holding one stored entry.
std::string ArchiveWith(const std::string& name, const std::string& data) {
    std::string pak;
    Put32(pak, 0);
    Put32(pak, 1);
    Put32(pak, (DWORD)name.size());
    pak += name;
    Put32(pak, (DWORD)(pak.size() + 12));           // offset from the file's start
    Put32(pak, 0);
    Put32(pak, (DWORD)data.size());
    return pak + data;
}

}  // namespace

TEST(CopyFileWithTimes, CopiesInChunksWithTheTimesAndClearsOnlyReadOnly) {
    TempDir dir;
    const std::string data = Pattern(150000);
    dir.Write("src.bin", data);
    const Times set = {Time(2001, 2, 3), Time(2002, 3, 4), Time(2003, 4, 5)};
    SetTimesOf(dir / "src.bin", set);
    SetFileAttributesA((dir / "src.bin").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    const DWORD attributes = GetFileAttributesA((dir / "src.bin").c_str());
    ASSERT_EQ((DWORD)(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));

    Progress progress;
    CopyFileWithTimes((dir / "src.bin").c_str(), (dir / "out\\dst.bin").c_str(), 1, kInstallerMask,
                      OnChunk, (DWORD_PTR)&progress);

    // Before any further read, which may move the access times.
    const Times source = TimesOf(dir / "src.bin");
    const Times copy = TimesOf(dir / "out\\dst.bin");
    EXPECT_EQ(data, dir.Read("out\\dst.bin"));
    EXPECT_EQ((std::vector<unsigned>{65536, 65536, 150000 - 2 * 65536}), progress.chunks);
    EXPECT_EQ(attributes & ~(DWORD)FILE_ATTRIBUTE_READONLY, GetFileAttributesA((dir / "out\\dst.bin").c_str()));
    EXPECT_TRUE(Same(set.write, copy.write));
    EXPECT_TRUE(Same(source.access, copy.access));
    EXPECT_TRUE(Same(source.creation, copy.creation));
    SetFileAttributesA((dir / "src.bin").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(CopyFileWithTimes, AllOnesMaskLeavesTheAttributesAlone) {
    TempDir dir;
    dir.Write("src.txt", "abc");
    SetFileAttributesA((dir / "src.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    CopyFileWithTimes((dir / "src.txt").c_str(), (dir / "dst.txt").c_str(), 1, 0xFFFFFFFF, NULL, 0);
    EXPECT_EQ("abc", dir.Read("dst.txt"));
    EXPECT_FALSE(GetFileAttributesA((dir / "dst.txt").c_str()) & FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((dir / "src.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(CopyFileWithTimes, OverwritesOnlyWhenAsked) {
    TempDir dir;
    dir.Write("src.txt", "new");
    dir.Write("dst.txt", "old!");
    CopyFileWithTimes((dir / "src.txt").c_str(), (dir / "dst.txt").c_str(), 0, kInstallerMask, NULL, 0);
    EXPECT_EQ("old!", dir.Read("dst.txt"));
    CopyFileWithTimes((dir / "src.txt").c_str(), (dir / "dst.txt").c_str(), 1, kInstallerMask, NULL, 0);
    EXPECT_EQ("new", dir.Read("dst.txt"));
}

TEST(CopyFileWithTimes, EmptySourceGivesAnEmptyFileAndNoProgress) {
    TempDir dir;
    dir.Write("empty.txt", "");
    Progress progress;
    CopyFileWithTimes((dir / "empty.txt").c_str(), (dir / "copy.txt").c_str(), 1, kInstallerMask,
                      OnChunk, (DWORD_PTR)&progress);
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir / "copy.txt").c_str()));
    EXPECT_EQ("", dir.Read("copy.txt"));
    EXPECT_TRUE(progress.chunks.empty());
}

TEST(CopyFileWithTimes, SourceThatEndsEarlyFailsWithAReadErrorAndLeavesNoCopy) {
    TempDir dir;
    dir.Write("shrinks.bin", Pattern(200000));
    Progress progress;
    progress.truncate = dir / "shrinks.bin";        // cut to 70000 bytes while copying
    const std::string source = dir / "shrinks.bin";
    try {
        CopyFileWithTimes(source.c_str(), (dir / "dst.bin").c_str(), 1, kInstallerMask, OnChunk,
                          (DWORD_PTR)&progress);
        FAIL() << "no error for a source that ended early";
    } catch (const OCErrorException& e) {
        OCString expected;
        expected.Format(kMsgReadFailed, source.c_str());
        EXPECT_STREQ(expected.GetBuffer(), e.message.GetBuffer());
        EXPECT_NE(0, e.code);
    }
    EXPECT_EQ((std::vector<unsigned>{65536, 70000 - 65536}), progress.chunks);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir / "dst.bin").c_str()));
}

TEST(CopyFileWithTimes, EntryOfAnArchiveArrivesAsANormalFile) {
    TempDir dir;
    dir.Write("data.pak", ArchiveWith("inside.txt", "packed text"));
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(dir.Path().c_str());
    CopyFileWithTimes("inside.txt", (dir / "out\\inside.txt").c_str(), 1, kInstallerMask, NULL, 0);
    SetCurrentDirectoryA(previous);
    EXPECT_EQ("packed text", dir.Read("out\\inside.txt"));
    // The system may add the archive bit; nothing else may be set.
    const DWORD attributes = GetFileAttributesA((dir / "out\\inside.txt").c_str());
    EXPECT_EQ(0u, attributes & ~(DWORD)(FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_ARCHIVE)) << attributes;
}

TEST(CopyFileWithTimes, SourceThatCannotBeOpenedCreatesNoDestination) {
    TempDir dir;
    g_quietOpen = 1;                                 // the open fails as after Ignore
    CopyFileWithTimes((dir / "missing.txt").c_str(), (dir / "dst.txt").c_str(), 1, kInstallerMask, NULL, 0);
    g_quietOpen = 0;
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((dir / "dst.txt").c_str()));
}
