// The table converter of the Windows build converts exactly as the iconv
// converter of the native build, character by character.
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
