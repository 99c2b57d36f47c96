// Line and segmented-line elements.
#include "decode/decode_common.h"

namespace wx5n {
namespace {

// The line record (GENERALIZED DRAWING PRIMITIVE 12, long form): offsets from
// the command word.
constexpr size_t kLineIdAt = 4;
constexpr size_t kLineFirstAt = 8;
constexpr size_t kLineSecondAt = 12;
constexpr size_t kLineThirdAt = 16;
constexpr size_t kLineValueAt = 22;
constexpr size_t kLineWidthAAt = 26;
constexpr size_t kLineWidthBAt = 28;
constexpr size_t kLineRecordLength = 30;

// Width of a line record: (A + 1) * 10 / d, halved at 1440 dpi, 8 bits; when
// that comes out 0, the same from -B (a signed 16-bit value, y-like).
uint8_t LineRecordWidth(ByteView rec, uint8_t d, unsigned dpi) {
    const int32_t a = rec.U16(kLineWidthAAt);
    uint8_t w = ConvertWidth(a + 1, d, dpi);
    if (w == 0) {
        const int16_t negB = static_cast<int16_t>(-rec.S16(kLineWidthBAt));
        w = ConvertWidth(static_cast<int32_t>(negB) + 1, d, dpi);
    }
    return w;
}

// What an escape record means to the line decoders. Identifier 9 opens and
// 19 closes a segmented line's group; the line decoder steps over both.
enum class Escape { kHandled, kReject, kGroupStart, kGroupEnd };

Escape LineEscape(ByteView rec, FO_ATTR* attr, FO_WORK* work, bool segmented) {
    if (!rec.Has(2, 2)) return Escape::kReject;
    switch (rec.U16(2)) {
        case kEscGroupStart:
            if (!segmented) return Escape::kHandled;
            return rec.Has(6, 4) ? Escape::kGroupStart : Escape::kReject;
        case kEscGroupEnd:
            return segmented ? Escape::kGroupEnd : Escape::kHandled;
        case kEscLineEnd:
            if (!rec.Has(6, 2)) return Escape::kReject;
            attr->line.lineEnd = LineEndCode(rec.U16(6));
            return Escape::kHandled;
        case kEscLineDef:
            if (!rec.Has(0, LineDefLength(rec))) return Escape::kReject;
            ReadLineDef(rec, attr, work);
            return Escape::kHandled;
        default:
            return Escape::kReject;
    }
}

}  // namespace
}  // namespace wx5n

using namespace wx5n;

extern "C" FOAPI int FOCALL fordline(unsigned char** cursor, unsigned int* remaining, FO_ATTR* attr,
                                     unsigned int dpi, FO_LINEOUT* out, FO_WORK* work) {
    if (!DpiInRange(dpi)) return FO_ERR_RECORD;
    const uint8_t d = WidthDivisor(dpi);
    RecordCursor cur(cursor, remaining);
    for (;;) {
        uint16_t cls = 0;
        int len = 0;
        ByteView rec;
        const int framed = cur.Next(&cls, &len, &rec);
        if (framed != 0) return framed;

        if (cls == kClassGdp) {
            // Image and bitmap primitives frame with length 0 and an empty
            // view: their identifier reads as 0 and they are rejected here.
            if (rec.U16(kLineIdAt) != 12 || !rec.Has(0, kLineRecordLength))
                return FO_ERR_RECORD;
            const FO_POINT first = ConvertPoint(rec, kLineFirstAt, dpi, work);
            const FO_POINT second = ConvertPoint(rec, kLineSecondAt, dpi, work);
            const FO_POINT third = ConvertPoint(rec, kLineThirdAt, dpi, work);
            const uint8_t width = LineRecordWidth(rec, d, dpi);
            attr->line.shape = LineShape(first, second);
            const unsigned short value = rec.U16(kLineValueAt);
            cur.Advance(static_cast<size_t>(len));
            *out->first = first;
            *out->second = second;
            *out->third = third;
            *out->lineValue = value;
            *out->width = width;
            return 0;
        }
        if (cls == kClassEscape) {
            if (LineEscape(rec, attr, work, false) == Escape::kReject) return FO_ERR_RECORD;
        } else {
            const Common c = ApplyCommon(cls, rec, attr, work, dpi, d, {true});
            if (c != Common::kApplied) return FO_ERR_RECORD;
        }
        cur.Advance(static_cast<size_t>(len));
    }
}

extern "C" FOAPI int FOCALL fordsegline(unsigned char** cursor, unsigned int* remaining,
                                        FO_ATTR* attr, unsigned int dpi, FO_LINEOUT* out,
                                        unsigned char* started, unsigned char* ended,
                                        FO_WORK* work) {
    if (!DpiInRange(dpi)) return FO_ERR_RECORD;
    const uint8_t d = WidthDivisor(dpi);
    RecordCursor cur(cursor, remaining);
    for (;;) {
        uint16_t cls = 0;
        int len = 0;
        ByteView rec;
        const int framed = cur.Next(&cls, &len, &rec);
        if (framed != 0) return framed;

        if (cls == kClassDisjointPolyline) {
            // The first two points of the record make the segment.
            if (!rec.Has(0, 10)) return FO_ERR_RECORD;
            const FO_POINT start = ConvertPoint(rec, 2, dpi, work);
            const FO_POINT end = ConvertPoint(rec, 6, dpi, work);
            attr->line.shape = LineShape(start, end);
            cur.Advance(static_cast<size_t>(len));
            *out->first = start;
            *out->second = end;
            *out->segment = 1;
            return 0;
        }
        if (cls == kClassEscape) {
            switch (LineEscape(rec, attr, work, true)) {
                case Escape::kReject:
                    return FO_ERR_RECORD;
                case Escape::kGroupStart: {
                    // Group flags, bits 8 to 11 and 4 to 7, not shifted.
                    const uint32_t flags = rec.U32(6);
                    *out->groupFlagsHigh = flags & 0x0F00u;
                    *out->groupFlagsLow = flags & 0x00F0u;
                    *started = 1;
                    break;
                }
                case Escape::kGroupEnd:
                    *started = 0;
                    *ended = 1;
                    cur.Advance(static_cast<size_t>(len));
                    return 0;
                case Escape::kHandled:
                    break;
            }
        } else {
            const Common c = ApplyCommon(cls, rec, attr, work, dpi, d, {true});
            if (c != Common::kApplied) return FO_ERR_RECORD;
        }
        cur.Advance(static_cast<size_t>(len));
    }
}
