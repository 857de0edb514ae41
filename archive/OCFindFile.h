// OCFindFile: owner of one FindFirstFileA search handle.
#pragma once
#include <windows.h>
#include "base/Sys.h"

class OCFindFile {
public:
    OCFindFile() : m_handle(INVALID_HANDLE_VALUE) {}
    virtual ~OCFindFile() { Close(); }
    OCFindFile(const OCFindFile&) = delete;          // a copy would close the search twice
    OCFindFile& operator=(const OCFindFile&) = delete;

    // True when the pattern matched; `found` then holds the first entry.
    bool First(const char* pattern, WIN32_FIND_DATAA* found) {
        Close();
        m_handle = sys::FindFirst(pattern, found);
        return m_handle != INVALID_HANDLE_VALUE;
    }
    bool Next(WIN32_FIND_DATAA* found) { return sys::FindNext(m_handle, found) != FALSE; }
    void Close() {
        if (m_handle != INVALID_HANDLE_VALUE) FindClose(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_handle;  // INVALID_HANDLE_VALUE while closed
};
