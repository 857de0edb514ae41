#pragma once
#include <windows.h>
#include <shlwapi.h>
#include <string>

void DeleteKeyTree(HKEY root, const std::string& path);

// Creates the key; the destructor removes it with everything below it.
class TestKey {
public:
    TestKey(HKEY root, const std::string& path);
    ~TestKey() { DeleteKeyTree(m_root, m_path); }
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;
    void SetString(const char* name, const std::string& value);
    void SetDword(const char* name, DWORD value);

private:
    HKEY m_root;
    std::string m_path;
};

bool KeyExists(HKEY root, const std::string& path);
// A REG_SZ value, or a REG_DWORD one in decimal; "(no key)", "(no value)" or "(another type)" otherwise.
std::string RegString(HKEY root, const std::string& path, const char* name);
