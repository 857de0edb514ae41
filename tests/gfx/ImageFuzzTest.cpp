// Thousands of damaged PNG, JPEG and BMP files through Load: nothing but
// OCErrorException (from PNG files) may come out, and nothing may crash.
#include "gfx/LoadFixture.h"
#include "gfx/ImageFiles.h"
#include <png.h>
#include <zlib.h>
#include <cstdio>
#include <random>

namespace {

unsigned Pattern(int x, int y, int c) { return (x * 31 + y * 17 + c * 5 + x * y) & 255; }

std::vector<std::string> Seeds() {
    std::vector<std::string> seeds;
    int types[][2] = {{2, 8}, {6, 16}, {0, 1}, {4, 8}, {3, 4}, {3, 8}};
    for (auto& t : types) {
        PngLayout layout;
        layout.width = 11;
        layout.height = 9;
        layout.colorType = t[0];
        layout.bitDepth = t[1];
        layout.gamma = t[0] == 2 ? 1.0 : 0;
        if (t[0] == 3)
            for (int i = 0; i < (1 << t[1]); i++) layout.palette.push_back(RGBTRIPLE{(BYTE)i, (BYTE)(i * 3), (BYTE)(i * 5)});
        seeds.push_back(EncodePng(layout, [&](int x, int y, int c) { return Pattern(x, y, c) % (1u << t[1]); }));
    }
    seeds.push_back(EncodeJpeg(24, 20, false, Pattern, 80));
    seeds.push_back(EncodeJpeg(17, 9, true, Pattern, 80));
    BmpLayout bmp;
    bmp.width = 9;
    bmp.height = 5;
    seeds.push_back(EncodeBmp(bmp, [](int x, int y) { return Pattern(x, y, 0) * 0x010101u; }));
    bmp.bits = 8;
    for (int i = 0; i < 256; i++) bmp.colors.push_back(RGBQUAD{(BYTE)i, 0, (BYTE)(255 - i), 0});
    seeds.push_back(EncodeBmp(bmp, [](int x, int y) { return Pattern(x, y, 1); }));
    return seeds;
}

// Makes the CRC of every PNG chunk right again, so damage reaches past the
// chunk checks into the decoder.
void FixPngCrcs(std::string& png) {
    size_t at = 8;
    while (at + 12 <= png.size()) {
        DWORD length = _byteswap_ulong(GetU32(png, at));
        if (length > png.size() - at - 12) return;
        uLong crc = crc32(0, (const Bytef*)&png[at + 4], length + 4);
        PutU32(png, at + 8 + length, _byteswap_ulong((DWORD)crc));
        at += 12 + length;
    }
}

std::string Mutate(std::string bytes, std::mt19937& rng) {
    int edits = 1 + rng() % 4;
    for (int i = 0; i < edits && !bytes.empty(); i++) {
        size_t at = 2 + rng() % (bytes.size() > 2 ? bytes.size() - 2 : 1);   // keep the signature
        if (at >= bytes.size()) at = bytes.size() - 1;
        switch (rng() % 6) {
        case 0: bytes[at] ^= (char)(1 << (rng() % 8)); break;
        case 1: bytes[at] = (char)rng(); break;
        case 2: bytes.resize(at); break;
        case 3: bytes.insert(at, std::string(1 + rng() % 16, (char)rng())); break;
        case 4: if (at + 4 <= bytes.size()) PutU32(bytes, at, rng() % 2 ? 0xFFFFFFFFu : rng()); break;
        case 5: if (at + 2 <= bytes.size()) { bytes[at] = (char)0xFF; bytes[at + 1] = (char)0xFF; } break;
        }
    }
    if (bytes.compare(0, 4, "\x89PNG") == 0 && rng() % 2) FixPngCrcs(bytes);
    return bytes;
}

}  // namespace

TEST_F(LoadTest, DamagedFilesRaiseNothingButTheFormatError) {
    std::vector<std::string> seeds = Seeds();
    std::mt19937 rng(20240611);
    int decoded = 0, empty = 0, raised = 0, other = 0;
    const int kRuns = 3000;
    std::string path = dir / "damaged.img";
    OCDibImage image;
    for (int run = 0; run < kRuns; run++) {
        dir.Write("damaged.img", Mutate(seeds[run % seeds.size()], rng));
        try {
            ASSERT_EQ(1, image.Load(path.c_str()));
            if (image.GetPixels()) {
                Canvas canvas(8, 8);
                image.Draw(canvas.Dc(), NULL);
                decoded++;
            } else {
                empty++;
            }
        } catch (const OCErrorException& e) {
            ASSERT_EQ(0, strncmp(e.message.GetBuffer(), "ＣＧファイルフォーマット : ", 27));
            raised++;
        } catch (...) {
            other++;
        }
    }
    printf("damaged files: %d decoded, %d empty, %d raised the format error, %d other\n",
           decoded, empty, raised, other);
    EXPECT_EQ(0, other);
    EXPECT_EQ(kRuns, decoded + empty + raised);
    EXPECT_GT(decoded, 0);
    EXPECT_GT(raised, 0);
}
