// What every other test relies on: code page 932 and Shift-JIS literals, a folder
// mapped as a CD-ROM drive (J:, no other test's), the guard against forgotten boxes.
#include <windows.h>
#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>
#include "support/CdDrive.h"
#include "support/TempDir.h"

TEST(Platform, TextIsShiftJis) {
    EXPECT_EQ(932u, GetACP());
    EXPECT_STREQ("\x95\x5C\x8E\xA6", "表示");
}

TEST(Platform, MappedFolderIsACdRomDrive) {
    TempDir disc;
    disc.Write("disc.txt", "on the disc");
    ASSERT_TRUE(MapCdDrive('J', disc.Path()));
    EXPECT_EQ((UINT)DRIVE_CDROM, GetDriveTypeA("J:\\"));
    EXPECT_EQ("on the disc", ReadBytes("J:\\disc.txt"));
    EXPECT_TRUE(UnmapDrive('J'));
}

TEST(Platform, ForgottenMessageBoxFailsTheTestAndIsClosed) {
    EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(EXPECT_EQ(IDCANCEL, MessageBoxA(NULL, "forgotten", "guard", MB_OKCANCEL)),
                                           "a message box nobody answered: \"guard\": forgotten");
}
