// Integer ellipse stepping: outline points and round-rectangle regions.
#include "gdi_internal.h"

#include <algorithm>

namespace swgdi {

// Integer ellipse stepping after Alois Zingl's algorithm: the error of the
// implicit ellipse equation, scaled to stay integral for odd and even sizes,
// decides each step in x and y. 64-bit terms: sizes are at most 2^31.
void EllipseFirstQuadrant(int width, int height, std::vector<POINT>* out) {
    std::vector<POINT>& pts = *out;
    pts.clear();
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
    // A row table kept per thread: no allocation once it has grown.
    thread_local std::vector<int> inset;
    inset.assign(size_t(eh) + 2, ew);
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

}  // namespace swgdi
