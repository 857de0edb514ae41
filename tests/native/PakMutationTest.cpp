// Thousands of damaged archives through the reader and verify: no crash, no
// hang, and damage that must show is always found.
#include "PakArchive.h"
#include "PakMutator.h"
#include "PakVerify.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>

using namespace pak;

namespace {

constexpr uint64_t kRunsPerArchive = 3400;

std::vector<uint8_t> Sample(uint32_t version, Packing packing) {
    std::vector<uint8_t> text;
    for (int i = 0; i < 300; ++i) text.push_back(static_cast<uint8_t>("scenario line\r\n"[i % 15]));
    WriteOptions options;
    options.version = version;
    options.packing = packing;
    return BuildArchive({{"install.ini", {'[', 'i', ']'}},
                         {"cg\\\x95\x5C.png", text},
                         {"data\\\x83\x5C.bin", {1, 2, 3, 4, 5, 6, 7, 8}},
                         {"empty", {}}},
                        options);
}

struct Tally {
    std::array<uint64_t, static_cast<size_t>(Damage::Count)> runs{}, found{};
    uint64_t total = 0, faults = 0, readerErrors = 0;
};

// Reads the directory and every entry as extract would; true when all of it read.
bool ReadsWhole(const std::vector<uint8_t>& bytes) {
    MemorySource src(bytes);
    try {
        Directory dir = ReadDirectory(src);
        for (const Entry& e : dir.entries) ReadEntry(src, e, [](const uint8_t*, size_t) {});
        return true;
    } catch (const PakError&) {
        return false;
    }
}

void RunOne(const std::vector<uint8_t>& sound, uint64_t seed, Tally& tally) {
    Mutation m = MutateArchive(sound, seed);
    MemorySource src(m.bytes);
    std::vector<std::string> faults = VerifyArchive(src);
    bool read = ReadsWhole(m.bytes);
    const size_t kind = static_cast<size_t>(m.damage);
    ++tally.total;
    ++tally.runs[kind];
    if (!faults.empty()) ++tally.faults, ++tally.found[kind];
    if (!read) ++tally.readerErrors;
    if (m.damage == Damage::Truncation) {
        EXPECT_FALSE(faults.empty()) << "seed " << seed << ": a cut archive passed verify";
    }
    if (!read) {
        EXPECT_FALSE(faults.empty()) << "seed " << seed << ": the reader failed where verify found nothing";
    }
    if (m.bytes == sound) {
        EXPECT_TRUE(faults.empty()) << "seed " << seed;
    }
}

TEST(PakMutation, DamagedArchivesNeverCrashAndCutsAreAlwaysFound) {
    const std::vector<std::vector<uint8_t>> sound = {Sample(0, Packing::Store), Sample(1, Packing::Auto),
                                                     Sample(2, Packing::Compress)};
    Tally tally;
    auto start = std::chrono::steady_clock::now();
    for (size_t a = 0; a < sound.size(); ++a)
        for (uint64_t seed = 1; seed <= kRunsPerArchive; ++seed) RunOne(sound[a], a * 1000003 + seed, tally);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::printf("pak mutation: %llu damaged archives (v0, v1, v2) in %.1f s: %llu with faults reported, "
                "%llu passed verify, %llu refused by the reader\n",
                (unsigned long long)tally.total, seconds, (unsigned long long)tally.faults,
                (unsigned long long)(tally.total - tally.faults), (unsigned long long)tally.readerErrors);
    for (size_t k = 0; k < tally.runs.size(); ++k) {
        std::printf("  %-17s %5llu runs, %5llu found\n", DamageName(static_cast<Damage>(k)),
                    (unsigned long long)tally.runs[k], (unsigned long long)tally.found[k]);
        EXPECT_GT(tally.found[k], 0u) << DamageName(static_cast<Damage>(k)) << " was never found";
    }
    EXPECT_GE(tally.total, 10000u);
    EXPECT_GT(tally.faults, tally.total * 3 / 4);
}

TEST(PakMutation, SameSeedGivesSameDamage) {
    std::vector<uint8_t> sound = Sample(2, Packing::Auto);
    for (uint64_t seed : {1ull, 42ull, 0xFFFFFFFFFFull}) {
        Mutation a = MutateArchive(sound, seed), b = MutateArchive(sound, seed);
        EXPECT_EQ(a.damage, b.damage);
        EXPECT_EQ(a.bytes, b.bytes);
    }
    EXPECT_NE(MutateArchive(sound, 1).bytes, MutateArchive(sound, 2).bytes);
}

TEST(PakMutation, FieldDamageInPackedDirectoriesKeepsTheRestIntact) {
    // Offset damage in a v2 archive re-stores the directory: it still inflates,
    // and what verify finds is the entry's place, not a broken stream.
    std::vector<uint8_t> sound = Sample(2, Packing::Store);
    int seen = 0;
    for (uint64_t seed = 1; seed < 400 && seen < 20; ++seed) {
        Mutation m = MutateArchive(sound, seed);
        if (m.damage != Damage::EntryOffset || m.bytes == sound) continue;
        ++seen;
        MemorySource src(m.bytes);
        EXPECT_NO_THROW(ReadDirectory(src)) << seed;
    }
    EXPECT_GT(seen, 0);
}

}  // namespace
