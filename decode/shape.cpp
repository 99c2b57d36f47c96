// Rectangle, circle and ellipse elements.
#include <cstdlib>

#include "decode/decode_common.h"

namespace wx5n {
namespace {

// Escapes of the shape decoders: group start and end are stepped over, the
// two line ends and line definitions are applied. False: rejected.
bool ShapeEscape(ByteView rec, FO_ATTR* attr, FO_WORK* work) {
    if (!rec.Has(2, 2)) return false;
    switch (rec.U16(2)) {
        case kEscGroupStart:
        case kEscGroupEnd:
            return true;
        case kEscLineEnd:
        case kEscLineEnd2: {
            if (!rec.Has(6, 2)) return false;
            const unsigned short code = LineEndCode(rec.U16(6));
            if (rec.U16(2) == kEscLineEnd) attr->line.lineEnd = code;
            else attr->line.lineEnd2 = code;
            return true;
        }
        case kEscLineDef:
            if (!rec.Has(0, LineDefLength(rec))) return false;
            ReadLineDef(rec, attr, work);
            return true;
        default:
            return false;
    }
}

// The shared loop of the three shape decoders: applies attribute records
// and escapes until the shape record of class shapeClass, which must be at
// least shapeLength bytes. Returns 0 with *shape set to it (the cursor still
// on it), or the failure.
int FindShape(RecordCursor& cur, FO_ATTR* attr, FO_WORK* work, unsigned dpi, uint16_t shapeClass,
              size_t shapeLength, bool lineColour, ByteView* shape, int* shapeLen) {
    const uint8_t d = WidthDivisor(dpi);
    for (;;) {
        uint16_t cls = 0;
        int len = 0;
        ByteView rec;
        const int framed = cur.Next(&cls, &len, &rec);
        if (framed != 0) return framed;
        if (cls == shapeClass) {
            if (!rec.Has(0, shapeLength)) return FO_ERR_RECORD;
            *shape = rec;
            *shapeLen = len;
            return 0;
        }
        if (cls == kClassEscape) {
            if (!ShapeEscape(rec, attr, work)) return FO_ERR_RECORD;
        } else if (ApplyCommon(cls, rec, attr, work, dpi, d, {lineColour}) != Common::kApplied) {
            return FO_ERR_RECORD;
        }
        cur.Advance(static_cast<size_t>(len));
    }
}

// |a - b| of two device coordinates, 32-bit, kept to 16 bits.
unsigned short Distance(short a, short b) {
    return static_cast<unsigned short>(std::abs(static_cast<int32_t>(a) - b));
}

}  // namespace
}  // namespace wx5n

using namespace wx5n;

extern "C" FOAPI int FOCALL fordrect(unsigned char** cursor, unsigned int* remaining, FO_ATTR* attr,
                                     unsigned int dpi, FO_LINEOUT* out, FO_WORK* work) {
    if (!DpiInRange(dpi)) return FO_ERR_RECORD;
    RecordCursor cur(cursor, remaining);
    ByteView rec;
    int len = 0;
    const int found = FindShape(cur, attr, work, dpi, kClassRectangle, 10, false, &rec, &len);
    if (found != 0) return found;

    // The corners may come in any order: the result is normalised.
    FO_POINT low = {32767, 32767};
    FO_POINT high = {-32767, -32767};
    attr->line.shape = 16;
    FoldIntoBox(ConvertPoint(rec, 2, dpi, work), &low, &high);
    FoldIntoBox(ConvertPoint(rec, 6, dpi, work), &low, &high);
    cur.Advance(static_cast<size_t>(len));
    *out->first = low;
    *out->second = high;
    *out->width = 1;
    return 0;
}

extern "C" FOAPI int FOCALL fordcircle(unsigned char** cursor, unsigned int* remaining,
                                       FO_ATTR* attr, unsigned int dpi, FO_POINT* centre,
                                       unsigned short* radius, FO_WORK* work) {
    if (!DpiInRange(dpi)) return FO_ERR_RECORD;
    RecordCursor cur(cursor, remaining);
    ByteView rec;
    int len = 0;
    const int found = FindShape(cur, attr, work, dpi, kClassCircle, 8, false, &rec, &len);
    if (found != 0) return found;

    attr->line.shape = 48;
    const FO_POINT c = ConvertPoint(rec, 2, dpi, work);
    // The radius is a length: no added 1 and no origin. Unsigned 32-bit.
    const uint32_t r = rec.U16(6);
    *radius = static_cast<unsigned short>(r * dpi / 1440u);
    cur.Advance(static_cast<size_t>(len));
    *centre = c;
    return 0;
}

extern "C" FOAPI int FOCALL fordellipse(unsigned char** cursor, unsigned int* remaining,
                                        FO_ATTR* attr, unsigned int dpi, FO_POINT* centre,
                                        unsigned short* radiusX, unsigned short* radiusY,
                                        FO_WORK* work) {
    if (!DpiInRange(dpi)) return FO_ERR_RECORD;
    RecordCursor cur(cursor, remaining);
    ByteView rec;
    int len = 0;
    const int found = FindShape(cur, attr, work, dpi, kClassEllipse, 14, true, &rec, &len);
    if (found != 0) return found;

    attr->line.shape = 80;
    const FO_POINT c = ConvertPoint(rec, 2, dpi, work);
    const FO_POINT a = ConvertPoint(rec, 6, dpi, work);
    const FO_POINT b = ConvertPoint(rec, 10, dpi, work);
    // One coordinate of each conjugate diameter end: the ellipse is taken as
    // axis-parallel. The added 1 and the origin cancel in the differences.
    unsigned short rx;
    unsigned short ry;
    if (a.x == c.x) {
        rx = Distance(b.x, c.x);
        ry = Distance(c.y, a.y);
    } else {
        rx = Distance(a.x, c.x);
        ry = Distance(c.y, b.y);
    }
    cur.Advance(static_cast<size_t>(len));
    *centre = c;
    *radiusX = rx;
    *radiusY = ry;
    return 0;
}
