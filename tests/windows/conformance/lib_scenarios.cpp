#include "lib_scenarios.h"

#include <cstring>

namespace {

const COLORREF kRed = RGB(200, 30, 40);
const COLORREF kGreen = RGB(20, 170, 60);
const COLORREF kBlue = RGB(30, 60, 210);
const COLORREF kPurple = RGB(130, 40, 150);
const COLORREF kTeal = RGB(10, 130, 140);
const COLORREF kInk = RGB(90, 20, 20);

// The seventeen density codes of the hatch brushes.
const int kHatchCodes[17] = {50,  100, 125, 200, 250, 300, 375, 400, 500,
                             600, 625, 700, 750, 800, 875, 900, 1000};

// Every openSides value the rectangle accepts, then one it rejects (top and
// bottom): that one draws its fill and no frame.
const unsigned kOpenSides[18] = {0, 1, 16, 2, 32, 3, 48, 4, 64, 18, 33, 20, 65, 35, 50, 52, 67, 0x13};

// A line record of the given kind; kind 8 gets a pattern of its own and
// kind 10 a wave height of three widths (at least four units).
LINEREC Line(int width, int kind, int cap, COLORREF color, int unit = 1) {
    LINEREC l;
    std::memset(&l, 0, sizeof l);
    l.width = width;
    l.kind = kind;
    l.cap = cap;
    l.color = color;
    if (kind == 8) {
        const int pattern[4] = {7, 3, 2, 3};
        for (int i = 0; i < 4; ++i) l.dashPattern[i] = pattern[i] * unit;
        l.dashCount = 4;
    }
    l.waveHeight = (width * 3 > 4 * unit) ? width * 3 : 4 * unit;
    return l;
}

RECT Box(int l, int t, int r, int b) {
    RECT rc = {l, t, r, b};
    return rc;
}

// A management record used by one scenario, started on creation and ended
// (selecting the host's pen and brush back, deleting the cached ones) when
// it goes out of scope.
struct Managed {
    HDC dc;
    MNG_OBJECT mng;
    explicit Managed(HDC d) : dc(d) {
        std::memset(&mng, 0, sizeof mng);
        StartMngObject(dc, &mng);
    }
    ~Managed() { EndMngObject(dc, &mng); }
};

// Selects the hatch brush of code into the device context around a managed
// call and deletes it afterwards (the caller owns the brush).
struct HatchSelected {
    HDC dc;
    HBRUSH brush;
    HGDIOBJ old;
    HatchSelected(HDC d, int code) : dc(d), brush(foGetHatchBrush(code)), old(nullptr) {
        if (brush) old = SelectObject(dc, brush);
    }
    ~HatchSelected() {
        if (brush) {
            SelectObject(dc, old);
            DeleteObject(brush);
        }
    }
};

// A backdrop of two colours so that transparent fills show what they keep.
void Backdrop(HDC dc) {
    HBRUSH a = CreateSolidBrush(RGB(240, 235, 225));
    HBRUSH b = CreateSolidBrush(RGB(60, 90, 120));
    RECT all = Box(0, 0, kLibCanvasWidth, kLibCanvasHeight);
    FillRect(dc, &all, a);
    for (int y = 0; y < kLibCanvasHeight; y += 10)
        for (int x = (y / 10) % 2 * 10; x < kLibCanvasWidth; x += 20) {
            RECT rc = Box(x, y, x + 10, y + 10);
            FillRect(dc, &rc, b);
        }
    DeleteObject(a);
    DeleteObject(b);
}

// ------------------------------------------------------------- lines

// Kinds 0 to 10 at width 1, one horizontal line each.
void KindsThinHorizontal(HDC dc) {
    for (int k = 0; k <= 10; ++k) {
        LINEREC l = Line(1, k, 1, kRed);
        foExtLine(dc, 4, 4 + 8 * k, 116, 4 + 8 * k, &l, nullptr);
    }
}

// Kinds 1 to 10 at width 1, vertical, bottom to top, managed.
void KindsThinVertical(HDC dc) {
    Managed m(dc);
    for (int k = 1; k <= 10; ++k) {
        LINEREC l = Line(1, k, 2, kBlue);
        foExtLine(dc, 6 + 11 * k, 92, 6 + 11 * k, 3, &l, &m.mng);
    }
}

// Kinds 1 to 10 at width 1 in shallow and steep slants, both ways.
void KindsThinSlant(HDC dc) {
    for (int k = 1; k <= 10; ++k) {
        LINEREC l = Line(1, k, 1, kGreen);
        foExtLine(dc, 3, 3 + 5 * k, 117, 30 + 5 * k, &l, nullptr);
        LINEREC v = Line(1, k, 1, kPurple);
        foExtLine(dc, 10 + 10 * k, 94, 2 + 10 * k, 50, &v, nullptr);
    }
}

// Thin lines of kind 3 in sixteen directions out of one centre.
void ThinDirections(HDC dc) {
    const int dx[16] = {50, 50, 50, 25, 0, -25, -50, -50, -50, -50, -50, -25, 0, 25, 50, 50};
    const int dy[16] = {0, 20, 45, 45, 45, 45, 45, 20, 0, -20, -45, -45, -45, -45, -45, -20};
    for (int i = 0; i < 16; ++i) {
        LINEREC l = Line(1, 3, 1, i % 2 ? kRed : kBlue);
        foExtLine(dc, 60, 48, 60 + dx[i], 48 + dy[i], &l, nullptr);
    }
}

// Dashed kinds 2 to 8, one row per kind at the given width and cap,
// horizontal (left half, right to left on odd kinds) and vertical (right).
void DashRows(HDC dc, int width, int cap, MNG_OBJECT* mng) {
    for (int k = 2; k <= 8; ++k) {
        LINEREC l = Line(width, k, cap, k % 2 ? kRed : kTeal);
        int y = 6 + 12 * (k - 2);
        if (k % 2)
            foExtLine(dc, 70, y, 6, y, &l, mng);
        else
            foExtLine(dc, 6, y, 70, y, &l, mng);
        LINEREC v = Line(width, k, cap, kBlue);
        foExtLine(dc, 78 + 6 * (k - 2), 4, 78 + 6 * (k - 2), 92, &v, mng);
    }
}
void DashW3Flat(HDC dc) { DashRows(dc, 3, 1, nullptr); }
void DashW4Square(HDC dc) {
    Managed m(dc);
    DashRows(dc, 4, 2, &m.mng);
}
void DashW5Round(HDC dc) { DashRows(dc, 5, 3, nullptr); }

// Solid lines of widths 1 to 9: horizontal rows on the left, vertical
// columns on the right.
void WidthsAxis(HDC dc, int kind, int cap, MNG_OBJECT* mng) {
    int y = 5;
    for (int w = 1; w <= 9; ++w) {
        LINEREC l = Line(w, kind, cap, w % 2 ? kRed : kBlue);
        foExtLine(dc, 8, y, 56, y, &l, mng);
        y += w + 3;
    }
    int x = 66;
    for (int w = 1; w <= 9; ++w) {
        LINEREC l = Line(w, kind, cap, w % 2 ? kGreen : kPurple);
        foExtLine(dc, x, 88, x, 10, &l, mng);
        x += w + 2;
    }
}
void WidthsFlatAxis(HDC dc) { WidthsAxis(dc, 1, 1, nullptr); }
void WidthsSquareAxis(HDC dc) {
    Managed m(dc);
    WidthsAxis(dc, 1, 2, &m.mng);
}
void WidthsRoundAxis(HDC dc) { WidthsAxis(dc, 1, 3, nullptr); }
void WidthsDashAxis(HDC dc) { WidthsAxis(dc, 5, 1, nullptr); }

// Solid or dashed lines of widths 1 to 9 in a shallow slant (down-right)
// and a steep slant (up-left).
void WidthsSlant(HDC dc, int kind, int cap, MNG_OBJECT* mng) {
    for (int w = 1; w <= 9; ++w) {
        LINEREC l = Line(w, kind, cap, w % 2 ? kRed : kBlue);
        int y = 4 + 5 * w;
        foExtLine(dc, 6, y - 3, 62, y + 12, &l, mng);
        LINEREC s = Line(w, kind, cap, w % 2 ? kGreen : kPurple);
        int x = 66 + 6 * w;
        foExtLine(dc, x, 92, x - 14, 40, &s, mng);
    }
}
void WidthsFlatSlant(HDC dc) { WidthsSlant(dc, 1, 1, nullptr); }
void WidthsSquareSlant(HDC dc) {
    Managed m(dc);
    WidthsSlant(dc, 1, 2, &m.mng);
}
void WidthsRoundSlant(HDC dc) { WidthsSlant(dc, 1, 3, nullptr); }
void WidthsDashSlant(HDC dc) { WidthsSlant(dc, 4, 1, nullptr); }
void WidthsUserSlant(HDC dc) { WidthsSlant(dc, 8, 2, nullptr); }

// Double lines of widths 3 to 9, horizontal and vertical, flat and square.
void DoubleAxis(HDC dc) {
    int y = 6;
    for (int w = 3; w <= 9; ++w) {
        LINEREC l = Line(w, 9, w % 2 ? 1 : 2, kRed);
        foExtLine(dc, 6, y, 60, y, &l, nullptr);
        y += w + 4;
    }
    int x = 70;
    for (int w = 3; w <= 9; ++w) {
        LINEREC l = Line(w, 9, w % 2 ? 2 : 1, kBlue);
        foExtLine(dc, x, 6, x, 90, &l, nullptr);
        x += w + 3;
    }
}
void DoubleSlant(HDC dc) { WidthsSlant(dc, 9, 1, nullptr); }

// Wave lines of widths 1 to 4, horizontal, vertical and slanted.
void Waves(HDC dc) {
    for (int w = 1; w <= 4; ++w) {
        LINEREC l = Line(w, 10, 1, kTeal);
        foExtLine(dc, 6, 6 + 14 * (w - 1), 70, 6 + 14 * (w - 1), &l, nullptr);
        LINEREC v = Line(w, 10, 1, kPurple);
        foExtLine(dc, 80 + 10 * (w - 1), 6, 80 + 10 * (w - 1), 90, &v, nullptr);
        LINEREC s = Line(w, 10, 1, kRed);
        foExtLine(dc, 4, 60 + 8 * (w - 1), 70, 75 + 8 * (w - 1), &s, nullptr);
    }
}
void WavesThin(HDC dc) {
    Managed m(dc);
    LINEREC l = Line(1, 10, 1, kTeal);
    l.waveHeight = 6;
    foExtLine(dc, 6, 10, 114, 10, &l, &m.mng);
    foExtLine(dc, 10, 20, 10, 90, &l, &m.mng);
    foExtLine(dc, 20, 30, 110, 80, &l, &m.mng);
    l.waveHeight = 10;
    foExtLine(dc, 110, 20, 40, 90, &l, &m.mng);
}

// ---------------------------------------------------------- polylines

// One line record through consecutive segments, so that the dash pattern
// carries across the corners.
void Carry(HDC dc, int width, int kind, int cap, bool slanted, MNG_OBJECT* mng) {
    const POINT axis[7] = {{8, 8}, {100, 8}, {100, 40}, {20, 40}, {20, 70}, {112, 70}, {112, 90}};
    const POINT slant[7] = {{6, 10}, {60, 30}, {110, 8}, {90, 60}, {30, 50}, {10, 90}, {114, 88}};
    const POINT* p = slanted ? slant : axis;
    LINEREC l = Line(width, kind, cap, kPurple);
    for (int i = 0; i + 1 < 7; ++i) foExtLine(dc, p[i].x, p[i].y, p[i + 1].x, p[i + 1].y, &l, mng);
}
void CarryThin(HDC dc) { Carry(dc, 1, 3, 1, false, nullptr); }
void CarryThinUser(HDC dc) {
    Managed m(dc);
    Carry(dc, 1, 8, 1, true, &m.mng);
}
void CarryWideFlat(HDC dc) { Carry(dc, 3, 6, 1, false, nullptr); }
void CarryWideSlant(HDC dc) { Carry(dc, 3, 2, 2, true, nullptr); }
void CarryRound(HDC dc) { Carry(dc, 5, 4, 3, false, nullptr); }

// --------------------------------------------------------- rectangles

// Every openSides value in a 6 x 3 grid of small rectangles.
void OpenSidesGrid(HDC dc, int width, int kind, int cap, MNG_OBJECT* mng, int unit = 1,
                   int yOrigin = 0, int ySign = 1) {
    for (int i = 0; i < 18; ++i) {
        int col = i % 6, row = i / 6;
        int l = (6 + col * 19) * unit, r = l + 12 * unit;
        int t = yOrigin + ySign * (8 + row * 30) * unit, b = t + ySign * 20 * unit;
        LINEREC line = Line(width, kind, cap, i % 2 ? kBlue : kRed, unit);
        RECTREC shape;
        std::memset(&shape, 0, sizeof shape);
        shape.openSides = kOpenSides[i];
        foExtRectangle(dc, Box(l, t, r, b), i == 17 ? 500 : 0, 0, &line, &shape, mng);
    }
}
void OpenSidesThin(HDC dc) { OpenSidesGrid(dc, 1, 1, 1, nullptr); }
void OpenSidesSquare(HDC dc) {
    Managed m(dc);
    OpenSidesGrid(dc, 4, 1, 2, &m.mng);
}
void OpenSidesDashFlat(HDC dc) { OpenSidesGrid(dc, 3, 3, 1, nullptr); }
void OpenSidesRound(HDC dc) { OpenSidesGrid(dc, 5, 1, 3, nullptr); }
void OpenSidesDouble(HDC dc) {
    Managed m(dc);
    OpenSidesGrid(dc, 6, 9, 2, &m.mng);
}

// Rectangles with rounded corners: each corner its own radius, thin and
// wide, solid and dashed.
void Radii(HDC dc, int width, int kind, int cap, int hatch, MNG_OBJECT* mng) {
    const unsigned short radii[6][4] = {{8, 8, 8, 8}, {0, 12, 0, 12}, {15, 0, 4, 0},
                                        {3, 6, 9, 12}, {20, 20, 0, 0}, {0, 0, 0, 10}};
    for (int i = 0; i < 6; ++i) {
        int col = i % 3, row = i / 3;
        int l = 6 + col * 39, t = 6 + row * 46;
        LINEREC line = Line(width, kind, cap, i % 2 ? kBlue : kGreen);
        RECTREC shape;
        std::memset(&shape, 0, sizeof shape);
        shape.openSides = i == 5 ? 52 : 0;
        for (int c = 0; c < 4; ++c) shape.radius[c] = radii[i][c];
        foExtRectangle(dc, Box(l, t, l + 32, t + 38), hatch, 0, &line, &shape, mng);
    }
}
void RadiiThin(HDC dc) { Radii(dc, 1, 1, 1, 0, nullptr); }
void RadiiWide(HDC dc) {
    Managed m(dc);
    Radii(dc, 5, 1, 2, 0, &m.mng);
}
void RadiiDashed(HDC dc) { Radii(dc, 3, 7, 1, 0, nullptr); }
void RadiiDouble(HDC dc) { Radii(dc, 9, 9, 1, 0, nullptr); }
void RadiiHatch(HDC dc) {
    SetTextColor(dc, kInk);
    Radii(dc, 2, 1, 1, 300, nullptr);
}

// Double frames of widths 3 to 9, nested; the wider ones with a fill.
void DoubleFrames(HDC dc) {
    int inset = 2;
    for (int w = 9; w >= 3; w -= 2) {
        LINEREC line = Line(w, 9, w % 4 == 1 ? 1 : 2, w % 4 == 1 ? kRed : kBlue);
        RECTREC shape;
        std::memset(&shape, 0, sizeof shape);
        foExtRectangle(dc, Box(inset + 4, inset + 4, 116 - inset, 92 - inset), 0, 0, &line, &shape,
                       nullptr);
        inset += w + 4;
    }
}

// The seventeen hatch densities, each in its own framed rectangle; unmanaged
// the library selects the hatch brush itself.
void HatchGrid(HDC dc, int fillFlags, bool managed) {
    SetTextColor(dc, kInk);
    SetBkColor(dc, RGB(250, 250, 200));
    MNG_OBJECT mng;
    std::memset(&mng, 0, sizeof mng);
    if (managed) StartMngObject(dc, &mng);
    for (int i = 0; i < 17; ++i) {
        int col = i % 6, row = i / 6;
        int l = 3 + col * 20, t = 3 + row * 31;
        LINEREC line = Line(1, 1, 1, kBlue);
        RECTREC shape;
        std::memset(&shape, 0, sizeof shape);
        if (managed) {
            HatchSelected h(dc, kHatchCodes[i]);
            foExtRectangle(dc, Box(l, t, l + 17, t + 27), kHatchCodes[i], fillFlags, &line, &shape,
                           &mng);
        } else {
            foExtRectangle(dc, Box(l, t, l + 17, t + 27), kHatchCodes[i], fillFlags, &line, &shape,
                           nullptr);
        }
    }
    if (managed) EndMngObject(dc, &mng);
}
void HatchUnmanaged(HDC dc) { HatchGrid(dc, 0, false); }
void HatchManaged(HDC dc) { HatchGrid(dc, 0, true); }
void HatchTransparent(HDC dc) {
    Backdrop(dc);
    HatchGrid(dc, 1, false);
}
void HatchTransparentManaged(HDC dc) {
    Backdrop(dc);
    HatchGrid(dc, 1, true);
}

// Hatch 1001 fills with the device context's current brush; code 0 (no
// fill) and an unknown code (no brush: the current one fills).
void HatchCurrentBrush(HDC dc) {
    Backdrop(dc);
    HBRUSH solid = CreateSolidBrush(kGreen);
    HGDIOBJ old = SelectObject(dc, solid);
    LINEREC line = Line(2, 1, 1, kRed);
    RECTREC shape;
    std::memset(&shape, 0, sizeof shape);
    foExtRectangle(dc, Box(6, 6, 56, 44), 1001, 0, &line, &shape, nullptr);
    foExtRectangle(dc, Box(64, 6, 114, 44), 1001, 1, &line, &shape, nullptr);
    foExtRectangle(dc, Box(6, 52, 56, 90), 0, 0, &line, &shape, nullptr);
    foExtRectangle(dc, Box(64, 52, 114, 90), 333, 0, &line, &shape, nullptr);
    SelectObject(dc, old);
    DeleteObject(solid);
}

// Rectangles given with their corners swapped, and a wide flat frame whose
// lines overlap at the corners.
void RectsReversed(HDC dc) {
    LINEREC line = Line(7, 1, 1, kTeal);
    RECTREC shape;
    std::memset(&shape, 0, sizeof shape);
    foExtRectangle(dc, Box(56, 44, 8, 6), 0, 0, &line, &shape, nullptr);
    LINEREC dashed = Line(2, 4, 2, kRed);
    foExtRectangle(dc, Box(112, 90, 66, 52), 875, 0, &dashed, &shape, nullptr);
    LINEREC thin = Line(1, 8, 1, kBlue);
    foExtRectangle(dc, Box(110, 8, 66, 44), 0, 0, &thin, &shape, nullptr);
    foExtRectangle(dc, Box(8, 90, 56, 52), 100, 0, &thin, &shape, nullptr);
}

// ----------------------------------------------------------- ellipses

// Outlines of kinds 1 to 10 at one width, circles and flat ellipses.
void EllipseKinds(HDC dc, int width, int cap, MNG_OBJECT* mng) {
    for (int k = 1; k <= 10; ++k) {
        int col = (k - 1) % 5, row = (k - 1) / 5;
        LINEREC line = Line(width, k, cap, k % 2 ? kRed : kBlue);
        int rx = row ? 10 : 9, ry = row ? 6 + k : 18;
        foExtEllipse(dc, 13 + col * 24, 24 + row * 48, rx, ry, 0, 0, &line, mng);
    }
}
void EllipseKindsThin(HDC dc) { EllipseKinds(dc, 1, 1, nullptr); }
void EllipseKindsWide(HDC dc) {
    Managed m(dc);
    EllipseKinds(dc, 4, 2, &m.mng);
}
void EllipseKindsRound(HDC dc) { EllipseKinds(dc, 3, 3, nullptr); }

// Solid and double outlines of widths 1 to 9, concentric.
void EllipseWidths(HDC dc) {
    for (int w = 1; w <= 9; w += 2) {
        LINEREC line = Line(w, 1, 1, w % 4 == 1 ? kRed : kGreen);
        foExtEllipse(dc, 30, 48, 6 + 4 * w, 40 - 3 * w, 0, 0, &line, nullptr);
    }
    for (int w = 3; w <= 9; w += 3) {
        LINEREC line = Line(w, 9, 1, kBlue);
        foExtEllipse(dc, 90, 48, 2 + 5 * w, 2 + 4 * w, 0, 0, &line, nullptr);
    }
}

// Hatched ellipses, plain and transparent, managed and unmanaged.
void EllipseHatch(HDC dc, int fillFlags, bool managed) {
    if (fillFlags) Backdrop(dc);
    SetTextColor(dc, kInk);
    MNG_OBJECT mng;
    std::memset(&mng, 0, sizeof mng);
    if (managed) StartMngObject(dc, &mng);
    for (int i = 0; i < 8; ++i) {
        int code = kHatchCodes[2 * i + (i % 2)];
        int col = i % 4, row = i / 4;
        LINEREC line = Line(i % 3 + 1, i % 2 ? 1 : 3, 1, kBlue);
        if (managed) {
            HatchSelected h(dc, code);
            foExtEllipse(dc, 15 + col * 30, 24 + row * 48, 13, 20 - 3 * col, code, fillFlags, &line, &mng);
        } else {
            foExtEllipse(dc, 15 + col * 30, 24 + row * 48, 13, 20 - 3 * col, code, fillFlags, &line,
                         nullptr);
        }
    }
    if (managed) EndMngObject(dc, &mng);
}
void EllipseHatchPlain(HDC dc) { EllipseHatch(dc, 0, false); }
void EllipseHatchManaged(HDC dc) { EllipseHatch(dc, 0, true); }
void EllipseHatchTransparent(HDC dc) { EllipseHatch(dc, 1, false); }
void EllipseHatchTransparentManaged(HDC dc) { EllipseHatch(dc, 1, true); }

// Solid fill (1000, never transparent) and the current brush (1001).
void EllipseSolidFills(HDC dc) {
    Backdrop(dc);
    SetTextColor(dc, kPurple);
    LINEREC line = Line(2, 1, 1, kRed);
    foExtEllipse(dc, 30, 48, 25, 40, 1000, 1, &line, nullptr);
    HBRUSH solid = CreateSolidBrush(kGreen);
    HGDIOBJ old = SelectObject(dc, solid);
    foExtEllipse(dc, 90, 30, 25, 20, 1001, 1, &line, nullptr);
    LINEREC none = Line(1, 0, 1, kRed);
    foExtEllipse(dc, 90, 75, 20, 15, 1001, 0, &none, nullptr);
    SelectObject(dc, old);
    DeleteObject(solid);
}

// ------------------------------------------- y-up metric mapping modes

// MM_LOMETRIC (0.1 mm, y up) with the origin at the canvas's bottom left.
void Lometric(HDC dc) {
    SetMapMode(dc, MM_LOMETRIC);
    SetViewportOrgEx(dc, 0, kLibCanvasHeight - 1, nullptr);
}
void Twips(HDC dc) {
    SetMapMode(dc, MM_TWIPS);
    SetViewportOrgEx(dc, 0, kLibCanvasHeight - 1, nullptr);
}

// Logical units of one device pixel along x, rounded down, at least 1: the
// scenarios below are laid out in these units so that they fit the canvas.
int UnitOf(HDC dc) {
    POINT p[2] = {{0, 0}, {1000, 0}};
    LPtoDP(dc, p, 2);
    int px = p[1].x - p[0].x;
    return px > 0 && 1000 / px > 0 ? 1000 / px : 1;
}

void MetricLines(HDC dc, bool twips, int cap, bool thinOnly) {
    twips ? Twips(dc) : Lometric(dc);
    int u = UnitOf(dc);
    for (int k = 1; k <= 8; ++k) {
        LINEREC l = Line(thinOnly ? 0 : k * u, k, cap, k % 2 ? kRed : kBlue, u);
        int y = (90 - 10 * k) * u;
        foExtLine(dc, 4 * u, y, 60 * u, y, &l, nullptr);
        LINEREC v = Line(thinOnly ? 0 : (9 - k) * u, k, cap, kGreen, u);
        int x = (64 + 7 * k) * u;
        foExtLine(dc, x, 4 * u, x, 90 * u, &v, nullptr);
    }
}
void LometricAxisLines(HDC dc) { MetricLines(dc, false, 1, false); }
void LometricThinLines(HDC dc) { MetricLines(dc, false, 1, true); }
void TwipsAxisLinesSquare(HDC dc) { MetricLines(dc, true, 2, false); }
void LometricRoundLines(HDC dc) { MetricLines(dc, false, 3, false); }

void LometricSlant(HDC dc) {
    Lometric(dc);
    int u = UnitOf(dc);
    for (int w = 1; w <= 9; w += 2) {
        LINEREC l = Line(w * u, w % 3 + 1, w % 2 ? 1 : 2, kPurple, u);
        foExtLine(dc, 6 * u, (10 + 9 * w) * u, 110 * u, (2 + 9 * w) * u, &l, nullptr);
    }
    LINEREC thin = Line(1, 5, 1, kTeal, u);
    foExtLine(dc, 8 * u, 8 * u, 70 * u, 90 * u, &thin, nullptr);
    foExtLine(dc, 70 * u, 90 * u, 115 * u, 4 * u, &thin, nullptr);
}

void LometricOpenSides(HDC dc) {
    Lometric(dc);
    int u = UnitOf(dc);
    OpenSidesGrid(dc, 3 * u, 1, 2, nullptr, u, 92 * u, -1);
}

void TwipsOpenSidesThin(HDC dc) {
    Twips(dc);
    int u = UnitOf(dc);
    Managed m(dc);
    OpenSidesGrid(dc, 1, 2, 1, &m.mng, u, 92 * u, -1);
}

void LometricHatch(HDC dc, int fillFlags) {
    if (fillFlags) Backdrop(dc);
    Lometric(dc);
    int u = UnitOf(dc);
    SetTextColor(dc, kInk);
    for (int i = 0; i < 6; ++i) {
        int col = i % 3, row = i / 3;
        int l = (6 + col * 38) * u, t = (90 - row * 45) * u;
        LINEREC line = Line(2 * u, i % 2 ? 9 : 1, 1, kBlue, u);
        RECTREC shape;
        std::memset(&shape, 0, sizeof shape);
        if (i == 5) shape.radius[0] = shape.radius[2] = static_cast<unsigned short>(8 * u);
        foExtRectangle(dc, Box(l, t, l + 32 * u, t - 38 * u), kHatchCodes[3 * i + 1], fillFlags, &line,
                       &shape, nullptr);
    }
}
void LometricHatchPlain(HDC dc) { LometricHatch(dc, 0); }
void LometricHatchTransparent(HDC dc) { LometricHatch(dc, 1); }

void TwipsDoubleFrames(HDC dc) {
    Twips(dc);
    int u = UnitOf(dc);
    Managed m(dc);
    for (int i = 0; i < 3; ++i) {
        LINEREC line = Line((3 + 3 * i) * u, 9, 1 + i % 2, i ? kRed : kBlue, u);
        RECTREC shape;
        std::memset(&shape, 0, sizeof shape);
        shape.openSides = i == 2 ? 20 : 0;
        int in = (6 + 14 * i) * u;
        foExtRectangle(dc, Box(in, 92 * u - in, 116 * u - in, in), 0, 0, &line, &shape, &m.mng);
    }
}

void LometricEllipses(HDC dc) {
    Lometric(dc);
    int u = UnitOf(dc);
    SetTextColor(dc, kInk);
    for (int i = 0; i < 6; ++i) {
        int col = i % 3, row = i / 3;
        LINEREC line = Line((1 + 2 * i) * u, i == 4 ? 10 : (i == 5 ? 9 : i + 1), 1 + i % 3,
                            i % 2 ? kRed : kBlue, u);
        // y grows upwards: the vertical radius carries the axis's sign.
        foExtEllipse(dc, (20 + col * 40) * u, (24 + row * 48) * u, 16 * u, -(10 + 3 * i) * u,
                     i % 2 ? 0 : kHatchCodes[4 + i], i == 4 ? 1 : 0, &line, nullptr);
    }
}

// ------------------------------------------------- generated scenarios

// A small deterministic generator, the same on every platform.
unsigned Next(unsigned* state) {
    *state = *state * 1103515245u + 12345u;
    return (*state >> 16) & 0x7FFF;
}
int Pick(unsigned* state, int lo, int hi) { return lo + static_cast<int>(Next(state) % unsigned(hi - lo + 1)); }

const COLORREF kPalette[5] = {kRed, kGreen, kBlue, kPurple, kTeal};

// Segments of kinds 1 to 9 with flat or square ends (roundEnds adds
// kind 10 and round ends), widths 1 to 9, any direction.
void RandomLines(HDC dc, unsigned seed, bool roundEnds) {
    unsigned st = seed;
    for (int i = 0; i < 24; ++i) {
        int kind = Pick(&st, 1, roundEnds ? 10 : 9);
        int cap = roundEnds ? 3 : Pick(&st, 1, 2);
        LINEREC l = Line(Pick(&st, 1, 9), kind, cap, kPalette[i % 5]);
        int x1 = Pick(&st, 2, 118), y1 = Pick(&st, 2, 94);
        int x2 = Pick(&st, 2, 118), y2 = Pick(&st, 2, 94);
        if (i % 4 == 0) y2 = y1;  // some axis-parallel ones
        if (i % 4 == 1) x2 = x1;
        foExtLine(dc, x1, y1, x2, y2, &l, nullptr);
    }
}
void RandomLines1(HDC dc) { RandomLines(dc, 11u, false); }
void RandomLines2(HDC dc) { RandomLines(dc, 2024u, false); }
void RandomLinesRound(HDC dc) { RandomLines(dc, 77u, true); }

// Rectangles with a random accepted openSides value, line kind, width, cap
// and hatch, no radii.
void RandomRects(HDC dc, unsigned seed, bool managed) {
    unsigned st = seed;
    SetTextColor(dc, kInk);
    MNG_OBJECT mng;
    std::memset(&mng, 0, sizeof mng);
    if (managed) StartMngObject(dc, &mng);
    for (int i = 0; i < 12; ++i) {
        LINEREC l = Line(Pick(&st, 1, 9), Pick(&st, 1, 9), Pick(&st, 1, 2), kPalette[i % 5]);
        RECTREC shape;
        std::memset(&shape, 0, sizeof shape);
        shape.openSides = kOpenSides[Pick(&st, 0, 16)];
        int code = Pick(&st, 0, 2) ? kHatchCodes[Pick(&st, 0, 16)] : 0;
        int x = Pick(&st, 4, 110), y = Pick(&st, 4, 86);
        RECT rc = Box(x, y, Pick(&st, 4, 116), Pick(&st, 4, 92));
        if (managed && code) {
            HatchSelected h(dc, code);
            foExtRectangle(dc, rc, code, Pick(&st, 0, 1), &l, &shape, &mng);
        } else {
            foExtRectangle(dc, rc, code, Pick(&st, 0, 1), &l, &shape, managed ? &mng : nullptr);
        }
    }
    if (managed) EndMngObject(dc, &mng);
}
void RandomRects1(HDC dc) { RandomRects(dc, 5u, false); }
void RandomRects2(HDC dc) { RandomRects(dc, 901u, true); }

// Ellipses of random centre, radii, kind, width and hatch.
void RandomEllipses(HDC dc, unsigned seed) {
    unsigned st = seed;
    SetTextColor(dc, kInk);
    for (int i = 0; i < 10; ++i) {
        LINEREC l = Line(Pick(&st, 1, 9), Pick(&st, 1, 10), Pick(&st, 1, 3), kPalette[i % 5]);
        int code = Pick(&st, 0, 1) ? kHatchCodes[Pick(&st, 0, 16)] : 0;
        foExtEllipse(dc, Pick(&st, 10, 110), Pick(&st, 10, 86), Pick(&st, 2, 30), Pick(&st, 2, 30), code,
                     Pick(&st, 0, 1), &l, nullptr);
    }
}
void RandomEllipses1(HDC dc) { RandomEllipses(dc, 3u); }
void RandomEllipses2(HDC dc) { RandomEllipses(dc, 4242u); }

// Small ellipses: radii 1 to 10 by 1 to 6, thin outlines, every other one
// filled solid.
void EllipseSmallRadii(HDC dc) {
    SetTextColor(dc, kGreen);
    int y = 2;
    for (int ry = 1; ry <= 6; ++ry) {
        int x = 2;
        for (int rx = 1; rx <= 10 && x + 2 * rx < 120; ++rx) {
            LINEREC l = Line(1, 1, 1, kRed);
            foExtEllipse(dc, x + rx, y + ry, rx, ry, (rx + ry) % 2 ? 1000 : 0, 0, &l, nullptr);
            x += 2 * rx + 2;
        }
        y += 2 * ry + 3;
    }
}

}  // namespace

const LibScenario kLibScenarios[] = {
    {"kinds_thin_horizontal", "line", true, KindsThinHorizontal},
    {"kinds_thin_vertical_mng", "line", true, KindsThinVertical},
    {"kinds_thin_slant", "line", true, KindsThinSlant},
    {"thin_directions", "line", true, ThinDirections},
    {"dash_w3_flat", "line", true, DashW3Flat},
    {"dash_w4_square_mng", "line", true, DashW4Square},
    {"dash_w5_round", "line", false, DashW5Round},
    {"widths_flat_axis", "line", true, WidthsFlatAxis},
    {"widths_square_axis_mng", "line", true, WidthsSquareAxis},
    {"widths_round_axis", "line", false, WidthsRoundAxis},
    {"widths_dash_axis", "line", true, WidthsDashAxis},
    {"widths_flat_slant", "line", true, WidthsFlatSlant},
    {"widths_square_slant_mng", "line", true, WidthsSquareSlant},
    {"widths_round_slant", "line", false, WidthsRoundSlant},
    {"widths_dash_slant", "line", true, WidthsDashSlant},
    {"widths_user_slant", "line", true, WidthsUserSlant},
    {"double_axis", "line", true, DoubleAxis},
    {"double_slant", "line", true, DoubleSlant},
    {"waves", "line", false, Waves},
    {"waves_thin_mng", "line", true, WavesThin},
    {"carry_thin", "polyline", true, CarryThin},
    {"carry_thin_user_mng", "polyline", true, CarryThinUser},
    {"carry_wide_flat", "polyline", true, CarryWideFlat},
    {"carry_wide_slant", "polyline", true, CarryWideSlant},
    {"carry_round", "polyline", false, CarryRound},
    {"open_sides_thin", "rect", true, OpenSidesThin},
    {"open_sides_square_mng", "rect", true, OpenSidesSquare},
    {"open_sides_dash_flat", "rect", true, OpenSidesDashFlat},
    {"open_sides_round", "rect", false, OpenSidesRound},
    {"open_sides_double_mng", "rect", true, OpenSidesDouble},
    {"radii_thin", "rect", false, RadiiThin},
    {"radii_wide_mng", "rect", false, RadiiWide},
    {"radii_dashed", "rect", false, RadiiDashed},
    {"radii_double", "rect", false, RadiiDouble},
    {"radii_hatch", "rect", false, RadiiHatch},
    {"double_frames", "rect", true, DoubleFrames},
    {"hatch_unmanaged", "rect", true, HatchUnmanaged},
    {"hatch_managed", "rect", true, HatchManaged},
    {"hatch_transparent", "rect", true, HatchTransparent},
    {"hatch_transparent_mng", "rect", true, HatchTransparentManaged},
    {"hatch_current_brush", "rect", true, HatchCurrentBrush},
    {"rects_reversed", "rect", true, RectsReversed},
    {"ellipse_kinds_thin", "ellipse", false, EllipseKindsThin},
    {"ellipse_kinds_wide_mng", "ellipse", false, EllipseKindsWide},
    {"ellipse_kinds_round", "ellipse", false, EllipseKindsRound},
    {"ellipse_widths", "ellipse", false, EllipseWidths},
    {"ellipse_hatch", "ellipse", false, EllipseHatchPlain},
    {"ellipse_hatch_mng", "ellipse", false, EllipseHatchManaged},
    {"ellipse_hatch_transparent", "ellipse", false, EllipseHatchTransparent},
    {"ellipse_hatch_transp_mng", "ellipse", false, EllipseHatchTransparentManaged},
    {"ellipse_solid_fills", "ellipse", false, EllipseSolidFills},
    {"ellipse_small_radii", "ellipse", false, EllipseSmallRadii},
    {"random_lines_1", "random", true, RandomLines1},
    {"random_lines_2", "random", true, RandomLines2},
    {"random_lines_round", "random", false, RandomLinesRound},
    {"random_rects_1", "random", true, RandomRects1},
    {"random_rects_2_mng", "random", true, RandomRects2},
    {"random_ellipses_1", "random", false, RandomEllipses1},
    {"random_ellipses_2", "random", false, RandomEllipses2},
    {"lometric_axis_lines", "metric", true, LometricAxisLines},
    {"lometric_thin_lines", "metric", true, LometricThinLines},
    {"twips_axis_lines_square", "metric", true, TwipsAxisLinesSquare},
    {"lometric_round_lines", "metric", false, LometricRoundLines},
    {"lometric_slant", "metric", true, LometricSlant},
    {"lometric_open_sides", "metric", true, LometricOpenSides},
    {"twips_open_sides_thin_mng", "metric", true, TwipsOpenSidesThin},
    {"lometric_hatch", "metric", false, LometricHatchPlain},
    {"lometric_hatch_transparent", "metric", false, LometricHatchTransparent},
    {"twips_double_frames_mng", "metric", true, TwipsDoubleFrames},
    {"lometric_ellipses", "metric", false, LometricEllipses},
};

const int kLibScenarioCount = static_cast<int>(sizeof kLibScenarios / sizeof kLibScenarios[0]);
