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
struct Style {
    int width, kind, cap, wave;
    COLORREF color;
    bool slanted;
};
const Style kStyles[6] = {
    {1, 1, 3, 0, 0x000001, false},  {8, 3, 1, 0, 0x000002, false},
    {9, 9, 1, 0, 0x000003, false},  {1, 10, 3, 12, 0x000004, false},
    {3, 4, 3, 0, 0x000005, false},  {6, 1, 2, 0, 0x000006, true},
};

void DrawStyle(HDC dc, int i, int n, MNG_OBJECT* mng) {
    const Style& s = kStyles[i];
    LINEREC line = Line(s.width, s.kind, s.cap, s.color);
    line.waveHeight = s.wave;
    line.unitsPerInch = 600;
    int y = 20 + (n % 400) * 8;
    int x = 20 + (n % 7) * 10;
    int rc = s.slanted ? foExtLine(dc, x, y, x + 700, y + 300, &line, mng)
                       : foExtLine(dc, x, y, x + 800, y, &line, mng);
    ASSERT_EQ(rc, 1);
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
    const long all = g_allocations.load() - before;
    const long own = g_ownAllocations.load() - ownBefore;
    EXPECT_EQ(swgdi_ObjectCount(), warm);

    // Not one object made and dropped again on the way either: the journal
    // records every creation and deletion.
    page.JournalOn();
    for (int n = 0; n < 600; ++n) DrawStyle(dc, n % 6, n, &mng);
    int made = 0, deleted = 0, drawn = 0;
    for (const Call& c : Journal(dc)) {
        made += c.op.rfind("Create", 0) == 0;
        deleted += c.op == "DeleteObject";
        drawn += c.op == "Polyline" || c.op == "Polygon" || c.op == "FillRect" || c.op == "LineTo";
    }
    page.JournalOff();
    EXPECT_EQ(made, 0);
    EXPECT_EQ(deleted, 0);
    EXPECT_GT(drawn, 600);
#ifndef WX5N_TEST_ASAN
    // swgdi keeps its drawing state and scratch buffers across calls: once
    // warm, nothing in the process allocates while drawing.
    EXPECT_EQ(all, 0);
    EXPECT_EQ(own, 0);
#else
    (void)all;
    (void)own;
#endif
    EndMngObject(dc, &mng);
    EXPECT_EQ(swgdi_ObjectCount(), base);
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

TEST(Resources, UnmanagedDrawingLeavesNoObjectBehind) {
    Page page;
    HDC dc = page.dc();
    HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
    for (Mapping m : {Mapping::Text, Mapping::Twips, Mapping::Anisotropic}) {
        page.SetMapping(m);
        const int base = swgdi_ObjectCount();
        for (int kind = 0; kind <= 10; ++kind)
            for (int cap = 0; cap <= 3; ++cap)
                for (int w : {1, 5, 12}) {
                    LINEREC line = Line(page.Len(w), kind, cap);
                    line.waveHeight = page.Len(10);
                    line.dashCount = 2;
                    line.dashPattern[0] = line.dashPattern[1] = page.Len(7);
                    POINT a = page.L(40, 40), b = page.L(300, 40), c = page.L(300, 250),
                          d = page.L(60, 300);
                    foExtLine(dc, a.x, a.y, b.x, b.y, &line, nullptr);
                    foExtLine(dc, b.x, b.y, c.x, c.y, &line, nullptr);
                    foExtLine(dc, c.x, c.y, d.x, d.y, &line, nullptr);
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
