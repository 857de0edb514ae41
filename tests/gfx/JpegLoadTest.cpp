// JFIF JPEG files: colour and greyscale, not-JFIF files, damaged files.
#include "gfx/LoadFixture.h"
#include "gfx/ImageFiles.h"

namespace {

// Quadrants: red, green / blue, white (or four grey levels).
unsigned Quadrant(int w, int h, int x, int y, int c) {
    static const BYTE colors[4][3] = {{230, 20, 20}, {20, 230, 20}, {20, 20, 230}, {240, 240, 240}};
    static const BYTE greys[4] = {40, 100, 170, 230};
    int q = (y >= h / 2) * 2 + (x >= w / 2);
    return c < 0 ? greys[q] : colors[q][c];
}

// Bright noise: every row differs, none is black.
unsigned Noise(int x, int y, int c) {
    unsigned v = (x * 2654435761u) ^ (y * 40503u) ^ (c * 977u);
    return 64 + (v >> 7) % 192;
}

}  // namespace

TEST_F(LoadTest, JfifColourJpegShowsItsQuadrantsTopFirst) {
    std::string jpeg = EncodeJpeg(32, 32, false, [](int x, int y, int c) { return Quadrant(32, 32, x, y, c); });
    ASSERT_EQ(std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10), jpeg.substr(0, 10));
    OCDibImage image;
    ASSERT_EQ(1, Load(image, "colour.jpg", jpeg));
    ASSERT_EQ(32, image.GetWidth());
    ASSERT_EQ(32, image.GetHeight());
    Canvas canvas(32, 32);
    image.Draw(canvas.Dc(), NULL);
    EXPECT_TRUE(ColorNear(RGB(230, 20, 20), canvas.At(4, 4), 12));
    EXPECT_TRUE(ColorNear(RGB(20, 230, 20), canvas.At(27, 4), 12));
    EXPECT_TRUE(ColorNear(RGB(20, 20, 230), canvas.At(4, 27), 12));
    EXPECT_TRUE(ColorNear(RGB(240, 240, 240), canvas.At(27, 27), 12));
}

TEST_F(LoadTest, GreyscaleJpegGivesEqualChannels) {
    std::string jpeg = EncodeJpeg(24, 16, true, [](int x, int y, int) { return Quadrant(24, 16, x, y, -1); });
    OCDibImage image;
    ASSERT_EQ(1, Load(image, "grey.jpg", jpeg));
    ASSERT_EQ(24, image.GetWidth());
    ASSERT_EQ(24, image.GetHeader()->biBitCount);
    Canvas canvas(24, 16);
    image.Draw(canvas.Dc(), NULL);
    int expected[4] = {40, 100, 170, 230};
    int points[4][2] = {{3, 3}, {20, 3}, {3, 12}, {20, 12}};
    for (int i = 0; i < 4; i++) {
        COLORREF c = canvas.At(points[i][0], points[i][1]);
        EXPECT_EQ(GetRValue(c), GetGValue(c));
        EXPECT_EQ(GetGValue(c), GetBValue(c));
        EXPECT_NEAR(expected[i], GetRValue(c), 6) << "quadrant " << i;
    }
}

TEST_F(LoadTest, ExifJpegIsNotRecognised) {
    std::string jpeg = EncodeJpeg(16, 16, false, Noise, 90, true);
    ASSERT_EQ('\xE1', jpeg[3]);
    OCDibImage image;
    image.Create(4, 4, 24);
    EXPECT_EQ(1, Load(image, "photo.jpg", jpeg));
    EXPECT_EQ(nullptr, image.GetPixels());
    EXPECT_EQ(nullptr, image.GetHeader());
}

TEST_F(LoadTest, TruncatedJpegKeepsItsDecodedRowsAndLeavesTheRestBlack) {
    std::string jpeg = EncodeJpeg(64, 64, false, Noise, 90);
    OCDibImage whole, cut;
    ASSERT_EQ(1, Load(whole, "whole.jpg", jpeg));
    ASSERT_EQ(1, Load(cut, "cut.jpg", jpeg.substr(0, jpeg.size() * 6 / 10)));
    ASSERT_EQ(64, cut.GetHeight());
    Canvas a(64, 64), b(64, 64);
    whole.Draw(a.Dc(), NULL);
    cut.Draw(b.Dc(), NULL);
    int blackRows = 0;
    for (int y = 0; y < 64; y++) {
        bool black = true;
        for (int x = 0; x < 64; x++) black = black && b.At(x, y) == RGB(0, 0, 0);
        blackRows += black;
        EXPECT_NE(RGB(0, 0, 0), a.At(0, y));
    }
    for (int x = 0; x < 64; x++) EXPECT_EQ(a.At(x, 0), b.At(x, 0));
    EXPECT_EQ(RGB(0, 0, 0), b.At(10, 63));
    EXPECT_GE(blackRows, 8);
    EXPECT_LE(blackRows, 56);
}

TEST_F(LoadTest, JpegDamagedBeforeItsPixelsLeavesTheImageEmpty) {
    std::string jpeg = EncodeJpeg(16, 16, false, Noise);
    OCDibImage image;
    EXPECT_EQ(1, Load(image, "head.jpg", jpeg.substr(0, 40)));
    EXPECT_EQ(nullptr, image.GetPixels());
    std::string bad = jpeg;
    size_t frame = bad.find("\xFF\xC0");           // baseline frame header
    ASSERT_NE(std::string::npos, frame);
    bad[frame + 1] = (char)0xCF;                     // a process libjpeg does not decode
    EXPECT_EQ(1, Load(image, "bad.jpg", bad));
    EXPECT_EQ(nullptr, image.GetPixels());
}
