// Unpacking whole *.pak archives into a folder.
#pragma once

// Writes every entry of the archive at `archivePath` below `targetFolder`,
// creating folders on the way. Returns the total size of the entries that
// were stored uncompressed (compressed ones do not count). An archive the
// user chose to skip at the open prompt yields 0 and writes nothing.
// A read-only file in the way is replaced.
// Throws OCErrorException when the user aborts the open, on a target path
// of MAX_PATH bytes or more (before anything of that entry is written), on a damaged
// archive (bad directory, inflate failure, an entry name that would leave
// the target folder), on a short read and on a failed write.
unsigned UnpackArchive(const char* archivePath, const char* targetFolder);

// True for a relative name whose every component is a real name: no drive,
// no leading separator, no empty, "." or ".." component ('\' and '/' both
// separate).
bool IsSafeEntryName(const char* name);
