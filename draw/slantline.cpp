// Slanted lines (neither horizontal nor vertical). The geometry runs in
// logical units with double-precision direction cosines; dash positions are
// exact multiples of the pattern along the line, each truncated on its own,
// and are not snapped to device pixels. Flat and square ends are filled
// quadrilaterals (Polygon), round ends and thin lines pen lines (Polyline).
#include <cmath>
#include <utility>

#include "draw/line_common.h"

namespace wx5n {
namespace {

// One of the two thin lines of a double line. Rounding can make a very
// steep or very flat line's shifted copy horizontal or vertical; it is then
// drawn as such instead of being refused.
int DrawPiece(HDC hdc, const POINT& s, const POINT& e, LINEREC* copy, MNG_OBJECT* mng) {
    if (s.x == e.x || s.y == e.y) return DrawAxisSegments(hdc, s.x, s.y, e.x, e.y, copy, mng);
    return DrawSlantSegments(hdc, s.x, s.y, e.x, e.y, copy, mng);
}

LINEREC ThinCopy(const LINEREC& work, int width) {
    LINEREC copy = work;
    copy.kind = kKindSolid;
    copy.width = width;
    copy.dashCount = 1;
    return copy;
}

}  // namespace

// Long because, as for the axis lines, the dash loop carries one state
// (position, remainder, entry, whether the piece was cut) through both piece
// shapes, the pen's shortened polyline and the filled quadrilateral.
int DrawSlantSegments(HDC hdc, int x1, int y1, int x2, int y2, LINEREC* work, MNG_OBJECT* mng) {
    if (!work || x1 == x2 || y1 == y2) return 0;
    // Solid: kind 1, and every record whose style has a single entry (the
    // solid, double and wave kinds), whose pattern holds no lengths.
    const bool solid = work->kind == kKindSolid || work->dashCount == 1;
    if (!PatternUsable(work, solid)) return 0;
    const int count = work->dashCount;

    const LineDir d = DirectionOf(hdc, x1, y1, x2, y2);
    const int p = GetPixToLog(hdc);
    const int w = RoundLineWidth(hdc, work->width);
    const int m = LineModeOf(work->cap, w, p);
    const double dx = std::fabs(static_cast<double>(x2) - x1);
    const double dy = std::fabs(static_cast<double>(y2) - y1);
    const double len = std::sqrt(dx * dx + dy * dy);
    const double c = dx / len;
    const double s = dy / len;

    // Width across the line split into its x part (ws) and y part (wc), each
    // halved for the two sides.
    int64_t ws = TruncToInt(w * s), wc = TruncToInt(w * c);
    int64_t hs1 = TruncToInt(w * s / 2.0), hc1 = TruncToInt(w * c / 2.0);
    int64_t hs2 = ws - hs1, hc2 = wc - hc1;
    if (d.ex < 0) std::swap(hs1, hs2);
    if (d.ey < 0) std::swap(hc1, hc2);
    int64_t v = 0;
    if (m == kModeFlat) {
        // Flat ends: the width measured vertically for flat lines and
        // horizontally for steep ones (45 degrees counts as steep).
        v = dx > dy ? TruncToInt(w / c) : TruncToInt(w / s);
        ws = wc = v;
        hs1 = hc1 = v / 2;
        hs2 = hc2 = v - v / 2;
    }

    int64_t Px = x1, Py = y1, Qx = x2, Qy = y2;
    if (m != kModeFlat) {  // half the width beyond each end, along the line
        Px -= hc1 * d.dirx;
        Py -= hs1 * d.diry;
        Qx += hc2 * d.dirx;
        Qy += hs2 * d.diry;
    }
    const double ldx = static_cast<double>(Qx - Px), ldy = static_cast<double>(Qy - Py);
    const int64_t L = Trunc64(std::sqrt(ldx * ldx + ldy * ldy)) + 1;

    DrawObjects objs;
    SelectLineObjects(hdc, m, work->color, w, p, mng, true, &objs);

    int64_t carry;
    int i;
    ResumeState(work, &carry, &i);
    bool first = carry != 0;  // a resumed remainder is kept as it is, however short
    auto X = [&](int64_t t) { return Trunc64(static_cast<double>(t) * c * d.dirx); };
    auto Y = [&](int64_t t) { return Trunc64(static_cast<double>(t) * s * d.diry); };

    for (int64_t pos = 0; pos < L;) {
        int64_t seg = solid ? L : work->dashPattern[i];
        if (carry != 0) {
            seg = carry;
            carry = 0;
        }
        const int64_t step = seg;
        if (pos + seg > L) {
            carry = pos + seg - L;
            seg -= carry;
            first = true;
        }
        if (i % 2 == 0) {
            const int64_t a = pos, b = pos + seg;
            if (m == kModeFlat && dx > dy) {
                int64_t oy = Py - v / 2 * d.sy;
                POINT q[4] = {MakePoint(Px + X(a), oy + Y(a)), MakePoint(Px + X(b), oy + Y(b)),
                              MakePoint(Px + X(b), oy + Y(b) + v * d.sy),
                              MakePoint(Px + X(a), oy + Y(a) + v * d.sy)};
                Polygon(hdc, q, 4);
            } else if (m == kModeFlat) {
                int64_t ox = Px - v / 2 * d.sx;
                POINT q[4] = {MakePoint(ox + X(a), Py + Y(a)), MakePoint(ox + X(b), Py + Y(b)),
                              MakePoint(ox + X(b) + v * d.sx, Py + Y(b)),
                              MakePoint(ox + X(a) + v * d.sx, Py + Y(a))};
                Polygon(hdc, q, 4);
            } else if (m == kModeSquare) {
                int64_t ox = Px + hs1 * d.dirx, oy = Py - hc1 * d.diry;
                POINT q[4] = {MakePoint(ox + X(a), oy + Y(a)), MakePoint(ox + X(b), oy + Y(b)),
                              MakePoint(ox + X(b) - ws * d.dirx, oy + Y(b) + wc * d.diry),
                              MakePoint(ox + X(a) - ws * d.dirx, oy + Y(a) + wc * d.diry)};
                Polygon(hdc, q, 4);
            } else {
                // Pen: the dash shortened by half the width at each end.
                int64_t Ax = Px + hc1 * d.dirx + X(a), Ay = Py + hs1 * d.diry + Y(a);
                int64_t Bx = Px - hc2 * d.dirx + X(b), By = Py - hs2 * d.diry + Y(b);
                bool backwards = Ax * d.dirx > Bx * d.dirx || Ay * d.diry > By * d.diry;
                if (!(first && backwards)) {
                    POINT q[2] = {MakePoint(Ax, Ay), MakePoint(Bx, By)};
                    Polyline(hdc, q, 2);
                }
            }
        }
        first = false;
        pos += step;
        if (++i == count) i = 0;
    }

    ReleaseLineObjects(hdc, mng, &objs);
    if (count <= 1) carry = 0;  // the index is kept
    StoreState(work, carry, i);
    return 1;
}

int DrawSlantLine(HDC hdc, int x1, int y1, int x2, int y2, LINEREC* work, MNG_OBJECT* mng) {
    if (!hdc || !work || x1 == x2 || y1 == y2) return 0;

    const int64_t D = DoubleLinePixels(hdc, *work, false);  // along device x
    if (!SplitsDouble(D)) {
        LINEREC copy = *work;
        if (copy.kind == kKindDouble) copy.kind = kKindSolid;
        if (DrawSlantSegments(hdc, x1, y1, x2, y2, &copy, mng) != 1) return 0;
        work->dashCarry = copy.dashCarry;
        work->dashIndex = copy.dashIndex;
        return 1;
    }

    // Two thin solid lines D / 3 device pixels to either side of the line.
    const LineDir d = DirectionOf(hdc, x1, y1, x2, y2);
    const double dx = std::fabs(static_cast<double>(x2) - x1);
    const double dy = std::fabs(static_cast<double>(y2) - y1);
    const double len = std::sqrt(dx * dx + dy * dy);
    const double c = dx / len, s = dy / len;

    POINT S{x1, y1};
    POINT E{x2, y2};
    LPtoDP(hdc, &S, 1);
    LPtoDP(hdc, &E, 1);
    const int lw = LogicalLengthOf(hdc, S, ThinLinePixels(D), false);

    int64_t s1x = S.x, s1y = S.y, s2x = S.x, s2y = S.y;
    int64_t e1x = E.x, e1y = E.y, e2x = E.x, e2y = E.y;
    POINT pts[4];
    if (work->cap == kModeFlat) {
        // Shifted across the line in device y for flat lines, device x for
        // steep ones; the ends stay where the line's ends are.
        const int64_t ldx = static_cast<int64_t>(x2) - x1, ldy = static_cast<int64_t>(y2) - y1;
        if (dx > dy) {
            const double u = D / c;
            s1y -= RoundToInt(u / 3) * static_cast<int64_t>(d.ey);
            s2y = s1y + RoundToInt(2 * u / 3) * static_cast<int64_t>(d.ey);
        } else {
            const double u = D / s;
            s1x -= RoundToInt(u / 3) * static_cast<int64_t>(d.ex);
            s2x = s1x + RoundToInt(2 * u / 3) * static_cast<int64_t>(d.ex);
        }
        pts[0] = MakePoint(s1x, s1y);
        pts[2] = MakePoint(s2x, s2y);
        DPtoLP(hdc, &pts[0], 1);
        DPtoLP(hdc, &pts[2], 1);
        pts[1] = MakePoint(pts[0].x + ldx, pts[0].y + ldy);
        pts[3] = MakePoint(pts[2].x + ldx, pts[2].y + ldy);
    } else {
        // Each line lengthened by k pixels at both ends.
        const int64_t k = D / 2 - D / 6;
        const double Ds = static_cast<double>(D) * s, Dc = static_cast<double>(D) * c;
        s1x -= RoundToInt(k * c - Ds / 3) * static_cast<int64_t>(d.ex);
        e1x += RoundToInt(k * c + Ds / 3) * static_cast<int64_t>(d.ex);
        s1y -= RoundToInt(k * s + Dc / 3) * static_cast<int64_t>(d.ey);
        e1y += RoundToInt(k * s - Dc / 3) * static_cast<int64_t>(d.ey);
        s2x = s1x - RoundToInt(2 * Ds / 3) * static_cast<int64_t>(d.ex);
        e2x = e1x - RoundToInt(2 * Ds / 3) * static_cast<int64_t>(d.ex);
        s2y = s1y + RoundToInt(2 * Dc / 3) * static_cast<int64_t>(d.ey);
        e2y = e1y + RoundToInt(2 * Dc / 3) * static_cast<int64_t>(d.ey);
        pts[0] = MakePoint(s1x, s1y);
        pts[1] = MakePoint(e1x, e1y);
        pts[2] = MakePoint(s2x, s2y);
        pts[3] = MakePoint(e2x, e2y);
        DPtoLP(hdc, pts, 4);
    }

    LINEREC copy1 = ThinCopy(*work, lw);
    if (DrawPiece(hdc, pts[0], pts[1], &copy1, mng) == 0) return 0;
    LINEREC copy2 = ThinCopy(*work, lw);
    if (DrawPiece(hdc, pts[2], pts[3], &copy2, mng) == 0) return 0;
    work->dashCarry = copy2.dashCarry;
    work->dashIndex = copy2.dashIndex;
    return 1;
}

}  // namespace wx5n
