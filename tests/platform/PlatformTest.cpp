// What every other test relies on: Wine runs with the Japanese code page and
// the compiler stores literals as Shift-JIS; a message box nobody answers
// fails the test in seconds (the test programs' main); a folder mapped as a
// CD-ROM drive is one, and mapping another folder swaps the disc (J:, a
// letter no other test program maps).
#include <windows.h>
#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>
#include "support/CdDrive.h"
#include "support/Files.h"
#include "support/TempDir.h"

TEST(Platform, TextIsShiftJis) {
    EXPECT_EQ(932u, GetACP());
    const char* text = "表示";
    EXPECT_STREQ("\x95\x5C\x8E\xA6", text);
    EXPECT_EQ(text + 2, CharNextA(text));  // over the 0x5C trail byte
}

TEST(Platform, MappedFolderIsACdRomDriveAndSwaps) {
    TempDir dir;
    for (const char* disc : {"disc1", "disc2"}) {
        ASSERT_TRUE(CreateDirectoryA((dir / disc).c_str(), NULL));
        dir.Write(std::string(disc) + "\\" + disc + ".txt", disc);
        ASSERT_TRUE(MapCdDrive('J', dir / disc));
        EXPECT_EQ((UINT)DRIVE_CDROM, GetDriveTypeA("J:\\"));
        EXPECT_EQ(disc, ReadBytes(std::string("J:\\") + disc + ".txt"));
    }
    EXPECT_FALSE(Exists("J:\\disc1.txt"));
    ASSERT_TRUE(UnmapDrive('J'));
    EXPECT_EQ((UINT)DRIVE_NO_ROOT_DIR, GetDriveTypeA("J:\\"));
}

TEST(Platform, ForgottenMessageBoxFailsTheTestAndIsClosed) {
    EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(EXPECT_EQ(IDCANCEL, MessageBoxA(NULL, "forgotten", "guard", MB_OKCANCEL)),
                                           "a message box nobody answered: \"guard\": forgotten");
}
