// The INI reader and writer on the shapes real files take: separators and
// escapes, comments, duplicate and malformed sections, Shift-JIS text whose
// trail bytes look like "\", "[" or "]", and the WININIT.INI rename entries
// in every state the file can start from.
#include <gtest/gtest.h>
#include <string>
#include "archive/OCFile.h"
#include "archive/Ini.h"
#include "base/Messages.h"
#include "base/OCException.h"
#include "support/BoxAnswerer.h"
#include "support/TempDir.h"

namespace {

// The value IniFindValue gives for section/key in `text`, or "<none>" when
// it leaves the preset value alone.
std::string Find(const std::string& text, const char* section, const char* key) {
    OCString buffer(text.c_str(), -1), value("<none>", -1);
    IniFindValue(section, key, value, buffer);
    return value.GetBuffer();
}

std::string Read(const std::string& path, const char* section, const char* key) {
    OCString value("<none>", -1);
    IniReadValue(section, key, value, path.c_str());
    return value.GetBuffer();
}

// A literal's bytes, NULs included.
template <size_t N>
std::string Bytes(const char (&text)[N]) { return std::string(text, N - 1); }

// Holds g_quietOpen set while it lives.
struct QuietOpen {
    QuietOpen() { g_quietOpen = 1; }
    ~QuietOpen() { g_quietOpen = 0; }
};

}  // namespace

TEST(IniEntries, SeparatorsBeforeTheValueAreSkipped) {
    EXPECT_EQ("value", Find("[s]\r\nkey=value", "s", "key"));
    EXPECT_EQ("value", Find("[s]\r\nkey=\tvalue", "s", "key"));
    EXPECT_EQ("value", Find("[s]\r\nkey===value", "s", "key"));
    EXPECT_EQ("value", Find("[s]\r\nkey\tvalue", "s", "key"));
    EXPECT_EQ("value", Find("[s]\r\n\t\tkey= \t value", "s", "key"));
}

TEST(IniEntries, SpacesBelongToKeyAndValue) {
    EXPECT_EQ("<none>", Find("[s]\r\nkey = value", "s", "key"));
    EXPECT_EQ("value", Find("[s]\r\nkey = value", "s", "key "));
    EXPECT_EQ("a b  ", Find("[s]\r\nkey=a b  \r\n", "s", "key"));
    EXPECT_EQ("\"C:\\x y\"", Find("[s]\r\nkey=\"C:\\x y\"", "s", "key"));
}

TEST(IniEntries, TabAndTabEscapeEndTheValue) {
    EXPECT_EQ("a", Find("[s]\r\nkey=a\tb", "s", "key"));
    EXPECT_EQ("a", Find("[s]\r\nkey=a\\tb", "s", "key"));
    EXPECT_EQ("line1\nline2", Find("[s]\r\nkey=line1\\nline2", "s", "key"));
}

TEST(IniEntries, ShiftJisTrailBackslashIsNoEscape) {
    // 表 is 95 5C and ソ is 83 5C: followed by n or t they are still text.
    EXPECT_EQ("表n", Find("[s]\r\nkey=表n", "s", "key"));
    EXPECT_EQ("ソtフト", Find("[s]\r\nkey=ソtフト", "s", "key"));
    EXPECT_EQ("C:\\ソフト\\表示", Find("[s]\r\n表示=C:\\ソフト\\表示", "s", "表示"));
}

TEST(IniEntries, NamesIgnoreCase) {
    EXPECT_EQ("1", Find("[INSTALL]\r\nKEY=1", "install", "key"));
    EXPECT_EQ("1", Find("[Install]\r\nkey=1", "INSTALL", "Key"));
}

TEST(IniEntries, FirstNonEmptyValueWins) {
    EXPECT_EQ("x", Find("[s]\r\nkey=\r\nkey=x\r\nkey=y", "s", "key"));
    EXPECT_EQ("<none>", Find("[s]\r\nkey=\r\nkey=\t", "s", "key"));
}

TEST(IniEntries, LinesWithoutSeparatorOrKeyAreIgnored) {
    EXPECT_EQ("<none>", Find("[s]\r\nkey\r\n=x\r\n\t=y", "s", "key"));
    EXPECT_EQ("v", Find("[s]\r\njunk line\r\n=x\r\nkey=v", "s", "key"));
}

TEST(IniComments, ApostropheStartsACommentSemicolonDoesNot) {
    EXPECT_EQ("<none>", Find("[s]\r\n'key=x", "s", "key"));
    EXPECT_EQ("<none>", Find("[s]\r\n 'key=x", "s", "key"));  // nothing is trimmed
    EXPECT_EQ("x", Find("[s]\r\n;key=x", "s", ";key"));
    EXPECT_EQ("<none>", Find("[s]\r\n;key=x", "s", "key"));
}

TEST(IniComments, CommentEndsAtItsOwnLineBreakInEveryLineStyle) {
    EXPECT_EQ("x", Find("[s]\r\n'c\r\nkey=x", "s", "key"));
    EXPECT_EQ("x", Find("[s]\n'c\nkey=x", "s", "key"));
    EXPECT_EQ("x", Find("[s]\r'c\rkey=x\r", "s", "key"));
    EXPECT_EQ("x", Find("[s]\r'c\rkey=x\r\nother=1\n", "s", "key"));
}

TEST(IniSections, LineBreaksOfAnyKindAndEmptyLines) {
    std::string text = "[a]\r\n\r\n\nk=1\r[b]\n\n\rk=2\r\n\r\n[c]\rk=3";
    EXPECT_EQ("1", Find(text, "a", "k"));
    EXPECT_EQ("2", Find(text, "b", "k"));
    EXPECT_EQ("3", Find(text, "c", "k"));
}

TEST(IniSections, KeysOfOtherSectionsAreNotFound) {
    std::string text = "[a]\r\nk=1\r\n[b]\r\nj=2";
    EXPECT_EQ("<none>", Find(text, "a", "j"));
    EXPECT_EQ("<none>", Find(text, "b", "k"));
    EXPECT_EQ("<none>", Find(text, "missing", "k"));
}

TEST(IniSections, DuplicateSectionIsSearchedInBothPlacesInOrder) {
    std::string text = "[a]\r\nx=1\r\n[b]\r\nk=b\r\n[a]\r\nk=2\r\n[a]\r\nk=3";
    EXPECT_EQ("2", Find(text, "a", "k"));
    EXPECT_EQ("1", Find(text, "a", "x"));
}

TEST(IniSections, LinesBeforeTheFirstHeaderServeEverySection) {
    std::string text = "Name=A\r\n[install]\r\nTitle=T";
    EXPECT_EQ("A", Find(text, "install", "Name"));
    EXPECT_EQ("A", Find(text, "TYPE1", "Name"));
}

TEST(IniSections, HeaderWithoutClosingBracketDropsTheLastCharacter) {
    EXPECT_EQ("1", Find("[install\r\nkey=1", "instal", "key"));
    EXPECT_EQ("<none>", Find("[install\r\nkey=1", "install", "key"));
    EXPECT_EQ("1", Find("[install] trailing text\r\nkey=1", "install", "key"));
}

TEST(IniSections, BracketInsideAValueIsNoHeader) {
    std::string text = "[other]\r\npath=a[b]\r\nName=WRONG\r\n[install]\r\nName=RIGHT";
    EXPECT_EQ("RIGHT", Find(text, "install", "Name"));
    EXPECT_EQ("<none>", Find("[other]\r\nx=[install]\r\nName=WRONG", "install", "Name"));
}

TEST(IniSections, ShiftJisTrailBracketsStayInsideTheName) {
    // ゾ is 83 5D ("]" as trail byte), ー is 81 5B ("[" as trail byte).
    std::string text = "[ゾーン]\r\nk=1\r\n[other]\r\nk=2";
    EXPECT_EQ("1", Find(text, "ゾーン", "k"));
    EXPECT_EQ("<none>", Find(text, "\x83", "k"));
}

TEST(IniSections, EmptyOrCommentOnlyTextFindsNothing) {
    EXPECT_EQ("<none>", Find("", "s", "k"));
    EXPECT_EQ("<none>", Find("\r\n\r\n", "s", "k"));
    EXPECT_EQ("<none>", Find("'[s]\r\n'k=1", "s", "k"));
}

TEST(IniFiles, ReadsAShiftJisFileFromDisk) {
    TempDir dir;
    dir.Write("a.ini", "'設定ファイル\r\n[設定]\r\nパス=C:\\ソフト\\表\r\n[install]\nName=SAMPLE\n");
    EXPECT_EQ("C:\\ソフト\\表", Read(dir / "a.ini", "設定", "パス"));
    EXPECT_EQ("SAMPLE", Read(dir / "a.ini", "INSTALL", "name"));
}

TEST(IniFiles, NulByteEndsTheText) {
    TempDir dir;
    dir.Write("a.ini", Bytes("[s]\r\nk=1\0\r\nj=2\r\n"));
    EXPECT_EQ("1", Read(dir / "a.ini", "s", "k"));
    EXPECT_EQ("<none>", Read(dir / "a.ini", "s", "j"));
}

TEST(IniFiles, MissingFileLeavesTheValueWhenQuiet) {
    TempDir dir;
    QuietOpen quiet;
    EXPECT_EQ("<none>", Read(dir / "none.ini", "s", "k"));
}

TEST(IniFiles, MissingFileAsksAndIgnoreLeavesTheValue) {
    TempDir dir;
    std::string path = dir / "none.ini";
    BoxAnswerer answerer(kCaptionReadError, {IDIGNORE});
    EXPECT_EQ("<none>", Read(path, "s", "k"));
    ASSERT_EQ(1, answerer.Answered());
    EXPECT_EQ("ファイル " + path + " が開けません。", answerer.Texts()[0]);
}

TEST(IniFiles, MissingFileAbortThrows) {
    TempDir dir;
    BoxAnswerer answerer(kCaptionReadError, {IDABORT});
    EXPECT_THROW(Read(dir / "none.ini", "s", "k"), OCErrorException);
}

// The rename entries as the program writes them into WININIT.INI.
class IniWrite : public ::testing::Test {
protected:
    // Writes `before` (or nothing when null), adds nul=C:\B.EXE to [rename]
    // and returns the file's bytes.
    std::string AddRename(const char* before, const char* value = "C:\\B.EXE") {
        if (before) dir.Write("WININIT.INI", before);
        IniWriteValue("rename", "nul", value, path.c_str());
        return dir.Read("WININIT.INI");
    }
    TempDir dir;
    std::string path = dir / "WININIT.INI";
};

TEST_F(IniWrite, NewEntryGoesAboveTheOlderOnes) {
    EXPECT_EQ("[rename]\r\nnul=C:\\B.EXE\r\nNUL=C:\\A.EXE\r\n",
              AddRename("[rename]\r\nNUL=C:\\A.EXE\r\n"));
}

TEST_F(IniWrite, MissingFileIsCreatedWithTheSection) {
    EXPECT_EQ("[rename]\r\nnul=C:\\B.EXE", AddRename(NULL));
}

TEST_F(IniWrite, EmptyFileGetsTheSection) {
    EXPECT_EQ("[rename]\r\nnul=C:\\B.EXE", AddRename(""));
}

TEST_F(IniWrite, SectionIsAppendedAfterAnEmptyLine) {
    const char* expected = "[boot]\r\nx=1\r\n\r\n[rename]\r\nnul=C:\\B.EXE";
    EXPECT_EQ(expected, AddRename("[boot]\r\nx=1"));
}

TEST_F(IniWrite, SectionIsAppendedAfterAFinalLineBreakOfAnyKind) {
    EXPECT_EQ("[boot]\r\nx=1\r\n\r\n[rename]\r\nnul=C:\\B.EXE", AddRename("[boot]\r\nx=1\r\n"));
    EXPECT_EQ("[boot]\nx=1\n\r\n[rename]\r\nnul=C:\\B.EXE", AddRename("[boot]\nx=1\n"));
    EXPECT_EQ("x=表\r\n\r\n[rename]\r\nnul=C:\\B.EXE", AddRename("x=表"));
}

TEST_F(IniWrite, HeaderOnTheLastLineGetsALineBreak) {
    EXPECT_EQ("[rename]\r\nnul=C:\\B.EXE\r\n", AddRename("[rename]"));
    EXPECT_EQ("[rename]\r\nnul=C:\\B.EXE\r\n", AddRename("[rename]\r\n"));
}

TEST_F(IniWrite, EmptyLinesBehindTheHeaderStayAboveTheEntry) {
    EXPECT_EQ("[Rename]\r\n\r\nnul=C:\\B.EXE\r\nNUL=C:\\A.EXE\r\n[boot]\r\nx=1\r\n",
              AddRename("[Rename]\r\n\r\nNUL=C:\\A.EXE\r\n[boot]\r\nx=1\r\n"));
}

TEST_F(IniWrite, SectionFurtherDownIsFound) {
    EXPECT_EQ("[boot]\r\nx=1\r\n[RENAME]\r\nnul=C:\\B.EXE\r\nNUL=C:\\A.EXE",
              AddRename("[boot]\r\nx=1\r\n[RENAME]\r\nNUL=C:\\A.EXE"));
}

TEST_F(IniWrite, BracketInsideAValueIsNoHeader) {
    EXPECT_EQ("[boot]\r\nshell=x[rename]y\r\n\r\n[rename]\r\nnul=C:\\B.EXE",
              AddRename("[boot]\r\nshell=x[rename]y\r\n"));
}

TEST_F(IniWrite, ShiftJisPathIsWrittenByteForByte) {
    EXPECT_EQ("[rename]\r\nnul=C:\\ソフト\\表.EXE", AddRename(NULL, "C:\\ソフト\\表.EXE"));
}

TEST_F(IniWrite, RepeatedWritesKeepEveryEntryNewestFirst) {
    AddRename(NULL, "C:\\A.EXE");
    EXPECT_EQ("[rename]\r\nnul=C:\\B.EXE\r\nnul=C:\\A.EXE", AddRename(nullptr));
    EXPECT_EQ("C:\\B.EXE", Read(path, "rename", "NUL"));
}

TEST_F(IniWrite, OtherKeysGoIntoTheExistingSectionAndWinOnReading) {
    dir.Write("WININIT.INI", "[install]\r\nName=Old\r\n");
    IniWriteValue("INSTALL", "Name", "New", path.c_str());
    EXPECT_EQ("[install]\r\nName=New\r\nName=Old\r\n", dir.Read("WININIT.INI"));
    EXPECT_EQ("New", Read(path, "install", "name"));
}

TEST_F(IniWrite, FileWithANulByteIsLeftAlone) {
    std::string before = Bytes("[rename]\r\n\0junk");
    dir.Write("WININIT.INI", before);
    IniWriteValue("rename", "nul", "C:\\B.EXE", path.c_str());
    EXPECT_EQ(before, dir.Read("WININIT.INI"));
}

TEST_F(IniWrite, FileThatCannotBeReadIsNotOpenedForWriting) {
    dir.Write("WININIT.INI", "[boot]\r\nx=1\r\n");
    HANDLE locked = CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, locked);
    {
        BoxAnswerer answerer(kCaptionReadError, {IDIGNORE, IDIGNORE});
        IniWriteValue("rename", "nul", "C:\\B.EXE", path.c_str());
        EXPECT_EQ(1, answerer.Answered());   // the read was refused; no attempt to write
    }
    CloseHandle(locked);
    EXPECT_EQ("[boot]\r\nx=1\r\n", dir.Read("WININIT.INI"));
}
