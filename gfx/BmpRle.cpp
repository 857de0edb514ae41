// RLE8 and RLE4: pairs of (count, value) runs, and escapes after a zero
// count: 0 end of line, 1 end of bitmap, 2 a (dx, dy) jump, 3..255 that many
// literal pixels padded to a 16-bit boundary.
#include "gfx/BmpRle.h"

namespace {

class RleCanvas {
public:
    RleCanvas(int bits, LONG width, LONG height, BYTE* rows, DWORD rowBytes)
        : m_bits(bits), m_width(width), m_height(height), m_rows(rows), m_rowBytes(rowBytes) {}

    // Pixel `index` of a byte: the byte itself for RLE8, its high or low
    // nibble for RLE4.
    void Put(BYTE value, int index) {
        if (m_x < 0 || m_x >= m_width || m_y < 0 || m_y >= m_height) {
            ++m_x;
            return;
        }
        BYTE* row = m_rows + (size_t)m_y * m_rowBytes;
        if (m_bits == 8) {
            row[m_x] = value;
        } else {
            const BYTE nibble = (index & 1) ? (value & 0x0F) : (BYTE)(value >> 4);
            BYTE& target = row[m_x / 2];
            target = (m_x & 1) ? (BYTE)((target & 0xF0) | nibble) : (BYTE)((target & 0x0F) | (nibble << 4));
        }
        ++m_x;
    }
    void NextLine() { m_x = 0, ++m_y; }
    void Move(int dx, int dy) { m_x += dx, m_y += dy; }

private:
    int m_bits;
    LONG m_width, m_height;
    BYTE* m_rows;
    DWORD m_rowBytes;
    LONG m_x = 0, m_y = 0;
};

}  // namespace

bool ExpandRle(const BYTE* stream, DWORD streamBytes, int bits, LONG width, LONG height,
               BYTE* rows, DWORD rowBytes) {
    RleCanvas canvas(bits, width, height, rows, rowBytes);
    DWORD at = 0;
    while (at + 2 <= streamBytes) {
        const BYTE count = stream[at], value = stream[at + 1];
        at += 2;
        if (count > 0) {                             // a run of `count` pixels
            for (int i = 0; i < count; i++) canvas.Put(value, i);
            continue;
        }
        if (value == 0) {
            canvas.NextLine();
        } else if (value == 1) {
            return true;
        } else if (value == 2) {
            if (at + 2 > streamBytes) return false;
            canvas.Move(stream[at], stream[at + 1]);
            at += 2;
        } else {                                     // `value` literal pixels
            const DWORD bytes = bits == 8 ? value : (value + 1u) / 2;
            const DWORD padded = (bytes + 1) & ~1u;
            if (padded > streamBytes - at) return false;
            for (int i = 0; i < value; i++)
                canvas.Put(stream[at + (bits == 8 ? i : i / 2)], i);
            at += padded;
        }
    }
    return true;                                     // a stream may end without its end code
}
