// Load: opens a picture by name and picks its decoder by the first bytes of
// the file, never by its name.
#include "gfx/OCImage.h"
#include "archive/OCFile.h"
#include <png.h>
#include <cstring>

// Start of image, an APP0 marker of length 16 and "JFIF".
static const BYTE kJfifHeader[10] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F'};
static const unsigned kImageOpenMode = 64;  // read

int OCImage::Load(const char* fileName) {
    Release();
    OCFile file;
    if (!file.Open(fileName, kImageOpenMode)) return 0;
    BYTE head[10] = {0};
    unsigned got = file.Read(head, sizeof head);
    if (got >= 8 && png_sig_cmp(head, 0, 8) == 0) {
        file.Seek(8, SEEK_SET);
        DecodePng(file);
    } else if (got >= 2 && head[0] == 'B' && head[1] == 'M') {
        file.Seek(0, SEEK_SET);
        DecodeBmp(file);
    } else if (got == sizeof head && memcmp(head, kJfifHeader, sizeof head) == 0) {
        file.Seek(0, SEEK_SET);
        DecodeJpeg(file);
    } else {
        file.Seek(0, SEEK_SET);
    }
    return 1;
}
