// OCFile over a memory block: reads, writes and seeks stay inside the block.
#include "ArchiveFixture.h"

TEST(MemoryMode, ReadsAndWritesStopAtTheBlockEnd) {
    char block[8] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'};
    OCFile f;
    EXPECT_EQ(1, f.OpenMemory(block, 6));  // the last two bytes are not the block's
    char out[16] = {};
    EXPECT_EQ(4u, f.Read(out, 4));
    EXPECT_EQ(2u, f.Read(out, 16));
    EXPECT_STREQ("ef", std::string(out, 2).c_str());
    EXPECT_EQ(0u, f.Read(out, 1));
    EXPECT_EQ(0u, f.Write("z", 1));
    f.Seek(4, 0);
    EXPECT_EQ(2u, f.Write("WXYZ", 4));
    EXPECT_EQ(std::string("abcdWXgh"), std::string(block, 8));
}

TEST(MemoryMode, SeekCountsFromTheBlockStartWhateverTheOrigin) {
    char block[] = "0123456789";
    OCFile f;
    f.OpenMemory(block, 10);
    char c = 0;
    EXPECT_EQ(0, f.Seek(7, 2));
    f.Read(&c, 1);
    EXPECT_EQ('7', c);
    EXPECT_EQ(0, f.Seek(2, 1));
    f.Read(&c, 1);
    EXPECT_EQ('2', c);
    EXPECT_EQ(0, f.Seek(10, 0));  // the end itself is a position
    EXPECT_EQ(0u, f.Read(&c, 1));
}

TEST(MemoryMode, SeekOutsideTheBlockFailsAndKeepsThePosition) {
    char block[] = "0123456789";
    OCFile f;
    f.OpenMemory(block, 10);
    f.Seek(3, 0);
    EXPECT_NE(0, f.Seek(11, 0));
    EXPECT_NE(0, f.Seek(-1, 0));
    char c = 0;
    f.Read(&c, 1);
    EXPECT_EQ('3', c);
}

TEST(MemoryMode, OwnedBlockAndSize) {
    OCFile f;
    EXPECT_EQ(1, f.OpenMemory(NULL, 16));
    EXPECT_EQ(16u, f.GetSize());
    EXPECT_EQ(16u, f.Write("0123456789abcdefXYZ", 19));
    f.Seek(12, 0);
    EXPECT_EQ("cdef", ReadAll(f));
    EXPECT_EQ(nullptr, f.stream());
    f.Close();
    EXPECT_EQ(0u, f.Read(NULL, 4));
}

TEST(MemoryMode, ReadExactIsAllOrNothing) {
    char block[] = "abc";
    OCFile f;
    f.OpenMemory(block, 3);
    char out[4];
    EXPECT_TRUE(f.ReadExact(out, 2));
    EXPECT_FALSE(f.ReadExact(out, 2));
}
