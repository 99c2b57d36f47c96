// Primitives: span and pixel painting per pixel format, regions as span
// lists, polygon scan conversion, ellipse stepping, cosmetic and wide lines.
// Input of the painting functions is already clipped and non-empty.
#include "gdi_internal.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace swgdi {
namespace {

inline int Mod(int64_t a, int m) {
    int64_t r = a % m;
    return static_cast<int>(r < 0 ? r + m : r);
}

// Spans at least this long (pixels) are filled with streaming stores that
// bypass the cache: a page is far larger than the cache, and a filled span
// is not read again soon.
constexpr int kStreamSpan = 2048;

void FillSolid(uint32_t* d, int n, uint32_t v) {
#if defined(__SSE2__)
    if (n >= kStreamSpan) {
        // Whole cache lines with streaming stores (no read of lines about to
        // be overwritten); the partial lines at both ends with plain stores.
        while ((reinterpret_cast<uintptr_t>(d) & 63) && n > 0) {
            *d++ = v;
            --n;
        }
        const __m128i vv = _mm_set1_epi32(static_cast<int>(v));
        for (; n >= 16; n -= 16, d += 16) {
            _mm_stream_si128(reinterpret_cast<__m128i*>(d), vv);
            _mm_stream_si128(reinterpret_cast<__m128i*>(d + 4), vv);
            _mm_stream_si128(reinterpret_cast<__m128i*>(d + 8), vv);
            _mm_stream_si128(reinterpret_cast<__m128i*>(d + 12), vv);
        }
        _mm_sfence();
    } else if (n >= 16) {
        // Aligned 16-byte stores: none splits a cache line.
        while (reinterpret_cast<uintptr_t>(d) & 15) {
            *d++ = v;
            --n;
        }
        const __m128i vv = _mm_set1_epi32(static_cast<int>(v));
        for (; n >= 16; n -= 16, d += 16) {
            _mm_store_si128(reinterpret_cast<__m128i*>(d), vv);
            _mm_store_si128(reinterpret_cast<__m128i*>(d + 4), vv);
            _mm_store_si128(reinterpret_cast<__m128i*>(d + 8), vv);
            _mm_store_si128(reinterpret_cast<__m128i*>(d + 12), vv);
        }
    }
#endif
    for (int i = 0; i < n; ++i) d[i] = v;
}

void PaintSpan32(const Surface& s, int y, int x0, int x1, const Paint& p) {
    uint32_t* d = reinterpret_cast<uint32_t*>(s.row(y));
    if (!p.pattern) {
        const uint32_t a = p.andMask, x = p.xorMask;
        if (a == 0) {
            FillSolid(d + x0, x1 - x0, x);
        } else if (a == ~0u && x == 0) {
            return;
        } else {
            for (int i = x0; i < x1; ++i) d[i] = (d[i] & a) ^ x;
        }
        return;
    }
    const int pw = p.patWidth;
    const size_t py = size_t(Mod(int64_t(y) - p.orgY, p.patHeight));
    int k = Mod(int64_t(x0) - p.orgX, pw);
    if (p.patCopy) {
        // Whole pattern periods straight from the doubled row.
        const uint32_t* tile = p.patTile.data() + py * size_t(2 * pw) + k;
        int i = x0;
        for (; i + pw <= x1; i += pw) std::memcpy(d + i, tile, size_t(pw) * 4);
        for (int j = 0; i < x1; ++i, ++j) d[i] = tile[j];
        return;
    }
    const size_t rowBase = py * size_t(pw);
    const uint32_t* pa = p.patAnd.data() + rowBase;
    const uint32_t* px = p.patXor.data() + rowBase;
    for (int i = x0; i < x1; ++i) {
        d[i] = (d[i] & pa[k]) ^ px[k];
        if (++k == pw) k = 0;
    }
}

void PaintSpan1(const Surface& s, int y, int x0, int x1, const Paint& p) {
    uint8_t* d = s.row(y);
    for (int i = x0; i < x1; ++i) {
        uint32_t a, x;
        if (p.pattern) {
            size_t k = size_t(Mod(int64_t(y) - p.orgY, p.patHeight)) * size_t(p.patWidth) +
                       size_t(Mod(int64_t(i) - p.orgX, p.patWidth));
            a = p.patAnd[k];
            x = p.patXor[k];
        } else {
            a = p.andMask;
            x = p.xorMask;
        }
        uint8_t bit = static_cast<uint8_t>(0x80u >> (i & 7));
        uint32_t v = (d[i >> 3] & bit) ? 1u : 0u;
        v = ((v & a) ^ x) & 1u;
        d[i >> 3] = static_cast<uint8_t>(v ? (d[i >> 3] | bit) : (d[i >> 3] & ~bit));
    }
}

}  // namespace

void FinishPattern(Paint* p) {
    p->patCopy = std::all_of(p->patAnd.begin(), p->patAnd.end(), [](uint32_t a) { return a == 0; });
    if (!p->patCopy) return;
    const size_t w = size_t(p->patWidth);
    p->patTile.resize(size_t(p->patHeight) * 2 * w);
    for (size_t y = 0; y < size_t(p->patHeight); ++y)
        for (size_t x = 0; x < 2 * w; ++x) p->patTile[y * 2 * w + x] = p->patXor[y * w + x % w];
}

void PaintSpan(const Surface& s, int y, int x0, int x1, const Paint& p) {
    if (p.none) return;
    if (s.bpp == 32)
        PaintSpan32(s, y, x0, x1, p);
    else
        PaintSpan1(s, y, x0, x1, p);
}

void PaintPixel(const Surface& s, int x, int y, const Paint& p) {
    if (x < 0 || y < 0 || x >= s.width || y >= s.height) return;
    PaintSpan(s, y, x, x + 1, p);
}

void PaintRect(const Surface& s, LONG left, LONG top, LONG right, LONG bottom, const Paint& p) {
    if (p.none) return;
    int l = std::max<LONG>(left, 0), t = std::max<LONG>(top, 0);
    int r = std::min<LONG>(right, s.width), b = std::min<LONG>(bottom, s.height);
    if (l >= r) return;
    // Rows lie a page apart, too far for the hardware to guess: ask for the
    // cache lines of a row two rows ahead while this one is painted.
    const int64_t rowBytes = s.bpp == 32 ? int64_t(r - l) * 4 : 0;
    for (int y = t; y < b; ++y) {
        if (y + 2 < b && rowBytes >= 64 && rowBytes <= 4096) {
            const uint8_t* ahead = s.row(y + 2) + int64_t(l) * 4;
            for (int64_t o = 0; o < rowBytes; o += 64) __builtin_prefetch(ahead + o, 1);
        }
        PaintSpan(s, y, l, r, p);
    }
}

uint32_t ReadPixel(const Surface& s, int x, int y) {
    if (s.bpp == 32) return reinterpret_cast<const uint32_t*>(s.row(y))[x];
    return (s.row(y)[x >> 3] >> (7 - (x & 7))) & 1u;
}

void WritePixel(const Surface& s, int x, int y, uint32_t pixel) {
    if (s.bpp == 32) {
        reinterpret_cast<uint32_t*>(s.row(y))[x] = pixel;
        return;
    }
    uint8_t bit = static_cast<uint8_t>(0x80u >> (x & 7));
    uint8_t* d = s.row(y) + (x >> 3);
    *d = static_cast<uint8_t>((pixel & 1) ? (*d | bit) : (*d & ~bit));
}

// ---------------------------------------------------------------- regions

Region::Region(int top, int bottom, int width)
    : top_(top), bottom_(std::max(top, bottom)), width_(width) {}

// Spans are kept inside [-1, width + 1] so that coordinates far off the page
// stay small; the extra pixel on each side never reaches the surface.
void Region::Add(int64_t y, int64_t x0, int64_t x1) {
    if (y < top_ || y >= bottom_) return;
    x0 = std::max<int64_t>(x0, -1);
    x1 = std::min<int64_t>(x1, int64_t(width_) + 1);
    if (x0 >= x1) return;
    spans_.push_back({int(y), int(x0), int(x1)});
}

void Region::AddRect(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    int64_t t = std::max<int64_t>(top, top_), b = std::min<int64_t>(bottom, bottom_);
    for (int64_t y = t; y < b; ++y) Add(y, left, right);
}

void Region::Normalize() {
    if (spans_.size() < 2) return;
    std::sort(spans_.begin(), spans_.end(), [](const Span& a, const Span& b) {
        return a.y != b.y ? a.y < b.y : a.x0 < b.x0;
    });
    size_t out = 0;
    for (size_t i = 1; i < spans_.size(); ++i) {
        Span& last = spans_[out];
        if (spans_[i].y == last.y && spans_[i].x0 <= last.x1)
            last.x1 = std::max(last.x1, spans_[i].x1);
        else
            spans_[++out] = spans_[i];
    }
    spans_.resize(out + 1);
}

void Region::Subtract(const Region& other) {
    if (spans_.empty() || other.spans_.empty()) return;
    std::vector<Span> result;
    result.reserve(spans_.size());
    const std::vector<Span>& cut = other.spans_;
    size_t j = 0;
    for (const Span& s : spans_) {
        while (j < cut.size() && (cut[j].y < s.y || (cut[j].y == s.y && cut[j].x1 <= s.x0))) ++j;
        int x = s.x0;
        for (size_t k = j; k < cut.size() && cut[k].y == s.y && cut[k].x0 < s.x1; ++k) {
            if (cut[k].x0 > x) result.push_back({s.y, x, cut[k].x0});
            x = std::max(x, cut[k].x1);
        }
        if (x < s.x1) result.push_back({s.y, x, s.x1});
    }
    spans_.swap(result);
}

void Region::Paint(const Surface& s, const ::swgdi::Paint& p) const {
    if (p.none) return;
    for (size_t i = 0; i < spans_.size(); ++i) {
        const Span& sp = spans_[i];
        if (sp.y < 0 || sp.y >= s.height) continue;
        int x0 = std::max(sp.x0, 0), x1 = std::min(sp.x1, s.width);
        // As in PaintRect: fetch the lines of a span two spans ahead.
        if (i + 2 < spans_.size() && s.bpp == 32) {
            const Span& a = spans_[i + 2];
            int a0 = std::max(a.x0, 0), a1 = std::min(a.x1, s.width);
            if (a.y >= 0 && a.y < s.height && a1 - a0 <= 1024) {
                const uint8_t* ahead = s.row(a.y) + int64_t(a0) * 4;
                for (int64_t o = 0; o < int64_t(a1 - a0) * 4; o += 64) __builtin_prefetch(ahead + o, 1);
            }
        }
        if (x0 < x1) PaintSpan(s, sp.y, x0, x1, p);
    }
}

bool Region::Contains(int x, int y) const {
    auto it = std::lower_bound(spans_.begin(), spans_.end(), y,
                               [](const Span& s, int yy) { return s.y < yy; });
    for (; it != spans_.end() && it->y == y; ++it)
        if (x >= it->x0 && x < it->x1) return true;
    return false;
}

// ---------------------------------------------------------------- polygons

namespace {

// One non-horizontal polygon edge, stepped one scanline at a time. On the
// scanline y its x is ceil(xTop + (y - yTop) * dx / dy): the first pixel at
// or right of the exact crossing. q + (r > 0) is that ceiling, with the
// numerator xTop * dy + (y - yTop) * dx = q * dy + r, 0 <= r < dy.
struct Edge {
    int64_t yTop, yBottom;  // scanlines yTop .. yBottom - 1
    int64_t dx, dy;
    int64_t q, r;
    int64_t stepQ, stepR;
    int dir;                // +1 when the edge runs downwards
    int64_t X() const { return q + (r > 0 ? 1 : 0); }
    void Start(int64_t y, int64_t xTop) {
        __int128 n = __int128(xTop) * dy + __int128(y - yTop) * dx;
        __int128 qq = n / dy, rr = n % dy;
        if (rr < 0) {
            rr += dy;
            qq -= 1;
        }
        q = int64_t(qq);
        r = int64_t(rr);
        stepQ = dx / dy;
        stepR = dx % dy;
        if (stepR < 0) {
            stepR += dy;
            stepQ -= 1;
        }
    }
    void Step() {
        q += stepQ;
        r += stepR;
        if (r >= dy) {
            r -= dy;
            ++q;
        }
    }
};

}  // namespace

// Scan conversion after the classic X11 polygon filler: each scanline y
// takes the edges with yTop <= y < yBottom; spans run from one crossing to
// the next (ALTERNATE) or while the winding number is non-zero (WINDING).
void ScanPolygons(const POINT* pts, const int* counts, int polygons, int fillMode, Region* out) {
    std::vector<Edge> edges;
    int64_t yMin = INT64_MAX, yMax = INT64_MIN;
    size_t base = 0;
    for (int p = 0; p < polygons; ++p) {
        int n = counts[p];
        for (int i = 0; i < n; ++i) {
            POINT a = pts[base + size_t(i)], b = pts[base + size_t((i + 1) % n)];
            if (a.y == b.y) continue;
            Edge e{};
            e.dir = a.y < b.y ? 1 : -1;
            const POINT& top = a.y < b.y ? a : b;
            const POINT& bot = a.y < b.y ? b : a;
            e.yTop = top.y;
            e.yBottom = bot.y;
            e.dx = int64_t(bot.x) - top.x;
            e.dy = int64_t(bot.y) - top.y;
            e.q = top.x;  // holds xTop until started
            edges.push_back(e);
            yMin = std::min(yMin, e.yTop);
            yMax = std::max(yMax, e.yBottom);
        }
        base += size_t(n);
    }
    if (edges.empty()) return;
    int64_t y0 = std::max<int64_t>(yMin, out->top());
    int64_t y1 = std::min<int64_t>(yMax, out->bottom());
    if (y0 >= y1) return;
    std::sort(edges.begin(), edges.end(),
              [](const Edge& a, const Edge& b) { return a.yTop < b.yTop; });
    std::vector<Edge*> active;
    std::vector<std::pair<int64_t, int>> xs;
    size_t next = 0;
    for (int64_t y = y0; y < y1; ++y) {
        while (next < edges.size() && edges[next].yTop <= y) {
            Edge& e = edges[next++];
            if (e.yBottom <= y) continue;
            e.Start(y, e.q);
            active.push_back(&e);
        }
        active.erase(std::remove_if(active.begin(), active.end(),
                                    [y](const Edge* e) { return e->yBottom <= y; }),
                     active.end());
        xs.clear();
        for (Edge* e : active) xs.push_back({e->X(), e->dir});
        std::sort(xs.begin(), xs.end());
        if (fillMode == WINDING) {
            int wind = 0;
            int64_t start = 0;
            for (auto& [x, d] : xs) {
                if (wind == 0) start = x;
                wind += d;
                if (wind == 0) out->Add(y, start, x);
            }
        } else {
            for (size_t i = 0; i + 1 < xs.size(); i += 2) out->Add(y, xs[i].first, xs[i + 1].first);
        }
        for (Edge* e : active) e->Step();
    }
}

// ---------------------------------------------------------------- ellipses

// Integer ellipse stepping after Alois Zingl's algorithm: the error of the
// implicit ellipse equation, scaled to stay integral for odd and even sizes,
// decides each step in x and y. 64-bit terms: sizes are at most 2^31.
std::vector<POINT> EllipseFirstQuadrant(int width, int height) {
    std::vector<POINT> pts;
    const int64_t a = width - 1, b = height - 1;
    const int64_t asq = 8 * a * a, bsq = 8 * b * b;
    int64_t dx = 4 * b * b * (1 - a);
    int64_t dy = 4 * a * a * (1 + (b % 2));
    int64_t err = dx + dy + a * a * (b % 2);
    POINT pt{static_cast<LONG>(a), height / 2};
    pts.reserve(size_t(width + height) / 2 + 2);
    while (pt.x >= width / 2) {
        int64_t e2 = 2 * err;
        pts.push_back(pt);
        if (e2 >= dx) {
            pt.x--;
            dx += bsq;
            err += dx;
        }
        if (e2 <= dy) {
            pt.y++;
            dy += asq;
            err += dy;
        }
    }
    return pts;
}

void AddRoundRectRegion(int left, int top, int right, int bottom, int ew, int eh, Region* out) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    // The region covers the rectangle without its right column and bottom row.
    right--;
    bottom--;
    // Widths in 64 bits: the corners may lie at the ends of the int range.
    const auto clampSize = [](int64_t box, int64_t e) {
        const int64_t v = std::min(box, e < 0 ? -e : e);
        return static_cast<int>(std::min<int64_t>(v, INT32_MAX));
    };
    ew = clampSize(int64_t(right) - left, ew);
    eh = clampSize(int64_t(bottom) - top, eh);
    // The stepping below squares the radii in 64 bits and keeps a row table
    // of the ellipse's height: beyond 2^18 device pixels (past any page)
    // neither is sound, and such a shape is taken as its rectangle.
    constexpr int kMaxEllipse = 1 << 18;
    if (ew < 2 || eh < 2 || ew > kMaxEllipse || eh > kMaxEllipse) {
        out->AddRect(left, top, right, bottom);
        return;
    }
    // Row i of the ellipse's bounding box spans [left + inset_i, right - inset_i).
    // Rows the stepping never reaches lie beyond the ellipse's tips: empty.
    // (GDI implementations leave them undefined; a narrow, tall ellipse then
    // shows stray pixels there.)
    std::vector<int> inset(size_t(eh) + 2, ew);
    const int64_t a = ew - 1, b = eh - 1;
    const int64_t asq = 8 * a * a, bsq = 8 * b * b;
    int64_t dx = 4 * b * b * (1 - a);
    int64_t dy = 4 * a * a * (1 + (b % 2));
    int64_t err = dx + dy + a * a * (b % 2);
    int x = 0, y = eh / 2;
    inset[size_t(y)] = 0;  // the widest row
    while (x <= ew / 2) {
        int64_t e2 = 2 * err;
        if (e2 >= dx) {
            x++;
            dx += bsq;
            err += dx;
        }
        if (e2 <= dy) {
            y++;
            dy += asq;
            err += dy;
            if (y < eh) inset[size_t(y)] = x;
        }
    }
    for (int i = 0; i < eh / 2; ++i) inset[size_t(i)] = inset[size_t(b - i)];
    for (int i = 0; i < eh; ++i) {
        int64_t rowTop = i < eh / 2 ? int64_t(top) + i : int64_t(bottom) - eh + i;
        int64_t rowBottom = rowTop + 1;
        // The middle row stretches over the straight sides of a round rectangle.
        if (i == eh / 2) rowTop = int64_t(top) + eh / 2;
        out->AddRect(int64_t(left) + inset[size_t(i)], rowTop, int64_t(right) - inset[size_t(i)],
                     rowBottom);
    }
}

// ---------------------------------------------------------------- lines

namespace {

// One pixel of a line, on the surface; the common solid 32-bpp case inline.
inline void Plot(const Surface& s, int x, int y, const Paint& p) {
    if (s.bpp == 32 && !p.pattern && !p.none) {
        uint32_t* q = reinterpret_cast<uint32_t*>(s.row(y)) + x;
        *q = p.andMask ? (*q & p.andMask) ^ p.xorMask : p.xorMask;  // copies need no read
        return;
    }
    PaintSpan(s, y, x, x + 1, p);
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
        if (l < r) PaintSpan(s, a.y, int(l), int(r), p);
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
        __int128 num = __int128(2) * k0 * minor + bias + major - 1;
        int64_t n = int64_t(num / (2 * major));
        int64_t err = int64_t(__int128(2) * minor - major + __int128(2) * k0 * minor -
                              __int128(2) * n * major);
        const int64_t add1 = 2 * minor - 2 * major, add2 = 2 * minor;
        int64_t mn = minStart + minInc * n;
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
