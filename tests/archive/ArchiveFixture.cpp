#include "ArchiveFixture.h"

void ArchiveTest::SetUp() {
    GetCurrentDirectoryA(MAX_PATH, m_savedFolder);
    SetCurrentDirectoryA(dir.Path().c_str());
    g_searchDirectories.clear();
    g_quietOpen = 1;
}

void ArchiveTest::TearDown() {
    SetCurrentDirectoryA(m_savedFolder);  // lets the scratch folder go
    g_searchDirectories.clear();
    g_quietOpen = 0;
}

std::string ReadAll(OCFile& file, unsigned limit) {
    std::string bytes;
    char chunk[4096];
    unsigned n;
    while (bytes.size() < limit && (n = file.Read(chunk, sizeof chunk)) > 0) bytes.append(chunk, n);
    return bytes.substr(0, limit);
}

std::string ReadEntry(OCFile& file) {
    std::string bytes(file.GetSize(), '\0');
    file.Seek(0, 0);
    bytes.resize(file.Read(&bytes[0], bytes.size()));
    return bytes;
}

bool FolderExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
