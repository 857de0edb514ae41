// UnpackArchive on archives built byte by byte: every version, stored and
// compressed entries, damaged archives and entry names that would leave the
// target folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "archive/PakBuilder.h"
#include "base/Messages.h"
#include "base/OCException.h"
#include "install/Unpack.h"
#include "support/BoxAnswerer.h"
#include "support/TempDir.h"

namespace {

std::string Pattern(size_t length) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; i++) bytes[i] = (char)(i * 7 + i / 251);
    return bytes;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class UnpackTest : public ::testing::Test {
protected:
    void SetUp() override { CreateDirectoryA((dir / "out").c_str(), NULL); }
    unsigned Unpack(const std::string& bytes) {
        dir.Write("game.pak", bytes);
        return UnpackArchive((dir / "game.pak").c_str(), (dir / "out").c_str());
    }
    // The message of the OCErrorException that unpacking `bytes` raises.
    std::string Failure(const std::string& bytes) {
        try {
            Unpack(bytes);
        } catch (const OCErrorException& error) {
            return error.message.GetBuffer() ? error.message.GetBuffer() : "";
        }
        return "(no exception)";
    }
    TempDir dir;
};

TEST_F(UnpackTest, WritesEveryEntryOfEachVersionAndCountsStoredBytes) {
    const std::string big = Pattern(70000), binary("a\0b\0\xff", 5);
    for (int version = 0; version <= 2; version++) {
        SCOPED_TRACE(version);
        PakBuilder pak(version);
        pak.Stored("a.txt", "alpha").Stored("sub\\deep\\c.bin", binary);
        if (version != 0) pak.Compressed("sub\\big.dat", big);
        EXPECT_EQ(5u + 5u, Unpack(pak.Bytes()));
        EXPECT_EQ("alpha", dir.Read("out\\a.txt"));
        EXPECT_EQ(binary, dir.Read("out\\sub\\deep\\c.bin"));
        if (version != 0) {
            EXPECT_EQ(big, dir.Read("out\\sub\\big.dat"));
        }
    }
}

TEST_F(UnpackTest, CompressedEntriesDoNotCountAndEmptyEntriesAreWritten) {
    PakBuilder pak(1);
    pak.Stored("stored.dat", Pattern(3000)).Compressed("packed.dat", Pattern(5000)).Stored("empty", "");
    EXPECT_EQ(3000u, Unpack(pak.Bytes()));
    EXPECT_EQ(Pattern(5000), dir.Read("out\\packed.dat"));
    EXPECT_TRUE(Exists(dir / "out\\empty"));
}

// The compressed entries share one block, grown to the largest so far: each
// entry is written at its own size, never with a longer entry's leftovers.
TEST_F(UnpackTest, CompressedEntriesOfMixedSizesAreEachWrittenExactly) {
    const std::string big(20000, 'B'), small = Pattern(100), middle(9000, 'M');
    PakBuilder pak(2);
    pak.Compressed("1.dat", middle).Compressed("2.dat", small).Compressed("3.dat", big)
       .Compressed("4.dat", "").Compressed("5.dat", small);
    EXPECT_EQ(0u, Unpack(pak.Bytes()));
    EXPECT_EQ(middle, dir.Read("out\\1.dat"));
    EXPECT_EQ(small, dir.Read("out\\2.dat"));
    EXPECT_EQ(big, dir.Read("out\\3.dat"));
    EXPECT_EQ("", dir.Read("out\\4.dat"));
    EXPECT_EQ(small, dir.Read("out\\5.dat"));
}

TEST_F(UnpackTest, ShiftJisNamesWithBackslashTrailBytesStayOneName) {
    // ソ and 表 end in 0x5C: a byte scan would split them into folders.
    PakBuilder pak(2);
    pak.Stored("ソフト\\表.txt", "sjis");
    EXPECT_EQ(4u, Unpack(pak.Bytes()));
    EXPECT_EQ("sjis", dir.Read("out\\ソフト\\表.txt"));
}

TEST_F(UnpackTest, EntryNamesThatLeaveTheFolderAreRefusedBeforeAnythingIsWritten) {
    const char* hostile[] = {"..\\evil.txt", "sub\\..\\..\\evil.txt", "../evil.txt", "\\evil.txt",
                             "/evil.txt", "C:\\evil.txt", "C:evil.txt", ".\\evil.txt",
                             "sub\\\\evil.txt", "sub\\", "", ".. \\evil.txt", "...\\evil.txt"};
    for (const char* name : hostile) {
        SCOPED_TRACE(name);
        RemoveTree(dir / "out");
        CreateDirectoryA((dir / "out").c_str(), NULL);
        PakBuilder pak(1);
        pak.Stored("first.txt", "ok").Stored(name, "bad");
        EXPECT_EQ(std::string(kMsgInflateFailed), Failure(pak.Bytes()));
        EXPECT_FALSE(Exists(dir / "evil.txt"));
        EXPECT_FALSE(Exists(dir / "out\\first.txt"));
    }
    PakBuilder v0(0);
    v0.Stored("..\\evil.txt", "bad");
    EXPECT_EQ(std::string(kMsgInflateFailed), Failure(v0.Bytes()));
    EXPECT_FALSE(Exists(dir / "evil.txt"));
}

TEST(EntryNameTest, PlainRelativeNamesAreSafe) {
    EXPECT_TRUE(IsSafeEntryName("a.txt"));
    EXPECT_TRUE(IsSafeEntryName("sub\\deep\\a.txt"));
    EXPECT_TRUE(IsSafeEntryName("a\\ソ"));
    EXPECT_TRUE(IsSafeEntryName("..a\\b..c"));
    EXPECT_FALSE(IsSafeEntryName(NULL));
    EXPECT_FALSE(IsSafeEntryName("a\\..\\..\\b"));
    EXPECT_FALSE(IsSafeEntryName("\\\\server\\share\\a"));
}

TEST_F(UnpackTest, DamagedArchivesRaiseTheInflateError) {
    const std::string data = Pattern(4000);
    PakBuilder longer(1);
    longer.Compressed("a.dat", data, 4100);            // inflates to fewer bytes than recorded
    EXPECT_EQ(std::string(kMsgInflateFailed), Failure(longer.Bytes()));

    std::string garbled = PakBuilder(2).Compressed("a.dat", data).Bytes();
    for (size_t i = garbled.size() - 40; i < garbled.size(); i++) garbled[i] ^= 0x5A;
    EXPECT_EQ(std::string(kMsgInflateFailed), Failure(garbled));

    PakBuilder two(1);
    two.Stored("a", "1").Stored("b", "2");
    std::string bytes = two.Bytes();
    bytes.replace(4, 4, U32(3));                        // the directory holds only two entries
    EXPECT_EQ(std::string(kMsgInflateFailed), Failure(bytes));
}

TEST_F(UnpackTest, StoredDataCutShortIsAReadFailure) {
    std::string bytes = PakBuilder(0).Stored("a.dat", Pattern(5000)).Bytes();
    bytes.resize(bytes.size() - 100);
    const std::string message = Failure(bytes);
    EXPECT_NE(std::string::npos, message.find(dir / "game.pak")) << message;
}

TEST_F(UnpackTest, MissingArchiveAsksAndIgnoreYieldsNothing) {
    {
        BoxAnswerer answer(kCaptionReadError, {IDIGNORE});
        EXPECT_EQ(0u, UnpackArchive((dir / "none.pak").c_str(), (dir / "out").c_str()));
        EXPECT_EQ(1, answer.Answered());
    }
    BoxAnswerer answer(kCaptionReadError, {IDABORT});
    EXPECT_THROW(UnpackArchive((dir / "none.pak").c_str(), (dir / "out").c_str()), OCErrorException);
}

}  // namespace
