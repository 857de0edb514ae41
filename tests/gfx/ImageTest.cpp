// Images and their decoders on make-pictures.sh's pictures: every format and depth shows its four
// quadrants right, from disk or an archive; damaged files are refused as promised.
#include <windows.h>
#include <psapi.h>
#include <gtest/gtest.h>
#include <zlib.h>
#include <cstring>
#include <functional>
#include <random>
#include "PakArchive.h"
#include "archive/OCFile.h"
#include "base/OCException.h"
#include "gfx/BmpRle.h"
#include "gfx/OCDibImage.h"
#include "support/TempDir.h"

namespace {

const int kW = 37, kH = 30;  // quadrants split at x = 16 and y = 16
const COLORREF kColour[4] = {RGB(204, 51, 0), RGB(0, 153, 51), RGB(51, 51, 204), RGB(255, 255, 102)};
const COLORREF kGrey[4] = {RGB(0, 0, 0), RGB(85, 85, 85), RGB(170, 170, 170), RGB(255, 255, 255)};
const COLORREF kBlackWhite[4] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 255, 255), RGB(0, 0, 0)};
// With gAMA 1.0, corrected to the screen's 2.2: 255 (v / 255)^(1 / 2.2).
const COLORREF kGreyLinear[4] = {RGB(0, 0, 0), RGB(155, 155, 155), RGB(212, 212, 212), RGB(255, 255, 255)};
const COLORREF kColourLinear[4] = {RGB(230, 123, 0), RGB(0, 202, 123), RGB(123, 123, 230), RGB(255, 255, 168)};
const COLORREF kUntouched = RGB(1, 2, 3);

// The quadrants top-left, top-right, bottom-left, bottom-right; the bits of the image the loader makes.
const struct Picture { const char* file; const COLORREF* quadrants; int tolerance, bits; } kPictures[] = {
    {"bmp24.bmp", kColour, 0, 24}, {"bmp8.bmp", kColour, 0, 8}, {"bmp8-rle.bmp", kColour, 0, 8}, {"bmp4-v5.bmp", kColour, 0, 4}, {"bmp1.bmp", kBlackWhite, 0, 1},
    {"bmp565.bmp", kColour, 8, 16}, {"bmp32.bmp", kColour, 0, 32}, {"rgb8.png", kColour, 0, 24}, {"rgba8.png", kColour, 0, 24},
    {"rgb16.png", kColour, 0, 24}, {"rgba16.png", kColour, 0, 24}, {"pal8.png", kColour, 0, 8}, {"pal2.png", kColour, 0, 8},
    {"grey2.png", kGrey, 0, 24}, {"grey8.png", kGrey, 0, 24}, {"grey16.png", kGrey, 0, 24}, {"greya8.png", kGrey, 0, 24},
    {"png.JPG", kColour, 0, 24}, {"grey8-linear.png", kGreyLinear, 2, 24}, {"pal2-linear.png", kColourLinear, 2, 8},
    {"base.jpg", kColour, 12, 24}, {"progressive.jpg", kColour, 12, 24}, {"grey.jpg", kGrey, 12, 24},
};

std::string Read(const char* name) { return ReadBytes(std::string(PICTURES) + "/" + name); }
void Put(std::string& bytes, size_t at, DWORD value) { memcpy(&bytes[at], &value, 4); }
DWORD Get(const std::string& bytes, size_t at) { return *(const DWORD*)&bytes[at]; }

// bmp24.bmp stored top-down, as some painting programs save it.
void TopDown(std::string& b) {
    const size_t row = (kW * 3 + 3) & ~3, at = Get(b, 10);
    const std::string rows = b.substr(at);
    for (int y = 0; y < kH; y++) b.replace(at + y * row, row, rows, (kH - 1 - y) * row, row);
    Put(b, 22, (DWORD)-kH);
}

// A 32-bit bitmap in a memory DC, filled with kUntouched, that images are drawn on.
struct Canvas {
    HDC dc = CreateCompatibleDC(NULL);
    HBITMAP bitmap;
    HGDIOBJ old;
    Canvas(int w, int h) {
        BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
        void* bits = NULL;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
        std::fill_n((DWORD*)bits, w * h, 0x010203);
        old = SelectObject(dc, bitmap);
    }
    ~Canvas() { SelectObject(dc, old), DeleteObject(bitmap), DeleteDC(dc); }
    COLORREF At(int x, int y) const { return GetPixel(dc, x, y); }
};

// Every pixel in the colour of its quadrant, nothing drawn beyond the picture;
// lossy files are spared the pixels beside a quadrant edge.
::testing::AssertionResult ShowsQuadrants(OCImage& image, const COLORREF* quadrants, int tolerance) {
    if (image.GetWidth() != kW || image.GetHeight() != kH)
        return ::testing::AssertionFailure() << "size " << image.GetWidth() << "x" << image.GetHeight();
    Canvas canvas(kW + 1, kH + 1);
    image.Draw(canvas.dc, NULL);
    for (int y = 0; y <= kH; y++)
        for (int x = 0; x <= kW; x++) {
            if (tolerance && (abs(2 * x - 31) < 6 || abs(2 * y - 31) < 6)) continue;
            COLORREF want = x == kW || y == kH ? kUntouched : quadrants[(y >= 16) * 2 + (x >= 16)], got = canvas.At(x, y);
            if (abs(GetRValue(want) - GetRValue(got)) > tolerance || abs(GetGValue(want) - GetGValue(got)) > tolerance ||
                abs(GetBValue(want) - GetBValue(got)) > tolerance)
                return ::testing::AssertionFailure() << "at " << x << "," << y << ": " << std::hex << got << " instead of " << want;
        }
    return ::testing::AssertionSuccess();
}

class ImageTest : public ::testing::Test {
protected:
    void SetUp() override { g_quietOpen = 1; }  // a file not found fails at once, without the open prompt
    // Writes `bytes` as `name` and loads them; the OCErrorException's text, "" when none.
    std::string Load(OCImage& image, const std::string& name, const std::string& bytes) {
        dir.Write(name, bytes);
        try {
            EXPECT_EQ(1, image.Load((dir / name).c_str())) << name;
        } catch (const OCErrorException& e) {
            return e.message.GetBuffer();
        }
        return "";
    }
    TempDir dir;
};

// Each picture from disk, from a stored version 0 and a packed version 1 archive in the current folder.
TEST_F(ImageTest, EveryFormatShowsItsQuadrantsTopRowFirst) {
    for (auto [pak, version, packing] : {std::tuple{"stored-", 0u, pak::Packing::Store}, {"packed-", 1u, pak::Packing::Compress}}) {
        std::vector<pak::InputFile> files;
        for (const Picture& p : kPictures) {
            const std::string bytes = Read(p.file);
            files.push_back({pak + std::string(p.file), {bytes.begin(), bytes.end()}});
        }
        const std::vector<uint8_t> archive = pak::BuildArchive(files, {version, packing});
        dir.Write(pak + std::string("pictures.pak"), {archive.begin(), archive.end()});
    }
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(dir.Path().c_str());
    for (const Picture& p : kPictures)
        for (const std::string& name : {std::string(PICTURES) + "/" + p.file, "stored-" + std::string(p.file), "packed-" + std::string(p.file)}) {
            OCDibImage image;
            EXPECT_EQ(1, image.Load(name.c_str())) << name;
            EXPECT_TRUE(ShowsQuadrants(image, p.quadrants, p.tolerance)) << name;
            EXPECT_EQ(p.bits, image.GetHeader() ? image.GetHeader()->biBitCount : 0) << name;
        }
    SetCurrentDirectoryA(previous);
}

TEST_F(ImageTest, DamagedFilesAreRefusedAsPromised) {
    const char* const decodes = "decodes";
    const struct { const char* file; std::function<void(std::string&)> damage; const char* outcome; } cases[] = {
        {"bmp24.bmp", [](std::string& b) { Put(b, 22, 100000); }, ""},      // rows beyond the file
        {"bmp24.bmp", [](std::string& b) { Put(b, 18, 0x40000000); }, ""},  // the row size overflows
        {"bmp24.bmp", [](std::string& b) { Put(b, 18, (DWORD)-5); }, ""},
        {"bmp24.bmp", [](std::string& b) { Put(b, 10, 0x7FFFFFF0); }, ""},  // pixels beyond the file
        {"bmp24.bmp", [](std::string& b) { Put(b, 14, 0xFFFFFFF0); }, ""},  // an info header longer than the file
        {"bmp4-v5.bmp", [](std::string& b) { Put(b, 14, 1000); }, ""},      // the colour table behind it, too
        {"bmp24.bmp", [](std::string& b) { b.pop_back(); }, ""},            // the last row short
        {"bmp24.bmp", [](std::string& b) { b.resize(30); }, ""},
        {"bmp24.bmp", [](std::string& b) { Put(b, 2, 0); }, decodes},       // bfSize is not trusted
        {"bmp24.bmp", TopDown, decodes},
        {"bmp8-rle.bmp", [](std::string& b) { Put(b, 34, 100000); }, ""},  // a stream longer than the file
        {"bmp8-rle.bmp", [](std::string& b) { Put(b, 34, 4), b[Get(b, 10)] = 0, b[Get(b, 10) + 1] = 16; }, ""},  // 16 literal pixels past it
        {"bmp4-v5.bmp", [](std::string& b) { Put(b, 46, 300); }, decodes},  // biClrUsed capped at the depth
        {"interlaced.png", [](std::string&) {}, "ＣＧファイルフォーマット : PNG: サポートされていないフォーマットです。\n"},
        {"rgb8.png", [](std::string& b) { b[20] ^= 1; }, "ＣＧファイルフォーマット : IHDR: CRC error\n"},
        {"base.jpg", [](std::string& b) { b[3] = '\xE1'; }, ""},            // Exif (APP1) first: not recognised
        {"base.jpg", [](std::string& b) { b.resize(40); }, ""},
        {"base.jpg", [](std::string& b) { b[b.find("\xFF\xC0") + 1] = '\xCF'; }, ""},  // a process libjpeg lacks
    };
    for (const auto& c : cases) {
        std::string bytes = Read(c.file);
        c.damage(bytes);
        OCDibImage image;
        image.Create(2, 2, 24);
        EXPECT_EQ(c.outcome == decodes ? "" : c.outcome, Load(image, c.file, bytes)) << c.file;
        if (c.outcome == decodes) EXPECT_TRUE(ShowsQuadrants(image, kColour, 0)) << c.file;
        else EXPECT_TRUE(!image.GetPixels() && !image.GetWidth()) << c.file << " " << c.outcome;
    }
}

TEST_F(ImageTest, TruncatedJpegKeepsItsDecodedRowsAndLeavesTheRestBlack) {
    const std::string jpeg = Read("noise.jpg");
    OCDibImage whole, cut;
    Load(whole, "whole.jpg", jpeg), Load(cut, "cut.jpg", jpeg.substr(0, jpeg.size() * 6 / 10));
    ASSERT_EQ(64, cut.GetHeight());
    Canvas a(64, 64), b(64, 64);
    whole.Draw(a.dc, NULL), cut.Draw(b.dc, NULL);
    for (int x = 0; x < 64; x++) EXPECT_TRUE(a.At(x, 0) == b.At(x, 0) && b.At(x, 63) == RGB(0, 0, 0)) << x;
}

// libpng's error path releases its structures and the row buffer.
TEST_F(ImageTest, FailedPngLoadsReleaseWhatTheyHeld) {
    const std::string png = Read("wide.png"), cut = png.substr(0, png.size() * 3 / 4);
    OCDibImage image;
    EXPECT_EQ("ＣＧファイルフォーマット : Read Error\n", Load(image, "cut.png", cut));
    PROCESS_MEMORY_COUNTERS before = {}, after = {};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    for (int i = 0; i < 1000; i++) Load(image, "cut.png", cut);
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    EXPECT_LT(after.PagefileUsage, before.PagefileUsage + 4 * 1024 * 1024);
}

// RLE4, which no drawing program at hand writes: runs, literals, a jump, pixels beyond the edge dropped.
TEST(ImageCore, Rle4StreamsExpandToBottomUpRows) {
    const BYTE stream[] = {3, 0x12, 0, 3, 0x34, 0x50, 0, 2, 0, 1, 2, 0x77, 0, 0, 9, 0xAB, 0, 1};
    BYTE rows[2][4] = {};
    ASSERT_TRUE(ExpandRle(stream, sizeof stream, 4, 7, 2, rows[0], 4));
    const BYTE want[2][4] = {{0x12, 0x13, 0x45, 0}, {0, 0, 0, 0x70}};  // 1 2 1 | 3 4 5; a jump up, 7 (and one beyond)
    EXPECT_EQ(0, memcmp(want, rows, sizeof rows));                     // the third line is beyond the picture
    EXPECT_FALSE(ExpandRle(stream, 5, 4, 7, 2, rows[0], 4));            // a literal run past the stream's end
}

TEST(ImageCore, CreateAdoptAndReleaseOnTheHeapAndInASection) {
    OCImage heap;
    OCDibImage dib;
    for (OCImage* image : {&heap, (OCImage*)&dib}) {
        for (auto [w, h] : {std::pair{100000, 100000}, {0, 5}, {-3, 5}, {5, -3}, {70000, 1300}}) {
            image->Create(w, h, 24);  // sizes that cannot be had leave no pixels
            EXPECT_TRUE(!image->GetPixels() && !image->GetWidth() && !image->GetHeight() && !image->GetRowSize()) << w << "x" << h;
        }
        image->Create(6, 4, 8);
        EXPECT_EQ(image == &heap ? RGB(255, 255, 255) : 0, *(COLORREF*)&image->GetColors()[255]);  // heap: white, section: 0
        Canvas canvas(7, 5);
        image->Draw(canvas.dc, NULL);
        EXPECT_TRUE(canvas.At(5, 3) == RGB(0, 0, 0) && canvas.At(6, 4) == kUntouched);  // black, at its natural size
        BITMAPINFOHEADER* header = (BITMAPINFOHEADER*)ImageAlloc(sizeof(BITMAPINFOHEADER));
        *header = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        BYTE* pixels = (BYTE*)ImageAlloc(16);  // its bottom-left pixel red
        pixels[2] = 255;
        image->Adopt(header, pixels);
        image->Draw(canvas.dc, NULL);
        EXPECT_TRUE(canvas.At(0, 1) == RGB(255, 0, 0) && canvas.At(0, 0) == RGB(0, 0, 0));
        EXPECT_EQ(image == &heap, image->GetPixels() == pixels);  // the section copies and frees the block
        image->Release(), image->Release();
        EXPECT_EQ(nullptr, image->GetPixels());
    }
}

// Thousands of damaged pictures, half of the PNGs with their CRCs made right again:
// nothing but the format error may come out of Load, nothing may crash.
TEST_F(ImageTest, DamagedFilesRaiseNothingButTheFormatError) {
    std::mt19937 rng(20240611);
    int decoded = 0, empty = 0, raised = 0;
    for (int run = 0; run < 3000; run++) {
        std::string bytes = Read(kPictures[run % (sizeof kPictures / sizeof *kPictures)].file);
        for (int edits = 1 + rng() % 4; edits > 0 && bytes.size() > 2; edits--) {
            size_t at = 2 + rng() % (bytes.size() - 2);  // the signature stays
            int kind = rng() % 5;
            if (kind == 0) bytes[at] ^= (char)(1 << (rng() % 8));
            if (kind == 1) bytes.resize(at);
            if (kind == 2) bytes.insert(at, std::string(1 + rng() % 16, (char)rng()));
            if (kind >= 3 && at + 4 <= bytes.size()) Put(bytes, at, kind == 3 ? 0xFFFFFFFFu : rng());
        }
        const bool fixCrcs = bytes.compare(0, 4, "\x89PNG") == 0 && rng() % 2;
        for (size_t at = 8, length; fixCrcs && at + 12 <= bytes.size(); at += 12 + length) {
            length = _byteswap_ulong(*(DWORD*)&bytes[at]);
            if (length > bytes.size() - at - 12) break;
            Put(bytes, at + 8 + length, _byteswap_ulong(crc32(0, (const Bytef*)&bytes[at + 4], length + 4)));
        }
        OCDibImage image;
        std::string error = Load(image, "damaged.img", bytes);
        ASSERT_EQ(0u, error.empty() ? 0 : error.find("ＣＧファイルフォーマット : ")) << error;
        Canvas canvas(8, 8);
        image.Draw(canvas.dc, NULL);  // whatever was decoded can be drawn
        ++(!error.empty() ? raised : image.GetPixels() ? decoded : empty);
    }
    printf("damaged files: %d decoded, %d empty, %d raised the format error\n", decoded, empty, raised);
    EXPECT_GT(decoded, 0);
    EXPECT_GT(raised, 0);
}

}  // namespace
