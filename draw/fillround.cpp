// Rectangle frame and fill primitives: the rounded-rectangle fill (plain or
// transparent pattern) and the styled quarter-circle corner arc that the
// rectangle frames are built from.
//
// Arcs are approximated by straight segments, GetArcStepAngle's count per
// quarter (twice as many for the fill). Angles are in radians with 0 toward
// device right; a point at angle a on radius r round (cx, cy) is
// (cx + round(r cos a) * sx, cy + round(r sin a) * ay), where ay = -sy in
// the corner arc (angles grow toward device up) and +sy in the fill.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "draw/rect_internal.h"

namespace wx5n {
namespace {

constexpr double kHalfPi = 1.5707963267948966;
constexpr double kPi = 3.141592653589793;
constexpr double kThreeHalfPi = 4.71238898038469;
constexpr double kTwoPi = 6.283185307179586;

// The fill outline: room for 537 points; arcs stop at 270.
constexpr int kFillPoints = 537;
constexpr int kFillArcLimit = 268;  // an arc stores points while n <= this
// The corner-arc piece: an outline of at most 33 points or a band of 33
// outer and 33 inner points.
constexpr int kArcPoints = 66;
constexpr int kArcSteps = 32;

POINT ArcPoint(int64_t cx, int64_t cy, double r, double a, int sx, int ay) {
    return POINT{ClampLong(cx + static_cast<int64_t>(RoundToInt(r * std::cos(a))) * sx),
                 ClampLong(cy + static_cast<int64_t>(RoundToInt(r * std::sin(a))) * ay)};
}

// Snaps points to device pixels (there and back), drops each point equal to
// the one kept before it, and makes a lone point a one-pixel line along
// +dx. Returns the number of points left (at least 2 when count >= 1).
int SnapPolyline(HDC hdc, POINT* pts, int count, int64_t dx) {
    LPtoDP(hdc, pts, count);
    DPtoLP(hdc, pts, count);
    int kept = 1;
    for (int i = 1; i < count; ++i) {
        if (pts[i].x != pts[kept - 1].x || pts[i].y != pts[kept - 1].y) pts[kept++] = pts[i];
    }
    if (kept < 2) {
        pts[1] = POINT{ClampLong(pts[0].x + dx), pts[0].y};
        kept = 2;
    }
    return kept;
}

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

// The corner arc, piece by piece: a dash is a stroked polyline (cap 3: round
// or thin lines) or a filled band between the inner and outer radius of the
// line (cap 1 and 2). The dash state of `line` comes in from the side before
// the arc and goes out to the side after it.
int DrawCornerArc(HDC hdc, int cx, int cy, int radius, int quadrant, LINEREC* line,
                  MNG_OBJECT* mng) {
    if (!line) return 0;
    if (quadrant < 1 || quadrant > 4) return 0;
    if (line->kind == kKindNone) return 1;
    const int64_t r = radius;
    if (r <= 0) return 1;  // no arc to draw

    const int64_t pix = GetPixToLog(hdc);
    const int64_t W = RoundLineWidth(hdc, line->width);
    int cap = LineModeOf(line->cap, static_cast<int>(W), static_cast<int>(pix));

    // In a gap, a corner no wider than the line leaves the state alone.
    if ((line->dashIndex & 1) != 0 && r <= W) return 1;

    POINT sign{1, 1};
    GetAxisSign(hdc, &sign);
    const int ax = sign.x, ay = -sign.y;
    const int64_t ri = r - W / 2;
    const int64_t ro = (W - W / 2) + r;
    if (ro <= ri + pix) cap = kModePen;
    const bool stroked = cap == kModePen;

    int64_t ccx = cx, ccy = cy;
    double a0 = 0, a1 = 0;
    const bool oddShift = (W & 1) != 0 && !stroked;
    switch (quadrant) {
        case 1: a0 = kPi; a1 = kHalfPi; if (oddShift) { ccx += sign.x; ccy += sign.y; } break;
        case 2: a0 = kHalfPi; a1 = 0.0; if (oddShift) ccy += sign.y; break;
        case 3: a0 = kTwoPi; a1 = kThreeHalfPi; break;
        default: a0 = kThreeHalfPi; a1 = kPi; if (oddShift) ccx += sign.x; break;
    }

    // The pattern: a solid line is one piece the length of the quarter.
    int pattern[6] = {0, 0, 0, 0, 0, 0};
    int count = line->dashCount;
    if (line->kind == kKindSolid) {
        pattern[0] = TruncToInt(static_cast<double>(r) * kPi / 2.0);
        count = 1;
    } else {
        if (count < 1 || count > 6) count = 1;
        for (int i = 0; i < 6; ++i) pattern[i] = line->dashPattern[i];
    }
    // Every length at least one logical unit, so each piece moves on.
    for (int i = 0; i < count; ++i)
        if (pattern[i] < 1) pattern[i] = 1;

    const double rd = static_cast<double>(r);
    const double halfAng = stroked ? (static_cast<double>(W) / rd) / 2.0 : 0.0;

    // Objects.
    HGDIOBJ oldPen = nullptr, oldBrush = nullptr;
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
    const int penWidth = static_cast<int>(pix / 2 > 0 ? W + 1 : W);
    if (mng) {
        HGDIOBJ prev = nullptr;
        if (stroked) {
            foSelectPen(hdc, MakeSolidPen(penWidth, line->color), &prev, mng);
        } else {
            foSelectBrush(hdc, MakeSolidBrush(line->color), &prev, mng);
            foSelectPen(hdc, MakeNullPen(), &prev, mng);
        }
    } else if (stroked) {
        pen = CreatePen(PS_SOLID, penWidth, line->color);
        if (pen) oldPen = SelectObject(hdc, pen);
    } else {
        const LOGBRUSH lb = MakeSolidBrush(line->color);
        brush = CreateBrushIndirect(&lb);
        if (brush) oldBrush = SelectObject(hdc, brush);
        oldPen = SelectObject(hdc, GetStockObject(NULL_PEN));
    }

    // Dash state. A radius within half the width draws the quarter as one
    // piece the length of its outer edge.
    const int64_t quarterOuter = TruncToInt(static_cast<double>(ro) * kPi / 2.0);
    int64_t carry = W < ro ? line->dashCarry : quarterOuter;
    if (carry < 0) carry = 0;
    int idx = line->kind == kKindSolid ? 0 : line->dashIndex;
    if (idx < 0 || idx >= count) idx = 0;
    double rest = 0.0;
    const double step = GetArcStepAngle(hdc, static_cast<int>(ro > INT32_MAX ? INT32_MAX : ro));

    if (stroked) {
        if (carry == 0) {
            a0 += halfAng;
        } else if ((idx & 1) != 0) {  // finishing a gap
            a0 -= static_cast<double>(carry) / rd;
            carry = 0;
            idx = idx + 1 >= count ? 0 : idx + 1;
        } else if (pattern[idx] - carry < W / 2) {  // finishing a dash
            a0 -= static_cast<double>(W / 2 - (pattern[idx] - carry)) / rd;
        } else {
            a0 += halfAng;
            carry += W;
        }
        a1 -= halfAng;
    }

    POINT pts[kArcPoints];
    int pieces = 0;
    while (a0 > a1 && pieces < kMaxDashPieces) {
        ++pieces;
        int64_t len = pattern[idx];
        if (carry != 0) {
            len = carry;
            carry = 0;
        }
        double an = a0 - static_cast<double>(len) / rd;
        if (an <= a1 || line->kind == kKindSolid) {
            rest = stroked ? a1 + halfAng - an : a1 - an;
            an = a1;
        }
        if ((idx & 1) == 0) {
            int n = 0;
            if (stroked) {
                double a = a0 - halfAng;
                while (an + halfAng < a && n < kArcSteps) {
                    pts[n++] = ArcPoint(ccx, ccy, rd, a, ax, ay);
                    a -= step;
                }
                pts[n++] = ArcPoint(ccx, ccy, rd, an + halfAng, ax, ay);
                n = SnapPolyline(hdc, pts, n, pix * ax);
                Polyline(hdc, pts, n);
            } else {
                // Outer points forward from the start, inner ones backward
                // from the end of the buffer, then joined into one ring.
                const double rOut = static_cast<double>(ro), rIn = static_cast<double>(ri);
                double a = a0;
                while (a > an && n < kArcSteps) {
                    pts[n] = ArcPoint(ccx, ccy, rOut, a, ax, ay);
                    pts[kArcPoints - 1 - n] = ArcPoint(ccx, ccy, rIn, a, ax, ay);
                    ++n;
                    a -= step;
                }
                pts[n] = ArcPoint(ccx, ccy, rOut, an, ax, ay);
                pts[kArcPoints - 1 - n] = ArcPoint(ccx, ccy, rIn, an, ax, ay);
                ++n;
                std::memmove(&pts[n], &pts[kArcPoints - n], sizeof(POINT) * n);
                Polygon(hdc, pts, 2 * n);
            }
        }
        a0 = an;
        idx = idx + 1 >= count ? 0 : idx + 1;
    }

    if (!mng) {
        if (oldPen) SelectObject(hdc, oldPen);
        if (pen) DeleteObject(pen);
        if (brush) {
            SelectObject(hdc, oldBrush);
            DeleteObject(brush);
        }
    }

    // The state for the next side: the part of the last entry that lies
    // beyond the arc's end, on that entry.
    if (rest != 0.0) carry = RoundToInt(rd * rest);
    if (carry == 0) carry = 1;
    idx = idx - 1 < 0 ? count - 1 : idx - 1;
    if (carry < 1 || line->kind == kKindSolid) carry = 0;
    if (W < ro) {
        line->dashCarry = ClampLong(carry);
    } else {
        const int64_t d = W - ro;
        const int64_t entry = line->dashCarry;
        line->dashCarry = ClampLong(entry > quarterOuter + d ? entry - quarterOuter : d);
    }
    line->dashIndex = idx;
    return 1;
}

}  // namespace wx5n
