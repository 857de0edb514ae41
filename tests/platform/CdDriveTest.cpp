// The tests' disc drives: a folder mapped as a CD-ROM drive is seen as one by
// the program, and re-mapping it swaps the disc while the process runs.
#include <windows.h>
#include <gtest/gtest.h>
#include "support/CdDrive.h"
#include "support/TempDir.h"

namespace {

class CdDriveTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryA((dir / "disc1").c_str(), NULL);
        CreateDirectoryA((dir / "disc2").c_str(), NULL);
        dir.Write("disc1\\one.txt", "first");
        dir.Write("disc2\\two.txt", "second");
    }
    void TearDown() override { UnmapDrive('Q'); }
    TempDir dir;
};

TEST_F(CdDriveTest, MappedFolderIsCdRomAndSwaps) {
    ASSERT_TRUE(MapCdDrive('Q', dir / "disc1"));
    EXPECT_EQ((UINT)DRIVE_CDROM, GetDriveTypeA("Q:\\"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("Q:\\one.txt"));

    ASSERT_TRUE(MapCdDrive('Q', dir / "disc2"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("Q:\\one.txt"));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("Q:\\two.txt"));
}

TEST_F(CdDriveTest, UnmappedDriveHasNoRoot) {
    ASSERT_TRUE(MapCdDrive('Q', dir / "disc1"));
    ASSERT_TRUE(UnmapDrive('Q'));
    EXPECT_EQ((UINT)DRIVE_NO_ROOT_DIR, GetDriveTypeA("Q:\\"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA("Q:\\one.txt"));
}

}  // namespace
