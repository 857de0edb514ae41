// Folder and path operations on real folders of the test prefix: the folder
// part of a path, the recursive deletes and the guard in front of them, and
// removing emptied folders.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>
#include "archive/OCPath.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace {

std::string ShellFolder(int csidl) {
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(NULL, path, csidl, FALSE);
    return path;
}

void Record(const char* path, DWORD_PTR user) { ((std::vector<std::string>*)user)->push_back(path); }

void MakeFolders(const TempDir& dir, std::initializer_list<const char*> names) {
    for (const char* name : names) ASSERT_TRUE(CreateDirectoryA((dir / name).c_str(), NULL)) << name;
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
    MakeFolders(dir, {"t", "t\\keep", "t\\gone", "t\\gone\\deep", "f", "f\\sub"});
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
    std::vector<std::string> deleted;
    OCPath path;
    path.SetFileCallback(Record, (DWORD_PTR)&deleted);
    for (const auto& step : steps) {
        path.Set((dir / step.path).c_str());
        if (step.op == 'T') path.DeleteTree((dir / step.path).c_str());
        else path.Remove(step.op - '0', step.pattern);
        for (const char* name : step.gone) EXPECT_FALSE(Exists(dir / name)) << step.op << step.path << " " << name;
        for (const char* name : step.kept) EXPECT_TRUE(Exists(dir / name)) << step.op << step.path << " " << name;
    }
    EXPECT_EQ(6u, deleted.size()) << "every deleted file is announced";
    for (const char* name : {"t\\keep\\locked.txt", "f\\locked.txt"})
        SetFileAttributesA((dir / name).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(OCPath, RemoveEmptyFoldersStopsAtTheFirstThatIsNotEmpty) {
    TempDir dir;
    MakeFolders(dir, {"A", "A\\B", "A\\B\\D", "C", "C\\E"});
    dir.Write("A\\B\\other.txt", "x");
    RemoveEmptyFolders((dir / "A\\B\\D").c_str());
    RemoveEmptyFolders((dir / "C\\E\\").c_str());
    EXPECT_FALSE(Exists(dir / "A\\B\\D") || Exists(dir / "C"));
    EXPECT_TRUE(Exists(dir / "A\\B") && Exists(dir.Path()));
}

TEST(RemovalGuard, RefusesRootsSystemFoldersAndDotComponents) {
    TempDir dir;
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
    char saved[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, saved);
    for (const auto& c : cases) {
        // relative paths: "sub" below the scratch folder, "system32" below the Windows folder
        SetCurrentDirectoryA(c.path == "system32" ? windows : dir.Path().c_str());
        EXPECT_EQ(c.removable, IsRemovableTree(c.path.c_str())) << c.path;
    }
    SetCurrentDirectoryA(saved);
    EXPECT_FALSE(IsRemovableTree(NULL));
}
