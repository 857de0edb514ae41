// libFuzzer target: any bytes through the archive reader and verify.
#include "PakArchive.h"
#include "PakVerify.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pak::MemorySource src(data, size);
    try {
        for (const pak::Entry& e : pak::ReadDirectory(src).entries)
            if (e.StoredSize() <= 1u << 20) pak::ReadEntry(src, e, [](const uint8_t*, size_t) {});  // keeps each run short
    } catch (const pak::PakError&) {
    }
    pak::VerifyArchive(src);  // checks every entry, however large
    return 0;
}
