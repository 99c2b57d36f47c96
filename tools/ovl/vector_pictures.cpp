#include "vector_pictures.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "host_walk.h"

namespace ovl {
namespace {

// The converted size of v by the image's resolution code, as the image
// decoder works it out, or -1 for an unknown code.
long ConvertBy(unsigned code, long v) {
    switch (code) {
        case 0xB1: return v / 2 + v % 2;
        case 0xB3: { static const int a[5] = {0, 1, 1, 2, 2}; return v / 5 * 3 + a[v % 5]; }
        case 0xC0: return v / 2 * 3 + (v % 2 ? 2 : 0);
        case 0xC1: case 0xF0: case 0xF2: case 0xF3: return v;
        case 0xC2: { static const int a[3] = {0, 2, 3}; return v / 3 * 4 + a[v % 3]; }
        case 0xC3: case 0xF1: { static const int a[5] = {0, 2, 3, 4, 5}; return v / 5 * 6 + a[v % 5]; }
        case 0xC4: { static const int a[5] = {0, 1, 1, 2, 3}; return v / 5 * 4 + a[v % 5]; }
        case 0xD0: return 3 * v;
        case 0xD1: return 2 * v;
        default: return -1;
    }
}

}  // namespace

int DrawImageRecord(HDC dc, const unsigned char* image, size_t size, const WX5NH_ELEMENT& e, std::string* error) {
    const unsigned char* end = image + size;
    const unsigned char* p = e.imageRecord;
    if (p == nullptr || p < image || end - p < 30 || p[22] != 0xF9) return 1;
    // The parameters from the identifier on, joined across partitions.
    std::vector<uint8_t> params;
    const size_t recordLen = hostwalk::OwnLength(p, static_cast<size_t>(end - p));
    if (recordLen < 6) return 1;
    size_t pos = 2;
    unsigned word;
    do {
        word = (p[pos] << 8) | p[pos + 1];
        const size_t len = std::min<size_t>(word & 0x7FFF, recordLen - pos - 2);
        params.insert(params.end(), p + pos + 2, p + pos + 2 + len);
        pos += 2 + (word & 0x7FFF);
    } while ((word & 0x8000) && pos + 2 <= recordLen);
    if (params.size() < 26) return 1;
    const unsigned code = params[19];
    const long rows = params[20] | (params[21] << 8);
    const long rowLen = params[22] | (params[23] << 8);
    const long outRows = ConvertBy(code, rows), outLen = ConvertBy(code, rowLen);
    const size_t stride = static_cast<size_t>((rowLen + 7) / 8);
    if (rows <= 0 || rowLen <= 0 || outRows <= 0 || outLen <= 0) return 1;
    if (params.size() < 26 + stride * static_cast<size_t>(rows)) {
        *error = "an image's data is shorter than its size";
        return 1;
    }
    // A top-down 1-bit DIB, rows padded to 4 bytes, 1 bits ink.
    const size_t dibStride = (stride + 3) / 4 * 4;
    std::vector<uint8_t> bits(dibStride * static_cast<size_t>(rows), 0);
    for (long r = 0; r < rows; ++r)
        std::memcpy(&bits[static_cast<size_t>(r) * dibStride], &params[26 + static_cast<size_t>(r) * stride], stride);
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colours[2];
    } info{};
    info.h.biSize = sizeof(BITMAPINFOHEADER);
    info.h.biWidth = rowLen;
    info.h.biHeight = -rows;
    info.h.biPlanes = 1;
    info.h.biBitCount = 1;
    info.colours[0] = RGBQUAD{255, 255, 255, 0};
    info.colours[1] = RGBQUAD{0, 0, 0, 0};
    StretchDIBits(dc, e.imagePosition.x, e.imagePosition.y, outLen, outRows, 0, 0, rowLen, rows, bits.data(),
                  reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCAND);
    return 0;
}

int DrawBitmapRecord(HDC dc, const unsigned char* image, size_t size, const WX5NH_ELEMENT& e, std::string* error) {
    const unsigned char* end = image + size;
    const unsigned char* h = e.bitmap.bitmapInfo;
    if (h == nullptr || h < image || end - h < 40) return 1;
    // The header and colour table are copied out: they need not be aligned
    // in the overlay.
    BITMAPINFOHEADER head;
    std::memcpy(&head, h, sizeof(head));
    const int bitCount = head.biBitCount;
    unsigned colours = head.biClrUsed;
    if (colours == 0 && (bitCount == 1 || bitCount == 4 || bitCount == 8)) colours = 1u << bitCount;
    if (colours > 256) return 1;
    size_t table = 4 * static_cast<size_t>(colours);
    if ((bitCount == 16 || bitCount == 32) && head.biCompression == 3) table = 12;
    const size_t offset = head.biSize + table;
    if (head.biSize < 40 || static_cast<size_t>(end - h) < offset + e.bitmap.bitsSize) {
        *error = "a bitmap's data runs past the overlay";
        return 1;
    }
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + table + 16, 0);
    head.biSize = sizeof(BITMAPINFOHEADER);
    std::memcpy(info.data(), &head, sizeof(head));
    std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), h + offset - table, table);
    std::vector<uint8_t> bits(h + offset, h + offset + e.bitmap.bitsSize);
    const FO_POINT* c = e.bitmapCorner;
    const RECT r{std::min(c[0].x, c[1].x), std::min(c[0].y, c[1].y), std::max(c[0].x, c[1].x),
                 std::max(c[0].y, c[1].y)};
    const int srcH = head.biHeight < 0 ? -head.biHeight : head.biHeight;
    StretchDIBits(dc, r.left, r.top, std::max<LONG>(1, r.right - r.left), std::max<LONG>(1, r.bottom - r.top), 0, 0,
                  head.biWidth, srcH, bits.data(), reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS,
                  SRCCOPY);
    return 0;
}

}  // namespace ovl
