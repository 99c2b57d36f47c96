// Hatch brushes: seventeen halftone densities, each an 8 x 8 monochrome
// bitmap resource of the library's own module made into a pattern brush.
// A monochrome pattern brush paints its 0 bits (ink) in the text colour and
// its 1 bits in the background colour.
#include "draw/draw_internal.h"

namespace wx5n {
namespace {

// The library's module, by the file name it is loaded under.
constexpr char kModuleName[] = "WX5NOVL1.DLL";

struct HatchEntry {
    int code;      // density code; ink grows with it, 1000 is solid
    int resource;  // BITMAP resource identifier
};

// Searched in this order; the lookup is exact (there is no nearest match).
constexpr HatchEntry kHatchTable[] = {
    {50, 117},  {100, 102}, {125, 103}, {200, 104}, {250, 105}, {300, 106},
    {375, 107}, {400, 108}, {500, 109}, {600, 110}, {625, 111}, {700, 112},
    {750, 113}, {800, 114}, {875, 115}, {900, 116}, {1000, 101},
};

}  // namespace
}  // namespace wx5n

using namespace wx5n;

extern "C" FOAPI HBRUSH FOCALL foGetHatchBrush(int code) {
    if (code == 0) return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    const HatchEntry* entry = nullptr;
    for (const HatchEntry& e : kHatchTable) {
        if (e.code == code) {
            entry = &e;
            break;
        }
    }
    if (!entry) return nullptr;
    HMODULE module = GetModuleHandleA(kModuleName);
    if (!module) return nullptr;
    HBITMAP bitmap = LoadBitmapA(module, MAKEINTRESOURCEA(entry->resource));
    if (!bitmap) return nullptr;
    HBRUSH brush = CreatePatternBrush(bitmap);
    DeleteObject(bitmap);  // the brush keeps its own copy of the pattern
    return brush;
}
