// Folder and path operations on real folders of the test prefix: the folder part of a
// path, the recursive deletes and the guard in front of them, and CopyFileWithTimes.
#include <windows.h>
#include <shlobj.h>
#include <cstring>
#include <stdexcept>
#include <vector>
#include "archive/ArchiveFixture.h"
#include "archive/OCPath.h"
#include "base/Messages.h"
#include "support/Files.h"

namespace {

const DWORD kInstallerMask = 0xFFFFFFFE;  // everything but read-only
const DWORD kKept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;

std::string ShellFolder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(NULL, path, csidl, FALSE);
    return path;
}

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

TEST(OCPath, DirectoryIsTheTextBeforeTheLastBackslash) {
    const struct { const char* path; const char* directory; } cases[] = {
        {"C:\\a\\b.txt", "C:\\a"}, {"C:\\a\\", "C:\\a\\"},     {"b.txt", "b.txt"},        {"", ""},
        {"C:\\a\\表", "C:\\a"},    {"C:\\表\\x.txt", "C:\\表"}, {"C:\\表\\", "C:\\表\\"},
    };
    for (const auto& c : cases) {
        OCPath path;
        path.Set(c.path);
        OCString out;
        path.GetDirectory(out);
        EXPECT_EQ(c.directory, std::string(out.GetBuffer() ? out.GetBuffer() : "")) << c.path;
    }
}

// One tree, deleted step by step: DeleteTree ('T'), or Remove with recursion
// 0 or 1 on a held file or folder (with a backslash: the folder's entries).
TEST(OCPath, DeletesKeepReadOnlyFilesAndTheFoldersAboveThem) {
    TempDir dir;
    for (const char* name : {"t", "t\\keep", "t\\gone", "t\\gone\\deep", "f", "f\\sub"})
        ASSERT_TRUE(CreateDirectoryA((dir / name).c_str(), NULL)) << name;
    for (const char* name : {"t\\top.txt", "t\\keep\\locked.txt", "t\\keep\\loose.txt", "t\\gone\\deep\\x.txt",
                             "f\\a.txt", "f\\b.dat", "f\\sub\\s.txt", "f\\locked.txt"})
        dir.Write(name, "x");
    for (const char* name : {"t\\keep\\locked.txt", "f\\locked.txt", "t\\gone\\deep"})  // a read-only folder still goes
        SetFileAttributesA((dir / name).c_str(), FILE_ATTRIBUTE_READONLY);
    const struct { char op; const char* path; const char* pattern; std::vector<const char*> gone, kept; } steps[] = {
        // the guard stands in front of every recursive delete: f\sub\.. would reach f
        {'T', "f\\sub\\..", "", {}, {"f\\a.txt"}}, {'1', "f\\sub\\..", "*.*", {}, {"f\\a.txt"}},
        {'0', "f\\sub\\..\\", "*.*", {}, {"f\\a.txt"}},
        {'T', "t", "", {"t\\top.txt", "t\\keep\\loose.txt", "t\\gone"}, {"t\\keep\\locked.txt"}},
        {'0', "f\\sub", "*.*", {}, {"f\\sub\\s.txt"}},
        {'0', "f\\", "*.txt", {"f\\a.txt"}, {"f\\b.dat", "f\\sub", "f\\locked.txt"}},
        {'0', "f\\b.dat", "*.*", {"f\\b.dat"}, {}},
        {'1', "f\\locked.txt", "*.*", {}, {"f\\locked.txt"}},
        {'1', "f\\sub", "*.*", {"f\\sub"}, {}},
    };
    OCPath path;
    for (const auto& step : steps) {
        path.Set((dir / step.path).c_str());
        if (step.op == 'T') path.DeleteTree((dir / step.path).c_str());
        else path.Remove(step.op - '0', step.pattern);
        for (const char* name : step.gone) EXPECT_FALSE(Exists(dir / name)) << step.op << step.path << " " << name;
        for (const char* name : step.kept) EXPECT_TRUE(Exists(dir / name)) << step.op << step.path << " " << name;
    }
}

using RemovalGuard = ArchiveTest;  // the scratch folder is the current folder

TEST_F(RemovalGuard, RefusesRootsSystemFoldersAndDotComponents) {
    char windows[MAX_PATH], system[MAX_PATH], shortForm[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, MAX_PATH);
    GetSystemDirectoryA(system, MAX_PATH);
    std::string lower = windows;
    CharLowerA(&lower[0]);
    const std::string programFiles = ShellFolder(CSIDL_PROGRAM_FILES), programs = ShellFolder(CSIDL_PROGRAMS);
    GetShortPathNameA(programFiles.c_str(), shortForm, MAX_PATH);
    const struct { std::string path; bool removable; } cases[] = {
        {dir.Path(), true}, {dir / "", true}, {dir / "表\\x", true}, {"sub", true},
        {programFiles + "\\Maker\\Game", true}, {programs + "\\Maker\\Title", true},
        {"", false}, {"C:", false}, {"C:\\", false}, {"c:/", false}, {"\\", false},
        {"\\\\server\\share", false}, {"\\\\server\\share\\", false},
        {windows, false}, {system, false}, {lower + "\\", false}, {"system32", false},
        {programFiles, false}, {shortForm, false}, {ShellFolder(CSIDL_PROGRAM_FILES_COMMON), false},
        {programs, false}, {programs.substr(0, programs.rfind('\\')), false},  // the Start menu holds it
        {dir / "sub\\..", false}, {dir / "sub\\.", false}, {dir / "x\\..\\sub", false},
        {dir.Path() + "\\\\sub", true}, {dir / "sub\\...", false}, {dir / "sub\\\\", false},
        {"C:\\\\", false}, {std::string(windows).insert(2, "\\"), false},  // doubled separators count as one
        {dir / "sub\\ ", false}, {std::string(windows) + "x", true}, {std::string(windows, strlen(windows) - 1), true},
    };
    for (const auto& c : cases) {
        // relative paths: "sub" below the scratch folder, "system32" below the Windows folder
        SetCurrentDirectoryA(c.path == "system32" ? windows : dir.Path().c_str());
        EXPECT_EQ(c.removable, IsRemovableTree(c.path.c_str())) << c.path;
    }
    EXPECT_FALSE(IsRemovableTree(NULL));
}

using Copy = ArchiveTest;  // a missing source fails quietly, as after Ignore

TEST_F(Copy, CarriesTimesAndAttributesButReadOnly) {
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
}

// The source (NULL: missing), the destination before and after (NULL: none):
// a read-only, hidden or system file in the way is replaced too.
TEST_F(Copy, ReplacesOnlyWhenAskedAndNeverForAMissingSource) {
    const DWORD inTheWay = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const struct { const char* source; const char* before; DWORD attributes; int overwrite; const char* after; } cases[] = {
        {"new", nullptr, 0, 0, "new"}, {"new", "old", 0, 0, "old"}, {"new", "old", 0, 1, "new"},
        {"new", "old", inTheWay, 1, "new"}, {"", nullptr, 0, 1, ""}, {nullptr, nullptr, 0, 1, nullptr},
    };
    for (const auto& c : cases) {
        SetFileAttributesA((dir / "dst.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
        for (const char* name : {"src.txt", "dst.txt"}) DeleteFileA((dir / name).c_str());
        if (c.source) dir.Write("src.txt", c.source);
        if (c.before) dir.Write("dst.txt", c.before);
        if (c.attributes) SetFileAttributesA((dir / "dst.txt").c_str(), c.attributes);
        Progress progress;
        CopyFileWithTimes((dir / "src.txt").c_str(), (dir / "dst.txt").c_str(), c.overwrite, kInstallerMask,
                          OnChunk, (DWORD_PTR)&progress);
        EXPECT_EQ(c.after != nullptr, Exists(dir / "dst.txt")) << c.source << c.before << c.overwrite;
        EXPECT_EQ(c.after ? c.after : "", dir.Read("dst.txt")) << c.source << c.before << c.overwrite;
        EXPECT_EQ(c.after && c.source && !strcmp(c.source, c.after) ? strlen(c.source) : 0, progress.bytes) << c.source;
        if (c.after && c.overwrite) EXPECT_EQ(0u, GetFileAttributesA((dir / "dst.txt").c_str()) & inTheWay);
    }
    // Windows refuses to write over such a file (Wine lets an administrator):
    // what stands in the way is taken off first.
    dir.Write("dst.txt", "old");
    SetFileAttributesA((dir / "dst.txt").c_str(), inTheWay | FILE_ATTRIBUTE_ARCHIVE);
    MakeReplaceable((dir / "dst.txt").c_str());
    EXPECT_EQ((DWORD)FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesA((dir / "dst.txt").c_str()));
}

TEST_F(Copy, EntryArrivesAsANormalFile) {
    dir.Write("data.pak", Pak(0, {{"inside.txt", "packed text"}}));
    CopyFileWithTimes("inside.txt", (dir / "out\\inside.txt").c_str(), 1, kInstallerMask, NULL, 0);
    EXPECT_EQ("packed text", dir.Read("out\\inside.txt"));
    EXPECT_EQ(0u, GetFileAttributesA((dir / "out\\inside.txt").c_str()) & ~(DWORD)FILE_ATTRIBUTE_ARCHIVE);
}

TEST_F(Copy, SourceThatEndsEarlyFailsAndLeavesNoCopy) {
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
