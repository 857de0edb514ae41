// Searches from the cursor on character boundaries: a Shift-JIS trail byte
// 0x5C (ソ = 83 5C, 表 = 95 5C) is never a backslash. Also the case-blind
// comparison from the cursor.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "base/OCString.h"

namespace {

int Offset(const OCString& s) { return (int)(s.GetCursor() - s.GetBuffer()); }

}  // namespace

TEST(StringSearch, RunsUnderShiftJisCodePage) {
    EXPECT_EQ(932u, GetACP());
    EXPECT_EQ(0, memcmp("ソ表", "\x83\x5C\x95\x5C", 5));
}

TEST(StringSearch, FindCharSkipsTrailByteBackslash) {
    OCString s("ソ\\表\\x", -1);  // 83 5C 5C 95 5C 5C 78
    EXPECT_EQ(s.GetBuffer() + 2, s.FindChar('\\'));
    s.Next();
    EXPECT_EQ(s.GetBuffer() + 5, s.FindChar('\\'));
    s.Rewind();
    EXPECT_EQ(s.GetBuffer() + 3, s.FindChar(0x955C));
}

TEST(StringSearch, FindCharFailureKeepsCursor) {
    OCString s("表示", -1);
    s.Next();
    EXPECT_EQ(nullptr, s.FindChar('\\'));
    EXPECT_EQ(2, Offset(s));
    EXPECT_EQ(nullptr, s.FindChar(0x955C));  // behind the cursor
    EXPECT_EQ(2, Offset(s));
}

TEST(StringSearch, FindLastCharSkipsTrailByteBackslash) {
    OCString s("C:\\dir\\表", -1);
    EXPECT_EQ(s.GetBuffer() + 6, s.FindLastChar('\\'));
    OCString t("ソソ", -1);
    EXPECT_EQ(nullptr, t.FindLastChar('\\'));
    EXPECT_EQ(t.GetBuffer(), t.GetCursor());
}

TEST(StringSearch, FindLocatesTextFromCursor) {
    OCString s("key=value=2", -1);
    EXPECT_EQ(s.GetBuffer() + 3, s.Find("="));
    s.Next();
    EXPECT_EQ(s.GetBuffer() + 9, s.Find("="));
    EXPECT_EQ(nullptr, s.Find("key"));
    EXPECT_EQ(9, Offset(s));
    OCString j("ソn\\n", -1);  // 83 5C 6E 5C 6E
    EXPECT_EQ(j.GetBuffer() + 3, j.Find("\\n"));
}

TEST(StringSearch, FindOneOfAndSkipChars) {
    OCString s("  表/x", -1);
    EXPECT_EQ(s.GetBuffer() + 2, s.SkipChars(" \t"));
    EXPECT_EQ(s.GetBuffer() + 4, s.FindOneOf("\\/"));
    s.Rewind();
    EXPECT_EQ(s.GetBuffer() + 2, s.FindOneOf("表"));
    OCString blanks("   ", -1);
    EXPECT_EQ(nullptr, blanks.SkipChars(" "));
    EXPECT_EQ(blanks.GetBuffer(), blanks.GetCursor());
    EXPECT_EQ(nullptr, blanks.FindOneOf("x"));
}

TEST(StringSearch, SetsMatchWholeCharactersOnly) {
    OCString s("ソ表\\", -1);
    EXPECT_EQ(s.GetBuffer() + 2, s.SkipChars("ソ"));
    s.Rewind();
    EXPECT_EQ(s.GetBuffer() + 4, s.FindOneOf("\\"));
    s.Rewind();
    EXPECT_EQ(s.GetBuffer() + 4, s.SkipChars("ソ表"));
}

TEST(StringSearch, NothingFoundWithoutStorage) {
    OCString s;
    EXPECT_EQ(nullptr, s.FindChar('a'));
    EXPECT_EQ(nullptr, s.FindLastChar('a'));
    EXPECT_EQ(nullptr, s.Find("a"));
    EXPECT_EQ(nullptr, s.FindOneOf("a"));
    EXPECT_EQ(nullptr, s.SkipChars("a"));
    EXPECT_EQ(-1, s.CompareNoCase("a"));
}

TEST(StringSearch, CompareNoCaseStartsAtCursor) {
    OCString s("C:\\Setup.EXE", -1);
    EXPECT_NE(0, s.CompareNoCase("setup.exe"));
    s.FindChar('\\');
    s.Next();
    EXPECT_EQ(0, s.CompareNoCase("SETUP.exe"));
    EXPECT_NE(0, s.CompareNoCase("setup.ex"));
    EXPECT_NE(0, s.CompareNoCase("setup.exe2"));
}

TEST(StringSearch, CompareNoCaseFoldsFullWidthLetters) {
    OCString s("ａｂｃ表", -1);
    EXPECT_EQ(0, s.CompareNoCase("ＡＢＣ表"));
    EXPECT_NE(0, s.CompareNoCase("ＡＢＣソ"));
}
