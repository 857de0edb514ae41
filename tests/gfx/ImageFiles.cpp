#include "gfx/ImageFiles.h"
#include <png.h>
#include <cstdio>
#include <jpeglib.h>
#include <zlib.h>
#include <cstdlib>
#include <cstring>

void PutU32(std::string& bytes, size_t offset, DWORD value) {
    memcpy(&bytes[offset], &value, 4);
}

DWORD GetU32(const std::string& bytes, size_t offset) {
    DWORD value;
    memcpy(&value, bytes.data() + offset, 4);
    return value;
}

static void AppendU32(std::string& bytes, DWORD value) {
    bytes.append((const char*)&value, 4);
}

int PngChannels(int colorType) {
    switch (colorType) {
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    default: return 1;
    }
}

static void WriteToString(png_structp png, png_bytep data, png_size_t length) {
    ((std::string*)png_get_io_ptr(png))->append((const char*)data, length);
}

static void NoFlush(png_structp) {}

// One row packed as the file stores it: MSB-first below 8 bits, big-endian at 16.
static std::vector<BYTE> PackPngRow(const PngLayout& layout, const SampleFn& sample, int y) {
    int channels = PngChannels(layout.colorType);
    size_t bits = (size_t)layout.width * channels * layout.bitDepth;
    std::vector<BYTE> row((bits + 7) / 8);
    size_t bit = 0;
    for (int x = 0; x < layout.width; x++) {
        for (int c = 0; c < channels; c++, bit += layout.bitDepth) {
            unsigned v = sample(x, y, c);
            if (layout.bitDepth == 16) {
                row[bit / 8] = (BYTE)(v >> 8);
                row[bit / 8 + 1] = (BYTE)v;
            } else {
                row[bit / 8] |= (BYTE)(v << (8 - layout.bitDepth - bit % 8));
            }
        }
    }
    return row;
}

std::string EncodePng(const PngLayout& layout, const SampleFn& sample) {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return std::string();
    }
    png_set_write_fn(png, &out, WriteToString, NoFlush);
    png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.colorType,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (const RGBTRIPLE& t : layout.palette) palette.push_back({t.rgbtRed, t.rgbtGreen, t.rgbtBlue});
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), (int)palette.size());
    if (layout.gamma != 0) png_set_gAMA(png, info, layout.gamma);
    png_write_info(png, info);
    std::vector<std::vector<BYTE>> rows;
    std::vector<png_bytep> pointers;
    for (int y = 0; y < layout.height; y++) rows.push_back(PackPngRow(layout, sample, y));
    for (auto& r : rows) pointers.push_back(r.data());
    png_write_image(png, pointers.data());
    png_write_end(png, NULL);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::string EncodeJpeg(int width, int height, bool grey, const SampleFn& sample,
                       int quality, bool exif) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = NULL;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = grey ? 1 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (exif) cinfo.write_JFIF_header = FALSE;
    jpeg_start_compress(&cinfo, TRUE);
    if (exif) {
        static const char kExif[] = "Exif\0\0II*\0\x08\0\0\0\0\0\0\0";
        jpeg_write_marker(&cinfo, JPEG_APP0 + 1, (const JOCTET*)kExif, sizeof kExif - 1);
    }
    std::vector<JSAMPLE> line(width * cinfo.input_components);
    while (cinfo.next_scanline < cinfo.image_height) {
        int y = cinfo.next_scanline;
        for (int x = 0; x < width; x++)
            for (int c = 0; c < cinfo.input_components; c++)
                line[x * cinfo.input_components + c] = (JSAMPLE)sample(x, y, c);
        JSAMPROW row = line.data();
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string out((const char*)buffer, size);
    jpeg_destroy_compress(&cinfo);
    free(buffer);
    return out;
}

static void PutBmpPixel(std::string& row, int bits, int x, unsigned v) {
    if (bits >= 8) {
        for (int i = 0; i < bits / 8; i++) row[x * bits / 8 + i] = (char)(v >> (8 * i));
        return;
    }
    int bit = x * bits;
    row[bit / 8] = (char)(row[bit / 8] | (v << (8 - bits - bit % 8)));
}

std::string EncodeBmp(const BmpLayout& layout, const std::function<unsigned(int x, int y)>& value) {
    DWORD tableBytes = 4 * (DWORD)layout.colors.size();
    DWORD offBits = 14 + layout.infoSize + tableBytes;
    size_t rowSize = ((size_t)layout.width * layout.bits + 31) / 32 * 4;
    std::string out = "BM";
    AppendU32(out, offBits + (DWORD)(rowSize * layout.height));
    AppendU32(out, 0);
    AppendU32(out, offBits);
    std::string info(layout.infoSize, '\0');
    BITMAPINFOHEADER h = {};
    h.biSize = layout.infoSize;
    h.biWidth = layout.width;
    h.biHeight = layout.height;
    h.biPlanes = 1;
    h.biBitCount = (WORD)layout.bits;
    h.biCompression = layout.compression;
    h.biClrUsed = layout.clrUsed;
    memcpy(&info[0], &h, sizeof h);
    out += info;
    out.append((const char*)layout.colors.data(), tableBytes);
    for (int r = 0; r < layout.height; r++) {                 // bottom row first
        std::string row(rowSize, '\0');
        for (int x = 0; x < layout.width; x++) PutBmpPixel(row, layout.bits, x, value(x, layout.height - 1 - r));
        out += row;
    }
    return out;
}

static std::string Deflate(const std::string& data) {
    uLongf size = compressBound((uLong)data.size());
    std::string out(size, '\0');
    compress2((Bytef*)&out[0], &size, (const Bytef*)data.data(), (uLong)data.size(), 9);
    out.resize(size);
    return out;
}

std::string MakePak(const std::vector<std::pair<std::string, std::string>>& entries,
                    bool compressed) {
    std::string directory, data;
    size_t dirSize = 0;
    for (auto& e : entries) dirSize += 4 + e.first.size() + (compressed ? 20 : 12);
    for (auto& e : entries) {
        std::string stored = compressed ? Deflate(e.second) : e.second;
        AppendU32(directory, (DWORD)e.first.size());
        directory += e.first;
        DWORD start = (DWORD)data.size() + (compressed ? 0 : 8 + (DWORD)dirSize);
        AppendU32(directory, start);
        AppendU32(directory, 0);
        AppendU32(directory, (DWORD)e.second.size());
        if (compressed) {
            AppendU32(directory, 1);
            AppendU32(directory, (DWORD)stored.size());
        }
        data += stored;
    }
    std::string out;
    AppendU32(out, compressed ? 1 : 0);
    AppendU32(out, (DWORD)entries.size());
    if (!compressed) return out + directory + data;
    std::string packed = Deflate(directory);
    AppendU32(out, (DWORD)directory.size());
    AppendU32(out, (DWORD)packed.size());
    return out + packed + data;
}
