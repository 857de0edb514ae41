// Helpers for the pak tool's tests: scratch folders, files, and archives
// written byte by byte.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace paktest {

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }
private:
    std::filesystem::path m_path;
};

void WriteBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes);
void WriteText(const std::filesystem::path& path, const std::string& text);  // creates folders
std::vector<uint8_t> ReadBytes(const std::filesystem::path& path);
std::vector<uint8_t> Bytes(const std::string& text);

// Little-endian archive bytes, assembled in the test.
class ByteWriter {
public:
    ByteWriter& U32(uint32_t v);
    ByteWriter& Raw(const std::string& text);
    ByteWriter& Raw(const std::vector<uint8_t>& bytes);
    ByteWriter& Zeros(size_t n);
    const std::vector<uint8_t>& Get() const { return m_bytes; }
    size_t Size() const { return m_bytes.size(); }
private:
    std::vector<uint8_t> m_bytes;
};

std::vector<uint8_t> ZlibCompress(const std::vector<uint8_t>& data);

// Runs the pak binary with `arguments` (already quoted); returns its exit code.
// Its standard output and error are left in `out` and `err`.
int RunPak(const std::string& arguments, std::string* out = nullptr, std::string* err = nullptr);

}  // namespace paktest
