// Drawing scenarios of the library (foExtLine, foExtRectangle, foExtEllipse
// with foGetHatchBrush fills), compared pixel for pixel between a real GDI
// and swgdi. Written once against the library's exported functions and a few
// GDI calls for setup: the same source builds natively against the shared
// library and swgdi, and with mingw-w64 together with the drawing sources
// against gdi32.
#ifndef WX5N_LIB_CONFORMANCE_SCENARIOS_H
#define WX5N_LIB_CONFORMANCE_SCENARIOS_H

#include "include/wx5novl1.h"

struct LibScenario {
    const char* name;
    const char* group;  // line, polyline, rect, ellipse, metric
    bool exact;         // must match pixel for pixel: thin lines, axis-parallel
                        // filled rectangles and polygons only; the others
                        // (round pens, ellipses, arcs) are reported
    void (*draw)(HDC dc);
};

// Canvas of every scenario, odd on both axes, 32 bits per pixel.
enum { kLibCanvasWidth = 121, kLibCanvasHeight = 97 };

// The value every canvas pixel holds before a scenario draws.
const unsigned kLibBackground = 0xCCCCCCCCu;

extern const LibScenario kLibScenarios[];
extern const int kLibScenarioCount;

#endif
