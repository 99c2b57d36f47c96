// Device metrics in MM_TEXT, a y-up metric mode and anisotropic mappings.
#include <climits>
#include <cmath>

#include "draw_test_util.h"

namespace wx5n::test {
namespace {

constexpr double kHalfPi = 1.5707963267948966;
constexpr double kPiBy64 = kHalfPi / 32;

TEST(Metrics, TextModeTakesValuesAsTheyStand) {
    Page page;
    HDC dc = page.dc();
    for (int w : {0, -5, 1, 7, 32767, 40000}) EXPECT_EQ(RoundLineWidth(dc, w), w) << w;
    EXPECT_EQ(GetPixToLog(dc), 1);
    EXPECT_EQ(GetMinimumLength(dc), 1);
    int cx = -1, cy = -1;
    GetPixelSize(dc, &cx, &cy, nullptr);
    EXPECT_EQ(cx, 1);
    EXPECT_EQ(cy, 1);
    POINT pt{13, -7};
    RoundLinePosition(dc, &pt);
    EXPECT_EQ(pt.x, 13);
    EXPECT_EQ(pt.y, -7);
    POINT sign{0, 0};
    GetAxisSign(dc, &sign);
    EXPECT_EQ(sign.x, 1);
    EXPECT_EQ(sign.y, 1);
    // Device radius 10 pixels: five segments per quarter.
    EXPECT_DOUBLE_EQ(GetArcStepAngle(dc, 10), kHalfPi / 5);
}

TEST(Metrics, TwipsSnapToTenUnitPixelsWithYUp) {
    Page page;
    page.SetMapping(Mapping::Twips);
    HDC dc = page.dc();
    ASSERT_EQ(page.L(100, 100).x, 1000);
    ASSERT_EQ(page.L(100, 100).y, -1000);

    EXPECT_EQ(GetPixToLog(dc), 10);
    EXPECT_EQ(GetMinimumLength(dc), 10);
    int cx = 0, cy = 0;
    GetPixelSize(dc, &cx, &cy, nullptr);
    EXPECT_EQ(cx, 10);
    EXPECT_EQ(cy, 10);
    POINT sign{0, 0};
    GetAxisSign(dc, &sign);
    EXPECT_EQ(sign.x, 1);
    EXPECT_EQ(sign.y, -1);

    EXPECT_EQ(RoundLineWidth(dc, 36), 40);  // 3.6 pixels -> 4
    EXPECT_EQ(RoundLineWidth(dc, 14), 1);   // one pixel or less: one logical unit
    EXPECT_EQ(RoundLineWidth(dc, 4), 1);
    EXPECT_EQ(RoundLineWidth(dc, 32767), 32767);  // the limit is not converted
    EXPECT_EQ(RoundLineWidth(dc, 32766), 32770);  // just below it is

    POINT pt{123, -456};
    RoundLinePosition(dc, &pt);
    EXPECT_EQ(pt.x, 120);
    EXPECT_EQ(pt.y, -460);

    EXPECT_DOUBLE_EQ(GetArcStepAngle(dc, 4), kPiBy64);    // 0 pixels: 32 segments
    EXPECT_DOUBLE_EQ(GetArcStepAngle(dc, 10), kHalfPi);   // 1 pixel: one segment
    EXPECT_DOUBLE_EQ(GetArcStepAngle(dc, 20), kHalfPi);   // 2 pixels: one segment
    EXPECT_DOUBLE_EQ(GetArcStepAngle(dc, 100), kHalfPi / 5);
    EXPECT_DOUBLE_EQ(GetArcStepAngle(dc, 630), kPiBy64);  // 63 pixels
    EXPECT_DOUBLE_EQ(GetArcStepAngle(dc, 32767), kPiBy64);
}

TEST(Metrics, AnisotropicScalesAndOrigins) {
    Page page;
    page.SetMapping(Mapping::Anisotropic);  // 3 units per pixel, shifted origins
    HDC dc = page.dc();
    EXPECT_EQ(GetPixToLog(dc), 3);
    int cx = 0, cy = 0;
    POINT at{502, 302};  // on a pixel: logical x = 3 * device x + 10
    GetPixelSize(dc, &cx, &cy, &at);
    EXPECT_EQ(cx, 3);
    EXPECT_EQ(cy, 3);
    POINT sign{0, 0};
    GetAxisSign(dc, &sign);
    EXPECT_EQ(sign.x, 1);
    EXPECT_EQ(sign.y, 1);
    // A width is a length: the shifted origins do not move it.
    EXPECT_EQ(RoundLineWidth(dc, 30), 30);
    EXPECT_EQ(RoundLineWidth(dc, 3), 1);  // one pixel: one logical unit
    EXPECT_DOUBLE_EQ(GetArcStepAngle(dc, 60), kHalfPi / 10);  // 20 pixels
    EXPECT_DOUBLE_EQ(GetArcStepAngle(dc, 1), kPiBy64);        // no pixel at all

    // One unit across x but 1.5 across y: x and y differ, width unchanged.
    SetWindowExtEx(dc, 2, 3, nullptr);
    SetViewportExtEx(dc, 1, 1, nullptr);
    EXPECT_EQ(RoundLineWidth(dc, 30), 30);
    EXPECT_EQ(RoundLineWidth(dc, 31), 31);

    // A device pixel smaller than a logical unit: GetPixToLog never says 0,
    // GetPixelSize does.
    SetWindowExtEx(dc, 1, 1, nullptr);
    SetViewportExtEx(dc, 4, 4, nullptr);
    EXPECT_EQ(GetPixToLog(dc), 1);
    GetPixelSize(dc, &cx, &cy, nullptr);
    EXPECT_EQ(cx, 0);
    EXPECT_EQ(cy, 0);
    EXPECT_EQ(RoundLineWidth(dc, 3), 3);  // 12 pixels map back to 3 units

    // A mirrored x axis.
    SetWindowExtEx(dc, -1, 1, nullptr);
    SetViewportExtEx(dc, 1, 1, nullptr);
    GetAxisSign(dc, &sign);
    EXPECT_EQ(sign.x, -1);
    EXPECT_EQ(sign.y, 1);
}

TEST(Metrics, NullDeviceContextAndOutputs) {
    EXPECT_EQ(GetPixToLog(nullptr), 0);
    EXPECT_EQ(GetMinimumLength(nullptr), 0);
    int cx = 77, cy = 88;
    GetPixelSize(nullptr, &cx, &cy, nullptr);
    EXPECT_EQ(cx, 77);
    EXPECT_EQ(cy, 88);
    Page page;
    page.SetMapping(Mapping::Twips);
    GetAxisSign(page.dc(), nullptr);                    // nothing to write
    GetPixelSize(page.dc(), nullptr, &cy, nullptr);     // one output only
    EXPECT_EQ(cy, 10);
    RoundLinePosition(page.dc(), nullptr);
}

TEST(Metrics, RoundToIntHalvesAwayFromZero) {
    EXPECT_EQ(RoundToInt(2.5), 3);
    EXPECT_EQ(RoundToInt(-2.5), -3);
    EXPECT_EQ(RoundToInt(0.0), 0);
    EXPECT_EQ(RoundToInt(-0.4), 0);
    EXPECT_EQ(RoundToInt(0.5), 1);
    EXPECT_EQ(RoundToInt(0.49999), 0);
    EXPECT_EQ(RoundToInt(-7.6), -8);
    // Beyond the int range the result saturates instead of being undefined.
    EXPECT_EQ(RoundToInt(1e300), INT_MAX);
    EXPECT_EQ(RoundToInt(-1e300), INT_MIN);
    EXPECT_EQ(RoundToInt(std::nan("")), 0);
}

}  // namespace
}  // namespace wx5n::test
