#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "include/wx5novl1.h"
#include "ovlwriter.h"
#include "support/fake_fileacc.h"

namespace {

using ovlw::Bytes;

struct Load {
    int result = 0;
    unsigned loaded = 0xDEAD;
    unsigned char kind = 0xEE;
    unsigned short format = 0xEEEE;
    unsigned short version = 0xEEEE;
    int handle = -12345;
    std::vector<uint8_t> buffer;
};

class LoaderTest : public ::testing::Test {
protected:
    void SetUp() override { fakefs::Reset(); }

    Load Run(const Bytes& file, unsigned bufferSize = 65536, char want = 3,
             int mode = FO_OPEN_READ) {
        fakefs::AddFile("f.ovl", file);
        Load l;
        l.buffer.assign(bufferSize, 0xCC);
        unsigned size = bufferSize;
        l.result = foreaddata(mode, want, "f.ovl", l.buffer.data(), &size, &l.loaded, &l.kind,
                              &l.format, &l.version, &l.handle, 77);
        return l;
    }
    // Every load closes its file, except a successful one in mode 18.
    void ExpectClosed() { EXPECT_TRUE(fakefs::GetStats().openHandles.empty()); }

    static ovlw::Kind1Options Ascii() {
        ovlw::Kind1Options o;
        o.magic = ovlw::Charset::kAscii;
        return o;
    }
};

TEST_F(LoaderTest, Kind2LoadsByteForByte) {
    ovlw::Kind2Options o;
    o.ids = {};
    o.groupType = 0xF1;
    Bytes file = ovlw::BuildKind2(o);
    // L = 4 + 4: only the id table head. A buffer of exactly 256 + L.
    Load l = Run(file, 264);
    EXPECT_EQ(l.result, 0);
    EXPECT_EQ(l.loaded, 264u);
    EXPECT_EQ(l.kind, 2);
    EXPECT_EQ(l.format, 0xEEEE);
    EXPECT_EQ(l.version, 0xEEEE);
    EXPECT_EQ(std::memcmp(l.buffer.data(), file.data(), file.size()), 0);
    EXPECT_EQ(fakefs::GetStats().lastMode, 32u);
    EXPECT_EQ(fakefs::GetStats().lastContext, 77);
    EXPECT_EQ(l.handle, -12345);  // only mode 18 hands the handle back
    ExpectClosed();

    // L = 4 in a buffer of exactly 260 bytes.
    o.length = 4;
    file = ovlw::BuildKind2(o);
    file.resize(260);
    l = Run(file, 260);
    EXPECT_EQ(l.result, 0);
    EXPECT_EQ(l.loaded, 260u);
}

TEST_F(LoaderTest, KindWantedAndMagic) {
    const Bytes g = ovlw::BuildKind2(ovlw::Kind2Options{});
    Load l = Run(g, 65536, 1);
    EXPECT_EQ(l.result, -2);
    EXPECT_EQ(l.kind, 2);  // set as soon as the magic matched
    EXPECT_EQ(l.loaded, 0u);
    ExpectClosed();
    for (char want : {0, 2, 3, 9}) EXPECT_EQ(Run(g, 65536, want).result, 0) << int(want);

    const Bytes p = ovlw::BuildKind1(Ascii());
    EXPECT_EQ(Run(p, 65536, 2).result, -2);
    EXPECT_EQ(Run(p, 65536, 1).result, 0);

    Bytes bad = g;
    bad[189] = 'X';
    l = Run(bad);
    EXPECT_EQ(l.result, -2);
    EXPECT_EQ(l.kind, 0);
    ExpectClosed();
}

TEST_F(LoaderTest, BufferTooSmall) {
    const Bytes g = ovlw::BuildKind2(ovlw::Kind2Options{});
    Load l = Run(g, 255);
    EXPECT_EQ(l.result, -4);
    EXPECT_EQ(l.loaded, 0u);
    EXPECT_EQ(l.kind, 0);
    EXPECT_EQ(fakefs::GetStats().opens, 1);
    ExpectClosed();
    EXPECT_EQ(Run(g, 259).result, -4);   // no room for L
    EXPECT_EQ(Run(g, 263).result, -4);   // no room for the data part

    ovlw::Kind2Options tiny;
    tiny.length = 2;  // L below 4 wraps: no buffer is large enough
    EXPECT_EQ(Run(ovlw::BuildKind2(tiny)).result, -4);

    const Bytes p = ovlw::BuildKind1(Ascii());
    EXPECT_EQ(Run(p, 267).result, -4);  // no room for the lead record
    EXPECT_EQ(Run(p, 383).result, -4);  // fewer than 384 bytes
    // The whole block does not fit (B + 2 after offset 384): the part that
    // fits is read and checked, then -4.
    const unsigned b = static_cast<unsigned>(p.size() - 384);
    EXPECT_EQ(Run(p, 384 + b + 1).result, -4);
    EXPECT_EQ(Run(p, 384 + b + 2).result, 0);
    ovlw::Kind1Options broken = Ascii();
    broken.blockByte2 = 0;
    EXPECT_EQ(Run(ovlw::BuildKind1(broken), 384 + b).result, -2);  // -2 comes first
}

TEST_F(LoaderTest, Kind1LeadAreaRounding) {
    for (uint32_t l0 : {200u, 256u, 257u, 12u, 128u}) {
        ovlw::Kind1Options o = Ascii();
        o.leadLength = l0;
        o.elements = ovlw::ShortRecord(0x4160, Bytes(8, 0x11));
        const Bytes file = ovlw::BuildKind1(o);
        const size_t blockAt = 256 + (l0 + 127) / 128 * 128;
        ASSERT_EQ(file[blockAt + 2], 0x2B);
        Load l = Run(file);
        ASSERT_EQ(l.result, 0) << "L0 " << l0;
        EXPECT_EQ(l.kind, 1);
        EXPECT_EQ(l.format, 1);
        EXPECT_EQ(l.version, 2);
        EXPECT_EQ(l.loaded, 384 + (file.size() - blockAt));
        // The lead record is rewritten to length 12; the block sits at 384.
        const uint8_t lead[5] = {0, 0, 0, 0, 12};
        EXPECT_EQ(std::memcmp(l.buffer.data() + 256, lead, 5), 0);
        EXPECT_EQ(l.buffer[300], 0xCC);  // 268 to 383 are left alone
        EXPECT_EQ(std::memcmp(l.buffer.data() + 384, file.data() + blockAt, file.size() - blockAt),
                  0);
        ExpectClosed();
    }
}

TEST_F(LoaderTest, LayoutVersionMustFitTheMagic) {
    struct Case {
        ovlw::Charset magic;
        std::vector<uint16_t> escapes;
        int result;
        int version;
    } cases[] = {
        {ovlw::Charset::kEbcdic, {}, 0, 1},        // no ESCAPE 68: V = 2
        {ovlw::Charset::kEbcdic, {4}, -3, -1},
        {ovlw::Charset::kAscii, {4}, 0, 2},
        {ovlw::Charset::kAscii, {5}, 0, 3},
        {ovlw::Charset::kAscii, {2}, -3, -1},
        {ovlw::Charset::kAscii, {5, 4}, 0, 2},    // the last one counts
        {ovlw::Charset::kEbcdic, {2}, 0, 1},
    };
    for (const Case& c : cases) {
        ovlw::Kind1Options o;
        o.magic = c.magic;
        o.layoutEscapes = c.escapes;
        o.defaultLayoutEscape = false;
        Load l = Run(ovlw::BuildKind1(o));
        EXPECT_EQ(l.result, c.result);
        if (c.version > 0) EXPECT_EQ(l.version, c.version);
        else EXPECT_EQ(l.version, 0xEEEE);
        ExpectClosed();
    }
    ovlw::Kind1Options o = Ascii();
    o.metafileVersion = 2;
    EXPECT_EQ(Run(ovlw::BuildKind1(o)).result, -3);
}

TEST_F(LoaderTest, ModeWordPlacesAndDataFormats) {
    struct Case {
        ovlw::ModeWordPlace place;
        uint16_t mode;
        int result;
        int format;
    } cases[] = {
        {ovlw::ModeWordPlace::kWord32, 1, 0, 1},
        {ovlw::ModeWordPlace::kTag18, 0x0100, 0, 2},
        {ovlw::ModeWordPlace::kTag90, 0x0080, 0, 3},
        {ovlw::ModeWordPlace::kNoTag, 0x0080, 0, 1},  // no tag: M is 1
        {ovlw::ModeWordPlace::kWord32, 0x0002, -3, 2},
        {ovlw::ModeWordPlace::kWord32, 0x1000, -3, 2},
        {ovlw::ModeWordPlace::kWord32, 0x2000, 0, 2},
        {ovlw::ModeWordPlace::kTag18, 0x0081, -3, 3},
        {ovlw::ModeWordPlace::kTag18, 0x0180, 0, 3},
    };
    for (const Case& c : cases) {
        ovlw::Kind1Options o = Ascii();
        o.modePlace = c.place;
        o.mode = c.mode;
        if (c.place == ovlw::ModeWordPlace::kNoTag) o.formatByte = 0x85;
        Load l = Run(ovlw::BuildKind1(o));
        EXPECT_EQ(l.result, c.result) << "mode " << c.mode;
        EXPECT_EQ(l.format, c.format) << "mode " << c.mode;
    }
    // The format byte must fit the data format and match descriptor 1.
    ovlw::Kind1Options o = Ascii();
    o.formatByte = 0x00;
    EXPECT_EQ(Run(ovlw::BuildKind1(o)).result, -2);
    o = Ascii();
    o.firstDescriptorFormat = 0x00;
    EXPECT_EQ(Run(ovlw::BuildKind1(o)).result, -2);
}

TEST_F(LoaderTest, DataMarkersAndSegmentChain) {
    const Bytes elements = ovlw::Concat({ovlw::ShortRecord(0x5040, Bytes{0, 2}),
                                         ovlw::ShortRecord(0x4160, Bytes(8, 0x22))});
    ovlw::Kind1Options plain = Ascii();
    plain.elements = elements;
    const Bytes reference = ovlw::BuildKind1(plain);
    Load want = Run(reference);
    ASSERT_EQ(want.result, 0);

    for (size_t seg : {1u, 7u, 64u, 4096u}) {
        ovlw::Kind1Options o = plain;
        o.marker = ovlw::DataMarker::kF501Chain;
        o.chainSegment = seg;
        Load l = Run(ovlw::BuildKind1(o));
        ASSERT_EQ(l.result, 0) << "segment " << seg;
        // Joined, the block reads as the one written without a chain; the
        // F0 00 header that ends the chain stays behind it.
        ASSERT_EQ(l.loaded, want.loaded + 4) << "segment " << seg;
        EXPECT_EQ(std::memcmp(l.buffer.data() + 384, want.buffer.data() + 384, want.loaded - 384), 0);
        const int kind = foreadkindget(l.buffer.data() + want.loaded - 24, 24);
        EXPECT_EQ(kind, 3);
    }
    ovlw::Kind1Options o = plain;
    o.marker = ovlw::DataMarker::kF004;
    EXPECT_EQ(Run(ovlw::BuildKind1(o)).result, 0);

    // A chain header other than F0 04 or F0 00 breaks the file.
    o = plain;
    o.marker = ovlw::DataMarker::kF501Chain;
    o.chainSegment = 16;
    Bytes chained = ovlw::BuildKind1(o);
    const size_t marker = 256 + 128 + 776 + 16 + 36;
    ASSERT_EQ(chained[marker], 0xF5);
    chained[marker + 4 + 4 + 16] = 0xF1;
    EXPECT_EQ(Run(chained).result, -2);
    ExpectClosed();

    // Any other marker is refused.
    Bytes other = reference;
    other[marker] = 0xF4;
    other[marker + 1] = 0x02;
    EXPECT_EQ(Run(other).result, -2);
}

TEST_F(LoaderTest, Format3JoinsPartitionedBitmapRecords) {
    // A bitmap primitive: identifier 18 in a first partition of 10 bytes,
    // then continuation partitions of 6 and 4 bytes.
    Bytes params;
    ovlw::PutU16(params, 18);
    for (int i = 0; i < 18; ++i) params.push_back(static_cast<uint8_t>(0x30 + i));
    const Bytes bitmap = ovlw::LongRecord(0x4140, params, {10, 6, 4});
    const Bytes after = ovlw::ShortRecord(0x4160, Bytes(8, 0x44));
    ovlw::Kind1Options o = Ascii();
    o.mode = 0x80;
    o.elements = ovlw::Concat({ovlw::ShortRecord(0x5040, Bytes{0, 1}), bitmap, after});
    const Bytes file = ovlw::BuildKind1(o);
    Load l = Run(file);
    ASSERT_EQ(l.result, 0);
    EXPECT_EQ(l.format, 3);
    EXPECT_EQ(l.loaded, file.size());  // the size is not changed by the joining

    // Find the bitmap record in the buffer.
    const uint8_t head[2] = {0x41, 0x5F};
    const uint8_t* begin = l.buffer.data() + 384;
    const uint8_t* at = std::search(begin, begin + (l.loaded - 384), head, head + 2);
    ASSERT_NE(at, begin + (l.loaded - 384));
    EXPECT_EQ(at[2], 0x80);  // the first partition word is left as it was
    EXPECT_EQ(at[3], 10);
    for (int i = 0; i < 18; ++i) EXPECT_EQ(at[6 + i], 0x30 + i) << i;  // 20 data bytes
    // Every later record moved down by 4, END PICTURE (14 bytes) included.
    EXPECT_EQ(std::memcmp(at + 24, after.data(), after.size()), 0);
    const Bytes end = ovlw::EndPicture();
    EXPECT_EQ(std::memcmp(at + 24 + after.size(), end.data(), end.size()), 0);
    const int avail = static_cast<int>(24 + after.size() + end.size());
    EXPECT_EQ(foreadkindget(at + 24, avail - 24), 3);

    // Without END PICTURE the compaction runs out of records: broken.
    o.endPicture = false;
    EXPECT_EQ(Run(ovlw::BuildKind1(o)).result, -2);
}

TEST_F(LoaderTest, FileFailuresAndTheHandle) {
    const Bytes p = ovlw::BuildKind1(Ascii());
    fakefs::AddFile("f.ovl", p);

    fakefs::GetFaults().openResult = 1234;
    Load l = Run(p);
    EXPECT_EQ(l.result, 1234);
    EXPECT_EQ(l.loaded, 0u);
    EXPECT_EQ(fakefs::GetStats().closes, 0);  // nothing was opened

    for (int call = 0; call < 3; ++call) {  // header, lead record, block
        SetUp();
        fakefs::GetFaults().failReadCall = call;
        l = Run(p);
        EXPECT_EQ(l.result, -5) << "read " << call;
        ExpectClosed();
    }
    SetUp();
    fakefs::GetFaults().seekSkew = 1;
    EXPECT_EQ(Run(p).result, -5);
    ExpectClosed();

    SetUp();
    fakefs::GetFaults().failClose = true;
    l = Run(p);
    EXPECT_EQ(l.result, -5);
    EXPECT_EQ(l.loaded, 0u);

    // Mode 18 keeps the file open on success and hands the handle back.
    SetUp();
    l = Run(p, 65536, 3, FO_OPEN_KEEP);
    EXPECT_EQ(l.result, 0);
    EXPECT_EQ(fakefs::GetStats().lastMode, 18u);
    ASSERT_EQ(fakefs::GetStats().openHandles.size(), 1u);
    EXPECT_EQ(l.handle, *fakefs::GetStats().openHandles.begin());
    EXPECT_EQ(fakefs::GetStats().closes, 0);

    // ... and closes it on failure without writing the handle.
    SetUp();
    l = Run(p, 300, 3, FO_OPEN_KEEP);
    EXPECT_EQ(l.result, -4);
    EXPECT_EQ(l.handle, -12345);
    ExpectClosed();

    // The short form passes mode 32 and no handle.
    SetUp();
    fakefs::AddFile("g.ovl", p);
    std::vector<uint8_t> buf(65536);
    unsigned size = 65536, loaded = 0;
    unsigned char kind = 0;
    unsigned short format = 0, version = 0;
    EXPECT_EQ(pcom_foreadd33(1, "g.ovl", buf.data(), &size, &loaded, &kind, &format, &version, 5), 0);
    EXPECT_EQ(fakefs::GetStats().lastMode, 32u);
    EXPECT_EQ(fakefs::GetStats().lastContext, 5);
    EXPECT_EQ(loaded, p.size());  // the block sits at file offset 384 too
    ExpectClosed();
}

TEST_F(LoaderTest, BrokenBlocksAreRefusedNotOverread) {
    const Bytes good = ovlw::BuildKind1(Ascii());
    // Cut the block at every length around the preamble (it ends at 844
    // bytes, its NO-OP at 846): each cut inside a record is refused, never a
    // crash; a cut between records ends the preamble walk and loads.
    // A block length that runs past the file is a short read.
    const size_t blockAt = 384;
    for (size_t cut = 0; cut < 860; cut += 1) {
        Bytes file = good;
        file[230] = file[231] = 0;
        file[232] = static_cast<uint8_t>(cut >> 8);
        file[233] = static_cast<uint8_t>(cut);
        file.resize(blockAt + cut);
        const int r = Run(file).result;
        if (cut < 844 || cut == 845) EXPECT_TRUE(r == -2 || r == -3) << "cut " << cut << " gave " << r;
        else EXPECT_EQ(r, 0) << "cut " << cut;
        ExpectClosed();
    }
    Bytes longer = good;
    longer[233] += 1;
    EXPECT_EQ(Run(longer).result, -5);

    // A descriptor length that points past the data.
    Bytes far = good;
    far[blockAt + 776 + 2] = 0xFF;
    EXPECT_EQ(Run(far).result, -2);
    // A preamble record whose length runs past the data.
    ovlw::Kind1Options o = Ascii();
    o.preamble = Bytes{0x50, 0x5E};
    o.endPicture = false;
    EXPECT_EQ(Run(ovlw::BuildKind1(o)).result, -2);
}

}  // namespace
