#include "scenarios.h"

namespace {

const COLORREF kRed = RGB(200, 30, 40);
const COLORREF kGreen = RGB(20, 170, 60);
const COLORREF kBlue = RGB(30, 60, 210);
const COLORREF kYellow = RGB(230, 210, 20);
const COLORREF kPurple = RGB(130, 40, 150);
const COLORREF kTeal = RGB(10, 130, 140);

// Selects a new pen or brush, returning the previous one; Done() restores it
// and deletes the new one.
struct Use {
    HDC dc;
    HGDIOBJ obj;
    HGDIOBJ old;
    Use(HDC d, HGDIOBJ o) : dc(d), obj(o), old(SelectObject(d, o)) {}
    ~Use() {
        SelectObject(dc, old);
        DeleteObject(obj);
    }
};

void Fill(HDC dc, int l, int t, int r, int b, COLORREF c) {
    RECT rc = {l, t, r, b};
    HBRUSH br = CreateSolidBrush(c);
    FillRect(dc, &rc, br);
    DeleteObject(br);
}

// A checkered backdrop so that ROP2 results differ from plain copies.
void Backdrop(HDC dc) {
    Fill(dc, 0, 0, 61, 47, RGB(240, 235, 225));
    for (int y = 0; y < 47; y += 6)
        for (int x = (y / 6) % 2 * 6; x < 61; x += 12) Fill(dc, x, y, x + 6, y + 6, RGB(60, 90, 120));
}

HBITMAP MonoPattern(const unsigned char rows[8]) {
    // CreateBitmap rows are padded to 16 bits.
    unsigned char bits[16];
    for (int i = 0; i < 8; ++i) {
        bits[2 * i] = rows[i];
        bits[2 * i + 1] = 0;
    }
    return CreateBitmap(8, 8, 1, 1, bits);
}

HBRUSH PatternBrush(const unsigned char rows[8]) {
    HBITMAP bm = MonoPattern(rows);
    HBRUSH br = CreatePatternBrush(bm);
    DeleteObject(bm);
    return br;
}

const unsigned char kPat1[8] = {0x7F, 0xFF, 0xF7, 0xFF, 0x7F, 0xFF, 0xF7, 0xFF};
const unsigned char kPat2[8] = {0x55, 0xAB, 0x55, 0xAA, 0x55, 0xBA, 0x55, 0xAA};
const unsigned char kPat3[8] = {0x00, 0x40, 0x00, 0x10, 0x00, 0x04, 0x00, 0x01};
const unsigned char kPatArrow[8] = {0xE7, 0xC3, 0x81, 0x00, 0xE7, 0xE7, 0xE7, 0xFF};

// A five-pointed star drawn in one stroke: self-intersecting.
void Star(POINT* p, int cx, int cy) {
    const int xs[5] = {0, 12, -18, 18, -11};
    const int ys[5] = {-20, 18, -5, -6, 17};
    for (int i = 0; i < 5; ++i) {
        p[i].x = cx + xs[i];
        p[i].y = cy + ys[i];
    }
}

// A small deterministic generator, the same on every platform.
unsigned Next(unsigned* state) {
    *state = *state * 1103515245u + 12345u;
    return (*state >> 16) & 0x7FFF;
}

// ---------------------------------------------------------------- lines

void LinesShallow(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kRed));
    const int ends[][2] = {{58, 3}, {58, 11}, {58, 20}, {2, 5}, {2, 17}, {2, 40}, {57, 44}, {59, 30}};
    for (int i = 0; i < 8; ++i) {
        MoveToEx(dc, 30, 23, nullptr);
        LineTo(dc, ends[i][0], ends[i][1]);
    }
}

void LinesSteep(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 0, kBlue));
    const int ends[][2] = {{33, 1}, {41, 2}, {22, 0}, {17, 45}, {38, 46}, {29, 44}, {47, 1}, {9, 46}};
    for (int i = 0; i < 8; ++i) {
        MoveToEx(dc, 30, 23, nullptr);
        LineTo(dc, ends[i][0], ends[i][1]);
    }
}

void LinesDiagonal(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kGreen));
    MoveToEx(dc, 5, 5, nullptr);
    LineTo(dc, 40, 40);
    MoveToEx(dc, 55, 3, nullptr);
    LineTo(dc, 12, 46);
    MoveToEx(dc, 50, 44, nullptr);
    LineTo(dc, 10, 4);
    MoveToEx(dc, 3, 44, nullptr);
    LineTo(dc, 44, 3);
}

// The same lines forwards and backwards, in XOR: pixels that differ between
// the two directions stay visible.
void LinesReversedXor(HDC dc) {
    Backdrop(dc);
    Use pen(dc, CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    SetROP2(dc, R2_XORPEN);
    const int seg[][4] = {{3, 4, 57, 13}, {5, 40, 33, 2}, {8, 8, 19, 44}, {50, 45, 20, 30},
                          {58, 2, 4, 30}, {31, 1, 36, 46}, {2, 23, 59, 24}, {45, 10, 11, 38}};
    for (int i = 0; i < 8; ++i) {
        MoveToEx(dc, seg[i][0], seg[i][1], nullptr);
        LineTo(dc, seg[i][2], seg[i][3]);
        MoveToEx(dc, seg[i][2] + 1, seg[i][3], nullptr);
        LineTo(dc, seg[i][0] + 1, seg[i][1]);
    }
}

void LinesAxis(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kPurple));
    MoveToEx(dc, 4, 4, nullptr);
    LineTo(dc, 50, 4);
    MoveToEx(dc, 50, 8, nullptr);
    LineTo(dc, 4, 8);
    MoveToEx(dc, 10, 12, nullptr);
    LineTo(dc, 10, 40);
    MoveToEx(dc, 14, 40, nullptr);
    LineTo(dc, 14, 12);
    MoveToEx(dc, 20, 20, nullptr);
    LineTo(dc, 20, 20);  // empty
    MoveToEx(dc, 25, 20, nullptr);
    LineTo(dc, 26, 20);  // one pixel
}

void PolylineXorJoints(HDC dc) {
    Backdrop(dc);
    Use pen(dc, CreatePen(PS_SOLID, 1, RGB(255, 255, 0)));
    SetROP2(dc, R2_XORPEN);
    POINT p[] = {{3, 3}, {30, 10}, {10, 25}, {50, 40}, {55, 5}, {35, 44}, {3, 3}};
    Polyline(dc, p, 7);
}

void LinesClipped(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kTeal));
    MoveToEx(dc, -20, -7, nullptr);
    LineTo(dc, 80, 60);
    MoveToEx(dc, 70, -3, nullptr);
    LineTo(dc, -9, 51);
    MoveToEx(dc, -100000, 20, nullptr);
    LineTo(dc, 100000, 27);
    MoveToEx(dc, 40, -500000, nullptr);
    LineTo(dc, 44, 500000);
    MoveToEx(dc, 60, 46, nullptr);
    LineTo(dc, 75, 61);
}

void LinesHugeCoordinates(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kRed));
    MoveToEx(dc, -20000000, -10000000, nullptr);
    LineTo(dc, 20000000, 10000010);
    MoveToEx(dc, 30, -200000000, nullptr);
    LineTo(dc, 10, 200000000);
    POINT p[] = {{-300000, 40}, {300000, 5}, {30, 46}};
    Polyline(dc, p, 3);
}

void LinesDashedOpaque(HDC dc) {
    SetBkColor(dc, RGB(250, 200, 200));
    const int styles[4] = {PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT};
    for (int i = 0; i < 4; ++i) {
        Use pen(dc, CreatePen(styles[i], 1, kBlue));
        MoveToEx(dc, 2, 3 + 5 * i, nullptr);
        LineTo(dc, 59, 3 + 5 * i);
        MoveToEx(dc, 3 + 4 * i, 25, nullptr);
        LineTo(dc, 40 + 5 * i, 46);
    }
}

void LinesDashedTransparent(HDC dc) {
    Backdrop(dc);
    SetBkMode(dc, TRANSPARENT);
    Use pen(dc, CreatePen(PS_DASHDOT, 1, kYellow));
    POINT p[] = {{2, 2}, {58, 10}, {40, 44}, {5, 30}, {20, 3}};
    Polyline(dc, p, 5);
    Rectangle(dc, 10, 12, 50, 40);
}

void LinesAllRops(HDC dc) {
    Backdrop(dc);
    for (int r = 1; r <= 16; ++r) {
        Use pen(dc, CreatePen(PS_SOLID, 1, RGB(180, 60, 200)));
        SetROP2(dc, r);
        MoveToEx(dc, 2 + 3 * r, 2, nullptr);
        LineTo(dc, 3 * r - 5, 45);
        MoveToEx(dc, 1, r * 2 + 6, nullptr);
        LineTo(dc, 60, r * 2 + 7);
    }
}

void LineToChain(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kRed));
    MoveToEx(dc, 5, 40, nullptr);
    for (int i = 0; i < 10; ++i) LineTo(dc, 5 + 5 * i + (i % 2) * 3, (i % 2) ? 6 + i : 40 - i);
    POINT cur;
    GetCurrentPositionEx(dc, &cur);
    SetPixel(dc, cur.x, cur.y + 2, kBlue);
}

// ---------------------------------------------------------------- rectangles

void RectBasic(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kBlue));
    Use br(dc, CreateSolidBrush(kYellow));
    Rectangle(dc, 3, 4, 20, 15);
    Rectangle(dc, 25, 2, 58, 9);
    Rectangle(dc, 5, 20, 6, 40);   // one column: pen only
    Rectangle(dc, 10, 20, 12, 22); // 2 x 2
    Rectangle(dc, 15, 20, 18, 45);
    Rectangle(dc, 22, 20, 22, 30); // empty
}

void RectNullPen(HDC dc) {
    Use pen(dc, GetStockObject(NULL_PEN));
    Use br(dc, CreateSolidBrush(kGreen));
    Rectangle(dc, 3, 4, 20, 15);
    Rectangle(dc, 25, 2, 58, 9);
    Rectangle(dc, 10, 20, 12, 22);
    Rectangle(dc, 30, 20, 31, 30);
}

void RectNullBrush(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kRed));
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 3, 4, 20, 15);
    Rectangle(dc, 10, 10, 50, 40);
}

void RectReversed(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kPurple));
    Use br(dc, CreateSolidBrush(kTeal));
    Rectangle(dc, 40, 30, 5, 3);
    Rectangle(dc, 58, 10, 45, 44);
}

void RectXorOverlap(HDC dc) {
    Backdrop(dc);
    Use pen(dc, CreatePen(PS_SOLID, 1, RGB(255, 0, 255)));
    Use br(dc, CreateSolidBrush(RGB(0, 255, 255)));
    SetROP2(dc, R2_XORPEN);
    Rectangle(dc, 3, 3, 40, 30);
    Rectangle(dc, 20, 15, 58, 44);
}

void RectClipped(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kRed));
    Use br(dc, CreateSolidBrush(kBlue));
    Rectangle(dc, -10, -10, 20, 20);
    Rectangle(dc, 50, 40, 100, 100);
    Rectangle(dc, -1000000, 25, 1000000, 30);
}

void RectStock(HDC dc) {
    Backdrop(dc);
    const int brushes[5] = {WHITE_BRUSH, LTGRAY_BRUSH, GRAY_BRUSH, DKGRAY_BRUSH, BLACK_BRUSH};
    for (int i = 0; i < 5; ++i) {
        SelectObject(dc, GetStockObject(i % 2 ? WHITE_PEN : BLACK_PEN));
        SelectObject(dc, GetStockObject(brushes[i]));
        Rectangle(dc, 2 + 11 * i, 3 + i, 12 + 11 * i, 40 - i);
    }
    SelectObject(dc, GetStockObject(BLACK_PEN));
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
}

void RectAllRopsBrush(HDC dc) {
    Backdrop(dc);
    Use pen(dc, GetStockObject(NULL_PEN));
    for (int r = 1; r <= 16; ++r) {
        Use br(dc, CreateSolidBrush(RGB(200, 100, 30)));
        SetROP2(dc, r);
        int x = ((r - 1) % 8) * 7 + 2, y = ((r - 1) / 8) * 22 + 2;
        Rectangle(dc, x, y, x + 7, y + 21);
    }
}

// ---------------------------------------------------------------- FillRect, PatBlt

void FillRectBasic(HDC dc) {
    HBRUSH b1 = CreateSolidBrush(kRed), b2 = CreateSolidBrush(kGreen);
    RECT r1 = {3, 4, 20, 15}, r2 = {40, 30, 25, 10}, r3 = {50, 5, 51, 6}, r4 = {-5, 40, 70, 44};
    SetROP2(dc, R2_XORPEN);  // FillRect ignores the ROP2
    FillRect(dc, &r1, b1);
    FillRect(dc, &r2, b2);
    FillRect(dc, &r3, b1);
    FillRect(dc, &r4, b2);
    DeleteObject(b1);
    DeleteObject(b2);
}

void FillRectPattern(HDC dc) {
    SetTextColor(dc, kBlue);
    SetBkColor(dc, kYellow);
    HBRUSH b = PatternBrush(kPatArrow);
    SetBrushOrgEx(dc, 3, 5, nullptr);
    RECT r1 = {1, 1, 30, 23};
    FillRect(dc, &r1, b);
    SetBrushOrgEx(dc, -2, 7, nullptr);
    RECT r2 = {31, 24, 60, 46};
    FillRect(dc, &r2, b);
    DeleteObject(b);
}

void PatBltRops(HDC dc) {
    Backdrop(dc);
    Use br(dc, CreateSolidBrush(RGB(100, 200, 50)));
    PatBlt(dc, 2, 2, 20, 10, PATCOPY);
    PatBlt(dc, 25, 2, 30, 12, PATINVERT);
    PatBlt(dc, 2, 15, 20, 12, DSTINVERT);
    PatBlt(dc, 25, 16, 15, 10, BLACKNESS);
    PatBlt(dc, 42, 16, 15, 10, WHITENESS);
    PatBlt(dc, 2, 30, 55, 5, 0x00A000C9);  // PATAND
}

void PatBltNegative(HDC dc) {
    Use br(dc, CreateSolidBrush(kPurple));
    PatBlt(dc, 30, 20, -12, -9, PATCOPY);
    PatBlt(dc, 40, 5, 15, -4, PATCOPY);
    PatBlt(dc, 10, 30, -6, 12, PATCOPY);
    PatBlt(dc, 50, 40, 0, 5, PATCOPY);
}

void PatBltPatternOrigin(HDC dc) {
    SetTextColor(dc, kRed);
    SetBkColor(dc, RGB(255, 255, 255));
    HBRUSH b = PatternBrush(kPat2);
    HGDIOBJ old = SelectObject(dc, b);
    const int org[4][2] = {{0, 0}, {1, 3}, {5, 7}, {-3, 2}};
    for (int i = 0; i < 4; ++i) {
        SetBrushOrgEx(dc, org[i][0], org[i][1], nullptr);
        PatBlt(dc, 1 + 15 * i, 1, 14, 45, PATCOPY);
    }
    SelectObject(dc, old);
    DeleteObject(b);
}

// ---------------------------------------------------------------- polygons

void PolyTriangle(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kBlue));
    Use br(dc, CreateSolidBrush(kYellow));
    POINT t1[] = {{5, 40}, {30, 3}, {56, 33}};
    Polygon(dc, t1, 3);
}

void PolyTriangleNullPen(HDC dc) {
    Use pen(dc, GetStockObject(NULL_PEN));
    Use br(dc, CreateSolidBrush(kGreen));
    POINT t1[] = {{5, 40}, {30, 3}, {56, 33}};
    Polygon(dc, t1, 3);
    POINT t2[] = {{2, 2}, {20, 2}, {2, 20}};
    Polygon(dc, t2, 3);
    POINT t3[] = {{58, 45}, {40, 45}, {58, 27}};
    Polygon(dc, t3, 3);
}

void PolyStarAlternate(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kRed));
    Use br(dc, CreateSolidBrush(kTeal));
    SetPolyFillMode(dc, ALTERNATE);
    POINT p[5];
    Star(p, 30, 23);
    Polygon(dc, p, 5);
}

void PolyStarWinding(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kRed));
    Use br(dc, CreateSolidBrush(kTeal));
    SetPolyFillMode(dc, WINDING);
    POINT p[5];
    Star(p, 30, 23);
    Polygon(dc, p, 5);
}

void PolyWindingDoubleLoop(HDC dc) {
    Use pen(dc, GetStockObject(NULL_PEN));
    Use br(dc, CreateSolidBrush(kPurple));
    SetPolyFillMode(dc, WINDING);
    // Two squares traced in one polygon, the second in the opposite sense.
    POINT p[] = {{3, 3}, {40, 3}, {40, 30}, {3, 30}, {3, 3}, {20, 15}, {20, 44}, {57, 44}, {57, 15}, {20, 15}};
    Polygon(dc, p, 10);
}

void PolyConcave(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kBlue));
    Use br(dc, CreateSolidBrush(kRed));
    POINT p[] = {{3, 3}, {57, 5}, {30, 20}, {55, 44}, {5, 40}, {18, 22}};
    Polygon(dc, p, 6);
}

void PolyClipped(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kGreen));
    Use br(dc, CreateSolidBrush(kBlue));
    POINT p[] = {{-20, -10}, {70, 5}, {40, 70}, {-5, 30}};
    Polygon(dc, p, 4);
}

void PolyDegenerate(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kRed));
    Use br(dc, CreateSolidBrush(kYellow));
    POINT two[] = {{5, 5}, {50, 20}};
    Polygon(dc, two, 2);
    POINT line[] = {{5, 30}, {25, 35}, {45, 40}};
    Polygon(dc, line, 3);
    POINT one[] = {{10, 44}};
    Polygon(dc, one, 1);  // fails
}

void PolyXor(HDC dc) {
    Backdrop(dc);
    Use pen(dc, CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    Use br(dc, CreateSolidBrush(RGB(80, 160, 240)));
    SetROP2(dc, R2_XORPEN);
    POINT p[] = {{3, 40}, {20, 2}, {35, 30}, {50, 3}, {58, 44}};
    Polygon(dc, p, 5);
}

void PolyMaskPen(HDC dc) {
    Backdrop(dc);
    Use pen(dc, CreatePen(PS_SOLID, 1, RGB(255, 0, 0)));
    Use br(dc, CreateSolidBrush(RGB(0, 255, 200)));
    SetROP2(dc, R2_MASKPEN);
    POINT p[] = {{5, 5}, {55, 10}, {45, 42}, {10, 35}};
    Polygon(dc, p, 4);
}

void PolyHatched(HDC dc) {
    SetBkColor(dc, RGB(250, 250, 180));
    for (int i = 0; i < 6; ++i) {
        LOGBRUSH lb = {BS_HATCHED, kBlue, (ULONG_PTR)i};
        Use br(dc, CreateBrushIndirect(&lb));
        SetBkMode(dc, i % 2 ? TRANSPARENT : OPAQUE);
        POINT p[] = {{2 + 10 * i, 2}, {11 + 10 * i, 2}, {11 + 10 * i, 44}, {2 + 10 * i, 30}};
        Polygon(dc, p, 4);
    }
}

// ---------------------------------------------------------------- patterns

void PatternRectOrigins(HDC dc) {
    SetTextColor(dc, kPurple);
    SetBkColor(dc, RGB(220, 240, 255));
    HBRUSH b = PatternBrush(kPat1);
    HGDIOBJ old = SelectObject(dc, b);
    SetBrushOrgEx(dc, 3, 1, nullptr);
    Rectangle(dc, 2, 2, 30, 22);
    SetBrushOrgEx(dc, 7, 6, nullptr);
    Rectangle(dc, 31, 2, 59, 22);
    SetBrushOrgEx(dc, -5, -3, nullptr);
    Rectangle(dc, 2, 24, 59, 45);
    SelectObject(dc, old);
    DeleteObject(b);
}

void PatternPolygonColors(HDC dc) {
    Backdrop(dc);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    HBRUSH b = PatternBrush(kPat3);
    HGDIOBJ old = SelectObject(dc, b);
    SetBrushOrgEx(dc, 2, 5, nullptr);
    POINT p[] = {{3, 3}, {57, 8}, {48, 44}, {8, 38}};
    Polygon(dc, p, 4);
    SelectObject(dc, old);
    DeleteObject(b);
}

// A pattern brush made of a colour DIB section.
void PatternColorDib(HDC dc) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 5;
    bi.bmiHeader.biHeight = 3;  // bottom-up
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bm = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    unsigned* px = (unsigned*)bits;
    for (int i = 0; i < 15; ++i) px[i] = (i * 0x3F1D07u + 0x102030u) & 0xFFFFFFu;
    HBRUSH b = CreatePatternBrush(bm);
    DeleteObject(bm);
    HGDIOBJ old = SelectObject(dc, b);
    SetBrushOrgEx(dc, 1, 2, nullptr);
    Rectangle(dc, 2, 2, 58, 44);
    SelectObject(dc, old);
    DeleteObject(b);
}

void PatternRop(HDC dc) {
    Backdrop(dc);
    SetTextColor(dc, RGB(255, 0, 0));
    SetBkColor(dc, RGB(0, 0, 255));
    HBRUSH b = PatternBrush(kPatArrow);
    HGDIOBJ old = SelectObject(dc, b);
    SelectObject(dc, GetStockObject(NULL_PEN));
    SetROP2(dc, R2_XORPEN);
    Rectangle(dc, 2, 2, 40, 30);
    SetROP2(dc, R2_MASKPEN);
    Rectangle(dc, 20, 15, 60, 46);
    SelectObject(dc, old);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(b);
}

// ---------------------------------------------------------------- transforms

void MarkCorners(HDC dc, int l, int t, int r, int b) {
    Use pen(dc, CreatePen(PS_SOLID, 0, kRed));
    Use br(dc, CreateSolidBrush(kYellow));
    Rectangle(dc, l, t, r, b);
    MoveToEx(dc, l, t, nullptr);
    LineTo(dc, r, b);
}

void MapLometric(HDC dc) {
    SetMapMode(dc, MM_LOMETRIC);
    MarkCorners(dc, 3, -4, 97, -83);
    RECT rc = {20, -90, 110, -110};
    HBRUSH br = CreateSolidBrush(kBlue);
    FillRect(dc, &rc, br);
    DeleteObject(br);
}

void MapHimetric(HDC dc) {
    SetMapMode(dc, MM_HIMETRIC);
    MarkCorners(dc, 37, -45, 1003, -970);
    Use pen(dc, CreatePen(PS_SOLID, 1, kBlue));
    POINT p[] = {{100, -1100}, {1500, -1000}, {1200, -300}};
    Polyline(dc, p, 3);
}

void MapLoenglish(HDC dc) {
    SetMapMode(dc, MM_LOENGLISH);
    MarkCorners(dc, 2, -3, 41, -37);
    Use pen(dc, CreatePen(PS_SOLID, 1, kGreen));
    MoveToEx(dc, 45, -1, nullptr);
    LineTo(dc, 60, -45);
}

void MapHienglish(HDC dc) {
    SetMapMode(dc, MM_HIENGLISH);
    MarkCorners(dc, 21, -33, 397, -371);
    Use br(dc, CreateSolidBrush(kTeal));
    POINT p[] = {{420, -10}, {600, -200}, {450, -450}};
    Polygon(dc, p, 3);
}

void MapTwips(HDC dc) {
    SetMapMode(dc, MM_TWIPS);
    MarkCorners(dc, 31, -47, 571, -535);
    PatBlt(dc, 600, -100, 250, -300, PATCOPY);
}

void MapIsotropic(HDC dc) {
    SetMapMode(dc, MM_ISOTROPIC);
    SetWindowExtEx(dc, 1000, 1000, nullptr);
    SetViewportExtEx(dc, 57, -43, nullptr);
    SetViewportOrgEx(dc, 2, 45, nullptr);
    MarkCorners(dc, 30, 50, 970, 930);
    Use pen(dc, CreatePen(PS_SOLID, 1, kBlue));
    MoveToEx(dc, 0, 500, nullptr);
    LineTo(dc, 1000, 510);
}

void MapIsotropicWide(HDC dc) {
    SetMapMode(dc, MM_ISOTROPIC);
    SetWindowExtEx(dc, 333, 97, nullptr);
    SetViewportExtEx(dc, 59, 45, nullptr);
    MarkCorners(dc, 5, 3, 320, 90);
    SIZE s;
    GetViewportExtEx(dc, &s);
    SetPixel(dc, 0, 95, RGB(s.cx & 255, s.cy & 255, 7));
}

void MapAnisotropicNegative(HDC dc) {
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowOrgEx(dc, 100, 50, nullptr);
    SetWindowExtEx(dc, -700, 333, nullptr);
    SetViewportOrgEx(dc, 55, 4, nullptr);
    SetViewportExtEx(dc, 51, 39, nullptr);
    MarkCorners(dc, 80, 60, -500, 340);
    Use pen(dc, CreatePen(PS_SOLID, 1, kBlue));
    POINT p[] = {{90, 55}, {-550, 90}, {-100, 370}, {60, 200}};
    Polyline(dc, p, 4);
}

void MapAnisotropicOdd(HDC dc) {
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 7, 3, nullptr);
    SetViewportExtEx(dc, 3, 2, nullptr);
    SetWindowOrgEx(dc, -5, -4, nullptr);
    MarkCorners(dc, 1, 1, 120, 60);
    Use br(dc, CreateSolidBrush(kPurple));
    PatBlt(dc, 20, 35, 33, 25, PATCOPY);
    RECT rc = {80, 64, 135, 40};
    FillRect(dc, &rc, (HBRUSH)GetStockObject(GRAY_BRUSH));
}

void MapWindowOrgText(HDC dc) {
    SetWindowOrgEx(dc, -7, 5, nullptr);
    SetViewportOrgEx(dc, 3, -2, nullptr);
    MarkCorners(dc, 0, 10, 40, 45);
    POINT org;
    GetWindowOrgEx(dc, &org);
    SetPixel(dc, org.x + 50, org.y + 20, kBlue);
}

// LPtoDP and DPtoLP results drawn as pixels.
void MapPointRoundTrip(HDC dc) {
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 1000, -1000, nullptr);
    SetViewportExtEx(dc, 333, 337, nullptr);
    SetViewportOrgEx(dc, 1, 46, nullptr);
    POINT pts[12];
    for (int i = 0; i < 12; ++i) {
        pts[i].x = 13 + 15 * i;
        pts[i].y = -(7 + 11 * i);
    }
    LPtoDP(dc, pts, 12);
    SetMapMode(dc, MM_TEXT);
    for (int i = 0; i < 12; ++i) SetPixel(dc, pts[i].x, 46 - pts[i].y, RGB(255, 0, 0));
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 1000, -1000, nullptr);
    SetViewportExtEx(dc, 333, 337, nullptr);
    POINT d[10];
    for (int i = 0; i < 10; ++i) {
        d[i].x = 3 * i + 1;
        d[i].y = 40 - 2 * i;
    }
    DPtoLP(dc, d, 10);
    SetMapMode(dc, MM_TEXT);
    for (int i = 0; i < 10; ++i) SetPixel(dc, (d[i].x % 61 + 61) % 61, (-d[i].y % 47 + 47) % 47, kBlue);
}

void MapMetricPen(HDC dc) {
    SetMapMode(dc, MM_LOMETRIC);
    Use pen(dc, CreatePen(PS_SOLID, 1, kRed));  // narrower than a pixel
    MoveToEx(dc, 5, -5, nullptr);
    LineTo(dc, 150, -100);
    Rectangle(dc, 10, -60, 90, -110);
}

// ---------------------------------------------------------------- ellipses

void EllipseSmall(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kBlue));
    Use br(dc, CreateSolidBrush(kYellow));
    int x = 1;
    for (int s = 3; s <= 10; ++s) {
        Ellipse(dc, x, 2, x + s, 2 + s);
        Ellipse(dc, x, 16, x + s, 16 + s + 3);
        Ellipse(dc, x, 33, x + s + 2, 33 + s - 1);
        x += s + 1;
    }
}

void EllipseLarge(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kRed));
    Use br(dc, CreateSolidBrush(kGreen));
    Ellipse(dc, 2, 3, 59, 44);
    Ellipse(dc, 15, 10, 46, 37);
}

void EllipseNullPen(HDC dc) {
    Use pen(dc, GetStockObject(NULL_PEN));
    Use br(dc, CreateSolidBrush(kPurple));
    Ellipse(dc, 2, 3, 30, 44);
    Ellipse(dc, 33, 5, 58, 20);
    Ellipse(dc, 33, 25, 40, 31);
}

void EllipseNullBrush(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kTeal));
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Ellipse(dc, 2, 3, 59, 44);
    Ellipse(dc, 20, 12, 27, 19);
}

void EllipseXor(HDC dc) {
    Backdrop(dc);
    Use pen(dc, CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    Use br(dc, CreateSolidBrush(RGB(255, 128, 0)));
    SetROP2(dc, R2_XORPEN);
    Ellipse(dc, 3, 3, 45, 40);
    Ellipse(dc, 20, 10, 58, 45);
}

void EllipseClipped(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kBlue));
    Use br(dc, CreateSolidBrush(kRed));
    Ellipse(dc, -20, -15, 30, 25);
    Ellipse(dc, 40, 30, 90, 70);
}

void EllipseReversed(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kGreen));
    Use br(dc, CreateSolidBrush(kBlue));
    Ellipse(dc, 50, 40, 10, 5);
}

void EllipseMapped(HDC dc) {
    SetMapMode(dc, MM_LOMETRIC);
    Use pen(dc, CreatePen(PS_SOLID, 0, kRed));
    Use br(dc, CreateSolidBrush(kYellow));
    Ellipse(dc, 10, -10, 130, -90);
}

void RoundRectBasic(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kPurple));
    Use br(dc, CreateSolidBrush(kTeal));
    RoundRect(dc, 2, 2, 40, 30, 12, 9);
    RoundRect(dc, 35, 20, 59, 45, 30, 40);
}

// ---------------------------------------------------------------- wide pens

void WideLinesWidths(HDC dc) {
    for (int w = 2; w <= 9; ++w) {
        Use pen(dc, CreatePen(PS_SOLID, w, RGB(20 * w, 40, 200 - 15 * w)));
        MoveToEx(dc, 4 + 7 * (w - 2), 5, nullptr);
        LineTo(dc, 4 + 7 * (w - 2), 20);
        MoveToEx(dc, 3, 24 + 3 * (w - 2), nullptr);
        LineTo(dc, 25, 24 + 3 * (w - 2));
    }
}

void WideLinesSlanted(HDC dc) {
    const int seg[][4] = {{5, 5, 50, 20}, {5, 40, 30, 8}, {40, 44, 56, 10}, {10, 25, 55, 40}};
    for (int i = 0; i < 4; ++i) {
        Use pen(dc, CreatePen(PS_SOLID, 3 + 2 * i, RGB(60 * i, 100, 200 - 40 * i)));
        MoveToEx(dc, seg[i][0], seg[i][1], nullptr);
        LineTo(dc, seg[i][2], seg[i][3]);
    }
}

void WidePen2Diagonals(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 2, kRed));
    MoveToEx(dc, 3, 3, nullptr);
    LineTo(dc, 40, 40);
    MoveToEx(dc, 57, 5, nullptr);
    LineTo(dc, 20, 44);
    MoveToEx(dc, 5, 44, nullptr);
    LineTo(dc, 55, 30);
}

void WidePolylineJoins(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 5, kBlue));
    POINT p[] = {{5, 40}, {15, 8}, {30, 35}, {45, 6}, {56, 40}};
    Polyline(dc, p, 5);
}

void WidePolylineXor(HDC dc) {
    Backdrop(dc);
    Use pen(dc, CreatePen(PS_SOLID, 4, RGB(255, 255, 255)));
    SetROP2(dc, R2_XORPEN);
    POINT p[] = {{5, 5}, {55, 5}, {55, 40}, {10, 40}, {30, 20}};
    Polyline(dc, p, 5);
}

void WideRectangle(HDC dc) {
    Use br(dc, CreateSolidBrush(kYellow));
    for (int w = 2; w <= 7; w += 5) {
        Use pen(dc, CreatePen(PS_SOLID, w, kPurple));
        Rectangle(dc, 5 + (w - 2) * 5, 5, 28 + (w - 2) * 6, 40);
    }
}

void WideInsideFrame(HDC dc) {
    Use br(dc, CreateSolidBrush(kGreen));
    Use pen(dc, CreatePen(PS_INSIDEFRAME, 6, kRed));
    Rectangle(dc, 3, 3, 30, 44);
    Ellipse(dc, 32, 3, 59, 44);
}

void WidePolygon(HDC dc) {
    Use br(dc, CreateSolidBrush(kTeal));
    Use pen(dc, CreatePen(PS_SOLID, 3, kRed));
    POINT p[] = {{5, 40}, {30, 3}, {56, 33}, {35, 25}};
    Polygon(dc, p, 4);
}

void WideEllipse(HDC dc) {
    Use br(dc, CreateSolidBrush(kYellow));
    Use pen(dc, CreatePen(PS_SOLID, 4, kBlue));
    Ellipse(dc, 4, 4, 57, 43);
}

void WideClipped(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 7, kPurple));
    MoveToEx(dc, -10, 10, nullptr);
    LineTo(dc, 70, 20);
    MoveToEx(dc, 30, -20, nullptr);
    LineTo(dc, 35, 60);
    MoveToEx(dc, 58, 44, nullptr);
    LineTo(dc, 58, 44);  // a dot
}

void WideMapped(HDC dc) {
    SetMapMode(dc, MM_LOMETRIC);
    Use pen(dc, CreatePen(PS_SOLID, 12, kRed));
    MoveToEx(dc, 20, -20, nullptr);
    LineTo(dc, 140, -100);
    Use br(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 20, -60, 90, -110);
}

// ---------------------------------------------------------------- 1 bpp

void MonoLinesAndFill(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    Use br(dc, CreateSolidBrush(RGB(255, 255, 255)));
    PatBlt(dc, 0, 0, 61, 47, BLACKNESS);
    Rectangle(dc, 3, 3, 40, 30);
    MoveToEx(dc, 5, 45, nullptr);
    LineTo(dc, 58, 2);
    POINT p[] = {{45, 5}, {58, 40}, {35, 44}};
    Polygon(dc, p, 3);
}

void MonoColorMapping(HDC dc) {
    PatBlt(dc, 0, 0, 61, 47, WHITENESS);
    SetBkColor(dc, RGB(200, 200, 200));
    Use pen(dc, CreatePen(PS_SOLID, 1, RGB(100, 100, 100)));
    Use br(dc, CreateSolidBrush(RGB(30, 30, 30)));
    Rectangle(dc, 3, 3, 40, 30);
    SetBkColor(dc, RGB(10, 10, 10));
    Rectangle(dc, 20, 20, 58, 44);
    SetROP2(dc, R2_XORPEN);
    Use pen2(dc, CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    MoveToEx(dc, 0, 0, nullptr);
    LineTo(dc, 60, 46);
}

void MonoPatternBrush(HDC dc) {
    PatBlt(dc, 0, 0, 61, 47, WHITENESS);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    HBRUSH b = PatternBrush(kPat2);
    HGDIOBJ old = SelectObject(dc, b);
    SetBrushOrgEx(dc, 3, 2, nullptr);
    Rectangle(dc, 2, 2, 58, 44);
    SelectObject(dc, old);
    DeleteObject(b);
}


// ---------------------------------------------------------------- more

void LinesAllAngles(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kBlue));
    // End points on a 70-pixel circle, rounded with integer steps only.
    const int cosTab[24] = {1000, 966, 866, 707, 500, 259, 0, -259, -500, -707, -866, -966,
                            -1000, -966, -866, -707, -500, -259, 0, 259, 500, 707, 866, 966};
    for (int i = 0; i < 24; ++i) {
        int c = cosTab[i], sn = cosTab[(i + 18) % 24];
        MoveToEx(dc, 30, 23, nullptr);
        LineTo(dc, 30 + c * 70 / 1000, 23 + sn * 70 / 1000);
    }
}

void LinesShortAllDirections(HDC dc) {
    Backdrop(dc);
    Use pen(dc, CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    SetROP2(dc, R2_XORPEN);
    int cx = 4;
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx) {
            int x = 4 + ((dx + 3) * 7 + (dy + 3)) % 7 * 8, y = 4 + (dy + 3) * 6;
            MoveToEx(dc, x, y, nullptr);
            LineTo(dc, x + dx, y + dy);
            (void)cx;
        }
}

void PolylineRandom(HDC dc) {
    unsigned st = 7;
    POINT p[40];
    for (int i = 0; i < 40; ++i) {
        p[i].x = int(Next(&st) % 75) - 7;
        p[i].y = int(Next(&st) % 60) - 6;
    }
    Use pen(dc, CreatePen(PS_SOLID, 1, kPurple));
    Polyline(dc, p, 40);
}

void PolyRandom(HDC dc, int mode) {
    unsigned st = 11;
    POINT p[12];
    for (int i = 0; i < 12; ++i) {
        p[i].x = int(Next(&st) % 70) - 4;
        p[i].y = int(Next(&st) % 55) - 4;
    }
    Use pen(dc, CreatePen(PS_SOLID, 1, kBlue));
    Use br(dc, CreateSolidBrush(kYellow));
    SetPolyFillMode(dc, mode);
    Polygon(dc, p, 12);
}
void PolyRandomAlternate(HDC dc) { PolyRandom(dc, ALTERNATE); }
void PolyRandomWinding(HDC dc) { PolyRandom(dc, WINDING); }

void PolyPatternXor(HDC dc) {
    Backdrop(dc);
    SetTextColor(dc, RGB(255, 255, 0));
    SetBkColor(dc, RGB(0, 128, 255));
    HBRUSH b = PatternBrush(kPat1);
    HGDIOBJ old = SelectObject(dc, b);
    SelectObject(dc, GetStockObject(NULL_PEN));
    SetBrushOrgEx(dc, 5, 3, nullptr);
    SetROP2(dc, R2_XORPEN);
    POINT p[] = {{2, 44}, {30, 1}, {58, 44}};
    Polygon(dc, p, 3);
    SelectObject(dc, old);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    DeleteObject(b);
}

void RectInsideFrameCosmetic(HDC dc) {
    Use pen(dc, CreatePen(PS_INSIDEFRAME, 1, kRed));
    Use br(dc, CreateSolidBrush(kGreen));
    Rectangle(dc, 3, 3, 30, 20);
    Ellipse(dc, 33, 3, 58, 40);
    Rectangle(dc, 5, 25, 28, 44);
}

void SetPixelRops(HDC dc) {
    Backdrop(dc);
    for (int r = 1; r <= 16; ++r) {
        SetROP2(dc, r);
        for (int k = 0; k < 20; ++k) SetPixel(dc, 2 + k * 3 - (r % 2), 2 + r * 2 + (k % 3), RGB(30 * k, 200, 90));
    }
}

void FillRectHatch(HDC dc) {
    Backdrop(dc);
    SetBkColor(dc, RGB(255, 255, 255));
    for (int i = 0; i < 6; ++i) {
        HBRUSH b = CreateHatchBrush(i, RGB(200, 0, 100));
        RECT r = {2 + 9 * i, 3, 10 + 9 * i, 44};
        SetBkMode(dc, i < 3 ? OPAQUE : TRANSPARENT);
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
}

void MapIsotropicViewportFirst(HDC dc) {
    SetMapMode(dc, MM_ISOTROPIC);
    SetViewportExtEx(dc, 61, 47, nullptr);
    SetWindowExtEx(dc, 500, 300, nullptr);
    SetWindowOrgEx(dc, -13, -7, nullptr);
    MarkCorners(dc, 0, 0, 470, 280);
    SIZE v;
    GetViewportExtEx(dc, &v);
    SetPixel(dc, 10, 290, RGB(v.cx & 255, v.cy & 255, 0));
}

void MapLometricLines(HDC dc) {
    SetMapMode(dc, MM_LOMETRIC);
    SetViewportOrgEx(dc, 0, 46, nullptr);
    Use pen(dc, CreatePen(PS_SOLID, 0, kTeal));
    for (int i = 0; i < 12; ++i) {
        MoveToEx(dc, 7 * i + 3, 3, nullptr);
        LineTo(dc, 150 - 9 * i, 110 + (i % 3) * 7);
    }
}

void EllipseSizesGrid(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kRed));
    Use br(dc, CreateSolidBrush(kBlue));
    int y = 1;
    for (int h = 1; h <= 9; h += 2) {
        int x = 1;
        for (int w = 1; w <= 10; ++w) {
            Ellipse(dc, x, y, x + w, y + h);
            x += w + 1;
            if (x > 55) break;
        }
        y += h + 1;
    }
}

void EllipseAnisotropic(HDC dc) {
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 7, 7, nullptr);
    SetViewportExtEx(dc, 5, 4, nullptr);
    Use pen(dc, CreatePen(PS_SOLID, 0, kPurple));
    Use br(dc, CreateSolidBrush(kYellow));
    Ellipse(dc, 3, 3, 40, 30);
    Ellipse(dc, 45, 10, 81, 77);
    RoundRect(dc, 5, 40, 70, 75, 20, 11);
}

void WideAngles(HDC dc) {
    const int pts[12][2] = {{58, 23}, {57, 12}, {50, 3}, {38, 0}, {22, 0}, {10, 3},
                            {3, 12}, {2, 23}, {5, 35}, {15, 44}, {45, 44}, {56, 35}};
    for (int i = 0; i < 12; ++i) {
        Use pen(dc, CreatePen(PS_SOLID, 3, RGB(20 * i, 100, 250 - 20 * i)));
        MoveToEx(dc, 30, 23, nullptr);
        LineTo(dc, pts[i][0], pts[i][1]);
    }
}

void WideWidthsDiagonal(HDC dc) {
    for (int w = 2; w <= 9; ++w) {
        Use pen(dc, CreatePen(PS_SOLID, w, RGB(25 * w, 30, 120)));
        MoveToEx(dc, 3 + 7 * (w - 2), 4, nullptr);
        LineTo(dc, 8 + 7 * (w - 2), 42);
    }
}

void WidePolygonWinding(HDC dc) {
    Use br(dc, CreateSolidBrush(kGreen));
    Use pen(dc, CreatePen(PS_SOLID, 2, kBlue));
    SetPolyFillMode(dc, WINDING);
    POINT p[5];
    Star(p, 30, 23);
    Polygon(dc, p, 5);
}

void WideRoundRect(HDC dc) {
    Use br(dc, CreateSolidBrush(kYellow));
    Use pen(dc, CreatePen(PS_SOLID, 3, kRed));
    RoundRect(dc, 4, 4, 57, 43, 22, 15);
}

void HatchResources(HDC dc) {
    HMODULE lib = GetModuleHandleA("WX5NOVL1.DLL");
    SetTextColor(dc, RGB(0, 0, 160));
    SetBkColor(dc, RGB(255, 250, 230));
    for (int id = 101; id <= 117; ++id) {
        HBITMAP bm = LoadBitmapA(lib, MAKEINTRESOURCEA(id));
        if (!bm) continue;
        HBRUSH b = CreatePatternBrush(bm);
        DeleteObject(bm);
        int i = id - 101;
        RECT r = {1 + (i % 6) * 10, 1 + (i / 6) * 15, 10 + (i % 6) * 10, 15 + (i / 6) * 15};
        SetBrushOrgEx(dc, i, 2 * i, nullptr);
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
}

void StretchImage(HDC dc, bool scale) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 7;
    bi.bmiHeader.biHeight = 5;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    unsigned px[35];
    for (int i = 0; i < 35; ++i) px[i] = (i * 0x070B0Du + 0x203040u) & 0xFFFFFFu;
    if (scale) {
        StretchDIBits(dc, 2, 2, 40, 30, 0, 0, 7, 5, px, &bi, DIB_RGB_COLORS, SRCCOPY);
        StretchDIBits(dc, 58, 44, -15, -10, 1, 1, 5, 3, px, &bi, DIB_RGB_COLORS, SRCINVERT);
    } else {
        StretchDIBits(dc, 3, 4, 7, 5, 0, 0, 7, 5, px, &bi, DIB_RGB_COLORS, SRCCOPY);
        StretchDIBits(dc, 20, 4, 4, 3, 2, 1, 4, 3, px, &bi, DIB_RGB_COLORS, SRCCOPY);
        bi.bmiHeader.biHeight = -5;
        StretchDIBits(dc, 30, 20, 7, 5, 0, 0, 7, 5, px, &bi, DIB_RGB_COLORS, SRCCOPY);
    }
}
void StretchCopy(HDC dc) { StretchImage(dc, false); }
void StretchScaled(HDC dc) { StretchImage(dc, true); }

// Shrinking in each stretch mode, and a 1-bpp source with its own colours.
void StretchShrinkModes(HDC dc) {
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = 23;
    bi.bmiHeader.biHeight = 17;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    static unsigned px[23 * 17];
    unsigned st = 3;
    for (int i = 0; i < 23 * 17; ++i) px[i] = (Next(&st) * 0x9E3779u) & 0xFFFFFFu;
    const int modes[3] = {BLACKONWHITE, WHITEONBLACK, COLORONCOLOR};
    for (int i = 0; i < 3; ++i) {
        SetStretchBltMode(dc, modes[i]);
        StretchDIBits(dc, 1 + 20 * i, 2, 9, 7, 0, 0, 23, 17, px, &bi, DIB_RGB_COLORS, SRCCOPY);
        StretchDIBits(dc, 1 + 20 * i, 12, 17, 5, 2, 3, 19, 13, px, &bi, DIB_RGB_COLORS, SRCCOPY);
        StretchDIBits(dc, 12 + 20 * i, 2, 7, 30, 0, 0, 23, 17, px, &bi, DIB_RGB_COLORS, SRCCOPY);
    }
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD c[2];
    } mono = {};
    mono.h.biSize = sizeof(BITMAPINFOHEADER);
    mono.h.biWidth = 16;
    mono.h.biHeight = 4;
    mono.h.biPlanes = 1;
    mono.h.biBitCount = 1;
    mono.c[0].rgbRed = 200;
    mono.c[1].rgbBlue = 220;
    mono.c[1].rgbGreen = 90;
    const unsigned char bits[16] = {0xF0, 0x0F, 0, 0, 0xAA, 0x55, 0, 0, 0x33, 0xCC, 0, 0, 0x81, 0x18, 0, 0};
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 2, 20, 57, 25, 0, 0, 16, 4, bits, (BITMAPINFO*)&mono, DIB_RGB_COLORS, SRCCOPY);
}

// Random shapes, each drawn with its own seed: sizes, positions off the
// canvas, pen widths 1..9, every ROP2 and fill rule. Each random number is
// drawn in its own statement: argument evaluation order differs between
// compilers.
int Rnd(unsigned* st, int lo, int hi) { return lo + int(Next(st) % unsigned(hi - lo + 1)); }

void RandomEllipses(HDC dc, unsigned seed) {
    unsigned st = seed;
    Backdrop(dc);
    for (int i = 0; i < 14; ++i) {
        const int w = Rnd(&st, 1, 9);
        const int red = Rnd(&st, 0, 255);
        const int green = Rnd(&st, 0, 255);
        Use pen(dc, CreatePen((i % 5) ? PS_SOLID : PS_NULL, w == 1 ? 0 : w, RGB(red, 40, 90)));
        Use br(dc, CreateSolidBrush(RGB(60, green, 200)));
        SetROP2(dc, Rnd(&st, 1, 16));
        const int x = Rnd(&st, -20, 60);
        const int y = Rnd(&st, -20, 45);
        const int cx = Rnd(&st, -30, 50);
        const int cy = Rnd(&st, -30, 40);
        const int ew = Rnd(&st, 0, 30);
        const int eh = Rnd(&st, 0, 30);
        if (i % 3)
            Ellipse(dc, x, y, x + cx, y + cy);
        else
            RoundRect(dc, x, y, x + cx, y + cy, ew, eh);
    }
}
void RandomEllipses1(HDC dc) { RandomEllipses(dc, 101); }
void RandomEllipses2(HDC dc) { RandomEllipses(dc, 202); }
void RandomEllipses3(HDC dc) { RandomEllipses(dc, 707); }
void RandomEllipses4(HDC dc) { RandomEllipses(dc, 808); }

void RandomWide(HDC dc, unsigned seed) {
    unsigned st = seed;
    for (int i = 0; i < 10; ++i) {
        const int w = Rnd(&st, 2, 9);
        const int red = Rnd(&st, 0, 255);
        const int green = Rnd(&st, 0, 255);
        const int fill = Rnd(&st, 100, 255);
        Use pen(dc, CreatePen(PS_SOLID, w, RGB(red, green, 120)));
        Use br(dc, CreateSolidBrush(RGB(250, fill, 30)));
        SetROP2(dc, (i % 4) ? R2_COPYPEN : R2_XORPEN);
        POINT p[6];
        const int n = Rnd(&st, 2, 6);
        for (int k = 0; k < n; ++k) {
            p[k].x = Rnd(&st, -10, 70);
            p[k].y = Rnd(&st, -10, 56);
        }
        if (i % 2)
            Polyline(dc, p, n);
        else
            Polygon(dc, p, n);
    }
}
void RandomWide1(HDC dc) { RandomWide(dc, 303); }
void RandomWide2(HDC dc) { RandomWide(dc, 404); }
void RandomWide3(HDC dc) { RandomWide(dc, 909); }
void RandomWide4(HDC dc) { RandomWide(dc, 1010); }

void RandomCosmetic(HDC dc, unsigned seed) {
    unsigned st = seed;
    Backdrop(dc);
    HBRUSH pat = PatternBrush(kPat2);
    for (int i = 0; i < 16; ++i) {
        SetROP2(dc, Rnd(&st, 1, 16));
        SetPolyFillMode(dc, Rnd(&st, 1, 2));
        const int ox = Rnd(&st, -9, 9);
        const int oy = Rnd(&st, -9, 9);
        SetBrushOrgEx(dc, ox, oy, nullptr);
        SetTextColor(dc, RGB(Rnd(&st, 0, 255), 0, 200));
        SetBkColor(dc, RGB(255, Rnd(&st, 0, 255), 0));
        const int style = Rnd(&st, 0, 4);
        const int width = Rnd(&st, 0, 1);
        const int green = Rnd(&st, 0, 255);
        Use pen(dc, CreatePen(style, width, RGB(0, green, 255)));
        HGDIOBJ old = SelectObject(dc, (i % 2) ? (HGDIOBJ)pat : GetStockObject(GRAY_BRUSH));
        POINT p[7];
        const int n = Rnd(&st, 2, 7);
        for (int k = 0; k < n; ++k) {
            p[k].x = Rnd(&st, -15, 75);
            p[k].y = Rnd(&st, -15, 60);
        }
        switch (i % 4) {
        case 0: Polygon(dc, p, n); break;
        case 1: Polyline(dc, p, n); break;
        case 2: Rectangle(dc, p[0].x, p[0].y, p[1].x, p[1].y); break;
        default: PatBlt(dc, p[0].x, p[0].y, p[1].x - p[0].x, p[1].y - p[0].y, PATINVERT); break;
        }
        SelectObject(dc, old);
    }
    DeleteObject(pat);
}
void RandomCosmetic1(HDC dc) { RandomCosmetic(dc, 505); }
void RandomCosmetic2(HDC dc) { RandomCosmetic(dc, 606); }

void LinesBeyond2e28(HDC dc) {
    Use pen(dc, CreatePen(PS_SOLID, 1, kRed));
    MoveToEx(dc, -1000000000, -700000000, nullptr);
    LineTo(dc, 1000000000, 700000040);
    MoveToEx(dc, 20, 10, nullptr);
    LineTo(dc, 2000000000, 30);
}

void DefaultObjects(HDC dc) {
    PatBlt(dc, 0, 0, 61, 47, PATCOPY);  // the default white brush
    Rectangle(dc, 5, 5, 40, 30);
    MoveToEx(dc, 0, 46, nullptr);
    LineTo(dc, 60, 0);
    Ellipse(dc, 30, 20, 58, 44);
}

}  // namespace

int ApiProbe(ApiResult* out, int max) {
    int n = 0;
    auto put = [&](const char* name, long v) {
        if (n < max) out[n++] = {name, v};
    };
    HDC dc = CreateCompatibleDC(nullptr);
    HDC dc2 = CreateCompatibleDC(nullptr);
    put("CreatePen(PS_NULL) is the stock null pen", CreatePen(PS_NULL, 3, kRed) == GetStockObject(NULL_PEN));
    LOGBRUSH nb = {BS_NULL, 0, 0};
    HBRUSH nullBrush = CreateBrushIndirect(&nb);
    LOGBRUSH lb = {};
    put("CreateBrushIndirect(BS_NULL) made", nullBrush != nullptr);
    put("its style", GetObjectA(nullBrush, sizeof lb, &lb) ? long(lb.lbStyle) : -1);
    DeleteObject(nullBrush);
    HPEN pen = CreatePen(PS_DASH, 5, kBlue);
    LOGPEN lp = {};
    char buf[64];
    put("GetObjectA(pen, 0, null)", GetObjectA(pen, 0, nullptr));
    put("GetObjectA(pen, 15, buf)", GetObjectA(pen, 15, buf));
    put("GetObjectA(pen) style", GetObjectA(pen, sizeof lp, &lp) ? long(lp.lopnStyle) : -1);
    put("GetObjectA(pen) width", long(lp.lopnWidth.x));
    HPEN neg = CreatePen(PS_SOLID, -3, kBlue);
    GetObjectA(neg, sizeof lp, &lp);
    put("CreatePen width -3 keeps", long(lp.lopnWidth.x));
    DeleteObject(neg);
    HPEN odd = CreatePen(42, 1, 0);
    put("CreatePen(42) made", odd != nullptr);
    put("CreatePen(42) style", GetObjectA(odd, sizeof lp, &lp) ? long(lp.lopnStyle) : -1);
    DeleteObject(odd);
    odd = CreatePen(PS_USERSTYLE, 1, 0);
    put("CreatePen(PS_USERSTYLE) style", GetObjectA(odd, sizeof lp, &lp) ? long(lp.lopnStyle) : -1);
    DeleteObject(odd);
    odd = CreatePen(PS_SOLID | PS_GEOMETRIC | PS_ENDCAP_FLAT, 4, 0);
    put("CreatePen(geometric flags) style", GetObjectA(odd, sizeof lp, &lp) ? long(lp.lopnStyle) : -1);
    DeleteObject(odd);
    HBRUSH br = CreateSolidBrush(kGreen);
    put("GetObjectA(brush, 0, null)", GetObjectA(br, 0, nullptr));
    put("GetObjectA(brush, 8, buf)", GetObjectA(br, 8, buf));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    put("SelectObject returns the stock black pen", oldPen == GetStockObject(BLACK_PEN));
    put("DeleteObject(selected pen)", DeleteObject(pen));
    put("GetCurrentObject still the pen", GetCurrentObject(dc, OBJ_PEN) == pen);
    SelectObject(dc, oldPen);
    put("pen gone after deselect", GetObjectType(pen) == 0);
    DeleteObject(br);
    put("DeleteObject(stock pen)", DeleteObject(GetStockObject(BLACK_PEN)));
    put("GetStockObject(99) null", GetStockObject(99) == nullptr);
    HBITMAP bm = CreateBitmap(8, 8, 1, 1, nullptr);
    BITMAP info = {};
    put("GetObjectA(bitmap) size ok", GetObjectA(bm, sizeof info, &info) == int(sizeof info));
    put("DDB width bytes", long(info.bmWidthBytes));
    put("DDB bits pixel", long(info.bmBitsPixel));
    HGDIOBJ def = SelectObject(dc, bm);
    put("bitmap into a second DC fails", SelectObject(dc2, bm) == nullptr);
    put("default bitmap is CreateBitmap(0,0)", CreateBitmap(0, 0, 1, 1, nullptr) == def);
    SelectObject(dc, def);
    DeleteObject(bm);
    put("SetMapMode(0)", SetMapMode(dc, 0));
    put("SetMapMode(9)", SetMapMode(dc, 9));
    put("SetMapMode(MM_LOMETRIC) returns MM_TEXT", SetMapMode(dc, MM_LOMETRIC));
    put("GetMapMode", GetMapMode(dc));
    SIZE ext = {};
    put("SetWindowExtEx in MM_LOMETRIC", SetWindowExtEx(dc, 5, 5, &ext));
    GetWindowExtEx(dc, &ext);
    put("window extent unchanged", long(ext.cx) == long(GetDeviceCaps(dc, HORZSIZE)) * 10);
    SetMapMode(dc, MM_ANISOTROPIC);
    put("SetWindowExtEx(0, 5)", SetWindowExtEx(dc, 0, 5, nullptr));
    put("SetViewportExtEx(5, 0)", SetViewportExtEx(dc, 5, 0, nullptr));
    SetMapMode(dc, MM_TEXT);
    put("SetROP2(17)", SetROP2(dc, 17));
    put("SetROP2(0)", SetROP2(dc, 0));
    put("SetBkMode(3)", SetBkMode(dc, 3));
    put("SetPolyFillMode(3)", SetPolyFillMode(dc, 3));
    put("SetStretchBltMode(5)", SetStretchBltMode(dc, 5));
    put("SetTextColor returns previous", long(int(SetTextColor(dc, kRed))));
    put("SetBkColor returns previous", long(int(SetBkColor(dc, kRed))));
    put("GetPixel outside", long(int(GetPixel(dc, 5, 5))));
    POINT pts[2] = {{0, 0}, {3, 3}};
    put("Polygon with 1 point", Polygon(dc, pts, 1));
    put("Polyline with 1 point", Polyline(dc, pts, 1));
    put("Polygon with 2 points", Polygon(dc, pts, 2));
    put("Rectangle empty", Rectangle(dc, 3, 3, 3, 10));
    put("PatBlt with SRCCOPY", PatBlt(dc, 0, 0, 1, 1, SRCCOPY));
    put("LPtoDP no points", LPtoDP(dc, pts, 0));
    put("GetDeviceCaps(PLANES)", GetDeviceCaps(dc, PLANES));
    put("GetDeviceCaps(NUMCOLORS)", GetDeviceCaps(dc, NUMCOLORS));
    put("GetCurrentObject(OBJ_BRUSH) stock white", GetCurrentObject(dc, OBJ_BRUSH) == GetStockObject(WHITE_BRUSH));
    put("GetObjectType(dc)", long(GetObjectType(dc)));
    put("GetObjectType(stock pen)", long(GetObjectType(GetStockObject(NULL_PEN))));
    put("DeleteDC", DeleteDC(dc2));
    put("DeleteDC again", DeleteDC(dc2));
    put("SelectObject on a deleted DC", SelectObject(dc2, GetStockObject(BLACK_PEN)) == nullptr);
    DeleteDC(dc);
    return n;
}

const Scenario kScenarios[] = {
    {"lines_shallow", "lines", true, 32, LinesShallow},
    {"lines_steep", "lines", true, 32, LinesSteep},
    {"lines_diagonal", "lines", true, 32, LinesDiagonal},
    {"lines_reversed_xor", "lines", true, 32, LinesReversedXor},
    {"lines_axis", "lines", true, 32, LinesAxis},
    {"polyline_xor_joints", "lines", true, 32, PolylineXorJoints},
    {"lines_clipped", "lines", true, 32, LinesClipped},
    {"lines_huge_coordinates", "lines", true, 32, LinesHugeCoordinates},
    {"lines_dashed_opaque", "lines", true, 32, LinesDashedOpaque},
    {"lines_dashed_transparent", "lines", true, 32, LinesDashedTransparent},
    {"lines_all_rops", "rop", true, 32, LinesAllRops},
    {"lineto_chain", "lines", true, 32, LineToChain},
    {"rect_basic", "rect", true, 32, RectBasic},
    {"rect_null_pen", "rect", true, 32, RectNullPen},
    {"rect_null_brush", "rect", true, 32, RectNullBrush},
    {"rect_reversed", "rect", true, 32, RectReversed},
    {"rect_xor_overlap", "rect", true, 32, RectXorOverlap},
    {"rect_clipped", "rect", true, 32, RectClipped},
    {"rect_stock_objects", "rect", true, 32, RectStock},
    {"rect_all_rops_brush", "rop", true, 32, RectAllRopsBrush},
    {"fillrect_basic", "fillrect", true, 32, FillRectBasic},
    {"fillrect_pattern", "fillrect", true, 32, FillRectPattern},
    {"patblt_rops", "patblt", true, 32, PatBltRops},
    {"patblt_negative", "patblt", true, 32, PatBltNegative},
    {"patblt_pattern_origin", "patblt", true, 32, PatBltPatternOrigin},
    {"poly_triangle", "polygon", true, 32, PolyTriangle},
    {"poly_triangle_null_pen", "polygon", true, 32, PolyTriangleNullPen},
    {"poly_star_alternate", "polygon", true, 32, PolyStarAlternate},
    {"poly_star_winding", "polygon", true, 32, PolyStarWinding},
    {"poly_winding_double_loop", "polygon", true, 32, PolyWindingDoubleLoop},
    {"poly_concave", "polygon", true, 32, PolyConcave},
    {"poly_clipped", "polygon", true, 32, PolyClipped},
    {"poly_degenerate", "polygon", true, 32, PolyDegenerate},
    {"poly_xor", "polygon", true, 32, PolyXor},
    {"poly_mask_pen", "polygon", true, 32, PolyMaskPen},
    {"poly_hatched", "polygon", true, 32, PolyHatched},
    {"pattern_rect_origins", "pattern", true, 32, PatternRectOrigins},
    {"pattern_polygon", "pattern", true, 32, PatternPolygonColors},
    {"pattern_color_dib", "pattern", true, 32, PatternColorDib},
    {"pattern_rop", "pattern", true, 32, PatternRop},
    {"map_lometric", "transform", true, 32, MapLometric},
    {"map_himetric", "transform", true, 32, MapHimetric},
    {"map_loenglish", "transform", true, 32, MapLoenglish},
    {"map_hienglish", "transform", true, 32, MapHienglish},
    {"map_twips", "transform", true, 32, MapTwips},
    {"map_isotropic", "transform", true, 32, MapIsotropic},
    {"map_isotropic_wide", "transform", true, 32, MapIsotropicWide},
    {"map_anisotropic_negative", "transform", true, 32, MapAnisotropicNegative},
    {"map_anisotropic_odd", "transform", true, 32, MapAnisotropicOdd},
    {"map_window_org", "transform", true, 32, MapWindowOrgText},
    {"map_point_round_trip", "transform", true, 32, MapPointRoundTrip},
    {"map_metric_pen", "transform", true, 32, MapMetricPen},
    {"ellipse_small", "ellipse", true, 32, EllipseSmall},
    {"ellipse_large", "ellipse", true, 32, EllipseLarge},
    {"ellipse_null_pen", "ellipse", true, 32, EllipseNullPen},
    {"ellipse_null_brush", "ellipse", true, 32, EllipseNullBrush},
    {"ellipse_xor", "ellipse", true, 32, EllipseXor},
    {"ellipse_clipped", "ellipse", true, 32, EllipseClipped},
    {"ellipse_reversed", "ellipse", true, 32, EllipseReversed},
    {"ellipse_mapped", "ellipse", true, 32, EllipseMapped},
    {"roundrect_basic", "ellipse", true, 32, RoundRectBasic},
    {"wide_lines_widths", "wide", true, 32, WideLinesWidths},
    {"wide_lines_slanted", "wide", true, 32, WideLinesSlanted},
    {"wide_pen2_diagonals", "wide", true, 32, WidePen2Diagonals},
    {"wide_polyline_joins", "wide", true, 32, WidePolylineJoins},
    {"wide_polyline_xor", "wide", true, 32, WidePolylineXor},
    {"wide_rectangle", "wide", true, 32, WideRectangle},
    {"wide_inside_frame", "wide", true, 32, WideInsideFrame},
    {"wide_polygon", "wide", true, 32, WidePolygon},
    {"wide_ellipse", "wide", true, 32, WideEllipse},
    {"wide_clipped", "wide", true, 32, WideClipped},
    {"wide_mapped", "wide", true, 32, WideMapped},
    {"mono_lines_fill", "mono", true, 1, MonoLinesAndFill},
    {"mono_color_mapping", "mono", true, 1, MonoColorMapping},
    {"mono_pattern_brush", "mono", true, 1, MonoPatternBrush},
    {"lines_all_angles", "lines", true, 32, LinesAllAngles},
    {"lines_short_all_directions", "lines", true, 32, LinesShortAllDirections},
    {"polyline_random", "lines", true, 32, PolylineRandom},
    {"poly_random_alternate", "polygon", true, 32, PolyRandomAlternate},
    {"poly_random_winding", "polygon", true, 32, PolyRandomWinding},
    {"poly_pattern_xor", "pattern", true, 32, PolyPatternXor},
    {"rect_insideframe_cosmetic", "rect", true, 32, RectInsideFrameCosmetic},
    {"setpixel_rops", "rop", true, 32, SetPixelRops},
    {"fillrect_hatch", "fillrect", true, 32, FillRectHatch},
    {"map_isotropic_viewport_first", "transform", true, 32, MapIsotropicViewportFirst},
    {"map_lometric_lines", "transform", true, 32, MapLometricLines},
    {"hatch_resources", "pattern", true, 32, HatchResources},
    {"default_objects", "rect", true, 32, DefaultObjects},
    {"stretch_copy", "image", true, 32, StretchCopy},
    {"ellipse_sizes_grid", "ellipse", false, 32, EllipseSizesGrid},
    {"ellipse_anisotropic", "ellipse", true, 32, EllipseAnisotropic},
    {"wide_angles", "wide", true, 32, WideAngles},
    {"wide_widths_diagonal", "wide", true, 32, WideWidthsDiagonal},
    {"wide_polygon_winding", "wide", true, 32, WidePolygonWinding},
    {"wide_roundrect", "wide", true, 32, WideRoundRect},
    {"stretch_scaled", "image", true, 32, StretchScaled},
    {"stretch_shrink_modes", "image", true, 32, StretchShrinkModes},
    {"lines_beyond_2e28", "lines", true, 32, LinesBeyond2e28},
    {"random_cosmetic_1", "polygon", true, 32, RandomCosmetic1},
    {"random_cosmetic_2", "polygon", true, 32, RandomCosmetic2},
    {"random_ellipses_1", "ellipse", false, 32, RandomEllipses1},
    {"random_ellipses_2", "ellipse", false, 32, RandomEllipses2},
    {"random_wide_1", "wide", true, 32, RandomWide1},
    {"random_wide_2", "wide", true, 32, RandomWide2},
    {"random_ellipses_3", "ellipse", false, 32, RandomEllipses3},
    {"random_ellipses_4", "ellipse", false, 32, RandomEllipses4},
    {"random_wide_3", "wide", true, 32, RandomWide3},
    {"random_wide_4", "wide", true, 32, RandomWide4},
};

const int kScenarioCount = sizeof(kScenarios) / sizeof(kScenarios[0]);
