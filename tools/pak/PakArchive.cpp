#include "PakArchive.h"

#include "archive/PakFormat.h"
#include "PakNames.h"
#include "PakZlib.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace pak {
namespace fs = std::filesystem;

void MemorySource::ReadAt(uint64_t offset, void* dst, size_t n) const {
    if (offset > m_size || n > m_size - offset)
        throw PakError("read of " + std::to_string(n) + " bytes at " + std::to_string(offset) +
                       " passes the end (" + std::to_string(m_size) + " bytes)");
    if (n) std::memcpy(dst, m_data + offset, n);
}

namespace {

class FileSource : public Source {
public:
    explicit FileSource(const std::string& path) : m_path(path), m_stream(PathFromArgument(path), std::ios::binary) {
        if (!m_stream) throw PakError("cannot open the file");
        m_stream.seekg(0, std::ios::end);
        std::streamoff end = m_stream.tellg();
        if (end < 0) throw PakError("cannot read the file");
        m_size = static_cast<uint64_t>(end);
    }
    uint64_t Size() const override { return m_size; }
    void ReadAt(uint64_t offset, void* dst, size_t n) const override {
        if (offset > m_size || n > m_size - offset)
            throw PakError("read of " + std::to_string(n) + " bytes at " + std::to_string(offset) +
                           " passes the end of the file (" + std::to_string(m_size) + " bytes)");
        m_stream.clear();
        m_stream.seekg(static_cast<std::streamoff>(offset));
        m_stream.read(static_cast<char*>(dst), static_cast<std::streamsize>(n));
        if (static_cast<size_t>(m_stream.gcount()) != n) throw PakError("cannot read the file");
    }
private:
    std::string m_path;
    mutable std::ifstream m_stream;
    uint64_t m_size = 0;
};

uint32_t GetU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Walks the directory bytes; every read is checked against their end.
class DirectoryCursor {
public:
    DirectoryCursor(const Source& src, uint64_t start, uint64_t end) : m_src(src), m_pos(start), m_end(end) {}
    uint64_t Left() const { return m_end - m_pos; }
    uint64_t Position() const { return m_pos; }
    uint32_t U32() {
        uint8_t b[4];
        Take(b, 4);
        return GetU32(b);
    }
    void Take(void* dst, size_t n) {
        m_src.ReadAt(m_pos, dst, n);
        m_pos += n;
    }
private:
    const Source& m_src;
    uint64_t m_pos;
    uint64_t m_end;
};

std::string EntryLabel(uint32_t index, uint32_t count) {
    return "directory entry " + std::to_string(index + 1) + " of " + std::to_string(count);
}

Entry ReadOneEntry(DirectoryCursor& cursor, uint32_t version, uint32_t index, uint32_t count) {
    const uint64_t fields = EntryFieldsSize(version);
    if (cursor.Left() < 4 + fields)
        throw PakError(EntryLabel(index, count) + " runs past the end of the directory");
    Entry e;
    e.nameLength = cursor.U32();
    if (e.nameLength > cursor.Left() - fields)
        throw PakError(EntryLabel(index, count) + ": its name length " + std::to_string(e.nameLength) +
                       " runs past the end of the directory");
    e.name.resize(e.nameLength);
    if (e.nameLength) cursor.Take(&e.name[0], e.nameLength);
    e.name.resize(std::strlen(e.name.c_str()));  // a NUL ends the name
    e.offset = cursor.U32();
    e.reserved = cursor.U32();
    e.size = cursor.U32();
    if (version != 0) {
        e.compressed = cursor.U32();
        e.packedSize = cursor.U32();
    }
    return e;
}

void ReadEntries(Directory& dir, const Source& dirSource, uint64_t start, uint64_t end) {
    DirectoryCursor cursor(dirSource, start, end);
    for (uint32_t i = 0; i < dir.count; ++i) {
        Entry e = ReadOneEntry(cursor, dir.version, i, dir.count);
        e.dataPosition = dir.version == 0 ? e.offset : dir.dataStart + e.offset;
        dir.entries.push_back(std::move(e));
    }
    if (dir.version == 0) {
        dir.directoryEnd = cursor.Position();
    } else if (cursor.Left() > 0) {
        dir.faults.push_back("the directory holds " + std::to_string(cursor.Left()) +
                             " bytes after its last entry");
    }
}

void ReadPackedDirectory(Directory& dir, const Source& src) {
    const uint32_t header = HeaderSize(dir.version);
    dir.dataStart = uint64_t(header) + dir.dirPacked;
    dir.directoryEnd = dir.dataStart;
    std::vector<uint8_t> bytes;
    InflateResult r = InflateStream(src, header, dir.dirPacked, dir.dirSize,
                                    [&](const uint8_t* p, size_t n) { bytes.insert(bytes.end(), p, p + n); },
                                    "the directory");
    if (r.produced < dir.dirSize)
        dir.faults.push_back("the directory inflates to " + std::to_string(r.produced) +
                             " bytes, but the header gives " + std::to_string(dir.dirSize));
    if (r.unused > 0)
        dir.faults.push_back("the directory's compressed data ends " + std::to_string(r.unused) +
                             " bytes before its stored size");
    MemorySource dirSource(bytes);
    ReadEntries(dir, dirSource, 0, bytes.size());
}

}  // namespace

std::unique_ptr<Source> OpenFileSource(const std::string& path) {
    return std::make_unique<FileSource>(path);
}

Directory ReadDirectory(const Source& src) {
    Directory dir;
    uint8_t header[kHeaderSizeV2] = {};
    if (src.Size() < kHeaderSizeV0)
        throw PakError("the archive is " + std::to_string(src.Size()) + " bytes long, too short for a header");
    src.ReadAt(0, header, kHeaderSizeV0);
    dir.version = GetU32(header);
    dir.count = GetU32(header + 4);
    if (dir.version > 2) throw PakError("unknown archive version " + std::to_string(dir.version));
    const uint32_t headerSize = HeaderSize(dir.version);
    if (src.Size() < headerSize)
        throw PakError("the archive is " + std::to_string(src.Size()) + " bytes long, too short for a version " +
                       std::to_string(dir.version) + " header of " + std::to_string(headerSize) + " bytes");
    src.ReadAt(0, header, headerSize);
    if (dir.version == 0) {
        ReadEntries(dir, src, kHeaderSizeV0, src.Size());
        return dir;
    }
    dir.dirSize = GetU32(header + 8);
    dir.dirPacked = GetU32(header + 12);
    ReadPackedDirectory(dir, src);
    return dir;
}

void ReadEntry(const Source& src, const Entry& entry, const Sink& sink) {
    const std::string what = "entry '" + DisplayName(entry.name) + "'";
    const uint64_t stored = entry.StoredSize();
    if (entry.dataPosition > src.Size() || stored > src.Size() - entry.dataPosition)
        throw PakError(what + ": its " + std::to_string(stored) + " bytes at " + std::to_string(entry.dataPosition) +
                       " run past the end of the archive (" + std::to_string(src.Size()) + " bytes)");
    if (entry.IsCompressed()) {
        InflateResult r = InflateStream(src, entry.dataPosition, entry.packedSize, entry.size, sink, what);
        if (r.produced != entry.size)
            throw PakError(what + ": inflates to " + std::to_string(r.produced) + " bytes, but its size is " +
                           std::to_string(entry.size));
        if (r.unused > 0)
            throw PakError(what + ": its compressed data ends " + std::to_string(r.unused) +
                           " bytes before its compressed size");
        return;
    }
    std::vector<uint8_t> buffer(64 * 1024);
    for (uint64_t done = 0; done < stored;) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(buffer.size(), stored - done));
        src.ReadAt(entry.dataPosition + done, buffer.data(), n);
        sink(buffer.data(), n);
        done += n;
    }
}

std::vector<uint8_t> ReadEntryBytes(const Source& src, const Entry& entry) {
    std::vector<uint8_t> out;
    ReadEntry(src, entry, [&](const uint8_t* p, size_t n) { out.insert(out.end(), p, p + n); });
    return out;
}

bool EntryOrder(const std::string& a, const std::string& b) {
    std::string fa = FoldCase(a), fb = FoldCase(b);
    if (fa != fb) return fa < fb;
    return a < b;
}

std::vector<uint8_t> EncodeDirectory(uint32_t version, const std::vector<Entry>& entries) {
    std::vector<uint8_t> out;
    for (const Entry& e : entries) {
        PutU32(out, static_cast<uint32_t>(e.name.size()));
        out.insert(out.end(), e.name.begin(), e.name.end());
        PutU32(out, e.offset);
        PutU32(out, e.reserved);
        PutU32(out, e.size);
        if (version != 0) {
            PutU32(out, e.compressed);
            PutU32(out, e.packedSize);
        }
    }
    return out;
}

std::vector<uint8_t> AssembleArchive(uint32_t version, uint32_t count, const std::vector<uint8_t>& directory,
                                     const std::vector<uint8_t>& data, int level) {
    std::vector<uint8_t> out;
    PutU32(out, version);
    PutU32(out, count);
    if (version == 0) {
        out.insert(out.end(), directory.begin(), directory.end());
    } else {
        std::vector<uint8_t> packed = Deflate(directory.data(), directory.size(), level);
        PutU32(out, static_cast<uint32_t>(directory.size()));
        PutU32(out, static_cast<uint32_t>(packed.size()));
        if (version == 2) out.resize(kHeaderSizeV2, 0);  // reserved field and block
        out.insert(out.end(), packed.begin(), packed.end());
    }
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

namespace {

void CheckDistinctNames(const std::vector<InputFile>& files) {
    for (size_t i = 1; i < files.size(); ++i) {
        if (FoldCase(files[i - 1].name) == FoldCase(files[i].name))
            throw PakError("'" + DisplayName(files[i - 1].name) + "' and '" + DisplayName(files[i].name) +
                           "' differ only in case; the installer cannot tell them apart");
    }
}

void CheckSize(uint64_t size) {
    if (size > kMaxArchiveSize)
        throw PakError("the archive would reach 2 GiB, more than the installer can read");
}

// Appends one file's stored form to `data` and fills in its entry.
Entry PackOne(const InputFile& file, const WriteOptions& options, std::vector<uint8_t>& data) {
    if (file.data.size() > 0xFFFFFFFFu)
        throw PakError("'" + DisplayName(file.name) + "' is 4 GiB or larger");
    Entry e;
    e.name = file.name;
    e.offset = static_cast<uint32_t>(data.size());
    e.size = static_cast<uint32_t>(file.data.size());
    const bool mayCompress = options.version != 0 && options.packing != Packing::Store && !file.data.empty();
    if (mayCompress) {
        std::vector<uint8_t> packed = Deflate(file.data.data(), file.data.size(), options.level);
        if (options.packing == Packing::Compress || packed.size() < file.data.size()) {
            e.compressed = 1;
            e.packedSize = static_cast<uint32_t>(packed.size());
            CheckSize(data.size() + packed.size());
            data.insert(data.end(), packed.begin(), packed.end());
            return e;
        }
    }
    CheckSize(data.size() + file.data.size());
    data.insert(data.end(), file.data.begin(), file.data.end());
    return e;
}

}  // namespace

std::vector<uint8_t> BuildArchive(std::vector<InputFile> files, const WriteOptions& options,
                                  const std::function<void(size_t, size_t)>& progress) {
    if (options.version > 2) throw PakError("unknown archive version " + std::to_string(options.version));
    if (options.version == 0 && options.packing == Packing::Compress)
        throw PakError("version 0 archives cannot hold compressed entries");
    std::sort(files.begin(), files.end(),
              [](const InputFile& a, const InputFile& b) { return EntryOrder(a.name, b.name); });
    CheckDistinctNames(files);
    if (files.size() > 0xFFFFFFFFu) throw PakError("too many files");
    std::vector<Entry> entries;
    std::vector<uint8_t> data;
    for (size_t i = 0; i < files.size(); ++i) {
        entries.push_back(PackOne(files[i], options, data));
        std::vector<uint8_t>().swap(files[i].data);
        if (progress) progress(i + 1, files.size());
    }
    const uint32_t count = static_cast<uint32_t>(entries.size());
    if (options.version == 0) {
        uint64_t base = kHeaderSizeV0 + EncodeDirectory(0, entries).size();
        CheckSize(base + data.size());
        for (Entry& e : entries) e.offset += static_cast<uint32_t>(base);
    }
    std::vector<uint8_t> archive = AssembleArchive(options.version, count, EncodeDirectory(options.version, entries),
                                                   data, options.level);
    CheckSize(archive.size());
    return archive;
}

}  // namespace pak
