// The *.pak archive layout, written down once for the installer's reader and
// the authors' `pak` tool. Portable: no Windows headers.
//
// All integers are 32-bit unsigned little-endian; there is no magic number.
//   v0: [version=0][count]                                  directory at 8, uncompressed
//   v1: [version=1][count][dirSize][dirPacked]              zlib directory at 16
//   v2: [version=2][count][dirSize][dirPacked][u32][256 b]  zlib directory at 276
// Entry: [nameLen][name bytes, code page 932, no NUL] then
//   v0:    [offset from file start][reserved][size]
//   v1/v2: [offset from data area][reserved][size][compressed flag][packed size]
// Data area (v1/v2) = header size + dirPacked.
#pragma once
#include <cstdint>

namespace pak {

constexpr uint32_t kHeaderSizeV0 = 8;
constexpr uint32_t kHeaderSizeV1 = 16;
constexpr uint32_t kHeaderSizeV2 = 276;
constexpr uint32_t kReservedBlockSize = 256;  // v2 only

constexpr uint32_t kEntryFieldsV0 = 12;  // offset, reserved, size
constexpr uint32_t kEntryFieldsV1 = 20;  // offset, reserved, size, flag, packed size

constexpr uint32_t HeaderSize(uint32_t version) {
    return version == 0 ? kHeaderSizeV0 : version == 1 ? kHeaderSizeV1 : kHeaderSizeV2;
}
constexpr uint32_t EntryFieldsSize(uint32_t version) {
    return version == 0 ? kEntryFieldsV0 : kEntryFieldsV1;
}

static_assert(kHeaderSizeV2 == 5 * 4 + kReservedBlockSize, "v2 header layout");
static_assert(HeaderSize(1) == 16 && EntryFieldsSize(2) == 20, "v1/v2 layout");

}  // namespace pak
