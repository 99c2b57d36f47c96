// StretchDIBits and SetPixel/GetPixel: a host's images onto the page.
#include "swgdi_test_util.h"

#include <gtest/gtest.h>

using namespace swgdi_test;

namespace {

struct Image {
    BITMAPINFO bi{};
    uint32_t px[12];  // 4 x 3, 0x00RRGGBB
    Image(bool topDown) {
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = 4;
        bi.bmiHeader.biHeight = topDown ? -3 : 3;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        for (int i = 0; i < 12; ++i) px[i] = 0x101010u * uint32_t(i + 1);
    }
};

TEST(SwgdiStretchDIBits, CopiesBottomUpAndTopDownRows) {
    Page page(10, 8, RGB(0, 0, 0));
    Image up(false), down(true);
    EXPECT_EQ(StretchDIBits(page.dc(), 1, 1, 4, 3, 0, 0, 4, 3, up.px, &up.bi, DIB_RGB_COLORS, SRCCOPY), 3);
    // Bottom-up: the first row in memory is the bottom row on the page.
    EXPECT_EQ(page.At(1, 3), up.px[0]);
    EXPECT_EQ(page.At(4, 1), up.px[11]);
    StretchDIBits(page.dc(), 5, 4, 4, 3, 0, 0, 4, 3, down.px, &down.bi, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(page.At(5, 4), down.px[0]);
    EXPECT_EQ(page.At(8, 6), down.px[11]);
    EXPECT_TRUE(page.Is(0, 0, RGB(0, 0, 0)));
}

TEST(SwgdiStretchDIBits, ScalesMirrorsAndCombines) {
    Page page(12, 10, RGB(0, 0, 0));
    Image img(true);
    StretchDIBits(page.dc(), 0, 0, 8, 6, 0, 0, 4, 3, img.px, &img.bi, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(page.At(0, 0), img.px[0]);  // each source pixel becomes 2 x 2
    EXPECT_EQ(page.At(1, 1), img.px[0]);
    EXPECT_EQ(page.At(2, 0), img.px[1]);
    EXPECT_EQ(page.At(7, 5), img.px[11]);
    page.Clear(RGB(0, 0, 0));
    // A negative width runs leftwards from x = 4, which is included: 4..1.
    StretchDIBits(page.dc(), 4, 0, -4, 3, 0, 0, 4, 3, img.px, &img.bi, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(page.At(4, 0), img.px[0]);  // mirrored left to right
    EXPECT_EQ(page.At(1, 0), img.px[3]);
    EXPECT_TRUE(page.Is(0, 0, RGB(0, 0, 0)));
    StretchDIBits(page.dc(), 4, 0, -4, 3, 0, 0, 4, 3, img.px, &img.bi, DIB_RGB_COLORS, SRCINVERT);
    EXPECT_TRUE(page.Is(2, 1, RGB(0, 0, 0)));  // XOR with itself
    // Shrinking combines source pixels: AND in BLACKONWHITE (the default),
    // OR in WHITEONBLACK.
    page.Clear(RGB(0, 0, 0));
    StretchDIBits(page.dc(), 0, 5, 2, 1, 0, 0, 4, 1, img.px, &img.bi, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(page.At(0, 5), img.px[0] & img.px[1]);
    SetStretchBltMode(page.dc(), WHITEONBLACK);
    StretchDIBits(page.dc(), 0, 6, 2, 1, 0, 0, 4, 1, img.px, &img.bi, DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(page.At(1, 6), img.px[2] | img.px[3]);
    EXPECT_EQ(StretchDIBits(page.dc(), 0, 0, 4, 3, 0, 0, 4, 3, img.px, &img.bi, DIB_RGB_COLORS, PATCOPY), 0);
    EXPECT_EQ(StretchDIBits(page.dc(), 0, 0, 4, 3, 0, 0, 4, 3, nullptr, &img.bi, DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(StretchDIBits(nullptr, 0, 0, 4, 3, 0, 0, 4, 3, img.px, &img.bi, DIB_RGB_COLORS, SRCCOPY), 0);
}

TEST(SwgdiStretchDIBits, MonochromeSourceUsesItsColourTable) {
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colors[2];
    } bi = {};
    bi.h.biSize = sizeof(BITMAPINFOHEADER);
    bi.h.biWidth = 8;
    bi.h.biHeight = -1;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = 1;
    bi.colors[0] = {0, 0, 255, 0};  // red
    bi.colors[1] = {255, 0, 0, 0};  // blue
    const uint8_t bits[4] = {0xA0, 0, 0, 0};
    Page page(8, 1);
    StretchDIBits(page.dc(), 0, 0, 8, 1, 0, 0, 8, 1, bits, reinterpret_cast<BITMAPINFO*>(&bi),
                  DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(page.Map(RGB(0, 0, 255), 0, 0, 8, 1), "#.#.....\n");
    EXPECT_EQ(page.Map(RGB(255, 0, 0), 0, 0, 8, 1), ".#.#####\n");
}

TEST(SwgdiPixel, SetAndGetThroughTheMapping) {
    Page page(10, 10);
    EXPECT_EQ(SetPixel(page.dc(), 3, 4, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(page.dc(), 3, 4), RGB(1, 2, 3));
    EXPECT_EQ(page.At(3, 4), 0x010203u);
    SetViewportOrgEx(page.dc(), 5, 5, nullptr);
    SetPixel(page.dc(), -1, 2, RGB(9, 9, 9));
    EXPECT_EQ(GetPixel(page.dc(), -1, 2), RGB(9, 9, 9));
    EXPECT_TRUE(page.Is(4, 7, RGB(9, 9, 9)));
    EXPECT_EQ(SetPixel(page.dc(), 100, 0, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(page.dc(), -6, 0), CLR_INVALID);
}

}  // namespace
