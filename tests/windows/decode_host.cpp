// Loads overlay files through the library and prints every decoded element,
// one line each, as a host sees it: every field that holds no address, the
// attribute block as a hash of its bytes. Built natively and for Windows, so
// the two runs can be compared line for line.
#include <cstdio>
#include <initializer_list>

#include "host/wx5nhost.h"
#include "include/wx5novl1.h"

namespace {

int PrintElement(void*, const WX5NH_ELEMENT* element) {
    const WX5NH_ELEMENT& e = *element;
    const FO_BMPINFO& b = e.bitmap;
    unsigned hash = 2166136261u;  // FNV-1a: pointer-free, so alike on every build
    for (unsigned char byte : e.attr.raw) hash = (hash ^ byte) * 16777619u;
    std::printf("kind %d result %d at %zu..%zu attr %08x", e.kind, e.result, e.offset, e.next, hash);
    for (const FO_POINT& p : {e.point[0], e.point[1], e.point[2], e.centre, e.low, e.high, e.textPosition,
                              e.aux1, e.aux2, e.imagePosition, e.bitmapCorner[0], e.bitmapCorner[1]})
        std::printf(" %d,%d", p.x, p.y);
    std::printf(" line %u %u %u %u %u %u %u r %u %u %u text %u %u image %u %u bmp %u %u %u %u %u %u %u"
                " %u %u\n", e.lineValue, e.segment, e.width, e.flagsHigh, e.flagsLow, e.started, e.ended,
                e.radius, e.radiusX, e.radiusY, e.unitTenths, e.unitHalf, e.imageSize, e.imageRows, b.code,
                b.valueA, b.valueB, b.valueC, b.valueD, b.valueE, b.colour, b.mode, b.bitsSize);
    return 0;
}

int Print(const char* file) {
    WX5NH_OVERLAY overlay;
    const int r = wx5nh_load(file, &overlay);
    std::printf("%s: load %d kind %d format %d version %d size %zu first %zu\n", file, r, overlay.kind,
                overlay.dataFormat, overlay.layoutVersion, overlay.size, overlay.firstElement);
    if (r != 0) return 1;
    const WX5NH_WALK_OPTIONS options = {300, 1, 0};
    WX5NH_STOP stop{};
    wx5nh_walk(&overlay, &options, PrintElement, nullptr, &stop);
    wx5nh_free(&overlay);
    std::printf("walk %d at %zu elements %zu\n", stop.result, stop.offset, stop.elements);
    return stop.result == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    int status = 0;
    for (int i = 1; i < argc; ++i) status |= Print(argv[i]);
    return status;
}
