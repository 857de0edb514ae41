// The pak program itself: commands, messages and exit codes (0 done, 1 error, 2 usage).
#include "PakTestUtil.h"

#include <gtest/gtest.h>

using paktest::RunPak;
using paktest::ScratchFolder;

namespace {

std::string Q(const std::filesystem::path& p) { return "'" + p.string() + "'"; }

TEST(PakCli, CreatesListsVerifiesAndExtracts) {
    ScratchFolder s;
    paktest::WriteText(s / "in/install.ini", "[install]\n");
    paktest::WriteText(s / "in/cg/表.png", std::string(5000, 'p'));
    std::string out, err;
    ASSERT_EQ(RunPak("create " + Q(s / "game.pak") + " " + Q(s / "in"), &out, &err), 0) << err;
    ASSERT_EQ(RunPak("list " + Q(s / "game.pak"), &out, &err), 0) << err;
    EXPECT_NE(out.find("cg\\表.png\t5000\tcompressed\t"), std::string::npos) << out;
    EXPECT_NE(out.find("install.ini\t10\tstored\t10\t"), std::string::npos) << out;
    EXPECT_EQ(RunPak("verify " + Q(s / "game.pak"), &out, &err), 0) << err;
    ASSERT_EQ(RunPak("extract " + Q(s / "game.pak") + " " + Q(s / "out"), &out, &err), 0) << err;
    EXPECT_EQ(paktest::ReadBytes(s / "out/cg/表.png"), paktest::ReadBytes(s / "in/cg/表.png"));
}

TEST(PakCli, WritesTheSameBytesTwice) {
    ScratchFolder s;
    paktest::WriteText(s / "in/b.txt", std::string(900, 'b'));
    paktest::WriteText(s / "in/a/c.txt", "c");
    for (const char* format : {"0", "1", "2"}) {
        std::string options = std::string("--format ") + format + " ";
        ASSERT_EQ(RunPak("create " + options + Q(s / "one.pak") + " " + Q(s / "in")), 0);
        ASSERT_EQ(RunPak("create " + options + Q(s / "two.pak") + " " + Q(s / "in")), 0);
        EXPECT_EQ(paktest::ReadBytes(s / "one.pak"), paktest::ReadBytes(s / "two.pak")) << format;
    }
}

TEST(PakCli, ReportsWrongUsageWithStatusTwo) {
    ScratchFolder s;
    std::string out, err;
    EXPECT_EQ(RunPak("--help", &out), 0);
    EXPECT_NE(out.find("usage: pak create"), std::string::npos);
    EXPECT_EQ(RunPak("", nullptr, &err), 2);
    EXPECT_NE(err.find("usage:"), std::string::npos);
    EXPECT_EQ(RunPak("frobnicate x"), 2);
    EXPECT_EQ(RunPak("list"), 2);
    EXPECT_EQ(RunPak("list a b"), 2);
    EXPECT_EQ(RunPak("extract a.pak"), 2);
    EXPECT_EQ(RunPak("create --format 3 a.pak " + Q(s.Path())), 2);
    EXPECT_EQ(RunPak("create --level 10 a.pak " + Q(s.Path())), 2);
    EXPECT_EQ(RunPak("create --store --compress a.pak " + Q(s.Path())), 2);
    EXPECT_EQ(RunPak("create --bogus a.pak " + Q(s.Path())), 2);
    EXPECT_EQ(RunPak("create --format 0 --compress " + Q(s / "a.pak") + " " + Q(s.Path()), nullptr, &err), 2);
    EXPECT_NE(err.find("version 0"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(s / "a.pak"));
}

TEST(PakCli, ReportsErrorsWithStatusOneNamingTheFile) {
    ScratchFolder s;
    std::string err;
    EXPECT_EQ(RunPak("list " + Q(s / "missing.pak"), nullptr, &err), 1);
    EXPECT_NE(err.find("missing.pak"), std::string::npos) << err;
    EXPECT_EQ(RunPak("create " + Q(s / "a.pak") + " " + Q(s / "no-such-folder"), nullptr, &err), 1);
    EXPECT_NE(err.find("no-such-folder"), std::string::npos) << err;
    paktest::WriteText(s / "in/naïve.txt", "x");
    EXPECT_EQ(RunPak("create " + Q(s / "b.pak") + " " + Q(s / "in"), nullptr, &err), 1);
    EXPECT_NE(err.find("naïve.txt"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(s / "b.pak"));
}

TEST(PakCli, VerifyPrintsOneLinePerFault) {
    ScratchFolder s;
    paktest::WriteText(s / "in/a.txt", std::string(3000, 'a'));
    paktest::WriteText(s / "in/b.txt", std::string(3000, 'b'));
    ASSERT_EQ(RunPak("create --format 2 --compress " + Q(s / "x.pak") + " " + Q(s / "in")), 0);
    std::vector<uint8_t> bytes = paktest::ReadBytes(s / "x.pak");
    bytes.resize(bytes.size() - 5);  // cuts the last entry's stream
    paktest::WriteBytes(s / "x.pak", bytes);
    std::string err;
    EXPECT_EQ(RunPak("verify " + Q(s / "x.pak"), nullptr, &err), 1);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("x.pak: entry 2 'b.txt'"), std::string::npos) << err;
    EXPECT_EQ(RunPak("extract " + Q(s / "x.pak") + " " + Q(s / "out"), nullptr, &err), 1);
    EXPECT_FALSE(std::filesystem::exists(s / "out/b.txt"));  // no half-written file is left
}

}  // namespace
