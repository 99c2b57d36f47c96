// Drawing entry points: logical to device coordinates, rectangle ordering,
// pen insets, then the primitives.
#include "gdi_internal.h"

#include <algorithm>
#include <cstdlib>

namespace swgdi {
namespace {

// Shapes whose device size exceeds this many pixels fail instead of
// allocating per-pixel outlines (about 1.7 m at 600 dpi).
constexpr int64_t kMaxShapeSize = int64_t(1) << 20;
// Points handed to region building are kept within this range so that pen
// offsets and ellipse boxes cannot overflow 32-bit coordinates.
constexpr LONG kCrop = LONG(1) << 29;

POINT Crop(POINT p) {
    p.x = std::clamp<LONG>(p.x, -kCrop, kCrop);
    p.y = std::clamp<LONG>(p.y, -kCrop, kCrop);
    return p;
}

int PenStyle(const Dc* dc) { return static_cast<int>(dc->pen.lopnStyle & PS_STYLE_MASK); }

// The device width of the selected pen; 0 for the null pen.
int PenWidth(const Dc* dc) { return PenStyle(dc) == PS_NULL ? 0 : dc->penWidth; }

// Wide pens are drawn as regions (round ends and joins); thinner ones as
// cosmetic lines.
bool PenIsWide(const Dc* dc) { return PenWidth(dc) > 1; }

// A region covering the surface rows from top to bottom (device rows,
// clamped to the surface).
Region RowsRegion(const Surface& s, int64_t top, int64_t bottom) {
    int t = static_cast<int>(std::clamp<int64_t>(top, 0, s.height));
    int b = static_cast<int>(std::clamp<int64_t>(bottom, 0, s.height));
    return Region(t, b, s.width);
}

void BoundsY(const std::vector<POINT>& pts, int64_t* top, int64_t* bottom) {
    *top = INT64_MAX;
    *bottom = INT64_MIN;
    for (const POINT& p : pts) {
        *top = std::min<int64_t>(*top, p.y);
        *bottom = std::max<int64_t>(*bottom, p.y);
    }
}

// Strokes a chain of device points with the selected pen: cosmetic lines
// each without their last pixel (so a closed chain paints every pixel once),
// or, for a wide pen, into the outline region.
void StrokeCosmetic(Dc* dc, const Surface& s, const POINT* pts, int count, bool closed) {
    Paint pen = PenPaint(dc, s);
    if (pen.none) return;
    DashState dash;
    Paint gap;
    bool dashed = dc->penWidth == 1 && CosmeticDashes(PenStyle(dc), &dash);
    if (dashed) {
        if (dc->bkMode == OPAQUE) {
            uint32_t bk;
            if (s.bpp != 1)
                bk = ColorToPixel(dc, s, dc->bkColor, false);
            else {
                uint32_t fg = ColorToPixel(dc, s, dc->pen.lopnColor, true);
                bk = (dc->pen.lopnColor & 0xFFFFFF) != (dc->bkColor & 0xFFFFFF) ? (fg ^ 1u) : fg;
            }
            RopMasks(dc->rop2, bk, &gap.andMask, &gap.xorMask);
        } else {
            gap.none = true;
        }
    }
    for (int i = 0; i + 1 < count; ++i)
        DrawCosmeticLine(s, pts[i], pts[i + 1], pen, dashed ? &dash : nullptr, &gap);
    if (closed && count > 1)
        DrawCosmeticLine(s, pts[count - 1], pts[0], pen, dashed ? &dash : nullptr, &gap);
}

Region WideOutline(const Dc* dc, const Surface& s, const std::vector<POINT>& pts, bool closed) {
    int64_t top, bottom;
    BoundsY(pts, &top, &bottom);
    int w = PenWidth(dc);
    Region outline = RowsRegion(s, top - w, bottom + w + 2);
    std::vector<POINT> cropped(pts.size());
    std::transform(pts.begin(), pts.end(), cropped.begin(), Crop);
    AddWideOutline(cropped.data(), static_cast<int>(cropped.size()), closed, w, 0, 0, &outline);
    outline.Normalize();
    return outline;
}

// Fills an interior region with the brush and strokes the outline: a wide
// pen's outline region is cut out of the interior so that every pixel is
// painted once; cosmetic outlines are drawn over the interior.
void FillAndStroke(Dc* dc, const Surface& s, Region* interior, const std::vector<POINT>& pts,
                   bool closed) {
    Paint brush = BrushPaint(dc, s, dc->brush, dc->brushPattern, dc->rop2);
    if (PenIsWide(dc)) {
        Region outline = WideOutline(dc, s, pts, closed);
        if (interior && !brush.none) {
            interior->Subtract(outline);
            interior->Paint(s, brush);
        }
        outline.Paint(s, PenPaint(dc, s));
        return;
    }
    if (interior && !brush.none) interior->Paint(s, brush);
    StrokeCosmetic(dc, s, pts.data(), static_cast<int>(pts.size()), closed);
}

std::vector<POINT> ToDevicePoints(const Dc* dc, const POINT* pts, int count) {
    std::vector<POINT> out(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) out[size_t(i)] = ToDevice(dc, pts[i].x, pts[i].y);
    return out;
}

// The device rectangle of a shape: corners mapped, then ordered. With
// PS_INSIDEFRAME the pen is kept inside the box.
struct DeviceRect {
    int64_t left, top, right, bottom;
};

DeviceRect ShapeRect(const Dc* dc, int l, int t, int r, int b) {
    POINT p1 = ToDevice(dc, l, t), p2 = ToDevice(dc, r, b);
    DeviceRect d{std::min(p1.x, p2.x), std::min(p1.y, p2.y), std::max(p1.x, p2.x),
                 std::max(p1.y, p2.y)};
    return d;
}

void InsideFrame(const Dc* dc, DeviceRect* d) {
    if (PenStyle(dc) != PS_INSIDEFRAME) return;
    int w = PenWidth(dc);
    d->left += w / 2;
    d->top += w / 2;
    d->right -= (w - 1) / 2;
    d->bottom -= (w - 1) / 2;
}

LONG Clamp32(int64_t v) { return static_cast<LONG>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// Rectangle: the outline runs through the box's right and bottom pixels
// minus one (right and bottom edges excluded); a cosmetic pen's interior is
// inset by the pen; with the null pen the fill covers the box without its
// right column and bottom row.
BOOL DrawRectangle(Dc* dc, int l, int t, int r, int b, bool journal) {
    Surface s = dc->GetSurface();
    DeviceRect d = ShapeRect(dc, l, t, r, b);
    if (journal)
        Journal(dc, "Rectangle", nullptr,
                {Clamp32(d.left), Clamp32(d.top), Clamp32(d.right), Clamp32(d.bottom)}, nullptr, 0,
                TRUE);
    if (d.left == d.right || d.top == d.bottom) return TRUE;
    InsideFrame(dc, &d);
    d.right--;
    d.bottom--;
    if (PenIsWide(dc)) {
        std::vector<POINT> pts = {{Clamp32(d.right), Clamp32(d.top)},
                                  {Clamp32(d.left), Clamp32(d.top)},
                                  {Clamp32(d.left), Clamp32(d.bottom)},
                                  {Clamp32(d.right), Clamp32(d.bottom)}};
        Region interior = RowsRegion(s, d.top, d.bottom);
        interior.AddRect(d.left, d.top, d.right, d.bottom);
        interior.Normalize();
        FillAndStroke(dc, s, &interior, pts, true);
        return TRUE;
    }
    POINT pts[4] = {{Clamp32(d.right), Clamp32(d.top)},
                    {Clamp32(d.left), Clamp32(d.top)},
                    {Clamp32(d.left), Clamp32(d.bottom)},
                    {Clamp32(d.right), Clamp32(d.bottom)}};
    // The interior lies inside the outline, so the order of the two does not
    // change a pixel; filling first finds the outline's rows in the cache.
    int w = PenWidth(dc);
    Paint brush = BrushPaint(dc, s, dc->brush, dc->brushPattern, dc->rop2);
    PaintRect(s, Clamp32(d.left + (w + 1) / 2), Clamp32(d.top + (w + 1) / 2),
              Clamp32(d.right - w / 2), Clamp32(d.bottom - w / 2), brush);
    StrokeCosmetic(dc, s, pts, 4, true);
    return TRUE;
}

// Rounded rectangles and ellipses: the interior is the round-rectangle
// region one pixel larger than the box to the right and bottom (the region
// itself leaves out its last column and row); the outline passes through
// the integer ellipse points of each corner, mirrored.
BOOL DrawRoundRect(Dc* dc, const char* op, int l, int t, int r, int b, int64_t ewLog,
                   int64_t ehLog) {
    Surface s = dc->GetSurface();
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
    // Wholly off the surface, pen included: nothing to draw. What remains
    // lies within 2^20 pixels of the surface, so the arithmetic below fits.
    const int64_t reach = PenWidth(dc) + 2;
    if (d.right + reach < 0 || d.bottom + reach < 0 || d.left - reach > s.width ||
        d.top - reach > s.height)
        return TRUE;
    const int L = static_cast<int>(d.left), T = static_cast<int>(d.top);
    const int R = static_cast<int>(d.right), B = static_cast<int>(d.bottom);
    Paint brush = BrushPaint(dc, s, dc->brush, dc->brushPattern, dc->rop2);
    Region interior = RowsRegion(s, T, int64_t(B) + 1);
    if (!brush.none) {
        AddRoundRectRegion(L, T, R + 1, B + 1, static_cast<int>(ew), static_cast<int>(eh),
                           &interior);
        interior.Normalize();
    }
    std::vector<POINT> q = EllipseFirstQuadrant(static_cast<int>(ew), static_cast<int>(eh));
    size_t count = q.size();
    std::vector<POINT> pts(4 * count + 4);
    for (size_t i = 0; i < count; ++i)  // counterclockwise from the right
        pts[i] = {R - LONG(ew) + q[i].x, T + LONG(eh) - 1 - q[i].y};
    size_t end = 2 * count - 1;  // mirror left-right, the middle point once
    if (ew % 2 && ew == R - L) end--;
    for (size_t i = 0; i < count; ++i) pts[end - i] = {L + R - 1 - pts[i].x, pts[i].y};
    count = end + 1;
    end = 2 * count - 1;  // mirror top-bottom
    if (eh % 2 && eh == B - T) end--;
    for (size_t i = 0; i < count; ++i) pts[end - i] = {pts[i].x, T + B - 1 - pts[i].y};
    count = end + 1;
    pts.resize(count);
    FillAndStroke(dc, s, brush.none ? nullptr : &interior, pts, true);
    return TRUE;
}

// The device rectangle of a PatBlt: both corners mapped; a negative extent
// covers the pixels before the origin, including the origin's own.
bool BltRect(const Dc* dc, int x, int y, int w, int h, DeviceRect* out) {
    POINT p1 = ToDevice(dc, x, y);
    POINT p2 = ToDevice(dc, Clamp32(int64_t(x) + w), Clamp32(int64_t(y) + h));
    int64_t dw = int64_t(p2.x) - p1.x, dh = int64_t(p2.y) - p1.y;
    if (dw < 0) {
        out->left = p1.x + dw + 1;
        out->right = int64_t(p1.x) + 1;
    } else {
        out->left = p1.x;
        out->right = p1.x + dw;
    }
    if (dh < 0) {
        out->top = p1.y + dh + 1;
        out->bottom = int64_t(p1.y) + 1;
    } else {
        out->top = p1.y;
        out->bottom = p1.y + dh;
    }
    return true;
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
    Surface s = dc->GetSurface();
    std::vector<POINT> pts = {ToDevice(dc, dc->curPos.x, dc->curPos.y), ToDevice(dc, x, y)};
    Journal(dc, "LineTo", nullptr, {}, pts.data(), 2, TRUE);
    if (PenIsWide(dc))
        WideOutline(dc, s, pts, false).Paint(s, PenPaint(dc, s));
    else
        StrokeCosmetic(dc, s, pts.data(), 2, false);
    dc->curPos = {x, y};
    return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* pts, int count) {
    Dc* dc = FindDc(hdc);
    if (!dc || !pts || count < 2) return FALSE;
    Surface s = dc->GetSurface();
    std::vector<POINT> dev = ToDevicePoints(dc, pts, count);
    Journal(dc, "Polyline", nullptr, {}, dev.data(), count, TRUE);
    if (PenIsWide(dc))
        WideOutline(dc, s, dev, false).Paint(s, PenPaint(dc, s));
    else
        StrokeCosmetic(dc, s, dev.data(), count, false);
    return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* pts, int count) {
    Dc* dc = FindDc(hdc);
    if (!dc || !pts || count < 2) return FALSE;
    Surface s = dc->GetSurface();
    std::vector<POINT> dev = ToDevicePoints(dc, pts, count);
    Journal(dc, "Polygon", nullptr, {dc->polyFillMode}, dev.data(), count, TRUE);
    Paint brush = BrushPaint(dc, s, dc->brush, dc->brushPattern, dc->rop2);
    int64_t top, bottom;
    BoundsY(dev, &top, &bottom);
    Region interior = RowsRegion(s, top, bottom);
    if (!brush.none) {
        std::vector<POINT> cropped(dev.size());
        std::transform(dev.begin(), dev.end(), cropped.begin(), Crop);
        ScanPolygons(cropped.data(), &count, 1, dc->polyFillMode, &interior);
        interior.Normalize();
    }
    FillAndStroke(dc, s, brush.none ? nullptr : &interior, dev, true);
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
    Surface s = dc->GetSurface();
    DeviceRect d;
    BltRect(dc, x, y, width, height, &d);
    Journal(dc, "PatBlt", nullptr,
            {Clamp32(d.left), Clamp32(d.top), Clamp32(d.right - d.left),
             Clamp32(d.bottom - d.top), LONG(rop)},
            nullptr, 0, TRUE);
    int rop2 = Rop2FromRop3(rop);
    Paint p;
    switch (rop2) {
    case R2_BLACK: p.andMask = 0; p.xorMask = 0; break;
    case R2_WHITE: p.andMask = 0; p.xorMask = ~0u; break;
    case R2_NOT: p.andMask = ~0u; p.xorMask = ~0u; break;
    case R2_NOP: return TRUE;
    default: p = BrushPaint(dc, s, dc->brush, dc->brushPattern, rop2); break;
    }
    PaintRect(s, Clamp32(d.left), Clamp32(d.top), Clamp32(d.right), Clamp32(d.bottom), p);
    return TRUE;
}

// FillRect paints with the given brush as PatBlt(PATCOPY) does, whatever the
// DC's ROP2: the right column and bottom row are excluded.
int FillRect(HDC hdc, const RECT* rect, HBRUSH hbrush) {
    Dc* dc = FindDc(hdc);
    Brush* b = FindBrush(hbrush);
    if (!dc || !rect || !b) return 0;
    Surface s = dc->GetSurface();
    DeviceRect d;
    BltRect(dc, rect->left, rect->top, Clamp32(int64_t(rect->right) - rect->left),
            Clamp32(int64_t(rect->bottom) - rect->top), &d);
    LOGBRUSH saved = dc->brush;
    dc->brush = b->logbrush;
    Journal(dc, "FillRect", hbrush,
            {Clamp32(d.left), Clamp32(d.top), Clamp32(d.right), Clamp32(d.bottom)}, nullptr, 0,
            TRUE);
    dc->brush = saved;
    Paint p = BrushPaint(dc, s, b->logbrush, b->pattern, R2_COPYPEN);
    PaintRect(s, Clamp32(d.left), Clamp32(d.top), Clamp32(d.right), Clamp32(d.bottom), p);
    return 1;
}

// SetPixel writes the colour's nearest pixel under the DC's ROP2 and returns
// the colour written; CLR_INVALID when the point is off the bitmap.
COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
    Dc* dc = FindDc(hdc);
    if (!dc) return CLR_INVALID;
    Surface s = dc->GetSurface();
    POINT d = ToDevice(dc, x, y);
    Journal(dc, "SetPixel", nullptr, {d.x, d.y, LONG(color)}, nullptr, 0, TRUE);
    if (d.x < 0 || d.y < 0 || d.x >= s.width || d.y >= s.height) return CLR_INVALID;
    uint32_t pixel = ColorToPixel(dc, s, color, false);
    Paint p;
    RopMasks(dc->rop2, pixel, &p.andMask, &p.xorMask);
    PaintSpan(s, d.y, d.x, d.x + 1, p);
    return PixelToColor(s, pixel);
}

COLORREF GetPixel(HDC hdc, int x, int y) {
    Dc* dc = FindDc(hdc);
    if (!dc) return CLR_INVALID;
    Surface s = dc->GetSurface();
    POINT d = ToDevice(dc, x, y);
    if (d.x < 0 || d.y < 0 || d.x >= s.width || d.y >= s.height) return CLR_INVALID;
    return PixelToColor(s, ReadPixel(s, d.x, d.y));
}

}  // extern "C"
