// The disccheck binary: exit codes, its output, and the sample game's discs.
#include "PakTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace paktest;

namespace {

int DiscCheck(const std::string& arguments, std::string* out = nullptr, std::string* err = nullptr) {
    return Shell(std::string("'") + DISCCHECK_EXE + "' " + arguments, out, err);
}

TEST(DiscCheckCli, ExitCodesAndOutput) {
    ScratchFolder s;
    WriteText(s / "disc1/install.ini", "[install]\r\nName=G\r\nExec=Game.exe\r\nDataPath=Data\r\n[TYPE1]\r\n"
                                      "title=\x83\x74\x83\x8B\r\nfile=D1:Game.exe;Uninst.exe\r\nsize=1\r\n");  // フル
    WriteText(s / "disc1/G_D1.INI", "");
    WriteText(s / "disc1/Data/Game.exe", "MZ");
    WriteText(s / "disc1/Data/Uninst.exe", "MZ");
    std::string out, err;
    EXPECT_EQ(DiscCheck(Quote(s / "disc1"), &out, &err), 0) << out << err;
    EXPECT_EQ(out, "no problems: 1 install type on 1 disc\n");
    fs::remove(s / "disc1/Data/Uninst.exe");
    EXPECT_EQ(DiscCheck(Quote(s / "disc1"), &out, &err), 1);
    EXPECT_EQ(out, "TYPE1 'フル': file entry 'Uninst.exe': 'Uninst.exe' is in no disc's data folder\n"
                   "TYPE1 'フル': Uninst.exe is not among the files the type installs\n");  // one line each, in UTF-8
    const struct { std::string arguments; int code; std::string says; } usage[] = {
        {"", 2, "usage: disccheck DISC_DIR"},
        {"--frobnicate " + Quote(s.path), 2, "usage:"},
        {Quote(s / "no-such-disc"), 2, "is not a folder"},
        {"--help", 0, "Exit status"},
        {Quote(s.path), 1, "install.ini: neither in"},
    };
    for (const auto& c : usage) {
        EXPECT_EQ(DiscCheck(c.arguments, &out, &err), c.code) << c.arguments;
        EXPECT_NE((out + err).find(c.says), std::string::npos) << c.arguments << "\n" << out << err;
    }
}

// The sample game's discs as its script lays them out (stand-in programs:
// disccheck looks at names and sizes, not at what the programs do).
TEST(DiscCheckCli, SampleDiscsPassAndABrokenCopyIsCaught) {
    ScratchFolder s;
    std::string script = std::string("'") + SAMPLE_SCRIPT + "' " + Quote(s / "out") + " '" + PAK_EXE + "'";
    for (const char* exe : {"setup.exe", "Game.exe", "Uninst.exe"}) WriteText(s / exe, "MZ stand-in"), script += " " + Quote(s / exe);
    ASSERT_EQ(Shell(script), 0);
    const std::string discs = Quote(s / "out/disc1") + " " + Quote(s / "out/disc2");
    std::string out;
    EXPECT_EQ(DiscCheck(discs, &out), 0) << out;
    EXPECT_EQ(out, "no problems: 3 install types on 2 discs\n");
    fs::remove(s / "out/disc2/Data/disc2.pak");       // disc 2's marker
    fs::remove_all(s / "out/disc1/Data/Voice/ch02");  // smaller, still there
    std::string ini = ReadText(s / "out/disc1/install.ini");
    WriteText(s / "out/disc1/install.ini", ini.replace(ini.find("size=40"), 7, "size=4"));  // TYPE1
    EXPECT_EQ(DiscCheck(discs, &out), 1);
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 4) << out;  // TYPE2 misses disc 2's Bgm too
    EXPECT_NE(out.find("file entry 'DISC2:Bgm': no disc carries the marker 'HOSHIZORA_DISC2.INI'"), std::string::npos) << out;
    EXPECT_NE(out.find("file entry 'Movie\\*.*': no disc carries the marker"), std::string::npos) << out;
    EXPECT_NE(out.find("size 4 MB is less than the 7 MB"), std::string::npos) << out;
}

}  // namespace
