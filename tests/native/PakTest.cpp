// The pak tool's library: archives read back and unpack to the files packed,
// entries land only inside the target folder, and verify names each fault.
#include "PakArchive.h"
#include "PakFiles.h"
#include "PakTestUtil.h"
#include "PakVerify.h"

#include <gtest/gtest.h>

using namespace pak;
using namespace paktest;

namespace {

TEST(Pak, RoundTripsEveryVersionAndPacking) {
    ScratchFolder s;
    std::vector<uint8_t> noise(5000);
    uint32_t x = 12345;
    for (uint8_t& b : noise) b = static_cast<uint8_t>((x = x * 1103515245 + 12345) >> 16);
    WriteText(s / "in/install.ini", "[install]\r\nName=game\r\n");
    WriteText(s / "in/cg/表/ソ.png", std::string(70000, 'A'));  // 95 5C, 83 5C: trail bytes equal to "\"
    WriteBytes(s / "in/se/noise.wav", noise);                    // does not compress
    WriteText(s / "in/empty.txt", "");
    const std::vector<std::string> names = {"cg\\\x95\x5C\\\x83\x5C.png", "empty.txt", "install.ini", "se\\noise.wav"};
    const std::pair<uint32_t, Packing> cases[] = {{0, Packing::Store},    {1, Packing::Store}, {1, Packing::Compress},
                                                  {1, Packing::Auto},     {2, Packing::Store}, {2, Packing::Compress},
                                                  {2, Packing::Auto}};
    for (const auto& [version, packing] : cases) {
        SCOPED_TRACE("version " + std::to_string(version) + " packing " + std::to_string(int(packing)));
        WriteOptions options;
        options.version = version;
        options.packing = packing;
        const std::vector<uint8_t> bytes = BuildArchive(CollectFiles(s / "in", {}), options);
        EXPECT_EQ(bytes, BuildArchive(CollectFiles(s / "in", {}), options));  // the same folder, the same bytes
        MemorySource src(bytes);
        const Directory dir = ReadDirectory(src);
        EXPECT_EQ(dir.version, version);
        EXPECT_TRUE(VerifyArchive(src).empty());
        ASSERT_EQ(dir.entries.size(), names.size());
        for (size_t i = 0; i < names.size(); ++i) {
            const Entry& e = dir.entries[i];
            EXPECT_EQ(e.name, names[i]);
            const bool packs = version != 0 && e.size != 0 &&
                               (packing == Packing::Compress || (packing == Packing::Auto && e.size == 70000));
            EXPECT_EQ(e.IsCompressed(), packs) << e.name;
        }
        const fs::path out = s / ("out" + std::to_string(version) + std::to_string(int(packing)));
        ExtractAll(src, dir, out);
        for (const char* file : {"install.ini", "cg/表/ソ.png", "se/noise.wav", "empty.txt"})
            EXPECT_EQ(ReadBytes(out / fs::u8path(file)), ReadBytes(s / "in" / fs::u8path(file))) << file;
    }
}

TEST(Pak, ExactNamesComeFirstAndCaseTwinsAreRefused) {
    // The installer takes the first entry whose name starts with the requested
    // name, case ignored: "a.png" must come before "A.png.old".
    const std::vector<uint8_t> bytes = MakeArchive({{"b.txt", "b"}, {"A.png.old", "old"}, {"a.png", "new"}, {"C", "c"}});
    MemorySource src(bytes);
    std::vector<std::string> order;
    for (const Entry& e : ReadDirectory(src).entries) order.push_back(e.name);
    EXPECT_EQ(order, (std::vector<std::string>{"a.png", "A.png.old", "b.txt", "C"}));
    EXPECT_THROW(MakeArchive({{"cg\\Title.png", "1"}, {"CG\\title.PNG", "2"}}), PakError);
    EXPECT_THROW(MakeArchive({{"\x82\x60.txt", "1"}, {"\x82\x81.txt", "2"}}), PakError);  // full-width A and a
}

TEST(Pak, ExtractWritesNothingWhenAnEntryWouldLeaveTheFolder) {
    const std::pair<std::string, bool> names[] = {
        {"..\\escaped.txt", false}, {"sub\\..\\..\\escaped.txt", false}, {"\\escaped.txt", false},
        {"C:\\escaped.txt", false}, {"C:escaped.txt", false},            {"/tmp/escaped.txt", false},
        {"a/../escaped.txt", false}, {"a\\\\b", false},                  {"\x95\x5C\\..\\escaped.txt", false},
        {"..\x95\x5C", true},        {"\x83\x5C\\a.txt", true},  // steps by characters: no ".." part, no empty part
    };
    for (const auto& [name, safe] : names) {
        ScratchFolder s;
        const std::vector<uint8_t> bytes = MakeArchive({{"a-first.txt", "1"}, {name, "2"}});
        MemorySource src(bytes);
        if (safe) {
            EXPECT_NO_THROW(ExtractAll(src, ReadDirectory(src), s / "out")) << name;
            continue;
        }
        EXPECT_THROW(ExtractAll(src, ReadDirectory(src), s / "out"), PakError) << name;
        EXPECT_FALSE(fs::exists(s / "out/a-first.txt")) << name;
        EXPECT_FALSE(fs::exists(s / "escaped.txt")) << name;
    }
}

void Put(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
std::vector<uint8_t> With(std::vector<uint8_t> b, size_t at, uint32_t v) { return Put(b, at, v), b; }
std::vector<uint8_t> Cut(std::vector<uint8_t> b, size_t n) { return b.resize(n), b; }

Entry E(const std::string& name, uint32_t offset, uint32_t size, uint32_t compressed = 0, uint32_t packed = 0) {
    Entry e;
    e.name = name, e.offset = offset, e.size = size, e.compressed = compressed, e.packedSize = packed;
    return e;
}

// A version 1 archive of these directory fields and data area, assembled by the writer.
std::vector<uint8_t> V1(const std::vector<Entry>& entries, const std::string& data, uint32_t count = 0,
                        size_t spare = 0) {
    std::vector<uint8_t> dir = EncodeDirectory(1, entries);
    dir.resize(dir.size() + spare);
    return AssembleArchive(1, count ? count : uint32_t(entries.size()), dir, Bytes(data));
}

TEST(Pak, VerifyNamesEachFault) {
    const Files files = {{"a.txt", "alpha"}, {"big.bin", std::string(10000, 'b')}};
    const std::vector<uint8_t> v0 = MakeArchive(files, 0), v1 = MakeArchive(files, 1), v2 = MakeArchive(files, 2);
    std::vector<uint8_t> v2bad = v2;
    v2bad[276] ^= 0xFF;  // the directory's zlib header
    const std::vector<uint8_t> zipped = MakeArchive({{"z", std::string(1000, 'z')}}, 1);
    MemorySource zsrc(zipped);
    const Entry ze = ReadDirectory(zsrc).entries[0];
    const std::string z(zipped.begin() + ze.dataPosition, zipped.end());
    const uint32_t n = ze.packedSize;
    auto zip = [](uint32_t size, const std::string& stream, uint32_t packed) { return V1({E("z", 0, size, 1, packed)}, stream); };
    const std::vector<Entry> one = {E("a", 0, 1)};
    const std::pair<const char*, std::vector<uint8_t>> cases[] = {
        {"too short for a header", {1, 0, 0}},
        {"too short for a version 2 header", Cut(v2, 100)},
        {"unknown archive version 7", With(v1, 0, 7)},
        {"runs past the end of the directory", With(v0, 4, 0xFFFFFFFF)},
        {"name length 4294967280 runs past", With(v0, 8, 0xFFFFFFF0)},
        {"directory entry 2 of 2 runs past", V1(one, "x", 2)},
        {"the directory: the compressed data is cut short", With(v1, 12, 6)},
        {"the directory: the compressed data is damaged", v2bad},
        {"inflates to 25 bytes, but the header gives 35", With(V1(one, "x"), 8, 35)},
        {"inflates to more than 24 bytes", With(V1(one, "x"), 8, 24)},
        {"4 bytes after its last entry", V1(one, "x", 1, 4)},
        {"its 5 bytes at", V1({E("a", 2, 5)}, "xyz")},
        {"run past the end of the archive", V1({E("a", 0xFFFFFFFF, 0xFFFFFFFF)}, "xyz")},
        {"4294967280 bytes at", V1({E("a", 0, 100, 1, 0xFFFFFFF0)}, "xyz")},
        {"overlaps the header or the directory", With(v0, 8 + 4 + 5, 10)},
        {"inflates to more than 999 bytes", zip(999, z, n)},
        {"inflates to 1000 bytes, but its size is 1001", zip(1001, z, n)},
        {"ends 1 bytes before its compressed size", zip(1000, z + '\0', n + 1)},
        {"cut short", zip(1000, z.substr(0, n - 3), n - 3)},
        {"damaged", zip(1000, "\x77" + z.substr(1), n)},
        {"the same name as entry 1", V1({E("a", 0, 1), E("A", 0, 1)}, "x")},
        {"cannot be unpacked into a folder", V1({E("..\\ev", 0, 1)}, "x")},
        {"holds a NUL byte", V1({E(std::string("b\0c", 3), 0, 1)}, "x")},
        {"not valid Shift-JIS", V1({E("d\x81", 0, 1)}, "x")},
    };
    for (const auto& [fault, bytes] : cases) {
        MemorySource src(bytes);
        const std::vector<std::string> faults = VerifyArchive(src);
        ASSERT_EQ(faults.size(), 1u) << fault << "\n" << ::testing::PrintToString(faults);
        EXPECT_NE(faults[0].find(fault), std::string::npos) << fault << "\n" << faults[0];
    }
}

}  // namespace
