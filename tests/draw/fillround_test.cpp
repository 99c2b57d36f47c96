// FillRoundRect and DrawCornerArc on swgdi: outline order, transparent
// pattern fills, and the dash state an arc takes in and leaves.
#include <cmath>

#include "draw_test_util.h"

namespace wx5n::test {
namespace {

TEST(FillRoundRect, SquareCornersInOrderBottomRightFirst) {
    SmallPage page;
    // Given with left > right and top > bottom: drawn as the normalised one.
    page.JournalOn();
    EXPECT_NE(FillRoundRect(page.dc(), RECT{110, 70, 10, 20}, 0, 0, 0, 0, 0, nullptr), 0);
    auto polys = OnlyOp(Journal(page.dc()), "Polygon");
    ASSERT_EQ(polys.size(), 1u) << Dump(Journal(page.dc()));
    const std::vector<POINT>& p = polys[0].points;
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[0].x, 110); EXPECT_EQ(p[0].y, 70);  // bottom-right
    EXPECT_EQ(p[1].x, 10);  EXPECT_EQ(p[1].y, 70);  // bottom-left
    EXPECT_EQ(p[2].x, 10);  EXPECT_EQ(p[2].y, 20);  // top-left
    EXPECT_EQ(p[3].x, 110); EXPECT_EQ(p[3].y, 20);  // top-right
    EXPECT_EQ(polys[0].pen.lopnStyle, static_cast<UINT>(PS_NULL));

    // y up: the logical top edge is the larger y, and the order stays the
    // device's (bottom-right first).
    page.SetMapping(Mapping::YUp);
    page.JournalOn();
    EXPECT_NE(FillRoundRect(page.dc(), RECT{0, 0, 200, 100}, 0, 0, 0, 0, 0, nullptr), 0);
    polys = OnlyOp(Journal(page.dc()), "Polygon");
    ASSERT_EQ(polys.size(), 1u);
    const POINT br = page.ToDevice(200, 0), tl = page.ToDevice(0, 100);
    ASSERT_EQ(polys[0].points.size(), 4u);
    EXPECT_EQ(polys[0].points[0].x, br.x); EXPECT_EQ(polys[0].points[0].y, br.y);
    EXPECT_EQ(polys[0].points[2].x, tl.x); EXPECT_EQ(polys[0].points[2].y, tl.y);
    EXPECT_EQ(FillRoundRect(nullptr, RECT{0, 0, 1, 1}, 0, 0, 0, 0, 0, nullptr), 0);
}

TEST(FillRoundRect, RoundedCornersStayInsideAndStartAtTheRightEdge) {
    SmallPage page;
    page.JournalOn();
    ASSERT_NE(FillRoundRect(page.dc(), RECT{10, 20, 110, 90}, 20, 5, 30, 0, 0, nullptr), 0);
    auto polys = OnlyOp(Journal(page.dc()), "Polygon");
    ASSERT_EQ(polys.size(), 1u);
    const auto& p = polys[0].points;
    // Bottom-right arc first, from the right edge r above the bottom.
    EXPECT_EQ(p[0].x, 110);
    EXPECT_EQ(p[0].y, 60);
    for (const POINT& q : p) {
        EXPECT_GE(q.x, 10); EXPECT_LE(q.x, 110);
        EXPECT_GE(q.y, 20); EXPECT_LE(q.y, 90);
    }
    // The square bottom-left corner is one point, exactly the corner.
    bool corner = false;
    for (const POINT& q : p) corner |= q.x == 10 && q.y == 90;
    EXPECT_TRUE(corner);
    // A radius of 30 (15 device steps of two at half the angle step)
    // contributes 31 points; the whole outline stays far below its limit.
    EXPECT_GT(p.size(), 60u);
    EXPECT_LT(p.size(), 270u);
}

// Stripes of two colours, so that "unchanged" is a real check.
void PaintStripes(Page& page) {
    HBRUSH a = CreateSolidBrush(RGB(0, 0, 255));
    HBRUSH b = CreateSolidBrush(RGB(255, 255, 0));
    for (int x = 0; x < page.width(); x += 6) {
        RECT r{x, 0, x + 3, page.height()};
        FillRect(page.dc(), &r, a);
        RECT s{x + 3, 0, x + 6, page.height()};
        FillRect(page.dc(), &s, b);
    }
    DeleteObject(a);
    DeleteObject(b);
}

TEST(FillRoundRect, TransparentPatternPaintsInkOnlyAndRestoresTheDc) {
    for (Mapping m : {Mapping::Text, Mapping::YUp}) {
        SmallPage page;
        page.SetMapping(m);
        PaintStripes(page);
        const std::vector<uint32_t> before = page.Pixels();
        HBRUSH hatch = foGetHatchBrush(500);
        ASSERT_NE(hatch, nullptr);
        HGDIOBJ old = SelectObject(page.dc(), hatch);
        SetTextColor(page.dc(), RGB(255, 0, 0));
        SetBkColor(page.dc(), RGB(0, 255, 0));
        SetROP2(page.dc(), R2_COPYPEN);
        SetStretchBltMode(page.dc(), COLORONCOLOR);

        // Device box 60..260 x 40..200 in either mapping.
        const POINT a = page.ToLogical(60, 40), b = page.ToLogical(260, 200);
        page.JournalOn();
        EXPECT_NE(FillRoundRect(page.dc(), RECT{a.x, a.y, b.x, b.y}, 0, 0, 0, 0, 1, nullptr), 0);
        page.JournalOff();
        auto drawn = Drawn(Journal(page.dc()));
        ASSERT_EQ(drawn.size(), 3u) << Dump(Journal(page.dc()));
        EXPECT_EQ(drawn[0].op, "Rectangle");
        EXPECT_EQ(drawn[0].rop2, R2_XORPEN);
        EXPECT_EQ(drawn[1].op, "Polygon");
        EXPECT_EQ(drawn[1].rop2, R2_MASKPEN);
        EXPECT_EQ(drawn[1].textColor, 0u);
        EXPECT_EQ(drawn[1].bkColor, 0xFFFFFFu);
        EXPECT_EQ(drawn[2].op, "Rectangle");
        EXPECT_EQ(drawn[2].rop2, R2_XORPEN);

        EXPECT_EQ(GetROP2(page.dc()), R2_COPYPEN);
        EXPECT_EQ(GetStretchBltMode(page.dc()), COLORONCOLOR);
        EXPECT_EQ(GetTextColor(page.dc()), RGB(255, 0, 0));
        EXPECT_EQ(GetBkColor(page.dc()), RGB(0, 255, 0));
        EXPECT_EQ(GetCurrentObject(page.dc(), OBJ_BRUSH), hatch);

        // Outside the box nothing changed; inside, ink is red and paper
        // shows the stripes through.
        int ink = 0, paper = 0, wrong = 0;
        const uint32_t red = 0xFF0000;
        for (int y = 0; y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x) {
                const uint32_t now = page.Pixel(x, y);
                const uint32_t was = before[static_cast<size_t>(y) * page.width() + x];
                const bool inside = x >= 60 && x < 260 && y >= 40 && y < 200;
                if (!inside) {
                    wrong += now != was;
                } else if (x > 61 && x < 258 && y > 41 && y < 198) {
                    if (now == red) ++ink;
                    else if (now == was) ++paper;
                    else ++wrong;
                }
            }
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_GT(ink, 9000);
        EXPECT_GT(paper, 9000);
        SelectObject(page.dc(), old);
        DeleteObject(hatch);
    }
}

TEST(FillRoundRect, TransparentWithSolidBrushIsOnePlainPolygon) {
    SmallPage page;
    HBRUSH solid = CreateSolidBrush(RGB(0, 128, 0));
    HGDIOBJ old = SelectObject(page.dc(), solid);
    page.JournalOn();
    EXPECT_NE(FillRoundRect(page.dc(), RECT{10, 10, 50, 50}, 4, 4, 4, 4, 1, nullptr), 0);
    auto drawn = Drawn(Journal(page.dc()));
    ASSERT_EQ(drawn.size(), 1u) << Dump(drawn);
    EXPECT_EQ(drawn[0].op, "Polygon");
    EXPECT_EQ(drawn[0].rop2, R2_COPYPEN);
    EXPECT_EQ(page.Pixel(30, 30), 0x008000u);
    SelectObject(page.dc(), old);
    DeleteObject(solid);
}

TEST(DrawCornerArc, GapOnANarrowCornerDrawsNothingAndKeepsTheState) {
    SmallPage page;
    LINEREC l = Line(6, 2, 1);
    l.dashCount = 2;
    l.dashPattern[0] = 12;
    l.dashPattern[1] = 12;
    l.dashIndex = 1;
    l.dashCarry = 3;
    const LINEREC before = l;
    page.JournalOn();
    EXPECT_EQ(DrawCornerArc(page.dc(), 50, 50, 5, 2, &l, nullptr), 1);
    EXPECT_TRUE(Drawn(Journal(page.dc())).empty());
    EXPECT_EQ(std::memcmp(&l, &before, sizeof(l)), 0);
    // Null record and quadrants outside 1..4 fail before anything happens.
    EXPECT_EQ(DrawCornerArc(page.dc(), 50, 50, 20, 0, &l, nullptr), 0);
    EXPECT_EQ(DrawCornerArc(page.dc(), 50, 50, 20, 5, &l, nullptr), 0);
    EXPECT_EQ(DrawCornerArc(page.dc(), 50, 50, 20, 1, nullptr, nullptr), 0);
    EXPECT_TRUE(Drawn(Journal(page.dc())).empty());
}

TEST(DrawCornerArc, SolidQuarterIsOnePieceAndLeavesNoCarry) {
    SmallPage page;
    for (int cap : {3, 1}) {
        LINEREC l = Line(cap == 3 ? 1 : 6, 1, cap);
        l.dashCount = 1;
        l.dashCarry = 5;
        page.JournalOn();
        EXPECT_EQ(DrawCornerArc(page.dc(), 100, 100, 30, 3, &l, nullptr), 1);
        auto drawn = Drawn(Journal(page.dc()));
        ASSERT_EQ(drawn.size(), 1u) << Dump(drawn);
        EXPECT_EQ(drawn[0].op, cap == 3 ? "Polyline" : "Polygon");
        EXPECT_EQ(l.dashCarry, 0);
        EXPECT_EQ(l.dashIndex, 0);
    }
    // The bottom-right quadrant runs from the right (x = cx + r) down to
    // the bottom (y = cy + r): its ink lies right of and below the centre.
    EXPECT_GT(page.CountInk(101, 101, 140, 140), 30);
    EXPECT_EQ(page.CountInk(60, 60, 99, 99), 0);
}

TEST(DrawCornerArc, DashStateRunsThroughTheArc) {
    // Thin line, pattern 10 on 10, radius 40: the quarter (62.8 long) holds
    // dashes at 0, 20, 40 and 60; the last runs 6.7 past the end, so 7 of
    // it is left, still on the dash entry.
    SmallPage page;
    LINEREC l = Line(1, 8, 3);
    l.dashCount = 2;
    l.dashPattern[0] = 10;
    l.dashPattern[1] = 10;
    page.JournalOn();
    EXPECT_EQ(DrawCornerArc(page.dc(), 100, 100, 40, 2, &l, nullptr), 1);
    EXPECT_EQ(OnlyOp(Journal(page.dc()), "Polyline").size(), 4u);
    EXPECT_EQ(l.dashCarry, 7);
    EXPECT_EQ(l.dashIndex, 0);
}

TEST(DrawCornerArc, RadiusWithinHalfTheWidthIsOneBand) {
    // W 6, r 2: inner radius below 0, outer 5; the quarter at the outer
    // radius (7) is one piece; the carry left follows the entry's.
    SmallPage page;
    for (int carryIn : {20, 3}) {
        LINEREC l = Line(6, 2, 1);
        l.dashCount = 2;
        l.dashPattern[0] = 12;
        l.dashPattern[1] = 12;
        l.dashCarry = carryIn;
        page.JournalOn();
        EXPECT_EQ(DrawCornerArc(page.dc(), 60, 60, 2, 1, &l, nullptr), 1);
        auto drawn = Drawn(Journal(page.dc()));
        ASSERT_EQ(drawn.size(), 1u) << Dump(drawn);
        EXPECT_EQ(drawn[0].op, "Polygon");
        // d = W - ro = 1, q = 7: a carry above q + d loses q, else becomes d.
        EXPECT_EQ(l.dashCarry, carryIn == 20 ? 13 : 1);
    }
}

TEST(DrawCornerArc, ThinArcCollapsingToOnePixelIsStillAOnePixelLine) {
    SmallPage page;
    // Four logical units per device pixel: a radius of 1 lies in one pixel.
    SetMapMode(page.dc(), MM_ANISOTROPIC);
    SetWindowExtEx(page.dc(), 4, 4, nullptr);
    SetViewportExtEx(page.dc(), 1, 1, nullptr);
    LINEREC l = Line(1, 1, 3);
    l.dashCount = 1;
    page.JournalOn();
    EXPECT_EQ(DrawCornerArc(page.dc(), 400, 400, 1, 2, &l, nullptr), 1);
    auto lines = OnlyOp(Journal(page.dc()), "Polyline");
    ASSERT_EQ(lines.size(), 1u);
    ASSERT_EQ(lines[0].points.size(), 2u);
    EXPECT_EQ(lines[0].points[1].x - lines[0].points[0].x, 1);
    EXPECT_EQ(lines[0].points[1].y, lines[0].points[0].y);
}

}  // namespace
}  // namespace wx5n::test

namespace wx5n::test {
namespace {

// A stroked (cap 3) arc entered inside a gap starts its first dash where the
// gap's carry ends; entered inside a dash it finishes that dash from the
// arc's start. Thin line, pattern 12 on 6, radius 40, top-right quarter from
// (100, 60) clockwise.
TEST(DrawCornerArc, StrokedArcResumesInAGapOrADash) {
    struct Case {
        int index, carry;
        long firstX, firstEndX;  // device x of the first piece's ends
    } cases[] = {
        {1, 10, 110, 120},  // a gap of 10 left: the dash runs from 10 to 22 along
        {0, 5, 100, 105},   // a dash of 5 left (and the pen's half width)
    };
    for (const Case& c : cases) {
        SmallPage page;
        LINEREC l = Line(1, 8, 3);
        l.dashCount = 2;
        l.dashPattern[0] = 12;
        l.dashPattern[1] = 6;
        l.dashIndex = c.index;
        l.dashCarry = c.carry;
        page.JournalOn();
        ASSERT_EQ(DrawCornerArc(page.dc(), 100, 100, 40, 2, &l, nullptr), 1);
        const std::vector<Call> lines = OnlyOp(Journal(page.dc()), "Polyline");
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0].points.front().x, c.firstX) << "index " << c.index;
        EXPECT_EQ(lines[0].points.back().x, c.firstEndX) << "index " << c.index;
    }
}

}  // namespace
}  // namespace wx5n::test
