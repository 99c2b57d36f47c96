// From file to host structures: one overlay holding every element kind is
// written, sized with pcom_fogetreadsize, loaded with pcom_foreadd33 through
// the real file layer, and walked with foreadkindget and the decoders as a
// host walks it.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "tests/decode/host_walk.h"
#include "tests/decode/test_util.h"

using namespace dtest;
using namespace ovlw;
using hostwalk::Decoded;

namespace {

// A temporary file, removed when the object goes.
class TempFile {
public:
    explicit TempFile(const Bytes& bytes) {
        const char* dir = std::getenv("WX5N_TEST_TMP");
        std::string base = dir != nullptr && *dir != '\0' ? dir : "/tmp";
        ::mkdir(base.c_str(), 0755);
        std::string pattern = base + "/decode_e2e_XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd >= 0) {
            ::close(fd);
            path_ = pattern;
            ok_ = WriteFile(path_, bytes);
        }
    }
    ~TempFile() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    bool ok() const { return ok_; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
    bool ok_ = false;
};

const Bytes kHostText = {0x28, 0x45, 0x41, 0x44, 0x5B, 0x29};
const Bytes kSjisText = {0x41, 0x82, 0xA0, 0xB1, 0x93, 0xFA, 0x96, 0x7B};
const Bytes kSjisText2 = {0x82, 0xA0, 0x82, 0xA2};

// Resolution codes with R = 11 and L = 13 worked out by hand: converted
// rows and byte size of the converted one-bit image.
struct ImageCase {
    uint8_t code;
    unsigned rows, size;
};
const ImageCase kImages[] = {
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
const BitmapCase kBitmaps[] = {
    {1, 0, 28}, {4, 0, 56}, {8, 0, 112}, {24, 0, 280}, {32, 0, 364}, {32, 3, 364},
};

Bytes Elements(bool joinedBitmap) {
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

Bytes BuildOverlay(bool format3) {
    Kind1Options o;
    o.preamble = FontList({Ebcdic("QZAAAAAA"), Ebcdic("QZAAAADA")});
    o.elements = Elements(format3);
    if (format3) o.mode = 0x80;
    return BuildKind1(o);
}

struct Loaded {
    Bytes image;
    unsigned int loaded = 0;
    unsigned short dataFormat = 0;
    unsigned short layoutVersion = 0;
};

Loaded LoadFile(const std::string& path) {
    Loaded l;
    unsigned int size = 0;
    EXPECT_EQ(pcom_fogetreadsize(path.c_str(), &size, 0), 0);
    EXPECT_GE(size, 131072u);
    l.image.assign(size, 0);
    unsigned char kind = 0;
    EXPECT_EQ(pcom_foreadd33(1, path.c_str(), l.image.data(), &size, &l.loaded, &kind,
                             &l.dataFormat, &l.layoutVersion, 0),
              0);
    EXPECT_EQ(kind, 1);
    return l;
}

void CheckText(const Decoded& d, int which, unsigned char textMode) {
    const FO_ATTR_TEXT& a = d.attr.text;
    EXPECT_EQ(d.unitTenths, 60);
    EXPECT_EQ(d.unitHalf, 30);
    if (which == 0) {
        EXPECT_EQ(d.kind, 7);
        EXPECT_EQ(d.textPosition, P(1441, 721));
        EXPECT_EQ(a.fontIndex, 2);
        EXPECT_EQ(a.charHeight, 240);
        EXPECT_EQ(a.textColour, 7);
        EXPECT_EQ(a.textRotation, 0);
        EXPECT_EQ(a.slantAngle, 90);
        EXPECT_EQ(a.textLength, 6);
        EXPECT_EQ(a.textRecordKind, 0);
        if (textMode == 1) {
            EXPECT_EQ(a.fontClass, 2);  // font name 2 is QZAAAADA
            EXPECT_EQ(a.textForm, 1);
            EXPECT_EQ(a.charCount, 4);
            EXPECT_EQ(a.textCharFlags, 2);
            EXPECT_EQ(d.text[0], 0x45);
            EXPECT_EQ(d.text[-1], 0x28);
        } else {
            EXPECT_EQ(a.fontClass, 4);
            EXPECT_EQ(a.textForm, 4);
            EXPECT_EQ(a.charCount, 6);
            EXPECT_EQ(a.textCharFlags, 5);
            EXPECT_EQ(d.text[0], 0x28);
        }
    } else if (which == 1) {
        EXPECT_EQ(d.kind, 7);
        EXPECT_EQ(d.textPosition, P(2881, 1441));
        EXPECT_EQ(d.aux1, P(241, 241));
        EXPECT_EQ(d.aux2, P(481, 481));
        EXPECT_EQ(a.charExpansion, 150);
        EXPECT_EQ(a.slantAngle, 45);
        EXPECT_EQ(a.fontIndex2, 9);
        EXPECT_EQ(a.fontClass, 4);
        EXPECT_EQ(a.textAttr47, 1);
        EXPECT_EQ(a.textAttr64, 2);
        EXPECT_EQ(a.textAttr50, 3);
        EXPECT_EQ(a.textAttr56, 4);
        EXPECT_EQ(a.textAttr54, 5);
        EXPECT_EQ(a.textAttr52, 6);
        EXPECT_EQ(a.textAttr48, 7);
        EXPECT_EQ(a.textAttr58, 1);
        EXPECT_EQ(a.textLength, 8);
        EXPECT_EQ(d.text[0], 0x41);
        if (textMode == 1) {
            EXPECT_EQ(a.textForm, 1);
            EXPECT_EQ(a.charCount, 8);
        } else {
            EXPECT_EQ(a.textForm, 4);
            EXPECT_EQ(a.charCount, 5);
            EXPECT_EQ(a.textCharFlags, 7);
        }
    } else {
        EXPECT_EQ(d.kind, 12);
        EXPECT_EQ(a.textRecordKind, 1);
        EXPECT_EQ(d.textPosition, P(241, 481));
        EXPECT_EQ(a.textAttr60, 720);
        EXPECT_EQ(a.textAttr62, 1440);
        EXPECT_EQ(a.charSpacing, 200);
        EXPECT_EQ(a.textForm, 4);
        EXPECT_EQ(a.charCount, 2);
        EXPECT_EQ(a.textCharFlags, 6);
        EXPECT_EQ(a.textLength, 4);
        EXPECT_EQ(d.text[0], 0x82);
        EXPECT_EQ(d.text[3], 0xA2);
    }
}

// Walks the loaded overlay as a host and checks every decoded value.
void WalkAndCheck(const Loaded& l, unsigned char textMode) {
    FO_FONTBLOCK fonts;
    std::memset(&fonts, 0, sizeof(fonts));
    const size_t first = hostwalk::FirstElement(l.image.data(), l.loaded, l.dataFormat, &fonts);
    ASSERT_GT(first, 0u);
    ASSERT_EQ(fonts.nameCount, 2);
    const short dpi = pcom_foprint_getdpi(l.image.data(), l.layoutVersion);
    ASSERT_EQ(dpi, 240);

    FO_WORK work = DefaultWork();
    hostwalk::WalkSetup setup;
    setup.dpi = static_cast<unsigned>(dpi);
    setup.work = &work;
    setup.fonts = &fonts;
    setup.textMode = textMode;
    setup.textEncoding = 3;
    std::vector<Decoded> got;
    Bytes image = l.image;  // the decoders take a writable cursor
    const hostwalk::WalkResult w =
        hostwalk::Walk(image.data() + first, static_cast<unsigned>(l.loaded - first), setup,
                       [&](const Decoded& d) { got.push_back(d); });
    ASSERT_EQ(w.result, 0);

    const size_t images = std::size(kImages);
    const size_t bitmaps = std::size(kBitmaps);
    ASSERT_EQ(got.size(), 1 + 4 + 3 + 3 + 3 + images + bitmaps);
    for (const Decoded& d : got) EXPECT_EQ(d.result, 0) << d.kind;
    size_t i = 0;

    // Line.
    const Decoded& line = got[i++];
    EXPECT_EQ(line.kind, 1);
    EXPECT_EQ(line.point[0], P(1, 1));
    EXPECT_EQ(line.point[1], P(481, 1));
    EXPECT_EQ(line.point[2], P(121, 121));
    EXPECT_EQ(line.lineValue, 77);
    EXPECT_EQ(line.width, 10);
    EXPECT_EQ(line.attr.line.shape, 1);
    EXPECT_EQ(line.attr.line.lineStyle, 3);
    EXPECT_EQ(line.attr.line.lineDash[0], 20);
    EXPECT_EQ(line.attr.line.lineWidth, 10);
    EXPECT_EQ(line.attr.line.lineColour, 2);
    EXPECT_EQ(line.attr.line.lineEnd, 3);

    // Segments, then the call that meets the group end.
    const FO_POINT segments[3][2] = {{P(1, 241), P(241, 241)}, {P(241, 241), P(241, 481)},
                                     {P(241, 481), P(481, 721)}};
    for (int s = 0; s < 3; ++s) {
        const Decoded& d = got[i++];
        EXPECT_EQ(d.kind, 10);
        EXPECT_EQ(d.segment, 1);
        EXPECT_EQ(d.started, 1);
        EXPECT_EQ(d.ended, 0);
        EXPECT_EQ(d.flagsHigh, 0x100u);
        EXPECT_EQ(d.flagsLow, 0x20u);
        EXPECT_EQ(d.point[0], segments[s][0]);
        EXPECT_EQ(d.point[1], segments[s][1]);
        EXPECT_EQ(d.attr.line.shape, s + 1);
        EXPECT_EQ(d.attr.line.lineWidth, 20);
    }
    const Decoded& groupEnd = got[i++];
    EXPECT_EQ(groupEnd.kind, 10);
    EXPECT_EQ(groupEnd.ended, 1);
    EXPECT_EQ(groupEnd.started, 0);
    EXPECT_EQ(groupEnd.segment, 0);

    const Decoded& rect = got[i++];
    EXPECT_EQ(rect.kind, 3);
    EXPECT_EQ(rect.point[0], P(241, 241));
    EXPECT_EQ(rect.point[1], P(481, 481));
    EXPECT_EQ(rect.width, 1);
    EXPECT_EQ(rect.attr.line.shape, 16);
    EXPECT_EQ(rect.attr.line.edgeStyle, 2);
    EXPECT_EQ(rect.attr.line.edgeDash[0], 5);  // code 3: entry 14
    EXPECT_EQ(rect.attr.line.edgeWidth, 5);
    EXPECT_EQ(rect.attr.line.lineColour, 4);
    EXPECT_EQ(rect.attr.line.lineEnd2, 2);

    const Decoded& circle = got[i++];
    EXPECT_EQ(circle.kind, 2);
    EXPECT_EQ(circle.centre, P(241, 241));
    EXPECT_EQ(circle.radius, 240);
    EXPECT_EQ(circle.attr.line.shape, 48);
    EXPECT_EQ(circle.attr.line.lineStyle, 4);

    const Decoded& ellipse = got[i++];
    EXPECT_EQ(ellipse.kind, 8);
    EXPECT_EQ(ellipse.centre, P(241, 241));
    EXPECT_EQ(ellipse.radiusX, 240);
    EXPECT_EQ(ellipse.radiusY, 120);
    EXPECT_EQ(ellipse.attr.line.shape, 80);
    EXPECT_EQ(ellipse.attr.line.lineColour, 5);

    const Decoded& area = got[i++];
    EXPECT_EQ(area.kind, 4);
    EXPECT_EQ(area.low, P(1, 1));
    EXPECT_EQ(area.high, P(481, 241));
    EXPECT_EQ(area.attr.line.cornerRadius[0], 40);  // top right
    EXPECT_EQ(area.attr.line.cornerRadius[1], 30);  // bottom right
    EXPECT_EQ(area.attr.line.cornerRadius[3], 20);  // bottom left
    EXPECT_EQ(area.attr.line.cornerRadius[2], 10);  // top left
    EXPECT_EQ(area.attr.line.hatched, 1);
    EXPECT_EQ(area.attr.line.hatchIndex, 39);
    EXPECT_EQ(area.attr.line.fillColour, 3);
    EXPECT_EQ(area.attr.line.edgeVisible, 1);
    EXPECT_EQ(area.attr.line.edgeDash[0], 240);
    EXPECT_EQ(area.attr.line.edgeDash[1], 120);
    EXPECT_EQ(area.attr.line.edgeDashCount, 2);
    EXPECT_EQ(work.lineDef[1].length[0], 240);

    const Decoded& area5 = got[i++];
    EXPECT_EQ(area5.kind, 5);
    EXPECT_EQ(area5.attr.line.cornerRadius[0], 40);
    EXPECT_EQ(area5.low, P(241, 1));
    EXPECT_EQ(area5.high, P(281, 41));
    const Decoded& area6 = got[i++];
    EXPECT_EQ(area6.kind, 6);
    EXPECT_EQ(area6.low, P(1, 1));
    EXPECT_EQ(area6.high, P(241, 241));

    for (int t = 0; t < 3; ++t) CheckText(got[i++], t, textMode);

    for (const ImageCase& c : kImages) {
        const Decoded& d = got[i++];
        EXPECT_EQ(d.kind, 9);
        EXPECT_EQ(d.imagePosition, P(241, 241));
        EXPECT_EQ(d.imageRows, c.rows) << std::hex << int(c.code);
        EXPECT_EQ(d.imageSize, c.size) << std::hex << int(c.code);
        ASSERT_NE(d.imageRecord, nullptr);
        EXPECT_EQ(hostwalk::BE16(d.imageRecord), 0x415F);
        EXPECT_EQ(d.imageRecord[23], c.code);
        EXPECT_EQ(d.imageRecord[30], c.code);  // the first data byte
    }

    unsigned n = 0;
    for (const BitmapCase& c : kBitmaps) {
        const Decoded& d = got[i++];
        EXPECT_EQ(d.kind, 11);
        EXPECT_EQ(d.bitmap.code, n % 4 + 1);
        EXPECT_EQ(d.bitmap.valueA, 100 + n);
        EXPECT_EQ(d.bitmap.valueB, 200 + n);
        EXPECT_EQ(d.bitmap.valueC, 0x01020304u + n);
        EXPECT_EQ(d.bitmap.valueD, 0xA0B0C0D0u + n);
        EXPECT_EQ(d.bitmap.valueE, 50 + n);
        EXPECT_EQ(d.bitmap.mode, n % 3);
        EXPECT_EQ(d.bitmap.colour, n == 0 ? 8 : 0);  // the escape before the first
        EXPECT_EQ(d.bitmap.bitsSize, c.bitsSize) << c.bits;
        ASSERT_NE(d.bitmap.bitmapInfo, nullptr);
        EXPECT_EQ(d.bitmap.bitmapInfo[0], 40);   // biSize, little-endian
        EXPECT_EQ(d.bitmap.bitmapInfo[14], c.bits);  // biBitCount
        // The last pixel byte: just before the next record.
        const size_t table = c.compression == 3 ? 12 : (c.bits <= 8 ? 4u << c.bits : 0);
        EXPECT_EQ(d.bitmap.bitmapInfo[40 + table + c.bitsSize - 1], c.bits);
        EXPECT_EQ(d.bitmapCorner[0], P(1, static_cast<int>(1 + 40 * n)));
        EXPECT_EQ(d.bitmapCorner[1], P(241, 241));
        ++n;
    }
}

}  // namespace

TEST(EndToEnd, EveryElementKindFromFileToHostStructures) {
    for (bool format3 : {false, true}) {
        SCOPED_TRACE(format3 ? "data format 3" : "data format 1");
        TempFile file(BuildOverlay(format3));
        ASSERT_TRUE(file.ok());
        const Loaded l = LoadFile(file.path());
        EXPECT_EQ(l.dataFormat, format3 ? 3 : 1);
        EXPECT_EQ(l.layoutVersion, 1);
        {
            SCOPED_TRACE("text mode 1");
            WalkAndCheck(l, 1);
        }
        {
            SCOPED_TRACE("text mode 2");
            WalkAndCheck(l, 2);
        }
    }
}

TEST(EndToEnd, ReadSizeThroughTheFileLayer) {
    TempFile file(Bytes(131073, 0));
    ASSERT_TRUE(file.ok());
    unsigned int size = 0;
    EXPECT_EQ(pcom_fogetreadsize(file.path().c_str(), &size, 0), 0);
    EXPECT_EQ(size, 163840u);
    unsigned int untouched = 5;
    EXPECT_NE(pcom_fogetreadsize((file.path() + ".missing").c_str(), &untouched, 0), 0);
    EXPECT_EQ(untouched, 5u);
}
