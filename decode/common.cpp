// Common element decoding: the record cursor, unit, colour, hatch and
// line-end conversions, the common attribute records and the header
// queries of a loaded overlay.
#include <cstring>

#include "decode/decode_common.h"

namespace wx5n {

unsigned char MapColour(unsigned char colour, const FO_WORK* work) {
    // Colour index to colour code; indices 10 to 15 have no colour of their
    // own.
    static constexpr unsigned char kCodes[16] = {17, 7, 2, 3, 4, 5, 6, 0, 8, 1, 0, 0, 0, 0, 0, 0};
    if (work->edition == 2) return colour;
    const unsigned index = colour >= 16 ? 1 : colour;
    unsigned char code = kCodes[index];
    if (code == 8 && static_cast<signed char>(work->colourFlag) != 0) code = 1;
    return code;
}

unsigned char MapHatch(int16_t code) {
    struct Entry {
        int16_t code;
        unsigned char pattern;
    };
    // Searched in order; -25 stands twice, the first entry decides.
    static constexpr Entry kTable[26] = {
        {-25, 0},  {-9, 39},  {-32, 38}, {-10, 37}, {-31, 36}, {-29, 35}, {-30, 34},
        {-28, 33}, {-27, 32}, {-26, 31}, {-16, 30}, {-11, 40}, {-12, 41}, {-13, 42},
        {-14, 43}, {-15, 44}, {-17, 45}, {-18, 46}, {-19, 47}, {-20, 48}, {-21, 49},
        {-22, 50}, {-23, 51}, {-24, 52}, {-25, 0},  {0, 53},
    };
    for (const Entry& e : kTable) {
        if (e.code == code) return e.pattern;
    }
    return 30;
}

unsigned short LineEndCode(uint16_t value) {
    // 1 flat, 2 square, 3 round, as the drawing functions take them.
    if (value == 0) return 3;
    if (value == 1) return 2;
    return 1;
}

size_t LineDefLength(ByteView rec) {
    if (!rec.Has(6, 2)) return 8;
    const int16_t code = rec.S16(6);
    if (code > -16385 || code < -16400) return 8;  // nothing more is read
    if (!rec.Has(12, 2)) return 18;
    return rec.U16(12) >= 3 ? 22 : 18;
}

namespace {

// Smallest length of an extended line or edge kind record for what its
// reader takes from it: the selector, the parameter of selector 8, the
// count and the stored values of selector 9. Offsets are relative to the
// long form's base; the short form has them 2 bytes earlier.
size_t ExtendedKindLength(ByteView rec) {
    const size_t shift = (rec.U16(0) & 0x1F) == kLongForm ? 0 : 2;
    const size_t selectorEnd = 6 - shift;
    if (!rec.Has(0, selectorEnd)) return selectorEnd;
    const uint16_t selector = rec.U16(4 - shift);
    if (selector == 8) return 10 - shift;
    if (selector == 9) {
        const size_t countEnd = 16 - shift;
        if (!rec.Has(0, countEnd)) return countEnd;
        size_t n = rec.U16(14 - shift);
        if (n > FO_LINESTYLE_LIST_MAX) n = FO_LINESTYLE_LIST_MAX;  // the room read
        return countEnd + 2 * n;
    }
    return selectorEnd;
}

}  // namespace

Common ApplyCommon(uint16_t cls, ByteView rec, FO_ATTR* attr, FO_WORK* work, unsigned dpi,
                   uint8_t d, CommonOptions options) {
    FO_ATTR_LINE& line = attr->line;
    // Each record is checked against the last offset it is read at before
    // anything is taken from it.
    auto need = [&](size_t n) { return rec.Has(0, n); };
    switch (cls) {
        case kClassLineType:
            if (!need(4)) return Common::kTooShort;
            ReadLineKind(rec, attr, work);
            return Common::kApplied;
        case kClassLineWidth:
            if (!need(4)) return Common::kTooShort;
            line.lineWidth = ConvertWidth(rec.U16(2), d, dpi);
            return Common::kApplied;
        case kClassLineColour:
            if (!options.lineColour) return Common::kApplied;  // stepped over
            if (!need(3)) return Common::kTooShort;
            line.lineColour = MapColour(rec.U8(2), work);
            return Common::kApplied;
        case kClassInteriorStyle:
            if (!need(4)) return Common::kTooShort;
            line.hatched = rec.U16(2) == 3 ? 1 : 0;
            return Common::kApplied;
        case kClassFillColour:
            if (!need(3)) return Common::kTooShort;
            line.fillColour = MapColour(rec.U8(2), work);
            return Common::kApplied;
        case kClassHatchIndex:
            if (!need(4)) return Common::kTooShort;
            line.hatchIndex = MapHatch(rec.S16(2));
            return Common::kApplied;
        case kClassEdgeType:
            if (!need(4)) return Common::kTooShort;
            ReadEdgeKind(rec, attr, work);
            return Common::kApplied;
        case kClassEdgeWidth:
            if (!need(4)) return Common::kTooShort;
            line.edgeWidth = ConvertWidth(rec.U16(2), d, dpi);
            return Common::kApplied;
        case kClassEdgeColour:
            if (!need(3)) return Common::kTooShort;
            line.lineColour = MapColour(rec.U8(2), work);
            return Common::kApplied;
        case kClassEdgeVisibility:
            if (!need(4)) return Common::kTooShort;
            line.edgeVisible = rec.U16(2) == 1 ? 1 : 0;
            return Common::kApplied;
        case kClassLineKindEx:
            if (!need(ExtendedKindLength(rec))) return Common::kTooShort;
            ReadLineKindEx(rec, attr);
            return Common::kApplied;
        case kClassEdgeKindEx:
            if (!need(ExtendedKindLength(rec))) return Common::kTooShort;
            ReadEdgeKindEx(rec, attr);
            return Common::kApplied;
        default:
            return Common::kNotCommon;
    }
}

size_t OwnExtent(ByteView view) {
    if (!view.Has(0, 2)) return 0;
    const uint16_t h = view.U16(0);
    if ((h & 0x1F) < kLongForm) {
        const size_t n = 2 + (h & 0x1F);
        return view.Has(0, n) ? n : 0;
    }
    size_t pos = 2;
    uint16_t word;
    do {
        if (!view.Has(pos, 2)) return 0;
        word = view.U16(pos);
        pos += 2 + (word & 0x7FFF);
        if (pos > view.size()) return 0;
    } while (word & 0x8000);
    return pos;
}

}  // namespace wx5n

using namespace wx5n;

extern "C" FOAPI void FOCALL foprintchgpos(FO_POINT* out, const unsigned char* p, unsigned int dpi,
                                           const FO_WORK* work) {
    *out = ConvertPoint(ByteView(p, 4), 0, dpi, work);
}

extern "C" FOAPI unsigned char FOCALL foprintcolor(unsigned char colour, const FO_WORK* work) {
    return MapColour(colour, work);
}

extern "C" FOAPI unsigned char FOCALL foprinthatchidx(const unsigned char* rec) {
    return MapHatch(ByteView(rec, 4).S16(2));
}

extern "C" FOAPI unsigned short FOCALL fordlineend(const unsigned char* rec) {
    return LineEndCode(ByteView(rec, 8).U16(6));
}

namespace {

// Dash lengths from 1/240 inch to device pixels: v * dpi / 240 rounded half
// up, with v signed 16-bit, a 32-bit product and an unsigned division.
void ScaleDashes(const unsigned short dash[4], unsigned dpi, unsigned short* l1,
                 unsigned short* l2, unsigned short* l3, unsigned short* l4) {
    unsigned short* out[4] = {l1, l2, l3, l4};
    for (int i = 0; i < 4; ++i) {
        if (dpi == 240) {
            *out[i] = dash[i];
            continue;
        }
        const uint32_t v = static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(dash[i])));
        *out[i] = static_cast<unsigned short>((v * dpi + 120u) / 240u);
    }
}

}  // namespace

extern "C" FOAPI int FOCALL fordlinekind(const FO_ATTR* attr, unsigned int dpi, unsigned short* l1,
                                         unsigned short* l2, unsigned short* l3,
                                         unsigned short* l4) {
    ScaleDashes(attr->line.lineDash, dpi, l1, l2, l3, l4);
    return 0;
}

extern "C" FOAPI int FOCALL fordlinekind2(const FO_ATTR* attr, unsigned int dpi,
                                          unsigned short* l1, unsigned short* l2,
                                          unsigned short* l3, unsigned short* l4) {
    ScaleDashes(attr->line.edgeDash, dpi, l1, l2, l3, l4);
    return 0;
}

// Resolution of an overlay from the EBCDIC tag at header offset 214; overlays
// with an ASCII magic (layout versions 2 and 3) carry none and give 0.
extern "C" FOAPI short FOCALL pcom_foprint_getdpi(const unsigned char* buf,
                                                  unsigned short layoutVersion) {
    if (buf == nullptr) return FO_ERR_NULL;
    if (layoutVersion == 2 || layoutVersion == 3) return 0;
    if (layoutVersion != 1) return FO_ERR_RECORD;
    struct Tag {
        uint8_t text[4];
        short dpi;
    };
    static constexpr Tag kTags[3] = {
        {{0xD7, 0xF1, 0xF6, 0xF0}, 160},  // "P160"
        {{0xD7, 0xF2, 0xF4, 0xF0}, 240},  // "P240"
        {{0xD7, 0xF4, 0xF0, 0xF0}, 400},  // "P400"
    };
    const ByteView tag = ByteView(buf, 218).Sub(214, 4);
    for (const Tag& t : kTags) {
        if (std::memcmp(tag.data(), t.text, 4) == 0) return t.dpi;
    }
    return FO_ERR_RECORD;
}

// Group type from the byte at offset 260: 1 for EBCDIC "1", else 2.
extern "C" FOAPI int FOCALL pcom_fogetgrptype(const unsigned char* buf, unsigned char* out) {
    *out = ByteView(buf, 261).U8(260) == 0xF1 ? 1 : 2;
    return 0;
}
