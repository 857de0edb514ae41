#include "PakTestUtil.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/wait.h>

namespace paktest {

ScratchFolder::ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "pak-test-XXXXXX").string();
    if (!mkdtemp(&pattern[0])) throw std::runtime_error("mkdtemp failed");
    path = pattern;
}

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

void WriteText(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()))) throw std::runtime_error("cannot write " + path.string());
}

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> MakeArchive(const Files& files, uint32_t version) {
    std::vector<pak::InputFile> input;
    for (const auto& f : files) input.push_back({f.first, Bytes(f.second)});
    pak::WriteOptions options;
    options.version = version;
    options.packing = version == 0 ? pak::Packing::Store : pak::Packing::Compress;
    return pak::BuildArchive(input, options);
}

int Shell(const std::string& command, std::string* out, std::string* err) {
    ScratchFolder capture;
    const int status = std::system((command + " >" + Quote(capture / "out") + " 2>" + Quote(capture / "err") + " </dev/null").c_str());
    if (out) *out = ReadText(capture / "out");
    if (err) *err = ReadText(capture / "err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace paktest
