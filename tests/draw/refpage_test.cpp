// The reference page: every open-sides value, radii from 0 to beyond the
// sides, widths 1 to 12 device pixels, every line kind, every hatch code,
// opaque and transparent fills and ellipses of every kind (the figures of
// cases/refpage.txt), drawn once in MM_TEXT (upper half) and once in
// MM_LOMETRIC (lower half, y up, two logical units per pixel). The page is
// compared pixel for pixel with the golden image that was looked at and
// committed; WX5N_UPDATE_GOLDEN=1 rewrites the golden image instead.
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "draw_test_util.h"

namespace wx5n::test {
namespace {

constexpr int kPageW = 1200, kPageH = 1700, kDpi = 127;  // 5 px per mm

// Draws the figures of the file in the band that starts at device y `top`,
// `u` logical units per pixel, placing them by device pixels.
void DrawBand(HDC hdc, int top, int u) {
    auto at = [&](int x, int y) {
        POINT p{x, top + y};
        DPtoLP(hdc, &p, 1);
        return p;
    };
    std::ifstream in(std::string(WX5N_DRAW_CASES_DIR) + "/refpage.txt");
    ASSERT_TRUE(in);
    int figures = 0;
    for (std::string text; std::getline(in, text);) {
        std::istringstream f(text);
        std::string op;
        if (!(f >> op) || op[0] == '#') continue;
        std::vector<long> a;
        for (std::string w; f >> w;) a.push_back(std::stol(w, nullptr, 0));
        if (op == "text") {
            SetTextColor(hdc, static_cast<COLORREF>(a[0]));
        } else if (op == "stripes") {  // in device pixels whatever the mapping
            const int mode = GetMapMode(hdc);
            POINT org;
            GetViewportOrgEx(hdc, &org);
            SetMapMode(hdc, MM_TEXT);
            SetViewportOrgEx(hdc, 0, 0, nullptr);
            HBRUSH b = CreateSolidBrush(RGB(255, 230, 150));
            for (int x = 0; x < kPageW; x += 8) {
                RECT r{x, top + static_cast<int>(a[0]), x + 4, top + static_cast<int>(a[0] + a[1])};
                FillRect(hdc, &r, b);
            }
            DeleteObject(b);
            SetMapMode(hdc, mode);
            SetViewportOrgEx(hdc, org.x, org.y, nullptr);
        } else if (op == "rect" || op == "oval") {
            LINEREC line = Line(u * a[6], a[7], a[8], a[9]);  // after the hatch and flags
            if (line.kind == 8) {
                line.dashCount = 4;
                for (int i = 0; i < 4; ++i) line.dashPattern[i] = u * (i == 0 ? 14 : i == 2 ? 2 : 4);
            }
            const int hatch = a[4], flags = a[5];
            if (op == "rect") {
                RECTREC s = Shape(a[10], u * a[11], u * a[12], u * a[13], u * a[14]);
                const POINT p = at(a[0], a[1]), q = at(a[0] + a[2], a[1] + a[3]);
                EXPECT_EQ(foExtRectangle(hdc, RECT{p.x, p.y, q.x, q.y}, hatch, flags, &line, &s, nullptr),
                          s.openSides == 0x13 ? 0 : 1) << text;
            } else {
                const POINT c = at(a[0], a[1]);
                const int ry = at(0, a[3]).y - at(0, 0).y;  // directed along y
                EXPECT_EQ(foExtEllipse(hdc, c.x, c.y, u * a[2], ry, hatch, flags, &line, nullptr), 1) << text;
            }
            ++figures;
        }
    }
    EXPECT_GT(figures, 100);
}

TEST(ReferencePage, MatchesTheGoldenImage) {
    Page page(kPageW, kPageH, kDpi);
    HDC hdc = page.dc();
    // A current brush for hatch 1001: a light grey solid one.
    HBRUSH grey = CreateSolidBrush(RGB(200, 200, 200));
    HGDIOBJ old = SelectObject(hdc, grey);
    DrawBand(hdc, 0, 1);
    SetMapMode(hdc, MM_LOMETRIC);  // 0.1 mm: two units per pixel, y up
    SetViewportOrgEx(hdc, 0, 850, nullptr);
    DrawBand(hdc, 850, 2);
    SetMapMode(hdc, MM_TEXT);
    SetViewportOrgEx(hdc, 0, 0, nullptr);
    SelectObject(hdc, old);
    DeleteObject(grey);

    const char* tmp = std::getenv("WX5N_TEST_TMP");
    const std::string dir = tmp && *tmp ? tmp : "/tmp";
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "'").c_str()), 0);
    const std::string out = dir + "/rect_refpage.png";
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
    for (size_t i = 0; i < got.size(); ++i)
        if (got[i] != want[i]) {
            first = std::min(first, i);
            ++differ;
        }
    EXPECT_EQ(differ, 0u) << "first difference at (" << first % kPageW << ", " << first / kPageW
                          << "); the page is in " << out;
}

}  // namespace
}  // namespace wx5n::test
