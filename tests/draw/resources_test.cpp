// Resources of the drawing half: GDI objects (counted by swgdi) and heap
// allocations (counted here by replacing the allocator of the process).
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <sstream>

#include "draw_test_util.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define WX5N_TEST_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define WX5N_TEST_ASAN 1
#endif

namespace {
// All heap allocations of the process, and those asked for by code of this
// executable. The drawing objects are linked into the executable while
// swgdi is a shared library that may allocate as it pleases, so an
// allocation whose immediate caller lies in the executable's code is one
// the drawing code (or the test itself) made.
std::atomic<long> g_allocations{0};
std::atomic<long> g_ownAllocations{0};
}  // namespace

#ifndef WX5N_TEST_ASAN
extern "C" char __executable_start;
extern "C" char etext;

namespace {
void Count(void* caller) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    const char* c = static_cast<const char*>(caller);
    if (c >= &__executable_start && c < &etext)
        g_ownAllocations.fetch_add(1, std::memory_order_relaxed);
}
}  // namespace

// Every heap allocation of the process passes through these. The sanitizer
// builds bring their own allocator; there the symbol check below stands
// alone.
extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void* malloc(size_t n) {
    Count(__builtin_return_address(0));
    return __libc_malloc(n);
}
extern "C" void* calloc(size_t n, size_t m) {
    Count(__builtin_return_address(0));
    return __libc_calloc(n, m);
}
extern "C" void* realloc(void* p, size_t n) {
    Count(__builtin_return_address(0));
    return __libc_realloc(p, n);
}
namespace {
void* New(size_t n, void* caller) {
    Count(caller);
    if (void* p = __libc_malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
}  // namespace
void* operator new(size_t n) { return New(n, __builtin_return_address(0)); }
void* operator new[](size_t n) { return New(n, __builtin_return_address(0)); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
#endif

namespace wx5n::test {
namespace {

// Six looks that repeat: thin solid, dashed wide with flat ends, double,
// wave, dashed round, slanted square ends. Each needs at most one pen and
// one brush, so six of them fit the cache.
void DrawStyle(HDC dc, int i, int n, MNG_OBJECT* mng) {
    static const int kStyles[6][4] = {{1, 1, 3, 0}, {8, 3, 1, 0}, {9, 9, 1, 0}, {1, 10, 3, 12}, {3, 4, 3, 0}, {6, 1, 2, 0}};
    const int* s = kStyles[i];
    LINEREC line = Line(s[0], s[1], s[2], static_cast<COLORREF>(i + 1));
    line.waveHeight = s[3];
    line.unitsPerInch = 600;
    const int y = 20 + (n % 400) * 8, x = 20 + (n % 7) * 10;
    ASSERT_EQ(foExtLine(dc, x, y, x + (i == 5 ? 700 : 800), y + (i == 5 ? 300 : 0), &line, mng), 1);
}

// Rectangles and ellipses of every kind: open sides, radii, widths, line
// kinds, hatches, and transparent fills when asked for.
void DrawFigures(HDC hdc, MNG_OBJECT* mng, bool fills, bool transparent) {
    int i = 0;
    for (int kind : {1, 3, 9, 8})
        for (int cap : {1, 3}) {
            LINEREC l = Line(kind == 9 ? 9 : 5, kind, cap, 0x000080);
            l.unitsPerInch = 96;
            if (kind == 8) {
                l.dashCount = 4;
                const int pattern[4] = {9, 4, 2, 4};
                std::memcpy(l.dashPattern, pattern, sizeof pattern);
            }
            RECTREC s = Shape(i % 2 ? 0x34 : 0, 12, 0, 30, 4);
            const int hatch = !fills ? 0 : (i % 3 == 0 ? 500 : (i % 3 == 1 ? 1000 : 0));
            const int flags = transparent ? (i & 1) : 0;
            foExtRectangle(hdc, RECT{20 + 40 * i, 20, 60 + 40 * i, 90}, hatch, flags, &l, &s, mng);
            foExtEllipse(hdc, 40 + 40 * i, 160, 18, 30, hatch, flags, &l, mng);
            ++i;
        }
}

TEST(Resources, ManagedDrawingCreatesNothingAfterTheFirstOfEachStyle) {
    Page page(4960, 3600, 600);  // the upper half of an A4 page at 600 dpi
    HDC dc = page.dc();
    const int base = swgdi_ObjectCount();
    MNG_OBJECT mng;
    StartMngObject(dc, &mng);
    for (int i = 0; i < 6; ++i) DrawStyle(dc, i, i, &mng);
    const int warm = swgdi_ObjectCount();
    EXPECT_GE(warm, base + 8);
    const long before = g_allocations.load(), ownBefore = g_ownAllocations.load();
    for (int n = 0; n < 10000; ++n) DrawStyle(dc, n % 6, n, &mng);
    const long all = g_allocations.load() - before, own = g_ownAllocations.load() - ownBefore;
    EXPECT_EQ(swgdi_ObjectCount(), warm);

    // Not one object made and dropped again on the way either: the journal
    // records every creation and deletion.
    page.JournalOn();
    for (int n = 0; n < 600; ++n) DrawStyle(dc, n % 6, n, &mng);
    const std::vector<Call> j = Journal(dc);
    page.JournalOff();
    for (const Call& c : j) EXPECT_TRUE(c.op.rfind("Create", 0) != 0 && c.op != "DeleteObject") << c.op;
    EXPECT_GT(Only(j, {"Polyline", "Polygon", "FillRect", "LineTo"}).size(), 600u);
#ifndef WX5N_TEST_ASAN
    // swgdi keeps its drawing state and scratch buffers across calls: once
    // warm, nothing in the process allocates while drawing.
    EXPECT_EQ(all, 0);
    EXPECT_EQ(own, 0);
#endif
    (void)all;
    (void)own;
    EndMngObject(dc, &mng);
    EXPECT_EQ(swgdi_ObjectCount(), base);
}

// Plain fills and frames of rectangles and ellipses from a warm record
// create nothing either; the host selects the fill pattern once.
TEST(Resources, WarmRecordCreatesNothingForFiguresAndDrawsAsUnmanaged) {
    Page page(400, 300, 96), plain(400, 300, 96);
    const int before = swgdi_ObjectCount();
    MNG_OBJECT mng;
    StartMngObject(page.dc(), &mng);
    HBRUSH hatch = foGetHatchBrush(250);
    SelectObject(page.dc(), hatch);
    DrawFigures(page.dc(), &mng, true, false);  // warm-up
    const int warm = swgdi_ObjectCount();
    page.JournalOn();
    for (int round = 0; round < 3; ++round) DrawFigures(page.dc(), &mng, true, false);
    page.JournalOff();
    EXPECT_EQ(swgdi_ObjectCount(), warm);
    for (const Call& c : Journal(page.dc())) EXPECT_NE(c.op.rfind("Create", 0), 0u) << c.op;
    // The record changes where pens and brushes come from, not what is drawn.
    page.Clear();
    DrawFigures(page.dc(), &mng, false, true);
    DrawFigures(plain.dc(), nullptr, false, true);
    EXPECT_TRUE(page.Pixels() == plain.Pixels());
    EXPECT_GT(plain.CountInk(0, 0, 400, 300), 3000);
    EndMngObject(page.dc(), &mng);
    DeleteObject(hatch);
    EXPECT_EQ(swgdi_ObjectCount(), before);
}

// The counter attributes allocations made by code of this executable.
TEST(Resources, AllocationCounterSeesThisExecutable) {
#ifndef WX5N_TEST_ASAN
    const long own = g_ownAllocations.load();
    void* volatile p = std::malloc(16);
    std::free(p);
    int* volatile q = new int(3);
    delete q;
    EXPECT_EQ(g_ownAllocations.load() - own, 2);
#else
    GTEST_SKIP() << "the sanitizer's allocator is not replaced";
#endif
}

// Unmanaged calls leave no object behind and the DC's own selected.
TEST(Resources, UnmanagedDrawingLeavesNoObjectBehind) {
    Page page;
    HDC dc = page.dc();
    const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH);
    const int base = swgdi_ObjectCount();
    DrawFigures(dc, nullptr, true, true);
    EXPECT_GT(page.CountInk(0, 0, 400, 300), 5000);
    for (Mapping m : {Mapping::Text, Mapping::Twips, Mapping::Anisotropic}) {
        page.SetMapping(m);
        for (int kind = 0; kind <= 10; ++kind)
            for (int cap = 0; cap <= 3; ++cap)
                for (int w : {1, 5, 12}) {
                    LINEREC line = Line(page.Len(w), kind, cap);
                    line.waveHeight = page.Len(10);
                    line.dashCount = 2;
                    line.dashPattern[0] = line.dashPattern[1] = page.Len(7);
                    const POINT p[4] = {page.L(40, 40), page.L(300, 40), page.L(300, 250), page.L(60, 300)};
                    for (int i = 0; i < 3; ++i) foExtLine(dc, p[i].x, p[i].y, p[i + 1].x, p[i + 1].y, &line, nullptr);
                }
        EXPECT_EQ(swgdi_ObjectCount(), base) << MappingName(m);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
    }
}

// The drawing objects refer to no allocator at all: every buffer they use
// lives on the stack or in the caller's records.
TEST(Resources, DrawingObjectsReferToNoAllocator) {
    std::stringstream objects(WX5N_DRAW_OBJECTS);
    std::string path;
    int checked = 0;
    while (std::getline(objects, path, '|')) {
        if (path.empty()) continue;
        std::string cmd = "nm -u '" + path + "' 2>&1";
        FILE* f = popen(cmd.c_str(), "r");
        ASSERT_NE(f, nullptr);
        char buf[512];
        std::string out;
        while (fgets(buf, sizeof(buf), f)) out += buf;
        ASSERT_EQ(pclose(f), 0) << out;
        // One undefined symbol per line, its name last.
        std::stringstream lines(out);
        std::string sym;
        while (lines >> sym) {
            if (sym == "U") continue;
            bool bad = sym.rfind("_Znw", 0) == 0 || sym.rfind("_Zna", 0) == 0;
            for (const char* name : {"malloc", "calloc", "realloc", "free", "aligned_alloc",
                                     "posix_memalign", "strdup", "strndup"})
                bad = bad || sym == name;
            EXPECT_FALSE(bad) << path << " refers to " << sym;
        }
        ++checked;
    }
    EXPECT_GE(checked, 5);
}

}  // namespace
}  // namespace wx5n::test
