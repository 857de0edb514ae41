// The discs as folder trees, looked at the way the installer looks at a
// CD-ROM: names compare without regard to case, install.ini's Shift-JIS paths
// are matched against the file system's own names, and names opened by
// relative name fall back to the *.pak archives of the search folders.
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace disccheck {

namespace fs = std::filesystem;

struct Disc {
    fs::path root;
    std::string shown;              // how messages name the disc (its folder as given)
    std::optional<fs::path> data;   // the data folder (DataPath), when the disc has it
};

// `dataPath` is the Shift-JIS DataPath; an empty one makes the root the data folder.
Disc OpenDisc(const fs::path& root, const std::string& shown, const std::string& dataPath);

// The child of `folder` named `name` (code page 932), compared without regard to case.
std::optional<fs::path> FindChild(const fs::path& folder, const std::string& name);

// A backslash-separated path below `base`, found part by part.
std::optional<fs::path> ResolvePath(const fs::path& base, const std::string& relative);

// What a lookup by name found.
struct Lookup {
    enum class Result { Missing, Found, Failed };
    Result result = Result::Missing;
    fs::path file;           // the loose file, or the archive that served the entry
    std::string entryName;   // the archive entry served (may be longer than the request)
    std::string content;     // the bytes served
    std::string error;       // Failed: why the installer's open breaks off here
    bool found() const { return result == Result::Found; }
};

// The name in the *.pak archives of `folder`: archives in name order, entries in
// directory order, the first entry whose name begins with the request (case
// ignored) wins. An archive whose directory cannot be read ends the lookup as
// Failed, as it ends the installer's open with an error.
Lookup FindInArchives(const fs::path& folder, const std::string& name);

// Opens a relative name as the installer does while `disc` is in the drive:
// a file in the disc's root (the current folder), else the root's archives,
// else the archives of the data folder (the search folder).
Lookup OpenByRelativeName(const Disc& disc, const std::string& name);

// One file the installer writes into the install folder.
struct InstalledFile {
    std::string relative;   // below the install folder, code page 932
    uint64_t size = 0;
};

// What one `file` entry names on one disc's data folder.
struct EntryMatch {
    bool onDisc = false;                  // the installer takes this disc for the entry
    std::vector<InstalledFile> files;     // what it copies, folders followed down
    std::vector<std::string> unnamed;     // disc names Shift-JIS cannot hold (shown form)
};

// `path` names a file, a folder (copied with everything below it) or, in its
// last part, a wildcard pattern such as movie\*.*.
EntryMatch MatchEntry(const Disc& disc, const std::string& path);

// An `unPack` archive in the disc's data folder: the file itself, or for a
// wildcard name the first file the pattern matches.
std::optional<fs::path> FindArchiveFile(const Disc& disc, const std::string& name);

// The entry has a ".." part and would reach outside the data and install folders.
bool LeavesFolder(const std::string& path);

bool HasWildcard(const std::string& path);

// The system's wildcard match of a file name: * and ?, case ignored; a
// pattern ending in ".*" also matches a name without an extension.
bool WildcardMatch(const std::string& pattern, const std::string& name);

}  // namespace disccheck
