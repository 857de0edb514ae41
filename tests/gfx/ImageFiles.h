// Picture files made by the tests themselves: PNG through libpng's writer,
// JPEG through libjpeg's compressor, BMP and .pak archives by hand.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

// A sample of the picture at (x, y), channel c, in the range of the depth.
using SampleFn = std::function<unsigned(int x, int y, int c)>;

struct PngLayout {
    int width = 8;
    int height = 6;
    int colorType = 2;               // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool interlaced = false;
    double gamma = 0;                // written as gAMA when non-zero
    std::vector<RGBTRIPLE> palette;  // colour type 3 (rgbt fields hold R, G, B as named)
};
std::string EncodePng(const PngLayout& layout, const SampleFn& sample);
int PngChannels(int colorType);

// 24-bit colour (or one channel when grey) from `sample` (0..255).
std::string EncodeJpeg(int width, int height, bool grey, const SampleFn& sample,
                       int quality = 95, bool exif = false);

struct BmpLayout {
    int width = 4;
    int height = 3;
    int bits = 24;
    DWORD infoSize = 40;             // 108 and 124 for the later header versions
    DWORD compression = BI_RGB;
    DWORD clrUsed = 0;
    std::vector<RGBQUAD> colors;     // colour table, or the three masks as raw DWORDs
};
// `value`: the colour index (8 bits or fewer) or 0xRRGGBB.
std::string EncodeBmp(const BmpLayout& layout, const std::function<unsigned(int x, int y)>& value);

// A version 0 archive of stored entries, or version 1 with every entry
// stored as one zlib stream.
std::string MakePak(const std::vector<std::pair<std::string, std::string>>& entries,
                    bool compressed);

void PutU32(std::string& bytes, size_t offset, DWORD value);
DWORD GetU32(const std::string& bytes, size_t offset);
