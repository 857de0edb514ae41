// OCString's file operations: they sit in the file layer, above the string
// class, since they size, read and write through OCFile.
#include "base/OCString.h"
#include <limits.h>
#include "archive/OCFile.h"

void OCString::LoadFromFile(OCFile& file) {
    Clear();
    const ULONGLONG fullSize = file.GetSize();
    if (fullSize >= (ULONGLONG)INT_MAX || !Grow((int)fullSize)) return;
    const unsigned size = (unsigned)fullSize;
    unsigned got = file.Read(buffer, size);
    buffer[got <= size ? got : size] = 0;  // only the bytes that arrived
    cursor = buffer;
    length = lstrlenA(buffer);
}

void OCString::ReadString(OCFile& file) {
    Clear();
    BYTE raw[4];
    if (file.Read(raw, 4) != 4) return;
    unsigned count = raw[0] | raw[1] << 8 | raw[2] << 16 | (unsigned)raw[3] << 24;
    if (count == 0 || count >= (unsigned)INT_MAX || !Grow((int)count)) return;
    unsigned got = file.Read(buffer, count);
    buffer[got <= count ? got : count] = 0;
    cursor = buffer;
    length = lstrlenA(buffer);
}

unsigned OCString::WriteToFile(OCFile& file) const {
    return file.Write(buffer ? buffer : "", (unsigned)GetLength());
}
