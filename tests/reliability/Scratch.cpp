#include "Scratch.h"
#include <cstdio>
#include "archive/OCFile.h"

std::set<std::string> ListFolder(const std::string& folder) {
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.insert(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::set<std::string> ListTree(const std::string& folder) {
    std::set<std::string> paths;
    for (const std::string& name : ListFolder(folder)) {
        paths.insert(name);
        const std::string full = folder + "\\" + name;
        if (GetFileAttributesA(full.c_str()) & FILE_ATTRIBUTE_DIRECTORY)
            for (const std::string& below : ListTree(full)) paths.insert(name + "\\" + below);
    }
    return paths;
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool whole = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && whole;
}

QuietScope::QuietScope() { g_quietOpen = 1; }
QuietScope::~QuietScope() { g_quietOpen = 0; }

void Report(const char* what, const std::string& text) {
    printf("[ reliability ] %s: %s\n", what, text.c_str());
    fflush(stdout);
}
