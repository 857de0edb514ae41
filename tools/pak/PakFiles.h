// The file-system side of the tool: gathering a folder's files and unpacking
// entries below a folder.
#pragma once
#include "PakArchive.h"

#include <filesystem>
#include <functional>
#include <vector>

namespace pak {

// Every regular file below `dir` (symbolic links to files are followed, links to
// folders are not), named by its path relative to `dir`. `skip`, when it names a
// file below `dir` (the archive being written), is left out. Throws PakError
// naming the path that cannot be read or named.
std::vector<InputFile> CollectFiles(const std::filesystem::path& dir, const std::filesystem::path& skip);

// Writes every entry below `dir`, creating folders. Checks every name first and
// writes nothing when one would land outside `dir`. Throws PakError.
void ExtractAll(const Source& src, const Directory& directory, const std::filesystem::path& dir,
                const std::function<void(size_t done, size_t total)>& progress = {});

}  // namespace pak
