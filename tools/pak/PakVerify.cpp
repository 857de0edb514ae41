#include "PakVerify.h"

#include "PakNames.h"

#include <map>

namespace pak {

namespace {

void CheckName(const Entry& e, const std::string& label, std::vector<std::string>& faults) {
    if (e.name.size() != e.nameLength)
        faults.push_back(label + ": the name holds a NUL byte");
    if (!IsValidCp932(e.name))
        faults.push_back(label + ": the name is not valid Shift-JIS text");
    std::string unsafe = UnsafeNameReason(e.name);
    if (!unsafe.empty())
        faults.push_back(label + ": cannot be unpacked into a folder: " + unsafe);
}

void CheckPlace(const Directory& dir, const Entry& e, uint64_t fileSize, const std::string& label,
                std::vector<std::string>& faults) {
    const uint64_t end = e.dataPosition + e.StoredSize();
    if (end > fileSize)
        faults.push_back(label + ": its " + std::to_string(e.StoredSize()) + " bytes at " +
                         std::to_string(e.dataPosition) + " run past the end of the archive (" +
                         std::to_string(fileSize) + " bytes)");
    else if (e.dataPosition > kMaxArchiveSize)
        faults.push_back(label + ": its data lies beyond 2 GiB, where the installer cannot seek");
    if (dir.version == 0 && e.StoredSize() > 0 && e.dataPosition < dir.directoryEnd)
        faults.push_back(label + ": its data overlaps the header or the directory");
}

void CheckData(const Source& src, const Entry& e, std::vector<std::string>& faults) {
    if (!e.IsCompressed() || e.dataPosition + e.packedSize > src.Size()) return;  // place checked already
    try {
        ReadEntry(src, e, [](const uint8_t*, size_t) {});
    } catch (const PakError& error) {
        faults.push_back(error.what());
    }
}

}  // namespace

std::vector<std::string> VerifyArchive(const Source& src, const std::function<void(size_t, size_t)>& progress) {
    Directory dir;
    try {
        dir = ReadDirectory(src);
    } catch (const PakError& error) {
        return {error.what()};
    }
    std::vector<std::string> faults = dir.faults;
    if (src.Size() > kMaxArchiveSize)
        faults.push_back("the archive is 2 GiB or larger, more than the installer can read");
    std::map<std::string, size_t> seen;  // folded name -> entry number
    for (size_t i = 0; i < dir.entries.size(); ++i) {
        const Entry& e = dir.entries[i];
        const std::string label = "entry " + std::to_string(i + 1) + " '" + DisplayName(e.name) + "'";
        CheckName(e, label, faults);
        auto [it, fresh] = seen.emplace(FoldCase(e.name), i + 1);
        if (!fresh)
            faults.push_back(label + ": the same name as entry " + std::to_string(it->second) +
                             ", so the installer never reaches it");
        CheckPlace(dir, e, src.Size(), label, faults);
        CheckData(src, e, faults);
        if (progress) progress(i + 1, dir.entries.size());
    }
    return faults;
}

}  // namespace pak
