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
        {"[s]\r\nkey=\tvalue\r\n", "s", "key", "value"},
        {"[s]\r\nkey===value\r\n", "s", "key", "value"},
        {"[s]\r\n\tkey\tvalue\r\n", "s", "key", "value"},
        {"[s]\r\nkey = value\r\n", "s", "key", nullptr},       // the key is "key "
        {"[s]\r\nkey=a b  \tc\r\n", "s", "key", "a b  "},      // a value ends at a tab
        {"[s]\nkey=line1\\nline2\\tx\n", "s", "key", "line1\nline2"},  // escapes expand before the split
        {"[s]\nkey=\x95\\n\n", "s", "key", "\x95\\n"},           // 95 5C is one character, no escape
        {"[\x82\x60]\r\nK=1\r\n", "\x82\x81", "k", "1"},         // case ignored, full-width A and a too
        {"[\x83\x5D]\r\nk=1\r\n", "\x83\x5D", "k", "1"},         // a trail byte equal to "]"
        {"[install\r\nk=1\r\n", "instal", "k", "1"},             // no "]": the name loses its last character
        {"[install\r\nk=1\r\n", "install", "k", nullptr},
        {"Name=A\r\n[x]\r\n[y]\r\n", "y", "Name", "A"},          // above every header
        {"[a]\r\nk=\r\nk=x\r\nk=y\r\n", "a", "k", "x"},          // the first non-empty value
        {"[a]\r\nk=1\r\n[b]\r\n[a]\r\nj=2\r\n", "a", "j", "2"},  // a section twice
        {"[a]\r\n'k=x\r\n", "a", "k", nullptr},                  // a comment
        {"[a]\r\n;k=x\r\n", "a", ";k", "x"},                     // no comment
        {"[a]\rk=1\n\n\r\nj=2", "a", "j", "2"},                   // any mix of line breaks
        {std::string("[a]\r\nk=1\r\n\0j=2", 14), "a", "j", nullptr},  // a NUL ends the text
        {"\xEF\xBB\xBF[install]\r\nName=A\r\n[TYPE1]\r\n", "TYPE1", "Name", "A"},  // the mark hides [install]
    };
    for (const auto& r : rows) {
        std::string value = "(none)";
        EXPECT_EQ(IniText(r.text).Find(r.section, r.key, &value), r.value != nullptr) << r.text;
        EXPECT_EQ(value, r.value ? r.value : "(none)") << r.text;
    }
}

TEST(DiscCheckIni, SizesFileListsTypesAndWildcards) {
    EXPECT_EQ(LenientInt("6 5 0 MB"), 650);
    EXPECT_EQ(LenientInt("\x82\x50\x82\x4F-"), -10);  // full-width 1 0, a minus anywhere
    const std::vector<FileEntry> e = SplitFileList("A;DISC1:B;;C;D:x:y");
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[0].label + "|" + e[2].label + "|" + e[2].path + "|" + e[3].path, "|DISC1|C|x:y");
    const InstallSettings s = ReadInstallSettings(IniText("[TYPE2]\r\ntitle=B\r\n[type4]\r\nTITLE=D\r\n"
                                                          "[TYPE5]\r\nfile=X:y\r\n[TYPE10]\r\ntitle=J\r\n"));
    ASSERT_EQ(s.types.size(), 2u);
    EXPECT_EQ(s.types[0].section + s.types[1].title, "TYPE2D");
    EXPECT_EQ(s.untitledTypes, std::vector<std::string>{"TYPE5"});
    EXPECT_TRUE(WildcardMatch("*.*", "README") && WildcardMatch("*.MPG", "op.mpg") && !WildcardMatch("*.mpg", "op.avi"));
    EXPECT_TRUE(WildcardMatch("?.dat", "\x95\x5C.dat") && !WildcardMatch("??.dat", "\x95\x5C.dat"));  // ? takes 95 5C whole
}

}  // namespace
