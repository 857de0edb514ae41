#include "IniText.h"

#include "PakNames.h"

#include <cstdint>
#include <cstring>

namespace disccheck {

namespace {

using pak::NextChar;

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && IsLineBreak(text[i])) ++i;  // empty lines do not exist
        size_t start = i;
        while (i < text.size() && !IsLineBreak(text[i])) ++i;
        if (i > start) lines.push_back(text.substr(start, i - start));
    }
    return lines;
}

// Index of the last character's first byte.
size_t LastChar(const std::string& text) {
    size_t last = 0;
    for (size_t i = 0; i < text.size(); i = NextChar(text, i)) last = i;
    return last;
}

// "[name]" names the text up to the first "]"; without one, the text up to
// the line's last character, that character excluded ("[install" is "instal").
std::string HeaderName(const std::string& line) {
    size_t close = FindChar(line, ']', 1);
    if (close != std::string::npos) return line.substr(1, close - 1);
    size_t last = LastChar(line);
    return last > 1 ? line.substr(1, last - 1) : std::string();
}

bool SameName(const std::string& a, const std::string& b) { return pak::FoldCase(a) == pak::FoldCase(b); }

std::string ReplaceAll(const std::string& text, const std::string& find, const std::string& with) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        if (text.compare(i, find.size(), find) == 0) {
            out += with;
            i += find.size();
            continue;
        }
        size_t next = NextChar(text, i);
        out.append(text, i, next - i);
        i = next;
    }
    return out;
}

size_t SkipAny(const std::string& text, size_t i, const char* set) {
    while (i < text.size() && std::strchr(set, text[i])) i = NextChar(text, i);
    return i;
}

size_t FindAny(const std::string& text, size_t i, const char* set) {
    for (; i < text.size(); i = NextChar(text, i))
        if (std::strchr(set, text[i])) return i;
    return std::string::npos;
}

// Splits "key=value" / "key<TAB>value" after the escapes. False when the line
// has no separator behind its leading tabs or the key is empty.
bool SplitEntry(const std::string& raw, std::string* key, std::string* value) {
    const std::string line = ReplaceAll(ReplaceAll(raw, "\\n", "\n"), "\\t", "\t");
    const size_t keyStart = SkipAny(line, 0, "\t");
    const size_t separator = FindAny(line, keyStart, "\t=");
    if (separator == std::string::npos || separator == keyStart) return false;
    *key = line.substr(keyStart, separator - keyStart);
    const size_t valueStart = SkipAny(line, separator, "\t =");
    const size_t valueEnd = FindAny(line, valueStart, "\t");
    *value = line.substr(valueStart, valueEnd == std::string::npos ? std::string::npos : valueEnd - valueStart);
    return true;
}

}  // namespace

size_t FindChar(const std::string& text, char c, size_t from) {
    for (size_t i = from; i < text.size(); i = NextChar(text, i))
        if (text[i] == c) return i;
    return std::string::npos;
}

IniText::IniText(const std::string& bytes) {
    std::string text = bytes.substr(0, bytes.find('\0'));
    m_utf8Mark = text.compare(0, 3, "\xEF\xBB\xBF") == 0;
    m_lines = SplitLines(text);
}

// A section that does not match is passed over line by line up to the next
// header, as the installer reads it.
bool IniText::Find(const std::string& section, const std::string& key, std::string* value) const {
    bool inOtherSection = false;
    std::string entryKey, entryValue;
    for (const std::string& line : m_lines) {
        if (line[0] == '[') {
            inOtherSection = !SameName(HeaderName(line), section);
            continue;
        }
        if (inOtherSection || line[0] == '\'') continue;
        if (!SplitEntry(line, &entryKey, &entryValue) || entryValue.empty()) continue;
        if (!SameName(entryKey, key)) continue;
        *value = entryValue;
        return true;
    }
    return false;
}

std::vector<std::string> IniText::SectionNames() const {
    std::vector<std::string> names;
    for (const std::string& line : m_lines)
        if (line[0] == '[') names.push_back(HeaderName(line));
    return names;
}

bool IniText::StartsWithUtf8Mark() const { return m_utf8Mark; }

int LenientInt(const std::string& text) {
    uint32_t value = 0;
    bool negative = false;
    for (size_t i = 0; i < text.size(); i = NextChar(text, i)) {
        const uint8_t b = static_cast<uint8_t>(text[i]);
        const uint8_t t = i + 1 < text.size() ? static_cast<uint8_t>(text[i + 1]) : 0;
        if (b >= '0' && b <= '9') value = value * 10 + (b - '0');
        else if (b == 0x82 && t >= 0x4F && t <= 0x58) value = value * 10 + (t - 0x4F);  // full-width digits
        else if (b == '-' || (b == 0x81 && t == 0x7C)) negative = true;               // full-width minus too
    }
    return static_cast<int>(negative ? 0u - value : value);
}

}  // namespace disccheck
