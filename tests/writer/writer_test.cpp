#include <gtest/gtest.h>

#include <stdexcept>

#include "include/wx5novl1.h"
#include "ovlwriter.h"

namespace {

using ovlw::Bytes;

TEST(OvlWriter, RecordFormsFrameAsWritten) {
    // Every parameter length from 0 to 40 frames back to its own length, in
    // the short form where it fits and the long form past it.
    for (size_t n = 0; n <= 40; ++n) {
        const Bytes rec = ovlw::Record(0x4080, Bytes(n, 0x55));
        unsigned short cls = 0;
        int len = 0;
        ASSERT_EQ(foreadclassid(rec.data(), static_cast<int>(rec.size()), &cls, &len), 0);
        EXPECT_EQ(cls, 0x4080);
        EXPECT_EQ(static_cast<size_t>(len), rec.size());
        EXPECT_EQ(rec.size(), n <= 30 ? 2 + n : 4 + n);
    }
    // Large parameters split into partitions of at most 0x7FFF bytes.
    const Bytes big = ovlw::LongRecord(0x4140, Bytes(70000, 1));
    EXPECT_EQ(big.size(), 2 + 3 * 2 + 70000u);
    EXPECT_EQ(big[2], 0xFF);  // 0x8000 | 0x7FFF
    unsigned short cls = 0;
    int len = 0;
    EXPECT_EQ(foreadclassid(big.data(), static_cast<int>(big.size()), &cls, &len), 0);
    EXPECT_EQ(static_cast<size_t>(len), big.size());
}

TEST(OvlWriter, RefusesRecordsItCannotEncode) {
    EXPECT_THROW(ovlw::ShortRecord(0x4080, Bytes(31, 0)), std::invalid_argument);
    EXPECT_THROW(ovlw::LongRecord(0x4080, Bytes(10, 0), {4, 4}), std::invalid_argument);
    EXPECT_THROW(ovlw::LongRecord(0x4080, Bytes(0x8000, 0), {0x8000}), std::invalid_argument);
}

TEST(OvlWriter, FileHeadersCarryWhatTheReadersLookFor) {
    ovlw::Kind2Options k2;
    k2.ids = {"AB12", "LONGERID9"};
    k2.groupType = 0xF2;
    const Bytes g = ovlw::BuildKind2(k2);
    EXPECT_EQ(g[191], 'G');
    EXPECT_EQ(g[260], 0xF2);
    EXPECT_EQ(g[263], 2);
    EXPECT_EQ(std::string(g.begin() + 264, g.begin() + 272), "AB12    ");
    EXPECT_EQ(std::string(g.begin() + 272, g.begin() + 280), "LONGERID");  // cut to 8
    EXPECT_EQ(g.size(), 280u);
    EXPECT_EQ(g[259], 24);  // L counts its own 4 bytes

    ovlw::Kind1Options k1;
    k1.leadLength = 300;
    const Bytes p = ovlw::BuildKind1(k1);
    EXPECT_EQ(p[190], 0xD3);
    EXPECT_EQ(p[191], 0xD7);  // EBCDIC "P"
    EXPECT_EQ(p[256 + 384 + 2], 0x2B);  // lead area of 384 bytes
    const uint32_t b = (p[230] << 24) | (p[231] << 16) | (p[232] << 8) | p[233];
    EXPECT_EQ(b, p.size() - 640);
    EXPECT_EQ(ovlw::EbcdicTag("P400"), (std::array<uint8_t, 4>{0xD7, 0xF4, 0xF0, 0xF0}));
}

}  // namespace
