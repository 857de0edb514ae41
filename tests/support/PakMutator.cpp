#include "PakMutator.h"

#include "PakArchive.h"
#include "archive/PakFormat.h"

namespace pak {

namespace {

const char* const kDamageNames[] = {"bit flips",        "byte run",    "truncation",   "header count",
                                    "header sizes",     "name length", "entry size",   "entry offset",
                                    "entry packing",    "directory stream", "entry stream"};
static_assert(sizeof kDamageNames / sizeof kDamageNames[0] == static_cast<size_t>(Damage::Count),
              "one name per kind of damage");

void PutU32At(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
    for (int i = 0; i < 4 && at + i < bytes.size(); ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

uint32_t GetU32At(const std::vector<uint8_t>& bytes, size_t at) {
    uint32_t v = 0;
    for (int i = 0; i < 4 && at + i < bytes.size(); ++i) v |= uint32_t(bytes[at + i]) << (8 * i);
    return v;
}

// A value likely to find a fault in the code that reads `old`.
uint32_t TrickyValue(SeededRandom& rng, uint32_t old, uint32_t fileSize) {
    switch (rng.Below(10)) {
    case 0: return 0;
    case 1: return old + 1;
    case 2: return old - 1;
    case 3: return 0xFFFFFFFFu;
    case 4: return 0x7FFFFFFFu;
    case 5: return 0x80000000u;
    case 6: return 0xFFFFFFFFu - rng.Below(64);
    case 7: return fileSize + rng.Below(16);
    case 8: return old ^ (1u << rng.Below(32));
    default: return static_cast<uint32_t>(rng.Next());
    }
}

void FlipBits(std::vector<uint8_t>& bytes, size_t begin, size_t end, SeededRandom& rng) {
    if (begin >= end) return;
    uint32_t flips = 1 + rng.Below(8);
    for (uint32_t i = 0; i < flips; ++i) {
        size_t at = begin + rng.Below(static_cast<uint32_t>(end - begin));
        bytes[at] ^= static_cast<uint8_t>(1u << rng.Below(8));
    }
}

// Where the directory of a sound archive lies and what it says.
struct Layout {
    Directory dir;
    std::vector<uint8_t> plainDirectory;  // v1/v2: inflated; v0: as stored
    size_t directoryStart = 0;
    size_t directoryEnd = 0;
};

Layout ReadLayout(const std::vector<uint8_t>& sound) {
    Layout l;
    MemorySource src(sound);
    l.dir = ReadDirectory(src);
    l.directoryStart = HeaderSize(l.dir.version);
    l.directoryEnd = static_cast<size_t>(l.dir.version == 0 ? l.dir.directoryEnd : l.dir.dataStart);
    l.plainDirectory = EncodeDirectory(l.dir.version, l.dir.entries);
    return l;
}

// Byte position of a field of entry `index` inside the plain directory.
size_t FieldPosition(const Layout& l, size_t index, size_t field) {
    size_t pos = 0;
    for (size_t i = 0; i < index; ++i)
        pos += 4 + l.dir.entries[i].name.size() + EntryFieldsSize(l.dir.version);
    if (field == 0) return pos;                        // name length
    return pos + 4 + l.dir.entries[index].name.size() + 4 * (field - 1);  // offset, reserved, size, flag, packed
}

// Puts a changed plain directory back into the archive.
std::vector<uint8_t> Rebuild(const std::vector<uint8_t>& sound, const Layout& l, const std::vector<uint8_t>& plain) {
    if (l.dir.version == 0) {
        std::vector<uint8_t> out = sound;
        std::copy(plain.begin(), plain.end(), out.begin() + l.directoryStart);
        return out;
    }
    std::vector<uint8_t> data(sound.begin() + l.directoryEnd, sound.end());
    return AssembleArchive(l.dir.version, l.dir.count, plain, data);
}

std::vector<uint8_t> DamageField(const std::vector<uint8_t>& sound, const Layout& l, Damage damage,
                                 SeededRandom& rng) {
    if (l.dir.entries.empty()) return sound;
    size_t index = rng.Below(static_cast<uint32_t>(l.dir.entries.size()));
    size_t field = 0;
    switch (damage) {
    case Damage::EntryNameLength: field = 0; break;
    case Damage::EntryOffset: field = 1; break;
    case Damage::EntrySize: field = 3; break;
    default: field = l.dir.version == 0 ? 3 : 4 + rng.Below(2); break;  // flag or packed size
    }
    std::vector<uint8_t> plain = l.plainDirectory;
    size_t at = FieldPosition(l, index, field);
    PutU32At(plain, at, TrickyValue(rng, GetU32At(plain, at), static_cast<uint32_t>(sound.size())));
    return Rebuild(sound, l, plain);
}

std::vector<uint8_t> DamageHeader(const std::vector<uint8_t>& sound, const Layout& l, Damage damage,
                                  SeededRandom& rng) {
    std::vector<uint8_t> out = sound;
    size_t at = 4;  // entry count
    if (damage == Damage::HeaderSizes) {
        uint32_t choices = l.dir.version == 0 ? 1 : 3;
        uint32_t pick = rng.Below(choices);
        at = pick == 0 ? 0 : 4 + 4 * pick;  // version, directory size, compressed directory size
    }
    PutU32At(out, at, TrickyValue(rng, GetU32At(out, at), static_cast<uint32_t>(out.size())));
    return out;
}

std::vector<uint8_t> DamageStream(const std::vector<uint8_t>& sound, const Layout& l, Damage damage,
                                  SeededRandom& rng) {
    std::vector<uint8_t> out = sound;
    if (damage == Damage::DirectoryStream) {
        FlipBits(out, l.directoryStart, l.directoryEnd, rng);
        return out;
    }
    if (l.dir.entries.empty()) return out;
    const Entry& e = l.dir.entries[rng.Below(static_cast<uint32_t>(l.dir.entries.size()))];
    FlipBits(out, static_cast<size_t>(e.dataPosition), static_cast<size_t>(e.dataPosition + e.StoredSize()), rng);
    return out;
}

std::vector<uint8_t> DamageBytes(const std::vector<uint8_t>& sound, Damage damage, SeededRandom& rng) {
    std::vector<uint8_t> out = sound;
    const uint32_t size = static_cast<uint32_t>(out.size());
    if (damage == Damage::Truncation) {
        out.resize(rng.Below(size));
    } else if (damage == Damage::BitFlips) {
        FlipBits(out, 0, out.size(), rng);
    } else if (size > 0) {
        size_t at = rng.Below(size);
        size_t run = 1 + rng.Below(16);
        uint8_t fill = rng.Below(3) == 0 ? 0 : rng.Below(2) ? 0xFF : static_cast<uint8_t>(rng.Next());
        for (size_t i = at; i < at + run && i < out.size(); ++i) out[i] = fill;
    }
    return out;
}

}  // namespace

const char* DamageName(Damage damage) {
    size_t i = static_cast<size_t>(damage);
    return i < static_cast<size_t>(Damage::Count) ? kDamageNames[i] : "unknown";
}

uint64_t SeededRandom::Next() {
    uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

uint32_t SeededRandom::Below(uint32_t bound) {
    return bound == 0 ? 0 : static_cast<uint32_t>(Next() % bound);
}

Mutation MutateArchive(const std::vector<uint8_t>& sound, uint64_t seed) {
    SeededRandom rng(seed);
    Mutation m;
    m.damage = static_cast<Damage>(rng.Below(static_cast<uint32_t>(Damage::Count)));
    const Layout layout = ReadLayout(sound);
    switch (m.damage) {
    case Damage::BitFlips:
    case Damage::ByteRun:
    case Damage::Truncation: m.bytes = DamageBytes(sound, m.damage, rng); break;
    case Damage::HeaderCount:
    case Damage::HeaderSizes: m.bytes = DamageHeader(sound, layout, m.damage, rng); break;
    case Damage::DirectoryStream:
    case Damage::EntryStream: m.bytes = DamageStream(sound, layout, m.damage, rng); break;
    default: m.bytes = DamageField(sound, layout, m.damage, rng); break;
    }
    return m;
}

}  // namespace pak
