// The pak and disccheck programs as a user runs them: their messages on the
// right stream and their exit codes (0 done, 1 error or problems found, 2 usage).
#include "NativeTest.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace paktest;

namespace {

int Tool(const char* tool, const std::string& arguments, std::string* out = nullptr, std::string* err = nullptr) {
    return Shell(std::string("'") + tool + "' " + arguments, out, err);
}

TEST(Cli, ExitCodesAndMessages) {
    ScratchFolder s;
    for (const char* name : {"naïve.txt", "what?.txt", "a\\b.txt"}) WriteText(s / "bad" / name / name, "x");
    for (const char* disc : {"sound", "broken"}) {
        WriteText(s / disc / "install.ini", "[install]\r\nName=G\r\nExec=Game.exe\r\nDataPath=Data\r\n[TYPE1]\r\n"
                                            "title=\x83\x74\x83\x8B\r\nfile=D1:Game.exe;Uninst.exe\r\nsize=1\r\n");  // フル
        WriteText(s / disc / "G_D1.INI", "");
        WriteText(s / disc / "Data/Game.exe", "MZ");
        for (const char* picture : kMenuPictures) WriteText(s / disc / picture, "JFIF");
    }
    WriteText(s / "sound/Data/Uninst.exe", "MZ");
    const std::string dir = " " + Quote(s.path), pak = " " + Quote(s / "x.pak");
    const char *const P = PAK_EXE, *const D = DISCCHECK_EXE;
    const struct { const char* tool; std::string arguments; int code; std::string says; } cases[] = {
        {P, "--help", 0, "usage: pak create"}, {P, "", 2, "usage:"}, {P, "frobnicate x", 2, "usage:"},
        {P, "list a b", 2, "usage:"}, {P, "extract a.pak", 2, "usage:"}, {P, "create --bogus" + pak + dir, 2, ""},
        {P, "create --format 3" + pak + dir, 2, ""}, {P, "create --level 10" + pak + dir, 2, ""},
        {P, "create --store --compress" + pak + dir, 2, ""}, {P, "create --format 0 --compress" + pak + dir, 2, "version 0"},
        {P, "list " + Quote(s / "missing.pak"), 1, "missing.pak"},
        {P, "create" + pak + " " + Quote(s / "no-such-folder"), 1, "no-such-folder"},
        {P, "create" + pak + " " + Quote(s / "bad/naïve.txt"), 1, "naïve.txt"},  // no Shift-JIS for ï
        {P, "create" + pak + " " + Quote(s / "bad/what?.txt"), 1, "what?.txt"},  // no Windows file name
        {P, "create" + pak + " " + Quote(s / "bad/a\\b.txt"), 1, "b.txt"},
        {D, Quote(s / "sound"), 0, "no problems: 1 install type on 1 disc\n"},
        {D, Quote(s / "broken"), 1, "TYPE1 'フル': file entry 'Uninst.exe': 'Uninst.exe' is in no disc's data folder\n"
                                    "TYPE1 'フル': Uninst.exe is not among the files the type installs\n"},  // in UTF-8
        {D, Quote(s.path), 1, "install.ini: neither in"},
        {D, "", 2, "usage: disccheck DISC_DIR"}, {D, "--frobnicate" + dir, 2, "usage:"}, {D, "--help", 0, "Exit status"},
        {D, Quote(s / "no-such-disc"), 2, "is not a folder"},
    };
    for (const auto& c : cases) {
        std::string out, err;
        EXPECT_EQ(Tool(c.tool, c.arguments, &out, &err), c.code) << c.arguments;
        const std::string& stream = c.code == 2 || (c.code == 1 && c.tool == P) ? err : out;
        EXPECT_NE(stream.find(c.says), std::string::npos) << c.arguments << "\n" << out << err;
        EXPECT_FALSE(fs::exists(s / "x.pak")) << c.arguments;  // a failed create leaves no archive
    }
}

TEST(Cli, PakCreatesListsVerifiesAndExtracts) {
    ScratchFolder s;
    WriteText(s / "in/install.ini", "[install]\n");
    WriteText(s / "in/cg/表.png", std::string(5000, 'p'));
    const std::string archive = Quote(s / "in/game.pak");  // inside the folder it packs: left out
    std::string out, err;
    for (const std::string& command : {"create " + archive + " " + Quote(s / "in"), "create " + archive + " " + Quote(s / "in"),
                                      "verify " + archive, "extract " + archive + " " + Quote(s / "out"), "list " + archive})
        ASSERT_EQ(Tool(PAK_EXE, command, &out, &err), 0) << command << "\n" << err;
    EXPECT_NE(out.find("cg\\表.png\t5000\tcompressed\t"), std::string::npos) << out;
    EXPECT_NE(out.find("install.ini\t10\tstored\t10\t"), std::string::npos) << out;
    EXPECT_EQ(out.find("game.pak"), std::string::npos) << out;
    EXPECT_EQ(ReadText(s / "out/cg/表.png"), std::string(5000, 'p'));
    const std::string bytes = ReadText(s / "in/game.pak");
    WriteText(s / "in/game.pak", bytes.substr(0, bytes.size() - 5));  // the last entry cut short
    EXPECT_EQ(Tool(PAK_EXE, "verify " + archive, nullptr, &err), 1);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("game.pak: entry 2 'install.ini'"), std::string::npos) << err;
    EXPECT_EQ(Tool(PAK_EXE, "extract " + archive + " " + Quote(s / "cut"), nullptr, &err), 1);
    EXPECT_FALSE(fs::exists(s / "cut/install.ini"));  // no half file
}

// The sample game's discs as their script lays them out, with stand-in
// programs: disccheck looks at names and sizes, not at what the programs do.
TEST(Cli, SampleDiscsPass) {
    ScratchFolder s;
    std::string script = std::string("'") + SAMPLE_SCRIPT + "' " + Quote(s / "out") + " '" + PAK_EXE + "'";
    for (const char* exe : {"setup.exe", "Game.exe", "Uninst.exe"}) WriteText(s / exe, "MZ stand-in"), script += " " + Quote(s / exe);
    ASSERT_EQ(Shell(script), 0);
    std::string out;
    EXPECT_EQ(Tool(DISCCHECK_EXE, Quote(s / "out/disc1") + " " + Quote(s / "out/disc2"), &out), 0) << out;
    EXPECT_EQ(out, "no problems: 3 install types on 2 discs\n");
}

}  // namespace
