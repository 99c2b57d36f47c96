#include <gtest/gtest.h>

#include <vector>

#include "include/wx5novl1.h"
#include "ovlwriter.h"

namespace {

using ovlw::Bytes;

struct Framed {
    int result;
    unsigned short cls;
    int len;
};

Framed Frame(const Bytes& b, int avail = -1) {
    Framed f{0, 0xBEEF, -7};
    f.result = foreadclassid(b.data(), avail < 0 ? static_cast<int>(b.size()) : avail, &f.cls, &f.len);
    return f;
}

TEST(Foreadclassid, ShortAndLongForms) {
    Framed f = Frame(Bytes{0x00, 0xA0});
    EXPECT_EQ(f.result, 0);
    EXPECT_EQ(f.cls, 0x00A0);
    EXPECT_EQ(f.len, 2);

    f = Frame(ovlw::ShortRecord(0x4080, Bytes(12, 0)));  // 40 8C
    EXPECT_EQ(f.result, 0);
    EXPECT_EQ(f.cls, 0x4080);
    EXPECT_EQ(f.len, 14);

    // 40 9F, word 80 04 and 4 bytes, word 00 02 and 2 bytes.
    const Bytes two = ovlw::LongRecord(0x4080, Bytes(6, 1), {4, 2});
    ASSERT_EQ(two[2], 0x80);
    f = Frame(two);
    EXPECT_EQ(f.result, 0);
    EXPECT_EQ(f.cls, 0x4080);
    EXPECT_EQ(f.len, 12);
}

TEST(Foreadclassid, RecordsRunningPastAvailAreRejected) {
    // Nothing is written for fewer than 2 bytes.
    Framed f = Frame(Bytes{0x00}, 1);
    EXPECT_EQ(f.result, -1);
    EXPECT_EQ(f.cls, 0xBEEF);
    EXPECT_EQ(f.len, -7);

    // Short form longer than the bytes left.
    f = Frame(Bytes{0x40, 0x8C, 0, 0}, 4);
    EXPECT_EQ(f.result, -1);
    EXPECT_EQ(f.len, 14);

    // The last partition word still promises another partition.
    Bytes rec = ovlw::LongRecord(0x4080, Bytes(4, 0), {4});
    rec[2] |= 0x80;
    f = Frame(rec);
    EXPECT_EQ(f.result, -1);

    // A partition longer than the bytes left.
    rec = ovlw::LongRecord(0x4080, Bytes(4, 0), {4});
    f = Frame(rec, static_cast<int>(rec.size()) - 1);
    EXPECT_EQ(f.result, -1);
}

TEST(Foreadclassid, MarkerAndUnframedPrimitives) {
    Framed f = Frame(Bytes{0xF0, 0x04, 0x00, 0x10});
    EXPECT_EQ(f.result, -100);
    EXPECT_EQ(f.len, 4);
    EXPECT_EQ(f.cls, 0xBEEF);  // class left as it was
    EXPECT_EQ(Frame(Bytes{0xF0, 0x04, 0x00}).result, -1);

    for (unsigned id : {4u, 18u}) {
        Bytes params;
        ovlw::PutU16(params, id);
        params.resize(40, 0);
        f = Frame(ovlw::LongRecord(0x4140, params));
        EXPECT_EQ(f.result, 0);
        EXPECT_EQ(f.cls, 0x4140);
        EXPECT_EQ(f.len, 0) << "identifier " << id;
    }
    Bytes line;
    ovlw::PutU16(line, 12);
    line.resize(30, 0);
    f = Frame(ovlw::LongRecord(0x4140, line));
    EXPECT_EQ(f.len, 34);
}

Bytes EscapeOfType(unsigned type) {
    Bytes data;
    ovlw::PutU16(data, 0);
    ovlw::PutU32(data, 0x120 | type);
    return ovlw::Escape(9, data);
}

Bytes Gdp(unsigned id, size_t extra = 24) {
    Bytes p;
    ovlw::PutU16(p, id);
    p.resize(2 + extra, 0);
    return ovlw::LongRecord(0x4140, p);
}

TEST(Foreadkindget, NamesTheFirstElementKind) {
    struct Case {
        Bytes rec;
        int kind;
    } cases[] = {
        {ovlw::EndPicture(), 0},
        {Gdp(12), 1},
        {ovlw::ShortRecord(0x4180, Bytes(6, 0)), 2},
        {ovlw::ShortRecord(0x4160, Bytes(8, 0)), 3},
        {EscapeOfType(2), 4},
        {EscapeOfType(3), 4},
        {EscapeOfType(4), 5},
        {EscapeOfType(5), 6},
        {ovlw::ShortRecord(0x4080, Bytes(10, 0)), 7},
        {ovlw::ShortRecord(0x4220, Bytes(12, 0)), 8},
        {Gdp(4), 9},
        {Gdp(5), 9},
        {ovlw::ShortRecord(0x4040, Bytes(8, 0)), 10},
        {Gdp(18), 11},
        {ovlw::ShortRecord(0x4280, Bytes(20, 0)), 12},
    };
    // Attribute records in front are passed over; so are an ESCAPE 9 of
    // another type and a primitive of an unknown identifier.
    const Bytes lead = ovlw::Concat({ovlw::ShortRecord(0x5040, Bytes{0, 1}), EscapeOfType(7),
                                     Gdp(99), ovlw::ShortRecord(0x5060, Bytes{0, 20})});
    for (const Case& c : cases) {
        const Bytes data = ovlw::Concat({lead, c.rec, ovlw::EndPicture()});
        EXPECT_EQ(foreadkindget(data.data(), static_cast<int>(data.size())), c.kind);
    }
}

TEST(Foreadkindget, StopsWhereFramingStops) {
    const Bytes only = ovlw::ShortRecord(0x5040, Bytes{0, 1});
    EXPECT_EQ(foreadkindget(only.data(), static_cast<int>(only.size())), -1);
    const Bytes one{0x00};
    EXPECT_EQ(foreadkindget(one.data(), 1), -1);
    const Bytes marker = ovlw::Concat({ovlw::Marker(), ovlw::EndPicture()});
    EXPECT_EQ(foreadkindget(marker.data(), static_cast<int>(marker.size())), -100);
    // An END PICTURE cut short is not found.
    const Bytes cut = ovlw::Concat({only, ovlw::EndPicture()});
    EXPECT_EQ(foreadkindget(cut.data(), static_cast<int>(cut.size()) - 1), -1);
}

TEST(Fogetlineid, FindsLineSegmentOrGroupEnd) {
    const Bytes attrs = ovlw::Concat({ovlw::ShortRecord(0x5040, Bytes{0, 1}),
                                      ovlw::LongRecord(0x5060, Bytes{0, 9}), ovlw::Marker(),
                                      EscapeOfType(2)});
    Bytes data = ovlw::Concat({attrs, Gdp(12)});
    EXPECT_EQ(fogetlineid(data.data()), 0);
    data = ovlw::Concat({attrs, ovlw::ShortRecord(0x4040, Bytes(8, 0))});
    EXPECT_EQ(fogetlineid(data.data()), 1);
    data = ovlw::Concat({attrs, ovlw::Escape(19, Bytes{0, 0})});
    EXPECT_EQ(fogetlineid(data.data()), -1);
    // A multi-partition record is stepped over whole.
    data = ovlw::Concat({ovlw::LongRecord(0x5040, Bytes(6, 0x40), {2, 4}), Gdp(12)});
    EXPECT_EQ(fogetlineid(data.data()), 0);
}

}  // namespace
