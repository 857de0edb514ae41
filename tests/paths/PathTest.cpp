// OCPath's queries and deletes, and RemoveEmptyFolders.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>
#include <algorithm>
#include <string>
#include <vector>
#include "archive/OCPath.h"
#include "support/TempDir.h"

namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeFolder(const std::string& path) { ASSERT_TRUE(CreateDirectoryA(path.c_str(), NULL)) << path; }

void MakeReadOnly(const std::string& path) { SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY); }

std::string DirectoryOf(const char* path) {
    OCPath held;
    held.Set(path);
    OCString out;
    held.GetDirectory(out);
    return out.GetBuffer() ? out.GetBuffer() : "";
}

void Record(const char* path, DWORD_PTR user) { ((std::vector<std::string>*)user)->push_back(path); }

}  // namespace

TEST(OCPath, DirectoryIsTheTextBeforeTheLastBackslash) {
    EXPECT_EQ("C:\\a", DirectoryOf("C:\\a\\b.txt"));
    EXPECT_EQ("C:\\a\\", DirectoryOf("C:\\a\\"));
    EXPECT_EQ("b.txt", DirectoryOf("b.txt"));
    EXPECT_EQ("", DirectoryOf(""));
}

TEST(OCPath, DirectoryStepsOverATrailByteThatLooksLikeABackslash) {
    // 表 is 0x95 0x5C in Shift-JIS.
    EXPECT_EQ("C:\\a", DirectoryOf("C:\\a\\\x95\x5C"));
    EXPECT_EQ("C:\\\x95\x5C", DirectoryOf("C:\\\x95\x5C\\x.txt"));
    EXPECT_EQ("C:\\\x95\x5C\\", DirectoryOf("C:\\\x95\x5C\\"));
}

TEST(OCPath, SpecialFolderIsTheProgramsFolderOrUnchanged) {
    OCPath programs;
    programs.SetSpecialFolder(CSIDL_PROGRAMS);
    char expected[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathA(NULL, expected, CSIDL_PROGRAMS, FALSE));
    EXPECT_STREQ(expected, programs.GetPath().GetBuffer());

    OCPath held;
    held.Set("C:\\kept");
    held.SetSpecialFolder(0x7FFF);                   // no such folder
    EXPECT_STREQ("C:\\kept", held.GetPath().GetBuffer());
}

TEST(OCPath, DeleteTreeKeepsReadOnlyFilesAndTheFoldersAboveThem) {
    TempDir dir;
    MakeFolder(dir / "keep");
    MakeFolder(dir / "keep\\inner");
    MakeFolder(dir / "gone");
    MakeFolder(dir / "gone\\deep");
    dir.Write("top.txt", "1");
    dir.Write("keep\\inner\\locked.txt", "2");
    dir.Write("keep\\inner\\loose.txt", "3");
    dir.Write("gone\\deep\\x.txt", "4");
    MakeReadOnly(dir / "keep\\inner\\locked.txt");
    MakeReadOnly(dir / "gone\\deep");                // a read-only folder still goes

    std::vector<std::string> deleted;
    OCPath path;
    path.SetFileCallback(Record, (DWORD_PTR)&deleted);
    path.DeleteTree(dir.Path().c_str());

    EXPECT_TRUE(Exists(dir / "keep\\inner\\locked.txt"));
    EXPECT_FALSE(Exists(dir / "keep\\inner\\loose.txt"));
    EXPECT_FALSE(Exists(dir / "top.txt"));
    EXPECT_FALSE(Exists(dir / "gone"));
    EXPECT_TRUE(Exists(dir.Path()));                 // the folder itself stays
    EXPECT_EQ(3u, deleted.size());
    EXPECT_NE(deleted.end(), std::find(deleted.begin(), deleted.end(), dir / "gone\\deep\\x.txt"));
    SetFileAttributesA((dir / "keep\\inner\\locked.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(OCPath, RemoveTakesAFolderOnlyWhenRecursive) {
    TempDir dir;
    MakeFolder(dir / "game");
    dir.Write("game\\a.txt", "a");
    OCPath path;
    path.Set((dir / "game").c_str());
    path.Remove(0, "*.*");
    EXPECT_TRUE(Exists(dir / "game\\a.txt"));
    path.Remove(1, "*.*");
    EXPECT_FALSE(Exists(dir / "game"));
}

TEST(OCPath, RemoveDeletesAFileUnlessItIsReadOnly) {
    TempDir dir;
    dir.Write("a.txt", "a");
    dir.Write("b.txt", "b");
    MakeReadOnly(dir / "b.txt");
    std::vector<std::string> deleted;
    OCPath path;
    path.SetFileCallback(Record, (DWORD_PTR)&deleted);
    path.Set((dir / "a.txt").c_str());
    path.Remove(0, "*.*");
    path.Set((dir / "b.txt").c_str());
    path.Remove(1, "*.*");
    EXPECT_FALSE(Exists(dir / "a.txt"));
    EXPECT_TRUE(Exists(dir / "b.txt"));
    EXPECT_EQ(std::vector<std::string>{dir / "a.txt"}, deleted);
    SetFileAttributesA((dir / "b.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(OCPath, RemoveOnAFolderWithABackslashTakesItsMatchingEntries) {
    TempDir dir;
    MakeFolder(dir / "game");
    MakeFolder(dir / "game\\sub");
    dir.Write("game\\sub\\s.txt", "s");
    dir.Write("game\\a.txt", "a");
    dir.Write("game\\b.dat", "b");
    OCPath path;
    path.Set((dir / "game\\").c_str());
    path.Remove(0, "*.txt");
    EXPECT_FALSE(Exists(dir / "game\\a.txt"));
    EXPECT_TRUE(Exists(dir / "game\\b.dat"));
    path.Remove(1, "*.*");
    EXPECT_FALSE(Exists(dir / "game\\sub"));
    EXPECT_FALSE(Exists(dir / "game\\b.dat"));
    EXPECT_TRUE(Exists(dir / "game"));
}

TEST(RemoveEmptyFolders, StopsAtTheFirstFolderThatIsNotEmpty) {
    TempDir dir;
    MakeFolder(dir / "A");
    MakeFolder(dir / "A\\B");
    MakeFolder(dir / "A\\B\\D");
    dir.Write("A\\B\\other.txt", "x");
    RemoveEmptyFolders((dir / "A\\B\\D").c_str());
    EXPECT_FALSE(Exists(dir / "A\\B\\D"));
    EXPECT_TRUE(Exists(dir / "A\\B"));
    EXPECT_TRUE(Exists(dir / "A"));
}

TEST(RemoveEmptyFolders, RemovesEachEmptyParentAlsoAfterATrailingBackslash) {
    TempDir dir;
    dir.Write("marker.txt", "stops here");
    MakeFolder(dir / "A");
    MakeFolder(dir / "A\\B");
    RemoveEmptyFolders((dir / "A\\B\\").c_str());
    EXPECT_FALSE(Exists(dir / "A"));
    EXPECT_TRUE(Exists(dir / "marker.txt"));
}
