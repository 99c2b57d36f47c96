// What the element decoders share: the record cursor, the width divisor,
// the position conversion and the common attribute records.
#ifndef WX5N_DECODE_COMMON_H
#define WX5N_DECODE_COMMON_H

#include <cstddef>
#include <cstdint>

#include "include/wx5novl1.h"
#include "overlay/byte_reader.h"
#include "overlay/overlay_internal.h"

namespace wx5n {

// More record classes the decoders act on (command word, length bits clear).
enum : uint16_t {
    kClassTextFontIndex = 0x5140,
    kClassCharExpansion = 0x5180,
    kClassCharSpacing = 0x51A0,
    kClassTextColour = 0x51C0,
    kClassCharHeight = 0x51E0,
    kClassCharOrientation = 0x5200,
    kClassTextPath = 0x5220,
    kClassText5260 = 0x5260,
    kClassText5280 = 0x5280,
    kClassLineWidth = 0x5060,
    kClassLineColour = 0x5080,
    kClassInteriorStyle = 0x52C0,
    kClassFillColour = 0x52E0,
    kClassHatchIndex = 0x5300,
    kClassEdgeWidth = 0x5380,
    kClassEdgeColour = 0x53A0,
    kClassEdgeVisibility = 0x53C0,
    kClassText5480 = 0x5480,
    kClassText54A0 = 0x54A0,
    kClassText5500 = 0x5500,
};

// Escape identifiers (the 16-bit value at rec+2 of an ESCAPE record).
enum : uint16_t {
    kEscColour = 8,
    kEscGroupStart = 9,
    kEscLineEnd = 11,
    kEscGroupEnd = 19,
    kEscLineEnd2 = 20,
    kEscLineDef = 63,
};

// The resolution range of the line, shape and area decoders: the width
// divisor 14400 / dpi must lie between 1 and 252 so that it fits 8 bits.
constexpr unsigned kMinDpi = 57;
constexpr unsigned kMaxDpi = 14400;
inline bool DpiInRange(unsigned dpi) { return dpi >= kMinDpi && dpi <= kMaxDpi; }

// The host's record cursor: a pointer into the loaded image and the count of
// bytes left from it. Both move only when a record has been consumed.
class RecordCursor {
public:
    RecordCursor(unsigned char** pos, unsigned int* remaining) : pos_(pos), remaining_(remaining) {}

    // The bytes from the cursor to the end of the data.
    ByteView Rest() const { return ByteView(*pos_, *remaining_); }
    unsigned char* Here() const { return *pos_; }
    void Advance(size_t n) {
        *pos_ += n;
        *remaining_ -= static_cast<unsigned int>(n);
    }

    // Frames the next record, stepping over F0 04 markers. Returns 0 with
    // *cls, *len and *rec set (rec is the framed record, empty for the
    // primitives framed with length 0), or the framing failure.
    int Next(uint16_t* cls, int* len, ByteView* rec) {
        for (;;) {
            const ByteView rest = Rest();
            const int framed = FrameRecord(rest, cls, len);
            if (framed == FO_MARKER) {
                // A 4-byte F0 04 marker never ends an element; framing has
                // checked that its 4 bytes lie inside the data.
                Advance(4);
                continue;
            }
            if (framed != 0) return framed;
            *rec = rest.Sub(0, static_cast<size_t>(*len));
            return 0;
        }
    }

private:
    unsigned char** pos_;
    unsigned int* remaining_;
};

// Width divisor of the line, shape and area decoders: the low 8 bits of
// 14400 / dpi (unsigned division). With dpi in range it is 1 to 252.
inline uint8_t WidthDivisor(unsigned dpi) { return static_cast<uint8_t>(14400u / dpi); }

// Width conversion: v * 10 / d in signed 32-bit arithmetic, halved at dpi
// 1440, kept to 8 bits. v is zero-extended (or, for the line record's second
// width, a signed value).
inline uint8_t ConvertWidth(int32_t v, uint8_t d, unsigned dpi) {
    int32_t q = v * 10 / d;
    if (dpi == 1440) q /= 2;
    return static_cast<uint8_t>(q);
}

// The position conversion of foprintchgpos over a 4-byte file point at off
// of view (x unsigned, y signed; 1/1440 inch, y up) to device pixels. Inline:
// every decoder converts several points per element.
inline FO_POINT ConvertPoint(ByteView view, size_t off, unsigned dpi, const FO_WORK* work) {
    const uint32_t x = view.U16(off);
    const int32_t y = view.S16(off + 2);
    // x: unsigned 32-bit product and quotient. y: the sign turns the file's
    // upward axis into the device's downward one; the product wraps as a
    // signed 32-bit value would, the quotient truncates toward zero.
    const uint32_t dx = x * dpi / 1440u + 1u;
    const int32_t py = static_cast<int32_t>(static_cast<uint32_t>(-y) * dpi);
    const int32_t dy = py / 1440 + 1;
    FO_POINT p;
    p.x = static_cast<short>(static_cast<uint16_t>(dx));
    p.y = static_cast<short>(static_cast<uint16_t>(static_cast<uint32_t>(dy)));
    if (work != nullptr) {
        // The origin point is added in 16-bit arithmetic, wrapping.
        p.x = static_cast<short>(static_cast<uint16_t>(p.x + work->originX));
        p.y = static_cast<short>(static_cast<uint16_t>(p.y + work->originY));
    }
    return p;
}

unsigned char MapColour(unsigned char colour, const FO_WORK* work);
unsigned char MapHatch(int16_t code);
unsigned short LineEndCode(uint16_t value);

// Result of offering a record to the common attribute handling.
enum class Common { kApplied, kNotCommon, kTooShort };

// Which common records a decoder takes as its own.
struct CommonOptions {
    bool lineColour;  // LINE COLOUR sets lineColour (else it is stepped over)
};

// Applies one of the common attribute records (LINE TYPE to the extended
// edge kind; not the ESCAPE) to attr. d is the width divisor.
Common ApplyCommon(uint16_t cls, ByteView rec, FO_ATTR* attr, FO_WORK* work, unsigned dpi,
                   uint8_t d, CommonOptions options);

// Smallest length a line-definition escape needs for the offsets that
// foreadlinedef reads from it.
size_t LineDefLength(ByteView rec);

// Length of the record at the start of view by its own header: the short
// form's declared length or the sum of the long form's partitions. 0 when
// the record runs past the view.
size_t OwnExtent(ByteView view);

// Folds a device point into a running box (signed 16-bit comparisons).
inline void FoldIntoBox(FO_POINT p, FO_POINT* low, FO_POINT* high) {
    if (p.x < low->x) low->x = p.x;
    if (p.y < low->y) low->y = p.y;
    if (p.x > high->x) high->x = p.x;
    if (p.y > high->y) high->y = p.y;
}

// Shape of a line from its two device end points: 1 horizontal, 2 vertical,
// 3 oblique.
inline unsigned char LineShape(FO_POINT a, FO_POINT b) {
    if (a.y == b.y) return 1;
    if (a.x == b.x) return 2;
    return 3;
}

}  // namespace wx5n

#endif  // WX5N_DECODE_COMMON_H
