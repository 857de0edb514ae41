// Cursor movement by whole characters, GetChar, and the path idioms built
// from them (strip a trailing backslash, keep a drive prefix).
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "base/OCString.h"

namespace {

std::string Text(const OCString& s) { return s.GetBuffer() ? s.GetBuffer() : "<none>"; }

int Offset(const OCString& s) { return (int)(s.GetCursor() - s.GetBuffer()); }

void StripTrailingBackslash(OCString& s) {
    s.SeekEnd();
    s.Prev();
    if (s.GetChar() == 0x5C) s.Delete(0, -1);
}

}  // namespace

TEST(StringCursor, StepsOverDoubleByteCharacters) {
    OCString s("aソb", -1);  // 61 83 5C 62
    ASSERT_EQ(4, s.GetLength());
    EXPECT_EQ(s.GetBuffer() + 1, s.Next());
    EXPECT_EQ(s.GetBuffer() + 3, s.Next());
    EXPECT_EQ(s.GetBuffer() + 4, s.Next());
    EXPECT_EQ(s.GetBuffer() + 4, s.Next());  // stays on the NUL
    EXPECT_EQ(s.GetBuffer() + 3, s.Prev());
    EXPECT_EQ(s.GetBuffer() + 1, s.Prev());  // not onto the trail byte 0x5C
    EXPECT_EQ(s.GetBuffer(), s.Prev());
    EXPECT_EQ(s.GetBuffer(), s.Prev());      // stays at the start
}

TEST(StringCursor, RewindAndSeekEnd) {
    OCString s("abc", -1);
    EXPECT_EQ(s.GetBuffer() + 3, s.SeekEnd());
    s.Rewind();
    EXPECT_EQ(s.GetBuffer(), s.GetCursor());
    OCString none;
    EXPECT_EQ(nullptr, none.Next());
    EXPECT_EQ(nullptr, none.Prev());
    EXPECT_EQ(0u, none.GetChar());
}

TEST(StringCursor, GetCharGivesCharacterCodes) {
    OCString s("a０表", -1);
    EXPECT_EQ((unsigned)'a', s.GetChar());
    s.Next();
    EXPECT_EQ(0x824Fu, s.GetChar());
    s.Next();
    EXPECT_EQ(0x955Cu, s.GetChar());
    s.Next();
    EXPECT_EQ(0u, s.GetChar());  // the terminating NUL
}

TEST(StringCursor, LeadByteBeforeNulGivesZero) {
    OCString s("a\x95", -1);
    s.Next();
    EXPECT_EQ(0u, s.GetChar());
}

TEST(StringCursor, StripsOneTrailingBackslash) {
    OCString s("C:\\Games\\", -1);
    StripTrailingBackslash(s);
    EXPECT_EQ("C:\\Games", Text(s));
    StripTrailingBackslash(s);  // last character is s: nothing removed
    EXPECT_EQ("C:\\Games", Text(s));
}

TEST(StringCursor, TrailByteBackslashIsNotStripped) {
    OCString s("C:\\ゲーム\\表", -1);  // ends in 95 5C
    StripTrailingBackslash(s);
    EXPECT_EQ("C:\\ゲーム\\表", Text(s));
    s.SeekEnd();
    s.Prev();
    EXPECT_EQ(0x955Cu, s.GetChar());
}

TEST(StringCursor, KeepsDrivePrefix) {
    OCString s("C:\\Games", -1);
    s.Rewind();
    s.Next();
    s.Next();
    s.Delete(0, -1);
    EXPECT_EQ("C:", Text(s));
    EXPECT_EQ(2, Offset(s));
}
