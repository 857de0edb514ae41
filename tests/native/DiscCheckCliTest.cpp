// The disccheck binary: exit codes, its output, and the sample game's discs.
#include "PakTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sys/wait.h>

using paktest::ScratchFolder;
using paktest::WriteText;

namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& path) {
    std::vector<uint8_t> b = paktest::ReadBytes(path);
    return std::string(b.begin(), b.end());
}

int RunShell(const std::string& command, std::string* out = nullptr, std::string* err = nullptr) {
    ScratchFolder capture;
    const std::string line = command + " >'" + (capture / "out").string() + "' 2>'" +
                             (capture / "err").string() + "' </dev/null";
    const int status = std::system(line.c_str());
    if (out) *out = Slurp(capture / "out");
    if (err) *err = Slurp(capture / "err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunDiscCheck(const std::string& arguments, std::string* out = nullptr, std::string* err = nullptr) {
    return RunShell(std::string("'") + DISCCHECK_EXE + "' " + arguments, out, err);
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// One disc that installs Game.exe and Uninst.exe loose from its data folder.
void OneDisc(const fs::path& disc, const std::string& title) {
    WriteText(disc / "install.ini", "[install]\r\nName=G\r\nExec=Game.exe\r\nDataPath=Data\r\n[TYPE1]\r\ntitle=" +
                                        title + "\r\nfile=D1:Game.exe;Uninst.exe\r\nsize=1\r\n");
    WriteText(disc / "G_D1.INI", "");
    WriteText(disc / "Data" / "Game.exe", "MZ");
    WriteText(disc / "Data" / "Uninst.exe", "MZ");
}

TEST(DiscCheckCli, ExitCodesAndOutput) {
    ScratchFolder s;
    OneDisc(s / "disc1", "\x83\x74\x83\x8B");   // フル
    std::string out, err;
    EXPECT_EQ(RunDiscCheck(Quoted(s / "disc1"), &out, &err), 0) << out << err;
    EXPECT_EQ(out, "no problems: 1 install type on 1 disc\n");

    fs::remove(s / "disc1" / "Data" / "Uninst.exe");
    EXPECT_EQ(RunDiscCheck(Quoted(s / "disc1"), &out, &err), 1);
    // one line per problem, the Shift-JIS title shown as UTF-8
    EXPECT_EQ(out, "TYPE1 '\xE3\x83\x95\xE3\x83\xAB': file entry 'Uninst.exe': 'Uninst.exe' is in no disc's data folder\n"
                   "TYPE1 '\xE3\x83\x95\xE3\x83\xAB': Uninst.exe is not among the files the type installs\n");
}

TEST(DiscCheckCli, UsageErrorsAndHelp) {
    ScratchFolder s;
    std::string out, err;
    EXPECT_EQ(RunDiscCheck("", &out, &err), 2);
    EXPECT_NE(err.find("usage: disccheck DISC_DIR"), std::string::npos);
    EXPECT_EQ(RunDiscCheck("--frobnicate " + Quoted(s.Path()), &out, &err), 2);
    EXPECT_EQ(RunDiscCheck(Quoted(s / "no-such-disc"), &out, &err), 2);
    EXPECT_NE(err.find("is not a folder"), std::string::npos);
    EXPECT_EQ(RunDiscCheck("--help", &out, &err), 0);
    EXPECT_NE(out.find("Exit status"), std::string::npos);
    EXPECT_EQ(RunDiscCheck(Quoted(s.Path()), &out, &err), 1);   // a folder without install.ini
    EXPECT_NE(out.find("install.ini: neither in"), std::string::npos);
}

// The sample game's discs as its script lays them out (stand-in programs:
// disccheck looks at names and sizes, not at what the programs do).
class DiscCheckSample : public ::testing::Test {
protected:
    void SetUp() override {
        if (RunShell("command -v convert") != 0) GTEST_SKIP() << "ImageMagick's convert is needed for the sample's pictures";
        for (const char* exe : {"setup.exe", "Game.exe", "Uninst.exe"}) WriteText(m_work / exe, "MZ stand-in");
        const std::string command = std::string("'") + SAMPLE_SCRIPT + "' " + Quoted(m_work / "out") + " '" +
                                    PAK_EXE + "' " + Quoted(m_work / "setup.exe") + " " +
                                    Quoted(m_work / "Game.exe") + " " + Quoted(m_work / "Uninst.exe");
        ASSERT_EQ(RunShell(command), 0);
    }
    fs::path Disc(int n) const { return m_work / "out" / ("disc" + std::to_string(n)); }
    std::string Discs() const { return Quoted(Disc(1)) + " " + Quoted(Disc(2)); }
    ScratchFolder m_work;
};

TEST_F(DiscCheckSample, SoundDiscsPass) {
    std::string out;
    EXPECT_EQ(RunDiscCheck(Discs(), &out), 0) << out;
    EXPECT_EQ(out, "no problems: 3 install types on 2 discs\n");
}

TEST_F(DiscCheckSample, BrokenCopyIsCaught) {
    fs::remove(Disc(2) / "Data" / "disc2.pak");                       // disc 2's marker
    fs::remove_all(Disc(1) / "Data" / "Voice" / "ch02");             // smaller, still there
    std::string ini = Slurp(Disc(1) / "install.ini");
    ini.replace(ini.find("size=40"), 7, "size=4");                  // TYPE1
    WriteText(Disc(1) / "install.ini", ini);
    std::string out;
    EXPECT_EQ(RunDiscCheck(Discs(), &out), 1);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 4) << out;   // TYPE2 misses disc 2's Bgm too
    EXPECT_NE(out.find("file entry 'DISC2:Bgm': no disc carries the marker 'HOSHIZORA_DISC2.INI'"), std::string::npos) << out;
    EXPECT_NE(out.find("file entry 'Movie\\*.*': no disc carries the marker"), std::string::npos) << out;
    EXPECT_NE(out.find("size 4 MB is less than the 7 MB"), std::string::npos) << out;
}

}  // namespace
