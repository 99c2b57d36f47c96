// foExtLine with fuzzer-chosen coordinates, widths, kinds, caps, dash
// patterns, dash state and mapping on a small page kept for the whole run
// (each input sets its mapping afresh). It must not crash, hang or write
// outside the page's bitmap (the sanitizers watch the bitmap's heap block);
// unmanaged drawing must leave no GDI object behind, and the dash state it
// hands back must point into the pattern.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "draw/draw_internal.h"
#include "swgdi_journal.h"

namespace {

constexpr int kPageW = 97, kPageH = 61;

HDC Page() {
    static HDC page = swgdi_CreatePageDC(kPageW, kPageH, 144, 144, 32);
    return page;
}

void SetMapping(HDC dc, FuzzedDataProvider& in) {
    SetMapMode(dc, MM_TEXT);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    switch (in.ConsumeIntegralInRange(0, 4)) {
        case 0: break;
        case 1: SetMapMode(dc, MM_TWIPS); break;
        case 2: SetMapMode(dc, MM_LOMETRIC); break;
        case 3: SetMapMode(dc, MM_HIENGLISH); break;
        default: {
            // Scales between 1/16 and 16 pixels per unit, either sign.
            SetMapMode(dc, MM_ANISOTROPIC);
            auto ext = [&] {
                int v = in.ConsumeIntegralInRange(1, 16);
                return in.ConsumeBool() ? -v : v;
            };
            SetWindowExtEx(dc, ext(), ext(), nullptr);
            SetViewportExtEx(dc, ext(), ext(), nullptr);
            break;
        }
    }
    SetWindowOrgEx(dc, in.ConsumeIntegralInRange(-2000, 2000),
                   in.ConsumeIntegralInRange(-2000, 2000), nullptr);
    SetViewportOrgEx(dc, in.ConsumeIntegralInRange(-200, 200),
                     in.ConsumeIntegralInRange(-200, 200), nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    HDC dc = Page();
    SetMapping(dc, in);

    LINEREC line;
    std::memset(&line, 0, sizeof(line));
    line.kind = in.ConsumeIntegralInRange(-2, 12);
    line.cap = in.ConsumeIntegralInRange(-1, 5);
    line.color = in.ConsumeIntegral<uint32_t>() & 0xFFFFFF;
    line.dashCount = in.ConsumeIntegralInRange(-8, 8);
    for (int& v : line.dashPattern) v = in.ConsumeIntegral<int>();
    line.dashCarry = in.ConsumeIntegral<int>();
    line.dashIndex = in.ConsumeIntegralInRange(-3, 9);
    line.unitsPerInch = in.ConsumeBool() ? 0 : in.ConsumeIntegral<int>();

    // Lines walked piece by piece (dashes, waves) cost time in proportion
    // to their length over their smallest step, as with any GDI pen; they
    // are kept within a thousand units of the origin (up to 16 000 pixels
    // on the finest mapping, far beyond the page). Solid and double lines
    // are single shapes and take end points from the whole int range.
    const bool single = line.kind == 1 || line.kind == 9;
    const int range = single ? INT32_MAX : 1000;
    auto coord = [&] { return in.ConsumeIntegralInRange(-range, range); };
    // Lines drawn in one piece take widths up to 2^30 units; lines walked
    // piece by piece stay within a hundred (up to 1600 pixels on the finest
    // mapping, far wider than the page), since every piece of a wide pen
    // costs swgdi a disc at each end.
    line.width = single ? in.ConsumeIntegralInRange(-(1 << 30), 1 << 30)
                        : in.ConsumeIntegralInRange(-100, 100);
    line.waveHeight = in.ConsumeIntegralInRange(-3000, 3000);
    int x1 = coord(), y1 = coord(), x2 = coord(), y2 = coord();
    if (!single) {
        // Keep every dash at least a unit and the pattern's own lengths
        // modest, so the walk stays short on the coarsest mapping.
        for (int& v : line.dashPattern) v = std::abs(v % 4000);
        line.dashCarry %= 4000;
        if (line.unitsPerInch > 20000 || line.unitsPerInch < -20000) line.unitsPerInch %= 20000;
        if (line.unitsPerInch < 0) line.unitsPerInch = -line.unitsPerInch;
    }
    const bool managed = in.ConsumeBool();

    const int before = swgdi_ObjectCount();
    MNG_OBJECT mng;
    if (managed) StartMngObject(dc, &mng);
    LINEREC in_line = line;
    int rc = foExtLine(dc, x1, y1, x2, y2, &line, managed ? &mng : nullptr);
    if (managed) EndMngObject(dc, &mng);

    if (rc != 0 && rc != 1) std::abort();
    if (swgdi_ObjectCount() != before) std::abort();
    // Only the dash state may change, and only on success.
    if (rc == 0 || line.kind == 10 || line.kind == 0) {
        if (std::memcmp(&line, &in_line, sizeof(line)) != 0) std::abort();
    } else {
        in_line.dashCarry = line.dashCarry;
        in_line.dashIndex = line.dashIndex;
        if (std::memcmp(&line, &in_line, sizeof(line)) != 0) std::abort();
        if (line.dashCarry < 0 || line.dashIndex < 0 || line.dashIndex >= 6) std::abort();
    }
    return 0;
}
