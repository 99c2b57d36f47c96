#include "mapping.h"

#include <cstring>

#include "wx5nhost.h"

namespace wx5nh {

uint32_t ColourRgb(unsigned code) {
    // The colour codes foprintcolor gives: 7 is the usual foreground (colour
    // index 1), 17 the device's default (index 0), 8 the background.
    switch (code) {
        case 0: return 0x000000;   // black
        case 1: return 0x0000FF;   // blue
        case 2: return 0xFF0000;   // red
        case 3: return 0xFF00FF;   // magenta
        case 4: return 0x00A000;   // green
        case 5: return 0x00C0C0;   // cyan
        case 6: return 0xE0C000;   // yellow
        case 7: return 0x000000;   // black, the foreground
        case 8: return 0xFFFFFF;   // white, the background
        case 17: return 0x000000;  // the device's default: black
        default: return 0x000000;
    }
}

COLORREF ColourRef(unsigned code) {
    const uint32_t rgb = ColourRgb(code);
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

int HatchDensity(unsigned pattern) {
    // Pattern 0 is solid ink and 53 an empty interior; the patterns 30 to 52
    // run from light to dark over the 17 densities of the hatch bitmaps.
    static constexpr int kDensities[17] = {50,  100, 125, 200, 250, 300, 375, 400, 500,
                                           600, 625, 700, 750, 800, 875, 900, 1000};
    if (pattern == 0) return 1000;
    if (pattern < 30 || pattern > 52) return 0;
    const unsigned step = (pattern - 30) * 16 / 22;  // 30 -> 50, 52 -> 1000
    return kDensities[step];
}

int CapOfLineEnd(unsigned lineEnd) { return lineEnd >= 1 && lineEnd <= 3 ? static_cast<int>(lineEnd) : 1; }

int FillDensity(const FO_ATTR& attr) { return attr.line.hatched ? HatchDensity(attr.line.hatchIndex) : 0; }

LINEREC LineRecord(const FO_ATTR& attr, unsigned dpi, bool edge, int widthPx) {
    LINEREC line{};
    line.width = widthPx > 0 ? widthPx : 1;
    line.color = ColourRef(attr.line.lineColour);
    line.cap = CapOfLineEnd(attr.line.lineEnd);
    line.unitsPerInch = static_cast<int>(dpi);

    const unsigned style = edge ? attr.line.edgeStyle : attr.line.lineStyle;
    const unsigned count = edge ? attr.line.edgeDashCount : attr.line.lineDashCount;
    if (style == 9) {
        line.kind = 9;  // double line
        line.width = widthPx >= 3 ? widthPx : 3;
        return line;
    }
    if (style == 10) {
        line.kind = 10;  // wave line: a peak-to-peak height of four widths
        line.waveHeight = 4 * line.width;
        return line;
    }
    if (style == 1 || count < 2) {
        line.kind = 1;
        return line;
    }
    // The overlay's own dash lengths, scaled to the device.
    unsigned short l[4] = {0, 0, 0, 0};
    if (edge) fordlinekind2(&attr, dpi, &l[0], &l[1], &l[2], &l[3]);
    else fordlinekind(&attr, dpi, &l[0], &l[1], &l[2], &l[3]);
    const unsigned n = count >= 4 ? 4 : 2;
    bool any = false;
    for (unsigned i = 0; i < n; ++i) {
        line.dashPattern[i] = l[i] > 0 ? l[i] : 1;
        any = any || l[i] > 0;
    }
    if (!any) {
        line.kind = 1;
        return line;
    }
    line.kind = 8;
    line.dashCount = static_cast<int>(n);
    return line;
}

RECTREC AreaShape(const FO_ATTR& attr, const RECT& box) {
    // Corner slots by the direction each arc runs, for an outline drawn
    // clockwise: [2] top-left, [0] top-right, [1] bottom-right, [3]
    // bottom-left.
    RECTREC shape;
    std::memset(&shape, 0, sizeof(shape));
    shape.radius[0] = attr.line.cornerRadius[2];
    shape.radius[1] = attr.line.cornerRadius[0];
    shape.radius[2] = attr.line.cornerRadius[1];
    shape.radius[3] = attr.line.cornerRadius[3];
    const long w = static_cast<long>(box.right) - box.left;
    const long h = static_cast<long>(box.bottom) - box.top;
    const long limit = (w < h ? w : h) / 2;
    for (unsigned short& r : shape.radius) {
        if (limit <= 0) r = 0;
        else if (r > limit) r = static_cast<unsigned short>(limit);
    }
    return shape;
}

}  // namespace wx5nh

extern "C" unsigned long wx5nh_colour_rgb(unsigned code) { return wx5nh::ColourRgb(code); }
