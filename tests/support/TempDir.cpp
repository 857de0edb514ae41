#include "support/TempDir.h"
#include <windows.h>
#include <cstdio>

TempDir::TempDir() {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static int serial = 0;
    char name[MAX_PATH];
    for (;;) {
        wsprintfA(name, "%stest-%lu-%d", base, GetCurrentProcessId(), ++serial);
        if (CreateDirectoryA(name, NULL)) break;
    }
    m_path = name;
}

TempDir::~TempDir() { RemoveTree(m_path); }

void TempDir::Write(const std::string& name, const std::string& bytes) const {
    FILE* f = fopen((*this / name).c_str(), "wb");
    if (!f) return;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

std::string TempDir::Read(const std::string& name) const {
    std::string bytes;
    FILE* f = fopen((*this / name).c_str(), "rb");
    if (!f) return bytes;
    char chunk[4096];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, n);
    fclose(f);
    return bytes;
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}
