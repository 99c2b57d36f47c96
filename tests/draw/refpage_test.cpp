// The reference page: every open-sides value, radii from 0 to beyond the
// sides, widths 1 to 12 device pixels, every line kind, every hatch code,
// opaque and transparent fills and ellipses of every kind, drawn once in
// MM_TEXT (upper half) and once in MM_LOMETRIC (lower half, y up, two
// logical units per pixel). The page is compared pixel for pixel with the
// golden image that was looked at and committed; WX5N_UPDATE_GOLDEN=1
// rewrites the golden image instead.
#include <cstdlib>
#include <string>

#include "draw_test_util.h"

namespace wx5n::test {
namespace {

constexpr int kPageW = 1200, kPageH = 1700, kDpi = 127;  // 5 px per mm
constexpr unsigned kOpenCodes[] = {0,  1,  16, 2,  32, 3,  48, 4,  64,
                                   18, 33, 20, 65, 35, 50, 52, 67};
constexpr int kHatches[] = {50,  100, 125, 200, 250, 300, 375, 400, 500, 600,
                            625, 700, 750, 800, 875, 900, 1000, 1001, 450};

// Draws in device-pixel placement whatever the mapping: `u` logical units
// per pixel, and positions given in device pixels of the band that starts
// at device y `top`.
class Sheet {
public:
    Sheet(HDC hdc, int top, int u) : hdc_(hdc), top_(top), u_(u) {}

    POINT At(int x, int y) const {
        POINT p{x, top_ + y};
        DPtoLP(hdc_, &p, 1);
        return p;
    }
    int U(int px) const { return px * u_; }
    // A radius in device pixels as a directed logical radius along y.
    int Ry(int px) const {
        POINT a = At(0, 0), b = At(0, px);
        return b.y - a.y;
    }
    RECT Box(int x, int y, int w, int h) const {
        const POINT a = At(x, y), b = At(x + w, y + h);
        return RECT{a.x, a.y, b.x, b.y};
    }
    LINEREC Line(int widthPx, int kind, int cap, COLORREF color) const {
        LINEREC l = test::Line(U(widthPx), kind, cap, color);
        if (kind == 8) {
            l.dashCount = 4;
            l.dashPattern[0] = U(14);
            l.dashPattern[1] = U(4);
            l.dashPattern[2] = U(2);
            l.dashPattern[3] = U(4);
        }
        return l;
    }
    void Rect(int x, int y, int w, int h, int hatch, int flags, LINEREC l, RECTREC s) const {
        EXPECT_EQ(foExtRectangle(hdc_, Box(x, y, w, h), hatch, flags, &l, &s, nullptr),
                  s.openSides == 0x13 ? 0 : 1);
    }
    void Oval(int cx, int cy, int rx, int ry, int hatch, int flags, LINEREC l) const {
        const POINT c = At(cx, cy);
        EXPECT_EQ(foExtEllipse(hdc_, c.x, c.y, U(rx), Ry(ry), hatch, flags, &l, nullptr), 1);
    }
    HDC dc() const { return hdc_; }

private:
    HDC hdc_;
    int top_, u_;
};

// Stripes under the transparent fills, so that paper showing through is
// visible; placed in device pixels (MM_TEXT for the moment).
void Stripes(HDC hdc, int top, int height) {
    const int mode = GetMapMode(hdc);
    POINT org{0, 0};
    GetViewportOrgEx(hdc, &org);
    SetMapMode(hdc, MM_TEXT);
    SetViewportOrgEx(hdc, 0, 0, nullptr);
    HBRUSH a = CreateSolidBrush(RGB(255, 230, 150));
    for (int x = 0; x < kPageW; x += 8) {
        RECT r{x, top, x + 4, top + height};
        FillRect(hdc, &r, a);
    }
    DeleteObject(a);
    SetMapMode(hdc, mode);
    SetViewportOrgEx(hdc, org.x, org.y, nullptr);
}

// One band of the page (840 pixels high).
void DrawBand(const Sheet& s, int top) {
    // Row 1: the open-sides table, then 0x13 (refused after its fill).
    for (int i = 0; i < 17; ++i)
        s.Rect(14 + 66 * i, 14, 50, 44, 0, 0, s.Line(3, 1, 1, RGB(0, 0, 160)),
               Shape(kOpenCodes[i], s.U(10), s.U(10), s.U(10), s.U(10)));
    // Row 2: radii 0 to larger than the sides, one radius per corner too,
    // square ends; the last box is the refused 0x13 with a grey fill.
    const int radii[] = {0, 3, 8, 15, 22, 30, 45, 80};
    for (int i = 0; i < 8; ++i)
        s.Rect(14 + 80 * i, 80, 60, 46, 0, 0, s.Line(2, 1, 2, RGB(160, 0, 0)),
               Shape(0, s.U(radii[i]), s.U(radii[i]), s.U(radii[i]), s.U(radii[i])));
    s.Rect(660, 80, 90, 46, 0, 0, s.Line(4, 1, 1, RGB(160, 0, 0)),
           Shape(0, s.U(0), s.U(10), s.U(20), s.U(40)));
    s.Rect(770, 80, 90, 46, 0, 0, s.Line(6, 4, 1, RGB(160, 0, 0)),
           Shape(0, s.U(30), s.U(0), s.U(8), s.U(0)));
    s.Rect(880, 80, 40, 46, 0, 0, s.Line(7, 1, 1, RGB(160, 0, 0)),
           Shape(0, s.U(20), s.U(20), s.U(20), s.U(20)));  // pull-ins
    s.Rect(940, 80, 24, 46, 0, 0, s.Line(9, 1, 2, RGB(160, 0, 0)), Shape(2, s.U(6), s.U(6), 0, 0));
    s.Rect(990, 80, 80, 46, 500, 0, s.Line(3, 1, 1, RGB(160, 0, 0)), Shape(0x13, s.U(8)));

    // Row 3: widths 1 to 12 pixels with caps 1, 2, 3 in turn, radius 12.
    for (int w = 1; w <= 12; ++w)
        s.Rect(14 + 96 * (w - 1), 150, 76, 56, 0, 0,
               s.Line(w, 1, 1 + (w - 1) % 3, RGB(0, 110, 0)),
               Shape(w % 4 == 0 ? 0x34 : 0, s.U(12), s.U(12), s.U(12), s.U(12)));

    // Row 4: every line kind 0 to 10, thin and wide, rounded.
    for (int k = 0; k <= 10; ++k) {
        s.Rect(14 + 104 * k, 226, 88, 50, 0, 0, s.Line(1, k, 3, RGB(120, 0, 120)),
               Shape(0, s.U(14), s.U(6), s.U(20), 0));
        s.Rect(14 + 104 * k, 290, 88, 50, 0, 0, s.Line(5, k, k % 2 ? 1 : 3, RGB(120, 0, 120)),
               Shape(k == 9 ? 0 : 0x12, s.U(14), s.U(6), s.U(20), 0));
    }
    // Double frames of growing width, with radii, one open.
    for (int i = 0; i < 6; ++i)
        s.Rect(14 + 130 * i, 360, 110, 60, i % 2 ? 250 : 0, 0,
               s.Line(2 + 3 * i, 9, 1 + i % 3, RGB(0, 90, 140)),
               Shape(i == 5 ? 0x41 : 0, s.U(4 * i), s.U(20), 0, s.U(2 * i)));

    // Row 5: every hatch code opaque, row 6 transparent over stripes.
    Stripes(s.dc(), top + 510, 64);
    for (int i = 0; i < 19; ++i) {
        SetTextColor(s.dc(), RGB(0, 0, 0));
        s.Rect(14 + 61 * i, 440, 52, 56, kHatches[i], 0, s.Line(1, 1, 3, RGB(0, 0, 0)),
               Shape(0, s.U(8), s.U(8), s.U(8), s.U(8)));
        SetTextColor(s.dc(), RGB(200, 0, 0));
        s.Rect(14 + 61 * i, 514, 52, 56, kHatches[i], 1, s.Line(1, 1, 3, RGB(0, 0, 0)),
               Shape(0, s.U(8), s.U(8), s.U(8), s.U(8)));
    }
    SetTextColor(s.dc(), RGB(0, 0, 0));

    // Rows 7 and 8: ellipses of every kind, fills opaque and transparent.
    Stripes(s.dc(), top + 690, 140);
    for (int k = 0; k <= 10; ++k) {
        s.Oval(56 + 104 * k, 630, 44, 28, k == 0 ? 300 : 0, 0, s.Line(1, k, 3, RGB(140, 60, 0)));
        s.Oval(56 + 104 * k, 720, 44, 24, 0, 0, s.Line(6, k, k % 2 ? 1 : 3, RGB(140, 60, 0)));
    }
    SetTextColor(s.dc(), RGB(0, 0, 180));
    const int ovalHatch[] = {100, 500, 875, 1000, 1001, 250};
    for (int i = 0; i < 6; ++i) {
        s.Oval(100 + 190 * i, 790, 80, 36, ovalHatch[i], i % 2, s.Line(3 + 3 * i, 9, 1, RGB(0, 0, 0)));
    }
    SetTextColor(s.dc(), RGB(0, 0, 0));
}

std::string OutDir() {
    const char* d = std::getenv("WX5N_TEST_TMP");
    return d && *d ? d : "/tmp";
}

TEST(ReferencePage, MatchesTheGoldenImage) {
    Page page(kPageW, kPageH, kDpi);
    HDC hdc = page.dc();
    ASSERT_NE(hdc, nullptr);
    // A current brush for hatch 1001: a light grey solid one.
    HBRUSH grey = CreateSolidBrush(RGB(200, 200, 200));
    HGDIOBJ old = SelectObject(hdc, grey);

    SetMapMode(hdc, MM_TEXT);
    DrawBand(Sheet(hdc, 0, 1), 0);

    SetMapMode(hdc, MM_LOMETRIC);  // 0.1 mm: two units per pixel, y up
    SetViewportOrgEx(hdc, 0, 850, nullptr);
    DrawBand(Sheet(hdc, 850, 2), 850);
    SetMapMode(hdc, MM_TEXT);
    SetViewportOrgEx(hdc, 0, 0, nullptr);
    SelectObject(hdc, old);
    DeleteObject(grey);

    std::string cmd = "mkdir -p '" + OutDir() + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const std::string out = OutDir() + "/rect_refpage.png";
    ASSERT_TRUE(swgdi_WritePNG(hdc, out.c_str()));

    const std::string golden = std::string(WX5N_DRAW_GOLDEN_DIR) + "/refpage.png";
    const char* update = std::getenv("WX5N_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        ASSERT_TRUE(swgdi_WritePNG(hdc, golden.c_str()));
        GTEST_SKIP() << "golden image rewritten: " << golden;
    }
    int w = 0, h = 0;
    std::vector<uint32_t> want;
    ASSERT_TRUE(ReadPng(golden, &w, &h, &want)) << "no golden image at " << golden;
    ASSERT_EQ(w, kPageW);
    ASSERT_EQ(h, kPageH);
    const std::vector<uint32_t> got = page.Pixels();
    size_t differ = 0, first = got.size();
    for (size_t i = 0; i < got.size(); ++i) {
        if (got[i] != want[i]) {
            if (first == got.size()) first = i;
            ++differ;
        }
    }
    EXPECT_EQ(differ, 0u) << "first difference at (" << first % kPageW << ", " << first / kPageW
                          << "); the page is in " << out;
}

}  // namespace
}  // namespace wx5n::test
