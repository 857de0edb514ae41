// A 32-bit top-down DIB section in a memory DC: the target the tests draw
// images onto, read back pixel by pixel.
#pragma once
#include <windows.h>

class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = RGB(1, 2, 3));
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    HDC Dc() const { return m_dc; }
    // The drawn colour at (x, y), (0, 0) the top-left corner, as RGB().
    COLORREF At(int x, int y) const;

private:
    int m_width;
    int m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
    DWORD* m_bits;
};
