// fordline and fordsegline.
#include <gtest/gtest.h>

#include "tests/decode/test_util.h"

using namespace dtest;
using namespace ovlw;

namespace {

struct LineOut {
    FO_POINT p[3]{};
    unsigned short value = 0;
    unsigned char width = 0;
    FO_LINEOUT slots() {
        return FO_LINEOUT{&p[0], &p[1], &p[2], &value, nullptr, &width, nullptr, nullptr};
    }
};

int Decode(Records& r, FO_ATTR& attr, unsigned dpi, LineOut& o, FO_WORK& work) {
    FO_LINEOUT slots = o.slots();
    return fordline(&r.cursor, &r.remaining, &attr, dpi, &slots, &work);
}

}  // namespace

TEST(Fordline, PointsShapeAndValue) {
    FO_WORK work = DefaultWork();
    struct Case {
        Pt a, b;
        FO_POINT first, second;
        int shape;
    } cases[] = {
        {{0, 0}, {2880, 0}, P(1, 1), P(481, 1), 1},
        {{100, -100}, {100, -2000}, P(17, 17), P(17, 334), 2},
        {{0, 0}, {1440, -1440}, P(1, 1), P(241, 241), 3},
        {{0, -3}, {2880, -4}, P(1, 1), P(481, 1), 1},  // one device row
    };
    for (const Case& c : cases) {
        Records r(Line(c.a, c.b, {720, -720}, 0xBEEF, 59, 0));
        FO_ATTR attr = ZeroAttr();
        LineOut o;
        ASSERT_EQ(Decode(r, attr, 240, o, work), 0);
        EXPECT_EQ(o.p[0], c.first);
        EXPECT_EQ(o.p[1], c.second);
        EXPECT_EQ(o.p[2], P(121, 121));
        EXPECT_EQ(o.value, 0xBEEF);
        EXPECT_EQ(attr.line.shape, c.shape);
        EXPECT_EQ(r.remaining, 0u);
        EXPECT_EQ(r.at(), r.data.size());
    }
}

TEST(Fordline, WidthFromTheLineRecord) {
    FO_WORK work = DefaultWork();
    auto width = [&](unsigned a, int b, unsigned dpi) {
        Records r(Line({0, 0}, {100, 0}, {0, 0}, 0, a, b));
        FO_ATTR attr = ZeroAttr();
        LineOut o;
        EXPECT_EQ(Decode(r, attr, dpi, o, work), 0);
        return o.width;
    };
    EXPECT_EQ(width(59, 0, 240), 10);
    EXPECT_EQ(width(0, -120, 240), 20);   // the first width is 0 at 240 dpi
    EXPECT_EQ(width(19, 0, 1440), 10);    // halved at 1440 dpi
    EXPECT_EQ(width(0, -19, 1440), 10);
    EXPECT_EQ(width(5, -120, 240), 1);    // 6 * 10 / 60: B is not looked at
    EXPECT_EQ(width(0, 0, 240), 0);       // both 0: (0 + 1) * 10 / 60
    // -B of -32768 is -32768 again as 16 bits: (-32767 * 10) / 60 = -5461,
    // whose low 8 bits are 171.
    EXPECT_EQ(width(0, -32768, 240), 171);
}

TEST(Fordline, OriginAndMarkers) {
    FO_WORK work = DefaultWork(100, 50);
    Records r(Concat({LineWidth(60), Marker(0x0010), LineColour(2), Line({0, 0}, {1440, 0}, {0, 0}, 7, 0, 0)}));
    FO_ATTR attr = ZeroAttr();
    LineOut o;
    ASSERT_EQ(Decode(r, attr, 240, o, work), 0);
    EXPECT_EQ(o.p[0], P(101, 51));
    EXPECT_EQ(o.p[1], P(341, 51));
    EXPECT_EQ(attr.line.lineWidth, 10);
    EXPECT_EQ(attr.line.lineColour, 2);
    EXPECT_EQ(r.remaining, 0u);
}

TEST(Fordline, RejectedRecordsLeaveTheCursorAndOutputs) {
    FO_WORK work = DefaultWork();
    const Bytes lead = LineWidth(60);
    const Bytes rejected[] = {
        Image({0, 0}, {0, 0}, {0, 0}, 0xF9, 0xC1, 1, 8, Bytes(1, 0)),  // a primitive of id 4
        Primitive(5, Bytes(26, 0)),
        Escape(20, Bytes{0, 0, 0, 1}),  // second line end: not taken by lines
        Escape(7, Bytes{0, 0}),
        Rectangle({0, 0}, {10, -10}),
        LongRecord(0x4140, Bytes{0x00, 0x0C, 0x00, 0x03, 0, 0, 0, 0}),  // a line record cut short
    };
    for (const Bytes& bad : rejected) {
        Records r(Concat({lead, bad, Line({0, 0}, {10, 0}, {0, 0}, 0, 0, 0)}));
        FO_ATTR attr = ZeroAttr();
        LineOut o;
        o.p[0] = P(-7, -7);
        o.width = 99;
        EXPECT_EQ(Decode(r, attr, 240, o, work), -1);
        EXPECT_EQ(r.at(), lead.size());
        EXPECT_EQ(r.remaining, r.data.size() - lead.size());
        EXPECT_EQ(attr.line.lineWidth, 10);  // applied before the failure
        EXPECT_EQ(o.p[0], P(-7, -7));
        EXPECT_EQ(o.width, 99);
    }
    // Escapes 9 and 19 are stepped over by the line decoder.
    Records r(Concat({GroupStart(0x120), GroupEnd(), Line({0, 0}, {10, 0}, {0, 0}, 0, 0, 0)}));
    FO_ATTR attr = ZeroAttr();
    LineOut o;
    EXPECT_EQ(Decode(r, attr, 240, o, work), 0);
}

TEST(Fordline, EndOfDataBeforeTheLineRecord) {
    FO_WORK work = DefaultWork();
    Bytes records = Concat({LineWidth(60), Line({0, 0}, {10, 0}, {0, 0}, 0, 0, 0)});
    records.resize(records.size() - 1);  // the line record runs past the data
    Records r(records);
    FO_ATTR attr = ZeroAttr();
    LineOut o;
    EXPECT_EQ(Decode(r, attr, 240, o, work), -1);
    EXPECT_EQ(r.at(), LineWidth(60).size());
}

TEST(Fordsegline, GroupOfSegments) {
    FO_WORK work = DefaultWork();
    Records r(Concat({GroupStart(0x00000120), LineWidth(60),
                      DisjointPolyline({{0, 0}, {1440, 0}, {5000, -5000}, {6000, -6000}}),
                      LineType(3), DisjointPolyline({{1440, 0}, {1440, -1440}}), GroupEnd(),
                      EndPicture()}));
    FO_ATTR attr = ZeroAttr();
    FO_POINT start{}, end{};
    unsigned char segment = 0;
    unsigned int high = 0, low = 0;
    FO_LINEOUT out = {&start, &end, nullptr, nullptr, &segment, nullptr, &high, &low};
    unsigned char started = 0, ended = 0;

    ASSERT_EQ(fordsegline(&r.cursor, &r.remaining, &attr, 240, &out, &started, &ended, &work), 0);
    EXPECT_EQ(high, 0x100u);
    EXPECT_EQ(low, 0x20u);
    EXPECT_EQ(started, 1);
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(segment, 1);
    EXPECT_EQ(start, P(1, 1));
    EXPECT_EQ(end, P(241, 1));
    EXPECT_EQ(attr.line.shape, 1);
    EXPECT_EQ(attr.line.lineWidth, 10);

    segment = 0;
    ASSERT_EQ(fordsegline(&r.cursor, &r.remaining, &attr, 240, &out, &started, &ended, &work), 0);
    EXPECT_EQ(segment, 1);
    EXPECT_EQ(start, P(241, 1));
    EXPECT_EQ(end, P(241, 241));
    EXPECT_EQ(attr.line.shape, 2);
    EXPECT_EQ(attr.line.lineStyle, 2);  // the attribute between the segments

    start = P(-1, -1);
    segment = 0;
    ASSERT_EQ(fordsegline(&r.cursor, &r.remaining, &attr, 240, &out, &started, &ended, &work), 0);
    EXPECT_EQ(started, 0);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(segment, 0);
    EXPECT_EQ(start, P(-1, -1));  // no segment written
    EXPECT_EQ(r.remaining, EndPicture().size());
    EXPECT_EQ(foreadkindget(r.cursor, r.avail()), 0);
}

TEST(Fordsegline, RejectsWhatItDoesNotKnow) {
    FO_WORK work = DefaultWork();
    FO_POINT start{}, end{};
    unsigned char segment = 0;
    unsigned int high = 7, low = 7;
    FO_LINEOUT out = {&start, &end, nullptr, nullptr, &segment, nullptr, &high, &low};
    const Bytes rejected[] = {
        Escape(20, Bytes{0, 0, 0, 0}),
        Escape(9, Bytes{0, 0, 0, 1}),  // group start without its 32-bit flags
        ShortRecord(0x4040, Bytes{0, 0, 0, 0, 0, 0}),  // one and a half points
        Line({0, 0}, {1, 0}, {0, 0}, 0, 0, 0),
    };
    for (const Bytes& bad : rejected) {
        Records r(Concat({bad, DisjointPolyline({{0, 0}, {10, 0}})}));
        FO_ATTR attr = ZeroAttr();
        unsigned char started = 0, ended = 0;
        EXPECT_EQ(fordsegline(&r.cursor, &r.remaining, &attr, 240, &out, &started, &ended, &work), -1);
        EXPECT_EQ(r.at(), 0u);
        EXPECT_EQ(segment, 0);
        EXPECT_EQ(high, 7u);
    }
    Records r(DisjointPolyline({{0, 0}, {10, 0}}));
    FO_ATTR attr = ZeroAttr();
    unsigned char started = 0, ended = 0;
    EXPECT_EQ(fordsegline(&r.cursor, &r.remaining, &attr, 56, &out, &started, &ended, &work), -1);
    EXPECT_EQ(segment, 0);
}
