// foExtEllipse on swgdi: solid, dashed and double outlines; plain, hatched
// and transparent fills; directed radii under a y-up mapping.
#include <algorithm>
#include <cstdlib>

#include "draw_test_util.h"

namespace wx5n::test {
namespace {

LONG HalfWidth(const Call& c) { return std::abs(c.args[2] - c.args[0]) / 2; }
LONG HalfHeight(const Call& c) { return std::abs(c.args[3] - c.args[1]) / 2; }

TEST(ExtEllipse, SolidOutlineIsOneEllipseAfterTheFill) {
    SmallPage page;
    LINEREC l = Line(5, 1, 1);
    page.JournalOn();
    ASSERT_EQ(foExtEllipse(page.dc(), 200, 150, 80, 50, 1000, 0, &l, nullptr), 1);
    auto drawn = Drawn(Journal(page.dc()));
    ASSERT_EQ(drawn.size(), 2u) << Dump(drawn);
    // The fill: null pen, one pixel wider and taller to the right and bottom.
    EXPECT_EQ(drawn[0].op, "Ellipse");
    EXPECT_EQ(drawn[0].pen.lopnStyle, static_cast<UINT>(PS_NULL));
    EXPECT_EQ(drawn[0].args, (std::vector<LONG>{120, 100, 281, 201}));
    // The outline: pen of the width, hollow brush.
    EXPECT_EQ(drawn[1].op, "Ellipse");
    EXPECT_EQ(drawn[1].args, (std::vector<LONG>{120, 100, 280, 200}));
    EXPECT_EQ(drawn[1].pen.lopnStyle, static_cast<UINT>(PS_SOLID));
    EXPECT_EQ(drawn[1].pen.lopnWidth.x, 5);
    EXPECT_EQ(drawn[1].brush.lbStyle, static_cast<UINT>(BS_NULL));
    EXPECT_EQ(page.Pixel(200, 150), 0x000000u);  // solid fill in the text colour
    EXPECT_EQ(page.Pixel(280, 150), 0xFF0000u);  // outline colour 0x0000FF is red

    // kind 0: the fill alone, or nothing.
    LINEREC none = Line(5, 0, 1);
    page.JournalOn();
    EXPECT_EQ(foExtEllipse(page.dc(), 200, 150, 80, 50, 500, 0, &none, nullptr), 1);
    drawn = Drawn(Journal(page.dc()));
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].pen.lopnStyle, static_cast<UINT>(PS_NULL));
    page.JournalOn();
    EXPECT_EQ(foExtEllipse(page.dc(), 200, 150, 80, 50, 0, 0, &none, nullptr), 1);
    EXPECT_TRUE(Drawn(Journal(page.dc())).empty());
}

TEST(ExtEllipse, RejectsZeroAndMisdirectedRadii) {
    SmallPage page;
    LINEREC l = Line(1, 1, 3);
    EXPECT_EQ(foExtEllipse(page.dc(), 100, 100, 0, 20, 0, 0, &l, nullptr), 0);
    EXPECT_EQ(foExtEllipse(page.dc(), 100, 100, 20, 0, 0, 0, &l, nullptr), 0);
    EXPECT_EQ(foExtEllipse(page.dc(), 100, 100, -20, 20, 0, 0, &l, nullptr), 0);
    EXPECT_EQ(foExtEllipse(nullptr, 100, 100, 20, 20, 0, 0, &l, nullptr), 0);
    EXPECT_EQ(foExtEllipse(page.dc(), 100, 100, 20, 20, 0, 0, nullptr, nullptr), 0);
    // y up: the y radius carries the axis's sign.
    page.SetMapping(Mapping::YUp);
    EXPECT_EQ(foExtEllipse(page.dc(), 300, 300, 40, 40, 0, 0, &l, nullptr), 0);
    EXPECT_EQ(foExtEllipse(page.dc(), 300, 300, 40, -40, 0, 0, &l, nullptr), 1);
}

TEST(ExtEllipse, DoubleLineIsTwoThirdWidthOutlines) {
    // Narrower than three device pixels: one solid outline of the width.
    {
        SmallPage page;
        LINEREC l = Line(2, 9, 1);
        page.JournalOn();
        ASSERT_EQ(foExtEllipse(page.dc(), 200, 150, 50, 30, 0, 0, &l, nullptr), 1);
        auto drawn = Drawn(Journal(page.dc()));
        ASSERT_EQ(drawn.size(), 1u);
        EXPECT_EQ(drawn[0].pen.lopnWidth.x, 2);
    }
    // Nine pixels: outlines 3 wide, 3 pixels outside and inside, in both
    // mappings; in the y-up one the radii keep their axis's sign.
    for (Mapping m : {Mapping::Text, Mapping::YUp}) {
        SmallPage page;
        page.SetMapping(m);
        const int unit = m == Mapping::Text ? 1 : 2;
        const POINT c = page.ToLogical(200, 150);
        LINEREC l = Line(9 * unit, 9, 1);
        page.JournalOn();
        ASSERT_EQ(foExtEllipse(page.dc(), c.x, c.y, 50 * unit, (m == Mapping::Text ? 30 : -30) * unit,
                               0, 0, &l, nullptr),
                  1);
        auto ellipses = OnlyOp(Journal(page.dc()), "Ellipse");
        ASSERT_EQ(ellipses.size(), 2u) << Dump(ellipses);
        EXPECT_EQ(HalfWidth(ellipses[0]), 53);
        EXPECT_EQ(HalfHeight(ellipses[0]), 33);
        EXPECT_EQ(HalfWidth(ellipses[1]), 47);
        EXPECT_EQ(HalfHeight(ellipses[1]), 27);
        for (const Call& e : ellipses) {
            EXPECT_EQ((e.args[0] + e.args[2]) / 2, 200);
            EXPECT_EQ((e.args[1] + e.args[3]) / 2, 150);
        }
        // An inner radius that would cross zero gives a small ellipse.
        page.JournalOn();
        EXPECT_EQ(foExtEllipse(page.dc(), c.x, c.y, 2 * unit, (m == Mapping::Text ? 2 : -2) * unit,
                               0, 0, &l, nullptr),
                  1);
        ellipses = OnlyOp(Journal(page.dc()), "Ellipse");
        ASSERT_EQ(ellipses.size(), 2u);
        EXPECT_EQ(HalfWidth(ellipses[1]), 1);
    }
}

TEST(ExtEllipse, DashedOutlineStartsAtAngleZeroWhateverTheCarry) {
    SmallPage page;
    std::vector<std::vector<POINT>> firsts;
    for (int carry : {0, 7}) {
        LINEREC l = Line(1, 2, 3);
        l.unitsPerInch = 96;
        l.dashCarry = carry;
        l.dashIndex = carry ? 1 : 0;
        const LINEREC before = l;
        page.JournalOn();
        ASSERT_EQ(foExtEllipse(page.dc(), 200, 150, 100, 60, 0, 0, &l, nullptr), 1);
        EXPECT_EQ(std::memcmp(&l, &before, sizeof(l)), 0);
        auto lines = OnlyOp(Journal(page.dc()), "Polyline");
        ASSERT_GT(lines.size(), 10u);
        EXPECT_EQ(lines[0].points[0].x, 300);
        EXPECT_EQ(lines[0].points[0].y, 150);
        firsts.push_back(lines[0].points);
    }
    ASSERT_EQ(firsts[0].size(), firsts[1].size());
    for (size_t i = 0; i < firsts[0].size(); ++i) {
        EXPECT_EQ(firsts[0][i].x, firsts[1][i].x);
        EXPECT_EQ(firsts[0][i].y, firsts[1][i].y);
    }
}

TEST(ExtEllipse, PatternEntryOfOnePixelSpansTwo) {
    // Entries of one pixel each on a mean radius of 50: each piece spans
    // 2 / 50 rad, so 2 pi holds 158 pieces, 79 of them dashes (157 dashes
    // if they spanned one pixel).
    SmallPage page;
    LINEREC l = Line(1, 8, 3);
    l.dashCount = 2;
    l.dashPattern[0] = 1;
    l.dashPattern[1] = 1;
    l.unitsPerInch = 72;  // one point is one unit
    page.JournalOn();
    ASSERT_EQ(foExtEllipse(page.dc(), 200, 150, 50, 50, 0, 0, &l, nullptr), 1);
    const size_t dashes = OnlyOp(Journal(page.dc()), "Polyline").size();
    EXPECT_GE(dashes, 78u);
    EXPECT_LE(dashes, 80u);
}

TEST(ExtEllipse, WideDashesAreBands) {
    SmallPage page;
    LINEREC l = Line(8, 3, 1);
    l.unitsPerInch = 96;
    page.JournalOn();
    ASSERT_EQ(foExtEllipse(page.dc(), 200, 150, 120, 90, 0, 0, &l, nullptr), 1);
    auto polys = OnlyOp(Journal(page.dc()), "Polygon");
    ASSERT_GT(polys.size(), 5u);
    EXPECT_TRUE(OnlyOp(Journal(page.dc()), "Polyline").empty());
    // The first band starts at angle 0 on the outer and inner ellipses, the
    // mean radius 105 scaled by 109 / 105 and 101 / 105.
    EXPECT_EQ(polys[0].points.front().x, 325);  // 109 * 120 / 105 = 124.6
    EXPECT_EQ(polys[0].points.back().x, 315);   // 101 * 120 / 105 = 115.4
    EXPECT_EQ(polys[0].points.front().y, 150);
}

// Stripes of two colours, so that "unchanged" is a real check.
void PaintStripes(Page& page) {
    HBRUSH a = CreateSolidBrush(RGB(0, 0, 255));
    HBRUSH b = CreateSolidBrush(RGB(255, 255, 0));
    for (int y = 0; y < page.height(); y += 6) {
        RECT r{0, y, page.width(), y + 3};
        FillRect(page.dc(), &r, a);
        RECT s{0, y + 3, page.width(), y + 6};
        FillRect(page.dc(), &s, b);
    }
    DeleteObject(a);
    DeleteObject(b);
}

TEST(ExtEllipse, HatchCodesDecideTransparency) {
    SmallPage page;
    LINEREC none = Line(1, 0, 3);
    auto ops = [&](int hatch) {
        page.JournalOn();
        EXPECT_EQ(foExtEllipse(page.dc(), 200, 150, 60, 40, hatch, 1, &none, nullptr), 1);
        std::string s;
        for (const Call& c : Drawn(Journal(page.dc()))) s += c.op + " ";
        return s;
    };
    HBRUSH solid = CreateSolidBrush(RGB(0, 128, 0));
    HGDIOBJ old = SelectObject(page.dc(), solid);
    EXPECT_EQ(ops(1001), "Ellipse ");   // current brush is solid: plain
    EXPECT_EQ(ops(1000), "Ellipse ");   // solid ink: never transparent
    EXPECT_EQ(ops(500), "Rectangle Ellipse Rectangle ");
    HBRUSH hatch = foGetHatchBrush(250);
    SelectObject(page.dc(), hatch);
    EXPECT_EQ(ops(1001), "Rectangle Ellipse Rectangle ");  // the host's pattern
    SelectObject(page.dc(), old);
    DeleteObject(solid);
    DeleteObject(hatch);
}

TEST(ExtEllipse, TransparentFillLeavesPaperAndTheDcAlone) {
    for (Mapping m : {Mapping::Text, Mapping::YUp}) {
        SmallPage page;
        page.SetMapping(m);
        PaintStripes(page);
        const std::vector<uint32_t> before = page.Pixels();
        SetTextColor(page.dc(), RGB(255, 0, 0));
        SetBkColor(page.dc(), RGB(0, 255, 0));
        SetROP2(page.dc(), R2_COPYPEN);
        SetStretchBltMode(page.dc(), BLACKONWHITE);
        const int unit = m == Mapping::Text ? 1 : 2;
        const POINT c = page.ToLogical(200, 150);
        LINEREC none = Line(1, 0, 3);
        ASSERT_EQ(foExtEllipse(page.dc(), c.x, c.y, 100 * unit, (m == Mapping::Text ? 80 : -80) * unit,
                               500, 1, &none, nullptr),
                  1);
        EXPECT_EQ(GetROP2(page.dc()), R2_COPYPEN);
        EXPECT_EQ(GetStretchBltMode(page.dc()), BLACKONWHITE);
        EXPECT_EQ(GetTextColor(page.dc()), RGB(255, 0, 0));
        EXPECT_EQ(GetBkColor(page.dc()), RGB(0, 255, 0));
        int ink = 0, wrong = 0;
        for (int y = 0; y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x) {
                const uint32_t now = page.Pixel(x, y);
                const uint32_t was = before[static_cast<size_t>(y) * page.width() + x];
                if (now == was) continue;
                const double dx = (x - 200) / 101.0, dy = (y - 150) / 81.0;
                if (now == 0xFF0000u && dx * dx + dy * dy <= 1.0) ++ink;
                else ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0) << (m == Mapping::Text ? "MM_TEXT" : "y up");
        EXPECT_GT(ink, 9000);
    }
}

}  // namespace
}  // namespace wx5n::test

namespace wx5n::test {
namespace {

// A wide dash longer than the band's point buffer stops after 133 pairs and
// closes with the pair at its end: one straight edge, 134 pairs in all.
TEST(ExtEllipse, LongBandPieceIsCutAtItsPointLimit) {
    SmallPage page;
    LINEREC l = Line(6, 8, 1);
    l.dashCount = 2;
    l.dashPattern[0] = 700;  // seven radians: 143 steps of pi/64
    l.dashPattern[1] = 40;
    page.JournalOn();
    ASSERT_EQ(foExtEllipse(page.dc(), 200, 150, 100, 100, 0, 0, &l, nullptr), 1);
    const std::vector<Call> polys = OnlyOp(Journal(page.dc()), "Polygon");
    ASSERT_FALSE(polys.empty());
    size_t most = 0;
    for (const Call& p : polys) most = std::max(most, p.points.size());
    EXPECT_EQ(most, 268u);
}

}  // namespace
}  // namespace wx5n::test
