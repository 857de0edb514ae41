// INI reader and writer. Files are opened through OCFile, so the reader
// also finds install.ini inside an archive.
#include "archive/Ini.h"
#include "archive/OCFile.h"

namespace {

const char kLineBreaks[] = "\r\n";

// A header line "[name]": the name runs to the first "]". Without one, the
// reader takes the text up to the line's last character, that character
// excluded ("[install" names "instal"); the writer takes the whole rest.
bool HeaderMatches(OCString& line, const char* section, bool reading) {
    line.Rewind();
    const char* start = line.Next();
    const char* end = NULL;
    if (line.FindChar(']')) {
        end = line.GetCursor();
    } else if (reading) {
        line.SeekEnd();
        end = line.Prev();
        if (end < start) end = start;
    }
    OCString name;
    line.CopyRange(name, start, end);
    name.Rewind();
    return name.CompareNoCase(section) == 0;
}

// Splits an entry line "key=value" or "key<TAB>value" after expanding the two
// escapes. The key runs from the first non-tab character to the first tab or
// "="; the value starts behind any tabs, spaces and "=" and ends at a tab.
// False when the line has no separator or an empty key.
bool SplitEntry(OCString& line, OCString& key, OCString& value) {
    line.Replace("\\n", "\n");
    line.Replace("\\t", "\t");
    line.Rewind();
    const char* keyStart = line.SkipChars("\t");
    if (!keyStart || !line.FindOneOf("\t=") || line.GetCursor() == keyStart) return false;
    line.CopyRange(key, keyStart, line.GetCursor());
    key.Rewind();
    value.Clear();
    const char* valueStart = line.SkipChars("\t =");
    if (!valueStart) return true;
    const char* valueEnd = line.FindChar('\t') ? line.GetCursor() : NULL;
    line.CopyRange(value, valueStart, valueEnd);
    return true;
}

// Reads an existing file whole. False when it cannot be opened, or when its
// text stops short of its size (a NUL byte, no memory): writing such a text
// back would lose the rest of the file.
bool LoadWhole(const char* fileName, OCString& text) {
    OCFile file;
    if (!file.Open(fileName, kOpenRead)) return false;
    const ULONGLONG size = file.GetSize();
    text.LoadFromFile(file);
    return (ULONGLONG)text.GetLength() == size;
}

// Puts the cursor on the last character of the header line of `section`.
bool FindHeader(OCString& text, const char* section) {
    text.Rewind();
    OCString line;
    while (const char* start = text.Tokenize(line, kLineBreaks)) {
        if (*start == '[' && HeaderMatches(line, section, false)) {
            text.Prev();
            return true;
        }
    }
    return false;
}

// Inserts `entry` at the start of the first non-empty line behind the
// header; a header that ends the text without a line break gets one first.
void InsertBelowHeader(OCString& text, const char* entry) {
    if (!text.NextLine()) text.Insert("\r\n", -1);
    OCString line(entry, -1);
    line += "\r\n";
    text.Insert(line.GetBuffer(), -1);
}

// Appends "[section]" and `entry`, an empty line apart from earlier text.
// The file then ends without a line break, as the boot-time rename file
// has always been written; the next write adds the break before its own.
void AppendSection(OCString& text, const char* section, const char* entry) {
    if (!text.IsEmpty()) {
        text.SeekEnd();
        text.Prev();
        unsigned last = text.GetChar();
        if (last != '\r' && last != '\n') text += "\r\n";
        text += "\r\n";
    }
    text.AppendFormat("[%s]\r\n%s", section, entry);
}

}  // namespace

void IniReadValue(const char* section, const char* key, OCString& value, const char* fileName) {
    OCString text;
    OCFile file;
    if (file.Open(fileName, kOpenRead)) {
        text.LoadFromFile(file);
        file.Close();
    }
    IniFindValue(section, key, value, text);
}

// Lines before the first header belong to every section. A section that
// does not match is passed over line by line up to the next header, so a
// "[" inside one of its values is never taken for a header.
void IniFindValue(const char* section, const char* key, OCString& value, OCString& text) {
    text.Rewind();
    bool inOtherSection = false;
    OCString line, entryKey, entryValue;
    while (const char* start = text.Tokenize(line, kLineBreaks)) {
        if (*start == '[') {
            inOtherSection = !HeaderMatches(line, section, true);
            continue;
        }
        if (inOtherSection || *start == '\'') continue;
        if (!SplitEntry(line, entryKey, entryValue) || entryValue.IsEmpty()) continue;
        if (entryKey.CompareNoCase(key) != 0) continue;
        value = entryValue;
        return;
    }
}

// The new line goes on top of the section: readers take the first non-empty
// value, so it supersedes older entries of the key without touching them.
void IniWriteValue(const char* section, const char* key, const char* value, const char* fileName) {
    OCString text;
    if (FileExists(fileName) && !LoadWhole(fileName, text)) return;
    OCString entry;
    entry.Format("%s=%s", key, value);
    if (FindHeader(text, section))
        InsertBelowHeader(text, entry.GetBuffer());
    else
        AppendSection(text, section, entry.GetBuffer());
    OCFile file;
    if (!file.Open(fileName, kOpenCreate)) return;
    text.WriteToFile(file);
    file.Commit();                                   // a full disk fails here, not silently at Close
    file.Close();
}
