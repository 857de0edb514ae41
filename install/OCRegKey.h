// OCRegKey: owner of one open registry key. Every registry access of the
// installer goes through it; failures are silent (no key held, nothing written).
#pragma once
#include <windows.h>
#include "base/OCString.h"

class OCRegKey {
public:
    OCRegKey() : m_key(NULL) {}
    virtual ~OCRegKey() { Close(); }
    OCRegKey(const OCRegKey&) = delete;              // a copy would close the key twice
    OCRegKey& operator=(const OCRegKey&) = delete;

    // Closes the key held, then opens `subkey` with KEY_ALL_ACCESS. With
    // `create` non-zero: 1 only when the key was newly created, 0 when it
    // existed (held all the same) or could not be created. With `create` 0:
    // 1 when the key is held afterwards.
    int Open(HKEY root, const char* subkey, int create);
    // REG_DWORD, 4 bytes. Nothing without a key.
    void SetDword(const char* name, DWORD value);
    // REG_SZ with its terminating zero. Nothing without a key.
    void SetString(const char* name, const OCString& value);
    // Replaces `value` with the string value `name`, however long. Leaves
    // `value` untouched without a key, when the value is missing, or when it
    // is not a string.
    void QueryString(const char* name, OCString& value);
    // Deletes the held key itself (not a key with subkeys on NT). The handle
    // stays held until Close.
    void DeleteSelf();
    // RegCloseKey's result when a key was held, else 0.
    int Close();

    bool IsOpen() const { return m_key != NULL; }

private:
    HKEY m_key;  // NULL while closed
};
