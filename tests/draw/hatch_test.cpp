// Hatch brushes: the seventeen density patterns from the module's bitmaps.
#include "draw_test_util.h"

namespace wx5n::test {
namespace {

struct Density {
    int code;
    uint8_t rows[8];  // top row first; bit 7 leftmost; 0 bits are ink
    int ink;
};

const Density kDensities[] = {
    {50, {0x7F, 0xFF, 0xFF, 0xFF, 0xF7, 0xFF, 0xFF, 0xFF}, 2},
    {100, {0x7F, 0xFF, 0xF7, 0xFF, 0x7F, 0xFF, 0xF7, 0xFF}, 4},
    {125, {0x7F, 0xFF, 0xF7, 0xFF, 0x7F, 0xFF, 0xF7, 0xFF}, 4},
    {200, {0x77, 0xFF, 0xDD, 0xFF, 0x77, 0xFF, 0xDD, 0xFF}, 8},
    {250, {0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD}, 16},
    {300, {0x55, 0xBB, 0x55, 0xEE, 0x55, 0xBB, 0x55, 0xEE}, 24},
    {375, {0x55, 0xAA, 0x55, 0xBB, 0x55, 0xAA, 0x55, 0xBB}, 28},
    {400, {0x55, 0xAB, 0x55, 0xAA, 0x55, 0xBA, 0x55, 0xAA}, 30},
    {500, {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA}, 32},
    {600, {0x22, 0x55, 0x88, 0x55, 0x22, 0x55, 0x88, 0x55}, 40},
    {625, {0x22, 0x55, 0x88, 0x55, 0x22, 0x55, 0x88, 0x55}, 40},
    {700, {0x11, 0x44, 0x11, 0x44, 0x11, 0x44, 0x11, 0x44}, 48},
    {750, {0x00, 0x44, 0x00, 0x11, 0x00, 0x44, 0x00, 0x11}, 56},
    {800, {0x00, 0x10, 0x00, 0x01, 0x00, 0x10, 0x00, 0x01}, 60},
    {875, {0x00, 0x40, 0x00, 0x10, 0x00, 0x04, 0x00, 0x01}, 60},
    {900, {0x00, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x01}, 62},
    {1000, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, 64},
};

TEST(Hatch, EveryDensityPaintsItsPattern) {
    Page page(17 * 16, 16, 144);
    HDC dc = page.dc();
    SetTextColor(dc, 0x000000);  // ink
    SetBkColor(dc, 0xFFFFFF);    // paper
    const int base = swgdi_ObjectCount();
    for (int k = 0; k < 17; ++k) {
        const Density& d = kDensities[k];
        HBRUSH brush = foGetHatchBrush(d.code);
        ASSERT_NE(brush, nullptr) << d.code;
        RECT r{16 * k, 0, 16 * k + 16, 16};
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        // Each 8 x 8 cell repeats the pattern (brushes align to the device
        // origin, and the cells start at multiples of 8).
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                bool ink = !((d.rows[y % 8] >> (7 - x % 8)) & 1);
                ASSERT_EQ(page.Pixel(16 * k + x, y), ink ? 0u : 0xFFFFFFu)
                    << "code " << d.code << " at " << x << "," << y;
            }
        EXPECT_EQ(page.CountInk(16 * k, 0, 16 * k + 8, 8), d.ink) << d.code;
    }
    // The bitmaps were deleted with the brushes: nothing is left behind.
    EXPECT_EQ(swgdi_ObjectCount(), base);
}

TEST(Hatch, PatternIsAlignedToTheDeviceInEveryMapping) {
    const Density& d = kDensities[6];  // 375: no symmetry to hide a flip
    for (Mapping m : {Mapping::Text, Mapping::Twips, Mapping::Anisotropic}) {
        Page page(64, 64, 144);
        page.SetMapping(m);
        HDC dc = page.dc();
        HBRUSH brush = foGetHatchBrush(d.code);
        ASSERT_NE(brush, nullptr);
        POINT a = page.L(8, 8), b = page.L(40, 32);
        RECT r{a.x, a.y, b.x, b.y};
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        EXPECT_EQ(page.InkBox().right, 40) << MappingName(m);
        for (int y = 8; y < 32; ++y)
            for (int x = 8; x < 40; ++x)
                ASSERT_EQ(page.Ink(x, y), !((d.rows[y % 8] >> (7 - x % 8)) & 1))
                    << MappingName(m) << " " << x << "," << y;
    }
}

TEST(Hatch, CodeZeroIsTheHollowBrushAndUnknownCodesNone) {
    EXPECT_EQ(foGetHatchBrush(0), static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
    const int base = swgdi_ObjectCount();
    for (int code : {450, 999, 1001, 49, 51, -50, -1000, 1, 101, 117})
        EXPECT_EQ(foGetHatchBrush(code), nullptr) << code;
    EXPECT_EQ(swgdi_ObjectCount(), base);
}

}  // namespace
}  // namespace wx5n::test
