// Thousands of damaged archives through the reader and verify: no crash, no
// hang, every kind of damage is found, and a cut archive always is.
#include "PakMutator.h"
#include "PakVerify.h"
#include "NativeTest.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace pak;

namespace {

// Reads the directory and every entry as extract would; true when all of it read.
bool ReadsWhole(const std::vector<uint8_t>& bytes) {
    MemorySource src(bytes);
    try {
        for (const Entry& e : ReadDirectory(src).entries) ReadEntry(src, e, [](const uint8_t*, size_t) {});
        return true;
    } catch (const PakError&) {
        return false;
    }
}

TEST(PakMutation, DamagedArchivesNeverCrashAndCutsAreAlwaysFound) {
    const paktest::Files files = {{"install.ini", "[i]"}, {"cg\\\x95\x5C.png", std::string(300, 's')},
                                  {"data\\\x83\x5C.bin", "\x01\x02\x03\x04\x05\x06\x07\x08"}, {"empty", ""}};
    size_t runs[size_t(Damage::Count)] = {}, found[size_t(Damage::Count)] = {}, total = 0, reported = 0;
    for (uint32_t version : {0u, 1u, 2u}) {
        const std::vector<uint8_t> sound = paktest::MakeArchive(files, version);
        for (uint64_t seed = version * 1000003 + 1; seed <= version * 1000003 + 3400; ++seed) {
            const Mutation m = MutateArchive(sound, seed);
            MemorySource src(m.bytes);
            const bool faulty = !VerifyArchive(src).empty();
            ++total, ++runs[size_t(m.damage)], reported += faulty, found[size_t(m.damage)] += faulty;
            EXPECT_TRUE(faulty || m.damage != Damage::Truncation) << "seed " << seed << ": a cut archive passed";
            EXPECT_TRUE(faulty || ReadsWhole(m.bytes)) << "seed " << seed << ": the reader failed, verify found nothing";
            EXPECT_TRUE(!faulty || m.bytes != sound) << "seed " << seed << ": an undamaged archive failed";
        }
    }
    std::printf("pak mutation: %zu damaged archives (v0, v1, v2): %zu with faults reported\n", total, reported);
    for (size_t k = 0; k < size_t(Damage::Count); ++k) {
        std::printf("  %-17s %5zu runs, %5zu found\n", DamageName(Damage(k)), runs[k], found[k]);
        EXPECT_GT(found[k], 0u) << DamageName(Damage(k)) << " was never found";
    }
    EXPECT_GT(reported, total * 3 / 4);
}

}  // namespace
