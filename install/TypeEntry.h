// TypeEntry: one install type, a section "TYPEn" of install.ini.
#pragma once
#include "base/OCString.h"

struct TypeEntry {
    OCString title;    // label in the type dialog; a section without one is no type
    OCString file;     // what to copy: "label:path;path;..." unsplit
    OCString unPack;   // archives to unpack: "a.pak;b.pak" unsplit
    int size = 0;      // megabytes the type needs
};
