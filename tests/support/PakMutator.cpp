#include "PakMutator.h"

#include "PakArchive.h"
#include "archive/PakFormat.h"

#include <random>

namespace pak {

namespace {

using Random = std::mt19937_64;  // fully specified: the same seed gives the same corpus everywhere

uint32_t Below(Random& rng, uint64_t bound) { return bound ? uint32_t(rng() % bound) : 0; }

// Replaces the 32-bit field at `at` with a value likely to find a fault in the code that reads it.
void PutTricky(std::vector<uint8_t>& b, size_t at, uint32_t fileSize, Random& rng) {
    uint32_t old = 0;
    for (size_t i = 0; i < 4 && at + i < b.size(); ++i) old |= uint32_t(b[at + i]) << (8 * i);
    const uint32_t values[] = {0, old + 1, old - 1, 0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu - Below(rng, 64),
                               fileSize + Below(rng, 16), old ^ (1u << Below(rng, 32)), uint32_t(rng())};
    const uint32_t v = values[Below(rng, 10)];
    for (size_t i = 0; i < 4 && at + i < b.size(); ++i) b[at + i] = uint8_t(v >> (8 * i));
}

void FlipBits(std::vector<uint8_t>& b, uint64_t begin, uint64_t end, Random& rng) {
    for (uint32_t n = begin < end ? 1 + Below(rng, 8) : 0; n > 0; --n) b[begin + Below(rng, end - begin)] ^= uint8_t(1u << Below(rng, 8));
}

}  // namespace

const char* DamageName(Damage damage) {
    static const char* const names[] = {"bytes", "truncation", "header field", "entry field", "directory stream", "entry stream"};
    static_assert(sizeof names / sizeof *names == size_t(Damage::Count), "one name per kind of damage");
    return damage < Damage::Count ? names[size_t(damage)] : "unknown";
}

Mutation MutateArchive(const std::vector<uint8_t>& sound, uint64_t seed) {
    Random rng(seed);
    Mutation m{Damage(Below(rng, size_t(Damage::Count))), sound};
    std::vector<uint8_t>& b = m.bytes;
    const uint32_t size = uint32_t(b.size());
    MemorySource src(sound);
    const Directory dir = ReadDirectory(src);
    const size_t index = Below(rng, dir.entries.size());
    if (m.damage == Damage::Bytes && Below(rng, 2)) {
        FlipBits(b, 0, size, rng);
    } else if (m.damage == Damage::Bytes) {
        const uint8_t fill = Below(rng, 3) == 0 ? 0 : Below(rng, 2) ? 0xFF : uint8_t(rng());
        for (size_t at = Below(rng, size), end = at + 1 + Below(rng, 16); at < end && at < size; ++at) b[at] = fill;
    } else if (m.damage == Damage::Truncation) {
        b.resize(Below(rng, size));
    } else if (m.damage == Damage::HeaderField) {  // version, count, directory size, its packed size
        PutTricky(b, 4 * Below(rng, dir.version == 0 ? 2 : 4), size, rng);
    } else if (m.damage == Damage::DirectoryStream) {
        FlipBits(b, HeaderSize(dir.version), dir.directoryEnd, rng);
    } else if (!dir.entries.empty() && m.damage == Damage::EntryStream) {
        FlipBits(b, dir.entries[index].dataPosition, dir.entries[index].dataPosition + dir.entries[index].StoredSize(), rng);
    } else if (!dir.entries.empty()) {
        const size_t fields[] = {0, 1, 3, 4, 5};  // name length, offset, size; v1/v2: compressed flag, packed size
        const size_t field = fields[Below(rng, dir.version == 0 ? 3 : 5)];
        const std::vector<Entry> before(dir.entries.begin(), dir.entries.begin() + index);
        std::vector<uint8_t> plain = EncodeDirectory(dir.version, dir.entries);
        PutTricky(plain, EncodeDirectory(dir.version, before).size() + (field ? 4 * field + dir.entries[index].name.size() : 0),
                  size, rng);
        if (dir.version == 0) std::copy(plain.begin(), plain.end(), b.begin() + HeaderSize(0));
        else b = AssembleArchive(dir.version, dir.count, plain, {sound.begin() + dir.directoryEnd, sound.end()});
    }
    return m;
}

}  // namespace pak
