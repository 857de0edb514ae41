// OCFile: disk files, archive entries and memory blocks behind one object,
// plus the process-wide search folders and the folder helpers.
#include "archive/OCFile.h"
#include <io.h>
#include <cstdlib>
#include <cstring>
#include <new>
#include "archive/OCPak.h"
#include "base/Messages.h"
#include "base/OCException.h"
#include "base/Sys.h"

std::vector<OCString> g_searchDirectories;
DWORD g_quietOpen = 0;

namespace {

const char* ModeText(unsigned mode) {
    switch (mode & 3) {
    case 1: return "w+b";
    case 2: return "a+b";
    default: return "rb";
    }
}

bool ModeWrites(unsigned mode) { return (mode & 3) == 1 || (mode & 3) == 2; }

// Text before the last backslash; false when there is none.
bool FolderPart(const char* path, OCString& folder) {
    OCString text(path, -1);
    if (!text.FindLastChar('\\')) return false;
    text.Delete(0, -1);
    folder = text;
    return true;
}

// The run-time library may have cleared the system's error code by the time
// a failed write returns; it keeps its own copy of it.
[[noreturn]] void ThrowWriteFailed() {
    DWORD code = GetLastError();
    if (code == ERROR_SUCCESS) code = (DWORD)_doserrno;
    if (code == ERROR_SUCCESS) code = ERROR_WRITE_FAULT;
    throw OCErrorException((LONG)code, kMsgWriteFailed);
}

// A read stream takes 64 KiB from the system at a time instead of the
// run-time library's 4 KiB: an archive's entries are read in small pieces.
// Written streams keep the small buffer, whose failures name the cause.
const size_t kReadBuffer = 65536;

FILE* ForReading(FILE* stream) {
    if (stream) setvbuf(stream, NULL, _IOFBF, kReadBuffer);
    return stream;
}

HANDLE StreamHandle(FILE* stream) { return (HANDLE)_get_osfhandle(_fileno(stream)); }

const char* TextOf(const OCString& s) { return s.GetBuffer() ? s.GetBuffer() : ""; }

}  // namespace

OCFile::OCFile()
    : m_stream(NULL), m_compressed(0), m_inArchive(0), m_entry(new OCPakEntry),
      m_memoryMode(0), m_block(NULL), m_cursor(NULL), m_ownsBlock(0) {
    m_base.QuadPart = 0;
}

OCFile::~OCFile() {
    Close();
    delete m_entry;
}

int OCFile::Open(const char* name, unsigned mode) {
    OCString request(name, -1);  // `name` may point into our own path
    return OpenWithPrompt(TextOf(request), mode, true);
}

int OCFile::OpenOnce(const char* name, unsigned mode) {
    OCString request(name, -1);
    return TryOpen(TextOf(request), mode, true);
}

// Tries until a stream is open, the user gives up, or g_quietOpen says not to ask.
int OCFile::OpenWithPrompt(const char* name, unsigned mode, bool searchArchives) {
    for (;;) {
        if (TryOpen(name, mode, searchArchives)) return 1;
        if (!AskToRetryOpen(name, GetLastError())) return 0;
    }
}

int OCFile::TryOpen(const char* name, unsigned mode, bool searchArchives) {
    Close();
    m_path = name;
    const char* modeText = ModeText(mode);
    m_path.Rewind();
    if (m_path.FindChar('*')) {
        if (OpenFirstMatch(name, modeText)) return m_stream != NULL;
        m_path.Delete(0, -1);  // look the text before the asterisk up in the archives
        OCString prefix(m_path);  // the archive opens overwrite m_path
        return searchArchives && OpenFromAnyArchive(TextOf(prefix));
    }
    // Opening is the existence check: a query before it would cost a second
    // lookup of the name for every file that is there.
    if (OpenPlain(name, mode, modeText) || ModeWrites(mode)) return m_stream != NULL;
    const DWORD error = GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    if (!missing && FileExists(name)) {   // there, but it cannot be opened: the caller asks the user
        SetLastError(error);
        return 0;
    }
    return searchArchives && OpenFromAnyArchive(name);
}

// Opens the first non-folder match of `pattern`; false when there is none.
int OCFile::OpenFirstMatch(const char* pattern, const char* modeText) {
    WIN32_FIND_DATAA found;
    HANDLE search = sys::FindFirst(pattern, &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    BOOL more = TRUE;
    while (more && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        more = sys::FindNext(search, &found);
    FindClose(search);
    if (!more) return 0;
    OCString folder;
    if (FolderPart(pattern, folder)) {
        m_path = folder;
        m_path.AppendFormat("\\%s", found.cFileName);
    } else {
        m_path = found.cFileName;  // a pattern without a folder names the current folder
    }
    FILE* stream = sys::OpenStream(m_path.GetBuffer(), modeText);
    AttachStream(modeText[0] == 'r' ? ForReading(stream) : stream);
    return 1;
}

// A write creates the missing folders on the way; they are looked for only
// when the file cannot be created.
int OCFile::OpenPlain(const char* name, unsigned mode, const char* modeText) {
    if (!ModeWrites(mode)) {
        AttachStream(ForReading(sys::OpenStream(name, modeText)));
        return m_stream != NULL;
    }
    AttachStream(sys::OpenStream(name, modeText));
    if (m_stream) return 1;
    const DWORD error = GetLastError();
    OCString folder;
    if (FolderPart(name, folder) && !folder.IsEmpty() && !FileExists(folder.GetBuffer())) {
        CreateDirectoryPath(folder.GetBuffer());
        AttachStream(sys::OpenStream(name, modeText));
    } else {
        SetLastError(error);
    }
    return m_stream != NULL;
}

void OCFile::AttachStream(FILE* stream) {
    m_stream = stream;
    m_base.QuadPart = 0;
    m_inArchive = 0;
    m_compressed = 0;
}

// The current folder first, then every search folder in insertion order.
int OCFile::OpenFromAnyArchive(const char* name) {
    OCString current;
    if (sys::GetCurrentFolder(current) && OpenFromArchives(current.GetBuffer(), name)) return 1;
    for (size_t i = 0; i < g_searchDirectories.size(); i++) {
        const char* folder = g_searchDirectories[i].GetBuffer();
        if (folder && OpenFromArchives(folder, name)) return 1;
    }
    return 0;
}

int OCFile::OpenMemory(void* block, unsigned length) {
    Close();
    m_ownsBlock = block == NULL;
    if (!block) block = new (std::nothrow) BYTE[length];
    m_block = m_cursor = (BYTE*)block;
    m_base.QuadPart = m_block ? length : 0;
    m_memoryMode = 1;
    return 1;
}

void OCFile::Close() {
    if (m_stream) {
        fflush(m_stream);
        fclose(m_stream);
        m_stream = NULL;
        m_path.Clear();
    }
    if (m_block && m_ownsBlock) delete[] m_block;
    m_block = m_cursor = NULL;
    m_ownsBlock = 0;
    m_memoryMode = 0;
    m_inArchive = 0;
    m_compressed = 0;
}

// A decompressed entry's block holds the entry; a caller's block its given length.
unsigned OCFile::BlockLength() const {
    return m_inArchive ? m_entry->size : m_base.LowPart;
}

unsigned OCFile::BytesLeft() const {
    return BlockLength() - (unsigned)(m_cursor - m_block);
}

unsigned OCFile::Read(void* dst, unsigned count) {
    if (m_memoryMode) {
        if (count > BytesLeft()) count = BytesLeft();
        if (count == 0) return 0;
        memcpy(dst, m_cursor, count);
        m_cursor += count;
        return count;
    }
    if (!m_stream) return 0;
    return (unsigned)fread(dst, 1, count, m_stream);
}

bool OCFile::PeekExact(void* dst, unsigned count) {
    if (m_memoryMode) {
        if (count > BytesLeft()) return false;
        memcpy(dst, m_cursor, count);
        return true;
    }
    if (!m_stream) return false;
    unsigned got = (unsigned)fread(dst, 1, count, m_stream);
    fseek(m_stream, -(long)got, SEEK_CUR);
    return got == count;
}

unsigned OCFile::Write(const void* src, unsigned count) {
    if (m_memoryMode) {
        if (count > BytesLeft()) count = BytesLeft();
        if (count == 0) return 0;
        memcpy(m_cursor, src, count);
        m_cursor += count;
        return count;
    }
    if (!m_stream) return 0;
    if (fwrite(src, 1, count, m_stream) != count) ThrowWriteFailed();
    return count;
}

void OCFile::Commit() {
    if (m_stream && !m_memoryMode && fflush(m_stream) != 0) ThrowWriteFailed();
}

int OCFile::Seek(LONGLONG offset, int origin) {
    if (m_memoryMode) {
        if (offset < 0 || (ULONGLONG)offset > BlockLength()) return -1;
        m_cursor = m_block + offset;
        return 0;
    }
    if (!m_stream) return 0;
    if (m_base.QuadPart == 0) return _fseeki64(m_stream, offset, origin);
    const LONGLONG target = (LONGLONG)m_base.QuadPart + offset;
    if (offset < 0 || target < 0) return -1;
    return _fseeki64(m_stream, target, SEEK_SET);
}

bool OCFile::QuerySize(ULONGLONG& size) {
    if (m_memoryMode) return size = BlockLength(), true;
    if (m_inArchive) return size = m_entry->size, true;
    if (!m_stream) return false;
    const __int64 pos = _ftelli64(m_stream);
    if (pos < 0 || _fseeki64(m_stream, 0, SEEK_END) != 0) return false;
    const __int64 end = _ftelli64(m_stream);
    if (_fseeki64(m_stream, pos, SEEK_SET) != 0 || end < 0) return false;
    size = (ULONGLONG)end;
    return true;
}

ULONGLONG OCFile::GetSize() {
    ULONGLONG size = 0;
    return QuerySize(size) ? size : 0;
}

int OCFile::GetTimes(FILETIME* creation, FILETIME* access, FILETIME* write) {
    if (!m_stream) return 1;
    FILETIME times[3] = {};
    GetFileTime(StreamHandle(m_stream), &times[0], &times[1], &times[2]);
    FileTimeToLocalFileTime(&times[0], creation);
    FileTimeToLocalFileTime(&times[1], access);
    FileTimeToLocalFileTime(&times[2], write);
    return 1;
}

int OCFile::SetTimes(const FILETIME* creation, const FILETIME* access, const FILETIME* write) {
    if (!m_stream) return 1;
    FILETIME times[3];
    LocalFileTimeToFileTime(creation, &times[0]);
    LocalFileTimeToFileTime(access, &times[1]);
    LocalFileTimeToFileTime(write, &times[2]);
    fflush(m_stream);  // a later flush of buffered data would stamp the write time again
    return SetFileTime(StreamHandle(m_stream), &times[0], &times[1], &times[2]);
}

DWORD OCFile::GetAttributes() {
    if (!m_stream || m_inArchive || m_memoryMode) return INVALID_FILE_ATTRIBUTES;
    return sys::GetAttributes(m_path.GetBuffer());
}

bool AskToRetryOpen(const char* name, DWORD error) {
    if (g_quietOpen) return false;
    OCString text;
    text.Format(kMsgCannotOpen, name);
    const int answer = text.ShowMessageBox(NULL, kCaptionReadError, MB_ABORTRETRYIGNORE);
    if (answer == IDIGNORE) return false;
    if (answer == IDABORT) {
        text.Format(kMsgOpenFailed, name);
        throw OCErrorException((LONG)error, text.GetBuffer());
    }
    return true;
}

void AddSearchDirectory(const char* folder) { g_searchDirectories.push_back(OCString(folder, -1)); }

int FileExists(const char* path) { return sys::GetAttributes(path) != INVALID_FILE_ATTRIBUTES; }

int PathExistsOnMedium(const char* path) {
    if (path[0] != '\\' && path[0] && path[1] == ':') {
        // The volume root is the drive letter, the colon and a backslash, even
        // for "Q:" (a folder whose trailing backslash was stripped).
        char root[4] = {path[0], ':', '\\', 0};
        if (!sys::IsVolumeMounted(root)) return 0;
    }
    return FileExists(path);
}

void CreateDirectoryPath(const char* path) {
    OCString rest(path, -1);
    OCString token, built;
    while (rest.Tokenize(token, "\\")) {
        built += token.GetBuffer();
        const char* t = token.GetBuffer();
        if (!(t[0] && t[1] == ':')) sys::MakeFolder(built.GetBuffer());
        built += "\\";
    }
}

void RequireFittingPath(const char* path) {
    if (lstrlenA(path) < MAX_PATH) return;
    OCString message;
    message.Format(kFmtPathTooLong, path);
    throw OCErrorException(ERROR_FILENAME_EXCED_RANGE, message.GetBuffer());
}

// The system refuses to replace a read-only file, and a hidden or system
// file unless the new one is created hidden or system too.
void MakeReplaceable(const char* path) {
    const DWORD inTheWay = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const DWORD attributes = sys::GetAttributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & inTheWay)) return;
    sys::SetAttributes(path, attributes & ~inTheWay);
}

// A read-only file in the way refuses to be replaced: its read-only
// attribute is cleared and the open tried again, now with the usual prompt.
// Asking for the attributes first would cost a lookup of every new name.
int OpenForReplace(OCFile& file, const char* path) {
    if (file.OpenOnce(path, kOpenCreate)) return 1;
    MakeReplaceable(path);
    return file.Open(path, kOpenCreate);
}

int EndsWithBackslash(const char* text) {
    if (!text || !*text) return 0;
    return *sjis::Prev(text, text + lstrlenA(text)) == '\\';
}
