#include "support/Registry.h"

TestKey::TestKey(HKEY root, const std::string& path) : m_root(root), m_path(path) {
    HKEY key;
    if (RegCreateKeyExA(root, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) == ERROR_SUCCESS)
        RegCloseKey(key);
}

bool KeyExists(HKEY root, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::string RegString(HKEY root, const std::string& path, const char* name) {
    if (!KeyExists(root, path)) return "(no key)";
    char data[2048] = "";
    DWORD size = sizeof data - 1, type = 0;
    if (SHGetValueA(root, path.c_str(), name, &type, data, &size) != ERROR_SUCCESS) return "(no value)";
    return type == REG_SZ ? data : type == REG_DWORD ? std::to_string(*(DWORD*)data) : "(another type)";
}
