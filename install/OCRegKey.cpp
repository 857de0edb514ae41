// OCRegKey: open, write, read and delete one registry key.
#include "install/OCRegKey.h"

int OCRegKey::Open(HKEY root, const char* subkey, int create) {
    Close();
    HKEY key = NULL;
    if (create) {
        DWORD disposition = 0;
        if (RegCreateKeyExA(root, subkey, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL,
                            &key, &disposition) != ERROR_SUCCESS)
            return 0;
        m_key = key;
        return disposition == REG_CREATED_NEW_KEY ? 1 : 0;
    }
    if (RegOpenKeyExA(root, subkey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return 0;
    m_key = key;
    return 1;
}

void OCRegKey::SetDword(const char* name, DWORD value) {
    if (!m_key) return;
    RegSetValueExA(m_key, name, 0, REG_DWORD, (const BYTE*)&value, sizeof value);
}

void OCRegKey::SetString(const char* name, const OCString& value) {
    if (!m_key) return;
    const char* text = value.GetBuffer() ? value.GetBuffer() : "";
    RegSetValueExA(m_key, name, 0, REG_SZ, (const BYTE*)text, (DWORD)lstrlenA(text) + 1);
}

void OCRegKey::QueryString(const char* name, OCString& value) {
    if (!m_key) return;
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(m_key, name, NULL, &type, NULL, &size) != ERROR_SUCCESS) return;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return;
    // Sized from the stored value, with room for a zero the writer may have left out.
    OCString text((int)size + 1);
    if (!text.GetBuffer()) return;
    DWORD got = (DWORD)text.GetCapacity();
    if (RegQueryValueExA(m_key, name, NULL, &type, (BYTE*)text.GetBuffer(), &got) != ERROR_SUCCESS) return;
    text.GetBuffer()[got] = '\0';
    value = text.GetBuffer();
}

void OCRegKey::DeleteSelf() {
    if (!m_key) return;
    RegFlushKey(m_key);
    RegDeleteKeyA(m_key, "");
    RegFlushKey(m_key);
}

int OCRegKey::Close() {
    if (!m_key) return 0;
    const int result = (int)RegCloseKey(m_key);
    m_key = NULL;
    return result;
}
