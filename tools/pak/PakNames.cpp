#include "PakNames.h"

#include "PakArchive.h"

#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <iconv.h>
#endif

namespace pak {
namespace fs = std::filesystem;

size_t NextChar(const std::string& text, size_t i) {
    if (i >= text.size()) return text.size();
    if (IsLeadByte(static_cast<uint8_t>(text[i])) && i + 1 < text.size()) return i + 2;
    return i + 1;
}

bool IsValidCp932(const std::string& name) {
    for (size_t i = 0; i < name.size(); i = NextChar(name, i)) {
        uint8_t b = static_cast<uint8_t>(name[i]);
        if (!IsLeadByte(b)) continue;
        if (i + 1 >= name.size()) return false;
        uint8_t t = static_cast<uint8_t>(name[i + 1]);
        if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
    }
    return true;
}

std::string FoldCase(const std::string& name) {
    std::string folded = name;
    for (size_t i = 0; i < folded.size(); i = NextChar(folded, i)) {
        uint8_t b = static_cast<uint8_t>(folded[i]);
        if (b >= 'A' && b <= 'Z') {
            folded[i] = static_cast<char>(b + 0x20);
        } else if (b == 0x82 && i + 1 < folded.size()) {
            uint8_t t = static_cast<uint8_t>(folded[i + 1]);
            if (t >= 0x60 && t <= 0x79) folded[i + 1] = static_cast<char>(t + 0x21);  // full-width A-Z
        }
    }
    return folded;
}

namespace {

bool IsForbiddenInFileName(uint8_t b) {
    return b < 0x20 || b == '<' || b == '>' || b == ':' || b == '"' || b == '|' || b == '?' ||
           b == '*' || b == '\\' || b == '/';
}

// A part's own bytes (single-byte characters only) must make a Windows file name.
std::string ForbiddenCharacterIn(const std::string& part) {
    for (size_t i = 0; i < part.size(); i = NextChar(part, i)) {
        uint8_t b = static_cast<uint8_t>(part[i]);
        if (IsLeadByte(b) && i + 1 < part.size()) continue;
        if (IsForbiddenInFileName(b)) {
            if (b < 0x20) return "a control character";
            return std::string("the character '") + static_cast<char>(b) + "'";
        }
    }
    return "";
}

#ifdef _WIN32
std::string WideToCodePage(const std::wstring& text, UINT codePage, bool* lossy) {
    if (text.empty()) return "";
    BOOL usedDefault = FALSE;
    DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL* used = codePage == CP_UTF8 ? nullptr : &usedDefault;
    int n = WideCharToMultiByte(codePage, flags, text.data(), (int)text.size(), nullptr, 0, nullptr, used);
    std::string out(n > 0 ? n : 0, '\0');
    if (n > 0) WideCharToMultiByte(codePage, flags, text.data(), (int)text.size(), &out[0], n, nullptr, used);
    if (lossy) *lossy = n <= 0 || usedDefault;
    return out;
}

bool CodePageToWide(const std::string& text, UINT codePage, std::wstring* out) {
    out->clear();
    if (text.empty()) return true;
    int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), (int)text.size(), nullptr, 0);
    if (n <= 0) return false;
    out->resize(n);
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), (int)text.size(), &(*out)[0], n);
    return true;
}

bool PartToCp932(const fs::path& part, std::string* out) {
    bool lossy = false;
    *out = WideToCodePage(part.native(), 932, &lossy);
    return !lossy;
}

bool Cp932ToNative(const std::string& name, fs::path* out) {
    std::wstring wide;
    if (!CodePageToWide(name, 932, &wide)) return false;
    *out = fs::path(wide);
    return true;
}
#else
// One iconv conversion, whole or not at all.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() { if (m_cd != (iconv_t)-1) iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Convert(const std::string& in, std::string* out) const {
        out->clear();
        if (m_cd == (iconv_t)-1) return false;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        std::vector<char> buffer(in.size() * 4 + 16);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char* dst = buffer.data();
        size_t dstLeft = buffer.size();
        if (iconv(m_cd, &src, &srcLeft, &dst, &dstLeft) == (size_t)-1) return false;
        if (iconv(m_cd, nullptr, nullptr, &dst, &dstLeft) == (size_t)-1) return false;
        out->assign(buffer.data(), dst);
        return true;
    }

private:
    iconv_t m_cd;
};

bool PartToCp932(const fs::path& part, std::string* out) {
    static const Converter toCp932("CP932", "UTF-8");
    return toCp932.Convert(part.native(), out);
}

bool Cp932ToNative(const std::string& name, fs::path* out) {
    static const Converter toUtf8("UTF-8", "CP932");
    std::string utf8;
    if (!toUtf8.Convert(name, &utf8)) return false;
    *out = fs::path(utf8);
    return true;
}
#endif

std::string EscapeByte(uint8_t b) {
    static const char kHex[] = "0123456789ABCDEF";
    return std::string("\\x") + kHex[b >> 4] + kHex[b & 15];
}

// Converts one character at a time, so what does not convert shows as \xNN.
std::string DisplayPiecewise(const std::string& name) {
    std::string out;
    for (size_t i = 0; i < name.size();) {
        size_t next = NextChar(name, i);
        std::string ch = name.substr(i, next - i);
        fs::path converted;
        uint8_t b = static_cast<uint8_t>(ch[0]);
        if (b >= 0x20 && b != 0x7F && Cp932ToNative(ch, &converted)) {
            out += DisplayPath(converted);
        } else {
            for (char c : ch) out += EscapeByte(static_cast<uint8_t>(c));
        }
        i = next;
    }
    return out;
}

}  // namespace

std::string EntryNameFromPath(const fs::path& relative) {
    std::string name;
    for (const fs::path& part : relative) {
        std::string converted;
        if (!PartToCp932(part, &converted))
            throw PakError("the name cannot be written in Shift-JIS (code page 932)");
        std::string bad = ForbiddenCharacterIn(converted);
        if (!bad.empty())
            throw PakError("the name contains " + bad + ", which a Windows file name cannot hold");
        if (!name.empty()) name += '\\';
        name += converted;
    }
    return name;
}

std::string UnsafeNameReason(const std::string& name) {
    if (name.empty()) return "the name is empty";
    if (name[0] == '\\' || name[0] == '/') return "the name is absolute";
    size_t start = 0;
    for (size_t i = 0;; i = NextChar(name, i)) {
        bool end = i >= name.size();
        uint8_t b = end ? 0 : static_cast<uint8_t>(name[i]);
        bool lead = !end && IsLeadByte(b) && i + 1 < name.size();
        if (!end && !lead && b == ':') return "the name holds a drive letter or a colon";
        if (!end && !lead && (b < 0x20 || b == 0x7F)) return "the name holds a control character";
        if (end || (!lead && (b == '\\' || b == '/'))) {
            std::string part = name.substr(start, i - start);
            if (part.empty()) return "the name has an empty folder part";
            if (part == "." || part == "..") return "the name has a '" + part + "' part";
            start = i + 1;
        }
        if (end) return "";
    }
}

fs::path PathForEntry(const fs::path& dir, const std::string& name) {
    const std::string invalid = "entry '" + DisplayName(name) + "': the name is not valid Shift-JIS text";
    if (!IsValidCp932(name)) throw PakError(invalid);
    fs::path out = dir;
    size_t start = 0;
    for (size_t i = 0;; i = NextChar(name, i)) {
        bool end = i >= name.size();
        // `i` is always at a character's first byte, so a trail byte 0x5C is never seen here.
        if (end || name[i] == '\\' || name[i] == '/') {
            fs::path part;
            if (!Cp932ToNative(name.substr(start, i - start), &part)) throw PakError(invalid);
            out /= part;
            start = i + 1;
        }
        if (end) return out;
    }
}

std::string DisplayName(const std::string& name) {
    return DisplayPiecewise(name);
}

#ifdef _WIN32
fs::path PathFromArgument(const std::string& text) {
    std::wstring wide;
    if (!CodePageToWide(text, CP_ACP, &wide)) return fs::path(text);
    return fs::path(wide);
}

std::string DisplayPath(const fs::path& path) {
    return WideToCodePage(path.native(), CP_ACP, nullptr);
}
#else
fs::path PathFromArgument(const std::string& text) { return fs::path(text); }
std::string DisplayPath(const fs::path& path) { return path.native(); }
#endif

}  // namespace pak
