// Common element decoding: conversions, header queries and the common
// attribute records (exercised through fordline, which takes them all).
#include <gtest/gtest.h>

#include "tests/decode/test_util.h"

using namespace dtest;
using namespace ovlw;

namespace {

Bytes FilePoint(int x, int y) {
    Bytes b;
    PutPoint(b, x, y);
    return b;
}

FO_POINT Convert(int x, int y, unsigned dpi, const FO_WORK* work) {
    const Bytes p = FilePoint(x, y);
    FO_POINT out{};
    foprintchgpos(&out, p.data(), dpi, work);
    return out;
}

// A line element: the given attribute records, then a plain line record.
Bytes LineWith(const Bytes& attributes) {
    return Concat({attributes, Line({0, 0}, {2880, 0}, {0, 0}, 0, 59, 0)});
}

struct LineRun {
    int result;
    FO_ATTR attr;
    size_t at;
};

LineRun RunLine(const Bytes& records, unsigned dpi, FO_WORK* work, FO_ATTR attr = ZeroAttr()) {
    Records r(records);
    FO_POINT p[3]{};
    unsigned short value = 0;
    unsigned char width = 0;
    FO_LINEOUT out = {&p[0], &p[1], &p[2], &value, nullptr, &width, nullptr, nullptr};
    const int result = fordline(&r.cursor, &r.remaining, &attr, dpi, &out, work);
    return {result, attr, r.at()};
}

}  // namespace

TEST(CommonDecode, PositionConversion) {
    FO_WORK work = DefaultWork(10, -5);
    EXPECT_EQ(Convert(1440, -1440, 240, nullptr), P(241, 241));
    EXPECT_EQ(Convert(1440, -1440, 240, &work), P(251, 236));
    for (unsigned dpi : {57u, 240u, 300u, 1440u, 14400u}) EXPECT_EQ(Convert(0, 0, dpi, nullptr), P(1, 1));
    EXPECT_EQ(Convert(0, 1440, 240, nullptr).y, -239);
    // 16-bit cuts: x 65535 at 1440 dpi is 65536 and wraps to 0; the origin
    // is added with a 16-bit wrap.
    EXPECT_EQ(Convert(65535, 0, 1440, nullptr).x, 0);
    FO_WORK edge = DefaultWork(32767, 0);
    EXPECT_EQ(Convert(0, 0, 240, &edge).x, -32768);
    // y = -32768 turns to 32768; the signed product and quotient of dpi 300.
    EXPECT_EQ(Convert(0, -32768, 300, nullptr).y, static_cast<short>(32768 * 300 / 1440 + 1));
    // x is unsigned: 40000 at 720 dpi is 20001, not a negative row.
    EXPECT_EQ(static_cast<unsigned short>(Convert(40000, 0, 720, nullptr).x), 20001);
}

TEST(CommonDecode, ColourMapping) {
    FO_WORK work = DefaultWork();
    work.edition = 2;
    EXPECT_EQ(foprintcolor(200, &work), 200);
    work.edition = 0;
    EXPECT_EQ(foprintcolor(200, &work), 7);
    EXPECT_EQ(foprintcolor(0, &work), 17);
    EXPECT_EQ(foprintcolor(12, &work), 0);
    EXPECT_EQ(foprintcolor(8, &work), 8);
    EXPECT_EQ(foprintcolor(9, &work), 1);
    EXPECT_EQ(foprintcolor(16, &work), 7);  // indices from 16 on read as 1
    EXPECT_EQ(foprintcolor(255, &work), 7);
    work.colourFlag = 1;
    EXPECT_EQ(foprintcolor(8, &work), 1);
    EXPECT_EQ(foprintcolor(9, &work), 1);
    work.colourFlag = 0x80;  // nonzero as a signed byte too
    EXPECT_EQ(foprintcolor(8, &work), 1);
}

TEST(CommonDecode, HatchIndexAndLineEnd) {
    auto hatch = [](int code) {
        const Bytes rec = HatchIndex(code);
        return foprinthatchidx(rec.data());
    };
    for (int code = 1; code <= 6; ++code) EXPECT_EQ(hatch(code), 30) << code;
    EXPECT_EQ(hatch(0), 53);
    EXPECT_EQ(hatch(-25), 0);
    EXPECT_EQ(hatch(-16), 30);
    EXPECT_EQ(hatch(-33), 30);
    EXPECT_EQ(hatch(-9), 39);
    EXPECT_EQ(hatch(-24), 52);
    EXPECT_EQ(hatch(-32), 38);

    auto end = [](unsigned v) {
        const Bytes rec = LineEnd(v);
        return fordlineend(rec.data());
    };
    EXPECT_EQ(end(0), 3);
    EXPECT_EQ(end(1), 2);
    EXPECT_EQ(end(2), 1);
    EXPECT_EQ(end(0xFFFF), 1);
}

TEST(CommonDecode, DashLengthsAtDeviceResolution) {
    FO_ATTR attr = ZeroAttr();
    const unsigned short line[4] = {1, 2, 36, 0};
    const unsigned short edge[4] = {20, 5, 0xFFFF, 7};
    std::memcpy(attr.line.lineDash, line, sizeof(line));
    std::memcpy(attr.line.edgeDash, edge, sizeof(edge));
    unsigned short l[4];
    EXPECT_EQ(fordlinekind(&attr, 300, &l[0], &l[1], &l[2], &l[3]), 0);
    EXPECT_EQ(l[0], 1);  // 1.25 rounds down
    EXPECT_EQ(l[1], 3);  // 2.5 rounds up
    EXPECT_EQ(l[2], 45);
    EXPECT_EQ(l[3], 0);
    EXPECT_EQ(fordlinekind(&attr, 240, &l[0], &l[1], &l[2], &l[3]), 0);
    EXPECT_EQ(l[2], 36);
    EXPECT_EQ(fordlinekind2(&attr, 240, &l[0], &l[1], &l[2], &l[3]), 0);
    EXPECT_EQ(l[2], 0xFFFF);  // copied unchanged at 240 dpi
    EXPECT_EQ(fordlinekind2(&attr, 300, &l[0], &l[1], &l[2], &l[3]), 0);
    EXPECT_EQ(l[0], 25);
    EXPECT_EQ(l[1], 6);  // 6.25
    // -1 as signed 16-bit: (-300 + 120) as unsigned 32-bit, / 240, 16 bits.
    EXPECT_EQ(l[2], static_cast<unsigned short>((0xFFFFFFFFu - 299u + 120u) / 240u));
    EXPECT_EQ(l[3], 9);  // 8.75
}

TEST(CommonDecode, HeaderQueries) {
    Bytes image(300, 0x40);
    const unsigned char p400[4] = {0xD7, 0xF4, 0xF0, 0xF0};
    std::memcpy(&image[214], p400, 4);
    EXPECT_EQ(pcom_foprint_getdpi(image.data(), 1), 400);
    image[215] = 0xF1;
    image[216] = 0xF6;
    EXPECT_EQ(pcom_foprint_getdpi(image.data(), 1), 160);
    image[215] = 0xF2;
    image[216] = 0xF4;
    EXPECT_EQ(pcom_foprint_getdpi(image.data(), 1), 240);
    std::memcpy(&image[214], "P400", 4);
    EXPECT_EQ(pcom_foprint_getdpi(image.data(), 1), -1);
    EXPECT_EQ(pcom_foprint_getdpi(image.data(), 3), 0);
    EXPECT_EQ(pcom_foprint_getdpi(image.data(), 2), 0);
    EXPECT_EQ(pcom_foprint_getdpi(image.data(), 4), -1);
    EXPECT_EQ(pcom_foprint_getdpi(image.data(), 0), -1);
    EXPECT_EQ(pcom_foprint_getdpi(nullptr, 1), -6);
    EXPECT_EQ(pcom_foprint_getdpi(nullptr, 3), -6);

    unsigned char group = 0;
    image[260] = 0xF1;
    EXPECT_EQ(pcom_fogetgrptype(image.data(), &group), 0);
    EXPECT_EQ(group, 1);
    image[260] = 0x31;
    EXPECT_EQ(pcom_fogetgrptype(image.data(), &group), 0);
    EXPECT_EQ(group, 2);
}

TEST(CommonDecode, WidthConversion) {
    FO_WORK work = DefaultWork();
    auto width = [&](unsigned v, unsigned dpi) {
        return RunLine(LineWith(LineWidth(v)), dpi, &work).attr.line.lineWidth;
    };
    EXPECT_EQ(width(21, 1440), 10);   // 210 / 10, halved at 1440
    EXPECT_EQ(width(59, 240), 9);
    EXPECT_EQ(width(60, 240), 10);
    EXPECT_EQ(width(48, 300), 10);
    EXPECT_EQ(width(2000, 1440), 232);  // 1000 modulo 256
    EXPECT_EQ(width(280, 500), 100);    // divisor 28, not 28.8
    EXPECT_EQ(width(65535, 14400), static_cast<unsigned char>(655350));
    const LineRun edge = RunLine(LineWith(EdgeWidth(120)), 240, &work);
    EXPECT_EQ(edge.attr.line.edgeWidth, 20);
}

TEST(CommonDecode, ResolutionOutsideRangeWritesNothing) {
    FO_WORK work = DefaultWork();
    const Bytes records = LineWith(LineWidth(60));
    for (unsigned dpi : {0u, 56u, 14401u, 0xFFFFFFFFu}) {
        FO_ATTR attr = ZeroAttr();
        attr.line.lineWidth = 77;
        const LineRun run = RunLine(records, dpi, &work, attr);
        EXPECT_EQ(run.result, -1) << dpi;
        EXPECT_EQ(run.at, 0u) << dpi;
        EXPECT_EQ(run.attr.line.lineWidth, 77) << dpi;
    }
    EXPECT_EQ(RunLine(records, 57, &work).result, 0);
    EXPECT_EQ(RunLine(records, 14400, &work).result, 0);
}

TEST(CommonDecode, AttributeRecords) {
    FO_WORK work = DefaultWork();
    const Bytes attrs = Concat({
        LineType(2), InteriorStyle(3), FillColour(3), HatchIndex(-9), EdgeVisibility(1),
        EdgeType(2), LineColour(2), EdgeColour(4),  // the edge colour comes last and wins
        LineKindEx(9, 0, {7, 8, 9}), EdgeKindEx(8, 1234, {}, true),
        Marker(0x10),                                // stepped over
        LineEnd(1),
    });
    const LineRun run = RunLine(LineWith(attrs), 240, &work);
    ASSERT_EQ(run.result, 0);
    const FO_ATTR_LINE& a = run.attr.line;
    EXPECT_EQ(a.lineStyle, 13);  // from the extended kind, after LINE TYPE's 3
    EXPECT_EQ(a.lineKindCode, 2);
    EXPECT_EQ(a.lineDash[0], 20);
    EXPECT_EQ(a.lineDash[1], 5);
    EXPECT_EQ(a.lineDashCount, 2);
    EXPECT_EQ(a.hatched, 1);
    EXPECT_EQ(a.fillColour, 3);
    EXPECT_EQ(a.hatchIndex, 39);
    EXPECT_EQ(a.edgeVisible, 1);
    EXPECT_EQ(a.edgeStyle, 12);  // extended edge kind of selector 8
    EXPECT_EQ(a.edgeStyleParam, 1234);
    EXPECT_EQ(a.edgeKindCode, 2);
    EXPECT_EQ(a.edgeDash[0], 20);
    EXPECT_EQ(a.lineColour, 4);
    EXPECT_EQ(a.lineStyleListCount, 3);
    EXPECT_EQ(a.lineStyleList[0], 7);
    EXPECT_EQ(a.lineStyleList[2], 9);
    EXPECT_EQ(a.lineEnd, 2);

    const LineRun other = RunLine(LineWith(Concat({InteriorStyle(2), EdgeVisibility(2),
                                                   EdgeColour(4), LineColour(2)})),
                                  240, &work);
    EXPECT_EQ(other.attr.line.hatched, 0);
    EXPECT_EQ(other.attr.line.edgeVisible, 0);
    EXPECT_EQ(other.attr.line.lineColour, 2);  // the line colour comes last here
}

TEST(CommonDecode, LineDefinitionEscapeReachesTheElement) {
    FO_WORK work = DefaultWork();
    const Bytes attrs = Concat({LineType(-16400), LineDefinition(-16400, {1440, 720, 6000, 60})});
    const LineRun run = RunLine(LineWith(attrs), 240, &work);
    ASSERT_EQ(run.result, 0);
    EXPECT_EQ(run.attr.line.lineDash[0], 240);
    EXPECT_EQ(run.attr.line.lineDash[1], 120);
    EXPECT_EQ(run.attr.line.lineDash[2], 999);
    EXPECT_EQ(run.attr.line.lineDash[3], 10);
    EXPECT_EQ(run.attr.line.lineDashCount, 4);
    EXPECT_EQ(work.lineDef[0].length[0], 240);
}

TEST(CommonDecode, RecordsTooShortForTheirOffsetsAreRejected) {
    FO_WORK work = DefaultWork();
    // Each record lacks the bytes read from it; the cursor stays on it,
    // after the LINE TYPE record before it has been applied.
    const Bytes shortOnes[] = {
        ShortRecord(0x5060, Bytes{0x00}),                 // LINE WIDTH, 1 of 2 bytes
        ShortRecord(0x5080, Bytes{}),                     // LINE COLOUR without its byte
        ShortRecord(0x5300, Bytes{0xFF}),                 // HATCH INDEX
        ShortRecord(0x5040, Bytes{0x00}),                 // LINE TYPE
        ShortRecord(0x54C0, Bytes{0x00, 0x09, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x03, 0, 1, 0, 2}),
        ShortRecord(0x6020, Bytes{0x00}),                 // ESCAPE without its identifier
        Escape(11, Bytes{0x00, 0x00}),                    // line end without its value
        Escape(63, Bytes{0x00, 0x00, 0xBF, 0xF0, 0, 0, 0, 0, 0, 4, 0, 1}),  // lengths missing
    };
    for (const Bytes& bad : shortOnes) {
        const Bytes records = LineWith(Concat({LineType(3), bad}));
        const LineRun run = RunLine(records, 240, &work);
        EXPECT_EQ(run.result, -1);
        EXPECT_EQ(run.at, LineType(3).size());
        EXPECT_EQ(run.attr.line.lineKindCode, 3);
    }
}

namespace {

// A line definition of a code without a table entry is read no further than
// its code: eight bytes are enough, below the private codes and above them.
TEST(CommonDecode, LineDefinitionOutsideThePrivateCodesNeedsOnlyItsCode) {
    FO_WORK work = DefaultWork();
    for (uint8_t hi : {0x00, 0xBF}) {
        const uint8_t lo = hi == 0 ? 0x05 : 0xEF;  // 5, and -16401
        const Bytes records = LineWith(Concat({LineType(3), Escape(63, Bytes{0, 0, hi, lo})}));
        EXPECT_EQ(RunLine(records, 240, &work).result, 0) << int(hi);
    }
}

}  // namespace
