// Fills of whole rows: the one-pass path for unpadded rows against padded
// rows, partial rows and both pixel formats.
#include <gtest/gtest.h>

#include "swgdi.h"

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
