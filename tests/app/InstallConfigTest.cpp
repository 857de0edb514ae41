// Loading the installer record from install.ini in the current folder: the
// [install] keys, the nine type sections with their gaps, letter case, the
// lenient size, the window title, and a missing file.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "install/InstallConfig.h"
#include "base/Messages.h"
#include "base/OCException.h"
#include "support/BoxAnswerer.h"
#include "support/TempDir.h"

namespace {

std::string Text(const OCString& s) { return s.GetBuffer() ? s.GetBuffer() : ""; }

// Runs each test in a scratch folder that holds the test's install.ini.
class InstallConfigLoad : public ::testing::Test {
protected:
    void SetUp() override {
        GetCurrentDirectoryA(MAX_PATH, m_previous);
        ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
    }
    void TearDown() override { SetCurrentDirectoryA(m_previous); }
    void WriteIni(const std::string& text) { dir.Write("install.ini", text); }

    TempDir dir;
    InstallConfig config;

private:
    char m_previous[MAX_PATH];
};

const char kFullIni[] =
    "[install]\r\n"
    "Name=SAMPLEGAME\r\n"
    "Title=サンプル表示\r\n"
    "Brand=SAMPLEMAKER\r\n"
    "Exec=Game.exe\r\n"
    "InstallPath=SampleGame\r\n"
    "DataPath=Data\r\n"
    "Version=1.00\r\n"
    "\r\n"
    "[TYPE1]\r\n"
    "title=フルインストール\r\n"
    "file=DISC1:Movie;Voice;DISC2:Bgm\r\n"
    "unPack=game.pak;cg.pak\r\n"
    "size=650\r\n"
    "\r\n"
    "[TYPE2]\r\n"
    "title=標準\r\n"
    "file=DISC1:Voice\r\n"
    "unPack=game.pak\r\n"
    "size=300\r\n";

}  // namespace

TEST_F(InstallConfigLoad, ReadsEveryKeyOfAFullFile) {
    WriteIni(kFullIni);
    config.Load();
    EXPECT_EQ("SAMPLEGAME", Text(config.name));
    EXPECT_EQ("サンプル表示", Text(config.title));
    EXPECT_EQ("SAMPLEMAKER", Text(config.brand));
    EXPECT_EQ("Game.exe", Text(config.exec));
    EXPECT_EQ("SampleGame", Text(config.installPath));
    EXPECT_EQ("Data", Text(config.dataPath));
    EXPECT_EQ("1.00", Text(config.version));
    EXPECT_EQ("サンプル表示 インストーラー (Ver.1.00)", Text(config.windowTitle));
    EXPECT_EQ(1, config.selectedType);
    ASSERT_EQ(2u, config.types.size());
    EXPECT_EQ("フルインストール", Text(config.types[0].title));
    EXPECT_EQ("DISC1:Movie;Voice;DISC2:Bgm", Text(config.types[0].file));
    EXPECT_EQ("game.pak;cg.pak", Text(config.types[0].unPack));
    EXPECT_EQ(650, config.types[0].size);
    EXPECT_EQ("標準", Text(config.types[1].title));
    EXPECT_EQ(300, config.types[1].size);
    EXPECT_EQ(NULL, config.ownerWindow);
    EXPECT_EQ(0, config.copyResult);
}

TEST_F(InstallConfigLoad, TypeSectionsWithoutTitleAreGapsNotTheEnd) {
    WriteIni(
        "[install]\r\nTitle=T\r\n"
        "[TYPE2]\r\ntitle=two\r\nfile=A;B\r\nunPack=x.pak\r\nsize=2\r\n"
        "[TYPE3]\r\ntitle=\r\nfile=C\r\n"
        "[TYPE4]\r\nfile=D\r\nsize=4\r\n"
        "[TYPE5]\r\ntitle=five\r\n"
        "[TYPE9]\r\ntitle=nine\r\nsize=9\r\n"
        "[TYPE10]\r\ntitle=ten\r\n"
        "[TYPE01]\r\ntitle=zero-one\r\n");
    config.Load();
    ASSERT_EQ(3u, config.types.size());
    EXPECT_EQ("two", Text(config.types[0].title));
    EXPECT_EQ("five", Text(config.types[1].title));
    EXPECT_EQ("nine", Text(config.types[2].title));
    // Keys missing from TYPE5 are empty, not what TYPE2 or TYPE4 had.
    EXPECT_EQ("", Text(config.types[1].file));
    EXPECT_EQ("", Text(config.types[1].unPack));
    EXPECT_EQ(0, config.types[1].size);
    EXPECT_EQ(9, config.types[2].size);
}

TEST_F(InstallConfigLoad, NamesInAnyLetterCase) {
    WriteIni(
        "[INSTALL]\r\nNAME=n\r\ntitle=t\r\nbrand=b\r\nEXEC=e\r\ninstallpath=i\r\nDATAPATH=d\r\n"
        "[type1]\r\nTITLE=one\r\nFILE=f\r\nUNPACK=u\r\nSIZE=10\r\n");
    config.Load();
    EXPECT_EQ("n", Text(config.name));
    EXPECT_EQ("t", Text(config.title));
    EXPECT_EQ("b", Text(config.brand));
    EXPECT_EQ("e", Text(config.exec));
    EXPECT_EQ("i", Text(config.installPath));
    EXPECT_EQ("d", Text(config.dataPath));
    ASSERT_EQ(1u, config.types.size());
    EXPECT_EQ("f", Text(config.types[0].file));
    EXPECT_EQ("u", Text(config.types[0].unPack));
    EXPECT_EQ(10, config.types[0].size);
}

TEST_F(InstallConfigLoad, SizeIsReadLenientlyAndAllTypesAreKept) {
    WriteIni(
        "[TYPE1]\r\ntitle=a\r\nsize=１２３\r\n"
        "[TYPE2]\r\ntitle=b\r\nsize=650MB\r\n"
        "[TYPE3]\r\ntitle=c\r\nsize=none\r\n"
        "[TYPE4]\r\ntitle=d\r\nsize=－5\r\n");
    config.Load();
    ASSERT_EQ(4u, config.types.size());
    EXPECT_EQ(123, config.types[0].size);
    EXPECT_EQ(650, config.types[1].size);
    EXPECT_EQ(0, config.types[2].size);
    EXPECT_EQ(-5, config.types[3].size);
}

TEST_F(InstallConfigLoad, TitleWithoutVersion) {
    WriteIni("[install]\r\nTitle=ソフト\r\nVersion=\r\n");
    config.Load();
    EXPECT_EQ("ソフト インストーラー", Text(config.windowTitle));
}

TEST_F(InstallConfigLoad, MissingKeysKeepPresetValues) {
    WriteIni("[install]\r\nTitle=T\r\n");
    config.name = "Installer";
    config.Load();
    EXPECT_EQ("Installer", Text(config.name));
    EXPECT_EQ("T", Text(config.title));
}

TEST_F(InstallConfigLoad, MissingFileAsksOncePerKeyAndIgnoreLeavesTheRecordEmpty) {
    BoxAnswerer answerer(kCaptionReadError, std::vector<int>(50, IDIGNORE));
    config.Load();
    ASSERT_EQ(43, answerer.Answered());   // 7 keys of [install], 4 for each of 9 types
    for (const std::string& text : answerer.Texts())
        EXPECT_EQ("ファイル install.ini が開けません。", text);
    EXPECT_TRUE(config.types.empty());
    EXPECT_TRUE(config.name.IsEmpty());
    EXPECT_EQ(" インストーラー", Text(config.windowTitle));
}

TEST_F(InstallConfigLoad, MissingFileAbortThrowsAtTheFirstKey) {
    BoxAnswerer answerer(kCaptionReadError, {IDABORT, IDABORT});
    EXPECT_THROW(config.Load(), OCErrorException);
    EXPECT_EQ(1, answerer.Answered());
}
