// A portable reader for install.ini that follows the installer's own rules:
// names compare without regard to case (ASCII and full-width letters), "\n"
// and "\t" are expanded, lines starting with an apostrophe are comments, lines
// above the first header belong to every section, and the first non-empty
// value of a key wins. Text is Shift-JIS and is stepped by characters, so a
// trail byte that equals "\", "[" or "]" is never taken for one.
#pragma once
#include <string>
#include <vector>

namespace disccheck {

class IniText {
public:
    // `bytes` is the whole file; a NUL byte ends the text.
    explicit IniText(const std::string& bytes);

    // True and `value` set when the section holds a non-empty value for the
    // key; false and `value` untouched otherwise.
    bool Find(const std::string& section, const std::string& key, std::string* value) const;

    // The section names of the header lines, in file order.
    std::vector<std::string> SectionNames() const;

    // The file begins with a UTF-8 byte order mark, which hides its first header.
    bool StartsWithUtf8Mark() const;

private:
    std::vector<std::string> m_lines;  // non-empty lines, without line breaks
    bool m_utf8Mark = false;
};

// The installer's lenient integer reading of `size`: decimal digits (full-width
// ones too) in order, a minus sign anywhere makes it negative, everything else
// is skipped; 32-bit wrapping arithmetic.
int LenientInt(const std::string& text);

// The first character of `text` at or after `from` that is `c`, stepping by
// characters; npos when there is none.
size_t FindChar(const std::string& text, char c, size_t from = 0);

}  // namespace disccheck
