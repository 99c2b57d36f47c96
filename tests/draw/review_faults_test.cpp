// Faults of the drawing half found by review, each drawn the way a host
// meets it.
#include <vector>

#include "draw/draw_test_util.h"

namespace wx5n::test {
namespace {

// A host keeps one pattern brush selected through its management record and
// fills figure after figure transparently, each in a new text colour. Six
// new colours fill the record's list: had the text-colour brushes gone
// through the record, the sixth would have pushed out and deleted the host's
// pattern brush, and the mask pass would have painted the figure solid.
enum class Figure { Rect, RoundRect, Ellipse };

struct TransparentCase {
    const char* name;
    Figure figure;
};

const TransparentCase kTransparentCases[] = {
    {"rectangle", Figure::Rect},
    {"rounded rectangle", Figure::RoundRect},
    {"ellipse", Figure::Ellipse},
};

void DrawFillOnly(HDC hdc, Figure figure, int x, int y, int size, MNG_OBJECT* mng) {
    LINEREC none{};
    none.kind = 0;
    none.cap = 1;
    none.unitsPerInch = 96;
    if (figure == Figure::Ellipse) {
        foExtEllipse(hdc, x + size / 2, y + size / 2, size / 2, size / 2, 500, 1, &none, mng);
        return;
    }
    RECTREC shape{};
    if (figure == Figure::RoundRect)
        for (auto& r : shape.radius) r = 6;
    foExtRectangle(hdc, RECT{x, y, x + size, y + size}, 500, 1, &none, &shape, mng);
}

TEST(ReviewFaults, ManagedTransparentFillsKeepTheHostsPatternBrush) {
    static const COLORREF kColours[6] = {0x0000C0, 0x00A000, 0xC00000,
                                         0x00A0A0, 0xA000A0, 0x4080C0};
    // Checkerboard: every other pixel ink, so a patterned fill is half paper.
    static const unsigned char kChecker[16] = {0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0,
                                               0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0};
    for (const TransparentCase& c : kTransparentCases) {
        SCOPED_TRACE(c.name);
        Page page(300, 80, 96);
        const int before = swgdi_ObjectCount();
        HBITMAP bits = CreateBitmap(8, 8, 1, 1, kChecker);
        ASSERT_NE(bits, nullptr);
        MNG_OBJECT mng;
        StartMngObject(page.dc(), &mng);
        LOGBRUSH pattern{BS_PATTERN, 0, reinterpret_cast<ULONG_PTR>(bits)};
        HGDIOBJ prev = nullptr;
        ASSERT_EQ(foSelectBrush(page.dc(), pattern, &prev, &mng), 1);
        HGDIOBJ hostBrush = GetCurrentObject(page.dc(), OBJ_BRUSH);

        for (int i = 0; i < 6; ++i) {
            SetTextColor(page.dc(), kColours[i]);
            DrawFillOnly(page.dc(), c.figure, 10 + 45 * i, 20, 40, &mng);
        }
        EXPECT_EQ(GetCurrentObject(page.dc(), OBJ_BRUSH), hostBrush);

        // The middle of each figure: half ink in its colour, half paper.
        for (int i = 0; i < 6; ++i) {
            int ink = 0, paper = 0, other = 0;
            for (int y = 34; y < 46; ++y)
                for (int x = 24 + 45 * i; x < 36 + 45 * i; ++x) {
                    const uint32_t p = page.Pixel(x, y);
                    const uint32_t want = ((kColours[i] & 0xFF) << 16) | (kColours[i] & 0xFF00) |
                                          ((kColours[i] >> 16) & 0xFF);
                    if (p == want) ++ink;
                    else if (p == 0xFFFFFF) ++paper;
                    else ++other;
                }
            EXPECT_EQ(ink, 72) << "figure " << i + 1;
            EXPECT_EQ(paper, 72) << "figure " << i + 1;
            EXPECT_EQ(other, 0) << "figure " << i + 1;
        }
        EndMngObject(page.dc(), &mng);
        DeleteObject(bits);
        EXPECT_EQ(swgdi_ObjectCount(), before);
    }
}

// A negative width keeps its sign in every mapping, as it does in MM_TEXT;
// a width of one device pixel or less is one logical unit either way.
struct WidthCase {
    Mapping mapping;
    int width;
    int want;
};

const WidthCase kWidthCases[] = {
    {Mapping::Text, -5, -5},          {Mapping::Twips, -36, -40},
    {Mapping::Twips, 36, 40},         {Mapping::Twips, -14, 1},
    {Mapping::Anisotropic, -30, -30}, {Mapping::Anisotropic, -3, 1},
};

TEST(ReviewFaults, NegativeWidthsKeepTheirSign) {
    Page page;
    for (const WidthCase& c : kWidthCases) {
        page.SetMapping(c.mapping);
        EXPECT_EQ(RoundLineWidth(page.dc(), c.width), c.want)
            << MappingName(c.mapping) << " width " << c.width;
    }
}

}  // namespace
}  // namespace wx5n::test
