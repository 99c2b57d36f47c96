// Slanted lines: quadrilaterals for flat and square ends, pen lines for
// round ends and thin lines, dashes measured along the line, double lines.
#include "draw_test_util.h"

namespace wx5n::test {
namespace {

constexpr COLORREF kRed = 0x0000FF;

using Lines = std::vector<std::vector<LONG>>;

std::vector<LONG> Flat(const Call& c) {
    std::vector<LONG> v;
    for (const POINT& p : c.points) {
        v.push_back(p.x);
        v.push_back(p.y);
    }
    return v;
}

Lines Shapes(const std::vector<Call>& calls, const char* op) {
    Lines out;
    for (const Call& c : Only(calls, {op})) out.push_back(Flat(c));
    return out;
}

TEST(SlantLine, FortyFiveDegreesWithFlatEndsIsMeasuredHorizontally) {
    Page page;
    HDC dc = page.dc();
    LINEREC line = Line(10, 1, 1, kRed);
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 100, 100, 200, 200, &line, nullptr), 1);
    std::vector<Call> j = Journal(dc);
    // v = T(10 / sin 45) = 14, L = T(141.4) + 1 = 142, X(142) = 100.
    EXPECT_EQ(Shapes(j, "Polygon"), (Lines{{93, 100, 193, 200, 207, 200, 107, 100}})) << Dump(j);
    EXPECT_EQ(Only(j, {"Polygon"})[0].brush.lbColor, kRed);
    EXPECT_EQ(Only(j, {"Polygon"})[0].pen.lopnStyle, static_cast<UINT>(PS_NULL));
    // Pixels: a band 14 wide along x on every row.
    EXPECT_EQ(page.CountInk(0, 150, 720, 151), 14);
    EXPECT_TRUE(page.Ink(143, 150));
    EXPECT_TRUE(page.Ink(156, 150));
}

TEST(SlantLine, SquareEndsReachHalfTheWidthBeyondTheEnds) {
    Page page;
    HDC dc = page.dc();
    LINEREC line = Line(10, 1, 2, kRed);
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 100, 100, 130, 140, &line, nullptr), 1);
    std::vector<Call> j = Journal(dc);
    EXPECT_EQ(Shapes(j, "Polygon"), (Lines{{101, 93, 137, 141, 129, 147, 93, 99}})) << Dump(j);
}

TEST(SlantLine, SolidPenLineIsTheTruncatedLengthPlusOne) {
    Page page;
    HDC dc = page.dc();
    LINEREC line = Line(1, 1, 1, kRed);
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 10, 10, 40, 50, &line, nullptr), 1);
    EXPECT_EQ(Shapes(Journal(dc), "Polyline"), (Lines{{10, 10, 40, 50}}));
    // A remainder left in the record from a dashed line splits the solid
    // line there without a gap, and the solid line ends with none.
    line.dashCarry = 9;
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 10, 10, 40, 50, &line, nullptr), 1);
    EXPECT_EQ(Shapes(Journal(dc), "Polyline"), (Lines{{10, 10, 15, 17}, {15, 17, 40, 50}}));
    EXPECT_EQ(line.dashCarry, 0);
}

TEST(SlantLine, DashesFallAtExactMultiplesAlongTheLine) {
    Page page(960, 200, 96);  // kind 3 is 6, 2 pixels
    HDC dc = page.dc();
    LINEREC line = Line(1, 3, 3, kRed);
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 10, 10, 40, 50, &line, nullptr), 1);
    std::vector<Call> j = Journal(dc);
    EXPECT_EQ(Shapes(j, "Polyline"), (Lines{{10, 10, 13, 14},
                                            {14, 16, 18, 21},
                                            {19, 22, 23, 27},
                                            {24, 29, 28, 34},
                                            {29, 35, 32, 40},
                                            {34, 42, 37, 46},
                                            {38, 48, 40, 50}}))
        << Dump(j);
    EXPECT_EQ(line.dashCarry, 3);
    EXPECT_EQ(line.dashIndex, 0);
}

TEST(SlantLine, ResumedDashIsNotRaisedToAPixelAndSkippedWhenTurnedBack) {
    // In MM_TWIPS a pixel is 10 units. A slanted line resumes a 3-unit dash
    // as it is (here it collapses to one device point); a vertical line
    // raises the same remainder to one pixel.
    Page page;
    page.SetMapping(Mapping::Twips);
    HDC dc = page.dc();
    LINEREC line = Line(1, 3, 3, kRed);
    line.dashCarry = 3;
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 100, -600, 400, -1000, &line, nullptr), 1);
    Lines slant = Shapes(Journal(dc), "Polyline");
    ASSERT_FALSE(slant.empty());
    EXPECT_EQ(slant[0], (std::vector<LONG>{10, 60, 10, 60}));

    line = Line(1, 3, 3, kRed);
    line.dashCarry = 3;
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 500, -600, 500, -1000, &line, nullptr), 1);
    Lines axis = Shapes(Journal(dc), "Polyline");
    ASSERT_FALSE(axis.empty());
    EXPECT_EQ(axis[0], (std::vector<LONG>{50, 60, 50, 61}));

    // A 4-pixel pen line resuming a 1-pixel dash: the half-width insets
    // turn it backwards, so it is skipped; the cut dash at the end is drawn.
    Page screen(960, 200, 96);  // kind 3 at width 4: 24, 8
    line = Line(4, 3, 3, kRed);
    line.dashCarry = 1;
    screen.JournalOn();
    ASSERT_EQ(foExtLine(screen.dc(), 10, 10, 40, 50, &line, nullptr), 1);
    std::vector<Call> j = Journal(screen.dc());
    EXPECT_EQ(Shapes(j, "Polyline"), (Lines{{15, 17, 27, 33}, {34, 42, 40, 50}})) << Dump(j);
    EXPECT_EQ(line.dashCarry, 11);
    EXPECT_EQ(line.dashIndex, 0);
}

TEST(SlantLine, DoubleLines) {
    Page page;
    HDC dc = page.dc();
    // Narrower than 3 pixels: one solid line of the full width.
    LINEREC line = Line(2, 9, 3, kRed);
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 10, 10, 60, 40, &line, nullptr), 1);
    std::vector<Call> j = Journal(dc);
    ASSERT_EQ(Only(j, {"Polyline"}).size(), 1u) << Dump(j);
    EXPECT_EQ(Only(j, {"Polyline"})[0].pen.lopnWidth.x, 2);

    // 9 pixels, flat ends: two 3-pixel lines shifted 3 pixels up and down.
    line = Line(9, 9, 1, kRed);
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 100, 100, 300, 200, &line, nullptr), 1);
    j = Journal(dc);
    EXPECT_EQ(Shapes(j, "Polygon"), (Lines{{100, 96, 300, 196, 300, 199, 100, 99},
                                           {100, 103, 300, 203, 300, 206, 100, 106}}))
        << Dump(j);
    EXPECT_TRUE(page.Ink(200, 147));
    EXPECT_TRUE(page.Ink(200, 154));
    EXPECT_FALSE(page.Ink(200, 150));
    EXPECT_FALSE(page.Ink(200, 151));

    // Round ends: two 3-pixel pen lines either side, lengthened at the ends.
    page.Clear();
    line = Line(9, 9, 3, kRed);
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 100, 300, 300, 400, &line, nullptr), 1);
    j = Journal(dc);
    ASSERT_EQ(Only(j, {"Polyline"}).size(), 2u) << Dump(j);
    EXPECT_FALSE(page.Ink(200, 350));
    EXPECT_TRUE(page.Ink(200, 347) || page.Ink(201, 347));
    EXPECT_TRUE(page.Ink(200, 353) || page.Ink(199, 353));
}

TEST(SlantLine, DoubleLineWhoseHalvesTurnVerticalIsStillDrawn) {
    // Nearly vertical in MM_TWIPS (one unit across for 200 pixels down):
    // each shifted half rounds to a vertical line and is drawn as one
    // instead of failing the call.
    Page page;
    page.SetMapping(Mapping::Twips);
    HDC dc = page.dc();
    LINEREC line = Line(90, 9, 3, kRed);
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 1000, -1000, 1001, -3000, &line, nullptr), 1);
    std::vector<Call> j = Journal(dc);
    ASSERT_EQ(Only(j, {"Polyline"}).size(), 2u) << Dump(j);
    EXPECT_TRUE(page.Ink(97, 200));
    EXPECT_TRUE(page.Ink(103, 200));
    EXPECT_FALSE(page.Ink(100, 200));
}

TEST(SlantLine, InternalEntryPointsRefuseAxisLines) {
    Page page;
    LINEREC line = Line(1, 1, 1, kRed);
    line.dashCount = 1;
    EXPECT_EQ(DrawSlantSegments(page.dc(), 10, 10, 10, 50, &line, nullptr), 0);
    EXPECT_EQ(DrawSlantSegments(page.dc(), 10, 10, 50, 10, &line, nullptr), 0);
    EXPECT_EQ(DrawSlantSegments(page.dc(), 10, 10, 50, 20, nullptr, nullptr), 0);
    EXPECT_EQ(DrawSlantLine(nullptr, 10, 10, 50, 20, &line, nullptr), 0);
    EXPECT_EQ(DrawSlantLine(page.dc(), 10, 10, 50, 10, &line, nullptr), 0);
    // A pattern that was never converted (zero lengths) is refused rather
    // than walked forever.
    line.kind = 3;
    line.dashCount = 2;
    EXPECT_EQ(DrawSlantSegments(page.dc(), 10, 10, 50, 20, &line, nullptr), 0);
    EXPECT_EQ(DrawAxisSegments(page.dc(), 10, 10, 50, 10, &line, nullptr), 0);
}

}  // namespace
}  // namespace wx5n::test
