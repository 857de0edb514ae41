// verify finds each kind of damage and passes sound archives.
#include "PakArchive.h"
#include "PakTestUtil.h"
#include "PakVerify.h"

#include <gtest/gtest.h>

using namespace pak;
using paktest::ByteWriter;
using paktest::Bytes;

namespace {

std::vector<uint8_t> Sound(uint32_t version, Packing packing = Packing::Auto) {
    WriteOptions options;
    options.version = version;
    options.packing = version == 0 ? Packing::Store : packing;
    return BuildArchive({{"a.txt", Bytes("alpha")}, {"big.bin", std::vector<uint8_t>(10000, 7)}}, options);
}

std::string Joined(const std::vector<std::string>& faults) {
    std::string all;
    for (const std::string& f : faults) all += f + "\n";
    return all;
}

// Expects exactly the faults that mention each of `phrases`, in any order.
void ExpectFaults(const std::vector<uint8_t>& bytes, std::vector<std::string> phrases) {
    MemorySource src(bytes);
    std::vector<std::string> faults = VerifyArchive(src);
    EXPECT_EQ(faults.size(), phrases.size()) << Joined(faults);
    for (const std::string& phrase : phrases)
        EXPECT_NE(Joined(faults).find(phrase), std::string::npos) << "missing '" << phrase << "' in\n" << Joined(faults);
}

// A v1 archive around a directory and data area written in the test.
std::vector<uint8_t> V1(const ByteWriter& dir, const std::vector<uint8_t>& data, uint32_t count,
                        uint32_t dirSizeDelta = 0) {
    std::vector<uint8_t> packed = paktest::ZlibCompress(dir.Get());
    ByteWriter w;
    w.U32(1).U32(count).U32(static_cast<uint32_t>(dir.Size()) + dirSizeDelta).U32(static_cast<uint32_t>(packed.size()));
    return w.Raw(packed).Raw(data).Get();
}

void Put(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

TEST(PakVerify, PassesSoundArchives) {
    for (uint32_t v : {0u, 1u, 2u})
        for (Packing p : {Packing::Store, Packing::Compress, Packing::Auto}) ExpectFaults(Sound(v, p), {});
}

TEST(PakVerify, FindsHeaderDamage) {
    ExpectFaults({1, 0, 0}, {"too short for a header"});
    std::vector<uint8_t> v2 = Sound(2);
    v2.resize(100);
    ExpectFaults(v2, {"too short for a version 2 header"});
    std::vector<uint8_t> v7 = Sound(1);
    Put(v7, 0, 7);
    ExpectFaults(v7, {"unknown archive version 7"});
}

TEST(PakVerify, FindsCountsAndNameLengthsPastTheDirectory) {
    std::vector<uint8_t> v0 = Sound(0);
    Put(v0, 4, 0xFFFFFFFF);
    ExpectFaults(v0, {"runs past the end of the directory"});
    std::vector<uint8_t> v0name = Sound(0);
    Put(v0name, 8, 0xFFFFFFF0);
    ExpectFaults(v0name, {"name length 4294967280 runs past"});
    ByteWriter dir;
    dir.U32(1).Raw("a").U32(0).U32(0).U32(1).U32(0).U32(0);
    ExpectFaults(V1(dir, Bytes("x"), 2), {"directory entry 2 of 2 runs past"});
    ByteWriter longName;
    longName.U32(500).Raw("a").U32(0).U32(0).U32(1).U32(0).U32(0);
    ExpectFaults(V1(longName, Bytes("x"), 1), {"name length 500"});
}

TEST(PakVerify, FindsDirectoryStreamDamage) {
    std::vector<uint8_t> cut = Sound(1);
    Put(cut, 12, 6);  // compressed directory size much too small
    ExpectFaults(cut, {"the directory: the compressed data is cut short"});
    std::vector<uint8_t> bad = Sound(2);
    bad[276] ^= 0xFF;  // zlib header
    ExpectFaults(bad, {"the directory: the compressed data is damaged"});
    ByteWriter dir;
    dir.U32(1).Raw("a").U32(0).U32(0).U32(1).U32(0).U32(0);
    ExpectFaults(V1(dir, Bytes("x"), 1, 10), {"inflates to 25 bytes, but the header gives 35"});
    std::vector<uint8_t> small = V1(dir, Bytes("x"), 1);
    Put(small, 8, 24);
    ExpectFaults(small, {"inflates to more than 24 bytes"});
    ByteWriter spare;
    spare.U32(1).Raw("a").U32(0).U32(0).U32(1).U32(0).U32(0).U32(0);
    ExpectFaults(V1(spare, Bytes("x"), 1), {"4 bytes after its last entry"});
}

TEST(PakVerify, FindsEntryDataOutsideTheArchive) {
    ByteWriter dir;
    dir.U32(1).Raw("a").U32(2).U32(0).U32(5).U32(0).U32(0);
    ExpectFaults(V1(dir, Bytes("xyz"), 1), {"its 5 bytes at"});
    ByteWriter huge;
    huge.U32(1).Raw("a").U32(0xFFFFFFFF).U32(0).U32(0xFFFFFFFF).U32(0).U32(0);
    ExpectFaults(V1(huge, Bytes("xyz"), 1), {"run past the end of the archive"});
    ByteWriter packed;
    packed.U32(1).Raw("a").U32(0).U32(0).U32(100).U32(1).U32(0xFFFFFFF0);
    ExpectFaults(V1(packed, Bytes("xyz"), 1), {"4294967280 bytes at"});
    std::vector<uint8_t> v0 = Sound(0);
    Put(v0, 8 + 4 + 5, 10);  // first entry's data inside the directory
    ExpectFaults(v0, {"overlaps the header or the directory"});
}

TEST(PakVerify, FindsEntryStreamDamage) {
    std::vector<uint8_t> entry = paktest::ZlibCompress(std::vector<uint8_t>(1000, 'z'));
    auto archive = [&](uint32_t size, const std::vector<uint8_t>& stream, uint32_t packedSize) {
        ByteWriter dir;
        dir.U32(1).Raw("z").U32(0).U32(0).U32(size).U32(1).U32(packedSize);
        return V1(dir, stream, 1);
    };
    const uint32_t n = static_cast<uint32_t>(entry.size());
    ExpectFaults(archive(1000, entry, n), {});
    ExpectFaults(archive(999, entry, n), {"inflates to more than 999 bytes"});
    ExpectFaults(archive(1001, entry, n), {"inflates to 1000 bytes, but its size is 1001"});
    std::vector<uint8_t> padded = entry;
    padded.push_back(0);
    ExpectFaults(archive(1000, padded, n + 1), {"ends 1 bytes before its compressed size"});
    std::vector<uint8_t> cut(entry.begin(), entry.end() - 3);
    ExpectFaults(archive(1000, cut, n - 3), {"cut short"});
    std::vector<uint8_t> broken = entry;
    broken[0] = 0x77;  // not a zlib header
    ExpectFaults(archive(1000, broken, n), {"damaged"});
}

TEST(PakVerify, FindsNamesTheInstallerCannotUse) {
    ByteWriter dir;
    dir.U32(1).Raw("a").U32(0).U32(0).U32(1).U32(0).U32(0);
    dir.U32(1).Raw("A").U32(0).U32(0).U32(1).U32(0).U32(0);
    dir.U32(5).Raw("..\\ev").U32(0).U32(0).U32(1).U32(0).U32(0);
    dir.U32(3).Raw(std::string("b\0c", 3)).U32(0).U32(0).U32(1).U32(0).U32(0);
    dir.U32(2).Raw("d\x81").U32(0).U32(0).U32(1).U32(0).U32(0);
    ExpectFaults(V1(dir, Bytes("x"), 5), {"the same name as entry 1", "cannot be unpacked into a folder",
                                          "holds a NUL byte", "not valid Shift-JIS"});
}

}  // namespace
