// OCFile: the one file object. At any moment it is closed, a disk file (a
// buffered stdio stream), a window onto one entry of a *.pak archive, or a
// block of memory. Open looks on disk first and, for reading, falls back to
// the archives of the current folder and of g_searchDirectories.
#pragma once
#include <windows.h>
#include <cstdio>
#include <vector>
#include "base/OCString.h"

class OCPakEntry;
class OCPakHeader;

// Open modes: only the two low bits count (64, used by the image loader,
// opens for reading).
enum {
    kOpenRead = 0,        // "rb"
    kOpenCreate = 1,      // "w+b": create or truncate, read and write
    kOpenAppend = 2,      // "a+b": open or create, read and append
};

class OCFile {
public:
    OCFile();
    virtual ~OCFile();
    OCFile(const OCFile&) = delete;                  // a copy would close the stream twice
    OCFile& operator=(const OCFile&) = delete;

    // 1 when a stream is open afterwards, 0 when the user chose Ignore or
    // g_quietOpen is set. Throws OCErrorException when the user chose Abort,
    // or when an archive entry cannot be decompressed.
    int Open(const char* name, unsigned mode);
    // One attempt of Open, never a prompt: 1 when a stream is open.
    int OpenOnce(const char* name, unsigned mode);
    // Serves reads and writes from `block` (allocated and owned when NULL).
    // Always 1; both stop at the block's end.
    int OpenMemory(void* block, unsigned length);
    void Close();

    // Bytes delivered; short at the end of the file or of the block.
    unsigned Read(void* dst, unsigned count);
    // True only when all `count` bytes arrived.
    bool ReadExact(void* dst, unsigned count) { return Read(dst, count) == count; }
    // Bytes written; a short write to a stream throws OCErrorException.
    unsigned Write(const void* src, unsigned count);
    // Hands buffered data of a written stream to the system; throws
    // OCErrorException (kMsgWriteFailed) when that fails, so that the last
    // bytes of a file on a full disk are not lost at Close without a word.
    void Commit();
    // 0 on success. Inside an archive entry (and in memory mode) the offset
    // is always taken from the entry's (block's) start, whatever the origin.
    int Seek(LONGLONG offset, int origin);
    // The entry's size for an archive entry, the block's length in memory
    // mode, the file's length for a plain file (64 bits: DVD files pass
    // 4 GiB); false when closed or when the system cannot tell.
    bool QuerySize(ULONGLONG& size);
    // QuerySize's answer, 0 when it has none.
    ULONGLONG GetSize();
    // Local times of the open file (the archive's for an entry). Always 1;
    // the outputs stay untouched without a stream.
    int GetTimes(FILETIME* creation, FILETIME* access, FILETIME* write);
    // 1 without a stream, else the result of SetFileTime.
    int SetTimes(const FILETIME* creation, const FILETIME* access, const FILETIME* write);
    // The attributes of the open disk file; INVALID_FILE_ATTRIBUTES for an
    // archive entry, a memory block or a closed object.
    DWORD GetAttributes();

    // Inflates one zlib stream of `packedLength` bytes at the current position
    // into `dst`; returns the bytes produced. Throws OCErrorException
    // (kMsgInflateFailed) on a corrupt, truncated or over-long stream.
    unsigned ReadCompressed(unsigned packedLength, void* dst, unsigned dstLength);
    // 1 when an archive of `folder` holds an entry whose name begins with
    // `name` (case-insensitive); the object then serves it. 0 and closed
    // otherwise. Throws as Open and ReadCompressed do.
    int OpenFromArchives(const char* folder, const char* name);

    // The stdio stream, for decoders that read one directly; NULL when closed.
    // For an archive entry it is the archive file.
    FILE* stream() const { return m_stream; }
    const OCString& GetPath() const { return m_path; }
    const OCPakEntry& GetEntry() const { return *m_entry; }

    // Reads `count` bytes without moving the position; false when fewer arrive.
    bool PeekExact(void* dst, unsigned count);

private:
    int TryOpen(const char* name, unsigned mode, bool searchArchives);
    int OpenWithPrompt(const char* name, unsigned mode, bool searchArchives);
    int OpenFirstMatch(const char* pattern, const char* modeText);
    int OpenPlain(const char* name, unsigned mode, const char* modeText);
    int OpenFromAnyArchive(const char* name);
    void AttachStream(FILE* stream);
    unsigned BlockLength() const;
    unsigned BytesLeft() const;  // memory mode: bytes between the cursor and the block's end
    int SearchArchive(const char* name);
    int ScanDirectoryV0(const char* name, DWORD count);
    int ScanDirectoryPacked(const char* name, const OCPakHeader& header);
    void ServeEntry(ULONGLONG position);
    void InflateEntry();

    FILE* m_stream;              // the disk file; for an entry, the archive
    OCString m_path;             // last name opened (expanded, or the archive's)
    DWORD m_compressed;          // the current entry is stored compressed
    DWORD m_inArchive;           // the object serves an archive entry
    OCPakEntry* m_entry;         // reused by every archive lookup
    ULARGE_INTEGER m_base;       // entry data start; block length in memory mode; HighPart 0
    DWORD m_memoryMode;          // reads and writes are served from m_block
    BYTE* m_block;
    BYTE* m_cursor;              // within m_block .. its end
    DWORD m_ownsBlock;           // m_block is freed by Close
};

// Archive search folders, in insertion order; never shrunk.
extern std::vector<OCString> g_searchDirectories;
// While set, Open fails silently instead of asking the user.
extern DWORD g_quietOpen;

// The prompt after a failed open of `name` (Abort, Retry, Ignore): true for
// Retry; false for Ignore and, without asking, while g_quietOpen is set.
// Throws OCErrorException (`error`, kMsgOpenFailed) for Abort.
bool AskToRetryOpen(const char* name, DWORD error);
void AddSearchDirectory(const char* folder);
// 1 when GetFileAttributesA succeeds.
int FileExists(const char* path);
// 1 when the path's volume is mounted (drive paths) and the path exists.
int PathExistsOnMedium(const char* path);
// Creates every folder of the chain; errors (existing folders) are ignored.
void CreateDirectoryPath(const char* path);
// Throws OCErrorException (ERROR_FILENAME_EXCED_RANGE, kFmtPathTooLong) when
// `path` is MAX_PATH bytes or longer: the system's file calls would refuse it
// or work on a shortened name.
void RequireFittingPath(const char* path);
// Clears the read-only, hidden and system attributes of an existing file
// that is about to be replaced; nothing for a missing file.
void MakeReplaceable(const char* path);
// Opens `path` with kOpenCreate, replacing a read-only file too; as Open,
// 1 when a stream is open afterwards.
int OpenForReplace(OCFile& file, const char* path);
// 1 when the last character (not byte) is a backslash; 0 for NULL.
int EndsWithBackslash(const char* text);
