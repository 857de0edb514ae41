// Files, folders, drives, modules and named events through the system boundary.
#include "base/Sys.h"
#include <stddef.h>
#include <string.h>

namespace sys {

namespace {

// Runs a call that writes a path into a buffer of n characters and answers
// the length it wrote, or the size it needs (with its NUL) when n was too small.
template <typename WideCall, typename AnsiCall>
bool QueryPath(OCString& out, WideCall wide, AnsiCall ansi) {
    out = "";
    for (DWORD size = MAX_PATH + 1; size <= 65536; ) {
        if (IsNtFamily()) {
            WCHAR* buffer = new WCHAR[size];
            const DWORD n = wide(buffer, size);
            const bool fits = n && n < size;
            const bool converted = fits && ToSjis(buffer, (int)n, out);
            delete[] buffer;
            if (!n) return false;
            if (fits) return converted;
            size = n + 1;
        } else {
            out.Assign(NULL, (int)size);
            if (!out.GetBuffer()) return false;
            const DWORD n = ansi(out.GetBuffer(), size);
            if (n && n < size) {
                out.Assign(out.GetBuffer(), (int)n);  // records the length
                return true;
            }
            out = "";
            if (!n) return false;
            size = n + 1;
        }
    }
    out = "";
    return false;
}

// Copies a found entry's wide fields into the ANSI form the callers read.
bool Narrow(const WIN32_FIND_DATAW& wide, WIN32_FIND_DATAA* found) {
    memcpy(found, &wide, offsetof(WIN32_FIND_DATAW, cFileName));
    OCString name, alternate;
    if (!ToSjis(wide.cAlternateFileName, -1, alternate)) alternate = "";
    if (!ToSjis(wide.cFileName, -1, name) || name.GetLength() >= MAX_PATH) name = alternate;
    if (name.IsEmpty() && wide.cFileName[0]) return false;   // no name it can be reached by
    lstrcpynA(found->cFileName, name.GetBuffer() ? name.GetBuffer() : "", MAX_PATH);
    lstrcpynA(found->cAlternateFileName, alternate.GetBuffer() ? alternate.GetBuffer() : "", 14);
    return true;
}

}  // namespace

FILE* OpenStream(const char* name, const char* mode) {
    if (!IsNtFamily()) return fopen(name, mode);
    return _wfopen(WideText(name), WideText(mode));
}

HANDLE OpenFile(const char* name, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
    if (!IsNtFamily()) return CreateFileA(name, access, share, NULL, disposition, flags, NULL);
    return CreateFileW(WideText(name), access, share, NULL, disposition, flags, NULL);
}

DWORD GetAttributes(const char* name) {
    return IsNtFamily() ? GetFileAttributesW(WideText(name)) : GetFileAttributesA(name);
}

bool SetAttributes(const char* name, DWORD attributes) {
    return (IsNtFamily() ? SetFileAttributesW(WideText(name), attributes)
                         : SetFileAttributesA(name, attributes)) != FALSE;
}

bool MakeFolder(const char* name) {
    return (IsNtFamily() ? CreateDirectoryW(WideText(name), NULL) : CreateDirectoryA(name, NULL)) != FALSE;
}

bool RemoveFile(const char* name) {
    return (IsNtFamily() ? DeleteFileW(WideText(name)) : DeleteFileA(name)) != FALSE;
}

bool RemoveFolder(const char* name) {
    return (IsNtFamily() ? RemoveDirectoryW(WideText(name)) : RemoveDirectoryA(name)) != FALSE;
}

bool Move(const char* from, const char* to, DWORD flags) {
    if (!IsNtFamily()) return MoveFileExA(from, to, flags) != FALSE;
    return MoveFileExW(WideText(from), WideText(to), flags) != FALSE;
}

bool SetCurrentFolder(const char* name) {
    return (IsNtFamily() ? SetCurrentDirectoryW(WideText(name)) : SetCurrentDirectoryA(name)) != FALSE;
}

bool CopyOver(const char* from, const char* to) {
    if (!IsNtFamily()) return CopyFileA(from, to, FALSE) != FALSE;
    return CopyFileW(WideText(from), WideText(to), FALSE) != FALSE;
}

bool MakeTempFile(const char* folder, const char* prefix, OCString& out) {
    out = "";
    if (!IsNtFamily()) {
        char name[MAX_PATH];
        if (!GetTempFileNameA(folder, prefix, 0, name)) return false;
        out = name;
        return true;
    }
    WCHAR name[MAX_PATH];
    if (!GetTempFileNameW(WideText(folder), WideText(prefix), 0, name)) return false;
    if (ToSjis(name, -1, out)) return true;
    DeleteFileW(name);                               // not to be left behind unnamed
    return false;
}

HANDLE FindFirst(const char* pattern, WIN32_FIND_DATAA* found) {
    if (!IsNtFamily()) return FindFirstFileA(pattern, found);
    WIN32_FIND_DATAW wide;
    HANDLE search = FindFirstFileW(WideText(pattern), &wide);
    if (search == INVALID_HANDLE_VALUE) return search;
    while (!Narrow(wide, found)) {
        if (!FindNextFileW(search, &wide)) {
            FindClose(search);
            SetLastError(ERROR_FILE_NOT_FOUND);
            return INVALID_HANDLE_VALUE;
        }
    }
    return search;
}

bool FindNext(HANDLE search, WIN32_FIND_DATAA* found) {
    if (!IsNtFamily()) return FindNextFileA(search, found) != FALSE;
    WIN32_FIND_DATAW wide;
    do {
        if (!FindNextFileW(search, &wide)) return false;
    } while (!Narrow(wide, found));
    return true;
}

bool GetCurrentFolder(OCString& out) {
    return QueryPath(out, [](WCHAR* b, DWORD n) { return GetCurrentDirectoryW(n, b); },
                     [](char* b, DWORD n) { return GetCurrentDirectoryA(n, b); });
}

bool GetCommandLineText(OCString& out) {
    if (IsNtFamily()) return ToSjis(GetCommandLineW(), -1, out);
    out = GetCommandLineA();
    return true;
}

bool GetTempFolder(OCString& out) {
    return QueryPath(out, [](WCHAR* b, DWORD n) { return GetTempPathW(n, b); },
                     [](char* b, DWORD n) { return GetTempPathA(n, b); });
}

bool GetWindowsFolder(OCString& out) {
    return QueryPath(out, [](WCHAR* b, DWORD n) { return GetWindowsDirectoryW(b, n); },
                     [](char* b, DWORD n) { return GetWindowsDirectoryA(b, n); });
}

bool GetSystemFolder(OCString& out) {
    return QueryPath(out, [](WCHAR* b, DWORD n) { return GetSystemDirectoryW(b, n); },
                     [](char* b, DWORD n) { return GetSystemDirectoryA(b, n); });
}

// GetModuleFileName answers the size it wrote, cut short, when the buffer is
// too small: a full buffer is taken as too small.
bool GetModulePath(HMODULE module, OCString& out) {
    return QueryPath(
        out,
        [module](WCHAR* b, DWORD n) { DWORD got = GetModuleFileNameW(module, b, n); return got >= n - 1 ? n + 64 : got; },
        [module](char* b, DWORD n) { DWORD got = GetModuleFileNameA(module, b, n); return got >= n - 1 ? n + 64 : got; });
}

bool GetFullPath(const char* path, OCString& out) {
    WideText wide(path);
    return QueryPath(out, [&wide](WCHAR* b, DWORD n) { return GetFullPathNameW(wide, n, b, NULL); },
                     [path](char* b, DWORD n) { return GetFullPathNameA(path, n, b, NULL); });
}

bool GetLongPath(const char* path, OCString& out) {
    WideText wide(path);
    return QueryPath(out, [&wide](WCHAR* b, DWORD n) { return GetLongPathNameW(wide, b, n); },
                     [path](char* b, DWORD n) { return GetLongPathNameA(path, b, n); });
}

bool GetShortPath(const char* path, OCString& out) {
    WideText wide(path);
    return QueryPath(out, [&wide](WCHAR* b, DWORD n) { return GetShortPathNameW(wide, b, n); },
                     [path](char* b, DWORD n) { return GetShortPathNameA(path, b, n); });
}

UINT GetDriveKind(const char* root) {
    return IsNtFamily() ? GetDriveTypeW(WideText(root)) : GetDriveTypeA(root);
}

bool IsVolumeMounted(const char* root) {
    if (IsNtFamily()) return GetVolumeInformationW(WideText(root), NULL, 0, NULL, NULL, NULL, NULL, 0) != FALSE;
    return GetVolumeInformationA(root, NULL, 0, NULL, NULL, NULL, NULL, 0) != FALSE;
}

bool GetDiskSpace(const char* root, ULONGLONG* freeBytes, ULONGLONG* totalBytes) {
    *freeBytes = *totalBytes = 0;
    ULARGE_INTEGER available, total, free;
    if (IsNtFamily()) {
        if (!GetDiskFreeSpaceExW(WideText(root), &available, &total, &free)) return false;
        *freeBytes = available.QuadPart;
        *totalBytes = total.QuadPart;
        return true;
    }
    // Looked up at run time: the first Windows 95 lacks the call.
    typedef BOOL(WINAPI * GetFreeExA)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    GetFreeExA getFreeEx = kernel ? (GetFreeExA)(void*)GetProcAddress(kernel, "GetDiskFreeSpaceExA") : NULL;
    if (getFreeEx) {
        if (!getFreeEx(root, &available, &total, &free)) return false;
        *freeBytes = available.QuadPart;
        *totalBytes = total.QuadPart;
        return true;
    }
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters)) return false;
    const DWORD cluster = sectorsPerCluster * bytesPerSector;   // 32-bit, as the old call reports
    *freeBytes = (DWORD)(cluster * freeClusters);
    *totalBytes = (DWORD)(cluster * clusters);
    return true;
}

HMODULE LoadModule(const char* path) {
    return IsNtFamily() ? LoadLibraryW(WideText(path)) : LoadLibraryA(path);
}

HANDLE MakeNamedEvent(BOOL manualReset, BOOL signalled, const char* name) {
    if (!IsNtFamily()) return CreateEventA(NULL, manualReset, signalled, name);
    return CreateEventW(NULL, manualReset, signalled, WideText(name));
}

void DebugText(const char* text) {
    if (IsNtFamily()) OutputDebugStringW(WideText(text));
    else OutputDebugStringA(text);
}

}  // namespace sys
