#include "DiscLayout.h"

#include "PakArchive.h"
#include "PakNames.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

namespace disccheck {

namespace {

using pak::FoldCase;
using pak::NextChar;

const int kMaxDepth = 64;  // folder loops through links end here

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The path's parts; empty parts (doubled or leading separators) are left out,
// as the system folds them. `trailing` tells whether the path ends with one.
std::vector<std::string> SplitPath(const std::string& path, bool* trailing = nullptr) {
    std::vector<std::string> parts;
    size_t start = 0;
    bool lastWasSeparator = false;
    for (size_t i = 0;; i = NextChar(path, i)) {
        bool end = i >= path.size();
        if (end || IsSeparator(path[i])) {
            if (i > start) parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
        if (end) break;
        lastWasSeparator = IsSeparator(path[i]);
    }
    if (trailing) *trailing = lastWasSeparator;
    parts.erase(std::remove(parts.begin(), parts.end(), "."), parts.end());
    return parts;
}

// The disc's name in code page 932; false when Shift-JIS cannot hold it.
bool NameOnDisc(const fs::path& name, std::string* out) {
    try {
        *out = pak::EntryNameFromPath(name);
        return true;
    } catch (const pak::PakError&) {
        return false;
    }
}

struct Child {
    fs::path path;
    std::string name;   // code page 932
    bool folder = false;
};

std::vector<Child> ListFolder(const fs::path& folder, std::vector<std::string>* unnamed = nullptr) {
    std::vector<Child> children;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        Child child;
        child.path = it->path();
        child.folder = it->is_directory(ec);
        if (!NameOnDisc(child.path.filename(), &child.name)) {
            if (unnamed) unnamed->push_back(pak::DisplayPath(child.path));
            continue;
        }
        children.push_back(child);
    }
    std::sort(children.begin(), children.end(), [](const Child& a, const Child& b) { return a.name < b.name; });
    return children;
}

bool IsRegularFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

std::string ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint64_t SizeOf(const fs::path& path) {
    std::error_code ec;
    uint64_t size = fs::file_size(path, ec);
    return ec ? 0 : size;
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder.empty() ? name : folder + "\\" + name;
}

// Every file below `folder`, named below the install folder as `relative\...`.
void CollectBelow(const fs::path& folder, const std::string& relative, int depth, EntryMatch& match) {
    if (depth > kMaxDepth) return;
    for (const Child& child : ListFolder(folder, &match.unnamed)) {
        const std::string target = Join(relative, child.name);
        if (child.folder)
            CollectBelow(child.path, target, depth + 1, match);
        else
            match.files.push_back({target, SizeOf(child.path)});
    }
}

void Take(const Child& child, const std::string& relativeFolder, EntryMatch& match) {
    const std::string target = Join(relativeFolder, child.name);
    if (child.folder)
        CollectBelow(child.path, target, 1, match);
    else
        match.files.push_back({target, SizeOf(child.path)});
}

std::string JoinParts(const std::vector<std::string>& parts, size_t count) {
    std::string joined;
    for (size_t i = 0; i < count; ++i) joined = Join(joined, parts[i]);
    return joined;
}

// A wildcard in the last part: the folder must be there and the pattern match
// something in it. Below a disc's root the system's "." and ".." entries match
// patterns such as *.* too, so an empty folder is found but yields no files.
EntryMatch MatchPattern(const Disc& disc, const std::vector<std::string>& parts) {
    EntryMatch match;
    const std::string folderText = JoinParts(parts, parts.size() - 1);
    if (HasWildcard(folderText)) return match;
    std::optional<fs::path> folder = ResolvePath(*disc.data, folderText);
    std::error_code ec;
    if (!folder || !fs::is_directory(*folder, ec)) return match;
    const std::string& pattern = parts.back();
    if (!fs::equivalent(*folder, disc.root, ec))
        match.onDisc = WildcardMatch(pattern, ".") || WildcardMatch(pattern, "..");
    for (const Child& child : ListFolder(*folder, &match.unnamed)) {
        if (!WildcardMatch(pattern, child.name)) continue;
        match.onDisc = true;
        Take(child, folderText, match);
    }
    return match;
}

bool WildcardFrom(const std::string& p, size_t pi, const std::string& n, size_t ni) {
    while (pi < p.size()) {
        if (p[pi] == '*') {
            for (size_t k = ni;; k = NextChar(n, k)) {
                if (WildcardFrom(p, pi + 1, n, k)) return true;
                if (k >= n.size()) return false;
            }
        }
        if (ni >= n.size()) return false;
        const size_t pn = NextChar(p, pi), nn = NextChar(n, ni);
        if (p[pi] != '?' && p.compare(pi, pn - pi, n, ni, nn - ni) != 0) return false;
        pi = pn;
        ni = nn;
    }
    return ni >= n.size();
}

}  // namespace

bool HasWildcard(const std::string& path) {
    for (size_t i = 0; i < path.size(); i = NextChar(path, i))
        if (path[i] == '*' || path[i] == '?') return true;
    return false;
}

bool WildcardMatch(const std::string& pattern, const std::string& name) {
    const std::string p = FoldCase(pattern), n = FoldCase(name);
    if (WildcardFrom(p, 0, n, 0)) return true;
    return p.size() >= 2 && p.compare(p.size() - 2, 2, ".*") == 0 && n.find('.') == std::string::npos &&
           WildcardFrom(p.substr(0, p.size() - 2), 0, n, 0);
}

bool LeavesFolder(const std::string& path) {
    for (const std::string& part : SplitPath(path))
        if (part == "..") return true;
    return false;
}

std::optional<fs::path> FindChild(const fs::path& folder, const std::string& name) {
    const std::string wanted = FoldCase(name);
    for (const Child& child : ListFolder(folder))
        if (FoldCase(child.name) == wanted) return child.path;
    return std::nullopt;
}

std::optional<fs::path> ResolvePath(const fs::path& base, const std::string& relative) {
    fs::path at = base;
    for (const std::string& part : SplitPath(relative)) {
        if (part == "..") return std::nullopt;
        std::optional<fs::path> child = FindChild(at, part);
        if (!child) return std::nullopt;
        at = *child;
    }
    return at;
}

Disc OpenDisc(const fs::path& root, const std::string& shown, const std::string& dataPath) {
    Disc disc;
    disc.root = root;
    disc.shown = shown;
    std::optional<fs::path> data = ResolvePath(root, dataPath);
    std::error_code ec;
    if (data && fs::is_directory(*data, ec)) disc.data = data;
    return disc;
}

EntryMatch MatchEntry(const Disc& disc, const std::string& path) {
    EntryMatch match;
    bool trailing = false;
    const std::vector<std::string> parts = SplitPath(path, &trailing);
    if (!disc.data || parts.empty() || LeavesFolder(path)) return match;
    if (HasWildcard(parts.back())) return MatchPattern(disc, parts);
    std::optional<fs::path> found = ResolvePath(*disc.data, path);
    std::error_code ec;
    if (!found) return match;
    const bool folder = fs::is_directory(*found, ec);
    if (trailing && !folder) return match;   // "name\" is no file
    match.onDisc = true;
    if (trailing) return match;              // found, but a search for "folder\" lists nothing
    Child child;
    child.path = *found;
    child.folder = folder;
    NameOnDisc(found->filename(), &child.name);
    Take(child, JoinParts(parts, parts.size() - 1), match);
    return match;
}

std::optional<fs::path> FindArchiveFile(const Disc& disc, const std::string& name) {
    const std::vector<std::string> parts = SplitPath(name);
    if (!disc.data || parts.empty() || LeavesFolder(name)) return std::nullopt;
    if (!HasWildcard(parts.back())) {
        std::optional<fs::path> found = ResolvePath(*disc.data, name);
        if (found && IsRegularFile(*found)) return found;
        return std::nullopt;
    }
    const std::string folderText = JoinParts(parts, parts.size() - 1);
    std::optional<fs::path> folder = HasWildcard(folderText) ? std::nullopt : ResolvePath(*disc.data, folderText);
    if (!folder) return std::nullopt;
    for (const Child& child : ListFolder(*folder))
        if (!child.folder && WildcardMatch(parts.back(), child.name)) return child.path;
    return std::nullopt;
}

namespace {

bool IsArchiveName(const std::string& name) {
    const std::string folded = FoldCase(name);
    return folded.size() > 4 && folded.compare(folded.size() - 4, 4, ".pak") == 0;
}

// The order the installer sorts a folder's archives in: letters compare
// without regard to case first, small before capital only to break a tie.
bool ArchiveOrder(const Child& a, const Child& b) {
    const std::string fa = FoldCase(a.name), fb = FoldCase(b.name);
    if (fa != fb) return fa < fb;
    return a.name > b.name;
}

bool NameBegins(const std::string& entryName, const std::string& request) {
    const std::string entry = FoldCase(entryName), wanted = FoldCase(request);
    return entry.compare(0, wanted.size(), wanted) == 0;
}

Lookup Failed(const fs::path& archive, const std::string& error) {
    Lookup lookup;
    lookup.result = Lookup::Result::Failed;
    lookup.file = archive;
    lookup.error = error;
    return lookup;
}

// The request in one archive; Missing when no entry begins with it.
Lookup SearchArchive(const fs::path& archive, const std::string& name) {
    try {
        std::unique_ptr<pak::Source> src = pak::OpenFileSource(pak::DisplayPath(archive));
        const pak::Directory dir = pak::ReadDirectory(*src);
        for (const pak::Entry& entry : dir.entries) {
            if (!NameBegins(entry.name, name)) continue;
            Lookup lookup;
            lookup.result = Lookup::Result::Found;
            lookup.file = archive;
            lookup.entryName = entry.name;
            const std::vector<uint8_t> bytes = pak::ReadEntryBytes(*src, entry);
            lookup.content.assign(bytes.begin(), bytes.end());
            return lookup;
        }
    } catch (const pak::PakError& error) {
        return Failed(archive, error.what());
    }
    return Lookup();
}

}  // namespace

Lookup FindInArchives(const fs::path& folder, const std::string& name) {
    std::vector<Child> archives;
    for (const Child& child : ListFolder(folder))
        if (!child.folder && IsArchiveName(child.name)) archives.push_back(child);
    std::sort(archives.begin(), archives.end(), ArchiveOrder);
    for (const Child& archive : archives) {
        Lookup lookup = SearchArchive(archive.path, name);
        if (lookup.result != Lookup::Result::Missing) return lookup;
    }
    return Lookup();
}

Lookup OpenByRelativeName(const Disc& disc, const std::string& name) {
    std::optional<fs::path> loose = FindChild(disc.root, name);
    if (loose && IsRegularFile(*loose)) {
        Lookup lookup;
        lookup.result = Lookup::Result::Found;
        lookup.file = *loose;
        lookup.content = ReadWhole(*loose);
        return lookup;
    }
    Lookup lookup = FindInArchives(disc.root, name);
    if (lookup.result != Lookup::Result::Missing || !disc.data) return lookup;
    return FindInArchives(*disc.data, name);
}

}  // namespace disccheck
