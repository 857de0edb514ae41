// BMP files: the depths, header versions and colour tables they come with,
// and headers that do not fit their file.
#include "gfx/LoadFixture.h"
#include "gfx/ImageFiles.h"

namespace {

RGBQUAD Entry(int i) { return RGBQUAD{(BYTE)(i * 3), (BYTE)(255 - i), (BYTE)(i * 7 + 1), 0}; }
COLORREF EntryColor(int i) { RGBQUAD q = Entry(i); return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue); }

COLORREF Rgb24(int x, int y) { return RGB(x * 40 + 5, y * 60 + 7, 200 - x * 9 - y); }
unsigned AsBmpRgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

BmpLayout Indexed(int bits, int colors, DWORD infoSize = 40) {
    BmpLayout layout;
    layout.width = 7;
    layout.height = 5;
    layout.bits = bits;
    layout.infoSize = infoSize;
    for (int i = 0; i < colors; i++) layout.colors.push_back(Entry(i));
    layout.clrUsed = colors == (1 << bits) ? 0 : colors;
    return layout;
}

unsigned IndexAt(int x, int y, int colors) { return (x * 3 + y * 5) % colors; }

class BmpTest : public LoadTest {
protected:
    void ExpectIndexed(const BmpLayout& layout, int colors) {
        std::string bmp = EncodeBmp(layout, [&](int x, int y) { return IndexAt(x, y, colors); });
        OCDibImage image;
        ASSERT_EQ(1, Load(image, "indexed.bmp", bmp));
        ASSERT_EQ(layout.width, image.GetWidth());
        ASSERT_EQ(layout.height, image.GetHeight());
        EXPECT_EQ(nullptr, image.GetSection());      // pixels stay in their heap block
        EXPECT_EQ(layout.bits, image.GetHeader()->biBitCount);
        Canvas canvas(layout.width, layout.height);
        image.Draw(canvas.Dc(), NULL);
        for (int y = 0; y < layout.height; y++)
            for (int x = 0; x < layout.width; x++)
                ASSERT_EQ(EntryColor(IndexAt(x, y, colors)), canvas.At(x, y)) << x << "," << y;
    }
    // Loads a file that must not be decoded.
    void ExpectRefused(const std::string& bmp) {
        OCDibImage image;
        image.Create(2, 2, 24);
        EXPECT_EQ(1, Load(image, "bad.bmp", bmp));
        EXPECT_EQ(nullptr, image.GetPixels());
        EXPECT_EQ(0, image.GetWidth());
    }
    std::string Plain24() {
        BmpLayout layout;
        layout.width = 5;
        layout.height = 3;
        return EncodeBmp(layout, [](int x, int y) { return AsBmpRgb(Rgb24(x, y)); });
    }
};

}  // namespace

TEST_F(BmpTest, TwentyFourBitRowsAreDrawnTopFirst) {
    OCImage image;
    ASSERT_EQ(1, Load(image, "plain.bmp", Plain24()));
    EXPECT_EQ(16, image.GetRowSize());
    Canvas canvas(5, 3);
    image.Draw(canvas.Dc(), NULL);
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 5; x++) EXPECT_EQ(Rgb24(x, y), canvas.At(x, y)) << x << "," << y;
}

TEST_F(BmpTest, IndexedDepthsShowTheirColourTables) {
    ExpectIndexed(Indexed(8, 256), 256);
    ExpectIndexed(Indexed(8, 16), 16);               // biClrUsed 16
    ExpectIndexed(Indexed(4, 16), 16);
    ExpectIndexed(Indexed(1, 2), 2);
}

TEST_F(BmpTest, LongerInfoHeadersHaveTheirTableBehindThem) {
    ExpectIndexed(Indexed(8, 20, 124), 20);
    ExpectIndexed(Indexed(4, 16, 108), 16);
}

TEST_F(BmpTest, SixteenAndThirtyTwoBitBitfields) {
    for (DWORD infoSize : {40u, 108u}) {
        BmpLayout layout;
        layout.width = 3;
        layout.height = 2;
        layout.bits = 16;
        layout.infoSize = infoSize;
        layout.compression = BI_BITFIELDS;
        DWORD masks[3] = {0xF800, 0x07E0, 0x001F};   // 5-6-5
        layout.colors.resize(3);
        memcpy(layout.colors.data(), masks, sizeof masks);
        std::string bmp = EncodeBmp(layout, [](int x, int) { return x == 0 ? 0xF800u : x == 1 ? 0x07E0u : 0x001Fu; });
        if (infoSize > 40) {                         // the masks live inside the longer header
            bmp.erase(14 + infoSize, 12);
            bmp.replace(14 + 40, 12, (const char*)masks, 12);
            PutU32(bmp, 10, GetU32(bmp, 10) - 12);
        }
        OCDibImage image;
        ASSERT_EQ(1, Load(image, "565.bmp", bmp));
        Canvas canvas(3, 2);
        image.Draw(canvas.Dc(), NULL);
        EXPECT_EQ(RGB(255, 0, 0), canvas.At(0, 1)) << infoSize;
        EXPECT_EQ(RGB(0, 255, 0), canvas.At(1, 0)) << infoSize;
        EXPECT_EQ(RGB(0, 0, 255), canvas.At(2, 1)) << infoSize;
    }
}

TEST_F(BmpTest, FileSizeFieldIsNotTrusted) {
    std::string bmp = Plain24();
    PutU32(bmp, 2, 0);                               // bfSize below bfOffBits
    OCDibImage image;
    ASSERT_EQ(1, Load(image, "nosize.bmp", bmp));
    Canvas canvas(5, 3);
    image.Draw(canvas.Dc(), NULL);
    EXPECT_EQ(Rgb24(4, 2), canvas.At(4, 2));
}

TEST_F(BmpTest, HeadersThatDoNotFitTheFileAreRefused) {
    std::string bmp = Plain24();
    std::string tall = bmp;
    PutU32(tall, 22, 100000);                        // rows beyond the file
    ExpectRefused(tall);
    std::string wide = bmp;
    PutU32(wide, 18, 0x40000000);                    // row size overflows
    ExpectRefused(wide);
    std::string negative = bmp;
    PutU32(negative, 18, (DWORD)-5);
    ExpectRefused(negative);
    std::string offset = bmp;
    PutU32(offset, 10, 0x7FFFFFF0);                  // pixels beyond the file
    ExpectRefused(offset);
    std::string info = bmp;
    PutU32(info, 14, 0xFFFFFFF0);                    // info header longer than the file
    ExpectRefused(info);
    ExpectRefused(bmp.substr(0, bmp.size() - 1));    // last row short
    ExpectRefused(bmp.substr(0, 30));                // header cut
    ExpectRefused("BM");

    BmpLayout layout = Indexed(8, 16);
    std::string colours = EncodeBmp(layout, [](int, int) { return 1u; });
    PutU32(colours, 46, 0x7FFFFFFF);                 // biClrUsed: more entries than the file holds
    ExpectRefused(colours);
}

TEST_F(BmpTest, ColourCountAboveTheDepthIsCappedAtTheDepth) {
    BmpLayout layout = Indexed(4, 16);
    layout.clrUsed = 300;
    for (int i = 16; i < 300; i++) layout.colors.push_back(Entry(0));
    ExpectIndexed(layout, 16);
}
