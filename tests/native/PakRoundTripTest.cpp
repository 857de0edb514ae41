// Archives the tool writes read back to the same files, byte for byte.
#include "PakArchive.h"
#include "PakFiles.h"
#include "PakTestUtil.h"

#include <gtest/gtest.h>

#include <map>

using namespace pak;
using paktest::Bytes;
using paktest::ScratchFolder;

namespace {

std::vector<InputFile> SampleFiles() {
    std::vector<uint8_t> noise(5000);
    uint32_t x = 12345;
    for (uint8_t& b : noise) b = static_cast<uint8_t>((x = x * 1103515245 + 12345) >> 16);
    return {
        {"install.ini", Bytes("[install]\r\nName=game\r\n")},
        {"cg\\title.png", std::vector<uint8_t>(70000, 'A')},  // compresses well
        {"se\\noise.wav", noise},                              // does not compress
        {"empty.txt", {}},
    };
}

std::map<std::string, Entry> ByName(const Directory& dir) {
    std::map<std::string, Entry> m;
    for (const Entry& e : dir.entries) m[e.name] = e;
    return m;
}

struct Case {
    uint32_t version;
    Packing packing;
};

class PakRoundTrip : public ::testing::TestWithParam<Case> {};

TEST_P(PakRoundTrip, EveryFileComesBackWithItsPacking) {
    const Case c = GetParam();
    WriteOptions options;
    options.version = c.version;
    options.packing = c.packing;
    std::vector<uint8_t> archive = BuildArchive(SampleFiles(), options);
    MemorySource src(archive);
    Directory dir = ReadDirectory(src);
    EXPECT_EQ(dir.version, c.version);
    EXPECT_TRUE(dir.faults.empty());
    ASSERT_EQ(dir.entries.size(), SampleFiles().size());
    std::map<std::string, Entry> entries = ByName(dir);
    for (const InputFile& f : SampleFiles()) {
        ASSERT_EQ(entries.count(f.name), 1u) << f.name;
        const Entry& e = entries[f.name];
        EXPECT_EQ(ReadEntryBytes(src, e), f.data) << f.name;
        bool shouldCompress = c.version != 0 && !f.data.empty() &&
                              (c.packing == Packing::Compress ||
                               (c.packing == Packing::Auto && f.name == "cg\\title.png"));
        EXPECT_EQ(e.IsCompressed(), shouldCompress) << f.name;
        if (e.IsCompressed() && c.packing == Packing::Auto) {
            EXPECT_LT(e.packedSize, e.size) << f.name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllFormats, PakRoundTrip,
                         ::testing::Values(Case{0, Packing::Store}, Case{1, Packing::Store},
                                           Case{1, Packing::Compress}, Case{1, Packing::Auto},
                                           Case{2, Packing::Store}, Case{2, Packing::Compress},
                                           Case{2, Packing::Auto}));

TEST(PakWriter, RefusesCompressionInVersionZero) {
    WriteOptions options;
    options.version = 0;
    options.packing = Packing::Compress;
    EXPECT_THROW(BuildArchive(SampleFiles(), options), PakError);
}

TEST(PakWriter, SameFolderGivesSameBytes) {
    ScratchFolder scratch;
    paktest::WriteText(scratch / "in/b/z.txt", "zzz");
    paktest::WriteText(scratch / "in/a.txt", std::string(3000, 'x'));
    paktest::WriteText(scratch / "in/B.dat", "B");
    for (uint32_t version = 0; version <= 2; ++version) {
        WriteOptions options;
        options.version = version;
        options.packing = version == 0 ? Packing::Store : Packing::Auto;
        std::vector<uint8_t> first = BuildArchive(CollectFiles(scratch / "in", {}), options);
        std::vector<uint8_t> second = BuildArchive(CollectFiles(scratch / "in", {}), options);
        EXPECT_EQ(first, second) << "version " << version;
    }
}

TEST(PakWriter, WritesEntriesSoExactNamesComeFirst) {
    // The installer takes the first entry whose name starts with the requested
    // name, ignoring case: "a.png" must come before "A.png.old".
    std::vector<InputFile> files = {{"b.txt", Bytes("b")}, {"A.png.old", Bytes("old")},
                                    {"a.png", Bytes("new")}, {"C", Bytes("c")}};
    std::vector<uint8_t> archive = BuildArchive(files, WriteOptions());
    MemorySource src2(archive);
    Directory dir = ReadDirectory(src2);
    std::vector<std::string> names;
    for (const Entry& e : dir.entries) names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::string>{"a.png", "A.png.old", "b.txt", "C"}));
}

TEST(PakWriter, RefusesNamesThatDifferOnlyInCase) {
    std::vector<InputFile> files = {{"cg\\Title.png", Bytes("1")}, {"CG\\title.PNG", Bytes("2")}};
    try {
        BuildArchive(files, WriteOptions());
        FAIL() << "no error";
    } catch (const PakError& e) {
        EXPECT_NE(std::string(e.what()).find("differ only in case"), std::string::npos) << e.what();
    }
    // Full-width letters fold too: Ａ (82 60) and ａ (82 81).
    std::vector<InputFile> wide = {{"\x82\x60.txt", Bytes("1")}, {"\x82\x81.txt", Bytes("2")}};
    EXPECT_THROW(BuildArchive(wide, WriteOptions()), PakError);
}

TEST(PakWriter, LeavesTheArchiveItselfOut) {
    ScratchFolder scratch;
    paktest::WriteText(scratch / "data.txt", "data");
    paktest::WriteText(scratch / "out.pak", "old archive");
    std::vector<InputFile> files = CollectFiles(scratch.Path(), scratch / "out.pak");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].name, "data.txt");
}

}  // namespace
