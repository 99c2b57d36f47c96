// The exported calls that go through the file and conversion layer, over the
// in-memory fake: pcom_fogetreadsize and pcom_fogetid's conversion.
#include <gtest/gtest.h>

#include <cstring>

#include "include/wx5novl1.h"
#include "support/fake_fileacc.h"

namespace {

struct SizeCase {
    long long reported;  // what the size query says
    int closeResult;
    int result;
    unsigned int size;   // written only on success
};

TEST(PcomFogetreadsize, RoundsUpToWholeUnitsOrFailsClosingTheFile) {
    const unsigned kUntouched = 0xABCD;
    const SizeCase cases[] = {
        {0, 0, 0, 131072},          {1, 0, 0, 131072},
        {131072, 0, 0, 131072},     {131073, 0, 0, 163840},
        {196608, 0, 0, 196608},     {196609, 0, 0, 229376},
        {0xFFFF8000LL, 0, 0, 0xFFFF8000u},   // the largest multiple that fits
        {0xFFFF8001LL, 0, -5, kUntouched},   // rounding would overflow
        {0xFFFFFFFFLL, 0, -5, kUntouched},   // the size query failed
        {1000, -1, -5, kUntouched},          // the close failed
        {1000, 3, 0, 131072},                // any close result from 0 up is success
    };
    for (const SizeCase& c : cases) {
        fakefs::Reset();
        fakefs::AddFile("some.ovl", {1, 2, 3});
        fakefs::GetFaults().size = c.reported;
        fakefs::GetFaults().closeResult = c.closeResult;
        unsigned int size = kUntouched;
        EXPECT_EQ(pcom_fogetreadsize("some.ovl", &size, 7), c.result) << c.reported;
        EXPECT_EQ(size, c.size) << c.reported;
        const fakefs::Stats& s = fakefs::GetStats();
        EXPECT_EQ(s.lastMode, 32u);
        EXPECT_EQ(s.lastContext, 7);
        EXPECT_EQ(s.lastName, "some.ovl");
        EXPECT_EQ(s.sizeHandle, 100);
        EXPECT_EQ(s.closeHandle, 100);
        EXPECT_EQ(s.closes, 1);
        EXPECT_GT(s.closeOrder, s.sizeOrder);
        EXPECT_TRUE(s.openHandles.empty());
    }
}

TEST(PcomFogetreadsize, OpenFailureIsPassedOn) {
    fakefs::Reset();
    fakefs::GetFaults().openResult = 2;
    unsigned int size = 0xABCD;
    EXPECT_EQ(pcom_fogetreadsize("missing.ovl", &size, 0), 2);
    EXPECT_EQ(size, 0xABCDu);
    EXPECT_EQ(fakefs::GetStats().sizeQueries, 0);
    EXPECT_EQ(fakefs::GetStats().closes, 0);
}

// An image whose id table holds one EBCDIC id (the text flag is 0).
std::vector<unsigned char> IdImage() {
    std::vector<unsigned char> image(256 + 16, 0);
    image[263] = 1;  // one id after the head
    for (int i = 0; i < 8; ++i) image[264 + i] = 0xC1 + i;
    return image;
}

TEST(PcomFogetid, PassesTheConverterAndItsFailureThrough) {
    std::vector<unsigned char> image = IdImage();
    for (int failure : {0, -3}) {
        fakefs::Reset();
        fakefs::GetFaults().failConvert = failure;
        char out[9] = "xxxxxxxx";
        EXPECT_EQ(pcom_fogetid(image.data(), 1, out), failure);
        const fakefs::ConvertCall& c = fakefs::GetStats().convert;
        EXPECT_EQ(c.srcLen, 8);
        EXPECT_EQ(c.dstSize, 8);
        EXPECT_EQ(c.mode1, 1);
        EXPECT_EQ(c.mode2, 1);
        EXPECT_EQ(c.mode3, 2);
        EXPECT_EQ(c.single, 0x3F);
        EXPECT_EQ(c.double0, 0x81);
        EXPECT_EQ(c.double1, 0x48);
        ASSERT_NE(c.work, nullptr);
        // The work area is released whether or not the conversion worked.
        EXPECT_EQ(fakefs::GetStats().releases, 1);
        EXPECT_EQ(fakefs::GetStats().releasedWork, c.work);
        if (failure) {
            // Output as the converter left it: the rest stays spaces.
            EXPECT_EQ(std::string(out, 8), "AB      ");
        } else {
            EXPECT_EQ(std::memcmp(out, image.data() + 264, 8), 0);
        }
    }
}

}  // namespace
