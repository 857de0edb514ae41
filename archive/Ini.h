// INI profile files, read and written by our own code rather than the
// system's profile functions: the whole file is held as one OCString.
// Names compare without regard to case; "\n" and "\t" in an entry stand for
// a line feed and a tab; a line starting with an apostrophe is a comment.
#pragma once
#include "base/OCString.h"

// Leaves `value` untouched when the file, section or key is missing, or when
// every matching entry is empty, so callers preset defaults. May throw
// OCErrorException from OCFile::Open (the user chose Abort).
void IniReadValue(const char* section, const char* key, OCString& value, const char* fileName);

// As IniReadValue, on a text already in memory; moves `text`'s cursor.
void IniFindValue(const char* section, const char* key, OCString& value, OCString& text);

// Adds "key=value" as the first entry of `section`, above older entries of
// the same key (the form WININIT.INI's "nul=" lines need), or appends the
// section at the end of the file; creates the file when there is none.
// Never removes or replaces a line. A file that exists but cannot be read
// whole is left alone. Throws OCErrorException when the write fails.
void IniWriteValue(const char* section, const char* key, const char* value, const char* fileName);
