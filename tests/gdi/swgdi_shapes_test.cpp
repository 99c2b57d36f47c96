// Filled shapes: Rectangle, Ellipse, RoundRect, Polygon, FillRect, PatBlt;
// top-left edges inclusive, bottom-right exclusive; null-pen shrink; fill
// rules; wide pens.
#include "swgdi_test_util.h"

#include <gtest/gtest.h>

using namespace swgdi_test;

namespace {

const COLORREF kPen = RGB(10, 20, 200);
const COLORREF kFill = RGB(240, 200, 10);
const COLORREF kBg = RGB(250, 250, 250);

TEST(SwgdiRectangle, OutlineOnTheLastIncludedPixels) {
    Page page;
    Use pen(page.dc(), CreatePen(PS_SOLID, 1, kPen));
    Use brush(page.dc(), CreateSolidBrush(kFill));
    Rectangle(page.dc(), 2, 1, 9, 5);  // outline x 2..8, y 1..4
    EXPECT_EQ(page.Map(kPen, 0, 0, 11, 6),
              "...........\n"
              "..#######..\n"
              "..#.....#..\n"
              "..#.....#..\n"
              "..#######..\n"
              "...........\n");
    EXPECT_EQ(page.Count(kFill), 5 * 2);
    // Corners given in any order draw the same rectangle.
    Page other;
    Use pen2(other.dc(), CreatePen(PS_SOLID, 1, kPen));
    Use brush2(other.dc(), CreateSolidBrush(kFill));
    Rectangle(other.dc(), 9, 5, 2, 1);
    EXPECT_EQ(other.Map(kPen, 0, 0, 11, 6), page.Map(kPen, 0, 0, 11, 6));
}

TEST(SwgdiRectangle, NullPenFillsOnePixelLessRightAndBottom) {
    Page page;
    Use pen(page.dc(), GetStockObject(NULL_PEN));
    Use brush(page.dc(), CreateSolidBrush(kFill));
    Rectangle(page.dc(), 3, 2, 10, 7);
    EXPECT_EQ(page.Count(kFill), 6 * 4);
    EXPECT_TRUE(page.Is(3, 2, kFill));
    EXPECT_TRUE(page.Is(8, 5, kFill));
    EXPECT_FALSE(page.Is(9, 5, kFill));
    EXPECT_FALSE(page.Is(8, 6, kFill));
}

TEST(SwgdiRectangle, EmptyAndNullBrush) {
    Page page;
    Use pen(page.dc(), CreatePen(PS_SOLID, 1, kPen));
    EXPECT_TRUE(Rectangle(page.dc(), 5, 5, 5, 20));  // zero width: nothing
    EXPECT_EQ(page.Count(kBg), page.w() * page.h());
    SelectObject(page.dc(), GetStockObject(NULL_BRUSH));
    Rectangle(page.dc(), 1, 1, 6, 6);
    EXPECT_EQ(page.Count(kPen), 16);
    EXPECT_TRUE(page.Is(3, 3, kBg));
}

TEST(SwgdiFillRect, ExcludesRightAndBottomAndIgnoresRop) {
    Page page;
    HBRUSH b = CreateSolidBrush(kFill);
    SetROP2(page.dc(), R2_NOT);
    RECT r = {4, 3, 11, 8};
    EXPECT_EQ(FillRect(page.dc(), &r, b), 1);
    EXPECT_EQ(page.Count(kFill), 7 * 5);
    EXPECT_TRUE(page.Is(10, 7, kFill));
    EXPECT_FALSE(page.Is(11, 7, kFill));
    RECT flipped = {30, 20, 25, 15};  // right < left: covers 26..30, 16..20
    FillRect(page.dc(), &flipped, b);
    EXPECT_TRUE(page.Is(30, 20, kFill));
    EXPECT_TRUE(page.Is(26, 16, kFill));
    EXPECT_FALSE(page.Is(25, 16, kFill));
    EXPECT_EQ(page.Count(kFill), 35 + 25);
    EXPECT_EQ(FillRect(page.dc(), &r, nullptr), 0);
    DeleteObject(b);
}

TEST(SwgdiPatBlt, RopsAndNegativeExtents) {
    Page page(20, 10, RGB(0, 0, 0));
    Use brush(page.dc(), CreateSolidBrush(RGB(255, 0, 0)));
    EXPECT_TRUE(PatBlt(page.dc(), 1, 1, 3, 2, PATCOPY));
    EXPECT_EQ(page.Count(RGB(255, 0, 0)), 6);
    EXPECT_TRUE(PatBlt(page.dc(), 10, 5, -4, -3, WHITENESS));  // 7..10 x 3..5
    EXPECT_EQ(page.Count(RGB(255, 255, 255)), 12);
    EXPECT_TRUE(page.Is(10, 5, RGB(255, 255, 255)));
    EXPECT_TRUE(PatBlt(page.dc(), 0, 0, 20, 10, DSTINVERT));
    EXPECT_TRUE(page.Is(10, 5, RGB(0, 0, 0)));
    EXPECT_TRUE(page.Is(0, 0, RGB(255, 255, 255)));
    EXPECT_FALSE(PatBlt(page.dc(), 0, 0, 5, 5, SRCCOPY));  // reads a source
}

TEST(SwgdiEllipse, SymmetricAndInsideItsBox) {
    Page page;
    Use pen(page.dc(), CreatePen(PS_SOLID, 1, kPen));
    Use brush(page.dc(), CreateSolidBrush(kFill));
    Ellipse(page.dc(), 3, 2, 22, 15);  // 19 x 13
    for (int y = 0; y < page.h(); ++y)
        for (int x = 0; x < page.w(); ++x) {
            bool drawn = !page.Is(x, y, kBg);
            if (x < 3 || x > 21 || y < 2 || y > 14) {
                EXPECT_FALSE(drawn) << x << "," << y;
            }
            // Mirror images across the box centre match.
            int mx = 3 + 21 - x, my = 2 + 14 - y;
            if (drawn && mx >= 0 && my >= 0) {
                EXPECT_EQ(page.At(x, y), page.At(mx, y)) << x << "," << y;
                EXPECT_EQ(page.At(x, y), page.At(x, my)) << x << "," << y;
            }
        }
    // The outline touches all four sides; the middle is filled.
    EXPECT_TRUE(page.Is(3, 8, kPen));
    EXPECT_TRUE(page.Is(21, 8, kPen));
    EXPECT_TRUE(page.Is(12, 2, kPen));
    EXPECT_TRUE(page.Is(12, 14, kPen));
    EXPECT_TRUE(page.Is(12, 8, kFill));
}

TEST(SwgdiEllipse, NullPenFillsTheOutlineArea) {
    Page a, b;
    {
        Use pen(a.dc(), CreatePen(PS_SOLID, 1, kFill));
        Use brush(a.dc(), CreateSolidBrush(kFill));
        Ellipse(a.dc(), 4, 3, 30, 20);
    }
    {
        Use pen(b.dc(), GetStockObject(NULL_PEN));
        Use brush(b.dc(), CreateSolidBrush(kFill));
        Ellipse(b.dc(), 4, 3, 30, 20);
    }
    EXPECT_EQ(b.Map(kFill, 0, 0, 41, 29), a.Map(kFill, 0, 0, 41, 29));
}

TEST(SwgdiEllipse, TinyEllipseIsARectangle) {
    Page page;
    Use pen(page.dc(), CreatePen(PS_SOLID, 1, kPen));
    Use brush(page.dc(), CreateSolidBrush(kFill));
    Ellipse(page.dc(), 5, 5, 7, 9);  // 2 wide: drawn as Rectangle
    EXPECT_EQ(page.Map(kPen, 5, 5, 7, 9), "##\n##\n##\n##\n");
}

TEST(SwgdiPolygon, AlternateLeavesTheStarCentreEmptyWinding) {
    const POINT star[5] = {{20, 2}, {32, 26}, {4, 10}, {36, 10}, {8, 26}};
    Page alt, wind;
    for (Page* p : {&alt, &wind}) {
        Use pen(p->dc(), GetStockObject(NULL_PEN));
        Use brush(p->dc(), CreateSolidBrush(kFill));
        SetPolyFillMode(p->dc(), p == &alt ? ALTERNATE : WINDING);
        EXPECT_TRUE(Polygon(p->dc(), star, 5));
    }
    EXPECT_FALSE(alt.Is(20, 15, kFill));
    EXPECT_TRUE(wind.Is(20, 15, kFill));
    EXPECT_TRUE(alt.Is(20, 6, kFill));  // a point of the star
    EXPECT_GT(wind.Count(kFill), alt.Count(kFill));
}

TEST(SwgdiPolygon, TopLeftInclusiveBottomRightExclusive) {
    Page page;
    Use pen(page.dc(), GetStockObject(NULL_PEN));
    Use brush(page.dc(), CreateSolidBrush(kFill));
    POINT sq[4] = {{3, 2}, {10, 2}, {10, 6}, {3, 6}};
    Polygon(page.dc(), sq, 4);
    EXPECT_EQ(page.Count(kFill), 7 * 4);
    EXPECT_TRUE(page.Is(3, 2, kFill));
    EXPECT_FALSE(page.Is(10, 5, kFill));
    EXPECT_FALSE(page.Is(9, 6, kFill));
    // The same square with a pen: outline closed over 3..10 x 2..6.
    Page framed;
    Use pen2(framed.dc(), CreatePen(PS_SOLID, 1, kPen));
    Polygon(framed.dc(), sq, 4);
    EXPECT_EQ(framed.Count(kPen), 2 * 8 + 2 * 3);
    EXPECT_FALSE(Polygon(framed.dc(), sq, 1));
}

// Along the body, rows 8..12: width 5 centred on row 10.
TEST(SwgdiWidePen, HorizontalLineCoversItsWidthWithRoundEnds) {
    Page page;
    Use pen(page.dc(), CreatePen(PS_SOLID, 5, kPen));
    MoveToEx(page.dc(), 10, 10, nullptr);
    LineTo(page.dc(), 30, 10);
    for (int x = 10; x < 30; ++x) EXPECT_EQ(page.Map(kPen, x, 7, x + 1, 14), ".\n#\n#\n#\n#\n#\n.\n") << x;
    // Round ends reach beyond both end points, but not by the full width.
    EXPECT_TRUE(page.Is(8, 10, kPen));
    EXPECT_TRUE(page.Is(32, 10, kPen));
    EXPECT_FALSE(page.Is(8, 8, kPen));
    EXPECT_FALSE(page.Is(34, 10, kPen));
}

// The outline of a wide polyline is one region: XOR paints each covered
// pixel once, so it covers exactly what a copy covers.
TEST(SwgdiWidePen, XorPaintsOverlapsOnce) {
    Page xored(41, 29, RGB(0, 0, 0)), copied(41, 29, RGB(0, 0, 0));
    const POINT p[] = {{5, 5}, {30, 5}, {30, 20}, {10, 20}, {20, 2}};
    for (Page* page : {&xored, &copied}) {
        Use pen(page->dc(), CreatePen(PS_SOLID, 4, RGB(255, 255, 255)));
        SetROP2(page->dc(), page == &xored ? R2_XORPEN : R2_COPYPEN);
        Polyline(page->dc(), p, 5);
    }
    EXPECT_EQ(xored.Map(RGB(255, 255, 255), 0, 0, 41, 29), copied.Map(RGB(255, 255, 255), 0, 0, 41, 29));
    EXPECT_TRUE(xored.Is(20, 5, RGB(255, 255, 255)));  // where segments cross
    EXPECT_TRUE(xored.Is(25, 12, RGB(0, 0, 0)));
}

TEST(SwgdiWidePen, RectangleInteriorMeetsTheFrame) {
    Page page;
    Use pen(page.dc(), CreatePen(PS_SOLID, 4, kPen));
    Use brush(page.dc(), CreateSolidBrush(kFill));
    Rectangle(page.dc(), 5, 5, 30, 22);
    EXPECT_TRUE(page.Is(17, 13, kFill));
    EXPECT_TRUE(page.Is(5, 13, kPen));
    EXPECT_TRUE(page.Is(3, 13, kPen));   // half the width outside
    EXPECT_TRUE(page.Is(6, 13, kPen));   // and inside
    EXPECT_TRUE(page.Is(7, 13, kFill));
    // No background pixel between frame and fill.
    for (int x = 3; x < 31; ++x) EXPECT_FALSE(page.Is(x, 13, kBg)) << x;
}

}  // namespace
