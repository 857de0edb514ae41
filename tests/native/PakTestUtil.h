// Helpers for the native tests: scratch folders, files, archives made by the
// tool's own writer, and the tool binaries run as a user runs them.
#pragma once
#include "PakArchive.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace paktest {
namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with everything in it.
struct ScratchFolder {
    ScratchFolder();
    ~ScratchFolder() { std::error_code ec; fs::remove_all(path, ec); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    fs::path operator/(const std::string& name) const { return path / fs::u8path(name); }
    fs::path path;
};

std::vector<uint8_t> Bytes(const std::string& text);
void WriteText(const fs::path& path, const std::string& bytes);  // creates folders
std::string ReadText(const fs::path& path);

// An archive of (name, content) pairs made by the writer: stored in version 0, else compressed.
using Files = std::vector<std::pair<std::string, std::string>>;
std::vector<uint8_t> MakeArchive(const Files& files, uint32_t version = 2);

// Runs a shell command; its exit code, with its standard output and error in `out` and `err`.
int Shell(const std::string& command, std::string* out = nullptr, std::string* err = nullptr);
inline std::string Quote(const fs::path& path) { return "'" + path.string() + "'"; }

}  // namespace paktest
