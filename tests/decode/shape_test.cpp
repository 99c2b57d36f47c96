// fordrect, fordcircle and fordellipse.
#include <gtest/gtest.h>

#include "tests/decode/test_util.h"

using namespace dtest;
using namespace ovlw;

namespace {

struct RectOut {
    FO_POINT low{}, high{};
    unsigned char width = 0;
    int result = 0;
    FO_ATTR attr = ZeroAttr();
    size_t at = 0;
};

RectOut DecodeRect(const Bytes& records, FO_WORK& work, unsigned dpi = 240) {
    Records r(records);
    RectOut o;
    FO_LINEOUT out = {&o.low, &o.high, nullptr, nullptr, nullptr, &o.width, nullptr, nullptr};
    o.result = fordrect(&r.cursor, &r.remaining, &o.attr, dpi, &out, &work);
    o.at = r.at();
    return o;
}

struct EllipseOut {
    FO_POINT centre{};
    unsigned short rx = 0, ry = 0;
    int result = 0;
    FO_ATTR attr = ZeroAttr();
};

EllipseOut DecodeEllipse(const Bytes& records, FO_WORK& work) {
    Records r(records);
    EllipseOut o;
    o.result = fordellipse(&r.cursor, &r.remaining, &o.attr, 240, &o.centre, &o.rx, &o.ry, &work);
    return o;
}

}  // namespace

// Corners given high to low, width and shape: the end-to-end dump.
TEST(Fordrect, CornersAreNormalised) {
    FO_WORK work = DefaultWork();
    RectOut o = DecodeRect(Rectangle({1440, -1440}, {1440, -1440}), work);
    EXPECT_EQ(o.low, P(241, 241));
    EXPECT_EQ(o.high, P(241, 241));

    // Above the page (y > 0) the device rows are negative: signed compares.
    o = DecodeRect(Rectangle({0, 1440}, {1440, -1440}), work);
    EXPECT_EQ(o.low, P(1, -239));
    EXPECT_EQ(o.high, P(241, 241));
}

TEST(ShapeDecoders, ColourRecords) {
    FO_WORK work = DefaultWork();
    // LINE COLOUR is stepped over by the rectangle and circle decoders and
    // taken by the ellipse decoder; EDGE COLOUR is taken by all three.
    FO_ATTR seed = ZeroAttr();
    seed.line.lineColour = 99;
    {
        Records r(Concat({LineColour(2), LineType(3), Rectangle({0, 0}, {10, -10})}));
        FO_ATTR attr = seed;
        FO_POINT a{}, b{};
        unsigned char w = 0;
        FO_LINEOUT out = {&a, &b, nullptr, nullptr, nullptr, &w, nullptr, nullptr};
        ASSERT_EQ(fordrect(&r.cursor, &r.remaining, &attr, 240, &out, &work), 0);
        EXPECT_EQ(attr.line.lineColour, 99);
        EXPECT_EQ(attr.line.lineStyle, 2);
    }
    {
        Records r(Concat({LineColour(2), LineType(3), Circle({0, 0}, 10)}));
        FO_ATTR attr = seed;
        FO_POINT c{};
        unsigned short radius = 0;
        ASSERT_EQ(fordcircle(&r.cursor, &r.remaining, &attr, 240, &c, &radius, &work), 0);
        EXPECT_EQ(attr.line.lineColour, 99);
        EXPECT_EQ(attr.line.lineStyle, 2);
    }
    {
        Records r(Concat({LineColour(2), LineType(3), Ellipse({0, 0}, {0, 10}, {10, 0})}));
        FO_ATTR attr = seed;
        FO_POINT c{};
        unsigned short rx = 0, ry = 0;
        ASSERT_EQ(fordellipse(&r.cursor, &r.remaining, &attr, 240, &c, &rx, &ry, &work), 0);
        EXPECT_EQ(attr.line.lineColour, 2);
        EXPECT_EQ(attr.line.lineStyle, 2);
    }
    RectOut o = DecodeRect(Concat({EdgeColour(5), Rectangle({0, 0}, {10, -10})}), work);
    EXPECT_EQ(o.attr.line.lineColour, 5);
}

TEST(ShapeDecoders, EscapesAndRejections) {
    FO_WORK work = DefaultWork();
    RectOut o = DecodeRect(Concat({GroupStart(0x21), LineEnd(0), LineEnd2(1),
                                   LineDefinition(-16390, {60, 120}), GroupEnd(),
                                   Rectangle({0, 0}, {10, -10})}),
                           work);
    ASSERT_EQ(o.result, 0);
    EXPECT_EQ(o.attr.line.lineEnd, 3);
    EXPECT_EQ(o.attr.line.lineEnd2, 2);
    EXPECT_EQ(work.lineDef[10].length[0], 10);
    EXPECT_EQ(work.lineDef[10].length[1], 20);

    const Bytes lead = EdgeWidth(60);
    const Bytes rejected[] = {
        Escape(12, Bytes{0, 0}),
        Circle({0, 0}, 10),                        // another decoder's shape
        ShortRecord(0x4160, Bytes{0, 0, 0, 0, 0, 0}),  // corners cut short
        Line({0, 0}, {1, 0}, {0, 0}, 0, 0, 0),
    };
    for (const Bytes& bad : rejected) {
        RectOut r = DecodeRect(Concat({lead, bad, Rectangle({0, 0}, {10, -10})}), work);
        EXPECT_EQ(r.result, -1);
        EXPECT_EQ(r.at, lead.size());
        EXPECT_EQ(r.attr.line.edgeWidth, 10);
        EXPECT_EQ(r.width, 0);  // outputs untouched
        EXPECT_EQ(r.attr.line.shape, 0);
    }
    // Escape 20 sets lineEnd2 here (the line decoder rejects it).
    EXPECT_EQ(DecodeEllipse(Concat({LineEnd2(0), Ellipse({0, 0}, {0, 1}, {1, 0})}), work).attr.line.lineEnd2, 3);
}

// Centre, radius and shape without an origin: the end-to-end dump.
TEST(Fordcircle, CentreAndRadius) {
    FO_WORK work = DefaultWork();
    FO_ATTR attr = ZeroAttr();
    FO_POINT c{};
    unsigned short radius = 0;
    FO_WORK shifted = DefaultWork(10, 10);
    Records s(Circle({1440, -1440}, 1440));
    ASSERT_EQ(fordcircle(&s.cursor, &s.remaining, &attr, 240, &c, &radius, &shifted), 0);
    EXPECT_EQ(c, P(251, 251));
    EXPECT_EQ(radius, 240);  // a length: no added 1

    // Unsigned 32-bit product kept to 16 bits: 65535 at 14400 dpi.
    Records big(Circle({0, 0}, 65535));
    ASSERT_EQ(fordcircle(&big.cursor, &big.remaining, &attr, 14400, &c, &radius, &work), 0);
    EXPECT_EQ(radius, static_cast<unsigned short>(655350u));

    Records cut(ShortRecord(0x4180, Bytes{0, 0, 0, 0, 0}));
    radius = 7;
    EXPECT_EQ(fordcircle(&cut.cursor, &cut.remaining, &attr, 240, &c, &radius, &work), -1);
    EXPECT_EQ(radius, 7);
}

TEST(Fordellipse, RadiiFromTheConjugateDiameterEnds) {
    FO_WORK work = DefaultWork(5, 5);
    EllipseOut o = DecodeEllipse(Ellipse({1440, -1440}, {1440, -720}, {2880, -1440}), work);
    ASSERT_EQ(o.result, 0);
    EXPECT_EQ(o.centre, P(246, 246));
    EXPECT_EQ(o.rx, 240);
    EXPECT_EQ(o.ry, 120);
    EXPECT_EQ(o.attr.line.shape, 80);
    o = DecodeEllipse(Ellipse({1440, -1440}, {2880, -1440}, {1440, -720}), work);
    EXPECT_EQ(o.rx, 240);
    EXPECT_EQ(o.ry, 120);
    // A tilted ellipse comes back axis-parallel through one coordinate of
    // each end.
    o = DecodeEllipse(Ellipse({1440, -1440}, {2880, -2160}, {1080, -720}), work);
    EXPECT_EQ(o.rx, 240);
    EXPECT_EQ(o.ry, 120);
}
