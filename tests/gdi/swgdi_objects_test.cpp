// What the conformance run cannot compare with a real GDI: the object
// count, extreme shapes and pens, bad handles, threads, random calls, the
// journal's limits, the hatch bitmap lookup and PNG output.
#include "swgdi.h"
#include "swgdi_journal.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

extern "C" COLORREF swgdi_header_c_draw(void);

namespace {

// A 32-bpp page, black where a new page is white, deleted with the test.
struct Page {
    HDC dc;
    explicit Page(int w = 41, int h = 29) : dc(swgdi_CreatePageDC(w, h, 300, 300, 32)) { PatBlt(dc, 0, 0, w, h, BLACKNESS); }
    ~Page() { DeleteDC(dc); }
};

TEST(SwgdiHeader, UsableFromC) { EXPECT_EQ(swgdi_header_c_draw(), RGB(1, 2, 3)); }

TEST(SwgdiObjects, ContentsCountAndDeferredDeletion) {
    const int base = swgdi_ObjectCount();
    LOGBRUSH lb = {};
    LOGPEN lp = {};
    EXPECT_TRUE(GetObjectA(GetStockObject(GRAY_BRUSH), sizeof lb, &lb) && lb.lbColor == RGB(128, 128, 128));
    EXPECT_TRUE(GetObjectA(GetStockObject(WHITE_PEN), sizeof lp, &lp) && lp.lopnColor == RGB(255, 255, 255));
    HBITMAP bm = CreateBitmap(8, 8, 1, 1, nullptr);
    HBRUSH br = CreatePatternBrush(bm);
    ASSERT_EQ(GetObjectA(br, sizeof lb, &lb), int(sizeof lb));
    EXPECT_TRUE(lb.lbStyle == BS_PATTERN && lb.lbHatch == reinterpret_cast<ULONG_PTR>(bm));
    // The most negative width has no magnitude in 32 bits: the widest pen.
    HPEN pen = CreatePen(PS_SOLID, INT_MIN, 0);
    EXPECT_TRUE(GetObjectA(pen, sizeof lp, &lp) && lp.lopnWidth.x == INT_MAX);
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(swgdi_ObjectCount(), base + 4);
    SelectObject(dc, pen);
    EXPECT_TRUE(DeleteObject(pen));  // still selected: goes when released
    EXPECT_EQ(swgdi_ObjectCount(), base + 4);
    SelectObject(dc, GetStockObject(BLACK_PEN));
    EXPECT_EQ(swgdi_ObjectCount(), base + 3);
    EXPECT_TRUE(DeleteObject(br) && DeleteObject(bm) && DeleteDC(dc));
    HDC page = swgdi_CreatePageDC(10, 10, 96, 96, 32);
    EXPECT_EQ(swgdi_ObjectCount(), base + 2);  // the DC and its bitmap
    DeleteDC(page);
    EXPECT_EQ(swgdi_ObjectCount(), base);
}

// Bad handles and absurd arguments fail, never crash (the sanitizer build
// runs this too). Calls on a null or deleted DC, or with a null object, are
// compared with a real GDI's results by the conformance run.
TEST(SwgdiRobustness, BadHandlesAndArguments) {
    HDC bad = reinterpret_cast<HDC>(static_cast<uintptr_t>(0xDEADBEE0));
    POINT pts[3] = {{0, 0}, {5, 5}, {9, 0}};
    RECT r = {0, 0, 5, 5};
    for (HDC dc : {static_cast<HDC>(nullptr), bad}) {
        EXPECT_FALSE(Rectangle(dc, 0, 0, 5, 5) || Polygon(dc, pts, 3) || LineTo(dc, 1, 1) ||
                     swgdi_WritePNG(dc, "/nonexistent/x.png"));
        EXPECT_EQ(FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))), 0);
        EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
    }
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(0x12340))));
    EXPECT_EQ(CreatePenIndirect(nullptr), nullptr);
    EXPECT_EQ(CreateBrushIndirect(nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(-3, 4, 1, 1, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(4, 4, 1, 7, nullptr), nullptr);
    EXPECT_EQ(CreateCompatibleDC(bad), nullptr);
    EXPECT_EQ(swgdi_CreatePageDC(0, 10, 96, 96, 32), nullptr);
    EXPECT_EQ(swgdi_CreatePageDC(10, 10, 96, 96, 8), nullptr);
    EXPECT_EQ(swgdi_CreatePageDC(1 << 30, 1 << 30, 96, 96, 32), nullptr);
    // Point conversions refuse a missing array or a negative count.
    HDC good = swgdi_CreatePageDC(10, 10, 96, 96, 32);
    for (BOOL (*convert)(HDC, LPPOINT, int) : {LPtoDP, DPtoLP}) {
        EXPECT_FALSE(convert(good, nullptr, 3) || convert(good, pts, -1));
        EXPECT_TRUE(convert(good, nullptr, 0));
    }
    DeleteDC(good);
}

// A DC without a bitmap draws on its one pixel. Shapes out to the 32-bit
// limits, on huge mappings, and pens as wide as a pen can be (found by
// fuzzing the line drawing: their round ends overflowed the disc stepping)
// draw over the page and no further.
TEST(SwgdiRobustness, HugeShapesAndWidestPens) {
    HDC dc = CreateCompatibleDC(nullptr);
    POINT pts[4] = {{-2000000000, -2000000000}, {2000000000, 5}, {3, 2000000000}, {-5, 7}};
    EXPECT_TRUE(Rectangle(dc, -5, -5, 5, 5) && Polygon(dc, pts, 4) && Polyline(dc, pts, 4) &&
                Ellipse(dc, -1, -1, 3, 3) && PatBlt(dc, 0, 0, 100, 100, WHITENESS));
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));  // the one pixel
    EXPECT_EQ(GetPixel(dc, 1, 0), CLR_INVALID);
    DeleteDC(dc);
    const COLORREF blue = RGB(0, 0, 255), green = RGB(0, 255, 0);
    for (int width : {9, INT_MAX, 1 << 19, 300000, 40}) {
        Page page;
        HGDIOBJ oldPen = SelectObject(page.dc, CreatePen(PS_SOLID, width, blue));
        HGDIOBJ oldBrush = SelectObject(page.dc, width == 40 ? GetStockObject(WHITE_BRUSH) : CreateSolidBrush(green));
        POINT p[3] = {{3, 3}, {30, 20}, {5, 25}};
        if (width == 9) {
            EXPECT_TRUE(Rectangle(page.dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX));
            EXPECT_EQ(GetPixel(page.dc, 20, 15), green);
            EXPECT_TRUE(Polygon(page.dc, pts, 4) && MoveToEx(page.dc, INT_MIN, 10, nullptr) &&
                        LineTo(page.dc, INT_MAX, 12));
            EXPECT_FALSE(Ellipse(page.dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX));  // too large to outline
            SetMapMode(page.dc, MM_ANISOTROPIC);
            SetWindowExtEx(page.dc, 1, 1, nullptr);
            SetViewportExtEx(page.dc, 1000000, 1000000, nullptr);
            EXPECT_TRUE(Rectangle(page.dc, -3000, -3000, 3000, 3000) && Polyline(page.dc, pts, 4));
        } else if (width == 40) {
            EXPECT_TRUE(Ellipse(page.dc, -500000, -300000, 500020, 300015));
            EXPECT_EQ(GetPixel(page.dc, 20, 14), RGB(255, 255, 255));  // the interior
        } else {
            EXPECT_TRUE(Polyline(page.dc, p, 3));
            EXPECT_TRUE(GetPixel(page.dc, 0, 0) == blue && GetPixel(page.dc, 40, 28) == blue) << width;
        }
        DeleteObject(SelectObject(page.dc, oldPen));
        DeleteObject(SelectObject(page.dc, oldBrush));
    }
}

// DCs used by different threads at once, with journals on and objects
// created, selected and deleted meanwhile (the sanitizer build checks the
// memory; the counts must come back).
TEST(SwgdiRobustness, DcsOnSeveralThreads) {
    const int base = swgdi_ObjectCount();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            HDC dc = swgdi_CreatePageDC(64, 48, 300, 300, 32);
            swgdi_EnableJournal(dc, TRUE);
            for (int i = 0; i < 200; ++i) {
                HGDIOBJ op = SelectObject(dc, CreatePen(PS_SOLID, 1 + (i + t) % 4, RGB(i, t * 40, 0)));
                HGDIOBJ ob = SelectObject(dc, CreateSolidBrush(RGB(0, i, t)));
                Rectangle(dc, i % 30, t, 40 + i % 20, 30);
                Ellipse(dc, 3, 3, 30 + i % 30, 40);
                DeleteObject(SelectObject(dc, op));
                DeleteObject(SelectObject(dc, ob));
                if (i % 50 == 0) swgdi_ClearJournal(dc);
            }
            EXPECT_GT(swgdi_JournalCount(dc), 0);
            DeleteDC(dc);
        });
    for (auto& th : threads) th.join();
    EXPECT_EQ(swgdi_ObjectCount(), base);
}

// Thousands of calls with arbitrary arguments: mappings with odd and
// negative extents, pens up to 60 pixels, every brush kind and ROP2,
// coordinates from the page to the 32-bit limits. Nothing may crash or
// touch memory outside the bitmap (the sanitizer build checks), and every
// object comes back. SWGDI_RANDOM_CALLS and SWGDI_RANDOM_SEED vary the run.
TEST(SwgdiRobustness, RandomCallsStayInBounds) {
    uint32_t st = 12345;
    if (const char* seed = std::getenv("SWGDI_RANDOM_SEED")) st = static_cast<uint32_t>(std::atoi(seed));
    const char* count = std::getenv("SWGDI_RANDOM_CALLS");
    auto next = [&st] { return (st = st * 1664525u + 1013904223u) >> 8; };
    auto upTo = [&](int n) { return static_cast<int>(next() % unsigned(n)); };
    // Mostly on or near the page, else far off it or anywhere in 32 bits.
    const auto c = [&]() -> int {
        const unsigned k = next() % 8;
        return k == 0 ? int(next()) - (1 << 23) : k == 1 ? int(next() << 8) : k == 2 ? -upTo(100000) : upTo(120) - 30;
    };
    const int base = swgdi_ObjectCount();
    HDC dc = swgdi_CreatePageDC(67, 45, 150, 150, (next() & 1) ? 32 : 1);
    HBITMAP pat = LoadBitmapA(GetModuleHandleA("WX5NOVL1.DLL"), MAKEINTRESOURCEA(107));
    POINT p[7];
    for (int i = 0, calls = count ? std::atoi(count) : 3000; i < calls; ++i) {
        switch (next() % 10) {
        case 0:
            SetMapMode(dc, 1 + upTo(8));
            SetWindowExtEx(dc, c(), c(), nullptr);
            SetViewportExtEx(dc, c() % 5000, c() % 5000, nullptr);
            SetWindowOrgEx(dc, c(), c(), nullptr);
            SetViewportOrgEx(dc, c() % 200, c() % 200, nullptr);
            break;
        case 1: DeleteObject(SelectObject(dc, CreatePen(upTo(8), upTo(61), next()))); break;
        case 2: {
            const int kind = upTo(4);
            DeleteObject(SelectObject(dc, kind == 0   ? CreateSolidBrush(next())
                                          : kind == 1 ? CreateHatchBrush(upTo(6), next())
                                          : kind == 2 ? CreatePatternBrush(pat)
                                                      : GetStockObject(NULL_BRUSH)));
            SetROP2(dc, 1 + upTo(16));
            SetPolyFillMode(dc, 1 + upTo(2));
            SetBrushOrgEx(dc, c(), c(), nullptr);
            SetBkMode(dc, 1 + upTo(2));
            break;
        }
        case 3: Rectangle(dc, c(), c(), c(), c()); break;
        case 4: {  // large ellipses, or small ones anywhere up to the 32-bit limits
            const int x = c() / 2, y = c() / 2;
            (next() & 1) ? Ellipse(dc, c() % 3000, c() % 3000, c() % 3000, c() % 3000)
                         : Ellipse(dc, x, y, x + upTo(40) - 20, y + upTo(40) - 20);
            break;
        }
        case 5:
            for (POINT& q : p) q = {c(), c()};
            (next() & 1) ? Polygon(dc, p, 1 + upTo(7)) : Polyline(dc, p, 1 + upTo(7));
            break;
        case 6: MoveToEx(dc, c(), c(), nullptr), LineTo(dc, c(), c()); break;
        case 7: {
            RECT r = {c(), c(), c(), c()};
            FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
            PatBlt(dc, c(), c(), c(), c(), (next() & 1) ? PATINVERT : DSTINVERT);
            break;
        }
        case 8: RoundRect(dc, c() % 500, c() % 500, c() % 500, c() % 500, c(), c()); break;
        default: SetPixel(dc, c(), c(), next()); break;
        }
    }
    DeleteObject(SelectObject(dc, GetStockObject(BLACK_PEN)));
    DeleteObject(SelectObject(dc, GetStockObject(WHITE_BRUSH)));
    DeleteObject(pat);
    DeleteDC(dc);
    EXPECT_EQ(swgdi_ObjectCount(), base);
}

// Long pattern spans are copied a cache line at a time, short ones from the
// widened pattern row: a long span must equal the same pixels painted one at
// a time, for periods that do and do not divide a cache line, at any phase.
TEST(SwgdiPatterns, LongSpansEqualThePixelsPaintedOneByOne) {
    Page longs(420, 12), ones(420, 12);
    uint32_t st = 7;
    for (int w : {3, 5, 8, 12, 24, 33}) {
        std::vector<unsigned char> bits(size_t((w + 15) / 16 * 2) * 5);
        for (unsigned char& b : bits) b = static_cast<unsigned char>((st = st * 1664525u + 1013904223u) >> 24);
        HBITMAP bm = CreateBitmap(w, 5, 1, 1, bits.data());
        HBRUSH br = CreatePatternBrush(bm);
        for (HDC dc : {longs.dc, ones.dc}) {
            SetTextColor(dc, RGB(200, 10, 60));
            SetBkColor(dc, RGB(20, 220, 90));
            SetBrushOrgEx(dc, w / 2 + 1, 3, nullptr);
            DeleteObject(SelectObject(dc, br));
        }
        for (int y = 0; y < 12; ++y) {
            const int x0 = (y * 7 + w) % 29, n = 130 + y * 23;
            PatBlt(longs.dc, x0, y, n, 1, PATCOPY);
            for (int x = x0; x < x0 + n; ++x) PatBlt(ones.dc, x, y, 1, 1, PATCOPY);
        }
        SWGDI_SURFACE a, b;
        ASSERT_TRUE(swgdi_GetSurface(longs.dc, &a) && swgdi_GetSurface(ones.dc, &b));
        EXPECT_EQ(std::memcmp(a.bits, b.bits, size_t(a.stride) * 12), 0) << "pattern width " << w;
        for (HDC dc : {longs.dc, ones.dc}) SelectObject(dc, GetStockObject(WHITE_BRUSH));
        DeleteObject(br);
        DeleteObject(bm);
    }
}

// What a journal records is checked by the path cases; here its limits.
TEST(SwgdiJournal, OutOfRangeClearedAndDisabled) {
    Page page;
    SWGDI_JOURNAL_ENTRY e;
    char buf[64];
    EXPECT_TRUE(swgdi_EnableJournal(page.dc, TRUE));
    Rectangle(page.dc, 1, 2, 3, 4);
    EXPECT_TRUE(swgdi_JournalEntry(page.dc, 0, &e) && !swgdi_JournalEntry(page.dc, 1, &e));
    EXPECT_EQ(swgdi_JournalText(page.dc, 1, buf, sizeof buf), -1);
    EXPECT_TRUE(swgdi_ClearJournal(page.dc));
    EXPECT_EQ(swgdi_JournalCount(page.dc), 0);
    swgdi_EnableJournal(page.dc, FALSE);
    Rectangle(page.dc, 1, 2, 3, 4);
    EXPECT_EQ(swgdi_JournalCount(page.dc), 0);
}

// LoadBitmapA finds the hatch bitmaps (ids 101 to 117, by number or as
// "#id") in the library's module only. Their pixels are compared with a real
// GDI's by the conformance scenarios; the drawing tests pin the patterns.
TEST(SwgdiResources, HatchBitmapsFromTheLibraryModule) {
    HMODULE lib = GetModuleHandleA("WX5NOVL1.DLL");
    ASSERT_NE(lib, nullptr);
    EXPECT_EQ(GetModuleHandleA("wx5novl1.dll"), lib);
    EXPECT_EQ(GetModuleHandleA("OTHER.DLL"), nullptr);
    EXPECT_EQ(LoadBitmapA(lib, MAKEINTRESOURCEA(100)), nullptr);
    EXPECT_EQ(LoadBitmapA(lib, MAKEINTRESOURCEA(118)), nullptr);
    EXPECT_EQ(LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(101)), nullptr);
    for (const char* name : {"#109", "#117", MAKEINTRESOURCEA(101)}) {
        HBITMAP bm = LoadBitmapA(lib, name);
        EXPECT_NE(bm, nullptr);
        DeleteObject(bm);
    }
}

TEST(SwgdiPng, WritesTheSurfaceAsRgb) {
    Page page(13, 7);
    const char* tmp = std::getenv("WX5N_TEST_TMP");
    const std::string dir = tmp ? tmp : "/tmp", path = dir + "/swgdi_png_test.png";
    ASSERT_EQ(std::system(("mkdir -p '" + dir + "'").c_str()), 0);
    ASSERT_TRUE(swgdi_WritePNG(page.dc, path.c_str()));
    unsigned char head[24] = {};
    std::FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(std::fread(head, 1, sizeof head, f), sizeof head);
    std::fclose(f);
    std::remove(path.c_str());
    EXPECT_EQ(0, std::memcmp(head, "\x89PNG\r\n\x1a\n", 8));
    EXPECT_TRUE(head[19] == 13 && head[23] == 7);  // width and height, big-endian at 16 and 20
}

}  // namespace
