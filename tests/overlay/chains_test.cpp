// Element blocks that arrive in pieces: the segment chain behind an F5 01
// marker (where it ends, a segment claiming more than is left, chains in
// data format 3) and several partitioned bitmap records in data format 3.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "include/wx5novl1.h"
#include "ovlwriter.h"
#include "support/fake_fileacc.h"

namespace {

using ovlw::Bytes;

struct Load {
    int result = 0;
    unsigned loaded = 0;
    unsigned short format = 0;
    std::vector<uint8_t> buffer;
};

Load LoadFile(const Bytes& file) {
    fakefs::Reset();
    fakefs::AddFile("f.ovl", file);
    Load l;
    l.buffer.assign(65536, 0xCC);
    unsigned size = 65536;
    unsigned char kind = 0;
    unsigned short version = 0;
    int handle = 0;
    l.result = foreaddata(FO_OPEN_READ, 1, "f.ovl", l.buffer.data(), &size, &l.loaded, &kind,
                          &l.format, &version, &handle, 0);
    EXPECT_TRUE(fakefs::GetStats().openHandles.empty());
    return l;
}

ovlw::Kind1Options Options(const Bytes& elements, uint16_t mode) {
    ovlw::Kind1Options o;
    o.magic = ovlw::Charset::kAscii;
    o.mode = mode;
    o.elements = elements;
    return o;
}

// Offset of the F5 01 marker in a built file.
size_t Marker(const Bytes& file) {
    const uint8_t m[6] = {0xF5, 0x01, 0x00, 0x00, 0xF0, 0x04};
    return static_cast<size_t>(std::search(file.begin(), file.end(), m, m + 6) - file.begin());
}

Bytes Elements() {
    return ovlw::Concat({ovlw::ShortRecord(0x5040, Bytes{0, 2}),
                         ovlw::ShortRecord(0x4160, Bytes(8, 0x22))});
}

// Without an F0 00 header the chain ends when 4 or fewer bytes are left:
// those are not taken for a header. Five left must be one.
TEST(SegmentChain, EndsWhenFourOrFewerBytesRemain) {
    ovlw::Kind1Options o = Options(Elements(), 1);
    o.marker = ovlw::DataMarker::kF501Chain;
    o.chainSegment = 16;
    o.chainEnd = false;
    const size_t exact = ovlw::BuildKind1(o).size();
    for (uint32_t extra = 0; extra <= 5; ++extra) {
        o.blockLength = static_cast<uint32_t>(exact - 256 - 128 + extra);
        Bytes file = ovlw::BuildKind1(o);
        file.insert(file.end(), extra, 0xAB);
        EXPECT_EQ(LoadFile(file).result, extra <= 4 ? 0 : -2) << extra << " bytes left";
    }
}

// A segment that claims more than the block holds takes what is there.
TEST(SegmentChain, SegmentLongerThanTheRestTakesTheRest) {
    ovlw::Kind1Options o = Options(Elements(), 1);
    o.marker = ovlw::DataMarker::kF501Chain;
    o.chainSegment = 4096;
    o.chainEnd = false;
    const Bytes honest = ovlw::BuildKind1(o);
    const Load want = LoadFile(honest);
    ASSERT_EQ(want.result, 0);
    Bytes file = honest;
    const size_t header = Marker(file) + 4;
    ASSERT_LT(header + 4, file.size());
    file[header + 2] = 0x70;  // the length word: 0x7000
    file[header + 3] = 0x00;
    const Load got = LoadFile(file);
    ASSERT_EQ(got.result, 0);
    EXPECT_EQ(got.loaded, want.loaded);
    EXPECT_EQ(std::memcmp(got.buffer.data(), want.buffer.data(), want.loaded), 0);
}

// A bitmap primitive (identifier 18) with the given partition lengths; its
// data bytes count up from first.
Bytes Bitmap(std::vector<size_t> parts, uint8_t first) {
    size_t total = 0;
    for (size_t p : parts) total += p;
    Bytes params;
    ovlw::PutU16(params, 18);
    for (size_t i = 0; i + 2 < total; ++i) params.push_back(static_cast<uint8_t>(first + i));
    return ovlw::LongRecord(0x4140, params, parts);
}

// In data format 3 every partitioned bitmap drops its continuation words,
// and everything behind it moves down by all the words dropped so far. The
// same holds when the block came through a segment chain.
TEST(Format3, PartitionedBitmapsJoinAndLaterRecordsMoveByAllDroppedWords) {
    const Bytes after = ovlw::ShortRecord(0x4160, Bytes(8, 0x44));
    const Bytes elements = ovlw::Concat({ovlw::ShortRecord(0x5040, Bytes{0, 1}),
                                         Bitmap({10, 6, 4}, 0x30), Bitmap({8, 2, 2, 2}, 0x60),
                                         after});
    for (bool chained : {false, true}) {
        ovlw::Kind1Options o = Options(elements, 0x80);
        if (chained) {
            o.marker = ovlw::DataMarker::kF501Chain;
            o.chainSegment = 7;
            o.chainEnd = false;
        }
        const Load l = LoadFile(ovlw::BuildKind1(o));
        ASSERT_EQ(l.result, 0) << chained;
        EXPECT_EQ(l.format, 3);
        const uint8_t head[2] = {0x41, 0x5F};
        const uint8_t* begin = l.buffer.data() + 384;
        const uint8_t* end = l.buffer.data() + l.loaded;
        const uint8_t* first = std::search(begin, end, head, head + 2);
        ASSERT_NE(first, end);
        for (int i = 0; i < 18; ++i) EXPECT_EQ(first[6 + i], 0x30 + i) << i;
        const uint8_t* second = first + 24;  // dropped: 2 words of the first
        ASSERT_EQ(second[0], 0x41);
        ASSERT_EQ(second[1], 0x5F);
        EXPECT_EQ(second[3], 8);  // its first partition word as it was
        for (int i = 0; i < 12; ++i) EXPECT_EQ(second[6 + i], 0x60 + i) << i;
        const uint8_t* rest = second + 18;  // dropped: 2 + 3 words in all
        EXPECT_EQ(std::memcmp(rest, after.data(), after.size()), 0);
        const Bytes endPicture = ovlw::EndPicture();
        EXPECT_EQ(std::memcmp(rest + after.size(), endPicture.data(), endPicture.size()), 0);
    }
}

}  // namespace
