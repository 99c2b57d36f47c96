// Test helpers of the drawing half: pages of swgdi with a chosen mapping
// mode, the call journal as plain records, and pixel queries.
#ifndef WX5N_TESTS_DRAW_TEST_UTIL_H
#define WX5N_TESTS_DRAW_TEST_UTIL_H

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "draw/draw_internal.h"
#include "draw/rect_internal.h"
#include "support/journal_util.h"

namespace wx5n::test {

// The mapping modes every drawing function is tried under. Each maps whole
// device pixels onto whole logical units, so one figure given in device
// pixels can be drawn in all of them.
enum class Mapping {
    Text,        // MM_TEXT: one unit per pixel
    Twips,       // MM_TWIPS on a 144 dpi page: 10 units per pixel, y up, origin top left
    Anisotropic, // MM_ANISOTROPIC, 3 units per pixel on both axes, shifted origins
    YUp,         // MM_ANISOTROPIC, 2 units per pixel, y up: logical (x, y) lands on
                 // device (x / 2 + 10, height - 10 - y / 2)
    MirrorX      // MM_ANISOTROPIC, 3 units per pixel, x runs right to left
};

inline const char* MappingName(Mapping m) {
    switch (m) {
        case Mapping::Text: return "MM_TEXT";
        case Mapping::Twips: return "MM_TWIPS";
        case Mapping::Anisotropic: return "MM_ANISOTROPIC";
        case Mapping::YUp: return "MM_ANISOTROPIC y up";
        case Mapping::MirrorX: return "MM_ANISOTROPIC x leftward";
    }
    return "?";
}

// A white 32-bpp page; 720 x 720 pixels at 144 dpi is 127 x 127 mm, so
// MM_TWIPS maps exactly 10 twips to a pixel on both axes.
class Page {
public:
    explicit Page(int width = 720, int height = 720, int dpi = 144)
        : width_(width), height_(height), dpi_(dpi) {
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

    void SetMapping(Mapping m) {
        mapping_ = m;
        switch (m) {
            case Mapping::Text:
                SetMapMode(hdc_, MM_TEXT);
                break;
            case Mapping::Twips:
                SetMapMode(hdc_, MM_TWIPS);
                break;
            case Mapping::Anisotropic:
                SetMapMode(hdc_, MM_ANISOTROPIC);
                SetWindowExtEx(hdc_, 3, 3, nullptr);
                SetViewportExtEx(hdc_, 1, 1, nullptr);
                SetWindowOrgEx(hdc_, 100, -40, nullptr);
                SetViewportOrgEx(hdc_, 30, 10, nullptr);
                break;
            case Mapping::YUp:
                SetMapMode(hdc_, MM_ANISOTROPIC);
                SetWindowExtEx(hdc_, 2, 2, nullptr);
                SetViewportExtEx(hdc_, 1, -1, nullptr);
                SetWindowOrgEx(hdc_, 0, 0, nullptr);
                SetViewportOrgEx(hdc_, 10, height_ - 10, nullptr);
                break;
            case Mapping::MirrorX:
                SetMapMode(hdc_, MM_ANISOTROPIC);
                SetWindowExtEx(hdc_, 3, 3, nullptr);
                SetViewportExtEx(hdc_, -1, 1, nullptr);
                SetWindowOrgEx(hdc_, 30, 60, nullptr);
                SetViewportOrgEx(hdc_, width_ - 5, 0, nullptr);
                break;
        }
    }
    Mapping mapping() const { return mapping_; }

    // Logical point of a device point, under the current mapping.
    POINT L(int x, int y) const {
        POINT p{x, y};
        DPtoLP(hdc_, &p, 1);
        return p;
    }
    POINT ToLogical(int x, int y) const { return L(x, y); }
    POINT ToDevice(int x, int y) const {
        POINT p{x, y};
        LPtoDP(hdc_, &p, 1);
        return p;
    }
    // Logical length of n device pixels along x (positive).
    int Len(int n) const {
        POINT a = L(0, 0), b = L(n, n);
        return b.x > a.x ? b.x - a.x : a.x - b.x;
    }

    // 0x00RRGGBB of a device pixel; 0xFFFFFFFF outside the page.
    uint32_t Pixel(int x, int y) const {
        SWGDI_SURFACE s;
        if (!swgdi_GetSurface(hdc_, &s) || x < 0 || y < 0 || x >= s.width || y >= s.height)
            return 0xFFFFFFFFu;
        const uint8_t* row = static_cast<const uint8_t*>(s.bits) + s.stride * y;
        uint32_t v;
        std::memcpy(&v, row + 4 * x, 4);
        return v & 0x00FFFFFFu;
    }
    bool Ink(int x, int y) const { return Pixel(x, y) != 0x00FFFFFFu; }

    // Number of non-white pixels in [x0, x1) x [y0, y1).
    int CountInk(int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) n += Ink(x, y) ? 1 : 0;
        return n;
    }

    // The whole page as 0x00RRGGBB values, row by row.
    std::vector<uint32_t> Pixels() const {
        std::vector<uint32_t> v;
        v.reserve(static_cast<size_t>(width_) * height_);
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) v.push_back(Pixel(x, y));
        return v;
    }

    // Inked bounding box [left, top, right, bottom) of the page; all -1 when blank.
    RECT InkBox() const {
        RECT r{-1, -1, -1, -1};
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (Ink(x, y)) {
                    if (r.left < 0 || x < r.left) r.left = x;
                    if (r.top < 0) r.top = y;
                    if (x + 1 > r.right) r.right = x + 1;
                    r.bottom = y + 1;
                }
        return r;
    }

    void Clear() { PatBlt(hdc_, 0, 0, width_, height_, WHITENESS); }

    void JournalOn() {
        swgdi_ClearJournal(hdc_);
        swgdi_EnableJournal(hdc_, TRUE);
    }
    void JournalOff() { swgdi_EnableJournal(hdc_, FALSE); }

private:
    HDC hdc_ = nullptr;
    int width_, height_, dpi_;
    Mapping mapping_ = Mapping::Text;
};

using journal::Call;
using journal::Dump;
using journal::Journal;
using journal::Line;
using journal::Seg;

// The entries of the given operations only, in order.
inline std::vector<Call> Only(const std::vector<Call>& all, std::initializer_list<const char*> ops) {
    std::vector<Call> out;
    for (const Call& c : all)
        for (const char* op : ops)
            if (c.op == op) out.push_back(c);
    return out;
}

// The rectangle and ellipse tests' page: 400 x 300 pixels at 96 dpi.
struct SmallPage : Page {
    SmallPage() : Page(400, 300, 96) {}
};

inline std::vector<Call> OnlyOp(const std::vector<Call>& all, const char* op) { return Only(all, {op}); }

// The drawing primitives of a journal, in order.
inline std::vector<Call> Drawn(const std::vector<Call>& all) {
    return Only(all, {"Polyline", "Polygon", "Rectangle", "Ellipse", "FillRect", "LineTo"});
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

}  // namespace wx5n::test

#endif  // WX5N_TESTS_DRAW_TEST_UTIL_H
