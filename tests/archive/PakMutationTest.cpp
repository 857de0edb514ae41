// Thousands of damaged archives of every version through the lookup: each one
// must end in a hit, a miss or the decompression error, never in a crash or a
// hang. The damage is seeded, so a failure can be replayed.
#include <cstdio>
#include <random>
#include "ArchiveFixture.h"
#include "PakBuilder.h"
#include "base/Messages.h"

namespace {

struct Outcomes { int runs = 0, hits = 0, misses = 0, errors = 0; };

std::string BaseArchive(int version) {
    PakBuilder pak(version);
    pak.Stored("readme.txt", "stored entry").Stored("表ソ.bmp", std::string(300, 'b'));
    if (version != 0) pak.Compressed("data.bin", std::string(2000, 'd')).Compressed("x", "y");
    return pak.Bytes();
}

const uint32_t kHostile[] = {0, 1, 0x7F, 0x1000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFF0, 0xFFFFFFFF};

class Mutator {
public:
    explicit Mutator(uint32_t seed) : m_random(seed) {}
    uint32_t Below(uint32_t n) { return n ? m_random() % n : 0; }
    uint32_t Value() { return Below(3) ? kHostile[Below(8)] : (uint32_t)m_random(); }
    void Damage(std::string& bytes);

private:
    void PutU32(std::string& bytes, size_t at, uint32_t v) {
        if (at + 4 <= bytes.size()) bytes.replace(at, 4, U32(v));
    }
    std::mt19937 m_random;
};

// One to three kinds of damage: bit flips, cuts, overwritten header fields
// (count, sizes), overwritten words anywhere (offsets, lengths, flags).
void Mutator::Damage(std::string& bytes) {
    for (uint32_t n = 1 + Below(3); n > 0 && !bytes.empty(); n--) {
        switch (Below(4)) {
        case 0: bytes[Below(bytes.size())] ^= (char)(1 << Below(8)); break;
        case 1: bytes.resize(Below(bytes.size())); break;
        case 2: PutU32(bytes, 4 * (1 + Below(3)), Value()); break;
        default: PutU32(bytes, Below(bytes.size()), Value()); break;
        }
    }
}

// The same damage to a directory before it is packed: reaches the entry
// parser of v1/v2 with intact zlib framing.
std::string DamagedPackedDirectory(int version, Mutator& m) {
    PakBuilder pak(version);
    pak.Stored("readme.txt", "stored entry").Compressed("data.bin", std::string(500, 'd'));
    std::string directory = pak.Directory(0);
    std::string data = "stored entry" + Deflate(std::string(500, 'd'));
    m.Damage(directory);
    return PackedArchive(version, m.Below(2) ? 2 : m.Value(), directory, data);
}

const char* const kNames[] = {"readme.txt", "data.bin", "x", "表ソ.BMP", "", "none"};

// Rewrites one archive in place through a handle kept open: far cheaper under
// Wine than creating the file anew for every run.
class ArchiveSlot {
public:
    explicit ArchiveSlot(const std::string& path)
        : m_file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             NULL, CREATE_ALWAYS, 0, NULL)) {}
    ~ArchiveSlot() { CloseHandle(m_file); }
    ArchiveSlot(const ArchiveSlot&) = delete;
    ArchiveSlot& operator=(const ArchiveSlot&) = delete;
    bool Put(const std::string& bytes) {
        DWORD written = 0;
        SetFilePointer(m_file, 0, NULL, FILE_BEGIN);
        WriteFile(m_file, bytes.data(), bytes.size(), &written, NULL);
        return SetEndOfFile(m_file) && written == bytes.size();
    }

private:
    HANDLE m_file;
};

}  // namespace

using PakMutation = ArchiveTest;

TEST_F(PakMutation, DamagedArchivesEndInAHitAMissOrTheError) {
    const int kRuns = 10200;
    std::string bases[3] = {BaseArchive(0), BaseArchive(1), BaseArchive(2)};
    Mutator m(20240611);
    Outcomes count;
    ArchiveSlot slot(dir / "m.pak");
    // Root-relative (the scratch folder is on the current drive): spares the
    // volume query of every lookup.
    std::string folder = dir.Path().substr(2);
    DWORD started = GetTickCount();
    for (int i = 0; i < kRuns; i++) {
        int version = i % 3;
        std::string bytes = bases[version];
        if (version != 0 && i % 4 == 1) bytes = DamagedPackedDirectory(version, m);
        else m.Damage(bytes);
        ASSERT_TRUE(slot.Put(bytes));
        OCFile f;
        try {
            if (f.OpenFromArchives(folder.c_str(), kNames[m.Below(6)])) {
                char head[64];
                f.Read(head, sizeof head);
                f.Seek(0, 0);
                count.hits++;
            } else {
                count.misses++;
            }
        } catch (const OCErrorException& e) {
            ASSERT_STREQ(kMsgInflateFailed, e.message.GetBuffer()) << "run " << i;
            count.errors++;
        }
        count.runs++;
    }
    printf("[ mutation ] %d damaged archives: %d hits, %d misses, %d errors (%lu ms)\n",
           count.runs, count.hits, count.misses, count.errors, GetTickCount() - started);
    EXPECT_EQ(kRuns, count.hits + count.misses + count.errors);
    EXPECT_GT(count.hits, 0);
    EXPECT_GT(count.misses, 0);
    EXPECT_GT(count.errors, 0);
}
