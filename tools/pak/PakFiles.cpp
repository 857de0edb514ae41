#include "PakFiles.h"

#include "PakNames.h"

#include <fstream>
#include <system_error>

namespace pak {
namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw PakError(DisplayPath(path) + ": cannot open the file");
    std::vector<uint8_t> data;
    char buffer[64 * 1024];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        data.insert(data.end(), buffer, buffer + in.gcount());
        if (data.size() > kMaxArchiveSize) throw PakError(DisplayPath(path) + ": the file is 2 GiB or larger");
    }
    if (in.bad()) throw PakError(DisplayPath(path) + ": cannot read the file");
    return data;
}

bool IsSameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return !b.empty() && fs::equivalent(a, b, ec) && !ec;
}

// Opens the entry's file for writing and removes it again if it is not finished.
class OutputFile {
public:
    explicit OutputFile(const fs::path& path) : m_path(path), m_stream(path, std::ios::binary | std::ios::trunc) {
        if (!m_stream) throw PakError(DisplayPath(path) + ": cannot create the file");
    }
    ~OutputFile() {
        if (m_done) return;
        m_stream.close();
        std::error_code ec;
        fs::remove(m_path, ec);
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    void Write(const uint8_t* p, size_t n) {
        if (!m_stream.write(reinterpret_cast<const char*>(p), static_cast<std::streamsize>(n)))
            throw PakError(DisplayPath(m_path) + ": cannot write the file");
    }
    void Finish() {
        m_stream.close();
        if (m_stream.fail()) throw PakError(DisplayPath(m_path) + ": cannot write the file");
        m_done = true;
    }
private:
    fs::path m_path;
    std::ofstream m_stream;
    bool m_done = false;
};

void ExtractOne(const Source& src, const Entry& entry, const fs::path& target) {
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    if (ec) throw PakError(DisplayPath(target.parent_path()) + ": cannot create the folder (" + ec.message() + ")");
    OutputFile out(target);
    ReadEntry(src, entry, [&](const uint8_t* p, size_t n) { out.Write(p, n); });
    out.Finish();
}

}  // namespace

std::vector<InputFile> CollectFiles(const fs::path& dir, const fs::path& skip) {
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) throw PakError(DisplayPath(dir) + ": not a folder");
    std::vector<InputFile> files;
    fs::recursive_directory_iterator it(dir, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec) || IsSameFile(it->path(), skip)) continue;
        InputFile file;
        try {
            file.name = EntryNameFromPath(it->path().lexically_relative(dir));
        } catch (const PakError& e) {
            throw PakError(DisplayPath(it->path()) + ": " + e.what());
        }
        file.data = ReadWholeFile(it->path());
        files.push_back(std::move(file));
    }
    if (ec) throw PakError(DisplayPath(dir) + ": cannot list the folder (" + ec.message() + ")");
    return files;
}

void ExtractAll(const Source& src, const Directory& directory, const fs::path& dir,
                const std::function<void(size_t, size_t)>& progress) {
    for (const Entry& e : directory.entries) {
        std::string reason = UnsafeNameReason(e.name);
        if (!reason.empty())
            throw PakError("entry '" + DisplayName(e.name) + "' is refused (" + reason +
                           "): it could land outside " + DisplayPath(dir) + "; nothing was unpacked");
        PathForEntry(dir, e.name);  // throws for names that do not convert
    }
    for (size_t i = 0; i < directory.entries.size(); ++i) {
        const Entry& e = directory.entries[i];
        ExtractOne(src, e, PathForEntry(dir, e.name));
        if (progress) progress(i + 1, directory.entries.size());
    }
}

}  // namespace pak
