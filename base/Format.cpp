// printf-style formatting into an OCString. The format and its arguments are
// walked once to estimate the output length, the string grows once for that,
// and the run-time library (msvcrt: I64, %S, h/l marks) writes the text behind
// the current text. The write is bounded by the storage: output that exceeds
// the estimate is measured exactly and written again after a second growth.
#include "base/OCString.h"
#include <limits.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

namespace {

const long long kTooLong = INT_MAX;  // estimates are capped here; growth then fails

// The argument list as it is consumed by the walk.
struct ArgWalk {
    va_list ap;
};

struct Conversion {
    long long width = 0;
    long long precision = 0;
    bool is64 = false;
    char mark = 0;  // 'h' single-byte, 'l' wide, 0 none
};

long long ReadNumber(const char*& p) {
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        if (value < kTooLong) value = value * 10 + (*p - '0');
    return value;
}

long long Larger(long long a, long long b) { return a > b ? a : b; }

// Flags, width, precision and size prefix; returns the bytes the "#" flags add.
long long ReadSpecification(const char*& p, Conversion& c, ArgWalk& args) {
    long long extra = 0;
    for (; *p && strchr("#*-+0 ", *p); ++p) {
        if (*p == '#') extra += 2;  // room for a "0x" prefix
        else if (*p == '*') c.width = va_arg(args.ap, int);
    }
    if (c.width == 0) c.width = ReadNumber(p);
    if (*p == '.') {
        ++p;
        if (*p == '*') {
            c.precision = va_arg(args.ap, int);
            ++p;
        } else {
            c.precision = ReadNumber(p);
        }
    }
    for (;;) {
        if (strncmp(p, "I64", 3) == 0) {
            c.is64 = true;
            p += 3;
        } else if (*p == 'h' || *p == 'l') {
            c.mark = *p++;
        } else if (*p == 'F' || *p == 'L' || *p == 'N') {
            ++p;
        } else {
            return extra;
        }
    }
}

// Text items: %c, %C, %s, %S.
long long TextEstimate(char type, const Conversion& c, ArgWalk& args) {
    long long size = 2;
    if (type == 'c' || type == 'C') {
        va_arg(args.ap, int);
    } else if (type == 'S' ? c.mark != 'h' : c.mark == 'l') {
        const wchar_t* wide = va_arg(args.ap, const wchar_t*);
        size = wide ? Larger((long long)wcslen(wide), 1) : 6;
    } else {
        const char* text = va_arg(args.ap, const char*);
        size = text ? Larger((long long)strlen(text), 1) : 6;  // "(null)"
    }
    if (c.precision > 0 && c.precision < size) size = c.precision;
    return Larger(size, c.width);
}

// The length of a fixed-point value with six more digits of precision.
long long FixedEstimate(const Conversion& c, ArgWalk& args) {
    double value = va_arg(args.ap, double);
    int width = (int)(c.width < kTooLong ? c.width : kTooLong);
    int precision = (int)(c.precision + 6 < kTooLong ? c.precision + 6 : kTooLong);
    return Larger(_scprintf("%*.*f", width, precision, value), 0);
}

long long ItemEstimate(char type, const Conversion& c, ArgWalk& args) {
    long long widthAndPrecision = c.width + c.precision;
    switch (type) {
    case 'c': case 'C': case 's': case 'S':
        return TextEstimate(type, c, args);
    case 'd': case 'i': case 'o': case 'u': case 'x': case 'X':
        if (c.is64) va_arg(args.ap, long long);
        else va_arg(args.ap, int);
        return Larger(32, widthAndPrecision);
    case 'e': case 'E': case 'g': case 'G':
        va_arg(args.ap, double);
        return Larger(128, widthAndPrecision);
    case 'f':
        return FixedEstimate(c, args);
    case 'p':
        va_arg(args.ap, void*);
        return Larger(32, widthAndPrecision);
    case 'n':
        va_arg(args.ap, void*);
        return 0;
    default:
        return 0;
    }
}

// An upper bound of the output length for the conversions above.
long long EstimateFormat(const char* format, va_list args) {
    ArgWalk walk;
    va_copy(walk.ap, args);
    long long total = 0;
    for (const char* p = format; *p && total < kTooLong;) {
        if (*p != '%') {
            const char* next = sjis::Next(p);
            total += next - p;
            p = next;
        } else if (p[1] == '%') {
            total += 1;
            p += 2;
        } else {
            Conversion c;
            ++p;
            total += ReadSpecification(p, c, walk);
            char type = *p;
            if (type) ++p;
            total += Larger(ItemEstimate(type, c, walk), 0);
        }
    }
    va_end(walk.ap);
    return total;
}

}  // namespace

// Every format is written into a string of its own first: an argument may
// point into this string's storage, which growth releases and the output
// would overwrite.
void OCString::Format(const char* format, ...) {
    OCString formatted;
    va_list args;
    va_start(args, format);
    if (format) formatted.FormatAlone(format, args);
    va_end(args);
    TakeOver(formatted);
}

void OCString::AppendFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    AppendFormatV(format, args);
    va_end(args);
}

void OCString::AppendFormatV(const char* format, va_list args) {
    if (!format) return;
    OCString formatted;
    const Formatted outcome = formatted.FormatAlone(format, args);
    if (outcome == Formatted::NoStorage) Clear();  // as a failed growth
    if (outcome != Formatted::Done) return;
    // Measured, so that text a Windows call wrote into the storage is kept.
    length = buffer ? lstrlenA(buffer) : 0;
    const int added = formatted.length;
    if (!Grow(added)) return;                      // the cursor stays where it was
    memcpy(buffer + length, formatted.buffer, (size_t)added + 1);
    length += added;
}

OCString::Formatted OCString::FormatAlone(const char* format, va_list args) {
    long long total = EstimateFormat(format, args);
    if (total >= kTooLong || !Grow((int)total)) {
        Clear();
        return Formatted::NoStorage;
    }
    if (!FormatInPlace(format, args)) return buffer ? Formatted::Rejected : Formatted::NoStorage;
    length = lstrlenA(buffer);
    return Formatted::Done;
}

// Writes behind the text within the storage; when the output does not fit,
// grows to its exact length and writes again. False (text unchanged) when the
// run-time library rejects the format or the storage runs out.
bool OCString::FormatInPlace(const char* format, va_list args) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        size_t room = (size_t)(capacity - length) + 1;  // the NUL slot included
        va_list copy;
        va_copy(copy, args);
        int written = _vsnprintf(buffer + length, room, format, copy);
        va_end(copy);
        if (written >= 0 && (size_t)written < room) return true;
        buffer[length] = 0;
        va_copy(copy, args);
        int needed = _vscprintf(format, copy);
        va_end(copy);
        if (needed < 0 || !Grow(needed)) return false;
    }
    return false;
}
