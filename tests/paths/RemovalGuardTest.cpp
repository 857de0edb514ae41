// The removal guard: paths a recursive delete must never start from. Each
// refusal is shown on a real folder with a canary file that must survive
// DeleteTree, Remove with recursion, and Remove of the folder's entries.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <string>
#include "archive/OCPath.h"
#include "support/CdDrive.h"
#include "support/TempDir.h"

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ShellFolder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(NULL, path, csidl, FALSE);
    return path;
}

std::string WindowsFolder() {
    char path[MAX_PATH];
    GetWindowsDirectoryA(path, MAX_PATH);
    return path;
}

std::string Parent(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

// Writes `canary`, tries every recursive delete on `path`, and tells whether
// the canary survived all of them.
void ExpectNothingRemoved(const std::string& path, const std::string& canary) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(IsRemovableTree(path.c_str()));
    FILE* f = fopen(canary.c_str(), "wb");
    ASSERT_TRUE(f) << canary;
    fclose(f);
    OCPath deleter;
    deleter.DeleteTree(path.c_str());
    EXPECT_TRUE(Exists(canary)) << "DeleteTree";
    deleter.Set(path.c_str());
    deleter.Remove(1, "*.*");
    EXPECT_TRUE(Exists(canary)) << "Remove";
    deleter.Set((path + "\\").c_str());
    deleter.Remove(0, "*.*");
    EXPECT_TRUE(Exists(canary)) << "Remove of the entries";
    DeleteFileA(canary.c_str());
}

}  // namespace

TEST(RemovalGuard, AcceptsAnOrdinaryFolder) {
    TempDir dir;
    EXPECT_TRUE(IsRemovableTree(dir.Path().c_str()));
    EXPECT_TRUE(IsRemovableTree((dir / "").c_str()));   // one trailing backslash
    EXPECT_TRUE(IsRemovableTree((ShellFolder(CSIDL_PROGRAM_FILES) + "\\Maker\\Game").c_str()));
    EXPECT_TRUE(IsRemovableTree((ShellFolder(CSIDL_PROGRAMS) + "\\Maker\\Title").c_str()));
}

TEST(RemovalGuard, RefusesPathsWithoutAFolderName) {
    for (const char* path : {"", "C:", "C:\\", "c:/", "\\", "\\\\server\\share", "\\\\server\\share\\"})
        EXPECT_FALSE(IsRemovableTree(path)) << path;
    EXPECT_FALSE(IsRemovableTree(NULL));
}

TEST(RemovalGuard, RefusesTheWindowsFolderItsSystemFolderAndAnyFormOfThem) {
    const std::string windows = WindowsFolder();
    ExpectNothingRemoved(windows, windows + "\\canary-windows.txt");
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_FALSE(IsRemovableTree(system));
    std::string lower = windows;
    CharLowerA(&lower[0]);
    EXPECT_FALSE(IsRemovableTree((lower + "\\").c_str()));
}

TEST(RemovalGuard, RefusesProgramFilesAndTheProgramsFolderAndWhatHoldsThem) {
    const std::string programFiles = ShellFolder(CSIDL_PROGRAM_FILES);
    ExpectNothingRemoved(programFiles, programFiles + "\\canary-pf.txt");
    char shortForm[MAX_PATH] = "";
    if (GetShortPathNameA(programFiles.c_str(), shortForm, MAX_PATH) && programFiles != shortForm) {
        EXPECT_FALSE(IsRemovableTree(shortForm)) << shortForm;
    }

    const std::string programs = ShellFolder(CSIDL_PROGRAMS);
    ExpectNothingRemoved(programs, programs + "\\canary-programs.txt");
    const std::string startMenu = Parent(programs);  // holds the Programs folder
    ExpectNothingRemoved(startMenu, startMenu + "\\canary-start.txt");
}

TEST(RemovalGuard, RefusesEmptyAndDotComponents) {
    TempDir dir;
    CreateDirectoryA((dir / "sub").c_str(), NULL);
    // Each of these would reach dir or dir\sub if the system resolved it.
    ExpectNothingRemoved(dir / "sub\\..", dir / "canary.txt");
    ExpectNothingRemoved(dir / "sub\\.", dir / "sub\\canary.txt");
    ExpectNothingRemoved(dir / "x\\..\\sub", dir / "sub\\canary.txt");
    ExpectNothingRemoved(dir.Path() + "\\\\sub", dir / "sub\\canary.txt");
    ExpectNothingRemoved(dir / "sub\\...", dir / "sub\\canary.txt");
    EXPECT_FALSE(IsRemovableTree((dir / "sub\\\\").c_str()));
}

TEST(RemovalGuard, RefusesADriveRootAndAnEmptyPath) {
    TempDir dir;
    CreateDirectoryA((dir / "sub").c_str(), NULL);
    ASSERT_TRUE(MapCdDrive('R', dir.Path()));
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA("R:\\"));
    ExpectNothingRemoved("R:\\", "R:\\canary-root.txt");
    ExpectNothingRemoved("R:", "R:\\canary-root.txt");
    ExpectNothingRemoved("", "R:\\canary-root.txt");  // "\*.*" would be the current root
    // The drive itself allows deleting: a folder on it does go.
    dir.Write("sub\\x.txt", "x");
    OCPath deleter;
    deleter.Set("R:\\sub");
    deleter.Remove(1, "*.*");
    EXPECT_FALSE(Exists(dir / "sub"));
    SetCurrentDirectoryA(previous);
    UnmapDrive('R');
}
