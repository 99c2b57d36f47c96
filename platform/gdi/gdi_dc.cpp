// Device contexts: creation, state, device metrics and the window/viewport
// mapping.
#include "gdi_internal.h"

#include <cmath>
#include <cstdlib>

namespace swgdi {
namespace {

// a * b / c rounded half away from zero, -1 when c is 0 or the result does
// not fit (GDI's MulDiv).
int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    if (c < 0) {
        a = -a;
        c = -c;
    }
    int64_t p = int64_t(a) * b;
    int64_t r = (p >= 0) ? (p + c / 2) / c : (p - c / 2) / c;
    if (r > 2147483647 || r < -2147483647) return -1;
    return static_cast<int>(r);
}

// floor(v + 0.5) saturated to the int range.
LONG RoundHalfUp(double v) {
    double r = std::floor(v + 0.5);
    if (!(r > -2147483648.0)) return INT32_MIN;  // also NaN
    if (r > 2147483647.0) return INT32_MAX;
    return static_cast<LONG>(r);
}

// In MM_ISOTROPIC one logical unit has the same size on both axes: the
// viewport extent of the larger axis shrinks to match the other, rounded,
// never to 0.
void FixIsotropic(Dc* dc) {
    double xdim = std::fabs(double(dc->vpExt.cx) * dc->horzSize /
                            (double(dc->horzRes) * dc->wndExt.cx));
    double ydim = std::fabs(double(dc->vpExt.cy) * dc->vertSize /
                            (double(dc->vertRes) * dc->wndExt.cy));
    if (xdim > ydim) {
        LONG minCx = dc->vpExt.cx >= 0 ? 1 : -1;
        dc->vpExt.cx = RoundHalfUp(dc->vpExt.cx * ydim / xdim);
        if (!dc->vpExt.cx) dc->vpExt.cx = minCx;
    } else {
        LONG minCy = dc->vpExt.cy >= 0 ? 1 : -1;
        dc->vpExt.cy = RoundHalfUp(dc->vpExt.cy * xdim / ydim);
        if (!dc->vpExt.cy) dc->vpExt.cy = minCy;
    }
}

bool IsScalable(const Dc* dc) {
    return dc->mapMode == MM_ISOTROPIC || dc->mapMode == MM_ANISOTROPIC;
}

}  // namespace

// The transform is kept as GDI keeps it: scale and offset computed in double
// and stored as single-precision floats; its inverse is computed from the
// stored floats. Points are then mapped in double and rounded half up.
void UpdateXform(Dc* dc) {
    double sx = double(dc->vpExt.cx) / double(dc->wndExt.cx);
    double sy = double(dc->vpExt.cy) / double(dc->wndExt.cy);
    dc->m11 = static_cast<float>(sx);
    dc->m22 = static_cast<float>(sy);
    dc->dx = static_cast<float>(double(dc->vpOrg.x) - sx * double(dc->wndOrg.x));
    dc->dy = static_cast<float>(double(dc->vpOrg.y) - sy * double(dc->wndOrg.y));
    float detf = dc->m11 * dc->m22;
    double det = detf;
    if (det > -1e-12 && det < 1e-12) {
        dc->inverseValid = false;
        return;
    }
    dc->inverseValid = true;
    dc->i11 = static_cast<float>(dc->m22 / det);
    dc->i22 = static_cast<float>(dc->m11 / det);
    dc->idx = -dc->dx * dc->i11;
    dc->idy = -dc->dy * dc->i22;
}

POINT ToDevice(const Dc* dc, LONG x, LONG y) {
    POINT p;
    p.x = RoundHalfUp(double(x) * double(dc->m11) + double(dc->dx));
    p.y = RoundHalfUp(double(y) * double(dc->m22) + double(dc->dy));
    return p;
}

// A pen's width in device pixels, fixed when the pen is selected: the length
// of (width, 0) mapped to the device, at least 1.
int PenDeviceWidth(const Dc* dc, int logicalWidth) {
    if (!logicalWidth) return 1;
    POINT a = ToDevice(dc, 0, 0);
    POINT b = ToDevice(dc, logicalWidth, 0);
    double w = std::floor(std::hypot(double(b.x) - a.x, double(b.y) - a.y));
    if (w > 1e6) w = 1e6;  // wider than any page; keeps the arithmetic small
    return w < 1 ? 1 : static_cast<int>(w);
}

}  // namespace swgdi

using namespace swgdi;

extern "C" {

HDC CreateCompatibleDC(HDC hdc) {
    Dc* from = nullptr;
    if (hdc && !(from = FindDc(hdc))) return nullptr;
    auto dc = std::make_unique<Dc>();
    dc->defaultBitmap.width = dc->defaultBitmap.height = 1;
    dc->defaultBitmap.bpp = 1;
    dc->defaultBitmap.stride = 4;
    dc->defaultBitmap.topDown = true;
    if (!dc->defaultBitmap.storage.Allocate(4)) return nullptr;
    dc->hbitmap = DefaultBitmapHandle();
    dc->hpen = StockObject(BLACK_PEN);
    dc->hbrush = StockObject(WHITE_BRUSH);
    dc->pen = LOGPEN{PS_SOLID, {0, 0}, 0};
    dc->brush = LOGBRUSH{BS_SOLID, RGB(255, 255, 255), 0};
    if (from) {
        dc->horzRes = from->horzRes;
        dc->vertRes = from->vertRes;
        dc->horzSize = from->horzSize;
        dc->vertSize = from->vertSize;
        dc->logPixelsX = from->logPixelsX;
        dc->logPixelsY = from->logPixelsY;
    }
    dc->driver = NewRasterDriver();
    UpdateXform(dc.get());
    HGDIOBJ h = AddObject(std::move(dc));
    JournalObjectEvent("CreateCompatibleDC", h);
    return static_cast<HDC>(h);
}

BOOL DeleteDC(HDC hdc) {
    Dc* dc = FindDc(hdc);
    if (!dc) return FALSE;
    JournalObjectEvent("DeleteDC", hdc);
    dc->driver->Finish(dc);
    HGDIOBJ pen = dc->hpen, brush = dc->hbrush, bitmap = dc->hbitmap;
    bool owns = dc->ownsBitmap;
    FreeObject(hdc);
    ReleaseSelected(pen);
    ReleaseSelected(brush);
    ReleaseSelected(bitmap);
    if (owns) DeleteObject(bitmap);
    return TRUE;
}

int GetDeviceCaps(HDC hdc, int index) {
    Dc* dc = FindDc(hdc);
    if (!dc) return 0;
    switch (index) {
    case DRIVERVERSION: return 0x4000;
    case TECHNOLOGY: return dc->isPage ? DT_RASPRINTER : DT_RASDISPLAY;
    case HORZSIZE: return dc->horzSize;
    case VERTSIZE: return dc->vertSize;
    case HORZRES: return dc->horzRes;
    case VERTRES: return dc->vertRes;
    case BITSPIXEL: return dc->bitmap ? dc->bitmap->bpp : 32;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case LOGPIXELSX: return dc->logPixelsX;
    case LOGPIXELSY: return dc->logPixelsY;
    case PHYSICALWIDTH: return dc->isPage ? dc->horzRes : 0;
    case PHYSICALHEIGHT: return dc->isPage ? dc->vertRes : 0;
    default: return 0;
    }
}

int GetMapMode(HDC hdc) {
    Dc* dc = FindDc(hdc);
    return dc ? dc->mapMode : 0;
}

// Metric modes map millimetres, inches or twips to pixels through the DC's
// HORZSIZE/HORZRES (and vertical) metrics, y axis up.
int SetMapMode(HDC hdc, int mode) {
    Dc* dc = FindDc(hdc);
    if (!dc) return 0;
    int old = dc->mapMode;
    if (mode == old && IsScalable(dc)) return old;
    switch (mode) {
    case MM_TEXT:
        dc->wndExt = {1, 1};
        dc->vpExt = {1, 1};
        break;
    case MM_LOMETRIC:
    case MM_ISOTROPIC:
        dc->wndExt = {dc->horzSize * 10, dc->vertSize * 10};
        break;
    case MM_HIMETRIC:
        dc->wndExt = {dc->horzSize * 100, dc->vertSize * 100};
        break;
    case MM_LOENGLISH:
        dc->wndExt = {MulDiv(1000, dc->horzSize, 254), MulDiv(1000, dc->vertSize, 254)};
        break;
    case MM_HIENGLISH:
        dc->wndExt = {MulDiv(10000, dc->horzSize, 254), MulDiv(10000, dc->vertSize, 254)};
        break;
    case MM_TWIPS:
        dc->wndExt = {MulDiv(14400, dc->horzSize, 254), MulDiv(14400, dc->vertSize, 254)};
        break;
    case MM_ANISOTROPIC:
        break;
    default:
        return 0;
    }
    if (mode != MM_TEXT && mode != MM_ANISOTROPIC) dc->vpExt = {dc->horzRes, -dc->vertRes};
    dc->mapMode = mode;
    UpdateXform(dc);
    Journal(dc, "SetMapMode", nullptr, {mode}, nullptr, 0, TRUE);
    return old;
}

BOOL GetWindowOrgEx(HDC hdc, LPPOINT pt) {
    Dc* dc = FindDc(hdc);
    if (!dc || !pt) return FALSE;
    *pt = dc->wndOrg;
    return TRUE;
}

BOOL SetWindowOrgEx(HDC hdc, int x, int y, LPPOINT old) {
    Dc* dc = FindDc(hdc);
    if (!dc) return FALSE;
    if (old) *old = dc->wndOrg;
    dc->wndOrg = {x, y};
    UpdateXform(dc);
    return TRUE;
}

BOOL GetWindowExtEx(HDC hdc, LPSIZE size) {
    Dc* dc = FindDc(hdc);
    if (!dc || !size) return FALSE;
    *size = dc->wndExt;
    return TRUE;
}

// Extents change only in MM_ISOTROPIC and MM_ANISOTROPIC; elsewhere the call
// succeeds and changes nothing. A zero extent fails.
BOOL SetWindowExtEx(HDC hdc, int x, int y, LPSIZE old) {
    Dc* dc = FindDc(hdc);
    if (!dc) return FALSE;
    if (old) *old = dc->wndExt;
    if (!IsScalable(dc)) return TRUE;
    if (!x || !y) return FALSE;
    dc->wndExt = {x, y};
    if (dc->mapMode == MM_ISOTROPIC) FixIsotropic(dc);
    UpdateXform(dc);
    return TRUE;
}

BOOL GetViewportOrgEx(HDC hdc, LPPOINT pt) {
    Dc* dc = FindDc(hdc);
    if (!dc || !pt) return FALSE;
    *pt = dc->vpOrg;
    return TRUE;
}

BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT old) {
    Dc* dc = FindDc(hdc);
    if (!dc) return FALSE;
    if (old) *old = dc->vpOrg;
    dc->vpOrg = {x, y};
    UpdateXform(dc);
    return TRUE;
}

BOOL GetViewportExtEx(HDC hdc, LPSIZE size) {
    Dc* dc = FindDc(hdc);
    if (!dc || !size) return FALSE;
    *size = dc->vpExt;
    return TRUE;
}

BOOL SetViewportExtEx(HDC hdc, int x, int y, LPSIZE old) {
    Dc* dc = FindDc(hdc);
    if (!dc) return FALSE;
    if (old) *old = dc->vpExt;
    if (!IsScalable(dc)) return TRUE;
    if (!x || !y) return FALSE;
    dc->vpExt = {x, y};
    if (dc->mapMode == MM_ISOTROPIC) FixIsotropic(dc);
    UpdateXform(dc);
    return TRUE;
}

BOOL LPtoDP(HDC hdc, LPPOINT pts, int count) {
    Dc* dc = FindDc(hdc);
    if (!dc || count < 0 || (count > 0 && !pts)) return FALSE;
    for (int i = 0; i < count; ++i) pts[i] = ToDevice(dc, pts[i].x, pts[i].y);
    return TRUE;
}

BOOL DPtoLP(HDC hdc, LPPOINT pts, int count) {
    Dc* dc = FindDc(hdc);
    if (!dc || !dc->inverseValid || count < 0 || (count > 0 && !pts)) return FALSE;
    for (int i = 0; i < count; ++i) {
        double x = pts[i].x, y = pts[i].y;
        double lx = std::floor(x * double(dc->i11) + double(dc->idx) + 0.5);
        double ly = std::floor(y * double(dc->i22) + double(dc->idy) + 0.5);
        pts[i].x = lx > 2147483647.0 ? INT32_MAX : (lx < -2147483648.0 ? INT32_MIN : LONG(lx));
        pts[i].y = ly > 2147483647.0 ? INT32_MAX : (ly < -2147483648.0 ? INT32_MIN : LONG(ly));
    }
    return TRUE;
}

int GetROP2(HDC hdc) {
    Dc* dc = FindDc(hdc);
    return dc ? dc->rop2 : 0;
}

int SetROP2(HDC hdc, int rop2) {
    Dc* dc = FindDc(hdc);
    if (!dc || rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
    int old = dc->rop2;
    dc->rop2 = rop2;
    dc->Changed();
    Journal(dc, "SetROP2", nullptr, {rop2}, nullptr, 0, TRUE);
    return old;
}

COLORREF GetBkColor(HDC hdc) {
    Dc* dc = FindDc(hdc);
    return dc ? dc->bkColor : CLR_INVALID;
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
    Dc* dc = FindDc(hdc);
    if (!dc) return CLR_INVALID;
    COLORREF old = dc->bkColor;
    dc->bkColor = color;
    dc->Changed();
    return old;
}

COLORREF GetTextColor(HDC hdc) {
    Dc* dc = FindDc(hdc);
    return dc ? dc->textColor : CLR_INVALID;
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
    Dc* dc = FindDc(hdc);
    if (!dc) return CLR_INVALID;
    COLORREF old = dc->textColor;
    dc->textColor = color;
    dc->Changed();
    return old;
}

int GetBkMode(HDC hdc) {
    Dc* dc = FindDc(hdc);
    return dc ? dc->bkMode : 0;
}

int SetBkMode(HDC hdc, int mode) {
    Dc* dc = FindDc(hdc);
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    int old = dc->bkMode;
    dc->bkMode = mode;
    dc->Changed();
    return old;
}

int GetStretchBltMode(HDC hdc) {
    Dc* dc = FindDc(hdc);
    return dc ? dc->stretchMode : 0;
}

int SetStretchBltMode(HDC hdc, int mode) {
    Dc* dc = FindDc(hdc);
    if (!dc || mode < BLACKONWHITE || mode > HALFTONE) return 0;
    int old = dc->stretchMode;
    dc->stretchMode = mode;
    return old;
}

int GetPolyFillMode(HDC hdc) {
    Dc* dc = FindDc(hdc);
    return dc ? dc->polyFillMode : 0;
}

int SetPolyFillMode(HDC hdc, int mode) {
    Dc* dc = FindDc(hdc);
    if (!dc || (mode != ALTERNATE && mode != WINDING)) return 0;
    int old = dc->polyFillMode;
    dc->polyFillMode = mode;
    return old;
}

BOOL GetBrushOrgEx(HDC hdc, LPPOINT pt) {
    Dc* dc = FindDc(hdc);
    if (!dc || !pt) return FALSE;
    *pt = dc->brushOrg;
    return TRUE;
}

BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT old) {
    Dc* dc = FindDc(hdc);
    if (!dc) return FALSE;
    if (old) *old = dc->brushOrg;
    dc->brushOrg = {x, y};
    dc->Changed();
    return TRUE;
}

BOOL GetCurrentPositionEx(HDC hdc, LPPOINT pt) {
    Dc* dc = FindDc(hdc);
    if (!dc || !pt) return FALSE;
    *pt = dc->curPos;
    return TRUE;
}

BOOL swgdi_SetDeviceMetrics(HDC hdc, int horzRes, int vertRes, int horzSizeMm, int vertSizeMm,
                            int logPixelsX, int logPixelsY) {
    Dc* dc = FindDc(hdc);
    if (!dc || horzRes <= 0 || vertRes <= 0 || horzSizeMm <= 0 || vertSizeMm <= 0 ||
        logPixelsX <= 0 || logPixelsY <= 0)
        return FALSE;
    dc->horzRes = horzRes;
    dc->vertRes = vertRes;
    dc->horzSize = horzSizeMm;
    dc->vertSize = vertSizeMm;
    dc->logPixelsX = logPixelsX;
    dc->logPixelsY = logPixelsY;
    return TRUE;
}

HDC swgdi_CreatePageDC(int widthPx, int heightPx, int dpiX, int dpiY, int bpp) {
    if (widthPx <= 0 || heightPx <= 0 || dpiX <= 0 || dpiY <= 0 || (bpp != 32 && bpp != 1))
        return nullptr;
    auto bmp = NewBitmap(widthPx, heightPx, bpp, true, true);
    if (!bmp) return nullptr;
    // A fresh page is white.
    Surface s = bmp->GetSurface();
    for (int y = 0; y < s.height; ++y) {
        if (bpp == 32) {
            uint32_t* row = reinterpret_cast<uint32_t*>(s.row(y));
            for (int x = 0; x < s.width; ++x) row[x] = 0x00FFFFFFu;
        } else {
            uint8_t* row = s.row(y);
            for (ptrdiff_t i = 0; i < bmp->stride; ++i) row[i] = 0xFF;
        }
    }
    HDC hdc = CreateCompatibleDC(nullptr);
    if (!hdc) return nullptr;
    HBITMAP hbmp = static_cast<HBITMAP>(AddObject(std::move(bmp)));
    SelectObject(hdc, hbmp);
    Dc* dc = FindDc(hdc);
    dc->ownsBitmap = true;
    dc->isPage = true;
    // Millimetres rounded to the nearest, never 0.
    int mmX = static_cast<int>(std::lround(widthPx * 25.4 / dpiX));
    int mmY = static_cast<int>(std::lround(heightPx * 25.4 / dpiY));
    swgdi_SetDeviceMetrics(hdc, widthPx, heightPx, mmX < 1 ? 1 : mmX, mmY < 1 ? 1 : mmY, dpiX,
                           dpiY);
    return hdc;
}

BOOL swgdi_GetSurface(HDC hdc, SWGDI_SURFACE* out) {
    Dc* dc = FindDc(hdc);
    if (!dc || !out || !dc->driver->IsRaster()) return FALSE;
    Surface s = dc->GetSurface();
    out->bits = s.row0;
    out->stride = s.pitch;
    out->width = s.width;
    out->height = s.height;
    out->bitsPerPixel = s.bpp;
    return TRUE;
}

}  // extern "C"
