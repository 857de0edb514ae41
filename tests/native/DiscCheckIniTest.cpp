// The install.ini reader of disccheck: the rules that decide what the
// installer reads from a real file.
#include "DiscLayout.h"
#include "IniText.h"
#include "InstallSettings.h"

#include <gtest/gtest.h>

using namespace disccheck;

namespace {

std::string Value(const std::string& text, const std::string& section, const std::string& key) {
    std::string value = "(none)";
    IniText(text).Find(section, key, &value);
    return value;
}

TEST(DiscCheckIni, SeparatorsAndSpacesAroundTheValue) {
    EXPECT_EQ(Value("[s]\r\nkey=value\r\n", "s", "key"), "value");
    EXPECT_EQ(Value("[s]\r\nkey=\tvalue\r\n", "s", "key"), "value");
    EXPECT_EQ(Value("[s]\r\nkey===value\r\n", "s", "key"), "value");
    EXPECT_EQ(Value("[s]\r\n\tkey\tvalue\r\n", "s", "key"), "value");
    EXPECT_EQ(Value("[s]\r\nkey = value\r\n", "s", "key"), "(none)");   // the key is "key "
    EXPECT_EQ(Value("[s]\r\nkey=a b  \r\n", "s", "key"), "a b  ");
    EXPECT_EQ(Value("[s]\r\nkey=a\tb\r\n", "s", "key"), "a");
}

TEST(DiscCheckIni, EscapesExpandBeforeTheSplit) {
    EXPECT_EQ(Value("[s]\nkey=line1\\nline2\n", "s", "key"), "line1\nline2");
    EXPECT_EQ(Value("[s]\nkey=a\\tb\n", "s", "key"), "a");
    // 0x95 0x5C is one character (a trail byte equal to a backslash), not an escape
    EXPECT_EQ(Value("[s]\nkey=\x95\\n\n", "s", "key"), "\x95\\n");
}

TEST(DiscCheckIni, NamesIgnoreCaseAndHeadersEndAtTheBracket) {
    EXPECT_EQ(Value("[INSTALL]\r\nNAME=1\r\n", "install", "name"), "1");
    EXPECT_EQ(Value("[\x82\x60]\r\nk=1\r\n", "\x82\x81", "k"), "1");   // full-width A and a
    EXPECT_EQ(Value("[install\r\nk=1\r\n", "instal", "k"), "1");
    EXPECT_EQ(Value("[install\r\nk=1\r\n", "install", "k"), "(none)");
    // a trail byte equal to "]" does not end the name
    EXPECT_EQ(Value("[\x83\x5D]\r\nk=1\r\n", "\x83\x5D", "k"), "1");
}

TEST(DiscCheckIni, SectionsCommentsAndWhichValueWins) {
    EXPECT_EQ(Value("Name=A\r\n[x]\r\n[y]\r\n", "y", "Name"), "A");          // above every header
    EXPECT_EQ(Value("[a]\r\nk=1\r\n[b]\r\nk=2\r\n", "b", "k"), "2");
    EXPECT_EQ(Value("[a]\r\nk=\r\nk=x\r\n", "a", "k"), "x");                 // first non-empty
    EXPECT_EQ(Value("[a]\r\nk=1\r\n[b]\r\n[a]\r\nj=2\r\n", "a", "j"), "2");  // section twice
    EXPECT_EQ(Value("[a]\r\n'k=x\r\n", "a", "k"), "(none)");
    EXPECT_EQ(Value("[a]\r\n;k=x\r\n", "a", ";k"), "x");
    EXPECT_EQ(Value("[a]\rk=1\n\n\r\nj=2", "a", "j"), "2");                   // any mix of breaks
    const char withNul[] = "[a]\r\nk=1\r\n\0j=2";                            // NUL ends the text
    EXPECT_EQ(Value(std::string(withNul, sizeof withNul - 1), "a", "j"), "(none)");
}

TEST(DiscCheckIni, SectionNamesAndByteOrderMark) {
    IniText ini("\xEF\xBB\xBF[install]\r\n[TYPE1]\r\n");
    EXPECT_TRUE(ini.StartsWithUtf8Mark());
    EXPECT_EQ(ini.SectionNames(), std::vector<std::string>{"TYPE1"});
    EXPECT_EQ(Value("\xEF\xBB\xBF[install]\r\nName=A\r\n[TYPE1]\r\n", "TYPE1", "Name"), "A");
}

TEST(DiscCheckIni, SizeIsReadLeniently) {
    EXPECT_EQ(LenientInt("650"), 650);
    EXPECT_EQ(LenientInt("6 5 0 MB"), 650);
    EXPECT_EQ(LenientInt("\x82\x50\x82\x4F"), 10);    // full-width 1 0
    EXPECT_EQ(LenientInt("10-"), -10);
    EXPECT_EQ(LenientInt("abc"), 0);
}

TEST(DiscCheckIni, FileListLabelsCarryOver) {
    std::vector<FileEntry> e = SplitFileList("DISC1:A;B;;DISC2:C;D");
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[1].label, "DISC1");
    EXPECT_EQ(e[1].path, "B");
    EXPECT_EQ(e[3].label, "DISC2");
    EXPECT_EQ(SplitFileList("A;B")[1].label, "");
    EXPECT_EQ(SplitFileList("D:x:y")[0].path, "x:y");
}

TEST(DiscCheckIni, TypesSkipGapsAndUntitledSections) {
    InstallSettings s = ReadInstallSettings(IniText(
        "[install]\r\nDataPath=Data\r\n[TYPE2]\r\ntitle=B\r\nsize=3\r\n[type4]\r\nTITLE=D\r\n"
        "[TYPE5]\r\nfile=X:y\r\n[TYPE10]\r\ntitle=J\r\n"));
    ASSERT_EQ(s.types.size(), 2u);
    EXPECT_EQ(s.types[0].section, "TYPE2");
    EXPECT_EQ(s.types[0].size, 3);
    EXPECT_EQ(s.types[1].title, "D");
    EXPECT_EQ(s.untitledTypes, std::vector<std::string>{"TYPE5"});
    EXPECT_EQ(s.dataPath, "Data");
}

TEST(DiscCheckIni, WildcardsFollowTheSystem) {
    EXPECT_TRUE(WildcardMatch("*.*", "README"));
    EXPECT_TRUE(WildcardMatch("*.MPG", "op.mpg"));
    EXPECT_TRUE(WildcardMatch("op?.mpg", "op1.mpg"));
    EXPECT_FALSE(WildcardMatch("*.mpg", "op.avi"));
    EXPECT_TRUE(WildcardMatch("?.dat", "\x95\x5C.dat"));   // ? takes a double-byte character whole
    EXPECT_FALSE(WildcardMatch("??.dat", "\x95\x5C.dat"));
}

}  // namespace
