// The rounded-rectangle fill of the rectangle drawing, plain or as a
// transparent pattern, and the transparent paint it shares with the ellipse
// fill.
//
// Corner arcs are approximated by straight segments, twice GetArcStepAngle's
// count per quarter. Angles are in radians with 0 toward device right and
// growing toward device down (ArcPoint with ay = +sy).
#include <cmath>
#include <cstdint>
#include <cstring>

#include "draw/rect_internal.h"

namespace wx5n {
namespace {

// The fill outline: room for 537 points; arcs stop at 270.
constexpr int kFillPoints = 537;
constexpr int kFillArcLimit = 268;  // an arc stores points while n <= this

bool IsSolidBrush(HDC hdc) {
    HGDIOBJ brush = GetCurrentObject(hdc, OBJ_BRUSH);
    if (!brush) return false;
    LOGBRUSH lb;
    std::memset(&lb, 0, sizeof(lb));
    if (GetObjectA(brush, sizeof(lb), &lb) == 0) return false;
    return lb.lbStyle == BS_SOLID;
}

}  // namespace

int PaintFigure(HDC hdc, const FillFigure& figure) {
    if (figure.points) return Polygon(hdc, figure.points, figure.count);
    return Ellipse(hdc, figure.ellipse.left, figure.ellipse.top, figure.ellipse.right,
                   figure.ellipse.bottom);
}

// The two XOR boxes cancel outside the figure. Inside it the first XOR
// gives D ^ T (T the text colour); the MASK pass with black ink (0) and white
// paper (0xFFFFFF) makes ink pixels 0 and keeps paper pixels; the second
// XOR then leaves T on ink pixels and D on paper pixels.
//
// The text-colour brush is created, selected, used and deleted here, also
// in managed drawing: entered into the management record it could push the
// host's pattern brush out of a full list, and the record would delete the
// very brush the mask pass needs.
int PaintTransparent(HDC hdc, const RECT& box, const FillFigure& figure) {
    const int oldRop = GetROP2(hdc);
    SetROP2(hdc, R2_XORPEN);
    const int oldStretch = GetStretchBltMode(hdc);
    const bool stretchChanged = oldStretch != HALFTONE;
    if (stretchChanged) SetStretchBltMode(hdc, HALFTONE);

    const LOGBRUSH textLb = MakeSolidBrush(GetTextColor(hdc));
    HBRUSH textBrush = CreateBrushIndirect(&textLb);
    HGDIOBJ pattern = textBrush ? SelectObject(hdc, textBrush) : nullptr;
    Rectangle(hdc, box.left, box.top, box.right, box.bottom);
    if (pattern) SelectObject(hdc, pattern);

    SetROP2(hdc, R2_MASKPEN);
    const COLORREF oldText = GetTextColor(hdc);
    const COLORREF oldBk = GetBkColor(hdc);
    const bool textChanged = oldText != 0;
    const bool bkChanged = oldBk != 0xFFFFFF;
    if (textChanged) SetTextColor(hdc, 0);
    if (bkChanged) SetBkColor(hdc, 0xFFFFFF);
    const int result = PaintFigure(hdc, figure);
    if (textChanged) SetTextColor(hdc, oldText);
    if (bkChanged) SetBkColor(hdc, oldBk);

    SetROP2(hdc, R2_XORPEN);
    if (textBrush) SelectObject(hdc, textBrush);
    Rectangle(hdc, box.left, box.top, box.right, box.bottom);
    if (pattern) SelectObject(hdc, pattern);
    if (textBrush) DeleteObject(textBrush);

    if (stretchChanged) SetStretchBltMode(hdc, oldStretch);
    SetROP2(hdc, oldRop);
    return result;
}

int FillRoundRect(HDC hdc, RECT rect, int rTopLeft, int rTopRight, int rBottomRight,
                  int rBottomLeft, int transparent, MNG_OBJECT* mng) {
    if (!hdc) return 0;
    POINT sign{1, 1};
    GetAxisSign(hdc, &sign);
    const int sx = sign.x, sy = sign.y;
    int64_t L, T, R, B;
    NormaliseRect(rect, sx, sy, &L, &T, &R, &B);

    struct Corner {
        int r;
        int64_t edgeX, edgeY;  // the rectangle's corner
        int64_t inX, inY;      // a logical step inward from it
        double from, to;
    };
    // Clockwise on the device from the bottom-right corner; each centre lies
    // r inward of both edges of its corner.
    const Corner corners[4] = {
        {rBottomRight, R, B, -sx, -sy, 0.0, kHalfPi},
        {rBottomLeft, L, B, sx, -sy, kHalfPi, kPi},
        {rTopLeft, L, T, sx, sy, kPi, kThreeHalfPi},
        {rTopRight, R, T, -sx, sy, kThreeHalfPi, kTwoPi},
    };

    POINT pts[kFillPoints];
    int n = 0;
    for (const Corner& c : corners) {
        if (c.r == 0) {
            if (n >= kFillPoints) return 0;
            pts[n++] = POINT{ClampLong(c.edgeX), ClampLong(c.edgeY)};
            continue;
        }
        const int64_t cx = c.edgeX + c.inX * c.r;
        const int64_t cy = c.edgeY + c.inY * c.r;
        const double step = GetArcStepAngle(hdc, c.r) / 2.0;
        double a = c.from;
        while (a < c.to && n <= kFillArcLimit) {
            pts[n++] = ArcPoint(cx, cy, c.r, a, sx, sy);
            a += step;
        }
        if (n > kFillArcLimit + 1) return 0;  // the outline does not fit
        pts[n++] = ArcPoint(cx, cy, c.r, c.to, sx, sy);
    }

    HGDIOBJ oldPen = nullptr;
    HPEN nullPen = nullptr;
    const LOGPEN nullLp = MakeNullPen();
    if (mng) {
        foSelectPen(hdc, nullLp, &oldPen, mng);
    } else {
        nullPen = CreatePenIndirect(&nullLp);
        if (nullPen) oldPen = SelectObject(hdc, nullPen);
    }

    // Transparency applies to pattern brushes only.
    if (transparent && IsSolidBrush(hdc)) transparent = 0;

    const FillFigure figure{pts, n, RECT{0, 0, 0, 0}};
    int result;
    if (transparent) {
        int px = 0, py = 0;
        GetPixelSize(hdc, &px, &py, nullptr);
        const int64_t mx = 5 * static_cast<int64_t>(px < 0 ? -px : px);
        const int64_t my = 5 * static_cast<int64_t>(py < 0 ? -py : py);
        const RECT box{ClampLong(L - mx * sx), ClampLong(T - my * sy), ClampLong(R + mx * sx),
                       ClampLong(B + my * sy)};
        result = PaintTransparent(hdc, box, figure);
    } else {
        result = PaintFigure(hdc, figure);
    }

    if (nullPen) {
        SelectObject(hdc, oldPen);
        DeleteObject(nullPen);
    }
    return result;
}

}  // namespace wx5n
