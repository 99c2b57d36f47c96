// pcom_fogetreadsize over the scripted file layer.
#include <gtest/gtest.h>

#include "include/wx5novl1.h"
#include "tests/decode/fake_fileacc.h"

namespace {

struct Query {
    int result;
    unsigned int size;
};

Query Ask(unsigned int fileSize, int closeResult = 0) {
    scriptfs::Script s;
    s.size = fileSize;
    s.closeResult = closeResult;
    scriptfs::Reset(s);
    Query q{0, 0xABCD};
    q.result = pcom_fogetreadsize("some.ovl", &q.size, 7);
    return q;
}

}  // namespace

TEST(PcomFogetreadsize, RoundsToWholeUnitsOfAtLeast128KiB) {
    struct Case {
        unsigned int file, buffer;
    } cases[] = {
        {0, 131072},           {1, 131072},          {131072, 131072},
        {131073, 163840},      {196608, 196608},     {196609, 229376},
        {0xFFFF8000u, 0xFFFF8000u},  // the largest multiple that fits
    };
    for (const Case& c : cases) {
        const Query q = Ask(c.file);
        EXPECT_EQ(q.result, 0) << c.file;
        EXPECT_EQ(q.size, c.buffer) << c.file;
        const scriptfs::Calls& calls = scriptfs::Recorded();
        EXPECT_EQ(calls.mode, 32);
        EXPECT_EQ(calls.context, 7);
        EXPECT_EQ(calls.name, "some.ovl");
        EXPECT_EQ(calls.sizeHandle, 42);
        EXPECT_EQ(calls.closeHandle, 42);
        EXPECT_EQ(calls.closes, 1);
        EXPECT_GT(calls.closeOrder, calls.sizeOrder);
    }
}

TEST(PcomFogetreadsize, FailuresCloseTheFileAndWriteNothing) {
    // The size query fails.
    Query q = Ask(0xFFFFFFFFu);
    EXPECT_EQ(q.result, -5);
    EXPECT_EQ(q.size, 0xABCDu);
    EXPECT_EQ(scriptfs::Recorded().closes, 1);
    // The rounded size does not fit 32 bits.
    q = Ask(0xFFFF8001u);
    EXPECT_EQ(q.result, -5);
    EXPECT_EQ(q.size, 0xABCDu);
    EXPECT_EQ(scriptfs::Recorded().closes, 1);
    // The close fails after a good size query.
    q = Ask(1000, -1);
    EXPECT_EQ(q.result, -5);
    EXPECT_EQ(q.size, 0xABCDu);
    EXPECT_EQ(scriptfs::Recorded().closes, 1);
    // A close result of 0 or above is success.
    q = Ask(1000, 3);
    EXPECT_EQ(q.result, 0);
}

TEST(PcomFogetreadsize, OpenFailureIsPassedOn) {
    scriptfs::Script s;
    s.openResult = 2;
    scriptfs::Reset(s);
    unsigned int size = 0xABCD;
    EXPECT_EQ(pcom_fogetreadsize("missing.ovl", &size, 0), 2);
    EXPECT_EQ(size, 0xABCDu);
    EXPECT_EQ(scriptfs::Recorded().sizeQueries, 0);
    EXPECT_EQ(scriptfs::Recorded().closes, 0);
}
