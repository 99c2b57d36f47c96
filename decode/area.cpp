// Arc and hatched-area elements: an outline of straight pieces and arcs
// between a group start and a group end escape, reduced to its bounding box
// and four corner radii.
#include "decode/decode_common.h"

namespace wx5n {
namespace {

// Corner radius of an arc from a to b (device pixels, y down): the slot is
// chosen by the direction the arc runs, the value is its horizontal extent.
void StoreCornerRadius(FO_POINT a, FO_POINT b, FO_ATTR* attr) {
    const bool right = a.x <= b.x;
    const bool down = a.y <= b.y;
    const int slot = right ? (down ? 0 : 2) : (down ? 1 : 3);
    const int32_t extent = right ? static_cast<int32_t>(b.x) - a.x : static_cast<int32_t>(a.x) - b.x;
    attr->line.cornerRadius[slot] = static_cast<unsigned short>(extent);
}

}  // namespace
}  // namespace wx5n

using namespace wx5n;

extern "C" FOAPI int FOCALL fordarchatch(unsigned char** cursor, unsigned int* remaining,
                                         FO_ATTR* attr, unsigned int dpi, FO_POINT* low,
                                         FO_POINT* high, FO_WORK* work) {
    if (!DpiInRange(dpi)) return FO_ERR_RECORD;
    const uint8_t d = WidthDivisor(dpi);
    FO_POINT boxLow = {32767, 32767};
    FO_POINT boxHigh = {-32767, -32767};
    for (unsigned short& r : attr->line.cornerRadius) r = 0;

    RecordCursor cur(cursor, remaining);
    for (;;) {
        uint16_t cls = 0;
        int len = 0;
        ByteView rec;
        const int framed = cur.Next(&cls, &len, &rec);
        if (framed != 0) return framed;
        bool ends = false;

        switch (cls) {
            case kClassPolyline:
                // The first two points; further points are not read.
                if (!rec.Has(0, 10)) return FO_ERR_RECORD;
                FoldIntoBox(ConvertPoint(rec, 2, dpi, work), &boxLow, &boxHigh);
                FoldIntoBox(ConvertPoint(rec, 6, dpi, work), &boxLow, &boxHigh);
                break;
            case kClassArc3Point: {
                // Start at 2 and end at 10; the intermediate point is not read.
                if (!rec.Has(0, 14)) return FO_ERR_RECORD;
                const FO_POINT a = ConvertPoint(rec, 2, dpi, work);
                const FO_POINT b = ConvertPoint(rec, 10, dpi, work);
                StoreCornerRadius(a, b, attr);
                FoldIntoBox(a, &boxLow, &boxHigh);
                FoldIntoBox(b, &boxLow, &boxHigh);
                break;
            }
            case kClassGdp:
                // Stepped over. An image or bitmap primitive frames with
                // length 0 and stepping would not move: it is refused.
                if (len == 0) return FO_ERR_RECORD;
                break;
            case kClassEscape: {
                if (!rec.Has(2, 2)) return FO_ERR_RECORD;
                const uint16_t id = rec.U16(2);
                if (id == kEscGroupEnd) {
                    ends = true;
                } else if (id == kEscLineDef) {
                    if (!rec.Has(0, LineDefLength(rec))) return FO_ERR_RECORD;
                    ReadLineDef(rec, attr, work);
                } else if (id != kEscGroupStart) {
                    return FO_ERR_RECORD;  // line ends included
                }
                break;
            }
            default:
                if (ApplyCommon(cls, rec, attr, work, dpi, d, {true}) != Common::kApplied)
                    return FO_ERR_RECORD;
                break;
        }
        cur.Advance(static_cast<size_t>(len));
        if (ends) {
            *low = boxLow;
            *high = boxHigh;
            return 0;
        }
    }
}
