// Taking text apart: NextLine over line breaks and Tokenize over lines,
// path components and lists.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "base/OCString.h"

namespace {

std::string Text(const OCString& s) { return s.GetBuffer() ? s.GetBuffer() : "<none>"; }

int Offset(const OCString& s) { return (int)(s.GetCursor() - s.GetBuffer()); }

}  // namespace

TEST(StringNextLine, PassesEmptyLines) {
    OCString s("[a]\r\n\r\nk=v", -1);
    s.FindChar(']');
    EXPECT_TRUE(s.NextLine());
    EXPECT_EQ('k', *s.GetCursor());
}

TEST(StringNextLine, AtEndOfTextIsFalse) {
    OCString s("[a]", -1);
    s.FindChar(']');
    EXPECT_FALSE(s.NextLine());
    EXPECT_EQ(3, Offset(s));
    EXPECT_FALSE(s.NextLine());  // already on the NUL
}

TEST(StringNextLine, OnlyLineBreaksBehindIsTrueOnNul) {
    OCString s("[a]\r\n", -1);
    s.FindChar(']');
    EXPECT_TRUE(s.NextLine());
    EXPECT_EQ(5, Offset(s));
}

TEST(StringNextLine, CharacterAtStartDoesNotCount) {
    OCString s("\nab\ncd", -1);
    EXPECT_TRUE(s.NextLine());  // the leading line feed is stepped over
    EXPECT_EQ(4, Offset(s));
    EXPECT_EQ('c', *s.GetCursor());
}

TEST(StringNextLine, StepsOverDoubleByteText) {
    OCString s("表示\nソ", -1);
    EXPECT_TRUE(s.NextLine());
    EXPECT_EQ(0x835Cu, s.GetChar());
    OCString none;
    EXPECT_FALSE(none.NextLine());
}

TEST(StringTokenize, LinesWithoutEmptyTokens) {
    OCString s("a\r\n\r\nb", -1);
    OCString line;
    EXPECT_EQ(s.GetBuffer(), s.Tokenize(line, "\r\n"));
    EXPECT_EQ("a", Text(line));
    EXPECT_EQ(1, Offset(s));  // on the delimiter
    EXPECT_EQ(s.GetBuffer() + 5, s.Tokenize(line, "\r\n"));
    EXPECT_EQ("b", Text(line));
    EXPECT_EQ(nullptr, s.Tokenize(line, "\r\n"));
    EXPECT_EQ("b", Text(line));
}

TEST(StringTokenize, PathComponentsWithTrailByteBackslash) {
    OCString s("C:\\表\\ソ\\", -1);
    OCString part;
    const char* expected[] = {"C:", "表", "ソ"};
    for (const char* e : expected) {
        ASSERT_NE(nullptr, s.Tokenize(part, "\\"));
        EXPECT_EQ(e, Text(part));
    }
    EXPECT_EQ(nullptr, s.Tokenize(part, "\\"));
    EXPECT_EQ(s.GetBuffer() + s.GetLength() - 1, s.GetCursor());  // stays on the last delimiter
}

TEST(StringTokenize, ListWithRunsOfDelimiters) {
    OCString s(";a.pak;;b.pak;", -1);
    OCString item;
    ASSERT_NE(nullptr, s.Tokenize(item, ";"));
    EXPECT_EQ("a.pak", Text(item));
    ASSERT_NE(nullptr, s.Tokenize(item, ";"));
    EXPECT_EQ("b.pak", Text(item));
    EXPECT_EQ(nullptr, s.Tokenize(item, ";"));
}

TEST(StringTokenize, TokenReservesItsLengthPlusOne) {
    OCString s((std::string(63, 't') + ";x").c_str(), -1);
    OCString token;
    s.Tokenize(token, ";");
    EXPECT_EQ(63, token.GetLength());
    EXPECT_EQ(128, token.GetCapacity());
    EXPECT_EQ(token.GetBuffer(), token.GetCursor());
}

TEST(StringTokenize, NothingWithoutCursor) {
    OCString s;
    OCString token("keep", -1);
    EXPECT_EQ(nullptr, s.Tokenize(token, ";"));
    EXPECT_EQ("keep", Text(token));
}
