// BMP reader. The file's header fields are checked against the file before
// anything is allocated or read: the pixel rows the dimensions call for must
// lie inside the file, and the colour table is read from behind the info
// header, whatever its length. Files that do not fit are not decoded.
//
// [BITMAPFILEHEADER 14][info header biSize >= 40][colour table or masks][...][pixels at bfOffBits]
#include "gfx/OCImage.h"
#include "archive/OCFile.h"

static_assert(sizeof(BITMAPFILEHEADER) == 14, "BMP file header layout");

namespace {

const DWORD kInfoOffset = sizeof(BITMAPFILEHEADER);                 // 14
const DWORD kMasksOffset = kInfoOffset + sizeof(BITMAPINFOHEADER);   // 54
const DWORD kMaxInfoSize = 1024;  // larger than any header version

struct BmpLayout {
    DWORD colorOffset;    // where the colour table (or the three masks) starts
    int colorCount;       // entries to read
    DWORD pixelOffset;
    DWORD pixelBytes;     // row size x height
};

bool IsSupportedDepth(const BITMAPINFOHEADER& info) {
    switch (info.biBitCount) {
    case 1: case 4: case 8: case 24: return info.biCompression == BI_RGB;
    case 16: case 32: return info.biCompression == BI_RGB || info.biCompression == BI_BITFIELDS;
    default: return false;
    }
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
bool PlanLayout(const BITMAPFILEHEADER& fh, const BITMAPINFOHEADER& info, DWORD fileSize,
                BmpLayout& out) {
    if (info.biSize < sizeof(BITMAPINFOHEADER) || info.biSize > kMaxInfoSize) return false;
    if (info.biWidth <= 0 || info.biHeight <= 0 || info.biPlanes != 1) return false;
    if (!IsSupportedDepth(info)) return false;
    out.colorCount = ColorCount(info);
    out.colorOffset = info.biCompression == BI_BITFIELDS ? kMasksOffset : kInfoOffset + info.biSize;
    if ((ULONGLONG)out.colorOffset + 4ull * out.colorCount > fileSize) return false;
    ULONGLONG pixels = OCImage::RowBytes(info.biWidth, info.biBitCount) * (ULONGLONG)info.biHeight;
    if (pixels > OCImage::kMaxPixelBytes || fh.bfOffBits > fileSize) return false;
    if (pixels > fileSize - fh.bfOffBits) return false;
    out.pixelOffset = fh.bfOffBits;
    out.pixelBytes = (DWORD)pixels;
    return true;
}

bool ReadAt(OCFile& file, DWORD offset, void* dst, DWORD count) {
    return file.Seek((long)offset, SEEK_SET) == 0 && file.ReadExact(dst, count);
}

}  // namespace

void OCImage::DecodeBmp(OCFile& file) {
    BITMAPFILEHEADER fh;
    BITMAPINFOHEADER info;
    DWORD fileSize = file.GetSize();
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
              ReadAt(file, layout.pixelOffset, pixels, layout.pixelBytes);
    if (!ok) {
        ImageFree(header);
        ImageFree(pixels);
        return;
    }
    *header = info;
    header->biSize = sizeof info;                    // the table now follows at 40
    header->biClrUsed = info.biBitCount <= 8 ? layout.colorCount : 0;
    m_header = header;
    m_colors = (RGBQUAD*)(header + 1);
    m_pixels = pixels;
    UpdateRowSize();
}
