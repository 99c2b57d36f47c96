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

// How the source positions of one axis fall on the destination: GDI walks
// the two lengths like a line from (source start, destination start) with
// Bresenham steps whose first error term is 3 * minor - 2 * major. When the
// destination is the longer axis every destination pixel takes one source
// pixel; when the source is longer several source pixels fall on one
// destination pixel. first/last hold, per destination offset, the first and
// last source offsets of the walk (offsets count along the walk's
// direction).
struct AxisMap {
    std::vector<int64_t> first, last;
};

bool MapAxis(int64_t srcLen, int64_t dstLen, AxisMap* m) {
    const int64_t dx = srcLen < 0 ? -srcLen : srcLen, dy = dstLen < 0 ? -dstLen : dstLen;
    if (dx == 0 || dy == 0 || dx > (int64_t(1) << 24) || dy > (int64_t(1) << 24)) return false;
    m->first.assign(size_t(dy), -1);
    m->last.assign(size_t(dy), -1);
    if (dx <= dy) {  // stretch: walk the destination
        int64_t err = 3 * dx - 2 * dy, src = 0;
        for (int64_t d = 0; d < dy; ++d) {
            m->first[size_t(d)] = m->last[size_t(d)] = src;
            if (err > 0) {
                ++src;
                err += 2 * dx - 2 * dy;
            } else {
                err += 2 * dx;
            }
        }
    } else {  // shrink: walk the source
        int64_t err = 3 * dy - 2 * dx, d = 0;
        for (int64_t src = 0; src < dx && d < dy; ++src) {
            if (m->first[size_t(d)] < 0) m->first[size_t(d)] = src;
            m->last[size_t(d)] = src;
            if (err > 0) {
                ++d;
                err += 2 * dy - 2 * dx;
            } else {
                err += 2 * dy;
            }
        }
    }
    return true;
}

}  // namespace

COLORREF DibBlit::Color(int64_t x, int64_t y) const {
    const uint8_t* row = bits + (bottomUp ? height - 1 - y : y) * stride;
    return SourceColor(row, bpp, int(x), table, tableSize);
}

// Several source pixels on one destination pixel combine by the stretch
// mode: AND (BLACKONWHITE), OR (WHITEONBLACK); otherwise the extra rows are
// dropped and the last pixel of the first row is kept.
bool RasterStretchDib(const Dc* dc, const Surface& s, const DibBlit& b) {
    uint32_t dummy;
    if (!Combine(b.rop, 0, 0, &dummy)) return false;
    const int64_t dw = b.dstWidth, dh = b.dstHeight;
    const POINT p1 = b.dst;
    // A negative extent covers the pixels before the start, the start included.
    int64_t x0 = dw < 0 ? p1.x + dw + 1 : p1.x, x1 = dw < 0 ? int64_t(p1.x) + 1 : p1.x + dw;
    int64_t y0 = dh < 0 ? p1.y + dh + 1 : p1.y, y1 = dh < 0 ? int64_t(p1.y) + 1 : p1.y + dh;
    x0 = std::max<int64_t>(x0, 0);
    x1 = std::min<int64_t>(x1, s.width);
    y0 = std::max<int64_t>(y0, 0);
    y1 = std::min<int64_t>(y1, s.height);
    AxisMap cols, rows;
    if (!MapAxis(b.srcWidth, dw, &cols) || !MapAxis(b.srcHeight, dh, &rows)) return false;
    const int dxInc = dw < 0 ? -1 : 1, dyInc = dh < 0 ? -1 : 1;
    const int sxInc = b.srcWidth < 0 ? -1 : 1, syInc = b.srcHeight < 0 ? -1 : 1;
    const int mode = dc->stretchMode;
    // Neighbouring source pixels mostly share a colour: the last colour's
    // pixel is kept (finding the nearest entry of a 1-bit surface's table is
    // most of the work otherwise).
    COLORREF lastColor = CLR_INVALID;
    uint32_t lastPixel = 0;
    const auto pixelOf = [&](COLORREF color) {
        if (color != lastColor) {
            lastColor = color;
            lastPixel = ColorToPixel(dc, s, color, false);
        }
        return lastPixel;
    };
    const bool andPaper = b.rop == SRCAND && s.bpp == 1;
    // Not shrunk on either axis: each destination pixel takes one source
    // pixel, read from the row found once per destination row.
    const bool single = std::abs(b.srcWidth) <= std::abs(dw) && std::abs(b.srcHeight) <= std::abs(dh);
    for (int64_t y = y0; y < y1; ++y) {
        const int64_t dyOff = (y - p1.y) * dyInc;
        if (dyOff < 0 || dyOff >= int64_t(rows.first.size()) || rows.first[size_t(dyOff)] < 0) continue;
        const uint8_t* sourceRow = nullptr;
        if (single) {
            const int64_t sy = b.srcTop + rows.first[size_t(dyOff)] * syInc;
            if (sy < 0 || sy >= b.height) continue;
            sourceRow = b.bits + (b.bottomUp ? b.height - 1 - sy : sy) * b.stride;
        }
        uint32_t* row32 = s.bpp == 32 ? reinterpret_cast<uint32_t*>(s.row(int(y))) : nullptr;
        for (int64_t x = x0; x < x1; ++x) {
            const int64_t dxOff = (x - p1.x) * dxInc;
            if (dxOff < 0 || dxOff >= int64_t(cols.first.size()) || cols.first[size_t(dxOff)] < 0) continue;
            uint32_t acc = 0;
            if (single) {
                const int64_t sx = b.srcX + cols.first[size_t(dxOff)] * sxInc;
                if (sx < 0 || sx >= b.width) continue;
                acc = pixelOf(SourceColor(sourceRow, b.bpp, int(sx), b.table, b.tableSize));
            } else {
                bool any = false;
                for (int64_t r = rows.first[size_t(dyOff)]; r <= rows.last[size_t(dyOff)]; ++r) {
                    const int64_t sy = b.srcTop + r * syInc;
                    if (sy < 0 || sy >= b.height) continue;
                    for (int64_t c = cols.first[size_t(dxOff)]; c <= cols.last[size_t(dxOff)]; ++c) {
                        const int64_t sx = b.srcX + c * sxInc;
                        if (sx < 0 || sx >= b.width) continue;
                        const uint32_t v = pixelOf(b.Color(sx, sy));
                        if (!any)
                            acc = v;
                        else if (mode == WHITEONBLACK)
                            acc |= v;
                        else if (mode == BLACKONWHITE)
                            acc &= v;
                        else if (r == rows.first[size_t(dyOff)])
                            acc = v;
                        any = true;
                    }
                }
                if (!any) continue;
            }
            // AND with paper leaves a 1-bit page as it is (images are drawn
            // so, their paper mostly).
            if (andPaper && (acc & 1u)) continue;
            uint32_t out = acc;
            if (row32) {
                Combine(b.rop, acc, row32[x], &out);
                row32[x] = out;
            } else {
                Combine(b.rop, acc, ReadPixel(s, int(x), int(y)), &out);
                WritePixel(s, int(x), int(y), out);
            }
        }
    }
    return true;
}

}  // namespace swgdi

using namespace swgdi;

extern "C" {

// Negative extents mirror; for bottom-up DIBs ySrc counts from the bottom
// row, as GDI has it. Returns the number of source rows, 0 on failure.
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
    DibBlit b;
    b.width = h.biWidth;
    b.height = h.biHeight < 0 ? -int64_t(h.biHeight) : h.biHeight;
    b.bottomUp = h.biHeight > 0;
    b.bpp = bpp;
    b.stride = ((b.width * bpp + 31) / 32) * 4;
    b.bits = static_cast<const uint8_t*>(bits);
    b.table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const uint8_t*>(info) + h.biSize);
    b.tableSize = bpp <= 8 ? (h.biClrUsed ? std::min<uint32_t>(h.biClrUsed, 1u << bpp) : (1u << bpp)) : 0;
    Journal(dc, "StretchDIBits", nullptr, {xDest, yDest, destWidth, destHeight, LONG(rop)}, nullptr,
            0, TRUE);

    POINT p1 = ToDevice(dc, xDest, yDest);
    POINT p2 = ToDevice(dc, static_cast<LONG>(std::clamp<int64_t>(int64_t(xDest) + destWidth, INT32_MIN, INT32_MAX)),
                        static_cast<LONG>(std::clamp<int64_t>(int64_t(yDest) + destHeight, INT32_MIN, INT32_MAX)));
    b.dst = p1;
    b.dstWidth = int64_t(p2.x) - p1.x;
    b.dstHeight = int64_t(p2.y) - p1.y;
    if (!b.dstWidth || !b.dstHeight) return 0;
    // Source rectangle in top-down rows.
    b.srcX = xSrc;
    b.srcTop = h.biHeight < 0 ? ySrc : b.height - (int64_t(ySrc) + srcHeight);
    b.srcWidth = srcWidth;
    b.srcHeight = srcHeight;
    b.rop = rop;
    if (!dc->driver->StretchDib(dc, b)) return 0;
    return srcHeight < 0 ? -srcHeight : srcHeight;
}

}  // extern "C"
