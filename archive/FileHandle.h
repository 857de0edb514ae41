// FileHandle: owns one system file handle and closes it when it goes.
#pragma once
#include <windows.h>

class FileHandle {
public:
    FileHandle() : m_handle(INVALID_HANDLE_VALUE) {}
    explicit FileHandle(HANDLE handle) : m_handle(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    FileHandle(FileHandle&& other) : m_handle(other.Release()) {}
    FileHandle& operator=(FileHandle&& other) {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    bool IsOpen() const { return m_handle != INVALID_HANDLE_VALUE && m_handle != NULL; }
    HANDLE Get() const { return m_handle; }
    void Reset(HANDLE handle) {
        Close();
        m_handle = handle;
    }
    HANDLE Release() {
        const HANDLE handle = m_handle;
        m_handle = INVALID_HANDLE_VALUE;
        return handle;
    }
    void Close() {
        if (IsOpen()) CloseHandle(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE m_handle;
};
