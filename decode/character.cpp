// Character elements: the text attribute records, the TEXT record and the
// record of class 0x4280, and the Shift JIS lead-byte test.
#include <climits>
#include <cstddef>
#include <cstring>

#include "decode/decode_common.h"

namespace wx5n {
namespace {

constexpr uint16_t kEscapesPassedOver[] = {9, 19, 29, 72, 73, 74};

// The two font names, in EBCDIC, that give font class 2.
constexpr uint8_t kFontQzaaaada[8] = {0xD8, 0xE9, 0xC1, 0xC1, 0xC1, 0xC1, 0xC4, 0xC1};
constexpr uint8_t kFontQzaaaala[8] = {0xD8, 0xE9, 0xC1, 0xC1, 0xC1, 0xC1, 0xD3, 0xC1};

bool IsSjisLead(unsigned c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Everything the walk keeps until the text record: the decoded attributes
// go straight into FO_ATTR, the two auxiliary points wait for the end.
struct TextState {
    FO_ATTR_TEXT* attr;
    const FO_TEXTOUT* out;
    FO_WORK* work;
    unsigned dpi;
    FO_POINT aux1 = {0, 0};
    FO_POINT aux2 = {0, 0};
};

// Font class of font name i (counting from 1). The names are those of the
// font-name block that fontNames points into: an index outside the block's
// names, or the part of a name beyond 8 bytes, is never read.
unsigned char FontClassOf(const FO_TEXTOUT* out, unsigned index) {
    if (out->fontNames == nullptr || index == 0) return 0;
    const auto* block = reinterpret_cast<const FO_FONTBLOCK*>(out->fontNames -
                                                              offsetof(FO_FONTBLOCK, names));
    size_t given = static_cast<size_t>(block->nameCount) * out->fontNameLength;
    if (given > sizeof(block->names)) given = sizeof(block->names);
    const ByteView names(out->fontNames, given);
    const size_t length = out->fontNameLength;
    const size_t at = (static_cast<size_t>(index) - 1) * length;
    if (length == 0 || !names.Has(at, length)) return 0;
    // A shorter name is compared over 8 bytes with zeros behind it, so it
    // never equals one of the 8-byte names.
    uint8_t name[8] = {};
    std::memcpy(name, names.data() + at, length < 8 ? length : 8);
    const bool known = std::memcmp(name, kFontQzaaaada, 8) == 0 ||
                       std::memcmp(name, kFontQzaaaala, 8) == 0;
    return known ? 2 : 0;
}

// Slant of CHARACTER ORIENTATION from r = (num * 655360 / div + 5) / 10, the
// tangent of the up vector's angle in 16.16 fixed point. The product wraps
// as 32-bit arithmetic does; a zero divisor is the limit of the ratio, the
// upright 90 degrees.
unsigned short SlantAngle(int32_t num, int32_t div) {
    if (div == 0) return 90;
    const int32_t product = static_cast<int32_t>(static_cast<uint32_t>(num) * 655360u);
    const int64_t r = (static_cast<int64_t>(product) / div + 5) / 10;
    if (r >= 1 && r <= 65536) return 45;
    if (r > 65536 && r <= 113512) return 60;
    if (r > 113512 && r <= 244584) return 75;
    return 90;
}

void ApplyOrientation(ByteView rec, FO_ATTR_TEXT* attr) {
    const int32_t xu = rec.S16(2);
    const int32_t yu = rec.S16(4);
    const int32_t xb = rec.S16(6);
    const int32_t yb = rec.S16(8);
    struct Row {
        int16_t xu, yu, xb, yb;
        unsigned char rotation;
    };
    static constexpr Row kUpright[4] = {
        {0, 1, 1, 0, 0}, {-1, 0, 0, 1, 2}, {0, -1, -1, 0, 1}, {1, 0, 0, -1, 3}};
    for (const Row& row : kUpright) {
        if (xu == row.xu && yu == row.yu && xb == row.xb && yb == row.yb) {
            attr->textRotation = row.rotation;
            attr->slantAngle = 90;
            return;
        }
    }
    if (xb == 1000 && yb == 0) {
        attr->textRotation = 0;
        attr->slantAngle = SlantAngle(yu, xu);
    } else if (xb == -1000 && yb == 0) {
        attr->textRotation = 1;
        attr->slantAngle = SlantAngle(yu, xu);
    } else if (xb == 0 && yb == -1000) {
        attr->textRotation = 3;
        attr->slantAngle = SlantAngle(xu, -yu);
    } else if (xb == 0 && yb == 1000) {
        attr->textRotation = 2;
        attr->slantAngle = SlantAngle(-xu, yu);
    }
}

// Applies one text attribute record. False when the record is not one of
// them, or too short for what is read from it.
bool ApplyTextAttribute(uint16_t cls, ByteView rec, TextState& st) {
    FO_ATTR_TEXT& a = *st.attr;
    auto need = [&](size_t n) { return rec.Has(0, n); };
    switch (cls) {
        case kClassTextFontIndex: {
            if (!need(4)) return false;
            const uint16_t i = rec.U16(2);
            a.fontIndex = i;
            a.fontIndex2 = i;
            a.fontClass = st.out->textMode == 2 ? 4 : FontClassOf(st.out, i);
            return true;
        }
        case kClassCharExpansion: {
            // 16.16 fixed point: whole part signed, fraction rounded up to
            // whole hundredths.
            if (!need(6)) return false;
            const int32_t whole = rec.S16(2);
            const int32_t fraction = rec.U16(4);
            a.charExpansion = static_cast<unsigned short>(whole * 100 + (fraction * 100 + 65535) / 65536);
            return true;
        }
        case kClassCharSpacing: {
            // 16.16 fixed point times 100, 32-bit product, toward zero.
            if (!need(6)) return false;
            const int32_t v = static_cast<int32_t>(rec.U32(2) * 100u);
            a.charSpacing = static_cast<unsigned short>(v / 65536);
            return true;
        }
        case kClassTextColour:
            if (!need(3)) return false;
            a.textColour = MapColour(rec.U8(2), st.work);
            return true;
        case kClassCharHeight:
            if (!need(4)) return false;
            a.charHeight = rec.U16(2);
            return true;
        case kClassCharOrientation:
            if (!need(10)) return false;
            ApplyOrientation(rec, &a);
            return true;
        case kClassTextPath:
            if (!need(4)) return false;
            a.textPath = rec.U8(3);
            return true;
        case kClassText5260:
            if (!need(6)) return false;
            a.textAttr42[0] = rec.U8(4);
            a.textAttr42[1] = rec.U8(5);
            return true;
        case kClassText5280:
            if (!need(12)) return false;
            st.aux1 = ConvertPoint(rec, 4, st.dpi, st.work);
            st.aux2 = ConvertPoint(rec, 8, st.dpi, st.work);
            return true;
        case kClassText5480:
            if (!need(4)) return false;
            a.textAttr40 = rec.U16(2);
            return true;
        case kClassText54A0:
            if (!need(8)) return false;
            if (rec.U8(2) == 1) a.fontIndex2 = rec.U16(6);
            else a.fontIndex = rec.U16(6);
            a.fontClass = 4;
            return true;
        case kClassText5500: {
            if (!need(18)) return false;
            a.textAttr47 = rec.U16(2) != 0 ? 1 : 0;
            a.textAttr48 = rec.U16(14);
            a.textAttr50 = rec.U16(6);
            a.textAttr52 = rec.U16(12);
            a.textAttr54 = rec.U16(10);
            a.textAttr56 = rec.U16(8);
            const uint16_t v = rec.U16(16);
            a.textAttr58 = v == 0 ? 0 : v == 1 ? 1 : 2;
            const uint16_t bits = rec.U16(4);
            a.textAttr64 = static_cast<unsigned short>(((bits & 1) ? 1 : 0) + ((bits & 2) ? 2 : 0));
            return true;
        }
        case kClassEscape: {
            if (!need(4)) return false;
            const uint16_t id = rec.U16(2);
            for (uint16_t passed : kEscapesPassedOver) {
                if (id == passed) return true;
            }
            return false;
        }
        default:
            return false;
    }
}

// Single-byte or Shift JIS text, by textEncoding: 2 single-byte, 3 Shift
// JIS counted in characters; anything else is left unmeasured.
void MeasureByEncoding(ByteView text, unsigned short encoding, FO_ATTR_TEXT* a) {
    if (encoding == 2) {
        a->textForm = 2;
        a->textCharFlags = 1;
        a->charCount = static_cast<unsigned short>(text.size());
    } else if (encoding == 3) {
        unsigned flags = 4;
        bool single = false;
        bool high = false;
        size_t chars = 0;
        for (size_t i = 0; i < text.size(); ++chars) {
            const uint8_t c = text.U8(i);
            if (c < 0x80) single = true;
            else high = true;
            // A lead byte as the last byte counts as one character.
            i += IsSjisLead(c) ? 2 : 1;
        }
        if (single) flags += 1;
        if (high) flags += 2;
        a->textForm = 4;
        a->textCharFlags = static_cast<unsigned char>(flags);
        a->charCount = static_cast<unsigned short>(chars);
    } else {
        a->charCount = 0;
    }
}

// EBCDIC/HKZ text: skips the leading control bytes (0x28, 0x29 which ends
// them, 0x30 with the byte after it) and measures the double-byte run that
// follows in bytes. Returns the offset of the first byte after the prefix.
size_t MeasureHostText(ByteView text, FO_ATTR_TEXT* a) {
    size_t at = 0;
    while (at < text.size()) {
        const uint8_t c = text.U8(at);
        if (c == 0x28) {
            ++at;
        } else if (c == 0x29) {
            ++at;
            break;
        } else if (c == 0x30) {
            // The byte after it, when there is one, selects the font.
            if (at + 1 < text.size() && text.U8(at + 1) == 0xF7) a->fontClass = 2;
            at = at + 2 < text.size() ? at + 2 : text.size();
        } else {
            break;
        }
    }
    const ByteView run = text.Sub(at);
    size_t count = 0;
    size_t left = run.size();
    while (left >= 2 && run.U8(count) != 0x29 && run.U8(count) != 0x30) {
        count += 2;
        left -= 2;
    }
    a->textForm = 1;
    a->charCount = static_cast<unsigned short>(count);
    a->textCharFlags = 2;
    return at;
}

// The origin point of the work area in 1/1440 inch: origin * 1440 / dpi,
// with dpi taken as signed 16-bit and the quotient truncated toward zero.
int32_t OriginUnits(short origin, int16_t dpi16) { return static_cast<int32_t>(origin) * 1440 / dpi16; }

}  // namespace
}  // namespace wx5n

using namespace wx5n;

extern "C" FOAPI int FOCALL foclen_sjis(int c) { return IsSjisLead(static_cast<unsigned>(c)) && c <= 0xFF ? 2 : 1; }

// Decodes one text element: the attribute records, then a TEXT record or a
// record of class 0x4280, whose text is classified and measured but not
// converted. Long because of the two text records' layouts; the attribute
// records are handled apart.
extern "C" FOAPI int FOCALL fordcharacter(unsigned char** pos, int* avail, FO_ATTR* attr,
                                          unsigned int dpi, FO_TEXTOUT* out, FO_WORK* work) {
    // dpi divides 14400 and, as a signed 16-bit value, the origin.
    const int16_t dpi16 = static_cast<int16_t>(dpi);
    if (dpi == 0 || dpi16 == 0) return FO_ERR_RECORD;
    const unsigned char unitTenths = static_cast<unsigned char>(14400u / dpi);
    const unsigned char unitHalf = static_cast<unsigned char>((unitTenths + 1) / 2);

    unsigned char* p = *pos;
    unsigned int left = *avail > 0 ? static_cast<unsigned int>(*avail) : 0;
    RecordCursor cur(&p, &left);
    auto store = [&](int result) {
        if (p != *pos) {
            *pos = p;
            *avail = static_cast<int>(left);
        }
        return result;
    };

    FO_ATTR_TEXT& a = attr->text;
    TextState st{&a, out, work, dpi};
    for (;;) {
        uint16_t cls = 0;
        int len = 0;
        ByteView rec;
        const int framed = cur.Next(&cls, &len, &rec);
        if (framed != 0) return store(framed);

        if (cls == kClassText || cls == kClassText2) {
            const bool longForm = (rec.U16(0) & 0x1F) == kLongForm;
            // Offsets are given from the long form's base; the short form
            // has no partition word and so lies 2 bytes earlier.
            const size_t shift = longForm ? 0 : 2;
            const bool plain = cls == kClassText;
            const size_t countAt = (plain ? 10 : 18) - shift;
            const size_t textAt = (plain ? 12 : 22) - shift;
            if (!rec.Has(countAt, 2)) return store(FO_ERR_RECORD);
            const uint16_t n = rec.U16(countAt);
            if (!rec.Has(textAt, n)) return store(FO_ERR_RECORD);
            const ByteView text = rec.Sub(textAt, n);

            FO_POINT position;
            const int32_t ox = OriginUnits(work->originX, dpi16);
            const int32_t oy = OriginUnits(work->originY, dpi16);
            size_t textStart = 0;
            if (plain) {
                a.textRecordKind = 0;
                if (out->textMode == 0) a.fontClass = 0;
                // 1/1440 inch, y turned down, the origin in the same unit.
                const int32_t x = rec.U16(4 - shift);
                const int32_t y = rec.S16(6 - shift);
                position.x = static_cast<short>(static_cast<uint16_t>(x + 1 + ox));
                position.y = static_cast<short>(static_cast<uint16_t>(1 - y + oy));
                a.textLength = n;
                if (out->textMode <= 1) textStart = MeasureHostText(text, &a);
                else MeasureByEncoding(text, out->textEncoding, &a);
            } else {
                a.textRecordKind = 1;
                // Device position with the origin, and the origin once more
                // in 1/1440 inch.
                const FO_POINT dev = ConvertPoint(rec, 4 - shift, dpi, work);
                position.x = static_cast<short>(static_cast<uint16_t>(dev.x + ox));
                position.y = static_cast<short>(static_cast<uint16_t>(dev.y + oy));
                a.textAttr60 = static_cast<unsigned short>(static_cast<int32_t>(rec.U16(8 - shift)) * 1440 / dpi16);
                a.textAttr62 = static_cast<unsigned short>(static_cast<int32_t>(rec.U16(10 - shift)) * 1440 / dpi16);
                a.textLength = n;
                MeasureByEncoding(text, out->textEncoding, &a);
            }
            unsigned char* first = cur.Here() + textAt + textStart;
            cur.Advance(static_cast<size_t>(len));
            *out->position = position;
            out->text = first;
            out->unitTenths = unitTenths;
            out->unitHalf = unitHalf;
            *out->auxPoint1 = st.aux1;
            *out->auxPoint2 = st.aux2;
            return store(0);
        }
        if (!ApplyTextAttribute(cls, rec, st)) return store(FO_ERR_RECORD);
        cur.Advance(static_cast<size_t>(len));
    }
}
