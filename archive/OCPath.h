// OCPath: a held path with the recursive deletes and a few path queries, and
// the free folder and copy helpers of the installer. Results of the Win32
// calls are ignored: what cannot be removed simply stays.
#pragma once
#include <windows.h>
#include "base/OCString.h"

// Called with the full path of a file about to be deleted and the user value.
typedef void (*FileCallback)(const char* path, DWORD_PTR user);
// Called after each copied chunk with its byte count and the user value.
typedef void (*ProgressCallback)(unsigned bytes, DWORD_PTR user);

class OCPath {
public:
    OCPath() : m_user(0), m_fileCallback(NULL) {}
    virtual ~OCPath() {}

    void Set(const char* text) { m_path = text; }
    // The held path becomes the shell folder `csidl`; unchanged on failure.
    void SetSpecialFolder(int csidl);
    void BrowseForFolder(HWND owner, const char* title);  // the shell's folder browser (BrowseFolder.cpp)
    // The text before the last backslash; the whole path when it ends with
    // one or has none (C:\a\b.txt -> C:\a, C:\a\ -> C:\a\, b.txt -> b.txt).
    void GetDirectory(OCString& out) const;
    // Deletes everything below `folder` except read-only files and the
    // folders that lead to them. Does nothing for a folder IsRemovableTree refuses.
    void DeleteTree(const char* folder);
    // Deletes the held file, or with recursive 1 the held folder and all in
    // it. A held path ending with a backslash names a folder whose entries
    // matching `pattern` are removed instead. Read-only files stay.
    void Remove(int recursive, const char* pattern);

    void SetFileCallback(FileCallback callback, DWORD_PTR user) { m_fileCallback = callback; m_user = user; }
    const OCString& GetPath() const { return m_path; }

private:
    void DeleteBelow(const OCString& folder);
    void DeleteOneFile(const char* file);
    void RemoveItem(const char* item, DWORD attributes, int recursive);
    void RemoveMatches(int recursive, const char* pattern);

    OCString m_path;
    DWORD_PTR m_user;               // passed back to m_fileCallback
    FileCallback m_fileCallback;    // may be NULL
};

// False for paths a recursive delete must never touch: empty, a drive or
// share root, a path with an empty, "." or ".." component (one trailing
// backslash is allowed), and the Windows, system, program-files and Start-menu
// Programs folders or any folder that contains one of them.
bool IsRemovableTree(const char* path);

// Removes `path` and then each parent folder while they are empty; never the
// drive. Stops at the first folder that cannot be removed.
void RemoveEmptyFolders(const char* path);

// Copies `source` (a disk file or an archive entry, found through OCFile) to
// `destination` with its three times. overwrite 0 leaves an existing
// destination alone. Unless `mask` is 0xFFFFFFFF the destination gets the
// source's attributes AND `mask` (normal attributes for an archive entry).
// A source that cannot be opened creates no destination; a read-only
// destination is replaced when overwrite is 1. Throws when `destination` is
// MAX_PATH bytes or longer (RequireFittingPath), and
// OCErrorException from OCFile (Abort, short write) and when the source
// ends before its size (the partial destination is deleted).
void CopyFileWithTimes(const char* source, const char* destination, int overwrite, DWORD mask,
                       ProgressCallback progress, DWORD_PTR user);
