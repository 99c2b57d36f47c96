// The measurements every double line (kind 9) is split by: its width in
// device pixels and the logical width of the thin lines it becomes. The
// straight lines, rectangles and ellipses all split by the same rule.
#include "draw/draw_internal.h"

namespace wx5n {

int64_t DoubleLinePixels(HDC hdc, const LINEREC& line, bool alongY) {
    if (line.kind != kKindDouble) return 0;
    POINT pts[2] = {{0, 0}, {line.width, line.width}};
    LPtoDP(hdc, pts, 2);
    const int64_t d = alongY ? int64_t{pts[1].y} - pts[0].y : int64_t{pts[1].x} - pts[0].x;
    return d < 0 ? -d : d;
}

int LogicalLengthOf(HDC hdc, POINT at, int64_t n, bool alongY) {
    POINT probe[2] = {at, alongY ? POINT{at.x, ClampLong(at.y + n)}
                                 : POINT{ClampLong(at.x + n), at.y}};
    DPtoLP(hdc, probe, 2);
    const int64_t d =
        alongY ? int64_t{probe[1].y} - probe[0].y : int64_t{probe[1].x} - probe[0].x;
    return ClampLong(d < 0 ? -d : d);
}

}  // namespace wx5n
