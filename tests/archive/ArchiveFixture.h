// Shared set-up for the file-layer tests: a scratch folder that is also the
// current folder (Open searches the archives there), an empty search-folder
// list and a quiet open, all restored afterwards.
#pragma once
#include <gtest/gtest.h>
#include <string>
#include "archive/OCFile.h"
#include "support/TempDir.h"

class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    TempDir dir;

private:
    char m_savedFolder[MAX_PATH];
};

// Everything the object delivers from its position on, up to `limit` bytes.
std::string ReadAll(OCFile& file, unsigned limit = 1 << 20);
// The whole object from its start, as GetSize says.
std::string ReadEntry(OCFile& file);
// The message of the OCErrorException that `action` throws; "" when none.
template <class F> std::string ErrorMessageOf(F action);
bool FolderExists(const std::string& path);

#include "base/OCException.h"
template <class F> std::string ErrorMessageOf(F action) {
    try {
        action();
    } catch (const OCErrorException& e) {
        return e.message.GetBuffer() ? e.message.GetBuffer() : "(empty)";
    }
    return "";
}
