// Device metrics: snapping widths and points to whole device pixels, the
// logical size of a device pixel, the orientation of the logical axes and
// the step angle of arcs. Every operation reads the device context's
// current mapping afresh; none keeps state.
#include <cmath>

#include "draw/draw_internal.h"

namespace wx5n {
namespace {

// Widths and radii at or above this are taken as they stand.
constexpr int kNoConvertLimit = 0x7FFF;
constexpr double kHalfPi = 1.5707963267948966;
constexpr double kPiBy64 = 0.04908738521234052;  // (pi / 2) / 32
constexpr int kMaxArcSegments = 32;

bool IsText(HDC hdc) { return GetMapMode(hdc) == MM_TEXT; }

LONG AbsDiff(LONG a, LONG b) {
    int64_t d = static_cast<int64_t>(a) - b;
    return ClampLong(d < 0 ? -d : d);
}

}  // namespace

int TruncToInt(double value) {
    if (!(value == value)) return 0;  // NaN
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int>(value);
}

int RoundToInt(double value) {
    return value > 0.0 ? TruncToInt(value + 0.5) : TruncToInt(value - 0.5);
}

void GetPixelSize(HDC hdc, int* cx, int* cy, const POINT* at) {
    if (!hdc) return;
    if (IsText(hdc)) {
        if (cx) *cx = 1;
        if (cy) *cy = 1;
        return;
    }
    POINT base = at ? *at : POINT{0, 0};
    POINT pt = base;
    LPtoDP(hdc, &pt, 1);
    pt.x = ClampLong(static_cast<int64_t>(pt.x) + 1);
    pt.y = ClampLong(static_cast<int64_t>(pt.y) + 1);
    DPtoLP(hdc, &pt, 1);
    if (cx) *cx = AbsDiff(pt.x, base.x);
    if (cy) *cy = AbsDiff(pt.y, base.y);
}

// The sign of each axis is the direction in which the logical coordinate
// moves when the device coordinate grows, measured from the window origin
// (which maps onto the viewport origin). A step of one pixel is tried first;
// where a logical unit spans many pixels that step may not register, and a
// larger one is taken.
void GetAxisSign(HDC hdc, POINT* sign) {
    if (!sign) return;
    POINT org{0, 0};
    GetWindowOrgEx(hdc, &org);
    POINT vorg = org;
    LPtoDP(hdc, &vorg, 1);  // the viewport origin
    int64_t lx = 0, ly = 0;
    const int64_t steps[2] = {1, 65536};
    for (int64_t step : steps) {
        POINT probe{ClampLong(vorg.x + step), ClampLong(vorg.y + step)};
        DPtoLP(hdc, &probe, 1);
        lx = static_cast<int64_t>(probe.x) - org.x;
        ly = static_cast<int64_t>(probe.y) - org.y;
        if (lx != 0 && ly != 0) break;
    }
    sign->x = lx >= 0 ? 1 : -1;
    sign->y = ly >= 0 ? 1 : -1;
}

double GetArcStepAngle(HDC hdc, int radius) {
    if (radius >= kNoConvertLimit) return kPiBy64;
    POINT a{0, 0};
    POINT b{radius, radius};
    LPtoDP(hdc, &a, 1);
    LPtoDP(hdc, &b, 1);
    LONG dx = AbsDiff(b.x, a.x);
    LONG dy = AbsDiff(b.y, a.y);
    int64_t m = dx < dy ? dx : dy;
    int64_t n = (m + 1) / 2;  // half the device radius, rounded up
    if (n > kMaxArcSegments || n == 0) n = kMaxArcSegments;
    return kHalfPi / static_cast<double>(n);
}

}  // namespace wx5n

using namespace wx5n;

// The width is taken to device pixels and back as the distance between the
// device points of (0, 0) and (width, width), so that window and viewport
// origins do not shift it; the result carries the width's sign.
extern "C" FOAPI int FOCALL RoundLineWidth(HDC hdc, int width) {
    if (IsText(hdc)) return width;
    if (width >= kNoConvertLimit) return width;
    POINT pts[2] = {{0, 0}, {width, width}};
    LPtoDP(hdc, &pts[0], 1);
    LPtoDP(hdc, &pts[1], 1);
    LONG dx = AbsDiff(pts[1].x, pts[0].x);
    LONG dy = AbsDiff(pts[1].y, pts[0].y);
    if (dx != dy) return width;  // x and y scaled differently
    if (dx <= 1) return 1;
    DPtoLP(hdc, pts, 2);
    LONG w = AbsDiff(pts[1].x, pts[0].x);
    if (w == 0) return 1;
    return width < 0 ? -w : w;  // a negative width stays negative, as in MM_TEXT
}

extern "C" FOAPI void FOCALL RoundLinePosition(HDC hdc, POINT* pt) {
    if (!pt || IsText(hdc)) return;
    LPtoDP(hdc, pt, 1);
    DPtoLP(hdc, pt, 1);
}

extern "C" FOAPI int FOCALL GetPixToLog(HDC hdc) {
    if (!hdc) return 0;
    if (IsText(hdc)) return 1;
    POINT pts[2] = {{0, 0}, {1, 1}};
    DPtoLP(hdc, pts, 2);
    LONG d = AbsDiff(pts[1].x, pts[0].x);
    return d != 0 ? d : 1;
}

extern "C" FOAPI int FOCALL GetMinimumLength(HDC hdc) { return GetPixToLog(hdc); }
