// Images held as DIBs: create, adopt, release, row sizes and drawing.
#include <gtest/gtest.h>
#include "gfx/OCImage.h"
#include "gfx/OCDibImage.h"
#include "gfx/Canvas.h"
#include <cstring>

namespace {

const COLORREF kUntouched = RGB(1, 2, 3);  // the canvas's fill

void SetPixel24(OCImage& image, int x, int row, COLORREF c) {
    BYTE* p = image.Row(row) + 3 * x;
    p[0] = GetBValue(c);
    p[1] = GetGValue(c);
    p[2] = GetRValue(c);
}

}  // namespace

TEST(ImageRows, RowSizeIsPaddedToFourBytes) {
    OCImage image;
    int widths[] = {1, 3, 5};
    int expected[] = {4, 12, 16};
    for (int i = 0; i < 3; i++) {
        image.Create(widths[i], 2, 24);
        EXPECT_EQ(expected[i], image.GetRowSize()) << "width " << widths[i];
    }
    image.Create(33, 2, 1);
    EXPECT_EQ(8, image.GetRowSize());
    image.Create(5, 2, 8);
    EXPECT_EQ(8, image.GetRowSize());
}

TEST(ImageCreate, EightBitHeapImageIsBlackWithWhiteLastEntry) {
    OCImage image;
    image.Create(6, 4, 8);
    ASSERT_NE(nullptr, image.GetPixels());
    EXPECT_EQ(6, image.GetWidth());
    EXPECT_EQ(4, image.GetHeight());
    for (int i = 0; i < 8 * 4; i++) EXPECT_EQ(0, image.GetPixels()[i]);
    RGBQUAD* colors = image.GetColors();
    EXPECT_EQ(0, colors[0].rgbRed + colors[0].rgbGreen + colors[0].rgbBlue);
    EXPECT_EQ(255, colors[255].rgbRed);
    EXPECT_EQ(255, colors[255].rgbGreen);
    EXPECT_EQ(255, colors[255].rgbBlue);
    EXPECT_EQ(0, colors[1].rgbRed + colors[254].rgbBlue);
    Canvas canvas(8, 6);
    image.Draw(canvas.Dc(), NULL);
    EXPECT_EQ(RGB(0, 0, 0), canvas.At(0, 0));
    EXPECT_EQ(RGB(0, 0, 0), canvas.At(5, 3));
    EXPECT_EQ(kUntouched, canvas.At(6, 3));          // natural size, nothing more
    EXPECT_EQ(kUntouched, canvas.At(0, 4));
}

TEST(ImageCreate, DibImageKeepsPixelsInItsSection) {
    OCDibImage image;
    image.Create(7, 5, 8);
    ASSERT_NE(nullptr, image.GetPixels());
    ASSERT_NE(nullptr, image.GetSection());
    DIBSECTION ds = {};
    ASSERT_EQ((int)sizeof ds, GetObjectA(image.GetSection(), sizeof ds, &ds));
    EXPECT_EQ(image.GetPixels(), ds.dsBm.bmBits);
    EXPECT_EQ((HGDIOBJ)image.GetSection(), GetCurrentObject(image.GetMemoryDC(), OBJ_BITMAP));
    for (int i = 0; i < 256; i++) {
        const RGBQUAD& c = image.GetColors()[i];
        EXPECT_EQ(0, c.rgbRed | c.rgbGreen | c.rgbBlue | c.rgbReserved) << "entry " << i;
    }
}

TEST(ImageCreate, SizesThatCannotBeHadLeaveNoPixels) {
    OCDibImage dib;
    OCImage heap;
    int sizes[][2] = {{100000, 100000}, {0, 5}, {-3, 5}, {5, -3}, {70000, 1300}};
    for (auto& s : sizes) {
        for (OCImage* image : {(OCImage*)&dib, &heap}) {
            image->Create(s[0], s[1], 24);
            EXPECT_EQ(nullptr, image->GetPixels()) << s[0] << "x" << s[1];
            EXPECT_EQ(0, image->GetWidth());
            EXPECT_EQ(0, image->GetHeight());
            EXPECT_EQ(0, image->GetRowSize());
            Canvas canvas(4, 4);
            image->Draw(canvas.Dc(), NULL);
            EXPECT_EQ(kUntouched, canvas.At(0, 0));
        }
    }
}

TEST(ImageRelease, TwiceOrNeverCreatedIsHarmless) {
    OCDibImage never;
    never.Release();
    OCImage heap;
    heap.Create(3, 3, 24);
    heap.Release();
    heap.Release();
    EXPECT_EQ(nullptr, heap.GetHeader());
    EXPECT_EQ(0, heap.GetRowSize());
    OCDibImage dib;
    dib.Create(3, 3, 24);
    dib.Release();
    dib.Release();
    EXPECT_EQ(nullptr, dib.GetMemoryDC());
    EXPECT_EQ(nullptr, dib.GetPixels());
    Canvas canvas(4, 4);
    dib.Draw(canvas.Dc(), NULL);
    EXPECT_EQ(kUntouched, canvas.At(1, 1));
}

TEST(ImageDraw, FirstRowInMemoryIsTheBottomOfThePicture) {
    OCImage heap;
    OCDibImage dib;
    for (OCImage* image : {(OCImage*)&heap, (OCImage*)&dib}) {
        image->Create(3, 2, 24);
        for (int x = 0; x < 3; x++) {
            SetPixel24(*image, x, 0, RGB(200, 10, 20));
            SetPixel24(*image, x, 1, RGB(30, 220, 40));
        }
        SetPixel24(*image, 2, 1, RGB(1, 100, 250));
        Canvas canvas(5, 4);
        image->Draw(canvas.Dc(), NULL);
        EXPECT_EQ(RGB(30, 220, 40), canvas.At(0, 0));
        EXPECT_EQ(RGB(1, 100, 250), canvas.At(2, 0));
        EXPECT_EQ(RGB(200, 10, 20), canvas.At(2, 1));
        EXPECT_EQ(kUntouched, canvas.At(3, 0));
        EXPECT_EQ(kUntouched, canvas.At(0, 2));
    }
}

TEST(ImageDraw, EightBitImagesShowTheirColourTable) {
    OCDibImage image;
    image.Create(4, 1, 8);
    RGBQUAD table[4] = {{0, 0, 0, 0}, {255, 0, 0, 0}, {0, 128, 0, 0}, {10, 20, 250, 0}};
    memcpy(image.GetColors(), table, sizeof table);
    for (int x = 0; x < 4; x++) image.Row(0)[x] = (BYTE)x;
    Canvas canvas(4, 1);
    image.Draw(canvas.Dc(), NULL);
    EXPECT_EQ(RGB(0, 0, 0), canvas.At(0, 0));
    EXPECT_EQ(RGB(0, 0, 255), canvas.At(1, 0));
    EXPECT_EQ(RGB(0, 128, 0), canvas.At(2, 0));
    EXPECT_EQ(RGB(250, 20, 10), canvas.At(3, 0));

    image.GetHeader()->biClrUsed = 16;               // a 16-entry table
    image.Row(0)[0] = 15;
    image.GetColors()[15] = RGBQUAD{7, 8, 9, 0};
    Canvas small(4, 1);
    image.Draw(small.Dc(), NULL);
    EXPECT_EQ(RGB(9, 8, 7), small.At(0, 0));
    EXPECT_EQ(RGB(250, 20, 10), small.At(3, 0));
}

TEST(ImageAdopt, HeapImageTakesOverAndDibImageCopiesIntoASection) {
    auto makeBlocks = [](BITMAPINFOHEADER*& header, BYTE*& pixels) {
        header = (BITMAPINFOHEADER*)ImageAlloc(sizeof(BITMAPINFOHEADER));
        *header = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 2, 2, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        pixels = (BYTE*)ImageAlloc(16);
        pixels[2] = 255;                             // bottom-left red
        pixels[8 + 1] = 255;                         // top-left green
    };
    BITMAPINFOHEADER* header;
    BYTE* pixels;
    makeBlocks(header, pixels);
    OCImage heap;
    heap.Adopt(header, pixels);
    EXPECT_EQ(pixels, heap.GetPixels());
    EXPECT_EQ(8, heap.GetRowSize());

    makeBlocks(header, pixels);
    OCDibImage dib;
    dib.Adopt(header, pixels);
    ASSERT_NE(nullptr, dib.GetSection());
    EXPECT_NE(pixels, dib.GetPixels());
    for (OCImage* image : {(OCImage*)&heap, (OCImage*)&dib}) {
        Canvas canvas(2, 2);
        image->Draw(canvas.Dc(), NULL);
        EXPECT_EQ(RGB(0, 255, 0), canvas.At(0, 0));
        EXPECT_EQ(RGB(255, 0, 0), canvas.At(0, 1));
        EXPECT_EQ(RGB(0, 0, 0), canvas.At(1, 1));
    }
}
