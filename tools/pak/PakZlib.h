// zlib streams of the archive: whole-buffer compression and bounded, streamed
// inflation.
#pragma once
#include "PakArchive.h"

#include <cstdint>
#include <string>
#include <vector>

namespace pak {

// One zlib-format stream (compress2). Throws PakError when zlib fails.
std::vector<uint8_t> Deflate(const uint8_t* data, size_t size, int level);

struct InflateResult {
    uint64_t produced = 0;  // bytes handed to the sink
    uint64_t unused = 0;    // stored bytes after the end of the stream
};

// Inflates the zlib stream of `packedSize` bytes at `position` in `src`, handing
// at most `limit` bytes to `sink`. Throws PakError ("<what>: ...") when the
// stored bytes are not all in the source, the stream is damaged or cut short,
// or it would produce more than `limit` bytes.
InflateResult InflateStream(const Source& src, uint64_t position, uint32_t packedSize, uint64_t limit,
                            const Sink& sink, const std::string& what);

}  // namespace pak
