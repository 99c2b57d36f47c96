// Line styles: the dash pattern of a line kind for one device context, as
// alternating dash and gap lengths in logical units, each a whole number of
// device pixels long.
#include <cstdlib>

#include "draw/draw_internal.h"

namespace wx5n {
namespace {

// The built-in patterns in points (1/72 inch), scaled by the unit u below.
struct LineStyleRow {
    int kind;
    int count;
    int entry[6];
};

constexpr LineStyleRow kLineStyleTable[] = {
    {2, 2, {2, 2, 0, 0, 0, 0}},  // short dashes
    {3, 2, {6, 2, 0, 0, 0, 0}},  // long dashes
    {4, 4, {6, 2, 2, 2, 0, 0}},  // long and short dashes
    {5, 2, {8, 3, 0, 0, 0, 0}},  // long dashes, wider gaps
    {6, 4, {8, 3, 3, 3, 0, 0}},  // long and short dashes, wider gaps
    {7, 6, {8, 3, 3, 3, 3, 3}},  // long dash and two short dashes
};

// Rounds a length to the nearest whole number of device pixels (p logical
// units each), halves up, never below one pixel. 64-bit so that lengths
// near the int range neither overflow nor wrap; the result saturates.
int SnapToPixels(int64_t v, int64_t p) {
    int64_t s = (p / 2 + v) / p * p;
    if (s == 0) s = p;
    return ClampLong(s);
}

// Logical units per inch of the device context: the device's pixels per
// inch (from its width in pixels and in millimetres) taken to logical units.
int UnitsPerInchOf(HDC hdc) {
    int res = GetDeviceCaps(hdc, HORZRES);
    int mm = GetDeviceCaps(hdc, HORZSIZE);
    int dpi = 0;
    if (mm != 0) dpi = TruncToInt(res / (mm * 10.0 / 254.0));
    POINT pts[2] = {{0, 0}, {dpi, dpi}};
    DPtoLP(hdc, pts, 2);
    int64_t d = static_cast<int64_t>(pts[1].x) - pts[0].x;
    return ClampLong(d < 0 ? -d : d);
}

}  // namespace
}  // namespace wx5n

using namespace wx5n;

extern "C" FOAPI int FOCALL foGetLineStyle(HDC hdc, int kind, int width, const int* pattern,
                                           int count, int* out, int capacity,
                                           int unitsPerInch) {
    if (!hdc || !out) return -1;
    if (kind == kKindNone) return 0;
    if (kind == kKindSolid || kind == kKindDouble || kind == kKindWave) return 1;

    int upi = unitsPerInch != 0 ? unitsPerInch : UnitsPerInchOf(hdc);
    int64_t p = GetPixToLog(hdc);
    // One point (20 of 1440 twips per inch); unsigned 32-bit as the unit is
    // defined, so a negative units-per-inch wraps rather than going negative.
    int64_t u = upi != 0 ? static_cast<int64_t>(static_cast<uint32_t>(upi) * 20u / 1440u)
                         : GetMinimumLength(hdc);
    if (width >= u) u = width;

    if (kind == kKindUser) {
        if (capacity < count || (count % 2) != 0 || count == 0 || !pattern) return -1;
        for (int i = 0; i < count; ++i) {
            int64_t v = pattern[i];
            if (v < u) v = u;
            out[i] = SnapToPixels(v, p);
        }
        return count;  // a negative even count writes nothing and is handed back
    }

    const LineStyleRow* row = &kLineStyleTable[0];
    for (const LineStyleRow& r : kLineStyleTable) {
        if (r.kind == kind) {
            row = &r;
            break;
        }
    }
    if (capacity < row->count) return -1;
    for (int i = 0; i < row->count; ++i) out[i] = SnapToPixels(row->entry[i] * u, p);
    return row->count;
}
