// Builds *.pak archives byte by byte for the reader's tests.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

std::string U32(uint32_t value);
std::string Deflate(const std::string& bytes);  // one zlib stream (compress)

// One directory entry as stored. For v0 `offset` counts from the file's start.
std::string DirEntry(int version, const std::string& name, uint32_t offset, uint32_t size,
                     uint32_t compressed = 0, uint32_t packedSize = 0);
// A v1/v2 header with its zlib directory, followed by `data` (the data area).
std::string PackedArchive(int version, uint32_t count, const std::string& directory,
                          const std::string& data);
// As above with the header's directory sizes given explicitly.
std::string PackedArchiveRaw(int version, uint32_t count, uint32_t dirSize,
                             const std::string& packedDirectory, const std::string& data);

// The usual case: entries laid out one after the other.
class PakBuilder {
public:
    explicit PakBuilder(int version) : m_version(version) {}
    PakBuilder& Stored(const std::string& name, const std::string& data);
    // `sizeField` differs from the data's length to model a damaged entry.
    PakBuilder& Compressed(const std::string& name, const std::string& data, int64_t sizeField = -1);
    std::string Bytes() const;
    // Plain directory bytes (v1/v2: before compression).
    std::string Directory(uint32_t dataStart) const;

private:
    struct Item { std::string name, stored; uint32_t size; bool compressed; };
    int m_version;
    std::vector<Item> m_items;
};
