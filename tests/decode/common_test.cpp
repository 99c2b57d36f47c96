// The header queries and the calls the decoder table does not make.
#include <gtest/gtest.h>

#include "tests/decode/test_util.h"

using namespace dtest;
using namespace ovlw;

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
    Bytes bitmap = Bitmap({}, DibBytes(Dib{}));
    unsigned char* cursor = bitmap.data();
    unsigned int remaining = static_cast<unsigned int>(bitmap.size());
    FO_BMPINFO info{};
    FO_POINT a{}, b{};
    FO_POINT* out[2] = {&a, &b};
    EXPECT_EQ(fordbmpimg(&cursor, &remaining, nullptr, 240, out, &work), -1);
    EXPECT_EQ(fordbmpimg(&cursor, &remaining, &info, 240, nullptr, &work), -1);
    EXPECT_EQ(fordbmpimg(&cursor, &remaining, &info, 240, out, nullptr), -1);
    EXPECT_EQ(fordbmpimg(nullptr, &remaining, &info, 240, out, &work), -1);
    EXPECT_EQ(fordbmpimg(&cursor, nullptr, &info, 240, out, &work), -1);
    EXPECT_EQ(cursor, bitmap.data());
    EXPECT_EQ(fordbmpimg(&cursor, &remaining, &info, 240, out, &work), 0);
}
