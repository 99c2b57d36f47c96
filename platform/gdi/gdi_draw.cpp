// Drawing entry points: logical to device coordinates, rectangle ordering,
// pen insets and the journal; the DC's driver draws.
#include "gdi_internal.h"

#include <algorithm>
#include <cstdlib>

namespace swgdi {
namespace {

// Shapes whose device size exceeds this many pixels fail instead of
// allocating per-pixel outlines (about 1.7 m at 600 dpi).
constexpr int64_t kMaxShapeSize = int64_t(1) << 20;

int PenStyle(const Dc* dc) { return static_cast<int>(dc->pen.lopnStyle & PS_STYLE_MASK); }

// The device width of the selected pen; 0 for the null pen.
int PenWidth(const Dc* dc) { return PenStyle(dc) == PS_NULL ? 0 : dc->penWidth; }

// Maps points into the DC's point buffer (kept across calls).
const POINT* ToDevicePoints(Dc* dc, const POINT* pts, int count) {
    dc->devPoints.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) dc->devPoints[size_t(i)] = ToDevice(dc, pts[i].x, pts[i].y);
    return dc->devPoints.data();
}

// The device rectangle of a shape: corners mapped, then ordered.
DeviceRect ShapeRect(const Dc* dc, int l, int t, int r, int b) {
    POINT p1 = ToDevice(dc, l, t), p2 = ToDevice(dc, r, b);
    DeviceRect d{std::min(p1.x, p2.x), std::min(p1.y, p2.y), std::max(p1.x, p2.x),
                 std::max(p1.y, p2.y)};
    return d;
}

// With PS_INSIDEFRAME the pen is kept inside the box.
void InsideFrame(const Dc* dc, DeviceRect* d) {
    if (PenStyle(dc) != PS_INSIDEFRAME) return;
    int w = PenWidth(dc);
    d->left += w / 2;
    d->top += w / 2;
    d->right -= (w - 1) / 2;
    d->bottom -= (w - 1) / 2;
}

LONG Clamp32(int64_t v) { return static_cast<LONG>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

BOOL DrawRectangle(Dc* dc, int l, int t, int r, int b, bool journal) {
    DeviceRect d = ShapeRect(dc, l, t, r, b);
    if (journal)
        Journal(dc, "Rectangle", nullptr,
                {Clamp32(d.left), Clamp32(d.top), Clamp32(d.right), Clamp32(d.bottom)}, nullptr, 0,
                TRUE);
    if (d.left == d.right || d.top == d.bottom) return TRUE;
    InsideFrame(dc, &d);
    dc->driver->Rectangle(dc, d);
    return TRUE;
}

// Rounded rectangles and ellipses whose corner ellipses are two pixels or
// less across are drawn as rectangles.
BOOL DrawRoundRect(Dc* dc, const char* op, int l, int t, int r, int b, int64_t ewLog,
                   int64_t ehLog) {
    DeviceRect d = ShapeRect(dc, l, t, r, b);
    Journal(dc, op, nullptr, {Clamp32(d.left), Clamp32(d.top), Clamp32(d.right), Clamp32(d.bottom)},
            nullptr, 0, TRUE);
    if (d.left == d.right || d.top == d.bottom) return TRUE;
    InsideFrame(dc, &d);
    if (d.right - d.left > kMaxShapeSize || d.bottom - d.top > kMaxShapeSize) return FALSE;
    POINT e0 = ToDevice(dc, 0, 0), e1 = ToDevice(dc, Clamp32(ewLog), Clamp32(ehLog));
    int64_t ew = std::min<int64_t>(d.right - d.left, std::llabs(int64_t(e1.x) - e0.x));
    int64_t eh = std::min<int64_t>(d.bottom - d.top, std::llabs(int64_t(e1.y) - e0.y));
    if (ew <= 2 || eh <= 2) return DrawRectangle(dc, l, t, r, b, false);
    dc->driver->RoundRect(dc, d, static_cast<int>(ew), static_cast<int>(eh));
    return TRUE;
}

// The device rectangle of a PatBlt: both corners mapped; a negative extent
// covers the pixels before the origin, including the origin's own.
DeviceRect BltRect(const Dc* dc, int x, int y, int w, int h) {
    POINT p1 = ToDevice(dc, x, y);
    POINT p2 = ToDevice(dc, Clamp32(int64_t(x) + w), Clamp32(int64_t(y) + h));
    int64_t dw = int64_t(p2.x) - p1.x, dh = int64_t(p2.y) - p1.y;
    DeviceRect out;
    if (dw < 0) {
        out.left = p1.x + dw + 1;
        out.right = int64_t(p1.x) + 1;
    } else {
        out.left = p1.x;
        out.right = p1.x + dw;
    }
    if (dh < 0) {
        out.top = p1.y + dh + 1;
        out.bottom = int64_t(p1.y) + 1;
    } else {
        out.top = p1.y;
        out.bottom = p1.y + dh;
    }
    return out;
}

// The ROP2 a ternary raster operation reduces to when it ignores the source.
int Rop2FromRop3(DWORD rop) { return static_cast<int>((((rop >> 18) & 0x0c) | ((rop >> 16) & 0x03)) + 1); }

bool RopUsesSource(DWORD rop) { return (((rop >> 2) ^ rop) & 0x330000u) != 0; }

}  // namespace
}  // namespace swgdi

using namespace swgdi;

extern "C" {

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT old) {
    Dc* dc = FindDc(hdc);
    if (!dc) return FALSE;
    if (old) *old = dc->curPos;
    dc->curPos = {x, y};
    POINT d = ToDevice(dc, x, y);
    Journal(dc, "MoveToEx", nullptr, {d.x, d.y}, nullptr, 0, TRUE);
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
    Dc* dc = FindDc(hdc);
    if (!dc) return FALSE;
    POINT pts[2] = {ToDevice(dc, dc->curPos.x, dc->curPos.y), ToDevice(dc, x, y)};
    Journal(dc, "LineTo", nullptr, {}, pts, 2, TRUE);
    dc->driver->Polyline(dc, pts, 2);
    dc->curPos = {x, y};
    return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* pts, int count) {
    Dc* dc = FindDc(hdc);
    if (!dc || !pts || count < 2) return FALSE;
    const POINT* dev = ToDevicePoints(dc, pts, count);
    Journal(dc, "Polyline", nullptr, {}, dev, count, TRUE);
    dc->driver->Polyline(dc, dev, count);
    return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* pts, int count) {
    Dc* dc = FindDc(hdc);
    if (!dc || !pts || count < 2) return FALSE;
    const POINT* dev = ToDevicePoints(dc, pts, count);
    Journal(dc, "Polygon", nullptr, {dc->polyFillMode}, dev, count, TRUE);
    dc->driver->Polygon(dc, dev, count);
    return TRUE;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    Dc* dc = FindDc(hdc);
    if (!dc) return FALSE;
    return DrawRectangle(dc, left, top, right, bottom, true);
}

BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height) {
    Dc* dc = FindDc(hdc);
    if (!dc) return FALSE;
    return DrawRoundRect(dc, "RoundRect", left, top, right, bottom, width, height);
}

BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom) {
    Dc* dc = FindDc(hdc);
    if (!dc) return FALSE;
    return DrawRoundRect(dc, "Ellipse", left, top, right, bottom, int64_t(right) - left,
                         int64_t(bottom) - top);
}

// PatBlt paints the rectangle with the selected brush under the ROP2 the
// raster operation reduces to; operations that read a source fail.
BOOL PatBlt(HDC hdc, int x, int y, int width, int height, DWORD rop) {
    Dc* dc = FindDc(hdc);
    if (!dc || RopUsesSource(rop)) return FALSE;
    DeviceRect d = BltRect(dc, x, y, width, height);
    Journal(dc, "PatBlt", nullptr,
            {Clamp32(d.left), Clamp32(d.top), Clamp32(d.right - d.left),
             Clamp32(d.bottom - d.top), LONG(rop)},
            nullptr, 0, TRUE);
    int rop2 = Rop2FromRop3(rop);
    if (rop2 == R2_NOP || d.left >= d.right || d.top >= d.bottom) return TRUE;
    dc->driver->FillBox(dc, d, dc->brush, dc->brushPattern, rop2);
    return TRUE;
}

// FillRect paints with the given brush as PatBlt(PATCOPY) does, whatever the
// DC's ROP2: the right column and bottom row are excluded.
int FillRect(HDC hdc, const RECT* rect, HBRUSH hbrush) {
    Dc* dc = FindDc(hdc);
    Brush* b = FindBrush(hbrush);
    if (!dc || !rect || !b) return 0;
    DeviceRect d = BltRect(dc, rect->left, rect->top, Clamp32(int64_t(rect->right) - rect->left),
                           Clamp32(int64_t(rect->bottom) - rect->top));
    LOGBRUSH saved = dc->brush;
    dc->brush = b->logbrush;
    Journal(dc, "FillRect", hbrush,
            {Clamp32(d.left), Clamp32(d.top), Clamp32(d.right), Clamp32(d.bottom)}, nullptr, 0,
            TRUE);
    dc->brush = saved;
    if (d.left < d.right && d.top < d.bottom)
        dc->driver->FillBox(dc, d, b->logbrush, b->pattern, R2_COPYPEN);
    return 1;
}

// SetPixel writes the colour's nearest pixel under the DC's ROP2 and returns
// the colour written; CLR_INVALID when the point is off the device.
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    Dc* dc = FindDc(hdc);
    if (!dc) return CLR_INVALID;
    POINT d = ToDevice(dc, x, y);
    Journal(dc, "SetPixel", nullptr, {d.x, d.y, LONG(color)}, nullptr, 0, TRUE);
    return dc->driver->SetPixel(dc, d, color);
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    Dc* dc = FindDc(hdc);
    if (!dc) return CLR_INVALID;
    return dc->driver->GetPixel(dc, ToDevice(dc, x, y));
}

}  // extern "C"
