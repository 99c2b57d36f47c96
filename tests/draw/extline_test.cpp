// foExtLine on horizontal and vertical lines: ends, dashes carried from one
// line to the next, double lines, the pen fallback and refused records.
#include "draw_test_util.h"

namespace wx5n::test {
namespace {

constexpr COLORREF kRed = 0x0000FF;  // COLORREF 0x00BBGGRR
constexpr uint32_t kRedPixel = 0xFF0000;  // 0x00RRGGBB

std::vector<LONG> Box(const Call& c) {
    if (c.args.size() < 4) return {};
    return {c.args[0], c.args[1], c.args[2], c.args[3]};
}

std::vector<std::vector<LONG>> Boxes(const std::vector<Call>& calls) {
    std::vector<std::vector<LONG>> out;
    for (const Call& c : Only(calls, {"FillRect"})) out.push_back(Box(c));
    return out;
}

std::vector<std::vector<LONG>> Segs(const std::vector<Call>& calls) {
    std::vector<std::vector<LONG>> out;
    for (const Call& c : Only(calls, {"Polyline"})) out.push_back(Seg(c));
    return out;
}

using Rects = std::vector<std::vector<LONG>>;

TEST(ExtLine, SquareAndFlatEndsOfAWideLine) {
    Page page;
    HDC dc = page.dc();
    LINEREC line = Line(10, 1, 2, kRed);
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 100, 50, 200, 50, &line, nullptr), 1);
    std::vector<Call> j = Journal(dc);
    ASSERT_EQ(Boxes(j), (Rects{{95, 45, 205, 55}})) << Dump(j);
    EXPECT_EQ(Only(j, {"FillRect"})[0].brush.lbColor, kRed);
    EXPECT_TRUE(Segs(j).empty());
    EXPECT_EQ(page.Pixel(95, 45), kRedPixel);
    EXPECT_EQ(page.Pixel(204, 54), kRedPixel);
    EXPECT_FALSE(page.Ink(94, 50));
    EXPECT_FALSE(page.Ink(205, 50));
    EXPECT_FALSE(page.Ink(150, 44));
    EXPECT_FALSE(page.Ink(150, 55));

    line = Line(10, 1, 1, kRed);
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 100, 150, 200, 150, &line, nullptr), 1);
    EXPECT_EQ(Boxes(Journal(dc)), (Rects{{100, 145, 200, 155}}));
    EXPECT_TRUE(page.Ink(100, 150));
    EXPECT_TRUE(page.Ink(199, 150));
    EXPECT_FALSE(page.Ink(99, 150));
    EXPECT_FALSE(page.Ink(200, 150));

    // Right to left and bottom to top cover the same pixels.
    page.Clear();
    line = Line(10, 1, 2, kRed);
    ASSERT_EQ(foExtLine(dc, 200, 50, 100, 50, &line, nullptr), 1);
    ASSERT_EQ(foExtLine(dc, 300, 200, 300, 100, &line, nullptr), 1);
    EXPECT_EQ(page.CountInk(0, 0, 250, 100), 110 * 10);
    EXPECT_EQ(page.CountInk(280, 80, 320, 220), 110 * 10);
    EXPECT_EQ(page.CountInk(295, 95, 305, 205), 110 * 10);
}

TEST(ExtLine, CornersOfAPolylineJoinWithSquareEndsAndNotchWithFlatOnes) {
    Page page;
    HDC dc = page.dc();
    LINEREC line = Line(10, 1, 2, kRed);
    foExtLine(dc, 100, 100, 200, 100, &line, nullptr);
    foExtLine(dc, 200, 100, 200, 200, &line, nullptr);
    EXPECT_TRUE(page.Ink(204, 95));  // the outer corner is filled
    EXPECT_TRUE(page.Ink(202, 97));
    page.Clear();
    line = Line(10, 1, 1, kRed);
    foExtLine(dc, 100, 100, 200, 100, &line, nullptr);
    foExtLine(dc, 200, 100, 200, 200, &line, nullptr);
    EXPECT_FALSE(page.Ink(202, 97));  // flat ends leave the outer corner open
    EXPECT_TRUE(page.Ink(197, 97));
    EXPECT_TRUE(page.Ink(202, 102));
}

TEST(ExtLine, DashRemainderCarriesIntoTheNextLine) {
    Page page(960, 40, 96);  // 96 pixels per inch: kind 3 is 6, 2 pixels
    HDC dc = page.dc();
    LINEREC line = Line(1, 3, 3, kRed);
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 0, 0, 10, 0, &line, nullptr), 1);
    std::vector<Call> j = Journal(dc);
    EXPECT_EQ(Segs(j), (Rects{{0, 0, 5, 0}, {8, 0, 10, 0}})) << Dump(j);
    EXPECT_EQ(Only(j, {"Polyline"})[0].pen.lopnWidth.x, 1);
    EXPECT_EQ(Only(j, {"Polyline"})[0].pen.lopnColor, kRed);
    EXPECT_EQ(line.dashCarry, 3);
    EXPECT_EQ(line.dashIndex, 0);
    // The host's pattern fields are not touched.
    EXPECT_EQ(line.dashCount, 0);
    EXPECT_EQ(line.dashPattern[0], 0);

    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 10, 0, 20, 0, &line, nullptr), 1);
    EXPECT_EQ(Segs(Journal(dc)), (Rects{{10, 0, 12, 0}, {15, 0, 20, 0}}));
    EXPECT_EQ(line.dashCarry, 0);
    EXPECT_EQ(line.dashIndex, 1);

    // On the page the remainder continues the dash across the joint.
    const bool ink[20] = {1, 1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 1, 1, 1, 1, 1};
    for (int x = 0; x < 20; ++x) EXPECT_EQ(page.Ink(x, 0), ink[x]) << "x=" << x;

    // A host that wants a fresh start clears the state; a state it filled
    // wrongly (an index outside the pattern) also starts afresh.
    page.JournalOn();
    line.dashIndex = 57;
    line.dashCarry = -4;
    ASSERT_EQ(foExtLine(dc, 0, 10, 10, 10, &line, nullptr), 1);
    EXPECT_EQ(Segs(Journal(dc)), (Rects{{0, 10, 5, 10}, {8, 10, 10, 10}}));
    EXPECT_EQ(line.dashCarry, 3);
}

TEST(ExtLine, PrinterPatternsOfKindFour) {
    Page page(6000, 40, 600);
    HDC dc = page.dc();
    LINEREC line = Line(3, 4, 3, kRed);
    line.unitsPerInch = 600;
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 0, 10, 200, 10, &line, nullptr), 1);
    std::vector<Call> j = Journal(dc);
    EXPECT_EQ(Segs(j), (Rects{{0, 10, 45, 10},
                              {64, 10, 77, 10},
                              {96, 10, 141, 10},
                              {160, 10, 173, 10},
                              {192, 10, 200, 10}}))
        << Dump(j);
    EXPECT_EQ(Only(j, {"Polyline"})[0].pen.lopnWidth.x, 3);
    EXPECT_EQ(line.dashCarry, 37);
    EXPECT_EQ(line.dashIndex, 0);

    // Width 20, flat ends: filled dashes 120, 40 long with gaps of 40.
    line = Line(20, 4, 1, kRed);
    line.unitsPerInch = 600;
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 0, 20, 400, 20, &line, nullptr), 1);
    EXPECT_EQ(Boxes(Journal(dc)),
              (Rects{{0, 10, 120, 30}, {160, 10, 200, 30}, {240, 10, 360, 30}}));
    // Ended on an entry boundary: no carry, the next line starts at entry 2.
    EXPECT_EQ(line.dashCarry, 0);
    EXPECT_EQ(line.dashIndex, 2);
}

TEST(ExtLine, GapsOfWideDashesAreAtLeastTheWidthPlusAPixel) {
    Page page;
    HDC dc = page.dc();
    LINEREC line = Line(30, 8, 2, kRed);
    line.dashCount = 2;
    line.dashPattern[0] = 40;
    line.dashPattern[1] = 30;  // raised to 30 + 1
    line.unitsPerInch = 144;
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 100, 300, 250, 300, &line, nullptr), 1);
    // Square ends: the line reaches 85..265 (L = 180); dash 40, gap 31.
    EXPECT_EQ(Boxes(Journal(dc)), (Rects{{85, 285, 125, 315}, {156, 285, 196, 315}, {227, 285, 265, 315}}));
    EXPECT_EQ(line.dashCarry, 2);
    EXPECT_EQ(line.dashIndex, 0);
}

TEST(ExtLine, DoubleLinesSplitFromThreePixels) {
    Page page;
    HDC dc = page.dc();
    LINEREC line = Line(9, 9, 1, kRed);
    line.dashCarry = 5;  // a double line is solid and ends with no carry
    line.dashIndex = 1;
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 50, 100, 250, 100, &line, nullptr), 1);
    std::vector<Call> j = Journal(dc);
    EXPECT_EQ(Boxes(j), (Rects{{50, 96, 250, 99}, {50, 102, 250, 105}})) << Dump(j);
    EXPECT_EQ(line.dashCarry, 0);
    EXPECT_EQ(line.dashIndex, 0);
    for (int y = 94; y < 107; ++y)
        EXPECT_EQ(page.Ink(150, y), (y >= 96 && y < 99) || (y >= 102 && y < 105)) << y;

    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 400, 50, 400, 250, &line, nullptr), 1);
    EXPECT_EQ(Boxes(Journal(dc)), (Rects{{396, 50, 399, 250}, {402, 50, 405, 250}}));

    // Ends other than flat reach k = 3 pixels further, then half the thin
    // width: each thin line is a 3-pixel line with square ends.
    line.cap = 2;
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 50, 300, 250, 300, &line, nullptr), 1);
    EXPECT_EQ(Boxes(Journal(dc)), (Rects{{46, 296, 255, 299}, {46, 302, 255, 305}}));

    // Two pixels wide: one solid line.
    line = Line(2, 9, 1, kRed);
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 50, 400, 250, 400, &line, nullptr), 1);
    EXPECT_EQ(Boxes(Journal(dc)), (Rects{{50, 399, 250, 401}}));
}

TEST(ExtLine, ThinLinesUseAPenAndZeroLengthLinesAPoint) {
    Page page;
    HDC dc = page.dc();
    for (int cap : {1, 2, 3}) {
        LINEREC line = Line(1, 1, cap, kRed);
        page.JournalOn();
        ASSERT_EQ(foExtLine(dc, 10, 20 * cap, 60, 20 * cap, &line, nullptr), 1);
        std::vector<Call> j = Journal(dc);
        EXPECT_TRUE(Boxes(j).empty()) << cap;
        ASSERT_EQ(Segs(j).size(), 1u) << cap;
    }
    // Zero length: square ends fill a w by w square on the point, flat ends
    // draw nothing and still succeed.
    LINEREC line = Line(10, 1, 2, kRed);
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 300, 300, 300, 300, &line, nullptr), 1);
    EXPECT_EQ(Boxes(Journal(dc)), (Rects{{295, 295, 305, 305}}));
    line.cap = 1;
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 400, 300, 400, 300, &line, nullptr), 1);
    EXPECT_TRUE(Only(Journal(dc), {"FillRect", "Polyline", "Polygon", "LineTo"}).empty());
}

TEST(ExtLine, CapOutsideOneToThreeIsStrokedWithAPen) {
    Page page;
    HDC dc = page.dc();
    for (int cap : {0, 4, -1, 77}) {
        LINEREC line = Line(6, 1, cap, kRed);
        page.JournalOn();
        ASSERT_EQ(foExtLine(dc, 100, 200, 200, 200, &line, nullptr), 1) << cap;
        std::vector<Call> j = Journal(dc);
        EXPECT_TRUE(Boxes(j).empty()) << cap;
        ASSERT_EQ(Segs(j), (Rects{{100, 200, 200, 200}})) << Dump(j);
        EXPECT_EQ(Only(j, {"Polyline"})[0].pen.lopnWidth.x, 6);
    }
}

TEST(ExtLine, NothingDrawnForNoLineAndRefusedRecords) {
    Page page;
    HDC dc = page.dc();
    LINEREC line = Line(5, 0, 1, kRed);
    line.dashCarry = 4;
    line.dashIndex = 1;
    LINEREC before = line;
    page.JournalOn();
    EXPECT_EQ(foExtLine(dc, 10, 10, 100, 100, &line, nullptr), 1);  // kind 0: no line
    EXPECT_EQ(Journal(dc).size(), 0u) << Dump(Journal(dc));
    EXPECT_EQ(std::memcmp(&line, &before, sizeof(line)), 0);

    // A caller-defined pattern with a negative even count, or an odd one.
    line = Line(1, 8, 3, kRed);
    line.dashCount = -2;
    line.dashCarry = 4;
    before = line;
    page.JournalOn();
    EXPECT_EQ(foExtLine(dc, 10, 10, 100, 10, &line, nullptr), 0);
    line.dashCount = 3;
    line.dashPattern[0] = line.dashPattern[1] = line.dashPattern[2] = 5;
    before = line;
    EXPECT_EQ(foExtLine(dc, 10, 10, 100, 10, &line, nullptr), 0);
    EXPECT_EQ(std::memcmp(&line, &before, sizeof(line)), 0);
    EXPECT_TRUE(Only(Journal(dc), {"FillRect", "Polyline", "Polygon", "LineTo"}).empty());

    EXPECT_EQ(foExtLine(dc, 10, 10, 100, 10, nullptr, nullptr), 0);
    line = Line(1, 3, 3, kRed);
    EXPECT_EQ(foExtLine(nullptr, 10, 10, 100, 10, &line, nullptr), 0);
    EXPECT_EQ(line.dashCarry, 0);
}

TEST(ExtLine, LinesFarBeyondThePageStayExact) {
    // End points 2^26 device pixels away (GDI's device space is 28 bits;
    // in MM_TWIPS that is 6.7e8 logical units): no arithmetic may overflow
    // or lose the part of the line that crosses the page.
    constexpr int kFar = 1 << 26;
    Page page;
    HDC dc = page.dc();
    for (Mapping m : {Mapping::Text, Mapping::Twips, Mapping::Anisotropic}) {
        page.SetMapping(m);
        for (int kind : {1, 9})
            for (int cap : {1, 2, 3}) {
                page.Clear();
                LINEREC line = Line(page.Len(9), kind, cap, kRed);
                POINT w = page.L(-kFar, 100), e = page.L(kFar, 100);
                POINT n = page.L(300, -kFar), s = page.L(300, kFar);
                POINT nw = page.L(-kFar, -kFar), se = page.L(kFar, kFar);
                ASSERT_EQ(foExtLine(dc, w.x, w.y, e.x, e.y, &line, nullptr), 1);
                ASSERT_EQ(foExtLine(dc, s.x, s.y, n.x, n.y, &line, nullptr), 1);
                ASSERT_EQ(foExtLine(dc, nw.x, nw.y, se.x, se.y, &line, nullptr), 1);
                const char* name = MappingName(m);
                // Ink within 5 pixels of the centre line (a double line's
                // centre itself is a gap) at both page edges and inside.
                auto near = [&](int x, int y) {
                    return page.CountInk(x - 5, y - 5, x + 6, y + 6) > 0;
                };
                EXPECT_TRUE(near(0, 100) && near(719, 100)) << name << kind << cap;
                EXPECT_TRUE(near(300, 0) && near(300, 719)) << name << kind << cap;
                EXPECT_TRUE(near(0, 0) && near(500, 500)) << name << kind << cap;
                EXPECT_EQ(page.CountInk(100, 0, 200, 90), 0) << name << kind << cap;
                EXPECT_EQ(line.dashCarry, 0);
            }
    }
}

TEST(ExtLine, ManagedDrawingLeavesTheObjectsWithTheRecord) {
    Page page;
    HDC dc = page.dc();
    MNG_OBJECT mng;
    StartMngObject(dc, &mng);
    LINEREC wide = Line(10, 1, 1, kRed);
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 100, 50, 200, 50, &wide, &mng), 1);
    std::vector<Call> j = Journal(dc);
    ASSERT_EQ(Boxes(j).size(), 1u);
    EXPECT_EQ(Only(j, {"FillRect"})[0].brush.lbColor, kRed);
    EXPECT_EQ(mng.brush[0].logBrush.lbColor, kRed);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), mng.brush[0].handle);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), mng.pen[6].handle);  // the null pen
    EXPECT_TRUE(Only(j, {"DeleteObject"}).empty());

    LINEREC thin = Line(1, 1, 1, 0x00FF00);
    ASSERT_EQ(foExtLine(dc, 100, 60, 200, 60, &thin, &mng), 1);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), mng.pen[0].handle);
    EXPECT_EQ(mng.pen[0].logPen.lopnColor, 0x00FF00u);
    EndMngObject(dc, &mng);
}

}  // namespace
}  // namespace wx5n::test

namespace wx5n::test {
namespace {

// Round ends (a pen): a resumed dash shorter than the two half-width insets
// is left out; the next dash is drawn as usual.
TEST(ExtLine, ResumedDashTheRoundEndsTurnBackwardsIsLeftOut) {
    for (int carry : {2, 8}) {
        Page page;
        LINEREC l = Line(6, 8, 3);
        l.dashCount = 2;
        l.dashPattern[0] = 20;
        l.dashPattern[1] = 10;
        l.dashIndex = 0;
        l.dashCarry = carry;
        page.JournalOn();
        ASSERT_EQ(foExtLine(page.dc(), 100, 50, 300, 50, &l, nullptr), 1);
        const std::vector<Call> lines = Only(Journal(page.dc()), {"Polyline"});
        ASSERT_FALSE(lines.empty());
        // 2 left: skipped, the first piece is the next dash, after the gap;
        // 8 left: drawn from the line's start.
        EXPECT_EQ(lines[0].points[0].x, carry == 2 ? 100 + 2 + 10 : 100) << carry;
    }
}

}  // namespace
}  // namespace wx5n::test
