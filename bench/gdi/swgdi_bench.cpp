// swgdi against cairo's image surface with antialiasing off, on the same
// work on an A4 page at 600 dpi (4960 x 7016 pixels, 32 bpp): a full-page
// solid fill (also against memset of the same buffer), 10,000 thin lines,
// 10,000 rectangles, 2,000 ellipses and 2,000 pattern-filled polygons.
// After the run a table gives each swgdi time as a ratio to cairo's (below
// 1 is faster) and the fill as a ratio to memset.
#include "swgdi.h"
#include "hatch_bitmaps.h"

#include <benchmark/benchmark.h>
#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 4960;
constexpr int kHeight = 7016;

// ---------------------------------------------------------------- work

struct Shape {
    int x0, y0, x1, y1;
    COLORREF pen, fill;
};

std::vector<Shape> MakeShapes(int count, int maxSize, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> px(0, kWidth - 1), py(0, kHeight - 1), size(3, maxSize);
    std::uniform_int_distribution<int> c(0, 255);
    std::vector<Shape> v;
    for (int i = 0; i < count; ++i) {
        Shape s;
        s.x0 = px(rng);
        s.y0 = py(rng);
        if (maxSize > 0) {
            s.x1 = s.x0 + size(rng);
            s.y1 = s.y0 + size(rng);
        } else {  // lines from anywhere to anywhere
            s.x1 = px(rng);
            s.y1 = py(rng);
        }
        s.pen = RGB(c(rng), c(rng), c(rng));
        s.fill = RGB(c(rng), c(rng), c(rng));
        v.push_back(s);
    }
    return v;
}

const std::vector<Shape>& Lines() {
    static const std::vector<Shape> v = MakeShapes(10000, 0, 1);
    return v;
}
const std::vector<Shape>& Rects() {
    static const std::vector<Shape> v = MakeShapes(10000, 400, 2);
    return v;
}
const std::vector<Shape>& Ellipses() {
    static const std::vector<Shape> v = MakeShapes(2000, 600, 3);
    return v;
}

// Polygons of 6 points around a centre, radius up to 250 pixels.
const std::vector<std::vector<POINT>>& Polygons() {
    static const std::vector<std::vector<POINT>> v = [] {
        std::mt19937 rng(4);
        std::uniform_int_distribution<int> px(0, kWidth - 1), py(0, kHeight - 1), r(20, 250);
        std::vector<std::vector<POINT>> out;
        for (int i = 0; i < 2000; ++i) {
            int cx = px(rng), cy = py(rng);
            std::vector<POINT> poly;
            for (int k = 0; k < 6; ++k) {
                double a = k * 3.14159265358979 / 3;
                int rad = r(rng);
                poly.push_back({cx + int(rad * std::cos(a)), cy + int(rad * std::sin(a))});
            }
            out.push_back(poly);
        }
        return out;
    }();
    return v;
}

// ---------------------------------------------------------------- swgdi

HDC Page() {
    static HDC dc = swgdi_CreatePageDC(kWidth, kHeight, 600, 600, 32);
    return dc;
}

void SwgdiFill(benchmark::State& state) {
    HDC dc = Page();
    HBRUSH br = CreateSolidBrush(RGB(255, 255, 255));
    HGDIOBJ old = SelectObject(dc, br);
    for (auto _ : state) PatBlt(dc, 0, 0, kWidth, kHeight, PATCOPY);
    SelectObject(dc, old);
    DeleteObject(br);
}

void SwgdiLines(benchmark::State& state) {
    HDC dc = Page();
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(20, 30, 200));
    HGDIOBJ old = SelectObject(dc, pen);
    for (auto _ : state)
        for (const Shape& s : Lines()) {
            MoveToEx(dc, s.x0, s.y0, nullptr);
            LineTo(dc, s.x1, s.y1);
        }
    SelectObject(dc, old);
    DeleteObject(pen);
}

void SwgdiRectangles(benchmark::State& state) {
    HDC dc = Page();
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HBRUSH br = CreateSolidBrush(RGB(200, 220, 90));
    HGDIOBJ oldPen = SelectObject(dc, pen), oldBrush = SelectObject(dc, br);
    for (auto _ : state)
        for (const Shape& s : Rects()) Rectangle(dc, s.x0, s.y0, s.x1, s.y1);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(br);
}

void SwgdiEllipses(benchmark::State& state) {
    HDC dc = Page();
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    HBRUSH br = CreateSolidBrush(RGB(90, 200, 220));
    HGDIOBJ oldPen = SelectObject(dc, pen), oldBrush = SelectObject(dc, br);
    for (auto _ : state)
        for (const Shape& s : Ellipses()) Ellipse(dc, s.x0, s.y0, s.x1, s.y1);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(br);
}

void SwgdiPatternPolygons(benchmark::State& state) {
    HDC dc = Page();
    HBITMAP bm = LoadBitmapA(GetModuleHandleA("WX5NOVL1.DLL"), MAKEINTRESOURCEA(106));
    HBRUSH br = CreatePatternBrush(bm);
    DeleteObject(bm);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN)), oldBrush = SelectObject(dc, br);
    for (auto _ : state)
        for (const auto& p : Polygons()) Polygon(dc, p.data(), static_cast<int>(p.size()));
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(br);
}

void Memset(benchmark::State& state) {
    SWGDI_SURFACE s;
    swgdi_GetSurface(Page(), &s);
    for (auto _ : state) {
        std::memset(s.bits, 0xFF, size_t(s.stride) * kHeight);
        benchmark::ClobberMemory();
    }
}

// ---------------------------------------------------------------- cairo

cairo_t* Cairo() {
    static cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
    static cairo_t* cr = [] {
        cairo_t* c = cairo_create(surface);
        cairo_set_antialias(c, CAIRO_ANTIALIAS_NONE);
        cairo_set_line_width(c, 1.0);
        return c;
    }();
    return cr;
}

void SetColor(cairo_t* cr, COLORREF c) {
    cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

void CairoFill(benchmark::State& state) {
    cairo_t* cr = Cairo();
    for (auto _ : state) {
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_rectangle(cr, 0, 0, kWidth, kHeight);
        cairo_fill(cr);
        cairo_surface_flush(cairo_get_target(cr));
    }
}

void CairoLines(benchmark::State& state) {
    cairo_t* cr = Cairo();
    for (auto _ : state) {
        SetColor(cr, RGB(20, 30, 200));
        for (const Shape& s : Lines()) {
            cairo_move_to(cr, s.x0 + 0.5, s.y0 + 0.5);
            cairo_line_to(cr, s.x1 + 0.5, s.y1 + 0.5);
            cairo_stroke(cr);
        }
        cairo_surface_flush(cairo_get_target(cr));
    }
}

void CairoRectangles(benchmark::State& state) {
    cairo_t* cr = Cairo();
    for (auto _ : state) {
        for (const Shape& s : Rects()) {
            cairo_rectangle(cr, s.x0 + 0.5, s.y0 + 0.5, s.x1 - s.x0 - 1, s.y1 - s.y0 - 1);
            cairo_set_source_rgb(cr, 200 / 255.0, 220 / 255.0, 90 / 255.0);
            cairo_fill_preserve(cr);
            cairo_set_source_rgb(cr, 0, 0, 0);
            cairo_stroke(cr);
        }
        cairo_surface_flush(cairo_get_target(cr));
    }
}

void CairoEllipses(benchmark::State& state) {
    cairo_t* cr = Cairo();
    for (auto _ : state) {
        for (const Shape& s : Ellipses()) {
            double w = s.x1 - s.x0, h = s.y1 - s.y0;
            cairo_save(cr);
            cairo_translate(cr, s.x0 + w / 2, s.y0 + h / 2);
            cairo_scale(cr, w / 2, h / 2);
            cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
            cairo_restore(cr);
            cairo_set_source_rgb(cr, 90 / 255.0, 200 / 255.0, 220 / 255.0);
            cairo_fill_preserve(cr);
            cairo_set_source_rgb(cr, 0, 0, 0);
            cairo_stroke(cr);
        }
        cairo_surface_flush(cairo_get_target(cr));
    }
}

void CairoPatternPolygons(benchmark::State& state) {
    cairo_t* cr = Cairo();
    // The same 8 x 8 hatch as an image pattern, repeated, nearest filter.
    cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 8, 8);
    const uint8_t* rows = wx5n::HatchRows(106);
    unsigned char* data = cairo_image_surface_get_data(tile);
    int stride = cairo_image_surface_get_stride(tile);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            reinterpret_cast<uint32_t*>(data + stride * y)[x] = ((rows[y] >> (7 - x)) & 1) ? 0xFFFFFFu : 0;
    cairo_surface_mark_dirty(tile);
    cairo_pattern_t* pat = cairo_pattern_create_for_surface(tile);
    cairo_pattern_set_extend(pat, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(pat, CAIRO_FILTER_NEAREST);
    for (auto _ : state) {
        cairo_set_source(cr, pat);
        for (const auto& p : Polygons()) {
            cairo_move_to(cr, p[0].x, p[0].y);
            for (size_t i = 1; i < p.size(); ++i) cairo_line_to(cr, p[i].x, p[i].y);
            cairo_close_path(cr);
            cairo_fill(cr);
        }
        cairo_surface_flush(cairo_get_target(cr));
    }
    cairo_pattern_destroy(pat);
    cairo_surface_destroy(tile);
}

// ---------------------------------------------------------------- report

// Prints the usual console output and keeps each benchmark's fastest CPU
// time over its repetitions for the ratio table. The machine is shared: CPU
// time leaves out the time other processes held the core (each side runs on
// one thread), and the fastest run is the one least disturbed.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration && !r.error_occurred) {
                std::string name = r.run_name.function_name;
                double t = r.GetAdjustedCPUTime();
                auto it = times_.find(name);
                if (it == times_.end() || t < it->second) times_[name] = t;
            }
    }
    void PrintRatios() const {
        std::printf("\n%-28s %12s %12s %10s\n", "work (A4, 600 dpi, 32 bpp)", "swgdi cpu ms", "cairo cpu ms",
                    "swgdi/cairo");
        const char* rows[][3] = {{"full-page solid fill", "swgdi/fill", "cairo/fill"},
                                 {"10,000 thin lines", "swgdi/lines", "cairo/lines"},
                                 {"10,000 rectangles", "swgdi/rectangles", "cairo/rectangles"},
                                 {"2,000 ellipses", "swgdi/ellipses", "cairo/ellipses"},
                                 {"2,000 pattern polygons", "swgdi/pattern_polygons",
                                  "cairo/pattern_polygons"}};
        for (auto& row : rows) {
            double a = Get(row[1]), b = Get(row[2]);
            std::printf("%-28s %12.2f %12.2f %10.2f\n", row[0], a, b, b > 0 ? a / b : 0.0);
        }
        double fill = Get("swgdi/fill"), ms = Get("memset/fill");
        std::printf("%-28s %12.2f %12.2f %10.2f  (memset ms, swgdi/memset)\n", "full-page fill vs memset",
                    fill, ms, ms > 0 ? fill / ms : 0.0);
    }

private:
    double Get(const std::string& name) const {
        auto it = times_.find(name);
        return it == times_.end() ? 0.0 : it->second;
    }
    std::map<std::string, double> times_;
};

}  // namespace

BENCHMARK(Memset)->Name("memset/fill")->Unit(benchmark::kMillisecond);
BENCHMARK(SwgdiFill)->Name("swgdi/fill")->Unit(benchmark::kMillisecond);
BENCHMARK(CairoFill)->Name("cairo/fill")->Unit(benchmark::kMillisecond);
BENCHMARK(SwgdiLines)->Name("swgdi/lines")->Unit(benchmark::kMillisecond);
BENCHMARK(CairoLines)->Name("cairo/lines")->Unit(benchmark::kMillisecond);
BENCHMARK(SwgdiRectangles)->Name("swgdi/rectangles")->Unit(benchmark::kMillisecond);
BENCHMARK(CairoRectangles)->Name("cairo/rectangles")->Unit(benchmark::kMillisecond);
BENCHMARK(SwgdiEllipses)->Name("swgdi/ellipses")->Unit(benchmark::kMillisecond);
BENCHMARK(CairoEllipses)->Name("cairo/ellipses")->Unit(benchmark::kMillisecond);
BENCHMARK(SwgdiPatternPolygons)->Name("swgdi/pattern_polygons")->Unit(benchmark::kMillisecond);
BENCHMARK(CairoPatternPolygons)->Name("cairo/pattern_polygons")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    // Five repetitions of each unless the command line says otherwise.
    std::vector<char*> args(argv, argv + argc);
    std::string reps = "--benchmark_repetitions=5";
    bool given = false;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--benchmark_repetitions", 23) == 0) given = true;
    if (!given) args.push_back(reps.data());
    argc = static_cast<int>(args.size());
    args.push_back(nullptr);
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
