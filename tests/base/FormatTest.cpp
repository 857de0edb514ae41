// Formatting into a string: the length estimate that sizes the storage (seen
// through the capacity it yields), the text the run-time library writes, and
// bounded writes when a conversion produces more than was estimated.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstdarg>
#include <string>
#include "base/OCString.h"

// Deliberate: a null %s, and the run-time library's %hs/%hS that the checker does not know.
#pragma GCC diagnostic ignored "-Wformat"

namespace {

std::string Text(const OCString& s) { return s.GetBuffer() ? s.GetBuffer() : "<none>"; }

int CapacityAfter(int existing, const char* format, va_list args) {
    OCString s(std::string(existing, 'e').c_str(), -1);
    s.AppendFormatV(format, args);
    EXPECT_EQ(std::string(existing, 'e'), std::string(s.GetBuffer(), existing));
    return s.GetCapacity();
}

// The estimate is `expected` when that many bytes behind a text that ends
// exactly `expected` bytes before a block boundary need the next block, and
// the same bytes behind one byte less text do not.
void ExpectEstimate(int expected, const char* format, ...) {
    int top = (expected / 64 + 2) * 64;
    va_list a, b;
    va_start(a, format);
    va_copy(b, a);
    EXPECT_EQ(top + 64, CapacityAfter(top - expected, format, a)) << format;
    EXPECT_EQ(top, CapacityAfter(top - expected - 1, format, b)) << format;
    va_end(b);
    va_end(a);
}

}  // namespace

TEST(FormatEstimate, ProgramFormats) {
    ExpectEstimate(13, "%s\\%s", "C:\\Games", "data");
    ExpectEstimate(36, "TYPE%d", 3);
    ExpectEstimate(2 + 2 + 1, "%c:\\%s", 'D', "G");
    ExpectEstimate(1 + 2 + 3 + 1 + 1 + 1, "[%s]\r\n%s=%s", "ab", "k", "v");
    ExpectEstimate(22 + 1 + 9 + 32 + 3, "エラーが発生しました。\nCode 0x%x :%s", 5, "abc");
}

TEST(FormatEstimate, TextItems) {
    ExpectEstimate(6, "%s", (const char*)nullptr);
    ExpectEstimate(1, "%s", "");
    ExpectEstimate(3, "%.3s", "abcdef");
    ExpectEstimate(10, "%10.3s", "abcdef");
    ExpectEstimate(2, "%c", 'x');
    ExpectEstimate(5, "%-5c", 'x');
    ExpectEstimate(6, "%hs", "narrow");
    ExpectEstimate(4, "%S", L"wide");
    ExpectEstimate(4, "%ls", L"wide");
    ExpectEstimate(6, "%S", (const wchar_t*)nullptr);
}

TEST(FormatEstimate, NumbersFlagsAndStars) {
    ExpectEstimate(1, "%%");
    ExpectEstimate(34, "%#x", 255);
    ExpectEstimate(100, "%*d", 100, 7);
    ExpectEstimate(70, "%40.30d", 7);
    ExpectEstimate(32 + 1 + 2, "%I64d-%s", 0x123456789LL, "xy");
    ExpectEstimate(128, "%e", 1.0);
    ExpectEstimate(32, "%p", (void*)0);
    ExpectEstimate(10, "%5.2f", 3.14159);  // measured as 3.14159000
    ExpectEstimate(8, "%f", 1.5);          // measured as 1.500000000000
}

TEST(Format, ProducesRunTimeLibraryText) {
    OCString s;
    s.Format("%s\\%s", "C:\\Games", "data");
    EXPECT_EQ("C:\\Games\\data", Text(s));
    EXPECT_EQ(64, s.GetCapacity());
    s.Format("TYPE%d", 3);
    EXPECT_EQ("TYPE3", Text(s));
    s.Format("%c:\\%s", 'D', "Games");
    EXPECT_EQ("D:\\Games", Text(s));
    s.Format("SOFTWARE\\%s\\%s", "Brand", "Name");
    EXPECT_EQ("SOFTWARE\\Brand\\Name", Text(s));
    s.Format("[%s]\r\n%s=%s", "install", "Name", "表示");
    EXPECT_EQ("[install]\r\nName=表示", Text(s));
    s.Format("エラーが発生しました。\nCode 0x%x :%s", 0x57, "ソフト");
    EXPECT_EQ("エラーが発生しました。\nCode 0x57 :ソフト", Text(s));
}

TEST(Format, PercentNullAndFixedPoint) {
    OCString s;
    s.Format("100%%");
    EXPECT_EQ("100%", Text(s));
    s.Format("[%s]", (const char*)nullptr);
    EXPECT_EQ("[(null)]", Text(s));
    s.Format("%5.2f", 3.14159);
    EXPECT_EQ(" 3.14", Text(s));
    s.Format("%8.3f|%-8.1f|", -2.5, 10.24);
    EXPECT_EQ("  -2.500|10.2    |", Text(s));
}

TEST(Format, MicrosoftSizePrefixes) {
    OCString s;
    s.Format("%I64d %I64x %s", 0x123456789LL, 0xABCDEF0123LL, "end");
    EXPECT_EQ("4886718345 abcdef0123 end", Text(s));
    s.Format("%S|%ls|%hs|%hS", L"wide", L"long", "short", "narrow");
    EXPECT_EQ("wide|long|short|narrow", Text(s));
    s.Format("%#x %E %s", 255, 1.0000001, "x");  // %E consumes its double
    EXPECT_EQ("0xff 1.000000E+000 x", Text(s));
}

TEST(Format, ReplacesTextAndRewinds) {
    OCString s(std::string(300, 'o').c_str(), -1);
    s.SeekEnd();
    s.Format("%d", 42);
    EXPECT_EQ("42", Text(s));
    EXPECT_EQ(64, s.GetCapacity());
    EXPECT_EQ(s.GetBuffer(), s.GetCursor());
    s.Format("%s", "");
    ASSERT_NE(nullptr, s.GetBuffer());
    EXPECT_TRUE(s.IsEmpty());
}

TEST(AppendFormat, GrowsByEstimateAndKeepsText) {
    std::string start(70, 'a');
    OCString s(start.c_str(), -1);
    ASSERT_EQ(128, s.GetCapacity());
    s.AppendFormat("%50s", "x");
    EXPECT_EQ(128, s.GetCapacity());
    OCString t(start.c_str(), -1);
    t.AppendFormat("%60s", "x");
    EXPECT_EQ(192, t.GetCapacity());
    EXPECT_EQ(start + std::string(59, ' ') + "x", Text(t));
}

TEST(AppendFormat, KeepsCursorOffset) {
    OCString s("abcdef", -1);
    s.Next();
    s.Next();
    s.AppendFormat("%s", std::string(200, 'z').c_str());
    EXPECT_EQ(s.GetBuffer() + 2, s.GetCursor());
    EXPECT_EQ(206, s.GetLength());
}

TEST(AppendFormat, ToLongText) {
    std::string start(1000, 'L');
    OCString s(start.c_str(), -1);
    s.AppendFormat("\\%s-%d", "abc", 42);
    EXPECT_EQ(start + "\\abc-42", Text(s));
    EXPECT_EQ(1088, s.GetCapacity());  // (1000 + 1 + 3 + 1 + 32) in blocks
}

TEST(AppendFormat, KeepsTextThatWindowsWrote) {
    OCString s(260);
    strcpy(s.GetBuffer(), "C:\\WINDOWS");  // as GetWindowsDirectoryA would
    s.AppendFormat("\\%s", "WININIT.INI");
    EXPECT_EQ("C:\\WINDOWS\\WININIT.INI", Text(s));
    EXPECT_EQ(22, s.GetLength());
}

// Output beyond the estimate must still stay inside the storage.
TEST(AppendFormat, OutputBeyondEstimateStaysInStorage) {
    OCString s("head:", -1);
    s.AppendFormat("%*s|", -100, "x");  // negative width: left-justified, 100 wide
    EXPECT_EQ("head:x" + std::string(99, ' ') + "|", Text(s));
    EXPECT_GE(s.GetCapacity(), s.GetLength());
    OCString t;
    t.Format("%80I32d", 7);  // "I32" is outside the estimate's table
    EXPECT_EQ(std::string(79, ' ') + "7", Text(t));
    EXPECT_GE(t.GetCapacity(), t.GetLength());
}

TEST(AppendFormat, OutputFillingStorageExactly) {
    OCString s, t;
    s.Format("%*s", -64, "x");  // estimate 1: capacity 64, text 64
    EXPECT_EQ(64, s.GetLength());
    EXPECT_EQ(64, s.GetCapacity());
    t.Format("%*s", -65, "x");  // one more byte than the storage holds
    EXPECT_EQ("x" + std::string(64, ' '), Text(t));
    EXPECT_EQ(128, t.GetCapacity());
}

TEST(AppendFormat, FailedGrowthWritesNothing) {
    if (sizeof(void*) > 4) GTEST_SKIP() << "a 64-bit test build obtains 2 GB";
    OCString s("text", -1);
    s.AppendFormat("%*d", 0x7FFFFF00, 1);
    EXPECT_EQ(nullptr, s.GetBuffer());
    EXPECT_EQ(0, s.GetCapacity());
    s.Format("%*d", 0x7FFFFFF0, 1);
    EXPECT_EQ(nullptr, s.GetBuffer());
    s.Format("%d", 5);  // usable afterwards
    EXPECT_EQ("5", Text(s));
}
