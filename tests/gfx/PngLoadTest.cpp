// PNG files of every colour type and depth, decoded and drawn.
#include "gfx/LoadFixture.h"
#include "gfx/ImageFiles.h"
#include <png.h>
#include <psapi.h>
#include <cmath>

namespace {

struct PngCase {
    const char* name;
    int colorType;
    int depth;
    double gamma;                                    // 0: no gAMA chunk
};

unsigned Sample(const PngCase& k, int x, int y, int c) {
    unsigned base = x * 67 + y * 29 + c * 101 + x * y * 13;
    if (k.depth == 16) return ((base * 257 + x * 7919 + c * 31) & 0xFFFF) | 0x1000;  // off the steep foot of the gamma curve
    if (k.colorType == PNG_COLOR_TYPE_PALETTE && k.depth == 8) return base % 200;
    return base % (1u << k.depth);
}

RGBTRIPLE PaletteEntry(int i) {
    RGBTRIPLE t;
    t.rgbtRed = (BYTE)(i * 37 + 5);
    t.rgbtGreen = (BYTE)(255 - i * 13);
    t.rgbtBlue = (BYTE)(i * 91);
    return t;
}

// Sample as a fraction of full scale.
double Level(const PngCase& k, unsigned v) { return v / (double)((1u << k.depth) - 1); }

// 8-bit output: the gamma correction, when any, works on the full sample;
// without one, 16-bit samples keep their high byte.
int To8(const PngCase& k, unsigned v) {
    if (k.gamma != 0) return (int)std::lround(255 * std::pow(Level(k, v), 1 / (2.2 * k.gamma)));
    if (k.depth == 16) return v >> 8;
    return (int)std::lround(255 * Level(k, v));
}

int Corrected(const PngCase& k, int v) {
    if (k.gamma == 0) return v;
    return (int)std::lround(255 * std::pow(v / 255.0, 1 / (2.2 * k.gamma)));
}

COLORREF Expected(const PngCase& k, int x, int y) {
    if (k.colorType == PNG_COLOR_TYPE_PALETTE) {
        RGBTRIPLE t = PaletteEntry(Sample(k, x, y, 0));
        return RGB(Corrected(k, t.rgbtRed), Corrected(k, t.rgbtGreen), Corrected(k, t.rgbtBlue));
    }
    if (k.colorType == PNG_COLOR_TYPE_GRAY || k.colorType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        int g = To8(k, Sample(k, x, y, 0));
        return RGB(g, g, g);
    }
    return RGB(To8(k, Sample(k, x, y, 0)), To8(k, Sample(k, x, y, 1)), To8(k, Sample(k, x, y, 2)));
}

std::string MakePng(const PngCase& k, int width, int height, bool interlaced = false) {
    PngLayout layout;
    layout.width = width;
    layout.height = height;
    layout.colorType = k.colorType;
    layout.bitDepth = k.depth;
    layout.gamma = k.gamma;
    layout.interlaced = interlaced;
    if (k.colorType == PNG_COLOR_TYPE_PALETTE) {
        int count = k.depth == 8 ? 200 : 1 << k.depth;
        for (int i = 0; i < count; i++) layout.palette.push_back(PaletteEntry(i));
    }
    return EncodePng(layout, [&](int x, int y, int c) { return Sample(k, x, y, c); });
}

void PrintTo(const PngCase& k, std::ostream* os) { *os << k.name; }

class PngDecodeTest : public LoadTest, public ::testing::WithParamInterface<PngCase> {};

const int kWidth = 13;   // odd: padded rows, partly filled bytes at low depths
const int kHeight = 7;

}  // namespace

TEST_P(PngDecodeTest, ShowsEveryPixelTopRowFirst) {
    const PngCase& k = GetParam();
    OCDibImage image;
    ASSERT_EQ(1, Load(image, "picture.png", MakePng(k, kWidth, kHeight)));
    ASSERT_EQ(kWidth, image.GetWidth());
    ASSERT_EQ(kHeight, image.GetHeight());
    EXPECT_EQ(k.colorType == PNG_COLOR_TYPE_PALETTE ? 8 : 24, image.GetHeader()->biBitCount);
    Canvas canvas(kWidth, kHeight);
    image.Draw(canvas.Dc(), NULL);
    int tolerance = k.gamma != 0 ? 2 : 0;
    for (int y = 0; y < kHeight; y++)
        for (int x = 0; x < kWidth; x++)
            ASSERT_TRUE(ColorNear(Expected(k, x, y), canvas.At(x, y), tolerance))
                << "at " << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(
    AllTypes, PngDecodeTest,
    ::testing::Values(PngCase{"Rgb8", 2, 8, 0}, PngCase{"Rgb16", 2, 16, 0},
                      PngCase{"Rgba8", 6, 8, 0}, PngCase{"Rgba16", 6, 16, 0},
                      PngCase{"Grey1", 0, 1, 0}, PngCase{"Grey2", 0, 2, 0},
                      PngCase{"Grey4", 0, 4, 0}, PngCase{"Grey8", 0, 8, 0},
                      PngCase{"Grey16", 0, 16, 0}, PngCase{"GreyAlpha8", 4, 8, 0},
                      PngCase{"GreyAlpha16", 4, 16, 0}, PngCase{"Palette1", 3, 1, 0},
                      PngCase{"Palette2", 3, 2, 0}, PngCase{"Palette4", 3, 4, 0},
                      PngCase{"Palette8", 3, 8, 0}, PngCase{"Rgb8Linear", 2, 8, 1.0},
                      PngCase{"Rgba16Linear", 6, 16, 1.0}, PngCase{"Grey8Linear", 0, 8, 1.0},
                      PngCase{"Grey2Linear", 0, 2, 1.0}, PngCase{"Palette4Linear", 3, 4, 1.0},
                      PngCase{"Rgb8ScreenGamma", 2, 8, 1 / 2.2}),
    [](const ::testing::TestParamInfo<PngCase>& p) { return std::string(p.param.name); });

TEST_F(LoadTest, PngWithAGammaChunkIsCorrectedAndWithoutIsNot) {
    auto flat = [](int, int, int) { return 64u; };
    OCDibImage a, b;
    PngLayout layout;
    layout.colorType = 0;
    Load(a, "plain.png", EncodePng(layout, flat));
    layout.gamma = 1.0;
    Load(b, "linear.png", EncodePng(layout, flat));
    Canvas ca(8, 6), cb(8, 6);
    a.Draw(ca.Dc(), NULL);
    b.Draw(cb.Dc(), NULL);
    EXPECT_EQ(RGB(64, 64, 64), ca.At(3, 3));
    EXPECT_TRUE(ColorNear(RGB(136, 136, 136), cb.At(3, 3), 1));
}

TEST_F(LoadTest, PngNamedJpgLoadsAsPng) {
    PngCase k{"", 2, 8, 0};
    OCDibImage image;
    EXPECT_EQ(1, Load(image, "install_back.JPG", MakePng(k, 5, 4)));
    Canvas canvas(5, 4);
    image.Draw(canvas.Dc(), NULL);
    EXPECT_EQ(Expected(k, 4, 0), canvas.At(4, 0));
    EXPECT_EQ(Expected(k, 0, 3), canvas.At(0, 3));
}

TEST_F(LoadTest, InterlacedPngRaisesTheFormatError) {
    PngCase k{"", 2, 8, 0};
    EXPECT_EQ("ＣＧファイルフォーマット : PNG: サポートされていないフォーマットです。\n",
              LoadError("interlaced.png", MakePng(k, 9, 9, true)));
}

TEST_F(LoadTest, DamagedPngRaisesLibpngsMessage) {
    PngCase k{"", 2, 8, 0};
    std::string png = MakePng(k, 9, 9);
    png[20] ^= 0x01;                                 // inside IHDR: its CRC fails
    EXPECT_EQ("ＣＧファイルフォーマット : IHDR: CRC error\n", LoadError("crc.png", png));
}

// The error path releases the libpng structures and the row buffer: a
// thousand failed loads of a wide picture cost no memory.
TEST_F(LoadTest, FailedPngLoadsReleaseWhatTheyHeld) {
    PngCase k{"", 6, 16, 0};
    std::string png = MakePng(k, 3000, 6);
    png.resize(png.size() * 3 / 4);                  // ends inside the pixel data
    dir.Write("cut.png", png);
    std::string path = dir / "cut.png";
    auto privateBytes = [] {
        PROCESS_MEMORY_COUNTERS pmc = {};
        GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
        return pmc.PagefileUsage;
    };
    OCDibImage image;
    auto failOnce = [&] {
        try {
            image.Load(path.c_str());
        } catch (const OCErrorException& e) {
            return std::string(e.message.GetBuffer());
        }
        return std::string();
    };
    EXPECT_EQ("ＣＧファイルフォーマット : Read Error\n", failOnce());
    SIZE_T before = privateBytes();
    for (int i = 0; i < 1000; i++) failOnce();
    SIZE_T after = privateBytes();
    EXPECT_LT(after, before + 4 * 1024 * 1024) << before << " -> " << after;
}
