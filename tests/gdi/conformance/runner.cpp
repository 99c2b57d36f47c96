// Runs every scenario on a fresh memory DC and either writes the pixels
// (`runner OUT`, both builds) or, natively, compares them with a file written
// by a real GDI (`runner --compare REFERENCE`) and prints one row per
// scenario. The comparison exits 1 when a scenario marked exact differs.
#include "scenarios.h"

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
    int width = 0, height = 0, bpp = 0;
    std::vector<unsigned> pixels;  // 32 bpp values, or 0/1 for 1 bpp
};

Result Run(const Scenario& sc, const Metrics* metrics) {
    Result r;
    r.name = sc.name;
    r.width = kCanvasWidth;
    r.height = kCanvasHeight;
    r.bpp = sc.bpp;
    HDC dc = CreateCompatibleDC(nullptr);
#ifndef _WIN32
    if (metrics)
        swgdi_SetDeviceMetrics(dc, metrics->horzRes, metrics->vertRes, metrics->horzSize,
                               metrics->vertSize, metrics->logX, metrics->logY);
#else
    (void)metrics;
#endif
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colors[2];
    } bi;
    std::memset(&bi, 0, sizeof bi);
    bi.h.biSize = sizeof(BITMAPINFOHEADER);
    bi.h.biWidth = kCanvasWidth;
    bi.h.biHeight = -kCanvasHeight;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = static_cast<WORD>(sc.bpp);
    bi.colors[1].rgbRed = bi.colors[1].rgbGreen = bi.colors[1].rgbBlue = 255;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits,
                                   nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bmp);
    const int stride = ((kCanvasWidth * sc.bpp + 31) / 32) * 4;
    std::memset(bits, sc.bpp == 32 ? 0xCC : 0x5A, static_cast<size_t>(stride) * kCanvasHeight);
    sc.draw(dc);
    const unsigned char* p = static_cast<const unsigned char*>(bits);
    for (int y = 0; y < kCanvasHeight; ++y)
        for (int x = 0; x < kCanvasWidth; ++x) {
            const unsigned char* row = p + static_cast<size_t>(y) * stride;
            unsigned v;
            if (sc.bpp == 32)
                std::memcpy(&v, row + 4 * x, 4);
            else
                v = (row[x >> 3] >> (7 - (x & 7))) & 1u;
            r.pixels.push_back(v);
        }
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
    ApiResult api[128];
    int na = ApiProbe(api, 128);
    std::fprintf(f, "A %d", na);
    for (int i = 0; i < na; ++i) std::fprintf(f, " %ld", api[i].value);
    std::fprintf(f, "\n");
    for (int i = 0; i < kScenarioCount; ++i) {
        Result r = Run(kScenarios[i], nullptr);
        std::fprintf(f, "S %s %d %d %d\n", r.name.c_str(), r.width, r.height, r.bpp);
        for (int y = 0; y < r.height; ++y) {
            for (int x = 0; x < r.width; ++x)
                std::fprintf(f, "%08x%c", r.pixels[static_cast<size_t>(y) * r.width + x],
                             x + 1 == r.width ? '\n' : ' ');
        }
    }
    return std::fclose(f) == 0 ? 0 : 2;
}

#ifndef _WIN32
bool ReadReference(const char* path, Metrics* m, std::vector<long>* api, std::vector<Result>* out) {
    std::FILE* f = std::fopen(path, "r");
    if (!f) return false;
    bool ok = std::fscanf(f, " M %d %d %d %d %d %d", &m->horzRes, &m->vertRes, &m->horzSize,
                          &m->vertSize, &m->logX, &m->logY) == 6;
    int na = 0;
    ok = ok && std::fscanf(f, " A %d", &na) == 1 && na >= 0 && na <= 128;
    for (int i = 0; ok && i < na; ++i) {
        long v;
        ok = std::fscanf(f, "%ld", &v) == 1;
        api->push_back(v);
    }
    char name[128];
    Result r;
    while (ok && std::fscanf(f, " S %127s %d %d %d", name, &r.width, &r.height, &r.bpp) == 4) {
        if (r.width != kCanvasWidth || r.height != kCanvasHeight) {
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

// Prints the difference map of a scenario: '.' equal, 'X' differ.
void PrintDiff(const Result& a, const Result& b) {
    for (int y = 0; y < a.height; ++y) {
        std::string line;
        for (int x = 0; x < a.width; ++x) {
            size_t i = static_cast<size_t>(y) * a.width + x;
            line += a.pixels[i] == b.pixels[i] ? '.' : 'X';
        }
        std::printf("    %s\n", line.c_str());
    }
}

int Compare(const char* path) {
    Metrics m;
    std::vector<Result> ref;
    std::vector<long> refApi;
    if (!ReadReference(path, &m, &refApi, &ref)) {
        std::printf("cannot read reference pixels from %s\n", path);
        return 2;
    }
    const char* verbose = std::getenv("SWGDI_CONFORMANCE_DIFF");
    std::printf("reference metrics: HORZRES %d VERTRES %d HORZSIZE %d VERTSIZE %d LOGPIXELS %d/%d\n",
                m.horzRes, m.vertRes, m.horzSize, m.vertSize, m.logX, m.logY);
    std::printf("%-28s %-10s %-6s %s\n", "scenario", "group", "rule", "differing pixels");
    int exactFailures = 0, exactCount = 0, matched = 0;
    for (int i = 0; i < kScenarioCount; ++i) {
        const Scenario& sc = kScenarios[i];
        const Result* want = nullptr;
        for (const Result& r : ref)
            if (r.name == sc.name) want = &r;
        Result got = Run(sc, &m);
        int diff = -1;
        if (want && want->bpp == got.bpp) {
            diff = 0;
            for (size_t k = 0; k < got.pixels.size(); ++k)
                if (got.pixels[k] != want->pixels[k]) ++diff;
        }
        if (sc.exact) ++exactCount;
        if (diff == 0) ++matched;
        if (sc.exact && diff != 0) ++exactFailures;
        std::printf("%-28s %-10s %-6s %s%d / %d\n", sc.name, sc.group, sc.exact ? "exact" : "report",
                    diff == 0 ? "" : (sc.exact ? "MISMATCH " : "differs "), diff,
                    kCanvasWidth * kCanvasHeight);
        if (diff > 0 && verbose && (std::strcmp(verbose, "all") == 0 || std::strcmp(verbose, sc.name) == 0))
            PrintDiff(got, *want);
    }
    std::printf("%d scenarios, %d identical; %d of %d exact scenarios differ\n", kScenarioCount, matched,
                exactFailures, exactCount);
    // Results of the edge-case calls must be GDI's.
    ApiResult api[128];
    int na = ApiProbe(api, 128);
    int apiFailures = 0;
    for (int i = 0; i < na; ++i) {
        long want = i < int(refApi.size()) ? refApi[size_t(i)] : -999;
        if (want != api[i].value) {
            ++apiFailures;
            std::printf("API MISMATCH %-45s swgdi %ld, GDI %ld\n", api[i].name, api[i].value, want);
        }
    }
    std::printf("%d call results compared, %d differ\n", na, apiFailures);
    return (exactFailures || apiFailures || na != int(refApi.size())) ? 1 : 0;
}
#endif

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    // The library module with the hatch bitmaps, when the test built it.
    LoadLibraryA("WX5NOVL1.DLL");
#endif
#ifndef _WIN32
    if (argc == 3 && std::strcmp(argv[1], "--compare") == 0) return Compare(argv[2]);
#endif
    if (argc == 2) return Write(argv[1]);
    std::fprintf(stderr, "usage: runner OUT | runner --compare REFERENCE\n");
    return 2;
}
