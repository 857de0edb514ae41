// The pak program itself: commands, messages and exit codes (0 done, 1 error, 2 usage).
#include "PakTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace paktest;

namespace {

int Pak(const std::string& arguments, std::string* out = nullptr, std::string* err = nullptr) {
    return Shell(std::string("'") + PAK_EXE + "' " + arguments, out, err);
}

TEST(PakCli, CreatesListsVerifiesAndExtracts) {
    ScratchFolder s;
    WriteText(s / "in/install.ini", "[install]\n");
    WriteText(s / "in/cg/表.png", std::string(5000, 'p'));
    const std::string archive = Quote(s / "in/game.pak");  // inside the folder it packs: left out
    std::string out, err;
    for (const std::string& command : {"create " + archive + " " + Quote(s / "in"), "create " + archive + " " + Quote(s / "in"),
                                      "verify " + archive, "extract " + archive + " " + Quote(s / "out"), "list " + archive})
        ASSERT_EQ(Pak(command, &out, &err), 0) << command << "\n" << err;
    EXPECT_NE(out.find("cg\\表.png\t5000\tcompressed\t"), std::string::npos) << out;
    EXPECT_NE(out.find("install.ini\t10\tstored\t10\t"), std::string::npos) << out;
    EXPECT_EQ(out.find("game.pak"), std::string::npos) << out;
    EXPECT_EQ(ReadText(s / "out/cg/表.png"), std::string(5000, 'p'));
}

TEST(PakCli, ExitCodesAndMessages) {
    ScratchFolder s;
    for (const char* name : {"naïve.txt", "what?.txt", "a\\b.txt", "c:d"}) WriteText(s / "bad" / name / name, "x");
    const std::string dir = " " + Quote(s.path), pak = " " + Quote(s / "x.pak");
    const struct { std::string arguments; int code; std::string says; } cases[] = {
        {"--help", 0, "usage: pak create"},
        {"", 2, "usage:"},
        {"frobnicate x", 2, "usage:"},
        {"list", 2, "usage:"},
        {"list a b", 2, "usage:"},
        {"extract a.pak", 2, "usage:"},
        {"create --bogus" + pak + dir, 2, ""},
        {"create --format 3" + pak + dir, 2, ""},
        {"create --level 10" + pak + dir, 2, ""},
        {"create --store --compress" + pak + dir, 2, ""},
        {"create --format 0 --compress" + pak + dir, 2, "version 0"},
        {"list " + Quote(s / "missing.pak"), 1, "missing.pak"},
        {"create" + pak + " " + Quote(s / "no-such-folder"), 1, "no-such-folder"},
        {"create" + pak + " " + Quote(s / "bad/naïve.txt"), 1, "naïve.txt"},  // no Shift-JIS for ï
        {"create" + pak + " " + Quote(s / "bad/what?.txt"), 1, "what?.txt"},  // no Windows file name
        {"create" + pak + " " + Quote(s / "bad/a\\b.txt"), 1, "b.txt"},
        {"create" + pak + " " + Quote(s / "bad/c:d"), 1, "c:d"},
    };
    for (const auto& c : cases) {
        std::string out, err;
        EXPECT_EQ(Pak(c.arguments, &out, &err), c.code) << c.arguments;
        EXPECT_NE((c.code ? err : out).find(c.says), std::string::npos) << c.arguments << "\n" << out << err;
        EXPECT_FALSE(fs::exists(s / "x.pak")) << c.arguments;  // a failed create leaves no archive
    }
}

TEST(PakCli, VerifyPrintsOneLinePerFaultAndExtractLeavesNoHalfFile) {
    ScratchFolder s;
    WriteText(s / "in/a.txt", std::string(3000, 'a'));
    WriteText(s / "in/b.txt", std::string(3000, 'b'));
    ASSERT_EQ(Pak("create --format 2 --compress " + Quote(s / "x.pak") + " " + Quote(s / "in")), 0);
    const std::string bytes = ReadText(s / "x.pak");
    WriteText(s / "x.pak", bytes.substr(0, bytes.size() - 5));  // cuts the last entry's stream
    std::string err;
    EXPECT_EQ(Pak("verify " + Quote(s / "x.pak"), nullptr, &err), 1);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("x.pak: entry 2 'b.txt'"), std::string::npos) << err;
    EXPECT_EQ(Pak("extract " + Quote(s / "x.pak") + " " + Quote(s / "out"), nullptr, &err), 1);
    EXPECT_FALSE(fs::exists(s / "out/b.txt"));
}

}  // namespace
