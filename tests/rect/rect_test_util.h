// Test helpers of the rectangle and ellipse drawing: swgdi pages with a
// chosen mapping, the call journal copied out, pixel queries and PNG reading.
#ifndef WX5N_TESTS_RECT_TEST_UTIL_H
#define WX5N_TESTS_RECT_TEST_UTIL_H

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "draw/rect_internal.h"
#include "support/journal_util.h"

namespace wx5n::rtest {

enum class Mapping {
    Text,   // MM_TEXT: one unit per pixel, y down
    YUp,    // MM_ANISOTROPIC, 2 units per pixel, y up, origin shifted
};

// A white 32-bpp page.
class Page {
public:
    explicit Page(int width = 400, int height = 300, int dpi = 96)
        : width_(width), height_(height) {
        hdc_ = swgdi_CreatePageDC(width, height, dpi, dpi, 32);
    }
    ~Page() {
        if (hdc_) DeleteDC(hdc_);
    }
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    HDC dc() const { return hdc_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // y-up: logical (x, y) lands on device (x / 2 + 10, 290 - y / 2) for the
    // default page, so logical y grows toward the device top.
    void SetMapping(Mapping m) {
        if (m == Mapping::Text) {
            SetMapMode(hdc_, MM_TEXT);
            return;
        }
        SetMapMode(hdc_, MM_ANISOTROPIC);
        SetWindowExtEx(hdc_, 2, 2, nullptr);
        SetViewportExtEx(hdc_, 1, -1, nullptr);
        SetWindowOrgEx(hdc_, 0, 0, nullptr);
        SetViewportOrgEx(hdc_, 10, height_ - 10, nullptr);
    }

    POINT ToDevice(int x, int y) const {
        POINT p{x, y};
        LPtoDP(hdc_, &p, 1);
        return p;
    }
    POINT ToLogical(int x, int y) const {
        POINT p{x, y};
        DPtoLP(hdc_, &p, 1);
        return p;
    }

    uint32_t Pixel(int x, int y) const {
        SWGDI_SURFACE s;
        if (!swgdi_GetSurface(hdc_, &s) || x < 0 || y < 0 || x >= s.width || y >= s.height)
            return 0xFFFFFFFFu;
        const uint8_t* row = static_cast<const uint8_t*>(s.bits) + s.stride * y;
        uint32_t v;
        std::memcpy(&v, row + 4 * static_cast<ptrdiff_t>(x), 4);
        return v & 0x00FFFFFFu;
    }
    bool Ink(int x, int y) const { return Pixel(x, y) != 0x00FFFFFFu; }
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
    void JournalOn() {
        swgdi_ClearJournal(hdc_);
        swgdi_EnableJournal(hdc_, TRUE);
    }
    void JournalOff() { swgdi_EnableJournal(hdc_, FALSE); }

private:
    HDC hdc_ = nullptr;
    int width_, height_;
};

using journal::Call;
using journal::Dump;
using journal::Journal;
using journal::Line;
using journal::Seg;

// The drawing primitives of a journal, in order.
inline std::vector<Call> Drawn(const std::vector<Call>& all) {
    std::vector<Call> out;
    for (const Call& c : all)
        if (c.op == "Polyline" || c.op == "Polygon" || c.op == "Rectangle" ||
            c.op == "Ellipse" || c.op == "FillRect" || c.op == "LineTo")
            out.push_back(c);
    return out;
}

inline std::vector<Call> OnlyOp(const std::vector<Call>& all, const char* op) {
    std::vector<Call> out;
    for (const Call& c : all)
        if (c.op == op) out.push_back(c);
    return out;
}

inline int CountCreated(const std::vector<Call>& all) {
    int n = 0;
    for (const Call& c : all) n += c.op.rfind("Create", 0) == 0 ? 1 : 0;
    return n;
}

inline RECTREC Shape(unsigned open, int tl = 0, int tr = 0, int br = 0, int bl = 0) {
    RECTREC s;
    std::memset(&s, 0, sizeof(s));
    s.openSides = open;
    s.radius[0] = static_cast<unsigned short>(tl);
    s.radius[1] = static_cast<unsigned short>(tr);
    s.radius[2] = static_cast<unsigned short>(br);
    s.radius[3] = static_cast<unsigned short>(bl);
    return s;
}

// Reads an 8-bit RGB or RGBA PNG into 0x00RRGGBB values; false on failure.
bool ReadPng(const std::string& path, int* width, int* height, std::vector<uint32_t>* pixels);

}  // namespace wx5n::rtest

#endif  // WX5N_TESTS_RECT_TEST_UTIL_H
