// Polygon scan conversion (ALTERNATE and WINDING) into regions.
#include "gdi_internal.h"

#include <algorithm>

namespace swgdi {

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

// Edge tables kept per thread: no allocation once they have grown. Found
// through a call of its own, once per fill: a thread-local of a shared
// library is looked up by a call at each use, which the compiler repeats
// inside the row loop.
struct ScanTables {
    std::vector<Edge> edges;
    std::vector<Edge*> active;
    std::vector<std::pair<int64_t, int>> xs;
};

__attribute__((noinline)) ScanTables& TablesOfThisThread() {
    thread_local ScanTables tables;
    return tables;
}

}  // namespace

// Scan conversion after the classic X11 polygon filler: each scanline y
// takes the edges with yTop <= y < yBottom; spans run from one crossing to
// the next (ALTERNATE) or while the winding number is non-zero (WINDING).
void ScanPolygons(const POINT* pts, const int* counts, int polygons, int fillMode, Region* out) {
    ScanTables& tables = TablesOfThisThread();
    std::vector<Edge>& edges = tables.edges;
    std::vector<Edge*>& active = tables.active;
    std::vector<std::pair<int64_t, int>>& xs = tables.xs;
    edges.clear();
    active.clear();
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

}  // namespace swgdi
