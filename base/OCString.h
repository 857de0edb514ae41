// OCString: the program's one text type. Owned, growable, NUL-terminated
// Shift-JIS text (code page 932, whatever the system's) with a recorded
// length and a scan cursor. Storage grows in blocks of 64 bytes and comes from
// the nothrow allocator: running out leaves the string empty. Only Replace
// throws (OCException) when it cannot grow.
#pragma once
#include <windows.h>
#include <stdarg.h>
#include "base/Sjis.h"

#ifdef UNICODE
#error "Text inside the program is Shift-JIS (code page 932); wide text only at the system boundary"
#endif

class OCFile;

class OCString {
public:
    OCString();
    explicit OCString(int reserve);                  // capacity = (reserve & ~63) + 64
    OCString(const char* text, int length);          // length -1: measure the text
    OCString(const wchar_t*) = delete;               // no wide entry points
    OCString(const OCString& other);                 // sized for other's text, not capacity
    virtual ~OCString();

    // Assignment. Text inside this string's own storage is copied first.
    void Assign(const char* text, int length);       // Assign(NULL, n): empty, reserve n
    OCString& operator=(const char* text);           // NULL: empty, no storage
    OCString& operator=(const OCString& other);
    OCString& operator+=(const char* text);
    void Append(const char* text, int length);       // length -1: measure; cursor to start
    void Clear();                                    // releases the storage

    // Formatting (run-time library printf family, msvcrt forms).
    void Format(const char* format, ...) __attribute__((format(ms_printf, 2, 3)));
    void AppendFormat(const char* format, ...) __attribute__((format(ms_printf, 2, 3)));
    void AppendFormatV(const char* format, va_list args);

    // Queries. GetLength measures up to the first NUL.
    char* GetBuffer() const { return buffer; }
    char* GetCursor() const { return cursor; }
    int GetCapacity() const { return capacity; }     // text bytes the storage holds
    bool IsEmpty() const { return !buffer || !buffer[0]; }
    int GetLength() const;
    unsigned GetChar() const;                        // lead*256+trail; 0 at NUL or bad trail
    int ToInt() const;                               // whole text; ASCII/full-width digits and minus
    int CompareNoCase(const char* text) const;       // from the cursor; 0 when equal, -1 no cursor

    // Cursor movement, by whole characters.
    void Rewind() { cursor = buffer; }
    char* SeekEnd();
    char* Next();
    char* Prev();
    bool NextLine();                                 // to the first char of the next non-empty line

    // Searches from the cursor: on success the cursor moves there and it is
    // returned; otherwise NULL and the cursor stays.
    char* FindChar(unsigned c);
    char* FindLastChar(unsigned c);
    char* Find(const char* text);
    char* FindOneOf(const char* set);
    char* SkipChars(const char* set);

    // Editing. pos -1 (or outside the text) works at the cursor.
    char* Insert(const char* text, int pos);         // cursor behind the inserted text
    char* Delete(int count, int pos);                // count 0: to the end; NULL if count > length
    void Replace(const char* find, const char* replacement);  // throws OCException(0) on failure
    void CopyRange(OCString& out, const char* from, const char* to) const;  // NULL = start / end
    char* Tokenize(OCString& out, const char* delimiters);    // token start, NULL when none left

    // Files (an open OCFile; see OCStringFile.cpp).
    void LoadFromFile(OCFile& file);                 // whole file as text
    void ReadString(OCFile& file);                   // 32-bit count, then the bytes
    unsigned WriteToFile(OCFile& file) const;        // the text without its NUL

    // A message box with MB_TOPMOST added; returns the button identifier.
    int ShowMessageBox(HWND owner, const char* caption, unsigned flags) const;

private:
    bool Grow(int n);                                // false when the storage is gone
    void Reserve(int n);
    void TakeOver(OCString& other);                  // moves other's storage here
    bool Owns(const char* p) const;
    int CursorOffset() const;
    void MoveCursorTo(int pos);
    static bool SetHasChar(const char* set, unsigned code);
    bool FormatInPlace(const char* format, va_list args);
    enum class Formatted { Done, Rejected, NoStorage };
    Formatted FormatAlone(const char* format, va_list args);  // on an empty string

    char* buffer;     // owned storage of capacity + 1 bytes, or NULL
    int capacity;     // 0 or a multiple of 64
    int length;       // recorded text length in bytes
    char* cursor;     // within buffer .. its NUL, or NULL
};

// The character code at `p`: byte value, lead*256+trail, or 0 for a lead
// byte without a valid trail byte.
unsigned CharCodeAt(const char* p);
