// fordimg and fordbmpimg.
#include <gtest/gtest.h>

#include "tests/decode/test_util.h"

using namespace dtest;
using namespace ovlw;

namespace {

struct ImageRun {
    int result = 0;
    FO_POINT position{-1, -1};
    unsigned short size = 0xAAAA;
    unsigned short rows = 0xAAAA;
    unsigned char* record = nullptr;
    size_t at = 0;
    size_t recordAt = 0;
};

ImageRun RunImage(Records& r, FO_WORK& work, unsigned dpi = 240) {
    ImageRun o;
    FO_IMAGEOUT out = {&o.position, nullptr, &o.size, &o.rows, 100};
    o.result = fordimg(&r.cursor, &r.remaining, dpi, &out, &work);
    o.record = out.record;
    o.at = r.at();
    if (out.record != nullptr) o.recordAt = static_cast<size_t>(out.record - r.data.data());
    return o;
}

ImageRun RunImage(const Bytes& records, FO_WORK& work, unsigned dpi = 240) {
    Records r(records);
    return RunImage(r, work, dpi);
}

Bytes ImageOf(uint8_t code, unsigned rows, unsigned length) {
    return Image({0, 0}, {0, 0}, {0, 0}, 0xF9, code, rows, length, Bytes(8, 0x55));
}

struct BitmapRun {
    int result = 0;
    FO_BMPINFO info{};
    FO_POINT corner[2]{};
    size_t at = 0;
    unsigned int remaining = 0;
};

BitmapRun RunBitmap(const Bytes& records, FO_WORK& work, size_t* headerAt = nullptr) {
    Records r(records);
    BitmapRun o;
    std::memset(&o.info, 0x5A, sizeof(o.info));
    FO_POINT* out[2] = {&o.corner[0], &o.corner[1]};
    o.result = fordbmpimg(&r.cursor, &r.remaining, &o.info, 240, out, &work);
    o.at = r.at();
    o.remaining = r.remaining;
    if (headerAt != nullptr && o.result == 0) *headerAt = static_cast<size_t>(o.info.bitmapInfo - r.data.data());
    return o;
}

}  // namespace

TEST(Fordimg, ResolutionCodes) {
    FO_WORK work = DefaultWork();
    struct Case {
        uint8_t code;
        unsigned rows, length;
        unsigned rowsOut, sizeOut;
    } cases[] = {
        {0xB1, 101, 75, 51, 255},          // 38 rounds to 40
        {0xC2, 10, 10, 14, 28},            // 14 x 16 / 8
        {0xC4, 7, 8, 5, 5},                // 7 -> 5; 8 -> 6 -> 8
        {0xB3, 8, 8, 5, 5},                // 8 -> 5 -> 8
        {0xC0, 3, 3, 5, 5},                // 3 -> 5 (1 x 3 + 2); 5 -> 8
        {0xC1, 9, 9, 9, 18},               // 9 rows of 16 bits
        {0xF0, 9, 9, 9, 18}, {0xF2, 2, 1, 2, 2}, {0xF3, 1, 16, 1, 2},
        {0xC3, 9, 4, 11, 11},              // 9 -> 6 + 5; 4 -> 5 -> 8
        {0xF1, 5, 5, 6, 6},
        {0xD0, 3, 3, 9, 18},               // 9 x 16 / 8
        {0xD1, 3, 4, 6, 6},                // 6 x 8 / 8
    };
    for (const Case& c : cases) {
        const Bytes rec = ImageOf(c.code, c.rows, c.length);
        ImageRun o = RunImage(rec, work);
        ASSERT_EQ(o.result, 0) << std::hex << int(c.code);
        EXPECT_EQ(o.rows, c.rowsOut) << std::hex << int(c.code);
        EXPECT_EQ(o.size, c.sizeOut) << std::hex << int(c.code);
        EXPECT_EQ(o.at, 0u);  // left on the image record
        EXPECT_EQ(o.recordAt, 0u);
    }
    const ImageRun bad = RunImage(ImageOf(0xC5, 1, 1), work);
    EXPECT_EQ(bad.result, -1);
    EXPECT_EQ(bad.size, 0xAAAA);
    EXPECT_EQ(bad.record, nullptr);
}

TEST(Fordimg, RowCountIsLittleEndianAndPositionIsTopLeft) {
    FO_WORK work = DefaultWork();
    // Rows 16 are stored 10 00.
    const Bytes rec = Image({2880, -1440}, {1440, -1440}, {1440, -2880}, 0xF9, 0xC1, 16, 8, Bytes(16, 0));
    EXPECT_EQ(rec[24], 0x10);
    EXPECT_EQ(rec[25], 0x00);
    ImageRun o = RunImage(rec, work);
    ASSERT_EQ(o.result, 0);
    EXPECT_EQ(o.rows, 16);
    EXPECT_EQ(o.size, 16);
    EXPECT_EQ(o.position, P(241, 241));
    // 16-bit cut of the size: 65535 rows of 65535 pixels at code 0xD0.
    o = RunImage(ImageOf(0xD0, 65535, 65535), work);
    EXPECT_EQ(o.rows, static_cast<unsigned short>(196605u));
    EXPECT_EQ(o.size, static_cast<unsigned short>(196605u * 196608u / 8u));
}

TEST(Fordimg, StepsAndFormats) {
    FO_WORK work = DefaultWork();
    // Format byte other than 0xF9: the record address, nothing measured.
    ImageRun o = RunImage(Image({0, 0}, {0, 0}, {0, 0}, 0xF8, 0xEE, 1, 1, Bytes(1, 0)), work);
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.at, 0u);
    EXPECT_EQ(o.recordAt, 0u);

    // Attribute records, other primitives, the colour and group escapes are
    // stepped over; the cursor ends on the image record.
    const Bytes before = Concat({LineWidth(60), ColourEscape(3), GroupStart(0x1), Primitive(5, Bytes(30, 0)),
                                 Marker(), Rectangle({0, 0}, {1, -1})});
    o = RunImage(Concat({before, ImageOf(0xC1, 8, 8), EndPicture()}), work);
    ASSERT_EQ(o.result, 0);
    EXPECT_EQ(o.at, before.size());
    EXPECT_EQ(o.recordAt, before.size());
    EXPECT_EQ(o.rows, 8);

    // A short-form image: the address is 2 bytes before its command word so
    // that the long-form offsets apply; the cursor steps over it.
    const Bytes shortImage = Image({1440, -1440}, {0, 0}, {0, 0}, 0xF9, 0xC1, 8, 8, Bytes(2, 0), 4, true);
    Records r(Concat({LineWidth(60), shortImage}));
    o = RunImage(r, work);
    ASSERT_EQ(o.result, 0);
    EXPECT_EQ(o.recordAt, LineWidth(60).size() - 2);
    EXPECT_EQ(o.at, r.data.size());
    EXPECT_EQ(o.size, 8);
    EXPECT_EQ(o.position, P(1, 1));

    // A primitive 5 and no image after it: the walk ends at the end of data.
    o = RunImage(Concat({Primitive(5, Bytes(30, 0)), EndPicture()}), work);
    EXPECT_EQ(o.result, -1);
    EXPECT_EQ(o.size, 0xAAAA);

    // Rejected: another escape; a bitmap primitive (framed with length 0)
    // that stepping would not pass.
    for (const Bytes& bad : {Escape(11, Bytes{0, 0, 0, 0}),
                             Bitmap({}, DibBytes(Dib{}))}) {
        Records q(Concat({LineWidth(60), bad, ImageOf(0xC1, 8, 8)}));
        o = RunImage(q, work);
        EXPECT_EQ(o.result, -1);
        EXPECT_EQ(o.at, LineWidth(60).size());
    }
    EXPECT_EQ(RunImage(ImageOf(0xC1, 8, 8), work, 0).result, -1);
}

TEST(Fordimg, RecordsCutShortOrRunningPastTheData) {
    FO_WORK work = DefaultWork();
    Bytes rec = ImageOf(0xC1, 8, 8);
    rec.resize(rec.size() - 1);  // the last partition runs past the data
    ImageRun o = RunImage(rec, work);
    EXPECT_EQ(o.result, -1);
    EXPECT_EQ(o.record, nullptr);
    // A long-form image whose one partition ends before the row length.
    // Identifier, 2 bytes, three points, 2 bytes: format byte at rec+22.
    const Bytes cut = LongRecord(0x4140, Bytes{0x00, 0x04, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                               0, 0, 0, 0, 0, 0, 0xF9, 0xC1, 8, 0});
    o = RunImage(cut, work);
    EXPECT_EQ(o.result, -1);
}

TEST(Fordbmpimg, EveryBitCount) {
    FO_WORK work = DefaultWork();
    struct Case {
        uint16_t bits;
        uint32_t compression;
        uint32_t clrUsed;
        size_t offset;  // from the header to the pixel bits
    } cases[] = {
        {1, 0, 0, 40 + 8}, {4, 0, 0, 40 + 64}, {8, 0, 0, 40 + 1024}, {8, 0, 3, 40 + 12},
        {24, 0, 0, 40},    {32, 0, 0, 40},     {32, 3, 0, 40 + 12},  {16, 3, 0, 40 + 12},
        {16, 0, 0, 40},
    };
    for (const Case& c : cases) {
        Dib dib;
        dib.width = 100;
        dib.height = -10;  // top-down: the absolute value counts
        dib.bitCount = c.bits;
        dib.compression = c.compression;
        dib.clrUsed = c.clrUsed;
        // The head's values, codes, modes and corners: the end-to-end dump.
        const Bytes bitmap = Bitmap({}, DibBytes(dib));
        size_t headerAt = 0;
        BitmapRun o = RunBitmap(Concat({ColourEscape(9), bitmap, EndPicture()}), work, &headerAt);
        ASSERT_EQ(o.result, 0) << c.bits;
        const size_t bits = ((100 * c.bits + 31) / 32 * 4) * 10;
        EXPECT_EQ(o.info.bitsSize, bits) << c.bits;
        EXPECT_EQ(36 + c.offset + bits, bitmap.size()) << c.bits;  // the writer agrees
        EXPECT_EQ(o.at, ColourEscape(9).size() + 36 + c.offset + bits) << c.bits;
        EXPECT_EQ(headerAt, ColourEscape(9).size() + 36);
        EXPECT_EQ(o.info.colour, 1);
        EXPECT_EQ(o.info.unused6, 0x5A5A);  // not written
    }
}

TEST(Fordbmpimg, ExampleSizesAndStoredImageSize) {
    FO_WORK work = DefaultWork();
    Dib dib;
    dib.width = 100;
    dib.height = 10;
    dib.bitCount = 8;
    BitmapRun o = RunBitmap(Bitmap({}, DibBytes(dib)), work);
    ASSERT_EQ(o.result, 0);
    EXPECT_EQ(o.info.bitsSize, 1000u);
    EXPECT_EQ(o.at, 2100u);
    EXPECT_EQ(o.remaining, 0u);
    // biSizeImage, when given, is taken (as an absolute value).
    dib.storeSizeImage = true;
    o = RunBitmap(Bitmap({}, DibBytes(dib)), work);
    EXPECT_EQ(o.info.bitsSize, 1000u);
}

TEST(Fordbmpimg, FailuresLeaveTheInfoBlock) {
    FO_WORK work = DefaultWork();
    Dib dib;
    dib.width = 8;
    dib.height = 2;
    const Bytes good = Bitmap({}, DibBytes(dib));
    auto patched = [&](size_t at, uint8_t v) {
        Bytes b = good;
        b[at] = v;
        return b;
    };

    Bytes truncated(good.begin(), good.end() - 1);  // the worked-out length runs past the data
    Bytes hugeClr = good;
    hugeClr[36 + 32 + 3] = 0x40;  // biClrUsed 0x40000000
    Bytes hugeSize = good;
    hugeSize[36 + 20 + 3] = 0x80;  // biSizeImage -2^31
    const Bytes lead = LineWidth(60);
    const Bytes rejected[] = {
        patched(16, 0xF4),               // code byte
        patched(33, 3),                  // mode
        truncated, hugeClr, hugeSize,
        Escape(12, Bytes{0, 0, 0, 0}),
        Line({0, 0}, {1, 0}, {0, 0}, 0, 0, 0),  // a primitive other than 18
        Bytes(good.begin(), good.begin() + 60),  // header cut short
    };
    for (const Bytes& bad : rejected) {
        BitmapRun o = RunBitmap(Concat({lead, bad}), work);
        EXPECT_EQ(o.result, -1);
        EXPECT_EQ(o.at, lead.size());
        EXPECT_EQ(o.info.code, 0x5A5A);
        EXPECT_EQ(o.info.colour, 0x5A);
    }
    // Null arguments: nothing read or written.
    Records r(good);
    FO_BMPINFO info{};
    FO_POINT a{}, b{};
    FO_POINT* out[2] = {&a, &b};
    EXPECT_EQ(fordbmpimg(&r.cursor, &r.remaining, nullptr, 240, out, &work), -1);
    EXPECT_EQ(fordbmpimg(&r.cursor, &r.remaining, &info, 240, nullptr, &work), -1);
    EXPECT_EQ(fordbmpimg(&r.cursor, &r.remaining, &info, 240, out, nullptr), -1);
    EXPECT_EQ(fordbmpimg(nullptr, &r.remaining, &info, 240, out, &work), -1);
    EXPECT_EQ(fordbmpimg(&r.cursor, nullptr, &info, 240, out, &work), -1);
    EXPECT_EQ(r.at(), 0u);
    // A LINE WIDTH record before the bitmap is stepped over.
    EXPECT_EQ(RunBitmap(Concat({lead, good}), work).result, 0);
}
