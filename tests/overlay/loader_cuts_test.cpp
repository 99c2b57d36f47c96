// A kind 1 file whose element block is cut at every length around the
// preamble: each cut inside a record is refused, never read past; a cut
// between records ends the preamble walk and loads.
#include <gtest/gtest.h>

#include <vector>

#include "include/wx5novl1.h"
#include "ovlwriter.h"
#include "support/fake_fileacc.h"

namespace {

using ovlw::Bytes;

class LoaderTest : public ::testing::Test {
protected:
    int Run(const Bytes& file) {
        fakefs::Reset();
        fakefs::AddFile("f.ovl", file);
        std::vector<unsigned char> buffer(65536, 0xCC);
        unsigned size = 65536, loaded = 0;
        unsigned char kind = 0;
        unsigned short format = 0, version = 0;
        int handle = 0;
        return foreaddata(FO_OPEN_READ, 3, "f.ovl", buffer.data(), &size, &loaded, &kind, &format,
                           &version, &handle, 0);
    }
    void ExpectClosed() { EXPECT_TRUE(fakefs::GetStats().openHandles.empty()); }
    static ovlw::Kind1Options Ascii() {
        ovlw::Kind1Options o;
        o.magic = ovlw::Charset::kAscii;
        return o;
    }
};

TEST_F(LoaderTest, BrokenBlocksAreRefusedNotOverread) {
    const Bytes good = ovlw::BuildKind1(Ascii());
    // The preamble ends at 844 bytes, its NO-OP at 846.
    const size_t blockAt = 384;
    for (size_t cut = 0; cut < 860; cut += 1) {
        Bytes file = good;
        file[230] = file[231] = 0;
        file[232] = static_cast<uint8_t>(cut >> 8);
        file[233] = static_cast<uint8_t>(cut);
        file.resize(blockAt + cut);
        const int r = Run(file);
        if (cut < 844 || cut == 845) EXPECT_TRUE(r == -2 || r == -3) << "cut " << cut << " gave " << r;
        else EXPECT_EQ(r, 0) << "cut " << cut;
        ExpectClosed();
    }
    Bytes longer = good;
    longer[233] += 1;
    EXPECT_EQ(Run(longer), -5);

    // A descriptor length that points past the data.
    Bytes far = good;
    far[blockAt + 776 + 2] = 0xFF;
    EXPECT_EQ(Run(far), -2);
    // A preamble record whose length runs past the data.
    ovlw::Kind1Options o = Ascii();
    o.preamble = Bytes{0x50, 0x5E};
    o.endPicture = false;
    EXPECT_EQ(Run(ovlw::BuildKind1(o)), -2);
}

}  // namespace
