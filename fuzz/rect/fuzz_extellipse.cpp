// foExtEllipse with fuzzer-chosen centre, radii, hatch codes, fill flags,
// line records and mappings on a small page.
#include "fuzz/rect/fuzz_rect_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzrect::Bytes in(data, size);
    fuzzrect::Run(in, [&](HDC dc, MNG_OBJECT* mng) {
        for (int figure = 0; figure < 3; ++figure) {
            int cx = fuzzrect::Coord(in), cy = fuzzrect::Coord(in);
            int rx = fuzzrect::Coord(in), ry = fuzzrect::Coord(in);
            const int hatch = fuzzrect::Hatch(in);
            const int flags = in.U8();
            LINEREC line = fuzzrect::Line(in);
            fuzzrect::TameWidth(&line);
            cx = fuzzrect::Near(line, cx);
            cy = fuzzrect::Near(line, cy);
            rx = fuzzrect::Near(line, rx);
            ry = fuzzrect::Near(line, ry);
            const LINEREC before = line;
            foExtEllipse(dc, cx, cy, rx, ry, hatch, flags, &line, mng);
            if (std::memcmp(&line, &before, sizeof(line)) != 0) __builtin_trap();
        }
    });
    return 0;
}
