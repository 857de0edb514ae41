// Sjis: the character rules of the program's text, Shift-JIS (code page
// 932), whatever code page the system runs with. A trail byte 0x5C is part
// of its character, never a backslash.
#pragma once
#include <windows.h>

namespace sjis {

// 0x81-0x9F and 0xE0-0xFC, as code page 932 defines them.
inline bool IsLeadByte(BYTE b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// The next character; stays at the NUL. A lead byte before the NUL is one
// character of its own.
inline const char* Next(const char* p) {
    if (!*p) return p;
    return IsLeadByte((BYTE)p[0]) && p[1] ? p + 2 : p + 1;
}
inline char* Next(char* p) { return const_cast<char*>(Next(static_cast<const char*>(p))); }

// The start of the character before `p`, found by stepping from `start`;
// `start` itself when `p` is at or before it.
inline const char* Prev(const char* start, const char* p) {
    while (*start && start < p) {
        const char* next = Next(start);
        if (next >= p) break;
        start = next;
    }
    return start;
}
inline char* Prev(char* start, char* p) {
    return const_cast<char*>(Prev(static_cast<const char*>(start), static_cast<const char*>(p)));
}

inline bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace sjis
