// Image and bitmap elements: GENERALIZED DRAWING PRIMITIVE 4 (a one-bit
// raster with a resolution code) and 18 (an embedded device-independent
// bitmap). The decoders hand the host pointers into the loaded image; they
// copy and convert no pixels.
#include <climits>
#include <cstdlib>
#include <initializer_list>

#include "decode/decode_common.h"

namespace wx5n {
namespace {

constexpr uint16_t kLongGdpHeader = 0x415F;

// Image record offsets in the long-form layout.
constexpr size_t kImageFormatAt = 22;
constexpr size_t kImageCodeAt = 23;
constexpr size_t kImageRowsAt = 24;     // little-endian
constexpr size_t kImageLengthAt = 26;   // little-endian
constexpr size_t kImageMeasuredEnd = 28;

// Converts a row count or row length by a resolution code. False for a code
// that is not known. v is 16-bit, so no product overflows 32 bits.
bool ConvertByCode(uint8_t code, uint32_t v, uint32_t* out) {
    switch (code) {
        case 0xB1:  // 1/2, rounded up
            *out = v / 2 + v % 2;
            return true;
        case 0xB3: {  // 3/5
            static constexpr uint32_t kAdd[5] = {0, 1, 1, 2, 2};
            *out = v / 5 * 3 + kAdd[v % 5];
            return true;
        }
        case 0xC0: {  // 3/2
            static constexpr uint32_t kAdd[2] = {0, 2};
            *out = v / 2 * 3 + kAdd[v % 2];
            return true;
        }
        case 0xC1:
        case 0xF0:
        case 0xF2:
        case 0xF3:
            *out = v;
            return true;
        case 0xC2: {  // 4/3
            static constexpr uint32_t kAdd[3] = {0, 2, 3};
            *out = v / 3 * 4 + kAdd[v % 3];
            return true;
        }
        case 0xC3:
        case 0xF1: {  // 6/5
            static constexpr uint32_t kAdd[5] = {0, 2, 3, 4, 5};
            *out = v / 5 * 6 + kAdd[v % 5];
            return true;
        }
        case 0xC4: {  // 4/5
            static constexpr uint32_t kAdd[5] = {0, 1, 1, 2, 3};
            *out = v / 5 * 4 + kAdd[v % 5];
            return true;
        }
        case 0xD0:
            *out = 3 * v;
            return true;
        case 0xD1:
            *out = 2 * v;
            return true;
        default:
            return false;
    }
}

// Escapes the picture decoders step over.
bool PictureEscapePassed(uint16_t id) {
    return id == kEscColour || id == kEscGroupStart || id == kEscGroupEnd;
}

// The bitmap record of GENERALIZED DRAWING PRIMITIVE 18: big-endian head up
// to offset 35, then a little-endian BITMAPINFOHEADER from offset 36.
constexpr size_t kBitmapHeaderAt = 36;
// The header fields read end with biClrUsed at header offset 32.
constexpr size_t kBitmapReadEnd = kBitmapHeaderAt + 36;

struct BitmapLayout {
    uint32_t bitsSize;   // byte size of the pixel bits
    uint64_t length;     // the whole record, from its command word
};

// Works out the pixel byte size and the record length from the bitmap
// header. The arithmetic is that of signed 32-bit values; it is done in 64
// bits, and a size that a 32-bit value cannot hold is refused.
bool MeasureBitmap(ByteView rec, BitmapLayout* out) {
    const ByteView h = rec.Sub(kBitmapHeaderAt);
    const int64_t biSize = h.U32LE(0);
    const int64_t width = static_cast<int32_t>(h.U32LE(4));
    const int64_t height = static_cast<int32_t>(h.U32LE(8));
    const uint16_t bitCount = h.U16LE(14);
    const uint32_t compression = h.U32LE(16);
    const int64_t sizeImage = static_cast<int32_t>(h.U32LE(20));
    const uint32_t clrUsed = h.U32LE(32);

    int64_t bits;
    if (sizeImage != 0) {
        bits = std::llabs(sizeImage);
    } else {
        // Rows padded to whole 32-bit words.
        const int64_t rowBytes = ((std::llabs(width) * bitCount + 31) & ~int64_t{31}) / 8;
        if (rowBytes > INT32_MAX) return false;
        bits = rowBytes * std::llabs(height);
    }
    if (bits > INT32_MAX) return false;

    int64_t colours = clrUsed;
    if (colours == 0) colours = (bitCount == 1 || bitCount == 4 || bitCount == 8) ? (1 << bitCount) : 0;

    int64_t offset;
    switch (bitCount) {
        case 1:
        case 4:
        case 8:
        case 24:
            offset = biSize + 4 * colours;
            break;
        case 16:
        case 32:
            offset = compression == 3 ? biSize + 12 : biSize + 4 * colours;  // 3: bit fields
            break;
        default:
            offset = 0;
            break;
    }
    out->bitsSize = static_cast<uint32_t>(bits);
    out->length = static_cast<uint64_t>(kBitmapHeaderAt) + static_cast<uint64_t>(offset) +
                  static_cast<uint64_t>(bits);
    return true;
}

}  // namespace
}  // namespace wx5n

using namespace wx5n;

// Finds the next image primitive (identifier 4), stepping over records of
// other classes, and returns its position and converted size. The cursor
// stays on a long-form image record: the framing gives it length 0, and
// stepping over its data is the host's business.
extern "C" FOAPI int FOCALL fordimg(unsigned char** cursor, unsigned int* remaining,
                                    unsigned int dpi, FO_IMAGEOUT* out, FO_WORK* work) {
    if (dpi == 0) return FO_ERR_RECORD;
    RecordCursor cur(cursor, remaining);
    for (;;) {
        uint16_t cls = 0;
        int len = 0;
        ByteView rec;
        const int framed = cur.Next(&cls, &len, &rec);
        if (framed != 0) return framed;

        if (cls == kClassEscape) {
            if (!rec.Has(2, 2) || !PictureEscapePassed(rec.U16(2))) return FO_ERR_RECORD;
        } else if (cls == kClassGdp) {
            // The record by its own header: framing gives the image and
            // bitmap primitives length 0, so their extent is taken from
            // their partitions, and must lie inside the data.
            const ByteView rest = cur.Rest();
            const size_t extent = OwnExtent(rest);
            if (extent == 0) return FO_ERR_RECORD;
            const ByteView whole = rest.Sub(0, extent);
            const bool longForm = whole.U16(0) == kLongGdpHeader;
            // p: the record in the long-form layout; a short-form record has
            // no partition word, so its offsets lie 2 bytes earlier.
            const size_t shift = longForm ? 0 : 2;
            auto at = [&](size_t off) { return off - shift; };
            const uint16_t id = whole.U16(longForm ? 4 : 2);
            if (id == 4) {
                unsigned char* address = cur.Here() - shift;
                if (!whole.Has(at(kImageFormatAt), 1)) return FO_ERR_RECORD;
                FO_POINT position = {0, 0};
                uint32_t rows = 0;
                uint32_t size = 0;
                if (whole.U8(at(kImageFormatAt)) == 0xF9) {
                    if (!whole.Has(0, at(kImageMeasuredEnd))) return FO_ERR_RECORD;
                    // Top-left corner of the three: smallest x, smallest y.
                    position = ConvertPoint(whole, at(8), dpi, work);
                    for (size_t off : {size_t{12}, size_t{16}}) {
                        const FO_POINT q = ConvertPoint(whole, at(off), dpi, work);
                        if (q.x < position.x) position.x = q.x;
                        if (q.y < position.y) position.y = q.y;
                    }
                    const uint8_t code = whole.U8(at(kImageCodeAt));
                    uint32_t length = 0;
                    if (!ConvertByCode(code, whole.U16LE(at(kImageRowsAt)), &rows) ||
                        !ConvertByCode(code, whole.U16LE(at(kImageLengthAt)), &length))
                        return FO_ERR_RECORD;
                    // One bit a pixel, rows padded to whole bytes; unsigned
                    // 32-bit product kept to 16 bits.
                    const uint32_t padded = (length + 7u) & ~7u;
                    size = rows * padded / 8u;
                }
                cur.Advance(static_cast<size_t>(len));
                *out->position = position;
                out->record = address;
                *out->byteSize = static_cast<unsigned short>(size);
                *out->rowCount = static_cast<unsigned short>(rows);
                return 0;
            }
            // Another primitive is stepped over; one framed with length 0
            // would not move the cursor and is refused.
            if (len == 0) return FO_ERR_RECORD;
        }
        cur.Advance(static_cast<size_t>(len));
    }
}

// Finds the bitmap primitive (identifier 18) and describes it. The host's
// FO_BMPINFO changes only on success.
extern "C" FOAPI int FOCALL fordbmpimg(unsigned char** cursor, unsigned int* remaining,
                                       FO_BMPINFO* info, unsigned int dpi, FO_POINT** out,
                                       FO_WORK* work) {
    if (cursor == nullptr || remaining == nullptr || info == nullptr || out == nullptr ||
        work == nullptr || out[0] == nullptr || out[1] == nullptr)
        return FO_ERR_RECORD;
    FO_BMPINFO copy = *info;
    RecordCursor cur(cursor, remaining);
    for (;;) {
        uint16_t cls = 0;
        int len = 0;
        ByteView rec;
        const int framed = cur.Next(&cls, &len, &rec);
        if (framed != 0) return framed;

        if (cls == kClassEscape) {
            if (!rec.Has(2, 2)) return FO_ERR_RECORD;
            const uint16_t id = rec.U16(2);
            if (id == kEscColour) {
                if (!rec.Has(6, 1)) return FO_ERR_RECORD;
                copy.colour = MapColour(rec.U8(6), work);
            } else if (!PictureEscapePassed(id)) {
                return FO_ERR_RECORD;
            }
        } else if (cls == kClassGdp) {
            // Framing gives the bitmap length 0: the record is read over the
            // rest of the data, and its length is worked out from its header.
            const ByteView whole = cur.Rest();
            if (whole.U16(4) != 18 || !whole.Has(0, kBitmapReadEnd)) return FO_ERR_RECORD;
            const FO_POINT first = ConvertPoint(whole, 8, dpi, work);
            const FO_POINT second = ConvertPoint(whole, 12, dpi, work);
            const uint8_t code = whole.U8(16);
            if (code < 0xF0 || code > 0xF3) return FO_ERR_RECORD;
            const uint8_t mode = whole.U8(33);
            if (mode > 2) return FO_ERR_RECORD;
            BitmapLayout layout;
            // A length that runs past the data would step past its end.
            if (!MeasureBitmap(whole, &layout) || layout.length > whole.size()) return FO_ERR_RECORD;

            copy.code = static_cast<unsigned short>(code - 0xEF);
            copy.valueA = whole.U16(20);
            copy.valueB = whole.U16(22);
            copy.valueC = whole.U32(24);
            copy.valueD = whole.U32(28);
            copy.valueE = whole.U8(32);
            copy.mode = mode;
            copy.bitsSize = layout.bitsSize;
            copy.bitmapInfo = cur.Here() + kBitmapHeaderAt;
            cur.Advance(static_cast<size_t>(layout.length));
            *out[0] = first;
            *out[1] = second;
            *info = copy;
            return 0;
        }
        // Records of other classes are stepped over.
        cur.Advance(static_cast<size_t>(len));
    }
}
