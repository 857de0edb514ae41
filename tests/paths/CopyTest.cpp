// CopyFileWithTimes: the data with its times and masked attributes, from a
// disk file or an archive entry; what it does to an existing destination and
// with a source that is missing, empty, or ends early.
#include <windows.h>
#include <cstring>
#include <stdexcept>
#include "archive/ArchiveFixture.h"
#include "archive/OCPath.h"
#include "base/Messages.h"
#include "support/Files.h"

namespace {

const DWORD kInstallerMask = 0xFFFFFFFE;  // everything but read-only
const DWORD kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;

struct Progress {
    unsigned bytes = 0, calls = 0;
    std::string shrink;  // a file cut to 70000 bytes after the first chunk
};

void OnChunk(unsigned bytes, DWORD_PTR user) {
    Progress* progress = (Progress*)user;
    if (bytes == 0 || ++progress->calls > 100) throw std::runtime_error("the copy loops");
    progress->bytes += bytes;
    if (progress->shrink.empty() || progress->calls != 1) return;
    HANDLE file = CreateFileA(progress->shrink.c_str(), GENERIC_WRITE, 7, NULL, OPEN_EXISTING, 0, NULL);
    SetFilePointer(file, 70000, NULL, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
}

void Times(const std::string& path, FILETIME t[3], bool set) {
    HANDLE file = CreateFileA(path.c_str(), set ? GENERIC_WRITE : GENERIC_READ, 7, NULL, OPEN_EXISTING, 0, NULL);
    if (set) SetFileTime(file, &t[0], &t[1], &t[2]);
    else GetFileTime(file, &t[0], &t[1], &t[2]);
    CloseHandle(file);
}

}  // namespace

TEST(CopyFileWithTimes, CarriesTimesAndAttributesButReadOnly) {
    TempDir dir;
    const std::string data(150000, 'd'), source = dir / "src.bin", copy = dir / "out\\dst.bin";
    dir.Write("src.bin", data);
    FILETIME set[3] = {{0, 0x01C0E000}, {0, 0x01C1E000}, {0, 0x01C2E000}}, from[3], to[3];
    Times(source, set, true);
    SetFileAttributesA(source.c_str(), kKept);
    Progress progress;
    CopyFileWithTimes(source.c_str(), copy.c_str(), 1, kInstallerMask, OnChunk, (DWORD_PTR)&progress);
    Times(source, from, false);  // before any further read moves the access times
    Times(copy, to, false);
    EXPECT_EQ(data, dir.Read("out\\dst.bin"));
    EXPECT_TRUE(progress.calls > 1 && progress.bytes == data.size()) << progress.calls;
    EXPECT_EQ((DWORD)FILE_ATTRIBUTE_HIDDEN, GetFileAttributesA(copy.c_str()) & kKept);
    EXPECT_EQ(0, CompareFileTime(&set[2], &to[2]));
    for (int i = 0; i < 3; i++) EXPECT_EQ(0, CompareFileTime(&from[i], &to[i])) << i;
    CopyFileWithTimes(source.c_str(), (dir / "all.bin").c_str(), 1, 0xFFFFFFFF, NULL, 0);
    EXPECT_EQ(0u, GetFileAttributesA((dir / "all.bin").c_str()) & kKept) << "all-ones mask: none copied";
    SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The source (NULL: missing), the destination before (NULL: none, "RO": a
// read-only "old") and after (NULL: none).
TEST(CopyFileWithTimes, ReplacesOnlyWhenAskedAndNeverForAMissingSource) {
    const struct { const char* source; const char* before; int overwrite; const char* after; } cases[] = {
        {"new", nullptr, 0, "new"}, {"new", "old", 0, "old"}, {"new", "old", 1, "new"}, {"new", "RO", 0, "RO"},
        {"new", "RO", 1, "new"},    {"", nullptr, 1, ""},     {nullptr, nullptr, 1, nullptr},
    };
    g_quietOpen = 1;  // a missing source fails as after Ignore
    for (const auto& c : cases) {
        TempDir dir;
        if (c.source) dir.Write("src.txt", c.source);
        if (c.before) dir.Write("dst.txt", c.before);
        SetFileAttributesA((dir / "dst.txt").c_str(), c.before && c.before == std::string("RO") ? FILE_ATTRIBUTE_READONLY : 0);
        Progress progress;
        CopyFileWithTimes((dir / "src.txt").c_str(), (dir / "dst.txt").c_str(), c.overwrite, kInstallerMask,
                          OnChunk, (DWORD_PTR)&progress);
        EXPECT_EQ(c.after != nullptr, Exists(dir / "dst.txt")) << c.source << c.before << c.overwrite;
        EXPECT_EQ(c.after ? c.after : "", dir.Read("dst.txt")) << c.source << c.before << c.overwrite;
        const bool copied = c.source && c.after && std::string(c.source) == c.after;
        EXPECT_EQ(copied ? strlen(c.source) : 0, progress.bytes) << c.source << c.before << c.overwrite;
        SetFileAttributesA((dir / "dst.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    g_quietOpen = 0;
}

using CopyFromArchive = ArchiveTest;  // the scratch folder is the current folder

TEST_F(CopyFromArchive, EntryArrivesAsANormalFile) {
    dir.Write("data.pak", Pak(0, {{"inside.txt", "packed text"}}));
    CopyFileWithTimes("inside.txt", (dir / "out\\inside.txt").c_str(), 1, kInstallerMask, NULL, 0);
    EXPECT_EQ("packed text", dir.Read("out\\inside.txt"));
    EXPECT_EQ(0u, GetFileAttributesA((dir / "out\\inside.txt").c_str()) & ~(DWORD)FILE_ATTRIBUTE_ARCHIVE);
}

TEST(CopyFileWithTimes, SourceThatEndsEarlyFailsAndLeavesNoCopy) {
    TempDir dir;
    const std::string source = dir / "shrinks.bin";
    dir.Write("shrinks.bin", std::string(200000, 's'));
    Progress progress;
    progress.shrink = source;
    OCString expected;
    expected.Format(kMsgReadFailed, source.c_str());
    EXPECT_EQ(expected.GetBuffer(), ErrorOf([&] {
        CopyFileWithTimes(source.c_str(), (dir / "dst.bin").c_str(), 1, kInstallerMask, OnChunk, (DWORD_PTR)&progress);
    }));
    EXPECT_EQ(70000u, progress.bytes);
    EXPECT_FALSE(Exists(dir / "dst.bin"));
}
