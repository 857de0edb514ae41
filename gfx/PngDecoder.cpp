// PNG decoder on libpng. libpng's errors come back to DecodePng by longjmp
// (png_jmpbuf); DecodePng releases the libpng structures and the row buffer
// and throws OCErrorException from its own frame, so no C++ exception ever
// crosses the library's C frames.
#include "gfx/OCImage.h"
#include "archive/OCFile.h"
#include "base/Messages.h"
#include "base/OCException.h"
#include <png.h>
#include <cstring>

namespace {

// Everything the error path must release or report. Lives on DecodePng's
// frame; libpng holds its address as the error and I/O pointer.
struct PngSession {
    explicit PngSession(OCFile& f) : file(&f) {}
    ~PngSession() { Close(); }
    PngSession(const PngSession&) = delete;
    PngSession& operator=(const PngSession&) = delete;
    void Close() {
        if (png) png_destroy_read_struct(&png, info ? &info : NULL, NULL);
        png = NULL;
        info = NULL;
        ImageFree(row);
        row = NULL;
    }

    OCFile* file;
    png_structp png = NULL;
    png_infop info = NULL;
    BYTE* row = NULL;            // one row after the transformations
    DWORD errorCode = 0;         // GetLastError() when the error was raised
    OCString errorText;          // "ＣＧファイルフォーマット : <message>\n"
};

// Records the text and the system error code, then returns to DecodePng.
void OnPngError(png_structp png, png_const_charp message) {
    PngSession* s = (PngSession*)png_get_error_ptr(png);
    s->errorCode = GetLastError();
    s->errorText.Format(kFmtPngError, kPngErrorTitle, message);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}  // warnings are ignored

void ReadFromFile(png_structp png, png_bytep data, png_size_t length) {
    PngSession* s = (PngSession*)png_get_io_ptr(png);
    if (!s->file->ReadExact(data, (unsigned)length)) png_error(png, "Read Error");
}

// Steps to 8 bits per sample, BGR order or equal grey channels, 8-bit
// palette indexes, and the screen gamma when the file states its own.
void SetTransformations(png_structp png, png_infop info, int depth, int colorType) {
    if (depth == 16) png_set_strip_16(png);
    if (depth < 8) {
        if (colorType == PNG_COLOR_TYPE_PALETTE)
            png_set_packing(png);                    // 1, 2, 4-bit indexes to bytes
        else
            png_set_expand(png);
    }
    if (colorType == PNG_COLOR_TYPE_RGB || colorType == PNG_COLOR_TYPE_RGB_ALPHA)
        png_set_bgr(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    double fileGamma = 0;
    if (png_get_gAMA(png, info, &fileGamma)) png_set_gamma(png, 2.2, fileGamma);
}

// Palette images: 8-bit indexes and the (gamma-corrected) palette.
void ReadIndexed(PngSession& s, OCImage& image, int width, int height) {
    image.Create(width, height, 8);
    if (!image.GetPixels()) png_error(s.png, kMsgPngOutOfMemory);
    png_colorp palette = NULL;
    int count = 0;
    if (png_get_PLTE(s.png, s.info, &palette, &count)) {
        for (int i = 0; i < count && i < 256; i++) {
            RGBQUAD entry = {palette[i].blue, palette[i].green, palette[i].red, 0};
            image.GetColors()[i] = entry;
        }
    }
    for (int i = 0; i < height; i++) {
        png_read_row(s.png, s.row, NULL);
        memcpy(image.Row(height - 1 - i), s.row, width);
    }
}

// Everything else: 24-bit blue, green, red; alpha is dropped.
void ReadTrueColor(PngSession& s, OCImage& image, int width, int height, int channels) {
    image.Create(width, height, 24);
    if (!image.GetPixels()) png_error(s.png, kMsgPngOutOfMemory);
    for (int i = 0; i < height; i++) {
        png_read_row(s.png, s.row, NULL);
        const BYTE* src = s.row;
        BYTE* dst = image.Row(height - 1 - i);
        for (int x = 0; x < width; x++, src += channels, dst += 3) {
            dst[0] = src[0];
            dst[1] = src[1];
            dst[2] = src[2];
        }
    }
}

void ReadPng(PngSession& s, OCImage& image) {
    png_set_read_fn(s.png, &s, ReadFromFile);
    png_set_sig_bytes(s.png, 8);
    png_read_info(s.png, s.info);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colorType = 0, interlace = 0, compression = 0, filter = 0;
    png_get_IHDR(s.png, s.info, &width, &height, &depth, &colorType, &interlace,
                 &compression, &filter);
    if (interlace != 0 || compression != 0 || filter != 0) png_error(s.png, kMsgPngUnsupported);
    SetTransformations(s.png, s.info, depth, colorType);
    png_read_update_info(s.png, s.info);

    size_t rowBytes = png_get_rowbytes(s.png, s.info);
    int channels = png_get_channels(s.png, s.info);
    bool indexed = colorType == PNG_COLOR_TYPE_PALETTE;
    if ((indexed ? 1 : 3) > channels || rowBytes < (size_t)width * channels)
        png_error(s.png, kMsgPngUnsupported);
    s.row = (BYTE*)ImageAlloc(rowBytes);
    if (!s.row) png_error(s.png, kMsgPngOutOfMemory);
    if (indexed)
        ReadIndexed(s, image, (int)width, (int)height);
    else
        ReadTrueColor(s, image, (int)width, (int)height, channels);
    png_read_end(s.png, NULL);
}

}  // namespace

void OCImage::DecodePng(OCFile& file) {
    PngSession s(file);
    s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &s, OnPngError, OnPngWarning);
    if (!s.png) return;
    s.info = png_create_info_struct(s.png);
    if (!s.info) return;                             // s.Close() destroys the read struct
    if (setjmp(png_jmpbuf(s.png))) {
        s.Close();
        throw OCErrorException((LONG)s.errorCode, s.errorText.GetBuffer());
    }
    ReadPng(s, *this);
}
