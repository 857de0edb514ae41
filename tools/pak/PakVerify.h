// Checks a whole archive: its directory, every entry's place in the file, and
// every compressed entry's stream.
#pragma once
#include "PakArchive.h"

#include <functional>
#include <string>
#include <vector>

namespace pak {

// One message per fault found; empty when the archive is sound. Never throws
// PakError for damage in the archive (only `progress` may throw).
std::vector<std::string> VerifyArchive(const Source& src,
                                       const std::function<void(size_t done, size_t total)>& progress = {});

}  // namespace pak
