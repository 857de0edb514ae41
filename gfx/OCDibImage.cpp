// OCDibImage: pixels in a DIB section selected into a memory DC.
#include "gfx/OCDibImage.h"
#include <cstring>

OCDibImage::OCDibImage() : m_dc(NULL), m_section(NULL), m_previous(NULL) {}

OCDibImage::~OCDibImage() {
    OCDibImage::Release();
}

void OCDibImage::MakeSection() {
    m_dc = CreateCompatibleDC(NULL);
    if (!m_dc) return;
    UINT usage = m_header->biBitCount <= 8 ? DIB_PAL_COLORS : DIB_RGB_COLORS;
    void* bits = NULL;
    m_section = CreateDIBSection(m_dc, (BITMAPINFO*)m_header, usage, &bits, NULL, 0);
    if (!m_section) return;
    m_pixels = (BYTE*)bits;
    m_previous = SelectObject(m_dc, m_section);
    GdiFlush();
}

void OCDibImage::Create(int width, int height, int bitsPerPixel) {
    Release();
    m_header = NewHeader(width, height, bitsPerPixel);
    if (!m_header) return;
    m_colors = (RGBQUAD*)(m_header + 1);
    ULONGLONG bytes = RowBytes(width, bitsPerPixel) * (height > 0 ? height : 0);
    if (bytes > 0 && bytes <= kMaxPixelBytes) MakeSection();
    UpdateRowSize();
}

void OCDibImage::Adopt(BITMAPINFOHEADER* header, BYTE* pixels) {
    Release();
    m_header = header;
    m_colors = header ? (RGBQUAD*)(header + 1) : NULL;
    if (header) {
        ULONGLONG bytes = RowBytes(header->biWidth, header->biBitCount) *
                          (header->biHeight > 0 ? header->biHeight : 0);
        if (bytes > 0 && bytes <= kMaxPixelBytes) MakeSection();
        if (m_pixels && pixels) memcpy(m_pixels, pixels, (size_t)bytes);
    }
    ImageFree(pixels);
    UpdateRowSize();
}

void OCDibImage::Release() {
    if (m_dc) {
        if (m_previous) SelectObject(m_dc, m_previous);
        DeleteDC(m_dc);
        if (m_section) DeleteObject(m_section);
        m_pixels = NULL;                             // they belonged to the section
    }
    m_dc = NULL;
    m_section = NULL;
    m_previous = NULL;
    OCImage::Release();
}
