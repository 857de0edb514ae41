#include "PakBuilder.h"
#include <zlib.h>

std::string U32(uint32_t v) {
    char b[4] = {(char)(v & 0xFF), (char)(v >> 8 & 0xFF), (char)(v >> 16 & 0xFF), (char)(v >> 24)};
    return std::string(b, 4);
}

std::string Deflate(const std::string& bytes) {
    uLongf size = compressBound(bytes.size());
    std::string out(size, '\0');
    compress((Bytef*)&out[0], &size, (const Bytef*)bytes.data(), bytes.size());
    out.resize(size);
    return out;
}

std::string DirEntry(int version, const std::string& name, uint32_t offset, uint32_t size,
                     uint32_t compressed, uint32_t packedSize) {
    std::string e = U32(name.size()) + name + U32(offset) + U32(0xA5A5A5A5) + U32(size);
    if (version != 0) e += U32(compressed) + U32(packedSize);
    return e;
}

std::string PackedArchiveRaw(int version, uint32_t count, uint32_t dirSize,
                             const std::string& packedDirectory, const std::string& data) {
    std::string h = U32(version) + U32(count) + U32(dirSize) + U32(packedDirectory.size());
    if (version == 2) h += U32(0x12345678) + std::string(256, '\x5A');
    return h + packedDirectory + data;
}

std::string PackedArchive(int version, uint32_t count, const std::string& directory,
                          const std::string& data) {
    return PackedArchiveRaw(version, count, directory.size(), Deflate(directory), data);
}

PakBuilder& PakBuilder::Stored(const std::string& name, const std::string& data) {
    m_items.push_back({name, data, (uint32_t)data.size(), false});
    return *this;
}

PakBuilder& PakBuilder::Compressed(const std::string& name, const std::string& data,
                                   int64_t sizeField) {
    uint32_t size = sizeField < 0 ? (uint32_t)data.size() : (uint32_t)sizeField;
    m_items.push_back({name, Deflate(data), size, true});
    return *this;
}

std::string PakBuilder::Directory(uint32_t dataStart) const {
    std::string dir;
    uint32_t offset = dataStart;
    for (const Item& item : m_items) {
        dir += DirEntry(m_version, item.name, offset, item.size, item.compressed,
                        item.compressed ? item.stored.size() : 0);
        offset += item.stored.size();
    }
    return dir;
}

std::string PakBuilder::Bytes() const {
    std::string data;
    for (const Item& item : m_items) data += item.stored;
    if (m_version != 0) return PackedArchive(m_version, m_items.size(), Directory(0), data);
    uint32_t dirLength = Directory(0).size();
    return U32(0) + U32(m_items.size()) + Directory(8 + dirLength) + data;
}
