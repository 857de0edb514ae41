// PrepareCopy's work lists and space check, the disk-space query and the
// CD-ROM drive enumeration.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>
#include "install/InstallConfig.h"
#include "install/CopyWorker.h"
#include "install/Drives.h"
#include "support/CdDrive.h"
#include "support/TempDir.h"

namespace {

std::vector<std::string> Texts(const std::vector<OCString>& list) {
    std::vector<std::string> texts;
    for (const OCString& s : list) texts.push_back(s.GetBuffer() ? s.GetBuffer() : "");
    return texts;
}

typedef std::vector<std::string> Strings;

class PrepareCopyTest : public ::testing::Test {
protected:
    void SetUp() override {
        config.types.resize(2);
        config.types[1].title = "full";
        config.selectedType = 1;
        config.installFolder = "C:\\Games\\Maker\\Game";
        GetDiskSpace("C:\\", &freeBytes, &totalBytes);
    }
    InstallConfig config;
    ULONGLONG freeBytes = 0, totalBytes = 0;
};

TEST_F(PrepareCopyTest, SplitsTheListsAndCarriesLabelsForward) {
    config.types[1].unPack = "a.pak;;b.pak;";
    config.types[1].file = "Disc1:a.dat;b.dat;Disc2:c.dat;movie\\*.*";
    config.PrepareCopy();
    EXPECT_EQ((Strings{"a.pak", "b.pak"}), Texts(config.unPackList));
    EXPECT_EQ((Strings{"a.dat", "b.dat", "c.dat", "movie\\*.*"}), Texts(config.filePaths));
    EXPECT_EQ((Strings{"Disc1", "Disc1", "Disc2", "Disc2"}), Texts(config.discLabels));

    // Rebuilt, not appended to, when the user comes back with another type.
    config.types[0].file = "first.dat;Disc3:x:y.dat";
    config.selectedType = 0;
    config.PrepareCopy();
    EXPECT_TRUE(config.unPackList.empty());
    EXPECT_EQ((Strings{"first.dat", "x:y.dat"}), Texts(config.filePaths));
    EXPECT_EQ((Strings{"", "Disc3"}), Texts(config.discLabels));
}

TEST_F(PrepareCopyTest, RequiredBytesAreTheSizeInMegabytesWithoutWrapping) {
    config.types[1].size = 3;
    config.PrepareCopy();
    EXPECT_EQ(3ull << 20, config.requiredBytes);
    config.types[1].size = 4097;
    config.PrepareCopy();
    EXPECT_EQ(4097ull << 20, config.requiredBytes);
}

TEST_F(PrepareCopyTest, SpaceMustExceedTheRequirementByAWholeKiB) {
    const ULONGLONG required = 700ull << 20;
    EXPECT_EQ(0, SpaceSuffices(required, required));
    EXPECT_EQ(0, SpaceSuffices(required + 1023, required));
    EXPECT_EQ(1, SpaceSuffices(required + 1024, required));
    EXPECT_EQ(0, SpaceSuffices(1023, 0));
    EXPECT_EQ(1, SpaceSuffices(1024, 0));
}

TEST_F(PrepareCopyTest, ComparesWithTheInstallDrivesFreeSpace) {
    ASSERT_GT(freeBytes, 200ull << 20);
    const int freeMegabytes = (int)(freeBytes >> 20);
    config.types[1].size = 0;
    EXPECT_EQ(1, config.PrepareCopy());
    config.types[1].size = freeMegabytes - 100;
    EXPECT_EQ(1, config.PrepareCopy());
    config.types[1].size = freeMegabytes + 100;
    EXPECT_EQ(0, config.PrepareCopy());
}

// 32 bits would see a few megabytes in a type that needs more than the drive has.
TEST_F(PrepareCopyTest, SizesOf4096MegabytesOrMoreAreNotWavedThrough) {
    const ULONGLONG freeMegabytes = freeBytes >> 20;
    const int wraps = (int)(freeMegabytes / 4096 + 1) * 4096;
    config.types[1].size = wraps + 1;
    EXPECT_EQ(0, config.PrepareCopy());
    config.types[1].size = -1;
    EXPECT_EQ(0, config.PrepareCopy());
}

TEST_F(PrepareCopyTest, UncAndRelativeInstallFoldersFailTheSpaceCheck) {
    config.types[1].size = 0;
    config.installFolder = "\\\\server\\share\\Game";
    EXPECT_EQ(0, config.PrepareCopy());
    config.installFolder = "Games\\Game";
    EXPECT_EQ(0, config.PrepareCopy());
}

TEST_F(PrepareCopyTest, NoSelectableTypeGivesEmptyListsAndNoSpace) {
    config.types[1].file = "Disc1:a.dat";
    config.PrepareCopy();
    config.selectedType = 5;
    EXPECT_EQ(0, config.PrepareCopy());
    EXPECT_TRUE(config.filePaths.empty());
}

TEST(DiskSpaceTest, ReportsFreeAndTotalOfAVolumeAndZeroWithoutOne) {
    ULONGLONG freeBytes = 1, totalBytes = 1;
    GetDiskSpace("C:\\", &freeBytes, &totalBytes);
    ULARGE_INTEGER available, total, free;
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, &free));
    EXPECT_EQ(total.QuadPart, totalBytes);
    EXPECT_GT(freeBytes, 0ull);
    EXPECT_LE(freeBytes, totalBytes);
    GetDiskSpace("\\\\nowhere\\none\\", &freeBytes, &totalBytes);
    EXPECT_EQ(0ull, freeBytes);
    EXPECT_EQ(0ull, totalBytes);
}

class FindDriveTest : public ::testing::Test {
protected:
    void TearDown() override {
        for (char letter : {'P', 'R', 'T'}) UnmapDrive(letter);
    }
    TempDir dir;
};

TEST_F(FindDriveTest, ListsCdRomDrivesFromZDownToA) {
    for (char letter : {'P', 'R', 'T'}) {
        const std::string folder = dir / std::string(1, letter);
        CreateDirectoryA(folder.c_str(), NULL);
        ASSERT_TRUE(MapCdDrive(letter, folder));
    }
    std::string found;
    for (int drive = FindDrive(DRIVE_CDROM, -1); drive != -1; drive = FindDrive(DRIVE_CDROM, drive))
        if (drive >= 'P' - 'A' && drive <= 'T' - 'A') found += (char)('A' + drive);
    EXPECT_EQ("TRP", found);
    EXPECT_EQ('P' - 'A', FindDrive(DRIVE_CDROM, 'R' - 'A'));
    EXPECT_EQ(-1, FindDrive(DRIVE_CDROM, 0));
    EXPECT_EQ(4, FindDrive(0, 5));                      // type 0 takes any drive
    EXPECT_EQ(2, FindDrive(DRIVE_FIXED, 3));            // C:
}

}  // namespace
