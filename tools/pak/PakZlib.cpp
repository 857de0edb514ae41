#include "PakZlib.h"

#include <zlib.h>

namespace pak {

std::vector<uint8_t> Deflate(const uint8_t* data, size_t size, int level) {
    uLongf packedSize = compressBound(static_cast<uLong>(size));
    std::vector<uint8_t> packed(packedSize);
    static const uint8_t kNothing = 0;
    int ret = compress2(packed.data(), &packedSize, size ? data : &kNothing, static_cast<uLong>(size), level);
    if (ret != Z_OK) throw PakError(std::string("compression failed: ") + zError(ret));
    packed.resize(packedSize);
    return packed;
}

namespace {

// Owns one inflate stream.
class Inflater {
public:
    Inflater() : m_ready(inflateInit(&m_zs) == Z_OK) {}
    ~Inflater() { if (m_ready) inflateEnd(&m_zs); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
    bool Ready() const { return m_ready; }
    z_stream& Stream() { return m_zs; }
private:
    z_stream m_zs{};
    bool m_ready;
};

constexpr size_t kChunk = 64 * 1024;

}  // namespace

InflateResult InflateStream(const Source& src, uint64_t position, uint32_t packedSize, uint64_t limit,
                            const Sink& sink, const std::string& what) {
    if (position > src.Size() || packedSize > src.Size() - position)
        throw PakError(what + ": its " + std::to_string(packedSize) + " compressed bytes at " +
                       std::to_string(position) + " run past the end of the archive (" +
                       std::to_string(src.Size()) + " bytes)");
    Inflater inflater;
    if (!inflater.Ready()) throw PakError(what + ": zlib could not start");
    z_stream& zs = inflater.Stream();
    std::vector<uint8_t> in(kChunk), out(kChunk);
    uint64_t inLeft = packedSize, readPos = position;
    InflateResult result;
    for (;;) {
        if (zs.avail_in == 0 && inLeft > 0) {
            size_t n = static_cast<size_t>(inLeft < kChunk ? inLeft : kChunk);
            src.ReadAt(readPos, in.data(), n);
            readPos += n;
            inLeft -= n;
            zs.next_in = in.data();
            zs.avail_in = static_cast<uInt>(n);
        }
        zs.next_out = out.data();
        zs.avail_out = static_cast<uInt>(out.size());
        int ret = inflate(&zs, Z_NO_FLUSH);
        size_t got = out.size() - zs.avail_out;
        if (got > limit - result.produced)
            throw PakError(what + ": the compressed data inflates to more than " + std::to_string(limit) + " bytes");
        if (got) sink(out.data(), got);
        result.produced += got;
        if (ret == Z_STREAM_END) break;
        if (ret == Z_BUF_ERROR && zs.avail_in == 0 && inLeft == 0)
            throw PakError(what + ": the compressed data is cut short");
        if (ret != Z_OK)
            throw PakError(what + ": the compressed data is damaged (" + (zs.msg ? zs.msg : zError(ret)) + ")");
    }
    result.unused = zs.avail_in + inLeft;
    return result;
}

}  // namespace pak
