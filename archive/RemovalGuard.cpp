// IsRemovableTree: the one check in front of every recursive delete. A
// recursive delete that starts at the wrong folder (a root, the Windows
// folder, a path formed with an empty name) destroys what the installer never
// installed, so such paths are refused before anything is touched.
#include "archive/OCPath.h"
#include "archive/OCFile.h"
#include <shlobj.h>

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A component made of dots and spaces only ("", ".", "..", "...") names the
// folder itself, its parent, or is dropped by the system's path rules.
bool IsBadComponent(const char* begin, const char* end) {
    for (const char* p = begin; p < end; ++p)
        if (*p != '.' && *p != ' ') return false;
    return true;
}

// True when the path ends in two separators: its last name was empty, so it
// names the folder above the one meant ("Programs\Maker\\" for a game
// without a menu name).
bool EndsWithEmptyName(const char* path) {
    const char* end = path + lstrlenA(path);
    if (end == path) return false;
    const char* last = CharPrevA(path, end);
    return IsSeparator(*last) && last > path && IsSeparator(*CharPrevA(path, last));
}

// Counts the components of `path` after its drive or share prefix; -1 when
// one of them is bad. Doubled separators inside the path count as one, as
// they do for the system (a game without a maker name forms "C:\Games\\Title");
// at its end they are refused (see EndsWithEmptyName).
int CountComponents(const char* path) {
    if (EndsWithEmptyName(path)) return -1;
    const char* p = path;
    int prefix = 0;                                  // components that only name a root
    if (p[0] && p[1] == ':') {
        p += 2;
        if (IsSeparator(*p)) ++p;
    } else if (IsSeparator(p[0]) && IsSeparator(p[1])) {
        p += 2;                                      // \\server\share\...
        prefix = 2;
    } else if (IsSeparator(*p)) {
        ++p;
    }
    int count = 0;
    while (*p) {
        if (IsSeparator(*p)) {                       // "a\\b" is "a\b" to the system
            ++p;
            continue;
        }
        const char* begin = p;
        while (*p && !IsSeparator(*p)) p = CharNextA(p);
        if (IsBadComponent(begin, p)) return -1;
        ++count;
        if (*p) ++p;                                 // past the separator
    }
    return count - prefix;
}

// The full, long form of `path` without a trailing backslash.
void Normalize(const char* path, OCString& out) {
    out = path;
    DWORD size = GetFullPathNameA(path, 0, NULL, NULL);
    OCString full((int)size);
    if (size && full.GetBuffer() && GetFullPathNameA(path, size, full.GetBuffer(), NULL) < size)
        out = full.GetBuffer();
    size = GetLongPathNameA(out.GetBuffer(), NULL, 0);
    OCString longForm((int)size);
    if (size && longForm.GetBuffer() && GetLongPathNameA(out.GetBuffer(), longForm.GetBuffer(), size) < size)
        out = longForm.GetBuffer();
    if (EndsWithBackslash(out.GetBuffer())) {
        out.SeekEnd();
        out.Delete(0, (int)(out.Prev() - out.GetBuffer()));
    }
}

// True when `folder` is `other` or one of the folders above it.
bool IsSameOrAbove(const OCString& folder, const OCString& other) {
    const int n = folder.GetLength();
    if (n == 0 || n > other.GetLength()) return false;
    const char* text = other.GetBuffer();
    const char* p = text;
    while (*p && p - text < n) p = CharNextA(p);
    if (p - text != n || (*p && *p != '\\')) return false;   // not at a folder boundary
    OCString head(text, n);
    return lstrcmpiA(head.GetBuffer(), folder.GetBuffer()) == 0;
}

bool TouchesProtectedFolder(const OCString& candidate) {
    static const int kShellFolders[] = {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILES_COMMON,
                                        CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS};
    char system[MAX_PATH];
    OCString folder;
    if (GetWindowsDirectoryA(system, MAX_PATH)) {
        Normalize(system, folder);
        if (IsSameOrAbove(candidate, folder)) return true;
    }
    if (GetSystemDirectoryA(system, MAX_PATH)) {
        Normalize(system, folder);
        if (IsSameOrAbove(candidate, folder)) return true;
    }
    for (int csidl : kShellFolders) {
        OCPath shell;
        shell.SetSpecialFolder(csidl);
        if (shell.GetPath().IsEmpty()) continue;
        Normalize(shell.GetPath().GetBuffer(), folder);
        if (IsSameOrAbove(candidate, folder)) return true;
    }
    return false;
}

}  // namespace

bool IsRemovableTree(const char* path) {
    if (!path || !*path || CountComponents(path) < 1) return false;
    OCString candidate;
    Normalize(path, candidate);
    if (CountComponents(candidate.GetBuffer()) < 1) return false;   // "C:foo" may resolve to a root
    return !TouchesProtectedFolder(candidate);
}
