// OCImage: a picture held as a device-independent bitmap (DIB) on the process
// heap: a BITMAPINFOHEADER followed by room for a colour table, and a block of
// bottom-up pixel rows, each padded to 4 bytes. Filled by Create, Adopt or
// Load, drawn at its natural size. OCDibImage keeps its pixels in a DIB
// section instead.
#pragma once
#include <windows.h>

class OCFile;

class OCImage {
public:
    OCImage();
    virtual ~OCImage();
    OCImage(const OCImage&) = delete;                // a copy would free the blocks twice
    OCImage& operator=(const OCImage&) = delete;

    // Replaces the content by a black image. Width and height must be
    // positive; an allocation that fails (or a size beyond kMaxPixelBytes)
    // leaves the image without pixels (width and height 0).
    virtual void Create(int width, int height, int bitsPerPixel);
    // Releases, opens the file by name (disk first, then archives) and decodes
    // PNG, BMP or JFIF-JPEG recognised by content. 0 when the file could not be
    // opened, else nonzero, whether or not anything was decoded. A broken PNG
    // throws OCErrorException; broken JPEG and BMP files fail quietly.
    virtual int Load(const char* fileName);
    // Takes over both blocks, which must come from the process heap.
    virtual void Adopt(BITMAPINFOHEADER* header, BYTE* pixels);
    // Empties the image; harmless when already empty.
    virtual void Release();
    virtual int FirstHook() { return 0; }
    virtual int SecondHook(int, int) { return 0; }
    virtual int ThirdHook() { return 0; }
    virtual void UpdateRowSize();

    // Paints the image with its top-left corner at the DC's origin, at its
    // natural size, through a palette when it has 8 bits per pixel or fewer.
    // The rectangle is not used.
    void Draw(HDC dc, const RECT* rect);

    int GetWidth() const { return HasPicture() ? m_header->biWidth : 0; }
    int GetHeight() const { return HasPicture() ? m_header->biHeight : 0; }
    LONG GetRowSize() const { return m_rowSize; }
    BITMAPINFOHEADER* GetHeader() const { return m_header; }
    RGBQUAD* GetColors() const { return m_colors; }
    BYTE* GetPixels() const { return m_pixels; }
    // Start of a pixel row as stored: row 0 is the bottom of the picture.
    BYTE* Row(int y) const { return m_pixels + (size_t)y * m_rowSize; }
    // Entries the colour table has room for (from the header block's size).
    int ColorCapacity() const;

    // Largest pixel block an image may ask for.
    static const ULONGLONG kMaxPixelBytes = 256u << 20;
    // Bytes per row for a width and depth; 0 when out of range.
    static ULONGLONG RowBytes(LONG width, int bitsPerPixel);

protected:
    bool HasPicture() const { return m_header && m_pixels; }
    // Allocates a zero-filled header block with room for 256 colours and
    // fills in the header; NULL when the heap is exhausted.
    static BITMAPINFOHEADER* NewHeader(int width, int height, int bitsPerPixel);
    // Colours the palette of Draw uses (see the .cpp).
    int PaletteSize() const;

private:
    void DrawWithPalette(HDC dc);
    // The decoders (BmpDecoder.cpp, PngDecoder.cpp, JpegDecoder.cpp) start
    // with an empty image and read from the file's current position.
    void DecodeBmp(OCFile& file);
    void DecodePng(OCFile& file);
    void DecodeJpeg(OCFile& file);

protected:
    BITMAPINFOHEADER* m_header;  // header and colour table, process heap; NULL when empty
    RGBQUAD* m_colors;           // m_header + 40 bytes
    BYTE* m_pixels;              // pixel rows; NULL when empty
    LONG m_rowSize;              // bytes per row; 0 unless header and pixels are present
};

// Allocation helpers on the process heap (zero-filled); NULL on exhaustion.
void* ImageAlloc(SIZE_T bytes);
void ImageFree(void* block);
