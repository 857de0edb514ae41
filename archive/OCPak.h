// In-memory records of the *.pak reader: the header and one directory entry.
// The on-disk layout is in archive/PakFormat.h.
#pragma once
#include <windows.h>
#include "base/OCString.h"

class OCFile;

class OCPakHeader {
public:
    OCPakHeader();                          // every field 0
    virtual ~OCPakHeader() {}
    // Reads the fields of the file's version; a field the file cannot
    // supply (short file, unknown version) stays 0.
    void Read(OCFile& file);

    DWORD version;
    DWORD count;                            // entries in the directory
    DWORD dirSize;                          // directory length after inflating (v1, v2)
    DWORD dirPackedSize;                    // directory length as stored (v1, v2)
    DWORD reserved;                         // v2, not interpreted
    BYTE reservedBlock[256];                // v2, not interpreted
};

class OCPakEntry {
public:
    OCPakEntry() : offset(0), size(0), compressed(0), packedSize(0) {}
    virtual ~OCPakEntry() {}
    // Reads the next directory entry of a `version` archive. `left` holds the
    // directory bytes from the position on and shrinks by what was read.
    // False, with nothing read past `left`, when the entry does not fit.
    bool Read(OCFile& file, DWORD version, unsigned& left);

    OCString name;
    DWORD offset;                           // v0: from the file's start; v1/v2: from the data area
    DWORD size;                             // length of the data (inflated)
    DWORD compressed;                       // non-zero: one zlib stream of packedSize bytes
    DWORD packedSize;
};
