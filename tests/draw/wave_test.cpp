// Wave lines (kind 10): a trapezoid wave with 45-degree flanks.
#include <cstdlib>

#include "draw_test_util.h"

namespace wx5n::test {
namespace {

constexpr COLORREF kBlue = 0xFF0000;

using Pts = std::vector<std::vector<LONG>>;

Pts Path(const std::vector<Call>& calls) {
    Pts out;
    for (const Call& c : Only(calls, {"MoveToEx", "LineTo"})) {
        if (!c.points.empty())
            out.push_back({c.points.back().x, c.points.back().y});
        else if (c.args.size() >= 2)
            out.push_back({c.args[0], c.args[1]});
    }
    return out;
}

TEST(Wave, HorizontalWaveRisesHalfAFlankThenAlternates) {
    Page page;
    HDC dc = page.dc();
    LINEREC line = Line(1, 10, 3, kBlue);
    line.waveHeight = 12;  // 12 pixels peak to peak; flat runs of 12 / 6
    line.dashCarry = 7;
    line.dashIndex = 1;
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 100, 100, 200, 100, &line, nullptr), 1);
    std::vector<Call> j = Journal(dc);
    EXPECT_EQ(Path(j), (Pts{{100, 100}, {106, 94}, {108, 94}, {120, 106}, {122, 106},
                            {134, 94},  {136, 94}, {148, 106}, {150, 106}, {162, 94},
                            {164, 94},  {176, 106}, {178, 106}, {190, 94}, {192, 94},
                            {200, 102}}))
        << Dump(j);
    // The wave never touches the caller's dash state.
    EXPECT_EQ(line.dashCarry, 7);
    EXPECT_EQ(line.dashIndex, 1);
    // On the page: both edges of the wave and nothing beyond them.
    EXPECT_TRUE(page.Ink(107, 94));
    EXPECT_TRUE(page.Ink(121, 106));
    EXPECT_EQ(page.CountInk(0, 0, 720, 94), 0);
    EXPECT_EQ(page.CountInk(0, 107, 720, 720), 0);
    EXPECT_EQ(page.CountInk(201, 0, 720, 720), 0);
}

TEST(Wave, SteepWaveIsDrawnVerticalAtTheFirstX) {
    Page page;
    HDC dc = page.dc();
    LINEREC line = Line(1, 10, 3, kBlue);
    line.waveHeight = 12;
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 300, 100, 310, 200, &line, nullptr), 1);
    Pts path = Path(Journal(dc));
    ASSERT_GE(path.size(), 3u);
    EXPECT_EQ(path.front(), (std::vector<LONG>{300, 100}));
    EXPECT_EQ(path[1], (std::vector<LONG>{294, 106}));
    EXPECT_EQ(path.back()[1], 200);
    for (const auto& p : path) {
        EXPECT_GE(p[0], 294);
        EXPECT_LE(p[0], 306);
    }
    EXPECT_EQ(page.CountInk(307, 0, 720, 720), 0);

    // Equal extents count as horizontal: drawn along y = 100.
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 400, 100, 450, 150, &line, nullptr), 1);
    path = Path(Journal(dc));
    ASSERT_GE(path.size(), 2u);
    EXPECT_EQ(path.back(), (std::vector<LONG>{450, path.back()[1]}));
    for (const auto& p : path) EXPECT_LE(std::abs(p[1] - 100), 6);
}

TEST(Wave, WaveBelowOnePixelIsAPlainLine) {
    Page page;
    page.SetMapping(Mapping::Twips);
    HDC dc = page.dc();
    LINEREC line = Line(10, 10, 3, kBlue);
    line.waveHeight = 4;  // 0.4 pixel
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 1000, -1000, 3000, -1000, &line, nullptr), 1);
    std::vector<Call> j = Journal(dc);
    EXPECT_EQ(Path(j), (Pts{{100, 100}, {300, 100}})) << Dump(j);
    EXPECT_TRUE(page.Ink(150, 100));
    EXPECT_EQ(page.CountInk(0, 0, 720, 99), 0);
}

TEST(Wave, VerticalWaveInAYUpModeEnds) {
    // Device steps follow the device direction; a vertical wave in MM_TWIPS
    // runs down the page to its end like in MM_TEXT.
    Page page;
    page.SetMapping(Mapping::Twips);
    HDC dc = page.dc();
    LINEREC line = Line(10, 10, 3, kBlue);
    line.waveHeight = 120;
    for (int dir = 0; dir < 2; ++dir) {
        page.JournalOn();
        int y1 = dir ? -3000 : -1000, y2 = dir ? -1000 : -3000;
        ASSERT_EQ(foExtLine(dc, 2000, y1, 2000, y2, &line, nullptr), 1);
        Pts path = Path(Journal(dc));
        ASSERT_GE(path.size(), 10u);
        EXPECT_EQ(path.back()[1], dir ? 100 : 300);
        for (const auto& p : path) {
            EXPECT_GE(p[0], 194);
            EXPECT_LE(p[0], 206);
        }
    }
}

TEST(Wave, CoarseLogicalGridStillAdvances) {
    // 100 pixels per unit across x, one along y: every step of the wave is
    // smaller than half a logical unit, so going on from the point actually
    // drawn would pull it back to where it started, forever. It must end.
    Page page;
    HDC dc = page.dc();
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 1, 1, nullptr);
    SetViewportExtEx(dc, 100, 1, nullptr);
    LINEREC line = Line(1, 10, 3, kBlue);
    line.waveHeight = 5;
    page.JournalOn();
    ASSERT_EQ(foExtLine(dc, 0, 50, 5, 50, &line, nullptr), 1);
    Pts path = Path(Journal(dc));
    ASSERT_GE(path.size(), 3u);
    EXPECT_EQ(path.back()[0], 500);
    for (const auto& p : path) EXPECT_LE(std::abs(p[1] - 50), 3);
}

}  // namespace
}  // namespace wx5n::test
