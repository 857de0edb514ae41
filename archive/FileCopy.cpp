// File copies through system handles: a small file costs one open, one read,
// one create, one write and the two closes. OCFile is the fallback for what
// a plain open cannot reach (an archive entry; a file the user retries).
#include "archive/FileCopy.h"
#include "archive/OCFile.h"
#include "archive/OCPath.h"
#include "base/Messages.h"
#include "base/OCException.h"
#include <memory>
#include "base/Sys.h"

namespace {

const unsigned kChunk = 65536;

// The folder part of `path`; false when it has none.
bool FolderOf(const char* path, OCString& folder) {
    OCPath held;
    held.Set(path);
    held.GetDirectory(folder);
    return !folder.IsEmpty() && lstrcmpA(folder.GetBuffer(), path) != 0;
}

HANDLE TryCreate(const char* destination) {
    return sys::OpenFile(destination, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL);
}

// The create again after mending what the failure points at; the failure's
// code stays when there is nothing to mend.
HANDLE CreateAfterMending(const char* destination, DWORD error) {
    OCString folder;
    if (error == ERROR_PATH_NOT_FOUND && FolderOf(destination, folder)) {
        CreateDirectoryPath(folder.GetBuffer());
        return TryCreate(destination);
    }
    if (error == ERROR_ACCESS_DENIED) {
        MakeReplaceable(destination);
        return TryCreate(destination);
    }
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

// The source of CopyFileWithTimes: a disk file through its handle, or what
// OCFile opens when the plain open fails (an archive entry, or the file after
// the user's Retry).
class CopySource {
public:
    // False when there is nothing to copy (missing, or Ignore at the prompt).
    bool Open(const char* name, bool withAttributes) {
        if (OpenSourceFile(name, m_handle, m_facts)) {
            if (withAttributes) m_facts.attributes = sys::GetAttributes(name);
            return true;
        }
        if (!m_file.Open(name, kOpenRead)) return false;
        m_readable = m_file.QuerySize(m_facts.size);
        m_facts.attributes = m_file.GetAttributes();
        return true;
    }
    // False when the system cannot tell the size: nothing can be copied.
    bool Readable() const { return m_readable; }
    // The times as they are once the data is read.
    void ReadTimesAgain() {
        if (m_handle.IsOpen()) return ReadSourceTimes(m_handle.Get(), m_facts);
        FILETIME local[3];
        m_file.GetTimes(&local[0], &local[1], &local[2]);
        LocalFileTimeToFileTime(&local[0], &m_facts.creation);
        LocalFileTimeToFileTime(&local[1], &m_facts.access);
        LocalFileTimeToFileTime(&local[2], &m_facts.write);
    }
    const SourceFacts& Facts() const { return m_facts; }
    unsigned Read(void* dst, unsigned count) {
        if (!m_handle.IsOpen()) return m_file.Read(dst, count);
        DWORD got = 0;
        return ReadFile(m_handle.Get(), dst, count, &got, NULL) ? got : 0;
    }

private:
    FileHandle m_handle;
    OCFile m_file;
    SourceFacts m_facts = {};
    bool m_readable = true;
};

// Throws after a read that delivered nothing before the source's end: a
// shrinking file or a failing medium would otherwise never finish.
[[noreturn]] void ThrowReadFailed(const char* source, FileHandle& target, const char* destination) {
    DWORD code = GetLastError();
    if (code == ERROR_SUCCESS) code = ERROR_HANDLE_EOF;
    if (target.IsOpen()) {
        target.Close();
        sys::RemoveFile(destination);                 // no partial copy stays behind
    }
    OCString message;
    message.Format(kMsgReadFailed, source);
    throw OCErrorException((LONG)code, message.GetBuffer());
}

void CopyData(CopySource& from, FileHandle& to, const char* source, const char* destination,
              ProgressCallback progress, DWORD_PTR user) {
    ULONGLONG remaining = from.Facts().size;
    const unsigned size = remaining < kChunk ? (unsigned)remaining : kChunk;
    std::unique_ptr<BYTE[]> buffer(new BYTE[size ? size : 1]);   // bad_alloc fails the copy
    while (remaining > 0) {
        const unsigned wanted = remaining < size ? (unsigned)remaining : size;
        SetLastError(ERROR_SUCCESS);
        const unsigned got = from.Read(buffer.get(), wanted);
        if (got == 0) ThrowReadFailed(source, to, destination);
        WriteToFile(to.Get(), buffer.get(), got);
        remaining -= got;
        if (progress) progress(got, user);
    }
}

typedef BOOL(WINAPI* SetFileInformationByHandleFn)(HANDLE, int, void*, DWORD);
const int kFileBasicInfo = 0;
struct FileBasicInfo {                             // FILE_BASIC_INFO
    LARGE_INTEGER creation, lastAccess, lastWrite, change;
    DWORD attributes;
};

// Present from Windows Vista on; earlier systems set attributes by name.
SetFileInformationByHandleFn HandleInformationSetter() {
    static const SetFileInformationByHandleFn setter = (SetFileInformationByHandleFn)(void*)GetProcAddress(
        GetModuleHandleA("kernel32.dll"), "SetFileInformationByHandle");
    return setter;
}

LARGE_INTEGER AsLarge(const FILETIME& time) {
    LARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = (LONG)time.dwHighDateTime;
    return value;
}

}  // namespace

bool OpenSourceFile(const char* name, FileHandle& source, SourceFacts& facts) {
    source.Reset(sys::OpenFile(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN));
    if (!source.IsOpen()) return false;
    DWORD high = 0;
    SetLastError(ERROR_SUCCESS);
    const DWORD low = GetFileSize(source.Get(), &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) {
        const DWORD error = GetLastError();
        source.Close();
        SetLastError(error);
        return false;
    }
    facts.size = (ULONGLONG)high << 32 | low;
    facts.attributes = INVALID_FILE_ATTRIBUTES;
    return true;
}

void ReadSourceTimes(HANDLE source, SourceFacts& facts) {
    GetFileTime(source, &facts.creation, &facts.access, &facts.write);
}

TargetFile CreateTargetFile(const char* destination) {
    for (;;) {
        HANDLE created = TryCreate(destination);
        if (created == INVALID_HANDLE_VALUE) created = CreateAfterMending(destination, GetLastError());
        if (created != INVALID_HANDLE_VALUE) return TargetFile{FileHandle(created), GetLastError() != ERROR_ALREADY_EXISTS};
        if (!AskToRetryOpen(destination, GetLastError())) return TargetFile{FileHandle(), false};
    }
}

void WriteToFile(HANDLE target, const void* data, unsigned count) {
    const BYTE* from = (const BYTE*)data;
    while (count > 0) {
        DWORD written = 0;
        if (!WriteFile(target, from, count, &written, NULL) || written == 0) {
            DWORD code = GetLastError();
            if (code == ERROR_SUCCESS) code = ERROR_WRITE_FAULT;
            throw OCErrorException((LONG)code, kMsgWriteFailed);
        }
        from += written;
        count -= written;
    }
}

// A new file has plain attributes already; setting them again costs the
// system several calls per file. A file written over may keep its old ones
// (an administrator may write over a read-only file).
static bool NeedNoAttributes(const TargetFile& target, DWORD attributes) {
    return target.fresh && (attributes & ~(DWORD)(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL)) == 0;
}

void FinishTargetFile(const TargetFile& file, const char* destination, const SourceFacts& facts, DWORD mask) {
    const HANDLE target = file.handle.Get();
    DWORD attributes = 0;
    if (mask != 0xFFFFFFFF) {
        attributes = facts.attributes == INVALID_FILE_ATTRIBUTES ? 0 : facts.attributes & mask;
        attributes &= ~(DWORD)FILE_ATTRIBUTE_DIRECTORY;
    }
    if (NeedNoAttributes(file, attributes)) {
        SetFileTime(target, &facts.creation, &facts.access, &facts.write);
        return;
    }
    if (!attributes) attributes = FILE_ATTRIBUTE_NORMAL;
    if (SetFileInformationByHandleFn setter = HandleInformationSetter()) {
        FileBasicInfo information = {AsLarge(facts.creation), AsLarge(facts.access), AsLarge(facts.write), {},
                                     attributes};
        setter(target, kFileBasicInfo, &information, sizeof information);
        return;
    }
    SetFileTime(target, &facts.creation, &facts.access, &facts.write);
    sys::SetAttributes(destination, attributes);
}

void CopyFileWithTimes(const char* source, const char* destination, int overwrite, DWORD mask,
                       ProgressCallback progress, DWORD_PTR user) {
    RequireFittingPath(destination);                 // never a file under a shortened name
    CopySource from;
    if (!from.Open(source, mask != 0xFFFFFFFF)) return;                  // no empty destination for a missing source
    FileHandle none;
    if (!from.Readable()) ThrowReadFailed(source, none, destination);
    if (overwrite == 0 && FileExists(destination)) return;
    TargetFile to = CreateTargetFile(destination);
    if (!to.handle.IsOpen()) return;
    CopyData(from, to.handle, source, destination, progress, user);
    from.ReadTimesAgain();
    FinishTargetFile(to, destination, from.Facts(), mask);
}

void CopyFromMemory(const void* data, const SourceFacts& facts, const char* destination, DWORD mask,
                    ProgressCallback progress, DWORD_PTR user) {
    RequireFittingPath(destination);
    TargetFile to = CreateTargetFile(destination);
    if (!to.handle.IsOpen()) return;
    const BYTE* from = (const BYTE*)data;
    for (ULONGLONG remaining = facts.size; remaining > 0;) {
        const unsigned count = remaining < kChunk ? (unsigned)remaining : kChunk;
        WriteToFile(to.handle.Get(), from, count);
        from += count;
        remaining -= count;
        if (progress) progress(count, user);
    }
    FinishTargetFile(to, destination, facts, mask);
}
