// foExtRectangle on swgdi: open sides, corner arcs, pull-ins and extensions,
// double frames, fill before frame and the dash pattern round the frame.
#include <algorithm>
#include <cmath>

#include "draw_test_util.h"

namespace wx5n::test {
namespace {

bool InTable(unsigned code) {
    static const unsigned kCodes[] = {0,  1,  16, 2,  32, 3,  48, 4,  64,
                                      18, 33, 20, 65, 35, 50, 52, 67};
    return std::find(std::begin(kCodes), std::end(kCodes), code) != std::end(kCodes);
}

TEST(ExtRectangle, AcceptsExactlyTheOpenSidesTable) {
    SmallPage page;
    LINEREC l = Line(1, 1, 3);
    for (unsigned code = 0; code < 0x120; ++code) {
        RECTREC s = Shape(code);
        EXPECT_EQ(foExtRectangle(page.dc(), RECT{20, 20, 120, 90}, 0, 0, &l, &s, nullptr),
                  InTable(code) ? 1 : 0)
            << "openSides " << code;
    }
    RECTREC s = Shape(0);
    EXPECT_EQ(foExtRectangle(nullptr, RECT{0, 0, 9, 9}, 0, 0, &l, &s, nullptr), 0);
    EXPECT_EQ(foExtRectangle(page.dc(), RECT{0, 0, 9, 9}, 0, 0, nullptr, &s, nullptr), 0);
    EXPECT_EQ(foExtRectangle(page.dc(), RECT{0, 0, 9, 9}, 0, 0, &l, nullptr, nullptr), 0);
}

TEST(ExtRectangle, OppositeOpenSidesAreRefusedAfterTheFill) {
    SmallPage page;
    LINEREC l = Line(3, 1, 1);
    for (unsigned code : {0x13u, 0x24u}) {
        RECTREC s = Shape(code, 10, 10, 10, 10);
        page.JournalOn();
        EXPECT_EQ(foExtRectangle(page.dc(), RECT{20, 20, 120, 90}, 1000, 0, &l, &s, nullptr), 0);
        auto drawn = Drawn(Journal(page.dc()));
        ASSERT_EQ(drawn.size(), 1u) << Dump(drawn);
        EXPECT_EQ(drawn[0].op, "Polygon");
    }
    // The fill stayed on the page.
    EXPECT_EQ(page.Pixel(70, 55), 0x000000u);
}

// Which side a thin axis segment in the journal lies on.
int SideOf(const Call& c, const RECT& d) {
    if (c.points.size() < 2) return 0;
    const POINT a = c.points[0], b = c.points[1];
    if (a.y == b.y && a.y == d.top) return 1;
    if (a.x == b.x && a.x == d.right) return 2;
    if (a.y == b.y && a.y == d.bottom) return 3;
    if (a.x == b.x && a.x == d.left) return 4;
    return 0;
}

TEST(ExtRectangle, SidesAreDrawnInTableOrder) {
    struct Case {
        unsigned code;
        std::vector<int> sides;
    };
    const Case cases[] = {
        {0, {1, 2, 3, 4}}, {1, {2, 3, 4}}, {32, {3, 4, 1}}, {3, {4, 1, 2}},
        {64, {1, 2, 3}},   {18, {3, 4}},   {65, {2, 3}},    {50, {4, 1}}, {67, {1, 2}},
    };
    const RECT d{20, 30, 140, 110};
    for (Mapping m : {Mapping::Text, Mapping::YUp}) {
        SmallPage page;
        page.SetMapping(m);
        const POINT a = page.ToLogical(d.left, d.top), b = page.ToLogical(d.right, d.bottom);
        LINEREC l = Line(1, 1, 3);
        for (const Case& c : cases) {
            RECTREC s = Shape(c.code);
            page.JournalOn();
            ASSERT_EQ(foExtRectangle(page.dc(), RECT{b.x, b.y, a.x, a.y}, 0, 0, &l, &s, nullptr), 1);
            auto lines = OnlyOp(Journal(page.dc()), "Polyline");
            std::vector<int> got;
            for (const Call& call : lines) got.push_back(SideOf(call, d));
            EXPECT_EQ(got, c.sides) << "openSides " << c.code << "\n" << Dump(lines);
        }
    }
}

TEST(ExtRectangle, ArcIntoTheFirstOpenSideIsDrawnAndOutOfTheLastIsNot) {
    SmallPage page;
    for (int cap : {3, 1}) {
        PatBlt(page.dc(), 0, 0, page.width(), page.height(), WHITENESS);
        LINEREC l = Line(cap == 3 ? 1 : 5, 1, cap);
        RECTREC s = Shape(1, 30, 30, 30, 30);  // top open
        ASSERT_EQ(foExtRectangle(page.dc(), RECT{40, 40, 240, 200}, 0, 0, &l, &s, nullptr), 1);
        // Top-left arc (after the left side, leading into the open top):
        // its middle lies near (40 + 30 - 21, 40 + 30 - 21).
        EXPECT_GT(page.CountInk(44, 44, 56, 56), 0) << "cap " << cap;
        // Top-right arc (out of the open top into the right side): absent.
        EXPECT_EQ(page.CountInk(222, 40, 245, 68), 0) << "cap " << cap;
        // The other two arcs are there.
        EXPECT_GT(page.CountInk(224, 184, 236, 196), 0);
        EXPECT_GT(page.CountInk(44, 184, 56, 196), 0);
    }
}

TEST(ExtRectangle, ReversedSegmentsAreSkippedAndTheirArcsDrawn) {
    SmallPage page;
    LINEREC l = Line(1, 1, 3);
    RECTREC s = Shape(0, 20, 20, 20, 20);  // 30 wide: top and bottom reverse
    page.JournalOn();
    ASSERT_EQ(foExtRectangle(page.dc(), RECT{10, 10, 40, 110}, 0, 0, &l, &s, nullptr), 1);
    auto lines = OnlyOp(Journal(page.dc()), "Polyline");
    // Right and left segments, four arcs.
    ASSERT_EQ(lines.size(), 6u) << Dump(lines);
    int vertical = 0;
    for (const Call& c : lines)
        if (c.points.size() == 2 && c.points[0].x == c.points[1].x) ++vertical;
    EXPECT_EQ(vertical, 2);
    // Each corner has its arc.
    EXPECT_GT(page.CountInk(10, 10, 25, 25), 0);
    EXPECT_GT(page.CountInk(26, 10, 41, 25), 0);
    EXPECT_GT(page.CountInk(26, 96, 41, 111), 0);
    EXPECT_GT(page.CountInk(10, 96, 25, 111), 0);
}

// Distance range of a polygon's points from (cx, cy).
void RadiusRange(const Call& c, int cx, int cy, double* lo, double* hi) {
    *lo = 1e9;
    *hi = 0;
    for (const POINT& p : c.points) {
        const double r = std::hypot(p.x - cx, p.y - cy);
        *lo = std::min(*lo, r);
        *hi = std::max(*hi, r);
    }
}

TEST(ExtRectangle, DoubleFrameRadiiGrowAndShrinkByAThird) {
    // Width 9: two frames 3 wide, centres 3 outside and 3 inside. Radii:
    // top-left 20 -> 23 outer, 17 inner; top-right 2 -> 5 outer, 0 inner;
    // zero radii stay 0.
    SmallPage page;
    LINEREC l = Line(9, 9, 1);
    RECTREC s = Shape(0, 20, 2, 0, 0);
    page.JournalOn();
    ASSERT_EQ(foExtRectangle(page.dc(), RECT{50, 50, 250, 150}, 1000, 0, &l, &s, nullptr), 1);
    auto all = Journal(page.dc());
    auto drawn = Drawn(all);
    // Fill first, over the caller's rectangle.
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn[0].op, "Polygon");
    EXPECT_EQ(drawn[0].pen.lopnStyle, static_cast<UINT>(PS_NULL));
    int minX = 1 << 30;
    for (const POINT& p : drawn[0].points) minX = std::min<int>(minX, p.x);
    EXPECT_EQ(minX, 50);

    std::vector<Call> arcs;
    for (size_t i = 1; i < drawn.size(); ++i)
        if (drawn[i].op == "Polygon") arcs.push_back(drawn[i]);
    // Outer top-right, outer top-left, inner top-left (the walk is top,
    // right, bottom, left, each side followed by its end arc); no inner
    // top-right.
    ASSERT_EQ(arcs.size(), 3u) << Dump(drawn);
    // The two top-left bands are concentric (outer frame at 47 with r 23,
    // inner at 53 with r 17, both centred at 70 + 1 for the odd width).
    double lo, hi;
    RadiusRange(arcs[1], 71, 71, &lo, &hi);
    EXPECT_NEAR(hi, 25, 1.0);
    EXPECT_NEAR(lo, 22, 1.0);
    RadiusRange(arcs[2], 71, 71, &lo, &hi);
    EXPECT_NEAR(hi, 19, 1.0);
    EXPECT_NEAR(lo, 16, 1.0);
    // Frames: outer left edge band centred at 47, inner at 53.
    EXPECT_TRUE(page.Ink(46, 100) && page.Ink(48, 100));
    EXPECT_FALSE(page.Ink(45, 100));
    EXPECT_TRUE(page.Ink(52, 100) && page.Ink(54, 100));
    EXPECT_EQ(page.Pixel(50, 100), 0x000000u);  // the fill shows in the gap
}

TEST(ExtRectangle, NarrowDoubleLineIsOneSolidFrame) {
    SmallPage page;
    LINEREC l = Line(2, 9, 1);
    RECTREC s = Shape(0);
    page.JournalOn();
    ASSERT_EQ(foExtRectangle(page.dc(), RECT{20, 20, 120, 90}, 0, 0, &l, &s, nullptr), 1);
    auto rects = OnlyOp(Journal(page.dc()), "FillRect");
    ASSERT_EQ(rects.size(), 4u) << Dump(Journal(page.dc()));
    // Top side: 2 high, from y 19 (half above the edge).
    EXPECT_EQ(rects[0].args[1], 19);
    EXPECT_EQ(rects[0].args[3], 21);
}

TEST(ExtRectangle, FlatEndsStopAtAnOpenSideSquareEndsProject) {
    // Width 6, top open. Closed corners are covered by half the width
    // beyond the edge; at the open top a flat end stops at the edge and a
    // square end projects half the width.
    for (int cap : {1, 2}) {
        SmallPage page;
        LINEREC l = Line(6, 1, cap);
        RECTREC s = Shape(1);
        page.JournalOn();
        ASSERT_EQ(foExtRectangle(page.dc(), RECT{30, 30, 130, 100}, 0, 0, &l, &s, nullptr), 1);
        auto rects = OnlyOp(Journal(page.dc()), "FillRect");
        ASSERT_EQ(rects.size(), 3u) << Dump(Journal(page.dc()));
        // Right side first: x 127..133, from the top edge (flat) or 3 above.
        EXPECT_EQ(rects[0].args[0], 127);
        EXPECT_EQ(rects[0].args[1], cap == 1 ? 30 : 27) << "cap " << cap;
        // ... down past the closed bottom corner by half the width.
        EXPECT_EQ(rects[0].args[3], 103);
        // Bottom side covers both bottom corners.
        EXPECT_EQ(std::min(rects[1].args[0], rects[1].args[2]), 27);
        EXPECT_EQ(std::max(rects[1].args[0], rects[1].args[2]), 133);
    }
}

TEST(ExtRectangle, DashRunsFromSideThroughArcIntoNextSide) {
    // Pattern 10 on 10, thin line. The top side (x 10..29 after the
    // top-right radius of 40) holds one dash and one gap exactly; the arc
    // then leaves 7 of a dash, which the right side draws first.
    SmallPage page;
    for (int carry : {0, 5}) {
        LINEREC l = Line(1, 8, 3);
        l.dashCount = 2;
        l.dashPattern[0] = 10;
        l.dashPattern[1] = 10;
        l.dashCarry = carry;  // ignored: a frame always starts afresh
        l.dashIndex = carry ? 1 : 0;
        const LINEREC before = l;
        RECTREC s = Shape(0, 0, 40, 0, 0);
        page.JournalOn();
        ASSERT_EQ(foExtRectangle(page.dc(), RECT{10, 10, 69, 100}, 0, 0, &l, &s, nullptr), 1);
        EXPECT_EQ(std::memcmp(&l, &before, sizeof(l)), 0);
        auto lines = OnlyOp(Journal(page.dc()), "Polyline");
        ASSERT_GE(lines.size(), 6u) << Dump(lines);
        EXPECT_EQ(Seg(lines[0]), (std::vector<LONG>{10, 10, 19, 10}));
        // Four arc dashes, then the right side's carried 7.
        EXPECT_EQ(Seg(lines[5]), (std::vector<LONG>{69, 50, 69, 56})) << Dump(lines);
    }
}

TEST(ExtRectangle, KindZeroOnlyFillsAndMappingsAgree) {
    SmallPage page;
    LINEREC l = Line(3, 0, 1);
    RECTREC s = Shape(0, 8, 8, 8, 8);
    page.JournalOn();
    EXPECT_EQ(foExtRectangle(page.dc(), RECT{10, 10, 60, 60}, 1000, 0, &l, &s, nullptr), 1);
    auto drawn = Drawn(Journal(page.dc()));
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].op, "Polygon");
    page.JournalOn();
    EXPECT_EQ(foExtRectangle(page.dc(), RECT{10, 10, 60, 60}, 0, 0, &l, &s, nullptr), 1);
    EXPECT_TRUE(Drawn(Journal(page.dc())).empty());

    // The same device figure from MM_TEXT and from the y-up mapping, dashed
    // and rounded, gives the same pixels.
    std::vector<uint32_t> pictures[2];
    for (int i = 0; i < 2; ++i) {
        SmallPage p;
        p.SetMapping(i == 0 ? Mapping::Text : Mapping::YUp);
        const int unit = i == 0 ? 1 : 2;
        const POINT a = p.ToLogical(40, 40), b = p.ToLogical(300, 220);
        LINEREC d = Line(4 * unit, 3, 1);
        d.unitsPerInch = 96 * unit;
        RECTREC r = Shape(0, 20 * unit, 0, 35 * unit, 6 * unit);
        ASSERT_EQ(foExtRectangle(p.dc(), RECT{a.x, a.y, b.x, b.y}, 0, 0, &d, &r, nullptr), 1);
        pictures[i] = p.Pixels();
    }
    size_t differ = 0, ink = 0;
    int box[2][4] = {{400, 300, -1, -1}, {400, 300, -1, -1}};
    for (size_t k = 0; k < pictures[0].size(); ++k) {
        differ += pictures[0][k] != pictures[1][k];
        for (int i = 0; i < 2; ++i) {
            if (pictures[i][k] == 0xFFFFFFu) continue;
            ink += i == 0;
            const int x = static_cast<int>(k % 400), y = static_cast<int>(k / 400);
            box[i][0] = std::min(box[i][0], x);
            box[i][1] = std::min(box[i][1], y);
            box[i][2] = std::max(box[i][2], x);
            box[i][3] = std::max(box[i][3], y);
        }
    }
    // The frames coincide; dash ends on the sides drawn against the device
    // axes and the arcs (rounded at finer logical units) may move a pixel.
    for (int e = 0; e < 4; ++e) EXPECT_EQ(box[0][e], box[1][e]) << "edge " << e;
    EXPECT_GT(ink, 2000u);
    EXPECT_LT(differ, ink / 20);
}

}  // namespace
}  // namespace wx5n::test

namespace wx5n::test {
namespace {

// Smallest and largest device x of a drawn piece (a FillRect box or the
// points of a polyline or polygon).
std::pair<long, long> XExtent(const Call& c) {
    if (c.op == "FillRect") return {std::min(c.args[0], c.args[2]), std::max(c.args[0], c.args[2])};
    long lo = c.points.at(0).x, hi = lo;
    for (const POINT& p : c.points) {
        lo = std::min<long>(lo, p.x);
        hi = std::max<long>(hi, p.x);
    }
    return {lo, hi};
}

// In a rectangle lower than half the line width, the top side's ends are
// pulled in by half the width (less the corner radius) for flat and square
// ends; a round-ended line (drawn with a pen) is not pulled in.
TEST(ExtRectangle, NarrowRectanglesPullTheSideEndsIn) {
    for (int cap : {1, 2, 3})
        for (int radius : {0, 2}) {
            std::pair<long, long> top[2];
            for (int narrow : {0, 1}) {
                SmallPage page;
                LINEREC l = Line(8, 1, cap);
                RECTREC s = Shape(0, radius, radius, radius, radius);
                page.JournalOn();
                ASSERT_EQ(foExtRectangle(page.dc(), RECT{30, 40, 130, narrow ? 43 : 100}, 0, 0, &l,
                                         &s, nullptr),
                          1);
                const std::vector<Call> drawn = Drawn(Journal(page.dc()));
                ASSERT_FALSE(drawn.empty());
                top[narrow] = XExtent(drawn[0]);
            }
            const long in = cap == 3 ? 0 : 4 - radius;
            EXPECT_EQ(top[1].first, top[0].first + in) << "cap " << cap << " radius " << radius;
            EXPECT_EQ(top[1].second, top[0].second - in) << "cap " << cap << " radius " << radius;
        }
}

}  // namespace
}  // namespace wx5n::test
