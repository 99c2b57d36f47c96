// Styled straight lines: the exported foExtLine, horizontal and vertical
// lines with their dashes and double lines, and wave lines.
//
// Horizontal and vertical lines are computed in whole logical units with
// every dash position snapped to device pixels; a line of one device pixel
// or less, or with round ends, is drawn dash by dash with a solid pen
// (Polyline), a wide line with flat or square ends dash by dash as filled
// rectangles (FillRect).
#include <utility>

#include "draw/line_common.h"

namespace wx5n {
namespace {

// Width of the stroking pen of a line w logical units wide: one unit more
// where a device pixel spans two or more logical units.
int PenWidthOf(int w, int p) { return p / 2 >= 1 ? ClampLong(static_cast<int64_t>(w) + 1) : w; }

// A copy of work drawn as one solid line of width `width`.
LINEREC SolidCopy(HDC hdc, const LINEREC& work, int width) {
    LINEREC copy = work;
    copy.kind = kKindSolid;
    copy.width = width;
    copy.dashCount = foGetLineStyle(hdc, kKindSolid, width, copy.dashPattern, copy.dashCount,
                                    copy.dashPattern, 6, copy.unitsPerInch);
    return copy;
}

}  // namespace

int LineModeOf(int cap, int w, int p) {
    if (w <= p) return kModePen;
    if (cap == kModeFlat || cap == kModeSquare) return cap;
    return kModePen;  // round ends, and any other cap
}

void SelectLineObjects(HDC hdc, int m, COLORREF color, int w, int p, MNG_OBJECT* mng,
                       bool selectBrush, DrawObjects* objs) {
    bool filled = m == kModeFlat || m == kModeSquare;
    LOGPEN lp = filled ? MakeNullPen() : MakeSolidPen(PenWidthOf(w, p), color);
    if (mng) {
        HGDIOBJ prev = nullptr;
        if (filled) {
            foSelectBrush(hdc, MakeSolidBrush(color), &prev, mng);
            objs->fill = static_cast<HBRUSH>(GetCurrentObject(hdc, OBJ_BRUSH));
        }
        foSelectPen(hdc, lp, &prev, mng);
        return;
    }
    if (filled) {
        LOGBRUSH lb = MakeSolidBrush(color);
        objs->brush = CreateBrushIndirect(&lb);
        objs->fill = objs->brush;
    }
    objs->pen = CreatePenIndirect(&lp);
    if (objs->pen) objs->oldPen = SelectObject(hdc, objs->pen);
    if (filled && selectBrush && objs->brush) {
        objs->oldBrush = SelectObject(hdc, objs->brush);
        objs->brushSelected = true;
    }
}

void ReleaseLineObjects(HDC hdc, MNG_OBJECT* mng, DrawObjects* objs) {
    if (mng) return;
    if (objs->brushSelected) SelectObject(hdc, objs->oldBrush);
    if (objs->pen) {
        SelectObject(hdc, objs->oldPen);
        DeleteObject(objs->pen);
    }
    if (objs->brush) DeleteObject(objs->brush);
    *objs = DrawObjects();
}

// Long because the dash loop carries one state (position, remainder, entry,
// whether the piece was cut) through both piece shapes, the pen's inset
// polyline and the filled rectangle; split apart, each shape would need all
// of it handed back and forth.
int DrawAxisSegments(HDC hdc, int x1, int y1, int x2, int y2, LINEREC* work, MNG_OBJECT* mng) {
    if (!hdc || !work) return 0;
    const int count = work->dashCount;
    if (!PatternUsable(work, count == 1)) return 0;

    const int64_t p = GetPixToLog(hdc);
    const int64_t w = RoundLineWidth(hdc, work->width);
    const int m = LineModeOf(work->cap, static_cast<int>(w), static_cast<int>(p));
    const LineDir d = DirectionOf(hdc, x1, y1, x2, y2);
    int64_t h1 = w / 2;
    int64_t h2 = w - h1;

    // Index 0 is x, 1 is y; `al` is the coordinate that varies along the
    // line, `ac` the one across it. A zero-length line counts as horizontal.
    const bool vertical = y1 != y2;
    const int al = vertical ? 1 : 0;
    const int ac = 1 - al;
    const int64_t dir = vertical ? d.diry : d.dirx;
    const int64_t dirAc = vertical ? d.dirx : d.diry;
    const int64_t e = vertical ? d.ey : d.ex;
    int64_t P[2] = {x1, y1};
    int64_t Q[2] = {x2, y2};

    // Ends: the pen and square modes reach half the width beyond each end
    // point; the pen mode gives the odd pixel of an odd width to the end
    // that lies lower on the device.
    if (m == kModePen) {
        if (d.ex < 0 || d.ey < 0) std::swap(h1, h2);
        P[al] -= h1 * dir;
        Q[al] += h2 * dir;
    } else if (m == kModeSquare) {
        P[al] -= (e >= 1 ? h1 : h2) * dir;
        Q[al] += (e >= 1 ? h2 : h1) * dir;
    }
    const int64_t L = Abs64(Q[al] - P[al]);

    DrawObjects objs;
    SelectLineObjects(hdc, m, work->color, static_cast<int>(w), static_cast<int>(p), mng, false,
                      &objs);

    int64_t carry;
    int i;
    ResumeState(work, &carry, &i);
    // A dash remainder is at least one device pixel.
    if (i % 2 == 0 && count != 1 && carry != 0 && carry < p) carry = p;
    bool first = carry != 0;

    for (int64_t pos = 0; pos < L;) {
        int64_t seg, step;
        if (count == 1) {
            seg = step = L;
        } else {
            seg = work->dashPattern[i];
            if (carry != 0) {
                seg = carry;
                carry = 0;
            }
            step = seg;
            if (pos + seg > L) {
                carry = pos + seg - L;
                seg -= carry;
                first = true;
            }
        }
        if (i % 2 == 0) {
            if (m == kModePen) {
                // On the centre line, each dash inset by half the width at
                // either end (the pen's round ends cover it).
                int64_t A[2] = {P[0], P[1]};
                int64_t B[2] = {P[0], P[1]};
                A[al] = P[al] + (pos + h1) * dir;
                B[al] = P[al] + (pos + seg - h2) * dir;
                bool draw = true;
                if (seg - h1 - h2 < p) {
                    if (first && seg - h1 - h2 < 0)
                        draw = false;  // a cut piece the insets turn backwards
                    else
                        B[al] = A[al] + p * dir;  // at least one pixel
                }
                if (draw) {
                    POINT pts[2] = {MakePoint(A[0], A[1]), MakePoint(B[0], B[1])};
                    Polyline(hdc, pts, 2);
                }
            } else {
                int64_t lo[2], hi[2];  // (left, top) and (right, bottom)
                lo[al] = P[al] + pos * dir;
                hi[al] = lo[al] + seg * dir;
                lo[ac] = P[ac] - h1 * dirAc;
                hi[ac] = lo[ac] + w * dirAc;
                // Corners in device order (left and top toward the device
                // origin): a line covers the same pixels whichever way it
                // runs, where GDI would fill a reversed rectangle one pixel
                // off.
                if (lo[0] * d.sx > hi[0] * d.sx) std::swap(lo[0], hi[0]);
                if (lo[1] * d.sy > hi[1] * d.sy) std::swap(lo[1], hi[1]);
                RECT r{ClampLong(lo[0]), ClampLong(lo[1]), ClampLong(hi[0]), ClampLong(hi[1])};
                FillRect(hdc, &r, objs.fill);
            }
        } else if (m != kModePen && step < h1 + h2 + p) {
            step = h1 + h2 + p;  // a gap of a wide line: the width plus a pixel
        }
        first = false;
        pos += step;
        pos = (p / 2 + pos) / p * p;
        if (++i == count) i = 0;
        if (count == 1) break;
    }

    ReleaseLineObjects(hdc, mng, &objs);
    if (count <= 1) {
        carry = 0;
        i = 0;
    }
    StoreState(work, carry, i);
    return 1;
}

int DrawAxisLine(HDC hdc, int x1, int y1, int x2, int y2, LINEREC* work, MNG_OBJECT* mng) {
    if (!hdc || !work) return 0;
    const bool vertical = x1 == x2;  // the width of a vertical line runs along x

    const int64_t D = DoubleLinePixels(hdc, *work, !vertical);
    if (!SplitsDouble(D)) {
        // A single line, or a double line too thin to split: one line.
        LINEREC copy = work->kind == kKindDouble ? SolidCopy(hdc, *work, work->width) : *work;
        if (DrawAxisSegments(hdc, x1, y1, x2, y2, &copy, mng) != 1) return 0;
        work->dashCarry = copy.dashCarry;
        work->dashIndex = copy.dashIndex;
        return 1;
    }

    // Two parallel solid lines t device pixels wide whose centres lie t
    // pixels to either side of the given line; with ends other than flat
    // they reach k pixels beyond each end point.
    const LineDir d = DirectionOf(hdc, x1, y1, x2, y2);
    const int64_t t = ThinLinePixels(D);
    const int64_t k = D / 2 - D / 6;
    POINT A{x1, y1};
    POINT B{x2, y2};
    LPtoDP(hdc, &A, 1);
    LPtoDP(hdc, &B, 1);

    int64_t s1[2], e1[2], s2[2], e2[2];
    int lw;
    if (!vertical) {
        lw = LogicalLengthOf(hdc, A, t, true);
        int64_t yA = static_cast<int64_t>(A.y) - t;
        int64_t yB = yA + (2 * D) / 3;
        int64_t xs = A.x, xe = B.x;
        if (work->cap != kModeFlat) {
            xs -= k * d.ex;
            xe += k * d.ex;
        }
        s1[0] = xs, s1[1] = yA, e1[0] = xe, e1[1] = yA;
        s2[0] = xs, s2[1] = yB, e2[0] = xe, e2[1] = yB;
    } else {
        lw = LogicalLengthOf(hdc, A, t, false);
        int64_t xA = static_cast<int64_t>(A.x) - t;
        int64_t xB = xA + (2 * D) / 3;
        int64_t ys = A.y, ye = B.y;
        if (work->cap != kModeFlat) {
            ys -= k * d.ey;
            ye += k * d.ey;
        }
        s1[0] = xA, s1[1] = ys, e1[0] = xA, e1[1] = ye;
        s2[0] = xB, s2[1] = ys, e2[0] = xB, e2[1] = ye;
    }
    POINT pts[4] = {MakePoint(s1[0], s1[1]), MakePoint(e1[0], e1[1]), MakePoint(s2[0], s2[1]),
                    MakePoint(e2[0], e2[1])};
    DPtoLP(hdc, pts, 4);

    LINEREC copy1 = SolidCopy(hdc, *work, lw);
    if (DrawAxisSegments(hdc, pts[0].x, pts[0].y, pts[1].x, pts[1].y, &copy1, mng) == 0) return 0;
    LINEREC copy2 = SolidCopy(hdc, *work, lw);
    if (DrawAxisLine(hdc, pts[2].x, pts[2].y, pts[3].x, pts[3].y, &copy2, mng) == 0) return 0;
    work->dashCarry = copy2.dashCarry;
    work->dashIndex = copy2.dashIndex;
    return 1;
}

// A trapezoid wave with 45-degree flanks in device space: it starts on the
// line, rises half a flank to the first edge, runs sd along it, crosses to
// the other edge with a full flank, runs sd, crosses back, and so on, ending
// exactly at the end point. Drawn with one solid pen.
// Long because it is one walk: the flank and run state, the device position
// it resumes from and the cut of the last flank at the end point belong to
// the same loop.
int DrawWaveLine(HDC hdc, int x1, int y1, int x2, int y2, LINEREC* work, MNG_OBJECT* mng) {
    if (!hdc || !work) return 0;
    const bool vertical =
        Abs64(static_cast<int64_t>(x2) - x1) < Abs64(static_cast<int64_t>(y2) - y1);
    if (vertical)
        x2 = x1;
    else
        y2 = y1;  // equal extents count as horizontal

    const int p = GetPixToLog(hdc);
    const int w = RoundLineWidth(hdc, work->width);
    const LineDir d = DirectionOf(hdc, x1, y1, x2, y2);
    int cx = 0, cy = 0;
    GetPixelSize(hdc, &cx, &cy, nullptr);
    const int q = vertical ? cy : cx;
    int step = work->waveHeight / 6;
    if (step < q) step = q;

    POINT hp[2] = {{0, 0}, {work->waveHeight, work->waveHeight}};
    LPtoDP(hdc, hp, 2);
    const int al = vertical ? 1 : 0;  // along the line, in device space
    const int ac = 1 - al;
    const int64_t hDev[2] = {Abs64(static_cast<int64_t>(hp[1].x) - hp[0].x),
                             Abs64(static_cast<int64_t>(hp[1].y) - hp[0].y)};
    const int64_t a = hDev[ac];  // device height of the wave across the line

    DrawObjects objs;
    SelectLineObjects(hdc, kModePen, work->color, w, p, mng, false, &objs);

    if (a < 1) {
        MoveToEx(hdc, x1, y1, nullptr);
        LineTo(hdc, x2, y2);
        ReleaseLineObjects(hdc, mng, &objs);
        return 1;
    }

    const int64_t eAl = vertical ? d.ey : d.ex;
    const int64_t eAc = vertical ? d.ex : d.ey;
    POINT S{x1, y1};
    POINT E{x2, y2};
    LPtoDP(hdc, &S, 1);
    LPtoDP(hdc, &E, 1);
    const int64_t s[2] = {S.x, S.y};
    const int64_t eEnd = al == 0 ? E.x : E.y;
    const int64_t base = s[ac] - (a / 2) * eAc;
    POINT sp[2] = {{0, 0}, {step, step}};
    LPtoDP(hdc, sp, 2);
    const int64_t sd = al == 0 ? Abs64(static_cast<int64_t>(sp[1].x) - sp[0].x)
                               : Abs64(static_cast<int64_t>(sp[1].y) - sp[0].y);

    POINT start = S;
    DPtoLP(hdc, &start, 1);
    MoveToEx(hdc, start.x, start.y, nullptr);

    int64_t cur[2];
    cur[al] = s[al];
    cur[ac] = base;
    int phase = -1;
    int64_t div = 2;
    bool finish = true;
    for (;;) {
        if (cur[al] * eAl >= eEnd * eAl) {
            finish = false;
            break;
        }
        const int64_t before = cur[al];
        switch (phase) {
            case -1:  // flank back to the base edge
                cur[al] += (a / div) * eAl;
                cur[ac] = base;
                phase = 0;
                break;
            case 1:  // flank to the far edge
                cur[al] += (a / div) * eAl;
                cur[ac] = base + (a / div) * eAc;
                phase = -2;
                break;
            default:  // a flat run along an edge
                cur[al] += sd * eAl;
                phase += 1;
                break;
        }
        if (cur[al] * eAl > eEnd * eAl) break;
        POINT lp = MakePoint(cur[0], cur[1]);
        DPtoLP(hdc, &lp, 1);
        LineTo(hdc, lp.x, lp.y);
        // Go on from the point actually drawn, unless the logical grid is so
        // coarse that it would pull the position back (a step moving nowhere
        // or backwards): then keep the device position, so the wave never
        // loses ground and every flank advances it.
        POINT back = lp;
        LPtoDP(hdc, &back, 1);
        const int64_t backAl = al == 0 ? back.x : back.y;
        if ((backAl - before) * eAl > 0 || (cur[al] == before && backAl == before)) {
            cur[0] = back.x;
            cur[1] = back.y;
        }
        div = 1;
    }
    if (finish) {
        // Cut the last flank back along its own slope to end at the end point.
        phase = -(phase + 1);
        if (phase == -1 || phase == 1) cur[ac] -= Abs64(cur[al] - eEnd) * phase * eAc;
        cur[al] = eEnd;
        POINT lp = MakePoint(cur[0], cur[1]);
        DPtoLP(hdc, &lp, 1);
        LineTo(hdc, lp.x, lp.y);
    }
    ReleaseLineObjects(hdc, mng, &objs);
    return 1;
}

}  // namespace wx5n

using namespace wx5n;

extern "C" FOAPI int FOCALL foExtLine(HDC hdc, int x1, int y1, int x2, int y2, LINEREC* line,
                                      MNG_OBJECT* mng) {
    if (!line) return 0;
    LINEREC work = *line;
    // A negative result is a refused style: -1, or the negative even count
    // of a caller-defined pattern, which no segment loop can walk.
    int n = foGetLineStyle(hdc, work.kind, work.width, work.dashPattern, work.dashCount,
                           work.dashPattern, 6, work.unitsPerInch);
    if (n < 0) return 0;
    work.dashCount = n;
    if (work.kind == kKindNone) return 1;  // no line: nothing to draw
    if (work.kind == kKindWave && DrawWaveLine(hdc, x1, y1, x2, y2, &work, mng) == 1) return 1;

    int rc = (x1 == x2 || y1 == y2) ? DrawAxisLine(hdc, x1, y1, x2, y2, &work, mng)
                                    : DrawSlantLine(hdc, x1, y1, x2, y2, &work, mng);
    if (rc == 1) {
        line->dashCarry = work.dashCarry;
        line->dashIndex = work.dashIndex;
    }
    return rc;
}
