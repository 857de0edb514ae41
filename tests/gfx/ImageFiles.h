// Solid pictures written through libpng's and libjpeg's own encoders, for the
// menu tests (tests/app), which need pictures of chosen sizes and colours.
#pragma once
#include <windows.h>
#include <functional>
#include <string>

// A sample of the picture at (x, y), channel c (red, green, blue), 0..255.
using SampleFn = std::function<unsigned(int x, int y, int c)>;

struct PngLayout {
    int width = 8;
    int height = 6;
};
// An 8-bit RGB PNG.
std::string EncodePng(const PngLayout& layout, const SampleFn& sample);
// A JFIF JPEG, 24-bit colour or (grey) one channel.
std::string EncodeJpeg(int width, int height, bool grey, const SampleFn& sample, int quality = 95);
