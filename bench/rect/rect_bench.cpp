// 2,000 framed and filled rounded rectangles and 2,000 dashed ellipses on an
// A4 page at 600 dpi (32 bits per pixel), beside 2,000 plain Rectangle and
// Ellipse calls over the same boxes. Each benchmark reports figures per
// second (items_per_second).
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "draw/rect_internal.h"

namespace {

constexpr int kFigures = 2000;
constexpr int kPageW = 4960, kPageH = 7016;  // A4 portrait at 600 dpi

struct Box {
    RECT rect;
    RECTREC shape;
    LINEREC line;
    int hatch;
};

// Boxes 80 to 240 pixels wide on a grid over the page; frames 1 to 12
// pixels wide in solid, dashed and double lines, flat, square and round
// ends; corner radii 8 to 40 pixels, now and then an open side; hatch fills.
std::vector<Box> MakeBoxes() {
    std::vector<Box> boxes(kFigures);
    const int kinds[] = {1, 3, 9, 4, 1, 2};
    const int widths[] = {1, 4, 8, 12};
    const int hatches[] = {500, 250, 1000, 875};
    for (int n = 0; n < kFigures; ++n) {
        Box& b = boxes[n];
        const int x = 60 + (n % 40) * 120, y = 60 + (n / 40) * 138;
        const int w = 80 + (n * 37) % 160 / 4, h = 70 + (n * 53) % 120 / 3;
        b.rect = RECT{x, y, x + w, y + h};
        std::memset(&b.shape, 0, sizeof(b.shape));
        b.shape.openSides = n % 7 == 0 ? 0x34 : 0;
        for (int c = 0; c < 4; ++c) b.shape.radius[c] = static_cast<unsigned short>(8 + (n + 9 * c) % 33);
        std::memset(&b.line, 0, sizeof(b.line));
        b.line.kind = kinds[n % 6];
        b.line.width = widths[(n / 6) % 4];
        b.line.cap = 1 + (n / 24) % 3;
        b.line.color = RGB(20, n % 200, 90);
        b.line.unitsPerInch = 600;
        b.hatch = hatches[n % 4];
    }
    return boxes;
}

struct Oval {
    int cx, cy, rx, ry;
    LINEREC line;
};

// Ellipses 40 to 100 pixels in radius, dashed kinds 2 to 8, thin and wide.
std::vector<Oval> MakeOvals() {
    std::vector<Oval> ovals(kFigures);
    const int kinds[] = {2, 3, 4, 5, 6, 7, 8};
    const int widths[] = {1, 3, 6, 10};
    for (int n = 0; n < kFigures; ++n) {
        Oval& o = ovals[n];
        o.cx = 110 + (n % 40) * 120;
        o.cy = 110 + (n / 40) * 138;
        o.rx = 40 + (n * 13) % 20;
        o.ry = 30 + (n * 7) % 30;
        std::memset(&o.line, 0, sizeof(o.line));
        o.line.kind = kinds[n % 7];
        o.line.width = widths[(n / 7) % 4];
        o.line.cap = 1 + (n / 28) % 3;
        o.line.color = RGB(n % 200, 30, 60);
        o.line.unitsPerInch = 600;
        if (o.line.kind == 8) {
            o.line.dashCount = 4;
            o.line.dashPattern[0] = 60;
            o.line.dashPattern[1] = 20;
            o.line.dashPattern[2] = 10;
            o.line.dashPattern[3] = 20;
        }
    }
    return ovals;
}

HDC Page() {
    static HDC page = swgdi_CreatePageDC(kPageW, kPageH, 600, 600, 32);
    return page;
}

void BM_ExtRectangleManaged(benchmark::State& state) {
    HDC dc = Page();
    std::vector<Box> boxes = MakeBoxes();
    MNG_OBJECT mng;
    StartMngObject(dc, &mng);
    for (auto _ : state) {
        for (Box& b : boxes)
            benchmark::DoNotOptimize(
                foExtRectangle(dc, b.rect, b.hatch, 0, &b.line, &b.shape, &mng));
    }
    EndMngObject(dc, &mng);
    state.SetItemsProcessed(state.iterations() * kFigures);
}
BENCHMARK(BM_ExtRectangleManaged)->Unit(benchmark::kMillisecond);

void BM_ExtRectangleUnmanaged(benchmark::State& state) {
    HDC dc = Page();
    std::vector<Box> boxes = MakeBoxes();
    for (auto _ : state) {
        for (Box& b : boxes)
            benchmark::DoNotOptimize(
                foExtRectangle(dc, b.rect, b.hatch, 0, &b.line, &b.shape, nullptr));
    }
    state.SetItemsProcessed(state.iterations() * kFigures);
}
BENCHMARK(BM_ExtRectangleUnmanaged)->Unit(benchmark::kMillisecond);

// The peer: swgdi's own Rectangle over the same boxes, with a pen and a
// pattern brush selected once.
void BM_PlainRectangle(benchmark::State& state) {
    HDC dc = Page();
    std::vector<Box> boxes = MakeBoxes();
    HPEN pen = CreatePen(PS_SOLID, 4, RGB(20, 90, 90));
    HBRUSH brush = foGetHatchBrush(500);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    for (auto _ : state) {
        for (const Box& b : boxes)
            benchmark::DoNotOptimize(
                Rectangle(dc, b.rect.left, b.rect.top, b.rect.right, b.rect.bottom));
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
    state.SetItemsProcessed(state.iterations() * kFigures);
}
BENCHMARK(BM_PlainRectangle)->Unit(benchmark::kMillisecond);

void BM_ExtEllipseDashedManaged(benchmark::State& state) {
    HDC dc = Page();
    std::vector<Oval> ovals = MakeOvals();
    MNG_OBJECT mng;
    StartMngObject(dc, &mng);
    for (auto _ : state) {
        for (Oval& o : ovals)
            benchmark::DoNotOptimize(
                foExtEllipse(dc, o.cx, o.cy, o.rx, o.ry, 0, 0, &o.line, &mng));
    }
    EndMngObject(dc, &mng);
    state.SetItemsProcessed(state.iterations() * kFigures);
}
BENCHMARK(BM_ExtEllipseDashedManaged)->Unit(benchmark::kMillisecond);

void BM_ExtEllipseDashedUnmanaged(benchmark::State& state) {
    HDC dc = Page();
    std::vector<Oval> ovals = MakeOvals();
    for (auto _ : state) {
        for (Oval& o : ovals)
            benchmark::DoNotOptimize(
                foExtEllipse(dc, o.cx, o.cy, o.rx, o.ry, 0, 0, &o.line, nullptr));
    }
    state.SetItemsProcessed(state.iterations() * kFigures);
}
BENCHMARK(BM_ExtEllipseDashedUnmanaged)->Unit(benchmark::kMillisecond);

// The peer: swgdi's own Ellipse (a solid 4-pixel outline) over the same boxes.
void BM_PlainEllipse(benchmark::State& state) {
    HDC dc = Page();
    std::vector<Oval> ovals = MakeOvals();
    HPEN pen = CreatePen(PS_SOLID, 4, RGB(90, 30, 60));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    for (auto _ : state) {
        for (const Oval& o : ovals)
            benchmark::DoNotOptimize(
                Ellipse(dc, o.cx - o.rx, o.cy - o.ry, o.cx + o.rx, o.cy + o.ry));
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    state.SetItemsProcessed(state.iterations() * kFigures);
}
BENCHMARK(BM_PlainEllipse)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
