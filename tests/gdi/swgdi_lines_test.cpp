// Cosmetic lines: the end point excluded, GDI's stepping bias, clipping and
// dashes.
#include "swgdi_test_util.h"

#include <gtest/gtest.h>

using namespace swgdi_test;

namespace {

const COLORREF kInk = RGB(200, 20, 30);

TEST(SwgdiLines, HorizontalAndVerticalExcludeTheEndPoint) {
    Page page;
    Use pen(page.dc(), CreatePen(PS_SOLID, 1, kInk));
    MoveToEx(page.dc(), 3, 2, nullptr);
    LineTo(page.dc(), 9, 2);   // 3..8
    MoveToEx(page.dc(), 20, 5, nullptr);
    LineTo(page.dc(), 14, 5);  // drawn leftwards: 20 down to 15
    MoveToEx(page.dc(), 30, 3, nullptr);
    LineTo(page.dc(), 30, 7);  // 3..6
    EXPECT_EQ(page.Map(kInk, 0, 2, 25, 3), "...######................\n");
    EXPECT_EQ(page.Map(kInk, 0, 5, 25, 6), "...............######....\n");
    EXPECT_EQ(page.Map(kInk, 29, 2, 32, 9), "...\n.#.\n.#.\n.#.\n.#.\n...\n...\n");
    EXPECT_EQ(page.Count(kInk), 6 + 6 + 4);
}

TEST(SwgdiLines, ShallowAndSteepLinesStepLikeGdi) {
    Page page;
    Use pen(page.dc(), CreatePen(PS_SOLID, 0, kInk));
    // (0,0)-(7,3): x-major, no bias: half steps round down.
    MoveToEx(page.dc(), 0, 0, nullptr);
    LineTo(page.dc(), 7, 3);
    EXPECT_EQ(page.Map(kInk, 0, 0, 8, 4),
              "##......\n"
              "..##....\n"
              "....##..\n"
              "......#.\n");
    page.Clear(RGB(250, 250, 250));
    // (7,0)-(0,3) heads down-left, x-major (octant 4): no bias either.
    MoveToEx(page.dc(), 7, 0, nullptr);
    LineTo(page.dc(), 0, 3);
    EXPECT_EQ(page.Map(kInk, 0, 0, 8, 4),
              "......##\n"
              "....##..\n"
              "..##....\n"
              ".#......\n");
    page.Clear(RGB(250, 250, 250));
    // On an exact half step the error term is 0: (0,0)-(8,2) heads
    // down-right (no bias) and steps after the tie; (0,2)-(8,0) heads
    // up-right (octant 8, bias 1) and steps at it, so that it covers the
    // pixels of its reverse (8,0)-(0,2).
    MoveToEx(page.dc(), 0, 0, nullptr);
    LineTo(page.dc(), 8, 2);
    EXPECT_EQ(page.Map(kInk, 0, 0, 9, 3), "###......\n...####..\n.......#.\n");
    page.Clear(RGB(250, 250, 250));
    MoveToEx(page.dc(), 0, 2, nullptr);
    LineTo(page.dc(), 8, 0);
    EXPECT_EQ(page.Map(kInk, 0, 0, 9, 3), "......##.\n..####...\n##.......\n");
    page.Clear(RGB(250, 250, 250));
    MoveToEx(page.dc(), 8, 0, nullptr);
    LineTo(page.dc(), 0, 2);
    EXPECT_EQ(page.Map(kInk, 0, 0, 9, 3), "......###\n..####...\n.#.......\n");
    page.Clear(RGB(250, 250, 250));
    // Steep (2,0)-(0,5): y-major down-left (octant 3), biased.
    MoveToEx(page.dc(), 2, 0, nullptr);
    LineTo(page.dc(), 0, 5);
    EXPECT_EQ(page.Map(kInk, 0, 0, 3, 6), "..#\n..#\n.#.\n.#.\n#..\n...\n");
}

// A line cut by the page edge shows the same pixels as the same line drawn
// whole on a larger page.
TEST(SwgdiLines, ClippingKeepsThePixelsOfTheWholeLine) {
    const int seg[][4] = {{-40, -13, 70, 50}, {75, -8, -20, 41}, {-500, 3, 900, 25},
                          {12, -300, 19, 400}, {-7, 30, 50, -9}, {60, 35, -3, -30}};
    for (const auto& s : seg) {
        Page small(41, 29), big(241, 229);
        Use p1(small.dc(), CreatePen(PS_SOLID, 1, kInk));
        Use p2(big.dc(), CreatePen(PS_SOLID, 1, kInk));
        MoveToEx(small.dc(), s[0], s[1], nullptr);
        LineTo(small.dc(), s[2], s[3]);
        SetViewportOrgEx(big.dc(), 100, 100, nullptr);
        MoveToEx(big.dc(), s[0], s[1], nullptr);
        LineTo(big.dc(), s[2], s[3]);
        EXPECT_EQ(small.Map(kInk, 0, 0, 41, 29), big.Map(kInk, 100, 100, 141, 129))
            << s[0] << "," << s[1] << " - " << s[2] << "," << s[3];
    }
}

TEST(SwgdiLines, HugeCoordinatesStayOnThePage) {
    Page page;
    Use pen(page.dc(), CreatePen(PS_SOLID, 1, kInk));
    const LONG big = 2147483647, small = -2147483647 - 1;
    MoveToEx(page.dc(), small, small, nullptr);
    EXPECT_TRUE(LineTo(page.dc(), big, big));
    POINT p[] = {{small, 10}, {big, 12}, {20, big}, {20, small}};
    EXPECT_TRUE(Polyline(page.dc(), p, 4));
    EXPECT_GT(page.Count(kInk), 40);  // the visible parts are drawn
}

// A polyline paints each shared vertex once, so XOR leaves no holes.
TEST(SwgdiLines, PolylineXorPaintsJointsOnce) {
    Page page(21, 21, RGB(0, 0, 0));
    Use pen(page.dc(), CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    SetROP2(page.dc(), R2_XORPEN);
    POINT p[] = {{2, 2}, {15, 2}, {15, 15}, {2, 15}, {2, 2}};
    Polyline(page.dc(), p, 5);
    EXPECT_EQ(page.Count(RGB(255, 255, 255)), 13 * 4);
}

TEST(SwgdiLines, DashedPenAlternatesPenAndBackground) {
    Page page;
    SetBkColor(page.dc(), RGB(0, 0, 255));
    Use pen(page.dc(), CreatePen(PS_DOT, 1, kInk));
    MoveToEx(page.dc(), 0, 1, nullptr);
    LineTo(page.dc(), 14, 1);
    EXPECT_EQ(page.Map(kInk, 0, 1, 15, 2), "###...###...##.\n");
    EXPECT_EQ(page.Map(RGB(0, 0, 255), 0, 1, 15, 2), "...###...###...\n");
    SetBkMode(page.dc(), TRANSPARENT);
    MoveToEx(page.dc(), 0, 3, nullptr);
    LineTo(page.dc(), 14, 3);
    EXPECT_EQ(page.Map(RGB(0, 0, 255), 0, 3, 15, 4), "...............\n");
}

TEST(SwgdiLines, LineToMovesTheCurrentPosition) {
    Page page;
    Use pen(page.dc(), CreatePen(PS_SOLID, 1, kInk));
    POINT old;
    MoveToEx(page.dc(), 4, 5, &old);
    EXPECT_EQ(old.x, 0);
    LineTo(page.dc(), 10, 5);
    LineTo(page.dc(), 10, 9);
    POINT cur;
    GetCurrentPositionEx(page.dc(), &cur);
    EXPECT_EQ(cur.x, 10);
    EXPECT_EQ(cur.y, 9);
    EXPECT_TRUE(page.Is(10, 5, kInk));   // the corner, from the second line
    EXPECT_FALSE(page.Is(10, 9, kInk));  // the last end point
}

}  // namespace
