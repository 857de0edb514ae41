// The conversions between the program's Shift-JIS and the system's UTF-16.
#include "base/Sys.h"
#include <string.h>

namespace sys {

bool IsNtFamily() {
    static const bool nt = (GetVersion() & 0x80000000u) == 0;
    return nt;
}

WideText::WideText(const char* text) : m_text(NULL) {
    if (!text) return;
    // Without MB_ERR_INVALID_CHARS a stray byte becomes a replacement
    // character, never a refusal: the call then fails on a name that is not there.
    int n = MultiByteToWideChar(kCodePage, 0, text, -1, NULL, 0);
    m_text = new WCHAR[n > 0 ? n : 1];
    if (n <= 0 || !MultiByteToWideChar(kCodePage, 0, text, -1, m_text, n)) m_text[0] = 0;
}

bool ToSjis(const WCHAR* text, int length, OCString& out) {
    out = "";
    if (length < 0) length = lstrlenW(text);
    if (length == 0) return true;
    // No best fit: "ë" must not quietly become "e" and name another file.
    BOOL lossy = FALSE;
    int n = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text, length, NULL, 0, NULL, &lossy);
    if (n <= 0 || lossy) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return false;
    }
    out.Assign(NULL, n);
    if (!out.GetBuffer()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text, length, out.GetBuffer(), n, NULL, NULL);
    out.GetBuffer()[n] = 0;
    out.Assign(out.GetBuffer(), n);  // records the length
    return true;
}

// The wide upper-casing round trip keeps the byte length: every character
// code page 932 folds has an upper-case form of the same width in it.
void UpperCase(char* text, int length) {
    if (!text) return;
    if (length < 0) length = lstrlenA(text);
    if (!IsNtFamily()) {
        CharUpperBuffA(text, (DWORD)length);
        return;
    }
    OCString part(text, length);
    WideText wide(part.GetBuffer() ? part.GetBuffer() : "");
    const int n = lstrlenW(wide);
    CharUpperBuffW(const_cast<WCHAR*>(static_cast<const WCHAR*>(wide)), (DWORD)n);
    OCString upper;
    if (ToSjis(wide, n, upper) && upper.GetLength() == length) memcpy(text, upper.GetBuffer(), (size_t)length);
}

int CompareNoCase(const char* a, const char* b) {
    OCString left(a ? a : "", -1), right(b ? b : "", -1);
    if (!left.GetBuffer() || !right.GetBuffer()) return -1;
    UpperCase(left.GetBuffer(), -1);
    UpperCase(right.GetBuffer(), -1);
    return strcmp(left.GetBuffer(), right.GetBuffer());
}

}  // namespace sys
