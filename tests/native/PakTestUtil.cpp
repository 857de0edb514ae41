#include "PakTestUtil.h"

#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace paktest {
namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "pak-test-XXXXXX").string();
    if (!mkdtemp(&pattern[0])) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

void WriteBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

void WriteText(const fs::path& path, const std::string& text) { WriteBytes(path, Bytes(text)); }

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

ByteWriter& ByteWriter::U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) m_bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
}
ByteWriter& ByteWriter::Raw(const std::string& text) { return Raw(Bytes(text)); }
ByteWriter& ByteWriter::Raw(const std::vector<uint8_t>& bytes) {
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
}
ByteWriter& ByteWriter::Zeros(size_t n) {
    m_bytes.insert(m_bytes.end(), n, 0);
    return *this;
}

std::vector<uint8_t> ZlibCompress(const std::vector<uint8_t>& data) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<uint8_t> out(size);
    if (compress(out.data(), &size, data.data(), static_cast<uLong>(data.size())) != Z_OK)
        throw std::runtime_error("compress failed");
    out.resize(size);
    return out;
}

namespace {
std::string Slurp(const fs::path& path) {
    std::vector<uint8_t> b = ReadBytes(path);
    return std::string(b.begin(), b.end());
}
}  // namespace

int RunPak(const std::string& arguments, std::string* out, std::string* err) {
    ScratchFolder capture;
    std::string command = std::string("'") + PAK_EXE + "' " + arguments + " >'" + (capture / "out").string() +
                          "' 2>'" + (capture / "err").string() + "' </dev/null";
    int status = std::system(command.c_str());
    if (out) *out = Slurp(capture / "out");
    if (err) *err = Slurp(capture / "err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace paktest
