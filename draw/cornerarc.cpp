// The styled quarter-circle corner of a rectangle frame, piece by piece: a
// dash is a stroked polyline (cap 3: round or thin lines) or a filled band
// between the inner and outer radius of the line (cap 1 and 2). The dash
// state of the line record comes in from the side before the arc and goes
// out to the side after it.
//
// Angles are in radians, 0 toward device right and growing toward device
// up; the arc runs from a0 down to a1.
#include <cstdint>
#include <cstring>

#include "draw/rect_internal.h"

namespace wx5n {
namespace {

// A piece: an outline of at most 33 points or a band of 33 outer and 33
// inner points.
constexpr int kArcPoints = 66;
constexpr int kArcSteps = 32;

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

// The geometry of one corner, in logical units.
struct Corner {
    int64_t pix;     // one device pixel
    int64_t W;       // the line width, snapped to device pixels
    int64_t r;       // radius to the line's centre
    int64_t ri, ro;  // inner and outer radius of the line's band
    bool stroked;    // drawn with a pen (cap 3) rather than as bands
    int ax, ay;      // axis signs; y grows toward device up
    int64_t cx, cy;  // centre, moved a unit for a band of odd width
    double a0, a1;   // the arc runs from a0 down to a1
    double halfAng;  // the angle half the width covers at r (stroked only)
};

// Works out the corner's geometry. False when the line is in a gap and the
// corner is no wider than the line: the corner then leaves the state alone.
bool SetUpCorner(HDC hdc, int cx, int cy, int64_t r, int quadrant, const LINEREC& line,
                 Corner* c) {
    c->pix = GetPixToLog(hdc);
    c->W = RoundLineWidth(hdc, line.width);
    c->r = r;
    int cap = LineModeOf(line.cap, static_cast<int>(c->W), static_cast<int>(c->pix));
    if ((line.dashIndex & 1) != 0 && r <= c->W) return false;

    POINT sign{1, 1};
    GetAxisSign(hdc, &sign);
    c->ax = sign.x;
    c->ay = -sign.y;
    c->ri = r - c->W / 2;
    c->ro = (c->W - c->W / 2) + r;
    if (c->ro <= c->ri + c->pix) cap = kModePen;
    c->stroked = cap == kModePen;

    // A band of odd width is one unit wider on one side; the centre moves
    // so that the extra unit lies where the straight sides put it.
    c->cx = cx;
    c->cy = cy;
    const bool oddShift = (c->W & 1) != 0 && !c->stroked;
    switch (quadrant) {
        case 1:  // top-left
            c->a0 = kPi;
            c->a1 = kHalfPi;
            if (oddShift) {
                c->cx += sign.x;
                c->cy += sign.y;
            }
            break;
        case 2:  // top-right
            c->a0 = kHalfPi;
            c->a1 = 0.0;
            if (oddShift) c->cy += sign.y;
            break;
        case 3:  // bottom-right
            c->a0 = kTwoPi;
            c->a1 = kThreeHalfPi;
            break;
        default:  // bottom-left
            c->a0 = kThreeHalfPi;
            c->a1 = kPi;
            if (oddShift) c->cx += sign.x;
            break;
    }
    c->halfAng = c->stroked ? (static_cast<double>(c->W) / static_cast<double>(r)) / 2.0 : 0.0;
    return true;
}

// The pattern walked round the corner; returns its entry count. A solid
// line is one piece the length of the quarter. Every length is at least
// one logical unit, so each piece moves on.
int CornerPattern(const LINEREC& line, int64_t r, int pattern[6]) {
    int count = line.dashCount;
    for (int i = 0; i < 6; ++i) pattern[i] = 0;
    if (line.kind == kKindSolid) {
        pattern[0] = TruncToInt(static_cast<double>(r) * kPi / 2.0);
        count = 1;
    } else {
        if (count < 1 || count > 6) count = 1;
        for (int i = 0; i < 6; ++i) pattern[i] = line.dashPattern[i];
    }
    for (int i = 0; i < count; ++i)
        if (pattern[i] < 1) pattern[i] = 1;
    return count;
}

// Where the dash pattern stands as the arc is walked.
struct DashWalk {
    int64_t carry;  // length left of the current entry; 0 starts the entry afresh
    int idx;        // the current entry: even a dash, odd a gap
    double rest;    // the angle by which the last piece overran the arc's end
};

// The state the arc starts with: the record's, or, for a radius within half
// the width, the whole quarter at the outer radius as one piece. A pen's
// round end reaches half the width past each end of a piece, so a stroked
// arc moves its ends in by that much, or back over a dash or gap that the
// side before has not finished.
DashWalk StartDash(const LINEREC& line, Corner* c, const int* pattern, int count,
                   int64_t quarterOuter) {
    DashWalk w;
    w.carry = c->W < c->ro ? line.dashCarry : quarterOuter;
    if (w.carry < 0) w.carry = 0;
    w.idx = line.kind == kKindSolid ? 0 : line.dashIndex;
    if (w.idx < 0 || w.idx >= count) w.idx = 0;
    w.rest = 0.0;
    if (!c->stroked) return w;

    const double rd = static_cast<double>(c->r);
    if (w.carry == 0) {
        c->a0 += c->halfAng;
    } else if ((w.idx & 1) != 0) {  // finishing a gap
        c->a0 -= static_cast<double>(w.carry) / rd;
        w.carry = 0;
        w.idx = w.idx + 1 >= count ? 0 : w.idx + 1;
    } else if (pattern[w.idx] - w.carry < c->W / 2) {  // finishing a dash
        c->a0 -= static_cast<double>(c->W / 2 - (pattern[w.idx] - w.carry)) / rd;
    } else {
        c->a0 += c->halfAng;
        w.carry += c->W;
    }
    c->a1 -= c->halfAng;
    return w;
}

// One dash from angle `from` down to `to`, as a polyline at radius r whose
// ends the pen's round caps extend by halfAng.
void StrokePiece(HDC hdc, const Corner& c, double from, double to, double step) {
    POINT pts[kArcPoints];
    const double rd = static_cast<double>(c.r);
    int n = 0;
    double a = from - c.halfAng;
    while (to + c.halfAng < a && n < kArcSteps) {
        pts[n++] = ArcPoint(c.cx, c.cy, rd, a, c.ax, c.ay);
        a -= step;
    }
    pts[n++] = ArcPoint(c.cx, c.cy, rd, to + c.halfAng, c.ax, c.ay);
    n = SnapPolyline(hdc, pts, n, c.pix * c.ax);
    Polyline(hdc, pts, n);
}

// One dash from angle `from` down to `to`, as the band between the outer
// and inner radius: outer points forward from the start of the buffer,
// inner ones backward from its end, then joined into one ring.
void BandPiece(HDC hdc, const Corner& c, double from, double to, double step) {
    POINT pts[kArcPoints];
    const double rOut = static_cast<double>(c.ro), rIn = static_cast<double>(c.ri);
    int n = 0;
    double a = from;
    while (a > to && n < kArcSteps) {
        pts[n] = ArcPoint(c.cx, c.cy, rOut, a, c.ax, c.ay);
        pts[kArcPoints - 1 - n] = ArcPoint(c.cx, c.cy, rIn, a, c.ax, c.ay);
        ++n;
        a -= step;
    }
    pts[n] = ArcPoint(c.cx, c.cy, rOut, to, c.ax, c.ay);
    pts[kArcPoints - 1 - n] = ArcPoint(c.cx, c.cy, rIn, to, c.ax, c.ay);
    ++n;
    std::memmove(&pts[n], &pts[kArcPoints - n], sizeof(POINT) * n);
    Polygon(hdc, pts, 2 * n);
}

// Walks the pattern round the arc and draws its dashes; gaps move on only.
void WalkArc(HDC hdc, const LINEREC& line, Corner* c, const int* pattern, int count,
             DashWalk* w) {
    const double rd = static_cast<double>(c->r);
    const int64_t ro = c->ro;
    const double step = GetArcStepAngle(hdc, static_cast<int>(ro > INT32_MAX ? INT32_MAX : ro));
    int pieces = 0;
    while (c->a0 > c->a1 && pieces < kMaxDashPieces) {
        ++pieces;
        int64_t len = pattern[w->idx];
        if (w->carry != 0) {
            len = w->carry;
            w->carry = 0;
        }
        double an = c->a0 - static_cast<double>(len) / rd;
        if (an <= c->a1 || line.kind == kKindSolid) {
            w->rest = c->stroked ? c->a1 + c->halfAng - an : c->a1 - an;
            an = c->a1;
        }
        if ((w->idx & 1) == 0) {
            if (c->stroked)
                StrokePiece(hdc, *c, c->a0, an, step);
            else
                BandPiece(hdc, *c, c->a0, an, step);
        }
        c->a0 = an;
        w->idx = w->idx + 1 >= count ? 0 : w->idx + 1;
    }
}

// The state for the next side: the part of the last entry that lies beyond
// the arc's end, on that entry. A corner within half the width hands on
// what is left of the length the side before had left.
void LeaveDash(LINEREC* line, const Corner& c, DashWalk w, int count, int64_t quarterOuter) {
    if (w.rest != 0.0) w.carry = RoundToInt(static_cast<double>(c.r) * w.rest);
    if (w.carry == 0) w.carry = 1;
    w.idx = w.idx - 1 < 0 ? count - 1 : w.idx - 1;
    if (w.carry < 1 || line->kind == kKindSolid) w.carry = 0;
    if (c.W < c.ro) {
        line->dashCarry = ClampLong(w.carry);
    } else {
        const int64_t d = c.W - c.ro;
        const int64_t entry = line->dashCarry;
        line->dashCarry = ClampLong(entry > quarterOuter + d ? entry - quarterOuter : d);
    }
    line->dashIndex = w.idx;
}

}  // namespace

int DrawCornerArc(HDC hdc, int cx, int cy, int radius, int quadrant, LINEREC* line,
                  MNG_OBJECT* mng) {
    if (!line) return 0;
    if (quadrant < 1 || quadrant > 4) return 0;
    if (line->kind == kKindNone) return 1;
    const int64_t r = radius;
    if (r <= 0) return 1;  // no arc to draw

    Corner c;
    if (!SetUpCorner(hdc, cx, cy, r, quadrant, *line, &c)) return 1;
    int pattern[6];
    const int count = CornerPattern(*line, r, pattern);

    DrawObjects objs;
    SelectLineObjects(hdc, c.stroked ? kModePen : kModeFlat, line->color,
                      static_cast<int>(c.W), static_cast<int>(c.pix), mng, true, &objs);
    const int64_t quarterOuter = TruncToInt(static_cast<double>(c.ro) * kPi / 2.0);
    DashWalk w = StartDash(*line, &c, pattern, count, quarterOuter);
    WalkArc(hdc, *line, &c, pattern, count, &w);
    ReleaseLineObjects(hdc, mng, &objs);

    LeaveDash(line, c, w, count, quarterOuter);
    return 1;
}

}  // namespace wx5n
