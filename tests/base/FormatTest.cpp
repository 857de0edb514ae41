// Formatting into a string: the run-time library's text (msvcrt forms: I64,
// %S, h and l marks) behind the text already there, and output that runs past
// the first estimate still written whole and inside the storage.
#include <windows.h>
#include <gtest/gtest.h>
#include <cstdarg>
#include <cstring>
#include <string>
#include "base/OCString.h"

// Deliberate: a null %s, and the run-time library's %hS that the checker does not know.
#pragma GCC diagnostic ignored "-Wformat"

namespace {

std::string Text(const OCString& s) { return s.GetBuffer() ? s.GetBuffer() : ""; }

// `start` with the formatted text appended; checks that it fits its storage.
std::string Appended(const char* start, const char* format, ...) {
    OCString s(start, -1);
    va_list args;
    va_start(args, format);
    s.AppendFormatV(format, args);
    va_end(args);
    EXPECT_LE(s.GetLength(), s.GetCapacity()) << format;
    return Text(s);
}

}  // namespace

TEST(Format, WritesTheRunTimeLibrarysText) {
    EXPECT_EQ("C:\\Games\\data", Appended("", "%s\\%s", "C:\\Games", "data"));
    EXPECT_EQ("TYPE3", Appended("", "TYPE%d", 3));
    EXPECT_EQ("[install]\r\nName=表示", Appended("", "[%s]\r\n%s=%s", "install", "Name", "表示"));
    EXPECT_EQ("エラーが発生しました。\nCode 0x57 :ソフト",
              Appended("", "エラーが発生しました。\nCode 0x%x :%s", 0x57, "ソフト"));
    EXPECT_EQ("100% [(null)]", Appended("", "100%% [%s]", (const char*)nullptr));
    EXPECT_EQ("4886718345 abcdef0123 end", Appended("", "%I64d %I64x %s", 0x123456789LL, 0xABCDEF0123LL, "end"));
    EXPECT_EQ("wide|long|short|narrow", Appended("", "%S|%ls|%hs|%hS", L"wide", L"long", "short", "narrow"));
}

TEST(Format, OutputPastTheEstimateIsWrittenWhole) {
    EXPECT_EQ("head:x" + std::string(99, ' ') + "|", Appended("head:", "%*s|", -100, "x"));
    EXPECT_EQ(std::string(79, ' ') + "7", Appended("", "%80I32d", 7));
    for (int width : {63, 64, 65, 129}) EXPECT_EQ(width, (int)Appended("", "%*s", -width, "x").size()) << width;
    std::string start(70, 'a');
    EXPECT_EQ(start + std::string(59, ' ') + "x", Appended(start.c_str(), "%60s", "x"));
    EXPECT_EQ(std::string(1000, 'L') + "\\abc-42", Appended(std::string(1000, 'L').c_str(), "\\%s-%d", "abc", 42));
}
