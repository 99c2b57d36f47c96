// foExtRectangle with fuzzer-chosen geometry, radii, open sides, hatch
// codes, fill flags, line records and mappings on a small page.
#include "fuzz/rect/fuzz_rect_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzrect::Bytes in(data, size);
    fuzzrect::Run(in, [&](HDC dc, MNG_OBJECT* mng) {
        for (int figure = 0; figure < 3; ++figure) {
            RECT r{fuzzrect::Coord(in), fuzzrect::Coord(in), fuzzrect::Coord(in),
                   fuzzrect::Coord(in)};
            RECTREC shape;
            std::memset(&shape, 0, sizeof(shape));
            const uint8_t open = in.U8();
            shape.openSides = open < 240 ? open % 72 : in.U32();
            for (unsigned short& radius : shape.radius)
                radius = in.U8() % 3 == 0 ? in.U16() : in.U8();
            const int hatch = fuzzrect::Hatch(in);
            const int flags = in.U8();
            LINEREC line = fuzzrect::Line(in);
            fuzzrect::TameWidth(&line);
            r = RECT{fuzzrect::Near(line, r.left), fuzzrect::Near(line, r.top),
                     fuzzrect::Near(line, r.right), fuzzrect::Near(line, r.bottom)};
            for (unsigned short& radius : shape.radius)
                radius = static_cast<unsigned short>(fuzzrect::Near(line, radius));
            const LINEREC before = line;
            foExtRectangle(dc, r, hatch, flags, &line, &shape, mng);
            // The host's record is never written.
            if (std::memcmp(&line, &before, sizeof(line)) != 0) __builtin_trap();
        }
    });
    return 0;
}
