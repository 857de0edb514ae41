// Folder chains, existence tests and the trailing-backslash test, with
// Shift-JIS names whose trail byte is 0x5C (表 = 95 5C, ソ = 83 5C).
#include "ArchiveFixture.h"
#include "support/TempDir.h"

namespace {

int CountChildren(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    int n = 0;
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        if (lstrcmpA(found.cFileName, ".") && lstrcmpA(found.cFileName, "..")) n++;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return n;
}

}  // namespace

TEST(PathHelpers, TrailByteIsNotABackslash) {
    ASSERT_EQ(std::string("\x95\x5C"), std::string("表"));
    ASSERT_EQ(std::string("\x83\x5C"), std::string("ソ"));
    EXPECT_EQ(0, EndsWithBackslash("表"));
    EXPECT_EQ(0, EndsWithBackslash("C:\\ゲーム\\ソ"));
    EXPECT_EQ(1, EndsWithBackslash("C:\\表\\"));
    EXPECT_EQ(1, EndsWithBackslash("\\"));
    EXPECT_EQ(0, EndsWithBackslash("C:\\a"));
    EXPECT_EQ(0, EndsWithBackslash(""));
    EXPECT_EQ(0, EndsWithBackslash(NULL));
}

TEST(PathHelpers, CreatesEveryFolderOfAChainWithDoubledAndTrailingSeparators) {
    char name[64];
    wsprintfA(name, "C:\\octest-%lu", GetCurrentProcessId());
    std::string root = name;
    CreateDirectoryPath((root + "\\\\y\\z\\").c_str());
    EXPECT_TRUE(FolderExists(root));
    EXPECT_TRUE(FolderExists(root + "\\y\\z"));
    EXPECT_EQ(1, CountChildren(root));
    CreateDirectoryPath((root + "\\y").c_str());  // existing folders are no error
    EXPECT_TRUE(FolderExists(root + "\\y\\z"));
    RemoveTree(root);
}

TEST(PathHelpers, CreatesFoldersWithTrailByte5CNames) {
    TempDir dir;
    CreateDirectoryPath((dir / "表\\ソ\\x").c_str());
    EXPECT_TRUE(FolderExists(dir / "表\\ソ\\x"));
    EXPECT_EQ(1, CountChildren(dir.Path())) << "no folder from half a character";
    EXPECT_EQ(1, CountChildren(dir / "表"));
}

TEST(PathHelpers, RelativeChainsLandBelowTheCurrentFolder) {
    TempDir dir;
    char saved[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, saved);
    SetCurrentDirectoryA(dir.Path().c_str());
    CreateDirectoryPath("a\\b");
    SetCurrentDirectoryA(saved);
    EXPECT_TRUE(FolderExists(dir / "a\\b"));
}

using PathOnMedium = ArchiveTest;  // the scratch folder (on C:) is the current folder

TEST_F(PathOnMedium, ExistenceOnAMountedVolume) {
    dir.Write("f.pak", "");
    EXPECT_EQ(1, PathExistsOnMedium((dir / "f.pak").c_str()));
    EXPECT_EQ(1, PathExistsOnMedium(dir.Path().c_str()));
    EXPECT_EQ(0, PathExistsOnMedium((dir / "none.pak").c_str()));
    EXPECT_EQ(1, PathExistsOnMedium("C:"));
    EXPECT_EQ(1, PathExistsOnMedium("\\windows"));   // root of the current drive, C:
    EXPECT_EQ(0, PathExistsOnMedium("\\no-such-folder"));
    EXPECT_EQ(1, FileExists((dir / "f.pak").c_str()));
}

TEST(PathHelpers, UnmountedDriveIsNotAsked) {
    // Find a letter with no volume; its paths never exist.
    for (char letter = 'Q'; letter <= 'Y'; letter++) {
        char root[4] = {letter, ':', '\\', 0};
        if (GetDriveTypeA(root) != DRIVE_NO_ROOT_DIR) continue;
        std::string path = std::string(1, letter) + ":\\data\\x.pak";
        EXPECT_EQ(0, PathExistsOnMedium(path.c_str()));
        EXPECT_EQ(0, PathExistsOnMedium(std::string(1, letter).append(":").c_str()));
        return;
    }
    GTEST_SKIP() << "every drive letter is mapped";
}
