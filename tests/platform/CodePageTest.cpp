// The program's texts are Shift-JIS: these cases fail when the locale did not
// reach Wine (ANSI code page 1252) or the compiler stored literals as UTF-8.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstring>

TEST(Platform, AnsiCodePageIsShiftJis) {
    EXPECT_EQ(932u, GetACP());
}

TEST(Platform, LiteralsAreShiftJis) {
    const char text[] = "表示";
    ASSERT_EQ(4u, strlen(text));
    EXPECT_EQ(0, memcmp(text, "\x95\x5C\x8E\xA6", 4));
}

TEST(Platform, CharNextStepsOverTrailByteBackslash) {
    const char text[] = "\x95\x5C" "a";  // 表 then a
    EXPECT_EQ(text + 2, CharNextA(text));
    EXPECT_EQ(text, CharPrevA(text, text + 2));
    EXPECT_TRUE(IsDBCSLeadByte(0x95));
}
