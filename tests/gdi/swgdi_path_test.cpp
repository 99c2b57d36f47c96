// The path driver: each scenario of swgdi_path_cases.txt draws on a vector
// page whose sink writes one line per call, or for the "journal" group on a
// raster page whose journal gives the lines; they must match its '>' lines.
#include "conformance/runner.h"
#include "swgdi_journal.h"
#include "swgdi_path.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

// Records sink calls as the case file's entries, one a line.
struct Recorder {
    std::string out;
    static void Put(void* c, const char* f, ...) {
        char buf[160];
        va_list ap;
        va_start(ap, f);
        std::vsnprintf(buf, sizeof buf, f, ap);
        va_end(ap);
        static_cast<Recorder*>(c)->out += buf;
    }
    SWGDI_PATH_SINK Sink() {
        SWGDI_PATH_SINK s{};
        s.context = this;
        s.move_to = [](void* c, double x, double y) { Put(c, "M %g,%g\n", x, y); };
        s.line_to = [](void* c, double x, double y) { Put(c, "L %g,%g\n", x, y); };
        s.curve_to = [](void* c, double a, double b, double d, double e, double f, double g) {
            Put(c, "C %.4g,%.4g %.4g,%.4g %.4g,%.4g\n", a, b, d, e, f, g);
        };
        s.close_path = [](void* c) { Put(c, "Z\n"); };
        s.stroke = [](void* c, const SWGDI_STROKE* st) {
            Put(c, "S %g %d %d %06x\n", st->width, st->cap, st->join, st->rgb);
        };
        s.fill = [](void* c, const SWGDI_FILL* f) {
            int ink = 0;
            for (int i = 0; f->pattern && i < f->patWidth * f->patHeight; ++i) ink += f->ink[i] != 0;
            char paper[16] = "none";
            if (!f->paperTransparent) std::snprintf(paper, sizeof paper, "%06x", f->paperRgb);
            if (!f->pattern)
                Put(c, "F %d solid %06x\n", f->rule, f->rgb);
            else
                Put(c, "F %d pat %dx%d %d %06x %s %d,%d\n", f->rule, f->patWidth, f->patHeight, ink,
                    f->inkRgb, paper, f->orgX, f->orgY);
        };
        s.image = [](void* c, const SWGDI_IMAGE* im) {
            Put(c, "I %g,%g %gx%g", im->x, im->y, im->width, im->height);
            for (int y = 0; y < im->pixelsHigh; ++y)
                for (int x = 0; x < im->pixelsWide; ++x)
                    Put(c, " %08x", reinterpret_cast<const uint32_t*>(
                                        reinterpret_cast<const uint8_t*>(im->pixels) + im->stride * y)[x]);
            Put(c, "\n");
        };
        s.warning = [](void* c, const char*) { Put(c, "W\n"); };
        return s;
    }
};

TEST(SwgdiPathDriver, PrimitivesBecomeDeviceGeometry) {
    const Table table = ReadTable(WX5N_GDI_TEST_DIR "/swgdi_path_cases.txt");
    ASSERT_GE(table.scenarios.size(), 25u);
    for (const Scenario& c : table.scenarios) {
        std::vector<std::vector<std::string>> calls;
        std::string expected;  // the '>' lines' entries, one a line
        for (const std::vector<std::string>& tok : c.calls) {
            if (tok[0] != ">") calls.push_back(tok);
            for (size_t i = 1; tok[0] == ">" && i < tok.size(); ++i)
                expected += tok[i] + (i + 1 < tok.size() ? " " : "\n");
        }
        std::replace(expected.begin(), expected.end(), '|', '\n');
        Recorder rec;
        SWGDI_PATH_SINK sink = rec.Sink();
        const bool journal = c.group == "journal";
        HDC dc = journal ? swgdi_CreatePageDC(41, 29, 300, 300, 32) : swgdi_CreatePathDC(1000, 1000, 100, 100, &sink);
        ASSERT_NE(dc, nullptr);  // the path page is 254 mm square
        HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH);
        std::vector<long> values;
        swgdi_EnableJournal(dc, journal);
        EXPECT_NO_THROW(RunCalls(dc, table.width, table.height, calls, &values)) << c.name;
        char line[256];
        for (int i = 0; i < swgdi_JournalCount(dc) && swgdi_JournalText(dc, i, line, sizeof line) >= 0; ++i)
            rec.out += line + std::string("\n");
        DeleteObject(SelectObject(dc, pen));
        DeleteObject(SelectObject(dc, brush));
        DeleteDC(dc);
        EXPECT_EQ(rec.out, expected) << c.name;
    }
}

TEST(SwgdiPathDriver, RejectsBadPagesAndReportsThePage) {
    Recorder rec;
    SWGDI_PATH_SINK sink = rec.Sink();
    EXPECT_EQ(swgdi_CreatePathDC(0, 10, 100, 100, &sink), nullptr);
    EXPECT_EQ(swgdi_CreatePathDC(10, 10, 100, 100, nullptr), nullptr);
    SWGDI_PATH_SINK partial = sink;
    partial.fill = nullptr;
    EXPECT_EQ(swgdi_CreatePathDC(10, 10, 100, 100, &partial), nullptr);
    HDC dc = swgdi_CreatePathDC(4960, 7016, 600, 600, &sink);
    HDC page = swgdi_CreatePageDC(4960, 7016, 600, 600, 32);
    for (int cap : {HORZRES, VERTRES, HORZSIZE, VERTSIZE, LOGPIXELSX, TECHNOLOGY, BITSPIXEL})
        EXPECT_EQ(GetDeviceCaps(dc, cap), GetDeviceCaps(page, cap)) << cap;
    SWGDI_SURFACE s;
    EXPECT_FALSE(swgdi_GetSurface(dc, &s));
    EXPECT_EQ(GetPixel(dc, 1, 1), CLR_INVALID);
    HBITMAP bm = CreateBitmap(4, 4, 1, 32, nullptr);
    EXPECT_EQ(SelectObject(dc, bm), nullptr);
    DeleteObject(bm);
    DeleteDC(page);
    DeleteDC(dc);
}

}  // namespace
