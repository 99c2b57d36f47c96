// The path driver: each case draws on a vector page whose sink writes one
// line per call; the lines must match the case's expected geometry.
#include "swgdi_path.h"
#include "swgdi_test_util.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>

using namespace swgdi_test;

namespace {

std::string Fmt(const char* f, double a = 0, double b = 0, double c = 0, double d = 0, double e = 0,
                double g = 0) {
    char buf[160];
    std::snprintf(buf, sizeof buf, f, a, b, c, d, e, g);
    return buf;
}

// Records sink calls: "M x,y", "L x,y", "C x1,y1 x2,y2 x3,y3", "Z",
// "S width cap join rgb", "F rule solid rgb" or "F rule pat WxH ink-count
// ink-rgb paper(-rgb|none) org", "I x,y wxh pixels...", "W".
struct Recorder {
    std::string out;
    static Recorder& Of(void* c) { return *static_cast<Recorder*>(c); }
    void Line(const std::string& s) { out += s + "\n"; }
    SWGDI_PATH_SINK Sink() {
        SWGDI_PATH_SINK s{};
        s.context = this;
        s.move_to = [](void* c, double x, double y) { Of(c).Line(Fmt("M %g,%g", x, y)); };
        s.line_to = [](void* c, double x, double y) { Of(c).Line(Fmt("L %g,%g", x, y)); };
        s.curve_to = [](void* c, double a, double b, double d, double e, double f, double g) {
            Of(c).Line(Fmt("C %.4g,%.4g %.4g,%.4g %.4g,%.4g", a, b, d, e, f, g));
        };
        s.close_path = [](void* c) { Of(c).Line("Z"); };
        s.stroke = [](void* c, const SWGDI_STROKE* st) {
            char buf[80];
            std::snprintf(buf, sizeof buf, "S %g %d %d %06x", st->width, st->cap, st->join, st->rgb);
            Of(c).Line(buf);
        };
        s.fill = [](void* c, const SWGDI_FILL* f) {
            char buf[120];
            if (!f->pattern) {
                std::snprintf(buf, sizeof buf, "F %d solid %06x", f->rule, f->rgb);
            } else {
                int ink = 0;
                for (int i = 0; i < f->patWidth * f->patHeight; ++i) ink += f->ink[i] != 0;
                char paper[16] = "none";
                if (!f->paperTransparent) std::snprintf(paper, sizeof paper, "%06x", f->paperRgb);
                std::snprintf(buf, sizeof buf, "F %d pat %dx%d %d %06x %s %d,%d", f->rule, f->patWidth,
                              f->patHeight, ink, f->inkRgb, paper, f->orgX, f->orgY);
            }
            Of(c).Line(buf);
        };
        s.image = [](void* c, const SWGDI_IMAGE* im) {
            std::string line = Fmt("I %g,%g %gx%g", im->x, im->y, im->width, im->height);
            for (int y = 0; y < im->pixelsHigh; ++y)
                for (int x = 0; x < im->pixelsWide; ++x) {
                    const uint32_t* row = reinterpret_cast<const uint32_t*>(
                        reinterpret_cast<const uint8_t*>(im->pixels) + im->stride * y);
                    char px[16];
                    std::snprintf(px, sizeof px, " %08x", row[x]);
                    line += px;
                }
            Of(c).Line(line);
        };
        s.warning = [](void* c, const char*) { Of(c).Line("W"); };
        return s;
    }
};

// A checker-board-like 8x8 monochrome pattern: rows 0xF0 then 0x0F, half ink.
HBRUSH PatternBrush() {
    const uint8_t bits[16] = {0xF0, 0, 0x0F, 0, 0xF0, 0, 0x0F, 0, 0xF0, 0, 0x0F, 0, 0xF0, 0, 0x0F, 0};
    HBITMAP bm = CreateBitmap(8, 8, 1, 1, bits);
    HBRUSH br = CreatePatternBrush(bm);
    DeleteObject(bm);
    return br;
}

// The transparent fill as the drawing library issues it: XOR box with a
// solid brush of the text colour, the shape under MASKPEN with black text
// and white background, the same XOR box.
void TransparentFill(HDC dc, bool patBlt) {
    SetTextColor(dc, RGB(200, 0, 0));
    SelectObject(dc, GetStockObject(NULL_PEN));
    HBRUSH text = CreateSolidBrush(RGB(200, 0, 0)), pattern = PatternBrush();
    for (int pass = 0; pass < 3; ++pass) {
        const bool box = pass != 1;
        SelectObject(dc, box ? text : pattern);
        SetROP2(dc, box ? R2_XORPEN : R2_MASKPEN);
        SetTextColor(dc, box ? RGB(200, 0, 0) : RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        if (!box) {
            const POINT tri[3] = {{12, 12}, {40, 14}, {20, 35}};
            Polygon(dc, tri, 3);
        } else if (patBlt) {
            PatBlt(dc, 10, 10, 40, 30, PATINVERT);
        } else {
            Rectangle(dc, 10, 10, 41, 41);
        }
    }
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    DeleteObject(text);
    DeleteObject(pattern);
}

struct Case {
    const char* name;
    std::function<void(HDC)> draw;
    const char* expected;
};

const Case kCases[] = {
    {"rectangle: pixel box, outline through border pixel centres",
     [](HDC dc) {
         SelectObject(dc, CreateSolidBrush(RGB(0, 255, 0)));
         Rectangle(dc, 2, 1, 9, 5);
     },
     "M 2,1\nL 9,1\nL 9,5\nL 2,5\nZ\nF 1 solid 00ff00\n"
     "M 2.5,1.5\nL 8.5,1.5\nL 8.5,4.5\nL 2.5,4.5\nZ\nS 1 512 8192 000000\n"},
    {"rectangle with the null pen: one pixel less right and bottom",
     [](HDC dc) {
         SelectObject(dc, GetStockObject(NULL_PEN));
         Rectangle(dc, 3, 2, 10, 7);
     },
     "M 3,2\nL 9,2\nL 9,6\nL 3,6\nZ\nF 1 solid ffffff\n"},
    {"cosmetic line through pixel centres",
     [](HDC dc) {
         MoveToEx(dc, 1, 2, nullptr);
         LineTo(dc, 11, 7);
     },
     "M 1.5,2.5\nL 11.5,7.5\nS 1 512 0 000000\n"},
    {"wide pen: round ends and joins, odd width on pixel centres",
     [](HDC dc) {
         SelectObject(dc, CreatePen(PS_SOLID, 5, RGB(0, 0, 255)));
         const POINT p[3] = {{10, 10}, {30, 10}, {30, 20}};
         Polyline(dc, p, 3);
     },
     "M 10.5,10.5\nL 30.5,10.5\nL 30.5,20.5\nS 5 0 0 0000ff\n"},
    {"even-width pen on pixel edges",
     [](HDC dc) {
         SelectObject(dc, CreatePen(PS_SOLID, 4, RGB(0, 0, 255)));
         MoveToEx(dc, 3, 3, nullptr);
         LineTo(dc, 3, 20);
     },
     "M 3,3\nL 3,20\nS 4 0 0 0000ff\n"},
    {"wide-pen rectangle: round joins on the border pixels' lines",
     [](HDC dc) {
         SelectObject(dc, GetStockObject(NULL_BRUSH));
         SelectObject(dc, CreatePen(PS_SOLID, 4, RGB(0, 0, 0)));
         Rectangle(dc, 10, 10, 30, 20);
     },
     "M 10,10\nL 29,10\nL 29,19\nL 10,19\nZ\nS 4 0 0 000000\n"},
    {"dashed cosmetic pen, transparent gaps: 18 on, 6 off, carried across segments",
     [](HDC dc) {
         SetBkMode(dc, TRANSPARENT);
         SelectObject(dc, CreatePen(PS_DASH, 1, RGB(0, 0, 0)));
         const POINT p[3] = {{0, 0}, {20, 0}, {20, 30}};
         Polyline(dc, p, 3);
     },
     "M 0.5,0.5\nL 18.5,0.5\nM 20.5,4.5\nL 20.5,22.5\nM 20.5,28.5\nL 20.5,30.5\nS 1 512 0 000000\n"},
    {"dashed cosmetic pen, opaque gaps in the background colour",
     [](HDC dc) {
         SetBkColor(dc, RGB(1, 2, 3));
         SelectObject(dc, CreatePen(PS_DOT, 1, RGB(0, 0, 0)));
         MoveToEx(dc, 0, 5, nullptr);
         LineTo(dc, 9, 5);
     },
     "M 0.5,5.5\nL 3.5,5.5\nM 6.5,5.5\nL 9.5,5.5\nS 1 512 0 000000\n"
     "M 3.5,5.5\nL 6.5,5.5\nS 1 512 0 010203\n"},
    {"polygon, alternate rule, shifted to pixel centres",
     [](HDC dc) {
         SelectObject(dc, GetStockObject(NULL_PEN));
         const POINT p[3] = {{0, 0}, {10, 0}, {0, 8}};
         Polygon(dc, p, 3);
     },
     "M 0.5,0.5\nL 10.5,0.5\nL 0.5,8.5\nZ\nF 1 solid ffffff\n"},
    {"polygon, winding rule",
     [](HDC dc) {
         SetPolyFillMode(dc, WINDING);
         SelectObject(dc, GetStockObject(NULL_PEN));
         const POINT p[3] = {{0, 0}, {10, 0}, {0, 8}};
         Polygon(dc, p, 3);
     },
     "M 0.5,0.5\nL 10.5,0.5\nL 0.5,8.5\nZ\nF 2 solid ffffff\n"},
    {"ellipse with the null pen: four Bezier quarters over the whole box",
     [](HDC dc) {
         SelectObject(dc, GetStockObject(NULL_PEN));
         SelectObject(dc, GetStockObject(BLACK_BRUSH));
         Ellipse(dc, 0, 0, 20, 10);
     },
     "M 10,0\nC 15.52,0 20,2.239 20,5\nC 20,7.761 15.52,10 10,10\nC 4.477,10 0,7.761 0,5\n"
     "C 0,2.239 4.477,0 10,0\nZ\nF 1 solid 000000\n"},
    {"round rectangle with a pen: straight sides between the corners",
     [](HDC dc) {
         SelectObject(dc, GetStockObject(NULL_BRUSH));
         RoundRect(dc, 0, 0, 21, 11, 5, 5);
     },
     "M 2.5,0.5\nL 18.5,0.5\nC 19.6,0.5 20.5,1.395 20.5,2.5\nL 20.5,8.5\n"
     "C 20.5,9.605 19.6,10.5 18.5,10.5\nL 2.5,10.5\nC 1.395,10.5 0.5,9.605 0.5,8.5\nL 0.5,2.5\n"
     "C 0.5,1.395 1.395,0.5 2.5,0.5\nZ\nS 1 512 0 000000\n"},
    {"MM_TWIPS: an inch square, y up",
     [](HDC dc) {
         SetMapMode(dc, MM_TWIPS);
         SelectObject(dc, GetStockObject(NULL_PEN));
         Rectangle(dc, 0, 0, 1440, -1440);
     },
     "M 0,0\nL 99,0\nL 99,99\nL 0,99\nZ\nF 1 solid ffffff\n"},
    {"x axis right to left",
     [](HDC dc) {
         SetMapMode(dc, MM_ANISOTROPIC);
         SetViewportExtEx(dc, -1, 1, nullptr);
         SetViewportOrgEx(dc, 100, 0, nullptr);
         MoveToEx(dc, 10, 5, nullptr);
         LineTo(dc, 30, 5);
     },
     "M 90.5,5.5\nL 70.5,5.5\nS 1 512 0 000000\n"},
    {"hatched FillRect on a transparent background: ink only, at the brush origin",
     [](HDC dc) {
         SetBkMode(dc, TRANSPARENT);
         SetBrushOrgEx(dc, 3, 4, nullptr);
         HBRUSH b = CreateHatchBrush(HS_CROSS, RGB(0, 0, 255));
         const RECT r{5, 5, 25, 15};
         FillRect(dc, &r, b);
         DeleteObject(b);
     },
     "M 5,5\nL 25,5\nL 25,15\nL 5,15\nZ\nF 2 pat 8x8 15 0000ff none 3,4\n"},
    {"R2_NOTCOPYPEN paints the inverse colour; R2_NOP paints nothing",
     [](HDC dc) {
         SetROP2(dc, R2_NOTCOPYPEN);
         SelectObject(dc, CreatePen(PS_SOLID, 1, RGB(0, 0, 255)));
         MoveToEx(dc, 0, 0, nullptr);
         LineTo(dc, 4, 0);
         SetROP2(dc, R2_NOP);
         LineTo(dc, 8, 0);
     },
     "M 0.5,0.5\nL 4.5,0.5\nS 1 512 0 ffff00\n"},
    {"transparent fill with XOR rectangles: one pattern fill, paper untouched",
     [](HDC dc) { TransparentFill(dc, false); },
     "M 12.5,12.5\nL 40.5,14.5\nL 20.5,35.5\nZ\nF 1 pat 8x8 32 c80000 none 0,0\n"},
    {"transparent fill with PATINVERT boxes",
     [](HDC dc) { TransparentFill(dc, true); },
     "M 12.5,12.5\nL 40.5,14.5\nL 20.5,35.5\nZ\nF 1 pat 8x8 32 c80000 none 0,0\n"},
    {"an XOR box left alone becomes an image on white paper, with a warning",
     [](HDC dc) {
         SelectObject(dc, GetStockObject(NULL_PEN));
         SetROP2(dc, R2_XORPEN);
         Rectangle(dc, 1, 1, 4, 3);
         SetROP2(dc, R2_COPYPEN);
         SelectObject(dc, GetStockObject(BLACK_PEN));
         MoveToEx(dc, 0, 0, nullptr);
         LineTo(dc, 0, 9);
     },
     "W\nI 1,1 2x1 ff000000 ff000000\nM 0.5,0.5\nL 0.5,9.5\nS 1 512 0 000000\n"},
    {"the same XOR box twice leaves the page as it was",
     [](HDC dc) {
         SelectObject(dc, GetStockObject(NULL_PEN));
         SetROP2(dc, R2_XORPEN);
         PatBlt(dc, 1, 1, 5, 5, PATINVERT);
         PatBlt(dc, 1, 1, 5, 5, PATINVERT);
     },
     ""},
    {"other ROP2s: an image of just the box, one warning for the page",
     [](HDC dc) {
         SetROP2(dc, R2_NOT);
         MoveToEx(dc, 2, 1, nullptr);
         LineTo(dc, 4, 1);
         PatBlt(dc, 0, 0, 1, 1, DSTINVERT);
     },
     "W\nI 0,0 7x4 00000000 00000000 00000000 00000000 00000000 00000000 00000000 "
     "00000000 00000000 ff000000 ff000000 00000000 00000000 00000000 "
     "00000000 00000000 00000000 00000000 00000000 00000000 00000000 "
     "00000000 00000000 00000000 00000000 00000000 00000000 00000000\n"
     "I 0,0 1x1 ff000000\n"},
    {"StretchDIBits: an image of the source pixels, mirrored by a negative extent",
     [](HDC dc) {
         BITMAPINFO bi{};
         bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
         bi.bmiHeader.biWidth = 2;
         bi.bmiHeader.biHeight = -1;
         bi.bmiHeader.biPlanes = 1;
         bi.bmiHeader.biBitCount = 32;
         const uint32_t px[2] = {0x00112233, 0x00445566};
         StretchDIBits(dc, 10, 20, -4, 2, 0, 0, 2, 1, px, &bi, DIB_RGB_COLORS, SRCCOPY);
     },
     "I 7,20 4x2 ff445566 ff112233\n"},
    {"StretchDIBits SRCAND of black and white: an image whose white leaves the page alone",
     [](HDC dc) {
         BITMAPINFO bi{};
         bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
         bi.bmiHeader.biWidth = 3;
         bi.bmiHeader.biHeight = -1;
         bi.bmiHeader.biPlanes = 1;
         bi.bmiHeader.biBitCount = 32;
         const uint32_t px[3] = {0x00FFFFFF, 0x00000000, 0x00FFFFFF};
         StretchDIBits(dc, 10, 20, 6, 2, 0, 0, 3, 1, px, &bi, DIB_RGB_COLORS, SRCAND);
     },
     "I 10,20 6x2 00000000 ff000000 00000000\n"},
};

TEST(SwgdiPathDriver, PrimitivesBecomeDeviceGeometry) {
    for (const Case& c : kCases) {
        Recorder rec;
        SWGDI_PATH_SINK sink = rec.Sink();
        HDC dc = swgdi_CreatePathDC(1000, 1000, 100, 100, &sink);  // 254 mm square
        ASSERT_NE(dc, nullptr);
        HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH);
        c.draw(dc);
        DeleteObject(SelectObject(dc, pen));
        DeleteObject(SelectObject(dc, brush));
        DeleteDC(dc);
        EXPECT_EQ(rec.out, c.expected) << c.name;
    }
}

TEST(SwgdiPathDriver, RejectsBadPagesAndReportsThePage) {
    Recorder rec;
    SWGDI_PATH_SINK sink = rec.Sink();
    EXPECT_EQ(swgdi_CreatePathDC(0, 10, 100, 100, &sink), nullptr);
    EXPECT_EQ(swgdi_CreatePathDC(10, 10, 100, 100, nullptr), nullptr);
    SWGDI_PATH_SINK partial = sink;
    partial.fill = nullptr;
    EXPECT_EQ(swgdi_CreatePathDC(10, 10, 100, 100, &partial), nullptr);
    HDC dc = swgdi_CreatePathDC(4960, 7016, 600, 600, &sink);
    HDC page = swgdi_CreatePageDC(4960, 7016, 600, 600, 32);
    for (int cap : {HORZRES, VERTRES, HORZSIZE, VERTSIZE, LOGPIXELSX, TECHNOLOGY, BITSPIXEL})
        EXPECT_EQ(GetDeviceCaps(dc, cap), GetDeviceCaps(page, cap)) << cap;
    SWGDI_SURFACE s;
    EXPECT_FALSE(swgdi_GetSurface(dc, &s));
    EXPECT_EQ(GetPixel(dc, 1, 1), CLR_INVALID);
    HBITMAP bm = CreateBitmap(4, 4, 1, 32, nullptr);
    EXPECT_EQ(SelectObject(dc, bm), nullptr);
    DeleteObject(bm);
    DeleteDC(page);
    DeleteDC(dc);
}

// Dashes are walked only where a segment crosses the page: a line far
// larger than the page gives the dashes of its visible part alone, in the
// same phase as the whole line.
TEST(SwgdiPathDriver, DashesOfLongLinesStayNearThePage) {
    Recorder rec;
    SWGDI_PATH_SINK sink = rec.Sink();
    HDC dc = swgdi_CreatePathDC(1000, 1000, 100, 100, &sink);
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ old = SelectObject(dc, CreatePen(PS_DASH, 1, 0));
    MoveToEx(dc, -99984, 5, nullptr);  // 99984 = 4166 periods of 24
    LineTo(dc, 100000, 5);
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
    int pieces = 0, outside = 0;
    double x, y;
    for (size_t at = rec.out.find("M "); at != std::string::npos; at = rec.out.find("M ", at + 1)) {
        ASSERT_EQ(std::sscanf(rec.out.c_str() + at, "M %lf,%lf", &x, &y), 2);
        outside += x < -30 || x > 1030;
        ++pieces;
    }
    EXPECT_EQ(outside, 0);
    EXPECT_GE(pieces, 40);
    EXPECT_LE(pieces, 45);
    EXPECT_NE(rec.out.find("M 0.5,5.5\nL 18.5,5.5\n"), std::string::npos);
}

// The raster driver builds its drawing state once per change: every state
// setter must make the next primitive use the new state.
TEST(SwgdiRasterState, EachSetterReachesTheNextPrimitive) {
    const std::function<void(HDC)> setters[] = {
        [](HDC dc) { SetBkColor(dc, RGB(0, 0, 255)); },
        [](HDC dc) { SetBkMode(dc, TRANSPARENT); },
        [](HDC dc) { SetROP2(dc, R2_BLACK); },
        [](HDC dc) { SetBrushOrgEx(dc, 0, 1, nullptr); },
        [](HDC dc) { SelectObject(dc, GetStockObject(BLACK_BRUSH)); },
    };
    for (size_t i = 0; i < sizeof setters / sizeof setters[0]; ++i) {
        Page page(16, 16, RGB(0, 255, 0));
        HBRUSH hatch = CreateHatchBrush(HS_HORIZONTAL, RGB(255, 0, 0));
        HGDIOBJ old = SelectObject(page.dc(), hatch);
        SelectObject(page.dc(), GetStockObject(NULL_PEN));
        Rectangle(page.dc(), 0, 0, 9, 9);
        const uint32_t before = page.At(1, 4);
        setters[i](page.dc());
        page.Clear(RGB(0, 255, 0));
        Rectangle(page.dc(), 0, 0, 9, 9);
        EXPECT_NE(page.At(1, 4), before) << "setter " << i;
        SelectObject(page.dc(), old);
        DeleteObject(hatch);
    }
}

}  // namespace
