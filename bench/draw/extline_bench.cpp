// 10,000 styled lines through foExtLine with a management record, beside
// the same number of plain Polyline calls over the same end points, on an
// A4 page at 600 dpi (32 bits per pixel). Each reports lines per second.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "draw/draw_internal.h"

namespace {

constexpr int kLines = 10000;
constexpr int kPageW = 4960, kPageH = 7016;  // A4 portrait at 600 dpi

struct Job {
    int x1, y1, x2, y2;
    LINEREC line;
};

// A mix of styles: solid, dashed, double and wave; thin and wide; flat,
// square and round ends; horizontal, vertical and slanted.
std::vector<Job> MakeJobs() {
    std::vector<Job> jobs;
    jobs.reserve(kLines);
    const int kinds[] = {1, 3, 4, 9, 10, 2, 7, 1};
    const int widths[] = {1, 3, 8, 12};
    for (int n = 0; n < kLines; ++n) {
        Job j;
        std::memset(&j.line, 0, sizeof(j.line));
        j.line.kind = kinds[n % 8];
        j.line.width = widths[(n / 8) % 4];
        j.line.cap = 1 + (n / 32) % 3;
        j.line.color = RGB(n % 200, 40, 120);
        j.line.waveHeight = 24;
        j.line.unitsPerInch = 600;
        int x = 100 + (n * 37) % 4000, y = 100 + (n * 53) % 3000;
        int len = 200 + (n * 7) % 600;
        switch (n % 3) {
            case 0: j.x1 = x, j.y1 = y, j.x2 = x + len, j.y2 = y; break;          // horizontal
            case 1: j.x1 = x, j.y1 = y, j.x2 = x, j.y2 = y + len / 2; break;      // vertical
            default: j.x1 = x, j.y1 = y, j.x2 = x + len / 2, j.y2 = y + len / 3;  // slanted
        }
        jobs.push_back(j);
    }
    return jobs;
}

HDC Page() {
    static HDC page = swgdi_CreatePageDC(kPageW, kPageH, 600, 600, 32);
    return page;
}

void BM_ExtLineManaged(benchmark::State& state) {
    HDC dc = Page();
    std::vector<Job> jobs = MakeJobs();
    MNG_OBJECT mng;
    StartMngObject(dc, &mng);
    for (auto _ : state) {
        for (Job& j : jobs) benchmark::DoNotOptimize(foExtLine(dc, j.x1, j.y1, j.x2, j.y2, &j.line, &mng));
    }
    EndMngObject(dc, &mng);
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_ExtLineManaged)->Unit(benchmark::kMillisecond);

void BM_ExtLineUnmanaged(benchmark::State& state) {
    HDC dc = Page();
    std::vector<Job> jobs = MakeJobs();
    for (auto _ : state) {
        for (Job& j : jobs)
            benchmark::DoNotOptimize(foExtLine(dc, j.x1, j.y1, j.x2, j.y2, &j.line, nullptr));
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_ExtLineUnmanaged)->Unit(benchmark::kMillisecond);

// The peer: one plain Polyline per line with a one-pixel pen.
void BM_PlainPolyline(benchmark::State& state) {
    HDC dc = Page();
    std::vector<Job> jobs = MakeJobs();
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 40, 120));
    HGDIOBJ old = SelectObject(dc, pen);
    for (auto _ : state) {
        for (const Job& j : jobs) {
            POINT pts[2] = {{j.x1, j.y1}, {j.x2, j.y2}};
            benchmark::DoNotOptimize(Polyline(dc, pts, 2));
        }
    }
    SelectObject(dc, old);
    DeleteObject(pen);
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_PlainPolyline)->Unit(benchmark::kMillisecond);

// The peer with the pens of the styled lines' widths, selected per line.
void BM_PlainPolylineWidePens(benchmark::State& state) {
    HDC dc = Page();
    std::vector<Job> jobs = MakeJobs();
    HPEN pens[4] = {CreatePen(PS_SOLID, 1, 0), CreatePen(PS_SOLID, 3, 0),
                    CreatePen(PS_SOLID, 8, 0), CreatePen(PS_SOLID, 12, 0)};
    HGDIOBJ old = GetCurrentObject(dc, OBJ_PEN);
    for (auto _ : state) {
        int n = 0;
        for (const Job& j : jobs) {
            SelectObject(dc, pens[(n++ / 8) % 4]);
            POINT pts[2] = {{j.x1, j.y1}, {j.x2, j.y2}};
            benchmark::DoNotOptimize(Polyline(dc, pts, 2));
        }
    }
    SelectObject(dc, old);
    for (HPEN p : pens) DeleteObject(p);
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_PlainPolylineWidePens)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
