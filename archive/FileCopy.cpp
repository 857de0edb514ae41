// CopyFileWithTimes: one file, in 64 KiB chunks, with its times and
// (masked) attributes.
#include "archive/OCPath.h"
#include "archive/OCFile.h"
#include "base/Messages.h"
#include "base/OCException.h"
#include <memory>
#include <new>
#include "base/Sys.h"

namespace {

const unsigned kChunk = 65536;

// Throws after a read that delivered nothing before the source's end: a
// shrinking file or a failing medium would otherwise never finish.
[[noreturn]] void ThrowReadFailed(const char* source, OCFile& destination, const char* name) {
    DWORD code = GetLastError();
    if (code == ERROR_SUCCESS) code = ERROR_HANDLE_EOF;
    destination.Close();
    sys::RemoveFile(name);                               // no partial copy stays behind
    OCString message;
    message.Format(kMsgReadFailed, source);
    throw OCErrorException((LONG)code, message.GetBuffer());
}

void CopyData(OCFile& source, OCFile& destination, BYTE* buffer, const char* sourceName,
              const char* destinationName, ProgressCallback progress, DWORD_PTR user) {
    ULONGLONG remaining = 0;
    if (!source.QuerySize(remaining)) ThrowReadFailed(sourceName, destination, destinationName);
    while (remaining > 0) {
        const unsigned wanted = remaining < kChunk ? (unsigned)remaining : kChunk;
        SetLastError(ERROR_SUCCESS);
        const unsigned got = source.Read(buffer, wanted);
        if (got == 0) ThrowReadFailed(sourceName, destination, destinationName);
        destination.Write(buffer, got);
        remaining -= got;
        if (progress) progress(got, user);
    }
}

void CopyTimes(OCFile& source, OCFile& destination) {
    FILETIME creation, access, write;
    source.GetTimes(&creation, &access, &write);
    destination.SetTimes(&creation, &access, &write);
}

// An archive entry has no attributes of its own: it becomes a normal file.
// Both ends are open, so neither name is looked up again.
void CopyAttributes(OCFile& source, OCFile& destination, DWORD mask) {
    DWORD attributes = source.GetAttributes();
    attributes = attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes & mask;
    attributes &= ~(DWORD)FILE_ATTRIBUTE_DIRECTORY;
    destination.SetAttributes(attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
}

}  // namespace

void CopyFileWithTimes(const char* source, const char* destination, int overwrite, DWORD mask,
                       ProgressCallback progress, DWORD_PTR user) {
    RequireFittingPath(destination);                 // never a file under a shortened name
    OCFile from;
    if (!from.Open(source, kOpenRead)) return;       // no empty destination for a missing source
    if (overwrite == 0 && FileExists(destination)) return;
    std::unique_ptr<BYTE[]> buffer(new (std::nothrow) BYTE[kChunk]);
    if (!buffer) return;
    OCFile to;
    if (!OpenForReplace(to, destination)) return;
    CopyData(from, to, buffer.get(), source, destination, progress, user);
    buffer.reset();
    to.Commit();
    CopyTimes(from, to);
    if (mask != 0xFFFFFFFF) CopyAttributes(from, to, mask);
    to.Close();
    from.Close();
}
