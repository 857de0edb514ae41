// IsRemovableTree: the one check in front of every recursive delete. A
// recursive delete that starts at the wrong folder (a root, the Windows
// folder, a path formed with an empty name) destroys what the installer never
// installed, so such paths are refused before anything is touched.
#include "archive/OCPath.h"
#include "archive/OCFile.h"
#include <shlobj.h>
#include "base/Sys.h"

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
    const char* last = sjis::Prev(path, end);
    return IsSeparator(*last) && last > path && IsSeparator(*sjis::Prev(path, last));
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
        while (*p && !IsSeparator(*p)) p = sjis::Next(p);
        if (IsBadComponent(begin, p)) return -1;
        ++count;
        if (*p) ++p;                                 // past the separator
    }
    return count - prefix;
}

// The full, long form of `path` without a trailing backslash.
void Normalize(const char* path, OCString& out) {
    if (!sys::GetFullPath(path, out)) out = path;
    OCString longForm;
    if (sys::GetLongPath(out.GetBuffer(), longForm)) out = longForm;
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
    while (*p && p - text < n) p = sjis::Next(p);
    if (p - text != n || (*p && *p != '\\')) return false;   // not at a folder boundary
    OCString head(text, n);
    return sys::CompareNoCase(head.GetBuffer(), folder.GetBuffer()) == 0;
}

bool TouchesProtectedFolder(const OCString& candidate) {
    static const int kShellFolders[] = {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILES_COMMON,
                                        CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS};
    OCString system, folder;
    if (sys::GetWindowsFolder(system)) {
        Normalize(system.GetBuffer(), folder);
        if (IsSameOrAbove(candidate, folder)) return true;
    }
    if (sys::GetSystemFolder(system)) {
        Normalize(system.GetBuffer(), folder);
        if (IsSameOrAbove(candidate, folder)) return true;
    }
    for (int csidl : kShellFolders) {
        // A folder with a name code page 932 cannot hold (C:\Users\Zoë\...)
        // is stood for by the folders above that name: no path of ours can
        // name it or anything inside it, only those above it.
        OCString shell;
        if (!sys::GetSpecialFolder(csidl, shell, sys::kHeadWillDo) || shell.IsEmpty()) continue;
        Normalize(shell.GetBuffer(), folder);
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
