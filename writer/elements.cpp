// Encoding of the element records and their attribute records.
#include "elements.h"

#include <stdexcept>

namespace ovlw {
namespace {

Bytes U16Record(uint16_t cls, unsigned value) {
    Bytes p;
    PutU16(p, value);
    return ShortRecord(cls, p);
}

Bytes ByteRecord(uint16_t cls, unsigned value) {
    Bytes p;
    PutU8(p, value);
    return ShortRecord(cls, p);
}

void PutPt(Bytes& out, Pt p) { PutPoint(out, p.x, p.y); }

void PutU16LE(Bytes& out, unsigned v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void PutU32LE(Bytes& out, uint32_t v) {
    PutU16LE(out, v & 0xFFFF);
    PutU16LE(out, v >> 16);
}

// Parameters of an extended kind, from the long form's base offset 4:
// selector at 4, parameter at 8, count at 14, values from 16.
Bytes ExtendedKind(uint16_t cls, unsigned selector, unsigned param,
                   const std::vector<unsigned>& list, bool longForm) {
    Bytes p;
    PutU16(p, selector);
    PutU16(p, 0);
    PutU16(p, param);
    PutU32(p, 0);
    PutU16(p, static_cast<unsigned>(list.size()));
    for (unsigned v : list) PutU16(p, v);
    return longForm ? LongRecord(cls, p) : ShortRecord(cls, p);
}

// Escape data that puts value at rec+6 (the 2 bytes at rec+4 stay 0).
Bytes At6(unsigned value, int width) {
    Bytes d;
    PutU16(d, 0);
    if (width == 1) {
        PutU8(d, value);
        PutU8(d, 0);
    } else if (width == 2) {
        PutU16(d, value);
    } else {
        PutU32(d, value);
    }
    return d;
}

}  // namespace

Bytes LineType(int code) { return U16Record(kLineType, static_cast<uint16_t>(code)); }
Bytes LineWidth(unsigned width) { return U16Record(kLineWidth, width); }
Bytes LineColour(unsigned index) { return ByteRecord(kLineColour, index); }
Bytes EdgeType(int code) { return U16Record(kEdgeType, static_cast<uint16_t>(code)); }
Bytes EdgeWidth(unsigned width) { return U16Record(kEdgeWidth, width); }
Bytes EdgeColour(unsigned index) { return ByteRecord(kEdgeColour, index); }
Bytes EdgeVisibility(unsigned on) { return U16Record(kEdgeVisibility, on); }
Bytes InteriorStyle(unsigned style) { return U16Record(kInteriorStyle, style); }
Bytes FillColour(unsigned index) { return ByteRecord(kFillColour, index); }
Bytes HatchIndex(int code) { return U16Record(kHatchIndex, static_cast<uint16_t>(code)); }

Bytes LineKindEx(unsigned selector, unsigned param, const std::vector<unsigned>& list,
                 bool longForm) {
    return ExtendedKind(kLineKindEx, selector, param, list, longForm);
}

Bytes EdgeKindEx(unsigned selector, unsigned param, const std::vector<unsigned>& list,
                 bool longForm) {
    return ExtendedKind(kEdgeKindEx, selector, param, list, longForm);
}

Bytes GroupStart(uint32_t flags) { return Escape(9, At6(flags, 4)); }
Bytes GroupEnd() { return Escape(19, At6(0, 4)); }
Bytes LineEnd(unsigned value) { return Escape(11, At6(value, 2)); }
Bytes LineEnd2(unsigned value) { return Escape(20, At6(value, 2)); }
Bytes ColourEscape(unsigned index) { return Escape(8, At6(index, 1)); }

Bytes LineDefinition(int code, const std::vector<unsigned>& lengths) {
    // rec+6 code, rec+12 number of lengths, rec+14 on the lengths.
    Bytes d;
    PutU16(d, 0);
    PutS16(d, code);
    PutU32(d, 0);
    PutU16(d, static_cast<unsigned>(lengths.size()));
    for (unsigned v : lengths) PutU16(d, v);
    while (d.size() < 14) PutU16(d, 0);  // room for the second length
    return Escape(63, d);
}

Bytes Line(Pt a, Pt b, Pt c, unsigned value22, unsigned widthA, int widthB) {
    Bytes p;
    PutU16(p, 12);  // rec+4 identifier
    PutU16(p, 3);   // rec+6 number of points
    PutPt(p, a);
    PutPt(p, b);
    PutPt(p, c);
    PutU16(p, 0);
    PutU16(p, value22);
    PutU16(p, 0);
    PutU16(p, widthA);
    PutS16(p, widthB);
    return LongRecord(kGdp, p);
}

Bytes DisjointPolyline(const std::vector<Pt>& points) {
    Bytes p;
    for (Pt q : points) PutPt(p, q);
    return Record(kDisjointPolyline, p);
}

Bytes Rectangle(Pt a, Pt b) {
    Bytes p;
    PutPt(p, a);
    PutPt(p, b);
    return ShortRecord(kRectangle, p);
}

Bytes Circle(Pt centre, unsigned radius) {
    Bytes p;
    PutPt(p, centre);
    PutU16(p, radius);
    return ShortRecord(kCircle, p);
}

Bytes Ellipse(Pt centre, Pt a, Pt b) {
    Bytes p;
    PutPt(p, centre);
    PutPt(p, a);
    PutPt(p, b);
    return ShortRecord(kEllipse, p);
}

Bytes Polyline(const std::vector<Pt>& points) {
    Bytes p;
    for (Pt q : points) PutPt(p, q);
    return Record(kPolyline, p);
}

Bytes Arc3Point(Pt start, Pt middle, Pt end) {
    Bytes p;
    PutPt(p, start);
    PutPt(p, middle);
    PutPt(p, end);
    return ShortRecord(kArc3Point, p);
}

Bytes Primitive(unsigned id, const Bytes& data) {
    Bytes p;
    PutU16(p, id);
    Append(p, data);
    return LongRecord(kGdp, p);
}

Bytes Text(int x, int y, const Bytes& text, bool longForm) {
    Bytes p;
    PutU16(p, static_cast<uint16_t>(x));
    PutS16(p, y);
    PutU16(p, 1);  // final text
    PutU16(p, static_cast<unsigned>(text.size()));
    Append(p, text);
    return longForm || p.size() > 30 ? LongRecord(kText, p) : ShortRecord(kText, p);
}

Bytes Text2(Pt position, unsigned value1, unsigned value2, const Bytes& text, bool longForm) {
    Bytes p;
    PutPt(p, position);   // base 4
    PutU16(p, value1);    // base 8
    PutU16(p, value2);    // base 10
    PutU16(p, 0);
    PutU32(p, 0);
    PutU16(p, static_cast<unsigned>(text.size()));  // base 18
    PutU16(p, 0);
    Append(p, text);      // base 22
    return longForm || p.size() > 30 ? LongRecord(kText2, p) : ShortRecord(kText2, p);
}

Bytes TextFontIndex(unsigned index) { return U16Record(kTextFontIndex, index); }

Bytes CharExpansion(int whole, unsigned fraction) {
    Bytes p;
    PutS16(p, whole);
    PutU16(p, fraction);
    return ShortRecord(kCharExpansion, p);
}

Bytes CharSpacing(uint32_t fixed) {
    Bytes p;
    PutU32(p, fixed);
    return ShortRecord(kCharSpacing, p);
}

Bytes TextColour(unsigned index) { return ByteRecord(kTextColour, index); }
Bytes CharHeight(unsigned height) { return U16Record(kCharHeight, height); }

Bytes CharOrientation(int xUp, int yUp, int xBase, int yBase) {
    Bytes p;
    PutS16(p, xUp);
    PutS16(p, yUp);
    PutS16(p, xBase);
    PutS16(p, yBase);
    return ShortRecord(kCharOrientation, p);
}

Bytes TextPath(unsigned path) {
    Bytes p{0};
    PutU8(p, path);
    return ShortRecord(kTextPath, p);
}

Bytes Text5260(uint8_t b4, uint8_t b5) { return ShortRecord(kText5260, Bytes{0, 0, b4, b5}); }

Bytes Text5280(Pt first, Pt second) {
    Bytes p;
    PutU16(p, 0);
    PutPt(p, first);
    PutPt(p, second);
    return ShortRecord(kText5280, p);
}

Bytes Text5480(unsigned value) { return U16Record(kText5480, value); }

Bytes Text54A0(unsigned selector, unsigned value) {
    Bytes p;
    PutU8(p, selector);
    PutU8(p, 0);
    PutU16(p, 0);
    PutU16(p, value);
    return ShortRecord(kText54A0, p);
}

Bytes Text5500(const std::vector<unsigned>& values) {
    if (values.size() != 8) throw std::invalid_argument("class 0x5500 takes 8 values");
    Bytes p;
    for (unsigned v : values) PutU16(p, v);
    return ShortRecord(kText5500, p);
}

Bytes FontList(const std::vector<Bytes>& names, bool longForm) {
    Bytes p;
    for (const Bytes& n : names) {
        PutU16(p, static_cast<unsigned>(n.size()));
        Append(p, n);
    }
    return longForm || p.size() > 30 ? LongRecord(kFontList, p) : ShortRecord(kFontList, p);
}

Bytes Ebcdic(const std::string& ascii) {
    Bytes out;
    for (char c : ascii) {
        uint8_t b = 0x40;
        if (c >= '0' && c <= '9') b = static_cast<uint8_t>(0xF0 + (c - '0'));
        else if (c >= 'A' && c <= 'I') b = static_cast<uint8_t>(0xC1 + (c - 'A'));
        else if (c >= 'J' && c <= 'R') b = static_cast<uint8_t>(0xD1 + (c - 'J'));
        else if (c >= 'S' && c <= 'Z') b = static_cast<uint8_t>(0xE2 + (c - 'S'));
        else if (c >= 'a' && c <= 'i') b = static_cast<uint8_t>(0x81 + (c - 'a'));
        else if (c >= 'j' && c <= 'r') b = static_cast<uint8_t>(0x91 + (c - 'j'));
        else if (c >= 's' && c <= 'z') b = static_cast<uint8_t>(0xA2 + (c - 's'));
        out.push_back(b);
    }
    return out;
}

Bytes Image(Pt a, Pt b, Pt c, uint8_t format, uint8_t code, unsigned rows, unsigned rowLength,
            const Bytes& data, unsigned id, bool shortForm) {
    // Offsets of the long-form layout: identifier 4, points 8, 12, 16,
    // format 22, code 23, R 24 and L 26 little-endian, data from 30.
    Bytes p;
    PutU16(p, id);
    PutU16(p, 0);
    PutPt(p, a);
    PutPt(p, b);
    PutPt(p, c);
    PutU16(p, 0);
    PutU8(p, format);
    PutU8(p, code);
    PutU16LE(p, rows);
    PutU16LE(p, rowLength);
    PutU16(p, 0);
    Append(p, data);
    return shortForm ? ShortRecord(kGdp, p) : LongRecord(kGdp, p);
}

size_t DibTableBytes(const Dib& dib) {
    if ((dib.bitCount == 16 || dib.bitCount == 32) && dib.compression == 3) return 12;
    size_t colours = dib.clrUsed;
    if (colours == 0 && (dib.bitCount == 1 || dib.bitCount == 4 || dib.bitCount == 8))
        colours = size_t{1} << dib.bitCount;
    return 4 * colours;
}

size_t DibBitsBytes(const Dib& dib) {
    const uint64_t w = dib.width < 0 ? -static_cast<int64_t>(dib.width) : dib.width;
    const uint64_t h = dib.height < 0 ? -static_cast<int64_t>(dib.height) : dib.height;
    const uint64_t row = ((w * dib.bitCount + 31) & ~uint64_t{31}) / 8;
    return static_cast<size_t>(row * h);
}

Bytes DibBytes(const Dib& dib) {
    const size_t bits = DibBitsBytes(dib);
    Bytes out;
    PutU32LE(out, 40);  // biSize
    PutU32LE(out, static_cast<uint32_t>(dib.width));
    PutU32LE(out, static_cast<uint32_t>(dib.height));
    PutU16LE(out, 1);   // biPlanes
    PutU16LE(out, dib.bitCount);
    PutU32LE(out, dib.compression);
    PutU32LE(out, dib.storeSizeImage ? static_cast<uint32_t>(bits) : 0);
    PutU32LE(out, 2835);  // 72 dpi, pixels per metre
    PutU32LE(out, 2835);
    PutU32LE(out, dib.clrUsed);
    PutU32LE(out, 0);   // biClrImportant
    const size_t table = DibTableBytes(dib);
    for (size_t i = 0; i < table; ++i) out.push_back(static_cast<uint8_t>(i * 7));
    out.insert(out.end(), bits, dib.fill);
    return out;
}

Bytes Bitmap(const BitmapHead& head, const Bytes& dib, const std::vector<size_t>& partitions) {
    // rec+4 identifier, 8 and 12 points, 16 code byte, 20 a, 22 b, 24 c,
    // 28 d, 32 e, 33 mode, 36 the DIB.
    Bytes p;
    PutU16(p, 18);
    PutU16(p, 0);
    PutPt(p, head.first);
    PutPt(p, head.second);
    PutU8(p, head.code);
    PutU8(p, 0);
    PutU16(p, 0);
    PutU16(p, head.a);
    PutU16(p, head.b);
    PutU32(p, head.c);
    PutU32(p, head.d);
    PutU8(p, head.e);
    PutU8(p, head.mode);
    PutU16(p, 0);
    Append(p, dib);
    return LongRecord(kGdp, p, partitions);
}

}  // namespace ovlw
