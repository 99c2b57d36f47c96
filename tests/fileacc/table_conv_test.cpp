// The EBCDIC/HKZ to Shift JIS converters: the iconv one of the native build
// and the table one of the Windows build give the same, known, output,
// character by character.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "table_conv.h"
#include "wx5nfacc.h"

namespace {

const unsigned char kSingle[1] = {'?'};
const unsigned char kDouble[2] = {0x81, 0x48};

std::vector<unsigned char> ViaIconv(const std::vector<unsigned char>& src, int room) {
    std::vector<unsigned char> out(static_cast<size_t>(room) + 1, 0xEE);
    unsigned char work[FCS_CONV_WORK_SIZE] = {};
    int len = -1;
    EXPECT_EQ(ebhkztosjis(src.data(), static_cast<int>(src.size()), out.data(), room, &len, 1, 1,
                          kSingle, kDouble, 2, work), 0);
    miconv_relase(work);
    for (unsigned char b : work) EXPECT_EQ(b, 0);  // released
    EXPECT_EQ(out[static_cast<size_t>(len)], 0xEE);  // nothing past what it reports
    out.resize(static_cast<size_t>(len));
    return out;
}

std::vector<unsigned char> ViaTable(const std::vector<unsigned char>& src, int room) {
    std::vector<unsigned char> out(static_cast<size_t>(room) + 1, 0xEE);
    int len = -1;
    EXPECT_EQ(wx5n::TableConvert(src.data(), static_cast<int>(src.size()), out.data(), room, &len,
                                 kSingle, kDouble, 2), 0);
    EXPECT_EQ(out[static_cast<size_t>(room)], 0xEE);  // nothing past the room
    out.resize(static_cast<size_t>(len));
    return out;
}

TEST(TableConv, EveryCharacterAsIconv) {
    std::vector<unsigned char> single;
    for (int c = 0; c < 256; ++c) single.push_back(static_cast<unsigned char>(c));
    EXPECT_EQ(ViaTable(single, 600), ViaIconv(single, 600));

    // Every double-byte code, a row at a time inside one shift run.
    for (int a = 0x40; a <= 0xFE; ++a) {
        std::vector<unsigned char> run{0x0E};
        for (int b = 0x40; b <= 0xFE; ++b) {
            run.push_back(static_cast<unsigned char>(a));
            run.push_back(static_cast<unsigned char>(b));
        }
        run.push_back(0x0F);
        ASSERT_EQ(ViaTable(run, 1000), ViaIconv(run, 1000)) << "row " << a;
    }
}

TEST(TableConv, KnownOutputs) {
    const struct {
        std::vector<unsigned char> src;
        int room;
        std::vector<unsigned char> want;
    } cases[] = {
        {{0xC1, 0x81, 0x40, 0xF1}, 16, {'A', 'a', ' ', '1'}},
        // 0x28 and 0x29 open and close a double-byte run like SO and SI.
        {{0xC1, 0x28, 0x45, 0x41, 0x40, 0x40, 0x29, 0xC2}, 16, {'A', 0x88, 0xEA, 0x81, 0x40, 'B'}},
        // No single-byte character for 0xFF, no Shift JIS form for 0x41 0x40,
        // half a character at the end: the replacements.
        {{0xFF, 0x0E, 0x41, 0x40, 0x0F, 0xC1, 0x0E, 0x45}, 16, {'?', 0x81, 0x48, 'A', 0x81, 0x48}},
        // A character that does not fit whole is left out.
        {{0xC1, 0xC2, 0xC3, 0xC4}, 2, {'A', 'B'}},
        {{0xC1, 0x0E, 0x45, 0x41, 0x0F}, 2, {'A'}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ViaIconv(c.src, c.room), c.want);
        EXPECT_EQ(ViaTable(c.src, c.room), c.want);
    }
    unsigned char dst[4];
    int len = 0;
    const unsigned char q[2] = {'?', '?'};
    EXPECT_NE(ebhkztosjis(nullptr, 4, dst, 4, &len, 1, 1, q, q, 2, dst), 0);
    EXPECT_NE(ebhkztosjis(q, -1, dst, 4, &len, 1, 1, q, q, 2, dst), 0);
    EXPECT_NE(ebhkztosjis(q, 1, dst, 4, &len, 1, 1, q, q, 2, nullptr), 0);
}

TEST(TableConv, ShiftsReplacementsAndRoomAsIconv) {
    const std::vector<std::vector<unsigned char>> cases = {
        {0x28, 0x45, 0x41, 0x29, 0xC1, 0x81},  // 0x28 and 0x29 shift too
        {0x0E, 0x45},                          // half a character at the end
        {0x0E, 0x41, 0x41, 0x0F, 0xFF},        // unconvertible characters
        {0x0F, 0x0F, 0xC1},                    // shifting in when not shifted
    };
    for (const auto& src : cases) {
        for (int room = 0; room <= 6; ++room) EXPECT_EQ(ViaTable(src, room), ViaIconv(src, room)) << room;
    }
}

}  // namespace
