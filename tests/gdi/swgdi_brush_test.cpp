// Brushes and raster operations: the 16 ROP2 modes, monochrome pattern
// brushes (0 bits text colour, 1 bits background colour) aligned to the
// brush origin, colour patterns, hatches, 1-bpp surfaces.
#include "swgdi_test_util.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace swgdi_test;

namespace {

HBRUSH MonoBrush(const unsigned char rows[8]) {
    unsigned char bits[16] = {};
    for (int i = 0; i < 8; ++i) bits[2 * i] = rows[i];
    HBITMAP bm = CreateBitmap(8, 8, 1, 1, bits);
    HBRUSH br = CreatePatternBrush(bm);
    DeleteObject(bm);  // the brush keeps its own copy
    return br;
}

// Each mode against its boolean definition, on every bit of two pixels.
TEST(SwgdiRop2, AllSixteenModesFollowTheirDefinitions) {
    const uint32_t P = 0x00C3A51Eu, D = 0x005A3CF0u;
    const uint32_t expected[17] = {0,
                                   0,               // R2_BLACK
                                   ~(D | P),        // R2_NOTMERGEPEN
                                   ~P & D,          // R2_MASKNOTPEN
                                   ~P,              // R2_NOTCOPYPEN
                                   P & ~D,          // R2_MASKPENNOT
                                   ~D,              // R2_NOT
                                   P ^ D,           // R2_XORPEN
                                   ~(P & D),        // R2_NOTMASKPEN
                                   P & D,           // R2_MASKPEN
                                   ~(P ^ D),        // R2_NOTXORPEN
                                   D,               // R2_NOP
                                   ~P | D,          // R2_MERGENOTPEN
                                   P,               // R2_COPYPEN
                                   P | ~D,          // R2_MERGEPENNOT
                                   P | D,           // R2_MERGEPEN
                                   ~0u};            // R2_WHITE
    for (int rop = R2_BLACK; rop <= R2_WHITE; ++rop) {
        Page page(8, 4, RGB((D >> 16) & 255, (D >> 8) & 255, D & 255));
        Use pen(page.dc(), CreatePen(PS_SOLID, 1, RGB((P >> 16) & 255, (P >> 8) & 255, P & 255)));
        Use brush(page.dc(), CreateSolidBrush(RGB((P >> 16) & 255, (P >> 8) & 255, P & 255)));
        EXPECT_EQ(SetROP2(page.dc(), rop), R2_COPYPEN);
        MoveToEx(page.dc(), 0, 0, nullptr);
        LineTo(page.dc(), 8, 0);
        SelectObject(page.dc(), GetStockObject(NULL_PEN));
        Rectangle(page.dc(), 0, 2, 9, 5);  // fills rows 2..3
        SelectObject(page.dc(), GetStockObject(BLACK_PEN));
        EXPECT_EQ(page.At(3, 0), expected[rop]) << "pen, rop " << rop;
        EXPECT_EQ(page.At(3, 2), expected[rop]) << "brush, rop " << rop;
        EXPECT_EQ(page.At(3, 1), D) << "untouched, rop " << rop;
    }
    Page page(4, 4);
    EXPECT_EQ(SetROP2(page.dc(), 0), 0);
    EXPECT_EQ(SetROP2(page.dc(), 17), 0);
    EXPECT_EQ(GetROP2(page.dc()), R2_COPYPEN);
}

TEST(SwgdiPatternBrush, MonoBitmapUsesTextAndBackgroundColours) {
    const unsigned char rows[8] = {0x0F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7E};
    Page page(16, 16);
    SetTextColor(page.dc(), RGB(255, 0, 0));
    SetBkColor(page.dc(), RGB(0, 0, 255));
    HBRUSH br = MonoBrush(rows);
    RECT r = {0, 0, 16, 16};
    FillRect(page.dc(), &r, br);
    // Row 0: bits 0000 1111 -> four text-colour pixels, then background.
    EXPECT_EQ(page.Map(RGB(255, 0, 0), 0, 0, 16, 1), "####....####....\n");
    EXPECT_EQ(page.Map(RGB(255, 0, 0), 0, 7, 16, 8), "#......##......#\n");
    EXPECT_TRUE(page.Is(5, 3, RGB(0, 0, 255)));
    // Colours are taken when drawing, not when the brush is made.
    SetTextColor(page.dc(), RGB(0, 255, 0));
    FillRect(page.dc(), &r, br);
    EXPECT_TRUE(page.Is(0, 0, RGB(0, 255, 0)));
    DeleteObject(br);
}

TEST(SwgdiPatternBrush, AlignedToTheBrushOrigin) {
    const unsigned char rows[8] = {0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};  // one ink dot
    Page page(24, 24, RGB(0, 0, 0));
    SetTextColor(page.dc(), RGB(255, 255, 255));
    SetBkColor(page.dc(), RGB(0, 0, 0));
    HBRUSH br = MonoBrush(rows);
    SetBrushOrgEx(page.dc(), 3, 5, nullptr);
    RECT r = {1, 1, 23, 23};
    FillRect(page.dc(), &r, br);
    // Dots at x = 3 + 8i, y = 5 + 8j (device pixels), whatever the rectangle.
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            bool dot = x >= 1 && x < 23 && y >= 1 && y < 23 && (x - 3) % 8 == 0 && (y - 5) % 8 == 0;
            EXPECT_EQ(page.Is(x, y, RGB(255, 255, 255)), dot) << x << "," << y;
        }
    POINT old;
    SetBrushOrgEx(page.dc(), -1, 0, &old);
    EXPECT_EQ(old.x, 3);
    EXPECT_EQ(old.y, 5);
    DeleteObject(br);
}

TEST(SwgdiPatternBrush, ColourDibPatternAndHatch) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 3;
    bi.bmiHeader.biHeight = 2;  // bottom-up: the first row in memory is the bottom one
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bm = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bm, nullptr);
    const uint32_t px[6] = {0x110000, 0x220000, 0x330000, 0x000011, 0x000022, 0x000033};
    std::memcpy(bits, px, sizeof px);
    HBRUSH br = CreatePatternBrush(bm);
    DeleteObject(bm);
    Page page(6, 4);
    RECT r = {0, 0, 6, 4};
    FillRect(page.dc(), &r, br);
    EXPECT_EQ(page.At(0, 0), 0x000011u);
    EXPECT_EQ(page.At(2, 0), 0x000033u);
    EXPECT_EQ(page.At(4, 1), 0x220000u);
    EXPECT_EQ(page.At(3, 2), 0x000011u);
    DeleteObject(br);

    Page hatch(8, 8, RGB(0, 0, 0));
    SetBkColor(hatch.dc(), RGB(0, 0, 255));
    HBRUSH h = CreateHatchBrush(HS_HORIZONTAL, RGB(255, 0, 0));
    RECT all = {0, 0, 8, 8};
    FillRect(hatch.dc(), &all, h);
    EXPECT_EQ(hatch.Count(RGB(255, 0, 0)), 8);
    EXPECT_EQ(hatch.Count(RGB(0, 0, 255)), 56);
    SetBkMode(hatch.dc(), TRANSPARENT);
    hatch.Clear(RGB(0, 0, 0));
    FillRect(hatch.dc(), &all, h);
    EXPECT_EQ(hatch.Count(RGB(0, 0, 0)), 56);
    DeleteObject(h);
}

TEST(SwgdiMono, OneBitSurfaceMapsColours) {
    HDC dc = swgdi_CreatePageDC(16, 4, 96, 96, 1);
    ASSERT_NE(dc, nullptr);
    SWGDI_SURFACE s;
    ASSERT_TRUE(swgdi_GetSurface(dc, &s));
    EXPECT_EQ(s.bitsPerPixel, 1);
    EXPECT_EQ(GetPixel(dc, 3, 1), RGB(255, 255, 255));  // pages start white
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, 0, 1, nullptr);
    LineTo(dc, 8, 1);
    EXPECT_EQ(GetPixel(dc, 7, 1), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 8, 1), RGB(255, 255, 255));
    EXPECT_EQ(static_cast<const uint8_t*>(s.bits)[s.stride * 1], 0x00);
    // A grey pen that matches no table entry takes the opposite of the
    // background's entry: background white -> black ink.
    HPEN grey = CreatePen(PS_SOLID, 1, RGB(200, 200, 200));
    SelectObject(dc, grey);
    MoveToEx(dc, 0, 3, nullptr);
    LineTo(dc, 16, 3);
    EXPECT_EQ(GetPixel(dc, 5, 3), RGB(0, 0, 0));
    SelectObject(dc, old);
    DeleteObject(pen);
    DeleteObject(grey);
    DeleteDC(dc);
}

}  // namespace

// Boxes of whole rows are painted in one pass where rows lie end to end
// (unpadded rows); padded rows, partial rows and both formats must give the
// same pixels as row by row: exactly the box, nothing before or after it.
TEST(SwgdiFillRows, WholeAndPartialRowsOfBothFormats) {
    struct Box {
        int w, h, bpp, l, t, r, b;
    };
    const Box boxes[] = {
        {32, 6, 1, 0, 1, 32, 5},  {33, 6, 1, 0, 1, 33, 5}, {64, 4, 1, 0, 0, 64, 4},
        {17, 6, 32, 0, 2, 17, 5}, {17, 6, 32, 1, 2, 17, 5}, {17, 6, 32, 0, 2, 16, 5},
    };
    for (const Box& c : boxes) {
        HDC dc = swgdi_CreatePageDC(c.w, c.h, 96, 96, c.bpp);
        ASSERT_NE(dc, nullptr);
        PatBlt(dc, c.l, c.t, c.r - c.l, c.b - c.t, BLACKNESS);
        int wrong = 0;
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                const bool in = x >= c.l && x < c.r && y >= c.t && y < c.b;
                wrong += GetPixel(dc, x, y) != (in ? RGB(0, 0, 0) : RGB(255, 255, 255));
            }
        EXPECT_EQ(wrong, 0) << c.w << "x" << c.h << " at " << c.bpp << " bpp, box " << c.l << ","
                            << c.t << "," << c.r << "," << c.b;
        DeleteDC(dc);
    }
}
