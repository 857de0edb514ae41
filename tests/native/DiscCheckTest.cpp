// disccheck's own reading of install.ini by the installer's rules, and its
// checks on disc trees built here: a sound two-disc game passes, and each
// fault an author can make is caught by its own line.
#include "Checks.h"
#include "DiscLayout.h"
#include "IniText.h"
#include "InstallSettings.h"
#include "NativeTest.h"

#include <gtest/gtest.h>

#include <functional>

using namespace disccheck;
using namespace paktest;

namespace {

TEST(DiscCheckIni, FindsValuesByTheInstallersRules) {
    const struct { std::string text; const char* section; const char* key; const char* value; } rows[] = {
        {"[s]\r\nkey=\tvalue\r\n", "s", "key", "value"},         {"[s]\r\nkey===value\r\n", "s", "key", "value"},
        {"[s]\r\n\tkey\tvalue\r\n", "s", "key", "value"},        {"[s]\r\nkey = value\r\n", "s", "key", nullptr},  // "key "
        {"[s]\r\nkey=a b  \tc\r\n", "s", "key", "a b  "},        // a value ends at a tab
        {"[s]\nkey=line1\\nline2\\tx\n", "s", "key", "line1\nline2"},  // escapes expand before the split
        {"[s]\nkey=\x95\\n\n", "s", "key", "\x95\\n"},           // 95 5C is one character, no escape
        {"[\x82\x60]\r\nK=1\r\n", "\x82\x81", "k", "1"},         // case ignored, full-width A and a too
        {"[\x83\x5D]\r\nk=1\r\n", "\x83\x5D", "k", "1"},         // a trail byte equal to "]"
        {"[install\r\nk=1\r\n", "instal", "k", "1"},             // no "]": the name loses its last character
        {"Name=A\r\n[x]\r\n[y]\r\n", "y", "Name", "A"},          // above every header
        {"[a]\r\nk=\r\nk=x\r\nk=y\r\n", "a", "k", "x"},          // the first non-empty value
        {"[a]\r\nk=1\r\n[b]\r\n[a]\r\nj=2\r\n", "a", "j", "2"},  // a section twice
        {"[a]\r\n'k=x\r\n", "a", "k", nullptr},                  {"[a]\r\n;k=x\r\n", "a", ";k", "x"},  // ' starts a comment, ; not
        {"[a]\rk=1\n\n\r\nj=2", "a", "j", "2"},                   // any mix of line breaks
        {std::string("[a]\r\nk=1\r\n\0j=2", 14), "a", "j", nullptr},  // a NUL ends the text
        {"\xEF\xBB\xBF[install]\r\nName=A\r\n[TYPE1]\r\n", "TYPE1", "Name", "A"},  // the mark hides [install]
    };
    for (const auto& r : rows) {
        std::string value = "(none)";
        EXPECT_EQ(IniText(r.text).Find(r.section, r.key, &value), r.value != nullptr) << r.text;
        EXPECT_EQ(value, r.value ? r.value : "(none)") << r.text;
    }
}

TEST(DiscCheckIni, SizesFileListsTypesAndWildcards) {
    EXPECT_EQ(LenientInt("6 5 0 MB"), 650);
    EXPECT_EQ(LenientInt("\x82\x50\x82\x4F-"), -10);  // full-width 1 0, a minus anywhere
    const std::vector<FileEntry> e = SplitFileList("A;DISC1:B;;C;D:x:y");
    ASSERT_EQ(e.size(), 4u);
    EXPECT_EQ(e[0].label + "|" + e[2].label + "|" + e[2].path + "|" + e[3].path, "|DISC1|C|x:y");
    const InstallSettings s = ReadInstallSettings(IniText("[TYPE2]\r\ntitle=B\r\n[type4]\r\nTITLE=D\r\n"
                                                          "[TYPE5]\r\nfile=X:y\r\n[TYPE10]\r\ntitle=J\r\n"));
    ASSERT_EQ(s.types.size(), 2u);
    EXPECT_EQ(s.types[0].section + s.types[1].title, "TYPE2D");
    EXPECT_EQ(s.untitledTypes, std::vector<std::string>{"TYPE5"});
    EXPECT_TRUE(WildcardMatch("*.*", "README") && WildcardMatch("*.MPG", "op.mpg") && !WildcardMatch("*.mpg", "op.avi"));
    EXPECT_TRUE(WildcardMatch("?.dat", "\x95\x5C.dat") && !WildcardMatch("??.dat", "\x95\x5C.dat"));  // ? takes 95 5C whole
}

const std::string kVoice = "\x89\xB9\x90\xBA";  // 音声: a Shift-JIS folder name, UTF-8 on the disc
const std::string kFiles = "file=DISC1:" + kVoice + ";DISC2:movie\\*.*";
const std::string kType1 = kFiles + "\r\nunPack=game.pak\r\nsize=1";
const std::string kType2 = "unPack=GAME.PAK\r\nsize=1";

// The sound game: disc 1 carries install.ini, its marker, game.pak, the voices
// and the menu pictures; disc 2 its marker, the movies and the pictures in an
// archive. TYPE1's title 表示 ends in a 0x5C trail byte.
struct Discs {
    Discs() {
        Ini();
        WriteText(s / "disc1/SAMPLE_DISC1.INI", "disc 1");
        WriteText(s / "disc2/sample_disc2.ini", "disc 2");
        Pak("disc1/Data/game.pak", {{"Game.exe", "MZ"}, {"Uninst.exe", "MZ"}, {"cg\\title.bin", std::string(3000, 'c')}});
        WriteText(s / "disc1/Data/音声/a.ogg", "voice a");
        WriteText(s / "disc1/Data/音声/sub/b.ogg", "voice b");
        WriteText(s / "disc2/Data/Movie/op.mpg", "opening");
        WriteText(s / "disc2/Data/Movie/extra/ed.mpg", "ending");
        Files pictures;
        for (const char* name : kMenuPictures) WriteText(s / "disc1" / name, "JFIF"), pictures.push_back({name, "JFIF"});
        Pak("disc2/menu.pak", pictures, 1);
    }
    void Ini(const std::string& type1 = kType1, const std::string& type2 = kType2, const std::string& exec = "Game.exe",
             const std::string& more = "") {
        WriteText(s / "disc1/install.ini", "[install]\r\nName=SAMPLE\r\nTitle=\x83\x54\x83\x93\x83\x76\x83\x8B\r\nExec=" + exec +
                                               "\r\nDataPath=Data\r\n\r\n[TYPE1]\r\ntitle=\x95\x5C\x8E\xA6\r\n" + type1 +
                                               "\r\n[TYPE2]\r\ntitle=min\r\n" + type2 + "\r\n" + more);
    }
    void Pak(const std::string& path, const Files& files, uint32_t version = 2) {
        const std::vector<uint8_t> bytes = MakeArchive(files, version);
        WriteText(s / path, std::string(bytes.begin(), bytes.end()));
    }
    void Move(const std::string& from, const std::string& to) { fs::rename(s / from, s / to); }
    ScratchFolder s;
};

TEST(DiscCheckDiscs, EachFaultHasItsLine) {
    const struct { const char* fault; std::function<void(Discs&)> make; size_t problems; const char* says; } rules[] = {
        {"none", [](Discs&) {}, 0, ""},
        {"an entry no disc holds", [](Discs& d) { d.Ini(kFiles + ";bgm\r\n" + kType2); }, 1, "'bgm' is in no disc's data folder"},
        {"no marker", [](Discs& d) { fs::remove(d.s / "disc2/sample_disc2.ini"); },
         1, "'DISC2:movie\\*.*': no disc carries the marker 'SAMPLE_DISC2.INI'"},
        {"the marker loose in the data folder", [](Discs& d) { d.Move("disc2/sample_disc2.ini", "disc2/Data/SAMPLE_DISC2.INI"); },
         1, "the marker 'SAMPLE_DISC2.INI' lies loose in the data folder of disc2"},
        {"a disc a type reaches without the menu pictures", [](Discs& d) { fs::remove(d.s / "disc2/menu.pak"); },
         7, "disc2: the menu picture 'install_back.JPG' is neither in the root nor in an archive there"},
        {"a picture missing from disc 1", [](Discs& d) { fs::remove(d.s / "disc1/start_btn02.JPG"); }, 1, "'start_btn02.JPG'"},
        {"entry and marker on different discs", [](Discs& d) { d.Move("disc2/Data/Movie", "disc1/Data/Movie"); },
         1, "'movie\\*.*' is on disc1, but the marker 'SAMPLE_DISC2.INI' on disc2"},
        {"an entry without a disc label", [](Discs& d) { d.Ini("file=movie\\*.*;" + kType1.substr(5)); }, 1, "'movie\\*.*': has no disc label"},
        {"the archive in no data folder", [](Discs& d) { d.Move("disc1/Data/game.pak", "disc1/game.pak"); },
         6, "unPack archive 'game.pak': is in no disc's data folder"},
        {"the archive only on disc 2", [](Discs& d) { d.Move("disc1/Data/game.pak", "disc2/Data/game.pak"); }, 2, "is only on disc2"},
        {"a damaged archive, once for both types", [](Discs& d) {
             std::string bytes = ReadText(d.s / "disc1/Data/game.pak");
             bytes[bytes.size() - 10] ^= 0xFF;  // inside the last entry's stream
             WriteText(d.s / "disc1/Data/game.pak", bytes);
         }, 1, "game.pak: entry"},
        {"a damaged archive breaks off the marker search", [](Discs& d) {
             fs::remove(d.s / "disc2/sample_disc2.ini");
             d.Pak("disc2/Data/marks.pak", {{"SAMPLE_DISC2.INI", "2"}});
             WriteText(d.s / "disc2/Data/a.pak", std::string("\x07\0\0\0\0\0\0\0", 8));  // sorts first, unreadable
         }, 2, "breaks off at"},
        {"size below what the type installs", [](Discs& d) { WriteText(d.s / "disc2/Data/Movie/big.mpg", std::string(2 << 20, 0)); },
         1, "TYPE1 '表示': size 1 MB is less than the 3 MB"},
        {"a type the dialog cannot show", [](Discs& d) {
             d.Ini(kType1, kType2, "Game.exe", "[TYPE3]\r\ntitle=c\r\n" + kType2 + "\r\n[TYPE5]\r\ntitle=e\r\n" + kType2);
         }, 1, "TYPE5 'e'"},
        {"text that is not Shift-JIS", [](Discs& d) { d.Ini(kType1, kType2, "Game.exe", "[TYPE3]\r\ntitle=x\xFF\r\n" + kType2); },
         1, "[TYPE3] title is not valid Shift-JIS"},
        {"install.ini saved as UTF-8", [](Discs& d) {
             WriteText(d.s / "disc1/install.ini", "[install]\r\nName=SAMPLE\r\nTitle=\xE3\x81\x82\r\nExec=Game.exe\r\n"
                                                  "DataPath=Data\r\n[TYPE1]\r\ntitle=min\r\n" + kType2 + "\r\n");
         }, 2, "looks like UTF-8"},
        {"Exec not installed", [](Discs& d) { d.Ini(kType1, kType2, "bin\\Start.exe"); }, 2, "Exec 'bin\\Start.exe' is not among"},
        {"Exec empty", [](Discs& d) { d.Ini(kType1, kType2, ""); }, 1, "Exec is empty"},
        {"install.ini in the root's archive", [](Discs& d) {
             d.Pak("disc1/setup.pak", {{"INSTALL.INI", ReadText(d.s / "disc1/install.ini")}}, 1);
             fs::remove(d.s / "disc1/install.ini");
         }, 0, ""},
        {"a longer name found first in the root's archives", [](Discs& d) {
             d.Move("disc1/install.ini", "disc1/Data/install.ini");
             d.Pak("disc1/base.pak", {{"install.ini.old", "[install]\r\n"}}, 0);
         }, 3, "only begins with install.ini"},
        {"markers inside archives", [](Discs& d) {
             fs::remove(d.s / "disc1/SAMPLE_DISC1.INI");
             d.Pak("disc1/Data/disc1.pak", {{"sample_disc1.ini", "1"}}, 1);  // the data folder's archives
             fs::remove(d.s / "disc2/sample_disc2.ini");
             d.Pak("disc2/disc2.pak", {{"SAMPLE_DISC2.INI", "2"}}, 0);       // the root's archives
         }, 0, ""},
        {"a wildcard leaves the folders below it", [](Discs& d) { d.Ini(kType1, kType2, "movie\\EXTRA\\ED.MPG"); },
         1, "TYPE2 'min': Exec 'movie\\EXTRA\\ED.MPG' is not among"},
        {"a wildcard no file matches", [](Discs& d) { d.Ini("file=DISC2:movie\\*.avi;" + kType1.substr(5)); },
         1, "'movie\\*.avi' is in no disc's data folder"},
        {"a wildcard on an empty folder", [](Discs& d) { fs::remove_all(d.s / "disc2/Data/Movie/extra"), fs::remove(d.s / "disc2/Data/Movie/op.mpg"); },
         1, "'DISC2:movie\\*.*': copies no files from disc2"},
        {"a folder entry copies its subfolders", [](Discs& d) { d.Ini(kType1, "file=DISC1:" + kVoice + "\r\n" + kType2, kVoice + "\\SUB\\b.ogg"); },
         0, ""},
        {"an entry leaving the install folder", [](Discs& d) { d.Ini("file=DISC1:..\\x;" + kType1.substr(5)); }, 1, "'..' part"},
    };
    for (const auto& rule : rules) {
        Discs discs;
        rule.make(discs);
        const auto lines = CheckDiscs({{discs.s / "disc1", "disc1"}, {discs.s / "disc2", "disc2"}}).problems;
        std::string all;
        for (const std::string& line : lines) all += line + "\n";
        EXPECT_EQ(lines.size(), rule.problems) << rule.fault << ":\n" << all;
        EXPECT_NE(all.find(rule.says), std::string::npos) << rule.fault << ":\n" << all;
    }
}

}  // namespace
