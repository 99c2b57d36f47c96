// A vector page against the 300 dpi raster page of the same overlay, in one
// run: each example written as a one-page PDF, SVG or PostScript document,
// and rendered and written as a 300 dpi PNG. Counters give pages per second
// and the written size.
#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>

#include "tools/ovl/document.h"
#include "tools/ovl/loaded.h"
#include "tools/ovl/render.h"

namespace {

const char* const kExamples[] = {"business", "ledger", "japanese"};
const char* const kFormats[] = {"pdf", "svg", "ps"};

bool Load(benchmark::State& state, ovl::Loaded* overlay) {
    const std::string file = std::string(WX5N_SOURCE_DIR) + "/examples/" + kExamples[state.range(0)] + ".ovl";
    std::string error;
    if (ovl::LoadOverlay(file, overlay, &error)) return true;
    state.SkipWithError(error.c_str());
    return false;
}

void Report(benchmark::State& state, const std::string& label, long bytes) {
    state.SetLabel(label);
    state.counters["pages/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["KB"] = static_cast<double>(bytes) / 1024.0;
}

void BM_VectorPage(benchmark::State& state) {
    ovl::Loaded overlay;
    if (!Load(state, &overlay)) return;
    const std::string format = kFormats[state.range(1)];
    ovl::RenderOptions options;
    options.dpi = 300;
    long bytes = 0;
    for (auto _ : state) {
        FILE* out = std::tmpfile();
        std::string error;
        auto doc = ovl::OpenVectorDocument(format, out, options, &error);
        const ovl::RenderResult r = doc ? doc->AddPage(overlay, options) : ovl::RenderResult{};
        const bool ok = doc && r.ok && r.error.empty() && doc->Finish(&error);
        doc.reset();
        bytes = std::ftell(out);
        std::fclose(out);
        if (!ok) {
            state.SkipWithError((error + r.error).c_str());
            return;
        }
    }
    Report(state, std::string(kExamples[state.range(0)]) + " " + format, bytes);
}

void BM_RasterPage(benchmark::State& state) {
    ovl::Loaded overlay;
    if (!Load(state, &overlay)) return;
    ovl::RenderOptions options;
    options.dpi = 300;
    long bytes = 0;
    for (auto _ : state) {
        FILE* out = std::tmpfile();
        std::string error;
        bool written = false;
        const ovl::RenderResult r = ovl::RenderPage(
            overlay, options, [&](const ovl::Raster& page) { written = ovl::WritePng(page, out, false, &error); });
        std::fflush(out);
        bytes = std::ftell(out);
        std::fclose(out);
        if (!r.ok || !written) {
            state.SkipWithError((r.error + error).c_str());
            return;
        }
    }
    Report(state, std::string(kExamples[state.range(0)]) + " png 300 dpi", bytes);
}

BENCHMARK(BM_VectorPage)->ArgsProduct({{0, 1, 2}, {0, 1, 2}})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RasterPage)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
