// OCString: storage, growth, assignment, queries, cursor movement and searches.
// Editing operations are in OCStringEdit.cpp, formatting in Format.cpp, the
// file operations in OCStringFile.cpp.
#include "base/OCString.h"
#include "base/Sys.h"
#include <limits.h>
#include <new>
#include <string.h>

unsigned CharCodeAt(const char* p) {
    unsigned lead = (unsigned char)p[0];
    if (!sjis::IsLeadByte((BYTE)lead)) return lead;
    WCHAR wide[2];
    // A trail byte is valid when the pair converts to one character.
    if (!p[1] || MultiByteToWideChar(sys::kCodePage, MB_ERR_INVALID_CHARS, p, 2, wide, 2) != 1) return 0;
    return lead * 256 + (unsigned char)p[1];
}

OCString::OCString() : buffer(NULL), capacity(0), length(0), cursor(NULL) {}

OCString::OCString(int reserve) : OCString() { Reserve(reserve); }

OCString::OCString(const char* text, int n) : OCString() { Append(text, n); }

OCString::OCString(const OCString& other) : OCString() { Append(other.buffer, -1); }

OCString::~OCString() { delete[] buffer; }

void OCString::Clear() {
    delete[] buffer;
    buffer = NULL;
    cursor = NULL;
    capacity = 0;
    length = 0;
}

bool OCString::Owns(const char* p) const {
    return buffer && (UINT_PTR)p >= (UINT_PTR)buffer && (UINT_PTR)p <= (UINT_PTR)(buffer + capacity);
}

// Grows the storage so that `length` + n bytes and a NUL fit. On failure the
// string is left empty without storage and false is returned; callers then
// abandon their operation.
bool OCString::Grow(int n) {
    long long needed = (((long long)length + n) & ~63LL) + 64;
    if (needed <= capacity) return true;
    char* storage = needed < INT_MAX ? new (std::nothrow) char[(size_t)needed + 1] : NULL;
    if (!storage) {
        Clear();
        return false;
    }
    storage[0] = 0;
    INT_PTR offset = cursor ? cursor - buffer : 0;
    if (buffer) {
        const char* end = (const char*)memchr(buffer, 0, (size_t)capacity + 1);
        size_t used = end ? (size_t)(end - buffer) : (size_t)capacity;
        memcpy(storage, buffer, used);
        storage[used] = 0;
    }
    delete[] buffer;
    buffer = storage;
    capacity = (int)needed;
    cursor = offset >= 0 && offset <= length ? buffer + offset : buffer;
    return true;
}

// Reservation: empty text with room for n bytes, cursor at the start.
void OCString::Reserve(int n) {
    if (!Grow(n < 0 ? 0 : n)) return;
    buffer[0] = 0;
    length = 0;
    cursor = buffer;
}

void OCString::Append(const char* text, int n) {
    if (!text) {
        if (n == -1) cursor = buffer;
        else Reserve(n);
        return;
    }
    if (n == 0 || n < -1) return;
    if (n == -1) n = lstrlenA(text);
    if (Owns(text)) {
        // The text lies in our own storage, which growth may release.
        OCString copy(text, n);
        if (copy.buffer) Append(copy.buffer, n);
        return;
    }
    length = buffer ? lstrlenA(buffer) : 0;
    if (!Grow(n)) return;
    memcpy(buffer + length, text, (size_t)n);
    length += n;
    buffer[length] = 0;
    cursor = buffer;
}

void OCString::Assign(const char* text, int n) {
    if (text && text == buffer) return;
    if (Owns(text)) {
        OCString copy(text, n);
        TakeOver(copy);
        return;
    }
    Clear();
    Append(text, n);
}

OCString& OCString::operator=(const char* text) {
    if (text != buffer) Assign(text, -1);
    return *this;
}

OCString& OCString::operator=(const OCString& other) { return *this = other.buffer; }

OCString& OCString::operator+=(const char* text) {
    Append(text, -1);
    return *this;
}

void OCString::TakeOver(OCString& other) {
    if (&other == this) return;
    delete[] buffer;
    buffer = other.buffer;
    capacity = other.capacity;
    length = other.length;
    cursor = other.cursor;
    other.buffer = other.cursor = NULL;
    other.capacity = other.length = 0;
}

int OCString::GetLength() const { return buffer ? lstrlenA(buffer) : 0; }

unsigned OCString::GetChar() const { return cursor ? CharCodeAt(cursor) : 0; }

int OCString::ToInt() const {
    if (!buffer) return 0;
    unsigned value = 0;  // wraps like 32-bit arithmetic
    bool negative = false;
    for (const char* p = buffer; *p; p = sjis::Next(p)) {
        unsigned code = CharCodeAt(p);
        if (code >= '0' && code <= '9') value = value * 10 + (code - '0');
        else if (code >= 0x824F && code <= 0x8258) value = value * 10 + (code - 0x824F);  // ０..９
        else if (code == '-' || code == 0x817C) negative = true;                           // －
    }
    return (int)(negative ? 0u - value : value);
}

// Both sides are upper-cased with the system's mapping for code page 932
// (full-width letters included), then compared byte for byte.
int OCString::CompareNoCase(const char* text) const {
    if (!cursor) return -1;
    return sys::CompareNoCase(cursor, text) == 0 ? 0 : 1;
}

char* OCString::SeekEnd() {
    cursor = buffer ? buffer + lstrlenA(buffer) : NULL;
    return cursor;
}

char* OCString::Next() {
    if (cursor && *cursor) cursor = sjis::Next(cursor);
    return cursor;
}

char* OCString::Prev() {
    if (cursor) cursor = sjis::Prev(buffer, cursor);
    return cursor;
}

bool OCString::NextLine() {
    if (!cursor) return false;
    bool lineBreak = false;
    for (char* p = cursor;;) {
        char* next = sjis::Next(p);
        if (next == p) {  // on the NUL: no further step
            cursor = p;
            return lineBreak;
        }
        p = next;
        if (*p == '\r' || *p == '\n') lineBreak = true;
        else if (lineBreak) {
            cursor = p;
            return true;
        }
    }
}

bool OCString::SetHasChar(const char* set, unsigned code) {
    if (!set || !code) return false;
    for (const char* q = set; *q; q = sjis::Next(q))
        if (CharCodeAt(q) == code) return true;
    return false;
}

char* OCString::FindChar(unsigned c) {
    if (!cursor || !c) return NULL;
    for (char* p = cursor; *p; p = sjis::Next(p))
        if (CharCodeAt(p) == c) return cursor = p;
    return NULL;
}

char* OCString::FindLastChar(unsigned c) {
    if (!cursor || !c) return NULL;
    char* found = NULL;
    for (char* p = cursor; *p; p = sjis::Next(p))
        if (CharCodeAt(p) == c) found = p;
    if (found) cursor = found;
    return found;
}

char* OCString::Find(const char* text) {
    if (!cursor || !text) return NULL;
    size_t n = strlen(text);
    for (char* p = cursor;; p = sjis::Next(p)) {
        if (strncmp(p, text, n) == 0) return cursor = p;
        if (!*p) return NULL;
    }
}

char* OCString::FindOneOf(const char* set) {
    if (!cursor) return NULL;
    for (char* p = cursor; *p; p = sjis::Next(p))
        if (SetHasChar(set, CharCodeAt(p))) return cursor = p;
    return NULL;
}

char* OCString::SkipChars(const char* set) {
    if (!cursor) return NULL;
    for (char* p = cursor; *p; p = sjis::Next(p))
        if (!SetHasChar(set, CharCodeAt(p))) return cursor = p;
    return NULL;
}

int OCString::ShowMessageBox(HWND owner, const char* caption, unsigned flags) const {
    return sys::ShowMessage(owner, buffer ? buffer : "", caption, flags | MB_TOPMOST);
}
