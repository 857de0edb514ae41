// Registry keys and values through the system boundary.
#include "base/Sys.h"

namespace sys {

LONG CreateKey(HKEY root, const char* subkey, HKEY* key, DWORD* disposition) {
    if (!IsNtFamily())
        return RegCreateKeyExA(root, subkey, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL, key,
                               disposition);
    return RegCreateKeyExW(root, WideText(subkey), 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL, key,
                           disposition);
}

LONG OpenKey(HKEY root, const char* subkey, HKEY* key) {
    if (!IsNtFamily()) return RegOpenKeyExA(root, subkey, 0, KEY_ALL_ACCESS, key);
    return RegOpenKeyExW(root, WideText(subkey), 0, KEY_ALL_ACCESS, key);
}

LONG DeleteKey(HKEY key, const char* subkey) {
    return IsNtFamily() ? RegDeleteKeyW(key, WideText(subkey)) : RegDeleteKeyA(key, subkey);
}

LONG SetNumberValue(HKEY key, const char* name, DWORD value) {
    if (!IsNtFamily()) return RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE*)&value, sizeof value);
    return RegSetValueExW(key, WideText(name), 0, REG_DWORD, (const BYTE*)&value, sizeof value);
}

LONG SetTextValue(HKEY key, const char* name, const char* value) {
    if (!value) value = "";
    if (!IsNtFamily())
        return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)value, (DWORD)lstrlenA(value) + 1);
    WideText wide(value);
    const DWORD bytes = ((DWORD)lstrlenW(wide) + 1) * sizeof(WCHAR);
    return RegSetValueExW(key, WideText(name), 0, REG_SZ, (const BYTE*)(const WCHAR*)wide, bytes);
}

namespace {

// The stored bytes of a text value, with room for a NUL the writer may have left out.
template <typename Char, typename Query>
LONG ReadText(Query query, Char*& text, DWORD& count) {
    DWORD type = 0, size = 0;
    LONG status = query(&type, (BYTE*)NULL, &size);
    if (status != ERROR_SUCCESS) return status;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_INVALID_DATATYPE;
    count = size / sizeof(Char);
    text = new Char[count + 1];
    DWORD got = count * sizeof(Char);
    status = query(&type, (BYTE*)text, &got);
    count = status == ERROR_SUCCESS ? got / sizeof(Char) : 0;
    text[count] = 0;
    return status;
}

}  // namespace

LONG GetTextValue(HKEY key, const char* name, OCString& out) {
    out = "";
    if (!IsNtFamily()) {
        char* text = NULL;
        DWORD count = 0;
        const LONG status = ReadText<char>(
            [&](DWORD* type, BYTE* data, DWORD* size) { return RegQueryValueExA(key, name, NULL, type, data, size); },
            text, count);
        if (status == ERROR_SUCCESS) out = text;
        delete[] text;
        return status;
    }
    WideText wideName(name);
    WCHAR* text = NULL;
    DWORD count = 0;
    LONG status = ReadText<WCHAR>(
        [&](DWORD* type, BYTE* data, DWORD* size) { return RegQueryValueExW(key, wideName, NULL, type, data, size); },
        text, count);
    if (status == ERROR_SUCCESS && !ToSjis(text, -1, out)) status = ERROR_NO_UNICODE_TRANSLATION;
    delete[] text;
    return status;
}

}  // namespace sys
