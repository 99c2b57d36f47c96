// Drawing scenarios compared pixel for pixel between swgdi and a real GDI.
// Written once against the GDI API only: the same source builds natively
// against swgdi and with mingw-w64 against gdi32.
#ifndef SWGDI_CONFORMANCE_SCENARIOS_H
#define SWGDI_CONFORMANCE_SCENARIOS_H

#ifdef _WIN32
#include <windows.h>
#else
#include "swgdi.h"
#endif

struct Scenario {
    const char* name;
    const char* group;  // lines, rect, fillrect, patblt, polygon, transform, pattern,
                        // rop, ellipse, wide, mono
    bool exact;         // must match pixel for pixel; the others are reported
                        // (shapes where the reference reads rows it never
                        // wrote: tall, narrow round-rectangle regions)
    int bpp;            // 32 or 1
    void (*draw)(HDC dc);
};

// Canvas of every scenario, odd on both axes.
enum { kCanvasWidth = 61, kCanvasHeight = 47 };

// Results of GDI calls on edge cases (failure results, stock objects,
// sizes), as integers; the names say what each is. Returns the count.
struct ApiResult {
    const char* name;
    long value;
};
int ApiProbe(ApiResult* out, int max);

extern const Scenario kScenarios[];
extern const int kScenarioCount;

#endif
