// Entry names: Shift-JIS conversion, the 0x5C trail byte, and where entries may land.
#include "PakArchive.h"
#include "PakFiles.h"
#include "PakNames.h"
#include "PakTestUtil.h"

#include <gtest/gtest.h>

using namespace pak;
using paktest::Bytes;
using paktest::ScratchFolder;
namespace fs = std::filesystem;

namespace {

// 表 is 95 5C and ソ is 83 5C in Shift-JIS: their trail byte is a backslash.
const char kHyouSjis[] = "\x95\x5C";
const char kSoSjis[] = "\x83\x5C";

TEST(PakNames, ConvertsFolderNamesToShiftJis) {
    EXPECT_EQ(EntryNameFromPath(fs::path("表") / "ソフト.txt"), std::string(kHyouSjis) + "\\" + kSoSjis + "\x83\x74\x83\x67.txt");
    EXPECT_EQ(EntryNameFromPath(fs::path("cg") / "title.png"), "cg\\title.png");
}

TEST(PakNames, RoundTripsTrailByteBackslashThroughAnArchive) {
    ScratchFolder scratch;
    paktest::WriteText(scratch / "in/表/ソ.txt", "so");
    paktest::WriteText(scratch / "in/表.txt", "hyou");
    std::vector<uint8_t> archive = BuildArchive(CollectFiles(scratch / "in", {}), WriteOptions());
    MemorySource src(archive);
    Directory dir = ReadDirectory(src);
    ASSERT_EQ(dir.entries.size(), 2u);
    EXPECT_EQ(dir.entries[0].name, std::string(kHyouSjis) + ".txt");
    EXPECT_EQ(dir.entries[1].name, std::string(kHyouSjis) + "\\" + kSoSjis + ".txt");
    ExtractAll(src, dir, scratch / "out");
    EXPECT_EQ(paktest::ReadBytes(scratch / "out/表/ソ.txt"), Bytes("so"));
    EXPECT_EQ(paktest::ReadBytes(scratch / "out/表.txt"), Bytes("hyou"));
    EXPECT_EQ(DisplayName(dir.entries[1].name), "表\\ソ.txt");
}

TEST(PakNames, ReportsNamesShiftJisCannotHold) {
    ScratchFolder scratch;
    paktest::WriteText(scratch / "in/ok.txt", "fine");
    paktest::WriteText(scratch / "in/music/café.ogg", "x");
    try {
        CollectFiles(scratch / "in", {});
        FAIL() << "no error";
    } catch (const PakError& e) {
        std::string message = e.what();
        EXPECT_NE(message.find("café.ogg"), std::string::npos) << message;
        EXPECT_NE(message.find("Shift-JIS"), std::string::npos) << message;
    }
}

TEST(PakNames, RefusesFileNamesWindowsCannotHold) {
    EXPECT_THROW(EntryNameFromPath(fs::path("a\\b.txt")), PakError);  // a backslash inside a Linux name
    EXPECT_THROW(EntryNameFromPath(fs::path("what?.txt")), PakError);
    EXPECT_THROW(EntryNameFromPath(fs::path("c:d")), PakError);
}

TEST(PakNames, TellsUnsafeNamesByCharactersNotBytes) {
    EXPECT_EQ(UnsafeNameReason("cg\\title.png"), "");
    EXPECT_EQ(UnsafeNameReason(std::string("..") + kHyouSjis), "");  // one part, no empty part
    EXPECT_EQ(UnsafeNameReason(std::string(kSoSjis) + "\\a"), "");
    EXPECT_NE(UnsafeNameReason(std::string(kHyouSjis) + "\\..\\x"), "");
    EXPECT_NE(UnsafeNameReason("..\\evil.exe"), "");
    EXPECT_NE(UnsafeNameReason("a\\..\\..\\evil.exe"), "");
    EXPECT_NE(UnsafeNameReason("a/../evil.exe"), "");
    EXPECT_NE(UnsafeNameReason("\\Windows\\evil.exe"), "");
    EXPECT_NE(UnsafeNameReason("/etc/evil"), "");
    EXPECT_NE(UnsafeNameReason("C:evil.exe"), "");
    EXPECT_NE(UnsafeNameReason("a\\\\b"), "");
    EXPECT_NE(UnsafeNameReason(""), "");
}

TEST(PakNames, ExtractRefusesEntriesOutsideTheFolderAndWritesNothing) {
    for (const std::string bad : {"..\\escaped.txt", "sub\\..\\..\\escaped.txt", "\\escaped.txt",
                                  "C:\\escaped.txt", "/tmp/escaped.txt"}) {
        ScratchFolder scratch;
        std::vector<InputFile> files = {{"a-first.txt", Bytes("1")}, {bad, Bytes("2")}};
        WriteOptions options;
        std::vector<uint8_t> archive = BuildArchive(files, options);
        MemorySource src(archive);
        try {
            ExtractAll(src, ReadDirectory(src), scratch / "out");
            FAIL() << bad;
        } catch (const PakError& e) {
            EXPECT_NE(std::string(e.what()).find("outside"), std::string::npos) << e.what();
        }
        EXPECT_FALSE(fs::exists(scratch / "out" / "a-first.txt")) << bad;
        EXPECT_FALSE(fs::exists(scratch / "escaped.txt")) << bad;
    }
}

TEST(PakNames, ShowsUnconvertibleBytesEscaped) {
    EXPECT_EQ(DisplayName("a\x01z"), "a\\x01z");
    EXPECT_EQ(DisplayName("end\x95"), "end\\x95");  // a lead byte with nothing after it
}

}  // namespace
