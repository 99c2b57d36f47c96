// Extended ellipse drawing: an optional pattern fill, plain or transparent,
// then an outline in one of the overlay line kinds. A solid outline is one
// GDI Ellipse; a dashed one is built piece by piece, each dash a polyline
// along the ellipse (thin or round lines) or a filled band between an outer
// and an inner ellipse (wide lines with flat or square ends). A double line
// is an outer and an inner solid outline, each a third of the width.
//
// Radii are directed: rx carries the sign sx of the logical x axis on the
// device and ry the sign sy, so (cx - rx, cy - ry) is always the device
// top-left corner of the bounding box, in every mapping.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "draw/rect_internal.h"

namespace wx5n {
namespace {

constexpr int kEllipsePoints = 269;  // a stroked piece; a band uses 268
constexpr int kStrokeLimit = 268;    // stroked: points stored while n < this
constexpr int kBandPairs = 133;      // band: pairs stored while n < this
constexpr int kHatchSolid = 1000;    // never transparent
constexpr int kHatchCurrent = 1001;  // no brush: the current brush fills

POINT EllipsePoint(int64_t cx, int64_t cy, double a, double b, double t) {
    return POINT{ClampLong(cx + RoundToInt(std::cos(t) * a)),
                 ClampLong(cy + RoundToInt(std::sin(t) * b))};
}

LOGBRUSH HollowBrush() {
    LOGBRUSH lb;
    std::memset(&lb, 0, sizeof(lb));
    lb.lbStyle = BS_NULL;
    return lb;
}

bool CurrentBrushIsSolid(HDC hdc) {
    HGDIOBJ brush = GetCurrentObject(hdc, OBJ_BRUSH);
    if (!brush) return false;
    LOGBRUSH lb;
    std::memset(&lb, 0, sizeof(lb));
    if (GetObjectA(brush, sizeof(lb), &lb) == 0) return false;
    return lb.lbStyle == BS_SOLID;
}

// The fill: one Ellipse (null pen) of `box`, or the transparent sequence.
void FillEllipse(HDC hdc, const RECT& box, int64_t pix, int sx, int sy, int hatch, int fillFlags,
                 MNG_OBJECT* mng) {
    HGDIOBJ oldPen = nullptr, oldBrush = nullptr;
    HBRUSH hatchBrush = nullptr;
    if (mng) {
        foSelectPen(hdc, MakeNullPen(), &oldPen, mng);
    } else {
        oldPen = SelectObject(hdc, GetStockObject(NULL_PEN));
        hatchBrush = foGetHatchBrush(hatch);
        if (hatchBrush) oldBrush = SelectObject(hdc, hatchBrush);
    }
    // A solid current brush under code 1001 has no paper to leave out.
    if (hatch == kHatchCurrent && (fillFlags & 1) != 0 && CurrentBrushIsSolid(hdc)) fillFlags &= ~1;

    const FillFigure figure{nullptr, 0, box};
    if ((fillFlags & 1) != 0 && hatch != kHatchSolid) {
        const int64_t m = 5 * pix;
        const RECT xorBox{ClampLong(box.left - m * sx), ClampLong(box.top - m * sy),
                          ClampLong(box.right + m * sx), ClampLong(box.bottom + m * sy)};
        PaintTransparent(hdc, xorBox, figure);
    } else {
        PaintFigure(hdc, figure);
    }

    if (!mng) {
        SelectObject(hdc, oldPen);
        if (hatchBrush) {
            SelectObject(hdc, oldBrush);
            DeleteObject(hatchBrush);
        }
    }
}

// The objects of an outline: a pen of the line (stroked) or a solid brush
// and the null pen (band); a hollow brush goes with a solid Ellipse.
struct OutlineObjects {
    HGDIOBJ oldPen = nullptr, oldBrush = nullptr;
    HPEN pen = nullptr;
    HBRUSH brush = nullptr;
};

void SelectOutline(HDC hdc, bool stroked, bool hollow, int penWidth, COLORREF color,
                   MNG_OBJECT* mng, OutlineObjects* o) {
    const LOGBRUSH lb = hollow ? HollowBrush() : MakeSolidBrush(color);
    const LOGPEN lp = stroked ? MakeSolidPen(penWidth, color) : MakeNullPen();
    const bool wantBrush = hollow || !stroked;
    if (mng) {
        HGDIOBJ prev = nullptr;
        if (wantBrush) foSelectBrush(hdc, lb, &prev, mng);
        foSelectPen(hdc, lp, &prev, mng);
        return;
    }
    if (wantBrush) {
        o->brush = CreateBrushIndirect(&lb);
        if (o->brush) o->oldBrush = SelectObject(hdc, o->brush);
    }
    o->pen = CreatePenIndirect(&lp);
    if (o->pen) o->oldPen = SelectObject(hdc, o->pen);
}

void ReleaseOutline(HDC hdc, MNG_OBJECT* mng, OutlineObjects* o) {
    if (mng) return;
    if (o->pen) {
        SelectObject(hdc, o->oldPen);
        DeleteObject(o->pen);
    }
    if (o->brush) {
        SelectObject(hdc, o->oldBrush);
        DeleteObject(o->brush);
    }
}

}  // namespace

// Long because it is the whole single outline: checks, working values, the
// fill, the solid outline and the dash loop with its two piece shapes.
int ExtEllipseSingle(HDC hdc, int cx, int cy, int rx, int ry, int hatch, int fillFlags,
                     LINEREC* line, MNG_OBJECT* mng) {
    if (!line || !hdc) return 0;
    LINEREC work = *line;
    work.dashCount = foGetLineStyle(hdc, work.kind, work.width, work.dashPattern, work.dashCount,
                                    work.dashPattern, 6, work.unitsPerInch);
    if (work.dashCount == -1) return 0;

    POINT sign{1, 1};
    GetAxisSign(hdc, &sign);
    const int sx = sign.x, sy = sign.y;
    const int64_t arx = int64_t{rx} * sx, ary = int64_t{ry} * sy;  // magnitudes
    if (arx <= 0 || ary <= 0) return 0;

    const int64_t pix = GetPixToLog(hdc);
    const int64_t W = RoundLineWidth(hdc, line->width);
    int cap = LineModeOf(line->cap, static_cast<int>(W), static_cast<int>(pix));
    if (line->kind == kKindSolid) cap = kModePen;
    int64_t R = (arx + ary) / 2;
    if (R == 0) R = 1;
    const int64_t ri = R - W / 2;
    const int64_t ro = ri + W;
    if (ro <= ri + pix) cap = kModePen;
    const bool stroked = cap == kModePen;
    const double Rd = static_cast<double>(R);

    if (hatch != 0) {
        // pix wider and taller than the outline's box toward device right
        // and bottom: the null-pen Ellipse leaves out its last column and row.
        const RECT box{ClampLong(int64_t{cx} - rx), ClampLong(int64_t{cy} - ry),
                       ClampLong(int64_t{cx} + rx + pix * sx),
                       ClampLong(int64_t{cy} + ry + pix * sy)};
        FillEllipse(hdc, box, pix, sx, sy, hatch, fillFlags, mng);
    }
    if (line->kind == kKindNone) return 1;

    const int penWidth = static_cast<int>(pix / 2 > 0 ? W + 1 : W);
    OutlineObjects objs;
    if (line->kind == kKindSolid) {
        SelectOutline(hdc, true, true, penWidth, line->color, mng, &objs);
        Ellipse(hdc, ClampLong(int64_t{cx} - rx), ClampLong(int64_t{cy} - ry),
                ClampLong(int64_t{cx} + rx), ClampLong(int64_t{cy} + ry));
        ReleaseOutline(hdc, mng, &objs);
        return 1;
    }

    // Dashed outline. A kind whose pattern has one entry has no gaps: it is
    // drawn as one piece round the whole ellipse rather than as dashes laid
    // end to end, whose overlapping ends (and the last one running past the
    // start) would show under a mixing raster operation such as R2_XORPEN.
    int count = work.dashCount;
    if (count < 1 || count > 6) count = 1;
    const bool whole = count == 1;
    SelectOutline(hdc, stroked, false, penWidth, line->color, mng, &objs);

    // Semi-axes of the centre line (stroked) or of the band's edges, each
    // the ellipse scaled by ro / R or ri / R.
    const double rxs = static_cast<double>(arx), rys = static_cast<double>(ary);
    const double oxs = static_cast<double>(ro) * rxs / Rd, oys = static_cast<double>(ro) * rys / Rd;
    const double ixs = static_cast<double>(ri) * rxs / Rd, iys = static_cast<double>(ri) * rys / Rd;
    const double halfAng = stroked ? (static_cast<double>(W) / Rd) / 2.0 : 0.0;
    // Angle 0 lies on the positive logical x axis; the angles run toward
    // positive logical y.

    const int64_t radiusForStep = R + W / 2;
    const double step =
        GetArcStepAngle(hdc, static_cast<int>(radiusForStep > INT32_MAX ? INT32_MAX : radiusForStep));
    POINT pts[kEllipsePoints];
    double a = 0.0;
    int idx = 0;
    int pieces = 0;
    while (a < kTwoPi && pieces < kMaxDashPieces) {
        ++pieces;
        const int64_t len = work.dashPattern[idx];
        double an;
        if (whole)
            an = kTwoPi;
        else if (len > pix)
            an = a + static_cast<double>(len) / Rd;
        else
            an = a + static_cast<double>(2 * pix) / Rd;  // at least 2 pixels
        if (!(an > a)) break;  // no progress left in double precision
        if ((idx & 1) == 0) {
            int n = 0;
            if (stroked) {
                for (double t = a + halfAng; t <= an - halfAng && n < kStrokeLimit; t += step)
                    pts[n++] = EllipsePoint(cx, cy, rxs, rys, t);
                pts[n++] = EllipsePoint(cx, cy, rxs, rys, an - halfAng);
                LPtoDP(hdc, pts, n);
                DPtoLP(hdc, pts, n);
                int kept = 1;
                for (int i = 1; i < n; ++i)
                    if (pts[i].x != pts[kept - 1].x || pts[i].y != pts[kept - 1].y)
                        pts[kept++] = pts[i];
                if (kept < 2) {
                    pts[1] = POINT{ClampLong(pts[0].x + pix), pts[0].y};
                    kept = 2;
                }
                Polyline(hdc, pts, kept);
            } else {
                // Outer points forward from the start of the buffer, inner
                // ones backward from its 268th entry, then joined.
                constexpr int kLast = 2 * (kBandPairs + 1) - 1;  // 267
                for (double t = a; t <= an && n < kBandPairs; t += step) {
                    pts[n] = EllipsePoint(cx, cy, oxs, oys, t);
                    pts[kLast - n] = EllipsePoint(cx, cy, ixs, iys, t);
                    ++n;
                }
                pts[n] = EllipsePoint(cx, cy, oxs, oys, an);
                pts[kLast - n] = EllipsePoint(cx, cy, ixs, iys, an);
                ++n;
                std::memmove(&pts[n], &pts[kLast + 1 - n], sizeof(POINT) * n);
                Polygon(hdc, pts, 2 * n);
            }
        }
        a = an;
        idx = idx + 1 >= count ? 0 : idx + 1;
    }

    ReleaseOutline(hdc, mng, &objs);
    return 1;
}

}  // namespace wx5n

using namespace wx5n;

// Double-line radii keep the sign of their axis: a mapping whose axis runs
// opposite to the device's gets radii of that sign, so the outer and inner
// outlines are drawn there too; an inner radius that would cross zero gives
// a small ellipse, as in the ordinary mapping.
extern "C" FOAPI int FOCALL foExtEllipse(HDC hdc, int cx, int cy, int rx, int ry, int hatch,
                                         int fillFlags, LINEREC* line, MNG_OBJECT* mng) {
    if (!line || !hdc) return 0;
    POINT snapped{rx, ry};
    LPtoDP(hdc, &snapped, 1);
    DPtoLP(hdc, &snapped, 1);

    const int64_t devW = DoubleLinePixels(hdc, *line, false);
    if (!SplitsDouble(devW)) {
        LINEREC single = *line;
        if (single.kind == kKindDouble) single.kind = kKindSolid;
        return ExtEllipseSingle(hdc, cx, cy, rx, ry, hatch, fillFlags, &single, mng) == 1 ? 1 : 0;
    }

    const int64_t t = ThinLinePixels(devW);
    const int64_t t2 = (2 * devW) / 3;
    const int64_t wL = LogicalLengthOf(hdc, POINT{0, 0}, t, false);

    POINT dev = snapped;
    LPtoDP(hdc, &dev, 1);
    POINT radii[2] = {{ClampLong(dev.x + t), ClampLong(dev.y + t)},
                      {ClampLong(dev.x + t - t2), ClampLong(dev.y + t - t2)}};
    DPtoLP(hdc, radii, 2);
    POINT sign{1, 1};
    GetAxisSign(hdc, &sign);
    for (POINT& p : radii) {
        p.x = ClampLong((p.x < 0 ? -int64_t{p.x} : int64_t{p.x}) * sign.x);
        p.y = ClampLong((p.y < 0 ? -int64_t{p.y} : int64_t{p.y}) * sign.y);
    }

    if (hatch != 0) {
        LINEREC fill = *line;
        fill.kind = kKindNone;
        if (foExtEllipse(hdc, cx, cy, snapped.x, snapped.y, hatch, fillFlags, &fill, mng) == 0)
            return 0;
    }
    LINEREC outline = *line;
    outline.kind = kKindSolid;
    outline.width = ClampLong(wL);
    if (foExtEllipse(hdc, cx, cy, radii[0].x, radii[0].y, 0, fillFlags, &outline, mng) == 0)
        return 0;
    outline = *line;
    outline.kind = kKindSolid;
    outline.width = ClampLong(wL);
    if (foExtEllipse(hdc, cx, cy, radii[1].x, radii[1].y, 0, fillFlags, &outline, mng) != 1)
        return 0;
    return 1;
}
