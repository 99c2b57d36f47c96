// Rendering the example forms as ovl does, at 300 and 600 dpi, on 32-bit and
// 1-bit pages, each beside the clear (memset) of a page of the same size; a
// table after the run gives each render as a multiple of its page's clear.
// Also the render beside its PNG encoding, and a batch on one and two threads.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <vector>

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
    // One page before timing: the thread's page buffer and its fonts are set
    // up once per worker in a batch, not once per page.
    ovl::RenderPage(overlay, options, [](const ovl::Raster&) {});
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

// The fastest repetition, kept for the table when only aggregates are reported.
double Fastest(const std::vector<double>& v) { return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end()); }

BENCHMARK(BM_Render)
    ->ArgsProduct({{0, 1, 2}, {300, 600}, {0, 1}})
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMillisecond);

// The clear of an A4 page's buffer at the dpi and depth: memset of the
// bytes a page of that size holds, on a buffer kept across iterations.
void BM_Clear(benchmark::State& state) {
    ovl::RenderOptions options;
    options.dpi = static_cast<int>(state.range(0));
    const bool mono = state.range(1) != 0;
    int width = 0, height = 0;
    if (!ovl::PageSizePx(options, &width, &height)) {
        state.SkipWithError("no page size");
        return;
    }
    const size_t stride = (static_cast<size_t>(width) * (mono ? 1 : 32) + 31) / 32 * 4;
    std::vector<uint8_t> page(stride * static_cast<size_t>(height), 0);
    for (auto _ : state) {
        std::memset(page.data(), 0xFF, page.size());
        benchmark::DoNotOptimize(page.data());
        benchmark::ClobberMemory();
    }
    state.counters["page_MB"] = static_cast<double>(page.size()) / 1048576.0;
}

BENCHMARK(BM_Clear)
    ->ArgsProduct({{300, 600}, {0, 1}})
    ->ComputeStatistics("min", Fastest)
    ->Unit(benchmark::kMillisecond);

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

// Prints the usual console output and keeps each run's fastest CPU time over
// its repetitions. The machine is shared: CPU time leaves out the time other
// processes held the core (render and clear each run on one thread), and the
// fastest repetition is the one least disturbed.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            // Each repetition, or with aggregates only, the fastest of them.
            const bool fastest = r.run_type == Run::RT_Aggregate && r.aggregate_name == "min";
            if ((r.run_type != Run::RT_Iteration && !fastest) || r.error_occurred) continue;
            const std::string key = r.run_name.function_name + "/" + r.run_name.args;
            const double t = r.GetAdjustedCPUTime();
            auto it = times_.find(key);
            if (it == times_.end() || t < it->second) times_[key] = t;
        }
    }
    // Each render as a multiple of the clear of its page; false when a
    // render or clear did not run (a filter left it out or it failed).
    bool PrintRatios() const {
        std::printf("\n%-10s %5s %7s %10s %10s %8s  (cpu ms, fastest repetition; target <= 5)\n", "page",
                    "dpi", "depth", "clear ms", "render ms", "x clear");
        bool all = true;
        for (int e = 0; e < 3; ++e)
            for (int dpi : {300, 600})
                for (int mono : {0, 1}) {
                    const std::string args = std::to_string(dpi) + "/" + std::to_string(mono);
                    const double clear = Get("BM_Clear/" + args);
                    const double render = Get("BM_Render/" + std::to_string(e) + "/" + args);
                    if (clear <= 0 || render <= 0) {
                        all = false;
                        continue;
                    }
                    const double ratio = render / clear;
                    std::printf("%-10s %5d %7s %10.2f %10.2f %8.2f%s\n", kExamples[e], dpi,
                                mono ? "1-bit" : "32-bit", clear, render, ratio, ratio > 5 ? "  over" : "");
                }
        return all;
    }

private:
    double Get(const std::string& key) const {
        auto it = times_.find(key);
        return it == times_.end() ? 0.0 : it->second;
    }
    std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
    // Three repetitions of each unless the command line says otherwise.
    std::vector<char*> args(argv, argv + argc);
    std::string reps = "--benchmark_repetitions=3";
    bool given = false;
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--benchmark_repetitions", 23) == 0) given = true;
    if (!given) args.push_back(reps.data());
    argc = static_cast<int>(args.size());
    args.push_back(nullptr);
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (!reporter.PrintRatios()) std::printf("(rows without both a render and its clear are left out)\n");
    benchmark::Shutdown();
    return 0;
}
