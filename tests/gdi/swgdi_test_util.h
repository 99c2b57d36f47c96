// Helpers of the swgdi pixel tests: a page of odd size and pixel access.
#ifndef SWGDI_TEST_UTIL_H
#define SWGDI_TEST_UTIL_H

#include "swgdi.h"
#include "swgdi_journal.h"

#include <cstdint>

namespace swgdi_test {

// A 32-bpp page, cleared to a known colour, deleted with the test.
class Page {
public:
    explicit Page(int w = 41, int h = 29, COLORREF bg = RGB(250, 250, 250))
        : dc_(swgdi_CreatePageDC(w, h, 300, 300, 32)), w_(w), h_(h) {
        swgdi_GetSurface(dc_, &s_);
        Clear(bg);
    }
    ~Page() { DeleteDC(dc_); }
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    HDC dc() const { return dc_; }
    uint32_t& At(int x, int y) const {
        return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(s_.bits) + s_.stride * y)[x];
    }
    // Colour comparisons look at the colour bits only; raster operations
    // like R2_WHITE also set the top byte of 32-bpp pixels.
    bool Is(int x, int y, COLORREF c) const { return (At(x, y) & 0xFFFFFFu) == Px(c); }
    void Clear(COLORREF c) {
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) At(x, y) = Px(c);
    }
    // Pixels equal to c.
    int Count(COLORREF c) const {
        int n = 0;
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) n += Is(x, y, c);
        return n;
    }

private:
    // 0x00RRGGBB, as a 32-bpp surface stores a colour.
    static uint32_t Px(COLORREF c) { return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c); }
    HDC dc_;
    int w_, h_;
    SWGDI_SURFACE s_{};
};

// Selects an object for the scope of a test block, then restores and
// deletes it.
class Use {
public:
    Use(HDC dc, HGDIOBJ obj) : dc_(dc), obj_(obj), old_(SelectObject(dc, obj)) {}
    ~Use() {
        SelectObject(dc_, old_);
        DeleteObject(obj_);
    }

private:
    HDC dc_;
    HGDIOBJ obj_;
    HGDIOBJ old_;
};

}  // namespace swgdi_test

#endif
