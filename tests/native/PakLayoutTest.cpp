// Archives written byte by byte in the test: the tool reads and unpacks them,
// and writes the same layout itself.
#include "PakArchive.h"
#include "PakFiles.h"
#include "PakTestUtil.h"

#include <gtest/gtest.h>

using namespace pak;
using paktest::ByteWriter;
using paktest::Bytes;
using paktest::ScratchFolder;

namespace {

// v0: header, directory with absolute offsets, then data where the offsets say.
std::vector<uint8_t> HandV0() {
    // Directory: "a.txt" (4+5+12) + "cg\x.bin" (4+8+12) = 45 bytes, data from 53.
    ByteWriter w;
    w.U32(0).U32(2);
    w.U32(5).Raw("a.txt").U32(53).U32(0xDEADBEEF).U32(5);
    w.U32(8).Raw("cg\\x.bin").U32(58).U32(0).U32(3);
    w.Raw("hello").Raw("xyz");
    return w.Get();
}

// v1/v2: header, zlib directory, data area with offsets from its start.
std::vector<uint8_t> HandPacked(uint32_t version) {
    std::vector<uint8_t> packedEntry = paktest::ZlibCompress(Bytes(std::string(400, 'q')));
    ByteWriter dir;
    dir.U32(7).Raw("one.txt").U32(0).U32(0).U32(3).U32(0).U32(0);
    dir.U32(9).Raw("sub\\q.dat").U32(3).U32(0).U32(400).U32(1).U32(static_cast<uint32_t>(packedEntry.size()));
    std::vector<uint8_t> packedDir = paktest::ZlibCompress(dir.Get());
    ByteWriter w;
    w.U32(version).U32(2).U32(static_cast<uint32_t>(dir.Size())).U32(static_cast<uint32_t>(packedDir.size()));
    if (version == 2) w.U32(0x11111111).Zeros(256);
    w.Raw(packedDir).Raw("ONE").Raw(packedEntry);
    return w.Get();
}

TEST(PakLayout, ReadsHandBuiltVersionZero) {
    std::vector<uint8_t> bytes = HandV0();
    MemorySource src(bytes);
    Directory dir = ReadDirectory(src);
    ASSERT_EQ(dir.entries.size(), 2u);
    EXPECT_EQ(dir.entries[0].name, "a.txt");
    EXPECT_EQ(dir.entries[0].dataPosition, 53u);
    EXPECT_EQ(dir.entries[1].name, "cg\\x.bin");
    EXPECT_EQ(ReadEntryBytes(src, dir.entries[0]), Bytes("hello"));
    EXPECT_EQ(ReadEntryBytes(src, dir.entries[1]), Bytes("xyz"));
}

TEST(PakLayout, ReadsHandBuiltVersionsOneAndTwo) {
    for (uint32_t version : {1u, 2u}) {
        std::vector<uint8_t> bytes = HandPacked(version);
        MemorySource src(bytes);
        Directory dir = ReadDirectory(src);
        ASSERT_EQ(dir.entries.size(), 2u) << version;
        const uint64_t dataStart = (version == 1 ? 16 : 276) + dir.dirPacked;
        EXPECT_EQ(dir.entries[0].dataPosition, dataStart);
        EXPECT_EQ(ReadEntryBytes(src, dir.entries[0]), Bytes("ONE"));
        EXPECT_TRUE(dir.entries[1].IsCompressed());
        EXPECT_EQ(ReadEntryBytes(src, dir.entries[1]), Bytes(std::string(400, 'q')));
    }
}

TEST(PakLayout, UnpacksHandBuiltArchivesIntoFolders) {
    ScratchFolder scratch;
    for (uint32_t version : {0u, 1u, 2u}) {
        std::vector<uint8_t> bytes = version == 0 ? HandV0() : HandPacked(version);
        MemorySource src(bytes);
        std::filesystem::path out = scratch / ("v" + std::to_string(version));
        ExtractAll(src, ReadDirectory(src), out);
        if (version == 0) {
            EXPECT_EQ(paktest::ReadBytes(out / "a.txt"), Bytes("hello"));
            EXPECT_EQ(paktest::ReadBytes(out / "cg" / "x.bin"), Bytes("xyz"));
        } else {
            EXPECT_EQ(paktest::ReadBytes(out / "one.txt"), Bytes("ONE"));
            EXPECT_EQ(paktest::ReadBytes(out / "sub" / "q.dat"), Bytes(std::string(400, 'q')));
        }
    }
}

TEST(PakLayout, CutsNamesAtANulByte) {
    ByteWriter w;
    w.U32(0).U32(1).U32(6).Raw(std::string("ab\0cd!", 6)).U32(30).U32(0).U32(0);
    MemorySource src(w.Get());
    Directory dir = ReadDirectory(src);
    ASSERT_EQ(dir.entries.size(), 1u);
    EXPECT_EQ(dir.entries[0].name, "ab");
    EXPECT_EQ(dir.entries[0].nameLength, 6u);
}

TEST(PakLayout, WritesVersionZeroWithAbsoluteOffsets) {
    std::vector<InputFile> files = {{"cg\\x.bin", Bytes("xyz")}, {"a.txt", Bytes("hello")}};
    WriteOptions options;
    options.version = 0;
    options.packing = Packing::Store;
    std::vector<uint8_t> expected = HandV0();
    expected[8 + 4 + 5 + 4] = expected[8 + 4 + 5 + 5] = expected[8 + 4 + 5 + 6] = expected[8 + 4 + 5 + 7] = 0;
    EXPECT_EQ(BuildArchive(files, options), expected);  // the writer's reserved field is 0
}

TEST(PakLayout, WritesVersionTwoHeaderAndDirectory) {
    std::vector<InputFile> files = {{"one.txt", Bytes("ONE")}, {"two.txt", Bytes("TWO!")}};
    WriteOptions options;
    options.version = 2;
    options.packing = Packing::Store;
    std::vector<uint8_t> bytes = BuildArchive(files, options);
    ByteWriter dir;
    dir.U32(7).Raw("one.txt").U32(0).U32(0).U32(3).U32(0).U32(0);
    dir.U32(7).Raw("two.txt").U32(3).U32(0).U32(4).U32(0).U32(0);
    std::vector<uint8_t> packedDir = paktest::ZlibCompress(dir.Get());
    ByteWriter expected;
    expected.U32(2).U32(2).U32(static_cast<uint32_t>(dir.Size())).U32(static_cast<uint32_t>(packedDir.size()));
    expected.Zeros(260).Raw(packedDir).Raw("ONETWO!");
    EXPECT_EQ(bytes, expected.Get());  // default zlib level on both sides
}

}  // namespace
