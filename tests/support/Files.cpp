#include "support/TempDir.h"
#include <windows.h>
#include <cstdio>
#include <cstring>

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadBytes(const std::string& path) {
    std::string bytes;
    if (FILE* f = fopen(path.c_str(), "rb")) {
        char chunk[4096];
        for (size_t n; (n = fread(chunk, 1, sizeof chunk, f)) > 0;) bytes.append(chunk, n);
        fclose(f);
    }
    return bytes;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

template <class Visit>
static bool ForEachEntry(const std::string& folder, Visit visit) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            ok = visit(folder + "\\" + name, name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (ok && FindNextFileA(search, &found));
    FindClose(search);
    return ok;
}

bool CopyTree(const std::string& from, const std::string& to) {
    if (!CreateDirectoryA(to.c_str(), NULL) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    return ForEachEntry(from, [&](const std::string& path, const std::string& name, bool folder) {
        const std::string target = to + "\\" + name;
        return folder ? CopyTree(path, target) : CopyFileA(path.c_str(), target.c_str(), FALSE) != FALSE;
    });
}

void RemoveTree(const std::string& path) {
    ForEachEntry(path, [](const std::string& child, const std::string&, bool folder) {
        SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        folder ? RemoveTree(child) : (void)DeleteFileA(child.c_str());
        return true;
    });
    RemoveDirectoryA(path.c_str());
}

int CountFiles(const std::string& folder) {
    int count = 0;
    ForEachEntry(folder, [&](const std::string& path, const std::string&, bool isFolder) {
        count += isFolder ? CountFiles(path) : 1;
        return true;
    });
    return count;
}

std::string ProgramFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, MAX_PATH);
    *strrchr(path, '\\') = 0;  // the build folder: ASCII, no trail-byte 0x5C
    return path;
}

std::string TempFolder() {
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    return path;
}

TempDir::TempDir() {
    static int serial = 0;
    char name[MAX_PATH];
    do wsprintfA(name, "%stest-%lu-%d", TempFolder().c_str(), GetCurrentProcessId(), ++serial);
    while (!CreateDirectoryA(name, NULL));
    m_path = name;
}
