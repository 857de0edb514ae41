// OCString as its callers see it: searches and cursor steps by whole
// characters (a Shift-JIS trail byte 0x5C is never a backslash: ソ = 83 5C,
// 表 = 95 5C), editing, taking text apart, conversions, and text taken from
// the string's own storage or written into it by Windows.
#include <windows.h>
#include <gtest/gtest.h>
#include <climits>
#include <cstring>
#include <string>
#include "base/OCString.h"

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
    EXPECT_EQ(-1, none.CompareNoCase(""));
    EXPECT_EQ(nullptr, none.Next());
    EXPECT_EQ(nullptr, none.Prev());
    EXPECT_EQ(nullptr, none.SeekEnd());
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

// Bounds are byte offsets; -1 stands for NULL (the start, the end).
TEST(String, CopyRangeBetweenBoundsInEitherOrder) {
    const struct { const char* text; int from, to; const char* out; } cases[] = {
        {"C:\\Games\\data", 3, 8, "Games"}, {"C:\\Games\\data", 13, 9, "data"}, {"C:\\Games\\data", -1, 2, "C:"},
        {"C:\\Games\\data", 9, -1, "data"}, {"C:\\Games\\data", -1, -1, "C:\\Games\\data"},
        {"abc", 1, 1, ""},                  {"abc", 0, 4, "keep"},
    };
    for (const auto& c : cases) {
        OCString s(c.text, -1), out("keep", -1);
        s.CopyRange(out, c.from < 0 ? nullptr : s.GetBuffer() + c.from, c.to < 0 ? nullptr : s.GetBuffer() + c.to);
        EXPECT_EQ(c.out, Text(out)) << c.text << c.from << c.to;
    }
}

TEST(String, NextLineAndTokenizeTakeTextApart) {
    const struct { const char* text; unsigned from; bool result; int cursor; } lines[] = {
        {"[a]\r\n\r\nk=v", ']', true, 7}, {"[a]", ']', false, 3}, {"[a]\r\n", ']', true, 5},
        {"\nab\ncd", 0, true, 4},         {"表示\nソ", 0, true, 5},
    };
    for (const auto& c : lines) {
        OCString s(c.text, -1);
        if (c.from) s.FindChar(c.from);
        EXPECT_EQ(c.result, s.NextLine()) << c.text;
        EXPECT_EQ(c.cursor, At(s)) << c.text;
    }
    EXPECT_FALSE(OCString().NextLine());

    const struct { const char* text; const char* delimiters; const char* tokens; } tokens[] = {
        {"a\r\n\r\nb", "\r\n", "a|b|"},      {"C:\\表\\ソ\\", "\\", "C:|表|ソ|"},
        {";a.pak;;b.pak;", ";", "a.pak|b.pak|"}, {"", ";", ""}, {nullptr, ";", ""},
    };
    for (const auto& c : tokens) {
        OCString s(c.text, -1), token("keep", -1);
        std::string all, last = "keep";
        while (const char* start = s.Tokenize(token, c.delimiters)) {
            last = Text(token);
            EXPECT_EQ(0, strncmp(start, last.c_str(), last.size())) << c.text;
            all += last + "|";
        }
        EXPECT_EQ(c.tokens, all);
        EXPECT_EQ(last, Text(token)) << "the last token stays";
    }
}

TEST(String, ConversionsToNumbersAndWideText) {
    const struct { const char* text; int value; } cases[] = {
        {"123", 123}, {"１２９", 129}, {"1２3", 123}, {"－5", -5}, {"-5", -5}, {"1-2", -12}, {"12－", -12},
        {"a1b2", 12}, {"350 MB", 350}, {"表ソ", 0}, {"\x82\x30" "4", 4}, {"", 0}, {"2147483648", INT_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(c.value, OCString(c.text, -1).ToInt()) << c.text;
    OCString s("42", -1);
    s.SeekEnd();
    EXPECT_EQ(42, s.ToInt()) << "from the start, not the cursor";
    wchar_t wide[16] = {L'x'};
    EXPECT_EQ(nullptr, ToWide(wide, nullptr, 16));
    EXPECT_EQ(std::wstring(L"C:\\\x8868\x30BD"), ToWide(wide, "C:\\表ソ", 16));
    EXPECT_EQ(std::wstring(), ToWide(wide, "abcdef", 3)) << "too small: empty";
}

// A reservation is room that a Windows call fills; appending goes behind that text.
TEST(String, AppendsBehindTextThatWindowsWrote) {
    for (int reserve : {0, 63, 64, 260, 65535}) {
        OCString s(reserve);
        ASSERT_GE(s.GetCapacity(), reserve);
        std::string filled(reserve, 'w');
        memcpy(s.GetBuffer(), filled.c_str(), reserve + 1);
        s.Append("!?", 1);
        s.Append("ignored", 0);
        EXPECT_EQ(filled + "!", Text(s));
        EXPECT_EQ(reserve + 1, s.GetLength());
        OCString f(reserve);
        memcpy(f.GetBuffer(), filled.c_str(), reserve + 1);
        f.AppendFormat("%c", '!');
        EXPECT_EQ(filled + "!", Text(f)) << "formatted behind it too";
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
