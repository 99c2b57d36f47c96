// fordarchatch.
#include <gtest/gtest.h>

#include "tests/decode/test_util.h"

using namespace dtest;
using namespace ovlw;

namespace {

struct AreaOut {
    int result = 0;
    FO_POINT low{-1, -1}, high{-1, -1};
    FO_ATTR attr = ZeroAttr();
    size_t at = 0;
    unsigned int remaining = 0;
};

AreaOut DecodeArea(const Bytes& records, FO_WORK& work, FO_ATTR seed = ZeroAttr()) {
    Records r(records);
    AreaOut o;
    o.attr = seed;
    o.result = fordarchatch(&r.cursor, &r.remaining, &o.attr, 240, &o.low, &o.high, &work);
    o.at = r.at();
    o.remaining = r.remaining;
    return o;
}

}  // namespace

TEST(Fordarchatch, EmptyArea) {
    FO_WORK work = DefaultWork();
    FO_ATTR seed = ZeroAttr();
    for (unsigned short& r : seed.line.cornerRadius) r = 9;
    const Bytes records = Concat({GroupStart(0x2), InteriorStyle(3), HatchIndex(-9), GroupEnd()});
    AreaOut o = DecodeArea(Concat({records, EndPicture()}), work, seed);
    ASSERT_EQ(o.result, 0);
    EXPECT_EQ(o.low, P(32767, 32767));
    EXPECT_EQ(o.high, P(-32767, -32767));
    for (unsigned short r : o.attr.line.cornerRadius) EXPECT_EQ(r, 0);
    EXPECT_EQ(o.attr.line.hatched, 1);
    EXPECT_EQ(o.attr.line.hatchIndex, 39);
    EXPECT_EQ(o.at, records.size());
}

TEST(Fordarchatch, BoxOfPolylines) {
    FO_WORK work = DefaultWork();
    AreaOut o = DecodeArea(Concat({GroupStart(0x3), FillColour(2), EdgeWidth(60),
                                   Polyline({{0, 0}, {2880, 0}, {9999, -9999}}),
                                   Polyline({{2880, 0}, {2880, -1440}}),
                                   Polyline({{2880, -1440}, {0, -1440}}),
                                   Polyline({{0, -1440}, {0, 0}}), GroupEnd()}),
                           work);
    ASSERT_EQ(o.result, 0);
    EXPECT_EQ(o.low, P(1, 1));
    EXPECT_EQ(o.high, P(481, 241));  // the third point of a polyline is not read
    EXPECT_EQ(o.attr.line.fillColour, 2);
    EXPECT_EQ(o.attr.line.edgeWidth, 10);
    EXPECT_EQ(o.remaining, 0u);
}

TEST(Fordarchatch, CornerRadiusByDirection) {
    FO_WORK work = DefaultWork();
    struct Case {
        Pt a, b;
        int slot;
        unsigned short value;
    } cases[] = {
        {{1440, 0}, {1680, -240}, 0, 40},   // right and down
        {{1680, -240}, {1440, 0}, 3, 40},   // left and up
        {{1680, 0}, {1440, -240}, 1, 40},   // left and down
        {{1440, -240}, {1680, 0}, 2, 40},   // right and up
        {{1440, 0}, {1440, -240}, 0, 0},    // same device x: slot 0
        {{1440, -240}, {1440, 0}, 2, 0},    // same device x, up: slot 2
    };
    for (const Case& c : cases) {
        FO_ATTR seed = ZeroAttr();
        for (unsigned short& r : seed.line.cornerRadius) r = 77;
        AreaOut o = DecodeArea(Concat({GroupStart(0x4), Arc3Point(c.a, {0, 0}, c.b), GroupEnd()}),
                               work, seed);
        ASSERT_EQ(o.result, 0);
        for (int slot = 0; slot < 4; ++slot)
            EXPECT_EQ(o.attr.line.cornerRadius[slot], slot == c.slot ? c.value : 0) << slot;
    }
    // A later arc in the same direction overwrites the slot; arc ends widen
    // the box, the middle point does not.
    AreaOut o = DecodeArea(Concat({GroupStart(0x4), Arc3Point({1440, 0}, {9000, -9000}, {1680, -240}),
                                   Arc3Point({0, 0}, {0, 0}, {60, -60}), GroupEnd()}),
                           work);
    EXPECT_EQ(o.attr.line.cornerRadius[0], 10);
    EXPECT_EQ(o.low, P(1, 1));
    EXPECT_EQ(o.high, P(281, 41));
}

TEST(Fordarchatch, RejectionsAndSteps) {
    FO_WORK work = DefaultWork();
    const Bytes lead = Concat({GroupStart(0x2), LineWidth(60)});
    const Bytes rejected[] = {
        LineEnd(0),                                          // line ends are not taken
        LineEnd2(0),
        Escape(8, Bytes{0, 0, 1, 0}),
        Rectangle({0, 0}, {1, -1}),
        ShortRecord(0x4020, Bytes{0, 0, 0, 0, 0, 0}),        // polyline cut short
        ShortRecord(0x41A0, Bytes(10, 0)),                   // arc without its end
        Image({0, 0}, {0, 0}, {0, 0}, 0xF9, 0xC1, 1, 8, Bytes(1, 0)),  // framed with length 0
    };
    for (const Bytes& bad : rejected) {
        FO_ATTR seed = ZeroAttr();
        seed.line.cornerRadius[1] = 5;
        AreaOut o = DecodeArea(Concat({lead, bad, GroupEnd()}), work, seed);
        EXPECT_EQ(o.result, -1);
        EXPECT_EQ(o.at, lead.size());
        EXPECT_EQ(o.low, P(-1, -1));
        EXPECT_EQ(o.attr.line.lineWidth, 10);
        EXPECT_EQ(o.attr.line.cornerRadius[1], 0);  // cleared at the start
    }
    // Other primitives are stepped over; a marker too.
    AreaOut o = DecodeArea(Concat({lead, Primitive(7, Bytes(6, 0)), Marker(), GroupEnd()}), work);
    EXPECT_EQ(o.result, 0);
    // The end of the data before the group end: the framing failure.
    o = DecodeArea(lead, work);
    EXPECT_EQ(o.result, -1);
    EXPECT_EQ(o.at, lead.size());
}
