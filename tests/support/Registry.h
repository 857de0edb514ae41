// Registry keys for the tests: keys a test makes and removes again, and the
// values the program under test wrote, read back.
#pragma once
#include <windows.h>
#include <string>

// Creates the key; the destructor removes it with everything below it.
class TestKey {
public:
    TestKey(HKEY root, const std::string& path);
    ~TestKey();
    TestKey(const TestKey&) = delete;
    TestKey& operator=(const TestKey&) = delete;
    void SetString(const char* name, const std::string& value);
    void SetDword(const char* name, DWORD value);

private:
    HKEY m_root;
    std::string m_path;
};

bool KeyExists(HKEY root, const std::string& path);
// A REG_SZ value; "(no key)", "(no value)" or "(not a string)" otherwise.
std::string RegString(HKEY root, const std::string& path, const char* name);
// A REG_DWORD value; 0xFFFFFFFF when there is none.
DWORD RegDword(HKEY root, const std::string& path, const char* name);
// Removes a key with everything below it; a missing key is no error.
void DeleteKeyTree(HKEY root, const std::string& path);
