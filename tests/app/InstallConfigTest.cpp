// The installer record loaded from install.ini in the current folder, one text per case.
#include <gtest/gtest.h>
#include "install/InstallConfig.h"
#include "support/TempDir.h"

namespace {

std::string Text(const OCString& s) { return s.GetBuffer() ? s.GetBuffer() : ""; }

std::string Summary(const InstallConfig& c) {
    std::string s = Text(c.name) + "|" + Text(c.title) + "|" + Text(c.brand) + "|" + Text(c.exec) + "|" +
                    Text(c.installPath) + "|" + Text(c.dataPath) + "|" + Text(c.version) + "|" + Text(c.windowTitle);
    for (const TypeEntry& t : c.types)
        s += "\n" + Text(t.title) + "|" + Text(t.file) + "|" + Text(t.unPack) + "|" + std::to_string(t.size);
    return s;
}

// The record was "Installer" before the load: a missing key keeps it.
const struct { const char *what, *ini, *record; } kCases[] = {
    {"every key", "[install]\r\nName=SAMPLEGAME\r\nTitle=サンプル表示\r\nBrand=SAMPLEMAKER\r\nExec=Game.exe\r\n"
     "InstallPath=SampleGame\r\nDataPath=Data\r\nVersion=1.00\r\n\r\n[TYPE1]\r\ntitle=フルインストール\r\n"
     "file=DISC1:Movie;Voice;DISC2:Bgm\r\nunPack=game.pak;cg.pak\r\nsize=650\r\n\r\n"
     "[TYPE2]\r\ntitle=標準\r\nfile=DISC1:Voice\r\nunPack=game.pak\r\nsize=300\r\n",
     "SAMPLEGAME|サンプル表示|SAMPLEMAKER|Game.exe|SampleGame|Data|1.00|サンプル表示 インストーラー (Ver.1.00)\n"
     "フルインストール|DISC1:Movie;Voice;DISC2:Bgm|game.pak;cg.pak|650\n標準|DISC1:Voice|game.pak|300"},
    // Sections without a title are gaps, not the end; a type's missing keys are
    // empty, not the previous type's; TYPE10 and TYPE01 are never read.
    {"gaps", "[install]\r\nTitle=T\r\nVersion=\r\n[TYPE2]\r\ntitle=two\r\nfile=A;B\r\nunPack=x.pak\r\nsize=2\r\n"
     "[TYPE3]\r\ntitle=\r\nfile=C\r\n[TYPE4]\r\nfile=D\r\nsize=4\r\n[TYPE5]\r\ntitle=five\r\n"
     "[TYPE9]\r\ntitle=nine\r\nsize=9\r\n[TYPE10]\r\ntitle=ten\r\n[TYPE01]\r\ntitle=zero-one\r\n",
     "Installer|T||||||T インストーラー\ntwo|A;B|x.pak|2\nfive|||0\nnine|||9"},
    {"letter case", "[INSTALL]\r\nNAME=n\r\ntitle=t\r\nbrand=b\r\nEXEC=e\r\ninstallpath=i\r\nDATAPATH=d\r\nVERSION=v\r\n"
     "[type1]\r\nTITLE=one\r\nFILE=f\r\nUNPACK=u\r\nSIZE=10\r\n",
     "n|t|b|e|i|d|v|t インストーラー (Ver.v)\none|f|u|10"},
    // Full-width digits count, a minus sign anywhere makes it negative, the rest is skipped.
    {"lenient size", "[TYPE1]\r\ntitle=a\r\nsize=１２３\r\n[TYPE2]\r\ntitle=b\r\nsize=650MB\r\n"
     "[TYPE3]\r\ntitle=c\r\nsize=none\r\n[TYPE4]\r\ntitle=d\r\nsize=－5\r\n",
     "Installer||||||| インストーラー\na|||123\nb|||650\nc|||0\nd|||-5"},
};

}  // namespace

TEST(InstallConfig, LoadsTheRecordFromInstallIni) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        dir.Write("install.ini", c.ini);
        ASSERT_TRUE(SetCurrentDirectoryA(dir.Path().c_str()));
        InstallConfig config;
        config.name = "Installer";
        config.Load();
        SetCurrentDirectoryA(TempFolder().c_str());  // so that the folder can go
        EXPECT_EQ(c.record, Summary(config));
        EXPECT_EQ(1, config.selectedType);
    }
}
