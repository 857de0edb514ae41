// OCImage: heap header and heap pixels; drawing with a palette for 8 bits per
// pixel or fewer.
#include "gfx/OCImage.h"

void* ImageAlloc(SIZE_T bytes) {
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes);
}

void ImageFree(void* block) {
    if (block) HeapFree(GetProcessHeap(), 0, block);
}

static const int kHeaderBlockSize = sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD);  // 1064
static_assert(sizeof(BITMAPINFOHEADER) == 40, "DIB header layout");

OCImage::OCImage() : m_header(NULL), m_colors(NULL), m_pixels(NULL), m_rowSize(0) {}

OCImage::~OCImage() {
    OCImage::Release();
}

ULONGLONG OCImage::RowBytes(LONG width, int bitsPerPixel) {
    if (width <= 0 || bitsPerPixel <= 0 || bitsPerPixel > 32) return 0;
    return ((ULONGLONG)width * bitsPerPixel + 31) / 32 * 4;
}

BITMAPINFOHEADER* OCImage::NewHeader(int width, int height, int bitsPerPixel) {
    BITMAPINFOHEADER* h = (BITMAPINFOHEADER*)ImageAlloc(kHeaderBlockSize);
    if (!h) return NULL;
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = width;
    h->biHeight = height;
    h->biPlanes = 1;
    h->biBitCount = (WORD)bitsPerPixel;
    h->biCompression = BI_RGB;
    return h;
}

void OCImage::Create(int width, int height, int bitsPerPixel) {
    Release();
    m_header = NewHeader(width, height, bitsPerPixel);
    if (!m_header) return;
    m_colors = (RGBQUAD*)(m_header + 1);
    ULONGLONG bytes = RowBytes(width, bitsPerPixel) * (height > 0 ? height : 0);
    if (bytes > 0 && bytes <= kMaxPixelBytes) m_pixels = (BYTE*)ImageAlloc((SIZE_T)bytes);
    UpdateRowSize();
    if (bitsPerPixel == 8) {
        RGBQUAD white = {255, 255, 255, 0};
        m_colors[255] = white;                       // entry 0 stays black
    }
}

void OCImage::Adopt(BITMAPINFOHEADER* header, BYTE* pixels) {
    Release();
    m_header = header;
    m_colors = header ? (RGBQUAD*)(header + 1) : NULL;
    m_pixels = pixels;
    UpdateRowSize();
}

void OCImage::Release() {
    ImageFree(m_header);
    ImageFree(m_pixels);
    m_header = NULL;
    m_colors = NULL;
    m_pixels = NULL;
    m_rowSize = 0;
}

void OCImage::UpdateRowSize() {
    m_rowSize = HasPicture() ? (LONG)RowBytes(m_header->biWidth, m_header->biBitCount) : 0;
}

int OCImage::ColorCapacity() const {
    if (!m_header) return 0;
    SIZE_T size = HeapSize(GetProcessHeap(), 0, m_header);
    if (size == (SIZE_T)-1 || size < sizeof(BITMAPINFOHEADER)) return 0;
    return (int)((size - sizeof(BITMAPINFOHEADER)) / sizeof(RGBQUAD));
}

// biClrUsed when the header carries it (one less for BI_BITFIELDS), else
// 2 to the power of the depth; never more entries than the table holds.
int OCImage::PaletteSize() const {
    int count = 1 << m_header->biBitCount;
    if (m_header->biSize >= 36 && m_header->biClrUsed != 0) {
        DWORD used = m_header->biClrUsed - (m_header->biCompression == BI_BITFIELDS ? 1 : 0);
        count = used < 256 ? (int)used : 256;
    }
    int capacity = ColorCapacity();
    return count < capacity ? count : capacity;
}

void OCImage::Draw(HDC dc, const RECT* /*rect*/) {
    if (!HasPicture()) return;
    if (m_header->biBitCount > 8) {
        StretchDIBits(dc, 0, 0, m_header->biWidth, m_header->biHeight,
                      0, 0, m_header->biWidth, m_header->biHeight,
                      m_pixels, (BITMAPINFO*)m_header, DIB_RGB_COLORS, SRCCOPY);
        return;
    }
    DrawWithPalette(dc);
}

// Owns a logical palette; deletes it on the way out.
class PaletteHandle {
public:
    explicit PaletteHandle(HPALETTE palette) : m_palette(palette) {}
    ~PaletteHandle() { if (m_palette) DeleteObject(m_palette); }
    PaletteHandle(const PaletteHandle&) = delete;
    PaletteHandle& operator=(const PaletteHandle&) = delete;
    HPALETTE Get() const { return m_palette; }
private:
    HPALETTE m_palette;
};

static HPALETTE MakePalette(const RGBQUAD* colors, int count) {
    LOGPALETTE* log = (LOGPALETTE*)ImageAlloc(8 + 4 * count);
    if (!log) return NULL;
    log->palVersion = 0x300;
    log->palNumEntries = (WORD)count;
    for (int i = 0; i < count; i++) {
        log->palPalEntry[i].peRed = colors[i].rgbRed;
        log->palPalEntry[i].peGreen = colors[i].rgbGreen;
        log->palPalEntry[i].peBlue = colors[i].rgbBlue;
    }
    HPALETTE palette = CreatePalette(log);
    if (palette) {
        AnimatePalette(palette, 0, count, log->palPalEntry);
        SetPaletteEntries(palette, 0, count, log->palPalEntry);
    }
    ImageFree(log);
    return palette;
}

void OCImage::DrawWithPalette(HDC dc) {
    int count = PaletteSize();
    if (count <= 0) return;
    PaletteHandle palette(MakePalette(m_colors, count));
    if (!palette.Get()) return;
    HPALETTE old = SelectPalette(dc, palette.Get(), FALSE);
    StretchDIBits(dc, 0, 0, m_header->biWidth, m_header->biHeight,
                  0, 0, m_header->biWidth, m_header->biHeight,
                  m_pixels, (BITMAPINFO*)m_header, DIB_RGB_COLORS, SRCCOPY);
    RealizePalette(dc);
    SelectPalette(dc, old, FALSE);
}
