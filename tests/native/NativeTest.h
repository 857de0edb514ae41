// Helpers for the native tests: scratch folders, files, archives made by the
// tool's own writer, and the tool binaries run as a user runs them.
#pragma once
#include "PakArchive.h"

#include <sys/wait.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace paktest {
namespace fs = std::filesystem;

// A fresh folder under the system's temporary folder, removed with everything in it.
struct ScratchFolder {
    fs::path path;
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "pak-test-XXXXXX").string();
        if (!mkdtemp(&pattern[0])) throw std::runtime_error("mkdtemp failed");
        path = pattern;
    }
    ~ScratchFolder() { std::error_code ec; fs::remove_all(path, ec); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    fs::path operator/(const std::string& name) const { return path / fs::u8path(name); }
};

inline void WriteText(const fs::path& path, const std::string& bytes) {  // creates its folders
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// An archive of (name, content) pairs made by the writer: stored in version 0, else compressed.
// What the menu draws from every disc a type reaches.
inline const char* const kMenuPictures[] = {"install_back.JPG", "install_btn01.JPG", "install_btn02.JPG", "start_btn01.JPG",
                                            "start_btn02.JPG", "uninstall_btn01.JPG", "uninstall_btn02.JPG"};
using Files = std::vector<std::pair<std::string, std::string>>;
inline std::vector<uint8_t> MakeArchive(const Files& files, uint32_t version = 2) {
    std::vector<pak::InputFile> input;
    for (const auto& [name, text] : files) input.push_back({name, {text.begin(), text.end()}});
    return pak::BuildArchive(input, {version, version == 0 ? pak::Packing::Store : pak::Packing::Compress});
}

inline std::string Quote(const fs::path& path) { return "'" + path.string() + "'"; }

// Runs a shell command; its exit code, with its standard output and error in `out` and `err`.
inline int Shell(const std::string& command, std::string* out = nullptr, std::string* err = nullptr) {
    ScratchFolder capture;
    const int status = std::system((command + " >" + Quote(capture / "out") + " 2>" + Quote(capture / "err") + " </dev/null").c_str());
    if (out) *out = ReadText(capture / "out");
    if (err) *err = ReadText(capture / "err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace paktest
