// OCRegKey: open, write, read and delete one registry key.
#include "install/OCRegKey.h"
#include "base/Sys.h"

int OCRegKey::Open(HKEY root, const char* subkey, int create) {
    Close();
    HKEY key = NULL;
    if (create) {
        DWORD disposition = 0;
        if (sys::CreateKey(root, subkey, &key, &disposition) != ERROR_SUCCESS) return 0;
        m_key = key;
        return disposition == REG_CREATED_NEW_KEY ? 1 : 0;
    }
    if (sys::OpenKey(root, subkey, &key) != ERROR_SUCCESS) return 0;
    m_key = key;
    return 1;
}

void OCRegKey::SetDword(const char* name, DWORD value) {
    if (!m_key) return;
    sys::SetNumberValue(m_key, name, value);
}

void OCRegKey::SetString(const char* name, const OCString& value) {
    if (!m_key) return;
    sys::SetTextValue(m_key, name, value.GetBuffer());
}

void OCRegKey::QueryString(const char* name, OCString& value) {
    if (!m_key) return;
    OCString text;
    if (sys::GetTextValue(m_key, name, text) == ERROR_SUCCESS) value = text;
}

void OCRegKey::DeleteSelf() {
    if (!m_key) return;
    RegFlushKey(m_key);
    sys::DeleteKey(m_key, "");
    RegFlushKey(m_key);
}

int OCRegKey::Close() {
    if (!m_key) return 0;
    const int result = (int)RegCloseKey(m_key);
    m_key = NULL;
    return result;
}
