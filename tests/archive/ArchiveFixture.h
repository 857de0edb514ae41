// The file-layer tests' scratch folder, also the current folder (Open looks in its
// archives), with no search folders and a quiet open; archives from the authors' tool.
#pragma once
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>
#include "PakArchive.h"
#include "archive/OCFile.h"
#include "base/OCException.h"
#include "support/TempDir.h"

class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        GetCurrentDirectoryA(MAX_PATH, m_saved);
        SetCurrentDirectoryA(dir.Path().c_str());
        g_searchDirectories.clear();
        g_quietOpen = 1;
    }
    void TearDown() override {
        SetCurrentDirectoryA(m_saved);  // lets the scratch folder go
        g_searchDirectories.clear();
        g_quietOpen = 0;
    }
    TempDir dir;
    char m_saved[MAX_PATH];
};

inline std::string Str(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

using Files = std::vector<std::pair<std::string, std::string>>;  // (name, bytes)

inline std::string Pak(uint32_t version, const Files& files, pak::Packing packing = pak::Packing::Store) {
    std::vector<pak::InputFile> input;
    for (const auto& file : files) input.push_back({file.first, {file.second.begin(), file.second.end()}});
    return Str(pak::BuildArchive(input, {version, packing}));
}

// The whole file or archive entry, as GetSize says.
inline std::string ReadEntry(OCFile& file) {
    std::string bytes(file.GetSize(), '\0');
    file.Seek(0, SEEK_SET);
    bytes.resize(file.Read(&bytes[0], (unsigned)bytes.size()));
    return bytes;
}

// The message of the OCErrorException that `action` throws; "" for none.
template <class F> std::string ErrorOf(F action) {
    try {
        action();
    } catch (const OCErrorException& e) {
        return e.message.GetBuffer() ? e.message.GetBuffer() : "(empty)";
    }
    return "";
}
