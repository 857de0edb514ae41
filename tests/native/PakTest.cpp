// The pak tool's library: archives read back and unpack to the files packed,
// entries land only inside the target folder, and verify names what the reader misses.
#include "PakFiles.h"
#include "PakVerify.h"
#include "NativeTest.h"

#include <gtest/gtest.h>

using namespace pak;
using namespace paktest;

namespace {

TEST(Pak, RoundTripsEveryVersionAndPacking) {
    ScratchFolder s;
    std::string noise(5000, 0);
    uint32_t x = 12345;
    for (char& c : noise) c = static_cast<char>((x = x * 1103515245 + 12345) >> 16);
    const Files files = {{"cg/表/ソ.png", std::string(70000, 'A')},  // 95 5C, 83 5C: trail bytes equal to "\"
                         {"empty.txt", ""}, {"install.ini", "[install]\r\nName=game\r\n"}, {"se/noise.wav", noise}};
    for (const auto& f : files) WriteText(s / ("in/" + f.first), f.second);
    const std::vector<std::string> names = {"cg\\\x95\x5C\\\x83\x5C.png", "empty.txt", "install.ini", "se\\noise.wav"};
    for (const auto& [version, packing] : {std::pair{0u, Packing::Store}, {1u, Packing::Store}, {1u, Packing::Compress},
                                           {1u, Packing::Auto}, {2u, Packing::Store}, {2u, Packing::Compress}, {2u, Packing::Auto}}) {
        SCOPED_TRACE("version " + std::to_string(version) + " packing " + std::to_string(int(packing)));
        const std::vector<uint8_t> bytes = BuildArchive(CollectFiles(s / "in", {}), {version, packing});
        EXPECT_EQ(bytes, BuildArchive(CollectFiles(s / "in", {}), {version, packing}));  // the same folder, the same bytes
        MemorySource src(bytes);
        const Directory dir = ReadDirectory(src);
        EXPECT_EQ(dir.version, version);
        EXPECT_TRUE(VerifyArchive(src).empty());
        ASSERT_EQ(dir.entries.size(), names.size());
        for (size_t i = 0; i < names.size(); ++i) {
            const Entry& e = dir.entries[i];
            EXPECT_EQ(e.name, names[i]);
            EXPECT_EQ(e.IsCompressed(), version != 0 && e.size != 0 &&  // Auto: only where it saves
                                            (packing == Packing::Compress || (packing == Packing::Auto && e.size == 70000)));
        }
        const fs::path out = s / ("out" + std::to_string(version) + std::to_string(int(packing)));
        ExtractAll(src, dir, out);
        for (const auto& f : files) EXPECT_EQ(ReadText(out / fs::u8path(f.first)), f.second) << f.first;
    }
}

// The installer takes the first entry whose name starts with the requested
// name, case ignored: "a.png" must come before "A.png.old".
TEST(Pak, ExactNamesComeFirstAndCaseTwinsAreRefused) {
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
        {"..\\escaped.txt", false}, {"sub\\..\\..\\escaped.txt", false}, {"\\escaped.txt", false}, {"C:\\escaped.txt", false},
        {"C:escaped.txt", false}, {"/tmp/escaped.txt", false}, {"a/../escaped.txt", false}, {"a\\\\b", false}, {"", false},
        {"\x95\x5C\\..\\escaped.txt", false}, {"..\x95\x5C", true}, {"\x83\x5C\\a.txt", true},  // stepped by characters
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
        EXPECT_FALSE(fs::exists(s / "out/a-first.txt") || fs::exists(s / "escaped.txt")) << name;
    }
}

// A version 1 archive of these entries and data area, assembled by the writer.
std::vector<uint8_t> V1(const std::vector<std::string>& names, uint32_t count = 0, size_t spare = 0) {
    std::vector<Entry> entries(names.size());
    for (size_t i = 0; i < names.size(); ++i) entries[i].name = names[i], entries[i].size = 1;
    std::vector<uint8_t> dir = EncodeDirectory(1, entries);
    dir.resize(dir.size() + spare);
    return AssembleArchive(1, count ? count : uint32_t(names.size()), dir, {'x'});
}

std::vector<uint8_t> With(std::vector<uint8_t> b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
    return b;
}

// What verify finds where the reader still reads everything; damage the
// reader refuses is the mutation run's part.
TEST(Pak, VerifyNamesFaultsTheReaderPassesOver) {
    const std::pair<const char*, std::vector<uint8_t>> cases[] = {
        {"inflates to 25 bytes, but the header gives 35", With(V1({"a"}), 8, 35)},
        {"4 bytes after its last entry", V1({"a"}, 1, 4)},
        {"overlaps the header or the directory", With(MakeArchive({{"a.txt", "alpha"}}, 0), 8 + 4 + 5, 10)},
        {"the same name as entry 1", V1({"a", "A"})},
        {"entry 1 'a\\x01z': cannot be unpacked into a folder", V1({"a\x01z"})},  // shown escaped
        {"holds a NUL byte", V1({std::string("b\0c", 3)})},
        {"entry 1 'd\\x81': the name is not valid Shift-JIS", V1({"d\x81"})},
    };
    for (const auto& [fault, bytes] : cases) {
        MemorySource src(bytes);
        const std::vector<std::string> faults = VerifyArchive(src);
        ASSERT_EQ(faults.size(), 1u) << fault << "\n" << ::testing::PrintToString(faults);
        EXPECT_NE(faults[0].find(fault), std::string::npos) << fault << "\n" << faults[0];
    }
}

}  // namespace
