#include "support/TempDir.h"
#include <windows.h>
#include <cstdio>
#include <cstring>

std::wstring Wide(const std::string& sjis) {
    std::wstring wide(sjis.size() + 1, L'\0');
    wide.resize(MultiByteToWideChar(932, 0, sjis.c_str(), (int)sjis.size(), &wide[0], (int)wide.size()));
    return wide;
}

std::string Sjis(const std::wstring& wide) {
    std::string sjis(wide.size() * 2 + 1, '\0');
    sjis.resize(WideCharToMultiByte(932, 0, wide.c_str(), (int)wide.size(), &sjis[0], (int)sjis.size(), NULL, NULL));
    return sjis;
}

bool Exists(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string ReadBytes(const std::string& path) {
    std::string bytes;
    if (FILE* f = _wfopen(Wide(path).c_str(), L"rb")) {
        char chunk[4096];
        for (size_t n; (n = fread(chunk, 1, sizeof chunk, f)) > 0;) bytes.append(chunk, n);
        fclose(f);
    }
    return bytes;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    FILE* f = _wfopen(Wide(path).c_str(), L"wb");
    if (!f) return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && ok;
}

template <class Visit>
static bool ForEachEntry(const std::string& folder, Visit visit) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Wide(folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    do {
        const std::string name = Sjis(found.cFileName);
        if (name != "." && name != "..")
            ok = visit(folder + "\\" + name, name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (ok && FindNextFileW(search, &found));
    FindClose(search);
    return ok;
}

bool CopyTree(const std::string& from, const std::string& to) {
    if (!CreateDirectoryW(Wide(to).c_str(), NULL) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    return ForEachEntry(from, [&](const std::string& path, const std::string& name, bool folder) {
        const std::string target = to + "\\" + name;
        return folder ? CopyTree(path, target) : CopyFileW(Wide(path).c_str(), Wide(target).c_str(), FALSE) != FALSE;
    });
}

void RemoveTree(const std::string& path) {
    ForEachEntry(path, [](const std::string& child, const std::string&, bool folder) {
        SetFileAttributesW(Wide(child).c_str(), FILE_ATTRIBUTE_NORMAL);
        folder ? RemoveTree(child) : (void)DeleteFileW(Wide(child).c_str());
        return true;
    });
    RemoveDirectoryW(Wide(path).c_str());
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
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(NULL, path, MAX_PATH);
    *wcsrchr(path, L'\\') = 0;
    return Sjis(path);
}

std::string TempFolder() {
    wchar_t path[MAX_PATH];
    GetTempPathW(MAX_PATH, path);
    return Sjis(path);
}

TempDir::TempDir() {
    static int serial = 0;
    do m_path = TempFolder() + "test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    while (!CreateDirectoryW(Wide(m_path).c_str(), NULL));
}
