#include "gfx/Canvas.h"

Canvas::Canvas(int width, int height, COLORREF fill)
    : m_width(width), m_height(height), m_dc(CreateCompatibleDC(NULL)), m_bitmap(NULL),
      m_old(NULL), m_bits(NULL) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;                 // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    m_bitmap = CreateDIBSection(m_dc, &bi, DIB_RGB_COLORS, &bits, NULL, 0);
    m_bits = (DWORD*)bits;
    m_old = SelectObject(m_dc, m_bitmap);
    DWORD pixel = (GetRValue(fill) << 16) | (GetGValue(fill) << 8) | GetBValue(fill);
    for (int i = 0; m_bits && i < width * height; i++) m_bits[i] = pixel;
}

Canvas::~Canvas() {
    SelectObject(m_dc, m_old);
    DeleteObject(m_bitmap);
    DeleteDC(m_dc);
}

COLORREF Canvas::At(int x, int y) const {
    GdiFlush();
    DWORD p = m_bits[y * m_width + x];
    return RGB((p >> 16) & 255, (p >> 8) & 255, p & 255);
}
