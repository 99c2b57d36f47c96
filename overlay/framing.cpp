// Record framing of the element data (binary CGM command encoding) and the
// element kinds a host dispatches on.
#include <climits>

#include "overlay/overlay_internal.h"

namespace wx5n {

int FrameRecord(ByteView view, uint16_t* cls, int* len) {
    if (view.size() < 2) return FO_ERR_RECORD;
    // Lengths are signed 32-bit: a view longer than that is framed within
    // its first INT_MAX bytes.
    const int avail = view.size() > INT_MAX ? INT_MAX : static_cast<int>(view.size());
    const uint16_t h = view.U16(0);

    // Image and bitmap primitives: their decoders work the length out.
    if ((h & 0xFFE0) == kClassGdp && view.Has(4, 2)) {
        const uint16_t id = view.U16(4);
        if (id == 4 || id == 18) {
            *cls = kClassGdp;
            *len = 0;
            return 0;
        }
    }

    int result = 0;
    long long length;  // wide enough that no sum of partitions overflows
    if (h == kMarkerHeader) {
        length = 4;
        result = FO_MARKER;
    } else {
        *cls = static_cast<unsigned short>(h & 0xFFE0);
        if ((h & 0x1F) < kLongForm) {
            length = 2 + (h & 0x1F);
        } else {
            // Long form: partitions, each a word (bit 15: another follows)
            // and that many bytes, until one without bit 15.
            long long left = avail - 2;
            long long sum = 0;
            size_t pos = 2;
            uint16_t word;
            do {
                if (left < 2) {
                    result = FO_ERR_RECORD;
                    break;
                }
                word = view.U16(pos);
                const long long part = 2 + (word & 0x7FFF);
                sum += part;
                left -= part;
                if (left < 0) {
                    result = FO_ERR_RECORD;
                    break;
                }
                pos += static_cast<size_t>(part);
            } while (word & 0x8000);
            length = 2 + sum;
        }
    }
    if (length > avail) result = FO_ERR_RECORD;
    *len = static_cast<int>(length > INT_MAX ? INT_MAX : length);
    return result;
}

namespace {

// Length of the record at rec as its own header declares it: a short form's
// parameters, or every partition of a long form (each a word, bit 15 set
// when another follows, and that many bytes). The caller vouches that the
// bytes are there; framed records and the records of a loaded image are.
size_t DeclaredLength(const unsigned char* rec) {
    const uint16_t h = static_cast<uint16_t>((rec[0] << 8) | rec[1]);
    if ((h & 0x1F) < kLongForm) return 2 + (h & 0x1F);
    size_t pos = 2;
    uint16_t word;
    do {
        word = static_cast<uint16_t>((rec[pos] << 8) | rec[pos + 1]);
        pos += 2 + (word & 0x7FFF);
    } while (word & 0x8000);
    return pos;
}

}  // namespace

ByteView DeclaredRecord(const unsigned char* rec) { return ByteView(rec, DeclaredLength(rec)); }

namespace {

// The element kind a framed record names, or -1 when it names none.
int KindOf(ByteView rec, uint16_t cls) {
    switch (cls) {
        case kClassEndPicture: return FO_KIND_END;
        case kClassCircle: return FO_KIND_CIRCLE;
        case kClassRectangle: return FO_KIND_RECTANGLE;
        case kClassText: return FO_KIND_TEXT;
        case kClassEllipse: return FO_KIND_ELLIPSE;
        case kClassDisjointPolyline: return FO_KIND_SEGMENTS;
        case kClassText2: return FO_KIND_TEXT2;
        case kClassGdp: {
            if (!rec.Has(4, 2)) return -1;
            const uint16_t id = rec.U16(4);
            if (id == 12) return FO_KIND_LINE;
            if (id == 4 || id == 5) return FO_KIND_IMAGE;
            if (id == 18) return FO_KIND_BITMAP;
            return -1;
        }
        case kClassEscape: {
            // The identifier and the group type are read inside the record
            // only: a record too short to hold them names no kind.
            if (rec.U16(2) != 9 || !rec.Has(6, 4)) return -1;
            switch (rec.U32(6) & 0xF) {
                case 2:
                case 3: return FO_KIND_AREA;
                case 4: return FO_KIND_AREA_T4;
                case 5: return FO_KIND_AREA_T5;
                default: return -1;
            }
        }
        default: return -1;
    }
}

// Length of the record at rec for fogetlineid's walk: markers are 4 bytes,
// other records span all their partitions. Never less than 2.
size_t StepLength(const unsigned char* rec) {
    const uint16_t h = static_cast<uint16_t>((rec[0] << 8) | rec[1]);
    return h == kMarkerHeader ? 4 : DeclaredLength(rec);
}

}  // namespace
}  // namespace wx5n

using namespace wx5n;

extern "C" FOAPI int FOCALL foreadclassid(const unsigned char* rec, int avail, unsigned short* cls,
                                          int* len) {
    if (rec == nullptr || avail < 2) return FO_ERR_RECORD;
    return FrameRecord(ByteView(rec, static_cast<size_t>(avail)), cls, len);
}

extern "C" FOAPI int FOCALL foreadkindget(const unsigned char* rec, int avail) {
    if (rec == nullptr) return FO_ERR_RECORD;
    size_t pos = 0;
    size_t left = avail > 0 ? static_cast<size_t>(avail) : 0;
    for (;;) {
        const ByteView view(rec + pos, left);
        uint16_t cls = 0;
        int len = 0;
        const int framed = FrameRecord(view, &cls, &len);
        if (framed != 0) return framed;
        const int kind = KindOf(view.Sub(0, len > 0 ? static_cast<size_t>(len) : left), cls);
        if (kind >= 0) return kind;
        // Only image and bitmap primitives frame with length 0, and both name
        // a kind, so every record passed over moves the walk on.
        pos += static_cast<size_t>(len);
        left -= static_cast<size_t>(len);
    }
}

// Walks from rec to the first line element, segment record or group end.
// There is no length: the host hands a position from which one of the three
// is reached inside its data.
extern "C" FOAPI int FOCALL fogetlineid(const unsigned char* rec) {
    if (rec == nullptr) return -1;
    for (;;) {
        const uint16_t h = static_cast<uint16_t>((rec[0] << 8) | rec[1]);
        const uint16_t cls = h & 0xFFE0;
        uint16_t escapeId = 0;
        if (cls == kClassDisjointPolyline) return 1;
        if (h != kMarkerHeader && cls == kClassGdp) {
            if (((rec[4] << 8) | rec[5]) == 12) return 0;
        }
        if (h != kMarkerHeader && cls == kClassEscape)
            escapeId = static_cast<uint16_t>((rec[2] << 8) | rec[3]);
        if (cls == kClassEscape && escapeId == 19) return -1;
        rec += StepLength(rec);
    }
}
