// OCDibImage: an OCImage whose pixels live in a DIB section selected into a
// memory device context of its own. Pixels decoded from a BMP file stay in a
// heap block (no section is made for them).
#pragma once
#include "gfx/OCImage.h"

class OCDibImage : public OCImage {
public:
    OCDibImage();
    ~OCDibImage() override;

    // Heap header and a DIB section. GDI failures are not reported: the
    // image then has no pixels (width and height 0) and draws nothing.
    void Create(int width, int height, int bitsPerPixel) override;
    // Keeps the header, copies row size x height bytes of `pixels` into a new
    // section and frees `pixels` (a process-heap block) in any case.
    void Adopt(BITMAPINFOHEADER* header, BYTE* pixels) override;
    void Release() override;

    HDC GetMemoryDC() const { return m_dc; }
    HBITMAP GetSection() const { return m_section; }

private:
    // Makes the DC and the section from m_header; pixels become its bits.
    void MakeSection();

    HDC m_dc;              // memory DC (CreateCompatibleDC of NULL)
    HBITMAP m_section;     // owns the pixels while present
    HGDIOBJ m_previous;    // what m_dc held before the section
};
