// The sample overlay of the end-to-end test, the fuzz corpus and the
// benchmark: every element kind, with values worked out by hand in the test.
#ifndef WX5N_TESTS_DECODE_SAMPLE_OVERLAY_H
#define WX5N_TESTS_DECODE_SAMPLE_OVERLAY_H

#include <cstdint>
#include <iterator>
#include <vector>

#include "writer/elements.h"
#include "writer/ovlwriter.h"

namespace sample {

using namespace ovlw;

inline const Bytes kHostText = {0x28, 0x45, 0x41, 0x44, 0x5B, 0x29};
inline const Bytes kSjisText = {0x41, 0x82, 0xA0, 0xB1, 0x93, 0xFA, 0x96, 0x7B};
inline const Bytes kSjisText2 = {0x82, 0xA0, 0x82, 0xA2};

// Resolution codes with R = 11 and L = 13 worked out by hand: converted
// rows and byte size of the converted one-bit image.
struct ImageCase {
    uint8_t code;
    unsigned rows, size;
};
inline const ImageCase kImages[] = {
    {0xB1, 6, 6},   {0xB3, 7, 7},   {0xC0, 17, 51}, {0xC1, 11, 22}, {0xC2, 15, 45},
    {0xC3, 14, 28}, {0xC4, 9, 18},  {0xD0, 33, 165}, {0xD1, 22, 88}, {0xF0, 11, 22},
    {0xF1, 14, 28}, {0xF2, 11, 22}, {0xF3, 11, 22},
};

// Bitmaps of 13 x 7 pixels: pixel bytes worked out by hand.
struct BitmapCase {
    uint16_t bits;
    uint32_t compression;
    unsigned bitsSize;
};
inline const BitmapCase kBitmaps[] = {
    {1, 0, 28}, {4, 0, 56}, {8, 0, 112}, {24, 0, 280}, {32, 0, 364}, {32, 3, 364},
};

inline Bytes SampleElements(bool joinedBitmap) {
    Bytes e;
    // A line.
    Append(e, Concat({LineType(2), LineWidth(60), LineColour(2), LineEnd(0),
                      Line({0, 0}, {2880, 0}, {720, -720}, 77, 59, 0)}));
    // A segmented line: a group of three segments.
    Append(e, Concat({GroupStart(0x00000120), LineWidth(120),
                      DisjointPolyline({{0, -1440}, {1440, -1440}}), Marker(),
                      DisjointPolyline({{1440, -1440}, {1440, -2880}}),
                      DisjointPolyline({{1440, -2880}, {2880, -4320}}), GroupEnd()}));
    Append(e, Marker(0x0006));  // between elements
    // A rectangle, a circle, an ellipse.
    Append(e, Concat({EdgeType(3), EdgeWidth(30), EdgeColour(4), LineEnd2(1),
                      Rectangle({2880, -1440}, {1440, -2880})}));
    Append(e, Concat({LineType(4), Circle({1440, -1440}, 1440)}));
    Append(e, Concat({LineColour(5), Ellipse({1440, -1440}, {1440, -720}, {2880, -1440})}));
    // A hatched area with four rounded corners of four radii, drawn
    // clockwise on the device.
    Append(e, Concat({GroupStart(0x2), InteriorStyle(3), HatchIndex(-9), FillColour(3),
                      EdgeVisibility(1), EdgeType(-16399), LineDefinition(-16399, {1440, 720}),
                      Polyline({{60, 0}, {2640, 0}}), Arc3Point({2640, 0}, {2800, -80}, {2880, -240}),
                      Polyline({{2880, -240}, {2880, -1260}}),
                      Arc3Point({2880, -1260}, {2820, -1400}, {2700, -1440}),
                      Primitive(7, Bytes(4, 0)), Polyline({{2700, -1440}, {120, -1440}}),
                      Arc3Point({120, -1440}, {30, -1400}, {0, -1320}),
                      Polyline({{0, -1320}, {0, -60}}), Arc3Point({0, -60}, {20, -20}, {60, 0}),
                      GroupEnd()}));
    // Areas of group types 4 and 5.
    Append(e, Concat({GroupStart(0x4), Arc3Point({1440, 0}, {0, 0}, {1680, -240}), GroupEnd()}));
    Append(e, Concat({GroupStart(0x15), Polyline({{0, 0}, {1440, -1440}}), GroupEnd()}));
    // Text: a TEXT record of EBCDIC/HKZ text, a long TEXT record of Shift
    // JIS text, and a record of class 0x4280.
    Append(e, Concat({TextFontIndex(2), CharHeight(240), TextColour(1), CharOrientation(0, 1, 1, 0),
                      Text(1440, -720, kHostText)}));
    Append(e, Concat({Text5280({1440, -1440}, {2880, -2880}), CharExpansion(1, 0x8000),
                      CharOrientation(1000, 1000, 1000, 0), Text54A0(1, 9),
                      Text5500({1, 2, 3, 4, 5, 6, 7, 1}), Escape(73, Bytes{0, 0}),
                      Text(2880, -1440, kSjisText, true)}));
    Append(e, Concat({CharSpacing(0x00020000), Text2({1440, -2880}, 120, 240, kSjisText2)}));
    // Images: a primitive 5 first (stepped over by fordimg), then one image
    // of each resolution code, 11 rows of 13 pixels.
    Append(e, Primitive(5, Bytes(26, 0)));
    for (const ImageCase& c : kImages) {
        Append(e, Image({1440, -1440}, {2880, -1440}, {1440, -2880}, 0xF9, c.code, 11, 13,
                        Bytes(22, c.code)));
    }
    // Bitmaps of each bit count; the 24-bit one in three partitions when
    // the loader joins them (data format 3).
    Append(e, ColourEscape(8));
    unsigned n = 0;
    for (const BitmapCase& c : kBitmaps) {
        Dib dib;
        dib.width = 13;
        dib.height = 7;
        dib.bitCount = c.bits;
        dib.compression = c.compression;
        dib.fill = static_cast<uint8_t>(c.bits);
        BitmapHead head;
        head.first = {0, -static_cast<int>(240 * n)};
        head.second = {1440, -1440};
        head.code = static_cast<uint8_t>(0xF0 + n % 4);
        head.a = 100 + n;
        head.b = 200 + n;
        head.c = 0x01020304u + n;
        head.d = 0xA0B0C0D0u + n;
        head.e = 50 + n;
        head.mode = n % 3;
        const Bytes dibBytes = DibBytes(dib);
        std::vector<size_t> parts;
        if (joinedBitmap && c.bits == 24) {
            const size_t params = 32 + dibBytes.size();
            parts = {100, 150, params - 250};
        }
        Append(e, Bitmap(head, dibBytes, parts));
        ++n;
    }
    return e;
}

inline Bytes BuildSampleOverlay(bool format3) {
    Kind1Options o;
    o.preamble = FontList({Ebcdic("QZAAAAAA"), Ebcdic("QZAAAADA")});
    o.elements = SampleElements(format3);
    if (format3) o.mode = 0x80;
    return BuildKind1(o);
}

}  // namespace sample

#endif  // WX5N_TESTS_DECODE_SAMPLE_OVERLAY_H
