// Conversions: ToInt over ASCII and full-width digits and minus signs, and
// ToWide for the shell's wide paths.
#include <windows.h>
#include <gtest/gtest.h>
#include <climits>
#include <string>
#include "base/OCString.h"

namespace {

int ToInt(const char* text) { return OCString(text, -1).ToInt(); }

}  // namespace

TEST(StringToInt, ReadsAsciiAndFullWidthDigits) {
    EXPECT_EQ(123, ToInt("123"));
    EXPECT_EQ(123, ToInt("１２３"));
    EXPECT_EQ(123, ToInt("1２3"));
    EXPECT_EQ(9876, ToInt("９８７６"));
}

TEST(StringToInt, MinusSignAnywhereNegates) {
    EXPECT_EQ(-5, ToInt("－5"));
    EXPECT_EQ(-5, ToInt("-5"));
    EXPECT_EQ(-12, ToInt("1-2"));
    EXPECT_EQ(-12, ToInt("12－"));
}

TEST(StringToInt, SkipsOtherCharacters) {
    EXPECT_EQ(12, ToInt("a1b2"));
    EXPECT_EQ(350, ToInt("350 MB"));
    EXPECT_EQ(0, ToInt("表ソ"));  // trail bytes 0x5C are not digits either
    EXPECT_EQ(4, ToInt("\x82\x30" "4"));  // a lead byte with an invalid trail byte
}

TEST(StringToInt, EmptyOrNoStorageGivesZero) {
    EXPECT_EQ(0, ToInt(""));
    EXPECT_EQ(0, OCString().ToInt());
}

TEST(StringToInt, ReadsFromStartNotCursor) {
    OCString s("42", -1);
    s.SeekEnd();
    EXPECT_EQ(42, s.ToInt());
}

TEST(StringToInt, WrapsLike32BitArithmetic) {
    EXPECT_EQ(INT_MIN, ToInt("2147483648"));
    EXPECT_EQ(0, ToInt("4294967296"));
}

TEST(StringToWide, ConvertsShiftJis) {
    wchar_t out[16];
    EXPECT_EQ(out, ToWide(out, "C:\\表ソ", 16));
    EXPECT_EQ(std::wstring(L"C:\\\x8868\x30BD"), out);
}

TEST(StringToWide, NullTextLeavesOutput) {
    wchar_t out[4] = {L'x', 0};
    EXPECT_EQ(nullptr, ToWide(out, nullptr, 4));
    EXPECT_EQ(L'x', out[0]);
}

TEST(StringToWide, TooSmallGivesEmptyText) {
    wchar_t out[3] = {L'x', L'y', L'z'};
    EXPECT_EQ(out, ToWide(out, "abcdef", 3));
    EXPECT_EQ(0, out[0]);
}
