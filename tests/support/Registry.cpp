#include "support/Registry.h"
#include "support/Files.h"

TestKey::TestKey(HKEY root, const std::string& path) : m_root(root), m_path(path) {
    HKEY key;
    if (RegCreateKeyExW(root, Wide(path).c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) == ERROR_SUCCESS)
        RegCloseKey(key);
}

bool KeyExists(HKEY root, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExW(root, Wide(path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::string RegString(HKEY root, const std::string& path, const char* name) {
    if (!KeyExists(root, path)) return "(no key)";
    wchar_t data[2048] = L"";
    DWORD size = sizeof data - sizeof data[0], type = 0;
    if (SHGetValueW(root, Wide(path).c_str(), Wide(name).c_str(), &type, data, &size) != ERROR_SUCCESS)
        return "(no value)";
    return type == REG_SZ ? Sjis(data) : type == REG_DWORD ? std::to_string(*(DWORD*)data) : "(another type)";
}

void DeleteKeyTree(HKEY root, const std::string& path) { SHDeleteKeyW(root, Wide(path).c_str()); }

void TestKey::SetString(const char* name, const std::string& value) {
    const std::wstring wide = Wide(value);
    SHSetValueW(m_root, Wide(m_path).c_str(), Wide(name).c_str(), REG_SZ, wide.c_str(),
                (DWORD)((wide.size() + 1) * sizeof(wchar_t)));
}

void TestKey::SetDword(const char* name, DWORD value) {
    SHSetValueW(m_root, Wide(m_path).c_str(), Wide(name).c_str(), REG_DWORD, &value, 4);
}
