// The install.ini reader of disccheck: the rules that decide what the
// installer reads from a real file.
#include "DiscLayout.h"
#include "IniText.h"
#include "InstallSettings.h"

#include <gtest/gtest.h>

using namespace disccheck;

namespace {

TEST(DiscCheckIni, FindsValuesByTheInstallersRules) {
    const struct { std::string text; const char* section; const char* key; const char* value; } rows[] = {
        {"[s]\r\nkey=value\r\n", "s", "key", "value"},
        {"[s]\r\nkey=\tvalue\r\n", "s", "key", "value"},
        {"[s]\r\nkey===value\r\n", "s", "key", "value"},
        {"[s]\r\n\tkey\tvalue\r\n", "s", "key", "value"},
        {"[s]\r\nkey = value\r\n", "s", "key", nullptr},  // the key is "key "
        {"[s]\r\nkey=a b  \r\n", "s", "key", "a b  "},
        {"[s]\r\nkey=a\tb\r\n", "s", "key", "a"},
        {"[s]\nkey=line1\\nline2\n", "s", "key", "line1\nline2"},
        {"[s]\nkey=a\\tb\n", "s", "key", "a"},              // escapes expand before the split
        {"[s]\nkey=\x95\\n\n", "s", "key", "\x95\\n"},        // 95 5C is one character, no escape
        {"[INSTALL]\r\nNAME=1\r\n", "install", "name", "1"},
        {"[\x82\x60]\r\nk=1\r\n", "\x82\x81", "k", "1"},      // full-width A and a
        {"[install\r\nk=1\r\n", "instal", "k", "1"},
        {"[install\r\nk=1\r\n", "install", "k", nullptr},
        {"[\x83\x5D]\r\nk=1\r\n", "\x83\x5D", "k", "1"},      // a trail byte equal to "]"
        {"Name=A\r\n[x]\r\n[y]\r\n", "y", "Name", "A"},       // above every header
        {"[a]\r\nk=1\r\n[b]\r\nk=2\r\n", "b", "k", "2"},
        {"[a]\r\nk=\r\nk=x\r\n", "a", "k", "x"},              // the first non-empty value
        {"[a]\r\nk=1\r\n[b]\r\n[a]\r\nj=2\r\n", "a", "j", "2"},
        {"[a]\r\n'k=x\r\n", "a", "k", nullptr},
        {"[a]\r\n;k=x\r\n", "a", ";k", "x"},
        {"[a]\rk=1\n\n\r\nj=2", "a", "j", "2"},
        {std::string("[a]\r\nk=1\r\n\0j=2", 14), "a", "j", nullptr},  // a NUL ends the text
        {"\xEF\xBB\xBF[install]\r\nName=A\r\n[TYPE1]\r\n", "TYPE1", "Name", "A"},  // the mark hides [install]
    };
    for (const auto& r : rows) {
        std::string value = "(none)";
        EXPECT_EQ(IniText(r.text).Find(r.section, r.key, &value), r.value != nullptr) << r.text;
        EXPECT_EQ(value, r.value ? r.value : "(none)") << r.text;
    }
    EXPECT_TRUE(IniText("\xEF\xBB\xBF[install]\r\n").StartsWithUtf8Mark());
}

TEST(DiscCheckIni, SizesFileListsTypesAndWildcards) {
    EXPECT_EQ(LenientInt("6 5 0 MB"), 650);
    EXPECT_EQ(LenientInt("\x82\x50\x82\x4F"), 10);  // full-width 1 0
    EXPECT_EQ(LenientInt("10-"), -10);
    const std::vector<FileEntry> e = SplitFileList("DISC1:A;B;;DISC2:C;D:x:y");
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[1].label + "|" + e[1].path, "DISC1|B");
    EXPECT_EQ(e[3].label + "|" + e[3].path, "D|x:y");
    EXPECT_EQ(SplitFileList("A;B")[1].label, "");
    const InstallSettings s = ReadInstallSettings(IniText(
        "[install]\r\nDataPath=Data\r\n[TYPE2]\r\ntitle=B\r\nsize=3\r\n[type4]\r\nTITLE=D\r\n"
        "[TYPE5]\r\nfile=X:y\r\n[TYPE10]\r\ntitle=J\r\n"));
    ASSERT_EQ(s.types.size(), 2u);
    EXPECT_EQ(s.types[0].section + s.types[1].title, "TYPE2D");
    EXPECT_EQ(s.untitledTypes, std::vector<std::string>{"TYPE5"});
    for (const auto& [pattern, name, match] : {std::tuple{"*.*", "README", true}, {"*.MPG", "op.mpg", true},
                                               {"op?.mpg", "op1.mpg", true}, {"*.mpg", "op.avi", false},
                                               {"?.dat", "\x95\x5C.dat", true}, {"??.dat", "\x95\x5C.dat", false}})
        EXPECT_EQ(WildcardMatch(pattern, name), match) << pattern << " " << name;
}

}  // namespace
