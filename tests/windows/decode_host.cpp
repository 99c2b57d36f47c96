// Loads overlay files through the library and prints every decoded element,
// one line each, as a host sees it. Built natively and for Windows, so the
// two runs can be compared line for line.
#include <cstdio>
#include <cstring>
#include <vector>

#include "include/wx5novl1.h"
#include "host/wx5nhost.h"

namespace {

int Print(const char* file) {
    unsigned size = 0;
    if (pcom_fogetreadsize(file, &size, 0) != 0) {
        std::printf("%s: cannot size\n", file);
        return 1;
    }
    std::vector<unsigned char> image(size);
    unsigned loaded = 0;
    unsigned char kind = 0;
    unsigned short format = 0, version = 0;
    const int r = pcom_foreadd33(3, file, image.data(), &size, &loaded, &kind, &format, &version, 0);
    std::printf("%s: load %d kind %d format %d version %d size %u loaded %u\n", file, r, kind,
                kind == 1 ? format : 0, kind == 1 ? version : 0, size, loaded);
    if (r != 0) return 1;
    FO_FONTBLOCK fonts{};
    const size_t first = wx5nh_first_element(image.data(), loaded, kind, format, &fonts);
    if (first == 0) {
        std::printf("%s: no first element\n", file);
        return 1;
    }
    WX5NH_WALK_SETUP setup{};
    setup.dpi = 300;
    setup.fonts = &fonts;
    setup.textMode = version == 1 ? 1 : 2;
    setup.textEncoding = 3;
    setup.keepAttributes = 1;
    WX5NH_STOP w{};
    wx5nh_walk_records(
        image.data() + first, loaded - first, &setup, [](void*, const WX5NH_ELEMENT* e) {
            const WX5NH_ELEMENT& d = *e;
            const FO_ATTR_LINE& a = d.attr.line;
            std::printf("kind %d result %d", d.kind, d.result);
            switch (d.kind) {
                case 1: case 3: case 10:
                    std::printf(" p %d,%d %d,%d width %d style %d lw %d colour %d hatch %d/%d", d.point[0].x,
                                d.point[0].y, d.point[1].x, d.point[1].y, d.width, a.lineStyle, a.lineWidth,
                                a.lineColour, a.hatched, a.hatchIndex);
                    break;
                case 2: case 8:
                    std::printf(" c %d,%d r %d %d %d", d.centre.x, d.centre.y, d.radius, d.radiusX, d.radiusY);
                    break;
                case 4: case 5: case 6:
                    std::printf(" box %d,%d %d,%d radii %d %d %d %d", d.low.x, d.low.y, d.high.x, d.high.y,
                                a.cornerRadius[0], a.cornerRadius[1], a.cornerRadius[2], a.cornerRadius[3]);
                    break;
                case 7: case 12:
                    std::printf(" at %d,%d count %d length %d form %d height %d rotation %d", d.textPosition.x,
                                d.textPosition.y, d.attr.text.charCount, d.attr.text.textLength,
                                d.attr.text.textForm, d.attr.text.charHeight, d.attr.text.textRotation);
                    break;
                case 9:
                    std::printf(" at %d,%d rows %d bytes %d", d.imagePosition.x, d.imagePosition.y, d.imageRows,
                                d.imageSize);
                    break;
                case 11:
                    std::printf(" corners %d,%d %d,%d bits %u mode %d", d.bitmapCorner[0].x, d.bitmapCorner[0].y,
                                d.bitmapCorner[1].x, d.bitmapCorner[1].y, d.bitmap.bitsSize, d.bitmap.mode);
                    break;
                default: break;
            }
            std::printf("\n");
            return 0;
        },
        nullptr, &w);
    std::printf("walk %d elements %zu\n", w.result, w.elements);
    return w.result == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    int status = 0;
    for (int i = 1; i < argc; ++i) status |= Print(argv[i]);
    return status;
}
