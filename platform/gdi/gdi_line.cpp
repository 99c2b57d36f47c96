// Cosmetic lines with GDI's stepping, dash patterns, and wide-pen outlines
// (segment bodies plus round ends and joins) as regions.
#include "gdi_internal.h"

#include <algorithm>
#include <cmath>

namespace swgdi {


namespace {

// One pixel of a line, on the surface: pens are solid, so the format's
// plot draws it.
inline void Plot(const Surface& s, int x, int y, const Paint& p) {
    if (p.none) return;
    if (p.pattern)
        PaintSpan(s, y, x, x + 1, p);
    else
        s.format->plot(s, x, y, p.andMask, p.xorMask);
}

}  // namespace

// Cosmetic lines step like GDI's: Bresenham with the error term
// 2 * minor - major, stepping the minor axis when error + bias > 0, where the
// bias is 1 for lines heading into octants 3, 5, 6 and 8 (counted clockwise
// from +x with y down) so that a line and its reverse cover the same pixels.
// Pixel k of the major axis lies n(k) minor steps from the start:
//   n(k) = ceil((2 k minor + bias - major) / (2 major)).
// Clipping starts the stepping at the first visible k; the last pixel (the
// end point) is never drawn.
namespace {

// Solid horizontal and vertical lines as spans. A line drawn right to left
// (or upwards) includes its start and leaves out its end like any other, so
// its pixels are shifted by one from the same line drawn the other way.
void AxisLine(const Surface& s, POINT a, POINT b, const Paint& p) {
    if (a.y == b.y) {
        int64_t l = a.x, r = b.x;
        if (l > r) {
            l = int64_t(b.x) + 1;
            r = int64_t(a.x) + 1;
        }
        if (a.y < 0 || a.y >= s.height) return;
        l = std::max<int64_t>(l, 0);
        r = std::min<int64_t>(r, s.width);
        if (l < r) {
            PaintSpan(s, a.y, int(l), int(r), p);
            EndStreaming();
        }
        return;
    }
    int64_t t = a.y, btm = b.y;
    if (t > btm) {
        t = int64_t(b.y) + 1;
        btm = int64_t(a.y) + 1;
    }
    if (a.x < 0 || a.x >= s.width) return;
    t = std::max<int64_t>(t, 0);
    btm = std::min<int64_t>(btm, s.height);
    for (int64_t y = t; y < btm; ++y) Plot(s, a.x, int(y), p);
}

}  // namespace

namespace {

// Slanted lines reaching 2^28 device pixels or more are stepped between end
// points divided by 8, as the reference GDI crops such coordinates before
// stepping (its arithmetic would overflow); ours would not, but the pixels
// on the page follow the reference.
POINT CropFarPoint(POINT p) {
    const LONG far = 0x10000000;
    if (p.x >= far || p.x <= -far || p.y >= far || p.y <= -far) {
        p.x /= 8;
        p.y /= 8;
    }
    return p;
}

}  // namespace

namespace {

// The walk of a clipped line for any pixel format: put(x, y) on each pixel
// inside the surface, stopping once the minor axis has left it for good.
template <class Put>
inline void Walk(const LineWalk& w, Put put) {
    int64_t mn = w.mn, err = w.err;
    for (int64_t k = w.k0; k < w.k1; ++k) {
        if (mn >= 0 && mn < w.minLimit) {
            const int64_t mj = w.majStart + w.majInc * k;
            if (w.xMajor)
                put(int(mj), int(mn), k);
            else
                put(int(mn), int(mj), k);
        } else if ((w.minInc > 0) == (mn >= w.minLimit)) {
            break;  // gone past the surface for good
        }
        if (err + w.bias > 0) {
            mn += w.minInc;
            err += w.add1;
        } else {
            err += w.add2;
        }
    }
}

}  // namespace

// A slanted line on a page visits a new row (a new cache line, far from the
// last) at almost every pixel: the pixel kAhead steps on is fetched early,
// its position estimated from the slope, so that the walk rarely waits for
// memory.
void SolidLine32(const Surface& s, const LineWalk& w, uint32_t a, uint32_t x) {
    constexpr int64_t kAhead = 24;
    const int64_t minAhead = w.minInc * (kAhead * w.minor / w.major);
    const int64_t majAhead = w.majInc * kAhead;
    const uintptr_t base = reinterpret_cast<uintptr_t>(s.row0);
    const intptr_t pitch = s.pitch;
    Walk(w, [&](int px, int py, int64_t) {
        const int64_t fx = w.xMajor ? px + majAhead : px + minAhead;
        const int64_t fy = w.xMajor ? py + minAhead : py + majAhead;
        if (uint64_t(fx) < uint64_t(s.width) && uint64_t(fy) < uint64_t(s.height))
            __builtin_prefetch(reinterpret_cast<const void*>(base + uintptr_t(intptr_t(fy) * pitch + fx * 4)), 1);
        uint32_t* q = reinterpret_cast<uint32_t*>(s.row(py)) + px;
        *q = a ? (*q & a) ^ x : x;  // copies need no read
    });
}

void SolidLine1(const Surface& s, const LineWalk& w, uint32_t a, uint32_t x) {
    Walk(w, [&](int px, int py, int64_t) { s.format->plot(s, px, py, a, x); });
}

void DrawCosmeticLine(const Surface& s, POINT a, POINT b, const Paint& p, DashState* dash,
                      const Paint* gap) {
    if (!dash && p.none) return;
    if (!dash && (a.y == b.y || a.x == b.x)) {
        AxisLine(s, a, b, p);
        return;
    }
    if (a.y != b.y && a.x != b.x) {
        a = CropFarPoint(a);
        b = CropFarPoint(b);
    }
    const int64_t dx = int64_t(b.x) - a.x, dy = int64_t(b.y) - a.y;
    if (dx == 0 && dy == 0) return;
    const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
    const bool xMajor = adx > ady;
    // Octants 3, 5, 6, 8: y-major going down-left; x-major going up-left;
    // y-major going up-left; x-major going up-right.
    int bias = 0;
    if (dy > 0 && dx < 0 && !xMajor) bias = 1;
    if (dy < 0 && dx < 0) bias = 1;
    if (dy < 0 && dx > 0 && xMajor) bias = 1;
    const int64_t major = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    const int majInc = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const int minInc = (xMajor ? dy : dx) > 0 ? 1 : -1;
    const int64_t majStart = xMajor ? a.x : a.y, minStart = xMajor ? a.y : a.x;
    const int64_t majLimit = xMajor ? s.width : s.height, minLimit = xMajor ? s.height : s.width;
    DashState dashAtStart;
    if (dash) dashAtStart = *dash;
    // Visible k: 0 <= k < major and 0 <= majStart + majInc * k < majLimit.
    int64_t k0, k1;
    if (majInc > 0) {
        k0 = std::max<int64_t>(0, -majStart);
        k1 = std::min<int64_t>(major, majLimit - majStart);
    } else {
        k0 = std::max<int64_t>(0, majStart - (majLimit - 1));
        k1 = std::min<int64_t>(major, majStart + 1);
    }
    if (k0 < k1) {
        if (dash) dash->Skip(k0);
        // From the start (k0 = 0, the common case) n is 0.
        int64_t n = 0, err = 2 * minor - major;
        if (k0 > 0) {
            __int128 num = __int128(2) * k0 * minor + bias + major - 1;
            n = int64_t(num / (2 * major));
            err = int64_t(__int128(2) * minor - major + __int128(2) * k0 * minor -
                          __int128(2) * n * major);
        }
        const int64_t add1 = 2 * minor - 2 * major, add2 = 2 * minor;
        int64_t mn = minStart + minInc * n;
        if (!dash && !p.pattern) {
            const LineWalk w{k0, k1, majStart, majInc, mn, minInc, minLimit, err, add1, add2, bias,
                             xMajor, minor, major};
            s.format->solidLine(s, w, p.andMask, p.xorMask);
        } else {
            for (int64_t k = k0; k < k1; ++k) {
                if (mn >= 0 && mn < minLimit) {
                    int64_t mj = majStart + majInc * k;
                    const Paint& use = (!dash || dash->mark) ? p : *gap;
                    if (xMajor)
                        Plot(s, int(mj), int(mn), use);
                    else
                        Plot(s, int(mn), int(mj), use);
                } else if ((minInc > 0) == (mn >= minLimit) && !dash) {
                    break;  // gone past the surface for good
                }
                if (dash) dash->Skip(1);
                if (err + bias > 0) {
                    mn += minInc;
                    err += add1;
                } else {
                    err += add2;
                }
            }
        }
    }
    if (dash) {
        *dash = dashAtStart;
        dash->Skip(major);
    }
}

namespace {

// Dash and gap lengths of the cosmetic pen styles, in pixels.
const int kDash[] = {18, 6};
const int kDot[] = {3, 3};
const int kDashDot[] = {9, 6, 3, 6};
const int kDashDotDot[] = {9, 3, 3, 3, 3, 3};

}  // namespace

void DashState::Reset() {
    cur = 0;
    left = dashes ? dashes[0] : 0;
    mark = true;
}

void DashState::Skip(int64_t n) {
    if (!dashes || total <= 0) return;
    n %= total;
    while (n > 0) {
        if (left > n) {
            left -= static_cast<int>(n);
            return;
        }
        n -= left;
        if (++cur == count) cur = 0;
        left = dashes[cur];
        mark = !mark;
    }
}

bool CosmeticDashes(int style, DashState* out) {
    const int* d = nullptr;
    int n = 0;
    switch (style) {
    case PS_DASH: d = kDash; n = 2; break;
    case PS_DOT: d = kDot; n = 2; break;
    case PS_DASHDOT: d = kDashDot; n = 4; break;
    case PS_DASHDOTDOT: d = kDashDotDot; n = 6; break;
    default: return false;
    }
    out->dashes = d;
    out->count = n;
    out->total = 0;
    for (int i = 0; i < n; ++i) out->total += d[i];
    out->Reset();
    return true;
}

namespace {

inline LONG RoundAway(double f) { return static_cast<LONG>(f > 0 ? f + 0.5 : f - 0.5); }

// The body of one wide segment: a rectangle for axis-parallel segments, else
// the quadrilateral whose sides lie half the pen width (split into a narrow
// and a wide half, rounded) either side of the segment.
void AddSegmentBody(POINT p1, POINT p2, int width, Region* out) {
    const int64_t dx = int64_t(p2.x) - p1.x, dy = int64_t(p2.y) - p1.y;
    if (dx == 0 && dy == 0) return;
    if (dy == 0) {
        int64_t top = int64_t(p1.y) - width / 2;
        out->AddRect(std::min(p1.x, p2.x), top, std::max(p1.x, p2.x), top + width);
        return;
    }
    if (dx == 0) {
        int64_t left = int64_t(p1.x) - width / 2;
        out->AddRect(left, std::min(p1.y, p2.y), left + width, std::max(p1.y, p2.y));
        return;
    }
    double len = std::hypot(double(dx), double(dy));
    double wx = width * double(dy < 0 ? -dy : dy) / len;
    double wy = width * double(dx < 0 ? -dx : dx) / len;
    POINT narrow{RoundAway(wx / 2), RoundAway(wy / 2)};
    POINT wide{RoundAway((wx + 1) / 2), RoundAway((wy + 1) / 2)};
    if (dx < 0) {
        wide.y = -wide.y;
        narrow.y = -narrow.y;
    }
    if (dy < 0) {
        std::swap(narrow, wide);
        wide.x = -wide.x;
        narrow.x = -narrow.x;
    }
    POINT q[4] = {{p1.x - narrow.x, p1.y + narrow.y},
                  {p1.x + wide.x, p1.y - wide.y},
                  {p2.x + wide.x, p2.y - wide.y},
                  {p2.x - narrow.x, p2.y + narrow.y}};
    int four = 4;
    ScanPolygons(q, &four, 1, ALTERNATE, out);
}

}  // namespace

// A wide pen is the union of its segment bodies and a disc (the elliptic
// region of the pen width) at every vertex: round ends and round joins.
void AddWideOutline(const POINT* pts, int count, bool closed, int width, int endcap, int join,
                    Region* out) {
    (void)endcap;
    (void)join;
    const int lo = width / 2, hi = (width + 1) / 2 + 1;
    // Parts wholly off the region's rows or columns add nothing; skipping
    // them keeps huge outlines (an ellipse far larger than the page) cheap.
    auto visible = [&](int64_t l, int64_t t, int64_t r, int64_t b) {
        return b > out->top() && t < out->bottom() && r > -1 && l < int64_t(out->width()) + 1;
    };
    for (int i = 0; i < count; ++i) {
        const POINT& p = pts[i];
        if (visible(int64_t(p.x) - lo, int64_t(p.y) - lo, int64_t(p.x) + hi, int64_t(p.y) + hi))
            AddRoundRectRegion(p.x - lo, p.y - lo, p.x + hi, p.y + hi, lo + hi, lo + hi, out);
    }
    auto body = [&](const POINT& a, const POINT& b) {
        if (visible(int64_t(std::min(a.x, b.x)) - width, int64_t(std::min(a.y, b.y)) - width,
                    int64_t(std::max(a.x, b.x)) + width, int64_t(std::max(a.y, b.y)) + width))
            AddSegmentBody(a, b, width, out);
    };
    for (int i = 0; i + 1 < count; ++i) body(pts[i], pts[i + 1]);
    if (closed && count > 1) body(pts[count - 1], pts[0]);
}

}  // namespace swgdi
