// OCString's file operations through OCFile: disk files, archive entries and
// memory blocks.
#include "ArchiveFixture.h"
#include "PakBuilder.h"

using StringFile = ArchiveTest;

TEST_F(StringFile, LoadsAWholeFileAndWritesItBack) {
    dir.Write("in.txt", "[install]\r\nName=表ソ\r\n");
    OCFile in;
    ASSERT_EQ(1, in.Open((dir / "in.txt").c_str(), 0));
    OCString text;
    text.LoadFromFile(in);
    EXPECT_STREQ("[install]\r\nName=表ソ\r\n", text.GetBuffer());
    OCFile out;
    ASSERT_EQ(1, out.Open((dir / "out\\copy.txt").c_str(), 1));
    EXPECT_EQ((unsigned)text.GetLength(), text.WriteToFile(out));
    out.Close();
    EXPECT_EQ(dir.Read("in.txt"), dir.Read("out\\copy.txt"));
}

TEST_F(StringFile, LoadsAStoredAndACompressedArchiveEntry) {
    std::string ini = "[install]\r\nName=game\r\n";
    dir.Write("a.pak", PakBuilder(2).Stored("install.ini", ini).Compressed("menu.ini", "M=1").Bytes());
    OCString text;
    OCFile f;
    ASSERT_EQ(1, f.Open("install.ini", 0));
    text.LoadFromFile(f);
    EXPECT_EQ(ini, text.GetBuffer());
    ASSERT_EQ(1, f.Open("menu.ini", 0));
    text.LoadFromFile(f);
    EXPECT_STREQ("M=1", text.GetBuffer());
}

TEST_F(StringFile, ReadsCountedStrings) {
    std::string bytes = U32(3) + "abc" + U32(0) + U32(2) + std::string("x\0", 2) + U32(9) + "sh";
    OCFile f;
    f.OpenMemory(&bytes[0], bytes.size());
    OCString s;
    s.ReadString(f);
    EXPECT_STREQ("abc", s.GetBuffer());
    s.ReadString(f);
    EXPECT_TRUE(s.IsEmpty());
    s.ReadString(f);
    EXPECT_STREQ("x", s.GetBuffer());
    s.ReadString(f);  // claims 9 bytes, the block holds 2
    EXPECT_STREQ("sh", s.GetBuffer());
}
