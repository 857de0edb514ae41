// UnpackArchive: reads an archive's directory once and writes its entries out.
#include "install/Unpack.h"
#include <windows.h>
#include <climits>
#include <memory>
#include <new>
#include <vector>
#include "archive/OCFile.h"
#include "archive/OCPak.h"
#include "archive/PakFormat.h"
#include "base/Messages.h"
#include "base/OCException.h"

namespace {

const unsigned kChunk = 65536;

[[noreturn]] void ThrowDamaged() { throw OCErrorException(ERROR_INVALID_DATA, kMsgInflateFailed); }

[[noreturn]] void ThrowReadFailed(const char* archivePath) {
    DWORD code = GetLastError();
    OCString message;
    message.Format(kMsgReadFailed, archivePath);
    throw OCErrorException((LONG)(code ? code : ERROR_HANDLE_EOF), message.GetBuffer());
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// One component [from, to). Empty, "." and ".." lead out of (or nowhere in)
// the folder, and so may any run of dots and spaces, which the system trims;
// a colon would name a drive or a stream.
bool IsPlainComponent(const char* from, const char* to) {
    bool onlyDots = true;
    for (const char* p = from; p < to; p = sjis::Next(p)) {
        if (*p == ':') return false;
        if (*p != '.' && *p != ' ') onlyDots = false;
    }
    return !onlyDots;
}

struct Directory {
    std::vector<OCPakEntry> entries;
    ULONGLONG dataStart = 0;             // added to each offset (0 for v0)
};

// Reads `count` entries from `source`; a directory that ends early is damaged.
void ReadEntries(OCFile& source, DWORD version, DWORD count, unsigned left, Directory& dir) {
    for (DWORD i = 0; i < count; i++) {
        OCPakEntry entry;
        if (!entry.Read(source, version, left)) ThrowDamaged();
        if (!IsSafeEntryName(entry.name.GetBuffer())) ThrowDamaged();
        dir.entries.push_back(entry);
    }
}

// v1 and v2: the directory is one zlib stream right after the header.
void ReadPackedDirectory(OCFile& archive, const OCPakHeader& header, Directory& dir) {
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[header.dirSize ? header.dirSize : 1]);
    if (!block) ThrowDamaged();
    const unsigned produced = archive.ReadCompressed(header.dirPackedSize, block.get(), header.dirSize);
    OCFile memory;
    memory.OpenMemory(block.get(), produced);
    ReadEntries(memory, header.version, header.count, produced, dir);
    dir.dataStart = (ULONGLONG)pak::HeaderSize(header.version) + header.dirPackedSize;
}

Directory ReadDirectory(OCFile& archive) {
    OCPakHeader header;
    header.Read(archive);
    Directory dir;
    if (header.version == 1 || header.version == 2) {
        ReadPackedDirectory(archive, header, dir);
    } else {
        const ULONGLONG size = archive.GetSize();
        const ULONGLONG rest = size > pak::kHeaderSizeV0 ? size - pak::kHeaderSizeV0 : 0;
        unsigned left = rest > UINT_MAX ? UINT_MAX : (unsigned)rest;
        ReadEntries(archive, 0, header.count, left, dir);
    }
    return dir;
}

void SeekToData(OCFile& archive, ULONGLONG position) {
    if (position > (ULONGLONG)LLONG_MAX || archive.Seek((LONGLONG)position, SEEK_SET) != 0) ThrowDamaged();
}

void CopyStored(OCFile& archive, OCFile& target, DWORD size, const char* archivePath) {
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[kChunk]);
    if (!buffer) ThrowDamaged();
    for (DWORD left = size; left > 0;) {
        const unsigned wanted = left < kChunk ? left : kChunk;
        SetLastError(ERROR_SUCCESS);
        if (!archive.ReadExact(buffer.get(), wanted)) ThrowReadFailed(archivePath);
        target.Write(buffer.get(), wanted);
        left -= wanted;
    }
}

// The whole stream must inflate to exactly the recorded size: anything else
// would leave a silently damaged file behind.
// One block for every compressed entry of an archive, grown to the largest
// so far: a fresh block per entry had the system map and zero its pages
// again each time, which cost more than inflating into them.
class EntryBuffer {
public:
    BYTE* Get(unsigned size) {
        if (size > m_capacity || !m_block) {
            m_block.reset();
            m_capacity = 0;
            m_block.reset(new (std::nothrow) BYTE[size ? size : 1]);
            if (m_block) m_capacity = size;
        }
        return m_block.get();
    }

private:
    std::unique_ptr<BYTE[]> m_block;
    unsigned m_capacity = 0;
};

void CopyCompressed(OCFile& archive, OCFile& target, const OCPakEntry& entry, EntryBuffer& buffer) {
    BYTE* block = buffer.Get(entry.size);
    if (!block) ThrowDamaged();
    if (archive.ReadCompressed(entry.packedSize, block, entry.size) != entry.size) ThrowDamaged();
    target.Write(block, entry.size);
}

}  // namespace

bool IsSafeEntryName(const char* name) {
    if (!name || !*name || IsSeparator(name[0])) return false;
    const char* start = name;
    for (const char* p = name;; p = sjis::Next(p)) {
        if (*p && !IsSeparator(*p)) continue;
        if (!IsPlainComponent(start, p)) return false;
        if (!*p) return true;
        start = p + 1;
    }
}

unsigned UnpackArchive(const char* archivePath, const char* targetFolder) {
    OCFile archive;
    if (!archive.Open(archivePath, kOpenRead)) return 0;      // skipped at the prompt
    const Directory dir = ReadDirectory(archive);
    unsigned stored = 0;
    EntryBuffer inflated;
    for (const OCPakEntry& entry : dir.entries) {
        OCString targetPath;
        targetPath.Format("%s\\%s", targetFolder, entry.name.GetBuffer());
        RequireFittingPath(targetPath.GetBuffer());
        OCFile target;
        if (!OpenForReplace(target, targetPath.GetBuffer())) continue;   // skipped at the prompt
        SeekToData(archive, dir.dataStart + entry.offset);
        if (entry.compressed) {
            CopyCompressed(archive, target, entry, inflated);
        } else {
            CopyStored(archive, target, entry.size, archivePath);
            stored += entry.size;
        }
        target.Commit();
    }
    return stored;
}
