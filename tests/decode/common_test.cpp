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

TEST(FoclenSjis, LeadBytes) {
    for (int c : {0x80, 0xA0, 0xDF, 0xFD, 0x00, 0x41, 0xFF, -1, 0x181, 256}) EXPECT_EQ(foclen_sjis(c), 1) << c;
    for (int c : {0x81, 0x9F, 0xE0, 0xEF, 0xF0, 0xFC}) EXPECT_EQ(foclen_sjis(c), 2) << c;
}

// Null arguments: nothing read or written.
TEST(Fordbmpimg, NullArguments) {
    FO_WORK work = DefaultWork();
    Records r(Bitmap({}, DibBytes(Dib{})));
    FO_BMPINFO info{};
    FO_POINT a{}, b{};
    FO_POINT* out[2] = {&a, &b};
    EXPECT_EQ(fordbmpimg(&r.cursor, &r.remaining, nullptr, 240, out, &work), -1);
    EXPECT_EQ(fordbmpimg(&r.cursor, &r.remaining, &info, 240, nullptr, &work), -1);
    EXPECT_EQ(fordbmpimg(&r.cursor, &r.remaining, &info, 240, out, nullptr), -1);
    EXPECT_EQ(fordbmpimg(nullptr, &r.remaining, &info, 240, out, &work), -1);
    EXPECT_EQ(fordbmpimg(&r.cursor, nullptr, &info, 240, out, &work), -1);
    EXPECT_EQ(r.at(), 0u);
    EXPECT_EQ(fordbmpimg(&r.cursor, &r.remaining, &info, 240, out, &work), 0);
}
