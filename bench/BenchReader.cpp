// The archive reader's costs, printed (not a test):
//  - inflate throughput of OCFile::ReadCompressed (one 4096-byte input buffer)
//    against zlib's own one-shot uncompress of the same stream;
//  - OpenFromArchives as a folder grows: 1, 8, 64 archives of 10, 1,000 and
//    10,000 entries, looking up the first entry, the last one and a missing
//    name (nothing is cached between lookups, so every lookup pays in full).
#include <windows.h>
#include <zlib.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include "PakArchive.h"
#include "archive/OCFile.h"
#include "support/TempDir.h"

namespace {

double Now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return (double)counter.QuadPart / (double)frequency.QuadPart;
}

// Half noise, half text-like runs: zlib shrinks it to about three quarters.
std::string Payload(size_t size) {
    std::string bytes(size, '\0');
    unsigned seed = 12345;
    for (size_t i = 0; i < size; i++) {
        seed = seed * 1103515245u + 12345u;
        bytes[i] = (char)((i / 4096) % 2 ? (seed >> 16) & 0xFF : 'a' + (i / 5) % 26);
    }
    return bytes;
}

template <class Work>
double MedianSeconds(int rounds, Work work) {
    std::vector<double> times;
    for (int i = 0; i < rounds; i++) {
        const double start = Now();
        work();
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void InflateThroughput() {
    const std::string data = Payload(64u << 20);
    uLongf packedSize = compressBound((uLong)data.size());
    std::string packed(packedSize, '\0');
    compress2((Bytef*)&packed[0], &packedSize, (const Bytef*)data.data(), (uLong)data.size(), 6);
    packed.resize(packedSize);
    std::string out(data.size(), '\0');

    // the two alternate, so both see the same load on the machine
    std::vector<double> oursTimes, zlibTimes;
    bool same = true;
    for (int round = 0; round < 7; round++) {
        oursTimes.push_back(MedianSeconds(1, [&] {
            OCFile file;
            file.OpenMemory(&packed[0], (unsigned)packed.size());
            file.ReadCompressed((unsigned)packed.size(), &out[0], (unsigned)out.size());
        }));
        same = same && out == data;
        zlibTimes.push_back(MedianSeconds(1, [&] {
            uLongf outSize = (uLongf)out.size();
            uncompress((Bytef*)&out[0], &outSize, (const Bytef*)packed.data(), (uLong)packed.size());
        }));
    }
    std::sort(oursTimes.begin(), oursTimes.end());
    std::sort(zlibTimes.begin(), zlibTimes.end());
    const double ours = oursTimes[3], zlib = zlibTimes[3];
    const double mib = data.size() / 1048576.0;
    printf("inflate %.0f MiB (packed %.1f MiB): ReadCompressed %.1f MiB/s, uncompress %.1f MiB/s, "
           "ratio %.3f%s\n", mib, packed.size() / 1048576.0, mib / ours, mib / zlib, ours / zlib,
           same ? "" : " (OUTPUT DIFFERS)");
}

std::string EntryName(int archive, int entry) {
    char name[64];
    wsprintfA(name, "a%02d\\file%05d.dat", archive, entry);
    return name;
}

void LookupCosts() {
    printf("%-9s %-8s %12s %12s %12s\n", "archives", "entries", "first (ms)", "last (ms)", "missing (ms)");
    for (int archives : {1, 8, 64}) {
        for (int entries : {10, 1000, 10000}) {
            if ((long)archives * entries > 100000) continue;  // keeps the run to a few minutes
            TempDir dir;
            for (int a = 0; a < archives; a++) {
                std::vector<pak::InputFile> files;
                for (int e = 0; e < entries; e++) files.push_back({EntryName(a, e), {'x'}});
                const std::vector<uint8_t> bytes = pak::BuildArchive(files, {2, pak::Packing::Store});
                char name[32];
                wsprintfA(name, "p%02d.pak", a);
                dir.Write(name, std::string(bytes.begin(), bytes.end()));
            }
            auto lookup = [&](const std::string& name) {
                return 1000 * MedianSeconds(5, [&] {
                    OCFile file;
                    file.OpenFromArchives(dir.Path().c_str(), name.c_str());
                });
            };
            printf("%-9d %-8d %12.2f %12.2f %12.2f\n", archives, entries, lookup(EntryName(0, 0)),
                   lookup(EntryName(archives - 1, entries - 1)), lookup("missing.dat"));
        }
    }
}

}  // namespace

int main() {
    g_quietOpen = 1;
    InflateThroughput();
    LookupCosts();
    return 0;
}
