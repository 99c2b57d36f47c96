#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "include/wx5novl1.h"
#include "support/temp_file.h"
#include "ovlwriter.h"
#include "wx5naux0.h"
#include "wx5nfacc.h"

namespace {

TEST(Fileacc, OpenReadSeekSizeClose) {
    std::vector<uint8_t> bytes(1000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7);
    TempFile f(bytes);
    ASSERT_TRUE(f.ok());

    for (unsigned short mode : {FCS_MODE_READ, FCS_MODE_KEEP}) {
        int handle = -1, status = -1;
        ASSERT_EQ(fcsopenfile(f.path().c_str(), mode, &handle, &status, 0), 0);
        EXPECT_EQ(auxgetfilesize(handle, 0), 1000u);
        unsigned char buf[600];
        EXPECT_EQ(fcsread(handle, buf, 10, &status), 10);
        EXPECT_EQ(buf[9], static_cast<uint8_t>(63));
        EXPECT_EQ(fcslseek(handle, 490, FCS_SEEK_CUR, &status), 500);
        EXPECT_EQ(fcslseek(handle, -100, FCS_SEEK_CUR, &status), 400);
        EXPECT_EQ(fcsread(handle, buf, 600, &status), 600);
        EXPECT_EQ(buf[0], static_cast<uint8_t>(400 * 7));
        EXPECT_EQ(fcsread(handle, buf, 600, &status), 0);  // at the end: a short count
        EXPECT_EQ(fcslseek(handle, -5000, FCS_SEEK_CUR, &status), -1);
        EXPECT_EQ(fcsclose(handle, &status), 0);
        EXPECT_LT(fcsclose(handle, &status), 0);  // closed twice
        EXPECT_EQ(fcsread(handle, buf, 1, &status), -1);
        EXPECT_EQ(auxgetfilesize(handle, 0), 0xFFFFFFFFu);
    }
}

TEST(Fileacc, OpenFailuresAreNonzero) {
    TempFile f({1, 2, 3});
    int handle = 0x5555, status = 0;
    EXPECT_EQ(fcsopenfile((f.dir() + "/missing").c_str(), FCS_MODE_READ, &handle, &status, 0), ENOENT);
    EXPECT_EQ(handle, 0x5555);
    EXPECT_NE(fcsopenfile(f.dir().c_str(), FCS_MODE_READ, &handle, &status, 0), 0);  // a folder
    EXPECT_NE(fcsopenfile(f.path().c_str(), 1, &handle, &status, 0), 0);  // unknown mode
    EXPECT_NE(fcsopenfile(nullptr, FCS_MODE_READ, &handle, &status, 0), 0);
    EXPECT_EQ(handle, 0x5555);
}

// The loader over real files: an opened file is closed on every path, so
// loading many times leaks no descriptor.
TEST(Fileacc, LoaderClosesRealFiles) {
    ovlw::Kind1Options o;
    o.magic = ovlw::Charset::kAscii;
    TempFile good(ovlw::BuildKind1(o));
    TempFile notOverlay(std::vector<uint8_t>(300, 0));

    std::vector<uint8_t> buf(1 << 16);
    unsigned size = static_cast<unsigned>(buf.size()), loaded = 0;
    unsigned char kind = 0;
    unsigned short format = 0, version = 0;
    int handle = -1;
    int fdBefore = dup(0);
    close(fdBefore);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(pcom_foreadd33(3, good.path().c_str(), buf.data(), &size, &loaded, &kind, &format,
                                 &version, 0), 0);
        EXPECT_EQ(foreaddata(32, 3, notOverlay.path().c_str(), buf.data(), &size, &loaded, &kind, &format,
                             &version, &handle, 0), -2);
    }
    int fdAfter = dup(0);
    close(fdAfter);
    EXPECT_EQ(fdAfter, fdBefore);
    EXPECT_EQ(kind, 0);

    // Mode 18 hands over an open descriptor that reads on after the data.
    ASSERT_EQ(foreaddata(18, 1, good.path().c_str(), buf.data(), &size, &loaded, &kind, &format, &version,
                         &handle, 0), 0);
    int status = 0;
    unsigned char extra;
    EXPECT_EQ(fcsread(handle, &extra, 1, &status), 0);  // at the end of the file
    EXPECT_EQ(fcsclose(handle, &status), 0);
}

}  // namespace
