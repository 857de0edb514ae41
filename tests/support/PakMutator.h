// Damaged archives for robustness tests: from a seed and a sound archive, one
// reproducible damaged copy. Portable, so the installer's own tests can read
// the same corpus.
#pragma once
#include <cstdint>
#include <vector>

namespace pak {

enum class Damage {
    Bytes,            // a few bits flipped or a short run of bytes overwritten, anywhere
    Truncation,       // the file cut short
    HeaderField,      // the version, the entry count or (v1/v2) a directory size replaced
    EntryField,       // one entry's name length, offset, size, compressed flag or packed size replaced
    DirectoryStream,  // bits flipped inside the stored (v1/v2: compressed) directory
    EntryStream,      // bits flipped inside one entry's stored data
    Count
};
const char* DamageName(Damage damage);

struct Mutation {
    Damage damage;
    std::vector<uint8_t> bytes;
};

// Damages `sound` (an archive the tool wrote) as the seed decides. An entry's
// field is changed in the inflated directory, which is then stored again, so
// the rest of the archive stays as it was.
Mutation MutateArchive(const std::vector<uint8_t>& sound, uint64_t seed);

}  // namespace pak
