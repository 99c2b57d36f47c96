// Rendering the example forms as ovl does, at 300 and 600 dpi, on 32-bit and
// 1-bit pages: pages per second, and the page's size beside the process's
// peak memory so far.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <ctime>
#include <cstdio>
#include <string>

#include "tools/ovl/loaded.h"
#include "tools/ovl/raster.h"
#include "tools/ovl/render.h"

namespace {

const char* const kExamples[] = {"business", "ledger", "japanese"};

void BM_Render(benchmark::State& state) {
    const std::string name = kExamples[state.range(0)];
    const std::string file = std::string(WX5N_SOURCE_DIR) + "/examples/" + name + ".ovl";
    ovl::Loaded overlay;
    std::string error;
    if (!ovl::LoadOverlay(file, &overlay, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    ovl::RenderOptions options;
    options.dpi = static_cast<int>(state.range(1));
    options.mono = state.range(2) != 0;
    size_t pageBytes = 0;
    for (auto _ : state) {
        const ovl::RenderResult r = ovl::RenderPage(overlay, options, [&](const ovl::Raster& page) {
            pageBytes = static_cast<size_t>(page.stride) * page.height;
            benchmark::DoNotOptimize(page.bits[0]);
        });
        if (!r.ok || !r.error.empty()) {
            state.SkipWithError(r.error.c_str());
            return;
        }
    }
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    state.SetLabel(name + (options.mono ? " 1-bit" : " 32-bit"));
    state.counters["pages/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
    state.counters["page_MB"] = static_cast<double>(pageBytes) / 1048576.0;
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}

BENCHMARK(BM_Render)
    ->ArgsProduct({{0, 1, 2}, {300, 600}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The thread's CPU time in milliseconds: on a shared machine, wall time
// measures the neighbours.
double CpuMs() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// A page as ovl writes it to PNG: the render and the encoding timed apart in
// each iteration (CPU time), with the whole as a multiple of the render alone.
void BM_RenderPng(benchmark::State& state) {
    const std::string name = kExamples[state.range(0)];
    ovl::Loaded overlay;
    std::string error;
    if (!ovl::LoadOverlay(std::string(WX5N_SOURCE_DIR) + "/examples/" + name + ".ovl", &overlay, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    FILE* sink = std::fopen("/dev/null", "wb");
    ovl::RenderOptions options;
    options.dpi = static_cast<int>(state.range(1));
    double render = 0, encode = 0;
    for (auto _ : state) {
        double drawn = 0;
        const double start = CpuMs();
        ovl::RenderPage(overlay, options, [&](const ovl::Raster& page) {
            drawn = CpuMs();
            std::string e;
            ovl::WritePng(page, sink, false, &e);
        });
        const double end = CpuMs();
        render += drawn - start;
        encode += end - drawn;
    }
    std::fclose(sink);
    const double n = static_cast<double>(state.iterations());
    state.SetLabel(name);
    state.counters["render_ms"] = render / n;
    state.counters["png_ms"] = encode / n;
    state.counters["x_render"] = (render + encode) / render;
}

BENCHMARK(BM_RenderPng)->ArgsProduct({{0, 1, 2}, {300}})->Unit(benchmark::kMillisecond)->UseRealTime();

// Pages per second of a batch as ovl -j N runs it: each thread renders and
// encodes pages on its own page buffer (compare Threads 2 with Threads 1).
void BM_BatchPng(benchmark::State& state) {
    ovl::Loaded overlay;
    std::string error;
    if (!ovl::LoadOverlay(std::string(WX5N_SOURCE_DIR) + "/examples/business.ovl", &overlay, &error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    FILE* sink = std::fopen("/dev/null", "wb");
    ovl::RenderOptions options;
    for (auto _ : state) {
        ovl::RenderPage(overlay, options, [&](const ovl::Raster& page) {
            std::string e;
            ovl::WritePng(page, sink, false, &e);
        });
    }
    std::fclose(sink);
    state.counters["pages/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}

BENCHMARK(BM_BatchPng)->Threads(1)->Threads(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
