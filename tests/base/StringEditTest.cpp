// Editing: where the cursor ends up after Insert and Delete, Replace on
// character boundaries, CopyRange bounds, and the storage each leaves.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "base/OCException.h"
#include "base/OCString.h"

namespace {

std::string Text(const OCString& s) { return s.GetBuffer() ? s.GetBuffer() : "<none>"; }

int Offset(const OCString& s) { return (int)(s.GetCursor() - s.GetBuffer()); }

}  // namespace

TEST(StringInsert, AtCursorLeavesCursorBehindInsertedText) {
    OCString s("world", -1);
    char* cursor = s.Insert("hello ", -1);
    EXPECT_EQ("hello world", Text(s));
    EXPECT_EQ(6, Offset(s));
    EXPECT_EQ(s.GetCursor(), cursor);
}

TEST(StringInsert, AtOffset) {
    OCString s("ac", -1);
    s.Insert("b", 1);
    EXPECT_EQ("abc", Text(s));
    EXPECT_EQ(2, Offset(s));
    s.Insert("!", 3);  // at the end
    EXPECT_EQ("abc!", Text(s));
    EXPECT_EQ(4, Offset(s));
}

TEST(StringInsert, OffsetOutsideTextWorksAtCursor) {
    OCString s("ab", -1);
    s.Next();
    s.Insert("X", 99);
    EXPECT_EQ("aXb", Text(s));
    EXPECT_EQ(2, Offset(s));
}

TEST(StringInsert, IntoStringWithoutStorage) {
    OCString s;
    s.Insert("text", -1);
    EXPECT_EQ("text", Text(s));
    EXPECT_EQ(4, Offset(s));
    EXPECT_EQ(64, s.GetCapacity());
}

TEST(StringInsert, TextFromItsOwnStorage) {
    OCString s("abc", -1);
    s.Insert(s.GetBuffer(), 3);
    EXPECT_EQ("abcabc", Text(s));
    EXPECT_EQ(6, Offset(s));
}

TEST(StringDelete, RemovesCountAtOffset) {
    OCString s("abcde", -1);
    char* cursor = s.Delete(2, 1);
    EXPECT_EQ("ade", Text(s));
    EXPECT_EQ(1, Offset(s));
    EXPECT_EQ(s.GetCursor(), cursor);
}

TEST(StringDelete, CountZeroRemovesToEnd) {
    OCString s("abcde", -1);
    s.Delete(0, 2);
    EXPECT_EQ("ab", Text(s));
    EXPECT_EQ(2, Offset(s));
}

TEST(StringDelete, RangePastEndRemovesToEnd) {
    OCString s("abcde", -1);
    s.Delete(3, 3);
    EXPECT_EQ("abc", Text(s));
    EXPECT_EQ(3, Offset(s));
}

TEST(StringDelete, AtCursor) {
    OCString s("a表b", -1);
    s.Next();
    s.Delete(2, -1);
    EXPECT_EQ("ab", Text(s));
    EXPECT_EQ(1, Offset(s));
}

TEST(StringDelete, CountOverLengthClearsString) {
    OCString s("abcde", -1);
    EXPECT_EQ(nullptr, s.Delete(10, -1));
    EXPECT_EQ(nullptr, s.GetBuffer());
    EXPECT_EQ(0, s.GetCapacity());
}

TEST(StringDelete, EverythingLeavesEmptyStorage) {
    OCString s("abcde", -1);
    EXPECT_EQ(s.GetBuffer(), s.Delete(5, 0));
    ASSERT_NE(nullptr, s.GetBuffer());
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(64, s.GetCapacity());
}

TEST(StringDelete, NegativeCountRemovesNothing) {
    OCString s("abcde", -1);
    s.Delete(-2, 3);
    EXPECT_EQ("abcde", Text(s));
}

TEST(StringReplace, EscapesBecomeControlCharacters) {
    OCString s("a\\nb\\nc", -1);
    s.SeekEnd();
    s.Replace("\\n", "\n");
    EXPECT_EQ("a\nb\nc", Text(s));
    EXPECT_EQ(s.GetBuffer(), s.GetCursor());
    EXPECT_EQ(5, s.GetLength());
}

TEST(StringReplace, RemovesQuotes) {
    OCString s("\"C:\\Program Files\\Game\\Uninst.exe\"", -1);
    s.Replace("\"", "");
    EXPECT_EQ("C:\\Program Files\\Game\\Uninst.exe", Text(s));
}

TEST(StringReplace, OccurrencesDoNotOverlap) {
    OCString s("aaaaa", -1);
    s.Replace("aa", "b");
    EXPECT_EQ("bba", Text(s));
    s.Replace("b", "bb");  // replacement containing the search text
    EXPECT_EQ("bbbba", Text(s));
}

TEST(StringReplace, TrailByteIsNotAnEscape) {
    OCString s("ソn表t\\n", -1);  // 83 5C 6E 95 5C 74 5C 6E
    s.Replace("\\n", "\n");
    s.Replace("\\t", "\t");
    EXPECT_EQ("ソn表t\n", Text(s));
}

TEST(StringReplace, AlwaysLeavesStorage) {
    OCString s;
    s.Replace("x", "y");
    ASSERT_NE(nullptr, s.GetBuffer());
    EXPECT_TRUE(s.IsEmpty());
    OCString t("xx", -1);
    t.Replace("x", "");
    ASSERT_NE(nullptr, t.GetBuffer());
    EXPECT_TRUE(t.IsEmpty());
}

TEST(StringReplace, EmptySearchTextChangesNothing) {
    OCString s("abc", -1);
    s.Replace("", "x");
    EXPECT_EQ("abc", Text(s));
}

TEST(StringCopyRange, CopiesBetweenBoundsInEitherOrder) {
    OCString s("C:\\Games\\data", -1);
    OCString out("previous", -1);
    s.CopyRange(out, s.GetBuffer() + 3, s.GetBuffer() + 8);
    EXPECT_EQ("Games", Text(out));
    EXPECT_EQ(out.GetBuffer(), out.GetCursor());
    s.CopyRange(out, s.GetBuffer() + 13, s.GetBuffer() + 9);
    EXPECT_EQ("data", Text(out));
}

TEST(StringCopyRange, NullBoundsMeanStartAndEnd) {
    OCString s("C:\\Games\\data", -1);
    OCString out;
    s.CopyRange(out, nullptr, s.GetBuffer() + 2);
    EXPECT_EQ("C:", Text(out));
    s.CopyRange(out, s.GetBuffer() + 9, nullptr);
    EXPECT_EQ("data", Text(out));
    s.CopyRange(out, nullptr, nullptr);
    EXPECT_EQ("C:\\Games\\data", Text(out));
}

TEST(StringCopyRange, BoundOutsideTextLeavesOutUntouched) {
    OCString s("abc", -1);
    OCString out("keep", -1);
    char* keep = out.GetBuffer();
    s.CopyRange(out, s.GetBuffer(), s.GetBuffer() + 4);
    OCString other("xyz", -1);
    s.CopyRange(out, other.GetBuffer(), nullptr);
    EXPECT_EQ(keep, out.GetBuffer());
    EXPECT_EQ("keep", Text(out));
}

TEST(StringCopyRange, EqualBoundsGiveEmptyWithoutStorage) {
    OCString s("abc", -1);
    OCString out("x", -1);
    s.CopyRange(out, s.GetBuffer() + 1, s.GetBuffer() + 1);
    EXPECT_EQ(nullptr, out.GetBuffer());
}

TEST(StringCopyRange, IntoItself) {
    OCString s("C:\\Games\\data", -1);
    s.CopyRange(s, s.GetBuffer() + 3, s.GetBuffer() + 8);
    EXPECT_EQ("Games", Text(s));
}
