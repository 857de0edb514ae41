#include "gfx/ImageFiles.h"
#include <png.h>
#include <cstdio>
#include <jpeglib.h>
#include <cstdlib>
#include <vector>

static void WriteToString(png_structp png, png_bytep data, png_size_t length) {
    ((std::string*)png_get_io_ptr(png))->append((const char*)data, length);
}

static void NoFlush(png_structp) {}

std::string EncodePng(const PngLayout& layout, const SampleFn& sample) {
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, NULL, NULL, NULL);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return std::string();
    }
    png_set_write_fn(png, &out, WriteToString, NoFlush);
    png_set_IHDR(png, info, layout.width, layout.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(layout.width * 3);
    for (int y = 0; y < layout.height; y++) {
        for (int i = 0; i < layout.width * 3; i++) row[i] = (png_byte)sample(i / 3, y, i % 3);
        png_write_row(png, row.data());
    }
    png_write_end(png, NULL);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::string EncodeJpeg(int width, int height, bool grey, const SampleFn& sample, int quality) {
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
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> line(width * cinfo.input_components);
    while (cinfo.next_scanline < cinfo.image_height) {
        for (size_t i = 0; i < line.size(); i++)
            line[i] = (JSAMPLE)sample((int)i / cinfo.input_components, cinfo.next_scanline, (int)i % cinfo.input_components);
        JSAMPROW row = line.data();
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::string out((const char*)buffer, size);
    jpeg_destroy_compress(&cinfo);
    free(buffer);
    return out;
}
