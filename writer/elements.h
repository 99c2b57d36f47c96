// ovlwriter: the element records of every element kind and their attribute
// records. Each function returns the encoded bytes of one record (big-endian,
// as overlay files store them); elements are sequences of such records put
// together with Concat.
//
// Points are file points in 1/1440 inch, x unsigned and y signed (y up: the
// page lies at y <= 0).
#ifndef OVLWRITER_ELEMENTS_H
#define OVLWRITER_ELEMENTS_H

#include <cstdint>
#include <string>
#include <vector>

#include "ovlwriter.h"

namespace ovlw {

struct Pt {
    int x;
    int y;
};

// Record classes of the elements and attributes.
enum : uint16_t {
    kFontList = 0x11A0,
    kPolyline = 0x4020,
    kDisjointPolyline = 0x4040,
    kText = 0x4080,
    kGdp = 0x4140,
    kRectangle = 0x4160,
    kCircle = 0x4180,
    kArc3Point = 0x41A0,
    kEllipse = 0x4220,
    kText2 = 0x4280,
    kLineType = 0x5040,
    kLineWidth = 0x5060,
    kLineColour = 0x5080,
    kTextFontIndex = 0x5140,
    kCharExpansion = 0x5180,
    kCharSpacing = 0x51A0,
    kTextColour = 0x51C0,
    kCharHeight = 0x51E0,
    kCharOrientation = 0x5200,
    kTextPath = 0x5220,
    kText5260 = 0x5260,
    kText5280 = 0x5280,
    kInteriorStyle = 0x52C0,
    kFillColour = 0x52E0,
    kHatchIndex = 0x5300,
    kEdgeType = 0x5360,
    kEdgeWidth = 0x5380,
    kEdgeColour = 0x53A0,
    kEdgeVisibility = 0x53C0,
    kText5480 = 0x5480,
    kText54A0 = 0x54A0,
    kLineKindEx = 0x54C0,
    kEdgeKindEx = 0x54E0,
    kText5500 = 0x5500,
    kEscape = 0x6020,
};

// ---- Line and edge attributes ----------------------------------------------
Bytes LineType(int code);              // 0x5040, code signed 16-bit
Bytes LineWidth(unsigned width);       // 0x5060, 1/1440 inch
Bytes LineColour(unsigned index);      // 0x5080, one-byte colour index
Bytes EdgeType(int code);              // 0x5360
Bytes EdgeWidth(unsigned width);       // 0x5380
Bytes EdgeColour(unsigned index);      // 0x53A0
Bytes EdgeVisibility(unsigned on);     // 0x53C0, 1 on
Bytes InteriorStyle(unsigned style);   // 0x52C0, 3 hatch
Bytes FillColour(unsigned index);      // 0x52E0
Bytes HatchIndex(int code);            // 0x5300, signed 16-bit
// Extended line (0x54C0) and edge (0x54E0) kinds: selector, the parameter of
// selector 8, the list of selector 9. Short form unless longForm.
Bytes LineKindEx(unsigned selector, unsigned param = 0, const std::vector<unsigned>& list = {},
                 bool longForm = false);
Bytes EdgeKindEx(unsigned selector, unsigned param = 0, const std::vector<unsigned>& list = {},
                 bool longForm = false);

// ---- Escapes ---------------------------------------------------------------
// Group start (identifier 9) with the 32-bit group flags; the low 4 bits are
// the group type: 2 or 3, 4, 5 open an area; others a segmented line.
Bytes GroupStart(uint32_t flags);
Bytes GroupEnd();                                   // identifier 19
// Line ends: identifier 11 (first) or 20 (second); value 0 round, 1 square,
// anything else flat.
Bytes LineEnd(unsigned value);
Bytes LineEnd2(unsigned value);
// Line definition (identifier 63) of a private code -16400..-16385, with two
// or four lengths in 1/1440 inch.
Bytes LineDefinition(int code, const std::vector<unsigned>& lengths);
Bytes ColourEscape(unsigned index);                 // identifier 8, for pictures

// ---- Lines, shapes, areas --------------------------------------------------
// Line record: GENERALIZED DRAWING PRIMITIVE 12, long form. value22 is handed
// to the host as it stands; widthA and widthB are the two width parameters
// (B signed, stored like a y coordinate).
Bytes Line(Pt a, Pt b, Pt c, unsigned value22, unsigned widthA, int widthB);
Bytes DisjointPolyline(const std::vector<Pt>& points);
Bytes Rectangle(Pt a, Pt b);
Bytes Circle(Pt centre, unsigned radius);
Bytes Ellipse(Pt centre, Pt a, Pt b);
Bytes Polyline(const std::vector<Pt>& points);
Bytes Arc3Point(Pt start, Pt middle, Pt end);
// A primitive of another identifier, with the given data after it (long).
Bytes Primitive(unsigned id, const Bytes& data);

// ---- Text --------------------------------------------------------------------
// TEXT (0x4080): position in 1/1440 inch (y up), text bytes as they stand.
// Short form when it fits (text of 22 bytes or fewer) unless longForm.
Bytes Text(int x, int y, const Bytes& text, bool longForm = false);
// Record of class 0x4280: a file point, two 16-bit values, the text.
Bytes Text2(Pt position, unsigned value1, unsigned value2, const Bytes& text,
            bool longForm = false);
Bytes TextFontIndex(unsigned index);                         // 0x5140
Bytes CharExpansion(int whole, unsigned fraction);           // 0x5180, 16.16
Bytes CharSpacing(uint32_t fixed);                           // 0x51A0, 16.16
Bytes TextColour(unsigned index);                            // 0x51C0
Bytes CharHeight(unsigned height);                           // 0x51E0
Bytes CharOrientation(int xUp, int yUp, int xBase, int yBase);  // 0x5200
Bytes TextPath(unsigned path);                               // 0x5220, byte 3
Bytes Text5260(uint8_t b4, uint8_t b5);                      // bytes 4 and 5
Bytes Text5280(Pt first, Pt second);                         // points at 4 and 8
Bytes Text5480(unsigned value);                              // bytes 2 to 3
Bytes Text54A0(unsigned selector, unsigned value);           // byte 2, bytes 6 to 7
// Class 0x5500: the eight 16-bit values at record bytes 2, 4, ..., 16.
Bytes Text5500(const std::vector<unsigned>& values);
// Font list (0x11A0): every name preceded by its 16-bit length.
Bytes FontList(const std::vector<Bytes>& names, bool longForm = false);
// Text in EBCDIC from ASCII letters, digits and spaces.
Bytes Ebcdic(const std::string& ascii);

// ---- Pictures ----------------------------------------------------------------
// Image (GENERALIZED DRAWING PRIMITIVE 4, or id): three corner points, format
// byte (0xF9 measured), resolution code, rows R and row length L (both
// little-endian), then the data. Long form; shortForm writes the short form
// (which holds at most 2 data bytes).
Bytes Image(Pt a, Pt b, Pt c, uint8_t format, uint8_t code, unsigned rows, unsigned rowLength,
            const Bytes& data, unsigned id = 4, bool shortForm = false);

// A device-independent bitmap: BITMAPINFOHEADER (40 bytes, little-endian),
// colour table and pixel bits, sized as the bitmap decoder works them out.
struct Dib {
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bitCount = 1;
    uint32_t compression = 0;    // 3: bit fields (16 and 32 bits)
    uint32_t clrUsed = 0;
    bool storeSizeImage = false; // write biSizeImage (else 0)
    uint8_t fill = 0;            // value of every pixel byte
};
Bytes DibBytes(const Dib& dib);
// Bytes of the colour table (or bit-field masks) and of the pixel bits.
size_t DibTableBytes(const Dib& dib);
size_t DibBitsBytes(const Dib& dib);

struct BitmapHead {
    Pt first{0, 0};
    Pt second{0, 0};
    uint8_t code = 0xF0;  // EBCDIC "0" to "3"
    unsigned a = 0;
    unsigned b = 0;
    uint32_t c = 0;
    uint32_t d = 0;
    unsigned e = 0;
    unsigned mode = 0;
};
// Bitmap (GENERALIZED DRAWING PRIMITIVE 18), long form: the head, then the
// DIB. Partitions as given (their sizes must add up to the parameters);
// several partitions are joined by the loader in data format 3 only.
Bytes Bitmap(const BitmapHead& head, const Bytes& dib, const std::vector<size_t>& partitions = {});

}  // namespace ovlw

#endif  // OVLWRITER_ELEMENTS_H
