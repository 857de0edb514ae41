// OCString editing: Insert, Delete, Replace, CopyRange and Tokenize. Each
// builds the new text in a separate string and then takes its storage over, so
// the source text stays valid while it is copied; when storage runs out the
// operation is abandoned and this string is left as it was.
#include "base/OCString.h"
#include "base/OCException.h"

namespace {

// Appends n bytes; false when the target's storage is gone.
bool AppendPart(OCString& out, const char* text, int n) {
    if (n > 0) out.Append(text, n);
    return out.GetBuffer() != NULL;
}

}  // namespace

// Cursor offset from the start, kept within the measured text.
int OCString::CursorOffset() const {
    if (!buffer || !cursor) return 0;
    INT_PTR offset = cursor - buffer;
    int measured = lstrlenA(buffer);
    return offset < 0 ? 0 : offset > measured ? measured : (int)offset;
}

void OCString::MoveCursorTo(int pos) {
    if (pos != -1 && buffer && pos >= 0 && pos <= length) cursor = buffer + pos;
}

char* OCString::Insert(const char* text, int pos) {
    if (!text) text = "";
    MoveCursorTo(pos);
    int offset = CursorOffset();
    int measured = GetLength();
    int inserted = lstrlenA(text);
    OCString built("", -1);
    if (!AppendPart(built, buffer, offset) || !AppendPart(built, text, inserted) ||
        !AppendPart(built, buffer + offset, measured - offset))
        return cursor;
    TakeOver(built);
    int behind = offset + inserted;
    cursor = behind <= length ? buffer + behind : buffer;
    return cursor;
}

char* OCString::Delete(int count, int pos) {
    int measured = GetLength();
    if (count > measured) {
        Clear();
        return NULL;
    }
    if (count < 0) return cursor;  // nothing sensible to remove
    MoveCursorTo(pos);
    int offset = CursorOffset();
    OCString built("", -1);
    if (!AppendPart(built, buffer, offset)) return cursor;
    if (count != 0 && offset + count <= measured &&
        !AppendPart(built, buffer + offset + count, measured - offset - count))
        return cursor;
    TakeOver(built);
    cursor = offset <= length ? buffer + offset : buffer;
    return cursor;
}

void OCString::Replace(const char* find, const char* replacement) {
    if (!find || !*find) return;
    if (!replacement) replacement = "";
    int findLength = lstrlenA(find), replacementLength = lstrlenA(replacement);
    const char* text = buffer ? buffer : "";
    OCString built("", -1);
    if (!built.GetBuffer()) throw OCException(0);
    const char* copied = text;
    for (const char* p = text; *p;) {
        if (strncmp(p, find, (size_t)findLength) != 0) {
            p = sjis::Next(p);
            continue;
        }
        if (!AppendPart(built, copied, (int)(p - copied)) ||
            !AppendPart(built, replacement, replacementLength))
            throw OCException(0);
        p += findLength;
        copied = p;
    }
    if (!AppendPart(built, copied, lstrlenA(copied))) throw OCException(0);
    TakeOver(built);
    cursor = buffer;
}

void OCString::CopyRange(OCString& out, const char* from, const char* to) const {
    const char* end = buffer ? buffer + lstrlenA(buffer) : NULL;
    if (!from) from = buffer;
    if (!to) to = end;
    if ((UINT_PTR)to < (UINT_PTR)from) {
        const char* swap = from;
        from = to;
        to = swap;
    }
    if ((UINT_PTR)from < (UINT_PTR)buffer || (UINT_PTR)to > (UINT_PTR)end) return;
    OCString range;
    if (to != from) {
        range.Append(from, (int)(to - from));
        if (!range.buffer) return;
    }
    out.TakeOver(range);
}

char* OCString::Tokenize(OCString& out, const char* delimiters) {
    if (!cursor) return NULL;
    char* start = cursor;
    while (*start && SetHasChar(delimiters, CharCodeAt(start))) start = sjis::Next(start);
    if (!*start) return NULL;
    char* end = start;
    while (*end && !SetHasChar(delimiters, CharCodeAt(end))) end = sjis::Next(end);
    int n = (int)(end - start);
    OCString token(n + 1);
    if (!AppendPart(token, start, n)) return NULL;
    cursor = end;
    out.TakeOver(token);
    return &out == this ? buffer : start;
}
