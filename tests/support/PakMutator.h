// Damaged archives for robustness tests: from a seed and a sound archive, one
// reproducible damaged copy. Portable, so the installer's own tests can read
// the same corpus.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace pak {

enum class Damage {
    BitFlips,        // a few bits anywhere
    ByteRun,         // a short run of bytes overwritten
    Truncation,      // the file cut short
    HeaderCount,     // the entry count replaced
    HeaderSizes,     // the version, or (v1/v2) a directory size, replaced
    EntryNameLength, // one entry's name length replaced
    EntrySize,       // one entry's size replaced
    EntryOffset,     // one entry's data offset replaced
    EntryPacking,    // one entry's compressed flag or compressed size replaced
    DirectoryStream, // bits flipped inside the stored (v1/v2: compressed) directory
    EntryStream,     // bits flipped inside one entry's stored data
    Count
};

const char* DamageName(Damage damage);

struct Mutation {
    Damage damage;
    std::vector<uint8_t> bytes;
};

// A small, portable generator (SplitMix64): the same seed gives the same numbers everywhere.
class SeededRandom {
public:
    explicit SeededRandom(uint64_t seed) : m_state(seed) {}
    uint64_t Next();
    uint32_t Below(uint32_t bound);  // 0 .. bound-1; 0 when bound is 0
private:
    uint64_t m_state;
};

// Damages `sound` (an archive the tool wrote) as the seed decides. Field damage
// in a v1/v2 directory is made in the inflated directory, which is then stored
// again, so the rest of the archive stays as it was.
Mutation MutateArchive(const std::vector<uint8_t>& sound, uint64_t seed);

}  // namespace pak
