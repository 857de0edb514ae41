// The file-layer tests' scratch folder, also the current folder (Open looks
// in its archives), with no search folders and a quiet open.
#pragma once
#include <gtest/gtest.h>
#include <string>
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

private:
    char m_saved[MAX_PATH];
};

// The whole file or archive entry from its start, as GetSize says.
inline std::string ReadEntry(OCFile& file) {
    std::string bytes(file.GetSize(), '\0');
    file.Seek(0, SEEK_SET);
    bytes.resize(file.Read(&bytes[0], (unsigned)bytes.size()));
    return bytes;
}

// The message of the OCErrorException that `action` throws; "" when none.
template <class F> std::string ErrorOf(F action) {
    try {
        action();
    } catch (const OCErrorException& e) {
        return e.message.GetBuffer() ? e.message.GetBuffer() : "(empty)";
    }
    return "";
}
