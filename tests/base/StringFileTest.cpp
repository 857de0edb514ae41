// OCString's file operations through a real OCFile: a block of memory and a
// file on disk.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "archive/OCFile.h"
#include "base/OCString.h"
#include "support/TempDir.h"

namespace {

std::string Text(const OCString& s) { return s.GetBuffer() ? s.GetBuffer() : "<none>"; }

// Serves `bytes` from a memory block that lives as long as the file object.
struct MemoryFile {
    explicit MemoryFile(const std::string& bytes) : data(bytes) {
        file.OpenMemory(data.empty() ? nullptr : &data[0], (unsigned)data.size());
    }
    std::string data;
    OCFile file;
};

std::string Counted(unsigned count, const std::string& bytes) {
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i) out[i] = (char)(count >> (8 * i));
    return out + bytes;
}

}  // namespace

TEST(StringFile, LoadsWholeFileAsText) {
    MemoryFile m("[install]\r\nName=表示\r\n");
    OCString s("old", -1);
    s.SeekEnd();
    s.LoadFromFile(m.file);
    EXPECT_EQ("[install]\r\nName=表示\r\n", Text(s));
    EXPECT_EQ(s.GetBuffer(), s.GetCursor());
    EXPECT_EQ(64, s.GetCapacity());
}

TEST(StringFile, LoadStopsAtNulByte) {
    MemoryFile m(std::string("abc\0def", 7));
    OCString s;
    s.LoadFromFile(m.file);
    EXPECT_EQ("abc", Text(s));
    EXPECT_EQ(3, s.GetLength());
}

TEST(StringFile, LoadFromClosedFileGivesEmptyStorage) {
    OCFile closed;
    OCString s("old", -1);
    s.LoadFromFile(closed);
    ASSERT_NE(nullptr, s.GetBuffer());
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(64, s.GetCapacity());
}

TEST(StringFile, ReadsSuccessiveCountedStrings) {
    MemoryFile m(Counted(5, "hello") + Counted(4, "ソ表") + Counted(0, "") + Counted(1, "x"));
    OCString s;
    s.ReadString(m.file);
    EXPECT_EQ("hello", Text(s));
    EXPECT_EQ(s.GetBuffer(), s.GetCursor());
    s.ReadString(m.file);
    EXPECT_EQ("ソ表", Text(s));
    s.ReadString(m.file);
    EXPECT_EQ(nullptr, s.GetBuffer());  // count 0: no storage
    s.ReadString(m.file);
    EXPECT_EQ("x", Text(s));
    s.ReadString(m.file);  // nothing left to read
    EXPECT_EQ(nullptr, s.GetBuffer());
}

TEST(StringFile, ShortCountedStringKeepsOnlyBytesRead) {
    MemoryFile m(Counted(60, "abc"));
    OCString s;
    s.ReadString(m.file);
    EXPECT_EQ("abc", Text(s));
    MemoryFile partialCount(std::string("\x05\x00", 2));
    s.ReadString(partialCount.file);
    EXPECT_EQ(nullptr, s.GetBuffer());
}

TEST(StringFile, ImpossibleCountLeavesEmptyString) {
    MemoryFile m(Counted(0x7FFFFFF0u, "abc"));
    OCString s("old", -1);
    s.ReadString(m.file);
    EXPECT_EQ(nullptr, s.GetBuffer());
    MemoryFile wraps(Counted(0xFFFFFFFFu, "abc"));
    s.ReadString(wraps.file);
    EXPECT_EQ(nullptr, s.GetBuffer());
}

TEST(StringFile, WritesTextWithoutNul) {
    OCFile file;
    file.OpenMemory(nullptr, 16);
    OCString s("表示ab", -1);
    EXPECT_EQ(6u, s.WriteToFile(file));
    OCString none;
    EXPECT_EQ(0u, none.WriteToFile(file));
    file.Seek(0, SEEK_SET);
    char back[7] = {};
    EXPECT_EQ(6u, file.Read(back, 6));
    EXPECT_STREQ("表示ab", back);
}

TEST(StringFile, RoundTripOnDisk) {
    TempDir dir;
    std::string path = dir / "game.ini";
    {
        OCFile out;
        ASSERT_EQ(1, out.Open(path.c_str(), kOpenCreate));
        OCString s("[設定]\r\nkey=ソフト\r\n", -1);
        EXPECT_EQ((unsigned)s.GetLength(), s.WriteToFile(out));
    }
    EXPECT_EQ("[設定]\r\nkey=ソフト\r\n", dir.Read("game.ini"));
    OCFile in;
    ASSERT_EQ(1, in.Open(path.c_str(), kOpenRead));
    OCString s;
    s.LoadFromFile(in);
    EXPECT_EQ("[設定]\r\nkey=ソフト\r\n", Text(s));
}
