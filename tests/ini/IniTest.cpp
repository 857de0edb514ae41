// The INI reader and writer on the shapes real files take, Shift-JIS text whose trail
// bytes look like "\", "[" or "]" (表 = 95 5C, ゾ = 83 5D, ー = 81 5B) included.
#include <gtest/gtest.h>
#include <string>
#include "archive/Ini.h"
#include "archive/OCFile.h"  // g_quietOpen
#include "support/TempDir.h"

namespace {

const char kNone[] = "<none>";  // the preset value, left alone

// A literal's bytes, NULs included.
template <size_t N> std::string Bytes(const char (&text)[N]) { return std::string(text, N - 1); }

std::string Read(const std::string& path, const char* section, const char* key) {
    OCString value(kNone, -1);
    IniReadValue(section, key, value, path.c_str());
    return value.GetBuffer();
}

}  // namespace

TEST(Ini, FindsTheFirstNonEmptyValueOfTheSection) {
    const struct { const char* text; const char* section; const char* key; const char* value; } cases[] = {
        // separators, spaces, escapes
        {"[s]\r\nkey=value", "s", "key", "value"},        {"[s]\r\nkey=\tvalue", "s", "key", "value"},
        {"[s]\r\nkey===value", "s", "key", "value"},      {"[s]\r\nkey\tvalue", "s", "key", "value"},
        {"[s]\r\n\t\tkey= \t value", "s", "key", "value"}, {"[s]\r\nkey = value", "s", "key", kNone},
        {"[s]\r\nkey = value", "s", "key ", "value"},     {"[s]\r\nkey=a b  \r\n", "s", "key", "a b  "},
        {"[s]\r\nkey=a\tb", "s", "key", "a"},             {"[s]\r\nkey=a\\tb", "s", "key", "a"},
        {"[s]\r\nkey=line1\\nline2", "s", "key", "line1\nline2"},
        {"[s]\r\nkey=表n", "s", "key", "表n"},            {"[s]\r\nkey=ソtフト", "s", "key", "ソtフト"},
        {"[s]\r\n表示=C:\\ソフト\\表示", "s", "表示", "C:\\ソフト\\表示"},
        // names, duplicates, odd lines, comments
        {"[INSTALL]\r\nKEY=1", "install", "key", "1"},    {"[ＩＮＳＴＡＬＬ]\r\nkey=1", "ｉｎｓｔａｌｌ", "KEY", "1"},
        {"[s]\r\nkey=\r\nkey=x\r\nkey=y", "s", "key", "x"}, {"[s]\r\nkey=\r\nkey=\t", "s", "key", kNone},
        {"[s]\r\nkey\r\n=x\r\n\t=y", "s", "key", kNone}, {"[s]\r\njunk line\r\n=x\r\nkey=v", "s", "key", "v"},
        {"[s]\r\n'key=x", "s", "key", kNone},            {"[s]\r\n'key=x", "s", "'key", kNone},
        {"[s]\r\n;key=x", "s", ";key", "x"},              {"[s]\r\n;key=x", "s", "key", kNone},
        {"[s]\r'c\rkey=x\r\nother=1\n", "s", "key", "x"}, {"[s]\n'c\nkey=x", "s", "key", "x"},
        {"", "s", "k", kNone},                            {"'[s]\r\n'k=1", "s", "k", kNone},
        // sections
        {"[a]\r\n\r\n\nk=1\r[b]\n\n\rk=2\r\n\r\n[c]\rk=3", "b", "k", "2"},
        {"[a]\r\nk=1\r\n[b]\r\nj=2", "a", "j", kNone},   {"[a]\r\nk=1\r\n[b]\r\nj=2", "b", "k", kNone},
        {"[a]\r\nk=1", "missing", "k", kNone},
        {"[a]\r\nx=1\r\n[b]\r\nk=b\r\n[a]\r\nk=2\r\n[a]\r\nk=3", "a", "k", "2"},
        {"Name=A\r\n[install]\r\nTitle=T", "TYPE1", "Name", "A"},
        {"[install\r\nkey=1", "instal", "key", "1"},     {"[install\r\nkey=1", "install", "key", kNone},
        {"[install] trailing text\r\nkey=1", "install", "key", "1"},
        {"[other]\r\npath=a[b]\r\nName=WRONG\r\n[install]\r\nName=RIGHT", "install", "Name", "RIGHT"},
        {"[other]\r\nx=[install]\r\nName=WRONG", "install", "Name", kNone},
        {"[ゾーン]\r\nk=1\r\n[other]\r\nk=2", "ゾーン", "k", "1"}, {"[ゾーン]\r\nk=1", "\x83", "k", kNone},
    };
    for (const auto& c : cases) {
        OCString text(c.text, -1), value(kNone, -1);
        IniFindValue(c.section, c.key, value, text);
        EXPECT_EQ(c.value, std::string(value.GetBuffer())) << c.text << " [" << c.section << "] " << c.key;
    }
}

TEST(Ini, ReadsShiftJisFilesFromDisk) {
    TempDir dir;
    dir.Write("a.ini", Bytes("'設定\r\n[設定]\r\nパス=C:\\ソフト\\表\r\n[install]\nk=1\0\r\nj=2\r\n"));
    EXPECT_EQ("C:\\ソフト\\表", Read(dir / "a.ini", "設定", "パス"));
    EXPECT_EQ("1", Read(dir / "a.ini", "INSTALL", "k"));
    EXPECT_EQ(kNone, Read(dir / "a.ini", "install", "j")) << "a NUL byte ends the text";
    g_quietOpen = 1;
    EXPECT_EQ(kNone, Read(dir / "none.ini", "s", "k"));
    g_quietOpen = 0;
}

// Adds nul=C:\B.EXE to the [rename] section of a WININIT.INI holding `before`
// (NULL: no file); the file afterwards, and the value read back.
TEST(Ini, WritesTheNewEntryOnTopOfItsSection) {
    const struct { const char* before; const char* after; } cases[] = {
        {"[rename]\r\nNUL=C:\\A.EXE\r\n", "[rename]\r\nnul=C:\\B.EXE\r\nNUL=C:\\A.EXE\r\n"},
        {nullptr, "[rename]\r\nnul=C:\\B.EXE"}, {"", "[rename]\r\nnul=C:\\B.EXE"},
        {"[boot]\r\nx=1", "[boot]\r\nx=1\r\n\r\n[rename]\r\nnul=C:\\B.EXE"},
        {"[boot]\r\nx=1\r\n", "[boot]\r\nx=1\r\n\r\n[rename]\r\nnul=C:\\B.EXE"},
        {"[boot]\nx=1\n", "[boot]\nx=1\n\r\n[rename]\r\nnul=C:\\B.EXE"},
        {"x=表", "x=表\r\n\r\n[rename]\r\nnul=C:\\B.EXE"},
        {"[rename]", "[rename]\r\nnul=C:\\B.EXE\r\n"}, {"[rename]\r\n", "[rename]\r\nnul=C:\\B.EXE\r\n"},
        {"[Rename]\r\n\r\nNUL=C:\\A.EXE\r\n[boot]\r\nx=1\r\n",
         "[Rename]\r\n\r\nnul=C:\\B.EXE\r\nNUL=C:\\A.EXE\r\n[boot]\r\nx=1\r\n"},
        {"[boot]\r\nx=1\r\n[RENAME]\r\nNUL=C:\\A.EXE", "[boot]\r\nx=1\r\n[RENAME]\r\nnul=C:\\B.EXE\r\nNUL=C:\\A.EXE"},
        {"[boot]\r\nshell=x[rename]y\r\n", "[boot]\r\nshell=x[rename]y\r\n\r\n[rename]\r\nnul=C:\\B.EXE"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        if (c.before) dir.Write("WININIT.INI", c.before);
        IniWriteValue("rename", "nul", "C:\\B.EXE", (dir / "WININIT.INI").c_str());
        EXPECT_EQ(c.after, dir.Read("WININIT.INI")) << (c.before ? c.before : "(no file)");
        EXPECT_EQ("C:\\B.EXE", Read(dir / "WININIT.INI", "rename", "nul")) << "the newest entry wins";
    }
}

// Writing such a text back would lose the rest of the file.
TEST(Ini, FileThatCannotBeReadWholeIsLeftAlone) {
    TempDir dir;
    const std::string withNul = Bytes("[rename]\r\n\0junk");
    dir.Write("WININIT.INI", withNul);
    IniWriteValue("rename", "nul", "C:\\B.EXE", (dir / "WININIT.INI").c_str());
    EXPECT_EQ(withNul, dir.Read("WININIT.INI"));
}
