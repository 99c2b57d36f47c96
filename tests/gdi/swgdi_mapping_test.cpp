// The window/viewport mapping: metric modes from the device metrics,
// isotropic adjustment, negative extents, GDI's rounding, inverse mapping.
#include "swgdi_test_util.h"

#include <gtest/gtest.h>

namespace {

// A page at 600 dpi whose metrics the mapping uses: 4960 x 7016 pixels,
// 210 x 297 mm.
class SwgdiMapping : public ::testing::Test {
protected:
    void SetUp() override {
        dc_ = swgdi_CreatePageDC(4960, 7016, 600, 600, 1);
        ASSERT_NE(dc_, nullptr);
    }
    void TearDown() override { DeleteDC(dc_); }
    POINT Map(int x, int y) {
        POINT p = {x, y};
        EXPECT_TRUE(LPtoDP(dc_, &p, 1));
        return p;
    }
    HDC dc_ = nullptr;
};

TEST_F(SwgdiMapping, PageMetricsAreConsistent) {
    EXPECT_EQ(GetDeviceCaps(dc_, HORZRES), 4960);
    EXPECT_EQ(GetDeviceCaps(dc_, VERTRES), 7016);
    EXPECT_EQ(GetDeviceCaps(dc_, HORZSIZE), 210);
    EXPECT_EQ(GetDeviceCaps(dc_, VERTSIZE), 297);
    EXPECT_EQ(GetDeviceCaps(dc_, LOGPIXELSX), 600);
    EXPECT_EQ(GetDeviceCaps(dc_, LOGPIXELSY), 600);
    EXPECT_EQ(GetMapMode(dc_), MM_TEXT);
}

TEST_F(SwgdiMapping, MetricModesScaleAndFlipY) {
    EXPECT_EQ(SetMapMode(dc_, MM_LOMETRIC), MM_TEXT);
    SIZE w, v;
    GetWindowExtEx(dc_, &w);
    GetViewportExtEx(dc_, &v);
    EXPECT_EQ(w.cx, 2100);
    EXPECT_EQ(w.cy, 2970);
    EXPECT_EQ(v.cx, 4960);
    EXPECT_EQ(v.cy, -7016);
    // 0.1 mm = 4960 / 2100 px: 100 units = 236.19 px -> 236, y flipped.
    POINT p = Map(100, -100);
    EXPECT_EQ(p.x, 236);
    EXPECT_EQ(p.y, 236);
    SetMapMode(dc_, MM_HIMETRIC);
    EXPECT_EQ(Map(1000, 0).x, 236);
    SetMapMode(dc_, MM_LOENGLISH);  // window extent MulDiv(1000, 210, 254) = 827
    GetWindowExtEx(dc_, &w);
    EXPECT_EQ(w.cx, 827);
    SetMapMode(dc_, MM_HIENGLISH);
    GetWindowExtEx(dc_, &w);
    EXPECT_EQ(w.cx, 8268);
    SetMapMode(dc_, MM_TWIPS);
    GetWindowExtEx(dc_, &w);
    EXPECT_EQ(w.cx, 11906);
    EXPECT_EQ(Map(1440, -1440).x, 600);  // 1 inch, within rounding of the metrics
    EXPECT_EQ(SetMapMode(dc_, 99), 0);
    EXPECT_EQ(GetMapMode(dc_), MM_TWIPS);
}

TEST_F(SwgdiMapping, HalvesRoundUpAndOriginsShift) {
    SetMapMode(dc_, MM_ANISOTROPIC);
    SetWindowExtEx(dc_, 2, 2, nullptr);
    SetViewportExtEx(dc_, 1, -1, nullptr);
    EXPECT_EQ(Map(1, 0).x, 1);    // 0.5 -> 1
    EXPECT_EQ(Map(-1, 0).x, 0);   // -0.5 -> 0
    EXPECT_EQ(Map(-3, 0).x, -1);  // -1.5 -> -1
    EXPECT_EQ(Map(0, 1).y, 0);    // -0.5 -> 0
    EXPECT_EQ(Map(0, 3).y, -1);   // -1.5 -> -1
    SetWindowOrgEx(dc_, 10, 20, nullptr);
    SetViewportOrgEx(dc_, 100, 200, nullptr);
    POINT p = Map(14, 20);
    EXPECT_EQ(p.x, 102);
    EXPECT_EQ(p.y, 200);
    POINT org;
    GetWindowOrgEx(dc_, &org);
    EXPECT_EQ(org.x, 10);
    EXPECT_EQ(org.y, 20);
}

TEST_F(SwgdiMapping, IsotropicShrinksTheLargerAxis) {
    SetMapMode(dc_, MM_ISOTROPIC);
    SetWindowExtEx(dc_, 1000, 1000, nullptr);
    SetViewportExtEx(dc_, 500, -300, nullptr);
    SIZE v;
    GetViewportExtEx(dc_, &v);
    EXPECT_EQ(v.cx, 300);  // equal pixels per unit on both axes (square pixels)
    EXPECT_EQ(v.cy, -300);
    EXPECT_EQ(Map(1000, 0).x, 300);
}

TEST_F(SwgdiMapping, ExtentsOnlyInScalableModes) {
    SIZE old;
    EXPECT_TRUE(SetWindowExtEx(dc_, 5, 5, &old));  // MM_TEXT: accepted, ignored
    EXPECT_EQ(old.cx, 1);
    SIZE w;
    GetWindowExtEx(dc_, &w);
    EXPECT_EQ(w.cx, 1);
    SetMapMode(dc_, MM_ANISOTROPIC);
    EXPECT_FALSE(SetWindowExtEx(dc_, 0, 5, nullptr));
    EXPECT_FALSE(SetViewportExtEx(dc_, 5, 0, nullptr));
    EXPECT_TRUE(SetWindowExtEx(dc_, -7, 3, nullptr));
    EXPECT_TRUE(SetViewportExtEx(dc_, 3, 2, nullptr));
    // 7 units to 3 pixels, x mirrored.
    EXPECT_EQ(Map(7, 3).x, -3);
    EXPECT_EQ(Map(7, 3).y, 2);
}

TEST_F(SwgdiMapping, DeviceToLogicalInvertsTheMapping) {
    SetMapMode(dc_, MM_LOMETRIC);
    SetWindowOrgEx(dc_, 50, -30, nullptr);
    for (int x = -200; x <= 200; x += 37) {
        POINT p = {x, -x / 2};
        POINT q = p;
        LPtoDP(dc_, &q, 1);
        DPtoLP(dc_, &q, 1);
        EXPECT_LE(std::abs(q.x - p.x), 1) << x;  // one pixel is 0.42 units
        EXPECT_LE(std::abs(q.y - p.y), 1) << x;
    }
    POINT d = {236, 0};
    DPtoLP(dc_, &d, 1);
    EXPECT_EQ(d.x, 150);  // 236 px = 99.9 units, plus the origin
    EXPECT_FALSE(LPtoDP(nullptr, &d, 1));
    EXPECT_FALSE(LPtoDP(dc_, nullptr, 1));
}

TEST_F(SwgdiMapping, PenWidthIsFixedWhenSelected) {
    SetMapMode(dc_, MM_LOMETRIC);
    HPEN pen = CreatePen(PS_SOLID, 10, 0);  // 1 mm: (10, 0) maps to 23.6 -> 24
    HGDIOBJ old = SelectObject(dc_, pen);
    swgdi_EnableJournal(dc_, TRUE);
    MoveToEx(dc_, 0, 0, nullptr);
    LineTo(dc_, 100, 0);
    SWGDI_JOURNAL_ENTRY e;
    ASSERT_TRUE(swgdi_JournalEntry(dc_, 1, &e));
    EXPECT_STREQ(e.op, "LineTo");
    EXPECT_EQ(e.pen.lopnWidth.x, 24);
    SelectObject(dc_, old);
    DeleteObject(pen);
}

}  // namespace
