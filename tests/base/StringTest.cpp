// OCString as its callers see it: searches and cursor steps by whole characters
// (a Shift-JIS trail byte 0x5C is no backslash: ソ = 83 5C, 表 = 95 5C), editing,
// conversions, formatting, text from its own storage or written into it by
// Windows. NextLine, Tokenize and CopyRange are covered through the INI tests.
#include <windows.h>
#include <gtest/gtest.h>
#include <climits>
#include <cstdarg>
#include <cstring>
#include <string>
#include <new>
#include "base/OCException.h"
#include "base/OCString.h"
#include "base/Sys.h"

// Deliberate: a null %s, and the run-time library's %hS that the checker does not know.
#pragma GCC diagnostic ignored "-Wformat"

namespace {

std::string Text(const OCString& s) { return s.GetBuffer() ? s.GetBuffer() : ""; }
// Byte offset of `p` (the cursor by default) in the text; -1 for NULL.
int At(const OCString& s, const char* p) { return p ? (int)(p - s.GetBuffer()) : -1; }
int At(const OCString& s) { return At(s, s.GetCursor()); }

OCString Stepped(const char* text, int steps) {
    OCString s(text, -1);
    while (steps-- > 0) s.Next();
    return s;
}

char* Search(OCString& s, char op, const char* arg) {
    switch (op) {
    case 'c': return s.FindChar(CharCodeAt(arg));
    case 'l': return s.FindLastChar(CharCodeAt(arg));
    case 'f': return s.Find(arg);
    case 'o': return s.FindOneOf(arg);
    default: return s.SkipChars(arg);
    }
}

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

// A search starts `steps` characters in; on success the cursor moves to the
// result, otherwise NULL and the cursor stays.
TEST(String, SearchesStepByWholeCharacters) {
    ASSERT_EQ(932u, GetACP());
    const struct { const char* text; int steps; char op; const char* arg; int found; } cases[] = {
        {"ソ\\表\\x", 0, 'c', "\\", 2},    {"ソ\\表\\x", 2, 'c', "\\", 5},  {"ソ\\表\\x", 0, 'c', "表", 3},
        {"表示", 1, 'c', "\\", -1},        {"表示", 1, 'c', "表", -1},      {"C:\\dir\\表", 0, 'l', "\\", 6},
        {"ソソ", 0, 'l', "\\", -1},        {"key=value=2", 0, 'f', "=", 3}, {"key=value=2", 4, 'f', "=", 9},
        {"key=value=2", 4, 'f', "key", -1}, {"ソn\\n", 0, 'f', "\\n", 3},   {"  表/x", 0, 's', " \t", 2},
        {"  表/x", 0, 'o', "\\/", 4},      {"  表/x", 0, 'o', "表", 2},     {"   ", 0, 's', " ", -1},
        {"ソ表\\", 0, 's', "ソ", 2},       {"ソ表\\", 0, 'o', "\\", 4},     {"ソ表\\", 0, 's', "ソ表", 4},
        {"C:\\饅", 0, 'l', "\\", 2},  // a lead byte of the second block (E9 5C)
    };
    for (const auto& c : cases) {
        OCString s = Stepped(c.text, c.steps);
        int start = At(s);
        EXPECT_EQ(c.found, At(s, Search(s, c.op, c.arg))) << c.text << " " << c.op << c.arg;
        EXPECT_EQ(c.found < 0 ? start : c.found, At(s)) << c.text << " " << c.op << c.arg;
    }
    OCString none;
    for (char op : {'c', 'l', 'f', 'o', 's'}) EXPECT_EQ(nullptr, Search(none, op, "a")) << op;
}

TEST(String, CursorStepsAndCharacterCodes) {
    OCString s("aソb", -1);  // 61 83 5C 62
    const int offsets[] = {1, 3, 4, 4, 3, 1, 0, 0};  // four Next, then four Prev
    for (int i = 0; i < 8; i++) EXPECT_EQ(offsets[i], At(s, i < 4 ? s.Next() : s.Prev())) << i;
    const struct { const char* text; int steps; unsigned code; } codes[] = {
        {"a０表", 0, 'a'}, {"a０表", 1, 0x824F}, {"a０表", 2, 0x955C}, {"a０表", 3, 0}, {"a\x95", 1, 0},
    };
    for (const auto& c : codes) EXPECT_EQ(c.code, Stepped(c.text, c.steps).GetChar()) << c.text << c.steps;
    OCString name("C:\\Setup.EXE", -1);
    name.FindChar('S');
    EXPECT_EQ(0, name.CompareNoCase("setup.exe")) << "compares from the cursor";
    OCString none;
    EXPECT_TRUE(none.CompareNoCase("") == -1 && !none.Next() && !none.Prev() && !none.SeekEnd());
}

// Insert (insert != NULL) or Delete (count, pos); the cursor afterwards.
TEST(String, InsertAndDeleteMoveTheCursor) {
    const struct { const char* text; int steps; const char* insert; int count, pos; const char* after; int cursor; } cases[] = {
        {"world", 0, "hello ", 0, -1, "hello world", 6}, {"ac", 0, "b", 0, 1, "abc", 2},
        {"abc", 0, "!", 0, 3, "abc!", 4},                {"ab", 1, "X", 0, 99, "aXb", 2},
        {nullptr, 0, "text", 0, -1, "text", 4},          {"abcde", 0, nullptr, 2, 1, "ade", 1},
        {"abcde", 0, nullptr, 0, 2, "ab", 2},            {"abcde", 0, nullptr, 3, 3, "abc", 3},
        {"a表b", 1, nullptr, 2, -1, "ab", 1},            {"abcde", 0, nullptr, 5, 0, "", 0},
        {"abcde", 0, nullptr, -2, 3, "abcde", 0},        {"abcde", 0, nullptr, 10, -1, "", -1},
    };
    for (const auto& c : cases) {
        OCString s = Stepped(c.text, c.steps);
        char* result = c.insert ? s.Insert(c.insert, c.pos) : s.Delete(c.count, c.pos);
        EXPECT_EQ(c.after, Text(s)) << c.after;
        EXPECT_EQ(c.cursor, At(s)) << c.after;
        EXPECT_EQ(s.GetCursor(), result) << c.after;
    }
}

TEST(String, ReplaceWorksOnCharacterBoundaries) {
    const struct { const char* text; const char* find; const char* by; const char* after; } cases[] = {
        {"a\\nb\\nc", "\\n", "\n", "a\nb\nc"},   {"\"C:\\Game\\Uninst.exe\"", "\"", "", "C:\\Game\\Uninst.exe"},
        {"aaaaa", "aa", "b", "bba"},             {"bba", "b", "bb", "bbbba"},
        {"ソn表t\\n", "\\n", "\n", "ソn表t\n"},  {"ソn表t", "\\t", "\t", "ソn表t"},
        {"abc", "", "x", "abc"},                 {nullptr, "x", "y", ""},
    };
    for (const auto& c : cases) {
        OCString s = Stepped(c.text, 1);
        s.Replace(c.find, c.by);
        EXPECT_EQ(c.after, Text(s)) << c.after;
        EXPECT_EQ(*c.find ? 0 : 1, At(s)) << c.after;
    }
}

TEST(String, ConversionsToNumbersAndWideText) {
    const struct { const char* text; int value; } cases[] = {
        {"123", 123}, {"１２９", 129}, {"1２3", 123}, {"－5", -5}, {"-5", -5}, {"1-2", -12}, {"12－", -12},
        {"a1b2", 12}, {"350 MB", 350}, {"表ソ", 0}, {"\x82\x30" "4", 4}, {"", 0}, {"2147483648", INT_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(c.value, OCString(c.text, -1).ToInt()) << c.text;
    EXPECT_EQ(42, Stepped("42", 2).ToInt()) << "from the start, not the cursor";
}

// Code page 932 named, whatever the system's: trail bytes 0x5C stay inside
// their characters both ways, and a character 932 cannot hold is refused.
TEST(String, CrossesTheSystemBoundaryInCodePage932) {
    const struct { const char* sjis; const wchar_t* wide; } cases[] = {
        {"C:\\表ソ\\能力.txt", L"C:\\\x8868\x30BD\\\x80FD\x529B.txt"},
        {"ＡＢｃ①", L"\xFF21\xFF22\xFF43\x2460"}, {"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(std::wstring(c.wide), (const wchar_t*)sys::WideText(c.sjis)) << c.sjis;
        OCString back;
        EXPECT_TRUE(sys::ToSjis(c.wide, -1, back)) << c.sjis;
        EXPECT_EQ(c.sjis, Text(back));
    }
    EXPECT_EQ(nullptr, (const wchar_t*)sys::WideText(nullptr));
    for (const wchar_t* foreign : {L"C:\\Zo\x00EB", L"\x8FD9", L"\xD83D\xDE00"}) {
        OCString back("kept", -1);
        EXPECT_FALSE(sys::ToSjis(foreign, -1, back)) << "no best fit, no question marks";
        EXPECT_EQ(ERROR_NO_UNICODE_TRANSLATION, GetLastError());
        EXPECT_EQ("", Text(back));
    }
    const struct { const char* a; const char* b; bool same; } folds[] = {
        {"c:\\games\\ｇａｍｅ", "C:\\GAMES\\ＧＡＭＥ", true}, {"表a", "表A", true},
        {"\x83\x41", "\x83\x61", false},   // ア and ャ: trail bytes are not letters
    };
    for (const auto& f : folds) EXPECT_EQ(f.same, sys::CompareNoCase(f.a, f.b) == 0) << f.a;
}

// A reservation is room that a Windows call fills; appending goes behind that text.
TEST(String, AppendsBehindTextThatWindowsWrote) {
    for (int reserve : {0, 63, 64, 260, 65535}) for (bool format : {false, true}) {
        OCString s(reserve);
        ASSERT_GE(s.GetCapacity(), reserve);
        const std::string filled(reserve, 'w');
        memcpy(s.GetBuffer(), filled.c_str(), reserve + 1);
        if (format) s.AppendFormat("%c", '!');
        else s.Append("!?", 1), s.Append("ignored", 0);
        EXPECT_EQ(filled + "!", Text(s)) << reserve << format;
        EXPECT_EQ(reserve + 1, s.GetLength()) << reserve << format;
    }
}

// Growth releases the old storage: text taken from it must survive, and the
// cursor keeps its place.
TEST(String, TakesTextFromItsOwnStorage) {
    const std::string start = "S" + std::string(62, 'a'), twice = start + start + "aaaa";
    OCString s(start.c_str(), -1);
    s.Append(s.GetBuffer(), -1);
    s.Append(s.GetBuffer() + 1, 4);
    s += s.GetBuffer();
    EXPECT_EQ(twice + twice, Text(s));
    s.Assign(s.GetBuffer() + 1, 5);
    EXPECT_EQ("aaaaa", Text(s));
    s = s.GetBuffer() + 3;
    s = s;
    EXPECT_EQ("aa", Text(s));
    s.Next();
    s.AppendFormat("%300s", "z");
    EXPECT_EQ(s.GetBuffer() + 1, s.GetCursor()) << "growth keeps the cursor's place";
    s = start.c_str();
    s.Format("%s|%s", s.GetBuffer(), s.GetBuffer() + 60);  // formatted over the text it reads
    EXPECT_EQ(start + "|aaa", Text(s));
    s.AppendFormat("%s", s.GetBuffer());
    EXPECT_EQ(start + "|aaa" + start + "|aaa", Text(s));
    s = "aa";
    OCString copy(s);
    copy += "x";
    EXPECT_EQ("aa", Text(s)) << "a copy has storage of its own";
}

// Storage that cannot be had leaves the string empty and usable, never
// half-written (copying INT_MAX bytes would fault).
TEST(String, FailedGrowthLeavesAnEmptyUsableString) {
    if (sizeof(void*) > 4) GTEST_SKIP() << "a 64-bit test build obtains 2 GB";
    OCString s(std::string(100, 'a').c_str(), -1), t("text", -1), u(INT_MAX);
    s.Append("tiny", INT_MAX - 10);
    t.AppendFormat("%*d", 0x7FFFFF00, 1);
    EXPECT_TRUE(s.GetBuffer() == nullptr && t.GetBuffer() == nullptr && u.GetBuffer() == nullptr);
    s += "again";
    EXPECT_EQ("again", Text(s));
}

// Whatever reaches the top is shown in the one error box with a code.
TEST(Exceptions, EveryKindHasACodeForTheErrorBox) {
    const struct { void (*raise)(); LONG code; const char* message; } cases[] = {
        {[] { throw OCErrorException(ERROR_ACCESS_DENIED, "denied"); }, ERROR_ACCESS_DENIED, "denied"},
        {[] { throw OCException(); }, ERROR_NOT_ENOUGH_MEMORY, ""},  // the string's Replace out of memory
        {[] { throw std::bad_alloc(); }, ERROR_NOT_ENOUGH_MEMORY, ""},
        {[] { throw 42; }, ERROR_INTERNAL_ERROR, ""},
    };
    for (const auto& c : cases) {
        try {
            c.raise();
        } catch (...) {
            OCString message;
            EXPECT_EQ(c.code, DescribeCurrentException(message));
            EXPECT_EQ(c.message, Text(message));
        }
    }
}

TEST(Format, WritesTheRunTimeLibrarysText) {
    EXPECT_EQ("C:\\Games\\data", Appended("", "%c:\\%s\\%s", 'C', "Games", "data"));
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
