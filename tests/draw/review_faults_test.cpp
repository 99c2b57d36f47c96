// Faults of the drawing half found by review, each drawn the way a host
// meets it.
#include "draw/draw_test_util.h"

namespace wx5n::test {
namespace {

// A host keeps one pattern brush selected through its management record and
// fills figure after figure transparently, each in a new text colour. Six
// new colours fill the record's list: had the text-colour brushes gone
// through the record, the sixth would have pushed out and deleted the host's
// pattern brush, and the mask pass would have painted the figure solid.
TEST(ReviewFaults, ManagedTransparentFillsKeepTheHostsPatternBrush) {
    static const COLORREF kColours[6] = {0x0000C0, 0x00A000, 0xC00000, 0x00A0A0, 0xA000A0, 0x4080C0};
    // Checkerboard: every other pixel ink, so a patterned fill is half paper.
    static const unsigned char kChecker[16] = {0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0,
                                               0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0};
    for (const char* figure : {"rectangle", "rounded rectangle", "ellipse"}) {
        SCOPED_TRACE(figure);
        Page page(300, 80, 96);
        const int before = swgdi_ObjectCount();
        HBITMAP bits = CreateBitmap(8, 8, 1, 1, kChecker);
        ASSERT_NE(bits, nullptr);
        MNG_OBJECT mng;
        StartMngObject(page.dc(), &mng);
        HGDIOBJ prev = nullptr;
        ASSERT_EQ(foSelectBrush(page.dc(), LOGBRUSH{BS_PATTERN, 0, reinterpret_cast<ULONG_PTR>(bits)}, &prev, &mng), 1);
        HGDIOBJ hostBrush = GetCurrentObject(page.dc(), OBJ_BRUSH);
        LINEREC none = Line(0, 0, 1);
        none.unitsPerInch = 96;
        const RECTREC shape = Shape(0, 6, 6, 6, 6), square = Shape(0);
        for (int i = 0; i < 6; ++i) {
            SetTextColor(page.dc(), kColours[i]);
            const int x = 10 + 45 * i;
            if (figure[0] == 'e') {
                foExtEllipse(page.dc(), x + 20, 40, 20, 20, 500, 1, &none, &mng);
            } else {
                RECTREC s = figure[0] == 'r' && figure[1] == 'o' ? shape : square;
                foExtRectangle(page.dc(), RECT{x, 20, x + 40, 60}, 500, 1, &none, &s, &mng);
            }
        }
        EXPECT_EQ(GetCurrentObject(page.dc(), OBJ_BRUSH), hostBrush);

        // The middle of each figure: half ink in its colour, half paper.
        for (int i = 0; i < 6; ++i) {
            const uint32_t want = ((kColours[i] & 0xFF) << 16) | (kColours[i] & 0xFF00) | (kColours[i] >> 16);
            int ink = 0, paper = 0;
            for (int y = 34; y < 46; ++y)
                for (int x = 24 + 45 * i; x < 36 + 45 * i; ++x) {
                    ink += page.Pixel(x, y) == want;
                    paper += page.Pixel(x, y) == 0xFFFFFF;
                }
            EXPECT_EQ(ink, 72) << "figure " << i + 1;
            EXPECT_EQ(paper, 72) << "figure " << i + 1;
        }
        EndMngObject(page.dc(), &mng);
        DeleteObject(bits);
        EXPECT_EQ(swgdi_ObjectCount(), before);
    }
}

}  // namespace
}  // namespace wx5n::test
