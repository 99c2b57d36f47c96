// Test helpers of the drawing half: swgdi pages with a chosen mapping mode,
// the call journal copied out as plain records, and pixel queries.
#ifndef WX5N_TESTS_DRAW_TEST_UTIL_H
#define WX5N_TESTS_DRAW_TEST_UTIL_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "draw/draw_internal.h"
#include "draw/rect_internal.h"
#include "include/wx5novl1.h"
#include "swgdi_journal.h"

namespace wx5n::test {

// Mappings that put whole logical units on whole device pixels, so that one
// figure given in device pixels can be drawn in all of them.
enum class Mapping {
    Text,         // MM_TEXT: one unit per pixel
    Twips,        // MM_TWIPS on a 144 dpi page: 10 units per pixel, y up
    Anisotropic,  // 3 units per pixel on both axes, shifted origins
    YUp,          // 2 units per pixel, y up: (x, y) lands on (x / 2 + 10, height - 10 - y / 2)
    MirrorX       // 3 units per pixel, x runs right to left
};

inline const char* MappingName(Mapping m) {
    static const char* const kNames[] = {"MM_TEXT", "MM_TWIPS", "MM_ANISOTROPIC", "y up", "x leftward"};
    return kNames[static_cast<int>(m)];
}

// A white 32-bpp page; 720 x 720 pixels at 144 dpi is 127 mm square, so
// MM_TWIPS maps exactly 10 twips to a pixel.
class Page {
public:
    explicit Page(int width = 720, int height = 720, int dpi = 144)
        : hdc_(swgdi_CreatePageDC(width, height, dpi, dpi, 32)), width_(width), height_(height) {}
    ~Page() {
        if (hdc_) DeleteDC(hdc_);
    }
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    HDC dc() const { return hdc_; }
    int width() const { return width_; }
    int height() const { return height_; }
    Mapping mapping() const { return mapping_; }

    void SetMapping(Mapping m) {
        mapping_ = m;
        if (m == Mapping::Text || m == Mapping::Twips) {
            SetMapMode(hdc_, m == Mapping::Text ? MM_TEXT : MM_TWIPS);
            return;
        }
        struct Setup { int unit, vx, vy, wox, woy, vox, voy; };
        const Setup s = m == Mapping::Anisotropic ? Setup{3, 1, 1, 100, -40, 30, 10}
                        : m == Mapping::YUp       ? Setup{2, 1, -1, 0, 0, 10, height_ - 10}
                                                  : Setup{3, -1, 1, 30, 60, width_ - 5, 0};
        SetMapMode(hdc_, MM_ANISOTROPIC);
        SetWindowExtEx(hdc_, s.unit, s.unit, nullptr);
        SetViewportExtEx(hdc_, s.vx, s.vy, nullptr);
        SetWindowOrgEx(hdc_, s.wox, s.woy, nullptr);
        SetViewportOrgEx(hdc_, s.vox, s.voy, nullptr);
    }

    // Logical point of a device point, and the logical length of n pixels.
    POINT L(int x, int y) const {
        POINT p{x, y};
        DPtoLP(hdc_, &p, 1);
        return p;
    }
    int Len(int n) const {
        POINT a = L(0, 0), b = L(n, n);
        return b.x > a.x ? b.x - a.x : a.x - b.x;
    }

    // 0x00RRGGBB of a device pixel; 0xFFFFFFFF outside the page.
    uint32_t Pixel(int x, int y) const {
        SWGDI_SURFACE s;
        if (!swgdi_GetSurface(hdc_, &s) || x < 0 || y < 0 || x >= s.width || y >= s.height)
            return 0xFFFFFFFFu;
        uint32_t v;
        std::memcpy(&v, static_cast<const uint8_t*>(s.bits) + s.stride * y + 4 * x, 4);
        return v & 0x00FFFFFFu;
    }
    bool Ink(int x, int y) const { return Pixel(x, y) != 0x00FFFFFFu; }
    // Non-white pixels in [x0, x1) x [y0, y1).
    int CountInk(int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += Ink(x, y) ? 1 : 0;
        return n;
    }
    std::vector<uint32_t> Pixels() const {
        std::vector<uint32_t> v;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) v.push_back(Pixel(x, y));
        return v;
    }
    void Clear() { PatBlt(hdc_, 0, 0, width_, height_, WHITENESS); }
    void JournalOn() {
        swgdi_ClearJournal(hdc_);
        swgdi_EnableJournal(hdc_, TRUE);
    }
    void JournalOff() { swgdi_EnableJournal(hdc_, FALSE); }

private:
    HDC hdc_;
    int width_, height_;
    Mapping mapping_ = Mapping::Text;
};

// One journal entry, copied out so that it outlives the journal.
struct Call {
    std::string op;
    HGDIOBJ object = nullptr;
    std::vector<LONG> args;
    std::vector<POINT> points;
    LOGPEN pen{};
    LOGBRUSH brush{};
    int rop2 = 0;
    COLORREF textColor = 0, bkColor = 0;
};

inline std::vector<Call> Journal(HDC hdc) {
    std::vector<Call> out;
    for (int i = 0, n = swgdi_JournalCount(hdc); i < n; ++i) {
        SWGDI_JOURNAL_ENTRY e{};
        if (!swgdi_JournalEntry(hdc, i, &e)) continue;
        Call c{e.op, e.object, {}, {}, e.pen, e.brush, e.rop2, e.textColor, e.bkColor};
        c.args.assign(e.args, e.args + std::min(std::max(e.argCount, 0), 8));
        if (e.points && e.pointCount > 0) c.points.assign(e.points, e.points + e.pointCount);
        out.push_back(c);
    }
    return out;
}

// The entries of the given operations only, in order.
inline std::vector<Call> Only(const std::vector<Call>& all, std::initializer_list<const char*> ops) {
    std::vector<Call> out;
    for (const Call& c : all)
        for (const char* op : ops)
            if (c.op == op) out.push_back(c);
    return out;
}

// A line record with the given look; the dash state starts afresh.
inline LINEREC Line(int width, int kind, int cap, COLORREF color = 0x0000FF) {
    LINEREC r{};
    r.width = width;
    r.kind = kind;
    r.cap = cap;
    r.color = color;
    return r;
}

inline RECTREC Shape(unsigned open, int tl = 0, int tr = 0, int br = 0, int bl = 0) {
    RECTREC s{};
    s.openSides = open;
    const int r[4] = {tl, tr, br, bl};
    for (int i = 0; i < 4; ++i) s.radius[i] = static_cast<unsigned short>(r[i]);
    return s;
}

// Reads an 8-bit RGB or RGBA PNG into 0x00RRGGBB values; false on failure.
bool ReadPng(const std::string& path, int* width, int* height, std::vector<uint32_t>* pixels);

}  // namespace wx5n::test

#endif  // WX5N_TESTS_DRAW_TEST_UTIL_H
