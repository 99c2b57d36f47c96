// Runs every library scenario on a fresh memory DC and either writes the
// pixels (`lib_runner OUT`, both builds) or, natively, compares them with a
// file written on a real GDI (`lib_runner --compare REFERENCE`) and prints
// one row per scenario: differing pixels against drawn pixels (those that
// are not the background on either side). The comparison exits 1 when an
// exact scenario differs or when all differing pixels together reach 0.5%
// of all drawn pixels.
#include "lib_scenarios.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Metrics {
    int horzRes, vertRes, horzSize, vertSize, logX, logY;
};

struct Result {
    std::string name;
    int width = 0, height = 0;
    std::vector<unsigned> pixels;
};

Result Run(const LibScenario& sc, const Metrics* metrics) {
    Result r;
    r.name = sc.name;
    r.width = kLibCanvasWidth;
    r.height = kLibCanvasHeight;
    HDC dc = CreateCompatibleDC(nullptr);
#ifndef _WIN32
    if (metrics)
        swgdi_SetDeviceMetrics(dc, metrics->horzRes, metrics->vertRes, metrics->horzSize,
                               metrics->vertSize, metrics->logX, metrics->logY);
#else
    (void)metrics;
#endif
    BITMAPINFO bi;
    std::memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = kLibCanvasWidth;
    bi.bmiHeader.biHeight = -kLibCanvasHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    const size_t count = static_cast<size_t>(kLibCanvasWidth) * kLibCanvasHeight;
    unsigned* p = static_cast<unsigned*>(bits);
    for (size_t i = 0; i < count; ++i) p[i] = kLibBackground;
    sc.draw(dc);
    r.pixels.assign(p, p + count);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return r;
}

Metrics OwnMetrics() {
    HDC dc = CreateCompatibleDC(nullptr);
    Metrics m = {GetDeviceCaps(dc, HORZRES),  GetDeviceCaps(dc, VERTRES),
                 GetDeviceCaps(dc, HORZSIZE), GetDeviceCaps(dc, VERTSIZE),
                 GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY)};
    DeleteDC(dc);
    return m;
}

int Write(const char* path) {
    std::FILE* f = std::fopen(path, "w");
    if (!f) return 2;
    Metrics m = OwnMetrics();
    std::fprintf(f, "M %d %d %d %d %d %d\n", m.horzRes, m.vertRes, m.horzSize, m.vertSize, m.logX,
                 m.logY);
    for (int i = 0; i < kLibScenarioCount; ++i) {
        Result r = Run(kLibScenarios[i], nullptr);
        std::fprintf(f, "S %s %d %d\n", r.name.c_str(), r.width, r.height);
        for (int y = 0; y < r.height; ++y)
            for (int x = 0; x < r.width; ++x)
                std::fprintf(f, "%08x%c", r.pixels[static_cast<size_t>(y) * r.width + x],
                             x + 1 == r.width ? '\n' : ' ');
    }
    return std::fclose(f) == 0 ? 0 : 2;
}

#ifndef _WIN32
bool ReadReference(const char* path, Metrics* m, std::vector<Result>* out) {
    std::FILE* f = std::fopen(path, "r");
    if (!f) return false;
    bool ok = std::fscanf(f, " M %d %d %d %d %d %d", &m->horzRes, &m->vertRes, &m->horzSize,
                          &m->vertSize, &m->logX, &m->logY) == 6;
    char name[128];
    Result r;
    while (ok && std::fscanf(f, " S %127s %d %d", name, &r.width, &r.height) == 3) {
        if (r.width != kLibCanvasWidth || r.height != kLibCanvasHeight) {
            ok = false;
            break;
        }
        r.name = name;
        r.pixels.assign(static_cast<size_t>(r.width) * r.height, 0);
        for (unsigned& v : r.pixels)
            if (std::fscanf(f, "%x", &v) != 1) ok = false;
        out->push_back(r);
    }
    std::fclose(f);
    return ok && !out->empty();
}

// Prints the difference map of a scenario: '.' background on both sides,
// 'o' equal drawn pixel, 'S' drawn only by swgdi, 'G' drawn only by GDI,
// 'X' drawn by both in different colours.
void PrintDiff(const Result& got, const Result& want) {
    for (int y = 0; y < got.height; ++y) {
        std::string line;
        for (int x = 0; x < got.width; ++x) {
            size_t i = static_cast<size_t>(y) * got.width + x;
            unsigned a = got.pixels[i], b = want.pixels[i];
            if (a == b)
                line += a == kLibBackground ? '.' : 'o';
            else if (b == kLibBackground)
                line += 'S';
            else if (a == kLibBackground)
                line += 'G';
            else
                line += 'X';
        }
        std::printf("    %s\n", line.c_str());
    }
}

int Compare(const char* path) {
    Metrics m;
    std::vector<Result> ref;
    if (!ReadReference(path, &m, &ref)) {
        std::printf("cannot read reference pixels from %s\n", path);
        return 2;
    }
    const char* verbose = std::getenv("WX5N_CONFORMANCE_DIFF");
    std::printf("reference metrics: HORZRES %d VERTRES %d HORZSIZE %d VERTSIZE %d LOGPIXELS %d/%d\n",
                m.horzRes, m.vertRes, m.horzSize, m.vertSize, m.logX, m.logY);
    std::printf("%-28s %-9s %-6s %s\n", "scenario", "group", "rule", "differing / drawn pixels");
    int exactFailures = 0, exactCount = 0, matched = 0, missing = 0;
    long totalDiff = 0, totalDrawn = 0;
    for (int i = 0; i < kLibScenarioCount; ++i) {
        const LibScenario& sc = kLibScenarios[i];
        const Result* want = nullptr;
        for (const Result& r : ref)
            if (r.name == sc.name) want = &r;
        if (sc.exact) ++exactCount;
        if (!want) {
            ++missing;
            if (sc.exact) ++exactFailures;
            std::printf("%-28s %-9s %-6s MISSING from the reference\n", sc.name, sc.group,
                        sc.exact ? "exact" : "report");
            continue;
        }
        Result got = Run(sc, &m);
        long diff = 0, drawn = 0;
        for (size_t k = 0; k < got.pixels.size(); ++k) {
            if (got.pixels[k] != kLibBackground || want->pixels[k] != kLibBackground) ++drawn;
            if (got.pixels[k] != want->pixels[k]) ++diff;
        }
        totalDiff += diff;
        totalDrawn += drawn;
        if (diff == 0) ++matched;
        if (sc.exact && diff != 0) ++exactFailures;
        std::printf("%-28s %-9s %-6s %s%ld / %ld\n", sc.name, sc.group, sc.exact ? "exact" : "report",
                    diff == 0 ? "" : (sc.exact ? "MISMATCH " : "differs "), diff, drawn);
        if (diff > 0 && verbose &&
            (std::strcmp(verbose, "all") == 0 || std::strcmp(verbose, sc.name) == 0))
            PrintDiff(got, *want);
    }
    double percent = totalDrawn ? 100.0 * double(totalDiff) / double(totalDrawn) : 100.0;
    std::printf("%d scenarios, %d identical, %d missing; %d of %d exact scenarios differ\n",
                kLibScenarioCount, matched, missing, exactFailures, exactCount);
    std::printf("total mismatch: %ld of %ld drawn pixels = %.3f%% (limit 0.5%%)\n", totalDiff,
                totalDrawn, percent);
    // A run that drew nothing proves nothing.
    if (totalDrawn == 0) return 1;
    return (exactFailures || missing || totalDiff * 200 >= totalDrawn) ? 1 : 0;
}
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // The module that carries the hatch bitmaps, so that foGetHatchBrush
    // finds it by name.
    LoadLibraryA("WX5NOVL1.DLL");
#endif
#ifndef _WIN32
    if (argc == 3 && std::strcmp(argv[1], "--compare") == 0) return Compare(argv[2]);
#endif
    if (argc == 2) return Write(argv[1]);
    std::fprintf(stderr, "usage: lib_runner OUT | lib_runner --compare REFERENCE\n");
    return 2;
}
