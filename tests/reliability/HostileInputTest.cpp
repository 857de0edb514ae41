// Hostile inputs, seeded so that a failing run can be replayed: damaged
// install.ini and game.ini files through the settings reader and the
// installer record, and the pak tool's damage corpus through the unpacker.
// Every read ends with the value found or left as it was; every archive
// unpacks or raises the installer's error, and nothing lands outside the
// target folder.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include "PakArchive.h"
#include "PakMutator.h"
#include "archive/Ini.h"
#include "archive/OCFile.h"
#include "base/OCException.h"
#include "install/InstallConfig.h"
#include "install/Unpack.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace {

const char kInstallIni[] =
    "[install]\r\nName=SAMPLE\r\nTitle=見本ゲーム\r\nBrand=表示ソフト\r\n[TYPE1]\r\ntitle=標準\r\nfile=DISC1:Movie;Voice\r\n"
    "size=650\r\n[TYPE2]\r\ntitle=ソ\\n表\r\n[設定]\r\nUninstName=見本 ゲーム\r\n";
const char* const kKeys[][2] = {{"install", "Name"}, {"install", "Title"}, {"TYPE1", "file"}, {"TYPE2", "title"},
                                {"設定", "UninstName"}};

// One damaged copy of the file above: `kind` picks the damage, `random` the details.
std::string Damage(int kind, std::mt19937& random) {
    std::string text = kInstallIni;
    auto below = [&](size_t n) { return n ? random() % n : 0; };
    auto lead = [&] { return (char)(below(2) ? 0x81 + below(0x1F) : 0xE0 + below(0x1D)); };  // a lone first byte
    if (kind == 0) for (char& c : text) c = (char)random();                            // noise
    if (kind == 1) for (int n = 8; n > 0; n--) text[below(text.size())] = (char)random();
    if (kind == 2) for (size_t i = 0; i < text.size(); i++)                             // before line ends,
        if (strchr("\r[]=\\\t", text[i]) && below(2)) text.insert(i++, 1, lead());     // brackets, '=', '\' and tabs
    if (kind == 3) text.resize(below(text.size()));                                     // ends inside a character
    if (kind == 4) text.insert(text.find('\n') + 1, "Title=" + std::string(100000 + below(400000), lead()));
    if (kind == 5) for (int n = 4; n > 0; n--) text.insert(below(text.size()), 1, '\0');
    return text + (below(2) ? std::string(1, lead()) : "");
}

TEST(HostileInput, DamagedSettingsFilesReadAsFoundOrUnchanged) {
    TempDir dir;
    char saved[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, saved);
    SetCurrentDirectoryA(dir.Path().c_str());
    g_quietOpen = 1;  // no open prompt can stop a run
    std::mt19937 random(20240612);
    int found = 0, unchanged = 0;
    for (int i = 0; i < 600; i++) {
        const std::string bytes = Damage(i % 6, random);
        ASSERT_TRUE(WriteBytes(dir / "install.ini", bytes));
        for (const auto& key : kKeys) {
            OCString value("(default)", -1);
            IniReadValue(key[0], key[1], value, "install.ini");
            const std::string got = value.GetBuffer() ? value.GetBuffer() : "";
            ASSERT_TRUE(!got.empty() && got.size() <= std::max<size_t>(bytes.size(), 9)) << "file " << i;
            (got == "(default)" ? unchanged : found)++;
        }
        InstallConfig config;  // the record built from such a file
        if (i % 5 == 0) config.Load();
        ASSERT_LE(config.types.size(), 9u) << "file " << i;
    }
    g_quietOpen = 0;
    SetCurrentDirectoryA(saved);
    printf("[ reliability ] ini: 600 damaged settings files, %d keys found, %d left unchanged\n", found, unchanged);
    EXPECT_GT(found, 0);
    EXPECT_GT(unchanged, 0);
}

TEST(HostileInput, DamagedArchivesUnpackOrRaiseAndStayInTheirFolder) {
    std::vector<pak::InputFile> files = {{"readme.txt", {'r'}},
                                         {"cg\\表示.bmp", std::vector<uint8_t>(3000, 'b')},
                                         {"cg\\ソフト\\title.png", std::vector<uint8_t>(70000, 'p')},
                                         {"empty.dat", {}}};
    std::vector<std::vector<uint8_t>> sound;
    for (pak::Packing packing : {pak::Packing::Store, pak::Packing::Compress, pak::Packing::Auto})
        for (uint32_t version = packing == pak::Packing::Store ? 0 : 1; version <= 2; version++)
            sound.push_back(pak::BuildArchive(files, {version, packing}));
    TempDir dir;
    CreateDirectoryA((dir / "out").c_str(), NULL);
    WriteBytes(dir / "out\\canary.txt", "canary");
    g_quietOpen = 1;  // an entry name no file can have is skipped, not asked about
    int unpacked = 0, raised = 0;
    for (int run = 0; run < 1200; run++) {
        const pak::Mutation mutation = pak::MutateArchive(sound[run % sound.size()], 7000 + run);
        ASSERT_TRUE(WriteBytes(dir / "m.pak", std::string(mutation.bytes.begin(), mutation.bytes.end())));
        try {
            UnpackArchive((dir / "m.pak").c_str(), (dir / "out\\target").c_str());
            unpacked++;
        } catch (const OCErrorException&) {
            raised++;
        }
        RemoveTree(dir / "out\\target");
        ASSERT_EQ(2, CountFiles(dir.Path())) << "run " << run << " (" << pak::DamageName(mutation.damage)
                                             << ") wrote outside the target folder";
        ASSERT_EQ("canary", ReadBytes(dir / "out\\canary.txt"));
    }
    g_quietOpen = 0;
    printf("[ reliability ] pak: 1200 damaged archives: %d unpacked, %d raised OCErrorException\n", unpacked, raised);
    EXPECT_GT(unpacked, 0);
    EXPECT_GT(raised, 0);
}

}  // namespace
