// Pictures served from *.pak archives of the current folder.
#include "gfx/LoadFixture.h"
#include "gfx/ImageFiles.h"
#include <png.h>

namespace {

unsigned Gradient(int x, int y, int c) { return 40 + x * 8 + y * 10 + c * 50; }  // smooth: JPEG keeps it

class ArchiveLoadTest : public LoadTest {
protected:
    void SetUp() override {
        LoadTest::SetUp();
        GetCurrentDirectoryA(MAX_PATH, m_previous);
        SetCurrentDirectoryA(dir.Path().c_str());
    }
    void TearDown() override {
        SetCurrentDirectoryA(m_previous);
        LoadTest::TearDown();
    }
    // Loads `name`, which is on no disk, and checks a few pixels.
    void ExpectServed(const char* name, int tolerance) {
        OCDibImage image;
        ASSERT_EQ(1, image.Load(name)) << name;
        ASSERT_EQ(6, image.GetWidth()) << name;
        ASSERT_EQ(4, image.GetHeight()) << name;
        Canvas canvas(6, 4);
        image.Draw(canvas.Dc(), NULL);
        for (int y : {0, 3})
            for (int x : {0, 5}) {
                COLORREF want = RGB(Gradient(x, y, 0), Gradient(x, y, 1), Gradient(x, y, 2));
                EXPECT_TRUE(ColorNear(want, canvas.At(x, y), tolerance)) << name << " " << x << "," << y;
            }
    }
    std::string Png() {
        PngLayout layout;
        layout.width = 6;
        layout.height = 4;
        return EncodePng(layout, Gradient);
    }
    std::string Bmp() {
        BmpLayout layout;
        layout.width = 6;
        layout.height = 4;
        return EncodeBmp(layout, [](int x, int y) {
            return (Gradient(x, y, 0) << 16) | (Gradient(x, y, 1) << 8) | Gradient(x, y, 2);
        });
    }
    std::string Jpeg() { return EncodeJpeg(6, 4, false, Gradient, 100); }

private:
    char m_previous[MAX_PATH];
};

}  // namespace

TEST_F(ArchiveLoadTest, StoredEntriesDecodeLikeLooseFiles) {
    dir.Write("pics.pak", MakePak({{"menu.png", Png()}, {"back.JPG", Jpeg()}, {"button.bmp", Bmp()}}, false));
    ExpectServed("menu.png", 0);
    ExpectServed("back.JPG", 8);
    ExpectServed("button.bmp", 0);
}

TEST_F(ArchiveLoadTest, CompressedEntriesDecodeToo) {
    dir.Write("packed.pak", MakePak({{"menu.png", Png()}, {"back.JPG", Jpeg()}, {"button.bmp", Bmp()}}, true));
    ExpectServed("menu.png", 0);
    ExpectServed("back.JPG", 8);
    ExpectServed("button.bmp", 0);
}
