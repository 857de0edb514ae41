// Reads and writes *.pak archives in memory structures. Every read is bounds
// checked against its source, so a damaged archive gives a PakError, never a
// read outside a buffer.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace pak {

// A damaged archive or a failed read; the message names what is wrong.
class PakError : public std::runtime_error {
public:
    explicit PakError(const std::string& message) : std::runtime_error(message) {}
};

// Random-access bytes: an archive in memory or on disk.
class Source {
public:
    virtual ~Source() = default;
    virtual uint64_t Size() const = 0;
    // Copies exactly n bytes from `offset`; throws PakError when they are not all there.
    virtual void ReadAt(uint64_t offset, void* dst, size_t n) const = 0;
};

class MemorySource : public Source {
public:
    MemorySource(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    explicit MemorySource(const std::vector<uint8_t>& bytes) : MemorySource(bytes.data(), bytes.size()) {}
    uint64_t Size() const override { return m_size; }
    void ReadAt(uint64_t offset, void* dst, size_t n) const override;
private:
    const uint8_t* m_data;  // not owned
    size_t m_size;
};

// Opens `path` (UTF-8 on Linux, the file system's own text on Windows) for reading; throws PakError.
std::unique_ptr<Source> OpenFileSource(const std::string& path);

struct Entry {
    std::string name;           // code page 932 bytes, up to the first NUL
    uint32_t nameLength = 0;    // as stored, so a name cut at a NUL can be told
    uint32_t offset = 0;        // v0: from file start; v1/v2: from the data area
    uint32_t reserved = 0;
    uint32_t size = 0;          // length after decompression
    uint32_t compressed = 0;    // v1/v2: 0 stored, any other value compressed
    uint32_t packedSize = 0;    // v1/v2: length of the zlib stream as stored
    uint64_t dataPosition = 0;  // absolute position of the entry's first stored byte
    bool IsCompressed() const { return compressed != 0; }
    uint32_t StoredSize() const { return IsCompressed() ? packedSize : size; }
};

struct Directory {
    uint32_t version = 0;
    uint32_t count = 0;
    uint32_t dirSize = 0;        // v1/v2: directory length after decompression
    uint32_t dirPacked = 0;      // v1/v2: directory length as stored
    uint64_t dataStart = 0;      // v1/v2: header size + dirPacked; v0: 0
    uint64_t directoryEnd = 0;   // first byte after the directory as stored
    std::vector<Entry> entries;
    // Damage that still lets the entries be read (verify reports it).
    std::vector<std::string> faults;
};

// Reads the header and every directory entry. Throws PakError when the header is
// short, the version unknown, the directory cannot be inflated, or the entry count
// and name lengths run past the end of the directory.
Directory ReadDirectory(const Source& src);

// Hands the entry's bytes to `sink` piece by piece, inflating a compressed entry.
// Throws PakError when the data lies outside the source, the stream is damaged, or
// the entry yields other than its size.
using Sink = std::function<void(const uint8_t* data, size_t n)>;
void ReadEntry(const Source& src, const Entry& entry, const Sink& sink);
std::vector<uint8_t> ReadEntryBytes(const Source& src, const Entry& entry);

// Writing.
enum class Packing { Store, Compress, Auto };

struct InputFile {
    std::string name;             // code page 932, backslash-separated
    std::vector<uint8_t> data;
};

struct WriteOptions {
    uint32_t version = 2;
    Packing packing = Packing::Auto;
    int level = -1;               // zlib level; -1 for zlib's default
};

// The largest archive the installer can seek through (signed 32-bit positions).
constexpr uint64_t kMaxArchiveSize = 0x7FFFFFFFu;

// The order entries are written in: names compared with ASCII and full-width
// Latin letters folded, then byte by byte. The installer matches names without
// regard to case and by the requested name's length, taking the first match, so
// this order puts an exact match before any longer name that starts like it.
bool EntryOrder(const std::string& a, const std::string& b);

// Builds a whole archive. Sorts the files with EntryOrder; empty files are always
// stored. Throws PakError when names collide without regard to case or the archive
// would reach 2 GiB. `progress` (may be empty) is called after each file.
std::vector<uint8_t> BuildArchive(std::vector<InputFile> files, const WriteOptions& options,
                                  const std::function<void(size_t done, size_t total)>& progress = {});

// The directory bytes (before compression) for `entries`, in their given order.
std::vector<uint8_t> EncodeDirectory(uint32_t version, const std::vector<Entry>& entries);

// Assembles header + stored directory + data area. For v1/v2 `directory` is
// deflated here; `data` is placed as is.
std::vector<uint8_t> AssembleArchive(uint32_t version, uint32_t count,
                                     const std::vector<uint8_t>& directory,
                                     const std::vector<uint8_t>& data, int level = -1);

}  // namespace pak
