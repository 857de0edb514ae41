// The *.pak reader: finds a named entry in the archives of a folder and
// leaves the OCFile serving it, and inflates zlib streams for it.
#include <windows.h>
#include <mbctype.h>
#include <mbstring.h>
#include <zlib.h>
#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <new>
#include <vector>
#include "archive/OCFile.h"
#include "archive/OCPak.h"
#include "archive/PakFormat.h"
#include "base/Messages.h"
#include "base/OCException.h"
#include "base/Sys.h"

namespace {

const unsigned kInputChunk = 4096;

OCErrorException InflateError() { return OCErrorException(kMsgInflateFailed); }

bool ReadField(OCFile& file, DWORD& field) {
    DWORD value;
    if (!file.ReadExact(&value, sizeof value)) return false;
    field = value;
    return true;
}

// Case-insensitive in code page 932, whatever the system's, so double-byte
// characters compare as units and full-width letters fold too. Only the
// request's bytes count: an entry that begins with the request matches.
bool NameMatches(const char* request, const OCString& entryName) {
    static const int kNamesCodePage = _setmbcp(sys::kCodePage);  // once, before the first name
    (void)kNamesCodePage;
    const char* name = entryName.GetBuffer() ? entryName.GetBuffer() : "";
    return _mbsnbicmp((const unsigned char*)request, (const unsigned char*)name,
                      strlen(request)) == 0;
}

// The *.pak files of `folder` (no trailing backslash), in lstrcmpA order.
std::vector<OCString> ListArchives(const OCString& folder) {
    std::vector<OCString> paths;
    OCString pattern;
    pattern.Format("%s\\*.pak", folder.GetBuffer());
    WIN32_FIND_DATAA found;
    HANDLE search = sys::FindFirst(pattern.GetBuffer(), &found);
    if (search == INVALID_HANDLE_VALUE) return paths;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        OCString path;
        path.Format("%s\\%s", folder.GetBuffer(), found.cFileName);
        paths.push_back(path);
    } while (sys::FindNext(search, &found));
    FindClose(search);
    std::sort(paths.begin(), paths.end(), [](const OCString& a, const OCString& b) {
        return lstrcmpA(a.GetBuffer(), b.GetBuffer()) < 0;
    });
    return paths;
}

}  // namespace

OCPakHeader::OCPakHeader()
    : version(0), count(0), dirSize(0), dirPackedSize(0), reserved(0) {
    memset(reservedBlock, 0, sizeof reservedBlock);
}

void OCPakHeader::Read(OCFile& file) {
    if (!ReadField(file, version) || version > 2) return;
    if (!ReadField(file, count) || version == 0) return;
    if (!ReadField(file, dirSize) || !ReadField(file, dirPackedSize) || version == 1) return;
    if (!ReadField(file, reserved)) return;
    BYTE block[sizeof reservedBlock];
    if (file.ReadExact(block, sizeof block)) memcpy(reservedBlock, block, sizeof block);
}

bool OCPakEntry::Read(OCFile& file, DWORD version, unsigned& left) {
    DWORD nameLength;
    unsigned fields = pak::EntryFieldsSize(version);
    if (left < 4 + fields || !file.PeekExact(&nameLength, 4)) return false;
    if (nameLength > left - 4 - fields) return false;
    name.ReadString(file);
    // Without storage for the name its bytes were not read: the walk would
    // go on out of step, so it stops as at a damaged directory.
    if (nameLength > 0 && !name.GetBuffer()) return false;
    DWORD values[5] = {};
    if (!file.ReadExact(values, fields)) return false;
    left -= 4 + nameLength + fields;
    offset = values[0];             // values[1] is reserved
    size = values[2];
    compressed = version == 0 ? 0 : values[3];
    packedSize = version == 0 ? 0 : values[4];
    return true;
}

int OCFile::OpenFromArchives(const char* folder, const char* name) {
    OCString dir(folder, -1), request(name, -1);  // both may point into m_path
    dir.SeekEnd();
    dir.Prev();
    if (dir.GetChar() == '\\') dir.Delete(0, -1);
    const char* requestText = request.GetBuffer() ? request.GetBuffer() : "";
    if (!dir.GetBuffer() || !PathExistsOnMedium(dir.GetBuffer())) {
        Close();
        return 0;
    }
    std::vector<OCString> archives = ListArchives(dir);
    try {
        for (size_t i = 0; i < archives.size(); i++) {
            OpenWithPrompt(archives[i].GetBuffer(), kOpenRead, false);
            if (SearchArchive(requestText)) return 1;
            Close();
        }
    } catch (...) {
        Close();
        throw;
    }
    return 0;
}

// Looks `name` up in the archive just opened on this object.
int OCFile::SearchArchive(const char* name) {
    OCPakHeader header;
    header.Read(*this);
    if (header.version == 0) return ScanDirectoryV0(name, header.count);
    return ScanDirectoryPacked(name, header);
}

// A v0 directory lies uncompressed in the file, right after the header.
int OCFile::ScanDirectoryV0(const char* name, DWORD count) {
    const ULONGLONG size = GetSize();
    const ULONGLONG rest = size > pak::kHeaderSizeV0 ? size - pak::kHeaderSizeV0 : 0;
    unsigned left = rest > UINT_MAX ? UINT_MAX : (unsigned)rest;
    for (DWORD i = 0; i < count && m_entry->Read(*this, 0, left); i++) {
        if (!NameMatches(name, m_entry->name)) continue;
        ServeEntry(m_entry->offset);
        return 1;
    }
    return 0;
}

// v1, v2 (and unknown versions, whose empty directory fails to inflate).
int OCFile::ScanDirectoryPacked(const char* name, const OCPakHeader& header) {
    std::unique_ptr<BYTE[]> directory(new (std::nothrow) BYTE[header.dirSize]);
    if (!directory) throw InflateError();
    unsigned produced = ReadCompressed(header.dirPackedSize, directory.get(), header.dirSize);
    OCFile entries;
    entries.OpenMemory(directory.get(), produced);  // only the bytes inflated
    unsigned left = produced;
    for (DWORD i = 0; i < header.count && m_entry->Read(entries, header.version, left); i++) {
        if (!NameMatches(name, m_entry->name)) continue;
        ULONGLONG dataArea = (ULONGLONG)pak::HeaderSize(header.version) + header.dirPackedSize;
        ServeEntry(dataArea + m_entry->offset);
        m_compressed = m_entry->compressed;
        if (m_compressed) InflateEntry();
        return 1;
    }
    return 0;
}

// Positions the archive at the entry's data; data that would start past the
// archive's end means a damaged archive.
void OCFile::ServeEntry(ULONGLONG position) {
    ULONGLONG size = 0;
    if (!QuerySize(size) || position > size || _fseeki64(m_stream, (LONGLONG)position, SEEK_SET) != 0)
        throw InflateError();
    m_base.QuadPart = position;
    m_inArchive = 1;
}

// Inflates the current entry into an owned block and serves it from memory.
void OCFile::InflateEntry() {
    BYTE* block = new (std::nothrow) BYTE[m_entry->size];
    if (!block) throw InflateError();
    m_block = block;
    m_ownsBlock = 1;
    unsigned produced = ReadCompressed(m_entry->packedSize, block, m_entry->size);
    memset(block + produced, 0, m_entry->size - produced);  // a short stream leaves zeros
    m_base.QuadPart = 0;
    m_cursor = block;
    m_memoryMode = 1;
}

unsigned OCFile::ReadCompressed(unsigned packedLength, void* dst, unsigned dstLength) {
    BYTE input[kInputChunk];
    unsigned consumed = Read(input, std::min(packedLength, kInputChunk));
    z_stream z;
    memset(&z, 0, sizeof z);
    z.next_in = input;
    z.avail_in = consumed;
    z.next_out = (Bytef*)dst;
    z.avail_out = dstLength;
    if (inflateInit(&z) != Z_OK) throw InflateError();
    int result = Z_OK;
    if (consumed > 0) {
        while ((result = inflate(&z, Z_NO_FLUSH)) != Z_STREAM_END) {
            if (result != Z_OK) break;
            if (z.avail_in > 0) continue;
            // Hand over only what arrived: a truncated file ends the input.
            unsigned got = Read(input, std::min(packedLength - consumed, kInputChunk));
            consumed += got;
            z.next_in = input;
            z.avail_in = got;
        }
    }
    if (result == Z_OK || result == Z_STREAM_END) {
        do result = inflate(&z, Z_FINISH); while (result == Z_OK);
    }
    unsigned produced = (unsigned)z.total_out;
    inflateEnd(&z);
    if (result != Z_STREAM_END) throw InflateError();
    return produced;
}
