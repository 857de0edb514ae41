// disccheck against disc trees built in the test: a sound two-disc game
// passes, and each fault an author can make is caught by its own line.
#include "Checks.h"
#include "PakArchive.h"
#include "PakTestUtil.h"

#include <gtest/gtest.h>

using namespace disccheck;
using paktest::Bytes;
using paktest::ScratchFolder;
using paktest::WriteBytes;
using paktest::WriteText;

namespace {

namespace fs = std::filesystem;

const char kTitleFull[] = "\x95\x5C\x8E\xA6";       // a title whose first character ends in 0x5C
const char kVoiceFolder[] = "\x89\xB9\x90\xBA";     // a Shift-JIS folder name, UTF-8 on the disc

std::string Settings(const std::string& type1, const std::string& type2 = "", const std::string& exec = "Game.exe") {
    return "[install]\r\nName=SAMPLE\r\nTitle=\x83\x54\x83\x93\x83\x76\x83\x8B\r\nBrand=MAKER\r\n"
           "Exec=" + exec + "\r\nInstallPath=Sample\r\nDataPath=Data\r\nVersion=1.00\r\n\r\n"
           "[TYPE1]\r\ntitle=" + std::string(kTitleFull) + "\r\n" + type1 +
           "\r\n[TYPE2]\r\ntitle=min\r\n" + type2 + "\r\n";
}

const char kType1[] = "file=DISC1:\x89\xB9\x90\xBA;DISC2:movie\\*.*\r\nunPack=game.pak\r\nsize=1";
const char kType2[] = "unPack=GAME.PAK\r\nsize=1";

class DiscCheckDiscs : public ::testing::Test {
protected:
    void SetUp() override {
        WriteText(Disc1() / "install.ini", Settings(kType1, kType2));
        WriteText(Disc1() / "SAMPLE_DISC1.INI", "disc 1");
        WriteText(Disc2() / "sample_disc2.ini", "disc 2");
        Archive(Disc1() / "Data" / "game.pak", {{"Game.exe", "MZ game"}, {"Uninst.exe", "MZ uninst"},
                                                {"cg\\title.bin", std::string(3000, 'c')}});
        WriteText(Disc1() / "Data" / fs::u8path("\xE9\x9F\xB3\xE5\xA3\xB0") / "a.ogg", "voice a");
        WriteText(Disc1() / "Data" / fs::u8path("\xE9\x9F\xB3\xE5\xA3\xB0") / "sub" / "b.ogg", "voice b");
        WriteText(Disc2() / "Data" / "Movie" / "op.mpg", "opening");
        WriteText(Disc2() / "Data" / "Movie" / "extra" / "ed.mpg", "ending");
    }

    fs::path Disc1() const { return m_scratch / "disc1"; }
    fs::path Disc2() const { return m_scratch / "disc2"; }

    static void Archive(const fs::path& path, const std::vector<std::pair<std::string, std::string>>& files,
                        uint32_t version = 2) {
        std::vector<pak::InputFile> input;
        for (const auto& f : files) input.push_back({f.first, Bytes(f.second)});
        pak::WriteOptions options;
        options.version = version;
        options.packing = version == 0 ? pak::Packing::Store : pak::Packing::Compress;
        WriteBytes(path, pak::BuildArchive(input, options));
    }

    void SetType1(const std::string& type1) { WriteText(Disc1() / "install.ini", Settings(type1, kType2)); }

    std::vector<std::string> Problems() const {
        return CheckDiscs({{Disc1(), "disc1"}, {Disc2(), "disc2"}}).problems;
    }

    // Exactly one problem, and it says all of `words`.
    void ExpectOneProblem(const std::vector<std::string>& words) const {
        const std::vector<std::string> problems = Problems();
        ASSERT_EQ(problems.size(), 1u) << ::testing::PrintToString(problems);
        for (const std::string& word : words) EXPECT_NE(problems[0].find(word), std::string::npos) << problems[0];
    }

    ScratchFolder m_scratch;
};

TEST_F(DiscCheckDiscs, SoundTwoDiscGamePasses) {
    const Report report = CheckDiscs({{Disc1(), "disc1"}, {Disc2(), "disc2"}});
    EXPECT_TRUE(report.problems.empty()) << ::testing::PrintToString(report.problems);
    EXPECT_EQ(report.types, 2u);
}

TEST_F(DiscCheckDiscs, FileEntryNoDiscHolds) {
    SetType1(std::string(kType1) + "\r\nfile=x");   // the first value wins: changes nothing
    EXPECT_TRUE(Problems().empty());
    SetType1("file=DISC1:\x89\xB9\x90\xBA;DISC2:movie\\*.*;bgm\r\nunPack=game.pak\r\nsize=1");
    ExpectOneProblem({"TYPE1", "'bgm'", "no disc's data folder"});
}

TEST_F(DiscCheckDiscs, FileEntryWithoutItsDiscsMarker) {
    fs::remove(Disc2() / "sample_disc2.ini");
    ExpectOneProblem({"'DISC2:movie\\*.*'", "no disc carries the marker 'SAMPLE_DISC2.INI'"});
    // the marker loose in the data folder is not where the installer looks
    WriteText(Disc2() / "Data" / "SAMPLE_DISC2.INI", "disc 2");
    ExpectOneProblem({"no disc carries the marker"});
}

TEST_F(DiscCheckDiscs, FileEntryOnOneDiscMarkerOnTheOther) {
    fs::rename(Disc2() / "Data" / "Movie", Disc1() / "Data" / "Movie");
    ExpectOneProblem({"'movie\\*.*' is on disc1, but the marker 'SAMPLE_DISC2.INI' on disc2"});
}

TEST_F(DiscCheckDiscs, EntryWithoutDiscLabel) {
    SetType1("file=movie\\*.*;DISC1:\x89\xB9\x90\xBA;DISC2:movie\\*.*\r\nunPack=game.pak\r\nsize=1");
    ExpectOneProblem({"'movie\\*.*'", "no disc label"});
}

TEST_F(DiscCheckDiscs, MissingArchive) {
    fs::rename(Disc1() / "Data" / "game.pak", Disc1() / "game.pak");  // in the root, not the data folder
    const std::vector<std::string> problems = Problems();
    ASSERT_FALSE(problems.empty());
    EXPECT_NE(problems[0].find("unPack archive 'game.pak': is in no disc's data folder"), std::string::npos);
}

TEST_F(DiscCheckDiscs, ArchiveOnlyOnTheSecondDisc) {
    fs::rename(Disc1() / "Data" / "game.pak", Disc2() / "Data" / "game.pak");
    const std::vector<std::string> problems = Problems();
    ASSERT_EQ(problems.size(), 2u) << ::testing::PrintToString(problems);  // once per type
    EXPECT_NE(problems[0].find("is only on disc2"), std::string::npos) << problems[0];
}

TEST_F(DiscCheckDiscs, DamagedArchiveReportedOnce) {
    std::vector<uint8_t> bytes = paktest::ReadBytes(Disc1() / "Data" / "game.pak");
    bytes[bytes.size() - 10] ^= 0xFF;   // inside the last entry's zlib stream
    WriteBytes(Disc1() / "Data" / "game.pak", bytes);
    const std::vector<std::string> problems = Problems();
    ASSERT_EQ(problems.size(), 1u) << ::testing::PrintToString(problems);   // both types use it
    EXPECT_NE(problems[0].find("game.pak: "), std::string::npos) << problems[0];
}

TEST_F(DiscCheckDiscs, DamagedArchiveInASearchFolderHidesTheMarker) {
    fs::rename(Disc2() / "sample_disc2.ini", m_scratch / "marker");
    Archive(Disc2() / "Data" / "marks.pak", {{"SAMPLE_DISC2.INI", "disc 2"}});
    EXPECT_TRUE(Problems().empty());
    WriteText(Disc2() / "Data" / "a.pak", std::string("\x07\0\0\0\0\0\0\0", 8));   // sorts first, unreadable
    const std::vector<std::string> problems = Problems();
    ASSERT_EQ(problems.size(), 2u) << ::testing::PrintToString(problems);
    EXPECT_NE(problems[0].find("breaks off at"), std::string::npos) << problems[0];
}

TEST_F(DiscCheckDiscs, SizeBelowWhatTheTypeInstalls) {
    WriteBytes(Disc2() / "Data" / "Movie" / "big.mpg", std::vector<uint8_t>(2u << 20, 1));
    ExpectOneProblem({"TYPE1", "size 1 MB is less than the 3 MB"});
    SetType1("file=DISC1:\x89\xB9\x90\xBA;DISC2:movie\\*.*\r\nunPack=game.pak\r\nsize=\x82\x52");   // full-width 3
    EXPECT_TRUE(Problems().empty());
}

TEST_F(DiscCheckDiscs, FourTypesOneCannotBeChosen) {
    std::string text = Settings(kType1, kType2) + "[TYPE3]\r\ntitle=c\r\nunPack=game.pak\r\nsize=1\r\n"
                       "[TYPE5]\r\ntitle=e\r\nunPack=game.pak\r\nsize=1\r\n";
    WriteText(Disc1() / "install.ini", text);
    ExpectOneProblem({"TYPE5 'e'", "first three"});
}

TEST_F(DiscCheckDiscs, TextThatIsNotShiftJis) {
    WriteText(Disc1() / "install.ini", Settings(kType1, kType2) + "[TYPE3]\r\ntitle=x\xFF\r\nunPack=game.pak\r\nsize=1\r\n");
    ExpectOneProblem({"[TYPE3] title is not valid Shift-JIS"});
    // the same text saved as UTF-8
    WriteText(Disc1() / "install.ini",
              "[install]\r\nName=SAMPLE\r\nTitle=\xE3\x81\x82\r\nExec=Game.exe\r\nDataPath=Data\r\n"
              "[TYPE1]\r\ntitle=min\r\nunPack=game.pak\r\nsize=1\r\n");
    const std::vector<std::string> problems = Problems();
    ASSERT_EQ(problems.size(), 2u) << ::testing::PrintToString(problems);
    EXPECT_NE(problems[1].find("looks like UTF-8"), std::string::npos);
}

TEST_F(DiscCheckDiscs, ExecNotInstalled) {
    WriteText(Disc1() / "install.ini", Settings(kType1, kType2, "bin\\Start.exe"));
    const std::vector<std::string> problems = Problems();
    ASSERT_EQ(problems.size(), 2u) << ::testing::PrintToString(problems);
    EXPECT_NE(problems[0].find("Exec 'bin\\Start.exe' is not among"), std::string::npos);
    WriteText(Disc1() / "install.ini", Settings(kType1, kType2, ""));
    ExpectOneProblem({"Exec is empty"});
}

TEST_F(DiscCheckDiscs, UninstallerNotInstalled) {
    Archive(Disc1() / "Data" / "game.pak", {{"Game.exe", "MZ game"}, {"Uninst.exe.txt", "not it"}}, 0);
    const std::vector<std::string> problems = Problems();
    ASSERT_EQ(problems.size(), 2u) << ::testing::PrintToString(problems);
    EXPECT_NE(problems[0].find("TYPE1"), std::string::npos);
    EXPECT_NE(problems[1].find("TYPE2 'min': Uninst.exe is not among"), std::string::npos);
}

TEST_F(DiscCheckDiscs, InstallIniInsideAnArchiveOfTheFirstDisc) {
    const std::string text = Settings(kType1, kType2);
    fs::remove(Disc1() / "install.ini");
    Archive(Disc1() / "Data" / "setup.pak", {{"install.ini", text}});   // the data folder is no search folder yet
    ExpectOneProblem({"install.ini: neither in disc1"});
    Archive(Disc1() / "setup.pak", {{"INSTALL.INI", text}}, 1);
    EXPECT_TRUE(Problems().empty()) << ::testing::PrintToString(Problems());
    Archive(Disc1() / "base.pak", {{"install.ini.old", "[install]\r\n"}}, 0);   // sorts first, begins alike
    const std::vector<std::string> problems = Problems();
    ASSERT_FALSE(problems.empty());
    EXPECT_NE(problems[0].find("only begins with install.ini"), std::string::npos) << problems[0];
}

TEST_F(DiscCheckDiscs, MarkerInsideAnArchive) {
    fs::remove(Disc1() / "SAMPLE_DISC1.INI");
    Archive(Disc1() / "Data" / "disc1.pak", {{"sample_disc1.ini", "1"}}, 1);   // the data folder's archives
    fs::remove(Disc2() / "sample_disc2.ini");
    Archive(Disc2() / "disc2.pak", {{"SAMPLE_DISC2.INI", "2"}}, 0);            // the root's archives
    EXPECT_TRUE(Problems().empty()) << ::testing::PrintToString(Problems());
}

TEST_F(DiscCheckDiscs, WildcardEntryCopiesFoldersBelowIt) {
    WriteText(Disc1() / "install.ini", Settings(kType1, kType2, "movie\\EXTRA\\ED.MPG"));
    ExpectOneProblem({"TYPE2", "Exec"});   // only TYPE1 copies the movies, subfolder included
    SetType1("file=DISC1:\x89\xB9\x90\xBA;DISC2:movie\\*.avi\r\nunPack=game.pak\r\nsize=1");
    const std::vector<std::string> problems = Problems();
    ASSERT_FALSE(problems.empty());
    EXPECT_NE(problems[0].find("'movie\\*.avi' is in no disc's data folder"), std::string::npos);
}

TEST_F(DiscCheckDiscs, WildcardOnAnEmptyFolderCopiesNothing) {
    fs::remove_all(Disc2() / "Data" / "Movie");
    fs::create_directories(Disc2() / "Data" / "movie");
    ExpectOneProblem({"'DISC2:movie\\*.*': copies no files from disc2"});
}

TEST_F(DiscCheckDiscs, FolderEntryIsCopiedWithItsSubfolders) {
    WriteText(Disc1() / "install.ini", Settings(kType1, "file=DISC1:\x89\xB9\x90\xBA\r\nunPack=game.pak\r\nsize=1",
                                                std::string(kVoiceFolder) + "\\SUB\\b.ogg"));
    EXPECT_TRUE(Problems().empty()) << ::testing::PrintToString(Problems());
    WriteText(Disc1() / "install.ini", Settings(kType1, "unPack=game.pak\r\nsize=1",
                                                std::string(kVoiceFolder) + "\\sub\\b.ogg"));
    ExpectOneProblem({"TYPE2", "Exec"});
}

TEST_F(DiscCheckDiscs, EntryLeavingTheInstallFolder) {
    SetType1("file=DISC1:..\\x;DISC1:\x89\xB9\x90\xBA;DISC2:movie\\*.*\r\nunPack=game.pak\r\nsize=1");
    ExpectOneProblem({"'..' part"});
}

}  // namespace
