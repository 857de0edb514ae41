// Damaged install.ini and game.ini files, seeded so that a failing run can be
// replayed: random bytes, lone Shift-JIS lead bytes at the ends of lines and
// of the file, huge lines, no line breaks, NUL bytes, a 10 MB file. Every
// read must end with the value found or left as it was, never with a crash,
// an exception or a hang.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include "Scratch.h"
#include "install/InstallConfig.h"
#include "archive/Ini.h"
#include "support/TempDir.h"

namespace {

const char kInstallIni[] =
    "[install]\r\nName=SAMPLE\r\nTitle=見本ゲーム\r\nBrand=表示ソフト\r\nExec=Game.exe\r\n"
    "InstallPath=見本\r\nDataPath=Data\r\nVersion=1.00\r\n\r\n"
    "[TYPE1]\r\ntitle=標準\r\nfile=DISC1:Movie;Voice;DISC2:Bgm\r\nunPack=game.pak;cg.pak\r\nsize=650\r\n"
    "[TYPE2]\r\ntitle=最小\tx\r\nfile=DISC1:Voice\r\nunPack=game.pak\r\nsize=３００\r\n"
    "'[TYPE3]\r\n[TYPE3]\r\ntitle=ソ\\n表\r\n";
const char kGameIni[] = "[設定]\r\nName=SAMPLE\r\nBrand=表示ソフト\r\nUninstName=見本 ゲーム\r\n";

struct Key { const char* section; const char* key; };
const Key kKeys[] = {{"install", "Name"}, {"install", "Title"}, {"install", "Brand"},
                     {"TYPE1", "file"},   {"TYPE2", "size"},    {"設定", "UninstName"},
                     {"設定", "Brand"},   {"TYPE3", "title"}};

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

class IniMutator {
public:
    explicit IniMutator(uint32_t seed) : m_random(seed) {}
    uint32_t Below(uint32_t n) { return n ? m_random() % n : 0; }
    char LeadByte() { return (char)(Below(2) ? 0x81 + Below(0x1F) : 0xE0 + Below(0x1D)); }
    std::string Make(int kind);
    static const int kKinds = 9;

private:
    std::string Seed() { return Below(4) ? kInstallIni : kGameIni; }
    std::string RandomBytes(size_t n) {
        std::string bytes(n, '\0');
        for (char& c : bytes) c = (char)m_random();
        return bytes;
    }
    std::mt19937 m_random;
};

// One damaged file of the given kind.
std::string IniMutator::Make(int kind) {
    std::string text = Seed();
    switch (kind) {
    case 0: return RandomBytes(Below(4096));
    case 1:                                          // flipped and replaced bytes
        for (uint32_t n = 1 + Below(8); n > 0; n--) text[Below(text.size())] = (char)m_random();
        return text;
    case 2:                                          // a lone lead byte before every line break
        for (size_t at = text.find('\r'); at != std::string::npos; at = text.find('\r', at + 2))
            text.insert(at, 1, LeadByte());
        return text + LeadByte();
    case 3:                                          // the file ends inside a character
        text.resize(Below(text.size()));
        return text + LeadByte();
    case 4: {                                        // one huge line
        const std::string line = "Title=" + std::string(100000 + Below(400000), Below(2) ? 'x' : LeadByte());
        text.insert(text.find('\n') + 1, line + (Below(2) ? "\r\n" : ""));
        return text;
    }
    case 5: {                                        // no line breaks at all
        std::string flat;
        for (char c : text) if (c != '\r' && c != '\n') flat += c;
        return flat;
    }
    case 6:                                          // NUL bytes anywhere
        for (uint32_t n = 1 + Below(4); n > 0; n--) text.insert(Below(text.size()), 1, '\0');
        return text;
    case 7:                                          // lead bytes before brackets, '=', '\' and tabs
        for (size_t i = 0; i < text.size(); i++)
            if (strchr("[]=\\\t", text[i]) && Below(2)) text.insert(i++, 1, LeadByte());
        return text;
    default:                                         // a random slice of noise inside a good file
        text.insert(Below(text.size()), RandomBytes(1 + Below(64)));
        return text;
    }
}

struct Tally {
    int files = 0, reads = 0, found = 0, unchanged = 0, loads = 0, types = 0;
    DWORD slowestMs = 0;
};

// A value is never empty and never longer than the file. (A lone lead byte
// pairs with the line break behind it, as the system's character stepping
// does, so a damaged line may keep its carriage return.)
void ReadKeys(const std::string& path, const std::string& bytes, Tally& tally) {
    for (const Key& k : kKeys) {
        OCString value("(default)", -1);
        IniReadValue(k.section, k.key, value, path.c_str());
        tally.reads++;
        const std::string got = value.GetBuffer() ? value.GetBuffer() : "";
        if (got == "(default)") {
            tally.unchanged++;
            continue;
        }
        tally.found++;
        ASSERT_FALSE(got.empty());
        ASSERT_LE(got.size(), bytes.size());
    }
}

void LoadConfig(Tally& tally) {
    InstallConfig config;
    config.Load();
    tally.loads++;
    tally.types += (int)config.types.size();
    ASSERT_LE(config.types.size(), 9u);
    ASSERT_FALSE(config.windowTitle.IsEmpty());
}

class CurrentFolder {
public:
    explicit CurrentFolder(const std::string& folder) {
        GetCurrentDirectoryA(MAX_PATH, m_saved);
        SetCurrentDirectoryA(folder.c_str());
    }
    ~CurrentFolder() { SetCurrentDirectoryA(m_saved); }

private:
    char m_saved[MAX_PATH];
};

}  // namespace

TEST(IniHostile, DamagedSettingsFilesReadAsFoundOrUnchanged) {
    const int kFiles = 1800;
    TempDir dir;
    CurrentFolder here(dir.Path());
    QuietScope quiet;
    IniMutator mutator(20240612);
    Tally tally;
    const std::string path = dir / "install.ini";
    const DWORD started = GetTickCount();
    for (int i = 0; i < kFiles; i++) {
        const std::string bytes = mutator.Make(i % IniMutator::kKinds);
        ASSERT_TRUE(WriteBytes(path, bytes));
        const DWORD before = GetTickCount();
        ReadKeys(path, bytes, tally);
        if (i % 6 == 0) LoadConfig(tally);
        ASSERT_FALSE(HasFatalFailure()) << "file " << i << " (kind " << i % IniMutator::kKinds << ")";
        tally.slowestMs = std::max(tally.slowestMs, GetTickCount() - before);
        tally.files++;
    }
    char line[256];
    wsprintfA(line, "%d damaged settings files, %d key reads (%d found, %d left unchanged), "
              "%d full loads (%d types), slowest file %lu ms, %lu ms in all",
              tally.files, tally.reads, tally.found, tally.unchanged, tally.loads, tally.types,
              tally.slowestMs, GetTickCount() - started);
    Report("ini", line);
    EXPECT_GT(tally.found, 0);
    EXPECT_GT(tally.unchanged, 0);
    EXPECT_LT(tally.slowestMs, 5000u);
}

// A lone lead byte at the end of the file must not carry the reader past
// the text's end; the lines before it still read.
TEST(IniHostile, LoneLeadByteAtTheEndOfTheFile) {
    TempDir dir;
    QuietScope quiet;
    for (unsigned char lead = 0x81; lead != 0xFD; lead = lead == 0x9F ? 0xE0 : lead + 1) {
        ASSERT_TRUE(IsLeadByte(lead));
        const std::string bytes = std::string("[install]\r\nBrand=B\r\nName=GAME") + (char)lead;
        ASSERT_TRUE(WriteBytes(dir / "t.ini", bytes));
        OCString brand, name;
        IniReadValue("install", "Brand", brand, (dir / "t.ini").c_str());
        IniReadValue("install", "Name", name, (dir / "t.ini").c_str());
        EXPECT_STREQ("B", brand.GetBuffer());
        EXPECT_EQ(std::string("GAME") + (char)lead, name.GetBuffer() ? name.GetBuffer() : "");
    }
}

// Ten megabytes of lines, the wanted section at the very end: read whole and
// found by the reader; a full load (43 reads of the file) on a tenth of it.
std::string NoiseLines(size_t size, const char* tail) {
    std::string bytes;
    bytes.reserve(size + 200);
    for (int i = 0; bytes.size() < size; i++) {
        char line[64];
        wsprintfA(line, "[noise%d]\r\nkey%d=表示ソフト %d\r\n", i % 97, i, i);
        bytes += line;
    }
    return bytes + tail;
}

TEST(IniHostile, TenMegabyteFile) {
    TempDir dir;
    CurrentFolder here(dir.Path());
    QuietScope quiet;
    const char kTail[] = "[install]\r\nName=END\r\nTitle=末尾\r\n[TYPE9]\r\ntitle=最後\r\nsize=1\r\n";
    const std::string big = NoiseLines(10u << 20, kTail);
    ASSERT_TRUE(WriteBytes(dir / "install.ini", big));
    DWORD started = GetTickCount();
    OCString name;
    IniReadValue("install", "Name", name, "install.ini");
    const DWORD readMs = GetTickCount() - started;
    EXPECT_STREQ("END", name.GetBuffer());

    const std::string tenth = NoiseLines(1u << 20, kTail);
    ASSERT_TRUE(WriteBytes(dir / "install.ini", tenth));
    started = GetTickCount();
    InstallConfig config;
    config.Load();
    const DWORD loadMs = GetTickCount() - started;
    ASSERT_EQ(1u, config.types.size());
    EXPECT_STREQ("最後", config.types[0].title.GetBuffer());
    char line[200];
    wsprintfA(line, "a %u-byte file: one key in %lu ms; a %u-byte file: a full load (43 reads) in %lu ms",
              (unsigned)big.size(), readMs, (unsigned)tenth.size(), loadMs);
    Report("ini", line);
    EXPECT_LT(readMs, 20000u);
    EXPECT_LT(loadMs, 60000u);
}
