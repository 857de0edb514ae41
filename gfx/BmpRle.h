// Expands the run-length encoded pixel streams of BMP files (RLE8, RLE4)
// into plain bottom-up rows, as the system's drawing code reads them.
#pragma once
#include <windows.h>

// `stream` holds `streamBytes` bytes of an RLE8 (bits 8) or RLE4 (bits 4)
// stream; `rows` is a zeroed block of `height` bottom-up rows of `rowBytes`.
// Pixels that fall outside the picture are dropped, as the system does.
// False when the stream would be read past its end.
bool ExpandRle(const BYTE* stream, DWORD streamBytes, int bits, LONG width, LONG height,
               BYTE* rows, DWORD rowBytes);
