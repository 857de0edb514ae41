// Storage growth: capacities in 64-byte blocks, reservation for text that a
// Windows call writes, appending from the string's own storage, and what is
// left after the storage could not be obtained.
#include <windows.h>
#include <gtest/gtest.h>
#include <climits>
#include <cstring>
#include <string>
#include "base/OCString.h"

namespace {

std::string Text(const OCString& s) { return s.GetBuffer() ? s.GetBuffer() : "<none>"; }

void ExpectNoStorage(const OCString& s) {
    EXPECT_EQ(nullptr, s.GetBuffer());
    EXPECT_EQ(nullptr, s.GetCursor());
    EXPECT_EQ(0, s.GetCapacity());
    EXPECT_EQ(0, s.GetLength());
    EXPECT_TRUE(s.IsEmpty());
}

}  // namespace

TEST(StringGrowth, ReservationRoundsUpToNextBlock) {
    const struct { int reserve, capacity; } cases[] = {{260, 320}, {512, 576}, {0, 64}, {65535, 65536}, {63, 64}, {64, 128}};
    for (const auto& c : cases) {
        OCString s(c.reserve);
        EXPECT_EQ(c.capacity, s.GetCapacity()) << c.reserve;
        ASSERT_NE(nullptr, s.GetBuffer());
        EXPECT_TRUE(s.IsEmpty());
        EXPECT_EQ(s.GetBuffer(), s.GetCursor());
    }
}

TEST(StringGrowth, AppendingGrowsByTextLength) {
    OCString a, b;
    a.Append(std::string(64, 'x').c_str(), -1);
    b.Append(std::string(63, 'x').c_str(), -1);
    EXPECT_EQ(128, a.GetCapacity());
    EXPECT_EQ(64, b.GetCapacity());
    b += "y";  // 64 bytes now: the next block
    EXPECT_EQ(128, b.GetCapacity());
    EXPECT_EQ(64, b.GetLength());
}

TEST(StringGrowth, NewStringIsEmptyWithoutStorage) {
    OCString s;
    ExpectNoStorage(s);
    EXPECT_EQ(nullptr, s.SeekEnd());
}

TEST(StringGrowth, AppendsBehindTextThatWindowsWrote) {
    OCString s(260);
    strcpy(s.GetBuffer(), "C:\\WINDOWS");  // as GetWindowsDirectoryA would
    s.Append("\\WININIT.INI", -1);
    EXPECT_EQ("C:\\WINDOWS\\WININIT.INI", Text(s));
    EXPECT_EQ(22, s.GetLength());

    OCString dir(260);
    UINT n = GetWindowsDirectoryA(dir.GetBuffer(), 260);
    ASSERT_GT(n, 0u);
    dir += "\\WININIT.INI";
    EXPECT_EQ((int)n + 12, dir.GetLength());
    EXPECT_STREQ("\\WININIT.INI", dir.GetBuffer() + n);
}

TEST(StringGrowth, AppendOfZeroBytesChangesNothing) {
    OCString s("abc", -1);
    s.Next();
    char* buffer = s.GetBuffer();
    s.Append("xyz", 0);
    EXPECT_EQ("abc", Text(s));
    EXPECT_EQ(buffer + 1, s.GetCursor());
    EXPECT_EQ(64, s.GetCapacity());
}

TEST(StringGrowth, AppendingEmptyTextCreatesStorage) {
    OCString s;
    s.Append("", -1);
    ASSERT_NE(nullptr, s.GetBuffer());
    EXPECT_EQ(64, s.GetCapacity());
    EXPECT_TRUE(s.IsEmpty());
}

TEST(StringGrowth, AppendPutsCursorAtStartAndNullTextOnlyRewinds) {
    OCString s("abc", -1);
    s.SeekEnd();
    s.Append("def", -1);
    EXPECT_EQ(s.GetBuffer(), s.GetCursor());
    s.SeekEnd();
    s.Append(nullptr, -1);
    EXPECT_EQ(s.GetBuffer(), s.GetCursor());
    EXPECT_EQ("abcdef", Text(s));
}

TEST(StringGrowth, AppendTakesExactlyTheGivenBytes) {
    OCString s("ab", -1);
    s.Append("cdef", 2);
    EXPECT_EQ("abcd", Text(s));
    OCString partial("xyz", 1);
    EXPECT_EQ("x", Text(partial));
}

TEST(StringGrowth, AssigningOwnBufferChangesNothing) {
    OCString s("abc", -1);
    s.Next();
    char* buffer = s.GetBuffer();
    s.Assign(buffer, -1);
    s = buffer;
    s = s;
    EXPECT_EQ(buffer, s.GetBuffer());
    EXPECT_EQ(buffer + 1, s.GetCursor());
    EXPECT_EQ("abc", Text(s));
}

TEST(StringGrowth, AssignNullReservesForWindowsText) {
    OCString s("old text", -1);
    s.Assign(nullptr, 65535);
    EXPECT_EQ(65536, s.GetCapacity());
    EXPECT_TRUE(s.IsEmpty());
    s = (const char*)nullptr;
    ExpectNoStorage(s);
}

TEST(StringGrowth, AssignmentSizesForNewText) {
    OCString s(512);
    s = "short";
    EXPECT_EQ(64, s.GetCapacity());
    OCString other(std::string(100, 'q').c_str(), -1);
    s = other;
    EXPECT_EQ(128, s.GetCapacity());
    EXPECT_EQ(std::string(100, 'q'), Text(s));
}

TEST(StringGrowth, CopyFollowsTextNotCapacity) {
    OCString a(512);
    a += "abc";
    a.SeekEnd();
    OCString b(a);
    EXPECT_EQ(64, b.GetCapacity());
    EXPECT_EQ("abc", Text(b));
    EXPECT_EQ(b.GetBuffer(), b.GetCursor());
    EXPECT_NE(a.GetBuffer(), b.GetBuffer());
    OCString none;
    OCString copyOfNone(none);
    ExpectNoStorage(copyOfNone);
}

TEST(StringGrowth, ClearReleasesStorage) {
    OCString s("abc", -1);
    s.Clear();
    ExpectNoStorage(s);
}

TEST(StringGrowth, GrowthKeepsCursorOffset) {
    OCString s(std::string(60, 'a').c_str(), -1);
    for (int i = 0; i < 5; ++i) s.Next();
    s.AppendFormat("%s", std::string(100, 'b').c_str());  // forces new storage
    EXPECT_EQ(192, s.GetCapacity());
    EXPECT_EQ(s.GetBuffer() + 5, s.GetCursor());
}

// Growth releases the old storage; text taken from it must survive.
TEST(StringGrowth, AppendsTextFromItsOwnStorage) {
    std::string start(63, 'a');
    start[0] = 'S';
    OCString s(start.c_str(), -1);
    ASSERT_EQ(64, s.GetCapacity());
    s.Append(s.GetBuffer(), -1);
    EXPECT_EQ(start + start, Text(s));
    s.Append(s.GetBuffer() + 1, 4);
    EXPECT_EQ(start + start + "aaaa", Text(s));
    s += s.GetBuffer();
    EXPECT_EQ(320, s.GetCapacity());
    EXPECT_EQ(2 * (126 + 4), s.GetLength());
}

TEST(StringGrowth, AssignsTextFromItsOwnStorage) {
    OCString s("C:\\Games\\data", -1);
    s.Assign(s.GetBuffer() + 3, 5);
    EXPECT_EQ("Games", Text(s));
    s = s.GetBuffer() + 1;
    EXPECT_EQ("ames", Text(s));
}

TEST(StringGrowth, FailedReservationLeavesEmptyString) {
    if (sizeof(void*) > 4) GTEST_SKIP() << "a 64-bit test build obtains 2 GB";
    OCString s("abc", -1);
    s.Append(nullptr, 0x7FFFFF00);  // the allocator cannot supply 2 GB here
    ExpectNoStorage(s);
    OCString huge(INT_MAX);
    ExpectNoStorage(huge);
}

// A failed growth abandons the append: nothing is copied (copying INT_MAX
// bytes would fault long before the end).
TEST(StringGrowth, FailedAppendCopiesNothing) {
    OCString s(std::string(100, 'a').c_str(), -1);
    s.Append("tiny", INT_MAX);
    ExpectNoStorage(s);
    OCString t("abc", -1);
    t.Append("tiny", INT_MAX - 10);
    ExpectNoStorage(t);
    t += "again";  // usable afterwards
    EXPECT_EQ("again", Text(t));
}
