// Helpers shared by the straight-line and wave drawing: direction signs and
// the sanity checks of a work record. Private to draw/.
#ifndef WX5N_DRAW_LINE_COMMON_H
#define WX5N_DRAW_LINE_COMMON_H

#include <cstdint>

#include "draw/draw_internal.h"

namespace wx5n {

// Direction of a line from (x1, y1) to (x2, y2).
//   sx, sy     orientation of the logical axes on the device (+1 or -1);
//   dirx, diry a step of d along the line away from the first point is
//              +d * dirx in logical x and +d * diry in logical y;
//   ex, ey     the same in device coordinates (dirx * sx, diry * sy).
// Steps taken on device coordinates use ex and ey, steps on logical ones
// dirx and diry, so that every mapping mode draws the same picture.
struct LineDir {
    int sx, sy, dirx, diry, ex, ey;
};

inline LineDir DirectionOf(HDC hdc, int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    POINT sign{1, 1};
    GetAxisSign(hdc, &sign);
    LineDir d;
    d.sx = sign.x;
    d.sy = sign.y;
    d.dirx = x1 * d.sx <= x2 * d.sx ? d.sx : -d.sx;
    d.diry = y1 * d.sy <= y2 * d.sy ? d.sy : -d.sy;
    d.ex = d.dirx * d.sx;
    d.ey = d.diry * d.sy;
    return d;
}

inline int64_t Abs64(int64_t v) { return v < 0 ? -v : v; }

// Truncates a double toward zero into 64 bits, saturating far beyond any
// coordinate the arithmetic here produces.
inline int64_t Trunc64(double v) {
    if (!(v == v)) return 0;
    if (v >= 9.0e18) return INT64_C(9000000000000000000);
    if (v <= -9.0e18) return -INT64_C(9000000000000000000);
    return static_cast<int64_t>(v);
}

inline POINT MakePoint(int64_t x, int64_t y) { return POINT{ClampLong(x), ClampLong(y)}; }

// A work record the segment loops can walk: 1 to 6 entries, each a
// positive length (foGetLineStyle makes them at least one device pixel), so
// every pass of a loop moves forward. Anything else is refused.
inline bool PatternUsable(const LINEREC* work, bool solid) {
    if (work->dashCount < 1 || work->dashCount > 6) return false;
    if (solid) return true;
    for (int i = 0; i < work->dashCount; ++i)
        if (work->dashPattern[i] <= 0) return false;
    return true;
}

// The dash state a piece resumes with. An index outside the pattern or a
// negative remainder (a record the host filled wrongly) starts afresh.
inline void ResumeState(const LINEREC* work, int64_t* carry, int* index) {
    *index = work->dashIndex;
    *carry = work->dashCarry;
    if (*index < 0 || *index >= work->dashCount) {
        *index = 0;
        *carry = 0;
    }
    if (*carry < 0) *carry = 0;
}

// Stores the dash state a piece ends with: when it stopped inside an entry,
// the index names that entry (the loop has already moved past it).
inline void StoreState(LINEREC* work, int64_t carry, int index) {
    work->dashCarry = ClampLong(carry);
    if (carry != 0) {
        --index;
        if (index < 0) index = work->dashCount - 1;
    }
    work->dashIndex = index;
}

}  // namespace wx5n

#endif  // WX5N_DRAW_LINE_COMMON_H
