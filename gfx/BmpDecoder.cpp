// BMP reader. The file's header fields are checked against the file before
// anything is allocated or read: the pixel block the header calls for must lie
// inside the file, and the colour table is read from behind the info header,
// whatever its length. Every layout the system draws is taken: bottom-up and
// top-down rows, RLE8 and RLE4 streams, BI_BITFIELDS masks. The image always
// ends up as plain bottom-up rows.
//
// [BITMAPFILEHEADER 14][info header biSize >= 40][colour table or masks][...][pixels at bfOffBits]
#include "gfx/OCImage.h"
#include <climits>
#include <cstring>
#include "archive/OCFile.h"
#include "gfx/BmpRle.h"

static_assert(sizeof(BITMAPFILEHEADER) == 14, "BMP file header layout");

namespace {

const DWORD kInfoOffset = sizeof(BITMAPFILEHEADER);                 // 14
const DWORD kMasksOffset = kInfoOffset + sizeof(BITMAPINFOHEADER);   // 54
const DWORD kMaxInfoSize = 1024;  // larger than any header version

struct BmpLayout {
    DWORD colorOffset;    // where the colour table (or the three masks) starts
    int colorCount;       // entries to read
    LONG height;          // rows, whichever way they are stored
    bool topDown;
    DWORD pixelOffset;
    DWORD storedBytes;    // bytes to read at pixelOffset (the RLE stream, or the rows)
    DWORD pixelBytes;     // row size x height, as the image holds them
};

bool IsSupportedDepth(const BITMAPINFOHEADER& info) {
    switch (info.biCompression) {
    case BI_RGB:
        return info.biBitCount == 1 || info.biBitCount == 4 || info.biBitCount == 8 ||
               info.biBitCount == 16 || info.biBitCount == 24 || info.biBitCount == 32;
    case BI_RLE8: return info.biBitCount == 8;
    case BI_RLE4: return info.biBitCount == 4;
    case BI_BITFIELDS: return info.biBitCount == 16 || info.biBitCount == 32;
    default: return false;
    }
}

bool IsRle(const BITMAPINFOHEADER& info) {
    return info.biCompression == BI_RLE8 || info.biCompression == BI_RLE4;
}

// Colour entries the header block needs: the table for 8 bits or fewer
// (biClrUsed, at most 2^depth), the three channel masks for BI_BITFIELDS.
int ColorCount(const BITMAPINFOHEADER& info) {
    if (info.biCompression == BI_BITFIELDS) return 3;
    if (info.biBitCount > 8) return 0;
    DWORD full = 1u << info.biBitCount;
    return (int)(info.biClrUsed != 0 && info.biClrUsed < full ? info.biClrUsed : full);
}

// False when the header does not describe a picture that fits the file.
bool PlanLayout(const BITMAPFILEHEADER& fh, const BITMAPINFOHEADER& info, ULONGLONG fileSize,
                BmpLayout& out) {
    if (info.biSize < sizeof(BITMAPINFOHEADER) || info.biSize > kMaxInfoSize) return false;
    if (info.biWidth <= 0 || info.biHeight == 0 || info.biHeight == LONG_MIN || info.biPlanes != 1)
        return false;
    if (!IsSupportedDepth(info)) return false;
    out.topDown = info.biHeight < 0;
    out.height = out.topDown ? -info.biHeight : info.biHeight;
    if (out.topDown && IsRle(info)) return false;    // compressed rows are bottom-up only
    out.colorCount = ColorCount(info);
    out.colorOffset = info.biCompression == BI_BITFIELDS ? kMasksOffset : kInfoOffset + info.biSize;
    if ((ULONGLONG)out.colorOffset + 4ull * out.colorCount > fileSize) return false;
    ULONGLONG pixels = OCImage::RowBytes(info.biWidth, info.biBitCount) * (ULONGLONG)out.height;
    if (pixels == 0 || pixels > OCImage::kMaxPixelBytes || fh.bfOffBits > fileSize) return false;
    const ULONGLONG stored = IsRle(info) ? info.biSizeImage : pixels;
    if (stored == 0 || stored > fileSize - fh.bfOffBits) return false;
    out.pixelOffset = fh.bfOffBits;
    out.storedBytes = (DWORD)stored;
    out.pixelBytes = (DWORD)pixels;
    return true;
}

bool ReadAt(OCFile& file, DWORD offset, void* dst, DWORD count) {
    return file.Seek(offset, SEEK_SET) == 0 && file.ReadExact(dst, count);
}

// Top-down rows become bottom-up in place.
void FlipRows(BYTE* pixels, DWORD pixelBytes, LONG height) {
    const DWORD rowBytes = pixelBytes / (DWORD)height;
    for (LONG top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        BYTE* a = pixels + (size_t)top * rowBytes;
        BYTE* b = pixels + (size_t)bottom * rowBytes;
        for (DWORD i = 0; i < rowBytes; i++) {
            const BYTE t = a[i];
            a[i] = b[i];
            b[i] = t;
        }
    }
}

// Reads the stored pixel block into `pixels` as plain bottom-up rows.
bool ReadPixels(OCFile& file, const BITMAPINFOHEADER& info, const BmpLayout& layout, BYTE* pixels) {
    if (!IsRle(info)) {
        if (!ReadAt(file, layout.pixelOffset, pixels, layout.pixelBytes)) return false;
        if (layout.topDown) FlipRows(pixels, layout.pixelBytes, layout.height);
        return true;
    }
    BYTE* stream = (BYTE*)ImageAlloc(layout.storedBytes);
    const bool ok = stream && ReadAt(file, layout.pixelOffset, stream, layout.storedBytes) &&
                    ExpandRle(stream, layout.storedBytes, info.biBitCount, info.biWidth, layout.height,
                              pixels, layout.pixelBytes / (DWORD)layout.height);
    ImageFree(stream);
    return ok;
}

}  // namespace

void OCImage::DecodeBmp(OCFile& file) {
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER info;
    const ULONGLONG fileSize = file.GetSize();
    if (file.Seek(0, SEEK_SET) != 0 || !file.ReadExact(&fh, sizeof fh) ||
        !file.ReadExact(&info, sizeof info))
        return;
    BmpLayout layout;
    if (!PlanLayout(fh, info, fileSize, layout)) return;

    BITMAPINFOHEADER* header =
        (BITMAPINFOHEADER*)ImageAlloc(sizeof info + 4 * layout.colorCount);
    BYTE* pixels = (BYTE*)ImageAlloc(layout.pixelBytes);
    bool ok = header && pixels &&
              ReadAt(file, layout.colorOffset, header + 1, 4 * layout.colorCount) &&
              ReadPixels(file, info, layout, pixels);
    if (!ok) {
        ImageFree(header);
        ImageFree(pixels);
        return;
    }
    *header = info;
    header->biSize = sizeof info;                    // the table now follows at 40
    header->biHeight = layout.height;                // rows are bottom-up now
    if (IsRle(info)) header->biCompression = BI_RGB;
    header->biSizeImage = 0;
    header->biClrUsed = info.biBitCount <= 8 ? layout.colorCount : 0;
    m_header = header;
    m_colors = (RGBQUAD*)(header + 1);
    m_pixels = pixels;
    UpdateRowSize();
}
