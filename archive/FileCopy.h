// The pieces of a file copy that work on system handles: the read-ahead of
// the copy worker opens and reads sources with them, and CopyFileWithTimes
// (archive/OCPath.h) is built from them.
#pragma once
#include <windows.h>
#include "archive/FileHandle.h"

// What a copy carries over besides the bytes. Times are UTC; attributes are
// INVALID_FILE_ATTRIBUTES for an archive entry, which has none of its own.
struct SourceFacts {
    ULONGLONG size;
    FILETIME creation, access, write;
    DWORD attributes;
};

// Opens a disk file for reading and reads its size: one open, no prompt, no
// archive search. The times are read once the data is (ReadSourceTimes); the
// attributes are left unknown, for the caller to know from a search or to
// ask by name. False (with the system's error) when it cannot.
bool OpenSourceFile(const char* name, FileHandle& source, SourceFacts& facts);
// Reads the times again once the data is read: reading may move the access
// time, and the copy carries the times the source has after the copy.
void ReadSourceTimes(HANDLE source, SourceFacts& facts);

// Creates `destination` for writing: the missing folders are made and a
// read-only, hidden or system file in the way is replaced, each only once
// the plain create has failed. Asks Abort/Retry/Ignore as a failed open does;
// an invalid handle after Ignore. Throws OCErrorException after Abort.
struct TargetFile {
    FileHandle handle;
    bool fresh;                    // a new file, not one written over
};
TargetFile CreateTargetFile(const char* destination);

// Writes all `count` bytes; throws OCErrorException (the system's code,
// kMsgWriteFailed) when the system takes fewer, so a full disk says so.
void WriteToFile(HANDLE target, const void* data, unsigned count);

// Gives the written file the source's times and, unless `mask` is
// 0xFFFFFFFF, its attributes AND `mask` (normal for an archive entry).
void FinishTargetFile(const TargetFile& target, const char* destination, const SourceFacts& facts, DWORD mask);

// Writes `facts.size` bytes of `data` to a new `destination` and finishes it
// as CopyFileWithTimes does; progress is called per 64 KiB written. Nothing
// is written when the user chose Ignore at the create.
void CopyFromMemory(const void* data, const SourceFacts& facts, const char* destination, DWORD mask,
                    void (*progress)(unsigned bytes, DWORD_PTR user), DWORD_PTR user);
