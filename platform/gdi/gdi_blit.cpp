// StretchDIBits: a host's images and bitmaps onto the DC, nearest pixel.
#include "gdi_internal.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace swgdi {
namespace {

// The colour of one source pixel of a BI_RGB DIB at 1, 4, 8, 24 or 32 bpp;
// rows top row first (the caller resolves bottom-up order).
COLORREF SourceColor(const uint8_t* row, int bpp, int x, const RGBQUAD* table, uint32_t tableSize) {
    uint32_t index;
    switch (bpp) {
    case 1: index = (row[x >> 3] >> (7 - (x & 7))) & 1u; break;
    case 4: index = (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15u; break;
    case 8: index = row[x]; break;
    case 24: return RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    default: return RGB(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
    }
    if (index >= tableSize) return 0;
    return RGB(table[index].rgbRed, table[index].rgbGreen, table[index].rgbBlue);
}

bool Combine(DWORD rop, uint32_t src, uint32_t dst, uint32_t* out) {
    switch (rop) {
    case SRCCOPY: *out = src; return true;
    case SRCAND: *out = src & dst; return true;
    case SRCPAINT: *out = src | dst; return true;
    case SRCINVERT: *out = src ^ dst; return true;
    case SRCERASE: *out = src & ~dst; return true;
    case NOTSRCCOPY: *out = ~src; return true;
    case NOTSRCERASE: *out = ~(src | dst); return true;
    case MERGEPAINT: *out = ~src | dst; return true;
    default: return false;
    }
}

}  // namespace
}  // namespace swgdi

using namespace swgdi;

extern "C" {

// Each destination pixel takes the source pixel under its centre. Negative
// extents mirror; for bottom-up DIBs ySrc counts from the bottom row, as GDI
// has it. Returns the number of source rows, 0 on failure.
int StretchDIBits(HDC hdc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc,
                  int srcWidth, int srcHeight, const void* bits, const BITMAPINFO* info,
                  UINT usage, DWORD rop) {
    Dc* dc = FindDc(hdc);
    if (!dc || !bits || !info || usage != DIB_RGB_COLORS) return 0;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const int bpp = h.biBitCount;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biCompression != BI_RGB || h.biWidth <= 0 ||
        h.biHeight == 0 || h.biHeight == INT32_MIN)
        return 0;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32) return 0;
    uint32_t dummy;
    if (!Combine(rop, 0, 0, &dummy)) return 0;
    if (!destWidth || !destHeight || !srcWidth || !srcHeight) return 0;
    const int64_t imgW = h.biWidth, imgH = h.biHeight < 0 ? -int64_t(h.biHeight) : h.biHeight;
    const int64_t stride = ((imgW * bpp + 31) / 32) * 4;
    const uint8_t* base = static_cast<const uint8_t*>(bits);
    const RGBQUAD* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const uint8_t*>(info) + h.biSize);
    uint32_t tableSize = bpp <= 8 ? (h.biClrUsed ? std::min<uint32_t>(h.biClrUsed, 1u << bpp) : (1u << bpp)) : 0;
    Journal(dc, "StretchDIBits", nullptr, {xDest, yDest, destWidth, destHeight, LONG(rop)}, nullptr,
            0, TRUE);

    Surface s = dc->GetSurface();
    POINT p1 = ToDevice(dc, xDest, yDest);
    POINT p2 = ToDevice(dc, static_cast<LONG>(std::clamp<int64_t>(int64_t(xDest) + destWidth, INT32_MIN, INT32_MAX)),
                        static_cast<LONG>(std::clamp<int64_t>(int64_t(yDest) + destHeight, INT32_MIN, INT32_MAX)));
    const int64_t dw = int64_t(p2.x) - p1.x, dh = int64_t(p2.y) - p1.y;
    if (!dw || !dh) return 0;
    // Source rectangle in top-down rows.
    const int64_t srcTop = h.biHeight < 0 ? ySrc : imgH - (int64_t(ySrc) + srcHeight);
    int64_t x0 = std::max<int64_t>(std::min<int64_t>(p1.x, p2.x), 0);
    int64_t x1 = std::min<int64_t>(std::max<int64_t>(p1.x, p2.x), s.width);
    int64_t y0 = std::max<int64_t>(std::min<int64_t>(p1.y, p2.y), 0);
    int64_t y1 = std::min<int64_t>(std::max<int64_t>(p1.y, p2.y), s.height);
    // Source column of each destination column, once.
    std::vector<int64_t> column(static_cast<size_t>(std::max<int64_t>(x1 - x0, 0)));
    for (int64_t x = x0; x < x1; ++x) {
        double u = (double(x - p1.x) + 0.5) / double(dw);
        column[size_t(x - x0)] = u < 0 ? -1 : xSrc + int64_t(std::floor(u * srcWidth));
    }
    for (int64_t y = y0; y < y1; ++y) {
        // Fraction of the destination height at this row's centre, from p1.
        double v = (double(y - p1.y) + 0.5) / double(dh);
        int64_t sy = srcTop + int64_t(std::floor(v * srcHeight));
        if (v < 0 || sy < 0 || sy >= imgH) continue;
        const int64_t fileRow = h.biHeight < 0 ? sy : imgH - 1 - sy;
        const uint8_t* row = base + fileRow * stride;
        for (int64_t x = x0; x < x1; ++x) {
            int64_t sx = column[size_t(x - x0)];
            if (sx < 0 || sx >= imgW) continue;
            COLORREF c = SourceColor(row, bpp, static_cast<int>(sx), table, tableSize);
            uint32_t src = ColorToPixel(dc, s, c, false);
            uint32_t out = src;
            Combine(rop, src, ReadPixel(s, int(x), int(y)), &out);
            WritePixel(s, int(x), int(y), s.bpp == 32 ? out : (out & 1u));
        }
    }
    return srcHeight < 0 ? -srcHeight : srcHeight;
}

}  // extern "C"
